// CAESAR II files whose elements do not follow their runs, as plant-design
// converters write them: branches listed from their free ends toward a tee
// of the header placed before them, a loop whose first elements come before
// the one that ties it to the header, and a bend whose continuation comes
// later in the file. Each with the place of every node as its elements put
// it, worked by hand. English units (inch, lb), 6 in STD pipe (6.625 x
// 0.28 in) of 0.283 lb/in3, no COORDS record but the first node's.
#pragma once

#include "exchange/data/cii_bend_lines.h"

#include <utility>
#include <vector>

namespace cii_test {

// A node of a file and where its elements put it, inch.
struct PlacedNode {
    int node;
    Point p;
};

// Where a node of a set of placed nodes stands.
inline Point point_of(const std::vector<PlacedNode>& nodes, int node)
{
    for (const PlacedNode& p : nodes)
        if (p.node == node)
            return p.p;
    ADD_FAILURE() << "no node " << node;
    return Point{};
}

// The element from node `from` to node `to` of a set of placed nodes.
inline CiiElementRecord element_between(const std::vector<PlacedNode>& nodes, int from, int to)
{
    const auto at = [&nodes](int n) { return point_of(nodes, n); };
    CiiElementRecord e;
    e.from = from, e.to = to;
    e.dx = at(to)[0] - at(from)[0];
    e.dy = at(to)[1] - at(from)[1];
    e.dz = at(to)[2] - at(from)[2];
    return e;
}

// A rigid anchor at a node.
inline CiiRestraintRecordBlock anchor_at(int node)
{
    return {double(node), 1, 0, 0, 0, 0, {}};
}

// The header 10 - 100 - 110 - 120 - 130, 120 in apart along X from node 10
// at (1000, 0, 500); branch A leaves the tee at 110 30 in at a time up Z to
// 350 (330 in) and then 24 in at a time along X to its free end 240
// (264 in), numbered 450, 440, ..., 240 outwards; branch B leaves the tee
// at 120 40 in along -Z to 520 and 510 and then 60 in down to its free end
// 500.
inline std::vector<PlacedNode> branch_nodes()
{
    std::vector<PlacedNode> nodes = {{10, {1000, 0, 500}},  {100, {1120, 0, 500}}, {110, {1240, 0, 500}},
                                     {120, {1360, 0, 500}}, {130, {1480, 0, 500}}};
    for (int k = 0; k <= 21; ++k) {
        const double up = 30.0 * std::min(k + 1, 11), along = 24.0 * std::max(k - 10, 0);
        nodes.push_back({450 - 10 * k, {1240 + along, 0, 500 + up}});
    }
    nodes.push_back({520, {1360, 0, 460}});
    nodes.push_back({510, {1360, 0, 420}});
    nodes.push_back({500, {1360, -60, 420}});
    return nodes;
}

// The pipe's length in the branch file, by hand: the header, branch A and
// branch B, inch.
inline constexpr double BRANCH_FILE_LENGTH = 4 * 120 + 330 + 264 + 140;

// The branch file: the header's elements, then branch A's from its free
// end, 240-250, 250-260, ..., 440-450, 450-110, then branch B's, 500-510,
// 510-520, 520-120; anchored at the header's ends and at both free ends.
inline CiiFile branch_file()
{
    const std::vector<PlacedNode> nodes = branch_nodes();
    CiiFile f;
    f.title = "BRANCHES FROM THEIR FREE ENDS";
    for (const auto& [from, to] : std::vector<std::pair<int, int>>{{10, 100}, {100, 110}, {110, 120}, {120, 130}})
        f.elements.push_back(element_between(nodes, from, to));
    for (int n = 240; n < 450; n += 10)
        f.elements.push_back(element_between(nodes, n, n + 10));
    f.elements.push_back(element_between(nodes, 450, 110));
    for (const auto& [from, to] : std::vector<std::pair<int, int>>{{500, 510}, {510, 520}, {520, 120}})
        f.elements.push_back(element_between(nodes, from, to));
    f.restraints = {{anchor_at(10), anchor_at(130), anchor_at(240), anchor_at(500)}};
    f.coords = {{10, 1000, 0, 500}};
    return f;
}

// The header 10 - 20 - 30 - 40, 120 in apart along X from node 10 at the
// origin, anchored at its ends, and a loop from 20 96 in up Z to 60, 120 in
// along X to 70 and back down to 30.
inline std::vector<PlacedNode> loop_nodes()
{
    return {{10, {0, 0, 0}},    {20, {120, 0, 0}},   {30, {240, 0, 0}},
            {40, {360, 0, 0}}, {60, {120, 0, 96}}, {70, {240, 0, 96}}};
}

// The header and the loop, inch.
inline constexpr double LOOP_FILE_LENGTH = 3 * 120 + 96 + 120 + 96;

// The loop file: the header's elements, then the loop's as 60-70 and 70-30,
// which closes on the header's node 30, and last 20-60, which ties the
// loop's first node to the header.
inline CiiFile loop_file()
{
    const std::vector<PlacedNode> nodes = loop_nodes();
    CiiFile f;
    f.title = "LOOP";
    for (const auto& [from, to] :
         std::vector<std::pair<int, int>>{{10, 20}, {20, 30}, {30, 40}, {60, 70}, {70, 30}, {20, 60}})
        f.elements.push_back(element_between(nodes, from, to));
    f.restraints = {{anchor_at(10), anchor_at(40)}};
    f.coords = {{10, 0, 0, 0}};
    return f;
}

// The two-bend line with a Y restraint at each bend's 0-degree node, its
// ends fixed by displacements.
inline CiiFile two_bend_line()
{
    CiiFile f = bent_line(TWO_BEND_NODES, TWO_BEND_POINTS);
    f.title = "TWO BENDS";
    f.restraints = {y_restraint(18), y_restraint(28)};
    return f;
}

// The same line with its elements in the order 10-20, 30-40, 20-30: the
// continuation of the bend at 20 comes after the element that continues
// the bend at 30, which comes before its bend.
inline CiiFile later_continuation_line()
{
    CiiFile f = two_bend_line();
    std::swap(f.elements[1], f.elements[2]);
    return f;
}

}  // namespace cii_test
