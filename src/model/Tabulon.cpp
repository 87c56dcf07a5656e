#include "Tabulon.h"

#include "Exception.h"
#include "Locale.h"
#include "biff/XLSReader.h"

#include <algorithm>
#include <cctype>

namespace {
// Entries between xcWhite and xcAutomatic are the standard workbook colours;
// nothing in the program reads them.
constexpr TPalette MakeDefaultPalette()
{
    TPalette P{};
    const uint32_t Standard[] = {
        0x000000, 0xFFFFFE, 0x0004FF, 0x00FF00, 0xFF0400, 0x00FFFF, 0xFF00FF, 0xFFFF00,
        0x000080, 0x008000, 0x800000, 0x008080, 0x800080, 0x808000, 0xC0C0C0, 0x808080,
        0xFF9999, 0x663399, 0xCCFFFF, 0xFFFFCC, 0x660066, 0x8080FF, 0xCC6600, 0xFFCCCC,
        0x800000, 0xFF00FF, 0x00FFFF, 0xFFFF00, 0x800080, 0x000080, 0x808000, 0xFF0000,
        0xFFCC00, 0xFFFFCC, 0xCCFFCC, 0x99FFFF, 0xFFCC99, 0xCC99FF, 0xFF99CC, 0x99CCFF,
        0xFF6633, 0xCCCC33, 0x00CC99, 0x00CCFF, 0x0099FF, 0x0066FF, 0x996666, 0x969696,
        0x663300, 0x669933, 0x003300, 0x003333, 0x003399, 0x663399, 0x993333, 0x333333,
    };
    for (size_t I = 0; I < std::size(Standard); ++I)
        P[8 + I] = Standard[I];
    P[xcAutomatic] = 0xFFFFFF;
    return P;
}
} // namespace

const TPalette DefaultPalette = MakeDefaultPalette();

void TOptionsDialog::SetUserName(const std::string& Value)
{
    FUserName = Value.substr(0, 255);
}

TTabulon::TTabulon()
{
    FFuncArgSeparator = SystemListSeparator();
    FFonts = std::make_unique<TXFonts>();
    FFonts->ResetDefaults();
    FFormats = std::make_unique<TCellFormats>(*FFonts);
    FFormats->Add();
    FSheets = std::make_unique<TSheets>(this);
    FSheets->Add();
    SetVersion(xvExcel97);
}

TTabulon::~TTabulon()
{
    try {
        Clear();
    } catch (...) {
        // Destruction goes on whatever clearing raised.
    }
}

void TTabulon::LoadDesignTimeValues()
{
    SetVersion(xvExcel97);
    FFormats->ResetDefaults();
    FSheets->ClearAll();
    FSheets->operator[](0).SetName("Sheet 1");
    Workbook = TWorkbookData();
    OptionsDialog = TOptionsDialog();
    FFonts->ResetDefaults();
    SetCodepage(1200);
    SetFuncArgSeparator(';');
    StrTRUE = "TRUE";
    StrFALSE = "FALSE";
    PictureOptions = SetOf(poDeleteTempFiles);
    BookProtected = Backup = RefreshAll = WriteUnicodeStrings = false;
    ShowFormulas = IsMac = PreserveMacros = ReadOnly = false;
}

void TTabulon::Read()
{
    PrepareRead();
    TXLSReader Reader(*this);
    Reader.Read();
}

void TTabulon::ReadBytes(std::vector<uint8_t> Bytes)
{
    PrepareRead();
    TXLSReader Reader(*this);
    Reader.ReadBytes(std::move(Bytes));
}

void TTabulon::ReadWorkbookStream(std::vector<uint8_t> Bytes, TExcelVersion Version)
{
    PrepareRead();
    TXLSReader Reader(*this);
    Reader.ReadWorkbookStream(std::move(Bytes), Version);
}

void TTabulon::PrepareRead()
{
    Clear();
    FFonts->Clear();
    FFormats->Clear();
}

void TTabulon::Clear()
{
    ClearSheets();
    FFormats->ResetDefaults();
    FFonts->ResetDefaults();
    Styles.clear();
    InFileCharts.Clear();
    ExtraObjects.clear();
}

void TTabulon::ClearSheets()
{
    Palette = DefaultPalette;
    FSheets->ClearAll();
}

void TTabulon::SetVersion(TExcelVersion Value)
{
    FVersion = Value;
    FMaxRecordSize = Value >= xvExcel97 ? 8224 : 2080;
    FSheets->SetMaxBufSize(FMaxRecordSize);
}

void TTabulon::SetCodepage(uint16_t Value)
{
    FCodepage = Value == 0 ? 1252 : Value;
    FSheets->SetCodepage(FCodepage);
}

void TTabulon::SetFuncArgSeparator(char Value)
{
    FFuncArgSeparator = Value == 0 ? SystemListSeparator() : Value;
}

TXFont& TTabulon::GetFont()
{
    if (FFonts->Count() == 0)
        throw Exception("No Fonts");
    return (*FFonts)[0];
}

void TTabulon::SetFont(const TXFont& Value)
{
    GetFont().Assign(Value);
}

int TTabulon::FindSheet(const std::string& Name) const
{
    auto Upper = [](std::string S) {
        for (char& C : S)
            if (C >= 'a' && C <= 'z')
                C = static_cast<char>(C - 'a' + 'A');
        return S;
    };
    const std::string Wanted = Upper(Name);
    for (int I = 0; I < FSheets->Count(); ++I)
        if (Upper((*FSheets)[I].GetName()) == Wanted)
            return I;
    return -1;
}

void TTabulon::GetNameText(uint8_t Kind, int Index, int /*NameIndex*/, std::string& Text) const
{
    if (Kind == 3 && Index >= 0 && Index < FSheets->Count())
        Text = (*FSheets)[Index].GetName();
}
