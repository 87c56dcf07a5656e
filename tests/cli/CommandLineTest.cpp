#include "CommandLine.h"

#include <gtest/gtest.h>

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
