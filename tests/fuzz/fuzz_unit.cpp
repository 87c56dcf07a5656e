// From file bytes to the generated unit: read the workbook into the
// component, then write the unit and check every line of it. Whatever the
// file holds, reading may fail only with our Exception, and the unit's text
// must stay valid Pascal with the file's text inside literals (PascalCheck.h).
// A failed read leaves what was read so far, and that model must generate
// safely too.

#include "FuzzWorkbook.h"
#include "PascalCheck.h"
#include "codegen/UnitGenerator.h"
#include "model/Exception.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TTabulon XLS;
    try {
        ReadFuzzWorkbook(XLS, Data, Size);
    } catch (const Exception&) {
    }
    TStringListSink Unit;
    try {
        GenerateUnit(XLS, TUnitOptions(), Unit);
    } catch (const Exception&) {
        return 0;
    }
    for (const std::string& Line : Unit.Lines) {
        const std::string Fault = CheckPascalLine(Line);
        if (!Fault.empty()) {
            std::fprintf(stderr, "unsafe generated line: %s\n", Fault.c_str());
            std::abort();
        }
    }
    return 0;
}
