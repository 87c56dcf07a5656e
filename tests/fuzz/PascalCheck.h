#pragma once
// Checks that generated Pascal lines are safe whatever the workbook held:
// no control character in a line (the CR LF between lines is the sink's),
// every string literal closed on its own line, and nothing outside literals
// and #nn character constants that the generator did not write itself. Text
// from a file may only appear inside literals, so outside them a line holds
// identifiers, numbers, operators and blanks in plain ASCII; a stray quote,
// brace or non-ASCII byte there means file text escaped its literal.

#include <cstddef>
#include <string>
#include <string_view>

// Empty when Line is safe, else what is wrong and where.
inline std::string CheckPascalLine(std::string_view Line)
{
    auto Fail = [&](const char* What, size_t At) {
        return std::string(What) + " at column " + std::to_string(At + 1) + " of: " + std::string(Line);
    };
    for (size_t I = 0; I < Line.size(); ++I) {
        const auto C = static_cast<unsigned char>(Line[I]);
        if (C < 0x20 || C == 0x7F)
            return Fail("control character", I);
    }
    auto IsDigit = [](char C) { return C >= '0' && C <= '9'; };
    auto IsHex = [&](char C) { return IsDigit(C) || (C >= 'a' && C <= 'f') || (C >= 'A' && C <= 'F'); };
    const std::string_view Allowed = " _.,;:=()[]+-*/<>^@$";
    size_t I = 0;
    while (I < Line.size()) {
        const char C = Line[I];
        if (C == '\'') {
            // A literal: '' stands for one apostrophe, a single ' closes it.
            size_t J = I + 1;
            for (;;) {
                if (J >= Line.size())
                    return Fail("string literal not closed on its line", I);
                if (Line[J] == '\'') {
                    if (J + 1 < Line.size() && Line[J + 1] == '\'') {
                        J += 2;
                        continue;
                    }
                    break;
                }
                ++J;
            }
            I = J + 1;
            continue;
        }
        if (C == '#') {
            size_t J = I + 1;
            if (J < Line.size() && Line[J] == '$') {
                ++J;
                while (J < Line.size() && IsHex(Line[J]))
                    ++J;
            } else {
                while (J < Line.size() && IsDigit(Line[J]))
                    ++J;
            }
            if (J == I + 1 || (Line[I + 1] == '$' && J == I + 2))
                return Fail("# without a character code", I);
            I = J;
            continue;
        }
        // Comments must close on their line and hold nothing that could
        // have come from a file to end them early.
        if (C == '{' || (C == '(' && I + 1 < Line.size() && Line[I + 1] == '*')) {
            const std::string_view Close = C == '{' ? "}" : "*)";
            const size_t Body = I + (C == '{' ? 1 : 2);
            const size_t End = Line.find(Close, Body);
            if (End == std::string_view::npos)
                return Fail("comment not closed on its line", I);
            const std::string_view Text = Line.substr(Body, End - Body);
            if (Text.find_first_of("'{}") != std::string_view::npos || Text.find("(*") != std::string_view::npos)
                return Fail("quote or comment delimiter inside a comment", I);
            for (const char T : Text)
                if (static_cast<unsigned char>(T) >= 0x80)
                    return Fail("non-ASCII text inside a comment", I);
            I = End + Close.size();
            continue;
        }
        // A whole-line comment is the generator's own; one after code could
        // hide what follows a literal that ended too early.
        if (C == '/' && I + 1 < Line.size() && Line[I + 1] == '/') {
            if (Line.find_first_not_of(' ') != I)
                return Fail("comment after code", I);
            for (size_t J = I; J < Line.size(); ++J)
                if (static_cast<unsigned char>(Line[J]) >= 0x80)
                    return Fail("non-ASCII text inside a comment", J);
            break;
        }
        const bool Word = (C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || IsDigit(C);
        if (!Word && Allowed.find(C) == std::string_view::npos)
            return Fail(static_cast<unsigned char>(C) >= 0x80 ? "non-ASCII byte outside a literal"
                                                               : "character the generator never writes outside a literal",
                        I);
        ++I;
    }
    return {};
}
