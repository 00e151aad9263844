// Small vector helpers and the rotation of points about an axis.
#pragma once

#include <cmath>

struct Vec3 {
    double x = 0.0, y = 0.0, z = 0.0;
};

// A direction (support, wind, axis) shorter than this is no direction.
inline constexpr double MIN_DIRECTION_LENGTH = 1.0e-4;

// Sums, products and lengths of vectors.
inline Vec3 plus(const Vec3& a, const Vec3& b) { return {a.x + b.x, a.y + b.y, a.z + b.z}; }
inline Vec3 minus(const Vec3& a, const Vec3& b) { return {a.x - b.x, a.y - b.y, a.z - b.z}; }
inline Vec3 scaled(const Vec3& a, double s) { return {a.x * s, a.y * s, a.z * s}; }
inline double dot(const Vec3& a, const Vec3& b) { return a.x * b.x + a.y * b.y + a.z * b.z; }
inline Vec3 cross(const Vec3& a, const Vec3& b)
{
    return {a.y * b.z - a.z * b.y, a.z * b.x - a.x * b.z, a.x * b.y - a.y * b.x};
}
// Inline: the contacts' iterations ask for it millions of times.
inline double norm(const Vec3& a) { return std::sqrt(dot(a, a)); }
// Component i (0 x, 1 y, 2 z).
inline double component(const Vec3& v, int i) { return i == 0 ? v.x : i == 1 ? v.y : v.z; }

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
