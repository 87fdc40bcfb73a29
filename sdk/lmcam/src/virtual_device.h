// The virtual microscope device: its description from the devices file and its live state.
#pragma once

#include "lmcam.h"

#include "virtualscope/renderer.h"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

namespace lmcam {

// One device entry of the devices file (or the default device).
struct DeviceEntry
{
    std::string name;
    std::string label = "Virtual Microscope";
    uint16_t vendorId = 0x2bdf;
    uint16_t productId = 0x0283;
    uint32_t busSpeed = LMCAM_BUS_SPEED_USB_2_0;
    int32_t firmware = 142;
    std::string modelSuffix;
    int32_t fps = 30;
    std::vector<lmcam_capability> capabilities;
    int32_t frameFormat = LMCAM_PIXEL_FORMAT_I420;
    // The manual white-balance gains (256 = unity) that make the picture neutral: a sensor's
    // own colour cast, which a model's stored gains are meant to correct.
    std::array<int32_t, 3> wbNeutral{256, 256, 256};
    virtualscope::SpecimenConfig specimen;
    bool drift = false;
    bool frameStamp = false; // the frame number drawn in the top left corner
    bool focusCurveValid = true;
    double noise = 0.8;                 // sensor noise at gain 1, standard deviation in grey levels
    int64_t disconnectAfterFrames = -1; // below 0: never
    bool refuseOpen = false;
    bool refuseContext = false;
    int32_t readStallMs = 0; // every frame read blocks this long first, as a stalled transfer does
};

// The devices of LMCAM_VIRTUAL_DEVICES, or the one default device without it. Problems
// are logged; a broken entry is skipped. False, with entries unspecified, when the file
// cannot be read or holds no list of devices.
bool loadDeviceEntries(std::vector<DeviceEntry> &entries);

// Integer parameters with a range; set/get-only ones have a range for validation too.
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
    Count
};

struct ParamRange
{
    int32_t min, max, def;
};
const ParamRange &paramRange(Param param);

constexpr int kFocusGrid = 16; // cells per side of the first and second focus-region forms
constexpr int kLedMax = 100;
constexpr int kLedDefault = 50;

// An open device. Every member but the atomic ones is guarded by mutex: frames are read on
// one thread while parameters are set on another.
struct VirtualDevice
{
    explicit VirtualDevice(DeviceEntry e);

    std::mutex mutex;
    DeviceEntry entry;
    // Set without the device's lock, so that noticing an unplug never waits for a call that
    // is still running on the device (a stalled frame read, say).
    std::atomic<bool> unplugged{false};
    // When the devices file is next looked at on this device's behalf (steady clock, µs).
    std::atomic<int64_t> nextFileCheckUs{0};
    bool upgrading = false;

    int32_t params[static_cast<int>(Param::Count)];
    int32_t leds[LMCAM_LED_PART_COUNT];
    lmcam_rect aeRegion{}, awbRegion{};
    lmcam_point focusPoint{8, 7};
    lmcam_focus_region_v2 focusRegion2{1, {8, 7}};
    lmcam_focus_region_v3 focusRegion3{0, {0, 0, 0, 0}};
    int focusRegionForm = 1;
    std::vector<lmcam_point> gammaCurve;
    int32_t windowsVersion = 10;
    bool focusing = false;
    bool oneShotDone = false;

    // Stream.
    bool streaming = false;
    // The size changed while streaming (a photo at another size): the next frame is rendered
    // whatever it takes, since the reader wants exactly that one.
    bool switchedSize = false;
    int32_t width = 0, height = 0;
    int64_t startUs = 0;
    int64_t intervalUs = 0;
    int64_t nextFrame = 0;
    int64_t delivered = 0;
    virtualscope::Renderer renderer;

    int32_t get(Param p) const { return params[static_cast<int>(p)]; }
    int32_t &at(Param p) { return params[static_cast<int>(p)]; }
    // The largest capability, the frame the regions refer to while not streaming.
    void frameSize(int32_t *w, int32_t *h) const;
    // Exposure time and gain in effect (the automatic ones while exposure is automatic).
    int32_t effectiveExposureTime();
    virtualscope::RenderSettings renderSettings();
    // Moves the focus and zoom motors by one frame's worth.
    void stepMotors();
};

} // namespace lmcam
