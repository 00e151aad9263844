// The 2D drawing layer: clipping, the pixel mapping of the screen device, its
// arrow heads and dots, the text sizes, the arrows of the symbols, and that
// nothing reaches the device outside the window.
#include "graphics/data/graphics_data_fixture.h"
#include "graphics/draw2d.h"
#include "graphics/recording_device.h"
#include "platform/headless/recording_surface.h"

#include <sstream>

namespace {

class Draw2DTest : public GraphicsDataTest {};

const ViewWindow UNIT{0, 0, 10, 10};

// The numbers of a recorded surface line after its word.
std::vector<int> numbers(const std::string& line)
{
    std::istringstream in(line);
    std::string word;
    in >> word;
    std::vector<int> out;
    for (std::string item; in >> item;) {
        std::istringstream part(item);
        std::string piece;
        while (std::getline(part, piece, ','))
            if (!piece.empty() && (std::isdigit(static_cast<unsigned char>(piece[0])) || piece[0] == '-'))
                out.push_back(std::stoi(piece));
    }
    return out;
}

}  // namespace

TEST_F(Draw2DTest, LinesAreCutAtTheWindowEdges)
{
    float x1 = -5, y1 = 5, x2 = 15, y2 = 5;
    ASSERT_TRUE(clip_line(UNIT, x1, y1, x2, y2));
    EXPECT_FLOAT_EQ(std::min(x1, x2), 0);
    EXPECT_FLOAT_EQ(std::max(x1, x2), 10);
    // A diagonal from (-5, -5) to (5, 15) enters at (0, 5) and leaves at (2.5, 10).
    x1 = -5, y1 = -5, x2 = 5, y2 = 15;
    ASSERT_TRUE(clip_line(UNIT, x1, y1, x2, y2));
    EXPECT_NEAR(std::min(x1, x2), 0, 1e-5);
    EXPECT_NEAR(std::min(y1, y2), 5, 1e-5);
    EXPECT_NEAR(std::max(x1, x2), 2.5, 1e-5);
    EXPECT_NEAR(std::max(y1, y2), 10, 1e-5);
    // Wholly outside (both right, or passing by a corner): nothing.
    x1 = 11, y1 = 0, x2 = 20, y2 = 5;
    EXPECT_FALSE(clip_line(UNIT, x1, y1, x2, y2));
    x1 = -3, y1 = 8, x2 = 1, y2 = 12;   // passes by the top left corner
    EXPECT_FALSE(clip_line(UNIT, x1, y1, x2, y2));
    // On the edge counts as inside; a point that is not a number is not drawn.
    x1 = 0, y1 = 0, x2 = 0, y2 = 10;
    EXPECT_TRUE(clip_line(UNIT, x1, y1, x2, y2));
    x1 = std::nanf("");
    EXPECT_FALSE(clip_line(UNIT, x1, y1, x2, y2));
}

TEST_F(Draw2DTest, BezierPointsFollowTheCubic)
{
    // A straight "curve" with evenly spread control points: t along x.
    const Point2 c[4] = {{0, 0}, {1, 0}, {2, 0}, {3, 0}};
    Point2 on[9];
    bezier_points(c, on);
    for (int k = 0; k <= 8; ++k)
        EXPECT_NEAR(on[k].x, 3 * k * 0.125, 1e-6);
    // The quarter point of (0,0) (0,1) (1,1) (1,0): (1 - t)^3 p0 + 3 (1 - t)^2 t p1 + ...
    const Point2 d[4] = {{0, 0}, {0, 1}, {1, 1}, {1, 0}};
    bezier_points(d, on);
    const double t = 0.25, u = 0.75;
    EXPECT_NEAR(on[2].x, 3 * u * t * t + t * t * t, 1e-6);
    EXPECT_NEAR(on[2].y, 3 * u * u * t + 3 * u * t * t, 1e-6);
    // A curve that leaves the window reaches the device as cut lines.
    RecordingDevice device;
    Draw2D draw(device, UNIT);
    const Point2 wide[4] = {{-5, 5}, {0, 5}, {10, 5}, {15, 5}};
    draw.bezier(wide);
    EXPECT_TRUE(device.of("bezier").empty());
    EXPECT_FALSE(device.of("line").empty());
    for (const std::string& l : device.of("line")) {
        float x1, y1, x2, y2;
        std::sscanf(l.c_str(), "line %f %f %f %f", &x1, &y1, &x2, &y2);
        EXPECT_GE(std::min(x1, x2), -1e-4);
        EXPECT_LE(std::max(x1, x2), 10 + 1e-4);
    }
    device.calls.clear();
    const Point2 inside[4] = {{1, 1}, {2, 3}, {4, 3}, {5, 1}};
    draw.bezier(inside);
    EXPECT_EQ(device.of("bezier").size(), 1u);
}

