#pragma once
// Small helpers shared by the model, the reader and the formula code.
// Positions inside texts are 1-based, as everywhere in the model.

#include "Cell.h"
#include "TabulonRecs.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Texts of the TCellError ordinals.
extern const std::array<const char*, 8> ErrorTexts;

// The packed cell key: (Row shl 8) + (Col and $FF). Only the low 8 bits of
// Col survive (column 256 lands on column 0); Row is not masked.
constexpr int32_t CellKey(int Col, int Row)
{
    return static_cast<int32_t>((static_cast<uint32_t>(Row) << 8) + (static_cast<uint32_t>(Col) & 0xFF));
}

// 1-based position of the first byte equal to Ch, or -1.
int CharPos(char Ch, std::string_view Text);

// 16-bit rotate-and-xor hash of the shared string table.
int StrHash(const uint8_t* Data, size_t Len);

// A string body whose first byte may be the BIFF8 option byte (bit 0: 16-bit
// characters); Count is the number of characters. A first byte of 0 is an
// option byte in every version. Older versions have no option byte, so a
// first byte other than 0 starts the text. 8-bit text is decoded with the
// workbook's code page (Latin-1 for BIFF8, where 8-bit strings are
// compressed UTF-16). Data holds Size bytes; a string claiming more raises
// an Exception.
std::string ByteStrToString(TExcelVersion Version, const uint8_t* Data, size_t Size, int Count,
                            int Codepage = 1252);

std::string ErrorCodeToText(int Code);
TCellError ErrorCodeToCellError(int Code);

// A1 reference text, "$" before the column letters and the row number where
// absolute: Col 2, Row 9, AbsCol gives $C10.
std::string ColRowToRefText(int Col, int Row, bool AbsCol, bool AbsRow);

// Two-character hexadecimal pairs to bytes; returns the byte count. A
// trailing odd character is ignored.
int HexToBytes(std::string_view Text, std::vector<uint8_t>& Buf);

// Appends a copy of the 4 bytes at Data; returns its index.
int AddWordPair(std::vector<std::array<uint8_t, 4>>& List, const uint8_t* Data);
