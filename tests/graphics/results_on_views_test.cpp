// The results on the graphics view on the scripted backend: the graphics
// popup's results items and the results window's shape and colouring items
// in each state of the view, a shape leaving the shaded view with its title
// kept, and F1 in a graphics dialog.
#include "codes/stress_display.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/help.h"
#include "graphics/color_scale.h"
#include "graphics/results_views_fixture.h"
#include "graphics/ui/graphics_dialogs.h"
#include "graphics/ui/shape_commands.h"
#include "platform/headless/headless_dialog.h"
#include "results/ui/results_window.h"

#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

class ResultsOnViews : public ResultsViewTest {
protected:
    // The texts of the graphics popup's results items, "-" for a separator.
    static std::vector<std::string> popup_items()
    {
        MenuItem popup;
        append_graphics_result_items(popup);
        std::vector<std::string> texts;
        for (const MenuItem& i : popup.items)
            texts.push_back(i.id == 0 ? "-" : i.text);
        return texts;
    }
    static bool button_shown(int id)
    {
        const auto& buttons = results_frame().buttons;
        auto it = buttons.find(id);
        return it != buttons.end() && it->second.visible && it->second.enabled;
    }
    static std::string graphics_title() { return graphics_frame().title_text; }
};

}  // namespace

TEST_F(ResultsOnViews, GraphicsPopupItemsFollowTheResultAndTheViewState)
{
    // Outside results mode the popup has none.
    EXPECT_TRUE(popup_items().empty());
    open_results_of_l(3);
    set_current_result(RESULT_SORTED_STRESSES);
    EXPECT_EQ(popup_items(), (std::vector<std::string>{"&Show Stresses", "Show Stress &Ratios", "&Thresholds...", "-"}));
    // Colouring on: the hide texts; the shaded view takes no thresholds.
    stress_colouring().ratios = true;
    graphics_settings().render_mode = true;
    EXPECT_EQ(popup_items(), (std::vector<std::string>{"&Show Stresses", "&Hide Stress Ratios", "-"}));
    stress_colouring().ratios = false;
    graphics_settings().render_mode = false;

    set_current_result(RESULT_DISPLACEMENTS);
    EXPECT_EQ(popup_items(), (std::vector<std::string>{"&Show deflected shape\t Ctrl+D",
                                                       "&Show animated deflected shape\t Ctrl+Shift+A", "-"}));
    deflected_shape_show();
    EXPECT_EQ(popup_items(), (std::vector<std::string>{"&Hide Deflected Shape\t Ctrl+D",
                                                       "&Show animated deflected shape\t Ctrl+Shift+A",
                                                       "&Magnification...", "-"}));
    deflected_shape_hide();

    // A mode shape drawn: the mode stepping too.
    set_current_result(RESULT_MODE_SHAPES);
    mode_shape_show();
    EXPECT_EQ(popup_items(),
              (std::vector<std::string>{"&Hide Mode Shape", "&Show animated mode shape\t Ctrl+Shift+A",
                                        "&Magnification...", "-", "Next Mode", "Previous Mode", "-"}));
    mode_shape_hide();

    // A result with neither.
    set_current_result(RESULT_ELEMENT_FORCES);
    EXPECT_TRUE(popup_items().empty());
}

TEST_F(ResultsOnViews, ResultsWindowShapeAndColouringItemsFollowTheResultShown)
{
    open_results_of_l(3);
    const Frame& r = results_frame();
    set_current_result(RESULT_SORTED_STRESSES);
    EXPECT_TRUE(button_shown(CMD_SHOW_STRESSES));
    EXPECT_TRUE(button_shown(CMD_SHOW_STRESS_RATIOS));
    EXPECT_FALSE(button_shown(CMD_SHAPE));
    EXPECT_EQ(menu_text(CMD_SHOW_STRESSES), "&Show Stresses");
    EXPECT_EQ(results_tooltip(CMD_SHOW_STRESSES), "Show stresses");
    EXPECT_EQ(results_tooltip(CMD_SHOW_STRESS_RATIOS), "Show stress ratios");
    stress_display_flags().stresses_shown = true;
    EXPECT_EQ(results_tooltip(CMD_SHOW_STRESSES), "Hide stresses");
    stress_display_flags().stresses_shown = false;

    // The frequencies: the mode shape's texts, Magnification greyed until a shape is drawn.
    set_current_result(RESULT_FREQUENCIES);
    EXPECT_FALSE(button_shown(CMD_SHOW_STRESSES));
    EXPECT_TRUE(button_shown(CMD_SHAPE));
    EXPECT_TRUE(button_shown(CMD_ANIMATE));
    EXPECT_EQ(menu_text(CMD_SHAPE), "&Show Mode Shape");
    EXPECT_EQ(results_tooltip(CMD_SHAPE), "Show Mode Shape");
    EXPECT_EQ(results_tooltip(CMD_ANIMATE), "Show animated mode shape");
    const auto& available = results_hooks().command_available;
    ASSERT_TRUE(static_cast<bool>(available));
    EXPECT_FALSE(available(CMD_MAGNIFICATION));
    EXPECT_TRUE(available(CMD_SHAPE));
    command(CMD_SHAPE);
    EXPECT_TRUE(shape_state().mode_shape_shown);
    EXPECT_TRUE(available(CMD_MAGNIFICATION));
    EXPECT_EQ(menu_text(CMD_SHAPE), "&Hide Mode Shape");

    // Leaving results mode takes every item and button away.
    terminate_results();
    for (int id : {CMD_SHAPE, CMD_ANIMATE, CMD_MAGNIFICATION, CMD_SHOW_STRESSES, CMD_SHOW_STRESS_RATIOS}) {
        EXPECT_FALSE(r.menu.contains(id)) << id;
        EXPECT_FALSE(button_shown(id)) << id;
    }
}

