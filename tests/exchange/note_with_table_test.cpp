// A nonlinear case's line of the batch run ("Operating (W+P1+T1): converged
// in 17 iterations, 9 factorisations") stands over the first table of its
// case, on the same page as the table's title, heading and first row, in
// the text report and on printed pages: generated plant networks with gaps
// and friction, their reports in many selections of parts and load cases,
// so that the lines fall at every place of a page.
#include "../bench/piping_network.h"
#include "exchange/exchange_fixture.h"

#include "analysis/ui/analysis_ui.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/report.h"
#include "exchange/text_pages.h"
#include "page_layout.h"
#include "platform/headless/headless_printing.h"
#include "results/ui/results_report.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

class NoteWithItsTable : public ExchangeProgramTest {
protected:
    void TearDown() override
    {
        batch_mode() = false;
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    // Imports a generated network with gaps and friction, analyses it and
    // opens its results; its report is then written as the batch run writes it.
    void open_network(int rows, unsigned long long seed)
    {
        batch_mode() = false;
        terminate_results();
        piping_network::Options o;
        o.rows = rows;
        o.seed = seed;
        script().answer_file(write("model.mbf", piping_network::batch_text(o)));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
        ASSERT_FALSE(last_analysis_case_notes().empty());
        notes.clear();
        for (const std::string& note : last_analysis_case_notes())
            notes.insert(note);
        set_report_date("1 Jan 2025");
        batch_mode() = true;
    }
    // The report in selections of parts and load cases: with and without
    // the model report, the stresses, the hanger report, the summary and
    // the support loads; every load case, or all but the first or the last.
    std::vector<ResultsReportSelection> selections(int count) const
    {
        std::vector<ResultsReportSelection> out;
        const ResultsReportSelection all = default_report_selection();
        const int parts[] = {PART_SORTED_STRESSES, PART_CODE_COMPLIANCE, PART_HANGER_REPORT, PART_SUPPORT_SUMMARY,
                             PART_SUPPORT_LOADS};
        for (int i = 0; static_cast<int>(out.size()) < count && i < 256; ++i) {
            ResultsReportSelection s = all;
            s.model_report = i % 2 == 0;
            for (int k = 0; k < 5; ++k)
                if ((i >> (k + 1)) & 1)
                    s.parts[static_cast<std::size_t>(parts[k])] = false;
            if (i % 3 == 1 && s.load_cases.size() > 1)
                s.load_cases.erase(s.load_cases.begin());
            if (i % 3 == 2 && s.load_cases.size() > 1)
                s.load_cases.pop_back();
            out.push_back(s);
        }
        return out;
    }
    bool is_note(const std::string& text) const { return notes.count(text) > 0; }

    std::set<std::string> notes;
};

}  // namespace

// Four networks of 150 to 420 rows, each report in 24 selections: every
// line of a case is followed on its page by a table's title, the rule under
// it, its column heading ended by a rule and a first row.
TEST_F(NoteWithItsTable, TextReportsOfGeneratedModelsKeepEveryNoteWithItsTable)
{
    int seen = 0, at_page_end = 0;
    for (const auto& [rows, seed] : std::vector<std::pair<int, unsigned long long>>{{150, 1}, {240, 2}, {330, 4}, {420, 5}}) {
        SCOPED_TRACE("network of " + std::to_string(rows) + " rows");
        ASSERT_NO_FATAL_FAILURE(open_network(rows, seed));
        for (const ResultsReportSelection& s : selections(24)) {
            const std::vector<std::vector<std::string>> pages =
                page_bodies(report_render_text(results_report_job(s), false));
            for (std::size_t p = 0; p < pages.size(); ++p) {
                const std::vector<std::string>& lines = pages[p];
                for (std::size_t i = 0; i < lines.size(); ++i) {
                    if (lines[i].size() < 3 || !is_note(lines[i].substr(3)))
                        continue;
                    ++seen;
                    at_page_end += i + 12 >= lines.size() ? 1 : 0;
                    // The title, its rule, the heading lines and their rule, a row.
                    std::size_t rule = i + 3;
                    while (rule < lines.size() && rule < i + 10 && lines[rule] != TEXT_RULE)
                        ++rule;
                    const bool whole = title_at(lines, i + 1) && rule + 1 < lines.size() && lines[rule] == TEXT_RULE &&
                                       lines[rule + 1] != TEXT_RULE && !lines[rule + 1].empty();
                    EXPECT_TRUE(whole) << "page " << p + 1 << ": \"" << lines[i] << "\" stands "
                                       << (i + 1 == lines.size() ? "alone at the foot of the page"
                                                                 : "without its table's title, heading and first row");
                }
            }
        }
    }
    EXPECT_GT(seen, 200);
    EXPECT_GT(at_page_end, 10);   // many of them near the foot of a page
}

// The printed reports (as the preview shows them) of two networks in six
// selections each: every line of a case is followed on its page by the
// title bar of a table, its column header and a first row, and no two
// texts lie over each other.
TEST_F(NoteWithItsTable, PrintedReportsOfGeneratedModelsKeepEveryNoteWithItsTable)
{
    int seen = 0;
    for (const auto& [rows, seed] : std::vector<std::pair<int, unsigned long long>>{{150, 1}, {240, 2}}) {
        SCOPED_TRACE("network of " + std::to_string(rows) + " rows");
        ASSERT_NO_FATAL_FAILURE(open_network(rows, seed));
        for (const ResultsReportSelection& s : selections(6)) {
            HeadlessPrintDocument doc{PageSetup{}, 96};
            ASSERT_TRUE(report_render_pages(doc, results_report_job(s)));
            expect_clean_pages(doc);
            for (std::size_t p = 0; p < doc.pages().size(); ++p) {
                const std::vector<std::string>& ops = doc.pages()[p]->lines();
                for (std::size_t i = 0; i < ops.size(); ++i) {
                    DrawnText note;
                    if (!drawn_text(ops[i], note) || !is_note(note.text))
                        continue;
                    ++seen;
                    // The shaded title bar next, then the title, the header
                    // under it and a row: texts further down the page.
                    bool bar = false;
                    int below = 0;
                    for (std::size_t j = i + 1; j < ops.size(); ++j) {
                        DrawnText t;
                        if (!bar && !below && ops[j].rfind("fill ", 0) == 0 && ops[j].ends_with("#d9d9d9"))
                            bar = true;
                        if (drawn_text(ops[j], t) && t.top > note.top + 2 * RecordingSurface::LINE_HEIGHT)
                            ++below;
                    }
                    EXPECT_TRUE(bar && below > 0)
                        << "page " << p + 1 << ": \"" << note.text << "\" stands "
                        << (below == 0 ? "alone at the foot of the page" : "without its table's title bar");
                }
            }
        }
    }
    EXPECT_GT(seen, 20);
}
