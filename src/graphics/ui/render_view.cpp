// The render view's OpenGL: the set-up of a context and the painter through
// which the symbols draw their solids.
#include "graphics/ui/render_view.h"

#include "graphics/color_scale.h"
#include "graphics/model_view.h"
#include "graphics/render_geometry.h"
#include "graphics/view_settings.h"
#include "graphics/view_transform.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/model.h"
#include "model/view_drawing.h"

#include <GL/gl.h>

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

GLenum gl_mode(PrimitiveMode mode)
{
    switch (mode) {
    case PrimitiveMode::Lines: return GL_LINES;
    case PrimitiveMode::TriangleFan: return GL_TRIANGLE_FAN;
    case PrimitiveMode::QuadStrip: return GL_QUAD_STRIP;
    case PrimitiveMode::Triangles: return GL_TRIANGLES;
    case PrimitiveMode::Quads: return GL_QUADS;
    }
    return GL_TRIANGLES;
}

void draw(const MeshPart& part)
{
    if (part.count() == 0)
        return;
    glVertexPointer(3, GL_FLOAT, 0, part.vertices.data());
    glNormalPointer(GL_FLOAT, 0, part.normals.data());
    glDrawArrays(gl_mode(part.mode), 0, part.count());
}

// Turns the local x axis onto the direction (after a translation).
void orient_x_to(const Vec3& d)
{
    const AxisTurn t = turn_x_onto(d);
    if (t.turn)
        glRotated(t.degrees, t.axis.x, t.axis.y, t.axis.z);
}

double length_of(const Vec3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

void oriented_disk(const Vec3& at, double r, const Vec3& d)
{
    const int n = sides_for_radius(r);
    if (n < 4)
        return;
    glPushMatrix();
    glTranslated(at.x, at.y, at.z);
    orient_x_to(d);
    draw(disk_mesh(r, select_tessellation(n)));
    glPopMatrix();
}

// The painter of the render view: the solids of the symbols; the 2D calls
// are left alone. Colours with an alpha below 1 blend.
class GLPainter final : public ViewPainter {
public:
    void select_pen(ViewPen) override {}
    void line(Point2, Point2) override {}
    void bezier(const Point2 (&)[4]) override {}
    void circle(Point2, float) override {}

    void color(float r, float g, float b, float alpha) override
    {
        glColor4f(r, g, b, alpha);
        if (alpha < 1.0f)
            glEnable(GL_BLEND);
        else if (!blending_)
            glDisable(GL_BLEND);
    }

    void blend(bool on) override
    {
        blending_ = on;
        if (on)
            glEnable(GL_BLEND);
        else
            glDisable(GL_BLEND);
        glDepthMask(on ? GL_FALSE : GL_TRUE);
    }

    void cylinder(const Vec3& p1, const Vec3& p2, double r1, double r2, unsigned flags) override
    {
        const Vec3 d = minus(p2, p1);
        const double length = length_of(d);
        const int n = sides_for_radius(std::max(r1, r2));
        if (n < 4) {
            line3d(p1, p2);
            return;
        }
        if (length < 0.001)
            return;
        const Tessellation t = select_tessellation(n);
        glPushMatrix();
        glTranslated(p1.x, p1.y, p1.z);
        orient_x_to(d);
        draw(tube_mesh(r1, r2, length, t));
        if (flags & CYLINDER_END_DISKS) {
            glFrontFace(GL_CW);
            draw(disk_mesh(r1, t));
            glFrontFace(GL_CCW);
            glTranslated(length, 0.0, 0.0);
            draw(disk_mesh(r2, t));
        }
        glPopMatrix();
    }

    void bend(const Vec3& near, const Vec3& far, const Vec3& centre, double bend_radius, double tube_radius,
              double angle) override
    {
        const int n = sides_for_radius(tube_radius);
        if (n < 4 || !(angle > 0.0))
            return;
        const int pieces = arc_segments_for_length(view_state().scale * bend_radius * angle);
        const std::array<float, 16> frame = bend_frame(centre, near, far);
        glPushMatrix();
        glTranslated(centre.x, centre.y, centre.z);
        glMultMatrixf(frame.data());
        for (const MeshPart& strip : bend_mesh(bend_radius, tube_radius, angle, pieces, select_tessellation(n)))
            draw(strip);
        glPopMatrix();
    }

    void sphere(const Vec3& centre, double radius) override
    {
        const int n = sides_for_radius(radius);
        if (n < 4)
            return;
        glPushMatrix();
        glTranslated(centre.x, centre.y, centre.z);
        for (const MeshPart& strip : sphere_mesh(radius, select_tessellation(n)))
            draw(strip);
        glPopMatrix();
    }

    void solid_box(const SolidBox& box) override { draw(solid_box_mesh(box)); }

    void line3d(const Vec3& a, const Vec3& b) override
    {
        glDisable(GL_LIGHTING);
        glBegin(GL_LINES);
        glVertex3d(a.x, a.y, a.z);
        glVertex3d(b.x, b.y, b.z);
        glEnd();
        glEnable(GL_LIGHTING);
    }

    void cone(const Vec3& base, const Vec3& apex, double radius) override
    {
        const Vec3 d = minus(apex, base);
        const double length = length_of(d);
        const int n = sides_for_radius(radius);
        if (n < 4) {
            line3d(base, apex);
            return;
        }
        if (length < 0.001)
            return;
        glPushMatrix();
        glTranslated(base.x, base.y, base.z);
        orient_x_to(d);
        draw(cone_mesh(radius, length, select_tessellation(n)));
        glPopMatrix();
        oriented_disk(base, radius, scaled(d, -1.0));
    }

    void ring(const Ring& r) override
    {
        const int n = sides_for_radius(r.outer_radius);
        if (n < 4)
            return;
        glPushMatrix();
        glTranslated(r.centre.x, r.centre.y, r.centre.z);
        orient_x_to(r.direction);
        draw(ring_mesh(r.inner_radius, r.outer_radius, select_tessellation(n)));
        glPopMatrix();
    }

    void front_face_clockwise(bool clockwise) override { glFrontFace(clockwise ? GL_CW : GL_CCW); }

private:
    bool blending_ = false;
};

bool aborted()
{
    return paint_abort().load(std::memory_order_relaxed);
}

Vec3 unit_or(const Vec3& v, const Vec3& fallback)
{
    const double n = length_of(v);
    return n > 1e-12 ? scaled(v, 1.0 / n) : fallback;
}

// Two unit vectors across a direction.
void across(const Vec3& d, Vec3& u, Vec3& v)
{
    const Vec3 axis = unit_or(d, Vec3{1.0, 0.0, 0.0});
    const Vec3 other = std::fabs(axis.x) < 0.9 ? Vec3{1.0, 0.0, 0.0} : Vec3{0.0, 1.0, 0.0};
    u = unit_or(cross(axis, other), Vec3{0.0, 1.0, 0.0});
    v = cross(axis, u);
}

// The value that draws a tube in the neutral grey of a pipe without stress.
constexpr float NEUTRAL = std::numeric_limits<float>::quiet_NaN();

void vertex_colour(float value)
{
    if (std::isnan(value)) {
        glColor3f(0.5f, 0.5f, 0.5f);
        return;
    }
    const RampColor c = color_for_ratio(value);
    glColor3f(c.r, c.g, c.b);
}

}  // namespace

