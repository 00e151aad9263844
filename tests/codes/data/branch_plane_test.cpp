// The plane of a branch connection and the in-plane and out-of-plane
// moments about it: a tee, a cross with its branches in two planes, a Y
// without a run, and a node whose legs all lie on one line.
#include "closeness.h"
#include "codes/branch_plane.h"
#include "framework/errors.h"
#include "model/model.h"

#include <cmath>

namespace {

// Straight pipes from a centre node 1 at the origin to the given ends.
Model star(const std::vector<Vec3>& ends)
{
    Model m;
    NodeRecord centre;
    centre.number = 10;
    m.nodes.push_back(centre);
    for (std::size_t i = 0; i < ends.size(); ++i) {
        NodeRecord n;
        n.number = 20 + 10 * static_cast<int>(i);
        n.x = static_cast<float>(ends[i].x);
        n.y = static_cast<float>(ends[i].y);
        n.z = static_cast<float>(ends[i].z);
        const int index = m.nodes.push_back(n);
        Elem e;
        e.kind = ET_PIPE;
        e.node1 = 1;
        e.node2 = index;
        const int element = m.elems.push_back(e);
        m.nodes[1].elements.push_back(element);
        m.nodes[index].elements.push_back(element);
    }
    return m;
}

void expect_parallel(const Vec3& a, const Vec3& b, const std::string& what)
{
    EXPECT_NEAR(std::fabs(dot(a, b)), 1.0, 1e-9) << what;
}

}  // namespace

TEST(BranchSif, PlaneOfATeeIsTheRunAndTheBranch)
{
    // Run along X (legs to -X and +X), branch up +Y: the plane is XY, its
    // normal Z, for the run legs and the branch alike.
    const Model m = star({{-100, 0, 0}, {100, 0, 0}, {0, 80, 0}});
    for (int e = 1; e <= 3; ++e)
        expect_parallel(branch_plane_normal(m, false, e, 1), {0, 0, 1}, "element " + std::to_string(e));

    // The run leg along +X (element 2): local x = X, y = Y, z = Z (Y
    // vertical). Its mz bends it in the plane, its my out of it.
    double in = 5000.0, out = 3000.0;
    branch_plane_moments(m, false, 2, 1, in, out);
    EXPECT_NEAR(std::fabs(in), 5000.0, 1e-9);
    EXPECT_NEAR(std::fabs(out), 3000.0, 1e-9);
    // The branch (element 3, along Y): local x = Y; with Y vertical its y
    // axis is (-1, 0, 0) and z = x cross y = (0, 0, 1): mz about Z is in
    // the plane, my about -X is out of it.
    in = 5000.0, out = 3000.0;
    branch_plane_moments(m, false, 3, 1, in, out);
    EXPECT_NEAR(std::fabs(in), 5000.0, 1e-9);
    EXPECT_NEAR(std::fabs(out), 3000.0, 1e-9);
}

TEST(BranchSif, PlaneOfATeeTurnsTheMomentsOfABranchAtAnAngle)
{
    // Run along X, the branch at 45 degrees between +Y and +Z: the plane
    // holds X and (0, 1, 1)/sqrt 2, its normal (0, -1, 1)/sqrt 2. For the
    // run leg along +X (local y = Y, z = Z) a moment my about Y has the
    // in-plane part my (Y . n) = -my/sqrt 2 and the out-of-plane part
    // about X cross n = (0, -1, -1)/sqrt 2, also of size my/sqrt 2.
    const Model m = star({{-100, 0, 0}, {100, 0, 0}, {0, 50, 50}});
    const double s = 1.0 / std::sqrt(2.0);
    expect_parallel(branch_plane_normal(m, false, 2, 1), {0, -s, s}, "normal");
    double in = 0.0, out = 1000.0;
    branch_plane_moments(m, false, 2, 1, in, out);
    EXPECT_NEAR(std::fabs(in), 1000.0 * s, 1e-9);
    EXPECT_NEAR(std::fabs(out), 1000.0 * s, 1e-9);
    EXPECT_NEAR(in * in + out * out, 1000.0 * 1000.0, 1e-6);
}

TEST(BranchSif, PlaneOfACrossWithBranchesInTwoPlanes)
{
    // Run along X; one branch up +Y, one along +Z. Each branch takes the
    // plane of the run and itself; the run legs take the first branch's.
    const Model m = star({{-100, 0, 0}, {100, 0, 0}, {0, 80, 0}, {0, 0, 60}});
    expect_parallel(branch_plane_normal(m, false, 3, 1), {0, 0, 1}, "branch along Y");
    expect_parallel(branch_plane_normal(m, false, 4, 1), {0, 1, 0}, "branch along Z");
    expect_parallel(branch_plane_normal(m, false, 1, 1), {0, 0, 1}, "run leg");
    // A Y of three legs in the XY plane without a collinear pair.
    const Model y = star({{-100, 0, 0}, {50, 80, 0}, {50, -80, 0}});
    for (int e = 1; e <= 3; ++e)
        expect_parallel(branch_plane_normal(y, false, e, 1), {0, 0, 1}, "Y " + std::to_string(e));
}

TEST(BranchSif, CollinearLegsHaveNoBranchPlane)
{
    // Three legs on one line (two of them overlapping): no plane.
    const Model m = star({{-100, 0, 0}, {100, 0, 0}, {50, 0, 0}});
    try {
        branch_plane_normal(m, false, 1, 1);
        FAIL() << "no message";
    } catch (const MessageText& t) {
        EXPECT_EQ(t.text, "Unable to find plane of branch SIF at node 10");
    }
}
