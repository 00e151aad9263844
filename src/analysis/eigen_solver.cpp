#include "analysis/eigen_solver.h"

#include "framework/errors.h"
#include "framework/text.h"

#include <Eigen/Dense>
#include <Spectra/SymEigsSolver.h>

#include <algorithm>
#include <cmath>
#include <numbers>
#include <string>

namespace {

using Matrix = Eigen::MatrixXd;
using Vector = Eigen::VectorXd;

// A relative gap below which two eigenvalues are taken as one (a repeated
// frequency) when the Sturm check looks for a shift between them.
constexpr double SAME_EIGENVALUE = 1.0e-7;
// Rounds of deflated iterations after a Sturm check that found a mode
// missing.
constexpr int SEARCH_ROUNDS = 4;
// The relative accuracy of the Lanczos iterations on 1 / w^2.
constexpr double LANCZOS_TOLERANCE = 1.0e-11;

// C = L^T K^-1 L on the mass coordinates, deflated of the vectors found
// (y -> P C P y with P = I - Y Y^T), as Spectra's operator.
class MassOperator {
public:
    using Scalar = double;

    MassOperator(ShiftedSystem& system, const MassRoot& root, const std::vector<Vector>& found,
                 const EigenCallbacks& callbacks)
        : system_(system), root_(root), found_(found), callbacks_(callbacks),
          x_(static_cast<std::size_t>(system.size()))
    {
    }
    Eigen::Index rows() const { return root_.size(); }
    Eigen::Index cols() const { return root_.size(); }

    void perform_op(const double* in, double* out) const
    {
        if (callbacks_.check_cancel)
            callbacks_.check_cancel();
        const auto n = static_cast<std::size_t>(root_.size());
        Vector y = Eigen::Map<const Vector>(in, static_cast<Eigen::Index>(n));
        deflate(y);
        std::fill(x_.begin(), x_.end(), 0.0);
        root_.apply({y.data(), n}, x_);
        system_.solve(x_);
        Eigen::Map<Vector> result(out, static_cast<Eigen::Index>(n));
        root_.apply_transposed(x_, {result.data(), n});
        deflate(result);
        if (++solves_ % 200 == 0 && callbacks_.progress)
            callbacks_.progress(c_format("Eigen solution: %d solutions", solves_));
    }

private:
    template <typename V>
    void deflate(V& y) const
    {
        for (const Vector& f : found_)
            y -= f * f.dot(y);
    }

