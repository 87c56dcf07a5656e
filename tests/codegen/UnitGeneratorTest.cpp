#include "codegen/PascalText.h"
#include "codegen/UnitGenerator.h"
#include "model/Tabulon.h"

#include <gtest/gtest.h>

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
