// The convergence tests of the nonlinear iterations and the iteration
// report. After each solution every nonlinear element and data item
// compares the quantities that decide its stiffness with their values of
// the iteration before; each one that has not settled adds 1 to the run's
// count of unconverged nonlinearities, and the one with the largest
// relative change is named in the report.
#pragma once

#include <string>

class AnalysisRun;

// Values below this magnitude count as 0; two values closer than this have
// converged whatever the tolerance.
inline constexpr double CONVERGENCE_ZERO = 1.0e-6;

// Converged when |a - b| < 1.0e-6 (values below 1.0e-6 in magnitude taken as
// 0), or when a is not 0 and |(a - b) / a| is below the run's iteration
// tolerance. Otherwise records the relative change (1.0 when a is 0), the
// type (an element type, or minus a data type), the second id and the node
// index as the iteration's worst item when it is the largest so far, and
// returns false. It does not count: the caller adds to the count.
bool check_convergence(AnalysisRun& run, double a, double b, int type, int id, int node);
// The same on the magnitudes |a| and |b| (stiffnesses and forces whose sign
// does not matter).
bool check_convergence_abs(AnalysisRun& run, double a, double b, int type, int id, int node);
// Adds one unconverged nonlinearity to the iteration's count.
void count_unconverged(AnalysisRun& run);
// Clears the count and the worst item for a new iteration.
void start_iteration(AnalysisRun& run, int iteration);

// The name of the worst item's type: "Slip joint", "Hinge joint", "Ball
// joint", "Tie rod" and the other element types; the data type's name for
// minus a data type.
std::string nonlinear_item_name(int type);
// "Iteration %d: %d nonlinearities not converged", and when an item was
// recorded a second line naming it and its node (node text), such as
// "Largest change 12.5% at Limit stop, node 30"; when the iteration solved
// with the factor of the iteration or step before (the stiffness had not
// changed) a last line "Stiffness unchanged, not factorised again".
std::string iteration_report(const AnalysisRun& run);
