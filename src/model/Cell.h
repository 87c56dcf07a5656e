#pragma once
// The ten kinds of cell a sheet holds. Cells live in the arena of one
// TCellStorage: they are made with TCellStorage::New (or MakeCopy) and are
// owned by a TCellPtr until they are inserted; `new` on a cell is refused.

#include <cstdint>
#include <memory>
#include <string>

// The ordinals are part of the model: the generator and the sheet accessors
// switch on them. 0, 2 and 3 belong to no kind.
enum TCellType : uint8_t {
    ctBlank = 1,
    ctFloat = 4,
    ctString = 5,
    ctBoolean = 6,
    ctError = 7,
    ctNumberFormula = 8,
    ctStringFormula = 9,
    ctBooleanFormula = 10,
    ctErrorFormula = 11,
    ctArrayFormula = 12,
};

// Cells hold this, never the file's error byte (ErrorCodeToCellError maps).
enum TCellError : uint8_t { ceNone, ceNull, ceDiv0, ceValue, ceRef, ceName, ceNum, ceNA };

class TCell;
class TCellStorage;

// Returns a cell that was never inserted to the arena it came from.
struct TCellDeleter {
    TCellStorage* Storage = nullptr;
    void operator()(TCell* Cell) const;
};
template <typename T = TCell>
using TCellPtr = std::unique_ptr<T, TCellDeleter>;

class TCell {
public:
    int32_t FormatIndex;
    int32_t RowCol;

    virtual TCellType CellType() const = 0;
    // Same key, format and payload (see each kind), made in Target's arena.
    virtual TCellPtr<> MakeCopy(TCellStorage& Target) const = 0;
    virtual ~TCell() = default;

    int Row() const { return static_cast<int>(static_cast<uint32_t>(RowCol) >> 8); }
    int Col() const { return RowCol & 0xFF; }
    bool IsFormula() const { return CellType() >= ctNumberFormula; }

    static void* operator new(size_t) = delete;
    static void* operator new[](size_t) = delete;
    static void* operator new(size_t, void* Place) noexcept { return Place; }
    static void operator delete(void*) {}

protected:
    TCell(int32_t RowCol_, int32_t FormatIndex_) : FormatIndex(FormatIndex_), RowCol(RowCol_) {}
    TCell(const TCell&) = default;
};

class TBlankCell final : public TCell {
public:
    TBlankCell(int32_t RowCol_, int32_t FormatIndex_) : TCell(RowCol_, FormatIndex_) {}
    TCellType CellType() const override { return ctBlank; }
    TCellPtr<> MakeCopy(TCellStorage& Target) const override;
};

class TFloatCell final : public TCell {
public:
    TFloatCell(int32_t RowCol_, int32_t FormatIndex_, double Value_) : TCell(RowCol_, FormatIndex_), Value(Value_) {}
    TCellType CellType() const override { return ctFloat; }
    TCellPtr<> MakeCopy(TCellStorage& Target) const override;
    double Value;
};

// The text lives in the workbook's shared string table; the cell holds only
// the index, so replacing the cell leaves the table entry untouched.
class TStringCell final : public TCell {
public:
    TStringCell(int32_t RowCol_, int32_t FormatIndex_, int32_t SSTIndex_) : TCell(RowCol_, FormatIndex_), SSTIndex(SSTIndex_) {}
    TCellType CellType() const override { return ctString; }
    TCellPtr<> MakeCopy(TCellStorage& Target) const override;
    int32_t SSTIndex;
};

class TBooleanCell final : public TCell {
public:
    TBooleanCell(int32_t RowCol_, int32_t FormatIndex_, bool Value_) : TCell(RowCol_, FormatIndex_), Value(Value_) {}
    TCellType CellType() const override { return ctBoolean; }
    TCellPtr<> MakeCopy(TCellStorage& Target) const override;
    bool Value;
};

class TErrorCell final : public TCell {
public:
    TErrorCell(int32_t RowCol_, int32_t FormatIndex_, TCellError Value_) : TCell(RowCol_, FormatIndex_), Value(Value_) {}
    TCellType CellType() const override { return ctError; }
    TCellPtr<> MakeCopy(TCellStorage& Target) const override;
    TCellError Value;
};

// Formula cells keep the file's token bytes. The bytes are copied into the
// arena of the storage that makes the cell (TCellStorage::New copies them
// before the constructor runs), so they live exactly as long as the cell's
// storage; the cell itself never frees them.
class TFormulaCell : public TCell {
public:
    const uint8_t* Formula;
    int32_t FormulaSize;

protected:
    TFormulaCell(int32_t RowCol_, int32_t FormatIndex_, const uint8_t* Tokens, int32_t Size)
        : TCell(RowCol_, FormatIndex_), Formula(Tokens), FormulaSize(Size)
    {
    }
};

class TNumberFormulaCell final : public TFormulaCell {
public:
    TNumberFormulaCell(int32_t RowCol_, int32_t FormatIndex_, const uint8_t* Tokens, int32_t Size)
        : TFormulaCell(RowCol_, FormatIndex_, Tokens, Size)
    {
    }
    TCellType CellType() const override { return ctNumberFormula; }
    // The cached result is not carried over.
    TCellPtr<> MakeCopy(TCellStorage& Target) const override;
    double Value = 0.0;
};

class TStringFormulaCell final : public TFormulaCell {
public:
    TStringFormulaCell(int32_t RowCol_, int32_t FormatIndex_, const uint8_t* Tokens, int32_t Size)
        : TFormulaCell(RowCol_, FormatIndex_, Tokens, Size)
    {
    }
    TCellType CellType() const override { return ctStringFormula; }
    TCellPtr<> MakeCopy(TCellStorage& Target) const override;
    // The cached result, UTF-8 like all text of the model.
    std::string Value;
};

class TBooleanFormulaCell final : public TFormulaCell {
public:
    TBooleanFormulaCell(int32_t RowCol_, int32_t FormatIndex_, const uint8_t* Tokens, int32_t Size)
        : TFormulaCell(RowCol_, FormatIndex_, Tokens, Size)
    {
    }
    TCellType CellType() const override { return ctBooleanFormula; }
    TCellPtr<> MakeCopy(TCellStorage& Target) const override;
    bool Value = false;
};

class TErrorFormulaCell final : public TFormulaCell {
public:
    TErrorFormulaCell(int32_t RowCol_, int32_t FormatIndex_, const uint8_t* Tokens, int32_t Size)
        : TFormulaCell(RowCol_, FormatIndex_, Tokens, Size)
    {
    }
    TCellType CellType() const override { return ctErrorFormula; }
    TCellPtr<> MakeCopy(TCellStorage& Target) const override;
    TCellError Value = ceNone;
};

class TArrayFormulaCell final : public TFormulaCell {
public:
    TArrayFormulaCell(int32_t RowCol_, int32_t FormatIndex_, const uint8_t* Tokens, int32_t Size, const uint8_t* Array,
                      int32_t ArraySize_)
        : TFormulaCell(RowCol_, FormatIndex_, Tokens, Size), ArrayData(Array), ArraySize(ArraySize_)
    {
    }
    TCellType CellType() const override { return ctArrayFormula; }
    TCellPtr<> MakeCopy(TCellStorage& Target) const override;
    // The 8 result bytes of the FORMULA record, unchanged.
    double Value = 0.0;
    // The body of the ARRAY record that follows the formula, in the same arena
    // as the tokens.
    const uint8_t* ArrayData;
    int32_t ArraySize;
};
