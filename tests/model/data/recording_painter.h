// A painter that writes down the drawing calls of the symbols, one text per
// call with its numbers to three decimals, so that a test reads what a view
// would draw:
//   "pen 0", "line 0.000 -3.500 10.000 -3.500", "bezier x0 y0 ... x3 y3",
//   "circle x y r", "color 0.500 0.500 0.500 1.000", "blend 1",
//   "cylinder x1 y1 z1 x2 y2 z2 r1 r2 flags",
//   "bend nx ny nz fx fy fz cx cy cz R r angle", "sphere x y z r",
//   "box cx cy cz" (the centre of the box), "line3d x1 y1 z1 x2 y2 z2".
#pragma once

#include "model/view_drawing.h"

#include <cstdio>
#include <string>
#include <vector>

class RecordingPainter final : public ViewPainter {
public:
    std::vector<std::string> calls;

    void select_pen(ViewPen pen) override { calls.push_back("pen " + std::to_string(static_cast<int>(pen))); }
    void line(Point2 a, Point2 b) override { add("line", {a.x, a.y, b.x, b.y}); }
    void bezier(const Point2 (&p)[4]) override
    {
        add("bezier", {p[0].x, p[0].y, p[1].x, p[1].y, p[2].x, p[2].y, p[3].x, p[3].y});
    }
    void circle(Point2 c, float r) override { add("circle", {c.x, c.y, r}); }
    void color(float r, float g, float b, float a) override { add("color", {r, g, b, a}); }
    void blend(bool on) override { calls.push_back(on ? "blend 1" : "blend 0"); }
    void cylinder(const Vec3& p1, const Vec3& p2, double r1, double r2, unsigned flags) override
    {
        add("cylinder", {p1.x, p1.y, p1.z, p2.x, p2.y, p2.z, r1, r2, double(flags)});
    }
    void bend(const Vec3& n, const Vec3& f, const Vec3& c, double bend_radius, double tube_radius,
              double angle) override
    {
        add("bend", {n.x, n.y, n.z, f.x, f.y, f.z, c.x, c.y, c.z, bend_radius, tube_radius, angle});
    }
    void sphere(const Vec3& c, double r) override { add("sphere", {c.x, c.y, c.z, r}); }
    void solid_box(const SolidBox& b) override
    {
        Vec3 c;
        for (const Vec3& p : b.corners) {
            c.x += p.x / 8;
            c.y += p.y / 8;
            c.z += p.z / 8;
        }
        add("box", {c.x, c.y, c.z});
    }
    void line3d(const Vec3& a, const Vec3& b) override { add("line3d", {a.x, a.y, a.z, b.x, b.y, b.z}); }

    // The calls that begin with `word`.
    std::vector<std::string> of(const std::string& word) const
    {
        std::vector<std::string> found;
        for (const std::string& c : calls)
            if (c.compare(0, word.size() + 1, word + " ") == 0)
                found.push_back(c);
        return found;
    }

private:
    void add(const char* word, std::initializer_list<double> values)
    {
        std::string text = word;
        char number[48];
        for (double v : values) {
            // -0.000 reads as 0.000.
            std::snprintf(number, sizeof number, " %.3f", v);
            text += std::string(number) == " -0.000" ? " 0.000" : number;
        }
        calls.push_back(text);
    }
};
