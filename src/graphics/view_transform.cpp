#include "graphics/view_transform.h"

#include "framework/state.h"
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "model/analysis_options.h"
#include "model/model.h"

#include <cmath>

namespace {

Vec3 unit_or_same(const Vec3& v)
{
    const double n = norm(v);
    return n > 0.0 ? scaled(v, 1.0 / n) : v;
}

Matrix4 identity()
{
    Matrix4 m{};
    m[0] = m[5] = m[10] = m[15] = 1.0f;
    return m;
}

// Gives the symbols the rotation of the view matrix.
void publish_rotation(const Matrix4& m)
{
    auto& r = view_state().rotation;
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            r[row][col] = m[static_cast<std::size_t>(col * 4 + row)];
}

// The view's shift of the window that keeps the centroid where it was.
void keep_centroid(float x0, float y0)
{
    float x1 = 0.0f, y1 = 0.0f;
    projected_centroid(x1, y1);
    ViewWindow& w = graphics_view().view_window;
    w.xmin += x1 - x0;
    w.xmax += x1 - x0;
    w.ymin += y1 - y0;
    w.ymax += y1 - y0;
}

void suspend()
{
    if (const auto& h = graphics_hooks().highlight_suspend)
        h();
}

void resume()
{
    if (const auto& h = graphics_hooks().highlight_resume)
        h();
}

// Rebuilds the view from the viewpoint and puts the centroid back in place.
void rebuild_and_recentre(float x0, float y0)
{
    const Vec3& p = view_transform().viewpoint;
    build_view_matrix(p.x, p.y, p.z);
    update_screen_positions();
    compute_model_extent();
    keep_centroid(x0, y0);
    update_view_window();
    graphics_redraw();
}

}  // namespace

ViewTransform& view_transform()
{
    struct Part {
        ViewTransform value = [] {
            ViewTransform t;
            t.view_matrix = identity();
            t.rotation_matrix = identity();
            return t;
        }();
    };
    return session_part<Part>().value;
}

Matrix4 look_at_matrix(const Vec3& eye, const Vec3& centre, const Vec3& up)
{
    const Vec3 z = unit_or_same(minus(eye, centre));
    const Vec3 x = unit_or_same(cross(up, z));
    const Vec3 y = unit_or_same(cross(z, x));
    Matrix4 m{};
    const Vec3 rows[3] = {x, y, z};
    for (int r = 0; r < 3; ++r) {
        m[static_cast<std::size_t>(r)] = static_cast<float>(rows[r].x);
        m[static_cast<std::size_t>(4 + r)] = static_cast<float>(rows[r].y);
        m[static_cast<std::size_t>(8 + r)] = static_cast<float>(rows[r].z);
    }
    m[15] = 1.0f;
    matrix_translate(m, -eye.x, -eye.y, -eye.z);
    return m;
}

void matrix_translate(Matrix4& m, double tx, double ty, double tz)
{
    for (std::size_t i = 0; i < 4; ++i)
        m[12 + i] = static_cast<float>(m[12 + i] + tx * m[i] + ty * m[4 + i] + tz * m[8 + i]);
}

void set_viewpoint(double x, double y, double z)
{
    if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z) || (x == 0.0 && y == 0.0 && z == 0.0))
        return;
    ViewTransform& t = view_transform();
    if (analysis_options().z_vertical)
        t.up = std::hypot(x, y) < 1.0e-12 ? Vec3{-1.0, 0.0, 0.0} : Vec3{0.0, 0.0, 1.0};
    else
        t.up = std::hypot(x, z) < 1.0e-12 ? Vec3{0.0, 0.0, -1.0} : Vec3{0.0, 1.0, 0.0};
    build_view_matrix(x, y, z);
}

void build_view_matrix(double x, double y, double z)
{
    ViewTransform& t = view_transform();
    t.viewpoint = {x, y, z};
    t.view_direction = unit_or_same(t.viewpoint);
    t.view_matrix = look_at_matrix(t.view_direction, {}, t.up);
    publish_rotation(t.view_matrix);
    axes_directions();
}

void rotation_matrix(double angle, double x, double y, double z)
{
    Matrix4& m = view_transform().rotation_matrix;
    m = identity();
    const double n = std::sqrt(x * x + y * y + z * z);
    if (n <= 0.0)
        return;
    x /= n;
    y /= n;
    z /= n;
    const double c = std::cos(angle), s = std::sin(angle), k = 1.0 - c;
    // R = c I + (1 - c) n n^T + s [n]x, row r column c at m[c * 4 + r].
    const double r[3][3] = {{c + k * x * x, k * x * y - s * z, k * x * z + s * y},
                            {k * y * x + s * z, c + k * y * y, k * y * z - s * x},
                            {k * z * x - s * y, k * z * y + s * x, c + k * z * z}};
    for (int row = 0; row < 3; ++row)
        for (int col = 0; col < 3; ++col)
            m[static_cast<std::size_t>(col * 4 + row)] = static_cast<float>(r[row][col]);
}

