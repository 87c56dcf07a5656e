#pragma once
// Writes small compound documents for tests: any sector size, mini stream,
// DIFAT when the FAT outgrows the header, and directory trees of the shape
// the test gives. The result remembers where everything went, so a test can
// damage one field and check the message.

#include <cstdint>
#include <string>
#include <vector>

namespace cfbtest {

constexpr uint32_t NoStream = 0xFFFFFFFF;
constexpr uint32_t FreeSect = 0xFFFFFFFF;
constexpr uint32_t EndOfChain = 0xFFFFFFFE;
constexpr uint32_t FatSect = 0xFFFFFFFD;
constexpr uint32_t DifSect = 0xFFFFFFFC;

struct TEntrySpec {
    std::u16string Name;
    uint8_t Type = 2; // 1 storage, 2 stream, 5 root
    std::vector<uint8_t> Data;
    uint32_t Left = NoStream;
    uint32_t Right = NoStream;
    uint32_t Child = NoStream;
    uint8_t ClsidByte = 0; // first byte of the CLSID, the rest zero
};

struct TBuilt {
    std::vector<uint8_t> Bytes;
    uint32_t SectorSize = 512;
    std::vector<uint32_t> FatSectors;
    std::vector<uint32_t> DifatSectors;
    uint32_t DirStart = EndOfChain;
    uint32_t MiniFatStart = EndOfChain;
    std::vector<uint32_t> Starts; // per entry: first (mini) sector

    size_t SectorOffset(uint32_t S) const { return (size_t(S) + 1) * SectorSize; }
    size_t FatOffset(uint32_t S) const
    {
        return SectorOffset(FatSectors[S / (SectorSize / 4)]) + (S % (SectorSize / 4)) * 4;
    }
    size_t DirOffset(uint32_t Entry) const { return SectorOffset(DirStart) + size_t(Entry) * 128; }
    size_t MiniFatOffset(uint32_t S) const { return SectorOffset(MiniFatStart) + size_t(S) * 4; }
    uint32_t Get32(size_t Offset) const
    {
        return uint32_t(Bytes[Offset]) | (uint32_t(Bytes[Offset + 1]) << 8) | (uint32_t(Bytes[Offset + 2]) << 16) |
               (uint32_t(Bytes[Offset + 3]) << 24);
    }
    void Put32(size_t Offset, uint32_t V)
    {
        for (int I = 0; I < 4; ++I)
            Bytes[Offset + I] = static_cast<uint8_t>(V >> (8 * I));
    }
    void Put16(size_t Offset, uint16_t V)
    {
        Bytes[Offset] = static_cast<uint8_t>(V);
        Bytes[Offset + 1] = static_cast<uint8_t>(V >> 8);
    }
};

// Entries[0] is the root. Streams below 4096 bytes go to the mini stream.
TBuilt BuildCompound(const std::vector<TEntrySpec>& Entries, unsigned SectorShift = 9);

// Bytes 0, 1, 2, ... (mod 251), so that a misplaced sector shows.
std::vector<uint8_t> Pattern(size_t Size, uint8_t Seed = 0);

} // namespace cfbtest
