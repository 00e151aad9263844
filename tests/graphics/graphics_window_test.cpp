// The graphics window on the scripted backend: its commands, menu states and
// tool tips, the mouse, wheel, keys and tool buttons, the repaint requests,
// copy, and the rows' visibility.
#include "framework/app_state.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/menus.h"
#include "graphics/graphics_program_fixture.h"
#include "graphics/model_view.h"
#include "graphics/triads.h"
#include "model/data_item.h"
#include "model/model_file.h"
#include "model/ui/model_commands.h"
#include "model/view_drawing.h"

#include <algorithm>
#include <cmath>
#include <thread>

namespace {

class GraphicsWindowTest : public GraphicsProgramTest {
protected:
    // The rows a click picked, and the dialogs it would open.
    std::vector<int> selected, opened;

    void watch_picks()
    {
        pick_hooks().select_row = [this](int row) { selected.push_back(row); };
        pick_hooks().open_element_dialog = [this](int row) {
            opened.push_back(row);
            return true;
        };
        pick_hooks().open_data_dialog = [this](int row) {
            opened.push_back(-row);
            return true;
        };
    }

    void click(MouseButton b, Point at, Point to) const
    {
        script().mouse_down(client(), b, at.x, at.y);
        script().mouse_move(client(), to.x, to.y);
        script().mouse_up(client(), b, to.x, to.y);
        settle();
    }

    // The menu as it drops down.
    static const Menu& menu()
    {
        Frame& f = graphics_frame();
        if (f.menu_opening)
            f.menu_opening(f);
        return f.menu;
    }
    static const MenuItem* item(int id) { return menu().find(id); }
};

}  // namespace

TEST_F(GraphicsWindowTest, RenderCommandSwitchesTheModeWithItsMenuItemAndButton)
{
    l_model();
    show();
    EXPECT_TRUE(script().menu_command(graphics_frame().window, CMD_RENDER));
    EXPECT_TRUE(graphics_settings().render_mode);
    EXPECT_TRUE(view_state().render_view);
    EXPECT_EQ(item(CMD_RENDER)->text, "Do not &render\tCtrl+R");
    EXPECT_EQ(graphics_tool_tip(CMD_RENDER), "Do not render");
    // Redraw is greyed in render mode.
    EXPECT_FALSE(menu().is_enabled(CMD_REDRAW));
    EXPECT_TRUE(script().key(client(), 'R', MOD_CONTROL));
    EXPECT_FALSE(graphics_settings().render_mode);
    EXPECT_EQ(item(CMD_RENDER)->text, "&Render\tCtrl+R");
    EXPECT_TRUE(menu().is_enabled(CMD_REDRAW));
}

TEST_F(GraphicsWindowTest, WithoutOpenGLTheRenderItemIsAbsentAndCtrlRDoesNothing)
{
    hb->set_opengl_available(false);
    create_graphics_window();
    l_model();
    show();
    EXPECT_FALSE(menu().contains(CMD_RENDER));
    script().key(client(), 'R', MOD_CONTROL);
    EXPECT_FALSE(graphics_settings().render_mode);
    render_on();
    EXPECT_FALSE(graphics_settings().render_mode);
    EXPECT_EQ(script().beeps(), 1);
}

TEST_F(GraphicsWindowTest, RowVisibilityKeepsTheViewAndTransparencyTakesTheRenderView)
{
    l_model();
    show();
    model().current_row = 2;
    EXPECT_TRUE(script().key(client(), KEY_F6));   // Hide Current Element
    EXPECT_EQ(model().rows[2].shown, 0);
    EXPECT_FALSE(graphics_settings().render_mode);
    script().key(client(), KEY_F7);   // Make Transparent: nothing in the line view
    EXPECT_EQ(model().rows[2].transparent, 0);
    EXPECT_FALSE(graphics_settings().render_mode);
    script().key(client(), KEY_F9);   // Show All
    EXPECT_EQ(model().rows[2].shown, 1);
    script().key(client(), 'R', MOD_CONTROL);
    ASSERT_TRUE(graphics_settings().render_mode);
    script().key(client(), KEY_F7);
    EXPECT_EQ(model().rows[2].transparent, 1);
    script().key(client(), KEY_F10);
    EXPECT_TRUE(std::all_of(model().rows.begin(), model().rows.end(), [](const LayoutRow& r) { return r.transparent; }));
    script().key(client(), KEY_F11);
    EXPECT_TRUE(std::none_of(model().rows.begin(), model().rows.end(), [](const LayoutRow& r) { return r.transparent; }));
    // In results mode F12 (the Show / Hide dialog) does nothing.
    in_results() = true;
    script().key(client(), KEY_F12);
    EXPECT_EQ(script().runs("HIDE_ELEMENTS_DIALOG"), 0);
    in_results() = false;
}

