// The modal result tables of the results window: a pipe of two elements
// from an anchor, saved, with results holding Modal analysis (three modes
// written here) and a dynamic susceptibility file of two modes. The
// frequency table shows the modes with their periods and mass shares worked
// by hand and makes the row's mode current (select_mode, clamped); the
// susceptibility table works the stress per unit velocity of each mode
// (checked against the stress range worked in the test) and names the mode
// markers; the dynamic stresses table steps the modes with Right and Left;
// the response spectrum's accelerations show in g.
#include "results/ui/soil_acceleration_tables.h"
#include "results/ui/modal_results_ui.h"
#include "results_program_fixture.h"
#include "analysis/susceptibility_file.h"
#include "framework/strings.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "materials/pipe_section.h"
#include "results/results_reader.h"

#include <cmath>
#include <fstream>
#include <numbers>

namespace {

class ModalResultsTest : public ResultsProgramTest {
protected:
    void SetUp() override
    {
        ResultsProgramTest::SetUp();
        install_modal_results();
        install_soil_and_acceleration_tables();
        PipeSection section;
        section.name = "6";
        section.outside_diameter = 6.625f;
        section.thickness = 0.28f;
        pipe_sections().push_back(section);
        Model& m = model();
        for (int i = 0; i <= 2; ++i) {
            const int r = append_layout_row();
            LayoutRow& row = m.rows[r];
            row.node = 10 * (i + 1);
            row.etype = i == 0 ? ET_FROM : ET_PIPE;
            row.dx = i == 0 ? 0.0f : 60.0f;
            row.dtype = i == 0 ? DT_ANCHOR : DT_NONE;
            row.section = "6";
            row.create_element_object();
            row.create_data_object(r);
        }
        make_model();
        set_model_file_path(path("modal.mod"));
        ASSERT_TRUE(save_model(0));
        load_case_list().clear();
        load_case_list().add(LC_SUSTAINED);
        load_case_list().add(LC_MODAL);
        load_case_list().add(LC_RESPONSE_SPECTRUM);
        const auto n = static_cast<std::size_t>(m.numnodes()), e = static_cast<std::size_t>(m.numelems());
        ModalBlock modal;
        modal.frequencies = {1.5, 3.25, 7.0};
        for (int mode = 1; mode <= 3; ++mode) {
            std::vector<double> shape(6 * n, 0.0);
            shape[6 * (n - 1) + 1] = mode;   // the last node's Y
            modal.shapes.push_back(shape);
        }
        modal.participation = {{2.0, -1.0, 0.5}, {0.25, 3.0, -1.5}, {-4.0, 0.5, 2.5}};
        modal.total_mass = 40.0;
        BinFile file;
        ASSERT_TRUE(file.open_write(path("modal.res")));
        write_results_header(file);
        write_element_records(file, m);
        write_soil_restraints(file, {});
        write_case_block(file, std::vector<double>(6 * n), {}, std::vector<double>(12 * e),
                         std::vector<double>(static_cast<std::size_t>(support_value_count(m))));
        write_modal_block(file, modal);
        // The response spectrum's accelerations: node index k moves k g in
        // X and half a g down in Y.
        std::vector<double> accelerations(6 * n, 0.0);
        for (std::size_t k = 1; k <= n; ++k) {
            accelerations[6 * (k - 1)] = 386.4 * static_cast<double>(k);
            accelerations[6 * (k - 1) + 1] = -193.2;
        }
        write_case_block(file, std::vector<double>(6 * n), accelerations, std::vector<double>(12 * e),
                         std::vector<double>(static_cast<std::size_t>(support_value_count(m))));
        write_hanger_designs(file, m);
        write_run_record(file, {});
        write_results_check(file);
        ASSERT_TRUE(file.close());
    }
    // Two susceptibility modes: mode 1 loads the first element's far end
    // (torsion 500, My 3000, Mz 4000 in-lb) and its velocity peaks at node
    // index 3; mode 2 bends the second element's near end (Mz 1000) with its
    // velocity at node index 2.
    void write_susceptibility()
    {
        const int e = model().numelems();
        std::vector<SusceptibilityMode> modes(2);
        modes[0] = {2.5f, 3, 0.01f, std::vector<float>(12 * static_cast<std::size_t>(e), 0.0f)};
        modes[1] = {6.0f, 2, 0.02f, std::vector<float>(12 * static_cast<std::size_t>(e), 0.0f)};
        modes[0].forces[6 + 3] = 500.0f;
        modes[0].forces[6 + 4] = 3000.0f;
        modes[0].forces[6 + 5] = 4000.0f;
        modes[1].forces[12 + 5] = 1000.0f;
        write_susceptibility_file(path("modal.rds"), e, modes);
    }
    void open()
    {
        open_results();
        hb->run_loop();
        ASSERT_TRUE(in_results());
        ASSERT_EQ(results().modal.modes, 3);
    }
    // Z of the 6 inch pipe: pi (D^4 - d^4) / 32 D.
    static double section_modulus()
    {
        const double d = 6.625f, t = 0.28f, di = d - 2 * t;
        return std::numbers::pi * (std::pow(d, 4) - std::pow(di, 4)) / (32 * d);
    }
    static std::string cell(TableWindow& t, int row, int column) { return t.cell_text(row, column, 0); }
};

}  // namespace

