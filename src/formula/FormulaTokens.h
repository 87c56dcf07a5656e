#pragma once
// Formula token identifiers and the layout facts the decoder and the
// shared-formula conversion share. No parsing code here.

#include "model/TabulonRecs.h"

#include <cstdint>

// Base identifiers. Identifiers 0x20..0x7F come in three classes (reference
// 0x20..0x3F, value +0x20, array +0x40) that read and print alike;
// TokenBase folds them onto the reference class.
enum TPtg : uint8_t {
    ptgEnd = 0x00,
    ptgExp = 0x01,
    ptgTbl = 0x02,
    ptgAdd = 0x03,
    ptgSub = 0x04,
    ptgMul = 0x05,
    ptgDiv = 0x06,
    ptgPower = 0x07,
    ptgConcat = 0x08,
    ptgLT = 0x09,
    ptgLE = 0x0A,
    ptgEQ = 0x0B,
    ptgGE = 0x0C,
    ptgGT = 0x0D,
    ptgNE = 0x0E,
    ptgIsect = 0x0F,
    ptgList = 0x10,
    ptgRange = 0x11,
    ptgUplus = 0x12,
    ptgUminus = 0x13,
    ptgPercent = 0x14,
    ptgParen = 0x15,
    ptgMissArg = 0x16,
    ptgStr = 0x17,
    ptgAttr = 0x19,
    ptgSheet = 0x1A,
    ptgEndSheet = 0x1B,
    ptgErr = 0x1C,
    ptgBool = 0x1D,
    ptgInt = 0x1E,
    ptgNum = 0x1F,
    ptgArray = 0x20,
    ptgFunc = 0x21,
    ptgFuncVar = 0x22,
    ptgName = 0x23,
    ptgRef = 0x24,
    ptgArea = 0x25,
    ptgMemArea = 0x26,
    ptgMemErr = 0x27,
    ptgMemNoMem = 0x28,
    ptgMemFunc = 0x29,
    ptgRefErr = 0x2A,
    ptgAreaErr = 0x2B,
    ptgRefN = 0x2C,
    ptgAreaN = 0x2D,
    ptgMemAreaN = 0x2E,
    ptgMemNoMemN = 0x2F,
    ptgNameX = 0x39,
    ptgRef3d = 0x3A,
    ptgArea3d = 0x3B,
    ptgRefErr3d = 0x3C,
    ptgAreaErr3d = 0x3D,
};

// The reference-class identifier of Id; identifiers 0x80 and above have no
// class and come back unchanged.
constexpr uint8_t TokenBase(uint8_t Id)
{
    return (Id >= 0x20 && Id < 0x80) ? static_cast<uint8_t>(0x20 | (Id & 0x1F)) : Id;
}

// tAttr flag bits.
constexpr uint8_t AttrChoose = 0x04;
constexpr uint8_t AttrSum = 0x10;

// Cell address flags. BIFF8 keeps them in the 16-bit column field (bits 0-13
// column), earlier versions in the 16-bit row field (bits 0-13 row).
constexpr uint16_t RefColRelative = 0x4000;
constexpr uint16_t RefRowRelative = 0x8000;
constexpr uint16_t RefIndexMask = 0x3FFF;

inline bool IsBIFF8(TExcelVersion Version)
{
    return Version >= xvExcel97;
}
