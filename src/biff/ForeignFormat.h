#pragma once
// Tells what a file that is not a BIFF file appears to be, from its first
// bytes. Many files named .xls are Office Open XML workbooks, web pages,
// SpreadsheetML or plain text that a spreadsheet program once opened happily.

#include <cstdint>
#include <span>
#include <string>

// "the file looks like ..." (or "the file is empty"), or an empty string when
// the bytes match none of the formats known here.
std::string DescribeForeignFormat(std::span<const uint8_t> Data);
