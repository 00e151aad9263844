#include "supports/support_symbols.h"

#include "model/model.h"
#include "model/symbol_shapes.h"
#include "model/symbols.h"
#include "model/view_drawing.h"

#include <cmath>

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
    part.direction = direction;
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

namespace {

Vec3 along(const Vec3& origin, const Vec3& d, double t)
{
    return plus(origin, scaled(d, t));
}

void add_rod(SupportSolids& out, const Vec3& a, const Vec3& b, double radius)
{
    out.push_back(SupportSolid{SupportSolid::Rod, a, b, radius});
}

void add_cone(SupportSolids& out, const Vec3& base, const Vec3& apex, double radius)
{
    out.push_back(SupportSolid{SupportSolid::Cone, base, apex, radius});
}

// A ground plate: a flat disk of the radius at t along the direction.
void add_plate(SupportSolids& out, const Vec3& node, const Vec3& d, double t, double radius, double u)
{
    add_rod(out, along(node, d, t), along(node, d, t + 0.15 * u), radius);
}

}  // namespace

SupportSolids support_solids(const SymbolParts& parts, const Vec3& node)
{
    SupportSolids out;
    const double scale = symbol_drawing().symbol_scale;
    for (const SymbolPart& p : parts) {
        Vec3 d = p.direction;
        const double length = norm(d);
        if (length < MIN_DIRECTION_LENGTH)
            continue;
        d = scaled(d, 1.0 / length);
        // One unit of the shape in model units, as on the screen.
        const double u = double(p.size) * scale;
        switch (p.shape) {
        case 0:   // a head pointing along d at the node
            add_cone(out, along(node, d, -1.2 * u), node, 0.5 * u);
            break;
        case 1:   // two heads on the d side pointing at the node
            add_cone(out, along(node, d, 1.2 * u), node, 0.5 * u);
            add_cone(out, along(node, d, 2.4 * u), along(node, d, 1.2 * u), 0.5 * u);
            break;
        case 4:
        case 5: {  // a stop bar on one side
            const double side = p.shape == 4 ? -1.0 : 1.0;
            add_rod(out, along(node, d, side * 2.5 * u), along(node, d, side * 0.8 * u), 0.08 * u);
            add_rod(out, along(node, d, side * 0.8 * u), along(node, d, side * 0.65 * u), 0.6 * u);
            break;
        }
        case 6:   // a spring to the ground
            add_rod(out, node, along(node, d, 4.9 * u), 0.12 * u);
            add_plate(out, node, d, 4.9 * u, 1.0 * u, u);
            break;
        case 8:   // a snubber: rod, body, rod, ground
            add_rod(out, node, along(node, d, 1.2 * u), 0.12 * u);
            add_rod(out, along(node, d, 1.2 * u), along(node, d, 3.6 * u), 0.6 * u);
            add_rod(out, along(node, d, 3.6 * u), along(node, d, 4.5 * u), 0.12 * u);
            add_plate(out, node, d, 4.5 * u, 1.0 * u, u);
            break;
        case 2:   // a hanger standing on the vertical: rod, spring can, rod, ceiling
        case 3:   // a rod hanger
            if (p.shape == 2) {
                add_rod(out, node, along(node, d, 12.0 * u), 0.8 * u);
                add_rod(out, along(node, d, 12.0 * u), along(node, d, 36.0 * u), 6.0 * u);
                add_rod(out, along(node, d, 36.0 * u), along(node, d, 45.0 * u), 0.8 * u);
            } else {
                add_rod(out, node, along(node, d, 45.0 * u), 0.8 * u);
            }
            add_plate(out, node, d, 45.0 * u, 10.0 * u, u);
            break;
        case 10:  // a spring to a connected node, its direction the whole way there
            add_rod(out, node, plus(node, p.direction), 0.1 * double(support_symbol_size()) * scale);
            break;
        default:
            break;
        }
    }
    return out;
}

void add_support_solids_extent(const SupportSolids& solids, Box2D& box)
{
    for (const SupportSolid& s : solids) {
        if (s.kind == SupportSolid::Cone) {
            Triangle2D t;
            triangle_for_cone(t, s.a, s.b, s.radius);
            triangle_add_to_box(t, box);
        } else {
            Quad2D q;
            quad_from_segment(q, s.a, s.b, s.radius, s.radius, true);
            quad_add_to_box(q, box);
        }
    }
}

void draw_support_solids(const SupportSolids& solids)
{
    for (const SupportSolid& s : solids) {
        if (s.kind == SupportSolid::Cone)
            gl_draw_cone(s.a, s.b, s.radius);
        else
            gl_draw_cylinder(s.a, s.b, s.radius, s.radius, CYLINDER_END_DISKS);
    }
}
