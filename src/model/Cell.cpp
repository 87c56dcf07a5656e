#include "Cell.h"

#include "CellStorage.h"

TCellPtr<> TBlankCell::MakeCopy(TCellStorage& Target) const
{
    return Target.New<TBlankCell>(RowCol, FormatIndex);
}

TCellPtr<> TFloatCell::MakeCopy(TCellStorage& Target) const
{
    return Target.New<TFloatCell>(RowCol, FormatIndex, Value);
}

TCellPtr<> TStringCell::MakeCopy(TCellStorage& Target) const
{
    return Target.New<TStringCell>(RowCol, FormatIndex, SSTIndex);
}

TCellPtr<> TBooleanCell::MakeCopy(TCellStorage& Target) const
{
    return Target.New<TBooleanCell>(RowCol, FormatIndex, Value);
}

TCellPtr<> TErrorCell::MakeCopy(TCellStorage& Target) const
{
    return Target.New<TErrorCell>(RowCol, FormatIndex, Value);
}

TCellPtr<> TNumberFormulaCell::MakeCopy(TCellStorage& Target) const
{
    return Target.New<TNumberFormulaCell>(RowCol, FormatIndex, Formula, FormulaSize);
}

TCellPtr<> TStringFormulaCell::MakeCopy(TCellStorage& Target) const
{
    return Target.New<TStringFormulaCell>(RowCol, FormatIndex, Formula, FormulaSize);
}

TCellPtr<> TBooleanFormulaCell::MakeCopy(TCellStorage& Target) const
{
    return Target.New<TBooleanFormulaCell>(RowCol, FormatIndex, Formula, FormulaSize);
}

TCellPtr<> TErrorFormulaCell::MakeCopy(TCellStorage& Target) const
{
    return Target.New<TErrorFormulaCell>(RowCol, FormatIndex, Formula, FormulaSize);
}

TCellPtr<> TArrayFormulaCell::MakeCopy(TCellStorage& Target) const
{
    return Target.New<TArrayFormulaCell>(RowCol, FormatIndex, Formula, FormulaSize, ArrayData, ArraySize);
}
