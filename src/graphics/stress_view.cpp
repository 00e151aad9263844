#include "graphics/stress_view.h"

#include "codes/code_driver.h"
#include "codes/stress_display.h"
#include "codes/stress_tables.h"
#include "framework/text.h"
#include "framework/units.h"
#include "graphics/color_scale.h"
#include "graphics/draw2d.h"
#include "graphics/shapes.h"
#include "model/elements.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "model/view_drawing.h"
#include "results/results_load_cases.h"
#include "results/results_state.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

const CodeStressResults* evaluation()
{
    const auto& e = results().code.stresses;
    return e ? &e->results : nullptr;
}

// The values of the colouring from the sorted stresses of the ratio kind.
void fill_values(bool ratios)
{
    clear_colouring_values();
    const CodeStressResults* r = evaluation();
    if (!r) {
        set_colouring_range(0.0, 0.0);
        return;
    }
    const StressDisplayFlags& f = stress_display_flags();
    const std::vector<StressRow> rows = sorted_stresses(*r, model(), f.ratio_kind, f.sorted_order);
    for (const StressRow& row : rows) {
        // An element an edit has changed since the analysis is no longer the
        // element these stresses are of: it is drawn without colour.
        if ((ratios && !row.checked) || results_element_changed(row.element))
            continue;
        set_colouring_value(row.element, row.end, static_cast<float>(ratios ? row.percent() / 100.0 : row.stress));
    }
    const StressRange range = sorted_stress_range(rows);
    set_colouring_range(range.smallest, range.largest);
}

void set_shown(bool stresses, bool ratios)
{
    StressDisplayFlags& f = stress_display_flags();
    f.stresses_shown = stresses;
    f.ratios_shown = ratios;
    ViewState& v = view_state();
    v.stress_colors = stresses;
    v.stress_ratio_colors = ratios;
    StressColouring& c = stress_colouring();
    c.stresses = stresses;
    c.ratios = ratios;
}

void set_colour(const RampColor& c)
{
    if (auto* painter = dynamic_cast<Draw2D*>(view_painter()))
        painter->select_color(ramp_to_rgb(c));
}

// The points of an element as drawn: its arc for a bend, else its line.
std::vector<Point2> element_points(int element)
{
    ShapeState& s = shape_state();
    const float factor = s.shape_factor;
    const int segments = s.shape_segments;
    s.shape_factor = 0.0f;
    s.shape_segments = 8;
    std::vector<Point2> points = displaced_element_points(element);
    s.shape_factor = factor;
    s.shape_segments = segments;
    const Model& m = model();
    if (m.elems.valid(element) && m.elems[element].kind != ET_BEND && points.size() > 2)
        points = {points.front(), points.back()};
    return points;
}

}  // namespace

void show_stresses()
{
    set_shown(true, false);
    fill_values(false);
}

void hide_stresses()
{
    if (stress_colouring().stresses)
        set_shown(false, false);
}

void show_stress_ratios()
{
    set_shown(false, true);
    fill_values(true);
}

void hide_stress_ratios()
{
    if (stress_colouring().ratios)
        set_shown(false, false);
}

void refresh_stress_colouring()
{
    const StressColouring& c = stress_colouring();
    if (c.stresses || c.ratios)
        fill_values(c.ratios && !c.stresses);
}

void draw_node_value_abs(int node, float stress)
{
    if (!model().nodes.valid(node) || !stress_marked(stress))
        return;
    const NodeRecord& n = model().nodes[node];
    const ViewState& v = view_state();
    draw_text(static_cast<float>(n.sx + v.text_margin_x), static_cast<float>(n.sy - v.text_margin_y),
              format_stress(std::fabs(stress)));
}

void draw_node_value(int node, float ratio)
{
    const double percent = 100.0 * ratio;
    if (!model().nodes.valid(node) || !ratio_marked(percent))
        return;
    const NodeRecord& n = model().nodes[node];
    const ViewState& v = view_state();
    draw_text(static_cast<float>(n.sx + v.text_margin_x), static_cast<float>(n.sy - v.text_margin_y),
              format_percent(percent));
}

