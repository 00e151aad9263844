#include "elements/element_local_axes.h"

#include "elements/beam.h"
#include "elements/bend_element.h"
#include "elements/elastic_element.h"
#include "elements/joints.h"
#include "framework/geometry.h"
#include "model/model.h"
#include "model/nodes.h"

#include <cmath>

namespace {

const ElementData* object_of(const Model& model, const Elem& e)
{
    return model.rows.valid(e.row) ? model.rows[e.row].element.get() : nullptr;
}

// Axes from x alone; (1, 0, 0) when x has no length.
LocalAxes axes_along(Vec3 x, bool z_vertical)
{
    LocalAxes a;
    if (length3(x.x, x.y, x.z) > 0.0 && std::isfinite(x.x) && std::isfinite(x.y) && std::isfinite(x.z)) {
        normalize3(x.x, x.y, x.z);
        a.x = x;
    } else {
        a.x = {1.0, 0.0, 0.0};
    }
    complete_local_axes(a, z_vertical);
    return a;
}

// True when the element's arc can be laid out: the row has its bend (or
// jacket) geometry, and both nodes lie off the centre and apart.
bool arc_valid(const Model& model, const Elem& e)
{
    const ElementData* object = object_of(model, e);
    if (!object)
        return false;
    const float* c = nullptr;
    if (e.jacket) {
        const JacketGeometry* j = object->jacket_geometry();
        c = j ? j->centre : nullptr;
    } else {
        const BendGeometry* b = object->bend_geometry();
        c = b ? b->centre : nullptr;
    }
    if (!c)
        return false;
    const Vec3 p1 = node_position(model, e.node1), p2 = node_position(model, e.node2);
    const Vec3 r1{p1.x - c[0], p1.y - c[1], p1.z - c[2]}, r2{p2.x - c[0], p2.y - c[1], p2.z - c[2]};
    const double l1 = length3(r1.x, r1.y, r1.z), l2 = length3(r2.x, r2.y, r2.z);
    if (!(l1 > 0.0) || !(l2 > 0.0))
        return false;
    const double cosine = dot(r1, r2) / (l1 * l2);
    return cosine < 1.0;
}

}  // namespace

ElementEndAxes element_local_axes(const Model& model, int element, bool z_vertical)
{
    ElementEndAxes out;
    if (!model.elems.valid(element))
        return out;
    const Elem& e = model.elems[element];
    const ElementData* object = object_of(model, e);
    switch (e.kind) {
    case ET_BEND:
    case ET_MITER:
    case ET_JACKETED_BEND:
        if (arc_valid(model, e)) {
            const BendAxes arc = bend_arc(model, element);
            out[0] = arc.axes;
            out[1] = bend_tangent_axes(arc.axes, arc.theta);
            return out;
        }
        break;
    case ET_HINGE_JOINT:
        if (const auto* hinge = dynamic_cast<const HingeJoint*>(object)) {
            out[0] = axes_along({hinge->axis[0], hinge->axis[1], hinge->axis[2]}, z_vertical);
            out[1] = out[0];
            return out;
        }
        break;
    case ET_BALL_JOINT: {
        double x = 0.0, y = 0.0, z = 0.0;
        if (pipe_direction_at_node(model, e.node2, x, y, z) != 0)
            x = y = z = 0.0;
        out[0] = axes_along({x, y, z}, z_vertical);
        out[1] = out[0];
        return out;
    }
    case ET_ELASTIC:
        if (const auto* elastic = dynamic_cast<const ElasticElement*>(object)) {
            LocalAxes a;
            out[0] = elastic->axes(a) ? a : axes_along({}, z_vertical);
            out[1] = out[0];
            return out;
        }
        break;
    case ET_BEAM:
        if (const auto* beam = dynamic_cast<const Beam*>(object)) {
            out[0] = beam_axes(node_position(model, e.node1), node_position(model, e.node2), beam->beta, z_vertical);
            out[1] = out[0];
            return out;
        }
        break;
    default: break;
    }
    out[0] = element_axes(model, e.node1, e.node2, z_vertical);
    out[1] = out[0];
    return out;
}

EndForceValues forces_in_global_axes(const ElementEndAxes& axes, const EndForceValues& local)
{
    EndForceValues out{};
    for (std::size_t end = 0; end < 2; ++end) {
        const LocalAxes& a = axes[end];
        for (std::size_t part = 0; part < 2; ++part) {
            const std::size_t at = 6 * end + 3 * part;
            const double fx = local[at], fy = local[at + 1], fz = local[at + 2];
            out[at] = static_cast<float>(fx * a.x.x + fy * a.y.x + fz * a.z.x);
            out[at + 1] = static_cast<float>(fx * a.x.y + fy * a.y.y + fz * a.z.y);
            out[at + 2] = static_cast<float>(fx * a.x.z + fy * a.y.z + fz * a.z.z);
        }
    }
    return out;
}

EndForceValues global_element_forces(const Model& model, int element, const EndForceValues& local, bool z_vertical)
{
    return forces_in_global_axes(element_local_axes(model, element, z_vertical), local);
}
