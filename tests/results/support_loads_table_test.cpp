// The support loads tables of the nine kinds, their summaries over the
// combinations of the support load summary and the limit-stop status, on
// screen, in the text report and in CSV (the layouts hand-written below).
//
// The model: a line along +X from anchor 10 with a restraint (X and Y) at
// 20, a skewed restraint at 30 towards its connected node 35 (a branch up
// +Y from 30), a guide at 40, a limit stop (along +Y) at 50, a user hanger
// at 60, a snubber along Z at 70, a generic support at 80, and a nozzle at
// 90 at the top of a riser along +Z. Support word w (in row order: anchor
// 0-5, restraint 6-8, skewed 9, guide 10-12, stop 13-14, hanger 15, snubber
// 16, generic 17-22, nozzle 23-28) holds (-1)^w (100 c + 10 (w + 1)) in the
// case of code c.
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "model/piping_codes.h"
#include "results/result_tables_fixture.h"
#include "results/support_summary.h"
#include "results/ui/result_choosers.h"
#include "results/ui/support_load_tables.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"

namespace {

double word_value(int code, int w)
{
    return (w % 2 ? -1.0 : 1.0) * (100.0 * code + 10.0 * (w + 1));
}

std::string whole(double v)
{
    return std::to_string(static_cast<long>(v));
}

// Kinds in the results' order: anchors, guides, hangers, limit stops,
// nozzles, restraints, skewed restraints, snubbers, generic supports.
enum Kind : int { ANCHORS, GUIDES, HANGERS, STOPS, NOZZLES, RESTRAINTS, SKEWED, SNUBBERS, GENERIC };

}  // namespace

class SupportLoadsTable : public ResultTablesTest {
protected:
    void open(const std::vector<int>& cases = {LC_SUSTAINED},
              const std::function<double(int code, int word)>& support = word_value, int32_t code = CODE_B311)
    {
        start_model();
        add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
        const int restraint = add(20, ET_PIPE, 100, 0, 0, DT_RESTRAINT);
        item<Restraint>(restraint).v.restrained = {1, 1, 0};
        const int skewed = add(30, ET_PIPE, 100, 0, 0, DT_SKEWED_RESTRAINT);
        item<SkewedRestraint>(skewed).v = {"SK1", false, 0.0f, {0.0f, 0.0f, 0.0f}, 35};
        add(40, ET_PIPE, 100, 0, 0, DT_GUIDE);
        const int stop = add(50, ET_PIPE, 100, 0, 0, DT_LIMIT_STOP);
        item<LimitStop>(stop).v = {"", 0.0f, NO_LIMIT, {0.0f, 1.0f, 0.0f}, 0.0f, 0.0f, 0};
        const int hanger = add(60, ET_PIPE, 100, 0, 0, DT_HANGER);
        item<Hanger>(hanger).v.type = HANGER_USER;
        const int snubber = add(70, ET_PIPE, 100, 0, 0, DT_SNUBBER);
        item<Snubber>(snubber).v.direction = {0.0f, 0.0f, 1.0f};
        add(80, ET_PIPE, 100, 0, 0, DT_GENERIC_SUPPORT);
        add(90, ET_PIPE, 0, 0, 100, DT_NOZZLE);
        add(30, ET_FROM);
        add(35, ET_PIPE, 0, 50, 0);
        piping_code() = code;
        Values v;
        v.support = support;
        v.displacement = [](int code, int, int d) { return code * 0.1 + d * 0.01; };
        ASSERT_NO_FATAL_FAILURE(write_results(cases, v));
        ASSERT_NO_FATAL_FAILURE(open_written());
    }
    static TableWindow& shown(int kind)
    {
        results_hooks().support_loads[static_cast<std::size_t>(kind)]();
        return support_loads_table(kind);
    }
    static std::vector<std::string> printed(int kind, bool csv)
    {
        return report_lines([kind] { support_loads_table(kind).print(); }, csv);
    }
};

