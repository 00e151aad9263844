// The linearisations of a rest's friction law that the iterations take at a
// slip s beyond the sticking zone, against the law worked by hand: the
// regularised Coulomb force p(s) = k s while k |s| <= g and g s / |s|
// beyond, and its potential psi(s) = k |s|^2 / 2 inside the zone and
// g |s| - g^2 / (2 k) beyond (the Huber function of the slip).
#include "supports/support_analysis.h"
#include "supports/support_common.h"

#include <gtest/gtest.h>

#include <cmath>

namespace {

constexpr double G = 100.0;    // lb, mu N
constexpr double K = 1.0e5;    // lb/in, the sticking stiffness

double length(const Vec3& v)
{
    return std::sqrt(v.x * v.x + v.y * v.y + v.z * v.z);
}

// The potential by hand.
double huber(const Vec3& s)
{
    const double m = length(s);
    return K * m <= G ? 0.5 * K * m * m : G * m - 0.5 * G * G / K;
}

class ContactFrictionLinearisation : public ::testing::Test {
protected:
    void SetUp() override
    {
        rest.a = 1;
        rest.directions.push_back({{0.0, 1.0, 0.0}, 0.0, NO_LIMIT});
        rest.stiffness = 1.0e12;
        rest.mu = 0.3;
        state.status = {CONTACT_LOWER, CONTACT_OPEN};
        state.limit = G;
        state.stick = K;
    }
    // The linearised force at s + ds.
    Vec3 at(const Vec3& ds) const
    {
        return friction_linear(rest, state).at({s.x + ds.x, s.y + ds.y, s.z + ds.z});
    }

