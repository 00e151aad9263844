// Tables that cross a page go on under their title and column heading: the
// text report and the printed report of generated models (the plant piping
// networks and the linear header-and-branches models of bench/), read page
// by page as a reader would.
#include "../bench/linear_piping_batch.h"
#include "../bench/piping_network.h"
#include "exchange/exchange_fixture.h"

#include "framework/commands.h"
#include "framework/strings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/report.h"
#include "page_layout.h"
#include "exchange/text_pages.h"
#include "platform/headless/headless_printing.h"
#include "results/ui/results_report.h"

#include <map>
#include <sstream>
#include <string>
#include <vector>

namespace {

struct TextPagesRead {
    std::vector<std::string> faults;
    int continued = 0;   // pages that go on with a table begun before them
};

// Reads the report page by page: a table is its title, the rule under it,
// its column headings and the rule under them (the heading), then its rows,
// ended by a rule (or by the end of the page, where the closing rule is
// left out). A page that the rows of a table go on to must begin with the
// table's heading, line for line as where the table began.
TextPagesRead read_text_pages(const std::string& text)
{
    TextPagesRead read;
    std::vector<std::string> heading;   // of the table being read; empty outside a table
    std::string table_page;
    const std::vector<std::vector<std::string>> pages = page_bodies(text);
    for (std::size_t p = 0; p < pages.size(); ++p) {
        const std::vector<std::string>& lines = pages[p];
        std::size_t i = 0;
        if (!heading.empty() && !lines.empty()) {
            if (std::equal(heading.begin(), heading.end(), lines.begin(),
                           lines.begin() + static_cast<std::ptrdiff_t>(std::min(heading.size(), lines.size())))) {
                ++read.continued;
                i = heading.size();
            } else if (title_at(lines, 0) || (!lines[0].empty() && lines[0][0] != ' ' && title_at(lines, 1))) {
                // The table ended with the page before: the page begins with
                // a table's title, or with a part's heading (from column 1)
                // over its first table.
                heading.clear();
            } else {
                read.faults.push_back("page " + std::to_string(p + 1) + " goes on with \"" + heading.front() +
                                      "\" (from " + table_page + ") without its heading, at \"" + lines.front() +
                                      "\"");
                heading.clear();
            }
        }
        for (; i < lines.size(); ++i) {
            if (title_at(lines, i)) {
                // The heading ends with the next rule, a few lines further on.
                std::size_t end = i + 2;
                while (end < lines.size() && end < i + 9 && lines[end] != TEXT_RULE)
                    ++end;
                if (end < lines.size() && lines[end] == TEXT_RULE) {
                    heading.assign(lines.begin() + static_cast<std::ptrdiff_t>(i),
                                   lines.begin() + static_cast<std::ptrdiff_t>(end + 1));
                    table_page = "page " + std::to_string(p + 1);
                    i = end;
                    continue;
                }
                if (i + 2 == lines.size())
                    read.faults.push_back("page " + std::to_string(p + 1) + " ends under the title \"" + lines[i] +
                                          "\"");
            }
            if (!heading.empty() && lines[i] == TEXT_RULE)
                heading.clear();
        }
    }
    return read;
}

// The texts drawn on a recorded page in order, with what a reader tells
// apart: the page header (above its rule), a title bar (a shaded bar with
// its text), the column header of a table under it (the texts drawn after
// the title bar up to the first rule drawn; a title with no rule after it
// has none) and the rest.
struct DrawnPage {
    std::string first_body_text;   // the first text drawn under the page header
    bool starts_with_bar = false;  // and it stands in a title bar
    std::vector<std::string> header;   // the column header under that bar
    bool has_body = false;
};

DrawnPage read_drawn_page(const RecordingSurface& page)
{
    DrawnPage d;
    bool below_header = false, in_header = false, bar_pending = false;
    std::vector<std::string> after_bar;
    for (const std::string& op : page.lines()) {
        const bool text = op.rfind("text ", 0) == 0, line = op.rfind("line ", 0) == 0;
        if (!below_header) {
            below_header = line;   // the rule under the page header
            continue;
        }
        if (op.rfind("fill ", 0) == 0 && !d.has_body)
            bar_pending = op.size() > 7 && op.substr(op.size() - 7) == "#d9d9d9";
        if (text) {
            const std::size_t open = op.find('"'), close = op.rfind('"');
            const std::string t = op.substr(open + 1, close - open - 1);
            if (!d.has_body) {
                d.has_body = true;
                d.first_body_text = t;
                d.starts_with_bar = in_header = bar_pending;
            } else if (in_header) {
                after_bar.push_back(t);
            }
        }
        if (line && in_header) {
            d.header = after_bar;
            in_header = false;
        }
    }
    return d;
}

// Every page of a printed report of tables begins with a title bar; a page
// under the title bar of a table begun before it carries a column header
// there, which begins as the table's first header does (a table too wide
// for the page goes on in bands of columns, each led by the first column).
std::vector<std::string> printed_page_faults(const HeadlessPrintDocument& doc, int& continued)
{
    std::vector<std::string> faults;
    std::map<std::string, std::vector<std::string>> headers;   // by title, as first drawn
    for (std::size_t p = 0; p < doc.pages().size(); ++p) {
        const DrawnPage d = read_drawn_page(*doc.pages()[p]);
        const std::string where = "page " + std::to_string(p + 1);
        if (!d.has_body)
            continue;
        if (!d.starts_with_bar) {
            faults.push_back(where + " begins with \"" + d.first_body_text + "\", not under a title");
            continue;
        }
        const auto seen = headers.find(d.first_body_text);
        if (seen == headers.end()) {
            headers.emplace(d.first_body_text, d.header);
            continue;
        }
        ++continued;
        if (seen->second.empty() != d.header.empty() ||
            (!d.header.empty() && seen->second.front() != d.header.front()))
            faults.push_back(where + " goes on with \"" + d.first_body_text + "\" without its column header");
    }
    return faults;
}

// A generated plant network (bench/piping_network.h); `rigid`: with rigid
// restraints for its rests, guides and stops (one linear solution a case).
std::string network(int rows, unsigned long long seed, bool rigid = true)
{
    piping_network::Options o;
    o.rows = rows;
    o.seed = seed;
    o.rigid = rigid;
    return piping_network::batch_text(o);
}

class PageContinuation : public ExchangeProgramTest {
protected:
    void import(const std::string& text)
    {
        script().answer_file(write("model.mbf", text));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        set_report_date("1 Jan 2025");
    }
    // Imports the model, analyses it and writes its results report (the
    // model report, every load case and every part of the results) as text.
    std::string results_report(const std::string& batch)
    {
        terminate_results();
        [&] {
            ASSERT_NO_FATAL_FAILURE(import(batch));
            ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
        }();
        if (HasFatalFailure() || !in_results())
            return {};
        return report_render_text(results_report_job(default_report_selection()), false);
    }
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
};

}  // namespace

