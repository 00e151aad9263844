#include "qualification/pump_evaluation.h"

#include "elements/branch_joints.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "materials/pipe_section.h"
#include "materials/size_tables.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "supports/support_item.h"

#include <algorithm>
#include <cmath>
#include <cstdlib>

namespace {

using V3 = std::array<double, 3>;

V3 cross(const V3& a, const V3& b)
{
    return {a[1] * b[2] - a[2] * b[1], a[2] * b[0] - a[0] * b[2], a[0] * b[1] - a[1] * b[0]};
}
double dot(const V3& a, const V3& b) { return a[0] * b[0] + a[1] * b[1] + a[2] * b[2]; }
double length(const V3& a) { return std::sqrt(dot(a, a)); }

int vertical_component() { return analysis_options().z_vertical ? 2 : 1; }
V3 vertical_axis()
{
    V3 v{};
    v[static_cast<std::size_t>(vertical_component())] = 1.0;
    return v;
}

// The least horizontal part that gives a direction a horizontal one: of a
// unit direction for a shaft axis, of the vector between the nozzles (inch)
// for a vertical pump.
constexpr double LEAST_HORIZONTAL_PART = 0.0001;

// The direction projected on the horizontal plane, normalised; false when it
// has no horizontal part.
bool horizontal_unit(V3 d, V3& out)
{
    d[static_cast<std::size_t>(vertical_component())] = 0.0;
    const double l = length(d);
    if (!(l >= LEAST_HORIZONTAL_PART))
        return false;
    out = {d[0] / l, d[1] / l, d[2] / l};
    return true;
}

// The unit direction of an axis, whatever its length: scaled by its largest
// component first, so that no square of a tiny or huge float leaves the
// doubles. False for an axis of no direction (all 0, or not finite).
bool unit_direction(const std::array<float, 3>& axis, V3& out)
{
    double largest = 0.0;
    for (const float c : axis)
        largest = std::max(largest, std::fabs(static_cast<double>(c)));
    if (!(largest > 0.0) || !std::isfinite(largest))
        return false;
    const V3 d{axis[0] / largest, axis[1] / largest, axis[2] / largest};
    const double l = length(d);
    out = {d[0] / l, d[1] / l, d[2] / l};
    return true;
}

// The reason why a pump's shaft axis gives it no axes; empty when it does.
std::string horizontal_shaft_refusal(const std::array<float, 3>& axis, V3* x)
{
    V3 unit{}, horizontal{};
    if (!unit_direction(axis, unit))
        return SHAFT_WITHOUT_DIRECTION;
    if (!horizontal_unit(unit, horizontal))
        return vertical_component() == 2
                   ? "Shaft axis of a horizontal pump cannot be vertical: give it an X or Y component (Z is vertical)"
                   : "Shaft axis of a horizontal pump cannot be vertical: give it an X or Z component (Y is vertical)";
    if (x)
        *x = horizontal;
    return {};
}

V3 node_point(int index)
{
    const NodeRecord& n = model().nodes[index];
    return {n.x, n.y, n.z};
}

int nozzle_node(const PumpRecord& p, int nozzle) { return nozzle == SUCTION ? p.suction_node : p.discharge_node; }

void scale(HiLoads& loads, double factor)
{
    for (double& v : loads)
        v *= factor;
}
// Forces stay lbf, moments go from ft-lbf to in-lbf.
HiLoads to_internal(HiLoads loads)
{
    for (int i = 3; i < 6; ++i)
        loads[static_cast<std::size_t>(i)] *= 12.0;
    return loads;
}
// Each value replaced by the magnitude of the other where that one is smaller;
// a zero of the other (no coefficient) never replaces.
void take_smaller(HiLoads& loads, const HiLoads& other)
{
    for (std::size_t i = 0; i < loads.size(); ++i)
        if (other[i] != 0.0 && std::fabs(other[i]) < std::fabs(loads[i]))
            loads[i] = std::fabs(other[i]);
}

}  // namespace

bool pump_is_vertical(const PumpRecord& pump)
{
    return pump.vertical != 0 || pump.kind == PUMP_VERTICAL_INLINE_API610 ||
           (pump_kind(pump) == PUMP_ANSI_HI && hi_type_vertical(pump.hi_type));
}

int pump_kind(const PumpRecord& pump) { return pump.kind == PUMP_KIND_UNSET ? PUMP_HORIZONTAL_API610 : pump.kind; }

int pump_nozzle_location(const PumpRecord& pump, int nozzle)
{
    if (pump.vertical != 0 || pump.kind == PUMP_VERTICAL_INLINE_API610)
        return LOCATION_SIDE;
    return nozzle == SUCTION ? pump.suction_location : pump.discharge_location;
}

