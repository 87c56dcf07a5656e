#include "NumberText.h"

#include "Locale.h"

#include <cstdio>

std::string GeneralNumberText(double Value)
{
    char Buf[64];
    std::snprintf(Buf, sizeof Buf, "%.15G", Value);
    std::string Text(Buf);
    for (char& C : Text)
        if (C == '.')
            C = SystemDecimalSeparator();
    return Text;
}
