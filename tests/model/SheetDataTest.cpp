#include "model/Exception.h"
#include "model/NumberText.h"
#include "model/Tabulon.h"
#include "model/XLSUtils.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using namespace std::string_literals;

std::string Message(const std::function<void()>& Action)
{
    try {
        Action();
    } catch (const Exception& E) {
        return E.what();
    }
    return "(no exception)";
}

TEST(Sheets, NewSheetsAreNamedFromTheGrowingID)
{
    TTabulon XLS;
    TSheets& Sheets = XLS.Sheets();
    ASSERT_EQ(Sheets.Count(), 1);
    EXPECT_EQ(Sheets[0].GetName(), "Sheet 1");
    EXPECT_EQ(Sheets[0].StoredName(), "\0Sheet 1"s);
    Sheets.ClearAll();
    ASSERT_EQ(Sheets.Count(), 1);
    EXPECT_EQ(Sheets[0].GetName(), "Sheet 2");
    EXPECT_EQ(Sheets.Add().GetName(), "Sheet 3");
    Sheets.ClearAll();
    EXPECT_EQ(Sheets.Count(), 1);
    EXPECT_EQ(Sheets[0].GetName(), "Sheet 4");
    EXPECT_EQ(Message([&] { Sheets[1]; }), "List index out of bounds (1)");
    EXPECT_EQ(Message([&] { Sheets[-1]; }), "List index out of bounds (-1)");
}

TEST(Sheets, ClearAllEmptiesTheSharedStrings)
{
    TTabulon XLS;
    XLS.Sheets()[0].WriteString(0, 0, 0, "text");
    ASSERT_EQ(XLS.Sheets().SST().Count(), 1);
    XLS.Sheets().ClearAll();
    EXPECT_EQ(XLS.Sheets().SST().Count(), 0);
    EXPECT_EQ(XLS.Sheets()[0].Cells.Count(), 0);
}

TEST(Sheets, NameStoredFormAndVisibleName)
{
    struct Case {
        const char* Name;
        std::string Value;
        std::string Stored;
        std::string Visible;
    };
    const Case Cases[] = {
        {"plain name gets flag 0", "Data", "\0Data"s, "Data"},
        {"flag 0 kept", "\0Data"s, "\0Data"s, "Data"},
        {"flag 1: UTF-16 decoded", "\1D\0\xE4\0t\0a\0"s, "\1D\0\xE4\0t\0a\0"s, "D\xC3\xA4ta"},
        {"flag 1: beyond Latin-1", "\1\x1F\x04"s, "\1\x1F\x04"s, "\xD0\x9F"},
        {"flag 0, compressed Latin-1", "\0M\xFCller"s, "\0M\xFCller"s, "M\xC3\xBCller"},
        {"flag 0, UTF-8 kept", "M\xC3\xBCller", "\0M\xC3\xBCller"s, "M\xC3\xBCller"},
        {"empty", "", "", ""},
    };
    for (const Case& C : Cases) {
        TTabulon XLS;
        TSheet& Sheet = XLS.Sheets()[0];
        Sheet.SetName(C.Value);
        EXPECT_EQ(Sheet.StoredName(), C.Stored) << C.Name;
        EXPECT_EQ(Sheet.GetName(), C.Visible) << C.Name;
        EXPECT_EQ(Sheet.GetDisplayName(), C.Visible) << C.Name;
    }
}

TEST(Sheets, TwoSheetsMayShareAVisibleName)
{
    TTabulon XLS;
    XLS.Sheets()[0].SetName("Data");
    EXPECT_NO_THROW(XLS.Sheets().Add().SetName("Data"));
    EXPECT_EQ(XLS.Sheets()[1].GetName(), "Data");
}

TEST(Sheets, NewSheetValues)
{
    TTabulon XLS;
    const TSheet& S = XLS.Sheets()[0];
    EXPECT_EQ(S.DefaultColWidth, 8);
    EXPECT_EQ(S.DefaultRowHeight, 0);
    EXPECT_EQ(S.Options, SetOf(soGridlines, soRowColHeadings, soShowZeros));
    EXPECT_EQ(S.WorkspaceOptions, SetOf(woShowAutoBreaks, woRowSumsBelow, woColSumsRight, woOutlineSymbols));
    EXPECT_EQ(S.CalcCount, 100);
    EXPECT_TRUE(S.RecalcFormulas);
    EXPECT_EQ(S.Delta, 0.001);
    EXPECT_EQ(S.Zoom, 100);
    EXPECT_EQ(S.ZoomPreview, 100);
    EXPECT_EQ(S.UsedFirstCol, -1);
    EXPECT_EQ(S.UsedLastCol, 0);
    EXPECT_EQ(S.UsedFirstRow, -1);
    EXPECT_EQ(S.UsedLastRow, 0);
    EXPECT_EQ(S.FixedRows, 0);
    EXPECT_EQ(S.FixedCols, 0);
    EXPECT_EQ(S.GridSet, 1);
    EXPECT_EQ(S.RowGutter + S.ColGutter + S.RowOutlineLevels + S.ColOutlineLevels, 0);
    EXPECT_EQ(S.RowInfoCount(), 0);
    EXPECT_EQ(S.Cells.Count(), 0);
}