Vec3 rotate_point(const Vec3& p)
{
    const Matrix4& m = view_transform().rotation_matrix;
    return {m[0] * p.x + m[4] * p.y + m[8] * p.z, m[1] * p.x + m[5] * p.y + m[9] * p.z,
            m[2] * p.x + m[6] * p.y + m[10] * p.z};
}

void project_point(double x, double y, double z, float& sx, float& sy)
{
    const Matrix4& m = view_transform().view_matrix;
    sx = static_cast<float>(m[0] * x + m[4] * y + m[8] * z + m[12]);
    sy = static_cast<float>(m[1] * x + m[5] * y + m[9] * z + m[13]);
}

void project_direction(double dx, double dy, double dz, float& sx, float& sy)
{
    project_point(dx, dy, dz, sx, sy);
    const double n = std::hypot(double(sx), double(sy));
    if (n < 1.0e-5)
        return;
    sx = static_cast<float>(sx / n);
    sy = static_cast<float>(sy / n);
}

void axis_direction(AxisProjection& axis, double x, double y, double z)
{
    float sx = 0.0f, sy = 0.0f;
    project_point(x, y, z, sx, sy);
    if (std::fabs(sx) < 0.01f)
        sx = 0.0f;
    if (std::fabs(sy) < 0.01f)
        sy = 0.0f;
    // The projected length of the unit axis, before the direction is made
    // unit: the triad draws a foreshortened axis shorter.
    const double length = std::hypot(double(sx), double(sy));
    if (length >= 0.01) {
        sx = static_cast<float>(sx / length);
        sy = static_cast<float>(sy / length);
    }
    axis.sx = sx;
    axis.sy = sy;
    axis.length = static_cast<float>(length);
    ViewState& v = view_state();
    v.axes_min_sx = std::min(v.axes_min_sx, sx);
    v.axes_max_sx = std::max(v.axes_max_sx, sx);
    v.axes_min_sy = std::min(v.axes_min_sy, sy);
    v.axes_max_sy = std::max(v.axes_max_sy, sy);
}

void axes_directions()
{
    ViewState& v = view_state();
    v.axes_min_sx = v.axes_min_sy = 1.0e30f;
    v.axes_max_sx = v.axes_max_sy = -1.0e30f;
    axis_direction(v.axes[0], 1.0, 0.0, 0.0);
    axis_direction(v.axes[1], 0.0, 1.0, 0.0);
    axis_direction(v.axes[2], 0.0, 0.0, 1.0);
}

void projected_centroid(float& x, float& y)
{
    const Model& m = model();
    x = y = 0.0f;
    if (m.numnodes() == 0)
        return;
    double sx = 0.0, sy = 0.0;
    for (const NodeRecord& n : m.nodes) {
        float px = 0.0f, py = 0.0f;
        project_point(n.x, n.y, n.z, px, py);
        sx += px;
        sy += py;
    }
    x = static_cast<float>(sx / m.numnodes());
    y = static_cast<float>(sy / m.numnodes());
}

void rotate_view_horizontally(int steps)
{
    if (steps == 0)
        return;
    suspend();
    float x0 = 0.0f, y0 = 0.0f;
    projected_centroid(x0, y0);
    ViewTransform& t = view_transform();
    rotation_matrix(steps * ROTATION_STEP, t.up.x, t.up.y, t.up.z);
    t.viewpoint = rotate_point(t.viewpoint);
    rebuild_and_recentre(x0, y0);
    resume();
}

void rotate_view_vertically(int steps)
{
    if (steps == 0)
        return;
    suspend();
    float x0 = 0.0f, y0 = 0.0f;
    projected_centroid(x0, y0);
    ViewTransform& t = view_transform();
    const Vec3 a = unit_or_same(cross(t.up, t.viewpoint));
    rotation_matrix(steps * ROTATION_STEP, a.x, a.y, a.z);
    t.viewpoint = rotate_point(t.viewpoint);
    // Past the vertical the screen's horizontal axis turns round: the up
    // vector turns round with it.
    const Vec3 b = unit_or_same(cross(t.up, t.viewpoint));
    const double c = std::clamp(dot(a, b), -1.0, 1.0);
    if (std::acos(c) > 0.1)
        t.up = scaled(t.up, -1.0);
    t.up = unit_or_same(t.up);
    rebuild_and_recentre(x0, y0);
    resume();
}
