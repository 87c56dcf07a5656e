#include "CellStorage.h"

#include "Exception.h"

#include <cassert>
#include <cstring>

namespace {

constexpr size_t Align = 8;
constexpr size_t MaxChunkSize = size_t(1) << 20;

constexpr size_t RoundUp(size_t Size)
{
    return (Size + Align - 1) & ~(Align - 1);
}

// Object size by TCellType ordinal; 0 for the ordinals of no kind.
constexpr size_t CellSizes[] = {
    0, sizeof(TBlankCell), 0, 0,
    sizeof(TFloatCell), sizeof(TStringCell), sizeof(TBooleanCell), sizeof(TErrorCell),
    sizeof(TNumberFormulaCell), sizeof(TStringFormulaCell), sizeof(TBooleanFormulaCell), sizeof(TErrorFormulaCell),
    sizeof(TArrayFormulaCell),
};

} // namespace

void TCellDeleter::operator()(TCell* Cell) const
{
    if (Storage) {
        --Storage->FLoose;
        Storage->FreeCell(Cell);
    }
}

TCellStorage::TCellStorage() = default;

TCellStorage::~TCellStorage()
{
    Clear();
}

void* TCellStorage::AllocRaw(size_t Size)
{
    Size = RoundUp(Size);
    if (Size > FChunkLeft) {
        // Large requests get a chunk of their own so the current chunk's rest
        // is not wasted.
        if (Size > FNextChunkSize / 4) {
            FChunks.push_back(std::make_unique_for_overwrite<uint8_t[]>(Size));
            FReserved += Size;
            return FChunks.back().get();
        }
        FChunks.push_back(std::make_unique_for_overwrite<uint8_t[]>(FNextChunkSize));
        FReserved += FNextChunkSize;
        FChunkPos = FChunks.back().get();
        FChunkLeft = FNextChunkSize;
        if (FNextChunkSize < MaxChunkSize)
            FNextChunkSize *= 2;
    }
    void* Result = FChunkPos;
    FChunkPos += Size;
    FChunkLeft -= Size;
    return Result;
}

void* TCellStorage::AllocZeroed(size_t Size)
{
    void* Mem = AllocRaw(Size);
    std::memset(Mem, 0, Size);
    return Mem;
}

void* TCellStorage::AllocCell(size_t Size)
{
    const size_t Class = RoundUp(Size) / Align;
    assert(Class < SizeClasses);
    if (void* Mem = FFree[Class]) {
        std::memcpy(&FFree[Class], Mem, sizeof(void*));
        return Mem;
    }
    return AllocRaw(Size);
}

void TCellStorage::FreeCell(TCell* Cell)
{
    const size_t Class = RoundUp(CellSizes[Cell->CellType()]) / Align;
    Cell->~TCell();
    void* Mem = Cell;
    std::memcpy(Mem, &FFree[Class], sizeof(void*));
    FFree[Class] = Mem;
}

const uint8_t* TCellStorage::CopyBytes(const uint8_t* Data, int32_t Size)
{
    const int32_t N = ByteCount(Data, Size);
    if (N == 0)
        return nullptr;
    auto* Copy = static_cast<uint8_t*>(AllocRaw(static_cast<size_t>(N)));
    std::memcpy(Copy, Data, static_cast<size_t>(N));
    return Copy;
}

TCellStorage::TBlock* TCellStorage::NewBlock(uint32_t& Handle)
{
    if (FBlockCount % BlocksPerGroup == 0)
        FBlockGroups.push_back(static_cast<TBlock*>(AllocRaw(sizeof(TBlock) * BlocksPerGroup)));
    TBlock* Block = &FBlockGroups.back()[FBlockCount % BlocksPerGroup];
    std::memset(Block, 0, sizeof(TBlock));
    Handle = ++FBlockCount;
    return Block;
}

