// QR encoder: byte mode, level M, versions 1..10. Small on purpose: one segment, the
// standard block layout, Reed-Solomon over GF(256), and the mask with the lowest penalty.
#include "virtualscope/barcode.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdlib>

namespace virtualscope {
namespace qrdetail {

BlockLayout blockLayout(int version)
{
    static const BlockLayout kLayouts[10] = {
        {10, 1, 16, 0, 0}, {16, 1, 28, 0, 0}, {26, 1, 44, 0, 0},  {18, 2, 32, 0, 0},  {24, 2, 43, 0, 0},
        {16, 4, 27, 0, 0}, {18, 4, 31, 0, 0}, {22, 2, 38, 2, 39}, {22, 3, 36, 2, 37}, {26, 4, 43, 1, 44}};
    return kLayouts[version - 1];
}

namespace {

uint8_t gfMultiply(uint8_t a, uint8_t b)
{
    int result = 0;
    for (int i = 7; i >= 0; --i) {
        result = (result << 1) ^ ((result >> 7) * 0x11d);
        result ^= ((b >> i) & 1) * a;
    }
    return static_cast<uint8_t>(result);
}

} // namespace

std::vector<uint8_t> reedSolomonRemainder(const std::vector<uint8_t> &data, int ecLength)
{
    // Generator polynomial (x - a^0)(x - a^1)...(x - a^(n-1)), leading coefficient dropped.
    std::vector<uint8_t> generator(ecLength, 0);
    generator[ecLength - 1] = 1;
    uint8_t root = 1;
    for (int i = 0; i < ecLength; ++i) {
        for (int j = 0; j < ecLength; ++j) {
            generator[j] = gfMultiply(generator[j], root);
            if (j + 1 < ecLength)
                generator[j] ^= generator[j + 1];
        }
        root = gfMultiply(root, 0x02);
    }
    std::vector<uint8_t> remainder(ecLength, 0);
    for (uint8_t byte : data) {
        const uint8_t factor = byte ^ remainder[0];
        remainder.erase(remainder.begin());
        remainder.push_back(0);
        for (int j = 0; j < ecLength; ++j)
            remainder[j] ^= gfMultiply(generator[j], factor);
    }
    return remainder;
}

uint32_t formatBits(int mask)
{
    const uint32_t data = (0u << 3) | static_cast<uint32_t>(mask); // level M has the bits 00
    uint32_t rem = data;
    for (int i = 0; i < 10; ++i)
        rem = (rem << 1) ^ ((rem >> 9) * 0x537);
    return ((data << 10) | rem) ^ 0x5412;
}

uint32_t versionBits(int version)
{
    uint32_t rem = static_cast<uint32_t>(version);
    for (int i = 0; i < 12; ++i)
        rem = (rem << 1) ^ ((rem >> 11) * 0x1f25);
    return (static_cast<uint32_t>(version) << 12) | rem;
}

} // namespace qrdetail

namespace {

using qrdetail::BlockLayout;

class QrBuilder
{
public:
    explicit QrBuilder(int version)
        : m_version(version), m_size(4 * version + 17), m_modules(m_size * m_size, 0), m_function(m_size * m_size, 0)
    {
        drawFunctionPatterns();
    }

    void set(int x, int y, bool dark, bool function = true)
    {
        m_modules[y * m_size + x] = dark;
        if (function)
            m_function[y * m_size + x] = 1;
    }

    void drawFunctionPatterns()
    {
        for (int i = 0; i < m_size; ++i) {
            set(6, i, i % 2 == 0);
            set(i, 6, i % 2 == 0);
        }
        drawFinder(3, 3);
        drawFinder(m_size - 4, 3);
        drawFinder(3, m_size - 4);
        const std::vector<int> positions = alignmentPositions();
        const int count = static_cast<int>(positions.size());
        for (int i = 0; i < count; ++i)
            for (int j = 0; j < count; ++j)
                if (!((i == 0 && j == 0) || (i == 0 && j == count - 1) || (i == count - 1 && j == 0)))
                    drawAlignment(positions[i], positions[j]);
        drawFormat(0); // reserves the format areas; rewritten once the mask is chosen
        if (m_version >= 7) {
            const uint32_t bits = qrdetail::versionBits(m_version);
            for (int i = 0; i < 18; ++i) {
                const bool dark = (bits >> i) & 1;
                const int a = m_size - 11 + i % 3, b = i / 3;
                set(a, b, dark);
                set(b, a, dark);
            }
        }
    }

