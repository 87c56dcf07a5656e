#include "CellRecords.h"

#include <cstring>

double DecodeRK(uint32_t RK)
{
    double Value;
    if (RK & 2) {
        Value = static_cast<double>(static_cast<int32_t>(RK & ~3u) >> 2);
    } else {
        const uint64_t Bits = static_cast<uint64_t>(RK & ~3u) << 32;
        std::memcpy(&Value, &Bits, sizeof Value);
    }
    return (RK & 1) ? Value / 100 : Value;
}
