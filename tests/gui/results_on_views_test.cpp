// The results on the views with the real windows, met in the order a user
// meets them: the sample opened with its results, the result chosen, the
// shapes and stress colouring from the results window's tool bar and menus
// and from the graphics window's popup, the colours following the stress kind
// of the First-Level Checks, a deflected shape after a stress check, the
// first view after an open or an import, the choosers' and the Show dialog's
// texts, the tool-tips, and F1 in tables and dialogs, the guide coming up in
// front of a modal dialog and usable while it stays open.
#include "elements/bend.h"
#include "elements/element_dialog_ids.h"
#include "analysis/ui/analysis_ui.h"
#include "elements/ui/element_ui.h"
#include "exchange/batch_import.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/help.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "graphics/color_scale.h"
#include "graphics/model_view.h"
#include "graphics/shapes.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/view_settings.h"
#include "gui/graphics_gui.h"
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/piping_codes.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"
#include "results/ui/stress_result_tables.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QKeyEvent>
#include <QHelpEvent>
#include <QListWidget>
#include <QMainWindow>
#include <QMessageBox>
#include <QMenu>
#include <QMouseEvent>
#include <QScreen>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QToolBar>
#include <QToolButton>
#include <QTimer>
#include <QToolTip>
#include <QWindow>

#include <chrono>
#include <filesystem>
#include <functional>
#include <fstream>
#include <iterator>
#include <map>
#include <set>

namespace fs = std::filesystem;

namespace {

bool wait_for(const std::function<bool()>& done) { return gui_wait_for(done); }
void settle(int milliseconds = 150) { gui_settle(milliseconds); }

// Answers what comes up: a modal dialog by its template name (a name
// ending in "*" answers every template that starts so), a popup menu
// (its texts kept, the entry that starts with `popup_choice` chosen, else
// closed); message boxes are recorded and closed. A dialog without an
// answer (the analysis' progress) is left alone.
class Answers {
public:
    Answers()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(40);
    }
    std::map<std::string, std::function<void(QDialog*)>> dialogs;
    std::string popup_choice;
    std::vector<std::string> popup_texts;
    int popups = 0;
    std::vector<std::string> messages;

private:
    void poll()
    {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            ++popups;
            popup_texts.clear();
            QAction* chosen = nullptr;
            for (QAction* a : menu->actions()) {
                if (a->isSeparator())
                    continue;
                popup_texts.push_back(a->text().toStdString());
                if (!popup_choice.empty() && a->text().startsWith(QString::fromStdString(popup_choice)) && !chosen)
                    chosen = a;
            }
            if (chosen) {
                menu->setActiveAction(chosen);
                QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                QCoreApplication::sendEvent(menu, &enter);
            } else {
                menu->close();
            }
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (close_message_box(modal, messages))
            return;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || busy_)
            return;
        const std::string name = dialog->objectName().toStdString();
        auto it = std::find_if(dialogs.begin(), dialogs.end(), [&name](const auto& entry) {
            const std::string& key = entry.first;
            return key == name || (!key.empty() && key.back() == '*' && name.rfind(key.substr(0, key.size() - 1), 0) == 0);
        });
        if (it == dialogs.end())
            return;
        busy_ = true;
        it->second(dialog);
        busy_ = false;
    }
    QTimer timer_;
    bool busy_ = false;
};

// The result chooser, whatever its size ("RESULTS6_DIALOG" ...).
const std::string RESULT_CHOOSERS = "RESULTS*";

QAbstractButton* dialog_button(QDialog* d, int id)
{
    return d->findChild<QAbstractButton*>(QStringLiteral("item_%1").arg(id));
}

// A radio-list chooser's entries; the entry with the text chosen.
std::vector<std::string> choose_entry(QDialog* d, const std::string& text)
{
    std::vector<std::string> entries;
    auto* list = d->findChild<QListWidget*>(QStringLiteral("item_%1").arg(RADIO_LIST));
    if (!list) {
        d->reject();
        return entries;
    }
    int row = -1;
    for (int i = 0; i < list->count(); ++i) {
        entries.push_back(list->item(i)->text().toStdString());
        if (entries.back() == text)
            row = i;
    }
    if (row < 0) {
        d->reject();
        return entries;
    }
    list->setCurrentRow(row);
    if (QAbstractButton* ok = dialog_button(d, IDOK))
        ok->click();
    return entries;
}

// The action of a command on a frame's tool bar in use, or null.
QAction* tool_action(const Frame& frame, int id)
{
    auto* window = qobject_cast<QMainWindow*>(gui_backend().widget(frame.window));
    if (!window)
        return nullptr;
    for (QToolBar* bar : window->findChildren<QToolBar*>())
        if (bar->isVisible())
            for (QAction* a : bar->actions())
                if (!a->isSeparator() && a->data().toInt() == id)
                    return a;
    return nullptr;
}

bool button_offered(const Frame& frame, int id)
{
    const QAction* a = tool_action(frame, id);
    return a && a->isVisible() && a->isEnabled();
}

QImage graphics_picture()
{
    settle();
    std::optional<Image> picture = backend().grab_window(graphics_client_window());
    return picture ? qimage_of(*picture) : QImage();
}

