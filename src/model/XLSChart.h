#pragma once
// Charts defined on a sheet.

class TXLSCharts {
public:
    int Count() const { return 0; }
    void Clear() {}
};
