// The symbol geometry of the views (outlines, frames, 3D parts and their
// projections), the drawing scale, and the click handler's order.
#include "model/data/model_fixture.h"
#include "model/data/recording_painter.h"
#include "model/symbol_shapes.h"
#include "model/symbols.h"
#include "model/view_drawing.h"

#include <cmath>
#include <numbers>

namespace {

class SymbolsTest : public ModelTest {};

Point2 pt(float x, float y) { return {x, y}; }

// A node at a projected point (the model build is not needed for the 2D parts).
int view_node(float sx, float sy, float x = 0, float y = 0, float z = 0)
{
    NodeRecord n;
    n.number = model().numnodes() + 1;
    n.sx = sx;
    n.sy = sy;
    n.x = x;
    n.y = y;
    n.z = z;
    return model().nodes.push_back(n);
}

}  // namespace

TEST_F(SymbolsTest, OutlinesHoldOnlyPointsStrictlyInside)
{
    Quad2D q;
    quad_init(q, pt(0, 0), pt(4, 0), pt(4, 2), pt(0, 2));
    EXPECT_TRUE(quad_contains(q, 2, 1));
    EXPECT_TRUE(quad_contains(q, 3.99f, 1.99f));   // just inside a corner
    EXPECT_FALSE(quad_contains(q, 4, 2));          // a corner
    EXPECT_FALSE(quad_contains(q, 0, 1));          // an edge
    EXPECT_FALSE(quad_contains(q, 2, 2));          // the top edge
    EXPECT_FALSE(quad_contains(q, 4.01f, 1));
    EXPECT_FALSE(quad_contains(q, 2, -0.01f));
    // Corners given clockwise are stored counter-clockwise: the same points inside.
    Quad2D mirrored;
    quad_init(mirrored, pt(0, 0), pt(0, 2), pt(4, 2), pt(4, 0));
    const double turn = (double(mirrored.p[1].x) - mirrored.p[0].x) * (double(mirrored.p[2].y) - mirrored.p[0].y) -
                        (double(mirrored.p[1].y) - mirrored.p[0].y) * (double(mirrored.p[2].x) - mirrored.p[0].x);
    EXPECT_GT(turn, 0.0);
    EXPECT_TRUE(quad_contains(mirrored, 2, 1));
    EXPECT_FALSE(quad_contains(mirrored, 5, 1));
    // Shrunk to a point or a line, an outline holds nothing.
    Quad2D point;
    quad_init(point, pt(3, 3), pt(3, 3), pt(3, 3), pt(3, 3));
    EXPECT_FALSE(quad_contains(point, 3, 3));
    Quad2D flat;
    quad_init(flat, pt(0, 0), pt(4, 0), pt(4, 0), pt(0, 0));
    EXPECT_FALSE(quad_contains(flat, 2, 0));

    Triangle2D t;
    triangle_init(t, pt(0, 0), pt(0, 3), pt(3, 0));   // given clockwise
    const double area2 = (double(t.p[1].x) - t.p[0].x) * (double(t.p[2].y) - t.p[0].y) -
                         (double(t.p[1].y) - t.p[0].y) * (double(t.p[2].x) - t.p[0].x);
    EXPECT_GT(area2, 0.0);   // stored counter-clockwise
    EXPECT_TRUE(triangle_contains(t, 1, 1));
    EXPECT_TRUE(triangle_contains(t, 1.49f, 1.49f));  // just inside the long edge
    EXPECT_FALSE(triangle_contains(t, 1.5f, 1.5f));   // on it
    EXPECT_FALSE(triangle_contains(t, 0, 0));         // a corner
    EXPECT_FALSE(triangle_contains(t, 2, 2));
    Box2D box;
    triangle_add_to_box(t, box);
    quad_add_to_box(q, box);
    EXPECT_FLOAT_EQ(box.xmax, 4);
    EXPECT_FLOAT_EQ(box.ymax, 3);
}