std::string pump_shaft_axis_refusal(const PumpRecord& pump)
{
    return pump_is_vertical(pump) ? std::string() : horizontal_shaft_refusal(pump.shaft_axis, nullptr);
}

std::string machine_shaft_axis_refusal(const CompressorRecord& machine)
{
    V3 unit{};
    return unit_direction(machine.shaft_axis, unit) ? std::string() : SHAFT_WITHOUT_DIRECTION;
}

bool shaft_direction(const std::array<float, 3>& axis, std::array<double, 3>& unit)
{
    return unit_direction(axis, unit);
}

PumpAxes pump_axes(const PumpRecord& pump, const PumpEvaluation& e)
{
    PumpAxes a;
    const V3 v = vertical_axis();
    if (pump_is_vertical(pump)) {
        if (!horizontal_unit(e.vertical_axis, a.y))
            throw_message(c_format("Unable to find z axis for vertical inline pump: %s", pump.name.c_str()));
        a.x = cross(a.y, v);
    } else {
        if (const std::string why = horizontal_shaft_refusal(pump.shaft_axis, &a.x); !why.empty())
            throw_message(c_format("Invalid shaft axis for pump: %s. %s", pump.name.c_str(), why.c_str()));
        a.y = cross(v, a.x);
    }
    a.z = v;
    return a;
}

int anchor_at_node(int node_number)
{
    if (node_number == 0)
        return 0;
    const Model& m = model();
    const RowList& anchors = m.list(ANCHOR_ROWS);
    for (int i = 1; i <= anchors.count && i <= anchors.rows.size(); ++i) {
        const int row = anchors.rows[i];
        if (m.rows.valid(row) && m.rows[row].dtype == DT_ANCHOR && m.rows[row].node == node_number)
            return row;
    }
    return 0;
}

double nozzle_size_at_node(int node_number)
{
    const int index = node_index(node_number);
    if (index == 0)
        return 0.0;
    const PipeSection* s = smallest_section_at_node(index);
    return s ? nominal_pipe_size(s->outside_diameter) : 0.0;
}

std::array<double, 6> nozzle_loads_on_equipment(int anchor_row)
{
    std::array<double, 6> loads{};
    const Model& m = model();
    if (!m.rows.valid(anchor_row))
        return loads;
    const auto* support = dynamic_cast<const SupportItem*>(m.rows[anchor_row].data.get());
    if (!support)
        return loads;
    for (std::size_t i = 0; i < loads.size() && i < support->current_loads.size(); ++i)
        loads[i] = -static_cast<double>(support->current_loads[i]);
    return loads;
}

void prepare_pump(const PumpRecord& pump, PumpEvaluation& e)
{
    for (int n = SUCTION; n <= DISCHARGE; ++n) {
        PumpNozzleEvaluation& z = e.nozzle[static_cast<std::size_t>(n)];
        z.dx = z.dy = z.dz = 0.0;
        z.size = 0.0;
        z.anchor_row = 0;
        if (const int node = nozzle_node(pump, n); node != 0) {
            z.size = nozzle_size_at_node(node);
            z.anchor_row = anchor_at_node(node);
        }
    }
    if (pump_is_vertical(pump)) {
        const int s = node_index(pump.suction_node), d = node_index(pump.discharge_node);
        e.vertical_axis = {};
        if (s != 0 && d != 0) {
            const V3 ps = node_point(s), pd = node_point(d);
            e.vertical_axis = {pd[0] - ps[0], pd[1] - ps[1], pd[2] - ps[2]};
        }
    }
    const PumpAxes a = pump_axes(pump, e);
    const V3 centre{pump.centre[0], pump.centre[1], pump.centre[2]};
    for (int n = SUCTION; n <= DISCHARGE; ++n) {
        const int index = node_index(nozzle_node(pump, n));
        if (index == 0)
            continue;
        const V3 p = node_point(index);
        const V3 d{p[0] - centre[0], p[1] - centre[1], p[2] - centre[2]};
        PumpNozzleEvaluation& z = e.nozzle[static_cast<std::size_t>(n)];
        z.dx = dot(a.x, d);
        z.dy = dot(a.y, d);
        z.dz = dot(a.z, d);
    }
}

