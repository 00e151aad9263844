// A load case that the model gives nothing to carry is analysed as all
// zeros and says so where the run's other warnings go: the warning after
// Analyze (on standard error in a batch run), the count of the status line,
// and the report above the case's tables. A wind whose wind flag no pipe
// load has on, a Settlement case without a settlement, and a thermal set
// that differs nowhere from the reference temperature in a linear model;
// not a wind that a pipe load takes, nor the Expansion of a nonlinear model.
#include "batch_runs.h"
#include "exchange/data/english_head.h"
#include "exchange_fixture.h"

#include "analysis/ui/analysis_ui.h"
#include "analysis_core/steps.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "loads/nodal_loads.h"
#include "loads/pipe_load.h"
#include "model/load_cases.h"
#include "platform/headless/headless_dialog.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/results_window.h"
#include "supports/support_item.h"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string NO_WIND = "Wind 1: no element takes wind (the wind flag of every pipe load is off)";
const std::string HEADING = "These load cases carry nothing:";

// 600 in of 6 in STD along X at elevation 0 between anchors at nodes 10 and
// 40, held in Y at 20 and 30, under `code` with two thermal sets (T2 not
// given: the default temperature, 70 F, the reference temperature), and
// wind load 1 along Z of 0.1 psi at elevation 0 (0.2 psi at 480 in) with
// shape factor 0.7; the pipe load's wind flag is off, as a load line
// without its wind field has it. `rows` after the first anchor.
std::string windy_line(const std::string& code, const std::string& rows = "T20,X200,CF(0,1,0)\n"
                                                                         "T30,X200,CF(0,1,0)\n"
                                                                         "T40,X200,KA\n")
{
    std::string head = english_head(code);
    head.insert(head.find("MATERIAL"), "OPTEMP\n70,7000,2\n");
    return "Windy line\n" + head +
           "P6,6.625,0.28\n"
           "LOADS\n"
           "L1,200,0,1.14\n"
           "WIND1\n"
           "0,0.7,0,0,1,0,0,0,0\n"
           "2\n"
           "0,0.1\n"
           "480,0.2\n"
           "LAYOUT\n"
           "F10,MA106B,PP6,KA,CL=L1\n" +
           rows;
}

// The lines of a text without the blanks around them.
std::vector<std::string> lines_of(const std::string& text)
{
    std::vector<std::string> lines;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        const std::size_t first = line.find_first_not_of(' ');
        lines.push_back(first == std::string::npos ? std::string()
                                                   : line.substr(first, line.find_last_not_of("\r ") + 1 - first));
    }
    return lines;
}

// The note stands once in the report (broken at its blanks where the page
// is too narrow for it), above the first table of its case `name`: the line
// after it, past the case's own notes ("Wind: from the state of ..."), is
// the title of a table of the case.
void expect_above_tables(const std::string& report, const std::string& note, const std::string& name)
{
    const std::vector<std::string> lines = lines_of(report);
    int found = 0;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        std::string text = lines[i];
        std::size_t next = i + 1;
        while (!text.empty() && text.size() < note.size() && note.rfind(text, 0) == 0 && next < lines.size())
            text += " " + lines[next++];
        if (text != note)
            continue;
        ++found;
        while (next < lines.size() && lines[next].rfind(name + ": ", 0) == 0)
            ++next;
        ASSERT_LT(next, lines.size()) << note;
        EXPECT_NE(lines[next].find(": " + name), std::string::npos)
            << "\"" << note << "\" is followed by \"" << lines[next] << "\"";
    }
    EXPECT_EQ(found, 1) << note;
}

class CaseWithNothingToCarry : public ExchangeResultsTest {
protected:
    // The model of the text saved as `name`, `adjust`ed, analysed; its
    // results opened.
    void analyse(const std::string& text, const std::string& name, const std::function<void()>& adjust = {})
    {
        terminate_results();
        open_saved_batch(text, name);
        if (adjust) {
            adjust();
            ASSERT_TRUE(save_model(0));
        }
        script().clear_log();
        ASSERT_TRUE(analyze_command(0));
        open_results();
        hb->run_loop();
        ASSERT_TRUE(in_results());
    }
    // The warning after the run that names the cases with nothing to carry
    // ("" for none).
    std::string unloaded_warning()
    {
        for (const std::string& m : script().messages())
            if (m.rfind(HEADING, 0) == 0)
                return m;
        return {};
    }
    static std::string status() { return main_frame().status_text; }
    // The case of the code made the current one, its support loads read.
    static void support_loads_of(int code)
    {
        set_results_load_case(code);
        ASSERT_EQ(results_loadcase_code(), code);
        read_load_case_support_loads();
    }
    // The sum over the anchors of their load along global axis `d`, and the
    // largest size of any support's load.
    static double anchors_sum(int d)
    {
        double sum = 0.0;
        for (const int row : results().supports_by_row)
            if (model().rows[row].dtype == DT_ANCHOR)
                sum += dynamic_cast<const SupportItem&>(*model().rows[row].data).current_loads[static_cast<std::size_t>(d)];
        return sum;
    }
    static double largest_support_load()
    {
        double largest = 0.0;
        for (const int row : results().supports_by_row)
            for (float f : dynamic_cast<const SupportItem&>(*model().rows[row].data).current_loads)
                largest = std::max(largest, double(std::fabs(f)));
        return largest;
    }
};

}  // namespace

