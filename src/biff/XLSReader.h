#pragma once
// TXLSReader: reads one workbook file into the component.

class TTabulon;

class TXLSReader {
public:
    explicit TXLSReader(TTabulon& Owner);
    ~TXLSReader();
    void Read();

private:
    TTabulon& FOwner;
};
