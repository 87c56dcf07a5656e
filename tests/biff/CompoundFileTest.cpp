#include "CompoundFileBuilder.h"

#include "biff/CompoundFile.h"
#include "model/Exception.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>

using namespace cfbtest;

namespace {

std::string OpenError(std::vector<uint8_t> Bytes)
{
    TCompoundFile File;
    try {
        File.OpenMemory(std::move(Bytes));
    } catch (const Exception& E) {
        return E.what();
    }
    return "";
}

template <typename F> std::string ErrorOf(F&& Call)
{
    try {
        Call();
    } catch (const Exception& E) {
        return E.what();
    }
    return "";
}

// A typical workbook file: the workbook stream in the FAT, two small property
// streams in the mini stream, and a macro storage with a nested storage.
// Entry indices: 0 root, 1 Workbook, 2 SummaryInformation, 3 macro storage,
// 4 VBA (small), 5 Sub storage, 6 Data (big), 7 DocumentSummaryInformation.
// The root's tree: Workbook at the top, SummaryInformation left of it and
// DocumentSummaryInformation left of that, the macro storage on the right.
std::vector<TEntrySpec> SampleEntries()
{
    std::vector<TEntrySpec> E(8);
    E[0] = {u"Root Entry", 5, {}, NoStream, NoStream, 1, 0};
    E[1] = {u"Workbook", 2, Pattern(10000, 1), 2, 3, NoStream, 0};
    E[2] = {u"\x05SummaryInformation", 2, Pattern(200, 2), 7, NoStream, NoStream, 0};
    E[3] = {u"_VBA_PROJECT_CUR", 1, {}, NoStream, NoStream, 4, 0x42};
    E[4] = {u"VBA", 2, Pattern(100, 4), NoStream, 5, NoStream, 0};
    E[5] = {u"Sub", 1, {}, NoStream, NoStream, 6, 0};
    E[6] = {u"Data", 2, Pattern(5000, 6), NoStream, NoStream, NoStream, 0};
    E[7] = {u"\x05" u"DocumentSummaryInformation", 2, Pattern(150, 7), NoStream, NoStream, NoStream, 0};
    return E;
}

class CompoundFileSectorSize : public testing::TestWithParam<unsigned> {};

} // namespace

TEST_P(CompoundFileSectorSize, ReadsListingStreamsAndStorageCopies)
{
    const std::vector<TEntrySpec> Entries = SampleEntries();
    TCompoundFile File;
    File.OpenMemory(BuildCompound(Entries, GetParam()).Bytes);

    // In-order walk of the root's tree, not the order of the entries.
    const std::vector<TStorageElement>& List = File.RootElements();
    ASSERT_EQ(List.size(), 4u);
    const std::string Expected[4][2] = {{"\x05" "DocumentSummaryInformation", "150"},
                                        {"\x05" "SummaryInformation", "200"},
                                        {"Workbook", "10000"},
                                        {"_VBA_PROJECT_CUR", "0"}};
    for (size_t I = 0; I < 4; ++I) {
        EXPECT_EQ(List[I].Name, Expected[I][0]);
        EXPECT_EQ(std::to_string(List[I].Size), Expected[I][1]);
        EXPECT_EQ(List[I].Type, I == 3 ? TStorageElementType::Storage : TStorageElementType::Stream);
    }

    EXPECT_EQ(File.ReadStream("Workbook"), Entries[1].Data);
    EXPECT_EQ(File.ReadStream("\x05SummaryInformation"), Entries[2].Data);
    EXPECT_EQ(ErrorOf([&] { File.ReadStream("workbook"); }), "Stream \"workbook\" not found");
    EXPECT_EQ(ErrorOf([&] { File.ReadStream("_VBA_PROJECT_CUR"); }), "Stream \"_VBA_PROJECT_CUR\" not found");
    EXPECT_EQ(ErrorOf([&] { File.CopyStorage("Workbook"); }), "Storage \"Workbook\" not found");

    const TStorageCopy Copy = File.CopyStorage("_VBA_PROJECT_CUR");
    EXPECT_EQ(Copy.Name, "_VBA_PROJECT_CUR");
    EXPECT_EQ(Copy.RawName, u"_VBA_PROJECT_CUR");
    EXPECT_EQ(Copy.Clsid[0], 0x42);
    ASSERT_EQ(Copy.Children.size(), 2u);
    EXPECT_EQ(Copy.Children[0].Name, "VBA");
    EXPECT_EQ(Copy.Children[0].Type, TStorageElementType::Stream);
    EXPECT_EQ(Copy.Children[0].Bytes, Entries[4].Data);
    EXPECT_EQ(Copy.Children[1].Name, "Sub");
    ASSERT_EQ(Copy.Children[1].Children.size(), 1u);
    EXPECT_EQ(Copy.Children[1].Children[0].Bytes, Entries[6].Data);

    File.Close();
    EXPECT_TRUE(File.RootElements().empty());
    EXPECT_EQ(ErrorOf([&] { File.ReadStream("Workbook"); }), "Stream \"Workbook\" not found");
}

