#include "graphics/render_geometry.h"

#include "graphics/view_settings.h"
#include "model/view_drawing.h"

#include <array>
#include <cmath>
#include <numbers>

namespace {

struct Tables {
    std::vector<float> cos, sin;
};

const Tables& tables(int n)
{
    static const std::array<Tables, 7> all = [] {
        std::array<Tables, 7> t;
        for (std::size_t i = 0; i < t.size(); ++i) {
            const int sides = TESSELLATION_SIDES[i];
            for (int k = 0; k <= sides; ++k) {
                const double angle = 2.0 * std::numbers::pi * (k % sides) / sides;
                t[i].cos.push_back(static_cast<float>(std::cos(angle)));
                t[i].sin.push_back(static_cast<float>(std::sin(angle)));
            }
        }
        return t;
    }();
    for (std::size_t i = 0; i < all.size(); ++i)
        if (TESSELLATION_SIDES[i] == n)
            return all[i];
    return all[0];
}

Vec3 unit(const Vec3& v)
{
    const double n = norm(v);
    return n > 0.0 ? scaled(v, 1.0 / n) : v;
}

}  // namespace

void MeshPart::add(double x, double y, double z, double nx, double ny, double nz)
{
    vertices.insert(vertices.end(), {static_cast<float>(x), static_cast<float>(y), static_cast<float>(z)});
    normals.insert(normals.end(), {static_cast<float>(nx), static_cast<float>(ny), static_cast<float>(nz)});
}

Tessellation select_tessellation(int n)
{
    switch (n) {
    case 6:
    case 8:
    case 12:
    case 16:
    case 24:
    case 48: break;
    default: n = 4; break;
    }
    const Tables& t = tables(n);
    return Tessellation{n, &t.cos, &t.sin};
}

int sides_for_radius(double r)
{
    const double p = view_state().scale * r;
    if (!(p >= 0.5))
        return 0;
    const int quality = graphics_settings().rendering_quality;
    if (quality == 2)
        return 48;
    if (quality == 1)
        return 24;
    const int i = p > 1.0e6 ? 1000000 : static_cast<int>(p);
    if (i < 3)
        return 4;
    if (i < 5)
        return 6;
    if (i < 9)
        return 8;
    if (i < 13)
        return 12;
    if (i < 17)
        return 16;
    return 24;
}

int arc_segments_for_length(double x)
{
    if (!(x >= 4.0))
        return 1;
    if (x < 7.0)
        return 2;
    if (x < 10.0)
        return 3;
    if (x < 15.0)
        return 4;
    if (x < 20.0)
        return 5;
    if (x < 50.0)
        return 6;
    if (x < 100.0)
        return static_cast<int>(0.1 * x + 0.5) + 1;
    // A bend as long as the screen is wide needs no more pieces than that.
    return static_cast<int>(0.02 * std::min(x, 1.0e5) + 0.5) + 8;
}

MeshPart disk_mesh(double r, const Tessellation& t)
{
    MeshPart m;
    m.mode = PrimitiveMode::TriangleFan;
    m.add(0.0, 0.0, 0.0, 1.0, 0.0, 0.0);
    for (int k = 0; k <= t.sides; ++k)
        m.add(0.0, r * (*t.cos)[k], r * (*t.sin)[k], 1.0, 0.0, 0.0);
    return m;
}

MeshPart ring_mesh(double inner, double outer, const Tessellation& t)
{
    MeshPart m;
    m.mode = PrimitiveMode::QuadStrip;
    for (int k = 0; k <= t.sides; ++k) {
        const double c = (*t.cos)[k], s = (*t.sin)[k];
        m.add(0.0, inner * c, inner * s, 1.0, 0.0, 0.0);
        m.add(0.0, outer * c, outer * s, 1.0, 0.0, 0.0);
    }
    return m;
}

MeshPart tube_mesh(double r1, double r2, double length, const Tessellation& t)
{
    MeshPart m;
    m.mode = PrimitiveMode::QuadStrip;
    const double slope = length > 0.0 ? (r1 - r2) / length : 0.0;
    const double n = std::sqrt(slope * slope + 1.0);
    for (int k = 0; k <= t.sides; ++k) {
        const double c = (*t.cos)[k], s = (*t.sin)[k];
        m.add(length, r2 * c, r2 * s, slope / n, c / n, s / n);
        m.add(0.0, r1 * c, r1 * s, slope / n, c / n, s / n);
    }
    return m;
}

