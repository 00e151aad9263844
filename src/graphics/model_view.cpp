// The projected model: positions, extents, labels, the line view's layers,
// the picks and the shifting of the view onto an item.
#include "graphics/model_view.h"

#include "elements/pipe.h"
#include "framework/app_state.h"
#include "framework/units.h"
#include "graphics/triads.h"
#include "graphics/view_settings.h"
#include "graphics/view_transform.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/model.h"
#include "model/symbol_shapes.h"
#include "model/view_drawing.h"

#include <algorithm>
#include <cmath>
#include <string>

namespace {

bool aborted()
{
    return paint_abort().load(std::memory_order_relaxed);
}

const Box2D& element_box(const LayoutRow& r)
{
    return view_state().render_view ? r.box_render : r.box_2d;
}

const Box2D& data_box(const DataItem& d)
{
    return view_state().render_view ? d.box_render : d.box_2d;
}

bool overlaps(const Box2D& box, const ViewWindow& w)
{
    return !box.empty() && !(box.xmax < w.xmin || box.xmin > w.xmax || box.ymax < w.ymin || box.ymin > w.ymax);
}

// The node's box: its dot, and the room of its number below to the right.
void update_node_extent(NodeRecord& n)
{
    const ViewState& v = view_state();
    n.box.reset();
    n.box.add(n.sx, n.sy);
    n.box.inflate(static_cast<float>(std::max(v.dot_size, 1) * 0.5 / v.scale));
    const auto x = static_cast<float>(n.sx + v.text_margin_x);
    const auto y = static_cast<float>(n.sy - v.text_margin_y);
    n.box.add(x, static_cast<float>(y - 0.25 * v.number_height));
    n.box.add(static_cast<float>(x + v.number_width), static_cast<float>(y + v.number_height));
}

// The middle of a row's drawn line, or its node without one.
bool row_label_point(const LayoutRow& r, Point2& at, bool& has_line)
{
    const Model& m = model();
    has_line = r.element && r.built && m.nodes.valid(r.start_node) && m.nodes.valid(r.end_node) &&
               r.start_node != r.end_node;
    if (has_line) {
        const Point2 a = node_view_point(r.start_node), b = node_view_point(r.end_node);
        at = {(a.x + b.x) / 2.0f, (a.y + b.y) / 2.0f};
        return true;
    }
    if (!m.nodes.valid(r.node_index))
        return false;
    at = node_view_point(r.node_index);
    return true;
}

bool row_in_view(int row)
{
    const LayoutRow& r = model().rows[row];
    return r.shown && (element_in_view(row) || data_item_in_view(row));
}

// While it lives, a pick selects and highlights but opens no dialog.
class NoDialogs {
public:
    NoDialogs() : element_(std::move(pick_hooks().open_element_dialog)), data_(std::move(pick_hooks().open_data_dialog))
    {
        pick_hooks().open_element_dialog = nullptr;
        pick_hooks().open_data_dialog = nullptr;
    }
    ~NoDialogs()
    {
        pick_hooks().open_element_dialog = std::move(element_);
        pick_hooks().open_data_dialog = std::move(data_);
    }
    NoDialogs(const NoDialogs&) = delete;
    NoDialogs& operator=(const NoDialogs&) = delete;

private:
    std::function<bool(int)> element_;
    std::function<bool(int)> data_;
};

bool is_pipe_row(const LayoutRow& r)
{
    return r.etype == ET_PIPE && dynamic_cast<const Pipe*>(r.element.get()) != nullptr;
}

// The pick over the view window, in the order of the click pick.
PickHit pick_at(int px, int py, bool all_data_kinds)
{
    GraphicsViewState& g = graphics_view();
    g.clip_window = g.view_window;
    float x = 0.0f, y = 0.0f;
    client_to_view(px, py, x, y);
    Model& m = model();
    for (int row = 1; row <= m.numrows(); ++row) {
        LayoutRow& r = m.rows[row];
        if (!data_item_in_view(row) || !data_kind_shown(r.dtype))
            continue;
        if (!all_data_kinds && r.dtype > DT_CONC_MASS)
            continue;
        if (r.data->pick_and_edit(row, x, y))
            return {row, true};
    }
    for (int row = 1; row <= m.numrows(); ++row) {
        LayoutRow& r = m.rows[row];
        if (!r.shown || !element_in_view(row))
            continue;
        if (r.element->pick_and_edit(row, x, y))
            return {row, false};
    }
    // Plain pipes have no pick of their own: a point near their line.
    for (int row = 1; row <= m.numrows(); ++row) {
        LayoutRow& r = m.rows[row];
        if (!r.shown || !element_in_view(row) || !is_pipe_row(r))
            continue;
        if (static_cast<const Pipe&>(*r.element).hit_test(x, y)) {
            pick_edit_element(row);
            return {row, false};
        }
    }
    return {};
}

}  // namespace

