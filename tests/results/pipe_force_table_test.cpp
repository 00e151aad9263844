// The pipe forces table in its variants: columns and cells on screen, the
// text and CSV layouts of the results report (hand-written below, column by
// column), global axes with the sign rule, and the stress, SIF and
// flexibility cells from an evaluation of the tests (known values).
//
// The model: anchor 10, a pipe 100 in along +X to 20, a pipe 50 in along +Z
// to anchor 30 (Y vertical). Element 1 is 10-20, element 2 is 20-30. The
// local force k (0..11) of element e in the case of code c is
// (-1)^k (100 e + 10 k + c). Element 2's axes: x = Z, y = Y, z = x cross y
// = (-1, 0, 0).
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "model/piping_codes.h"
#include "results/element_force_values.h"
#include "results/result_tables_fixture.h"
#include "results/ui/element_force_tables.h"
#include "results/ui/result_table.h"

namespace {

double force_value(int code, int element, int k)
{
    return (k % 2 ? -1.0 : 1.0) * (100.0 * element + 10.0 * k + code);
}

std::string n(double v)
{
    // Whole numbers as the force and moment cells write them.
    return std::to_string(static_cast<long>(v));
}

}  // namespace

class ForceTableTest : public ResultTablesTest {
protected:
    // The model on piping code `code`, its results for these cases, opened.
    void open(int32_t code, const std::vector<int>& cases = {LC_SUSTAINED, LC_EXPANSION_T1})
    {
        start_model();
        add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
        add(20, ET_PIPE, 100, 0, 0);
        add(30, ET_PIPE, 0, 0, 50, DT_ANCHOR);
        piping_code() = code;
        Values v;
        v.force = force_value;
        ASSERT_NO_FATAL_FAILURE(write_results(cases, v));
        ASSERT_NO_FATAL_FAILURE(open_written());
    }
    static StandIn sifs_and_factors()
    {
        StandIn s;
        s.sifs[{1, 1}] = Sifs{2.5, 2.0, 1.0, 1.0};
        s.sifs[{2, 0}] = Sifs{1.75, 1.5, 1.0, 1.25};
        s.flexibility[2] = {1.0, 3.25, 4.5};
        return s;
    }
    TableWindow& shown_pipes()
    {
        show_pipe_forces();
        TableWindow& t = pipe_force_table();
        t.prepare_row(1);
        return t;
    }
    static std::string stress(int element, int end, int code)
    {
        return n(stand_in_stress(element, end, code));
    }
};

class PipeForceTable : public ForceTableTest {};

