// Local axes of elements for both vertical-axis options, and of bend arcs.
#include "model/data/model_fixture.h"

#include <cmath>
#include <numbers>

namespace {

void expect_vec(const Vec3& v, double x, double y, double z)
{
    EXPECT_NEAR(v.x, x, 1e-9);
    EXPECT_NEAR(v.y, y, 1e-9);
    EXPECT_NEAR(v.z, z, 1e-9);
}

LocalAxes along(double x, double y, double z, bool z_vertical)
{
    LocalAxes a;
    normalize3(x, y, z);
    a.x = {x, y, z};
    complete_local_axes(a, z_vertical);
    return a;
}

}  // namespace

TEST_F(AxesTest, YVertical)
{
    LocalAxes a = along(1, 0, 0, false);
    expect_vec(a.y, 0, 1, 0);
    expect_vec(a.z, 0, 0, 1);
    // Sloped: y in the vertical plane through x, pointing up.
    a = along(1, 1, 0, false);
    expect_vec(a.y, -std::sqrt(0.5), std::sqrt(0.5), 0);
    expect_vec(a.z, 0, 0, 1);
    // Vertical element: y = (-1, 0, 0), z = x cross y.
    a = along(0, 1, 0, false);
    expect_vec(a.y, -1, 0, 0);
    expect_vec(a.z, 0, 0, 1);
    a = along(0, -1, 0, false);
    expect_vec(a.y, -1, 0, 0);
    expect_vec(a.z, 0, 0, -1);
}

TEST_F(AxesTest, ZVertical)
{
    LocalAxes a = along(1, 0, 0, true);
    expect_vec(a.z, 0, 0, 1);
    expect_vec(a.y, 0, 1, 0);
    a = along(0, 1, 1, true);
    expect_vec(a.z, 0, -std::sqrt(0.5), std::sqrt(0.5));
    expect_vec(a.y, -1, 0, 0);
    // Vertical element: z = (-1, 0, 0), y = z cross x.
    a = along(0, 0, 1, true);
    expect_vec(a.z, -1, 0, 0);
    expect_vec(a.y, 0, 1, 0);
}

TEST_F(AxesTest, AreRightHandedOrthonormal)
{
    for (bool zv : {false, true}) {
        for (const auto& d : {Vec3{3, -2, 5}, Vec3{-1, 4, 0.5}, Vec3{0.001, 1, 0}, Vec3{0, 0.002, -1}}) {
            LocalAxes a = along(d.x, d.y, d.z, zv);
            EXPECT_NEAR(dot(a.x, a.y), 0, 1e-9);
            EXPECT_NEAR(dot(a.y, a.z), 0, 1e-9);
            EXPECT_NEAR(dot(a.y, a.y), 1, 1e-9);
            Vec3 c{a.x.y * a.y.z - a.x.z * a.y.y, a.x.z * a.y.x - a.x.x * a.y.z, a.x.x * a.y.y - a.x.y * a.y.x};
            expect_vec(c, a.z.x, a.z.y, a.z.z);
        }
    }
    // Below a horizontal projection of 0.0005 the element counts as vertical.
    expect_vec(along(0.0004, 1, 0, false).y, -1, 0, 0);
    expect_vec(along(0, 0.0004, 1, true).z, -1, 0, 0);
    LocalAxes just_off = along(0.0006, 1, 0, false);
    EXPECT_NEAR(just_off.y.x, -1, 1e-6);
    EXPECT_NEAR(just_off.y.y, 0.0006, 1e-6);
}

