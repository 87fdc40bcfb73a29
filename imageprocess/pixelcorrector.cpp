#include "pixelcorrector.h"

#include <QtGlobal>
#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#define LUMORA_PIXELCORRECTOR_SSE2 1
#if defined(__x86_64__) && (defined(__GNUC__) || defined(__clang__))
#include <immintrin.h>
#define LUMORA_PIXELCORRECTOR_AVX2 1
#endif
#endif

namespace {
// The vector form keeps a byte's channel by its position in memory order.
constexpr bool kWordsAreLittleEndianForVectors = Q_BYTE_ORDER == Q_LITTLE_ENDIAN;
} // namespace

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
    m_vector = buildVectorForm();
    m_flatValid = false;
}

namespace {

// The levels step of the vector form for one lane, as the vector code computes it: the
// slope is whole * 256 + fraction / 256 in units of 1/256 output level, k is capped so that
// the whole part cannot overflow 16 bits, and sums saturate at 65535.
inline int levelsStep(int x, int lower, int cap, int whole, int fraction, int add)
{
    const std::uint32_t k = std::uint32_t(std::clamp(x - lower, 0, cap));
    const std::uint32_t sum =
        k * std::uint32_t(whole) * 256 + ((k << 8) * std::uint32_t(fraction) >> 16) + std::uint32_t(add);
    return int(std::min<std::uint32_t>(std::min<std::uint32_t>(sum, 65535) >> 8, 255));
}

struct LevelsForm
{
    int cap = 255;
    int whole = 1;
    int fraction = 0;
    int add = 0;
};

// Finds a form whose levelsStep() equals target(k), the wanted value at x = lower + k, for
// every k in [0, 255 - lower].
bool fitLevels(const std::array<int, 256> &target, int lower, int upper, LevelsForm &form)
{
    const int last = 255 - lower;
    if (upper <= lower) {
        // All zeros (equal bounds) or a step to 255 right above lower.
        form = upper == lower ? LevelsForm{0, 0, 0, 0} : LevelsForm{1, 255, 0, 0};
        return true;
    }
    const int span = upper - lower;
    form.cap = std::min(span, last);
    const std::int64_t centre = (std::int64_t(255) << 16) / span;
    for (int delta = 0; delta <= 4096; ++delta) {
        for (const std::int64_t slope : {centre + delta, centre - delta}) {
            if (slope < 0 || (delta == 0 && slope != centre)) {
                continue;
            }
            const int whole = int(slope >> 16);
            const int fraction = int(slope & 0xFFFF);
            if (std::int64_t(form.cap) * whole > 255) {
                continue;
            }
            std::int64_t low = 0;
            std::int64_t high = 255;
            for (int k = 0; k <= last && low <= high; ++k) {
                const std::int64_t kk = std::min(k, form.cap);
                const std::int64_t base = kk * whole * 256 + ((kk << 8) * fraction >> 16);
                const std::int64_t t = target[std::size_t(k)];
                low = std::max(low, t * 256 - base);
                if (t < 255) {
                    high = std::min(high, t * 256 + 255 - base);
                }
            }
            if (low <= high) {
                form.whole = whole;
                form.fraction = fraction;
                form.add = int(low);
                return true;
            }
        }
    }
    return false;
}

} // namespace

