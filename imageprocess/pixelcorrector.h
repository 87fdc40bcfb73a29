#pragma once

#include <array>
#include <cstdint>
#include <vector>

// The per-byte picture corrections on packed R, G, B rows. Black balance, negative and levels
// each map a byte of one channel to a byte, so they are folded into one 256-entry table per
// channel; flat-field correction also depends on the reference byte, so with it the tables
// grow to 3 x 256 x 256 entries indexed by (channel, reference byte, input byte). Without
// flat-field the per-channel tables are replaced, where SSE2 is available, by the same
// mapping in 16-byte vector arithmetic, checked against every table entry when the settings
// change. Either way the results equal applying the stages one after the other in float
// arithmetic.
class PixelCorrector
{
public:
    struct Settings
    {
        std::array<int, 3> blackBalance{0, 0, 0}; // offsets; only those above 0 act
        bool negative = false;
        bool levels = false;
        std::array<int, 3> lower{0, 0, 0};
        std::array<int, 3> upper{255, 255, 255};

        bool operator==(const Settings &other) const
        {
            return blackBalance == other.blackBalance && negative == other.negative && levels == other.levels &&
                   lower == other.lower && upper == other.upper;
        }
    };

    PixelCorrector();

    // Rebuilds the per-channel tables when the settings differ from the current ones; the
    // flat-field tables follow on the next use.
    void setSettings(const Settings &settings);
    // Channel means of the flat-field reference.
    void setFlatFieldMeans(const std::array<float, 3> &means);

    // Corrects rows of width pixels from src into dst (which may be src). With a reference
    // (rows of the same pixel layout) flat-field correction comes first.
    void apply(const std::uint8_t *src, int srcStride, std::uint8_t *dst, int dstStride, int width, int rows,
               const std::uint8_t *reference = nullptr, int referenceStride = 0);

    // Lets flat-field correction use AVX2 where the processor has it (the default); false keeps
    // it to SSE2 on any processor, so that both vector paths can be checked. Process-wide.
    static void setAvx2Allowed(bool allowed);

    // The single stages, as the tables compute them.
    static std::uint8_t flatField(int in, int reference, float mean);
    static std::uint8_t blackBalance(int in, int offset);
    static std::uint8_t levels(int in, int lower, int upper);

private:
    void buildFlatTables();
    // Finds the vector form of the per-channel tables; false when some byte would differ.
    bool buildVectorForm();
    void applyPointVector(const std::uint8_t *src, std::uint8_t *dst, int rowBytes) const;
    // Flat-field correction of one row in 4-lane float arithmetic, the same operations as
    // flatField(); only with the vector form of the other stages and finite products.
    bool flatVectorUsable() const;
    void applyFlatVector(const std::uint8_t *src, const std::uint8_t *reference, std::uint8_t *dst,
                         int rowBytes) const;

    Settings m_settings;
    std::array<std::array<std::uint8_t, 256>, 3> m_point{};
    std::array<float, 3> m_means{0.f, 0.f, 0.f};
    bool m_pointIsIdentity = true;
    std::vector<std::uint8_t> m_flat; // [channel][reference][input]
    bool m_flatValid = false;

    // The per-channel tables as arithmetic on 16-byte vectors: saturating subtract, exclusive
    // or, then for levels y = min(255, (k * whole + (k << 8) * fraction >> 16 + add) >> 8) with
    // k = min(max(x - lower, 0), cap) and saturating 16-bit sums.
    // Entries repeat the channel order over 48 bytes (three vectors); used only when the
    // form reproduces every table entry exactly.
    bool m_vector = false;
    bool m_vectorLevels = false;
    alignas(16) std::array<std::uint8_t, 48> m_sub{};
    alignas(16) std::array<std::uint8_t, 48> m_xor{};
    alignas(16) std::array<std::uint16_t, 48> m_lower{};
    alignas(16) std::array<std::uint16_t, 48> m_cap{};
    alignas(16) std::array<std::uint16_t, 48> m_whole{};
    alignas(16) std::array<std::uint16_t, 48> m_fraction{};
    alignas(16) std::array<std::uint16_t, 48> m_add{};
    alignas(16) std::array<float, 48> m_meanLanes{}; // the channel means in byte order
};
