// The piping-code evaluation next to reading the results file it works on.
//
// A 7000-row B31.3 model (KV_BENCH_CODE_ROWS, 700 in the brief pass),
// written as a batch file and imported: 8 in STD
// runs in blocks of seven rows (two legs along X and Z with a long-radius
// elbow at each corner, a welding tee with a 4 in branch to an anchor, an
// anchor closing the block), ten thermal sets from 150 to 600 degF at 300
// psi, and 20 results load cases (Sustained, ten Expansion and nine
// Operating cases). It is saved and analysed once into its results file.
//
//   ReadResultsFile      reads the file as results open and show it, with
//                        the program's results reader: the checks against
//                        the model, the element records and every load
//                        case's displacements, element forces and support
//                        loads (from the page cache, as right after the run)
//   ReadResultsFileFromDisk  the file's bytes with the file first dropped
//                        from the page cache
//   CodeEvaluation       the whole evaluation (SIFs, every end's stress and
//                        allowable in every case) on forces already in memory
//   CodeEvaluationFromFile  the same, reading each case's forces from the
//                        file with the reader the code evaluation uses
//
//   CodeSifsOnly         the SIFs of every element end alone
//
// The ratio of CodeEvaluation to the reads is the evaluation's share.
#include "analysis/analysis_model.h"
#include "analysis/static_analysis.h"
#include "codes/code_evaluation.h"
#include "exchange/batch_import.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_session.h"

#include "bench_setup.h"
#include "program_models.h"

#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

// 7,000 rows, or 700 in the brief pass.
int model_rows()
{
    return bench::count("KV_BENCH_CODE_ROWS", 7000, 700);
}

std::string model_text(int rows_wanted)
{
    std::ostringstream t;
    t << "Code stress benchmark\nOPTIONS\nB313,IN\nMATERIAL\nA106B,0.283,0.3\n"
         "A106B,70,27.9E6,6.0E-6,20000\nA106B,700,25.5E6,8.1E-6,16000\nPIPE\nP8,8.625,0.322\nP4,4.5,0.237\n"
         "LOADS\n"
         // T1, P1, SG, T2, P2, T3, P3, added weight, design T and P, T4, P4 ... T10, P10.
         "L1,150,300,0,200,300,250,300,0,650,300,300,300,350,300,400,300,450,300,500,300,550,300,600,300";
    t << "\nLAYOUT\nF10,MA106B,PP8,KA,CL=L1\n";
    int node = 10, rows = 1;
    while (rows + 7 <= rows_wanted) {
        const int a = node + 10, b = node + 20, c = node + 30, d = node + 40, e = node + 50;
        t << "T" << a << ",X120,KI,B12\n"
          << "T" << b << ",Z120,KI,B12\n"
          << "T" << c << ",X120,KT\n"
          << "T" << d << ",X120,KA\n"
          << "F" << c << ",PP4\n"
          << "T" << e << ",Y60,KA\n"
          << "F" << d << ",PP8\n";
        node = e;
        rows += 7;
    }
    return t.str();
}

// The model, saved and analysed once into its results file as Analyze does,
// and each case's forces read back.
struct Fixture {
    std::string model_path;
    std::unique_ptr<AnalysisModel> model;
    std::vector<int32_t> cases;
    std::map<int32_t, OneBased<ElementForces>> forces;

    Fixture()
    {
        program_models::install_analysis_program();
        std::istringstream in(model_text(model_rows()));
        import_batch_text(in);
        cases = {LC_SUSTAINED, 2, 3, 4, 51, 52, 53, 54, 55, 56, 57, 8, 9, 10, 100, 101, 102, 103, 104, 105};
        load_case_list().clear();
        for (int32_t c : cases)
            load_case_list().add(c);
        model_path = (bench::scratch_folder("codes") / "model.mod").string();
        program_models::save_model_as(model_path);
        model = make_analysis_model();
        const RunOutcome outcome = run_analysis(*model, {});
        if (!outcome.completed)
            throw MessageText(outcome.message);
        open_results();
        for (int32_t c : cases)
            read_load_case_forces_of(c, forces[c]);
        close_results();
    }

    const std::string& path() const { return model->output.results_path; }

    // The model the program's current one (opened again from its file when
    // another benchmark left another), and its results open.
    void open_results() const
    {
        program_models::reopen_saved_model(model_path);
        read_results(path());
    }
};

