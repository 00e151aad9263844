// Deflected and mode shapes: the displaced cantilever of a real analysis
// against its elastic line, the cubic's end slopes against the node
// rotations, the arc of a bend, elements too short for a curve, the
// automatic magnification and the animation's pieces and frames.
#include "graphics/data/plot_fixture.h"

#include <cmath>
#include <numbers>

namespace {

class ShapeTest : public PlotTest {
protected:
    // Displacements given in memory: translation and rotation of each node.
    static void set_displacements(const std::vector<std::array<float, 6>>& values)
    {
        ResultsState& r = results();
        r.displacements = OneBased<std::array<float, 6>>(model().numnodes());
        for (int n = 1; n <= model().numnodes() && n <= static_cast<int>(values.size()); ++n)
            r.displacements[n] = values[static_cast<std::size_t>(n - 1)];
    }
    static void view_from(double x, double y, double z)
    {
        make_model();
        set_viewpoint(x, y, z);
        update_screen_positions();
        zoom_all();
    }
    // The projection of a model direction (no translation).
    static Point2 projected_direction(const Vec3& d)
    {
        const ViewState& v = view_state();
        return {static_cast<float>(v.rotation[0][0] * d.x + v.rotation[0][1] * d.y + v.rotation[0][2] * d.z),
                static_cast<float>(v.rotation[1][0] * d.x + v.rotation[1][1] * d.y + v.rotation[1][2] * d.z)};
    }
};

}  // namespace

TEST_F(ShapeTest, ShapeOfATipLoadedCantileverLiesOnItsElasticLine)
{
    // A cantilever of 400 in (60 diameters) from an anchor, a tip load P in
    // Y, no weight; seen along Z the drawn shape must follow the elastic
    // line v(x) = P x^2 (3 L - x) / (6 E I) (Euler-Bernoulli; the shear
    // deflection P x / (k G A) of so slender a pipe is 0.1 % of it).
    const double length = 400.0, force = 500.0;
    anchored_from(10);
    pipe(20, static_cast<float>(length), 0, 0);
    const int tip = at_node(20, DT_FORCE);
    item<analysis_test::TestForce>(tip).load = {0.0, force, 0.0, 0.0, 0.0, 0.0};
    weightless();
    choose({LC_SUSTAINED});
    analyse();
    load_results(results_path, "");
    ASSERT_TRUE(set_results_load_case(LC_SUSTAINED));
    read_load_case_displacements();
    view_from(0.0, 0.0, 1.0);
    ShapeState& s = shape_state();
    s.shape_segments = 8;
    s.shape_factor = shape_magnification();
    ASSERT_GT(s.shape_factor, 1.0f);
    const double ei = steel.e * steel.inertia;
    const double tip_deflection = force * length * length * length / (3.0 * ei);
    // The automatic magnification makes the tip move 5 % of the view's width.
    EXPECT_NEAR(s.shape_factor * tip_deflection, 0.05 * graphics_view().view_window.width(),
                0.002 * 0.05 * graphics_view().view_window.width());
    ASSERT_EQ(model().numelems(), 1);
    const std::vector<Point2> points = displaced_element_points(1);
    ASSERT_EQ(points.size(), 9u);
    const Point2 origin = node_view_point(node_index(10));
    for (std::size_t k = 0; k < points.size(); ++k) {
        const double x = k * length / 8.0;
        const double v = force * x * x * (3.0 * length - x) / (6.0 * ei);
        EXPECT_NEAR(points[k].x - origin.x, x, 1e-3) << k;
        EXPECT_NEAR((points[k].y - origin.y) / s.shape_factor, v, 0.002 * v + 1e-9) << k;
    }
}

