#include "SST.h"

#include "model/Exception.h"
#include "model/TextCodec.h"
#include "model/XLSUtils.h"

#include <cstring>

namespace {
constexpr size_t MinBuckets = 1024;
// The hash has 16 bits; more buckets than that would stay empty.
constexpr size_t MaxBuckets = 65536;
} // namespace

void TSST2::Rehash(size_t Buckets)
{
    FHead.assign(Buckets, -1);
    FTail.assign(Buckets, -1);
    for (int I = 0; I < Count(); ++I)
        Link(I);
}

void TSST2::Link(int Index)
{
    TRec& R = FEntries[static_cast<size_t>(Index)];
    R.NextSameBucket = -1;
    const size_t B = R.Hash & (FHead.size() - 1);
    if (FTail[B] < 0)
        FHead[B] = Index;
    else
        FEntries[static_cast<size_t>(FTail[B])].NextSameBucket = Index;
    FTail[B] = Index;
}

int TSST2::AppendRec(uint8_t Options, const uint8_t* Chars, size_t Len, std::span<const uint8_t> Runs,
                     std::span<const uint8_t> Ext)
{
    const size_t Width = (Options & 1) ? 2 : 1;
    if (Len % Width != 0 || Len / Width > UINT32_MAX || Runs.size() % 4 != 0 || Runs.size() / 4 > UINT32_MAX ||
        Ext.size() > UINT32_MAX)
        throw Exception(StrFmt("Shared string of %zu character bytes does not fit its options (%.2X)", Len, Options));
    TRec R{};
    R.Offset = FBytes.size();
    R.CharCount = static_cast<uint32_t>(Len / Width);
    R.RunCount = static_cast<uint32_t>(Runs.size() / 4);
    R.ExtSize = static_cast<uint32_t>(Ext.size());
    R.Hash = static_cast<uint16_t>(StrHash(Chars, Len));
    R.Options = Options;
    FBytes.insert(FBytes.end(), Chars, Chars + Len);
    FBytes.insert(FBytes.end(), Runs.begin(), Runs.end());
    FBytes.insert(FBytes.end(), Ext.begin(), Ext.end());
    FEntries.push_back(R);
    const int Index = Count() - 1;
    if (FHead.empty())
        Rehash(MinBuckets);
    else if (FEntries.size() > FHead.size() && FHead.size() < MaxBuckets)
        Rehash(FHead.size() * 2);
    else
        Link(Index);
    return Index;
}

int TSST2::FindOrAdd(uint8_t Options, const uint8_t* Chars, size_t Len)
{
    if (!FHead.empty()) {
        const auto Hash = static_cast<uint16_t>(StrHash(Chars, Len));
        for (int32_t I = FHead[Hash & (FHead.size() - 1)]; I >= 0;) {
            const TRec& R = FEntries[static_cast<size_t>(I)];
            if (R.Hash == Hash && (R.Options & 1) == (Options & 1) && CharBytes(R) == Len && (Len == 0 || std::memcmp(&FBytes[R.Offset], Chars, Len) == 0))
                return I;
            I = R.NextSameBucket;
        }
    }
    return AppendRec(Options, Chars, Len, {}, {});
}

int TSST2::AddString(std::string_view Text)
{
    return FindOrAdd(0x00, reinterpret_cast<const uint8_t*>(Text.data()), Text.size());
}

int TSST2::AddWideString(std::u16string_view Text)
{
    std::vector<uint8_t> Bytes(Text.size() * 2);
    for (size_t I = 0; I < Text.size(); ++I) {
        Bytes[2 * I] = static_cast<uint8_t>(Text[I] & 0xFF);
        Bytes[2 * I + 1] = static_cast<uint8_t>(Text[I] >> 8);
    }
    return FindOrAdd(0x01, Bytes.data(), Bytes.size());
}

int TSST2::Append(uint8_t Options, std::span<const uint8_t> Chars, std::span<const uint8_t> Runs,
                  std::span<const uint8_t> Ext)
{
    return AppendRec(Options, Chars.data(), Chars.size(), Runs, Ext);
}

void TSST2::UseString(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw Exception(StrFmt("SST index out of range (%d:%d)", Index, Count()));
}

std::string TSST2::GetString(int Index) const
{
    if (Index < 0 || Index >= Count())
        return std::string();
    const TRec& R = FEntries[static_cast<size_t>(Index)];
    const uint8_t* Chars = FBytes.data() + R.Offset;
    if (R.Options & 1)
        return Utf16LeToUtf8(Chars, CharBytes(R));
    return CodepageToUtf8(FCodepage, Chars, R.CharCount);
}

TSST2::TEntry TSST2::Entry(int Index) const
{
    if (Index < 0 || Index >= Count())
        throw Exception(StrFmt("SST index out of range (%d:%d)", Index, Count()));
    const TRec& R = FEntries[static_cast<size_t>(Index)];
    const uint8_t* P = FBytes.data() + R.Offset;
    const size_t CharLen = CharBytes(R);
    const size_t RunLen = size_t(R.RunCount) * 4;
    return TEntry{R.Hash,
                  R.CharCount,
                  R.Options,
                  R.RunCount,
                  R.ExtSize,
                  {P, CharLen},
                  {P + CharLen, RunLen},
                  {P + CharLen + RunLen, R.ExtSize}};
}

void TSST2::Clear()
{
    FEntries.clear();
    FBytes.clear();
    FHead.clear();
    FTail.clear();
}
