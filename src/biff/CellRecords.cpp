// Cell value records: blanks, numbers, texts, Boolean and error constants,
// formulas with their cached results, the used area, the code page of 8-bit
// text and the shared string table.
#include "CellRecords.h"

#include "BiffRecords.h"
#include "BiffString.h"
#include "SST.h"
#include "XLSReader.h"
#include "formula/DecodeFormula.h"
#include "model/Exception.h"
#include "model/Tabulon.h"
#include "model/TextCodec.h"
#include "model/XLSUtils.h"

#include <cstring>

double DecodeRK(uint32_t RK)
{
    double Value;
    if (RK & 2) {
        Value = static_cast<double>(static_cast<int32_t>(RK & ~3u) >> 2);
    } else {
        const uint64_t Bits = static_cast<uint64_t>(RK & ~3u) << 32;
        std::memcpy(&Value, &Bits, sizeof Value);
    }
    return (RK & 1) ? Value / 100 : Value;
}

namespace {

// Data tables need no handler of their own, so TABLE is not in the record list.
constexpr uint16_t IdTABLE = 0x0236;
constexpr uint8_t tExp = 0x01;

TXLSReader::TCellHeader ReadCellHeader(TByteCursor& C)
{
    TXLSReader::TCellHeader H;
    H.Row = C.U16("the row");
    H.Col = C.U16("the column");
    H.Format = C.U16("the format index");
    return H;
}

// BIFF2 cells: row (2), column (2, low byte used), three attribute bytes that
// are not read. They get the format index -1.
TXLSReader::TCellHeader ReadCellHeader2(TByteCursor& C)
{
    TXLSReader::TCellHeader H;
    H.Row = C.U16("the row");
    H.Col = C.U16("the column") & 0xFF;
    C.Skip(3, "the cell attributes");
    H.Format = -1;
    return H;
}

// The 8 bytes of a formula's cached result: a double, unless bytes 6 and 7
// are both 0xFF; then byte 0 gives the kind (0 text in a following STRING
// record, 1 Boolean and 2 error with the value in byte 2, 3 empty text).
struct TFormulaResult {
    uint8_t Bytes[8];
    bool IsNumber(bool Biff5Layout) const
    {
        return !(Bytes[6] == 0xFF && Bytes[7] == 0xFF && (!Biff5Layout || Bytes[0] < 4));
    }
    double Number() const
    {
        uint64_t Bits = 0;
        for (int I = 7; I >= 0; --I)
            Bits = (Bits << 8) | Bytes[I];
        double V;
        std::memcpy(&V, &Bits, sizeof V);
        return V;
    }
};

TFormulaResult ReadFormulaResult(TByteCursor& C)
{
    TFormulaResult R;
    const auto B = C.Bytes(8, "the cached result");
    std::memcpy(R.Bytes, B.data(), 8);
    return R;
}

} // namespace

// The code page 8-bit text is decoded with. BIFF8 8-bit strings are the low
// bytes of UTF-16 code units (1200 decodes them as Latin-1). Older files name
// theirs in the CODEPAGE record; without one the component's 1200 is still
// set, and 1200 or 21010 in such a file names no 8-bit code page: both mean
// Windows-1252. The --codepage override wins over all of this.
int TXLSReader::TextCodepage() const
{
    if (FOwner.CodepageOverride != 0)
        return FOwner.CodepageOverride;
    if (FOwner.GetVersion() == xvExcel97)
        return 1200;
    const int Codepage = FOwner.GetCodepage();
    return Codepage == 1200 || Codepage == 21010 ? 1252 : Codepage;
}

void TXLSReader::SyncTextCodepage()
{
    FOwner.Sheets().SetCodepage(TextCodepage());
}

std::string TXLSReader::Text8(std::span<const uint8_t> Bytes) const
{
    return CodepageToUtf8(TextCodepage(), Bytes.data(), Bytes.size());
}

std::optional<std::span<const uint8_t>> TXLSReader::NextContinue()
{
    TBiffHeader Header;
    TBiffRecord Next;
    if (!PeekNextHeader(Header) || Header.RecId != brCONTINUE || !ReadNextRecord(Next))
        return std::nullopt;
    return Next.Body;
}

