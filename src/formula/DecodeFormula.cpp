#include "DecodeFormula.h"

#include "ExcelFunc.h"
#include "FormulaRefs.h"
#include "FormulaTokens.h"

#include "model/Exception.h"
#include "model/Locale.h"
#include "model/NumberText.h"

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

void AppendUtf8(std::string& Out, uint32_t Code)
{
    if (Code < 0x80) {
        Out += static_cast<char>(Code);
    } else if (Code < 0x800) {
        Out += static_cast<char>(0xC0 | (Code >> 6));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else if (Code < 0x10000) {
        Out += static_cast<char>(0xE0 | (Code >> 12));
        Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (Code >> 18));
        Out += static_cast<char>(0x80 | ((Code >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((Code >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (Code & 0x3F));
    }
}

// Windows-1252 at 0x80..0x9F (0 where the code page has no character);
// elsewhere it agrees with Latin-1.
constexpr uint16_t Cp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

// 8-bit characters: BIFF8 stores the low bytes of UTF-16 code units
// (Latin-1); earlier versions store the workbook's code page, which the
// decoder is not told, so the default code page Windows-1252 is assumed.
void Append8Bit(std::string& Out, const uint8_t* P, int Count, bool Latin1)
{
    for (int I = 0; I < Count; ++I) {
        uint32_t C = P[I];
        if (!Latin1 && C >= 0x80 && C < 0xA0 && Cp1252High[C - 0x80])
            C = Cp1252High[C - 0x80];
        AppendUtf8(Out, C);
    }
}

// UTF-16LE; an unpaired surrogate becomes U+FFFD.
void Append16Bit(std::string& Out, const uint8_t* P, int Count)
{
    for (int I = 0; I < Count; ++I) {
        uint32_t C = P[2 * I] | (P[2 * I + 1] << 8);
        if (C >= 0xD800 && C < 0xDC00 && I + 1 < Count) {
            const uint32_t Low = P[2 * I + 2] | (P[2 * I + 3] << 8);
            if (Low >= 0xDC00 && Low < 0xE000) {
                AppendUtf8(Out, 0x10000 + ((C - 0xD800) << 10) + (Low - 0xDC00));
                ++I;
                continue;
            }
        }
        if (C >= 0xD800 && C < 0xE000)
            C = 0xFFFD;
        AppendUtf8(Out, C);
    }
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
            Stack.push_back(ErrorText(Tok.U8()));
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
            Stack.emplace_back(ErrorText(0x17));
            break;
        case ptgAreaErr:
            Tok.Skip(BIFF8 ? 8 : 6);
            Stack.emplace_back(ErrorText(0x17));
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

    static std::string ErrorText(uint8_t Code)
    {
        switch (Code) {
        case 0x00: return "#NULL!";
        case 0x07: return "#DIV/0!";
        case 0x0F: return "#VALUE!";
        case 0x17: return "#REF!";
        case 0x1D: return "#NAME?";
        case 0x24: return "#NUM!";
        case 0x2A: return "#N/A";
        default: return "#???";
        }
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
                Append16Bit(Text, Tok.Take(2 * Count), Count);
            else
                Append8Bit(Text, Tok.Take(Count), Count, true);
        } else {
            Append8Bit(Text, Tok.Take(Count), Count, false);
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
        if (Version >= xvExcel50) {
            const uint16_t Field = Tok.U16();
            if (Field < ExcelFunctionCount)
                Name = ExcelFunctions[Field & 0x7FFF].Name;
        } else if (Version == xvExcel40) {
            Name = ExcelFunctions[Tok.U16() & 0xFF].Name;
        } else {
            Name = ExcelFunctions[Tok.U8()].Name;
        }
        std::string Text;
        if (Name[0] >= '0' && Name[0] <= '9') {
            // Add-in and macro functions: the name travels as the first operand.
            if (N == 0 || Stack.size() < N)
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
            Text += ErrorText(0x17);
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
                    Append16Bit(Text, Arr.Take(2 * Chars), Chars);
                else
                    Append8Bit(Text, Arr.Take(Chars), Chars, BIFF8);
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
