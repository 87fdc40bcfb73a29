// Device calls over the registry of virtual devices. Arguments are checked before the
// handle, so that a bad call is reported as such whatever the device state; a device whose
// entry left the devices file answers LMCAM_ERR_NO_DEVICE, as an unplugged camera does.
#include "device_registry.h"
#include "lmcam.h"
#include "lmcam_private.h"
#include "virtualscope/framestamp.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <fstream>
#include <string>
#include <sys/stat.h>
#include <thread>

using lmcam::Param;
using lmcam::VirtualDevice;

namespace {

constexpr std::streamoff kMaxFirmwareSize = 64ll << 20;

// Runs f on the open device of handle under its lock.
template<typename F> int32_t withDevice(lmcam_handle handle, F &&f)
{
    const std::shared_ptr<VirtualDevice> device = lmcam::findDevice(handle);
    if (!device)
        return LMCAM_ERR_NOT_OPEN;
    lmcam::checkDevicesFile(*device);
    std::lock_guard<std::mutex> lock(device->mutex);
    if (device->unplugged)
        return LMCAM_ERR_NO_DEVICE;
    if (device->upgrading)
        return LMCAM_ERR_BUSY;
    return f(*device);
}

bool inRange(Param param, int32_t value)
{
    const lmcam::ParamRange &r = lmcam::paramRange(param);
    return value >= r.min && value <= r.max;
}

int32_t setParam(lmcam_handle handle, Param param, int32_t value)
{
    return withDevice(handle, [&](VirtualDevice &d) {
        if (param == Param::ZoomRelative) {
            d.at(param) = value > 0 ? 1 : value < 0 ? -1 : 0;
            return LMCAM_OK;
        }
        if (!inRange(param, value))
            return LMCAM_ERR_OUT_OF_RANGE;
        d.at(param) = value;
        if (param == Param::FocusMode)
            d.oneShotDone = false;
        return LMCAM_OK;
    });
}

int32_t getParam(lmcam_handle handle, Param param, int32_t *value)
{
    if (!value)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        switch (param) {
        case Param::ExposureTime:
            *value = d.effectiveExposureTime();
            break;
        case Param::ExposureGain:
            *value = d.get(Param::ExposureMode) == LMCAM_MODE_AUTO ? lmcam::paramRange(param).min : d.get(param);
            break;
        case Param::WhiteBalanceRed:
        case Param::WhiteBalanceGreen:
        case Param::WhiteBalanceBlue:
            // Automatic white balance settles on neutral gains for the virtual specimen.
            *value = d.get(Param::WhiteBalanceMode) == LMCAM_MODE_AUTO ? lmcam::paramRange(param).def : d.get(param);
            break;
        default:
            *value = d.get(param);
        }
        return LMCAM_OK;
    });
}

int32_t getRange(lmcam_handle handle, Param param, int32_t *min, int32_t *max, int32_t *def, int32_t *step)
{
    if (!min || !max || !def || !step)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &) {
        const lmcam::ParamRange &r = lmcam::paramRange(param);
        *min = r.min;
        *max = r.max;
        *def = r.def;
        *step = 1;
        return LMCAM_OK;
    });
}

bool validLedPart(int32_t part)
{
    return part >= 0 && part < LMCAM_LED_PART_COUNT;
}

bool rectInside(const lmcam_rect &r, int32_t w, int32_t h)
{
    return r.x >= 0 && r.y >= 0 && r.width >= 0 && r.height >= 0 && r.x <= w - r.width && r.y <= h - r.height;
}

bool pointInGrid(const lmcam_point &p)
{
    return p.x >= 0 && p.y >= 0 && p.x < lmcam::kFocusGrid && p.y < lmcam::kFocusGrid;
}

int64_t nowUs()
{
    return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

bool endsWith(const std::string &text, const std::string &tail)
{
    return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

// The firmware the device takes: a regular, non-empty file of at most 64 MiB whose name
// ends in ".update" or ".lpk".
bool firmwareAccepted(const char *path)
{
    const std::string name(path);
    if (!endsWith(name, ".update") && !endsWith(name, ".lpk"))
        return false;
    struct stat info;
    return stat(path, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0 && info.st_size <= kMaxFirmwareSize;
}

// Regions are checked against the streamed frame (the largest mode while not streaming).
int32_t setRect(lmcam_handle handle, const lmcam_rect *region, lmcam_rect VirtualDevice::*field)
{
    if (!region)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        int32_t w, h;
        d.frameSize(&w, &h);
        if (!rectInside(*region, w, h))
            return LMCAM_ERR_OUT_OF_RANGE;
        d.*field = *region;
        return LMCAM_OK;
    });
}

template<typename T> int32_t readField(lmcam_handle handle, T *out, T VirtualDevice::*field)
{
    if (!out)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        *out = d.*field;
        return LMCAM_OK;
    });
}

