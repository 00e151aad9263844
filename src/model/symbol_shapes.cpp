#include "model/symbol_shapes.h"

#include "framework/state.h"

#include <array>
#include <cmath>

namespace {

using Shapes = std::array<SymbolShape, SYMBOL_SHAPE_COUNT>;

// The hatched ground line of the hanger shapes.
void add_hanger_ground(std::vector<SymbolSegment>& s)
{
    s.push_back({0, 36, 0, 45});
    s.push_back({-10, 45, 10, 45});
    for (float x = -10; x <= 10; x += 5)
        s.push_back({x, 45, x + 6, 51});
}

// A polyline as segments.
void add_polyline(std::vector<SymbolSegment>& s, std::initializer_list<std::array<float, 2>> points)
{
    const std::array<float, 2>* previous = nullptr;
    for (const auto& p : points) {
        if (previous)
            s.push_back({(*previous)[0], (*previous)[1], p[0], p[1]});
        previous = &p;
    }
}

// The hatch of a ground line at x from y = 1 down to y = -1.
void add_hatch(std::vector<SymbolSegment>& s, float x)
{
    for (float y = 1.0f; y >= -1.0f; y -= 0.5f)
        s.push_back({x, y, x + 0.6f, y - 0.6f});
}

Shapes make_shapes()
{
    Shapes t{};
    t[0] = {{{0, 0, -1.2f, -0.5f}, {-1.2f, -0.5f, -1.2f, 0.5f}, {-1.2f, 0.5f, 0, 0}}, -1.2f, -0.5f, 0, 0.5f};
    t[1] = {{{0, 0, 1.2f, -0.5f},
             {1.2f, -0.5f, 1.2f, 0.5f},
             {1.2f, 0.5f, 0, 0},
             {1.2f, 0, 2.4f, -0.5f},
             {2.4f, -0.5f, 2.4f, 0.5f},
             {2.4f, 0.5f, 1.2f, 0}},
            0, -0.5f, 2.4f, 0.5f};

    std::vector<SymbolSegment> spring{{0, 0, 0, 12}, {-6, 12, 6, 12}, {-6, 12, -6, 36}, {-6, 36, 6, 36},
                                      {6, 36, 6, 12}, {0, 15, 0, 33}, {-3, 19, 3, 19}, {-3, 24, 3, 24},
                                      {-3, 29, 3, 29}};
    add_hanger_ground(spring);
    // The ground's rod starts at the box in shape 2; shape 3 is one rod from 0.
    t[2] = {spring, -10, 0, 16, 51};
    std::vector<SymbolSegment> rod{{0, 0, 0, 45}};
    rod.insert(rod.end(), spring.end() - 6, spring.end());
    t[3] = {rod, -10, 0, 16, 51};

    t[4] = {{{-2.5f, 0, -0.8f, 0}, {-0.8f, -0.6f, -0.8f, 0.6f}}, -2.5f, -0.6f, 0, 0.6f};
    t[5] = {{{2.5f, 0, 0.8f, 0}, {0.8f, -0.6f, 0.8f, 0.6f}}, 2.5f, -0.6f, 0, 0.6f};

    std::vector<SymbolSegment> skewed{{0, 0, 1.2f, 0}};
    add_polyline(skewed, {{1.2f, 0},
                          {1.4f, 0.6f},
                          {1.7f, -0.6f},
                          {2.0f, 0.6f},
                          {2.3f, -0.6f},
                          {2.6f, 0.6f},
                          {2.9f, -0.6f},
                          {3.2f, 0.6f},
                          {3.5f, -0.6f},
                          {3.7f, 0}});
    skewed.push_back({3.7f, 0, 4.9f, 0});
    skewed.push_back({4.9f, 1, 4.9f, -1});
    add_hatch(skewed, 4.9f);
    t[6] = {skewed, 0, -1.6f, 5.5f, 1};

    const std::vector<SymbolSegment> square{{-0.5f, -0.5f, 0.5f, -0.5f},
                                            {0.5f, -0.5f, 0.5f, 0.5f},
                                            {0.5f, 0.5f, -0.5f, 0.5f},
                                            {-0.5f, 0.5f, -0.5f, -0.5f}};
    std::vector<SymbolSegment> mass = square;
    mass.push_back({-0.5f, -0.5f, 0.5f, 0.5f});
    mass.push_back({-0.5f, 0.5f, 0.5f, -0.5f});
    t[7] = {mass, -0.5f, -0.5f, 0.5f, 0.5f};

    std::vector<SymbolSegment> snubber{{0, 0, 1.2f, 0},        {1.2f, 0.6f, 1.2f, -0.6f}, {1.2f, -0.6f, 3.6f, -0.6f},
                                       {3.6f, -0.6f, 3.6f, 0.6f}, {3.6f, 0.6f, 1.2f, 0.6f}, {3.6f, 0, 4.5f, 0},
                                       {4.5f, 1, 4.5f, -1}};
    add_hatch(snubber, 4.5f);
    t[8] = {snubber, 0, -1.6f, 5.1f, 1};

    t[9] = {square, -0.5f, -0.5f, 0.5f, 0.5f};
    t[10] = {{{0, 0, 0.3f, 0},
              {0.3f, -0.1f, 0.3f, 0.1f},
              {0.7f, -0.1f, 0.7f, 0.1f},
              {0.3f, 0.1f, 0.7f, 0.1f},
              {0.3f, -0.1f, 0.7f, -0.1f},
              {0.7f, 0, 1, 0},
              {0.34f, 0, 0.66f, 0},
              {0.42f, -0.06f, 0.42f, 0.06f},
              {0.5f, -0.06f, 0.5f, 0.06f},
              {0.58f, -0.06f, 0.58f, 0.06f}},
             0, -0.1f, 1, 0.1f};
    return t;
}

// The rotation and scale of a shape drawn along (dx, dy).
struct ShapeTransform {
    float x, y, c, s;
    void apply(float px, float py, float& ox, float& oy) const
    {
        ox = x + c * px - s * py;
        oy = y + s * px + c * py;
    }
};

ShapeTransform shape_transform(float x, float y, float dx, float dy, float size)
{
    const float scale = size * symbol_drawing().symbol_scale;
    if (std::fabs(dx) < 0.005f)
        dx = 0.0f;
    if (std::fabs(dy) < 0.005f)
        dy = 0.0f;
    return {x, y, dx * scale, dy * scale};
}

}  // namespace

