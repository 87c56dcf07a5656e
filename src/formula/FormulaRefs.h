#pragma once
// Cell address fields of reference tokens, shared by the decoder and the
// shared-formula conversion.

#include "FormulaTokens.h"

#include "model/XLSUtils.h"

#include <cstdint>
#include <string>

struct TCellAddr {
    int Row;
    int Col;
    bool RowRelative;
    bool ColRelative;
};

// A stored address. BIFF8: RowField is the row (0..65535), ColField holds the
// column in bits 0-13 and the flags. Earlier: RowField holds the row in bits
// 0-13 and the flags, ColField is the column byte.
inline TCellAddr PlainAddr(bool BIFF8, uint16_t RowField, uint16_t ColField)
{
    if (BIFF8)
        return {RowField, ColField & RefIndexMask, (ColField & RefRowRelative) != 0,
                (ColField & RefColRelative) != 0};
    return {RowField & RefIndexMask, ColField & 0xFF, (RowField & RefRowRelative) != 0,
            (RowField & RefColRelative) != 0};
}

// A tRefN/tAreaN address resolved against the cell (BaseCol, BaseRow). The
// relative parts are signed offsets (BIFF8: row 16 bits, column bits 0-7;
// earlier: row 14 bits, column byte); a result outside the grid wraps round
// it, as the offsets are meant modulo the grid size.
inline TCellAddr RelativeAddr(bool BIFF8, uint16_t RowField, uint16_t ColField, int BaseCol, int BaseRow)
{
    const uint16_t Flags = BIFF8 ? ColField : RowField;
    const bool RowRel = (Flags & RefRowRelative) != 0;
    const bool ColRel = (Flags & RefColRelative) != 0;
    const uint32_t ColBits = ColField & 0xFF;
    uint32_t Col = ColBits;
    if (ColRel)
        Col = (static_cast<uint32_t>(BaseCol) + static_cast<uint32_t>(static_cast<int8_t>(ColBits))) & 0xFF;
    uint32_t Row;
    if (BIFF8) {
        Row = RowField;
        if (RowRel)
            Row = (static_cast<uint32_t>(BaseRow) + static_cast<uint32_t>(static_cast<int16_t>(RowField))) & 0xFFFF;
    } else {
        const uint32_t RowBits = RowField & RefIndexMask;
        Row = RowBits;
        if (RowRel) {
            const int32_t Offset = RowBits >= 0x2000 ? static_cast<int32_t>(RowBits) - 0x4000 : static_cast<int32_t>(RowBits);
            Row = (static_cast<uint32_t>(BaseRow) + static_cast<uint32_t>(Offset)) & RefIndexMask;
        }
    }
    return {static_cast<int>(Row), static_cast<int>(Col), RowRel, ColRel};
}

// A1 text of an address: "$" before the letters unless the column is
// relative, before the row number unless the row is relative.
inline void AppendRefText(std::string& Out, const TCellAddr& A)
{
    Out += ColRowToRefText(A.Col, A.Row, !A.ColRelative, !A.RowRelative);
}
