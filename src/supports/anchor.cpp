#include "supports/anchor.h"

#include "analysis_core/element_assembly.h"
#include "analysis_core/results_sink.h"
#include "analysis_core/steps.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/symbol_shapes.h"
#include "model/view_drawing.h"
#include "supports/support_analysis.h"

#include <cmath>

namespace {

Vec3 axis_of(const LocalAxes& axes, int i)
{
    return i == 0 ? axes.x : i == 1 ? axes.y : axes.z;
}

// The axes of the anchor's springs at its node in the run.
LocalAxes spring_axes(const AnalysisRun& run, const AnchorValues& v, int node)
{
    return v.local_axes ? pipe_axes_at_node(run.layout(), node, run.snapshot().options.z_vertical) : LocalAxes{};
}

// The specified displacement of the run's step in global axes: the three
// translations and the three rotations; zero when the step has none.
std::array<Vec3, 2> anchor_displacement(const AnalysisRun& run, const AnchorValues& v, int node)
{
    std::array<Vec3, 2> out = step_displacement(run, v.displacements);
    if (v.local_displacements) {
        const LocalAxes axes = pipe_axes_at_node(run.layout(), node, run.snapshot().options.z_vertical);
        for (Vec3& part : out)
            part = plus(plus(scaled(axes.x, part.x), scaled(axes.y, part.y)), scaled(axes.z, part.z));
    }
    return out;
}

}  // namespace

const char* direction_name(int direction)
{
    static const char* const names[] = {"X", "Y", "Z", "XX", "YY", "ZZ"};
    return direction >= 0 && direction < 6 ? names[direction] : "";
}

std::string anchor_stiffness_text(int direction, float value)
{
    return direction < 3 ? format_stiffness(value) : format_rot_stiffness(value);
}

std::string displacement_sets_text(const DisplacementSets& sets)
{
    std::string text;
    for (int k = 1; k <= DISPLACEMENT_SETS; ++k) {
        if (!sets.given[static_cast<std::size_t>(k)])
            continue;
        if (!text.empty())
            text += ' ';
        text += displacement_set_name(k);
    }
    return text;
}

void Anchor::read(BinFile& file)
{
    require_framed_record("Anchor");
    AnchorValues r;
    r.tag = read_tag(file);
    for (int i = 0; i < 6; ++i)
        r.stiffness[static_cast<std::size_t>(i)] = read_not_negative(file, "Anchor stiffness");
    r.local_axes = read_flag(file, "Local axes");
    r.local_displacements = read_flag(file, "Local displacements");
    for (uint8_t& f : r.released)
        f = read_flag(file, "Release") ? 1 : 0;
    r.displacements.read(file);
    if (!file.error())
        v = r;
}

void Anchor::write(BinFile& file) const
{
    write_tag(file, v.tag);
    for (float k : v.stiffness)
        file.write_float(k);
    file.write_byte(v.local_axes ? 1 : 0);
    file.write_byte(v.local_displacements ? 1 : 0);
    for (uint8_t f : v.released)
        file.write_byte(f ? 1 : 0);
    v.displacements.write(file);
}

std::string Anchor::cell_text(int column) const
{
    if (column >= ANCHOR_COL_KX && column <= ANCHOR_COL_KZZ) {
        const int i = column - ANCHOR_COL_KX;
        return anchor_stiffness_text(i, v.stiffness[static_cast<std::size_t>(i)]);
    }
    switch (column) {
    case ANCHOR_COL_TAG: return v.tag;
    case ANCHOR_COL_AXES: return v.local_axes ? "Local" : "Global";
    case ANCHOR_COL_DISPLACEMENTS: return displacement_sets_text(v.displacements);
    case ANCHOR_COL_RELEASES: {
        std::string text;
        for (int i = 0; i < 6; ++i)
            if (v.released[static_cast<std::size_t>(i)])
                text += (text.empty() ? "" : " ") + std::string(direction_name(i));
        return text;
    }
    default: return {};
    }
}

std::string Anchor::description() const
{
    bool rigid = true;
    for (float k : v.stiffness)
        rigid = rigid && k >= RIGID_STIFFNESS;
    std::string text = rigid ? "Rigid anchor" : "Flexible anchor";
    if (v.local_axes)
        text += " in local axes";
    if (v.displacements.any())
        text += ", displacements " + displacement_sets_text(v.displacements);
    return text;
}