const SymbolShape& symbol_shape(int shape)
{
    static const Shapes shapes = make_shapes();
    static const SymbolShape none{{}, 0, 0, 0, 0};
    return shape >= 0 && shape < SYMBOL_SHAPE_COUNT ? shapes[static_cast<std::size_t>(shape)] : none;
}

SymbolDrawing& symbol_drawing()
{
    return session_part<SymbolDrawing>();
}

void project_unit_direction(double x, double y, double z, float& dx, float& dy)
{
    if (const auto& project = symbol_drawing().project_direction) {
        project(x, y, z, dx, dy);
    } else {
        dx = static_cast<float>(x);
        dy = static_cast<float>(y);
    }
    const float length = std::sqrt(dx * dx + dy * dy);
    if (length < 1.0e-6f) {
        dx = dy = 0.0f;
        return;
    }
    dx /= length;
    dy /= length;
}

void draw_symbol_shape(int shape, float x, float y, float dx, float dy, float size)
{
    const auto& line = symbol_drawing().draw_line;
    if (!line)
        return;
    const ShapeTransform t = shape_transform(x, y, dx, dy, size);
    for (const SymbolSegment& seg : symbol_shape(shape).segments) {
        float x1, y1, x2, y2;
        t.apply(seg.x1, seg.y1, x1, y1);
        t.apply(seg.x2, seg.y2, x2, y2);
        line(x1, y1, x2, y2);
    }
}

void symbol_shape_add_extent(int shape, float x, float y, float dx, float dy, float size, Box2D& box)
{
    const SymbolShape& s = symbol_shape(shape);
    const ShapeTransform t = shape_transform(x, y, dx, dy, size);
    for (const auto& [px, py] : {std::array<float, 2>{s.xmin, s.ymin}, std::array<float, 2>{s.xmax, s.ymin},
                                 std::array<float, 2>{s.xmax, s.ymax}, std::array<float, 2>{s.xmin, s.ymax}}) {
        float ox, oy;
        t.apply(px, py, ox, oy);
        box.add(ox, oy);
    }
}
