// The results text report of a large model: a line of 20,001 nodes (20,000
// pipes along X, line_results.h; KV_BENCH_REPORT_ELEMENTS sets another
// count) with an anchor, a guide and a restraint every 50 nodes and
// 20 load cases. For every case the report writes the pipe forces in local
// and in global axes, the support loads and the displacements (the parts of
// the results report that grow with the model), reading each case from the
// results file. The reference writes the same values with plain snprintf
// into lines of the same number: node numbers, 12 local and 12 global
// forces per element, 6 displacements per node and every support word, the
// global values worked out before it is timed.
#include "elements/element_local_axes.h"
#include "framework/ui/report.h"
#include "model/model.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_session.h"
#include "results/ui/displacement_tables.h"
#include "results/ui/element_force_tables.h"
#include "results/ui/result_tables.h"
#include "results/ui/support_load_tables.h"
#include "supports/support_item.h"

#include "bench_setup.h"
#include "line_results.h"

#include <benchmark/benchmark.h>

#include <array>
#include <cstdio>
#include <string>
#include <vector>

namespace {

// 20,000 elements (KV_BENCH_REPORT_ELEMENTS; 2,000 in the brief pass).
int elements()
{
    return bench::count("KV_BENCH_REPORT_ELEMENTS", 20000, 2000);
}

// Sustained, Expansion (T1) to (T10), the ranges of T1, T2 and T3 with
// each other and Operating 1 to 6.
const std::vector<int32_t> CASES = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 51, 52, 53, 54, 55, 56, 57, 100, 101, 102};
const int CASE_COUNT = static_cast<int>(CASES.size());

// The line and its results file, made once, with the results open and the
// result tables installed; null (the benchmark skipped) when they could not
// be made or opened.
const line_results::LineResults* report_model(benchmark::State& state)
{
    static bench::Shared<line_results::LineResults> made(
        [] { return line_results::make_line_results(elements(), CASES, bench::scratch_folder("report")); });
    const line_results::LineResults* l = made.get(state);
    if (l && !bench::set_up(state, [l] {
            line_results::open_line_results(*l);
            install_result_tables();
        }))
        return nullptr;
    return l;
}

void BM_ResultsTextReport(benchmark::State& state)
{
    if (!report_model(state))
        return;
    std::size_t characters = 0;
    for (auto _ : state) {
        report_begin_text(false);
        for (int c = 1; c <= results().load_case_count(); ++c) {
            set_results_load_case_index(c);
            print_local_element_forces();
            print_global_element_forces();
            print_all_support_loads();
            print_displacements();
        }
        characters = report_end_text().size();
        benchmark::DoNotOptimize(characters);
    }
    state.counters["characters"] = static_cast<double>(characters);
    close_results();
}
BENCHMARK(BM_ResultsTextReport)->Unit(benchmark::kMillisecond);

// The same values, read before the timing, formatted with snprintf.
void BM_SnprintfSameValues(benchmark::State& state)
{
    if (!report_model(state))
        return;
    const Model& m = model();
    const int e = results().numelems(), n = results().numresultnodes();
    std::vector<std::vector<ElementForceRecord>> local(CASES.size()), global(CASES.size());
    std::vector<std::vector<std::array<float, 6>>> displacements(CASES.size());
    std::vector<std::vector<float>> supports(CASES.size());
    for (int c = 1; c <= CASE_COUNT; ++c) {
        set_results_load_case_index(c);
        read_load_case_forces();
        read_load_case_displacements();
        read_load_case_support_loads();
        for (int i = 1; i <= e; ++i) {
            local[c - 1].push_back(results().forces[i]);
            global[c - 1].push_back(global_element_forces(m, i, results().forces[i], false));
        }
        for (int i = 1; i <= n; ++i)
            displacements[c - 1].push_back(results().displacements[results().results_nodes[i]]);
        for (const LayoutRow& row : m.rows)
            if (const auto* item = dynamic_cast<const SupportItem*>(row.data.get()))
                supports[c - 1].insert(supports[c - 1].end(), item->current_loads.begin(), item->current_loads.end());
    }
    close_results();
    std::size_t characters = 0;
    char line[160];
    for (auto _ : state) {
        std::string out;
        for (int c = 0; c < CASE_COUNT; ++c) {
            for (const std::vector<ElementForceRecord>* values : {&local[static_cast<std::size_t>(c)],
                                                                  &global[static_cast<std::size_t>(c)]})
                for (std::size_t i = 0; i < values->size(); ++i) {
                    const ElementForceRecord& v = (*values)[i];
                    for (int end = 0; end < 2; ++end) {
                        const std::size_t k = 6 * static_cast<std::size_t>(end);
                        const int length = std::snprintf(line, sizeof line, "%8d %10.0f %8.0f %8.0f %10.0f %9.0f %9.0f\n",
                                                         line_results::node_number(static_cast<int>(i) + end),
                                                         v[k], v[k + 1], v[k + 2], v[k + 3], v[k + 4], v[k + 5]);
                        out.append(line, static_cast<std::size_t>(length));
                    }
                    out += '\n';
                }
            for (std::size_t i = 0; i < displacements[static_cast<std::size_t>(c)].size(); ++i) {
                const std::array<float, 6>& d = displacements[static_cast<std::size_t>(c)][i];
                const int length = std::snprintf(line, sizeof line, "%8d %11.4f %11.4f %11.4f %11.4f %11.4f %11.4f\n",
                                                 line_results::node_number(static_cast<int>(i)), d[0], d[1], d[2], d[3], d[4], d[5]);
                out.append(line, static_cast<std::size_t>(length));
            }
            for (float s : supports[static_cast<std::size_t>(c)]) {
                const int length = std::snprintf(line, sizeof line, "%10.0f\n", s);
                out.append(line, static_cast<std::size_t>(length));
            }
        }
        characters = out.size();
        benchmark::DoNotOptimize(out.data());
    }
    state.counters["characters"] = static_cast<double>(characters);
}
BENCHMARK(BM_SnprintfSameValues)->Unit(benchmark::kMillisecond);

}  // namespace
