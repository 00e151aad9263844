// The results on the graphics view follow the case shown: the deflected
// shape, its animation and the mode shape are those of the load case or mode
// now current however it was chosen (the tool bar, the keys, the chooser,
// the mode tables), drawn at once with the magnification that fits them;
// and the colouring of results older than their model says so in its legend
// and on paper. The sample's results as the build made them, opened as File >
// Open does. Further, as the keys reach the window:
// - ResultsModeGreyed: a command is greyed, and its key does nothing, exactly
//   when nothing serves it: Show/Hide Selected Elements (F12) in results
//   mode, the three transparency commands in the line view.
// - HideKeepsShape: F6 and F9 with a deflected shape shown keep the shape,
//   the line view, the title and the view; the hidden element leaves the shape.
// - AnimationKeepsRows: F6 and F9 while the shape is animated keep the
//   animation running and its title; the hidden element leaves the frames.
// - HiddenRowsInResults: a row hidden in the model's view stays hidden in
//   the results (the Results command reads the model again); F6 in results
//   mode hides the row of the line the results point at (the displacement
//   table's node, the mode shape table's node), and F9 shows it again, in the
//   still and the animated deflected shape and the mode shape alike.
// - StaleElementNeutral: in the stress colours, an element lengthened since
//   the analysis is drawn neutral grey, its neighbour keeps its colour.
// - CurrentRowHidden: the layout's current row hidden with F6 in the
//   graphics window, and chosen again, leaves no trace of its highlight in
//   the picture, in either blink phase.
// - AnimationKeepsRunning: a click on a line of the displacement table
//   while the deflected shape is animated makes the line's row current and
//   leaves the animation running under its title; F6 then hides that row.
#include "analysis/results_file.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "graphics/color_scale.h"
#include "graphics/graphics_view.h"
#include "graphics/highlight.h"
#include "graphics/model_view.h"
#include "graphics/shapes.h"
#include "graphics/ui/graphics_client.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/ui/mode_shape_table.h"
#include "graphics/ui/shape_commands.h"
#include "graphics/view_settings.h"
#include "graphics/view_transform.h"
#include "gui/graphics_gui.h"
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "model/load_cases.h"
#include "model/elements.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/ui/layout_window.h"
#include "platform/headless/recording_surface.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"
#include "table_cell_point.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QMessageBox>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

void settle(int milliseconds = 150)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::milliseconds(milliseconds);
    while (std::chrono::steady_clock::now() < end)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
}

// The displaced shape as the view draws it now.
std::vector<std::pair<Point2, Point2>> drawn_shape()
{
    LineRecorder recorder({PEN_SHAPE});
    const ViewPainterScope scope(recorder);
    graphics_view().clip_window = graphics_view().view_window;
    gdi_draw_model();
    return recorder.lines;
}

// Whether a point was drawn as the end of a line, within `tolerance` view units.
bool drawn_at(const std::vector<std::pair<Point2, Point2>>& lines, Point2 p, double tolerance)
{
    for (const auto& [a, b] : lines)
        for (const Point2& q : {a, b})
            if (std::hypot(q.x - p.x, q.y - p.y) <= tolerance)
                return true;
    return false;
}

// A model point projected into the view (the view's own matrix: the rows of
// the rotation give view x and y).
Point2 projected(const Vec3& p)
{
    const Matrix4& m = view_transform().view_matrix;
    return Point2{static_cast<float>(m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12]),
                  static_cast<float>(m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13])};
}

int node_index_of(int number)
{
    const Model& m = model();
    for (int i = 1; i <= m.numnodes(); ++i)
        if (m.nodes[i].number == number)
            return i;
    return 0;
}

double number(const std::string& text)
{
    return text.empty() ? 0.0 : std::stod(text);
}

// The displacement table shown: per node number its DX, DY, DZ as the
// table writes them (inch, 4 decimals).
std::map<int, Vec3> table_translations()
{
    std::map<int, Vec3> out;
    TableWindow* t = results_table_view().table();
    if (!t)
        return out;
    for (int row = 1; row <= t->row_count; ++row) {
        const int node = t->row_node(row);
        if (node != 0)
            out[node] = Vec3{number(t->cell_text(row, 2, 0)), number(t->cell_text(row, 3, 0)),
                             number(t->cell_text(row, 4, 0))};
    }
    return out;
}

// Whether a text call of the recording wrote the text.
bool wrote(const RecordingSurface& surface, const std::string& text)
{
    for (const std::string& line : surface.lines_starting("text"))
        if (line.find("\"" + text + "\"") != std::string::npos)
            return true;
    return false;
}

std::string graphics_title()
{
    auto* w = qobject_cast<QMainWindow*>(gui_backend().widget(graphics_frame().window));
    return w ? w->windowTitle().toStdString() : std::string();
}

// A key on the graphics window as the user presses it there, and what it brings about.
void graphics_key(int qt_key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    frame_make_current(graphics_frame());
    QWidget* client = gui_backend().widget(graphics_client_window());
    QKeyEvent press(QEvent::KeyPress, qt_key, mods);
    QCoreApplication::sendEvent(client, &press);
    QKeyEvent release(QEvent::KeyRelease, qt_key, mods);
    QCoreApplication::sendEvent(client, &release);
    settle(60);
}

// Whether the graphics window's menu item of a command is enabled once its
// menu is opened (false when there is no such item).
bool graphics_item_enabled(int id)
{
    auto* w = qobject_cast<QMainWindow*>(gui_backend().widget(graphics_frame().window));
    for (QAction* top : w ? w->menuBar()->actions() : QList<QAction*>{}) {
        QMenu* menu = top->menu();
        if (!menu)
            continue;
        emit menu->aboutToShow();
        for (QAction* a : menu->actions())
            if (!a->menu() && !a->isSeparator() && a->data().toInt() == id)
                return a->isEnabled();
    }
    ADD_FAILURE() << "no menu item " << id;
    return false;
}

