#pragma once
// TXLSReader: reads one workbook file into the component. It walks every
// record of the workbook stream once, in file order, keeps track of the
// substream it is in (globals, a worksheet, a chart) and hands each record to
// the handler the dispatch table names for its identifier (BiffRecords.h).
//
// Writing a handler: add a member function `void RecXYZ(TBiffRecord& R)`
// below and name it in the record's entry of TABULON_BIFF_RECORDS. Read the
// body only through R.Cursor(); records that follow (CONTINUE, STRING after
// FORMULA) are pulled with ReadNextRecord / PeekNextHeader.

#include "ByteCursor.h"
#include "XLSStream.h"

#include <array>
#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

class TTabulon;
class TSheet;
class TXLSInFileChart;

// One record as the loop delivers it. Body points into the stream's memory
// and is valid until the read ends; copy what must be kept.
struct TBiffRecord {
    uint16_t Id = 0;
    uint16_t Length = 0;
    // The record counter: 1 for the first record after the first BOF.
    int Number = 0;
    std::span<const uint8_t> Body;

    // A cursor over the body whose messages name the record ("FONT record ends early: ...").
    TByteCursor Cursor() const;
};

class TXLSReader {
public:
    explicit TXLSReader(TTabulon& Owner);
    ~TXLSReader();
    TXLSReader(const TXLSReader&) = delete;
    TXLSReader& operator=(const TXLSReader&) = delete;

    // Reads the file named by the owner's Filename into the owner, which has
    // been cleared. Throws Exception on failure; failures inside the record
    // loop read "Error on reading record # N" CR message. What was read before
    // a failure stays in the model; the stream is closed on every path.
    void Read();
    // The same over a file's bytes already in memory (fuzzing, tests).
    void ReadBytes(std::vector<uint8_t> Bytes);
    // A bare workbook stream (no compound document around it) read as Version.
    void ReadWorkbookStream(std::vector<uint8_t> Bytes, TExcelVersion Version);

    // Stream positions after each of the last five dispatched records, newest
    // first. While a handler runs, [0] is the start of the current record's
    // header and [1] the start of the previous one's.
    const std::array<int32_t, 5>& RecPositions() const { return FRecPositions; }

private:
    struct TSheetName {
        std::string Name; // stored form: encoding flag byte first for BIFF8
        uint32_t StreamOffset;
    };
    using THandler = void (TXLSReader::*)(TBiffRecord&);
    struct TDispatchEntry {
        uint16_t Id;
        THandler Handler;
    };
    static std::span<const TDispatchEntry> DispatchTable();
    static const std::array<uint8_t, 65536>& DispatchIndex();

    template <typename TOpen> void Run(TOpen&& Open);
    void ReadFirstBOF();
    void Progress(int Value);

    // For handlers.
    TSheet& CurrentSheet();
    bool ReadNextRecord(TBiffRecord& Next);
    bool PeekNextHeader(TBiffHeader& Header);
    bool LastSheetEnded() const;

    // Handlers named in the dispatch table.
    void RecNone(TBiffRecord&) {}
    void RecPending(TBiffRecord&) {}
    void RecBOF(TBiffRecord& R);
    void RecEOF(TBiffRecord& R);
    void RecFILEPASS(TBiffRecord& R);
    void RecBOUNDSHEET(TBiffRecord& R);

public:
    // Cell value records (CellRecords.cpp).
    struct TCellHeader {
        int Row;
        int Col;
        int Format;
    };

private:
    // Text as a cell record holds it: 8-bit characters, or UTF-16LE bytes.
    struct TCellText {
        bool Wide = false;
        std::string Bytes;
    };
    // One SHRFMLA record of the current sheet: the range it covers and its
    // tokens (TokenSize bytes), followed by the constants of array tokens.
    struct TSharedFormula {
        uint16_t FirstRow, LastRow;
        uint8_t FirstCol, LastCol;
        int TokenSize;
        std::vector<uint8_t> Tokens;
    };
    void RecCODEPAGE(TBiffRecord& R);
    void RecSST(TBiffRecord& R);
    void RecDIMENSIONS(TBiffRecord& R);
    void RecBLANK(TBiffRecord& R);
    void RecBLANK2(TBiffRecord& R);
    void RecMULBLANK(TBiffRecord& R);
    void RecNUMBER(TBiffRecord& R);
    void RecNUMBER2(TBiffRecord& R);
    void RecINTEGER2(TBiffRecord& R);
    void RecRK(TBiffRecord& R);
    void RecMULRK(TBiffRecord& R);
    void RecLABEL(TBiffRecord& R);
    void RecLABEL2(TBiffRecord& R);
    void RecLABELSST(TBiffRecord& R);
    void RecBOOLERR(TBiffRecord& R);
    void RecBOOLERR2(TBiffRecord& R);
    void RecFORMULA(TBiffRecord& R);
    bool InCellSheet() const;
    std::optional<std::span<const uint8_t>> NextContinue();
    int TextCodepage() const;
    void SyncTextCodepage();
    std::string Text8(std::span<const uint8_t> Bytes) const;
    TCellText ReadCellText(TByteCursor& C);
    std::string CellTextToUtf8(const TCellText& Text) const;
    void WriteCellText(const TCellHeader& H, const TCellText& Text);
    std::string ReadStringRecord(TBiffRecord& R);
    void ReadSharedFormula(const TBiffRecord& R);
    bool ApplySharedFormula(int Col, int Row, std::vector<uint8_t>& Tokens, int& TokenSize);
    bool WriteFormulaResult(int Col, int Row, int Format, const uint8_t* Tokens, int Size, const uint8_t* Result);

    TTabulon& FOwner;
    TXLSStream FStream;
    size_t FMaxRecordSize = 0;
    int FRecordCount = 0;
    int FCurrentSheet = -1;
    std::vector<TSheetName> FSheetNames;
    int FSheetNameIndex = -1;
    bool FInWorksheet = false;
    bool FDone = false;
    // The embedded chart that took the last chart substream; a further
    // substream in the same sheet needs a chart of its own.
    const TXLSInFileChart* FLastFilledChart = nullptr;
    std::array<int32_t, 5> FRecPositions{};
    std::vector<TSharedFormula> FSharedFormulas;
};