    ShiftedSystem& system_;
    const MassRoot& root_;
    const std::vector<Vector>& found_;
    const EigenCallbacks& callbacks_;
    mutable std::vector<double> x_;
    mutable int solves_ = 0;
};

struct Found {
    double eigenvalue = 0.0;
    Vector y;   // mass coordinates, unit length
};

// The `count` largest eigenvalues of the (deflated) operator.
std::vector<Found> lanczos(ShiftedSystem& system, const MassRoot& root, const std::vector<Vector>& deflated,
                           int count, const EigenCallbacks& callbacks)
{
    const int n = root.size();
    MassOperator op(system, root, deflated, callbacks);
    const int free_size = n - static_cast<int>(deflated.size());
    count = std::min(count, free_size - 1);
    if (count < 1)
        return {};
    const int ncv = std::min(n, std::max(2 * count + 1, count + 20));
    Spectra::SymEigsSolver<MassOperator> eigs(op, count, ncv);
    eigs.init();
    eigs.compute(Spectra::SortRule::LargestAlge, 1000, LANCZOS_TOLERANCE, Spectra::SortRule::LargestAlge);
    if (eigs.info() != Spectra::CompInfo::Successful)
        throw_message("The eigen solution did not converge");
    const Vector nu = eigs.eigenvalues();
    const Matrix vectors = eigs.eigenvectors();
    std::vector<Found> found;
    for (Eigen::Index i = 0; i < nu.size(); ++i) {
        // A vector of the deflated space has no eigenvalue of its own.
        if (!(nu[i] > 0.0))
            continue;
        Vector y = vectors.col(i);
        for (const Vector& f : deflated)
            y -= f * f.dot(y);
        const double length = y.norm();
        if (!(length > 0.5))
            continue;
        found.push_back({1.0 / nu[i], y / length});
    }
    return found;
}

// Every eigenvalue of the operator, built whole from one solve per mass
// coordinate.
std::vector<Found> dense(ShiftedSystem& system, const MassRoot& root, const EigenCallbacks& callbacks)
{
    const int n = root.size();
    const auto size = static_cast<std::size_t>(system.size());
    Matrix c(n, n);
    std::vector<double> x(size);
    Vector e = Vector::Zero(n);
    for (int j = 0; j < n; ++j) {
        if (callbacks.check_cancel)
            callbacks.check_cancel();
        e.setZero();
        e[j] = 1.0;
        std::fill(x.begin(), x.end(), 0.0);
        root.apply({e.data(), static_cast<std::size_t>(n)}, x);
        system.solve(x);
        Vector column(n);
        root.apply_transposed(x, {column.data(), static_cast<std::size_t>(n)});
        c.col(j) = column;
    }
    const Matrix symmetric = 0.5 * (c + c.transpose());
    Eigen::SelfAdjointEigenSolver<Matrix> eigen(symmetric);
    if (eigen.info() != Eigen::Success)
        throw_message("The eigen solution did not converge");
    std::vector<Found> found;
    for (int i = n - 1; i >= 0; --i)
        if (eigen.eigenvalues()[i] > 0.0)
            found.push_back({1.0 / eigen.eigenvalues()[i], eigen.eigenvectors().col(i)});
    return found;
}

std::string hertz_text(double eigenvalue)
{
    return c_format("%.6g", eigenvalue_frequency(eigenvalue));
}

int count_below(const std::vector<Found>& found, double shift)
{
    return static_cast<int>(std::count_if(found.begin(), found.end(), [shift](const Found& f) { return f.eigenvalue < shift; }));
}

// The shift of the check above the first `wanted` eigenvalues found: half
// way to the next distinct one, or just above the last.
double check_shift(const std::vector<Found>& found, int wanted)
{
    const double top = found[static_cast<std::size_t>(wanted - 1)].eigenvalue;
    for (std::size_t j = static_cast<std::size_t>(wanted); j < found.size(); ++j)
        if (found[j].eigenvalue > top * (1.0 + SAME_EIGENVALUE))
            return 0.5 * (top + found[j].eigenvalue);
    return top * (1.0 + SAME_EIGENVALUE);
}

}  // namespace

// ---- Mass --------------------------------------------------------------------------------------

void MassMatrix::multiply(std::span<const double> x, std::span<double> y) const
{
    for (std::size_t i = 0; i < diagonal.size(); ++i)
        y[i] = diagonal[i] * x[i];
    for (const Block& b : blocks)
        for (int i = 0; i < 6; ++i) {
            double sum = 0.0;
            for (int j = 0; j < 6; ++j)
                sum += b.m[static_cast<std::size_t>(6 * i + j)] * x[static_cast<std::size_t>(b.first + j)];
            y[static_cast<std::size_t>(b.first + i)] += sum;
        }
}

double MassMatrix::quadratic(std::span<const double> x) const
{
    std::vector<double> y(x.size());
    multiply(x, y);
    double sum = 0.0;
    for (std::size_t i = 0; i < x.size(); ++i)
        sum += x[i] * y[i];
    return sum;
}

