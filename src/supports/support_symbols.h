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
};
using SymbolParts = std::vector<SymbolPart>;

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
