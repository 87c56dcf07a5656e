#pragma once
// Pieces of the cell record handlers that stand on their own.

#include <cstdint>

// An RK value: bit 0 set means divide by 100; bit 1 set means the upper 30
// bits are a signed integer, else they are the upper 30 bits of an IEEE
// double whose remaining bits are zero.
double DecodeRK(uint32_t RK);
