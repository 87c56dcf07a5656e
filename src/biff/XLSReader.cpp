#include "XLSReader.h"

#include "model/TextCodec.h"

#include "BiffRecords.h"
#include "ForeignFormat.h"
#include "model/Exception.h"
#include "model/Tabulon.h"

#include <cmath>
#include <new>

namespace {

// The first BOF of BIFF2 to BIFF8 is at most 20 bytes; a larger one means
// the file is not what its first bytes claim.
constexpr uint16_t MaxBOFSize = 256;

const char* RecordContext(uint16_t Id)
{
    switch (Id) {
#define TABULON_BIFF_CONTEXT(E, Id, Name, Handler)                                                                     \
    case Id:                                                                                                           \
        return Name " record";
        TABULON_BIFF_RECORDS(TABULON_BIFF_CONTEXT)
#undef TABULON_BIFF_CONTEXT
    }
    return IsBOFId(Id) ? "BOF record" : "record";
}

[[noreturn]] void ThrowPastEnd(uint16_t Id, uint16_t Length, size_t Left)
{
    const char* Name = BiffRecordName(Id);
    throw Exception(StrFmt("Record 0x%.4X%s%s%s runs past the end of the stream: %u bytes announced, %zu left", Id,
                           Name ? " (" : "", Name ? Name : "", Name ? ")" : "", Length, Left));
}

} // namespace

TByteCursor TBiffRecord::Cursor() const
{
    return TByteCursor(Body, RecordContext(Id));
}

TXLSReader::TXLSReader(TTabulon& Owner) : FOwner(Owner)
{
    FStream.PreserveMacros = Owner.PreserveMacros;
}

TXLSReader::~TXLSReader() = default;

std::span<const TXLSReader::TDispatchEntry> TXLSReader::DispatchTable()
{
    static const TDispatchEntry Table[] = {
#define TABULON_BIFF_DISPATCH(E, Id, Name, Handler) {Id, &TXLSReader::Handler},
        TABULON_BIFF_RECORDS(TABULON_BIFF_DISPATCH)
#undef TABULON_BIFF_DISPATCH
    };
    return Table;
}

// Identifier -> 1-based position in DispatchTable (0 = no entry), so that a
// record is dispatched with one array load whatever its identifier.
const std::array<uint8_t, 65536>& TXLSReader::DispatchIndex()
{
    static const std::array<uint8_t, 65536> Index = [] {
        std::array<uint8_t, 65536> Result{};
        const auto Table = DispatchTable();
        static_assert(BiffRecordCount < 255, "the dispatch index holds positions in one byte");
        // Entries that do nothing get no slot, so most records cost no call;
        // a BOF-like identifier keeps its slot so it is not taken for a BOF.
        for (size_t I = 0; I < Table.size(); ++I) {
            const bool NoOp = Table[I].Handler == &TXLSReader::RecNone || Table[I].Handler == &TXLSReader::RecPending;
            if (!NoOp || IsBOFId(Table[I].Id))
                Result[Table[I].Id] = static_cast<uint8_t>(I + 1);
        }
        return Result;
    }();
    return Index;
}

void TXLSReader::Read()
{
    Run([this] { return FStream.OpenRead(FOwner.Filename); });
}

void TXLSReader::ReadBytes(std::vector<uint8_t> Bytes)
{
    Run([this, &Bytes] { return FStream.OpenBytes(std::move(Bytes)); });
}

void TXLSReader::ReadWorkbookStream(std::vector<uint8_t> Bytes, TExcelVersion Version)
{
    Run([this, &Bytes, Version] { return FStream.OpenWorkbookStream(std::move(Bytes), Version); });
}

