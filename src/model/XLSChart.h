#pragma once
// In-file charts: every chart met in a workbook file, kept as the raw records
// of its chart substream. The component holds the chart sheets' list; every
// sheet holds the list of charts embedded in it.

#include "biff/RecordStorage.h"

#include <memory>
#include <string>
#include <vector>

class TTabulon;

class TXLSInFileChart {
public:
    explicit TXLSInFileChart(TTabulon* Owner) : FOwner(Owner) {}

    // The chart substream's records (without its BOF and EOF) and, for an
    // embedded chart, the anchor of its frame.
    TRecordStorageAnchor& Records() { return FRecords; }
    const TRecordStorageAnchor& Records() const { return FRecords; }
    // A chart sheet's name in the stored form of sheet names (encoding flag
    // byte first, as BOUNDSHEET gives it); empty for an embedded chart.
    std::string Name;
    TTabulon* Owner() const { return FOwner; }

private:
    TRecordStorageAnchor FRecords;
    TTabulon* FOwner;
};

class TXLSInFileCharts {
public:
    TXLSInFileChart& Add(TTabulon* Owner);
    int Count() const { return static_cast<int>(FItems.size()); }
    // Throws Exception for an index outside the list.
    TXLSInFileChart& Items(int Index);
    const TXLSInFileChart& Items(int Index) const;
    void Clear() { FItems.clear(); }

private:
    // Entries keep their address while the list grows.
    std::vector<std::unique_ptr<TXLSInFileChart>> FItems;
};

// Charts defined on a sheet.
class TXLSCharts {
public:
    int Count() const { return 0; }
    void Clear() {}
};