void hi_allowables(const PumpRecord& pump, PumpEvaluation& e, int slot)
{
    HiSlot& h = e.hi[static_cast<std::size_t>(slot)];
    h = HiSlot{};
    const double f = hi_material_factor(pump.hi_material, pump.temperature);
    switch (pump.hi_type) {
    case HI_B732:
        h.allowed = to_internal(hi_inline_loads(pump.hi_size));
        scale(h.allowed, f);
        break;
    case HI_B731:
    case HI_B733:
        for (int n = SUCTION; n <= DISCHARGE; ++n) {
            auto& eq = h.eq;
            const std::size_t k = static_cast<std::size_t>(n);
            eq[0][k] = to_internal(hi_end_suction_eq1(pump.hi_size, n));
            eq[1][k] = to_internal(hi_end_suction_eq2(pump.hi_size, n));
            scale(eq[1][k], f);
            eq[2][k] = to_internal(hi_end_suction_eq3(pump.hi_size, n));
            eq[3][k] = to_internal(hi_end_suction_eq4(pump.hi_size, n));
            take_smaller(eq[0][k], eq[1][k]);
        }
        break;
    case HI_B735: {
        const std::array<double, 4> k = hi_baseplate_factors(pump.hi_mounting);
        for (int n = SUCTION; n <= DISCHARGE; ++n) {
            auto& eq = h.eq;
            const std::size_t z = static_cast<std::size_t>(n);
            eq[0][z] = to_internal(hi_end_suction_eq1(pump.hi_size, n));
            eq[1][z] = to_internal(hi_end_suction_eq2(pump.hi_size, n));
            eq[2][z] = to_internal(hi_end_suction_eq3(pump.hi_size, n));
            eq[3][z] = to_internal(hi_end_suction_eq4(pump.hi_size, n));
            for (std::size_t q = 0; q < 4; ++q)
                scale(eq[q][z], k[q]);
            // Stilt-mounted and ungrouted metal baseplates: the Eq.3 and
            // Eq.4 coefficients also bound the Eq.1 loads.
            if (pump.hi_mounting == 1 || pump.hi_mounting == 2) {
                take_smaller(eq[0][z], eq[2][z]);
                take_smaller(eq[0][z], eq[3][z]);
            }
        }
        break;
    }
    case HI_AXIAL_SPLIT:
        h.allowed = to_internal(hi_axial_split_size_loads(pump.hi_size));
        take_smaller(h.allowed, to_internal(hi_axial_split_bolt_loads(pump.hi_mounting)));
        break;
    case HI_VERTICAL_TURBINE:
        h.allowed = to_internal(hi_vertical_turbine_loads(pump.hi_size, pump.discharge_location != 0));
        break;
    default:
        break;
    }
}

void evaluate_pump_loads(const PumpRecord& pump, PumpEvaluation& e, int slot)
{
    if (slot < 0 || slot >= ROT_LOAD_CASES)
        return;
    const PumpAxes a = pump_axes(pump, e);
    const bool hi = pump_kind(pump) == PUMP_ANSI_HI;
    if (hi)
        hi_allowables(pump, e, slot);
    const bool vertical = pump_is_vertical(pump);
    for (int n = SUCTION; n <= DISCHARGE; ++n) {
        PumpNozzleEvaluation& z = e.nozzle[static_cast<std::size_t>(n)];
        if (nozzle_node(pump, n) == 0 || z.anchor_row == 0 || (!hi && z.size == 0.0))
            continue;
        const std::array<double, 6> l = nozzle_loads_on_equipment(z.anchor_row);
        const V3 f{l[0], l[1], l[2]}, m{l[3], l[4], l[5]};
        PumpLoads& c = z.loads[static_cast<std::size_t>(slot)];
        c[P_FX] = dot(a.x, f);
        c[P_FY] = dot(a.y, f);
        c[P_FZ] = dot(a.z, f);
        c[P_FR] = std::sqrt(c[P_FX] * c[P_FX] + c[P_FY] * c[P_FY] + c[P_FZ] * c[P_FZ]);
        c[P_MX] = dot(a.x, m);
        c[P_MY] = dot(a.y, m);
        c[P_MZ] = dot(a.z, m);
        c[P_MR] = std::sqrt(c[P_MX] * c[P_MX] + c[P_MY] * c[P_MY] + c[P_MZ] * c[P_MZ]);
        if (hi)
            continue;
        PumpLoads& w = z.allowed[static_cast<std::size_t>(slot)];
        w = {};
        const Api610Loads* row = api610_loads(z.size);
        z.allowed_available = row != nullptr;
        if (!row)
            continue;
        const int location = pump_nozzle_location(pump, n);
        const double force_factor = vertical && location == LOCATION_SIDE ? 2.0 : 1.0;
        const double moment_factor = (vertical ? 2.0 : 1.0) * 12.0;
        const std::array<double, 4>& forces = api610_forces(*row, location);
        for (int i = 0; i < 4; ++i) {
            w[static_cast<std::size_t>(P_FX + i)] = forces[static_cast<std::size_t>(i)] * force_factor;
            w[static_cast<std::size_t>(P_MX + i)] = row->moments[static_cast<std::size_t>(i)] * moment_factor;
        }
    }
}
