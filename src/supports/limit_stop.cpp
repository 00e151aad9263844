#include "supports/limit_stop.h"

#include "analysis_core/results_sink.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "supports/contact_solver.h"
#include "supports/skewed_restraint.h"
#include "supports/support_analysis.h"

#include <algorithm>
#include <cmath>

namespace {

Contact stop_contact(const AnalysisRun& run, int row, const LimitStopValues& v)
{
    Contact contact;
    contact.a = support_node(run, row);
    contact.b = connected_node_index(run.layout(), v.connected);
    const Vec3 d = support_direction(run.layout(), row, v.direction[0], v.direction[1], v.direction[2], v.connected);
    const double lower = no_limit(v.lower) ? -NO_LIMIT : v.lower;
    const double upper = no_limit(v.upper) ? NO_LIMIT : v.upper;
    contact.directions.push_back({d, lower, upper});
    contact.stiffness = rigid_when_zero(v.stiffness);
    contact.mu = v.mu;
    return contact;
}

}  // namespace

std::string limit_text(float limit)
{
    return no_limit(limit) ? std::string("None") : format_displacement_or_none(limit);
}

bool limits_in_order(double lower, double upper)
{
    return upper > lower || (lower == 0.0 && upper == 0.0);
}

void LimitStop::check_values(const LimitStopValues& values)
{
    if (no_limit(values.lower) && no_limit(values.upper))
        throw_message("No limits are specified");
    const double lower = no_limit(values.lower) ? -NO_LIMIT : values.lower;
    const double upper = no_limit(values.upper) ? NO_LIMIT : values.upper;
    if (!limits_in_order(lower, upper))
        throw_message(LIMITS_OUT_OF_ORDER);
    const auto& d = values.direction;
    const bool zero = d[0] == 0.0f && d[1] == 0.0f && d[2] == 0.0f;
    if ((zero && values.connected == 0) || (!zero && !direction_given(d[0], d[1], d[2])))
        throw_message("Direction is invalid");
    if (values.mu < 0.0f)
        throw_message("Friction coefficient is invalid");
}

void LimitStop::read(BinFile& file)
{
    require_framed_record("Limit stop");
    LimitStopValues r;
    r.tag = read_tag(file);
    r.lower = read_finite(file, "Lower limit");
    r.upper = read_finite(file, "Upper limit");
    for (float& c : r.direction)
        c = read_finite(file, "Limit stop direction");
    r.mu = read_not_negative(file, "Friction coefficient");
    r.stiffness = read_not_negative(file, "Limit stop stiffness");
    r.connected = read_connected_node(file);
    if (!file.error())
        v = r;
}

void LimitStop::write(BinFile& file) const
{
    write_tag(file, v.tag);
    file.write_float(v.lower);
    file.write_float(v.upper);
    for (float c : v.direction)
        file.write_float(c);
    file.write_float(v.mu);
    file.write_float(v.stiffness);
    file.write_int(v.connected);
}

std::string LimitStop::cell_text(int column) const
{
    switch (column) {
    case LIMIT_COL_TAG: return v.tag;
    case LIMIT_COL_LOWER: return limit_text(v.lower);
    case LIMIT_COL_UPPER: return limit_text(v.upper);
    case LIMIT_COL_X:
    case LIMIT_COL_Y:
    case LIMIT_COL_Z: return direction_component_text(v.direction[static_cast<std::size_t>(column - LIMIT_COL_X)]);
    case LIMIT_COL_STIFFNESS: return v.stiffness == 0.0f ? std::string("Rigid") : format_stiffness(v.stiffness);
    case LIMIT_COL_MU: return v.mu == 0.0f ? std::string() : format_real(v.mu, 8, 3);
    case LIMIT_COL_CONNECTED: return connected_node_text(v.connected);
    default: return {};
    }
}

std::string LimitStop::description() const
{
    return "Limits " + limit_text(v.lower) + ", " + limit_text(v.upper);
}

void LimitStop::check(const Model& model, int row) const
{
    check_row_values(row, [this] { check_values(v); });
    check_connected_node(model, row, v.connected, "limit stop");
    check_support_direction(model, row, v.direction[0], v.direction[1], v.direction[2], v.connected, "limit stop");
}

void LimitStop::assemble_stiffness(AnalysisRun& run, int row) const
{
    if (const Contact* held = registered_contact(run, row))
        contact_stiffness(run, *held, run.row_state<ContactState>(row));
    else
        contact_stiffness(run, stop_contact(run, row, v), run.row_state<ContactState>(row));
}

void LimitStop::add_loads(AnalysisRun& run, int row) const
{
    if (const Contact* held = registered_contact(run, row))
        contact_loads(run, *held, run.row_state<ContactState>(row));
    else
        contact_loads(run, stop_contact(run, row, v), run.row_state<ContactState>(row));
}

void LimitStop::reset_nonlinear_state(AnalysisRun& run, int row) const
{
    contact_reset(run, stop_contact(run, row, v), run.row_state<ContactState>(row), DT_LIMIT_STOP, row);
}

bool LimitStop::update_nonlinear_state(AnalysisRun& run, int row) const
{
    return contact_update(run, row);
}

void LimitStop::write_support_loads(AnalysisRun& run, int row) const
{
    const Contact contact = stop_contact(run, row, v);
    double loads[2] = {};
    if (contact.a) {
        const ContactForces f = contact_forces(run, contact, run.row_state<ContactState>(row));
        loads[0] = f.normal[0];
        loads[1] = norm(f.friction);
    }
    record_support_loads(run, row, loads);
}

void LimitStop::compute_local_axes(int node)
{
    const Model& m = model();
    int row = 0;
    if (m.nodes.valid(node))
        row = m.nodes[node].row;
    axes = LocalAxes{};
    const Vec3 d = support_direction(m, row, v.direction[0], v.direction[1], v.direction[2], v.connected);
    if (norm(d) == 0.0)
        return;
    axes.x = d;
    complete_local_axes(axes, analysis_options().z_vertical);
}

SymbolParts LimitStop::symbol_parts(int row) const
{
    SymbolParts parts;
    float x = 0.0f, y = 0.0f;
    if (!support_symbol_origin(row, x, y))
        return parts;
    const Vec3 d = support_direction(model(), row, v.direction[0], v.direction[1], v.direction[2], v.connected);
    const float size = support_symbol_size();
    if (!no_limit(v.lower))
        parts.push_back(symbol_along(4, x, y, d, size));
    if (!no_limit(v.upper))
        parts.push_back(symbol_along(5, x, y, d, size));
    return parts;
}
