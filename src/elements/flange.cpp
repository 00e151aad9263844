#include "elements/flange.h"

#include "analysis_core/analysis_run.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/steps.h"
#include "elements/attribute_dialog_ids.h"
#include "elements/element_common.h"
#include "elements/element_step.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

#include <cmath>

namespace {

const char* const TYPE_NAMES[FLANGE_TYPE_COUNT + 1] = {
    "???", "Weld neck", "Double welded slip on", "Single welded slip on", "Fillet welded", "Socket welded",
    "Lap joint", "Threaded"};

// The row's node in the run's numbering; 0 outside the analysis.
int flange_node(const AnalysisRun& run, int row)
{
    const int node = run.layout().rows[row].node_index;
    return run.node_n(node) != 0 ? node : 0;
}

bool flange_shown(int row)
{
    return view_state().flanges && model().rows.valid(row) && model().rows[row].node_index != 0;
}

}  // namespace

const char* flange_type_name(int type)
{
    return type >= 1 && type <= FLANGE_TYPE_COUNT ? TYPE_NAMES[type] : TYPE_NAMES[0];
}

void Flange::read(BinFile& file)
{
    flange_type = file.read_int();
    weight = file.read_float();
    gasket_diameter = file.read_float();
    allowable_pressure = file.read_float();
    if (file.error())
        return;
    check_record(flange_type >= 0 && flange_type <= FLANGE_TYPE_COUNT, "Flange", "the type is invalid");
    check_record(finite_value(weight, true), "Flange", "the weight is not a number or below 0");
    check_record(finite_value(gasket_diameter, true), "Flange", "the gasket diameter is not a number or below 0");
    check_record(finite_value(allowable_pressure, true), "Flange",
                 "the allowable pressure is not a number or below 0");
}

void Flange::write(BinFile& file) const
{
    file.write_int(flange_type);
    file.write_float(weight);
    file.write_float(gasket_diameter);
    file.write_float(allowable_pressure);
}

void Flange::copy_from(const DataItem& other)
{
    if (const auto* same = dynamic_cast<const Flange*>(&other)) {
        flange_type = same->flange_type;
        weight = same->weight;
        gasket_diameter = same->gasket_diameter;
        allowable_pressure = same->allowable_pressure;
    }
}

bool Flange::same_values(const Flange& other) const
{
    return flange_type == other.flange_type && weight == other.weight && gasket_diameter == other.gasket_diameter &&
           allowable_pressure == other.allowable_pressure;
}

void Flange::count()
{
    model().list(FLANGE_ROWS).count_one();
}

void Flange::register_row(int row)
{
    model().list(FLANGE_ROWS).add(row);
}

std::string Flange::cell_text(int column) const
{
    switch (column) {
    case 2: return flange_type_name(flange_type);
    case 3: return format_weight(weight);
    case 4: return gasket_diameter != 0.0f ? format_dimension(gasket_diameter) : std::string();
    case 5: return format_pressure(allowable_pressure);
    default: return {};
    }
}

std::string Flange::description() const
{
    return std::string("Flange, ") + flange_type_name(flange_type);
}

void Flange::fill_dialog(Dialog& d) const
{
    if (flange_type >= 1 && flange_type <= FLANGE_TYPE_COUNT)
        d.list_select(FLANGE_TYPE, flange_type - 1);
    d.set_text(FLANGE_WEIGHT, format_weight(weight));
    if (gasket_diameter != 0.0f)
        d.set_text(FLANGE_GASKET, format_dimension(gasket_diameter));
    d.set_text(FLANGE_PRESSURE, format_pressure(allowable_pressure));
}

void Flange::check(const Model&, int row) const
{
    if (!finite_value(weight, true))
        throw_message(c_format("Row %d: the weight of the flange is not a number or below 0", row));
}

// ---- Analysis ----------------------------------------------------------------------------------

void Flange::add_loads(AnalysisRun& run, int row) const
{
    const int node = flange_node(run, row);
    if (node == 0 || !step_has_weight(run))
        return;
    add_node_load(run, node, run.snapshot().options.z_vertical ? 2 : 1, -double(weight));
}

void Flange::add_g_loads(AnalysisRun& run, int row) const
{
    const int node = flange_node(run, row);
    if (node == 0)
        return;
    const std::array<double, 3> g = step_seismic_factors(run);
    for (int axis = 0; axis < 3; ++axis)
        if (g[static_cast<std::size_t>(axis)] != 0.0)
            add_node_load(run, node, axis, g[static_cast<std::size_t>(axis)] * weight);
}

void Flange::add_mass(AnalysisRun& run, int row) const
{
    const int node = flange_node(run, row);
    if (node == 0)
        return;
    for (int d = 0; d < 3; ++d)
        add_node_load(run, node, d, weight / GRAVITY);
}

// ---- Symbol ------------------------------------------------------------------------------------

void Flange::build_symbol(int row)
{
    if (!model().rows.valid(row) || model().rows[row].node_index == 0)
        return;
    const int node = model().rows[row].node_index;
    const double a = 1.75 * LayoutRow::symbol_radius(row);
    const double b = 0.25 * a;
    const Vec3 direction = pipe_direction_or_x(node);
    const LocalFrame2D frame = symbol_frame_at_node(node, direction);
    const auto fa = static_cast<float>(a), fb = static_cast<float>(b);
    lines[0][0] = frame2d_apply(frame, -fb, fa);
    lines[0][1] = frame2d_apply(frame, -fb, -fa);
    lines[1][0] = frame2d_apply(frame, fb, -fa);
    lines[1][1] = frame2d_apply(frame, fb, fa);
    quad_init(outline, lines[0][0], lines[0][1], lines[1][0], lines[1][1]);
    const Frame3D frame3d = frame3d_at_node(node, direction);
    cylinder_init_in_frame(disks[0], frame3d, {-b, 0.0, 0.0}, {-0.075 * b, 0.0, 0.0}, a, true);
    cylinder_init_in_frame(disks[1], frame3d, {0.075 * b, 0.0, 0.0}, {b, 0.0, 0.0}, a, true);
}

void Flange::update_extents(int row)
{
    DataItem::update_extents(row);
    if (!flange_shown(row))
        return;
    build_symbol(row);
    box_2d.reset();
    quad_add_to_box(outline, box_2d);
    const auto& size = model_hooks().symbol_size;
    box_2d.inflate(size ? static_cast<float>(size()) : 0.0f);
    box_render.reset();
    for (const Cylinder& disk : disks)
        quad_add_to_box(disk.outline, box_render);
}

void Flange::draw_2d(int row)
{
    if (!flange_shown(row))
        return;
    draw_select_pen(PEN_ELEMENT);
    for (const auto& line : lines)
        draw_line(line[0], line[1]);
}

void Flange::draw_3d(int row)
{
    if (!flange_shown(row))
        return;
    build_symbol(row);
    const float alpha = model().rows[row].transparent ? 0.6f : 1.0f;
    if (stress_colors_shown())
        gl_set_color(0.5f, 0.5f, 0.5f, alpha);
    else
        gl_set_color(0.3f, 0.6f, 0.3f, alpha);
    for (const Cylinder& disk : disks)
        cylinder_draw(disk);
}

void Flange::draw_outline_2d()
{
    quad_draw(outline);
}

void Flange::draw_outline_3d()
{
    for (const Cylinder& disk : disks)
        quad_draw(disk.outline);
}
