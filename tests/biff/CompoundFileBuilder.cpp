#include "CompoundFileBuilder.h"

#include <algorithm>
#include <cstring>

namespace cfbtest {

namespace {

void Put32(std::vector<uint8_t>& B, size_t Offset, uint32_t V)
{
    for (int I = 0; I < 4; ++I)
        B[Offset + I] = static_cast<uint8_t>(V >> (8 * I));
}

void Put16(std::vector<uint8_t>& B, size_t Offset, uint16_t V)
{
    B[Offset] = static_cast<uint8_t>(V);
    B[Offset + 1] = static_cast<uint8_t>(V >> 8);
}

} // namespace

std::vector<uint8_t> Pattern(size_t Size, uint8_t Seed)
{
    std::vector<uint8_t> Out(Size);
    for (size_t I = 0; I < Size; ++I)
        Out[I] = static_cast<uint8_t>((I + Seed) % 251);
    return Out;
}

TBuilt BuildCompound(const std::vector<TEntrySpec>& Entries, unsigned SectorShift)
{
    TBuilt R;
    const uint32_t Ss = 1u << SectorShift;
    const uint32_t Per = Ss / 4;
    R.SectorSize = Ss;
    std::vector<std::vector<uint8_t>> Sectors;
    std::vector<uint32_t> Fat;

    auto AddChain = [&](const std::vector<uint8_t>& B) -> uint32_t {
        if (B.empty())
            return EndOfChain;
        const uint32_t Start = static_cast<uint32_t>(Sectors.size());
        const size_t N = (B.size() + Ss - 1) / Ss;
        for (size_t I = 0; I < N; ++I) {
            std::vector<uint8_t> S(Ss, 0);
            std::copy(B.begin() + I * Ss, B.begin() + std::min(B.size(), (I + 1) * Ss), S.begin());
            Sectors.push_back(std::move(S));
            Fat.push_back(I + 1 < N ? Start + static_cast<uint32_t>(I) + 1 : EndOfChain);
        }
        return Start;
    };

    R.Starts.assign(Entries.size(), EndOfChain);
    std::vector<uint8_t> Mini;
    std::vector<uint32_t> MiniFat;
    for (size_t I = 1; I < Entries.size(); ++I) {
        const auto& D = Entries[I].Data;
        if (Entries[I].Type != 2 || D.empty())
            continue;
        if (D.size() >= 4096) {
            R.Starts[I] = AddChain(D);
            continue;
        }
        const uint32_t Start = static_cast<uint32_t>(Mini.size() / 64);
        const size_t N = (D.size() + 63) / 64;
        Mini.insert(Mini.end(), D.begin(), D.end());
        Mini.resize(Mini.size() + (N * 64 - D.size()), 0);
        for (size_t K = 0; K < N; ++K)
            MiniFat.push_back(K + 1 < N ? Start + static_cast<uint32_t>(K) + 1 : EndOfChain);
        R.Starts[I] = Start;
    }
    R.Starts[0] = AddChain(Mini);
    std::vector<uint8_t> MiniFatBytes(MiniFat.size() * 4);
    for (size_t I = 0; I < MiniFat.size(); ++I)
        Put32(MiniFatBytes, I * 4, MiniFat[I]);
    R.MiniFatStart = AddChain(MiniFatBytes);
    const uint32_t MiniFatSectors = static_cast<uint32_t>((MiniFatBytes.size() + Ss - 1) / Ss);

    std::vector<uint8_t> Dir(((Entries.size() * 128 + Ss - 1) / Ss) * Ss, 0);
    for (size_t I = 0; I < Entries.size(); ++I) {
        const TEntrySpec& E = Entries[I];
        const size_t B = I * 128;
        for (size_t C = 0; C < E.Name.size() && C < 31; ++C)
            Put16(Dir, B + 2 * C, E.Name[C]);
        Put16(Dir, B + 64, static_cast<uint16_t>((std::min<size_t>(E.Name.size(), 31) + 1) * 2));
        Dir[B + 66] = E.Type;
        Dir[B + 67] = 1;
        Put32(Dir, B + 68, E.Left);
        Put32(Dir, B + 72, E.Right);
        Put32(Dir, B + 76, E.Child);
        Dir[B + 80] = E.ClsidByte;
        Put32(Dir, B + 116, R.Starts[I]);
        const uint32_t Size = I == 0 ? static_cast<uint32_t>(Mini.size()) : static_cast<uint32_t>(E.Data.size());
        Put32(Dir, B + 120, E.Type == 1 ? 0 : Size);
    }
    // Unused entries: links empty.
    for (size_t I = Entries.size(); I < Dir.size() / 128; ++I) {
        Put32(Dir, I * 128 + 68, NoStream);
        Put32(Dir, I * 128 + 72, NoStream);
        Put32(Dir, I * 128 + 76, NoStream);
    }
    R.DirStart = AddChain(Dir);

    // The FAT must cover the data sectors and its own and the DIFAT's sectors.
    const uint32_t Data = static_cast<uint32_t>(Sectors.size());
    uint32_t F = 0, D = 0;
    while (true) {
        const uint32_t NewF = (Data + F + D + Per - 1) / Per;
        const uint32_t NewD = NewF > 109 ? (NewF - 109 + Per - 2) / (Per - 1) : 0;
        if (NewF == F && NewD == D)
            break;
        F = NewF;
        D = NewD;
    }
    Fat.resize(size_t(F) * Per, FreeSect);
    for (uint32_t K = 0; K < F; ++K) {
        R.FatSectors.push_back(Data + K);
        Fat[Data + K] = FatSect;
    }
    for (uint32_t K = 0; K < D; ++K) {
        R.DifatSectors.push_back(Data + F + K);
        Fat[Data + F + K] = DifSect;
    }
    for (uint32_t K = 0; K < F; ++K) {
        std::vector<uint8_t> S(Ss);
        for (uint32_t W = 0; W < Per; ++W)
            Put32(S, W * 4, Fat[size_t(K) * Per + W]);
        Sectors.push_back(std::move(S));
    }
    for (uint32_t K = 0; K < D; ++K) {
        std::vector<uint8_t> S(Ss);
        for (uint32_t W = 0; W + 1 < Per; ++W) {
            const size_t Index = 109 + size_t(K) * (Per - 1) + W;
            Put32(S, W * 4, Index < F ? R.FatSectors[Index] : FreeSect);
        }
        Put32(S, (Per - 1) * 4, K + 1 < D ? R.DifatSectors[K + 1] : EndOfChain);
        Sectors.push_back(std::move(S));
    }

    std::vector<uint8_t> Header(Ss, 0);
    const uint8_t Sig[8] = {0xD0, 0xCF, 0x11, 0xE0, 0xA1, 0xB1, 0x1A, 0xE1};
    std::memcpy(Header.data(), Sig, 8);
    Put16(Header, 24, 0x3E);
    Put16(Header, 26, SectorShift == 12 ? 4 : 3);
    Put16(Header, 28, 0xFFFE);
    Put16(Header, 30, static_cast<uint16_t>(SectorShift));
    Put16(Header, 32, 6);
    Put32(Header, 40, SectorShift == 12 ? static_cast<uint32_t>(Dir.size() / Ss) : 0);
    Put32(Header, 44, F);
    Put32(Header, 48, R.DirStart);
    Put32(Header, 56, 4096);
    Put32(Header, 60, R.MiniFatStart);
    Put32(Header, 64, MiniFatSectors);
    Put32(Header, 68, D ? R.DifatSectors[0] : EndOfChain);
    Put32(Header, 72, D);
    for (uint32_t K = 0; K < 109; ++K)
        Put32(Header, 76 + 4 * K, K < F ? R.FatSectors[K] : FreeSect);

    R.Bytes = std::move(Header);
    for (const auto& S : Sectors)
        R.Bytes.insert(R.Bytes.end(), S.begin(), S.end());
    return R;
}

} // namespace cfbtest
