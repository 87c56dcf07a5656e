// Formula token bytes straight from a file: decode them for every version,
// with and without a constant-array area after them.
// Input: version selector (1), flags (1: bit 0 = constant-array area),
// token length (1), column (1), row (2), then the tokens and the area.

#include "formula/DecodeFormula.h"
#include "model/Exception.h"

#include <algorithm>
#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 6)
        return 0;
    const auto Version = static_cast<TExcelVersion>(xvExcel21 + Data[0] % 5);
    const bool WithArea = Data[1] & 1;
    const int Col = Data[3] - 8;
    const int Row = Data[4] | (Data[5] << 8);
    const size_t WantedLen = Data[2];
    Data += 6;
    Size -= 6;
    const size_t TokenLen = std::min(WantedLen, Size);

    // Exactly sized blocks, so an over-read of either is caught.
    auto Tokens = std::make_unique<uint8_t[]>(TokenLen ? TokenLen : 1);
    std::memcpy(Tokens.get(), Data, TokenLen);
    const size_t AreaLen = WithArea ? Size - TokenLen : 0;
    auto Area = std::make_unique<uint8_t[]>(AreaLen ? AreaLen : 1);
    std::memcpy(Area.get(), Data + TokenLen, AreaLen);

    const TFormulaNameLookup Lookup = [](uint8_t Kind, int Index, int NameIndex, std::string& Text) {
        Text = std::to_string(Kind) + ":" + std::to_string(Index) + ":" + std::to_string(NameIndex);
    };
    try {
        DecodeFormulaTokens(Version, Tokens.get(), static_cast<int>(TokenLen), Col, Row, Lookup,
                            WithArea ? Area.get() : nullptr, static_cast<int>(AreaLen));
        DecodeFormulaTokens(Version, Tokens.get(), static_cast<int>(TokenLen), Row, Col, {}, nullptr, 0);
    } catch (const Exception&) {
    }
    return 0;
}
