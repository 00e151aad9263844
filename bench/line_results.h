// A long straight line of pipes and its results file, for the benchmarks of
// the results reader and of the text report: `pipes` pipes of 40 in along
// X from node 4 (nodes in steps of 4; node numbers and coordinates stay
// within what a model holds up to 24,999 pipes), 12 in standard weight
// A106 B under B31.1, with an anchor, a guide and a vertical restraint every
// 50 nodes (an anchor at the first) and ten thermal sets. The model goes
// through the batch importer in pieces (its rows are more than one import
// takes), is saved as a model file, and its results file is written by the
// program's writer for the load cases asked for, with the run record and
// the model file's fingerprint, from made-up values that are the same at
// every run. open_line_results makes the line the program's current model
// again, whatever another benchmark did in between, and opens its results.
//
// The rows are more than the layout's 7,000 (which is no limit of the
// results, whose size is measured): the model file is written as a save
// writes it, but the model reader would refuse it, so the line is made
// again in memory where it is needed, the same to the bit.
#pragma once

#include "analysis/analysis_model.h"
#include "analysis/results_file.h"
#include "analysis_core/results_sink.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "framework/sha256.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/model_file.h"
#include "results/results_reader.h"

#include "program_models.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

namespace line_results {

struct LineResults {
    int pipes = 0;
    std::string model_path;
    std::string results_path;
    std::vector<int32_t> cases;     // the load-case codes, in file order
    int64_t case_block = 0;          // bytes of one load-case block
    std::vector<int64_t> offsets;    // each block's offset, in file order
};

// Ten thermal sets (temperature, pressure; a specific gravity, the added
// weight and the design temperature and pressure between the third and the
// fourth), so that the cases of sets 4 to 10 can be chosen.
inline constexpr const char* HEAD = "Long line\n"
                                    "OPTIONS\nB311,IN\n"
                                    "MATERIAL\nA106B,0.283,0.3\n"
                                    "A106B,70,27.9E6,6.0E-6,20000\nA106B,700,25.5E6,8.1E-6,16000\n"
                                    "PIPE\nP12,12.75,0.375\n"
                                    "LOADS\nL1,150,300,0,200,300,250,300,0,650,300,300,300,350,300,400,300,"
                                    "450,300,500,300,550,300,600,300\n"
                                    "LAYOUT\n";

// The number of the line's node i (0 for the first).
inline int node_number(int i)
{
    return 4 * (i + 1);
}

inline program_models::LayoutLines line_layout(int pipes)
{
    program_models::LayoutLines layout;
    layout.add("F" + std::to_string(node_number(0)) + ",MA106B,PP12,KA,CL=L1", true);
    for (int i = 1; i <= pipes; ++i) {
        // The line goes on from a From row at its last node now and then,
        // so that every piece of the import begins with one.
        if (i % 5000 == 0)
            layout.add("F" + std::to_string(node_number(i - 1)) + ",MA106B,PP12,CL=L1", true);
        const char* item = i % 50 == 0 ? ",KA" : i % 50 == 17 ? ",CG" : i % 50 == 33 ? ",CFY" : "";
        layout.add("T" + std::to_string(node_number(i)) + ",X40" + item);
    }
    return layout;
}

// The line as the program's current model (the program as at start-up
// first), with its load cases, named as its model file and not modified
// since it was saved there.
inline void make_line_model(const LineResults& l)
{
    program_models::install_analysis_program();
    program_models::import_in_pieces(HEAD, line_layout(l.pipes));
    load_case_list().clear();
    for (int32_t code : l.cases)
        load_case_list().add(code);
    model_file_path() = l.model_path;
    model_modified() = false;
}

// The line, saved as <folder>/line.mod, and its results file beside it.
inline std::unique_ptr<LineResults> make_line_results(int pipes, const std::vector<int32_t>& cases,
                                                      const std::filesystem::path& folder)
{
    auto made = std::make_unique<LineResults>();
    LineResults& l = *made;
    l.pipes = pipes;
    l.cases = cases;
    l.model_path = (folder / "line.mod").string();
    make_line_model(l);
    program_models::save_model_as(l.model_path);
    const std::unique_ptr<AnalysisModel> analysis = make_analysis_model();
    l.results_path = analysis->output.results_path;

    const Model& m = analysis->written_model();
    const auto n = static_cast<std::size_t>(m.numnodes()), e = static_cast<std::size_t>(m.numelems());
    const auto words = static_cast<std::size_t>(support_value_count(m));
    std::vector<CaseResults> values(cases.size());
    std::vector<const CaseResults*> written;
    for (std::size_t c = 0; c < cases.size(); ++c) {
        CaseResults& r = values[c];
        r.code = cases[c];
        r.displacements.resize(6 * n);
        for (std::size_t i = 0; i < r.displacements.size(); ++i)
            r.displacements[i] = 0.001 * static_cast<double>((i * 7 + c) % 1000);
        r.forces.resize(e);
        for (std::size_t i = 0; i < e; ++i)
            for (std::size_t j = 0; j < 12; ++j)
                r.forces[i].f[j + 1] = static_cast<double>(((12 * i + j) * 13 + c) % 5000) - 2500.0;
        r.support_loads.resize(words);
        for (std::size_t i = 0; i < words; ++i)
            r.support_loads[i] = static_cast<double>(i % 300 + c);
        written.push_back(&r);
    }
    write_results_file(l.results_path, *analysis, written);

    // The file names its model file by its contents.
    Sha256Digest of_model{}, carried{};
    if (!sha256_of_file(l.model_path, of_model) || !results_file_fingerprint(l.results_path, carried) ||
        carried != of_model)
        throw MessageText("The results file does not carry its model file's fingerprint: " + l.results_path);

    // Where the blocks lie, as the file's layout puts them.
    const int64_t support_bytes = 4 * static_cast<int64_t>(words);
    int64_t at = results_first_block_at(static_cast<int64_t>(e), 0);
    for (int32_t code : cases) {
        l.offsets.push_back(at);
        l.case_block = results_case_block_size(code, static_cast<int64_t>(n), static_cast<int64_t>(e), support_bytes);
        at += l.case_block;
    }
    return made;
}

// The line as the program's current model (made again when another is),
// and its results opened.
inline void open_line_results(const LineResults& l)
{
    if (model_file_path() != l.model_path || model_modified())
        make_line_model(l);
    read_results(l.results_path);
}

}  // namespace line_results
