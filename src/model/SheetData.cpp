#include "SheetData.h"

#include "Exception.h"
#include "formula/DecodeFormula.h"
#include "NumberText.h"
#include "Tabulon.h"
#include "TextCodec.h"
#include "XLSUtils.h"

namespace {

// The key of a place on the sheet; rows the page table cannot hold are
// refused here, before a setter changes anything.
int32_t CheckedKey(int Col, int Row)
{
    if (Row < 0 || Row > 0xFFFF)
        throw Exception(StrFmt("Row %d is outside the sheet (rows 0 to 65535)", Row));
    return CellKey(Col, Row);
}

bool IsValidUtf8(std::string_view Text)
{
    const std::string Decoded = CodepageToUtf8(65001, reinterpret_cast<const uint8_t*>(Text.data()), Text.size());
    return Decoded == Text;
}

} // namespace

TSheet::TSheet(TSheets& Collection, int ID) : FCollection(Collection), FID(ID)
{
    SetName("Sheet " + std::to_string(ID + 1));
}

TSheet::~TSheet() = default;

std::string TSheet::GetName() const
{
    if (FName.empty())
        return std::string();
    const std::string_view Rest = std::string_view(FName).substr(1);
    if (FName[0] == '\1')
        return Utf16LeToUtf8(reinterpret_cast<const uint8_t*>(Rest.data()), Rest.size());
    if (IsValidUtf8(Rest))
        return std::string(Rest);
    return Latin1ToUtf8(reinterpret_cast<const uint8_t*>(Rest.data()), Rest.size());
}

void TSheet::SetName(const std::string& Value)
{
    std::string Stored = Value;
    if (!Stored.empty() && static_cast<unsigned char>(Stored[0]) >= 2)
        Stored.insert(Stored.begin(), '\0');
    for (int I = 0; I < FCollection.Count(); ++I)
        if (FCollection[I].GetName() == Stored)
            throw Exception("Sheet name \"" + Stored + "\" allready exists");
    FName = Stored;
}

void TSheet::ClearSheet()
{
    UsedFirstCol = -1;
    UsedLastCol = 0;
    UsedFirstRow = -1;
    UsedLastRow = 0;
    Validations.Clear();
    Hyperlinks.clear();
    MergedCells.Clear();
    PrintSettings.Reset();
    SheetPictures.Clear();
    Notes.Clear();
    ColumnFormats.Clear();
    Charts.Clear();
    InFileCharts.Clear();
    RowInfo.clear();
    Cells.Clear();
}

TSST2& TSheet::SST()
{
    return FCollection.SST();
}

void TSheet::WriteBlank(int Col, int Row, int FormatIndex)
{
    const int32_t Key = CheckedKey(Col, Row);
    Cells.Insert(Key, Cells.New<TBlankCell>(Key, FormatIndex));
}

void TSheet::WriteBoolean(int Col, int Row, int FormatIndex, bool Value)
{
    const int32_t Key = CheckedKey(Col, Row);
    Cells.Insert(Key, Cells.New<TBooleanCell>(Key, FormatIndex, Value));
}

void TSheet::WriteError(int Col, int Row, int FormatIndex, TCellError Value)
{
    const int32_t Key = CheckedKey(Col, Row);
    Cells.Insert(Key, Cells.New<TErrorCell>(Key, FormatIndex, Value > ceNA ? ceNone : Value));
}

void TSheet::WriteNumber(int Col, int Row, int FormatIndex, double Value)
{
    const int32_t Key = CheckedKey(Col, Row);
    Cells.Insert(Key, Cells.New<TFloatCell>(Key, FormatIndex, Value));
}

void TSheet::WriteString(int Col, int Row, int FormatIndex, std::string_view Value)
{
    const int32_t Key = CheckedKey(Col, Row);
    Cells.Insert(Key, Cells.New<TStringCell>(Key, FormatIndex, SST().AddString(Value)));
}

void TSheet::WriteWideString(int Col, int Row, int FormatIndex, std::u16string_view Value)
{
    const int32_t Key = CheckedKey(Col, Row);
    Cells.Insert(Key, Cells.New<TStringCell>(Key, FormatIndex, SST().AddWideString(Value)));
}

