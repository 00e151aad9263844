#include "graphics/highlight.h"

#include "codes/stress_display.h"
#include "elements/beam.h"
#include "elements/elastic_element.h"
#include "elements/joints.h"
#include "framework/state.h"
#include "framework/units.h"
#include "graphics/draw2d.h"
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/triads.h"
#include "graphics/view_settings.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/elements.h"
#include "model/model.h"
#include "model/view_drawing.h"
#include "supports/guide.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"

#include <algorithm>
#include <cmath>

namespace {

HighlightState& state()
{
    return highlight_state();
}

bool render_mode()
{
    return graphics_settings().render_mode;
}

bool printing()
{
    const auto& p = highlight_hooks().printing;
    return p && p();
}

void repaint()
{
    if (const auto& r = highlight_hooks().repaint)
        r();
}

bool lcs_on()
{
    return show_flags().local_axes;
}

// The start of every setter that draws: the previous highlight erased.
void begin(int kind, const HighlightObject& object)
{
    highlight_erase();
    HighlightState& h = state();
    h.kind = kind;
    h.object = object;
    h.box.reset();
    h.marked[0] = h.marked[1] = 0;
}

Vec3 unit(const Vec3& v)
{
    const double n = norm(v);
    return n > 0.0 ? Vec3{v.x / n, v.y / n, v.z / n} : Vec3{1.0, 0.0, 0.0};
}

// Local axes with x along a direction, y and z by the model's convention.
LocalAxes axes_along(const Vec3& x)
{
    LocalAxes a;
    a.x = unit(x);
    complete_local_axes(a);
    return a;
}

// The direction of a pipe-like element other than `self` that ends at the node.
bool pipe_direction_at(int node, int self, Vec3& direction)
{
    const Model& m = model();
    if (!m.nodes.valid(node))
        return false;
    for (int32_t e : m.nodes[node].elements) {
        if (e == self || !m.elems.valid(e) || !element_is_pipe_like(m.elems[e]))
            continue;
        const Elem& el = m.elems[e];
        const Vec3 d = minus(node_model_point(el.node2), node_model_point(el.node1));
        if (norm(d) > 1e-9) {
            direction = d;
            return true;
        }
    }
    return false;
}

// The local axes of an element of the analysis model, by its kind.
LocalAxes element_result_axes(int index)
{
    const Model& m = model();
    const Elem& e = m.elems[index];
    const Vec3 chord = minus(node_model_point(e.node2), node_model_point(e.node1));
    const LayoutRow* row = m.rows.valid(e.row) ? &m.rows[e.row] : nullptr;
    switch (e.kind) {
    case ET_BEAM:
        Beam::set_local_axes(e.row);
        return local_axes();
    case ET_HINGE_JOINT:
        if (const auto* h = row ? dynamic_cast<const HingeJoint*>(row->element.get()) : nullptr; h && h->has_axis())
            return axes_along(Vec3{h->axis[0], h->axis[1], h->axis[2]});
        return axes_along(chord);
    case ET_BALL_JOINT: {
        // The pipe at its node; a joint with no pipe beside it takes X.
        Vec3 d{1.0, 0.0, 0.0};
        if (!pipe_direction_at(e.node1, index, d))
            pipe_direction_at(e.node2, index, d);
        return axes_along(d);
    }
    case ET_ELASTIC:
        if (const auto* el = row ? dynamic_cast<const ElasticElement*>(row->element.get()) : nullptr) {
            LocalAxes a;
            if (el->axes(a))
                return a;
        }
        return axes_along(chord);
    default:
        return norm(chord) > 1e-9 ? axes_along(chord) : axes_along(Vec3{1.0, 0.0, 0.0});
    }
}

void show_lcs(int node, const LocalAxes& a)
{
    lcs_triad_init(node, a.x, a.y, a.z);
    LcsTriad& t = lcs_triad();
    if (!t.shown)
        lcs_triad_toggle();
}

bool valid_row(int row)
{
    return model().rows.valid(row);
}

// A row that F6 or Show/Hide Selected Elements took out of the views.
bool row_hidden(int row)
{
    return valid_row(row) && !model().rows[row].shown;
}

// A node is drawn with the row that makes it, an element with its row.
bool node_hidden(int node)
{
    const Model& m = model();
    return m.nodes.valid(node) && row_hidden(m.nodes[node].row);
}

bool element_hidden(int element)
{
    const Model& m = model();
    return m.elems.valid(element) && row_hidden(m.elems[element].row);
}

const Box2D& node_box(int node)
{
    return model().nodes[node].box;
}

// The rows a name-based kind draws.
bool row_named(const LayoutRow& r, int kind, const std::string& name)
{
    switch (kind) {
    case HIGHLIGHT_MATERIAL_ROWS: return r.etype != ET_BEAM && r.material == name;
    case HIGHLIGHT_SECTION_ROWS: return r.etype != ET_BEAM && r.section == name;
    case HIGHLIGHT_LOAD_ROWS: return r.load == name;
    case HIGHLIGHT_BEAM_MATERIAL_ROWS: return r.etype == ET_BEAM && r.material == name;
    case HIGHLIGHT_BEAM_SECTION_ROWS: return r.etype == ET_BEAM && r.section == name;
    default: return false;
    }
}

void set_named(int kind, const std::string& name)
{
    begin(kind, HighlightObject{0, 0, 0, name});
    highlight_finish();
}

// The stress-view and ratio-view label of a mark.
std::string mark_text(int kind, int node, Color& color)
{
    const HighlightState& h = state();
    const StressDisplayFlags& f = stress_display_flags();
    const bool white = graphics_settings().white_background;
    if ((kind == HIGHLIGHT_STRESS_NODE || kind == HIGHLIGHT_RATIO_NODE) && (f.stresses_shown || f.ratios_shown)) {
        color = h.label_color;
        if (f.stresses_shown && kind == HIGHLIGHT_STRESS_NODE)
            return stress_marked(h.value) ? format_stress(h.value) : std::string(" ");
        const double percent = 100.0 * h.ratio;
        return ratio_marked(percent) ? format_percent(percent) : std::string(" ");
    }
    color = white ? rgb(255, 0, 0) : rgb(255, 255, 0);
    return node_label_applies(node) ? node_text(model().nodes[node].number) : std::string(" ");
}

}  // namespace

