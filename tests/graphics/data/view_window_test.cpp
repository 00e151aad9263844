// The view window: Zoom All, the zoom limits, the scroll bars' mapping, the
// previous view and the shifting of the view onto an item, against values
// worked by hand from the rules of the view.
#include "framework/app_state.h"
#include "graphics/data/graphics_data_fixture.h"

namespace {

class ViewZoomTest : public GraphicsDataTest {};

constexpr float TOLERANCE = 1.0e-3f;

}  // namespace

TEST_F(ViewZoomTest, ZoomAllOfAnEmptyModelShowsItsStandardExtent)
{
    // No nodes: the extent is -12..12; 5 % more on each side is -13.2..13.2;
    // the scale min(800, 600) / 26.4 = 22.727; the window widened in x by
    // half of 800 / 22.727 - 26.4 = 8.8 on each side.
    zoom_all();
    const ViewWindow& w = graphics_view().view_window;
    EXPECT_NEAR(view_state().scale, 600.0 / 26.4, 1e-4);
    EXPECT_NEAR(w.xmin, -17.6f, TOLERANCE);
    EXPECT_NEAR(w.xmax, 17.6f, TOLERANCE);
    EXPECT_NEAR(w.ymin, -13.2f, TOLERANCE);
    EXPECT_NEAR(w.ymax, 13.2f, TOLERANCE);
    // A client below 200 by 150 pixels is scaled as if it had that size.
    set_client_size(100, 60);
    zoom_all();
    EXPECT_NEAR(view_state().scale, 150.0 / 26.4, 1e-4);
}

TEST_F(ViewZoomTest, ZoomAllOfAPointStillShowsTwoUnits)
{
    from(10, 5, 5, 5);
    set_viewpoint(0, 0, 1);
    build();
    // A large scale first: the node's label room is then next to nothing.
    set_drawing_scale(1.0e5);
    zoom_all();
    update_view_window();   // as the repaint does
    const ViewWindow& w = graphics_view().view_window;
    // The extent grew to at least 2 units, 5 % more each way, the client's shape.
    EXPECT_GE(w.height(), 2.2f - TOLERANCE);
    EXPECT_NEAR(w.width() / w.height(), 800.0f / 600.0f, 1e-3f);
    EXPECT_LT(w.xmin, 5.0f - 1.0f);
    EXPECT_GT(w.xmax, 5.0f + 1.0f);
    EXPECT_LT(w.ymin, 5.0f - 1.0f);
    EXPECT_GT(w.ymax, 5.0f);
    // The window is not much more than the 2 units: the label room of one node.
    EXPECT_LT(w.height(), 2.2f + 2.0f * float(view_state().number_height) + 1.0f);
}

TEST_F(ViewZoomTest, ZoomAllFitsATallRiserToTheHeight)
{
    from(10);
    piped(row(20, ET_PIPE, 0, 1000, 0, DT_ANCHOR));
    piped(row(30, ET_PIPE, 300, 0, 0, DT_ANCHOR));
    set_viewpoint(0, 0, 1);
    build();
    // From a scale at which the symbols are next to nothing: they grow with
    // the scale the zoom finds, and the window still holds them all.
    set_drawing_scale(1000);
    zoom_all();
    update_view_window();
    const Box2D& e = graphics_view().model_extent;
    const ViewWindow& w = graphics_view().view_window;
    EXPECT_GE(e.xmin, w.xmin);
    EXPECT_LE(e.xmax, w.xmax);
    EXPECT_GE(e.ymin, w.ymin);
    EXPECT_LE(e.ymax, w.ymax);
    double bx = 0, by = 0, tx = 0, ty = 0;
    view_to_client(node(10).sx, node(10).sy, bx, by);
    view_to_client(node(20).sx, node(20).sy, tx, ty);
    // Both ends in the client, the riser over most of its height, the model
    // in the middle third across.
    EXPECT_GT(ty, 0.0);
    EXPECT_LT(by, 600.0);
    EXPECT_GT(by - ty, 0.8 * 600.0);
    EXPECT_GT(bx, 800.0 / 3.0);
    EXPECT_LT(bx, 2.0 * 800.0 / 3.0);
    // The scale fits the 1000 in and 10 % into 600 pixels at most.
    EXPECT_LT(view_state().scale, 600.0 / 1100.0);
}