TEST_F(GraphicsWindowTest, SymbolSizeStaysWithinItsLimitsAndLeavesTheModelAsItWas)
{
    l_model();
    show();
    model_modified() = false;
    const WindowId f = graphics_frame().window;
    for (int i = 0; i < 15; ++i)
        script().key(f, KEY_NUMPAD8, MOD_CONTROL);
    EXPECT_FLOAT_EQ(symbol_scale(), 2.0f);
    script().key(f, KEY_NUMPAD8, MOD_CONTROL);
    EXPECT_FLOAT_EQ(symbol_scale(), 2.0f);
    for (int i = 0; i < 25; ++i)
        script().key(f, KEY_NUMPAD2, MOD_CONTROL);
    EXPECT_NEAR(symbol_scale(), 0.1f, 1e-6f);
    // A display setting: the model is not marked modified.
    EXPECT_FALSE(model_modified());
    // The support symbol grows with it.
    set_symbol_scale(1.0f);
    compute_model_extent();
    const float small = model().rows[2].data->box_2d.xmax - model().rows[2].data->box_2d.xmin;
    set_symbol_scale(2.0f);
    compute_model_extent();
    const float large = model().rows[2].data->box_2d.xmax - model().rows[2].data->box_2d.xmin;
    EXPECT_GT(large, 1.5f * small);
}

TEST_F(GraphicsWindowTest, MenuTextsAndToolTipsFollowTheState)
{
    l_model();
    show();
    const WindowId f = graphics_frame().window;
    script().menu_command(f, CMD_TURN);
    EXPECT_TRUE(graphics_settings().turn_mode);
    EXPECT_EQ(item(CMD_TURN)->text, "Do not &Turn\tCtrl+T");
    EXPECT_EQ(graphics_tool_tip(CMD_TURN), "Do not turn");
    // Turn mode: both bars run 0..180 with a page of 60 at 60.
    const ScrollBarState bar = backend().scroll_bar(client(), ScrollBarKind::Horizontal);
    EXPECT_EQ(bar.maximum, 180);
    EXPECT_EQ(bar.page, 60);
    EXPECT_EQ(bar.position, 60);
    script().menu_command(f, CMD_TURN);
    EXPECT_EQ(backend().scroll_bar(client(), ScrollBarKind::Horizontal).maximum, SCROLL_RANGE);
    script().menu_command(f, CMD_FREEZE_VIEW);
    EXPECT_EQ(item(CMD_FREEZE_VIEW)->text, "Unfree&ze View\tF8");
    EXPECT_EQ(graphics_tool_tip(CMD_FREEZE_VIEW), "Unfreeze View");
    // The text window is the one the graphics were shown from (the layout
    // here), still when the list window is shown too; F2 in the list window
    // makes it the list.
    EXPECT_EQ(item(CMD_TEXT_WINDOW)->text, "&Layout\tF2");
    EXPECT_EQ(graphics_tool_tip(CMD_TEXT_WINDOW_BUTTON), "Layout Window");
    frame_bring_to_front(list_frame());
    EXPECT_EQ(item(CMD_TEXT_WINDOW)->text, "&Layout\tF2");
    frame_make_current(list_frame());
    script().key(list_frame().window, KEY_F2);
    EXPECT_EQ(item(CMD_TEXT_WINDOW)->text, "&List\tF2");
    EXPECT_EQ(graphics_tool_tip(CMD_TEXT_WINDOW_BUTTON), "List Window");
    script().key(f, KEY_F2);
    EXPECT_EQ(backend().active_window(), list_frame().window);
    // Radio marks of the axes corner, the background and the quality.
    script().menu_command(f, CMD_AXES_BOTTOM_LEFT);
    script().menu_command(f, CMD_BACKGROUND_WHITE);
    script().menu_command(f, CMD_QUALITY_HIGH);
    EXPECT_TRUE(menu().is_checked(CMD_AXES_BOTTOM_LEFT));
    EXPECT_FALSE(menu().is_checked(CMD_AXES_TOP_RIGHT));
    EXPECT_TRUE(menu().is_checked(CMD_BACKGROUND_WHITE));
    EXPECT_TRUE(menu().is_checked(CMD_QUALITY_HIGH));
    EXPECT_EQ(graphics_settings().axes_corner, 3);
    EXPECT_EQ(color_scheme().background, rgb(255, 255, 255));
    EXPECT_EQ(graphics_tool_tip(12345), "Unknown");
}

