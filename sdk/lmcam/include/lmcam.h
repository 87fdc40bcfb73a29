/*
 * lmcam: the USB microscope camera library, C interface.
 *
 * Every call returns an int32_t status, LMCAM_OK (0) on success. Getters write through
 * their pointers; callers use the written values only when the call returned LMCAM_OK.
 * After the process-wide calls the first argument is the device handle from lmcam_open;
 * handle 0 means "not open".
 *
 * The records below are exchanged with callers byte for byte; their sizes and offsets are
 * fixed (64-bit builds) and checked at compile time at the end of this file.
 */
#ifndef LMCAM_H
#define LMCAM_H

#include <stddef.h>
#include <stdint.h>

#if defined(_WIN32)
#if defined(LMCAM_BUILDING_LIBRARY)
#define LMCAM_API __declspec(dllexport)
#else
#define LMCAM_API __declspec(dllimport)
#endif
#elif defined(__GNUC__)
#define LMCAM_API __attribute__((visibility("default")))
#else
#define LMCAM_API
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* ---- Status codes ---------------------------------------------------------------- */

#define LMCAM_OK 0
#define LMCAM_ERR_INVALID_ARG (-1)      /* null pointer, bad count or value outside the accepted set */
#define LMCAM_ERR_NO_DEVICE (-2)        /* no device with that unique name (or it went away) */
#define LMCAM_ERR_NOT_OPEN (-3)         /* handle is 0 or does not belong to an open device */
#define LMCAM_ERR_NOT_SUPPORTED (-4)    /* the device does not offer this function */
#define LMCAM_ERR_NO_FRAME (-5)         /* no frame ready yet, or nothing to release */
#define LMCAM_ERR_BUSY (-6)             /* the device is opened elsewhere or upgrading */
#define LMCAM_ERR_IO (-7)               /* the device refused or failed the request */
#define LMCAM_ERR_BUFFER_TOO_SMALL (-8) /* caller buffer cannot take the answer */
#define LMCAM_ERR_OUT_OF_RANGE (-9)     /* value outside the device's range */

/* ---- Limits ---------------------------------------------------------------------- */

#define LMCAM_MAX_DEVICES 16
#define LMCAM_MAX_CAPABILITIES 32
#define LMCAM_NAME_SIZE 128 /* bytes of every name field, NUL included */
#define LMCAM_GAMMA_CURVE_MAX_POINTS 25
#define LMCAM_LED_PART_COUNT 4 /* parts of the ring light: up, left, right, down */

/* ---- Codes ----------------------------------------------------------------------- */

/* Bus speed of a device entry. */
#define LMCAM_BUS_SPEED_USB_1_0 0
#define LMCAM_BUS_SPEED_USB_1_1 1
#define LMCAM_BUS_SPEED_USB_2_0 2
#define LMCAM_BUS_SPEED_USB_3_0 3

/* Stream formats of capture capabilities and of the capture context. */
#define LMCAM_CAPTURE_FORMAT_YUY2 10
#define LMCAM_CAPTURE_FORMAT_MJPEG 12
#define LMCAM_CAPTURE_FORMAT_H264 13
#define LMCAM_CAPTURE_FORMAT_NV12 15

/* Capture context modes. */
#define LMCAM_CAPTURE_MODE_STREAM 0
#define LMCAM_CAPTURE_MODE_UPGRADE (-1) /* stops streaming ahead of lmcam_upgrade */

/* Pixel formats of a frame record. */
#define LMCAM_PIXEL_FORMAT_I420 0    /* planar YUV 4:2:0, three planes */
#define LMCAM_PIXEL_FORMAT_YUV420P 1 /* planar YUV 4:2:0, three planes */
#define LMCAM_PIXEL_FORMAT_RGB24 3   /* packed, bytes R, G, B */
#define LMCAM_PIXEL_FORMAT_BGR24 4   /* packed, bytes B, G, R */

