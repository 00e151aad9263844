// A large nonlinear model analysed end to end, and saved.
//
// A generated plant network of 30,000 layout rows (KV_BENCH_ROWS sets
// another count): a 12 in header with 6 in branches off it and off each
// other, heated to 400 degF at 150 psi, on friction rests (limit stops along
// Y with no upper limit, mu 0.3) with guides with a gap every few rests and
// axial stops with gaps between them; anchors at the header's ends and at
// most branch ends. The default load cases of its one thermal set make the
// rests lift off and sit down and slide, so every case iterates.
//
// The batch importer takes at most 7,000 rows at a time, so the network is
// written as pieces that each go through the importer and are then laid end
// to end in one model: a piece begins with a From row at a node of the pieces
// before it, which the model build joins to that node.
//
// BM_NonlinearRun times make_analysis_model and run_analysis (results file
// included); its counters give the rows, equations, load cases, the
// iterations summed over the load cases and the factorisations (of a second,
// untimed run of the same model). BM_SaveModel times writing the model file.
//
// Comparing two builds: with KV_BENCH_SAVE_RESULTS=<path> the run writes
// every case's displacements, end forces and support loads there (doubles)
// with its iteration count; with KV_BENCH_COMPARE_RESULTS=<path> it reads
// such a file and gives, for the displacements, the end forces and the
// support loads, the largest difference of a case's vector relative to that
// vector's largest value, the worst over the cases, and the number of cases
// whose iteration count or convergence differs (cases_iterated_otherwise).
// The states the iterations settle on are settled only to the iteration
// tolerance, and a rest's sliding direction follows the least motion, so
// two correct solvers agree on this model only to about the tolerance; the
// variants below take the iterations out:
//   KV_BENCH_LINEAR=1      linear restraints where the supports would be (Y
//                          at the rests, across at the guides, along at the
//                          stops): one linear solve per case;
//   KV_BENCH_MU=<mu>       the rests' friction coefficient (0.3); with 0 the
//                          states are discrete and the last solution is one
//                          linear solve with them;
//   KV_BENCH_TOLERANCE=<t> the run's iteration tolerance, also below what
//                          the options take, and at most 1000 iterations.
#include "analysis/analysis_model.h"
#include "analysis/static_analysis.h"
#include "analysis_core/steps.h"
#include "exchange/batch_import.h"
#include "loads/pipe_load.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/ui/model_commands.h"

#include "bench_random.h"
#include "bench_setup.h"
#include "piping_network.h"
#include "program_models.h"
#include "program_runs.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <array>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

int bench_rows()
{
    return std::clamp(bench::count("KV_BENCH_ROWS", 30000, 300), 100, 99000);
}

const char* const HEAD = "OPTIONS\n"
                         "B313,IN\n"
                         "MATERIAL\n"
                         "A106B,0.283,0.3\n"
                         "A106B,70,27.9E6,6.0E-6,20000\n"
                         "A106B,700,27.9E6,8.1E-6,16000\n"
                         "PIPE\n"
                         "P12,12.75,0.375\n"
                         "P6,6.625,0.28\n"
                         "LOADS\n"
                         "OPER,400,150,1.0\n"
                         "LAYOUT\n";