TEST_F(ModalResultsTest, FrequencyTableListsTheModesTheirMassSharesAndSelectsTheMode)
{
    open();
    results_hooks().show[RESULT_FREQUENCIES]();
    EXPECT_EQ(current_result(), RESULT_FREQUENCIES);
    TableWindow& t = frequency_table();
    ASSERT_EQ(t.row_count, 4);   // three modes and the total
    EXPECT_EQ(cell(t, 2, 1), "2");
    EXPECT_EQ(cell(t, 2, 2), "3.250");
    EXPECT_EQ(cell(t, 2, 3), "0.3077");   // 1 / 3.25 Hz
    EXPECT_EQ(cell(t, 3, 4), "-4");
    // Mass share G^2 / 40: mode 1 in X 4 / 40, mode 2 in Y 9 / 40; the
    // totals (4 + 0.0625 + 16) / 40 and (1 + 9 + 0.25) / 40.
    EXPECT_EQ(cell(t, 1, 7), "10.00");
    EXPECT_EQ(cell(t, 2, 8), "22.50");
    EXPECT_EQ(cell(t, 4, 1), "Total");
    EXPECT_EQ(cell(t, 4, 7), "50.16");
    EXPECT_EQ(cell(t, 4, 8), "25.62");

    // The row's mode becomes current with its shape.
    table_goto_row(t, 3);
    EXPECT_EQ(results().current_mode, 3);
    EXPECT_EQ(results().loaded.mode, 3);
    EXPECT_EQ(results().displacements[model().numnodes()][1], 3.0f);
    select_mode(9);
    EXPECT_EQ(results().current_mode, 3);
    select_mode(-2);
    EXPECT_EQ(results().current_mode, 1);
    EXPECT_EQ(results().displacements[model().numnodes()][1], 1.0f);
    // Without a susceptibility file the dynamic tables are not offered.
    EXPECT_TRUE(results_mode_susceptibility().empty());
    EXPECT_FALSE(results_hooks().available[RESULT_DYNAMIC_SUSCEPTIBILITY]());
}

TEST_F(ModalResultsTest, ModalReportHeadingCountsTheModesNotTheTotalRow)
{
    open();
    results_hooks().show[RESULT_FREQUENCIES]();
    TableWindow& t = frequency_table();
    ASSERT_EQ(t.row_count, 4);   // three modes and the total
    // The text report and the CSV: three modes, and the Total row printed.
    for (const bool csv : {false, true}) {
        SCOPED_TRACE(csv ? "csv" : "text");
        report_begin_text(csv);
        csv ? t.print_csv() : t.print_text();
        const std::string text = report_end_text();
        EXPECT_NE(text.find("Natural Frequencies (3)"), std::string::npos) << text;
        EXPECT_EQ(text.find("Natural Frequencies (4)"), std::string::npos) << text;
        EXPECT_NE(text.find("Total"), std::string::npos) << text;
    }
}

