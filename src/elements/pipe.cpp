#include "elements/pipe.h"

#include "elements/element_common.h"
#include "elements/element_dialog_ids.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "platform/dialog.h"

#include <cmath>

// ---- Pipe --------------------------------------------------------------------------------

void Pipe::build_outline(LayoutRow& row)
{
    LocalFrame2D frame;
    frame2d_between_nodes(row.start_node, row.end_node, frame);
    quad_element_outline(outline, frame);
    quad_add_to_box(outline, row.box_2d);
    quad_add_to_box(cylinder.outline, row.box_render);
}

void Pipe::build_symbol(LayoutRow& row)
{
    const int index = row_of(row);
    cylinder_between_nodes(cylinder, row.start_node, row.end_node, index ? LayoutRow::pipe_radius(index) : 0.0,
                           index && LayoutRow::next_to_end_element(index));
}

void Pipe::draw_2d(LayoutRow& row)
{
    draw_select_pen(PEN_ELEMENT);
    draw_line(node_view_point(row.start_node), node_view_point(row.end_node));
}

void Pipe::draw_3d(LayoutRow& row)
{
    if (stress_colors_shown())
        return;
    set_pipe_color(material_is_frp(row.material), row.transparent != 0);
    cylinder_draw(cylinder);
}

void Pipe::draw_outline_2d()
{
    quad_draw(outline);
}

void Pipe::draw_outline_3d()
{
    quad_draw(cylinder.outline);
}

bool Pipe::hit_test(float x, float y) const
{
    return quad_contains(view_state().render_view ? cylinder.outline : outline, x, y);
}

// ---- Cut pipe ------------------------------------------------------------------------------

void CutPipe::read(BinFile& file)
{
    cut = file.read_float();
    if (!file.error())
        check_record(std::isfinite(cut), "Cut pipe", "the cut is not a number");
}

void CutPipe::write(BinFile& file) const
{
    file.write_float(cut);
}

void CutPipe::copy_from(const ElementData& other)
{
    if (const auto* same = dynamic_cast<const CutPipe*>(&other))
        cut = same->cut;
}

void CutPipe::count()
{
    model().list(CUT_PIPE_ROWS).count_one();
}

std::string CutPipe::cell_text(int column) const
{
    switch (column) {
    case 3: return format_dimension(std::fabs(cut));
    case 4: return cut < 0.0f ? "Long" : "Short";
    default: return {};
    }
}

void CutPipe::fill_dialog(Dialog& d) const
{
    if (cut != 0.0f)
        d.set_text(CUT_LENGTH, format_dimension(std::fabs(cut)));
    d.check(CUT_SHORT, cut >= 0.0f);
    d.check(CUT_LONG, cut < 0.0f);
    d.focus(CUT_LENGTH, true);
}

void CutPipe::register_row(int row)
{
    model().list(CUT_PIPE_ROWS).add(row);
}

bool CutPipe::pick_and_edit(int row, float x, float y)
{
    if (!hit_test(x, y))
        return false;
    pick_edit_element(row);
    return true;
}

void CutPipe::section_terms(ElementSectionTerms& terms) const
{
    terms.cold_spring_cut = cut;
}