TEST_F(SupportLoadsTable, RestraintsShowTheirRestrainedDirections)
{
    ASSERT_NO_FATAL_FAILURE(open());
    TableWindow& t = shown(RESTRAINTS);
    EXPECT_EQ(current_result(), RESULT_SUPPORT_LOADS);
    EXPECT_NE(results_title().find("Loads on Restraints: Sustained (W+P)"), std::string::npos);
    EXPECT_EQ(t.row_count, 1);
    EXPECT_EQ(t.header_text(3, 0), "FX (lb)");
    EXPECT_EQ(t.cell_text(1, 1, 0), "20");
    EXPECT_EQ(t.cell_text(1, 3, 0), "170");
    EXPECT_EQ(t.cell_text(1, 4, 0), "-180");
    EXPECT_EQ(t.cell_text(1, 5, 0), "");
    // The other kinds are offered through F6.
    EXPECT_TRUE(results_frame().menu.contains(CMD_OTHER_ITEM));
    EXPECT_EQ(results_tooltip(CMD_OTHER_ITEM), "Other supports");

    const std::vector<std::string> expected = {
        TextLine().centred(6, 78, "Loads on Restraints: Sustained (W+P)"),
        rule_line(),
        TextLine().at(6, "Node").centred(15, 21, "FX (lb)").centred(25, 31, "FY (lb)").centred(35, 41, "FZ (lb)"),
        rule_line(),
        TextLine().at(6, "20").right(19, "170").right(29, "-180"),
        rule_line(),
    };
    EXPECT_EQ(printed(RESTRAINTS, false), expected);
    // In CSV every direction's value is written.
    const std::vector<std::string> csv = {
        "Sustained (W+P): Loads on restraints,",
        "Node,Tag,FX (lb),FY (lb),FZ (lb),",
        "20,,170,-180,190,",
    };
    EXPECT_EQ(printed(RESTRAINTS, true), csv);
}

TEST_F(SupportLoadsTable, SkewedRestraintsPointToTheirConnectedNodeAndTurnRotational)
{
    ASSERT_NO_FATAL_FAILURE(open());
    TableWindow& t = shown(SKEWED);
    // No direction of its own: the unit vector from 30 to 35, (0, 1, 0).
    EXPECT_EQ(t.cell_text(1, 2, 0), "SK1");
    EXPECT_EQ(t.cell_text(1, 3, 0), "Translational");
    EXPECT_EQ(t.cell_text(1, 4, 0), "-200");
    EXPECT_EQ(t.cell_text(1, 5, 0), "(lb)");
    EXPECT_EQ(t.cell_text(1, 6, 0), "");
    EXPECT_EQ(t.cell_text(1, 7, 0), "1.000");
    EXPECT_EQ(t.cell_text(1, 9, 0), "35");
    const std::vector<std::string> expected = {
        TextLine().centred(6, 78, "Loads on Skewed restraints: Sustained (W+P)"),
        rule_line(),
        TextLine()
            .at(6, "Node")
            .at(12, "CNode")
            .at(23, "Type")
            .at(35, "Load")
            .at(43, "Units")
            .at(53, "X comp")
            .at(63, "Y comp")
            .at(73, "Z comp"),
        rule_line(),
        TextLine().at(6, "30").at(12, "35").at(19, "Translational").right(38, "-200").at(42, "(lb)").right(67, "1.000"),
        rule_line(),
    };
    EXPECT_EQ(printed(SKEWED, false), expected);
    EXPECT_EQ(printed(SKEWED, true), (std::vector<std::string>{
                                         "Sustained (W+P): Loads on skewed restraints,",
                                         "Node,Tag,CNode,Type,Load,Units,X comp,Y comp,Z comp,",
                                         "30,SK1,35,Translational,-200,(lb),0.000,1.000,0.000,",
                                     }));
    // A rotational one: the load is a moment.
    auto& skewed = dynamic_cast<SkewedRestraint&>(*model().rows[3].data);
    skewed.v.rotational = true;
    TableWindow& again = shown(SKEWED);
    EXPECT_EQ(again.cell_text(1, 3, 0), "Rotational");
    EXPECT_EQ(again.cell_text(1, 5, 0), "(in-lb)");
    // Connected to a node at its own place: no direction, empty components
    // on screen, zeros in the text and CSV, nothing divided by zero.
    skewed.v.connected = 30;
    TableWindow& own = shown(SKEWED);
    for (int c = 6; c <= 8; ++c)
        EXPECT_EQ(own.cell_text(1, c, 0), "") << c;
    EXPECT_EQ(own.cell_text(1, 9, 0), "30");
    EXPECT_EQ(printed(SKEWED, true).back(), "30,SK1,30,Rotational,-200,(in-lb),0.000,0.000,0.000,");
}

