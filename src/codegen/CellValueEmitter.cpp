#include "UnitGenerator.h"

void EmitCellValues(TEmitContext&, int) {}