// ---- Positions and extents --------------------------------------------------------------------

namespace {

// Every row's outlines and symbols, and every node's box, for the view and
// the scale now (symbol sizes are pixels, so they follow the scale).
void rebuild_symbols()
{
    Model& m = model();
    for (NodeRecord& n : m.nodes)
        update_node_extent(n);
    for (int row = 1; row <= m.numrows(); ++row) {
        rebuild_row_symbol(row);
        LayoutRow& r = m.rows[row];
        if (r.data && r.built && m.nodes.valid(r.node_index)) {
            r.data->update_extents(row);
            r.data->build_symbol(row);
        } else if (r.data) {
            r.data->box_2d.reset();
            r.data->box_render.reset();
        }
    }
}

}  // namespace

void update_screen_positions()
{
    for (NodeRecord& n : model().nodes)
        project_point(n.x, n.y, n.z, n.sx, n.sy);
    rebuild_symbols();
    if (lcs_display() && lcs_triad().shown)
        lcs_triad_build();
}

void compute_model_extent()
{
    rebuild_symbols();
    const Model& m = model();
    Box2D& e = graphics_view().model_extent;
    e.reset();
    if (m.numnodes() == 0) {
        e.add(-12.0f, -12.0f);
        e.add(12.0f, 12.0f);
        return;
    }
    // Boxes of points that are not numbers (a model of absurd size) are left out.
    auto add = [&e](const Box2D& b) {
        if (std::isfinite(b.xmin) && std::isfinite(b.xmax) && std::isfinite(b.ymin) && std::isfinite(b.ymax))
            e.add(b);
    };
    for (const NodeRecord& n : m.nodes)
        if (m.rows.valid(n.row) && m.rows[n.row].built)
            add(n.box);
    for (const LayoutRow& r : m.rows) {
        if (!r.built)
            continue;
        add(element_box(r));
        if (r.data)
            add(data_box(*r.data));
    }
    if (e.empty()) {
        e.add(-12.0f, -12.0f);
        e.add(12.0f, 12.0f);
    }
}

bool box_overlaps_window(const Box2D& box)
{
    return overlaps(box, graphics_view().clip_window);
}

bool box_overlaps_view(const Box2D& box)
{
    return overlaps(box, graphics_view().view_window);
}

bool element_in_view(int row)
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return false;
    const LayoutRow& r = m.rows[row];
    return r.built && r.element && box_overlaps_window(element_box(r));
}

bool data_item_in_view(int row)
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return false;
    const LayoutRow& r = m.rows[row];
    return r.shown && r.built && r.data && m.nodes.valid(r.node_index) && box_overlaps_window(data_box(*r.data));
}

// ---- Labels -------------------------------------------------------------------------------------

void draw_node_dot(int node)
{
    const Model& m = model();
    if (!m.nodes.valid(node) || !box_overlaps_window(m.nodes[node].box))
        return;
    draw_dot(m.nodes[node].sx, m.nodes[node].sy);
}

void draw_node_label(int node)
{
    const Model& m = model();
    if (!node_label_applies(node) || !box_overlaps_window(m.nodes[node].box))
        return;
    const NodeRecord& n = m.nodes[node];
    const ViewState& v = view_state();
    draw_text(static_cast<float>(n.sx + v.text_margin_x), static_cast<float>(n.sy - v.text_margin_y),
              node_text(n.number));
}

void draw_length_label(int row)
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return;
    const LayoutRow& r = m.rows[row];
    Point2 at;
    bool line = false;
    if (!row_label_point(r, at, line) || !line)
        return;
    const ViewState& v = view_state();
    const std::string text = format_length(node_distance(r.start_node, r.end_node));
    draw_text(static_cast<float>(at.x + v.text_margin_x), static_cast<float>(at.y - v.text_margin_y - v.number_height),
              text);
}

void draw_row_label(int row)
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return;
    Point2 at;
    bool line = false;
    if (!row_label_point(m.rows[row], at, line))
        return;
    const ViewState& v = view_state();
    draw_text(static_cast<float>(at.x + v.text_margin_x), static_cast<float>(at.y + v.text_margin_y),
              std::to_string(row));
}

