// Picking in the graphics window under Xvfb: a generated model of known
// geometry, clicked through the window system's mouse events at each
// element's projected middle and at each support's symbol, in the line view
// and the render view, after turning, zooming and resizing, at a doubled
// pixel ratio; and the rubber band's thresholds.
#include "gui/graphics_gui.h"
#include "model/element_data.h"
#include "model/view_drawing.h"
#include "supports/restraint.h"

#include <QMouseEvent>

#include <fstream>

namespace {

class GraphicsPick : public GraphicsGui {
protected:
    std::vector<int> opened;

    // A comb of 6 in pipes: a header along X with branches up Y every 30 in,
    // a bend at the far end, restraints (X) at the top of every other branch
    // and an anchor at the start. The pipes are many pixels thick in the
    // render view and long against the symbols, so no symbol lies over
    // another's middle.
    void comb_model()
    {
        import_batch_text_of(R"(Comb
OPTIONS
HGRA,B313
MATERIAL
A106B,0.283,0.3,1.0,1.0,CS,Carbon steel
A106B,70,29.5E6,6.07E-6,20000
PIPE
6,6.625,0.28,0,0,0,0
LAYOUT
F10,MA106B,P6,KA
T20,X2-6
T21,Y2-6
F20
T30,X2-6
T31,Y2-6,CF(1,0,0)
F30
T40,X2-6
T41,Y2-6
F40
T50,X2-6
T51,Y2-6,CF(1,0,0)
F50
T60,X2-6,KI,B9
T70,Z2-6
)");
        // Picks select; the dialogs they would open are noted, not shown.
        pick_hooks().open_element_dialog = [this](int row) {
            opened.push_back(row);
            return true;
        };
        pick_hooks().open_data_dialog = [this](int row) {
            opened.push_back(-row);
            return true;
        };
    }

    void import_batch_text_of(const std::string& text)
    {
        const std::string path = (folder / "comb.mbf").string();
        {
            std::ofstream out(path, std::ios::binary);
            out << text;
        }
        import_batch_file_at(path);
        present_layout_window();
        settle();
    }

    static QWidget* client_widget() { return gui_backend().widget(graphics_client_window()); }

    static void mouse(QEvent::Type type, Qt::MouseButton button, QPointF at)
    {
        QWidget* w = client_widget();
        QMouseEvent e(type, at, w->mapToGlobal(at), button, type == QEvent::MouseButtonRelease ? Qt::NoButton : button,
                      Qt::NoModifier);
        QCoreApplication::sendEvent(w, &e);
    }

    static void drag(QPointF from, QPointF to)
    {
        mouse(QEvent::MouseButtonPress, Qt::LeftButton, from);
        mouse(QEvent::MouseMove, Qt::LeftButton, to);
        mouse(QEvent::MouseButtonRelease, Qt::LeftButton, to);
        settle();
    }

    // The client point (logical pixels) of a view point.
    static QPointF at_view(Point2 p)
    {
        double x = 0, y = 0;
        view_to_client(p.x, p.y, x, y);
        return QPointF(x, y);
    }

    // A click at a point: the row made current, 0 when none.
    int click_at(QPointF at)
    {
        model().current_row = 0;
        drag(at, at);
        return model().current_row;
    }

    // The middle of each element's drawn line, and a point of each support
    // symbol a quarter of its box away from its node.
    struct Target {
        int row;
        QPointF at;
        bool support;
    };
    std::vector<Target> targets() const
    {
        std::vector<Target> out;
        const Model& m = model();
        for (int row = 1; row <= m.numrows(); ++row) {
            const LayoutRow& r = m.rows[row];
            if (!r.built)
                continue;
            if (r.element && r.etype != ET_FROM && r.start_node != r.end_node) {
                const Point2 a = node_view_point(r.start_node), b = node_view_point(r.end_node);
                out.push_back({row, at_view({(a.x + b.x) / 2, (a.y + b.y) / 2}), false});
            }
            // A bend's arc at its middle: the centre plus the radius along
            // the bisector of the two tangent points' directions.
            if (const BendGeometry* g = r.element ? r.element->bend_geometry() : nullptr; g && g->geometry_valid) {
                const Vec3 c{g->centre[0], g->centre[1], g->centre[2]};
                const Vec3 half = plus(minus(node_model_point(r.end_node), c), minus(node_model_point(g->far_node), c));
                const Vec3 mid = plus(c, scaled(half, g->radius / norm(half)));
                out.push_back({row, at_view(::project_point(mid)), false});
            }
            if (r.data && r.dtype != DT_NONE) {
                const Box2D& box = view_state().render_view ? r.data->box_render : r.data->box_2d;
                const Point2 node = node_view_point(r.node_index);
                const Point2 inside{node.x + 0.25f * (box.xmax - node.x), node.y + 0.25f * (box.ymax - node.y)};
                out.push_back({row, at_view(inside), true});
            }
        }
        return out;
    }

