// Symbol geometry: the 2D outlines and frames of the view plane and the 3D
// parts of the render view.
#include "model/symbols.h"

#include "model/analysis_options.h"
#include "model/elements.h"
#include "model/model.h"
#include "model/view_drawing.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

// Shorter projected lengths than this count as none.
constexpr double TINY = 0.001;

double cross2(Point2 o, Point2 a, Point2 b)
{
    return (double(a.x) - o.x) * (double(b.y) - o.y) - (double(a.y) - o.y) * (double(b.x) - o.x);
}

// True when the point lies strictly on the inner (left) side of every edge
// of the counter-clockwise polygon.
template <std::size_t N>
bool strictly_inside(const Point2 (&p)[N], float x, float y)
{
    const Point2 q{x, y};
    for (std::size_t i = 0; i < N; ++i)
        if (!(cross2(q, p[i], p[(i + 1) % N]) > 0.0))
            return false;
    return true;
}

Point2 point(double x, double y)
{
    return {static_cast<float>(x), static_cast<float>(y)};
}

double length_of(const Vec3& v)
{
    return length3(v.x, v.y, v.z);
}

// The x axis along the direction and y, z by the model's local-axis
// convention; the axes are also left in the shared element axes, where the
// local-axes triad takes them from.
Frame3D frame_along(const Vec3& origin, Vec3 x)
{
    Frame3D f;
    f.origin = origin;
    const double length = length_of(x);
    if (length < 1.0e-5)
        x = {1.0, 0.0, 0.0};
    else
        x = scaled(x, 1.0 / length);
    LocalAxes axes;
    axes.x = x;
    complete_local_axes(axes, analysis_options().z_vertical);
    local_axes() = axes;
    f.x = axes.x;
    f.y = axes.y;
    f.z = axes.z;
    return f;
}

// The cosine between the view direction and the unit axis from a to b (0
// for coinciding points).
double view_cosine(const Vec3& a, const Vec3& b)
{
    const Vec3 d = minus(b, a);
    const double length = length_of(d);
    return length > 0.0 ? dot(view_direction(), d) / length : 0.0;
}

}  // namespace

// ---- 2D -----------------------------------------------------------------------------------

void quad_init(Quad2D& quad, Point2 a, Point2 b, Point2 c, Point2 d)
{
    quad.p[0] = a;
    quad.p[2] = c;
    // (p0 - p2) x (p1 - p2) is positive for counter-clockwise corners.
    if (cross2(c, a, b) < 0.0) {
        quad.p[1] = d;
        quad.p[3] = b;
    } else {
        quad.p[1] = b;
        quad.p[3] = d;
    }
}

void quad_add_to_box(const Quad2D& quad, Box2D& box)
{
    for (const Point2& p : quad.p)
        box.add(p.x, p.y);
}

bool quad_contains(const Quad2D& quad, float x, float y)
{
    return strictly_inside(quad.p, x, y);
}

void quad_from_segment(Quad2D& quad, const Vec3& end1, const Vec3& end2, double r1, double r2, bool closed)
{
    ScaledFrame2D frame;
    scaled_frame_between_points(frame, end1, end2);
    const double c = view_cosine(end1, end2);
    const double L = frame.length;
    double a = 0.0, b = L;
    if (c <= 0.0) {
        a = closed ? c * r1 : 0.0;
        b = L - c * r2;
    } else {
        a = -c * r1;
        b = closed ? L + c * r2 : L;
    }
    const auto fa = static_cast<float>(a), fb = static_cast<float>(b);
    const auto f1 = static_cast<float>(r1), f2 = static_cast<float>(r2);
    quad_init(quad, scaled_frame_map(frame, fa, f1), scaled_frame_map(frame, fa, -f1), scaled_frame_map(frame, fb, -f2),
              scaled_frame_map(frame, fb, f2));
}

