// Reads every file of the shared corpus and compares each outcome ("read" or
// the message it was refused with) with the list kept in
// tests/biff/corpus_outcomes.tsv, so that any changed outcome shows. After a
// deliberate change, rewrite the list with TABULON_UPDATE_OUTCOMES=1 and
// review its diff.

#include "model/Exception.h"
#include "model/Tabulon.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>

namespace fs = std::filesystem;

namespace {

const fs::path OutcomesFile = fs::path(TABULON_SOURCE_DIR) / "tests/biff/corpus_outcomes.tsv";

// Carriage returns of wrapped messages are kept visible in the list.
std::string Escape(const std::string& Text)
{
    std::string Result;
    for (char C : Text) {
        if (C == '\r')
            Result += "\\r";
        else if (C == '\n')
            Result += "\\n";
        else if (C == '\t')
            Result += "\\t";
        else
            Result += C;
    }
    return Result;
}

std::string Outcome(const fs::path& File)
{
    TTabulon XLS;
    XLS.Filename = File.string();
    try {
        XLS.Read();
    } catch (const Exception& E) {
        return Escape(E.what());
    }
    return "read";
}

TEST(Corpus, EveryFileReadOrRefusedAsBefore)
{
    const fs::path Root(TABULON_CORPUS_DIR);
    if (!fs::is_directory(Root))
        GTEST_SKIP() << "no corpus at " << Root;

    std::vector<fs::path> Files;
    for (const auto& Entry : fs::recursive_directory_iterator(Root)) {
        const std::string Ext = Entry.path().extension().string();
        if (Entry.is_regular_file() && Ext != ".tsv" && Ext != ".md")
            Files.push_back(Entry.path());
    }
    std::sort(Files.begin(), Files.end());

    std::map<std::string, std::string> Actual;
    for (const fs::path& File : Files)
        Actual[fs::relative(File, Root).generic_string()] = Outcome(File);

    size_t Read = 0;
    for (const auto& [Name, Result] : Actual)
        Read += Result == "read";
    std::cout << "corpus: " << Actual.size() << " files, " << Read << " read, " << Actual.size() - Read
              << " refused\n";

    if (std::getenv("TABULON_UPDATE_OUTCOMES")) {
        std::ofstream Out(OutcomesFile, std::ios::binary | std::ios::trunc);
        Out << "# file\toutcome (\"read\", or the message the file is refused with)\n";
        for (const auto& [Name, Result] : Actual)
            Out << Name << '\t' << Result << '\n';
        GTEST_SKIP() << "rewrote " << OutcomesFile;
    }

    std::ifstream In(OutcomesFile, std::ios::binary);
    ASSERT_TRUE(In) << "cannot open " << OutcomesFile;
    std::map<std::string, std::string> Expected;
    for (std::string Line; std::getline(In, Line);) {
        if (Line.empty() || Line[0] == '#')
            continue;
        const size_t Tab = Line.find('\t');
        ASSERT_NE(Tab, std::string::npos) << Line;
        Expected[Line.substr(0, Tab)] = Line.substr(Tab + 1);
    }
    for (const auto& [Name, Result] : Actual) {
        const auto It = Expected.find(Name);
        if (It == Expected.end())
            ADD_FAILURE() << Name << ": not in the outcome list; got: " << Result;
        else
            EXPECT_EQ(Result, It->second) << Name;
    }
    for (const auto& [Name, Result] : Expected)
        if (!Actual.count(Name))
            ADD_FAILURE() << Name << ": listed but not in the corpus";
}

} // namespace
