// The displacements (global and in the pipe's local axes), their extremes,
// the soil restraints of buried piping and the response-spectrum
// accelerations, each from a results file written here: on screen, in the
// text report and in CSV (hand-written below).
//
// The model: anchor 10, a pipe along +X to 20 (100 in), a pipe along +Z to
// anchor 30 (100 in). Node indices 1, 2, 3. Value d of node index i in the
// case of code c: c + i / 10 + d / 100 (inch, radian).
#include "framework/commands.h"
#include "framework/text.h"
#include "framework/ui/dialogs_common.h"
#include "framework/ui/frame.h"
#include "materials/pipe_section.h"
#include "materials/soil.h"
#include "model/piping_codes.h"
#include "platform/headless/headless_dialog.h"
#include "results/result_tables_fixture.h"
#include "results/ui/displacement_tables.h"
#include "results/ui/element_force_tables.h"
#include "results/ui/result_choosers.h"
#include "results/ui/soil_acceleration_tables.h"

#include <array>
#include <numbers>

namespace {

double displacement_value(int code, int node, int d)
{
    return code + node / 10.0 + d / 100.0;
}

// A rotation in degrees with 4 decimals, a translation in inch with 4.
std::string degrees(double radian)
{
    return c_format("%.4f", radian * 180.0 / std::numbers::pi);
}
std::string inch(double v)
{
    return c_format("%.4f", v);
}

}  // namespace

class DisplacementTable : public ResultTablesTest {
protected:
    void open(Values v = {}, const std::vector<int>& cases = {LC_SUSTAINED, LC_EXPANSION_T1})
    {
        start_model();
        add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
        add(20, ET_PIPE, 100, 0, 0);
        add(30, ET_PIPE, 0, 0, 100, DT_ANCHOR);
        piping_code() = CODE_B311;
        v.displacement = displacement_value;
        ASSERT_NO_FATAL_FAILURE(write_results(cases, v));
        ASSERT_NO_FATAL_FAILURE(open_written());
    }
};

TEST_F(DisplacementTable, GlobalAndLocalValuesOfEveryResultsNode)
{
    ASSERT_NO_FATAL_FAILURE(open());
    show_other_displacements();
    TableWindow& t = displacement_table();
    EXPECT_EQ(current_result(), RESULT_DISPLACEMENTS);
    EXPECT_NE(results_title().find("Displacements in global coordinates: Sustained (W+P)"), std::string::npos);
    EXPECT_EQ(t.row_count, 3);
    EXPECT_EQ(t.header_text(2, 0), "DX");
    EXPECT_EQ(t.header_text(2, 1), "(inch)");
    EXPECT_EQ(t.header_text(5, 1), "(deg)");
    EXPECT_EQ(t.cell_text(3, 1, 0), "30");
    EXPECT_EQ(t.cell_text(3, 2, 0), inch(1.3));
    EXPECT_EQ(t.cell_text(3, 7, 0), degrees(1.35));
    // Node 30 ends a pipe along +Z: x = Z, y = Y, z = -X; (dz, dy, -dx).
    frame_command(results_frame(), CMD_LOCAL_GLOBAL);
    EXPECT_TRUE(local_displacements_shown());
    EXPECT_EQ(t.header_text(2, 0), "dx");
    EXPECT_EQ(t.cell_text(3, 2, 0), inch(1.32));
    EXPECT_EQ(t.cell_text(3, 3, 0), inch(1.31));
    EXPECT_EQ(t.cell_text(3, 4, 0), inch(-1.3));
    EXPECT_EQ(t.cell_text(3, 5, 0), degrees(1.35));
    EXPECT_EQ(t.cell_text(3, 7, 0), degrees(-1.33));
    EXPECT_EQ(results_tooltip(CMD_LOCAL_GLOBAL), "Local Displacements");
    // The next case.
    frame_command(results_frame(), CMD_NEXT_LOAD_CASE);
    EXPECT_EQ(t.cell_text(1, 3, 0), inch(2.11));
    // What the plant-design export reads: the global values of the shown
    // case whatever the table shows, read again when another block was loaded.
    const int code = results_loadcase_code();
    results().loaded.displacements = 0;
    results().displacements[3] = {};
    for (int d = 0; d < 6; ++d)
        EXPECT_FLOAT_EQ(node_displacements(3)[static_cast<std::size_t>(d)],
                        static_cast<float>(displacement_value(code, 3, d)))
            << d;
    EXPECT_EQ(node_displacements(99), (std::array<float, 6>{}));
}

