// The Export command of a table writes what the screen shows: for every
// table the list window and the results window offer (from their
// registries: the data lists, and the result list with each result's other
// items, load cases and axes), the CSV file's title, headings and cells are
// the texts that the table's window draws, line by line, "0" and group
// headings included.
#include "csv_text.h"
#include "exchange/exchange_fixture.h"

#include "framework/commands.h"
#include "framework/strings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "golden.h"
#include "model/ui/list_window.h"
#include "exchange/result_tables_walk.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <algorithm>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

using Lines = std::vector<std::vector<std::string>>;

// The rows of a CSV file as their cells, each row without its empty
// cells; rows with no cell left out.
Lines csv_lines(const std::string& text)
{
    Lines out;
    for (std::vector<std::string> cells : csv_rows(text)) {
        std::erase_if(cells, [](const std::string& c) { return trimmed(c).empty(); });
        if (!cells.empty())
            out.push_back(cells);
    }
    return out;
}

// The texts a table's window draws, by the lines they stand on: the header
// (the first clipped area the view draws), then the rows' cells (the
// clipped areas after the row numbers), each line's texts from left to
// right.
Lines screen_lines(const std::vector<std::string>& ops)
{
    std::map<int, std::map<int, std::string>> header, body;   // by y, then by x
    int area = 0;
    for (const std::string& op : ops) {
        if (op.rfind("clip ", 0) == 0)
            ++area;
        if (op.rfind("text ", 0) != 0 || area == 2 || area == 0)
            continue;
        std::istringstream head(op.substr(5));
        int x = 0, y = 0;
        head >> x >> y;
        const std::size_t open = op.find('"'), close = op.rfind('"');
        const std::string text = trimmed(op.substr(open + 1, close - open - 1));
        if (!text.empty())
            (area == 1 ? header : body)[y][x] = text;
    }
    Lines out;
    for (const auto* part : {&header, &body})
        for (const auto& [y, texts] : *part) {
            std::vector<std::string> line;
            for (const auto& [x, text] : texts)
                line.push_back(text);
            out.push_back(line);
        }
    return out;
}

std::string joined(const std::vector<std::string>& cells)
{
    std::string s;
    for (const std::string& c : cells)
        s += "[" + c + "]";
    return s;
}

class CsvKeepsScreen : public ExchangeProgramTest {
protected:
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    // Exports the table shown in `view` of `frame` by the frame's Export
    // command and compares the file with what the view draws, its window as
    // large as the table needs so that every row and column is drawn.
    void expect_export_is_screen(Frame& frame, TableView& view, const std::string& what)
    {
        TableWindow* t = view.table();
        ASSERT_NE(t, nullptr) << what;
        SCOPED_TRACE(what + ": " + frame.title_text);
        const std::string file = path("table.csv");
        std::filesystem::remove(file);
        script().answer_file(file);
        frame_command(frame, CMD_EXPORT);
        ASSERT_EQ(script().last_message(), "csv written.");
        const Lines csv = csv_lines(read_text_file(file));
        script().resize(view.window(), 20000, 40 * (t->row_count + 8) + 400);
        const Lines screen = screen_lines(script().paint(view.window()));
        ASSERT_FALSE(csv.empty());
        EXPECT_EQ(joined(csv.front()), "[" + trimmed(frame.title_text) + "]");
        ASSERT_EQ(csv.size() - 1, screen.size());
        for (std::size_t i = 0; i < screen.size(); ++i)
            EXPECT_EQ(joined(csv[i + 1]), joined(screen[i])) << "line " << i + 1;
        ++checked;
        seen.insert(what + ": " + frame.title_text);
    }
    int checked = 0;
    std::set<std::string> seen;
};

}  // namespace

// Every table of the sample model's input (the list window's data lists)
// and of its results (every result of the result list, each of its other
// items, in local and in global axes, in every load case): the CSV that
// Export writes holds the cells and headings the screen shows. The
// materials table exports the materials' own file and the hanger report
// the hanger interface file; they are not screens of cells.
TEST_F(CsvKeepsScreen, EveryExportingTableWritesItsScreen)
{
    script().answer_file(write("model.mbf", read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf")));
    ASSERT_TRUE(run_command(CMD_IMPORT));
    for (const DataList& list : data_lists()) {
        if (!list.count || list.count() == 0 || list.name == "Materials")
            continue;
        list.open();
        ASSERT_NO_FATAL_FAILURE(expect_export_is_screen(list_frame(), list_view(), list.name));
    }
    const int inputs = checked;
    EXPECT_GE(inputs, 6);

    ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
    walk_result_tables([this](const std::string& what) { expect_export_is_screen(results_frame(), results_table_view(), what); });
    EXPECT_GE(checked - inputs, 30) << checked;
    // Among them the support load summary with its displacements.
    EXPECT_TRUE(std::any_of(seen.begin(), seen.end(),
                            [](const std::string& s) { return s.find("Support load summary for anchor") != std::string::npos; }));
}

// The support load summary of an anchor whose node does not move in the
// sustained case: the screen shows its displacements 0 and its Allowables
// row of zeros under "Displacements (global)"; the export holds them so.
TEST_F(CsvKeepsScreen, SupportSummaryKeepsZerosAndTheDisplacementsHeading)
{
    script().answer_file(write("model.mbf", read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf")));
    ASSERT_TRUE(run_command(CMD_IMPORT));
    ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
    const std::vector<int> kinds = result_list();
    const auto at = std::find(kinds.begin(), kinds.end(), RESULT_SUPPORT_SUMMARY);
    ASSERT_NE(at, kinds.end());
    show_result(static_cast<int>(at - kinds.begin()) + 1);
    const std::string file = path("summary.csv");
    script().answer_file(file);
    frame_command(results_frame(), CMD_EXPORT);
    const std::string csv = read_text_file(file);
    std::istringstream in(csv);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);)
        lines.push_back(line);
    ASSERT_GE(lines.size(), 5u);
    EXPECT_EQ(lines[0].rfind("Support load summary for anchor at node ", 0), 0u) << lines[0];
    // The group heading over X, Y and Z, in the cell of X.
    EXPECT_EQ(lines[1], ",,,,,,,Displacements (global),,,") << csv;
    EXPECT_TRUE(lines[2].ends_with(",X (inch),Y (inch),Z (inch),")) << csv;
    // An anchor's node stays where it is: its displacements are 0 in every
    // combination, and the Allowables row (no allowable loads in the model)
    // is 0 throughout.
    for (std::size_t i = 3; i < lines.size(); ++i)
        EXPECT_TRUE(lines[i].ends_with(",0,0,0,")) << lines[i];
    EXPECT_EQ(lines.back(), "Allowables,0,0,0,0,0,0,0,0,0,") << csv;
}
