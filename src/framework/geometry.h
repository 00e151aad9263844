// Small vector helpers and the rotation of points about an axis.
#pragma once

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

// A direction (support, wind, axis) shorter than this is no direction.
inline constexpr double MIN_DIRECTION_LENGTH = 1.0e-4;

double length2(double x, double y);
double length3(double x, double y, double z);

// Divides the vector by its length; a zero vector stays as it is.
void normalize3(double& x, double& y, double& z);
void normalize3(float& x, float& y, float& z);

// The rotation by an angle (radian, right-handed: counter-clockwise when the
// axis points at the viewer) about the line through origin along axis,
// by the Rodrigues formula. A zero axis gives the identity.
struct AxisRotation {
    double m[3][3] = {{1, 0, 0}, {0, 1, 0}, {0, 0, 1}};
    Vec3 origin;

    static AxisRotation about(const Vec3& origin, const Vec3& axis, double angle);
    Vec3 apply(const Vec3& point) const;
};

// The shared rotation transform used by the drawing code: one per thread, so
// the graphics thread and the main thread cannot disturb each other.
void rotation_about_axis(const Vec3& origin, const Vec3& axis, double angle);
const AxisRotation& current_rotation();
// Back to no rotation (the state at start-up).
void reset_current_rotation();
// Applies the shared rotation to a point in place.
void transform_point(double& x, double& y, double& z);
void transform_point(float& x, float& y, float& z);
