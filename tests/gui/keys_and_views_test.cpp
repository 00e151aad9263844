// The graphics window's keys and commands as a user meets them under Xvfb,
// the keys given as the keyboard gives them to the Qt backend.
// - KeypadAccelerators: every keypad key of every accelerator table sends
//   its command, with Num Lock on and off, while the same digit of the main
//   keyboard does not; Ctrl+Num 8 and Ctrl+Num 2 size the graphics symbols.
// - ResultsModeGreyed: a command is greyed, and its key does nothing, exactly
//   when nothing serves it: Show/Hide Selected Elements (F12) in results
//   mode, the three transparency commands in the line view.
// - HideKeepsShape: F6 and F9 with a deflected shape shown keep the shape,
//   the line view, the title and the view; the hidden element leaves the
//   picture and its shape.
// - StaleElementNeutral: in the stress colours, an element lengthened since
//   the analysis is drawn neutral grey, its neighbours keep their colours.
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/menus.h"
#include "framework/ui/shell.h"
#include "graphics/color_scale.h"
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/shapes.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/view_settings.h"
#include "graphics/view_transform.h"
#include "gui/graphics_gui.h"
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "model/elements.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "platform/keypad_keys.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QMainWindow>
#include <QMenu>
#include <QMenuBar>
#include <QTimer>

#include <chrono>
#include <cmath>
#include <filesystem>
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

void send_key(QWidget* w, int qt_key, Qt::KeyboardModifiers mods)
{
    QKeyEvent press(QEvent::KeyPress, qt_key, mods);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qt_key, mods);
    QCoreApplication::sendEvent(w, &release);
}

// A key and what it brings about.
void key(QWidget* w, int qt_key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    send_key(w, qt_key, mods);
    settle(30);
}

Qt::KeyboardModifiers qt_mods(unsigned mods)
{
    Qt::KeyboardModifiers m = Qt::NoModifier;
    if (mods & MOD_SHIFT)
        m |= Qt::ShiftModifier;
    if (mods & MOD_CONTROL)
        m |= Qt::ControlModifier;
    if (mods & MOD_ALT)
        m |= Qt::AltModifier;
    return m;
}

// The key the keypad gives for a digit with Num Lock off (X11's KP_Up for 8).
int keypad_key_without_num_lock(int digit)
{
    static constexpr int KEYS[] = {Qt::Key_Insert, Qt::Key_End,   Qt::Key_Down,  Qt::Key_PageDown, Qt::Key_Left,
                                   Qt::Key_Clear,  Qt::Key_Right, Qt::Key_Home,  Qt::Key_Up,       Qt::Key_PageUp};
    return KEYS[digit];
}

struct RecordingFrame : FrameEvents {
    std::vector<int> commands;
    void on_command(int id) override { commands.push_back(id); }
};

QMainWindow* main_window_of(const Frame& f)
{
    return qobject_cast<QMainWindow*>(gui_backend().widget(f.window));
}

// The menu item of a command as the user sees it after opening its menu.
QAction* menu_action(const Frame& f, int id)
{
    QMainWindow* w = main_window_of(f);
    if (!w)
        return nullptr;
    for (QAction* top : w->menuBar()->actions()) {
        QMenu* menu = top->menu();
        if (!menu)
            continue;
        emit menu->aboutToShow();
        for (QAction* a : menu->actions())
            if (!a->menu() && !a->isSeparator() && a->data().toInt() == id)
                return a;
    }
    return nullptr;
}

std::string graphics_title()
{
    QMainWindow* w = main_window_of(graphics_frame());
    return w ? w->windowTitle().toStdString() : std::string();
}

QWidget* graphics_client_widget()
{
    return gui_backend().widget(graphics_client_window());
}

// The layout row whose node number is `node`, 0 when none.
int row_of_node(int node)
{
    const Model& m = model();
    for (int row = 1; row <= m.numrows(); ++row)
        if (m.rows[row].node == node)
            return row;
    return 0;
}

