#include "TextCodec.h"

#include "Codepages.h"

#include <cerrno>
#include <iconv.h>
#include <map>
#include <memory>

namespace {

constexpr char32_t Replacement = 0xFFFD;

void AppendUtf8(std::string& Out, char32_t C)
{
    if (C < 0x80) {
        Out += static_cast<char>(C);
    } else if (C < 0x800) {
        Out += static_cast<char>(0xC0 | (C >> 6));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else if (C < 0x10000) {
        Out += static_cast<char>(0xE0 | (C >> 12));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    } else {
        Out += static_cast<char>(0xF0 | (C >> 18));
        Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
        Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
        Out += static_cast<char>(0x80 | (C & 0x3F));
    }
}

// Decodes one UTF-8 sequence at Text[Pos]; advances Pos. Overlong forms,
// surrogates and truncated sequences give U+FFFD and consume one byte.
char32_t NextUtf8(std::string_view Text, size_t& Pos)
{
    const auto B0 = static_cast<uint8_t>(Text[Pos]);
    if (B0 < 0x80) {
        ++Pos;
        return B0;
    }
    int Len = 0;
    char32_t C = 0;
    char32_t Min = 0;
    if ((B0 & 0xE0) == 0xC0) {
        Len = 2, C = B0 & 0x1F, Min = 0x80;
    } else if ((B0 & 0xF0) == 0xE0) {
        Len = 3, C = B0 & 0x0F, Min = 0x800;
    } else if ((B0 & 0xF8) == 0xF0) {
        Len = 4, C = B0 & 0x07, Min = 0x10000;
    } else {
        ++Pos;
        return Replacement;
    }
    if (Text.size() - Pos < static_cast<size_t>(Len)) {
        ++Pos;
        return Replacement;
    }
    for (int I = 1; I < Len; ++I) {
        const auto B = static_cast<uint8_t>(Text[Pos + static_cast<size_t>(I)]);
        if ((B & 0xC0) != 0x80) {
            ++Pos;
            return Replacement;
        }
        C = (C << 6) | (B & 0x3F);
    }
    if (C < Min || C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) {
        ++Pos;
        return Replacement;
    }
    Pos += static_cast<size_t>(Len);
    return C;
}

std::string CheckedUtf8(const uint8_t* Data, size_t Count)
{
    const std::string_view Text(reinterpret_cast<const char*>(Data), Count);
    std::string Out;
    Out.reserve(Count);
    for (size_t Pos = 0; Pos < Text.size();)
        AppendUtf8(Out, NextUtf8(Text, Pos));
    return Out;
}

// One open descriptor per code page, kept for the life of the thread: opening
// one costs far more than converting a short string.
class TIconvCache {
public:
    ~TIconvCache()
    {
        for (auto& [Codepage, Cd] : FOpen)
            if (Cd != Invalid())
                iconv_close(Cd);
    }

    // The descriptor for the code page, or Invalid() when iconv lacks it.
    iconv_t Get(const char* Name)
    {
        auto It = FOpen.find(Name);
        if (It == FOpen.end())
            It = FOpen.emplace(Name, iconv_open("UTF-8", Name)).first;
        return It->second;
    }

    static iconv_t Invalid() { return reinterpret_cast<iconv_t>(-1); }

private:
    std::map<std::string, iconv_t, std::less<>> FOpen;
};

thread_local TIconvCache IconvCache;

std::string IconvToUtf8(iconv_t Cd, const uint8_t* Data, size_t Count)
{
    std::string Out;
    iconv(Cd, nullptr, nullptr, nullptr, nullptr);
    char* In = const_cast<char*>(reinterpret_cast<const char*>(Data));
    size_t InLeft = Count;
    char Buf[1024];
    while (InLeft > 0) {
        char* OutPtr = Buf;
        size_t OutLeft = sizeof Buf;
        const size_t Rc = iconv(Cd, &In, &InLeft, &OutPtr, &OutLeft);
        Out.append(Buf, static_cast<size_t>(OutPtr - Buf));
        if (Rc != static_cast<size_t>(-1))
            break;
        if (errno == E2BIG)
            continue;
        // EILSEQ: a byte the code page leaves undefined; EINVAL: a multi-byte
        // character cut off at the end. Either way one byte is given up.
        AppendUtf8(Out, Replacement);
        ++In;
        --InLeft;
        iconv(Cd, nullptr, nullptr, nullptr, nullptr);
    }
    return Out;
}

bool IsAscii(const uint8_t* Data, size_t Count)
{
    for (size_t I = 0; I < Count; ++I)
        if (Data[I] >= 0x80)
            return false;
    return true;
}

} // namespace

std::string Utf16LeToUtf8(const uint8_t* Data, size_t ByteCount)
{
    std::string Out;
    Out.reserve(ByteCount / 2 + ByteCount / 8);
    const size_t Units = ByteCount / 2;
    auto Unit = [Data](size_t I) -> char32_t { return static_cast<char32_t>(Data[2 * I] | (Data[2 * I + 1] << 8)); };
    for (size_t I = 0; I < Units; ++I) {
        const char32_t U = Unit(I);
        if (U < 0xD800 || U > 0xDFFF) {
            AppendUtf8(Out, U);
        } else if (U <= 0xDBFF && I + 1 < Units && Unit(I + 1) >= 0xDC00 && Unit(I + 1) <= 0xDFFF) {
            AppendUtf8(Out, 0x10000 + ((U - 0xD800) << 10) + (Unit(I + 1) - 0xDC00));
            ++I;
        } else {
            AppendUtf8(Out, Replacement);
        }
    }
    if (ByteCount % 2)
        AppendUtf8(Out, Replacement);
    return Out;
}

std::string Utf16ToUtf8(std::u16string_view Text)
{
    std::string Bytes;
    Bytes.reserve(Text.size() * 2);
    for (char16_t C : Text) {
        Bytes += static_cast<char>(C & 0xFF);
        Bytes += static_cast<char>(C >> 8);
    }
    return Utf16LeToUtf8(reinterpret_cast<const uint8_t*>(Bytes.data()), Bytes.size());
}

std::string Latin1ToUtf8(const uint8_t* Data, size_t Count)
{
    std::string Out;
    Out.reserve(Count);
    for (size_t I = 0; I < Count; ++I)
        AppendUtf8(Out, Data[I]);
    return Out;
}

const char* CodepageIconvName(int Codepage)
{
    switch (Codepage) {
    case 1200:
    case 1201:
    case 28591:
    case 65001:
        return nullptr;
    default:
        return CodepageCharset(Codepage);
    }
}

std::string CodepageToUtf8(int Codepage, const uint8_t* Data, size_t Count)
{
    if (IsAscii(Data, Count))
        return std::string(reinterpret_cast<const char*>(Data), Count);
    if (Codepage == 65001)
        return CheckedUtf8(Data, Count);
    const char* Name = CodepageIconvName(Codepage);
    if (!Name)
        return Latin1ToUtf8(Data, Count);
    iconv_t Cd = IconvCache.Get(Name);
    if (Cd == TIconvCache::Invalid())
        Cd = IconvCache.Get("CP1252");
    if (Cd == TIconvCache::Invalid())
        return Latin1ToUtf8(Data, Count);
    return IconvToUtf8(Cd, Data, Count);
}

std::u16string Utf8ToUtf16(std::string_view Text)
{
    std::u16string Out;
    Out.reserve(Text.size());
    for (size_t Pos = 0; Pos < Text.size();) {
        const char32_t C = NextUtf8(Text, Pos);
        if (C >= 0x10000) {
            Out += static_cast<char16_t>(0xD800 + ((C - 0x10000) >> 10));
            Out += static_cast<char16_t>(0xDC00 + ((C - 0x10000) & 0x3FF));
        } else {
            Out += static_cast<char16_t>(C);
        }
    }
    return Out;
}