void TSheet::WriteSSTString(int Col, int Row, int FormatIndex, int SSTIndex)
{
    const int32_t Key = CheckedKey(Col, Row);
    // Checked first, so that a bad index leaves no cell pointing nowhere.
    SST().UseString(SSTIndex);
    Cells.Insert(Key, Cells.New<TStringCell>(Key, FormatIndex, SSTIndex));
}

TCellPtr<TFormulaCell> TSheet::CreateFormulaCell(int CellType, const uint8_t* Tokens, int Size, int32_t RowCol,
                                                 int FormatIndex)
{
    switch (CellType) {
    case ctNumberFormula:
        return Cells.New<TNumberFormulaCell>(RowCol, FormatIndex, Tokens, Size);
    case ctStringFormula:
        return Cells.New<TStringFormulaCell>(RowCol, FormatIndex, Tokens, Size);
    case ctBooleanFormula:
        return Cells.New<TBooleanFormulaCell>(RowCol, FormatIndex, Tokens, Size);
    case ctErrorFormula:
        return Cells.New<TErrorFormulaCell>(RowCol, FormatIndex, Tokens, Size);
    default:
        throw Exception("Invalid Formula cell type");
    }
}

void TSheet::WriteNumFormulaTokens(int Col, int Row, int FormatIndex, const uint8_t* Tokens, int Size, double Value)
{
    const int32_t Key = CheckedKey(Col, Row);
    auto Cell = CreateFormulaCell(ctNumberFormula, Tokens, Size, Key, FormatIndex);
    static_cast<TNumberFormulaCell&>(*Cell).Value = Value;
    Cells.Insert(Key, std::move(Cell));
}

void TSheet::WriteStrFormulaTokens(int Col, int Row, int FormatIndex, const uint8_t* Tokens, int Size,
                                   const std::string& Value)
{
    const int32_t Key = CheckedKey(Col, Row);
    auto Cell = CreateFormulaCell(ctStringFormula, Tokens, Size, Key, FormatIndex);
    static_cast<TStringFormulaCell&>(*Cell).Value = Value;
    Cells.Insert(Key, std::move(Cell));
}

void TSheet::WriteBoolFormulaTokens(int Col, int Row, int FormatIndex, const uint8_t* Tokens, int Size, bool Value)
{
    const int32_t Key = CheckedKey(Col, Row);
    auto Cell = CreateFormulaCell(ctBooleanFormula, Tokens, Size, Key, FormatIndex);
    static_cast<TBooleanFormulaCell&>(*Cell).Value = Value;
    Cells.Insert(Key, std::move(Cell));
}

void TSheet::WriteErrFormulaTokens(int Col, int Row, int FormatIndex, const uint8_t* Tokens, int Size, int ErrorCode)
{
    const int32_t Key = CheckedKey(Col, Row);
    auto Cell = CreateFormulaCell(ctErrorFormula, Tokens, Size, Key, FormatIndex);
    static_cast<TErrorFormulaCell&>(*Cell).Value = ErrorCodeToCellError(ErrorCode);
    Cells.Insert(Key, std::move(Cell));
}

void TSheet::WriteArrayFormulaTokens(int Col, int Row, int FormatIndex, const uint8_t* Tokens, int Size, double Value,
                                     const uint8_t* ArrayData, int ArraySize)
{
    const int32_t Key = CheckedKey(Col, Row);
    auto Cell = Cells.New<TArrayFormulaCell>(Key, FormatIndex, Tokens, Size, ArrayData, ArraySize);
    Cell->Value = Value;
    Cells.Insert(Key, std::move(Cell));
}

void TSheet::AddROW(uint16_t Row, uint16_t Col1, uint16_t Col2, uint16_t Height, uint16_t Options,
                    uint16_t FormatIndex)
{
    RowInfo.push_back({Row, Col1, Col2, Height, Options, FormatIndex});
}

std::array<uint8_t, 16> TSheet::GetRowInfo(int Index) const
{
    if (Index < 0 || Index >= RowInfoCount())
        throw Exception(StrFmt("List index out of bounds (%d)", Index));
    const auto& R = RowInfo[static_cast<size_t>(Index)];
    const uint16_t Words[8] = {R[0], R[1], R[2], R[3], 0, 0, R[4], R[5]};
    std::array<uint8_t, 16> Body;
    for (size_t I = 0; I < 8; ++I) {
        Body[2 * I] = static_cast<uint8_t>(Words[I] & 0xFF);
        Body[2 * I + 1] = static_cast<uint8_t>(Words[I] >> 8);
    }
    return Body;
}

