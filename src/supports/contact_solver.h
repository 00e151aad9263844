// The contacts of a static load case solved together: the gaps, stops,
// rests, guides and rod hangers (Contact, support_analysis.h), and the check
// of the state a case converged to.
//
// The state splits into a discrete part, which an outer iteration settles,
// and the friction, which an inner one solves with the discrete part held.
//
// Outer: the status of every stop (open or closed at a limit), the states
// of the other nonlinear items (their own updates), and the friction limits
// g = mu N from the normal forces of the last solution, a fixed point on
// the normal forces:
//   P. D. Panagiotopoulos, "A nonlinear programming approach to the
//   unilateral contact- and friction-boundary value problem in the theory
//   of elasticity", Ingenieur-Archiv 44, 1975, 421-432;
//   N. Kikuchi, J. T. Oden, "Contact Problems in Elasticity", SIAM 1988,
//   ch. 10.
// N is the force with which the contact presses (a stop that pulls
// carries no friction). Each limit moves by its own step along mu N - g,
// the secant of its last two moves (Aitken's relaxation, one limit at a
// time: longer for a limit that creeps, shorter for one that turns back
// and forth; contact_solver.cpp names the sources). Without friction the stops make a linear
// complementarity problem whose matrix (the pipe's flexibility at the
// contacts plus 1/k of the stops) is positive definite, so its state is
// unique; changing every contradicted status at once (a block principal
// pivot) usually settles in a few solutions but can cycle. The block
// principal pivoting method of Judice and Pires keeps the block changes
// while they reduce the number of contradicted statuses and otherwise
// changes a single one (Murty's rule, which ends):
//   J. J. Judice, F. M. Pires, "A block principal pivoting algorithm for
//   large-scale strictly monotone linear complementarity problems",
//   Computers & Operations Research 21(5), 1994, 587-596;
//   K. G. Murty, "Note on a Bard-type scheme for solving the complementarity
//   problem", Opsearch 11, 1974, 123-130.
// A discrete state seen before (other than the last one) is a cycle, and
// outer iterations that do not reduce the count of unsettled contacts are
// a stagnation: either turns to single changes and relaxed limits. Once
// the statuses stand and the limits' own steps stall, the limits move
// together instead, by Anderson's mixing of the last few outer iterations
// (their normal forces depend on each other's friction along the piping;
// contact_solver.cpp names the sources), and wait for it in the inner
// iterations. The
// single changes are made one in each region of the piping (regions far
// apart hardly act on each other), and one in the whole case once those
// come back to a state seen. At the start of a case, while the block
// changes reduce the contradicted statuses, the outer update follows every
// whole Newton step of the friction (the statuses of a case start far from
// its solution); once they stall it waits for the friction to be solved,
// or for a whole step that leaves fewer contacts' friction unsettled than
// half the statuses it contradicts.
//
// Inner: with the statuses and the limits held, friction is a Tresca
// problem, which is convex: the least of
//   Pi(u) = 1/2 u'K u - f'u + sum_c psi_c(s_c(u)),
// K and f those of the held states, s_c the slip of contact c and psi_c the
// regularised friction potential, 1/2 k |s|^2 for |s| <= g/k and
// g |s| - g^2 / (2k) beyond, whose gradient is the return-mapped Coulomb
// force (k s sticking, g s/|s| sliding). It is once differentiable with a
// Lipschitz gradient, so Pi has one minimiser, found by a semismooth Newton
// method: each solution of the linearised state is the Newton point, and an
// exact line search on Pi along the step (alpha = 1 when it decreases Pi
// enough, Armijo) makes it converge from any start:
//   L. Qi, J. Sun, "A nonsmooth version of Newton's method", Mathematical
//   Programming 58, 1993, 353-367;
//   J.-S. Pang, L. Qi, "A globally convergent Newton method for convex SC1
//   minimization problems", J. Optimization Theory and Applications 85,
//   1995, 633-648;
//   P. Wriggers, "Computational Contact Mechanics", 2nd ed., Springer 2006,
//   ch. 5 (return mapping, penalty regularisation of the stick);
//   J. C. Simo, T. A. Laursen, "An augmented Lagrangian treatment of
//   contact problems involving friction", Computers & Structures 42, 1992,
//   97-116.
// Three things keep the steps long where the line search alone would creep
// from kink to kink. A step cut short takes its own length in each region
// of the piping (its runs of nodes), which decouples runs that turn back
// at different points of the step; the lengths are searched from the
// common one and from whole steps, and the lower energy kept. A sliding
// contact whose Newton step would carry it back past where it started is
// linearised as sticking for the next solution (the prediction of a
// primal-dual active set method); should such a step not lower Pi at all,
// those contacts are held where they stand instead (the law's own tangent
// there). After a step cut short, a contact whose linearisation was
// further than g from its law at the Newton point is damped for the next
// one when it slides (springs of g / |s| from no slip, the secant of its
// law, which resist it along its slip as across it) and held when it
// sticks. And the limits follow the normal forces halfway after each inner
// solution, so that the outer iterations have little left to settle.
//
// The stick is regularised: k = g / delta (at most a rigid link's), so a
// sticking contact slips at most delta, 1e-5 of the case's largest motion
// and never more than 0.001 in, narrowed to that in stages
// (contact_solver.cpp); with the rigid stiffness alone the quadratic zone
// of psi would be a few 1e-9 in wide. The stops stay rigid: the outer
// iteration moves them, never the line search.
//
// Solved at once, a contact's slip is measured from the unloaded piping.
// The outer iteration has no argument that it ends where statuses and
// friction limits drive each other; a case that it does not settle follows
// its load path instead (static_analysis.cpp): its load in increments from
// the state of its start, each solved by these iterations from the settled
// state of the one before, with the friction limits held at mu N of that
// state. Each increment's friction is then a Tresca problem, which the
// inner iteration solves, and its statuses settle by Murty's rule; at the
// whole load the limits are brought to mu N by the outer iteration, from
// next to their values. Along the path each contact's slip is measured
// from an anchor that it drags along as it slides, the incremental form of
// Coulomb's law whose state depends on the path (Wriggers 2006, ch. 5;
// T. A. Laursen, "Computational Contact and Impact Mechanics", Springer
// 2002, ch. 5).
//
// A case has converged when the outer iteration changes nothing, the
// limits moved by less than the iteration tolerance (and by less than a
// twentieth of it where they stood above mu N, so that no converged
// friction is above mu N by more than the forces' precision), and the last Newton
// step was whole with the friction forces within that tolerance of their
// law. Every solution, inner or outer, counts against the iteration limit.
#pragma once

