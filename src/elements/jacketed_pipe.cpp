#include "elements/jacketed_pipe.h"

#include "elements/attribute_dialog_ids.h"
#include "elements/bend.h"
#include "elements/element_common.h"
#include "elements/jacketed_bend.h"
#include "framework/binfile.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

#include <algorithm>

void JacketedPipe::read(BinFile& file)
{
    const std::size_t width = bend_record_name_width();
    jacket.material = read_row_name(file, width);
    jacket.section = read_row_name(file, width);
    jacket.load = read_row_name(file, width);
    file.read_int();
    file.read_int();
    // The jacket nodes are made again by every model build.
    jacket.node1 = jacket.node2 = 0;
}

void JacketedPipe::write(BinFile& file) const
{
    write_row_name(file, jacket.material);
    write_row_name(file, jacket.section);
    write_row_name(file, jacket.load);
    file.write_int(jacket.node1);
    file.write_int(jacket.node2);
}

void JacketedPipe::copy_from(const ElementData& other)
{
    const auto* same = dynamic_cast<const JacketedPipe*>(&other);
    if (!same)
        return;
    jacket.material = same->jacket.material;
    jacket.section = same->jacket.section;
    jacket.load = same->jacket.load;
}

void JacketedPipe::count()
{
    model().list(JACKET_ROWS).count_one();
}

void JacketedPipe::register_row(int row)
{
    model().list(JACKET_ROWS).add(row);
}

std::string JacketedPipe::cell_text(int column) const
{
    switch (column) {
    case 3: return "Jpipe";
    case 4: return jacket.material;
    case 6: return jacket.section;
    case 8: return jacket.load;
    default: return {};
    }
}

void JacketedPipe::fill_dialog(Dialog& d) const
{
    const std::vector<std::string> loads = pipe_load_names();
    const auto load = std::find(loads.begin(), loads.end(), jacket.load);
    if (pipe_material_index(jacket.material) != 0)
        d.list_select(JPIPE_MATERIAL, pipe_material_index(jacket.material) - 1);
    if (section_index(jacket.section) != 0)
        d.list_select(JPIPE_SECTION, section_index(jacket.section) - 1);
    if (!jacket.load.empty() && load != loads.end())
        d.list_select(JPIPE_LOAD, static_cast<int>(load - loads.begin()));
}

// ---- Symbol ------------------------------------------------------------------------------------

void JacketedPipe::build_outline(LayoutRow& row)
{
    LocalFrame2D frame;
    frame2d_between_nodes(jacket.node1, jacket.node2, frame);
    quad_element_outline(outline, frame);
    quad_add_to_box(outline, row.box_2d);
    quad_add_to_box(jacket_cylinder.outline, row.box_render);
}

void JacketedPipe::build_symbol(LayoutRow& row)
{
    const int index = row_of(row);
    cylinder_between_nodes(core_cylinder, row.start_node, row.end_node, index ? LayoutRow::pipe_radius(index) : 0.0,
                           index && LayoutRow::next_to_end_element(index));
    cylinder_between_nodes(jacket_cylinder, jacket.node1, jacket.node2, section_radius(jacket.section), false);
}

void JacketedPipe::draw_2d(LayoutRow&)
{
    draw_select_pen(PEN_JACKET);
    draw_line(node_view_point(jacket.node1), node_view_point(jacket.node2));
}

void JacketedPipe::draw_3d(LayoutRow&)
{
    if (stress_colors_shown())
        return;
    gl_set_color(0.5f, 0.5f, 0.5f);
    cylinder_draw(core_cylinder);
}

void JacketedPipe::draw_jacket_3d(LayoutRow&)
{
    if (stress_colors_shown())
        return;
    gl_blend(true);
    gl_set_color(0.3f, 0.5f, 0.6f, 0.85f);
    cylinder_draw(jacket_cylinder);
    gl_blend(false);
}

void JacketedPipe::draw_outline_2d()
{
    quad_draw(outline);
}

void JacketedPipe::draw_outline_3d()
{
    quad_draw(jacket_cylinder.outline);
}

bool JacketedPipe::pick_and_edit(int row, float x, float y)
{
    if (!quad_contains(view_state().render_view ? jacket_cylinder.outline : outline, x, y))
        return false;
    pick_edit_element(row);
    return true;
}
