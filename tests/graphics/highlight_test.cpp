// Highlighting on the scripted backend: the kinds and their setters, rows
// that are never highlighted, suspend and hide one level each, render mode,
// a frozen view, the node marks, the blink and what the overlay draws.
#include "graphics/graphics_program_fixture.h"
#include "graphics/highlight.h"
#include "graphics/triads.h"
#include "graphics/ui/highlight_ui.h"
#include "materials/ui/pipe_material_ui.h"
#include "model/ui/layout_window.h"
#include "platform/headless/headless_backend.h"
#include "platform/headless/recording_surface.h"
#include "results/ui/results_hooks.h"
#include "supports/guide.h"

#include <algorithm>
#include <cmath>

namespace {

class HighlightTest : public GraphicsProgramTest {
protected:
    // The L of the fixture with a guide at its end and a comment row.
    void model_with_guide()
    {
        add_row(10, ET_FROM, 0, 0, 0);
        add_row(20, ET_PIPE, 100, 0, 0, DT_RESTRAINT);
        guide_row = add_row(30, ET_PIPE, 0, 100, 0, DT_GUIDE);
        comment_row = add_row(0, ET_COMMENT, 0, 0, 0);
        model_changed();
        show();
    }

    // What the overlay draws now on a surface of the client's size.
    static std::vector<std::string> overlay()
    {
        RecordingSurface s(800, 600, rgb(0, 0, 0));
        highlight_draw_overlay(s);
        return s.lines();
    }
    static std::vector<std::string> lines_of(const std::vector<std::string>& lines, const std::string& word)
    {
        std::vector<std::string> out;
        for (const std::string& l : lines)
            if (l.rfind(word + " ", 0) == 0)
                out.push_back(l);
        return out;
    }
    static bool has(const std::vector<std::string>& lines, const std::string& what)
    {
        return std::find(lines.begin(), lines.end(), what) != lines.end();
    }

    int guide_row = 0;
    int comment_row = 0;
};

}  // namespace

TEST_F(HighlightTest, HighlightSettersReplaceThePreviousOne)
{
    model_with_guide();
    const int node20 = node_index(20);
    highlight_node(node20);
    const HighlightState& h = highlight_state();
    EXPECT_EQ(h.kind, HIGHLIGHT_NODE);
    EXPECT_EQ(h.object.node, node20);
    EXPECT_EQ(h.marked[0], node20);
    EXPECT_TRUE(h.phase);
    EXPECT_TRUE(h.shown);
    highlight_element(2);
    EXPECT_EQ(h.kind, HIGHLIGHT_ELEMENT);
    EXPECT_EQ(h.object.row, 2);
    EXPECT_EQ(h.marked[0], node20);
    highlight_data_item(guide_row);
    EXPECT_EQ(h.kind, HIGHLIGHT_DATA_ITEM);
    highlight_element_result(1);
    EXPECT_EQ(h.kind, HIGHLIGHT_ANALYSIS_ELEMENT);
    EXPECT_EQ(h.marked[0], model().elems[1].node1);
    EXPECT_EQ(h.marked[1], model().elems[1].node2);
    highlight_ratio_point(node20, 25000.0f, 1.25f);
    EXPECT_EQ(h.kind, HIGHLIGHT_STRESS_NODE);
    EXPECT_EQ(h.label_color, rgb(255, 0, 0));   // above the allowable
    highlight_ratio_node(node20, 0.5f);
    EXPECT_EQ(h.kind, HIGHLIGHT_RATIO_NODE);
    EXPECT_EQ(h.label_color, rgb(0, 255, 0));   // the normal label on black
    highlight_erase();
    EXPECT_EQ(h.kind, HIGHLIGHT_NONE);
    EXPECT_FALSE(h.phase);
    EXPECT_FALSE(h.shown);
}

TEST_F(HighlightTest, HighlightLeavesRowsWithoutAnElementAlone)
{
    model_with_guide();
    highlight_element(2);
    const HighlightState before = highlight_state();
    // A comment, a row of no type, a row whose node is not built.
    highlight_element(comment_row);
    const int plain = append_layout_row();
    model().rows[plain].node = 40;
    highlight_element(plain);
    const int hydro = add_row(0, ET_HYDROTEST_LOAD, 0, 0, 0);
    highlight_element(hydro);
    const int unbuilt = add_row(50, ET_PIPE, 10, 0, 0);   // appended after the build
    highlight_element(unbuilt);
    highlight_data_item(comment_row);
    const HighlightState& h = highlight_state();
    EXPECT_EQ(h.kind, before.kind);
    EXPECT_EQ(h.object, before.object);
    EXPECT_EQ(h.marked[0], before.marked[0]);
}

