// Profile store and LDLᵀ solver.
//
// Column j holds rows first_row(j)..j contiguously, the diagonal last. The
// factorisation is the active-column (left-looking) form: column j is
// reduced by dot products with the columns to its left, each a contiguous
// run in both columns, then scaled by the pivots; nothing right of j is
// touched, so the assembled diagonal of j is still at hand when its pivot is
// tested.
//
// Pivot tolerance. The test is d_j <= PIVOT_TOLERANCE * a_jj, with a_jj the
// assembled diagonal. Rigid supports and links put 1.0e12 on the diagonal
// next to ordinary pipe stiffnesses of 1e2..1e8, so a legitimately soft
// direction held only through a rigid term gives ratios down to about
// 1e2 / 1e12 = 1e-10; that must pass. A mechanism gives a pivot that is
// exactly 0 or round-off: the backward error of LDLᵀ bounds it by a small
// multiple of the machine epsilon (1.1e-16) times the diagonal, about 1e-15
// to 1e-14 of a_jj. 1.0e-12 lies between with a margin of 100 on each side.
// A pivot below it would also carry a relative error of eps / 1e-12 ≈ 1e-4
// or more, so the numbers in that direction would not be worth signing even
// if the direction were meant to be that soft: a stiffness under 1 lb/in
// behind a 1.0e12 rigid term. Zero, negative, NaN and infinite pivots and
// diagonals fail the same test.
#include "analysis/profile_store.h"

#include "framework/errors.h"

#include <algorithm>
#include <cmath>

ProfileLayout::ProfileLayout(int equation_count)
{
    KV_ASSERT(equation_count >= 0);
    first_row_.resize(static_cast<std::size_t>(equation_count) + 1);
    for (int j = 0; j <= equation_count; ++j) first_row_[static_cast<std::size_t>(j)] = j;
}

void ProfileLayout::include(std::span<const int> equations)
{
    int lowest = 0;
    for (int e : equations) {
        KV_ASSERT(e >= 0 && e <= equation_count());
        if (e != 0 && (lowest == 0 || e < lowest)) lowest = e;
    }
    if (lowest == 0) return;
    for (int e : equations) {
        int& first = first_row_[static_cast<std::size_t>(e)];
        if (e != 0 && lowest < first) first = lowest;
    }
}

void ProfileLayout::include_element(const int (&equations)[13])
{
    include(std::span<const int>(equations + 1, 12));
}

ProfileStore::ProfileStore(const ProfileLayout& layout)
{
    const int n = layout.equation_count();
    first_row_.resize(static_cast<std::size_t>(n) + 1);
    column_start_.resize(static_cast<std::size_t>(n) + 2);
    std::size_t total = 0;
    for (int j = 1; j <= n; ++j) {
        first_row_[static_cast<std::size_t>(j)] = layout.first_row(j);
        column_start_[static_cast<std::size_t>(j)] = total;
        total += static_cast<std::size_t>(j - layout.first_row(j) + 1);
    }
    column_start_[static_cast<std::size_t>(n) + 1] = total;
    values_.assign(total, 0.0);
}

void ProfileStore::add(int row, int column, double value)
{
    if (row == 0 || column == 0) return;
    KV_ASSERT(!factored_);
    KV_ASSERT(row >= 1 && row <= column && column <= equation_count());
    KV_ASSERT(row >= first_row(column));
    values_[position(row, column)] += value;
}

void ProfileStore::add_element(const int (&equations)[13], const double (&k)[13][13])
{
    // Every pair (a, b) whose global row is not below its global column
    // lands in the upper triangle; when two slots share an equation both
    // orders count, as the congruence with the slot-to-equation map says.
    for (int a = 1; a <= 12; ++a) {
        const int row = equations[a];
        if (row == 0) continue;
        for (int b = 1; b <= 12; ++b) {
            const int column = equations[b];
            if (column == 0 || row > column) continue;
            add(row, column, a <= b ? k[a][b] : k[b][a]);
        }
    }
}

void ProfileStore::clear_values()
{
    std::fill(values_.begin(), values_.end(), 0.0);
    factored_ = false;
}

double ProfileStore::value(int row, int column) const
{
    KV_ASSERT(!factored_);
    if (row > column) std::swap(row, column);
    KV_ASSERT(row >= 1 && column <= equation_count());
    if (row < first_row(column)) return 0.0;
    return values_[position(row, column)];
}

int ProfileStore::factor()
{
    KV_ASSERT(!factored_);
    const int n = equation_count();
    double* v = values_.data();
    for (int j = 1; j <= n; ++j) {
        const int fj = first_row(j);
        double* cj = v + column_start_[static_cast<std::size_t>(j)];  // row r at cj[r - fj]
        const double assembled = cj[j - fj];
        if (!(assembled > 0.0) || !std::isfinite(assembled)) return j;

        // g_ij = a_ij - sum over r < i of l_ri g_rj, for the rows i of column j.
        for (int i = fj + 1; i < j; ++i) {
            const int fi = first_row(i);
            const int r0 = std::max(fi, fj);
            const double* li = v + column_start_[static_cast<std::size_t>(i)] + (r0 - fi);
            const double* gj = cj + (r0 - fj);
            double sum = 0.0;
            for (int r = 0, count = i - r0; r < count; ++r) sum += li[r] * gj[r];
            cj[i - fj] -= sum;
        }
        // l_ij = g_ij / d_i and d_j = a_jj - sum of l_ij g_ij.
        double d = assembled;
        for (int i = fj; i < j; ++i) {
            const double g = cj[i - fj];
            const double l = g / v[diagonal(i)];
            d -= l * g;
            cj[i - fj] = l;
        }
        if (!(d > PIVOT_TOLERANCE * assembled) || !std::isfinite(d)) return j;
        cj[j - fj] = d;
    }
    factored_ = true;
    return 0;
}

void ProfileStore::solve(OneBased<double>& x) const
{
    KV_ASSERT(factored_);
    const int n = equation_count();
    KV_ASSERT(x.size() == n);
    if (n == 0) return;
    double* b = &x[1] - 1;  // b[e] is equation e
    const double* v = values_.data();
    // L y = b, column by column as dot products.
    for (int j = 1; j <= n; ++j) {
        const int fj = first_row(j);
        const double* lj = v + column_start_[static_cast<std::size_t>(j)];
        double sum = 0.0;
        for (int r = fj; r < j; ++r) sum += lj[r - fj] * b[r];
        b[j] -= sum;
    }
    for (int j = 1; j <= n; ++j) b[j] /= v[diagonal(j)];
    // Lᵀ x = z, column by column as updates of the rows above.
    for (int j = n; j >= 1; --j) {
        const int fj = first_row(j);
        const double* lj = v + column_start_[static_cast<std::size_t>(j)];
        const double xj = b[j];
        for (int r = fj; r < j; ++r) b[r] -= lj[r - fj] * xj;
    }
}

std::string unstable_model_message(int equation, const std::string& node_text)
{
    static const char* const directions[6] = {"X", "Y", "Z", "RX", "RY", "RZ"};
    KV_ASSERT(equation >= 1);
    return "Model is unstable at node " + node_text + " in the " +
           directions[equation_direction(equation)] + " direction";
}