    void drawFinder(int cx, int cy)
    {
        for (int dy = -4; dy <= 4; ++dy)
            for (int dx = -4; dx <= 4; ++dx) {
                const int x = cx + dx, y = cy + dy;
                if (x < 0 || y < 0 || x >= m_size || y >= m_size)
                    continue;
                const int dist = std::max(std::abs(dx), std::abs(dy));
                set(x, y, dist != 2 && dist != 4);
            }
    }

    void drawAlignment(int cx, int cy)
    {
        for (int dy = -2; dy <= 2; ++dy)
            for (int dx = -2; dx <= 2; ++dx)
                set(cx + dx, cy + dy, std::max(std::abs(dx), std::abs(dy)) != 1);
    }

    std::vector<int> alignmentPositions() const
    {
        static const std::array<std::vector<int>, 10> kPositions = {
            {{}, {6, 18}, {6, 22}, {6, 26}, {6, 30}, {6, 34}, {6, 22, 38}, {6, 24, 42}, {6, 26, 46}, {6, 28, 50}}};
        return kPositions[m_version - 1];
    }

    void drawFormat(int mask)
    {
        const uint32_t bits = qrdetail::formatBits(mask);
        auto bit = [bits](int i) { return ((bits >> i) & 1) != 0; };
        for (int i = 0; i <= 5; ++i)
            set(8, i, bit(i));
        set(8, 7, bit(6));
        set(8, 8, bit(7));
        set(7, 8, bit(8));
        for (int i = 9; i < 15; ++i)
            set(14 - i, 8, bit(i));
        for (int i = 0; i < 8; ++i)
            set(m_size - 1 - i, 8, bit(i));
        for (int i = 8; i < 15; ++i)
            set(8, m_size - 15 + i, bit(i));
        set(8, m_size - 8, true); // the dark module
    }

    void placeCodewords(const std::vector<uint8_t> &codewords)
    {
        size_t i = 0;
        const size_t bitCount = codewords.size() * 8;
        for (int right = m_size - 1; right >= 1; right -= 2) {
            if (right == 6)
                right = 5;
            for (int vert = 0; vert < m_size; ++vert)
                for (int j = 0; j < 2; ++j) {
                    const int x = right - j;
                    const bool upward = ((right + 1) & 2) == 0;
                    const int y = upward ? m_size - 1 - vert : vert;
                    if (!m_function[y * m_size + x] && i < bitCount) {
                        m_modules[y * m_size + x] = (codewords[i >> 3] >> (7 - (i & 7))) & 1;
                        ++i;
                    }
                }
        }
    }

    static bool maskHit(int mask, int x, int y)
    {
        switch (mask) {
        case 0:
            return (x + y) % 2 == 0;
        case 1:
            return y % 2 == 0;
        case 2:
            return x % 3 == 0;
        case 3:
            return (x + y) % 3 == 0;
        case 4:
            return (x / 3 + y / 2) % 2 == 0;
        case 5:
            return x * y % 2 + x * y % 3 == 0;
        case 6:
            return (x * y % 2 + x * y % 3) % 2 == 0;
        default:
            return ((x + y) % 2 + x * y % 3) % 2 == 0;
        }
    }

    void applyMask(int mask)
    {
        for (int y = 0; y < m_size; ++y)
            for (int x = 0; x < m_size; ++x)
                if (!m_function[y * m_size + x] && maskHit(mask, x, y))
                    m_modules[y * m_size + x] ^= 1;
    }

