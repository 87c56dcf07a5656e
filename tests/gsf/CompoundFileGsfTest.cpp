// Cross-checks the compound-document reader against libgsf, an independent
// reader of the same container, over every compound document of the shared
// corpus: both must list the same root elements and extract byte-identical
// workbook streams. Where libgsf itself refuses a damaged file, the outcome
// is only recorded.

#include "biff/CompoundFile.h"

#include <gsf/gsf-infile-msole.h>
#include <gsf/gsf-infile.h>
#include <gsf/gsf-input-memory.h>
#include <gsf/gsf-input.h>
#include <gsf/gsf-outfile-msole.h>
#include <gsf/gsf-outfile.h>
#include <gsf/gsf-output-memory.h>
#include <gsf/gsf-utils.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <iterator>
#include <map>
#include <optional>
#include <set>
#include <tuple>

namespace fs = std::filesystem;

namespace {

std::vector<uint8_t> ReadFileBytes(const fs::path& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

using TElementKey = std::tuple<std::string, TStorageElementType, uint64_t>;

struct TGsfView {
    std::string Error;
    std::vector<TElementKey> Elements;
    std::map<std::string, std::optional<std::vector<uint8_t>>> Streams;
};

template <typename T> struct TUnref {
    void operator()(T* P) const { g_object_unref(P); }
};

TGsfView ReadWithGsf(const std::vector<uint8_t>& Bytes)
{
    TGsfView View;
    std::unique_ptr<GsfInput, TUnref<GsfInput>> Input(
        gsf_input_memory_new(Bytes.data(), static_cast<gsf_off_t>(Bytes.size()), FALSE));
    GError* Err = nullptr;
    std::unique_ptr<GsfInfile, TUnref<GsfInfile>> Ole(gsf_infile_msole_new(Input.get(), &Err));
    if (!Ole) {
        View.Error = Err ? Err->message : "unknown failure";
        if (Err)
            g_error_free(Err);
        return View;
    }
    const int Count = gsf_infile_num_children(Ole.get());
    for (int I = 0; I < Count; ++I) {
        std::unique_ptr<GsfInput, TUnref<GsfInput>> Child(gsf_infile_child_by_index(Ole.get(), I));
        const std::string Name = gsf_infile_name_by_index(Ole.get(), I);
        if (!Child) {
            View.Elements.emplace_back(Name, TStorageElementType::Stream, ~uint64_t(0));
            continue;
        }
        const bool IsStorage = GSF_IS_INFILE(Child.get()) && gsf_infile_num_children(GSF_INFILE(Child.get())) >= 0;
        const uint64_t Size = IsStorage ? 0 : static_cast<uint64_t>(gsf_input_size(Child.get()));
        View.Elements.emplace_back(Name, IsStorage ? TStorageElementType::Storage : TStorageElementType::Stream, Size);
        if (!IsStorage && (Name == "Workbook" || Name == "Book")) {
            std::vector<uint8_t> Data(Size);
            if (Size == 0 || gsf_input_read(Child.get(), Size, Data.data()))
                View.Streams[Name] = std::move(Data);
            else
                View.Streams[Name] = std::nullopt;
        }
    }
    return View;
}

} // namespace

TEST(CompoundFileGsf, CorpusMatchesLibgsf)
{
    const fs::path Corpus(TABULON_CORPUS_DIR);
    if (!fs::is_directory(Corpus))
        GTEST_SKIP() << "corpus not found at " << Corpus;
    gsf_init();
    // libgsf reports the damage it tolerates through GLib's log; the outcome
    // printed below says what matters.
    g_log_set_default_handler([](const gchar*, GLogLevelFlags, const gchar*, gpointer) {}, nullptr);

    std::vector<fs::path> Files;
    for (const auto& Entry : fs::recursive_directory_iterator(Corpus))
        if (Entry.is_regular_file() && Entry.path().extension() == ".xls")
            Files.push_back(Entry.path());
    std::sort(Files.begin(), Files.end());

    int Compared = 0, Streams = 0, GsfRefused = 0, WeRefused = 0;
    for (const fs::path& Path : Files) {
        const std::vector<uint8_t> Bytes = ReadFileBytes(Path);
        if (!TCompoundFile::IsCompoundData(Bytes))
            continue;
        const std::string Rel = fs::relative(Path, Corpus).string();
        const std::string Folder = Rel.substr(0, Rel.find('/'));
        SCOPED_TRACE(Rel);

        const TGsfView Gsf = ReadWithGsf(Bytes);
        TCompoundFile Ours;
        std::string OurError;
        try {
            Ours.Open(Path.string());
        } catch (const std::exception& E) {
            OurError = E.what();
        }
        std::cout << Rel << ": ours " << (OurError.empty() ? "opens" : OurError) << "; libgsf "
                  << (Gsf.Error.empty() ? "opens" : Gsf.Error) << "\n";
        // Damaged files may differ from libgsf (each reader tolerates other
        // faults); they are reported, not compared. Every other compound
        // document must open and match.
        const bool Strict = Folder != "damaged";
        if (Strict) {
            EXPECT_EQ(OurError, "");
        }
        if (!Gsf.Error.empty())
            ++GsfRefused;
        if (!OurError.empty()) {
            ++WeRefused;
            continue;
        }

        if (Gsf.Error.empty()) {
            ++Compared;
            std::vector<TElementKey> Mine;
            for (const TStorageElement& E : Ours.RootElements())
                Mine.emplace_back(E.Name, E.Type, E.Size);
            std::vector<TElementKey> Theirs = Gsf.Elements;
            // libgsf sorts children by its own collation; the order of ours
            // is the directory tree's and is checked elsewhere.
            std::sort(Mine.begin(), Mine.end());
            std::sort(Theirs.begin(), Theirs.end());
            if (Strict) {
                EXPECT_EQ(Mine, Theirs);
            } else if (Mine != Theirs)
                std::cout << "  root elements differ from libgsf's\n";
        }

        for (const char* Name : {"Workbook", "Book"}) {
            const auto Listed = std::find_if(Ours.RootElements().begin(), Ours.RootElements().end(),
                                             [&](const TStorageElement& E) { return E.Name == Name; });
            if (Listed == Ours.RootElements().end())
                continue;
            std::string Message;
            std::vector<uint8_t> OurBytes;
            try {
                OurBytes = Ours.ReadStream(Name);
            } catch (const std::exception& E) {
                Message = E.what();
            }
            const auto Theirs = Gsf.Streams.find(Name);
            const bool GsfRead = Theirs != Gsf.Streams.end() && Theirs->second;
            std::cout << "  " << Name << ": ours "
                      << (Message.empty() ? std::to_string(OurBytes.size()) + " bytes" : Message) << "; libgsf "
                      << (GsfRead ? std::to_string(Theirs->second->size()) + " bytes" : "no stream") << "\n";
            if (Strict) {
                EXPECT_EQ(Message, "") << Name;
                EXPECT_TRUE(GsfRead) << Name;
            }
            if (GsfRead && Message.empty()) {
                ++Streams;
                EXPECT_TRUE(OurBytes == *Theirs->second) << Name << " differs from libgsf's";
            }
        }
    }
    std::cout << "compared " << Compared << " documents and " << Streams << " workbook streams; libgsf refused "
              << GsfRefused << ", we refused " << WeRefused << "\n";
}

namespace {

std::vector<uint8_t> Pattern(size_t Size, unsigned Seed)
{
    std::vector<uint8_t> Out(Size);
    for (size_t I = 0; I < Size; ++I)
        Out[I] = static_cast<uint8_t>((I * 7 + Seed) % 253);
    return Out;
}

void WriteChild(GsfOutfile* Parent, const char* Name, const std::vector<uint8_t>& Bytes)
{
    GsfOutput* Child = gsf_outfile_new_child(Parent, Name, FALSE);
    gsf_output_write(Child, Bytes.size(), Bytes.data());
    gsf_output_close(Child);
    g_object_unref(Child);
}

// A document written by libgsf with the given sector sizes: a big and a small
// stream at the root and a storage holding both kinds.
std::vector<uint8_t> WriteWithGsf(unsigned SectorSize)
{
    GsfOutput* Sink = gsf_output_memory_new();
    GsfOutfile* Root = gsf_outfile_msole_new_full(Sink, SectorSize, 64);
    WriteChild(Root, "Workbook", Pattern(300000, 1));
    WriteChild(Root, "\x05SummaryInformation", Pattern(300, 2));
    GsfOutput* Storage = gsf_outfile_new_child(Root, "_VBA_PROJECT_CUR", TRUE);
    WriteChild(GSF_OUTFILE(Storage), "VBA", Pattern(1000, 3));
    WriteChild(GSF_OUTFILE(Storage), "PROJECT", Pattern(9000, 4));
    gsf_output_close(Storage);
    g_object_unref(Storage);
    gsf_output_close(GSF_OUTPUT(Root));
    g_object_unref(Root); // closing the document closed the sink
    const guint8* Bytes = gsf_output_memory_get_bytes(GSF_OUTPUT_MEMORY(Sink));
    std::vector<uint8_t> Result(Bytes, Bytes + gsf_output_size(Sink));
    g_object_unref(Sink);
    return Result;
}

} // namespace

// Documents from another writer, in both sector sizes (the corpus has only
// 512-byte sectors).
TEST(CompoundFileGsf, ReadsWhatLibgsfWrites)
{
    gsf_init();
    for (unsigned SectorSize : {512u, 4096u}) {
        SCOPED_TRACE(SectorSize);
        std::vector<uint8_t> Bytes = WriteWithGsf(SectorSize);
        ASSERT_GT(Bytes.size(), 512u);
        EXPECT_EQ(1u << Bytes[30], SectorSize);
        TCompoundFile File;
        File.OpenMemory(std::move(Bytes));
        std::vector<std::string> Names;
        for (const TStorageElement& E : File.RootElements())
            Names.push_back(E.Name);
        std::sort(Names.begin(), Names.end());
        EXPECT_EQ(Names, (std::vector<std::string>{"\x05SummaryInformation", "Workbook", "_VBA_PROJECT_CUR"}));
        EXPECT_EQ(File.ReadStream("Workbook"), Pattern(300000, 1));
        EXPECT_EQ(File.ReadStream("\x05SummaryInformation"), Pattern(300, 2));
        const TStorageCopy Copy = File.CopyStorage("_VBA_PROJECT_CUR");
        ASSERT_EQ(Copy.Children.size(), 2u);
        for (const TStorageCopy& Child : Copy.Children)
            EXPECT_EQ(Child.Bytes, Child.Name == "VBA" ? Pattern(1000, 3) : Pattern(9000, 4)) << Child.Name;
    }
}
