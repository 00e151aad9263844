#include "supports/guide.h"

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
#include "supports/support_common.h"

#include <cmath>

namespace {

Contact guide_contact(const AnalysisRun& run, int row, const GuideValues& v)
{
    Contact contact;
    contact.a = support_node(run, row);
    contact.b = connected_node_index(run.layout(), v.connected);
    const bool z_vertical = run.snapshot().options.z_vertical;
    const LocalAxes axes = guide_axes(run.layout(), contact.a, z_vertical);
    const double gap = v.gap;
    contact.directions.push_back({axes.z, -gap, gap});
    if (guide_direction_count(axes, z_vertical) == 2)
        contact.directions.push_back({axes.y, -gap, gap});
    contact.stiffness = rigid_when_zero(v.stiffness);
    contact.mu = v.mu;
    return contact;
}

}  // namespace

LocalAxes guide_axes(const Model& model, int node, bool z_vertical)
{
    return pipe_axes_at_node(model, node, z_vertical);
}

int guide_direction_count(const LocalAxes& axes, bool z_vertical)
{
    return std::fabs(dot(axes.x, vertical_axis(z_vertical))) >= GUIDE_VERTICAL_COSINE ? 2 : 1;
}

void Guide::check_values(const GuideValues& values)
{
    if (values.gap < 0.0f)
        throw_message("Gap is invalid");
    if (values.mu < 0.0f)
        throw_message("Friction coefficient is invalid");
}

void Guide::read(BinFile& file)
{
    require_framed_record("Guide");
    GuideValues r;
    r.tag = read_tag(file);
    r.mu = read_not_negative(file, "Friction coefficient");
    r.stiffness = read_not_negative(file, "Guide stiffness");
    r.gap = read_finite(file, "Gap");
    r.connected = read_connected_node(file);
    if (!file.error())
        v = r;
}

void Guide::write(BinFile& file) const
{
    write_tag(file, v.tag);
    file.write_float(v.mu);
    file.write_float(v.stiffness);
    file.write_float(v.gap);
    file.write_int(v.connected);
}

std::string Guide::cell_text(int column) const
{
    switch (column) {
    case GUIDE_COL_TAG: return v.tag;
    case GUIDE_COL_GAP: return v.gap == 0.0f ? std::string() : format_displacement_or_none(v.gap);
    case GUIDE_COL_STIFFNESS: return v.stiffness == 0.0f ? std::string("Rigid") : format_stiffness(v.stiffness);
    case GUIDE_COL_MU: return v.mu == 0.0f ? std::string() : format_real(v.mu, 8, 3);
    case GUIDE_COL_CONNECTED: return connected_node_text(v.connected);
    default: return {};
    }
}

std::string Guide::description() const
{
    std::string text = "Guide";
    if (v.gap > 0.0f)
        text += ", gap " + format_displacement_or_none(v.gap);
    if (v.mu > 0.0f)
        text += ", mu " + format_real(v.mu, 8, 3);
    return text;
}

void Guide::check(const Model& model, int row) const
{
    check_row_values(row, [this] { check_values(v); });
    check_connected_node(model, row, v.connected, "guide");
}

void Guide::assemble_stiffness(AnalysisRun& run, int row) const
{
    if (const Contact* held = registered_contact(run, row))
        contact_stiffness(run, *held, run.row_state<ContactState>(row));
    else
        contact_stiffness(run, guide_contact(run, row, v), run.row_state<ContactState>(row));
}

void Guide::add_loads(AnalysisRun& run, int row) const
{
    if (const Contact* held = registered_contact(run, row))
        contact_loads(run, *held, run.row_state<ContactState>(row));
    else
        contact_loads(run, guide_contact(run, row, v), run.row_state<ContactState>(row));
}

void Guide::reset_nonlinear_state(AnalysisRun& run, int row) const
{
    contact_reset(run, guide_contact(run, row, v), run.row_state<ContactState>(row), DT_GUIDE, row);
}

bool Guide::update_nonlinear_state(AnalysisRun& run, int row) const
{
    return contact_update(run, row);
}

void Guide::write_support_loads(AnalysisRun& run, int row) const
{
    const Contact contact = guide_contact(run, row, v);
    const Vec3 f = contact.a ? contact_forces(run, contact, run.row_state<ContactState>(row)).total : Vec3{};
    const double loads[3] = {f.x, f.y, f.z};
    record_support_loads(run, row, loads);
}

void Guide::compute_local_axes(int node)
{
    axes = guide_axes(model(), node, analysis_options().z_vertical);
}

void Guide::turn_loads_to_local(bool dynamic_case)
{
    if (current_loads.size() < 3)
        return;
    const Vec3 f{current_loads[0], current_loads[1], current_loads[2]};
    const double local[3] = {dot(f, axes.x), dot(f, axes.y), dot(f, axes.z)};
    for (int i = 0; i < 3; ++i) {
        const double value = dynamic_case ? std::fabs(local[i]) : local[i];
        current_loads[static_cast<std::size_t>(i)] = static_cast<float>(value);
    }
}

SymbolParts Guide::symbol_parts(int row) const
{
    SymbolParts parts;
    float x = 0.0f, y = 0.0f;
    if (!support_symbol_origin(row, x, y))
        return parts;
    const bool z_vertical = analysis_options().z_vertical;
    const LocalAxes a = guide_axes(model(), model().rows[row].node_index, z_vertical);
    const float size = support_symbol_size();
    add_heads_both_ways(parts, 0, x, y, a.z, size);
    if (guide_direction_count(a, z_vertical) == 2)
        add_heads_both_ways(parts, 0, x, y, a.y, size);
    return parts;
}
