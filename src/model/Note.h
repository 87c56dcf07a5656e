#pragma once
// Cell notes of a sheet.

class TNotes {
public:
    int Count() const { return 0; }
    void Clear() {}
};
