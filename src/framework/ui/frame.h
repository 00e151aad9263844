// Frames: the program's top-level windows. A frame has a menu and an
// accelerator table made from resources, two tool-bar variants, a title, a
// client window and a placement kept in the settings. Menu items,
// accelerators and tool buttons all send command ids to the frame's command
// handler. Frames form a chain: each knows the frame to go back to.
#pragma once

#include "platform/backend.h"

#include <functional>
#include <map>
#include <memory>
#include <set>
#include <string>

struct ToolBarPair;

struct ButtonState {
    bool visible = true;
    bool enabled = true;
};

struct Frame {
    WindowId window = 0;
    Menu menu;
    const AcceleratorTable* accel = nullptr;
    ToolBar large_bar;
    ToolBar small_bar;
    WindowId client = 0;
    Frame* previous_frame = nullptr;
    WindowPlacement placement;           // as last saved or set
    std::string class_name;
    std::string title_text;              // the part of the title between product and file
    std::string status_text;             // the status line's text (the main window has one)
    std::string placement_name;          // value under "Window positions"; empty: not kept

    // The command handler. When empty the frame serves its own commands and
    // those of the registry (command_registry.h): items whose command has no
    // handler are greyed, and such a command from a key or a button beeps.
    std::function<void(int id)> handler;
    // Commands of this frame alone, served before the registry's.
    std::map<int, std::function<void(int id)>> commands;
    // When such a command can be served: while its test answers false it is
    // greyed and refused as one without a handler.
    std::map<int, std::function<bool()>> command_tests;
    // The close box; true lets the frame close. When empty the frame hides
    // and its previous frame comes to the front.
    std::function<bool()> close_handler;
    // Called before a menu drops down, after the shared items are updated.
    std::function<void(Frame&)> menu_opening;
    // Called when the frame becomes active or inactive.
    std::function<void(Frame&, bool active)> activated;
    std::function<void(Frame&, int timer_id)> timer;
    // A tool button held down (true) or let go (false) under the mouse.
    std::function<void(Frame&, int id, bool pressed)> button_pressed;

    // Button states set through the frame, applied to both bar variants.
    std::map<int, ButtonState> buttons;
    // The states the window shows: a button is greyed exactly when its menu
    // item is, or, without one, when its command has no handler.
    std::map<int, ButtonState> shown_buttons;
    // Menu items greyed because their command had no handler.
    std::set<int> greyed_unavailable;
    // Tool buttons that switch a state on and off: each shows pressed in
    // exactly while its test answers true, with the tip of that state,
    // whatever changed the state.
    struct Toggle {
        std::function<bool()> pressed;
        std::function<std::string()> tip;   // empty: the tip stays
    };
    std::map<int, Toggle> toggles;

    // The adapter the backend calls; owned here so that it lives as long as the window.
    std::unique_ptr<FrameEvents> events;
    std::unique_ptr<ClientEvents> blank_client;

    Frame();
    ~Frame();
    Frame(const Frame&) = delete;
    Frame& operator=(const Frame&) = delete;
};

// The frames of the program.
Frame& main_frame();       // the main window; the layout spreadsheet is its client
Frame& layout_frame();     // the same frame as main_frame()
Frame& list_frame();
Frame& results_frame();
Frame& graphics_frame();

// Creates the frame window (hidden) with its caption, menu and accelerator
// table (empty names: none) and a client. `client` may be null for a blank
// client that paints nothing. A frame that already has a window is destroyed
// first. Throws MessageText when a resource is unknown or the window cannot
// be made.
void frame_create(Frame& frame, const std::string& class_name, const std::string& caption,
                  std::function<void(int)> handler, const std::string& menu_name, ClientEvents* client,
                  const std::string& accel_name);
// Destroys the window and clears the frame (the placement stays).
void frame_destroy(Frame& frame);

// The command path of menu items, accelerators and tool buttons: the frame's
// handler, or the registry; a thrown message text is shown over the frame.
void frame_command(Frame& frame, int id);
// Gives a frame its own handler of a command (an empty handler removes it);
// with `available` the command is served only while that answers true.
void frame_register_command(Frame& frame, int id, std::function<void(int)> handler,
                            std::function<bool()> available = {});
// Makes a tool button show a state: pressed in while `pressed` answers true,
// with the tip `tip` gives (an empty test takes that away). The buttons
// follow after every command, key, timer and activation of any frame, and
// when the frame's command states are refreshed.
void frame_register_toggle(Frame& frame, int id, std::function<bool()> pressed,
                           std::function<std::string()> tip = {});
// Gives every frame's toggle buttons the state their tests answer now.
void frames_refresh_toggles();
// True when the frame's handler or the registry serves the command.
bool frame_command_available(const Frame& frame, int id);
// Whether the command's menu item and tool button are enabled: as its item
// in the frame's menu, or, when the menu has none, as its availability.
bool frame_command_enabled(const Frame& frame, int id);
// Every frame of the program greys and ungreys its items and buttons after
// the registry's handlers changed.
void frames_refresh_command_states();
// Sends a command without the beep of an unavailable one (a direct call).
void frame_send_command(Frame& frame, int id);
// Queues a command for the frame on the main thread.
void frame_post_command(Frame& frame, int id);

