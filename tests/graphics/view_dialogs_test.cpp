// The dialogs and commands of the graphics window for what it shows and
// prints: SHOW_33_DIALOG for the Show and Show Nodes lists, F3, Print to
// File with its extension check, DRAWING_SIZE_DIALOG and PLOT_TITLE_DIALOG,
// and the colour legend drawn into a small client.
#include "graphics/color_scale.h"
#include "graphics/graphics_program_fixture.h"
#include "graphics/plot_files.h"
#include "graphics/show_lists.h"
#include "graphics/ui/plot_commands.h"
#include "graphics/ui/show_dialogs.h"
#include "platform/headless/headless_dialog.h"
#include "platform/headless/recording_surface.h"

#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

class ShowDialogTest : public GraphicsProgramTest {};
class PlotCommandsTest : public GraphicsProgramTest {};
class ColorScaleLegendTest : public GraphicsProgramTest {};
class PlotTitleWhole : public GraphicsProgramTest {};

}  // namespace

TEST_F(ShowDialogTest, ShowDialogOffersTheModelsKindsInItsColumns)
{
    l_model();
    show();
    // The L: a restraint, the dots, lengths, node and row numbers.
    script().once("SHOW_33_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Show");
        const std::vector<std::pair<int, std::string>> boxes = {
            {1101, "Dots at nodes"}, {1102, "Lengths"}, {1112, "Node numbers"}, {1113, "Restraints"},
            {1123, "Row numbers"}};
        for (const auto& [id, label] : boxes) {
            EXPECT_TRUE(d.is_shown(id)) << id;
            EXPECT_EQ(d.text(id), label);
        }
        EXPECT_FALSE(d.is_shown(1103));
        EXPECT_FALSE(d.is_shown(1124));
        // Two rows: the buttons at 14 r + 10, the dialog 250 by 14 r + 32.
        EXPECT_EQ(d.control(IDOK)->y, 38);
        EXPECT_EQ(d.control(SHOW_NONE)->x, 200);
        EXPECT_EQ(d.width(), 250);
        EXPECT_EQ(d.height(), 60);
        EXPECT_TRUE(d.is_checked(1113));
        // None, then the restraints back on: applied by OK.
        d.press(SHOW_NONE);
        EXPECT_FALSE(d.is_checked(1101));
        d.check(1113, true);
        d.press(IDOK);
    });
    EXPECT_TRUE(script().menu_command(graphics_frame().window, CMD_SHOW));
    EXPECT_FALSE(show_flags().dots);
    EXPECT_FALSE(show_flags().node_numbers);
    EXPECT_TRUE(show_flags().restraints);
    // F3 with both off: both on.
    script().key(client(), KEY_F3);
    EXPECT_TRUE(show_flags().dots);
    EXPECT_TRUE(show_flags().node_numbers);
    // Show Nodes: the kinds of nodes there are.
    script().once("SHOW_33_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Show Node Numbers at");
        EXPECT_EQ(d.text(1101), "Restraints");
        EXPECT_FALSE(d.is_shown(1102));
        d.press(IDCANCEL);
    });
    EXPECT_TRUE(script().menu_command(graphics_frame().window, CMD_SHOW_NODES));
}

TEST_F(ShowDialogTest, ShowCommandIsNotOfferedForAnEmptyModel)
{
    show();
    EXPECT_FALSE(show_list_available());
    EXPECT_FALSE(frame_command_available(graphics_frame(), CMD_SHOW));
    EXPECT_FALSE(frame_command_available(graphics_frame(), CMD_SHOW_NODES));
}

TEST_F(PlotCommandsTest, PlotPrintToFileChoosesTheWriterByExtension)
{
    l_model();
    show();
    const WindowId f = graphics_frame().window;
    script().answer_file(path("drawing.txt"));
    EXPECT_TRUE(script().menu_command(f, CMD_PRINT_GRAPHICS_TO_FILE));
    EXPECT_EQ(script().last_message(), "File extension must be : emf, eps, dxf or plt");
    EXPECT_FALSE(std::filesystem::exists(path("drawing.txt")));
    for (const char* ext : {"plt", "dxf", "eps", "emf"}) {
        const std::string file = path(std::string("drawing.") + ext);
        script().answer_file(file);
        EXPECT_TRUE(script().menu_command(f, CMD_PRINT_GRAPHICS_TO_FILE));
        EXPECT_TRUE(std::filesystem::exists(file)) << ext;
        EXPECT_EQ(script().last_message(), std::string(ext) + " written.");
    }
    // A folder that does not exist: the open failure, and no "written.".
    script().answer_file(path("missing/drawing.dxf"));
    script().menu_command(f, CMD_PRINT_GRAPHICS_TO_FILE);
    EXPECT_EQ(script().last_message(), "Unable to open DXF file for output\nNo such file or directory.");
    // A headless run at one client size and view writes the same bytes twice.
    const auto bytes = [this](const std::string& name) {
        std::ifstream in(path(name), std::ios::binary);
        std::ostringstream s;
        s << in.rdbuf();
        return s.str();
    };
    const std::string first = bytes("drawing.eps");
    write_graphics_file(f, path("again.eps"));
    EXPECT_EQ(bytes("again.eps"), first);
}

