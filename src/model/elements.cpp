// The element table and the local axes of elements.
#include "model/elements.h"

#include "framework/errors.h"
#include "framework/text.h"
#include "model/analysis_options.h"
#include "model/element_data.h"
#include "model/model.h"

#include <algorithm>
#include <cmath>

namespace {

const ElementData* row_element(const Model& m, int row)
{
    return m.rows.valid(row) ? m.rows[row].element.get() : nullptr;
}

int lookup(const std::function<int(const std::string&)>& hook, const std::string& name)
{
    return hook && !name.empty() ? hook(name) : 0;
}

// The records of one row, appended to `out`.
class RowElements {
public:
    RowElements(OneBased<Elem>& out, bool check_names) : out_(out), check_names_(check_names) {}

    void build(int row)
    {
        const LayoutRow& r = model().rows[row];
        if (!r.built || !etype_is_element(r.etype) || r.start_node == 0 || r.node_index == 0)
            return;
        const ElementData* object = r.element.get();
        const BendGeometry* bend = object ? object->bend_geometry() : nullptr;
        const JacketGeometry* jacket = object ? object->jacket_geometry() : nullptr;
        bool valid_bend = bend && bend->geometry_valid;

        switch (r.etype) {
        case ET_BEND:
        case ET_MITER:
            add(row, ET_PIPE, r.start_node, r.end_node, false);
            if (valid_bend)
                add_arc(row, r.etype, r.end_node, *bend, bend->far_node, false);
            break;
        case ET_JACKETED_BEND:
            add(row, ET_JACKETED_PIPE, r.start_node, r.end_node, false);
            if (valid_bend)
                add(row, ET_BEND, r.end_node, bend->far_node, false);
            if (jacket) {
                add(row, ET_JACKETED_PIPE, jacket->previous_node, jacket->near_node, true);
                if (valid_bend)
                    add_arc(row, ET_JACKETED_BEND, jacket->near_node, *bend, jacket->far_node, true);
            }
            break;
        case ET_JACKETED_PIPE:
            add(row, ET_JACKETED_PIPE, r.start_node, r.node_index, false);
            if (jacket)
                add(row, ET_JACKETED_PIPE, jacket->node1, jacket->node2, true);
            break;
        case ET_CUT_PIPE:
            // A cut pipe is stiffened like a pipe; its cut acts in the cold-spring steps.
            add(row, ET_PIPE, r.start_node, r.node_index, false);
            break;
        default:
            add(row, r.etype, r.start_node, r.node_index, false);
            break;
        }
    }

private:
    // The arc from the near point over the intermediate nodes that this row
    // placed to the far point.
    void add_arc(int row, int kind, int near, const BendGeometry& bend, int far, bool jacket)
    {
        const Model& m = model();
        int previous = near;
        for (int number : {bend.node1, bend.node2}) {
            int index = number > 0 ? node_index(number) : 0;
            if (index == 0 || m.nodes[index].row != row || index == far)
                continue;
            add(row, kind, previous, index, jacket);
            previous = index;
        }
        add(row, kind, previous, far, jacket);
    }

    void add(int row, int kind, int node1, int node2, bool jacket)
    {
        if (node1 == 0 || node2 == 0 || node1 == node2)
            return;
        const Model& m = model();
        KV_ASSERT(m.nodes.valid(node1) && m.nodes.valid(node2));
        const LayoutRow& r = m.rows[row];
        const ModelHooks& hooks = model_hooks();
        Elem e;
        e.kind = kind;
        e.row = row;
        e.node1 = node1;
        e.node2 = node2;
        e.jacket = jacket ? 1 : 0;
        if (jacket) {
            const JacketGeometry* j = r.element->jacket_geometry();
            e.material = lookup(hooks.material_index, j->material);
            e.section = lookup(hooks.section_index, j->section);
            e.load = lookup(hooks.load_index, j->load);
        } else if (kind == ET_BEAM) {
            e.beam_material = lookup(hooks.beam_material_index, r.material);
            e.beam_section = lookup(hooks.beam_section_index, r.section);
            e.beam_load = lookup(hooks.beam_load_index, r.load);
        } else {
            e.material = lookup(hooks.material_index, r.material);
            e.section = lookup(hooks.section_index, r.section);
            e.load = lookup(hooks.load_index, r.load);
            const BendGeometry* bend = r.element ? r.element->bend_geometry() : nullptr;
            if ((kind == ET_BEND || kind == ET_MITER) && bend && !bend->material.empty()) {
                e.material = lookup(hooks.material_index, bend->material);
                if (e.material == 0 && check_names_)
                    throw_message(c_format("Row %d: Bend material %s is not defined", row,
                                           bend->material.c_str()));
            }
        }
        out_.push_back(e);
    }