    Contact rest;
    ContactState state;
    // 0.025 in of slip in the plane of the rest, 250 times the sticking
    // zone's g / k = 0.001 in.
    const Vec3 s{0.02, 0.0, -0.015};
};

TEST_F(ContactFrictionLinearisation, DampedGivesTheLawsForceAndResistsAlongTheSlipAsAcross)
{
    friction_linearise(rest, state, s, FRICTION_DAMPED);
    // At s: the law's g s / |s| = 100 (0.8, 0, -0.6).
    const Vec3 p = at({});
    EXPECT_NEAR(p.x, 80.0, 1e-9);
    EXPECT_NEAR(p.y, 0.0, 1e-9);
    EXPECT_NEAR(p.z, -60.0, 1e-9);
    // 0.001 in further along the slip and across it (in the plane): the
    // secant stiffness g / |s| = 4000 lb/in both ways, 4 lb.
    const Vec3 along = at({0.0008, 0.0, -0.0006});
    EXPECT_NEAR(along.x - p.x, 4.0 * 0.8, 1e-9);
    EXPECT_NEAR(along.z - p.z, -4.0 * 0.6, 1e-9);
    const Vec3 across = at({0.0006, 0.0, 0.0008});
    EXPECT_NEAR(across.x - p.x, 4.0 * 0.6, 1e-9);
    EXPECT_NEAR(across.z - p.z, 4.0 * 0.8, 1e-9);

    // The law's own tangent (sliding) keeps the force along the slip.
    friction_linearise(rest, state, s, FRICTION_BY_LAW);
    const Vec3 slid = at({0.0008, 0.0, -0.0006});
    EXPECT_NEAR(slid.x, 80.0, 1e-9);
    EXPECT_NEAR(slid.z, -60.0, 1e-9);
}

TEST_F(ContactFrictionLinearisation, DampedAndHeldLinearisationsLieAboveTheLawsPotential)
{
    // Each quadratic that the linearisation's springs and force make about
    // s, psi(s) + p(s).(t - s) + c |t - s|^2 / 2, is at least psi(t)
    // everywhere: for c = k (held, k the law's Lipschitz constant) by the
    // descent lemma, and for c = g / |s| (damped) because p(t) / |t| falls
    // as |t| grows (J. de Leeuw, K. Lange, "Sharp quadratic majorization in
    // one dimension", Computational Statistics and Data Analysis 53, 2009,
    // 2471-2484). So a step on it lowers the energy at those contacts.
    for (FrictionLinearisation how : {FRICTION_DAMPED, FRICTION_HELD}) {
        friction_linearise(rest, state, s, how);
        const FrictionLinear f = friction_linear(rest, state);
        const double c = f.spring;
        EXPECT_NEAR(c, how == FRICTION_DAMPED ? G / 0.025 : K, 1e-9);
        const Vec3 p = f.at(s);
        for (double x = -0.06; x <= 0.06; x += 0.0025)
            for (double z = -0.06; z <= 0.06; z += 0.0025) {
                const Vec3 d{x - s.x, 0.0, z - s.z};
                const double quadratic =
                    huber(s) + p.x * d.x + p.z * d.z + 0.5 * c * (d.x * d.x + d.z * d.z);
                EXPECT_GE(quadratic, huber({x, 0.0, z}) - 1e-9) << "at " << x << ", " << z << " linearised " << how;
            }
    }
}

TEST_F(ContactFrictionLinearisation, InsideTheStickingZoneEveryWaySticks)
{
    // 0.0005 in of slip, half the zone: the springs k from no slip whatever
    // is asked.
    const Vec3 small{0.0004, 0.0, 0.0003};
    for (FrictionLinearisation how : {FRICTION_BY_LAW, FRICTION_STICKS, FRICTION_HELD, FRICTION_DAMPED}) {
        friction_linearise(rest, state, small, how);
        const Vec3 p = friction_linear(rest, state).at(small);
        EXPECT_NEAR(p.x, K * 0.0004, 1e-9) << how;
        EXPECT_NEAR(p.z, K * 0.0003, 1e-9) << how;
    }
}

TEST_F(ContactFrictionLinearisation, SlidingKeepsTheDirectionAcrossTheSlipUntilItSticks)
{
    // Sliding at s = (0.02, 0, -0.015): the force along (0.8, 0, -0.6), so
    // the unit vector across it in the plane y = 0 is +-(0.6, 0, 0.8), and
    // the spring across it g / |s| = 100 / 0.025 = 4000 lb/in.
    friction_linearise(rest, state, s, FRICTION_BY_LAW);
    const FrictionLinear sliding = friction_linear(rest, state);
    EXPECT_NEAR(std::fabs(sliding.across.x), 0.6, 1e-12);
    EXPECT_NEAR(sliding.across.y, 0.0, 1e-12);
    EXPECT_NEAR(std::fabs(sliding.across.z), 0.8, 1e-12);
    EXPECT_NEAR(sliding.across.x * sliding.across.z, 0.48, 1e-12);
    EXPECT_NEAR(sliding.across_spring, G / 0.025, 1e-9);

    // Made to stick, or held, it keeps nothing of the slide: no force along
    // the old slip and no spring across it.
    for (FrictionLinearisation how : {FRICTION_STICKS, FRICTION_HELD, FRICTION_DAMPED}) {
        friction_linearise(rest, state, s, how);
        const FrictionLinear f = friction_linear(rest, state);
        EXPECT_EQ(length(f.across), 0.0) << how;
        EXPECT_EQ(f.across_spring, 0.0) << how;
    }

    // Sliding again the other way round: the same line across it.
    friction_linearise(rest, state, {-0.02, 0.0, 0.015}, FRICTION_BY_LAW);
    const FrictionLinear back = friction_linear(rest, state);
    EXPECT_NEAR(std::fabs(back.across.x), 0.6, 1e-12);
    EXPECT_NEAR(std::fabs(back.across.z), 0.8, 1e-12);

    // A rest of two directions leaves a line of friction: nothing across.
    Contact corner = rest;
    corner.directions.push_back({{0.0, 0.0, 1.0}, 0.0, NO_LIMIT});
    friction_linearise(corner, state, {0.03, 0.0, 0.0}, FRICTION_BY_LAW);
    const FrictionLinear line = friction_linear(corner, state);
    EXPECT_EQ(length(line.across), 0.0);
    EXPECT_EQ(line.across_spring, 0.0);
    // Its force: the limit g against the slip along x.
    EXPECT_NEAR(line.at({0.03, 0.0, 0.0}).x, G, 1e-9);
}

}  // namespace