// The layout lines of the network.
program_models::LayoutLines make_network(int rows)
{
    // The same network held by linear restraints where the supports would
    // be: for comparing the solvers without the iterations.
    const bool linear = std::getenv("KV_BENCH_LINEAR") != nullptr;
    const char* mu = std::getenv("KV_BENCH_MU");
    const std::string friction = ",MU=" + std::string(mu ? mu : "0.3");
    program_models::LayoutLines n;
    BenchRandom random(20250117);
    int node = 0;
    std::vector<int> header_nodes;
    auto add = [&n](std::string line, bool start = false) { n.add(std::move(line), start); };
    // A run of `count` spools from node `from` along the horizontal axis
    // `axis` ("X" or "Z") with its sign; the supports as described above.
    auto run = [&](int from, int count, const char* size, const char* axis, int sign, bool keep) {
        add("F" + std::to_string(from) + ",MA106B,PP" + size + (from == 1 ? ",KA" : "") + ",CL=OPER", true);
        int straight = random.between(4, 10);
        std::string direction = axis;
        int turn = sign;
        for (int c = 0; c < count && static_cast<int>(n.lines.size()) < rows; ++c) {
            // A long run goes on from a From row at its last node now and
            // then, so that every piece of the import begins with one.
            if (c > 0 && c % 5000 == 0)
                add("F" + std::to_string(node) + ",MA106B,PP" + size + ",CL=OPER", true);
            const int length = random.between(96, 216);
            if (--straight == 0) {
                // An L in the horizontal plane, now and then.
                direction = direction == "X" ? "Z" : "X";
                turn = random.below(2) ? 1 : -1;
                straight = random.between(4, 10);
            }
            std::string line = "T" + std::to_string(++node) + "," + direction + std::to_string(turn * length);
            const bool last = c + 1 == count || static_cast<int>(n.lines.size()) + 1 == rows;
            const std::string along = direction == "X" ? "DV(1,0,0)" : "DV(0,0,1)";
            const std::string along_fixed = direction == "X" ? "FX" : "FZ";
            const std::string across_fixed = direction == "X" ? "FZ" : "FX";
            if (last && random.below(10) < 7)
                line += ",KA";
            else if (c % 9 == 8)
                line += linear ? ",C" + along_fixed : ",CLS(-0.25,0.25)," + along;
            else if (c % 3 == 2)
                line += linear ? ",C" + across_fixed : ",CG,GGAP=0.0625";
            else if (c % 3 != 0)
                line += linear ? ",CFY" : ",CLS(0,NONE),DV(0,1,0)" + friction;
            add(line);
            if (keep)
                header_nodes.push_back(node);
        }
    };
    node = 1;
    run(1, rows / 6, "12", "X", 1, true);
    // Branches off the header and off each other.
    std::vector<int> all(header_nodes);
    while (static_cast<int>(n.lines.size()) < rows) {
        const int from = all[static_cast<std::size_t>(random.below(static_cast<int>(all.size())))];
        const int first = node + 1;
        run(from, random.between(8, 60), "6", random.below(2) ? "X" : "Z", random.below(2) ? 1 : -1, false);
        for (int k = first; k <= node; ++k)
            all.push_back(k);
    }
    return n;
}

// The network imported piece by piece and laid end to end in the model.
void build_model(int rows)
{
    program_models::install_analysis_program();
    program_models::import_in_pieces(HEAD, make_network(rows));
}

std::string scratch(const std::string& name)
{
    return (bench::scratch_folder("nonlinear") / name).string();
}

// Every vector of every case, in code order.
std::vector<std::vector<double>> result_vectors(const std::map<int, CaseResults>& cases)
{
    std::vector<std::vector<double>> out;
    for (const auto& [code, c] : cases) {
        out.push_back(c.displacements);
        std::vector<double> forces;
        for (const ElementVector& f : c.forces)
            for (int j = 1; j <= 12; ++j)
                forces.push_back(f.f[j]);
        out.push_back(std::move(forces));
        out.push_back(c.support_loads);
        out.push_back({static_cast<double>(c.iterations), c.converged ? 1.0 : 0.0});
    }
    return out;
}

void save_vectors(const std::string& path, const std::vector<std::vector<double>>& vectors)
{
    std::ofstream out(path, std::ios::binary);
    const std::uint64_t count = vectors.size();
    out.write(reinterpret_cast<const char*>(&count), sizeof count);
    for (const std::vector<double>& v : vectors) {
        const std::uint64_t size = v.size();
        out.write(reinterpret_cast<const char*>(&size), sizeof size);
        out.write(reinterpret_cast<const char*>(v.data()), static_cast<std::streamsize>(size * sizeof(double)));
    }
}

