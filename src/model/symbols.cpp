// Symbol geometry: the 2D outlines and frames of the view plane and the 3D
// parts of the render view.
#include "model/symbols.h"

#include "model/analysis_options.h"
#include "model/elements.h"
#include "model/model.h"
#include "model/view_drawing.h"

#include <algorithm>
#include <cmath>

namespace {

// Shorter projected lengths than this count as none.
constexpr double TINY = 0.001;

double cross2(Point2 o, Point2 a, Point2 b)
{
    return (double(a.x) - o.x) * (double(b.y) - o.y) - (double(a.y) - o.y) * (double(b.x) - o.x);
}

// True when the point lies on the inner side of every edge of the convex
// polygon (either orientation), or on an edge. The point must also lie in
// the polygon's extent, so that a polygon shrunk to a point holds only it.
template <std::size_t N>
bool convex_contains(const Point2 (&p)[N], float x, float y)
{
    Box2D extent;
    for (const Point2& corner : p)
        extent.add(corner.x, corner.y);
    if (!extent.contains(x, y))
        return false;
    const Point2 q{x, y};
    bool any_positive = false, any_negative = false;
    for (std::size_t i = 0; i < N; ++i) {
        const double c = cross2(p[i], p[(i + 1) % N], q);
        any_positive = any_positive || c > 0.0;
        any_negative = any_negative || c < 0.0;
    }
    return !(any_positive && any_negative);
}

Point2 point(double x, double y)
{
    return {static_cast<float>(x), static_cast<float>(y)};
}

// The outline of a segment of the view plane with half-widths r1 and r2 at
// its ends; a point-like segment gives a square around it.
Quad2D quad_around(Point2 a, Point2 b, double r1, double r2)
{
    Quad2D q;
    const double dx = double(b.x) - a.x, dy = double(b.y) - a.y;
    const double length = std::sqrt(dx * dx + dy * dy);
    if (length < 1.0e-6) {
        const double r = std::max(r1, r2);
        quad_init(q, point(a.x - r, a.y - r), point(a.x + r, a.y - r), point(a.x + r, a.y + r),
                  point(a.x - r, a.y + r));
        return q;
    }
    const double nx = -dy / length, ny = dx / length;
    quad_init(q, point(a.x - r1 * nx, a.y - r1 * ny), point(b.x - r2 * nx, b.y - r2 * ny),
              point(b.x + r2 * nx, b.y + r2 * ny), point(a.x + r1 * nx, a.y + r1 * ny));
    return q;
}

Frame3D frame_along(int node, Vec3 x)
{
    Frame3D f;
    f.origin = node_model_point(node);
    const double length = length3(x.x, x.y, x.z);
    if (length < 1.0e-9)
        x = {1.0, 0.0, 0.0};
    else
        x = scaled(x, 1.0 / length);
    LocalAxes axes;
    axes.x = x;
    complete_local_axes(axes, analysis_options().z_vertical);
    f.x = axes.x;
    f.y = axes.y;
    f.z = axes.z;
    return f;
}

}  // namespace

// ---- 2D -----------------------------------------------------------------------------------

void quad_init(Quad2D& quad, Point2 a, Point2 b, Point2 c, Point2 d)
{
    quad.p[0] = a;
    quad.p[1] = b;
    quad.p[2] = c;
    quad.p[3] = d;
}

void quad_add_to_box(const Quad2D& quad, Box2D& box)
{
    for (const Point2& p : quad.p)
        box.add(p.x, p.y);
}

bool quad_contains(const Quad2D& quad, float x, float y)
{
    return convex_contains(quad.p, x, y);
}

void quad_between_nodes(int a, int b, double r1, double r2, Quad2D& quad)
{
    quad = quad_around(node_view_point(a), node_view_point(b), r1, r2);
}

void triangle_init(Triangle2D& triangle, Point2 a, Point2 b, Point2 c)
{
    triangle.p[0] = a;
    if (cross2(a, b, c) < 0.0) {
        triangle.p[1] = c;
        triangle.p[2] = b;
    } else {
        triangle.p[1] = b;
        triangle.p[2] = c;
    }
}

bool triangle_contains(const Triangle2D& triangle, float x, float y)
{
    return convex_contains(triangle.p, x, y);
}

void triangle_add_to_box(const Triangle2D& triangle, Box2D& box)
{
    for (const Point2& p : triangle.p)
        box.add(p.x, p.y);
}

void frame2d_init(LocalFrame2D& frame, Point2 origin, Point2 u, Point2 v, float length)
{
    auto unit = [](Point2 d, Point2 fallback) {
        const double n = length2(d.x, d.y);
        return n < TINY ? fallback : point(d.x / n, d.y / n);
    };
    frame.origin = origin;
    frame.u = unit(u, {1.0f, 0.0f});
    frame.v = unit(v, {0.0f, 1.0f});
    frame.length = length;
}

void frame2d_between_nodes(int a, int b, LocalFrame2D& frame)
{
    const Point2 pa = node_view_point(a);
    const Point2 pb = node_view_point(b);
    const Point2 d{pb.x - pa.x, pb.y - pa.y};
    const double length = length2(d.x, d.y);
    frame2d_init(frame, pa, d, {-d.y, d.x}, static_cast<float>(length));
}

Point2 frame2d_apply(const LocalFrame2D& frame, float x, float y)
{
    return point(frame.origin.x + double(x) * frame.u.x + double(y) * frame.v.x,
                 frame.origin.y + double(x) * frame.u.y + double(y) * frame.v.y);
}

Point2 frame2d_apply_scaled(const LocalFrame2D& frame, float x, float y)
{
    return frame2d_apply(frame, static_cast<float>(double(x) * frame.length), y);
}

