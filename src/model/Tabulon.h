#pragma once
// TTabulon: the workbook component. It owns the whole in-memory model of one
// workbook; the reader fills it and the unit generator walks it.

#include "CellFormats.h"
#include "SheetData.h"
#include "TabulonRecs.h"
#include "XLSChart.h"
#include "XLSFonts.h"
#include "biff/CompoundFile.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// Window data of the workbook (WINDOW1).
class TWorkbookData {
public:
    uint16_t Left = 100;
    uint16_t Top = 100;
    uint16_t Width = 10000;
    uint16_t Height = 7000;
    uint16_t SelectedTab = 0;
    uint32_t Options = SetOf(woHScroll, woVScroll, woTabs); // set of TWorkbookOption
};

// Calculation and view options of the workbook.
class TOptionsDialog {
public:
    bool SaveExtLinkVal = false;
    uint16_t CalcCount = 0;
    TCalcMode CalcMode = cmAutomatic;
    double Delta = 0;
    TShowObjects ShowObjects = soShowAll;
    bool Iteration = false;
    bool PrecisionAsDisplayed = false;
    bool R1C1Mode = false;
    bool RecalcBeforeSave = false;
    bool Uncalced = false;

    const std::string& GetUserName() const { return FUserName; }
    // Keeps the first 255 characters.
    void SetUserName(const std::string& Value);

private:
    std::string FUserName;
};

using TExtraObjects = std::vector<TStorageCopy>;

using TPalette = std::array<uint32_t, ExcelColorCount>;
extern const TPalette DefaultPalette;

class TTabulon {
public:
    TTabulon();
    ~TTabulon();
    TTabulon(const TTabulon&) = delete;
    TTabulon& operator=(const TTabulon&) = delete;

    // Reads the file named by Filename into the model.
    void Read();
    // Reads a file's bytes already in memory, as Read reads the named file.
    void ReadBytes(std::vector<uint8_t> Bytes);
    // Reads a workbook stream taken out of its compound document as Version.
    void ReadWorkbookStream(std::vector<uint8_t> Bytes, TExcelVersion Version);
    void Clear();
    void ClearSheets();

    TExcelVersion GetVersion() const { return FVersion; }
    void SetVersion(TExcelVersion Value);
    int MaxRecordSize() const { return FMaxRecordSize; }

    uint16_t GetCodepage() const { return FCodepage; }
    void SetCodepage(uint16_t Value);

    char GetFuncArgSeparator() const { return FFuncArgSeparator; }
    void SetFuncArgSeparator(char Value);

    TXFont& GetFont();
    void SetFont(const TXFont& Value);

    std::string GetComponentVersion() const { return "1.15.02"; }
    void SetComponentVersion(const std::string&) {}

    // Index of the first sheet whose name equals Name ignoring ASCII case, or -1.
    int FindSheet(const std::string& Name) const;

    // The formula decoder's name lookup: sheet names, 3-D prefixes and names.
    void GetNameText(uint8_t Kind, int Index, int NameIndex, std::string& Text) const;

    // Applies the values the window's instance is designed with.
    void LoadDesignTimeValues();

    TXFonts& Fonts() { return *FFonts; }
    const TXFonts& Fonts() const { return *FFonts; }
    TCellFormats& Formats() { return *FFormats; }
    const TCellFormats& Formats() const { return *FFormats; }
    TSheets& Sheets() { return *FSheets; }
    const TSheets& Sheets() const { return *FSheets; }

    TWorkbookData Workbook;
    TOptionsDialog OptionsDialog;
    std::string UserName;
    bool BookProtected = false;
    bool Backup = false;
    bool RefreshAll = false;
    bool WriteUnicodeStrings = false;
    std::string StrTRUE = "TRUE";
    std::string StrFALSE = "FALSE";
    bool ShowFormulas = false;
    uint32_t PictureOptions = SetOf(poDeleteTempFiles);
    std::string Filename;
    bool IsMac = false;
    bool PreserveMacros = false;
    bool ReadOnly = false;
    // When not 0, 8-bit text of every file version is decoded with this code
    // page instead of the one the file names.
    uint16_t CodepageOverride = 0;
    // Called by the reader with the progress of a read.
    std::function<void(int)> OnProgress;
    std::function<void()> OnFunction;

    // Set by workbook-globals records; nothing else reads them.
    bool Date1904 = false;
    bool SaveRecalc = false;
    bool Prot4Rev = false;
    int32_t CountryDefault = 0;
    int32_t CountrySystem = 0;

    TPalette Palette = DefaultPalette;
    // Built-in style entries: the first four bytes of each built-in STYLE record.
    std::vector<std::array<uint8_t, 4>> Styles;
    // Chart sheets, as read from the file.
    TXLSInFileCharts InFileCharts;
    // Copies of the compound document's sub-storages (macros and the like),
    // taken when PreserveMacros is set; nothing in the program reads them.
    TExtraObjects ExtraObjects;

private:
    void PrepareRead();

    TExcelVersion FVersion = xvExcel97;
    int FMaxRecordSize = 8224;
    uint16_t FCodepage = 1200;
    char FFuncArgSeparator = ',';
    std::unique_ptr<TXFonts> FFonts;
    std::unique_ptr<TCellFormats> FFormats;
    std::unique_ptr<TSheets> FSheets;
};
