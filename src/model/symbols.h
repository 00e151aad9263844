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
// Triangle2D are made counter-clockwise; their containment tests accept
// either orientation, as a projection may mirror them.
#pragma once

#include "framework/geometry.h"
#include "model/box2d.h"

// A point of the view plane (view units).
struct Point2 {
    float x = 0.0f;
    float y = 0.0f;
};

// ---- 2D ------------------------------------------------------------------------------

struct Quad2D {
    Point2 p[4];
};

void quad_init(Quad2D& quad, Point2 a, Point2 b, Point2 c, Point2 d);
void quad_add_to_box(const Quad2D& quad, Box2D& box);
// True when the point lies inside or on the edge of the (convex) quad.
bool quad_contains(const Quad2D& quad, float x, float y);
// The projected outline of a round segment between the nodes of index a and
// b with the radii r1 at a and r2 at b (model lengths, which are view
// lengths too): the two side lines of the segment in the view plane. Nodes
// at one projected point give a square of side 2 max(r1, r2) around it.
void quad_between_nodes(int a, int b, double r1, double r2, Quad2D& quad);

struct Triangle2D {
    Point2 p[3];
};

// Corners in any order; stored counter-clockwise.
void triangle_init(Triangle2D& triangle, Point2 a, Point2 b, Point2 c);
bool triangle_contains(const Triangle2D& triangle, float x, float y);
void triangle_add_to_box(const Triangle2D& triangle, Box2D& box);

// A frame of the view plane: an origin, two unit axes and a length (the
// unit of x in frame2d_apply_scaled).
struct LocalFrame2D {
    Point2 origin;
    Point2 u{1.0f, 0.0f};
    Point2 v{0.0f, 1.0f};
    float length = 0.0f;
};

// A frame from an origin and two directions: each is normalised, and one
// shorter than 0.001 is replaced by the unit axis (1, 0) or (0, 1).
void frame2d_init(LocalFrame2D& frame, Point2 origin, Point2 u, Point2 v, float length = 0.0f);
// The frame at node a's projected point, its first axis towards node b's,
// its second axis the first turned by a right angle counter-clockwise, its
// length the distance of the two projected points.
void frame2d_between_nodes(int a, int b, LocalFrame2D& frame);
// The view point at (x, y) of the frame, both in view units.
Point2 frame2d_apply(const LocalFrame2D& frame, float x, float y);
// The same with x in units of the frame's length (0 the origin, 1 the far
// end) and y in view units.
Point2 frame2d_apply_scaled(const LocalFrame2D& frame, float x, float y);
// A frame at a node's projected point whose first axis is the projected
// direction (a model direction), with unit length.
LocalFrame2D symbol_frame_at_node(int node, const Vec3& direction);

// The projected position of a model point (view units).
Point2 project_point(const Vec3& point);
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

void frame3d_identity(Frame3D& frame);
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
// the three faces that look towards the viewer.
struct SolidBox {
    Vec3 corners[8];
    Vec3 axes[3] = {{1.0, 0.0, 0.0}, {0.0, 1.0, 0.0}, {0.0, 0.0, 1.0}};
    Quad2D faces[3];
};

// Centred at `centre`, sizes along each of the three axes (unit vectors).
void solid_box_init(SolidBox& box, const Vec3& centre, const Vec3& sizes, const Vec3 axes[3]);
// From node a to node b (length along the element), `width` along local z
// and `height` along local y of the two nodes' element axes.
void solid_box_between_nodes(SolidBox& box, int a, int b, double width, double height);
void solid_box_add_to_box(const SolidBox& box, Box2D& extent);
// True when the view point lies in one of the three face outlines.
bool solid_box_contains(const SolidBox& box, float x, float y);
void solid_box_reset_axes(SolidBox& box);
