// Frame rendering. The costly part (resampling, focus blend, lights, tone and colour) is
// done once per change of settings into a canvas in the output layout; each frame then
// only copies its window out of the canvas and adds sensor noise.
#include "virtualscope/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>

namespace virtualscope {

namespace {

constexpr int kBlock = 16;            // focus and lights are constant over blocks of this size
constexpr int kRadianceMax = 1023;    // lights may brighten the specimen up to 4x before the tone curve
constexpr double kBlurPerStep = 0.06; // blur radius in pixels per focus step away from focus
constexpr int kNoiseTableSize = 1 << 16;
constexpr int kNoiseMaxRow = 8192 * 3;

inline uint8_t clamp255(int v)
{
    return static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
}

// Tone curve from control points, linear between them.
double curveAt(const std::vector<std::pair<int, int>> &points, double x)
{
    if (x <= points.front().first)
        return points.front().second;
    for (size_t i = 1; i < points.size(); ++i)
        if (x <= points[i].first) {
            const auto &a = points[i - 1], &b = points[i];
            const double t = b.first == a.first ? 1.0 : (x - a.first) / (b.first - a.first);
            return a.second + t * (b.second - a.second);
        }
    return points.back().second;
}

uint32_t hash32(uint32_t x)
{
    x ^= x >> 16;
    x *= 0x7feb352dU;
    x ^= x >> 15;
    x *= 0x846ca68bU;
    x ^= x >> 16;
    return x;
}

void addNoiseSpan(const uint8_t *src, uint8_t *dst, int count, const int8_t *noise)
{
    for (int i = 0; i < count; ++i) {
        const int v = src[i] + noise[i];
        dst[i] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    }
}

// Rows longer than the noise table's slack reuse it in chunks.
void addNoiseRow(const uint8_t *src, uint8_t *dst, int count, const int8_t *noise)
{
    for (int done = 0; done < count; done += kNoiseMaxRow)
        addNoiseSpan(src + done, dst + done, std::min(kNoiseMaxRow, count - done), noise);
}

} // namespace

bool RenderSettings::sameImage(const RenderSettings &o) const
{
    return exposure == o.exposure && gain == o.gain && wbGains[0] == o.wbGains[0] && wbGains[1] == o.wbGains[1] &&
           wbGains[2] == o.wbGains[2] && hueDegrees == o.hueDegrees && saturation == o.saturation &&
           contrast == o.contrast && sharpness == o.sharpness && gamma == o.gamma && toneCurve == o.toneCurve &&
           mirror == o.mirror && flip == o.flip && opticalZoom == o.opticalZoom && digitalZoom == o.digitalZoom &&
           lights[0] == o.lights[0] && lights[1] == o.lights[1] && lights[2] == o.lights[2] &&
           lights[3] == o.lights[3] && focusOffset == o.focusOffset;
}

Renderer::Renderer(const SpecimenConfig &config, bool drift) : m_config(config), m_drift(drift) {}

std::shared_ptr<const Specimen> Renderer::specimen(int canvasWidth, int canvasHeight)
{
    for (const auto &s : m_specimens)
        if (s && s->width() == canvasWidth && s->height() == canvasHeight)
            return s;
    m_specimens[1] = m_specimens[0];
    m_specimens[0] = Specimen::get(m_config, canvasWidth, canvasHeight);
    return m_specimens[0];
}

double Renderer::specimenMeanLuma(int width, int height)
{
    const int margin = m_drift ? kDriftMargin : 0;
    return specimen(width + 2 * margin, height + 2 * margin)->meanLuma();
}

double Renderer::inFocusOffsetAt(const RenderSettings &settings, double u, double v) const
{
    const Specimen *s = m_specimens[0].get();
    if (!s)
        return 0.0;
    const double zoom = settings.opticalZoom * settings.digitalZoom;
    if (settings.mirror)
        u = 1.0 - u;
    if (settings.flip)
        v = 1.0 - v;
    return s->depthAt(static_cast<float>(0.5 + (u - 0.5) / zoom), static_cast<float>(0.5 + (v - 0.5) / zoom));
}

void Renderer::ensureNoise(double sigma)
{
    sigma = std::round(sigma * 4.0) / 4.0;
    if (sigma == m_noiseSigma)
        return;
    m_noiseSigma = sigma;
    m_noise.resize(kNoiseTableSize + kNoiseMaxRow);
    uint32_t state = 0x9e3779b9u;
    for (auto &n : m_noise) {
        // Sum of four uniforms: close enough to Gaussian for sensor noise.
        double sum = 0;
        for (int k = 0; k < 4; ++k) {
            state = state * 1664525u + 1013904223u;
            sum += (state >> 8) * (1.0 / 16777216.0) - 0.5;
        }
        const double v = std::round(sum * std::sqrt(3.0) * sigma);
        n = static_cast<int8_t>(std::max(-127.0, std::min(127.0, v)));
    }
}

void Renderer::rebuildCanvas(const RenderSettings &st, PixelLayout layout, int cw, int ch)
{
    const std::shared_ptr<const Specimen> spec = specimen(cw, ch);

    // Where each canvas column and row samples the specimen: zoom about the centre,
    // mirror and flip.
    const double zoom = std::max(1.0, st.opticalZoom * st.digitalZoom);
    std::vector<int> xIndex(cw), yIndex(ch);
    for (int x = 0; x < cw; ++x) {
        const int xs = st.mirror ? cw - 1 - x : x;
        const int sx = static_cast<int>(cw * 0.5 + (xs + 0.5 - cw * 0.5) / zoom);
        xIndex[x] = std::min(cw - 1, std::max(0, sx)) * 3;
    }
    for (int y = 0; y < ch; ++y) {
        const int ys = st.flip ? ch - 1 - y : y;
        yIndex[y] = std::min(ch - 1, std::max(0, static_cast<int>(ch * 0.5 + (ys + 0.5 - ch * 0.5) / zoom)));
    }

    // Per block: the two blur levels to blend (weight below 0 sharpens), and the light.
    const int bw = (cw + kBlock - 1) / kBlock, bh = (ch + kBlock - 1) / kBlock;
    struct BlockParams
    {
        int level, weight, light;
    };
    std::vector<BlockParams> blocks(static_cast<size_t>(bw) * bh);
    const int sharpen = static_cast<int>(std::lround(std::max(0.0, std::min(1.0, st.sharpness)) * 400.0));
    for (int by = 0; by < bh; ++by)
        for (int bx = 0; bx < bw; ++bx) {
            const int px = std::min(cw - 1, bx * kBlock + kBlock / 2), py = std::min(ch - 1, by * kBlock + kBlock / 2);
            const float su = (xIndex[px] / 3 + 0.5f) / cw, sv = (yIndex[py] + 0.5f) / ch;
            const double distance = std::abs(st.focusOffset - spec->depthAt(su, sv));
            const double radius = distance * kBlurPerStep * st.opticalZoom;
            int level = 0;
            while (level + 2 < Specimen::kLevels && radius > Specimen::levelRadius(level + 1))
                ++level;
            const double r0 = Specimen::levelRadius(level), r1 = Specimen::levelRadius(level + 1);
            const double t = std::min(1.0, (radius - r0) / (r1 - r0));
            // Lights: the mean of the parts, tilted towards the brighter side.
            const double u = (px + 0.5) / cw - 0.5, v = (py + 0.5) / ch - 0.5;
            const double mean = (st.lights[0] + st.lights[1] + st.lights[2] + st.lights[3]) / 4.0;
            const double light = std::max(0.0, 0.12 + 0.88 * mean + 0.5 * (st.lights[3] - st.lights[0]) * v +
                                                   0.5 * (st.lights[2] - st.lights[1]) * u);
            blocks[static_cast<size_t>(by) * bw + bx] = {
                level, static_cast<int>(std::lround(t * 256.0)) - (level == 0 ? sharpen : 0),
                std::min(1024, static_cast<int>(std::lround(light * 256.0)))};
        }

    // Per channel: radiance (0..1023 for 0..4x) to output through exposure, gain, white
    // balance, then gamma or the curve, then contrast.
    std::vector<uint8_t> lut(3 * (kRadianceMax + 1));
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r <= kRadianceMax; ++r) {
            double x = std::min(1.0, r / 255.0 * st.exposure * st.gain * st.wbGains[c]);
            if (!st.toneCurve.empty())
                x = curveAt(st.toneCurve, x * 255.0) / 255.0;
            else if (st.gamma > 0)
                x = std::pow(x, 1.0 / st.gamma);
            x = 0.5 + (x - 0.5) * st.contrast;
            lut[c * (kRadianceMax + 1) + r] = clamp255(static_cast<int>(std::lround(x * 255.0)));
        }

