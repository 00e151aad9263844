// Profile store and LDLᵀ solver.
//
// Column j holds rows first_row(j)..j contiguously, the diagonal last. The
// factorisation is the active-column (left-looking) form: column j is
// reduced by the columns to its left and then scaled by their pivots;
// nothing right of j is touched, so the assembled diagonal of j is still at
// hand when its pivot is tested. Columns go in panels that share a first
// row (a node's six columns), copied row-wise into a small buffer so that
// the reduction runs as vector operations across the panel's columns, each
// finished column's row read once for the whole panel. On processors with
// AVX2 the same code runs with four-wide vectors.
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
#include "analysis_core/profile_store.h"

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

namespace {

// Columns are factored in panels of consecutive columns that share their
// first row (a node's six columns, as a rule), at most this many.
constexpr int PANEL = 8;

// Vectors of two doubles (any x86-64) and of four (AVX2).
using Vector2 = double __attribute__((vector_size(16)));
using Vector4 = double __attribute__((vector_size(32)));

// Unaligned vector loads and stores (by reference: an AVX vector passed by
// value would change the calling convention of these helpers).
template <typename V>
inline __attribute__((always_inline)) void load(V& v, const double* p)
{
    __builtin_memcpy(&v, p, sizeof(V));
}
template <typename V>
inline __attribute__((always_inline)) void store(double* p, const V& v)
{
    __builtin_memcpy(p, &v, sizeof(V));
}

// The columns of a store as raw arrays: column j holds rows first[j]..j at
// values + start[j].
struct Columns {
    int n;
    const int* first;
    const std::size_t* start;
    double* values;
    const int* panel_first;
    const int* panel_last;
    double* inverse_pivot;  // 1 / d_j of the finished columns
    double* column(int j) const { return values + start[j]; }
};

// Rows i .. i + TA - 1 of the panel buffer t (row r at t[(r - f) * PANEL])
// less the products with the finished columns x[a] (row r at x[a][r]) over
// rows r0..end-1; the panel's columns are the vector lanes, so each buffer
// row is loaded once for TA rows and no sums need gathering across lanes.
template <typename V, int TA>
inline __attribute__((always_inline)) void update_rows(const double* const* x, int r0, int end, int i, int f,
                                                      double* t)
{
    constexpr int NV = PANEL / (sizeof(V) / sizeof(double));
    V acc[TA][NV];
    for (int a = 0; a < TA; ++a)
        for (int v = 0; v < NV; ++v) acc[a][v] = V{};
    for (int r = r0; r < end; ++r) {
        const double* row = t + static_cast<std::size_t>(r - f) * PANEL;
        V g[NV];
        for (int v = 0; v < NV; ++v) load(g[v], row + v * (PANEL / NV));
        for (int a = 0; a < TA; ++a) {
            const double l = x[a][r];
            for (int v = 0; v < NV; ++v) acc[a][v] += l * g[v];
        }
    }
    for (int a = 0; a < TA; ++a) {
        double* row = t + static_cast<std::size_t>(i + a - f) * PANEL;
        for (int v = 0; v < NV; ++v) {
            V g;
            load(g, row + v * (PANEL / NV));
            g -= acc[a][v];
            store(row + v * (PANEL / NV), g);
        }
    }
}

// Left-looking LDLᵀ by panels. A panel J of columns j0..j1 with first row
// f is copied row-wise into a small buffer. Its rows i in f..j0-1 come
// panel by panel: g_ij = a_ij - sum over r < i of l_ri g_rj, the rows r
// below the row panel as a block, the few inside it one by one. Then each
// column of J in turn takes the rows inside J, is scaled to l_ij = g_ij /
// d_i and gives its pivot d_j = a_jj - sum of l_ij g_ij.
template <typename V>
inline __attribute__((always_inline)) int factor_panels(const Columns& c, double tolerance,
                                                        std::vector<double>& buffer)
{
    constexpr int TA = sizeof(V) == 32 ? 4 : 2;
    for (int j0 = 1; j0 <= c.n;) {
        const int j1 = c.panel_last[j0];
        const int width = j1 - j0 + 1;
        const int f = c.first[j0];
        const int height = j1 - f + 1;
        buffer.assign(static_cast<std::size_t>(height) * PANEL, 0.0);
        double* t = buffer.data();
        auto at = [t, f](int r, int b) -> double& { return t[static_cast<std::size_t>(r - f) * PANEL + b]; };
        for (int b = 0; b < width; ++b) {
            const double* column = c.column(j0 + b);
            for (int r = f; r <= j0 + b; ++r) at(r, b) = column[r - f];
        }
        for (int ia = f; ia < j0;) {
            const int ib = std::min(c.panel_last[ia], j0 - 1);
            const int fi = c.first[c.panel_first[ia]];
            const int r0 = std::max(fi, f);
            // x[a][r] is row r of column ia + a.
            const double* x[PANEL];
            for (int a = 0; a <= ib - ia; ++a) x[a] = c.column(ia + a) - fi;
            int a = 0;
            for (; a + TA <= ib - ia + 1; a += TA) update_rows<V, TA>(x + a, r0, ia, ia + a, f, t);
            for (; a <= ib - ia; ++a) update_rows<V, 1>(x + a, r0, ia, ia + a, f, t);
            // The rows of the row panel itself, in order; lanes past the
            // panel's width are 0 and stay so.
            for (int i = ia + 1; i <= ib; ++i)
                for (int r = ia; r < i; ++r) {
                    const double l = x[i - ia][r];
                    double* row_i = &at(i, 0);
                    const double* row_r = &at(r, 0);
                    for (int b = 0; b < PANEL; ++b) row_i[b] -= l * row_r[b];
                }
            ia = ib + 1;
        }
        // The rows above the panel are final g. cross[i][b] = sum over
        // them of l_ri g_rb = g_ri g_rb / d_r; then they are scaled to l.
        constexpr int NV = PANEL / (sizeof(V) / sizeof(double));
        V sums[PANEL][NV];
        for (int i = 0; i < PANEL; ++i)
            for (int v = 0; v < NV; ++v) sums[i][v] = V{};
        for (int r = f; r < j0; ++r) {
            double* row = &at(r, 0);
            const double inverse = c.inverse_pivot[r];
            V g[NV];
            for (int v = 0; v < NV; ++v) load(g[v], row + v * (PANEL / NV));
            for (int i = 0; i < PANEL; ++i) {
                const double l = row[i] * inverse;
                for (int v = 0; v < NV; ++v) sums[i][v] += l * g[v];
            }
            for (int v = 0; v < NV; ++v) {
                g[v] *= inverse;
                store(row + v * (PANEL / NV), g[v]);
            }
        }
        double cross[PANEL][PANEL];
        for (int i = 0; i < PANEL; ++i)
            for (int v = 0; v < NV; ++v) store(&cross[i][v * (PANEL / NV)], sums[i][v]);
        // The panel's own triangle, column by column.
        for (int b = 0; b < width; ++b) {
            const int j = j0 + b;
            for (int i = j0; i < j; ++i) {
                double g = at(i, b) - cross[i - j0][b];
                for (int r = j0; r < i; ++r) g -= at(r, i - j0) * at(r, b);
                at(i, b) = g;
            }
            const double a_jj = at(j, b);
            if (!(a_jj > 0.0) || !std::isfinite(a_jj)) return j;
            double d = a_jj - cross[b][b];
            for (int i = j0; i < j; ++i) {
                const double l = at(i, b) / at(i, i - j0);
                d -= l * at(i, b);
                at(i, b) = l;
            }
            if (!(d > tolerance * a_jj) || !std::isfinite(d)) return j;
            at(j, b) = d;
            c.inverse_pivot[j] = 1.0 / d;
        }
        for (int b = 0; b < width; ++b) {
            double* column = c.column(j0 + b);
            for (int r = f; r <= j0 + b; ++r) column[r - f] = at(r, b);
        }
        j0 = j1 + 1;
    }
    return 0;
}

int factor_default(const Columns& c, double tolerance, std::vector<double>& buffer)
{
    return factor_panels<Vector2>(c, tolerance, buffer);
}

#if defined(__x86_64__)
__attribute__((target("avx2"))) int factor_avx2(const Columns& c, double tolerance, std::vector<double>& buffer)
{
    return factor_panels<Vector4>(c, tolerance, buffer);
}
#endif

}  // namespace