// The largest difference of each kind of vector (displacements, end
// forces, support loads) relative to that vector's largest value, the worst
// over the cases, and the count of cases whose iterations or convergence
// differ; -1 when the file does not hold the same vectors.
std::array<double, 4> compare_vectors(const std::string& path, const std::vector<std::vector<double>>& vectors)
{
    std::array<double, 4> worst{-1.0, -1.0, -1.0, -1.0};
    std::ifstream in(path, std::ios::binary);
    std::uint64_t count = 0;
    in.read(reinterpret_cast<char*>(&count), sizeof count);
    if (!in || count != vectors.size())
        return worst;
    worst = {0.0, 0.0, 0.0, 0.0};
    for (std::size_t k = 0; k < vectors.size(); ++k) {
        const std::vector<double>& v = vectors[k];
        std::uint64_t size = 0;
        in.read(reinterpret_cast<char*>(&size), sizeof size);
        if (!in || size != v.size())
            return {-1.0, -1.0, -1.0, -1.0};
        std::vector<double> old(size);
        in.read(reinterpret_cast<char*>(old.data()), static_cast<std::streamsize>(size * sizeof(double)));
        if (k % 4 == 3) {
            worst[3] += old != v ? 1.0 : 0.0;
            continue;
        }
        double largest = 0.0, difference = 0.0;
        for (std::size_t i = 0; i < size; ++i) {
            largest = std::max(largest, std::fabs(old[i]));
            difference = std::max(difference, std::fabs(old[i] - v[i]));
        }
        if (largest > 0.0)
            worst[k % 4] = std::max(worst[k % 4], difference / largest);
    }
    return worst;
}

void BM_NonlinearRun(benchmark::State& state)
{
    const int rows = bench_rows();
    if (!bench::set_up(state, [rows] {
            build_model(rows);
            make_analysis_model();
        }))
        return;
    int iterations = 0;
    int factorisations = 0;
    int equations = 0;
    std::map<int, CaseResults> results;
    for (auto _ : state) {
        std::unique_ptr<AnalysisModel> snapshot = make_analysis_model();
        snapshot->output.results_path = scratch("network.res");
        // Past what the options dialog takes: for comparing two solvers.
        if (const char* tolerance = std::getenv("KV_BENCH_TOLERANCE")) {
            snapshot->options.iteration_tolerance = static_cast<float>(std::atof(tolerance));
            snapshot->options.max_iterations = 1000;
        }
        iterations = 0;
        RunCallbacks callbacks;
        callbacks.progress = [&](const std::string& text) {
            if (text.rfind("Iteration ", 0) == 0)
                ++iterations;
        };
        // The run as Analyze makes it, and the results kept for the
        // comparison: the same solve with a run of its own.
        const RunOutcome outcome = run_analysis(*snapshot, callbacks);
        if (!outcome.completed) {
            state.SkipWithError(outcome.message.c_str());
            return;
        }
        state.PauseTiming();
        AnalysisRun run(*snapshot);
        results = solve_load_cases(run, {});
        equations = run.equation_count();
        factorisations = run.factorisations;
        state.ResumeTiming();
    }
    state.counters["rows"] = rows;
    state.counters["equations"] = equations;
    state.counters["load_cases"] = static_cast<double>(results.size());
    state.counters["iterations"] = iterations;
    state.counters["factorisations"] = factorisations;
    const std::vector<std::vector<double>> vectors = result_vectors(results);
    if (const char* path = std::getenv("KV_BENCH_SAVE_RESULTS"))
        save_vectors(path, vectors);
    if (const char* path = std::getenv("KV_BENCH_COMPARE_RESULTS")) {
        const std::array<double, 4> worst = compare_vectors(path, vectors);
        state.counters["difference_displacements"] = worst[0];
        state.counters["difference_forces"] = worst[1];
        state.counters["difference_support_loads"] = worst[2];
        state.counters["cases_iterated_otherwise"] = worst[3];
    }
}
BENCHMARK(BM_NonlinearRun)->Unit(benchmark::kMillisecond)->Iterations(1);

// The network of BM_NetworkRun and BM_NetworkBatchRun: its rows and seed.
piping_network::Options network_options()
{
    piping_network::Options o;
    o.rows = bench::count("KV_BENCH_NETWORK_ROWS", 7000, 300);
    const char* seed = std::getenv("KV_BENCH_SEED");
    o.seed = seed ? std::strtoull(seed, nullptr, 10) : 1;
    return o;
}

