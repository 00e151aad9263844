// The other forces table (the elements that are neither pipes, FRP pipes
// nor beams) and the force-kind chooser: its columns in local and global
// axes, its text and CSV layouts (hand-written below), magnitudes in a
// dynamic case, and stepping between the element-force kinds.
//
// The model: anchor 10, pipe to 20 (+X 100 in), a valve to 30 (+X 20), a
// pipe to 40 (+X 100), a rigid element to 50 (+X 10), a pipe down to
// anchor 60 (-Y 50). Elements: 1 pipe, 2 valve, 3 pipe, 4 rigid, 5 pipe.
// Local force k of element e in the case of code c: (-1)^k (100 e + 10 k + c).
// Also the beam and FRP force tables on a model of their own.
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "model/piping_codes.h"
#include "results/element_force_values.h"
#include "results/result_tables_fixture.h"
#include "materials/pipe_material.h"
#include "results/ui/element_force_tables.h"

#include <algorithm>
#include <cmath>

namespace {

double force_value(int code, int element, int k)
{
    return (k % 2 ? -1.0 : 1.0) * (100.0 * element + 10.0 * k + code);
}

}  // namespace

class OtherForcesTable : public ResultTablesTest {
protected:
    void open(const std::vector<int>& cases = {LC_SUSTAINED, LC_EXPANSION_T1})
    {
        start_model();
        add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
        add(20, ET_PIPE, 100, 0, 0);
        add(30, ET_VALVE, 20, 0, 0);
        add(40, ET_PIPE, 100, 0, 0);
        add(50, ET_RIGID, 10, 0, 0);
        add(60, ET_PIPE, 0, -50, 0, DT_ANCHOR);
        piping_code() = CODE_B311;
        Values v;
        v.force = force_value;
        ASSERT_NO_FATAL_FAILURE(write_results(cases, v));
        ASSERT_NO_FATAL_FAILURE(open_written());
    }
};

TEST_F(OtherForcesTable, ColumnsInBothAxesWithTheTypeAndOneLayout)
{
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_EQ(results().numothers(), 2);
    show_other_forces();
    TableWindow& t = other_force_table(2);
    EXPECT_EQ(t.row_count, 2);
    EXPECT_NE(results_title().find("Other forces in local coordinates: Sustained (W+P)"), std::string::npos);
    EXPECT_EQ(t.header_text(1, 1), "Node");
    EXPECT_EQ(t.header_text(2, 1), "Type");
    EXPECT_EQ(t.header_text(3, 0), "fx");
    EXPECT_EQ(t.header_text(8, 1), "(in-lb)");
    EXPECT_EQ(t.cell_text(1, 1, 0), "20");
    EXPECT_EQ(t.cell_text(1, 2, 0), "Valve");
    EXPECT_EQ(t.cell_text(1, 2, 1), "");
    EXPECT_EQ(t.cell_text(2, 2, 0), "Rigid element");
    EXPECT_EQ(t.cell_text(1, 3, 0), "201");
    EXPECT_EQ(t.cell_text(1, 8, 1), "-311");
    table_ensure_measured(t);
    const int local_width = t.widths[3];
    // Global: along +X the values are the local ones, the first end negated.
    frame_command(results_frame(), CMD_LOCAL_GLOBAL);
    EXPECT_EQ(t.header_text(3, 0), "FX");
    t.prepare_row(1);
    EXPECT_EQ(t.cell_text(1, 3, 0), "-201");
    EXPECT_EQ(t.cell_text(1, 3, 1), "261");
    // Switching the axes keeps the layout.
    table_ensure_measured(t);
    EXPECT_EQ(t.widths[3], local_width);
    for (int c = 4; c <= 8; ++c)
        EXPECT_EQ(t.widths[static_cast<std::size_t>(c)], local_width) << c;
}