TEST_F(PipeForceTable, StandardTableLocalColumnsAndStressOfTheEvaluation)
{
    install_stand_in(sifs_and_factors());
    ASSERT_NO_FATAL_FAILURE(open(CODE_B311));
    TableWindow& t = shown_pipes();
    EXPECT_EQ(current_result(), RESULT_ELEMENT_FORCES);
    EXPECT_EQ(t.row_count, 2);
    EXPECT_EQ(t.text_lines, 2);
    EXPECT_EQ(results_title(), "Korvane - Pipe forces in local coordinates: Sustained (W+P) [sample.res (" +
                                   folder.string() + ")]");
    const std::vector<std::string> headings0 = {"Node", "fx", "fy", "fz", "mx", "my", "mz", "SIF", "", "SL"};
    const std::vector<std::string> headings1 = {"", "(lb)", "(lb)", "(lb)", "(in-lb)", "(in-lb)", "(in-lb)", "", "", "(psi)"};
    for (int c = 1; c <= 10; ++c) {
        EXPECT_EQ(t.header_text(c, 0), headings0[static_cast<std::size_t>(c - 1)]) << c;
        EXPECT_EQ(t.header_text(c, 1), headings1[static_cast<std::size_t>(c - 1)]) << c;
    }
    // Both ends as stored; the in-plane SIF above 1; the code stress.
    for (int row = 1; row <= 2; ++row)
        for (int end = 0; end < 2; ++end) {
            EXPECT_EQ(t.cell_text(row, 1, end), row == 1 ? (end ? "20" : "10") : (end ? "30" : "20"));
            for (int k = 0; k < 6; ++k)
                EXPECT_EQ(t.cell_text(row, 2 + k, end), n(force_value(1, row, 6 * end + k))) << row << end << k;
            EXPECT_EQ(t.cell_text(row, 10, end), stress(row, end, LC_SUSTAINED));
        }
    EXPECT_EQ(t.cell_text(1, 8, 0), "");
    EXPECT_EQ(t.cell_text(1, 8, 1), "2.50");
    EXPECT_EQ(t.cell_text(2, 8, 0), "1.75");
    EXPECT_EQ(t.cell_text(1, 9, 0), "");
    // Column 9 (B2) is hidden without B1/B2; columns 2 to 7 share a width.
    table_ensure_measured(t);
    EXPECT_EQ(t.widths[9], 0);
    for (int c = 3; c <= 7; ++c)
        EXPECT_EQ(t.widths[static_cast<std::size_t>(c)], t.widths[2]);

    // An expansion case: "SE" and its stresses.
    frame_command(results_frame(), CMD_NEXT_LOAD_CASE);
    EXPECT_EQ(t.header_text(10, 0), "SE");
    EXPECT_EQ(t.cell_text(2, 10, 1), stress(2, 1, LC_EXPANSION_T1));
    // The cells of the stress column by record, and the case's category.
    EXPECT_EQ(pipe_stress_cell_text(2, 0), stress(2, 0, LC_EXPANSION_T1));
    EXPECT_EQ(pipe_stress_cell_text(2, 1), stress(2, 1, LC_EXPANSION_T1));
    EXPECT_EQ(pipe_stress_cell_text(2, 2), "2");
    EXPECT_EQ(pipe_stress_cell_text(2, 3), "");
    EXPECT_EQ(pipe_stress_cell_text(3, 0), "");
    EXPECT_EQ(set_pipe_stress_label(true).label, "SE");
    frame_command(results_frame(), CMD_PREVIOUS_LOAD_CASE);
    EXPECT_EQ(pipe_stress_cell_text(1, 2), "1");
}

TEST_F(PipeForceTable, GlobalColumnsTakeTheSignRuleAndTheAxes)
{
    ASSERT_NO_FATAL_FAILURE(open(CODE_B311));
    TableWindow& t = shown_pipes();
    frame_command(results_frame(), CMD_LOCAL_GLOBAL);
    EXPECT_TRUE(global_forces_shown());
    EXPECT_EQ(current_result(), RESULT_ELEMENT_FORCES);
    EXPECT_NE(results_title().find("Pipe forces in global coordinates: Sustained (W+P)"), std::string::npos);
    EXPECT_EQ(t.header_text(2, 0), "FX");
    EXPECT_EQ(t.header_text(7, 0), "MZ");
    EXPECT_EQ(t.header_text(8, 0), "");
    t.prepare_row(2);
    // Element 2 along +Z: global = fx Z + fy Y - fz X; the first end negated.
    // First end (201, -211, 221): (-221, -211, 201) negated (221, 211, -201);
    // moments (-231, 241, -251): (251, 241, -231) negated (-251, -241, 231).
    const std::vector<std::string> first = {"221", "211", "-201", "-251", "-241", "231"};
    // Second end (261, -271, 281): (-281, -271, 261); (-291, 301, -311): (311, 301, -291).
    const std::vector<std::string> second = {"-281", "-271", "261", "311", "301", "-291"};
    for (int c = 0; c < 6; ++c) {
        EXPECT_EQ(t.cell_text(2, 2 + c, 0), first[static_cast<std::size_t>(c)]) << c;
        EXPECT_EQ(t.cell_text(2, 2 + c, 1), second[static_cast<std::size_t>(c)]) << c;
    }
    table_ensure_measured(t);
    for (int c = 8; c <= t.columns(); ++c)
        EXPECT_EQ(t.widths[static_cast<std::size_t>(c)], 0) << c;
    // F7 again: local, the on-screen choice back.
    frame_command(results_frame(), CMD_LOCAL_GLOBAL);
    EXPECT_FALSE(global_forces_shown());
    EXPECT_EQ(t.header_text(2, 0), "fx");
}

