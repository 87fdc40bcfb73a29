/*
 * The virtual devices of lmcam seen from plain C: enumeration from the devices file,
 * streaming at the requested size and pace, parameters and ranges, and devices files that
 * are broken.
 */
#define _POSIX_C_SOURCE 200809L

#include "lmcam.h"

#include <stdio.h>
#include <stdlib.h>
#include <string.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

static int g_passed;
static int g_failed;
static char g_devicesPath[512];

#define CHECK(cond)                                                                                                    \
    do {                                                                                                               \
        if (cond) {                                                                                                    \
            ++g_passed;                                                                                                \
        } else {                                                                                                       \
            printf("  FAIL %s:%d: %s\n", __FILE__, __LINE__, #cond);                                                   \
            ++g_failed;                                                                                                \
        }                                                                                                              \
    } while (0)

#define CHECK_STATUS(call, expected)                                                                                   \
    do {                                                                                                               \
        const int32_t status_ = (call);                                                                                \
        if (status_ == (expected)) {                                                                                   \
            ++g_passed;                                                                                                \
        } else {                                                                                                       \
            printf("  FAIL %s:%d: %s gave %d, expected %d\n", __FILE__, __LINE__, #call, (int)status_,                 \
                   (int)(expected));                                                                                   \
            ++g_failed;                                                                                                \
        }                                                                                                              \
    } while (0)

#define CELLS_NAME "usb#vid_2bdf&pid_0283#0001#video"
#define FLUO_NAME "usb#vid_2bdf&pid_1a2b#0002#video"

static const char *kTwoDevices =
    "{\"devices\": ["
    " {\"name\": \"" CELLS_NAME "\", \"label\": \"Stage A\", \"pid\": \"0283\", \"bus_speed\": 3,"
    "  \"firmware\": 151, \"model_suffix\": \"B2\", \"fps\": 40, \"frame_format\": 0,"
    "  \"capabilities\": [{\"width\": 640, \"height\": 480, \"format\": 12},"
    "                    {\"width\": 320, \"height\": 240, \"format\": 15}],"
    "  \"specimen\": {\"type\": \"cells\", \"seed\": 3, \"drift\": true}, \"unknown_key\": [1, 2]},"
    " {\"name\": \"" FLUO_NAME "\", \"pid\": \"1a2b\", \"fps\": 20, \"frame_format\": 3,"
    "  \"capabilities\": [{\"width\": 320, \"height\": 240, \"format\": 12}],"
    "  \"specimen\": {\"type\": \"fluorescence\", \"structure\": \"filaments\"}}"
    "]}";

static void writeFile(const char *path, const char *text)
{
    FILE *f = fopen(path, "wb");
    if (f) {
        fputs(text, f);
        fclose(f);
    }
}

static void sleepMs(long ms)
{
    struct timespec t = {ms / 1000, (ms % 1000) * 1000000L};
    nanosleep(&t, NULL);
}

static int64_t monotonicUs(void)
{
    struct timespec t;
    clock_gettime(CLOCK_MONOTONIC, &t);
    return (int64_t)t.tv_sec * 1000000 + t.tv_nsec / 1000;
}

static int findDevice(const lmcam_device_list *list, const char *name)
{
    for (int i = 0; i < list->count; ++i)
        if (strcmp(list->devices[i].unique_name, name) == 0)
            return i;
    return -1;
}

static int enumCount(void)
{
    lmcam_device_list list;
    memset(&list, 0, sizeof list);
    return lmcam_enum_devices(&list) == LMCAM_OK ? list.count : -1;
}

static lmcam_handle openStreaming(const char *name, int32_t width, int32_t height, int32_t format)
{
    lmcam_handle handle = 0;
    if (lmcam_open(name, &handle) != LMCAM_OK)
        return 0;
    lmcam_capture_context ctx;
    memset(&ctx, 0, sizeof ctx);
    strncpy(ctx.device_name, name, sizeof ctx.device_name - 1);
    ctx.width = width;
    ctx.height = height;
    ctx.format = format;
    if (lmcam_set_capture_context(handle, &ctx) != LMCAM_OK) {
        lmcam_close(handle);
        return 0;
    }
    return handle;
}

/* Waits up to a second for the next frame. */
static int32_t readFrameWait(lmcam_handle handle, lmcam_frame *frame)
{
    int32_t status = LMCAM_ERR_NO_FRAME;
    for (int i = 0; i < 1000 && status == LMCAM_ERR_NO_FRAME; ++i) {
        memset(frame, 0, sizeof *frame);
        status = lmcam_read_frame(handle, frame);
        if (status == LMCAM_ERR_NO_FRAME)
            sleepMs(1);
    }
    return status;
}

static double meanOfPlane(const lmcam_frame *frame)
{
    const int bytes = frame->pixel_format == LMCAM_PIXEL_FORMAT_RGB24 ? 3 : 1;
    double sum = 0;
    for (int y = 0; y < frame->height; ++y)
        for (int x = 0; x < frame->width * bytes; ++x)
            sum += frame->planes[0][(size_t)y * frame->strides[0] + x];
    return sum / ((double)frame->width * bytes * frame->height);
}

/* ---- Cases ----------------------------------------------------------------------- */

static void enumerationFollowsTheFile(void)
{
    writeFile(g_devicesPath, kTwoDevices);
    lmcam_device_list list;
    memset(&list, 0, sizeof list);
    CHECK_STATUS(lmcam_enum_devices(&list), LMCAM_OK);
    CHECK(list.count == 2);
    const int a = findDevice(&list, CELLS_NAME), b = findDevice(&list, FLUO_NAME);
    CHECK(a >= 0 && b >= 0);
    if (a < 0 || b < 0)
        return;
    CHECK(strcmp(list.devices[a].description, "Stage A") == 0);
    CHECK(list.devices[a].product_id == 0x0283 && list.devices[a].bus_speed == LMCAM_BUS_SPEED_USB_3_0);
    CHECK(list.devices[b].product_id == 0x1a2b && list.devices[b].bus_speed == LMCAM_BUS_SPEED_USB_2_0);

    lmcam_handle handle = 0, second = 0;
    CHECK_STATUS(lmcam_open(CELLS_NAME, &handle), LMCAM_OK);
    CHECK(handle != 0);
    CHECK_STATUS(lmcam_open(CELLS_NAME, &second), LMCAM_ERR_BUSY);
    char suffix[8];
    CHECK_STATUS(lmcam_get_model_suffix(handle, suffix, 2), LMCAM_ERR_BUFFER_TOO_SMALL);
    CHECK_STATUS(lmcam_close(handle), LMCAM_OK);
    CHECK_STATUS(lmcam_close(handle), LMCAM_ERR_NOT_OPEN);
}

static void framesComeAtSizeAndPace(void)
{
    writeFile(g_devicesPath, kTwoDevices);
    lmcam_handle handle = 0;
    CHECK_STATUS(lmcam_open(CELLS_NAME, &handle), LMCAM_OK);
    lmcam_capture_context ctx;
    memset(&ctx, 0, sizeof ctx);
    ctx.width = 1920; /* not offered */
    ctx.height = 1080;
    ctx.format = LMCAM_CAPTURE_FORMAT_MJPEG;
    CHECK_STATUS(lmcam_set_capture_context(handle, &ctx), LMCAM_ERR_NOT_SUPPORTED);
    ctx.width = 320; /* offered in NV12 only */
    ctx.height = 240;
    CHECK_STATUS(lmcam_set_capture_context(handle, &ctx), LMCAM_ERR_NOT_SUPPORTED);
    lmcam_frame frame;
    memset(&frame, 0, sizeof frame);
    CHECK_STATUS(lmcam_read_frame(handle, &frame), LMCAM_ERR_NO_FRAME); /* not streaming */
    ctx.width = 640;
    ctx.height = 480;
    CHECK_STATUS(lmcam_set_capture_context(handle, &ctx), LMCAM_OK);
    /* The specimen is built off the read: until it is done, reads answer at once without a frame. */
    CHECK_STATUS(lmcam_read_frame(handle, &frame), LMCAM_ERR_NO_FRAME);

    /* 40 frames a second: about 20 in half a second, however often the reader asks. The
     * window opens at the first frame, so the time to build the specimen does not count; a
     * slow (loaded, sanitized) machine may miss frames, so only the upper bound is tight. */
    int frames = 0, badFrames = 0, badFrees = 0;
    int64_t lastTimestamp = -1, minGap = 1000000000;
    int64_t start = -1;
    const int64_t opened = monotonicUs();
    while (start < 0 ? monotonicUs() - opened < 5000000 : monotonicUs() - start < 500000) {
        memset(&frame, 0, sizeof frame);
        const int32_t status = lmcam_read_frame(handle, &frame);
        if (status == LMCAM_ERR_NO_FRAME) {
            sleepMs(1);
            continue;
        }
        if (status != LMCAM_OK) {
            ++badFrames;
            break;
        }
        if (start < 0)
            start = monotonicUs();
        ++frames;
        if (frame.width != 640 || frame.height != 480 || frame.pixel_format != LMCAM_PIXEL_FORMAT_I420 ||
            frame.strides[0] != 640 || frame.strides[1] != 320 || frame.strides[2] != 320 || !frame.planes[0] ||
            frame.planes[1] != frame.planes[0] + 640 * 480 || frame.planes[2] != frame.planes[1] + 320 * 240 ||
            frame.library_ref == 0)
            ++badFrames;
        if (lastTimestamp >= 0 && frame.timestamp_us - lastTimestamp < minGap)
            minGap = frame.timestamp_us - lastTimestamp;
        lastTimestamp = frame.timestamp_us;
        if (lmcam_free_frame(&frame) != LMCAM_OK)
            ++badFrees;
        if (lmcam_free_frame(&frame) != LMCAM_ERR_NO_FRAME)
            ++badFrees;
    }
    CHECK(badFrames == 0 && badFrees == 0);
    CHECK(frames >= 5 && frames <= 22);
    CHECK(minGap >= 24000); /* never two frames within one 25 ms interval */

    /* A context asking for less than the device's rate gets it: frames due every 100 ms. */
    ctx.frame_rate = 10;
    CHECK_STATUS(lmcam_set_capture_context(handle, &ctx), LMCAM_OK);
    lastTimestamp = -1;
    frames = 0;
    for (int tries = 0; frames < 3 && tries < 5000; ++tries) {
        memset(&frame, 0, sizeof frame);
        if (lmcam_read_frame(handle, &frame) != LMCAM_OK) {
            sleepMs(1);
            continue;
        }
        CHECK(lastTimestamp < 0 || (frame.timestamp_us - lastTimestamp) % 100000 == 0);
        lastTimestamp = frame.timestamp_us;
        ++frames;
        lmcam_free_frame(&frame);
    }
    CHECK(frames == 3);
    lmcam_close(handle);
}

typedef int32_t (*SetFn)(lmcam_handle, int32_t);
typedef int32_t (*GetFn)(lmcam_handle, int32_t *);
typedef int32_t (*RangeFn)(lmcam_handle, int32_t *, int32_t *, int32_t *, int32_t *);

struct RangedParam
{
    const char *name;
    SetFn set;
    GetFn get;
    RangeFn range;
};

static void rangedParametersReadBack(void)
{
    static const struct RangedParam rows[] = {
        {"exposureCompensation", lmcam_set_exposure_compensation, lmcam_get_exposure_compensation,
         lmcam_get_exposure_compensation_range},
        {"exposureTime", lmcam_set_exposure_time, lmcam_get_exposure_time, lmcam_get_exposure_time_range},
        {"longExposureTime", lmcam_set_long_exposure_time, lmcam_get_long_exposure_time,
         lmcam_get_long_exposure_time_range},
        {"exposureGain", lmcam_set_exposure_gain, lmcam_get_exposure_gain, lmcam_get_exposure_gain_range},
        {"wbTemperature", lmcam_set_white_balance_temperature, lmcam_get_white_balance_temperature,
         lmcam_get_white_balance_temperature_range},
        {"wbRed", lmcam_set_white_balance_component_red, lmcam_get_white_balance_component_red,
         lmcam_get_white_balance_component_red_range},
        {"wbGreen", lmcam_set_white_balance_component_green, lmcam_get_white_balance_component_green,
         lmcam_get_white_balance_component_green_range},
        {"wbBlue", lmcam_set_white_balance_component_blue, lmcam_get_white_balance_component_blue,
         lmcam_get_white_balance_component_blue_range},
        {"hue", lmcam_set_hue, lmcam_get_hue, lmcam_get_hue_range},
        {"saturation", lmcam_set_saturation, lmcam_get_saturation, lmcam_get_saturation_range},
        {"contrast", lmcam_set_contrast, lmcam_get_contrast, lmcam_get_contrast_range},
        {"sharpness", lmcam_set_sharpness, lmcam_get_sharpness, lmcam_get_sharpness_range},
        {"gamma", lmcam_set_gamma, lmcam_get_gamma, lmcam_get_gamma_range},
        {"focus", lmcam_set_focus, lmcam_get_focus, lmcam_get_focus_range},
    };
    writeFile(g_devicesPath, kTwoDevices);
    lmcam_handle handle = 0;
    CHECK_STATUS(lmcam_open(FLUO_NAME, &handle), LMCAM_OK);
    /* Manual modes, so that the values set are the values in effect. */
    CHECK_STATUS(lmcam_set_exposure_mode(handle, LMCAM_MODE_MANUAL), LMCAM_OK);
    CHECK_STATUS(lmcam_set_white_balance_mode(handle, LMCAM_MODE_MANUAL), LMCAM_OK);
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        int32_t min = 0, max = 0, def = 0, step = 0, value = -12345;
        const int ok = rows[i].range(handle, &min, &max, &def, &step) == LMCAM_OK && min < max && def >= min &&
                       def <= max && rows[i].get(handle, &value) == LMCAM_OK && value == def &&
                       rows[i].set(handle, max) == LMCAM_OK && rows[i].get(handle, &value) == LMCAM_OK &&
                       value == max && rows[i].set(handle, max + 1) == LMCAM_ERR_OUT_OF_RANGE &&
                       rows[i].set(handle, min - 1) == LMCAM_ERR_OUT_OF_RANGE && rows[i].set(handle, min) == LMCAM_OK &&
                       rows[i].get(handle, &value) == LMCAM_OK && value == min;
        if (!ok)
            printf("  row %s\n", rows[i].name);
        CHECK(ok);
    }
    lmcam_close(handle);
}

