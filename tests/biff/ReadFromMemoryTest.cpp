// Reading from memory (whole file bytes, or a workbook stream taken out of
// its compound document) must give the same model as reading the file.

#include "biff/CompoundFile.h"
#include "codegen/UnitGenerator.h"
#include "model/Tabulon.h"

#include <gtest/gtest.h>

#include <fstream>
#include <tuple>
#include <iterator>

namespace {

std::vector<uint8_t> FileBytes(const std::string& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

std::string Unit(TTabulon& XLS)
{
    TStringListSink Sink;
    GenerateUnit(XLS, TUnitOptions(), Sink);
    return Sink.Text();
}

TEST(ReadFromMemory, SameUnitAsReadingTheFile)
{
    for (const auto& [Name, Stream, Version] : {std::tuple{"replay-cells-biff8.xls", "Workbook", xvExcel97},
                                                std::tuple{"replay-cells-biff5.xls", "Book", xvExcel50}}) {
        const std::string Path = std::string(TABULON_FIXTURES_DIR) + "/" + Name;
        TTabulon FromFile;
        FromFile.Filename = Path;
        FromFile.Read();
        const std::string Expected = Unit(FromFile);
        ASSERT_NE(Expected.find("WriteNumber"), std::string::npos) << Name;

        TTabulon FromBytes;
        FromBytes.ReadBytes(FileBytes(Path));
        EXPECT_EQ(Unit(FromBytes), Expected) << Name;

        TCompoundFile File;
        File.OpenMemory(FileBytes(Path));
        TTabulon FromStream;
        FromStream.ReadWorkbookStream(File.ReadStream(Stream), Version);
        EXPECT_EQ(FromStream.GetVersion(), Version);
        EXPECT_EQ(Unit(FromStream), Expected) << Name;
    }
}

} // namespace
