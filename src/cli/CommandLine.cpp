#include "CommandLine.h"

#include "codegen/CellDump.h"
#include "codegen/UnitGenerator.h"
#include "model/Exception.h"
#include "model/Tabulon.h"

#include <CLI/CLI.hpp>

#include <cstdio>
#include <filesystem>
#include <functional>
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

// Lines to a stream, each ended by CR LF as "Save file" writes them, so a
// large unit is never held in memory whole. Lines are gathered into blocks
// of about 64 KB: one stream call per line costs more than the line itself.
class TStreamSink : public TLineSink {
public:
    explicit TStreamSink(std::ostream& Out) : FOut(Out) { FBlock.reserve(BlockSize); }
    void AddLine(std::string_view Line) override
    {
        FBlock.append(Line);
        FBlock += "\r\n";
        if (FBlock.size() >= BlockSize - 512)
            Flush();
    }
    // Writes what is gathered; due after the last line.
    void Flush()
    {
        FOut.write(FBlock.data(), static_cast<std::streamsize>(FBlock.size()));
        FBlock.clear();
    }

private:
    static constexpr size_t BlockSize = size_t(1) << 16;
    std::ostream& FOut;
    std::string FBlock;
};

// Writes what Produce gives to Path (standard output for "" and "-"). A
// regular file is written through a temporary file in the same folder and
// renamed at the end, so a failed run never leaves half a file behind;
// devices and pipes (/dev/null) are written directly.
void WriteOutput(const std::string& Path, std::ostream& Out, const std::function<void(std::ostream&)>& Produce)
{
    if (Path.empty() || Path == "-") {
        Produce(Out);
        Out.flush();
        return;
    }
    std::error_code Ec;
    const auto Status = std::filesystem::status(Path, Ec);
    const bool Direct = !Ec && std::filesystem::exists(Status) && !std::filesystem::is_regular_file(Status);
    const std::string Target = Direct ? Path : Path + ".tmp";
    std::vector<char> Buffer(1 << 20);
    std::ofstream File;
    File.rdbuf()->pubsetbuf(Buffer.data(), static_cast<std::streamsize>(Buffer.size()));
    File.open(Target, std::ios::binary | std::ios::trunc);
    if (!File)
        throw Exception("Cannot create file \"" + Path + "\"");
    try {
        Produce(File);
        File.close();
    } catch (...) {
        File.close();
        if (!Direct)
            std::remove(Target.c_str());
        throw;
    }
    if (!File) {
        if (!Direct)
            std::remove(Target.c_str());
        throw Exception("Cannot write file \"" + Path + "\"");
    }
    if (Direct)
        return;
    std::filesystem::rename(Target, Path, Ec);
    if (Ec) {
        std::remove(Target.c_str());
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
            WriteOutput(Opt.Output, Out, [&](std::ostream& Stream) { DumpCells(XLS, Stream); });
            return 0;
        }

        TUnitOptions Unit;
        Unit.Formatting = !Opt.NoFormatting;
        Unit.Values = !Opt.NoValues;
        Unit.Merged = !Opt.NoMerged;
        Unit.Columns = !Opt.NoColumns;
        Unit.Rows = !Opt.NoRows;
        Unit.PasFile = !Opt.Unit.empty() ? Opt.Unit : !Opt.Output.empty() ? Opt.Output : "ExcelFile.pas";

        WriteOutput(Opt.Output, Out, [&](std::ostream& Stream) {
            TStreamSink Sink(Stream);
            GenerateUnit(XLS, Unit, Sink);
            Sink.Flush();
        });
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
