// The graphics window's line view under Xvfb: golden pictures on both
// backgrounds, the frame with its bars, resizing, live edits from the layout
// and repaints asked for from another thread.
#include "graphics/draw2d.h"
#include "graphics/model_view.h"
#include "graphics/ui/graphics_client.h"
#include "gui/graphics_gui.h"
#include "gui/gui_dialogs.h"
#include "model/ui/layout_window.h"
#include "platform/threads.h"

#include <QKeyEvent>
#include <QMainWindow>
#include <QScrollBar>
#include <QToolBar>

#include <atomic>
#include <set>
#include <thread>

namespace {

class GraphicsView : public GraphicsGui {};

bool near(Point2 a, Point2 b)
{
    return std::abs(a.x - b.x) < 1e-3f && std::abs(a.y - b.y) < 1e-3f;
}

void send_key(QWidget* w, int qt_key, const QString& text = {})
{
    QKeyEvent press(QEvent::KeyPress, qt_key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qt_key, Qt::NoModifier, text);
    QCoreApplication::sendEvent(w, &release);
}

// Types a layout cell through key events and leaves it with Tab.
void type_cell(int row, int column, const std::string& text)
{
    QWidget* w = gui_backend().widget(layout_view().window());
    ASSERT_NE(w, nullptr);
    layout_table().current_row = row;
    layout_table().current_column = column;
    for (char ch : text) {
        int key = Qt::Key_unknown;
        if (ch >= '0' && ch <= '9')
            key = Qt::Key_0 + (ch - '0');
        else if (ch >= 'a' && ch <= 'z')
            key = Qt::Key_A + (ch - 'a');
        else if (ch >= 'A' && ch <= 'Z')
            key = Qt::Key_A + (ch - 'A');
        else if (ch == '-')
            key = Qt::Key_Minus;
        send_key(w, key, QString::fromLatin1(&ch, 1));
    }
    send_key(w, Qt::Key_Tab);
}

}  // namespace

TEST_F(GraphicsView, LineViewOnBlackMatchesItsGolden)
{
    load_model();
    show_graphics(800, 600);
    fixed_view();
    expect_golden_image("line_black.png", grab_client(), background());
}

TEST_F(GraphicsView, LineViewOnWhiteMatchesItsGolden)
{
    load_model();
    show_graphics(800, 600);
    frame_send_command(graphics_frame(), CMD_BACKGROUND_WHITE);
    fixed_view();
    expect_golden_image("line_white.png", grab_client(), background());
}

TEST_F(GraphicsView, LabelsAndTheTriadInAnotherCornerMatchTheirGolden)
{
    load_model();
    show_graphics(800, 600);
    frame_send_command(graphics_frame(), CMD_BACKGROUND_WHITE);
    frame_send_command(graphics_frame(), CMD_AXES_BOTTOM_LEFT);
    show_flags().lengths = true;
    show_flags().row_numbers = true;
    set_viewpoint(1, 2, 3);
    update_screen_positions();
    zoom_all();
    graphics_redraw();
    expect_golden_image("line_white_labels.png", grab_client(), background());
}

TEST_F(GraphicsView, PlanViewMatchesItsGolden)
{
    load_model();
    show_graphics(800, 600);
    frame_send_command(graphics_frame(), CMD_VIEW_Y);
    settle();
    EXPECT_DOUBLE_EQ(view_transform().up.z, -1);
    expect_golden_image("line_black_plan.png", grab_client(), background());
}

TEST_F(GraphicsView, TheFrameShowsItsToolBarAndScrollBarsWhole)
{
    load_model();
    show_graphics(800, 600);
    fixed_view();
    auto* frame = qobject_cast<QMainWindow*>(gui_backend().widget(graphics_frame().window));
    ASSERT_NE(frame, nullptr);
    std::optional<Image> whole = backend().grab_window(graphics_frame().window);
    ASSERT_TRUE(whole.has_value());
    const QImage picture = qimage_of(*whole);
    // The tool bar shown, its buttons painted: more than one colour in it.
    QToolBar* shown = nullptr;
    for (QToolBar* bar : frame->findChildren<QToolBar*>())
        if (bar->isVisible())
            shown = bar;
    ASSERT_NE(shown, nullptr);
    const QRect bar = shown->geometry();
    QImage strip = picture.copy(bar);
    std::set<QRgb> colours;
    for (int x = 0; x < strip.width(); ++x)
        colours.insert(strip.pixel(x, strip.height() / 2));
    EXPECT_GT(colours.size(), 4u);
    // Both scroll bars shown beside the client, not under it.
    QWidget* client = gui_backend().widget(graphics_client_window());
    const QRect area(client->mapTo(frame, QPoint(0, 0)), client->size());
    for (QScrollBar* s : frame->findChildren<QScrollBar*>()) {
        ASSERT_TRUE(s->isVisible());
        const QRect r(s->mapTo(frame, QPoint(0, 0)), s->size());
        EXPECT_FALSE(r.intersects(area));
        EXPECT_GT(r.width() * r.height(), 100);
    }
    EXPECT_EQ(frame->findChildren<QScrollBar*>().size(), 2);
    // The client's picture is the one grabbed alone.
    const QImage inner = picture.copy(area);
    const QImage alone = grab_client();
    EXPECT_EQ(inner.size(), alone.size());
    EXPECT_LT(std::abs(picture_stats(inner, background()).ink - picture_stats(alone, background()).ink), 0.002);
}