TEST_F(SupportLoadsTable, SnubbersAnchorsAndTheValuesOfTheOtherKinds)
{
    ASSERT_NO_FATAL_FAILURE(open({LC_SUSTAINED, LC_SEISMIC_G}));
    // Snubbers: their load and direction, zeros written in the text.
    ASSERT_TRUE(set_results_load_case(LC_SEISMIC_G));
    TableWindow& snubbers = shown(SNUBBERS);
    EXPECT_EQ(snubbers.header_text(3, 0), "Load (lb)");
    // Word 16: 100 x 12 + 170.
    EXPECT_EQ(snubbers.cell_text(1, 3, 0), "1370");
    EXPECT_EQ(snubbers.cell_text(1, 6, 0), "1.000");
    EXPECT_EQ(printed(SNUBBERS, false), (std::vector<std::string>{
                                            TextLine().centred(6, 78, "Loads on Snubbers: Seismic (g)"),
                                            rule_line(),
                                            TextLine()
                                                .at(6, "Node")
                                                .at(13, "Load")
                                                .at(18, "(lb)")
                                                .at(26, "X comp")
                                                .at(36, "Y comp")
                                                .at(46, "Z comp"),
                                            rule_line(),
                                            TextLine().at(6, "70").right(19, "1370").right(30, "0.000").right(40, "0.000").right(
                                                50, "1.000"),
                                            rule_line(),
                                        }));
    ASSERT_TRUE(set_results_load_case(LC_SUSTAINED));
    // Anchors: six loads, forces and moments.
    TableWindow& anchors = shown(ANCHORS);
    EXPECT_EQ(anchors.header_text(6, 0), "MX (in-lb)");
    for (int w = 0; w < 6; ++w)
        EXPECT_EQ(anchors.cell_text(1, 3 + w, 0), whole(word_value(1, w))) << w;
    // Guides in the guide's axes (a pipe along X: the global ones).
    TableWindow& guides = shown(GUIDES);
    EXPECT_EQ(guides.cell_text(1, 3, 0), "210");
    EXPECT_EQ(guides.cell_text(1, 5, 0), "230");
    // Hangers, limit stops, generic supports.
    EXPECT_EQ(shown(HANGERS).cell_text(1, 3, 0), "-260");
    TableWindow& stops = shown(STOPS);
    EXPECT_EQ(stops.header_text(4, 0), "Friction (lb)");
    EXPECT_EQ(stops.cell_text(1, 3, 0), "-240");
    EXPECT_EQ(stops.cell_text(1, 4, 0), "250");
    EXPECT_EQ(shown(GENERIC).cell_text(1, 8, 0), "330");
    // F6 steps through the kinds the model has and wraps.
    Frame& f = results_frame();
    frame_command(f, CMD_NEXT_ITEM);
    EXPECT_EQ(results_table_view().table(), &support_loads_table(ANCHORS));
}

TEST_F(SupportLoadsTable, NozzleLoadsInThePipesLocalAxes)
{
    ASSERT_NO_FATAL_FAILURE(open());
    TableWindow& t = shown(NOZZLES);
    EXPECT_TRUE(results_frame().menu.contains(CMD_LOCAL_GLOBAL));
    EXPECT_EQ(results_tooltip(CMD_LOCAL_GLOBAL), "Global Loads");
    // Global: (-340, 350, -360) and (370, -380, 390).
    EXPECT_EQ(t.cell_text(1, 3, 0), "-340");
    frame_command(results_frame(), CMD_LOCAL_GLOBAL);
    EXPECT_TRUE(local_support_loads_shown());
    EXPECT_NE(results_title().find("Local loads on Nozzles"), std::string::npos);
    EXPECT_EQ(t.header_text(3, 0), "fx (lb)");
    // The riser runs along +Z: x = Z, y = Y, z = x cross y = (-1, 0, 0);
    // local forces (FZ, FY, -FX), moments (MZ, MY, -MX).
    const std::vector<std::string> local = {"-360", "350", "340", "390", "-380", "-370"};
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(t.cell_text(1, 3 + i, 0), local[static_cast<std::size_t>(i)]) << i;
    frame_command(results_frame(), CMD_LOCAL_GLOBAL);
    EXPECT_FALSE(local_support_loads_shown());
    // Leaving the table takes the item away.
    shown(RESTRAINTS);
    EXPECT_FALSE(results_frame().menu.contains(CMD_LOCAL_GLOBAL));
}

