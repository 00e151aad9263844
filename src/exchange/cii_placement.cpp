// Where a CAESAR II neutral file puts its nodes: its elements give each
// node's place from the node at their other end (to = from + DX, DY, DZ),
// and COORDS gives some nodes theirs, whatever order the elements come in.
// Converters write branches from their free ends toward a tee that stands
// earlier in the file, and loops before the element that ties them to the
// rest: their nodes are placed along the connections before any row is made,
// so that a run starts at the place the file gives it.
#include "exchange/cii_build.h"

#include "framework/number_text.h"
#include "framework/text.h"
#include "materials/pipe_section.h"
#include "materials/size_tables.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/value_bounds.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <optional>
#include <set>

namespace {

// Tangents closer than this (radian) to straight or reversed make no arc.
constexpr double MIN_BEND_TURN = 1.0e-4;

// An element's offsets in inch, as its row holds them.
Vec3 offset_of(const CiiBuild& b, const CiiElement& e)
{
    const std::array<float, 3> d = b.offsets(e);
    return {d[0], d[1], d[2]};
}

// How the note names a few elements: "element 900-910 (line 12) connects",
// "elements 900-910, 910-920 (from line 12) connect", and past three
// "elements a, b, c and 4 more (from line 12) connect".
std::string elements_connect(const CiiStaging& s, const std::vector<int>& elements)
{
    constexpr std::size_t NAMED = 3;
    const auto name = [&s](int i) {
        return c_format("%d-%d", static_cast<int>(s.element[i].from), static_cast<int>(s.element[i].to));
    };
    const int line = s.element[elements.front()].line;
    if (elements.size() == 1)
        return c_format("element %s (line %d) connects", name(elements.front()).c_str(), line);
    std::string names;
    for (std::size_t k = 0; k < elements.size() && k < NAMED; ++k)
        names += (k == 0 ? "" : ", ") + name(elements[k]);
    if (elements.size() > NAMED)
        names += c_format(" and %zu more", elements.size() - NAMED);
    return c_format("elements %s (from line %d) connect", names.c_str(), line);
}

// A place in the dimension unit, "(1480, 0, 500) inch", to seven digits, as
// many as the model's float coordinates hold: a millimetre over a kilometre.
std::string place_text(const Vec3& p)
{
    std::string text;
    for (const double v : {p.x, p.y, p.z}) {
        char number[NUMBER_TEXT_SIZE];
        // 0 + v: no "-0".
        text += (text.empty() ? "(" : ", ") +
                std::string(number, write_general(number, to_display(DIMENSION, 0.0 + v), 7, false));
    }
    return text + ") " + unit_name(DIMENSION, current_unit(DIMENSION));
}

}  // namespace

CiiPlacement::CiiPlacement(CiiBuild& b) : b_(b), offsets_(static_cast<std::size_t>(b.s.elements) + 1)
{
    const CiiStaging& s = b.s;
    int first = 0;
    for (int i = 1; i <= s.elements; ++i) {
        const CiiElement& e = s.element[i];
        const int from = static_cast<int>(e.from), to = static_cast<int>(e.to);
        if (from == 0 || to == 0)
            continue;
        offsets_[static_cast<std::size_t>(i)] = b.offset_vector(e);
        edges_[from].push_back({i, to, 1.0});
        edges_[to].push_back({i, from, -1.0});
        if (first == 0 && !b.made_by_bend(from))
            first = i;
    }
    // A node of a bend's arc hangs on the bend's corner.
    for (const auto& [n, point] : b.bend_points)
        if (b.made_by_bend(n) && edges_.count(n) != 0) {
            edges_[n].push_back({0, point.corner, 0.0});
            edges_[point.corner].push_back({0, n, 0.0});
        }
    for (const auto& [node, c] : s.coordinates)
        if (edges_.count(node) != 0)
            given_[node] = {b.exact(c.xyz[0], s.units.length.value, NeutralQuantity::Coordinate, c.line, "X"),
                            b.exact(c.xyz[1], s.units.length.value, NeutralQuantity::Coordinate, c.line, "Y"),
                            b.exact(c.xyz[2], s.units.length.value, NeutralQuantity::Coordinate, c.line, "Z")};
    // The first COORDS node of each connected part, in the order of the
    // COORDS section, stands where COORDS puts it, and the connections place
    // the rest of the part from it, whatever order the elements come in: the
    // elements' place holds over what COORDS gives the other nodes
    // (note_coords_disagreements names a difference).
    std::vector<std::pair<int, int>> by_line;   // line, node
    for (const auto& [node, place] : given_)
        by_line.emplace_back(s.coordinates.at(node).line, node);
    std::sort(by_line.begin(), by_line.end());
    for (const auto& [line, node] : by_line)
        place_connected(node, given_.at(node));
    // A first element that COORDS does not place starts at the origin.
    if (first != 0)
        place_connected(static_cast<int>(s.element[first].from), Vec3{});
    note_unplaced_groups();
}

