// Cell value records end to end: small workbook streams read by the reader,
// checked through the cell dump.
#include "BiffBuilder.h"

#include "biff/XLSReader.h"
#include "codegen/CellDump.h"
#include "model/Exception.h"
#include "model/Tabulon.h"

#include <gtest/gtest.h>

#include <cstring>
#include <sstream>

namespace {

std::string Dump(TTabulon& XLS)
{
    std::ostringstream Out;
    DumpCells(XLS, Out);
    return Out.str();
}

// Reads Bytes; returns the dump, or the failure message.
std::string ReadDump(const TBytes& Bytes, TTabulon* Into = nullptr, uint16_t Override = 0)
{
    TTabulon Own;
    TTabulon& XLS = Into ? *Into : Own;
    XLS.Clear();
    XLS.CodepageOverride = Override;
    TXLSReader Reader(XLS);
    try {
        Reader.ReadBytes(Bytes);
    } catch (const Exception& E) {
        return E.what();
    }
    return Dump(XLS);
}

TBytes Hdr(uint16_t Row, uint16_t Col, uint16_t Format = 15)
{
    TBytes B;
    PutU16(B, Row);
    PutU16(B, Col);
    PutU16(B, Format);
    return B;
}

TBytes Hdr2(uint16_t Row, uint16_t Col)
{
    TBytes B;
    PutU16(B, Row);
    PutU16(B, Col);
    B.insert(B.end(), {0, 0, 0});
    return B;
}

void PutF64(TBytes& B, double V)
{
    uint64_t Bits;
    std::memcpy(&Bits, &V, 8);
    PutU32(B, static_cast<uint32_t>(Bits));
    PutU32(B, static_cast<uint32_t>(Bits >> 32));
}

TBytes Bytes(TBytes A, const TBytes& B)
{
    A.insert(A.end(), B.begin(), B.end());
    return A;
}

TBytes Number(uint16_t Row, uint16_t Col, double V)
{
    TBytes B = Hdr(Row, Col);
    PutF64(B, V);
    return Rec(0x0203, B);
}

// BIFF5/BIFF8 FORMULA with the given 8 result bytes and tokens.
TBytes Formula(uint16_t Row, uint16_t Col, const TBytes& Result, const TBytes& Tokens, uint16_t Flags = 0)
{
    TBytes B = Bytes(Hdr(Row, Col), Result);
    PutU16(B, Flags);
    PutU32(B, 0);
    PutU16(B, static_cast<uint16_t>(Tokens.size()));
    return Rec(0x0006, Bytes(B, Tokens));
}

TBytes NumResult(double V)
{
    TBytes B;
    PutF64(B, V);
    return B;
}

TBytes Special(uint8_t Kind, uint8_t Value = 0) { return {Kind, 0, Value, 0, 0, 0, 0xFF, 0xFF}; }

const TBytes Int7 = {0x1E, 7, 0};   // tInt 7
const TBytes Exp00 = {0x01, 0, 0, 0, 0}; // tExp row 0, column 0

TBytes Book8(const TBytes& Globals, const TBytes& Sheet)
{
    return MakeCompound({{"Workbook", false,
                          Cat({BOF8(0x0005), Globals, BoundSheet8("S"), EOFRec(), BOF8(0x0010), Sheet, EOFRec()}),
                          {}}});
}

TEST(CellRecords, Biff8SimpleCells)
{
    TBytes MulRK = Hdr(3, 1);
    MulRK.resize(4);
    MulRK.insert(MulRK.end(), {15, 0, 0x92, 0x01, 0, 0, 15, 0, 0xFE, 0xFF, 0xFF, 0xFF, 2, 0});
    TBytes MulBlank = {4, 0, 5, 0, 15, 0, 16, 0, 6, 0};
    TBytes ShortMulRK = {5, 0, 0, 0};
    TBytes Sst = {0, 0, 0, 0, 1, 0, 0, 0, 3, 0, 0, 'S', 'S', 'T'};
    const std::string Out = ReadDump(Book8(
        Rec(0x00FC, Sst),
        Cat({Rec(0x0200, {0, 0, 0, 0, 9, 0, 0, 0, 0, 0, 4, 0, 0, 0}), Rec(0x0201, Hdr(0, 0)), Number(0, 1, 1234.5678),
             Number(0, 2, 0.004), Rec(0x027E, Bytes(Hdr(0, 3), {0x01, 0, 0xF0, 0x3F})),
             Rec(0x0204, Bytes(Hdr(1, 0), {4, 0, 0, 'G', 'r', 0xFC, 0xDF})),
             Rec(0x0204, Bytes(Hdr(1, 1), {3, 0, 1, 0x1F, 0x04, 0x40, 0x04, 0x38, 0x04})),
             Rec(0x0204, Bytes(Hdr(1, 2), {2, 0, 1, 0xB1, 0x03, 0xC9, 0x03})),
             Rec(0x0204, Bytes(Hdr(1, 3), {2, 0, 0, 'a', '\t'})), Rec(0x00FD, Bytes(Hdr(1, 4), {0, 0, 0, 0})),
             Rec(0x0205, Bytes(Hdr(2, 0), {1, 0})), Rec(0x0205, Bytes(Hdr(2, 1), {0x07, 1})),
             Rec(0x0205, Bytes(Hdr(2, 2), {0x2B, 1})), Rec(0x00BD, MulRK), Rec(0x00BE, MulBlank),
             Rec(0x00BD, ShortMulRK), Rec(0x00BE, ShortMulRK)})));
    EXPECT_EQ(Out, "0\t0\t0\tBlank\t\t\n"
                   "0\t0\t1\tFloat\t1234.5678\t\n"
                   "0\t0\t2\tFloat\t0.004\t\n"
                   "0\t0\t3\tFloat\t0.01\t\n"
                   "0\t1\t0\tString\tGrüß\t\n"
                   "0\t1\t1\tString\tПри\t\n"
                   "0\t1\t2\tString\tαω\t\n"
                   "0\t1\t3\tString\ta\\t\t\n"
                   "0\t1\t4\tString\tSST\t\n"
                   "0\t2\t0\tBoolean\tTRUE\t\n"
                   "0\t2\t1\tError\t#DIV/0!\t\n"
                   "0\t2\t2\tError\t[int] No error value\t\n"
                   "0\t3\t1\tFloat\t100\t\n"
                   "0\t3\t2\tFloat\t-1\t\n"
                   "0\t4\t5\tBlank\t\t\n"
                   "0\t4\t6\tBlank\t\t\n");
    TTabulon XLS;
    ReadDump(Book8(Rec(0x00FC, Sst), Rec(0x0200, {0, 0, 0, 0, 0, 0, 0, 0, 2, 0, 0, 0, 0, 0})), &XLS);
    const TSheet& S = XLS.Sheets()[0];
    EXPECT_EQ(S.UsedFirstCol, 2);
    EXPECT_EQ(S.UsedLastCol, 0);
    EXPECT_EQ(S.UsedLastRow, 0);
}

TEST(CellRecords, Biff8Formulas)
{
    TBytes Shr = {2, 0, 3, 0, 2, 2, 0, 0};
    PutU16(Shr, static_cast<uint16_t>(Int7.size()));
    Shr = Bytes(Shr, Int7);
    const TBytes Str = {2, 0, 1, 0x16, 0x04, 0x16, 0x04};
    TBytes Array = {0, 0, 0, 0, 3, 3, 0, 0, 0, 0};
    PutU16(Array, 3);
    Array = Bytes(Array, Int7);
    const std::string Out = ReadDump(Book8(
        {}, Cat({Formula(0, 0, NumResult(7), Int7), Formula(0, 1, Special(1, 1), Int7),
                 Formula(0, 2, Special(2, 0x2A), Int7), Formula(0, 3, Special(3), Int7),
                 Formula(0, 4, Special(0), Int7), Rec(0x0207, {3, 0, 0, 'x', 'y', 'z'}),
                 // No STRING after a text result, and no tokens: no cell.
                 Formula(0, 5, Special(0), Int7), Number(0, 6, 1), Formula(0, 7, NumResult(1), {}),
                 // The first cell of a shared range with a text result: SHRFMLA, then STRING.
                 Formula(2, 2, Special(0), Exp00, 0x0008), Rec(0x00BC, Shr), Rec(0x0207, Str),
                 Formula(3, 2, NumResult(7), Exp00, 0x0008),
                 // A tExp no stored SHRFMLA covers keeps its token.
                 Formula(5, 5, NumResult(7), Exp00, 0x0008),
                 Formula(3, 3, NumResult(7), {0x01, 3, 0, 3, 0}), Rec(0x0221, Array),
                 Formula(4, 3, NumResult(7), {0x01, 3, 0, 3, 0}),
                 // The first cell of a data table with a text result: TABLE, then STRING.
                 Formula(6, 0, Special(0), Int7), Rec(0x0236, TBytes(16, 0)), Rec(0x0207, {1, 0, 0, 't'})})));
    EXPECT_EQ(Out, "0\t0\t0\tNumberFormula\t7\t7\n"
                   "0\t0\t1\tBooleanFormula\tTRUE\t7\n"
                   "0\t0\t2\tErrorFormula\t#N/A\t7\n"
                   "0\t0\t3\tStringFormula\t\t7\n"
                   "0\t0\t4\tStringFormula\txyz\t7\n"
                   "0\t0\t6\tFloat\t1\t\n"
                   "0\t2\t2\tStringFormula\tЖЖ\t7\n"
                   "0\t3\t2\tNumberFormula\t7\t7\n"
                   "0\t3\t3\tArrayFormula\t7\t{D4}\n"
                   "0\t4\t3\tNumberFormula\t7\t{D4}\n"
                   "0\t5\t5\tNumberFormula\t7\t{A1}\n"
                   "0\t6\t0\tStringFormula\tt\t7\n");
}

} // namespace