std::string TSheet::ValueText(const TCell& Cell)
{
    const TTabulon* Owner = FCollection.GetOwner();
    auto BoolText = [Owner](bool Value) -> std::string {
        if (Owner)
            return Value ? Owner->StrTRUE : Owner->StrFALSE;
        return Value ? "TRUE" : "FALSE";
    };
    auto ErrorText = [](TCellError Value) -> std::string { return ErrorTexts[Value > ceNA ? ceNone : Value]; };
    switch (Cell.CellType()) {
    case ctFloat:
        return GeneralNumberText(static_cast<const TFloatCell&>(Cell).Value);
    case ctString:
        return SST().GetString(static_cast<const TStringCell&>(Cell).SSTIndex);
    case ctBoolean:
        return BoolText(static_cast<const TBooleanCell&>(Cell).Value);
    case ctError:
        return ErrorText(static_cast<const TErrorCell&>(Cell).Value);
    case ctNumberFormula:
        return GeneralNumberText(static_cast<const TNumberFormulaCell&>(Cell).Value);
    case ctStringFormula:
        return static_cast<const TStringFormulaCell&>(Cell).Value;
    case ctBooleanFormula:
        return BoolText(static_cast<const TBooleanFormulaCell&>(Cell).Value);
    case ctErrorFormula:
        return ErrorText(static_cast<const TErrorFormulaCell&>(Cell).Value);
    default:
        return std::string();
    }
}

std::string TSheet::GetCellText(int Col, int Row)
{
    const TCell* Cell = Cells.Find(CellKey(Col, Row));
    if (!Cell)
        return std::string();
    return CellText(*Cell);
}

std::string TSheet::CellText(const TCell& Cell)
{
    const TCellType Type = Cell.CellType();
    if (Type >= ctNumberFormula && Type <= ctErrorFormula) {
        const TTabulon* Owner = FCollection.GetOwner();
        if (Owner && Owner->ShowFormulas)
            return DecodeCellFormula(static_cast<const TFormulaCell&>(Cell));
    }
    return ValueText(Cell);
}

std::string TSheet::GetFormulaText(int Col, int Row)
{
    const TCell* Cell = Cells.Find(CellKey(Col, Row));
    if (!Cell || !Cell->IsFormula())
        throw Exception("Cell is missing/is of wrong type");
    return DecodeCellFormula(static_cast<const TFormulaCell&>(*Cell));
}

std::string TSheet::DecodeCellFormula(const TFormulaCell& Cell) const
{
    const TTabulon* Owner = FCollection.GetOwner();
    const TExcelVersion Version = Owner ? Owner->GetVersion() : xvExcel97;
    TFormulaNameLookup Lookup;
    if (Owner)
        Lookup = [Owner](uint8_t Kind, int Index, int NameIndex, std::string& Text) {
            Owner->GetNameText(Kind, Index, NameIndex, Text);
        };
    return DecodeFormulaTokens(Version, Cell.Formula, Cell.FormulaSize, Cell.Col(), Cell.Row(),
                               Lookup);
}

TSheets::TSheets(TTabulon* Owner) : FOwner(Owner) {}

TSheets::~TSheets() = default;

TSheet& TSheets::Add()
{
    // The sheet's constructor checks its name against the collection, so it
    // is built first and appended afterwards.
    auto Sheet = std::make_unique<TSheet>(*this, FNextID++);
    FItems.push_back(std::move(Sheet));
    return *FItems.back();
}

TSheet& TSheets::operator[](int Index)
{
    if (Index < 0 || Index >= Count())
        throw Exception(StrFmt("List index out of bounds (%d)", Index));
    return *FItems[static_cast<size_t>(Index)];
}

const TSheet& TSheets::operator[](int Index) const
{
    return const_cast<TSheets&>(*this)[Index];
}

void TSheets::ClearAll()
{
    FSST.Clear();
    for (auto& Sheet : FItems)
        Sheet->ClearSheet();
    FItems.clear();
    Add();
}