int32_t setLed(lmcam_handle handle, int32_t part, int32_t level)
{
    if (!validLedPart(part))
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        if (level < 0 || level > lmcam::kLedMax)
            return LMCAM_ERR_OUT_OF_RANGE;
        d.leds[part] = level;
        return LMCAM_OK;
    });
}

int32_t getLed(lmcam_handle handle, int32_t part, int32_t *level)
{
    if (!validLedPart(part) || !level)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        *level = d.leds[part];
        return LMCAM_OK;
    });
}

int32_t moveFocus(lmcam_handle handle, int32_t steps)
{
    return withDevice(handle, [&](VirtualDevice &d) {
        const lmcam::ParamRange &r = lmcam::paramRange(Param::Focus);
        d.at(Param::Focus) = std::max(r.min, std::min(r.max, d.get(Param::Focus) + steps));
        return LMCAM_OK;
    });
}

// One step of the focus buttons, in motor steps.
constexpr int32_t kFocusButtonStep = 10;

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
    return lmcam::enumerateDevices(list);
}

int32_t lmcam_open(const char *unique_name, lmcam_handle *handle)
{
    if (!handle)
        return LMCAM_ERR_INVALID_ARG;
    *handle = 0;
    if (!unique_name)
        return LMCAM_ERR_INVALID_ARG;
    return lmcam::openDevice(unique_name, handle);
}

int32_t lmcam_close(lmcam_handle handle)
{
    return lmcam::closeDevice(handle);
}

int32_t lmcam_get_version(lmcam_handle handle, int32_t *version)
{
    if (!version)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        *version = d.entry.firmware;
        return LMCAM_OK;
    });
}

int32_t lmcam_get_capture_capabilities(lmcam_handle handle, lmcam_capture_capabilities *caps)
{
    if (!caps)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        std::memset(caps, 0, sizeof *caps);
        for (const lmcam_capability &c : d.entry.capabilities)
            caps->entries[caps->count++] = c;
        return LMCAM_OK;
    });
}

int32_t lmcam_set_capture_context(lmcam_handle handle, const lmcam_capture_context *ctx)
{
    if (!ctx)
        return LMCAM_ERR_INVALID_ARG;
    if (ctx->mode != LMCAM_CAPTURE_MODE_STREAM && ctx->mode != LMCAM_CAPTURE_MODE_UPGRADE)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        if (d.entry.refuseContext) {
            lmcam::logMessage(LMCAM_LOG_ERROR, "capture context refused by \"%s\"", d.entry.name.c_str());
            return LMCAM_ERR_IO;
        }
        if (ctx->mode == LMCAM_CAPTURE_MODE_UPGRADE) {
            d.streaming = false;
            return LMCAM_OK;
        }
        const bool offered = std::any_of(d.entry.capabilities.begin(), d.entry.capabilities.end(), [&](auto &c) {
            return c.width == ctx->width && c.height == ctx->height && c.format == ctx->format;
        });
        if (!offered) {
            lmcam::logMessage(LMCAM_LOG_WARNING, "capture context %dx%d format %d is not offered", ctx->width,
                              ctx->height, ctx->format);
            return LMCAM_ERR_NOT_SUPPORTED;
        }
        if (ctx->frame_rate < 0)
            return LMCAM_ERR_INVALID_ARG;
        const int32_t fps = ctx->frame_rate > 0 ? std::min(ctx->frame_rate, d.entry.fps) : d.entry.fps;
        d.switchedSize = d.streaming;
        d.streaming = true;
        d.width = ctx->width;
        d.height = ctx->height;
        d.intervalUs = 1000000 / fps;
        d.startUs = nowUs();
        d.nextFrame = 0;
        if (!d.switchedSize)
            d.renderer.prepareSpecimen(d.width, d.height); // a large one takes seconds: start it now
        return LMCAM_OK;
    });
}