static void devicePartsReadBack(void)
{
    writeFile(g_devicesPath, kTwoDevices);
    lmcam_handle handle = 0;
    CHECK_STATUS(lmcam_open(FLUO_NAME, &handle), LMCAM_OK);
    int32_t value = -1, supported = 0, min, max, def, step;

    CHECK_STATUS(lmcam_set_focus_mode(handle, LMCAM_FOCUS_MODE_ONE_SHOT), LMCAM_OK);
    CHECK_STATUS(lmcam_get_focus_mode_ex(handle, &value, &supported), LMCAM_OK);
    CHECK(value == LMCAM_FOCUS_MODE_ONE_SHOT && supported == 7);
    CHECK_STATUS(lmcam_set_focus_mode(handle, 3), LMCAM_ERR_OUT_OF_RANGE);
    CHECK_STATUS(lmcam_set_focus_mode(handle, LMCAM_MODE_MANUAL), LMCAM_OK);
    CHECK_STATUS(lmcam_set_focus(handle, 500), LMCAM_OK);
    CHECK_STATUS(lmcam_increase_focus(handle), LMCAM_OK);
    CHECK_STATUS(lmcam_increase_focus(handle), LMCAM_OK);
    CHECK_STATUS(lmcam_decrease_focus(handle), LMCAM_OK);
    CHECK_STATUS(lmcam_get_focus(handle, &value), LMCAM_OK);
    CHECK(value == 510);
    CHECK_STATUS(lmcam_focus_cure_test(handle), LMCAM_OK);
    CHECK_STATUS(lmcam_focus_cure_check(handle), LMCAM_OK);

    /* Zoom: optical range first, the digital one beyond it. */
    CHECK_STATUS(lmcam_get_ozoom_range(handle, &min, &max, &def, &step), LMCAM_OK);
    const int32_t opticalMax = max;
    CHECK_STATUS(lmcam_get_dzoom_range(handle, &min, &max, &def, &step), LMCAM_OK);
    CHECK(min >= opticalMax && max > min);
    CHECK_STATUS(lmcam_set_zoom(handle, max), LMCAM_OK);
    CHECK_STATUS(lmcam_get_zoom(handle, &value), LMCAM_OK);
    CHECK(value == max);
    CHECK_STATUS(lmcam_set_zoom(handle, max + 1), LMCAM_ERR_OUT_OF_RANGE);

    /* Regions: inside the frame (320x240 here) or refused. */
    const lmcam_rect inside = {10, 20, 100, 80}, outside = {300, 0, 21, 10};
    lmcam_rect rect;
    CHECK_STATUS(lmcam_set_auto_exposure_region(handle, &inside), LMCAM_OK);
    CHECK_STATUS(lmcam_get_auto_exposure_region(handle, &rect), LMCAM_OK);
    CHECK(rect.x == 10 && rect.y == 20 && rect.width == 100 && rect.height == 80);
    CHECK_STATUS(lmcam_set_auto_whitebalance_region(handle, &outside), LMCAM_ERR_OUT_OF_RANGE);
    const lmcam_point offGrid = {16, 0}; /* focus cells are read back through the USB models */
    CHECK_STATUS(lmcam_set_focus_region_v1(handle, &offGrid), LMCAM_ERR_OUT_OF_RANGE);

    /* Lights: single parts and all four share one set of levels. */
    const int32_t levels[LMCAM_LED_PART_COUNT] = {10, 20, 30, 40};
    int32_t levelsBack[LMCAM_LED_PART_COUNT];
    lmcam_led_info info;
    CHECK_STATUS(lmcam_set_cm0x_all_led(handle, levels), LMCAM_OK);
    CHECK_STATUS(lmcam_set_led(handle, 2, 77), LMCAM_OK);
    CHECK_STATUS(lmcam_get_cm0x_all_led(handle, levelsBack), LMCAM_OK);
    CHECK(levelsBack[0] == 10 && levelsBack[1] == 20 && levelsBack[2] == 77 && levelsBack[3] == 40);
    CHECK_STATUS(lmcam_get_led_info(handle, &info), LMCAM_OK);
    CHECK(info.part_count == 4 && info.max_level > info.min_level && info.levels[2] == 77);
    CHECK_STATUS(lmcam_set_cm0x_led(handle, 0, info.max_level + 1), LMCAM_ERR_OUT_OF_RANGE);
    CHECK_STATUS(lmcam_set_led(handle, 4, 1), LMCAM_ERR_INVALID_ARG);

    /* Gamma curve: the points come back; a capacity below the count copies less. */
    const lmcam_point curve[3] = {{0, 0}, {128, 160}, {255, 255}};
    lmcam_point curveBack[LMCAM_GAMMA_CURVE_MAX_POINTS];
    int32_t count = 0;
    CHECK_STATUS(lmcam_set_gamma_bezier_curve(handle, curve, 3), LMCAM_OK);
    CHECK_STATUS(lmcam_get_gamma_bezier_curve(handle, curveBack, LMCAM_GAMMA_CURVE_MAX_POINTS, &count), LMCAM_OK);
    CHECK(count == 3 && curveBack[1].x == 128 && curveBack[1].y == 160);
    const lmcam_point unordered[2] = {{100, 0}, {50, 255}};
    CHECK_STATUS(lmcam_set_gamma_bezier_curve(handle, unordered, 2), LMCAM_ERR_OUT_OF_RANGE);

    CHECK_STATUS(lmcam_set_encrypt(handle, 1), LMCAM_OK);
    CHECK_STATUS(lmcam_get_encrypt(handle, &value), LMCAM_OK);
    CHECK(value == 1);
    CHECK_STATUS(lmcam_set_mirror(handle, 2), LMCAM_ERR_OUT_OF_RANGE);
    CHECK_STATUS(lmcam_set_windows_version(handle, 7), LMCAM_OK);
    lmcam_close(handle);
}

