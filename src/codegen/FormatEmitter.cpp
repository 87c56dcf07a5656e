#include "UnitGenerator.h"

// Fonts and formats: their blocks come with the formatting work.
void EmitFont(TEmitContext&, int) {}
void EmitFormat(TEmitContext&, int) {}