/* Exposure, white-balance and focus modes. */
#define LMCAM_MODE_MANUAL 0
#define LMCAM_MODE_AUTO 1
#define LMCAM_FOCUS_MODE_ONE_SHOT 2 /* focus once, then hold */

/* Log levels: a message is passed on when its level is at most the level set. */
#define LMCAM_LOG_NONE (-1)
#define LMCAM_LOG_ERROR 0
#define LMCAM_LOG_WARNING 1
#define LMCAM_LOG_INFO 2
#define LMCAM_LOG_DEBUG 3

/* ---- Types ----------------------------------------------------------------------- */

/* Opaque device handle; 0 = not open. */
typedef uint64_t lmcam_handle;

/* Receives the library's log lines (text without a trailing newline). */
typedef void (*lmcam_log_callback)(int32_t level, const char *text);

/* Upgrade progress: percent in 0..100, below 0 on failure, 100 once done. */
typedef void (*lmcam_upgrade_progress)(int32_t percent, void *context);

/* One attached device. */
typedef struct lmcam_device_info
{
    char description[LMCAM_NAME_SIZE]; /* human-readable text */
    char unique_name[LMCAM_NAME_SIZE]; /* NUL-terminated, passed to lmcam_open */
    uint16_t vendor_id;                /* USB vendor id, informational */
    uint16_t product_id;               /* USB product id: identifies the model */
    uint32_t bus_speed;                /* LMCAM_BUS_SPEED_* */
} lmcam_device_info;

/* Result of lmcam_enum_devices. */
typedef struct lmcam_device_list
{
    lmcam_device_info devices[LMCAM_MAX_DEVICES];
    int32_t count;
} lmcam_device_list;

/* One stream mode offered by a device. */
typedef struct lmcam_capability
{
    int32_t width;
    int32_t height;
    int32_t reserved;
    int32_t format; /* LMCAM_CAPTURE_FORMAT_* */
} lmcam_capability;

/* Result of lmcam_get_capture_capabilities. */
typedef struct lmcam_capture_capabilities
{
    lmcam_capability entries[LMCAM_MAX_CAPABILITIES];
    int32_t count;
} lmcam_capture_capabilities;

/* Stream settings applied by lmcam_set_capture_context. */
typedef struct lmcam_capture_context
{
    char device_name[LMCAM_NAME_SIZE]; /* Latin-1, NUL-terminated */
    int32_t width;
    int32_t height;
    int32_t format;     /* LMCAM_CAPTURE_FORMAT_* */
    int32_t mode;       /* LMCAM_CAPTURE_MODE_* */
    int32_t frame_rate; /* 0 = the device's own rate */
} lmcam_capture_context;

/* One decoded picture. The planes belong to the library until lmcam_free_frame. */
typedef struct lmcam_frame
{
    uint8_t *planes[3];   /* Y (or packed pixels), U, V */
    uint64_t library_ref; /* the library's bookkeeping; 0 in a frame that holds nothing */
    int32_t pixel_format; /* LMCAM_PIXEL_FORMAT_* */
    int32_t width;
    int32_t height;
    int32_t strides[3]; /* bytes per row of each plane */
    uint64_t reserved;
    int64_t timestamp_us; /* capture time in microseconds */
} lmcam_frame;

typedef struct lmcam_point
{
    int32_t x;
    int32_t y;
} lmcam_point;

typedef struct lmcam_rect
{
    int32_t x;
    int32_t y;
    int32_t width;
    int32_t height;
} lmcam_rect;

/* Second form of the focus region: a grid cell that can be switched off. */
typedef struct lmcam_focus_region_v2
{
    int32_t enable;
    lmcam_point point;
} lmcam_focus_region_v2;

/* Third form of the focus region: a free rectangle that can be switched off. */
typedef struct lmcam_focus_region_v3
{
    int32_t enable;
    lmcam_rect rect;
} lmcam_focus_region_v3;

