// CAESAR II lines laid out as that program writes them: each bend carries a
// node at its mid point (the angle field -2.0202) and one at the angle 0,
// where its arc begins; the line's ends are fixed by displacement records
// whose first vector gives every component (0) and whose other vectors
// leave them free (9999.99), with no anchor record. English units (inch,
// lb), 6 in STD pipe (6.625 x 0.28 in) of 0.283 lb/in3.
#pragma once

#include "exchange/data/cii_fixture.h"
#include "exchange/data/neutral_samples.h"

#include <array>
#include <vector>

namespace cii_test {

// The angle field of a bend node at the mid point.
inline constexpr double MID_POINT_ANGLE = -2.0202;
inline constexpr double LINE_BEND_RADIUS = 9.0;   // inch, 1.5 D

using Point = std::array<double, 3>;

// A node block holding its node fixed: vector 1 all 0, the others free.
inline CiiVectorBlock fixed_by_displacement(int node)
{
    CiiVectorBlock b;
    b.node = node;
    for (std::size_t k = 1; k < 9; ++k)
        b.vectors[k].fill(FREE_DISPLACEMENT);
    return b;
}

// The line through `points` with the node numbers `nodes`: element k runs
// from nodes[k] to nodes[k + 1], and each inner point is the corner of a
// bend of radius `radius` on the element that ends there, whose mid node is
// the corner's number less 1 and whose node at 0 degrees the corner's less
// 2. Node nodes[0] stands on COORDS; both ends are fixed by one
// displacement record.
inline CiiFile bent_line(const std::vector<int>& nodes, const std::vector<Point>& points,
                         double radius = LINE_BEND_RADIUS, double version = 10.0)
{
    CiiFile f;
    f.version = version;
    f.title = "BENT LINE";
    for (std::size_t k = 0; k + 1 < nodes.size(); ++k) {
        CiiElementRecord e;
        e.from = nodes[k];
        e.to = nodes[k + 1];
        e.dx = points[k + 1][0] - points[k][0];
        e.dy = points[k + 1][1] - points[k][1];
        e.dz = points[k + 1][2] - points[k][2];
        if (k + 2 < nodes.size()) {
            f.bends.push_back({radius, MID_POINT_ANGLE, double(nodes[k + 1] - 1), 0.0, double(nodes[k + 1] - 2), 0});
            e.bend = static_cast<int>(f.bends.size());
        }
        f.elements.push_back(e);
    }
    f.coords = {{double(nodes.front()), points.front()[0], points.front()[1], points.front()[2]}};
    f.displacements.push_back({fixed_by_displacement(nodes.front()), fixed_by_displacement(nodes.back())});
    return f;
}

// A rigid restraint along Y at a node.
inline std::vector<CiiRestraintRecordBlock> y_restraint(int node)
{
    return {{double(node), 3, 1.0e12, 0, 0, 0, {}}};
}

// Two bends of 90 degrees in the horizontal plane: from node 10 at the
// origin 120 in along X to the corner 20, 120 in along Z to the corner 30,
// 120 in along X to node 40.
inline const std::vector<int> TWO_BEND_NODES = {10, 20, 30, 40};
inline const std::vector<Point> TWO_BEND_POINTS = {{0, 0, 0}, {120, 0, 0}, {120, 0, 120}, {240, 0, 120}};

// Six bends of 90 degrees through space, each with its mid and 0-degree
// nodes, between ends fixed by displacements, written as version 7.0:
// 10 along X to the corner 20, along Z to 30, up Y to 40, along X to 50,
// back along -Z to 60, down -Y to 70 and along X to 80.
inline const std::vector<int> SIX_BEND_NODES = {10, 20, 30, 40, 50, 60, 70, 80};
inline const std::vector<Point> SIX_BEND_POINTS = {{0, 0, 0},     {120, 0, 0},   {120, 0, 96},  {120, 60, 96},
                                                   {216, 60, 96}, {216, 60, 24}, {216, 0, 24},  {336, 0, 24}};

// The six-bend line with a Y restraint at the 0-degree nodes of the bends
// at 20 and 50 (nodes 18 and 48).
inline CiiFile six_bend_line()
{
    CiiFile f = bent_line(SIX_BEND_NODES, SIX_BEND_POINTS, LINE_BEND_RADIUS, 7.0);
    f.title = "SIX BENDS";
    f.restraints = {y_restraint(18), y_restraint(48)};
    return f;
}

}  // namespace cii_test
