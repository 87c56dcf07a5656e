#include "UnitGenerator.h"

// Merged areas, column formats and row records.
void EmitMergedCells(TEmitContext&, int) {}
void EmitColumns(TEmitContext&, int) {}
void EmitRows(TEmitContext&, int) {}
