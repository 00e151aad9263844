// The model build: nodes and elements from the layout rows.
//
// Rows are built in order. A row's own node is placed at its absolute
// coordinates (From rows, and rows with the absolute flag) or at the node of
// its previous element row plus DX, DY, DZ; a node number that already exists
// is reused (a branch start, a closing element, a Location row at a node).
// Rows make new nodes only for numbers up to 99999; the higher bands belong
// to the build itself:
//   - a bend row's node N is the intersection point of its tangents (a corner
//     node outside the analysis); its arc runs from the near tangent point
//     N + 100000 over the intermediate nodes to the far tangent point
//     N + 200000, and the row's straight leg runs from its start to the near
//     point. A leg (or the straight part after the bend) shorter than
//     LEG_TOLERANCE is not made: the arc then starts at the row's start (or
//     ends at the next row's node), so that no element has zero length;
//   - a jacketed row's jacket nodes are N + 500000 for a core node N, C and D
//     for the core's A and B, made at the core node's place when absent; a
//     jacketed bend's jacket has its own arc with the tangent points C and D
//     and carries the intermediate nodes.
// A bend whose arc cannot be laid out (no outgoing row, straight or reversed
// tangents, no radius, or an arc longer than a tangent) keeps its geometry
// flag clear and builds as a straight element to its node.
#include "framework/app_state.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/geometry.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/model.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <numbers>
#include <unordered_map>

