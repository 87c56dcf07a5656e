#include "DecodeFormula.h"

#include "ExcelFunc.h"
#include "FormulaRefs.h"
#include "FormulaTokens.h"

#include "model/Exception.h"
#include "model/Locale.h"
#include "model/NumberText.h"
#include "model/TextCodec.h"
#include "model/XLSUtils.h"

#include <cstring>
#include <vector>

const char* const FormulaTrueText = "TRUE";
const char* const FormulaFalseText = "FALSE";

char ArgSeparator()
{
    return SystemListSeparator();
}

namespace {

const char* const ValMissingText = "<Val missing>";
const char* const NoLookupText = "#NAME?";

// Thrown by a cursor asked for more bytes than it has; the decoder turns it
// into the marker text that ends the formula.
struct TOutOfBytes {
    bool ArrayArea;
};

// The only way the decoder reads bytes: every read compares the wanted size
// with what remains.
class TByteCursor {
public:
    TByteCursor(const uint8_t* Data, int Len, bool ArrayArea)
        : Data(Data), Len(Data && Len > 0 ? Len : 0), ArrayArea(ArrayArea)
    {
    }

    bool AtEnd() const { return Pos >= Len; }
    const uint8_t* Take(int N)
    {
        if (N < 0 || N > Len - Pos)
            throw TOutOfBytes{ArrayArea};
        const uint8_t* P = Data + Pos;
        Pos += N;
        return P;
    }
    void Skip(int N) { Take(N); }
    uint8_t U8() { return *Take(1); }
    uint16_t U16()
    {
        const uint8_t* P = Take(2);
        return static_cast<uint16_t>(P[0] | (P[1] << 8));
    }
    double F64()
    {
        const uint8_t* P = Take(8);
        uint64_t Bits = 0;
        for (int I = 7; I >= 0; --I)
            Bits = (Bits << 8) | P[I];
        double D;
        std::memcpy(&D, &Bits, sizeof D);
        return D;
    }

private:
    const uint8_t* Data;
    int Len;
    int Pos = 0;
    bool ArrayArea;
};

// 8-bit text of BIFF2 to BIFF5 is in the workbook's code page, which the
// decoder is not told; the default code page is assumed.
std::string EarlyText(const uint8_t* P, int Count)
{
    return CodepageToUtf8(1252, P, static_cast<size_t>(Count));
}

class TDecoder {
public:
    TDecoder(TExcelVersion Version, const uint8_t* Tokens, int Len, int Col, int Row,
             const TFormulaNameLookup& Lookup, const uint8_t* Extra, int ExtraLen)
        : Version(Version), BIFF8(IsBIFF8(Version)), Tok(Tokens, Len, false), Arr(Extra, ExtraLen, true),
          Col(Col), Row(Row), Lookup(Lookup), Sep(ArgSeparator())
    {
        Stack.reserve(8);
    }

    std::string Run()
    {
        uint8_t Id = 0;
        try {
            while (!Tok.AtEnd()) {
                Id = Tok.U8();
                if (!Token(Id))
                    break;
            }
        } catch (const TOutOfBytes& E) {
            Stack.push_back(StrFmt(E.ArrayArea ? "Missing array data ptg[%.2X]" : "Truncated ptg[%.2X]", Id));
        }
        if (Stack.empty())
            return "[ERROR]";
        return std::move(Stack.back());
    }

private:
    TExcelVersion Version;
    bool BIFF8;
    TByteCursor Tok;
    TByteCursor Arr;
    int Col;
    int Row;
    const TFormulaNameLookup& Lookup;
    char Sep;
    bool ExternName = false;
    std::vector<std::string> Stack;

