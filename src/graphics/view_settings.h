// The settings of the graphics view: the render mode, background, rendering
// quality, axes corner and the other switches of the graphics window, the
// Show and Show Nodes flags (what the view draws besides the piping), the
// colour scheme for the white and the black background, and the backup of
// the drawing state kept around a graphics print.
#pragma once

#include "model/view_drawing.h"
#include "platform/surface.h"

#include <array>
#include <string>

struct GraphicsSettings {
    bool render_mode = false;          // the view draws with OpenGL
    bool render_available = true;      // OpenGL can be used (else Render is not offered)
    bool white_background = false;     // else black
    int rendering_quality = 0;         // 0 automatic, 1 always 24 sides, 2 always 48
    int axes_corner = 1;               // 0 none, 1 top right, 2 top left, 3 bottom left, 4 bottom right
    bool view_frozen = false;          // highlighting does not move the view
    bool turn_mode = false;            // the scroll bars turn the view
    bool centre_mode = false;          // the next click centres the view
    bool frame_iconic = false;         // the frame is minimised
    bool properties_legend_shown = false;
    // The graphics font (DejaVu Sans, which the program's packages bring).
    FontSpec font{"DejaVu Sans", 8, 400, false, false, false, 0};
};

GraphicsSettings& graphics_settings();

// The symbol size factor: 1 at start, 0.1 to 2.0 (the symbols' shapes are
// drawn that much larger or smaller).
float symbol_scale();
// Sets it, kept within 0.1..2.0 (a value above 2.0 becomes 2.0, one below
// 0.1 becomes 0.1, a value that is not a number changes nothing).
void set_symbol_scale(float scale);

// ---- Show flags -------------------------------------------------------------------------

// What the Show dialog switches (1 = drawn). "Dots at nodes" and "Node
// numbers" are kept for the line view and the render mode apart; the flags
// the symbols read themselves (curved bends, jacket connections, flanges)
// live in view_state().
struct ShowFlags {
    bool anchors = true;
    bool conc_masses = true;
    bool generic_supports = true;
    bool dots = true;                  // "Dots at nodes", line view
    bool dots_render = false;          // "Dots at nodes", render mode
    bool forces = true;
    bool guides = true;
    bool hangers = true;
    bool lengths = false;
    bool limit_stops = true;
    bool local_axes = false;           // "Local coord system"
    bool node_numbers = true;          // "Node numbers", line view
    bool node_numbers_render = false;  // "Node numbers", render mode
    bool nozzles = true;
    bool restraints = true;
    bool row_numbers = false;
    bool skewed_restraints = true;
    bool snubbers = true;
    bool specified_displacements = true;
};

ShowFlags& show_flags();

// The node kinds of the Show Nodes dialog, in its order.
inline constexpr int NODE_KIND_COUNT = 33;
const std::array<const char*, NODE_KIND_COUNT>& node_kind_names();
struct ShowNodesFlags {
    bool all_kinds = true;                      // numbers at every kind of node
    std::array<bool, NODE_KIND_COUNT> kinds{};  // else at the nodes of the checked kinds
};
ShowNodesFlags& show_nodes_flags();
// All kinds, none checked.
void show_set_defaults();

// Whether the data item of a kind is drawn by the Show flags (kinds that no
// flag names always are).
bool data_kind_shown(int dtype);
// Whether the node's number is drawn: numbers on for the mode, a number of
// at most 100000, and every kind shown or the node's row of a checked kind.
bool node_label_applies(int node);
// F3: when the line view's dots or numbers are on, both go off; when both
// are off, both go on.
void toggle_dots_and_numbers();

// ---- Colour scheme ----------------------------------------------------------------------

// A pen slot of the scheme: the pen, the brush (dots and arrow heads) and
// the text colour.
struct PenSlot {
    Pen pen;
    Brush brush;
    Color text;
};

struct ColorScheme {
    Color background;
    std::array<PenSlot, VIEW_PEN_COUNT> slots;
    const PenSlot& operator[](ViewPen pen) const { return slots[static_cast<std::size_t>(pen)]; }
};

// On white nearly every slot is black (the dotted grey slot is the same in
// both); on black they take light grey, teal, yellow, red, magenta, green
// and white, and the node numbers RGB(0, 192, 128).
ColorScheme make_color_scheme(bool white_background);
// The scheme of the current background (apply_color_scheme keeps it).
const ColorScheme& color_scheme();
void apply_color_scheme();

// ---- Backup of the drawing state ---------------------------------------------------------

// What a graphics print changes of the view, kept before and put back after.
struct GraphicsViewBackup {
    double gscale = 1.0;
    double pixel_size = 1.0;
    int client_width = 0;
    int client_height = 0;
    // The sizes that the scale alone does not make: the arrows, the dot and
    // the font metrics the text margins come from.
    double arrow_head_length = 0.0, arrow_head_width = 0.0, triad_arrow_length = 0.0;
    int dot_size = 3;
    int font_average_width = 0, font_ascent = 0, font_internal_leading = 0;
    int number_width_px = 0, number_height_px = 0;
    float view_xmin = 0.0f, view_xmax = 0.0f, view_ymin = 0.0f, view_ymax = 0.0f;
    bool white_background = false;
    int rendering_quality = 0;
};

GraphicsViewBackup graphics_view_save();
// Sets the saved scale (with every size made from it), the client size and
// view window, the background and quality; the colour scheme and the model
// extent follow.
void graphics_view_restore(const GraphicsViewBackup& backup);
// Puts back only the four view window bounds.
void graphics_window_bounds_restore(const GraphicsViewBackup& backup);