TEST_F(Draw2DTest, ScreenDeviceMapsViewUnitsToPixels)
{
    // Window x 2..10, y 1..7 at 100 pixels a unit into an 800 by 600 surface.
    RecordingSurface surface(800, 600);
    const PixelMapping mapping{ViewWindow{2, 1, 10, 7}, 100.0, 600};
    EXPECT_EQ(mapping.column(2), 0);
    EXPECT_EQ(mapping.column(2.004f), 0);   // trunc(0.4 + 0.5)
    EXPECT_EQ(mapping.column(2.006f), 1);   // trunc(0.6 + 0.5)
    EXPECT_EQ(mapping.row(1), 600);
    EXPECT_EQ(mapping.row(7), 0);
    EXPECT_EQ(mapping.column(1.0e30f), 1000000);   // far outside stays an integer
    SurfaceDevice device(surface, mapping, make_color_scheme(true));
    surface.clear();
    device.line({3, 2}, {4, 5});
    EXPECT_EQ(numbers(surface.lines().back()), (std::vector<int>{100, 500, 200, 200}));
    // A rectangle covers its right column: Rectangle(col(x1), row(y2), col(x2) + 1, row(y1)).
    device.rect({3, 2}, {4, 5});
    EXPECT_EQ(numbers(surface.lines().back()), (std::vector<int>{100, 200, 201, 500}));
    // A dot: a square of the dot size (3) from col - 1, row - 1.
    device.dot({3, 2});
    EXPECT_EQ(numbers(surface.lines().back()).size(), 4u);
    EXPECT_EQ(numbers(surface.lines().back())[0], 99);
    EXPECT_EQ(numbers(surface.lines().back())[1], 499);
    EXPECT_EQ(numbers(surface.lines().back())[2], 102);
}

TEST_F(Draw2DTest, ArrowHeadsAreTrianglesOfTheArrowSizes)
{
    // 96 dots per inch: head length 0.075 x 96 = 7.2 pixels, width 0.055 x 96 = 5.28.
    set_arrow_sizes(96);
    EXPECT_DOUBLE_EQ(view_state().arrow_head_length, 7.2);
    EXPECT_DOUBLE_EQ(view_state().arrow_head_width, 96 * 0.055);
    EXPECT_DOUBLE_EQ(view_state().triad_arrow_length, 24);
    set_drawing_scale(1.0);
    RecordingSurface surface(800, 600);
    SurfaceDevice device(surface, PixelMapping{ViewWindow{0, 0, 800, 600}, 1.0, 600}, make_color_scheme(false));
    surface.clear();
    // Pointing right at (100, 100): the base 7.2 behind, 2.64 to each side.
    device.arrow_head({100, 100}, {1, 0}, false);
    const std::vector<int> p = numbers(surface.lines().back());
    ASSERT_EQ(p.size(), 6u);
    EXPECT_EQ(p[0], 100);
    EXPECT_EQ(p[1], 500);
    EXPECT_EQ(p[2], static_cast<int>(100 - 7.2 + 0.5));
    EXPECT_EQ(p[3], 600 - static_cast<int>(100 + 2.64 + 0.5));
    // A double head: a second triangle (head length + 2) pixels further back.
    surface.clear();
    device.arrow_head({100, 100}, {1, 0}, true);
    ASSERT_EQ(surface.lines().size(), 2u);
    const std::vector<int> q = numbers(surface.lines()[1]);
    EXPECT_EQ(q[0], 100 - 9);   // trunc(9.2)
}

TEST_F(Draw2DTest, TextMarginsFollowTheFontAndTheScale)
{
    // An average width of 7 pixels: max(7 / 2 + 3, 6) = 6 pixels across; an
    // ascent of 12 with 2 of internal leading: (12 - 2) / 2 = 5 pixels up.
    set_text_metrics(7, 12, 2, 28, 15);
    set_drawing_scale(2.0);
    EXPECT_DOUBLE_EQ(view_state().text_margin_x, 3.0);
    EXPECT_DOUBLE_EQ(view_state().text_margin_y, 2.5);
    EXPECT_DOUBLE_EQ(view_state().number_width, 14.0);
    set_text_metrics(10, 12, 2, 40, 15);   // 10 / 2 + 3 = 8
    EXPECT_DOUBLE_EQ(view_state().text_margin_x, 4.0);
    // Every size follows the scale.
    set_drawing_scale(4.0);
    EXPECT_DOUBLE_EQ(view_state().symbol_sizes[0], 1.5);
    EXPECT_DOUBLE_EQ(view_state().symbol_sizes[3], 3.0);
    EXPECT_DOUBLE_EQ(view_state().element_half_width, 1.75);
    EXPECT_DOUBLE_EQ(view_state().symbol_margin, 1.0);
}