TEST_F(SymbolsTest, FramesOfTheViewPlane)
{
    // Axes are normalised; an axis shorter than 0.001 becomes the unit axis.
    LocalFrame2D f;
    frame2d_init(f, pt(1, 1), pt(0, 5), pt(0.0005f, 0), 10);
    EXPECT_FLOAT_EQ(f.u.y, 1);
    EXPECT_FLOAT_EQ(f.v.x, 0);
    EXPECT_FLOAT_EQ(f.v.y, 1);
    const Point2 p = frame2d_apply_scaled(f, 0.5f, 2);
    EXPECT_FLOAT_EQ(p.x, 1);           // both axes are (0, 1)
    EXPECT_FLOAT_EQ(p.y, 1 + 5 + 2);   // half the length along u, 2 along v

    // Between two nodes: first axis towards b, length the projected
    // distance; a nearly vertical first axis takes (1, 0) as its second.
    const int a = view_node(10, 0, 10, 0), b = view_node(10, 8, 10, 8);
    frame2d_between_nodes(a, b, f);
    EXPECT_FLOAT_EQ(f.length, 8);
    EXPECT_FLOAT_EQ(f.u.y, 1);
    EXPECT_FLOAT_EQ(f.v.x, 1);
    EXPECT_FLOAT_EQ(f.v.y, 0);
    const Point2 end = frame2d_apply_scaled(f, 1, 3);
    EXPECT_FLOAT_EQ(end.x, 13);
    EXPECT_FLOAT_EQ(end.y, 8);

    // The outline of a round segment in the view plane: its two sides, r1
    // at a and r2 at b, no end widened (the axis is square to the view).
    Quad2D q;
    quad_between_nodes(a, b, 1, 2, q);
    EXPECT_TRUE(quad_contains(q, 10.9f, 0.1f));
    EXPECT_FALSE(quad_contains(q, 11.5f, 0.1f));
    EXPECT_FALSE(quad_contains(q, 10, -0.1f));
    EXPECT_TRUE(quad_contains(q, 11.9f, 7.9f));
    // Seen end-on with closed ends: the end disks' square around the point.
    const int c = view_node(10, 0, 10, 0, 5);
    quad_between_nodes(a, c, 1, 2, q, true);
    EXPECT_TRUE(quad_contains(q, 10.5f, 0));
    EXPECT_TRUE(quad_contains(q, 9.1f, 0.9f));
    EXPECT_FALSE(quad_contains(q, 12.1f, 0));
}

TEST_F(SymbolsTest, ProjectedPartsFollowTheViewRotation)
{
    // A view looking along -X: view x is model -Z, view y is model Y.
    ViewState& v = view_state();
    const double r[3][3] = {{0, 0, -1}, {0, 1, 0}, {1, 0, 0}};
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j)
            v.rotation[i][j] = r[i][j];
    const Point2 p = project_point({5, 2, 3});
    EXPECT_FLOAT_EQ(p.x, -3);
    EXPECT_FLOAT_EQ(p.y, 2);

    from(10, 0, 0, 0);
    row(20, ET_PIPE, 0, 0, 40);
    make_model();
    project_nodes();
    EXPECT_FLOAT_EQ(node(20).sx, -40);
    EXPECT_FLOAT_EQ(node(10).sx, 0);

    // A cylinder along Z seen from the side: its outline is 2r wide.
    Cylinder c;
    cylinder_between_nodes(c, node_index(10), node_index(20), 3, true);
    EXPECT_TRUE(c.end_disks);
    EXPECT_TRUE(quad_contains(c.outline, -20, 2.9f));
    EXPECT_FALSE(quad_contains(c.outline, -20, 3.1f));
    // In a frame: the points are the frame's local coordinates.
    Frame3D f = frame3d_between_nodes(node_index(10), node_index(20));
    cylinder_init_in_frame(c, f, {10, 0, 0}, {20, 0, 0}, 1, false);
    EXPECT_DOUBLE_EQ(c.p1.z, 10);
    EXPECT_DOUBLE_EQ(c.p2.z, 20);

    Sphere s;
    sphere_init(s, {0, 1, 10}, 2);
    EXPECT_FLOAT_EQ(s.box.xmin, -12);
    EXPECT_FLOAT_EQ(s.box.ymax, 3);
}

