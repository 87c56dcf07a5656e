{ Test stand-in for the component's cell formats and column formats. A format
  holds the formatting bytes of an XF record and its properties are views onto
  their bit fields, so that the order in which a generated unit sets them has
  the same effect here as in the component (a fill pattern colour, for one,
  also resets the pattern and its background colour). }
unit CellFormats;

{$mode objfpc}{$H+}

interface

uses Classes, SysUtils, TabulonRecs;

type
  TCellProtection = (cpLocked, cpHidden);
  TCellProtections = set of TCellProtection;
  TCellHorizAlignment = (chaGeneral, chaLeft, chaCenter, chaRight, chaFill, chaJustify, chaCenterAcross);
  TCellVertAlignment = (cvaTop, cvaCenter, cvaBottom, cvaJustify);
  TCellBorderStyle = (cbsNone, cbsThin, cbsMedium, cbsDashed, cbsDotted, cbsThick, cbsDouble,
    cbsHair, cbsMediumDashed, cbsDashDot, cbsMediumDashDot, cbsDashDotDot, cbsMediumDashDotDot,
    cbsSlantedDashDot);
  TDiagLines = (dlNone, dlDown, dlUp, dlBoth);
  TFormatOption = (foWrapText, foShrinkToFit);
  TFormatOptions = set of TFormatOption;

  TCellFormats = class;

  TCellFormat = class(TCollectionItem)
  private
    FName: UnicodeString;
    FFontIndex: Integer;
    FNumberFormat: UnicodeString;
    FXFProtection: Word;
    FXFAlignment: Word;
    FXFIndent: Word;
    FXFBorderStyles: Word;
    FXFBorderColors: Word;
    FXFBorderFill: LongWord;
    FXFFillColors: Word;
    FFillBackColor: Integer;
    function GetBits(Value: LongWord; Shift, Width: Integer): Integer;
    function GetProtection: TCellProtections;
    procedure SetProtection(Value: TCellProtections);
    function GetHorizAlignment: TCellHorizAlignment;
    procedure SetHorizAlignment(Value: TCellHorizAlignment);
    function GetVertAlignment: TCellVertAlignment;
    procedure SetVertAlignment(Value: TCellVertAlignment);
    function GetIndent: Byte;
    procedure SetIndent(Value: Byte);
    function GetRotation: SmallInt;
    procedure SetRotation(Value: SmallInt);
    function GetFormatOptions: TFormatOptions;
    procedure SetFormatOptions(Value: TFormatOptions);
    function GetFillPatternForeColor: TExcelColor;
    procedure SetFillPatternForeColor(Value: TExcelColor);
    function GetFillPatternBackColor: TExcelColor;
    procedure SetFillPatternBackColor(Value: TExcelColor);
    function GetFillPatternPattern: Byte;
    procedure SetFillPatternPattern(Value: Byte);
    procedure SetNumberFormat(const Value: UnicodeString);
    function GetBorderColor(Which: Integer): TExcelColor;
    procedure SetBorderColor(Which: Integer; Value: TExcelColor);
    function GetBorderStyle(Which: Integer): TCellBorderStyle;
    procedure SetBorderStyle(Which: Integer; Value: TCellBorderStyle);
    function GetBorderDiagLines: TDiagLines;
    procedure SetBorderDiagLines(Value: TDiagLines);
  public
    constructor Create(ACollection: TCollection); override;
  published
    property Name: UnicodeString read FName write FName;
    property Protection: TCellProtections read GetProtection write SetProtection;
    property HorizAlignment: TCellHorizAlignment read GetHorizAlignment write SetHorizAlignment;
    property VertAlignment: TCellVertAlignment read GetVertAlignment write SetVertAlignment;
    property Indent: Byte read GetIndent write SetIndent;
    property Rotation: SmallInt read GetRotation write SetRotation;
    property FormatOptions: TFormatOptions read GetFormatOptions write SetFormatOptions;
    property FontIndex: Integer read FFontIndex write FFontIndex;
    property FillPatternForeColor: TExcelColor read GetFillPatternForeColor write SetFillPatternForeColor;
    property FillPatternBackColor: TExcelColor read GetFillPatternBackColor write SetFillPatternBackColor;
    property FillPatternPattern: Byte read GetFillPatternPattern write SetFillPatternPattern;
    property NumberFormat: UnicodeString read FNumberFormat write SetNumberFormat;
    property BorderTopColor: TExcelColor index 0 read GetBorderColor write SetBorderColor;
    property BorderTopStyle: TCellBorderStyle index 0 read GetBorderStyle write SetBorderStyle;
    property BorderLeftColor: TExcelColor index 1 read GetBorderColor write SetBorderColor;
    property BorderLeftStyle: TCellBorderStyle index 1 read GetBorderStyle write SetBorderStyle;
    property BorderRightColor: TExcelColor index 2 read GetBorderColor write SetBorderColor;
    property BorderRightStyle: TCellBorderStyle index 2 read GetBorderStyle write SetBorderStyle;
    property BorderBottomColor: TExcelColor index 3 read GetBorderColor write SetBorderColor;
    property BorderBottomStyle: TCellBorderStyle index 3 read GetBorderStyle write SetBorderStyle;
    property BorderDiagColor: TExcelColor index 4 read GetBorderColor write SetBorderColor;
    property BorderDiagStyle: TCellBorderStyle index 4 read GetBorderStyle write SetBorderStyle;
    property BorderDiagLines: TDiagLines read GetBorderDiagLines write SetBorderDiagLines;
  end;

  TCellFormats = class(TCollection)
  private
    function GetItem(Index: Integer): TCellFormat;
  public
    { Holds the one default format, as the component's collection does after
      it is cleared. }
    constructor Create;
    function Add: TCellFormat;
    property Items[Index: Integer]: TCellFormat read GetItem; default;
  end;

  TColumnFormat = class(TCollectionItem)
  private
    FCol1, FCol2, FWidth, FFormatIndex, FOutlineLevel: Integer;
    FHidden, FCollapsedOutline, FUnknownOptionsFlag: Boolean;
    procedure SetCol1(Value: Integer);
    procedure SetCol2(Value: Integer);
    procedure SetWidth(Value: Integer);
    procedure SetFormatIndex(Value: Integer);
    procedure SetOutlineLevel(Value: Integer);
  public
    constructor Create(ACollection: TCollection); override;
  published
    property Col1: Integer read FCol1 write SetCol1;
    property Col2: Integer read FCol2 write SetCol2;
    property CollapsedOutline: Boolean read FCollapsedOutline write FCollapsedOutline;
    property FormatIndex: Integer read FFormatIndex write SetFormatIndex;
    property Hidden: Boolean read FHidden write FHidden;
    property OutlineLevel: Integer read FOutlineLevel write SetOutlineLevel;
    property Width: Integer read FWidth write SetWidth;
    property UnknownOptionsFlag: Boolean read FUnknownOptionsFlag write FUnknownOptionsFlag;
  end;

  TColumnFormats = class(TCollection)
  private
    function GetItem(Index: Integer): TColumnFormat;
  public
    constructor Create;
    function Add: TColumnFormat;
    property Items[Index: Integer]: TColumnFormat read GetItem; default;
  end;

