// The line-drawn symbol shapes of the 2D view and the drawing calls through
// which element and support symbols reach it. The model layer only knows the
// shapes and the calls; the graphics layer fills SymbolDrawing with the
// view's line drawing and projection. Until it does, nothing is drawn and a
// direction projects as if the view looked along -Z (X right, Y up).
//
// Shapes, in symbol units with the shape's x axis along the direction given:
//   0  anchor, restraint: an arrow head with its tip at the origin (base at -1.2)
//   1  anchor, restraint: two heads in a row (tips at 0 and 1.2)
//   2  hanger: a rod, a spring box with three cross bars, a rod, a hatched ground
//   3  hanger: a rod and the hatched ground
//   4  limit stop: a stop bar on the -x side
//   5  limit stop: a stop bar on the +x side
//   6  skewed restraint: a zigzag spring with a hatched ground
//   7  concentrated mass: a square with its diagonals
//   8  snubber: a cylinder with a hatched ground
//   9  spider: a square
//   10 hanger: a spring between two points 1 apart
#pragma once

#include "model/box2d.h"

#include <functional>
#include <vector>

inline constexpr int SYMBOL_SHAPE_COUNT = 11;

struct SymbolSegment {
    float x1, y1, x2, y2;
};

struct SymbolShape {
    std::vector<SymbolSegment> segments;
    // The bounding rectangle; shape 5's is stored with xmin above xmax, which
    // a box grown corner by corner still covers.
    float xmin, ymin, xmax, ymax;
};

// The shape of a number 0..SYMBOL_SHAPE_COUNT - 1 (any other gives an empty shape).
const SymbolShape& symbol_shape(int shape);

// What the view gives the symbols (filled by the graphics layer).
struct SymbolDrawing {
    // A line in view units.
    std::function<void(float x1, float y1, float x2, float y2)> draw_line;
    // The projection of a model direction into the view (not normalised).
    std::function<void(double x, double y, double z, float& dx, float& dy)> project_direction;
    // The view's symbol size factor (0.1 to 2.0).
    float symbol_scale = 1.0f;
};
SymbolDrawing& symbol_drawing();

// The projected direction of a model direction, scaled to unit length in the
// view; (0, 0) for a direction that projects onto a point.
void project_unit_direction(double x, double y, double z, float& dx, float& dy);

// Draws a shape at (x, y) with its x axis along (dx, dy) (a unit direction;
// components below 0.005 in magnitude count as 0), scaled by size times the
// symbol scale: a point (px, py) of the shape goes to
// (x + c px - s py, y + s px + c py), (c, s) the scaled direction.
void draw_symbol_shape(int shape, float x, float y, float dx, float dy, float size);
// Adds the four transformed corners of the shape's bounding rectangle to a box.
void symbol_shape_add_extent(int shape, float x, float y, float dx, float dy, float size, Box2D& box);
