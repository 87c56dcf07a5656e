#pragma once
// Data validations of a sheet.

class TDataValidations {
public:
    int Count() const { return 0; }
    void Clear() {}
};