// ---- Layers ------------------------------------------------------------------------------------

bool gdi_draw_model()
{
    Model& m = model();
    const ShowFlags& show = show_flags();
    if (aborted())
        return false;
    if (!graphics_view().scroll_dragging)
        draw_axes_triad(graphics_view().plt_output);
    for (int row = 1; row <= m.numrows(); ++row) {
        if (aborted())
            return false;
        LayoutRow& r = m.rows[row];
        if (r.shown && element_in_view(row)) {
            draw_select_pen(PEN_ELEMENT);
            r.element->draw_2d(r);
        }
    }
    for (int row = 1; row <= m.numrows(); ++row) {
        if (aborted())
            return false;
        LayoutRow& r = m.rows[row];
        if (data_item_in_view(row) && data_kind_shown(r.dtype)) {
            draw_select_pen(PEN_SUPPORT);
            r.data->draw_2d(row);
        }
    }
    auto node_of_shown_row = [&m](const NodeRecord& n) { return m.rows.valid(n.row) && m.rows[n.row].shown; };
    if (show.dots) {
        draw_select_pen(PEN_NODE_DOT);
        for (int node = 1; node <= m.numnodes(); ++node) {
            if (aborted())
                return false;
            if (node_of_shown_row(m.nodes[node]))
                draw_node_dot(node);
        }
        draw_select_pen(PEN_ELEMENT);
    }
    if (show.lengths) {
        draw_select_pen(PEN_LENGTH);
        for (int row = 1; row <= m.numrows(); ++row) {
            if (aborted())
                return false;
            if (row_in_view(row))
                draw_length_label(row);
        }
    }
    if (show.row_numbers) {
        draw_select_pen(PEN_ROW_NUMBER);
        for (int row = 1; row <= m.numrows(); ++row) {
            if (aborted())
                return false;
            if (row_in_view(row))
                draw_row_label(row);
        }
    }
    if (const auto& results = graphics_hooks().results_layer; results && results()) {
        // The stress colouring replaces the node numbers.
    } else {
        draw_select_pen(PEN_NODE_LABEL);
        for (int node = 1; node <= m.numnodes(); ++node) {
            if (aborted())
                return false;
            if (node_of_shown_row(m.nodes[node]))
                draw_node_label(node);
        }
    }
    if (const auto& shapes = graphics_hooks().shapes_layer)
        shapes();
    draw_select_pen(PEN_ELEMENT);
    return !aborted();
}

void draw_render_overlays()
{
    const Model& m = model();
    const ShowFlags& show = show_flags();
    if (!graphics_view().scroll_dragging)
        draw_axes_triad();
    if (show.dots_render) {
        draw_select_pen(PEN_NODE_DOT);
        for (int node = 1; node <= m.numnodes(); ++node)
            if (m.rows.valid(m.nodes[node].row) && m.rows[m.nodes[node].row].shown)
                draw_node_dot(node);
    }
    if (show.node_numbers_render) {
        draw_select_pen(PEN_NODE_LABEL);
        for (int node = 1; node <= m.numnodes(); ++node)
            if (m.rows.valid(m.nodes[node].row) && m.rows[m.nodes[node].row].shown)
                draw_node_label(node);
    }
    draw_select_pen(PEN_ELEMENT);
}

double render_depth()
{
    double largest = 0.0;
    for (const NodeRecord& n : model().nodes)
        largest = std::max({largest, std::fabs(double(n.x)), std::fabs(double(n.y)), std::fabs(double(n.z))});
    return std::max(2.0 * largest, 24.0);
}

// ---- Picks ---------------------------------------------------------------------------------------

void client_to_view(int px, int py, float& x, float& y)
{
    const GraphicsViewState& g = graphics_view();
    const double s = view_state().scale;
    x = static_cast<float>(px / s + g.view_window.xmin);
    y = static_cast<float>((g.client_height - py) / s + g.view_window.ymin);
}

void view_to_client(float x, float y, double& px, double& py)
{
    const GraphicsViewState& g = graphics_view();
    const double s = view_state().scale;
    px = (double(x) - g.view_window.xmin) * s;
    py = g.client_height - (double(y) - g.view_window.ymin) * s;
}

PickHit graphics_click_pick(int px, int py)
{
    return pick_at(px, py, true);
}

PickHit graphics_pick(int px, int py)
{
    const NoDialogs quiet;
    return pick_at(px, py, false);
}

