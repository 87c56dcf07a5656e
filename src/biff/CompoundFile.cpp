#include "CompoundFile.h"

#include "model/Exception.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <limits>
#include <unordered_map>

// File layout, all integers little-endian.
//
// Header (the first 512 bytes; with 4096-byte sectors it fills sector -1,
// the rest of which is zero):
//   0 signature[8]   24 minor version   26 major version (3 or 4)
//   28 byte order (FFFE)   30 sector shift (9 or 12)   32 mini sector shift (6)
//   40 directory sector count (0 in version 3)   44 FAT sector count
//   48 first directory sector   56 mini stream cutoff (4096)
//   60 first mini FAT sector   64 mini FAT sector count
//   68 first DIFAT sector   72 DIFAT sector count   76 DIFAT[109]
//
// Sector N starts at byte (N + 1) * sector size. The FAT is an array of next
// sector numbers; the DIFAT lists the FAT's own sectors (109 in the header,
// the rest in a chain of DIFAT sectors whose last entry links to the next).
// Streams shorter than the cutoff live in the mini stream (the root entry's
// stream) in 64-byte mini sectors chained through the mini FAT.
//
// Directory entry (128 bytes):
//   0 name[32] UTF-16   64 name length in bytes with the terminator
//   66 type (0 unused, 1 storage, 2 stream, 5 root)   67 colour
//   68 left sibling   72 right sibling   76 child   80 CLSID[16]
//   96 state bits   100 creation time   108 modification time
//   116 start sector   120 size (64-bit; version 3 files keep only the low half)
// The children of a storage form a red-black tree through the sibling links,
// rooted at the storage's child link.

