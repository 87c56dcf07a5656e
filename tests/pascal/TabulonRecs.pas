{ Test stand-in for the component's shared enumerations: the names that a
  generated unit uses. Ordinals match the file's colour indexes. }
unit TabulonRecs;

{$mode objfpc}{$H+}

interface

type
  TExcelColor = (
    xc0, xc1, xc2, xc3, xc4, xc5, xc6, xc7,
    xcBlack, xcWhite, xcRed, xcBrightGreen, xcBlue, xcYellow, xcPink, xcTurquoise,
    xcDarkRed, xcGreen, xcDarkBlue, xcBrownGreen, xcViolet, xcBlueGreen, xcGrey25, xcGrey50,
    xc24, xc25, xc26, xc27, xc28, xc29, xc30, xc31,
    xc32, xc33, xc34, xc35, xc36, xc37, xc38, xc39,
    xcSky, xcPaleTurquois, xcPaleGreen, xcLightYellow, xcPaleSky, xcRose, xcLilac, xcLightBrown,
    xcDarkSky, xcDarkTurquois, xcGrass, xcGold, xcLightOrange, xcOrange, xcDarkBlueGrey, xcGrey40,
    xcDarkGreenGrey, xcEmerald, xcDarkGreen, xcOlive, xcBrown, xcCherry, xcIndigo, xcGrey80,
    xcAutomatic);

  TExcelVersion = (xvNone, xvExcelUnknown, xvExcel21, xvExcel30, xvExcel40, xvExcel50, xvExcel97);

{ The name of a colour index; indexes without a name print as their number. }
function ColorName(Value: Integer): UnicodeString;

implementation

uses SysUtils, TypInfo;

function ColorName(Value: Integer): UnicodeString;
begin
  if (Value >= Ord(Low(TExcelColor))) and (Value <= Ord(High(TExcelColor))) then
    Result := UnicodeString(GetEnumName(TypeInfo(TExcelColor), Value))
  else
    Result := UnicodeString(IntToStr(Value));
end;

end.
