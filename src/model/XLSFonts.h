#pragma once
// Fonts of the workbook. The position of a font in TXFonts is the file's
// font index.

#include "TabulonRecs.h"

#include <memory>
#include <string>
#include <vector>

class TXFont {
public:
    std::string Name = "Arial";
    uint8_t Charset = 0;
    TExcelColor Color = xcBlack;
    int32_t Size = 10;
    TXFontStyles Style = 0;
    TXSubSuperscript SubSuperScript = xssNone;
    TXUnderline Underline = xulNone;

    void Assign(const TXFont& Source);
};

class TXFonts {
public:
    TXFont& Add();
    TXFont& Insert(int Index);
    int Count() const { return static_cast<int>(FItems.size()); }
    TXFont& operator[](int Index);
    const TXFont& operator[](int Index) const;
    void Clear() { FItems.clear(); }
    // Empties the collection and adds the five default fonts.
    void ResetDefaults();

private:
    std::vector<std::unique_ptr<TXFont>> FItems;
};