template <typename TOpen> void TXLSReader::Run(TOpen&& Open)
{
    // The stream is closed however the read ends.
    struct TCloser {
        TXLSStream& Stream;
        ~TCloser() { Stream.Close(); }
    } Closer{FStream};

    FCurrentSheet = -1;
    FSheetNames.clear();
    FSheetNameIndex = -1;
    FInWorksheet = false;
    FDone = false;
    FRecordCount = 0;
    FLastFilledChart = nullptr;
    FRecPositions.fill(0);
    FStream.ExtraObjects = &FOwner.ExtraObjects;

    FOwner.SetVersion(Open());
    if (FStream.IsCompound() && !FStream.StreamError().empty())
        throw Exception("Cannot read the workbook stream \"" + FStream.StreamName() + "\": " + FStream.StreamError());
    FMaxRecordSize = static_cast<size_t>(FOwner.MaxRecordSize());
    FSharedFormulas.clear();
    SyncTextCodepage();

    ReadFirstBOF();
    Progress(0);

    const uint8_t* const Index = DispatchIndex().data();
    const TDispatchEntry* const Table = DispatchTable().data();
    int ProgressCount = 0;
    TBiffHeader Header;
    try {
        while (!FDone && FStream.ReadHeader(Header) == 4) {
            ++FRecordCount;
            if (Header.RecLen > FStream.Remaining())
                ThrowPastEnd(Header.RecId, Header.RecLen, FStream.Remaining());
            if (Header.RecLen > FMaxRecordSize) {
                // Longer than any record this version may hold: skipped unread.
                FStream.Seek(Header.RecLen, 1);
                continue;
            }
            TBiffRecord Record{Header.RecId, Header.RecLen, FRecordCount, FStream.ReadSpan(Header.RecLen)};
            if (++ProgressCount == 100) {
                ProgressCount = 0;
                if (FOwner.OnProgress && FStream.StreamSize > 0)
                    Progress(static_cast<int>(
                        std::nearbyint(static_cast<double>(FStream.Position()) * 100.0 / FStream.StreamSize)));
            }
            if (const uint8_t Slot = Index[Record.Id])
                (this->*Table[Slot - 1u].Handler)(Record);
            else if (IsBOFId(Record.Id))
                RecBOF(Record);
            std::copy_backward(FRecPositions.begin(), FRecPositions.end() - 1, FRecPositions.end());
            FRecPositions[0] = static_cast<int32_t>(FStream.Position());
        }
    } catch (const std::bad_alloc&) {
        throw;
    } catch (const std::exception& E) {
        throw Exception(StrFmt("Error on reading record # %d", FRecordCount) + "\r" + E.what());
    }
    Progress(100);
}

void TXLSReader::ReadFirstBOF()
{
    TBiffHeader Header;
    if (FStream.ReadHeader(Header) != 4 || !IsBOFId(Header.RecId)) {
        const std::string Kind = DescribeForeignFormat(FStream.Data());
        throw Exception(Kind.empty() ? "BOF is missing in file" : "BOF is missing in file (" + Kind + ")");
    }
    if (Header.RecLen > MaxBOFSize)
        throw Exception("Invalid BOF size");
    if (Header.RecLen > FStream.Remaining())
        ThrowPastEnd(Header.RecId, Header.RecLen, FStream.Remaining());
    TBiffRecord BOF{Header.RecId, Header.RecLen, 0, FStream.ReadSpan(Header.RecLen)};
    // BIFF2 to BIFF8 all carry the version and the substream type; without
    // them the substream cannot be told.
    if (BOF.Length < 4)
        throw Exception("Invalid BOF size");
    TByteCursor Body = BOF.Cursor();
    const uint16_t BiffVersion = Body.U16("the BIFF version");
    const uint16_t Type = Body.U16("the substream type");
    // Some writers put BIFF8 records in a "Book" stream; the BOF says so.
    if (FOwner.GetVersion() == xvExcel50 && BOF.Id == 0x0809 && BiffVersion == 0x0600) {
        FOwner.SetVersion(xvExcel97);
        FMaxRecordSize = static_cast<size_t>(FOwner.MaxRecordSize());
        SyncTextCodepage();
    }
    // A worksheet file (BIFF2-4) has no globals: its cells go to the first sheet.
    if (Type == bsWorksheet)
        FCurrentSheet = 0;
    // Bit 4 of the BIFF8 file-history flags at offset 8 marks a Macintosh file.
    FOwner.IsMac = FOwner.GetVersion() == xvExcel97 && BOF.Length >= 12 && (BOF.Body[8] & 0x10) != 0;
}

void TXLSReader::Progress(int Value)
{
    if (FOwner.OnProgress)
        FOwner.OnProgress(Value);
}

TSheet& TXLSReader::CurrentSheet()
{
    return FOwner.Sheets()[FCurrentSheet];
}

bool TXLSReader::ReadNextRecord(TBiffRecord& Next)
{
    TBiffHeader Header;
    if (FStream.ReadHeader(Header) != 4)
        return false;
    if (Header.RecLen > FStream.Remaining())
        ThrowPastEnd(Header.RecId, Header.RecLen, FStream.Remaining());
    Next = TBiffRecord{Header.RecId, Header.RecLen, FRecordCount, FStream.ReadSpan(Header.RecLen)};
    return true;
}

bool TXLSReader::PeekNextHeader(TBiffHeader& Header)
{
    if (FStream.Remaining() < 4)
        return false;
    FStream.ReadHeader(Header);
    FStream.Seek(-4, 1);
    return true;
}

bool TXLSReader::LastSheetEnded() const
{
    return FSheetNames.empty() || FSheetNameIndex >= static_cast<int>(FSheetNames.size()) - 1;
}

