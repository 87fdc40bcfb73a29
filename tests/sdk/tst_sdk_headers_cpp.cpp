// Both camera library headers compiled as C++: they must parse, keep C linkage (this
// program links lmcam by the unmangled names) and give the same layouts as in C.
#include "l_sdk.h"
#include "lmcam.h"

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <type_traits>

static_assert(std::is_standard_layout_v<lmcam_frame> && std::is_trivially_copyable_v<lmcam_frame>);
static_assert(std::is_standard_layout_v<lmcam_device_list> && std::is_trivially_copyable_v<lmcam_device_list>);
static_assert(std::is_standard_layout_v<l_sdk_md_data> && std::is_trivially_copyable_v<l_sdk_md_data>);
static_assert(alignof(l_sdk_md_data) == 1, "decoded picture block is packed");
static_assert(std::is_same_v<lmcam_handle, std::uint64_t>);
static_assert(std::is_same_v<lmcam_log_callback, void (*)(std::int32_t, const char *)>);
static_assert(std::is_same_v<decltype(&l_sdk_dec_get_md_data), std::int32_t (*)(std::int32_t, l_sdk_md_data **)>);
static_assert(std::is_same_v<decltype(&l_sdk_request), std::int32_t (*)(std::int32_t, const char *, char **)>);

static int g_lines = 0;

static void countLine(std::int32_t, const char *text)
{
    g_lines += std::strcmp(text, "lmcam api init") == 0;
}

int main()
{
    lmcam_device_list list{};
    lmcam_handle handle = 1;
    lmcam_log_set_callback(countLine);
    lmcam_log_set_level(LMCAM_LOG_INFO);
    const bool ok = lmcam_api_init() == LMCAM_OK && g_lines == 1 && lmcam_enum_devices(&list) == LMCAM_OK &&
                    list.count == 0 && lmcam_open("none", &handle) != LMCAM_OK && handle == 0;
    lmcam_api_destroy();
    lmcam_log_set_callback(nullptr);
    std::printf("%d passed, %d failed\n", ok ? 1 : 0, ok ? 0 : 1);
    return ok ? 0 : 1;
}