// The analysis elements of the layout row of a node number.
std::vector<int> elements_at_node(int number)
{
    std::vector<int> out;
    const Model& m = model();
    for (int e = 1; e <= m.numelems(); ++e)
        if (m.rows.valid(m.elems[e].row) && m.rows[m.elems[e].row].node == number)
            out.push_back(e);
    return out;
}

class ResultsCaseGui : public GuiProgramTest {
protected:
    ResultsCaseGui() : GuiProgramTest("korvane_results_case") {}
    void SetUp() override
    {
        MESA_ALLOCATIONS_KEPT;
        GuiProgramTest::SetUp();
        // The chooser that opening results brings is closed (the test shows
        // its result itself); message boxes are recorded and closed.
        QObject::connect(&answers_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (close_message_box(modal, messages))
                return;
            // Any other dialog is recorded by name and cancelled.
            if (auto* d = qobject_cast<QDialog*>(modal)) {
                if (!d->objectName().startsWith("RESULTS"))
                    dialogs.push_back(d->objectName().toStdString());
                d->reject();
            }
        });
        answers_.start(30);
    }
    void TearDown() override
    {
        answers_.stop();
        GuiProgramTest::TearDown();
    }

    // The sample and its results in the test's folder; `older`: the results
    // file a minute older than the model's.
    void open_sample_results(bool older = false)
    {
        const fs::path built = fs::path(KV_PROGRAM_PATH).parent_path();
        const fs::path mod = folder / "piping.mod", res = folder / "piping.res";
        fs::copy_file(built / "sample.mod", mod, fs::copy_options::overwrite_existing);
        fs::copy_file(built / "sample.res", res, fs::copy_options::overwrite_existing);
        // Older results are another model file's, by their fingerprint too.
        if (older)
            restamp_results_fingerprint(res.string(), sha256("another model file"));
        const auto now = fs::file_time_type::clock::now();
        fs::last_write_time(mod, now);
        fs::last_write_time(res, older ? now - std::chrono::minutes(1) : now + std::chrono::seconds(1));
        open_by_extension(res.string());
        ASSERT_TRUE(gui_wait_for([] { return in_results(); }));
        settle();
        graphics_window_show();
        ASSERT_TRUE(wait_graphics_shown());
    }

    // The sample's model and its results in the test's folder, the model
    // opened as File > Open opens it and the graphics window shown.
    void open_sample_model()
    {
        const fs::path built = fs::path(KV_PROGRAM_PATH).parent_path();
        fs::copy_file(built / "sample.mod", folder / "piping.mod", fs::copy_options::overwrite_existing);
        fs::copy_file(built / "sample.res", folder / "piping.res", fs::copy_options::overwrite_existing);
        const auto now = fs::file_time_type::clock::now();
        fs::last_write_time(folder / "piping.mod", now);
        fs::last_write_time(folder / "piping.res", now + std::chrono::seconds(1));
        open_by_extension((folder / "piping.mod").string());
        settle();
        ASSERT_FALSE(in_results());
        graphics_window_show();
        ASSERT_TRUE(wait_graphics_shown());
    }

    // The sample analysed in the test's folder with its modes too (the
    // Modal analysis case added to its cases), its results opened.
    void analysed_sample_with_modes()
    {
        const std::string failure = analyse_sample(folder, true);
        ASSERT_EQ(failure, "");
        graphics_window_show();
        ASSERT_TRUE(wait_graphics_shown());
    }

    static void show(int kind)
    {
        const auto& s = results_hooks().show[static_cast<std::size_t>(kind)];
        ASSERT_TRUE(static_cast<bool>(s)) << kind;
        s();
        settle();
    }

    // The displacements of the Sustained case shown, and its deflected shape.
    static void show_sustained_shape()
    {
        show(RESULT_DISPLACEMENTS);
        set_results_load_case(LC_SUSTAINED);
        results_load_case_changed();
        settle();
        frame_send_command(results_frame(), CMD_SHAPE);
        settle();
    }

    // The displacements of the Sustained case shown and their shape
    // animated; `title` the graphics window's title then.
    static void animate_sustained_shape(std::string& title)
    {
        show(RESULT_DISPLACEMENTS);
        set_results_load_case(LC_SUSTAINED);
        results_load_case_changed();
        settle();
        frame_send_command(results_frame(), CMD_ANIMATE);
        settle();
        ASSERT_TRUE(animation_running());
        title = graphics_title();
        ASSERT_NE(title.find("Deflected shape: Sustained"), std::string::npos) << title;
    }

    static QImage picture()
    {
        settle();
        std::optional<Image> p = backend().grab_window(graphics_client_window());
        return p ? qimage_of(*p) : QImage();
    }

    // The pixels that differ between two pictures.
    static long differing(const QImage& a, const QImage& b)
    {
        if (a.size() != b.size())
            return -1;
        long n = 0;
        for (int y = 0; y < a.height(); ++y)
            for (int x = 0; x < a.width(); ++x)
                n += differs(a.pixel(x, y), b.pixel(x, y), 24) ? 1 : 0;
        return n;
    }

    // The picture as a full repaint (a resize's) draws it now.
    static QImage repainted()
    {
        graphics_model_changed();
        return picture();
    }

    // Every node of the table is drawn where its translation from the table,
    // times the magnification the shape is drawn with, puts it; the largest
    // projected translation is drawn a twentieth of the view's width long
    // (the automatic magnification: 0.05 of the width over the largest).
    void expect_shape_of_table(const std::string& where)
    {
        const std::map<int, Vec3> table = table_translations();
        ASSERT_FALSE(table.empty()) << where;
        const auto lines = drawn_shape();
        ASSERT_FALSE(lines.empty()) << where;
        const double m = shape_state().shape_factor;
        const double width = graphics_view().view_window.width();
        double largest = 0.0;
        int checked = 0;
        for (const auto& [number, d] : table) {
            const int node = node_index_of(number);
            ASSERT_NE(node, 0) << where << " node " << number;
            const NodeRecord& n = model().nodes[node];
            const Vec3 at{n.x + m * d.x, n.y + m * d.y, n.z + m * d.z};
            // The table rounds to 0.0001 in: the drawn point may lie that
            // much times the magnification away, and a pixel more.
            const double tolerance = m * 0.0001 * std::sqrt(3.0) + 1.0 / view_state().scale;
            EXPECT_TRUE(drawn_at(lines, projected(at), tolerance)) << where << " node " << number;
            const Point2 p0 = projected(Vec3{n.x, n.y, n.z}), p1 = projected(at);
            largest = std::max(largest, double(std::hypot(p1.x - p0.x, p1.y - p0.y)));
            ++checked;
        }
        EXPECT_GT(checked, 10) << where;
        EXPECT_NEAR(largest, 0.05 * width, 0.002 * width) << where;
    }

    QTimer answers_;
    std::vector<std::string> messages;
    std::vector<std::string> dialogs;
};

