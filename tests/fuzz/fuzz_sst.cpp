// The shared string table read from an SST record and the CONTINUE records
// after it, then every entry handed out as text.
// Input: records one after another, each a 16-bit little-endian body length
// (at most 8224, the largest BIFF8 body) and the body; the first is the SST
// record, the others its CONTINUE records.

#include "biff/SST.h"
#include "model/Exception.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <optional>
#include <span>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    // Each body in a block of its own size, so an over-read of any is caught.
    std::vector<std::unique_ptr<uint8_t[]>> Blocks;
    std::vector<std::span<const uint8_t>> Bodies;
    while (Size >= 2) {
        const size_t Wanted = std::min<size_t>(Data[0] | (Data[1] << 8), 8224);
        const size_t Len = std::min(Wanted, Size - 2);
        Blocks.push_back(std::make_unique<uint8_t[]>(Len ? Len : 1));
        std::memcpy(Blocks.back().get(), Data + 2, Len);
        Bodies.emplace_back(Blocks.back().get(), Len);
        Data += 2 + Len;
        Size -= 2 + Len;
    }
    if (Bodies.empty())
        return 0;

    TSST2 SST;
    size_t Next = 1;
    try {
        SST.Read(Bodies[0], [&]() -> std::optional<std::span<const uint8_t>> {
            if (Next >= Bodies.size())
                return std::nullopt;
            return Bodies[Next++];
        });
    } catch (const Exception&) {
    }
    // Entries read before a failure stay; each must hand out its text.
    for (int I = 0; I < SST.Count(); ++I) {
        SST.GetString(I);
        SST.Entry(I);
    }
    return 0;
}
