// The render view: the model drawn shaded with OpenGL 1.1. This is the one
// part of the program that calls OpenGL, always from inside the callbacks of
// an OpenGL client or of an offscreen rendering, where a context is current.
#pragma once

#include "graphics/graphics_view.h"

// The lights, materials, clear colour and client arrays of a fresh context
// (the client's, or the one of an offscreen print).
void gl_setup_lights(bool white_background);
// The scene into a frame buffer of the given size in device pixels: cleared,
// projected onto the view window, every shown row's symbol, then the
// transparent rows and the jackets of jacketed pipes and bends. False when
// the paint was aborted.
bool gl_draw_scene(int device_width, int device_height, const ViewWindow& window);
// The background alone (the line view shows its own picture over it).
void gl_clear_scene(int device_width, int device_height);
// glFinish: the frame is done (the benchmarks time a frame to here).
void gl_finish();
