// Device calls. No device backend is registered yet: enumeration finds nothing, opening
// fails and every call on a handle reports it as not open. Arguments are checked before
// the handle, so that a bad call is reported as such whatever the device state.
#include "lmcam.h"
#include "lmcam_private.h"

#include <cstring>

namespace {

// Integer parameters reached through the generic set/get/range calls below.
enum class Param {
    ExposureMode,
    WhiteBalanceMode,
    Mirror,
    Flip,
    PowerLineFrequency,
    Scene,
    GammaMode,
    ExposureGainUnit,
    Defog,
    Drc,
    Cac,
    Ldci,
    ZoomSpeed,
    ExposureCompensation,
    ExposureTime,
    LongExposureTime,
    ExposureGain,
    WhiteBalanceTemperature,
    WhiteBalanceRed,
    WhiteBalanceGreen,
    WhiteBalanceBlue,
    Hue,
    Saturation,
    Contrast,
    Sharpness,
    Gamma,
    Focus,
    FocusMode,
    Zoom,
    ZoomRelative,
    OpticalZoom,
    DigitalZoom,
    Encrypt,
};

// LMCAM_OK when the handle belongs to an open device. No device can be open yet.
int32_t checkOpen(lmcam_handle handle)
{
    (void)handle;
    return LMCAM_ERR_NOT_OPEN;
}

// The status of a call the device does not serve: not open, else not supported.
int32_t unsupported(lmcam_handle handle)
{
    const int32_t status = checkOpen(handle);
    return status != LMCAM_OK ? status : LMCAM_ERR_NOT_SUPPORTED;
}

int32_t setParam(lmcam_handle handle, Param param, int32_t value)
{
    (void)param;
    (void)value;
    return unsupported(handle);
}

int32_t getParam(lmcam_handle handle, Param param, int32_t *value)
{
    (void)param;
    if (!value)
        return LMCAM_ERR_INVALID_ARG;
    return unsupported(handle);
}

int32_t getRange(lmcam_handle handle, Param param, int32_t *min, int32_t *max, int32_t *def, int32_t *step)
{
    (void)param;
    if (!min || !max || !def || !step)
        return LMCAM_ERR_INVALID_ARG;
    return unsupported(handle);
}

bool validLedPart(int32_t part)
{
    return part >= 0 && part < LMCAM_LED_PART_COUNT;
}

} // namespace

// The exported parameter calls, one line per parameter.
#define LMCAM_SET_GET(name, param)                                                                                     \
    int32_t lmcam_set_##name(lmcam_handle handle, int32_t value)                                                       \
    {                                                                                                                  \
        return setParam(handle, Param::param, value);                                                                  \
    }                                                                                                                  \
    int32_t lmcam_get_##name(lmcam_handle handle, int32_t *value)                                                      \
    {                                                                                                                  \
        return getParam(handle, Param::param, value);                                                                  \
    }

#define LMCAM_RANGE(name, param)                                                                                       \
    int32_t lmcam_get_##name##_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def, int32_t *step)     \
    {                                                                                                                  \
        return getRange(handle, Param::param, min, max, def, step);                                                    \
    }

#define LMCAM_SET_GET_RANGE(name, param) LMCAM_SET_GET(name, param) LMCAM_RANGE(name, param)