void quad_between_nodes(int a, int b, double r1, double r2, Quad2D& quad, bool closed)
{
    quad_from_segment(quad, node_model_point(a), node_model_point(b), r1, r2, closed);
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
    return strictly_inside(triangle.p, x, y);
}

void triangle_add_to_box(const Triangle2D& triangle, Box2D& box)
{
    for (const Point2& p : triangle.p)
        box.add(p.x, p.y);
}

void triangle_for_cone(Triangle2D& triangle, const Vec3& base, const Vec3& apex, double r)
{
    ScaledFrame2D frame;
    scaled_frame_between_points(frame, base, apex);
    const auto back = static_cast<float>(-std::fabs(view_cosine(base, apex)) * r);
    const auto fr = static_cast<float>(r);
    triangle_init(triangle, scaled_frame_map(frame, back, fr), scaled_frame_map(frame, back, -fr),
                  scaled_frame_map(frame, frame.length, 0.0f));
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

Point2 frame2d_second_axis(float ux, float uy)
{
    const double n = length2(ux, uy);
    if (n < 1.0e-5)
        return {0.0f, 0.0f};
    const double x = ux / n, y = uy / n;
    if (std::fabs(y) > 0.95)
        return {1.0f, 0.0f};
    if (std::fabs(x) > 0.95)
        return {0.0f, 1.0f};
    const ViewState& v = view_state();
    int best = -1;
    double best_score = 0.0;
    for (int k = 0; k < 3; ++k) {
        const AxisProjection& a = v.axes[k];
        if (a.length < 1.0e-6)
            continue;
        double score = std::fabs(a.sx * x + a.sy * y);
        if (k == 1 && score >= 1.0e-5)
            score -= 1.0e-5;
        if (best < 0 || score < best_score) {
            best = k;
            best_score = score;
        }
    }
    if (best < 0)
        return point(-y, x);
    return {v.axes[best].sx, v.axes[best].sy};
}

void frame2d_set(LocalFrame2D& frame, Point2 origin, float ux, float uy)
{
    frame.origin = origin;
    const double n = length2(ux, uy);
    frame.u = n > 0.0 ? point(ux / n, uy / n) : Point2{ux, uy};
    frame.v = frame2d_second_axis(ux, uy);
    frame.length = 0.0f;
}

void frame2d_from_points(LocalFrame2D& frame, Point2 p1, Point2 p2)
{
    const float dx = p2.x - p1.x, dy = p2.y - p1.y;
    frame2d_set(frame, p1, dx, dy);
    frame.length = static_cast<float>(length2(dx, dy));
}

void frame2d_between_nodes(int a, int b, LocalFrame2D& frame)
{
    frame2d_from_points(frame, node_view_point(a), node_view_point(b));
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

void quad_element_outline(Quad2D& quad, const LocalFrame2D& frame)
{
    const auto h = static_cast<float>(view_state().element_half_width);
    quad_init(quad, frame2d_apply_scaled(frame, 0.0f, -h), frame2d_apply_scaled(frame, 1.0f, -h),
              frame2d_apply_scaled(frame, 1.0f, h), frame2d_apply_scaled(frame, 0.0f, h));
}

LocalFrame2D symbol_frame_at_node(int node, const Vec3& direction)
{
    const Point2 origin = project_point({});
    Point2 d = project_point(direction);
    d = {d.x - origin.x, d.y - origin.y};
    LocalFrame2D frame;
    frame2d_init(frame, node_view_point(node), d, {-d.y, d.x}, 1.0f);
    return frame;
}

void frame2d_add_point_to_box(const LocalFrame2D& frame, float x, float y, Box2D& box)
{
    const Point2 p = frame2d_apply(frame, x, y);
    box.add(p.x, p.y);
}

void frame2d_add_scaled_point_to_box(const LocalFrame2D& frame, float x, float y, Box2D& box)
{
    const Point2 p = frame2d_apply_scaled(frame, x, y);
    box.add(p.x, p.y);
}

void scaled_frame_set(ScaledFrame2D& frame, Point2 origin, float dx, float dy, float scale)
{
    double length = length2(dx, dy);
    double x = dx, y = dy;
    if (length < 1.0e-5) {
        length = 1.0e-5;
        x = 1.0e-5;
    }
    frame.origin = origin;
    frame.u = point(x / length, y / length);
    frame.scale = scale;
}

void scaled_frame_from_points(ScaledFrame2D& frame, Point2 p1, Point2 p2)
{
    const float dx = p2.x - p1.x, dy = p2.y - p1.y;
    scaled_frame_set(frame, p1, dx, dy, 1.0f);
    frame.length = static_cast<float>(length2(dx, dy));
}

void scaled_frame_between_points(ScaledFrame2D& frame, const Vec3& p1, const Vec3& p2)
{
    scaled_frame_from_points(frame, project_point(p1), project_point(p2));
}

Point2 scaled_frame_map(const ScaledFrame2D& f, float x, float y)
{
    return point(f.origin.x + (double(x) * f.u.x - double(y) * f.u.y) * f.scale,
                 f.origin.y + (double(x) * f.u.y + double(y) * f.u.x) * f.scale);
}

Point2 scaled_frame_map_int(const ScaledFrame2D& frame, int x, int y)
{
    return scaled_frame_map(frame, static_cast<float>(x), static_cast<float>(y));
}

void skew_frame_set(SkewFrame2D& frame, Point2 origin, float ax, float ay, float bx, float by)
{
    frame.origin = origin;
    double la = length2(ax, ay);
    if (la < TINY) {
        la = 1.0;
        ax = 1.0f;
    }
    double lb = length2(bx, by);
    if (lb < TINY) {
        lb = 1.0;
        by = 1.0f;
    }
    frame.a = point(ax / la, ay / la);
    frame.b = point(bx / lb, by / lb);
}

Point2 skew_frame_apply(const SkewFrame2D& f, float x, float y)
{
    return point(f.origin.x + double(x) * f.a.x + double(y) * f.b.x, f.origin.y + double(x) * f.a.y + double(y) * f.b.y);
}

Point2 project_point(const Vec3& p)
{
    const auto& r = view_state().rotation;
    return point(r[0][0] * p.x + r[0][1] * p.y + r[0][2] * p.z, r[1][0] * p.x + r[1][1] * p.y + r[1][2] * p.z);
}

Vec3 view_direction()
{
    const auto& r = view_state().rotation;
    return {r[2][0], r[2][1], r[2][2]};
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

void frame3d_init(Frame3D& frame, const Vec3& origin, const Vec3& direction)
{
    frame = frame_along(origin, direction);
}

void frame3d_from_points(Frame3D& frame, const Vec3& origin, const Vec3& end)
{
    frame = frame_along(origin, minus(end, origin));
}

void frame3d_from_axes(Frame3D& frame, const Vec3& origin, const Vec3& x_axis, const Vec3& y_axis)
{
    frame.origin = origin;
    const double length = length_of(x_axis);
    frame.x = length < 1.0e-5 ? Vec3{1.0, 0.0, 0.0} : scaled(x_axis, 1.0 / length);
    frame.y = y_axis;
    frame.z = cross(frame.x, frame.y);
}

void frame3d_between_node_indices(Frame3D& frame, int a, int b)
{
    const Vec3 pa = node_model_point(a);
    const Vec3 d = minus(node_model_point(b), pa);
    frame = frame_along(pa, length_of(d) < TINY ? Vec3{1.0, 0.0, 0.0} : d);
}

Frame3D frame3d_between_nodes(int a, int b)
{
    const Vec3 pa = node_model_point(a);
    return frame_along(pa, minus(node_model_point(b), pa));
}

Frame3D frame3d_at_node(int node, const Vec3& x_direction)
{
    return frame_along(node_model_point(node), x_direction);
}

Vec3 frame3d_apply(const Frame3D& frame, const Vec3& local)
{
    return plus(frame.origin, plus(scaled(frame.x, local.x), plus(scaled(frame.y, local.y), scaled(frame.z, local.z))));
}

std::vector<Vec3> frame3d_circle_points(const Frame3D& frame, int n, double radius, double x)
{
    std::vector<Vec3> points;
    if (n < 1)
        return points;
    points.reserve(static_cast<std::size_t>(n) + 1);
    for (int k = 0; k <= n; ++k) {
        const double angle = 2.0 * std::numbers::pi * k / n;
        points.push_back(frame3d_apply(frame, {x, radius * std::cos(angle), radius * std::sin(angle)}));
    }
    return points;
}

void cylinder_init(Cylinder& cylinder, const Vec3& p1, const Vec3& p2, double radius, bool end_disks)
{
    cylinder.p1 = p1;
    cylinder.p2 = p2;
    cylinder.radius = static_cast<float>(radius);
    cylinder.end_disks = end_disks;
    quad_from_segment(cylinder.outline, p1, p2, radius, radius, end_disks);
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
    Frame3D frame;
    frame3d_from_axes(frame, centre, axes[0], axes[1]);
    box.axes[0] = frame.x;
    box.axes[1] = frame.y;
    box.axes[2] = frame.z;
    const double a = sizes.x / 2.0, b = sizes.y / 2.0, c = sizes.z / 2.0;
    const Vec3 local[8] = {{a, b, c},   {a, -b, c},   {a, -b, -c}, {a, b, -c},
                           {-a, b, -c}, {-a, -b, -c}, {-a, -b, c}, {-a, b, c}};
    for (int i = 0; i < 8; ++i)
        box.corners[i] = frame3d_apply(frame, local[i]);
    // The face of each axis that looks towards the viewer (either when the
    // axis lies in the view plane).
    static const int faces[3][2][4] = {{{0, 1, 2, 3}, {4, 5, 6, 7}},
                                       {{0, 3, 4, 7}, {1, 2, 5, 6}},
                                       {{0, 7, 6, 1}, {3, 4, 5, 2}}};
    const Vec3 towards = view_direction();
    for (int k = 0; k < 3; ++k) {
        const int* f = faces[k][dot(towards, box.axes[k]) >= 0.0 ? 0 : 1];
        quad_init(box.faces[k], project_point(box.corners[f[0]]), project_point(box.corners[f[1]]),
                  project_point(box.corners[f[2]]), project_point(box.corners[f[3]]));
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

void valve_symbol_build(ValveSymbol& valve, const Vec3& centre, const Vec3& axis, double size)
{
    Frame3D frame;
    frame3d_init(frame, centre, axis);
    const double s = size;
    for (int k = 0; k < 6; ++k) {
        const double angle = k * std::numbers::pi / 3.0;
        cylinder_init_in_frame(valve.spokes[k], frame, {0.0, 0.0, 0.0},
                               {0.0, 1.15 * s * std::cos(angle), 1.15 * s * std::sin(angle)}, 0.1 * s, false);
    }
    const Vec3 p1 = frame3d_apply(frame, {-0.15 * s, 0.0, 0.0});
    const Vec3 p2 = frame3d_apply(frame, {0.15 * s, 0.0, 0.0});
    cylinder_init(valve.outer_rim, p1, p2, 1.3 * s, false);
    cylinder_init(valve.inner_rim, p1, p2, s, false);
    valve.face1 = Ring{p1, s, 1.3 * s, frame.x};
    valve.face2 = Ring{p2, s, 1.3 * s, frame.x};
    quad_from_segment(valve.outline, p1, p2, 1.3 * s, 1.3 * s, true);
}

bool valve_symbol_contains(const ValveSymbol& valve, float x, float y)
{
    return quad_contains(valve.outline, x, y);
}