namespace {

// Straight parts shorter than this (inch) are not made.
constexpr double LEG_TOLERANCE = 1.0e-3;
// Tangents closer than this (radian) to straight or reversed make no bend.
constexpr double MIN_BEND_ANGLE = 1.0e-4;

Vec3 operator+(Vec3 a, Vec3 b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
Vec3 operator-(Vec3 a, Vec3 b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
Vec3 operator*(double s, Vec3 a) { return {s * a.x, s * a.y, s * a.z}; }
Vec3 unit(Vec3 a)
{
    double n = norm(a);
    return n > 0.0 ? (1.0 / n) * a : a;
}

bool fits_coordinate(const Vec3& p)
{
    const double limit = std::numeric_limits<float>::max();
    return std::abs(p.x) <= limit && std::abs(p.y) <= limit && std::abs(p.z) <= limit;
}

int add_node(int number, Vec3 p, int row, int kind = NODE_PLAIN)
{
    Model& m = model();
    KV_ASSERT(node_index(number) == 0);
    NodeRecord n;
    n.number = number;
    n.kind = kind;
    n.x = static_cast<float>(p.x);
    n.y = static_cast<float>(p.y);
    n.z = static_cast<float>(p.z);
    n.row = row;
    int index = m.nodes.push_back(std::move(n));
    m.node_lookup[number] = index;
    return index;
}

// The node of `number`, made at p when absent.
int node_at(int number, Vec3 p, int row, int kind = NODE_PLAIN)
{
    int index = node_index(number);
    return index ? index : add_node(number, p, row, kind);
}

// The jacket partner of a node index, made at the node's place when absent.
int jacket_node(int index, int row)
{
    if (index == 0)
        return 0;
    int number = model().nodes[index].number;
    int partner = jacket_node_number(number);
    return partner == number ? index : node_at(partner, node_position(model(), index), row);
}

// Where the jacket of a jacketed row starts: the jacket's far point of a
// jacketed bend just before it (which may lie off the core's far point's
// partner), else the jacket partner of the element's start node.
int jacket_start_node(int row)
{
    const Model& m = model();
    const LayoutRow& r = m.rows[row];
    int previous = LayoutRow::previous_element_row(row);
    if (previous && m.rows[previous].etype == ET_JACKETED_BEND && m.rows[previous].element) {
        const ElementData& object = *m.rows[previous].element;
        const BendGeometry* bend = object.bend_geometry();
        const JacketGeometry* jacket = object.jacket_geometry();
        if (bend && bend->geometry_valid && jacket && jacket->far_node)
            return jacket->far_node;
    }
    return jacket_node(r.start_node, row);
}

// The row's own node: reused when its number exists, else made where the
// row puts it. Rows make numbers up to 99999 only.
void make_own_node(int row)
{
    Model& m = model();
    LayoutRow& r = m.rows[row];
    if (r.node_index != 0 || r.node == 0)
        return;
    int index = node_index(r.node);
    if (index == 0 && r.node >= 1 && r.node <= MAX_NODE_NUMBER) {
        Vec3 p{r.dx, r.dy, r.dz};
        if (r.etype != ET_FROM && !r.absolute) {
            int previous = LayoutRow::previous_element_row(row);
            if (previous && m.rows[previous].node_index)
                p = node_position(model(), m.rows[previous].node_index) + p;
        }
        // Offsets that add up beyond what a coordinate holds place no node.
        if (!fits_coordinate(p))
            return;
        index = add_node(r.node, p, row);
    }
    r.node_index = index;
}

// The next row that is an element or From row; 0 when none.
int next_run_row(int row)
{
    const Model& m = model();
    for (int i = row + 1; i <= m.numrows(); ++i) {
        int etype = m.rows[i].etype;
        if (etype == ET_FROM || etype_is_element(etype))
            return i;
    }
    return 0;
}

double bend_radius_of(const std::string& section, uint8_t kind, float user_radius)
{
    if (kind == RADIUS_USER)
        return user_radius;
    const auto& hook = model_hooks().section_bend_radius;
    return hook ? hook(section, kind) : 0.0;
}

// The arc of one bend radius about the corner N: tangent length, centre and
// the points at angles from the near tangent point.
struct Arc {
    Vec3 corner, u1, u2, centre, near_point, far_point;
    double radius = 0.0, angle = 0.0, tangent = 0.0;

    Arc(Vec3 n, Vec3 in, Vec3 out, double phi, double r) : corner(n), u1(in), u2(out), radius(r), angle(phi)
    {
        tangent = r * std::tan(0.5 * phi);
        near_point = corner - tangent * u1;
        far_point = corner + tangent * u2;
        centre = corner + (r / std::cos(0.5 * phi)) * unit(u2 - u1);
    }
    Vec3 at(double alpha) const
    {
        Vec3 radial = (1.0 / radius) * (near_point - centre);
        return centre + radius * (std::cos(alpha) * radial + std::sin(alpha) * u1);
    }
};

void place_intermediate_nodes(const BendGeometry& bend, const Arc& arc, int row)
{
    const std::pair<int32_t, float> nodes[] = {{bend.node1, bend.angle1}, {bend.node2, bend.angle2}};
    for (const auto& [number, angle] : nodes) {
        if (number < 1 || number > MAX_NODE_NUMBER || angle <= 0.0f || angle >= arc.angle ||
            node_index(number) != 0)
            continue;
        add_node(number, arc.at(angle), row);
    }
}

}  // namespace

void LayoutRow::make_nodes(int row)
{
    Model& m = model();
    LayoutRow& r = m.rows[row];
    make_own_node(row);

    int previous = previous_element_row(row);
    r.from_node = previous ? m.rows[previous].node_index : 0;
    if (r.etype == ET_FROM) {
        r.start_node = r.end_node = r.node_index;
    } else if (etype_is_element(r.etype)) {
        r.start_node = r.from_node;
        if (previous && etype_is_bend(m.rows[previous].etype) && m.rows[previous].element) {
            const BendGeometry* bend = m.rows[previous].element->bend_geometry();
            if (bend && bend->geometry_valid && bend->far_node)
                r.start_node = bend->far_node;
        }
        r.end_node = r.node_index;
    }

    if (etype_is_bend(r.etype)) {
        make_bend_nodes(row);
    } else if (r.etype == ET_JACKETED_PIPE && r.element) {
        if (JacketGeometry* jacket = r.element->jacket_geometry()) {
            jacket->node1 = jacket_start_node(row);
            jacket->node2 = jacket_node(r.node_index, row);
        }
    }

    bool has_element = etype_is_element(r.etype);
    r.built = r.node_index != 0 && (!has_element || r.start_node != 0) ? 1 : 0;
}

void make_bend_nodes(int row)
{
    Model& m = model();
    LayoutRow& r = m.rows[row];
    if (!etype_is_bend(r.etype) || !r.element)
        return;
    BendGeometry* bend = r.element->bend_geometry();
    if (!bend)
        return;
    JacketGeometry* jacket = r.etype == ET_JACKETED_BEND ? r.element->jacket_geometry() : nullptr;

    bend->geometry_valid = 0;
    bend->bend_angle = 0.0f;
    bend->far_node = 0;
    std::fill(std::begin(bend->centre), std::end(bend->centre), 0.0f);
    r.end_node = r.node_index;
    if (jacket) {
        jacket->previous_node = jacket_start_node(row);
        jacket->near_node = jacket_node(r.node_index, row);
        jacket->far_node = 0;
        std::fill(std::begin(jacket->centre), std::end(jacket->centre), 0.0f);
    }

    // Long and Short radii follow the section on every build.
    double radius = bend_radius_of(r.section, bend->radius_kind, bend->radius);
    if (bend->radius_kind != RADIUS_USER)
        bend->radius = static_cast<float>(radius);
    double jacket_radius = 0.0;
    if (jacket) {
        jacket_radius = bend_radius_of(jacket->section, jacket->radius_kind, jacket->radius);
        if (jacket->radius_kind != RADIUS_USER)
            jacket->radius = static_cast<float>(jacket_radius);
    }

    // The corner must be this row's own node, with a run before and after it.
    if (r.node_index == 0 || r.start_node == 0 || r.from_node == 0 ||
        m.nodes[r.node_index].row != row || r.node > MAX_NODE_NUMBER)
        return;
    int next = next_run_row(row);
    if (next == 0 || m.rows[next].etype == ET_FROM)
        return;
    make_own_node(next);
    int out_node = m.rows[next].node_index;
    if (out_node == 0)
        return;

    Vec3 corner = node_position(model(), r.node_index);
    Vec3 in = corner - node_position(model(), r.from_node);
    Vec3 out = node_position(model(), out_node) - corner;
    double in_length = norm(in), out_length = norm(out);
    if (in_length < LEG_TOLERANCE || out_length < LEG_TOLERANCE)
        return;
    Vec3 u1 = unit(in), u2 = unit(out);
    double phi = std::acos(std::clamp(dot(u1, u2), -1.0, 1.0));
    if (phi < MIN_BEND_ANGLE || phi > std::numbers::pi - MIN_BEND_ANGLE || radius <= 0.0)
        return;

    Arc core(corner, u1, u2, phi, radius);
    double core_leg = norm(corner - node_position(model(), r.start_node)) - core.tangent;
    double core_after = out_length - core.tangent;
    if (core_leg < -LEG_TOLERANCE || core_after < -LEG_TOLERANCE)
        return;
    double jacket_leg = 0.0, jacket_after = 0.0;
    if (jacket) {
        if (jacket_radius <= 0.0)
            return;
        Arc j(corner, u1, u2, phi, jacket_radius);
        jacket_leg = norm(corner - node_position(model(), jacket->previous_node)) - j.tangent;
        jacket_after = out_length - j.tangent;
        if (jacket_leg < -LEG_TOLERANCE || jacket_after < -LEG_TOLERANCE)
            return;
    }

    // Valid: make the tangent points and the intermediate nodes.
    int number = r.node;
    m.nodes[r.node_index].kind = NODE_BEND_CORNER;
    r.end_node = core_leg < LEG_TOLERANCE ? r.start_node
                                          : add_node(number + NEAR_TANGENT_OFFSET, core.near_point, row);
    bend->far_node = core_after < LEG_TOLERANCE ? out_node
                                                : add_node(number + FAR_TANGENT_OFFSET, core.far_point, row);
    bend->geometry_valid = 1;
    bend->bend_angle = static_cast<float>(phi);
    bend->centre[0] = static_cast<float>(core.centre.x);
    bend->centre[1] = static_cast<float>(core.centre.y);
    bend->centre[2] = static_cast<float>(core.centre.z);

    if (!jacket) {
        place_intermediate_nodes(*bend, core, row);
        return;
    }
    Arc j(corner, u1, u2, phi, jacket_radius);
    int jacket_corner = jacket->near_node;     // N + 500000 at the corner
    m.nodes[jacket_corner].kind = NODE_BEND_CORNER;
    jacket->near_node = jacket_leg < LEG_TOLERANCE
                            ? jacket->previous_node
                            : add_node(number + 3 * NODE_BAND, j.near_point, row);
    jacket->far_node = jacket_after < LEG_TOLERANCE ? jacket_node(out_node, row)
                                                    : add_node(number + 4 * NODE_BAND, j.far_point, row);
    jacket->centre[0] = static_cast<float>(j.centre.x);
    jacket->centre[1] = static_cast<float>(j.centre.y);
    jacket->centre[2] = static_cast<float>(j.centre.z);
    place_intermediate_nodes(*bend, j, row);
}

void make_model()
{
    Model& m = model();
    m.nodes.clear();
    m.node_lookup.clear();
    m.elems.clear();
    m.coupled_pairs.clear();
    for (LayoutRow& r : m.rows) {
        r.from_node = r.node_index = r.start_node = r.end_node = 0;
        r.built = 0;
        if (!r.element)
            continue;
        if (BendGeometry* bend = r.element->bend_geometry()) {
            bend->geometry_valid = 0;
            bend->far_node = 0;
        }
        if (JacketGeometry* jacket = r.element->jacket_geometry())
            jacket->node1 = jacket->node2 = jacket->previous_node = jacket->near_node = jacket->far_node = 0;
    }
    m.nodes.reserve(m.numrows() + 16);
    for (int row = 1; row <= m.numrows(); ++row)
        LayoutRow::make_nodes(row);
    build_element_records(false);
    // A bend's flanged ends set its flexibility factor: they follow the
    // flanges at its tangent points with every build, not only on saving.
    recount_flanged_bend_ends();
    recount_model();
    m.rebuild_needed = false;
}

std::string item_off_pipe_refusal(const Model& m, int row, int etype, int dtype)
{
    if (!m.rows.valid(row) || dtype == DT_NONE)
        return {};
    const LayoutRow& r = m.rows[row];
    const NodeRecord* corner = m.nodes.valid(r.node_index) ? &m.nodes[r.node_index] : nullptr;
    int bend_row = 0;
    if (etype_is_bend(etype))
        bend_row = row;
    else if (corner && corner->kind == NODE_BEND_CORNER)
        bend_row = corner->row;
    if (!m.rows.valid(bend_row))
        return {};
    const LayoutRow& b = m.rows[bend_row];
    const int corner_number = corner ? corner->number : r.node;
    const bool jacket = corner_number > MAX_NODE_NUMBER;
    // The tangent points as the last build made them; a row that is not yet
    // a built bend takes the numbers the build gives them.
    std::string near = node_text(b.node + NEAR_TANGENT_OFFSET), far = node_text(b.node + FAR_TANGENT_OFFSET);
    std::string what = lower_case(element_type_name(etype_is_bend(b.etype) ? b.etype : etype));
    const BendGeometry* bend = b.element && etype_is_bend(b.etype) ? b.element->bend_geometry() : nullptr;
    const auto text_of = [&m](int index) { return m.nodes.valid(index) ? node_text(m.nodes[index].number) : ""; };
    if (bend && bend->geometry_valid) {
        const JacketGeometry* j = jacket ? b.element->jacket_geometry() : nullptr;
        near = text_of(j ? j->near_node : b.end_node);
        far = text_of(j ? j->far_node : bend->far_node);
        if (j)
            what = "jacket of the " + what;
    }
    const char* kind = data_type_name(dtype);
    return c_format("Row %d: its %s would act on nothing: node %s is where the tangents of the %s of row %d meet, "
                    "off the pipe. Put the %s on a Location row at the %s's near tangent point %s or far tangent "
                    "point %s",
                    row, kind, node_text(corner_number).c_str(), what.c_str(), bend_row, kind,
                    jacket ? "jacket" : what.c_str(), near.c_str(), far.c_str());
}

std::vector<NodeConflict> node_position_conflicts(const Model& m)
{
    std::vector<NodeConflict> conflicts;
    for (int row = 1; row <= m.numrows(); ++row) {
        const LayoutRow& r = m.rows[row];
        if (!m.nodes.valid(r.node_index) || (r.dx == 0.0f && r.dy == 0.0f && r.dz == 0.0f))
            continue;
        const NodeRecord& n = m.nodes[r.node_index];
        if (n.row == row || n.number != r.node || n.kind != NODE_PLAIN)
            continue;
        Vec3 p{r.dx, r.dy, r.dz};
        if (r.etype != ET_FROM && !r.absolute) {
            // From the node of the row's previous element or From row.
            int previous = 0;
            for (int i = row - 1; i >= 1 && previous == 0; --i)
                if ((m.rows[i].etype == ET_FROM || etype_is_element(m.rows[i].etype)) && m.rows[i].node != 0)
                    previous = i;
            if (previous == 0 || !m.nodes.valid(m.rows[previous].node_index))
                continue;
            p = node_position(m, m.rows[previous].node_index) + p;
        }
        const Vec3 placed = node_position(m, r.node_index);
        const double distance = norm(p - placed);
        // Closer than the float coordinates resolve is the same place.
        if (distance > 1.0e-3 + 1.0e-6 * norm(placed))
            conflicts.push_back({r.node, n.row, row, distance});
    }
    return conflicts;
}

namespace {

void rebuild_and_show(bool modified)
{
    const ModelHooks& hooks = model_hooks();
    if (hooks.erase_highlight)
        hooks.erase_highlight();
    make_model();
    if (modified)
        model_modified() = true;
    notify_document_changed();
    if (hooks.redraw_graphics)
        hooks.redraw_graphics();
}

}  // namespace

void model_changed()
{
    rebuild_and_show(true);
}

void model_rebuilt()
{
    rebuild_and_show(false);
}

void recount_model()
{
    Model& m = model();
    for (RowList& list : m.lists)
        list.count = 0;
    for (LayoutRow& r : m.rows) {
        if (r.element)
            r.element->count();
        if (r.data)
            r.data->count();
    }
    for (RowList& list : m.lists) {
        list.rows.resize(list.count + 16);
        list.count = 0;
    }
    for (int row = 1; row <= m.numrows(); ++row) {
        LayoutRow& r = m.rows[row];
        if (r.element)
            r.element->register_row(row);
        if (r.data)
            r.data->register_row(row);
    }

    // Branch points: nodes with more than two element ends.
    OneBased<int32_t> ends(m.numnodes());
    for (const Elem& e : m.elems) {
        ++ends[e.node1];
        ++ends[e.node2];
    }
    m.branch_points.clear();
    std::unordered_map<int32_t, int> point_of_node;
    for (int node = 1; node <= m.numnodes(); ++node) {
        NodeRecord& n = m.nodes[node];
        n.branch_mark = 0;
        if (ends[node] > 2) {
            n.branch_mark = 2;
            point_of_node[node] = m.branch_points.push_back({node, 0});
        }
    }
    for (int row = 1; row <= m.numrows(); ++row) {
        const LayoutRow& r = m.rows[row];
        if (r.dtype != DT_BRANCH_SIF || r.node_index == 0)
            continue;
        auto found = point_of_node.find(r.node_index);
        if (found != point_of_node.end())
            m.branch_points[found->second].sif_row = row;
    }
}

void recount_flanged_bend_ends()
{
    Model& m = model();
    std::unordered_map<int32_t, bool> flanged;
    for (const LayoutRow& r : m.rows) {
        if (r.dtype == DT_FLANGE && r.node_index)
            flanged[r.node_index] = true;
    }
    auto ends = [&](int near, int far) {
        return static_cast<uint8_t>((near && flanged.count(near) ? 1 : 0) + (far && flanged.count(far) ? 1 : 0));
    };
    for (LayoutRow& r : m.rows) {
        if (!etype_is_bend(r.etype) || !r.element)
            continue;
        BendGeometry* bend = r.element->bend_geometry();
        if (!bend)
            continue;
        bend->flanged_ends = bend->geometry_valid ? ends(r.end_node, bend->far_node) : 0;
        if (JacketGeometry* jacket = r.element->jacket_geometry())
            jacket->flanged_ends = bend->geometry_valid ? ends(jacket->near_node, jacket->far_node) : 0;
    }
}
