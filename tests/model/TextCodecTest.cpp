#include "model/TextCodec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Cp(int Codepage, std::string_view Bytes)
{
    return CodepageToUtf8(Codepage, Bytes);
}

const std::string Fffd = "\xEF\xBF\xBD";

TEST(TextCodec, Utf16)
{
    using namespace std::string_literals;
    struct Case {
        const char* Name;
        std::string Bytes;
        std::string Utf8;
    };
    const Case Cases[] = {
        {"ASCII", "A\0b\0"s, "Ab"},
        {"two-byte", "\xE9\0"s, "\xC3\xA9"},
        {"three-byte", "\xAC\x20"s, "\xE2\x82\xAC"},
        {"surrogate pair", "\x3D\xD8\x00\xDE"s, "\xF0\x9F\x98\x80"},
        {"lone high surrogate", "\x3D\xD8"s "A\0"s, Fffd + "A"},
        {"lone low surrogate", "\x00\xDE"s, Fffd},
        {"odd trailing byte", "A\0B"s, "A" + Fffd},
        {"NUL kept", "\0\0"s, "\0"s},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(Utf16LeToUtf8(reinterpret_cast<const uint8_t*>(C.Bytes.data()), C.Bytes.size()), C.Utf8) << C.Name;
    EXPECT_EQ(Utf16ToUtf8(u"K\u00E4se \U0001F600"), "K\xC3\xA4se \xF0\x9F\x98\x80");
}

TEST(TextCodec, CodePages)
{
    struct Case {
        int Codepage;
        std::string Bytes;
        std::string Utf8;
    };
    const Case Cases[] = {
        {1252, "caf\xE9 \x80", "caf\xC3\xA9 \xE2\x82\xAC"},
        {1252, "\x81", Fffd},                         // undefined in Windows-1252
        {1251, "\xC0\xE1", "\xD0\x90\xD0\xB1"},
        {932, "\x82\xA0", "\xE3\x81\x82"},            // Shift-JIS hiragana A
        {932, "A\x82", "A" + Fffd},                   // lead byte cut off at the end
        {1200, "\xE9\x80", "\xC3\xA9\xC2\x80"},       // BIFF8: compressed UTF-16 is Latin-1
        {28591, "\xFF", "\xC3\xBF"},
        {65001, "\xC3\xA9\xC3", "\xC3\xA9" + Fffd},   // checked UTF-8
        {65001, "\xC0\xAF", Fffd + Fffd},             // overlong form
        {32768, "\x8A", "\xC3\xA4"},                  // Macintosh Roman
        {12345, "\x80", "\xE2\x82\xAC"},              // unknown code page: Windows-1252
        {0, "\x80", "\xE2\x82\xAC"},
    };
    for (const Case& C : Cases)
        EXPECT_EQ(Cp(C.Codepage, C.Bytes), C.Utf8) << C.Codepage << " " << C.Bytes;
    // The cached descriptor is reset between calls: a cut-off character does
    // not leak into the next text.
    EXPECT_EQ(Cp(932, "\x82"), Fffd);
    EXPECT_EQ(Cp(932, "A"), "A");
}

TEST(TextCodec, Latin1AndBackToUtf16)
{
    const uint8_t Latin1[] = {'a', 0xDF, 0x00};
    EXPECT_EQ(Latin1ToUtf8(Latin1, 3), std::string("a\xC3\x9F\0", 4));
    EXPECT_EQ(Utf8ToUtf16("K\xC3\xA4se \xF0\x9F\x98\x80"), u"K\u00E4se \U0001F600");
    EXPECT_EQ(Utf8ToUtf16("a\xFF"), u"a\uFFFD");
}

} // namespace
