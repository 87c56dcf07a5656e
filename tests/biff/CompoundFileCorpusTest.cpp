// Every compound document of the shared corpus: the workbooks of every
// version and the encrypted ones must open and give their workbook stream;
// each damaged one must keep its recorded outcome, so that a change in what
// the reader accepts shows here.

#include "biff/CompoundFile.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <filesystem>
#include <iostream>
#include <map>

namespace fs = std::filesystem;

namespace {

// The container's part of reading a workbook: open, then read the workbook
// stream, "Workbook" before "Book". Some writers spell the names in capitals;
// refusing those is the record stream's business, so they are read here too.
std::string Outcome(const fs::path& Path)
{
    TCompoundFile File;
    try {
        File.Open(Path.string());
        for (const std::string Name : {"WORKBOOK", "BOOK"})
            for (const TStorageElement& E : File.RootElements()) {
                std::string Upper = E.Name;
                std::transform(Upper.begin(), Upper.end(), Upper.begin(), ::toupper);
                if (Upper == Name && E.Type == TStorageElementType::Stream) {
                    File.ReadStream(E.Name);
                    return "";
                }
            }
        return "no workbook stream";
    } catch (const std::exception& E) {
        return E.what();
    }
}

// Outcomes of the damaged compound documents: empty when the workbook stream
// reads.
const std::map<std::string, std::string> DamagedOutcomes = {
        {"calamine-gh548-incorrect-sst-unique-count.xls", ""},
        {"calamine-malformed-format.xls", ""},
        {"calamine-oom-alloc.xls", ""},
        {"calamine-oom-alloc2.xls", ""},
        {"calamine-oom-alloc3.xls", "Compound document is damaged: FAT chain of the directory leads to sector 4294967039 outside the file (270 sectors)"},
        {"calamine-ptgexp-truncated-operand.xls", ""},
        {"edr-issue-12556-corrupt.xls", "Compound document is damaged: FAT sector 0 is sector 224, outside the file (223 sectors)"},
        {"edr-issue-382-oom.xls", "Compound document is damaged: FAT chain of the directory has a cycle at sector 0"},
        {"edr-issue-392-oob.xls", ""},
        {"edr-issue-467-empty-continue-leftoverbytes.xls", ""},
        {"edr-issue-467-sst-empty-continue.xls", ""},
        {"edr-issue-477-sst-wrong-count.xls", ""},
        {"edr-issue-477-sst-zero-count.xls", ""},
        {"edr-issue-5.xls", "Compound document is damaged: FAT chain of the directory leads to sector 833 outside the file (549 sectors)"},
        {"edr-issue-624.xls", ""},
        {"libxls-xls2csv-ole-ole2-fread-327.xls", "Compound document is damaged: FAT chain of the directory leads to sector 8 outside the file (2 sectors)"},
        {"libxls-xls2csv-ole-read-msat-772.xls", "Compound document is damaged: FAT chain of stream \"Workbook\" runs into sector 0, which belongs to the FAT"},
        {"libxls-xls2csv-ole-read-msat-body-637.xls", ""},
        {"libxls-xls2csv-ole-read-msat-body-687.xls", "Compound document is damaged: FAT chain of the directory runs into sector 0, which belongs to the FAT"},
        {"phpss-bug1592.xls", ""},
        {"phpss-cf-basic-comparisons.xls", ""},
        {"phpss-oleloop.xls", "Compound document is damaged: FAT chain of the directory runs into sector 0, which belongs to the FAT"},
        {"phpss-pr-4687-excel-badendian.xls", ""},
        {"poi-42464-expptg-bad.xls", ""},
        {"poi-45290.xls", ""},
        {"poi-57456.xls", ""},
        {"poi-61300-bin.xls", ""},
        {"poi-fuzz-00934400.xls", "Compound document is damaged: stream \"Workbook\" declares 17379 bytes, but the file ends after 1811 of them"},
        {"poi-fuzz-01201152.xls", "Compound document is damaged: stream \"Workbook\" declares 2976521 bytes, but the file ends after 1646 of them"},
        {"poi-fuzz-15719168.xls", ""},
        {"poi-fuzz-16615680.xls", "Compound document is damaged: directory entry 1 links to entry 33 outside the directory (32 entries)"},
        {"poi-fuzz-40824832.xls", "Compound document is damaged: unsupported mini sector size 2^19265 (expected 64 bytes)"},
        {"poi-fuzz-40867072.xls", "Compound document is damaged: stream \"Workbook\" declares 17379 bytes, but the file ends after 246 of them"},
        {"poi-fuzz-42919168.xls", "Compound document is damaged: stream \"Workbook\" declares 27401 bytes, but the file ends after 12440 of them"},
        {"poi-fuzz-60816896.xls", ""},
        {"poi-fuzz-81830400.xls", ""},
        {"poi-fuzz-85448960.xls", "Compound document is damaged: stream \"Workbook\" declares 14042 bytes, but the file ends after 429 of them"},
        {"poi-fuzz.xls", ""},
        {"sheetjs-phpexcel-bad-cfb-dir.xls", ""},
        {"sheetjs-pyexcelerator-p-0508-0000507647-3280-5298.xls", ""},
        {"xlrd-corrupted-error.xls", ""},
};

} // namespace

TEST(CompoundFileCorpus, EveryCompoundDocumentKeepsItsOutcome)
{
    const fs::path Corpus(TABULON_CORPUS_DIR);
    if (!fs::is_directory(Corpus))
        GTEST_SKIP() << "corpus not found at " << Corpus;
    int Read = 0, Refused = 0, Damaged = 0;
    for (const auto& Entry : fs::recursive_directory_iterator(Corpus)) {
        if (!Entry.is_regular_file() || !TCompoundFile::IsCompoundFile(Entry.path().string()))
            continue;
        const std::string Folder = fs::relative(Entry.path(), Corpus).begin()->string();
        const std::string Name = Entry.path().filename().string();
        SCOPED_TRACE(Folder + "/" + Name);
        const std::string Got = Outcome(Entry.path());
        (Got.empty() ? Read : Refused)++;
        if (Folder == "damaged") {
            ++Damaged;
            const auto Expected = DamagedOutcomes.find(Name);
            ASSERT_NE(Expected, DamagedOutcomes.end()) << "no recorded outcome";
            EXPECT_EQ(Got, Expected->second);
        } else {
            EXPECT_EQ(Got, "");
        }
    }
    EXPECT_EQ(Damaged, static_cast<int>(DamagedOutcomes.size()));
    std::cout << "compound documents: " << Read << " read, " << Refused << " refused\n";
}
