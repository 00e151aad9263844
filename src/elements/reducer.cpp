#include "elements/reducer.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "model/value_bounds.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

#include <string>
#include <utility>

int reducer_dialog_mode(int32_t code)
{
    switch (code) {
    case CODE_B311_1967:
    case CODE_B313:
    case CODE_B314:
    case CODE_B315:
    case CODE_B318:
    case CODE_B3112:
    case CODE_BS806:
    case CODE_CODETI:
    case CODE_Z183:
    case CODE_Z184:
    case CODE_Z662:
        return 0;
    default:
        return code_is_nordic(code) ? 2 : 1;
    }
}

int reducer_dialog_mode()
{
    return reducer_dialog_mode(piping_code());
}

ReducerEndFault reducer_end_fault(double od, double thickness)
{
    if (!within(OUTSIDE_DIAMETER_BOUND, od))
        return ReducerEndFault::DiameterBeyond;
    if (!within(WALL_THICKNESS_BOUND, thickness))
        return ReducerEndFault::WallBeyond;
    if (thickness > od / 2.0)
        return ReducerEndFault::WallAboveRadius;
    return ReducerEndFault::None;
}

std::string reducer_end_fault_text(int end, double od, double thickness)
{
    const std::string diameter = "OD" + std::to_string(end);
    const std::string wall = "Thk" + std::to_string(end);
    switch (reducer_end_fault(od, thickness)) {
    case ReducerEndFault::None: return {};
    case ReducerEndFault::DiameterBeyond: return beyond(OUTSIDE_DIAMETER_BOUND, od, diameter);
    case ReducerEndFault::WallBeyond: return beyond(WALL_THICKNESS_BOUND, thickness, wall);
    case ReducerEndFault::WallAboveRadius: return wall + " > 0.5*" + diameter;
    }
    return {};
}

std::string reducer_fault(const Reducer& r)
{
    std::string fault = reducer_end_fault_text(1, r.od1, r.thickness1);
    return fault.empty() ? reducer_end_fault_text(2, r.od2, r.thickness2) : fault;
}

void Reducer::read(BinFile& file)
{
    od1 = file.read_float();
    thickness1 = file.read_float();
    od2 = file.read_float();
    thickness2 = file.read_float();
    cone_angle = file.read_float();
    knuckles = file.read_byte();
    delta = file.read_float();
    if (file.error())
        return;
    for (float v : {od1, thickness1, od2, thickness2, cone_angle, delta})
        check_record(finite_value(v, true), "Reducer", "a size or angle is not a number or below 0");
    check_record(knuckles <= 1, "Reducer", "the knuckle flag is invalid");
}

void Reducer::write(BinFile& file) const
{
    file.write_float(od1);
    file.write_float(thickness1);
    file.write_float(od2);
    file.write_float(thickness2);
    file.write_float(cone_angle);
    file.write_byte(knuckles);
    file.write_float(delta);
}

void Reducer::copy_from(const ElementData& other)
{
    const auto* same = dynamic_cast<const Reducer*>(&other);
    if (!same)
        return;
    od1 = same->od1;
    thickness1 = same->thickness1;
    od2 = same->od2;
    thickness2 = same->thickness2;
    cone_angle = same->cone_angle;
    knuckles = same->knuckles;
    delta = same->delta;
}

bool Reducer::same_values(const Reducer& o) const
{
    return od1 == o.od1 && thickness1 == o.thickness1 && od2 == o.od2 && thickness2 == o.thickness2 &&
           cone_angle == o.cone_angle && knuckles == o.knuckles && delta == o.delta;
}

void Reducer::count()
{
    model().list(REDUCER_ROWS).count_one();
}

std::string Reducer::cell_text(int column) const
{
    switch (column) {
    case 3: return format_dimension(od1);
    case 4: return format_dimension(thickness1);
    case 5: return format_dimension(od2);
    case 6: return format_dimension(thickness2);
    case 7: return cone_angle != 0.0f ? format_angle_or_none(cone_angle) : std::string();
    case 8: return knuckles ? "Y" : "";
    case 9: return dimension_or_empty(delta);
    default: return {};
    }
}

void Reducer::fill_dialog(Dialog& d) const
{
    // A size not given yet (a reducer just made) leaves the field as it is,
    // with the size of the pipe before that the dialog proposes.
    const std::pair<int, float> sizes[] = {
        {REDUCER_OD1, od1}, {REDUCER_THK1, thickness1}, {REDUCER_OD2, od2}, {REDUCER_THK2, thickness2}};
    for (const auto& [item, value] : sizes)
        if (value != 0.0f)
            d.set_text(item, format_dimension(value));
    const int mode = reducer_dialog_mode();
    if (mode >= 1 && cone_angle != 0.0f)
        d.set_text(REDUCER_CONE, format_angle_or_none(cone_angle));
    if (mode == 2) {
        d.check(REDUCER_KNUCKLES, knuckles != 0);
        if (delta != 0.0f)
            d.set_text(REDUCER_DELTA, format_dimension(delta));
    }
    d.focus(REDUCER_OD1, true);
}

void Reducer::register_row(int row)
{
    model().list(REDUCER_ROWS).add(row);
}

void Reducer::build_symbol(LayoutRow& row)
{
    const float r1 = od1 / 2.0f, r2 = od2 / 2.0f;
    frame2d_between_nodes(row.start_node, row.end_node, frame);
    quad_init(outline, frame2d_apply_scaled(frame, 0.0f, -r1), frame2d_apply_scaled(frame, 1.0f, -r2),
              frame2d_apply_scaled(frame, 1.0f, r2), frame2d_apply_scaled(frame, 0.0f, r1));
    quad_between_nodes(row.start_node, row.end_node, r1, r2, render_outline);
}

void Reducer::build_outline(LayoutRow& row)
{
    quad_add_to_box(outline, row.box_2d);
    quad_add_to_box(render_outline, row.box_render);
}

void Reducer::draw_2d(LayoutRow&)
{
    draw_select_pen(PEN_ELEMENT);
    quad_draw(outline);
}

void Reducer::draw_3d(LayoutRow& row)
{
    if (stress_colors_shown())
        return;
    set_pipe_color(material_is_frp(row.material), row.transparent != 0);
    gl_draw_cylinder(node_model_point(row.start_node), node_model_point(row.end_node), od1 / 2.0, od2 / 2.0, 0u);
}

void Reducer::draw_outline_2d()
{
    quad_draw(outline);
}

void Reducer::draw_outline_3d()
{
    quad_draw(render_outline);
}

bool Reducer::pick_and_edit(int row, float x, float y)
{
    if (!quad_contains(view_state().render_view ? render_outline : outline, x, y))
        return false;
    pick_edit_element(row);
    return true;
}

void Reducer::section_terms(ElementSectionTerms& terms) const
{
    terms.two_ends = true;
    terms.od1 = od1;
    terms.thickness1 = thickness1;
    terms.od2 = od2;
    terms.thickness2 = thickness2;
}
