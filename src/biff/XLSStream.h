#pragma once
// TXLSStream: the only place the reader touches the input file. It opens a
// plain BIFF2-4 file or the "Workbook"/"Book" stream of a compound document,
// reads those bytes into memory once, and serves every record read from
// there, so walking the records costs no system calls.

#include "CompoundFile.h"
#include "model/TabulonRecs.h"

#include <cstdint>
#include <span>
#include <string>
#include <vector>

// The 4-byte header before every record body: identifier, then body length,
// each a 16-bit little-endian word.
struct TBiffHeader {
    uint16_t RecId = 0;
    uint16_t RecLen = 0;
};

class TXLSStream {
public:
    TXLSStream() = default;
    ~TXLSStream() { Close(); }
    TXLSStream(const TXLSStream&) = delete;
    TXLSStream& operator=(const TXLSStream&) = delete;

    // Opens FileName and detects its version; the position is 0 afterwards.
    // Plain files: 09 00, 09 02, 09 04 at the start give BIFF2, 3, 4; anything
    // else gives xvNone (the caller decides, from the first record, whether it
    // is a BIFF file at all). Compound documents: "Workbook" gives xvExcel97,
    // else "Book" xvExcel50 (names compared exactly); neither throws "File is
    // not a Excel Workbook". When the chosen stream cannot be read the result
    // is xvNone with StreamError() saying why and nothing to read. Throws
    // Exception naming the file when it cannot be opened or read.
    TExcelVersion OpenRead(const std::string& FileName);
    // The same detection over bytes already in memory (fuzzing, tests).
    TExcelVersion OpenBytes(std::vector<uint8_t> Bytes);
    // A workbook stream already taken out of its compound document, read as
    // Version (xvExcel50 for "Book", xvExcel97 for "Workbook"); returns Version.
    TExcelVersion OpenWorkbookStream(std::vector<uint8_t> Bytes, TExcelVersion Version);

    // Reads the next header; returns the number of bytes read (4, or fewer at
    // the end of the stream, in which case Header is untouched).
    int ReadHeader(TBiffHeader& Header)
    {
        const size_t Left = Remaining();
        if (Left < 4) {
            FPos += Left;
            return static_cast<int>(Left);
        }
        const uint8_t* P = FData.data() + FPos;
        Header.RecId = static_cast<uint16_t>(P[0] | (P[1] << 8));
        Header.RecLen = static_cast<uint16_t>(P[2] | (P[3] << 8));
        FPos += 4;
        return 4;
    }
    // Copies up to Count bytes; returns how many were copied.
    int Read(void* Buffer, int Count);
    // Up to Count bytes at the position, without copying; the position moves
    // past them. The span stays valid until Close or the next OpenRead.
    std::span<const uint8_t> ReadSpan(size_t Count)
    {
        const size_t Got = Count < Remaining() ? Count : Remaining();
        const std::span<const uint8_t> Result(FData.data() + (FPos < FData.size() ? FPos : FData.size()), Got);
        FPos += Got;
        return Result;
    }
    // Origin 0 = from the start, 1 = from the position, 2 = from the end.
    // Positions past the end are allowed (reads there return nothing); a
    // position before the start throws. Returns the new position.
    int64_t Seek(int32_t Offset, uint16_t Origin);
    int64_t Position() const { return static_cast<int64_t>(FPos); }
    size_t Remaining() const { return FPos < FData.size() ? FData.size() - FPos : 0; }

    void Close();
    bool IsOpen() const { return FOpen; }
    // True when the file is a compound document.
    bool IsCompound() const { return FCompound; }
    // Why the workbook stream of a compound document could not be read; empty
    // when it was read.
    const std::string& StreamError() const { return FStreamError; }
    // The name of the stream being read ("Workbook" or "Book"); empty for plain files.
    const std::string& StreamName() const { return FStreamName; }
    // The first bytes of the file as opened, for telling other formats apart.
    std::span<const uint8_t> Data() const { return FData; }

    // Size in bytes of the workbook stream or plain file.
    int32_t StreamSize = 0;
    // When true, every sub-storage of a compound document's root is copied
    // into ExtraObjects while the file is opened.
    bool PreserveMacros = true;
    std::vector<TStorageCopy>* ExtraObjects = nullptr;

private:
    TExcelVersion DetectPlain();
    TExcelVersion OpenCompound(TCompoundFile& File);

    std::vector<uint8_t> FData;
    size_t FPos = 0;
    bool FOpen = false;
    bool FCompound = false;
    std::string FStreamError;
    std::string FStreamName;
};
