// The symbol of a bend: the straight leg from the previous node to the near
// tangent point and the arc from the near to the far tangent point, in the
// 2D view and in the render view, with the outlines it is picked by. Bends,
// miters and the core and jacket of jacketed bends are drawn with it.
#pragma once

#include "model/symbols.h"

struct LayoutRow;

// Where a bend's symbol comes from: node indices of the leg's start (the
// previous node), the corner (the tangents' intersection), the near and far
// tangent points; the arc's centre, angle and radius; the symbol's radius.
struct BendSymbolNodes {
    int previous = 0;
    int corner = 0;
    int near = 0;
    int far = 0;
    bool valid = false;        // the arc is laid out
    Vec3 centre;
    double angle = 0.0;
    double bend_radius = 0.0;
    double radius = 0.0;       // of the pipe drawn
    bool leg_end_disks = false;
};

struct BendSymbol {
    // The nodes it was built from.
    BendSymbolNodes nodes;
    // 2D view.
    Triangle2D triangle;       // near point, corner, far point
    Quad2D leg;                // along previous node to near point
    Point2 previous, corner, near, far;
    Point2 bezier[4];          // the arc: near, mid near-corner, mid far-corner, far
    // Render view.
    Cylinder leg_cylinder;
    Cylinder chords[3];        // over the arc's three equal parts
};

// Builds the symbol. Without a valid arc the near and far points are the
// corner, one cylinder runs from the previous node to the corner and its
// outline stands for the three chords.
void build_bend_symbol(BendSymbol& symbol, const BendSymbolNodes& nodes);
// The leg's 2D outline (half as wide as the element half-width on each side),
// and the outlines added to the row's pick boxes.
void build_bend_outline(BendSymbol& symbol, LayoutRow& row);
// 2D view: with the arc, the leg with the element pen and, under "Curved
// bends", the tangent lines with the first pen and the arc as a Bezier curve
// with `arc_pen`; without "Curved bends" the tangent lines with `arc_pen`.
// Without the arc, one line from the previous node to the corner with the
// first pen.
void draw_bend_2d(const BendSymbol& symbol, int leg_pen, int arc_pen);
// Render view: the leg cylinder and the torus section in the colour the
// caller set; without the arc a red line from the previous node to the
// corner.
void draw_bend_3d(const BendSymbol& symbol);
void draw_bend_outline_2d(const BendSymbol& symbol);
void draw_bend_outline_3d(const BendSymbol& symbol);
// The hit test of the view shown: render view the three chord outlines (the
// leg's without the arc), 2D view the triangle (the leg's without the arc).
bool bend_symbol_hit(const BendSymbol& symbol, float x, float y);