/* The ring light's parts and their current levels. */
typedef struct lmcam_led_info
{
    int32_t part_count; /* parts present, at most LMCAM_LED_PART_COUNT */
    int32_t min_level;
    int32_t max_level;
    int32_t default_level;
    int32_t levels[LMCAM_LED_PART_COUNT]; /* up, left, right, down */
} lmcam_led_info;

/* ---- Process-wide calls ---------------------------------------------------------- */

/* Sets the most detailed level passed to the log callback (LMCAM_LOG_NONE..LMCAM_LOG_DEBUG). */
LMCAM_API int32_t lmcam_log_set_level(int32_t level);
/* Installs the log callback; NULL removes it. */
LMCAM_API int32_t lmcam_log_set_callback(lmcam_log_callback callback);
/* Prepares the library; call once before working with devices. */
LMCAM_API int32_t lmcam_api_init(void);
/* Releases everything lmcam_api_init prepared; open handles become invalid. */
LMCAM_API int32_t lmcam_api_destroy(void);

/* ---- Devices --------------------------------------------------------------------- */

/* Fills the list with the attached devices (the caller zeroes it first). */
LMCAM_API int32_t lmcam_enum_devices(lmcam_device_list *list);
/* Opens the device with that UTF-8 unique name; *handle is 0 unless it succeeds. */
LMCAM_API int32_t lmcam_open(const char *unique_name, lmcam_handle *handle);
/* Closes the device; the handle is invalid afterwards. */
LMCAM_API int32_t lmcam_close(lmcam_handle handle);
/* Firmware version as a number (e.g. 142 for 1.4.2). */
LMCAM_API int32_t lmcam_get_version(lmcam_handle handle, int32_t *version);
/* The stream modes the device offers. */
LMCAM_API int32_t lmcam_get_capture_capabilities(lmcam_handle handle, lmcam_capture_capabilities *caps);
/* Applies size, format and mode; streaming starts or restarts with them. */
LMCAM_API int32_t lmcam_set_capture_context(lmcam_handle handle, const lmcam_capture_context *ctx);
/* Fills a zeroed frame record with the next picture; release it with lmcam_free_frame. */
LMCAM_API int32_t lmcam_read_frame(lmcam_handle handle, lmcam_frame *frame);
/* Releases the planes of a frame filled by lmcam_read_frame. */
LMCAM_API int32_t lmcam_free_frame(lmcam_frame *frame);
/* Writes a firmware file (path in the local 8-bit code page); progress may be NULL. */
LMCAM_API int32_t lmcam_upgrade(lmcam_handle handle, const char *path, lmcam_upgrade_progress progress, void *context);
/* Tells the device which Windows generation hosts it (USB 3 link tuning). */
LMCAM_API int32_t lmcam_set_windows_version(lmcam_handle handle, int32_t code);
/* Copies the model suffix, NUL-terminated, into buffer (capacity bytes). */
LMCAM_API int32_t lmcam_get_model_suffix(lmcam_handle handle, char *buffer, int32_t capacity);
/* Stores a new device name (UTF-8) in the device. */
LMCAM_API int32_t lmcam_set_device_name(lmcam_handle handle, const char *name);
/* Switches stream encryption on (1) or off (0). */
LMCAM_API int32_t lmcam_set_encrypt(lmcam_handle handle, int32_t enable);
/* Reads whether stream encryption is on. */
LMCAM_API int32_t lmcam_get_encrypt(lmcam_handle handle, int32_t *enable);

/* ---- Parameters with set and get ------------------------------------------------- */