TEST_F(ViewZoomTest, ScrollBarsSpanTheExtentAndNineTenthsMore)
{
    // The empty model's view (see above): extent -12..12, window x -17.6..17.6,
    // y -13.2..13.2. The scroll area is -33.6..33.6 both ways: 16000 / 67.2 =
    // 238.095 units per view unit.
    zoom_all();
    update_view_window();
    const GraphicsViewState& g = graphics_view();
    const double units = 16000.0 / 67.2;
    EXPECT_NEAR(g.horizontal.units, units, 1e-2);
    // Positions and pages to the nearest scroll unit.
    EXPECT_EQ(g.horizontal.page, static_cast<int>(std::lround(35.2 * units)));       // 8381
    EXPECT_EQ(g.horizontal.position, static_cast<int>(std::lround(16.0 * units)));   // 3810
    EXPECT_EQ(g.horizontal.maximum, 16000 - g.horizontal.page);
    EXPECT_EQ(g.horizontal.line, g.horizontal.page / 40);                             // 209
    EXPECT_EQ(g.vertical.page, static_cast<int>(std::lround(26.4 * units)));         // 6286
    EXPECT_EQ(g.vertical.position, static_cast<int>(std::lround(20.4 * units)));     // 4857
    EXPECT_EQ(g.vertical.line, 50);                                                   // 600 / 25 = 24, at least 50

    // A line right moves the window by the line step.
    const int line = g.horizontal.line;
    const int start = g.horizontal.position;
    horizontal_scroll(ScrollCode::LineDown, 0);
    EXPECT_EQ(g.horizontal.position, start + line);
    EXPECT_NEAR(g.view_window.xmin, -33.6 + (start + line) / units, 1e-3);
    EXPECT_NEAR(g.view_window.width(), 35.2f, TOLERANCE);
    // A page down moves the window down by half a page.
    const int vpos = g.vertical.position;
    vertical_scroll(ScrollCode::PageDown, 0);
    EXPECT_EQ(g.vertical.position, vpos + g.vertical.page / 2);
    EXPECT_NEAR(g.view_window.ymax, 33.6 - (vpos + g.vertical.page / 2) / units, 1e-3);
    // A thumb let go before the start puts the window at the scroll area's left edge.
    horizontal_scroll(ScrollCode::ThumbPosition, -500);
    EXPECT_EQ(g.horizontal.position, 0);
    EXPECT_NEAR(g.view_window.xmin, -33.6f, TOLERANCE);
    // A dragged thumb takes the window with it: at 2000 the window starts
    // 2000 / units view units into the scroll area; dragged past the end it
    // stops at the end, the window's right edge on the area's.
    horizontal_scroll(ScrollCode::ThumbTrack, 2000);
    EXPECT_EQ(g.horizontal.position, 2000);
    EXPECT_NEAR(g.view_window.xmin, -33.6 + 2000 / units, 1e-3);
    EXPECT_TRUE(g.scroll_dragging);
    horizontal_scroll(ScrollCode::ThumbTrack, 20000);
    EXPECT_EQ(g.horizontal.position, g.horizontal.maximum);
    EXPECT_NEAR(g.view_window.xmax, 33.6f, TOLERANCE);
    horizontal_scroll(ScrollCode::ThumbPosition, g.horizontal.position);
    EXPECT_FALSE(g.scroll_dragging);
    // Read back from the window, the position is the one set.
    update_view_window();
    EXPECT_EQ(g.horizontal.position, g.horizontal.maximum);
}

TEST_F(ViewZoomTest, TurnModeScrollBarsTurnTheView)
{
    graphics_settings().turn_mode = true;
    set_viewpoint(1, 0, 0);
    horizontal_scroll(ScrollCode::LineUp, 0);
    EXPECT_NEAR(view_transform().viewpoint.z, -std::sin(ROTATION_STEP), 1e-6);
    // A page is two steps; back by three brings the side view again.
    horizontal_scroll(ScrollCode::PageUp, 0);
    horizontal_scroll(ScrollCode::PageDown, 0);
    horizontal_scroll(ScrollCode::LineDown, 0);
    EXPECT_NEAR(view_transform().viewpoint.z, 0, 1e-6);
}

