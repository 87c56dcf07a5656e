#pragma once
// The sheets of a workbook.

#include "XLSChart.h"

#include <memory>
#include <string>
#include <vector>

class TTabulon;
class TSheets;

class TSheet {
public:
    TSheet(TSheets& Collection, int ID);
    ~TSheet();

    // The visible name.
    std::string GetName() const;
    // Value starting with character 0 or 1 is taken as a stored form (flag
    // character first); any other non-empty value gets the flag 0 in front.
    void SetName(const std::string& Value);
    const std::string& StoredName() const { return FName; }
    std::string GetDisplayName() const { return GetName(); }

    void ClearSheet();

    TSheets& Collection() { return FCollection; }
    int ID() const { return FID; }

    // Charts embedded in this sheet, as read from the file.
    TXLSInFileCharts InFileCharts;

private:
    TSheets& FCollection;
    int FID;
    std::string FName;
};

class TSheets {
public:
    explicit TSheets(TTabulon* Owner);
    ~TSheets();
    TSheets(const TSheets&) = delete;
    TSheets& operator=(const TSheets&) = delete;

    TSheet& Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    TSheet& operator[](int Index);
    const TSheet& operator[](int Index) const;
    // Empties every sheet, removes them all and adds one new sheet.
    void ClearAll();
    void SetMaxBufSize(int Size) { FMaxBufSize = Size; }
    int MaxBufSize() const { return FMaxBufSize; }

    TTabulon* GetOwner() const { return FOwner; }

private:
    TTabulon* FOwner;
    std::vector<std::unique_ptr<TSheet>> FItems;
    int FNextID = 0;
    int FMaxBufSize = 8224;
};