TEST_F(PipeForceTable, PlainLayoutOfTheTextReportAndCsv)
{
    install_stand_in(sifs_and_factors());
    ASSERT_NO_FATAL_FAILURE(open(CODE_B311));
    const std::vector<std::string> text = report_lines(print_local_element_forces);
    const int ends[] = {18, 26, 34, 44, 53, 62};
    auto row = [&ends](int element, int end, const std::string& node, const std::string& sif, const std::string& s) {
        TextLine l;
        l.at(6, node);
        for (int k = 0; k < 6; ++k)
            l.right(ends[k], n(force_value(1, element, 6 * end + k)));
        if (!sif.empty())
            l.right(70, sif);
        return std::string(l.right(78, s));
    };
    const std::vector<std::string> expected = {
        TextLine().centred(6, 78, "Pipe element forces in local coordinates: Sustained (W+P)"),
        rule_line(),
        TextLine().at(16, "fx      fy      fz       mx       my       mz").at(75, "SL"),
        TextLine()
            .at(6, "Node")
            .centred(15, 18, "(lb)")
            .centred(23, 26, "(lb)")
            .centred(31, 34, "(lb)")
            .centred(39, 45, "(in-lb)")
            .centred(48, 54, "(in-lb)")
            .centred(57, 63, "(in-lb)")
            .at(67, "SIF")
            .right(78, "(psi)"),
        rule_line(),
        row(1, 0, "10", "", "1001"),
        row(1, 1, "20", "  2.50", "1101"),
        "",
        row(2, 0, "20", "  1.75", "2001"),
        row(2, 1, "30", "", "2101"),
        "",
        rule_line(),
    };
    EXPECT_EQ(text, expected);

    const std::vector<std::string> csv = report_lines(print_local_element_forces, true);
    const std::vector<std::string> expected_csv = {
        "Sustained (W+P): Pipe element forces (local),",
        ",fx,fy,fz,mx,my,mz,SIF,SL,",
        "Node,(lb),(lb),(lb),(in-lb),(in-lb),(in-lb),,(psi),",
        "10,101,-111,121,-131,141,-151,,1001,",
        "20,161,-171,181,-191,201,-211,2.50,1101,",
        "20,201,-211,221,-231,241,-251,1.75,2001,",
        "30,261,-271,281,-291,301,-311,,2101,",
    };
    EXPECT_EQ(csv, expected_csv);
    // Printing left the shown choice as it was.
    EXPECT_FALSE(global_forces_shown());
}

TEST_F(PipeForceTable, GlobalLayoutOfTheTextReportAndCsv)
{
    ASSERT_NO_FATAL_FAILURE(open(CODE_B311));
    const std::vector<std::string> text = report_lines(print_global_element_forces);
    auto row = [](const std::string& node, const std::vector<std::string>& v) {
        TextLine l;
        l.at(4, node);
        const int ends[] = {18, 28, 38, 50, 62, 74};
        for (int k = 0; k < 6; ++k)
            l.right(ends[k], v[static_cast<std::size_t>(k)]);
        return std::string(l);
    };
    // Element 1 along +X: global = local, the first end negated.
    const std::vector<std::string> expected = {
        TextLine().centred(4, 78, "Element forces in global coordinates: Sustained (W+P)"),
        rule_line(),
        TextLine()
            .at(5, "Node")
            .centred(13, 19, "FX (lb)")
            .centred(23, 29, "FY (lb)")
            .centred(33, 39, "FZ (lb)")
            .centred(44, 52, "MX (in-lb)")
            .centred(56, 64, "MY (in-lb)")
            .centred(68, 76, "MZ (in-lb)"),
        rule_line(),
        row("10", {"-101", "111", "-121", "131", "-141", "151"}),
        row("20", {"161", "-171", "181", "-191", "201", "-211"}),
        "",
        row("20", {"221", "211", "-201", "-251", "-241", "231"}),
        row("30", {"-281", "-271", "261", "311", "301", "-291"}),
        "",
        rule_line(),
    };
    EXPECT_EQ(text, expected);
    EXPECT_FALSE(global_forces_shown());
    const std::vector<std::string> csv = report_lines(print_global_element_forces, true);
    const std::vector<std::string> expected_csv = {
        "Sustained (W+P): Element forces (global),",
        "Node,FX,FY,FZ,MX,MY,MZ,",
        ",(lb),(lb),(lb),(in-lb),(in-lb),(in-lb),",
        "10,-101,111,-121,131,-141,151,",
        "20,161,-171,181,-191,201,-211,",
        "20,221,211,-201,-251,-241,231,",
        "30,-281,-271,261,311,301,-291,",
    };
    EXPECT_EQ(csv, expected_csv);
}

