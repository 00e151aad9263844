// The results report: the Print Results sheet, its default selection and
// what each selection writes, the order of its parts with the load case
// named in each heading, and Export (351) of the shown table.
//
// The model: a line along +X from anchor 10 with a restraint (X and Y) at
// 20 and an anchor at 30, solved in Sustained, Operating (W+P1+T1) and
// Seismic (g) as a file written here; the code stresses of the tests'
// evaluation.
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/report_pages.h"
#include "model/piping_codes.h"
#include "results/result_tables_fixture.h"
#include "results/ui/results_report.h"
#include "results/ui/support_load_tables.h"
#include "supports/restraint.h"

#include <algorithm>
#include <cctype>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>

class ResultsReport : public ResultTablesTest {
protected:
    void open(bool model_newer = false)
    {
        install_stand_in({});
        start_model();
        add(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
        const int restraint = add(20, ET_PIPE, 100, 0, 0, DT_RESTRAINT);
        item<Restraint>(restraint).v.restrained = {1, 1, 0};
        add(30, ET_PIPE, 100, 0, 0, DT_ANCHOR);
        piping_code() = CODE_B311;
        Values v;
        v.force = [](int code, int e, int k) { return code * 10.0 + e + k; };
        v.support = [](int code, int w) { return code * 100.0 + w; };
        ASSERT_NO_FATAL_FAILURE(write_results({LC_SUSTAINED, LC_OPERATING_1, LC_SEISMIC_G}, v));
        if (model_newer)
            std::filesystem::last_write_time(path("sample.mod"), std::filesystem::last_write_time(path("sample.res")) +
                                                                     std::chrono::seconds(5));
        ASSERT_NO_FATAL_FAILURE(open_written());
    }
    // The titles of the contents page of a report of the selection (each
    // line from column 4, its page number taken off).
    static std::vector<std::string> contents_of(const ResultsReportSelection& s)
    {
        const std::string text = report_render_text(results_report_job(s), false);
        std::vector<std::string> out;
        std::istringstream in(text.substr(0, text.find('\f')));
        std::string line;
        bool started = false;
        while (std::getline(in, line)) {
            if (!started) {
                started = line.find("Contents") != std::string::npos;
                continue;
            }
            if (line.size() < 4 || line.find_first_not_of("- ") == std::string::npos)
                continue;
            std::string title = line.substr(3);
            while (!title.empty() && std::isdigit(static_cast<unsigned char>(title.back())))
                title.pop_back();
            while (!title.empty() && title.back() == ' ')
                title.pop_back();
            out.push_back(title);
        }
        return out;
    }
    static std::string read(const std::string& path)
    {
        std::ifstream in(path, std::ios::binary);
        std::stringstream s;
        s << in.rdbuf();
        return s.str();
    }
};

TEST_F(ResultsReport, DefaultSelectionTakesEveryPartTheResultsHoldInItsOrder)
{
    ASSERT_NO_FATAL_FAILURE(open());
    const ResultsReportSelection s = default_report_selection();
    EXPECT_TRUE(s.model_report);
    EXPECT_EQ(s.load_cases, (std::vector<int>{1, 2, 3}));
    for (int part : {PART_SORTED_STRESSES, PART_CODE_COMPLIANCE, PART_SUPPORT_SUMMARY, PART_SUPPORT_LOADS,
                     PART_FORCES_LOCAL, PART_FORCES_GLOBAL, PART_DISPLACEMENTS})
        EXPECT_TRUE(s.parts[static_cast<std::size_t>(part)]) << report_part_name(part);
    // No hangers, buried piping, spectrum or modes.
    for (int part : {PART_HANGER_REPORT, PART_SOIL_RESTRAINTS, PART_ACCELERATIONS, PART_FREQUENCIES, PART_OTHER_REPORTS})
        EXPECT_FALSE(s.parts[static_cast<std::size_t>(part)]) << report_part_name(part);

    ResultsReportSelection results_only = s;
    results_only.model_report = false;
    results_only.load_cases = {2};
    const std::vector<std::string> contents = contents_of(results_only);
    // The sorted stresses of each category that has stresses (no expansion case here).
    const std::vector<std::string> expected = {
        "Sorted stresses: Sustained stress",
        "Sorted stresses: Occasional stress",
        "Code compliance",
        "Support load summary",
        "    Anchor at Node 10",
        "    Anchor at Node 30",
        "    Restraint at Node 20",
        "Support loads",
        "    Operating (W+P1+T1): Loads on anchors",
        "    Operating (W+P1+T1): Loads on restraints",
        "Element forces (local)",
        "    Operating (W+P1+T1): Pipe element forces (local)",
        "Element forces (global)",
        "    Operating (W+P1+T1): Element forces (global)",
        "Displacements",
        "    Operating (W+P1+T1): Displacements (global)",
    };
    EXPECT_EQ(contents, expected);
    // The model report: every input table that is not empty, first.
    const std::vector<std::string> with_model = contents_of(s);
    ASSERT_FALSE(with_model.empty());
    EXPECT_EQ(with_model.front(), "Model report");
    EXPECT_NE(std::find(with_model.begin(), with_model.end(), "Anchors"), with_model.end());
    // The shown case stays the current one.
    EXPECT_EQ(results_loadcase_code(), LC_SUSTAINED);
}

TEST_F(ResultsReport, TheSheetChoosesLoadCasesPartsAndTheDestination)
{
    ASSERT_NO_FATAL_FAILURE(open());
    const std::string file = path("report.txt");
    script().once("PRINT_RESULTS_DIALOG", [](HeadlessDialog& d) {
        // Every case is chosen at first; a click on Operating leaves it out.
        EXPECT_EQ(d.list_count(1400), 3);
        EXPECT_EQ(d.list_text(1400, 1), "[x] Operating (W+P1+T1)");
        d.click_item(1400, 1);
        EXPECT_EQ(d.list_text(1400, 1), "[  ] Operating (W+P1+T1)");
        // Parts the results do not hold are greyed.
        EXPECT_FALSE(d.is_enabled(1102 + PART_SOIL_RESTRAINTS));
        EXPECT_TRUE(d.is_checked(1102 + PART_SUPPORT_LOADS));
        d.check(1101, false);
        d.check(1102 + PART_CODE_COMPLIANCE, false);
        d.check(1102 + PART_SORTED_STRESSES, false);
        d.check(1102 + PART_SUPPORT_SUMMARY, false);
        d.check(1102 + PART_FORCES_LOCAL, false);
        d.check(1102 + PART_FORCES_GLOBAL, false);
        d.check(1102 + PART_DISPLACEMENTS, false);
        d.check(1501, false);
        d.check(1504, true);
        d.press(IDOK);
    });
    script().answer_file(file);
    frame_command(results_frame(), CMD_PRINT);
    const std::string text = read(file);
    // Support loads of Sustained and Seismic only.
    EXPECT_NE(text.find("Loads on Anchors: Sustained (W+P)"), std::string::npos) << text;
    EXPECT_NE(text.find("Loads on Restraints: Seismic (g)"), std::string::npos) << text;
    EXPECT_EQ(text.find("Operating (W+P1+T1)"), std::string::npos) << text;
    EXPECT_EQ(text.find("Code compliance"), std::string::npos) << text;
    EXPECT_EQ(text.find("Pipe element forces"), std::string::npos) << text;
    EXPECT_EQ(text.find("Pipe materials"), std::string::npos) << text;
    // The sheet opens with that choice the next time.
    EXPECT_EQ(report_selection().load_cases, (std::vector<int>{1, 3}));
    EXPECT_FALSE(report_selection().model_report);
}

TEST_F(ResultsReport, FirstLevelChecksPrintsItsOwnParts)
{
    ASSERT_NO_FATAL_FAILURE(open());
    select_first_level_report();
    const ResultsReportSelection& s = report_selection();
    EXPECT_TRUE(s.model_report);
    EXPECT_EQ(s.load_cases.size(), 3u);
    for (int part : {PART_SORTED_STRESSES, PART_SUPPORT_SUMMARY, PART_SUPPORT_LOADS, PART_FORCES_LOCAL,
                     PART_FORCES_GLOBAL})
        EXPECT_TRUE(s.parts[static_cast<std::size_t>(part)]) << report_part_name(part);
    for (int part : {PART_CODE_COMPLIANCE, PART_DISPLACEMENTS})
        EXPECT_FALSE(s.parts[static_cast<std::size_t>(part)]) << report_part_name(part);
}

TEST_F(ResultsReport, ExportWritesTheShownTableAsCsv)
{
    ASSERT_NO_FATAL_FAILURE(open());
    Frame& f = results_frame();
    // Nothing shown: nothing to export.
    EXPECT_FALSE(frame_command_available(f, CMD_EXPORT));
    results_hooks().support_loads[5]();
    ASSERT_TRUE(frame_command_available(f, CMD_EXPORT));
    const std::string file = path("restraints.csv");
    script().answer_file(file);
    frame_command(f, CMD_EXPORT);
    // What the screen shows: the window's title, the headings, and the
    // restraint's row: node, tag and the words of its restrained X and Y
    // (200 + 6 and 7 in code 1), Z left empty as on the screen.
    EXPECT_EQ(read(file), "Loads on Restraints: Sustained (W+P),\nNode,Tag,FX (lb),FY (lb),FZ (lb),\n20,,106,107,,\n");
    EXPECT_EQ(script().last_message(), "csv written.");
}

TEST_F(ResultsReport, OutOfDateResultsSayItOnTheFirstPageOnly)
{
    const std::string line = "These results are out of date: the model was changed after the analysis.";
    ASSERT_NO_FATAL_FAILURE(open(true));
    ASSERT_TRUE(results_out_of_date());
    const std::string text = report_render_text(results_report_job(default_report_selection()), false);
    // Behind the contents, at the top of the report's first page, once.
    const std::size_t at = text.find(line);
    ASSERT_NE(at, std::string::npos);
    EXPECT_EQ(text.find(line, at + 1), std::string::npos);
    EXPECT_LT(text.find("Contents"), at);
    // The first line under the page header (3 lines) of the page after the contents.
    const std::size_t page = text.rfind('\f', at);
    ASSERT_NE(page, std::string::npos);
    EXPECT_EQ(std::count(text.begin() + static_cast<std::ptrdiff_t>(page), text.begin() + static_cast<std::ptrdiff_t>(at), '\n'), 3);
    EXPECT_GT(text.rfind("Contents", at), text.rfind('\f', page - 1) + 1);
    EXPECT_NE(text.find("Pipe material A106B", at), std::string::npos) << text;
    // The CSV form holds it as a cell of its own.
    const std::string csv = report_render_text(results_report_job(default_report_selection()), true);
    EXPECT_NE(csv.find(line + ",\n"), std::string::npos);
    terminate_results();

    // Results as new as their model print no such line.
    ASSERT_NO_FATAL_FAILURE(open());
    ASSERT_FALSE(results_out_of_date());
    EXPECT_EQ(report_render_text(results_report_job(default_report_selection()), false).find(line), std::string::npos);
}
