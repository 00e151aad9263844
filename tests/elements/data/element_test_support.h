// What the element kernel tests share: a pipe section worked out by hand,
// Gauss-Legendre quadrature, a dense linear solver, the turn of a local
// element matrix to global axes and a small assembly of elements.
#pragma once

#include "analysis_core/local_matrix.h"
#include "closeness.h"
#include "elements/straight_element.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <vector>

namespace element_test {

// A 6 in standard-weight steel pipe: OD 6.625 in, wall 0.28 in, E 27.9e6 psi,
// nu 0.3. Area, inertia and the thick-wall shear coefficient of a tube
// (alpha = 4/3 (ro^3 - ri^3) / ((ro - ri)(ro^2 + ri^2)), 2 for a thin wall).
struct Pipe6 {
    double od = 6.625, t = 0.28, e = 27.9e6, nu = 0.3;
    double ro = od / 2, ri = ro - t;
    double area = M_PI * (ro * ro - ri * ri);
    double inertia = M_PI / 4 * (std::pow(ro, 4) - std::pow(ri, 4));
    double g = e / (2 * (1 + nu));
    double alpha = 4.0 / 3.0 * (ro * ro * ro - ri * ri * ri) / ((ro - ri) * (ri * ri + ro * ro));
};

// A 100 in length of that pipe at 470 degF (expansion 6.5e-6 per degF),
// 1000 psi, 1.5 lb/in, taking the Bourdon strain; its stiffness into k.
inline StraightElement pipe_element(const Pipe6& p, ElementMatrix& k)
{
    StraightElement e;
    e.length = 100;
    straight_element_stiffness(pipe_flexibility(e.length, p.area, p.inertia, p.e, p.g, p.alpha), e.length, k);
    e.outside_diameter = p.od;
    e.thickness = p.t;
    e.modulus = p.e;
    e.poisson = p.nu;
    e.expansion = 6.5e-6;
    e.weight = 1.5;
    e.temperature = 470;
    e.pressure = 1000;
    e.bourdon = true;
    return e;
}

// Integrates f over [a, b] with an n-point Gauss-Legendre rule (nodes by
// Newton's iteration on the Legendre polynomial). For the smooth integrands
// over an arc of at most pi, 40 points reach the rounding level.
template <typename F>
double gauss_legendre(F&& f, double a, double b, int n = 40)
{
    double sum = 0.0;
    const double half = (b - a) / 2, mid = (a + b) / 2;
    for (int i = 1; i <= n; ++i) {
        double x = std::cos(M_PI * (i - 0.25) / (n + 0.5)), dp = 0.0;
        for (int iteration = 0; iteration < 100; ++iteration) {
            double p0 = 1.0, p1 = x;
            for (int k = 2; k <= n; ++k) {
                const double p2 = ((2 * k - 1) * x * p1 - (k - 1) * p0) / k;
                p0 = p1;
                p1 = p2;
            }
            dp = n * (x * p1 - p0) / (x * x - 1);
            const double step = p1 / dp;
            x -= step;
            if (std::fabs(step) < 1e-16)
                break;
        }
        sum += 2 / ((1 - x * x) * dp * dp) * f(mid + half * x);
    }
    return sum * half;
}

using Dense = std::vector<std::vector<double>>;

// Solves a x = b by Gaussian elimination with partial pivoting.
inline std::vector<double> solve(Dense a, std::vector<double> b)
{
    const size_t n = b.size();
    for (size_t p = 0; p < n; ++p) {
        size_t best = p;
        for (size_t i = p + 1; i < n; ++i)
            if (std::fabs(a[i][p]) > std::fabs(a[best][p]))
                best = i;
        std::swap(a[p], a[best]);
        std::swap(b[p], b[best]);
        for (size_t i = p + 1; i < n; ++i) {
            const double f = a[i][p] / a[p][p];
            for (size_t j = p; j < n; ++j)
                a[i][j] -= f * a[p][j];
            b[i] -= f * b[p];
        }
    }
    std::vector<double> x(n);
    for (size_t i = n; i-- > 0;) {
        double s = b[i];
        for (size_t j = i + 1; j < n; ++j)
            s -= a[i][j] * x[j];
        x[i] = s / a[i][i];
    }
    return x;
}

// Global component c of local axis m.
inline double cosine(const LocalAxes& axes, int m, int c)
{
    const Vec3& v = m == 0 ? axes.x : m == 1 ? axes.y : axes.z;
    return c == 0 ? v.x : c == 1 ? v.y : v.z;
}

// Lambda^T K Lambda, Lambda the block diagonal of the direction cosines
// (rows: local axes).
inline ElementMatrix to_global(const ElementMatrix& k, const LocalAxes& axes)
{
    ElementMatrix out;
    for (int i = 1; i <= 12; ++i)
        for (int j = 1; j <= 12; ++j) {
            const int bi = (i - 1) / 3 * 3, bj = (j - 1) / 3 * 3;
            for (int m = 0; m < 3; ++m)
                for (int n = 0; n < 3; ++n)
                    out.k[i][j] += cosine(axes, m, i - 1 - bi) * k.k[bi + 1 + m][bj + 1 + n] * cosine(axes, n, j - 1 - bj);
        }
    return out;
}

// The stiffness of a few nodes with six freedoms each (node n has the
// equations 6n-5..6n, 1-based), and its load vector.
struct Structure {
    int nodes;
    Dense k;
    std::vector<double> f;
    explicit Structure(int count) : nodes(count), k(6 * count + 1, std::vector<double>(6 * count + 1)), f(6 * count + 1) {}

    void add(int n1, int n2, const ElementMatrix& local, const LocalAxes& axes)
    {
        const ElementMatrix kg = to_global(local, axes);
        auto equation = [&](int i) { return i <= 6 ? 6 * (n1 - 1) + i : 6 * (n2 - 1) + i - 6; };
        for (int i = 1; i <= 12; ++i)
            for (int j = 1; j <= 12; ++j)
                k[equation(i)][equation(j)] += kg.k[i][j];
    }

    // The displacements by equation number with node `anchor` held.
    std::vector<double> solve_anchored(int anchor) const
    {
        std::vector<int> free;
        for (int i = 1; i <= 6 * nodes; ++i)
            if ((i - 1) / 6 + 1 != anchor)
                free.push_back(i);
        Dense a(free.size(), std::vector<double>(free.size()));
        std::vector<double> b(free.size());
        for (size_t i = 0; i < free.size(); ++i) {
            b[i] = f[free[i]];
            for (size_t j = 0; j < free.size(); ++j)
                a[i][j] = k[free[i]][free[j]];
        }
        const std::vector<double> x = solve(a, b);
        std::vector<double> u(6 * nodes + 1);
        for (size_t i = 0; i < free.size(); ++i)
            u[free[i]] = x[i];
        return u;
    }
};

// Expects v[1..12] to equal the given terms within tol.
inline void expect_terms(const ElementVector& v, const std::array<double, 13>& terms, double tol, const char* what)
{
    for (int i = 1; i <= 12; ++i)
        EXPECT_NEAR(v.f[i], terms[static_cast<size_t>(i)], tol) << what << " term " << i;
}

}  // namespace element_test
