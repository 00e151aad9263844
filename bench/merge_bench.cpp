// File > Merge of a model file whose names clash with the model's: the model
// holds pipe materials M1 ... M998, the merged file M1 ... M5000
// (KV_BENCH_MERGE_NAMES sets another count; 200 in the brief pass), each
// named by one pipe of a line of its own. The clashes take "1" ... "998" and
// the merged rows follow them; the other names are appended as they are.
// Each merge starts from the model read again (not timed).
#include "materials/pipe_material.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/model_file.h"

#include "bench_setup.h"
#include "program_models.h"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <memory>
#include <string>

namespace {

constexpr int MODEL_NAMES = 998;

int merged_names()
{
    return bench::count("KV_BENCH_MERGE_NAMES", 5000, 200);
}

// A model of `count` materials M1 ... M<count> of one temperature row and a
// line of `count` pipes from node `first`, pipe i naming Mi, written to the
// path.
void write_line_of_materials(const std::string& path, int count, int first)
{
    init_model();
    for (int i = 1; i <= count; ++i) {
        PipeMaterial m;
        m.name = "M" + std::to_string(i);
        m.set_type("CS");
        m.nu = 0.3f;
        m.density = 0.283f;
        m.joint_factor = 1.0f;
        m.circ_joint_factor = 1.0f;
        m.table.push_back(PropertyRow{70.0f, 29.5e6f, 6.07e-6f, 20000.0f, 0.0f, 0.0f, 0.0f, 0.0f});
        pipe_materials().push_back(m);
    }
    for (int i = 0; i <= count; ++i) {
        const int index = append_layout_row();
        LayoutRow& r = model().rows[index];
        r.node = first + 10 * i;
        r.etype = i == 0 ? ET_FROM : ET_PIPE;
        r.dx = i == 0 ? 0.0f : 12.0f;
        r.material = i == 0 ? std::string() : "M" + std::to_string(i);
        r.create_element_object();
        r.create_data_object(index);
    }
    write_model_file(path);
}

struct MergeFiles {
    std::string model;
    std::string merged;
};

void BM_MergeClashingNames(benchmark::State& state)
{
    const int count = static_cast<int>(state.range(0));
    MergeFiles files;
    const bool made = bench::set_up(state, [&] {
        program_models::install_analysis_program();
        const std::string folder = bench::scratch_folder("merge").string();
        files = {folder + "/model.mod", folder + "/merged.mod"};
        write_line_of_materials(files.merged, count, 100000);
        write_line_of_materials(files.model, std::min(count, MODEL_NAMES), 10);
    });
    if (!made)
        return;
    for (auto _ : state) {
        state.PauseTiming();
        read_model(files.model);
        state.ResumeTiming();
        const MergeOutcome outcome = merge_model(files.merged);
        benchmark::DoNotOptimize(outcome.renames.size());
    }
    state.counters["names"] = count;
}
BENCHMARK(BM_MergeClashingNames)->Apply([](benchmark::internal::Benchmark* b) { b->Arg(merged_names()); })
    ->Unit(benchmark::kMillisecond);

}  // namespace
