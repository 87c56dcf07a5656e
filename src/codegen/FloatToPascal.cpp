#include "CellValueEmitter.h"

#include <charconv>
#include <cmath>

std::string FloatToPascal(double Value)
{
    // Pascal has no literal for these; SysUtils reads them back from text.
    if (std::isnan(Value))
        return "StrToFloat('NaN')";
    if (std::isinf(Value))
        return Value > 0 ? "StrToFloat('Inf')" : "StrToFloat('-Inf')";
    if (Value == 0 && std::signbit(Value))
        return "-0.0";
    char Buf[32];
    const auto Res = std::to_chars(Buf, Buf + sizeof Buf, Value);
    return std::string(Buf, Res.ptr);
}