INSTANTIATE_TEST_SUITE_P(, CompoundFileSectorSize, testing::Values(9u, 12u),
                         [](const auto& Info) { return Info.param == 9 ? "Sectors512" : "Sectors4096"; });

TEST(CompoundFile, FollowsTheDifatPastTheHeader)
{
    // 7.5 MB at 512 bytes a sector needs more FAT sectors than the header's
    // 109 slots, so the rest are listed in DIFAT sectors.
    std::vector<TEntrySpec> E(2);
    E[0] = {u"Root Entry", 5, {}, NoStream, NoStream, 1, 0};
    E[1] = {u"Workbook", 2, Pattern(7500000, 9), NoStream, NoStream, NoStream, 0};
    TBuilt Built = BuildCompound(E);
    ASSERT_FALSE(Built.DifatSectors.empty());
    {
        TCompoundFile File;
        File.OpenMemory(Built.Bytes);
        EXPECT_EQ(File.ReadStream("Workbook"), E[1].Data);
    }

    // A DIFAT that ends early is accepted as such; what lies past the FAT it
    // lists (here the directory, written last) cannot be reached.
    Built.Put32(68, EndOfChain);
    EXPECT_EQ(OpenError(Built.Bytes),
              StrFmt("Compound document is damaged: FAT chain of the directory leads past the end of the FAT at "
                     "sector %u (the DIFAT lists 109 of %zu FAT sectors)",
                     Built.DirStart, Built.FatSectors.size()));

}

TEST(CompoundFile, DirectoryTreesOfAnyShapeEnd)
{
    // A degenerate tree: 3000 streams, each the left sibling of the one
    // before. The walk must not recurse per entry.
    const uint32_t Count = 3000;
    std::vector<TEntrySpec> Chain(Count + 1);
    Chain[0] = {u"Root Entry", 5, {}, NoStream, NoStream, 1, 0};
    for (uint32_t I = 1; I <= Count; ++I)
        Chain[I] = {u"S" + std::u16string(1, char16_t(u'0' + I % 10)), 2, {}, I < Count ? I + 1 : NoStream,
                    NoStream, NoStream, 0};
    TCompoundFile File;
    File.OpenMemory(BuildCompound(Chain).Bytes);
    ASSERT_EQ(File.RootElements().size(), Count);
    EXPECT_EQ(File.RootElements().front().Name, "S0"); // entry 3000, the leftmost

    // Links back into the tree (a cycle, and an entry reached twice) list
    // each entry once and end.
    std::vector<TEntrySpec> E = SampleEntries();
    E[7].Right = 1; // back up to the tree's top
    E[2].Right = 7; // DocumentSummaryInformation reached a second time
    E[4].Left = 3;  // the macro storage inside itself
    TCompoundFile Looped;
    Looped.OpenMemory(BuildCompound(E).Bytes);
    EXPECT_EQ(Looped.RootElements().size(), 4u);
    const TStorageCopy Copy = Looped.CopyStorage("_VBA_PROJECT_CUR");
    EXPECT_EQ(Copy.Children.size(), 2u);

    // Storages nested deeper than any real document are refused.
    std::vector<TEntrySpec> Deep(101);
    Deep[0] = {u"Root Entry", 5, {}, NoStream, NoStream, 1, 0};
    for (uint32_t I = 1; I <= 100; ++I)
        Deep[I] = {u"D", 1, {}, NoStream, NoStream, I < 100 ? I + 1 : NoStream, 0};
    TCompoundFile Nested;
    Nested.OpenMemory(BuildCompound(Deep).Bytes);
    EXPECT_EQ(ErrorOf([&] { Nested.CopyStorage("D"); }),
              "Compound document is damaged: storage \"D\" is nested more than 64 levels deep");
}

