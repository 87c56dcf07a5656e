#pragma once
// The process locale's separators, read once. Text for people (cell text,
// decoded formulas) uses them; generated source code never does.

char SystemDecimalSeparator();
// ";" where the decimal separator is ",", else ",".
char SystemListSeparator();
// Re-reads the locale (tests change it with setlocale).
void RefreshLocaleSeparators();
