#include "elements/straight_element.h"

#include "framework/errors.h"

#include <cmath>

namespace {

// The flexibility added to each rate of a bellows.
constexpr double BELLOWS_RATE_FLOOR = 0.0001;

// Inverts the flexibility [[d, c], [c, r]] of one bending plane.
void invert_plane(double d, double c, double r, double& a, double& b, double& e)
{
    const double det = d * r - c * c;
    KV_ASSERT(det > 0.0);
    a = r / det;
    b = -c / det;
    e = d / det;
}

// Adds an axial strain delta (elongation of the element) as end loads.
void add_elongation(const ElementMatrix& k, double delta, ElementVector& f)
{
    f.f[1] += k.k[1][7] * delta;
    f.f[7] += k.k[7][7] * delta;
}

// Adds a uniform load along the element given by the force it puts on each
// node (half the load): that force at both nodes and the fixed-end moments
// of the transverse part, L/12 times the load.
void add_uniform_load(double length, const Vec3& half, ElementVector& f)
{
    f.f[1] += half.x;
    f.f[2] += half.y;
    f.f[3] += half.z;
    f.f[7] += half.x;
    f.f[8] += half.y;
    f.f[9] += half.z;
    f.f[5] -= length * half.z / 6.0;
    f.f[6] += length * half.y / 6.0;
    f.f[11] += length * half.z / 6.0;
    f.f[12] -= length * half.y / 6.0;
}

// Adds force at a node and its moment about the node for the lever arm.
void add_force_at(ElementVector& global, int base, const Vec3& force, const Vec3& lever)
{
    const Vec3 moment = cross(lever, force);
    global.f[base + 0] += force.x;
    global.f[base + 1] += force.y;
    global.f[base + 2] += force.z;
    global.f[base + 3] += moment.x;
    global.f[base + 4] += moment.y;
    global.f[base + 5] += moment.z;
}

}  // namespace

double element_length(double length)
{
    return length >= MIN_ELEMENT_LENGTH ? length : MIN_ELEMENT_LENGTH;
}

StraightFlexibility pipe_flexibility(double length, double area, double inertia, double modulus,
                                     double shear_modulus, double shear_coefficient)
{
    KV_ASSERT(area > 0.0 && inertia > 0.0 && modulus > 0.0 && shear_modulus > 0.0);
    const double l = element_length(length);
    StraightFlexibility f;
    f.fa = l / (area * modulus);
    f.fs = shear_coefficient * l / (area * shear_modulus);
    f.fb = l / (inertia * modulus);
    f.ft = l / (2.0 * inertia * shear_modulus);
    f.ry = f.rz = f.fb;
    return f;
}

StraightFlexibility bellows_flexibility(double axial, double lateral, double bending, double torsional)
{
    StraightFlexibility f;
    f.fa = 1.0 / (axial + BELLOWS_RATE_FLOOR);
    f.fs = 1.0 / (lateral + BELLOWS_RATE_FLOOR);
    f.fb = 1.0 / (bending + BELLOWS_RATE_FLOOR);
    f.ft = 1.0 / (torsional + BELLOWS_RATE_FLOOR);
    f.ry = f.rz = f.fb;
    return f;
}

StraightFlexibility slip_joint_flexibility(double axial_stiffness, double torsional_stiffness)
{
    KV_ASSERT(axial_stiffness > 0.0 && torsional_stiffness > 0.0);
    StraightFlexibility f;
    f.fa = 1.0 / axial_stiffness;
    f.fs = 0.0;
    f.ft = 1.0 / torsional_stiffness;
    f.fb = 1.0 / RIGID_LINK;
    f.ry = f.rz = f.fb;
    return f;
}

StraightFlexibility rigid_flexibility()
{
    StraightFlexibility f;
    f.fa = f.fs = f.ft = f.fb = 1.0 / RIGID_LINK;
    f.ry = f.rz = f.fb;
    return f;
}

void straight_element_stiffness(const StraightFlexibility& flex, double length, ElementMatrix& k)
{
    k.clear();
    const double l = element_length(length);
    const double d = l * l * flex.fb / 3.0 + flex.fs;
    const double c = flex.coupled ? l * flex.fb / 2.0 : 0.0;

    k.k[1][1] = k.k[7][7] = 1.0 / flex.fa;
    k.set_symmetric(1, 7, -1.0 / flex.fa);
    k.k[4][4] = k.k[10][10] = 1.0 / flex.ft;
    k.set_symmetric(4, 10, -1.0 / flex.ft);

    // Plane of local y: translation y with rotation z.
    double a, b, e;
    invert_plane(d, c, flex.rz, a, b, e);
    k.k[2][2] = k.k[8][8] = a;
    k.set_symmetric(12, 8, b);
    k.k[12][12] = e;
    k.set_symmetric(2, 8, -a);
    k.set_symmetric(2, 12, -b);
    k.set_symmetric(2, 6, b + l * a);
    k.set_symmetric(6, 8, -(l * a + b));
    k.set_symmetric(6, 12, -(l * b + e));
    k.k[6][6] = l * (l * a + b) + (l * b + e);

    // Plane of local z: translation z with rotation y.
    invert_plane(d, -c, flex.ry, a, b, e);
    k.k[3][3] = k.k[9][9] = a;
    k.set_symmetric(11, 9, b);
    k.k[11][11] = e;
    k.set_symmetric(3, 9, -a);
    k.set_symmetric(3, 11, -b);
    k.set_symmetric(3, 5, b - l * a);
    k.set_symmetric(5, 9, l * a - b);
    k.set_symmetric(5, 11, l * b - e);
    k.k[5][5] = l * (l * a - b) - (l * b - e);
}

