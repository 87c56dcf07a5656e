#include "LineSink.h"

void TLineSink::Add(std::string_view Text)
{
    size_t Start = 0;
    for (;;) {
        const size_t Pos = Text.find("\r\n", Start);
        if (Pos == std::string_view::npos) {
            AddLine(Text.substr(Start));
            return;
        }
        AddLine(Text.substr(Start, Pos - Start));
        Start = Pos + 2;
    }
}

std::string TStringListSink::Text() const
{
    std::string Result;
    for (const auto& Line : Lines) {
        Result += Line;
        Result += "\r\n";
    }
    return Result;
}
