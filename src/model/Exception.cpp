#include "Exception.h"

#include <cstdarg>
#include <cstdio>
#include <vector>

std::string StrFmt(const char* Fmt, ...)
{
    va_list Args;
    va_start(Args, Fmt);
    va_list Copy;
    va_copy(Copy, Args);
    const int Len = std::vsnprintf(nullptr, 0, Fmt, Copy);
    va_end(Copy);
    std::string Result;
    if (Len > 0) {
        Result.resize(static_cast<size_t>(Len) + 1);
        std::vsnprintf(Result.data(), Result.size(), Fmt, Args);
        Result.resize(static_cast<size_t>(Len));
    }
    va_end(Args);
    return Result;
}
