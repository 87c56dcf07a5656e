// Text of cell records: code pages, BIFF8 strings and their splitting across
// CONTINUE records.
#include "biff/BiffString.h"
#include "model/Codepages.h"
#include "model/Exception.h"
#include "model/TextCodec.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

std::string Str(const TBytes& B)
{
    return std::string(B.begin(), B.end());
}

TEST(Codepages, AliasTable)
{
    struct {
        int Codepage;
        const char* Charset;
    } const Cases[] = {
        {1252, "WINDOWS-1252"}, {1251, "WINDOWS-1251"}, {10000, "MACINTOSH"}, {10029, "MAC-CENTRALEUROPE"},
        {10007, "MAC-CYRILLIC"}, {32768, "MACINTOSH"}, {32769, "WINDOWS-1252"}, {21010, "WINDOWS-1252"},
        {65001, "UTF-8"}, {0, "WINDOWS-1252"}, {12345, "WINDOWS-1252"},
        {932, "WINDOWS-31J"}, {367, "ASCII"},
    };
    for (const auto& C : Cases)
        EXPECT_STREQ(CodepageCharset(C.Codepage), C.Charset) << C.Codepage;
}

TEST(Codepages, ConvertsToUtf8)
{
    struct {
        std::string Bytes;
        int Codepage;
        std::string Expected;
    } const Cases[] = {
        {"plain", 1251, "plain"},
        {"\xcf\xf0\xe8\xe2\xe5\xf2", 1251, "Привет"},
        {"\xe1\xe2\xe3\xe1", 1253, "αβγα"},
        {"\xe4\xf6\xfc\x80", 1252, "äöü€"},
        {"\x8a\x9a", 10000, "äö"},      // Mac Roman
        {"\x87\xcb", 10029, "áň"}, // Mac Central European
        {"\x93\xfa\x96\x7b", 932, "日本"},
        {"\xc3\xa9t\xc3\xa9", 65001, "été"},
        {"\xe9t\xe9", 0, "été"},      // unknown: Windows-1252
        {"\xe9t\xe9", 1200, "été"},
        // Undefined bytes and a character cut off at the end: U+FFFD, the rest kept.
        {"a\x81" "b", 1252, "a\xef\xbf\xbd" "b"},
        {"a\x93", 932, "a\xef\xbf\xbd"},
        {"\xff\xfe", 65001, "\xef\xbf\xbd\xef\xbf\xbd"},
    };
    for (const auto& C : Cases)
        EXPECT_EQ(CodepageToUtf8(C.Codepage, C.Bytes), C.Expected) << C.Codepage;
}

TEST(BiffString, Utf16AndLatin1ToUtf8)
{
    EXPECT_EQ(BiffCharsToUtf8(Str({0x1F, 0x04, 0x40, 0x04, 0x38, 0x04}), true), "При");
    EXPECT_EQ(BiffCharsToUtf8(Str({0xB1, 0x03, 0xC9, 0x03}), true), "αω");
    EXPECT_EQ(BiffCharsToUtf8(Str({0x3D, 0xD8, 0x00, 0xDE}), true), "\xf0\x9f\x98\x80"); // surrogate pair
    EXPECT_EQ(BiffCharsToUtf8(Str({0x3D, 0xD8, 0x41, 0x00}), true), "\xef\xbf\xbd" "A");  // unpaired
    EXPECT_EQ(BiffCharsToUtf8("Gr\xfc\xdf", false), "Grüß");
}

// Feeds the bodies after the first as CONTINUE records.
struct TChain {
    std::vector<TBytes> Bodies;
    size_t Next = 1;
    TContinuedReader Reader()
    {
        return TContinuedReader(Bodies[0], [this]() -> std::optional<std::span<const uint8_t>> {
            if (Next >= Bodies.size())
                return std::nullopt;
            return Bodies[Next++];
        }, "CONTINUE record is missing");
    }
};

TEST(BiffString, CharactersAcrossPiecesOfEitherWidth)
{
    struct {
        const char* Name;
        std::vector<TBytes> Bodies;
        size_t Count;
        bool Wide;
        TBytes Expected;
        bool ExpectedWide;
    } const Cases[] = {
        {"whole", {{'a', 'b', 'c'}}, 3, false, {'a', 'b', 'c'}, false},
        {"8-bit then 8-bit", {{'a', 'b'}, {0, 'c', 'd'}}, 4, false, {'a', 'b', 'c', 'd'}, false},
        {"8-bit then 16-bit", {{'a'}, {1, 'b', 0}}, 2, false, {'a', 0, 'b', 0}, true},
        {"16-bit then 8-bit", {{'a', 0}, {0, 'b'}}, 2, true, {'a', 0, 'b', 0}, true},
        {"three pieces", {{'a'}, {1, 'b', 0}, {0, 'c'}}, 3, false, {'a', 0, 'b', 0, 'c', 0}, true},
        // An odd byte at a record's end inside a 16-bit piece is dropped.
        {"odd byte", {{'a', 0, 'x'}, {1, 'b', 0}}, 2, true, {'a', 0, 'b', 0}, true},
        // Width bytes other than 1 mean 8-bit.
        {"other width byte", {{'a'}, {7, 'b'}}, 2, false, {'a', 'b'}, false},
    };
    for (const auto& C : Cases) {
        TChain Chain{C.Bodies};
        auto R = Chain.Reader();
        std::string Out;
        EXPECT_EQ(R.Chars(C.Count, C.Wide, Out), C.ExpectedWide) << C.Name;
        EXPECT_EQ(Out, Str(C.Expected)) << C.Name;
        EXPECT_EQ(Chain.Next, C.Bodies.size()) << C.Name;
        EXPECT_EQ(R.Left(), 0u) << C.Name;
    }
}

TEST(BiffString, BlocksAndFieldsCarryOnWithoutWidthByte)
{
    // A rich string: count 2, options 0x0C, 1 run, 3 phonetic bytes; the run
    // block and the phonetic block break across records.
    TChain Chain{{{0x0C, 0x01, 0x00, 0x03, 0x00, 0x00, 0x00, 'h', 'i', 0x00, 0x00},
                  {0x05, 0x00, 'p', 'q'},
                  {'r', 0xAA}}};
    auto R = Chain.Reader();
    const uint8_t Options = R.U8();
    TBiffString S;
    ReadBiffStringBody(R, 2, Options, S);
    EXPECT_EQ(S.Chars, "hi");
    EXPECT_EQ(S.Options, 0x0C);
    EXPECT_EQ(S.RunCount, 1);
    EXPECT_EQ(S.Runs, Str({0, 0, 5, 0}));
    EXPECT_EQ(S.Phonetic, "pqr");
    EXPECT_EQ(R.U8(), 0xAA);
    EXPECT_THROW(R.U8(), Exception);
}

TEST(BiffString, LegalOptions)
{
    for (int O = 0; O < 256; ++O)
        EXPECT_EQ(IsLegalStringOptions(static_cast<uint8_t>(O)),
                  O == 0 || O == 1 || O == 4 || O == 5 || O == 8 || O == 9 || O == 12 || O == 13)
            << O;
}

} // namespace