TEST_F(SupportLoadsTable, PrintingAllKindsInTheirOrderSnubbersOnlyInDynamicCases)
{
    ASSERT_NO_FATAL_FAILURE(open({LC_SUSTAINED, LC_SEISMIC_G}));
    auto titles = [] {
        std::vector<std::string> found;
        for (const std::string& line : report_lines(print_all_support_loads, true))
            if (line.find(": Loads on") != std::string::npos || line.find(": Local loads on") != std::string::npos)
                found.push_back(line.substr(line.find(": ") + 2));
        return found;
    };
    const std::vector<std::string> statics = {"Loads on anchors,", "Loads on restraints,", "Loads on skewed restraints,",
                                              "Loads on hangers,", "Loads on guides,",     "Loads on limit stops,",
                                              "Loads on nozzles,", "Loads on generic supports,"};
    EXPECT_EQ(titles(), statics);
    ASSERT_TRUE(set_results_load_case(LC_SEISMIC_G));
    std::vector<std::string> dynamic = statics;
    dynamic.push_back("Loads on snubbers,");
    EXPECT_EQ(titles(), dynamic);
}

TEST_F(SupportLoadsTable, TooFewLinesLeftStartTheTableOnANewPage)
{
    ASSERT_NO_FATAL_FAILURE(open());
    // Six lines left: the header (4 lines), the row and the closing rule fit.
    report_begin_text(false);
    while (report_lines_left() > 6)
        report_line("x");
    support_loads_table(RESTRAINTS).print();
    std::string text = report_end_text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 0);
    // Four lines left (fewer than 5): a new page, the header at its top.
    report_begin_text(false);
    while (report_lines_left() > 4)
        report_line("x");
    support_loads_table(RESTRAINTS).print();
    text = report_end_text();
    EXPECT_EQ(std::count(text.begin(), text.end(), '\f'), 1);
    const std::vector<std::string> lines = body(text);
    ASSERT_GT(lines.size(), 52u);
    EXPECT_EQ(lines[52], std::string(TextLine().centred(6, 78, "Loads on Restraints: Sustained (W+P)")));
}

// ---- Summaries ------------------------------------------------------------------------------

class SupportLoadsSummary : public SupportLoadsTable {
protected:
    void open_summary()
    {
        support_results_context().allowable = [](int node, std::array<float, 6>& values) {
            if (node != 20)
                return false;
            values = {100.0f, 1000.0f, 0.0f, 0.0f, 0.0f, 0.0f};
            return true;
        };
        ASSERT_NO_FATAL_FAILURE(open({LC_SUSTAINED, LC_OPERATING_1, LC_SEISMIC_G}));
        ASSERT_TRUE(support_summary_built());
    }
    // Shows the summary of the support in row `row`.
    static TableWindow& summary_of(int kind, int row)
    {
        const OneBased<int32_t>& list = results().supports_by_kind;
        for (int i = 1; i <= list.size(); ++i)
            if (list[i] == row)
                set_summary_support(i);
        show_support_load_summary();
        return support_summary_table(kind);
    }
};

