#include "XLSChart.h"

#include "Exception.h"

TXLSInFileChart& TXLSInFileCharts::Add(TTabulon* Owner)
{
    FItems.push_back(std::make_unique<TXLSInFileChart>(Owner));
    return *FItems.back();
}

TXLSInFileChart& TXLSInFileCharts::Items(int Index)
{
    if (Index < 0 || Index >= Count())
        throw Exception(StrFmt("List index out of bounds (%d)", Index));
    return *FItems[static_cast<size_t>(Index)];
}

const TXLSInFileChart& TXLSInFileCharts::Items(int Index) const
{
    return const_cast<TXLSInFileCharts&>(*this).Items(Index);
}