    // Colour: hue rotation and saturation act on the chroma of BT.601.
    const double h = st.hueDegrees * 3.14159265358979 / 180.0;
    const double hc = std::cos(h) * st.saturation, hs = std::sin(h) * st.saturation;
    const double kr = 0.299, kg = 0.587, kb = 0.114;
    // Chroma rows (unscaled U = B - Y, V = R - Y).
    const double uRow[3] = {-kr, -kg, 1 - kb}, vRow[3] = {1 - kr, -kg, -kb};
    double u2[3], v2[3];
    for (int k = 0; k < 3; ++k) {
        u2[k] = hc * uRow[k] - hs * vRow[k];
        v2[k] = hs * uRow[k] + hc * vRow[k];
    }

    m_canvasLayout = layout;
    m_canvasWidth = cw;
    m_canvasHeight = ch;
    std::vector<int> rgbRows[2] = {std::vector<int>(static_cast<size_t>(cw) * 3),
                                   std::vector<int>(static_cast<size_t>(cw) * 3)};
    auto renderRow = [&](int y, int *out) {
        const size_t rowOffset = static_cast<size_t>(yIndex[y]) * cw * 3;
        const BlockParams *rowBlocks = &blocks[static_cast<size_t>(y / kBlock) * bw];
        for (int bx = 0; bx < bw; ++bx) {
            const BlockParams &b = rowBlocks[bx];
            const uint8_t *la = spec->level(b.level) + rowOffset, *lb = spec->level(b.level + 1) + rowOffset;
            const int end = std::min(cw, (bx + 1) * kBlock);
            for (int x = bx * kBlock; x < end; ++x) {
                const int si = xIndex[x];
                for (int c = 0; c < 3; ++c) {
                    const int va = la[si + c], vb = lb[si + c];
                    const int v = clamp255(va + (((vb - va) * b.weight) >> 8));
                    const int radiance = std::min(kRadianceMax, (v * b.light) >> 8);
                    out[x * 3 + c] = lut[c * (kRadianceMax + 1) + radiance];
                }
            }
        }
    };

