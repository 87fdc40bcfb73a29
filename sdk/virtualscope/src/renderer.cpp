// Frame rendering. The costly part (resampling, focus blend, lights, tone and colour) goes
// into a canvas in the output layout, only when the settings change and then at most a
// budget of rows per frame; each frame copies its window out of the canvas and adds
// sensor noise.
#include "virtualscope/renderer.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <thread>

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

// Focus blend and light of one block's samples, in 16 bits as high halves of products:
// ((b - a) * 128) * (2 * weight) >> 16 is (b - a) * weight >> 8, and (v * 256) * light >> 16
// is v * light >> 8. Plain loops over restrict pointers, for the vectoriser.
void blendSpan(const uint8_t *__restrict a, const uint8_t *__restrict b, uint16_t *__restrict out, int count,
               int weight, int light)
{
    const int16_t w2 = static_cast<int16_t>(2 * weight);
    const uint16_t l = static_cast<uint16_t>(light);
    for (int i = 0; i < count; ++i) {
        const int16_t d = static_cast<int16_t>((b[i] - a[i]) * 128);
        int16_t v = static_cast<int16_t>(a[i] + static_cast<int16_t>((d * w2) >> 16));
        v = v < 0 ? 0 : v > 255 ? 255 : v;
        const uint16_t lit = static_cast<uint16_t>((static_cast<uint32_t>(static_cast<uint16_t>(v << 8)) * l) >> 16);
        out[i] = lit > kRadianceMax ? kRadianceMax : lit;
    }
}

// Limited-range BT.601 luma in 8.8 fixed point; the sum fits 16 bits unsigned.
void lumaSpan(const uint8_t *__restrict r, const uint8_t *__restrict g, const uint8_t *__restrict b,
              uint8_t *__restrict out, int count)
{
    for (int x = 0; x < count; ++x)
        out[x] = static_cast<uint8_t>(16 + (static_cast<uint16_t>(66 * r[x] + 129 * g[x] + 25 * b[x] + 128) >> 8));
}

// Chroma of 2x2 pixels from two rows, with coefficients for sums of four.
void chromaSpan(const uint8_t *__restrict row0, const uint8_t *__restrict row1, int16_t *__restrict sums, int count)
{
    for (int x = 0; x < count; ++x)
        sums[x] = static_cast<int16_t>(row0[2 * x] + row0[2 * x + 1] + row1[2 * x] + row1[2 * x + 1]);
}

