#include "formula/ExcelFunc.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

TEST(ExcelFunctions, CountPairsAndPlaceholders)
{
    std::map<std::pair<int, int>, int> Pairs;
    for (const TExcelFunctions& F : ExcelFunctions)
        ++Pairs[{F.MinArgs, F.MaxArgs}];
    EXPECT_EQ(Pairs[std::make_pair(1, 1)], 198);
    EXPECT_EQ(Pairs[std::make_pair(2, 2)], 38);
    EXPECT_EQ(Pairs[std::make_pair(3, 3)], 34);
    EXPECT_EQ(Pairs[std::make_pair(4, 4)], 10);
    EXPECT_EQ(Pairs[std::make_pair(0, 0)], 7);
    EXPECT_EQ(Pairs[std::make_pair(1, 99)], 32);
    EXPECT_EQ(Pairs[std::make_pair(2, 99)], 4);

    for (int I : {202, 203, 217, 218, 249, 250, 255, 333}) {
        EXPECT_EQ(ExcelFunctions[I].Name, std::to_string(I));
        EXPECT_EQ(ExcelFunctions[I].MinArgs, 1);
        EXPECT_EQ(ExcelFunctions[I].MaxArgs, 1);
    }
    int Digits = 0;
    for (const TExcelFunctions& F : ExcelFunctions)
        Digits += F.Name[0] >= '0' && F.Name[0] <= '9';
    EXPECT_EQ(Digits, 8);
}

TEST(ExcelFunctions, Rows)
{
    struct TRow {
        int Index;
        const char* Name;
        int Min;
        int Max;
    };
    for (const TRow& R : {TRow{0, "COUNT", 1, 99}, TRow{1, "IF", 2, 3}, TRow{4, "SUM", 1, 99}, TRow{19, "PI", 0, 0},
                          TRow{31, "MID", 3, 3}, TRow{10, "NA", 0, 0}, TRow{143, "SYD", 4, 4},
                          TRow{212, "ROUNDUP", 2, 2}, TRow{273, "BINOMDIST", 4, 4}, TRow{297, "STANDARDIZE", 3, 3},
                          TRow{351, "DATEDIF", 3, 3}, TRow{353, "NUMBERSTRING", 2, 2}, TRow{102, "VLOOKUP", 3, 4}, TRow{185, "GET.CELL", 1, 1},
                          TRow{222, "VDB", 5, 7}, TRow{228, "SUMPRODUCT", 2, 99}, TRow{344, "SUBTOTAL", 2, 99},
                          TRow{367, "VARA", 1, 99}}) {
        EXPECT_STREQ(ExcelFunctions[R.Index].Name, R.Name);
        EXPECT_EQ(ExcelFunctions[R.Index].MinArgs, R.Min) << R.Name;
        EXPECT_EQ(ExcelFunctions[R.Index].MaxArgs, R.Max) << R.Name;
    }
}

TEST(ExcelFunctions, FindByName)
{
    EXPECT_EQ(FindExcelFunction("SUM"), 4);
    EXPECT_EQ(FindExcelFunction("sum"), 4);
    EXPECT_EQ(FindExcelFunction("Get.Cell"), 185);
    EXPECT_EQ(FindExcelFunction("VARA"), 367);
    EXPECT_EQ(FindExcelFunction("SU"), -1);
    EXPECT_EQ(FindExcelFunction("SUMS"), -1);
    EXPECT_EQ(FindExcelFunction(""), -1);
    for (int I = 0; I < ExcelFunctionCount; ++I)
        EXPECT_EQ(FindExcelFunction(ExcelFunctions[I].Name), I) << ExcelFunctions[I].Name;
}

} // namespace
