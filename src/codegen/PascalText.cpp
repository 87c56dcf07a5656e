#include "PascalText.h"

#include <charconv>

namespace {
bool IsControl(unsigned char C)
{
    return C < 32 || C == 127;
}
} // namespace

std::string PascalString(std::string_view Text)
{
    std::string Result;
    AppendPascalString(Result, Text);
    return Result;
}

void AppendPascalString(std::string& Result, std::string_view Text)
{
    if (Text.empty()) {
        Result += "''";
        return;
    }
    Result.reserve(Result.size() + Text.size() + 2);
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
            char Digits[4];
            Result.append(Digits, std::to_chars(Digits, Digits + sizeof Digits, C).ptr);
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