// The accelerator pair the main loop translates: the frame and its table.
void frame_make_current(Frame& frame);
Frame* current_accelerator_frame();
// Another pair, for a mode that lends a frame its own accelerator table.
void set_current_accelerators(Frame& frame, const AcceleratorTable* table);

// Sets the previous frame (unless null) and brings the frame to the front.
void frame_activate(Frame& frame, Frame* previous);
// Brings the previous frame to the front; nothing when there is none.
void frame_go_back(Frame& frame);
// Shows the frame (maximised when it was), makes it the foreground window
// and its accelerators current.
void frame_bring_to_front(Frame& frame);
// Shows a hidden frame without making it the active window, so that it
// stays behind the one in front; a visible frame stays as it is.
void frame_show_inactive(Frame& frame);
void frame_hide(Frame& frame);
bool frame_is_maximized(const Frame& frame);
bool frame_is_visible(const Frame& frame);
// Lays out tool bar and client after a size change.
void frame_layout(Frame& frame);

// The placement with its normal rectangle moved and, when larger, shrunk into
// the work area; minimised becomes normal; hidden and maximised stay.
WindowPlacement clamp_placement(const WindowPlacement& p, const Rect& work_area);
// A placement in the middle of the work area, three quarters of its size.
WindowPlacement default_placement(const Rect& work_area);
// How far a cascaded window stands below and right of the one before it:
// about a title bar's height, so that the title of each stays in sight.
inline constexpr int CASCADE_STEP = 30;
// The placement of a new window that cascades from the window made before
// it (`previous`): the same size, CASCADE_STEP further down and right, and
// back at the work area's top left corner when it would leave the work area;
// shown normal.
WindowPlacement cascade_placement(const WindowPlacement& previous, const Rect& work_area);
// Clamps the placement and applies it: shown normal unless maximised (or
// hidden when its show state says so).
void frame_set_placement(Frame& frame, const WindowPlacement& p);
// Applies the placement to a hidden frame, keeping it hidden; the show state
// is remembered for frame_bring_to_front.
void frame_set_placement_hidden(Frame& frame, const WindowPlacement& p);
// Reads the window's placement into the frame and, when the frame has a
// placement name, into the settings store.
void frame_save_placement(Frame& frame);

// Menus.
void frame_set_menu(Frame& frame, const Menu& menu);
void frame_set_menu(Frame& frame, const std::string& menu_name);
// Hands the frame's menu to the window again after it was changed.
void frame_update_menu(Frame& frame);
// Greys the items whose command has no handler and ungreys those that got
// one, and gives the tool buttons the state of their items; true when a
// menu item changed. Menu items only for frames served by the registry.
bool frame_refresh_command_states(Frame& frame);
// Sets the text of a menu item.
bool menu_set_state(Menu& menu, int command, const std::string& text);
bool menu_set_state(Frame& frame, int command, const std::string& text);

// Tool bars: both variants; the preferences choose the one shown. A button
// shown and enabled through these is greyed still while its menu item is
// (or its command has no handler).
void frame_set_bars(Frame& frame, const ToolBar& large, const ToolBar& small);
void frame_set_bars(Frame& frame, const ToolBarPair& bars);
// Shows the variant that the preferences "Show toolbar" and "Large toolbar
// buttons" choose, with the button states kept.
void frame_set_bar_a(Frame& frame);
// Gives a button (in both variants) another picture, tool tip and pressed-in
// state; the bars are handed to the window again when anything changed.
void frame_set_button_look(Frame& frame, int command, const std::string& icon, const std::string& tip,
                           bool checked);
void frame_show_button(Frame& frame, int command);     // shown and enabled
void frame_hide_button(Frame& frame, int command);     // hidden and disabled
void frame_enable_button(Frame& frame, int command);
void frame_disable_button(Frame& frame, int command);
// Moves the mouse pointer onto a button by its command, or by its position
// in the bar shown (separators count).
void frame_point_to_button(Frame& frame, int command);
void frame_point_to_button_at(Frame& frame, int position);

// Closes open message dialogs and popups over the frame.
void frame_cancel_popups(Frame& frame);

// Titles: "Korvane - <text> [<file>]" ("Korvane [<file>]" without a text),
// the control and bidirectional characters of the text and the file name
// shown as their codes (shown_controls).
void frame_set_title(Frame& frame, const std::string& text);
// Replaces the part of the title from "[" on with the current file text.
void frame_update_title_file(Frame& frame);
std::string frame_title(const Frame& frame);
// The status line at the foot of the frame: what the last long command came
// to ("Analysis done"). The first call gives the frame its status line; an
// empty text leaves the line blank.
void frame_set_status(Frame& frame, const std::string& text);
// The file text that titles show in brackets: "Untitled", or the file name
// followed by its folder in parentheses. Setting it updates every frame.
const std::string& title_file_text();
void set_title_file_text(const std::string& text);
// The file text of a path ("Untitled" for an empty path).
std::string title_file_for_path(const std::string& path);

// Makes the main window and its accelerators current, shows the results
// button when the model has a results file, sets the title and shows the
// window (not in batch mode).
void show_main_window();