bool PixelCorrector::buildVectorForm()
{
#if defined(LUMORA_PIXELCORRECTOR_SSE2)
    if (!kWordsAreLittleEndianForVectors) {
        return false;
    }
    int sub[3];
    LevelsForm form[3];
    int lower[3] = {0, 0, 0};
    const bool levelsOn = m_settings.levels;
    for (int c = 0; c < 3; ++c) {
        sub[c] = std::clamp(m_settings.blackBalance[c], 0, 255);
        if (levelsOn) {
            lower[c] = m_settings.lower[c];
            if (lower[c] < 0 || lower[c] > 255) {
                return false;
            }
            std::array<int, 256> target{};
            for (int x = lower[c]; x < 256; ++x) {
                target[std::size_t(x - lower[c])] = levels(x, m_settings.lower[c], m_settings.upper[c]);
            }
            if (!fitLevels(target, lower[c], m_settings.upper[c], form[c])) {
                return false;
            }
        }
        // Every table entry must come out of the vector form unchanged.
        for (int in = 0; in < 256; ++in) {
            int value = std::max(in - sub[c], 0);
            if (m_settings.negative) {
                value = 255 - value;
            }
            if (levelsOn) {
                value = levelsStep(value, lower[c], form[c].cap, form[c].whole, form[c].fraction, form[c].add);
            }
            if (value != m_point[std::size_t(c)][std::size_t(in)]) {
                return false;
            }
        }
    }
    for (int i = 0; i < 48; ++i) {
        const int c = i % 3;
        m_sub[std::size_t(i)] = std::uint8_t(sub[c]);
        m_xor[std::size_t(i)] = m_settings.negative ? 0xFF : 0;
        m_lower[std::size_t(i)] = std::uint16_t(lower[c]);
        m_cap[std::size_t(i)] = std::uint16_t(form[c].cap);
        m_whole[std::size_t(i)] = std::uint16_t(form[c].whole * 256);
        m_fraction[std::size_t(i)] = std::uint16_t(form[c].fraction);
        m_add[std::size_t(i)] = std::uint16_t(form[c].add);
    }
    m_vectorLevels = levelsOn;
    return true;
#else
    return false;
#endif
}

void PixelCorrector::applyPointVector(const std::uint8_t *src, std::uint8_t *dst, int rowBytes) const
{
    int i = 0;
#if defined(LUMORA_PIXELCORRECTOR_SSE2)
    __m128i sub[3];
    __m128i flip[3];
    __m128i lower[6];
    __m128i cap[6];
    __m128i whole[6];
    __m128i fraction[6];
    __m128i add[6];
    for (int v = 0; v < 3; ++v) {
        sub[v] = _mm_load_si128(reinterpret_cast<const __m128i *>(m_sub.data() + 16 * v));
        flip[v] = _mm_load_si128(reinterpret_cast<const __m128i *>(m_xor.data() + 16 * v));
    }
    for (int h = 0; h < 6; ++h) {
        lower[h] = _mm_load_si128(reinterpret_cast<const __m128i *>(m_lower.data() + 8 * h));
        cap[h] = _mm_load_si128(reinterpret_cast<const __m128i *>(m_cap.data() + 8 * h));
        whole[h] = _mm_load_si128(reinterpret_cast<const __m128i *>(m_whole.data() + 8 * h));
        fraction[h] = _mm_load_si128(reinterpret_cast<const __m128i *>(m_fraction.data() + 8 * h));
        add[h] = _mm_load_si128(reinterpret_cast<const __m128i *>(m_add.data() + 8 * h));
    }
    const __m128i zero = _mm_setzero_si128();
    const __m128i max = _mm_set1_epi16(255);
    const auto level = [&](__m128i x, int h) {
        // Lanes hold 0..255, so the signed minimum serves.
        const __m128i k = _mm_min_epi16(_mm_subs_epu16(x, lower[h]), cap[h]);
        const __m128i sum = _mm_adds_epu16(
            _mm_adds_epu16(_mm_mullo_epi16(k, whole[h]), _mm_mulhi_epu16(_mm_slli_epi16(k, 8), fraction[h])), add[h]);
        return _mm_min_epi16(_mm_srli_epi16(sum, 8), max);
    };
    const int blocks = rowBytes / 48 * 48;
    if (m_vectorLevels) {
        for (; i < blocks; i += 48) {
            for (int v = 0; v < 3; ++v) {
                __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i + 16 * v));
                x = _mm_xor_si128(_mm_subs_epu8(x, sub[v]), flip[v]);
                const __m128i lo = level(_mm_unpacklo_epi8(x, zero), 2 * v);
                const __m128i hi = level(_mm_unpackhi_epi8(x, zero), 2 * v + 1);
                _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i + 16 * v), _mm_packus_epi16(lo, hi));
            }
        }
    } else {
        for (; i < blocks; i += 48) {
            for (int v = 0; v < 3; ++v) {
                __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i + 16 * v));
                x = _mm_xor_si128(_mm_subs_epu8(x, sub[v]), flip[v]);
                _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i + 16 * v), x);
            }
        }
    }