TEST_F(AxesTest, UpAxisPointsUpForEitherVerticalAxis)
{
    // The axis a beam's depth and a valve's stem lie along: in the vertical
    // plane through the element (x, it and the vertical are coplanar),
    // normal to x and pointing up, whichever axis is vertical and however
    // the element is laid.
    for (bool zv : {false, true}) {
        const Vec3 up = zv ? Vec3{0, 0, 1} : Vec3{0, 1, 0};
        for (const auto& d : {Vec3{1, 0, 0}, Vec3{0, 1, 0}, Vec3{0, 0, 1}, Vec3{3, -2, 5}, Vec3{-1, 4, 0.5},
                              Vec3{-2, -7, 1}, Vec3{0.3, 0.1, -3}}) {
            const double horizontal = zv ? std::hypot(d.x, d.y) : std::hypot(d.x, d.z);
            if (horizontal < 1e-9)
                continue;   // along the vertical: no vertical plane of its own
            const LocalAxes a = along(d.x, d.y, d.z, zv);
            const Vec3& u = local_up_axis(a, zv);
            EXPECT_NEAR(dot(u, a.x), 0, 1e-9);
            EXPECT_GT(dot(u, up), 0) << d.x << " " << d.y << " " << d.z << (zv ? " Z" : " Y");
            // Coplanar: (x cross vertical) . u = 0.
            const Vec3 n{a.x.y * up.z - a.x.z * up.y, a.x.z * up.x - a.x.x * up.z, a.x.x * up.y - a.x.y * up.x};
            EXPECT_NEAR(dot(n, u), 0, 1e-9);
        }
        // Along the vertical the up axis is (-1, 0, 0).
        const LocalAxes v = along(up.x, up.y, up.z, zv);
        expect_vec(local_up_axis(v, zv), -1, 0, 0);
    }
}

TEST_F(AxesTest, OfElementsFollowTheOption)
{
    from(10);
    row(20, ET_PIPE, 0, 0, 50);
    row(30, ET_PIPE, 0, 0, 0);    // coincident with 20
    make_model();
    int n10 = node_index(10), n20 = node_index(20), n30 = node_index(30);

    const LocalAxes& a = element_axes(n10, n20);
    expect_vec(a.x, 0, 0, 1);
    expect_vec(a.y, 0, 1, 0);     // Y vertical: a horizontal element
    analysis_options().z_vertical = true;
    element_axes(n10, n20);
    expect_vec(local_axes().z, -1, 0, 0);
    expect_vec(local_axes().y, 0, 1, 0);
    element_axes(n20, n30);
    expect_vec(local_axes().x, 1, 0, 0);
    EXPECT_THROW(element_axes(0, n20), AssertionExit);
}

// A 90-degree bend in the XY plane turning from +X to +Y: at the near point
// x = (1, 0, 0), y towards the centre (0, 1, 0), z = (0, 0, 1); an arc of 60
// degrees to an intermediate node has theta = 60 degrees.
TEST_F(AxesTest, OfBendArcs)
{
    from(10);
    int b = bend(20, 100, 0, 0, 30);
    bend_of(b).node1 = 25;
    bend_of(b).angle1 = static_cast<float>(std::numbers::pi / 3);
    row(30, ET_PIPE, 0, 100, 0);
    make_model();
    ASSERT_EQ(model().elems[2].kind, ET_BEND);

    BendAxes first = bend_axes(2);
    EXPECT_NEAR(first.theta, std::numbers::pi / 3, 1e-6);
    EXPECT_NEAR(first.radius, 30, 1e-4);
    EXPECT_NEAR(first.axes.x.x, 1, 1e-6);
    EXPECT_NEAR(first.axes.y.y, 1, 1e-6);
    EXPECT_NEAR(first.axes.z.z, 1, 1e-6);
    EXPECT_NEAR(local_axes().y.y, 1, 1e-6);

    BendAxes second = bend_axes(3);
    EXPECT_NEAR(second.theta, std::numbers::pi / 6, 1e-6);
    // Node 2 lies at (R sin t, R (1 - cos t), 0) from node 1 in the local frame.
    const NodeRecord& p1 = model().nodes[model().elems[3].node1];
    const NodeRecord& p2 = model().nodes[model().elems[3].node2];
    Vec3 d{double(p2.x) - p1.x, double(p2.y) - p1.y, double(p2.z) - p1.z};
    EXPECT_NEAR(dot(d, second.axes.x), 30 * std::sin(second.theta), 1e-3);
    EXPECT_NEAR(dot(d, second.axes.y), 30 * (1 - std::cos(second.theta)), 1e-3);
    EXPECT_NEAR(dot(d, second.axes.z), 0, 1e-3);
}
