// Highlighting: what the user works on elsewhere (the current row of an input
// table, a support in its dialog, a node or element of a result table) shown
// blinking in the line view.
//
// The state is set here on the main thread; the window draws it as an
// overlay over its kept picture on every paint (highlight_draw_overlay),
// alternating between the highlight pens (red on white, green on black) and
// the dimmed grey ones with the blink phase. Nothing is drawn in render mode.
// Showing and erasing ask the window for an overlay repaint through
// HighlightHooks.
#pragma once

#include "model/box2d.h"
#include "platform/surface.h"

#include <functional>
#include <string>

enum HighlightKind : int {
    HIGHLIGHT_NONE = 0,
    HIGHLIGHT_NODE = 1,
    HIGHLIGHT_ELEMENT = 2,            // the element of a layout row
    HIGHLIGHT_DATA_ITEM = 3,          // the data item of a layout row
    HIGHLIGHT_LCS = 4,                // a local coordinate system triad
    HIGHLIGHT_MATERIAL_ROWS = 5,      // every row of a material name
    HIGHLIGHT_SECTION_ROWS = 6,
    HIGHLIGHT_LOAD_ROWS = 7,          // pipe-load or beam-load name
    HIGHLIGHT_ANALYSIS_ELEMENT = 8,   // an element of the analysis model and its two nodes
    HIGHLIGHT_STRESS_NODE = 9,        // a node with a stress value
    HIGHLIGHT_RATIO_NODE = 10,        // a node with a ratio
    HIGHLIGHT_BEND = 11,              // the bend-type element of a row
    HIGHLIGHT_BEAM_MATERIAL_ROWS = 12,
    HIGHLIGHT_BEAM_SECTION_ROWS = 13,
};

// What a highlight points at, by its kind: a layout row, a node index, an
// element index of the analysis model, or a name.
struct HighlightObject {
    int row = 0;
    int node = 0;
    int element = 0;
    std::string name;
    bool operator==(const HighlightObject&) const = default;
};

// The box drawn around a node's label: client pixels, the label's base line
// point and text, and its colour.
struct NodeMark {
    int node = 0;
    Rect rect;
    Point text_at;
    std::string text;
    Color color;
};

struct HighlightState {
    int kind = HIGHLIGHT_NONE;
    HighlightObject object;
    Box2D box;                   // the extent of the highlighted thing (view units)
    float value = 0.0f;          // the stress of kind 9
    float ratio = 0.0f;          // the ratio of kinds 9 and 10
    Color label_color;           // the label colour of kinds 9 and 10
    int marked[2] = {0, 0};      // the nodes of mark 0 and mark 1
    bool suspended = false;
    int suspended_kind = HIGHLIGHT_NONE;
    HighlightObject suspended_object;
    int hidden_kind = HIGHLIGHT_NONE;   // 0: nothing hidden
    HighlightObject hidden_object;
    bool phase = false;          // the blink phase: highlight pens when set
    bool shown = false;          // drawn over the picture
};
HighlightState& highlight_state();

// What the highlight asks of the window and of the animation.
struct HighlightHooks {
    std::function<void()> repaint;           // the overlays drawn again
    std::function<bool()> animating;
    std::function<void()> stop_animation;
    std::function<bool()> printing;          // a graphics print is being drawn
};
HighlightHooks& highlight_hooks();

// ---- Setters: each, unless said, does nothing in render mode; else it
// erases the highlight, sets the kind and object, the box and the marks, and
// finishes (highlight_finish). -----------------------------------------------------------

void highlight_node(int node);
// Nothing for a row without an element, a comment or hydrotest-load row, or
// a row whose node is not built. With "Local coord system" on, an elastic
// element or beam shows its local axes (kind 4).
void highlight_element(int row);
void highlight_bend(int row);
// Nothing unless the row has a built node and a data item. With "Local
// coord system" on, a guide, limit stop or nozzle shows its axes (kind 4).
void highlight_data_item(int row);
// An element of the analysis model (1..model().elements).
void highlight_element_result(int element);
// A node with a stress value and its ratio (red label above 1.0).
void highlight_ratio_point(int node, float value, float ratio);
void highlight_ratio_node(int node, float ratio);
// The rows that name a material, section or load: recorded in render mode too.
void highlight_material_rows(const std::string& name);
void highlight_section_rows(const std::string& name);
void highlight_load_rows(const std::string& name);
void highlight_beam_material_rows(const std::string& name);
void highlight_beam_section_rows(const std::string& name);
void highlight_beam_load_rows(const std::string& name);
// A layout row as a result table points at it: its data item when it has
// one, else its element.
void highlight_layout_row(int row);

// Stops an animation, sets the blink phase, and brings the box into sight
// (a repaint) unless the view is frozen, else shows the highlight; the
// local-axes triad with kind 4.
void highlight_finish();

// Draw and erase (the overlay shown or taken away). Nothing while suspended,
// without a kind or during a graphics print. Erasing clears the kind.
void highlight_show();
void highlight_erase();
// One level each; a second suspend or hide while one is active does nothing.
void highlight_suspend();
void highlight_resume();
void highlight_hide();
void highlight_unhide();
// The blink: the phase toggled and the highlight shown again, unless render
// mode, a thumb drag or an animation is active, the frame is minimised or
// the highlight is on a hidden row.
void highlight_blink();
// The blink period of the highlight: half of the toolkit's cursor flash time
// (the time of a whole on-off cycle); 0 for no blinking.
int highlight_blink_period(int cursor_flash_time);

// True when the row's element or data item, or the rows of the name, are
// what the current highlight draws (used by tests and the table hooks).
bool highlight_names_row(int row);
// True when what the highlight points at belongs to a hidden row (a row's
// element or item, an element of the analysis model by its row, a node by
// the row that makes it): it stays the highlight, so that showing the row
// again shows it, but it is neither drawn, blinked nor brought into sight.
bool highlight_on_hidden_row();

// The marks of the current highlight measured on a surface with the
// graphics font: node, rectangle and text (mark 1 only for kind 8).
int highlight_marks(Surface& surface, NodeMark (&marks)[2]);
// Draws the current highlight over the picture on the surface (a client of
// the line view's size): nothing in render mode, while minimised, without
// a kind or on a hidden row; with the phase set the highlight pens and the
// node marks, else the dimmed pens.
void highlight_draw_overlay(Surface& surface);
// The colour of the marks' boxes: what the inverting pen of the marks
// showed over the background (magenta on white, white on black).
Color highlight_mark_box_color(bool white_background);
// The highlight pen colour: red on white, green on black.
Color highlight_color(bool white_background);
