#include "DecodeFormula.h"

#include "FormulaRefs.h"
#include "FormulaTokens.h"

#include "model/Exception.h"

namespace {

uint16_t Get16(const uint8_t* P)
{
    return static_cast<uint16_t>(P[0] | (P[1] << 8));
}

void Put16(uint8_t* P, uint32_t V)
{
    P[0] = static_cast<uint8_t>(V);
    P[1] = static_cast<uint8_t>(V >> 8);
}

// Writes the resolved address back into the fields it came from; the flag
// bits stay as stored.
void StoreAddr(bool BIFF8, uint8_t* RowP, uint8_t* ColP, const TCellAddr& A)
{
    if (BIFF8) {
        Put16(RowP, static_cast<uint32_t>(A.Row));
        Put16(ColP, (Get16(ColP) & (RefColRelative | RefRowRelative)) | static_cast<uint32_t>(A.Col));
    } else {
        Put16(RowP, (Get16(RowP) & (RefColRelative | RefRowRelative)) | static_cast<uint32_t>(A.Row));
        *ColP = static_cast<uint8_t>(A.Col);
    }
}

// Size of the whole token at P (identifier included), with Remaining bytes
// from P on; 0 when the bytes that tell the size are themselves missing.
// Throws for an identifier that cannot be sized.
int TokenSize(bool BIFF8, const uint8_t* P, int Remaining)
{
    const uint8_t Id = P[0];
    const uint8_t Base = TokenBase(Id);
    if (Id >= 0x03 && Id <= 0x16)
        return 1;
    switch (Base) {
    case ptgExp:
    case ptgTbl:
        return 5;
    case ptgStr:
        if (BIFF8) {
            if (Remaining < 3)
                return 0;
            return 3 + ((P[2] & 1) ? 2 * P[1] : P[1]);
        }
        if (Remaining < 2)
            return 0;
        return 2 + P[1];
    case ptgAttr:
        if (Remaining < 4)
            return 0;
        return (P[1] & AttrChoose) ? 6 + 2 * Get16(P + 2) : 4;
    case ptgSheet:
        return 11;
    case ptgEndSheet:
        return 5;
    case ptgErr:
    case ptgBool:
        return 2;
    case ptgInt:
        return 3;
    case ptgNum:
        return 9;
    case ptgArray:
        return 8;
    case ptgFunc:
        return 3;
    case ptgFuncVar:
        return 4;
    case ptgName:
        return BIFF8 ? 5 : 15;
    case ptgRef:
    case ptgRefErr:
    case ptgRefN:
        return BIFF8 ? 5 : 4;
    case ptgArea:
    case ptgAreaErr:
    case ptgAreaN:
        return BIFF8 ? 9 : 7;
    case ptgMemArea:
    case ptgMemErr:
    case ptgMemNoMem:
        return 7; // the sub-expression follows and is walked as tokens
    case ptgMemFunc:
    case ptgMemAreaN:
    case ptgMemNoMemN:
        if (Remaining < 3)
            return 0;
        return 3 + Get16(P + 1);
    case ptgNameX:
        return BIFF8 ? 7 : 25;
    case ptgRef3d:
    case ptgRefErr3d:
        return BIFF8 ? 7 : 18;
    case ptgArea3d:
    case ptgAreaErr3d:
        return BIFF8 ? 11 : 21;
    default:
        // The value and array classes of 0x38 are sized; 0x38 itself is not.
        if (Id == 0x58 || Id == 0x78)
            return 3;
        throw Exception(StrFmt("Unknown ptg[%.2X] in Shared Formula", Id));
    }
}

} // namespace

void ConvertSharedFormula(bool IsBIFF8, uint8_t* Tokens, int Len, int Col, int Row)
{
    if (!Tokens)
        return;
    int Pos = 0;
    while (Pos < Len) {
        uint8_t* P = Tokens + Pos;
        const int Remaining = Len - Pos;
        const int Size = TokenSize(IsBIFF8, P, Remaining);
        // A token that runs past the formula is left as it is; the decoder
        // shows it as truncated.
        if (Size == 0 || Size > Remaining)
            return;
        const uint8_t Base = TokenBase(P[0]);
        if (Base == ptgRefN) {
            uint8_t* ColP = P + 3;
            StoreAddr(IsBIFF8, P + 1, ColP, RelativeAddr(IsBIFF8, Get16(P + 1), IsBIFF8 ? Get16(ColP) : *ColP, Col, Row));
            P[0] = static_cast<uint8_t>(P[0] - (ptgRefN - ptgRef));
        } else if (Base == ptgAreaN) {
            uint8_t* C1 = P + 5;
            uint8_t* C2 = IsBIFF8 ? P + 7 : P + 6;
            const TCellAddr A1 = RelativeAddr(IsBIFF8, Get16(P + 1), IsBIFF8 ? Get16(C1) : *C1, Col, Row);
            const TCellAddr A2 = RelativeAddr(IsBIFF8, Get16(P + 3), IsBIFF8 ? Get16(C2) : *C2, Col, Row);
            StoreAddr(IsBIFF8, P + 1, C1, A1);
            StoreAddr(IsBIFF8, P + 3, C2, A2);
            P[0] = static_cast<uint8_t>(P[0] - (ptgAreaN - ptgArea));
        }
        Pos += Size;
    }
}
