#pragma once
// The unit generator: writes the Pascal unit that rebuilds the workbook held
// by the component.

#include "LineSink.h"

#include <string>

class TTabulon;

struct TUnitOptions {
    bool Formatting = true; // "Cell formatting": fonts and formats, format indexes of cells
    bool Values = true;     // "Cell values"
    bool Merged = true;     // "Merged cells"
    bool Columns = true;    // "Column widths"
    bool Rows = true;       // "Row heights"
    std::string PasFile = "ExcelFile.pas"; // gives the unit name
};

// What every emitter gets.
struct TEmitContext {
    TTabulon& XLS;
    const TUnitOptions& Options;
    TLineSink& Out;
};

void GenerateUnit(TTabulon& XLS, const TUnitOptions& Options, TLineSink& Out);

// The emitters of the local procedures' bodies.
void EmitFont(TEmitContext& Ctx, int FontIndex);
void EmitFormat(TEmitContext& Ctx, int FormatIndex);
void EmitCellValues(TEmitContext& Ctx, int SheetIndex);
void EmitMergedCells(TEmitContext& Ctx, int SheetIndex);
void EmitColumns(TEmitContext& Ctx, int SheetIndex);
void EmitRows(TEmitContext& Ctx, int SheetIndex);