    // Handles one token whose identifier has been read; false ends decoding.
    bool Token(uint8_t Id)
    {
        switch (TokenBase(Id)) {
        case ptgEnd:
            return false;
        case ptgExp:
        case ptgTbl:
            return PushCellPointer(Id);
        case ptgAdd: Infix("+"); break;
        case ptgSub: Infix("-"); break;
        case ptgMul: Infix("*"); break;
        case ptgDiv: Infix("/"); break;
        case ptgPower: Infix("^"); break;
        case ptgConcat: Infix("&"); break;
        case ptgLT: Infix("<"); break;
        case ptgLE: Infix("<="); break;
        case ptgEQ: Infix("="); break;
        case ptgGE: Infix(">="); break;
        case ptgGT: Infix(">"); break;
        case ptgNE: Infix("<>"); break;
        case ptgList: Infix(","); break; // a union is always written with a comma
        case ptgRange: Infix(":"); break;
        case ptgUplus:
            break;
        case ptgUminus:
            if (Stack.empty())
                Stack.emplace_back(ValMissingText);
            else
                Stack.back().insert(0, 1, '-');
            break;
        case ptgPercent:
            if (Stack.empty())
                Stack.emplace_back(ValMissingText);
            else
                Stack.back() += '%';
            break;
        case ptgParen: {
            std::string& Top = TopFor("parenthesis");
            Top.insert(0, 1, '(');
            Top += ')';
            break;
        }
        case ptgMissArg:
            Stack.emplace_back();
            break;
        case ptgStr:
            PushString();
            break;
        case ptgAttr:
            Attribute();
            break;
        case ptgSheet:
            Tok.Skip(10);
            ExternName = true;
            break;
        case ptgEndSheet:
            Tok.Skip(4);
            ExternName = false;
            break;
        case ptgErr:
            Stack.push_back(ErrorCodeToText(Tok.U8()));
            break;
        case ptgBool:
            Stack.emplace_back(Tok.U8() ? FormulaTrueText : FormulaFalseText);
            break;
        case ptgInt:
            Stack.push_back(std::to_string(Tok.U16()));
            break;
        case ptgNum:
            Stack.push_back(GeneralNumberText(Tok.F64()));
            break;
        case ptgArray:
            Tok.Skip(7);
            PushArray();
            break;
        case ptgFunc:
            Func();
            break;
        case ptgFuncVar:
            FuncVar();
            break;
        case ptgName:
            Name();
            break;
        case ptgRef: {
            const TCellAddr A = ReadAddr();
            std::string Text;
            AppendRefText(Text, A);
            Stack.push_back(std::move(Text));
            break;
        }
        case ptgArea:
            Stack.push_back(AreaText(false));
            break;
        case ptgMemFunc:
            Tok.Skip(2); // the sub-expression's tokens follow and decode as usual
            break;
        case ptgRefErr:
            Tok.Skip(BIFF8 ? 4 : 3);
            Stack.emplace_back(ErrorCodeToText(0x17));
            break;
        case ptgAreaErr:
            Tok.Skip(BIFF8 ? 8 : 6);
            Stack.emplace_back(ErrorCodeToText(0x17));
            break;
        case ptgRefN: {
            const TCellAddr A = ReadAddr(true);
            std::string Text;
            AppendRefText(Text, A);
            Stack.push_back(std::move(Text));
            break;
        }
        case ptgAreaN:
            Stack.push_back(AreaText(true));
            break;
        case ptgNameX:
            NameX();
            break;
        case ptgRef3d:
        case ptgArea3d:
        case ptgRefErr3d:
        case ptgAreaErr3d:
            Ref3d(TokenBase(Id));
            break;
        default:
            Stack.push_back(StrFmt("Unknown ptg[%.2X]", Id));
            return false;
        }
        return true;
    }

    std::string LookupText(uint8_t Kind, int Index, int NameIndex) const
    {
        if (!Lookup)
            return NoLookupText;
        std::string Text;
        Lookup(Kind, Index, NameIndex, Text);
        return Text;
    }

    std::string& TopFor(const char* What)
    {
        if (Stack.empty())
            throw Exception(StrFmt("Too few operands for %s in formula", What));
        return Stack.back();
    }

    void Infix(const char* Op)
    {
        if (Stack.size() < 2) {
            Stack.emplace_back(ValMissingText);
            return;
        }
        std::string Right = std::move(Stack.back());
        Stack.pop_back();
        std::string& Left = Stack.back();
        Left += Op;
        Left += Right;
    }

    // Removes the N top entries; "(" + them, deepest first, separated + ")"
    // is appended to Text.
    void AppendArguments(std::string& Text, size_t N, const char* What, const char* Name)
    {
        if (Stack.size() < N)
            throw Exception(StrFmt("Too few operands for %s %s in formula", What, Name));
        Text += '(';
        for (size_t I = Stack.size() - N; I < Stack.size(); ++I) {
            if (I != Stack.size() - N)
                Text += Sep;
            Text += Stack[I];
        }
        Text += ')';
        Stack.resize(Stack.size() - N);
    }