TEST_F(SupportLoadsSummary, ValuesAreTheCasesLoadsCombinedAndTheAllowablesMarkOverLimits)
{
    ASSERT_NO_FATAL_FAILURE(open_summary());
    TableWindow& t = summary_of(RESTRAINTS, 2);
    EXPECT_EQ(current_result(), RESULT_SUPPORT_SUMMARY);
    EXPECT_NE(results_title().find("Support load summary for restraint at node 20"), std::string::npos);
    const std::vector<std::string> names = {"Sustained",           "Operating1",          "Sustained+Seismic",
                                            "Sustained-Seismic",   "Operating1+Seismic",  "Operating1-Seismic",
                                            "Maximum",             "Minimum",             "Allowables"};
    ASSERT_EQ(t.row_count, 9);
    // FX is word 6: 100 c + 70; FY word 7: -(100 c + 80). Sustained (c 1),
    // Operating (8), Seismic (12); the combinations add and subtract.
    const double sx = 170, ox = 870, gx = 1270, sy = -180, oy = -880, gy = -1280;
    const std::vector<double> fx = {sx, ox, sx + gx, sx - gx, ox + gx, ox - gx, ox + gx, sx - gx, 100};
    const std::vector<double> fy = {sy, oy, sy + gy, sy - gy, oy + gy, oy - gy, sy - gy, oy + gy, 1000};
    // Node translations: 0.1 c + 0.01 d.
    const std::vector<double> dx = {0.1, 0.8, 1.3, -1.1, 2.0, -0.4, 2.0, -1.1, 0.0};
    for (int k = 1; k <= 9; ++k) {
        const auto i = static_cast<std::size_t>(k - 1);
        EXPECT_EQ(t.cell_text(k, 1, 0), names[i]) << k;
        EXPECT_EQ(t.cell_text(k, 2, 0), whole(fx[i])) << k;
        EXPECT_EQ(t.cell_text(k, 3, 0), whole(fy[i])) << k;
        EXPECT_EQ(t.cell_text(k, 4, 0), "") << k;
        EXPECT_EQ(t.cell_text(k, 5, 0), k == 9 ? "0" : format_displacement_or_none(dx[i])) << k;
    }
    EXPECT_EQ(t.header_text(5, 1), "X (inch)");
    ASSERT_EQ(t.groups.size(), 1u);
    EXPECT_EQ(t.groups[0].text, "Displacements (global)");
    // Over the allowable (FX 100, FY 1000): the extremes red and inverted in
    // print; the combinations above them are not checked.
    auto marked = [&t](int row, int column) {
        t.marks = {};
        t.cell_text(row, column, 0);
        const bool red = t.marks.text_color == Color{255, 0, 0};
        EXPECT_EQ(red, !t.marks.highlighted.empty()) << row << "," << column;
        return red;
    };
    EXPECT_TRUE(marked(7, 2));
    EXPECT_TRUE(marked(8, 2));
    EXPECT_TRUE(marked(7, 3));
    EXPECT_TRUE(marked(8, 3));
    EXPECT_FALSE(marked(9, 2));
    EXPECT_FALSE(marked(5, 2));
    // The rule above "Maximum" sets the extremes apart.
    EXPECT_TRUE(t.row_rule_pen(6).has_value());
    EXPECT_FALSE(t.row_rule_pen(7).has_value());

    const std::vector<std::string> text = report_lines([&t] { support_summary_table(RESTRAINTS).print(); });
    std::vector<std::string> expected = {
        TextLine().centred(4, 88, "Support load summary for restraint at node 20"),
        rule_line(),
        TextLine().at(4, "Load combination").right(30, "FX (lb)").right(38, "FY (lb)").right(46, "FZ (lb)"),
        rule_line(),
    };
    for (std::size_t i = 0; i < 9; ++i)
        expected.push_back(TextLine().at(4, names[i]).right(30, whole(fx[i])).right(38, whole(fy[i])));
    expected.push_back(rule_line());
    EXPECT_EQ(text, expected);
    const std::vector<std::string> csv = report_lines([&t] { support_summary_table(RESTRAINTS).print(); }, true);
    ASSERT_EQ(csv.size(), 11u);
    EXPECT_EQ(csv[0], "Support load summary for restraint at node 20,");
    EXPECT_EQ(csv[1], "Load combination,FX (lb),FY (lb),FZ (lb),X (inch),Y (inch),Z (inch),");
    // Every direction's value, restrained or not: FZ is word 8, 100 c + 90.
    EXPECT_EQ(csv[2], "Sustained,170,-180,190," + format_displacement_or_none(0.1) + "," +
                          format_displacement_or_none(0.11) + "," + format_displacement_or_none(0.12) + ",");
}

TEST_F(SupportLoadsSummary, WithoutAnAllowableRecordNothingIsMarked)
{
    ASSERT_NO_FATAL_FAILURE(open_summary());
    TableWindow& t = summary_of(ANCHORS, 1);
    // Node 10 has no allowable record: a zero row, no marks.
    EXPECT_EQ(t.cell_text(9, 2, 0), "0");
    t.marks = {};
    t.cell_text(7, 2, 0);
    EXPECT_FALSE(t.marks.text_color.has_value());
}

