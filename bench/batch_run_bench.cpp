// A batch run end to end, and the idle time of a small one.
//
// BM_BatchRunPhases: the generated linear piping model of 7,000 rows
// (linear_piping_batch.h; KV_BENCH_ROWS sets another count) goes through
// the phases of start-up batch mode in this one process, on the windowless
// backend with every subsystem of the program: the import of its batch
// file (with the model file saved), the model check (the analysis model
// made and checked, with its warnings), the analysis (every default load
// case, the results file written), the results read with the code check
// (as results open: the file, the code stresses, the support summaries) and
// the text report written beside the model. The counters give each phase's
// seconds and its share of the whole, and report_per_analysis, the report's
// time over the analysis's.
//
// BM_SmallBatchRun: the program itself (korvane beside this benchmark) runs
// a 100-row model of the same kind in start-up batch mode, as a user starts
// it, without a display. wall_per_cpu is its wall time over the processor
// time it used (all its threads, user and system): time it spent waiting
// for nothing shows there.
//
// BM_BatchRunPhases leaves the program's state as it found it at start-up
// (reset_all), so that the benchmarks after it find theirs.
#include "analysis/analysis_model.h"
#include "analysis/model_check.h"
#include "analysis/static_analysis.h"
#include "app/program_subsystems.h"
#include "exchange/ui/exchange_ui.h"
#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "model/model.h"
#include "model/ui/model_commands.h"
#include "platform/headless/headless_backend.h"
#include "results/ui/results_report.h"
#include "results/ui/results_window.h"

#include "bench_setup.h"
#include "linear_piping_batch.h"
#include "program_runs.h"

#include <benchmark/benchmark.h>

#include <array>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;

double seconds_since(Clock::time_point& start)
{
    const Clock::time_point now = Clock::now();
    const double s = std::chrono::duration<double>(now - start).count();
    start = now;
    return s;
}

std::string write_batch_file(const std::filesystem::path& folder, int rows)
{
    const std::string path = (folder / ("linear" + std::to_string(rows) + ".mbf")).string();
    std::ofstream(path, std::ios::binary) << bench_linear::linear_piping_batch(rows);
    return path;
}

int bench_rows()
{
    return bench::count("KV_BENCH_ROWS", 7000, 300);
}

enum Phase { IMPORT, CHECK, ANALYSIS, RESULTS, REPORT, PHASES };
constexpr const char* PHASE_NAMES[PHASES] = {"import", "check", "analysis", "results", "report"};

// One batch run, phase by phase; false (with the reason) when a phase failed.
bool run_phases(const std::string& batch_path, std::array<double, PHASES>& seconds, std::string& failure)
{
    const WindowId owner = main_frame().window;
    Clock::time_point t = Clock::now();
    init_model();
    if (!import_batch_model(owner, batch_path, batch_path.size() - 3)) {
        failure = "the import failed";
        return false;
    }
    seconds[IMPORT] += seconds_since(t);

    if (model_rebuild_needed())
        make_model();
    std::unique_ptr<AnalysisModel> snapshot = make_analysis_model();
    benchmark::DoNotOptimize(analysis_model_warnings(*snapshot).size());
    seconds[CHECK] += seconds_since(t);

    const RunOutcome outcome = run_analysis(*snapshot, RunCallbacks{});
    if (!outcome.completed) {
        failure = outcome.message;
        return false;
    }
    seconds[ANALYSIS] += seconds_since(t);

    init_results();
    seconds[RESULTS] += seconds_since(t);

    std::string error;
    if (!write_results_report(replace_extension(model_file_path(), "txt"), error)) {
        failure = error;
        return false;
    }
    seconds[REPORT] += seconds_since(t);
    terminate_results();
    close_model();
    return true;
}

void BM_BatchRunPhases(benchmark::State& state)
{
    reset_all();
    const std::filesystem::path folder = bench::scratch_folder("batch_run");
    const std::string batch = write_batch_file(folder, bench_rows());
    install_headless_backend();
    set_program_folder(folder.string());
    register_program_subsystems();
    std::array<double, PHASES> seconds{};
    std::string failure;
    try {
        app_startup();
        batch_mode() = true;
        for (auto _ : state)
            if (!run_phases(batch, seconds, failure)) {
                state.SkipWithError(failure.c_str());
                break;
            }
    } catch (...) {
        state.SkipWithError(bench::failure_text(std::current_exception()).c_str());
    }
    app_shutdown();
    set_program_folder("");
    reset_all();
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    double whole = 0.0;
    for (double s : seconds)
        whole += s;
    if (whole <= 0.0)
        return;
    for (int p = 0; p < PHASES; ++p) {
        const std::string name = PHASE_NAMES[p];
        state.counters[name + "_s"] = benchmark::Counter(seconds[static_cast<std::size_t>(p)], benchmark::Counter::kAvgIterations);
        state.counters[name + "_share"] = seconds[static_cast<std::size_t>(p)] / whole;
    }
    state.counters["report_per_analysis"] = seconds[REPORT] / seconds[ANALYSIS];
}
BENCHMARK(BM_BatchRunPhases)->Unit(benchmark::kMillisecond)->Iterations(bench::iterations(3))->UseRealTime();

void BM_SmallBatchRun(benchmark::State& state)
{
    const std::string program = program_runs::program_path();
    if (program.empty()) {
        state.SkipWithError("the program korvane is not beside the benchmark");
        return;
    }
    const std::filesystem::path folder = bench::scratch_folder("small_batch");
    const std::string batch = write_batch_file(folder, 100);
    double wall = 0.0, cpu = 0.0;
    for (auto _ : state) {
        const program_runs::RunTime t = program_runs::run_batch(program, batch);
        wall += t.wall;
        cpu += t.cpu;
        if (!t.ok) {
            state.SkipWithError("the batch run failed");
            break;
        }
    }
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
    state.counters["wall_ms"] = benchmark::Counter(1000.0 * wall, benchmark::Counter::kAvgIterations);
    state.counters["cpu_ms"] = benchmark::Counter(1000.0 * cpu, benchmark::Counter::kAvgIterations);
    if (cpu > 0.0)
        state.counters["wall_per_cpu"] = wall / cpu;
}
BENCHMARK(BM_SmallBatchRun)->Unit(benchmark::kMillisecond)->Iterations(bench::iterations(20))->UseRealTime();

}  // namespace