HighlightState& highlight_state()
{
    return session_part<HighlightState>();
}

HighlightHooks& highlight_hooks()
{
    return session_part<HighlightHooks>();
}

// ---- Setters ------------------------------------------------------------------------------

void highlight_node(int node)
{
    if (render_mode() || !model().nodes.valid(node))
        return;
    begin(HIGHLIGHT_NODE, HighlightObject{0, node, 0, {}});
    HighlightState& h = state();
    h.box = node_box(node);
    h.marked[0] = node;
    highlight_finish();
}

void highlight_element(int row)
{
    if (render_mode() || !valid_row(row))
        return;
    const Model& m = model();
    const LayoutRow& r = m.rows[row];
    if (r.etype == ET_NONE || r.etype == ET_COMMENT || r.etype == ET_HYDROTEST_LOAD || !r.element || !r.built ||
        !m.nodes.valid(r.node_index))
        return;
    begin(HIGHLIGHT_ELEMENT, HighlightObject{row, r.node_index, 0, {}});
    HighlightState& h = state();
    if (lcs_on() && (r.etype == ET_ELASTIC || r.etype == ET_BEAM)) {
        LocalAxes a;
        bool found = false;
        if (r.etype == ET_BEAM) {
            Beam::set_local_axes(row);
            a = local_axes();
            found = true;
        } else if (const auto* el = dynamic_cast<const ElasticElement*>(r.element.get())) {
            found = el->axes(a);
        }
        if (found) {
            h.kind = HIGHLIGHT_LCS;
            show_lcs(r.node_index, a);
        }
    }
    h.box = r.box_2d;
    h.marked[0] = r.node_index;
    highlight_finish();
}

