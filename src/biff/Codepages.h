#pragma once
// The code pages of 8-bit text in BIFF2 to BIFF5 files (the CODEPAGE record)
// and their conversion to UTF-8.

#include <cstdint>
#include <string>
#include <string_view>

// The iconv name for a CODEPAGE value. Values no table knows, and the
// values that name UTF-16 (which 8-bit text cannot be in), give
// "WINDOWS-1252", the code page of files without a CODEPAGE record.
const char* CodepageCharset(uint16_t Codepage);

// Bytes in the given code page as UTF-8. Bytes the code page does not define
// (and an incomplete character at the end) become U+FFFD; this never fails.
std::string CodepageToUtf8(std::string_view Bytes, uint16_t Codepage);

// Latin-1 bytes (BIFF8 8-bit text: the low bytes of UTF-16 code units) as UTF-8.
std::string Latin1ToUtf8(std::string_view Bytes);
