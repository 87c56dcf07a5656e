{ Test stand-in for the workbook component's writing side: just enough of
  TTabulon, its sheets and their collections for a generated unit to compile
  against, recording every call so that the replay program can print what the
  unit built. }
unit Tabulon;

{$mode objfpc}{$H+}

interface

uses Classes, SysUtils, TabulonRecs, CellFormats, XLSFonts;

type
  TRecordedKind = (rkBlank, rkFloat, rkString, rkBoolean, rkNumberFormula);

  TRecordedCell = record
    Col, Row, FormatIndex: Integer;
    Kind: TRecordedKind;
    Number: Double;
    Text: UnicodeString;    { the string of a text cell, the formula of a formula cell }
    Bool: Boolean;
    Seq: Integer;           { order of the call, so that a later write wins }
  end;

  TRowRecord = record
    Row, Col1, Col2, Height, Options, FormatIndex: Word;
  end;

  TMergedCell = class(TCollectionItem)
  private
    FCol1, FRow1, FCol2, FRow2: Integer;
  published
    property Col1: Integer read FCol1 write FCol1;
    property Row1: Integer read FRow1 write FRow1;
    property Col2: Integer read FCol2 write FCol2;
    property Row2: Integer read FRow2 write FRow2;
  end;

  TMergedCells = class(TCollection)
  private
    function GetItem(Index: Integer): TMergedCell;
  public
    constructor Create;
    function Add: TMergedCell;
    property Items[Index: Integer]: TMergedCell read GetItem; default;
  end;

  TSheet = class(TCollectionItem)
  private
    FName: UnicodeString;       { stored form: a flag character, then the visible name }
    FMergedCells: TMergedCells;
    FColumnFormats: TColumnFormats;
    procedure AddCell(const Cell: TRecordedCell);
    function GetName: UnicodeString;
    procedure SetName(const Value: UnicodeString);
  public
    Cells: array of TRecordedCell;
    CellCount: Integer;
    Rows: array of TRowRecord;
    constructor Create(ACollection: TCollection); override;
    destructor Destroy; override;
    procedure WriteBlank(Col, Row, FormatIndex: Integer);
    procedure WriteNumber(Col, Row, FormatIndex: Integer; Value: Double);
    procedure WriteString(Col, Row, FormatIndex: Integer; const Value: UnicodeString);
    procedure WriteBoolean(Col, Row, FormatIndex: Integer; Value: Boolean);
    procedure WriteNumFormula(Col, Row, FormatIndex: Integer; const Formula: UnicodeString; Value: Double);
    procedure AddROW(Row, Col1, Col2, Height, Options, FormatIndex: Word);
    { The recorded cells in storage order (rows, then columns), one per place. }
    procedure SortCells;
    property Name: UnicodeString read GetName write SetName;
    property MergedCells: TMergedCells read FMergedCells;
    property ColumnFormats: TColumnFormats read FColumnFormats;
  end;

  TSheets = class(TCollection)
  private
    FNextID: Integer;
    function GetItem(Index: Integer): TSheet;
  public
    constructor Create;
    function Add: TSheet;
    property Items[Index: Integer]: TSheet read GetItem; default;
  end;

  TTabulon = class(TObject)
  private
    FSheets: TSheets;
    FFonts: TXFonts;
    FFormats: TCellFormats;
    FWriteDefaultData: Boolean;
  public
    constructor Create;
    destructor Destroy; override;
    property WriteDefaultData: Boolean read FWriteDefaultData write FWriteDefaultData;
    property Sheets: TSheets read FSheets;
    property Fonts: TXFonts read FFonts;
    property Formats: TCellFormats read FFormats;
  end;

implementation

var
  GlobalSeq: Integer = 0;

{ TMergedCells }

constructor TMergedCells.Create;
begin
  inherited Create(TMergedCell);
end;

function TMergedCells.Add: TMergedCell;
begin
  Result := TMergedCell(inherited Add);
end;

function TMergedCells.GetItem(Index: Integer): TMergedCell;
begin
  Result := TMergedCell(inherited Items[Index]);
end;

{ TSheet }

constructor TSheet.Create(ACollection: TCollection);
begin
  inherited Create(ACollection);
  FMergedCells := TMergedCells.Create;
  FColumnFormats := TColumnFormats.Create;
  Inc(TSheets(ACollection).FNextID);
  SetName('Sheet ' + UnicodeString(IntToStr(TSheets(ACollection).FNextID)));
end;

destructor TSheet.Destroy;
begin
  FMergedCells.Free;
  FColumnFormats.Free;
  inherited Destroy;
end;

function TSheet.GetName: UnicodeString;
begin
  Result := Copy(FName, 2, MaxInt);
end;

{ A value that starts with character 0 or 1 is already a stored form. }
procedure TSheet.SetName(const Value: UnicodeString);
begin
  if (Value <> '') and (Ord(Value[1]) < 2) then
    FName := Value
  else
    FName := #0 + Value;
end;

procedure TSheet.AddCell(const Cell: TRecordedCell);
begin
  if CellCount = Length(Cells) then
    SetLength(Cells, 2 * CellCount + 16);
  Cells[CellCount] := Cell;
  Cells[CellCount].Seq := GlobalSeq;
  Inc(GlobalSeq);
  Inc(CellCount);