void highlight_bend(int row)
{
    if (render_mode() || !valid_row(row))
        return;
    const Model& m = model();
    const LayoutRow& r = m.rows[row];
    if (!r.element || !r.built || !m.nodes.valid(r.node_index))
        return;
    begin(HIGHLIGHT_BEND, HighlightObject{row, r.node_index, 0, {}});
    HighlightState& h = state();
    h.box = r.box_2d;
    h.marked[0] = r.node_index;
    highlight_finish();
}

void highlight_data_item(int row)
{
    if (render_mode() || !valid_row(row))
        return;
    Model& m = model();
    LayoutRow& r = m.rows[row];
    if (r.node == 0 || !m.nodes.valid(r.node_index) || r.dtype == DT_NONE || !r.data)
        return;
    begin(HIGHLIGHT_DATA_ITEM, HighlightObject{row, r.node_index, 0, {}});
    HighlightState& h = state();
    if (lcs_on() && (r.dtype == DT_GUIDE || r.dtype == DT_LIMIT_STOP || r.dtype == DT_NOZZLE)) {
        r.data->compute_local_axes(r.node_index);
        const LocalAxes* a = nullptr;
        if (const auto* g = dynamic_cast<const Guide*>(r.data.get()))
            a = &g->axes;
        else if (const auto* l = dynamic_cast<const LimitStop*>(r.data.get()))
            a = &l->axes;
        else if (const auto* n = dynamic_cast<const Nozzle*>(r.data.get()))
            a = &n->axes;
        if (a) {
            h.kind = HIGHLIGHT_LCS;
            h.object = HighlightObject{row, r.node_index, 0, {}};
            show_lcs(r.node_index, *a);
        }
    }
    h.box = r.data->box_2d;
    h.marked[0] = r.node_index;
    highlight_finish();
}

void highlight_element_result(int element)
{
    const Model& m = model();
    if (render_mode() || !m.elems.valid(element))
        return;
    const Elem& e = m.elems[element];
    if (!m.nodes.valid(e.node1) || !m.nodes.valid(e.node2))
        return;
    begin(HIGHLIGHT_ANALYSIS_ELEMENT, HighlightObject{e.row, e.node1, element, {}});
    HighlightState& h = state();
    if (lcs_on()) {
        h.kind = HIGHLIGHT_LCS;
        h.object = HighlightObject{0, e.node1, element, {}};
        show_lcs(e.node1, element_result_axes(element));
    }
    if (e.kind == ET_PIPE) {
        h.box.add(m.nodes[e.node1].sx, m.nodes[e.node1].sy);
        h.box.add(m.nodes[e.node2].sx, m.nodes[e.node2].sy);
    } else if (m.rows.valid(e.row)) {
        h.box = m.rows[e.row].box_2d;
    }
    h.marked[0] = e.node1;
    h.marked[1] = e.node2;
    highlight_finish();
}

namespace {

void value_node(int kind, int node, float value, float ratio)
{
    if (render_mode() || !model().nodes.valid(node))
        return;
    begin(kind, HighlightObject{0, node, 0, {}});
    HighlightState& h = state();
    h.value = value;
    h.ratio = ratio;
    const bool white = graphics_settings().white_background;
    h.label_color = ratio > 1.0f ? rgb(255, 0, 0) : white ? rgb(0, 0, 0) : rgb(0, 255, 0);
    h.box = node_box(node);
    h.marked[0] = node;
    highlight_finish();
}

}  // namespace

void highlight_ratio_point(int node, float value, float ratio)
{
    value_node(HIGHLIGHT_STRESS_NODE, node, value, ratio);
}

void highlight_ratio_node(int node, float ratio)
{
    value_node(HIGHLIGHT_RATIO_NODE, node, 0.0f, ratio);
}

void highlight_material_rows(const std::string& name)
{
    set_named(HIGHLIGHT_MATERIAL_ROWS, name);
}