// Defined inside extern "C" so that a definition whose signature strays from its
// declaration in lmcam.h fails to compile instead of becoming an unexported overload.
extern "C" {

int32_t lmcam_enum_devices(lmcam_device_list *list)
{
    if (!list)
        return LMCAM_ERR_INVALID_ARG;
    std::memset(list, 0, sizeof *list);
    list->count = 0;
    return LMCAM_OK;
}

int32_t lmcam_open(const char *unique_name, lmcam_handle *handle)
{
    if (!handle)
        return LMCAM_ERR_INVALID_ARG;
    *handle = 0;
    if (!unique_name)
        return LMCAM_ERR_INVALID_ARG;
    lmcam::logMessage(LMCAM_LOG_WARNING, "lmcam open: no device named \"%.*s\"", LMCAM_NAME_SIZE, unique_name);
    return LMCAM_ERR_NO_DEVICE;
}

int32_t lmcam_close(lmcam_handle handle)
{
    return checkOpen(handle);
}

int32_t lmcam_get_version(lmcam_handle handle, int32_t *version)
{
    if (!version)
        return LMCAM_ERR_INVALID_ARG;
    return unsupported(handle);
}

int32_t lmcam_get_capture_capabilities(lmcam_handle handle, lmcam_capture_capabilities *caps)
{
    if (!caps)
        return LMCAM_ERR_INVALID_ARG;
    return unsupported(handle);
}

int32_t lmcam_set_capture_context(lmcam_handle handle, const lmcam_capture_context *ctx)
{
    if (!ctx)
        return LMCAM_ERR_INVALID_ARG;
    return unsupported(handle);
}

int32_t lmcam_read_frame(lmcam_handle handle, lmcam_frame *frame)
{
    if (!frame)
        return LMCAM_ERR_INVALID_ARG;
    return unsupported(handle);
}

int32_t lmcam_free_frame(lmcam_frame *frame)
{
    if (!frame)
        return LMCAM_ERR_INVALID_ARG;
    // Only frames filled by lmcam_read_frame carry a reference; none can exist yet.
    return LMCAM_ERR_NO_FRAME;
}

int32_t lmcam_upgrade(lmcam_handle handle, const char *path, lmcam_upgrade_progress progress, void *context)
{
    (void)progress;
    (void)context;
    if (!path)
        return LMCAM_ERR_INVALID_ARG;
    return unsupported(handle);
}

int32_t lmcam_set_windows_version(lmcam_handle handle, int32_t code)
{
    (void)code;
    return unsupported(handle);
}

int32_t lmcam_get_model_suffix(lmcam_handle handle, char *buffer, int32_t capacity)
{
    if (!buffer || capacity <= 0)
        return LMCAM_ERR_INVALID_ARG;
    buffer[0] = '\0';
    return unsupported(handle);
}

int32_t lmcam_set_device_name(lmcam_handle handle, const char *name)
{
    if (!name)
        return LMCAM_ERR_INVALID_ARG;
    return unsupported(handle);
}

LMCAM_SET_GET(encrypt, Encrypt)

LMCAM_SET_GET(exposure_mode, ExposureMode)
LMCAM_SET_GET(white_balance_mode, WhiteBalanceMode)
LMCAM_SET_GET(mirror, Mirror)
LMCAM_SET_GET(flip, Flip)
LMCAM_SET_GET(power_line_frequency, PowerLineFrequency)
LMCAM_SET_GET(scene, Scene)
LMCAM_SET_GET(gamma_mode, GammaMode)
LMCAM_SET_GET(exposure_gain_unit, ExposureGainUnit)
LMCAM_SET_GET(defog, Defog)
LMCAM_SET_GET(drc, Drc)
LMCAM_SET_GET(cac, Cac)
LMCAM_SET_GET(ldci, Ldci)
LMCAM_SET_GET(zoom_speed, ZoomSpeed)

LMCAM_SET_GET_RANGE(exposure_compensation, ExposureCompensation)
LMCAM_SET_GET_RANGE(exposure_time, ExposureTime)
LMCAM_SET_GET_RANGE(long_exposure_time, LongExposureTime)
LMCAM_SET_GET_RANGE(exposure_gain, ExposureGain)
LMCAM_SET_GET_RANGE(white_balance_temperature, WhiteBalanceTemperature)
LMCAM_SET_GET_RANGE(white_balance_component_red, WhiteBalanceRed)
LMCAM_SET_GET_RANGE(white_balance_component_green, WhiteBalanceGreen)
LMCAM_SET_GET_RANGE(white_balance_component_blue, WhiteBalanceBlue)
LMCAM_SET_GET_RANGE(hue, Hue)
LMCAM_SET_GET_RANGE(saturation, Saturation)
LMCAM_SET_GET_RANGE(contrast, Contrast)
LMCAM_SET_GET_RANGE(sharpness, Sharpness)
LMCAM_SET_GET_RANGE(gamma, Gamma)
LMCAM_SET_GET_RANGE(focus, Focus)

LMCAM_SET_GET(zoom, Zoom)
LMCAM_RANGE(ozoom, OpticalZoom)
LMCAM_RANGE(dzoom, DigitalZoom)
LMCAM_SET_GET(focus_mode, FocusMode)

int32_t lmcam_set_zoom_relative(lmcam_handle handle, int32_t direction)
{
    return setParam(handle, Param::ZoomRelative, direction);
}

int32_t lmcam_get_focus_mode_ex(lmcam_handle handle, int32_t *mode, int32_t *supported_modes)
{
    if (!mode || !supported_modes)
        return LMCAM_ERR_INVALID_ARG;
    return unsupported(handle);
}

int32_t lmcam_set_auto_exposure_region(lmcam_handle handle, const lmcam_rect *region)
{
    return region ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_get_auto_exposure_region(lmcam_handle handle, lmcam_rect *region)
{
    return region ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_set_auto_whitebalance_region(lmcam_handle handle, const lmcam_rect *region)
{
    return region ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_get_auto_whitebalance_region(lmcam_handle handle, lmcam_rect *region)
{
    return region ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_set_focus_region_v1(lmcam_handle handle, const lmcam_point *point)
{
    return point ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_get_focus_region_v1(lmcam_handle handle, lmcam_point *point)
{
    return point ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_set_focus_region_v2(lmcam_handle handle, const lmcam_focus_region_v2 *region)
{
    return region ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_get_focus_region_v2(lmcam_handle handle, lmcam_focus_region_v2 *region)
{
    return region ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_set_focus_region_v3(lmcam_handle handle, const lmcam_focus_region_v3 *region)
{
    return region ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_get_focus_region_v3(lmcam_handle handle, lmcam_focus_region_v3 *region)
{
    return region ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_set_gamma_bezier_curve(lmcam_handle handle, const lmcam_point *points, int32_t count)
{
    if (count < 0 || count > LMCAM_GAMMA_CURVE_MAX_POINTS || (count > 0 && !points))
        return LMCAM_ERR_INVALID_ARG;
    return unsupported(handle);
}

int32_t lmcam_get_gamma_bezier_curve(lmcam_handle handle, lmcam_point *points, int32_t capacity, int32_t *count)
{
    if (!count || capacity < 0 || (capacity > 0 && !points))
        return LMCAM_ERR_INVALID_ARG;
    return unsupported(handle);
}

int32_t lmcam_set_led(lmcam_handle handle, int32_t part, int32_t level)
{
    (void)level;
    return validLedPart(part) ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_get_led(lmcam_handle handle, int32_t part, int32_t *level)
{
    return validLedPart(part) && level ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_set_cm0x_led(lmcam_handle handle, int32_t part, int32_t level)
{
    (void)level;
    return validLedPart(part) ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_get_cm0x_led(lmcam_handle handle, int32_t part, int32_t *level)
{
    return validLedPart(part) && level ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_set_cm0x_all_led(lmcam_handle handle, const int32_t levels[LMCAM_LED_PART_COUNT])
{
    return levels ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_get_cm0x_all_led(lmcam_handle handle, int32_t levels[LMCAM_LED_PART_COUNT])
{
    return levels ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_get_led_info(lmcam_handle handle, lmcam_led_info *info)
{
    return info ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_increase_focus(lmcam_handle handle)
{
    return unsupported(handle);
}

int32_t lmcam_decrease_focus(lmcam_handle handle)
{
    return unsupported(handle);
}

int32_t lmcam_get_focus_state(lmcam_handle handle, int32_t *focusing)
{
    return focusing ? unsupported(handle) : LMCAM_ERR_INVALID_ARG;
}

int32_t lmcam_focus_cure_test(lmcam_handle handle)
{
    return unsupported(handle);
}

int32_t lmcam_focus_cure_check(lmcam_handle handle)
{
    return unsupported(handle);
}

} // extern "C"
