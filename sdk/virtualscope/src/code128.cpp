// Code 128, code set B: start B, one symbol per character, the modulo-103 check, stop.
#include "virtualscope/barcode.h"

namespace virtualscope {

namespace {

// Bar and space widths of symbol values 0..105, six widths of 11 modules each, bar first.
const char *const kPatterns[106] = {
    "212222", "222122", "222221", "121223", "121322", "131222", "122213", "122312", "132212", "221213", "221312",
    "231212", "112232", "122132", "122231", "113222", "123122", "123221", "223211", "221132", "221231", "213212",
    "223112", "312131", "311222", "321122", "321221", "312212", "322112", "322211", "212123", "212321", "232121",
    "111323", "131123", "131321", "112313", "132113", "132311", "211313", "231113", "231311", "112133", "112331",
    "132131", "113123", "113321", "133121", "313121", "211331", "231131", "213113", "213311", "213131", "311123",
    "311321", "331121", "312113", "312311", "332111", "314111", "221411", "431111", "111224", "111422", "121124",
    "121421", "141122", "141221", "112214", "112412", "122114", "122411", "142112", "142211", "241211", "221114",
    "413111", "241112", "134111", "111242", "121142", "121241", "114212", "124112", "124211", "411212", "421112",
    "421211", "212141", "214121", "412121", "111143", "111341", "131141", "114113", "114311", "411113", "411311",
    "113141", "114131", "311141", "411131", "211412", "211214", "211232"};
// The stop symbol with its closing bar: 13 modules.
const char *const kStop = "2331112";
constexpr int kStartB = 104;
constexpr int kStopValue = 106;

} // namespace

std::vector<int> code128Symbols(const std::string &text)
{
    std::vector<int> symbols{kStartB};
    int checksum = kStartB;
    int position = 1;
    for (unsigned char c : text) {
        if (c < 32 || c > 126)
            return {};
        symbols.push_back(c - 32);
        checksum += (c - 32) * position++;
    }
    symbols.push_back(checksum % 103);
    symbols.push_back(kStopValue);
    return symbols;
}

std::vector<uint8_t> encodeCode128(const std::string &text)
{
    std::vector<uint8_t> widths;
    for (int symbol : code128Symbols(text)) {
        const char *pattern = symbol == kStopValue ? kStop : kPatterns[symbol];
        for (const char *p = pattern; *p; ++p)
            widths.push_back(static_cast<uint8_t>(*p - '0'));
    }
    return widths;
}

} // namespace virtualscope
