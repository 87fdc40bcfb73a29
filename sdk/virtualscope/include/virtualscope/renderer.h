// Renders frames of the virtual microscope: the cached specimen seen through the camera's
// optics and image pipeline (zoom, focus, lights, exposure, colour, tone, noise, drift).
#pragma once

#include "virtualscope/specimen.h"

#include <cstdint>
#include <memory>
#include <mutex>
#include <utility>
#include <vector>

namespace virtualscope {

enum class PixelLayout { I420, RGB24, BGR24 };

// The camera state a frame is rendered with, in physical terms (1 = nominal).
struct RenderSettings
{
    double exposure = 1.0;               // exposure time relative to nominal
    double gain = 1.0;                   // sensor gain factor; also raises the noise
    double noise = 0.8;                  // sensor noise at gain 1: standard deviation in grey levels
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
// A change of settings takes effect over a few frames on large pictures: each frame
// rebuilds at most updateBudget() canvas pixels, in bands that roll down the picture,
// so that a control turned on every frame never costs more than that budget.
class Renderer
{
public:
    // drift: the field wanders slowly, a few pixels a second, so consecutive frames overlap.
    Renderer(const SpecimenConfig &config, bool drift);

    // Renders the frame at timeSeconds; frameIndex seeds the noise. planes/strides as the
    // layout needs them (I420: Y, U, V; packed: planes[0]). Sizes must be even for I420.
    void render(const RenderSettings &settings, PixelLayout layout, int width, int height, double timeSeconds,
                uint32_t frameIndex, uint8_t *const planes[3], const int strides[3]);

    // True when frames of this size render without building their specimen first. Otherwise
    // starts building it on a thread of its own (once) and answers false until it is done, so
    // that a caller which must not block for seconds can wait for it without blocking.
    bool prepareSpecimen(int width, int height);

    // Focus offset at which the point (u, v) of the output (0..1) is sharp.
    double inFocusOffsetAt(const RenderSettings &settings, double u, double v) const;
    // Mean luma of the specimen, for automatic exposure.
    double specimenMeanLuma(int width, int height);

    // Canvas pixels (frame plus drift border) rebuilt per frame while settings change.
    void setUpdateBudget(int64_t pixels) { m_updateBudget = pixels < 1 ? 1 : pixels; }
    int64_t updateBudget() const { return m_updateBudget; }
    // True when the last frame showed the last settings everywhere.
    bool settled() const { return m_canvasValid && m_staleRows == 0; }

    const SpecimenConfig &config() const { return m_config; }
    bool drift() const { return m_drift; }

    // Border kept around the frame so that the drifting field never leaves the specimen.
    static constexpr int kDriftMargin = 64;
    // Canvas pixels per second a changing picture may rebuild: about a quarter of one
    // core. The per-frame budget is this over the frame rate (a 1080p canvas over three
    // frames at 60 fps, a 4K one over four frames at 30 fps).
    static constexpr int64_t kUpdatePixelsPerSecond = 72000000;
    static constexpr int64_t kDefaultUpdateBudget = kUpdatePixelsPerSecond / 60;

private:
    struct BlockParams
    {
        int level, weight, light; // blur level blended with the next; weights in 1/256
    };

    // A specimen being built for the renderer in the background; shared with the building
    // thread, which outlives the renderer when it is dropped meanwhile.
    struct PendingSpecimen
    {
        int width, height;
        std::mutex mutex;
        std::shared_ptr<const Specimen> built; // set once done
    };

    // The specimen of that canvas size when at hand (held, shared or built in the background).
    std::shared_ptr<const Specimen> heldSpecimen(int canvasWidth, int canvasHeight);
    void keepSpecimen(std::shared_ptr<const Specimen> specimen);
    std::shared_ptr<const Specimen> specimen(int canvasWidth, int canvasHeight);
    // Derives the per-settings tables; block parameters follow per block row on demand.
    void prepare(const RenderSettings &settings, PixelLayout layout, int canvasWidth, int canvasHeight);
    const BlockParams *blockRow(int by);
    // Builds canvas rows [y0, y1) (even bounds) with the prepared settings.
    void buildRows(int y0, int y1);
    void toneRow(int y, uint8_t *r, uint8_t *g, uint8_t *b, int step);
    void ensureNoise(double sigma);

    SpecimenConfig m_config;
    bool m_drift;
    std::shared_ptr<const Specimen> m_specimens[2]; // the last two sizes, for photo-size switches
    std::shared_ptr<PendingSpecimen> m_pending;
    int64_t m_updateBudget = kDefaultUpdateBudget;

    // The frame-independent picture in the output layout. Rows are rebuilt in a rolling
    // band; m_staleRows of them still show earlier settings.
    bool m_canvasValid = false;
    RenderSettings m_canvasSettings;
    PixelLayout m_canvasLayout = PixelLayout::I420;
    int m_canvasWidth = 0;
    int m_canvasHeight = 0;
    int m_cursor = 0;
    int m_staleRows = 0;
    std::vector<uint8_t> m_canvas[3];

    // Tables of the prepared settings.
    std::shared_ptr<const Specimen> m_spec;
    std::vector<int> m_xIndex, m_yIndex;
    bool m_contiguous = false; // columns map 1:1 onto the specimen
    std::vector<BlockParams> m_blocks;
    std::vector<uint8_t> m_blockRowReady;
    int m_blocksWide = 0;
    int m_sharpen = 0;
    RenderSettings m_toneSettings;
    bool m_toneValid = false;
    std::vector<uint8_t> m_lut; // per channel, radiance 0..kRadianceMax to output
    int m_ur[3] = {}, m_vr[3] = {};
    int m_matrix[3][3] = {};
    bool m_identityColour = true;
    std::vector<uint8_t> m_rows; // planar R, G, B scratch rows
    std::vector<int16_t> m_sums; // 2x2 sums per channel for the chroma planes

    double m_noiseSigma = -1.0;
    std::vector<int8_t> m_noise;
};

} // namespace virtualscope
