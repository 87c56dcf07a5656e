#include "BiffBuilder.h"

#include "biff/XLSStream.h"
#include "model/Exception.h"

#include <gtest/gtest.h>

namespace {

TEST(XLSStream, PlainFileVersionFromFirstRecord)
{
    const struct {
        TBytes Head;
        TExcelVersion Version;
    } Cases[] = {
        {{0x09, 0x00, 0x04, 0x00}, xvExcel21},
        {{0x09, 0x02, 0x06, 0x00}, xvExcel30},
        {{0x09, 0x04, 0x06, 0x00}, xvExcel40},
        // A BIFF5/8 BOF outside a compound document: no version, records still read.
        {{0x09, 0x08, 0x10, 0x00}, xvNone},
        {{0x0A, 0x00, 0x00, 0x00}, xvNone},
        {{0x09, 0x00}, xvNone},
        {{}, xvNone},
    };
    for (const auto& Case : Cases) {
        TXLSStream Stream;
        EXPECT_EQ(Stream.OpenBytes(Case.Head), Case.Version);
        EXPECT_EQ(Stream.Position(), 0);
        EXPECT_EQ(Stream.StreamSize, static_cast<int32_t>(Case.Head.size()));
    }
}

TEST(XLSStream, HeadersBodiesAndSeeks)
{
    TTempFile File(Cat({BOFOld(0x0409, 0x0010), Rec(0x0055, {8, 0}), EOFRec()}));
    TXLSStream Stream;
    ASSERT_EQ(Stream.OpenRead(File.Path()), xvExcel40);
    EXPECT_EQ(Stream.StreamSize, 10 + 6 + 4);

    TBiffHeader Header;
    ASSERT_EQ(Stream.ReadHeader(Header), 4); // the BOF again, from position 0
    EXPECT_EQ(Header.RecId, 0x0409);
    EXPECT_EQ(Header.RecLen, 6);
    EXPECT_EQ(Stream.Seek(6, 1), 10);
    ASSERT_EQ(Stream.ReadHeader(Header), 4);
    EXPECT_EQ(Header.RecId, 0x0055);
    uint8_t Body[8] = {};
    EXPECT_EQ(Stream.Read(Body, 8), 6); // reads on into the next record
    EXPECT_EQ(Body[0], 8);
    EXPECT_EQ(Body[2], 0x0A);
    EXPECT_EQ(Stream.Position(), 20);
    EXPECT_EQ(Stream.ReadHeader(Header), 0); // exact end
    EXPECT_EQ(Stream.Read(Body, 8), 0);
    EXPECT_EQ(Stream.Seek(-4, 2), 16);
    EXPECT_EQ(Stream.ReadHeader(Header), 4);
    EXPECT_EQ(Header.RecId, 0x000A);
    EXPECT_EQ(Stream.Seek(100, 0), 100); // past the end: reads give nothing
    EXPECT_EQ(Stream.ReadHeader(Header), 0);
    EXPECT_THROW(Stream.Seek(-1, 0), Exception);

    Stream.Close();
    Stream.Close();
    EXPECT_FALSE(Stream.IsOpen());
}

TEST(XLSStream, FilesThatCannotBeOpened)
{
    const std::string Missing = std::filesystem::temp_directory_path() / "tabulon-no-such-file.xls";
    const std::string Folder = std::filesystem::temp_directory_path();
    TXLSStream Stream;
    try {
        Stream.OpenRead(Missing);
        FAIL();
    } catch (const Exception& E) {
        EXPECT_STREQ(E.what(), ("Cannot open file \"" + Missing + "\": No such file or directory").c_str());
    }
    try {
        Stream.OpenRead(Folder);
        FAIL();
    } catch (const Exception& E) {
        EXPECT_STREQ(E.what(), ("Cannot open file \"" + Folder + "\": Is a directory").c_str());
    }
    if (::geteuid() != 0) {
        TTempFile File(BOFOld(0x0009, 0x0010));
        std::filesystem::permissions(File.Path(), std::filesystem::perms::none);
        EXPECT_THROW(Stream.OpenRead(File.Path()), Exception);
    }
}

TEST(XLSStream, CompoundDocumentStreams)
{
    const TBytes Biff8 = Cat({BOF8(0x0005), EOFRec()});
    const TBytes Biff5 = Cat({Rec(0x0809, {0, 5, 5, 0}), EOFRec()});
    struct {
        const char* What;
        std::vector<TCfbElement> Elements;
        TExcelVersion Version;
        const char* Message;
    } Cases[] = {
        {"Workbook wins over Book", {{"Book", false, Biff5, {}}, {"Workbook", false, Biff8, {}}}, xvExcel97, nullptr},
        {"Book alone", {{"Book", false, Biff5, {}}}, xvExcel50, nullptr},
        {"names compared by case", {{"workbook", false, Biff8, {}}, {"BOOK", false, Biff5, {}}}, xvNone,
         "File is not a Excel Workbook"},
        {"no workbook at all", {{"\005SummaryInformation", false, {1, 2, 3}, {}}}, xvNone,
         "File is not a Excel Workbook"},
    };
    for (const auto& Case : Cases) {
        SCOPED_TRACE(Case.What);
        TXLSStream Stream;
        try {
            EXPECT_EQ(Stream.OpenBytes(MakeCompound(Case.Elements)), Case.Version);
            EXPECT_EQ(Case.Message, nullptr);
            EXPECT_TRUE(Stream.StreamError().empty());
            TBiffHeader Header;
            ASSERT_EQ(Stream.ReadHeader(Header), 4);
            EXPECT_EQ(Header.RecId, 0x0809);
            EXPECT_EQ(Header.RecLen, Case.Version == xvExcel97 ? 16 : 4);
        } catch (const Exception& E) {
            ASSERT_NE(Case.Message, nullptr) << E.what();
            EXPECT_STREQ(E.what(), Case.Message);
        }
    }
}

TEST(XLSStream, WorkbookThatIsNoStreamGivesNoVersion)
{
    TXLSStream Stream;
    EXPECT_EQ(Stream.OpenBytes(MakeCompound({{"Workbook", true, {}, {}}})), xvNone);
    EXPECT_EQ(Stream.StreamError(), "\"Workbook\" is a storage, not a stream");
    TBiffHeader Header;
    EXPECT_EQ(Stream.ReadHeader(Header), 0);
}

TEST(XLSStream, PreserveMacrosCopiesSubStorages)
{
    const TBytes File = MakeCompound({
        {"Workbook", false, Cat({BOF8(0x0005), EOFRec()}), {}},
        {"_VBA_PROJECT_CUR", true, {}, {{"VBA", true, {}, {{"dir", false, {7, 7, 7}, {}}}}}},
        {"\001CompObj", false, {1}, {}},
        {"_SX_DB_CUR", true, {}, {}},
    });
    std::vector<TStorageCopy> Extra;
    Extra.emplace_back().Name = "kept";
    TXLSStream Stream;
    Stream.ExtraObjects = &Extra;
    Stream.PreserveMacros = false;
    Stream.OpenBytes(File);
    ASSERT_EQ(Extra.size(), 1u);

    Stream.PreserveMacros = true;
    EXPECT_EQ(Stream.OpenBytes(File), xvExcel97);
    ASSERT_EQ(Extra.size(), 3u);
    EXPECT_EQ(Extra[1].Name, "_VBA_PROJECT_CUR");
    EXPECT_EQ(Extra[2].Name, "_SX_DB_CUR");
    ASSERT_EQ(Extra[1].Children.size(), 1u);
    ASSERT_EQ(Extra[1].Children[0].Children.size(), 1u);
    const TStorageCopy& Dir = Extra[1].Children[0].Children[0];
    EXPECT_EQ(Dir.Name, "dir");
    EXPECT_EQ(Dir.Bytes.size(), 4096u); // the builder pads streams
    EXPECT_EQ(Dir.Bytes[0], 7);
}

} // namespace
