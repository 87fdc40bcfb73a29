// Devices file parsing and the behaviour of a virtual device's parameters.
#include "virtual_device.h"

#include "lmcam_private.h"

#include <nlohmann/json.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <set>
#include <sstream>

namespace lmcam {

namespace {

using nlohmann::json;

constexpr std::streamoff kMaxFileSize = 1 << 20;
constexpr int kMaxFrameSide = 8192;

const ParamRange kRanges[] = {
    {0, 1, LMCAM_MODE_AUTO},   // ExposureMode
    {0, 1, LMCAM_MODE_MANUAL}, // WhiteBalanceMode
    {0, 1, 0},                 // Mirror
    {0, 1, 0},                 // Flip
    {0, 1, 0},                 // PowerLineFrequency
    {0, 15, 0},                // Scene
    {0, 1, 0},                 // GammaMode: 0 gamma value, 1 Bezier curve
    {0, 1, 0},                 // ExposureGainUnit
    {0, 1, 0},                 // Defog
    {0, 100, 0},               // Drc
    {0, 1, 0},                 // Cac
    {0, 1, 0},                 // Ldci
    {1, 10, 5},                // ZoomSpeed
    {0, 100, 50},              // ExposureCompensation: target brightness of automatic exposure
    {1, 10000, 150},           // ExposureTime, units of 100 us
    {0, 60000, 0},             // LongExposureTime, ms
    {0, 100, 0},               // ExposureGain: 20 steps double the signal
    {2000, 10000, 6500},       // WhiteBalanceTemperature
    {1, 1023, 256},            // WhiteBalanceRed: 256 = unity
    {1, 1023, 256},            // WhiteBalanceGreen
    {1, 1023, 256},            // WhiteBalanceBlue
    {0, 100, 50},              // Hue: 50 = unchanged, 3.6 degrees a step
    {0, 255, 128},             // Saturation: 128 = unchanged, 0 = grey
    {0, 100, 50},              // Contrast: 25 steps double it
    {0, 100, 8},               // Sharpness
    {1, 30, 10},               // Gamma: tenths
    {0, 1000, 500},            // Focus: motor steps; 500 is the specimen's mean in-focus position
    {0, 2, LMCAM_MODE_MANUAL}, // FocusMode
    {0, 200, 0},               // Zoom: 0..100 optical, above digital
    {-1, 1, 0},                // ZoomRelative
    {0, 100, 0},               // OpticalZoom
    {100, 200, 100},           // DigitalZoom
    {0, 1, 0},                 // Encrypt
};
static_assert(sizeof kRanges / sizeof kRanges[0] == static_cast<size_t>(Param::Count), "one range per parameter");

constexpr int kFocusStep = 15; // focus motor steps per frame while focusing automatically

int64_t hexValue(const json &value, const char *key)
{
    const std::string text = value.get<std::string>();
    char *end = nullptr;
    const unsigned long v = std::strtoul(text.c_str(), &end, 16);
    if (text.empty() || *end != '\0' || v > 0xffff)
        throw std::runtime_error(std::string("\"") + key + "\" is not a 16-bit hexadecimal number");
    return static_cast<int64_t>(v);
}

void parseSpecimen(const json &value, DeviceEntry &entry)
{
    if (value.is_string()) {
        if (!virtualscope::parseSpecimenKind(value.get<std::string>(), &entry.specimen.kind))
            throw std::runtime_error("unknown specimen \"" + value.get<std::string>() + "\"");
        return;
    }
    if (!value.is_object())
        throw std::runtime_error("\"specimen\" is neither a text nor an object");
    virtualscope::SpecimenConfig &s = entry.specimen;
    const std::string type = value.value("type", std::string("cells"));
    if (!virtualscope::parseSpecimenKind(type, &s.kind))
        throw std::runtime_error("unknown specimen \"" + type + "\"");
    const std::string structure = value.value("structure", std::string("nuclei"));
    if (!virtualscope::parseFluorescenceStructure(structure, &s.structure))
        throw std::runtime_error("unknown fluorescence structure \"" + structure + "\"");
    s.seed = value.value("seed", s.seed);
    s.micronsPerPixel = value.value("pixel_pitch_um", s.micronsPerPixel);
    if (!(s.micronsPerPixel >= 0.05 && s.micronsPerPixel <= 50.0))
        throw std::runtime_error("\"pixel_pitch_um\" outside 0.05..50");
    s.qrText = value.value("qr_text", s.qrText);
    s.barcodeText = value.value("barcode_text", s.barcodeText);
    entry.drift = value.value("drift", entry.drift);
}

DeviceEntry parseEntry(const json &item)
{
    if (!item.is_object())
        throw std::runtime_error("not an object");
    DeviceEntry e;
    e.name = item.at("name").get<std::string>();
    if (item.contains("pid"))
        e.productId = static_cast<uint16_t>(hexValue(item["pid"], "pid"));
    if (item.contains("vid"))
        e.vendorId = static_cast<uint16_t>(hexValue(item["vid"], "vid"));
    char pid[8];
    std::snprintf(pid, sizeof pid, "%04x", e.productId);
    if (e.name.size() >= LMCAM_NAME_SIZE || e.name.find("usb") == std::string::npos ||
        e.name.find(pid) == std::string::npos)
        throw std::runtime_error("\"name\" must hold \"usb\" and the product id " + std::string(pid) +
                                 ", in under 128 bytes");
    e.label = item.value("label", e.label);
    if (e.label.size() >= LMCAM_NAME_SIZE)
        throw std::runtime_error("\"label\" is 128 bytes or longer");
    e.busSpeed = item.value("bus_speed", e.busSpeed);
    e.firmware = item.value("firmware", e.firmware);
    e.modelSuffix = item.value("model_suffix", e.modelSuffix);
    e.fps = item.value("fps", e.fps);
    if (e.fps < 1 || e.fps > 240)
        throw std::runtime_error("\"fps\" outside 1..240");
    e.frameFormat = item.value("frame_format", e.frameFormat);
    if (e.frameFormat != LMCAM_PIXEL_FORMAT_I420 && e.frameFormat != LMCAM_PIXEL_FORMAT_YUV420P &&
        e.frameFormat != LMCAM_PIXEL_FORMAT_RGB24 && e.frameFormat != LMCAM_PIXEL_FORMAT_BGR24)
        throw std::runtime_error("\"frame_format\" is not 0, 1, 3 or 4");
    if (item.contains("wb_neutral")) {
        const json &n = item["wb_neutral"];
        if (!n.is_array() || n.size() != 3)
            throw std::runtime_error("\"wb_neutral\" is not three gains");
        for (size_t c = 0; c < 3; ++c) {
            e.wbNeutral[c] = n[c].get<int32_t>();
            if (e.wbNeutral[c] < 1 || e.wbNeutral[c] > 1023)
                throw std::runtime_error("\"wb_neutral\" gains outside 1..1023");
        }
    }
    if (item.contains("capabilities")) {
        const json &caps = item["capabilities"];
        if (!caps.is_array() || caps.empty() || caps.size() > LMCAM_MAX_CAPABILITIES)
            throw std::runtime_error("\"capabilities\" must list 1 to 32 modes");
        for (const json &c : caps) {
            lmcam_capability cap{};
            cap.width = c.at("width").get<int32_t>();
            cap.height = c.at("height").get<int32_t>();
            cap.format = c.at("format").get<int32_t>();
            if (cap.width < 2 || cap.height < 2 || cap.width > kMaxFrameSide || cap.height > kMaxFrameSide ||
                cap.width % 2 || cap.height % 2)
                throw std::runtime_error("capability sizes must be even and within 2..8192");
            e.capabilities.push_back(cap);
        }
    } else {
        e.capabilities = {{1920, 1080, 0, LMCAM_CAPTURE_FORMAT_MJPEG},
                          {1280, 720, 0, LMCAM_CAPTURE_FORMAT_MJPEG},
                          {3840, 2160, 0, LMCAM_CAPTURE_FORMAT_MJPEG},
                          {1920, 1080, 0, LMCAM_CAPTURE_FORMAT_NV12}};
    }
    if (item.contains("specimen"))
        parseSpecimen(item["specimen"], e);
    e.drift = item.value("drift", e.drift);
    e.frameStamp = item.value("frame_stamp", e.frameStamp);
    e.focusCurveValid = item.value("focus_curve_valid", e.focusCurveValid);
    e.noise = item.value("noise", e.noise);
    if (!(e.noise >= 0.0 && e.noise <= 40.0))
        throw std::runtime_error("\"noise\" outside 0..40");
    if (item.contains("faults")) {
        const json &f = item["faults"];
        if (!f.is_object())
            throw std::runtime_error("\"faults\" is not an object");
        e.disconnectAfterFrames = f.value("disconnect_after_frames", e.disconnectAfterFrames);
        e.refuseOpen = f.value("refuse_open", e.refuseOpen);
        e.refuseContext = f.value("refuse_context", e.refuseContext);
        e.readStallMs = f.value("read_stall_ms", e.readStallMs);
        if (e.readStallMs < 0 || e.readStallMs > 60000)
            throw std::runtime_error("\"read_stall_ms\" outside 0..60000");
    }
    return e;
}

DeviceEntry defaultEntry()
{
    // A compact camera whose stored white balance corrects its sensor's cast.
    json item = {{"name", "usb#vid_2bdf&pid_0283#0001#video"}, {"wb_neutral", {532, 256, 411}}};
    return parseEntry(item);
}

} // namespace

const ParamRange &paramRange(Param param)
{
    return kRanges[static_cast<int>(param)];
}

bool loadDeviceEntries(std::vector<DeviceEntry> &entries)
{
    const char *path = std::getenv("LMCAM_VIRTUAL_DEVICES");
    if (!path || !*path) {
        entries = {defaultEntry()};
        return true;
    }

    std::ifstream file(path, std::ios::binary);
    if (!file) {
        logMessage(LMCAM_LOG_WARNING, "virtual devices file \"%s\" cannot be read", path);
        return false;
    }
    file.seekg(0, std::ios::end);
    const std::streamoff size = file.tellg();
    if (size < 0 || size > kMaxFileSize) {
        logMessage(LMCAM_LOG_ERROR, "virtual devices file \"%s\" is larger than 1 MiB", path);
        return false;
    }
    file.seekg(0);
    std::string text(static_cast<size_t>(size), '\0');
    file.read(&text[0], size);

    json root;
    try {
        root = json::parse(text);
    } catch (const json::exception &error) {
        logMessage(LMCAM_LOG_ERROR, "virtual devices file \"%s\" is not valid JSON: %s", path, error.what());
        return false;
    }
    const json *list = &root;
    if (root.is_object() && root.contains("devices"))
        list = &root["devices"];
    if (!list->is_array()) {
        logMessage(LMCAM_LOG_ERROR, "virtual devices file \"%s\" holds no list of devices", path);
        return false;
    }

    entries.clear();
    std::set<std::string> names;
    int index = 0;
    for (const json &item : *list) {
        ++index;
        try {
            DeviceEntry e = parseEntry(item);
            if (!names.insert(e.name).second)
                throw std::runtime_error("duplicate name \"" + e.name + "\"");
            if (entries.size() >= LMCAM_MAX_DEVICES)
                throw std::runtime_error("more than 16 devices");
            entries.push_back(std::move(e));
        } catch (const std::exception &error) {
            logMessage(LMCAM_LOG_ERROR, "virtual devices file \"%s\": device %d skipped: %s", path, index,
                       error.what());
        }
    }
    return true;
}

VirtualDevice::VirtualDevice(DeviceEntry e) : entry(std::move(e)), renderer(entry.specimen, entry.drift)
{
    // At the device's top rate a turned control costs at most a fixed share of a core;
    // a slower stream gets the same share per frame, so its changes settle no slower.
    renderer.setUpdateBudget(virtualscope::Renderer::kUpdatePixelsPerSecond / std::max(1, entry.fps));
    for (int i = 0; i < static_cast<int>(Param::Count); ++i)
        params[i] = kRanges[i].def;
    std::fill(std::begin(leds), std::end(leds), kLedDefault);
    int32_t w, h;
    frameSize(&w, &h);
    aeRegion = {0, 0, w, h};
    awbRegion = aeRegion;
    focusRegion3 = {0, {w / 4, h / 4, w / 2, h / 2}};
}

void VirtualDevice::frameSize(int32_t *w, int32_t *h) const
{
    if (streaming) {
        *w = width;
        *h = height;
        return;
    }
    *w = *h = 0;
    for (const lmcam_capability &c : entry.capabilities)
        if (static_cast<int64_t>(c.width) * c.height > static_cast<int64_t>(*w) * *h) {
            *w = c.width;
            *h = c.height;
        }
}

int32_t VirtualDevice::effectiveExposureTime()
{
    // Until the stream's first specimen is built there is nothing to measure.
    if (get(Param::ExposureMode) != LMCAM_MODE_AUTO || !streaming ||
        (!switchedSize && !renderer.prepareSpecimen(width, height)))
        return get(Param::ExposureTime);
    // Automatic exposure brings the mean luma to the target set by the compensation.
    const double target = 40.0 + 1.6 * get(Param::ExposureCompensation);
    const double mean = std::max(1.0, renderer.specimenMeanLuma(width, height));
    const ParamRange &r = paramRange(Param::ExposureTime);
    return std::max(r.min, std::min(r.max, static_cast<int32_t>(std::lround(r.def * target / mean))));
}

virtualscope::RenderSettings VirtualDevice::renderSettings()
{
    virtualscope::RenderSettings s;
    const bool autoExposure = get(Param::ExposureMode) == LMCAM_MODE_AUTO;
    s.exposure = effectiveExposureTime() / static_cast<double>(paramRange(Param::ExposureTime).def);
    s.gain = autoExposure ? 1.0 : std::pow(2.0, get(Param::ExposureGain) / 20.0);
    s.noise = entry.noise;
    if (get(Param::WhiteBalanceMode) == LMCAM_MODE_MANUAL) {
        const Param gains[3] = {Param::WhiteBalanceRed, Param::WhiteBalanceGreen, Param::WhiteBalanceBlue};
        for (int c = 0; c < 3; ++c)
            s.wbGains[c] = get(gains[c]) / static_cast<double>(entry.wbNeutral[c]);
    }
    s.hueDegrees = (get(Param::Hue) - 50) * 3.6;
    s.saturation = get(Param::Saturation) / 128.0;
    s.contrast = std::pow(2.0, (get(Param::Contrast) - 50) / 25.0);
    s.sharpness = get(Param::Sharpness) / 100.0;
    s.gamma = get(Param::Gamma) / 10.0;
    if (get(Param::GammaMode) == 1 && gammaCurve.size() >= 2)
        for (const lmcam_point &p : gammaCurve)
            s.toneCurve.emplace_back(p.x, p.y);
    s.mirror = get(Param::Mirror) != 0;
    s.flip = get(Param::Flip) != 0;
    const int32_t zoom = get(Param::Zoom);
    s.opticalZoom = 1.0 + 3.0 * std::min(zoom, 100) / 100.0;
    s.digitalZoom = zoom > 100 ? 1.0 + 3.0 * (zoom - 100) / 100.0 : 1.0;
    for (int i = 0; i < LMCAM_LED_PART_COUNT; ++i)
        s.lights[i] = leds[i] / static_cast<double>(kLedDefault);
    s.focusOffset = get(Param::Focus) - paramRange(Param::Focus).def;
    return s;
}

void VirtualDevice::stepMotors()
{
    const int32_t direction = get(Param::ZoomRelative);
    if (direction != 0) {
        const int32_t zoom = get(Param::Zoom) + direction * get(Param::ZoomSpeed);
        const ParamRange &r = paramRange(Param::Zoom);
        at(Param::Zoom) = std::max(r.min, std::min(r.max, zoom));
        if (zoom <= r.min || zoom >= r.max)
            at(Param::ZoomRelative) = 0;
    }

    const int32_t mode = get(Param::FocusMode);
    if (mode == LMCAM_MODE_MANUAL || (mode == LMCAM_FOCUS_MODE_ONE_SHOT && oneShotDone)) {
        focusing = false;
        return;
    }
    // Focus on the centre of the focus region in its current form.
    double u = 0.5, v = 0.5;
    if (focusRegionForm == 3 && focusRegion3.enable && width > 0 && height > 0) {
        u = (focusRegion3.rect.x + focusRegion3.rect.width * 0.5) / width;
        v = (focusRegion3.rect.y + focusRegion3.rect.height * 0.5) / height;
    } else {
        const lmcam_point p = focusRegionForm == 2 ? focusRegion2.point : focusPoint;
        u = (p.x + 0.5) / kFocusGrid;
        v = (p.y + 0.5) / kFocusGrid;
    }
    const ParamRange &r = paramRange(Param::Focus);
    const int32_t target = std::max(
        r.min,
        std::min(r.max, r.def + static_cast<int32_t>(std::lround(renderer.inFocusOffsetAt(renderSettings(), u, v)))));
    const int32_t focus = get(Param::Focus);
    const int32_t step = std::max(-kFocusStep, std::min(kFocusStep, target - focus));
    at(Param::Focus) = focus + step;
    focusing = step != 0;
    if (!focusing && mode == LMCAM_FOCUS_MODE_ONE_SHOT)
        oneShotDone = true;
}

} // namespace lmcam
