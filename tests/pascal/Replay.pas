{ Runs a generated unit's CreateXLSData on the stand-in component and prints
  what it built, in the form of "tabulon --dump-cells" for cells (numbers as
  "#" and the 16 hex digits of the double's bits, so that nothing is lost in
  printing) and with one tagged line per sheet, font, format, merged area,
  column format and row record. }
unit Replay;

{$mode objfpc}{$H+}

interface

uses Tabulon;

type
  TCreateXLSData = procedure(XLS: TTabulon);

{ Returns the exit status: 0, or 3 when the unit raised an exception. }
function RunReplay(CreateXLSData: TCreateXLSData): Integer;

implementation

uses Classes, SysUtils, TypInfo, TabulonRecs, CellFormats, XLSFonts;

var
  Output: TMemoryStream;

procedure Emit(const Line: UnicodeString);
var
  Bytes: RawByteString;
begin
  Bytes := UTF8Encode(Line) + #10;
  Output.WriteBuffer(Bytes[1], Length(Bytes));
end;

function Escape(const S: UnicodeString): UnicodeString;
var
  I: Integer;
begin
  Result := '';
  for I := 1 to Length(S) do
    case S[I] of
      #9: Result := Result + '\t';
      #10: Result := Result + '\n';
      #13: Result := Result + '\r';
      '\': Result := Result + '\\';
    else
      Result := Result + S[I];
    end;
end;

function DoubleBits(Value: Double): UnicodeString;
var
  Bits: QWord;
begin
  Move(Value, Bits, SizeOf(Bits));
  Result := '#' + UnicodeString(HexStr(Bits, 16));
end;

function Int(Value: Int64): UnicodeString;
begin
  Result := UnicodeString(IntToStr(Value));
end;

function EnumText(Info: PTypeInfo; Value: Integer): UnicodeString;
var
  Data: PTypeData;
begin
  Data := GetTypeData(Info);
  if (Value >= Data^.MinValue) and (Value <= Data^.MaxValue) then
    Result := UnicodeString(GetEnumName(Info, Value))
  else
    Result := Int(Value);
end;

function SetText(Info: PTypeInfo; Bits: Integer): UnicodeString;
var
  I: Integer;
begin
  Result := '';
  for I := 0 to 7 do
    if Bits and (1 shl I) <> 0 then begin
      if Result <> '' then
        Result := Result + ',';
      Result := Result + EnumText(Info, I);
    end;
  Result := '[' + Result + ']';
end;

function BoolText(Value: Boolean): UnicodeString;
begin
  if Value then Result := 'True' else Result := 'False';
end;

procedure EmitCells(XLS: TTabulon; S: Integer);
const
  KindNames: array[TRecordedKind] of UnicodeString =
    ('Blank', 'Float', 'String', 'Boolean', 'NumberFormula');
var
  Sheet: TSheet;
  I: Integer;
  Value, Formula: UnicodeString;
