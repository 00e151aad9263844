// The view window of the graphics view and what follows from it: the
// rectangle of the projected model that the client shows (view units), the
// drawing scale, the client's size, the model's extent, the scroll bars
// (panning, or turning the view in turn mode), zooming, the viewpoint and
// the one-level previous view.
//
// The arithmetic lives here, tested without a window; what the window must
// do afterwards (repaint, move the mouse, stop a paint, hide the highlight)
// goes through GraphicsHooks, which the graphics window fills.
#pragma once

#include "framework/geometry.h"
#include "model/box2d.h"
#include "platform/backend.h"

#include <atomic>
#include <functional>
#include <string>

// A rectangle of the view plane (view units).
struct ViewWindow {
    float xmin = -12.0f;
    float ymin = -12.0f;
    float xmax = 12.0f;
    float ymax = 12.0f;
    float width() const { return xmax - xmin; }
    float height() const { return ymax - ymin; }
    bool operator==(const ViewWindow&) const = default;
};

// One scroll bar: 16000 scroll units span the scroll area; in turn mode the
// bar runs 0..180 with a page of 60 and its thumb starts at 60.
inline constexpr int SCROLL_RANGE = 16000;
struct ScrollBarModel {
    float units = 0.0f;   // scroll units per view unit
    int page = 0;
    int position = 0;
    int maximum = 0;      // SCROLL_RANGE - page
    int line = 50;
    int last_thumb = 60;  // turn mode: the thumb position seen last
};

struct PreviousView {
    Vec3 viewpoint;
    ViewWindow window;
    double gscale = 0.0;  // 0: none is kept
    Box2D extent;
};

struct GraphicsViewState {
    ViewWindow view_window;
    ViewWindow clip_window;      // the part being drawn now
    int client_width = 0;        // logical pixels
    int client_height = 0;
    double pixel_ratio = 1.0;    // device pixels per logical pixel
    Box2D model_extent;
    ViewWindow scroll_area{0.0f, 0.0f, 0.0f, 0.0f};
    ScrollBarModel horizontal;
    ScrollBarModel vertical;
    PreviousView previous;
    bool scroll_dragging = false;   // a thumb is being dragged
    bool render_off_by_drag = false;
    // The whole model is to be fitted into the client at the next paint (a
    // model came while the window had no size of its own); a fitting made
    // before then takes its place.
    bool fit_pending = false;
    // The plot file being written (at most one, while its writer runs).
    bool plt_output = false;
    bool dxf_output = false;
    bool eps_output = false;
};

GraphicsViewState& graphics_view();

// What the view's arithmetic asks of the window (empty entries do nothing).
struct GraphicsHooks {
    std::function<void()> redraw;             // a full repaint, coalesced (graphics_redraw)
    std::function<void()> redraw_overlays;    // the overlays over the kept picture
    std::function<void()> scroll_bars;        // the scroll bars take graphics_view()'s values
    std::function<void()> stop_animation;
    std::function<void()> pause_animation;
    std::function<void()> resume_animation;
    std::function<void()> highlight_suspend;
    std::function<void()> highlight_resume;
    std::function<void()> highlight_hide;
    std::function<void()> highlight_unhide;
    std::function<void(int x, int y)> move_cursor;   // client pixels
    std::function<void()> zoom_buttons;       // command 136: the zoom buttons' states
    std::function<void(bool on)> set_render;  // render_on / render_off
    // The results' layers of the line view (the results presentation fills
    // them): the stress colouring, drawn instead of the node numbers when it
    // answers true, and the static deflected or mode shape, drawn last.
    std::function<bool()> results_layer;
    std::function<void()> shapes_layer;
    // The colour-coded elements of the render view, drawn after the scene.
    std::function<void()> render_results;
    // The marks drawn over the picture (highlight), with the line view's
    // painter in place, in the line view and over the render view alike.
    std::function<void()> overlays;
    // The layout's current row changed (the highlight follows it).
    std::function<void(int row)> row_changed;
    // The results window shows a table of items with local axes (support
    // loads of guides or nozzles, forces, FRP stresses).
    std::function<bool()> results_local_axes;
    // The caption of a printed or plotted picture: the deflected or mode
    // shape, or the stress view shown (the results presentation's).
    std::function<std::string()> plot_title;
};
// Switches the render mode through the window (its menu and button follow),
// or, without one, the settings alone.
void switch_render_mode(bool on);
GraphicsHooks& graphics_hooks();

// Every model or view change ends with this: the running paint is stopped
// and a full repaint requested (one, however often it is asked for before it
// runs). Any thread may call it.
void graphics_redraw();
// The caption of the graphics on paper and in a metafile, a control
// character of the model's title as its code; empty while nothing of the
// results is shown.
std::string graphics_plot_title();
// Sets the abort flag that the paint tests before each layer and item, and
// stops the animation; it never waits.
void graphics_stop_painting();
std::atomic<bool>& paint_abort();

// ---- View window and scale ----------------------------------------------------------------

// A new model: view window -12..12, extent -6..6, the modes cleared, scale
// client width / 24, viewpoint (1, 1, 1).
void graphics_view_reset();
// The client's size in logical pixels and its pixel ratio. A zero or
// negative size (a minimised window) is ignored: false.
bool set_client_size(int width, int height, double pixel_ratio = 1.0);
// The view window's right and top edges from the scale and the scroll bars.
void update_view_window();
// After a size change: the scale keeps the shown window filling the client.
void fit_view_to_client();
// The whole model in the client (twice, as symbol sizes change with the scale).
void zoom_all();
// Zoom All: the previous view kept, zoom_all twice, a repaint.
void zoom_all_command();
// One step in or out by 1.05 (1.02 with `small`), keeping the previous view
// unless small; nothing when it cannot zoom further.
void zoom_in_step(bool small = false);
void zoom_out_step(bool small = false);
// Continuous zooming (a tool button held): one step of factor f (1.02, 1.05
// in render mode) without keeping the previous view; false when the view
// cannot zoom further that way.
bool zoom_continuous_step(bool in);
bool can_zoom_in();
bool can_zoom_out();
// The rubber band released: the rectangle of client pixels (clamped to the
// client), at least 5 by 5 pixels, fills the client.
void zoom_to_rectangle(int left, int top, int right, int bottom);
// Centres the view on a client point (nothing for a point outside the client).
void centre_on_cursor(int x, int y);

// The scroll bars (turn mode: turning the view). Line and page steps, thumb
// drags (the picture follows the thumb) and the thumb let go.
void horizontal_scroll(ScrollCode code, int position);
void vertical_scroll(ScrollCode code, int position);

// ---- Viewpoint and previous view ------------------------------------------------------------

void keep_previous_view();
bool previous_view_kept();
// Swaps the current and the previous view.
void previous_view();
// A new view direction (nothing when it equals the current viewpoint): the
// previous view kept, the view rebuilt and zoomed to the whole model.
void set_view_direction(double x, double y, double z);
