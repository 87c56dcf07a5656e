#include "BiffString.h"

#include "model/TextCodec.h"
#include "model/Exception.h"

#include <algorithm>

TContinuedReader::TContinuedReader(std::span<const uint8_t> Body, TNextBody Next, std::string Missing)
    : FBody(Body), FNext(std::move(Next)), FMissing(std::move(Missing))
{
}

bool TContinuedReader::TryNextRecord()
{
    if (!FNext)
        return false;
    const auto Next = FNext();
    if (!Next)
        return false;
    FBody = *Next;
    FPos = 0;
    return true;
}

void TContinuedReader::NextRecord()
{
    if (!TryNextRecord())
        throw Exception(FMissing);
}

uint8_t TContinuedReader::U8()
{
    while (Left() == 0)
        NextRecord();
    return FBody[FPos++];
}

uint16_t TContinuedReader::U16()
{
    const uint8_t Lo = U8();
    return static_cast<uint16_t>(Lo | (U8() << 8));
}

uint32_t TContinuedReader::U32()
{
    const uint32_t Lo = U16();
    return Lo | (static_cast<uint32_t>(U16()) << 16);
}

void TContinuedReader::Block(size_t Count, std::string& Out)
{
    while (Count > 0) {
        if (Left() == 0)
            NextRecord();
        const size_t Take = std::min(Count, Left());
        Out.append(reinterpret_cast<const char*>(FBody.data() + FPos), Take);
        FPos += Take;
        Count -= Take;
    }
}

bool TContinuedReader::Chars(size_t Count, bool Wide, std::string& Out)
{
    const size_t Start = Out.size();
    const size_t Width = Wide ? 2 : 1;
    if (Left() >= Count * Width) {
        Out.append(reinterpret_cast<const char*>(FBody.data() + FPos), Count * Width);
        FPos += Count * Width;
        return Wide;
    }
    // Pieces: an 8-bit string that meets a 16-bit piece becomes 16-bit as a
    // whole, the bytes read so far widened.
    bool StoredWide = Wide;
    Out.reserve(Start + Count * 2);
    bool First = true;
    while (Count > 0) {
        bool PieceWide = Wide;
        if (!First) {
            NextRecord();
            if (Left() == 0)
                continue;
            PieceWide = FBody[FPos++] == 1;
        }
        First = false;
        const size_t PieceWidth = PieceWide ? 2 : 1;
        const size_t Bytes = std::min(Count * PieceWidth, Left());
        const size_t N = Bytes / PieceWidth;
        const auto* P = FBody.data() + FPos;
        FPos += Bytes; // an odd byte left at a record's end is dropped
        if (PieceWide && !StoredWide) {
            std::string Widened;
            Widened.reserve((Out.size() - Start) * 2);
            for (size_t I = Start; I < Out.size(); ++I) {
                Widened += Out[I];
                Widened += '\0';
            }
            Out.resize(Start);
            Out += Widened;
            StoredWide = true;
        }
        if (StoredWide && !PieceWide) {
            for (size_t I = 0; I < N; ++I) {
                Out += static_cast<char>(P[I]);
                Out += '\0';
            }
        } else {
            Out.append(reinterpret_cast<const char*>(P), N * PieceWidth);
        }
        Count -= N;
    }
    return StoredWide;
}

bool IsLegalStringOptions(uint8_t Options)
{
    return (Options & ~0x0D) == 0;
}

void ReadBiffStringBody(TContinuedReader& Reader, uint16_t CharCount, uint8_t Options, TBiffString& Out)
{
    Out.CharCount = CharCount;
    Out.RunCount = 0;
    Out.ExtSize = 0;
    Out.Chars.clear();
    Out.Runs.clear();
    Out.Phonetic.clear();
    if (Options & 0x08)
        Out.RunCount = Reader.U16();
    if (Options & 0x04)
        Out.ExtSize = Reader.U32();
    const bool Wide = Reader.Chars(CharCount, (Options & 1) != 0, Out.Chars);
    Out.Options = static_cast<uint8_t>(Wide ? Options | 1 : Options);
    if (Options & 0x08)
        Reader.Block(size_t{Out.RunCount} * 4, Out.Runs);
    if (Options & 0x04)
        Reader.Block(Out.ExtSize, Out.Phonetic);
}

std::string BiffCharsToUtf8(std::string_view Chars, bool Wide)
{
    const auto* Data = reinterpret_cast<const uint8_t*>(Chars.data());
    return Wide ? Utf16LeToUtf8(Data, Chars.size()) : Latin1ToUtf8(Data, Chars.size());
}
