#include "UnitGenerator.h"

#include "PascalText.h"
#include "model/Tabulon.h"

void GenerateUnit(TTabulon& XLS, const TUnitOptions& Options, TLineSink& Out)
{
    TEmitContext Ctx{XLS, Options, Out};
    TSheets& Sheets = XLS.Sheets();

    auto Procedure = [&](const char* Name, auto&& Body) {
        Out.AddLine(std::string("procedure ") + Name + "(XLS: TTabulon);");
        Out.AddLine("begin");
        Body();
        Out.AddLine("end;");
        Out.AddLine("");
    };
    auto PerSheet = [&](void (*Emit)(TEmitContext&, int)) {
        return [&Ctx, &Sheets, Emit] {
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
        Procedure("AddFonts", [&] {
            for (int I = 5; I < XLS.Fonts().Count(); ++I)
                EmitFont(Ctx, I);
        });
        Procedure("AddFormats", [&] {
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
