#pragma once
// The built-in function table: function number (as stored in tFunc and
// tFuncVar tokens) to the name written in formula text and the bounds of the
// argument count. Constant data, complete at program start.

#include <array>
#include <cstdint>
#include <string_view>

struct TExcelFunctions {
    uint8_t MinArgs;  // also the operand count of a fixed-argument token
    uint8_t MaxArgs;  // 99 stands for an open-ended list
    const char* Name; // upper case; placeholder rows carry their own number
};

constexpr int ExcelFunctionCount = 368;

// Indexed by function number 0..367. Rows 202, 203, 217, 218, 249, 250, 255
// and 333 are placeholders: their name is their number and both counts are 1.
// Row 255 is the number files use for add-in and macro functions, whose name
// travels as the first operand.
extern const std::array<TExcelFunctions, ExcelFunctionCount> ExcelFunctions;

// The function number whose name equals Name (compared in upper case, as a
// whole), the lowest one when several match; -1 when no row matches.
int FindExcelFunction(std::string_view Name);
