#include "XLSFonts.h"

#include "Exception.h"

void TXFont::Assign(const TXFont& Source)
{
    Charset = Source.Charset;
    Color = Source.Color;
    Size = Source.Size;
    Style = Source.Style;
    SubSuperScript = Source.SubSuperScript;
    Underline = Source.Underline;
    Name = Source.Name;
}

TXFont& TXFonts::Add()
{
    FItems.push_back(std::make_unique<TXFont>());
    return *FItems.back();
}

TXFont& TXFonts::Insert(int Index)
{
    if (Index < 0 || Index > Count())
        throw Exception(StrFmt("List index out of bounds (%d)", Index));
    return **FItems.insert(FItems.begin() + Index, std::make_unique<TXFont>());
}

TXFont& TXFonts::operator[](int Index)
{
    if (Index < 0 || Index >= Count())
        throw Exception(StrFmt("List index out of bounds (%d)", Index));
    return *FItems[static_cast<size_t>(Index)];
}

const TXFont& TXFonts::operator[](int Index) const
{
    return const_cast<TXFonts&>(*this)[Index];
}

void TXFonts::ResetDefaults()
{
    Clear();
    for (int I = 0; I < 5; ++I)
        Add();
}
