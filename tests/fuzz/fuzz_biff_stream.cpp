// A BIFF record stream without a container: a plain BIFF2-4 file, or a bare
// BIFF5/8 workbook stream as it stands inside a compound document. Damage
// must end in our Exception, nothing else.

#include "FuzzWorkbook.h"
#include "biff/CompoundFile.h"
#include "model/Exception.h"

#include <cstdint>
#include <span>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    // Compound documents are fuzz_compound_file's and fuzz_reader's.
    if (TCompoundFile::IsCompoundData(std::span<const uint8_t>(Data, Size)))
        return 0;
    TTabulon XLS;
    XLS.PreserveMacros = false;
    try {
        ReadFuzzWorkbook(XLS, Data, Size);
    } catch (const Exception&) {
    }
    return 0;
}
