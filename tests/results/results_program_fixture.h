// The program started on the scripted backend with every subsystem up to
// the results window, and the sample model beside it with its results (the
// build makes both from examples/sample.mbf with the program itself). The
// result tables of later issues are stood in for by a plain table that
// names its result and the current load case in its title, steps the load
// case with the arrow keys and counts how often it was shown.
#pragma once

#include "analysis/analysis_model.h"
#include "analysis/results_file.h"
#include "analysis/ui/analysis_ui.h"
#include "analysis_core/results_sink.h"
#include "framework/binfile.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/data/thrown_text.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "loads/time_function.h"
#include "loads/ui/loads_subsystem.h"
#include "materials/program_fixture.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/ui/model_commands.h"
#include "results/results_load_cases.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"
#include "results/ui/time_history_ui.h"
#include "results/stand_in_table.h"
#include "supports/ui/supports_ui.h"

#include <filesystem>
#include <map>

class ResultsProgramTest : public HeadlessProgramTest {
protected:
    void register_higher_subsystems() override
    {
        register_subsystem(install_elements_ui);
        register_subsystem(install_element_analysis);
        register_subsystem(install_supports_ui);
        register_subsystem(install_loads_subsystem);
        register_subsystem(install_analysis_commands);
        register_subsystem(install_results_ui);
    }
    void SetUp() override
    {
        HeadlessProgramTest::SetUp();
        const std::filesystem::path built = std::filesystem::path(KV_PROGRAM_PATH).parent_path();
        for (const char* name : {"sample.mod", "sample.res"})
            std::filesystem::copy_file(built / name, folder / name, std::filesystem::copy_options::overwrite_existing);
        // The model file as old as its results, or older.
        const auto results_time = std::filesystem::last_write_time(folder / "sample.res");
        std::filesystem::last_write_time(folder / "sample.mod", results_time - std::chrono::seconds(5));
        if (real_tables)
            return;
        // The window's own tests see only the stand-ins: the result tables
        // of the window are taken out again.
        ResultsHooks& h = results_hooks();
        for (int kind = 0; kind < RESULT_KINDS; ++kind)
            if (kind != RESULT_TIME_HISTORY && kind != RESULT_SUPPORT_LOADS && kind != RESULT_SUPPORT_SUMMARY)
                h.show[static_cast<std::size_t>(kind)] = nullptr;
        h.support_loads = {};
        h.support_summary = {};
        set_global_element_forces({});
        for (int kind : {RESULT_DISPLACEMENTS, RESULT_ELEMENT_FORCES, RESULT_SORTED_STRESSES, RESULT_HANGER_REPORT,
                         RESULT_FREQUENCIES})
            stand_in(kind);
    }
    void TearDown() override
    {
        terminate_results();
        tables.clear();
        HeadlessProgramTest::TearDown();
    }
    // A stand-in table for a result.
    StandInTable& stand_in(int kind)
    {
        auto& t = tables[kind];
        t = std::make_unique<StandInTable>(kind, std::string("Stand-in ") + std::to_string(kind));
        StandInTable* table = t.get();
        results_hooks().show[static_cast<std::size_t>(kind)] = [table] { table->show(); };
        return *table;
    }
    // Opens the sample model and its results (the chooser is answered by
    // `chooser`, or cancelled).
    void open_sample()
    {
        open_by_extension(path("sample.mod"));
        ASSERT_FALSE(model_modified());
        open_results();
        hb->run_loop();
    }
    std::string results_title() const { return frame_title(results_frame()); }

    // Results of the sample with Time history after its own cases, written
    // here (zeros in the static cases), and a time-history file of `steps`
    // steps: word w of the support block at step t is (t - 2.5)(w + 1),
    // displacement value d of node n is t + n + d / 10, force k of element
    // e is t e - k. The sample must be open.
    void write_time_history_results(int steps)
    {
        LoadCaseList cases = analysis_load_cases();
        cases.add(LC_TIME_HISTORY);
        load_case_list() = cases;
        time_history_options().save_results = 1;
        const Model& m = model();
        const auto n = static_cast<std::size_t>(m.numnodes()), e = static_cast<std::size_t>(m.numelems());
        const auto words = static_cast<std::size_t>(support_value_count(m));
        BinFile file;
        ASSERT_TRUE(file.open_write(path("sample.res")));
        write_results_header(file);
        write_element_records(file, m);
        write_soil_restraints(file, {});
        for (int i = 1; i <= cases.count(); ++i)
            write_case_block(file, std::vector<double>(6 * n), {}, std::vector<double>(12 * e),
                             std::vector<double>(words));
        write_hanger_designs(file, m);
        write_run_record(file, {});
        write_results_check(file);
        ASSERT_TRUE(file.close());
        std::vector<TimeHistoryStep> history;
        for (int t = 1; t <= steps; ++t) {
            TimeHistoryStep step;
            for (std::size_t node = 1; node <= n; ++node)
                for (int d = 0; d < 6; ++d)
                    step.displacements.push_back(t + static_cast<double>(node) + d / 10.0);
            for (std::size_t el = 1; el <= e; ++el)
                for (int k = 0; k < 12; ++k)
                    step.forces.push_back(static_cast<double>(t) * static_cast<double>(el) - k);
            for (std::size_t w = 0; w < words; ++w)
                step.support_loads.push_back((t - 2.5) * static_cast<double>(w + 1));
            history.push_back(step);
        }
        write_time_history_file(path("sample.rth"), 0.05, history);
    }
    Script& script() const { return hb->script(); }

    std::map<int, std::unique_ptr<StandInTable>> tables;
    // The result tables of the window instead of the stand-ins.
    bool real_tables = false;
};
