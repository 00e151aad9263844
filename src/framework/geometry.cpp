// Vector lengths, normalisation and the rotation about an axis.
#include "framework/geometry.h"

#include <cmath>

namespace {
thread_local AxisRotation shared_rotation;
}

double length2(double x, double y)
{
    return std::sqrt(x * x + y * y);
}

double length3(double x, double y, double z)
{
    return std::sqrt(x * x + y * y + z * z);
}

void normalize3(double& x, double& y, double& z)
{
    const double length = length3(x, y, z);
    if (length == 0.0)
        return;
    x /= length;
    y /= length;
    z /= length;
}

void normalize3(float& x, float& y, float& z)
{
    double dx = x, dy = y, dz = z;
    normalize3(dx, dy, dz);
    x = static_cast<float>(dx);
    y = static_cast<float>(dy);
    z = static_cast<float>(dz);
}

AxisRotation AxisRotation::about(const Vec3& origin, const Vec3& axis, double angle)
{
    AxisRotation r;
    r.origin = origin;
    const double length = length3(axis.x, axis.y, axis.z);
    if (!(length > 0.0))
        return r;
    const double ux = axis.x / length, uy = axis.y / length, uz = axis.z / length;
    const double c = std::cos(angle), s = std::sin(angle), t = 1.0 - c;
    // R = cI + s[u]x + t u u^T
    r.m[0][0] = c + t * ux * ux;
    r.m[0][1] = t * ux * uy - s * uz;
    r.m[0][2] = t * ux * uz + s * uy;
    r.m[1][0] = t * uy * ux + s * uz;
    r.m[1][1] = c + t * uy * uy;
    r.m[1][2] = t * uy * uz - s * ux;
    r.m[2][0] = t * uz * ux - s * uy;
    r.m[2][1] = t * uz * uy + s * ux;
    r.m[2][2] = c + t * uz * uz;
    return r;
}

Vec3 AxisRotation::apply(const Vec3& p) const
{
    const double x = p.x - origin.x, y = p.y - origin.y, z = p.z - origin.z;
    return {origin.x + m[0][0] * x + m[0][1] * y + m[0][2] * z,
            origin.y + m[1][0] * x + m[1][1] * y + m[1][2] * z,
            origin.z + m[2][0] * x + m[2][1] * y + m[2][2] * z};
}

void rotation_about_axis(const Vec3& origin, const Vec3& axis, double angle)
{
    shared_rotation = AxisRotation::about(origin, axis, angle);
}

const AxisRotation& current_rotation()
{
    return shared_rotation;
}

void reset_current_rotation()
{
    shared_rotation = AxisRotation{};
}

void transform_point(double& x, double& y, double& z)
{
    const Vec3 p = shared_rotation.apply({x, y, z});
    x = p.x;
    y = p.y;
    z = p.z;
}

void transform_point(float& x, float& y, float& z)
{
    const Vec3 p = shared_rotation.apply({x, y, z});
    x = static_cast<float>(p.x);
    y = static_cast<float>(p.y);
    z = static_cast<float>(p.z);
}