implementation

procedure Replace(var Field: Word; Shift, Width, Value: Integer); overload;
var
  Mask: Word;
begin
  Mask := Word(((1 shl Width) - 1) shl Shift);
  Field := (Field and not Mask) or (Word(Value shl Shift) and Mask);
end;

procedure Replace(var Field: LongWord; Shift, Width, Value: Integer); overload;
var
  Mask: LongWord;
begin
  Mask := LongWord(((1 shl Width) - 1) shl Shift);
  Field := (Field and not Mask) or (LongWord(Value shl Shift) and Mask);
end;

procedure CheckRange(Value, Lo, Hi: Integer);
begin
  if (Value < Lo) or (Value > Hi) then
    raise Exception.Create('Invalid value');
end;

{ TCellFormat }

constructor TCellFormat.Create(ACollection: TCollection);
begin
  inherited Create(ACollection);
  FName := 'Format ' + UnicodeString(IntToStr(Index));
  FXFProtection := $0001;
  FXFAlignment := $0020;
  FXFBorderColors := $2040;
  FXFBorderFill := $00102040;
  FXFFillColors := $20C0;
  FFillBackColor := Ord(xcAutomatic);
end;

function TCellFormat.GetBits(Value: LongWord; Shift, Width: Integer): Integer;
begin
  Result := Integer((Value shr Shift) and LongWord((1 shl Width) - 1));