// The generated plant network of piping_network.h (KV_BENCH_NETWORK_ROWS
// rows, 7,000 unless set; KV_BENCH_SEED, 1; KV_BENCH_FRICTION=0 for none)
// run end to end as BM_NonlinearRun runs its model: with its rests, guides
// and stops (argument 0), and as the linear model of the same geometry
// with rigid restraints in their places (argument 1). The ratio of the two
// times is the cost of the supports' nonlinearity; the counters give the
// iterations and factorisations summed over the load cases.
void BM_NetworkRun(benchmark::State& state)
{
    piping_network::Options o = network_options();
    const char* friction = std::getenv("KV_BENCH_FRICTION");
    o.friction = !friction || std::atoi(friction) != 0;
    o.rigid = state.range(0) == 1;
    if (!bench::set_up(state, [&o] { program_models::import_batch_model(piping_network::batch_text(o)); }))
        return;
    int iterations = 0;
    int factorisations = 0;
    int unconverged = 0;
    for (auto _ : state) {
        std::unique_ptr<AnalysisModel> snapshot = make_analysis_model();
        snapshot->output.results_path = scratch("generated_network.res");
        const RunOutcome outcome = run_analysis(*snapshot, {});
        if (!outcome.completed) {
            state.SkipWithError(outcome.message.c_str());
            return;
        }
        state.PauseTiming();
        AnalysisRun run(*snapshot);
        const std::map<int, CaseResults> results = solve_load_cases(run, {});
        iterations = 0;
        unconverged = 0;
        for (const auto& [code, c] : results)
            if (step_row(code).solve == StepSolve::Static) {
                iterations += c.iterations;
                unconverged += c.converged ? 0 : 1;
            }
        factorisations = run.factorisations;
        state.ResumeTiming();
    }
    state.counters["rows"] = static_cast<double>(model().rows.size());
    state.counters["iterations"] = iterations;
    state.counters["factorisations"] = factorisations;
    state.counters["unconverged_cases"] = unconverged;
}
BENCHMARK(BM_NetworkRun)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->Iterations(bench::iterations(3));

// The same network as BM_NetworkRun end to end: the program (korvane beside
// this benchmark) runs its batch file in start-up batch mode, import, check,
// analysis, results and text report, with the rests, guides and stops and
// with rigid restraints in their places, a run of each in turn (the machine's
// load falls on both alike). The counters give the median wall time of each
// and their ratio, and the processor times.
void BM_NetworkBatchRun(benchmark::State& state)
{
    const std::string program = program_runs::program_path();
    if (program.empty()) {
        state.SkipWithError("the program korvane is not beside the benchmark");
        return;
    }
    piping_network::Options o = network_options();
    const std::string nonlinear = scratch("network_nonlinear.mbf"), rigid = scratch("network_rigid.mbf");
    std::ofstream(nonlinear) << piping_network::batch_text(o);
    o.rigid = true;
    std::ofstream(rigid) << piping_network::batch_text(o);
    std::vector<double> walls[2], cpus[2];
    for (auto _ : state)
        for (int kind = 0; kind < 2; ++kind) {
            const program_runs::RunTime t = program_runs::run_batch(program, kind == 0 ? nonlinear : rigid);
            if (!t.ok) {
                state.SkipWithError("the batch run failed");
                return;
            }
            walls[kind].push_back(t.wall);
            cpus[kind].push_back(t.cpu);
        }
    const double nonlinear_wall = bench::median(walls[0]), rigid_wall = bench::median(walls[1]);
    state.counters["nonlinear_ms"] = 1000.0 * nonlinear_wall;
    state.counters["rigid_ms"] = 1000.0 * rigid_wall;
    state.counters["ratio"] = rigid_wall > 0.0 ? nonlinear_wall / rigid_wall : 0.0;
    state.counters["nonlinear_cpu_ms"] = 1000.0 * bench::median(cpus[0]);
    state.counters["rigid_cpu_ms"] = 1000.0 * bench::median(cpus[1]);
}
BENCHMARK(BM_NetworkBatchRun)->Unit(benchmark::kMillisecond)->Iterations(bench::iterations(7))->UseRealTime();

