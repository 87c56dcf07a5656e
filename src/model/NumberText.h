#pragma once
// The general number text used wherever a number becomes text for people
// (cell text, decoded formulas): at most 15 significant digits, the locale's
// decimal separator.

#include <string>

std::string GeneralNumberText(double Value);
