// The frame number drawn into a corner of a virtual camera's picture, so that whoever receives
// the pictures (a recording, a display) can tell which frames arrived, which were dropped and
// in what order. 24 bits of number and 8 of check, as black and white cells in a block of
// 8 x 4 cells at the top left, each cell large enough to survive video compression.
#pragma once

#include <algorithm>
#include <cstdint>
#include <functional>
#include <optional>

namespace virtualscope {

namespace framestamp {

constexpr int kColumns = 8;
constexpr int kRows = 4;
constexpr uint8_t kDark = 16;
constexpr uint8_t kLight = 235;

// The side of one cell in pixels for a picture this wide.
inline int cellSize(int width)
{
    return std::clamp(width / 64, 4, 16);
}

inline uint32_t withCheck(uint32_t number)
{
    number &= 0xffffffu;
    const uint32_t check = ~((number & 0xff) ^ ((number >> 8) & 0xff) ^ ((number >> 16) & 0xff)) & 0xffu;
    return number | (check << 24);
}

// Whether the cell at (column, row) is light for this frame number.
inline bool cellLight(uint32_t number, int column, int row)
{
    return (withCheck(number) >> (row * kColumns + column)) & 1u;
}

// Draws the stamp into planar YUV 4:2:0 (luma and both chroma planes, grey), or with `packed`
// into 24-bit pixels in plane 0. A picture too small for the block is left as it is.
inline void draw(uint32_t number, int width, int height, uint8_t *const planes[3], const int strides[3], bool packed)
{
    const int cell = cellSize(width);
    if (kColumns * cell > width || kRows * cell > height)
        return;
    for (int y = 0; y < kRows * cell; ++y) {
        for (int x = 0; x < kColumns * cell; ++x) {
            const uint8_t value = cellLight(number, x / cell, y / cell) ? kLight : kDark;
            if (packed) {
                uint8_t *pixel = planes[0] + y * strides[0] + x * 3;
                pixel[0] = pixel[1] = pixel[2] = value;
            } else {
                planes[0][y * strides[0] + x] = value;
                planes[1][(y / 2) * strides[1] + x / 2] = 128;
                planes[2][(y / 2) * strides[2] + x / 2] = 128;
            }
        }
    }
}

// Reads the stamp back from a picture of this width through its luma at (x, y); empty when
// the check does not hold (no stamp, or one too damaged to trust).
inline std::optional<uint32_t> read(int width, const std::function<int(int x, int y)> &luma)
{
    const int cell = cellSize(width);
    uint32_t bits = 0;
    for (int row = 0; row < kRows; ++row)
        for (int column = 0; column < kColumns; ++column)
            if (luma(column * cell + cell / 2, row * cell + cell / 2) > 128)
                bits |= 1u << (row * kColumns + column);
    const uint32_t number = bits & 0xffffffu;
    if (withCheck(number) != bits)
        return std::nullopt;
    return number;
}

} // namespace framestamp

} // namespace virtualscope
