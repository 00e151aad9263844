// The dialogs of the graphics window: their checks in order, with the texts
// they show, and what they change.
#include "graphics/graphics_program_fixture.h"
#include "graphics/ui/graphics_dialogs.h"
#include "platform/headless/headless_printing.h"

namespace {

class GraphicsDialogsTest : public GraphicsProgramTest {};
class PrintedSymbolsSized : public GraphicsProgramTest {};

}  // namespace

TEST_F(GraphicsDialogsTest, ViewpointDialogRefusesAZeroViewpointAndUnreadableNumbers)
{
    l_model();
    show();
    std::vector<std::string> shown;
    script().once("VIEWPOINT_DIALOG", [&shown](HeadlessDialog& d) {
        // It shows the viewpoint now, 10 wide with 4 decimals.
        shown = {d.text(VIEWPOINT_X), d.text(VIEWPOINT_Y), d.text(VIEWPOINT_Z)};
        d.type(VIEWPOINT_X, "0");
        d.type(VIEWPOINT_Y, "0");
        d.type(VIEWPOINT_Z, "0");
        d.press(IDOK);
        d.type(VIEWPOINT_Y, "up");
        d.press(VIEWPOINT_APPLY);
        d.press(VIEWPOINT_X_VIEW);
        d.press(IDOK);
    });
    EXPECT_TRUE(viewpoint_dialog(graphics_frame().window));
    EXPECT_EQ(shown, (std::vector<std::string>{"0.0000", "0.0000", "1.0000"}));
    EXPECT_EQ(script().messages(),
              (std::vector<std::string>{"0.0, 0.0, 0.0 is not a valid viewpoint", "Y =  UP  is invalid"}));
    EXPECT_DOUBLE_EQ(view_transform().viewpoint.x, 1);
    EXPECT_DOUBLE_EQ(view_transform().viewpoint.z, 0);
    // Previous puts back the view before, and the dialog shows it.
    std::string previous;
    script().once("VIEWPOINT_DIALOG", [&previous](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_enabled(VIEWPOINT_PREVIOUS));
        d.press(VIEWPOINT_PREVIOUS);
        previous = d.text(VIEWPOINT_Z);
        d.press(IDCANCEL);
    });
    viewpoint_dialog(graphics_frame().window);
    EXPECT_EQ(previous, "1.0000");
    EXPECT_DOUBLE_EQ(view_transform().viewpoint.z, 1);
}

TEST_F(GraphicsDialogsTest, ViewpointDialogWithoutAPreviousViewHasNoPrevious)
{
    l_model();
    show();
    graphics_view().previous.gscale = 0;
    bool enabled = true;
    script().once("VIEWPOINT_DIALOG", [&enabled](HeadlessDialog& d) {
        enabled = d.is_enabled(VIEWPOINT_PREVIOUS);
        d.press(IDOK);   // the same viewpoint: nothing changes
    });
    const double scale = view_state().scale;
    viewpoint_dialog(graphics_frame().window);
    EXPECT_FALSE(enabled);
    EXPECT_FALSE(previous_view_kept());
    EXPECT_EQ(view_state().scale, scale);
}

