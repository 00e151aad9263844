#include "codes/branch_plane.h"

#include "framework/errors.h"
#include "framework/text.h"
#include "model/model.h"
#include "model/row_kinds.h"

#include <cmath>
#include <vector>

namespace {

// Two legs closer than this to one line (|cos| above it, about 2.5 degrees)
// are collinear.
constexpr double COLLINEAR = 0.999;

Vec3 unit(Vec3 v)
{
    normalize3(v.x, v.y, v.z);
    return v;
}

bool is_arc(const Elem& e)
{
    return e.kind == ET_BEND || e.kind == ET_MITER || e.kind == ET_JACKETED_BEND;
}

// The direction of element e away from node n: along the element for a
// straight one, along the arc's tangent for a bend; zero when it has no
// length.
Vec3 leg_direction(const Model& m, int e, int n)
{
    const Elem& el = m.elems[e];
    const int other = el.node1 == n ? el.node2 : el.node1;
    if (is_arc(el)) {
        const BendAxes arc = bend_arc(m, e);
        // The tangent of travel from node 1 to node 2 at a point of radial
        // direction r is z x r.
        if (el.node1 == n)
            return arc.axes.x;
        return scaled(cross(arc.axes.z, arc.r2), -1.0);
    }
    const Vec3 d = minus(node_position(m, other), node_position(m, n));
    return norm(d) < 1.0e-9 ? Vec3{} : unit(d);
}

struct Leg {
    int element;
    Vec3 direction;
};

[[noreturn]] void no_plane(const Model& m, int node)
{
    throw_message(c_format("Unable to find plane of branch SIF at node %s", node_text(m.nodes[node].number).c_str()));
}

bool along(const Vec3& a, const Vec3& b)
{
    return std::fabs(dot(a, b)) > COLLINEAR;
}

}  // namespace

Vec3 branch_plane_normal(const Model& m, bool, int element, int node)
{
    KV_ASSERT(m.nodes.valid(node) && m.elems.valid(element));
    std::vector<Leg> legs;
    Vec3 own{};
    for (int e : m.nodes[node].elements) {
        const Vec3 d = leg_direction(m, e, node);
        if (norm(d) == 0.0)
            continue;
        legs.push_back({e, d});
        if (e == element)
            own = d;
    }
    if (norm(own) == 0.0)
        no_plane(m, node);

    // The run: the pair most nearly opposite.
    const Leg* run = nullptr;
    double best = -COLLINEAR;
    for (std::size_t i = 0; i < legs.size(); ++i)
        for (std::size_t j = i + 1; j < legs.size(); ++j) {
            const double c = dot(legs[i].direction, legs[j].direction);
            if (c < best) {
                best = c;
                run = &legs[i];
            }
        }
    const Vec3 axis = run ? run->direction : own;
    Vec3 second = own;
    if (along(own, axis)) {
        bool found = false;
        for (const Leg& l : legs)
            if (!along(l.direction, axis)) {
                second = l.direction;
                found = true;
                break;
            }
        if (!found)
            no_plane(m, node);
    }
    const Vec3 normal = cross(axis, second);
    if (norm(normal) < 1.0e-6)
        no_plane(m, node);
    return unit(normal);
}

void branch_plane_moments(const Model& m, bool z_vertical, int element, int node, double& in_plane,
                          double& out_plane)
{
    const Vec3 n = branch_plane_normal(m, z_vertical, element, node);
    const Elem& e = m.elems[element];
    const LocalAxes axes = element_axes(m, e.node1, e.node2, z_vertical);
    // The bending moment as a vector: my about y, mz about z.
    const Vec3 moment = plus(scaled(axes.y, out_plane), scaled(axes.z, in_plane));
    const Vec3 across = unit(cross(axes.x, n));
    in_plane = dot(moment, n);
    out_plane = dot(moment, across);
}
