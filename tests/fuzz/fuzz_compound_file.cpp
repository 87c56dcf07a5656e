// Bytes in as a compound document: list the root, read every stream, copy
// every storage. Damage must end in our Exception, nothing else.

#include "biff/CompoundFile.h"
#include "model/Exception.h"

#include <cstdint>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    TCompoundFile File;
    try {
        File.OpenMemory(std::vector<uint8_t>(Data, Data + Size));
    } catch (const Exception&) {
        return 0;
    }
    for (const TStorageElement& E : File.RootElements()) {
        try {
            if (E.Type == TStorageElementType::Stream)
                File.ReadStream(E.Name);
            else
                File.CopyStorage(E.Name);
        } catch (const Exception&) {
        }
    }
    return 0;
}
