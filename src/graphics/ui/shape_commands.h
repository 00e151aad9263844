// The results on the graphics view: the static deflected and mode shapes
// (command 216), their animation (221) on a timer of the graphics frame,
// MAGNIFICATION_DIALOG (300), the stress and ratio colouring (332, 333), and
// the results window's hooks that the graphics serve.
#pragma once

#include "platform/backend.h"
#include "platform/resources.h"

#include <string>

extern const DialogTemplate MAGNIFICATION_DIALOG;
enum MagnificationDialogIds : int {
    MAGNIFICATION_VALUE = 1301,
    MAGNIFICATION_APPLY = 999,
    MAGNIFICATION_RESET = 1001,
};

// The timer of the animation on the graphics frame, its period, and the
// pause after each cycle of a deflected shape.
inline constexpr int ANIMATION_TIMER = 4;
inline constexpr int ANIMATION_PERIOD_MS = 30;
inline constexpr int ANIMATION_CYCLE_PAUSE_MS = 500;

void deflected_shape_show();
void deflected_shape_hide();
void mode_shape_show();
void mode_shape_hide();
// 216: the static shape of the result shown (deflected for the displacement
// table, else the mode shape) on or off.
void shape_command();

// The animation: start stops a running one first; a start that fails puts
// the menu, buttons, flags and title back and shows the reason. Stop puts
// back the node-number and dot flags saved at the start.
void animation_start();
void animation_stop();
bool animation_running();
// 221: the animation on or off.
void animate_command();
// Every view operation pauses the animation and resumes it after.
void animation_pause();
void animation_resume();
// One step of the animation timer (the next frame).
void animation_tick();
// The frames drawn since the animation started (a test reads the rate).
int animation_frames_drawn();
// Draws the frame of the animation (an overlay over the kept dimmed picture).
void animation_draw_frame();

// The graphics window's title: the deflected or mode shape drawn (static
// or animated), else "Graphics"; with " (out of date)" after it while the
// results shown are older than their model.
std::string graphics_window_title();
// The results' items of the graphics window's popup (results mode only):
// the stress and ratio colouring with Thresholds while the sorted stresses
// are shown, the shape, animation and Magnification while the result shown
// has shapes, and the mode stepping while a mode shape is drawn.
void append_graphics_result_items(MenuItem& popup);

// The Magnification dialog; true when closed with OK.
bool magnification_dialog(WindowId owner);

// Installs the results window's graphics hooks (highlight, shapes,
// animation, colouring, captions) and the mode markers.
void install_shape_commands();
// The graphics frame's commands of this module (300).
void register_shape_frame_commands();