#endif
    // The bytes left over: i is a multiple of 3, so byte i belongs to channel 0.
    for (; i < rowBytes; ++i) {
        dst[i] = m_point[std::size_t(i % 3)][src[i]];
    }
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

bool PixelCorrector::flatVectorUsable() const
{
#if defined(LUMORA_PIXELCORRECTOR_SSE2)
    // The vector form computes float(in) * mean / float(reference) exactly as flatField() does;
    // it needs products that stay finite, so that only a zero reference byte (masked) gives a
    // quotient that is not finite.
    return kWordsAreLittleEndianForVectors && (m_pointIsIdentity || m_vector) &&
           std::all_of(m_means.begin(), m_means.end(), [](float mean) { return mean >= 0.f && mean <= 1e30f; });
#else
    return false;
#endif
}

#if defined(LUMORA_PIXELCORRECTOR_AVX2)
namespace {

// The SSE2 loop below with eight lanes, for processors that have them; same operations per
// lane, so the same results. Returns the number of bytes done (whole 16-byte groups).
__attribute__((target("avx2"))) int flatFieldAvx2(const std::uint8_t *src, const std::uint8_t *reference,
                                                  std::uint8_t *dst, int rowBytes, const float *meanLanes)
{
    const __m256 max = _mm256_set1_ps(255.f);
    const int blocks = rowBytes / 48 * 48;
    int i = 0;
    for (; i < blocks; i += 48) {
        for (int v = 0; v < 3; ++v) {
            const int at = i + 16 * v;
            __m256i half[2];
            for (int h = 0; h < 2; ++h) {
                const __m256 in = _mm256_cvtepi32_ps(
                    _mm256_cvtepu8_epi32(_mm_loadl_epi64(reinterpret_cast<const __m128i *>(src + at + 8 * h))));
                const __m256 ref = _mm256_cvtepi32_ps(_mm256_cvtepu8_epi32(
                    _mm_loadl_epi64(reinterpret_cast<const __m128i *>(reference + at + 8 * h))));
                const __m256 mean = _mm256_loadu_ps(meanLanes + 16 * v + 8 * h);
                half[h] = _mm256_cvttps_epi32(_mm256_min_ps(_mm256_div_ps(_mm256_mul_ps(in, mean), ref), max));
            }
            const __m256i words = _mm256_permute4x64_epi64(_mm256_packs_epi32(half[0], half[1]), 0xD8);
            const __m128i out =
                _mm_packus_epi16(_mm256_castsi256_si128(words), _mm256_extracti128_si256(words, 1));
            const __m128i ref = _mm_loadu_si128(reinterpret_cast<const __m128i *>(reference + at));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + at),
                             _mm_andnot_si128(_mm_cmpeq_epi8(ref, _mm_setzero_si128()), out));
        }
    }
    return i;
}

const bool kHasAvx2 = __builtin_cpu_supports("avx2");
std::atomic<bool> g_avx2Allowed{true};

} // namespace
#endif

void PixelCorrector::setAvx2Allowed(bool allowed)
{
#if defined(LUMORA_PIXELCORRECTOR_AVX2)
    g_avx2Allowed = allowed;
#else
    Q_UNUSED(allowed);
#endif
}

