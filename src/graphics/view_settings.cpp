#include "graphics/view_settings.h"

#include "framework/state.h"
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/shapes.h"
#include "model/model.h"
#include "model/symbol_shapes.h"
#include "supports/anchor.h"
#include "supports/nozzle.h"

#include <algorithm>
#include <cmath>

namespace {

struct SchemePart {
    ColorScheme scheme = make_color_scheme(false);
};

}  // namespace

GraphicsSettings& graphics_settings()
{
    return session_part<GraphicsSettings>();
}

float symbol_scale()
{
    return symbol_drawing().symbol_scale;
}

void set_symbol_scale(float scale)
{
    if (!std::isfinite(scale))
        return;
    symbol_drawing().symbol_scale = std::clamp(scale, 0.1f, 2.0f);
}

// ---- Show flags ---------------------------------------------------------------------------

ShowFlags& show_flags()
{
    return session_part<ShowFlags>();
}

const std::array<const char*, NODE_KIND_COUNT>& node_kind_names()
{
    static const std::array<const char*, NODE_KIND_COUNT> names = {
        "Anchors",       "Anchor releases", "Ball joints",       "Beams",           "Bellows",
        "Bends",         "Branch points",   "Branch SIFs",       "Conc masses",     "Cut pipes",
        "Elastic elements", "Flanges",      "Forces",            "Guides",          "Hangers",
        "Hinge joints",  "Jacket connections", "Limit stops",    "Miter bends",     "Nozzles",
        "Reducers",      "Restraints",      "Rigid elements",    "Skewed restraints", "Slip joints",
        "Snubbers",      "Specified displ", "Threaded joints",   "Tie rods",        "User SIFs",
        "Valves",        "Welds",           "Generic supports"};
    return names;
}

ShowNodesFlags& show_nodes_flags()
{
    return session_part<ShowNodesFlags>();
}

void show_set_defaults()
{
    ShowNodesFlags& f = show_nodes_flags();
    f.all_kinds = true;
    f.kinds.fill(false);
}

bool data_kind_shown(int dtype)
{
    const ShowFlags& s = show_flags();
    switch (dtype) {
    case DT_ANCHOR: return s.anchors;
    case DT_RESTRAINT: return s.restraints;
    case DT_SKEWED_RESTRAINT: return s.skewed_restraints;
    case DT_HANGER: return s.hangers;
    case DT_GUIDE: return s.guides;
    case DT_LIMIT_STOP: return s.limit_stops;
    case DT_NOZZLE: return s.nozzles;
    case DT_SNUBBER: return s.snubbers;
    case DT_SPIDER:
    case DT_JACKET_END_CAP: return view_state().jacket_connections;
    case DT_FLANGE: return view_state().flanges;
    case DT_FORCE: return s.forces;
    case DT_CONC_MASS: return s.conc_masses;
    case DT_GENERIC_SUPPORT: return s.generic_supports;
    default: return true;
    }
}

namespace {

// The Show Nodes kind (index into node_kind_names) of a row's element type
// and of its data type; -1 when none.
int element_node_kind(int etype)
{
    switch (etype) {
    case ET_BALL_JOINT: return 2;
    case ET_BEAM: return 3;
    case ET_BELLOWS: return 4;
    case ET_BEND:
    case ET_JACKETED_BEND: return 5;
    case ET_CUT_PIPE: return 9;
    case ET_ELASTIC: return 10;
    case ET_HINGE_JOINT: return 15;
    case ET_MITER: return 18;
    case ET_REDUCER: return 20;
    case ET_RIGID: return 22;
    case ET_SLIP_JOINT: return 24;
    case ET_TIE_ROD: return 28;
    case ET_VALVE: return 30;
    default: return -1;
    }
}

int data_node_kind(int dtype)
{
    switch (dtype) {
    case DT_ANCHOR: return 0;
    case DT_BRANCH_SIF: return 7;
    case DT_CONC_MASS: return 8;
    case DT_FLANGE: return 11;
    case DT_FORCE: return 12;
    case DT_GUIDE: return 13;
    case DT_HANGER: return 14;
    case DT_SPIDER:
    case DT_JACKET_END_CAP: return 16;
    case DT_LIMIT_STOP: return 17;
    case DT_NOZZLE: return 19;
    case DT_RESTRAINT: return 21;
    case DT_SKEWED_RESTRAINT: return 23;
    case DT_SNUBBER: return 25;
    case DT_THREADED_JOINT: return 27;
    case DT_USER_SIF: return 29;
    case DT_WELD: return 31;
    case DT_GENERIC_SUPPORT: return 32;
    default: return -1;
    }
}

}  // namespace