end;

function TCellFormat.GetProtection: TCellProtections;
begin
  Result := [];
  if FXFProtection and 1 <> 0 then Include(Result, cpLocked);
  if FXFProtection and 2 <> 0 then Include(Result, cpHidden);
end;

procedure TCellFormat.SetProtection(Value: TCellProtections);
begin
  FXFProtection := FXFProtection and not Word(3);
  if cpLocked in Value then FXFProtection := FXFProtection or 1;
  if cpHidden in Value then FXFProtection := FXFProtection or 2;
end;

function TCellFormat.GetHorizAlignment: TCellHorizAlignment;
begin
  Result := TCellHorizAlignment(GetBits(FXFAlignment, 0, 3));
end;

procedure TCellFormat.SetHorizAlignment(Value: TCellHorizAlignment);
begin
  Replace(FXFAlignment, 0, 3, Ord(Value));
end;

function TCellFormat.GetVertAlignment: TCellVertAlignment;
begin
  Result := TCellVertAlignment(GetBits(FXFAlignment, 4, 3));
end;

procedure TCellFormat.SetVertAlignment(Value: TCellVertAlignment);
begin
  Replace(FXFAlignment, 4, 3, Ord(Value));
end;

function TCellFormat.GetIndent: Byte;
begin
  Result := GetBits(FXFIndent, 0, 4);
end;

procedure TCellFormat.SetIndent(Value: Byte);
begin
  Replace(FXFIndent, 0, 4, Value and $0F);
end;

function TCellFormat.GetRotation: SmallInt;
var
  T: Integer;
begin
  T := GetBits(FXFAlignment, 8, 8);
  if (T <= 90) or (T = 255) then
    Result := T
  else
    Result := 90 - T;
end;

procedure TCellFormat.SetRotation(Value: SmallInt);
var
  T: Integer;
begin
  if Value >= 255 then T := 255
  else if Value > 90 then T := 90
  else if Value < -90 then T := 180
  else if Value < 0 then T := 90 - Value
  else T := Value;
  Replace(FXFAlignment, 8, 8, T);
end;

function TCellFormat.GetFormatOptions: TFormatOptions;
begin
  Result := [];
  if FXFAlignment and $08 <> 0 then Include(Result, foWrapText);
  if FXFIndent and $10 <> 0 then Include(Result, foShrinkToFit);
end;

procedure TCellFormat.SetFormatOptions(Value: TFormatOptions);
begin
  FXFAlignment := FXFAlignment and not Word($88);
  if foWrapText in Value then FXFAlignment := FXFAlignment or $08;
  if foShrinkToFit in Value then
    FXFIndent := FXFIndent or $10
  else
    FXFIndent := FXFIndent and not Word($10);
end;

function TCellFormat.GetFillPatternForeColor: TExcelColor;
begin
  Result := TExcelColor(GetBits(FXFFillColors, 0, 7));
end;

procedure TCellFormat.SetFillPatternForeColor(Value: TExcelColor);
begin
  Replace(FXFFillColors, 0, 7, Ord(Value));
  if Value <> xcAutomatic then begin
    FillPatternPattern := 1;
    FillPatternBackColor := xcWhite;
  end;
end;

function TCellFormat.GetFillPatternBackColor: TExcelColor;
begin
  Result := TExcelColor(FFillBackColor);
end;

procedure TCellFormat.SetFillPatternBackColor(Value: TExcelColor);
begin
  FFillBackColor := Ord(Value);
  Replace(FXFFillColors, 7, 7, Ord(Value));
end;

function TCellFormat.GetFillPatternPattern: Byte;
begin
  Result := GetBits(FXFBorderFill, 26, 6);
end;

procedure TCellFormat.SetFillPatternPattern(Value: Byte);
begin
  Replace(FXFBorderFill, 26, 6, Value);
end;

procedure TCellFormat.SetNumberFormat(const Value: UnicodeString);
begin
  if Length(Value) >= 256 then
    raise Exception.Create('Format string more than 255 characthers');
  FNumberFormat := Value;
end;

