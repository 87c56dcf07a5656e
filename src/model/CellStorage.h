#pragma once
// TCellStorage: the cells of one sheet, in a fixed four-level page table over
// the packed key (page = row / 256, row in page, 16-column block, column in
// block). Lookups and insertions cost four indexed loads and no search, and
// iteration comes out in row, then column order without sorting.
//
// Cells, the table's arrays and formula bytes are carved from one arena per
// storage (chunks of up to 1 MiB), so filling a sheet costs a few large
// allocations instead of one per cell; a replaced cell's memory goes back to
// a free list of its size. Rows hold 32-bit block handles instead of
// pointers, which keeps a dense number sheet below 40 bytes per cell.

#include "Cell.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

class TCellStorage {
public:
    TCellStorage();
    ~TCellStorage();
    TCellStorage(const TCellStorage&) = delete;
    TCellStorage& operator=(const TCellStorage&) = delete;

    // Makes a cell in this storage's arena: the key, the format index, then
    // the kind's payload (formula kinds: token bytes and their count, array
    // formulas also the ARRAY body and its size; the bytes are copied). The
    // cell is owned by the returned pointer until it is inserted, and must be
    // inserted or dropped before the storage is cleared.
    template <typename T, typename... A>
        requires(!std::is_base_of_v<TFormulaCell, T>)
    TCellPtr<T> New(int32_t RowCol, int32_t FormatIndex, A&&... Payload)
    {
        void* Mem = AllocCell(sizeof(T));
        return Adopt(::new (Mem) T(RowCol, FormatIndex, std::forward<A>(Payload)...));
    }
    template <typename T>
        requires(std::is_base_of_v<TFormulaCell, T> && !std::is_same_v<T, TArrayFormulaCell>)
    TCellPtr<T> New(int32_t RowCol, int32_t FormatIndex, const uint8_t* Tokens, int32_t Size)
    {
        const uint8_t* Copy = CopyBytes(Tokens, Size);
        void* Mem = AllocCell(sizeof(T));
        if constexpr (!std::is_trivially_destructible_v<decltype(T::Value)>)
            FHasOwningCells = true;
        return Adopt(::new (Mem) T(RowCol, FormatIndex, Copy, ByteCount(Tokens, Size)));
    }
    template <typename T>
        requires std::is_same_v<T, TArrayFormulaCell>
    TCellPtr<T> New(int32_t RowCol, int32_t FormatIndex, const uint8_t* Tokens, int32_t Size, const uint8_t* Array,
                    int32_t ArraySize)
    {
        const uint8_t* TokenCopy = CopyBytes(Tokens, Size);
        const uint8_t* ArrayCopy = CopyBytes(Array, ArraySize);
        void* Mem = AllocCell(sizeof(T));
        return Adopt(::new (Mem) T(RowCol, FormatIndex, TokenCopy, ByteCount(Tokens, Size), ArrayCopy,
                                   ByteCount(Array, ArraySize)));
    }

    // The cell stored under the key, or nullptr (also for keys outside the
    // sheet). A hit is remembered, so asking again for it costs one compare.
    TCell* Find(int32_t RowCol);
    // Stores Cell (made by this storage) under the key and frees any other
    // cell there; a new cell whose FormatIndex is 0 or below takes over the
    // format of the cell it replaces. Keys of rows outside 0..65535 are
    // refused with an Exception, and nothing is changed.
    void Insert(int32_t RowCol, TCellPtr<>&& Cell);

    // The walk is a position, not a snapshot: a cell inserted behind the
    // cursor is not visited, one inserted ahead of it is.
    void BeginIterate();
    // The next cell in ascending key order, nullptr at the end (and on every
    // call after it, until BeginIterate).
    TCell* GetNext();

    // Frees every cell and array. The iteration cursor keeps its position.
    void Clear();

    TCell* LastCell() const { return FLastCell; }
    int Count() const { return FCount; }
    // Bytes taken from the heap for cells, arrays and formula bytes.
    size_t BytesReserved() const { return FReserved; }

private:
    friend struct TCellDeleter;

    struct TBlock {
        TCell* Cells[16];
    };
    struct TRow {
        uint32_t Blocks[16]; // handle = 1 + block number; 0 = no block
    };
    struct TRowPage {
        TRow* Rows[256];
    };
    static constexpr int BlocksPerGroup = 32;
    static constexpr size_t SizeClasses = 9; // cell sizes 8..64 in steps of 8

    template <typename T>
    TCellPtr<T> Adopt(T* Cell)
    {
        ++FLoose;
        return TCellPtr<T>(Cell, TCellDeleter{this});
    }

    TBlock* BlockOf(uint32_t Handle) const
    {
        const uint32_t I = Handle - 1;
        return &FBlockGroups[I / BlocksPerGroup][I % BlocksPerGroup];
    }
    TBlock* NewBlock(uint32_t& Handle);
    void* AllocCell(size_t Size);
    void FreeCell(TCell* Cell);
    static int32_t ByteCount(const uint8_t* Data, int32_t Size) { return Data && Size > 0 ? Size : 0; }
    // nullptr for no bytes.
    const uint8_t* CopyBytes(const uint8_t* Data, int32_t Size);
    // Zero-filled memory with the lifetime of the arena.
    void* AllocZeroed(size_t Size);
    void* AllocRaw(size_t Size);

    std::array<TRowPage*, 256> FPages{};
    std::vector<TBlock*> FBlockGroups;
    uint32_t FBlockCount = 0;

    std::vector<std::unique_ptr<uint8_t[]>> FChunks;
    uint8_t* FChunkPos = nullptr;
    size_t FChunkLeft = 0;
    size_t FNextChunkSize = 4096;
    size_t FReserved = 0;
    std::array<void*, SizeClasses> FFree{};

    int FIterPage = 0, FIterRow = 0, FIterBlock = 0, FIterSlot = 0;
    TCell* FLastCell = nullptr;
    int FCount = 0;
    int FLoose = 0;           // cells made but not inserted
    bool FHasOwningCells = false; // some cell holds heap memory of its own
};
