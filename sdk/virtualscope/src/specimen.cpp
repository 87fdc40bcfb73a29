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

// One box-blur pass along rows (step 3) or columns (step 3 * width) of packed RGB.
void boxPass(const uint8_t *src, uint8_t *dst, int count, int lines, size_t step, size_t lineStep, int radius)
{
    const int window = 2 * radius + 1;
    for (int line = 0; line < lines; ++line)
        for (int c = 0; c < 3; ++c) {
            const uint8_t *s = src + line * lineStep + c;
            uint8_t *d = dst + line * lineStep + c;
            auto at = [&](int i) { return s[static_cast<size_t>(std::min(count - 1, std::max(0, i))) * step]; };
            int sum = 0;
            for (int i = -radius; i <= radius; ++i)
                sum += at(i);
            for (int i = 0; i < count; ++i) {
                d[static_cast<size_t>(i) * step] = static_cast<uint8_t>((sum + window / 2) / window);
                sum += at(i + radius + 1) - at(i - radius);
            }
        }
}

void blur(const std::vector<uint8_t> &src, std::vector<uint8_t> &dst, int width, int height, int radius)
{
    std::vector<uint8_t> tmp(src.size());
    dst.resize(src.size());
    const size_t row = static_cast<size_t>(width) * 3;
    boxPass(src.data(), tmp.data(), width, height, 3, row, radius);
    boxPass(tmp.data(), dst.data(), height, width, row, 3, radius);
    boxPass(dst.data(), tmp.data(), width, height, 3, row, radius);
    boxPass(tmp.data(), dst.data(), height, width, row, 3, radius);
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

std::shared_ptr<const Specimen> Specimen::get(const SpecimenConfig &config, int width, int height)
{
    struct Key
    {
        SpecimenConfig config;
        int width, height;
    };
    static std::mutex mutex;
    static std::vector<std::pair<Key, std::weak_ptr<const Specimen>>> cache;
    std::lock_guard<std::mutex> lock(mutex);
    for (auto it = cache.begin(); it != cache.end();) {
        if (it->second.expired()) {
            it = cache.erase(it);
            continue;
        }
        if (it->first.config == config && it->first.width == width && it->first.height == height) {
            if (auto held = it->second.lock())
                return held;
        }
        ++it;
    }
    auto specimen = std::make_shared<const Specimen>(config, width, height);
    cache.push_back({Key{config, width, height}, specimen});
    return specimen;
}

} // namespace virtualscope
