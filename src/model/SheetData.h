#pragma once
// The sheets of a workbook: each owns its cells and sheet-level collections;
// the collection owns the shared string table that text cells of all sheets
// refer to.

#include "CellFormats.h"
#include "CellStorage.h"
#include "Note.h"
#include "Picture.h"
#include "TabulonRecs.h"
#include "Validate.h"
#include "XLSChart.h"
#include "biff/SST.h"

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

class TTabulon;
class TSheets;

// Merged areas of a sheet.
class TMergedCells {
public:
    int Count() const { return 0; }
    void Clear() {}
};

// Page setup of a sheet.
class TPrintSettings {
public:
    // Back to the values of a new sheet.
    void Reset() {}
};

enum TSheetOption : uint8_t {
    soGridlines, soRowColHeadings, soProtected, soR1C1Mode, soIteration, soShowFormulas, soFrozenPanes, soShowZeros
};
enum TWorkspaceOption : uint8_t {
    woShowAutoBreaks, woApplyStyles, woRowSumsBelow, woColSumsRight, woFitToPage, woOutlineSymbols
};

class TSheet {
public:
    TSheet(TSheets& Collection, int ID);
    ~TSheet();
    TSheet(const TSheet&) = delete;
    TSheet& operator=(const TSheet&) = delete;

    // The visible name, UTF-8. A stored form with the flag 1 holds UTF-16LE
    // and is decoded; one with the flag 0 holds 8-bit text, kept when it is
    // valid UTF-8 and otherwise read as Latin-1 (BIFF8 compressed names).
    std::string GetName() const;
    // A Value starting with character 0 or 1 is taken as a stored form (flag
    // character first, as the reader passes BIFF8 names); any other non-empty
    // value gets the flag 0 in front.
    void SetName(const std::string& Value);
    const std::string& StoredName() const { return FName; }
    std::string GetDisplayName() const { return GetName(); }

    // Empties the cells and every sheet-level collection and resets the used
    // range and the print settings; the name and the plain settings stay.
    void ClearSheet();

    // Cell setters: Col and Row are 0-based, FormatIndex the XF index. A cell
    // already at the place is replaced (see TCellStorage::Insert). Rows
    // outside 0..65535 are refused with an Exception before anything changes.
    void WriteBlank(int Col, int Row, int FormatIndex);
    void WriteBoolean(int Col, int Row, int FormatIndex, bool Value);
    // Value: a TCellError ordinal (BIFF codes go through ErrorCodeToCellError).
    void WriteError(int Col, int Row, int FormatIndex, TCellError Value);
    void WriteNumber(int Col, int Row, int FormatIndex, double Value);
    // 8-bit text as in the file (see TSST2::SetCodepage).
    void WriteString(int Col, int Row, int FormatIndex, std::string_view Value);
    void WriteWideString(int Col, int Row, int FormatIndex, std::u16string_view Value);
    // Raises "SST index out of range (%d:%d)" for an index naming no entry;
    // no cell is stored then.
    void WriteSSTString(int Col, int Row, int FormatIndex, int SSTIndex);
    void WriteNumFormulaTokens(int Col, int Row, int FormatIndex, const uint8_t* Tokens, int Size, double Value);
    // Value: the cached result as UTF-8.
    void WriteStrFormulaTokens(int Col, int Row, int FormatIndex, const uint8_t* Tokens, int Size,
                               const std::string& Value);
    void WriteBoolFormulaTokens(int Col, int Row, int FormatIndex, const uint8_t* Tokens, int Size, bool Value);
    // ErrorCode: the file's error byte.
    void WriteErrFormulaTokens(int Col, int Row, int FormatIndex, const uint8_t* Tokens, int Size, int ErrorCode);
    void WriteArrayFormulaTokens(int Col, int Row, int FormatIndex, const uint8_t* Tokens, int Size, double Value,
                                 const uint8_t* ArrayData, int ArraySize);

    // A formula cell of kind 8 to 11 (ctNumberFormula .. ctErrorFormula);
    // raises "Invalid Formula cell type" for any other kind.
    TCellPtr<TFormulaCell> CreateFormulaCell(int CellType, const uint8_t* Tokens, int Size, int32_t RowCol,
                                             int FormatIndex);

