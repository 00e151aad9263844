// The results file reader on a large model: a line of 20,000 nodes (19,999
// pipes, line_results.h; KV_BENCH_RESULTS_NODES sets another count) with an anchor, a guide and a restraint every 50
// nodes, and 30 load cases. Opening the results (the checks against the
// model, the element table, the lists and the code records), and switching
// the load case (the case's displacements with their extremes, its element
// forces and every support's loads), against the one plain std::fread of
// the same bytes that a switch needs at least; and the check of the whole
// file's bytes that opening makes, against zlib's crc32 of the same bytes.
#include "analysis/results_file.h"
#include "framework/binfile.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_session.h"

#include "bench_setup.h"
#include "line_results.h"

#include <benchmark/benchmark.h>
#include <zlib.h>

#include <cstdio>
#include <memory>
#include <vector>

namespace {

// 20,000 nodes (KV_BENCH_RESULTS_NODES; 2,000 in the brief pass).
int nodes()
{
    return bench::count("KV_BENCH_RESULTS_NODES", 20000, 2000);
}

// Sustained, Expansion (T1) to (T10), the ranges of T1, T2 and T3 with
// each other and of T1 with T4 to T9, and Operating 1 to 10.
const std::vector<int32_t> CASES = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 51,  52,  53,  54,  55,
                                    56, 57, 58, 59, 60, 61, 62, 63, 100, 101, 102, 103, 104, 105, 106};

// The line and its results file, made once, with the results open; null
// (the benchmark skipped) when they could not be made or opened.
const line_results::LineResults* large_results(benchmark::State& state)
{
    static bench::Shared<line_results::LineResults> made(
        [] { return line_results::make_line_results(nodes() - 1, CASES, bench::scratch_folder("results")); });
    const line_results::LineResults* l = made.get(state);
    if (l && !bench::set_up(state, [l] { line_results::open_line_results(*l); }))
        return nullptr;
    return l;
}

void BM_OpenResults(benchmark::State& state)
{
    const line_results::LineResults* l = large_results(state);
    if (!l)
        return;
    for (auto _ : state) {
        read_results(l->results_path);
        benchmark::DoNotOptimize(results().load_case_count());
    }
    close_results();
}
BENCHMARK(BM_OpenResults)->Unit(benchmark::kMillisecond);

// One switch: the next case's displacements, forces and support loads.
void BM_SwitchLoadCase(benchmark::State& state)
{
    const line_results::LineResults* l = large_results(state);
    if (!l)
        return;
    for (auto _ : state) {
        next_load_case();
        read_load_case_displacements();
        read_load_case_forces();
        read_load_case_support_loads();
        benchmark::DoNotOptimize(results().displacements[results().numresultnodes() / 2][1]);
    }
    state.SetBytesProcessed(state.iterations() * l->case_block);
    close_results();
}
BENCHMARK(BM_SwitchLoadCase)->Unit(benchmark::kMicrosecond);

// The results file open for plain reading, with the results closed; null
// (the benchmark skipped) when it cannot be.
std::FILE* results_file_alone(benchmark::State& state, const line_results::LineResults*& l)
{
    l = large_results(state);
    if (!l)
        return nullptr;
    close_results();
    std::FILE* f = std::fopen(l->results_path.c_str(), "rb");
    if (!f)
        state.SkipWithError(("cannot open " + l->results_path).c_str());
    return f;
}

// The same bytes with one seek and one std::fread per case.
void BM_FreadCaseBlock(benchmark::State& state)
{
    const line_results::LineResults* l = nullptr;
    std::FILE* f = results_file_alone(state, l);
    if (!f)
        return;
    std::vector<char> buffer(static_cast<std::size_t>(l->case_block));
    std::size_t c = 0;
    for (auto _ : state) {
        c = (c + 1) % l->offsets.size();
        std::fseek(f, static_cast<long>(l->offsets[c]), SEEK_SET);
        benchmark::DoNotOptimize(std::fread(buffer.data(), 1, buffer.size(), f));
    }
    std::fclose(f);
    state.SetBytesProcessed(state.iterations() * l->case_block);
}
BENCHMARK(BM_FreadCaseBlock)->Unit(benchmark::kMicrosecond);

// The check that opening makes: every byte of the file read and put
// through CRC-32.
void BM_CheckWholeFile(benchmark::State& state)
{
    const line_results::LineResults* l = large_results(state);
    if (!l)
        return;
    close_results();
    BinFile file;
    if (!file.open_read(l->results_path)) {
        state.SkipWithError(("cannot open " + l->results_path).c_str());
        return;
    }
    for (auto _ : state) {
        if (!results_file_check_holds(file, RESULTS_FILE_VERSION)) {
            state.SkipWithError("the check of the file fails");
            return;
        }
    }
    state.SetBytesProcessed(state.iterations() * file.size());
}
BENCHMARK(BM_CheckWholeFile)->Unit(benchmark::kMillisecond);

// The reference: the same bytes read in 1 MiB parts with std::fread and
// put through zlib's crc32.
void BM_ZlibCrcWholeFile(benchmark::State& state)
{
    const line_results::LineResults* l = nullptr;
    std::FILE* f = results_file_alone(state, l);
    if (!f)
        return;
    std::vector<unsigned char> chunk(std::size_t{1} << 20);
    int64_t bytes = 0;
    for (auto _ : state) {
        std::fseek(f, 0, SEEK_SET);
        uLong crc = crc32(0L, Z_NULL, 0);
        bytes = 0;
        for (std::size_t n; (n = std::fread(chunk.data(), 1, chunk.size(), f)) > 0; bytes += static_cast<int64_t>(n))
            crc = crc32(crc, chunk.data(), static_cast<uInt>(n));
        benchmark::DoNotOptimize(crc);
    }
    std::fclose(f);
    state.SetBytesProcessed(state.iterations() * bytes);
}
BENCHMARK(BM_ZlibCrcWholeFile)->Unit(benchmark::kMillisecond);

}  // namespace
