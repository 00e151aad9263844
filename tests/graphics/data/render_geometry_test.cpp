// The render view's geometry: the side counts at every boundary of the
// radius in pixels, the pieces of a bend arc, and the vertices of each
// primitive.
#include "graphics/data/graphics_data_fixture.h"
#include "graphics/render_geometry.h"

#include <numbers>

namespace {

class TessellationTest : public GraphicsDataTest {};

double length(const std::vector<float>& v, std::size_t i)
{
    return std::sqrt(double(v[i]) * v[i] + double(v[i + 1]) * v[i + 1] + double(v[i + 2]) * v[i + 2]);
}

}  // namespace

TEST_F(TessellationTest, SidesFollowTheRadiusInPixelsAtEveryBoundary)
{
    set_drawing_scale(2.0);   // radii below are pixels / 2
    const std::pair<double, int> cases[] = {
        {0.4, 0},  {0.49, 0}, {0.5, 4},   {2.9, 4},   {2.99, 4},  {3.0, 6},  {4.99, 6},  {5.0, 8},
        {8.99, 8}, {9.0, 12}, {12.99, 12}, {13.0, 16}, {16.99, 16}, {17.0, 24}, {20.0, 24}, {1e9, 24}};
    for (const auto& [pixels, sides] : cases)
        EXPECT_EQ(sides_for_radius(pixels / 2.0), sides) << pixels << " pixels";
    // Medium quality: always 24; high: always 48; below half a pixel nothing.
    graphics_settings().rendering_quality = 1;
    EXPECT_EQ(sides_for_radius(0.3), 24);
    EXPECT_EQ(sides_for_radius(0.2), 0);
    graphics_settings().rendering_quality = 2;
    EXPECT_EQ(sides_for_radius(0.25), 48);
    EXPECT_EQ(sides_for_radius(500), 48);
    EXPECT_EQ(sides_for_radius(std::nan("")), 0);
}

TEST_F(TessellationTest, TablesHoldTheCircleAndRepeatTheirFirstEntry)
{
    for (int n : TESSELLATION_SIDES) {
        const Tessellation t = select_tessellation(n);
        ASSERT_EQ(t.sides, n);
        ASSERT_EQ(t.cos->size(), static_cast<std::size_t>(n) + 1);
        EXPECT_EQ((*t.cos)[0], (*t.cos)[static_cast<std::size_t>(n)]);
        EXPECT_EQ((*t.sin)[0], (*t.sin)[static_cast<std::size_t>(n)]);
        EXPECT_NEAR((*t.cos)[1], std::cos(2 * std::numbers::pi / n), 1e-7);
        EXPECT_NEAR((*t.sin)[1], std::sin(2 * std::numbers::pi / n), 1e-7);
    }
    EXPECT_EQ(select_tessellation(5).sides, 4);
    EXPECT_EQ(select_tessellation(0).sides, 4);
    EXPECT_EQ(select_tessellation(47).sides, 4);
}

TEST_F(TessellationTest, ArcPiecesAtEveryBoundary)
{
    const std::pair<double, int> cases[] = {
        {0, 1},       {3.99, 1},    {4, 2},       {6.99, 2},  {7, 3},    {9.99, 3},  {10, 4},   {14.99, 4},
        {15, 5},      {19.99, 5},   {20, 6},      {49.99, 6},
        {50, 6},      // trunc(0.1 * 50 + 0.5) + 1
        {99.99, 11},  // trunc(10.499) + 1
        {100, 10},    // trunc(0.02 * 100 + 0.5) + 8
        {1000, 28}};
    for (const auto& [pixels, pieces] : cases)
        EXPECT_EQ(arc_segments_for_length(pixels), pieces) << pixels << " pixels";
    EXPECT_EQ(arc_segments_for_length(-3), 1);
    EXPECT_LT(arc_segments_for_length(1e30), 3000);   // a huge zoom makes no huge mesh
}

