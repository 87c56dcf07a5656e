#include "CommandLine.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>

namespace {

struct TRun {
    int Status;
    std::string Out;
    std::string Err;
};

TRun Tabulon(const std::vector<std::string>& Args)
{
    std::ostringstream Out, Err;
    const int Status = RunCommandLine(Args, Out, Err);
    return {Status, Out.str(), Err.str()};
}

TEST(CommandLine, ExitStatusesAndMessages)
{
    EXPECT_EQ(Tabulon({"--help"}).Status, 0);
    EXPECT_NE(Tabulon({"--help"}).Out.find("--no-formatting"), std::string::npos);
    EXPECT_EQ(Tabulon({"--version"}).Status, 0);
    EXPECT_EQ(Tabulon({}).Status, 2);
    EXPECT_EQ(Tabulon({"book.xls", "--no-such-flag"}).Status, 2);

    const TRun Missing = Tabulon({"/nonexistent/book.xls"});
    EXPECT_EQ(Missing.Status, 1);
    EXPECT_TRUE(Missing.Out.empty());
    EXPECT_NE(Missing.Err.find("/nonexistent/book.xls"), std::string::npos) << Missing.Err;
}

} // namespace

namespace {

std::string ReadAll(const std::string& Path)
{
    std::ifstream In(Path, std::ios::binary);
    return std::string((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

TEST(CommandLine, OutputFileHoldsExactlyWhatStandardOutputShows)
{
    const std::string Book = TABULON_EXAMPLES_DIR "/sample.xls";
    const auto Dir = std::filesystem::temp_directory_path() / "tabulon-cli-test";
    std::filesystem::remove_all(Dir);
    std::filesystem::create_directories(Dir);
    const std::string Unit = (Dir / "Sample.pas").string();

    const TRun ToStdout = Tabulon({Book, "--unit", "Sample"});
    ASSERT_EQ(ToStdout.Status, 0) << ToStdout.Err;
    EXPECT_EQ(ToStdout.Out.rfind("unit Sample;\r\n", 0), 0u);
    EXPECT_NE(ToStdout.Out.find("WriteNumFormula("), std::string::npos);

    const TRun ToFile = Tabulon({Book, "-o", Unit});
    ASSERT_EQ(ToFile.Status, 0) << ToFile.Err;
    EXPECT_TRUE(ToFile.Out.empty());
    EXPECT_EQ(ReadAll(Unit), ToStdout.Out);
    EXPECT_FALSE(std::filesystem::exists(Unit + ".tmp"));

    const TRun Dump = Tabulon({"--dump-cells", Book, "-o", (Dir / "cells.tsv").string()});
    ASSERT_EQ(Dump.Status, 0) << Dump.Err;
    EXPECT_EQ(ReadAll((Dir / "cells.tsv").string()), Tabulon({"--dump-cells", Book}).Out);

    // A failed run leaves no file behind.
    const std::string Missing = (Dir / "no-such-folder" / "Unit.pas").string();
    EXPECT_EQ(Tabulon({Book, "-o", Missing}).Status, 1);
    EXPECT_FALSE(std::filesystem::exists(Missing));
    const TRun Bad = Tabulon({"/nonexistent.xls", "-o", Unit + "2"});
    EXPECT_EQ(Bad.Status, 1);
    EXPECT_FALSE(std::filesystem::exists(Unit + "2"));
    std::filesystem::remove_all(Dir);
}

} // namespace