    // Row records: row, first column, last column + 1, height in twips,
    // option flags and format word, as in the ROW record.
    void AddROW(uint16_t Row, uint16_t Col1, uint16_t Col2, uint16_t Height, uint16_t Options,
                uint16_t FormatIndex);
    int RowInfoCount() const { return static_cast<int>(RowInfo.size()); }
    // A ROW record body: the six words with two zero words before the flags.
    std::array<uint8_t, 16> GetRowInfo(int Index) const;

    // The cell's text for people: number text, shared string, StrTRUE/StrFALSE,
    // error text; formula cells show their formula when the workbook's
    // ShowFormulas is set and their cached result otherwise; array formula
    // cells, blank and missing cells give an empty text.
    std::string GetCellText(int Col, int Row);
    // Raises "Cell is missing/is of wrong type" unless a formula cell is there.
    std::string GetFormulaText(int Col, int Row);
    // As GetCellText and GetFormulaText, for a cell of this sheet already at
    // hand (the walks over all cells need no second lookup).
    std::string CellText(const TCell& Cell);
    std::string FormulaText(const TFormulaCell& Cell) const { return DecodeCellFormula(Cell); }

    TSheets& Collection() { return FCollection; }
    int ID() const { return FID; }

    TCellStorage Cells;
    TPrintSettings PrintSettings;
    uint16_t DefaultColWidth = 8;
    uint16_t DefaultRowHeight = 0;
    TMergedCells MergedCells;
    uint32_t Options = SetOf(soGridlines, soRowColHeadings, soShowZeros); // set of TSheetOption
    uint32_t WorkspaceOptions = SetOf(woShowAutoBreaks, woRowSumsBelow, woColSumsRight, woOutlineSymbols);
    uint16_t CalcCount = 100;
    bool RecalcFormulas = true;
    double Delta = 0.001;
    uint16_t Zoom = 100;
    uint16_t ZoomPreview = 100;
    int16_t UsedFirstCol = -1;
    int16_t UsedLastCol = 0;
    int16_t UsedFirstRow = -1;
    int16_t UsedLastRow = 0;
    std::vector<std::string> Hyperlinks;
    TSheetPictures SheetPictures;
    TNotes Notes;
    TColumnFormats ColumnFormats;
    TXLSCharts Charts;
    uint16_t FixedRows = 0;
    uint8_t FixedCols = 0;
    TDataValidations Validations;
    std::vector<std::array<uint16_t, 6>> RowInfo;
    int32_t GridSet = 1;
    int32_t RowGutter = 0;
    int32_t ColGutter = 0;
    int32_t RowOutlineLevels = 0;
    int32_t ColOutlineLevels = 0;
    // Charts embedded in this sheet, as read from the file.
    TXLSInFileCharts InFileCharts;

private:
    TSST2& SST();
    // The cell's formula as text. Stands in for the formula decoder until it
    // is wired in here.
    std::string DecodeCellFormula(const TFormulaCell& Cell) const;
    std::string ValueText(const TCell& Cell);

    TSheets& FCollection;
    int FID;
    std::string FName;
};

class TSheets {
public:
    explicit TSheets(TTabulon* Owner);
    ~TSheets();
    TSheets(const TSheets&) = delete;
    TSheets& operator=(const TSheets&) = delete;

    TSheet& Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    // Raises "List index out of bounds (%d)" outside 0..Count-1.
    TSheet& operator[](int Index);
    const TSheet& operator[](int Index) const;
    // Empties the shared strings and every sheet, removes them all and adds
    // one new sheet, named from the collection's next ID (which keeps growing).
    void ClearAll();
    void SetMaxBufSize(int Size) { FSST.SetMaxBufSize(Size); }
    int MaxBufSize() const { return FSST.MaxBufSize(); }
    // The code page of 8-bit shared strings.
    void SetCodepage(int Codepage) { FSST.SetCodepage(Codepage); }

    TSST2& SST() { return FSST; }
    const TSST2& SST() const { return FSST; }
    TTabulon* GetOwner() const { return FOwner; }

private:
    TTabulon* FOwner;
    TSST2 FSST;
    std::vector<std::unique_ptr<TSheet>> FItems;
    int FNextID = 0;
};