// The ratio a pixel of the colour ramp stands for (blue 0, cyan 0.25, green
// 0.5, yellow 0.75, red 1), or -1 for a pixel off the ramp. The coloured
// tubes are drawn unlit, so their pixels lie on the ramp: one channel full,
// one empty.
double ramp_ratio(QRgb p)
{
    const int r = qRed(p), g = qGreen(p), b = qBlue(p);
    const int high = std::max({r, g, b}), low = std::min({r, g, b});
    if (high < 245 || low > 10)
        return -1.0;
    if (b >= 245 && r <= 10)
        return g / 255.0 / 4.0;
    if (g >= 245 && r <= 10)
        return 0.25 + (255 - b) / 255.0 / 4.0;
    if (g >= 245 && b <= 10)
        return 0.5 + r / 255.0 / 4.0;
    if (r >= 245 && b <= 10)
        return 0.75 + (255 - g) / 255.0 / 4.0;
    return -1.0;
}

// The ramp's pixels of a picture outside the legend's corner: how many and
// the mean ratio they stand for.
struct RampStats {
    long pixels = 0;
    double mean = 0.0;
    double high_share = 0.0;   // share standing for 0.25 and more
};

RampStats ramp_stats(const QImage& image)
{
    RampStats s;
    long high = 0;
    double sum = 0.0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            if (x < 140 && y < 240)
                continue;   // the colour bar and its labels
            const double ratio = ramp_ratio(image.pixel(x, y));
            if (ratio < 0.0)
                continue;
            ++s.pixels;
            sum += ratio;
            high += ratio >= 0.25 ? 1 : 0;
        }
    if (s.pixels > 0) {
        s.mean = sum / double(s.pixels);
        s.high_share = double(high) / double(s.pixels);
    }
    return s;
}

// Pixels of the legend's colour bar (x 20..45, y 20..212) on the ramp.
int legend_ramp_pixels(const QImage& image)
{
    int n = 0;
    for (int y = 20; y < 212 && y < image.height(); ++y)
        for (int x = 22; x < 44 && x < image.width(); ++x)
            n += ramp_ratio(image.pixel(x, y)) >= 0.0 ? 1 : 0;
    return n;
}

class ResultsOnViews : public GuiProgramTest {
protected:
    ResultsOnViews() : GuiProgramTest("korvane_results_on_views") {}
    void SetUp() override
    {
        // The render view's colour-coded pipes are drawn with OpenGL.
        MESA_ALLOCATIONS_KEPT;
        GuiProgramTest::SetUp();
        answers_ = std::make_unique<Answers>();   // its timer needs the application
    }
    void TearDown() override
    {
        answers_.reset();
        GuiProgramTest::TearDown();
    }
    // The sample beside the program makes the first run open it (a test
    // whose name says "FirstRun").
    void before_startup() override
    {
        const std::string name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
        if (name.find("FirstRun") != std::string::npos)
            fs::copy_file(fs::path(KV_PROGRAM_PATH).parent_path() / "sample.mod", folder / "sample.mod");
    }

    // The sample model and the results the build made of it, under a name
    // of their own (the first run opens only "sample.mod").
    void copy_sample()
    {
        const fs::path built = fs::path(KV_PROGRAM_PATH).parent_path();
        fs::copy_file(built / "sample.mod", folder / "piping.mod", fs::copy_options::overwrite_existing);
        fs::copy_file(built / "sample.res", folder / "piping.res", fs::copy_options::overwrite_existing);
    }

    // Opens the sample's results as File > Open Results does, and chooses
    // `entry` in the result chooser that comes up; the chooser's entries.
    std::vector<std::string> open_sample_results(const std::string& entry)
    {
        copy_sample();
        std::vector<std::string> entries;
        bool chosen = false;
        answers().dialogs[RESULT_CHOOSERS] = [&](QDialog* d) {
            entries = choose_entry(d, entry);
            chosen = true;
        };
        open_by_extension((folder / "piping.res").string());
        EXPECT_TRUE(wait_for([&] { return chosen; }));
        EXPECT_TRUE(wait_for([] { return in_results() && current_result() != RESULT_NONE; }));
        answers().dialogs.erase(RESULT_CHOOSERS);
        return entries;
    }

    static void show(int kind)
    {
        const auto& s = results_hooks().show[static_cast<std::size_t>(kind)];
        ASSERT_TRUE(static_cast<bool>(s)) << kind;
        s();
        settle();
    }

    // A right click in the graphics view; the popup's texts (the entry that
    // starts with `choice` chosen).
    std::vector<std::string> graphics_popup(const std::string& choice = {})
    {
        answers().popup_choice = choice;
        answers().popup_texts.clear();
        const int before = answers().popups;
        QWidget* client = gui_backend().widget(graphics_client_window());
        EXPECT_NE(client, nullptr);
        if (!client)
            return {};
        const QPointF at(client->width() / 2.0, client->height() - 10.0);
        QMouseEvent right(QEvent::MouseButtonPress, at, client->mapToGlobal(at), Qt::RightButton, Qt::RightButton,
                          Qt::NoModifier);
        QCoreApplication::sendEvent(client, &right);
        EXPECT_TRUE(wait_for([&] { return answers().popups > before; }));
        settle();
        return answers().popup_texts;
    }

    static bool contains(const std::vector<std::string>& texts, const std::string& text)
    {
        return std::find(texts.begin(), texts.end(), text) != texts.end();
    }

    Answers& answers() { return *answers_; }
    std::unique_ptr<Answers> answers_;
};

// ---- Item: the shape and colouring commands can be reached ----------------------------------

