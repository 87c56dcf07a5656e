#include "model/Exception.h"
#include "model/Locale.h"
#include "model/Tabulon.h"

#include <gtest/gtest.h>

namespace {

TEST(Tabulon, ValuesAfterCreate)
{
    TTabulon XLS;
    EXPECT_EQ(XLS.GetVersion(), xvExcel97);
    EXPECT_EQ(XLS.MaxRecordSize(), 8224);
    EXPECT_EQ(XLS.Sheets().Count(), 1);
    EXPECT_EQ(XLS.Sheets()[0].GetName(), "Sheet 1");
    EXPECT_EQ(XLS.Fonts().Count(), 5);
    EXPECT_EQ(XLS.Formats().Count(), 1);
    EXPECT_EQ(XLS.Formats()[0].Name, "Format 0");
    EXPECT_EQ(XLS.GetCodepage(), 1200);
    EXPECT_EQ(XLS.GetFuncArgSeparator(), SystemListSeparator());
    EXPECT_EQ(XLS.StrTRUE, "TRUE");
    EXPECT_EQ(XLS.StrFALSE, "FALSE");
    EXPECT_EQ(XLS.PictureOptions, SetOf(poDeleteTempFiles));
    EXPECT_EQ(XLS.Workbook.Width, 10000);
    EXPECT_EQ(XLS.Workbook.Options, SetOf(woHScroll, woVScroll, woTabs));
    EXPECT_EQ(XLS.OptionsDialog.CalcMode, cmAutomatic);
    EXPECT_EQ(XLS.Palette[xcRed], 0x0004FFu);
    EXPECT_EQ(XLS.Palette[xcAutomatic], 0xFFFFFFu);
    EXPECT_EQ(XLS.GetFont().Name, "Arial");
}

TEST(Tabulon, SettersWithRules)
{
    TTabulon XLS;
    XLS.SetCodepage(0);
    EXPECT_EQ(XLS.GetCodepage(), 1252);
    XLS.SetFuncArgSeparator(0);
    EXPECT_EQ(XLS.GetFuncArgSeparator(), SystemListSeparator());
    XLS.SetVersion(xvExcel50);
    EXPECT_EQ(XLS.MaxRecordSize(), 2080);
    EXPECT_EQ(XLS.Sheets().MaxBufSize(), 2080);
    XLS.SetVersion(xvExcel97);
    EXPECT_EQ(XLS.MaxRecordSize(), 8224);
    XLS.SetComponentVersion("9.9");
    EXPECT_EQ(XLS.GetComponentVersion(), "1.15.02");
    XLS.OptionsDialog.SetUserName(std::string(300, 'u'));
    EXPECT_EQ(XLS.OptionsDialog.GetUserName().size(), 255u);
}

TEST(Tabulon, ClearBringsBackOneSheetFiveFontsOneFormat)
{
    TTabulon XLS;
    XLS.Sheets().Add();
    XLS.Fonts().Add();
    XLS.Formats().Add();
    XLS.Palette[xcRed] = 1;
    XLS.Clear();
    EXPECT_EQ(XLS.Sheets().Count(), 1);
    EXPECT_EQ(XLS.Fonts().Count(), 5);
    EXPECT_EQ(XLS.Formats().Count(), 1);
    EXPECT_EQ(XLS.Palette[xcRed], 0x0004FFu);
}

TEST(Tabulon, FontAccessNeedsFonts)
{
    TTabulon XLS;
    TXFont Big;
    Big.Size = 20;
    Big.Name = "Tahoma";
    XLS.SetFont(Big);
    EXPECT_EQ(XLS.Fonts()[0].Size, 20);
    EXPECT_EQ(XLS.Fonts()[0].Name, "Tahoma");
    XLS.Fonts().Clear();
    EXPECT_THROW(
        {
            try {
                XLS.GetFont();
            } catch (const Exception& E) {
                EXPECT_STREQ(E.what(), "No Fonts");
                throw;
            }
        },
        Exception);
    EXPECT_THROW(XLS.SetFont(Big), Exception);
}

TEST(Tabulon, FindSheetIgnoresLetterCase)
{
    TTabulon XLS;
    XLS.Sheets()[0].SetName("Data");
    XLS.Sheets().Add().SetName("Summary");
    EXPECT_EQ(XLS.FindSheet("SUMMARY"), 1);
    EXPECT_EQ(XLS.FindSheet("data"), 0);
    EXPECT_EQ(XLS.FindSheet("Other"), -1);
}

TEST(Tabulon, DesignTimeValues)
{
    TTabulon XLS;
    XLS.LoadDesignTimeValues();
    EXPECT_EQ(XLS.GetFuncArgSeparator(), ';');
    EXPECT_EQ(XLS.Sheets().Count(), 1);
    EXPECT_EQ(XLS.Sheets()[0].GetName(), "Sheet 1");
    EXPECT_EQ(XLS.Fonts().Count(), 5);
    EXPECT_EQ(XLS.Formats().Count(), 1);
    EXPECT_EQ(XLS.GetCodepage(), 1200);
}

} // namespace
