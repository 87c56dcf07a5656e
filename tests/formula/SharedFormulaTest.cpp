#include "FormulaTestUtil.h"

#include "model/Exception.h"

namespace {

TBytes Convert(bool BIFF8, TBytes Tokens, int Col, int Row)
{
    Tokens.shrink_to_fit();
    ConvertSharedFormula(BIFF8, Tokens.data(), static_cast<int>(Tokens.size()), Col, Row);
    return Tokens;
}

TEST(SharedFormula, RelativeTokensBecomeAbsoluteForTheCell)
{
    const TBytes Ref = Convert(true, Bytes({0x4C, 0x01, 0x00, 0xFF, 0xC0}), 2, 4);
    EXPECT_EQ(Ref, Bytes({0x44, 0x05, 0x00, 0x01, 0xC0}));
    EXPECT_EQ(Decode(xvExcel97, Ref), "B6");

    // Area, reference class; the second corner's row is absolute.
    const TBytes Area = Convert(true, Bytes({0x2D, 0x00, 0x00, 0x02, 0x00, 0x00, 0xC0, 0x07, 0x40}), 3, 10);
    EXPECT_EQ(Area, Bytes({0x25, 0x0A, 0x00, 0x02, 0x00, 0x03, 0xC0, 0x0A, 0x40}));
    EXPECT_EQ(Decode(xvExcel97, Area), "D11:K$3");

    // Array class, wrapping below the first row and column.
    EXPECT_EQ(Convert(true, Bytes({0x6C, 0xFE, 0xFF, 0xFE, 0xC0}), 1, 0), Bytes({0x64, 0xFE, 0xFF, 0xFF, 0xC0}));

    // Earlier layout: flags in the row field, 14-bit signed row offset.
    const TBytes Ref5 = Convert(false, Bytes({0x2C, 0xFF, 0xFF, 0x01}), 2, 4);
    EXPECT_EQ(Ref5, Bytes({0x24, 0x03, 0xC0, 0x03}));
    EXPECT_EQ(Decode(xvExcel50, Ref5), "D4");
    EXPECT_EQ(Convert(false, Bytes({0x4D, 0x00, 0xC0, 0x01, 0x80, 0x00, 0x05}), 2, 4),
              Bytes({0x45, 0x04, 0xC0, 0x05, 0x80, 0x02, 0x05}));
}

TEST(SharedFormula, OtherTokensAreSteppedOver)
{
    // Each token below must be sized right, or the tRefN after it is missed
    // or a byte inside it is taken for an identifier.
    const TBytes RefN = Bytes({0x2C, 0x00, 0x00, 0x00, 0xC0});
    const std::vector<std::pair<bool, TBytes>> Before = {
        {true, Bytes({0x17, 3, 0x00, 0x2C, 0x2C, 0x2C})},
        {true, Bytes({0x17, 2, 0x01, 0x2C, 0, 0x2C, 0})},
        {false, Bytes({0x17, 2, 0x2C, 0x2C})},
        {true, Bytes({0x19, 0x04, 1, 0, 0x2C, 0x2C, 0x2C, 0x2C})},
        {true, Bytes({0x19, 0x10, 0x2C, 0x2C})},
        {true, Bytes({0x1E, 0x2C, 0x2C})},
        {true, Bytes({0x1F, 0x2C, 0x2C, 0x2C, 0x2C, 0x2C, 0x2C, 0x2C, 0x2C})},
        {true, Bytes({0x20, 0x2C, 0x2C, 0x2C, 0x2C, 0x2C, 0x2C, 0x2C})},
        {true, Bytes({0x22, 2, 0x2C, 0x2C})},
        {true, Bytes({0x23, 0x2C, 0x2C, 0, 0})},
        {false, Bytes({0x23, 0x2C, 0x2C, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0})},
        {true, Bytes({0x29, 5, 0, 0x2C, 0x2C, 0x2C, 0x2C, 0x2C})},
        {true, Bytes({0x26, 0, 0, 0, 0, 0, 0})},
        {true, Bytes({0x39, 0x2C, 0x2C, 0x2C, 0x2C, 0, 0})},
        {true, Bytes({0x3A, 0x2C, 0x2C, 0x2C, 0x2C, 0x2C, 0x2C})},
        {false, Cat({Bytes({0x3B}), TBytes(20, 0x2C)})},
        {true, Bytes({0x58, 0x2C, 0x2C})},
        {true, Bytes({0x01, 0x2C, 0x2C, 0x2C, 0x2C})},
    };
    for (const auto& [BIFF8, Token] : Before) {
        const TBytes RefNHere = BIFF8 ? RefN : Bytes({0x2C, 0x00, 0xC0, 0x00});
        const TBytes Out = Convert(BIFF8, Cat({Token, RefNHere}), 1, 1);
        EXPECT_EQ(TBytes(Out.begin(), Out.begin() + static_cast<std::ptrdiff_t>(Token.size())), Token)
            << "token " << int(Token[0]);
        EXPECT_EQ(Out[Token.size()], 0x24) << "token " << int(Token[0]);
    }
}

TEST(SharedFormula, UnsizableTokenRaisesAfterEarlierRewrites)
{
    TBytes Tokens = Bytes({0x2C, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x2C, 0x00, 0x00, 0x00, 0xC0});
    try {
        ConvertSharedFormula(true, Tokens.data(), static_cast<int>(Tokens.size()), 1, 1);
        ADD_FAILURE() << "no exception";
    } catch (const Exception& E) {
        EXPECT_STREQ(E.what(), "Unknown ptg[00] in Shared Formula");
    }
    EXPECT_EQ(Tokens[0], 0x24);
    EXPECT_EQ(Tokens[6], 0x2C);

    for (int Id : {0x0F + 0x80, 0x18, 0x30, 0x38, 0x3E, 0x7F}) {
        TBytes One = Bytes({Id, 0, 0, 0, 0});
        try {
            ConvertSharedFormula(true, One.data(), static_cast<int>(One.size()), 0, 0);
            ADD_FAILURE() << "no exception for " << Id;
        } catch (const Exception& E) {
            char Expected[48];
            std::snprintf(Expected, sizeof Expected, "Unknown ptg[%.2X] in Shared Formula", Id);
            EXPECT_STREQ(E.what(), Expected);
        }
    }
}

TEST(SharedFormula, TokenRunningPastTheEndIsLeftAlone)
{
    const TBytes Cut = Bytes({0x1E, 1, 0, 0x2C, 0x00, 0x00, 0x00});
    EXPECT_EQ(Convert(true, Cut, 4, 4), Cut);
    EXPECT_EQ(Decode(xvExcel97, Cut), "Truncated ptg[2C]");
    // A sub-expression length beyond the end, and a string count beyond it.
    EXPECT_EQ(Convert(true, Bytes({0x29, 0xFF, 0xFF, 0x2C, 0, 0, 0, 0xC0}), 1, 1),
              Bytes({0x29, 0xFF, 0xFF, 0x2C, 0, 0, 0, 0xC0}));
    EXPECT_EQ(Convert(true, Bytes({0x17, 200}), 1, 1), Bytes({0x17, 200}));
    EXPECT_EQ(Convert(true, Bytes({0x19, 0x04, 0xFF}), 1, 1), Bytes({0x19, 0x04, 0xFF}));
    EXPECT_EQ(Convert(true, {}, 1, 1), TBytes{});
}

} // namespace
