#include "NumberText.h"

#include "Locale.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>

// General format: the value rounded to 15 significant digits; fixed notation
// while the integer part has at most 15 digits and the magnitude is at least
// 0.0001 (or the value is zero), scientific notation ("1E20", "1.5E-7")
// otherwise. Trailing fraction zeros and a bare separator are dropped.
std::string GeneralNumberText(double Value)
{
    if (!std::isfinite(Value))
        return "#NUM!"; // no spreadsheet number; a file can still hold the bits
    if (Value == 0)
        return "0";

    const char Sep = SystemDecimalSeparator();
    // Whole numbers below 10^15 are the common case (row counts, constants)
    // and need no rounding.
    if (std::fabs(Value) < 1e15 && Value == std::trunc(Value)) {
        char Buf[24];
        std::snprintf(Buf, sizeof Buf, "%lld", static_cast<long long>(Value));
        return Buf;
    }

    // "-d.dddddddddddddde+XXX": the 15 significant digits after rounding and
    // the decimal exponent of the first one.
    char Buf[40];
    std::snprintf(Buf, sizeof Buf, "%.14e", std::fabs(Value));
    char Digits[15];
    Digits[0] = Buf[0];
    for (int I = 0; I < 14; ++I)
        Digits[I + 1] = Buf[2 + I];
    const int Exp = std::atoi(Buf + 17);
    int NDigits = 15;
    while (NDigits > 1 && Digits[NDigits - 1] == '0')
        --NDigits;

    std::string Text;
    if (Value < 0)
        Text += '-';
    if (Exp >= -4 && Exp <= 14) {
        if (Exp >= 0) {
            for (int I = 0; I <= Exp; ++I)
                Text += I < NDigits ? Digits[I] : '0';
            if (NDigits > Exp + 1) {
                Text += Sep;
                Text.append(Digits + Exp + 1, Digits + NDigits);
            }
        } else {
            Text += '0';
            Text += Sep;
            Text.append(static_cast<size_t>(-Exp - 1), '0');
            Text.append(Digits, Digits + NDigits);
        }
    } else {
        Text += Digits[0];
        if (NDigits > 1) {
            Text += Sep;
            Text.append(Digits + 1, Digits + NDigits);
        }
        Text += 'E';
        Text += std::to_string(Exp);
    }
    return Text;
}
