#include "FormulaTestUtil.h"

#include "model/Exception.h"

#include <cstring>

namespace {

TBytes Int(int V)
{
    return Bytes({0x1E, V & 0xFF, (V >> 8) & 0xFF});
}

TBytes Dbl(double V)
{
    uint64_t Bits;
    std::memcpy(&Bits, &V, sizeof Bits);
    TBytes Out;
    for (int I = 0; I < 8; ++I)
        Out.push_back(static_cast<uint8_t>(Bits >> (8 * I)));
    return Out;
}

TBytes Num(double V)
{
    return Cat({Bytes({0x1F}), Dbl(V)});
}

// BIFF8 tRef; ColField carries the relative flags in bits 14 and 15.
TBytes Ref8(int Row, int ColField, int Id = 0x24)
{
    return Bytes({Id, Row & 0xFF, Row >> 8, ColField & 0xFF, ColField >> 8});
}

// BIFF2 to BIFF5 tRef; RowField carries the relative flags.
TBytes Ref5(int RowField, int Col, int Id = 0x24)
{
    return Bytes({Id, RowField & 0xFF, RowField >> 8, Col});
}

TBytes Zeros(int N)
{
    return TBytes(static_cast<size_t>(N), 0);
}

struct TCase {
    const char* What;
    TExcelVersion Version;
    TBytes Tokens;
    std::string Expected;
    int Col = 0;
    int Row = 0;
};

void PrintTo(const TCase& C, std::ostream* Os)
{
    *Os << C.What;
}

class DecodeTokens : public ::testing::TestWithParam<TCase> {};

TEST_P(DecodeTokens, GivesText)
{
    const TCase& C = GetParam();
    EXPECT_EQ(Decode(C.Version, C.Tokens, EchoLookup(), {}, C.Col, C.Row), C.Expected) << C.What;
}

const TExcelVersion B8 = xvExcel97;
const TExcelVersion B5 = xvExcel50;

INSTANTIATE_TEST_SUITE_P(Operators, DecodeTokens, ::testing::Values(
    TCase{"add", B8, Cat({Int(5), Int(3), Bytes({0x03})}), "5+3"},
    TCase{"paren then multiply", B8, Cat({Int(5), Int(3), Bytes({0x03, 0x15}), Int(2), Bytes({0x05})}), "(5+3)*2"},
    TCase{"no precedence without paren", B8, Cat({Int(1), Int(2), Int(3), Bytes({0x05, 0x03})}), "1+2*3"},
    TCase{"sub", B8, Cat({Int(1), Int(2), Bytes({0x04})}), "1-2"},
    TCase{"div", B8, Cat({Int(1), Int(2), Bytes({0x06})}), "1/2"},
    TCase{"power", B8, Cat({Int(1), Int(2), Bytes({0x07})}), "1^2"},
    TCase{"concat", B8, Cat({Int(1), Int(2), Bytes({0x08})}), "1&2"},
    TCase{"lt", B8, Cat({Int(1), Int(2), Bytes({0x09})}), "1<2"},
    TCase{"le", B8, Cat({Int(1), Int(2), Bytes({0x0A})}), "1<=2"},
    TCase{"eq", B8, Cat({Int(1), Int(2), Bytes({0x0B})}), "1=2"},
    TCase{"ge", B8, Cat({Int(1), Int(2), Bytes({0x0C})}), "1>=2"},
    TCase{"gt", B8, Cat({Int(1), Int(2), Bytes({0x0D})}), "1>2"},
    TCase{"ne", B8, Cat({Int(1), Int(2), Bytes({0x0E})}), "1<>2"},
    TCase{"union", B8, Cat({Ref8(0, 0xC000), Ref8(0, 0xC001), Bytes({0x10})}), "A1,B1"},
    TCase{"range", B8, Cat({Ref8(0, 0xC000), Ref8(1, 0xC001), Bytes({0x11})}), "A1:B2"},
    TCase{"unary plus leaves the operand", B8, Cat({Int(5), Bytes({0x12})}), "5"},
    TCase{"unary minus", B8, Cat({Int(5), Bytes({0x13})}), "-5"},
    TCase{"percent", B8, Cat({Int(50), Bytes({0x14})}), "50%"},
    TCase{"lone unary minus", B8, Bytes({0x13}), "<Val missing>"},
    TCase{"lone percent", B8, Bytes({0x14}), "<Val missing>"},
    TCase{"lone add", B8, Bytes({0x03}), "<Val missing>"},
    TCase{"add with one operand", B8, Cat({Int(1), Bytes({0x03})}), "<Val missing>"},
    TCase{"operator after a missing value goes on", B8, Cat({Int(1), Bytes({0x03}), Bytes({0x03})}), "1+<Val missing>"}));

INSTANTIATE_TEST_SUITE_P(Constants, DecodeTokens, ::testing::Values(
    TCase{"int", B8, Bytes({0x1E, 0x40, 0x9C}), "40000"},
    TCase{"int max", B8, Bytes({0x1E, 0xFF, 0xFF}), "65535"},
    TCase{"number", B8, Num(1.5), "1.5"},
    TCase{"big number", B8, Num(1e20), "1E20"},
    TCase{"small number", B8, Num(0.00005), "5E-5"},
    TCase{"negative number", B8, Num(-2.25), "-2.25"},
    TCase{"bool true", B8, Bytes({0x1D, 0x01}), "TRUE"},
    TCase{"bool non-zero", B8, Bytes({0x1D, 0x02}), "TRUE"},
    TCase{"bool false", B8, Bytes({0x1D, 0x00}), "FALSE"},
    TCase{"error n/a", B8, Bytes({0x1C, 0x2A}), "#N/A"},
    TCase{"error div", B8, Bytes({0x1C, 0x07}), "#DIV/0!"},
    TCase{"error null", B8, Bytes({0x1C, 0x00}), "#NULL!"},
    TCase{"unknown error code", B8, Bytes({0x1C, 0x2B}), "#???"},
    TCase{"missing argument", B8, Bytes({0x16}), ""},
    TCase{"string 8-bit", B8, Bytes({0x17, 3, 0x00, 'a', 'b', 'c'}), "\"abc\""},
    TCase{"string Latin-1 becomes UTF-8", B8, Bytes({0x17, 2, 0x00, 0xE9, 'x'}), "\"\xC3\xA9x\""},
    TCase{"string 16-bit", B8, Bytes({0x17, 3, 0x01, 0xE9, 0x00, 'A', 0x00, 0xAC, 0x20}), "\"\xC3\xA9" "A\xE2\x82\xAC\""},
    TCase{"string surrogate pair", B8, Bytes({0x17, 2, 0x01, 0x3D, 0xD8, 0x00, 0xDE}), "\"\xF0\x9F\x98\x80\""},
    TCase{"string lone surrogate", B8, Bytes({0x17, 1, 0x01, 0x3D, 0xD8}), "\"\xEF\xBF\xBD\""},
    TCase{"empty string", B8, Bytes({0x17, 0, 0x00}), "\"\""},
    TCase{"quotes inside are kept single", B8, Bytes({0x17, 3, 0x00, 'a', '"', 'b'}), "\"a\"b\""},
    TCase{"BIFF5 string has no flags byte", B5, Bytes({0x17, 2, 'h', 'i'}), "\"hi\""},
    TCase{"BIFF5 string in Windows-1252", B5, Bytes({0x17, 2, 0x80, 0xE9}), "\"\xE2\x82\xAC\xC3\xA9\""},
    TCase{"BIFF2 string starting with a zero byte", xvExcel21, Bytes({0x17, 2, 0x00, 'x'}), std::string("\"\0x\"", 4)}));

INSTANTIATE_TEST_SUITE_P(Control, DecodeTokens, ::testing::Values(
    TCase{"no tokens", B8, {}, "[ERROR]"},
    TCase{"nothing pushed", B8, Bytes({0x12}), "[ERROR]"},
    TCase{"end token stops early", B8, Cat({Int(1), Bytes({0x00}), Int(2)}), "1"},
    TCase{"entries below the top are dropped", B8, Cat({Int(1), Int(2)}), "2"},
    TCase{"intersection is not decoded", B8, Bytes({0x0F}), "Unknown ptg[0F]"},
    TCase{"tokens after an unknown one are ignored", B8, Cat({Int(1), Bytes({0x0F}), Int(2)}), "Unknown ptg[0F]"},
    TCase{"0x18", B8, Bytes({0x18, 0x01}), "Unknown ptg[18]"},
    TCase{"tMemArea", B8, Cat({Bytes({0x26}), Zeros(6)}), "Unknown ptg[26]"},
    TCase{"tMemErr value class", B8, Cat({Bytes({0x47}), Zeros(6)}), "Unknown ptg[47]"},
    TCase{"0x38 array class", B8, Bytes({0x78, 0, 0}), "Unknown ptg[78]"},
    TCase{"0x3E", B8, Bytes({0x3E}), "Unknown ptg[3E]"},
    TCase{"above 0x7D", B8, Bytes({0x80}), "Unknown ptg[80]"},
    TCase{"0xFF", B8, Bytes({0xFF}), "Unknown ptg[FF]"},
    TCase{"tMemFunc decodes its sub-expression", B8,
          Cat({Bytes({0x29, 11, 0}), Ref8(0, 0xC000), Ref8(0, 0xC001), Bytes({0x11})}), "A1:B1"},
    TCase{"array formula cell", B8, Bytes({0x01, 2, 0, 1, 0}), "{B3}"},
    TCase{"data table cell", B8, Bytes({0x02, 2, 0, 1, 0}), "B3"},
    TCase{"BIFF5 array formula cell", B5, Bytes({0x01, 9, 0, 3, 0}), "{D10}"},
    TCase{"BIFF2 array formula cell has a column byte", xvExcel21, Cat({Bytes({0x01, 0, 0, 2}), Int(7)}), "7"},
    TCase{"BIFF2 array formula cell alone", xvExcel21, Bytes({0x01, 0, 0, 2}), "{C1}"}));

INSTANTIATE_TEST_SUITE_P(Attributes, DecodeTokens, ::testing::Values(
    TCase{"sum", B8, Cat({Bytes({0x25, 0, 0, 2, 0, 0, 0xC0, 0, 0xC0}), Bytes({0x19, 0x10, 0, 0})}), "SUM(A1:A3)"},
    TCase{"space adds nothing", B8, Cat({Int(1), Bytes({0x19, 0x40, 0x00, 0x03})}), "1"},
    TCase{"volatile, if, skip add nothing", B8,
          Cat({Bytes({0x19, 0x01, 0, 0}), Int(1), Bytes({0x19, 0x02, 5, 0}), Bytes({0x19, 0x08, 3, 0})}), "1"},
    TCase{"choose skips its jump table", B8,
          Cat({Int(1), Bytes({0x19, 0x04, 2, 0}), Bytes({0x0F, 0x0F, 0x0F, 0x0F, 0x0F, 0x0F}), Int(2)}), "2"},
    TCase{"BIFF2 attribute has a data byte", xvExcel21, Cat({Int(1), Bytes({0x19, 0x10, 0}), Int(2), Bytes({0x03})}),
          "SUM(1)+2"}));

INSTANTIATE_TEST_SUITE_P(Functions, DecodeTokens, ::testing::Values(
    TCase{"fixed without arguments", B8, Bytes({0x21, 19, 0}), "PI()"},
    TCase{"fixed with two", B8, Cat({Int(1), Int(2), Bytes({0x21, 27, 0})}), "ROUND(1,2)"},
    TCase{"fixed takes the smallest count", B8, Cat({Int(1), Bytes({0x21, 8, 0})}), "ROW()"},
    TCase{"fixed NA has no operand", B8, Bytes({0x41, 10, 0}), "NA()"},
    TCase{"fixed MID takes three", B8, Cat({Bytes({0x17, 1, 0, 'a'}), Int(2), Int(3), Bytes({0x41, 31, 0})}),
          "MID(\"a\",2,3)"},
    TCase{"fixed ROUNDUP takes two", B8, Cat({Num(3.25), Int(1), Bytes({0x41, 212, 0})}), "ROUNDUP(3.25,1)"},
    TCase{"fixed value class", B8, Bytes({0x41, 19, 0}), "PI()"},
    TCase{"fixed beyond the table", B8, Cat({Int(7), Bytes({0x21, 0x90, 0x01})}), "?<400>?(7)"},
    TCase{"fixed placeholder", B8, Cat({Int(7), Bytes({0x21, 202, 0})}), "202(7)"},
    TCase{"variable", B8, Cat({Ref8(0, 0xC000), Ref8(0, 0xC001), Bytes({0x22, 2, 4, 0})}), "SUM(A1,B1)"},
    TCase{"variable count bit 7 ignored", B8, Cat({Ref8(0, 0xC000), Ref8(0, 0xC001), Bytes({0x42, 0x82, 4, 0})}),
          "SUM(A1,B1)"},
    TCase{"variable with missing argument", B8,
          Cat({Ref8(0, 0xC000), Bytes({0x16}), Int(2), Bytes({0x22, 3, 1, 0})}), "IF(A1,,2)"},
    TCase{"nested", B8, Cat({Int(1), Int(2), Bytes({0x22, 2, 6, 0}), Int(3), Bytes({0x22, 2, 7, 0})}),
          "MAX(MIN(1,2),3)"},
    TCase{"add-in name travels first", B8, Cat({Bytes({0x23, 1, 0, 0, 0}), Ref8(0, 0xC000), Bytes({0x22, 2, 0xFF, 0})}),
          "Name1(A1)"},
    TCase{"add-in name through tNameX", B8,
          Cat({Bytes({0x39, 0, 0, 2, 0, 0, 0}), Int(1), Int(2), Bytes({0x22, 3, 0xFF, 0})}), "XName0_2(1,2)"},
    TCase{"command flag uses the first operand", B8, Cat({Bytes({0x23, 4, 0, 0, 0}), Bytes({0x22, 1, 4, 0x80})}),
          "Name4()"},
    TCase{"command without arguments", B8, Bytes({0x42, 0, 0xA3, 0x80}), "?<32931>?()"},
    TCase{"index beyond the table uses the first operand", B8,
          Cat({Bytes({0x23, 4, 0, 0, 0}), Int(9), Bytes({0x22, 2, 0x70, 0x01})}), "Name4(9)"},
    TCase{"placeholder uses the first operand", B8, Cat({Bytes({0x23, 4, 0, 0, 0}), Int(9), Bytes({0x22, 2, 218, 0})}),
          "Name4(9)"},
    TCase{"BIFF3 one-byte indexes", xvExcel30,
          Cat({Bytes({0x21, 19}), Ref5(0xC000, 0), Bytes({0x22, 2, 4})}), "SUM(PI(),A1)"},
    TCase{"BIFF2 one-byte index", xvExcel21, Cat({Int(4), Bytes({0x21, 20})}), "SQRT(4)"},
    TCase{"BIFF4 two-byte fixed index", xvExcel40, Cat({Int(4), Bytes({0x21, 0x90, 0x01})}), "?<400>?(4)"},
    TCase{"BIFF4 variable uses the low index byte", xvExcel40, Cat({Int(1), Bytes({0x22, 1, 4, 0x01})}), "SUM(1)"},
    TCase{"BIFF5 variable", B5, Cat({Int(1), Int(2), Bytes({0x22, 2, 5, 0})}), "AVERAGE(1,2)"}));

INSTANTIATE_TEST_SUITE_P(References, DecodeTokens, ::testing::Values(
    TCase{"relative", B8, Ref8(0, 0xC000), "A1"},
    TCase{"absolute", B8, Ref8(0, 0x0001), "$B$1"},
    TCase{"absolute column", B8, Ref8(9, 0x8002), "$C10"},
    TCase{"absolute row", B8, Ref8(9, 0x4002), "C$10"},
    TCase{"last cell", B8, Ref8(65535, 0xC0FF), "IV65536"},
    TCase{"two-letter", B8, Ref8(0, 0xC01A), "AA1"},
    TCase{"column beyond the grid keeps letters", B8, Ref8(0, 0x3FFF), "$XFD$1"},
    TCase{"value class", B8, Ref8(0, 0xC000, 0x44), "A1"},
    TCase{"array class", B8, Ref8(0, 0xC000, 0x64), "A1"},
    TCase{"area", B8, Bytes({0x25, 0, 0, 9, 0, 0, 0xC0, 2, 0}), "A1:$C$10"},
    TCase{"area array class", B8, Bytes({0x65, 0, 0, 9, 0, 0, 0xC0, 2, 0xC0}), "A1:C10"},
    TCase{"ref error", B8, Cat({Bytes({0x2A}), Zeros(4)}), "#REF!"},
    TCase{"area error", B8, Cat({Bytes({0x6B}), Zeros(8)}), "#REF!"},
    TCase{"relative to the cell", B8, Ref8(0xFFFF, 0xC0FF, 0x2C), "C10", 3, 10},
    TCase{"relative area", B8, Bytes({0x2D, 0, 0, 1, 0, 0, 0xC0, 1, 0xC0}), "C5:D6", 2, 4},
    TCase{"relative with absolute parts", B8, Ref8(5, 0x0003, 0x4C), "$D$6", 7, 7},
    TCase{"relative absolute column uses bits 0-7", B8, Ref8(0, 0x8105, 0x2C), "$F1", 7, 0},
    TCase{"relative wraps above the first row", B8, Ref8(0xFFFF, 0xC0FF, 0x2C), "IV65536", 0, 0},
    TCase{"BIFF5 relative", B5, Ref5(0xC000, 0), "A1"},
    TCase{"BIFF5 absolute", B5, Ref5(0x0001, 1), "$B$2"},
    TCase{"BIFF5 absolute column", B5, Ref5(0x8009, 2), "$C10"},
    TCase{"BIFF5 area", B5, Bytes({0x25, 0, 0xC0, 2, 0xC0, 0, 1}), "A1:B3"},
    TCase{"BIFF5 ref error", B5, Cat({Bytes({0x4A}), Zeros(3)}), "#REF!"},
    TCase{"BIFF5 area error", B5, Cat({Bytes({0x2B}), Zeros(6)}), "#REF!"},
    TCase{"BIFF5 relative to the cell", B5, Ref5(0xFFFF, 0xFF, 0x2C), "C10", 3, 10},
    TCase{"BIFF5 relative row offset is 14 bits", B5, Ref5(0xC000 | 0x2000, 0, 0x2C), "A1", 0, 8192},
    TCase{"BIFF5 relative area", B5, Bytes({0x2D, 0x00, 0xC0, 0x01, 0xC0, 0x00, 0x01}), "C5:D6", 2, 4},
    TCase{"BIFF3 reference", xvExcel30, Ref5(0x4004, 3), "D$5"}));

INSTANTIATE_TEST_SUITE_P(NamesAndSheets, DecodeTokens, ::testing::Values(
    TCase{"name", B8, Bytes({0x23, 2, 0, 0, 0}), "Name2"},
    TCase{"external name", B8, Bytes({0x39, 1, 0, 3, 0, 0, 0}), "XName1_3"},
    TCase{"3-D reference", B8, Bytes({0x3A, 1, 0, 2, 0, 1, 0xC0}), "Sheet2!B3"},
    TCase{"3-D reference value class", B8, Bytes({0x5A, 1, 0, 2, 0, 1, 0x00}), "Sheet2!$B$3"},
    TCase{"3-D area", B8, Bytes({0x3B, 1, 0, 0, 0, 1, 0, 0, 0xC0, 1, 0xC0}), "Sheet2!A1:B2"},
    TCase{"3-D ref error", B8, Cat({Bytes({0x3C, 1, 0}), Zeros(4)}), "Sheet2!#REF!"},
    TCase{"3-D ref error value class", B8, Cat({Bytes({0x5C, 1, 0}), Zeros(4)}), "Sheet2!#REF!"},
    TCase{"3-D ref error array class", B8, Cat({Bytes({0x7C, 1, 0}), Zeros(4)}), "Sheet2!#REF!"},
    TCase{"3-D area error", B8, Cat({Bytes({0x3D, 1, 0}), Zeros(8)}), "Sheet2!#REF!"},
    TCase{"BIFF5 name", B5, Cat({Bytes({0x23, 3, 0}), Zeros(12)}), "Name3"},
    TCase{"BIFF5 external name", B5, Cat({Bytes({0x39, 2, 0}), Zeros(8), Bytes({5, 0}), Zeros(12)}), "Ext2_5"},
    TCase{"BIFF4 name", xvExcel40, Cat({Bytes({0x23}), Zeros(10)}), "[NAME]"},
    TCase{"BIFF4 name inside a sheet reference", xvExcel40, Cat({Bytes({0x1A}), Zeros(10), Bytes({0x23}), Zeros(10)}),
          "[EXTERNNAME]"},
    TCase{"BIFF4 name after the sheet reference", xvExcel40,
          Cat({Bytes({0x1A}), Zeros(10), Bytes({0x1B}), Zeros(4), Bytes({0x23}), Zeros(10)}), "[NAME]"},
    TCase{"BIFF5 3-D sheet range", B5, Cat({Bytes({0x3A, 0xFF, 0xFF}), Zeros(8), Bytes({0, 0, 2, 0, 0x00, 0xC0, 0})}),
          "Sheet1:Sheet3!A1"},
    TCase{"BIFF5 3-D one sheet", B5, Cat({Bytes({0x3A, 0xFF, 0xFF}), Zeros(8), Bytes({1, 0, 1, 0, 0x00, 0xC0, 0})}),
          "Sheet2!A1"},
    TCase{"BIFF5 3-D deleted sheet", B5,
          Cat({Bytes({0x3A, 0xFF, 0xFF}), Zeros(8), Bytes({0xFF, 0xFF, 0, 0, 0x00, 0xC0, 0})}), "[DELETED]!A1"},
    TCase{"BIFF5 3-D into another workbook", B5,
          Cat({Bytes({0x3A, 0x02, 0x00}), Zeros(8), Bytes({0, 0, 0, 0, 0x00, 0xC0, 0})}), "Sheet3!Sheet1!A1"},
    TCase{"BIFF5 3-D area into another workbook", B5,
          Cat({Bytes({0x3B, 0x02, 0x00}), Zeros(8), Bytes({0, 0, 0, 0, 0, 0xC0, 1, 0xC0, 0, 1})}),
          "[EXTERN ???]:Sheet1!A1:B2"},
    TCase{"BIFF5 3-D area", B5, Cat({Bytes({0x3B, 0xFF, 0xFF}), Zeros(8), Bytes({0, 0, 2, 0, 0, 0, 1, 0, 0, 1})}),
          "Sheet1:Sheet3!$A$1:$B$2"},
    TCase{"BIFF5 3-D ref error", B5, Cat({Bytes({0x3C, 0xFF, 0xFF}), Zeros(8), Bytes({0, 0, 2, 0}), Zeros(3)}),
          "Sheet1:Sheet3!#REF!"},
    TCase{"BIFF5 3-D area error array class", B5,
          Cat({Bytes({0x7D, 0xFF, 0xFF}), Zeros(8), Bytes({1, 0, 1, 0}), Zeros(6)}), "Sheet2!#REF!"}));

TEST(DecodeFormula, WithoutLookupNamesAndSheetsAreNameErrors)
{
    EXPECT_EQ(Decode(xvExcel97, Bytes({0x23, 2, 0, 0, 0})), "#NAME?");
    EXPECT_EQ(Decode(xvExcel97, Bytes({0x39, 1, 0, 3, 0, 0, 0})), "#NAME?");
    EXPECT_EQ(Decode(xvExcel97, Bytes({0x3A, 1, 0, 2, 0, 1, 0xC0})), "#NAME?B3");
    EXPECT_EQ(Decode(xvExcel50, Cat({Bytes({0x3A, 0xFF, 0xFF}), Zeros(8), Bytes({0, 0, 2, 0, 0x00, 0xC0, 0})})),
              "#NAME?:#NAME?!A1");
}

TEST(DecodeFormula, LookupReceivesKindAndIndexes)
{
    std::vector<std::tuple<int, int, int>> Calls;
    TFormulaNameLookup Lookup = [&](uint8_t Kind, int Index, int NameIndex, std::string& Text) {
        Calls.emplace_back(Kind, Index, NameIndex);
        Text = "x";
    };
    Decode(xvExcel97, Cat({Bytes({0x23, 7, 0, 0, 0}), Bytes({0x39, 1, 0, 3, 0, 0, 0}), Bytes({0x3A, 0x05, 0x01, 0, 0, 0, 0})}),
           Lookup);
    Decode(xvExcel50, Cat({Bytes({0x3A, 0x04, 0x00}), Zeros(8), Bytes({1, 0, 3, 0, 0x00, 0xC0, 0})}), Lookup);
    const std::vector<std::tuple<int, int, int>> Expected = {
        {lkName, -1, 7}, {lkExternSheet, 1, 3}, {lkExternSheet, 0x105, -1},
        {lkExternSheet, 4, -1}, {lkSheetName, 1, -1}, {lkSheetName, 3, -1}};
    EXPECT_EQ(Calls, Expected);
}

// Each operand-carrying token, cut anywhere inside its operands, ends the
// formula with the truncation marker and reads nothing past the cut.
TEST(DecodeFormula, TokenCutShortGivesTruncationMarker)
{
    const std::vector<std::pair<TExcelVersion, TBytes>> Tokens = {
        {B8, Bytes({0x01, 2, 0, 1, 0})},
        {B8, Bytes({0x02, 2, 0, 1, 0})},
        {B8, Bytes({0x17, 3, 0x00, 'a', 'b', 'c'})},
        {B8, Bytes({0x17, 2, 0x01, 'a', 0, 'b', 0})},
        {B8, Bytes({0x19, 0x10, 0, 0})},
        {B8, Bytes({0x19, 0x04, 1, 0, 0, 0, 0, 0})},
        {B8, Bytes({0x1C, 0x07})},
        {B8, Bytes({0x1D, 0x01})},
        {B8, Bytes({0x1E, 1, 0})},
        {B8, Num(1.5)},
        {B8, Cat({Bytes({0x20}), Zeros(7)})},
        {B8, Bytes({0x21, 19, 0})},
        {B8, Bytes({0x22, 0, 19, 0})},
        {B8, Bytes({0x23, 1, 0, 0, 0})},
        {B8, Ref8(0, 0xC000)},
        {B8, Bytes({0x25, 0, 0, 1, 0, 0, 0xC0, 1, 0xC0})},
        {B8, Bytes({0x29, 0, 0})},
        {B8, Cat({Bytes({0x2A}), Zeros(4)})},
        {B8, Cat({Bytes({0x2B}), Zeros(8)})},
        {B8, Ref8(0, 0xC000, 0x2C)},
        {B8, Bytes({0x2D, 0, 0, 1, 0, 0, 0xC0, 1, 0xC0})},
        {B8, Bytes({0x39, 1, 0, 3, 0, 0, 0})},
        {B8, Bytes({0x3A, 1, 0, 2, 0, 1, 0xC0})},
        {B8, Bytes({0x3B, 1, 0, 0, 0, 1, 0, 0, 0xC0, 1, 0xC0})},
        {B8, Cat({Bytes({0x3C, 1, 0}), Zeros(4)})},
        {B8, Cat({Bytes({0x3D, 1, 0}), Zeros(8)})},
        {B5, Bytes({0x17, 2, 'h', 'i'})},
        {B5, Cat({Bytes({0x1A}), Zeros(10)})},
        {B5, Cat({Bytes({0x1B}), Zeros(4)})},
        {B5, Cat({Bytes({0x23, 3, 0}), Zeros(12)})},
        {B5, Ref5(0xC000, 0)},
        {B5, Bytes({0x25, 0, 0xC0, 2, 0xC0, 0, 1})},
        {B5, Cat({Bytes({0x39, 2, 0}), Zeros(8), Bytes({5, 0}), Zeros(12)})},
        {B5, Cat({Bytes({0x3A, 0xFF, 0xFF}), Zeros(8), Bytes({0, 0, 2, 0, 0x00, 0xC0, 0})})},
        {B5, Cat({Bytes({0x3B, 0xFF, 0xFF}), Zeros(8), Bytes({0, 0, 2, 0, 0, 0, 1, 0, 0, 1})})},
        {xvExcel40, Cat({Bytes({0x23}), Zeros(10)})},
        {xvExcel40, Bytes({0x22, 1, 4, 0})},
        {xvExcel30, Bytes({0x21, 19})},
        {xvExcel21, Bytes({0x19, 0x10, 0})},
        {xvExcel21, Bytes({0x01, 0, 0, 2})},
    };
    for (const auto& [Version, Full] : Tokens) {
        char Id[32];
        std::snprintf(Id, sizeof Id, "Truncated ptg[%.2X]", Full[0]);
        for (size_t Cut = 1; Cut < Full.size(); ++Cut) {
            const TBytes Part(Full.begin(), Full.begin() + static_cast<std::ptrdiff_t>(Cut));
            EXPECT_EQ(Decode(Version, Cat({Int(1), Part}), EchoLookup()), Id)
                << "version " << int(Version) << " token " << int(Full[0]) << " cut at " << Cut;
        }
    }
}

TEST(DecodeFormula, TooFewOperandsRaise)
{
    const std::vector<std::pair<TBytes, std::string>> Cases = {
        {Bytes({0x15}), "Too few operands for parenthesis in formula"},
        {Bytes({0x19, 0x10, 0, 0}), "Too few operands for SUM attribute in formula"},
        {Cat({Int(1), Bytes({0x21, 27, 0})}), "Too few operands for function ROUND in formula"},
        {Bytes({0x21, 0x90, 0x01}), "Too few operands for function ?<400>? in formula"},
        {Cat({Int(1), Bytes({0x22, 3, 4, 0})}), "Too few operands for function SUM in formula"},
        {Cat({Int(1), Bytes({0x22, 2, 0xFF, 0})}), "Too few operands for the function name in formula"},
    };
    for (const auto& [Tokens, Message] : Cases) {
        try {
            Decode(xvExcel97, Tokens);
            ADD_FAILURE() << "no exception for " << Message;
        } catch (const Exception& E) {
            EXPECT_EQ(std::string(E.what()), Message);
        }
    }
}

// The constant-array area: columns - 1 (1), rows - 1 (2), then the values.
TEST(DecodeFormula, ConstantArrays)
{
    const TBytes Array = Cat({Bytes({0x20}), Zeros(7)});
    const TBytes OneNumberOneText = Cat({Bytes({1, 0, 0, 0x01}), Dbl(1), Bytes({0x02, 1, 0, 0, 'a'})});
    EXPECT_EQ(Decode(xvExcel97, Array, {}, OneNumberOneText), "{1,\"a\"}");
    EXPECT_EQ(Decode(xvExcel97, Cat({Int(1), Bytes({0x60}), Zeros(7), Bytes({0x22, 2, 4, 0})}), {}, OneNumberOneText),
              "SUM(1,{1,\"a\"})");

    const TBytes TwoByTwo = Cat({Bytes({1, 1, 0, 0x01}), Dbl(1), Bytes({0x01}), Dbl(2), Bytes({0x01}), Dbl(3),
                                 Bytes({0x01}), Dbl(4.5)});
    EXPECT_EQ(Decode(xvExcel97, Array, {}, TwoByTwo), "{1,2,3,4.5}");

    const TBytes Wide = Bytes({0, 0, 0, 0x02, 2, 0, 1, 'h', 0, 0xE9, 0});
    EXPECT_EQ(Decode(xvExcel97, Array, {}, Wide), "{\"h\xC3\xA9\"}");
    EXPECT_EQ(Decode(xvExcel50, Array, {}, Bytes({0, 0, 0, 0x02, 1, 0, 0, 0x80})), "{\"\xE2\x82\xAC\"}");

    // Blocks are taken in token order.
    const TBytes Two = Cat({Bytes({0, 0, 0, 0x01}), Dbl(1), Bytes({0, 0, 0, 0x01}), Dbl(2)});
    EXPECT_EQ(Decode(xvExcel97, Cat({Array, Array, Bytes({0x10})}), {}, Two), "{1},{2}");
}

TEST(DecodeFormula, ConstantArrayFailures)
{
    const TBytes Array = Cat({Bytes({0x20}), Zeros(7)});
    EXPECT_EQ(Decode(xvExcel97, Array), "Missing array data ptg[20]");
    EXPECT_EQ(Decode(xvExcel97, Cat({Bytes({0x40}), Zeros(7)})), "Missing array data ptg[40]");

    const TBytes Block = Cat({Bytes({1, 0, 0, 0x01}), Dbl(1), Bytes({0x02, 2, 0, 0, 'a', 'b'})});
    for (size_t Cut = 0; Cut < Block.size(); ++Cut)
        EXPECT_EQ(Decode(xvExcel97, Array, {}, TBytes(Block.begin(), Block.begin() + static_cast<std::ptrdiff_t>(Cut))),
                  "Missing array data ptg[20]")
            << "cut at " << Cut;

    // Dimensions far beyond the data end at the data, not at the claim.
    EXPECT_EQ(Decode(xvExcel97, Array, {}, Cat({Bytes({0xFF, 0xFF, 0xFF, 0x01}), Dbl(1)})), "Missing array data ptg[20]");

    // A value that cannot be sized ends its block; a later array has no data.
    EXPECT_EQ(Decode(xvExcel97, Array, {}, Bytes({0, 2, 0, 0x04, 0x01})), "{Bad element ID#4 in array}");
    EXPECT_EQ(Decode(xvExcel97, Array, {}, Cat({Bytes({0xFF, 0xFF, 0xFF, 0x01}), Dbl(1), Bytes({0x10, 0x2A})})),
              "{1,Bad element ID#16 in array}");
    EXPECT_EQ(Decode(xvExcel97, Cat({Array, Array}), {}, Cat({Bytes({0, 0, 0, 0x00}), Bytes({0, 0, 0, 0x01}), Dbl(1)})),
              "Missing array data ptg[20]");
}

TEST(DecodeFormula, ArgumentsFollowTheLocaleListSeparator)
{
    const TBytes SumOfTwo = Cat({Ref8(0, 0xC000), Ref8(0, 0xC001), Bytes({0x22, 2, 4, 0})});
    const TBytes Union = Cat({Ref8(0, 0xC000), Ref8(0, 0xC001), Bytes({0x10})});
    const TBytes Array = Cat({Bytes({0x20}), Zeros(7)});
    const TBytes Values = Cat({Bytes({1, 0, 0, 0x01}), Dbl(1.5), Bytes({0x01}), Dbl(2)});
    {
        TLocaleScope Scope("C");
        EXPECT_EQ(ArgSeparator(), ',');
        EXPECT_EQ(Decode(xvExcel97, SumOfTwo), "SUM(A1,B1)");
        EXPECT_EQ(Decode(xvExcel97, Array, {}, Values), "{1.5,2}");
    }
    const char* Comma = CommaDecimalLocale();
    if (!Comma)
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    TLocaleScope Scope(Comma);
    ASSERT_TRUE(Scope.Ok);
    EXPECT_EQ(ArgSeparator(), ';');
    EXPECT_EQ(Decode(xvExcel97, SumOfTwo), "SUM(A1;B1)");
    EXPECT_EQ(Decode(xvExcel97, Union), "A1,B1");
    EXPECT_EQ(Decode(xvExcel97, Array, {}, Values), "{1,5;2}");
    EXPECT_EQ(Decode(xvExcel97, Num(0.25)), "0,25");
}

} // namespace
