// Compares what a generated unit rebuilt (the replay program's record) with
// the workbook it was generated from: sheet names from the model, cells from
// the "tabulon --dump-cells" listing. Cells the unit is not meant to rebuild
// are expected to be absent, error formulas to come back as their text cell.
//
// Fonts are compared with the model when asked for (once the generator
// writes them): the properties the unit sets, the others at their defaults.
//
// Usage: pascal_replay_check BOOK REPLAY_OUTPUT [--cells CELL_DUMP] [--fonts]
// Exit status: 0 same, 1 differences (listed on stdout), 2 usage or read error.

#include "model/Tabulon.h"

#include <charconv>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iostream>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

namespace {

std::vector<std::string> SplitTabs(const std::string& Line)
{
    std::vector<std::string> Fields;
    size_t Start = 0;
    for (;;) {
        const size_t Tab = Line.find('\t', Start);
        Fields.push_back(Line.substr(Start, Tab == std::string::npos ? std::string::npos : Tab - Start));
        if (Tab == std::string::npos)
            return Fields;
        Start = Tab + 1;
    }
}

std::vector<std::string> ReadLines(const std::string& Path)
{
    std::ifstream File(Path, std::ios::binary);
    if (!File)
        throw std::runtime_error("cannot open " + Path);
    std::vector<std::string> Lines;
    for (std::string Line; std::getline(File, Line);)
        Lines.push_back(Line);
    return Lines;
}

std::string Shortest(double Value)
{
    // A NaN's sign and payload carry nothing; the runtime that parses the
    // unit's NaN chooses its own.
    if (std::isnan(Value))
        return "nan";
    char Buf[64];
    const auto Res = std::to_chars(Buf, Buf + sizeof Buf, Value);
    return std::string(Buf, Res.ptr);
}

// A number of the cell listing, as shortest round-trip text; nullopt when
// the text is not a number.
std::optional<std::string> NumberFromText(const std::string& Text)
{
    double Value = 0;
    const char* End = Text.data() + Text.size();
    const auto Res = std::from_chars(Text.data(), End, Value);
    if (Res.ec != std::errc() || Res.ptr != End)
        return std::nullopt;
    return Shortest(Value);
}

// The replay prints a number as "#" and the 16 hex digits of its bits.
std::optional<std::string> NumberFromBits(const std::string& Text)
{
    if (Text.size() != 17 || Text[0] != '#')
        return std::nullopt;
    uint64_t Bits = 0;
    const auto Res = std::from_chars(Text.data() + 1, Text.data() + Text.size(), Bits, 16);
    if (Res.ec != std::errc() || Res.ptr != Text.data() + Text.size())
        return std::nullopt;
    double Value;
    std::memcpy(&Value, &Bits, sizeof Value);
    return Shortest(Value);
}

bool IsNumberKind(const std::string& Kind)
{
    return Kind == "Float" || Kind == "NumberFormula";
}

using TKey = std::tuple<long, long, long>;

struct TCellLine {
    TKey Key;
    std::string Text;
};

TKey KeyOf(const std::vector<std::string>& F)
{
    return {std::stol(F[0]), std::stol(F[1]), std::stol(F[2])};
}

std::string Join(const std::vector<std::string>& F)
{
    std::string Line;
    for (size_t I = 0; I < F.size(); ++I)
        Line += (I ? "\t" : "") + F[I];
    return Line;
}

// The cells the unit should rebuild, from the cell listing.
std::vector<TCellLine> ExpectedCells(const std::vector<std::string>& Dump, std::vector<std::string>& Problems)
{
    std::vector<TCellLine> Cells;
    for (const std::string& Line : Dump) {
        std::vector<std::string> F = SplitTabs(Line);
        if (F.size() != 6) {
            Problems.push_back("unreadable cell listing line: " + Line);
            continue;
        }
        const std::string& Kind = F[3];
        if (Kind == "Error" || Kind == "StringFormula" || Kind == "BooleanFormula" || Kind == "ArrayFormula")
            continue;
        if (Kind == "ErrorFormula") {
            F[3] = "String";
            F[4] = "[FORMULA ERROR]";
            F[5] = "";
        } else if (IsNumberKind(Kind)) {
            const auto Number = NumberFromText(F[4]);
            if (!Number) {
                Problems.push_back("cell listing has no number: " + Line);
                continue;
            }
            F[4] = *Number;
        }
        Cells.push_back({KeyOf(F), Join(F)});
    }
    return Cells;
}

std::vector<TCellLine> ReplayedCells(const std::vector<std::string>& Replay, std::vector<std::string>& Problems)
{
    std::vector<TCellLine> Cells;
    for (const std::string& Line : Replay) {
        if (Line.empty() || Line[0] < '0' || Line[0] > '9')
            continue;
        std::vector<std::string> F = SplitTabs(Line);
        if (F.size() != 6) {
            Problems.push_back("unreadable replay line: " + Line);
            continue;
        }
        if (IsNumberKind(F[3])) {
            const auto Number = NumberFromBits(F[4]);
            if (!Number) {
                Problems.push_back("replay line has no number: " + Line);
                continue;
            }
            F[4] = *Number;
        }
        Cells.push_back({KeyOf(F), Join(F)});
    }
    return Cells;
}

void CompareCells(const std::vector<TCellLine>& Want, const std::vector<TCellLine>& Got,
                  std::vector<std::string>& Problems)
{
    size_t W = 0, G = 0;
    while (W < Want.size() || G < Got.size()) {
        if (G == Got.size() || (W < Want.size() && Want[W].Key < Got[G].Key)) {
            Problems.push_back("missing:  " + Want[W++].Text);
        } else if (W == Want.size() || Got[G].Key < Want[W].Key) {
            Problems.push_back("extra:    " + Got[G++].Text);
        } else {
            if (Want[W].Text != Got[G].Text) {
                Problems.push_back("expected: " + Want[W].Text);
                Problems.push_back("replayed: " + Got[G].Text);
            }
            ++W;
            ++G;
        }
    }
}

std::string Escape(const std::string& Text)
{
    std::string Out;
    for (const char C : Text) {
        switch (C) {
        case '\t': Out += "\\t"; break;
        case '\n': Out += "\\n"; break;
        case '\r': Out += "\\r"; break;
        case '\\': Out += "\\\\"; break;
        default: Out += C;
        }
    }
    return Out;
}

const char* const StyleNames[] = {"xfsBold", "xfsItalic", "xfsStrikeOut"};

// A font as the unit rebuilds it: colours without a name and xcBlack are not
// written, nor are escapement and underline.
std::string ExpectedFont(const TXFont& F, int Index)
{
    const int Color = F.Color <= xcAutomatic ? F.Color : xcBlack;
    std::string Style;
    for (int Bit = 0; Bit < 3; ++Bit)
        if (F.Style & (1u << Bit))
            Style += std::string(Style.empty() ? "" : ",") + StyleNames[Bit];
    return "font\t" + std::to_string(Index) + "\tName=" + Escape(F.Name) + "\tCharset=" +
           std::to_string(F.Charset) + "\tColor=" + ExcelColorNames[Color] + "\tSize=" + std::to_string(F.Size) +
           "\tStyle=[" + Style + "]\tSubSuperScript=xssNone\tUnderline=xulNone";
}

void CompareLists(const std::vector<std::string>& Want, const std::vector<std::string>& Got,
                  std::vector<std::string>& Problems)
{
    for (size_t I = 0; I < std::max(Want.size(), Got.size()); ++I) {
        if (I < Want.size() && I < Got.size() && Want[I] == Got[I])
            continue;
        if (I < Want.size())
            Problems.push_back("expected: " + Want[I]);
        if (I < Got.size())
            Problems.push_back("replayed: " + Got[I]);
    }
}

} // namespace

