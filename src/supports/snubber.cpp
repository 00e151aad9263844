#include "supports/snubber.h"

#include "analysis_core/element_assembly.h"
#include "analysis_core/results_sink.h"
#include "analysis_core/steps.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "supports/skewed_restraint.h"
#include "supports/support_analysis.h"
#include "supports/support_common.h"

void Snubber::check_values(const SnubberValues& values)
{
    const auto& d = values.direction;
    if (!direction_given(d[0], d[1], d[2]))
        throw_message("Direction is invalid");
}

void Snubber::read(BinFile& file)
{
    require_framed_record("Snubber");
    SnubberValues r;
    r.tag = read_tag(file);
    r.stiffness = read_not_negative(file, "Snubber stiffness");
    for (float& c : r.direction)
        c = read_finite(file, "Snubber direction");
    if (!file.error())
        v = r;
}

void Snubber::write(BinFile& file) const
{
    write_tag(file, v.tag);
    file.write_float(v.stiffness);
    for (float c : v.direction)
        file.write_float(c);
}

std::string Snubber::cell_text(int column) const
{
    switch (column) {
    case SNUBBER_COL_TAG: return v.tag;
    case SNUBBER_COL_STIFFNESS: return v.stiffness == 0.0f ? std::string("Rigid") : format_stiffness(v.stiffness);
    case SNUBBER_COL_X:
    case SNUBBER_COL_Y:
    case SNUBBER_COL_Z: return direction_component_text(v.direction[static_cast<std::size_t>(column - SNUBBER_COL_X)]);
    default: return {};
    }
}

std::string Snubber::description() const
{
    return "Snubber";
}

void Snubber::check(const Model&, int row) const
{
    check_row_values(row, [this] { check_values(v); });
}

void Snubber::assemble_stiffness(AnalysisRun& run, int row) const
{
    if (!run.structure_pass() && !step_is_occasional(run))
        return;
    add_line_spring(run, support_node(run, row), 0, unit_direction(v.direction[0], v.direction[1], v.direction[2]),
                    rigid_when_zero(v.stiffness));
}

// In a step that stands on another case's state the snubber resists the
// motion from that state: its spring holds the state's place as a load.
void Snubber::add_loads(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    if (!node || run.base_solution.empty() || !step_is_occasional(run))
        return;
    const Vec3 d = unit_direction(v.direction[0], v.direction[1], v.direction[2]);
    add_line_load(run, node, 0, d, rigid_when_zero(v.stiffness) * base_relative_along(run, node, 0, d));
}

void Snubber::write_support_loads(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    double load[1] = {};
    if (node && step_is_occasional(run)) {
        const Vec3 d = unit_direction(v.direction[0], v.direction[1], v.direction[2]);
        load[0] = -rigid_when_zero(v.stiffness) * (relative_along(run, node, 0, d) - base_relative_along(run, node, 0, d));
    }
    record_support_loads(run, row, load);
}

SymbolParts Snubber::symbol_parts(int row) const
{
    SymbolParts parts;
    float x = 0.0f, y = 0.0f;
    if (support_symbol_origin(row, x, y))
        parts.push_back(symbol_along(8, x, y, unit_direction(v.direction[0], v.direction[1], v.direction[2]),
                                     support_symbol_size()));
    return parts;
}
