#include "CommandLine.h"
#include "biff/BiffBuilder.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

std::string ErrOf(const std::vector<std::string>& Args, bool ErrIsTerminal, int* Status = nullptr)
{
    std::ostringstream Out, Err;
    const int Result = RunCommandLine(Args, Out, Err, ErrIsTerminal);
    if (Status)
        *Status = Result;
    return Err.str();
}

TEST(CommandLine, ProgressLineOnlyWhereSomeoneWatches)
{
    TTempFile Book(Cat({BOFOld(0x0409, 0x0010), Repeat(Filler(), 250), EOFRec()}));
    const std::string Line = "\rReading " + Book.Path() + ": 0%\rReading " + Book.Path() + ": 40%\rReading " +
                             Book.Path() + ": 80%\rReading " + Book.Path() + ": 100%\n";
    EXPECT_EQ(ErrOf({Book.Path()}, false), "");
    EXPECT_EQ(ErrOf({Book.Path()}, true), Line);
    EXPECT_EQ(ErrOf({Book.Path(), "--progress"}, false), Line);
    EXPECT_EQ(ErrOf({Book.Path(), "--quiet"}, true), "");
    int Status = 0;
    ErrOf({Book.Path(), "--quiet", "--progress"}, false, &Status);
    EXPECT_EQ(Status, 2);

    // A failed read ends the progress line before its message.
    TTempFile Locked(Cat({BOFOld(0x0409, 0x0010), Rec(0x002F), EOFRec()}));
    EXPECT_EQ(ErrOf({Locked.Path(), "--progress"}, false, &Status),
              "\rReading " + Locked.Path() + ": 0%\ntabulon: Error on reading record # 1\nFile is password protected\n");
    EXPECT_EQ(Status, 1);
}

} // namespace
