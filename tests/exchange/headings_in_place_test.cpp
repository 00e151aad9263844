// The column headings of every table stand apart, at the widths the table
// is shown and printed at: in windows of several widths, scrolled across,
// and on pages of several widths, no heading runs into another (a group
// heading stands over its whole group, also where the window shows only a
// part of it) and none leaves the page.
#include "../bench/piping_network.h"
#include "exchange/exchange_fixture.h"
#include "exchange/printed_tables.h"

#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "golden.h"
#include "page_layout.h"

#include <numeric>
#include <string>
#include <vector>

namespace {

class HeadingsInPlace : public ExchangeResultsTest {
protected:
    // The texts a table's window draws in its header (the first area it
    // clips to), each with its box.
    std::vector<DrawnText> header_texts(TableView& view)
    {
        std::vector<DrawnText> out;
        int area = 0;
        for (const std::string& op : script().paint(view.window())) {
            if (op.rfind("clip ", 0) == 0)
                ++area;
            DrawnText t;
            if (area == 1 && drawn_text(op, t) && !t.text.empty())
                out.push_back(t);
        }
        return out;
    }
    // The table in windows 300 to 720 dots wide and wide enough for it all,
    // scrolled to its left end, a third and two thirds across: no two of
    // the header's texts lie over each other.
    void expect_screen_headings_apart(TableWindow& t, const std::string& what)
    {
        ASSERT_NE(t.view, nullptr) << what;
        TableView& view = *t.view;
        for (const int width : {300, 480, 720, 20000}) {
            script().resize(view.window(), width, 400);
            (void)header_texts(view);   // measured at this size
            const int total = std::accumulate(t.widths.begin(), t.widths.end(), 0);
            for (const int scroll : {0, total / 3, 2 * total / 3}) {
                t.h_scroll = scroll;
                const std::vector<DrawnText> texts = header_texts(view);
                ++screens;
                for (std::size_t i = 0; i < texts.size(); ++i)
                    for (std::size_t j = i + 1; j < texts.size(); ++j) {
                        const DrawnText& a = texts[i];
                        const DrawnText& b = texts[j];
                        if (a.left < b.right && b.left < a.right && a.top < b.bottom && b.top < a.bottom)
                            ADD_FAILURE() << what << " in a window " << width << " wide scrolled by " << scroll
                                          << ": \"" << a.text << "\" runs into \"" << b.text << "\"";
                    }
            }
            t.h_scroll = 0;
        }
    }
    int screens = 0;
};

}  // namespace

// The sample model (B31.3: the local pipe forces with the torsion,
// in-plane and out-of-plane moments each over its SIF and the flexibility
// factors under "Flex. Factors") and a generated plant network with gaps
// and friction: every input list and every result table, on screen and
// printed on Letter pages upright and across, and on A4 pages with inch
// margins.
TEST_F(HeadingsInPlace, EveryTableHeadingStandsApartOnScreenAndOnPaper)
{
    piping_network::Options network;
    network.rows = 160;
    network.seed = 4;
    int tables = 0;
    for (const std::string& model :
         {read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf"), piping_network::batch_text(network)}) {
        ASSERT_NO_FATAL_FAILURE(open_analysed(model));
        for_each_shown_table(
            [&](TableWindow& t, const std::string& what) {
                expect_screen_headings_apart(t, what);
                for (const PageSetup& setup : printed_page_setups()) {
                    SCOPED_TRACE(what + " printed " + setup.paper + (setup.orientation ? " across" : ""));
                    expect_clean_pages(*print_alone(t, setup));
                }
                ++tables;
            },
            true, 1);
    }
    EXPECT_GT(tables, 50);
    EXPECT_GT(screens, 500);
}