bool TXLSReader::InCellSheet() const
{
    return FCurrentSheet >= 0 && FCurrentSheet < FOwner.Sheets().Count();
}

void TXLSReader::RecCODEPAGE(TBiffRecord& R)
{
    TByteCursor C = R.Cursor();
    FOwner.SetCodepage(C.U16("the code page"));
    SyncTextCodepage();
}

void TXLSReader::RecSST(TBiffRecord& R)
{
    FOwner.Sheets().SST().Read(R.Body, [this] { return NextContinue(); });
}

// DIMENSIONS: first row, last row + 1, first column, last column + 1; the row
// fields are 32-bit in BIFF8. A BIFF8 file carrying the short form (some
// writers mix versions) is read by its length.
void TXLSReader::RecDIMENSIONS(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    uint32_t FirstRow, LastRow;
    if (FOwner.GetVersion() == xvExcel97 && R.Length >= 12) {
        FirstRow = C.U32("the first row");
        LastRow = C.U32("the last row");
    } else {
        FirstRow = C.U16("the first row");
        LastRow = C.U16("the last row");
    }
    const uint16_t FirstCol = C.U16("the first column");
    const uint16_t LastCol = C.U16("the last column");
    TSheet& S = CurrentSheet();
    S.UsedFirstRow = static_cast<uint16_t>(FirstRow);
    S.UsedLastRow = static_cast<uint16_t>(LastRow > 0 ? LastRow - 1 : 0);
    S.UsedFirstCol = FirstCol;
    S.UsedLastCol = static_cast<uint16_t>(LastCol > 0 ? LastCol - 1 : 0);
}

void TXLSReader::RecBLANK(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    const TCellHeader H = ReadCellHeader(C);
    CurrentSheet().WriteBlank(H.Col, H.Row, H.Format);
}

void TXLSReader::RecBLANK2(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    const TCellHeader H = ReadCellHeader2(C);
    CurrentSheet().WriteBlank(H.Col, H.Row, H.Format);
}

// MULBLANK: row, first column, one format index per cell, last column (not
// used). A record too short for its row and columns stores nothing.
void TXLSReader::RecMULBLANK(TBiffRecord& R)
{
    if (!InCellSheet() || R.Length < 6)
        return;
    TByteCursor C = R.Cursor();
    const int Row = C.U16("the row");
    const int Col = C.U16("the first column");
    const size_t Count = (R.Length - 6u) / 2;
    TSheet& S = CurrentSheet();
    for (size_t I = 0; I < Count; ++I)
        S.WriteBlank(Col + static_cast<int>(I), Row, C.U16("a format index"));
}

void TXLSReader::RecNUMBER(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    const TCellHeader H = ReadCellHeader(C);
    CurrentSheet().WriteNumber(H.Col, H.Row, H.Format, C.F64("the number"));
}

void TXLSReader::RecNUMBER2(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    const TCellHeader H = ReadCellHeader2(C);
    CurrentSheet().WriteNumber(H.Col, H.Row, H.Format, C.F64("the number"));
}

void TXLSReader::RecINTEGER2(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    const TCellHeader H = ReadCellHeader2(C);
    CurrentSheet().WriteNumber(H.Col, H.Row, H.Format, C.U16("the integer"));
}

void TXLSReader::RecRK(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    const TCellHeader H = ReadCellHeader(C);
    CurrentSheet().WriteNumber(H.Col, H.Row, H.Format, DecodeRK(C.U32("the RK value")));
}

// MULRK: row, first column, then per cell a format index (2) and an RK value
// (4), then the last column (not used).
void TXLSReader::RecMULRK(TBiffRecord& R)
{
    if (!InCellSheet() || R.Length < 6)
        return;
    TByteCursor C = R.Cursor();
    const int Row = C.U16("the row");
    const int Col = C.U16("the first column");
    const size_t Count = (R.Length - 6u) / 6;
    TSheet& S = CurrentSheet();
    for (size_t I = 0; I < Count; ++I) {
        const int Format = C.U16("a format index");
        S.WriteNumber(Col + static_cast<int>(I), Row, Format, DecodeRK(C.U32("an RK value")));
    }
}

