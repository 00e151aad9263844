// Results View > Color code stresses: enabled while the sorted stresses of
// the sample's code stresses are shown and greyed with any other result; it
// switches the view's stress colouring off, colours the Stress and Ratio
// cells on the scale of the view's colour bar and greys the thresholds,
// until "No color coding" takes it off again.
#include "codes/stress_display.h"
#include "exchange/exchange_fixture.h"
#include "framework/commands.h"
#include "framework/text.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "golden.h"
#include "graphics/color_scale.h"
#include "graphics/ui/graphics_client.h"
#include "model/model.h"
#include "model/ui/model_commands.h"
#include "results/ui/results_window.h"
#include "results/results_state.h"
#include "results/ui/results_hooks.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <vector>

namespace {

class ColorCodeEnabled : public ExchangeProgramTest {
protected:
    void TearDown() override
    {
        terminate_results();
        ExchangeProgramTest::TearDown();
    }
    Script& script() const { return hb->script(); }
    void open_sample_results()
    {
        script().answer_file(write("model.mbf", read_text_file(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf")));
        ASSERT_TRUE(run_command(CMD_IMPORT));
        ASSERT_NO_FATAL_FAILURE(analyse_and_open_results());
    }
    static void show(int kind)
    {
        ASSERT_TRUE(results_hooks().show[static_cast<std::size_t>(kind)]);
        results_hooks().show[static_cast<std::size_t>(kind)]();
    }
    // The View menu as it drops down: whether the item is enabled, and its text.
    static bool enabled(int id)
    {
        Frame& f = results_frame();
        f.menu_opening(f);
        return f.menu.is_enabled(id);
    }
    static std::string text(int id)
    {
        Frame& f = results_frame();
        f.menu_opening(f);
        const MenuItem* item = f.menu.find(id);
        return item ? item->text : std::string("(none)");
    }
    // The fill behind a cell as the table marks it while it is drawn.
    static std::string fill_of(TableWindow& t, int row, int column)
    {
        t.marks = {};
        t.prepare_row(row);
        t.cell_text(row, column, 0);
        const std::optional<Color> c = t.marks.background;
        t.marks = {};
        return c ? c_format("#%02x%02x%02x", c->r, c->g, c->b) : std::string("none");
    }
};

// The lighter shade of a colour of the ramp, half way to white, as the
// cells are filled: the ends of the ramp are blue (0, 0, 1) at the lowest
// value and red (1, 0, 0) at the highest (the colour bar's scale).
const std::string LIGHT_BLUE = "#7f7fff";
const std::string LIGHT_RED = "#ff7f7f";

}  // namespace

TEST_F(ColorCodeEnabled, EnabledWhileTheSortedStressesOfTheSampleAreShownElseGreyed)
{
    ASSERT_NO_FATAL_FAILURE(open_sample_results());
    ASSERT_TRUE(results().code.stresses);   // the sample's code stresses are present

    // Code compliance and displacements: greyed.
    show(RESULT_CODE_COMPLIANCE);
    EXPECT_FALSE(enabled(CMD_COLOUR_CODING));
    EXPECT_EQ(text(CMD_COLOUR_CODING), "Color code stresses");
    show(RESULT_DISPLACEMENTS);
    EXPECT_FALSE(enabled(CMD_COLOUR_CODING));
    EXPECT_FALSE(frame_command_enabled(results_frame(), CMD_COLOUR_CODING));

    // The sorted stresses: enabled, the view coloured by stress first.
    show(RESULT_SORTED_STRESSES);
    EXPECT_TRUE(enabled(CMD_COLOUR_CODING));
    EXPECT_TRUE(enabled(CMD_THRESHOLDS));
    frame_send_command(results_frame(), CMD_SHOW_STRESSES);
    ASSERT_TRUE(stress_display_flags().stresses_shown);

    // Colour coding: the view's colouring off, the thresholds greyed, the
    // item's text "No color coding".
    frame_command(results_frame(), CMD_COLOUR_CODING);
    EXPECT_TRUE(stress_display_flags().colour_coding);
    EXPECT_FALSE(stress_display_flags().stresses_shown);
    EXPECT_FALSE(stress_colouring().stresses);
    EXPECT_EQ(text(CMD_COLOUR_CODING), "No color coding");
    EXPECT_FALSE(enabled(CMD_THRESHOLDS));

    // The cells of the highest and the lowest stress shown take the two ends
    // of the scale; a ratio of 100 % would be red, 0 blue.
    TableWindow* t = results_table_view().table();
    ASSERT_NE(t, nullptr);
    ASSERT_GT(t->row_count, 2);
    int highest = 1, lowest = 1;
    std::vector<double> stresses;
    for (int r = 1; r <= t->row_count; ++r) {
        std::string cell = t->cell_text(r, 3, 0);
        std::erase(cell, ',');
        stresses.push_back(std::stod(cell));
    }
    for (int r = 1; r <= t->row_count; ++r) {
        if (stresses[static_cast<std::size_t>(r - 1)] > stresses[static_cast<std::size_t>(highest - 1)])
            highest = r;
        if (stresses[static_cast<std::size_t>(r - 1)] < stresses[static_cast<std::size_t>(lowest - 1)])
            lowest = r;
    }
    ASSERT_NE(highest, lowest);
    EXPECT_EQ(fill_of(*t, highest, 3), LIGHT_RED);
    EXPECT_EQ(fill_of(*t, lowest, 3), LIGHT_BLUE);
    // The ratio cells: a row's shade lies on the ramp between its ends by
    // its ratio over 100 % (below a quarter: no red, full blue).
    for (int r = 1; r <= t->row_count; ++r) {
        std::string cell = t->cell_text(r, 5, 0);
        if (cell.empty())
            continue;
        const double ratio = std::stod(cell) / 100.0;
        const std::string fill = fill_of(*t, r, 5);
        if (ratio < 0.25) {
            EXPECT_EQ(fill.substr(1, 2) + fill.substr(5, 2), "7fff") << "row " << r << " " << ratio;
        }
        if (ratio >= 1.0) {
            EXPECT_EQ(fill, LIGHT_RED) << "row " << r;
        }
    }
    // As drawn on screen: the filled cells under their texts.
    const std::vector<std::string> painted = script().paint(results_table_view().window());
    EXPECT_TRUE(std::any_of(painted.begin(), painted.end(),
                            [](const std::string& line) { return line.find("fill ") == 0 && line.find(LIGHT_RED) != std::string::npos; }));

    // Another result greys it again; back on the sorted stresses "No color
    // coding" takes the colours off and gives the thresholds back.
    show(RESULT_CODE_COMPLIANCE);
    EXPECT_FALSE(enabled(CMD_COLOUR_CODING));
    EXPECT_EQ(text(CMD_COLOUR_CODING), "Color code stresses");
    show(RESULT_SORTED_STRESSES);
    EXPECT_EQ(text(CMD_COLOUR_CODING), "No color coding");
    frame_command(results_frame(), CMD_COLOUR_CODING);
    EXPECT_FALSE(stress_display_flags().colour_coding);
    EXPECT_EQ(text(CMD_COLOUR_CODING), "Color code stresses");
    EXPECT_TRUE(enabled(CMD_THRESHOLDS));
    t = results_table_view().table();
    EXPECT_EQ(fill_of(*t, highest, 3), "none");
}

namespace {

// The sample's element that ends at the node, and its layout row.
int element_at(int node_number, int& row)
{
    const Model& m = model();
    for (int e = 1; e <= m.numelems(); ++e)
        if (m.nodes[m.elems[e].node2].number == node_number) {
            row = m.elems[e].row;
            return e;
        }
    return 0;
}

// What the painted view says under its colour bar.
bool legend_marked(Script& script)
{
    const std::vector<std::string> lines = script.paint(graphics_frame().client);
    return std::any_of(lines.begin(), lines.end(),
                       [](const std::string& l) { return l.find(color_legend_mark(false)) != std::string::npos; });
}

}  // namespace

// The elements the view colours now.
std::set<int> coloured_elements()
{
    std::set<int> out;
    const StressColouring& c = stress_colouring();
    for (int e = 1; e <= model().numelems(); ++e)
        if (c.stresses && c.has_values.valid(e) && c.has_values[e])
            out.insert(e);
    return out;
}

// The sample analysed, then the pipe from 35 to 40 made a foot longer (its
// row's DZ 4 ft to 5 ft) and saved, and the results opened again: they are
// older than the model. The stress colouring leaves that element without
// colour; every other element, whose length and direction are as analysed
// (those after it only moved), keeps its colour, and the colour bar says
// the stresses are out of date. The same holds for an edit made while the
// results are open: the reducer from 40 to 45 made longer loses its colour
// at once.
TEST_F(ColorCodeEnabled, AChangedElementLosesItsColouringTheOthersKeepTheirsMarked)
{
    ASSERT_NO_FATAL_FAILURE(open_sample_results());
    show(RESULT_SORTED_STRESSES);
    frame_send_command(results_frame(), CMD_SHOW_STRESSES);
    const std::set<int> analysed = coloured_elements();
    int row = 0;
    const int changed = element_at(40, row);
    ASSERT_GT(changed, 0);
    ASSERT_TRUE(analysed.count(changed));
    EXPECT_FALSE(legend_marked(script()));

    frame_command(results_frame(), CMD_INPUT);
    hb->run_loop();
    ASSERT_FALSE(in_results());
    ASSERT_FLOAT_EQ(model().rows[row].dz, 48.0f);
    model().rows[row].dz = 60.0f;
    make_model();
    model_modified() = true;
    ASSERT_TRUE(save_model(0));
    // The results a minute older than the model, as after a later save.
    std::filesystem::last_write_time(path("model.res"),
                                     std::filesystem::last_write_time(path("model.mod")) - std::chrono::minutes(1));
    open_results();
    hb->run_loop();
    ASSERT_TRUE(in_results());
    ASSERT_TRUE(results_out_of_date());
    ASSERT_TRUE(results_elements_match_model());
    show(RESULT_SORTED_STRESSES);
    frame_send_command(results_frame(), CMD_SHOW_STRESSES);
    ASSERT_TRUE(stress_colouring().stresses);
    for (int e = 1; e <= model().numelems(); ++e)
        EXPECT_EQ(results_element_changed(e), e == changed) << e;
    std::set<int> expected = analysed;
    expected.erase(changed);
    EXPECT_EQ(coloured_elements(), expected);
    EXPECT_TRUE(legend_marked(script()));

    // An edit while the results are open.
    int reducer_row = 0;
    const int reducer = element_at(45, reducer_row);
    ASSERT_TRUE(expected.count(reducer));
    model().rows[reducer_row].dx += 12.0f;
    make_model();
    graphics_model_changed();
    hb->run_loop();
    script().paint(graphics_frame().client);
    ASSERT_TRUE(stress_colouring().stresses);
    EXPECT_TRUE(results_element_changed(reducer));
    expected.erase(reducer);
    EXPECT_EQ(coloured_elements(), expected);
    EXPECT_TRUE(legend_marked(script()));
}
