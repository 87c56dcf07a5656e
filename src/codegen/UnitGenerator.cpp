#include "UnitGenerator.h"

#include "PascalText.h"
#include "model/Tabulon.h"

#include <string>
#include <vector>

namespace {

// A compiler refuses a procedure with too many statements (Free Pascal stops
// at about 5,000 sheet calls with "Procedure too complex"), so a body longer
// than this is split into numbered procedures that the named one calls in
// order. Bodies up to this size keep the plain layout.
constexpr size_t MaxBodyLines = 2000;

// Whether a body line starts a statement, so a split may come before it.
bool StartsStatement(std::string_view Line)
{
    return Line.size() > 2 && Line[0] == ' ' && Line[1] == ' ' && Line[2] != ' ' && Line.substr(2, 4) != "end;";
}

// Receives a procedure's body and writes it out, split when it grows too long.
// Holds at most one part of the body at a time, as one text with the end of
// each line, so a line costs no allocation of its own.
class TProcedureWriter : public TLineSink {
public:
    TProcedureWriter(TLineSink& Out, std::string Name) : FOut(Out), FName(std::move(Name)) {}

    void AddLine(std::string_view Line) override
    {
        if (FEnds.size() >= MaxBodyLines && StartsStatement(Line))
            FlushPart();
        FText.append(Line);
        FEnds.push_back(FText.size());
    }

    void Finish()
    {
        if (FParts == 0) {
            WriteProcedure(FName);
        } else {
            FlushPart();
            for (int I = 1; I <= FParts; ++I) {
                FText += "  " + FName + std::to_string(I) + "(XLS);";
                FEnds.push_back(FText.size());
            }
            WriteProcedure(FName);
        }
    }

private:
    void FlushPart()
    {
        ++FParts;
        WriteProcedure(FName + std::to_string(FParts));
    }

    // Writes the pending lines as the body of procedure Name and drops them.
    void WriteProcedure(const std::string& Name)
    {
        FOut.AddLine("procedure " + Name + "(XLS: TTabulon);");
        FOut.AddLine("begin");
        size_t Start = 0;
        for (const size_t End : FEnds) {
            FOut.AddLine(std::string_view(FText).substr(Start, End - Start));
            Start = End;
        }
        FOut.AddLine("end;");
        FOut.AddLine("");
        FText.clear();
        FEnds.clear();
    }

    TLineSink& FOut;
    std::string FName;
    std::string FText;
    std::vector<size_t> FEnds;
    int FParts = 0;
};

} // namespace

void GenerateUnit(TTabulon& XLS, const TUnitOptions& Options, TLineSink& Out)
{
    TSheets& Sheets = XLS.Sheets();

    auto Procedure = [&](const char* Name, auto&& Body) {
        TProcedureWriter Writer(Out, Name);
        TEmitContext Ctx{XLS, Options, Writer};
        Body(Ctx);
        Writer.Finish();
    };
    auto PerSheet = [&](void (*Emit)(TEmitContext&, int)) {
        return [&Sheets, Emit](TEmitContext& Ctx) {
            for (int S = 0; S < Sheets.Count(); ++S)
                Emit(Ctx, S);
        };
    };

    Out.AddLine("unit " + UnitNameFromPath(Options.PasFile) + ";");
    Out.AddLine("");
    Out.AddLine("interface");
    Out.AddLine("");
    Out.AddLine("uses Classes, SysUtils, Tabulon, TabulonRecs, CellFormats, XLSFonts;");
    Out.AddLine("");
    Out.AddLine("procedure CreateXLSData(XLS: TTabulon);");
    Out.AddLine("");
    Out.AddLine("implementation");
    Out.AddLine("");

    if (Options.Formatting) {
        Procedure("AddFonts", [&](TEmitContext& Ctx) {
            for (int I = 5; I < XLS.Fonts().Count(); ++I)
                EmitFont(Ctx, I);
        });
        Procedure("AddFormats", [&](TEmitContext& Ctx) {
            for (int I = 1; I < XLS.Formats().Count(); ++I)
                EmitFormat(Ctx, I);
        });
    }
    if (Options.Values)
        Procedure("AddCellValues", PerSheet(EmitCellValues));
    if (Options.Merged)
        Procedure("AddMergedCells", PerSheet(EmitMergedCells));
    if (Options.Columns)
        Procedure("AddColumns", PerSheet(EmitColumns));
    if (Options.Rows)
        Procedure("AddRows", PerSheet(EmitRows));

    Out.AddLine("procedure CreateXLSData(XLS: TTabulon);");
    Out.AddLine("begin");
    Out.AddLine("  XLS.WriteDefaultData := False;");
    Out.AddLine("  XLS.Sheets[0].Name := " + PascalString(Sheets[0].GetName()) + ";");
    for (int S = 1; S < Sheets.Count(); ++S) {
        Out.AddLine("  with XLS.Sheets.Add do");
        Out.AddLine("    Name := " + PascalString(Sheets[S].GetName()) + ";");
    }
    if (Options.Formatting) {
        Out.AddLine("  AddFonts(XLS);");
        Out.AddLine("  AddFormats(XLS);");
    }
    if (Options.Values)
        Out.AddLine("  AddCellValues(XLS);");
    if (Options.Merged)
        Out.AddLine("  AddMergedCells(XLS);");
    if (Options.Columns)
        Out.AddLine("  AddColumns(XLS);");
    if (Options.Rows)
        Out.AddLine("  AddRows(XLS);");
    Out.AddLine("end;");
    Out.AddLine("");
    Out.AddLine("end.");
}