TEST_F(PipeForceTable, InOutPlaneTableOfB313)
{
    install_stand_in(sifs_and_factors());
    ASSERT_NO_FATAL_FAILURE(open(CODE_B313));
    TableWindow& t = shown_pipes();
    ASSERT_EQ(t.groups.size(), 4u);
    EXPECT_EQ(t.groups[0].text, "Torsion (in-lb)");
    EXPECT_EQ(t.groups[1].text, "Inplane (in-lb)");
    EXPECT_EQ(t.groups[2].text, "Outplane (in-lb)");
    EXPECT_EQ(t.groups[3].text, "Flex. Factors");
    const std::vector<std::string> line1 = {"",       "(lb)", "(lb)",   "(lb)", "Moment", "SIF", "Moment", "SIF", "Moment",
                                            "SIF",    "FFt",  "FFo",    "FFi",  "",       "",    "",       "(psi)"};
    for (int c = 1; c <= 17; ++c)
        EXPECT_EQ(t.header_text(c, 1), line1[static_cast<std::size_t>(c - 1)]) << c;
    EXPECT_EQ(t.header_text(2, 0), "Axial");
    EXPECT_EQ(t.header_text(17, 0), "SL");
    // Element 2, first end: torsion mx, in-plane mz, out-of-plane my; its SIFs.
    EXPECT_EQ(t.cell_text(2, 5, 0), "-231");
    EXPECT_EQ(t.cell_text(2, 7, 0), "-251");
    EXPECT_EQ(t.cell_text(2, 9, 0), "241");
    EXPECT_EQ(t.cell_text(2, 6, 0), "1.25");
    EXPECT_EQ(t.cell_text(2, 8, 0), "1.75");
    EXPECT_EQ(t.cell_text(2, 10, 0), "1.50");
    // The flexibility factors, the same on both lines; 1 shows empty.
    EXPECT_EQ(t.cell_text(2, 11, 0), "");
    EXPECT_EQ(t.cell_text(2, 12, 1), "3.25");
    EXPECT_EQ(t.cell_text(2, 13, 0), "4.50");
    EXPECT_EQ(t.cell_text(2, 17, 1), stress(2, 1, LC_SUSTAINED));
    table_ensure_measured(t);
    for (int c : {14, 15, 16})
        EXPECT_EQ(t.widths[static_cast<std::size_t>(c)], 0) << c;
    EXPECT_EQ(t.widths[3], t.widths[2]);

    const std::vector<std::string> text = report_lines(print_local_element_forces);
    ASSERT_GE(text.size(), 12u);
    EXPECT_EQ(text[2], std::string(TextLine().at(4, "---------------------------------------...In plane... .Out of plane..------")));
    EXPECT_EQ(text[3], std::string(TextLine().at(14, "Axial  y shear z shear Torque  Bend.Moment    Bend.Moment").at(75, "SL")));
    EXPECT_EQ(text[4], std::string(TextLine()
                                       .at(6, "Node")
                                       .centred(15, 18, "(lb)")
                                       .centred(23, 26, "(lb)")
                                       .centred(31, 34, "(lb)")
                                       .centred(37, 43, "(in-lb)")
                                       .centred(45, 51, "(in-lb)")
                                       .centred(60, 66, "(in-lb)")
                                       .at(54, "SIF")
                                       .at(69, "SIF")
                                       .right(78, "(psi)")));
    // Element 2's first end: axial, shears, torque, in-plane and
    // out-of-plane moments and their SIFs, the stress.
    EXPECT_EQ(text[9], std::string(TextLine()
                                       .at(6, "20")
                                       .right(18, "201")
                                       .right(26, "-211")
                                       .right(34, "221")
                                       .right(42, "-231")
                                       .right(50, "-251")
                                       .right(56, "  1.75")
                                       .right(65, "241")
                                       .right(71, "  1.50")
                                       .right(78, "2001")));
    const std::vector<std::string> csv = report_lines(print_local_element_forces, true);
    ASSERT_GE(csv.size(), 6u);
    // The flexibility factors after the SIFs, as the table shows them.
    EXPECT_EQ(csv[1], ",,,,,In plane,Out of plane,In plane,Out of plane,Torsion,Flex. Factors,");
    EXPECT_EQ(csv[2], ",Axial,y shear,z shear,Torque,Bend.Moment,Bend.Moment,SIF,SIF,SIF,FFt,FFo,FFi,SL,");
    EXPECT_EQ(csv[3], "Node,(lb),(lb),(lb),(in-lb),(in-lb),(in-lb),,,,,,,(psi),");
    EXPECT_EQ(csv[6], "20,201,-211,221,-231,-251,241,1.75,1.50,1.25,,3.25,4.50,2001,");
}