TEST(CompoundFile, DamageGivesAClearMessage)
{
    const TBuilt Base = BuildCompound(SampleEntries());
    const uint32_t Wb = Base.Starts[1];   // Workbook: sectors Wb .. Wb + 19
    const uint32_t Last = static_cast<uint32_t>(Base.Bytes.size() / 512 - 2);
    struct TCase {
        const char* What;
        std::function<void(TBuilt&)> Damage;
        std::string OpenMessage;   // empty: opens
        std::string StreamMessage; // of ReadStream("Workbook") when it opens
    };
    const std::string D = "Compound document is damaged: ";
    const TCase Cases[] = {
        {"header cut short", [](TBuilt& B) { B.Bytes.resize(300); },
         D + "the file holds 300 bytes, fewer than its 512-byte header", ""},
        {"nothing after the header", [](TBuilt& B) { B.Bytes.resize(512); },
         D + "the file holds 512 bytes and no sector after its header", ""},
        {"signature", [](TBuilt& B) { B.Bytes[0] = 0; }, "File is not a compound document", ""},
        {"sector size", [](TBuilt& B) { B.Put16(30, 10); },
         D + "unsupported sector size 2^10 (expected 512 or 4096 bytes)", ""},
        {"mini sector size", [](TBuilt& B) { B.Put16(32, 7); },
         D + "unsupported mini sector size 2^7 (expected 64 bytes)", ""},
        {"FAT sector outside the file", [](TBuilt& B) { B.Put32(76, 5000); },
         D + "FAT sector 0 is sector 5000, outside the file (" + std::to_string(Last + 1) + " sectors)", ""},
        {"directory outside the file", [](TBuilt& B) { B.Put32(48, 0x7FFFFFFF); },
         D + "FAT chain of the directory leads to sector 2147483647 outside the file (" +
             std::to_string(Last + 1) + " sectors)",
         ""},
        {"directory link outside the directory", [](TBuilt& B) { B.Put32(B.DirOffset(2) + 68, 40); },
         D + "directory entry 2 links to entry 40 outside the directory (8 entries)", ""},
        {"root entry of the wrong type", [](TBuilt& B) { B.Bytes[B.DirOffset(0) + 66] = 1; },
         D + "the first directory entry is not the root storage", ""},
        {"FAT cycle", [&](TBuilt& B) { B.Put32(B.FatOffset(Wb + 12), Wb + 3); }, "",
         D + "FAT chain of stream \"Workbook\" has a cycle at sector " + std::to_string(Wb + 3)},
        {"chain into a free sector", [&](TBuilt& B) { B.Put32(B.FatOffset(Wb + 1), FreeSect); }, "",
         D + "FAT chain of stream \"Workbook\" runs into a free sector after 1024 bytes"},
        {"chain outside the file", [&](TBuilt& B) { B.Put32(B.FatOffset(Wb), 99999); }, "",
         D + "FAT chain of stream \"Workbook\" leads to sector 99999 outside the file (" +
             std::to_string(Last + 1) + " sectors)"},
        {"chain shorter than the size", [&](TBuilt& B) { B.Put32(B.FatOffset(Wb + 9), EndOfChain); }, "",
         D + "stream \"Workbook\" declares 10000 bytes, but its FAT chain ends after 5120 bytes"},
        {"file ends inside a stream",
         [&](TBuilt& B) {
             B.Put32(B.FatOffset(Wb + 19), Last + 1);
             B.Put32(B.DirOffset(1) + 120, 11000);
             B.Bytes.resize(B.Bytes.size() + 100, 0x55);
         },
         "", D + "stream \"Workbook\" declares 11000 bytes, but the file ends after 10340 of them"},
        {"stream runs into the FAT", [&](TBuilt& B) { B.Put32(B.FatOffset(Wb + 10), Last); }, "",
         D + "FAT chain of stream \"Workbook\" runs into sector " + std::to_string(Last) +
             ", which belongs to the FAT"},
        {"file truncated before its FAT", [&](TBuilt& B) { B.Bytes.resize(B.SectorOffset(Wb + 5) + 100); },
         D + "FAT sector 0 is sector " + std::to_string(Base.FatSectors[0]) + ", outside the file (" +
             std::to_string(Wb + 6) + " sectors)",
         ""},
        {"byte order mark ignored", [](TBuilt& B) { B.Put16(28, 0xFEFF); }, "", ""},
        {"header lists more FAT sectors than it declares", [](TBuilt& B) { B.Put32(80, 7); }, "", ""},
    };
    for (const TCase& C : Cases) {
        SCOPED_TRACE(C.What);
        TBuilt B = Base;
        C.Damage(B);
        TCompoundFile File;
        const std::string Open = ErrorOf([&] { File.OpenMemory(B.Bytes); });
        EXPECT_EQ(Open, C.OpenMessage);
        if (Open.empty()) {
            EXPECT_EQ(ErrorOf([&] { File.ReadStream("Workbook"); }), C.StreamMessage);
        }
    }
}

