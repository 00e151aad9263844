#include "graphics/shapes.h"

#include "framework/state.h"
#include "graphics/graphics_view.h"
#include "graphics/view_transform.h"
#include "model/bend_geometry.h"
#include "model/element_data.h"
#include "model/elements.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "results/results_reader.h"
#include "results/results_state.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace {

Point2 projected(const Vec3& p)
{
    Point2 out;
    project_point(p.x, p.y, p.z, out.x, out.y);
    return out;
}

Vec3 add_scaled(const Vec3& a, const Vec3& b, double f)
{
    return {a.x + f * b.x, a.y + f * b.y, a.z + f * b.z};
}

// A 3 by 3 matrix, m[row][column].
struct Matrix3 {
    double m[3][3] = {};
    Vec3 apply(const Vec3& v) const
    {
        return {m[0][0] * v.x + m[0][1] * v.y + m[0][2] * v.z, m[1][0] * v.x + m[1][1] * v.y + m[1][2] * v.z,
                m[2][0] * v.x + m[2][1] * v.y + m[2][2] * v.z};
    }
};

// The inverse by cofactors; a determinant of 0 is taken as 0.0001.
Matrix3 inverse(const Matrix3& a)
{
    const auto& m = a.m;
    double det = m[0][0] * (m[1][1] * m[2][2] - m[1][2] * m[2][1]) - m[0][1] * (m[1][0] * m[2][2] - m[1][2] * m[2][0]) +
                 m[0][2] * (m[1][0] * m[2][1] - m[1][1] * m[2][0]);
    if (det == 0.0)
        det = 0.0001;
    Matrix3 r;
    r.m[0][0] = (m[1][1] * m[2][2] - m[1][2] * m[2][1]) / det;
    r.m[0][1] = (m[0][2] * m[2][1] - m[0][1] * m[2][2]) / det;
    r.m[0][2] = (m[0][1] * m[1][2] - m[0][2] * m[1][1]) / det;
    r.m[1][0] = (m[1][2] * m[2][0] - m[1][0] * m[2][2]) / det;
    r.m[1][1] = (m[0][0] * m[2][2] - m[0][2] * m[2][0]) / det;
    r.m[1][2] = (m[0][2] * m[1][0] - m[0][0] * m[1][2]) / det;
    r.m[2][0] = (m[1][0] * m[2][1] - m[1][1] * m[2][0]) / det;
    r.m[2][1] = (m[0][1] * m[2][0] - m[0][0] * m[2][1]) / det;
    r.m[2][2] = (m[0][0] * m[1][1] - m[0][1] * m[1][0]) / det;
    return r;
}

std::vector<Point2> straight(const Vec3& p1, const Vec3& u1, const Vec3& p2, const Vec3& u2, double f)
{
    return {projected(add_scaled(p1, u1, f)), projected(add_scaled(p2, u2, f))};
}

