// The analysis of supports: springs between a node and the ground or a
// connected node, forces put on them, the displacements across them, and
// the contact of gaps and stops with stick-slip friction that guides, limit
// stops and rod hangers share.
//
// Signs: a support's loads are the forces and moments it puts on the pipe at
// its node, in global axes. A spring of stiffness k along a unit direction d
// from node a to the ground (or to a connected node b) puts -k (u_a - u_b).d
// along d on node a and the opposite on node b.
#pragma once

#include "analysis_core/analysis_run.h"
#include "framework/geometry.h"
#include "model/elements.h"

#include <array>
#include <vector>

// The node index of a row's node in the run's model.
int support_node(const AnalysisRun& run, int row);

// A spring of stiffness k along the unit direction d between node a and node
// b (0: the ground), on the translations, or with `rotational` on the
// rotations. In the structure pass it couples a and b whatever k is.
void add_line_spring(AnalysisRun& run, int a, int b, const Vec3& d, double k, bool rotational = false);
// A spring of stiffness k on one global direction 0..5 between a and b.
void add_axis_spring(AnalysisRun& run, int a, int b, int direction, double k);
// value d on node a and -value d on node b (b 0: none), as forces or, with
// `rotational`, as moments.
void add_line_load(AnalysisRun& run, int a, int b, const Vec3& d, double value, bool rotational = false);

// The local axes of the pipe at a node: x along the pipe (the first element
// ending there), y and z by the model's local-axis rule; the global axes
// when no element with a length ends at the node.
LocalAxes pipe_axes_at_node(const Model& model, int node, bool z_vertical);
// The unit vector of the vertical axis (Y, or Z with the option).
Vec3 vertical_axis(bool z_vertical);

// Records a change of state that keeps an item from having converged (the
// relative change 1.0 for the iteration report); returns false.
bool note_state_change(AnalysisRun& run, int dtype, int row, int node);

// ---- Contact with gaps, stops and friction -------------------------------------------------

// One direction a contact acts in: the unit normal n and the limits of the
// relative displacement s = (u_a - u_b).n between which node a moves freely
// (lower below upper, or both equal for a contact that holds both ways;
// NO_LIMIT for none).
struct ContactDirection {
    Vec3 n;
    double lower = 0.0;
    double upper = 0.0;
};

// A contact: node a on the ground or on node b, one or two orthogonal
// normals, the stiffness of the stops (and of the sticking friction) and the
// friction coefficient. Friction acts in the plane normal to the normals.
struct Contact {
    int a = 0;
    int b = 0;
    std::vector<ContactDirection> directions;
    double stiffness = 0.0;
    double mu = 0.0;
};

enum ContactStatus : int {
    CONTACT_OPEN = 0,
    CONTACT_LOWER = -1,   // at the lower limit: the stop pushes node a along +n
    CONTACT_UPPER = 1,    // at the upper limit: the stop pushes node a along -n
    CONTACT_BOTH = 2,     // lower = upper: held both ways
};

// The state of a contact in a static case. The stops' statuses are the
// discrete part; the friction is a law of the slip s (the relative motion
// in the plane of friction, from the contact's anchor) once its limit
// g = mu N is known: with the
// stiffness k it sticks with, the force on node a is -k s while k |s| <= g
// and -g s / |s| beyond (a return-mapped Coulomb law, regularised where k
// is below the stops' stiffness; contact_solver.h). The iterations
// linearise that law at the slip where they stand: sticking, springs k
// along the plane; sliding, the force of the slip so far as a load and,
// across the slip, the spring g / |s| that turns it with the slip (the
// derivative of the force's direction). A limit not known yet (below 0)
// sticks with the stops' stiffness.
struct ContactState : CopiedState<ContactState> {
    std::array<int, 2> status{};
    double limit = -1.0;             // g, lb
    double stick = 0.0;              // k, lb/in
    bool sliding = false;
    // Not sliding: the springs' stiffness and their force at no slip.
    double spring = 0.0;
    Vec3 preload;
    // Sliding: the force on node a and the spring across the slip.
    Vec3 friction;
    double across_stiffness = 0.0;
    // The unit vector in the plane of friction normal to the sliding force
    // (none when the plane is a line), worked out with the friction.
    Vec3 across;
    // Where the slip is measured from: none for a case solved at once (the
    // slip is the whole relative motion from the unloaded piping); along a
    // load path, the point the friction's spring is tied to, which follows
    // the contact as it slides (contact_solver.h).
    Vec3 anchor;
};