TEST_F(PipeForceTable, IgemShowsScfsAndTheSifSetOfTheCategory)
{
    StandIn s;
    s.after = [](CodeRecords& records) {
        ElementSifRecord& r = records.element_sifs[2];
        r.igem_category1[0] = {1.1f, 1.2f, 1.3f};
        r.igem_category2[0] = {2.1f, 2.2f, 2.3f};
        r.igem_scf[0] = {3.1f, 3.2f, 3.3f};
    };
    install_stand_in(s);
    ASSERT_NO_FATAL_FAILURE(open(CODE_IGEM, {LC_SUSTAINED, LC_EXPANSION_T1, LC_OPERATING_1}));
    TableWindow& t = shown_pipes();
    EXPECT_EQ(t.header_text(6, 1), "SCF");
    EXPECT_EQ(t.header_text(14, 1), "Is");
    ASSERT_EQ(t.groups.size(), 5u);
    EXPECT_EQ(t.groups[4].text, "SCFs");
    // Sustained: the category 1 set; the out-of-plane cell its own factor.
    EXPECT_EQ(t.cell_text(2, 6, 0), "1.10");
    EXPECT_EQ(t.cell_text(2, 8, 0), "1.20");
    EXPECT_EQ(t.cell_text(2, 10, 0), "1.30");
    EXPECT_EQ(t.cell_text(2, 14, 0), "3.10");
    EXPECT_EQ(t.cell_text(2, 16, 0), "3.30");
    frame_command(results_frame(), CMD_NEXT_LOAD_CASE);
    EXPECT_EQ(t.cell_text(2, 10, 0), "2.30");
    // Operating (category 0): no SIF set.
    frame_command(results_frame(), CMD_NEXT_LOAD_CASE);
    EXPECT_EQ(results_loadcase_code(), LC_OPERATING_1);
    EXPECT_EQ(t.cell_text(2, 8, 0), "");
    table_ensure_measured(t);
    EXPECT_GT(t.widths[14], 0);
}

TEST_F(PipeForceTable, NoCodeTableShowsThePrincipalStressesOfTheShownCase)
{
    StandIn s;
    s.after = [](CodeRecords& records) {
        for (PipeResultRecord& p : records.pipes) {
            p.principal_case = LC_SUSTAINED;
            p.von_mises[0].set(500.0f + static_cast<float>(p.element));
            p.maximum[0].set(400.0f);
            p.minimum[0].set(-300.0f);
        }
    };
    install_stand_in(s);
    ASSERT_NO_FATAL_FAILURE(open(CODE_NONE));
    TableWindow& t = shown_pipes();
    EXPECT_EQ(t.header_text(8, 0), "Inplane");
    EXPECT_EQ(t.header_text(10, 1), "Von Mises");
    ASSERT_EQ(t.groups.size(), 1u);
    EXPECT_EQ(t.groups[0].text, "Stress (psi)");
    EXPECT_EQ(t.cell_text(2, 10, 0), "502");
    EXPECT_EQ(t.cell_text(2, 11, 0), "400");
    EXPECT_EQ(t.cell_text(2, 12, 0), "-300");
    EXPECT_EQ(t.cell_text(2, 10, 1), "");
    // Another case: its own stresses (none from the tests' evaluation).
    frame_command(results_frame(), CMD_NEXT_LOAD_CASE);
    EXPECT_EQ(t.cell_text(2, 10, 0), "");
    const std::vector<std::string> csv = report_lines(print_local_element_forces, true);
    ASSERT_GE(csv.size(), 3u);
    EXPECT_EQ(csv[1], ",fx,fy,fz,mx,my,mz,Inplane,Outplane,");
    EXPECT_EQ(csv[2], "Node,(lb),(lb),(lb),(in-lb),(in-lb),(in-lb),SIF,SIF,");
    const std::vector<std::string> text = report_lines(print_local_element_forces);
    ASSERT_GE(text.size(), 4u);
    EXPECT_EQ(text[2], std::string(TextLine().at(16, "fx      fy      fz       mx       my       mz  Inplane Outplane")));
    EXPECT_EQ(text[3].substr(66), "SIF      SIF");
}