TEST_F(PlotCommandsTest, PlotDrawingSizeAndTitleDialogsKeepTheirSettings)
{
    l_model();
    show();
    const WindowId f = graphics_frame().window;
    script().once("DRAWING_SIZE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Drawing Size for DXF & PLT");
        EXPECT_EQ(d.list_count(DRAWING_SIZE_PAPER), PAPER_SIZE_COUNT);
        EXPECT_EQ(d.list_text(DRAWING_SIZE_PAPER, 5), "A4 Size (210 mm x 297 mm)");
        EXPECT_TRUE(d.is_checked(DRAWING_SIZE_LANDSCAPE));
        d.select(DRAWING_SIZE_PAPER, 5);
        d.press(DRAWING_SIZE_PORTRAIT);
        EXPECT_FALSE(d.is_checked(DRAWING_SIZE_LANDSCAPE));
        d.press(IDOK);
    });
    EXPECT_TRUE(script().menu_command(f, CMD_DRAWING_SIZE));
    EXPECT_EQ(drawing_size().paper, 5);
    EXPECT_TRUE(drawing_size().portrait);
    model_modified() = false;
    script().once("PLOT_TITLE_DIALOG", [](HeadlessDialog& d) {
        d.type(PLOT_TITLE_TEXT, "  Unit 2 (steam)  ");
        d.press(IDOK);
    });
    EXPECT_TRUE(script().menu_command(f, CMD_PLOT_TITLE));
    EXPECT_EQ(model_title(), "Unit 2 (steam)");
    EXPECT_TRUE(model_modified());
}

TEST_F(ColorScaleLegendTest, ColorScaleLegendBarAndLabelsFitTheClient)
{
    color_scale_set_range(0.0f, 20000.0f);
    // On screen: rows 20 to 212 between 20 and 45, red at the top, blue below.
    RecordingSurface screen(800, 600);
    draw_color_legend(screen, 1.0, false, true);
    const auto pens = screen.lines_starting("pen");
    const auto lines = screen.lines_starting("line");
    ASSERT_EQ(lines.size(), 193u);
    EXPECT_EQ(lines.front(), "line 20 20 45 20");
    EXPECT_EQ(lines.back(), "line 20 212 45 212");
    EXPECT_EQ(pens.front(), "pen #ff0000 1 solid");
    EXPECT_EQ(pens.back(), "pen #0000ff 1 solid");
    EXPECT_EQ(screen.lines_starting("text").size(), 5u);
    // Printing at four times the screen's resolution: four times as far.
    RecordingSurface paper(3200, 2400);
    draw_color_legend(paper, 4.0, false, true);
    EXPECT_EQ(paper.lines_starting("line").front(), "line 80 80 180 80");
    EXPECT_EQ(paper.lines_starting("line").back(), "line 80 848 180 848");
    // In a client of 200 by 150 the bar and its labels stay inside.
    RecordingSurface small(200, 150);
    const double s = color_legend_fit(1.0, 200, 150, small);
    EXPECT_LT(s, 1.0);
    draw_color_legend(small, s, false, true);
    const LegendBar bar = color_legend_bar(s);
    EXPECT_LE(bar.bottom, 150);
    for (const std::string& t : small.lines_starting("text")) {
        std::istringstream in(t);
        std::string word;
        int x = 0, y = 0;
        in >> word >> x >> y;
        const std::string text = t.substr(t.find('"') + 1, t.rfind('"') - t.find('"') - 1);
        EXPECT_LE(x + small.text_width(text), 200) << t;
        EXPECT_GE(y, 0) << t;
        EXPECT_LE(y + RecordingSurface::LINE_HEIGHT, 150 + RecordingSurface::LINE_HEIGHT / 2) << t;
    }
}

TEST_F(PlotTitleWhole, ATitleTheFieldTakesIsKeptWholeAndOneTheModelCannotKeepIsRefused)
{
    show();
    const WindowId f = graphics_frame().window;
    // 47 characters in 52 bytes: u-umlaut, Omega and Zhe take 2 bytes in
    // UTF-8, the CJK character 3.
    const std::string typed = "Cooling water line \u00FC \u03A9 \u0416 \u4E2D from pump to coolr e";
    ASSERT_EQ(typed.size(), 52u);
    script().once("PLOT_TITLE_DIALOG", [&](HeadlessDialog& d) {
        d.type(PLOT_TITLE_TEXT, typed);
        d.press(IDOK);
    });
    EXPECT_TRUE(script().menu_command(f, CMD_PLOT_TITLE));
    EXPECT_EQ(model_title(), typed);
    // Fifty CJK characters fill the field and take 150 bytes, more than the
    // model file's 80-byte title field holds: refused, the title unchanged.
    std::string wide;
    for (int i = 0; i < 50; ++i)
        wide += "\u4E2D";
    script().once("PLOT_TITLE_DIALOG", [&](HeadlessDialog& d) {
        d.type(PLOT_TITLE_TEXT, wide);
        d.press(IDOK);
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(d.focused(), PLOT_TITLE_TEXT);
        d.press(IDCANCEL);
    });
    script().menu_command(f, CMD_PLOT_TITLE);
    EXPECT_EQ(script().last_message(),
              "Title is too long: the model keeps 80 bytes of it, and a letter outside ASCII takes 2 to 4 of them");
    EXPECT_EQ(model_title(), typed);
}