TEST(Sheets, ClearSheetEmptiesContentsAndKeepsSettings)
{
    TTabulon XLS;
    TSheet& S = XLS.Sheets()[0];
    S.SetName("Kept");
    S.Zoom = 75;
    S.UsedFirstCol = 2;
    S.UsedLastRow = 9;
    S.Hyperlinks.push_back("http://example.org");
    S.AddROW(1, 0, 1, 300, 0, 0);
    S.WriteNumber(1, 1, 0, 1);
    S.ClearSheet();
    EXPECT_EQ(S.Cells.Count(), 0);
    EXPECT_EQ(S.Cells.Find(CellKey(1, 1)), nullptr);
    EXPECT_EQ(S.RowInfoCount(), 0);
    EXPECT_TRUE(S.Hyperlinks.empty());
    EXPECT_EQ(S.UsedFirstCol, -1);
    EXPECT_EQ(S.UsedLastRow, 0);
    EXPECT_EQ(S.Zoom, 75);
    EXPECT_EQ(S.GetName(), "Kept");
}

// Every setter: the kind it stores, the format, and the text the generator sees.
TEST(Sheets, SettersAndCellText)
{
    TTabulon XLS;
    TSheet& S = XLS.Sheets()[0];
    const uint8_t Tokens[] = {0x1E, 0x01, 0x00}; // tInt 1
    const uint8_t Array[] = {0, 0, 0, 0};
    // Each cell's format index is its column + 3.
    S.WriteBlank(0, 0, 3);
    S.WriteBoolean(1, 0, 4, true);
    S.WriteBoolean(2, 0, 5, false);
    S.WriteError(3, 0, 6, ceDiv0);
    S.WriteNumber(4, 0, 7, 1.5);
    S.WriteString(5, 0, 8, "caf\xE9"); // 8-bit bytes, Latin-1 in a BIFF8 workbook
    S.WriteWideString(6, 0, 9, u"\u041F\u0440\u0438");
    S.WriteSSTString(7, 0, 10, 0);
    S.WriteNumFormulaTokens(8, 0, 11, Tokens, 3, 2.25);
    S.WriteStrFormulaTokens(9, 0, 12, Tokens, 3, "r\xC3\xA9sult");
    S.WriteBoolFormulaTokens(10, 0, 13, Tokens, 3, true);
    S.WriteErrFormulaTokens(11, 0, 14, Tokens, 3, 0x2A);
    S.WriteArrayFormulaTokens(12, 0, 15, Tokens, 3, 7.0, Array, 4);
    S.WriteErrFormulaTokens(13, 0, 16, Tokens, 3, 0x99);

    struct Case {
        int Col;
        TCellType Type;
        std::string Text;
    };
    const Case Cases[] = {
        {0, ctBlank, ""},
        {1, ctBoolean, "TRUE"},
        {2, ctBoolean, "FALSE"},
        {3, ctError, "#DIV/0!"},
        {4, ctFloat, GeneralNumberText(1.5)},
        {5, ctString, "caf\xC3\xA9"},
        {6, ctString, "\xD0\x9F\xD1\x80\xD0\xB8"},
        {7, ctString, "caf\xC3\xA9"},
        {8, ctNumberFormula, GeneralNumberText(2.25)},
        {9, ctStringFormula, "r\xC3\xA9sult"},
        {10, ctBooleanFormula, "TRUE"},
        {11, ctErrorFormula, "#N/A"},
        {12, ctArrayFormula, ""},
        {13, ctErrorFormula, "[int] No error value"},
    };
    for (const Case& C : Cases) {
        const TCell* Cell = S.Cells.Find(CellKey(C.Col, 0));
        ASSERT_NE(Cell, nullptr) << C.Col;
        EXPECT_EQ(Cell->CellType(), C.Type) << C.Col;
        EXPECT_EQ(Cell->FormatIndex, C.Col + 3) << C.Col;
        EXPECT_EQ(S.GetCellText(C.Col, 0), C.Text) << C.Col;
    }
    EXPECT_EQ(S.GetCellText(200, 200), "");
    EXPECT_EQ(XLS.Sheets().SST().Count(), 2);

    const auto& Formula = static_cast<const TNumberFormulaCell&>(*S.Cells.Find(CellKey(8, 0)));
    EXPECT_EQ(Formula.FormulaSize, 3);
    EXPECT_EQ(Formula.Formula[0], 0x1E);
    const auto& ArrayCell = static_cast<const TArrayFormulaCell&>(*S.Cells.Find(CellKey(12, 0)));
    EXPECT_EQ(ArrayCell.Value, 7.0);
    EXPECT_EQ(ArrayCell.ArraySize, 4);

    // The workbook's texts and switches reach the accessor.
    XLS.StrTRUE = "WAHR";
    XLS.StrFALSE = "FALSCH";
    EXPECT_EQ(S.GetCellText(1, 0), "WAHR");
    EXPECT_EQ(S.GetCellText(2, 0), "FALSCH");
    EXPECT_EQ(S.GetCellText(10, 0), "WAHR");
    XLS.ShowFormulas = true;
    for (int Col : {8, 9, 10, 11})
        EXPECT_EQ(S.GetCellText(Col, 0), S.GetFormulaText(Col, 0)) << Col;
    EXPECT_EQ(S.GetCellText(12, 0), "");
    EXPECT_EQ(S.GetCellText(4, 0), GeneralNumberText(1.5));
}