TEST_F(SupportLoadsSummary, SkewedRestraintsAndSnubbersLeaveTheAllowablesOut)
{
    ASSERT_NO_FATAL_FAILURE(open_summary());
    auto& skewed = dynamic_cast<SkewedRestraint&>(*model().rows[3].data);
    skewed.v.rotational = true;
    skewed.v.tag = "";
    TableWindow& t = summary_of(SKEWED, 3);
    EXPECT_EQ(t.header_text(2, 1), "Load (in-lb)");
    EXPECT_EQ(t.cell_text(9, 2, 0), "");
    EXPECT_EQ(t.cell_text(9, 3, 0), "");
    const std::vector<std::string> text = report_lines([] { support_summary_table(SKEWED).print(); });
    ASSERT_EQ(text.size(), 13u);
    EXPECT_EQ(text[2], std::string(TextLine().at(4, "Load combination").right(40, "Load (in-lb)")));
    // Skewed load: word 9, -(100 c + 100); the moment ends at 40; no
    // "Allowables" row.
    EXPECT_EQ(text[4], std::string(TextLine().at(4, "Sustained").right(40, "-200")));
    // S -200, O -900, G -1300: the least is O + G.
    EXPECT_EQ(text[11], std::string(TextLine().at(4, "Minimum").right(40, "-2200")));
    const std::vector<std::string> snubber = report_lines(
        [] {
            set_summary_support(8);
            support_summary_table(SNUBBERS).print();
        },
        true);
    EXPECT_EQ(std::count_if(snubber.begin(), snubber.end(),
                            [](const std::string& l) { return l.rfind("Allowables", 0) == 0; }),
              0);
}

TEST_F(SupportLoadsSummary, LimitStopStatusOfTheCase)
{
    ASSERT_NO_FATAL_FAILURE(open_summary());
    show_limit_stop_status();
    TableWindow& t = limit_stop_status_table();
    // Load -240 in Sustained: the upper stop pushes; 250 friction.
    EXPECT_EQ(t.cell_text(1, 1, 0), "50");
    EXPECT_EQ(t.cell_text(1, 3, 0), "At upper limit");
    EXPECT_EQ(t.cell_text(1, 4, 0), "-240");
    EXPECT_EQ(t.cell_text(1, 5, 0), "250");
    EXPECT_EQ(limit_stop_status_text(12.0f), "Resting");
    EXPECT_EQ(limit_stop_status_text(0.0f), "Lifted off");
    const std::vector<std::string> csv = report_lines([&t] { t.print(); }, true);
    ASSERT_GE(csv.size(), 3u);
    EXPECT_EQ(csv[1], "Node,Tag,Status,Load (lb),Friction (lb),");
    EXPECT_EQ(csv[2], "50,,At upper limit,-240,250,");
}

// ---- Numbers in full ---------------------------------------------------------------------------