    OneBased<Elem>& out_;
    bool check_names_;
};

}  // namespace

double Elem::bend_radius() const { return bend_radius(model()); }
int Elem::flanged_ends() const { return flanged_ends(model()); }
bool Elem::is_jacket_core() const { return is_jacket_core(model()); }
double Elem::mid_elevation() const { return mid_elevation(model(), analysis_options().z_vertical); }

double Elem::bend_radius(const Model& m) const
{
    const ElementData* object = row_element(m, row);
    if (!object)
        return 0.0;
    if (kind == ET_BEND || kind == ET_MITER) {
        const BendGeometry* bend = object->bend_geometry();
        return bend ? bend->radius : 0.0;
    }
    if (kind == ET_JACKETED_BEND) {
        const JacketGeometry* j = object->jacket_geometry();
        return j ? j->radius : 0.0;
    }
    return 0.0;
}

int Elem::flanged_ends(const Model& m) const
{
    const ElementData* object = row_element(m, row);
    if (!object)
        return 0;
    if (kind == ET_BEND || kind == ET_MITER) {
        const BendGeometry* bend = object->bend_geometry();
        return bend ? bend->flanged_ends : 0;
    }
    if (kind == ET_JACKETED_BEND) {
        const JacketGeometry* j = object->jacket_geometry();
        return j ? j->flanged_ends : 0;
    }
    return 0;
}

bool Elem::is_jacket_core(const Model& m) const
{
    if (!m.rows.valid(row) || jacket)
        return false;
    int etype = m.rows[row].etype;
    return etype == ET_JACKETED_PIPE || etype == ET_JACKETED_BEND;
}

double Elem::mid_elevation(const Model& m, bool z_vertical) const
{
    const NodeRecord& a = m.nodes[node1];
    const NodeRecord& b = m.nodes[node2];
    return z_vertical ? 0.5 * (double(a.z) + b.z) : 0.5 * (double(a.y) + b.y);
}

bool element_is_pipe_like(const Elem& element)
{
    switch (element.kind) {
    case ET_PIPE: case ET_BEND: case ET_MITER: case ET_JACKETED_PIPE: case ET_JACKETED_BEND:
    case ET_REDUCER:
        return true;
    default:
        return false;
    }
}

void build_element_records(bool check_names)
{
    Model& m = model();
    OneBased<Elem> built;
    built.reserve(m.numrows() + 16);
    RowElements maker(built, check_names);
    for (int row = 1; row <= m.numrows(); ++row)
        maker.build(row);

    m.elems = std::move(built);
    for (NodeRecord& n : m.nodes)
        n.elements.clear();
    for (int e = 1; e <= m.numelems(); ++e) {
        m.nodes[m.elems[e].node1].elements.push_back(e);
        m.nodes[m.elems[e].node2].elements.push_back(e);
    }
}

// ---- Local axes -------------------------------------------------------------------

LocalAxes& local_axes()
{
    thread_local LocalAxes axes;
    return axes;
}