// The occasional cases of a nonlinear model: the generated network of
// piping_network.h (KV_BENCH_OCCASIONAL_ROWS rows, 3,000 unless set; friction
// 0.3 on its rests and guides) run end to end as BM_NetworkRun runs it, with
// and without static seismic factors in three directions (0.3 g across both
// ways and 0.2 g vertical) and a wind along Z on every pipe. Each such case
// of the nonlinear model is the state its load reaches from Operating (W+P1+
// T1), and Seismic (g) is solved both ways in each direction: seven more
// nonlinear solutions from a converged state. The two runs go in turn (the
// machine's load falls on both alike); the counters give the median time of
// each, their ratio and the iterations of each (summed over the cases'
// lines). The solutions from Operating run on threads of their own at once,
// as many as the processors allow.
void BM_OccasionalRun(benchmark::State& state)
{
    piping_network::Options o;
    o.rows = bench::count("KV_BENCH_OCCASIONAL_ROWS", 3000, 300);
    o.mu = 0.3;
    std::string texts[2] = {piping_network::batch_text(o), piping_network::batch_text(o)};
    const std::size_t layout = texts[1].find("LAYOUT\n");
    if (layout == std::string::npos) {
        state.SkipWithError("the network has no layout");
        return;
    }
    texts[1].replace(layout, 7,
                     "SEISMIC\n0.3,0.2,0.3\nWIND1\n0,0.7,0,0,1,0,0,0,0\n2\n0,0.1\n480,0.2\nLAYOUT\n");
    std::vector<double> times[2];
    int iterations[2] = {};
    for (auto _ : state)
        for (int kind = 0; kind < 2; ++kind) {
            std::unique_ptr<AnalysisModel> snapshot;
            if (!bench::set_up(state, [&] {
                    program_models::install_analysis_program();
                    init_model();
                    std::istringstream in(texts[kind]);
                    import_batch_text(in);
                    for (int i = 1; i <= pipe_loads().size(); ++i)
                        pipe_loads()[i].wind = kind == 1 ? 1 : 0;
                    make_model();
                    snapshot = make_analysis_model();
                }))
                return;
            snapshot->output.results_path = scratch("occasional_network.res");
            const auto start = std::chrono::steady_clock::now();
            const RunOutcome outcome = run_analysis(*snapshot, {});
            times[kind].push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count());
            if (!outcome.completed || !outcome.unconverged.empty()) {
                state.SkipWithError(outcome.completed ? "a case did not converge" : outcome.message.c_str());
                return;
            }
            // The iterations of every case, as its line gives them ("...
            // converged in 17 iterations, ...").
            iterations[kind] = 0;
            for (const std::string& note : outcome.case_notes)
                if (const std::size_t at = note.find(" in "); at != std::string::npos)
                    iterations[kind] += std::atoi(note.c_str() + at + 4);
        }
    const double without = bench::median(times[0]), with = bench::median(times[1]);
    state.counters["rows"] = o.rows;
    state.counters["without_ms"] = 1000.0 * without;
    state.counters["with_ms"] = 1000.0 * with;
    state.counters["ratio"] = without > 0.0 ? with / without : 0.0;
    state.counters["iterations_without"] = iterations[0];
    state.counters["iterations_with"] = iterations[1];
}
BENCHMARK(BM_OccasionalRun)->Unit(benchmark::kMillisecond)->Iterations(bench::iterations(5))->UseRealTime();

void BM_SaveModel(benchmark::State& state)
{
    const int rows = bench_rows();
    if (!bench::set_up(state, [rows] { build_model(rows); }))
        return;
    const std::string path = scratch("network.mod");
    for (auto _ : state)
        write_model_file(path);
    state.counters["rows"] = rows;
    state.counters["bytes"] = static_cast<double>(std::filesystem::file_size(path));
}
BENCHMARK(BM_SaveModel)->Unit(benchmark::kMillisecond);

}  // namespace
