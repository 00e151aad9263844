// The results window beside the graphics window on the scripted backend, as
// the program runs them: the tool buttons that switch a state show it
// whichever window switched it, and results older than their model are
// marked in the graphics window's title as in the results window's.
#include "codes/code_driver.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "graphics/color_scale.h"
#include "graphics/results_views_fixture.h"
#include "graphics/shapes.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/view_settings.h"
#include "model/ui/model_commands.h"
#include "platform/headless/headless_dialog.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_window.h"

#include <chrono>
#include <filesystem>
#include <string>

namespace {

class ResultsWindowOnViews : public ResultsViewTest {
protected:
    void register_higher_subsystems() override
    {
        ResultsViewTest::register_higher_subsystems();
        register_subsystem(install_code_evaluation);
        register_subsystem(install_results_ui);
    }

    // The L's results opened as the user opens them: the model saved beside
    // them, older than they are, or newer when `out_of_date`.
    void enter_results_of_l(bool out_of_date)
    {
        open_results_of_l(3);
        close_results();
        in_results() = false;
        set_model_file_path(path("model.mod"));
        ASSERT_TRUE(save_model(0));
        const auto written = std::filesystem::last_write_time(path("model.res"));
        std::filesystem::last_write_time(path("model.mod"),
                                         written + std::chrono::seconds(out_of_date ? 5 : -5));
        script().once(result_chooser_template(), [](HeadlessDialog& d) { d.press(IDCANCEL); });
        open_results();
        hb->run_loop();
        ASSERT_TRUE(in_results());
        ASSERT_EQ(results_out_of_date(), out_of_date);
    }

    // A tool button as the window shows it, in the bar of either size.
    const ToolButton* shown_button(const Frame& f, int id, bool large) const
    {
        const HeadlessWindow* w = hb->window(f.window);
        if (!w)
            return nullptr;
        for (const ToolButton& b : (large ? w->large_bar : w->small_bar).buttons)
            if (b.id == id)
                return &b;
        return nullptr;
    }
    // Pressed in, in both bars alike.
    bool pressed(const Frame& f, int id) const
    {
        const ToolButton* small = shown_button(f, id, false);
        const ToolButton* large = shown_button(f, id, true);
        EXPECT_TRUE(small && large) << id;
        EXPECT_TRUE(!small || !large || small->checked == large->checked) << id;
        return small && small->checked;
    }
    std::string tip(const Frame& f, int id) const
    {
        const ToolButton* b = shown_button(f, id, false);
        return b ? b->tip : std::string();
    }
    bool click(const Frame& f, int id) { return script().click_button(f.window, id); }
};

}  // namespace

