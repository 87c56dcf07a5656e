#include "Codepages.h"

#include <iconv.h>

#include <cerrno>
#include <map>
#include <memory>

namespace {

struct TAlias {
    uint16_t Codepage;
    const char* Charset;
};

// CODEPAGE values as writers put them in files. Besides the Windows and DOS
// code pages: 367 is plain ASCII; 1200 (UTF-16) is the component's own default
// and what some exporters write into BIFF5 files whose 8-bit text is in fact
// Windows-1252, and 21010 is written by some Mac exporters in the same sense;
// 32768 and 32769 are the Mac Roman and Windows ANSI markers of BIFF2 to BIFF4;
// 65001 (-535 as a signed word) is UTF-8. Mac code pages glibc lacks (Greek,
// Turkish, Romanian, Croatian, Arabic, Hebrew) fall back to Windows-1252.
constexpr TAlias Aliases[] = {
    {367, "ASCII"},
    {437, "CP437"},
    {720, "CP720"},
    {737, "CP737"},
    {775, "CP775"},
    {850, "CP850"},
    {852, "CP852"},
    {855, "CP855"},
    {857, "CP857"},
    {858, "CP858"},
    {860, "CP860"},
    {861, "CP861"},
    {862, "CP862"},
    {863, "CP863"},
    {864, "CP864"},
    {865, "CP865"},
    {866, "CP866"},
    {869, "CP869"},
    {874, "WINDOWS-874"},
    {932, "WINDOWS-31J"},
    {936, "GBK"},
    {949, "CP949"},
    {950, "BIG5"},
    {1200, "WINDOWS-1252"},
    {1250, "WINDOWS-1250"},
    {1251, "WINDOWS-1251"},
    {1252, "WINDOWS-1252"},
    {1253, "WINDOWS-1253"},
    {1254, "WINDOWS-1254"},
    {1255, "WINDOWS-1255"},
    {1256, "WINDOWS-1256"},
    {1257, "WINDOWS-1257"},
    {1258, "WINDOWS-1258"},
    {1361, "JOHAB"},
    {10000, "MACINTOSH"},
    {10001, "SHIFT_JIS"},
    {10002, "BIG5"},
    {10003, "EUC-KR"},
    {10007, "MAC-CYRILLIC"},
    {10008, "EUC-CN"},
    {10017, "MACUKRAINIAN"},
    {10021, "TIS-620"},
    {10029, "MAC-CENTRALEUROPE"},
    {10079, "MAC-IS"},
    {20127, "ASCII"},
    {20866, "KOI8-R"},
    {20932, "EUC-JP"},
    {20936, "EUC-CN"},
    {21010, "WINDOWS-1252"},
    {21866, "KOI8-U"},
    {28591, "ISO-8859-1"},
    {28592, "ISO-8859-2"},
    {28593, "ISO-8859-3"},
    {28594, "ISO-8859-4"},
    {28595, "ISO-8859-5"},
    {28596, "ISO-8859-6"},
    {28597, "ISO-8859-7"},
    {28598, "ISO-8859-8"},
    {28599, "ISO-8859-9"},
    {28603, "ISO-8859-13"},
    {28605, "ISO-8859-15"},
    {32768, "MACINTOSH"},
    {32769, "WINDOWS-1252"},
    {51932, "EUC-JP"},
    {51936, "EUC-CN"},
    {51949, "EUC-KR"},
    {54936, "GB18030"},
    {65001, "UTF-8"},
};

constexpr char Replacement[] = "\xEF\xBF\xBD";

void AppendUtf8(std::string& Out, uint32_t C)
{
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

bool IsAscii(std::string_view Bytes)
{
    for (const char C : Bytes)
        if (static_cast<unsigned char>(C) >= 0x80)
            return false;
    return true;
}

// One converter per charset, opened on first use and kept for the process
// (reading is single-threaded; the handful of code pages a run meets is small).
class TConverters {
public:
    ~TConverters()
    {
        for (auto& [Name, Cd] : FOpen)
            if (Cd != reinterpret_cast<iconv_t>(-1))
                iconv_close(Cd);
    }
    iconv_t Get(const char* Charset)
    {
        auto It = FOpen.find(Charset);
        if (It == FOpen.end())
            It = FOpen.emplace(Charset, iconv_open("UTF-8", Charset)).first;
        return It->second;
    }

private:
    std::map<std::string, iconv_t> FOpen;
};

TConverters& Converters()
{
    static TConverters Instance;
    return Instance;
}

} // namespace

const char* CodepageCharset(uint16_t Codepage)
{
    size_t Lo = 0;
    size_t Hi = std::size(Aliases);
    while (Lo < Hi) {
        const size_t Mid = (Lo + Hi) / 2;
        if (Aliases[Mid].Codepage < Codepage)
            Lo = Mid + 1;
        else
            Hi = Mid;
    }
    if (Lo < std::size(Aliases) && Aliases[Lo].Codepage == Codepage)
        return Aliases[Lo].Charset;
    return "WINDOWS-1252";
}

std::string Latin1ToUtf8(std::string_view Bytes)
{
    std::string Out;
    Out.reserve(Bytes.size() + Bytes.size() / 4);
    for (const char C : Bytes)
        AppendUtf8(Out, static_cast<unsigned char>(C));
    return Out;
}

std::string CodepageToUtf8(std::string_view Bytes, uint16_t Codepage)
{
    if (IsAscii(Bytes))
        return std::string(Bytes);
    const char* Charset = CodepageCharset(Codepage);
    if (Charset[0] == 'I' && std::string_view(Charset) == "ISO-8859-1")
        return Latin1ToUtf8(Bytes);

    iconv_t Cd = Converters().Get(Charset);
    if (Cd == reinterpret_cast<iconv_t>(-1))
        Cd = Converters().Get("WINDOWS-1252");
    iconv(Cd, nullptr, nullptr, nullptr, nullptr);

    std::string Out;
    Out.resize(Bytes.size() * 4 + 16);
    char* In = const_cast<char*>(Bytes.data());
    size_t InLeft = Bytes.size();
    size_t Done = 0;
    while (InLeft > 0) {
        char* Dest = Out.data() + Done;
        size_t DestLeft = Out.size() - Done;
        const size_t Rc = iconv(Cd, &In, &InLeft, &Dest, &DestLeft);
        Done = static_cast<size_t>(Dest - Out.data());
        if (Rc != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG) {
            Out.resize(Out.size() * 2);
            continue;
        }
        // An undefined byte, or a multi-byte character cut off at the end.
        if (Out.size() - Done < sizeof Replacement)
            Out.resize(Out.size() * 2);
        Out.replace(Done, sizeof Replacement - 1, Replacement);
        Done += sizeof Replacement - 1;
        if (errno == EINVAL)
            break;
        ++In;
        --InLeft;
        iconv(Cd, nullptr, nullptr, nullptr, nullptr);
    }
    Out.resize(Done);
    return Out;
}
