// The line symbols of the supports in the 2D view: each kind gives the shapes
// it draws at its node (shape numbers of model/symbol_shapes.h) and the base
// draws them and measures their extent.
#pragma once

#include "framework/geometry.h"
#include "model/box2d.h"

#include <vector>

struct SymbolPart {
    int shape = 0;
    float x = 0.0f, y = 0.0f;     // where the shape's origin goes (view units)
    float dx = 1.0f, dy = 0.0f;   // its x axis in the view (unit)
    float size = 1.0f;            // its scale before the view's symbol scale
    // The model direction the shape stands for (its x axis; for the hanger
    // shapes the vertical they stand on); zero when it has none.
    Vec3 direction{};
};
using SymbolParts = std::vector<SymbolPart>;

// A solid of a support's render-view symbol (model units): a cone from its
// base (closed) to its apex, or a rod between two points.
struct SupportSolid {
    enum Kind { Cone, Rod } kind = Rod;
    Vec3 a;                // cone: base; rod: first end
    Vec3 b;                // cone: apex; rod: second end
    double radius = 0.0;
};
using SupportSolids = std::vector<SupportSolid>;

// The solids that stand for the line shapes in the render view, at the
// node's model point: arrow heads become cones, stops, springs, snubbers and
// hangers rods and plates, all as large as the shapes are on the screen.
SupportSolids support_solids(const SymbolParts& parts, const Vec3& node);
// Adds the projected outlines of the solids to a box.
void add_support_solids_extent(const SupportSolids& solids, Box2D& box);
void draw_support_solids(const SupportSolids& solids);

// The projected position of a row's node in the document's model; false
// when the row has no built node.
bool support_symbol_origin(int row, float& x, float& y);
// The support symbol size of the 2D view (view units); 0 without a view.
float support_symbol_size();
// A shape drawn at the origin along the projection of a model direction.
SymbolPart symbol_along(int shape, float x, float y, const Vec3& direction, float size);
// Arrow heads (shape 0 or 1) on both sides of the node along a model direction.
void add_heads_both_ways(SymbolParts& parts, int shape, float x, float y, const Vec3& direction, float size);

void draw_symbol_parts(const SymbolParts& parts);
void add_symbol_parts_extent(const SymbolParts& parts, Box2D& box);