TEST_F(GraphicsWindowTest, ClosingHidesTheWindowAndGoesBackToTheTextWindow)
{
    l_model();
    show();
    const WindowId f = graphics_frame().window;
    EXPECT_TRUE(backend().is_visible(f));
    EXPECT_FALSE(script().close(f));
    EXPECT_FALSE(backend().is_visible(f));
    EXPECT_EQ(backend().active_window(), main_frame().window);
    // The view is kept for the next show.
    const double scale = view_state().scale;
    frame_send_command(main_frame(), CMD_GRAPHICS);
    EXPECT_TRUE(backend().is_visible(f));
    EXPECT_NEAR(view_state().scale, scale, 1e-6 * scale);
}

TEST_F(GraphicsWindowTest, RecoverGraphicsEndsWithinTenRounds)
{
    l_model();
    show();
    int rounds = 0;
    graphics_hooks().zoom_buttons = [&rounds] { ++rounds; };
    script().menu_command(graphics_frame().window, CMD_RECOVER_GRAPHICS);
    EXPECT_GE(rounds, 1);
    EXPECT_LE(rounds, 10);
}

TEST_F(GraphicsWindowTest, ClicksPickAndRubberBandsZoomByTheirSize)
{
    l_model();
    show();
    watch_picks();
    // The middle of the first pipe (50, 0, 0): its row, no dialog of a plain pipe.
    const Point mid = pixel_of(50, 0, 0);
    click(MouseButton::Left, mid, {mid.x + 3, mid.y + 3});
    EXPECT_EQ(selected, std::vector<int>{2});
    opened.clear();
    // At the corner the restraint is picked first, and its dialog opens.
    selected.clear();
    const Point corner = pixel_of(100, 0, 0);
    click(MouseButton::Left, corner, corner);
    EXPECT_EQ(selected, std::vector<int>{2});
    EXPECT_EQ(opened, std::vector<int>{-2});
    // Empty space picks nothing.
    selected.clear();
    click(MouseButton::Left, {5, 5}, {5, 5});
    EXPECT_TRUE(selected.empty());
    // 4 to 16 pixels: neither a pick nor a zoom.
    const double scale = view_state().scale;
    click(MouseButton::Left, mid, {mid.x + 4, mid.y + 16});
    EXPECT_TRUE(selected.empty());
    EXPECT_EQ(view_state().scale, scale);
    click(MouseButton::Left, mid, {mid.x + 16, mid.y + 40});
    EXPECT_EQ(view_state().scale, scale);
    // 17 by 17: a zoom to the rectangle.
    click(MouseButton::Left, {100, 100}, {117, 117});
    EXPECT_GT(view_state().scale, 20 * scale);
    // With graphic editing disabled a click selects nothing.
    frame_send_command(graphics_frame(), CMD_PREVIOUS_VIEW);
    app_settings().preferences.disable_graphic_editing = true;
    click(MouseButton::Left, pixel_of(50, 0, 0), pixel_of(50, 0, 0));
    EXPECT_TRUE(selected.empty());
    app_settings().preferences.disable_graphic_editing = false;
    // A hidden row is not picked.
    model().rows[2].shown = 0;
    click(MouseButton::Left, pixel_of(50, 0, 0), pixel_of(50, 0, 0));
    EXPECT_TRUE(selected.empty());
}

