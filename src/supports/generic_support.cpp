#include "supports/generic_support.h"

#include "analysis_core/element_assembly.h"
#include "analysis_core/results_sink.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "supports/anchor.h"
#include "supports/support_analysis.h"
#include "supports/support_common.h"

void GenericSupport::check_values(const GenericSupportValues& values)
{
    for (float k : values.stiffness)
        if (k > 0.0f)
            return;
    throw_message("At least one spring is required");
}

void GenericSupport::read(BinFile& file)
{
    require_framed_record("Generic support");
    GenericSupportValues r;
    for (float& k : r.stiffness)
        k = read_not_negative(file, "Generic support stiffness");
    if (!file.error())
        v = r;
}

void GenericSupport::write(BinFile& file) const
{
    for (float k : v.stiffness)
        file.write_float(k);
}

std::string GenericSupport::cell_text(int column) const
{
    if (column < GENERIC_COL_KX || column > GENERIC_COL_KZZ)
        return {};
    const int i = column - GENERIC_COL_KX;
    const float k = v.stiffness[static_cast<std::size_t>(i)];
    return k == 0.0f ? std::string() : anchor_stiffness_text(i, k);
}

std::string GenericSupport::description() const
{
    std::string text;
    for (int i = 0; i < 6; ++i)
        if (v.stiffness[static_cast<std::size_t>(i)] > 0.0f)
            text += (text.empty() ? "Springs " : " ") + std::string(direction_name(i));
    return text.empty() ? std::string("Generic support") : text;
}

void GenericSupport::check(const Model&, int row) const
{
    check_row_values(row, [this] { check_values(v); });
}

void GenericSupport::assemble_stiffness(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    for (int d = 0; d < 6; ++d) {
        const double k = stiffness_of(v.stiffness[static_cast<std::size_t>(d)]);
        if (k > 0.0 || run.structure_pass())
            add_axis_spring(run, node, 0, d, k);
    }
}

void GenericSupport::write_support_loads(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    double loads[6] = {};
    for (int d = 0; d < 6; ++d)
        if (node)
            loads[d] = -stiffness_of(v.stiffness[static_cast<std::size_t>(d)]) * node_displacement(run, node, d);
    record_support_loads(run, row, loads);
}

SymbolParts GenericSupport::symbol_parts(int row) const
{
    SymbolParts parts;
    float x = 0.0f, y = 0.0f;
    if (!support_symbol_origin(row, x, y))
        return parts;
    const Vec3 axes[3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    for (int d = 0; d < 3; ++d)
        if (v.stiffness[static_cast<std::size_t>(d)] > 0.0f)
            parts.push_back(symbol_along(6, x, y, scaled(axes[d], -1.0), support_symbol_size()));
    return parts;
}