TEST_F(SymbolsTest, SolidBoxShowsTheThreeFacesTowardsTheViewer)
{
    // Looking down -Z (the identity view): the +Z face and the two faces
    // seen edge-on; a box of 4 x 2 x 6 around (1, 1, 1).
    SolidBox b;
    const Vec3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    solid_box_init(b, {1, 1, 1}, {4, 2, 6}, axes);
    // Corner 0 is the local (a, b, c), corner 7 (-a, b, c).
    EXPECT_DOUBLE_EQ(b.corners[0].x, 3);
    EXPECT_DOUBLE_EQ(b.corners[0].z, 4);
    EXPECT_DOUBLE_EQ(b.corners[7].x, -1);
    EXPECT_TRUE(solid_box_contains(b, 2.9f, 1.9f));
    EXPECT_FALSE(solid_box_contains(b, 3.1f, 1));
    Box2D extent;
    solid_box_add_to_box(b, extent);
    EXPECT_FLOAT_EQ(extent.xmin, -1);
    EXPECT_FLOAT_EQ(extent.ymax, 2);
    RecordingPainter painter;
    ViewPainterScope scope(painter);
    solid_box_draw_outline(b);
    EXPECT_EQ(painter.of("line").size(), 12u);
    solid_box_reset_axes(b);
    EXPECT_DOUBLE_EQ(b.axes[2].z, 1);
}

TEST_F(SymbolsTest, DrawingScaleSetsTheSizesInViewUnits)
{
    set_drawing_scale(2.0);
    EXPECT_DOUBLE_EQ(drawing_scale(), 2.0);
    EXPECT_DOUBLE_EQ(view_state().element_half_width, 3.5);
    EXPECT_DOUBLE_EQ(view_state().support_symbol_size, 6.0);
    EXPECT_DOUBLE_EQ(view_state().symbol_margin, 2.0);
    // Without a painter nothing is drawn and nothing fails.
    draw_line(0, 0, 1, 1);
    gl_draw_sphere({}, 1);
    EXPECT_EQ(view_painter(), nullptr);
}

namespace {

// An element and a data item that hit everywhere and note that they were asked.
struct HitEverywhere : ElementData {
    static int& asked() { static int n = 0; return n; }
    bool pick_and_edit(int, float, float) override
    {
        ++asked();
        return true;
    }
};

struct DataHitEverywhere : DataItem {
    static int& asked() { static int n = 0; return n; }
    bool pick_and_edit(int row, float, float) override
    {
        ++asked();
        picked_row() = row;
        return true;
    }
    static int& picked_row() { static int r = 0; return r; }
};

}  // namespace

TEST_F(SymbolsTest, ClickGoesToTheDataItemsFirstThenTheElements)
{
    HitEverywhere::asked() = DataHitEverywhere::asked() = DataHitEverywhere::picked_row() = 0;
    set_element_factory(ET_PIPE, [] { return std::make_unique<HitEverywhere>(); });
    set_data_factory(DT_ANCHOR, [] { return std::make_unique<DataHitEverywhere>(); });
    from(10);
    row(20, ET_PIPE, 10, 0, 0);
    row(30, ET_PIPE, 10, 0, 0, DT_ANCHOR);
    make_model();
    project_nodes();
    for (int r = 1; r <= 3; ++r) {
        rebuild_row_symbol(r);
        model().rows[r].shown = 1;
    }
    // The support of row 3 (node at x 20) has a symbol 30 wide.
    Box2D& support = model().rows[3].data->box_2d;
    support.add(20, 0);
    support.inflate(15);
    // The element of row 2 (node at x 10) and the support both hold
    // (10, 0): the support's dialog opens, no element is asked.
    EXPECT_TRUE(view_click(10, 0));
    EXPECT_EQ(DataHitEverywhere::picked_row(), 3);
    EXPECT_EQ(HitEverywhere::asked(), 0);
    // A row not shown is passed over.
    model().rows[3].shown = 0;
    EXPECT_TRUE(view_click(10, 0));
    EXPECT_EQ(DataHitEverywhere::asked(), 1);
    EXPECT_EQ(HitEverywhere::asked(), 1);
    // Outside every pick box nothing is asked.
    EXPECT_FALSE(view_click(500, 500));
    EXPECT_EQ(HitEverywhere::asked(), 1);
    // The rebuild put each row's boxes at its node first.
    EXPECT_FLOAT_EQ(model().rows[2].box_2d.xmin, 10);
    EXPECT_FLOAT_EQ(model().rows[2].box_2d.xmax, 10);
}