void gl_tube_segment(const Vec3& a, const Vec3& b, double radius_a, double radius_b, float value_a, float value_b)
{
    const int n = sides_for_radius(std::max(radius_a, radius_b));
    glDisable(GL_LIGHTING);
    if (n < 4) {
        glBegin(GL_LINES);
        vertex_colour(value_a);
        glVertex3d(a.x, a.y, a.z);
        vertex_colour(value_b);
        glVertex3d(b.x, b.y, b.z);
        glEnd();
        glEnable(GL_LIGHTING);
        return;
    }
    const Tessellation t = select_tessellation(n);
    Vec3 u, v;
    across(minus(b, a), u, v);
    glBegin(GL_QUAD_STRIP);
    for (int k = 0; k <= t.sides; ++k) {
        const double c = (*t.cos)[static_cast<std::size_t>(k)], s = (*t.sin)[static_cast<std::size_t>(k)];
        const Vec3 ring{c * u.x + s * v.x, c * u.y + s * v.y, c * u.z + s * v.z};
        vertex_colour(value_b);
        glVertex3d(b.x + radius_b * ring.x, b.y + radius_b * ring.y, b.z + radius_b * ring.z);
        vertex_colour(value_a);
        glVertex3d(a.x + radius_a * ring.x, a.y + radius_a * ring.y, a.z + radius_a * ring.z);
    }
    glEnd();
    glEnable(GL_LIGHTING);
}