TEST_F(DisplacementTable, TextAndCsvLayoutsWithANoneValue)
{
    Values v;
    ASSERT_NO_FATAL_FAILURE(open(v));
    // A translation of 5e29 or more is "None".
    results().displacements[2][0] = 1.0e30f;
    results().loaded.displacements = 0;
    const std::vector<std::string> text = report_lines(print_displacements);
    auto row = [](int node_index, const std::string& node, const std::string& first) {
        TextLine l;
        l.at(6, node);
        const int ends[] = {20, 32, 44, 56, 68, 80};
        for (int d = 0; d < 6; ++d) {
            const double value = displacement_value(1, node_index, d);
            l.right(ends[d], d == 0 && !first.empty() ? first : d < 3 ? inch(value) : degrees(value));
        }
        return std::string(l);
    };
    // The file read again: the "None" was this test's own change of the array.
    const std::vector<std::string> expected = {
        TextLine().centred(6, 78, "Displacements in global coordinates: Sustained (W+P)"),
        rule_line(),
        TextLine()
            .at(6, "Node")
            .centred(12, 21, "DX (inch)")
            .centred(24, 33, "DY (inch)")
            .centred(36, 45, "DZ (inch)")
            .centred(48, 57, "RX (deg)")
            .centred(60, 69, "RY (deg)")
            .centred(72, 81, "RZ (deg)"),
        rule_line(),
        row(1, "10", ""),
        row(2, "20", ""),
        row(3, "30", ""),
        rule_line(),
    };
    EXPECT_EQ(text, expected);
    const std::vector<std::string> csv = report_lines(print_displacements, true);
    ASSERT_EQ(csv.size(), 5u);
    EXPECT_EQ(csv[0], "Sustained (W+P): Displacements (global),");
    EXPECT_EQ(csv[1], "Node,DX (inch),DY (inch),DZ (inch),RX (deg),RY (deg),RZ (deg),");
    EXPECT_EQ(csv[2], "10,1.1000,1.1100,1.1200," + degrees(1.13) + "," + degrees(1.14) + "," + degrees(1.15) + ",");
    EXPECT_EQ(format_displacement_or_none(1.0e30), "None");
}

TEST_F(DisplacementTable, TheHeaderRepeatsWhenTheRowsRunOverAPage)
{
    start_model();
    add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
    for (int node = 20; node <= 120; node += 10)
        add(node, ET_PIPE, 10, 0, 0);
    piping_code() = CODE_B311;
    Values v;
    v.displacement = displacement_value;
    ASSERT_NO_FATAL_FAILURE(write_results({LC_SUSTAINED}, v));
    ASSERT_NO_FATAL_FAILURE(open_written());
    report_begin_text(false);
    // Six lines left: the header (4 lines) and two rows on this page.
    while (report_lines_left() > 6)
        report_line("x");
    print_displacements();
    const std::vector<std::string> lines = body(report_end_text());
    const std::string title = TextLine().centred(6, 78, "Displacements in global coordinates: Sustained (W+P)");
    // 12 nodes: 50 lines, the header and 2 rows; the header again and 10 rows; a rule.
    ASSERT_EQ(lines.size(), 50u + 4 + 2 + 4 + 10 + 1);
    EXPECT_EQ(lines[50], title);
    EXPECT_EQ(lines[54].substr(0, 7), "     10");
    EXPECT_EQ(lines[55].substr(0, 7), "     20");
    // The next page starts with the header again, then node 30.
    EXPECT_EQ(lines[56], title);
    EXPECT_EQ(lines[60].substr(0, 7), "     30");
}

