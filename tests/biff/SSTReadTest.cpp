#include "biff/SST.h"
#include "model/Exception.h"

#include <gtest/gtest.h>

#include <optional>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

// Reads an SST record whose body is Bodies[0], followed by the rest as
// CONTINUE records; returns the failure message or "".
std::string ReadSST(TSST2& SST, const std::vector<TBytes>& Bodies)
{
    size_t Next = 1;
    try {
        SST.Read(Bodies[0], [&]() -> std::optional<std::span<const uint8_t>> {
            if (Next >= Bodies.size())
                return std::nullopt;
            return Bodies[Next++];
        });
    } catch (const Exception& E) {
        return E.what();
    }
    return Next == Bodies.size() ? "" : "not all records read";
}

TBytes Head(uint32_t Unique)
{
    return {0, 0, 0, 0, static_cast<uint8_t>(Unique), static_cast<uint8_t>(Unique >> 8), 0, 0};
}

TBytes Cat(TBytes A, const TBytes& B)
{
    A.insert(A.end(), B.begin(), B.end());
    return A;
}

TEST(SSTRead, SplittingRules)
{
    struct {
        const char* Name;
        std::vector<TBytes> Bodies;
        std::vector<std::string> Texts;
        std::vector<uint8_t> Options;
    } const Cases[] = {
        {"empty table", {Head(0)}, {}, {}},
        {"one record", {Cat(Head(2), {2, 0, 0, 'a', 'b', 1, 0, 1, 0x16, 0x04})}, {"ab", "Ж"}, {0, 1}},
        {"8-bit string widened by a 16-bit piece",
         {Cat(Head(1), {3, 0, 0, 'a'}), {1, 0x16, 0x04, 'c', 0}}, {"aЖc"}, {1}},
        {"16-bit string continued 8-bit", {Cat(Head(1), {2, 0, 1, 0x16, 0x04}), {0, 0xE9}}, {"Жé"}, {1}},
        {"header at the start of a CONTINUE record", {Cat(Head(2), {1, 0, 0, 'x'}), {1, 0, 0, 'y'}}, {"x", "y"},
         {0, 0}},
        {"runs break across records, next string follows",
         {Cat(Head(2), {1, 0, 8, 2, 0, 'r', 0, 0, 1}), {0, 2, 0, 3, 0, 1, 0, 0, 'z'}}, {"r", "z"}, {8, 0}},
        {"phonetic block breaks", {Cat(Head(1), {1, 0, 4, 3, 0, 0, 0, 'p', 9}), {9, 9}}, {"p"}, {4}},
        // Writers that get the count wrong: the table ends with its records.
        {"count too high", {Cat(Head(5), {1, 0, 0, 'a'})}, {"a"}, {0}},
        {"count 0 with strings", {Cat(Head(0), {1, 0, 0, 'a', 1, 0, 0, 'b'})}, {"a", "b"}, {0, 0}},
    };
    for (const auto& C : Cases) {
        TSST2 SST;
        SST.SetCodepage(1200);
        EXPECT_EQ(ReadSST(SST, C.Bodies), "") << C.Name;
        ASSERT_EQ(SST.Count(), static_cast<int>(C.Texts.size())) << C.Name;
        for (int I = 0; I < SST.Count(); ++I) {
            EXPECT_EQ(SST.GetString(I), C.Texts[static_cast<size_t>(I)]) << C.Name;
            EXPECT_EQ(SST.Entry(I).Options, C.Options[static_cast<size_t>(I)]) << C.Name;
        }
    }
}

TEST(SSTRead, RunsAndPhoneticBytesAreKept)
{
    TSST2 SST;
    ASSERT_EQ(ReadSST(SST, {Cat(Head(1), {1, 0, 0x0C, 1, 0, 2, 0, 0, 0, 'q', 0, 0}), {5, 0, 7, 8}}), "");
    const auto E = SST.Entry(0);
    EXPECT_EQ(E.RunCount, 1u);
    EXPECT_EQ(TBytes(E.Runs.begin(), E.Runs.end()), (TBytes{0, 0, 5, 0}));
    EXPECT_EQ(TBytes(E.Ext.begin(), E.Ext.end()), (TBytes{7, 8}));
}

TEST(SSTRead, Failures)
{
    struct {
        const char* Name;
        std::vector<TBytes> Bodies;
        const char* Message;
        int EntriesKept;
    } const Cases[] = {
        {"bad option byte", {Cat(Head(2), {1, 0, 0, 'a', 1, 0, 0x02, 'b'})}, "STT: Unhandled string type in Read (02) # 2",
         1},
        {"string cut off", {Cat(Head(1), {3, 0, 0, 'a'})}, "CONTINUE record is missing in SST", 0},
        {"run block cut off", {Cat(Head(1), {1, 0, 8, 1, 0, 'a', 0})}, "CONTINUE record is missing in SST", 0},
    };
    for (const auto& C : Cases) {
        TSST2 SST;
        EXPECT_EQ(ReadSST(SST, C.Bodies), C.Message) << C.Name;
        EXPECT_EQ(SST.Count(), C.EntriesKept) << C.Name;
    }
}

TEST(SSTRead, AddStringFindsEntriesReadFromTheFile)
{
    TSST2 SST;
    ASSERT_EQ(ReadSST(SST, {Cat(Head(1), {3, 0, 0, 'a', 'b', 'c'})}), "");
    EXPECT_EQ(SST.AddString("abc"), 0);
    EXPECT_EQ(SST.AddWideString(u"abc"), 1);
    EXPECT_EQ(SST.GetString(-1), "");
    EXPECT_EQ(SST.GetString(2), "");
    EXPECT_THROW(SST.UseString(2), Exception);
}

} // namespace
