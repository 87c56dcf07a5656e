// A shared formula's tokens rewritten for one cell, then decoded.
// Input: flags (1: bit 0 = BIFF8), column (4), row (4), then the tokens.

#include "formula/DecodeFormula.h"
#include "model/Exception.h"

#include <cstring>
#include <memory>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 9)
        return 0;
    const bool BIFF8 = Data[0] & 1;
    int32_t Col;
    int32_t Row;
    std::memcpy(&Col, Data + 1, 4);
    std::memcpy(&Row, Data + 5, 4);
    Data += 9;
    Size -= 9;

    auto Tokens = std::make_unique<uint8_t[]>(Size ? Size : 1);
    std::memcpy(Tokens.get(), Data, Size);
    try {
        ConvertSharedFormula(BIFF8, Tokens.get(), static_cast<int>(Size), Col, Row);
    } catch (const Exception&) {
    }
    try {
        DecodeFormulaTokens(BIFF8 ? xvExcel97 : xvExcel50, Tokens.get(), static_cast<int>(Size), 0, 0, {}, nullptr, 0);
    } catch (const Exception&) {
    }
    return 0;
}
