// Cell storage on a dense sheet (65536 rows x 16 columns of numbers) and a
// sparse one (a cell in every 97th row and every 13th column): insertion,
// lookup of every key, a full walk, Clear, and the heap bytes per cell.

#include "model/CellStorage.h"
#include "model/XLSUtils.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <malloc.h>
#include <unistd.h>
#include <memory>
#include <vector>

namespace {

std::vector<int32_t> DenseKeys()
{
    std::vector<int32_t> Keys;
    Keys.reserve(65536 * 16);
    for (int Row = 0; Row < 65536; ++Row)
        for (int Col = 0; Col < 16; ++Col)
            Keys.push_back(CellKey(Col, Row));
    return Keys;
}

std::vector<int32_t> SparseKeys()
{
    std::vector<int32_t> Keys;
    for (int Row = 0; Row < 65536; Row += 97)
        for (int Col = 0; Col < 256; Col += 13)
            Keys.push_back(CellKey(Col, Row));
    return Keys;
}

const std::vector<int32_t>& Keys(int Shape)
{
    static const std::vector<int32_t> Dense = DenseKeys();
    static const std::vector<int32_t> Sparse = SparseKeys();
    return Shape == 0 ? Dense : Sparse;
}

void Fill(TCellStorage& S, const std::vector<int32_t>& Keys)
{
    for (int32_t Key : Keys)
        S.Insert(Key, S.New<TFloatCell>(Key, 15, static_cast<double>(Key)));
}

// Resident bytes of the process: the arena's big chunks are mapped directly,
// which the allocator's own statistics do not see.
size_t Resident()
{
    long Pages = 0, ResidentPages = 0;
    if (FILE* F = std::fopen("/proc/self/statm", "r")) {
        if (std::fscanf(F, "%ld %ld", &Pages, &ResidentPages) != 2)
            ResidentPages = 0;
        std::fclose(F);
    }
    return static_cast<size_t>(ResidentPages) * static_cast<size_t>(sysconf(_SC_PAGESIZE));
}

void PerCell(benchmark::State& State, size_t Cells)
{
    State.SetItemsProcessed(static_cast<int64_t>(State.iterations() * Cells));
    // kIsIterationInvariantRate | kInvert gives seconds per cell; shown in ns below.
    State.counters["s/cell"] = benchmark::Counter(static_cast<double>(Cells),
                                                  benchmark::Counter::kIsIterationInvariantRate |
                                                      benchmark::Counter::kInvert);
}

void BM_Insert(benchmark::State& State)
{
    const auto& K = Keys(static_cast<int>(State.range(0)));
    for (auto _ : State) {
        State.PauseTiming();
        auto S = std::make_unique<TCellStorage>();
        State.ResumeTiming();
        Fill(*S, K);
        benchmark::DoNotOptimize(S->Count());
        State.PauseTiming();
        S.reset();
        State.ResumeTiming();
    }
    PerCell(State, K.size());
}

void BM_Find(benchmark::State& State)
{
    const auto& K = Keys(static_cast<int>(State.range(0)));
    TCellStorage S;
    Fill(S, K);
    for (auto _ : State)
        for (int32_t Key : K)
            benchmark::DoNotOptimize(S.Find(Key));
    PerCell(State, K.size());
}

void BM_Iterate(benchmark::State& State)
{
    const auto& K = Keys(static_cast<int>(State.range(0)));
    TCellStorage S;
    Fill(S, K);
    for (auto _ : State) {
        double Sum = 0;
        S.BeginIterate();
        while (TCell* Cell = S.GetNext())
            Sum += Cell->FormatIndex;
        benchmark::DoNotOptimize(Sum);
    }
    PerCell(State, K.size());
}

void BM_Clear(benchmark::State& State)
{
    const auto& K = Keys(static_cast<int>(State.range(0)));
    TCellStorage S;
    for (auto _ : State) {
        State.PauseTiming();
        Fill(S, K);
        State.ResumeTiming();
        S.Clear();
    }
    PerCell(State, K.size());
}

// Bytes per number cell: those the storage took for its arena (cells, pages,
// rows, blocks), and the growth of the process's resident memory.
void BM_Memory(benchmark::State& State)
{
    const auto& K = Keys(static_cast<int>(State.range(0)));
    double Arena = 0, Rss = 0;
    for (auto _ : State) {
        malloc_trim(0);
        const size_t Before = Resident();
        {
            TCellStorage S;
            Fill(S, K);
            Rss = static_cast<double>(Resident() - Before) / static_cast<double>(K.size());
            Arena = static_cast<double>(S.BytesReserved()) / static_cast<double>(K.size());
        }
    }
    State.counters["arena bytes/cell"] = Arena;
    State.counters["rss bytes/cell"] = Rss;
}

} // namespace

// Argument 0: dense, 1: sparse.
BENCHMARK(BM_Insert)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Find)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Iterate)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Clear)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_Memory)->Arg(0)->Arg(1)->Iterations(3)->Unit(benchmark::kMillisecond);
