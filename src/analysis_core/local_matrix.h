// The 12-by-12 stiffness and the 12-term load vector of one two-node element,
// indexed from 1 as the element routines are written: 1..6 are the
// translations x, y, z and rotations x, y, z of node 1, 7..12 those of node 2.
// Slot 0 of every row and column is there but never used.
#pragma once

#include "framework/geometry.h"
#include "model/elements.h"

inline constexpr int ELEMENT_DOFS = 12;

struct ElementMatrix {
    double k[13][13] = {};

    void clear() { *this = ElementMatrix{}; }
    // Sets k[i][j] and k[j][i].
    void set_symmetric(int i, int j, double value)
    {
        k[i][j] = value;
        k[j][i] = value;
    }
};

struct ElementVector {
    double f[13] = {};

    void clear() { *this = ElementVector{}; }
};

// The unit vector of global axis 0 (X), 1 (Y) or 2 (Z) in the local axes,
// which are given by their global unit vectors.
inline Vec3 global_axis_in_local(const LocalAxes& axes, int axis)
{
    return {component(axes.x, axis), component(axes.y, axis), component(axes.z, axis)};
}