TEST_F(ResultsOnViews, ToolBarButtonsAndViewMenuItemsComeWithTheResultThatNeedsThem)
{
    open_sample_results("Sorted stresses");
    const Frame& r = results_frame();
    ASSERT_EQ(current_result(), RESULT_SORTED_STRESSES);
    // The sorted stresses: the two colourings, on both bar sizes and in View.
    for (int id : {CMD_SHOW_STRESSES, CMD_SHOW_STRESS_RATIOS}) {
        EXPECT_TRUE(button_offered(r, id)) << id;
        EXPECT_TRUE(r.buttons.at(id).visible && r.buttons.at(id).enabled) << id;
    }
    for (int id : {CMD_SHAPE, CMD_ANIMATE})
        EXPECT_FALSE(button_offered(r, id)) << id;
    ASSERT_NE(r.menu.find(CMD_SHOW_STRESSES), nullptr);
    EXPECT_EQ(r.menu.find(CMD_SHOW_STRESSES)->text, "&Show Stresses");
    EXPECT_EQ(r.menu.find(CMD_SHOW_STRESS_RATIOS)->text, "Show Stress &Ratios");

    // The displacements: the deflected shape and its animation instead.
    show(RESULT_DISPLACEMENTS);
    for (int id : {CMD_SHAPE, CMD_ANIMATE})
        EXPECT_TRUE(button_offered(r, id)) << id;
    for (int id : {CMD_SHOW_STRESSES, CMD_SHOW_STRESS_RATIOS})
        EXPECT_FALSE(button_offered(r, id)) << id;
    ASSERT_NE(r.menu.find(CMD_SHAPE), nullptr);
    EXPECT_EQ(r.menu.find(CMD_SHAPE)->text, "&Show deflected shape\t Ctrl+D");
    results_menu_popup();
    EXPECT_FALSE(r.menu.is_enabled(CMD_MAGNIFICATION));   // until a shape is drawn
    EXPECT_EQ(r.menu.find(CMD_ANIMATE)->text, "&Show animated deflected shape\t Ctrl+Shift+A");
    EXPECT_TRUE(r.menu.contains(CMD_MAGNIFICATION));
    EXPECT_FALSE(r.menu.contains(CMD_SHOW_STRESSES));

    // The tool button shows the shape; its menu item and tip follow.
    tool_action(r, CMD_SHAPE)->trigger();
    ASSERT_TRUE(wait_for([] { return shape_state().deflected_shape_shown; }));
    EXPECT_EQ(r.menu.find(CMD_SHAPE)->text, "&Hide Deflected Shape\t Ctrl+D");
    EXPECT_EQ(tool_action(r, CMD_SHAPE)->toolTip().toStdString(), "Hide Deflected Shape");
    results_menu_popup();   // as the menu drops down
    EXPECT_TRUE(r.menu.is_enabled(CMD_MAGNIFICATION));

    // A result that needs neither: all four hidden again.
    show(RESULT_ELEMENT_FORCES);
    for (int id : {CMD_SHAPE, CMD_ANIMATE, CMD_SHOW_STRESSES, CMD_SHOW_STRESS_RATIOS})
        EXPECT_FALSE(button_offered(r, id)) << id;
    EXPECT_FALSE(r.menu.contains(CMD_SHAPE));
    EXPECT_TRUE(answers().messages.empty()) << answers().messages.front();
}

TEST_F(ResultsOnViews, ShowStressesFromTheToolBarColoursTheViewWithItsLegend)
{
    open_sample_results("Sorted stresses");
    const Frame& r = results_frame();
    EXPECT_EQ(legend_ramp_pixels(graphics_picture()), 0);
    QAction* stresses = tool_action(r, CMD_SHOW_STRESSES);
    ASSERT_NE(stresses, nullptr);
    EXPECT_EQ(stresses->toolTip().toStdString(), "Show stresses");
    stresses->trigger();
    ASSERT_TRUE(wait_for([] { return stress_colouring().stresses; }));
    const QImage coloured = graphics_picture();
    // The colour bar, and the pipes in the ramp's colours.
    EXPECT_GT(legend_ramp_pixels(coloured), 20 * 150);
    EXPECT_GT(ramp_stats(coloured).pixels, 2000);
    // The scale is the range of the stresses shown (the sorted stresses' own).
    const StressRange range = current_sorted_stress_range();
    EXPECT_NEAR(color_scale_max(), std::max(range.smallest, range.largest), 0.5);
    EXPECT_EQ(tool_action(r, CMD_SHOW_STRESSES)->toolTip().toStdString(), "Hide stresses");
    EXPECT_EQ(r.menu.find(CMD_SHOW_STRESSES)->text, "&Hide Stresses");
    EXPECT_TRUE(tool_action(r, CMD_SHOW_STRESSES)->isChecked());

    // Again: off, and the legend goes.
    tool_action(r, CMD_SHOW_STRESSES)->trigger();
    ASSERT_TRUE(wait_for([] { return !stress_colouring().stresses; }));
    EXPECT_EQ(legend_ramp_pixels(graphics_picture()), 0);
    EXPECT_EQ(tool_action(r, CMD_SHOW_STRESSES)->toolTip().toStdString(), "Show stresses");
}