    // tExp (array formula or shared formula cell) and tTbl (data table cell)
    // carry the address of the cell that holds the formula instead of
    // tokens: row (2), column (2; BIFF2: 1). The cell is shown as a relative
    // reference, in braces for tExp as array formulas are shown.
    bool PushCellPointer(uint8_t Id)
    {
        const uint16_t R = Tok.U16();
        const uint16_t C = Version <= xvExcel21 ? Tok.U8() : Tok.U16();
        std::string Text;
        if (Id == ptgExp)
            Text += '{';
        AppendRefText(Text, {R, C & 0xFF, true, true});
        if (Id == ptgExp)
            Text += '}';
        Stack.push_back(std::move(Text));
        return true;
    }

    void PushString()
    {
        const int Count = Tok.U8();
        std::string Text = "\"";
        if (BIFF8) {
            const uint8_t Flags = Tok.U8();
            if (Flags & 1)
                Text += Utf16LeToUtf8(Tok.Take(2 * Count), 2 * static_cast<size_t>(Count));
            else
                Text += Latin1ToUtf8(Tok.Take(Count), static_cast<size_t>(Count));
        } else {
            Text += EarlyText(Tok.Take(Count), Count);
        }
        Text += '"';
        Stack.push_back(std::move(Text));
    }

    void Attribute()
    {
        const uint8_t Flags = Tok.U8();
        const uint16_t Data = Version <= xvExcel21 ? Tok.U8() : Tok.U16();
        if (Flags & AttrChoose) {
            Tok.Skip(2 * (Data + 1)); // the jump table
        } else if (Flags & AttrSum) {
            std::string& Top = TopFor("SUM attribute");
            Top.insert(0, "SUM(");
            Top += ')';
        }
    }

    void Func()
    {
        const int Index = Version <= xvExcel30 ? Tok.U8() : Tok.U16();
        std::string Text;
        if (Index < ExcelFunctionCount) {
            const TExcelFunctions& F = ExcelFunctions[Index];
            Text = F.Name;
            AppendArguments(Text, F.MinArgs, "function", F.Name);
        } else {
            Text = StrFmt("?<%d>?", Index);
            AppendArguments(Text, 1, "function", Text.c_str());
        }
        Stack.push_back(std::move(Text));
    }

    void FuncVar()
    {
        size_t N = Tok.U8() & 0x7F;
        const char* Name = "1";
        int Index;
        if (Version >= xvExcel50) {
            Index = Tok.U16();
            if (Index < ExcelFunctionCount)
                Name = ExcelFunctions[Index & 0x7FFF].Name;
        } else if (Version == xvExcel40) {
            Index = Tok.U16() & 0xFF;
            Name = ExcelFunctions[Index].Name;
        } else {
            Index = Tok.U8();
            Name = ExcelFunctions[Index].Name;
        }
        std::string Text;
        if (Name[0] >= '0' && Name[0] <= '9' && N == 0) {
            // A command or unlisted function without arguments has no
            // operand to name it (macro sheets store such calls).
            Text = StrFmt("?<%d>?", Index);
        } else if (Name[0] >= '0' && Name[0] <= '9') {
            // Add-in and macro functions: the name travels as the first operand.
            if (Stack.size() < N)
                throw Exception("Too few operands for the function name in formula");
            auto It = Stack.end() - static_cast<std::ptrdiff_t>(N);
            Text = std::move(*It);
            Stack.erase(It);
            --N;
        } else {
            Text = Name;
        }
        const std::string Shown = Text;
        AppendArguments(Text, N, "function", Shown.c_str());
        Stack.push_back(std::move(Text));
    }

    void Name()
    {
        if (BIFF8 || Version == xvExcel50) {
            const uint16_t Index = Tok.U16();
            Tok.Skip(BIFF8 ? 2 : 12);
            Stack.push_back(LookupText(lkName, -1, Index));
        } else {
            Tok.Skip(10);
            Stack.emplace_back(ExternName ? "[EXTERNNAME]" : "[NAME]");
        }
    }

    void NameX()
    {
        if (BIFF8) {
            const uint16_t RefIndex = Tok.U16();
            const uint16_t NameIndex = Tok.U16();
            Tok.Skip(2);
            Stack.push_back(LookupText(lkExternSheet, RefIndex, NameIndex));
        } else {
            const uint16_t SheetIndex = Tok.U16();
            Tok.Skip(8);
            const uint16_t NameIndex = Tok.U16();
            Tok.Skip(12);
            Stack.push_back(LookupText(lkExternName, SheetIndex, NameIndex));
        }
    }

    TCellAddr ReadAddr(bool Relative = false)
    {
        const uint16_t R = Tok.U16();
        const uint16_t C = BIFF8 ? Tok.U16() : Tok.U8();
        return Relative ? RelativeAddr(BIFF8, R, C, Col, Row) : PlainAddr(BIFF8, R, C);
    }

