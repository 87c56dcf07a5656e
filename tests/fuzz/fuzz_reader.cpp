// Fuzz target: a whole workbook file (plain BIFF or compound document) read
// into a component. Failures must be the program's own exceptions.

#include "biff/XLSReader.h"
#include "model/Exception.h"
#include "model/Tabulon.h"

#include <cstddef>
#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TTabulon XLS;
    XLS.PreserveMacros = Size > 0 && (Data[Size - 1] & 1);
    TXLSReader Reader(XLS);
    try {
        Reader.ReadBytes(std::vector<uint8_t>(Data, Data + Size));
    } catch (const Exception&) {
    }
    return 0;
}