// LABEL and RSTRING since BIFF3: character count (2) at 6, then the text.
// BIFF8 writes a BIFF8 string there (option byte, the characters, runs and a
// phonetic block, which are not kept). Older versions write the 8-bit
// characters in the workbook's code page; some writers of older versions
// still put a BIFF8 option byte (0 or 1) in front, which is taken as such
// when the record's length fits it exactly.
TXLSReader::TCellText TXLSReader::ReadCellText(TByteCursor& C)
{
    TCellText Text;
    const uint16_t Count = C.U16("the character count");
    if (FOwner.GetVersion() == xvExcel97) {
        if (Count == 0 && C.AtEnd())
            return Text;
        const uint8_t Options = C.U8("the string options");
        TContinuedReader Reader(C.Rest(), nullptr, std::string(C.Context()) + " ends early: the text is cut off");
        TBiffString S;
        ReadBiffStringBody(Reader, Count, static_cast<uint8_t>(Options & 0x0D), S);
        Text.Wide = S.Wide();
        Text.Bytes = std::move(S.Chars);
        return Text;
    }
    const size_t Left = C.Remaining();
    if (Count != 0 && Left >= 1) {
        TByteCursor Probe = C;
        const uint8_t Flag = Probe.U8();
        if (Flag == 1 && Left == 1 + 2u * Count) {
            C.Skip(1);
            Text.Wide = true;
        } else if (Flag == 0 && Left == 1u + Count) {
            C.Skip(1);
        }
    }
    const auto Bytes = C.Bytes(Text.Wide ? 2u * Count : Count, "the text");
    Text.Bytes.assign(Bytes.begin(), Bytes.end());
    return Text;
}

std::string TXLSReader::CellTextToUtf8(const TCellText& Text) const
{
    const auto* Data = reinterpret_cast<const uint8_t*>(Text.Bytes.data());
    return Text.Wide ? Utf16LeToUtf8(Data, Text.Bytes.size()) : CodepageToUtf8(TextCodepage(), Data, Text.Bytes.size());
}

void TXLSReader::WriteCellText(const TCellHeader& H, const TCellText& Text)
{
    TSheet& S = CurrentSheet();
    if (!Text.Wide) {
        S.WriteString(H.Col, H.Row, H.Format, Text.Bytes);
        return;
    }
    std::u16string Wide(Text.Bytes.size() / 2, u'\0');
    for (size_t I = 0; I < Wide.size(); ++I)
        Wide[I] = static_cast<char16_t>(static_cast<uint8_t>(Text.Bytes[2 * I]) |
                                        (static_cast<uint8_t>(Text.Bytes[2 * I + 1]) << 8));
    S.WriteWideString(H.Col, H.Row, H.Format, Wide);
}

void TXLSReader::RecLABEL(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    const TCellHeader H = ReadCellHeader(C);
    WriteCellText(H, ReadCellText(C));
}

void TXLSReader::RecLABEL2(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    const TCellHeader H = ReadCellHeader2(C);
    const uint8_t Count = C.U8("the character count");
    const auto Bytes = C.Bytes(Count, "the text");
    CurrentSheet().WriteString(H.Col, H.Row, H.Format,
                               std::string_view(reinterpret_cast<const char*>(Bytes.data()), Bytes.size()));
}

void TXLSReader::RecLABELSST(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    const TCellHeader H = ReadCellHeader(C);
    CurrentSheet().WriteSSTString(H.Col, H.Row, H.Format, static_cast<int32_t>(C.U32("the string index")));
}

// BOOLERR: value (1), kind (1): 0 Boolean, otherwise an error code.
void TXLSReader::RecBOOLERR(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    const TCellHeader H = ReadCellHeader(C);
    const uint8_t Value = C.U8("the value");
    const uint8_t Kind = C.U8("the value kind");
    if (Kind == 0)
        CurrentSheet().WriteBoolean(H.Col, H.Row, H.Format, Value != 0);
    else
        CurrentSheet().WriteError(H.Col, H.Row, H.Format, ErrorCodeToCellError(Value));
}

void TXLSReader::RecBOOLERR2(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    const TCellHeader H = ReadCellHeader2(C);
    const uint8_t Value = C.U8("the value");
    const uint8_t Kind = C.U8("the value kind");
    if (Kind == 0)
        CurrentSheet().WriteBoolean(H.Col, H.Row, H.Format, Value != 0);
    else
        CurrentSheet().WriteError(H.Col, H.Row, H.Format, ErrorCodeToCellError(Value));
}

