#include "Codepages.h"

#include <iterator>

namespace {

struct TAlias {
    uint16_t Codepage;
    const char* Charset;
};

// CODEPAGE values as writers put them in files. Besides the Windows, DOS,
// ISO and Mac code pages: 367 is plain ASCII; 1200 (UTF-16) is the BIFF8
// value and the component's default, and 21010 is written by some Mac
// exporters in the same sense: 8-bit text of BIFF2 to BIFF5 files carrying
// them is in fact Windows-1252 (the reader decides; see TextCodepage);
// 32768 and 32769 are the Mac Roman and Windows ANSI markers of BIFF2 to
// BIFF4; 65001 (-535 as a signed word) is UTF-8. Mac code pages glibc lacks
// (Greek, Turkish, Romanian, Croatian, Arabic, Hebrew) fall back to
// Windows-1252.
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

} // namespace

const char* CodepageCharset(int Codepage)
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