int32_t lmcam_read_frame(lmcam_handle handle, lmcam_frame *frame)
{
    if (!frame)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        if (!d.streaming)
            return LMCAM_ERR_NO_FRAME;
        if (d.entry.disconnectAfterFrames >= 0 && d.delivered >= d.entry.disconnectAfterFrames) {
            d.unplugged = true;
            lmcam::logMessage(LMCAM_LOG_WARNING, "device \"%s\" dropped off the bus", d.entry.name.c_str());
            return LMCAM_ERR_NO_DEVICE;
        }
        if (d.entry.readStallMs > 0) {
            lmcam::logMessage(LMCAM_LOG_WARNING, "device \"%s\": frame read stalls for %d ms", d.entry.name.c_str(),
                              d.entry.readStallMs);
            std::this_thread::sleep_for(std::chrono::milliseconds(d.entry.readStallMs));
        }
        const int64_t now = nowUs();
        int64_t due = d.startUs + d.nextFrame * d.intervalUs;
        // A stream's first frame waits for its specimen, which is built off this call.
        if (now < due || (!d.switchedSize && !d.renderer.prepareSpecimen(d.width, d.height)))
            return LMCAM_ERR_NO_FRAME;
        d.switchedSize = false;
        // A reader that fell behind gets the latest frame; the missed ones are dropped.
        if (now - due >= d.intervalUs) {
            d.nextFrame = (now - d.startUs) / d.intervalUs;
            due = d.startUs + d.nextFrame * d.intervalUs;
        }
        d.stepMotors();

        const bool packed =
            d.entry.frameFormat == LMCAM_PIXEL_FORMAT_RGB24 || d.entry.frameFormat == LMCAM_PIXEL_FORMAT_BGR24;
        const size_t w = static_cast<size_t>(d.width), h = static_cast<size_t>(d.height);
        const size_t size = packed ? w * h * 3 : w * h * 3 / 2;
        uint8_t *data = nullptr;
        const uint64_t ref = lmcam::acquireFrameBuffer(size, &data);
        std::memset(frame, 0, sizeof *frame);
        frame->library_ref = ref;
        frame->pixel_format = d.entry.frameFormat;
        frame->width = d.width;
        frame->height = d.height;
        frame->timestamp_us = due;
        frame->planes[0] = data;
        if (packed) {
            frame->strides[0] = d.width * 3;
        } else {
            frame->planes[1] = data + w * h;
            frame->planes[2] = frame->planes[1] + w * h / 4;
            frame->strides[0] = d.width;
            frame->strides[1] = frame->strides[2] = d.width / 2;
        }
        const virtualscope::PixelLayout layout =
            d.entry.frameFormat == LMCAM_PIXEL_FORMAT_RGB24   ? virtualscope::PixelLayout::RGB24
            : d.entry.frameFormat == LMCAM_PIXEL_FORMAT_BGR24 ? virtualscope::PixelLayout::BGR24
                                                              : virtualscope::PixelLayout::I420;
        d.renderer.render(d.renderSettings(), layout, d.width, d.height, (due - d.startUs) / 1e6,
                          static_cast<uint32_t>(d.nextFrame), frame->planes, frame->strides);
        if (d.entry.frameStamp)
            virtualscope::framestamp::draw(static_cast<uint32_t>(d.nextFrame), d.width, d.height, frame->planes,
                                           frame->strides, packed);
        ++d.nextFrame;
        ++d.delivered;
        return LMCAM_OK;
    });
}

int32_t lmcam_free_frame(lmcam_frame *frame)
{
    if (!frame)
        return LMCAM_ERR_INVALID_ARG;
    if (frame->library_ref == 0 || !lmcam::releaseFrameBuffer(frame->library_ref))
        return LMCAM_ERR_NO_FRAME;
    frame->library_ref = 0;
    frame->planes[0] = frame->planes[1] = frame->planes[2] = nullptr;
    return LMCAM_OK;
}

int32_t lmcam_upgrade(lmcam_handle handle, const char *path, lmcam_upgrade_progress progress, void *context)
{
    if (!path)
        return LMCAM_ERR_INVALID_ARG;
    std::string name;
    int32_t status = withDevice(handle, [&](VirtualDevice &d) {
        d.upgrading = true;
        d.streaming = false;
        name = d.entry.name;
        return LMCAM_OK;
    });
    if (status != LMCAM_OK)
        return status;

    // The progress callback runs without the device lock, so it may call back into the library.
    if (!firmwareAccepted(path)) {
        lmcam::logMessage(LMCAM_LOG_ERROR, "upgrade of \"%s\" refused the file \"%s\"", name.c_str(), path);
        if (progress)
            progress(-1, context);
        status = LMCAM_ERR_IO;
    } else {
        std::ifstream file(path, std::ios::binary);
        file.seekg(0, std::ios::end);
        const std::streamoff size = file.tellg();
        file.seekg(0);
        std::vector<char> chunk(static_cast<size_t>(std::max<std::streamoff>(1, size / 10 + 1)));
        // The file goes to the device in ten pieces, each reported once written.
        if (progress)
            progress(0, context);
        for (int percent = 10; percent <= 100; percent += 10) {
            file.read(chunk.data(), static_cast<std::streamsize>(chunk.size()));
            if (progress)
                progress(percent, context);
        }
        lmcam::logMessage(LMCAM_LOG_INFO, "upgrade of \"%s\" with \"%s\" done", name.c_str(), path);
    }
    if (const auto device = lmcam::findDevice(handle)) {
        std::lock_guard<std::mutex> lock(device->mutex);
        device->upgrading = false;
    }
    return status;
}

