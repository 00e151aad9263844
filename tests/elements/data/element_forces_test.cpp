// End forces: equilibrium with the element's loads for any displacements,
// the sign convention, and the envelope, square-sum, resultant, results-file
// and export forms.
#include "element_test_support.h"

#include "analysis_core/element_forces.h"
#include "elements/straight_element.h"

#include <algorithm>
#include <random>

using namespace element_test;

namespace {

// A 100 in pipe sloping along (0.6, 0.8, 0) whose nodes have the equations
// 1..6 and 7..12 of a small global vector.
struct SlopedPipe {
    Pipe6 p;
    double l = 100;
    LocalAxes axes;
    ElementMatrix k;
    StraightElement e;
    const int dofs[13] = {0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12};

    SlopedPipe() : e(pipe_element(p, k))
    {
        axes.x = {0.6, 0.8, 0};
        complete_local_axes(axes, false);
        e.thrust_area = 20;
        e.cut = 0.25;
    }
};

}  // namespace

TEST(ElementForces, StraightEndForcesBalanceEveryLoad)
{
    const SlopedPipe s;
    std::mt19937 random(7);
    std::uniform_real_distribution<double> any(-0.05, 0.05);
    std::vector<double> u(13);
    for (int i = 1; i <= 12; ++i)
        u[i] = any(random);

    ElementLoadOptions options;
    options.bourdon_effect = true;
    ElementLoadStep weight, hot, cold, quake;
    weight.weight = true;
    hot.temperature = true;
    cold.weight = cold.cold_spring = true;
    quake.seismic_g = true;
    quake.g = {0.4, 0.1, -0.3};
    const double w = s.e.weight * s.l;
    // The total external load of each step in local axes (weight and seismic
    // g; thrust, Bourdon, temperature and cold spring are internal).
    auto total = [&](const ElementLoadStep& step) {
        Vec3 q;
        if (step.weight) {
            const Vec3 up = global_axis_in_local(s.axes, 1);
            q = {-w * up.x, -w * up.y, -w * up.z};
        }
        if (step.seismic_g) {
            const double g[3] = {step.g.x, step.g.y, step.g.z};
            for (int a = 0; a < 3; ++a) {
                const Vec3 d = global_axis_in_local(s.axes, a);
                q.x += g[a] * w * d.x, q.y += g[a] * w * d.y, q.z += g[a] * w * d.z;
            }
        }
        return q;
    };
    for (const ElementLoadStep& step : {weight, hot, cold, quake}) {
        ElementVector f, out;
        straight_element_loads(s.e, s.axes, s.k, step, options, f);
        element_end_forces(s.k, f, s.axes, s.dofs, u, out);
        const Vec3 q = total(step);
        const double scale = 1e-9 * (s.p.e * s.p.area);
        // Forces: out2 - out1 + Q = 0.
        EXPECT_NEAR(out.f[7] - out.f[1] + q.x, 0, scale);
        EXPECT_NEAR(out.f[8] - out.f[2] + q.y, 0, scale);
        EXPECT_NEAR(out.f[9] - out.f[3] + q.z, 0, scale);
        // Moments about node 1: node 2 at (L, 0, 0), the load at L/2.
        EXPECT_NEAR(out.f[10] - out.f[4], 0, scale * s.l);
        EXPECT_NEAR(out.f[11] - s.l * out.f[9] - out.f[5] - s.l / 2 * q.z, 0, scale * s.l);
        EXPECT_NEAR(out.f[12] + s.l * out.f[8] - out.f[6] + s.l / 2 * q.y, 0, scale * s.l);
    }

    // Both nodes outside the analysis: the load vector alone, node 2 negated.
    ElementVector f, out;
    straight_element_loads(s.e, s.axes, s.k, weight, options, f);
    const int none[13] = {};
    element_end_forces(s.k, f, s.axes, none, u, out);
    for (int i = 1; i <= 12; ++i)
        EXPECT_EQ(out.f[i], i <= 6 ? f.f[i] : -f.f[i]);

    // Pulled apart by 0.01 in along its axis, the pipe shows the tension
    // EA 0.01 / L at both ends; the displacement matrix gives it as well.
    std::vector<double> stretch(13);
    stretch[7] = 0.6 * 0.01, stretch[8] = 0.8 * 0.01;
    ElementMatrix matrix;
    element_end_forces(s.k, ElementVector{}, s.axes, s.dofs, stretch, out, &matrix);
    const double tension = s.p.e * s.p.area * 0.01 / s.l;
    EXPECT_NEAR(out.f[1], tension, 1e-9 * tension);
    EXPECT_NEAR(out.f[7], tension, 1e-9 * tension);
    EXPECT_NEAR(matrix.k[7][7] * stretch[7] + matrix.k[7][8] * stretch[8], tension, 1e-9 * tension);
    EXPECT_NEAR(matrix.k[1][7] * stretch[7] + matrix.k[1][8] * stretch[8], tension, 1e-9 * tension);
}

