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

// Sliding in a plane of friction, the force -mu N t opposes the slip along
// t; across it (in the plane, normal to t) a slip u changes the direction of
// the force by u / s at the slip s so far, which a spring of mu N / s
// stands for. Without that spring the direction of the next solution was
// taken whole from the last: where the pipe is soft across the slip (a
// guide at a bend's end, held by a hanger), the small part of the force
// across the slip threw the pipe past it, the next force pointed back, and
// the iterations went round a cycle of stick and slide without end.
struct ContactState : RunState {
    std::array<int, 2> status{};
    bool sliding = false;
    Vec3 friction;                   // the sliding friction force on node a
    double across_stiffness = 0.0;   // the spring across the slip, mu N / s
    bool first_slip = false;         // slid in no solution yet: held across
    double applied_before = 0.0;     // the friction applied in the solution before the last
    double limit_before = -1.0;      // and the mu N that solution gave (-1: none yet)
    // What the last solution was made with, which its forces are recovered
    // with after the update has moved on (set by each update).
    bool solved_valid = false;
    Vec3 solved_friction;
    double solved_across = 0.0;
};

// The state at the start of a case: held at a limit of 0 (the lower one
// first), open otherwise; sticking, no friction. The contact joins the
// case's contact set (contact_solver.h) as the item of type dtype on row.
void contact_reset(AnalysisRun& run, const Contact& contact, ContactState& state, int dtype, int row);
// The stiffness of the closed stops and, while sticking in contact, of the
// friction springs; in the structure pass every coupling.
void contact_stiffness(AnalysisRun& run, const Contact& contact, const ContactState& state);
// The loads of the closed stops at their limits and the sliding friction.
void contact_loads(AnalysisRun& run, const Contact& contact, const ContactState& state);
// After a solution: the new status of each direction and the friction
// state; true when nothing changed (within the run's tolerance).
bool contact_update(AnalysisRun& run, const Contact& contact, ContactState& state, int dtype, int row);

// What a solution asks of a contact: the next status of each direction
// (the stop of a closed direction pulling by more than force_zero lets go,
// an open one passed by more than position_zero closes) and whether its
// friction turns from sticking to sliding or back.
struct ContactChanges {
    std::array<int, 2> status{};
    bool friction_flips = false;
};
ContactChanges contact_changes(const AnalysisRun& run, const Contact& contact, const ContactState& state,
                               double force_zero, double position_zero);

struct ContactForces {
    std::array<double, 2> normal{};   // along each n on node a (signed)
    Vec3 friction;                    // in the friction plane on node a
    Vec3 total;                       // the whole force on node a
};
// The forces of the contact on node a in the run's solution.
ContactForces contact_forces(const AnalysisRun& run, const Contact& contact, const ContactState& state);
