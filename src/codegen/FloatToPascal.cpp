#include "CellValueEmitter.h"

#include <charconv>
#include <cmath>
#include <cstdint>

char* ShortestDouble(char* First, char* Last, double Value)
{
    // Most numbers in workbooks are integers. std::to_chars writes them in
    // plain digits unless the exponent form is shorter (1e+06 for 1000000),
    // preferring plain digits on a tie; the same rule is applied here to
    // integers below 2^53, where plain digits are exact.
    if (std::fabs(Value) < 9007199254740992.0 && Value == std::trunc(Value) && !(Value == 0 && std::signbit(Value))) {
        const auto N = static_cast<int64_t>(Value);
        uint64_t Magnitude = N < 0 ? static_cast<uint64_t>(-N) : static_cast<uint64_t>(N);
        int Digits = 0;
        int Trailing = 0;
        bool SeenNonZero = false;
        for (uint64_t M = Magnitude; M != 0; M /= 10) {
            ++Digits;
            if (!SeenNonZero && M % 10 == 0)
                ++Trailing;
            else
                SeenNonZero = true;
        }
        if (Digits == 0)
            Digits = 1;
        const int Mantissa = Digits - Trailing;
        // "d.ddde+XX": the exponent of an integer below 2^53 has two digits.
        const int ExponentForm = Mantissa + (Mantissa > 1 ? 1 : 0) + 4;
        if (Digits <= ExponentForm)
            return std::to_chars(First, Last, N).ptr;
    }
    return std::to_chars(First, Last, Value).ptr;
}

void AppendFloatToPascal(std::string& Out, double Value)
{
    // Pascal has no literal for these; SysUtils reads them back from text.
    if (std::isnan(Value)) {
        Out += "StrToFloat('NaN')";
        return;
    }
    if (std::isinf(Value)) {
        Out += Value > 0 ? "StrToFloat('Inf')" : "StrToFloat('-Inf')";
        return;
    }
    if (Value == 0 && std::signbit(Value)) {
        Out += "-0.0";
        return;
    }
    char Buf[32];
    // Large integral values in plain digits would be integer literals past
    // the range of Int64; the exponent form keeps them real.
    char* End = std::fabs(Value) >= 1e15
                    ? std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::scientific).ptr
                    : ShortestDouble(Buf, Buf + sizeof Buf, Value);
    Out.append(Buf, End);
}

std::string FloatToPascal(double Value)
{
    std::string Result;
    AppendFloatToPascal(Result, Value);
    return Result;
}
