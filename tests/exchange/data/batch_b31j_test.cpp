// The B31J joint at a tee against a hand model of the same tee built from
// pipes and rotational springs. The run is the two collinear legs, the
// branch the third leg (an equal tee has one too); each leg is joined to the
// intersection point by a zero-length spring of the B31J flexibilities,
// in-plane about the normal of the tee's plane, out-of-plane about the
// leg's axis crossed with that normal, torsion about the leg's axis. The
// flexibilities are worked here from the welding tee's factors (ASME B31J
// Table 1-1, sketch 2.1), each leg anchored or loaded, under weight, heat
// and a force and moment at the branch's end, for a horizontal and a
// vertical tee with Y or Z vertical, an equal and a reduced tee.
#include "exchange/data/frame_solver.h"
#include "framework/state.h"
#include "framework/text.h"

using namespace batch_test;

namespace {

const Tube STD6{6.625, 0.28, 27.9e6, 0.3};
const Tube STD4{4.5, 0.237, 27.9e6, 0.3};
const double RHO = 0.283;   // lb/in3

// The welding tee's joint flexibilities of a run leg and of the branch leg
// (radian per in-lb): in-plane, out-of-plane, torsion; 1e-12 where the
// factor is 1 or less (rigid).
struct TeeSprings {
    std::array<double, 3> run, branch;
};

TeeSprings welding_tee(const Tube& run, const Tube& branch)
{
    const double big_r = (run.od - run.t) / 2, r = (branch.od - branch.t) / 2;
    const double x = branch.t / run.t, y = big_r / run.t, z = r / big_r;
    auto q = [z](double a3, double a2, double a1) { return a3 * z * z * z - a2 * z * z + a1 * z; };
    auto at_least_1 = [](double k) { return std::max(k, 1.0); };
    // Run: in-plane and torsion, capped; out-of-plane 1.
    const double mi = 1.23 * std::pow(x, -0.47) * std::pow(y, 0.47) * std::pow(z, 5.3);
    const double mt = std::pow(x, -0.8) * std::pow(y, 0.78) * std::pow(z, 7.8);
    const double kr1 = at_least_1(std::min(0.18 * std::pow(y, 0.8) * std::pow(z, 5), mi));
    const double krt = at_least_1(std::min(0.08 * std::pow(y, 0.91) * std::pow(z, 5.7), mt));
    const double kr2 = 1.0;
    // Branch, capped by m1, m2 and its mt.
    const double m1 = std::pow(x, 0.49) * std::pow(y, 0.83) * std::pow(z, -0.2) * q(4.0, 6.4, 3.15);
    const double m2 = std::pow(x, 0.6) * std::pow(y, 1.4) * std::pow(z, 0.12) * q(1.1, 2.94, 2.05);
    const double mtb = 0.95 * std::pow(y, 0.83) * std::pow(z, 5.42);
    const double kb1 = at_least_1(std::min(x * std::pow(y, 0.77) * std::pow(z, 0.47) * q(2.7, 4.32, 1.91), m1));
    const double kb2 = at_least_1(std::min(x * std::pow(y, 1.46) * q(0.18, 0.49, 0.34), m2));
    const double kbt = at_least_1(std::min(x * std::pow(y, 0.77) * std::pow(z, 1.61) * q(1.52, 2.44, 1.08), mtb));
    auto or_rigid = [](double k, double f) { return k > 1.0 ? std::max(f, 1e-12) : 1e-12; };
    const double e = run.e;
    const double run_term = 2 * run.od / (run.inertia * e);
    const double branch_term = branch.od / (branch.inertia * e), share = run.od / 2 / (run.inertia * e);
    return {{or_rigid(kr1, kr1 * run_term), or_rigid(kr2, kr2 * run_term), or_rigid(krt, krt * run_term)},
            {or_rigid(kb1, kb1 * branch_term - kr1 * share), or_rigid(kb2, kb2 * branch_term - kr2 * share),
             or_rigid(kbt, kbt * branch_term)}};
}

// The tee: run 10 - 20 - 30 along X, 100 in each way, anchored at 10 and 30;
// the branch from 20 to 40, 100 in along `branch_axis`, free at 40 where a
// force and a moment act.
struct TeeCase {
    bool z_vertical;
    Vec branch_axis;
    const Tube* branch;
};

std::string tee_text(const TeeCase& c)
{
    const char axis = c.branch_axis[1] != 0 ? 'Y' : 'Z';
    const bool reduced = c.branch != &STD6;
    return std::string("Tee\n") + "OPTIONS\nB313,IN" + (c.z_vertical ? ",Z" : "") +
           "\n"
           "OPCODE\n0,0,1\n"
           "MATERIAL\nA106B,0.283,0.3\nA106B,70,27.9E6,6.0E-6,20000\nA106B,700,27.9E6,8.1E-6,16000\n"
           "PIPE\nP6,6.625,0.28\nP4,4.5,0.237\n"
           "LOADS\nL1,400,0\n"
           "LAYOUT\n"
           "F10,MA106B,PP6,KA,CL=L1\n"
           "T20,X100,KT\n"
           "T30,X100,KA\n"
           "F20" +
           (reduced ? ",PP4" : "") + "\nT40," + axis +
           "100\n"
           "L40,CFOR(300,-500,200),MOM(2000,-3000,4000)\n";
}

Frame tee_frame(const TeeCase& c)
{
    const Vec p20{100, 0, 0}, p40 = p20 + 100.0 * c.branch_axis;
    Frame frame(STD6, {{10, {0, 0, 0}}, {21, p20}}, RIGID, RIGID, {10, 30});
    frame.add_leg(0, 20, p20, STD6);
    frame.add_leg(0, 22, p20, STD6);
    frame.add_leg(22, 30, {200, 0, 0}, STD6);
    frame.add_leg(0, 23, p20, *c.branch);
    frame.add_leg(23, 40, p40, *c.branch, c.branch->area / STD6.area);
    const TeeSprings s = welding_tee(STD6, *c.branch);
    const Vec n = unit(cross(Vec{1, 0, 0}, c.branch_axis));
    auto joint = [&](int leg, const Vec& t, const std::array<double, 3>& f) {
        frame.add_joint(20, leg, {n, cross(t, n), t}, f);
    };
    joint(21, {-1, 0, 0}, s.run);
    joint(22, {1, 0, 0}, s.run);
    joint(23, c.branch_axis, s.branch);
    return frame;
}

class B31jJointTee : public FrameSolveTest {
protected:
    // The program's run against the hand model, case by case: every node of the
    // model and the anchors' loads.
    void expect_tee(const TeeCase& c, const std::string& what)
    {
        const Frame frame = tee_frame(c);
        const Vec down = c.z_vertical ? Vec{0, 0, -1} : Vec{0, -1, 0};
        // The file's moments are in ft-lb, the English moment unit.
        const std::map<int, Six> load{{40, {300, -500, 200, 12 * 2000.0, 12 * -3000.0, 12 * 4000.0}}};
        const double w = RHO * STD6.area;
        const Frame::Solution sustained = frame.solve(0, w * down, load);
        const Frame::Solution operating = frame.solve(alpha_english(400) * 330, w * down, load);
        for (const auto& [code, s] : {std::pair{LC_SUSTAINED, sustained}, std::pair{LC_OPERATING_1, operating}}) {
            const CaseResults& r = result(code);
            double scale[2] = {};
            for (const int node : {10, 20, 30, 40})
                for (std::size_t d = 0; d < 6; ++d)
                    scale[d / 3] = std::max(scale[d / 3], std::fabs(s.u.at(node)[d]));
            for (const int node : {10, 20, 30, 40}) {
                const std::array<double, 6> u = at(r, node);
                for (std::size_t d = 0; d < 6; ++d)
                    EXPECT_NEAR(u[d], s.u.at(node)[d], AGREE * scale[d / 3])
                        << what << ", " << load_case_names(code) << ": node " << node << " direction " << d;
            }
            double reaction[2] = {};
            for (const int node : {10, 30})
                for (std::size_t d = 0; d < 6; ++d)
                    reaction[d / 3] = std::max(reaction[d / 3], std::fabs(s.anchor.at(node)[d]));
            for (const int node : {10, 30}) {
                const std::vector<double> got = support(r, node);
                for (std::size_t d = 0; d < 6; ++d)
                    EXPECT_NEAR(got[d], s.anchor.at(node)[d], AGREE * reaction[d / 3])
                        << what << ", " << load_case_names(code) << ": anchor " << node << " " << d;
            }
        }
    }
};

}  // namespace