TEST_F(GraphicsWindowTest, MiddleClickOffersToHideWhatItPickedOrEveryRow)
{
    l_model();
    show();
    watch_picks();
    script().answer_popup(0);
    click(MouseButton::Middle, {5, 5}, {5, 5});
    ASSERT_FALSE(script().log().empty());
    const ScriptEvent& empty = script().log().back();
    EXPECT_EQ(empty.kind, ScriptEvent::PopupMenu);
    EXPECT_NE(empty.text.find("Hide CE"), std::string::npos) << empty.text;
    EXPECT_NE(empty.text.find("Make all Opaque"), std::string::npos) << empty.text;
    // On the second pipe: its row is selected (no dialog) and the popup
    // offers to hide it; choosing it hides the row.
    script().answer_popup(CMD_HIDE_CURRENT_ELEMENT);
    model().current_row = 3;
    const Point mid = pixel_of(100, 50, 0);
    click(MouseButton::Middle, mid, mid);
    EXPECT_EQ(selected, std::vector<int>{3});
    EXPECT_TRUE(opened.empty());
    EXPECT_NE(script().log().back().text.find("Hide from Graphics"), std::string::npos);
    EXPECT_EQ(model().rows[3].shown, 0);
}

TEST_F(GraphicsWindowTest, WheelZoomsAndScrollsAndKeysStepTheView)
{
    l_model();
    show();
    const double scale = view_state().scale;
    script().wheel(client(), 120, 400, 300);
    EXPECT_NEAR(view_state().scale, scale * 1.05, 1e-9 * scale);
    script().wheel(client(), -120, 400, 300);
    EXPECT_NEAR(view_state().scale, scale, 1e-6 * scale);
    script().wheel(client(), 0, 400, 300);
    EXPECT_NEAR(view_state().scale, scale, 1e-6 * scale);
    // Shift: sideways; Ctrl: up and down.
    const float xmin = graphics_view().view_window.xmin;
    script().wheel(client(), -120, 400, 300, MOD_SHIFT);
    EXPECT_GT(graphics_view().view_window.xmin, xmin);
    const float ymax = graphics_view().view_window.ymax;
    script().wheel(client(), 120, 400, 300, MOD_CONTROL);
    EXPECT_GT(graphics_view().view_window.ymax, ymax);
    // Page Up zooms in, Left scrolls left.
    script().key(client(), KEY_PRIOR);
    EXPECT_GT(view_state().scale, scale);
    const float before = graphics_view().view_window.xmin;
    script().key(client(), KEY_LEFT);
    EXPECT_LT(graphics_view().view_window.xmin, before);
    // A double click enters centre mode with the hand; the next click centres there.
    script().double_click(client(), MouseButton::Left, 10, 10);
    EXPECT_TRUE(graphics_settings().centre_mode);
    EXPECT_EQ(hb->window(client())->cursor, CursorShape::Hand);
    const ViewWindow w = graphics_view().view_window;
    script().mouse_down(client(), MouseButton::Left, 600, 300);
    script().mouse_up(client(), MouseButton::Left, 600, 300);
    EXPECT_FALSE(graphics_settings().centre_mode);
    EXPECT_NEAR(graphics_view().view_window.xmin - w.xmin, 200 / view_state().scale, 1e-3);
    EXPECT_EQ(hb->window(client())->cursor, CursorShape::Arrow);
}

TEST_F(GraphicsWindowTest, ZoomButtonsZoomWhileTheyAreHeld)
{
    l_model();
    show();
    const WindowId f = graphics_frame().window;
    const double scale = view_state().scale;
    ASSERT_TRUE(script().press_button(f, CMD_ZOOM_IN_BUTTON));
    script().advance(100);   // five steps of 20 ms
    script().release_button(f, CMD_ZOOM_IN_BUTTON);
    EXPECT_NEAR(view_state().scale, scale * std::pow(1.02, 5), 1e-6 * scale);
    EXPECT_FALSE(hb->timer_pending(f, 3));
    // Dragged off the button: no more steps.
    const double held = view_state().scale;
    script().press_button(f, CMD_ZOOM_OUT_BUTTON);
    script().advance(40);
    script().release_button(f, CMD_ZOOM_OUT_BUTTON, false);
    script().advance(100);
    EXPECT_NEAR(view_state().scale, held / std::pow(1.02, 2), 1e-6 * held);
    // A quick click, let go before the first step, zooms one step of 1.05.
    const double now = view_state().scale;
    script().press_button(f, CMD_ZOOM_IN_BUTTON);
    script().release_button(f, CMD_ZOOM_IN_BUTTON);
    EXPECT_NEAR(view_state().scale, now * 1.05, 1e-6 * now);
}

