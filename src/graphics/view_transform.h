// The view transform: the model is shown in a parallel projection seen from
// a viewpoint direction, with a model direction (the up vector) drawn
// vertical. This keeps the viewpoint, the up vector and the 4x4 view matrix,
// projects model points and directions into view coordinates (model lengths
// in the plane of the view, x to the right and y up), and turns the view in
// steps about the screen's vertical and horizontal axes.
//
// Matrices are 16 floats in column-major order, as OpenGL takes them:
// m[c * 4 + r] is row r of column c. The view's rotation is also given to
// the symbols (view_state().rotation) and the projected global axes
// (view_state().axes), so that everything drawn follows the same view.
#pragma once

#include "framework/geometry.h"
#include "model/view_drawing.h"

#include <array>

using Matrix4 = std::array<float, 16>;

struct ViewTransform {
    Vec3 viewpoint{1.0, 1.0, 1.0};   // as given (any length but zero)
    Vec3 view_direction;             // the viewpoint as a unit vector
    Vec3 up{0.0, 1.0, 0.0};          // unit
    Matrix4 view_matrix{};
    Matrix4 rotation_matrix{};       // the work matrix of the step rotations
};

ViewTransform& view_transform();

// The angle of one step of the view rotations: 0.05236 rad (3 degrees).
inline constexpr double ROTATION_STEP = 0.05236;

// Chooses the up vector for the model's vertical axis and rebuilds the view:
// Z vertical: (0, 0, 1), but (-1, 0, 0) when hypot(x, y) is below 1e-12
// (looking straight down or up); Y vertical: (0, 1, 0), but (0, 0, -1) when
// hypot(x, z) is below 1e-12. A zero viewpoint is refused (nothing changes).
void set_viewpoint(double x, double y, double z);
// Stores the viewpoint, its unit vector, the view matrix looking along it
// from that point towards the origin with the current up vector, and the
// projected axes.
void build_view_matrix(double x, double y, double z);
// The standard look-at matrix: z = unit(eye - centre), x = unit(up x z),
// y = unit(z x x) (a zero vector is left unscaled) as its rows, followed by
// a translation by -eye.
Matrix4 look_at_matrix(const Vec3& eye, const Vec3& centre, const Vec3& up);
// Post-multiplies by a translation.
void matrix_translate(Matrix4& m, double tx, double ty, double tz);
// The rotation by an angle (radian) about an axis (scaled to unit length;
// zero gives the identity), by Rodrigues' formula, into the rotation matrix.
void rotation_matrix(double angle, double x, double y, double z);
Vec3 rotate_point(const Vec3& p);

// View coordinates of a model point (depth dropped).
void project_point(double x, double y, double z, float& sx, float& sy);
// The projection of a model direction scaled to unit length; one shorter
// than 1e-5 is left as it is.
void project_direction(double dx, double dy, double dz, float& sx, float& sy);

// The projected global axes: for each of X, Y and Z its direction in the
// view and its projected length (view_state().axes), and their bounds.
void axes_directions();
// One axis: components below 0.01 in magnitude count as 0; the length is
// kept before the components are made unit, so that an axis seen at an
// angle is drawn shorter (and one seen end-on has length 0).
void axis_direction(AxisProjection& axis, double x, double y, double z);

// The mean projected position of all nodes; (0, 0) without nodes.
void projected_centroid(float& x, float& y);

// Turns the view by steps (the sign gives the direction) about the up
// vector, or about the screen's horizontal axis; the model's centroid keeps
// its place on the screen. A vertical turn past the vertical negates the up
// vector so that the picture does not stand on its head.
void rotate_view_horizontally(int steps);
void rotate_view_vertically(int steps);
