// Every formula of the shared corpus decodes without reading past its bytes,
// without a truncation marker and without an exception: the FORMULA records
// of every version (with the constant-array bytes that follow the tokens)
// and the BIFF5/BIFF8 shared formulas, converted for their first cell.

#include "FormulaTestUtil.h"

#include "biff/CompoundFile.h"
#include "model/Exception.h"

#include <filesystem>
#include <fstream>
#include <iterator>

namespace {

namespace fs = std::filesystem;

uint16_t U16(const uint8_t* P)
{
    return static_cast<uint16_t>(P[0] | (P[1] << 8));
}

struct TCounts {
    int Files = 0;
    int Formulas = 0;
    int Shared = 0;
    int Unknown = 0;
    std::vector<std::string> Failures;
};

std::vector<uint8_t> WorkbookBytes(const fs::path& Path)
{
    if (TCompoundFile::IsCompoundFile(Path.string())) {
        TCompoundFile File;
        File.Open(Path.string());
        for (const TStorageElement& E : File.RootElements())
            if (E.Type == TStorageElementType::Stream && (E.Name == "Workbook" || E.Name == "Book"))
                return File.ReadStream(E.Name);
        return {};
    }
    std::ifstream In(Path, std::ios::binary);
    return std::vector<uint8_t>((std::istreambuf_iterator<char>(In)), std::istreambuf_iterator<char>());
}

void Check(TCounts& Counts, const std::string& At, TExcelVersion Version, const uint8_t* Tokens, int Len,
           const uint8_t* Extra, int ExtraLen, int Col, int Row)
{
    std::vector<uint8_t> T(Tokens, Tokens + Len);
    std::vector<uint8_t> E(Extra, Extra + ExtraLen);
    std::string Hex;
    for (uint8_t B : T) {
        char Buf[4];
        std::snprintf(Buf, sizeof Buf, "%02X ", B);
        Hex += Buf;
    }
    const std::string Where = At + " [" + Hex + "+" + std::to_string(ExtraLen) + "]";
    try {
        const std::string Text = DecodeFormulaTokens(Version, T.data(), Len, Col, Row, EchoLookup(),
                                                     E.empty() ? nullptr : E.data(), ExtraLen);
        // BIFF5 writers disagree on the constant-array dimensions (some store
        // the counts, not the counts minus 1); only the one layout is read.
        if (Text.rfind("Truncated", 0) == 0 || (Version == xvExcel97 && Text.rfind("Missing array", 0) == 0))
            Counts.Failures.push_back(Where + ": " + Text);
        if (Text.rfind("Unknown ptg", 0) == 0)
            ++Counts.Unknown;
    } catch (const Exception& Ex) {
        Counts.Failures.push_back(Where + ": " + Ex.what());
    }
}

void WalkFile(TCounts& Counts, const fs::path& Path)
{
    const std::vector<uint8_t> Data = WorkbookBytes(Path);
    TExcelVersion Version = xvNone;
    size_t Pos = 0;
    int Record = 0;
    while (Data.size() - Pos >= 4) {
        const uint16_t Id = U16(&Data[Pos]);
        const uint16_t Len = U16(&Data[Pos + 2]);
        if (Data.size() - Pos - 4 < Len)
            break;
        const uint8_t* Body = &Data[Pos + 4];
        const std::string Where = Path.filename().string() + " record " + std::to_string(Record);
        if (Version == xvNone) {
            if (Id == 0x0009)
                Version = xvExcel21;
            else if (Id == 0x0209)
                Version = xvExcel30;
            else if (Id == 0x0409)
                Version = xvExcel40;
            else if (Id == 0x0809 && Len >= 2)
                Version = U16(Body) == 0x0600 ? xvExcel97 : xvExcel50;
        }
        if (Version == xvExcel21 && Id == 0x0006 && Len >= 17 && 17 + Body[16] <= Len) {
            ++Counts.Formulas;
            Check(Counts, Where, Version, Body + 17, Body[16], Body + 17 + Body[16], Len - 17 - Body[16], U16(Body + 2),
                  U16(Body));
        } else if (((Version == xvExcel30 && Id == 0x0206) || (Version == xvExcel40 && Id == 0x0406)) && Len >= 18 &&
                   18 + U16(Body + 16) <= Len) {
            ++Counts.Formulas;
            const int N = U16(Body + 16);
            Check(Counts, Where, Version, Body + 18, N, Body + 18 + N, Len - 18 - N, U16(Body + 2), U16(Body));
        } else if (Version >= xvExcel50 && Id == 0x0006 && Len >= 22 && 22 + U16(Body + 20) <= Len) {
            const int N = U16(Body + 20);
            // Cells of shared formulas are decoded through their SHRFMLA.
            if (!(N > 0 && Body[22] == 0x01)) {
                ++Counts.Formulas;
                Check(Counts, Where, Version, Body + 22, N, Body + 22 + N, Len - 22 - N, U16(Body + 2), U16(Body));
            }
        } else if (Version >= xvExcel50 && Id == 0x04BC && Len >= 10 && 10 + U16(Body + 8) <= Len) {
            ++Counts.Shared;
            const int N = U16(Body + 8);
            std::vector<uint8_t> Tokens(Body + 10, Body + 10 + N);
            try {
                ConvertSharedFormula(Version == xvExcel97, Tokens.data(), N, Body[4], U16(Body));
                Check(Counts, Where, Version, Tokens.data(), N, Body + 10 + N, Len - 10 - N, Body[4], U16(Body));
            } catch (const Exception& Ex) {
                Counts.Failures.push_back(Where + ": " + Ex.what());
            }
        }
        Pos += 4 + Len;
        ++Record;
    }
}

TEST(FormulaCorpus, EveryFormulaDecodes)
{
    const fs::path Root(TABULON_CORPUS_DIR);
    if (!fs::exists(Root))
        GTEST_SKIP() << "corpus not present";
    TCounts Counts;
    for (const char* Folder : {"biff2", "biff3", "biff4", "biff5", "biff8"}) {
        if (!fs::exists(Root / Folder))
            continue;
        for (const auto& Entry : fs::recursive_directory_iterator(Root / Folder)) {
            if (!Entry.is_regular_file() || Entry.path().extension() != ".xls")
                continue;
            ++Counts.Files;
            try {
                WalkFile(Counts, Entry.path());
            } catch (const Exception& Ex) {
                // A container this walk cannot open is the reader's subject.
                std::printf("skipped %s: %s\n", Entry.path().filename().string().c_str(), Ex.what());
            }
        }
    }
    std::printf("%d files, %d formulas, %d shared formulas, %d with a token that is not decoded\n", Counts.Files,
                Counts.Formulas, Counts.Shared, Counts.Unknown);
    EXPECT_GT(Counts.Formulas, 0);
    for (const std::string& F : Counts.Failures)
        ADD_FAILURE() << F;
}

} // namespace
