// The element table of the analysis model, built from the layout rows, and
// the local axes of elements.
#pragma once

#include "framework/geometry.h"

#include <cstdint>

struct Model;

// One analysis element. Its kind is the element type of the part of the row
// it stands for: a bend row gives a straight leg (kind Pipe, or Jacketed pipe
// on a jacketed bend) and its arcs (Bend or Miter; the jacket's arcs of a
// jacketed bend are of kind Jacketed bend).
struct Elem {
    int32_t kind = 0;              // ElementType
    int32_t row = 0;               // layout row
    int32_t node1 = 0;             // node indices
    int32_t node2 = 0;
    int32_t material = 0;          // pipe material, section and pipe-load indices (0 = none)
    int32_t section = 0;
    int32_t load = 0;
    int32_t beam_material = 0;     // kind Beam: beam material, section and load
    int32_t beam_section = 0;
    int32_t beam_load = 0;
    uint8_t jacket = 0;            // the jacket element of a jacketed row

    // The row's bend radius for kinds Bend and Miter, the jacket radius for
    // kind Jacketed bend; else 0.
    double bend_radius() const;
    // The flanged-end count of the bend (kinds Bend, Miter) or of the jacket
    // (kind Jacketed bend); else 0.
    int flanged_ends() const;
    // The core element of a jacketed pipe or jacketed bend row.
    bool is_jacket_core() const;
    // The mean vertical coordinate of its two nodes (Y, or Z when Z is vertical).
    double mid_elevation() const;

    // The same on a given model (the analysis works on its own copy).
    double bend_radius(const Model& model) const;
    int flanged_ends(const Model& model) const;
    bool is_jacket_core(const Model& model) const;
    double mid_elevation(const Model& model, bool z_vertical) const;
};

// Kinds Pipe, Bend, Miter, Jacketed pipe, Jacketed bend and Reducer.
bool element_is_pipe_like(const Elem& element);

// Makes the element records from the built rows. Material, section and load
// names are looked up through the model hooks. With `check_names` a bend-like
// row whose object names its own material that is not defined throws
// "Row %d: Bend material %s is not defined" and leaves the table as it was;
// without it that material index is 0 (the model build, which must not fail
// on an edit in progress).
void build_element_records(bool check_names = true);

// Local axes of an element: unit vectors x, y, z.
struct LocalAxes {
    Vec3 x{1.0, 0.0, 0.0};
    Vec3 y{0.0, 1.0, 0.0};
    Vec3 z{0.0, 0.0, 1.0};
};

// The shared element-axes values (one set per thread).
LocalAxes& local_axes();

// From the unit vector x derives y and z. Y vertical: y is global Y made
// perpendicular to x, z = x cross y; Z vertical: z is global Z made
// perpendicular to x, y = z cross x. For an element along the vertical axis
// (horizontal projection below 0.0005) the axis made from the vertical is
// (-1, 0, 0).
void complete_local_axes(LocalAxes& axes, bool z_vertical);
// The same with the model's vertical axis option.
void complete_local_axes(LocalAxes& axes);
// The local axis that complete_local_axes made from the vertical: y with Y
// vertical, z with Z vertical. It lies in the vertical plane through x and
// points up (for an element along the vertical it is (-1, 0, 0)); a beam's
// depth and a valve's stem lie along it.
const Vec3& local_up_axis(const LocalAxes& axes, bool z_vertical);

// Local x from node a to node b ((1, 0, 0) when they coincide), then y and z;
// kept in local_axes(). Both indices must be non-zero.
const LocalAxes& element_axes(int a, int b);
// The same for the nodes of a given model, returned (local_axes() untouched).
LocalAxes element_axes(const Model& model, int a, int b, bool z_vertical);

// The arc of a bend element: unit vectors from the centre to both end nodes,
// the arc angle and its frame (x the tangent at node 1 into the arc, y towards
// the centre, z = x cross y, normal to the bend plane), also kept in
// local_axes(). Radius and angle must be above 0.
struct BendAxes {
    Vec3 r1;               // centre to node 1
    Vec3 r2;               // centre to node 2
    double theta = 0.0;
    double radius = 0.0;
    LocalAxes axes;
};
BendAxes bend_axes(int element);
// The same without touching local_axes().
BendAxes bend_arc(int element);
// The arc of an element of a given model.
BendAxes bend_arc(const Model& model, int element);

// A pair of nodes that the analysis couples (flag 0: rigid in all six
// directions; flag 1: skipped).
struct CoupledPair {
    int32_t a = 0;
    int32_t b = 0;
    int32_t flag = 0;
};
void add_coupled_pair(int a, int b, int flag);