{ Border index: 0 top, 1 left, 2 right, 3 bottom, 4 diagonal. }
function TCellFormat.GetBorderColor(Which: Integer): TExcelColor;
begin
  case Which of
    0: Result := TExcelColor(GetBits(FXFBorderFill, 0, 7));
    1: Result := TExcelColor(GetBits(FXFBorderColors, 0, 7));
    2: Result := TExcelColor(GetBits(FXFBorderColors, 7, 7));
    3: Result := TExcelColor(GetBits(FXFBorderFill, 7, 7));
  else
    Result := TExcelColor(GetBits(FXFBorderFill, 14, 7));
  end;
end;

procedure TCellFormat.SetBorderColor(Which: Integer; Value: TExcelColor);
begin
  case Which of
    0: Replace(FXFBorderFill, 0, 7, Ord(Value));
    1: Replace(FXFBorderColors, 0, 7, Ord(Value));
    2: Replace(FXFBorderColors, 7, 7, Ord(Value));
    3: Replace(FXFBorderFill, 7, 7, Ord(Value));
  else
    Replace(FXFBorderFill, 14, 7, Ord(Value));
  end;
end;

function TCellFormat.GetBorderStyle(Which: Integer): TCellBorderStyle;
begin
  case Which of
    0: Result := TCellBorderStyle(GetBits(FXFBorderStyles, 8, 4));
    1: Result := TCellBorderStyle(GetBits(FXFBorderStyles, 0, 4));
    2: Result := TCellBorderStyle(GetBits(FXFBorderStyles, 4, 4));
    3: Result := TCellBorderStyle(GetBits(FXFBorderStyles, 12, 4));
  else
    Result := TCellBorderStyle(GetBits(FXFBorderFill, 21, 4));
  end;
end;

procedure TCellFormat.SetBorderStyle(Which: Integer; Value: TCellBorderStyle);
begin
  case Which of
    0: Replace(FXFBorderStyles, 8, 4, Ord(Value));
    1: Replace(FXFBorderStyles, 0, 4, Ord(Value));
    2: Replace(FXFBorderStyles, 4, 4, Ord(Value));
    3: Replace(FXFBorderStyles, 12, 4, Ord(Value));
  else
    Replace(FXFBorderFill, 21, 4, Ord(Value));
  end;
end;

function TCellFormat.GetBorderDiagLines: TDiagLines;
begin
  Result := TDiagLines(GetBits(FXFBorderColors, 14, 2));
end;

procedure TCellFormat.SetBorderDiagLines(Value: TDiagLines);
begin
  Replace(FXFBorderColors, 14, 2, Ord(Value));
end;

{ TCellFormats }

constructor TCellFormats.Create;
begin
  inherited Create(TCellFormat);
  Add;
end;

function TCellFormats.Add: TCellFormat;
begin
  Result := TCellFormat(inherited Add);
end;

function TCellFormats.GetItem(Index: Integer): TCellFormat;
begin
  Result := TCellFormat(inherited Items[Index]);
end;

{ TColumnFormat }

constructor TColumnFormat.Create(ACollection: TCollection);
begin
  inherited Create(ACollection);
  FWidth := 2500;
end;

procedure TColumnFormat.SetCol1(Value: Integer);
begin
  CheckRange(Value, 0, 65535);
  FCol1 := Value;
end;

procedure TColumnFormat.SetCol2(Value: Integer);
begin
  CheckRange(Value, 0, 65535);
  FCol2 := Value;
end;

procedure TColumnFormat.SetWidth(Value: Integer);
begin
  CheckRange(Value, 0, 65535);
  FWidth := Value;
end;

procedure TColumnFormat.SetFormatIndex(Value: Integer);
begin
  CheckRange(Value, 0, 65535);
  FFormatIndex := Value;
end;

procedure TColumnFormat.SetOutlineLevel(Value: Integer);
begin
  CheckRange(Value, 0, 16);
  FOutlineLevel := Value;
end;

{ TColumnFormats }

constructor TColumnFormats.Create;
begin
  inherited Create(TColumnFormat);
end;

function TColumnFormats.Add: TColumnFormat;
begin
  Result := TColumnFormat(inherited Add);
end;

function TColumnFormats.GetItem(Index: Integer): TColumnFormat;
begin
  Result := TColumnFormat(inherited Items[Index]);
end;

end.
