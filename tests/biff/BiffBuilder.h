#pragma once
// Builders for small BIFF record streams and compound documents in tests.

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <initializer_list>
#include <string>
#include <unistd.h>
#include <vector>

using TBytes = std::vector<uint8_t>;

inline void PutU16(TBytes& B, uint16_t V)
{
    B.push_back(static_cast<uint8_t>(V));
    B.push_back(static_cast<uint8_t>(V >> 8));
}

inline void PutU32(TBytes& B, uint32_t V)
{
    PutU16(B, static_cast<uint16_t>(V));
    PutU16(B, static_cast<uint16_t>(V >> 16));
}

// One record: header and body.
inline TBytes Rec(uint16_t Id, const TBytes& Body = {})
{
    TBytes B;
    PutU16(B, Id);
    PutU16(B, static_cast<uint16_t>(Body.size()));
    B.insert(B.end(), Body.begin(), Body.end());
    return B;
}

inline TBytes Cat(std::initializer_list<TBytes> Parts)
{
    TBytes B;
    for (const TBytes& P : Parts)
        B.insert(B.end(), P.begin(), P.end());
    return B;
}

inline TBytes Repeat(const TBytes& Part, int Count)
{
    TBytes B;
    for (int I = 0; I < Count; ++I)
        B.insert(B.end(), Part.begin(), Part.end());
    return B;
}

// BOF of BIFF5/8 (0x0809), 16 bytes: version, type, build, year, history flags, lowest version.
inline TBytes BOF8(uint16_t Type, uint32_t HistoryFlags = 0)
{
    TBytes Body;
    PutU16(Body, 0x0600);
    PutU16(Body, Type);
    PutU16(Body, 0x0DBB);
    PutU16(Body, 0x07CC);
    PutU32(Body, HistoryFlags);
    PutU32(Body, 0x0006);
    return Rec(0x0809, Body);
}

// BOF of BIFF2-4 (0x0009, 0x0209, 0x0409): version and type (and a build word from BIFF3).
inline TBytes BOFOld(uint16_t Id, uint16_t Type)
{
    TBytes Body;
    PutU16(Body, Id == 0x0009 ? 0x0002 : 0x0000);
    PutU16(Body, Type);
    if (Id != 0x0009)
        PutU16(Body, 0);
    return Rec(Id, Body);
}

inline TBytes EOFRec() { return Rec(0x000A); }

// BOUNDSHEET of BIFF8 with an 8-bit name.
inline TBytes BoundSheet8(const std::string& Name, uint8_t Type = 0)
{
    TBytes Body;
    PutU32(Body, 0);
    Body.push_back(0);
    Body.push_back(Type);
    Body.push_back(static_cast<uint8_t>(Name.size()));
    Body.push_back(0);
    Body.insert(Body.end(), Name.begin(), Name.end());
    return Rec(0x0085, Body);
}

// BOUNDSHEET of BIFF5.
inline TBytes BoundSheet5(const std::string& Name, uint8_t Type = 0)
{
    TBytes Body;
    PutU32(Body, 0);
    Body.push_back(0);
    Body.push_back(Type);
    Body.push_back(static_cast<uint8_t>(Name.size()));
    Body.insert(Body.end(), Name.begin(), Name.end());
    return Rec(0x0085, Body);
}

// A record nothing handles (INDEX), to fill a stream.
inline TBytes Filler(size_t Size = 4) { return Rec(0x020B, TBytes(Size, 0xAB)); }

// An element of a compound document's root: a stream with bytes, or a
// storage holding streams.
struct TCfbElement {
    std::string Name;
    bool IsStorage = false;
    TBytes Bytes;
    std::vector<TCfbElement> Children;
};