MassRoot::MassRoot(const MassMatrix& mass)
{
    const int n = mass.size();
    // The equations that a block touches are factorised with it.
    std::vector<int> block_of(static_cast<std::size_t>(n), -1);
    std::vector<std::array<double, 36>> merged;
    std::vector<int> merged_first;
    for (const MassMatrix::Block& b : mass.blocks) {
        int index = block_of[static_cast<std::size_t>(b.first)];
        if (index < 0) {
            index = static_cast<int>(merged.size());
            merged.push_back({});
            merged_first.push_back(b.first);
            for (int k = 0; k < 6; ++k)
                block_of[static_cast<std::size_t>(b.first + k)] = index;
        }
        for (std::size_t k = 0; k < 36; ++k)
            merged[static_cast<std::size_t>(index)][k] += b.m[k];
    }
    for (int e = 0; e < n; ++e) {
        const double m = mass.diagonal[static_cast<std::size_t>(e)];
        const int index = block_of[static_cast<std::size_t>(e)];
        if (index >= 0) {
            const int k = e - merged_first[static_cast<std::size_t>(index)];
            merged[static_cast<std::size_t>(index)][static_cast<std::size_t>(7 * k)] += m;
        } else if (m > 0.0) {
            Column c;
            c.first = e;
            c.v[0] = std::sqrt(m);
            columns.push_back(c);
        }
    }
    for (std::size_t b = 0; b < merged.size(); ++b) {
        Eigen::Matrix<double, 6, 6> block;
        for (int i = 0; i < 6; ++i)
            for (int j = 0; j < 6; ++j)
                block(i, j) = 0.5 * (merged[b][static_cast<std::size_t>(6 * i + j)] +
                                     merged[b][static_cast<std::size_t>(6 * j + i)]);
        Eigen::SelfAdjointEigenSolver<Eigen::Matrix<double, 6, 6>> eigen(block);
        const double largest = eigen.eigenvalues().cwiseAbs().maxCoeff();
        for (int k = 0; k < 6; ++k) {
            const double value = eigen.eigenvalues()[k];
            if (!(value > 1.0e-12 * largest))
                continue;
            Column c;
            c.first = merged_first[b];
            c.count = 6;
            for (int i = 0; i < 6; ++i)
                c.v[static_cast<std::size_t>(i)] = std::sqrt(value) * eigen.eigenvectors()(i, k);
            columns.push_back(c);
        }
    }
}

void MassRoot::apply(std::span<const double> y, std::span<double> x) const
{
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const Column& col = columns[c];
        for (int k = 0; k < col.count; ++k)
            x[static_cast<std::size_t>(col.first + k)] += col.v[static_cast<std::size_t>(k)] * y[c];
    }
}

void MassRoot::apply_transposed(std::span<const double> x, std::span<double> y) const
{
    for (std::size_t c = 0; c < columns.size(); ++c) {
        const Column& col = columns[c];
        double sum = 0.0;
        for (int k = 0; k < col.count; ++k)
            sum += col.v[static_cast<std::size_t>(k)] * x[static_cast<std::size_t>(col.first + k)];
        y[c] = sum;
    }
}

// ---- Eigenvalues ---------------------------------------------------------------------------------

double eigenvalue_frequency(double eigenvalue)
{
    return std::sqrt(std::max(0.0, eigenvalue)) / (2.0 * std::numbers::pi);
}

double frequency_eigenvalue(double hertz)
{
    const double w = 2.0 * std::numbers::pi * hertz;
    return w * w;
}

int eigenvalues_below(ShiftedSystem& system, double shift)
{
    double s = shift;
    for (int attempt = 0; attempt < 8; ++attempt) {
        if (const std::optional<int> count = system.factor(s))
            return *count;
        s = shift * (1.0 + 1.0e-9 * std::pow(4.0, attempt));
    }
    throw_message(c_format("The Sturm check cannot factorise the stiffness at %s Hz", hertz_text(shift).c_str()));
}

void sturm_check(ShiftedSystem& system, std::span<const double> eigenvalues, double shift)
{
    const int counted = eigenvalues_below(system, shift);
    const int found =
        static_cast<int>(std::count_if(eigenvalues.begin(), eigenvalues.end(), [shift](double e) { return e < shift; }));
    if (counted != found)
        throw_message(c_format("The eigen solution missed %d mode(s) below %s Hz: the Sturm check counts %d, the "
                               "solution found %d",
                               counted - found, hertz_text(shift).c_str(), counted, found));
}

