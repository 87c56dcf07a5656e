#pragma once
// BIFF8 strings and the record bodies they are read from, which may carry on
// in CONTINUE records.
//
// String layout: character count (2 bytes), option byte (bit 0: 16-bit
// characters; bit 2: a phonetic block follows; bit 3: rich-text runs follow),
// run count (2 bytes, with bit 3), phonetic block size (4 bytes, with bit 2),
// the characters, 4 bytes per run, the phonetic block.
//
// Splitting: when a string's characters do not fit in a record, the rest
// carries on in the next CONTINUE record, whose body starts with one byte
// giving the width of the characters in that record only (1 = 16-bit,
// anything else 8-bit); so one string may come in pieces of different widths.
// Run and phonetic blocks, and anything else, carry on with no such byte.

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>

class TContinuedReader {
public:
    // Next gives the body of the record after the current one when that
    // record is a CONTINUE record (and consumes it), else nothing (and leaves
    // it). Reading on where no CONTINUE record follows throws Missing.
    using TNextBody = std::function<std::optional<std::span<const uint8_t>>()>;
    TContinuedReader(std::span<const uint8_t> Body, TNextBody Next, std::string Missing);

    size_t Left() const { return FBody.size() - FPos; }
    // At the end of the current record: moves into the next record when it
    // is a CONTINUE record; false (and nothing read) when it is not.
    bool TryNextRecord();

    // Fixed fields and blocks. A record used up at the start of a field or
    // ending inside one goes on in the next record, with no width byte.
    uint8_t U8();
    uint16_t U16();
    uint32_t U32();
    void Block(size_t Count, std::string& Out);
    void SkipRest() { FPos = FBody.size(); }

    // Count characters starting in the given width, across as many records as
    // they need. Out receives them in the stored width: 8-bit bytes when every
    // piece was 8-bit, else 16-bit little-endian code units with 8-bit pieces
    // widened. Returns whether the result is 16-bit.
    bool Chars(size_t Count, bool Wide, std::string& Out);

private:
    void NextRecord();

    std::span<const uint8_t> FBody;
    size_t FPos = 0;
    TNextBody FNext;
    std::string FMissing;
};

// A BIFF8 string as stored: characters in their stored width (Options bit 0
// set when any piece was 16-bit), then the raw run and phonetic bytes.
struct TBiffString {
    uint16_t CharCount = 0;
    uint8_t Options = 0;
    uint16_t RunCount = 0;
    uint32_t ExtSize = 0;
    std::string Chars;
    std::string Runs;
    std::string Phonetic;
    bool Wide() const { return (Options & 1) != 0; }
};

// Reads the option byte's optional fields, the characters, the runs and the
// phonetic block of a string whose count and option byte have been read.
// Options must be one of the legal values (checked by the caller, whose
// message differs by record).
void ReadBiffStringBody(TContinuedReader& Reader, uint16_t CharCount, uint8_t Options, TBiffString& Out);

bool IsLegalStringOptions(uint8_t Options);

// Characters of a string in stored width as UTF-8: 8-bit characters are
// Latin-1 (the low bytes of UTF-16 code units), 16-bit ones UTF-16LE.
std::string BiffCharsToUtf8(std::string_view Chars, bool Wide);
