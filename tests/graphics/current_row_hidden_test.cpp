// A hidden row is drawn in no view, current or not. F6 (Hide Current
// Element) and Show/Hide Selected Elements take a row out of the line view;
// what then points at the row (the layout's current row, chosen again; a
// result table's line: the row's support, its element, an element of the
// analysis model, its node, the local axes of its guide) stays the
// highlight but adds nothing to the client's paint in either blink phase,
// does not blink and does not move the view, in the model's view and in
// results mode alike; F9 shows the row and its highlight again. The
// scripted backend paints the client as the window does.
#include "graphics/highlight.h"
#include "graphics/model_view.h"
#include "graphics/results_views_fixture.h"
#include "graphics/triads.h"
#include "graphics/ui/graphics_dialogs.h"
#include "model/ui/layout_window.h"
#include "platform/headless/headless_backend.h"

#include <functional>
#include <string>
#include <vector>

namespace {

class CurrentRowHidden : public ResultsViewTest {
protected:
    void TearDown() override
    {
        show_flags().local_axes = false;
        ResultsViewTest::TearDown();
    }

    // The L of the fixture with a guide at its end (row 3).
    void l_with_guide()
    {
        add_row(10, ET_FROM, 0, 0, 0);
        add_row(20, ET_PIPE, 100, 0, 0, DT_RESTRAINT);
        guide_row = add_row(30, ET_PIPE, 0, 100, 0, DT_GUIDE);
        model_changed();
        show();
    }

    // The client as the window paints it, the highlight in a blink phase.
    std::vector<std::string> painted(bool phase) const
    {
        highlight_state().phase = phase;
        return script().paint(client());
    }
    // The client painted without the highlight (nor the local axes it
    // shows), the highlight kept as it was.
    std::vector<std::string> painted_bare() const
    {
        const HighlightState kept = highlight_state();
        const bool axes = lcs_triad().shown;
        highlight_state().kind = HIGHLIGHT_NONE;
        lcs_triad().shown = false;
        std::vector<std::string> lines = script().paint(client());
        highlight_state() = kept;
        lcs_triad().shown = axes;
        return lines;
    }
    // Whether the highlight adds to the paint in its bright phase.
    bool drawn() const { return painted(true) != painted_bare(); }
    // Whether a whole blink period (the scripted cursor flashes once a
    // second) turns the highlight's phase.
    bool blinks() const
    {
        const bool before = highlight_state().phase;
        script().advance(500);
        return highlight_state().phase != before;
    }
    // Nothing of the highlight in either phase, and no blink.
    void expect_nothing_drawn(const std::string& where) const
    {
        const std::vector<std::string> bare = painted_bare();
        EXPECT_EQ(painted(true), bare) << where;
        EXPECT_EQ(painted(false), bare) << where;
        EXPECT_FALSE(blinks()) << where;
    }
    // The current row's highlight, drawn and blinking, then F6 in the
    // graphics window: the row is hidden, its highlight draws nothing.
    void f6_on_the_current_row(int row, const std::string& where)
    {
        ASSERT_TRUE(drawn());
        ASSERT_TRUE(blinks());
        frame_send_command(graphics_frame(), CMD_HIDE_CURRENT_ELEMENT);
        ASSERT_EQ(model().rows[row].shown, 0);
        expect_nothing_drawn(where);
    }

    // Show/Hide Selected Elements, "Hide specified from existing view".
    void hide_rows(int from, int to) const
    {
        script().once("HIDE_ELEMENTS_DIALOG", [from, to](HeadlessDialog& d) {
            d.type(HIDE_FROM, std::to_string(from));
            d.type(HIDE_TO, std::to_string(to));
            d.press(HIDE_HIDE_MORE);
            d.press(IDOK);
        });
        ASSERT_TRUE(hide_elements_dialog(graphics_frame().window));
    }

    static int element_of_row(int row)
    {
        for (int e = 1; e <= model().numelems(); ++e)
            if (model().elems[e].row == row)
                return e;
        return 0;
    }

    int guide_row = 0;
};

}  // namespace

