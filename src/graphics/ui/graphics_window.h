// The graphics window: the frame "KorvaneGraphics" with its menu, tool bars
// and commands, and its client, which shows the projected model in lines or,
// in render mode, shaded with OpenGL, takes the mouse, the wheel, the keys and
// the scroll bars, and serves the sent and posted commands of the view. It
// all runs on the main thread; a call from another thread is posted there.
#pragma once

#include "graphics/model_view.h"
#include "platform/backend.h"

#include <string>

// Installs the view's hooks into the lower layers (the model, the symbols,
// the picks, the layout) and the commands that open the window.
void install_graphics_ui();
// Makes the client in the graphics frame and gives the frame its commands
// (the window installer of start-up: the frame exists by then).
void create_graphics_window();

// The client window (0 before create_graphics_window).
WindowId graphics_client_window();

// Brings the window up to date and to the front; hides it.
void graphics_window_show();
void graphics_window_hide();
// Brings the window up to date and shows it behind the window in front.
void graphics_window_show_behind();

// The render mode on (when OpenGL is available, else a beep) and off, with
// the menu item and tool button following.
void render_on();
void render_off();
// The rows' visibility commands, drawn in the view shown (transparency
// only in the render view, where the three transparency commands are served).
void hide_current_row();
// A result pointed at (a table's line, its node) makes the layout row it
// stands for the current row, which F6 hides and F7 makes transparent; 0
// and a node outside the layout leave it as it is.
void point_at_row(int row);
void point_at_node(int node);
void show_all_rows();
void make_current_transparent();
void make_all_transparent();
void make_all_opaque();

// The window the F2 key and the tool button go back to: the text window the
// graphics were shown from while it is visible; else the results window in
// results mode while it is visible, else the list window while visible,
// else the layout window; and its name for the menu and the tool tip.
struct Frame;
Frame& graphics_text_window();
std::string graphics_text_window_name();
void graphics_go_to_text_window(bool point_to_button);

// The tool tip of a tool button of the graphics window, by the state now.
std::string graphics_tool_tip(int id);

// "Show LCS" / "Hide LCS", and whether the table or result shown has items
// with local axes.
std::string lcs_menu_text();
bool lcs_applicable();

// Paints the client now: the 2D picture (rebuilt when the model or the view
// changed) or the rendered scene, then the overlays. What the window does on
// a paint; the tests call it on their own surfaces.
void graphics_paint(Surface& surface, const Rect& dirty);
// How many full repaints ran (the coalescing of graphics_redraw is counted by it).
int graphics_repaint_count();