ModeSolution lowest_modes(ShiftedSystem& system, const MassMatrix& mass, const ModeRequest& request,
                          const EigenCallbacks& callbacks)
{
    const MassRoot root(mass);
    const int n = root.size();
    if (n == 0)
        throw_message("The model has no mass: it has no natural modes");
    if (request.modes <= 0 && request.cutoff <= 0.0)
        throw_message("No number of modes and no cutoff frequency are given");

    ModeSolution solution;
    const int limit = request.modes > 0 ? request.modes : n;
    int wanted = std::min(limit, n);
    int below_cutoff = -1;
    const double cutoff = request.cutoff > 0.0 ? frequency_eigenvalue(request.cutoff) : 0.0;
    if (cutoff > 0.0) {
        below_cutoff = eigenvalues_below(system, cutoff);
        wanted = std::min(wanted, below_cutoff);
    }
    // More modes asked than the mass points have degrees of freedom: the note
    // says which limit leaves fewer (with none below the cutoff, the note
    // below says so).
    if (request.modes > n && wanted > 0) {
        const std::string found = c_format("%d %s found, not %d: ", wanted, wanted == 1 ? "mode is" : "modes are",
                                           request.modes);
        if (wanted < n)
            solution.notes.push_back(found + c_format("the cutoff frequency of %s Hz limits the count (the mass "
                                                      "points give %d degrees of freedom)",
                                                      c_format("%.6g", request.cutoff).c_str(), n));
        else
            solution.notes.push_back(found + c_format("the mass points limit the count (the model has %d degrees of "
                                                      "freedom with mass)",
                                                      n));
    }
    if (system.factor(0.0) != 0)
        throw_message("The stiffness of the modal step is not positive definite");
    if (wanted == 0) {
        solution.notes.push_back(c_format("No natural frequency lies below the cutoff frequency of %s Hz",
                                          c_format("%.6g", request.cutoff).c_str()));
        solution.sturm_shift = cutoff;
        return solution;
    }
    // All modes below the cutoff, or the lowest `wanted`.
    const bool to_cutoff = below_cutoff >= 0 && wanted == below_cutoff;

    std::vector<Found> found;
    const int extra = std::max(3, wanted / 5);
    if (n <= request.dense_limit || wanted + extra >= n - 1) {
        found = dense(system, root, callbacks);
    } else {
        found = lanczos(system, root, {}, wanted + extra, callbacks);
    }
    auto sort = [&found] {
        std::sort(found.begin(), found.end(), [](const Found& a, const Found& b) { return a.eigenvalue < b.eigenvalue; });
    };
    sort();

    for (int round = 0;; ++round) {
        if (static_cast<int>(found.size()) < wanted && !to_cutoff)
            throw_message("The eigen solution did not converge");
        const double shift = to_cutoff ? cutoff : check_shift(found, wanted);
        const int expected = count_below(found, shift);
        const int counted = to_cutoff ? below_cutoff : eigenvalues_below(system, shift);
        solution.sturm_shift = shift;
        solution.sturm_count = counted;
        if (counted == expected)
            break;
        const int missing = counted - expected;
        if (missing < 0 || round >= SEARCH_ROUNDS || static_cast<int>(found.size()) + missing > n) {
            std::vector<double> values;
            for (const Found& f : found)
                values.push_back(f.eigenvalue);
            sturm_check(system, values, shift);
        }
        // The modes missed lie among the lowest of the space left.
        if (system.factor(0.0) != 0)
            throw_message("The stiffness of the modal step is not positive definite");
        std::vector<Vector> deflated;
        for (const Found& f : found)
            deflated.push_back(f.y);
        for (Found& f : lanczos(system, root, deflated, missing + extra, callbacks))
            found.push_back(std::move(f));
        sort();
    }
    if (system.factor(0.0) != 0)
        throw_message("The stiffness of the modal step is not positive definite");

    // The shapes of the modes kept: x = K^-1 L y / nu, then x^T M x = 1 and
    // the largest translation positive.
    const auto size = static_cast<std::size_t>(system.size());
    for (int i = 0; i < wanted; ++i) {
        if (callbacks.check_cancel)
            callbacks.check_cancel();
        const Found& f = found[static_cast<std::size_t>(i)];
        std::vector<double> x(size, 0.0);
        root.apply({f.y.data(), static_cast<std::size_t>(n)}, x);
        system.solve(x);
        double norm = std::sqrt(mass.quadratic(x));
        if (!(norm > 0.0))
            norm = 1.0;
        double largest = 0.0;
        for (std::size_t e = 0; e < size; ++e)
            if (e % 6 < 3 && std::fabs(x[e]) > std::fabs(largest) * (1.0 + 1.0e-9))
                largest = x[e];
        const double scale = (largest < 0.0 ? -1.0 : 1.0) / norm;
        for (double& v : x)
            v *= scale;
        solution.eigenvalues.push_back(f.eigenvalue);
        solution.shapes.push_back(std::move(x));
    }
    return solution;
}