void Anchor::check(const Model& model, int row) const
{
    for (float k : v.stiffness)
        if (!std::isfinite(k) || k < 0.0f)
            throw_message(c_format("Row %d: an anchor stiffness is invalid", row));
    (void)model;
}

double Anchor::acting_stiffness(const AnalysisRun& run, int direction) const
{
    // The weight steps of the hanger design free the directions released
    // for hanger selection.
    const auto i = static_cast<std::size_t>(direction);
    if (v.released[i] && step_is_hanger_load(run))
        return 0.0;
    return stiffness_of(v.stiffness[i]);
}

void Anchor::assemble_stiffness(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    if (node == 0)
        return;
    const LocalAxes axes = spring_axes(run, v, node);
    for (int i = 0; i < 6; ++i) {
        const double k = acting_stiffness(run, i);
        if (k > 0.0 || run.structure_pass())
            add_line_spring(run, node, 0, axis_of(axes, i % 3), k, i >= 3);
    }
}

void Anchor::add_loads(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    if (node == 0)
        return;
    const std::array<Vec3, 2> d = anchor_displacement(run, v, node);
    const LocalAxes axes = spring_axes(run, v, node);
    for (int i = 0; i < 6; ++i) {
        const double k = acting_stiffness(run, i);
        const Vec3 a = axis_of(axes, i % 3);
        const double along = dot(d[static_cast<std::size_t>(i / 3)], a);
        if (k > 0.0 && along != 0.0)
            add_line_load(run, node, 0, a, k * along, i >= 3);
    }
}

void Anchor::write_support_loads(AnalysisRun& run, int row) const
{
    const int node = support_node(run, row);
    double loads[6] = {};
    if (node != 0) {
        const std::array<Vec3, 2> d = anchor_displacement(run, v, node);
        const LocalAxes axes = spring_axes(run, v, node);
        const std::array<Vec3, 2> u{relative_motion(run, node, 0, false), relative_motion(run, node, 0, true)};
        for (int i = 0; i < 6; ++i) {
            const double k = acting_stiffness(run, i);
            const Vec3 a = axis_of(axes, i % 3);
            const std::size_t part = static_cast<std::size_t>(i / 3);
            const double force = k * dot(minus(d[part], u[part]), a);
            loads[3 * part + 0] += force * a.x;
            loads[3 * part + 1] += force * a.y;
            loads[3 * part + 2] += force * a.z;
        }
    }
    record_support_loads(run, row, loads);
}

SymbolParts Anchor::symbol_parts(int row) const
{
    SymbolParts parts;
    float x = 0.0f, y = 0.0f;
    if (!support_symbol_origin(row, x, y))
        return parts;
    const Model& m = model();
    const LocalAxes axes =
        v.local_axes ? pipe_axes_at_node(m, m.rows[row].node_index, analysis_options().z_vertical) : LocalAxes{};
    const float size = support_symbol_size();
    for (int i = 0; i < 3; ++i)
        if (v.stiffness[static_cast<std::size_t>(i)] > 0.0f)
            add_heads_both_ways(parts, 1, x, y, axis_of(axes, i), size);
    return parts;
}

void Anchor::build_symbol(int row)
{
    SupportItem::build_symbol(row);
    block_built = false;
    const Model& m = model();
    if (!m.rows.valid(row) || !m.nodes.valid(m.rows[row].node_index))
        return;
    const int node = m.rows[row].node_index;
    const LocalAxes axes = v.local_axes ? pipe_axes_at_node(m, node, analysis_options().z_vertical) : LocalAxes{};
    const double size = 1.6 * double(support_symbol_size()) * symbol_drawing().symbol_scale;
    const Vec3 box_axes[3] = {axes.x, axes.y, axes.z};
    solid_box_init(block, node_position(m, node), {size, size, size}, box_axes);
    block_built = true;
    solid_box_add_to_box(block, box_render);
}

void Anchor::draw_3d(int row)
{
    SupportItem::draw_3d(row);
    if (!block_built)
        return;
    const Model& m = model();
    const bool transparent = m.rows.valid(row) && m.rows[row].transparent;
    gl_set_color(0.55f, 0.2f, 0.15f, transparent ? 0.6f : 1.0f);
    gl_draw_solid_box(block);
}

void Anchor::draw_box_outline()
{
    if (block_built)
        solid_box_draw_outline(block);
}
