// The shapes in the graphics window with results open: the static deflected
// and mode shapes, the animation on the frame's timer (start, stop, pause
// around view operations, Render, a failed start), the Magnification dialog
// and the mode shape table (stepping, menus, text report and CSV).
#include "framework/ui/report.h"
#include "framework/units.h"
#include "golden.h"
#include "graphics/highlight.h"
#include "graphics/results_views_fixture.h"
#include "graphics/ui/mode_shape_table.h"
#include "graphics/ui/shape_commands.h"
#include "platform/headless/headless_dialog.h"
#include "results/ui/results_window.h"


namespace {

class ShapeCommandsTest : public ResultsViewTest {};
class ModeTableTest : public ResultsViewTest {};

bool contains(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

}  // namespace

TEST_F(ShapeCommandsTest, ShapeStaticDeflectedShapeDimsTheModelUntilHidden)
{
    open_results_of_l();
    set_current_result(RESULT_DISPLACEMENTS);
    EXPECT_EQ(results_hooks().command_text(CMD_SHAPE), "&Show deflected shape\t Ctrl+D");
    command(CMD_SHAPE);
    const ShapeState& s = shape_state();
    EXPECT_TRUE(s.deflected_shape_shown);
    EXPECT_EQ(s.shape_segments, 8);
    EXPECT_FLOAT_EQ(s.shape_factor, magnification());
    EXPECT_GT(magnification(), 0.0f);
    // The displacements of Sustained are the ones shown.
    Vec3 t, r;
    node_displacement(node_index(30), t, r);
    EXPECT_NEAR(t.y, sustained_value(node_index(30), 1), 1e-6);
    EXPECT_TRUE(contains(frame_title(graphics_frame()), "Deflected shape: " + results_loadcase_name()));
    EXPECT_EQ(results_hooks().command_text(CMD_SHAPE), "&Hide Deflected Shape\t Ctrl+D");
    EXPECT_EQ(color_scheme()[PEN_ELEMENT].pen.color, rgb(128, 128, 128));
    // The shape is drawn last in the line view.
    const auto lines = script().paint(client());
    EXPECT_FALSE(lines.empty());
    command(CMD_SHAPE);
    EXPECT_FALSE(s.deflected_shape_shown);
    EXPECT_EQ(results_hooks().command_text(CMD_SHAPE), "&Show deflected shape\t Ctrl+D");
    EXPECT_NE(color_scheme()[PEN_ELEMENT].pen.color, rgb(128, 128, 128));
    EXPECT_TRUE(contains(frame_title(graphics_frame()), "Graphics"));
}

TEST_F(ShapeCommandsTest, ShapeAnimationRunsOnTheTimerAndStopRestoresTheFlags)
{
    open_results_of_l();
    set_current_result(RESULT_DISPLACEMENTS);
    ShowFlags& show = show_flags();
    show.node_numbers = true;
    show.dots = false;
    command(CMD_ANIMATE);
    ASSERT_TRUE(animation_running());
    EXPECT_TRUE(hb->timer_pending(graphics_frame().window, ANIMATION_TIMER));
    EXPECT_FALSE(show.node_numbers);
    EXPECT_FALSE(show.dots);
    EXPECT_EQ(results_hooks().command_text(CMD_ANIMATE), "&Hide animated deflected shape\t Ctrl+Shift+A");
    // Two elements: 32 frames, doubled for a deflected shape; each frame a
    // step of the quarter swing.
    const float m = magnification();
    script().advance(ANIMATION_PERIOD_MS);
    EXPECT_NEAR(shape_state().shape_factor, animation_factor(m, 1, 64, true), 1e-3);
    script().advance(5 * ANIMATION_PERIOD_MS);
    EXPECT_NEAR(shape_state().shape_factor, animation_factor(m, 6, 64, true), 1e-3);
    // The highlight cannot start while it runs: it stops the animation.
    highlight_node(node_index(20));
    EXPECT_FALSE(animation_running());
    EXPECT_TRUE(show.node_numbers);
    EXPECT_FALSE(show.dots);
    EXPECT_FALSE(hb->timer_pending(graphics_frame().window, ANIMATION_TIMER));
    EXPECT_EQ(results_hooks().command_text(CMD_ANIMATE), "&Show animated deflected shape\t Ctrl+Shift+A");
    EXPECT_TRUE(contains(frame_title(graphics_frame()), "Graphics"));
}

TEST_F(ShapeCommandsTest, ShapeAnimationPausesForViewOperationsAndStopsForRender)
{
    open_results_of_l();
    set_current_result(RESULT_DISPLACEMENTS);
    show_flags().node_numbers = true;
    command(CMD_ANIMATE);
    ASSERT_TRUE(animation_running());
    // Zooms and scrolls pause it and start it again after.
    zoom_in_step();
    EXPECT_TRUE(animation_running());
    horizontal_scroll(ScrollCode::LineDown, 0);
    EXPECT_TRUE(animation_running());
    EXPECT_FALSE(show_flags().node_numbers);
    // A start while one runs stops it first: the flags saved are the real ones.
    animation_start();
    animation_stop();
    EXPECT_TRUE(show_flags().node_numbers);
    // Render stops it, and hides a static shape too.
    command(CMD_ANIMATE);
    render_on();
    EXPECT_FALSE(animation_running());
    EXPECT_TRUE(show_flags().node_numbers);
    render_off();
    command(CMD_SHAPE);
    EXPECT_TRUE(shape_state().deflected_shape_shown);
    render_on();
    EXPECT_FALSE(shape_state().deflected_shape_shown);
}

TEST_F(ShapeCommandsTest, ShapeAnimationThatCannotStartPutsEverythingBack)
{
    open_results_of_l();
    set_current_result(RESULT_DISPLACEMENTS);
    show_flags().node_numbers = true;
    show_flags().dots = true;
    // The case's block out of the file's reach: the displacements cannot be read.
    results().loaded.displacements = 0;
    results().load_cases[results().current].displacements = 1 << 30;
    command(CMD_ANIMATE);
    EXPECT_FALSE(animation_running());
    EXPECT_TRUE(contains(script().last_message(), "Unable to read results file"));
    EXPECT_TRUE(show_flags().node_numbers);
    EXPECT_TRUE(show_flags().dots);
    EXPECT_FALSE(hb->timer_pending(graphics_frame().window, ANIMATION_TIMER));
    EXPECT_EQ(results_hooks().command_text(CMD_ANIMATE), "&Show animated deflected shape\t Ctrl+Shift+A");
    EXPECT_NE(color_scheme()[PEN_ELEMENT].pen.color, rgb(128, 128, 128));
}

TEST_F(ShapeCommandsTest, ShapeMagnificationDialogAppliesResetsAndRefusesNegatives)
{
    open_results_of_l();
    set_current_result(RESULT_DISPLACEMENTS);
    command(CMD_SHAPE);
    const float automatic = magnification();
    script().once("MAGNIFICATION_DIALOG", [](HeadlessDialog& d) {
        d.type(MAGNIFICATION_VALUE, "-5");
        d.press(IDOK);
        EXPECT_FALSE(d.ended());
        d.type(MAGNIFICATION_VALUE, "25");
        d.press(MAGNIFICATION_APPLY);
        EXPECT_FLOAT_EQ(shape_state().shape_factor, 25.0f);
        d.press(MAGNIFICATION_RESET);
        d.type(MAGNIFICATION_VALUE, "40");
        d.press(IDOK);
    });
    EXPECT_TRUE(magnification_dialog(graphics_frame().window));
    EXPECT_TRUE(contains(script().messages().front(), "Magnification"));
    EXPECT_FLOAT_EQ(magnification(), 40.0f);
    EXPECT_FLOAT_EQ(shape_state().shape_factor, 40.0f);
    // Reset: the automatic value again, shown in the field without decimals.
    script().once("MAGNIFICATION_DIALOG", [automatic](HeadlessDialog& d) {
        EXPECT_EQ(d.text(MAGNIFICATION_VALUE), "40");
        d.press(MAGNIFICATION_RESET);
        EXPECT_FLOAT_EQ(magnification(), automatic);
        d.press(IDCANCEL);
    });
    magnification_dialog(graphics_frame().window);
}

// ---- Mode shape table ----------------------------------------------------------------------

TEST_F(ModeTableTest, ModeTableStepsThroughTheModesWrappingAtBothEnds)
{
    open_results_of_l(3);
    show_mode_shapes();
    EXPECT_EQ(current_result(), RESULT_MODE_SHAPES);
    EXPECT_EQ(results().current_mode, 1);
    TableWindow& t = mode_shape_table();
    // One row per node of the shape record; the values of mode 1.
    EXPECT_EQ(t.row_count, model().numnodes());
    EXPECT_EQ(t.cell_text(3, 4, 0), format_displacement_or_none(mode_value(1, t.row_list[3], 2)));
    step_mode(-1);
    EXPECT_EQ(results().current_mode, 3);
    EXPECT_EQ(t.cell_text(3, 4, 0), format_displacement_or_none(mode_value(3, t.row_list[3], 2)));
    EXPECT_EQ(results_title_base(), "Mode  3:  4.50 Hz");
    step_mode(1);
    EXPECT_EQ(results().current_mode, 1);
    t.on_key(KEY_RIGHT, MOD_NONE);
    EXPECT_EQ(results().current_mode, 2);
    t.on_key(KEY_LEFT, MOD_NONE);
    EXPECT_EQ(results().current_mode, 1);
    // A row made current highlights its node.
    t.on_row_changed(2);
    EXPECT_EQ(highlight_state().kind, HIGHLIGHT_NODE);
    EXPECT_EQ(highlight_state().object.node, t.row_list[2]);
}

TEST_F(ModeTableTest, ModeTableWithOneModeDoesNotStep)
{
    open_results_of_l(1);
    show_mode_shapes();
    step_mode(1);
    step_mode(-1);
    EXPECT_EQ(results().current_mode, 1);
}

TEST_F(ModeTableTest, ModeTableStepRedrawsTheShapeOrRestartsTheAnimation)
{
    open_results_of_l(3);
    show_mode_shapes();
    command(CMD_SHAPE);
    ASSERT_TRUE(shape_state().mode_shape_shown);
    EXPECT_TRUE(contains(frame_title(graphics_frame()), "Mode 1: 1.50 Hz"));
    step_mode(1);
    EXPECT_TRUE(shape_state().mode_shape_shown);
    EXPECT_TRUE(contains(frame_title(graphics_frame()), "Mode 2: 3.00 Hz"));
    Vec3 t, r;
    node_displacement(node_index(30), t, r);
    EXPECT_NEAR(t.z, mode_value(2, node_index(30), 2), 1e-6);
    command(CMD_ANIMATE);
    ASSERT_TRUE(animation_running());
    EXPECT_FALSE(shape_state().mode_shape_shown);
    step_mode(1);
    EXPECT_TRUE(animation_running());
    EXPECT_TRUE(contains(frame_title(graphics_frame()), "Mode 3: 4.50 Hz"));
    node_displacement(node_index(30), t, r);
    EXPECT_NEAR(t.z, mode_value(3, node_index(30), 2), 1e-6);
}

TEST_F(ModeTableTest, ModeTableMenusComeAndGoWithTheTable)
{
    open_results_of_l(3);
    set_current_result(RESULT_MODE_SHAPES);
    mode_shape_table().on_enter();
    EXPECT_EQ(menu_text(CMD_SHAPE), "&Show Mode Shape");
    EXPECT_EQ(menu_text(CMD_ANIMATE), "&Show animated mode shape\t Ctrl+Shift+A");
    EXPECT_EQ(menu_text(CMD_NEXT_LOAD_CASE), "Next mode\tRight Arrow");
    EXPECT_EQ(menu_text(CMD_PREVIOUS_LOAD_CASE), "Previous mode\tLeft Arrow");
    EXPECT_TRUE(results_frame().menu.contains(CMD_MAGNIFICATION));
    // The mode stepping goes with the table, the shape items with the modal results.
    mode_shape_table().on_leave();
    for (int id : {CMD_NEXT_LOAD_CASE, CMD_PREVIOUS_LOAD_CASE})
        EXPECT_FALSE(results_frame().menu.contains(id)) << id;
    set_current_result(RESULT_SUPPORT_LOADS);
    for (int id : {CMD_SHAPE, CMD_ANIMATE, CMD_MAGNIFICATION})
        EXPECT_FALSE(results_frame().menu.contains(id)) << id;
}

TEST_F(ModeTableTest, ModeTableTextReportAndCsvOfOneMode)
{
    open_results_of_l(3);
    show_mode_shapes();
    step_mode(1);
    set_report_date("1 Jan 2025");
    report_begin_text(false);
    print_mode_shape_text();
    expect_golden_file("reports", "mode_shape.txt", report_end_text());
    report_begin_text(true);
    print_mode_shape_csv();
    expect_golden_file("reports", "mode_shape.csv", report_end_text());
    EXPECT_EQ(results().current_mode, 2);
}
