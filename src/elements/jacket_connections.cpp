#include "elements/jacket_connections.h"

#include "analysis_core/analysis_run.h"
#include "analysis_core/element_assembly.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "model/layout_row.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/symbol_shapes.h"
#include "model/view_drawing.h"

#include <cmath>

namespace {

// Shape 9 of the 2D view's symbols: a square.
constexpr int SPIDER_SHAPE = 9;

// The partner's index of the connection on a row; 0 when it does not exist.
int partner_index(const Model& m, const LayoutRow& r)
{
    if (r.node_index == 0)
        return 0;
    const auto found = m.node_lookup.find(jacket_partner_number(r.node));
    return found == m.node_lookup.end() ? 0 : found->second;
}

[[noreturn]] void not_on_jacketed_pipe(int number)
{
    throw_message(c_format("Jacket connection at point %s is not on a jacketed pipe", node_text(number).c_str()));
}

bool connection_row_shown(int row)
{
    return view_state().jacket_connections && model().rows.valid(row) && model().rows[row].node_index != 0;
}

void set_connection_color()
{
    if (stress_colors_shown())
        gl_set_color(0.5f, 0.5f, 0.5f);
    else
        gl_set_color(0.4f, 0.6f, 0.8f);
}

}  // namespace

int jacket_partner_band(int band)
{
    switch (band) {
    case 0: return 5;
    case 1: return 3;
    case 2: return 4;
    case 3: return 1;
    case 4: return 2;
    case 5: return 0;
    default: KV_ASSERT(false && "node band of a jacket connection"); return band;
    }
}

int jacket_partner_number(int number)
{
    return number % NODE_BAND + jacket_partner_band(number / NODE_BAND) * NODE_BAND;
}

const char* jacket_connection_name(int dtype)
{
    return dtype == DT_SPIDER ? "Spider" : dtype == DT_JACKET_END_CAP ? "End Cap" : "???";
}

void spider_directions(const Model& model, int node, Vec3& axis, Vec3& lateral1, Vec3& lateral2)
{
    double dx = 0.0, dy = 0.0, dz = 0.0;
    if (node == 0 || pipe_direction_at_node(model, node, dx, dy, dz) != 0)
        throw_message(c_format("Unable to find spider direction at node %s",
                               model.nodes.valid(node) ? node_text(model.nodes[node].number).c_str() : "0"));
    axis = {dx, dy, dz};
    const double h = std::sqrt(dx * dx + dz * dz);
    lateral1 = h < 0.0005 ? Vec3{0.0, 0.0, 1.0} : Vec3{-dx * dy / h, h, -dy * dz / h};
    const Vec3& u = lateral1;
    lateral2 = {dy * u.z - dz * u.y, dz * u.x - dx * u.z, dx * u.y - dy * u.x};
}

void check_jacket_connections(Model& m)
{
    for (int row = 1; row <= m.numrows(); ++row) {
        LayoutRow& r = m.rows[row];
        if (r.dtype != DT_SPIDER && r.dtype != DT_JACKET_END_CAP)
            continue;
        const int partner = partner_index(m, r);
        if (partner == 0)
            not_on_jacketed_pipe(r.node);
        if (auto* spider = dynamic_cast<Spider*>(r.data.get()))
            spider->partner_node = partner;
        m.coupled_pairs.push_back({r.node_index, partner, r.dtype == DT_SPIDER ? 1 : 0});
    }
}

void prepare_jacket_connections(Model& m)
{
    check_jacket_connections(m);
    for (LayoutRow& r : m.rows)
        if (auto* spider = r.dtype == DT_SPIDER ? dynamic_cast<Spider*>(r.data.get()) : nullptr)
            spider_directions(m, r.node_index, spider->axis, spider->lateral1, spider->lateral2);
}

// ---- End cap -------------------------------------------------------------------------------

void JacketEndCap::count()
{
    model().list(JACKET_CONNECTION_ROWS).count_one();
}

void JacketEndCap::register_row(int row)
{
    model().list(JACKET_CONNECTION_ROWS).add(row);
}

std::string JacketEndCap::cell_text(int column) const
{
    return column == 2 ? "End Cap" : std::string();
}

void JacketEndCap::check(const Model& m, int row) const
{
    if (partner_index(m, m.rows[row]) == 0)
        not_on_jacketed_pipe(m.rows[row].node);
}

void JacketEndCap::update_extents(int row)
{
    DataItem::update_extents(row);
    if (!connection_row_shown(row))
        return;
    build_symbol(row);
    box_2d.reset();
    quad_add_to_box(outline, box_2d);
    const auto& size = model_hooks().symbol_size;
    box_2d.inflate(size ? static_cast<float>(size()) : 0.0f);
    box_render.reset();
    quad_add_to_box(disk.outline, box_render);
}