void highlight_section_rows(const std::string& name)
{
    set_named(HIGHLIGHT_SECTION_ROWS, name);
}

void highlight_load_rows(const std::string& name)
{
    set_named(HIGHLIGHT_LOAD_ROWS, name);
}

void highlight_beam_material_rows(const std::string& name)
{
    set_named(HIGHLIGHT_BEAM_MATERIAL_ROWS, name);
}

void highlight_beam_section_rows(const std::string& name)
{
    set_named(HIGHLIGHT_BEAM_SECTION_ROWS, name);
}

void highlight_beam_load_rows(const std::string& name)
{
    set_named(HIGHLIGHT_LOAD_ROWS, name);
}

void highlight_layout_row(int row)
{
    if (!valid_row(row))
        return;
    const LayoutRow& r = model().rows[row];
    if (r.data && r.dtype != DT_NONE)
        highlight_data_item(row);
    else if (etype_is_bend(r.etype))
        highlight_bend(row);
    else
        highlight_element(row);
}

// ---- Showing, erasing, suspending ----------------------------------------------------------

void highlight_finish()
{
    const HighlightHooks& hooks = highlight_hooks();
    if (hooks.animating && hooks.animating() && hooks.stop_animation)
        hooks.stop_animation();
    HighlightState& h = state();
    h.phase = true;
    // What a hidden row holds is drawn nowhere: the view is not moved to it.
    if (!highlight_on_hidden_row() && !graphics_settings().view_frozen && scroll_box_into_view(h.box)) {
        h.shown = true;
        graphics_redraw();
    } else {
        highlight_show();
    }
}

void highlight_show()
{
    HighlightState& h = state();
    if (h.suspended || h.kind == HIGHLIGHT_NONE || printing())
        return;
    h.shown = true;
    repaint();
}

void highlight_erase()
{
    HighlightState& h = state();
    if (h.suspended || h.kind == HIGHLIGHT_NONE || printing())
        return;
    if (h.kind == HIGHLIGHT_LCS)
        lcs_triad_erase();
    h.kind = HIGHLIGHT_NONE;
    h.object = HighlightObject{};
    h.phase = false;
    h.marked[0] = h.marked[1] = 0;
    if (h.shown) {
        h.shown = false;
        repaint();
    }
}

namespace {

// Keeps the kind and object in a slot and erases the highlight; the marked
// nodes and the box stay for the restore.
void save_and_erase(int& kind, HighlightObject& object)
{
    HighlightState& h = state();
    kind = h.kind;
    object = h.object;
    const int marked[2] = {h.marked[0], h.marked[1]};
    const Box2D box = h.box;
    highlight_erase();
    h.marked[0] = marked[0];
    h.marked[1] = marked[1];
    h.box = box;
}

}  // namespace

void highlight_suspend()
{
    HighlightState& h = state();
    if (h.suspended)
        return;
    save_and_erase(h.suspended_kind, h.suspended_object);
    h.suspended = true;
}

void highlight_resume()
{
    HighlightState& h = state();
    if (!h.suspended)
        return;
    h.suspended = false;
    h.kind = h.suspended_kind;
    h.object = h.suspended_object;
    if (h.kind == HIGHLIGHT_LCS && !lcs_triad().shown)
        lcs_triad_toggle();
    if (h.kind != HIGHLIGHT_NONE)
        h.phase = true;
    highlight_show();
    h.suspended_kind = HIGHLIGHT_NONE;
    h.suspended_object = HighlightObject{};
}

void highlight_hide()
{
    HighlightState& h = state();
    if (h.hidden_kind != HIGHLIGHT_NONE || h.suspended || h.kind == HIGHLIGHT_NONE || graphics_view().scroll_dragging)
        return;
    save_and_erase(h.hidden_kind, h.hidden_object);
}

