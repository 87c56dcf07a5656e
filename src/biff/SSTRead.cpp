// Reading the SST record: the total of string uses (4), the number of unique
// strings N (4, signed), then N BIFF8 strings, split over CONTINUE records as
// BiffString.h describes. Each string's header (count, options, run count,
// phonetic size) normally stands whole in one record; one that breaks is read
// on in the next record like any other field.
#include "BiffString.h"
#include "SST.h"
#include "model/Exception.h"

void TSST2::Read(std::span<const uint8_t> Body, const std::function<std::span<const uint8_t>()>& Next)
{
    TContinuedReader Reader(Body, Next, "SST record");
    Reader.U32(); // total of string uses
    const auto Count = static_cast<int32_t>(Reader.U32());
    TBiffString S;
    for (int32_t K = 1; K <= Count; ++K) {
        const uint16_t CharCount = Reader.U16();
        const uint8_t Options = Reader.U8();
        if (!IsLegalStringOptions(Options))
            throw Exception(StrFmt("STT: Unhandled string type in Read (%.2X) # %d", Options, K));
        ReadBiffStringBody(Reader, CharCount, Options, S);
        const auto Bytes = [](const std::string& Text) {
            return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Text.data()), Text.size());
        };
        Append(S.Options, Bytes(S.Chars), Bytes(S.Runs), Bytes(S.Phonetic));
    }
}
