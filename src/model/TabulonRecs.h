#pragma once
// Enumerations shared across the model. Their value names are also their text
// in the generated unit, so each has a name table beside it.

#include <cstdint>

enum TExcelVersion : uint8_t {
    xvNone, xvExcelUnknown, xvExcel21, xvExcel30, xvExcel40, xvExcel50, xvExcel97
};

enum TExcelColor : uint8_t {
    xc0, xc1, xc2, xc3, xc4, xc5, xc6, xc7,
    xcBlack, xcWhite, xcRed, xcBrightGreen, xcBlue, xcYellow, xcPink, xcTurquoise,
    xcDarkRed, xcGreen, xcDarkBlue, xcBrownGreen, xcViolet, xcBlueGreen, xcGrey25, xcGrey50,
    xc24, xc25, xc26, xc27, xc28, xc29, xc30, xc31,
    xc32, xc33, xc34, xc35, xc36, xc37, xc38, xc39,
    xcSky, xcPaleTurquois, xcPaleGreen, xcLightYellow, xcPaleSky, xcRose, xcLilac, xcLightBrown,
    xcDarkSky, xcDarkTurquois, xcGrass, xcGold, xcLightOrange, xcOrange, xcDarkBlueGrey, xcGrey40,
    xcDarkGreenGrey, xcEmerald, xcDarkGreen, xcOlive, xcBrown, xcCherry, xcIndigo, xcGrey80,
    xcAutomatic
};
inline constexpr int ExcelColorCount = 65;
extern const char* const ExcelColorNames[ExcelColorCount];

enum TXFontStyle : uint8_t { xfsBold, xfsItalic, xfsStrikeOut };
using TXFontStyles = uint8_t; // bit n = member with ordinal n
enum TXSubSuperscript : uint8_t { xssNone, xssSuperscript, xssSubscript };
enum TXUnderline : uint8_t { xulNone, xulSingle, xulDouble, xulSingleAccount, xulDoubleAccount };

enum TWorkbookOption : uint8_t { woHidden, woIconized, woHScroll, woVScroll, woTabs };
enum TCalcMode : uint8_t { cmManual, cmAutomatic, cmAutoExTables };
enum TShowObjects : uint8_t { soShowAll, soPlaceholders, soHideAll };
enum TPictureOption : uint8_t { poInMemory, poDeleteTempFiles };

// Sets of the enumerations above are bit sets: bit n = member with ordinal n.
template <typename E>
constexpr uint32_t SetOf(E Member) { return 1u << static_cast<unsigned>(Member); }
template <typename E, typename... Rest>
constexpr uint32_t SetOf(E Member, Rest... More) { return SetOf(Member) | SetOf(More...); }