namespace {

// The cases of results that name every kind of combination the summary
// has, its longest among them: Operating (W+P1+T1) and Cold spring 10
// (code 116) beside Sustained, the cold-spring Design, Settlement,
// Hydrotest, the four winds and the five dynamic cases.
const std::vector<int> EVERY_KIND_OF_CASE = {LC_EMPTY_WEIGHT,  LC_SUSTAINED,     LC_OPERATING_1,       116,
                                             LC_COLD_SPRING_DESIGN, LC_SETTLEMENT, LC_HYDROTEST,      LC_WIND,
                                             107,              108,              109,                  LC_SEISMIC_G,
                                             LC_RESPONSE_SPECTRUM, LC_FORCE_SPECTRUM, LC_TIME_HISTORY, LC_HARMONIC};
// A limit stop's friction: a magnitude, which its combinations keep at 0
// or above.
constexpr int FRICTION_WORD = 14;

// Support word w's load: six digits and a minus sign in each base, in
// Empty Weight, Hydrotest and the cold-spring Design; Settlement's load of
// -1E9 lb, with which a combination is as wide as a load gets; none in the
// other cases. The friction: the same magnitudes, none in Settlement.
double six_digit_load(int code, int w)
{
    double load = 0.0;
    switch (code) {
    case LC_SUSTAINED:
    case LC_OPERATING_1:
    case 116: load = -(135217.0 + w); break;
    case LC_EMPTY_WEIGHT: load = -(435217.0 + w); break;
    case LC_COLD_SPRING_DESIGN: load = -(335217.0 + w); break;
    case LC_HYDROTEST: load = -(235217.0 + w); break;
    case LC_SETTLEMENT: load = -1.0e9; break;
    default: break;
    }
    if (w == FRICTION_WORD)
        return code == LC_SETTLEMENT ? 0.0 : std::fabs(load);
    return load;
}

// The combinations and the load of word w in each, as the summary forms
// them: a base's name, the sign and the case's label; a combination is the
// base's load plus (minus) the case's; Maximum and Minimum the extremes of
// the combinations; no allowable record.
std::vector<std::pair<std::string, double>> every_combination(int w)
{
    const std::vector<std::string> bases = {"Sustained", "Operating1", "Cold spring10"};
    const double base = six_digit_load(LC_SUSTAINED, w);
    std::vector<std::pair<std::string, double>> rows = {{"Empty Weight", six_digit_load(LC_EMPTY_WEIGHT, w)}};
    for (const std::string& b : bases)
        rows.emplace_back(b, base);
    rows.emplace_back("Cold spring Design", six_digit_load(LC_COLD_SPRING_DESIGN, w));
    for (const std::string& b : bases)
        rows.emplace_back(b + "+Settlement", base + six_digit_load(LC_SETTLEMENT, w));
    rows.emplace_back("Hydrotest", six_digit_load(LC_HYDROTEST, w));
    for (const char* wind : {"Wind", "Wind 2", "Wind 3", "Wind 4"})
        for (const std::string& b : bases)
            rows.emplace_back(b + "+" + wind, base);
    for (const char* label : {"Seismic", "Response", "Force spectrum"})
        for (const std::string& b : bases) {
            rows.emplace_back(b + "+" + label, base);
            rows.emplace_back(b + "-" + label, base);
        }
    for (const std::string& b : bases)
        rows.emplace_back(b + "+Time history", base);
    for (const std::string& b : bases) {
        rows.emplace_back(b + "+Harmonic", base);
        rows.emplace_back(b + "-Harmonic", base);
    }
    double most = rows.front().second, least = most;
    for (const auto& [name, load] : rows)
        most = std::max(most, load), least = std::min(least, load);
    rows.emplace_back("Maximum", most);
    rows.emplace_back("Minimum", least);
    rows.emplace_back("Allowables", 0.0);
    return rows;
}

// A load in full as a width of ten shows it: the whole pounds, or from a
// billion on the exponent form with three decimals ("-1.000E+09").
std::string in_full(double load)
{
    if (std::fabs(load) < 1.0e9)
        return whole(load);
    char text[32];
    std::snprintf(text, sizeof text, "%.3E", load);
    return text;
}

// The support words of each kind (kind order) and its layout row.
struct KindWords {
    int kind, first_word, values, row;
};
constexpr KindWords KIND_WORDS[] = {{ANCHORS, 0, 6, 1},  {GUIDES, 10, 3, 4},  {HANGERS, 15, 1, 6},
                                    {STOPS, 13, 2, 5},   {NOZZLES, 23, 6, 9}, {RESTRAINTS, 6, 3, 2},
                                    {SKEWED, 9, 1, 3},   {SNUBBERS, 16, 1, 7}, {GENERIC, 17, 6, 8}};

// Characters, not bytes.
int chars(const std::string& text)
{
    return static_cast<int>(std::count_if(text.begin(), text.end(), [](char c) { return (c & 0xC0) != 0x80; }));
}

}  // namespace

class SummaryNumbersInFull : public SupportLoadsSummary {};