TCell* TCellStorage::Find(int32_t RowCol)
{
    if (FLastCell && FLastCell->RowCol == RowCol)
        return FLastCell;
    const auto Key = static_cast<uint32_t>(RowCol);
    if (Key > 0xFFFFFF)
        return nullptr;
    const TRowPage* Page = FPages[Key >> 16];
    if (!Page)
        return nullptr;
    const TRow* Row = Page->Rows[(Key >> 8) & 0xFF];
    if (!Row)
        return nullptr;
    const uint32_t Handle = Row->Blocks[(Key >> 4) & 0xF];
    if (!Handle)
        return nullptr;
    TCell* Cell = BlockOf(Handle)->Cells[Key & 0xF];
    if (Cell)
        FLastCell = Cell;
    return Cell;
}

void TCellStorage::Insert(int32_t RowCol, TCellPtr<>&& Cell)
{
    if (!Cell)
        throw Exception("No cell to insert");
    if (Cell.get_deleter().Storage != this)
        throw Exception("Cell belongs to another sheet");
    const auto Key = static_cast<uint32_t>(RowCol);
    if (Key > 0xFFFFFF)
        throw Exception(StrFmt("Row %d is outside the sheet (rows 0 to 65535)", RowCol >> 8));

    TRowPage*& Page = FPages[Key >> 16];
    if (!Page)
        Page = static_cast<TRowPage*>(AllocZeroed(sizeof(TRowPage)));
    TRow*& Row = Page->Rows[(Key >> 8) & 0xFF];
    if (!Row)
        Row = static_cast<TRow*>(AllocZeroed(sizeof(TRow)));
    uint32_t& Handle = Row->Blocks[(Key >> 4) & 0xF];
    TBlock* Block = Handle ? BlockOf(Handle) : NewBlock(Handle);

    TCell* New = Cell.release();
    TCell*& Slot = Block->Cells[Key & 0xF];
    if (Slot != New)
        --FLoose;
    if (!Slot) {
        ++FCount;
    } else if (Slot != New) {
        const int32_t Inherited = Slot->FormatIndex;
        FreeCell(Slot);
        if (New->FormatIndex <= 0)
            New->FormatIndex = Inherited;
    }
    Slot = New;
    FLastCell = New;
}

void TCellStorage::BeginIterate()
{
    FIterPage = FIterRow = FIterBlock = FIterSlot = 0;
}

TCell* TCellStorage::GetNext()
{
    for (; FIterPage < 256; ++FIterPage) {
        const TRowPage* Page = FPages[static_cast<size_t>(FIterPage)];
        if (!Page)
            continue;
        for (; FIterRow < 256; ++FIterRow) {
            const TRow* Row = Page->Rows[FIterRow];
            if (!Row)
                continue;
            for (; FIterBlock < 16; ++FIterBlock) {
                const uint32_t Handle = Row->Blocks[FIterBlock];
                if (!Handle)
                    continue;
                TCell* const* Cells = BlockOf(Handle)->Cells;
                while (FIterSlot < 16)
                    if (TCell* Cell = Cells[FIterSlot++])
                        return Cell;
                FIterSlot = 0;
            }
            FIterBlock = 0;
        }
        FIterRow = 0;
    }
    return nullptr;
}

void TCellStorage::Clear()
{
    assert(FLoose == 0 && "a cell made by this storage outlives its Clear");
    if (FHasOwningCells) {
        for (TRowPage* Page : FPages) {
            if (!Page)
                continue;
            for (TRow* Row : Page->Rows) {
                if (!Row)
                    continue;
                for (uint32_t Handle : Row->Blocks)
                    if (Handle)
                        for (TCell* Cell : BlockOf(Handle)->Cells)
                            if (Cell)
                                Cell->~TCell();
            }
        }
    }
    // Cells whose memory needs nothing released are dropped with their chunks.
    FPages.fill(nullptr);
    FBlockGroups.clear();
    FBlockCount = 0;
    FChunks.clear();
    FChunkPos = nullptr;
    FChunkLeft = 0;
    FNextChunkSize = 4096;
    FReserved = 0;
    FFree.fill(nullptr);
    FLastCell = nullptr;
    FCount = 0;
    FHasOwningCells = false;
}