/* Exposure mode: LMCAM_MODE_MANUAL or LMCAM_MODE_AUTO. */
LMCAM_API int32_t lmcam_set_exposure_mode(lmcam_handle handle, int32_t value);
/* Reads the exposure mode. */
LMCAM_API int32_t lmcam_get_exposure_mode(lmcam_handle handle, int32_t *value);
/* White-balance mode: LMCAM_MODE_MANUAL or LMCAM_MODE_AUTO. */
LMCAM_API int32_t lmcam_set_white_balance_mode(lmcam_handle handle, int32_t value);
/* Reads the white-balance mode. */
LMCAM_API int32_t lmcam_get_white_balance_mode(lmcam_handle handle, int32_t *value);
/* Horizontal mirror on (1) or off (0). */
LMCAM_API int32_t lmcam_set_mirror(lmcam_handle handle, int32_t value);
/* Reads the horizontal mirror flag. */
LMCAM_API int32_t lmcam_get_mirror(lmcam_handle handle, int32_t *value);
/* Vertical flip on (1) or off (0). */
LMCAM_API int32_t lmcam_set_flip(lmcam_handle handle, int32_t value);
/* Reads the vertical flip flag. */
LMCAM_API int32_t lmcam_get_flip(lmcam_handle handle, int32_t *value);
/* Anti-flicker for mains lighting on (1) or off (0). */
LMCAM_API int32_t lmcam_set_power_line_frequency(lmcam_handle handle, int32_t value);
/* Reads the anti-flicker setting. */
LMCAM_API int32_t lmcam_get_power_line_frequency(lmcam_handle handle, int32_t *value);
/* Scene (display mode) preset, passed to the device unchanged. */
LMCAM_API int32_t lmcam_set_scene(lmcam_handle handle, int32_t value);
/* Reads the scene preset. */
LMCAM_API int32_t lmcam_get_scene(lmcam_handle handle, int32_t *value);
/* Gamma mode (gamma value or Bezier curve), passed to the device unchanged. */
LMCAM_API int32_t lmcam_set_gamma_mode(lmcam_handle handle, int32_t value);
/* Reads the gamma mode. */
LMCAM_API int32_t lmcam_get_gamma_mode(lmcam_handle handle, int32_t *value);
/* Unit of the exposure gain, passed to the device unchanged. */
LMCAM_API int32_t lmcam_set_exposure_gain_unit(lmcam_handle handle, int32_t value);
/* Reads the exposure gain unit. */
LMCAM_API int32_t lmcam_get_exposure_gain_unit(lmcam_handle handle, int32_t *value);
/* Defog on (1) or off (0). */
LMCAM_API int32_t lmcam_set_defog(lmcam_handle handle, int32_t value);
/* Reads the defog flag. */
LMCAM_API int32_t lmcam_get_defog(lmcam_handle handle, int32_t *value);
/* Dynamic range compression strength. */
LMCAM_API int32_t lmcam_set_drc(lmcam_handle handle, int32_t value);
/* Reads the dynamic range compression strength. */
LMCAM_API int32_t lmcam_get_drc(lmcam_handle handle, int32_t *value);
/* Chromatic aberration correction on (1) or off (0). */
LMCAM_API int32_t lmcam_set_cac(lmcam_handle handle, int32_t value);
/* Reads the chromatic aberration correction flag. */
LMCAM_API int32_t lmcam_get_cac(lmcam_handle handle, int32_t *value);
/* Local contrast enhancement on (1) or off (0). */
LMCAM_API int32_t lmcam_set_ldci(lmcam_handle handle, int32_t value);
/* Reads the local contrast enhancement flag. */
LMCAM_API int32_t lmcam_get_ldci(lmcam_handle handle, int32_t *value);
/* Speed of the zoom motor. */
LMCAM_API int32_t lmcam_set_zoom_speed(lmcam_handle handle, int32_t value);
/* Reads the speed of the zoom motor. */
LMCAM_API int32_t lmcam_get_zoom_speed(lmcam_handle handle, int32_t *value);

/* ---- Parameters with set, get and range ------------------------------------------ */
/* A range call writes minimum, maximum, default and step; callers ignore the step. */