TEST_F(ResultsOnViews, GraphicsPopupOffersTheColouringAndTheShapesOfTheResultShown)
{
    open_sample_results("Sorted stresses");
    // The sorted stresses: the colouring items first, Thresholds in the line view.
    std::vector<std::string> items = graphics_popup();
    ASSERT_GE(items.size(), 4u);
    EXPECT_EQ(items[0], "&Show Stresses");
    EXPECT_EQ(items[1], "Show Stress &Ratios");
    EXPECT_EQ(items[2], "&Thresholds...");
    EXPECT_EQ(items[3], "&Viewpoint...");

    // Chosen there, the ratios colour the view; the popup then offers hiding.
    graphics_popup("Show Stress &Ratios");
    ASSERT_TRUE(wait_for([] { return stress_colouring().ratios; }));
    EXPECT_GT(legend_ramp_pixels(graphics_picture()), 20 * 150);
    items = graphics_popup();
    EXPECT_TRUE(contains(items, "&Show Stresses"));
    EXPECT_TRUE(contains(items, "&Hide Stress Ratios"));
    EXPECT_FALSE(contains(items, "&Thresholds..."));   // the shaded view has no marks to limit

    // The displacements: the shape items; the deflected shape chosen there.
    show(RESULT_DISPLACEMENTS);
    items = graphics_popup();
    EXPECT_FALSE(contains(items, "&Show Stresses"));
    EXPECT_TRUE(contains(items, "&Show deflected shape\t Ctrl+D"));
    EXPECT_TRUE(contains(items, "&Show animated deflected shape\t Ctrl+Shift+A"));
    EXPECT_FALSE(contains(items, "&Magnification..."));
    graphics_popup("&Show deflected shape");
    ASSERT_TRUE(wait_for([] { return shape_state().deflected_shape_shown; }));
    items = graphics_popup();
    EXPECT_TRUE(contains(items, "&Hide Deflected Shape\t Ctrl+D"));
    EXPECT_TRUE(contains(items, "&Magnification..."));
    EXPECT_FALSE(contains(items, "Next Mode"));
}

// ---- Item: the colours follow the stress kind shown ------------------------------------------

TEST_F(ResultsOnViews, RatioColoursFollowTheStressKindOfFirstLevelChecks)
{
    open_sample_results("Sorted stresses");
    QImage expansion, sustained;
    std::vector<StressRow> expansion_rows, sustained_rows;
    int step = 0;
    answers().dialogs["CHECKSTRESS_DIALOG"] = [&](QDialog* d) {
        settle(200);
        if (step == 0) {   // it opens on the expansion stresses
            expansion = graphics_picture();
            expansion_rows = current_sorted_stresses();
            dialog_button(d, 1401)->click();   // Sustained Stress
        } else if (step == 1) {
            sustained = graphics_picture();
            sustained_rows = current_sorted_stresses();
            d->reject();
        }
        ++step;
    };
    frame_command(results_frame(), CMD_FIRST_LEVEL_CHECKS);
    ASSERT_EQ(step, 2);
    ASSERT_FALSE(expansion_rows.empty());
    ASSERT_FALSE(sustained_rows.empty());

    // What each picture should show: the mean ratio of the checked rows of
    // its kind (a coarse measure of the colours, each element end alike).
    auto mean_ratio = [](const std::vector<StressRow>& rows) {
        double sum = 0.0;
        int n = 0;
        for (const StressRow& row : rows)
            if (row.checked) {
                sum += row.percent() / 100.0;
                ++n;
            }
        return n > 0 ? sum / n : 0.0;
    };
    const double expected_expansion = mean_ratio(expansion_rows), expected_sustained = mean_ratio(sustained_rows);
    ASSERT_GT(std::fabs(expected_expansion - expected_sustained), 0.03);

    const RampStats e = ramp_stats(expansion), s = ramp_stats(sustained);
    ASSERT_GT(e.pixels, 2000);
    ASSERT_GT(s.pixels, 2000);
    // The pictures differ, and their colours lean the way the kinds' ratios do.
    long differing = 0;
    for (int y = 0; y < expansion.height(); ++y)
        for (int x = 0; x < expansion.width(); ++x)
            differing += differs(expansion.pixel(x, y), sustained.pixel(x, y), 24) ? 1 : 0;
    EXPECT_GT(differing, e.pixels / 5);
    EXPECT_EQ(e.mean > s.mean, expected_expansion > expected_sustained)
        << "picture means " << e.mean << " and " << s.mean << ", rows " << expected_expansion << " and "
        << expected_sustained;
    EXPECT_NE(e.high_share, s.high_share);
    // Both show the ratio legend (0 to 100 %).
    EXPECT_GT(legend_ramp_pixels(expansion), 20 * 150);
    EXPECT_GT(legend_ramp_pixels(sustained), 20 * 150);
    EXPECT_DOUBLE_EQ(color_scale_min(), 0.0);
    EXPECT_DOUBLE_EQ(color_scale_max(), 1.0);
}

// ---- Item: a deflected shape after a stress check is drawn ----------------------------------

