// An axis-parallel rectangle in view units: the extent and pick boxes of rows,
// data items and nodes. An empty box has its minimum above its maximum, so
// that the first point added sets it.
#pragma once

#include <algorithm>

struct Box2D {
    float xmin = 1.0e30f;
    float ymin = 1.0e30f;
    float xmax = -1.0e30f;
    float ymax = -1.0e30f;

    bool empty() const { return xmin > xmax || ymin > ymax; }
    void reset() { *this = Box2D{}; }

    void add(float x, float y)
    {
        xmin = std::min(xmin, x);
        ymin = std::min(ymin, y);
        xmax = std::max(xmax, x);
        ymax = std::max(ymax, y);
    }
    void add(const Box2D& other)
    {
        if (other.empty())
            return;
        add(other.xmin, other.ymin);
        add(other.xmax, other.ymax);
    }
    // Grows the box by d on every side; an empty box stays empty.
    void inflate(float d)
    {
        if (empty())
            return;
        xmin -= d;
        ymin -= d;
        xmax += d;
        ymax += d;
    }
    bool contains(float x, float y) const { return x >= xmin && x <= xmax && y >= ymin && y <= ymax; }
    bool overlaps(const Box2D& other) const
    {
        return !empty() && !other.empty() && xmin <= other.xmax && other.xmin <= xmax &&
               ymin <= other.ymax && other.ymin <= ymax;
    }
};