bool node_label_applies(int node)
{
    const Model& m = model();
    if (!m.nodes.valid(node))
        return false;
    const ShowFlags& s = show_flags();
    if (!(graphics_settings().render_mode ? s.node_numbers_render : s.node_numbers))
        return false;
    const NodeRecord& n = m.nodes[node];
    if (n.number > 100000)
        return false;
    const ShowNodesFlags& f = show_nodes_flags();
    if (f.all_kinds)
        return true;
    if (n.branch_mark == 2 && f.kinds[6])
        return true;
    if (!m.rows.valid(n.row))
        return false;
    const LayoutRow& r = m.rows[n.row];
    const int ek = element_node_kind(r.etype);
    const int dk = data_node_kind(r.dtype);
    // Anchors with releases, and the nodes of given displacements.
    const auto* anchor = dynamic_cast<const Anchor*>(r.data.get());
    if (f.kinds[1] && anchor && std::any_of(anchor->v.released.begin(), anchor->v.released.end(),
                                            [](uint8_t x) { return x != 0; }))
        return true;
    if (f.kinds[26]) {
        const auto* nozzle = dynamic_cast<const Nozzle*>(r.data.get());
        if ((anchor && anchor->v.displacements.any()) || (nozzle && nozzle->v.displacements.any()))
            return true;
    }
    return (ek >= 0 && f.kinds[static_cast<std::size_t>(ek)]) || (dk >= 0 && f.kinds[static_cast<std::size_t>(dk)]);
}

void toggle_dots_and_numbers()
{
    ShowFlags& s = show_flags();
    const bool on = s.node_numbers || s.dots;
    s.node_numbers = s.dots = !on;
    if (!s.node_numbers)
        s.node_numbers_render = false;
}

// ---- Colour scheme ----------------------------------------------------------------------------

ColorScheme make_color_scheme(bool white)
{
    ColorScheme c;
    const Color black = rgb(0, 0, 0);
    const Color ink = white ? black : rgb(255, 255, 255);
    c.background = white ? rgb(255, 255, 255) : black;
    auto set = [&](ViewPen pen, Color color, int width = 1, PenStyle style = PenStyle::Solid) {
        PenSlot& s = c.slots[static_cast<std::size_t>(pen)];
        s.pen = Pen{color, width, style};
        s.brush = Brush{color, false};
        s.text = color;
    };
    for (int i = 0; i < VIEW_PEN_COUNT; ++i)
        set(static_cast<ViewPen>(i), ink);
    // The one slot alike in both schemes.
    set(PEN_DASHED, rgb(128, 128, 128), 1, PenStyle::Dot);
    // Elastic elements are blue, and what must stand out is red, on either.
    set(PEN_ELASTIC, white ? rgb(0, 0, 255) : rgb(64, 128, 255));
    set(PEN_BEAM_OUTLINE, rgb(255, 0, 0));
    set(PEN_HIGHLIGHT, rgb(255, 0, 0));
    // The static deflected and mode shapes: dotted black on white, solid green on black.
    set(PEN_SHAPE, white ? black : rgb(0, 255, 0), 1, white ? PenStyle::Dot : PenStyle::Solid);
    if (white)
        return c;
    set(PEN_ELEMENT, rgb(192, 192, 192));
    set(PEN_FIRST, rgb(0, 128, 128));
    set(PEN_JACKET, rgb(255, 255, 0));
    set(PEN_TIE_ROD, rgb(255, 0, 255));
    set(PEN_SUPPORT, rgb(0, 255, 0));
    set(PEN_NODE_DOT, rgb(255, 255, 0));
    set(PEN_NODE_LABEL, rgb(0, 192, 128));
    set(PEN_ROW_NUMBER, rgb(255, 0, 255));
    set(PEN_LCS_AXES, rgb(255, 0, 0));
    set(PEN_LCS_LETTERS, rgb(255, 255, 0));
    return c;
}