void PixelCorrector::applyFlatVector(const std::uint8_t *src, const std::uint8_t *reference, std::uint8_t *dst,
                                     int rowBytes) const
{
    int i = 0;
#if defined(LUMORA_PIXELCORRECTOR_AVX2)
    if (kHasAvx2 && g_avx2Allowed.load(std::memory_order_relaxed)) {
        i = flatFieldAvx2(src, reference, dst, rowBytes, m_meanLanes.data());
    }
#endif
#if defined(LUMORA_PIXELCORRECTOR_SSE2)
    const __m128i zero = _mm_setzero_si128();
    const __m128 max = _mm_set1_ps(255.f);
    const int blocks = rowBytes / 48 * 48;
    for (; i < blocks; i += 48) {
        for (int v = 0; v < 3; ++v) {
            const __m128i in = _mm_loadu_si128(reinterpret_cast<const __m128i *>(src + i + 16 * v));
            const __m128i ref = _mm_loadu_si128(reinterpret_cast<const __m128i *>(reference + i + 16 * v));
            const __m128i in16[2] = {_mm_unpacklo_epi8(in, zero), _mm_unpackhi_epi8(in, zero)};
            const __m128i ref16[2] = {_mm_unpacklo_epi8(ref, zero), _mm_unpackhi_epi8(ref, zero)};
            __m128i quarter[4];
            for (int q = 0; q < 4; ++q) {
                const __m128i in32 = (q & 1) ? _mm_unpackhi_epi16(in16[q >> 1], zero)
                                             : _mm_unpacklo_epi16(in16[q >> 1], zero);
                const __m128i ref32 = (q & 1) ? _mm_unpackhi_epi16(ref16[q >> 1], zero)
                                              : _mm_unpacklo_epi16(ref16[q >> 1], zero);
                const __m128 mean = _mm_load_ps(m_meanLanes.data() + 16 * v + 4 * q);
                // Division by a zero reference gives inf or NaN; min() turns both into 255
                // and the mask below into 0.
                const __m128 quotient =
                    _mm_div_ps(_mm_mul_ps(_mm_cvtepi32_ps(in32), mean), _mm_cvtepi32_ps(ref32));
                quarter[q] = _mm_cvttps_epi32(_mm_min_ps(quotient, max));
            }
            const __m128i out = _mm_packus_epi16(_mm_packs_epi32(quarter[0], quarter[1]),
                                                 _mm_packs_epi32(quarter[2], quarter[3]));
            _mm_storeu_si128(reinterpret_cast<__m128i *>(dst + i + 16 * v),
                             _mm_andnot_si128(_mm_cmpeq_epi8(ref, zero), out));
        }
    }
#endif
    for (; i < rowBytes; ++i) {
        dst[i] = flatField(src[i], reference[i], m_means[std::size_t(i % 3)]);
    }
}

void PixelCorrector::apply(const std::uint8_t *src, int srcStride, std::uint8_t *dst, int dstStride, int width,
                           int rows, const std::uint8_t *reference, int referenceStride)
{
    // Blocks of eight pixels (three words), then the pixels left over one by one.
    const int blockPixels = kWordsAreLittleEndian ? width / 8 * 8 : 0;
    if (reference && flatVectorUsable()) {
        // Row by row: the flat-field quotients into dst, then the other stages on dst while
        // the row is still in the cache.
        for (int i = 0; i < 48; ++i) {
            m_meanLanes[std::size_t(i)] = m_means[std::size_t(i % 3)];
        }
        for (int y = 0; y < rows; ++y) {
            std::uint8_t *d = dst + std::ptrdiff_t(y) * dstStride;
            applyFlatVector(src + std::ptrdiff_t(y) * srcStride, reference + std::ptrdiff_t(y) * referenceStride, d,
                            3 * width);
            if (!m_pointIsIdentity) {
                applyPointVector(d, d, 3 * width);
            }
        }
        return;
    }
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
    if (m_vector) {
        for (int y = 0; y < rows; ++y) {
            applyPointVector(src + std::ptrdiff_t(y) * srcStride, dst + std::ptrdiff_t(y) * dstStride, 3 * width);
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
