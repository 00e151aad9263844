// The render view: the model drawn shaded with OpenGL 1.1. This is the one
// part of the program that calls OpenGL, always from inside the callbacks of
// an OpenGL client or of an offscreen rendering, where a context is current.
#pragma once

#include "framework/geometry.h"
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

// The stress colouring of the render view: a straight element as a tube
// coloured from one end's value to the other's (cut at the quarter points
// of the ramp), one tube piece, a bend as a torus section coloured along its
// arc, and every pipe-like element of the model so (while a colouring is
// shown; an element without values in the neutral grey of a pipe without
// stress).
void gl_draw_pipe_color_coded(const Vec3& a, const Vec3& b, double radius_a, double radius_b, float value_a,
                              float value_b);
void gl_tube_segment(const Vec3& a, const Vec3& b, double radius_a, double radius_b, float value_a, float value_b);
void gl_draw_bend_color_coded(const Vec3& centre, const Vec3& start, const Vec3& end, double pipe_radius,
                              float value_start, float value_end);
void gl_draw_colour_coded_elements();