// ---- Bringing an item into sight -------------------------------------------------------------------

bool scroll_box_into_view(const Box2D& box)
{
    if (graphics_settings().view_frozen || env_switches().brochure || box.empty())
        return false;
    const GraphicsViewState& g = graphics_view();
    if (g.client_width <= 0 || g.client_height <= 0)
        return false;
    ViewWindow& w = graphics_view().view_window;
    const double aspect = double(g.client_height) / g.client_width;
    const double bw = double(box.xmax) - box.xmin, bh = double(box.ymax) - box.ymin;
    bool moved = false;
    auto margins = [&w](double& mx, double& my) {
        mx = 0.02 * w.width();
        my = 0.02 * w.height();
    };
    double mx = 0.0, my = 0.0;
    margins(mx, my);
    // The box is wider than the window: the window spans it, as high as the client's shape asks.
    auto span_x = [&] {
        const double middle = (double(w.ymin) + w.ymax) / 2.0;
        w.xmin = static_cast<float>(box.xmin - 0.05 * bw);
        w.xmax = static_cast<float>(box.xmax + 0.05 * bw);
        const double height = w.width() * aspect;
        w.ymin = static_cast<float>(middle - height / 2.0);
        w.ymax = static_cast<float>(middle + height / 2.0);
        margins(mx, my);
    };
    auto span_y = [&] {
        const double middle = (double(w.xmin) + w.xmax) / 2.0;
        w.ymin = static_cast<float>(box.ymin - 0.05 * bh);
        w.ymax = static_cast<float>(box.ymax + 0.05 * bh);
        const double width = w.height() / aspect;
        w.xmin = static_cast<float>(middle - width / 2.0);
        w.xmax = static_cast<float>(middle + width / 2.0);
        margins(mx, my);
    };
    auto shift_x = [&](double to_xmin) {
        const double width = w.width();
        w.xmin = static_cast<float>(to_xmin);
        w.xmax = static_cast<float>(to_xmin + width);
    };
    auto shift_y = [&](double to_ymin) {
        const double height = w.height();
        w.ymin = static_cast<float>(to_ymin);
        w.ymax = static_cast<float>(to_ymin + height);
    };
    if (box.xmax > w.xmax - 0.1 * mx) {
        shift_x(box.xmax + 2.0 * mx - w.width());
        if (box.xmin < w.xmin + 0.1 * mx)
            span_x();
        moved = true;
    }
    if (box.xmin < w.xmin + 0.1 * mx) {
        shift_x(box.xmin - 2.0 * mx);
        if (box.xmax > w.xmax - 0.1 * mx)
            span_x();
        moved = true;
    }
    if (box.ymax > w.ymax - 0.1 * my) {
        shift_y(box.ymax + 2.0 * my - w.height());
        if (box.ymin < w.ymin + 0.1 * my)
            span_y();
        moved = true;
    }
    if (box.ymin < w.ymin + 0.1 * my) {
        shift_y(box.ymin - 2.0 * my);
        if (box.ymax > w.ymax - 0.1 * my)
            span_y();
        moved = true;
    }
    if (!moved)
        return false;
    set_drawing_scale(std::min(g.client_width / double(w.width()), g.client_height / double(w.height())));
    compute_model_extent();
    return true;
}

// ---- Outlines ------------------------------------------------------------------------------------

void draw_anchor_outlines()
{
    Model& m = model();
    draw_select_pen(PEN_ANCHOR_OUTLINE);
    for (LayoutRow& r : m.rows)
        if (r.dtype == DT_ANCHOR && r.data && r.built)
            r.data->draw_box_outline();
    draw_select_pen(PEN_ELEMENT);
}

void draw_beam_outlines()
{
    Model& m = model();
    draw_select_pen(PEN_BEAM_OUTLINE);
    for (LayoutRow& r : m.rows)
        if (r.etype == ET_BEAM && r.element && r.built)
            r.element->draw_outline_2d();
    draw_select_pen(PEN_ELEMENT);
}

void install_view_drawing_hooks()
{
    model_hooks().symbol_size = [] { return view_state().support_symbol_size; };
    SymbolDrawing& s = symbol_drawing();
    s.draw_line = [](float x1, float y1, float x2, float y2) { draw_line(x1, y1, x2, y2); };
    s.project_direction = [](double x, double y, double z, float& dx, float& dy) {
        project_direction(x, y, z, dx, dy);
    };
}