// The generated models of a plant: piping networks of 150 to 600 rows (a
// header on a rack with branches off it, bends at every turn, rests,
// guides and stops, linear and with gaps and friction) and the linear
// header-and-branches models. Their text reports run to hundreds of pages;
// every page that a table's rows go on to begins with the table's title
// and column heading, wherever the page breaks: after a table's first
// element, inside an element's lines, under the notes after its last row.
TEST_F(PageContinuation, GeneratedModelsTextReportsGoOnUnderTheirHeadings)
{
    std::vector<std::pair<std::string, std::string>> models;
    for (unsigned long long seed = 1; seed <= 6; ++seed)   // every third with its gaps and friction
        models.emplace_back("network " + std::to_string(seed),
                            network(150 + static_cast<int>(seed) * 70, seed, seed % 3 != 0));
    for (int rows : {130, 260, 410})
        models.emplace_back("linear " + std::to_string(rows), bench_linear::linear_piping_batch(rows));
    int continued = 0;
    for (const auto& [name, batch] : models) {
        SCOPED_TRACE(name);
        const std::string text = results_report(batch);
        ASSERT_FALSE(text.empty());
        const TextPagesRead read = read_text_pages(text);
        for (const std::string& fault : read.faults)
            ADD_FAILURE() << fault;
        EXPECT_GT(read.continued, 20);
        continued += read.continued;
    }
    EXPECT_GT(continued, 1000);
}

// The model report of a model of 7 000 rows: its Bends table runs over many
// pages, each under the title "Bends" and its two heading lines.
TEST_F(PageContinuation, SevenThousandRowModelReportsBendsUnderTheirHeading)
{
    ASSERT_NO_FATAL_FAILURE(import(network(7000, 11)));
    const std::string text = report_render_text(ReportJob{"Model", print_model_report, true}, false);
    const TextPagesRead read = read_text_pages(text);
    for (const std::string& fault : read.faults)
        ADD_FAILURE() << fault;
    // The pages that go on with the Bends table, and the heading they begin with.
    int bends_pages = 0;
    for (const std::vector<std::string>& lines : page_bodies(text))
        if (lines.size() > 5 && trimmed(lines[0]) == "Bends") {
            ++bends_pages;
            EXPECT_EQ(lines[1], TEXT_RULE);
            EXPECT_EQ(trimmed(lines[2]), "Bend   Radius   Thickness  Bend  Flex.   Int.  Angle  Int.  Angle");
            EXPECT_EQ(lines[4], TEXT_RULE);
        }
    EXPECT_GT(bends_pages, 10);
}

// The printed results report (as the preview shows it) of a generated
// network: every page begins with a table's title bar, and a table that
// goes on from the page before carries its column header there again.
TEST_F(PageContinuation, PrintedReportPagesBeginWithTheTableTitleAndHeader)
{
    ASSERT_NO_FATAL_FAILURE(import(network(260, 4)));
    ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
    HeadlessPrintDocument doc{PageSetup{}, 96};
    ASSERT_TRUE(report_render_pages(doc, results_report_job(default_report_selection())));
    ASSERT_GT(doc.pages().size(), 50u);
    int continued = 0;
    for (const std::string& fault : printed_page_faults(doc, continued))
        ADD_FAILURE() << fault;
    EXPECT_GT(continued, 20);
}