// A version 3 compound document (512-byte sectors) holding Elements under
// its root. Streams are padded to 4096 bytes so that none lives in the mini
// stream; the padding follows the last record and is never reached.
inline TBytes MakeCompound(std::vector<TCfbElement> Elements)
{
    constexpr uint32_t End = 0xFFFFFFFE, Free = 0xFFFFFFFF, FatMark = 0xFFFFFFFD;
    struct TEntry {
        std::string Name;
        uint8_t Type;
        uint32_t Right = Free, Child = Free, Start = End;
        TBytes Bytes;
    };
    std::vector<TEntry> Entries{{"Root Entry", 5, Free, Free, End, {}}};
    // Children of one storage are chained through their right-sibling links.
    auto AddLevel = [&](auto&& Self, std::vector<TCfbElement>& Level, size_t Parent) -> void {
        size_t Previous = 0;
        for (size_t I = 0; I < Level.size(); ++I) {
            TCfbElement& E = Level[I];
            if (!E.IsStorage && E.Bytes.size() < 4096)
                E.Bytes.resize(4096, 0);
            const size_t Index = Entries.size();
            Entries.push_back({E.Name, static_cast<uint8_t>(E.IsStorage ? 1 : 2), Free, Free, End, E.Bytes});
            if (I == 0)
                Entries[Parent].Child = static_cast<uint32_t>(Index);
            else
                Entries[Previous].Right = static_cast<uint32_t>(Index);
            Previous = Index;
            if (E.IsStorage)
                Self(Self, E.Children, Index);
        }
    };
    AddLevel(AddLevel, Elements, 0);

    const uint32_t DirSectors = static_cast<uint32_t>((Entries.size() + 3) / 4);
    uint32_t DataSectors = 0;
    for (const TEntry& E : Entries)
        DataSectors += static_cast<uint32_t>((E.Bytes.size() + 511) / 512);
    uint32_t FatSectors = 1;
    while (FatSectors * 128 < FatSectors + DirSectors + DataSectors)
        ++FatSectors;
    std::vector<uint32_t> Fat(FatSectors * 128, Free);
    uint32_t Next = 0;
    for (uint32_t I = 0; I < FatSectors; ++I)
        Fat[Next++] = FatMark;
    const uint32_t DirStart = Next;
    for (uint32_t I = 0; I < DirSectors; ++I, ++Next)
        Fat[Next] = I + 1 < DirSectors ? Next + 1 : End;
    TBytes Data;
    for (TEntry& E : Entries) {
        const uint32_t Count = static_cast<uint32_t>((E.Bytes.size() + 511) / 512);
        if (Count == 0)
            continue;
        E.Start = Next;
        for (uint32_t I = 0; I < Count; ++I, ++Next)
            Fat[Next] = I + 1 < Count ? Next + 1 : End;
        TBytes Padded = E.Bytes;
        Padded.resize(Count * 512, 0);
        Data.insert(Data.end(), Padded.begin(), Padded.end());
    }

    TBytes File = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    File.resize(24, 0);
    PutU16(File, 0x003E);
    PutU16(File, 3);
    PutU16(File, 0xFFFE);
    PutU16(File, 9);
    PutU16(File, 6);
    File.resize(40, 0);
    PutU32(File, 0);
    PutU32(File, FatSectors);
    PutU32(File, DirStart);
    PutU32(File, 0);
    PutU32(File, 4096);
    PutU32(File, End);
    PutU32(File, 0);
    PutU32(File, End);
    PutU32(File, 0);
    for (uint32_t I = 0; I < 109; ++I)
        PutU32(File, I < FatSectors ? I : Free);
    for (uint32_t V : Fat)
        PutU32(File, V);
    for (uint32_t I = 0; I < DirSectors * 4; ++I) {
        TBytes Entry(128, 0);
        if (I < Entries.size()) {
            const TEntry& E = Entries[I];
            for (size_t C = 0; C < E.Name.size() && C < 31; ++C)
                Entry[C * 2] = static_cast<uint8_t>(E.Name[C]);
            Entry[64] = static_cast<uint8_t>((E.Name.size() + 1) * 2);
            Entry[66] = E.Type;
            Entry[67] = 1;
            auto Put32At = [&](size_t At, uint32_t V) {
                for (int K = 0; K < 4; ++K)
                    Entry[At + static_cast<size_t>(K)] = static_cast<uint8_t>(V >> (8 * K));
            };
            Put32At(68, Free);
            Put32At(72, E.Right);
            Put32At(76, E.Child);
            Put32At(116, E.Start);
            Put32At(120, static_cast<uint32_t>(E.Bytes.size()));
        } else {
            for (size_t At : {68, 72, 76})
                for (int K = 0; K < 4; ++K)
                    Entry[At + static_cast<size_t>(K)] = 0xFF;
        }
        File.insert(File.end(), Entry.begin(), Entry.end());
    }
    File.insert(File.end(), Data.begin(), Data.end());
    return File;
}

// A file in the temporary folder, removed when the object goes.
class TTempFile {
public:
    explicit TTempFile(const TBytes& Bytes, const std::string& Suffix = ".xls")
    {
        static int Counter = 0;
        FPath = (std::filesystem::temp_directory_path() /
                 ("tabulon-test-" + std::to_string(::getpid()) + "-" + std::to_string(Counter++) + Suffix))
                    .string();
        std::ofstream(FPath, std::ios::binary)
            .write(reinterpret_cast<const char*>(Bytes.data()), static_cast<std::streamsize>(Bytes.size()));
    }
    ~TTempFile() { std::filesystem::remove(FPath); }
    TTempFile(const TTempFile&) = delete;
    TTempFile& operator=(const TTempFile&) = delete;
    const std::string& Path() const { return FPath; }

private:
    std::string FPath;
};