void JacketEndCap::build_symbol(int row)
{
    if (!model().rows.valid(row) || model().rows[row].node_index == 0)
        return;
    const int node = model().rows[row].node_index;
    const double radius = 1.02 * LayoutRow::symbol_radius(row);
    const Vec3 direction = pipe_direction_or_x(model().rows[row].node_index);
    const LocalFrame2D frame = symbol_frame_at_node(node, direction);
    const auto r = static_cast<float>(radius);
    line_start = frame2d_apply(frame, 0.0f, r);
    line_end = frame2d_apply(frame, 0.0f, -r);
    const float margin = static_cast<float>(view_state().element_half_width) * 0.25f;
    quad_init(outline, frame2d_apply(frame, -margin, r), frame2d_apply(frame, margin, r),
              frame2d_apply(frame, margin, -r), frame2d_apply(frame, -margin, -r));
    const Frame3D frame3d = frame3d_at_node(node, direction);
    cylinder_init_in_frame(disk, frame3d, {-0.075 * radius, 0.0, 0.0}, {0.075 * radius, 0.0, 0.0}, radius, true);
}

void JacketEndCap::draw_2d(int row)
{
    if (!connection_row_shown(row))
        return;
    draw_select_pen(PEN_ELEMENT);
    draw_line(line_start, line_end);
}

void JacketEndCap::draw_3d(int row)
{
    if (!connection_row_shown(row))
        return;
    build_symbol(row);
    set_connection_color();
    cylinder_draw(disk);
}

void JacketEndCap::draw_outline_2d()
{
    quad_draw(outline);
}

void JacketEndCap::draw_outline_3d()
{
    quad_draw(disk.outline);
}

// ---- Spider ----------------------------------------------------------------------------------

void Spider::count()
{
    model().list(JACKET_CONNECTION_ROWS).count_one();
}

void Spider::register_row(int row)
{
    model().list(JACKET_CONNECTION_ROWS).add(row);
}

std::string Spider::cell_text(int column) const
{
    return column == 2 ? "Spider" : std::string();
}

void Spider::check(const Model& m, int row) const
{
    const LayoutRow& r = m.rows[row];
    if (partner_index(m, r) == 0)
        not_on_jacketed_pipe(r.node);
    Vec3 a, b, c;
    spider_directions(m, r.node_index, a, b, c);
}

void Spider::assemble_stiffness(AnalysisRun& run, int row) const
{
    const int node = run.layout().rows[row].node_index;
    if (node == 0 || partner_node == 0)
        return;
    ElementScratch& e = run.element();
    set_element_dofs(run, node, partner_node);
    set_element_axes(run, LocalAxes{axis, lateral1, lateral2});
    e.k.clear();
    for (const auto& [i, j] : {std::pair{2, 8}, std::pair{3, 9}}) {
        e.k.k[i][i] = e.k.k[j][j] = RIGID_LINK;
        e.k.set_symmetric(i, j, -RIGID_LINK);
    }
    assemble_element_stiffness(run);
}

void Spider::update_extents(int row)
{
    DataItem::update_extents(row);
    if (!connection_row_shown(row))
        return;
    const NodeRecord& n = model().nodes[model().rows[row].node_index];
    const auto size = static_cast<float>(view_state().support_symbol_size);
    box_2d.reset();
    symbol_shape_add_extent(SPIDER_SHAPE, n.sx, n.sy, 1.0f, 0.0f, size, box_2d);
    const auto& margin = model_hooks().symbol_size;
    box_2d.inflate(margin ? static_cast<float>(margin()) : 0.0f);
    build_symbol(row);
    box_render.reset();
    for (const Cylinder& leg : legs)
        quad_add_to_box(leg.outline, box_render);
}

void Spider::build_symbol(int row)
{
    if (!model().rows.valid(row) || model().rows[row].node_index == 0)
        return;
    const double r = LayoutRow::symbol_radius(row);
    const double length = 1.03 * r;
    const int node = model().rows[row].node_index;
    const Frame3D frame = frame3d_at_node(node, pipe_direction_or_x(node));
    const Vec3 ends[3] = {{0.0, length, 0.0}, {0.0, -0.5 * length, 0.866 * length}, {0.0, -0.5 * length, -0.866 * length}};
    for (int i = 0; i < 3; ++i)
        cylinder_init_in_frame(legs[i], frame, {0.0, 0.0, 0.0}, ends[i], 0.15 * r, true);
}

void Spider::draw_2d(int row)
{
    if (!connection_row_shown(row))
        return;
    const NodeRecord& n = model().nodes[model().rows[row].node_index];
    draw_select_pen(PEN_ELEMENT);
    draw_symbol_shape(SPIDER_SHAPE, n.sx, n.sy, 1.0f, 0.0f, static_cast<float>(view_state().support_symbol_size));
}

void Spider::draw_3d(int row)
{
    if (!connection_row_shown(row))
        return;
    build_symbol(row);
    set_connection_color();
    for (const Cylinder& leg : legs)
        cylinder_draw(leg);
}

void Spider::draw_outline_2d()
{
    box_draw(box_2d);
}

void Spider::draw_outline_3d()
{
    for (const Cylinder& leg : legs)
        quad_draw(leg.outline);
}
