#pragma once
// Text conversions for everything that leaves the file for the model, which
// holds UTF-8 only. Every reader of strings calls these; nothing else knows
// that iconv is behind the legacy code pages.
//
// None of them throws over text: a byte sequence that cannot be decoded
// (an unpaired surrogate, an odd trailing byte, a byte the code page leaves
// undefined) becomes U+FFFD and the conversion goes on.

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// ByteCount bytes of UTF-16 little-endian code units.
std::string Utf16LeToUtf8(const uint8_t* Data, size_t ByteCount);
std::string Utf16ToUtf8(std::u16string_view Text);

// BIFF8 "compressed" strings: the low bytes of UTF-16 code units.
std::string Latin1ToUtf8(const uint8_t* Data, size_t Count);

// 8-bit text in a workbook's code page (the CODEPAGE record value).
// 1200 (the BIFF8 value: strings are UTF-16, so 8-bit ones are compressed
// UTF-16) and 28591 decode as Latin-1; 65001 is checked UTF-8; unknown or
// absent code pages decode as Windows-1252.
std::string CodepageToUtf8(int Codepage, const uint8_t* Data, size_t Count);
inline std::string CodepageToUtf8(int Codepage, std::string_view Text)
{
    return CodepageToUtf8(Codepage, reinterpret_cast<const uint8_t*>(Text.data()), Text.size());
}

// The iconv name used for a CODEPAGE value, or nullptr for the code pages
// decoded without iconv (Latin-1, UTF-8).
const char* CodepageIconvName(int Codepage);

// Invalid UTF-8 sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view Text);