TEST_F(HighlightTest, HighlightSuspendAndHideNestOneLevelEach)
{
    model_with_guide();
    highlight_element(2);
    HighlightState& h = highlight_state();
    highlight_suspend();
    EXPECT_TRUE(h.suspended);
    EXPECT_EQ(h.kind, HIGHLIGHT_NONE);
    EXPECT_TRUE(overlay().empty());
    // A second suspend does nothing; neither does a hide nor an erase.
    highlight_suspend();
    highlight_hide();
    EXPECT_EQ(h.hidden_kind, HIGHLIGHT_NONE);
    highlight_erase();
    highlight_resume();
    EXPECT_FALSE(h.suspended);
    EXPECT_EQ(h.kind, HIGHLIGHT_ELEMENT);
    EXPECT_EQ(h.object.row, 2);
    EXPECT_EQ(h.marked[0], node_index(20));
    // A second resume changes nothing.
    highlight_resume();
    EXPECT_EQ(h.kind, HIGHLIGHT_ELEMENT);
    highlight_hide();
    EXPECT_EQ(h.hidden_kind, HIGHLIGHT_ELEMENT);
    EXPECT_EQ(h.kind, HIGHLIGHT_NONE);
    highlight_hide();
    EXPECT_EQ(h.hidden_kind, HIGHLIGHT_ELEMENT);
    highlight_unhide();
    EXPECT_EQ(h.kind, HIGHLIGHT_ELEMENT);
    EXPECT_EQ(h.hidden_kind, HIGHLIGHT_NONE);
    // While a thumb is dragged the highlight is neither hidden nor shown again.
    graphics_view().scroll_dragging = true;
    highlight_hide();
    EXPECT_EQ(h.hidden_kind, HIGHLIGHT_NONE);
    graphics_view().scroll_dragging = false;
}

TEST_F(HighlightTest, HighlightInRenderModeDrawsNothingButNamesAreRecorded)
{
    model_with_guide();
    render_on();
    ASSERT_TRUE(graphics_settings().render_mode);
    highlight_node(node_index(20));
    highlight_element(2);
    EXPECT_EQ(highlight_state().kind, HIGHLIGHT_NONE);
    highlight_section_rows("S6");
    EXPECT_EQ(highlight_state().kind, HIGHLIGHT_SECTION_ROWS);
    EXPECT_EQ(highlight_state().object.name, "S6");
    EXPECT_TRUE(highlight_names_row(2));
    EXPECT_TRUE(overlay().empty());
    // Back in the line view the rows of the section are drawn highlighted.
    render_off();
    highlight_section_rows("S6");
    const auto lines = overlay();
    EXPECT_TRUE(has(lines, "pen #00ff00 1 solid"));
    EXPECT_GE(std::count_if(lines.begin(), lines.end(), [](const std::string& l) { return l.rfind("line ", 0) == 0; }),
              2);
}

TEST_F(HighlightTest, HighlightMovesTheViewUnlessItIsFrozen)
{
    model_with_guide();
    // A view of the first pipe's start only: the last pipe is out of sight.
    ViewWindow& w = graphics_view().view_window;
    const ViewWindow narrow{w.xmin, w.ymin, w.xmin + w.width() / 4, w.ymin + w.height() / 4};
    w = narrow;
    graphics_settings().view_frozen = true;
    highlight_element(3);
    EXPECT_EQ(graphics_view().view_window, narrow);
    EXPECT_EQ(highlight_state().kind, HIGHLIGHT_ELEMENT);
    graphics_settings().view_frozen = false;
    highlight_element(3);
    const ViewWindow& now = graphics_view().view_window;
    const Box2D& box = model().rows[3].box_2d;
    EXPECT_LE(now.xmin, box.xmin);
    EXPECT_GE(now.xmax, box.xmax);
    EXPECT_LE(now.ymin, box.ymin);
    EXPECT_GE(now.ymax, box.ymax);
}

TEST_F(HighlightTest, HighlightBlinksBetweenTheHighlightAndDimmedPens)
{
    model_with_guide();
    EXPECT_EQ(highlight_blink_period(1000), 500);
    EXPECT_EQ(highlight_blink_period(0), 0);
    // The frame's timer blinks at half of the cursor's flash cycle (1000 ms here).
    EXPECT_TRUE(hb->timer_pending(graphics_frame().window, BLINK_TIMER));
    highlight_element(2);
    ASSERT_TRUE(highlight_state().phase);
    auto lines = overlay();
    EXPECT_TRUE(has(lines, "pen #00ff00 1 solid"));
    // The mark: a box around the node's label in the inverted pen's colour.
    EXPECT_TRUE(has(lines, "pen #ffffff 1 solid"));
    EXPECT_FALSE(lines_of(lines, "rect").empty());
    script().advance(500);
    EXPECT_FALSE(highlight_state().phase);
    lines = overlay();
    EXPECT_TRUE(has(lines, "pen #808080 1 solid"));
    EXPECT_FALSE(has(lines, "pen #00ff00 1 solid"));
    EXPECT_TRUE(lines_of(lines, "rect").empty());
    script().advance(500);
    EXPECT_TRUE(highlight_state().phase);
    // On white the highlight is red and the box magenta.
    graphics_settings().white_background = true;
    RecordingSurface white(800, 600);
    highlight_draw_overlay(white);
    EXPECT_TRUE(has(white.lines(), "pen #ff0000 1 solid"));
    EXPECT_TRUE(has(white.lines(), "pen #ff00ff 1 solid"));
    graphics_settings().white_background = false;
}

