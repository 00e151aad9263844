// Above a case's tables stand the lines of that case's own run, each once:
// in a model whose spring is designed over two thermal sets, the design's
// passes that solve in the step of Operating (W+P2+T2) keep their own
// names, on standard error as in the run's lines, and no report (the text
// report of a batch run, the report printed from the windows to a text file
// or on pages) shows them above the case's tables.
#include "exchange_fixture.h"

#include "analysis_core/steps.h"
#include "exchange/batch_runs.h"
#include "exchange/hanger_models.h"
#include "exchange/text_pages.h"
#include "model/load_cases.h"
#include "results/results_state.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <regex>
#include <string>
#include <vector>

namespace {

// A line a run says of a case, as a report shows it above the case's tables.
const std::regex CASE_LINE(R"(^\s*(.+?): (converged|not converged|from the state of))");

// The case lines of a report's lines, counted by the name they begin with.
std::map<std::string, std::vector<std::string>> case_lines_by_name(const std::vector<std::string>& lines)
{
    std::map<std::string, std::vector<std::string>> found;
    std::smatch m;
    for (const std::string& line : lines)
        if (std::regex_search(line, m, CASE_LINE))
            found[m[1]].push_back(line.substr(line.find_first_not_of(' ')));
    return found;
}

class CaseLinesOfTheirRun : public ExchangeResultsTest {
protected:
    // The cases of the run: both thermal sets' operating cases besides
    // Sustained, so that the design solves its travel in Operating (2)'s
    // step before the case itself is solved.
    static std::vector<std::string> case_names()
    {
        return {load_case_names(LC_SUSTAINED), load_case_names(LC_OPERATING_1), load_case_names(operating_code(2))};
    }
    // Each case's lines once, and none of the design's passes.
    static void expect_each_once(const std::vector<std::string>& lines, const std::string& where)
    {
        const auto found = case_lines_by_name(lines);
        for (const std::string& name : case_names()) {
            const auto at = found.find(name);
            ASSERT_NE(at, found.end()) << where << ": " << name;
            EXPECT_EQ(at->second.size(), 1u) << where << ": " << name << " stands above its tables "
                                             << at->second.size() << " times";
        }
        for (const auto& [name, said] : found)
            EXPECT_EQ(name.find("hanger"), std::string::npos) << where << ": " << said.front();
    }
};

}  // namespace

TEST_F(CaseLinesOfTheirRun, AHangerModelsReportsHoldEachCaseLineOnce)
{
    hanger_models::write_catalogue(path(""));
    open_saved_batch(hanger_models::HUNG_LINE, "hung.mod");
    load_case_list().clear();
    for (int code : {int{LC_SUSTAINED}, int{LC_OPERATING_1}, operating_code(2)})
        load_case_list().add(code);
    ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());

    // The run's lines: each case once, the passes under their own names
    // (the travel of set 2 among them, solved in Operating (2)'s step).
    const std::vector<std::string> notes = last_analysis_case_notes();
    const auto said = case_lines_by_name(notes);
    for (const std::string& name : case_names())
        EXPECT_EQ(said.count(name) ? said.at(name).size() : 0u, 1u) << name;
    for (const char* pass : {"Calculating hanger travel (T1)", "Calculating hanger travel (T2)",
                             "Recalculating hanger travel (T1)", "Recalculating hanger travel (T2)"})
        EXPECT_EQ(said.count(pass), 1u) << pass;

    // The report printed to a text file, and on pages.
    expect_each_once(text_lines(printed_report()), "text file");
    expect_each_once(drawn_report(), "pages");
}

TEST_F(CaseLinesOfTheirRun, ABatchRunsReportHoldsEachCaseLineOnceAndStandardErrorNamesThePasses)
{
    // The same model run from its batch file by the program, its cases the
    // defaults of two thermal sets (Operating (W+P2+T2) among them).
    const std::filesystem::path folder = path("batch");
    std::string err;
    ASSERT_EQ(hanger_models::run_batch(folder, "hung.mbf", hanger_models::HUNG_LINE, err), 0) << err;
    const auto passes = case_lines_by_name(text_lines(err));
    for (const char* pass : {"Calculating hanger travel (T1)", "Calculating hanger travel (T2)"})
        EXPECT_EQ(passes.count(pass), 1u) << pass << "\n" << err;
    const std::string operating_2 = load_case_names(operating_code(2));
    EXPECT_EQ(passes.count(operating_2) ? passes.at(operating_2).size() : 0u, 1u) << err;
    expect_each_once(text_lines(batch_runs::bytes_of(folder / "hung.txt")), "batch report");
}