class DeflectedShapeFollowsCase : public ResultsCaseGui {};
class OutOfDateLegend : public ResultsCaseGui {};
class ResultsModeGreyed : public ResultsCaseGui {};
class HideKeepsShape : public ResultsCaseGui {};
class AnimationKeepsRows : public ResultsCaseGui {};
class StaleElementNeutral : public ResultsCaseGui {};
class HiddenRowsInResults : public ResultsCaseGui {};
class CurrentRowHidden : public ResultsCaseGui {};
class AnimationKeepsRunning : public ResultsCaseGui {};

}  // namespace

TEST_F(DeflectedShapeFollowsCase, TheNextCaseButtonRedrawsTheShapeOfTheCaseShownAtOnce)
{
    open_sample_results();
    show_sustained_shape();
    ASSERT_TRUE(shape_state().deflected_shape_shown);
    EXPECT_NE(graphics_title().find("Deflected shape: Sustained"), std::string::npos) << graphics_title();
    expect_shape_of_table("Sustained");
    // Node 60 is the end anchor at the cooler's nozzle: it does not move
    // under the sustained loads (the anchor holds it).
    const std::map<int, Vec3> sustained = table_translations();
    EXPECT_EQ(sustained.at(60).y, 0.0);
    highlight_erase();
    const QImage sag = picture();

    // The tool bar's next case twice, as the user pressed it.
    frame_send_command(results_frame(), CMD_NEXT_LOAD_CASE);
    frame_send_command(results_frame(), CMD_NEXT_LOAD_CASE);
    settle();
    ASSERT_EQ(results_loadcase_code(), LC_EXPANSION_T1 + 1);   // Expansion (T2)
    EXPECT_NE(graphics_title().find("Deflected shape: Expansion (T2)"), std::string::npos) << graphics_title();
    // The anchor at node 60 is moved by the nozzle's growth given for T2 in
    // the model: DY = 0.12 in (the sample's DIS2(0,0.12,0)).
    const std::map<int, Vec3> t2 = table_translations();
    EXPECT_NEAR(t2.at(60).y, 0.12, 1e-4);
    expect_shape_of_table("Expansion (T2)");
    // Drawn at once: the picture on screen is the one a full repaint draws,
    // and it is not the sustained sag any more (the blinking mark of the
    // table's node left out of both).
    highlight_erase();
    const QImage now = picture();
    EXPECT_GT(differing(now, sag), 200);
    EXPECT_EQ(differing(now, repainted()), 0);
}

TEST_F(DeflectedShapeFollowsCase, EveryWayOfChoosingTheCaseRedrawsTheShape)
{
    open_sample_results();
    show(RESULT_DISPLACEMENTS);
    frame_send_command(results_frame(), CMD_SHAPE);
    settle();
    ASSERT_TRUE(shape_state().deflected_shape_shown);
    TableWindow* table = results_table_view().table();
    ASSERT_NE(table, nullptr);
    auto expect_current = [&](const std::string& how) {
        settle();
        const std::string name = results_loadcase_name();
        EXPECT_NE(graphics_title().find("Deflected shape: " + name), std::string::npos) << how << ": " << graphics_title();
        EXPECT_EQ(results().loaded.displacements, results_loadcase()) << how;
        expect_shape_of_table(how + " " + name);
    };
    // The Right and Left keys of the table.
    table->on_key(KEY_RIGHT, MOD_NONE);
    expect_current("Right key");
    table->on_key(KEY_LEFT, MOD_NONE);
    table->on_key(KEY_LEFT, MOD_NONE);
    expect_current("Left key");
    // The previous-case command and the Load Cases chooser.
    frame_send_command(results_frame(), CMD_PREVIOUS_LOAD_CASE);
    expect_current("previous case");
    set_results_load_case_index(results().load_case_count());
    results_load_case_changed();
    expect_current("chooser");
    // The support summary reads every case's values in turn; the shape
    // drawn stays the current case's.
    show(RESULT_SUPPORT_SUMMARY);
    show(RESULT_DISPLACEMENTS);
    expect_current("after the support summary");
}