// The state at the start of a case: held at a limit of 0 (the lower one
// first), open otherwise; the friction's limit not known. The contact joins
// the case's contact set (contact_solver.h) as the item of type dtype on
// row.
void contact_reset(AnalysisRun& run, const Contact& contact, ContactState& state, int dtype, int row);
// The stiffness of the closed stops and of the friction's linearisation;
// in the structure pass every coupling.
void contact_stiffness(AnalysisRun& run, const Contact& contact, const ContactState& state);
// The loads of the closed stops at their limits and of the friction's
// linearisation.
void contact_loads(AnalysisRun& run, const Contact& contact, const ContactState& state);
// After a solution: whether the contact settled, as the case's contact set
// decided (contact_solver.h makes the changes of every contact).
bool contact_update(const AnalysisRun& run, int row);

// The next status of each direction that a solution asks: the stop of a
// closed direction pulling by more than force_zero lets go, an open one
// passed by more than position_zero closes.
std::array<int, 2> contact_changes(const AnalysisRun& run, const Contact& contact, const ContactState& state,
                                   double force_zero, double position_zero);
bool any_closed(const Contact& contact, const ContactState& state);

// The friction as a law of the slip s (in the plane of friction): the
// force p(s) that resists it (the force on node a is -p), the potential
// whose gradient it is, and the linearisation the state holds. The limit
// must be known.
Vec3 friction_law_force(const ContactState& state, const Vec3& s);
double friction_potential(const ContactState& state, const Vec3& s);
Vec3 friction_linear_force(const Contact& contact, const ContactState& state, const Vec3& s);
// That linearisation as a law: force + spring s + across_spring (s.w) w.
struct FrictionLinear {
    Vec3 force;
    double spring = 0.0;
    Vec3 across;
    double across_spring = 0.0;
    Vec3 at(const Vec3& s) const
    {
        return plus(plus(force, scaled(s, spring)), scaled(across, across_spring * dot(s, across)));
    }
};
FrictionLinear friction_linear(const Contact& contact, const ContactState& state);
// How the friction is linearised at a slip s outside the sticking zone:
// by the law (sliding: Newton's tangent), sticking regardless (springs from
// no slip), held where it stands (springs about the law's force at s), or
// damped: springs of g / |s| from no slip, which give the law's force at s
// and resist a change of the slip along it as much as across it (the
// secant of the law; contact_solver.cpp). Inside the zone it sticks, but
// for a contact taken to slide on: at the edge of the zone, the law's
// tangent on its sliding side.
enum FrictionLinearisation : char { FRICTION_BY_LAW, FRICTION_STICKS, FRICTION_HELD, FRICTION_DAMPED, FRICTION_SLIDES };
void friction_linearise(const Contact& contact, ContactState& state, const Vec3& s,
                        FrictionLinearisation how = FRICTION_BY_LAW);
// The part of a relative motion in the plane of friction.
Vec3 in_friction_plane(const Contact& contact, const Vec3& relative);
// The slip of a contact in the run's solution: the relative motion in the
// plane of friction less the contact's anchor.
Vec3 contact_slip(const AnalysisRun& run, const Contact& contact, const ContactState& state);

struct ContactForces {
    std::array<double, 2> normal{};   // along each n on node a (signed)
    Vec3 friction;                    // in the friction plane on node a
    Vec3 total;                       // the whole force on node a
};
// The forces of the contact on node a in the run's solution.
ContactForces contact_forces(const AnalysisRun& run, const Contact& contact, const ContactState& state);
