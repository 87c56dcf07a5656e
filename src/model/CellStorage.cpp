#include "CellStorage.h"

#include "Exception.h"

#include <cassert>
#include <cstdlib>
#include <cstring>
#include <new>
#include <sys/mman.h>

namespace {

constexpr size_t Align = 8;
// Chunks grow to the size of a huge page; those are aligned to it and offered
// to the kernel as huge pages, since first-touch page faults would otherwise
// cost more than filling the cells.
constexpr size_t MaxChunkSize = size_t(2) << 20;

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

TCellStorage::TChunk::TChunk(size_t Size) : FData(nullptr), FSize(Size)
{
    if (Size == MaxChunkSize) {
        // Twice the size is mapped so that an aligned huge page fits; the
        // unaligned head and tail are given back at once.
        void* Map = mmap(nullptr, 2 * Size, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (Map == MAP_FAILED)
            throw std::bad_alloc();
        const auto Start = reinterpret_cast<uintptr_t>(Map);
        const uintptr_t Aligned = (Start + Size - 1) & ~(uintptr_t(Size) - 1);
        if (Aligned > Start)
            munmap(Map, Aligned - Start);
        if (Start + 2 * Size > Aligned + Size)
            munmap(reinterpret_cast<void*>(Aligned + Size), Start + 2 * Size - (Aligned + Size));
        FData = reinterpret_cast<uint8_t*>(Aligned);
        madvise(FData, Size, MADV_HUGEPAGE);
    } else {
        FData = static_cast<uint8_t*>(std::malloc(Size));
        if (!FData)
            throw std::bad_alloc();
    }
}

TCellStorage::TChunk::~TChunk()
{
    if (!FData)
        return;
    if (FSize == MaxChunkSize)
        munmap(FData, FSize);
    else
        std::free(FData);
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
            FChunks.emplace_back(Size);
            FReserved += Size;
            return FChunks.back().Data();
        }
        FChunks.emplace_back(FNextChunkSize);
        FReserved += FNextChunkSize;
        FChunkPos = FChunks.back().Data();
        FChunkLeft = FNextChunkSize;
        // 4 KiB, 16 KiB, 64 KiB, 256 KiB, then huge pages: a small sheet stays
        // small, and a big one soon stops paying a page fault per 4 KiB.
        FNextChunkSize = FNextChunkSize >= MaxChunkSize / 8 ? MaxChunkSize : FNextChunkSize * 4;
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
    FIterCells = nullptr;
}

// Resumes at the cursor (page, row, block, slot); a missing page, row or
// block is skipped whole.
TCell* TCellStorage::NextSlow()
{
    if (FIterCells && FIterSlot >= 16) {
        // The block at the cursor is used up.
        FIterCells = nullptr;
        FIterSlot = 0;
        ++FIterBlock;
    }
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
                    if (TCell* Cell = Cells[FIterSlot++]) {
                        FIterCells = Cells;
                        return Cell;
                    }
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
    // The cursor keeps its position; the block it pointed into is gone.
    FIterCells = nullptr;
}