Fixture* fixture(benchmark::State& state)
{
    static bench::Shared<Fixture> made([] { return std::make_unique<Fixture>(); });
    return made.get(state);
}

// The fixture with its results open; null (the benchmark skipped) when
// either failed.
Fixture* fixture_with_results(benchmark::State& state)
{
    Fixture* fx = fixture(state);
    if (fx && !bench::set_up(state, [fx] { fx->open_results(); }))
        return nullptr;
    return fx;
}

void ReadResultsFile(benchmark::State& state)
{
    Fixture* fx = fixture_with_results(state);
    if (!fx)
        return;
    for (auto _ : state) {
        read_results(fx->path());
        for (int c = 1; c <= results().load_case_count(); ++c) {
            set_results_load_case_index(c);
            read_load_case_displacements();
            read_load_case_forces();
            read_load_case_support_loads();
        }
        benchmark::DoNotOptimize(results().forces[1][0]);
    }
    close_results();
    state.counters["elements"] = fx->model->model.numelems();
    state.counters["cases"] = static_cast<double>(fx->cases.size());
}
BENCHMARK(ReadResultsFile)->Unit(benchmark::kMillisecond);

void ReadResultsFileFromDisk(benchmark::State& state)
{
    Fixture* made = fixture(state);
    if (!made)
        return;
    const Fixture& fx = *made;
    const Model& m = fx.model->model;
    const std::size_t bytes = std::filesystem::file_size(fx.model->output.results_path);
    std::vector<char> buffer(bytes);
    for (auto _ : state) {
        state.PauseTiming();
        const int fd = open(fx.model->output.results_path.c_str(), O_RDONLY);
        fdatasync(fd);
        posix_fadvise(fd, 0, 0, POSIX_FADV_DONTNEED);
        close(fd);
        state.ResumeTiming();
        BinFile f;
        f.open_read(fx.model->output.results_path);
        f.read(buffer.data(), bytes);
        benchmark::DoNotOptimize(buffer.data());
    }
    state.counters["elements"] = m.numelems();
    state.counters["MB"] = static_cast<double>(bytes) / 1.0e6;
}
BENCHMARK(ReadResultsFileFromDisk)->Unit(benchmark::kMillisecond);

void CodeEvaluation(benchmark::State& state)
{
    Fixture* made = fixture(state);
    if (!made)
        return;
    const Fixture& fx = *made;
    CodeStressRequest q;
    q.model = fx.model.get();
    q.load_cases = fx.cases;
    q.forces = [&fx](int32_t code, OneBased<ElementForces>& out) { out = fx.forces.at(code); };
    std::size_t evaluated = 0;
    for (auto _ : state) {
        const CodeStressResults r = evaluate_code_stresses(q);
        evaluated = r.cases.size();
        benchmark::DoNotOptimize(r.cases.data());
    }
    // The file's load cases, and those of them with a code stress.
    state.counters["cases"] = static_cast<double>(fx.cases.size());
    state.counters["stress_cases"] = static_cast<double>(evaluated);
}
BENCHMARK(CodeEvaluation)->Unit(benchmark::kMillisecond);

void CodeEvaluationFromFile(benchmark::State& state)
{
    const Fixture* fx = fixture_with_results(state);
    if (!fx)
        return;
    CodeStressRequest q;
    q.model = fx->model.get();
    q.load_cases = fx->cases;
    q.forces = [](int32_t code, OneBased<ElementForces>& out) { read_load_case_forces_of(code, out); };
    for (auto _ : state) {
        const CodeStressResults r = evaluate_code_stresses(q);
        benchmark::DoNotOptimize(r.cases.data());
    }
    close_results();
}
BENCHMARK(CodeEvaluationFromFile)->Unit(benchmark::kMillisecond);

// The SIFs of every element end alone, the evaluation's first part.
void CodeSifsOnly(benchmark::State& state)
{
    const Fixture* fx = fixture(state);
    if (!fx)
        return;
    for (auto _ : state) {
        CodeNotes notes;
        const ModelSifs s = element_end_sifs(*fx->model, notes);
        benchmark::DoNotOptimize(s.elements.data());
    }
}
BENCHMARK(CodeSifsOnly)->Unit(benchmark::kMillisecond);

}  // namespace
