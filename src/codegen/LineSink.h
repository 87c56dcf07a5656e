#pragma once
// Where the generator's lines go: the window's pane, a string, a stream.

#include <string>
#include <string_view>
#include <vector>

class TLineSink {
public:
    virtual ~TLineSink() = default;
    virtual void AddLine(std::string_view Line) = 0;
    // A text holding CR LF pairs becomes several lines.
    void Add(std::string_view Text);
};

// Collects lines in memory.
class TStringListSink : public TLineSink {
public:
    void AddLine(std::string_view Line) override { Lines.emplace_back(Line); }
    // Every line followed by CR LF, as "Save file" writes it.
    std::string Text() const;
    std::vector<std::string> Lines;
};