/* Exposure compensation (target brightness in automatic exposure). */
LMCAM_API int32_t lmcam_set_exposure_compensation(lmcam_handle handle, int32_t value);
/* Reads the exposure compensation. */
LMCAM_API int32_t lmcam_get_exposure_compensation(lmcam_handle handle, int32_t *value);
/* Range of the exposure compensation. */
LMCAM_API int32_t lmcam_get_exposure_compensation_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def,
                                                        int32_t *step);
/* Exposure time in manual exposure. */
LMCAM_API int32_t lmcam_set_exposure_time(lmcam_handle handle, int32_t value);
/* Reads the exposure time. */
LMCAM_API int32_t lmcam_get_exposure_time(lmcam_handle handle, int32_t *value);
/* Range of the exposure time. */
LMCAM_API int32_t lmcam_get_exposure_time_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def,
                                                int32_t *step);
/* Long (slow-shutter) exposure time. */
LMCAM_API int32_t lmcam_set_long_exposure_time(lmcam_handle handle, int32_t value);
/* Reads the long exposure time. */
LMCAM_API int32_t lmcam_get_long_exposure_time(lmcam_handle handle, int32_t *value);
/* Range of the long exposure time. */
LMCAM_API int32_t lmcam_get_long_exposure_time_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def,
                                                     int32_t *step);
/* Exposure gain in manual exposure. */
LMCAM_API int32_t lmcam_set_exposure_gain(lmcam_handle handle, int32_t value);
/* Reads the exposure gain. */
LMCAM_API int32_t lmcam_get_exposure_gain(lmcam_handle handle, int32_t *value);
/* Range of the exposure gain. */
LMCAM_API int32_t lmcam_get_exposure_gain_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def,
                                                int32_t *step);
/* White-balance colour temperature. */
LMCAM_API int32_t lmcam_set_white_balance_temperature(lmcam_handle handle, int32_t value);
/* Reads the white-balance colour temperature. */
LMCAM_API int32_t lmcam_get_white_balance_temperature(lmcam_handle handle, int32_t *value);
/* Range of the white-balance colour temperature. */
LMCAM_API int32_t lmcam_get_white_balance_temperature_range(lmcam_handle handle, int32_t *min, int32_t *max,
                                                            int32_t *def, int32_t *step);
/* Red gain in manual white balance. */
LMCAM_API int32_t lmcam_set_white_balance_component_red(lmcam_handle handle, int32_t value);
/* Reads the red white-balance gain. */
LMCAM_API int32_t lmcam_get_white_balance_component_red(lmcam_handle handle, int32_t *value);
/* Range of the red white-balance gain. */
LMCAM_API int32_t lmcam_get_white_balance_component_red_range(lmcam_handle handle, int32_t *min, int32_t *max,
                                                              int32_t *def, int32_t *step);
/* Green gain in manual white balance. */
LMCAM_API int32_t lmcam_set_white_balance_component_green(lmcam_handle handle, int32_t value);
/* Reads the green white-balance gain. */
LMCAM_API int32_t lmcam_get_white_balance_component_green(lmcam_handle handle, int32_t *value);
/* Range of the green white-balance gain. */
LMCAM_API int32_t lmcam_get_white_balance_component_green_range(lmcam_handle handle, int32_t *min, int32_t *max,
                                                                int32_t *def, int32_t *step);
/* Blue gain in manual white balance. */
LMCAM_API int32_t lmcam_set_white_balance_component_blue(lmcam_handle handle, int32_t value);
/* Reads the blue white-balance gain. */
LMCAM_API int32_t lmcam_get_white_balance_component_blue(lmcam_handle handle, int32_t *value);
/* Range of the blue white-balance gain. */
LMCAM_API int32_t lmcam_get_white_balance_component_blue_range(lmcam_handle handle, int32_t *min, int32_t *max,
                                                               int32_t *def, int32_t *step);
