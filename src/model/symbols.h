// The geometry of the symbols that element and support kinds show in the 2D
// view and the render view, and of the outlines they are picked by.
//
// Two spaces:
//   - model units (inch), where the 3D parts (cylinders, spheres, solid
//     boxes, 3D frames) live;
//   - view units: model lengths in the plane of the view, after the view's
//     rotation (project_point). The drawing scale turns them into pixels
//     (view_drawing.h), so a size given in pixels is divided by the scale
//     first. The projected position of a node is its NodeRecord's sx, sy.
//
// The 2D parts (quads, triangles, frames) are in view units. A Quad2D and a
// Triangle2D are made counter-clockwise, and a point is inside only when it
// lies strictly on the inner side of every edge: an edge or a corner is
// outside, and so is everything for an outline shrunk to a line or a point.
#pragma once

#include "framework/geometry.h"
#include "model/box2d.h"

#include <vector>

// A point of the view plane (view units).
struct Point2 {
    float x = 0.0f;
    float y = 0.0f;
};

// ---- 2D ------------------------------------------------------------------------------

struct Quad2D {
    Point2 p[4];
};

// Stores a and c as given and orders b and d so that the corners run
// counter-clockwise.
void quad_init(Quad2D& quad, Point2 a, Point2 b, Point2 c, Point2 d);
void quad_add_to_box(const Quad2D& quad, Box2D& box);
// True when the point lies strictly inside the (convex) quad.
bool quad_contains(const Quad2D& quad, float x, float y);
// The projected outline of a round segment from end1 to end2 (model points)
// with the radii r1 and r2 (model lengths, which are view lengths too): its
// two side lines, and at each end the foreshortened end disk. With c the
// cosine between the view direction (towards the viewer) and the segment,
// the end turned away from the viewer always reaches |c| r beyond its end
// point; the end turned towards the viewer only when the ends are closed.
// Seen end-on, closed, it covers its end disk around the point.
void quad_from_segment(Quad2D& quad, const Vec3& end1, const Vec3& end2, double r1, double r2, bool closed);
// The same between the nodes of index a and b.
void quad_between_nodes(int a, int b, double r1, double r2, Quad2D& quad, bool closed = false);

struct Triangle2D {
    Point2 p[3];
};

// Corners in any order; stored counter-clockwise.
void triangle_init(Triangle2D& triangle, Point2 a, Point2 b, Point2 c);
// True when the point lies strictly inside.
bool triangle_contains(const Triangle2D& triangle, float x, float y);
void triangle_add_to_box(const Triangle2D& triangle, Box2D& box);
// The projected outline of a cone of base radius r from the base point to
// the apex (model points): the apex and the two base corners, the base moved
// back by its foreshortened radius |c| r (c as for quad_from_segment).
void triangle_for_cone(Triangle2D& triangle, const Vec3& base, const Vec3& apex, double r);

// A frame of the view plane: an origin, a unit first axis, a second axis and
// a length (the unit of x in frame2d_apply_scaled). The second axis is not
// always perpendicular to the first (frame2d_second_axis).
struct LocalFrame2D {
    Point2 origin;
    Point2 u{1.0f, 0.0f};
    Point2 v{0.0f, 1.0f};
    float length = 0.0f;
};

