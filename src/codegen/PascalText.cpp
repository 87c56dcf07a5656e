#include "PascalText.h"

namespace {
bool IsControl(unsigned char C)
{
    return C < 32 || C == 127;
}
} // namespace

std::string PascalString(std::string_view Text)
{
    if (Text.empty())
        return "''";
    std::string Result;
    Result.reserve(Text.size() + 2);
    bool InQuotes = false;
    bool First = true;
    for (const char Ch : Text) {
        const auto C = static_cast<unsigned char>(Ch);
        if (IsControl(C)) {
            if (InQuotes) {
                Result += '\'';
                InQuotes = false;
            }
            if (!First)
                Result += " + ";
            Result += '#';
            Result += std::to_string(C);
        } else {
            if (!InQuotes) {
                if (!First)
                    Result += " + ";
                Result += '\'';
                InQuotes = true;
            }
            if (Ch == '\'')
                Result += "''";
            else
                Result += Ch;
        }
        First = false;
    }
    if (InQuotes)
        Result += '\'';
    return Result;
}

std::string UnitNameFromPath(std::string_view Path)
{
    const size_t Delim = Path.find_last_of("/\\:");
    std::string_view Name = Delim == std::string_view::npos ? Path : Path.substr(Delim + 1);
    const size_t Dot = Name.find('.');
    if (Dot != std::string_view::npos)
        Name = Name.substr(0, Dot);
    return std::string(Name);
}
