/*
 * The USB and network camera library contracts as seen from plain C: record codes,
 * the process-wide calls of lmcam, and how lmcam answers while no device is attached.
 */
#include "l_sdk.h"
#include "lmcam.h"

#include <stdio.h>
#include <string.h>
#include <threads.h>

static int g_failedChecks;

#define CHECK(cond)                                                                                                    \
    do {                                                                                                               \
        if (!(cond)) {                                                                                                 \
            printf("  FAIL %s:%d: %s\n", __FILE__, __LINE__, #cond);                                                   \
            ++g_failedChecks;                                                                                          \
        }                                                                                                              \
    } while (0)

#define CHECK_STATUS(call, expected)                                                                                   \
    do {                                                                                                               \
        const int32_t status_ = (call);                                                                                \
        if (status_ != (expected)) {                                                                                   \
            printf("  FAIL %s:%d: %s gave %d, expected %d\n", __FILE__, __LINE__, #call, (int)status_,                 \
                   (int)(expected));                                                                                   \
            ++g_failedChecks;                                                                                          \
        }                                                                                                              \
    } while (0)

/* ---- Log capture ----------------------------------------------------------------- */

static mtx_t g_logLock;
static int g_logLines;
static int g_initLines;     /* lines that read exactly "lmcam api init" */
static int g_initLineLevel; /* level of the last of them */

static void captureLog(int32_t level, const char *text)
{
    mtx_lock(&g_logLock);
    ++g_logLines;
    if (text && strcmp(text, "lmcam api init") == 0) {
        ++g_initLines;
        g_initLineLevel = level;
    }
    mtx_unlock(&g_logLock);
}

static void resetLog(void)
{
    mtx_lock(&g_logLock);
    g_logLines = 0;
    g_initLines = 0;
    g_initLineLevel = -100;
    mtx_unlock(&g_logLock);
}

/* ---- Cases ----------------------------------------------------------------------- */

/* The layouts are asserted at compile time by the headers; the codes the program writes
 * into or reads from the records are not. */
static void recordCodes(void)
{
    CHECK(LMCAM_CAPTURE_FORMAT_MJPEG == 12 && LMCAM_CAPTURE_FORMAT_NV12 == 15);
    CHECK(LMCAM_CAPTURE_FORMAT_YUY2 == 10 && LMCAM_CAPTURE_FORMAT_H264 == 13);
    CHECK(LMCAM_PIXEL_FORMAT_I420 == 0 && LMCAM_PIXEL_FORMAT_YUV420P == 1);
    CHECK(LMCAM_PIXEL_FORMAT_RGB24 == 3 && LMCAM_PIXEL_FORMAT_BGR24 == 4);
    CHECK(LMCAM_BUS_SPEED_USB_1_0 == 0 && LMCAM_BUS_SPEED_USB_1_1 == 1 && LMCAM_BUS_SPEED_USB_2_0 == 2);
    CHECK(LMCAM_GAMMA_CURVE_MAX_POINTS == 25);
    CHECK(L_SDK_PIX_FMT_YUV420P == 6 && L_SDK_PIX_FMT_RGB24 == 3 && L_SDK_PIX_FMT_BGR24 == 43);
    CHECK(L_SDK_ERR_UNREACHABLE == 2 && L_SDK_OK == 0);

    /* A packed block copied from unaligned storage still yields its plane pointer. */
    unsigned char bytes[sizeof(l_sdk_md_data) + 1];
    l_sdk_md_data block;
    static unsigned char pixel = 7;
    memset(&block, 0, sizeof block);
    block.planes[2].data = (uint64_t)(uintptr_t)&pixel;
    block.planes[2].stride = 960;
    memcpy(bytes + 1, &block, sizeof block);
    l_sdk_md_data copy;
    memcpy(&copy, bytes + 1, sizeof copy);
    CHECK(*L_SDK_PLANE_PTR(copy.planes[2]) == 7 && copy.planes[2].stride == 960);
}

static void logLevelGatesInitLine(void)
{
    CHECK_STATUS(lmcam_log_set_callback(captureLog), LMCAM_OK);

    /* Set level at the line's level, and above it: the line arrives once, with its level. */
    const int32_t levels[] = {LMCAM_LOG_INFO, LMCAM_LOG_DEBUG};
    for (size_t i = 0; i < sizeof levels / sizeof levels[0]; ++i) {
        resetLog();
        CHECK_STATUS(lmcam_log_set_level(levels[i]), LMCAM_OK);
        CHECK_STATUS(lmcam_api_init(), LMCAM_OK);
        CHECK(g_initLines == 1);
        CHECK(g_initLineLevel >= LMCAM_LOG_ERROR && g_initLineLevel <= levels[i]);
        CHECK_STATUS(lmcam_api_destroy(), LMCAM_OK);
    }

    /* Below the line's level: nothing reaches the callback. */
    const int32_t quiet[] = {LMCAM_LOG_WARNING, LMCAM_LOG_ERROR, LMCAM_LOG_NONE};
    for (size_t i = 0; i < sizeof quiet / sizeof quiet[0]; ++i) {
        resetLog();
        CHECK_STATUS(lmcam_log_set_level(quiet[i]), LMCAM_OK);
        CHECK_STATUS(lmcam_api_init(), LMCAM_OK);
        CHECK_STATUS(lmcam_api_destroy(), LMCAM_OK);
        CHECK(g_initLines == 0);
    }

    /* Levels outside the scale are refused and leave the current level alone. */
    CHECK_STATUS(lmcam_log_set_level(LMCAM_LOG_INFO), LMCAM_OK);
    CHECK(lmcam_log_set_level(LMCAM_LOG_NONE - 1) != LMCAM_OK);
    CHECK(lmcam_log_set_level(LMCAM_LOG_DEBUG + 1) != LMCAM_OK);
    resetLog();
    CHECK_STATUS(lmcam_api_init(), LMCAM_OK);
    CHECK(g_initLines == 1);

    /* A removed callback is not called any more. */
    CHECK_STATUS(lmcam_log_set_callback(NULL), LMCAM_OK);
    resetLog();
    CHECK_STATUS(lmcam_api_init(), LMCAM_OK);
    CHECK_STATUS(lmcam_api_destroy(), LMCAM_OK);
    CHECK(g_logLines == 0);
}

enum { kLogThreads = 4, kLinesPerThread = 2000 };

static int logFromThread(void *unused)
{
    (void)unused;
    for (int i = 0; i < kLinesPerThread; ++i)
        lmcam_api_init();
    return 0;
}

static void concurrentLoggingKeepsLinesWhole(void)
{
    /* Lines formatted on several threads at once each arrive whole and exactly once. */
    CHECK_STATUS(lmcam_log_set_callback(captureLog), LMCAM_OK);
    CHECK_STATUS(lmcam_log_set_level(LMCAM_LOG_INFO), LMCAM_OK);
    resetLog();
    thrd_t threads[kLogThreads];
    for (int i = 0; i < kLogThreads; ++i)
        CHECK(thrd_create(&threads[i], logFromThread, NULL) == thrd_success);
    for (int i = 0; i < kLogThreads; ++i)
        thrd_join(threads[i], NULL);
    CHECK(g_logLines == kLogThreads * kLinesPerThread);
    CHECK(g_initLines == kLogThreads * kLinesPerThread);
    CHECK_STATUS(lmcam_api_destroy(), LMCAM_OK);
    CHECK_STATUS(lmcam_log_set_callback(NULL), LMCAM_OK);
}

static void enumerationWithoutDevices(void)
{
    lmcam_device_list list;
    memset(&list, 0xAB, sizeof list);
    CHECK_STATUS(lmcam_enum_devices(&list), LMCAM_OK);
    CHECK(list.count == 0);
    /* Nothing stale survives in the caller's record. */
    const unsigned char *bytes = (const unsigned char *)&list;
    size_t dirty = 0;
    for (size_t i = 0; i < sizeof list; ++i)
        dirty += bytes[i] != 0;
    CHECK(dirty == 0);
    CHECK(lmcam_enum_devices(NULL) != LMCAM_OK);
}

static void openingUnknownDeviceFails(void)
{
    lmcam_handle handle = 0xDEADBEEF;
    CHECK(lmcam_open("usb#vid_0000&pid_0000#unknown", &handle) != LMCAM_OK);
    CHECK(handle == 0);
    handle = 0xDEADBEEF;
    CHECK(lmcam_open("", &handle) != LMCAM_OK);
    CHECK(handle == 0);
    handle = 0xDEADBEEF;
    CHECK_STATUS(lmcam_open(NULL, &handle), LMCAM_ERR_INVALID_ARG);
    CHECK(handle == 0);
    CHECK_STATUS(lmcam_open("usb#vid_0000&pid_0000#unknown", NULL), LMCAM_ERR_INVALID_ARG);
}

/* A handle that was never opened (0, or one never handed out) is refused, and the caller's
 * values are left alone; a caller that ignores the status still reads an empty suffix. */
static void callsOnClosedHandleFail(void)
{
    const lmcam_handle handles[] = {0, 0x1234};
    for (size_t h = 0; h < sizeof handles / sizeof handles[0]; ++h) {
        const lmcam_handle handle = handles[h];
        int32_t v = -77, min = -77, max = -77, def = -77, step = -77;
        lmcam_frame frame;
        lmcam_capture_context ctx;
        char suffix[16] = "stale";
        memset(&frame, 0, sizeof frame);
        memset(&ctx, 0, sizeof ctx);

        CHECK_STATUS(lmcam_set_exposure_time(handle, 1), LMCAM_ERR_NOT_OPEN);
        CHECK_STATUS(lmcam_get_exposure_time(handle, &v), LMCAM_ERR_NOT_OPEN);
        CHECK_STATUS(lmcam_get_exposure_time_range(handle, &min, &max, &def, &step), LMCAM_ERR_NOT_OPEN);
        CHECK_STATUS(lmcam_set_capture_context(handle, &ctx), LMCAM_ERR_NOT_OPEN);
        CHECK_STATUS(lmcam_read_frame(handle, &frame), LMCAM_ERR_NOT_OPEN);
        CHECK_STATUS(lmcam_close(handle), LMCAM_ERR_NOT_OPEN);
        CHECK_STATUS(lmcam_get_model_suffix(handle, suffix, (int32_t)sizeof suffix), LMCAM_ERR_NOT_OPEN);
        CHECK(v == -77 && min == -77 && max == -77 && def == -77 && step == -77);
        CHECK(frame.planes[0] == NULL && frame.width == 0);
        CHECK(suffix[0] == '\0');
    }
}

/* Bad arguments are reported as such, before the state of the device is looked at. */
static void badArgumentsAreRefused(void)
{
    const lmcam_handle handle = 0;
    int32_t v = 0;
    lmcam_point curve[LMCAM_GAMMA_CURVE_MAX_POINTS + 1];
    char suffix[8];
    lmcam_frame frame;
    memset(curve, 0, sizeof curve);
    memset(&frame, 0, sizeof frame);

    CHECK_STATUS(lmcam_get_hue(handle, NULL), LMCAM_ERR_INVALID_ARG);
    CHECK_STATUS(lmcam_get_focus_range(handle, &v, &v, &v, NULL), LMCAM_ERR_INVALID_ARG);
    CHECK_STATUS(lmcam_read_frame(handle, NULL), LMCAM_ERR_INVALID_ARG);
    CHECK_STATUS(lmcam_get_model_suffix(handle, suffix, 0), LMCAM_ERR_INVALID_ARG);
    /* At most 25 curve points; an empty curve is valid. */
    CHECK_STATUS(lmcam_set_gamma_bezier_curve(handle, curve, LMCAM_GAMMA_CURVE_MAX_POINTS + 1), LMCAM_ERR_INVALID_ARG);
    CHECK_STATUS(lmcam_set_gamma_bezier_curve(handle, NULL, 0), LMCAM_ERR_NOT_OPEN);
    /* Four light parts, 0 to 3. */
    CHECK_STATUS(lmcam_set_led(handle, LMCAM_LED_PART_COUNT, 10), LMCAM_ERR_INVALID_ARG);
    CHECK_STATUS(lmcam_get_cm0x_led(handle, -1, &v), LMCAM_ERR_INVALID_ARG);
    /* Releasing nothing, or a frame the library never filled. */
    CHECK_STATUS(lmcam_free_frame(NULL), LMCAM_ERR_INVALID_ARG);
    CHECK_STATUS(lmcam_free_frame(&frame), LMCAM_ERR_NO_FRAME);
}

/* ---- Runner ---------------------------------------------------------------------- */

typedef struct
{
    const char *name;
    void (*run)(void);
} TestCase;

int main(void)
{
    const TestCase cases[] = {
        {"recordCodes", recordCodes},
        {"logLevelGatesInitLine", logLevelGatesInitLine},
        {"concurrentLoggingKeepsLinesWhole", concurrentLoggingKeepsLinesWhole},
        {"enumerationWithoutDevices", enumerationWithoutDevices},
        {"openingUnknownDeviceFails", openingUnknownDeviceFails},
        {"callsOnClosedHandleFail", callsOnClosedHandleFail},
        {"badArgumentsAreRefused", badArgumentsAreRefused},
    };
    mtx_init(&g_logLock, mtx_plain);
    int passed = 0, failed = 0;
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const int before = g_failedChecks;
        cases[i].run();
        const int ok = g_failedChecks == before;
        printf("%s %s\n", ok ? "PASS" : "FAIL", cases[i].name);
        if (ok)
            ++passed;
        else
            ++failed;
    }
    mtx_destroy(&g_logLock);
    printf("%d passed, %d failed\n", passed, failed);
    return failed == 0 ? 0 : 1;
}