int ProfileStore::factor()
{
    KV_ASSERT(!factored_);
    const int n = equation_count();
    std::vector<int> panel_first(static_cast<std::size_t>(n) + 1), panel_last(static_cast<std::size_t>(n) + 1);
    for (int j0 = 1; j0 <= n;) {
        int j1 = j0;
        while (j1 < n && j1 + 1 - j0 < PANEL && first_row(j1 + 1) == first_row(j0)) ++j1;
        for (int j = j0; j <= j1; ++j) {
            panel_first[static_cast<std::size_t>(j)] = j0;
            panel_last[static_cast<std::size_t>(j)] = j1;
        }
        j0 = j1 + 1;
    }
    std::vector<double> buffer;
    std::vector<double> inverse_pivot(static_cast<std::size_t>(n) + 1);
    const Columns c{n, first_row_.data(), column_start_.data(), values_.data(), panel_first.data(),
                    panel_last.data(), inverse_pivot.data()};
#if defined(__x86_64__)
    const int unstable = __builtin_cpu_supports("avx2") ? factor_avx2(c, PIVOT_TOLERANCE, buffer)
                                                        : factor_default(c, PIVOT_TOLERANCE, buffer);
#else
    const int unstable = factor_default(c, PIVOT_TOLERANCE, buffer);
#endif
    factored_ = unstable == 0;
    return unstable;
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
