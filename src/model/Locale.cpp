#include "Locale.h"

#include <clocale>

namespace {
char GDecimal = 0;

void Load()
{
    const std::lconv* Conv = std::localeconv();
    GDecimal = (Conv && Conv->decimal_point && Conv->decimal_point[0]) ? Conv->decimal_point[0] : '.';
}
} // namespace

char SystemDecimalSeparator()
{
    if (!GDecimal)
        Load();
    return GDecimal;
}

char SystemListSeparator()
{
    return SystemDecimalSeparator() == ',' ? ';' : ',';
}

void RefreshLocaleSeparators()
{
    Load();
}
