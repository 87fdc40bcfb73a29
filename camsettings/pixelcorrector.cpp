#include "pixelcorrector.h"

#include <QtGlobal>
#include <cmath>
#include <cstring>

PixelCorrector::PixelCorrector()
{
    for (auto &table : m_point) {
        for (int in = 0; in < 256; ++in) {
            table[in] = std::uint8_t(in);
        }
    }
}

std::uint8_t PixelCorrector::flatField(int in, int reference, float mean)
{
    const float quotient = float(in) * mean / float(reference);
    if (!std::isfinite(quotient) || quotient <= 0.f) {
        return 0;
    }
    // Compare before converting: int() of a float beyond the int range is undefined.
    return quotient >= 255.f ? 255 : std::uint8_t(int(quotient));
}

std::uint8_t PixelCorrector::blackBalance(int in, int offset)
{
    if (offset <= 0) {
        return std::uint8_t(in);
    }
    return in > offset ? std::uint8_t(in - offset) : 0;
}

std::uint8_t PixelCorrector::levels(int in, int lower, int upper)
{
    if (lower == upper || in <= lower) {
        return 0;
    }
    if (in >= upper) {
        return 255;
    }
    const float value = float(in - lower) / float(upper - lower) * 255.f;
    if (!(value > 0.f)) {
        return 0;
    }
    return value >= 255.f ? 255 : std::uint8_t(int(value));
}

void PixelCorrector::setSettings(const Settings &settings)
{
    if (settings == m_settings) {
        return;
    }
    m_settings = settings;
    m_pointIsIdentity = true;
    for (int c = 0; c < 3; ++c) {
        for (int in = 0; in < 256; ++in) {
            int value = blackBalance(in, settings.blackBalance[c]);
            if (settings.negative) {
                value = 255 - value;
            }
            if (settings.levels) {
                value = levels(value, settings.lower[c], settings.upper[c]);
            }
            m_point[c][in] = std::uint8_t(value);
            m_pointIsIdentity = m_pointIsIdentity && value == in;
        }
    }
    m_flatValid = false;
}

void PixelCorrector::setFlatFieldMeans(const std::array<float, 3> &means)
{
    if (means != m_means) {
        m_means = means;
        m_flatValid = false;
    }
}

void PixelCorrector::buildFlatTables()
{
    m_flat.resize(std::size_t(3) * 256 * 256);
    for (int c = 0; c < 3; ++c) {
        std::uint8_t *table = m_flat.data() + std::size_t(c) * 65536;
        for (int ref = 0; ref < 256; ++ref) {
            for (int in = 0; in < 256; ++in) {
                table[ref * 256 + in] = m_point[c][flatField(in, ref, m_means[c])];
            }
        }
    }
    m_flatValid = true;
}

namespace {

// Eight bytes mapped by the tables of their channels; the first byte belongs to channel Phase.
// Reads and writes whole words: one load and one store per eight bytes instead of eight.
template<int Phase> inline std::uint64_t mapWord(std::uint64_t word, const std::uint8_t *const tables[3])
{
    std::uint64_t out = 0;
    for (int b = 0; b < 8; ++b) {
        out |= std::uint64_t(tables[(Phase + b) % 3][(word >> (8 * b)) & 0xFF]) << (8 * b);
    }
    return out;
}

template<int Phase>
inline std::uint64_t mapWordWithReference(std::uint64_t word, std::uint64_t reference,
                                          const std::uint8_t *const tables[3])
{
    std::uint64_t out = 0;
    for (int b = 0; b < 8; ++b) {
        const unsigned index = unsigned((reference >> (8 * b)) & 0xFF) << 8 | unsigned((word >> (8 * b)) & 0xFF);
        out |= std::uint64_t(tables[(Phase + b) % 3][index]) << (8 * b);
    }
    return out;
}

inline std::uint64_t loadWord(const std::uint8_t *p)
{
    std::uint64_t word;
    std::memcpy(&word, p, sizeof word);
    return word;
}

inline void storeWord(std::uint8_t *p, std::uint64_t word)
{
    std::memcpy(p, &word, sizeof word);
}

// The word routines read bytes from the low end of a word.
constexpr bool kWordsAreLittleEndian = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;

} // namespace

void PixelCorrector::apply(const std::uint8_t *src, int srcStride, std::uint8_t *dst, int dstStride, int width,
                           int rows, const std::uint8_t *reference, int referenceStride)
{
    // Blocks of eight pixels (three words), then the pixels left over one by one.
    const int blockPixels = kWordsAreLittleEndian ? width / 8 * 8 : 0;
    if (reference) {
        if (!m_flatValid) {
            buildFlatTables();
        }
        const std::uint8_t *const tables[3] = {m_flat.data(), m_flat.data() + 65536, m_flat.data() + 2 * 65536};
        for (int y = 0; y < rows; ++y) {
            const std::uint8_t *s = src + std::ptrdiff_t(y) * srcStride;
            const std::uint8_t *r = reference + std::ptrdiff_t(y) * referenceStride;
            std::uint8_t *d = dst + std::ptrdiff_t(y) * dstStride;
            int x = 0;
            for (; x < blockPixels; x += 8, s += 24, r += 24, d += 24) {
                const std::uint64_t w0 = mapWordWithReference<0>(loadWord(s), loadWord(r), tables);
                const std::uint64_t w1 = mapWordWithReference<2>(loadWord(s + 8), loadWord(r + 8), tables);
                const std::uint64_t w2 = mapWordWithReference<1>(loadWord(s + 16), loadWord(r + 16), tables);
                storeWord(d, w0);
                storeWord(d + 8, w1);
                storeWord(d + 16, w2);
            }
            for (; x < width; ++x, s += 3, r += 3, d += 3) {
                for (int c = 0; c < 3; ++c) {
                    d[c] = tables[c][unsigned(r[c]) << 8 | s[c]];
                }
            }
        }
        return;
    }
    if (m_pointIsIdentity) {
        if (src != dst) {
            for (int y = 0; y < rows; ++y) {
                const std::uint8_t *s = src + std::ptrdiff_t(y) * srcStride;
                std::memcpy(dst + std::ptrdiff_t(y) * dstStride, s, std::size_t(3) * width);
            }
        }
        return;
    }
    const std::uint8_t *const tables[3] = {m_point[0].data(), m_point[1].data(), m_point[2].data()};
    for (int y = 0; y < rows; ++y) {
        const std::uint8_t *s = src + std::ptrdiff_t(y) * srcStride;
        std::uint8_t *d = dst + std::ptrdiff_t(y) * dstStride;
        int x = 0;
        for (; x < blockPixels; x += 8, s += 24, d += 24) {
            const std::uint64_t w0 = mapWord<0>(loadWord(s), tables);
            const std::uint64_t w1 = mapWord<2>(loadWord(s + 8), tables);
            const std::uint64_t w2 = mapWord<1>(loadWord(s + 16), tables);
            storeWord(d, w0);
            storeWord(d + 8, w1);
            storeWord(d + 16, w2);
        }
        for (; x < width; ++x, s += 3, d += 3) {
            for (int c = 0; c < 3; ++c) {
                d[c] = tables[c][s[c]];
            }
        }
    }
}
