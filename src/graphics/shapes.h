// Deflected and mode shapes: the model displaced by the current load case's
// displacements or by the current mode shape (results().displacements, 6
// values per node), drawn over the dimmed model, still or animated.
//
// A displaced pipe or beam is a cubic through both ends that meets the end
// rotations (Hermite interpolation in the element's local axes), a bend an
// arc whose points move with the ends' translations, anything else a
// straight line. The magnification (results().magnification, 0 automatic)
// scales the displacements to the view.
#pragma once

#include "model/symbols.h"

#include <functional>
#include <vector>

struct ShapeState {
    float magnification_limit = 0.0f;   // 0: not computed yet
    float shape_factor = 0.0f;          // the multiplier of all displacements when drawing
    int shape_segments = 8;             // pieces of a displaced pipe, beam or bend
    bool deflected_shape_shown = false;
    bool mode_shape_shown = false;
    bool animating = false;
};
ShapeState& shape_state();

// The magnification of the open results (results().magnification; 0 automatic).
float& magnification();

// For every node the length of its projected translation; with m the
// largest: the limit = view width / (m + 1e-7), at most 1e6; the
// magnification 0.05 of the limit.
void auto_magnification();
// The magnification a shape is drawn with: automatic when it or the limit
// is 0, cut to the limit.
float shape_magnification();

// The pieces a curved element is drawn with in the animation: 8 below 25
// analysis elements, 6 below 50, 4 below 100, 2 below 150, else 1.
int animation_segments(int elements);
// The frames of one animation cycle: 32 below 8 elements, 24 below 12, else
// 20; doubled for a deflected shape.
int animation_frames(int elements, bool deflected);
// The shape factor of frame k of n: m cos(k swing / n), the swing pi / 2 for
// a deflected shape (full displacement towards zero) and 2 pi for a mode.
double animation_factor(double magnification, int k, int n, bool deflected);

// The translation and rotation of a node in the displacements shown (0 when
// the node has none).
void node_displacement(int node, Vec3& translation, Vec3& rotation);

// The points of one displaced analysis element (1..model().elems) at
// shape_factor, in view units: `shape_segments` + 1 points for a pipe, beam
// or bend, 2 for anything else (and for every element when shape_segments
// is 1, and for a pipe or beam shorter than 1e-6).
std::vector<Point2> displaced_element_points(int element);
// Draws it as lines through those points.
void draw_displaced_element(int element);
// Every element displaced, but those of rows hidden from the graphics.
void draw_displaced_elements();
// Those with the shape pen, then the mode markers.
void draw_displaced_shape();

// The two marker nodes of the current mode (node indices, 0 for none) while
// the results show a table that marks them; empty: no markers.
struct ShapeHooks {
    std::function<bool(int& first, int& second)> mode_markers;
    // Reads the shape of the current mode into the displacements; empty:
    // from the results file (read_mode_results).
    std::function<void()> read_mode;
};
ShapeHooks& shape_hooks();
// The shape of the current mode (results().current_mode) made the one shown.
void load_current_mode();

// The markers: a circle of 6 pixels radius at the displaced second node,
// and one at the first when it differs.
void draw_mode_markers();
