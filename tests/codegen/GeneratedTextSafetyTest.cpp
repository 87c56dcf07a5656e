// The line checker the whole-path fuzz target relies on, and the generator
// against names built to break out of their literals.

#include "codegen/PascalText.h"
#include "codegen/UnitGenerator.h"
#include "fuzz/PascalCheck.h"
#include "model/Tabulon.h"

#include <gtest/gtest.h>

namespace {

TEST(PascalCheck, AcceptsWhatTheGeneratorWrites)
{
    for (const char* Line : {
             "",
             "unit ExcelFile;",
             "  XLS.Sheets[0].Name := 'It''s';",
             "  XLS.Sheets[0].WriteString(0,1,15,'a' + #13 + #10 + 'b');",
             "  XLS.Sheets[0].WriteNumber(3,4,0,-1.5e+300);",
             "  XLS.Sheets[0].WriteNumber(3,4,0,StrToFloat('-Inf'));",
             "  XLS.Sheets[0].Name := '\xC3\xA4\xE2\x82\xAC { } // (*';",
             "  Color := $00FF00; { plain comment }",
             "  // a whole-line comment",
         })
        EXPECT_EQ(CheckPascalLine(Line), "") << Line;
}

TEST(PascalCheck, RejectsTextThatEscapedItsLiteral)
{
    for (const char* Line : {
             "  Name := 'open;",                 // literal runs past the line end
             "  Name := 'a''';' b",               // one apostrophe too many
             "  Name := 'a\rb';",                 // raw carriage return
             "  Name := 'a' + #;",                // # without a code
             "  Name := 'a' \xC3\xA4;",           // file text outside the literal
             "  Name := \"quoted\";",             // never written outside a literal
             "  X := 1; { comment } ')",          // stray quote after a comment
             "  X := 1; { file}text }",           // brace ends the comment early
             "  X := 1; { open",                  // comment not closed
             "  X := 1; // trailing",             // comment after code
         })
        EXPECT_NE(CheckPascalLine(Line), "") << Line;
}

TEST(GeneratedTextSafety, HostileSheetNamesStayInsideTheirLiterals)
{
    TTabulon XLS;
    const std::string Names[] = {
        "'); Halt; ('",
        std::string("nul\0inside", 10),
        "cr\rlf\nend",
        "{ brace } (* star *) // slash",
        "\x7F\x01\x1F'''",
        "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80",
    };
    XLS.Sheets()[0].SetName(Names[0]);
    for (size_t I = 1; I < std::size(Names); ++I)
        XLS.Sheets().Add().SetName(Names[I]);
    TStringListSink Unit;
    GenerateUnit(XLS, TUnitOptions(), Unit);
    for (const std::string& Line : Unit.Lines)
        EXPECT_EQ(CheckPascalLine(Line), "");
    EXPECT_EQ(Unit.Text().find('\0'), std::string::npos);
}

} // namespace
