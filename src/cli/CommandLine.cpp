#include "CommandLine.h"

#include "codegen/CellDump.h"
#include "codegen/UnitGenerator.h"
#include "model/Exception.h"
#include "model/Tabulon.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

struct TCliOptions {
    std::string Book;
    std::string Output;
    std::string Unit;
    bool NoFormatting = false;
    bool NoValues = false;
    bool NoMerged = false;
    bool NoColumns = false;
    bool NoRows = false;
    bool DumpCells = false;
    int Codepage = 0;
    bool Progress = false;
    bool Quiet = false;
};

// Writes Text to Path through a temporary file in the same folder, so that a
// failed write never leaves half a unit behind.
void WriteFileAtomically(const std::string& Path, const std::string& Text)
{
    if (Path == "/dev/null" || Path == "-") {
        std::ofstream(Path, std::ios::binary) << Text;
        return;
    }
    const std::string Temp = Path + ".tmp";
    {
        std::ofstream File(Temp, std::ios::binary | std::ios::trunc);
        if (!File)
            throw Exception("Cannot create file \"" + Path + "\"");
        File.write(Text.data(), static_cast<std::streamsize>(Text.size()));
        File.close();
        if (!File) {
            std::remove(Temp.c_str());
            throw Exception("Cannot write file \"" + Path + "\"");
        }
    }
    std::error_code Ec;
    std::filesystem::rename(Temp, Path, Ec);
    if (Ec) {
        std::remove(Temp.c_str());
        throw Exception("Cannot create file \"" + Path + "\": " + Ec.message());
    }
}

std::string MessageForConsole(std::string Message)
{
    for (size_t Pos = 0; (Pos = Message.find('\r', Pos)) != std::string::npos;) {
        if (Pos + 1 < Message.size() && Message[Pos + 1] == '\n')
            Message.erase(Pos, 1);
        else
            Message[Pos] = '\n';
    }
    return Message;
}

} // namespace

int RunCommandLine(const std::vector<std::string>& Args, std::ostream& Out, std::ostream& Err, bool ErrIsTerminal)
{
    CLI::App App{"Reads a legacy Excel workbook (.xls, BIFF2 to BIFF8) and writes the source of a "
                 "Pascal unit that rebuilds it through the TTabulon component.",
                 "tabulon"};
    TCliOptions Opt;
    App.add_option("BOOK", Opt.Book, "The workbook to read (.xls)")->required();
    App.add_option("-o,--output", Opt.Output, "Write the unit to this file (default: standard output)");
    App.add_option("--unit", Opt.Unit, "Unit name (default: the output file's name, else ExcelFile)");
    App.add_flag("--no-formatting", Opt.NoFormatting, "Leave out fonts, formats and cell format indexes");
    App.add_flag("--no-values", Opt.NoValues, "Leave out cell values");
    App.add_flag("--no-merged", Opt.NoMerged, "Leave out merged cells");
    App.add_flag("--no-columns", Opt.NoColumns, "Leave out column widths");
    App.add_flag("--no-rows", Opt.NoRows, "Leave out row heights");
    App.add_flag("--dump-cells", Opt.DumpCells,
                 "Write every stored cell as a tab-separated line (sheet, row, column, kind, value, formula) "
                 "instead of the unit");
    App.add_option("--codepage", Opt.Codepage, "Decode 8-bit text with this code page, whatever the file says")
        ->check(CLI::Range(1, 65535));
    auto* ProgressFlag =
        App.add_flag("--progress", Opt.Progress, "Show reading progress on stderr even when it is not a terminal");
    App.add_flag("--quiet", Opt.Quiet, "Show no reading progress")->excludes(ProgressFlag);
    App.set_version_flag("--version", std::string("tabulon ") + TABULON_VERSION);

    std::vector<std::string> Reversed(Args.rbegin(), Args.rend());
    try {
        App.parse(Reversed);
    } catch (const CLI::Success& E) {
        App.exit(E, Out, Err);
        return 0;
    } catch (const CLI::ParseError& E) {
        App.exit(E, Out, Err);
        return 2;
    }

    // One line on stderr, rewritten in place as the percentage grows; ended
    // before anything else is written there.
    bool ProgressShown = false;
    auto EndProgressLine = [&] {
        if (ProgressShown)
            Err << "\n";
        ProgressShown = false;
    };
    try {
        TTabulon XLS;
        XLS.LoadDesignTimeValues();
        XLS.Clear();
        XLS.ClearSheets();
        XLS.Filename = Opt.Book;
        XLS.CodepageOverride = static_cast<uint16_t>(Opt.Codepage);
        if (Opt.Progress || (ErrIsTerminal && !Opt.Quiet)) {
            XLS.OnProgress = [&, Last = -1](int Value) mutable {
                if (Value == Last)
                    return;
                Last = Value;
                Err << "\rReading " << Opt.Book << ": " << Value << "%" << std::flush;
                ProgressShown = true;
            };
        }
        XLS.Read();
        EndProgressLine();

        if (Opt.DumpCells) {
            if (Opt.Output.empty() || Opt.Output == "-") {
                DumpCells(XLS, Out);
            } else {
                std::ostringstream Text;
                DumpCells(XLS, Text);
                WriteFileAtomically(Opt.Output, Text.str());
            }
            Out.flush();
            return 0;
        }

        TUnitOptions Unit;
        Unit.Formatting = !Opt.NoFormatting;
        Unit.Values = !Opt.NoValues;
        Unit.Merged = !Opt.NoMerged;
        Unit.Columns = !Opt.NoColumns;
        Unit.Rows = !Opt.NoRows;
        Unit.PasFile = !Opt.Unit.empty() ? Opt.Unit : !Opt.Output.empty() ? Opt.Output : "ExcelFile.pas";

        TStringListSink Sink;
        GenerateUnit(XLS, Unit, Sink);
        const std::string Text = Sink.Text();
        if (Opt.Output.empty() || Opt.Output == "-")
            Out.write(Text.data(), static_cast<std::streamsize>(Text.size()));
        else
            WriteFileAtomically(Opt.Output, Text);
        Out.flush();
    } catch (const std::bad_alloc&) {
        EndProgressLine();
        Err << "tabulon: out of memory\n";
        return 1;
    } catch (const std::exception& E) {
        EndProgressLine();
        Err << "tabulon: " << MessageForConsole(E.what()) << "\n";
        return 1;
    }
    return 0;
}
