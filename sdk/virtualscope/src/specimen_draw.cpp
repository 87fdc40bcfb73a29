// The specimen kinds: stained cells, a stage micrometer, a printed slide label and a
// fluorescence channel. Everything is drawn from a seeded generator, so a configuration
// always gives the same picture.
#include "specimen_draw.h"

#include "virtualscope/barcode.h"

#include <algorithm>
#include <cmath>

namespace virtualscope {
namespace draw {

namespace {

constexpr float kPi = 3.14159265f;

uint8_t clampByte(float v)
{
    return static_cast<uint8_t>(std::min(255.0f, std::max(0.0f, v + 0.5f)));
}

// Smooth value noise on a coarse grid, bilinearly interpolated (0..1).
class ValueNoise
{
public:
    ValueNoise(int width, int height, int cell, std::mt19937 &rng)
        : m_cell(cell)
        , m_cols(width / cell + 2)
        , m_rows(height / cell + 2)
        , m_values(static_cast<size_t>(m_cols) * m_rows)
    {
        std::uniform_real_distribution<float> d(0.0f, 1.0f);
        for (float &v : m_values)
            v = d(rng);
    }
    float at(float x, float y) const
    {
        const float gx = x / m_cell, gy = y / m_cell;
        const int ix = std::min(m_cols - 2, static_cast<int>(gx)), iy = std::min(m_rows - 2, static_cast<int>(gy));
        float fx = gx - ix, fy = gy - iy;
        fx = fx * fx * (3 - 2 * fx);
        fy = fy * fy * (3 - 2 * fy);
        const float *r0 = &m_values[static_cast<size_t>(iy) * m_cols + ix];
        const float *r1 = r0 + m_cols;
        return (r0[0] * (1 - fx) + r0[1] * fx) * (1 - fy) + (r1[0] * (1 - fx) + r1[1] * fx) * fy;
    }

private:
    int m_cell, m_cols, m_rows;
    std::vector<float> m_values;
};

} // namespace

void fillBackground(Canvas &canvas, Colour colour, float variation, std::mt19937 &rng)
{
    const ValueNoise coarse(canvas.width, canvas.height, 256, rng);
    const ValueNoise fine(canvas.width, canvas.height, 48, rng);
    for (int y = 0; y < canvas.height; ++y)
        for (int x = 0; x < canvas.width; ++x) {
            const float n = 0.7f * coarse.at(x, y) + 0.3f * fine.at(x, y) - 0.5f;
            const float f = 1.0f + variation * n;
            uint8_t *p = canvas.pixel(x, y);
            p[0] = clampByte(colour.r * f);
            p[1] = clampByte(colour.g * f);
            p[2] = clampByte(colour.b * f);
        }
}

void ellipse(Canvas &canvas, float cx, float cy, float rx, float ry, float angle, Colour colour, float strength,
             float edge, Blend blend)
{
    const float reach = std::max(rx, ry) + edge + 1.0f;
    const int x0 = std::max(0, static_cast<int>(cx - reach)),
              x1 = std::min(canvas.width - 1, static_cast<int>(cx + reach));
    const int y0 = std::max(0, static_cast<int>(cy - reach)),
              y1 = std::min(canvas.height - 1, static_cast<int>(cy + reach));
    const float c = std::cos(angle), s = std::sin(angle);
    const float meanRadius = 0.5f * (rx + ry);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float u = (dx * c + dy * s) / rx, v = (-dx * s + dy * c) / ry;
            // Distance outside the rim in pixels, approximately.
            const float outside = (std::sqrt(u * u + v * v) - 1.0f) * meanRadius;
            const float alpha = strength * std::min(1.0f, std::max(0.0f, 0.5f - outside / std::max(edge, 0.5f)));
            if (alpha <= 0.0f)
                continue;
            uint8_t *p = canvas.pixel(x, y);
            const float col[3] = {colour.r, colour.g, colour.b};
            for (int k = 0; k < 3; ++k) {
                float v0 = p[k];
                if (blend == Blend::Absorb)
                    v0 *= 1.0f - alpha * (1.0f - col[k] / 255.0f);
                else if (blend == Blend::Add)
                    v0 += alpha * col[k];
                else
                    v0 += alpha * (col[k] - v0);
                p[k] = clampByte(v0);
            }
        }
}

void rect(Canvas &canvas, float x0, float y0, float x1, float y1, Colour colour)
{
    const int ix0 = std::max(0, static_cast<int>(std::floor(x0))),
              ix1 = std::min(canvas.width - 1, static_cast<int>(x1));
    const int iy0 = std::max(0, static_cast<int>(std::floor(y0))),
              iy1 = std::min(canvas.height - 1, static_cast<int>(y1));
    const float col[3] = {colour.r, colour.g, colour.b};
    for (int y = iy0; y <= iy1; ++y) {
        const float cy = std::max(0.0f, std::min(static_cast<float>(y + 1), y1) - std::max(static_cast<float>(y), y0));
        for (int x = ix0; x <= ix1; ++x) {
            const float cx =
                std::max(0.0f, std::min(static_cast<float>(x + 1), x1) - std::max(static_cast<float>(x), x0));
            const float a = cx * cy;
            uint8_t *p = canvas.pixel(x, y);
            for (int k = 0; k < 3; ++k)
                p[k] = clampByte(p[k] + a * (col[k] - p[k]));
        }
    }
}

void spot(Canvas &canvas, float cx, float cy, float sigma, float intensity)
{
    const float reach = 3.0f * sigma + 1.0f;
    const int x0 = std::max(0, static_cast<int>(cx - reach)),
              x1 = std::min(canvas.width - 1, static_cast<int>(cx + reach));
    const int y0 = std::max(0, static_cast<int>(cy - reach)),
              y1 = std::min(canvas.height - 1, static_cast<int>(cy + reach));
    const float k = -0.5f / (sigma * sigma);
    for (int y = y0; y <= y1; ++y)
        for (int x = x0; x <= x1; ++x) {
            const float dx = x + 0.5f - cx, dy = y + 0.5f - cy;
            const float add = intensity * std::exp((dx * dx + dy * dy) * k);
            uint8_t *p = canvas.pixel(x, y);
            for (int c = 0; c < 3; ++c)
                p[c] = clampByte(p[c] + add);
        }
}

void grain(Canvas &canvas, float amplitude, std::mt19937 &rng)
{
    std::uniform_real_distribution<float> d(-amplitude, amplitude);
    for (size_t i = 0; i < canvas.rgb.size(); i += 3) {
        const float n = d(rng);
        for (int c = 0; c < 3; ++c)
            canvas.rgb[i + c] = clampByte(canvas.rgb[i + c] + n);
    }
}

void drawCells(Canvas &canvas, const SpecimenConfig &config, std::mt19937 &rng)
{
    fillBackground(canvas, {236, 230, 222}, 0.06f, rng);
    const float pxPerUm = static_cast<float>(1.0 / config.micronsPerPixel);
    // Cell types: body transmission colour, nucleus colour, radius range in micrometres.
    struct CellType
    {
        Colour body, nucleus;
        float minR, maxR;
    };
    const CellType types[] = {{{235, 150, 180}, {120, 60, 150}, 6, 10},
                              {{200, 175, 235}, {90, 60, 160}, 4, 7},
                              {{240, 190, 150}, {150, 90, 110}, 9, 15},
                              {{170, 200, 235}, {70, 90, 170}, 5, 8}};
    std::uniform_real_distribution<float> uni(0.0f, 1.0f);
    struct Placed
    {
        float x, y, r;
    };
    std::vector<Placed> placed;
    const float area = static_cast<float>(canvas.width) * canvas.height;
    const int wanted = static_cast<int>(area * 0.18f / (kPi * 64.0f * pxPerUm * pxPerUm)) + 4;
    // A coarse grid of placed cells keeps the overlap test cheap.
    const float cellSize = 16.0f * pxPerUm * 2.0f;
    const int gw = static_cast<int>(canvas.width / cellSize) + 1, gh = static_cast<int>(canvas.height / cellSize) + 1;
    std::vector<std::vector<int>> grid(static_cast<size_t>(gw) * gh);
    for (int attempt = 0; attempt < wanted * 6 && static_cast<int>(placed.size()) < wanted; ++attempt) {
        const CellType &t = types[rng() % 4];
        const float r = (t.minR + (t.maxR - t.minR) * uni(rng)) * pxPerUm;
        const float x = uni(rng) * canvas.width, y = uni(rng) * canvas.height;
        const int gx = static_cast<int>(x / cellSize), gy = static_cast<int>(y / cellSize);
        bool free = true;
        for (int j = std::max(0, gy - 1); j <= std::min(gh - 1, gy + 1) && free; ++j)
            for (int i = std::max(0, gx - 1); i <= std::min(gw - 1, gx + 1) && free; ++i)
                for (int index : grid[static_cast<size_t>(j) * gw + i]) {
                    const Placed &p = placed[index];
                    if (std::hypot(p.x - x, p.y - y) < p.r + r + 2.0f * pxPerUm) {
                        free = false;
                        break;
                    }
                }
        if (!free)
            continue;
        grid[static_cast<size_t>(gy) * gw + gx].push_back(static_cast<int>(placed.size()));
        placed.push_back({x, y, r});

        const float squash = 0.85f + 0.15f * uni(rng), angle = uni(rng) * kPi;
        ellipse(canvas, x, y, r, r * squash, angle, t.body, 0.75f, 1.2f, Blend::Absorb);
        ellipse(canvas, x, y, r, r * squash, angle, {90, 60, 90}, 0.25f, 1.0f, Blend::Absorb); // rim
        ellipse(canvas, x, y, r - 1.2f * pxPerUm, (r - 1.2f * pxPerUm) * squash, angle, {255, 255, 255}, 0.2f, 1.5f,
                Blend::Paint);
        // Nucleus slightly off centre, with darker chromatin grains.
        const float nr = r * (0.35f + 0.15f * uni(rng));
        const float nx = x + (uni(rng) - 0.5f) * r * 0.4f, ny = y + (uni(rng) - 0.5f) * r * 0.4f;
        ellipse(canvas, nx, ny, nr, nr * (0.8f + 0.2f * uni(rng)), uni(rng) * kPi, t.nucleus, 0.8f, 1.0f,
                Blend::Absorb);
        const int grains = 3 + static_cast<int>(nr / pxPerUm);
        for (int g = 0; g < grains; ++g) {
            const float a = uni(rng) * 2 * kPi, d = uni(rng) * nr * 0.8f;
            ellipse(canvas, nx + d * std::cos(a), ny + d * std::sin(a), 0.6f * pxPerUm, 0.6f * pxPerUm, 0, {60, 30, 90},
                    0.5f, 0.8f, Blend::Absorb);
        }
    }
    grain(canvas, 3.0f, rng);
}

void drawMicrometer(Canvas &canvas, const SpecimenConfig &config, std::mt19937 &rng)
{
    fillBackground(canvas, {238, 238, 234}, 0.04f, rng);
    const float pxPerUm = static_cast<float>(1.0 / config.micronsPerPixel);
    const Colour ink{35, 35, 45};
    const float midY = canvas.height * 0.5f;
    const float lineWidth = std::max(1.5f, 1.0f * pxPerUm);
    // The baseline, then a tick every 10 um: longer every 50 um, longest every 100 um.
    rect(canvas, 0, midY - lineWidth, static_cast<float>(canvas.width), midY + lineWidth, ink);
    const float pitch = 10.0f * pxPerUm;
    const float startX = canvas.width * 0.5f - std::floor(canvas.width * 0.5f / pitch) * pitch;
    const int first = -static_cast<int>(std::floor(canvas.width * 0.5f / pitch));
    int index = first;
    for (float x = startX; x < canvas.width; x += pitch, ++index) {
        const float length = (index % 10 == 0 ? 80.0f : index % 5 == 0 ? 55.0f : 35.0f) * pxPerUm;
        rect(canvas, x - lineWidth * 0.5f, midY - length, x + lineWidth * 0.5f, midY + lineWidth, ink);
    }
    // A few specks of dust on the glass.
    std::uniform_real_distribution<float> uni(0.0f, 1.0f);
    const int specks = canvas.width * canvas.height / 200000 + 3;
    for (int i = 0; i < specks; ++i) {
        const float r = (1.0f + 3.0f * uni(rng)) * pxPerUm;
        ellipse(canvas, uni(rng) * canvas.width, uni(rng) * canvas.height, r, r * (0.5f + 0.5f * uni(rng)),
                uni(rng) * kPi, {120, 115, 105}, 0.5f, 1.0f, Blend::Absorb);
    }
    grain(canvas, 2.0f, rng);
}

void drawLabel(Canvas &canvas, const SpecimenConfig &config, std::mt19937 &rng)
{
    // Frosted glass around a white paper label that fills most of the field.
    fillBackground(canvas, {200, 205, 210}, 0.08f, rng);
    const float w = static_cast<float>(canvas.width), h = static_cast<float>(canvas.height);
    const float lx0 = w * 0.08f, ly0 = h * 0.1f, lx1 = w * 0.92f, ly1 = h * 0.9f;
    rect(canvas, lx0, ly0, lx1, ly1, {246, 244, 236});
    const Colour ink{22, 22, 30};

    // The QR code on the left, with a quiet zone of four modules given by the paper.
    const QrCode qr = encodeQr(config.qrText);
    if (qr.size > 0) {
        const float side = std::min((lx1 - lx0) * 0.4f, (ly1 - ly0) * 0.75f);
        const float module = std::floor(side / qr.size);
        // On whole pixels: modules meeting at a fractional edge would each cover it only in
        // part and leave a light seam through dark areas, which breaks the finder patterns.
        const float qx = std::round(lx0 + (ly1 - ly0 - qr.size * module) * 0.5f);
        const float qy = std::round((ly0 + ly1 - qr.size * module) * 0.5f);
        for (int y = 0; y < qr.size; ++y)
            for (int x = 0; x < qr.size; ++x)
                if (qr.dark(x, y))
                    rect(canvas, qx + x * module, qy + y * module, qx + (x + 1) * module, qy + (y + 1) * module, ink);
    }
    // The Code 128 barcode on the right half, bars across its height.
    const std::vector<uint8_t> widths = encodeCode128(config.barcodeText);
    if (!widths.empty()) {
        int modules = 0;
        for (uint8_t m : widths)
            modules += m;
        const float bx0 = lx0 + (lx1 - lx0) * 0.52f, bx1 = lx1 - (lx1 - lx0) * 0.04f;
        const float module = std::max(1.0f, std::floor((bx1 - bx0) / (modules + 20)));
        float x = std::round(bx0 + ((bx1 - bx0) - modules * module) * 0.5f);
        const float by0 = ly0 + (ly1 - ly0) * 0.3f, by1 = ly1 - (ly1 - ly0) * 0.3f;
        bool bar = true;
        for (uint8_t m : widths) {
            if (bar)
                rect(canvas, x, by0, x + m * module, by1, ink);
            x += m * module;
            bar = !bar;
        }
    }
    grain(canvas, 4.0f, rng); // paper fibres
}

void drawFluorescence(Canvas &canvas, const SpecimenConfig &config, std::mt19937 &rng)
{
    fillBackground(canvas, {10, 10, 10}, 0.6f, rng);
    const float pxPerUm = static_cast<float>(1.0 / config.micronsPerPixel);
    std::uniform_real_distribution<float> uni(0.0f, 1.0f);
    const float area = static_cast<float>(canvas.width) * canvas.height;
    switch (config.structure) {
    case FluorescenceStructure::Nuclei: {
        const int count = static_cast<int>(area * 0.12f / (kPi * 49.0f * pxPerUm * pxPerUm)) + 3;
        for (int i = 0; i < count; ++i) {
            const float r = (5.0f + 4.0f * uni(rng)) * pxPerUm;
            const float x = uni(rng) * canvas.width, y = uni(rng) * canvas.height;
            const float level = 110.0f + 90.0f * uni(rng);
            const Colour c{level, level, level};
            ellipse(canvas, x, y, r, r * (0.7f + 0.3f * uni(rng)), uni(rng) * kPi, c, 1.0f, 1.5f * pxPerUm, Blend::Add);
            for (int g = 0; g < 6; ++g) {
                const float a = uni(rng) * 2 * kPi, d = uni(rng) * r * 0.7f;
                spot(canvas, x + d * std::cos(a), y + d * std::sin(a), 0.8f * pxPerUm, 25.0f + 30.0f * uni(rng));
            }
        }
        break;
    }
    case FluorescenceStructure::Membranes: {
        // Outlines of a tissue of cells: the boundaries of a jittered Voronoi partition.
        const float cell = 25.0f * pxPerUm;
        const int cols = static_cast<int>(canvas.width / cell) + 2, rows = static_cast<int>(canvas.height / cell) + 2;
        std::vector<float> seeds(static_cast<size_t>(cols) * rows * 2);
        for (int j = 0; j < rows; ++j)
            for (int i = 0; i < cols; ++i) {
                seeds[(static_cast<size_t>(j) * cols + i) * 2] = (i + 0.15f + 0.7f * uni(rng)) * cell;
                seeds[(static_cast<size_t>(j) * cols + i) * 2 + 1] = (j + 0.15f + 0.7f * uni(rng)) * cell;
            }
        const float width = 0.7f * pxPerUm;
        const float k = -0.5f / (width * width);
        for (int y = 0; y < canvas.height; ++y)
            for (int x = 0; x < canvas.width; ++x) {
                const int ci = static_cast<int>(x / cell), cj = static_cast<int>(y / cell);
                float d1 = 1e30f, d2 = 1e30f;
                for (int j = std::max(0, cj - 1); j <= std::min(rows - 1, cj + 1); ++j)
                    for (int i = std::max(0, ci - 1); i <= std::min(cols - 1, ci + 1); ++i) {
                        const float *s = &seeds[(static_cast<size_t>(j) * cols + i) * 2];
                        const float d = std::hypot(s[0] - x, s[1] - y);
                        if (d < d1) {
                            d2 = d1;
                            d1 = d;
                        } else if (d < d2) {
                            d2 = d;
                        }
                    }
                const float gap = 0.5f * (d2 - d1);
                const float add = 190.0f * std::exp(gap * gap * k);
                uint8_t *p = canvas.pixel(x, y);
                for (int c = 0; c < 3; ++c)
                    p[c] = clampByte(p[c] + add);
            }
        break;
    }
    case FluorescenceStructure::Filaments: {
        // Cytoskeleton-like fibres: smooth random walks stamped with a narrow Gaussian.
        const int count = static_cast<int>(area / (900.0f * pxPerUm * pxPerUm)) + 5;
        for (int i = 0; i < count; ++i) {
            float x = uni(rng) * canvas.width, y = uni(rng) * canvas.height;
            float angle = uni(rng) * 2 * kPi, turn = 0;
            const float length = (40.0f + 120.0f * uni(rng)) * pxPerUm;
            const float level = 30.0f + 40.0f * uni(rng);
            const float step = 0.7f;
            for (float t = 0; t < length; t += step) {
                spot(canvas, x, y, 0.45f * pxPerUm + 0.3f, level * 0.35f);
                turn = 0.95f * turn + (uni(rng) - 0.5f) * 0.01f;
                angle += turn;
                x += step * std::cos(angle);
                y += step * std::sin(angle);
                if (x < -10 || y < -10 || x > canvas.width + 10 || y > canvas.height + 10)
                    break;
            }
        }
        break;
    }
    }
    grain(canvas, 2.0f, rng);
}

} // namespace draw
} // namespace virtualscope