// A pipe or beam: the cubic of the end translations and rotations in the
// local axes of its chord.
std::vector<Point2> cubic(const Vec3& p1, const Vec3& u1, const Vec3& t1, const Vec3& p2, const Vec3& u2,
                          const Vec3& t2, double f, int n)
{
    const Vec3 chord = minus(p2, p1);
    const double length = norm(chord);
    if (length < 1e-6)
        return straight(p1, u1, p2, u2, f);
    const double h = std::hypot(chord.x, chord.y);
    double cx = 1.0, cy = 0.0;
    if (h >= 0.0001) {
        cx = chord.x / h;
        cy = chord.y / h;
    }
    const double dzl = chord.z / length;
    // Columns: the local x (along the chord), y (horizontal) and z axes.
    Matrix3 r;
    r.m[0][0] = chord.x / length;
    r.m[1][0] = chord.y / length;
    r.m[2][0] = dzl;
    r.m[0][1] = -cy;
    r.m[1][1] = cx;
    r.m[2][1] = 0.0;
    r.m[0][2] = -dzl * cx;
    r.m[1][2] = -dzl * cy;
    r.m[2][2] = h / length;
    const Matrix3 to_local = inverse(r);
    const Vec3 d1 = to_local.apply(u1), d2 = to_local.apply(u2);
    const Vec3 r1 = to_local.apply(t1), r2 = to_local.apply(t2);
    const double l = length, l2 = l * l, l3 = l2 * l;
    const double a = ((r2.z + r1.z) * l - 2.0 * (d2.y - d1.y)) / l3;
    const double b = ((d2.y - d1.y) - r1.z * l - a * l3) / l2;
    const double c = -(2.0 * (d2.z - d1.z) + (r2.y + r1.y) * l) / l3;
    const double d = (r1.y * l + (d2.z - d1.z) - c * l3) / l2;
    std::vector<Point2> points;
    points.reserve(static_cast<std::size_t>(n) + 1);
    points.push_back(projected(add_scaled(p1, u1, f)));
    for (int k = 1; k < n; ++k) {
        const double s = k * l / n;
        const Vec3 local{d1.x + s * (d2.x - d1.x) / l, ((a * s + b) * s + r1.z) * s + d1.y,
                         ((c * s + d) * s - r1.y) * s + d1.z};
        const Vec3 at = add_scaled(p1, chord, s / l);
        points.push_back(projected(add_scaled(at, r.apply(local), f)));
    }
    points.push_back(projected(add_scaled(p2, u2, f)));
    return points;
}

// A bend: the arc about its centre, each point moved by the ends'
// translations in proportion.
std::vector<Point2> arc(const Vec3& p1, const Vec3& u1, const Vec3& p2, const Vec3& u2, const Vec3& centre, double f,
                        int n)
{
    const Vec3 a = minus(p1, centre), b = minus(p2, centre);
    const double radius = norm(a);
    if (radius < 1e-6 || norm(b) < 1e-6)
        return straight(p1, u1, p2, u2, f);
    const Vec3 ua{a.x / radius, a.y / radius, a.z / radius};
    const double along = dot(b, ua);
    const Vec3 across = add_scaled(b, ua, -along);
    const double across_length = norm(across);
    const double angle = std::atan2(across_length, along);
    if (across_length < 1e-9 || angle < 1e-6)
        return straight(p1, u1, p2, u2, f);
    const Vec3 tangent{across.x / across_length, across.y / across_length, across.z / across_length};
    std::vector<Point2> points;
    points.reserve(static_cast<std::size_t>(n) + 1);
    for (int i = 0; i <= n; ++i) {
        const double phi = i * angle / n;
        Vec3 at = add_scaled(p1, tangent, radius * std::sin(phi));
        at = add_scaled(at, ua, -radius * (1.0 - std::cos(phi)));
        const double t = double(i) / n;
        const Vec3 u = add_scaled(u1, minus(u2, u1), t);
        points.push_back(projected(add_scaled(at, u, f)));
    }
    return points;
}

}  // namespace

ShapeState& shape_state()
{
    return session_part<ShapeState>();
}

ShapeHooks& shape_hooks()
{
    return session_part<ShapeHooks>();
}

void load_current_mode()
{
    if (const auto& read = shape_hooks().read_mode)
        read();
    else
        read_mode_results();
}

float& magnification()
{
    return results().magnification;
}

void node_displacement(int node, Vec3& translation, Vec3& rotation)
{
    const auto& d = results().displacements;
    if (node < 1 || node > d.size()) {
        translation = rotation = Vec3{0.0, 0.0, 0.0};
        return;
    }
    const std::array<float, 6>& v = d[node];
    translation = {v[0], v[1], v[2]};
    rotation = {v[3], v[4], v[5]};
}

