#include "CellFormats.h"

#include "Exception.h"

TCellFormat::TCellFormat(int Index) : Name("Format " + std::to_string(Index)) {}

TCellFormat& TCellFormats::Add()
{
    FItems.push_back(std::make_unique<TCellFormat>(Count()));
    return *FItems.back();
}

TCellFormat& TCellFormats::operator[](int Index)
{
    if (Index < 0 || Index >= Count())
        throw Exception(StrFmt("List index out of bounds (%d)", Index));
    return *FItems[static_cast<size_t>(Index)];
}

const TCellFormat& TCellFormats::operator[](int Index) const
{
    return const_cast<TCellFormats&>(*this)[Index];
}

void TCellFormats::Clear()
{
    FItems.clear();
    NumberFormats.clear();
}

void TCellFormats::ResetDefaults()
{
    Clear();
    Add();
}