const Vec3* CiiPlacement::position(int n) const
{
    const auto found = placed_.find(n);
    return found == placed_.end() ? nullptr : &found->second;
}

const Vec3* CiiPlacement::given(int n) const
{
    const auto found = given_.find(n);
    return found == given_.end() ? nullptr : &found->second;
}

void CiiPlacement::place_connected(int n, const Vec3& p)
{
    if (edges_.count(n) == 0 || !placed_.emplace(n, p).second)
        return;
    walk({n});
}

// Along the connections from placed nodes to the nodes not placed yet; the
// first connection that reaches a node places it. A node of a bend's arc is
// placed by its bend once the bend's corner stands.
void CiiPlacement::walk(std::vector<int> from)
{
    while (!from.empty()) {
        const int n = from.back();
        from.pop_back();
        const Vec3 p = placed_.at(n);
        for (const Edge& edge : edges_[n]) {
            // A node of a bend's arc only by its bend, from the corner.
            const int other = edge.other;
            if ((edge.element == 0) != b_.made_by_bend(other))
                continue;
            std::optional<Vec3> at;
            if (edge.element == 0) {
                at = on_bend(*b_.bend_point(other), other);
            } else {
                const Vec3 offset = scaled(offsets_[static_cast<std::size_t>(edge.element)], edge.sign);
                at = b_.to_file_precision(plus(p, offset), largest_component(p, offset));
            }
            if (at && placed_.emplace(other, *at).second)
                from.push_back(other);
        }
    }
}

std::optional<Vec3> CiiPlacement::far_tangent(int bend, int corner) const
{
    CiiBendPoint point;
    point.corner = corner;
    point.element = bend;
    point.offset = FAR_TANGENT_OFFSET;
    return on_bend(point, 0);
}

// Where the bend of `point` puts its node n: on the arc of the bend's radius
// (its section's long radius where the file gives none) between the
// tangents that meet at its corner, along its element and the element that
// continues it; none while the corner does not stand.
std::optional<Vec3> CiiPlacement::on_bend(const CiiBendPoint& point, int n) const
{
    const CiiStaging& s = b_.s;
    const int next = b_.continuation[static_cast<std::size_t>(point.element)];
    const CiiElement& e = s.element[point.element];
    const Vec3* corner = position(point.corner);
    if (next == 0 || !corner || e.bend < 1 || e.bend > s.bends)
        return std::nullopt;
    const Vec3 in = offsets_[static_cast<std::size_t>(point.element)], out = offsets_[static_cast<std::size_t>(next)];
    const CiiBend& d = s.bend[e.bend];
    double radius = b_.convert(d.radius, s.units.length, NeutralQuantity::Dimension, d.line, "Bend radius");
    if (!(radius > 0.0)) {
        // The long radius of the bend's section, which has no table size.
        PipeSection section;
        section.outside_diameter =
            b_.convert(e.od, s.units.diameter, NeutralQuantity::Dimension, e.line, "Outside diameter");
        section.nominal_size = CII_NOMINAL_SIZE;
        radius = section_bend_radius(section, false);
    }
    if (!(norm(in) > 0.0 && norm(out) > 0.0 && radius > 0.0))
        return std::nullopt;
    const Vec3 u1 = scaled(in, 1.0 / norm(in)), u2 = scaled(out, 1.0 / norm(out));
    const double angle = std::acos(std::clamp(dot(u1, u2), -1.0, 1.0));
    if (!(angle > MIN_BEND_TURN && angle < std::numbers::pi - MIN_BEND_TURN))
        return std::nullopt;
    const double tangent = radius * std::tan(0.5 * angle);
    if (point.offset == NEAR_TANGENT_OFFSET)
        return minus(*corner, scaled(u1, tangent));
    if (point.offset == FAR_TANGENT_OFFSET)
        return plus(*corner, scaled(u2, tangent));
    // An intermediate node at its angle from the near tangent point (a
    // negative one at the mid point).
    const double given = static_cast<int>(d.node1) == n ? d.angle1 : d.angle2;
    const double alpha = given < 0.0 ? 0.5 * angle : given * std::numbers::pi / 180.0;
    const Vec3 bisector = minus(u2, u1);
    const Vec3 centre = plus(*corner, scaled(bisector, radius / std::cos(0.5 * angle) / norm(bisector)));
    const Vec3 radial = scaled(minus(minus(*corner, scaled(u1, tangent)), centre), 1.0 / radius);
    return plus(centre, plus(scaled(radial, radius * std::cos(alpha)), scaled(u1, radius * std::sin(alpha))));
}

