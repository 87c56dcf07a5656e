#pragma once
// The code pages of 8-bit text in BIFF2 to BIFF5 files (the CODEPAGE record):
// which iconv character set decodes each.

#include <cstdint>

// The iconv name for a CODEPAGE value. Values no table knows give
// "WINDOWS-1252", the code page of files without a CODEPAGE record.
const char* CodepageCharset(int Codepage);