TEST_F(TessellationTest, PrimitivesHaveTheirVertexCountsAndUnitNormals)
{
    for (int n : TESSELLATION_SIDES) {
        const Tessellation t = select_tessellation(n);
        EXPECT_EQ(disk_mesh(2, t).count(), n + 2);
        EXPECT_EQ(ring_mesh(1, 2, t).count(), 2 * (n + 1));
        const MeshPart tube = tube_mesh(2, 1, 4, t);
        EXPECT_EQ(tube.count(), 2 * (n + 1));
        for (std::size_t i = 0; i < tube.normals.size(); i += 3)
            EXPECT_NEAR(length(tube.normals, i), 1.0, 1e-6);
        const MeshPart cone = cone_mesh(1, 3, t);
        EXPECT_EQ(cone.count(), 3 * n);
        const std::vector<MeshPart> sphere = sphere_mesh(1, t);
        EXPECT_EQ(sphere.size(), static_cast<std::size_t>(n));
        for (const MeshPart& strip : sphere) {
            EXPECT_EQ(strip.count(), 2 * (n + 1));
            for (std::size_t i = 0; i < strip.vertices.size(); i += 3)
                EXPECT_NEAR(length(strip.vertices, i), 1.0, 1e-6);
        }
        EXPECT_EQ(bend_mesh(10, 1, std::numbers::pi / 2, 5, t).size(), 5u);
    }
    // The largest primitive, a cone at 48 sides, has 144 vertices.
    EXPECT_EQ(cone_mesh(1, 1, select_tessellation(48)).count(), 144);
    // A cone's side normal leans along its axis by r / L: (r/L, cos, sin) made unit.
    const MeshPart cone = cone_mesh(1, 2, select_tessellation(4));
    EXPECT_NEAR(cone.normals[0], 0.5 / std::sqrt(1.25), 1e-6);
    // A tube's points lie on its two circles.
    const MeshPart tube = tube_mesh(2, 1, 4, select_tessellation(8));
    EXPECT_FLOAT_EQ(tube.vertices[0], 4);   // the far circle first
    EXPECT_NEAR(std::hypot(tube.vertices[1], tube.vertices[2]), 1.0, 1e-6);
    EXPECT_NEAR(std::hypot(tube.vertices[4], tube.vertices[5]), 2.0, 1e-6);
    // A bend's points lie on the torus: (sqrt(x^2 + y^2) - R)^2 + z^2 = r^2.
    for (const MeshPart& strip : bend_mesh(10, 1, 1.0, 3, select_tessellation(12)))
        for (std::size_t i = 0; i < strip.vertices.size(); i += 3) {
            const double rho = std::hypot(strip.vertices[i], strip.vertices[i + 1]) - 10.0;
            EXPECT_NEAR(rho * rho + double(strip.vertices[i + 2]) * strip.vertices[i + 2], 1.0, 1e-5);
        }
}

TEST_F(TessellationTest, SolidBoxFacesAndTheTurnOntoADirection)
{
    SolidBox b;
    const Vec3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    solid_box_init(b, {0, 0, 0}, {2, 4, 6}, axes);
    const MeshPart faces = solid_box_mesh(b);
    ASSERT_EQ(faces.count(), 24);
    // Each face's four corners lie in the plane of its normal at half the size.
    const double half[3] = {1, 2, 3};
    for (int f = 0; f < 6; ++f)
        for (int k = 0; k < 4; ++k) {
            const std::size_t i = static_cast<std::size_t>(12 * f + 3 * k);
            double along = 0;
            for (int c = 0; c < 3; ++c)
                along += double(faces.vertices[i + static_cast<std::size_t>(c)]) * faces.normals[i + static_cast<std::size_t>(c)];
            const int axis = f / 2;
            EXPECT_NEAR(along, half[axis], 1e-6) << "face " << f;
        }
    // Turning x onto -x turns about (0, 1, 0) by 180 degrees; onto x not at all.
    const AxisTurn back = turn_x_onto({-3, 0, 0});
    EXPECT_TRUE(back.turn);
    EXPECT_NEAR(back.degrees, 180, 1e-9);
    EXPECT_DOUBLE_EQ(back.axis.y, 1);
    EXPECT_FALSE(turn_x_onto({2, 0, 0}).turn);
    const AxisTurn up = turn_x_onto({0, 5, 0});
    EXPECT_NEAR(up.degrees, 90, 1e-9);
    EXPECT_NEAR(up.axis.z, 1, 1e-12);
    // The bend frame: x towards the first end, z normal to the bend's plane.
    const std::array<float, 16> m = bend_frame({0, 0, 0}, {2, 0, 0}, {0, 0, 3});
    EXPECT_FLOAT_EQ(m[0], 1);      // x = (1, 0, 0)
    EXPECT_FLOAT_EQ(m[9], -1);     // z = x cross z-direction = (0, -1, 0)
    EXPECT_FLOAT_EQ(m[6], 1);      // y = z x x = (0, 0, 1)
}