// The layout's current row, highlighted blinking, and F6: the highlight of
// its pipe neither draws nor blinks; chosen again in the layout after
// another row, it is the highlight again and still draws nothing, nor does
// it bring the view to the row; F9 shows it, highlighted.
TEST_F(CurrentRowHidden, F6TakesTheCurrentRowsPipeOutOfItsHighlightChosenAgainToo)
{
    l_with_guide();
    select_layout_row(2);
    const HighlightState& h = highlight_state();
    ASSERT_EQ(h.kind, HIGHLIGHT_ELEMENT);
    ASSERT_EQ(h.object.row, 2);
    ASSERT_NO_FATAL_FAILURE(f6_on_the_current_row(2, "F6"));
    EXPECT_EQ(h.kind, HIGHLIGHT_ELEMENT);

    // Another row, drawn; the view then on the top of the guide's pipe
    // alone, and the hidden row chosen again.
    select_layout_row(3);
    EXPECT_TRUE(drawn());
    ViewWindow& w = graphics_view().view_window;
    const ViewWindow narrow{60.0f, 60.0f, 140.0f, 120.0f};
    w = narrow;
    select_layout_row(2);
    EXPECT_EQ(h.kind, HIGHLIGHT_ELEMENT);
    EXPECT_EQ(h.object.row, 2);
    EXPECT_EQ(graphics_view().view_window, narrow);
    expect_nothing_drawn("chosen again");

    frame_send_command(graphics_frame(), CMD_SHOW_ALL_ELEMENTS);
    EXPECT_EQ(model().rows[2].shown, 1);
    EXPECT_TRUE(drawn());
    EXPECT_TRUE(blinks());
}

// Each thing a table's line points at in a row that Show/Hide Selected
// Elements hid: recorded, never drawn nor blinked; the same of the row
// shown is drawn and blinks.
TEST_F(CurrentRowHidden, WhatATableLinePointsAtInAHiddenRowIsNeitherDrawnNorBlinked)
{
    l_with_guide();
    struct Pointer {
        const char* what;
        std::function<void(int row)> point;
        int kind;
    };
    const std::vector<Pointer> pointers = {
        {"the guide of a support table's line", [](int row) { results_hooks().highlight_row(row); },
         HIGHLIGHT_DATA_ITEM},
        {"the pipe of an element table's line", highlight_element, HIGHLIGHT_ELEMENT},
        {"an element of the analysis model", [](int row) { highlight_element_result(element_of_row(row)); },
         HIGHLIGHT_ANALYSIS_ELEMENT},
        {"the node of a displacement line",
         [](int row) { results_hooks().highlight_node(model().rows[row].node_index); }, HIGHLIGHT_NODE},
        {"the guide's local axes",
         [](int row) {
             show_flags().local_axes = true;
             highlight_data_item(row);
         },
         HIGHLIGHT_LCS},
    };
    for (const Pointer& p : pointers) {
        SCOPED_TRACE(p.what);
        frame_send_command(graphics_frame(), CMD_SHOW_ALL_ELEMENTS);
        p.point(guide_row);
        ASSERT_EQ(highlight_state().kind, p.kind);
        EXPECT_TRUE(drawn());
        EXPECT_TRUE(blinks());
        highlight_erase();

        hide_rows(guide_row, guide_row);
        ASSERT_EQ(model().rows[guide_row].shown, 0);
        p.point(guide_row);
        EXPECT_EQ(highlight_state().kind, p.kind);
        expect_nothing_drawn(p.what);
        highlight_erase();
        show_flags().local_axes = false;
    }
}

// In results mode the support table's line makes the restraint's row
// current and highlights its symbol; F6 hides the row, and the symbol does
// not blink on.
TEST_F(CurrentRowHidden, F6InResultsModeStopsTheHiddenSupportsBlink)
{
    ASSERT_NO_FATAL_FAILURE(open_results_of_l(0));
    const int row = 2;   // the restraint at the corner
    ASSERT_EQ(model().rows[row].dtype, DT_RESTRAINT);
    results_hooks().highlight_row(row);
    ASSERT_EQ(model().current_row, row);
    ASSERT_EQ(highlight_state().kind, HIGHLIGHT_DATA_ITEM);
    ASSERT_NO_FATAL_FAILURE(f6_on_the_current_row(row, "results"));
    // The line pointed at again: the same.
    results_hooks().highlight_row(row);
    expect_nothing_drawn("pointed at again");
}