end;

function NewCell(Col, Row, FormatIndex: Integer; Kind: TRecordedKind): TRecordedCell;
begin
  Result := Default(TRecordedCell);
  Result.Col := Col;
  Result.Row := Row;
  Result.FormatIndex := FormatIndex;
  Result.Kind := Kind;
end;

procedure TSheet.WriteBlank(Col, Row, FormatIndex: Integer);
begin
  AddCell(NewCell(Col, Row, FormatIndex, rkBlank));
end;

procedure TSheet.WriteNumber(Col, Row, FormatIndex: Integer; Value: Double);
var
  C: TRecordedCell;
begin
  C := NewCell(Col, Row, FormatIndex, rkFloat);
  C.Number := Value;
  AddCell(C);
end;

procedure TSheet.WriteString(Col, Row, FormatIndex: Integer; const Value: UnicodeString);
var
  C: TRecordedCell;
begin
  C := NewCell(Col, Row, FormatIndex, rkString);
  C.Text := Value;
  AddCell(C);
end;

procedure TSheet.WriteBoolean(Col, Row, FormatIndex: Integer; Value: Boolean);
var
  C: TRecordedCell;
begin
  C := NewCell(Col, Row, FormatIndex, rkBoolean);
  C.Bool := Value;
  AddCell(C);
end;

procedure TSheet.WriteNumFormula(Col, Row, FormatIndex: Integer; const Formula: UnicodeString; Value: Double);
var
  C: TRecordedCell;
begin
  C := NewCell(Col, Row, FormatIndex, rkNumberFormula);
  C.Text := Formula;
  C.Number := Value;
  AddCell(C);
end;

procedure TSheet.AddROW(Row, Col1, Col2, Height, Options, FormatIndex: Word);
var
  R: TRowRecord;
begin
  R.Row := Row;
  R.Col1 := Col1;
  R.Col2 := Col2;
  R.Height := Height;
  R.Options := Options;
  R.FormatIndex := FormatIndex;
  SetLength(Rows, Length(Rows) + 1);
  Rows[High(Rows)] := R;
end;

function CellBefore(const A, B: TRecordedCell): Boolean;
begin
  if A.Row <> B.Row then Exit(A.Row < B.Row);
  if A.Col <> B.Col then Exit(A.Col < B.Col);
  Result := A.Seq < B.Seq;
end;

procedure TSheet.SortCells;
var
  Sorted: Boolean;
  I, J, Kept: Integer;
  Tmp: array of TRecordedCell;
  Width: Integer;
  Lo, Mid, Hi, L, R, K: Integer;
begin
  Sorted := True;
  for I := 1 to CellCount - 1 do
    if not CellBefore(Cells[I - 1], Cells[I]) then begin
      Sorted := False;
      Break;
    end;
  if not Sorted then begin
    { bottom-up merge sort; the sequence number keeps it stable }
    SetLength(Tmp, CellCount);
    Width := 1;
    while Width < CellCount do begin
      Lo := 0;
      while Lo < CellCount do begin
        Mid := Lo + Width;
        if Mid > CellCount then Mid := CellCount;
        Hi := Lo + 2 * Width;
        if Hi > CellCount then Hi := CellCount;
        L := Lo; R := Mid; K := Lo;
        while (L < Mid) and (R < Hi) do begin
          if CellBefore(Cells[R], Cells[L]) then begin
            Tmp[K] := Cells[R]; Inc(R);
          end else begin
            Tmp[K] := Cells[L]; Inc(L);
          end;
          Inc(K);
        end;
        while L < Mid do begin Tmp[K] := Cells[L]; Inc(L); Inc(K); end;
        while R < Hi do begin Tmp[K] := Cells[R]; Inc(R); Inc(K); end;
        Lo := Hi;
      end;
      for J := 0 to CellCount - 1 do
        Cells[J] := Tmp[J];
      Width := 2 * Width;
    end;
  end;
  { the component keeps one cell per place: the last one written }
  Kept := 0;
  for I := 0 to CellCount - 1 do begin
    if (I + 1 < CellCount) and (Cells[I + 1].Row = Cells[I].Row) and (Cells[I + 1].Col = Cells[I].Col) then
      Continue;
    Cells[Kept] := Cells[I];
    Inc(Kept);
  end;
  CellCount := Kept;
end;

{ TSheets }

constructor TSheets.Create;
begin
  inherited Create(TSheet);
end;

function TSheets.Add: TSheet;
begin
  Result := TSheet(inherited Add);
end;

function TSheets.GetItem(Index: Integer): TSheet;
begin
  Result := TSheet(inherited Items[Index]);
end;

{ TTabulon }

constructor TTabulon.Create;
begin
  inherited Create;
  FWriteDefaultData := True;
  FFonts := TXFonts.Create;
  FFormats := TCellFormats.Create;
  FSheets := TSheets.Create;
  FSheets.Add;
end;

destructor TTabulon.Destroy;
begin
  FSheets.Free;
  FFormats.Free;
  FFonts.Free;
  inherited Destroy;
end;

end.
