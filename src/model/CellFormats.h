#pragma once
// Cell formats: each holds the formatting bytes of a BIFF8 XF record.

#include "TabulonRecs.h"

#include <memory>
#include <string>
#include <vector>

class TXFonts;

class TCellFormat {
public:
    explicit TCellFormat(int Index);

    std::string Name;
    int32_t FontIndex = 0;
    int32_t NumberFormatIndex = -1;
    // Bytes 4 to 19 of a BIFF8 XF record body.
    uint16_t XFProtection = 0x0001;
    uint16_t XFAlignment = 0x0020;
    uint16_t XFIndent = 0x0000;
    uint16_t XFBorderStyles = 0x0000;
    uint16_t XFBorderColors = 0x2040;
    uint32_t XFBorderFill = 0x00102040;
    uint16_t XFFillColors = 0x20C0;
    int32_t FillBackColor = xcAutomatic;
};

class TCellFormats {
public:
    explicit TCellFormats(TXFonts& Fonts) : FFonts(Fonts) {}

    TCellFormat& Add();
    int Count() const { return static_cast<int>(FItems.size()); }
    TCellFormat& operator[](int Index);
    const TCellFormat& operator[](int Index) const;
    // Empties the formats; no default format remains.
    void Clear();
    // Empties the formats and adds the one default format.
    void ResetDefaults();
    TXFonts& Fonts() { return FFonts; }

    std::vector<std::string> NumberFormats;

private:
    TXFonts& FFonts;
    std::vector<std::unique_ptr<TCellFormat>> FItems;
};

// Column formats of a sheet (COLINFO records).
class TColumnFormats {
public:
    int Count() const { return 0; }
    void Clear() {}
};