TEST_F(ShapeTest, ShapeCubicMeetsTheNodeRotationsAtBothEnds)
{
    // An element along a skew direction, seen from (1, 2, 3): the drawn
    // curve's slope at each end is the chord's direction plus the magnified
    // derivative of the displacement there, which for the cubic is the
    // rotation crossed with the chord's unit vector plus the axial stretch.
    from(10);
    pipe(20, 60, 30, -20);
    set_displacements({{0.1f, -0.2f, 0.05f, 0.004f, -0.003f, 0.01f}, {0.3f, 0.1f, -0.2f, -0.006f, 0.002f, -0.008f}});
    view_from(1.0, 2.0, 3.0);
    ShapeState& s = shape_state();
    s.shape_segments = 20000;
    s.shape_factor = 10.0f;
    const std::vector<Point2> p = displaced_element_points(1);
    ASSERT_EQ(p.size(), 20001u);
    const Vec3 a = node_model_point(node_index(10)), b = node_model_point(node_index(20));
    const Vec3 chord = minus(b, a);
    const double length = norm(chord);
    const Vec3 t = scaled(chord, 1.0 / length);
    const double h = length / 20000.0;
    Vec3 u[2], r[2];
    node_displacement(node_index(10), u[0], r[0]);
    node_displacement(node_index(20), u[1], r[1]);
    const double stretch = dot(minus(u[1], u[0]), t) / length;
    for (int end = 0; end < 2; ++end) {
        const Vec3 derivative = plus(cross(r[end], t), scaled(t, stretch));
        const Point2 expected = projected_direction(plus(t, scaled(derivative, s.shape_factor)));
        // One-sided difference of the drawn points (second order by three points).
        const std::size_t i = end == 0 ? 0 : p.size() - 1;
        const int dir = end == 0 ? 1 : -1;
        const Point2 p0 = p[i], p1 = p[static_cast<std::size_t>(static_cast<int>(i) + dir)],
                     p2 = p[static_cast<std::size_t>(static_cast<int>(i) + 2 * dir)];
        const double dx = dir * (-3.0 * p0.x + 4.0 * p1.x - p2.x) / (2.0 * h);
        const double dy = dir * (-3.0 * p0.y + 4.0 * p1.y - p2.y) / (2.0 * h);
        EXPECT_NEAR(dx, expected.x, 2e-3) << "end " << end;
        EXPECT_NEAR(dy, expected.y, 2e-3) << "end " << end;
    }
}

TEST_F(ShapeTest, ShapeOfAnElementTooShortForACurveIsAStraightLine)
{
    from(10);
    pipe(20, 100, 0, 0);
    pipe(30, 5e-7f, 0, 0);
    set_displacements({{0, 0, 0, 0, 0, 0}, {0, 1, 0, 0, 0, 0.5f}, {0, 1, 0, 0, 0, -0.5f}});
    view_from(0.0, 0.0, 1.0);
    shape_state().shape_segments = 8;
    shape_state().shape_factor = 1.0f;
    ASSERT_EQ(model().numelems(), 2);
    EXPECT_EQ(displaced_element_points(1).size(), 9u);
    const std::vector<Point2> short_one = displaced_element_points(2);
    ASSERT_EQ(short_one.size(), 2u);
    for (const Point2& q : short_one)
        EXPECT_TRUE(std::isfinite(q.x) && std::isfinite(q.y));
    // With one piece every element is straight.
    shape_state().shape_segments = 1;
    EXPECT_EQ(displaced_element_points(1).size(), 2u);
}