TEST(Sheets, WritingTwiceAtOnePlaceKeepsTheSecond)
{
    TTabulon XLS;
    TSheet& S = XLS.Sheets()[0];
    S.WriteNumber(3, 4, 21, 1);
    S.WriteString(3, 4, 0, "second");
    EXPECT_EQ(S.Cells.Count(), 1);
    EXPECT_EQ(S.GetCellText(3, 4), "second");
    EXPECT_EQ(S.Cells.Find(CellKey(3, 4))->FormatIndex, 21);
}

TEST(Sheets, SetterErrors)
{
    TTabulon XLS;
    TSheet& S = XLS.Sheets()[0];
    const uint8_t Tokens[] = {0x1E, 0x01, 0x00};
    EXPECT_EQ(Message([&] { S.WriteSSTString(0, 0, 0, 0); }), "SST index out of range (0:0)");
    EXPECT_EQ(Message([&] { S.WriteSSTString(0, 0, 0, -1); }), "SST index out of range (-1:0)");
    EXPECT_EQ(S.Cells.Count(), 0);
    EXPECT_EQ(Message([&] { S.WriteString(0, 65536, 0, "x"); }), "Row 65536 is outside the sheet (rows 0 to 65535)");
    EXPECT_EQ(Message([&] { S.WriteNumber(0, -1, 0, 1); }), "Row -1 is outside the sheet (rows 0 to 65535)");
    EXPECT_EQ(XLS.Sheets().SST().Count(), 0);
    EXPECT_EQ(S.Cells.Count(), 0);
    for (int Kind : {0, 7, 12, 13})
        EXPECT_EQ(Message([&] { S.CreateFormulaCell(Kind, Tokens, 3, 0, 0); }), "Invalid Formula cell type") << Kind;
    for (int Kind : {8, 9, 10, 11})
        EXPECT_EQ(S.CreateFormulaCell(Kind, Tokens, 3, 0, 0)->CellType(), Kind);
    // Column 256 lands on column 0 of the same row.
    S.WriteNumber(256, 2, 0, 5);
    EXPECT_EQ(S.GetCellText(0, 2), GeneralNumberText(5));
}

TEST(Sheets, FormulaTextNeedsAFormulaCell)
{
    TTabulon XLS;
    TSheet& S = XLS.Sheets()[0];
    const uint8_t Tokens[] = {0x1E, 0x01, 0x00};
    S.WriteString(0, 0, 0, "text");
    S.WriteArrayFormulaTokens(1, 0, 0, Tokens, 3, 0, nullptr, 0);
    EXPECT_EQ(Message([&] { S.GetFormulaText(0, 0); }), "Cell is missing/is of wrong type");
    EXPECT_EQ(Message([&] { S.GetFormulaText(5, 5); }), "Cell is missing/is of wrong type");
    EXPECT_NO_THROW(S.GetFormulaText(1, 0));
}

TEST(Sheets, RowRecords)
{
    TTabulon XLS;
    TSheet& S = XLS.Sheets()[0];
    S.AddROW(5, 0, 3, 300, 0, 15);
    S.AddROW(0xFFFF, 1, 256, 0x8000, 0x0140, 0x0F0F);
    ASSERT_EQ(S.RowInfoCount(), 2);
    EXPECT_EQ(S.GetRowInfo(0), (std::array<uint8_t, 16>{5, 0, 0, 0, 3, 0, 44, 1, 0, 0, 0, 0, 0, 0, 15, 0}));
    EXPECT_EQ(S.GetRowInfo(1),
              (std::array<uint8_t, 16>{0xFF, 0xFF, 1, 0, 0, 1, 0, 0x80, 0, 0, 0, 0, 0x40, 0x01, 0x0F, 0x0F}));
    EXPECT_EQ(Message([&] { S.GetRowInfo(2); }), "List index out of bounds (2)");
}

} // namespace

#include "codegen/UnitGenerator.h"

namespace {

TEST(Sheets, GeneratedUnitNamesSheetsByTheirVisibleNames)
{
    TTabulon XLS;
    XLS.Sheets()[0].SetName("\1D\0\xE4\0t\0a\0"s);
    XLS.Sheets().Add().SetName("\0M\xFCller"s);
    TStringListSink Out;
    GenerateUnit(XLS, TUnitOptions(), Out);
    const std::string Text = Out.Text();
    EXPECT_NE(Text.find("XLS.Sheets[0].Name := 'D\xC3\xA4ta';"), std::string::npos) << Text;
    EXPECT_NE(Text.find("Name := 'M\xC3\xBCller';"), std::string::npos) << Text;
    EXPECT_EQ(Text.find('\0'), std::string::npos);
}

} // namespace