// A frame from an origin and two directions: each is normalised, and one
// shorter than 0.001 is replaced by the unit axis (1, 0) or (0, 1).
void frame2d_init(LocalFrame2D& frame, Point2 origin, Point2 u, Point2 v, float length = 0.0f);
// The second axis of a symbol frame whose first axis is (ux, uy), so that a
// symbol drawn in it looks like the model's own axes: (0, 0) for a first
// axis shorter than 1e-5; (1, 0) for a nearly vertical first axis (|uy| above
// 0.95 after normalising), (0, 1) for a nearly horizontal one; otherwise the
// projected global axis (X, Y, Z in order, those that project to a point
// skipped) least aligned with the first axis, Y preferred on a tie.
Point2 frame2d_second_axis(float ux, float uy);
// A frame at the origin with the first axis (normalised) and its second
// axis by frame2d_second_axis; length 0.
void frame2d_set(LocalFrame2D& frame, Point2 origin, float ux, float uy);
// Origin p1, first axis towards p2 (their difference as it is when they
// coincide), second axis by frame2d_second_axis, length their distance.
void frame2d_from_points(LocalFrame2D& frame, Point2 p1, Point2 p2);
// frame2d_from_points between the projected points of nodes a and b.
void frame2d_between_nodes(int a, int b, LocalFrame2D& frame);
// The view point at (x, y) of the frame, both in view units.
Point2 frame2d_apply(const LocalFrame2D& frame, float x, float y);
// The same with x in units of the frame's length (0 the origin, 1 the far
// end) and y in view units.
Point2 frame2d_apply_scaled(const LocalFrame2D& frame, float x, float y);
// An element's outline along `frame`: from its origin to its far end, half
// the element outline width (element_half_width) either side.
void quad_element_outline(Quad2D& quad, const LocalFrame2D& frame);
// A frame at a node's projected point whose first axis is the projected
// direction (a model direction), with unit length.
LocalFrame2D symbol_frame_at_node(int node, const Vec3& direction);
void frame2d_add_point_to_box(const LocalFrame2D& frame, float x, float y, Box2D& box);
void frame2d_add_scaled_point_to_box(const LocalFrame2D& frame, float x, float y, Box2D& box);

// A frame that turns and scales: (x, y) goes to origin + scale (x u + y u'),
// u' the unit direction u turned counter-clockwise by a right angle.
struct ScaledFrame2D {
    Point2 origin;
    Point2 u{1.0f, 0.0f};
    float scale = 1.0f;
    float length = 0.0f;
};

// A direction shorter than 1e-5 counts as (1e-5, dy) of length 1e-5.
void scaled_frame_set(ScaledFrame2D& frame, Point2 origin, float dx, float dy, float scale);
// Origin p1, direction towards p2, scale 1, length their distance.
void scaled_frame_from_points(ScaledFrame2D& frame, Point2 p1, Point2 p2);
// The same from the projections of two model points.
void scaled_frame_between_points(ScaledFrame2D& frame, const Vec3& p1, const Vec3& p2);
Point2 scaled_frame_map(const ScaledFrame2D& frame, float x, float y);
Point2 scaled_frame_map_int(const ScaledFrame2D& frame, int x, int y);

// A frame with two independent unit axes: (x, y) goes to origin + x a + y b.
struct SkewFrame2D {
    Point2 origin;
    Point2 a{1.0f, 0.0f};
    Point2 b{0.0f, 1.0f};
};

// Each axis is normalised; one shorter than 0.001 has its length taken as 1
// and its x component (first axis) or y component (second) replaced by 1.
void skew_frame_set(SkewFrame2D& frame, Point2 origin, float ax, float ay, float bx, float by);
Point2 skew_frame_apply(const SkewFrame2D& frame, float x, float y);

// The projected position of a model point (view units).
Point2 project_point(const Vec3& point);
// The direction of the view: a unit model vector pointing towards the viewer.
Vec3 view_direction();
// The projected position of a node (its sx, sy); the origin for index 0.
Point2 node_view_point(int node);
// The model position of a node; the origin for index 0.
Vec3 node_model_point(int node);

// ---- 3D ------------------------------------------------------------------------------

// An origin and three unit axes in model space.
struct Frame3D {
    Vec3 origin;
    Vec3 x{1.0, 0.0, 0.0};
    Vec3 y{0.0, 1.0, 0.0};
    Vec3 z{0.0, 0.0, 1.0};
};

using LocalFrame3D = Frame3D;