int32_t lmcam_set_windows_version(lmcam_handle handle, int32_t code)
{
    return withDevice(handle, [&](VirtualDevice &d) {
        d.windowsVersion = code;
        return LMCAM_OK;
    });
}

int32_t lmcam_get_model_suffix(lmcam_handle handle, char *buffer, int32_t capacity)
{
    if (!buffer || capacity <= 0)
        return LMCAM_ERR_INVALID_ARG;
    buffer[0] = '\0';
    return withDevice(handle, [&](VirtualDevice &d) {
        if (d.entry.modelSuffix.size() >= static_cast<size_t>(capacity))
            return LMCAM_ERR_BUFFER_TOO_SMALL;
        std::memcpy(buffer, d.entry.modelSuffix.c_str(), d.entry.modelSuffix.size() + 1);
        return LMCAM_OK;
    });
}

int32_t lmcam_set_device_name(lmcam_handle handle, const char *name)
{
    if (!name || std::strlen(name) >= LMCAM_NAME_SIZE)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        d.entry.label = name;
        lmcam::renameDevice(d.entry.name, name);
        return LMCAM_OK;
    });
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
    return withDevice(handle, [&](VirtualDevice &d) {
        *mode = d.get(Param::FocusMode);
        *supported_modes = (1 << LMCAM_MODE_MANUAL) | (1 << LMCAM_MODE_AUTO) | (1 << LMCAM_FOCUS_MODE_ONE_SHOT);
        return LMCAM_OK;
    });
}

int32_t lmcam_set_auto_exposure_region(lmcam_handle handle, const lmcam_rect *region)
{
    return setRect(handle, region, &VirtualDevice::aeRegion);
}

int32_t lmcam_get_auto_exposure_region(lmcam_handle handle, lmcam_rect *region)
{
    return readField(handle, region, &VirtualDevice::aeRegion);
}

int32_t lmcam_set_auto_whitebalance_region(lmcam_handle handle, const lmcam_rect *region)
{
    return setRect(handle, region, &VirtualDevice::awbRegion);
}

int32_t lmcam_get_auto_whitebalance_region(lmcam_handle handle, lmcam_rect *region)
{
    return readField(handle, region, &VirtualDevice::awbRegion);
}

int32_t lmcam_set_focus_region_v1(lmcam_handle handle, const lmcam_point *point)
{
    if (!point)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        if (!pointInGrid(*point))
            return LMCAM_ERR_OUT_OF_RANGE;
        d.focusPoint = *point;
        d.focusRegionForm = 1;
        d.oneShotDone = false;
        return LMCAM_OK;
    });
}

int32_t lmcam_get_focus_region_v1(lmcam_handle handle, lmcam_point *point)
{
    return readField(handle, point, &VirtualDevice::focusPoint);
}

int32_t lmcam_set_focus_region_v2(lmcam_handle handle, const lmcam_focus_region_v2 *region)
{
    if (!region)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        if ((region->enable != 0 && region->enable != 1) || !pointInGrid(region->point))
            return LMCAM_ERR_OUT_OF_RANGE;
        d.focusRegion2 = *region;
        d.focusRegionForm = 2;
        d.oneShotDone = false;
        return LMCAM_OK;
    });
}

int32_t lmcam_get_focus_region_v2(lmcam_handle handle, lmcam_focus_region_v2 *region)
{
    return readField(handle, region, &VirtualDevice::focusRegion2);
}

int32_t lmcam_set_focus_region_v3(lmcam_handle handle, const lmcam_focus_region_v3 *region)
{
    if (!region)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        int32_t w, h;
        d.frameSize(&w, &h);
        if ((region->enable != 0 && region->enable != 1) || !rectInside(region->rect, w, h))
            return LMCAM_ERR_OUT_OF_RANGE;
        d.focusRegion3 = *region;
        d.focusRegionForm = 3;
        d.oneShotDone = false;
        return LMCAM_OK;
    });
}

