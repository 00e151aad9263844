// What the threads of a nonlinear run cost in processor time against what
// they save in wall time.
//
// The generated plant network of piping_network.h (KV_BENCH_THREADS_ROWS
// rows, 7,000 unless set): a rack of 12 in to 2 in lines on friction rests,
// guides with gaps and axial stops, with rod hangers on some risers, run end
// to end as the program's analysis runs it (results file included), in turn
// with every thread the program keeps for its factorisations and with one:
// the run as the one task of run_tasks, during which run_jobs keeps every
// job on the calling thread (the model has no case solved from another's
// state, so the run starts no task threads of its own). Each run's wall time
// and processor time (getrusage of this process: user and system time of all
// its threads) are taken. The counters give the median of each over the
// iterations, in ms, and the ratios of the run with all threads to the run
// with one: cpu_ratio (its processor time) and wall_ratio (its wall time).
#include "analysis/analysis_model.h"
#include "analysis/static_analysis.h"
#include "platform/threads.h"

#include "bench_setup.h"
#include "piping_network.h"
#include "program_models.h"
#include "program_runs.h"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

void BM_NonlinearRunThreads(benchmark::State& state)
{
    piping_network::Options o;
    o.rows = bench::count("KV_BENCH_THREADS_ROWS", 7000, 300);
    if (!bench::set_up(state, [&o] { program_models::import_batch_model(piping_network::batch_text(o)); }))
        return;
    const std::string results = (bench::scratch_folder("threads") / "network.res").string();
    // By run: with all threads (0) and with one (1).
    std::vector<double> walls[2], cpus[2];
    int round = 0;
    for (auto _ : state) {
        // The two in turn, each first every other time: the machine's load
        // falls on both alike.
        for (int k = 0; k < 2; ++k) {
            const int one = (k + round) % 2;
            std::unique_ptr<AnalysisModel> snapshot = make_analysis_model();
            snapshot->output.results_path = results;
            RunOutcome outcome;
            const double cpu = program_runs::own_processor_seconds();
            const auto start = std::chrono::steady_clock::now();
            if (one)
                run_tasks(1, 1, [&](int) { outcome = run_analysis(*snapshot, {}); });
            else
                outcome = run_analysis(*snapshot, {});
            walls[one].push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            cpus[one].push_back(program_runs::own_processor_seconds() - cpu);
            if (!outcome.completed) {
                state.SkipWithError(outcome.message.c_str());
                return;
            }
        }
        ++round;
    }
    const double wall_all = bench::median(walls[0]), wall_one = bench::median(walls[1]);
    const double cpu_all = bench::median(cpus[0]), cpu_one = bench::median(cpus[1]);
    state.counters["rows"] = o.rows;
    state.counters["threads"] = job_threads();
    state.counters["wall_all_ms"] = 1000.0 * wall_all;
    state.counters["wall_one_ms"] = 1000.0 * wall_one;
    state.counters["cpu_all_ms"] = 1000.0 * cpu_all;
    state.counters["cpu_one_ms"] = 1000.0 * cpu_one;
    state.counters["cpu_ratio"] = cpu_one > 0.0 ? cpu_all / cpu_one : 0.0;
    state.counters["wall_ratio"] = wall_one > 0.0 ? wall_all / wall_one : 0.0;
}
BENCHMARK(BM_NonlinearRunThreads)->Unit(benchmark::kMillisecond)->Iterations(bench::iterations(5))->UseRealTime();

}  // namespace