namespace {

TBytes PlainFile(uint16_t BofId, const TBytes& Records)
{
    return Cat({BOFOld(BofId, 0x0010), Records, EOFRec()});
}

TEST(CellRecords, Biff2Cells)
{
    TTabulon XLS;
    TBytes Num = Hdr2(0, 1);
    PutF64(Num, 2.5);
    TBytes F = Hdr2(1, 0);
    F = Bytes(F, NumResult(3));
    F.push_back(0);
    F.push_back(static_cast<uint8_t>(Int7.size()));
    F = Bytes(F, Int7);
    TBytes FStr = Bytes(Hdr2(1, 1), Special(0));
    FStr.insert(FStr.end(), {0, 3});
    FStr = Bytes(FStr, Int7);
    EXPECT_EQ(ReadDump(PlainFile(0x0009, Cat({Rec(0x0002, Bytes(Hdr2(0, 0), {42, 0})), Rec(0x0003, Num),
                                              Rec(0x0004, Bytes(Hdr2(0, 2), {2, 'h', 0xE9})), Rec(0x0001, Hdr2(0, 3)),
                                              Rec(0x0005, Bytes(Hdr2(0, 4), {0, 0})), Rec(0x0005, Bytes(Hdr2(0, 5), {0x17, 1})),
                                              Rec(0x0006, F), Rec(0x0006, FStr), Rec(0x0007, {2, 'o', 'k'})})),
                       &XLS),
              "0\t0\t0\tFloat\t42\t\n"
              "0\t0\t1\tFloat\t2.5\t\n"
              "0\t0\t2\tString\thé\t\n"
              "0\t0\t3\tBlank\t\t\n"
              "0\t0\t4\tBoolean\tFALSE\t\n"
              "0\t0\t5\tError\t#REF!\t\n"
              "0\t1\t0\tNumberFormula\t3\t7\n"
              "0\t1\t1\tStringFormula\tok\t7\n");
    TCellStorage& Cells = XLS.Sheets()[0].Cells;
    Cells.BeginIterate();
    for (TCell* C = Cells.GetNext(); C; C = Cells.GetNext())
        EXPECT_EQ(C->FormatIndex, -1);
}

TEST(CellRecords, Biff3FormulaWithBooleanResultIsABooleanFormula)
{
    TBytes F = Bytes(Hdr(0, 0), Special(1, 1));
    F.insert(F.end(), {0, 0, 3, 0});
    EXPECT_EQ(ReadDump(PlainFile(0x0209, Rec(0x0206, Bytes(F, Int7)))), "0\t0\t0\tBooleanFormula\tTRUE\t7\n");
}

// BIFF5 files: 8-bit text in the code page the CODEPAGE record names, or
// Windows-1252 without one; --codepage overrides either.
TEST(CellRecords, Biff5TextThroughTheCodePage)
{
    auto Book5 = [](const TBytes& Globals, const TBytes& Sheet) {
        TBytes Bof = BOF8(0x0005);
        Bof[4] = 0x00, Bof[5] = 0x05;
        TBytes SheetBof = BOF8(0x0010);
        SheetBof[4] = 0x00, SheetBof[5] = 0x05;
        return MakeCompound(
            {{"Book", false, Cat({Bof, Globals, BoundSheet5("S"), EOFRec(), SheetBof, Sheet, EOFRec()}), {}}});
    };
    const TBytes Label = Rec(0x0204, Bytes(Hdr(0, 0), {3, 0, 0xCC, 0xE8, 0xF0}));
    // A first byte of 1 with room for UTF-16 characters: a BIFF8-style string.
    const TBytes Flagged = Rec(0x0204, Bytes(Hdr(0, 1), {1, 0, 1, 0x16, 0x04}));
    struct {
        TBytes Globals;
        uint16_t Override;
        const char* Expected;
    } const Cases[] = {
        {Rec(0x0042, {0xE3, 0x04}), 0, "Мир"},     // 1251
        {{}, 0, "Ìèð"},                              // no CODEPAGE: Windows-1252
        {Rec(0x0042, {0xB0, 0x04}), 0, "Ìèð"},     // 1200 names no 8-bit code page
        {Rec(0x0042, {0xE4, 0x04}), 1251, "Мир"},  // 1252 overridden
        {Rec(0x0042, {0x2D, 0x27}), 0, "ŐŤū"},     // 10029 Mac Central European
    };
    for (const auto& C : Cases)
        EXPECT_EQ(ReadDump(Book5(C.Globals, Cat({Label, Flagged})), nullptr, C.Override),
                  std::string("0\t0\t0\tString\t") + C.Expected + "\t\n0\t0\t1\tString\tЖ\t\n");
}

TEST(CellRecords, Failures)
{
    const TBytes Sst = {0, 0, 0, 0, 1, 0, 0, 0, 1, 0, 0, 'a'};
    EXPECT_EQ(ReadDump(Book8(Rec(0x00FC, Sst), Rec(0x00FD, Bytes(Hdr(0, 0), {1, 0, 0, 0})))),
              "Error on reading record # 5\rSST index out of range (1:1)");
    EXPECT_EQ(ReadDump(Book8({}, Rec(0x0203, Bytes(Hdr(0, 0), {1, 2, 3})))),
              "Error on reading record # 4\rNUMBER record ends early: the number needs 8 bytes at offset 6, 3 left");
    TBytes Claims5 = Formula(0, 0, NumResult(1), {0x1E});
    Claims5[4 + 20] = 5;
    EXPECT_EQ(ReadDump(Book8({}, Claims5)), "Error on reading record # 4\rFORMULA record ends early: the formula "
                                            "tokens needs 5 bytes at offset 22, 1 left");
}

} // namespace