TEST_F(DeflectedShapeFollowsCase, TheAnimationAndTheMagnificationFollowTheCase)
{
    open_sample_results();
    show(RESULT_DISPLACEMENTS);
    frame_send_command(results_frame(), CMD_ANIMATE);
    settle();
    ASSERT_TRUE(animation_running());
    EXPECT_NE(graphics_title().find("Deflected shape: " + results_loadcase_name()), std::string::npos);
    frame_send_command(results_frame(), CMD_NEXT_LOAD_CASE);
    settle();
    EXPECT_TRUE(animation_running());
    EXPECT_NE(graphics_title().find("Deflected shape: " + results_loadcase_name()), std::string::npos)
        << graphics_title();
    EXPECT_EQ(results().loaded.displacements, results_loadcase());
    animation_stop();

    // A magnification typed for a case is kept while that case is drawn
    // again; the next case's new values make it automatic again (fitted to
    // them), and Reset fits it to the case shown.
    frame_send_command(results_frame(), CMD_SHAPE);
    settle();
    magnification() = 7.0f;
    frame_send_command(results_frame(), CMD_SHAPE);   // hidden
    frame_send_command(results_frame(), CMD_SHAPE);   // shown again, the same case
    settle();
    EXPECT_FLOAT_EQ(shape_state().shape_factor, 7.0f);
    frame_send_command(results_frame(), CMD_NEXT_LOAD_CASE);
    settle();
    expect_shape_of_table("next case");
    EXPECT_FLOAT_EQ(shape_state().shape_factor, magnification());
}

TEST_F(DeflectedShapeFollowsCase, TheModeShapeFollowsTheModeChosenInTheTables)
{
    analysed_sample_with_modes();
    ASSERT_GE(results().modal.modes, 2);
    show(RESULT_MODE_SHAPES);
    frame_send_command(results_frame(), CMD_SHAPE);
    settle();
    ASSERT_TRUE(shape_state().mode_shape_shown);
    const int first = results().current_mode;
    TableWindow& modes = mode_shape_table();
    modes.on_key(KEY_RIGHT, MOD_NONE);
    settle();
    const int second = results().current_mode;
    EXPECT_NE(second, first);
    EXPECT_EQ(results().loaded.mode, second);
    const std::string title = c_format("Mode %d: %.2f Hz", second, double(results().modal.frequencies[second]));
    EXPECT_NE(graphics_title().find(title), std::string::npos) << graphics_title();
    // The drawn shape is node + magnification x the mode's values.
    const auto lines = drawn_shape();
    int checked = 0;
    for (int node = 1; node <= model().numnodes(); ++node) {
        Vec3 u, r;
        node_displacement(node, u, r);
        const NodeRecord& n = model().nodes[node];
        const double m = shape_state().shape_factor;
        if (u.x == 0.0 && u.y == 0.0 && u.z == 0.0)
            continue;
        EXPECT_TRUE(drawn_at(lines, projected(Vec3{n.x + m * u.x, n.y + m * u.y, n.z + m * u.z}),
                             1.0 / view_state().scale))
            << "node " << n.number;
        ++checked;
    }
    EXPECT_GT(checked, 5);
    // The frequencies table's rows choose the mode too.
    show(RESULT_FREQUENCIES);
    frame_send_command(results_frame(), CMD_SHAPE);
    settle();
    TableWindow* frequencies = results_table_view().table();
    ASSERT_NE(frequencies, nullptr);
    frequencies->on_key(KEY_DOWN, MOD_NONE);
    settle();
    const int third = results().current_mode;
    EXPECT_EQ(results().loaded.mode, third);
    EXPECT_NE(graphics_title().find(c_format("Mode %d:", third)), std::string::npos) << graphics_title();
}

// ---- The colour bar of results older than their model --------------------------------------

TEST_F(OutOfDateLegend, TheColourBarAndThePrintedCaptionCarryTheMark)
{
    open_sample_results(true);
    ASSERT_TRUE(results_out_of_date());
    ASSERT_FALSE(messages.empty());
    show(RESULT_SORTED_STRESSES);
    frame_send_command(results_frame(), CMD_SHOW_STRESSES);
    settle();
    ASSERT_TRUE(stress_colouring().stresses);
    // Both window titles and the legend say it.
    EXPECT_NE(graphics_title().find("(out of date)"), std::string::npos) << graphics_title();
    RecordingSurface surface(graphics_view().client_width, graphics_view().client_height);
    graphics_paint(surface, Rect{0, 0, graphics_view().client_width, graphics_view().client_height});
    const std::string mark = color_legend_mark(false);
    EXPECT_EQ(mark, "Stresses (out of date)");
    EXPECT_TRUE(wrote(surface, mark));
    // The mark lies inside the client, under the bar.
    EXPECT_NE(graphics_plot_title().find("(out of date)"), std::string::npos) << graphics_plot_title();

    // The ratios say it in their words.
    frame_send_command(results_frame(), CMD_SHOW_STRESS_RATIOS);
    settle();
    ASSERT_TRUE(stress_colouring().ratios);
    RecordingSurface ratios(graphics_view().client_width, graphics_view().client_height);
    graphics_paint(ratios, Rect{0, 0, graphics_view().client_width, graphics_view().client_height});
    EXPECT_TRUE(wrote(ratios, "Stress ratios (out of date)"));
}

TEST_F(OutOfDateLegend, ResultsAsNewAsTheModelCarryNoMark)
{
    open_sample_results(false);
    ASSERT_FALSE(results_out_of_date());
    show(RESULT_SORTED_STRESSES);
    frame_send_command(results_frame(), CMD_SHOW_STRESSES);
    settle();
    ASSERT_TRUE(stress_colouring().stresses);
    RecordingSurface surface(graphics_view().client_width, graphics_view().client_height);
    graphics_paint(surface, Rect{0, 0, graphics_view().client_width, graphics_view().client_height});
    EXPECT_FALSE(wrote(surface, color_legend_mark(false)));
    EXPECT_EQ(graphics_title().find("(out of date)"), std::string::npos);
    EXPECT_EQ(graphics_plot_title().find("(out of date)"), std::string::npos);
}