// Connected elements that no connection ties to a COORDS node or to the
// first element are placed by the rows, from the end of the row before them.
void CiiPlacement::note_unplaced_groups()
{
    const CiiStaging& s = b_.s;
    std::set<int> seen;
    for (int i = 1; i <= s.elements; ++i) {
        const int start = static_cast<int>(s.element[i].from);
        if (edges_.count(start) == 0 || seen.count(start) != 0)
            continue;
        std::set<int> group{start}, elements;
        bool placed = false;
        for (std::vector<int> open{start}; !open.empty();) {
            const int n = open.back();
            open.pop_back();
            placed = placed || placed_.count(n) != 0;
            for (const Edge& edge : edges_[n]) {
                if (edge.element != 0)
                    elements.insert(edge.element);
                if (group.insert(edge.other).second)
                    open.push_back(edge.other);
            }
        }
        seen.insert(group.begin(), group.end());
        if (!placed)
            b_.notes.add(CII_UNPLACED, elements_connect(s, {elements.begin(), elements.end()}) +
                                           " to no other element and no COORDS node: placed at the end of the row "
                                           "before");
    }
}

void note_open_loops(CiiBuild& b)
{
    const CiiStaging& s = b.s;
    for (int i = 1; i <= s.elements; ++i) {
        const CiiElement& e = s.element[i];
        const int from = static_cast<int>(e.from), to = static_cast<int>(e.to);
        if (from == 0 || to == 0)
            continue;
        // The ends as the model has them: a bend's node at its tangent point.
        const int a = node_index(b.model_node(from)), z = node_index(b.model_node(to));
        if (a == 0 || z == 0)
            continue;
        const double gap = norm(minus(node_position(model(), z), plus(node_position(model(), a), offset_of(b, e))));
        if (gap > CII_LOOP_GAP)
            b.notes.add(CII_OPEN_LOOPS, c_format("element %d-%d (line %d) ends %s from node %d", from, to, e.line,
                                                 value_text(DIMENSION, gap).c_str(), to));
    }
}

void note_coords_disagreements(CiiBuild& b, const CiiPlacement& placement)
{
    for (const auto& [node, c] : b.s.coordinates) {
        const Vec3* given = placement.given(node);
        const int index = given ? node_index(b.model_node(node)) : 0;
        if (index == 0)
            continue;
        // Worked out from the file's numbers, as the connections place it.
        const Vec3* placed = placement.position(node);
        const Vec3 at = placed && index == node_index(node) ? *placed : node_position(model(), index);
        const double distance = norm(b.to_file_precision(minus(at, *given), largest_component(at, *given)));
        if (distance > CII_LOOP_GAP)
            b.notes.add(CII_COORDS_DISAGREE,
                        c_format("COORDS places node %d at %s (line %d); its elements put it %s away, at %s: the "
                                 "elements' place is taken",
                                 node, place_text(*given).c_str(), c.line, value_text(DIMENSION, distance).c_str(),
                                 place_text(at).c_str()));
    }
}