TEST_F(ViewZoomTest, ZoomStepsStopAtTheirLimits)
{
    from(10);
    piped(row(20, ET_PIPE, 100, 0, 0));
    set_viewpoint(0, 0, 1);
    build();
    zoom_all();
    const double scale = view_state().scale;
    zoom_in_step();
    EXPECT_NEAR(view_state().scale, scale * 1.05, 1e-9 * scale);
    EXPECT_TRUE(previous_view_kept());
    zoom_in_step(true);
    EXPECT_NEAR(view_state().scale, scale * 1.05 * 1.02, 1e-9 * scale);
    // In until 1/40 of the extent fills the window: then no further.
    for (int i = 0; i < 400 && can_zoom_in(); ++i)
        zoom_in_step();
    EXPECT_FALSE(can_zoom_in());
    const double deepest = view_state().scale;
    zoom_in_step();
    EXPECT_EQ(view_state().scale, deepest);
    // Out at the limit jumps back at least to the limiting width.
    zoom_out_step();
    const GraphicsViewState& g = graphics_view();
    EXPECT_GE(g.view_window.width(), 0.025f * (g.model_extent.xmax - g.model_extent.xmin) - TOLERANCE);
}

TEST_F(ViewZoomTest, ZoomOutIsRefusedOnceTheViewHoldsTheModelWithRoom)
{
    // The extent 100 wide and 10 high; the window reaches 95 above and below.
    // Tested against the extent's own height (the test against its width
    // would let the view zoom out here).
    GraphicsViewState& g = graphics_view();
    g.model_extent.reset();
    g.model_extent.add(0, 0);
    g.model_extent.add(100, 10);
    g.view_window = ViewWindow{-1000, -95, 1000, 95};
    EXPECT_FALSE(can_zoom_out());
    g.view_window = ViewWindow{-1000, -95, 1000, 18.9f};
    EXPECT_TRUE(can_zoom_out());   // 10 > 18.9 - 9
}

TEST_F(ViewZoomTest, RubberBandZoomFillsTheClientWithTheRectangle)
{
    zoom_all();   // the empty model: window x -17.6..17.6, y -13.2..13.2
    const double s = view_state().scale;
    // 200 by 100 pixels from (100, 100): the new scale min(800 / 200, 600 /
    // 100) times the old, the rectangle's centre at the client's centre.
    zoom_to_rectangle(100, 100, 300, 200);
    EXPECT_NEAR(view_state().scale, s * 4.0, 1e-6 * s);
    const ViewWindow& w = graphics_view().view_window;
    const double cx = -17.6 + 200 / s, cy = -13.2 + (600 - 150) / s;
    EXPECT_NEAR((w.xmin + w.xmax) / 2.0, cx, 1e-3);
    EXPECT_NEAR((w.ymin + w.ymax) / 2.0, cy, 1e-3);
    // Under 5 pixels either way it is no zoom.
    const double now = view_state().scale;
    zoom_to_rectangle(10, 10, 14, 100);
    EXPECT_EQ(view_state().scale, now);
}

TEST_F(ViewZoomTest, PreviousViewTwiceReturnsToTheFirstView)
{
    from(10);
    piped(row(20, ET_PIPE, 100, 0, 50));
    build();
    zoom_all_command();
    const ViewWindow first = graphics_view().view_window;
    const double first_scale = view_state().scale;
    set_view_direction(1, 0, 0);
    const ViewWindow second = graphics_view().view_window;
    previous_view();
    EXPECT_DOUBLE_EQ(view_transform().viewpoint.x, 1);
    EXPECT_DOUBLE_EQ(view_transform().viewpoint.y, 1);
    EXPECT_NEAR(graphics_view().view_window.xmin, first.xmin, TOLERANCE);
    EXPECT_NEAR(view_state().scale, first_scale, 1e-9);
    previous_view();
    EXPECT_DOUBLE_EQ(view_transform().viewpoint.y, 0);
    EXPECT_NEAR(graphics_view().view_window.xmin, second.xmin, TOLERANCE);
    // The same viewpoint again changes nothing and keeps no other view.
    const double scale = view_state().scale;
    set_view_direction(1, 0, 0);
    EXPECT_EQ(view_state().scale, scale);
}