// The analysis elements of a layout row.
std::vector<int> elements_of_row(int row)
{
    std::vector<int> out;
    for (int e = 1; e <= model().numelems(); ++e)
        if (model().elems[e].row == row)
            out.push_back(e);
    return out;
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

// A model point in client pixels: the view's own projection (the rows of its
// matrix give view x and y), then the view window onto the client.
QPoint client_pixel(const Vec3& p)
{
    const Matrix4& m = view_transform().view_matrix;
    const double x = m[0] * p.x + m[4] * p.y + m[8] * p.z + m[12];
    const double y = m[1] * p.x + m[5] * p.y + m[9] * p.z + m[13];
    const GraphicsViewState& g = graphics_view();
    const ViewWindow& w = g.view_window;
    return QPoint(static_cast<int>(std::lround((x - w.xmin) / w.width() * g.client_width)),
                  static_cast<int>(std::lround((w.ymax - y) / w.height() * g.client_height)));
}

// A pixel of the colour ramp (the coloured tubes are unlit: one channel
// full, one empty), and the neutral grey of a pipe without stress.
bool on_ramp(QRgb p)
{
    const int hi = std::max({qRed(p), qGreen(p), qBlue(p)}), lo = std::min({qRed(p), qGreen(p), qBlue(p)});
    return hi >= 250 && lo <= 5;
}

bool neutral_grey(QRgb p)
{
    return std::abs(qRed(p) - 128) <= 3 && std::abs(qGreen(p) - 128) <= 3 && std::abs(qBlue(p) - 128) <= 3;
}

class KeysViewsGui : public GuiProgramTest {
protected:
    KeysViewsGui() : GuiProgramTest("korvane_keys_views") {}
    void SetUp() override
    {
        MESA_ALLOCATIONS_KEPT;
        GuiProgramTest::SetUp();
        // Message boxes are recorded and closed, the results chooser closed;
        // any other dialog is recorded by name and cancelled.
        QObject::connect(&answers_, &QTimer::timeout, [this] {
            QWidget* modal = QApplication::activeModalWidget();
            if (close_message_box(modal, messages))
                return;
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

    void copy_sample()
    {
        const fs::path built = fs::path(KV_PROGRAM_PATH).parent_path();
        const fs::path mod = folder / "piping.mod", res = folder / "piping.res";
        fs::copy_file(built / "sample.mod", mod, fs::copy_options::overwrite_existing);
        fs::copy_file(built / "sample.res", res, fs::copy_options::overwrite_existing);
        const auto now = fs::file_time_type::clock::now();
        fs::last_write_time(mod, now);
        fs::last_write_time(res, now + std::chrono::seconds(1));
    }

    // The graphics window shown and taking the keys, as after a click into it.
    static void show_graphics()
    {
        graphics_window_show();
        ASSERT_TRUE(wait_graphics_shown());
        frame_make_current(graphics_frame());
        settle();
    }

    // The sample model opened as File > Open does, in the graphics window.
    void open_sample_model()
    {
        copy_sample();
        open_by_extension((folder / "piping.mod").string());
        settle();
        show_graphics();
    }

    // The sample's results opened, in the graphics window.
    void open_sample_results()
    {
        copy_sample();
        open_by_extension((folder / "piping.res").string());
        ASSERT_TRUE(gui_wait_for([] { return in_results(); }));
        settle();
        show_graphics();
    }

    static void show(int kind)
    {
        const auto& s = results_hooks().show[static_cast<std::size_t>(kind)];
        ASSERT_TRUE(static_cast<bool>(s)) << kind;
        s();
        settle();
    }

    QTimer answers_;
    std::vector<std::string> messages;
    std::vector<std::string> dialogs;
};

class KeypadAccelerators : public KeysViewsGui {};
class ResultsModeGreyed : public KeysViewsGui {};
class HideKeepsShape : public KeysViewsGui {};
class StaleElementNeutral : public KeysViewsGui {};

}  // namespace

// ---- Keypad keys ---------------------------------------------------------------------------------

TEST_F(KeypadAccelerators, EveryKeypadKeyOfEveryTableSendsItsCommand)
{
    QtBackend& b = gui_backend();
    RecordingFrame events;
    const WindowId f = b.create_frame("KorvaneKeypadFrame", "Keypad", &events);
    b.show_window(f, WindowPlacement::SHOW_NORMAL);
    auto* window = qobject_cast<QMainWindow*>(b.widget(f));
    ASSERT_NE(window, nullptr);
    QWidget* client = window->centralWidget();
    ASSERT_NE(client, nullptr);
    settle();
    // Each key goes to the frame with the table in use (the program's own
    // windows take the keys over when the window system activates them).
    const AcceleratorTable* in_use = nullptr;
    auto press = [&](int qt_key, Qt::KeyboardModifiers mods) {
        b.set_active_accelerators(f, in_use);
        send_key(client, qt_key, mods);
    };
    int keypad_entries = 0;
    for (const std::string& name : accelerator_resource_names()) {
        const AcceleratorTable& table = accelerator_resource(name);
        in_use = &table;
        for (const Accelerator& a : table.entries) {
            if (a.key < KEY_NUMPAD0 || a.key > KEY_NUMPAD9)
                continue;
            ++keypad_entries;
            const int digit = a.key - KEY_NUMPAD0;
            const Qt::KeyboardModifiers mods = qt_mods(a.mods);
            const std::string what = name + " keypad " + std::to_string(digit);
            // Num Lock on: the keypad's digit.
            events.commands.clear();
            press(Qt::Key_0 + digit, mods | Qt::KeypadModifier);
            EXPECT_EQ(events.commands, std::vector<int>{a.id}) << what;
            // Num Lock off: the keypad's arrow or page key stands for it.
            events.commands.clear();
            press(keypad_key_without_num_lock(digit), mods | Qt::KeypadModifier);
            EXPECT_EQ(events.commands, std::vector<int>{a.id}) << what << " without Num Lock";
            // The main keyboard's digit is another key.
            events.commands.clear();
            press(Qt::Key_0 + digit, mods);
            EXPECT_NE(events.commands, std::vector<int>{a.id}) << what << " from the main keyboard";
        }
    }
    // The graphics window's Ctrl+Num 8 and Ctrl+Num 2 at least.
    EXPECT_GE(keypad_entries, 2);
    // The keypad's arrows stay arrows where a table holds the arrow itself.
    in_use = &accelerator_resource("RESULTS_ACCEL");
    events.commands.clear();
    press(Qt::Key_Left, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_EQ(events.commands, std::vector<int>{CMD_PREVIOUS_ITEM});
    b.set_active_accelerators(0, nullptr);
    b.destroy_window(f);
    settle();
}

TEST_F(KeypadAccelerators, CtrlNumEightAndTwoSizeTheGraphicsSymbols)
{
    open_sample_model();
    QWidget* client = graphics_client_widget();
    ASSERT_NE(client, nullptr);
    set_symbol_scale(1.0f);
    const int repaints = graphics_repaint_count();
    key(client, Qt::Key_8, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_NEAR(symbol_scale(), 1.1f, 1e-6);
    key(client, Qt::Key_2, Qt::ControlModifier | Qt::KeypadModifier);
    key(client, Qt::Key_2, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_NEAR(symbol_scale(), 0.9f, 1e-6);
    // The symbols were drawn again at their new size.
    EXPECT_GT(graphics_repaint_count(), repaints);
    EXPECT_TRUE(dialogs.empty());
}

// ---- Greyed commands -----------------------------------------------------------------------------

TEST_F(ResultsModeGreyed, HideElementsInResultsAndTransparencyInTheLineView)
{
    open_sample_model();
    ASSERT_FALSE(in_results());
    const Frame& g = graphics_frame();
    QWidget* client = graphics_client_widget();
    const int row = row_of_node(35);
    ASSERT_GT(row, 0);
    model().current_row = row;
    const std::vector<int> transparency = {CMD_MAKE_TRANSPARENT, CMD_ALL_TRANSPARENT, CMD_ALL_OPAQUE};

    // Model mode, line view: the rows can be chosen, nothing is transparent.
    ASSERT_FALSE(graphics_settings().render_mode);
    ASSERT_NE(menu_action(g, CMD_HIDE_ELEMENTS), nullptr);
    EXPECT_TRUE(menu_action(g, CMD_HIDE_ELEMENTS)->isEnabled());
    for (int id : transparency) {
        ASSERT_NE(menu_action(g, id), nullptr) << id;
        EXPECT_FALSE(menu_action(g, id)->isEnabled()) << id;
    }
    key(client, Qt::Key_F7);
    key(client, Qt::Key_F10);
    for (const LayoutRow& r : model().rows)
        EXPECT_EQ(r.transparent, 0);
    EXPECT_FALSE(graphics_settings().render_mode);

    // The render view draws transparency: the commands are served.
    if (backend().opengl_available()) {
        key(client, Qt::Key_R, Qt::ControlModifier);
        ASSERT_TRUE(graphics_settings().render_mode);
        for (int id : transparency)
            EXPECT_TRUE(menu_action(g, id)->isEnabled()) << id;
        key(client, Qt::Key_F7);
        EXPECT_EQ(model().rows[row].transparent, 1);
        key(client, Qt::Key_F11);
        EXPECT_EQ(model().rows[row].transparent, 0);
        key(client, Qt::Key_R, Qt::ControlModifier);
        ASSERT_FALSE(graphics_settings().render_mode);
    }

    // Results mode: no rows can be chosen, F12 and its item do nothing.
    open_sample_results();
    ASSERT_TRUE(in_results());
    QWidget* results_client = graphics_client_widget();
    ASSERT_NE(menu_action(g, CMD_HIDE_ELEMENTS), nullptr);
    EXPECT_FALSE(menu_action(g, CMD_HIDE_ELEMENTS)->isEnabled());
    dialogs.clear();
    key(results_client, Qt::Key_F12);
    settle();
    EXPECT_TRUE(dialogs.empty()) << dialogs.front();
    for (int id : transparency)
        EXPECT_FALSE(menu_action(g, id)->isEnabled()) << id;
    // What does serve there stays enabled.
    EXPECT_TRUE(menu_action(g, CMD_HIDE_CURRENT_ELEMENT)->isEnabled());
    EXPECT_TRUE(menu_action(g, CMD_SHOW_ALL_ELEMENTS)->isEnabled());
}

// ---- Hiding with a deflected shape ---------------------------------------------------------------

TEST_F(HideKeepsShape, F6AndF9KeepTheShapeTheLineViewAndTheView)
{
    open_sample_results();
    show(RESULT_DISPLACEMENTS);
    set_results_load_case(LC_SUSTAINED);
    results_load_case_changed();
    settle();
    frame_send_command(results_frame(), CMD_SHAPE);
    settle();
    ASSERT_TRUE(shape_state().deflected_shape_shown);
    const std::string title = graphics_title();
    ASSERT_NE(title.find("Deflected shape: Sustained"), std::string::npos) << title;
    const ViewWindow view = graphics_view().view_window;
    const double scale = view_state().scale;
    const auto whole = drawn_shape();

    // The pipe from node 30 to node 35 is the current row.
    const int row = row_of_node(35);
    ASSERT_GT(row, 0);
    const std::vector<int> elements = elements_of_row(row);
    ASSERT_FALSE(elements.empty());
    std::size_t its_lines = 0;
    for (int e : elements)
        its_lines += displaced_element_points(e).size() - 1;
    model().current_row = row;

    key(graphics_client_widget(), Qt::Key_F6);
    settle();
    EXPECT_EQ(model().rows[row].shown, 0);
    EXPECT_FALSE(graphics_settings().render_mode);
    EXPECT_TRUE(shape_state().deflected_shape_shown);
    EXPECT_EQ(graphics_title(), title);
    EXPECT_EQ(graphics_view().view_window.xmin, view.xmin);
    EXPECT_EQ(graphics_view().view_window.xmax, view.xmax);
    EXPECT_EQ(graphics_view().view_window.ymin, view.ymin);
    EXPECT_EQ(graphics_view().view_window.ymax, view.ymax);
    EXPECT_EQ(view_state().scale, scale);
    // The shape without the hidden element's lines.
    EXPECT_EQ(drawn_shape().size(), whole.size() - its_lines);

    // F9 shows it again, the shape still there.
    key(graphics_client_widget(), Qt::Key_F9);
    settle();
    EXPECT_EQ(model().rows[row].shown, 1);
    EXPECT_FALSE(graphics_settings().render_mode);
    EXPECT_TRUE(shape_state().deflected_shape_shown);
    EXPECT_EQ(graphics_title(), title);
    EXPECT_EQ(drawn_shape().size(), whole.size());
    EXPECT_TRUE(dialogs.empty());
}

// ---- Stress colours of a changed element ---------------------------------------------------------

TEST_F(StaleElementNeutral, ALengthenedPipeIsGreyAndItsNeighboursKeepTheirColours)
{
    if (!backend().opengl_available())
        GTEST_SKIP() << "no OpenGL";
    open_sample_results();
    show(RESULT_SORTED_STRESSES);
    frame_send_command(results_frame(), CMD_SHOW_STRESSES);
    ASSERT_TRUE(gui_wait_for([] { return stress_colouring().stresses; }));
    settle();
    // The pipe from node 30 to node 35 (Z 4-0) and the pipe after it (node
    // 35 to 40, Z 4-0).
    const int row = row_of_node(35), next = row_of_node(40);
    ASSERT_GT(row, 0);
    ASSERT_GT(next, 0);
    const std::vector<int> changed = elements_of_row(row), neighbour = elements_of_row(next);
    ASSERT_EQ(changed.size(), 1u);
    ASSERT_EQ(neighbour.size(), 1u);

    // The pixels along the middle of an element's tube in the window now.
    auto along = [](int e) {
        std::optional<Image> shot = backend().grab_window(graphics_client_window());
        std::vector<QRgb> out;
        if (!shot)
            return out;
        const QImage picture = qimage_of(*shot);
        const Elem& el = model().elems[e];
        const NodeRecord &a = model().nodes[el.node1], &b = model().nodes[el.node2];
        for (int k = 3; k <= 7; ++k) {
            const double t = k / 10.0;
            const QPoint p = client_pixel(Vec3{a.x + t * (b.x - a.x), a.y + t * (b.y - a.y), a.z + t * (b.z - a.z)});
            if (picture.rect().contains(p))
                out.push_back(picture.pixel(p));
        }
        return out;
    };
    auto count = [](const std::vector<QRgb>& pixels, bool (*test)(QRgb)) {
        return std::count_if(pixels.begin(), pixels.end(), test);
    };
    // Before the edit both are in the ramp's colours.
    settle();
    EXPECT_GE(count(along(changed[0]), on_ramp), 4);
    EXPECT_GE(count(along(neighbour[0]), on_ramp), 4);

    // Lengthened from 4 ft to 5 ft, as typed into its DZ.
    ASSERT_NEAR(model().rows[row].dz, 48.0f, 1e-4);
    model().rows[row].dz = 60.0f;
    model_changed();
    settle();
    ASSERT_TRUE(results_elements_match_model());
    ASSERT_TRUE(results_element_changed(changed[0]));
    ASSERT_TRUE(stress_colouring().stresses);
    // Neutral grey, never the ramp's low end (0, 0, 255).
    const std::vector<QRgb> now = along(changed[0]);
    ASSERT_EQ(now.size(), 5u);
    EXPECT_GE(count(now, neutral_grey), 4);
    for (QRgb p : now)
        EXPECT_FALSE(qBlue(p) > 200 && qRed(p) < 40 && qGreen(p) < 40) << std::hex << p;
    EXPECT_GE(count(along(neighbour[0]), on_ramp), 4);
    EXPECT_TRUE(dialogs.empty());
}