TEST_F(OutOfDateLegend, NothingOfTheResultsIsPaintedOnceAnEditChangedTheElements)
{
    open_sample_results();
    show(RESULT_SORTED_STRESSES);
    frame_send_command(results_frame(), CMD_SHOW_STRESSES);
    settle();
    ASSERT_TRUE(stress_colouring().stresses);
    ASSERT_TRUE(results_elements_match_model());
    // The model's elements as an edit leaves them: a pipe more at the end.
    // The stresses are kept by element, so they belong to no element now.
    const int index = append_layout_row();
    LayoutRow& r = model().rows[index];
    r.node = 70;
    r.etype = ET_PIPE;
    r.dx = 24.0f;
    r.create_element_object();
    make_model();
    ASSERT_FALSE(results_elements_match_model());
    graphics_model_changed();
    settle();
    EXPECT_FALSE(stress_colouring().stresses);
    EXPECT_FALSE(view_state().stress_colors);
    // No colour bar either: none of its rows (x 20 to 45) is drawn.
    RecordingSurface surface(graphics_view().client_width, graphics_view().client_height);
    graphics_paint(surface, Rect{0, 0, graphics_view().client_width, graphics_view().client_height});
    for (const std::string& line : surface.lines_starting("line"))
        EXPECT_FALSE(line.rfind("line 20 ", 0) == 0 && line.find(" 45 ") != std::string::npos) << line;
}

// ---- Greyed commands -----------------------------------------------------------------------------

TEST_F(ResultsModeGreyed, HideElementsInResultsAndTransparencyInTheLineView)
{
    open_sample_results();
    const std::vector<int> transparency = {CMD_MAKE_TRANSPARENT, CMD_ALL_TRANSPARENT, CMD_ALL_OPAQUE};
    const std::vector<int> rows_served = {CMD_HIDE_CURRENT_ELEMENT, CMD_SHOW_ALL_ELEMENTS};
    const std::vector<int> pipe = elements_at_node(35);
    ASSERT_FALSE(pipe.empty());
    const int row = model().elems[pipe.front()].row;
    model().current_row = row;

    // Results mode: no rows can be chosen, F12 and its item do nothing.
    ASSERT_TRUE(in_results());
    EXPECT_FALSE(graphics_item_enabled(CMD_HIDE_ELEMENTS));
    graphics_key(Qt::Key_F12);
    EXPECT_TRUE(dialogs.empty()) << dialogs.front();
    // The line view draws no transparency.
    ASSERT_FALSE(graphics_settings().render_mode);
    for (int id : transparency)
        EXPECT_FALSE(graphics_item_enabled(id)) << id;
    for (int id : rows_served)
        EXPECT_TRUE(graphics_item_enabled(id)) << id;
    graphics_key(Qt::Key_F7);
    graphics_key(Qt::Key_F10);
    for (const LayoutRow& r : model().rows)
        EXPECT_EQ(r.transparent, 0);
    EXPECT_FALSE(graphics_settings().render_mode);

    // The render view does: the commands are served.
    if (backend().opengl_available()) {
        graphics_key(Qt::Key_R, Qt::ControlModifier);
        ASSERT_TRUE(graphics_settings().render_mode);
        for (int id : transparency)
            EXPECT_TRUE(graphics_item_enabled(id)) << id;
        graphics_key(Qt::Key_F7);
        EXPECT_EQ(model().rows[row].transparent, 1);
        graphics_key(Qt::Key_F11);
        EXPECT_EQ(model().rows[row].transparent, 0);
        graphics_key(Qt::Key_R, Qt::ControlModifier);
    }

    // Back to the model: the rows can be chosen again.
    frame_send_command(results_frame(), CMD_INPUT);
    ASSERT_TRUE(gui_wait_for([] { return !in_results(); }));
    settle();
    EXPECT_TRUE(graphics_item_enabled(CMD_HIDE_ELEMENTS));
}

// ---- Hiding with a deflected shape ---------------------------------------------------------------

// The layout row of the element that ends at a node; 0 when none ends there.
int element_row_at_node(int number)
{
    const std::vector<int> elements = elements_at_node(number);
    return elements.empty() ? 0 : model().elems[elements.front()].row;
}

// The same made the current row.
int current_row_at_node(int number)
{
    model().current_row = element_row_at_node(number);
    return model().current_row;
}

// The lines the displaced shape of a row's elements is drawn with now.
std::size_t displaced_lines_of_row(int row)
{
    std::size_t lines = 0;
    for (int e = 1; e <= model().numelems(); ++e)
        if (model().elems[e].row == row)
            lines += displaced_element_points(e).size() - 1;
    return lines;
}

TEST_F(HideKeepsShape, F6AndF9KeepTheShapeTheLineViewAndTheView)
{
    open_sample_results();
    show_sustained_shape();
    ASSERT_TRUE(shape_state().deflected_shape_shown);
    const std::string title = graphics_title();
    ASSERT_NE(title.find("Deflected shape: Sustained"), std::string::npos) << title;
    const ViewWindow view = graphics_view().view_window;
    const double scale = view_state().scale;
    const std::size_t whole = drawn_shape().size();

    // The pipe from node 30 to node 35 is the current row.
    const int row = current_row_at_node(35);
    ASSERT_NE(row, 0);
    const std::size_t its_lines = displaced_lines_of_row(row);

    graphics_key(Qt::Key_F6);
    EXPECT_EQ(model().rows[row].shown, 0);
    EXPECT_FALSE(graphics_settings().render_mode);
    EXPECT_TRUE(shape_state().deflected_shape_shown);
    EXPECT_EQ(graphics_title(), title);
    const ViewWindow& now = graphics_view().view_window;
    EXPECT_TRUE(now.xmin == view.xmin && now.xmax == view.xmax && now.ymin == view.ymin && now.ymax == view.ymax);
    EXPECT_EQ(view_state().scale, scale);
    // The shape without the hidden element's lines.
    EXPECT_EQ(drawn_shape().size(), whole - its_lines);

    // F9 shows it again, the shape still there.
    graphics_key(Qt::Key_F9);
    EXPECT_EQ(model().rows[row].shown, 1);
    EXPECT_FALSE(graphics_settings().render_mode);
    EXPECT_TRUE(shape_state().deflected_shape_shown);
    EXPECT_EQ(graphics_title(), title);
    EXPECT_EQ(drawn_shape().size(), whole);
    EXPECT_TRUE(dialogs.empty());
}

