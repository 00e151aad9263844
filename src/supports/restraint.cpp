#include "supports/restraint.h"

#include "analysis_core/element_assembly.h"
#include "analysis_core/results_sink.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "supports/support_analysis.h"
#include "supports/support_common.h"

const char* yes_or_empty(bool flag)
{
    return flag ? "Yes" : "";
}

void Restraint::check_values(const RestraintValues& values)
{
    if (!values.restrained[0] && !values.restrained[1] && !values.restrained[2])
        throw_message("At least one direction must be restrained");
}

void Restraint::read(BinFile& file)
{
    require_framed_record("Restraint");
    RestraintValues r;
    r.tag = read_tag(file);
    for (uint8_t& f : r.restrained)
        f = read_flag(file, "Restraint") ? 1 : 0;
    if (!file.error())
        v = r;
}

void Restraint::write(BinFile& file) const
{
    write_tag(file, v.tag);
    for (uint8_t f : v.restrained)
        file.write_byte(f ? 1 : 0);
}

std::string Restraint::cell_text(int column) const
{
    if (column >= RESTRAINT_COL_X && column <= RESTRAINT_COL_Z)
        return yes_or_empty(v.restrained[static_cast<std::size_t>(column - RESTRAINT_COL_X)] != 0);
    return column == RESTRAINT_COL_TAG ? v.tag : std::string();
}

std::string Restraint::description() const
{
    std::string text;
    for (int i = 0; i < 3; ++i)
        if (v.restrained[static_cast<std::size_t>(i)])
            text += "XYZ"[i];
    return text.empty() ? std::string("Restraint") : "Restrained in " + text;
}

void Restraint::check(const Model&, int row) const
{
    check_row_values(row, [this] { check_values(v); });
}

void Restraint::assemble_stiffness(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    for (int d = 0; d < 3; ++d)
        if (v.restrained[static_cast<std::size_t>(d)])
            add_axis_spring(run, node, 0, d, RIGID_LINK);
}

void Restraint::write_support_loads(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    double loads[3] = {};
    for (int d = 0; d < 3; ++d)
        if (node && v.restrained[static_cast<std::size_t>(d)])
            loads[d] = -RIGID_LINK * node_displacement(run, node, d);
    record_support_loads(run, row, loads);
}

SymbolParts Restraint::symbol_parts(int row) const
{
    SymbolParts parts;
    float x = 0.0f, y = 0.0f;
    if (!support_symbol_origin(row, x, y))
        return parts;
    const float size = support_symbol_size();
    const Vec3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int d = 0; d < 3; ++d)
        if (v.restrained[static_cast<std::size_t>(d)])
            add_heads_both_ways(parts, 0, x, y, axes[d], size);
    return parts;
}