// SHRFMLA: first row (2), last row (2), first column (1), last column (1),
// two unused bytes, token count (2), the shared tokens, then the constant
// values of array tokens among them, which are kept with the tokens.
void TXLSReader::ReadSharedFormula(const TBiffRecord& R)
{
    TByteCursor C = R.Cursor();
    TSharedFormula F;
    F.FirstRow = C.U16("the first row");
    F.LastRow = C.U16("the last row");
    F.FirstCol = C.U8("the first column");
    F.LastCol = C.U8("the last column");
    C.Skip(2, "the reserved bytes");
    const uint16_t Size = C.U16("the token count");
    const auto Tokens = C.Bytes(Size, "the shared tokens");
    F.TokenSize = Size;
    F.Tokens.assign(Tokens.begin(), Tokens.end());
    const auto Extra = C.Rest();
    F.Tokens.insert(F.Tokens.end(), Extra.begin(), Extra.end());
    FSharedFormulas.push_back(std::move(F));
}

bool TXLSReader::ApplySharedFormula(int Col, int Row, std::vector<uint8_t>& Tokens, int& TokenSize)
{
    for (const TSharedFormula& F : FSharedFormulas) {
        if (F.FirstCol <= Col && Col <= F.LastCol && F.FirstRow <= Row && Row <= F.LastRow) {
            Tokens = F.Tokens;
            TokenSize = F.TokenSize;
            ConvertSharedFormula(FOwner.GetVersion() == xvExcel97, Tokens.data(), TokenSize, Col, Row);
            return true;
        }
    }
    return false;
}

// The text of a STRING record (a formula's text result). BIFF8 writes a BIFF8
// string, which may carry on in CONTINUE records; older versions write the
// 8-bit characters, with the same tolerance for a leading option byte as
// LABEL.
std::string TXLSReader::ReadStringRecord(TBiffRecord& R)
{
    TByteCursor C = R.Cursor();
    if (R.Id == brSTRING2) {
        const uint8_t Count = C.U8("the character count");
        return Text8(C.Bytes(Count, "the text"));
    }
    if (FOwner.GetVersion() == xvExcel97) {
        const uint16_t Count = C.U16("the character count");
        if (Count == 0 && C.AtEnd())
            return {};
        const uint8_t Options = C.U8("the string options");
        TContinuedReader Reader(C.Rest(), [this] { return NextContinue(); },
                                "STRING record ends early: the text carries on in no CONTINUE record");
        TBiffString S;
        ReadBiffStringBody(Reader, Count, static_cast<uint8_t>(Options & 0x0D), S);
        return CellTextToUtf8({S.Wide(), std::move(S.Chars)});
    }
    return CellTextToUtf8(ReadCellText(C));
}

// Stores a formula whose cached result is not a number. A text result stands
// in the STRING record after the formula (after the SHRFMLA record when the
// formula is the first of a shared range, after the TABLE record when it is
// the first of a data table). Returns whether a cell was stored.
bool TXLSReader::WriteFormulaResult(int Col, int Row, int Format, const uint8_t* Tokens, int Size,
                                    const uint8_t* Result)
{
    TSheet& S = CurrentSheet();
    switch (Result[0]) {
    case 1:
        S.WriteBoolFormulaTokens(Col, Row, Format, Tokens, Size, Result[2] != 0);
        return true;
    case 2:
        S.WriteErrFormulaTokens(Col, Row, Format, Tokens, Size, Result[2]);
        return true;
    case 3:
        S.WriteStrFormulaTokens(Col, Row, Format, Tokens, Size, std::string());
        return true;
    case 0: {
        // The tokens may point into a shared formula's copy; keep our own.
        const std::vector<uint8_t> Own(Tokens, Tokens + Size);
        TBiffHeader Header;
        if (!PeekNextHeader(Header))
            return false;
        if (Header.RecId == brSHRFMLA || Header.RecId == brSHRFMLA4) {
            TBiffRecord Shared;
            ReadNextRecord(Shared);
            ReadSharedFormula(Shared);
            if (!PeekNextHeader(Header))
                return false;
        } else if (Header.RecId == IdTABLE) {
            // The first cell of a data table: its TABLE record stands before
            // the STRING record. Nothing of it is kept.
            TBiffRecord Table;
            ReadNextRecord(Table);
            if (!PeekNextHeader(Header))
                return false;
        }
        if (Header.RecId != brSTRING && Header.RecId != brSTRING2)
            return false;
        TBiffRecord Str;
        ReadNextRecord(Str);
        S.WriteStrFormulaTokens(Col, Row, Format, Own.data(), Size, ReadStringRecord(Str));
        return true;
    }
    default:
        return false;
    }
}

