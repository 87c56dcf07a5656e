#include "SheetData.h"

#include "Exception.h"

TSheet::TSheet(TSheets& Collection, int ID) : FCollection(Collection), FID(ID)
{
    SetName("Sheet " + std::to_string(ID + 1));
}

TSheet::~TSheet() = default;

std::string TSheet::GetName() const
{
    return FName.empty() ? std::string() : FName.substr(1);
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
    InFileCharts.Clear();
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
    for (auto& Sheet : FItems)
        Sheet->ClearSheet();
    FItems.clear();
    Add();
}