TEST_F(ViewZoomTest, ScrollBoxIntoViewShiftsUnlessFrozen)
{
    // A window 20 wide (-10..10) at a scale of 40: 15 high at 800 by 600.
    GraphicsViewState& g = graphics_view();
    set_drawing_scale(40);
    g.view_window = ViewWindow{-10, -7.5f, 10, 7.5f};
    Box2D inside;
    inside.add(-2, -1);
    inside.add(3, 2);
    EXPECT_FALSE(scroll_box_into_view(inside));
    EXPECT_EQ(view_state().scale, 40);
    // A box beyond the right edge: xmax goes to its edge plus 2 margins of
    // 0.02 W = 0.4, the width kept.
    Box2D right;
    right.add(12, 0);
    right.add(13, 1);
    graphics_settings().view_frozen = true;
    EXPECT_FALSE(scroll_box_into_view(right));
    EXPECT_FLOAT_EQ(g.view_window.xmin, -10);
    graphics_settings().view_frozen = false;
    EXPECT_TRUE(scroll_box_into_view(right));
    EXPECT_NEAR(g.view_window.xmax, 13.8f, TOLERANCE);
    EXPECT_NEAR(g.view_window.xmin, -6.2f, TOLERANCE);
    EXPECT_NEAR(view_state().scale, 40, 1e-4);
    // A box wider than the window: the window spans it and 5 % more, as
    // high as the client's shape asks, about the old middle: 110 by 82.5.
    g.view_window = ViewWindow{-10, -7.5f, 10, 7.5f};
    Box2D wide;
    wide.add(-50, 0);
    wide.add(50, 1);
    EXPECT_TRUE(scroll_box_into_view(wide));
    EXPECT_NEAR(g.view_window.xmin, -55, TOLERANCE);
    EXPECT_NEAR(g.view_window.xmax, 55, TOLERANCE);
    EXPECT_NEAR(g.view_window.ymin, -41.25f, TOLERANCE);
    EXPECT_NEAR(view_state().scale, 800.0 / 110.0, 1e-4);
    // The brochure switch keeps the view where it is.
    EnvSwitches brochure;
    brochure.brochure = true;
    set_env_switches(brochure);
    EXPECT_FALSE(scroll_box_into_view(right));
    set_env_switches(EnvSwitches{});
}

TEST_F(ViewZoomTest, AResizeKeepsTheViewCentredAndAnEmptyClientChangesNothing)
{
    from(10);
    piped(row(20, ET_PIPE, 100, 0, 0));
    set_viewpoint(0, 0, 1);
    build();
    zoom_all();
    const ViewWindow& w = graphics_view().view_window;
    const float cx = (w.xmin + w.xmax) / 2, cy = (w.ymin + w.ymax) / 2;
    ASSERT_TRUE(set_client_size(1000, 400));
    fit_view_to_client();
    EXPECT_NEAR((w.xmin + w.xmax) / 2, cx, 1e-3f);
    EXPECT_NEAR((w.ymin + w.ymax) / 2, cy, 1e-3f);
    EXPECT_NEAR(w.width() / w.height(), 1000.0f / 400.0f, 1e-3f);
    // A minimised client has no size: it is ignored.
    const double scale = view_state().scale;
    EXPECT_FALSE(set_client_size(0, 0));
    EXPECT_FALSE(set_client_size(300, 0));
    fit_view_to_client();
    EXPECT_EQ(view_state().scale, scale);
    EXPECT_EQ(graphics_view().client_width, 1000);
    // set_drawing_scale(0) stores 1.
    set_drawing_scale(0);
    EXPECT_EQ(view_state().scale, 1.0);
}
