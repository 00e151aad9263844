// The results file reader on a large model: a line of 20,000 nodes (19,999
// pipes, one row each) with an anchor, a guide and a restraint every 50 nodes, and 30 load
// cases. Opening the results (the checks against the model, the element
// table, the lists and the code records), and switching the load case (the
// case's displacements with their extremes, its element forces and every
// support's loads), against the one plain std::fread of the same bytes that
// a switch needs at least.
#include "analysis/results_file.h"
#include "analysis_core/results_sink.h"
#include "elements/element_classes.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_session.h"
#include "supports/supports.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int NODES = 20000;
constexpr int CASES = 30;

struct LargeResults {
    std::string path;
    int64_t block = 0;                 // bytes of one load-case block
    std::vector<int64_t> offsets;      // each block's offset, file order
};

const LargeResults& large_results()
{
    static LargeResults made = [] {
        LargeResults l;
        install_element_classes();
        install_supports();
        reset_model();
        Model& m = model();
        // The rows are put in directly: the layout window's limit of 7,000
        // rows is no limit of the results, whose size is what is measured.
        for (int i = 0; i < NODES; ++i) {
            const int r = m.rows.push_back(LayoutRow{});
            LayoutRow& row = m.rows[r];
            row.node = 10 * (i + 1);
            row.etype = i == 0 ? ET_FROM : ET_PIPE;
            row.dx = i == 0 ? 0.0f : 100.0f;
            row.dy = 0.0f;
            row.dz = 0.0f;
            row.dtype = i % 50 == 0 ? DT_ANCHOR : i % 50 == 17 ? DT_GUIDE : i % 50 == 33 ? DT_RESTRAINT : DT_NONE;
            row.create_element_object();
            row.create_data_object(r);
        }
        make_model();
        load_case_list().clear();
        const int codes[CASES] = {1,  2,  3,  4,  5,  6,  7,  8,  9,  10, 41, 42, 43, 44, 45,
                                  46, 47, 48, 49, 50, 51, 52, 53, 54, 55, 56, 57, 58, 59, 60};
        for (int c : codes)
            load_case_list().add(c);
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / "korvane_results_bench";
        std::filesystem::create_directories(folder);
        l.path = (folder / "model.res").string();
        const auto n = static_cast<std::size_t>(m.numnodes()), e = static_cast<std::size_t>(m.numelems());
        const auto words = static_cast<std::size_t>(support_value_count(m));
        BinFile file;
        file.open_write(l.path);
        write_results_header(file);
        write_element_records(file, m);
        write_soil_restraints(file, {});
        std::vector<double> u(6 * n), f(12 * e), s(words);
        l.block = static_cast<int64_t>(4 * (u.size() + f.size() + s.size()));
        for (int c = 0; c < CASES; ++c) {
            for (std::size_t i = 0; i < u.size(); ++i)
                u[i] = 0.001 * static_cast<double>((i * 7 + static_cast<std::size_t>(c)) % 1000);
            for (std::size_t i = 0; i < f.size(); ++i)
                f[i] = static_cast<double>((i * 13 + static_cast<std::size_t>(c)) % 5000) - 2500.0;
            for (std::size_t i = 0; i < s.size(); ++i)
                s[i] = static_cast<double>(i % 300) + c;
            l.offsets.push_back(file.tell());
            write_case_block(file, u, {}, f, s);
        }
        write_hanger_designs(file, m);
        file.close();
        return l;
    }();
    return made;
}

void BM_OpenResults(benchmark::State& state)
{
    const LargeResults& l = large_results();
    try {
        read_results(l.path);
    } catch (const MessageText& m) {
        state.SkipWithError(m.text.c_str());
        return;
    }
    for (auto _ : state) {
        read_results(l.path);
        benchmark::DoNotOptimize(results().load_case_count());
    }
    close_results();
}
BENCHMARK(BM_OpenResults)->Unit(benchmark::kMillisecond);

// One switch: the next case's displacements, forces and support loads.
void BM_SwitchLoadCase(benchmark::State& state)
{
    const LargeResults& l = large_results();
    read_results(l.path);
    for (auto _ : state) {
        next_load_case();
        read_load_case_displacements();
        read_load_case_forces();
        read_load_case_support_loads();
        benchmark::DoNotOptimize(results().displacements[NODES / 2][1]);
    }
    state.SetBytesProcessed(state.iterations() * l.block);
    close_results();
}
BENCHMARK(BM_SwitchLoadCase)->Unit(benchmark::kMicrosecond);

// The same bytes with one seek and one std::fread per case.
void BM_FreadCaseBlock(benchmark::State& state)
{
    const LargeResults& l = large_results();
    std::FILE* f = std::fopen(l.path.c_str(), "rb");
    std::vector<char> buffer(static_cast<std::size_t>(l.block));
    std::size_t c = 0;
    for (auto _ : state) {
        c = (c + 1) % l.offsets.size();
        std::fseek(f, static_cast<long>(l.offsets[c]), SEEK_SET);
        benchmark::DoNotOptimize(std::fread(buffer.data(), 1, buffer.size(), f));
    }
    std::fclose(f);
    state.SetBytesProcessed(state.iterations() * l.block);
}
BENCHMARK(BM_FreadCaseBlock)->Unit(benchmark::kMicrosecond);

}  // namespace
