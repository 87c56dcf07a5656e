#pragma once
// How the whole-reader fuzz targets hand bytes to the component. A bare
// workbook stream (one that starts with the BIFF5/8 BOF 0x0809) is read as
// the BOF's version field says, as if it came out of a compound document,
// so the fuzzer reaches the BIFF5 and BIFF8 handlers without having to build
// a container around its mutations. Everything else goes the way a file
// goes: plain BIFF2-4 or a compound document, detected from its bytes.

#include "model/Tabulon.h"

#include <cstddef>
#include <cstdint>
#include <vector>

inline bool IsBareWorkbookStream(const uint8_t* Data, size_t Size)
{
    return Size >= 6 && Data[0] == 0x09 && Data[1] == 0x08;
}

inline void ReadFuzzWorkbook(TTabulon& XLS, const uint8_t* Data, size_t Size)
{
    std::vector<uint8_t> Bytes(Data, Data + Size);
    if (IsBareWorkbookStream(Data, Size)) {
        const unsigned BiffVersion = Data[4] | (Data[5] << 8);
        XLS.ReadWorkbookStream(std::move(Bytes), BiffVersion == 0x0600 ? xvExcel97 : xvExcel50);
    } else {
        XLS.ReadBytes(std::move(Bytes));
    }
}