const ColorScheme& color_scheme()
{
    return session_part<SchemePart>().scheme;
}

void apply_color_scheme()
{
    ColorScheme& c = session_part<SchemePart>().scheme;
    c = make_color_scheme(graphics_settings().white_background);
    // Under a deflected or mode shape, and while one is animated, the model
    // is drawn dimmed.
    const ShapeState& shapes = shape_state();
    if (shapes.deflected_shape_shown || shapes.mode_shape_shown || shapes.animating)
        for (ViewPen pen : {PEN_ELEMENT, PEN_FIRST, PEN_SUPPORT}) {
            PenSlot& slot = c.slots[static_cast<std::size_t>(pen)];
            slot.pen = Pen{rgb(128, 128, 128), 1, PenStyle::Solid};
            slot.brush = Brush{rgb(128, 128, 128), false};
            slot.text = rgb(128, 128, 128);
        }
}

// ---- Backup -------------------------------------------------------------------------------

GraphicsViewBackup graphics_view_save()
{
    const GraphicsViewState& g = graphics_view();
    GraphicsViewBackup b;
    const ViewState& v = view_state();
    b.gscale = v.scale;
    b.pixel_size = v.pixel_size;
    b.arrow_head_length = v.arrow_head_length;
    b.arrow_head_width = v.arrow_head_width;
    b.triad_arrow_length = v.triad_arrow_length;
    b.dot_size = v.dot_size;
    b.font_average_width = v.font_average_width;
    b.font_ascent = v.font_ascent;
    b.font_internal_leading = v.font_internal_leading;
    b.number_width_px = v.number_width_px;
    b.number_height_px = v.number_height_px;
    b.client_width = g.client_width;
    b.client_height = g.client_height;
    b.view_xmin = g.view_window.xmin;
    b.view_xmax = g.view_window.xmax;
    b.view_ymin = g.view_window.ymin;
    b.view_ymax = g.view_window.ymax;
    b.white_background = graphics_settings().white_background;
    b.rendering_quality = graphics_settings().rendering_quality;
    return b;
}

void graphics_view_restore(const GraphicsViewBackup& b)
{
    ViewState& v = view_state();
    v.arrow_head_length = b.arrow_head_length;
    v.arrow_head_width = b.arrow_head_width;
    v.triad_arrow_length = b.triad_arrow_length;
    v.dot_size = b.dot_size;
    v.font_average_width = b.font_average_width;
    v.font_ascent = b.font_ascent;
    v.font_internal_leading = b.font_internal_leading;
    v.number_width_px = b.number_width_px;
    v.number_height_px = b.number_height_px;
    v.pixel_size = b.pixel_size;
    set_drawing_scale(b.gscale);
    GraphicsViewState& g = graphics_view();
    g.client_width = b.client_width;
    g.client_height = b.client_height;
    graphics_window_bounds_restore(b);
    graphics_settings().white_background = b.white_background;
    graphics_settings().rendering_quality = b.rendering_quality;
    apply_color_scheme();
    update_screen_positions();
    compute_model_extent();
}

void graphics_window_bounds_restore(const GraphicsViewBackup& b)
{
    ViewWindow& w = graphics_view().view_window;
    w.xmin = b.view_xmin;
    w.xmax = b.view_xmax;
    w.ymin = b.view_ymin;
    w.ymax = b.view_ymax;
}