#include "framework/one_based.h"
#include "supports/support_analysis.h"

#include <cstdint>
#include <string>
#include <vector>

// Forces below this (lb) are no force; a node closer than this to a limit
// (inch) has not passed it: the least tolerances, which grow with the
// model's forces and motions.
inline constexpr double CONTACT_FORCE_ZERO = 1.0e-6;
inline constexpr double CONTACT_POSITION_ZERO = 1.0e-9;

struct ContactTolerances {
    double force = CONTACT_FORCE_ZERO;
    double position = CONTACT_POSITION_ZERO;
};

struct ContactEntry {
    int row = 0;
    int dtype = 0;
    Contact contact;
};

// The states the contacts of a case converged to, by row (has: whether
// a row has one), for another case to start from; with the point in its
// plane of friction that a load path from there ties each contact's
// friction to (where its spring gives the force it had).
struct ContactStarts {
    std::vector<ContactState> state;
    std::vector<char> has;
    std::vector<Vec3> anchor;
};

// One sample of the friction limits' fixed point: the entries sampled (the
// closed contacts with friction) and for each the limit g, the residual
// mu N - g (aimed inside the band in which it counts as settled) and the
// weight of that residual (1 over its tolerance).
struct LimitSample {
    std::vector<double> limit;
    std::vector<double> residual;
    std::vector<double> weight;
    std::vector<std::size_t> members;
};

// The case's contacts in row order and the iterations' state.
struct ContactSet : CopiedState<ContactSet> {
    std::vector<ContactEntry> entries;
    std::vector<int> entry_of_row;   // by row; -1 for none
    // By entry: whether the last update left it settled, and how its
    // friction is linearised next.
    std::vector<char> settled;
    std::vector<FrictionLinearisation> linearisation;
    ContactTolerances zero;
    // The slip a sticking contact may make (in) and the one it narrows to;
    // 0 before the first solution.
    double slip = 0.0;
    double final_slip = 0.0;
    // Where the friction is linearised (the iterations' point), and
    // whether the last friction step solved its problem there.
    OneBased<double> point;
    bool has_point = false;
    // A friction step's Newton step and its product with the stiffness,
    // kept from one step to the next rather than made anew.
    OneBased<double> newton_step, newton_product;
    bool inner_solved = false;
    // Whether the outer updates wait for the friction to be solved.
    bool nested = false;

    // The region of each node (by analysis index less 1) for the lengths
    // of a step cut short, and their count.
    std::vector<int> region;
    int regions = 0;
    // The pivoting rule's state: the fewest contradicted statuses so far
    // and the block changes left before single ones; the states seen.
    int fewest = -1;
    int block_tries = 0;
    // Single changes by region, or (lone) one in the whole case.
    bool single = false;
    bool lone = false;
    std::vector<std::uint64_t> seen;
    // By entry, the fraction of mu N - g its friction limit moved by at its
    // last outer update, the mu N - g of that update and whether that was
    // the limit's last change (its secant, contact_outer_update); the
    // fewest unsettled contacts of an outer iteration so far and the outer
    // iterations since; whether every limit is relaxed.
    std::vector<double> limit_step;
    std::vector<double> limit_residual;
    std::vector<char> limit_secant;
    int least_unsettled = -1;
    int stalled = 0;
    bool relax = false;
    // The last samples of the limits while the statuses stand
    // (contact_solver.cpp, accelerate_limits).
    std::vector<LimitSample> limit_history;

