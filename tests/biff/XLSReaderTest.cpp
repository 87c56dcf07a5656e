#include "BiffBuilder.h"

#include "biff/XLSReader.h"
#include "model/Exception.h"
#include "model/Tabulon.h"

#include <gtest/gtest.h>

namespace {

// Reads Bytes into XLS; returns the failure's message, or "" on success.
std::string ReadInto(TTabulon& XLS, const TBytes& Bytes)
{
    XLS.Clear();
    TXLSReader Reader(XLS);
    try {
        Reader.ReadBytes(Bytes);
    } catch (const Exception& E) {
        return E.what();
    }
    return {};
}

std::string ReadError(const TBytes& Bytes)
{
    TTabulon XLS;
    return ReadInto(XLS, Bytes);
}

TBytes Workbook8(const TBytes& Stream) { return MakeCompound({{"Workbook", false, Stream, {}}}); }

// Globals naming three sheets, then their substreams.
TBytes ThreeSheets(const TBytes& Second)
{
    return Cat({BOF8(0x0005), BoundSheet8("Alpha"), BoundSheet8("Beta", 2), BoundSheet8("Gamma"), EOFRec(),
                BOF8(0x0010), Filler(), EOFRec(), Second, BOF8(0x0010), Filler(), EOFRec()});
}

std::vector<std::string> SheetNames(TTabulon& XLS)
{
    std::vector<std::string> Names;
    for (int I = 0; I < XLS.Sheets().Count(); ++I)
        Names.push_back(XLS.Sheets()[I].GetName());
    return Names;
}

TEST(XLSReader, WorksheetsTakeTheBoundsheetNamesInOrder)
{
    TTabulon XLS;
    ASSERT_EQ(ReadInto(XLS, Workbook8(ThreeSheets(Cat({BOF8(0x0010), EOFRec()})))), "");
    EXPECT_EQ(XLS.GetVersion(), xvExcel97);
    EXPECT_EQ(XLS.MaxRecordSize(), 8224);
    EXPECT_EQ(SheetNames(XLS), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(XLS.Sheets()[0].StoredName(), std::string("\0Alpha", 6));
    EXPECT_EQ(XLS.InFileCharts.Count(), 0);
}

TEST(XLSReader, ChartSheetBetweenWorksheets)
{
    const TBytes Chart = Cat({BOF8(0x0020), Rec(0x1001, {1, 2}), Rec(0x1033), Rec(0x1002, TBytes(16, 5)), EOFRec()});
    TTabulon XLS;
    ASSERT_EQ(ReadInto(XLS, Workbook8(ThreeSheets(Chart))), "");
    EXPECT_EQ(SheetNames(XLS), (std::vector<std::string>{"Alpha", "Gamma"}));
    ASSERT_EQ(XLS.InFileCharts.Count(), 1);
    const TXLSInFileChart& Sheet = XLS.InFileCharts.Items(0);
    EXPECT_EQ(Sheet.Name, std::string("\0Beta", 5));
    EXPECT_EQ(Sheet.Owner(), &XLS);
    const TRecordStorage& Records = Sheet.Records();
    ASSERT_EQ(Records.Count(), 3);
    EXPECT_EQ(Records.Items(0).RecId, 0x1001);
    EXPECT_EQ(Records.Items(0).Data, (TBytes{1, 2}));
    EXPECT_EQ(Records.Items(1).RecId, 0x1033);
    EXPECT_EQ(Records.Items(1).Length, 0);
    EXPECT_EQ(Records.Items(2).Length, 16);

    XLS.Clear();
    EXPECT_EQ(XLS.InFileCharts.Count(), 0);
}

TEST(XLSReader, ChartSheetLastEndsTheWorkbook)
{
    // Whatever follows the last sheet's substream is not read.
    const TBytes Stream = Cat({BOF8(0x0005), BoundSheet8("Data"), BoundSheet8("Chart", 2), EOFRec(),
                               BOF8(0x0010), EOFRec(), BOF8(0x0020), Filler(), EOFRec(), Rec(0x002F, {0, 0})});
    TTabulon XLS;
    ASSERT_EQ(ReadInto(XLS, Workbook8(Stream)), "");
    ASSERT_EQ(XLS.InFileCharts.Count(), 1);
    EXPECT_EQ(XLS.InFileCharts.Items(0).Records().Count(), 1);
}

TEST(XLSReader, EmbeddedChartsStayWithTheirSheet)
{
    const TBytes Chart = Cat({BOF8(0x0020), Rec(0x1001, {1}), Rec(0x1002, {2}), EOFRec()});
    const TBytes Second = Cat({BOF8(0x0010), Filler(), Chart, Filler(), Chart, Rec(0x1003), EOFRec()});
    TTabulon XLS;
    ASSERT_EQ(ReadInto(XLS, Workbook8(ThreeSheets(Second))), "");
    EXPECT_EQ(SheetNames(XLS), (std::vector<std::string>{"Alpha", "Beta", "Gamma"}));
    EXPECT_EQ(XLS.InFileCharts.Count(), 0);
    const TXLSInFileCharts& Charts = XLS.Sheets()[1].InFileCharts;
    ASSERT_EQ(Charts.Count(), 2);
    for (int I = 0; I < 2; ++I) {
        EXPECT_EQ(Charts.Items(I).Name, "");
        EXPECT_EQ(Charts.Items(I).Records().Count(), 2);
    }
    EXPECT_EQ(XLS.Sheets()[0].InFileCharts.Count(), 0);
    EXPECT_EQ(XLS.Sheets()[2].InFileCharts.Count(), 0);
}

TEST(XLSReader, OversizeRecordsAreSkippedButCounted)
{
    // An oversize FILEPASS would refuse the file if it were dispatched.
    const struct {
        const char* What;
        size_t Limit;
        bool Compound;
    } Cases[] = {{"BIFF5 layout", 2080, false}, {"BIFF8", 8224, true}};
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        const TBytes Stream = Cat({BOF8(0x0010), Rec(0x002F, TBytes(Case.Limit + 1, 0)), Filler(Case.Limit),
                                   Rec(0x002F, {0, 0}), EOFRec()});
        EXPECT_EQ(ReadError(Case.Compound ? Workbook8(Stream) : Stream),
                  "Error on reading record # 3\rFile is password protected");
    }
}

TEST(XLSReader, WorksheetFileEndsAtItsEOFOrAtTheEndOfTheStream)
{
    for (const uint16_t Bof : {0x0009, 0x0209, 0x0409}) {
        SCOPED_TRACE(Bof);
        TTabulon XLS;
        std::vector<int> Progress;
        XLS.OnProgress = [&](int Value) { Progress.push_back(Value); };
        EXPECT_EQ(ReadInto(XLS, Cat({BOFOld(Bof, 0x0010), Filler(), EOFRec(), Rec(0x002F, {0, 0})})), "");
        EXPECT_EQ(XLS.GetVersion(), Bof == 0x0009 ? xvExcel21 : Bof == 0x0209 ? xvExcel30 : xvExcel40);
        EXPECT_EQ(XLS.Sheets().Count(), 1);
        // Without a final EOF the stream's end ends the read quietly.
        Progress.clear();
        EXPECT_EQ(ReadInto(XLS, Cat({BOFOld(Bof, 0x0010), Filler(), Filler(), TBytes{0x0A}})), "");
        EXPECT_EQ(Progress, (std::vector<int>{0, 100}));
    }
}

TEST(XLSReader, FailureNamesTheRecordNumber)
{
    // Record 250 is a BOUNDSHEET whose name runs past its body.
    TBytes Broken = BoundSheet5("Sheet");
    Broken[2] = static_cast<uint8_t>(Broken.size() - 4 - 3);
    Broken.resize(Broken.size() - 3);
    const TBytes Stream = Cat({BOF8(0x0005), Repeat(Filler(), 249), Broken, EOFRec()});
    EXPECT_EQ(ReadError(Stream),
              "Error on reading record # 250\rBOUNDSHEET record ends early: the sheet name needs 5 bytes at offset 7, "
              "2 left");
}

TEST(XLSReader, ProgressAfterEveryHundredRecords)
{
    // BOF 10 bytes, 250 records of 8 bytes, EOF 4 bytes: 2014 bytes. After
    // the 100th record the position is 810 (40.2 %), after the 200th 1610 (79.9 %).
    TTabulon XLS;
    std::vector<int> Progress;
    XLS.OnProgress = [&](int Value) { Progress.push_back(Value); };
    ASSERT_EQ(ReadInto(XLS, Cat({BOFOld(0x0409, 0x0010), Repeat(Filler(), 250), EOFRec()})), "");
    EXPECT_EQ(Progress, (std::vector<int>{0, 40, 80, 100}));

    // A failed read reports no final 100.
    Progress.clear();
    EXPECT_NE(ReadInto(XLS, Cat({BOFOld(0x0409, 0x0010), Repeat(Filler(), 150), Rec(0x002F)})), "");
    EXPECT_EQ(Progress, (std::vector<int>{0, 67})); // 810 of 1214 bytes
}

TEST(XLSReader, PasswordProtectedFileIsRefused)
{
    EXPECT_EQ(ReadError(Workbook8(Cat({BOF8(0x0005), Filler(), Rec(0x002F, {1, 0, 1, 0, 1, 0}), EOFRec()}))),
              "Error on reading record # 2\rFile is password protected");
}

TEST(XLSReader, FilesThatAreNotWorkbooks)
{
    auto Text = [](const std::string& S) { return TBytes(S.begin(), S.end()); };
    const struct {
        TBytes Bytes;
        const char* Message;
    } Cases[] = {
        {{}, "BOF is missing in file (the file is empty)"},
        {{0x50, 0x4B, 0x03, 0x04, 0x14, 0x00}, "BOF is missing in file (the file looks like an Office Open XML workbook, .xlsx)"},
        {Text("\xEF\xBB\xBF<html xmlns:x=\"urn:schemas-microsoft-com:office:excel\"><body><table>"),
         "BOF is missing in file (the file looks like an HTML page)"},
        {Text("  <!DOCTYPE HTML PUBLIC>\n<HTML>"), "BOF is missing in file (the file looks like an HTML page)"},
        {Text("MIME-Version: 1.0\r\nX-Document-Type: Workbook\r\nContent-Type: multipart/related; boundary=x\r\n"),
         "BOF is missing in file (the file looks like an MHTML web archive)"},
        {Text("<?xml version=\"1.0\"?>\n<?mso-application progid=\"Excel.Sheet\"?>\n<Workbook "
              "xmlns=\"urn:schemas-microsoft-com:office:spreadsheet\">"),
         "BOF is missing in file (the file looks like a SpreadsheetML XML workbook)"},
        {Text("Name,Amount\r\nTea,2.5\r\n"), "BOF is missing in file (the file looks like CSV text)"},
        {Text("Name\tAmount\nTea\t2.5\n"), "BOF is missing in file (the file looks like tab-separated text)"},
        {{0xFF, 0xFE, 'A', 0, '\t', 0, 'B', 0}, "BOF is missing in file (the file looks like tab-separated text)"},
        {{0x00, 0x01, 0x02, 0x03, 0x04, 0x05}, "BOF is missing in file"},
        {{0x09, 0x08}, "BOF is missing in file"},
        {Cat({Rec(0x0809, TBytes(300, 0))}), "Invalid BOF size"},
        {Cat({Rec(0x0809, {0, 6})}), "Invalid BOF size"},
        {TBytes{0x09, 0x08, 0x10, 0x00, 0x00, 0x06, 0x10, 0x00},
         "Record 0x0809 (BOF) runs past the end of the stream: 16 bytes announced, 4 left"},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(ReadError(Case.Bytes), Case.Message);
}

TEST(XLSReader, DamagedStreams)
{
    const struct {
        TBytes Bytes;
        const char* Message;
    } Cases[] = {
        // A record whose body runs past the end of the stream.
        {Cat({BOF8(0x0010), Filler(), TBytes{0x55, 0x00, 0x02, 0x00, 0x08}}),
         "Error on reading record # 2\rRecord 0x0055 (DEFCOLWIDTH) runs past the end of the stream: 2 bytes "
         "announced, 1 left"},
        // A BOF in the loop too short to hold its substream type.
        {Cat({BOF8(0x0005), Rec(0x0809, {0, 6})}),
         "Error on reading record # 1\rBOF record ends early: the substream type needs 2 bytes at offset 2, 0 left"},
        // A chart whose records run past the end.
        {Cat({BOF8(0x0005), BOF8(0x0020), TBytes{0x01, 0x10, 0x09, 0x00}}),
         "Error on reading record # 1\rRecord 0x1001 runs past the end of the stream: 9 bytes announced, 0 left"},
        {MakeCompound({{"Workbook", true, {}, {}}}),
         "Cannot read the workbook stream \"Workbook\": \"Workbook\" is a storage, not a stream"},
    };
    for (const auto& Case : Cases)
        EXPECT_EQ(ReadError(Case.Bytes), Case.Message);
}

TEST(XLSReader, SubstreamsWithoutBoundsheetKeepDefaultNames)
{
    // The first worksheet's BOF is followed by another one without an EOF.
    const TBytes Stream = Cat({BOF8(0x0005), BoundSheet8("Only"), EOFRec(), BOF8(0x0010), BOF8(0x0010),
                               Filler(), EOFRec(), Rec(0x002F)});
    TTabulon XLS;
    ASSERT_EQ(ReadInto(XLS, Workbook8(Stream)), "");
    ASSERT_EQ(XLS.Sheets().Count(), 2);
    EXPECT_EQ(XLS.Sheets()[0].GetName(), "Only");
    EXPECT_EQ(XLS.Sheets()[1].GetName(), "Sheet " + std::to_string(XLS.Sheets()[1].ID() + 1));
}

TEST(XLSReader, MacintoshFlagOnlyFromBiff8)
{
    TTabulon XLS;
    ASSERT_EQ(ReadInto(XLS, Workbook8(Cat({BOF8(0x0005, 0x10), EOFRec()}))), "");
    EXPECT_TRUE(XLS.IsMac);
    ASSERT_EQ(ReadInto(XLS, Workbook8(Cat({BOF8(0x0005, 0x0F), EOFRec()}))), "");
    EXPECT_FALSE(XLS.IsMac);
    ASSERT_EQ(ReadInto(XLS, Cat({BOF8(0x0005, 0x10), EOFRec()})), "");
    EXPECT_EQ(XLS.GetVersion(), xvNone);
    EXPECT_FALSE(XLS.IsMac);
}

TEST(XLSReader, RecordPositionsNewestFirst)
{
    TTabulon XLS;
    TXLSReader Reader(XLS);
    Reader.ReadBytes(Cat({BOFOld(0x0409, 0x0010), Repeat(Filler(), 6), EOFRec()}));
    EXPECT_EQ(Reader.RecPositions(), (std::array<int32_t, 5>{62, 58, 50, 42, 34}));
}

TEST(XLSReader, BadFilesThroughTheComponent)
{
    TTabulon XLS;
    const std::string Missing = std::filesystem::temp_directory_path() / "tabulon-no-such-file.xls";
    TTempFile Empty({});
    const struct {
        std::string Path;
        std::string Message;
    } Cases[] = {
        {Missing, "Cannot open file \"" + Missing + "\": No such file or directory"},
        {std::filesystem::temp_directory_path().string(),
         "Cannot open file \"" + std::filesystem::temp_directory_path().string() + "\": Is a directory"},
        {Empty.Path(), "BOF is missing in file (the file is empty)"},
    };
    for (const auto& Case : Cases) {
        XLS.Filename = Case.Path;
        try {
            XLS.Read();
            ADD_FAILURE() << Case.Path;
        } catch (const Exception& E) {
            EXPECT_EQ(E.what(), Case.Message);
        }
        EXPECT_EQ(XLS.Sheets().Count(), 1);
    }
}

TEST(XLSReader, PreserveMacrosFromTheComponent)
{
    TTempFile File(MakeCompound({{"Workbook", false, Cat({BOF8(0x0005), EOFRec()}), {}},
                                 {"_VBA_PROJECT_CUR", true, {}, {}}}));
    TTabulon XLS;
    XLS.Filename = File.Path();
    XLS.Read();
    EXPECT_TRUE(XLS.ExtraObjects.empty());
    XLS.PreserveMacros = true;
    XLS.Read();
    ASSERT_EQ(XLS.ExtraObjects.size(), 1u);
    EXPECT_EQ(XLS.ExtraObjects[0].Name, "_VBA_PROJECT_CUR");
    XLS.Clear();
    EXPECT_TRUE(XLS.ExtraObjects.empty());
}

} // namespace