int32_t lmcam_get_focus_region_v3(lmcam_handle handle, lmcam_focus_region_v3 *region)
{
    return readField(handle, region, &VirtualDevice::focusRegion3);
}

int32_t lmcam_set_gamma_bezier_curve(lmcam_handle handle, const lmcam_point *points, int32_t count)
{
    if (count < 0 || count > LMCAM_GAMMA_CURVE_MAX_POINTS || (count > 0 && !points))
        return LMCAM_ERR_INVALID_ARG;
    for (int32_t i = 0; i < count; ++i)
        if (points[i].x < 0 || points[i].x > 255 || points[i].y < 0 || points[i].y > 255 ||
            (i > 0 && points[i].x <= points[i - 1].x))
            return LMCAM_ERR_OUT_OF_RANGE;
    return withDevice(handle, [&](VirtualDevice &d) {
        d.gammaCurve.assign(points, points + count);
        return LMCAM_OK;
    });
}

int32_t lmcam_get_gamma_bezier_curve(lmcam_handle handle, lmcam_point *points, int32_t capacity, int32_t *count)
{
    if (!count || capacity < 0 || (capacity > 0 && !points))
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        const int32_t n = static_cast<int32_t>(d.gammaCurve.size());
        std::copy_n(d.gammaCurve.begin(), std::min(n, capacity), points);
        *count = n;
        return LMCAM_OK;
    });
}

int32_t lmcam_set_led(lmcam_handle handle, int32_t part, int32_t level)
{
    return setLed(handle, part, level);
}

int32_t lmcam_get_led(lmcam_handle handle, int32_t part, int32_t *level)
{
    return getLed(handle, part, level);
}

int32_t lmcam_set_cm0x_led(lmcam_handle handle, int32_t part, int32_t level)
{
    return setLed(handle, part, level);
}

int32_t lmcam_get_cm0x_led(lmcam_handle handle, int32_t part, int32_t *level)
{
    return getLed(handle, part, level);
}

int32_t lmcam_set_cm0x_all_led(lmcam_handle handle, const int32_t levels[LMCAM_LED_PART_COUNT])
{
    if (!levels)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        for (int i = 0; i < LMCAM_LED_PART_COUNT; ++i)
            if (levels[i] < 0 || levels[i] > lmcam::kLedMax)
                return LMCAM_ERR_OUT_OF_RANGE;
        std::copy_n(levels, LMCAM_LED_PART_COUNT, d.leds);
        return LMCAM_OK;
    });
}

int32_t lmcam_get_cm0x_all_led(lmcam_handle handle, int32_t levels[LMCAM_LED_PART_COUNT])
{
    if (!levels)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        std::copy_n(d.leds, LMCAM_LED_PART_COUNT, levels);
        return LMCAM_OK;
    });
}

int32_t lmcam_get_led_info(lmcam_handle handle, lmcam_led_info *info)
{
    if (!info)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        info->part_count = LMCAM_LED_PART_COUNT;
        info->min_level = 0;
        info->max_level = lmcam::kLedMax;
        info->default_level = lmcam::kLedDefault;
        std::copy_n(d.leds, LMCAM_LED_PART_COUNT, info->levels);
        return LMCAM_OK;
    });
}

int32_t lmcam_increase_focus(lmcam_handle handle)
{
    return moveFocus(handle, kFocusButtonStep);
}

int32_t lmcam_decrease_focus(lmcam_handle handle)
{
    return moveFocus(handle, -kFocusButtonStep);
}

int32_t lmcam_get_focus_state(lmcam_handle handle, int32_t *focusing)
{
    if (!focusing)
        return LMCAM_ERR_INVALID_ARG;
    return withDevice(handle, [&](VirtualDevice &d) {
        *focusing = d.focusing ? 1 : 0;
        return LMCAM_OK;
    });
}

int32_t lmcam_focus_cure_test(lmcam_handle handle)
{
    return withDevice(handle, [&](VirtualDevice &d) {
        d.entry.focusCurveValid = true;
        return LMCAM_OK;
    });
}

int32_t lmcam_focus_cure_check(lmcam_handle handle)
{
    return withDevice(handle, [&](VirtualDevice &d) { return d.entry.focusCurveValid ? LMCAM_OK : LMCAM_ERR_IO; });
}

} // extern "C"
