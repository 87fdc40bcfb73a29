// Cost of the virtual microscope per frame, as a share of the frame interval at 1080p60
// and 4K30, with memcpy of the same frame bytes measured alongside as a second anchor:
// with steady settings, and with a control that changes on every frame.
#include "virtualscope/renderer.h"

#include "benchutil.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <vector>

using namespace virtualscope;

namespace {

using Clock = std::chrono::steady_clock;

using BenchUtil::median;

void line(const char *name, double value, const char *unit, const char *anchor, double anchorValue)
{
    BenchUtil::printFigure(name, value, unit, anchor, anchorValue);
}

struct Case
{
    const char *name;
    int width, height, fps;
    PixelLayout layout;
};

void run(const Case &c, int frames)
{
    const bool packed = c.layout != PixelLayout::I420;
    const size_t w = static_cast<size_t>(c.width), h = static_cast<size_t>(c.height);
    const size_t bytes = packed ? w * h * 3 : w * h * 3 / 2;
    std::vector<uint8_t> frame(bytes), source(bytes, 77);
    uint8_t *planes[3] = {frame.data(), frame.data() + w * h, frame.data() + w * h * 5 / 4};
    const int strides[3] = {packed ? c.width * 3 : c.width, c.width / 2, c.width / 2};

    SpecimenConfig config; // cells
    Renderer renderer(config, true);
    renderer.setUpdateBudget(Renderer::kUpdatePixelsPerSecond / c.fps); // as the virtual camera does
    RenderSettings settings;
    renderer.render(settings, c.layout, c.width, c.height, 0.0, 0, planes, strides); // specimen and canvas

    std::vector<double> steady, copy;
    for (int i = 0; i < frames; ++i) {
        auto t0 = Clock::now();
        renderer.render(settings, c.layout, c.width, c.height, i / double(c.fps), i, planes, strides);
        auto t1 = Clock::now();
        steady.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());

        t0 = Clock::now();
        std::memcpy(frame.data(), source.data(), bytes);
        t1 = Clock::now();
        copy.push_back(std::chrono::duration<double, std::milli>(t1 - t0).count());
        source[i % bytes] ^= frame[(i * 7) % bytes]; // keep the copy observable
    }

    const double interval = 1000.0 / c.fps;
    char name[96];
    std::snprintf(name, sizeof name, "virtualscope_%s_frame", c.name);
    line(name, median(steady), "ms", "frame_interval", interval);
    std::snprintf(name, sizeof name, "virtualscope_%s_frame_vs_memcpy", c.name);
    line(name, median(steady), "ms", "memcpy_frame_bytes", median(copy));

    // A control moved on every frame: the focus motor, the exposure (brightness and
    // white balance as automatic exposure or a dragged slider would), the zoom motor.
    struct Change
    {
        const char *name;
        void (*apply)(RenderSettings &, int);
    };
    const Change changes[] = {
        {"focus", [](RenderSettings &s, int i) { s.focusOffset = -150.0 + (i % 40) * 15.0; }},
        {"exposure",
         [](RenderSettings &s, int i) {
             s.exposure = 0.6 + 0.01 * (i % 40);
             s.wbGains[0] = 1.0 + 0.005 * (i % 40);
         }},
        {"zoom", [](RenderSettings &s, int i) { s.opticalZoom = 1.0 + 0.03 * (i % 40); }},
    };
    for (const Change &change : changes) {
        RenderSettings s;
        renderer.render(s, c.layout, c.width, c.height, 0.0, 0, planes, strides);
        std::vector<double> times;
        for (int i = 0; i < frames; ++i) {
            change.apply(s, i + 1);
            const auto t0 = Clock::now();
            renderer.render(s, c.layout, c.width, c.height, i / double(c.fps), i, planes, strides);
            times.push_back(std::chrono::duration<double, std::milli>(Clock::now() - t0).count());
        }
        // Frames until a single change shows everywhere.
        int settle = 0;
        change.apply(s, 0);
        do {
            renderer.render(s, c.layout, c.width, c.height, 0.0, 0, planes, strides);
            ++settle;
        } while (!renderer.settled());
        std::snprintf(name, sizeof name, "virtualscope_%s_changing_%s", c.name, change.name);
        line(name, median(times), "ms", "frame_interval", interval);
        std::snprintf(name, sizeof name, "virtualscope_%s_changing_%s_settle", c.name, change.name);
        std::printf("BENCH name=%s value=%d unit=frames\n", name, settle);
    }
}

} // namespace

int main()
{
    const Case cases[] = {{"1080p60_i420", 1920, 1080, 60, PixelLayout::I420},
                          {"1080p60_rgb24", 1920, 1080, 60, PixelLayout::RGB24},
                          {"4k30_i420", 3840, 2160, 30, PixelLayout::I420},
                          {"4k30_rgb24", 3840, 2160, 30, PixelLayout::RGB24}};
    for (const Case &c : cases)
        run(c, 60);
    return 0;
}
