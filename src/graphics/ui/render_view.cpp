// The render view's OpenGL: the set-up of a context and the painter through
// which the symbols draw their solids.
#include "graphics/ui/render_view.h"

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

}  // namespace

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