    if (layout == PixelLayout::I420) {
        m_canvas[0].resize(static_cast<size_t>(cw) * ch);
        m_canvas[1].resize(static_cast<size_t>(cw / 2) * (ch / 2));
        m_canvas[2].resize(m_canvas[1].size());
        // Limited-range BT.601 in 8.8 fixed point.
        const int yr = 66, yg = 129, yb = 25;
        const double uScale = 112.0 / (255.0 * (1 - kb)), vScale = 112.0 / (255.0 * (1 - kr));
        int ur[3], vr[3];
        for (int k = 0; k < 3; ++k) {
            ur[k] = static_cast<int>(std::lround(u2[k] * uScale * 256.0));
            vr[k] = static_cast<int>(std::lround(v2[k] * vScale * 256.0));
        }
        for (int y = 0; y + 1 < ch; y += 2) {
            renderRow(y, rgbRows[0].data());
            renderRow(y + 1, rgbRows[1].data());
            for (int r = 0; r < 2; ++r) {
                const int *in = rgbRows[r].data();
                uint8_t *yOut = &m_canvas[0][static_cast<size_t>(y + r) * cw];
                for (int x = 0; x < cw; ++x)
                    yOut[x] = static_cast<uint8_t>(
                        16 + ((yr * in[x * 3] + yg * in[x * 3 + 1] + yb * in[x * 3 + 2] + 128) >> 8));
            }
            uint8_t *uOut = &m_canvas[1][static_cast<size_t>(y / 2) * (cw / 2)];
            uint8_t *vOut = &m_canvas[2][static_cast<size_t>(y / 2) * (cw / 2)];
            for (int x = 0; x + 1 < cw; x += 2) {
                int sum[3];
                for (int c = 0; c < 3; ++c)
                    sum[c] = rgbRows[0][x * 3 + c] + rgbRows[0][x * 3 + 3 + c] + rgbRows[1][x * 3 + c] +
                             rgbRows[1][x * 3 + 3 + c];
                uOut[x / 2] = clamp255(128 + ((ur[0] * sum[0] + ur[1] * sum[1] + ur[2] * sum[2] + 512) >> 10));
                vOut[x / 2] = clamp255(128 + ((vr[0] * sum[0] + vr[1] * sum[1] + vr[2] * sum[2] + 512) >> 10));
            }
        }
    } else {
        m_canvas[0].resize(static_cast<size_t>(cw) * ch * 3);
        m_canvas[1].clear();
        m_canvas[2].clear();
        // RGB to RGB through the chroma change: out = Y + inverse of the rotated chroma.
        int m[3][3];
        const bool identity = st.hueDegrees == 0.0 && st.saturation == 1.0;
        for (int k = 0; k < 3; ++k) {
            const double yk = k == 0 ? kr : k == 1 ? kg : kb;
            const double rOut = yk + v2[k];
            const double bOut = yk + u2[k];
            const double gOut = yk - (kr * v2[k] + kb * u2[k]) / kg;
            m[0][k] = static_cast<int>(std::lround(rOut * 4096.0));
            m[1][k] = static_cast<int>(std::lround(gOut * 4096.0));
            m[2][k] = static_cast<int>(std::lround(bOut * 4096.0));
        }
        const bool bgr = layout == PixelLayout::BGR24;
        for (int y = 0; y < ch; ++y) {
            int *in = rgbRows[0].data();
            renderRow(y, in);
            uint8_t *out = &m_canvas[0][static_cast<size_t>(y) * cw * 3];
            for (int x = 0; x < cw; ++x) {
                int px[3] = {in[x * 3], in[x * 3 + 1], in[x * 3 + 2]};
                if (!identity) {
                    int t[3];
                    for (int c = 0; c < 3; ++c)
                        t[c] = clamp255((m[c][0] * px[0] + m[c][1] * px[1] + m[c][2] * px[2] + 2048) >> 12);
                    std::memcpy(px, t, sizeof px);
                }
                out[x * 3 + 0] = static_cast<uint8_t>(px[bgr ? 2 : 0]);
                out[x * 3 + 1] = static_cast<uint8_t>(px[1]);
                out[x * 3 + 2] = static_cast<uint8_t>(px[bgr ? 0 : 2]);
            }
        }
    }
    m_canvasSettings = st;
    m_canvasValid = true;
}