TEST(CompoundFile, DamageConfinedToOneStream)
{
    // No two streams may hold the same sector: here the Data stream of the
    // nested storage starts inside the workbook's chain.
    TBuilt B = BuildCompound(SampleEntries());
    B.Put32(B.DirOffset(6) + 116, B.Starts[1] + 2);
    TCompoundFile File;
    File.OpenMemory(B.Bytes);
    EXPECT_EQ(File.ReadStream("Workbook").size(), 10000u);
    EXPECT_EQ(File.ReadStream("Workbook").size(), 10000u);
    EXPECT_EQ(ErrorOf([&] { File.CopyStorage("_VBA_PROJECT_CUR"); }),
              StrFmt("Compound document is damaged: FAT chain of stream \"Data\" runs into sector %u, which belongs "
                     "to stream \"Workbook\"",
                     B.Starts[1] + 2));

    // A damaged mini stream spoils the small streams only.
    TBuilt M = BuildCompound(SampleEntries());
    M.Put32(M.MiniFatOffset(M.Starts[2] + 1), M.Starts[2]);
    TCompoundFile Mini;
    Mini.OpenMemory(M.Bytes);
    EXPECT_EQ(Mini.ReadStream("Workbook").size(), 10000u);
    EXPECT_EQ(ErrorOf([&] { Mini.ReadStream("\x05SummaryInformation"); }),
              StrFmt("Compound document is damaged: mini FAT chain of stream \"\x05SummaryInformation\" has a cycle "
                     "at mini sector %u",
                     M.Starts[2]));
    M.Put32(M.DirOffset(0) + 116, 99999);
    TCompoundFile NoMini;
    NoMini.OpenMemory(M.Bytes);
    EXPECT_EQ(NoMini.ReadStream("Workbook").size(), 10000u);
    EXPECT_EQ(ErrorOf([&] { NoMini.ReadStream("\x05SummaryInformation"); }),
              StrFmt("Compound document is damaged: FAT chain of the mini stream leads to sector 99999 outside the "
                     "file (%zu sectors)",
                     M.Bytes.size() / 512 - 1));
}

TEST(CompoundFile, OpensFilesByPath)
{
    const auto Dir = std::filesystem::temp_directory_path() / "tabulon-cfb-test";
    std::filesystem::create_directories(Dir);
    const auto Path = (Dir / "sample.xls").string();
    const TBuilt B = BuildCompound(SampleEntries());
    std::ofstream(Path, std::ios::binary).write(reinterpret_cast<const char*>(B.Bytes.data()), B.Bytes.size());

    EXPECT_TRUE(TCompoundFile::IsCompoundFile(Path));
    EXPECT_FALSE(TCompoundFile::IsCompoundFile(Dir.string()));
    EXPECT_FALSE(TCompoundFile::IsCompoundFile((Dir / "missing.xls").string()));
    TCompoundFile File;
    File.Open(Path);
    EXPECT_EQ(File.ReadStream("Workbook").size(), 10000u);

    const std::string Missing = (Dir / "missing.xls").string();
    EXPECT_EQ(ErrorOf([&] { File.Open(Missing); }),
              "Cannot open file \"" + Missing + "\": No such file or directory");
    EXPECT_TRUE(File.RootElements().empty());
    EXPECT_EQ(ErrorOf([&] { File.Open(Dir.string()); }),
              "Cannot open file \"" + Dir.string() + "\": Is a directory");
    std::filesystem::remove_all(Dir);
}
