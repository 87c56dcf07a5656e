#include "biff/SST.h"
#include "model/Exception.h"
#include "model/XLSUtils.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::span<const uint8_t> Bytes(std::string_view Text)
{
    return {reinterpret_cast<const uint8_t*>(Text.data()), Text.size()};
}

TEST(SST, EqualTextsAreReusedAndWidthsNeverMatch)
{
    TSST2 SST;
    EXPECT_EQ(SST.AddString("abc"), 0);
    EXPECT_EQ(SST.AddWideString(u"abc"), 1);
    EXPECT_EQ(SST.AddString("abc"), 0);
    EXPECT_EQ(SST.AddWideString(u"abc"), 1);
    EXPECT_EQ(SST.AddString("abd"), 2);
    // "a\0" as 8-bit bytes equals the 16-bit bytes of u"a", but a width apart.
    EXPECT_EQ(SST.AddString(std::string_view("a\0", 2)), 3);
    EXPECT_EQ(SST.AddWideString(u"a"), 4);
    // Empty texts match only an empty entry of their own width.
    EXPECT_EQ(SST.AddWideString(u""), 5);
    EXPECT_EQ(SST.AddString(""), 6);
    EXPECT_EQ(SST.AddString(""), 6);
    EXPECT_EQ(SST.Count(), 7);

    const TSST2::TEntry Wide = SST.Entry(1);
    EXPECT_EQ(Wide.Options, 0x01);
    EXPECT_EQ(Wide.CharCount, 3u);
    EXPECT_EQ(Wide.Chars.size(), 6u);
    EXPECT_EQ(Wide.Hash, StrHash(Wide.Chars.data(), Wide.Chars.size()));
    EXPECT_EQ(SST.Entry(0).Options, 0x00);
    EXPECT_EQ(SST.Entry(0).Hash, 0x8822);
}

TEST(SST, FileEntriesAreFoundByAddString)
{
    TSST2 SST;
    const uint8_t Runs[] = {0, 0, 1, 0, 2, 0, 3, 0};
    const uint8_t Ext[] = {9, 9, 9};
    EXPECT_EQ(SST.Append(0x0C, Bytes("rich"), Runs, Ext), 0);
    EXPECT_EQ(SST.Append(0x00, Bytes("dup")), 1);
    EXPECT_EQ(SST.Append(0x00, Bytes("dup")), 2); // the file's entries are kept as they are
    EXPECT_EQ(SST.Append(0x01, Bytes(std::string_view("w\0i\0d\0e\0", 8))), 3);
    EXPECT_EQ(SST.AddString("rich"), 0);
    EXPECT_EQ(SST.AddString("dup"), 1);
    EXPECT_EQ(SST.AddWideString(u"wide"), 3);
    EXPECT_EQ(SST.AddWideString(u"dup"), 4);

    const TSST2::TEntry Rich = SST.Entry(0);
    EXPECT_EQ(Rich.RunCount, 2u);
    EXPECT_EQ(Rich.ExtSize, 3u);
    EXPECT_EQ(std::vector<uint8_t>(Rich.Runs.begin(), Rich.Runs.end()), std::vector<uint8_t>(Runs, Runs + 8));
    EXPECT_EQ(std::vector<uint8_t>(Rich.Ext.begin(), Rich.Ext.end()), std::vector<uint8_t>(Ext, Ext + 3));
    EXPECT_EQ(SST.GetString(0), "rich");
    EXPECT_THROW(SST.Append(0x01, Bytes("odd")), Exception);
    EXPECT_EQ(SST.Count(), 5);
}

TEST(SST, IndexesOutsideTheTable)
{
    TSST2 SST;
    SST.AddString("x");
    EXPECT_EQ(SST.GetString(-1), "");
    EXPECT_EQ(SST.GetString(1), "");
    for (int Index : {-1, 1}) {
        try {
            SST.UseString(Index);
            ADD_FAILURE() << Index;
        } catch (const Exception& E) {
            EXPECT_EQ(std::string(E.what()), "SST index out of range (" + std::to_string(Index) + ":1)");
        }
    }
    EXPECT_NO_THROW(SST.UseString(0));
}

TEST(SST, TextLeavesAsUtf8)
{
    TSST2 SST;
    const int Latin = SST.AddString("\xE9t\xE9");
    const int Wide = SST.AddWideString(u"\u20AC\U0001F600");
    EXPECT_EQ(SST.GetString(Latin), "\xC3\xA9t\xC3\xA9"); // BIFF8: compressed UTF-16
    EXPECT_EQ(SST.GetString(Wide), "\xE2\x82\xAC\xF0\x9F\x98\x80");
    SST.SetCodepage(1251); // a BIFF5 workbook's code page
    EXPECT_EQ(SST.GetString(Latin), "\xD0\xB9t\xD0\xB9");
    EXPECT_EQ(SST.GetString(Wide), "\xE2\x82\xAC\xF0\x9F\x98\x80");
}

// Many entries, many sharing their 16-bit hash: each text still finds its own
// first entry, before and after the index grows.
TEST(SST, ManyTextsFindTheirFirstEntry)
{
    TSST2 SST;
    const int N = 200000;
    for (int I = 0; I < N; ++I)
        ASSERT_EQ(SST.AddString("text " + std::to_string(I)), I);
    for (int I = 0; I < N; I += 7)
        ASSERT_EQ(SST.AddString("text " + std::to_string(I)), I);
    EXPECT_EQ(SST.Count(), N);
    EXPECT_EQ(SST.GetString(N - 1), "text " + std::to_string(N - 1));
    SST.Clear();
    EXPECT_EQ(SST.Count(), 0);
    EXPECT_EQ(SST.AddString("text 5"), 0);
}

TEST(SST, SheetCollectionPassesSettingsOn)
{
    TSST2 SST;
    SST.SetMaxBufSize(2080);
    EXPECT_EQ(SST.MaxBufSize(), 2080);
}

} // namespace
