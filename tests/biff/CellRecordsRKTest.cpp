#include "biff/CellRecords.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

uint32_t LE(uint8_t B0, uint8_t B1, uint8_t B2, uint8_t B3)
{
    return B0 | (B1 << 8) | (B2 << 16) | (static_cast<uint32_t>(B3) << 24);
}

TEST(DecodeRK, ValuesAsStoredInFiles)
{
    struct {
        uint32_t RK;
        double Expected;
    } const Cases[] = {
        {LE(0x00, 0x00, 0xF0, 0x3F), 1.0},
        {LE(0x01, 0x00, 0xF0, 0x3F), 0.01},
        {LE(0x92, 0x01, 0x00, 0x00), 100.0},
        {LE(0x93, 0x01, 0x00, 0x00), 1.0},
        {LE(0xFE, 0xFF, 0xFF, 0xFF), -1.0},
        {LE(0xFF, 0xFF, 0xFF, 0xFF), -0.01},
        {LE(0x02, 0x00, 0x00, 0x00), 0.0},
        {LE(0xFE, 0xFF, 0xFF, 0x7F), 536870911.0},  // largest 30-bit integer
        {LE(0x02, 0x00, 0x00, 0x80), -536870912.0}, // smallest
        {LE(0x13, 0x9C, 0x2F, 0x00), 7800.36},     // 780036 / 100
        {LE(0x00, 0x00, 0x59, 0xC0), -100.0},       // high half of -100.0
    };
    for (const auto& C : Cases)
        EXPECT_EQ(DecodeRK(C.RK), C.Expected) << std::hex << C.RK;
}

} // namespace