TEST_F(Draw2DTest, ArrowsOfTheSymbolsByStyle)
{
    set_drawing_scale(1.0);
    set_arrow_sizes(100);   // head length 7.5
    RecordingDevice device;
    Draw2D draw(device, ViewWindow{-100, -100, 100, 100});
    ViewPainterScope scope(draw);
    // Coinciding points draw nothing.
    draw_arrow_between(5, 5, 5, 5, 0);
    EXPECT_TRUE(device.calls.empty());
    // Any other style: the shaft to a head length short of p2, a head at p2.
    draw_arrow_between(0, 0, 30, 0, 0);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"line 0.000 0.000 22.500 0.000",
                                                      "arrow 30.000 0.000 1.000 0.000 0.000"}));
    device.calls.clear();
    // Style 1: the shaft from p2 to a head length short of p1, a head at p1 pointing there.
    draw_arrow_between(0, 0, 30, 0, 1);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"line 30.000 0.000 7.500 0.000",
                                                      "arrow 0.000 0.000 -1.000 0.000 0.000"}));
    device.calls.clear();
    // Style 2: two head lengths short, a double head.
    draw_arrow_between(0, 0, 0, 30, 2);
    EXPECT_EQ(device.calls, (std::vector<std::string>{"line 0.000 0.000 0.000 15.000",
                                                      "arrow 0.000 30.000 0.000 1.000 1.000"}));
    device.calls.clear();
    // Style 4: the whole line and a head at each end.
    draw_arrow_between(0, 0, 30, 0, 4);
    EXPECT_EQ(device.of("arrow").size(), 2u);
    // A labelled arrow along +x puts its text a margin beyond the tip.
    device.calls.clear();
    set_text_metrics(8, 12, 2, 32, 15);
    draw_labelled_arrow(0, 0, 1, 0, 40, 0, "X");
    const std::vector<std::string> texts = device.of("text");
    ASSERT_EQ(texts.size(), 1u);
    float tx = 0, ty = 0;
    std::sscanf(texts[0].c_str(), "text %f %f", &tx, &ty);
    EXPECT_NEAR(tx, 40 + view_state().text_margin_x, 1e-4);
    EXPECT_NEAR(ty, -view_state().text_margin_y, 1e-4);
    // Its extent holds the start, the tip and the label.
    Box2D box;
    labelled_arrow_add_extent(0, 0, 1, 0, 40, 0, "X", box);
    EXPECT_FLOAT_EQ(box.xmin, 0);
    EXPECT_GT(box.xmax, 40 + view_state().text_margin_x);
}

TEST_F(Draw2DTest, NothingReachesTheSurfaceOutsideTheClient)
{
    // A model ten times as large as the view: a grid of pipes 10 000 in
    // across, seen at a scale that shows a thousandth of it.
    from(10, -5000, -5000, 0);
    int node = 20;
    for (int i = 0; i < 10; ++i) {
        piped(row(node++, ET_PIPE, 10000, 0, 0));
        piped(row(node++, ET_PIPE, 0, 1000, 0));
        piped(row(node++, ET_PIPE, -10000, 0, 0));
        piped(row(node++, ET_PIPE, 0, 1000, 0, i % 2 ? DT_ANCHOR : DT_RESTRAINT));
    }
    set_viewpoint(0, 0, 1);
    show_flags().lengths = true;
    show_flags().row_numbers = true;
    build();
    zoom_all();
    // Ten times into the middle.
    const double scale = view_state().scale * 10;
    set_drawing_scale(scale);
    GraphicsViewState& g = graphics_view();
    g.view_window = ViewWindow{-400 / float(scale), -300 / float(scale), 400 / float(scale), 300 / float(scale)};
    compute_model_extent();
    g.clip_window = g.view_window;
    RecordingSurface surface(800, 600);
    {
        ScreenDrawing drawing(surface, g.clip_window);
        ASSERT_TRUE(gdi_draw_model());
    }
    int lines = 0;
    for (const std::string& l : surface.lines_starting("line")) {
        const std::vector<int> p = numbers(l);
        ASSERT_EQ(p.size(), 4u) << l;
        for (int k = 0; k < 4; k += 2) {
            EXPECT_GE(p[static_cast<std::size_t>(k)], 0) << l;
            EXPECT_LE(p[static_cast<std::size_t>(k)], 800) << l;
            EXPECT_GE(p[static_cast<std::size_t>(k) + 1], 0) << l;
            EXPECT_LE(p[static_cast<std::size_t>(k) + 1], 600) << l;
        }
        ++lines;
    }
    EXPECT_GT(lines, 0);
    for (const char* kind : {"polygon", "text", "fill"})
        for (const std::string& l : surface.lines_starting(kind)) {
            const std::vector<int> p = numbers(l);
            ASSERT_GE(p.size(), 2u) << l;
            EXPECT_GT(p[0], -200) << l;
            EXPECT_LT(p[0], 1000) << l;
        }
}