// FORMULA. BIFF2 (0x0006 before BIFF3): BIFF2 cell header, result (8) at 7,
// flags (1), token count (1) at 16, tokens from 17. BIFF3/BIFF4 (0x0206,
// 0x0406): common header, result at 6, flags (2), token count (2) at 16,
// tokens from 18. BIFF5/BIFF8 (0x0006): common header, result at 6, flags (2;
// 0x0008 shared formula), 4 reserved bytes, token count (2) at 20, tokens
// from 22. Bytes after the tokens hold the constants of array tokens and are
// stored with the tokens.
void TXLSReader::RecFORMULA(TBiffRecord& R)
{
    if (!InCellSheet())
        return;
    TByteCursor C = R.Cursor();
    const bool Biff2 = R.Id == 0x0006 && FOwner.GetVersion() < xvExcel30;
    const bool Biff34 = R.Id == 0x0206 || R.Id == 0x0406;
    const TCellHeader H = Biff2 ? ReadCellHeader2(C) : ReadCellHeader(C);
    const TFormulaResult Result = ReadFormulaResult(C);
    uint16_t Flags = 0;
    int Size;
    if (Biff2) {
        C.Skip(1, "the option flags");
        Size = C.U8("the token count");
    } else if (Biff34) {
        C.Skip(2, "the option flags");
        Size = C.U16("the token count");
    } else {
        Flags = C.U16("the option flags");
        C.Skip(4, "the reserved bytes");
        Size = C.U16("the token count");
    }
    C.Need(static_cast<size_t>(Size), "the formula tokens");
    std::vector<uint8_t> Tokens;
    {
        const auto Rest = C.Rest();
        Tokens.assign(Rest.begin(), Rest.end());
    }
    TSheet& S = CurrentSheet();

    if (Biff2) {
        if (!Result.IsNumber(false))
            WriteFormulaResult(H.Col, H.Row, H.Format, Tokens.data(), Size, Result.Bytes);
        else
            S.WriteNumFormulaTokens(H.Col, H.Row, H.Format, Tokens.data(), Size, Result.Number());
        return;
    }
    if (Biff34) {
        S.WriteNumFormulaTokens(H.Col, H.Row, H.Format, Tokens.data(), Size, Result.Number());
        if (!Result.IsNumber(false))
            WriteFormulaResult(H.Col, H.Row, H.Format, Tokens.data(), Size, Result.Bytes);
        return;
    }

    const bool StartsWithExp = Size > 0 && Tokens[0] == tExp;
    TBiffHeader Header;
    if ((Flags & 0x0008) && StartsWithExp) {
        if (PeekNextHeader(Header) && (Header.RecId == brSHRFMLA || Header.RecId == brSHRFMLA4)) {
            TBiffRecord Shared;
            ReadNextRecord(Shared);
            ReadSharedFormula(Shared);
        }
        ApplySharedFormula(H.Col, H.Row, Tokens, Size);
    } else if (StartsWithExp && PeekNextHeader(Header) && Header.RecId == brARRAY) {
        TBiffRecord Array;
        ReadNextRecord(Array);
        S.WriteArrayFormulaTokens(H.Col, H.Row, H.Format, Tokens.data(), Size, Result.Number(), Array.Body.data(),
                                  static_cast<int>(Array.Body.size()));
        return;
    }
    if (!Result.IsNumber(true)) {
        WriteFormulaResult(H.Col, H.Row, H.Format, Tokens.data(), Size, Result.Bytes);
        return;
    }
    if (Size == 0)
        return;
    S.WriteNumFormulaTokens(H.Col, H.Row, H.Format, Tokens.data(), Size, Result.Number());
}
