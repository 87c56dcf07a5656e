#pragma once
// The cell dump: one line per stored cell, sheets in order, cells in storage
// order (rows, then columns), as tab-separated fields
//   sheet index, row, column, kind, value, formula
// kind: the cell kind's name without "ct" (Blank, Float, String, ...);
// value: the number (shortest text that reads back as the same double, "."
// as decimal point; inf, -inf, nan), the text, TRUE or FALSE, or the error
// text, from the cell or its cached result, empty for a blank; formula: the
// decoded formula text, empty for other cells. Tabs, line feeds, carriage
// returns and backslashes inside fields are written as \t, \n, \r and \\.
// Lines end with a line feed.

#include <ostream>

class TTabulon;

void DumpCells(TTabulon& XLS, std::ostream& Out);