// ---- Hiding while the shape is animated ----------------------------------------------------------

// The lines of the animation's frame as it is drawn now.
std::vector<std::pair<Point2, Point2>> animated_frame()
{
    LineRecorder recorder({PEN_ELEMENT});
    const ViewPainterScope scope(recorder);
    graphics_view().clip_window = graphics_view().view_window;
    animation_draw_frame();
    return recorder.lines;
}

TEST_F(AnimationKeepsRows, F6AndF9WhileAnimatingKeepTheAnimationWithTheRowsAsTheyAre)
{
    open_sample_results();
    std::string title;
    ASSERT_NO_FATAL_FAILURE(animate_sustained_shape(title));
    const std::size_t whole = animated_frame().size();

    // The pipe from node 30 to node 35 is the current row.
    const int row = current_row_at_node(35);
    ASSERT_NE(row, 0);
    const std::size_t its_lines = displaced_lines_of_row(row);

    // Each key: the rows as they are now, the animation going on (frames
    // drawn after the key), its title kept.
    const auto expect_animating = [&](const std::string& key, std::size_t lines) {
        EXPECT_TRUE(animation_running()) << key;
        EXPECT_EQ(graphics_title(), title) << key;
        EXPECT_EQ(animated_frame().size(), lines) << key;
        const int drawn = animation_frames_drawn();
        EXPECT_TRUE(gui_wait_for([drawn] { return animation_frames_drawn() > drawn + 3; })) << key;
    };
    graphics_key(Qt::Key_F6);
    EXPECT_EQ(model().rows[row].shown, 0);
    expect_animating("F6", whole - its_lines);
    graphics_key(Qt::Key_F9);
    EXPECT_EQ(model().rows[row].shown, 1);
    expect_animating("F9", whole);
    EXPECT_TRUE(dialogs.empty());
    animation_stop();
}

// ---- Stress colours of a changed element ---------------------------------------------------------

TEST_F(StaleElementNeutral, ALengthenedPipeIsGreyAndItsNeighbourKeepsItsColours)
{
    if (!backend().opengl_available())
        GTEST_SKIP() << "no OpenGL";
    open_sample_results();
    show(RESULT_SORTED_STRESSES);
    frame_send_command(results_frame(), CMD_SHOW_STRESSES);
    ASSERT_TRUE(gui_wait_for([] { return stress_colouring().stresses; }));
    settle();
    // The pipe from node 30 to node 35 (Z 4-0) and the one after it to node 40.
    const std::vector<int> changed = elements_at_node(35), neighbour = elements_at_node(40);
    ASSERT_EQ(changed.size(), 1u);
    ASSERT_EQ(neighbour.size(), 1u);

    // The window's pixels along the middle of an element's tube: the view's
    // projection, then the view window onto the client.
    auto along = [](int e) {
        const QImage shot = picture();
        const GraphicsViewState& g = graphics_view();
        const Elem& el = model().elems[e];
        const NodeRecord &a = model().nodes[el.node1], &b = model().nodes[el.node2];
        std::vector<QRgb> out;
        for (int k = 3; k <= 7; ++k) {
            const double t = k / 10.0;
            const Point2 p = projected(Vec3{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)});
            const QPoint at(static_cast<int>(std::lround((p.x - g.view_window.xmin) / g.view_window.width() * g.client_width)),
                            static_cast<int>(std::lround((g.view_window.ymax - p.y) / g.view_window.height() * g.client_height)));
            if (shot.rect().contains(at))
                out.push_back(shot.pixel(at));
        }
        return out;
    };
    // The tubes are unlit: a ramp colour has one channel full and one empty;
    // a pipe without stress is grey 0.5.
    auto ramp = [](const std::vector<QRgb>& pixels) {
        return std::count_if(pixels.begin(), pixels.end(), [](QRgb p) {
            return std::max({qRed(p), qGreen(p), qBlue(p)}) >= 250 && std::min({qRed(p), qGreen(p), qBlue(p)}) <= 5;
        });
    };
    auto grey = [](const std::vector<QRgb>& pixels) {
        return std::count_if(pixels.begin(), pixels.end(), [](QRgb p) {
            return std::abs(qRed(p) - 128) <= 3 && std::abs(qGreen(p) - 128) <= 3 && std::abs(qBlue(p) - 128) <= 3;
        });
    };
    EXPECT_GE(ramp(along(changed[0])), 4);
    EXPECT_GE(ramp(along(neighbour[0])), 4);

    // Lengthened from 4 ft to 5 ft, as typed into its DZ.
    LayoutRow& r = model().rows[model().elems[changed[0]].row];
    ASSERT_NEAR(r.dz, 48.0f, 1e-4);
    r.dz = 60.0f;
    model_changed();
    settle();
    ASSERT_TRUE(results_elements_match_model());
    ASSERT_TRUE(results_element_changed(changed[0]));
    ASSERT_TRUE(stress_colouring().stresses);
    // Neutral grey, never the ramp's low end (0, 0, 255).
    const std::vector<QRgb> now = along(changed[0]);
    ASSERT_EQ(now.size(), 5u);
    EXPECT_GE(grey(now), 4);
    for (QRgb p : now)
        EXPECT_FALSE(qBlue(p) > 200 && qRed(p) < 40 && qGreen(p) < 40) << std::hex << p;
    EXPECT_GE(ramp(along(neighbour[0])), 4);
}