void gl_draw_pipe_color_coded(const Vec3& a, const Vec3& b, double radius_a, double radius_b, float value_a,
                              float value_b)
{
    for (const TubePiece& p : tube_pieces(color_scale(), a, b, radius_a, radius_b, value_a, value_b))
        gl_tube_segment(p.a, p.b, p.radius_a, p.radius_b, p.value_a, p.value_b);
}

void gl_draw_bend_color_coded(const Vec3& centre, const Vec3& start, const Vec3& end, double pipe_radius,
                              float value_start, float value_end)
{
    const Vec3 x = minus(start, centre);
    const double bend_radius = length_of(x);
    const int n = sides_for_radius(pipe_radius);
    if (n < 4 || bend_radius < 1e-9)
        return;
    const Vec3 ux = scaled(x, 1.0 / bend_radius);
    const Vec3 z = unit_or(cross(ux, unit_or(minus(end, centre), ux)), Vec3{0.0, 0.0, 1.0});
    const Vec3 uy = cross(z, ux);
    const Vec3 e = minus(end, centre);
    const double angle = std::atan2(dot(e, uy), dot(e, ux));
    if (!(angle > 0.0))
        return;
    const int segments = std::max(1, arc_segments_for_length(view_state().scale * bend_radius * angle));
    const Tessellation t = select_tessellation(n);
    const double step = angle / segments;
    auto point = [&](double phi, double c, double s) {
        const double reach = bend_radius + pipe_radius * c;
        const Vec3 radial{std::cos(phi) * ux.x + std::sin(phi) * uy.x, std::cos(phi) * ux.y + std::sin(phi) * uy.y,
                          std::cos(phi) * ux.z + std::sin(phi) * uy.z};
        return Vec3{centre.x + reach * radial.x + pipe_radius * s * z.x, centre.y + reach * radial.y + pipe_radius * s * z.y,
                    centre.z + reach * radial.z + pipe_radius * s * z.z};
    };
    glDisable(GL_LIGHTING);
    for (int k = 0; k < segments; ++k) {
        const double phi0 = k * step, phi1 = (k + 1) * step;
        const auto v0 = static_cast<float>(value_start + (value_end - value_start) * double(k) / segments);
        const auto v1 = static_cast<float>(value_start + (value_end - value_start) * double(k + 1) / segments);
        glBegin(GL_QUAD_STRIP);
        for (int i = 0; i <= t.sides; ++i) {
            const double c = (*t.cos)[static_cast<std::size_t>(i)], s = (*t.sin)[static_cast<std::size_t>(i)];
            const Vec3 p0 = point(phi0, c, s), p1 = point(phi1, c, s);
            vertex_colour(v0);
            glVertex3d(p0.x, p0.y, p0.z);
            vertex_colour(v1);
            glVertex3d(p1.x, p1.y, p1.z);
        }
        glEnd();
    }
    glEnable(GL_LIGHTING);
}

void gl_draw_colour_coded_elements()
{
    const StressColouring& c = stress_colouring();
    if (!c.stresses && !c.ratios)
        return;
    const Model& m = model();
    const auto& radius_of = model_hooks().pipe_radius;
    // Both faces: the strips are not wound one way.
    glDisable(GL_CULL_FACE);
    for (int e = 1; e <= m.numelems(); ++e) {
        if (aborted())
            break;
        const Elem& el = m.elems[e];
        if (!element_is_pipe_like(el) || (el.jacket && !c.jackets) || !m.rows.valid(el.row) || !m.rows[el.row].shown)
            continue;
        const double radius = radius_of ? radius_of(el.row) : 1.0;
        // An element without values (one an edit changed since the analysis)
        // is no stress of the range: it is drawn neutral grey.
        const bool has = c.values.valid(e) && c.has_values[e];
        const float v1 = has ? c.values[e][0] : NEUTRAL, v2 = has ? c.values[e][1] : NEUTRAL;
        const Vec3 a = node_model_point(el.node1), b = node_model_point(el.node2);
        const LayoutRow& r = m.rows[el.row];
        const BendGeometry* g = el.kind == ET_BEND && r.element ? r.element->bend_geometry() : nullptr;
        if (g && g->geometry_valid)
            gl_draw_bend_color_coded(Vec3{g->centre[0], g->centre[1], g->centre[2]}, a, b, radius, v1, v2);
        else if (has)
            gl_draw_pipe_color_coded(a, b, radius, radius, v1, v2);
        else
            gl_tube_segment(a, b, radius, radius, v1, v2);
    }
    glEnable(GL_CULL_FACE);
}