TEST_F(HighlightTest, HighlightMarkOfANodeWithoutItsNumberIsABlankBox)
{
    model_with_guide();
    RecordingSurface s(800, 600, rgb(0, 0, 0));
    highlight_node(node_index(20));
    NodeMark marks[2];
    ASSERT_EQ(highlight_marks(s, marks), 1);
    EXPECT_EQ(marks[0].text, "20");
    EXPECT_EQ(marks[0].color, rgb(255, 255, 0));
    // The box: 3 pixels left of the text, 6 wider, from 4 below the base line
    // up by the ascent less the internal leading, and 8 more.
    const TextMetrics m = s.text_metrics();
    EXPECT_EQ(marks[0].rect.left, marks[0].text_at.x - 3);
    EXPECT_EQ(marks[0].rect.right, marks[0].rect.left + s.text_width("20") + 6);
    EXPECT_EQ(marks[0].rect.bottom, marks[0].text_at.y + 4);
    EXPECT_EQ(marks[0].rect.top, marks[0].rect.bottom - m.ascent + m.internal_leading - 8);
    show_flags().node_numbers = false;
    ASSERT_EQ(highlight_marks(s, marks), 1);
    EXPECT_EQ(marks[0].text, " ");
    EXPECT_GT(marks[0].rect.right - marks[0].rect.left, 6);
}

TEST_F(HighlightTest, HighlightShowsLocalAxesWhenTheyAreOn)
{
    model_with_guide();
    show_flags().local_axes = true;
    highlight_data_item(guide_row);
    EXPECT_EQ(highlight_state().kind, HIGHLIGHT_LCS);
    EXPECT_TRUE(lcs_triad().shown);
    EXPECT_EQ(lcs_triad().node, node_index(30));
    // The guide's x axis runs along its pipe (Y).
    EXPECT_NEAR(std::fabs(lcs_triad().axes[0].y), 1.0, 1e-6);
    highlight_erase();
    EXPECT_FALSE(lcs_triad().shown);
    // An element of the analysis model: its axes at its first node.
    highlight_element_result(1);
    EXPECT_EQ(highlight_state().kind, HIGHLIGHT_LCS);
    EXPECT_EQ(lcs_triad().node, model().elems[1].node1);
    show_flags().local_axes = false;
}

TEST_F(HighlightTest, HighlightBallJointAxesFollowThePipeOrFallBackToX)
{
    // A pipe along Y, then a ball joint along Z: the joint's x axis is the pipe's.
    add_row(10, ET_FROM, 0, 0, 0);
    add_row(20, ET_PIPE, 0, 100, 0);
    add_row(30, ET_BALL_JOINT, 0, 0, 10);
    // A ball joint with no pipe at either node (a new run from 40).
    add_row(40, ET_FROM, 500, 0, 0);
    add_row(50, ET_BALL_JOINT, 0, 0, 10);
    model_changed();
    show();
    show_flags().local_axes = true;
    std::vector<int> joints;
    for (int e = 1; e <= model().numelems(); ++e)
        if (model().elems[e].kind == ET_BALL_JOINT)
            joints.push_back(e);
    ASSERT_EQ(joints.size(), 2u);
    for (std::size_t k = 0; k < joints.size(); ++k) {
        highlight_element_result(joints[k]);
        EXPECT_EQ(highlight_state().kind, HIGHLIGHT_LCS);
        const Vec3 x = lcs_triad().axes[0];
        EXPECT_TRUE(std::isfinite(x.x) && std::isfinite(x.y) && std::isfinite(x.z));
        EXPECT_NEAR(k == 0 ? std::fabs(x.y) : x.x, 1.0, 1e-6) << "joint " << k;
    }
    show_flags().local_axes = false;
}

TEST_F(HighlightTest, HighlightIsAskedForByPicksTablesAndResults)
{
    model_with_guide();
    // The layout's current row.
    for (const auto& [name, follow] : layout_hooks().row_changed)
        follow(2);
    EXPECT_EQ(highlight_state().kind, HIGHLIGHT_ELEMENT);
    EXPECT_EQ(highlight_state().object.row, 2);
    // A pick of a data item, the result tables' rows, the model's erase.
    pick_hooks().highlight_data_item(guide_row);
    EXPECT_EQ(highlight_state().kind, HIGHLIGHT_DATA_ITEM);
    results_hooks().highlight_row(2);
    EXPECT_EQ(highlight_state().kind, HIGHLIGHT_DATA_ITEM);   // the row's restraint
    model_hooks().erase_highlight();
    EXPECT_EQ(highlight_state().kind, HIGHLIGHT_NONE);
    // The materials table: the rows of a material, or none.
    model().rows[2].material = "A106B";
    pipe_material_highlight().draw("A106B");
    EXPECT_EQ(highlight_state().kind, HIGHLIGHT_MATERIAL_ROWS);
    EXPECT_TRUE(highlight_names_row(2));
    EXPECT_FALSE(highlight_names_row(3));
    pipe_material_highlight().erase();
    EXPECT_EQ(highlight_state().kind, HIGHLIGHT_NONE);
}