TEST_F(DisplacementTable, ExtremesAreTheOtherDisplacementKind)
{
    ASSERT_NO_FATAL_FAILURE(open());
    show_other_displacements();
    Frame& f = results_frame();
    EXPECT_TRUE(f.menu.contains(CMD_OTHER_ITEM));
    EXPECT_EQ(results_tooltip(CMD_NEXT_ITEM), "Next displacement");
    frame_command(f, CMD_NEXT_ITEM);
    TableWindow& x = displacement_extremes_table();
    EXPECT_EQ(results_table_view().table(), &x);
    EXPECT_EQ(current_result(), RESULT_DISPLACEMENTS);
    // Every component is largest at node 30 (index 3) and smallest at 10.
    EXPECT_EQ(x.cell_text(1, 1, 0), "DX (inch)");
    EXPECT_EQ(x.cell_text(1, 2, 0), inch(1.3));
    EXPECT_EQ(x.cell_text(1, 3, 0), "30");
    EXPECT_EQ(x.cell_text(1, 4, 0), inch(1.1));
    EXPECT_EQ(x.cell_text(1, 5, 0), "10");
    EXPECT_EQ(x.cell_text(6, 2, 0), degrees(1.35));
    const std::vector<std::string> csv = table_lines(x, true);
    ASSERT_EQ(csv.size(), 8u);
    EXPECT_EQ(csv[1], "Component,Maximum,Node,Minimum,Node,");
    EXPECT_EQ(csv[2], "DX (inch),1.3000,30,1.1000,10,");
    // Wrapping back; the chooser offers both kinds.
    frame_command(f, CMD_NEXT_ITEM);
    EXPECT_EQ(results_table_view().table(), &displacement_table());
    script().once(other_supports_template(2), [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_text(RADIO_LIST, 1), "Extremes");
        d.select(RADIO_LIST, 1);
        d.press(IDOK);
    });
    frame_command(f, CMD_OTHER_ITEM);
    EXPECT_EQ(results_table_view().table(), &x);
}

// ---- Soil restraints -----------------------------------------------------------------------

class SoilRestraintTable : public DisplacementTable {};

