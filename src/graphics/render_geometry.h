// What the render view draws, worked out without OpenGL: how finely round
// parts are divided (by their radius in pixels and the rendering quality),
// and the vertices and normals of every solid primitive in its own local
// coordinates, which the render view turns into place and draws.
//
// Local coordinates of the round primitives run along x: a disk or ring
// lies in the plane x = 0, a tube from x = 0 to its length.
#pragma once

#include "framework/geometry.h"
#include "model/symbols.h"

#include <array>
#include <vector>

// The side counts there are tables for.
inline constexpr int TESSELLATION_SIDES[] = {4, 6, 8, 12, 16, 24, 48};

// cos(2 pi k / n) and sin(2 pi k / n) for k = 0..n (entry n repeats entry 0).
struct Tessellation {
    int sides = 4;
    const std::vector<float>* cos = nullptr;
    const std::vector<float>* sin = nullptr;
};

// The tables of n sides for n of 6, 8, 12, 16, 24 or 48; any other n gives 4.
Tessellation select_tessellation(int n);
// The number of sides of a round part of radius r (view units): 0 below half
// a pixel; 48 at high quality, 24 at medium; else by the radius in pixels p:
// below 3 gives 4, below 5 gives 6, below 9 gives 8, below 13 gives 12,
// below 17 gives 16, from 17 on 24.
int sides_for_radius(double r);
// The number of pieces along a bend arc of the given length in pixels.
int arc_segments_for_length(double pixels);

enum class PrimitiveMode { Lines, TriangleFan, QuadStrip, Triangles, Quads };

// One glDrawArrays: its mode, three floats a vertex and a normal each.
struct MeshPart {
    PrimitiveMode mode = PrimitiveMode::Triangles;
    std::vector<float> vertices;
    std::vector<float> normals;
    int count() const { return static_cast<int>(vertices.size() / 3); }
    void add(double x, double y, double z, double nx, double ny, double nz);
};

// A disk of radius r in the plane x = 0: a fan of n + 2 vertices, normals +x.
MeshPart disk_mesh(double r, const Tessellation& t);
// A ring between two radii in the plane x = 0: a strip of 2(n + 1) vertices.
MeshPart ring_mesh(double inner, double outer, const Tessellation& t);
// The side of a tube from radius r1 at x = 0 to r2 at x = length: a strip of
// 2(n + 1) vertices with normals (s, cos, sin) made unit, s = (r1 - r2) / length.
MeshPart tube_mesh(double r1, double r2, double length, const Tessellation& t);
// A sphere about the origin: n strips of 2(n + 1) vertices.
std::vector<MeshPart> sphere_mesh(double r, const Tessellation& t);
// A cone from a base of radius r at x = 0 to the apex at x = length: n
// triangles (3n vertices); the base disk is drawn apart.
MeshPart cone_mesh(double r, double length, const Tessellation& t);
// A torus section in the bend's frame (x towards the first end, the bend in
// the x-y plane): m strips of 2(n + 1) vertices.
std::vector<MeshPart> bend_mesh(double bend_radius, double tube_radius, double angle, int pieces, const Tessellation& t);
// The six faces of a box (24 vertices, quads), each with its face normal,
// in model coordinates.
MeshPart solid_box_mesh(const SolidBox& box);

// The turn that puts the local x axis onto a direction: about the unit of
// x cross d by the angle between them (degrees); at 179.9 degrees or more
// about (0, 1, 0); no turn below 0.01 degrees.
struct AxisTurn {
    double degrees = 0.0;
    Vec3 axis{0.0, 0.0, 1.0};
    bool turn = false;
};
AxisTurn turn_x_onto(const Vec3& direction);

// The columns x, y, z of the bend's frame (a = unit(first end - centre),
// z = unit(a x unit(second end - centre)), y = z x a), as a column-major
// 4x4 matrix with no translation.
std::array<float, 16> bend_frame(const Vec3& centre, const Vec3& first, const Vec3& second);