TEST_F(OtherForcesTable, TextAndCsvLayouts)
{
    ASSERT_NO_FATAL_FAILURE(open());
    const std::vector<std::string> all = report_lines(print_local_element_forces);
    // The pipes first, then the other forces.
    const auto start = std::find(all.begin(), all.end(),
                                 std::string(TextLine().centred(6, 78, "Other forces in local coordinates: Sustained (W+P)")));
    ASSERT_NE(start, all.end());
    const std::vector<std::string> text(start, all.end());
    auto row = [](int element, int end, const std::string& node, const std::string& type) {
        TextLine l;
        l.at(6, node);
        if (!type.empty())
            l.at(16, type);
        const int ends[] = {27, 35, 43, 53, 63, 73};
        for (int k = 0; k < 6; ++k)
            l.right(ends[k], std::to_string(static_cast<long>(force_value(1, element, 6 * end + k))));
        return std::string(l);
    };
    const std::vector<std::string> expected = {
        TextLine().centred(6, 78, "Other forces in local coordinates: Sustained (W+P)"),
        rule_line(),
        TextLine().at(25, "fx      fy      fz        mx       my        mz"),
        TextLine()
            .at(6, "Node")
            .at(16, "Type")
            .centred(24, 27, "(lb)")
            .centred(32, 35, "(lb)")
            .centred(40, 43, "(lb)")
            .centred(49, 55, "(in-lb)")
            .centred(58, 64, "(in-lb)")
            .centred(68, 74, "(in-lb)"),
        rule_line(),
        row(2, 0, "20", "Valve"),
        row(2, 1, "30", ""),
        "",
        // "Rigid element" would run into the value at 25: its first word.
        row(4, 0, "40", "Rigid"),
        row(4, 1, "50", ""),
        "",
        rule_line(),
    };
    EXPECT_EQ(text, expected);

    const std::vector<std::string> csv_all = report_lines(print_global_element_forces, true);
    const auto csv_start = std::find(csv_all.begin(), csv_all.end(), "Sustained (W+P): Other forces (global coordinates),");
    ASSERT_NE(csv_start, csv_all.end());
    const std::vector<std::string> csv(csv_start, csv_all.end());
    // The rigid element along +X: global = local, its first end negated.
    const std::vector<std::string> expected_csv = {
        "Sustained (W+P): Other forces (global coordinates),",
        "Node,Type,FX,FY,FZ,MX,MY,MZ,",
        ",,(lb),(lb),(lb),(in-lb),(in-lb),(in-lb),",
        "20,Valve,-201,211,-221,231,-241,251,",
        "30,,261,-271,281,-291,301,-311,",
        "40,Rigid element,-401,411,-421,431,-441,451,",
        "50,,461,-471,481,-491,501,-511,",
    };
    EXPECT_EQ(csv, expected_csv);
}

TEST_F(OtherForcesTable, HarmonicCaseValuesCarryNoSign)
{
    ASSERT_NO_FATAL_FAILURE(open({LC_SUSTAINED, LC_HARMONIC}));
    ASSERT_TRUE(set_results_load_case(LC_HARMONIC));
    const std::vector<std::string> csv = report_lines(print_global_element_forces, true);
    const auto at = std::find(csv.begin(), csv.end(), "Harmonic response: Other forces (global coordinates),");
    ASSERT_NE(at, csv.end());
    ASSERT_GE(csv.end() - at, 5);
    EXPECT_EQ(*(at + 3), "20,Valve,236,246,256,266,276,286,");
}

class OtherForcesChooser : public OtherForcesTable {};

TEST_F(OtherForcesChooser, KindsStepWrapAndAreChosen)
{
    ASSERT_NO_FATAL_FAILURE(open());
    show_element_forces();
    // Pipes first; the menu offers the other kinds and the axes.
    EXPECT_EQ(results_table_view().table(), &pipe_force_table());
    Frame& f = results_frame();
    EXPECT_TRUE(f.menu.contains(CMD_OTHER_ITEM));
    EXPECT_TRUE(f.menu.contains(CMD_LOCAL_GLOBAL));
    EXPECT_EQ(results_tooltip(CMD_NEXT_ITEM), "Next force");
    EXPECT_EQ(results_tooltip(CMD_LOCAL_GLOBAL), "Global Forces");
    frame_command(f, CMD_NEXT_ITEM);
    EXPECT_EQ(results_table_view().table(), &other_force_table(2));
    frame_command(f, CMD_NEXT_ITEM);
    EXPECT_EQ(results_table_view().table(), &pipe_force_table());
    frame_command(f, CMD_PREVIOUS_ITEM);
    EXPECT_EQ(results_table_view().table(), &other_force_table(2));
    // The chooser lists the kinds the model has.
    script().once(other_supports_template(2), [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_count(RADIO_LIST), 2);
        EXPECT_EQ(d.list_text(RADIO_LIST, 0), "Pipes");
        EXPECT_EQ(d.list_text(RADIO_LIST, 1), "Other");
        d.select(RADIO_LIST, 0);
        d.press(IDOK);
    });
    frame_command(f, CMD_OTHER_ITEM);
    EXPECT_EQ(results_table_view().table(), &pipe_force_table());
    // Leaving for another result takes the force items away.
    set_current_result(RESULT_NONE);
    table_window_detach();
    EXPECT_FALSE(f.menu.contains(CMD_LOCAL_GLOBAL));
    // A model without beams: that entry does nothing.
    show_beam_forces();
    EXPECT_EQ(results_table_view().table(), nullptr);
}

