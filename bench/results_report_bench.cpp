// The results text report of a large model: a line of 20,001 nodes (20,000
// pipes along X) with an anchor, a guide and a restraint every 50 nodes and
// 20 load cases. For every case the report writes the pipe forces in local
// and in global axes, the support loads and the displacements (the parts of
// the results report that grow with the model), reading each case from the
// results file. The reference writes the same values with plain snprintf
// into lines of the same number: node numbers, 12 local and 12 global
// forces per element, 6 displacements per node and every support word, the
// global values worked out before it is timed.
#include "analysis/results_file.h"
#include "analysis_core/results_sink.h"
#include "elements/element_classes.h"
#include "elements/element_local_axes.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/ui/report.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_session.h"
#include "results/ui/displacement_tables.h"
#include "results/ui/element_force_tables.h"
#include "results/ui/result_tables.h"
#include "results/ui/support_load_tables.h"
#include "supports/support_item.h"
#include "supports/supports.h"

#include <benchmark/benchmark.h>

#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

namespace {

constexpr int ELEMENTS = 20000;
constexpr int CASES = 20;

struct ReportModel {
    std::string path;
    bool ready = false;
};

const ReportModel& report_model()
{
    static ReportModel made = [] {
        ReportModel r;
        install_element_classes();
        install_supports();
        install_result_tables();
        reset_model();
        piping_code() = CODE_B311;
        Model& m = model();
        for (int i = 0; i <= ELEMENTS; ++i) {
            const int index = m.rows.push_back(LayoutRow{});
            LayoutRow& row = m.rows[index];
            row.node = 10 * (i + 1);
            row.etype = i == 0 ? ET_FROM : ET_PIPE;
            row.dx = i == 0 ? 0.0f : 100.0f;
            row.dtype = i % 50 == 0 ? DT_ANCHOR : i % 50 == 17 ? DT_GUIDE : i % 50 == 33 ? DT_RESTRAINT : DT_NONE;
            row.create_element_object();
            row.create_data_object(index);
        }
        make_model();
        load_case_list().clear();
        for (int c = 1; c <= 10; ++c)
            load_case_list().add(c);
        for (int c = 41; c <= 50; ++c)
            load_case_list().add(c);
        const std::filesystem::path folder = std::filesystem::temp_directory_path() / "korvane_report_bench";
        std::filesystem::create_directories(folder);
        r.path = (folder / "model.res").string();
        const auto n = static_cast<std::size_t>(m.numnodes()), e = static_cast<std::size_t>(m.numelems());
        const auto words = static_cast<std::size_t>(support_value_count(m));
        BinFile file;
        file.open_write(r.path);
        write_results_header(file);
        write_element_records(file, m);
        write_soil_restraints(file, {});
        std::vector<double> u(6 * n), f(12 * e), s(words);
        for (int c = 0; c < CASES; ++c) {
            for (std::size_t i = 0; i < u.size(); ++i)
                u[i] = 0.001 * static_cast<double>((i * 7 + static_cast<std::size_t>(c)) % 1000);
            for (std::size_t i = 0; i < f.size(); ++i)
                f[i] = static_cast<double>((i * 13 + static_cast<std::size_t>(c)) % 5000) - 2500.0;
            for (std::size_t i = 0; i < s.size(); ++i)
                s[i] = static_cast<double>(i % 300) + c;
            write_case_block(file, u, {}, f, s);
        }
        write_hanger_designs(file, m);
        r.ready = file.close();
        return r;
    }();
    return made;
}

void BM_ResultsTextReport(benchmark::State& state)
{
    const ReportModel& r = report_model();
    try {
        read_results(r.path);
    } catch (const MessageText& m) {
        state.SkipWithError(m.text.c_str());
        return;
    }
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
    const ReportModel& r = report_model();
    read_results(r.path);
    const Model& m = model();
    const int e = results().numelems(), n = results().numresultnodes();
    std::vector<std::vector<ElementForceRecord>> local(CASES), global(CASES);
    std::vector<std::vector<std::array<float, 6>>> displacements(CASES);
    std::vector<std::vector<float>> supports(CASES);
    for (int c = 1; c <= CASES; ++c) {
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
        for (int c = 0; c < CASES; ++c) {
            for (const std::vector<ElementForceRecord>* values : {&local[static_cast<std::size_t>(c)],
                                                                  &global[static_cast<std::size_t>(c)]})
                for (std::size_t i = 0; i < values->size(); ++i) {
                    const ElementForceRecord& v = (*values)[i];
                    for (int end = 0; end < 2; ++end) {
                        const std::size_t k = 6 * static_cast<std::size_t>(end);
                        const int length = std::snprintf(line, sizeof line, "%8d %10.0f %8.0f %8.0f %10.0f %9.0f %9.0f\n",
                                                         10 * static_cast<int>(i + 1 + static_cast<std::size_t>(end)),
                                                         v[k], v[k + 1], v[k + 2], v[k + 3], v[k + 4], v[k + 5]);
                        out.append(line, static_cast<std::size_t>(length));
                    }
                    out += '\n';
                }
            for (std::size_t i = 0; i < displacements[static_cast<std::size_t>(c)].size(); ++i) {
                const std::array<float, 6>& d = displacements[static_cast<std::size_t>(c)][i];
                const int length = std::snprintf(line, sizeof line, "%8d %11.4f %11.4f %11.4f %11.4f %11.4f %11.4f\n",
                                                 10 * static_cast<int>(i + 1), d[0], d[1], d[2], d[3], d[4], d[5]);
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
