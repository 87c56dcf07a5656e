// Reading the SST record: the total of string uses (4), the number of unique
// strings N (4, signed), then N BIFF8 strings, split over CONTINUE records as
// BiffString.h describes. Each string's header (count, options, run count,
// phonetic size) normally stands whole in one record; one that breaks is read
// on in the next record like any other field.
//
// Some writers get N wrong: more than the strings they write, or 0 with the
// strings there. The table ends where its records end at a string boundary
// (the next record is no CONTINUE record), so such files keep every string
// they hold; N = 0 reads whatever strings stand in the records. A table that
// ends inside a string is an error.
#include "BiffString.h"
#include "SST.h"
#include "model/Exception.h"

void TSST2::Read(std::span<const uint8_t> Body,
                 const std::function<std::optional<std::span<const uint8_t>>()>& Next)
{
    TContinuedReader Reader(Body, Next, "CONTINUE record is missing in SST");
    Reader.U32(); // total of string uses
    const auto Count = static_cast<int32_t>(Reader.U32());
    TBiffString S;
    const auto Bytes = [](const std::string& Text) {
        return std::span<const uint8_t>(reinterpret_cast<const uint8_t*>(Text.data()), Text.size());
    };
    for (int32_t K = 1; Count <= 0 || K <= Count; ++K) {
        if (Reader.Left() == 0 && !Reader.TryNextRecord())
            return;
        const uint16_t CharCount = Reader.U16();
        const uint8_t Options = Reader.U8();
        if (!IsLegalStringOptions(Options))
            throw Exception(StrFmt("STT: Unhandled string type in Read (%.2X) # %d", Options, K));
        ReadBiffStringBody(Reader, CharCount, Options, S);
        Append(S.Options, Bytes(S.Chars), Bytes(S.Runs), Bytes(S.Phonetic));
    }
}