TEST_F(ModalResultsTest, SusceptibilityGivesEachModesStressPerVelocityAndItsMarkers)
{
    write_susceptibility();
    open();
    ASSERT_TRUE(results_hooks().available[RESULT_DYNAMIC_SUSCEPTIBILITY]());
    results_hooks().show[RESULT_DYNAMIC_SUSCEPTIBILITY]();
    EXPECT_EQ(current_result(), RESULT_DYNAMIC_SUSCEPTIBILITY);
    TableWindow& t = susceptibility_table();
    ASSERT_EQ(t.row_count, 2);

    // Mode 1: Sb = sqrt(4000^2 + 3000^2) / Z = 5000 / Z, St = 500 / 2Z, the
    // range sqrt(Sb^2 + 4 St^2) = sqrt(5000^2 + 500^2) / Z with SIFs of 1
    // on a straight pipe; mode 2: 1000 / Z.
    const double z = section_modulus();
    const std::vector<ModeSusceptibility>& s = results_mode_susceptibility();
    ASSERT_EQ(s.size(), 2u);
    EXPECT_NEAR(s[0].largest_stress, std::sqrt(5000.0 * 5000.0 + 500.0 * 500.0) / z, 1e-3);
    EXPECT_NEAR(s[1].largest_stress, 1000.0 / z, 1e-3);
    EXPECT_NEAR(s[0].stresses[1][0], 0.0, 1e-12);
    EXPECT_EQ(cell(t, 1, 2), "2.500");
    EXPECT_EQ(cell(t, 1, 5), format_g5(std::sqrt(5000.0 * 5000.0 + 500.0 * 500.0) / z));
    // The markers: the velocity node of the file, the stress node the far
    // end of element 1 (mode 1) and the near end of element 2 (mode 2).
    const int first_far = results().elements[1].node2, second_near = results().elements[2].node1;
    EXPECT_EQ(cell(t, 1, 3), node_text(model().nodes[3].number));
    EXPECT_EQ(cell(t, 1, 4), node_text(model().nodes[first_far].number));
    table_goto_row(t, 2);
    EXPECT_EQ(results().current_mode, 2);
    EXPECT_EQ(current_mode_markers(), (ModeMarkerRecord{2, second_near}));

    // The stresses of the current mode per element; Right steps the mode,
    // wrapping after the last.
    results_hooks().show[RESULT_DYNAMIC_STRESSES]();
    TableWindow& d = dynamic_stress_table();
    ASSERT_EQ(d.row_count, 2);
    EXPECT_EQ(cell(d, 2, 3), format_g5(1000.0 / z));
    EXPECT_EQ(cell(d, 1, 4), "0");
    d.on_key(KEY_RIGHT, MOD_NONE);
    EXPECT_EQ(results().current_mode, 3);
    EXPECT_EQ(current_mode_markers(), ModeMarkerRecord{}) << "mode 3 has no susceptibility record";
    d.on_key(KEY_RIGHT, MOD_NONE);
    EXPECT_EQ(results().current_mode, 1);
    EXPECT_EQ(cell(d, 1, 4), format_g5(std::sqrt(5000.0 * 5000.0 + 500.0 * 500.0) / z));
    EXPECT_EQ(current_mode_markers(), (ModeMarkerRecord{3, first_far}));

    // Another table: the markers are off.
    results_hooks().show[RESULT_FREQUENCIES]();
    EXPECT_EQ(current_mode_markers(), ModeMarkerRecord{});
}

TEST_F(ModalResultsTest, BadSusceptibilityFileIsSaidAndShowsNothing)
{
    std::ofstream(path("modal.rds"), std::ios::binary) << "KORVANEWRDS5100";
    open();
    results_hooks().show[RESULT_DYNAMIC_SUSCEPTIBILITY]();
    EXPECT_NE(current_result(), RESULT_DYNAMIC_SUSCEPTIBILITY);
    EXPECT_NE(script().last_message().find("Unable to read dynamic susceptibility file"), std::string::npos)
        << script().last_message();
}

TEST_F(ModalResultsTest, SpectrumAccelerationsShowInGAndPrintTheirColumns)
{
    open();
    results_hooks().show[RESULT_ACCELERATIONS]();
    EXPECT_EQ(current_result(), RESULT_ACCELERATIONS);
    TableWindow& t = accelerations_table();
    ASSERT_EQ(t.row_count, 3);
    EXPECT_EQ(t.header_text(2, 0), "X(g's)");
    // 386.4 in/s2 is one g.
    EXPECT_EQ(cell(t, 1, 1), node_text(model().nodes[1].number));
    EXPECT_EQ(cell(t, 1, 2), "1.000");
    EXPECT_EQ(cell(t, 3, 2), "3.000");
    EXPECT_EQ(cell(t, 2, 3), "-0.500");
    EXPECT_EQ(cell(t, 2, 4), "0.000");
    // Moving to a row highlights its node.
    int highlighted = 0;
    results_hooks().highlight_node = [&highlighted](int node) { highlighted = node; };
    table_goto_row(t, 3);
    EXPECT_EQ(highlighted, results().results_nodes[3]);
    results_hooks().highlight_node = nullptr;

    // The text report: the node at column 6, X, Y and Z ending at 21, 32, 43.
    report_begin_text(false);
    t.print_text();
    const std::string text = report_end_text();
    EXPECT_NE(text.find("Response spectrum accelerations"), std::string::npos);
    std::string row(43, ' ');
    const std::string node = node_text(model().nodes[2].number);
    row.replace(5, node.size(), node);
    row.replace(16, 5, "2.000");
    row.replace(26, 6, "-0.500");
    row.replace(38, 5, "0.000");
    EXPECT_NE(text.find(row + "\n"), std::string::npos) << text;
}
