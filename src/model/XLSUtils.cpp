#include "XLSUtils.h"

#include "Exception.h"
#include "TextCodec.h"

#include <cstring>

const std::array<const char*, 8> ErrorTexts = {
    "[int] No error value", "#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A",
};

namespace {
// BIFF error codes in TCellError order, from ceNull on.
constexpr uint8_t ErrorCodes[] = {0x00, 0x07, 0x0F, 0x17, 0x1D, 0x24, 0x2A};
} // namespace

int CharPos(char Ch, std::string_view Text)
{
    const size_t Pos = Text.find(Ch);
    return Pos == std::string_view::npos ? -1 : static_cast<int>(Pos) + 1;
}

int StrHash(const uint8_t* Data, size_t Len)
{
    unsigned H = 0;
    for (size_t I = 0; I < Len; ++I) {
        H = ((H << 5) | (H >> 11)) & 0xFFFF;
        H ^= Data[I];
    }
    return static_cast<int>(H);
}

std::string ByteStrToString(TExcelVersion Version, const uint8_t* Data, size_t Size, int Count, int Codepage)
{
    if (Count <= 0)
        return std::string();
    const auto N = static_cast<size_t>(Count);
    auto Need = [Size](size_t Bytes) {
        if (Bytes > Size)
            throw Exception(StrFmt("String needs %zu bytes, only %zu are left", Bytes, Size));
    };
    if (Size > 0 && Data[0] == 0) {
        Need(1 + N);
        return Version >= xvExcel97 ? Latin1ToUtf8(Data + 1, N) : CodepageToUtf8(Codepage, Data + 1, N);
    }
    if (Version >= xvExcel97) {
        Need(1 + 2 * N);
        return Utf16LeToUtf8(Data + 1, 2 * N);
    }
    Need(N);
    return CodepageToUtf8(Codepage, Data, N);
}

std::string ErrorCodeToText(int Code)
{
    const TCellError E = ErrorCodeToCellError(Code);
    return E == ceNone ? "#???" : ErrorTexts[E];
}

TCellError ErrorCodeToCellError(int Code)
{
    for (size_t I = 0; I < std::size(ErrorCodes); ++I)
        if (Code == ErrorCodes[I])
            return static_cast<TCellError>(I + 1);
    return ceNone;
}

std::string ColRowToRefText(int Col, int Row, bool AbsCol, bool AbsRow)
{
    std::string Text;
    if (AbsCol)
        Text += '$';
    // Letters as in bijective base 26 (A..Z, AA..ZZ, AAA..): the same as the
    // one- and two-letter rule up to column 701 (ZZ), and still letters past it.
    char Letters[8];
    int N = 0;
    for (uint32_t C = static_cast<uint32_t>(Col) + 1; C > 0 && N < 8; C = (C - 1) / 26)
        Letters[N++] = static_cast<char>('A' + (C - 1) % 26);
    while (N > 0)
        Text += Letters[--N];
    if (AbsRow)
        Text += '$';
    Text += std::to_string(static_cast<int64_t>(Row) + 1);
    return Text;
}

int HexToBytes(std::string_view Text, std::vector<uint8_t>& Buf)
{
    // Digits have their value; any other character counts as code - 65 + 10,
    // which is right for "A" to "F". Lower-case letters are taken as their
    // upper-case forms.
    auto Value = [](char Ch) -> unsigned {
        const auto C = static_cast<unsigned char>(Ch);
        if (C >= '0' && C <= '9')
            return C - '0';
        if (C >= 'a' && C <= 'f')
            return C - 'a' + 10;
        return C - 65u + 10u;
    };
    const size_t N = Text.size() / 2;
    Buf.resize(N);
    for (size_t I = 0; I < N; ++I)
        Buf[I] = static_cast<uint8_t>(Value(Text[2 * I]) * 16 + Value(Text[2 * I + 1]));
    return static_cast<int>(N);
}

int AddWordPair(std::vector<std::array<uint8_t, 4>>& List, const uint8_t* Data)
{
    std::array<uint8_t, 4> Pair;
    std::memcpy(Pair.data(), Data, 4);
    List.push_back(Pair);
    return static_cast<int>(List.size()) - 1;
}