TEST_F(ResultsWindowOnViews, ToggleButtonStateFollowsTheStateWhicheverWindowChangedIt)
{
    enter_results_of_l(false);
    const Frame& r = results_frame();
    const Frame& g = graphics_frame();
    set_current_result(RESULT_SORTED_STRESSES);
    ASSERT_TRUE(click(r, CMD_SHOW_STRESSES));
    ASSERT_TRUE(stress_colouring().stresses);
    EXPECT_TRUE(pressed(r, CMD_SHOW_STRESSES));
    EXPECT_EQ(tip(r, CMD_SHOW_STRESSES), "Hide stresses");
    // Ctrl+R in the graphics window (F2 goes there; the chosen result was
    // left in front) switches the colouring off: the button lets go at
    // once, with the tip of the state.
    ASSERT_TRUE(script().key(r.window, KEY_F2));
    ASSERT_TRUE(script().key(g.window, 'R', MOD_CONTROL));
    EXPECT_FALSE(stress_colouring().stresses);
    EXPECT_FALSE(pressed(r, CMD_SHOW_STRESSES));
    EXPECT_EQ(tip(r, CMD_SHOW_STRESSES), "Show stresses");
    // The next click switches it on again, pressed.
    ASSERT_TRUE(click(r, CMD_SHOW_STRESSES));
    EXPECT_TRUE(stress_colouring().stresses);
    EXPECT_TRUE(pressed(r, CMD_SHOW_STRESSES));
    // The ratios take over from the stresses: one pressed, the other not.
    ASSERT_TRUE(click(r, CMD_SHOW_STRESS_RATIOS));
    EXPECT_TRUE(pressed(r, CMD_SHOW_STRESS_RATIOS));
    EXPECT_FALSE(pressed(r, CMD_SHOW_STRESSES));
    ASSERT_TRUE(script().key(g.window, 'R', MOD_CONTROL));
    EXPECT_FALSE(stress_colouring().ratios);
    EXPECT_FALSE(pressed(r, CMD_SHOW_STRESS_RATIOS));

    // A mode shape, hidden by the graphics window's render: its button too.
    set_current_result(RESULT_FREQUENCIES);
    ASSERT_TRUE(click(r, CMD_SHAPE));
    ASSERT_TRUE(shape_state().mode_shape_shown);
    EXPECT_TRUE(pressed(r, CMD_SHAPE));
    ASSERT_TRUE(script().key(g.window, 'R', MOD_CONTROL));
    EXPECT_FALSE(shape_state().mode_shape_shown);
    EXPECT_FALSE(pressed(r, CMD_SHAPE));
    ASSERT_TRUE(script().key(g.window, 'R', MOD_CONTROL));   // the line view again

    // The graphics window's Turn: pressed by Ctrl+T, let go when the
    // layout window takes over (Input) and the view starts afresh.
    ASSERT_TRUE(script().key(g.window, 'T', MOD_CONTROL));
    ASSERT_TRUE(graphics_settings().turn_mode);
    EXPECT_TRUE(pressed(g, CMD_TURN));
    EXPECT_EQ(tip(g, CMD_TURN), "Do not turn");
    ASSERT_TRUE(script().menu_command(r.window, CMD_INPUT));
    EXPECT_FALSE(graphics_settings().turn_mode);
    EXPECT_FALSE(pressed(g, CMD_TURN));
    EXPECT_EQ(tip(g, CMD_TURN), "Turn");
}

TEST_F(ResultsWindowOnViews, OutOfDateGraphicsSayInTheGraphicsTitleAsInTheResultsTitle)
{
    enter_results_of_l(true);
    const Frame& g = graphics_frame();
    EXPECT_NE(frame_title(results_frame()).find("(out of date)"), std::string::npos) << frame_title(results_frame());
    EXPECT_EQ(g.title_text, "Graphics (out of date)");
    // The stress colouring drawn from those results, and the shapes.
    set_current_result(RESULT_SORTED_STRESSES);
    ASSERT_TRUE(click(results_frame(), CMD_SHOW_STRESSES));
    EXPECT_EQ(g.title_text, "Graphics (out of date)");
    set_current_result(RESULT_FREQUENCIES);
    ASSERT_TRUE(click(results_frame(), CMD_SHAPE));
    EXPECT_EQ(g.title_text, "Mode 1: 1.50 Hz (out of date)");
    ASSERT_TRUE(click(results_frame(), CMD_SHAPE));
    EXPECT_EQ(g.title_text, "Graphics (out of date)");
    // Back to the input: the model's own graphics, unmarked.
    ASSERT_TRUE(script().menu_command(results_frame().window, CMD_INPUT));
    EXPECT_EQ(g.title_text, "Graphics");
}

TEST_F(ResultsWindowOnViews, OutOfDateGraphicsMarkIsNotOnCurrentResults)
{
    enter_results_of_l(false);
    EXPECT_EQ(graphics_frame().title_text, "Graphics");
    set_current_result(RESULT_FREQUENCIES);
    ASSERT_TRUE(click(results_frame(), CMD_SHAPE));
    EXPECT_EQ(graphics_frame().title_text, "Mode 1: 1.50 Hz");
}