/* Hue. */
LMCAM_API int32_t lmcam_set_hue(lmcam_handle handle, int32_t value);
/* Reads the hue. */
LMCAM_API int32_t lmcam_get_hue(lmcam_handle handle, int32_t *value);
/* Range of the hue. */
LMCAM_API int32_t lmcam_get_hue_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def, int32_t *step);
/* Saturation (0 gives a monochrome picture). */
LMCAM_API int32_t lmcam_set_saturation(lmcam_handle handle, int32_t value);
/* Reads the saturation. */
LMCAM_API int32_t lmcam_get_saturation(lmcam_handle handle, int32_t *value);
/* Range of the saturation. */
LMCAM_API int32_t lmcam_get_saturation_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def,
                                             int32_t *step);
/* Contrast. */
LMCAM_API int32_t lmcam_set_contrast(lmcam_handle handle, int32_t value);
/* Reads the contrast. */
LMCAM_API int32_t lmcam_get_contrast(lmcam_handle handle, int32_t *value);
/* Range of the contrast. */
LMCAM_API int32_t lmcam_get_contrast_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def,
                                           int32_t *step);
/* Sharpness. */
LMCAM_API int32_t lmcam_set_sharpness(lmcam_handle handle, int32_t value);
/* Reads the sharpness. */
LMCAM_API int32_t lmcam_get_sharpness(lmcam_handle handle, int32_t *value);
/* Range of the sharpness. */
LMCAM_API int32_t lmcam_get_sharpness_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def,
                                            int32_t *step);
/* Gamma value. */
LMCAM_API int32_t lmcam_set_gamma(lmcam_handle handle, int32_t value);
/* Reads the gamma value. */
LMCAM_API int32_t lmcam_get_gamma(lmcam_handle handle, int32_t *value);
/* Range of the gamma value. */
LMCAM_API int32_t lmcam_get_gamma_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def, int32_t *step);
/* Focus motor position in manual focus. */
LMCAM_API int32_t lmcam_set_focus(lmcam_handle handle, int32_t value);
/* Reads the focus motor position. */
LMCAM_API int32_t lmcam_get_focus(lmcam_handle handle, int32_t *value);
/* Range of the focus motor position. */
LMCAM_API int32_t lmcam_get_focus_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def, int32_t *step);

/* ---- Zoom and focus mode --------------------------------------------------------- */

/* Zoom position (optical range first, digital zoom beyond it). */
LMCAM_API int32_t lmcam_set_zoom(lmcam_handle handle, int32_t value);
/* Reads the zoom position. */
LMCAM_API int32_t lmcam_get_zoom(lmcam_handle handle, int32_t *value);
/* Moves the zoom continuously: direction > 0 in, < 0 out, 0 stops. */
LMCAM_API int32_t lmcam_set_zoom_relative(lmcam_handle handle, int32_t direction);
/* Range of the optical zoom. */
LMCAM_API int32_t lmcam_get_ozoom_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def, int32_t *step);
/* Range of the digital zoom. */
LMCAM_API int32_t lmcam_get_dzoom_range(lmcam_handle handle, int32_t *min, int32_t *max, int32_t *def, int32_t *step);
/* Focus mode: LMCAM_MODE_MANUAL, LMCAM_MODE_AUTO or LMCAM_FOCUS_MODE_ONE_SHOT. */
LMCAM_API int32_t lmcam_set_focus_mode(lmcam_handle handle, int32_t value);
/* Reads the focus mode. */
LMCAM_API int32_t lmcam_get_focus_mode(lmcam_handle handle, int32_t *value);
/* Reads the focus mode and the offered modes (bit n set = mode n offered). */
LMCAM_API int32_t lmcam_get_focus_mode_ex(lmcam_handle handle, int32_t *mode, int32_t *supported_modes);

/* ---- Regions --------------------------------------------------------------------- */

