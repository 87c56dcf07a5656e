#pragma once
// Raw BIFF records kept as read, for substreams the program does not
// interpret (charts).

#include "model/AnchorObject.h"

#include <cstdint>
#include <span>
#include <vector>

class TXLSStream;

struct TStoredRecord {
    uint16_t RecId = 0;
    uint16_t Length = 0;
    std::vector<uint8_t> Data; // exactly Length bytes
};

class TRecordStorage {
public:
    TRecordStorage() = default;
    virtual ~TRecordStorage() = default;
    TRecordStorage(const TRecordStorage&) = delete;
    TRecordStorage& operator=(const TRecordStorage&) = delete;

    // Copies the body; returns the new entry's index.
    int Add(uint16_t RecId, std::span<const uint8_t> Body);
    int Count() const { return static_cast<int>(FItems.size()); }
    // Throws Exception for an index outside the list.
    const TStoredRecord& Items(int Index) const;
    void Clear() { FItems.clear(); }

    // Stores the records from the stream's position up to the next EOF, which
    // is consumed (with its body) and not stored; the end of the stream ends
    // the storage quietly. A record whose body is longer than MaxBody is
    // skipped unstored, as the reader's loop skips it. A body that runs past
    // the end of the stream throws Exception.
    void ReadUntilEOF(TXLSStream& Stream, size_t MaxBody);

private:
    std::vector<TStoredRecord> FItems;
};

// The records of a chart substream plus the cell anchor of its chart frame.
class TRecordStorageAnchor : public TRecordStorage {
public:
    TAnchorObject Anchor;
};