std::vector<MeshPart> sphere_mesh(double r, const Tessellation& t)
{
    std::vector<MeshPart> strips;
    const int n = t.sides;
    for (int i = 0; i < n; ++i) {
        // The same angle step for both angles: rings at i and i + 1 steps.
        const double a0 = std::numbers::pi * i / n, a1 = std::numbers::pi * (i + 1) / n;
        const double s0 = std::sin(a0), c0 = std::cos(a0), s1 = std::sin(a1), c1 = std::cos(a1);
        MeshPart m;
        m.mode = PrimitiveMode::QuadStrip;
        for (int j = 0; j <= n; ++j) {
            const double cj = (*t.cos)[j], sj = (*t.sin)[j];
            m.add(r * s0 * cj, r * s0 * sj, r * c0, s0 * cj, s0 * sj, c0);
            m.add(r * s1 * cj, r * s1 * sj, r * c1, s1 * cj, s1 * sj, c1);
        }
        strips.push_back(std::move(m));
    }
    return strips;
}

MeshPart cone_mesh(double r, double length, const Tessellation& t)
{
    MeshPart m;
    m.mode = PrimitiveMode::Triangles;
    for (int k = 0; k < t.sides; ++k) {
        const double c0 = (*t.cos)[k], s0 = (*t.sin)[k], c1 = (*t.cos)[k + 1], s1 = (*t.sin)[k + 1];
        const double a = length > 0.0 ? r / length : 0.0;
        const double n0 = std::sqrt(a * a + 1.0);
        m.add(0.0, r * c0, r * s0, a / n0, c0 / n0, s0 / n0);
        m.add(0.0, r * c1, r * s1, a / n0, c1 / n0, s1 / n0);
        m.add(length, 0.0, 0.0, 1.0, 0.0, 0.0);
    }
    return m;
}

std::vector<MeshPart> bend_mesh(double R, double r, double angle, int pieces, const Tessellation& t)
{
    std::vector<MeshPart> strips;
    for (int k = 0; k < pieces; ++k) {
        const double f0 = k * angle / pieces, f1 = f0 + angle / pieces;
        MeshPart m;
        m.mode = PrimitiveMode::QuadStrip;
        for (int j = 0; j <= t.sides; ++j) {
            const double cj = (*t.cos)[j], sj = (*t.sin)[j];
            for (double f : {f0, f1}) {
                const double cf = std::cos(f), sf = std::sin(f);
                m.add((R + r * cj) * cf, (R + r * cj) * sf, r * sj, cj * cf, cj * sf, sj);
            }
        }
        strips.push_back(std::move(m));
    }
    return strips;
}

MeshPart solid_box_mesh(const SolidBox& b)
{
    MeshPart m;
    m.mode = PrimitiveMode::Quads;
    const Vec3 a1 = b.axes[0], a2 = b.axes[1], a3 = b.axes[2];
    struct Face {
        int corners[4];
        Vec3 normal;
    };
    const Face faces[6] = {{{0, 1, 2, 3}, a1},
                           {{4, 5, 6, 7}, scaled(a1, -1.0)},
                           {{0, 3, 4, 7}, a2},
                           {{6, 5, 2, 1}, scaled(a2, -1.0)},
                           {{0, 7, 6, 1}, a3},
                           {{2, 5, 4, 3}, scaled(a3, -1.0)}};
    for (const Face& f : faces)
        for (int c : f.corners) {
            const Vec3& p = b.corners[c];
            m.add(p.x, p.y, p.z, f.normal.x, f.normal.y, f.normal.z);
        }
    return m;
}

AxisTurn turn_x_onto(const Vec3& d)
{
    AxisTurn t;
    const double n = norm(d);
    if (n <= 0.0)
        return t;
    const Vec3 u = scaled(d, 1.0 / n);
    const double c = std::clamp(u.x, -1.0, 1.0);
    t.degrees = std::acos(c) * 180.0 / std::numbers::pi;
    t.axis = unit(cross({1.0, 0.0, 0.0}, u));
    if (t.degrees >= 179.9)
        t.axis = {0.0, 1.0, 0.0};
    t.turn = t.degrees >= 0.01;
    return t;
}

std::array<float, 16> bend_frame(const Vec3& centre, const Vec3& first, const Vec3& second)
{
    const Vec3 a = unit(minus(first, centre));
    const Vec3 z = unit(cross(a, unit(minus(second, centre))));
    const Vec3 y = unit(cross(z, a));
    std::array<float, 16> m{};
    const Vec3 columns[3] = {a, y, z};
    for (int c = 0; c < 3; ++c) {
        m[static_cast<std::size_t>(c * 4)] = static_cast<float>(columns[c].x);
        m[static_cast<std::size_t>(c * 4 + 1)] = static_cast<float>(columns[c].y);
        m[static_cast<std::size_t>(c * 4 + 2)] = static_cast<float>(columns[c].z);
    }
    m[15] = 1.0f;
    return m;
}