TEST_F(PipeForceTable, Bs806MarksBranchJunctionsAndShowsItsFactors)
{
    ASSERT_NO_FATAL_FAILURE(open(CODE_BS806, {LC_SUSTAINED, LC_OPERATING_1}));
    // Node 20 as a branch junction; the BS 806 quantities of element 2.
    model().nodes[node_index(20)].branch_mark = 2;
    bs806_element_stress() = [](int element) {
        Bs806Ends e{};
        if (element != 2)
            return e;
        e[0].mi.set(1000.0f);
        e[0].m.set(1.5f);
        e[0].bi.set(2.25f);
        e[0].f_fb.set(12000.0f);
        return e;
    };
    TableWindow& t = shown_pipes();
    EXPECT_NE(results_title().find("Pipe Forces in Local Coordinates"), std::string::npos);
    EXPECT_EQ(t.header_text(5, 0), "FTi");
    EXPECT_EQ(t.header_text(5, 1), "Br.J");
    EXPECT_EQ(t.cell_text(2, 5, 0), "Br.J");
    EXPECT_EQ(t.cell_text(2, 2, 0), "1000");
    EXPECT_EQ(t.cell_text(2, 6, 0), "1.50");
    EXPECT_EQ(t.cell_text(2, 7, 0), "2.25");
    EXPECT_EQ(t.cell_text(2, 9, 0), "12000");
    // A straight pipe at a plain node: no factors.
    EXPECT_EQ(t.cell_text(2, 5, 1), "");
    const std::vector<std::string> text = report_lines(print_local_element_forces);
    ASSERT_GE(text.size(), 10u);
    EXPECT_EQ(text[2], std::string(TextLine().at(14, "Mi      Mo      Mt    FTi   FTo   FLi   FLo   F,fB    fs     fc")));
    EXPECT_EQ(text[8], std::string(TextLine()
                                       .at(5, "20")
                                       .right(16, "1000")
                                       .at(35, "BrJnc")
                                       .right(45, "  1.50")
                                       .right(51, "  2.25")
                                       .right(64, "12000")));
    const std::vector<std::string> csv = report_lines(print_local_element_forces, true);
    ASSERT_GE(csv.size(), 6u);
    EXPECT_EQ(csv[1], ",Mi,Mo,Mt,FTi,FTo,FLi,FLo,F.fB,fs,fc,");
    EXPECT_EQ(csv[2], "Node,(in-lb),(in-lb),(in-lb),BrJnc,m,Bi,Bo,(psi),(psi),(psi),");
    EXPECT_EQ(csv[5], "20,1000,,,BrJnc,1.50,2.25,,12000,,,");
}