// ---- Hidden rows in the results ------------------------------------------------------------------

namespace {

// The points inside the displaced elements of a row (their ends are the
// neighbours' too), at the magnification the shape is drawn with now.
std::vector<Point2> inner_points_of_row(int row)
{
    std::vector<Point2> out;
    for (int e = 1; e <= model().numelems(); ++e)
        if (model().elems[e].row == row) {
            const std::vector<Point2> points = displaced_element_points(e);
            for (std::size_t k = 1; k + 1 < points.size(); ++k)
                out.push_back(points[k]);
        }
    return out;
}

// How many of a row's inner points the lines reach: all of them where the
// row is drawn, none where it is hidden.
std::size_t reached(const std::vector<std::pair<Point2, Point2>>& lines, int row)
{
    std::size_t n = 0;
    for (const Point2& p : inner_points_of_row(row))
        n += drawn_at(lines, p, 1e-4) ? 1 : 0;
    return n;
}

// A key on the results window as the user presses it there.
void results_key(int qt_key)
{
    frame_make_current(results_frame());
    QWidget* window = gui_backend().widget(results_frame().window);
    QKeyEvent press(QEvent::KeyPress, qt_key, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &press);
    QKeyEvent release(QEvent::KeyRelease, qt_key, Qt::NoModifier);
    QCoreApplication::sendEvent(window, &release);
    settle(60);
}

// The line of the table shown whose node is one of a layout row's, made
// current as a click on it makes it; false when the table has none.
bool choose_line_of_row(TableWindow& t, int row)
{
    for (int line = 1; line <= t.row_count; ++line) {
        const int node = node_index_of(t.row_node(line));
        if (node != 0 && model().nodes[node].row == row) {
            table_goto_row(t, line);
            settle();
            return true;
        }
    }
    return false;
}

// The shape of the results window animated with a row hidden: no frame
// draws the row; F9 in the graphics window brings it into the frames, the
// animation going on.
void animate_until_f9_shows(int row)
{
    frame_send_command(results_frame(), CMD_ANIMATE);
    settle();
    ASSERT_TRUE(animation_running());
    EXPECT_EQ(reached(animated_frame(), row), 0u);
    graphics_key(Qt::Key_F9);
    EXPECT_EQ(model().rows[row].shown, 1);
    EXPECT_TRUE(animation_running());
    EXPECT_EQ(reached(animated_frame(), row), inner_points_of_row(row).size());
    animation_stop();
}

}  // namespace