TEST(ElementForces, RecordsResultantsAndWrittenForms)
{
    ElementVector a, b, envelope, squares;
    for (int i = 1; i <= 12; ++i) {
        a.f[i] = i % 2 ? i : -i;
        b.f[i] = i % 3 ? -2.0 * i : 0.5;
    }
    for (const ElementVector& v : {a, b}) {
        envelope_end_forces(v, envelope);
        square_sum_end_forces(v, squares);
    }
    for (int i = 1; i <= 12; ++i) {
        EXPECT_EQ(envelope.f[i], i % 3 ? -2.0 * i : a.f[i]) << i;
        EXPECT_EQ(squares.f[i], a.f[i] * a.f[i] + b.f[i] * b.f[i]) << i;
    }

    // Resultants: transverse displacement (3, 4) -> 5, moments (6, 8) -> 10;
    // a purely axial element writes four zeros; a transverse or moment
    // resultant a millionth of the other end's counts as 0.
    const LocalAxes axes;
    ElementVector forces;
    forces.f[5] = 6, forces.f[6] = 8, forces.f[11] = 6e-6, forces.f[12] = 0;
    EndResultants r = element_end_resultants(axes, axes, {0.1, 3, 4}, {0, 3e-6, 0}, forces);
    EXPECT_DOUBLE_EQ(r.transverse1, 5);
    EXPECT_DOUBLE_EQ(r.moment1, 10);
    EXPECT_EQ(r.transverse2, 0.0);
    EXPECT_EQ(r.moment2, 0.0);
    ElementVector axial;
    axial.f[1] = axial.f[7] = 5000;
    axial.f[6] = 0.01;   // below 1e-5 of the axial force
    r = element_end_resultants(axes, axes, {0.2, 1e-8, 0}, {0.3, 0, 0}, axial);
    EXPECT_EQ(r.transverse1 + r.moment1 + r.transverse2 + r.moment2, 0.0);
    // Node 2 of a bend has its own axes: a displacement along the tangent
    // there is axial, not transverse.
    LocalAxes turned;
    turned.x = {0, 1, 0}, turned.y = {-1, 0, 0};
    r = element_end_resultants(axes, turned, {0, 0, 0}, {0, 2, 0}, ElementVector{});
    EXPECT_EQ(r.transverse2, 0.0);

    EXPECT_EQ(end_force_value(9e-31), 0.0f);
    EXPECT_EQ(end_force_value(-9e-31), 0.0f);
    EXPECT_EQ(end_force_value(2e-30), 2e-30f);
    EXPECT_EQ(end_force_value(-1234.5), -1234.5f);

    ElementMatrix m;
    for (int i = 1; i <= 12; ++i)
        m.k[i][i] = i;
    m.k[1][12] = -0.5;
    const std::string text = element_stiffness_text("10", "20A", "Pipe", m);
    EXPECT_EQ(text.substr(0, text.find('\n') + 1), "Element: 10 - 20A,Type :Pipe\n");
    const std::string first = "1.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,0.000000,"
                              "0.000000,0.000000,-0.500000,\n";
    EXPECT_EQ(text.substr(text.find('\n') + 1, first.size()), first);
    EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 13);
}