/* Rectangle metered by automatic exposure. */
LMCAM_API int32_t lmcam_set_auto_exposure_region(lmcam_handle handle, const lmcam_rect *region);
/* Reads the automatic exposure rectangle. */
LMCAM_API int32_t lmcam_get_auto_exposure_region(lmcam_handle handle, lmcam_rect *region);
/* Rectangle metered by automatic white balance. */
LMCAM_API int32_t lmcam_set_auto_whitebalance_region(lmcam_handle handle, const lmcam_rect *region);
/* Reads the automatic white-balance rectangle. */
LMCAM_API int32_t lmcam_get_auto_whitebalance_region(lmcam_handle handle, lmcam_rect *region);
/* First form of the focus region: a grid cell. */
LMCAM_API int32_t lmcam_set_focus_region_v1(lmcam_handle handle, const lmcam_point *point);
/* Reads the first form of the focus region. */
LMCAM_API int32_t lmcam_get_focus_region_v1(lmcam_handle handle, lmcam_point *point);
/* Second form of the focus region: enable flag and grid cell. */
LMCAM_API int32_t lmcam_set_focus_region_v2(lmcam_handle handle, const lmcam_focus_region_v2 *region);
/* Reads the second form of the focus region. */
LMCAM_API int32_t lmcam_get_focus_region_v2(lmcam_handle handle, lmcam_focus_region_v2 *region);
/* Third form of the focus region: enable flag and rectangle. */
LMCAM_API int32_t lmcam_set_focus_region_v3(lmcam_handle handle, const lmcam_focus_region_v3 *region);
/* Reads the third form of the focus region. */
LMCAM_API int32_t lmcam_get_focus_region_v3(lmcam_handle handle, lmcam_focus_region_v3 *region);

/* ---- Gamma curve ----------------------------------------------------------------- */

/* Sets the gamma curve's control points (count 0..LMCAM_GAMMA_CURVE_MAX_POINTS). */
LMCAM_API int32_t lmcam_set_gamma_bezier_curve(lmcam_handle handle, const lmcam_point *points, int32_t count);
/* Copies up to capacity control points into points and writes how many there are. */
LMCAM_API int32_t lmcam_get_gamma_bezier_curve(lmcam_handle handle, lmcam_point *points, int32_t capacity,
                                               int32_t *count);

/* ---- Lights ---------------------------------------------------------------------- */

/* Level of one light part (0-based part index). */
LMCAM_API int32_t lmcam_set_led(lmcam_handle handle, int32_t part, int32_t level);
/* Reads the level of one light part. */
LMCAM_API int32_t lmcam_get_led(lmcam_handle handle, int32_t part, int32_t *level);
/* Level of one part of the ring light on the focus-motor models. */
LMCAM_API int32_t lmcam_set_cm0x_led(lmcam_handle handle, int32_t part, int32_t level);
/* Reads the level of one ring-light part on the focus-motor models. */
LMCAM_API int32_t lmcam_get_cm0x_led(lmcam_handle handle, int32_t part, int32_t *level);
/* Levels of all four ring-light parts at once: up, left, right, down. */
LMCAM_API int32_t lmcam_set_cm0x_all_led(lmcam_handle handle, const int32_t levels[LMCAM_LED_PART_COUNT]);
/* Reads the levels of all four ring-light parts. */
LMCAM_API int32_t lmcam_get_cm0x_all_led(lmcam_handle handle, int32_t levels[LMCAM_LED_PART_COUNT]);
/* Parts, level range and current levels of the lights. */
LMCAM_API int32_t lmcam_get_led_info(lmcam_handle handle, lmcam_led_info *info);

/* ---- One-shot focus calls -------------------------------------------------------- */

/* Moves the focus motor one step nearer. */
LMCAM_API int32_t lmcam_increase_focus(lmcam_handle handle);
/* Moves the focus motor one step farther. */
LMCAM_API int32_t lmcam_decrease_focus(lmcam_handle handle);
/* Writes 1 while the device is focusing, else 0. */
LMCAM_API int32_t lmcam_get_focus_state(lmcam_handle handle, int32_t *focusing);
/* Runs the focus curve calibration. */
LMCAM_API int32_t lmcam_focus_cure_test(lmcam_handle handle);
/* Checks the stored focus curve; LMCAM_OK when it is valid. */
LMCAM_API int32_t lmcam_focus_cure_check(lmcam_handle handle);