TEST_F(GraphicsDialogsTest, HideElementsDialogChecksItsRowsInOrder)
{
    l_model();
    add_row(40, ET_PIPE, 0, 0, 100);
    add_row(50, ET_PIPE, 0, 0, 100);
    model_changed();
    show();
    model().current_row = 2;
    std::string from_shown;
    script().once("HIDE_ELEMENTS_DIALOG", [&from_shown](HeadlessDialog& d) {
        from_shown = d.text(HIDE_FROM);
        d.type(HIDE_FROM, "");
        d.press(IDOK);
        d.type(HIDE_FROM, "0");
        d.press(IDOK);
        d.type(HIDE_FROM, "x");
        d.press(IDOK);
        d.type(HIDE_FROM, "9");
        d.press(IDOK);
        d.type(HIDE_FROM, "3");
        d.press(IDOK);           // To is empty
        d.type(HIDE_TO, "-1");
        d.press(IDOK);
        d.type(HIDE_TO, "2");
        d.press(IDOK);
        d.type(HIDE_TO, "99");   // cut to the last row
        d.press(IDOK);
    });
    EXPECT_TRUE(hide_elements_dialog(graphics_frame().window));
    EXPECT_EQ(from_shown, "2");
    EXPECT_EQ(script().messages(), (std::vector<std::string>{"From  #  is required", "From  # =  0  is invalid",
                                                             "From  # =  X  is invalid", "From  #  > number of rows",
                                                             "To  #  is required", "To  # =  -1  is invalid",
                                                             "From  #  > To  #"}));
    // "Show specified and hide others": rows 3 to 5 shown, 1 and 2 hidden.
    const Model& m = model();
    EXPECT_EQ(m.rows[1].shown, 0);
    EXPECT_EQ(m.rows[2].shown, 0);
    EXPECT_EQ(m.rows[3].shown, 1);
    EXPECT_EQ(m.rows[5].shown, 1);

    // To keeps its last value; the other three choices.
    std::string to_shown;
    script().once("HIDE_ELEMENTS_DIALOG", [&to_shown](HeadlessDialog& d) {
        to_shown = d.text(HIDE_TO);
        d.type(HIDE_FROM, "1");
        d.type(HIDE_TO, "1");
        d.press(HIDE_SHOW_MORE);
        d.press(IDOK);
    });
    hide_elements_dialog(graphics_frame().window);
    EXPECT_EQ(to_shown, "99");
    EXPECT_EQ(m.rows[1].shown, 1);
    EXPECT_EQ(m.rows[2].shown, 0);
    script().once("HIDE_ELEMENTS_DIALOG", [](HeadlessDialog& d) {
        d.type(HIDE_FROM, "4");
        d.type(HIDE_TO, "5");
        d.press(HIDE_HIDE_ONLY);
        d.press(IDOK);
    });
    hide_elements_dialog(graphics_frame().window);
    EXPECT_EQ(m.rows[2].shown, 1);
    EXPECT_EQ(m.rows[4].shown, 0);
    EXPECT_EQ(m.rows[5].shown, 0);
    script().once("HIDE_ELEMENTS_DIALOG", [](HeadlessDialog& d) {
        d.type(HIDE_FROM, "1");
        d.type(HIDE_TO, "1");
        d.press(HIDE_HIDE_MORE);
        d.press(IDOK);
    });
    hide_elements_dialog(graphics_frame().window);
    EXPECT_EQ(m.rows[1].shown, 0);
    EXPECT_EQ(m.rows[2].shown, 1);
    EXPECT_EQ(m.rows[4].shown, 0);
}

TEST_F(GraphicsDialogsTest, PrintingTheLineViewKeepsTheViewAsItWas)
{
    l_model();
    show();
    install_headless_print_service();
    const double scale = view_state().scale;
    const ViewWindow window = graphics_view().view_window;
    const std::vector<Image> pages = print_service().render_pages(
        PageSetup{}, 150, [](PrintDocument& document) { print_graphics_page(document, false); });
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(view_state().scale, scale);
    EXPECT_EQ(graphics_view().view_window, window);
    EXPECT_EQ(graphics_view().client_width, 800);
    // Printing the rendered view without OpenGL says so and keeps the view too.
    EXPECT_THROW(print_service().render_pages(PageSetup{}, 150,
                                              [](PrintDocument& document) { print_graphics_page(document, true); }),
                 MessageText);
    EXPECT_EQ(view_state().scale, scale);
    install_print_service(nullptr);
}

TEST_F(PrintedSymbolsSized, ASupportSymbolTakesOnThePageTheScreenPixelsItTakesOnScreen)
{
    l_model();
    show();
    install_headless_print_service();
    // The support shapes are 12 pixels on screen (96 dots per inch); on a
    // page of 300 dots per inch a screen pixel is 300 / 96 dots, as the
    // node numbers' font is.
    const std::function<double()> size = model_hooks().symbol_size;
    std::vector<double> device_units;   // at each build of the restraint's symbol
    model_hooks().symbol_size = [&] {
        device_units.push_back(size() * view_state().scale);
        return size();
    };
    print_service().render_pages(PageSetup{}, 300,
                                 [](PrintDocument& document) { print_graphics_page(document, false); });
    model_hooks().symbol_size = size;
    ASSERT_GE(device_units.size(), 2u);
    EXPECT_NEAR(device_units.front(), 12.0 * 300 / 96, 1e-6);
    // The screen's view comes back with its own sizes.
    EXPECT_NEAR(device_units.back(), 12.0, 1e-6);
    install_print_service(nullptr);
}
