// Specimen construction and the process-wide cache of rendered specimens.
#include "virtualscope/specimen.h"

#include "specimen_draw.h"

#include <cmath>
#include <map>
#include <mutex>
#include <random>
#include <tuple>

namespace virtualscope {

namespace {

// Box radius of each blur level; two passes make a near-Gaussian blur.
constexpr int kBoxRadius[Specimen::kLevels] = {0, 1, 2, 4, 7};

// The rounded mean of a box window by the sum of its samples: a look-up instead of a
// division per sample.
std::vector<uint8_t> meanTable(int radius)
{
    const int window = 2 * radius + 1;
    std::vector<uint8_t> table(static_cast<size_t>(255 * window + 1));
    for (size_t sum = 0; sum < table.size(); ++sum)
        table[sum] = static_cast<uint8_t>((static_cast<int>(sum) + window / 2) / window);
    return table;
}

// One box-blur pass along each row of packed RGB; edges repeat the outermost pixel.
void boxRows(const uint8_t *src, uint8_t *dst, int width, int height, int radius)
{
    const std::vector<uint8_t> mean = meanTable(radius);
    for (int y = 0; y < height; ++y) {
        const uint8_t *s = src + static_cast<size_t>(y) * width * 3;
        uint8_t *d = dst + static_cast<size_t>(y) * width * 3;
        auto at = [&](int i) { return s + std::min(width - 1, std::max(0, i)) * 3; };
        int sum[3] = {0, 0, 0};
        for (int i = -radius; i <= radius; ++i)
            for (int c = 0; c < 3; ++c)
                sum[c] += at(i)[c];
        for (int i = 0; i < width; ++i) {
            // Clamped reads only near the edges.
            const bool inside = i - radius >= 0 && i + radius + 1 < width;
            const uint8_t *in = inside ? s + (i + radius + 1) * 3 : at(i + radius + 1);
            const uint8_t *out = inside ? s + (i - radius) * 3 : at(i - radius);
            for (int c = 0; c < 3; ++c) {
                d[i * 3 + c] = mean[sum[c]];
                sum[c] += in[c] - out[c];
            }
        }
    }
}

// The same down the columns, a whole row at a time: walking a column would miss the
// cache on every pixel of a large picture.
void boxColumns(const uint8_t *src, uint8_t *dst, int width, int height, int radius)
{
    const std::vector<uint8_t> mean = meanTable(radius);
    const size_t rowBytes = static_cast<size_t>(width) * 3;
    auto row = [&](int y) { return src + static_cast<size_t>(std::min(height - 1, std::max(0, y))) * rowBytes; };
    std::vector<int> sums(rowBytes, 0);
    for (int y = -radius; y <= radius; ++y) {
        const uint8_t *r = row(y);
        for (size_t i = 0; i < rowBytes; ++i)
            sums[i] += r[i];
    }
    for (int y = 0; y < height; ++y) {
        uint8_t *d = dst + static_cast<size_t>(y) * rowBytes;
        const uint8_t *in = row(y + radius + 1), *out = row(y - radius);
        for (size_t i = 0; i < rowBytes; ++i) {
            d[i] = mean[sums[i]];
            sums[i] += in[i] - out[i];
        }
    }
}

void blur(const std::vector<uint8_t> &src, std::vector<uint8_t> &dst, int width, int height, int radius)
{
    std::vector<uint8_t> tmp(src.size());
    dst.resize(src.size());
    boxRows(src.data(), tmp.data(), width, height, radius);
    boxColumns(tmp.data(), dst.data(), width, height, radius);
    boxRows(dst.data(), tmp.data(), width, height, radius);
    boxColumns(tmp.data(), dst.data(), width, height, radius);
}

} // namespace

bool parseSpecimenKind(const std::string &text, SpecimenKind *kind)
{
    static const std::map<std::string, SpecimenKind> kKinds = {{"cells", SpecimenKind::Cells},
                                                               {"micrometer", SpecimenKind::Micrometer},
                                                               {"label", SpecimenKind::Label},
                                                               {"fluorescence", SpecimenKind::Fluorescence}};
    const auto it = kKinds.find(text);
    if (it == kKinds.end())
        return false;
    *kind = it->second;
    return true;
}

bool parseFluorescenceStructure(const std::string &text, FluorescenceStructure *structure)
{
    static const std::map<std::string, FluorescenceStructure> kStructures = {
        {"nuclei", FluorescenceStructure::Nuclei},
        {"membranes", FluorescenceStructure::Membranes},
        {"filaments", FluorescenceStructure::Filaments}};
    const auto it = kStructures.find(text);
    if (it == kStructures.end())
        return false;
    *structure = it->second;
    return true;
}

float Specimen::levelRadius(int index)
{
    const float r = static_cast<float>(kBoxRadius[index]);
    return std::sqrt(2.0f * r * (r + 1.0f) / 3.0f); // standard deviation of two box passes
}

Specimen::Specimen(const SpecimenConfig &config, int width, int height)
    : m_config(config), m_width(width), m_height(height)
{
    std::mt19937 rng(config.seed * 2654435761u + static_cast<uint32_t>(config.kind) * 97u + 13u);
    draw::Canvas canvas(width, height);
    switch (config.kind) {
    case SpecimenKind::Cells:
        draw::drawCells(canvas, config, rng);
        break;
    case SpecimenKind::Micrometer:
        draw::drawMicrometer(canvas, config, rng);
        break;
    case SpecimenKind::Label:
        draw::drawLabel(canvas, config, rng);
        break;
    case SpecimenKind::Fluorescence:
        draw::drawFluorescence(canvas, config, rng);
        break;
    }
    m_levels[0] = std::move(canvas.rgb);
    for (int i = 1; i < kLevels; ++i)
        blur(m_levels[0], m_levels[i], width, height, kBoxRadius[i]);

    // The surface is tilted and gently curved, so no focus position is sharp everywhere.
    std::uniform_real_distribution<float> uni(-1.0f, 1.0f);
    m_tiltX = 30.0f * uni(rng);
    m_tiltY = 20.0f * uni(rng);
    m_bump = 12.0f + 6.0f * uni(rng);
    m_bumpPhase = 3.0f * uni(rng);

    double sum = 0;
    size_t count = 0;
    for (size_t i = 0; i < m_levels[0].size(); i += 3 * 7) {
        const uint8_t *p = &m_levels[0][i];
        sum += 0.299 * p[0] + 0.587 * p[1] + 0.114 * p[2];
        ++count;
    }
    m_meanLuma = count ? sum / count : 0.0;
}

float Specimen::depthAt(float u, float v) const
{
    const float du = u - 0.5f, dv = v - 0.5f;
    return m_tiltX * du + m_tiltY * dv + m_bump * std::sin(2.5f * du + m_bumpPhase) * std::cos(2.0f * dv);
}

namespace {

struct CacheKey
{
    SpecimenConfig config;
    int width, height;
};

// Specimens in use, weakly held: the last user's release frees one.
std::mutex g_cacheMutex;
std::vector<std::pair<CacheKey, std::weak_ptr<const Specimen>>> g_cache;

std::shared_ptr<const Specimen> findLocked(const SpecimenConfig &config, int width, int height)
{
    for (auto it = g_cache.begin(); it != g_cache.end();) {
        if (it->second.expired()) {
            it = g_cache.erase(it);
            continue;
        }
        if (it->first.config == config && it->first.width == width && it->first.height == height) {
            if (auto held = it->second.lock())
                return held;
        }
        ++it;
    }
    return nullptr;
}

} // namespace

std::shared_ptr<const Specimen> Specimen::find(const SpecimenConfig &config, int width, int height)
{
    std::lock_guard<std::mutex> lock(g_cacheMutex);
    return findLocked(config, width, height);
}

std::shared_ptr<const Specimen> Specimen::share(std::shared_ptr<const Specimen> specimen)
{
    std::lock_guard<std::mutex> lock(g_cacheMutex);
    if (auto held = findLocked(specimen->config(), specimen->width(), specimen->height()))
        return held;
    g_cache.push_back({CacheKey{specimen->config(), specimen->width(), specimen->height()}, specimen});
    return specimen;
}

std::shared_ptr<const Specimen> Specimen::get(const SpecimenConfig &config, int width, int height)
{
    if (auto held = find(config, width, height))
        return held;
    // Built outside the lock: a large specimen takes seconds, and other sizes must not wait.
    return share(std::make_shared<const Specimen>(config, width, height));
}

} // namespace virtualscope