void frame3d_identity(Frame3D& frame);
// Origin and x axis along the direction (one shorter than 1e-5 becomes
// (1, 0, 0)); y and z by the model's local-axis convention.
void frame3d_init(Frame3D& frame, const Vec3& origin, const Vec3& direction);
// x axis from the origin towards the end point, completed the same way.
void frame3d_from_points(Frame3D& frame, const Vec3& origin, const Vec3& end);
// Origin and x axis as given (normalised; shorter than 1e-5 becomes
// (1, 0, 0)), y as given, z = x cross y.
void frame3d_from_axes(Frame3D& frame, const Vec3& origin, const Vec3& x_axis, const Vec3& y_axis);
// Origin at node a, x towards node b or (1, 0, 0) when they are closer than 0.001.
void frame3d_between_node_indices(Frame3D& frame, int a, int b);
// The n + 1 points (x, r cos 2 pi k / n, r sin 2 pi k / n), k = 0..n, of the frame.
std::vector<Vec3> frame3d_circle_points(const Frame3D& frame, int n, double radius, double x);
// Origin at node a, x towards node b, y and z by complete_local_axes (the
// model's vertical-axis option).
Frame3D frame3d_between_nodes(int a, int b);
// Origin at the node, x along the direction, y and z as above.
Frame3D frame3d_at_node(int node, const Vec3& x_direction);
// The model point at local coordinates of the frame.
Vec3 frame3d_apply(const Frame3D& frame, const Vec3& local);

// A round bar between two points: drawn in the render view (cylinder_draw),
// picked by its projected outline.
struct Cylinder {
    Vec3 p1;
    Vec3 p2;
    float radius = 0.0f;
    bool end_disks = false;
    Quad2D outline;
};

void cylinder_init(Cylinder& cylinder, const Vec3& p1, const Vec3& p2, double radius, bool end_disks);
// Between two points given in a frame's local coordinates.
void cylinder_init_in_frame(Cylinder& cylinder, const Frame3D& frame, const Vec3& local1, const Vec3& local2,
                            double radius, bool end_disks);
void cylinder_between_nodes(Cylinder& cylinder, int a, int b, double radius, bool end_disks);

struct Sphere {
    Vec3 centre;
    float radius = 0.0f;
    Box2D box;   // its projected extent
};

void sphere_init(Sphere& sphere, const Vec3& centre, double radius);

// A box with its own axes: its eight corners, and the projected outlines of
// the three faces that look towards the viewer. With a, b, c the half sizes
// along the axes, corners 0 to 7 are the local points (a, b, c), (a, -b, c),
// (a, -b, -c), (a, b, -c), (-a, b, -c), (-a, -b, -c), (-a, -b, c), (-a, b, c).
struct SolidBox {
    Vec3 corners[8];
    Vec3 axes[3] = {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}};
    Quad2D faces[3];
};

// Centred at `centre`, sizes along the three axes: the first two given (the
// first normalised), the third their cross product.
void solid_box_init(SolidBox& box, const Vec3& centre, const Vec3& sizes, const Vec3 axes[3]);
// From node a to node b (length along the element), `width` along local z
// and `height` along local y of the two nodes' element axes.
void solid_box_between_nodes(SolidBox& box, int a, int b, double width, double height);
void solid_box_add_to_box(const SolidBox& box, Box2D& extent);
// True when the view point lies in one of the three face outlines.
bool solid_box_contains(const SolidBox& box, float x, float y);
void solid_box_reset_axes(SolidBox& box);

// A flat ring (annulus) of the render view about an axis.
struct Ring {
    Vec3 centre;
    double inner_radius = 0.0;
    double outer_radius = 0.0;
    Vec3 direction{1.0, 0.0, 0.0};
};

// The hand wheel drawn on valves: six spokes from the centre to a circle of
// radius 1.15 s in the plane normal to the axis, and a rim between the points
// 0.15 s behind (P1) and ahead of (P2) the centre along the axis: an outer
// cylinder of radius 1.3 s, an inner one of radius s and a ring between the
// two radii at each face; its outline is the rim's, the visible face included.
struct ValveSymbol {
    Cylinder spokes[6];
    Cylinder outer_rim;
    Cylinder inner_rim;
    Ring face1;    // at P1
    Ring face2;    // at P2
    Quad2D outline;
};

void valve_symbol_build(ValveSymbol& valve, const Vec3& centre, const Vec3& axis, double size);
bool valve_symbol_contains(const ValveSymbol& valve, float x, float y);