TEST_F(SoilRestraintTable, RecordsOfAWrittenFileOnScreenInTextAndCsv)
{
    Values v;
    SoilRestraintRecord a;
    a.element = 1;
    a.axial_stiffness = 2500.0f;
    a.axial_load = 120.5f;
    a.transverse_stiffness = 2.5e6f;
    a.transverse_load = 3000.0f;
    a.down_stiffness = 800.0f;
    a.down_load = 7.25f;
    a.up_stiffness = 400.0f;
    a.up_load = 60.0f;
    a.soil = 1;
    SoilRestraintRecord b = a;
    b.element = 2;
    // An index no soil has, and a section soil name that is not a soil.
    b.soil = 99;
    v.soils = {a, b};
    start_model();
    soils().push_back(Soil{"CLAY", SOIL_COHESIVE});
    pipe_sections()[1].soil = "SAND";
    add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
    add(20, ET_PIPE, 100, 0, 0);
    add(30, ET_PIPE, 0, 0, 100, DT_ANCHOR);
    piping_code() = CODE_B311;
    ASSERT_NO_FATAL_FAILURE(write_results({LC_SUSTAINED}, v));
    ASSERT_NO_FATAL_FAILURE(open_written());
    const std::vector<int>& offered = result_list();
    ASSERT_NE(std::find(offered.begin(), offered.end(), RESULT_SOIL_RESTRAINTS), offered.end());
    results_hooks().show[RESULT_SOIL_RESTRAINTS]();
    TableWindow& t = soil_restraints_table();
    EXPECT_EQ(current_result(), RESULT_SOIL_RESTRAINTS);
    EXPECT_NE(results_title().find("Soil Restraints"), std::string::npos);
    ASSERT_EQ(t.row_count, 2);
    ASSERT_EQ(t.groups.size(), 4u);
    EXPECT_EQ(t.groups[2].text, "Vertical Down");
    EXPECT_EQ(t.header_text(5, 1), "Stiffness");
    EXPECT_EQ(t.header_text(5, 2), "(lb/inch)");
    EXPECT_EQ(t.header_text(6, 2), "(lb)");
    EXPECT_EQ(t.cell_text(1, 1, 0), "10");
    EXPECT_EQ(t.cell_text(1, 2, 0), "20");
    EXPECT_EQ(t.cell_text(1, 3, 0), "CLAY");
    EXPECT_EQ(t.cell_text(1, 4, 0), "Cohesive");
    // Above 1e6 the scaled E form.
    EXPECT_EQ(t.cell_text(1, 7, 0), "2.5E+6");
    EXPECT_EQ(t.cell_text(2, 3, 0), "");
    EXPECT_EQ(t.cell_text(2, 4, 0), "");
    EXPECT_EQ(soil_of_restraint(2), 0);

    const std::vector<std::string> text = table_lines(t);
    auto row = [](const std::string& first, const std::string& second) {
        return std::string(TextLine()
                               .at(3, first)
                               .at(8, second)
                               .at(13, "2500")
                               .at(22, "120")
                               .at(30, "2.5E+6")
                               .at(39, "3000")
                               .at(47, "800")
                               .at(56, "7.25")
                               .at(64, "400")
                               .at(73, "60"));
    };
    const std::vector<std::string> expected = {
        TextLine().centred(6, 78, "Soil restraints"),
        rule_line(),
        TextLine().at(18, "Axial").at(33, "Transverse").at(48, "Vertical Down").at(66, "Vertical Up"),
        TextLine().at(3, "From To   Stiffnes MaxLoad Stiffnes MaxLoad Stiffnes MaxLoad Stiffnes MaxLoad"),
        TextLine()
            .at(13, "(lb/in)")
            .at(30, "(lb/in)")
            .at(47, "(lb/in)")
            .at(64, "(lb/in)")
            .at(22, "(lb)")
            .at(39, "(lb)")
            .at(56, "(lb)")
            .at(73, "(lb)"),
        rule_line(),
        row("10", "20"),
        row("20", "30"),
        rule_line(),
    };
    EXPECT_EQ(text, expected);
    // In CSV the same calls write their cells, each row ending in the
    // soil's name and type as the table shows them.
    const std::vector<std::string> csv = table_lines(t, true);
    ASSERT_EQ(csv.size(), 6u);
    EXPECT_EQ(csv[0], "Soil restraints,");
    EXPECT_EQ(csv[1], "Axial,Transverse,Vertical Down,Vertical Up,");
    EXPECT_EQ(csv[2], "From To   Stiffnes MaxLoad Stiffnes MaxLoad Stiffnes MaxLoad Stiffnes MaxLoad,Name,Type,");
    EXPECT_EQ(csv[4], "10,20,2500,120,2.5E+6,3000,800,7.25,400,60,CLAY,Cohesive,");
    EXPECT_EQ(csv[5], "20,30,2500,120,2.5E+6,3000,800,7.25,400,60,,,");
}

namespace {

class SoilTableColumns : public DisplacementTable {
protected:
    // A record of the element `element` with the eight values in the order
    // of the table: stiffness and maximum load, axial, transverse, down, up.
    static SoilRestraintRecord record(int element, const std::array<float, 8>& v)
    {
        SoilRestraintRecord r;
        r.element = element;
        r.axial_stiffness = v[0];
        r.axial_load = v[1];
        r.transverse_stiffness = v[2];
        r.transverse_load = v[3];
        r.down_stiffness = v[4];
        r.down_load = v[5];
        r.up_stiffness = v[6];
        r.up_load = v[7];
        return r;
    }
    // The rows of the text report, without the heading.
    std::vector<std::string> rows(const std::vector<SoilRestraintRecord>& records, int first_node = 10)
    {
        Values v;
        v.soils = records;
        start_model();
        add(first_node, ET_FROM, 0, 0, 0, DT_ANCHOR);
        add(first_node + 10, ET_PIPE, 100, 0, 0);
        add(first_node + 20, ET_PIPE, 0, 0, 100, DT_ANCHOR);
        piping_code() = CODE_B311;
        [&] { ASSERT_NO_FATAL_FAILURE(write_results({LC_SUSTAINED}, v)); }();
        [&] { ASSERT_NO_FATAL_FAILURE(open_written()); }();
        std::vector<std::string> lines = report_lines(print_soil_restraints);
        return lines.size() > 7 ? std::vector<std::string>(lines.begin() + 6, lines.end() - 1) : lines;
    }
};

}  // namespace