TEST_F(PipeForceTable, Class2SustainedShowsB1AndB2)
{
    StandIn s;
    s.after = [](CodeRecords& records) {
        for (PipeResultRecord& p : records.pipes)
            for (CodeValue& v : p.class2_sustained)
                v.set(3000.0f + static_cast<float>(p.element));
    };
    install_stand_in(s);
    pipe_stress_hooks().b1_b2 = [](int32_t element) {
        std::array<CodeValue, 4> v;
        v[0].set(0.5f);
        v[1].set(0.75f);
        v[2].set(1.0f + static_cast<float>(element));
        v[3].set(1.25f);
        return v;
    };
    ASSERT_NO_FATAL_FAILURE(open(CODE_ASME_CLASS2_2015));
    TableWindow& t = shown_pipes();
    EXPECT_EQ(t.header_text(8, 0), "B1");
    EXPECT_EQ(t.header_text(9, 0), "B2");
    EXPECT_EQ(t.cell_text(2, 8, 0), "0.50");
    EXPECT_EQ(t.cell_text(2, 8, 1), "0.75");
    EXPECT_EQ(t.cell_text(2, 9, 0), "3.00");
    EXPECT_EQ(t.cell_text(2, 10, 0), "3002");
    table_ensure_measured(t);
    EXPECT_GT(t.widths[9], 0);
    EXPECT_EQ(t.widths[8], t.widths[9]);
    const std::vector<std::string> text = report_lines(print_local_element_forces);
    ASSERT_GE(text.size(), 9u);
    EXPECT_EQ(text[2], std::string(TextLine().at(16, "fx     fy      fz     mx      my      mz").at(75, "SL")));
    EXPECT_EQ(text[8], std::string(TextLine()
                                       .at(6, "20")
                                       .right(17, "201")
                                       .right(24, "-211")
                                       .right(32, "221")
                                       .right(40, "-231")
                                       .right(48, "241")
                                       .right(56, "-251")
                                       .right(64, "0.50")
                                       .right(70, "3.00")
                                       .right(78, "3002")));
    const std::vector<std::string> csv = report_lines(print_local_element_forces, true);
    ASSERT_GE(csv.size(), 6u);
    EXPECT_EQ(csv[1], ",fx,fy,fz,mx,my,mz,B1,B2,SL,");
    EXPECT_EQ(csv[5], "20,201,-211,221,-231,241,-251,0.50,3.00,3002,");
    // An expansion case: the SIF column, no B2.
    frame_command(results_frame(), CMD_NEXT_LOAD_CASE);
    EXPECT_EQ(t.header_text(8, 0), "SIF");
    table_ensure_measured(t);
    EXPECT_EQ(t.widths[9], 0);
}

class ForceTableStress : public ForceTableTest {};

TEST_F(ForceTableStress, CellsAreEmptyWithoutAnEvaluation)
{
    register_code_evaluation({});
    ASSERT_NO_FATAL_FAILURE(open(CODE_B311));
    TableWindow& t = shown_pipes();
    EXPECT_EQ(t.header_text(10, 0), "SL");
    for (int row = 1; row <= 2; ++row)
        for (int line = 0; line < 2; ++line) {
            EXPECT_EQ(t.cell_text(row, 8, line), "") << row << line;
            EXPECT_EQ(t.cell_text(row, 10, line), "") << row << line;
        }
    const std::vector<std::string> csv = report_lines(print_local_element_forces, true);
    ASSERT_GE(csv.size(), 4u);
    EXPECT_EQ(csv[3], "10,101,-111,121,-131,141,-151,,,");
}

TEST_F(ForceTableStress, LabelsFollowTheCaseAndTheCode)
{
    // The stress column's heading by load case, and the EN 13480 names in
    // the standard table.
    EXPECT_EQ(pipe_stress_column(CODE_B311, LC_SUSTAINED, true).label, "SL");
    EXPECT_EQ(pipe_stress_column(CODE_B311, LC_HYDROTEST, true).label, "SL");
    EXPECT_EQ(pipe_stress_column(CODE_B311, 58, true).label, "SE");
    EXPECT_EQ(pipe_stress_column(CODE_B311, LC_OPERATING_1, true).label, "Sopr");
    EXPECT_EQ(pipe_stress_column(CODE_B311, 108, true).label, "SL+SO");
    EXPECT_EQ(pipe_stress_column(CODE_EN13480, LC_SUSTAINED, true).label, "S1");
    EXPECT_EQ(pipe_stress_column(CODE_EN13480, LC_EXPANSION_T1, true).label, "S3");
    EXPECT_EQ(pipe_stress_column(CODE_EN13480, LC_WIND, true).label, "S2");
    EXPECT_EQ(pipe_stress_column(CODE_EN13480, LC_WIND, false).label, "SL+SO");
    // Every operating case alike, of thermal sets 2 and 10 too.
    EXPECT_EQ(pipe_stress_column(CODE_B311, LC_OPERATING_1 + 1, true).label, "Sopr");
    EXPECT_EQ(pipe_stress_column(CODE_B311, 106, true).label, "Sopr");
    EXPECT_FALSE(pipe_stress_column(CODE_B311, LC_COLD_SPRING, true).shown);
    // B1 and B2 for the Class 2/3 codes of 1986 on, in the sustained,
    // hydrotest and occasional cases.
    EXPECT_TRUE(b1_b2_shown(CODE_ASME_CLASS3_2017, LC_HYDROTEST));
    EXPECT_TRUE(b1_b2_shown(CODE_ASME_CLASS2_1986, 109));
    EXPECT_FALSE(b1_b2_shown(CODE_ASME_CLASS2_1980, LC_SUSTAINED));
    EXPECT_FALSE(b1_b2_shown(CODE_ASME_CLASS2_2017, LC_EXPANSION_T1));
    EXPECT_EQ(pipe_stress_category(LC_WIND), 1);
    EXPECT_EQ(pipe_stress_category(LC_EXPANSION_T1), 2);
    EXPECT_EQ(pipe_stress_category(LC_HYDROTEST), 0);
}

