#include "CellDump.h"

#include "CellValueEmitter.h"
#include "model/CellStorage.h"
#include "model/Tabulon.h"
#include "model/XLSUtils.h"

#include <charconv>
#include <cmath>
#include <cstring>
#include <exception>
#include <string>

namespace {

const char* KindName(TCellType Type)
{
    switch (Type) {
    case ctBlank: return "Blank";
    case ctFloat: return "Float";
    case ctString: return "String";
    case ctBoolean: return "Boolean";
    case ctError: return "Error";
    case ctNumberFormula: return "NumberFormula";
    case ctStringFormula: return "StringFormula";
    case ctBooleanFormula: return "BooleanFormula";
    case ctErrorFormula: return "ErrorFormula";
    case ctArrayFormula: return "ArrayFormula";
    }
    return "Unknown";
}

void AppendInt(std::string& Out, int Value)
{
    char Buf[16];
    Out.append(Buf, std::to_chars(Buf, Buf + sizeof Buf, Value).ptr);
}

void AppendNumber(std::string& Out, double Value)
{
    if (std::isnan(Value)) {
        Out += "nan";
        return;
    }
    if (std::isinf(Value)) {
        Out += Value > 0 ? "inf" : "-inf";
        return;
    }
    char Buf[32];
    Out.append(Buf, ShortestDouble(Buf, Buf + sizeof Buf, Value));
}

void AppendEscaped(std::string& Out, std::string_view Text)
{
    for (const char C : Text) {
        switch (C) {
        case '\t': Out += "\\t"; break;
        case '\n': Out += "\\n"; break;
        case '\r': Out += "\\r"; break;
        case '\\': Out += "\\\\"; break;
        default: Out += C;
        }
    }
}

const char* ErrorText(TCellError E)
{
    return ErrorTexts[static_cast<size_t>(E) < ErrorTexts.size() ? E : 0];
}

// An array formula keeps its result as the record's 8 bytes: a double unless
// bytes 6 and 7 are 0xFF (then byte 0 is the kind: 1 Boolean, 2 error, with
// the value in byte 2; a text result is not kept with the cell).
void AppendArrayResult(std::string& Out, double Value)
{
    uint8_t B[8];
    std::memcpy(B, &Value, sizeof B);
    uint64_t Bits;
    std::memcpy(&Bits, &Value, sizeof Bits);
    const auto Byte = [&](int I) { return static_cast<uint8_t>(Bits >> (8 * I)); };
    if (Byte(6) == 0xFF && Byte(7) == 0xFF) {
        switch (Byte(0)) {
        case 1: Out += Byte(2) ? "TRUE" : "FALSE"; return;
        case 2: Out += ErrorCodeToText(Byte(2)); return;
        default: return;
        }
    }
    AppendNumber(Out, Value);
}

} // namespace

void DumpCells(TTabulon& XLS, std::ostream& Out)
{
    std::string Buf;
    Buf.reserve(1 << 16);
    for (int S = 0; S < XLS.Sheets().Count(); ++S) {
        TSheet& Sheet = XLS.Sheets()[S];
        TCellStorage& Cells = Sheet.Cells;
        const std::string SheetField = std::to_string(S) + '\t';
        Cells.BeginIterate();
        for (TCell* Cell = Cells.GetNext(); Cell; Cell = Cells.GetNext()) {
            const int Col = Cell->Col();
            const int Row = Cell->Row();
            Buf += SheetField;
            AppendInt(Buf, Row);
            Buf += '\t';
            AppendInt(Buf, Col);
            Buf += '\t';
            Buf += KindName(Cell->CellType());
            Buf += '\t';
            switch (Cell->CellType()) {
            case ctBlank: break;
            case ctFloat: AppendNumber(Buf, static_cast<TFloatCell*>(Cell)->Value); break;
            case ctString: AppendEscaped(Buf, Sheet.CellText(*Cell)); break;
            case ctBoolean: Buf += static_cast<TBooleanCell*>(Cell)->Value ? "TRUE" : "FALSE"; break;
            case ctError: Buf += ErrorText(static_cast<TErrorCell*>(Cell)->Value); break;
            case ctNumberFormula: AppendNumber(Buf, static_cast<TNumberFormulaCell*>(Cell)->Value); break;
            case ctStringFormula: AppendEscaped(Buf, static_cast<TStringFormulaCell*>(Cell)->Value); break;
            case ctBooleanFormula: Buf += static_cast<TBooleanFormulaCell*>(Cell)->Value ? "TRUE" : "FALSE"; break;
            case ctErrorFormula: Buf += ErrorText(static_cast<TErrorFormulaCell*>(Cell)->Value); break;
            case ctArrayFormula: AppendArrayResult(Buf, static_cast<TArrayFormulaCell*>(Cell)->Value); break;
            }
            Buf += '\t';
            if (Cell->IsFormula()) {
                // One formula the decoder cannot read does not end the dump.
                try {
                    AppendEscaped(Buf, Sheet.FormulaText(*static_cast<TFormulaCell*>(Cell)));
                } catch (const std::exception& E) {
                    Buf += "<error: ";
                    AppendEscaped(Buf, E.what());
                    Buf += '>';
                }
            }
            Buf += '\n';
            if (Buf.size() > (1 << 16) - 512) {
                Out.write(Buf.data(), static_cast<std::streamsize>(Buf.size()));
                Buf.clear();
            }
        }
    }
    Out.write(Buf.data(), static_cast<std::streamsize>(Buf.size()));
}