    // Every target in the client picks its row; empty space picks none.
    void expect_every_target_picks_its_row(const char* where, std::size_t least = 14)
    {
        // A pick highlights its row, which would bring a row partly out of
        // sight into view: the view is frozen while the targets are clicked.
        graphics_settings().view_frozen = true;
        std::vector<Target> all = targets();
        // Ten elements (the bend's leg and its arc), the anchor and two restraints.
        EXPECT_EQ(all.size(), 14u) << where;
        const GraphicsViewState& g = graphics_view();
        std::erase_if(all, [&g](const Target& t) {
            return t.at.x() < 2 || t.at.y() < 2 || t.at.x() > g.client_width - 2 || t.at.y() > g.client_height - 2;
        });
        EXPECT_GE(all.size(), least) << where;
        for (const Target& t : all) {
            opened.clear();
            EXPECT_EQ(click_at(t.at), t.row) << where << ": row " << t.row << (t.support ? " support" : " element")
                                             << " at " << t.at.x() << ", " << t.at.y();
            if (t.support) {
                EXPECT_EQ(opened, std::vector<int>{-t.row}) << where;
            }
        }
        // A corner away from every symbol's extent picks nothing.
        const int w = g.client_width, h = g.client_height;
        for (const QPointF corner : {QPointF(3, 3), QPointF(w - 3, 3), QPointF(3, h - 3), QPointF(w - 3, h - 3)}) {
            float x = 0, y = 0;
            client_to_view(int(corner.x()), int(corner.y()), x, y);
            const bool clear = std::none_of(model().rows.begin(), model().rows.end(), [x, y](const LayoutRow& r) {
                return r.box_2d.contains(x, y) || r.box_render.contains(x, y) ||
                       (r.data && (r.data->box_2d.contains(x, y) || r.data->box_render.contains(x, y)));
            });
            if (clear) {
                EXPECT_EQ(click_at(corner), 0) << where;
                break;
            }
        }
        graphics_settings().view_frozen = false;
    }
};

}  // namespace

TEST_F(GraphicsPick, EveryElementAndSupportPicksItsRowInTheLineView)
{
    comb_model();
    show_graphics(800, 600);
    fixed_view();
    expect_every_target_picks_its_row("line view");
}

TEST_F(GraphicsPick, EveryElementAndSupportPicksItsRowInTheRenderView)
{
    comb_model();
    show_graphics(800, 600);
    frame_send_command(graphics_frame(), CMD_RENDER);
    fixed_view();
    ASSERT_TRUE(view_state().render_view);
    expect_every_target_picks_its_row("render view");
}

TEST_F(GraphicsPick, PicksStillHitAfterTurningZoomingAndResizing)
{
    comb_model();
    show_graphics(800, 600);
    fixed_view();
    rotate_view_horizontally(5);
    rotate_view_vertically(-4);
    frame_send_command(graphics_frame(), CMD_ZOOM_ALL);
    settle();
    expect_every_target_picks_its_row("turned");
    for (int i = 0; i < 6; ++i)
        frame_send_command(graphics_frame(), CMD_ZOOM_IN);
    settle();
    expect_every_target_picks_its_row("zoomed", 8);
    resize_client(640, 700);
    settle();
    expect_every_target_picks_its_row("resized", 8);
}

TEST_F(GraphicsPick, PicksHitAtPixelRatioTwo)
{
    if (!ratio_as_wanted)
        GTEST_SKIP() << "the application runs at another pixel ratio (run this test in a process of its own)";
    comb_model();
    show_graphics(800, 600);
    fixed_view();
    EXPECT_DOUBLE_EQ(graphics_view().pixel_ratio, 2.0);
    EXPECT_EQ(graphics_view().client_width, 800);
    expect_every_target_picks_its_row("ratio 2");
    frame_send_command(graphics_frame(), CMD_RENDER);
    settle();
    expect_every_target_picks_its_row("ratio 2, render view");
}

TEST_F(GraphicsPick, TheRubberBandPicksZoomsOrDoesNothingByItsSize)
{
    comb_model();
    show_graphics(800, 600);
    fixed_view();
    const Target element = targets().front();
    const double scale = view_state().scale;
    // Under 4 by 4 pixels: a click.
    model().current_row = 0;
    drag(element.at, element.at + QPointF(3, 3));
    EXPECT_EQ(model().current_row, element.row);
    EXPECT_EQ(view_state().scale, scale);
    // 4 to 16 pixels either way: nothing.
    model().current_row = 0;
    drag(element.at, element.at + QPointF(4, 2));
    drag(element.at, element.at + QPointF(16, 40));
    EXPECT_EQ(model().current_row, 0);
    EXPECT_EQ(view_state().scale, scale);
    // 17 by 17 and more: the rectangle fills the client.
    drag(QPointF(300, 200), QPointF(400, 260));
    EXPECT_NEAR(view_state().scale, scale * std::min(800.0 / 100.0, 600.0 / 60.0), 1e-6 * scale);
}
