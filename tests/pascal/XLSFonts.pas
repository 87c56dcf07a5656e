{ Test stand-in for the component's fonts: a new collection holds the five
  default fonts, as the component's does after it is cleared. }
unit XLSFonts;

{$mode objfpc}{$H+}

interface

uses Classes, TabulonRecs;

type
  TXFontStyle = (xfsBold, xfsItalic, xfsStrikeOut);
  TXFontStyles = set of TXFontStyle;
  TXSubSuperscript = (xssNone, xssSuperscript, xssSubscript);
  TXUnderline = (xulNone, xulSingle, xulDouble, xulSingleAccount, xulDoubleAccount);

  TXFont = class(TCollectionItem)
  private
    FName: UnicodeString;
    FCharset: Byte;
    FColor: TExcelColor;
    FSize: Integer;
    FStyle: TXFontStyles;
    FSubSuperScript: TXSubSuperscript;
    FUnderline: TXUnderline;
  public
    constructor Create(ACollection: TCollection); override;
  published
    property Name: UnicodeString read FName write FName;
    property Charset: Byte read FCharset write FCharset;
    property Color: TExcelColor read FColor write FColor;
    property Size: Integer read FSize write FSize;
    property Style: TXFontStyles read FStyle write FStyle;
    property SubSuperScript: TXSubSuperscript read FSubSuperScript write FSubSuperScript;
    property Underline: TXUnderline read FUnderline write FUnderline;
  end;

  TXFonts = class(TCollection)
  private
    function GetItem(Index: Integer): TXFont;
  public
    constructor Create;
    function Add: TXFont;
    property Items[Index: Integer]: TXFont read GetItem; default;
  end;

implementation

constructor TXFont.Create(ACollection: TCollection);
begin
  inherited Create(ACollection);
  FName := 'Arial';
  FColor := xcBlack;
  FSize := 10;
end;

constructor TXFonts.Create;
var
  I: Integer;
begin
  inherited Create(TXFont);
  for I := 1 to 5 do
    Add;
end;

function TXFonts.Add: TXFont;
begin
  Result := TXFont(inherited Add);
end;

function TXFonts.GetItem(Index: Integer): TXFont;
begin
  Result := TXFont(inherited Items[Index]);
end;

end.