    // first row, last row, first column, last column
    std::string AreaText(bool Relative)
    {
        const uint16_t R1 = Tok.U16();
        const uint16_t R2 = Tok.U16();
        const uint16_t C1 = BIFF8 ? Tok.U16() : Tok.U8();
        const uint16_t C2 = BIFF8 ? Tok.U16() : Tok.U8();
        std::string Text;
        AppendRefText(Text, Relative ? RelativeAddr(BIFF8, R1, C1, Col, Row) : PlainAddr(BIFF8, R1, C1));
        Text += ':';
        AppendRefText(Text, Relative ? RelativeAddr(BIFF8, R2, C2, Col, Row) : PlainAddr(BIFF8, R2, C2));
        return Text;
    }

    // BIFF8: REF index (2), then the tRef/tArea operands; the lookup gives
    // the prefix with its "!". Earlier: EXTERNSHEET index (2, signed,
    // negative for this workbook), 8 reserved, first and last sheet (2 each),
    // then the tRef/tArea operands.
    void Ref3d(uint8_t Base)
    {
        const bool IsArea = Base == ptgArea3d || Base == ptgAreaErr3d;
        const bool IsErr = Base == ptgRefErr3d || Base == ptgAreaErr3d;
        std::string Text;
        if (BIFF8) {
            const uint16_t RefIndex = Tok.U16();
            Text = LookupText(lkExternSheet, RefIndex, -1);
        } else {
            const int16_t SheetIndex = static_cast<int16_t>(Tok.U16());
            Tok.Skip(8);
            const uint16_t First = Tok.U16();
            const uint16_t Last = Tok.U16();
            if (SheetIndex >= 0)
                Text = IsArea ? "[EXTERN ???]:" : LookupText(lkExternSheet, SheetIndex, -1);
            if (First == 0xFFFF || Last == 0xFFFF) {
                Text += "[DELETED]";
            } else if (First == Last) {
                Text += LookupText(lkSheetName, Last, -1);
            } else {
                Text += LookupText(lkSheetName, First, -1);
                Text += ':';
                Text += LookupText(lkSheetName, Last, -1);
            }
            Text += '!';
        }
        if (IsErr) {
            Tok.Skip(IsArea ? (BIFF8 ? 8 : 6) : (BIFF8 ? 4 : 3));
            Text += ErrorCodeToText(0x17);
        } else if (IsArea) {
            Text += AreaText(false);
        } else {
            AppendRefText(Text, ReadAddr());
        }
        Stack.push_back(std::move(Text));
    }

    // The next block of the constant-array area: columns - 1 (1), rows - 1
    // (2), then the values row by row, each a type byte and its data.
    void PushArray()
    {
        const uint32_t Cols = Arr.U8() + 1u;
        const uint32_t Rows = Arr.U16() + 1u;
        const uint32_t Count = Cols * Rows;
        std::string Text = "{";
        for (uint32_t I = 0; I < Count; ++I) {
            const uint8_t Type = Arr.U8();
            if (Type == 0x01) {
                Text += GeneralNumberText(Arr.F64());
            } else if (Type == 0x02) {
                const int Chars = Arr.U16();
                const uint8_t Flags = Arr.U8();
                Text += '"';
                if (Flags & 1)
                    Text += Utf16LeToUtf8(Arr.Take(2 * Chars), 2 * static_cast<size_t>(Chars));
                else if (BIFF8)
                    Text += Latin1ToUtf8(Arr.Take(Chars), static_cast<size_t>(Chars));
                else
                    Text += EarlyText(Arr.Take(Chars), Chars);
                Text += '"';
            } else {
                // A value that cannot be sized: the rest of the area is
                // unreadable, so the block ends here and a later tArray
                // reports its data as missing.
                Text += StrFmt("Bad element ID#%d in array", Type);
                Arr = TByteCursor(nullptr, 0, true);
                Text += Sep;
                break;
            }
            Text += Sep;
        }
        Text.back() = '}';
        Stack.push_back(std::move(Text));
    }
};

} // namespace

std::string DecodeFormulaTokens(TExcelVersion Version, const uint8_t* Tokens, int Len, int Col, int Row,
                                const TFormulaNameLookup& Lookup, const uint8_t* Extra, int ExtraLen)
{
    if (!Tokens || Len <= 0)
        return "[ERROR]";
    return TDecoder(Version, Tokens, Len, Col, Row, Lookup, Extra, ExtraLen).Run();
}