TEST_F(OtherForcesTable, BeamAndFrpTablesAndTheirPrintsWithoutPipes)
{
    // Anchor 10, an FRP pipe along +X to 20 (100 in), a beam along +Z to
    // anchor 30 (50 in): no steel pipe at all. Elements: 1 FRP pipe, 2 beam.
    start_model();
    PipeMaterial frp = pipe_materials()[1];
    frp.name = "FRP";
    frp.frp = 1;
    pipe_materials().push_back(frp);
    add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
    const int pipe = add(20, ET_PIPE, 100, 0, 0);
    model().rows[pipe].material = "FRP";
    add(30, ET_BEAM, 0, 0, 50, DT_ANCHOR);
    piping_code() = CODE_B311;
    Values v;
    v.force = force_value;
    ASSERT_NO_FATAL_FAILURE(write_results({LC_SUSTAINED}, v));
    ASSERT_NO_FATAL_FAILURE(open_written());
    ASSERT_EQ(results().numpipes(), 0);
    ASSERT_EQ(results().numfrp(), 1);
    ASSERT_EQ(results().numbeams(), 1);

    // Each table shows its own element with the other-forces columns.
    show_frp_forces();
    TableWindow& frp_table = other_force_table(1);
    EXPECT_EQ(results_table_view().table(), &frp_table);
    EXPECT_NE(results_title().find("FRP forces in local coordinates: Sustained (W+P)"), std::string::npos);
    EXPECT_EQ(frp_table.row_count, 1);
    EXPECT_EQ(frp_table.cell_text(1, 1, 0), "10");
    EXPECT_EQ(frp_table.cell_text(1, 3, 0), "101");
    show_beam_forces();
    TableWindow& beams = other_force_table(0);
    EXPECT_EQ(results_table_view().table(), &beams);
    EXPECT_EQ(beams.row_count, 1);
    EXPECT_EQ(beams.cell_text(1, 1, 1), "30");
    EXPECT_EQ(beams.cell_text(1, 2, 0), "Beam");
    EXPECT_EQ(beams.cell_text(1, 8, 1), "-311");

    // The report: no pipe section, the beams, then the FRP elements; the
    // shown (local) choice stays.
    const std::vector<std::string> text = report_lines(print_global_element_forces);
    auto at = [&text](const std::string& heading) {
        return std::find(text.begin(), text.end(), std::string(TextLine().centred(6, 78, heading))) - text.begin();
    };
    const auto beam_at = at("Beam forces in global coordinates: Sustained (W+P)");
    const auto frp_at = at("FRP forces in global coordinates: Sustained (W+P)");
    ASSERT_LT(beam_at, static_cast<std::ptrdiff_t>(text.size()));
    ASSERT_LT(frp_at, static_cast<std::ptrdiff_t>(text.size()));
    EXPECT_LT(beam_at, frp_at);
    for (const std::string& line : text)
        EXPECT_EQ(line.find("Element forces in global coordinates"), std::string::npos) << line;
    EXPECT_FALSE(global_forces_shown());
    // The beam along +Z with Y vertical: local x = Z, y = Y, z = -X; its
    // first end's global FX = -(-fz), FY = -fy, FZ = -fx (first end negated).
    TextLine first;
    first.at(6, "20").at(16, "Beam");
    const double fx = force_value(1, 2, 0), fy = force_value(1, 2, 1), fz = force_value(1, 2, 2);
    const double mx = force_value(1, 2, 3), my = force_value(1, 2, 4), mz = force_value(1, 2, 5);
    const double global[6] = {fz, -fy, -fx, mz, -my, -mx};
    const int ends[] = {27, 35, 43, 53, 63, 73};
    for (int k = 0; k < 6; ++k)
        first.right(ends[k], std::to_string(std::lround(global[k])));
    ASSERT_LT(beam_at + 5, static_cast<std::ptrdiff_t>(text.size()));
    EXPECT_EQ(text[static_cast<std::size_t>(beam_at + 5)], std::string(first));
    // Each family alone, in either axes.
    const std::vector<std::string> frp_only = report_lines([] { print_frp_forces(false); }, true);
    ASSERT_FALSE(frp_only.empty());
    EXPECT_EQ(frp_only[0], "Sustained (W+P): FRP forces (local coordinates),");
    EXPECT_EQ(frp_only[3], "10,Pipe,101,-111,121,-131,141,-151,");
    EXPECT_TRUE(report_lines([] { print_beam_forces(true); })[0].find("Beam forces in global") != std::string::npos);
}