TEST_F(ResultsOnViews, DeflectedShapeChosenAfterAStressCheckIsDrawnAndKeepsItsTitle)
{
    open_sample_results("Sorted stresses");
    int step = 0;
    bool shaded_before = false;
    answers().dialogs["CHECKSTRESS_DIALOG"] = [&](QDialog* d) {
        settle(200);
        if (step == 0) {   // the expansion stresses in colour, shaded
            shaded_before = graphics_settings().render_mode;
            dialog_button(d, 1404)->click();   // Sustained Deflected Shape
        } else {
            d->reject();
        }
        ++step;
    };
    frame_command(results_frame(), CMD_FIRST_LEVEL_CHECKS);
    ASSERT_GE(step, 2);
    EXPECT_TRUE(shaded_before);
    // The line view with the shape: the shape pen's green on the black background.
    EXPECT_FALSE(graphics_settings().render_mode);
    EXPECT_TRUE(shape_state().deflected_shape_shown);
    const QImage picture = graphics_picture();
    long shape_pixels = 0;
    for (int y = 0; y < picture.height(); ++y)
        for (int x = 0; x < picture.width(); ++x) {
            const QRgb p = picture.pixel(x, y);
            shape_pixels += qGreen(p) > 200 && qRed(p) < 60 && qBlue(p) < 60 ? 1 : 0;
        }
    EXPECT_GT(shape_pixels, 300);
    const std::string title = "Deflected shape: Sustained (W+P)";
    EXPECT_EQ(frame_title(graphics_frame()).find("Korvane - " + title), 0u) << frame_title(graphics_frame());

    // The graphics window brought up again (the result chooser does) keeps the title.
    answers().dialogs[RESULT_CHOOSERS] = [](QDialog* d) { d->reject(); };
    frame_command(results_frame(), CMD_RESULTS);
    settle();
    EXPECT_TRUE(shape_state().deflected_shape_shown);
    EXPECT_EQ(frame_title(graphics_frame()).find("Korvane - " + title), 0u) << frame_title(graphics_frame());
}

// ---- Item: the first view shows the whole model ---------------------------------------------

// Every node of the model lies inside the client, and the picture's ink
// spans a good part of it.
void expect_whole_model_in_view()
{
    const GraphicsViewState& g = graphics_view();
    ASSERT_GT(g.client_width, 200);
    ASSERT_GT(g.client_height, 150);
    const Model& m = model();
    ASSERT_GT(m.numnodes(), 2);
    for (int n = 1; n <= m.numnodes(); ++n) {
        double px = 0.0, py = 0.0;
        view_to_client(m.nodes[n].sx, m.nodes[n].sy, px, py);
        EXPECT_TRUE(px >= 0.0 && px < g.client_width && py >= 0.0 && py < g.client_height)
            << "node " << node_text(m.nodes[n].number) << " at " << px << ", " << py;
    }
    const QImage picture = graphics_picture();
    ASSERT_FALSE(picture.isNull());
    const PictureStats s = picture_stats(picture, qRgb(0, 0, 0));
    EXPECT_GT(s.bottom - s.top, picture.height() / 2);
}

TEST_F(ResultsOnViews, FirstViewAfterOpenAndAfterImportHoldsEveryNode)
{
    // Open: the graphics window was never shown before the user asks for it.
    copy_sample();
    EXPECT_FALSE(frame_is_visible(graphics_frame()));
    open_by_extension((folder / "piping.mod").string());
    settle();
    frame_command(main_frame(), CMD_GRAPHICS);
    ASSERT_TRUE(wait_graphics_shown());
    expect_whole_model_in_view();

    // Hidden again, a model imported in the open one's place (as File >
    // Import does), then shown.
    frame_command(graphics_frame(), CMD_EXIT);
    ASSERT_TRUE(wait_for([] { return !frame_is_visible(graphics_frame()); }));
    close_model();
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    settle();
    frame_command(main_frame(), CMD_GRAPHICS);
    ASSERT_TRUE(wait_graphics_shown());
    expect_whole_model_in_view();
}

TEST_F(ResultsOnViews, FirstRunShowsTheWholeSample)
{
    ASSERT_EQ(fs::path(model_file_path()).filename(), "sample.mod");
    frame_command(main_frame(), CMD_GRAPHICS);
    ASSERT_TRUE(wait_graphics_shown());
    expect_whole_model_in_view();
}

// ---- Item: texts that can be read ----------------------------------------------------------------

TEST_F(ResultsOnViews, ChooserEntriesReadWithoutAmpersandsAndTheShowDialogsLabelsAreWhole)
{
    const std::vector<std::string> entries = open_sample_results("Displacements");
    ASSERT_FALSE(entries.empty());
    EXPECT_EQ(entries.front(), "Sorted stresses");
    for (const std::string& e : entries)
        EXPECT_EQ(e.find('&'), std::string::npos) << e;
    EXPECT_EQ(current_result(), RESULT_DISPLACEMENTS);
    frame_command(results_frame(), CMD_INPUT);
    settle();

    // The Show dialog of a model with every support kind: each label whole,
    // no two boxes over each other, all inside the dialog. The model takes
    // the sample's place, as File > Import does.
    close_model();
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/tests/data/graphics/graphics_model.mbf");
    frame_command(main_frame(), CMD_GRAPHICS);
    settle();
    int boxes = 0;
    answers().dialogs["SHOW_33_DIALOG"] = [&](QDialog* d) {
        settle(100);
        std::vector<QRect> taken;
        for (QCheckBox* box : d->findChildren<QCheckBox*>()) {
            if (!box->isVisible())
                continue;
            ++boxes;
            const QRect r(box->mapTo(d, QPoint(0, 0)), box->size());
            EXPECT_GE(box->width(), box->sizeHint().width()) << box->text().toStdString();
            EXPECT_TRUE(d->rect().contains(r)) << box->text().toStdString();
            for (const QRect& other : taken)
                EXPECT_FALSE(other.intersects(r)) << box->text().toStdString();
            taken.push_back(r);
        }
        d->reject();
    };
    frame_command(graphics_frame(), CMD_SHOW);
    EXPECT_GE(boxes, 12);
}