TEST_F(GraphicsWindowTest, RepaintRequestsComeTogetherIntoOne)
{
    l_model();
    show();
    const int before = graphics_repaint_count();
    for (int i = 0; i < 10; ++i)
        graphics_redraw();
    settle();
    EXPECT_EQ(graphics_repaint_count(), before + 1);
    // From another thread: posted to the main thread, still one repaint.
    std::thread worker([] {
        for (int i = 0; i < 5; ++i)
            graphics_redraw();
    });
    worker.join();
    EXPECT_EQ(graphics_repaint_count(), before + 1);
    settle();
    settle();
    EXPECT_EQ(graphics_repaint_count(), before + 2);
    // A model edit reaches the view by the next turn of the loop.
    const int edits = graphics_repaint_count();
    add_row(40, ET_PIPE, 0, 0, 100);
    model_changed();
    settle();
    EXPECT_EQ(graphics_repaint_count(), edits + 1);
    EXPECT_FALSE(model().rows[4].box_2d.empty());
}

TEST_F(GraphicsWindowTest, PaintDrawsTheLayersAndCopyPutsAPictureOnTheClipboard)
{
    l_model();
    show();
    const std::vector<std::string> painted = script().paint(client());
    // The background, the two pipes' lines and the node numbers.
    ASSERT_FALSE(painted.empty());
    EXPECT_EQ(painted.front().rfind("fill 0 0 800 600", 0), 0u);
    EXPECT_GE(std::count_if(painted.begin(), painted.end(), [](const std::string& l) { return l.rfind("line ", 0) == 0; }),
              2);
    EXPECT_NE(std::find_if(painted.begin(), painted.end(),
                           [](const std::string& l) { return l.find("\"20\"") != std::string::npos; }),
              painted.end());
    script().menu_command(graphics_frame().window, CMD_COPY);
    ASSERT_TRUE(hb->clipboard_image().has_value());
    EXPECT_EQ(hb->clipboard_image()->width, 800);
    // The axes corner 0 draws no triad.
    graphics_settings().axes_corner = 0;
    const std::vector<std::string> plain = script().paint(client());
    EXPECT_LT(plain.size(), painted.size());
}

TEST_F(GraphicsWindowTest, LocalAxesTriadTogglesOnlyWithAnAxis)
{
    l_model();
    show();
    lcs_triad_init(node_index(20), {0, 0, 0}, {0, 1, 0}, {0, 0, 1});
    lcs_triad_toggle();
    EXPECT_FALSE(lcs_triad().shown);
    lcs_triad_init(node_index(20), {1, 0, 0}, {0, 1, 0}, {0, 0, 1});
    lcs_triad_toggle();
    EXPECT_TRUE(lcs_triad().shown);
    const std::vector<std::string> with = script().paint(client());
    lcs_triad_toggle();
    EXPECT_FALSE(lcs_triad().shown);
    const std::vector<std::string> without = script().paint(client());
    // Three axes and eight letter strokes more.
    const auto lines = [](const std::vector<std::string>& v) {
        return std::count_if(v.begin(), v.end(), [](const std::string& l) { return l.rfind("line ", 0) == 0; });
    };
    EXPECT_EQ(lines(with) - lines(without), 11);
    EXPECT_EQ(lcs_menu_text(), "&Show LCS");
    lcs_display() = true;
    EXPECT_EQ(lcs_menu_text(), "&Hide LCS");
}

TEST_F(GraphicsWindowTest, AnOpenedModelIsShownWholeFromTheStandardViewpoint)
{
    l_model();
    show();
    set_viewpoint(0, 1, 0);
    const std::string file = path("l.mod");
    write_model_file(file);
    model_modified() = false;
    open_model_file(file);
    settle();
    EXPECT_DOUBLE_EQ(view_transform().viewpoint.x, 1);
    EXPECT_DOUBLE_EQ(view_transform().viewpoint.z, 1);
    const Box2D& e = graphics_view().model_extent;
    const ViewWindow& w = graphics_view().view_window;
    EXPECT_GT(e.xmax - e.xmin, 60.0f);   // the model's 70.7 across, not the empty 24
    EXPECT_GE(e.xmin, w.xmin);
    EXPECT_LE(e.xmax, w.xmax);
    EXPECT_GE(e.ymin, w.ymin);
    EXPECT_LE(e.ymax, w.ymax);
}
