// Renders frames of the virtual microscope: the cached specimen seen through the camera's
// optics and image pipeline (zoom, focus, lights, exposure, colour, tone, noise, drift).
#pragma once

#include "virtualscope/specimen.h"

#include <cstdint>
#include <memory>
#include <utility>
#include <vector>

namespace virtualscope {

enum class PixelLayout { I420, RGB24, BGR24 };

// The camera state a frame is rendered with, in physical terms (1 = nominal).
struct RenderSettings
{
    double exposure = 1.0;               // exposure time relative to nominal
    double gain = 1.0;                   // sensor gain factor; also raises the noise
    double wbGains[3] = {1.0, 1.0, 1.0}; // red, green, blue
    double hueDegrees = 0.0;
    double saturation = 1.0; // 0 gives grey
    double contrast = 1.0;
    double sharpness = 0.0;                     // 0 none, 1 strong
    double gamma = 1.0;                         // output = input^(1/gamma)
    std::vector<std::pair<int, int>> toneCurve; // (in, out) points over 0..255; replaces gamma when set
    bool mirror = false;
    bool flip = false;
    double opticalZoom = 1.0;                // magnification by the lens: also narrows depth of field
    double digitalZoom = 1.0;                // magnification by cropping
    double lights[4] = {1.0, 1.0, 1.0, 1.0}; // ring light parts up, left, right, down (1 = nominal)
    double focusOffset = 0.0;                // focus position minus the specimen's mean in-focus position

    bool sameImage(const RenderSettings &o) const;
};

// One renderer per camera stream. Not thread-safe: the owner serialises calls.
class Renderer
{
public:
    // drift: the field wanders slowly, a few pixels a second, so consecutive frames overlap.
    Renderer(const SpecimenConfig &config, bool drift);

    // Renders the frame at timeSeconds; frameIndex seeds the noise. planes/strides as the
    // layout needs them (I420: Y, U, V; packed: planes[0]). Sizes must be even for I420.
    void render(const RenderSettings &settings, PixelLayout layout, int width, int height, double timeSeconds,
                uint32_t frameIndex, uint8_t *const planes[3], const int strides[3]);

    // Focus offset at which the point (u, v) of the output (0..1) is sharp.
    double inFocusOffsetAt(const RenderSettings &settings, double u, double v) const;
    // Mean luma of the specimen, for automatic exposure.
    double specimenMeanLuma(int width, int height);

    const SpecimenConfig &config() const { return m_config; }
    bool drift() const { return m_drift; }

    // Border kept around the frame so that the drifting field never leaves the specimen.
    static constexpr int kDriftMargin = 64;

private:
    std::shared_ptr<const Specimen> specimen(int canvasWidth, int canvasHeight);
    void rebuildCanvas(const RenderSettings &settings, PixelLayout layout, int canvasWidth, int canvasHeight);
    void ensureNoise(double sigma);

    SpecimenConfig m_config;
    bool m_drift;
    std::shared_ptr<const Specimen> m_specimens[2]; // the last two sizes, for photo-size switches

    // The frame-independent picture for the current settings, in the output layout.
    bool m_canvasValid = false;
    RenderSettings m_canvasSettings;
    PixelLayout m_canvasLayout = PixelLayout::I420;
    int m_canvasWidth = 0;
    int m_canvasHeight = 0;
    std::vector<uint8_t> m_canvas[3];

    double m_noiseSigma = -1.0;
    std::vector<int8_t> m_noise;
};

} // namespace virtualscope