void auto_magnification()
{
    const ViewState& v = view_state();
    double largest = 0.0;
    for (int node = 1; node <= model().numnodes(); ++node) {
        Vec3 t, r;
        node_displacement(node, t, r);
        const double sx = v.rotation[0][0] * t.x + v.rotation[0][1] * t.y + v.rotation[0][2] * t.z;
        const double sy = v.rotation[1][0] * t.x + v.rotation[1][1] * t.y + v.rotation[1][2] * t.z;
        const double length = std::hypot(sx, sy);
        if (std::isfinite(length))
            largest = std::max(largest, length);
    }
    const ViewWindow& w = graphics_view().view_window;
    ShapeState& s = shape_state();
    s.magnification_limit = static_cast<float>(std::min(double(w.width()) / (largest + 1e-7), 1.0e6));
    magnification() = 0.05f * s.magnification_limit;
}

float shape_magnification()
{
    ShapeState& s = shape_state();
    if (magnification() == 0.0f || s.magnification_limit == 0.0f)
        auto_magnification();
    if (magnification() > s.magnification_limit)
        magnification() = s.magnification_limit;
    return magnification();
}

int animation_segments(int elements)
{
    if (elements < 25)
        return 8;
    if (elements < 50)
        return 6;
    if (elements < 100)
        return 4;
    if (elements < 150)
        return 2;
    return 1;
}

int animation_frames(int elements, bool deflected)
{
    const int n = elements < 8 ? 32 : elements < 12 ? 24 : 20;
    return deflected ? 2 * n : n;
}

double animation_factor(double magnification, int k, int n, bool deflected)
{
    const double swing = deflected ? std::numbers::pi / 2.0 : 2.0 * std::numbers::pi;
    return magnification * std::cos(k * swing / std::max(n, 1));
}

std::vector<Point2> displaced_element_points(int element)
{
    const Model& m = model();
    if (!m.elems.valid(element))
        return {};
    const Elem& e = m.elems[element];
    const Vec3 p1 = node_model_point(e.node1), p2 = node_model_point(e.node2);
    Vec3 u1, t1, u2, t2;
    node_displacement(e.node1, u1, t1);
    node_displacement(e.node2, u2, t2);
    const ShapeState& s = shape_state();
    const double f = s.shape_factor;
    const int n = std::max(s.shape_segments, 1);
    if (n == 1)
        return straight(p1, u1, p2, u2, f);
    if (e.kind == ET_PIPE || e.kind == ET_BEAM)
        return cubic(p1, u1, t1, p2, u2, t2, f, n);
    if (e.kind == ET_BEND && m.rows.valid(e.row) && m.rows[e.row].element) {
        const BendGeometry* g = m.rows[e.row].element->bend_geometry();
        if (g && g->geometry_valid)
            return arc(p1, u1, p2, u2, Vec3{g->centre[0], g->centre[1], g->centre[2]}, f, n);
    }
    return straight(p1, u1, p2, u2, f);
}

void draw_displaced_element(int element)
{
    const std::vector<Point2> points = displaced_element_points(element);
    for (std::size_t k = 1; k < points.size(); ++k)
        draw_line(points[k - 1], points[k]);
}

void draw_mode_markers()
{
    const auto& markers = shape_hooks().mode_markers;
    int first = 0, second = 0;
    if (!markers || !markers(first, second))
        return;
    const Model& m = model();
    const double f = shape_state().shape_factor;
    const auto radius = static_cast<float>(view_pixels(6.0));
    auto at = [&](int node) {
        Vec3 u, r;
        node_displacement(node, u, r);
        return projected(add_scaled(node_model_point(node), u, f));
    };
    if (m.nodes.valid(second)) {
        draw_select_pen(PEN_HIGHLIGHT);
        draw_circle(at(second), radius);
    }
    if (m.nodes.valid(first) && first != second) {
        draw_select_pen(PEN_SHAPE);
        draw_circle(at(first), radius);
    }
}

void draw_displaced_elements()
{
    const Model& m = model();
    for (int e = 1; e <= m.numelems(); ++e)
        if (!m.rows.valid(m.elems[e].row) || m.rows[m.elems[e].row].shown)
            draw_displaced_element(e);
}

void draw_displaced_shape()
{
    draw_select_pen(PEN_SHAPE);
    draw_displaced_elements();
    draw_mode_markers();
    draw_select_pen(PEN_ELEMENT);
}
