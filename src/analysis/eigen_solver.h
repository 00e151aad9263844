// The lowest natural modes of a structure: the eigenpairs of K x = w^2 M x
// with K symmetric positive definite (the stiffness of a stable model) and
// M symmetric positive semidefinite (lumped masses: the rotations and the
// massless nodes have none).
//
// The solution works on the mass coordinates y = L^T x, where M = L L^T (the
// square roots of the lumped masses, and the factors of the blocks of offset
// masses): the finite eigenvalues of the pencil are the reciprocals of those
// of the symmetric operator C = L^T K^-1 L, whose size is the number of
// mass coordinates, so the massless equations need no condensation. The
// largest eigenvalues of C are found by implicitly restarted Lanczos
// iterations (Spectra's SymEigsSolver) with one solve on the factor of K per
// step, or, for a small operator, all of them from C built whole. A mode
// shape follows as x = K^-1 L y / nu, mass-normalised (x^T M x = 1).
//
// The Sturm sequence check proves that no mode was missed: the number of
// negative pivots of K - s M is the number of eigenvalues below s (Sylvester's
// law of inertia; the massless directions have none below any s), and must
// equal the number of modes found below s. A mode that the iterations missed
// (a repeated frequency found once, say) is sought again on the operator
// deflated of the modes found; when it cannot be found the solution stops
// with a message, never returns without it.
#pragma once

#include <array>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

// K - shift M as a factor and its solves (on equations 0..size()-1).
class ShiftedSystem {
public:
    virtual ~ShiftedSystem() = default;
    virtual int size() const = 0;
    // Factorises K - shift M and returns the number of its negative pivots,
    // or nothing when a pivot vanished (the shift lies on an eigenvalue).
    // The factor of K itself (shift 0) throws the message of an unstable
    // model instead.
    virtual std::optional<int> factor(double shift) = 0;
    // x := (K - shift M)^-1 x with the last factor.
    virtual void solve(std::span<double> x) = 0;
};

// A mass matrix: the diagonal by equation and 6 x 6 blocks (row-major) on
// the six equations from `first` (a node's X .. RZ).
struct MassMatrix {
    struct Block {
        int first = 0;
        std::array<double, 36> m{};
    };
    std::vector<double> diagonal;
    std::vector<Block> blocks;

    int size() const { return static_cast<int>(diagonal.size()); }
    // y = M x.
    void multiply(std::span<const double> x, std::span<double> y) const;
    // x^T M x.
    double quadratic(std::span<const double> x) const;
};

// The factor L of M = L L^T, column by column: a single equation (count 1,
// v[0] its square root of mass) or the six of a node with a block.
struct MassRoot {
    struct Column {
        int first = 0;
        int count = 1;
        std::array<double, 6> v{};
    };
    std::vector<Column> columns;

    explicit MassRoot(const MassMatrix& mass);
    int size() const { return static_cast<int>(columns.size()); }
    // x (equations) += L y.
    void apply(std::span<const double> y, std::span<double> x) const;
    // y = L^T x.
    void apply_transposed(std::span<const double> x, std::span<double> y) const;
};

// Operators up to this size are solved whole.
inline constexpr int DENSE_EIGEN_LIMIT = 300;

struct ModeRequest {
    int modes = 20;            // the most modes; 0: no limit but the cutoff
    double cutoff = 0.0;       // Hz; 0: no cutoff
    // The largest operator solved whole; a larger one by Lanczos iterations.
    int dense_limit = DENSE_EIGEN_LIMIT;
};

struct EigenCallbacks {
    // A line of progress ("Eigen solution: 240 solutions").
    std::function<void(const std::string&)> progress;
    // Called between solves; may throw to stop the solution.
    std::function<void()> check_cancel;
};

struct ModeSolution {
    std::vector<double> eigenvalues;            // w^2 (rad/s)^2, ascending
    std::vector<std::vector<double>> shapes;    // by equation, x^T M x = 1
    // What the solution has to say (fewer modes than asked and why).
    std::vector<std::string> notes;
    // The last Sturm check: its shift and the count of eigenvalues below it.
    double sturm_shift = 0.0;
    int sturm_count = 0;
};

// The lowest modes the request asks for (at most `modes`, only those below
// the cutoff when one is given), with the Sturm check. Leaves `system`
// factorised at shift 0. Throws:
//   "The model has no mass: it has no natural modes" (no mass coordinate),
//   "No number of modes and no cutoff frequency are given" (both 0),
//   "The eigen solution did not converge" and the Sturm check's message.
ModeSolution lowest_modes(ShiftedSystem& system, const MassMatrix& mass, const ModeRequest& request,
                          const EigenCallbacks& callbacks = {});

// The number of eigenvalues below `shift`: the negative pivots of
// K - shift M, the shift moved up by a relative 1e-9 (a few times) when it
// lies on an eigenvalue.
int eigenvalues_below(ShiftedSystem& system, double shift);

// The Sturm check of a set of eigenvalues against the system: the number
// of eigenvalues of the system below `shift` must be the number of those
// given below it. Throws "The eigen solution missed %d mode(s) below %s Hz:
// the Sturm check counts %d, the solution found %d".
void sturm_check(ShiftedSystem& system, std::span<const double> eigenvalues, double shift);

// Natural frequency (Hz) of an eigenvalue w^2, and the eigenvalue of a
// frequency.
double eigenvalue_frequency(double eigenvalue);
double frequency_eigenvalue(double hertz);