#ifdef __cplusplus
} /* extern "C" */
#endif

/* ---- Layout checks --------------------------------------------------------------- */

#ifdef __cplusplus
#define LMCAM_STATIC_ASSERT(cond, msg) static_assert(cond, msg)
#else
#define LMCAM_STATIC_ASSERT(cond, msg) _Static_assert(cond, msg)
#endif

LMCAM_STATIC_ASSERT(sizeof(void *) == 8, "lmcam records are laid out for 64-bit builds");
LMCAM_STATIC_ASSERT(sizeof(lmcam_device_info) == 264, "device entry is 264 bytes");
LMCAM_STATIC_ASSERT(offsetof(lmcam_device_info, unique_name) == 128, "device entry: unique name");
LMCAM_STATIC_ASSERT(offsetof(lmcam_device_info, vendor_id) == 256, "device entry: vendor id");
LMCAM_STATIC_ASSERT(offsetof(lmcam_device_info, product_id) == 258, "device entry: product id");
LMCAM_STATIC_ASSERT(offsetof(lmcam_device_info, bus_speed) == 260, "device entry: bus speed");
LMCAM_STATIC_ASSERT(sizeof(lmcam_device_list) == 4228, "device list is 4228 bytes");
LMCAM_STATIC_ASSERT(offsetof(lmcam_device_list, count) == 4224, "device list: count");
LMCAM_STATIC_ASSERT(sizeof(lmcam_capability) == 16, "capability entry is 16 bytes");
LMCAM_STATIC_ASSERT(offsetof(lmcam_capability, format) == 12, "capability entry: format");
LMCAM_STATIC_ASSERT(sizeof(lmcam_capture_capabilities) == 516, "capabilities are 516 bytes");
LMCAM_STATIC_ASSERT(offsetof(lmcam_capture_capabilities, count) == 512, "capabilities: count");
LMCAM_STATIC_ASSERT(sizeof(lmcam_capture_context) == 148, "capture context is 148 bytes");
LMCAM_STATIC_ASSERT(offsetof(lmcam_capture_context, width) == 128, "capture context: width");
LMCAM_STATIC_ASSERT(offsetof(lmcam_capture_context, format) == 136, "capture context: format");
LMCAM_STATIC_ASSERT(offsetof(lmcam_capture_context, frame_rate) == 144, "capture context: frame rate");
LMCAM_STATIC_ASSERT(sizeof(lmcam_frame) == 72, "frame record is 72 bytes");
LMCAM_STATIC_ASSERT(offsetof(lmcam_frame, library_ref) == 24, "frame record: reserved after planes");
LMCAM_STATIC_ASSERT(offsetof(lmcam_frame, pixel_format) == 32, "frame record: pixel format");
LMCAM_STATIC_ASSERT(offsetof(lmcam_frame, width) == 36, "frame record: width");
LMCAM_STATIC_ASSERT(offsetof(lmcam_frame, height) == 40, "frame record: height");
LMCAM_STATIC_ASSERT(offsetof(lmcam_frame, strides) == 44, "frame record: strides");
LMCAM_STATIC_ASSERT(offsetof(lmcam_frame, reserved) == 56, "frame record: reserved after strides");
LMCAM_STATIC_ASSERT(offsetof(lmcam_frame, timestamp_us) == 64, "frame record: timestamp");
LMCAM_STATIC_ASSERT(sizeof(lmcam_focus_region_v2) == 12, "focus region v2 is 12 bytes");
LMCAM_STATIC_ASSERT(sizeof(lmcam_focus_region_v3) == 20, "focus region v3 is 20 bytes");
LMCAM_STATIC_ASSERT(sizeof(lmcam_led_info) == 32, "led info is 32 bytes");

#endif /* LMCAM_H */