TEST_F(GraphicsView, AResizeKeepsTheModelCentredAndAnEmptyClientRaisesNothing)
{
    load_model();
    show_graphics(800, 600);
    fixed_view();
    // The model point at the middle of the client stays there; the model's
    // centroid stays where it was against it, at the new scale.
    float mx = 0, my = 0;
    client_to_view(400, 300, mx, my);
    float cx = 0, cy = 0;
    projected_centroid(cx, cy);
    const double before = view_state().scale;
    resize_client(1000, 500);
    settle();
    float nx = 0, ny = 0;
    client_to_view(500, 250, nx, ny);
    const double after = view_state().scale;
    EXPECT_NEAR(nx, mx, 1.5 / after);
    EXPECT_NEAR(ny, my, 1.5 / after);
    EXPECT_NEAR(after / before, 500.0 / 600.0, 1e-3);   // the height decides
    double px = 0, py = 0;
    view_to_client(cx, cy, px, py);
    EXPECT_NEAR(px - 500, (cx - mx) * after, 1.5);
    // A minimised window, and a client squeezed to nothing, change nothing.
    const double scale = view_state().scale;
    QWidget* top = gui_backend().widget(graphics_frame().window);
    top->showMinimized();
    ASSERT_TRUE(gui_wait_for([top] { return top->isMinimized(); }));
    settle();
    top->showNormal();
    ASSERT_TRUE(gui_wait_for([top] {
        settle();
        return !top->isMinimized() && graphics_view().client_width == 1000 && graphics_view().client_height == 500;
    }));
    EXPECT_NEAR(view_state().scale, scale, 1e-6 * scale);
    GraphicsClient& events = graphics_client_events();
    events.on_size(0, 0);
    events.on_size(0, 300);
    EXPECT_EQ(graphics_view().client_width, 1000);
    EXPECT_FALSE(grab_client().isNull());
}

TEST_F(GraphicsView, TypedRowsReachTheViewWithNoCommand)
{
    show_graphics(800, 600);
    fixed_view();
    int repaints = graphics_repaint_count();
    type_cell(1, LAYOUT_NODE, "10");
    settle();
    EXPECT_GT(graphics_repaint_count(), repaints);
    repaints = graphics_repaint_count();
    type_cell(2, LAYOUT_NODE, "20");
    type_cell(2, LAYOUT_DX, "10");
    settle();
    EXPECT_GT(graphics_repaint_count(), repaints);
    repaints = graphics_repaint_count();
    type_cell(3, LAYOUT_NODE, "30");
    {
        // The bend's dialog opens when the type is typed; it is answered OK.
        DialogAnswer answer({});
        type_cell(3, LAYOUT_TYPE, "Bend");
    }
    type_cell(3, LAYOUT_DZ, "10");
    type_cell(4, LAYOUT_NODE, "40");
    type_cell(4, LAYOUT_DY, "10");
    settle();
    EXPECT_GT(graphics_repaint_count(), repaints);
    ASSERT_EQ(numrows(), 4);
    EXPECT_EQ(model().rows[3].etype, ET_BEND);
    // What the view draws, the whole model in sight, is the built rows: each
    // element's line from its start node (a bend's leg, or its tangents while
    // its arc is not laid out).
    frame_send_command(graphics_frame(), CMD_ZOOM_ALL);
    settle();
    LineRecorder recorder({PEN_ELEMENT, PEN_FIRST});
    {
        const ViewPainterScope scope(recorder);
        graphics_view().clip_window = graphics_view().view_window;
        ASSERT_TRUE(gdi_draw_model());
    }
    int elements = 0;
    for (const LayoutRow& r : model().rows) {
        if (!r.built || !r.element || r.etype == ET_FROM)
            continue;
        ++elements;
        const Point2 a = node_view_point(r.start_node);
        const bool drawn = std::any_of(recorder.lines.begin(), recorder.lines.end(),
                                       [&](const auto& s) { return near(s.first, a); });
        EXPECT_TRUE(drawn) << "row node " << r.node;

    }
    EXPECT_EQ(elements, 3);
    // And on the screen: ink at the middle of the last pipe.
    const QImage picture = grab_client();
    const Point2 a = node_view_point(model().rows[4].start_node), b = node_view_point(model().rows[4].end_node);
    double px = 0, py = 0;
    view_to_client((a.x + b.x) / 2, (a.y + b.y) / 2, px, py);
    bool ink = false;
    for (int dx = -2; dx <= 2; ++dx)
        for (int dy = -2; dy <= 2; ++dy)
            ink = ink || differs(picture.pixel(int(px) + dx, int(py) + dy), background(), 24);
    EXPECT_TRUE(ink);
}

TEST_F(GraphicsView, ARedrawFromAWorkerPaintsOnceOnTheMainThread)
{
    load_model();
    show_graphics(800, 600);
    fixed_view();
    const std::thread::id main_thread = std::this_thread::get_id();
    // The twenty redraws come to one repaint, painted on the main thread.
    // How often the window is painted is the window system's: it paints
    // again when another test's window on the display takes the activation
    // from this one (the palette changes), so the paints are not counted.
    const int repaints = graphics_repaint_count();
    std::atomic<bool> painted{false}, elsewhere{false};
    graphics_hooks().overlays = [&] {
        painted = painted || graphics_repaint_count() == repaints + 1;
        elsewhere = elsewhere || std::this_thread::get_id() != main_thread;
    };
    std::thread worker([] {
        for (int i = 0; i < 20; ++i)
            graphics_redraw();
    });
    worker.join();
    EXPECT_TRUE(gui_wait_for([&painted] { return painted.load(); }));
    settle();
    EXPECT_EQ(graphics_repaint_count(), repaints + 1);
    EXPECT_FALSE(elsewhere.load());
    graphics_hooks().overlays = nullptr;
}