TEST_F(ResultsOnViews, ToolButtonsOfTheResultsAndGraphicsWindowsCarryTheirTips)
{
    open_sample_results("Displacements");
    // Every button on show has its tip, as the windows make it for the state.
    for (const Frame* f : {&results_frame(), &graphics_frame()}) {
        auto* window = qobject_cast<QMainWindow*>(gui_backend().widget(f->window));
        ASSERT_NE(window, nullptr);
        int seen = 0;
        for (QToolBar* bar : window->findChildren<QToolBar*>()) {
            if (!bar->isVisible())
                continue;
            for (QAction* a : bar->actions()) {
                if (a->isSeparator() || !a->isVisible())
                    continue;
                ++seen;
                const int id = a->data().toInt();
                const std::string want = f == &results_frame() ? results_tooltip(id) : graphics_tool_tip(id);
                EXPECT_FALSE(a->toolTip().isEmpty()) << id;
                EXPECT_EQ(a->toolTip().toStdString(), want) << id;
            }
        }
        EXPECT_GT(seen, 8);
    }
    EXPECT_EQ(tool_action(results_frame(), CMD_SHAPE)->toolTip().toStdString(), "Show deflected shape");
    EXPECT_EQ(tool_action(results_frame(), CMD_ANIMATE)->toolTip().toStdString(), "Show animated deflected shape");

    // The windows stand side by side: a button shows its tip whether or not
    // its window is the active one (the mouse resting on it asks for it).
    for (const Frame* f : {&results_frame(), &graphics_frame(), &main_frame()})
        EXPECT_TRUE(gui_backend().widget(f->window)->testAttribute(Qt::WA_AlwaysShowToolTips));
    QAction* animate = tool_action(results_frame(), CMD_ANIMATE);
    auto* window = qobject_cast<QMainWindow*>(gui_backend().widget(results_frame().window));
    QWidget* button = nullptr;
    for (QToolBar* bar : window->findChildren<QToolBar*>())
        if (bar->isVisible())
            button = bar->widgetForAction(animate);
    ASSERT_NE(button, nullptr);
    QHelpEvent hover(QEvent::ToolTip, QPoint(4, 4), button->mapToGlobal(QPoint(4, 4)));
    QCoreApplication::sendEvent(button, &hover);
    EXPECT_TRUE(wait_for([] { return QToolTip::isVisible(); }));
    EXPECT_EQ(QToolTip::text().toStdString(), "Show animated deflected shape");
}

// ---- Item: help ------------------------------------------------------------------------------------

// The help window's page: the anchor opened and the heading at its top.
struct HelpPage {
    std::string fragment;
    std::string top;
};

HelpPage help_page_shown()
{
    QWidget* window = gui_backend().help_window();
    if (!window || !window->isVisible())
        return {};
    auto* browser = window->findChild<QTextBrowser*>();
    if (!browser)
        return {};
    // Until the browser has gone down to the page asked for (a page's
    // anchor lies below the top of the guide).
    wait_for([browser] {
        return browser->source().fragment().isEmpty() || browser->verticalScrollBar()->value() > 0;
    });
    return {browser->source().fragment().toStdString(),
            browser->cursorForPosition(QPoint(4, 4)).block().text().toStdString()};
}

