#pragma once
// TSST2: the workbook's shared string table. Text cells of every sheet hold
// an index into it. Entries keep the file's bytes (8-bit or UTF-16LE
// characters, rich-text runs and the phonetic block) and become UTF-8 only
// when their text is handed out.
//
// All entries share one byte buffer, and a chained hash index over the
// 16-bit string hash finds an equal entry without walking the table.

#include <cstddef>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

class TSST2 {
public:
    // One entry as stored. Options bit 0: 16-bit characters; bit 2: a
    // phonetic block; bit 3: rich-text runs.
    struct TEntry {
        uint16_t Hash;
        uint32_t CharCount;
        uint8_t Options;
        uint32_t RunCount;
        uint32_t ExtSize;
        std::span<const uint8_t> Chars; // CharCount bytes, or 2 x CharCount for 16-bit
        std::span<const uint8_t> Runs;  // 4 x RunCount bytes
        std::span<const uint8_t> Ext;   // ExtSize bytes
    };

    TSST2() = default;
    TSST2(const TSST2&) = delete;
    TSST2& operator=(const TSST2&) = delete;

    // The index of the first 8-bit entry with these bytes, appended when there
    // is none. 16-bit entries never match: their bytes differ.
    int AddString(std::string_view Text);
    // As AddString, for 16-bit text (matches 16-bit entries only).
    int AddWideString(std::u16string_view Text);
    // Appends one string as read from the file, without looking for an equal
    // entry. Chars holds the characters in the width Options bit 0 gives;
    // Runs (4 bytes per run) and Ext are kept as raw bytes.
    int Append(uint8_t Options, std::span<const uint8_t> Chars, std::span<const uint8_t> Runs = {},
               std::span<const uint8_t> Ext = {});

    // Appends the strings of an SST record: Body is its body, Next gives the
    // body of each CONTINUE record that follows (consuming it), or nothing
    // when the next record is not one. Entries read before a failure stay in
    // the table.
    void Read(std::span<const uint8_t> Body,
              const std::function<std::optional<std::span<const uint8_t>>()>& Next);

    // Raises "SST index out of range (%d:%d)" for an index naming no entry.
    void UseString(int Index) const;
    // The entry's text as UTF-8; empty for an index naming no entry.
    std::string GetString(int Index) const;
    void Clear();

    int Count() const { return static_cast<int>(FEntries.size()); }
    TEntry Entry(int Index) const;

    // The largest record body of the file's version; the SST reader splits at it.
    void SetMaxBufSize(int Size) { FMaxBufSize = Size; }
    int MaxBufSize() const { return FMaxBufSize; }
    // Code page of 8-bit entries. The BIFF8 value 1200 decodes them as Latin-1
    // (compressed UTF-16); BIFF2 to BIFF5 use the workbook's CODEPAGE.
    void SetCodepage(int Codepage) { FCodepage = Codepage; }
    int Codepage() const { return FCodepage; }

private:
    struct TRec {
        size_t Offset;       // characters, runs and phonetic block follow each other
        uint32_t CharCount;
        uint32_t RunCount;
        uint32_t ExtSize;
        int32_t NextSameBucket; // next higher index in the bucket, or -1
        uint16_t Hash;
        uint8_t Options;
    };

    size_t CharBytes(const TRec& R) const { return size_t(R.CharCount) * ((R.Options & 1) ? 2 : 1); }
    int FindOrAdd(uint8_t Options, const uint8_t* Chars, size_t Len);
    int AppendRec(uint8_t Options, const uint8_t* Chars, size_t Len, std::span<const uint8_t> Runs,
                  std::span<const uint8_t> Ext);
    void Link(int Index);
    void Rehash(size_t Buckets);

    std::vector<TRec> FEntries;
    std::vector<uint8_t> FBytes;
    std::vector<int32_t> FHead; // first (lowest) index per bucket, or -1
    std::vector<int32_t> FTail;
    int FMaxBufSize = 8224;
    int FCodepage = 1200;
};
