// The piping-code evaluation next to reading the results file it works on.
//
// A 7000-row B31.3 model, written as a batch file and imported: 8 in STD
// runs in blocks of seven rows (two legs along X and Z with a long-radius
// elbow at each corner, a welding tee with a 4 in branch to an anchor, an
// anchor closing the block), ten thermal sets from 150 to 600 degF at 300
// psi, and 20 results load cases (Sustained, ten Expansion and nine
// Operating cases). It is analysed once into a results file.
//
//   ReadResultsFile      reads the file as results open and show it: the
//                        header, the element records and every load case's
//                        displacements, element forces and support loads
//                        (from the page cache, as right after the run)
//   ReadResultsFileFromDisk  the same bytes with the file first dropped
//                        from the page cache
//   CodeEvaluation       the whole evaluation (SIFs, every end's stress and
//                        allowable in every case) on forces already in memory
//   CodeEvaluationFromFile  the same, reading each case's forces from the file
//
//   CodeSifsOnly         the SIFs of every element end alone
//
// The ratio of CodeEvaluation to the reads is the evaluation's share.
#include "analysis/analysis_model.h"
#include "analysis/static_analysis.h"
#include "analysis_core/results_sink.h"
#include "codes/code_evaluation.h"
#include "elements/element_analysis.h"
#include "elements/element_classes.h"
#include "exchange/batch_import.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "loads/loads_install.h"
#include "materials/property_sets.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "qualification/equipment.h"
#include "supports/supports.h"

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

constexpr int ROWS = 7000;

std::string model_text()
{
    std::ostringstream t;
    t << "Code stress benchmark\nOPTIONS\nB313,IN\nMATERIAL\nA106B,0.283,0.3\n"
         "A106B,70,27.9E6,6.0E-6,20000\nA106B,700,25.5E6,8.1E-6,16000\nPIPE\nP8,8.625,0.322\nP4,4.5,0.237\n"
         "LOADS\n"
         // T1, P1, SG, T2, P2, T3, P3, added weight, design T and P, T4, P4 ... T10, P10.
         "L1,150,300,0,200,300,250,300,0,650,300,300,300,350,300,400,300,450,300,500,300,550,300,600,300";
    t << "\nLAYOUT\nF10,MA106B,PP8,KA,CL=L1\n";
    int node = 10, rows = 1;
    while (rows + 7 <= ROWS) {
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

// The analysed model and its results file, made once.
struct Fixture {
    std::string folder;
    std::unique_ptr<AnalysisModel> model;
    std::vector<int32_t> cases;
    std::map<int32_t, int64_t> force_block;
    std::map<int32_t, OneBased<ElementForces>> forces;

    Fixture()
    {
        install_property_sets();
        install_loads();
        install_element_classes();
        install_supports();
        install_equipment();
        install_element_analysis();
        std::istringstream in(model_text());
        import_batch_text(in);
        cases = {LC_SUSTAINED, 2, 3, 4, 51, 52, 53, 54, 55, 56, 57, 8, 9, 10, 100, 101, 102, 103, 104, 105};
        load_case_list().clear();
        for (int32_t c : cases)
            load_case_list().add(c);
        make_model();
        model = make_analysis_model();
        std::string pattern = (std::filesystem::temp_directory_path() / "codes-bench-XXXXXX").string();
        if (!mkdtemp(pattern.data()))
            throw MessageText("no scratch folder");
        folder = pattern;
        model->output.results_path = folder + "/model.res";
        const RunOutcome outcome = run_analysis(*model, {});
        if (!outcome.completed)
            throw MessageText(outcome.message);
        locate();
        for (int32_t c : cases)
            forces[c] = read_forces(c);
    }
    ~Fixture()
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }

    void locate()
    {
        const Model& m = model->model;
        const int64_t e = m.numelems(), nodes = 24 * int64_t{m.numnodes()};
        int64_t p = 24 + 32 * e;   // no soil restraints
        for (int i = 1; i <= model->load_cases.count(); ++i) {
            force_block[model->load_cases.code(i)] = p + nodes;
            p += nodes + 48 * e + 4 * int64_t{support_value_count(m)};
        }
    }

    OneBased<ElementForces> read_forces(int32_t code) const
    {
        OneBased<ElementForces> out(model->model.numelems());
        BinFile f;
        f.open_read(model->output.results_path);
        f.seek(force_block.at(code));
        f.read_floats(out[1].data(), 12 * static_cast<std::size_t>(out.size()));
        return out;
    }
};

Fixture& fixture()
{
    static Fixture f;
    return f;
}

void ReadResultsFile(benchmark::State& state)
{
    Fixture& fx = fixture();
    const Model& m = fx.model->model;
    const int elements = m.numelems(), nodes = m.numnodes(), supports = support_value_count(m);
    std::vector<float> displacements(6 * static_cast<std::size_t>(nodes));
    std::vector<float> forces(12 * static_cast<std::size_t>(elements));
    std::vector<float> loads(static_cast<std::size_t>(supports) + 1);
    std::vector<int32_t> records(8 * static_cast<std::size_t>(elements));
    for (auto _ : state) {
        BinFile f;
        f.open_read(fx.model->output.results_path);
        char header[16];
        f.read(header, 16);
        f.read_int();
        f.read_ints(records.data(), records.size());
        f.read_int();
        for (std::size_t c = 0; c < fx.cases.size(); ++c) {
            f.read_floats(displacements.data(), displacements.size());
            f.read_floats(forces.data(), forces.size());
            f.read_floats(loads.data(), static_cast<std::size_t>(supports));
        }
        benchmark::DoNotOptimize(forces.data());
    }
    state.counters["elements"] = elements;
    state.counters["cases"] = static_cast<double>(fx.cases.size());
}
BENCHMARK(ReadResultsFile)->Unit(benchmark::kMillisecond);

// The same read with the file dropped from the page cache before each
// round, as when results are opened some time after the run.
void ReadResultsFileFromDisk(benchmark::State& state)
{
    Fixture& fx = fixture();
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
    Fixture& fx = fixture();
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
    Fixture& fx = fixture();
    CodeStressRequest q;
    q.model = fx.model.get();
    q.load_cases = fx.cases;
    q.forces = [&fx](int32_t code, OneBased<ElementForces>& out) { out = fx.read_forces(code); };
    for (auto _ : state) {
        const CodeStressResults r = evaluate_code_stresses(q);
        benchmark::DoNotOptimize(r.cases.data());
    }
}
BENCHMARK(CodeEvaluationFromFile)->Unit(benchmark::kMillisecond);

// The SIFs of every element end alone, the evaluation's first part.
void CodeSifsOnly(benchmark::State& state)
{
    Fixture& fx = fixture();
    for (auto _ : state) {
        CodeNotes notes;
        const ModelSifs s = element_end_sifs(*fx.model, notes);
        benchmark::DoNotOptimize(s.elements.data());
    }
}
BENCHMARK(CodeSifsOnly)->Unit(benchmark::kMillisecond);

}  // namespace