TEST_F(B31jJointTee, EqualTeeJoinsEachLegInThePlaneOfTheTee)
{
    // 6 in by 6 in: the two collinear legs are the run, the third the branch.
    for (const bool z_vertical : {false, true})
        for (const Vec& axis : {Vec{0, 1, 0}, Vec{0, 0, 1}}) {
            reset_all();
            SetUp();
            const TeeCase c{z_vertical, axis, &STD6};
            const std::string what = std::string(z_vertical ? "Z" : "Y") + " vertical, branch along " +
                                     (axis[1] != 0 ? "Y" : "Z");
            run(tee_text(c));
            if (HasFatalFailure())
                return;
            const std::size_t nodes = static_cast<std::size_t>(numnodes()), rows = static_cast<std::size_t>(numrows());
            expect_tee(c, what);
            // The joints are the analysis model's: the model keeps its rows
            // and nodes.
            EXPECT_EQ(static_cast<std::size_t>(numnodes()), nodes);
            EXPECT_EQ(static_cast<std::size_t>(numrows()), rows);
        }
}

TEST_F(B31jJointTee, ReducedTeeJoinsTheBranchOutOfItsPlane)
{
    // 6 in run, 4 in branch: the run's factors come out below 1 (rigid), the
    // branch is flexible out of the plane alone.
    const TeeSprings s = welding_tee(STD6, STD4);
    EXPECT_EQ(s.run[0], 1e-12);
    EXPECT_GT(s.branch[1], 1e-9);
    for (const bool z_vertical : {false, true})
        for (const Vec& axis : {Vec{0, 1, 0}, Vec{0, 0, 1}}) {
            reset_all();
            SetUp();
            const TeeCase c{z_vertical, axis, &STD4};
            run(tee_text(c));
            if (HasFatalFailure())
                return;
            expect_tee(c, std::string(z_vertical ? "Z" : "Y") + " vertical, branch along " +
                              (axis[1] != 0 ? "Y" : "Z"));
        }
}