TEST_F(CaseWithNothingToCarry, AWindNoElementTakesIsNamedInTheWarningTheStatusLineAndAboveItsTables)
{
    ASSERT_NO_FATAL_FAILURE(analyse(windy_line("B313"), "windy.mod"));
    // Two thermal sets of which T2 is the reference temperature everywhere:
    // Expansion (T2) carries nothing either.
    const std::string no_expansion = "Expansion (T2): nothing expands or moves (no element's temperature T2 differs "
                                     "from the reference temperature, and no force or displacement of set T2 is given)";
    EXPECT_EQ(unloaded_warning(), HEADING + "\n" + no_expansion + "\n" + NO_WIND);
    EXPECT_EQ(status(), "Analysis done: 2 warnings");
    // Nothing loads the Wind case: K u = 0 gives u = 0, and no support
    // carries anything.
    support_loads_of(LC_WIND);
    EXPECT_EQ(largest_support_load(), 0.0);
    read_load_case_displacements();
    for (const auto& d : results().displacements)
        for (float v : d)
            EXPECT_EQ(v, 0.0f);
    const std::string report = printed_report();
    expect_above_tables(report, NO_WIND, "Wind");
    expect_above_tables(report, no_expansion, "Expansion (T2)");

    // With the wind flag on the pipe takes the wind: 0.7 x 0.1 psi on its
    // 6.625 in across 600 in, 278.25 lb along Z that the anchors hold (the
    // restraints hold Y only); no line names the Wind case.
    ASSERT_NO_FATAL_FAILURE(analyse(windy_line("B313"), "flagged.mod", [] {
        for (int i = 1; i <= pipe_loads().size(); ++i)
            pipe_loads()[i].wind = 1;
    }));
    EXPECT_EQ(unloaded_warning(), HEADING + "\n" + no_expansion);
    support_loads_of(LC_WIND);
    EXPECT_NEAR(std::fabs(anchors_sum(2)), 0.7 * 0.1 * 6.625 * 600.0, 1e-3);
    EXPECT_EQ(printed_report().find("no element takes wind"), std::string::npos);
}

TEST_F(CaseWithNothingToCarry, SettlementWithoutASettlementAndTheExpansionOfANonlinearModel)
{
    // A code with the Settlement case, chosen with no settlement given; a
    // rest at node 20 (lift-off) makes the model nonlinear, whose Expansion
    // (T2) is Operating (W+P2+T2) less Sustained: no line for it.
    const std::string rows = "T20,X200,CLS(0,NONE),DV(0,1,0)\n"
                             "T30,X200,CF(0,1,0)\n"
                             "T40,X200,KA\n";
    ASSERT_NO_FATAL_FAILURE(analyse(windy_line("ASME-2017", rows), "settled.mod", [] {
        LoadCaseList& cases = load_case_list();
        for (int code : {int{LC_SUSTAINED}, expansion_code(1), expansion_code(2), operating_code(1), operating_code(2),
                         int{LC_SETTLEMENT}})
            cases.add(code);
    }));
    const std::string no_settlement = "Settlement: nothing settles (no anchor or nozzle is given a settlement)";
    EXPECT_EQ(unloaded_warning(), HEADING + "\n" + no_settlement);
    EXPECT_EQ(status(), "Analysis done: 1 warning");
    support_loads_of(LC_SETTLEMENT);
    EXPECT_EQ(largest_support_load(), 0.0);
    expect_above_tables(printed_report(), no_settlement, "Settlement");
}

TEST_F(CaseWithNothingToCarry, ASetWithAForceADisplacementOrABourdonPressureIsNotNamed)
{
    // Each of them alone makes Expansion (T2) carry something: a force of
    // set T2 at node 30, the anchor at node 40 moved 0.1 in up in set T2, a
    // pressure P2 whose Bourdon effect acts in the temperature cases (the
    // options' default). Only the wind is named.
    const std::string moved = "T20,X200,CF(0,1,0)\n"
                              "T30,X200,CF(0,1,0)\n"
                              "T40,X200,KA,CDIS(0,0,0),DIS2(0,0.1,0)\n";
    const std::string forced = "T20,X200,CF(0,1,0)\n"
                               "T30,X200,CFOR(0,-100,0)\n"
                               "T40,X200,KA\n";
    const std::vector<std::pair<std::string, std::function<void()>>> variants = {
        {moved, {}},
        {forced, [] {
             for (LayoutRow& r : model().rows)
                 if (auto* force = dynamic_cast<ForceLoad*>(r.data.get()))
                     force->load_case = 2;
         }},
        {windy_line("B313").substr(windy_line("B313").find("T20")), [] { pipe_loads()[1].pressure[2] = 150.0f; }},
    };
    for (const auto& [rows, adjust] : variants) {
        ASSERT_NO_FATAL_FAILURE(analyse(windy_line("B313", rows), "set2.mod", adjust));
        EXPECT_EQ(unloaded_warning(), HEADING + "\n" + NO_WIND) << rows;
        EXPECT_EQ(status(), "Analysis done: 1 warning") << rows;
    }
}

TEST_F(CaseWithNothingToCarry, ABatchRunSaysItOnStandardErrorAndInTheReport)
{
    write("windy.mbf", windy_line("B313"));
    const int code =
        batch_runs::finish_program(batch_runs::start_program(folder, "windy.mbf", folder / "stderr.txt"));
    const std::string err = bytes(path("stderr.txt"));
    ASSERT_EQ(code, 0) << err;
    EXPECT_NE(err.find(HEADING + "\n"), std::string::npos) << err;
    EXPECT_NE(err.find(NO_WIND + "\n"), std::string::npos) << err;
    expect_above_tables(bytes(path("windy.txt")), NO_WIND, "Wind");
}
