#pragma once
// Helpers for the formula tests: token bytes from integers, a recording name
// lookup, and a scope that switches the process locale.

#include "formula/DecodeFormula.h"
#include "model/Locale.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <vector>

using TBytes = std::vector<uint8_t>;

inline TBytes Bytes(std::initializer_list<int> Values)
{
    TBytes Out;
    for (int V : Values)
        Out.push_back(static_cast<uint8_t>(V));
    return Out;
}

inline TBytes Cat(std::initializer_list<TBytes> Parts)
{
    TBytes Out;
    for (const TBytes& P : Parts)
        Out.insert(Out.end(), P.begin(), P.end());
    return Out;
}

// Decodes from exactly sized heap copies, so a sanitizer sees any read past
// the tokens or the constant-array bytes.
inline std::string Decode(TExcelVersion Version, const TBytes& Tokens, const TFormulaNameLookup& Lookup = {},
                          const TBytes& Extra = {}, int Col = 0, int Row = 0)
{
    std::vector<uint8_t> T(Tokens);
    std::vector<uint8_t> E(Extra);
    T.shrink_to_fit();
    E.shrink_to_fit();
    return DecodeFormulaTokens(Version, T.empty() ? nullptr : T.data(), static_cast<int>(T.size()), Col, Row,
                               Lookup, E.empty() ? nullptr : E.data(), static_cast<int>(E.size()));
}

// Answers every kind with a text that shows what was asked.
inline TFormulaNameLookup EchoLookup()
{
    return [](uint8_t Kind, int Index, int NameIndex, std::string& Text) {
        switch (Kind) {
        case lkName: Text = "Name" + std::to_string(NameIndex); break;
        case lkExternName: Text = "Ext" + std::to_string(Index) + "_" + std::to_string(NameIndex); break;
        case lkExternSheet:
            Text = NameIndex < 0 ? "Sheet" + std::to_string(Index + 1) + "!"
                                 : "XName" + std::to_string(Index) + "_" + std::to_string(NameIndex);
            break;
        case lkSheetName: Text = "Sheet" + std::to_string(Index + 1); break;
        default: Text = "?"; break;
        }
    };
}

// Switches LC_ALL for one test and restores the previous locale after it.
class TLocaleScope {
public:
    explicit TLocaleScope(const char* Name)
    {
        const char* Old = std::setlocale(LC_ALL, nullptr);
        Previous = Old ? Old : "C";
        Ok = std::setlocale(LC_ALL, Name) != nullptr;
        RefreshLocaleSeparators();
    }
    ~TLocaleScope()
    {
        std::setlocale(LC_ALL, Previous.c_str());
        RefreshLocaleSeparators();
    }
    bool Ok;

private:
    std::string Previous;
};

// A locale whose decimal separator is a comma, if the machine has one.
inline const char* CommaDecimalLocale()
{
    static const char* Found = [] () -> const char* {
        const char* Old = std::setlocale(LC_ALL, nullptr);
        std::string Saved = Old ? Old : "C";
        const char* Result = nullptr;
        for (const char* Name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "nl_NL.UTF-8", "es_ES.UTF-8"})
            if (std::setlocale(LC_ALL, Name)) {
                Result = Name;
                break;
            }
        std::setlocale(LC_ALL, Saved.c_str());
        return Result;
    }();
    return Found;
}