void Renderer::render(const RenderSettings &st, PixelLayout layout, int width, int height, double timeSeconds,
                      uint32_t frameIndex, uint8_t *const planes[3], const int strides[3])
{
    const int margin = m_drift ? kDriftMargin : 0;
    const int cw = width + 2 * margin, ch = height + 2 * margin;
    if (!m_canvasValid || m_canvasLayout != layout || m_canvasWidth != cw || m_canvasHeight != ch ||
        !m_canvasSettings.sameImage(st))
        rebuildCanvas(st, layout, cw, ch);

    // The window into the canvas: centred, or wandering on a slow Lissajous path.
    int ox = margin, oy = margin;
    if (m_drift) {
        const double twoPi = 6.28318530717959;
        ox = margin + static_cast<int>(std::lround(0.9 * margin * std::sin(twoPi * timeSeconds / 40.0)));
        oy = margin + static_cast<int>(std::lround(0.9 * margin * std::sin(twoPi * timeSeconds / 29.0)));
        ox &= ~1;
        oy &= ~1;
    }

    // Noise grows with gain, as read noise amplified by the sensor.
    ensureNoise(0.8 * std::pow(std::max(1.0, st.gain), 0.75));
    const int8_t *noise = m_noise.data();
    auto rowNoise = [&](int y) {
        return noise + (hash32(frameIndex * 0x9e3779b1u + static_cast<uint32_t>(y)) & (kNoiseTableSize - 1));
    };

    if (layout == PixelLayout::I420) {
        for (int y = 0; y < height; ++y)
            addNoiseRow(&m_canvas[0][static_cast<size_t>(y + oy) * cw + ox],
                        planes[0] + static_cast<size_t>(y) * strides[0], width, rowNoise(y));
        for (int p = 1; p < 3; ++p)
            for (int y = 0; y < height / 2; ++y)
                std::memcpy(planes[p] + static_cast<size_t>(y) * strides[p],
                            &m_canvas[p][static_cast<size_t>(y + oy / 2) * (cw / 2) + ox / 2],
                            static_cast<size_t>(width / 2));
    } else {
        for (int y = 0; y < height; ++y)
            addNoiseRow(&m_canvas[0][(static_cast<size_t>(y + oy) * cw + ox) * 3],
                        planes[0] + static_cast<size_t>(y) * strides[0], width * 3, rowNoise(y));
    }
}

} // namespace virtualscope