TEST_F(ResultsOnViews, ShapeLeavesTheShadedViewAndTheWindowKeepsItsTitle)
{
    open_results_of_l(3);
    set_current_result(RESULT_DISPLACEMENTS);
    render_on();
    ASSERT_TRUE(graphics_settings().render_mode);
    // As the First-Level Checks show it: through the results' hook.
    results_hooks().deflected_shape(true);
    EXPECT_FALSE(graphics_settings().render_mode);
    EXPECT_TRUE(shape_state().deflected_shape_shown);
    EXPECT_EQ(graphics_title().rfind("Deflected shape: Sustained", 0), 0u) << graphics_title();
    // The window brought up again keeps the shape's title.
    graphics_window_show();
    EXPECT_EQ(graphics_title().rfind("Deflected shape: Sustained", 0), 0u) << graphics_title();
    deflected_shape_hide();
    EXPECT_EQ(graphics_title().rfind("Graphics", 0), 0u) << graphics_title();

    // The mode shape alike, and its animation (which a new show of the
    // window stops).
    set_current_result(RESULT_MODE_SHAPES);
    render_on();
    mode_shape_show();
    EXPECT_FALSE(graphics_settings().render_mode);
    graphics_window_show();
    EXPECT_EQ(graphics_title().rfind("Mode 1: 1.50 Hz", 0), 0u) << graphics_title();
    render_on();
    animation_start();
    EXPECT_FALSE(graphics_settings().render_mode);
    EXPECT_TRUE(animation_running());
    EXPECT_EQ(graphics_title().rfind("Mode 1: 1.50 Hz", 0), 0u) << graphics_title();
    animation_stop();
    EXPECT_EQ(graphics_title().rfind("Graphics", 0), 0u) << graphics_title();

    // The ratio colouring brings the shaded view; clearing the overlays (as
    // the First-Level Checks do before a table) takes both away.
    results_hooks().ratio_colouring(true);
    EXPECT_TRUE(stress_colouring().ratios);
    EXPECT_TRUE(graphics_settings().render_mode);
    results_hooks().hide_overlays();
    EXPECT_FALSE(stress_colouring().ratios);
    EXPECT_FALSE(graphics_settings().render_mode);
    // Leaving results mode alike.
    results_hooks().ratio_colouring(true);
    EXPECT_TRUE(graphics_settings().render_mode);
    terminate_results();
    EXPECT_FALSE(stress_colouring().ratios);
    EXPECT_FALSE(graphics_settings().render_mode);
}

TEST_F(ResultsOnViews, F1InAGraphicsDialogOpensItsPageOfTheGuideOrItsContents)
{
    // A guide beside the program with the Viewpoint dialog's page only.
    const std::filesystem::path program = path("program");
    std::filesystem::create_directories(program / "help");
    std::ofstream(program / "help" / "index.html")
        << "<html><a name=\"" << help_page_anchor("VIEWPOINT_DIALOG") << "\"></a><h2>Viewpoint</h2></html>";
    help_init(program.string());
    EXPECT_EQ(help_page_anchor("Pipe Sections"), "Pipe-Sections");

    // F1 in a dialog, then closed: the anchor the help opened at.
    auto f1_in = [this](const std::string& name, const std::function<void()>& open) {
        script().once(name, [](HeadlessDialog& d) {
            EXPECT_TRUE(d.help_key());
            d.press(IDCANCEL);
        });
        const std::size_t before = script().help_requests().size();
        open();
        return script().help_requests().size() == before + 1 ? script().help_requests().back().anchor
                                                              : std::string("(none)");
    };
    EXPECT_EQ(f1_in("VIEWPOINT_DIALOG", [] { viewpoint_dialog(graphics_frame().window); }), "VIEWPOINT_DIALOG");
    // A dialog the guide has no page for: its contents.
    EXPECT_EQ(f1_in("MAGNIFICATION_DIALOG", [] { magnification_dialog(graphics_frame().window); }), "");
}
