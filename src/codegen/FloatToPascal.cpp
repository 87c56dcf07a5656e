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
    // Large integral values in plain digits would be integer literals past
    // the range of Int64; the exponent form keeps them real.
    const auto Res = std::fabs(Value) >= 1e15 ? std::to_chars(Buf, Buf + sizeof Buf, Value, std::chars_format::scientific)
                                              : std::to_chars(Buf, Buf + sizeof Buf, Value);
    return std::string(Buf, Res.ptr);
}
