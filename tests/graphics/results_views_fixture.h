// The graphics window on the scripted backend with results open: the L of
// the program fixture, and a results file written for it in the format the
// analysis writes (Sustained, and a modal block of three modes), read by the
// results reader as the results window reads it.
#pragma once

#include "analysis/results_file.h"
#include "framework/app_state.h"
#include "framework/binfile.h"
#include "graphics/graphics_program_fixture.h"
#include "graphics/shapes.h"
#include "model/load_cases.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_session.h"
#include "results/results_state.h"
#include "results/ui/results_hooks.h"

#include <cmath>
#include <vector>

class ResultsViewTest : public GraphicsProgramTest {
protected:
    void TearDown() override
    {
        close_results();
        in_results() = false;
        GraphicsProgramTest::TearDown();
    }

    // The translations of node i in Sustained: (0, 0.01 i, 0.002 i).
    static double sustained_value(int node, int d) { return d == 1 ? 0.01 * node : d == 2 ? 0.002 * node : 0.0; }
    // Mode m at node i: a shape along Z growing with m.
    static double mode_value(int mode, int node, int d) { return d == 2 ? 0.1 * mode * node : 0.0; }

    // The L, shown, with results of Sustained and of `modes` modes open.
    void open_results_of_l(int modes = 3)
    {
        l_model();
        show();
        LoadCaseList& cases = load_case_list();
        cases.clear();
        cases.add(LC_SUSTAINED);
        if (modes > 0)
            cases.add(LC_MODAL);
        make_model();
        const Model& m = model();
        const int n = m.numnodes(), e = m.numelems();
        results_path = path("model.res");
        BinFile file;
        ASSERT_TRUE(file.open_write(results_path));
        write_results_header(file);
        write_element_records(file, m);
        write_soil_restraints(file, {});
        for (int i = 1; i <= cases.count(); ++i) {
            if (cases.code(i) == LC_MODAL) {
                ModalBlock block;
                for (int mode = 1; mode <= modes; ++mode) {
                    block.frequencies.push_back(1.5 * mode);
                    std::vector<double> shape;
                    for (int node = 1; node <= n; ++node)
                        for (int d = 0; d < 6; ++d)
                            shape.push_back(mode_value(mode, node, d));
                    block.shapes.push_back(shape);
                    block.participation.push_back({1.0, 0.5, 0.25});
                }
                block.total_mass = 10.0;
                write_modal_block(file, block);
                continue;
            }
            std::vector<double> u, f, s;
            for (int node = 1; node <= n; ++node)
                for (int d = 0; d < 6; ++d)
                    u.push_back(sustained_value(node, d));
            f.assign(static_cast<std::size_t>(12 * e), 0.0);
            s.assign(3, 0.0);   // the restraint's three words
            write_case_block(file, u, {}, f, s);
        }
        write_hanger_designs(file, m);
        write_run_record(file, {});
        write_results_check(file);
        ASSERT_TRUE(file.close());
        load_results(results_path, "");
        ASSERT_TRUE(results_open());
        in_results() = true;
    }

    static void command(int id)
    {
        auto it = results_hooks().commands.find(id);
        ASSERT_NE(it, results_hooks().commands.end()) << id;
        it->second(id);
    }
    static std::string menu_text(int id)
    {
        const MenuItem* i = results_frame().menu.find(id);
        return i ? i->text : std::string();
    }

    std::string results_path;
};