void complete_local_axes(LocalAxes& axes, bool z_vertical)
{
    const Vec3& x = axes.x;
    if (!z_vertical) {
        double h = std::sqrt(x.x * x.x + x.z * x.z);
        if (h < 0.0005)
            axes.y = {-1.0, 0.0, 0.0};
        else
            axes.y = {-x.x * x.y / h, h, -x.z * x.y / h};
        axes.z = cross(x, axes.y);
    } else {
        double h = std::sqrt(x.x * x.x + x.y * x.y);
        if (h < 0.0005)
            axes.z = {-1.0, 0.0, 0.0};
        else
            axes.z = {-x.z * x.x / h, -x.z * x.y / h, h};
        axes.y = cross(axes.z, x);
    }
}

const Vec3& local_up_axis(const LocalAxes& axes, bool z_vertical)
{
    return z_vertical ? axes.z : axes.y;
}

void complete_local_axes(LocalAxes& axes)
{
    complete_local_axes(axes, analysis_options().z_vertical);
}

LocalAxes element_axes(const Model& m, int ix1, int ix2, bool z_vertical)
{
    KV_ASSERT(ix1 && ix2);
    LocalAxes axes;
    Vec3 d = node_position(m, ix2);
    Vec3 a = node_position(m, ix1);
    d = {d.x - a.x, d.y - a.y, d.z - a.z};
    if (length3(d.x, d.y, d.z) < 1.0e-9)
        d = {1.0, 0.0, 0.0};
    normalize3(d.x, d.y, d.z);
    axes.x = d;
    complete_local_axes(axes, z_vertical);
    return axes;
}

const LocalAxes& element_axes(int ix1, int ix2)
{
    local_axes() = element_axes(model(), ix1, ix2, analysis_options().z_vertical);
    return local_axes();
}

BendAxes bend_arc(const Model& m, int element)
{
    KV_ASSERT(m.elems.valid(element));
    const Elem& e = m.elems[element];
    const ElementData* object = row_element(m, e.row);
    KV_ASSERT(object != nullptr);
    const float* c = nullptr;
    if (e.jacket) {
        const JacketGeometry* j = object->jacket_geometry();
        KV_ASSERT(j != nullptr);
        c = j->centre;
    } else {
        const BendGeometry* bend = object->bend_geometry();
        KV_ASSERT(bend != nullptr);
        c = bend->centre;
    }
    BendAxes arc;
    Vec3 p1 = node_position(m, e.node1);
    Vec3 p2 = node_position(m, e.node2);
    arc.r1 = {p1.x - c[0], p1.y - c[1], p1.z - c[2]};
    arc.r2 = {p2.x - c[0], p2.y - c[1], p2.z - c[2]};
    double R = length3(arc.r1.x, arc.r1.y, arc.r1.z);
    KV_ASSERT(R > 0.0);
    normalize3(arc.r1.x, arc.r1.y, arc.r1.z);
    normalize3(arc.r2.x, arc.r2.y, arc.r2.z);
    double theta = std::acos(std::clamp(dot(arc.r1, arc.r2), -1.0, 1.0));
    KV_ASSERT(theta > 0.0);
    arc.radius = R;
    arc.theta = theta;
    // x: the part of r2 normal to r1, the direction into the arc at node 1.
    double c1 = std::cos(theta);
    Vec3 t{arc.r2.x - c1 * arc.r1.x, arc.r2.y - c1 * arc.r1.y, arc.r2.z - c1 * arc.r1.z};
    normalize3(t.x, t.y, t.z);
    arc.axes.x = t;
    arc.axes.y = {-arc.r1.x, -arc.r1.y, -arc.r1.z};
    arc.axes.z = cross(arc.axes.x, arc.axes.y);
    return arc;
}

BendAxes bend_arc(int element)
{
    return bend_arc(model(), element);
}

BendAxes bend_axes(int element)
{
    BendAxes arc = bend_arc(element);
    local_axes() = arc.axes;
    return arc;
}

void add_coupled_pair(int a, int b, int flag)
{
    model().coupled_pairs.push_back({a, b, flag});
}