void highlight_unhide()
{
    HighlightState& h = state();
    if (h.hidden_kind == HIGHLIGHT_NONE || graphics_view().scroll_dragging)
        return;
    h.kind = h.hidden_kind;
    h.object = h.hidden_object;
    h.phase = true;
    highlight_show();
    if (h.kind == HIGHLIGHT_LCS && !lcs_triad().shown)
        lcs_triad_toggle();
    h.hidden_kind = HIGHLIGHT_NONE;
    h.hidden_object = HighlightObject{};
}

void highlight_blink()
{
    HighlightState& h = state();
    const GraphicsSettings& s = graphics_settings();
    const HighlightHooks& hooks = highlight_hooks();
    if (s.render_mode || s.frame_iconic || graphics_view().scroll_dragging || (hooks.animating && hooks.animating()))
        return;
    if (h.kind == HIGHLIGHT_NONE || h.suspended || highlight_on_hidden_row())
        return;
    h.phase = !h.phase;
    highlight_show();
}

int highlight_blink_period(int cursor_flash_time)
{
    return cursor_flash_time > 0 ? std::max(cursor_flash_time / 2, 1) : 0;
}

bool highlight_on_hidden_row()
{
    const HighlightState& h = state();
    switch (h.kind) {
    case HIGHLIGHT_ELEMENT:
    case HIGHLIGHT_DATA_ITEM:
    case HIGHLIGHT_BEND: return row_hidden(h.object.row);
    case HIGHLIGHT_ANALYSIS_ELEMENT: return element_hidden(h.object.element);
    case HIGHLIGHT_LCS:
        if (h.object.element != 0)
            return element_hidden(h.object.element);
        return h.object.row != 0 ? row_hidden(h.object.row) : node_hidden(h.object.node);
    case HIGHLIGHT_NODE:
    case HIGHLIGHT_STRESS_NODE:
    case HIGHLIGHT_RATIO_NODE: return node_hidden(h.object.node);
    default: return false;   // the rows of a name: each drawn while it is shown
    }
}

bool highlight_names_row(int row)
{
    const HighlightState& h = state();
    if (!valid_row(row))
        return false;
    switch (h.kind) {
    case HIGHLIGHT_ELEMENT:
    case HIGHLIGHT_DATA_ITEM:
    case HIGHLIGHT_BEND: return h.object.row == row;
    case HIGHLIGHT_ANALYSIS_ELEMENT: return h.object.row == row;
    default: return row_named(model().rows[row], h.kind, h.object.name);
    }
}

// ---- Drawing ---------------------------------------------------------------------------------

Color highlight_color(bool white_background)
{
    return white_background ? rgb(255, 0, 0) : rgb(0, 255, 0);
}

Color highlight_mark_box_color(bool white_background)
{
    // The solid green pen inverted white to magenta; the white pen, black to white.
    return white_background ? rgb(255, 0, 255) : rgb(255, 255, 255);
}

int highlight_marks(Surface& surface, NodeMark (&marks)[2])
{
    const HighlightState& h = state();
    const Model& m = model();
    int count = 0;
    switch (h.kind) {
    case HIGHLIGHT_NODE:
    case HIGHLIGHT_ELEMENT:
    case HIGHLIGHT_DATA_ITEM:
    case HIGHLIGHT_LCS:
    case HIGHLIGHT_STRESS_NODE:
    case HIGHLIGHT_RATIO_NODE:
    case HIGHLIGHT_BEND: count = 1; break;
    case HIGHLIGHT_ANALYSIS_ELEMENT: count = 2; break;
    default: return 0;
    }
    surface.set_font(graphics_settings().font);
    const TextMetrics tm = surface.text_metrics();
    const GraphicsViewState& g = graphics_view();
    const ViewState& v = view_state();
    int made = 0;
    for (int k = 0; k < count; ++k) {
        const int node = h.marked[k];
        if (!m.nodes.valid(node))
            continue;
        NodeMark& mark = marks[made++];
        mark.node = node;
        mark.text = mark_text(h.kind, node, mark.color);
        const NodeRecord& n = m.nodes[node];
        const int tx = static_cast<int>(std::lround((n.sx + v.text_margin_x - g.view_window.xmin) * v.scale));
        const int ty =
            g.client_height - static_cast<int>(std::lround((n.sy - v.text_margin_y - g.view_window.ymin) * v.scale));
        mark.text_at = {tx, ty};
        mark.rect.left = tx - 3;
        mark.rect.right = mark.rect.left + surface.text_width(mark.text) + 6;
        mark.rect.bottom = ty + 4;
        mark.rect.top = mark.rect.bottom - tm.ascent + tm.internal_leading - 8;
    }
    return made;
}