void TXLSReader::RecBOF(TBiffRecord& R)
{
    TByteCursor Body = R.Cursor();
    Body.Skip(2, "the BIFF version");
    const uint16_t Type = Body.U16("the substream type");
    if (!FInWorksheet)
        FInWorksheet = Type == bsWorksheet;

    if (Type == bsChart) {
        TXLSInFileChart* Chart;
        if (!FInWorksheet) {
            // A chart sheet: it takes the next BOUNDSHEET name.
            ++FSheetNameIndex;
            Chart = &FOwner.InFileCharts.Add(&FOwner);
            if (FSheetNameIndex < static_cast<int>(FSheetNames.size()))
                Chart->Name = FSheetNames[static_cast<size_t>(FSheetNameIndex)].Name;
        } else {
            // Embedded in the worksheet being read: the chart frame read from
            // the sheet's drawing records made its in-file chart. Files
            // without drawing records (or with a second substream for one
            // frame) get a new chart rather than an error or a mixed storage.
            TSheet& Sheet = CurrentSheet();
            const int Count = Sheet.InFileCharts.Count();
            if (Count == 0 || &Sheet.InFileCharts.Items(Count - 1) == FLastFilledChart)
                Chart = &Sheet.InFileCharts.Add(&FOwner);
            else
                Chart = &Sheet.InFileCharts.Items(Count - 1);
            FLastFilledChart = Chart;
        }
        Chart->Records().ReadUntilEOF(FStream, FMaxRecordSize);
        // The chart's EOF never reaches the loop; when a chart sheet is the
        // last sheet the workbook ends with it, as it would at an EOF.
        if (!FInWorksheet && LastSheetEnded())
            FDone = true;
        return;
    }

    // Worksheet, macro sheet, workspace: the next sheet of the model.
    ++FSheetNameIndex;
    ++FCurrentSheet;
    if (FCurrentSheet > 0)
        FOwner.Sheets().Add();
    // A substream without a BOUNDSHEET entry keeps the sheet's default name.
    if (FSheetNameIndex < static_cast<int>(FSheetNames.size())) {
        const std::string& Name = FSheetNames[static_cast<size_t>(FSheetNameIndex)].Name;
        // BIFF8 names carry their encoding flag; older names are 8-bit text in
        // the workbook's code page, known by now (CODEPAGE precedes the sheets).
        if (FOwner.GetVersion() >= xvExcel97)
            CurrentSheet().SetName(Name);
        else
            CurrentSheet().SetName(CodepageToUtf8(TextCodepage(), Name));
    }
}

void TXLSReader::RecEOF(TBiffRecord&)
{
    FInWorksheet = false;
    // Per-substream state (the sheet's shared formulas) ends here.
    FSharedFormulas.clear();
    if (LastSheetEnded())
        FDone = true;
}

void TXLSReader::RecFILEPASS(TBiffRecord&)
{
    throw Exception("File is password protected");
}

// BIFF5: stream offset (4), state and type (2), cch (1), cch bytes of name.
// BIFF8: the same up to cch, then a flag byte (bit 0: 1 = UTF-16LE, 0 = one
// byte per character) and the characters. The name is kept in the model's
// stored form: flag byte first for BIFF8, the bare bytes for BIFF5.
//
// BIFF4 workbooks (.xlw) list their sheets in 0x0085 records that hold only
// cch (1) and the name, in substream order; taking them keeps every sheet of
// such a workbook instead of stopping after the first.
void TXLSReader::RecBOUNDSHEET(TBiffRecord& R)
{
    TByteCursor Body = R.Cursor();
    TSheetName Entry;
    const TExcelVersion Version = FOwner.GetVersion();
    if (Version == xvExcel21 || Version == xvExcel30 || Version == xvExcel40) {
        const auto Chars = Body.Bytes(Body.U8("the name length"), "the sheet name");
        Entry.Name.assign(Chars.begin(), Chars.end());
        Entry.StreamOffset = 0;
        FSheetNames.push_back(std::move(Entry));
        return;
    }
    Entry.StreamOffset = Body.U32("the sheet's stream offset");
    Body.Skip(2, "the sheet state and type");
    const uint8_t Length = Body.U8("the name length");
    if (Version == xvExcel97) {
        const uint8_t Wide = Body.U8("the name's encoding flag") & 1;
        const auto Chars = Body.Bytes(Wide ? 2u * Length : Length, "the sheet name");
        Entry.Name.push_back(static_cast<char>(Wide));
        Entry.Name.append(Chars.begin(), Chars.end());
    } else {
        const auto Chars = Body.Bytes(Length, "the sheet name");
        Entry.Name.assign(Chars.begin(), Chars.end());
    }
    FSheetNames.push_back(std::move(Entry));
}