void press_f1(QWidget* w)
{
    QKeyEvent press(QEvent::KeyPress, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_F1, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

// F1 in a dialog the program opens: the page the help window then shows.
HelpPage f1_in_dialog(Answers& answers, const std::string& name, const std::function<void()>& open)
{
    HelpPage page;
    answers.dialogs[name] = [&](QDialog* d) {
        settle(100);
        QWidget* focus = d->focusWidget() ? d->focusWidget() : d;
        press_f1(focus);
        page = help_page_shown();
        d->reject();
    };
    open();
    answers.dialogs.erase(name);
    return page;
}

// The guide beside the program, and a model with every element kind.
void open_every_element_kind()
{
    help_init(fs::path(KV_PROGRAM_PATH).parent_path().string());
    ASSERT_FALSE(help_path().empty());
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/tests/data/batch/every_element_kind.mbf");
    settle();
}

int first_row_of(int etype)
{
    for (int row = 1; row <= model().numrows(); ++row)
        if (model().rows[row].etype == etype)
            return row;
    return 0;
}

// F1 in a list of the list window.
HelpPage f1_in_list(const std::string& name)
{
        for (const DataList& list : data_lists())
            if (list.name == name && list.open)
                list.open();
        EXPECT_NE(list_window_table(), nullptr);
        frame_bring_to_front(list_frame());
        QWidget* view = gui_backend().widget(list_window_table()->view->window());
        EXPECT_NE(view, nullptr);
        if (!view)
            return {};
        view->activateWindow();
        view->setFocus(Qt::OtherFocusReason);
        // The focus as the window system gives it to the table.
        QFocusEvent in(QEvent::FocusIn, Qt::OtherFocusReason);
        QCoreApplication::sendEvent(view, &in);
        press_f1(view);
        return help_page_shown();
}

TEST_F(ResultsOnViews, F1InTheBendsTableAndInDialogsOpensTheirPages)
{
    open_every_element_kind();
    // The Bends table: its page, the heading at the top.
    const HelpPage bends = f1_in_list("Bends");
    EXPECT_EQ(bends.fragment, help_page_anchor("Bends"));
    EXPECT_NE(bends.top.find("Bends"), std::string::npos) << bends.top;

    // The Load Cases dialog and the element types chooser: their pages.
    const HelpPage cases =
        f1_in_dialog(answers(), "LOAD_CASES_DIALOG", [] { frame_command(main_frame(), CMD_LOAD_CASE_LIST); });
    EXPECT_EQ(cases.fragment, "LOAD_CASES_DIALOG");
    EXPECT_FALSE(cases.top.empty());
    const HelpPage types =
        f1_in_dialog(answers(), "ELEMENT_TYPES_DIALOG", [] { frame_command(main_frame(), CMD_ELEMENT_TYPES); });
    EXPECT_EQ(types.fragment, "ELEMENT_TYPES_DIALOG");

    EXPECT_TRUE(answers().messages.empty()) << answers().messages.front();
}

TEST_F(ResultsOnViews, EveryHelpContextOpensItsPageOfTheGuide)
{
    open_every_element_kind();
    // Each context the program has, at each place that has it (the tie
    // rods of one model, the bends of another under a code of each bend
    // dialog): the guide holds its anchor, and F1 there opens the help
    // window at the place's own page, its heading at the top (the two bend
    // dialogs, and the tie rod dialog and table, share a context but not a
    // page).
    struct Place {
        const char* where;
        int context;
        const char* model;   // imported first, when given
        std::function<HelpPage()> f1;
        std::string page;    // the anchor of the place's page
    };
    const std::string bends = std::string(KV_SOURCE_DIR) + "/tests/data/graphics/graphics_model.mbf";
    const std::vector<Place> places = {
        {"Tie rods table", TIE_ROD_HELP_CONTEXT, nullptr, [] { return f1_in_list("Tie rods"); },
         help_page_anchor("Tie rods")},
        {"TIE_ROD_DIALOG", TIE_ROD_HELP_CONTEXT, nullptr,
         [&] {
             return f1_in_dialog(answers(), "TIE_ROD_DIALOG", [] { edit_tie_rod(first_row_of(ET_TIE_ROD)); });
         },
         "TIE_ROD_DIALOG"},
        {"Bends table", BENDS_TABLE_HELP_CONTEXT, bends.c_str(), [] { return f1_in_list("Bends"); }, "Bends"},
        {"BEND1_DIALOG", BEND_DIALOG_HELP_CONTEXT, nullptr,
         [&] {
             piping_code() = CODE_B311;
             return f1_in_dialog(answers(), "BEND1_DIALOG", [] { edit_bend(first_row_of(ET_BEND)); });
         },
         "BEND1_DIALOG"},
        {"BEND2_DIALOG", BEND_DIALOG_HELP_CONTEXT, nullptr,
         [&] {
             piping_code() = CODE_B313;
             return f1_in_dialog(answers(), "BEND2_DIALOG", [] { edit_bend(first_row_of(ET_BEND)); });
         },
         "BEND2_DIALOG"},
    };
    // Every context the program has is walked.
    std::set<int> walked;
    for (const Place& p : places)
        walked.insert(p.context);
    EXPECT_EQ(walked, (std::set<int>{TIE_ROD_HELP_CONTEXT, BENDS_TABLE_HELP_CONTEXT, BEND_DIALOG_HELP_CONTEXT}));

    std::ifstream in(help_path(), std::ios::binary);
    const std::string guide{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    for (const Place& p : places) {
        if (p.model) {
            import_batch_file_at(p.model);
            settle();
        }
        const std::string anchor = help_anchor(p.context);
        EXPECT_NE(guide.find("<a name=\"" + anchor + "\">"), std::string::npos) << p.where;
        const HelpPage page = p.f1();
        EXPECT_EQ(page.fragment, p.page) << p.where;
        EXPECT_FALSE(page.top.empty()) << p.where;
    }
    EXPECT_TRUE(answers().messages.empty()) << answers().messages.front();
}

// Whether a window is blocked by a modal dialog (no input reaches it): the
// state Qt last told it of, from the time the watch began.
class BlockWatch : public QObject {
public:
    BlockWatch() { qApp->installEventFilter(this); }
    ~BlockWatch() override { qApp->removeEventFilter(this); }
    bool blocked(QWidget* w) const
    {
        auto it = blocked_.find(w);
        return it != blocked_.end() && it->second;
    }

protected:
    bool eventFilter(QObject* o, QEvent* e) override
    {
        if (e->type() == QEvent::WindowBlocked || e->type() == QEvent::WindowUnblocked)
            if (auto* w = qobject_cast<QWidget*>(o); w && w->isWindow())
                blocked_[w] = e->type() == QEvent::WindowBlocked;
        return false;
    }

private:
    std::map<const QWidget*, bool> blocked_;
};

// The help window over a modal dialog: shown, a dialog window of that
// dialog's (which the window manager keeps in front of it) that the dialog
// does not block; the dialog open and modal still.
void expect_help_in_front_of(QDialog* d, const BlockWatch& watch, const std::string& where)
{
    QWidget* help = gui_backend().help_window();
    ASSERT_NE(help, nullptr) << where;
    EXPECT_TRUE(help->isVisible()) << where;
    ASSERT_NE(help->windowHandle(), nullptr) << where;
    EXPECT_EQ(help->windowHandle()->transientParent(), d->windowHandle()) << where;
    EXPECT_EQ(help->windowType(), Qt::Dialog) << where;
    EXPECT_FALSE(help->isModal()) << where;
    EXPECT_FALSE(watch.blocked(help)) << where;
    EXPECT_TRUE(d->isVisible()) << where;
    EXPECT_EQ(QApplication::activeModalWidget(), d) << where;
}

TEST_F(ResultsOnViews, DialogHelpF1OnTheListOrAButtonOpensThePageInModelAndResultsMode)
{
    help_init(fs::path(KV_PROGRAM_PATH).parent_path().string());
    ASSERT_FALSE(help_path().empty());
    const BlockWatch watch;
    // F1 with the focus on the list of the Load Cases dialog, then on its
    // Add button: the dialog's page, in front of the dialog.
    auto f1_in_load_cases = [&](const std::string& mode) {
        for (const int item : {LOAD_CASES_AVAILABLE, LOAD_CASES_ADD}) {
            const std::string where = mode + ", item " + std::to_string(item);
            HelpPage page;
            bool answered = false;
            answers().dialogs["LOAD_CASES_DIALOG"] = [&](QDialog* d) {
                settle(100);
                QWidget* focus = d->findChild<QWidget*>(QStringLiteral("item_%1").arg(item));
                if (focus) {
                    focus->setFocus(Qt::TabFocusReason);
                    press_f1(focus);
                    settle(100);
                    page = help_page_shown();
                    expect_help_in_front_of(d, watch, where);
                }
                answered = focus != nullptr;
                d->reject();
            };
            frame_command(main_frame(), CMD_LOAD_CASE_LIST);
            answers().dialogs.erase("LOAD_CASES_DIALOG");
            EXPECT_TRUE(answered) << where;
            EXPECT_EQ(page.fragment, "LOAD_CASES_DIALOG") << where;
            EXPECT_NE(page.top.find("Load Cases"), std::string::npos) << where << ": " << page.top;
        }
    };
    copy_sample();
    open_by_extension((folder / "piping.mod").string());
    settle();
    f1_in_load_cases("model mode");
    // Results mode: the layout window from the results window's Window menu.
    open_sample_results("Sorted stresses");
    frame_command(results_frame(), CMD_SWITCH_LIST_LAYOUT);
    settle();
    ASSERT_TRUE(frame_is_visible(main_frame()));
    f1_in_load_cases("results mode");
    EXPECT_TRUE(answers().messages.empty()) << answers().messages.front();
}

TEST_F(ResultsOnViews, DialogHelpInFrontOfTheBendDialogFromItsHelpButtonAndUsable)
{
    open_every_element_kind();
    import_batch_file_at(std::string(KV_SOURCE_DIR) + "/tests/data/graphics/graphics_model.mbf");
    settle();
    ASSERT_NE(first_row_of(ET_BEND), 0);
    const BlockWatch watch;
    // The guide already open, from a table, behind what comes next.
    const HelpPage bends = f1_in_list("Bends");
    EXPECT_EQ(bends.fragment, help_page_anchor("Bends"));
    QWidget* help = gui_backend().help_window();
    ASSERT_NE(help, nullptr);

    bool answered = false;
    answers().dialogs["BEND1_DIALOG"] = [&](QDialog* d) {
        settle(100);
        answered = true;
        QAbstractButton* button = dialog_button(d, IDHELP);
        ASSERT_NE(button, nullptr);
        button->click();
        settle(100);
        EXPECT_EQ(help_page_shown().fragment, "BEND1_DIALOG");
        expect_help_in_front_of(d, watch, "Help button");
        d->reject();
    };
    piping_code() = CODE_B311;
    edit_bend(first_row_of(ET_BEND));
    answers().dialogs.erase("BEND1_DIALOG");
    ASSERT_TRUE(answered);
    // The dialog closed, the guide stays; asked for from a table it is a
    // window of its own again.
    settle();
    EXPECT_TRUE(help->isVisible());
    f1_in_list("Bends");
    EXPECT_TRUE(help->isVisible());
    EXPECT_EQ(help->windowType(), Qt::Window);
    EXPECT_EQ(help->windowHandle()->transientParent(), nullptr);
    EXPECT_FALSE(watch.blocked(help));
    EXPECT_TRUE(answers().messages.empty()) << answers().messages.front();
    help->close();
}

TEST_F(ResultsOnViews, HelpWindowOpensWholeOnTheScreen)
{
    open_every_element_kind();
    help(BEND_DIALOG_HELP_CONTEXT, main_frame().window);
    QWidget* window = gui_backend().help_window();
    ASSERT_NE(window, nullptr);
    ASSERT_TRUE(wait_for([window] { return window->isVisible(); }));
    const QRect room = window->screen()->availableGeometry();
    EXPECT_TRUE(wait_for([&] { return room.contains(window->frameGeometry()); }))
        << window->frameGeometry().x() << "," << window->frameGeometry().y();
    // Moved partly below the screen, the next request brings it back.
    const QPoint below(room.left() + 10, room.bottom() - 100);
    window->move(below);
    ASSERT_TRUE(wait_for([&] { return window->pos() == below; }));
    help(TIE_ROD_HELP_CONTEXT, main_frame().window);
    EXPECT_TRUE(wait_for([&] { return room.contains(window->frameGeometry()); }))
        << window->frameGeometry().x() << "," << window->frameGeometry().y();
    window->close();
}

}  // namespace