int main(int argc, char** argv)
{
    std::string CellDump;
    bool Fonts = false;
    for (int I = 3; I < argc; ++I) {
        if (std::strcmp(argv[I], "--cells") == 0 && I + 1 < argc)
            CellDump = argv[++I];
        else if (std::strcmp(argv[I], "--fonts") == 0)
            Fonts = true;
        else
            argc = 0;
    }
    if (argc < 3) {
        std::cerr << "usage: pascal_replay_check BOOK REPLAY_OUTPUT [--cells CELL_DUMP] [--fonts]\n";
        return 2;
    }
    std::vector<std::string> Problems;
    size_t CellCount = 0;
    try {
        TTabulon XLS;
        XLS.LoadDesignTimeValues();
        XLS.Clear();
        XLS.ClearSheets();
        XLS.Filename = argv[1];
        XLS.Read();

        const std::vector<std::string> Replay = ReadLines(argv[2]);
        std::vector<std::string> WantSheets, GotSheets, WantFonts, GotFonts;
        for (int S = 0; S < XLS.Sheets().Count(); ++S)
            WantSheets.push_back("sheet\t" + std::to_string(S) + "\t" + Escape(XLS.Sheets()[S].GetName()));
        for (const std::string& Line : Replay) {
            if (Line.rfind("sheet\t", 0) == 0)
                GotSheets.push_back(Line);
            else if (Line.rfind("font\t", 0) == 0)
                GotFonts.push_back(Line);
            else if (Line.rfind("error\t", 0) == 0)
                Problems.push_back("the unit raised: " + Line.substr(6));
        }
        CompareLists(WantSheets, GotSheets, Problems);
        if (Fonts) {
            for (int I = 5; I < XLS.Fonts().Count(); ++I)
                WantFonts.push_back(ExpectedFont(XLS.Fonts()[I], I));
            CompareLists(WantFonts, GotFonts, Problems);
        }

        if (!CellDump.empty()) {
            const std::vector<TCellLine> Want = ExpectedCells(ReadLines(CellDump), Problems);
            const std::vector<TCellLine> Got = ReplayedCells(Replay, Problems);
            CellCount = Want.size();
            CompareCells(Want, Got, Problems);
        }
    } catch (const std::exception& E) {
        std::cout << argv[1] << ": " << E.what() << "\n";
        return 2;
    }
    if (Problems.empty()) {
        std::cout << argv[1] << ": same (" << CellCount << " cells)\n";
        return 0;
    }
    std::cout << argv[1] << ": " << Problems.size() << " differences\n";
    const size_t Shown = std::min<size_t>(Problems.size(), 20);
    for (size_t I = 0; I < Shown; ++I)
        std::cout << "  " << Problems[I] << "\n";
    if (Shown < Problems.size())
        std::cout << "  ...\n";
    return 1;
}