TEST_F(SymbolsTest, SymbolShapesAreTheTablesShapes)
{
    struct Expected {
        std::size_t segments;
        float xmin, ymin, xmax, ymax;
        SymbolSegment first, last;
    };
    // Segment counts, bounding rectangles (shape 5's with xmin above xmax),
    // and the first and last segment of each shape as the table lists them.
    const Expected table[SYMBOL_SHAPE_COUNT] = {
        {3, -1.2f, -0.5f, 0, 0.5f, {0, 0, -1.2f, -0.5f}, {-1.2f, 0.5f, 0, 0}},
        {6, 0, -0.5f, 2.4f, 0.5f, {0, 0, 1.2f, -0.5f}, {2.4f, 0.5f, 1.2f, 0}},
        {16, -10, 0, 16, 51, {0, 0, 0, 12}, {10, 45, 16, 51}},
        {7, -10, 0, 16, 51, {0, 0, 0, 45}, {10, 45, 16, 51}},
        {2, -2.5f, -0.6f, 0, 0.6f, {-2.5f, 0, -0.8f, 0}, {-0.8f, -0.6f, -0.8f, 0.6f}},
        {2, 2.5f, -0.6f, 0, 0.6f, {2.5f, 0, 0.8f, 0}, {0.8f, -0.6f, 0.8f, 0.6f}},
        {17, 0, -1.6f, 5.5f, 1, {0, 0, 1.2f, 0}, {4.9f, -1, 5.5f, -1.6f}},
        {6, -0.5f, -0.5f, 0.5f, 0.5f, {-0.5f, -0.5f, 0.5f, -0.5f}, {-0.5f, 0.5f, 0.5f, -0.5f}},
        {12, 0, -1.6f, 5.1f, 1, {0, 0, 1.2f, 0}, {4.5f, -1, 5.1f, -1.6f}},
        {4, -0.5f, -0.5f, 0.5f, 0.5f, {-0.5f, -0.5f, 0.5f, -0.5f}, {-0.5f, 0.5f, -0.5f, -0.5f}},
        {10, 0, -0.1f, 1, 0.1f, {0, 0, 0.3f, 0}, {0.58f, -0.06f, 0.58f, 0.06f}},
    };
    auto same = [](const SymbolSegment& a, const SymbolSegment& b) {
        return std::abs(a.x1 - b.x1) < 1e-6f && std::abs(a.y1 - b.y1) < 1e-6f && std::abs(a.x2 - b.x2) < 1e-6f &&
               std::abs(a.y2 - b.y2) < 1e-6f;
    };
    for (int n = 0; n < SYMBOL_SHAPE_COUNT; ++n) {
        const SymbolShape& s = symbol_shape(n);
        const Expected& e = table[n];
        ASSERT_EQ(s.segments.size(), e.segments) << "shape " << n;
        EXPECT_FLOAT_EQ(s.xmin, e.xmin) << "shape " << n;
        EXPECT_FLOAT_EQ(s.ymin, e.ymin) << "shape " << n;
        EXPECT_FLOAT_EQ(s.xmax, e.xmax) << "shape " << n;
        EXPECT_FLOAT_EQ(s.ymax, e.ymax) << "shape " << n;
        EXPECT_TRUE(same(s.segments.front(), e.first)) << "shape " << n;
        EXPECT_TRUE(same(s.segments.back(), e.last)) << "shape " << n;
    }
    // The hanger's spring box and the skewed restraint's zigzag in the middle.
    EXPECT_TRUE(same(symbol_shape(2).segments[4], {6, 36, 6, 12}));
    EXPECT_TRUE(same(symbol_shape(6).segments[5], {2.3f, -0.6f, 2.6f, 0.6f}));
    EXPECT_TRUE(same(symbol_shape(8).segments[6], {4.5f, 1, 4.5f, -1}));
    // Shape 5's rectangle still covers it, a box growing corner by corner.
    Box2D box;
    symbol_shape_add_extent(5, 0, 0, 1, 0, 1, box);
    EXPECT_FLOAT_EQ(box.xmin, 0);
    EXPECT_FLOAT_EQ(box.xmax, 2.5f);
    EXPECT_TRUE(symbol_shape(SYMBOL_SHAPE_COUNT).segments.empty());
}