    // The states the contacts of the case start from, by row (none: a
    // contact's own start).
    ContactStarts start;
    // Whether the case follows a load path: its slips are measured from
    // anchors that follow the sliding contacts from one increment to the
    // next, with one width of the sticking zone for the whole path.
    bool path = false;
    // Whether the friction limits of a load path's increment stay as they
    // were given (every increment but the path's end).
    bool limits_given = false;
    // By entry: closed when the increment started, so that it held its
    // given limit throughout (one that closes starts without friction).
    std::vector<char> held_limit;

    void clear();
};

// Adds a contact of the current case (contact_reset calls it).
void contact_register(AnalysisRun& run, const Contact& contact, int dtype, int row);
// Empties the case's set (before the items are reset for a case); with
// `start` its contacts start from those states (contact_start). On a load
// path (`path`) each contact's friction is tied where it gave the force its
// start state had, or where the unloaded piping stands for a contact
// without one; its sticking contacts may slip `path_slip` (0: as the case's
// first solution gives).
void clear_contact_set(AnalysisRun& run, const ContactStarts* start = nullptr, bool path = false,
                       double path_slip = 0.0);
// The width of the sticking zone the case's iterations narrowed to (0
// before its first solution): the one a load path of the case keeps.
double contact_final_slip(const AnalysisRun& run);
// The case's contacts go on from the state they stand in (a case that
// stands on the converged state of another), at once or along a load path:
// each contact's friction is tied where its spring gives the force it has
// (contact_settle_increment), so that the friction of that state acts on
// and the slips are measured from there.
void contact_path_from_state(AnalysisRun& run);
// After an increment of a load path has settled: the anchor of each contact
// with friction moves to where its friction's spring now stands (a sliding
// contact drags it along; a sticking one leaves it), and that of an open
// contact to where the contact stands, so that it takes friction only from
// where it closes.
void contact_settle_increment(AnalysisRun& run);
// The friction limits mu N of the case's contacts (by entry; 0 for an open
// one) at the run's solution.
std::vector<double> contact_limit_targets(AnalysisRun& run);
// Whether the friction of the settled state departs from Coulomb's law with
// the normal forces of that state by more than `share` of mu N: a contact
// that slid at a limit held below it, or a friction above it (the limits an
// increment of a load path held were far from the ones it came to).
bool contact_friction_lags(AnalysisRun& run, double share);
// Starts the iterations of an increment of a load path. From a settled
// solution (`from_solution`) each contact's friction is linearised by its
// law there, which is the point of the increment's first Newton step (a
// contact that slid in the increment before taken to slide on with
// `slide_on`), and its limit is the one given (by entry), held through the
// increment, whose friction is then a Tresca problem; without `limits`
// each is mu N there and follows mu N as in a case solved at once. At the
// path's start the limits are those of the start states and the first
// solution is the point.
void contact_start_increment(AnalysisRun& run, bool from_solution, bool slide_on, const std::vector<double>* limits);
// The states the contacts of the case stand in.
ContactStarts contact_states(AnalysisRun& run);
// A contact reset for a case starts from the state the case's start holds
// for its row, where it holds one.
void contact_start(AnalysisRun& run, int row, ContactState& state);
// The contact a row registered for the case (null before): the stop and
// guide rows assemble it each iteration without working out its
// directions again.
const Contact* registered_contact(const AnalysisRun& run, int row);
// Whether the contact of a row settled in the last update.
bool contact_settled(const AnalysisRun& run, int row);

// After a solution: the inner iteration's step. The solution of the
// linearised state is the Newton point from the iterations' point; the
// line search may take the run's solution back towards the point. True when
// the friction problem of the held states is solved there (the outer
// update follows); otherwise the friction is linearised at the new point
// and every contact not settled is counted.
bool contact_friction_step(AnalysisRun& run);
// The outer update of the contacts at the run's solution: their statuses by
// the pivoting rule and the friction limits from the normal forces. Each
// contact's verdict is kept for contact_settled; those not settled are
// named in the iteration report.
void contact_outer_update(AnalysisRun& run);
// Linearises the friction of every contact at the run's solution (after an
// outer update that changed anything).
void contact_relinearise(AnalysisRun& run);

// The coefficients c of the least |b - A c| for the columns of A (the
// oldest first), by the modified Gram-Schmidt QR: the mixing of the friction
// limits' samples (contact_solver.cpp). While the columns are near
// dependent (the condition of R above 1e6), the oldest is dropped and its
// coefficient is 0, as H. F. Walker and P. Ni drop them ("Anderson
// acceleration for fixed-point iterations", SIAM J. Numerical Analysis 49,
// 2011, 1715-1735). Every column has b's length.
std::vector<double> least_squares(std::vector<std::vector<double>> columns, const std::vector<double>& b);

// The check of a converged state, from the displacements of the run's
// solution and the forces the contacts report: each stop within its limits
// and pushing only where it is closed, towards the inside; the friction at
// most mu N, and mu N against the slip where the contact slipped more than
// a sticking one may. The tolerances are relative to the largest load and
// displacement of the case. Each failure names the item and its node, and
// its motions and loads in the model's units.
std::vector<std::string> check_contact_states(AnalysisRun& run);
