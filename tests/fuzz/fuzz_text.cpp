// Text conversions and the shared string table over arbitrary bytes: every
// result must be valid UTF-8, and no input may read outside its buffer.

#include "biff/SST.h"
#include "model/Exception.h"
#include "model/TextCodec.h"
#include "model/XLSUtils.h"

#include <cstdint>
#include <cstdlib>
#include <string>

namespace {

void CheckUtf8(const std::string& Text)
{
    if (CodepageToUtf8(65001, Text) != Text)
        std::abort();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* Data, size_t Size)
{
    if (Size < 2)
        return 0;
    // Byte 0 picks the code page and version, byte 1 the claimed character count.
    static const int Codepages[] = {1252, 1251, 932, 936, 949, 950, 1200, 65001, 10000, 437, 1361, 4711};
    const int Codepage = Codepages[Data[0] % std::size(Codepages)];
    const TExcelVersion Version = (Data[0] & 0x80) ? xvExcel97 : xvExcel50;
    const int Count = Data[1];
    const uint8_t* Body = Data + 2;
    const size_t BodySize = Size - 2;

    CheckUtf8(CodepageToUtf8(Codepage, Body, BodySize));
    CheckUtf8(Utf16LeToUtf8(Body, BodySize));
    CheckUtf8(Latin1ToUtf8(Body, BodySize));
    try {
        CheckUtf8(ByteStrToString(Version, Body, BodySize, Count, Codepage));
    } catch (const Exception&) {
    }
    const std::string_view AsText(reinterpret_cast<const char*>(Body), BodySize);
    CheckUtf8(Utf16ToUtf8(Utf8ToUtf16(AsText)));

    TSST2 SST;
    SST.SetCodepage(Codepage);
    const int A = SST.AddString(AsText);
    const int B = SST.AddWideString(Utf8ToUtf16(AsText));
    if (A == B || SST.AddString(AsText) != A)
        std::abort();
    CheckUtf8(SST.GetString(A));
    CheckUtf8(SST.GetString(B));
    return 0;
}
