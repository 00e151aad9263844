// The axes triad in a corner of the view (also on every printed and plotted
// picture), and the triad of an item's local coordinate system drawn beside
// its node as an overlay over the picture.
#pragma once

#include "framework/geometry.h"
#include "model/symbols.h"

// The global axes triad in the corner that the setting names (nothing for
// corner 0): three labelled arrows from one start point along the projected
// X, Y and Z, each as long as the triad arrow length times the axis's
// projected length, kept inside the view window by the bounds of the
// projected directions. `plotter` lowers the top corners by another half
// text line (HP-GL).
void draw_axes_triad(bool plotter = false);
// Where the triad starts (view units).
Point2 axes_triad_origin(bool plotter = false);

// The triad of the local axes of an item at its node.
struct LcsTriad {
    int node = 0;
    Vec3 axes[3];               // local x, y, z (model space)
    Point2 origin;              // the node's projected position
    Point2 ends[3];             // the axes' end points
    Point2 letters[8][2];       // eight letter strokes (X at x, Y at y, Z at z)
    bool shown = false;         // on the screen now (an overlay)
};

LcsTriad& lcs_triad();
// Whether the user wants the local axes shown (the Show flag).
bool& lcs_display();
// Takes the local axes that the last frame or element axes left (the shared
// element axes) into the triad at the node.
void lcs_triad_init(int node);
void lcs_triad_init(int node, const Vec3& x, const Vec3& y, const Vec3& z);
// The geometry for the view now: axes 1.25 times the triad arrow length long,
// the letters at 1.5 times that, strokes 5 pixels from their centres.
void lcs_triad_build();
// Draws the triad: the axes with the first triad pen, the letters with the
// second.
void lcs_triad_draw();
// Shows the triad (an overlay, redrawn until erased), or takes it away: only
// when the local x axis has a length of at least 0.01.
void lcs_triad_toggle();
void lcs_triad_erase();
// The number of the triad's node in the triad's label colour.
void lcs_triad_label();