namespace {

constexpr uint8_t Signature[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
constexpr uint32_t MaxRegSect = 0xFFFFFFFA;
constexpr uint32_t DifSect = 0xFFFFFFFC;
constexpr uint32_t FatSect = 0xFFFFFFFD;
constexpr uint32_t EndOfChain = 0xFFFFFFFE;
constexpr uint32_t FreeSect = 0xFFFFFFFF;
constexpr uint32_t NoStream = 0xFFFFFFFF;
constexpr size_t HeaderSize = 512;
constexpr size_t DirEntrySize = 128;
constexpr size_t HeaderDifatCount = 109;
// Nested sub-storages are copied recursively; real documents nest a few
// levels, so a deeper tree is damage, not data.
constexpr int MaxStorageDepth = 64;

enum : uint8_t { EntryUnused = 0, EntryStorage = 1, EntryStream = 2, EntryRoot = 5 };

[[noreturn]] void Damaged(const std::string& What)
{
    throw Exception("Compound document is damaged: " + What);
}

// Bounds-checked little-endian reads from a byte range.
class TByteView {
public:
    TByteView(const uint8_t* Data, size_t Size) : FData(Data), FSize(Size) {}
    size_t Size() const { return FSize; }
    const uint8_t* Data() const { return FData; }
    uint8_t U8(size_t Offset) const { return Bytes(Offset, 1)[0]; }
    uint16_t U16(size_t Offset) const
    {
        const uint8_t* P = Bytes(Offset, 2);
        return static_cast<uint16_t>(P[0] | (P[1] << 8));
    }
    uint32_t U32(size_t Offset) const
    {
        const uint8_t* P = Bytes(Offset, 4);
        return uint32_t(P[0]) | (uint32_t(P[1]) << 8) | (uint32_t(P[2]) << 16) | (uint32_t(P[3]) << 24);
    }
    uint64_t U64(size_t Offset) const { return uint64_t(U32(Offset)) | (uint64_t(U32(Offset + 4)) << 32); }
    const uint8_t* Bytes(size_t Offset, size_t Count) const
    {
        if (Offset > FSize || Count > FSize - Offset)
            Damaged(StrFmt("read of %zu bytes at offset %zu runs past the end of a %zu-byte block", Count, Offset, FSize));
        return FData + Offset;
    }

private:
    const uint8_t* FData;
    size_t FSize;
};

void AppendUtf8(std::string& Out, uint32_t C)
{
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

// An unpaired surrogate becomes U+FFFD.
std::string Utf16ToUtf8(const std::u16string& Text)
{
    std::string Out;
    Out.reserve(Text.size());
    for (size_t I = 0; I < Text.size(); ++I) {
        uint32_t C = Text[I];
        if (C >= 0xD800 && C < 0xDC00 && I + 1 < Text.size() && Text[I + 1] >= 0xDC00 && Text[I + 1] < 0xE000) {
            C = 0x10000 + ((C - 0xD800) << 10) + (Text[I + 1] - 0xDC00);
            ++I;
        } else if (C >= 0xD800 && C < 0xE000) {
            C = 0xFFFD;
        }
        AppendUtf8(Out, C);
    }
    return Out;
}

std::string Quoted(const std::string& Name)
{
    return "\"" + Name + "\"";
}

} // namespace

struct TCompoundFile::TImpl {
    struct TDirEntry {
        std::u16string RawName;
        std::string Name;
        uint8_t Type = EntryUnused;
        uint32_t Left = NoStream;
        uint32_t Right = NoStream;
        uint32_t Child = NoStream;
        uint8_t Clsid[16] = {};
        uint32_t Start = EndOfChain;
        uint64_t Size = 0;
    };

    std::vector<uint8_t> Data;
    uint32_t SectorShift = 9;
    size_t SectorSize = 512;
    size_t MiniSectorSize = 64;
    uint64_t MiniCutoff = 4096;
    uint32_t DeclaredFatSectors = 0;
    uint32_t ListedFatSectors = 0;
    // Sectors the file holds; the last one may be cut short.
    uint32_t SectorCount = 0;
    std::vector<uint32_t> Fat;
    std::vector<uint32_t> MiniFat;
    std::vector<uint8_t> MiniStream;
    // A damaged mini FAT or mini stream matters only to the small streams
    // that live there; the message is kept for them.
    std::string MiniError;
    std::vector<TDirEntry> Dir;
    // The directory as a forest: each storage's children in listing order.
    // An entry linked from two places belongs to the first that reaches it.
    std::vector<std::vector<uint32_t>> Kids;
    // A sub-storage whose tree is damaged: the message, for its copy only.
    std::unordered_map<uint32_t, std::string> KidsError;
    std::unordered_map<std::string, uint32_t> RootStreams;
    std::unordered_map<std::string, uint32_t> RootStorages;
    std::vector<TStorageElement> Elements;

    // Which stream (entry index + 1) or structure holds each sector and mini
    // sector. A sector belongs to one owner in a sound file; holding every
    // owner to that bounds all streams read from one file, together, by the
    // file's size, and the message can name both claimants.
    enum : uint32_t { OwnerNone = 0, OwnerDirectory = 0xFFFFFFF0, OwnerMiniFat, OwnerFat, OwnerDifat };
    mutable std::vector<uint32_t> SectorOwner;
    mutable std::vector<uint32_t> MiniOwner;
    // Visit marks: each chain walk takes a fresh id, so a cycle is seen at
    // its first repeat and a walk costs its own length, not the file's.
    mutable std::vector<uint32_t> SectorMark;
    mutable std::vector<uint32_t> MiniMark;
    mutable uint32_t NextMark = 1;

    uint32_t NewWalk() const
    {
        if (NextMark == 0xFFFFFFFF) {
            std::fill(SectorMark.begin(), SectorMark.end(), 0);
            std::fill(MiniMark.begin(), MiniMark.end(), 0);
            NextMark = 1;
        }
        return NextMark++;
    }
    std::string OwnerName(uint32_t Owner) const;

    void Parse();
    void ReadFat(TByteView Header);
    std::vector<uint8_t> ReadChain(uint32_t Start, uint64_t Wanted, bool ToChainEnd, const std::string& What,
                                   uint32_t Owner) const;
    std::vector<uint8_t> ReadMiniChain(uint32_t Start, uint64_t Wanted, const std::string& What, uint32_t Owner) const;
    std::vector<uint8_t> ReadEntry(uint32_t Index) const;
    std::vector<uint32_t> WalkTree(uint32_t Parent, std::vector<uint8_t>& Placed) const;
    void BuildForest();
    void Copy(uint32_t Index, TStorageCopy& Out, int Depth) const;
    std::vector<uint32_t> SectorAsWords(uint32_t Sector) const;
};

TCompoundFile::TCompoundFile() : FImpl(std::make_unique<TImpl>()) {}
TCompoundFile::~TCompoundFile() = default;

bool TCompoundFile::IsCompoundData(std::span<const uint8_t> Data)
{
    return Data.size() >= 8 && std::memcmp(Data.data(), Signature, 8) == 0;
}

bool TCompoundFile::IsCompoundFile(const std::string& Path)
{
    std::ifstream File(Path, std::ios::binary);
    uint8_t Head[8] = {};
    if (!File.read(reinterpret_cast<char*>(Head), 8))
        return false;
    return IsCompoundData(Head);
}

void TCompoundFile::Open(const std::string& Path)
{
    Close();
    std::error_code Code;
    if (std::filesystem::is_directory(Path, Code))
        throw Exception(StrFmt("Cannot open file \"%s\": %s", Path.c_str(), std::strerror(EISDIR)));
    errno = 0;
    std::ifstream File(Path, std::ios::binary | std::ios::ate);
    if (!File)
        throw Exception(StrFmt("Cannot open file \"%s\": %s", Path.c_str(), std::strerror(errno ? errno : ENOENT)));
    const std::streamoff Size = File.tellg();
    std::vector<uint8_t> Bytes(Size > 0 ? static_cast<size_t>(Size) : 0);
    File.seekg(0);
    if (Size < 0 || !File.read(reinterpret_cast<char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size())))
        throw Exception(StrFmt("Cannot read file \"%s\"", Path.c_str()));
    OpenMemory(std::move(Bytes));
}

void TCompoundFile::OpenMemory(std::vector<uint8_t> Bytes)
{
    Close();
    auto Impl = std::make_unique<TImpl>();
    Impl->Data = std::move(Bytes);
    Impl->Parse();
    FImpl = std::move(Impl);
}

void TCompoundFile::Close()
{
    FImpl = std::make_unique<TImpl>();
}

const std::vector<TStorageElement>& TCompoundFile::RootElements() const
{
    return FImpl->Elements;
}

std::vector<uint8_t> TCompoundFile::ReadStream(const std::string& Name) const
{
    const auto Found = FImpl->RootStreams.find(Name);
    if (Found == FImpl->RootStreams.end())
        throw Exception("Stream \"" + Name + "\" not found");
    return FImpl->ReadEntry(Found->second);
}

TStorageCopy TCompoundFile::CopyStorage(const std::string& Name) const
{
    const auto Found = FImpl->RootStorages.find(Name);
    if (Found == FImpl->RootStorages.end())
        throw Exception("Storage \"" + Name + "\" not found");
    TStorageCopy Result;
    FImpl->Copy(Found->second, Result, 0);
    return Result;
}

void TCompoundFile::TImpl::Parse()
{
    if (!IsCompoundData(Data))
        throw Exception("File is not a compound document");
    if (Data.size() < HeaderSize)
        Damaged(StrFmt("the file holds %zu bytes, fewer than its %zu-byte header", Data.size(), HeaderSize));
    const TByteView Header(Data.data(), HeaderSize);

    // Version 3 files use 512-byte sectors and version 4 files 4096-byte ones;
    // both sizes are accepted whatever the version field says, as other
    // readers do. The byte order mark is not checked: the format exists in
    // little-endian only, and writers that got the mark wrong still wrote
    // little-endian data.
    SectorShift = Header.U16(30);
    if (SectorShift != 9 && SectorShift != 12)
        Damaged(StrFmt("unsupported sector size 2^%u (expected 512 or 4096 bytes)", SectorShift));
    SectorSize = size_t(1) << SectorShift;
    const uint32_t MiniShift = Header.U16(32);
    if (MiniShift != 6)
        Damaged(StrFmt("unsupported mini sector size 2^%u (expected 64 bytes)", MiniShift));
    MiniSectorSize = size_t(1) << MiniShift;
    MiniCutoff = Header.U32(56);

    if (Data.size() <= SectorSize)
        Damaged(StrFmt("the file holds %zu bytes and no sector after its header", Data.size()));
    // Some writers do not pad the last sector, so a partial sector at the end
    // counts; what it lacks is read as missing, never past the buffer.
    const uint64_t Sectors = (Data.size() - SectorSize + SectorSize - 1) / SectorSize;
    SectorCount = static_cast<uint32_t>(std::min<uint64_t>(Sectors, MaxRegSect + uint64_t(1)));
    SectorMark.assign(SectorCount, 0);
    SectorOwner.assign(SectorCount, OwnerNone);

    ReadFat(Header);

    const std::vector<uint8_t> DirBytes = ReadChain(Header.U32(48), std::numeric_limits<uint64_t>::max(), true,
                                                    "the directory", OwnerDirectory);
    const size_t EntryCount = DirBytes.size() / DirEntrySize;
    if (EntryCount == 0)
        Damaged("the directory is empty");
    Dir.resize(EntryCount);
    const TByteView DirView(DirBytes.data(), DirBytes.size());
    for (size_t I = 0; I < EntryCount; ++I) {
        const size_t Base = I * DirEntrySize;
        TDirEntry& E = Dir[I];
        E.Type = DirView.U8(Base + 66);
        if (E.Type != EntryStorage && E.Type != EntryStream && E.Type != EntryRoot) {
            // Unused entries (and the obsolete lock-bytes and property types)
            // are never listed; their links are not followed.
            E.Type = EntryUnused;
            continue;
        }
        // The stored length counts bytes with the terminator; writers are not
        // always exact, so the name ends at the first null within 32 units.
        const size_t Units = std::min<size_t>(DirView.U16(Base + 64) / 2, 32);
        for (size_t C = 0; C < Units; ++C) {
            const char16_t Unit = DirView.U16(Base + 2 * C);
            if (Unit == 0)
                break;
            E.RawName += Unit;
        }
        E.Name = Utf16ToUtf8(E.RawName);
        E.Left = DirView.U32(Base + 68);
        E.Right = DirView.U32(Base + 72);
        E.Child = DirView.U32(Base + 76);
        std::memcpy(E.Clsid, DirView.Bytes(Base + 80, 16), 16);
        E.Start = DirView.U32(Base + 116);
        // Version 3 writers may leave garbage in the size's high half.
        E.Size = SectorShift == 9 ? DirView.U32(Base + 120) : DirView.U64(Base + 120);
    }
    if (Dir[0].Type != EntryRoot)
        Damaged("the first directory entry is not the root storage");

    // The mini FAT and the mini stream matter only when a small stream is
    // read; a fault in either is kept for that moment.
    try {
        const std::vector<uint8_t> MiniFatBytes =
            ReadChain(Header.U32(60), std::numeric_limits<uint64_t>::max(), true, "the mini FAT", OwnerMiniFat);
        const TByteView View(MiniFatBytes.data(), MiniFatBytes.size());
        MiniFat.resize(MiniFatBytes.size() / 4);
        for (size_t I = 0; I < MiniFat.size(); ++I)
            MiniFat[I] = View.U32(I * 4);
        MiniStream = ReadChain(Dir[0].Start, Dir[0].Size, false, "the mini stream", 1);
        MiniMark.assign(MiniStream.size() / MiniSectorSize + 1, 0);
        MiniOwner.assign(MiniStream.size() / MiniSectorSize + 1, OwnerNone);
    } catch (const Exception& E) {
        MiniFat.clear();
        MiniStream.clear();
        MiniError = E.what();
    }

    BuildForest();
    // With duplicate names the first in listing order is the one opened.
    for (uint32_t Index : Kids[0]) {
        const TDirEntry& E = Dir[Index];
        if (E.Type == EntryStorage) {
            Elements.push_back({E.Name, TStorageElementType::Storage, 0});
            RootStorages.emplace(E.Name, Index);
        } else {
            Elements.push_back({E.Name, TStorageElementType::Stream, E.Size});
            RootStreams.emplace(E.Name, Index);
        }
    }
}

std::vector<uint32_t> TCompoundFile::TImpl::SectorAsWords(uint32_t Sector) const
{
    // The last sector of a truncated file is read as far as it goes; the
    // missing entries count as free.
    std::vector<uint32_t> Words(SectorSize / 4, FreeSect);
    const size_t Offset = (size_t(Sector) + 1) * SectorSize;
    const size_t Available = std::min(SectorSize, Data.size() - Offset);
    const TByteView View(Data.data() + Offset, Available);
    for (size_t I = 0; I < Available / 4; ++I)
        Words[I] = View.U32(I * 4);
    return Words;
}

void TCompoundFile::TImpl::ReadFat(TByteView Header)
{
    DeclaredFatSectors = Header.U32(44);
    // Only the FAT sectors that cover the sectors of the file are read: a
    // chain never gets past a sector outside the file, so the rest would be
    // dead weight, and this keeps the FAT no larger than a 128th of the file
    // whatever the header and the DIFAT claim. It also accepts files whose
    // writer listed FAT sectors far beyond the end of the file.
    const size_t PerSector = SectorSize / 4;
    const size_t Needed = (size_t(SectorCount) + PerSector - 1) / PerSector;
    const size_t Wanted = std::min<size_t>(DeclaredFatSectors, Needed);
    std::vector<uint32_t> FatSectors;
    FatSectors.reserve(Wanted);

    // A DIFAT that lists fewer FAT sectors than the header declares (a free
    // or end-of-chain entry, or a DIFAT chain that ends early) is accepted as
    // other readers accept it, and some writers declare absurd counts: the
    // FAT is as long as what is listed, and a chain that runs past it is
    // reported when it is read.
    bool Short = false;
    for (size_t I = 0; I < HeaderDifatCount && FatSectors.size() < Wanted; ++I) {
        const uint32_t S = Header.U32(76 + 4 * I);
        if (S > MaxRegSect) {
            Short = true;
            break;
        }
        FatSectors.push_back(S);
    }
    uint32_t Next = Header.U32(68);
    while (!Short && FatSectors.size() < Wanted) {
        if (Next == EndOfChain || Next == FreeSect)
            break;
        if (Next >= SectorCount)
            Damaged(StrFmt("DIFAT chain leads to sector %u outside the file (%u sectors)", Next, SectorCount));
        if (SectorOwner[Next] == OwnerDifat)
            Damaged(StrFmt("DIFAT chain has a cycle at sector %u", Next));
        SectorOwner[Next] = OwnerDifat;
        const std::vector<uint32_t> Words = SectorAsWords(Next);
        for (size_t I = 0; I + 1 < Words.size() && FatSectors.size() < Wanted; ++I) {
            if (Words[I] > MaxRegSect) {
                Short = true;
                break;
            }
            FatSectors.push_back(Words[I]);
        }
        Next = Words.back();
    }
    ListedFatSectors = static_cast<uint32_t>(FatSectors.size());

    Fat.reserve(FatSectors.size() * PerSector);
    for (size_t I = 0; I < FatSectors.size(); ++I) {
        const uint32_t S = FatSectors[I];
        if (S >= SectorCount)
            Damaged(StrFmt("FAT sector %zu is sector %u, outside the file (%u sectors)", I, S, SectorCount));
        if (SectorOwner[S] == OwnerFat)
            Damaged(StrFmt("sector %u is listed twice as a FAT sector", S));
        if (SectorOwner[S] == OwnerDifat)
            Damaged(StrFmt("FAT sector %zu is sector %u, which is a DIFAT sector", I, S));
        SectorOwner[S] = OwnerFat;
        const std::vector<uint32_t> Words = SectorAsWords(S);
        Fat.insert(Fat.end(), Words.begin(), Words.end());
    }
}

// Follows a FAT chain from Start and returns Wanted bytes, or with ToChainEnd
// everything up to the end-of-chain mark (the directory and the mini FAT have
// no size of their own). Every sector is visited at most once per walk, so a
// cycle ends the walk at its first repeat.
std::vector<uint8_t> TCompoundFile::TImpl::ReadChain(uint32_t Start, uint64_t Wanted, bool ToChainEnd,
                                                     const std::string& What, uint32_t Owner) const
{
    std::vector<uint8_t> Out;
    if (Wanted == 0)
        return Out;
    const uint64_t FileBytes = uint64_t(SectorCount) * SectorSize;
    Out.reserve(static_cast<size_t>(std::min(Wanted, FileBytes)));
    const uint32_t Walk = NewWalk();
    uint32_t S = Start;
    while (Out.size() < Wanted) {
        if (S == EndOfChain) {
            if (ToChainEnd)
                break;
            Damaged(StrFmt("%s declares %llu bytes, but its FAT chain ends after %zu bytes", What.c_str(),
                           static_cast<unsigned long long>(Wanted), Out.size()));
        }
        if (S == FreeSect || S == FatSect || S == DifSect)
            Damaged(StrFmt("FAT chain of %s runs into a %s sector after %zu bytes", What.c_str(),
                           S == FreeSect ? "free" : S == FatSect ? "FAT" : "DIFAT", Out.size()));
        if (S >= SectorCount)
            Damaged(StrFmt("FAT chain of %s leads to sector %u outside the file (%u sectors)", What.c_str(), S,
                           SectorCount));
        if (SectorMark[S] == Walk)
            Damaged(StrFmt("FAT chain of %s has a cycle at sector %u", What.c_str(), S));
        if (SectorOwner[S] != OwnerNone && SectorOwner[S] != Owner)
            Damaged(StrFmt("FAT chain of %s runs into sector %u, which belongs to %s", What.c_str(), S,
                           OwnerName(SectorOwner[S]).c_str()));
        SectorMark[S] = Walk;
        SectorOwner[S] = Owner;

        const size_t Offset = (size_t(S) + 1) * SectorSize;
        const size_t Available = std::min(SectorSize, Data.size() - Offset);
        const size_t Take = static_cast<size_t>(std::min<uint64_t>(Available, Wanted - Out.size()));
        Out.insert(Out.end(), Data.begin() + Offset, Data.begin() + Offset + Take);
        if (Out.size() >= Wanted)
            break;
        if (Available < SectorSize) {
            if (ToChainEnd)
                break;
            Damaged(StrFmt("%s declares %llu bytes, but the file ends after %zu of them", What.c_str(),
                           static_cast<unsigned long long>(Wanted), Out.size()));
        }
        if (S >= Fat.size())
            Damaged(StrFmt("FAT chain of %s leads past the end of the FAT at sector %u (the DIFAT lists %u of %u FAT "
                           "sectors)",
                           What.c_str(), S, ListedFatSectors, DeclaredFatSectors));
        S = Fat[S];
    }
    return Out;
}

std::vector<uint8_t> TCompoundFile::TImpl::ReadMiniChain(uint32_t Start, uint64_t Wanted, const std::string& What,
                                                         uint32_t Owner) const
{
    std::vector<uint8_t> Out;
    if (Wanted == 0)
        return Out;
    if (!MiniError.empty())
        throw Exception(MiniError);
    // Wanted is below the cutoff, and a stream cannot hold more than the mini
    // stream it lives in.
    Out.reserve(static_cast<size_t>(std::min<uint64_t>(Wanted, MiniStream.size())));
    const uint32_t Walk = NewWalk();
    const size_t MiniSectors = MiniStream.size() / MiniSectorSize;
    uint32_t S = Start;
    while (Out.size() < Wanted) {
        if (S == EndOfChain)
            Damaged(StrFmt("%s declares %llu bytes, but its mini FAT chain ends after %zu bytes", What.c_str(),
                           static_cast<unsigned long long>(Wanted), Out.size()));
        if (S >= MiniSectors)
            Damaged(StrFmt("mini FAT chain of %s leads to mini sector %u outside the mini stream (%zu mini sectors)",
                           What.c_str(), S, MiniSectors));
        if (MiniMark[S] == Walk)
            Damaged(StrFmt("mini FAT chain of %s has a cycle at mini sector %u", What.c_str(), S));
        if (MiniOwner[S] != OwnerNone && MiniOwner[S] != Owner)
            Damaged(StrFmt("mini FAT chain of %s runs into mini sector %u, which belongs to %s", What.c_str(), S,
                           OwnerName(MiniOwner[S]).c_str()));
        MiniMark[S] = Walk;
        MiniOwner[S] = Owner;
        const size_t Offset = size_t(S) * MiniSectorSize;
        const size_t Take = static_cast<size_t>(std::min<uint64_t>(MiniSectorSize, Wanted - Out.size()));
        Out.insert(Out.end(), MiniStream.begin() + Offset, MiniStream.begin() + Offset + Take);
        if (Out.size() >= Wanted)
            break;
        if (S >= MiniFat.size())
            Damaged(StrFmt("mini FAT chain of %s leads past the end of the mini FAT at mini sector %u", What.c_str(),
                           S));
        S = MiniFat[S];
    }
    return Out;
}

std::vector<uint8_t> TCompoundFile::TImpl::ReadEntry(uint32_t Index) const
{
    const TDirEntry& E = Dir[Index];
    const std::string What = "stream " + Quoted(E.Name);
    if (E.Size < MiniCutoff)
        return ReadMiniChain(E.Start, E.Size, What, Index + 1);
    return ReadChain(E.Start, E.Size, false, What, Index + 1);
}

std::string TCompoundFile::TImpl::OwnerName(uint32_t Owner) const
{
    switch (Owner) {
    case OwnerDirectory:
        return "the directory";
    case OwnerMiniFat:
        return "the mini FAT";
    case OwnerFat:
        return "the FAT";
    case OwnerDifat:
        return "the DIFAT";
    case 1:
        return "the mini stream";
    default:
        return "stream " + Quoted(Dir[Owner - 1].Name);
    }
}

// The children of a storage in the order of an in-order walk of their
// red-black tree, which is the order the platform's structured-storage
// service enumerates them in. The walk is iterative (a degenerate tree may be
// one long sibling list) and takes each entry once in the whole directory: a
// link to an entry already placed (a cycle, or an entry shared by two trees)
// is not followed again, so nothing is listed twice and every walk ends.
std::vector<uint32_t> TCompoundFile::TImpl::WalkTree(uint32_t Parent, std::vector<uint8_t>& Placed) const
{
    std::vector<uint32_t> Result;
    std::vector<uint32_t> Stack;
    uint32_t From = Parent;
    uint32_t Cur = Dir[Parent].Child;
    while (true) {
        while (Cur != NoStream) {
            if (Cur >= Dir.size())
                Damaged(StrFmt("directory entry %u links to entry %u outside the directory (%zu entries)", From, Cur,
                               Dir.size()));
            if (Placed[Cur] || Dir[Cur].Type == EntryUnused || Dir[Cur].Type == EntryRoot)
                break;
            Placed[Cur] = 1;
            Stack.push_back(Cur);
            From = Cur;
            Cur = Dir[Cur].Left;
        }
        if (Stack.empty())
            break;
        const uint32_t Node = Stack.back();
        Stack.pop_back();
        Result.push_back(Node);
        From = Node;
        Cur = Dir[Node].Right;
    }
    return Result;
}

// Storages are taken breadth first from the root, so an entry linked from
// both the root and a sub-storage stays at the root. A damaged tree below the
// root spoils only the copy of the storage that holds it.
void TCompoundFile::TImpl::BuildForest()
{
    Kids.assign(Dir.size(), {});
    std::vector<uint8_t> Placed(Dir.size(), 0);
    Placed[0] = 1;
    std::vector<uint32_t> Queue{0};
    for (size_t Q = 0; Q < Queue.size(); ++Q) {
        const uint32_t Storage = Queue[Q];
        try {
            Kids[Storage] = WalkTree(Storage, Placed);
        } catch (const Exception& E) {
            if (Storage == 0)
                throw;
            KidsError[Storage] = E.what();
            continue;
        }
        for (uint32_t Kid : Kids[Storage])
            if (Dir[Kid].Type == EntryStorage)
                Queue.push_back(Kid);
    }
}

void TCompoundFile::TImpl::Copy(uint32_t Index, TStorageCopy& Out, int Depth) const
{
    const TDirEntry& E = Dir[Index];
    Out.Name = E.Name;
    Out.RawName = E.RawName;
    std::memcpy(Out.Clsid, E.Clsid, 16);
    if (E.Type == EntryStream) {
        Out.Type = TStorageElementType::Stream;
        Out.Bytes = ReadEntry(Index);
        return;
    }
    Out.Type = TStorageElementType::Storage;
    if (const auto Error = KidsError.find(Index); Error != KidsError.end())
        throw Exception(Error->second);
    if (Depth >= MaxStorageDepth)
        Damaged(StrFmt("storage %s is nested more than %d levels deep", Quoted(E.Name).c_str(), MaxStorageDepth));
    Out.Children.resize(Kids[Index].size());
    for (size_t I = 0; I < Kids[Index].size(); ++I)
        Copy(Kids[Index][I], Out.Children[I], Depth + 1);
}