begin
  Sheet := XLS.Sheets[S];
  Sheet.SortCells;
  for I := 0 to Sheet.CellCount - 1 do
    with Sheet.Cells[I] do begin
      Formula := '';
      case Kind of
        rkBlank: Value := '';
        rkFloat: Value := DoubleBits(Number);
        rkString: Value := Escape(Text);
        rkBoolean: if Bool then Value := 'TRUE' else Value := 'FALSE';
        rkNumberFormula: begin
          Value := DoubleBits(Number);
          Formula := Escape(Text);
        end;
      end;
      Emit(Int(S) + #9 + Int(Row) + #9 + Int(Col) + #9 + KindNames[Kind] + #9 + Value + #9 + Formula);
      Emit('cellformat' + #9 + Int(S) + #9 + Int(Row) + #9 + Int(Col) + #9 + Int(FormatIndex));
    end;
end;

procedure EmitFont(F: TXFont; I: Integer);
begin
  Emit('font' + #9 + Int(I) + #9 + 'Name=' + Escape(F.Name) + #9 + 'Charset=' + Int(F.Charset) +
    #9 + 'Color=' + ColorName(Ord(F.Color)) + #9 + 'Size=' + Int(F.Size) +
    #9 + 'Style=' + SetText(TypeInfo(TXFontStyle), LongInt(F.Style)) +
    #9 + 'SubSuperScript=' + EnumText(TypeInfo(TXSubSuperscript), Ord(F.SubSuperScript)) +
    #9 + 'Underline=' + EnumText(TypeInfo(TXUnderline), Ord(F.Underline)));
end;

procedure EmitFormat(F: TCellFormat; I: Integer);
begin
  Emit('format' + #9 + Int(I) +
    #9 + 'Protection=' + SetText(TypeInfo(TCellProtection), LongInt(F.Protection)) +
    #9 + 'HorizAlignment=' + EnumText(TypeInfo(TCellHorizAlignment), Ord(F.HorizAlignment)) +
    #9 + 'VertAlignment=' + EnumText(TypeInfo(TCellVertAlignment), Ord(F.VertAlignment)) +
    #9 + 'Indent=' + Int(F.Indent) +
    #9 + 'Rotation=' + Int(F.Rotation) +
    #9 + 'FormatOptions=' + SetText(TypeInfo(TFormatOption), LongInt(F.FormatOptions)) +
    #9 + 'FontIndex=' + Int(F.FontIndex) +
    #9 + 'FillPatternForeColor=' + ColorName(Ord(F.FillPatternForeColor)) +
    #9 + 'FillPatternBackColor=' + ColorName(Ord(F.FillPatternBackColor)) +
    #9 + 'FillPatternPattern=' + Int(F.FillPatternPattern) +
    #9 + 'NumberFormat=' + Escape(F.NumberFormat) +
    #9 + 'BorderTopColor=' + ColorName(Ord(F.BorderTopColor)) +
    #9 + 'BorderTopStyle=' + EnumText(TypeInfo(TCellBorderStyle), Ord(F.BorderTopStyle)) +
    #9 + 'BorderLeftColor=' + ColorName(Ord(F.BorderLeftColor)) +
    #9 + 'BorderLeftStyle=' + EnumText(TypeInfo(TCellBorderStyle), Ord(F.BorderLeftStyle)) +
    #9 + 'BorderRightColor=' + ColorName(Ord(F.BorderRightColor)) +
    #9 + 'BorderRightStyle=' + EnumText(TypeInfo(TCellBorderStyle), Ord(F.BorderRightStyle)) +
    #9 + 'BorderBottomColor=' + ColorName(Ord(F.BorderBottomColor)) +
    #9 + 'BorderBottomStyle=' + EnumText(TypeInfo(TCellBorderStyle), Ord(F.BorderBottomStyle)) +
    #9 + 'BorderDiagColor=' + ColorName(Ord(F.BorderDiagColor)) +
    #9 + 'BorderDiagStyle=' + EnumText(TypeInfo(TCellBorderStyle), Ord(F.BorderDiagStyle)) +
    #9 + 'BorderDiagLines=' + EnumText(TypeInfo(TDiagLines), Ord(F.BorderDiagLines)));
end;

procedure EmitLayout(XLS: TTabulon; S: Integer);
var
  Sheet: TSheet;
  I: Integer;
begin
  Sheet := XLS.Sheets[S];
  for I := 0 to Sheet.MergedCells.Count - 1 do
    with Sheet.MergedCells[I] do
      Emit('merged' + #9 + Int(S) + #9 + Int(Row1) + #9 + Int(Col1) + #9 + Int(Row2) + #9 + Int(Col2));
  for I := 0 to Sheet.ColumnFormats.Count - 1 do
    with Sheet.ColumnFormats[I] do
      Emit('column' + #9 + Int(S) + #9 + 'Col1=' + Int(Col1) + #9 + 'Col2=' + Int(Col2) +
        #9 + 'CollapsedOutline=' + BoolText(CollapsedOutline) + #9 + 'FormatIndex=' + Int(FormatIndex) +
        #9 + 'Hidden=' + BoolText(Hidden) + #9 + 'OutlineLevel=' + Int(OutlineLevel) +
        #9 + 'Width=' + Int(Width));
  for I := 0 to High(Sheet.Rows) do
    with Sheet.Rows[I] do
      Emit('row' + #9 + Int(S) + #9 + Int(Row) + #9 + Int(Col1) + #9 + Int(Col2) + #9 + Int(Height) +
        #9 + Int(Options) + #9 + Int(FormatIndex));
end;

function RunReplay(CreateXLSData: TCreateXLSData): Integer;
var
  XLS: TTabulon;
  Out: THandleStream;
  S, I: Integer;
begin
  Result := 0;
  Output := TMemoryStream.Create;
  XLS := TTabulon.Create;
  try
    try
      CreateXLSData(XLS);
    except
      on E: Exception do begin
        Emit('error' + #9 + Escape(UnicodeString(E.ClassName + ': ' + E.Message)));
        Result := 3;
      end;
    end;
    Emit('writedefaultdata' + #9 + BoolText(XLS.WriteDefaultData));
    for S := 0 to XLS.Sheets.Count - 1 do
      Emit('sheet' + #9 + Int(S) + #9 + Escape(XLS.Sheets[S].Name));
    for I := 5 to XLS.Fonts.Count - 1 do
      EmitFont(XLS.Fonts[I], I);
    for I := 1 to XLS.Formats.Count - 1 do
      EmitFormat(XLS.Formats[I], I);
    for S := 0 to XLS.Sheets.Count - 1 do
      EmitLayout(XLS, S);
    for S := 0 to XLS.Sheets.Count - 1 do
      EmitCells(XLS, S);
    Out := THandleStream.Create(StdOutputHandle);
    try
      Output.Position := 0;
      Out.CopyFrom(Output, Output.Size);
    finally
      Out.Free;
    end;
  finally
    XLS.Free;
    Output.Free;
  end;
end;

end.