// The values stand at 13, 22, 30, 39, 47, 56, 64 and 73, each with the
// room up to one blank before the next. A value whose own form is wider
// takes the exponent form that fits that room; the CSV cells keep the
// forms of the table.
TEST_F(SoilTableColumns, AValueThatFillsItsColumnTakesTheExponentFormThatFits)
{
    // A 48 in line 30 ft deep in sand of phi 40 degrees: a vertical down
    // load of 20,599,202 lb is eight digits, one more than the seven
    // columns from 56 to 62 before the up stiffness at 64; it reads 2.1E+07.
    // Phi 75 degrees: an axial load of 1.89E+11 lb (eight characters) in
    // columns 22 to 28, 1.9E+11. Phi 0: a stiffness of 0.007049 lb/in fills
    // its eight columns and keeps the blank before the load of 9.999 lb.
    const std::vector<std::string> text =
        rows({record(1, {6.43e6f, 759199.0f, 1.45e6f, 6972267.0f, 4.29e6f, 20599202.0f, 545455.0f, 1963636.0f}),
              record(2, {2.86e7f, 1.89e11f, 2.47e6f, 1.2e7f, 4.28e11f, 2.1e12f, 1.02e6f, 3681818.0f})});
    ASSERT_EQ(text.size(), 2u);
    EXPECT_EQ(text[0], std::string(TextLine()
                                       .at(3, "10")
                                       .at(8, "20")
                                       .at(13, "6.43E+6")
                                       .at(22, "759199")
                                       .at(30, "1.45E+6")
                                       .at(39, "6972267")
                                       .at(47, "4.29E+6")
                                       .at(56, "2.1E+07")
                                       .at(64, "545455")
                                       .at(73, "1963636")));
    EXPECT_EQ(text[1], std::string(TextLine()
                                       .at(3, "20")
                                       .at(8, "30")
                                       .at(13, "28.6E+6")
                                       .at(22, "1.9E+11")
                                       .at(30, "2.47E+6")
                                       .at(39, "1.2E+07")
                                       .at(47, "428E+9")
                                       .at(56, "2.1E+12")
                                       .at(64, "1.02E+6")
                                       .at(73, "3681818")));
    const std::vector<std::string> csv = table_lines(soil_restraints_table(), true);
    ASSERT_GE(csv.size(), 5u);
    EXPECT_EQ(csv[4], "10,20,6.43E+6,759199,1.45E+6,6972267,4.29E+6,20599202,545455,1963636,,,");
}

TEST_F(SoilTableColumns, FiveDigitNodesMoveTheValuesOnRatherThanRunIntoThem)
{
    // Nodes 99970 and 99980 take five columns each from 3 and 8: the values
    // move one blank after them, each with its room, and the row keeps
    // every digit; a tiny stiffness fills its room.
    const std::vector<std::string> text =
        rows({record(1, {2.86e7f, 3376680.0f, 0.007049f, 9.999f, 4.28e11f, 2.1e12f, 1.02e6f, 3681818.0f})}, 99970);
    ASSERT_EQ(text.size(), 1u);
    EXPECT_EQ(text[0], "  99970 99980 28.6E+6 3376680 0.007049 10.00  428E+9   2.1E+12 1.02E+6  3681818");
}

