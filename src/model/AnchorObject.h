#pragma once
// TAnchorObject: where a drawing object sits over the cell grid, as a top-left
// and a bottom-right cell with an offset inside each.

#include <cstdint>

class TAnchorObject {
public:
    int32_t Row1 = 0;
    int32_t Col1 = 0;
    int32_t RowOffset1 = 0;
    int32_t ColOffset1 = 0;
    int32_t Row2 = 0;
    int32_t Col2 = 0;
    int32_t RowOffset2 = 0;
    int32_t ColOffset2 = 0;
    // The anchor came from the file and is not recomputed from a note's cell.
    bool AnchorLocked = false;

    void AssignAnchor(const TAnchorObject& Source)
    {
        Row1 = Source.Row1;
        Col1 = Source.Col1;
        RowOffset1 = Source.RowOffset1;
        ColOffset1 = Source.ColOffset1;
        Row2 = Source.Row2;
        Col2 = Source.Col2;
        RowOffset2 = Source.RowOffset2;
        ColOffset2 = Source.ColOffset2;
        AnchorLocked = Source.AnchorLocked;
    }
    void ClearAnchor() { AssignAnchor(TAnchorObject()); }
};
