#include "CellValueEmitter.h"

#include "PascalText.h"
#include "UnitGenerator.h"
#include "model/CellStorage.h"
#include "model/Tabulon.h"

#include <charconv>
#include <string>

namespace {

void AppendInt(std::string& Line, int Value)
{
    char Buf[16];
    Line.append(Buf, std::to_chars(Buf, Buf + sizeof Buf, Value).ptr);
}

} // namespace

// One line per stored cell, rows first, then columns: the sheet's writing
// call for the cell's kind. Text and formula text go through PascalString,
// so apostrophes and control characters never break the generated line;
// numbers are written so that they read back as the same double. Error
// constants, text and Boolean formula results and array formulas get no
// line; a formula with an error result becomes the text [FORMULA ERROR].
void EmitCellValues(TEmitContext& Ctx, int SheetIndex)
{
    TSheet& Sheet = Ctx.XLS.Sheets()[SheetIndex];
    TCellStorage& Cells = Sheet.Cells;
    const std::string Prefix = "  XLS.Sheets[" + std::to_string(SheetIndex) + "].";
    std::string Line;
    Cells.BeginIterate();
    for (TCell* Cell = Cells.GetNext(); Cell; Cell = Cells.GetNext()) {
        const int F = Ctx.Options.Formatting ? Cell->FormatIndex : 0;
        const int C = Cell->Col();
        const int R = Cell->Row();
        auto Start = [&](const char* Call) {
            Line = Prefix;
            Line += Call;
            Line += '(';
            AppendInt(Line, C);
            Line += ',';
            AppendInt(Line, R);
            Line += ',';
            AppendInt(Line, F);
        };
        switch (Cell->CellType()) {
        case ctBlank:
            Start("WriteBlank");
            break;
        case ctFloat:
            Start("WriteNumber");
            Line += ',';
            AppendFloatToPascal(Line, static_cast<TFloatCell*>(Cell)->Value);
            break;
        case ctString:
            Start("WriteString");
            Line += ',';
            AppendPascalString(Line, Sheet.CellText(*Cell));
            break;
        case ctBoolean:
            Start("WriteBoolean");
            Line += static_cast<TBooleanCell*>(Cell)->Value ? ",True" : ",False";
            break;
        case ctNumberFormula:
            Start("WriteNumFormula");
            Line += ',';
            AppendPascalString(Line, Sheet.FormulaText(*static_cast<TFormulaCell*>(Cell)));
            Line += ',';
            AppendFloatToPascal(Line, static_cast<TNumberFormulaCell*>(Cell)->Value);
            break;
        case ctErrorFormula:
            Start("WriteString");
            Line += ",'[FORMULA ERROR]'";
            break;
        default:
            continue;
        }
        Line += ");";
        Ctx.Out.AddLine(Line);
    }
}
