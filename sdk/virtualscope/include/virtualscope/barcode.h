// Encoders for the codes printed on the virtual slide label: QR (byte mode, error
// correction level M, versions 1 to 10) and Code 128 (code set B).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace virtualscope {

// A QR symbol as a square of modules; empty (size 0) when the text does not fit version 10.
struct QrCode
{
    int version = 0;
    int mask = 0;
    int size = 0;                 // modules per side, 4 * version + 17
    std::vector<uint8_t> modules; // size * size, row-major, 1 = dark

    bool dark(int x, int y) const { return modules[static_cast<size_t>(y) * size + x] != 0; }
};

// Encodes bytes in byte mode at level M, choosing the smallest version that holds them.
QrCode encodeQr(const std::string &text);

namespace qrdetail {
// Number of data and error-correction codewords of a version at level M (1..10).
struct BlockLayout
{
    int ecPerBlock;
    int blocks1, data1; // first group: block count, data codewords per block
    int blocks2, data2; // second group (may be empty)
};
BlockLayout blockLayout(int version);
// Reed-Solomon remainder of data over GF(256) (polynomial 0x11d), ecLength bytes.
std::vector<uint8_t> reedSolomonRemainder(const std::vector<uint8_t> &data, int ecLength);
// 15-bit format word (level M, mask) with its BCH check bits, masked with 0x5412.
uint32_t formatBits(int mask);
// 18-bit version word (versions >= 7) with its BCH check bits.
uint32_t versionBits(int version);
} // namespace qrdetail

// Code 128 in code set B (ASCII 32..126): module widths, bar first, start to stop
// including the check symbol; empty when a character is outside the set.
std::vector<uint8_t> encodeCode128(const std::string &text);

// The symbol values (start, data, check, stop) behind encodeCode128, for checking.
std::vector<int> code128Symbols(const std::string &text);

} // namespace virtualscope