class ForceTableSignRule : public ForceTableTest {};

TEST_F(ForceTableSignRule, StaticCasesNegateTheFirstEndDynamicOnesShowMagnitudes)
{
    start_model();
    add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
    add(20, ET_PIPE, 100, 0, 0);
    add(30, ET_PIPE, 0, 0, 50, DT_ANCHOR);
    piping_code() = CODE_B311;
    Values v;
    // The same forces in both cases.
    v.force = [](int, int e, int k) { return force_value(LC_SUSTAINED, e, k); };
    ASSERT_NO_FATAL_FAILURE(write_results({LC_SUSTAINED, LC_SEISMIC_G}, v));
    ASSERT_NO_FATAL_FAILURE(open_written());
    global_forces_shown() = true;
    show_pipe_forces();
    TableWindow& t = pipe_force_table();
    t.prepare_row(1);
    // Element 1 along +X: global = local.
    EXPECT_EQ(t.cell_text(1, 2, 0), "-101");
    EXPECT_EQ(t.cell_text(1, 3, 0), "111");
    EXPECT_EQ(t.cell_text(1, 3, 1), "-171");
    frame_command(results_frame(), CMD_NEXT_LOAD_CASE);
    ASSERT_EQ(results_loadcase_code(), LC_SEISMIC_G);
    t.prepare_row(1);
    EXPECT_EQ(t.cell_text(1, 2, 0), "101");
    EXPECT_EQ(t.cell_text(1, 3, 0), "111");
    EXPECT_EQ(t.cell_text(1, 3, 1), "171");
    // The report's global rows alike.
    const std::vector<std::string> csv = report_lines(print_global_element_forces, true);
    ASSERT_GE(csv.size(), 5u);
    EXPECT_EQ(csv[3], "10,101,111,121,131,141,151,");
    // Local values are shown as stored in either case.
    global_forces_shown() = false;
    show_pipe_forces();
    t.prepare_row(1);
    EXPECT_EQ(t.cell_text(1, 3, 0), "-111");
}

TEST_F(ForceTableSignRule, ForceCellTextColumnsEndsAndShift)
{
    ASSERT_NO_FATAL_FAILURE(open(CODE_B311));
    ElementForceRecord f{};
    for (std::size_t k = 0; k < 12; ++k)
        f[k] = static_cast<float>(k + 1);
    // Static: the first end negated; columns 2..7, or 3..8 shifted.
    EXPECT_EQ(force_cell_text(f, 2, 0, false), "-1");
    EXPECT_EQ(force_cell_text(f, 7, 0, false), "-6");
    EXPECT_EQ(force_cell_text(f, 7, 1, false), "12");
    EXPECT_EQ(force_cell_text(f, 8, 1, true), "12");
    EXPECT_EQ(force_cell_text(f, 1, 0, false), "");
    EXPECT_EQ(force_cell_text(f, 8, 0, false), "");
    EXPECT_EQ(force_cell_text(f, 2, 2, false), "");
    EXPECT_EQ(local_force_cell_text(f, 3, 0), "1");
    EXPECT_EQ(local_force_cell_text(f, 2, 0), "");
    // A value that is not a number shows empty, never "nan".
    f[0] = std::numeric_limits<float>::quiet_NaN();
    EXPECT_EQ(force_cell_text(f, 2, 0, false), "");
}
