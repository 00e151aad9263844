#include "supports/support_symbols.h"

#include "model/model.h"
#include "model/symbol_shapes.h"

bool support_symbol_origin(int row, float& x, float& y)
{
    const Model& m = model();
    if (!m.rows.valid(row))
        return false;
    const int node = m.rows[row].node_index;
    if (!m.nodes.valid(node))
        return false;
    x = m.nodes[node].sx;
    y = m.nodes[node].sy;
    return true;
}

float support_symbol_size()
{
    const auto& size = model_hooks().symbol_size;
    return size ? static_cast<float>(size()) : 0.0f;
}

SymbolPart symbol_along(int shape, float x, float y, const Vec3& direction, float size)
{
    SymbolPart part;
    part.shape = shape;
    part.x = x;
    part.y = y;
    project_unit_direction(direction.x, direction.y, direction.z, part.dx, part.dy);
    part.size = size;
    return part;
}

void add_heads_both_ways(SymbolParts& parts, int shape, float x, float y, const Vec3& direction, float size)
{
    parts.push_back(symbol_along(shape, x, y, direction, size));
    parts.push_back(symbol_along(shape, x, y, Vec3{-direction.x, -direction.y, -direction.z}, size));
}

void draw_symbol_parts(const SymbolParts& parts)
{
    for (const SymbolPart& p : parts)
        if (p.dx != 0.0f || p.dy != 0.0f)
            draw_symbol_shape(p.shape, p.x, p.y, p.dx, p.dy, p.size);
}

void add_symbol_parts_extent(const SymbolParts& parts, Box2D& box)
{
    for (const SymbolPart& p : parts)
        if (p.dx != 0.0f || p.dy != 0.0f)
            symbol_shape_add_extent(p.shape, p.x, p.y, p.dx, p.dy, p.size, box);
}