TEST_F(SoilRestraintTable, WithoutBuriedPipingNothingIsOfferedOrPrinted)
{
    ASSERT_NO_FATAL_FAILURE(open());
    const std::vector<int>& offered = result_list();
    EXPECT_EQ(std::find(offered.begin(), offered.end(), RESULT_SOIL_RESTRAINTS), offered.end());
    EXPECT_TRUE(report_lines(print_soil_restraints).empty());
    EXPECT_TRUE(report_lines(print_soil_restraints, true).empty());
}

// ---- Accelerations ---------------------------------------------------------------------------

class AccelerationTable : public DisplacementTable {};

TEST_F(AccelerationTable, TheResponseSpectrumCaseInGs)
{
    Values v;
    // X: 386.4 in/s2 (1 g) at every node; Y: node index times 38.64; Z: -193.2.
    v.acceleration = [](int node, int d) { return d == 0 ? 386.4 : d == 1 ? 38.64 * node : d == 2 ? -193.2 : 0.0; };
    ASSERT_NO_FATAL_FAILURE(open(v, {LC_SUSTAINED, LC_RESPONSE_SPECTRUM}));
    const std::vector<int>& offered = result_list();
    ASSERT_NE(std::find(offered.begin(), offered.end(), RESULT_ACCELERATIONS), offered.end());
    results_hooks().show[RESULT_ACCELERATIONS]();
    TableWindow& t = accelerations_table();
    EXPECT_NE(results_title().find("Accelerations: Response spectrum"), std::string::npos);
    EXPECT_EQ(t.header_text(2, 0), "X(g's)");
    EXPECT_EQ(t.cell_text(2, 2, 0), "1.000");
    EXPECT_EQ(t.cell_text(2, 3, 0), "0.200");
    EXPECT_EQ(t.cell_text(2, 4, 0), "-0.500");
    const std::vector<std::string> expected = {
        TextLine().centred(6, 78, "Response spectrum accelerations"),
        rule_line(),
        TextLine().at(27, "(g's)"),
        TextLine().at(6, "Node").at(18, "X").at(29, "Y").at(40, "Z"),
        rule_line(),
        TextLine().at(6, "10").right(21, "1.000").right(32, "0.100").right(43, "-0.500"),
        TextLine().at(6, "20").right(21, "1.000").right(32, "0.200").right(43, "-0.500"),
        TextLine().at(6, "30").right(21, "1.000").right(32, "0.300").right(43, "-0.500"),
        rule_line(),
    };
    EXPECT_EQ(table_lines(t), expected);
    const std::vector<std::string> csv = table_lines(t, true);
    ASSERT_EQ(csv.size(), 6u);
    EXPECT_EQ(csv[3], "10,1.000,0.100,-0.500,");
    EXPECT_DOUBLE_EQ(acceleration_in_g(386.4), 1.0);
    // The displacements of the case are read again after the accelerations.
    show_other_displacements();
    EXPECT_EQ(displacement_table().cell_text(1, 2, 0), inch(1.1));
}

// Find Node (Ctrl+F) in the result tables: the displacements' row of the
// node; in the pipe forces the next row with the node at either end,
// wrapping to row 1; a node that no row has is said so.
class FindNodeInResults : public DisplacementTable {
protected:
    // Ctrl+F with `node` typed: the current row after it.
    int find(const std::string& node)
    {
        script().once("FIND_NODE_DIALOG", [node](HeadlessDialog& d) {
            d.type(FIND_NODE_TEXT, node);
            if (d.press(IDOK) && !d.ended())
                d.press(IDCANCEL);
        });
        script().key(results_frame().window, 'F', MOD_CONTROL);
        return results_table_view().table()->current_row;
    }
};

TEST_F(FindNodeInResults, CtrlFFindsTheNodesNextRowInTheDisplacementsAndTheForces)
{
    ASSERT_NO_FATAL_FAILURE(open());
    show_other_displacements();
    EXPECT_EQ(find("30"), 3);
    EXPECT_EQ(find("99"), 3);
    EXPECT_EQ(script().last_message(), "Node  99  not found");
    show_pipe_forces();
    EXPECT_EQ(find("20"), 2);   // 20-30, after row 1
    EXPECT_EQ(find("20"), 1);   // 10-20
}