void straight_element_loads(const StraightElement& element, const LocalAxes& axes, const ElementMatrix& k,
                            const ElementLoadStep& step, const ElementLoadOptions& options, ElementVector& f)
{
    f.clear();
    if (step.modal)
        return;
    const double l = element_length(element.length);
    const double w = element.weight;

    if (step.weight) {
        const Vec3 up = global_axis_in_local(axes, vertical_axis(options));
        const double half = w * l / 2.0;
        add_uniform_load(l, {-half * up.x, -half * up.y, -half * up.z}, f);
        // Pressure thrust of bellows and slip joints.
        const double thrust = element.pressure * element.thrust_area;
        f.f[1] -= thrust;
        f.f[7] += thrust;
    }
    if (element.bourdon && bourdon_in_step(step, options) && element.pressure != 0.0) {
        KV_ASSERT(element.modulus > 0.0 && element.thickness > 0.0);
        const double mean_radius = (element.outside_diameter - element.thickness) / 2.0;
        const double delta = l * mean_radius * (1.0 - 2.0 * element.poisson) * element.pressure / 2.0 /
                             (element.modulus * element.thickness);
        add_elongation(k, delta, f);
    }
    if (step.weight && step.cold_spring && element.cut != 0.0)
        add_elongation(k, -element.cut, f);
    if (step.temperature && element.thermal)
        add_elongation(k, (element.temperature - options.reference_temperature) * element.expansion * l, f);
    if (step.seismic_g) {
        const double g[3] = {step.g.x, step.g.y, step.g.z};
        Vec3 half;
        for (int axis = 0; axis < 3; ++axis) {
            if (g[axis] == 0.0)
                continue;
            const Vec3 u = global_axis_in_local(axes, axis);
            half.x += g[axis] * w * u.x * l / 2.0;
            half.y += g[axis] * w * u.y * l / 2.0;
            half.z += g[axis] * w * u.z * l / 2.0;
        }
        add_uniform_load(l, half, f);
    }
}

double straight_element_mass(double weight, double length)
{
    return weight * length * 0.5 / GRAVITY;
}

double straight_wind_area(double length, double outside_diameter, double insulation_thickness,
                          double insulation_multiplier)
{
    return length * (outside_diameter + 2.0 * insulation_thickness) +
           2.0 * (insulation_multiplier - 1.0) * insulation_thickness * length;
}

Vec3 wind_node_force(double pressure, double area, const Vec3& axis, const Vec3& direction)
{
    const double along = dot(axis, direction);
    const double scale = pressure * area / 2.0;
    return {scale * (direction.x - along * axis.x), scale * (direction.y - along * axis.y),
            scale * (direction.z - along * axis.z)};
}

void valve_added_weight_loads(double weight, const Vec3& offset, const Vec3& node1, const Vec3& node2,
                              const ElementLoadStep& step, const ElementLoadOptions& options,
                              ElementVector& global)
{
    if (weight == 0.0)
        return;
    const double half = weight / 2.0;
    if (step.modal) {
        for (int base : {1, 7})
            for (int i = 0; i < 3; ++i)
                global.f[base + i] += half / GRAVITY;
        return;
    }
    const Vec3 span{(node2.x - node1.x) / 2.0, (node2.y - node1.y) / 2.0, (node2.z - node1.z) / 2.0};
    // Lever arms from each node to the valve centre.
    const Vec3 lever1{offset.x + span.x, offset.y + span.y, offset.z + span.z};
    const Vec3 lever2{offset.x - span.x, offset.y - span.y, offset.z - span.z};
    if (step.weight) {
        Vec3 force;
        (options.z_vertical ? force.z : force.y) = -half;
        add_force_at(global, 1, force, lever1);
        add_force_at(global, 7, force, lever2);
    }
    if (step.seismic_g) {
        const double g[3] = {step.g.x, step.g.y, step.g.z};
        for (int axis = 0; axis < 3; ++axis) {
            if (g[axis] == 0.0)
                continue;
            Vec3 force;
            (axis == 0 ? force.x : axis == 1 ? force.y : force.z) = g[axis] * half;
            add_force_at(global, 1, force, lever1);
            add_force_at(global, 7, force, lever2);
        }
    }
}

double slip_joint_secant_stiffness(double stiffness, double force, double friction)
{
    const double n = std::fabs(force);
    return friction < n ? n * stiffness / (n - friction) : RIGID_LINK;
}

void slip_joint_friction_loads(const Vec3& axis, double force, double moment, ElementVector& global)
{
    const double along[3] = {axis.x, axis.y, axis.z};
    for (int i = 0; i < 3; ++i) {
        global.f[1 + i] -= along[i] * force;
        global.f[4 + i] -= along[i] * moment;
        global.f[7 + i] += along[i] * force;
        global.f[10 + i] += along[i] * moment;
    }
}

void remove_slip_joint_friction(double force, double moment, ElementVector& f)
{
    f.f[1] -= force;
    f.f[7] += force;
    f.f[4] -= moment;
    f.f[10] += moment;
}
