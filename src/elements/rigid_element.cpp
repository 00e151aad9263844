#include "elements/rigid_element.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

void straight_outline(const LayoutRow& row, float half, Quad2D& quad)
{
    LocalFrame2D frame;
    frame2d_between_nodes(row.start_node, row.end_node, frame);
    quad_init(quad, frame2d_apply_scaled(frame, 0.0f, -half), frame2d_apply_scaled(frame, 1.0f, -half),
              frame2d_apply_scaled(frame, 1.0f, half), frame2d_apply_scaled(frame, 0.0f, half));
}

void RigidElement::read(BinFile& file)
{
    weight = file.read_float();
    add_cil = model_file_version() >= RIGID_ADD_CIL_VERSION ? file.read_byte() : 0;
    if (file.error())
        return;
    check_record(finite_value(weight, true), "Rigid element", "the weight is not a number or below 0");
    check_record(add_cil <= 1, "Rigid element", "the CIL flag is invalid");
}

void RigidElement::write(BinFile& file) const
{
    file.write_float(weight);
    file.write_byte(add_cil);
}

void RigidElement::copy_from(const ElementData& other)
{
    if (const auto* o = dynamic_cast<const RigidElement*>(&other)) {
        weight = o->weight;
        add_cil = o->add_cil;
    }
}

void RigidElement::count()
{
    model().list(RIGID_ROWS).count_one();
}

void RigidElement::register_row(int row)
{
    model().list(RIGID_ROWS).add(row);
}

std::string RigidElement::cell_text(int column) const
{
    switch (column) {
    case 3: return format_weight(weight);
    case 4: return add_cil ? "Y" : "N";
    default: return {};
    }
}

void RigidElement::fill_dialog(Dialog& d) const
{
    d.set_text(RIGID_WEIGHT, format_weight(weight));
    d.check(RIGID_ADD_CIL, add_cil != 0);
}

void RigidElement::build_outline(LayoutRow& row)
{
    const double u = view_state().element_half_width;
    straight_outline(row, static_cast<float>(u), outline);
    quad_add_to_box(outline, row.box_2d);
    solid_box_between_nodes(box, row.start_node, row.end_node, u, u);
    solid_box_add_to_box(box, row.box_render);
}

void RigidElement::draw_2d(LayoutRow& row)
{
    draw_select_pen(PEN_ELEMENT);
    draw_line(node_view_point(row.start_node), node_view_point(row.end_node));
}

void RigidElement::draw_3d(LayoutRow& row)
{
    if (stress_colors_shown())
        gl_set_color(0.5f, 0.5f, 0.5f);
    else if (!view_state().color_by_load)
        gl_set_color(0.75f, 0.5f, 0.25f, row.transparent ? 0.6f : 1.0f);
    gl_draw_solid_box(box);
}

void RigidElement::draw_outline_2d()
{
    quad_draw(outline);
}

void RigidElement::draw_outline_3d()
{
    solid_box_draw_outline(box);
}

bool RigidElement::pick_and_edit(int row, float x, float y)
{
    const bool hit = view_state().render_view ? solid_box_contains(box, x, y) : quad_contains(outline, x, y);
    if (!hit)
        return false;
    pick_edit_element(row);
    return true;
}

void RigidElement::section_terms(ElementSectionTerms& terms) const
{
    terms.own_weight = true;
    terms.weight = weight;
    terms.add_cil = add_cil != 0;
}