void chromaOut(const int16_t *__restrict sr, const int16_t *__restrict sg, const int16_t *__restrict sb,
               const int coef[3], uint8_t *__restrict out, int count)
{
    const int16_t c0 = static_cast<int16_t>(coef[0]), c1 = static_cast<int16_t>(coef[1]),
                  c2 = static_cast<int16_t>(coef[2]);
    for (int x = 0; x < count; ++x) {
        const int v = 128 + ((c0 * sr[x] + c1 * sg[x] + c2 * sb[x] + 512) >> 10);
        out[x] = static_cast<uint8_t>(v < 0 ? 0 : v > 255 ? 255 : v);
    }
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

std::shared_ptr<const Specimen> Renderer::heldSpecimen(int canvasWidth, int canvasHeight)
{
    for (const auto &s : m_specimens)
        if (s && s->width() == canvasWidth && s->height() == canvasHeight)
            return s;
    if (m_pending && m_pending->width == canvasWidth && m_pending->height == canvasHeight) {
        std::shared_ptr<const Specimen> built;
        {
            std::lock_guard<std::mutex> lock(m_pending->mutex);
            built = m_pending->built;
        }
        if (!built)
            return nullptr;
        m_pending.reset();
        keepSpecimen(Specimen::share(std::move(built)));
        return m_specimens[0];
    }
    if (auto shared = Specimen::find(m_config, canvasWidth, canvasHeight)) {
        keepSpecimen(std::move(shared));
        return m_specimens[0];
    }
    return nullptr;
}

void Renderer::keepSpecimen(std::shared_ptr<const Specimen> specimen)
{
    m_specimens[1] = std::move(m_specimens[0]);
    m_specimens[0] = std::move(specimen);
}

std::shared_ptr<const Specimen> Renderer::specimen(int canvasWidth, int canvasHeight)
{
    if (auto held = heldSpecimen(canvasWidth, canvasHeight))
        return held;
    keepSpecimen(Specimen::get(m_config, canvasWidth, canvasHeight));
    return m_specimens[0];
}

bool Renderer::prepareSpecimen(int width, int height)
{
    const int margin = m_drift ? kDriftMargin : 0;
    const int cw = width + 2 * margin, ch = height + 2 * margin;
    if (heldSpecimen(cw, ch))
        return true;
    if (!m_pending || m_pending->width != cw || m_pending->height != ch) {
        auto pending = std::make_shared<PendingSpecimen>();
        pending->width = cw;
        pending->height = ch;
        m_pending = pending;
        // Detached: closing the camera must not wait for it. It touches nothing but its own data.
        std::thread([pending, config = m_config] {
            auto built = std::make_shared<const Specimen>(config, pending->width, pending->height);
            std::lock_guard<std::mutex> lock(pending->mutex);
            pending->built = std::move(built);
        }).detach();
    }
    return false;
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

static bool sameTone(const RenderSettings &a, const RenderSettings &b)
{
    return a.exposure == b.exposure && a.gain == b.gain && a.wbGains[0] == b.wbGains[0] &&
           a.wbGains[1] == b.wbGains[1] && a.wbGains[2] == b.wbGains[2] && a.toneCurve == b.toneCurve &&
           a.gamma == b.gamma && a.contrast == b.contrast && a.hueDegrees == b.hueDegrees &&
           a.saturation == b.saturation;
}

void Renderer::prepare(const RenderSettings &st, PixelLayout layout, int cw, int ch)
{
    m_spec = specimen(cw, ch);
    m_canvasLayout = layout;
    m_canvasWidth = cw;
    m_canvasHeight = ch;

    // Where each canvas column and row samples the specimen: zoom about the centre,
    // mirror and flip.
    const double zoom = std::max(1.0, st.opticalZoom * st.digitalZoom);
    m_xIndex.resize(cw);
    m_yIndex.resize(ch);
    m_contiguous = !st.mirror;
    for (int x = 0; x < cw; ++x) {
        const int xs = st.mirror ? cw - 1 - x : x;
        const int sx = std::min(cw - 1, std::max(0, static_cast<int>(cw * 0.5 + (xs + 0.5 - cw * 0.5) / zoom)));
        m_xIndex[x] = sx * 3;
        m_contiguous = m_contiguous && sx == x;
    }
    for (int y = 0; y < ch; ++y) {
        const int ys = st.flip ? ch - 1 - y : y;
        m_yIndex[y] = std::min(ch - 1, std::max(0, static_cast<int>(ch * 0.5 + (ys + 0.5 - ch * 0.5) / zoom)));
    }

    m_blocksWide = (cw + kBlock - 1) / kBlock;
    const int blocksHigh = (ch + kBlock - 1) / kBlock;
    m_blocks.resize(static_cast<size_t>(m_blocksWide) * blocksHigh);
    m_blockRowReady.assign(blocksHigh, 0);
    m_sharpen = static_cast<int>(std::lround(std::max(0.0, std::min(1.0, st.sharpness)) * 400.0));
    m_canvasSettings = st;

    if (m_toneValid && sameTone(m_toneSettings, st))
        return;
    m_toneSettings = st;
    m_toneValid = true;

    // Per channel: radiance (0..1023 for 0..4x) to output through exposure, gain, white
    // balance, then gamma or the curve, then contrast.
    m_lut.resize(3 * (kRadianceMax + 1));
    for (int c = 0; c < 3; ++c)
        for (int r = 0; r <= kRadianceMax; ++r) {
            double x = std::min(1.0, r / 255.0 * st.exposure * st.gain * st.wbGains[c]);
            if (!st.toneCurve.empty())
                x = curveAt(st.toneCurve, x * 255.0) / 255.0;
            else if (st.gamma > 0)
                x = std::pow(x, 1.0 / st.gamma);
            x = 0.5 + (x - 0.5) * st.contrast;
            m_lut[c * (kRadianceMax + 1) + r] = clamp255(static_cast<int>(std::lround(x * 255.0)));
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
    // Limited-range BT.601 chroma in fixed point, applied to sums of 2x2 pixels.
    const double uScale = 112.0 / (255.0 * (1 - kb)), vScale = 112.0 / (255.0 * (1 - kr));
    for (int k = 0; k < 3; ++k) {
        m_ur[k] = static_cast<int>(std::lround(u2[k] * uScale * 256.0));
        m_vr[k] = static_cast<int>(std::lround(v2[k] * vScale * 256.0));
    }
    // RGB to RGB through the chroma change: out = Y + inverse of the rotated chroma.
    m_identityColour = st.hueDegrees == 0.0 && st.saturation == 1.0;
    for (int k = 0; k < 3; ++k) {
        const double yk = k == 0 ? kr : k == 1 ? kg : kb;
        const double rOut = yk + v2[k];
        const double bOut = yk + u2[k];
        const double gOut = yk - (kr * v2[k] + kb * u2[k]) / kg;
        m_matrix[0][k] = static_cast<int>(std::lround(rOut * 4096.0));
        m_matrix[1][k] = static_cast<int>(std::lround(gOut * 4096.0));
        m_matrix[2][k] = static_cast<int>(std::lround(bOut * 4096.0));
    }
}

// Per block: the two blur levels to blend (weight below 0 sharpens), and the light.
const Renderer::BlockParams *Renderer::blockRow(int by)
{
    BlockParams *row = &m_blocks[static_cast<size_t>(by) * m_blocksWide];
    if (m_blockRowReady[by])
        return row;
    m_blockRowReady[by] = 1;
    const RenderSettings &st = m_canvasSettings;
    const int cw = m_canvasWidth, ch = m_canvasHeight;
    const int py = std::min(ch - 1, by * kBlock + kBlock / 2);
    const float sv = (m_yIndex[py] + 0.5f) / ch;
    const double v = (py + 0.5) / ch - 0.5;
    const double mean = (st.lights[0] + st.lights[1] + st.lights[2] + st.lights[3]) / 4.0;
    for (int bx = 0; bx < m_blocksWide; ++bx) {
        const int px = std::min(cw - 1, bx * kBlock + kBlock / 2);
        const float su = (m_xIndex[px] / 3 + 0.5f) / cw;
        const double distance = std::abs(st.focusOffset - m_spec->depthAt(su, sv));
        const double radius = distance * kBlurPerStep * st.opticalZoom;
        int level = 0;
        while (level + 2 < Specimen::kLevels && radius > Specimen::levelRadius(level + 1))
            ++level;
        const double r0 = Specimen::levelRadius(level), r1 = Specimen::levelRadius(level + 1);
        const double t = std::min(1.0, (radius - r0) / (r1 - r0));
        // Lights: the mean of the parts, tilted towards the brighter side.
        const double u = (px + 0.5) / cw - 0.5;
        const double light = std::max(0.0, 0.12 + 0.88 * mean + 0.5 * (st.lights[3] - st.lights[0]) * v +
                                               0.5 * (st.lights[2] - st.lights[1]) * u);
        row[bx] = {level, static_cast<int>(std::lround(t * 256.0)) - (level == 0 ? m_sharpen : 0),
                   std::min(1024, static_cast<int>(std::lround(light * 256.0)))};
    }
    return row;
}

// One canvas row through focus, lights and tone into R, G, B samples step bytes apart
// (1: planar rows, 3: packed pixels). Only the table look-ups stay scalar.
void Renderer::toneRow(int y, uint8_t *r, uint8_t *g, uint8_t *b, int step)
{
    const int cw = m_canvasWidth;
    const size_t rowOffset = static_cast<size_t>(m_yIndex[y]) * cw * 3;
    const BlockParams *params = blockRow(y / kBlock);
    const uint8_t *lutR = m_lut.data(), *lutG = lutR + kRadianceMax + 1, *lutB = lutG + kRadianceMax + 1;
    uint8_t gatherA[kBlock * 3], gatherB[kBlock * 3];
    uint16_t radiance[kBlock * 3];
    for (int bx = 0; bx < m_blocksWide; ++bx) {
        const BlockParams &p = params[bx];
        const int x0 = bx * kBlock, n = std::min(kBlock, cw - x0);
        const uint8_t *la = m_spec->level(p.level) + rowOffset, *lb = m_spec->level(p.level + 1) + rowOffset;
        const uint8_t *sa, *sb;
        if (m_contiguous) {
            sa = la + x0 * 3;
            sb = lb + x0 * 3;
        } else {
            const int *index = &m_xIndex[x0];
            for (int i = 0; i < n; ++i) {
                const uint8_t *pa = la + index[i], *pb = lb + index[i];
                gatherA[i * 3] = pa[0];
                gatherA[i * 3 + 1] = pa[1];
                gatherA[i * 3 + 2] = pa[2];
                gatherB[i * 3] = pb[0];
                gatherB[i * 3 + 1] = pb[1];
                gatherB[i * 3 + 2] = pb[2];
            }
            sa = gatherA;
            sb = gatherB;
        }
        blendSpan(sa, sb, radiance, n * 3, p.weight, p.light);
        const size_t o = static_cast<size_t>(x0) * step;
        for (int i = 0; i < n; ++i) {
            r[o + i * step] = lutR[radiance[i * 3]];
            g[o + i * step] = lutG[radiance[i * 3 + 1]];
            b[o + i * step] = lutB[radiance[i * 3 + 2]];
        }
    }
}

void Renderer::buildRows(int y0, int y1)
{
    const int cw = m_canvasWidth;
    m_rows.resize(static_cast<size_t>(cw) * 6);
    uint8_t *r0 = m_rows.data(), *g0 = r0 + cw, *b0 = g0 + cw;
    uint8_t *r1 = b0 + cw, *g1 = r1 + cw, *b1 = g1 + cw;

    if (m_canvasLayout == PixelLayout::I420) {
        m_sums.resize(static_cast<size_t>(cw / 2) * 3);
        int16_t *sr = m_sums.data(), *sg = sr + cw / 2, *sb = sg + cw / 2;
        for (int y = y0; y + 1 < y1; y += 2) {
            toneRow(y, r0, g0, b0, 1);
            toneRow(y + 1, r1, g1, b1, 1);
            uint8_t *yOut = &m_canvas[0][static_cast<size_t>(y) * cw];
            lumaSpan(r0, g0, b0, yOut, cw);
            lumaSpan(r1, g1, b1, yOut + cw, cw);
            chromaSpan(r0, r1, sr, cw / 2);
            chromaSpan(g0, g1, sg, cw / 2);
            chromaSpan(b0, b1, sb, cw / 2);
            chromaOut(sr, sg, sb, m_ur, &m_canvas[1][static_cast<size_t>(y / 2) * (cw / 2)], cw / 2);
            chromaOut(sr, sg, sb, m_vr, &m_canvas[2][static_cast<size_t>(y / 2) * (cw / 2)], cw / 2);
        }
        return;
    }

    const bool bgr = m_canvasLayout == PixelLayout::BGR24;
    for (int y = y0; y < y1; ++y) {
        uint8_t *out = &m_canvas[0][static_cast<size_t>(y) * cw * 3];
        if (m_identityColour) {
            toneRow(y, out + (bgr ? 2 : 0), out + 1, out + (bgr ? 0 : 2), 3);
            continue;
        }
        toneRow(y, r0, g0, b0, 1);
        const int(*m)[3] = m_matrix;
        uint8_t *first = out + (bgr ? 2 : 0), *third = out + (bgr ? 0 : 2);
        for (int x = 0; x < cw; ++x) {
            const int pr = r0[x], pg = g0[x], pb = b0[x];
            first[x * 3] = clamp255((m[0][0] * pr + m[0][1] * pg + m[0][2] * pb + 2048) >> 12);
            out[x * 3 + 1] = clamp255((m[1][0] * pr + m[1][1] * pg + m[1][2] * pb + 2048) >> 12);
            third[x * 3] = clamp255((m[2][0] * pr + m[2][1] * pg + m[2][2] * pb + 2048) >> 12);
        }
    }
}

void Renderer::render(const RenderSettings &st, PixelLayout layout, int width, int height, double timeSeconds,
                      uint32_t frameIndex, uint8_t *const planes[3], const int strides[3])
{
    const int margin = m_drift ? kDriftMargin : 0;
    const int cw = width + 2 * margin, ch = height + 2 * margin;
    if (!m_canvasValid || m_canvasLayout != layout || m_canvasWidth != cw || m_canvasHeight != ch) {
        // A new size or layout has nothing to show yet: build it whole.
        prepare(st, layout, cw, ch);
        const bool planar = layout == PixelLayout::I420;
        m_canvas[0].resize(static_cast<size_t>(cw) * ch * (planar ? 1 : 3));
        m_canvas[1].resize(planar ? static_cast<size_t>(cw / 2) * (ch / 2) : 0);
        m_canvas[2].resize(m_canvas[1].size());
        buildRows(0, ch);
        m_canvasValid = true;
        m_cursor = 0;
        m_staleRows = 0;
    } else if (!m_canvasSettings.sameImage(st)) {
        prepare(st, layout, cw, ch);
        m_staleRows = ch;
    }
    // Changed settings roll down the canvas in bands of the update budget.
    if (m_staleRows > 0) {
        int rows = static_cast<int>(std::min<int64_t>(ch, std::max<int64_t>(2, m_updateBudget / cw)));
        rows = std::min(rows & ~1, m_staleRows);
        m_staleRows -= rows;
        while (rows > 0) {
            const int n = std::min(rows, ch - m_cursor);
            buildRows(m_cursor, m_cursor + n);
            m_cursor = (m_cursor + n) % ch;
            rows -= n;
        }
    }

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
    ensureNoise(st.noise * std::pow(std::max(1.0, st.gain), 0.75));
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