// Every combination the summary can name, its longest ones among them
// ("Cold spring10-Force spectrum", 28 characters), with loads of six digits
// and a minus sign and the widest a load can be: on screen each cell holds
// its load whole, and in the text report of every kind each load stands
// whole under its heading, one blank at least from what stands before it,
// within the page's 88 columns (a row too wide for one line goes on under
// its name).
TEST_F(SummaryNumbersInFull, EveryCombinationsLoadsStandWholeUnderTheirHeadings)
{
    // Under a code that has the Settlement case.
    ASSERT_NO_FATAL_FAILURE(open(EVERY_KIND_OF_CASE, six_digit_load, CODE_ASME_CLASS2_2017));
    ASSERT_TRUE(support_summary_built());
    for (const KindWords& k : KIND_WORDS) {
        SCOPED_TRACE("kind " + std::to_string(k.kind));
        TableWindow& t = summary_of(k.kind, k.row);
        std::vector<std::vector<std::pair<std::string, double>>> by_value;   // by value, by row
        for (int i = 0; i < k.values; ++i)
            by_value.push_back(every_combination(k.first_word + i));
        const std::vector<std::pair<std::string, double>>& rows = by_value.front();
        ASSERT_EQ(t.row_count, static_cast<int>(rows.size()));
        // The restraint holds X and Y; a skewed restraint's, a snubber's,
        // a guide's, a stop's and a hanger's summary has no Allowables row.
        const auto shown = [&k](int i) { return k.kind != RESTRAINTS || i < 2; };
        const bool allowables = k.kind == ANCHORS || k.kind == NOZZLES || k.kind == RESTRAINTS || k.kind == GENERIC;
        for (int r = 1; r <= t.row_count; ++r)
            for (int i = 0; i < k.values && r < t.row_count; ++i) {
                const auto& [name, load] = by_value[static_cast<std::size_t>(i)][static_cast<std::size_t>(r - 1)];
                EXPECT_EQ(t.cell_text(r, 1, 0), name);
                EXPECT_EQ(t.cell_text(r, 2 + i, 0), shown(i) ? in_full(load) : "") << name;
            }

        std::vector<std::string> text = report_lines([&k] { support_summary_table(k.kind).print(); });
        for (const std::string& line : text) {
            EXPECT_LE(chars(line), 88) << line;
            EXPECT_EQ(line.find('*'), std::string::npos) << line;
        }
        // The value headings' lines, between the rules under the title and
        // under the headings; the column each heading ends in.
        ASSERT_GE(text.size(), 4u);
        std::size_t at = 2;
        std::vector<std::pair<std::size_t, int>> heading_ends;   // line of the row, end column
        for (; at < text.size() && text[at] != rule_line(); ++at)
            for (int i = 0; i < k.values; ++i) {
                const std::string heading = t.header_text(2 + i, 1);
                if (const std::size_t from = text[at].find(heading); from != std::string::npos && k.kind != SNUBBERS)
                    heading_ends.emplace_back(at - 2, static_cast<int>(from + heading.size()));
            }
        const std::size_t row_lines = at - 2;
        ASSERT_TRUE(k.kind == SNUBBERS || heading_ends.size() == static_cast<std::size_t>(k.values));
        // The heading again at the top of every page the rows go on to.
        const std::vector<std::string> heading(text.begin(), text.begin() + static_cast<std::ptrdiff_t>(at + 1));
        for (std::size_t l = at + 1; l + heading.size() <= text.size(); ++l)
            if (std::equal(heading.begin(), heading.end(), text.begin() + static_cast<std::ptrdiff_t>(l)))
                text.erase(text.begin() + static_cast<std::ptrdiff_t>(l),
                           text.begin() + static_cast<std::ptrdiff_t>(l + heading.size()));
        // Each combination's row: its name at column 4 and its loads whole,
        // each ending under its heading.
        std::size_t line = at + 1;
        for (std::size_t r = 0; r + (allowables ? 0 : 1) < rows.size(); ++r, line += row_lines) {
            ASSERT_LT(line + row_lines - 1, text.size());
            const std::string& name = rows[r].first;
            EXPECT_EQ(text[line].substr(0, 3 + name.size() + 1), "   " + name + " ") << text[line];
            for (int i = 0; i < k.values; ++i) {
                if (!shown(i))
                    continue;
                const std::string load = in_full(by_value[static_cast<std::size_t>(i)][r].second);
                const std::string& in = text[line + (heading_ends.empty() ? 0 : heading_ends[i].first)];
                const int end = heading_ends.empty() ? static_cast<int>(in.size())
                                                     : heading_ends[static_cast<std::size_t>(i)].second;
                ASSERT_GE(end, chars(load) + 1) << name;
                EXPECT_EQ(in.substr(static_cast<std::size_t>(end - chars(load) - 1), static_cast<std::size_t>(chars(load) + 1)),
                          " " + load)
                    << name << ": " << in;
            }
        }
    }
}