static void exposureBrightensThePicture(void)
{
    writeFile(g_devicesPath, kTwoDevices);
    const lmcam_handle handle = openStreaming(FLUO_NAME, 320, 240, LMCAM_CAPTURE_FORMAT_MJPEG);
    CHECK(handle != 0);
    if (!handle)
        return;
    lmcam_set_exposure_mode(handle, LMCAM_MODE_MANUAL);
    double means[2] = {0, 0};
    const int32_t times[2] = {50, 600};
    for (int i = 0; i < 2; ++i) {
        lmcam_set_exposure_time(handle, times[i]);
        lmcam_frame frame;
        CHECK_STATUS(readFrameWait(handle, &frame), LMCAM_OK);
        if (frame.library_ref) {
            CHECK(frame.pixel_format == LMCAM_PIXEL_FORMAT_RGB24 && frame.strides[0] == 320 * 3);
            means[i] = meanOfPlane(&frame);
            lmcam_free_frame(&frame);
        }
    }
    CHECK(means[1] > means[0] * 2.0);
    lmcam_close(handle);
}

static int g_errorLines;
static void countErrors(int32_t level, const char *text)
{
    (void)text;
    if (level == LMCAM_LOG_ERROR)
        ++g_errorLines;
}

static void brokenFilesNeverCrash(void)
{
    struct Row
    {
        const char *name;
        const char *text;
        int devices;
    };
    /* A file that is not a list of devices (half written, say) keeps the devices of the last good one. */
    static const struct Row rows[] = {
        {"brokenJson", "[{\"name\": \"usb#pid_0283\", ", 1},
        {"notAList", "{\"devices\": 5}", 1},
        {"emptyFile", "", 1},
        {"nameWithoutPid", "[{\"name\": \"usb#vid_2bdf&pid_0284\", \"pid\": \"0283\"}]", 0},
        {"wrongTypes",
         "[{\"name\": \"" CELLS_NAME "\", \"pid\": \"0283\", \"fps\": \"fast\"},"
         " {\"name\": \"" FLUO_NAME "\", \"pid\": \"1a2b\"}]",
         1},
        {"oddCapability",
         "[{\"name\": \"" CELLS_NAME "\", \"pid\": \"0283\", \"capabilities\": [{\"width\": 641, \"height\": 480, "
         "\"format\": 12}]}, {\"name\": \"" FLUO_NAME "\", \"pid\": \"1a2b\"}]",
         1},
        {"unknownSpecimen", "[{\"name\": \"" CELLS_NAME "\", \"pid\": \"0283\", \"specimen\": \"brain\"}]", 0},
        {"duplicateName", "[{\"name\": \"" CELLS_NAME "\"}, {\"name\": \"" CELLS_NAME "\"}]", 1},
        {"entryNotObject", "[7, null, {\"name\": \"" CELLS_NAME "\"}]", 1},
    };
    lmcam_log_set_callback(countErrors);
    lmcam_log_set_level(LMCAM_LOG_ERROR);
    for (size_t i = 0; i < sizeof rows / sizeof rows[0]; ++i) {
        writeFile(g_devicesPath, "[{\"name\": \"" CELLS_NAME "\"}]");
        CHECK(enumCount() == 1);
        writeFile(g_devicesPath, rows[i].text);
        g_errorLines = 0;
        const int count = enumCount();
        if (count != rows[i].devices || g_errorLines == 0)
            printf("  row %s: %d devices, %d error lines\n", rows[i].name, count, g_errorLines);
        CHECK(count == rows[i].devices && g_errorLines > 0);
    }

    /* A FIFO is not read (opening it would wait for a writer): reported, devices unchanged.
     * The alarm ends a hanging enumeration. */
    char fifoPath[600];
    snprintf(fifoPath, sizeof fifoPath, "%s.fifo", g_devicesPath);
    CHECK(mkfifo(fifoPath, 0600) == 0);
    setenv("LMCAM_VIRTUAL_DEVICES", fifoPath, 1);
    g_errorLines = 0;
    alarm(30);
    CHECK(enumCount() == 1 && g_errorLines > 0);
    alarm(0);
    unlink(fifoPath);
    setenv("LMCAM_VIRTUAL_DEVICES", g_devicesPath, 1);
    lmcam_log_set_callback(NULL);

    remove(g_devicesPath);
    CHECK(enumCount() == 0);
    unsetenv("LMCAM_VIRTUAL_DEVICES");
    lmcam_device_list list;
    memset(&list, 0, sizeof list);
    CHECK_STATUS(lmcam_enum_devices(&list), LMCAM_OK);
    CHECK(list.count == 1 && strstr(list.devices[0].unique_name, "usb") != NULL);
    setenv("LMCAM_VIRTUAL_DEVICES", g_devicesPath, 1);
}

int main(void)
{
    const char *tmp = getenv("TMPDIR");
    char dirTemplate[200];
    snprintf(dirTemplate, sizeof dirTemplate, "%s/lmcam-devices-XXXXXX", tmp && *tmp ? tmp : "/tmp");
    if (!mkdtemp(dirTemplate)) {
        printf("cannot create a temporary folder\n");
        return 1;
    }
    snprintf(g_devicesPath, sizeof g_devicesPath, "%s/devices.json", dirTemplate);
    setenv("LMCAM_VIRTUAL_DEVICES", g_devicesPath, 1);
    lmcam_api_init();

    enumerationFollowsTheFile();
    framesComeAtSizeAndPace();
    rangedParametersReadBack();
    devicePartsReadBack();
    exposureBrightensThePicture();
    brokenFilesNeverCrash();

    lmcam_api_destroy();
    remove(g_devicesPath);
    rmdir(dirTemplate);
    printf("%d passed, %d failed\n", g_passed, g_failed);
    return g_failed == 0 ? 0 : 1;
}