    // Penalty rules of the symbology: runs, 2x2 blocks, finder-like patterns, balance.
    long penalty() const
    {
        long score = 0;
        auto at = [this](int x, int y) { return m_modules[y * m_size + x]; };
        for (int pass = 0; pass < 2; ++pass)
            for (int a = 0; a < m_size; ++a) {
                int run = 0;
                uint32_t history = 0;
                for (int b = 0; b < m_size; ++b) {
                    const uint8_t v = pass == 0 ? at(b, a) : at(a, b);
                    run = (b > 0 && v == (pass == 0 ? at(b - 1, a) : at(a, b - 1))) ? run + 1 : 1;
                    if (run == 5)
                        score += 3;
                    else if (run > 5)
                        score += 1;
                    history = ((history << 1) | v) & 0x7ff;
                    if (b >= 10 && (history == 0x05d || history == 0x5d0))
                        score += 40;
                }
            }
        long dark = 0;
        for (int y = 0; y < m_size; ++y)
            for (int x = 0; x < m_size; ++x) {
                dark += at(x, y);
                if (x + 1 < m_size && y + 1 < m_size && at(x, y) == at(x + 1, y) && at(x, y) == at(x, y + 1) &&
                    at(x, y) == at(x + 1, y + 1))
                    score += 3;
            }
        const long total = static_cast<long>(m_size) * m_size;
        score += (std::abs(dark * 20 - total * 10) + total - 1) / total * 10;
        return score;
    }

    QrCode finish(const std::vector<uint8_t> &codewords)
    {
        placeCodewords(codewords);
        int bestMask = 0;
        long bestPenalty = LONG_MAX;
        for (int mask = 0; mask < 8; ++mask) {
            applyMask(mask);
            drawFormat(mask);
            const long p = penalty();
            if (p < bestPenalty) {
                bestPenalty = p;
                bestMask = mask;
            }
            applyMask(mask); // undo
        }
        applyMask(bestMask);
        drawFormat(bestMask);
        QrCode code;
        code.version = m_version;
        code.mask = bestMask;
        code.size = m_size;
        code.modules = m_modules;
        return code;
    }

private:
    int m_version;
    int m_size;
    std::vector<uint8_t> m_modules;
    std::vector<uint8_t> m_function;
};

int dataCapacity(const BlockLayout &l)
{
    return l.blocks1 * l.data1 + l.blocks2 * l.data2;
}

} // namespace

QrCode encodeQr(const std::string &text)
{
    int version = 1;
    for (; version <= 10; ++version) {
        const int countBits = version < 10 ? 8 : 16;
        const int needBits = 4 + countBits + 8 * static_cast<int>(text.size());
        if (needBits <= dataCapacity(qrdetail::blockLayout(version)) * 8)
            break;
    }
    if (version > 10)
        return {};
    const BlockLayout layout = qrdetail::blockLayout(version);
    const int capacity = dataCapacity(layout);

    std::vector<uint8_t> bits;
    auto append = [&bits](uint32_t value, int count) {
        for (int i = count - 1; i >= 0; --i)
            bits.push_back((value >> i) & 1);
    };
    append(0x4, 4); // byte mode
    append(static_cast<uint32_t>(text.size()), version < 10 ? 8 : 16);
    for (unsigned char c : text)
        append(c, 8);
    append(0, std::min(4, capacity * 8 - static_cast<int>(bits.size())));
    while (bits.size() % 8)
        bits.push_back(0);
    std::vector<uint8_t> data;
    for (size_t i = 0; i < bits.size(); i += 8) {
        uint8_t byte = 0;
        for (int j = 0; j < 8; ++j)
            byte = static_cast<uint8_t>((byte << 1) | bits[i + j]);
        data.push_back(byte);
    }
    for (uint8_t pad = 0xec; static_cast<int>(data.size()) < capacity; pad ^= 0xec ^ 0x11)
        data.push_back(pad);

    // Split into blocks, add their error correction, interleave.
    std::vector<std::vector<uint8_t>> dataBlocks, ecBlocks;
    size_t offset = 0;
    for (int b = 0; b < layout.blocks1 + layout.blocks2; ++b) {
        const int length = b < layout.blocks1 ? layout.data1 : layout.data2;
        dataBlocks.emplace_back(data.begin() + offset, data.begin() + offset + length);
        offset += length;
        ecBlocks.push_back(qrdetail::reedSolomonRemainder(dataBlocks.back(), layout.ecPerBlock));
    }
    std::vector<uint8_t> codewords;
    const int longest = std::max(layout.data1, layout.data2);
    for (int i = 0; i < longest; ++i)
        for (const auto &block : dataBlocks)
            if (i < static_cast<int>(block.size()))
                codewords.push_back(block[i]);
    for (int i = 0; i < layout.ecPerBlock; ++i)
        for (const auto &block : ecBlocks)
            codewords.push_back(block[i]);

    QrBuilder builder(version);
    return builder.finish(codewords);
}

} // namespace virtualscope
