// The view's position and what is drawn of it under Xvfb: the scroll bars,
// the keys, the wheel and the view window are one state whatever mix of them
// moves the view; drawing stays inside the client (a symbol across its edge
// is cut there, never painted over the scroll bar beside it); and Zoom All
// shows every symbol whole, as drawn. The sample model, as a user opens it.
#include "framework/ui/shell.h"
#include "graphics/draw2d.h"
#include "graphics/highlight.h"
#include "graphics/model_view.h"
#include "graphics/ui/graphics_client.h"
#include "graphics/ui/graphics_dialogs.h"
#include "graphics/ui/render_view.h"
#include "gui/graphics_gui.h"
#include "model/data_item.h"
#include "platform/printing.h"
#include "platform/qt/qt_printing.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStyle>
#include <QStyleOptionSlider>
#include <QWheelEvent>

#include <random>
#include <sstream>

namespace {

// ---- Driving the window as a user does ---------------------------------------------------

void key(QWidget* w, int qt_key)
{
    QKeyEvent press(QEvent::KeyPress, qt_key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qt_key, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

void mouse(QWidget* w, QEvent::Type type, QPoint at)
{
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(at), w->mapToGlobal(QPointF(at)), button, held, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &e);
}

void wheel(QWidget* w, int delta, Qt::KeyboardModifiers mods)
{
    const QPointF at(w->width() / 2.0, w->height() / 2.0);
    QWheelEvent e(at, w->mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton, mods, Qt::NoScrollPhase, false);
    QCoreApplication::sendEvent(w, &e);
}

// The thumb of a bar, in the bar's pixels.
QRect thumb(QScrollBar* bar)
{
    QStyleOptionSlider o;
    o.initFrom(bar);
    o.subControls = QStyle::SC_All;
    o.orientation = bar->orientation();
    o.minimum = bar->minimum();
    o.maximum = bar->maximum();
    o.sliderPosition = bar->sliderPosition();
    o.sliderValue = bar->value();
    o.singleStep = bar->singleStep();
    o.pageStep = bar->pageStep();
    return bar->style()->subControlRect(QStyle::CC_ScrollBar, &o, QStyle::SC_ScrollBarSlider, bar);
}

// A point along a bar (x on the horizontal one, y on the vertical one).
QPoint along(QScrollBar* bar, int at)
{
    return bar->orientation() == Qt::Horizontal ? QPoint(at, bar->height() / 2) : QPoint(bar->width() / 2, at);
}

int length(QScrollBar* bar)
{
    return bar->orientation() == Qt::Horizontal ? bar->width() : bar->height();
}

void click(QScrollBar* bar, int at)
{
    mouse(bar, QEvent::MouseButtonPress, along(bar, at));
    mouse(bar, QEvent::MouseButtonRelease, along(bar, at));
}

// The thumb pressed at its middle, dragged in steps to `to` and let go.
void drag_thumb(QScrollBar* bar, int to, void (*settle)())
{
    const QRect t = thumb(bar);
    const int from = bar->orientation() == Qt::Horizontal ? t.center().x() : t.center().y();
    mouse(bar, QEvent::MouseButtonPress, along(bar, from));
    for (int k = 1; k <= 6; ++k) {
        mouse(bar, QEvent::MouseMove, along(bar, from + (to - from) * k / 6));
        settle();
    }
    mouse(bar, QEvent::MouseButtonRelease, along(bar, to));
}

std::string describe()
{
    const GraphicsViewState& g = graphics_view();
    std::ostringstream out;
    out << "window x " << g.view_window.xmin << ".." << g.view_window.xmax << " y " << g.view_window.ymin << ".."
        << g.view_window.ymax << ", area x " << g.scroll_area.xmin << ".." << g.scroll_area.xmax << " y "
        << g.scroll_area.ymin << ".." << g.scroll_area.ymax << ", bars " << g.horizontal.position << "/"
        << g.horizontal.maximum << " " << g.vertical.position << "/" << g.vertical.maximum;
    return out.str();
}

class ViewStateGui : public GraphicsGui {
protected:
    void open_sample()
    {
        import_batch_file_at(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
        make_model();
        present_layout_window();
        settle();
    }
    QWidget* client() const { return gui_backend().widget(graphics_client_window()); }
    QScrollBar* bar(bool horizontal) const
    {
        return client()->window()->findChild<QScrollBar*>(horizontal ? "horizontal_scroll_bar"
                                                                     : "vertical_scroll_bar");
    }
    static void settle_now() { settle(); }

    // The bars and the view window are one state: each bar shows the
    // position, page and range the view has, and the window lies where the
    // positions put it in the scroll area (16000 units span the area; the
    // horizontal position counts from the area's left, the vertical one
    // from its top), to half a unit.
    void expect_one_state(const std::string& after) const
    {
        const GraphicsViewState& g = graphics_view();
        for (bool horizontal : {true, false}) {
            QScrollBar* b = bar(horizontal);
            const ScrollBarModel& m = horizontal ? g.horizontal : g.vertical;
            const char* name = horizontal ? "horizontal" : "vertical";
            EXPECT_EQ(b->value(), m.position) << after << ": " << name << " bar; " << describe();
            EXPECT_EQ(b->sliderPosition(), m.position) << after << ": " << name << " thumb; " << describe();
            EXPECT_EQ(b->maximum(), SCROLL_RANGE - m.page) << after << ": " << name << " range";
            EXPECT_EQ(b->pageStep(), std::max(1, m.page)) << after << ": " << name << " page";
            EXPECT_GE(m.position, 0) << after;
            EXPECT_LE(m.position, m.maximum) << after;
        }
        const double ux = SCROLL_RANGE / double(g.scroll_area.width());
        const double uy = SCROLL_RANGE / double(g.scroll_area.height());
        EXPECT_NEAR(g.view_window.xmin, g.scroll_area.xmin + g.horizontal.position / ux, 0.5 / ux + 1e-4)
            << after << ": " << describe();
        EXPECT_NEAR(g.view_window.ymax, g.scroll_area.ymax - g.vertical.position / uy, 0.5 / uy + 1e-4)
            << after << ": " << describe();
        EXPECT_FALSE(g.scroll_dragging) << after;
        EXPECT_FALSE(g.render_off_by_drag) << after;
    }

    // Draws the line view (or the rendered scene) with a border of `m`
    // pixels around the client: the ink's box in client pixels, where
    // anything beyond 0..width-1, 0..height-1 would be cut off on screen.
    static PictureStats drawn_with_border(int m)
    {
        GraphicsViewState& g = graphics_view();
        GraphicsSettings& s = graphics_settings();
        const GraphicsViewState kept = g;
        const int corner = s.axes_corner;
        s.axes_corner = 0;   // the triad keeps to its corner of the client by design
        const double scale = view_state().scale;
        ViewWindow w = g.view_window;
        w.xmin -= static_cast<float>(m / scale);
        w.xmax += static_cast<float>(m / scale);
        w.ymin -= static_cast<float>(m / scale);
        w.ymax += static_cast<float>(m / scale);
        const int width = g.client_width + 2 * m, height = g.client_height + 2 * m;
        std::optional<Image> picture;
        if (s.render_mode) {
            struct Scene final : GLEvents {
                ViewWindow window;
                int width = 0, height = 0;
                void gl_init() override { gl_setup_lights(graphics_settings().white_background); }
                void gl_paint() override { gl_draw_scene(width, height, window); }
            } scene;
            scene.window = w;
            scene.width = width;
            scene.height = height;
            picture = backend().render_gl_offscreen(width, height, scene);
        } else {
            g.view_window = w;
            g.client_width = width;
            g.client_height = height;
            g.clip_window = w;
            std::unique_ptr<Surface> image = backend().image_surface(width, height, color_scheme().background, 1.0);
            {
                ScreenDrawing drawing(*image, w);
                gdi_draw_model();
            }
            picture = backend().surface_image(*image);
        }
        g = kept;
        s.axes_corner = corner;
        EXPECT_TRUE(picture.has_value());
        PictureStats st = picture ? picture_stats(qimage_of(*picture), background()) : PictureStats{};
        st.left -= m;
        st.right -= m;
        st.top -= m;
        st.bottom -= m;
        return st;
    }

    // Nothing drawn beyond the client, and the ink at least a pixel from its edges.
    static void expect_whole(const std::string& where)
    {
        const GraphicsViewState& g = graphics_view();
        const PictureStats st = drawn_with_border(200);
        EXPECT_GT(st.ink, 0.0) << where;
        EXPECT_GE(st.left, 1) << where;
        EXPECT_GE(st.top, 1) << where;
        EXPECT_LE(st.right, g.client_width - 2) << where;
        EXPECT_LE(st.bottom, g.client_height - 2) << where;
    }

    // The layout row of the end anchor at node 60.
    static int end_anchor_row()
    {
        const Model& m = model();
        for (int row = 1; row <= m.numrows(); ++row)
            if (m.rows[row].node == 60 && m.rows[row].data)
                return row;
        return 0;
    }
};

class ScrollBarsFollowKeyPanning : public ViewStateGui {};
class ViewClipsSymbols : public ViewStateGui {};
class ZoomAllHoldsSymbols : public ViewStateGui {};

}  // namespace

// ---- The scroll bars, the keys, the wheel and the view window ----------------------------------

TEST_F(ScrollBarsFollowKeyPanning, TheReportedSequenceKeepsBarsAndPictureTogether)
{
    open_sample();
    for (const auto& [width, height] : {std::pair{800, 600}, std::pair{1400, 850}}) {
        show_graphics(width, height);
        frame_send_command(graphics_frame(), CMD_VIEW_X);
        frame_send_command(graphics_frame(), CMD_VIEW_ISO);
        settle();
        const std::string size = std::to_string(width) + "x" + std::to_string(height) + ": ";
        expect_one_state(size + "the isometric view");
        QWidget* view = client();
        for (int i = 0; i < 4; ++i)
            key(view, Qt::Key_PageUp);
        for (int i = 0; i < 5; ++i)
            key(view, Qt::Key_Right);
        for (int i = 0; i < 3; ++i)
            key(view, Qt::Key_Down);
        settle();
        expect_one_state(size + "the keys");
        const GraphicsViewState& g = graphics_view();
        QScrollBar* h = bar(true);
        // A click in the trough left of the thumb: half a page left, or to
        // the start.
        const int before = g.horizontal.position;
        click(h, thumb(h).left() - 3);
        settle();
        expect_one_state(size + "the trough");
        EXPECT_EQ(g.horizontal.position, std::max(0, before - g.horizontal.page / 2));
        // The thumb dragged past the bar's right end: the view at the area's right edge.
        drag_thumb(h, length(h) + 40, &settle_now);
        settle();
        expect_one_state(size + "the drag");
        EXPECT_EQ(g.horizontal.position, g.horizontal.maximum);
        EXPECT_NEAR(g.view_window.xmax, g.scroll_area.xmax, 1e-3 * g.scroll_area.width());
        // Five clicks on the left arrow and three Left keys: a line each, as
        // long as there is room.
        for (int i = 0; i < 8; ++i) {
            const int was = g.horizontal.position;
            const float xmin = g.view_window.xmin;
            if (i < 5)
                click(h, 4);
            else
                key(view, Qt::Key_Left);
            settle();
            expect_one_state(size + "a line left");
            EXPECT_EQ(g.horizontal.position, std::max(0, was - g.horizontal.line));
            if (was > 0) {
                EXPECT_LT(g.view_window.xmin, xmin);
            }
        }
    }
}

TEST_F(ScrollBarsFollowKeyPanning, RandomMixesOfKeysBarsAndWheelKeepOneState)
{
    open_sample();
    for (const unsigned seed : {1u, 2u, 3u, 4u}) {
        // Line and shaded views, two shapes of the client.
        show_graphics(seed % 2 ? 800 : 1300, seed % 2 ? 600 : 700);
        if ((seed > 2) != graphics_settings().render_mode)
            frame_send_command(graphics_frame(), CMD_RENDER);
        frame_send_command(graphics_frame(), CMD_ZOOM_ALL);
        settle();
        const bool render = graphics_settings().render_mode;
        std::mt19937 random(seed);
        auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        std::string last;
        for (int step = 0; step < 120 && !HasFailure(); ++step) {
            QWidget* view = client();
            QScrollBar* b = bar(pick(2) == 0);
            const GraphicsViewState before = graphics_view();
            const std::string before_text = describe();
            bool horizontal = b == bar(true);
            const ScrollBarModel& was0 = horizontal ? before.horizontal : before.vertical;
            int moves = 0;   // -1: the position must fall, +1 rise, 0: anything
            switch (pick(9)) {
            case 0: {
                static const int keys[4] = {Qt::Key_Left, Qt::Key_Right, Qt::Key_Up, Qt::Key_Down};
                const int k = pick(4);
                key(view, keys[k]);
                b = bar(k < 2);
                horizontal = k < 2;
                const ScrollBarModel& m = k < 2 ? before.horizontal : before.vertical;
                moves = (k % 2 ? 1 : -1) * ((k % 2 ? m.position < m.maximum : m.position >= 1) ? 1 : 0);
                last = "key " + std::to_string(k);
                break;
            }
            case 1:
                key(view, pick(2) ? Qt::Key_PageUp : Qt::Key_PageDown);
                last = "zoom key";
                break;
            case 2: {
                const int mods = pick(3);
                wheel(view, pick(2) ? 120 : -120,
                      mods == 0 ? Qt::NoModifier : mods == 1 ? Qt::ShiftModifier : Qt::ControlModifier);
                last = "wheel " + std::to_string(mods);
                break;
            }
            case 3:
            case 4: {
                const QRect t = thumb(b);
                const int lo = horizontal ? t.left() : t.top(), hi = horizontal ? t.right() : t.bottom();
                const bool first = pick(2) == 0;
                if (first && lo > 20) {
                    click(b, 16 + pick(lo - 18));
                    moves = was0.position >= 1 ? -1 : 0;
                } else if (!first && hi < length(b) - 20) {
                    click(b, hi + 2 + pick(length(b) - 20 - hi));
                    moves = was0.position < was0.maximum ? 1 : 0;
                }
                last = "trough";
                break;
            }
            case 5: {
                const bool first = pick(2) == 0;
                click(b, first ? 4 : length(b) - 4);
                moves = first ? (was0.position >= 1 ? -1 : 0) : (was0.position < was0.maximum ? 1 : 0);
                last = first ? "arrow back" : "arrow on";
                break;
            }
            case 6:
            case 7:
                drag_thumb(b, pick(length(b) + 80) - 40, &settle_now);
                last = "drag";
                break;
            case 8:
                // The wheel over the bar itself.
                wheel(b, pick(2) ? 120 : -120, Qt::NoModifier);
                last = "wheel over the bar";
                break;
            }
            settle();
            const std::string after = "seed " + std::to_string(seed) + " step " + std::to_string(step) + " " + last +
                                      " from " + before_text;
            expect_one_state(after);
            EXPECT_EQ(graphics_settings().render_mode, render) << after;
            const GraphicsViewState& g = graphics_view();
            const ScrollBarModel& was = horizontal ? before.horizontal : before.vertical;
            const ScrollBarModel& now = horizontal ? g.horizontal : g.vertical;
            const float moved = horizontal ? g.view_window.xmin - before.view_window.xmin
                                           : before.view_window.ymax - g.view_window.ymax;
            if (moves != 0) {
                // The view moves the way the key or bar asked; the thumb
                // with it while the scroll area stays (the area holds the
                // view, so a view beyond the model's margin takes the area
                // along, and the thumb stays at its end).
                EXPECT_GT(moved * float(moves), 0.0f) << after;
                if (g.scroll_area == before.scroll_area) {
                    EXPECT_EQ(now.position > was.position ? 1 : -1, moves) << after;
                }
            }
        }
    }
}

TEST_F(ScrollBarsFollowKeyPanning, ThePictureMovesWithTheThumb)
{
    open_sample();
    show_graphics(800, 600);
    frame_send_command(graphics_frame(), CMD_ZOOM_IN);
    frame_send_command(graphics_frame(), CMD_ZOOM_IN);
    settle();
    const QImage before = grab_client();
    const GraphicsViewState& g = graphics_view();
    const float xmin = g.view_window.xmin, ymax = g.view_window.ymax;
    QScrollBar* h = bar(true);
    QScrollBar* v = bar(false);
    click(h, thumb(h).left() - 3);
    click(v, thumb(v).bottom() + 3);
    settle();
    const QImage after = grab_client();
    // The model moved right and up on the screen by the window's shift in
    // pixels: a pixel of the picture before is found that far away after.
    const double scale = view_state().scale;
    const int dx = static_cast<int>(std::lround((xmin - g.view_window.xmin) * scale));
    const int dy = static_cast<int>(std::lround((g.view_window.ymax - ymax) * scale));
    ASSERT_GT(dx, 10);
    ASSERT_GT(std::abs(dy), 10);
    long inked = 0, found = 0;
    for (int y = 20; y < before.height() - 20; ++y)
        for (int x = 0; x < before.width() - 120; ++x) {
            if (!differs(before.pixel(x, y), background(), 48))
                continue;
            const int ax = x + dx, ay = y + dy;
            if (ax < 1 || ay < 1 || ax >= after.width() - 1 || ay >= after.height() - 1)
                continue;
            ++inked;
            bool near = false;
            for (int ox = -1; ox <= 1 && !near; ++ox)
                for (int oy = -1; oy <= 1 && !near; ++oy)
                    near = !differs(after.pixel(ax + ox, ay + oy), before.pixel(x, y), 48);
            found += near ? 1 : 0;
        }
    ASSERT_GT(inked, 500);
    EXPECT_GT(double(found) / double(inked), 0.97);
}

// ---- Drawing stays inside the client --------------------------------------------------------------

TEST_F(ViewClipsSymbols, AnAnchorAcrossTheBottomEdgeIsCutThereOnEveryPainting)
{
    open_sample();
    show_graphics(800, 600);
    settle();
    const int row = end_anchor_row();
    ASSERT_NE(row, 0);
    // The view moved down until the end anchor's node lies 2 pixels above
    // the client's bottom: half of its symbol hangs below.
    GraphicsViewState& g = graphics_view();
    const double scale = view_state().scale;
    const NodeRecord& n = model().nodes[model().rows[row].node_index];
    const float shift = static_cast<float>(n.sy - (g.view_window.ymin + 2.0 / scale));
    g.view_window.ymin += shift;
    g.view_window.ymax += shift;
    graphics_settings().view_frozen = true;   // the highlight does not move the view
    graphics_redraw();
    settle();
    const Box2D& box = model().rows[row].data->box_2d;
    ASSERT_LT(box.ymin, g.view_window.ymin);
    // The anchor highlighted: its symbol is drawn over the picture.
    highlight_data_item(row);
    settle();
    // Painted on a surface that reaches 40 pixels past the client (as the
    // frame's does, with the scroll bar there): nothing lands past the client.
    const int w = g.client_width, h = g.client_height;
    std::unique_ptr<Surface> surface = backend().image_surface(w + 40, h + 40, rgb(255, 0, 255), 1.0);
    graphics_paint(*surface, Rect{0, 0, w, h});
    const QImage painted = qimage_of(backend().surface_image(*surface));
    long beyond = 0, inside = 0;
    for (int y = 0; y < painted.height(); ++y)
        for (int x = 0; x < painted.width(); ++x) {
            const bool magenta = !differs(painted.pixel(x, y), qRgb(255, 0, 255), 8);
            if (x >= w || y >= h)
                beyond += magenta ? 0 : 1;
            else
                inside += magenta ? 1 : 0;
        }
    EXPECT_EQ(beyond, 0);
    EXPECT_EQ(inside, 0);   // the client itself is painted whole
    // On the screen the scroll bar under the view keeps its own pixels: the
    // strip of the frame's picture where the bar lies holds no ink of the
    // view's colours (the symbols' green and the highlight's).
    std::optional<Image> frame = backend().grab_window(graphics_frame().window);
    ASSERT_TRUE(frame.has_value());
    const QImage whole = qimage_of(*frame);
    QScrollBar* hb = bar(true);
    const QPoint at = hb->mapTo(client()->window(), QPoint(0, 0));
    long coloured = 0;
    for (int y = at.y(); y < at.y() + hb->height() && y < whole.height(); ++y)
        for (int x = at.x(); x < at.x() + hb->width() && x < whole.width(); ++x) {
            const QRgb p = whole.pixel(x, y);
            coloured += (qGreen(p) > 160 && qRed(p) < 100 && qBlue(p) < 100) ? 1 : 0;
        }
    EXPECT_EQ(coloured, 0);
    highlight_erase();
}

TEST_F(ViewClipsSymbols, APrintedPageKeepsItsCaptionAndThePicture)
{
    open_sample();
    show_graphics(800, 600);
    install_qt_print_service();
    graphics_hooks().plot_title = [] { return std::string("A caption over the picture"); };
    PageSetup setup;
    const std::vector<Image> pages =
        print_service().render_pages(setup, 60, [](PrintDocument& d) { print_graphics_page(d, false); });
    graphics_hooks().plot_title = nullptr;
    install_print_service(nullptr);
    ASSERT_EQ(pages.size(), 1u);
    const QImage page = qimage_of(pages[0]);
    // The caption, drawn after the picture and outside its clip, is there at
    // the page's top; the picture below it.
    long caption = 0, picture = 0;
    for (int y = 0; y < page.height(); ++y)
        for (int x = 0; x < page.width(); ++x)
            if (differs(page.pixel(x, y), qRgb(255, 255, 255), 48))
                (y < 12 ? caption : picture) += 1;
    EXPECT_GT(caption, 20);
    EXPECT_GT(picture, 200);
}

// ---- Zoom All shows every symbol whole ------------------------------------------------------------

TEST_F(ZoomAllHoldsSymbols, OnOpeningAfterMaximisingAndAfterZoomAll)
{
    open_sample();
    show_graphics(800, 600);
    // An opened model is fitted at its first paint.
    fit_view_at_first_paint();
    settle();
    expect_whole("on opening");
    const int row = end_anchor_row();
    ASSERT_NE(row, 0);
    auto anchor_inside = [row](const std::string& where) {
        const Box2D& b = model().rows[row].data->box_2d;
        const ViewWindow& w = graphics_view().view_window;
        EXPECT_TRUE(b.xmin > w.xmin && b.xmax < w.xmax && b.ymin > w.ymin && b.ymax < w.ymax) << where;
    };
    anchor_inside("on opening");
    // The window maximised on the screen (1600 by 1000 less its frame).
    resize_client(1580, 880);
    settle();
    expect_whole("maximised");
    anchor_inside("maximised");
    frame_send_command(graphics_frame(), CMD_ZOOM_ALL);
    settle();
    expect_whole("Zoom All");
    anchor_inside("Zoom All");
    // And back to a small window, in the shaded view.
    resize_client(500, 350);
    frame_send_command(graphics_frame(), CMD_RENDER);
    frame_send_command(graphics_frame(), CMD_ZOOM_ALL);
    settle();
    ASSERT_TRUE(graphics_settings().render_mode);
    expect_whole("shaded, Zoom All");
}

TEST_F(ZoomAllHoldsSymbols, AtEveryStandardViewAndClientShapeWithEverySupportKind)
{
    load_model();
    for (const auto& [width, height] : {std::pair{800, 600}, std::pair{1400, 500}, std::pair{450, 800}})
        for (const int view : {CMD_VIEW_X, CMD_VIEW_Y, CMD_VIEW_Z, CMD_VIEW_ISO}) {
            show_graphics(width, height);
            frame_send_command(graphics_frame(), view);
            frame_send_command(graphics_frame(), CMD_ZOOM_ALL);
            settle();
            expect_whole(std::to_string(width) + "x" + std::to_string(height) + " view " + std::to_string(view));
        }
    // The symbols at their largest (twice their size).
    for (int i = 0; i < 12; ++i)
        frame_send_command(graphics_frame(), CMD_SYMBOL_LARGER);
    frame_send_command(graphics_frame(), CMD_ZOOM_ALL);
    settle();
    expect_whole("the largest symbols");
}