void gl_setup_lights(bool white_background)
{
    glEnable(GL_DEPTH_TEST);
    glEnable(GL_CULL_FACE);
    glEnable(GL_LIGHTING);
    const GLfloat ambient[] = {0.4f, 0.4f, 0.4f, 1.0f};
    glLightModelfv(GL_LIGHT_MODEL_AMBIENT, ambient);
    const GLfloat diffuse[] = {0.8f, 0.8f, 0.8f, 1.0f};
    const GLfloat specular[] = {0.9f, 0.9f, 0.9f, 1.0f};
    const GLfloat position[] = {10000.0f, 10000.0f, 10000.0f, 1.0f};
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    glLightfv(GL_LIGHT0, GL_AMBIENT, ambient);
    glLightfv(GL_LIGHT0, GL_DIFFUSE, diffuse);
    glLightfv(GL_LIGHT0, GL_SPECULAR, specular);
    glLightfv(GL_LIGHT0, GL_POSITION, position);
    glEnable(GL_LIGHT0);
    glEnable(GL_COLOR_MATERIAL);
    glColorMaterial(GL_FRONT, GL_AMBIENT_AND_DIFFUSE);
    const GLfloat material_specular[] = {0.5f, 0.5f, 0.5f, 1.0f};
    glMaterialfv(GL_FRONT, GL_SPECULAR, material_specular);
    glMaterialf(GL_FRONT, GL_SHININESS, 64.0f);
    glBlendFunc(GL_SRC_ALPHA, GL_ONE_MINUS_SRC_ALPHA);
    if (white_background)
        glClearColor(1.0f, 1.0f, 1.0f, 1.0f);
    else
        glClearColor(0.0f, 0.0f, 0.0f, 1.0f);
    glEnableClientState(GL_VERTEX_ARRAY);
    glEnableClientState(GL_NORMAL_ARRAY);
}

bool gl_draw_scene(int width, int height, const ViewWindow& window)
{
    gl_setup_lights(graphics_settings().white_background);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glMatrixMode(GL_PROJECTION);
    glLoadIdentity();
    const double depth = render_depth();
    glOrtho(window.xmin, window.xmax, window.ymin, window.ymax, -depth, depth);
    glMatrixMode(GL_MODELVIEW);
    glLoadMatrixf(view_transform().view_matrix.data());
    graphics_view().clip_window = window;

    GLPainter painter;
    const ViewPainterScope scope(painter);
    Model& m = model();
    // Rows coloured by a property keep the colour given here.
    const bool by_property = property_colouring().on && graphics_settings().properties_legend_shown;
    struct ByProperty {
        explicit ByProperty(bool on) { view_state().color_by_load = on; }
        ~ByProperty() { view_state().color_by_load = false; }
        ByProperty(const ByProperty&) = delete;
        ByProperty& operator=(const ByProperty&) = delete;
    } colouring(by_property);
    // Opaque rows first, then the transparent ones over them.
    for (int pass = 0; pass < 2; ++pass) {
        if (pass == 1) {
            glEnable(GL_BLEND);
            glDepthMask(GL_FALSE);
        }
        for (int row = 1; row <= m.numrows(); ++row) {
            if (aborted())
                return false;
            LayoutRow& r = m.rows[row];
            if (!r.shown || (r.transparent != 0) != (pass == 1))
                continue;
            if (by_property) {
                const int entry = property_color_entry(row);
                const Color p = entry > 0 ? palette_color(entry) : rgb(128, 128, 128);
                glColor4f(p.r / 255.0f, p.g / 255.0f, p.b / 255.0f, r.transparent ? 0.6f : 1.0f);
            }
            if (r.element && element_in_view(row))
                r.element->draw_3d(r);
            if (data_item_in_view(row) && data_kind_shown(r.dtype))
                r.data->draw_3d(row);
        }
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    for (int row = 1; row <= m.numrows(); ++row) {
        if (aborted())
            return false;
        LayoutRow& r = m.rows[row];
        if (r.shown && (r.etype == ET_JACKETED_PIPE || r.etype == ET_JACKETED_BEND) && r.element && r.built)
            r.element->draw_jacket_3d(r);
    }
    glDepthMask(GL_TRUE);
    glDisable(GL_BLEND);
    gl_draw_colour_coded_elements();
    if (const auto& results = graphics_hooks().render_results)
        results();
    glFlush();
    return !aborted();
}

void gl_clear_scene(int width, int height)
{
    gl_setup_lights(graphics_settings().white_background);
    glViewport(0, 0, width, height);
    glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
    glFlush();
}

void gl_finish()
{
    glFinish();
}
