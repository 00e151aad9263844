// The rotational springs of ball and hinge joints in the analysis: the
// spring rule of the nonlinear iterations, the joints' element matrices, and
// the joints' state in a run.
//
// A spring has an input stiffness k, a rotation limit L (none from 5.0e29)
// and a friction torque F. After each solution, with theta its rotation and
// M the moment through it:
//   - the friction moment is F (|M| when |M| < F), against M;
//   - while M <= k L + F: a spring with friction that M cannot overcome
//     sticks: 1.0e12 when |theta| <= 1.0e-6, else c F / |theta| (c = 2 for
//     the ball joint, 1.01 for the hinge), which drives theta to 0; any
//     other spring takes k;
//   - beyond the limit (M > k L + F) it takes (M - F) / L, the secant that
//     holds the rotation at the limit.
// In the first operating case the secant M k / (M - F) (rigid when M <= F)
// is kept for a later modal step.
#pragma once

#include "analysis_core/analysis_run.h"
#include "analysis_core/local_matrix.h"

inline constexpr double JOINT_RIGID = 1.0e12;
inline constexpr double BALL_STICKING_FACTOR = 2.0;
inline constexpr double HINGE_STICKING_FACTOR = 1.01;
// The limit reports stop from this iteration on.
inline constexpr int JOINT_LIMIT_REPORT_ITERATIONS = 500;

struct SpringInput {
    double stiffness = 1.0;     // above 0 (an input of 0 is taken as 1.0)
    double limit = 1.0e30;      // rad
    double friction = 0.0;      // in-lb
    bool nonlinear() const { return friction != 0.0 || limit < 5.0e29; }
};

// The new stiffness of a spring after a solution: the rule above for the
// magnitudes of its rotation and moment, the spring's current friction
// moment magnitude and the sticking factor c.
double spring_stiffness_after(const SpringInput& in, double rotation, double moment, double friction_moment,
                              double sticking_factor);
// The operating secant of the first operating case: M k / (M - F), rigid
// when F >= M.
double spring_operating_stiffness(double current, double moment, double friction);

// The ball joint's friction split between local y and z by the ratio
// rho = |Mz| / |My| of the bending moments: the y part F / sqrt(rho^2 + 1),
// the z part the rest of F, each at most the moment about its axis and
// against it. rho is 1 when both moments are 0 and 1.0e30 when My is 0.
void ball_bending_friction(double friction, double my, double mz, double& fy, double& fz);

// The element matrices in the joint's axes (x the joint's axis).
void ball_joint_matrix(double torsional, double bending, ElementMatrix& k);
void hinge_matrix(double stiffness, ElementMatrix& k);

// A joint's state in a run (one per element; the hinge uses the torsion
// spring only).
struct JointSpringState {
    double current = 1.0;        // in the matrix
    double operating = 1.0;      // kept from the first operating case
    double previous[2] = {};     // rotations of the last update (ball bending: about y, z)
};
struct JointState : CopiedState<JointState> {
    bool ready = false;
    LocalAxes axes;              // x along the joint's axis
    SpringInput torsion, bending;
    JointSpringState torsion_state, bending_state;
    double moment[3] = {};       // x (torsion), y, z of the last update
    double friction[3] = {};     // friction moments about x, y, z
};
