#include "supports/skewed_restraint.h"

#include "analysis_core/element_assembly.h"
#include "analysis_core/results_sink.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/model.h"
#include "supports/support_analysis.h"
#include "supports/support_common.h"

namespace {

Vec3 run_direction(const AnalysisRun& run, int row, const SkewedRestraintValues& v)
{
    return support_direction(run.layout(), row, v.direction[0], v.direction[1], v.direction[2], v.connected);
}

}  // namespace

std::string direction_component_text(float value)
{
    return value == 0.0f ? std::string() : format_real(value, 8, 4);
}

std::string connected_node_text(int32_t number)
{
    return number == 0 ? std::string() : node_text(number);
}

void SkewedRestraint::check_values(const SkewedRestraintValues& values)
{
    const auto& d = values.direction;
    const bool zero = d[0] == 0.0f && d[1] == 0.0f && d[2] == 0.0f;
    if ((zero && values.connected == 0) || (!zero && !direction_given(d[0], d[1], d[2])))
        throw_message("Direction is invalid");
}

Vec3 SkewedRestraint::connected_direction(int row) const
{
    return ::connected_direction(model(), row, v.connected);
}

void SkewedRestraint::read(BinFile& file)
{
    require_framed_record("Skewed restraint");
    SkewedRestraintValues r;
    r.tag = read_tag(file);
    r.rotational = read_flag(file, "Rotational");
    r.stiffness = read_not_negative(file, "Skewed restraint stiffness");
    for (float& c : r.direction)
        c = read_finite(file, "Skewed restraint direction");
    r.connected = read_connected_node(file);
    if (!file.error())
        v = r;
}

void SkewedRestraint::write(BinFile& file) const
{
    write_tag(file, v.tag);
    file.write_byte(v.rotational ? 1 : 0);
    file.write_float(v.stiffness);
    for (float c : v.direction)
        file.write_float(c);
    file.write_int(v.connected);
}

std::string SkewedRestraint::cell_text(int column) const
{
    switch (column) {
    case SKEWED_COL_TAG: return v.tag;
    case SKEWED_COL_TYPE: return v.rotational ? "Rotational" : "Translational";
    case SKEWED_COL_STIFFNESS:
        return v.stiffness == 0.0f ? std::string("Rigid")
                                   : (v.rotational ? format_rot_stiffness(v.stiffness) : format_stiffness(v.stiffness));
    case SKEWED_COL_X:
    case SKEWED_COL_Y:
    case SKEWED_COL_Z: return direction_component_text(v.direction[static_cast<std::size_t>(column - SKEWED_COL_X)]);
    case SKEWED_COL_CONNECTED: return connected_node_text(v.connected);
    default: return {};
    }
}

std::string SkewedRestraint::description() const
{
    std::string text = v.rotational ? "Rotational" : "Translational";
    if (v.connected)
        text += ", connected to " + node_text(v.connected);
    return text;
}

void SkewedRestraint::check(const Model& model, int row) const
{
    check_row_values(row, [this] { check_values(v); });
    check_connected_node(model, row, v.connected, "skewed restraint");
    check_support_direction(model, row, v.direction[0], v.direction[1], v.direction[2], v.connected,
                            "skewed restraint");
}

void SkewedRestraint::assemble_stiffness(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    const int other = connected_node_index(run.layout(), v.connected);
    add_line_spring(run, node, other, run_direction(run, row, v), rigid_when_zero(v.stiffness), v.rotational);
}

void SkewedRestraint::write_support_loads(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    const int other = connected_node_index(run.layout(), v.connected);
    const Vec3 d = run_direction(run, row, v);
    const double load[1] = {node ? -rigid_when_zero(v.stiffness) * relative_along(run, node, other, d, v.rotational)
                                 : 0.0};
    record_support_loads(run, row, load);
}

SymbolParts SkewedRestraint::symbol_parts(int row) const
{
    SymbolParts parts;
    float x = 0.0f, y = 0.0f;
    if (!support_symbol_origin(row, x, y))
        return parts;
    const Vec3 d = support_direction(model(), row, v.direction[0], v.direction[1], v.direction[2], v.connected);
    parts.push_back(symbol_along(6, x, y, d, support_symbol_size()));
    return parts;
}
