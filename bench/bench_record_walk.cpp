// Walking every record of a large workbook against the floor of reading the
// file's bytes. The walk (open, compound document, workbook stream, every
// record through the dispatch table) should take at most twice the floor.
//
// The workbook: $TABULON_BENCH_WORKBOOK, else gnm_biff8_large.xls as made by
// the shared bench scripts (gen_workbooks.sh) under $BENCH_WORK/files or
// /tmp/xls-bench/files.

#include "biff/XLSReader.h"
#include "model/Tabulon.h"

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <malloc.h>
#include <filesystem>
#include <fstream>
#include <vector>

namespace {

// Both benchmarks allocate buffers of the file's size on every run. Left to
// itself the allocator hands such blocks back to the system and takes fresh
// ones that fault in page by page, which on some machines costs more than
// the work measured, and unequally so. Keeping freed blocks makes both runs
// measure their own work.
const bool AllocatorKeepsBlocks = [] {
    mallopt(M_MMAP_THRESHOLD, 1 << 30);
    mallopt(M_TRIM_THRESHOLD, 1 << 30);
    return true;
}();

std::string WorkbookPath()
{
    if (const char* Path = std::getenv("TABULON_BENCH_WORKBOOK"))
        return Path;
    const char* Work = std::getenv("BENCH_WORK");
    const std::filesystem::path Base = Work ? Work : "/tmp/xls-bench";
    return (Base / "files" / "gnm_biff8_large.xls").string();
}

std::vector<char> ReadBytes(const std::string& Path)
{
    std::ifstream In(Path, std::ios::binary);
    In.seekg(0, std::ios::end);
    std::vector<char> Bytes(static_cast<size_t>(In.tellg()));
    In.seekg(0);
    In.read(Bytes.data(), static_cast<std::streamsize>(Bytes.size()));
    return Bytes;
}

void BM_ReadFileBytes(benchmark::State& State)
{
    const std::string Path = WorkbookPath();
    if (!std::filesystem::exists(Path)) {
        State.SkipWithError(("no workbook at " + Path).c_str());
        return;
    }
    size_t Size = 0;
    for (auto _ : State) {
        const auto Bytes = ReadBytes(Path);
        benchmark::DoNotOptimize(Bytes.data());
        Size = Bytes.size();
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * Size));
}

void BM_WalkRecords(benchmark::State& State)
{
    const std::string Path = WorkbookPath();
    if (!std::filesystem::exists(Path)) {
        State.SkipWithError(("no workbook at " + Path).c_str());
        return;
    }
    TTabulon XLS;
    XLS.Filename = Path;
    for (auto _ : State) {
        XLS.Read();
        benchmark::DoNotOptimize(XLS.Sheets().Count());
    }
    State.SetBytesProcessed(static_cast<int64_t>(State.iterations() * std::filesystem::file_size(Path)));
}

BENCHMARK(BM_ReadFileBytes)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_WalkRecords)->Unit(benchmark::kMillisecond)->MinTime(2.0);

} // namespace