TEST_F(ShapeTest, ShapeOfABendFollowsItsArc)
{
    // A bend of radius 9 in at the corner (50, 0, 0), turning from X to Y.
    from(10);
    const int b = row(20, ET_BEND, 50, 0, 0);
    name(b);
    BendGeometry& bend = *model().rows[b].element->bend_geometry();
    bend.radius_kind = RADIUS_USER;
    bend.radius = 9.0f;
    pipe(30, 0, 50, 0);
    view_from(0.0, 0.0, 1.0);
    set_displacements(std::vector<std::array<float, 6>>(static_cast<std::size_t>(model().numnodes())));
    shape_state().shape_segments = 8;
    shape_state().shape_factor = 0.0f;
    int arc = 0;
    for (int e = 1; e <= model().numelems(); ++e)
        if (model().elems[e].kind == ET_BEND)
            arc = e;
    ASSERT_NE(arc, 0);
    const BendGeometry* g = model().rows[model().elems[arc].row].element->bend_geometry();
    ASSERT_TRUE(g && g->geometry_valid);
    float cx = 0, cy = 0;
    project_point(g->centre[0], g->centre[1], g->centre[2], cx, cy);
    const std::vector<Point2> points = displaced_element_points(arc);
    ASSERT_EQ(points.size(), 9u);
    const double radius = std::hypot(points[0].x - cx, points[0].y - cy);
    EXPECT_NEAR(radius, g->radius, 1e-3);
    for (const Point2& q : points)
        EXPECT_NEAR(std::hypot(q.x - cx, q.y - cy), radius, 1e-3);
    // Moved by its ends: the middle point by the mean of their translations.
    set_displacements(std::vector<std::array<float, 6>>(static_cast<std::size_t>(model().numnodes()),
                                                        {0.0f, 0.0f, 2.0f, 0.0f, 0.0f, 0.0f}));
    const Elem& e = model().elems[arc];
    results().displacements[e.node1] = {2.0f, 0.0f, 0.0f, 0, 0, 0};
    results().displacements[e.node2] = {0.0f, 4.0f, 0.0f, 0, 0, 0};
    shape_state().shape_factor = 1.0f;
    const std::vector<Point2> moved = displaced_element_points(arc);
    EXPECT_NEAR(moved[4].x - points[4].x, 1.0, 1e-3);
    EXPECT_NEAR(moved[4].y - points[4].y, 2.0, 1e-3);
}

TEST_F(ShapeTest, ShapeMagnificationIsAutomaticAtZeroAndCutAtItsLimit)
{
    from(10);
    pipe(20, 100, 0, 0);
    view_from(0.0, 0.0, 1.0);
    // No displacement at all: the limit 1e6, the automatic magnification 5e4.
    set_displacements({{0, 0, 0, 0, 0, 0}, {0, 0, 0, 0, 0, 0}});
    magnification() = 0.0f;
    EXPECT_FLOAT_EQ(shape_magnification(), 5.0e4f);
    EXPECT_FLOAT_EQ(shape_state().magnification_limit, 1.0e6f);
    // A tip moved 2 in across the view: limit = view width / 2, 5 % of it.
    set_displacements({{0, 0, 0, 0, 0, 0}, {0, 2, 0, 0, 0, 0}});
    auto_magnification();
    const double width = graphics_view().view_window.width();
    EXPECT_NEAR(shape_state().magnification_limit, width / (2.0 + 1e-7), 1e-3);
    EXPECT_NEAR(magnification(), 0.05 * width / 2.0, 1e-4);
    // A magnification typed above the limit is cut to it; 0 means automatic.
    magnification() = 1.0e7f;
    EXPECT_FLOAT_EQ(shape_magnification(), shape_state().magnification_limit);
    magnification() = 0.0f;
    EXPECT_NEAR(shape_magnification(), 0.05 * width / 2.0, 1e-3);
}

TEST_F(ShapeTest, ShapeAnimationPiecesAndFramesFollowTheModelsSize)
{
    EXPECT_EQ(animation_segments(24), 8);
    EXPECT_EQ(animation_segments(25), 6);
    EXPECT_EQ(animation_segments(49), 6);
    EXPECT_EQ(animation_segments(50), 4);
    EXPECT_EQ(animation_segments(99), 4);
    EXPECT_EQ(animation_segments(100), 2);
    EXPECT_EQ(animation_segments(149), 2);
    EXPECT_EQ(animation_segments(150), 1);
    EXPECT_EQ(animation_frames(7, false), 32);
    EXPECT_EQ(animation_frames(8, false), 24);
    EXPECT_EQ(animation_frames(11, false), 24);
    EXPECT_EQ(animation_frames(12, false), 20);
    EXPECT_EQ(animation_frames(12, true), 40);
    // A mode runs one whole cosine period; a deflected shape swings from
    // the full displacement towards none over a quarter period.
    EXPECT_NEAR(animation_factor(100.0, 0, 20, false), 100.0, 1e-9);
    EXPECT_NEAR(animation_factor(100.0, 10, 20, false), -100.0, 1e-9);
    EXPECT_NEAR(animation_factor(100.0, 20, 40, true), 100.0 * std::cos(std::numbers::pi / 4.0), 1e-9);
    EXPECT_GT(animation_factor(100.0, 39, 40, true), 0.0);
}
