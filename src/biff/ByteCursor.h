#pragma once
// TByteCursor: the one way record handlers read bytes. It knows where its
// bytes end, assembles little-endian values byte by byte (no pointer casts,
// no host byte order) and throws Exception, naming what it was reading, when
// fewer bytes remain than a read wants. Range checks compare the wanted size
// with what remains, so no offset arithmetic can overflow.

#include "model/Exception.h"

#include <cstdint>
#include <cstring>
#include <span>
#include <string>

class TByteCursor {
public:
    TByteCursor() = default;
    // Context names the bytes in messages, for example "BOUNDSHEET record".
    // It must outlive the cursor (string literals do).
    explicit TByteCursor(std::span<const uint8_t> Data, const char* Context = "record")
        : FData(Data), FContext(Context)
    {
    }

    size_t Size() const { return FData.size(); }
    size_t Offset() const { return FPos; }
    size_t Remaining() const { return FData.size() - FPos; }
    bool AtEnd() const { return FPos == FData.size(); }
    const char* Context() const { return FContext; }

    uint8_t U8(const char* What = "a byte")
    {
        Need(1, What);
        return FData[FPos++];
    }
    uint16_t U16(const char* What = "a 16-bit value")
    {
        Need(2, What);
        const uint16_t V = static_cast<uint16_t>(FData[FPos] | (FData[FPos + 1] << 8));
        FPos += 2;
        return V;
    }
    uint32_t U32(const char* What = "a 32-bit value")
    {
        Need(4, What);
        uint32_t V = 0;
        for (int I = 3; I >= 0; --I)
            V = (V << 8) | FData[FPos + static_cast<size_t>(I)];
        FPos += 4;
        return V;
    }
    int16_t I16(const char* What = "a 16-bit value") { return static_cast<int16_t>(U16(What)); }
    int32_t I32(const char* What = "a 32-bit value") { return static_cast<int32_t>(U32(What)); }
    // An IEEE 754 double stored little-endian.
    double F64(const char* What = "a floating-point value")
    {
        Need(8, What);
        uint64_t Bits = 0;
        for (int I = 7; I >= 0; --I)
            Bits = (Bits << 8) | FData[FPos + static_cast<size_t>(I)];
        FPos += 8;
        double V;
        std::memcpy(&V, &Bits, sizeof V);
        return V;
    }

    // The next Count bytes, without copying; the span lives as long as the
    // bytes the cursor was made on.
    std::span<const uint8_t> Bytes(size_t Count, const char* What = "bytes")
    {
        Need(Count, What);
        const auto Result = FData.subspan(FPos, Count);
        FPos += Count;
        return Result;
    }
    std::span<const uint8_t> Rest()
    {
        const auto Result = FData.subspan(FPos);
        FPos = FData.size();
        return Result;
    }
    void Skip(size_t Count, const char* What = "bytes") { Bytes(Count, What); }
    // Moves to an offset from the start; the end itself is a valid offset.
    void Seek(size_t NewOffset)
    {
        if (NewOffset > FData.size())
            throw Exception(StrFmt("%s has %zu bytes; offset %zu is outside it", FContext, FData.size(), NewOffset));
        FPos = NewOffset;
    }
    // A cursor over the next Count bytes; this cursor moves past them.
    TByteCursor Sub(size_t Count, const char* Context)
    {
        return TByteCursor(Bytes(Count, Context), Context);
    }

    // Throws unless Count more bytes remain.
    void Need(size_t Count, const char* What) const
    {
        if (Count > Remaining())
            throw Exception(StrFmt("%s ends early: %s needs %zu bytes at offset %zu, %zu left", FContext, What, Count,
                                   FPos, Remaining()));
    }

private:
    std::span<const uint8_t> FData;
    size_t FPos = 0;
    const char* FContext = "record";
};