LocalFrame2D symbol_frame_at_node(int node, const Vec3& direction)
{
    const Point2 d = project_point(direction);
    LocalFrame2D frame;
    frame2d_init(frame, node_view_point(node), d, {-d.y, d.x}, 1.0f);
    return frame;
}

Point2 project_point(const Vec3& p)
{
    const auto& r = view_state().rotation;
    return point(r[0][0] * p.x + r[0][1] * p.y + r[0][2] * p.z, r[1][0] * p.x + r[1][1] * p.y + r[1][2] * p.z);
}

Point2 node_view_point(int node)
{
    const Model& m = model();
    if (!m.nodes.valid(node))
        return {};
    return {m.nodes[node].sx, m.nodes[node].sy};
}

Vec3 node_model_point(int node)
{
    const Model& m = model();
    if (!m.nodes.valid(node))
        return {};
    return node_position(m, node);
}

// ---- 3D -----------------------------------------------------------------------------------

void frame3d_identity(Frame3D& frame)
{
    frame = Frame3D{};
}

Frame3D frame3d_between_nodes(int a, int b)
{
    const Vec3 pa = node_model_point(a);
    const Vec3 pb = node_model_point(b);
    return frame_along(a, {pb.x - pa.x, pb.y - pa.y, pb.z - pa.z});
}

Frame3D frame3d_at_node(int node, const Vec3& x_direction)
{
    return frame_along(node, x_direction);
}

Vec3 frame3d_apply(const Frame3D& frame, const Vec3& local)
{
    return plus(frame.origin, plus(scaled(frame.x, local.x), plus(scaled(frame.y, local.y), scaled(frame.z, local.z))));
}

void cylinder_init(Cylinder& cylinder, const Vec3& p1, const Vec3& p2, double radius, bool end_disks)
{
    cylinder.p1 = p1;
    cylinder.p2 = p2;
    cylinder.radius = static_cast<float>(radius);
    cylinder.end_disks = end_disks;
    cylinder.outline = quad_around(project_point(p1), project_point(p2), radius, radius);
}

void cylinder_init_in_frame(Cylinder& cylinder, const Frame3D& frame, const Vec3& local1, const Vec3& local2,
                            double radius, bool end_disks)
{
    cylinder_init(cylinder, frame3d_apply(frame, local1), frame3d_apply(frame, local2), radius, end_disks);
}

void cylinder_between_nodes(Cylinder& cylinder, int a, int b, double radius, bool end_disks)
{
    cylinder_init(cylinder, node_model_point(a), node_model_point(b), radius, end_disks);
}

void sphere_init(Sphere& sphere, const Vec3& centre, double radius)
{
    sphere.centre = centre;
    sphere.radius = static_cast<float>(radius);
    const Point2 c = project_point(centre);
    sphere.box.reset();
    sphere.box.add(static_cast<float>(c.x - radius), static_cast<float>(c.y - radius));
    sphere.box.add(static_cast<float>(c.x + radius), static_cast<float>(c.y + radius));
}

void solid_box_init(SolidBox& box, const Vec3& centre, const Vec3& sizes, const Vec3 axes[3])
{
    const double half[3] = {sizes.x / 2.0, sizes.y / 2.0, sizes.z / 2.0};
    for (int k = 0; k < 3; ++k)
        box.axes[k] = axes[k];
    // Corner i takes +half along axis k when bit k of i is set.
    for (int i = 0; i < 8; ++i) {
        Vec3 c = centre;
        for (int k = 0; k < 3; ++k)
            c = plus(c, scaled(axes[k], (i >> k & 1) ? half[k] : -half[k]));
        box.corners[i] = c;
    }
    // The face of each axis that looks towards the viewer.
    const auto& r = view_state().rotation;
    const Vec3 towards{r[2][0], r[2][1], r[2][2]};
    for (int k = 0; k < 3; ++k) {
        const int side = dot(axes[k], towards) >= 0.0 ? 1 : 0;
        const int i = (k + 1) % 3, j = (k + 2) % 3;
        auto corner = [&](int si, int sj) {
            return project_point(box.corners[(side << k) | (si << i) | (sj << j)]);
        };
        quad_init(box.faces[k], corner(0, 0), corner(1, 0), corner(1, 1), corner(0, 1));
    }
}

void solid_box_between_nodes(SolidBox& box, int a, int b, double width, double height)
{
    const Frame3D f = frame3d_between_nodes(a, b);
    const Vec3 pa = node_model_point(a);
    const Vec3 pb = node_model_point(b);
    const double length = length3(pb.x - pa.x, pb.y - pa.y, pb.z - pa.z);
    const Vec3 centre{(pa.x + pb.x) / 2.0, (pa.y + pb.y) / 2.0, (pa.z + pb.z) / 2.0};
    const Vec3 axes[3] = {f.x, f.y, f.z};
    solid_box_init(box, centre, {length, height, width}, axes);
}

void solid_box_add_to_box(const SolidBox& box, Box2D& extent)
{
    for (const Quad2D& face : box.faces)
        quad_add_to_box(face, extent);
}

bool solid_box_contains(const SolidBox& box, float x, float y)
{
    return std::any_of(std::begin(box.faces), std::end(box.faces),
                       [&](const Quad2D& face) { return quad_contains(face, x, y); });
}

void solid_box_reset_axes(SolidBox& box)
{
    box.axes[0] = {1.0, 0.0, 0.0};
    box.axes[1] = {0.0, 1.0, 0.0};
    box.axes[2] = {0.0, 0.0, 1.0};
}