TEST_F(HiddenRowsInResults, ARowHiddenInTheModelViewStaysHiddenInTheStillAndTheAnimatedShape)
{
    open_sample_model();
    // Pipe 25-30 (with the bend at 30) hidden in the model's view.
    const int row = current_row_at_node(30);
    ASSERT_NE(row, 0);
    ASSERT_GT(inner_points_of_row(row).size(), 0u);
    graphics_key(Qt::Key_F6);
    ASSERT_EQ(model().rows[row].shown, 0);

    // Results (Ctrl+R), the displacements of Sustained and their shape.
    frame_send_command(main_frame(), CMD_RESULTS);
    ASSERT_TRUE(gui_wait_for([] { return in_results(); }));
    settle();
    EXPECT_EQ(model().rows[row].shown, 0);
    show_sustained_shape();
    ASSERT_TRUE(shape_state().deflected_shape_shown);
    EXPECT_EQ(reached(drawn_shape(), row), 0u);

    // Animated the same, until F9; the model's view keeps it shown.
    animate_until_f9_shows(row);
    frame_send_command(results_frame(), CMD_INPUT);
    ASSERT_TRUE(gui_wait_for([] { return !in_results(); }));
    EXPECT_EQ(model().rows[row].shown, 1);
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(HiddenRowsInResults, F6InResultsModeHidesTheRowOfTheDisplacementsLine)
{
    open_sample_results();
    show(RESULT_DISPLACEMENTS);
    set_results_load_case(LC_SUSTAINED);
    results_load_case_changed();
    settle();
    const int row = element_row_at_node(30);
    ASSERT_NE(row, 0);
    ASSERT_NE(model().current_row, row);
    TableWindow* table = results_table_view().table();
    ASSERT_NE(table, nullptr);
    ASSERT_TRUE(choose_line_of_row(*table, row));

    // Animated, F2 to the graphics window and F6 there: the row leaves the
    // frames and nothing else does.
    frame_send_command(results_frame(), CMD_ANIMATE);
    settle();
    ASSERT_TRUE(animation_running());
    const std::size_t whole = animated_frame().size();
    const std::size_t inner = inner_points_of_row(row).size();
    EXPECT_EQ(reached(animated_frame(), row), inner);
    results_key(Qt::Key_F2);
    ASSERT_TRUE(animation_running());
    graphics_key(Qt::Key_F6);
    EXPECT_EQ(model().rows[row].shown, 0);
    EXPECT_TRUE(animation_running());
    const auto hidden = animated_frame();
    EXPECT_EQ(reached(hidden, row), 0u);
    EXPECT_EQ(hidden.size(), whole - displaced_lines_of_row(row));

    // The still shape too; F9 shows the row in it again.
    animation_stop();
    frame_send_command(results_frame(), CMD_SHAPE);
    settle();
    ASSERT_TRUE(shape_state().deflected_shape_shown);
    EXPECT_EQ(reached(drawn_shape(), row), 0u);
    graphics_key(Qt::Key_F9);
    EXPECT_EQ(reached(drawn_shape(), row), inner_points_of_row(row).size());

    // Hidden again in the results, it stays hidden in the model's view.
    graphics_key(Qt::Key_F6);
    EXPECT_EQ(reached(drawn_shape(), row), 0u);
    frame_send_command(results_frame(), CMD_INPUT);
    ASSERT_TRUE(gui_wait_for([] { return !in_results(); }));
    EXPECT_EQ(model().rows[row].shown, 0);
    EXPECT_TRUE(dialogs.empty());
}

TEST_F(HiddenRowsInResults, F6HidesTheRowOfTheModeShapeTableLineInTheStillAndTheAnimatedModeShape)
{
    analysed_sample_with_modes();
    ASSERT_GE(results().modal.modes, 1);
    show(RESULT_MODE_SHAPES);
    const int row = element_row_at_node(30);
    ASSERT_NE(row, 0);
    ASSERT_TRUE(choose_line_of_row(mode_shape_table(), row));
    frame_send_command(results_frame(), CMD_SHAPE);
    settle();
    ASSERT_TRUE(shape_state().mode_shape_shown);
    const std::size_t inner = inner_points_of_row(row).size();
    ASSERT_EQ(reached(drawn_shape(), row), inner);

    graphics_key(Qt::Key_F6);
    EXPECT_EQ(model().rows[row].shown, 0);
    EXPECT_TRUE(shape_state().mode_shape_shown);
    EXPECT_EQ(reached(drawn_shape(), row), 0u);

    animate_until_f9_shows(row);
    EXPECT_TRUE(dialogs.empty());
}

// ---- The current row hidden ----------------------------------------------------------------------

namespace {

// The client as it paints now with the highlight in a blink phase. The blink
// may turn the phase between setting it and the grab: the grab paints what
// is due first, so the phase read after it is the one drawn.
QImage picture_in_phase(bool phase)
{
    QImage p;
    EXPECT_TRUE(gui_wait_for([&p, phase] {
        highlight_state().phase = phase;
        backend().invalidate(graphics_client_window());
        const std::optional<Image> grabbed = backend().grab_window(graphics_client_window());
        p = grabbed ? qimage_of(*grabbed) : QImage();
        return highlight_state().phase == phase;
    }));
    return p;
}

// The client painted without the highlight, which is then as it was.
QImage picture_without_highlight()
{
    const HighlightState kept = highlight_state();
    highlight_state().kind = HIGHLIGHT_NONE;
    backend().invalidate(graphics_client_window());
    const std::optional<Image> grabbed = backend().grab_window(graphics_client_window());
    highlight_state() = kept;
    return grabbed ? qimage_of(*grabbed) : QImage();
}

// A press and release of the left button at a point of a window.
void click(QWidget* w, Point at)
{
    const QPointF p(at.x, at.y);
    QMouseEvent press(QEvent::MouseButtonPress, p, w->mapToGlobal(p), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, p, w->mapToGlobal(p), Qt::LeftButton, Qt::NoButton,
                        Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

}  // namespace

TEST_F(CurrentRowHidden, F6LeavesNoTraceOfTheCurrentRowsHighlightChosenAgainToo)
{
    open_sample_model();
    // Pipe 25-30, the layout's current row as a click in the layout makes
    // it: highlighted, it shows in the picture.
    const int row = element_row_at_node(30);
    const int other = element_row_at_node(20);
    ASSERT_NE(row, 0);
    ASSERT_NE(other, 0);
    select_layout_row(row);
    settle();
    ASSERT_EQ(highlight_state().kind, HIGHLIGHT_BEND);
    ASSERT_EQ(highlight_state().object.row, row);
    ASSERT_GT(differing(picture_in_phase(true), picture_without_highlight()), 0);

    graphics_key(Qt::Key_F6);
    ASSERT_EQ(model().rows[row].shown, 0);
    settle();
    for (const bool phase : {true, false})
        EXPECT_EQ(differing(picture_in_phase(phase), picture_without_highlight()), 0) << phase;

    // Another row, and the hidden one again.
    select_layout_row(other);
    settle();
    select_layout_row(row);
    settle();
    EXPECT_EQ(highlight_state().object.row, row);
    for (const bool phase : {true, false})
        EXPECT_EQ(differing(picture_in_phase(phase), picture_without_highlight()), 0) << phase;
    EXPECT_TRUE(dialogs.empty());
}

// ---- A click while the shape is animated -----------------------------------------------------------

TEST_F(AnimationKeepsRunning, AClickOnADisplacementLineKeepsTheAnimationAndMakesItsRowCurrent)
{
    open_sample_results();
    std::string title;
    ASSERT_NO_FATAL_FAILURE(animate_sustained_shape(title));

    // A line below the current one whose node ends an element's row.
    TableView& view = results_table_view();
    TableWindow* t = view.table();
    ASSERT_NE(t, nullptr);
    int line = 0, row = 0;
    for (int l = t->current_row + 1; l <= t->row_count && line == 0; ++l) {
        const int node = node_index_of(t->row_node(l));
        if (node != 0 && element_row_at_node(t->row_node(l)) == model().nodes[node].row) {
            line = l;
            row = model().nodes[node].row;
        }
    }
    ASSERT_NE(line, 0);
    ASSERT_NE(model().current_row, row);
    table_ensure_measured(*t);
    click(gui_backend().widget(view.window()), table_cell_point(view, line, 1));
    settle();
    EXPECT_EQ(t->current_row, line);
    EXPECT_EQ(model().current_row, row);
    EXPECT_TRUE(animation_running());
    EXPECT_EQ(graphics_title(), title);
    const int frames = animation_frames_drawn();
    EXPECT_TRUE(gui_wait_for([frames] { return animation_frames_drawn() > frames; }));

    // F6 in the graphics window hides the row clicked; the frames go on.
    results_key(Qt::Key_F2);
    graphics_key(Qt::Key_F6);
    EXPECT_EQ(model().rows[row].shown, 0);
    EXPECT_TRUE(animation_running());
    EXPECT_EQ(graphics_title(), title);
    animation_stop();
    EXPECT_TRUE(dialogs.empty());
}
