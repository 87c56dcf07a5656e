// Formula decoding throughput on a mix of short BIFF8 formulas of the kind
// workbooks are full of: references, ranges, SUM/IF/VLOOKUP calls, 3-D
// references and constants. Reported as formulas per second.

#include "formula/DecodeFormula.h"

#include <benchmark/benchmark.h>

#include <cstring>
#include <string>
#include <vector>

namespace {

using TBytes = std::vector<uint8_t>;

void Put16(TBytes& B, int V)
{
    B.push_back(static_cast<uint8_t>(V));
    B.push_back(static_cast<uint8_t>(V >> 8));
}

TBytes& Ref(TBytes& B, int Row, int Col, int Id = 0x44)
{
    B.push_back(static_cast<uint8_t>(Id));
    Put16(B, Row);
    Put16(B, Col | 0xC000);
    return B;
}

TBytes& Area(TBytes& B, int R1, int R2, int C1, int C2, int Id = 0x25)
{
    B.push_back(static_cast<uint8_t>(Id));
    Put16(B, R1);
    Put16(B, R2);
    Put16(B, C1);
    Put16(B, C2);
    return B;
}

TBytes& Int(TBytes& B, int V)
{
    B.push_back(0x1E);
    Put16(B, V);
    return B;
}

TBytes& Num(TBytes& B, double V)
{
    B.push_back(0x1F);
    uint8_t Raw[8];
    std::memcpy(Raw, &V, 8);
    B.insert(B.end(), Raw, Raw + 8);
    return B;
}

TBytes& Op(TBytes& B, std::initializer_list<int> Bytes)
{
    for (int V : Bytes)
        B.push_back(static_cast<uint8_t>(V));
    return B;
}

std::vector<TBytes> Mix()
{
    std::vector<TBytes> M;
    TBytes B;
    // A2+B2
    Ref(B, 1, 0);
    Ref(B, 1, 1);
    M.push_back(Op(B, {0x03}));
    B.clear();
    // SUM(A1:A10)
    Area(B, 0, 9, 0, 0);
    M.push_back(Op(B, {0x19, 0x10, 0, 0}));
    B.clear();
    // IF(A1>0,B1,C1)
    Ref(B, 0, 0);
    Int(B, 0);
    Op(B, {0x0D, 0x19, 0x02, 8, 0});
    Ref(B, 0, 1);
    Op(B, {0x19, 0x08, 8, 0});
    Ref(B, 0, 2);
    M.push_back(Op(B, {0x19, 0x08, 3, 0, 0x42, 3, 1, 0}));
    B.clear();
    // VLOOKUP(A2,Sheet2!$A$1:$D$100,2,FALSE)
    Ref(B, 1, 0);
    Op(B, {0x3B, 1, 0, 0, 0, 99, 0, 0, 0, 3, 0});
    Int(B, 2);
    M.push_back(Op(B, {0x1D, 0, 0x42, 4, 102, 0}));
    B.clear();
    // Sheet2!B3*1.5
    Op(B, {0x5A, 1, 0, 2, 0, 1, 0xC0});
    Num(B, 1.5);
    M.push_back(Op(B, {0x05}));
    B.clear();
    // ROUND(C5*1.07,2)
    Ref(B, 4, 2);
    Num(B, 1.07);
    Op(B, {0x05});
    Int(B, 2);
    M.push_back(Op(B, {0x41, 27, 0}));
    B.clear();
    // A1
    M.push_back(Ref(B, 0, 0));
    B.clear();
    // (A1+B1)/2
    Ref(B, 0, 0);
    Ref(B, 0, 1);
    Op(B, {0x03, 0x15});
    Int(B, 2);
    M.push_back(Op(B, {0x06}));
    return M;
}

void BM_DecodeMix(benchmark::State& State)
{
    const std::vector<TBytes> Formulas = Mix();
    const TFormulaNameLookup Lookup = [](uint8_t, int Index, int, std::string& Text) {
        Text = Index == 1 ? "Sheet2!" : "Sheet1!";
    };
    size_t Chars = 0;
    for (auto _ : State) {
        for (const TBytes& F : Formulas) {
            std::string Text =
                DecodeFormulaTokens(xvExcel97, F.data(), static_cast<int>(F.size()), 3, 3, Lookup, nullptr, 0);
            Chars += Text.size();
            benchmark::DoNotOptimize(Text);
        }
    }
    State.SetItemsProcessed(static_cast<int64_t>(State.iterations() * Formulas.size()));
    benchmark::DoNotOptimize(Chars);
}
BENCHMARK(BM_DecodeMix);

// The shortest common formulas: one reference, and two joined by "+".
void BM_DecodeShort(benchmark::State& State)
{
    TBytes One;
    Ref(One, 0, 0);
    TBytes Two;
    Ref(Two, 1, 0);
    Ref(Two, 1, 1);
    Op(Two, {0x03});
    for (auto _ : State) {
        benchmark::DoNotOptimize(DecodeFormulaTokens(xvExcel97, One.data(), static_cast<int>(One.size()), 0, 0, {}, nullptr, 0));
        benchmark::DoNotOptimize(DecodeFormulaTokens(xvExcel97, Two.data(), static_cast<int>(Two.size()), 0, 0, {}, nullptr, 0));
    }
    State.SetItemsProcessed(static_cast<int64_t>(State.iterations() * 2));
}
BENCHMARK(BM_DecodeShort);

void BM_ConvertShared(benchmark::State& State)
{
    TBytes Base;
    Ref(Base, 0xFFFF, 0xFF, 0x4C);
    Op(Base, {0x2D, 0, 0, 9, 0, 0, 0xC0, 0, 0xC0, 0x19, 0x10, 0, 0, 0x03});
    TBytes Work(Base.size());
    for (auto _ : State) {
        Work = Base;
        ConvertSharedFormula(true, Work.data(), static_cast<int>(Work.size()), 5, 5);
        benchmark::DoNotOptimize(Work.data());
    }
    State.SetItemsProcessed(static_cast<int64_t>(State.iterations()));
}
BENCHMARK(BM_ConvertShared);

} // namespace
