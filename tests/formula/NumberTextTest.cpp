#include "FormulaTestUtil.h"

#include "model/NumberText.h"

#include <cmath>
#include <limits>

namespace {

TEST(GeneralNumberText, Table)
{
    TLocaleScope Scope("C");
    const std::vector<std::pair<double, std::string>> Cases = {
        {0, "0"},
        {-0.0, "0"},
        {1, "1"},
        {-7, "-7"},
        {1.5, "1.5"},
        {-2.25, "-2.25"},
        {0.1, "0.1"},
        {0.1 + 0.2, "0.3"},
        {1.0 / 3, "0.333333333333333"},
        {2.0 / 3, "0.666666666666667"},
        {12345.678, "12345.678"},
        {0.0001, "0.0001"},
        {0.00012345, "0.00012345"},
        {0.00005, "5E-5"},
        {1.5e-7, "1.5E-7"},
        {-1.5e-7, "-1.5E-7"},
        {1e-300, "1E-300"},
        {123456789012345.0, "123456789012345"},
        {999999999999999.0, "999999999999999"},
        {1e15, "1E15"},
        {1234567890123456.0, "1.23456789012346E15"},
        {9999999999999999.0, "1E16"},
        {1e20, "1E20"},
        {-1e20, "-1E20"},
        {1.7976931348623157e308, "1.79769313486232E308"},
        {12345678901234.5, "12345678901234.5"},
        {123456789012.34567, "123456789012.346"},
        {0.000099999999999999999, "0.0001"},
        {std::numeric_limits<double>::quiet_NaN(), "#NUM!"},
        {std::numeric_limits<double>::infinity(), "#NUM!"},
    };
    for (const auto& [Value, Expected] : Cases)
        EXPECT_EQ(GeneralNumberText(Value), Expected) << Value;
}

TEST(GeneralNumberText, UsesTheLocaleDecimalSeparator)
{
    const char* Comma = CommaDecimalLocale();
    if (!Comma)
        GTEST_SKIP() << "no locale with a decimal comma on this machine";
    TLocaleScope Scope(Comma);
    EXPECT_EQ(GeneralNumberText(1.5), "1,5");
    EXPECT_EQ(GeneralNumberText(1.5e-7), "1,5E-7");
    EXPECT_EQ(GeneralNumberText(1000), "1000");
}

} // namespace
