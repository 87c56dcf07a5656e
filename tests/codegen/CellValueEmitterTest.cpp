#include "codegen/CellValueEmitter.h"
#include "codegen/UnitGenerator.h"
#include "model/Tabulon.h"

#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <vector>

namespace {

std::vector<std::string> Emit(TTabulon& XLS, bool Formatting)
{
    TUnitOptions Options;
    Options.Formatting = Formatting;
    TStringListSink Sink;
    TEmitContext Ctx{XLS, Options, Sink};
    EmitCellValues(Ctx, 0);
    return Sink.Lines;
}

// A1*2: tRef A1 (relative), tInt 2, tMul.
const uint8_t A1Times2[] = {0x24, 0, 0, 0, 0xC0, 0x1E, 2, 0, 0x05};
// "it's": a text constant holding an apostrophe.
const uint8_t ItsText[] = {0x17, 4, 0, 'i', 't', '\'', 's'};

TEST(CellValueEmitter, OneLinePerCellInRowOrder)
{
    TTabulon XLS;
    XLS.SetVersion(xvExcel97);
    TSheet& S = XLS.Sheets()[0];
    S.WriteString(0, 0, 0, "It's");
    S.WriteNumber(2, 0, 3, 1234.5678);
    S.WriteNumber(5, 0, 0, 0.004);
    S.WriteBoolean(0, 1, 0, true);
    S.WriteBoolean(1, 2, 4, false);
    S.WriteNumFormulaTokens(1, 1, 0, A1Times2, sizeof A1Times2, 7);
    S.WriteNumFormulaTokens(2, 1, 0, ItsText, sizeof ItsText, 0.1);
    S.WriteBlank(0, 2, 7);
    S.WriteString(2, 2, 0, "");
    S.WriteString(3, 2, 0, "a\r\nb\n");
    S.WriteWideString(4, 2, 0, u"Жα");
    S.WriteErrFormulaTokens(5, 2, 9, A1Times2, sizeof A1Times2, 0x07);
    // No line for these.
    S.WriteError(0, 3, 0, ceNA);
    S.WriteStrFormulaTokens(1, 3, 0, A1Times2, sizeof A1Times2, "x");
    S.WriteBoolFormulaTokens(2, 3, 0, A1Times2, sizeof A1Times2, true);
    const uint8_t Array[] = {0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    S.WriteArrayFormulaTokens(3, 3, 0, A1Times2, sizeof A1Times2, 1, Array, sizeof Array);

    EXPECT_EQ(Emit(XLS, true), (std::vector<std::string>{
                                   "  XLS.Sheets[0].WriteString(0,0,0,'It''s');",
                                   "  XLS.Sheets[0].WriteNumber(2,0,3,1234.5678);",
                                   "  XLS.Sheets[0].WriteNumber(5,0,0,0.004);",
                                   "  XLS.Sheets[0].WriteBoolean(0,1,0,True);",
                                   "  XLS.Sheets[0].WriteNumFormula(1,1,0,'A1*2',7);",
                                   "  XLS.Sheets[0].WriteNumFormula(2,1,0,'\"it''s\"',0.1);",
                                   "  XLS.Sheets[0].WriteBlank(0,2,7);",
                                   "  XLS.Sheets[0].WriteBoolean(1,2,4,False);",
                                   "  XLS.Sheets[0].WriteString(2,2,0,'');",
                                   "  XLS.Sheets[0].WriteString(3,2,0,'a' + #13 + #10 + 'b' + #10);",
                                   "  XLS.Sheets[0].WriteString(4,2,0,'Жα');",
                                   "  XLS.Sheets[0].WriteString(5,2,9,'[FORMULA ERROR]');",
                               }));
    const auto Plain = Emit(XLS, false);
    ASSERT_EQ(Plain.size(), 12u);
    EXPECT_EQ(Plain[1], "  XLS.Sheets[0].WriteNumber(2,0,0,1234.5678);");
    EXPECT_EQ(Plain[11], "  XLS.Sheets[0].WriteString(5,2,0,'[FORMULA ERROR]');");
}

TEST(CellValueEmitter, EmptySheetGivesNoLine)
{
    TTabulon XLS;
    EXPECT_TRUE(Emit(XLS, true).empty());
}

TEST(FloatToPascal, ReadsBackAsTheSameDouble)
{
    struct {
        double Value;
        const char* Text;
    } const Cases[] = {
        {0, "0"},
        {2, "2"},
        {-0.5, "-0.5"},
        {0.001, "0.001"},
        {-1234.5, "-1234.5"},
        {0.1 + 0.2, "0.30000000000000004"},
        {1e21, "1e+21"},
        {5e-324, "5e-324"},
        {123456789012345680000.0, "1.2345678901234568e+20"},
        {1e15, "1e+15"},
        {999999999999999, "999999999999999"},
        {-0.0, "-0.0"},
        {std::numeric_limits<double>::infinity(), "StrToFloat('Inf')"},
        {-std::numeric_limits<double>::infinity(), "StrToFloat('-Inf')"},
        {std::nan(""), "StrToFloat('NaN')"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(FloatToPascal(C.Value), C.Text) << C.Text;
}

// The integer path must give std::to_chars' text exactly, including where the
// exponent form is shorter or ties with the plain digits.
TEST(ShortestDouble, IntegersMatchToChars)
{
    std::vector<double> Values = {0,      1,       -1,      9,          10,        10000,     -10000,
                                  100000, -100000, 120000,  123000,     1234000,   1000000,   1200000,
                                  1e14,   1.5e14,  -1e14,   123456789e5, 1e15,      9007199254740991.0,
                                  9007199254740992.0, 9007199254740994.0, 1e16, -9007199254740991.0, 0.5, -7.25, 1e-5};
    for (double P = 1; P < 1e17; P *= 10)
        for (const double M : {1.0, 2.0, 11.0, 101.0, 1001.0})
            Values.push_back(M * P);
    for (const double V : Values) {
        char Want[32];
        char Got[32];
        const std::string Expected(Want, std::to_chars(Want, Want + sizeof Want, V).ptr);
        EXPECT_EQ(std::string(Got, ShortestDouble(Got, Got + sizeof Got, V)), Expected) << Expected;
    }
}

} // namespace
