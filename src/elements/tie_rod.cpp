#include "elements/tie_rod.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "elements/rigid_element.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

void TieRod::read(BinFile& file)
{
    tension_stiffness = file.read_float();
    compression_stiffness = file.read_float();
    tension_gap = file.read_float();
    compression_gap = file.read_float();
    if (file.error())
        return;
    for (float v : {tension_stiffness, compression_stiffness, tension_gap, compression_gap})
        check_record(finite_value(v, true), "Tie rod", "a value is not a number or below 0");
}

void TieRod::write(BinFile& file) const
{
    for (float v : {tension_stiffness, compression_stiffness, tension_gap, compression_gap})
        file.write_float(v);
}

void TieRod::copy_from(const ElementData& other)
{
    if (const auto* o = dynamic_cast<const TieRod*>(&other)) {
        tension_stiffness = o->tension_stiffness;
        compression_stiffness = o->compression_stiffness;
        tension_gap = o->tension_gap;
        compression_gap = o->compression_gap;
    }
}

bool TieRod::same_values(const TieRod& o) const
{
    return tension_stiffness == o.tension_stiffness && compression_stiffness == o.compression_stiffness &&
           tension_gap == o.tension_gap && compression_gap == o.compression_gap;
}

void TieRod::count()
{
    model().list(TIE_ROD_ROWS).count_one();
}

void TieRod::register_row(int row)
{
    model().list(TIE_ROD_ROWS).add(row);
}

std::string TieRod::cell_text(int column) const
{
    switch (column) {
    case 3: return format_stiffness(tension_stiffness);
    case 4: return format_stiffness(compression_stiffness);
    case 5: return format_dimension(tension_gap);
    case 6: return format_dimension(compression_gap);
    default: return {};
    }
}

void TieRod::fill_dialog(Dialog& d) const
{
    for (int column = 3; column <= 6; ++column)
        d.set_text(TIE_TENSION_STIFFNESS + column - 3, cell_text(column));
}

TieRodStatus TieRod::status_of(double e) const
{
    if (e < -double(compression_gap))
        return TIE_COMPRESSION;
    if (e > double(tension_gap))
        return TIE_TENSION;
    return TIE_SLACK;
}

double TieRod::axial_stiffness(TieRodStatus status) const
{
    // A rod without stiffness in a direction is slack in it: without its
    // 0.001 its axis would be free in the first solution (every rod starts
    // in tension) and the model unstable.
    const double k = status == TIE_TENSION ? tension_stiffness : status == TIE_COMPRESSION ? compression_stiffness : 0.0;
    return k > 0.0 ? k : TIE_ROD_SLACK_STIFFNESS;
}

double TieRod::gap_load(TieRodStatus status) const
{
    switch (status) {
    case TIE_TENSION: return double(tension_gap) * tension_stiffness;
    case TIE_COMPRESSION: return -(double(compression_gap) * compression_stiffness);
    default: return 0.0;
    }
}

void tie_rod_stiffness(double axial, ElementMatrix& k)
{
    k.clear();
    for (int j = 1; j <= 6; ++j) {
        const double v = j == 1 ? axial : TIE_ROD_SLACK_STIFFNESS;
        k.k[j][j] = k.k[j + 6][j + 6] = v;
        k.set_symmetric(j, j + 6, -v);
    }
}

void TieRod::build_outline(LayoutRow& row)
{
    const double s = view_state().element_half_width;
    straight_outline(row, static_cast<float>(s), outline);
    quad_add_to_box(outline, row.box_2d);
    cylinder_between_nodes(cylinder, row.start_node, row.end_node, 0.5 * s, false);
    quad_add_to_box(cylinder.outline, row.box_render);
}

void TieRod::draw_2d(LayoutRow& row)
{
    draw_select_pen(PEN_TIE_ROD);
    draw_line(node_view_point(row.start_node), node_view_point(row.end_node));
}

void TieRod::draw_3d(LayoutRow& row)
{
    if (stress_colors_shown())
        gl_set_color(0.5f, 0.5f, 0.5f);
    else if (!view_state().color_by_load)
        gl_set_color(1.0f, 0.6f, 0.0f, row.transparent ? 0.6f : 1.0f);
    cylinder_draw(cylinder);
}

void TieRod::draw_outline_2d()
{
    quad_draw(outline);
}

void TieRod::draw_outline_3d()
{
    quad_draw(cylinder.outline);
}

bool TieRod::pick_and_edit(int row, float x, float y)
{
    if (!quad_contains(view_state().render_view ? cylinder.outline : outline, x, y))
        return false;
    pick_edit_element(row);
    return true;
}
