#pragma once
// Pictures placed on a sheet.

class TSheetPictures {
public:
    int Count() const { return 0; }
    void Clear() {}
};
