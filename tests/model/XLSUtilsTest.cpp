#include "model/Exception.h"
#include "model/XLSUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<uint8_t> Bytes(std::string_view Text)
{
    return {Text.begin(), Text.end()};
}

TEST(XLSUtils, CellKeyPacksAndMasksTheColumn)
{
    struct Case {
        int Col, Row, Key;
    };
    const Case Cases[] = {
        {3, 2, 515}, {256, 0, 0}, {256 + 7, 4, 4 * 256 + 7}, {255, 65535, 0xFFFFFF}, {-1, 1, 256 + 255},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(CellKey(C.Col, C.Row), C.Key) << C.Col << "," << C.Row;
        EXPECT_EQ(CellKey(C.Col, C.Row) >> 8, C.Row);
        EXPECT_EQ(CellKey(C.Col, C.Row) & 0xFF, C.Col & 0xFF);
    }
    // Rows past the grid are not masked: they stay visible to the storage's check.
    EXPECT_EQ(CellKey(0, 65536), 0x1000000);
}

TEST(XLSUtils, CharPosIsOneBasedAndMinusOneWhenAbsent)
{
    EXPECT_EQ(CharPos(':', "1:5"), 2);
    EXPECT_EQ(CharPos(':', "15"), -1);
    EXPECT_EQ(CharPos(':', ""), -1);
    EXPECT_EQ(CharPos('a', "abca"), 1);
    EXPECT_EQ(CharPos('\xE9', "caf\xE9"), 4);
}

TEST(XLSUtils, StrHashRotatesWithinSixteenBits)
{
    const auto Abc = Bytes("abc");
    EXPECT_EQ(StrHash(Abc.data(), Abc.size()), 0x8822);
    EXPECT_EQ(StrHash(nullptr, 0), 0);
    // Every bit comes round again after 16 rotations; the result never leaves 16 bits.
    const std::vector<uint8_t> Long(1000, 0xFF);
    const int H = StrHash(Long.data(), Long.size());
    EXPECT_GE(H, 0);
    EXPECT_LE(H, 0xFFFF);
    const std::vector<uint8_t> One{0x80};
    const std::vector<uint8_t> Shifted{0x80, 0, 0, 0};
    // 0x80 rotated left by 15 bits within 16 bits is 0x40.
    EXPECT_EQ(StrHash(Shifted.data(), Shifted.size()), ((0x80 << 15) | (0x80 >> 1)) & 0xFFFF);
    EXPECT_EQ(StrHash(One.data(), One.size()), 0x80);
}

TEST(XLSUtils, ErrorCodes)
{
    struct Case {
        int Code;
        TCellError Error;
        const char* Text;
    };
    const Case Cases[] = {
        {0x00, ceNull, "#NULL!"}, {0x07, ceDiv0, "#DIV/0!"}, {0x0F, ceValue, "#VALUE!"}, {0x17, ceRef, "#REF!"},
        {0x1D, ceName, "#NAME?"}, {0x24, ceNum, "#NUM!"},    {0x2A, ceNA, "#N/A"},       {0x2B, ceNone, "#???"},
        {-1, ceNone, "#???"},     {0x107, ceNone, "#???"},
    };
    for (const Case& C : Cases) {
        EXPECT_EQ(ErrorCodeToCellError(C.Code), C.Error) << C.Code;
        EXPECT_EQ(ErrorCodeToText(C.Code), C.Text) << C.Code;
    }
    EXPECT_STREQ(ErrorTexts[0], "[int] No error value");
    EXPECT_STREQ(ErrorTexts[ceNA], "#N/A");
}

TEST(XLSUtils, ColRowToRefText)
{
    struct Case {
        int Col, Row;
        bool AbsCol, AbsRow;
        const char* Text;
    };
    const Case Cases[] = {
        {0, 0, true, true, "$A$1"},   {27, 65535, false, false, "AB65536"}, {2, 9, true, false, "$C10"},
        {25, 0, false, true, "Z$1"},  {26, 0, false, false, "AA1"},         {255, 0, false, false, "IV1"},
        {701, 0, false, false, "ZZ1"}, {702, 0, false, false, "AAA1"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ColRowToRefText(C.Col, C.Row, C.AbsCol, C.AbsRow), C.Text) << C.Col;
}

TEST(XLSUtils, HexToBytes)
{
    std::vector<uint8_t> Buf{1, 2, 3};
    EXPECT_EQ(HexToBytes("0AFF", Buf), 2);
    EXPECT_EQ(Buf, (std::vector<uint8_t>{0x0A, 0xFF}));
    EXPECT_EQ(HexToBytes("", Buf), 0);
    EXPECT_TRUE(Buf.empty());
    EXPECT_EQ(HexToBytes("ABC", Buf), 1); // the odd character is ignored
    EXPECT_EQ(Buf, (std::vector<uint8_t>{0xAB}));
    EXPECT_EQ(HexToBytes("7f", Buf), 1);
    EXPECT_EQ(Buf, (std::vector<uint8_t>{0x7F}));
}

TEST(XLSUtils, ByteStrToString)
{
    struct Case {
        const char* Name;
        TExcelVersion Version;
        std::string Body;
        int Count;
        int Codepage;
        std::string Text;
    };
    using namespace std::string_literals;
    const Case Cases[] = {
        {"BIFF8 compressed is Latin-1", xvExcel97, "\0M\xFCller"s, 6, 1252, "M\xC3\xBCller"},
        {"BIFF8 UTF-16", xvExcel97, "\1\x3A\x04\x30\x04"s, 2, 1252, "\xD0\xBA\xD0\xB0"},
        {"BIFF5 has no option byte", xvExcel50, "ABC"s, 3, 1252, "ABC"},
        {"BIFF5 first byte 0 is an option byte", xvExcel50, "\0ABC"s, 3, 1252, "ABC"},
        {"BIFF5 code page", xvExcel50, "\xC0\xE1"s, 2, 1251, "\xD0\x90\xD0\xB1"},
        {"no characters", xvExcel97, ""s, 0, 1252, ""},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(ByteStrToString(C.Version, reinterpret_cast<const uint8_t*>(C.Body.data()), C.Body.size(), C.Count,
                                  C.Codepage),
                  C.Text)
            << C.Name;
}

TEST(XLSUtils, ByteStrToStringRefusesStringsLongerThanTheirBytes)
{
    const std::string Body("\1A\0B", 4); // 16-bit, three characters claimed, room for 1.5
    try {
        ByteStrToString(xvExcel97, reinterpret_cast<const uint8_t*>(Body.data()), Body.size(), 3);
        FAIL() << "no exception";
    } catch (const Exception& E) {
        EXPECT_STREQ(E.what(), "String needs 7 bytes, only 4 are left");
    }
    EXPECT_THROW(ByteStrToString(xvExcel50, reinterpret_cast<const uint8_t*>(Body.data()), Body.size(), 5), Exception);
}

TEST(XLSUtils, AddWordPairCopiesFourBytes)
{
    std::vector<std::array<uint8_t, 4>> List;
    const uint8_t First[] = {1, 2, 3, 4, 5};
    const uint8_t Second[] = {9, 8, 7, 6};
    EXPECT_EQ(AddWordPair(List, First), 0);
    EXPECT_EQ(AddWordPair(List, Second), 1);
    EXPECT_EQ(List[0], (std::array<uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(List[1], (std::array<uint8_t, 4>{9, 8, 7, 6}));
}

} // namespace