void highlight_draw_overlay(Surface& surface)
{
    const HighlightState& h = state();
    const GraphicsSettings& s = graphics_settings();
    if (h.kind == HIGHLIGHT_NONE || !h.shown || h.suspended || s.render_mode || s.frame_iconic ||
        highlight_on_hidden_row())
        return;
    const bool white = s.white_background;
    // Every slot of the scheme takes the highlight pen, or the dimmed grey one.
    ColorScheme scheme = make_color_scheme(white);
    const Color ink = h.phase ? highlight_color(white) : rgb(128, 128, 128);
    for (PenSlot& slot : scheme.slots) {
        slot.pen = Pen{ink, 1, PenStyle::Solid};
        slot.brush = Brush{ink, false};
        slot.text = ink;
    }
    GraphicsViewState& g = graphics_view();
    Model& m = model();
    const ClientClip clip(surface);
    {
        SurfaceDevice device(surface, client_mapping(), scheme);
        Draw2D painter(device, g.view_window);
        const ViewPainterScope scope(painter);
        g.clip_window = g.view_window;
        auto draw_row = [&m](int row) {
            if (!m.rows.valid(row))
                return;
            LayoutRow& r = m.rows[row];
            if (r.element && r.built) {
                draw_select_pen(PEN_ELEMENT);
                r.element->draw_2d(r);
            }
        };
        switch (h.kind) {
        case HIGHLIGHT_ELEMENT:
        case HIGHLIGHT_BEND: draw_row(h.object.row); break;
        case HIGHLIGHT_DATA_ITEM:
            if (m.rows.valid(h.object.row) && m.rows[h.object.row].data && m.rows[h.object.row].built) {
                draw_select_pen(PEN_SUPPORT);
                m.rows[h.object.row].data->draw_2d(h.object.row);
            }
            break;
        case HIGHLIGHT_MATERIAL_ROWS:
        case HIGHLIGHT_SECTION_ROWS:
        case HIGHLIGHT_LOAD_ROWS:
        case HIGHLIGHT_BEAM_MATERIAL_ROWS:
        case HIGHLIGHT_BEAM_SECTION_ROWS:
            for (int row = 1; row <= m.numrows(); ++row)
                if (m.rows[row].shown && row_named(m.rows[row], h.kind, h.object.name) && element_in_view(row))
                    draw_row(row);
            break;
        case HIGHLIGHT_ANALYSIS_ELEMENT:
            if (m.elems.valid(h.object.element)) {
                const Elem& e = m.elems[h.object.element];
                if (etype_is_bend(e.kind) || e.kind == ET_JACKETED_BEND) {
                    draw_row(e.row);
                } else {
                    draw_select_pen(PEN_ELEMENT);
                    draw_line(node_view_point(e.node1), node_view_point(e.node2));
                }
            }
            break;
        default: break;
        }
        draw_select_pen(PEN_ELEMENT);
    }
    if (!h.phase)
        return;
    NodeMark marks[2];
    const int count = highlight_marks(surface, marks);
    const TextMetrics tm = surface.text_metrics();
    for (int k = 0; k < count; ++k) {
        const NodeMark& mark = marks[k];
        surface.set_pen(Pen{highlight_mark_box_color(white), 1, PenStyle::Solid});
        surface.set_brush(Brush{Color{}, true});
        surface.rectangle(mark.rect);
        surface.set_text_color(mark.color);
        surface.set_background(scheme.background, false);
        surface.text(mark.text_at.x, mark.text_at.y - tm.ascent, mark.text);
    }
}
