#include "RecordStorage.h"

#include "BiffRecords.h"
#include "XLSStream.h"
#include "model/Exception.h"

int TRecordStorage::Add(uint16_t RecId, std::span<const uint8_t> Body)
{
    TStoredRecord& Item = FItems.emplace_back();
    Item.RecId = RecId;
    Item.Length = static_cast<uint16_t>(Body.size());
    Item.Data.assign(Body.begin(), Body.end());
    return Count() - 1;
}

const TStoredRecord& TRecordStorage::Items(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw Exception(StrFmt("List index out of bounds (%d)", Index));
    return FItems[static_cast<size_t>(Index)];
}

void TRecordStorage::ReadUntilEOF(TXLSStream& Stream, size_t MaxBody)
{
    TBiffHeader Header;
    while (Stream.ReadHeader(Header) == 4) {
        if (Header.RecLen > Stream.Remaining())
            throw Exception(StrFmt("Record 0x%.4X runs past the end of the stream: %u bytes announced, %zu left",
                                   Header.RecId, Header.RecLen, Stream.Remaining()));
        // The EOF's body (normally empty) is stepped over too, so the caller
        // goes on at the next record, not inside this one.
        if (Header.RecId == brEOF || Header.RecLen > MaxBody) {
            Stream.Seek(Header.RecLen, 1);
            if (Header.RecId == brEOF)
                return;
            continue;
        }
        Add(Header.RecId, Stream.ReadSpan(Header.RecLen));
    }
}
