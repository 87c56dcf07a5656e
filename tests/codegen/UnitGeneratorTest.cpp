#include "codegen/PascalText.h"
#include "codegen/UnitGenerator.h"
#include "model/Tabulon.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace {

std::vector<std::string> Generate(TTabulon& XLS, const TUnitOptions& Options)
{
    TStringListSink Sink;
    GenerateUnit(XLS, Options, Sink);
    return Sink.Lines;
}

TEST(UnitGenerator, SkeletonOfTwoSheetsWithEveryBoxTicked)
{
    TTabulon XLS;
    XLS.Sheets()[0].SetName("Data");
    XLS.Sheets().Add().SetName("Notes");
    const std::vector<std::string> Expected = {
        "unit ExcelFile;", "",
        "interface", "",
        "uses Classes, SysUtils, Tabulon, TabulonRecs, CellFormats, XLSFonts;", "",
        "procedure CreateXLSData(XLS: TTabulon);", "",
        "implementation", "",
        "procedure AddFonts(XLS: TTabulon);", "begin", "end;", "",
        "procedure AddFormats(XLS: TTabulon);", "begin", "end;", "",
        "procedure AddCellValues(XLS: TTabulon);", "begin", "end;", "",
        "procedure AddMergedCells(XLS: TTabulon);", "begin", "end;", "",
        "procedure AddColumns(XLS: TTabulon);", "begin", "end;", "",
        "procedure AddRows(XLS: TTabulon);", "begin", "end;", "",
        "procedure CreateXLSData(XLS: TTabulon);",
        "begin",
        "  XLS.WriteDefaultData := False;",
        "  XLS.Sheets[0].Name := 'Data';",
        "  with XLS.Sheets.Add do",
        "    Name := 'Notes';",
        "  AddFonts(XLS);",
        "  AddFormats(XLS);",
        "  AddCellValues(XLS);",
        "  AddMergedCells(XLS);",
        "  AddColumns(XLS);",
        "  AddRows(XLS);",
        "end;", "",
        "end.",
    };
    TUnitOptions Options;
    Options.PasFile = "/home/dev/units/ExcelFile.pas";
    EXPECT_EQ(Generate(XLS, Options), Expected);
}

TEST(UnitGenerator, EveryBoxUntickedStillGivesACompleteUnit)
{
    TTabulon XLS;
    XLS.Sheets()[0].SetName("Only");
    TUnitOptions Options;
    Options.Formatting = Options.Values = Options.Merged = Options.Columns = Options.Rows = false;
    const std::vector<std::string> Expected = {
        "unit ExcelFile;", "",
        "interface", "",
        "uses Classes, SysUtils, Tabulon, TabulonRecs, CellFormats, XLSFonts;", "",
        "procedure CreateXLSData(XLS: TTabulon);", "",
        "implementation", "",
        "procedure CreateXLSData(XLS: TTabulon);",
        "begin",
        "  XLS.WriteDefaultData := False;",
        "  XLS.Sheets[0].Name := 'Only';",
        "end;", "",
        "end.",
    };
    EXPECT_EQ(Generate(XLS, Options), Expected);
}

TEST(UnitGenerator, SheetNamesAreQuotedAsPascalLiterals)
{
    TTabulon XLS;
    XLS.Sheets()[0].SetName("Bob's");
    XLS.Sheets().Add().SetName("Tab\tName");
    TUnitOptions Options;
    Options.Formatting = Options.Values = Options.Merged = Options.Columns = Options.Rows = false;
    const auto Lines = Generate(XLS, Options);
    EXPECT_EQ(Lines[13], "  XLS.Sheets[0].Name := 'Bob''s';");
    EXPECT_EQ(Lines[15], "    Name := 'Tab' + #9 + 'Name';");
}

// A compiler refuses procedures of many thousand statements, so a long body
// is split into numbered procedures that the named one calls in order.
TEST(UnitGenerator, LongCellValueBodiesAreSplitIntoNumberedProcedures)
{
    TTabulon XLS;
    for (int Row = 0; Row < 4500; ++Row)
        XLS.Sheets()[0].WriteNumber(0, Row, 0, Row);
    TUnitOptions Options;
    Options.Formatting = Options.Merged = Options.Columns = Options.Rows = false;
    const auto Lines = Generate(XLS, Options);

    auto Find = [&](const std::string& Text) {
        return std::find(Lines.begin(), Lines.end(), Text) - Lines.begin();
    };
    const auto P1 = Find("procedure AddCellValues1(XLS: TTabulon);");
    const auto P2 = Find("procedure AddCellValues2(XLS: TTabulon);");
    const auto P3 = Find("procedure AddCellValues3(XLS: TTabulon);");
    const auto Main = Find("procedure AddCellValues(XLS: TTabulon);");
    ASSERT_LT(P3, static_cast<long>(Lines.size()));
    EXPECT_EQ(Find("procedure AddCellValues4(XLS: TTabulon);"), static_cast<long>(Lines.size()));
    EXPECT_EQ(P2 - P1, 2000 + 4);
    EXPECT_EQ(P3 - P2, 2000 + 4);
    EXPECT_EQ(Main - P3, 500 + 4);
    EXPECT_EQ(Lines[P1 + 2], "  XLS.Sheets[0].WriteNumber(0,0,0,0);");
    EXPECT_EQ(Lines[Main - 3], "  XLS.Sheets[0].WriteNumber(0,4499,0,4499);");
    const std::vector<std::string> Calls(Lines.begin() + Main, Lines.begin() + Main + 7);
    EXPECT_EQ(Calls, (std::vector<std::string>{"procedure AddCellValues(XLS: TTabulon);", "begin",
                                               "  AddCellValues1(XLS);", "  AddCellValues2(XLS);",
                                               "  AddCellValues3(XLS);", "end;", ""}));
    EXPECT_EQ(Lines[Main + 8], "begin");
}

TEST(PascalText, UnitNameIsTheFileNameCutAtItsFirstFullStop)
{
    const std::pair<const char*, const char*> Cases[] = {
        {"ExcelFile.pas", "ExcelFile"},
        {"/home/dev/Report.v2.pas", "Report"},
        {"my.unit.pas", "my"},
        {"C:\\Units\\Sales.pas", "Sales"},
        {"C:Sales.pas", "Sales"},
        {"NoDot", "NoDot"},
        {"", ""},
        {"dir.with.dots/Unit1", "Unit1"},
    };
    for (const auto& [Path, Name] : Cases)
        EXPECT_EQ(UnitNameFromPath(Path), Name) << Path;
}

TEST(PascalText, LiteralsDoubleApostrophesAndPutControlCharactersOutside)
{
    const std::pair<std::string, std::string> Cases[] = {
        {"", "''"},
        {"Total", "'Total'"},
        {"It's", "'It''s'"},
        {"'", "''''"},
        {"A\nB", "'A' + #10 + 'B'"},
        {"A\r\nB", "'A' + #13 + #10 + 'B'"},
        {"A\n", "'A' + #10"},
        {"\nB", "#10 + 'B'"},
        {std::string("\0", 1), "#0"},
        {"Ünïcode €", "'Ünïcode €'"},
    };
    for (const auto& [Text, Literal] : Cases)
        EXPECT_EQ(PascalString(Text), Literal);
}

} // namespace