bool draw_stress_colouring()
{
    const StressColouring& c = stress_colouring();
    if (!c.stresses && !c.ratios)
        return false;
    const Model& m = model();
    // The largest value at each node, for its label.
    std::vector<float> at_node(static_cast<std::size_t>(m.numnodes()) + 1, 0.0f);
    std::vector<char> has(at_node.size(), 0);
    for (int e = 1; e <= m.numelems(); ++e) {
        const Elem& el = m.elems[e];
        if (!element_is_pipe_like(el) || (el.jacket && !c.jackets))
            continue;
        const std::vector<Point2> points = element_points(e);
        if (points.size() < 2 || !c.values.valid(e) || !c.has_values[e]) {
            draw_select_pen(PEN_ELEMENT);
            for (std::size_t k = 1; k < points.size(); ++k)
                draw_line(points[k - 1], points[k]);
            continue;
        }
        const float v1 = c.values[e][0], v2 = c.values[e][1];
        // Each piece in the colour of its middle, in four pieces at least per
        // quarter of the ramp that the element spans.
        const int pieces_per_segment = std::max(1, 16 / static_cast<int>(points.size() - 1));
        const auto segments = static_cast<int>(points.size() - 1);
        for (int k = 0; k < segments; ++k)
            for (int p = 0; p < pieces_per_segment; ++p) {
                const double t0 = (k + double(p) / pieces_per_segment) / segments;
                const double t1 = (k + double(p + 1) / pieces_per_segment) / segments;
                const double middle = (t0 + t1) / 2.0;
                set_colour(color_for_ratio(static_cast<float>(v1 + middle * (v2 - v1))));
                const Point2 a = points[static_cast<std::size_t>(k)], b = points[static_cast<std::size_t>(k + 1)];
                const double u0 = double(p) / pieces_per_segment, u1 = double(p + 1) / pieces_per_segment;
                draw_line(Point2{static_cast<float>(a.x + u0 * (b.x - a.x)), static_cast<float>(a.y + u0 * (b.y - a.y))},
                          Point2{static_cast<float>(a.x + u1 * (b.x - a.x)), static_cast<float>(a.y + u1 * (b.y - a.y))});
            }
        const int nodes[2] = {el.node1, el.node2};
        for (int end = 0; end < 2; ++end) {
            const auto n = static_cast<std::size_t>(nodes[end]);
            if (n >= at_node.size())
                continue;
            const float value = c.values[e][static_cast<std::size_t>(end)];
            if (!has[n] || std::fabs(value) > std::fabs(at_node[n])) {
                at_node[n] = value;
                has[n] = 1;
            }
        }
    }
    const bool white_ratio_red = c.ratios && !c.stresses;
    for (int node = 1; node <= m.numnodes(); ++node) {
        const auto n = static_cast<std::size_t>(node);
        if (!has[n] || !m.rows.valid(m.nodes[node].row) || !m.rows[m.nodes[node].row].shown)
            continue;
        if (white_ratio_red) {
            if (at_node[n] > 1.0f) {
                if (auto* painter = dynamic_cast<Draw2D*>(view_painter()))
                    painter->select_color(rgb(255, 0, 0));
            } else {
                draw_select_pen(PEN_NODE_LABEL);
            }
            draw_node_value(node, at_node[n]);
        } else {
            draw_select_pen(PEN_NODE_LABEL);
            draw_node_value_abs(node, at_node[n]);
        }
    }
    draw_select_pen(PEN_ELEMENT);
    return true;
}

std::string results_plot_title()
{
    if (!results_open())
        return {};
    const ShapeState& s = shape_state();
    const ResultsState& r = results();
    if (s.deflected_shape_shown) {
        const std::string name = "Deflected shape: " + results_loadcase_name();
        return c_format("%s, Magnification factor = %.1f", name.c_str(), double(magnification()));
    }
    if (s.mode_shape_shown && r.modal.frequencies.valid(r.current_mode))
        return c_format("Mode %d: %.2f Hz", r.current_mode, double(r.modal.frequencies[r.current_mode]));
    const StressDisplayFlags& f = stress_display_flags();
    if (f.stresses_shown)
        return stress_view_caption(piping_code(), f.ratio_kind);
    if (f.ratios_shown)
        return stress_ratio_view_caption(piping_code(), f.ratio_kind);
    return {};
}
