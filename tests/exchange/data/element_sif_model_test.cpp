// The SIFs of element ends in imported models: several items at one node
// give the largest, a user SIF replaces the computed ones, reducers take
// their cone, miters and both arcs of a jacketed bend their own geometry,
// branch types without a formula and the B31J option are noted. Each value
// worked by hand from the table's equation.
#include "closeness.h"
#include "codes/element_sifs.h"
#include "elements/branch_joint_flexibility.h"
#include "elements/branch_sif.h"
#include "exchange/data/code_stress_fixture.h"

#include <algorithm>
#include <cmath>
#include <numbers>

using namespace batch_test;

namespace {

constexpr double REL = 1e-4;

std::string head(const std::string& code, const std::string& extra = "")
{
    return "SIFs\nOPTIONS\n" + code + ",IN\n" + extra +
           "MATERIAL\n"
           "A106B,0.283,0.3\n"
           "A106B,70,27.9E6,6.0E-6,20000\n"
           "PIPE\n"
           "P6,6.625,0.28\n"
           "P4,4.5,0.237\n"
           "J10,10.75,0.365\n"
           "LOADS\n"
           "L1,70,0\n"
           "LAYOUT\n";
}

class ElementSifModel : public CodeStressModelTest {
protected:
    ModelSifs sifs(CodeNotes& notes) { return element_end_sifs(*snapshot_, notes); }
    // The SIFs of the end of element a-b at node `at`.
    Sifs at(const ModelSifs& s, int a, int b, int node)
    {
        const int e = element_between(a, b);
        const int end = snapshot_->model.elems[e].node1 == node_index(node) ? 0 : 1;
        return s.elements[e].end[static_cast<std::size_t>(end)];
    }
};

bool has_note(const CodeNotes& notes, const std::string& part)
{
    return std::any_of(notes.texts.begin(), notes.texts.end(),
                       [&](const std::string& t) { return t.find(part) != std::string::npos; });
}

}  // namespace

TEST_F(ElementSifModel, WeldAndThreadedJointAtOneNodeGiveTheLargestSif)
{
    // Node 20 carries a butt weld of mismatch 0.1 in and a threaded joint:
    // 0.9 + 2.7 x 0.1/0.28 = 1.864 against 2.3; the threaded joint's 2.3
    // governs in and out of plane and axially (B31.3 para. 319.4.4(b), i_a
    // = i), torsion stays 1.
    ASSERT_NO_FATAL_FAILURE(build(head("B313") + "F10,MA106B,PP6,KA\nT20,X100,CWTYPE=1,DELTA=0.1\nL20,CTJOINT\n"
                                                  "T30,X100,KA\n"));
    CodeNotes notes;
    const ModelSifs s = sifs(notes);
    for (int other : {10, 30}) {
        const Sifs i = at(s, other, 20, 20);
        EXPECT_EQ(i.in_plane, 2.3);
        EXPECT_EQ(i.out_plane, 2.3);
        EXPECT_EQ(i.axial, 2.3);
        EXPECT_EQ(i.torsion, 1.0);
        EXPECT_EQ(at(s, other, 20, other).in_plane, 1.0);
    }
    EXPECT_EQ(s.nodes[node_index(20)][0], 2.3);
    // Without the threaded joint the weld's own.
    restart();
    ASSERT_NO_FATAL_FAILURE(build(head("B313") + "F10,MA106B,PP6,KA\nT20,X100,CWTYPE=1,DELTA=0.1\nT30,X100,KA\n"));
    expect_relative(at(sifs(notes), 10, 20, 20).in_plane, 0.9 + 2.7 * 0.1 / 0.28, REL, "butt weld");
}

TEST_F(ElementSifModel, UserSifReplacesTheComputedTeeSif)
{
    // A welding tee at 20 (B31.3: h = 3.1 T/r2, i_o = 0.9/h^(2/3)) with a
    // user SIF of 1.5 at the same node: 1.5 in and out of plane, above 1.0
    // and so given; the axial SIF the user did not give stays the tee's.
    const std::string layout = "F10,MA106B,PP6,KA\nT20,X100,KT\nT30,X100,KA\nF20\nT40,Y60,KA\n";
    ASSERT_NO_FATAL_FAILURE(build(head("B313") + layout + "L20,CSIF=1.5\n"));
    CodeNotes notes;
    const ModelSifs s = sifs(notes);
    const double r2 = (6.625 - 0.28) / 2, io = 0.9 / std::pow(3.1 * 0.28 / r2, 2.0 / 3.0);
    for (int other : {10, 30, 40}) {
        const Sifs i = at(s, other, 20, 20);
        EXPECT_EQ(i.in_plane, 1.5) << other;
        EXPECT_EQ(i.out_plane, 1.5) << other;
        expect_relative(i.axial, io, REL, "axial stays the tee's");
    }
    // Without it, the tee's.
    restart();
    ASSERT_NO_FATAL_FAILURE(build(head("B313") + layout));
    const Sifs tee = at(sifs(notes), 40, 20, 20);
    expect_relative(tee.out_plane, io, REL, "i_o");
    expect_relative(tee.in_plane, 0.75 * io + 0.25, REL, "i_i");
}

TEST_F(ElementSifModel, ReducerSifFromItsConeAngleOrItsGeometry)
{
    // B31.3 reducers have no cone angle field: the cone between OD1 6.625
    // and OD2 4.5 over 3 in is atan(1.0625/3) = 19.50 degrees;
    // i = 0.5 + 0.01 alpha (D2/T2)^(1/2) at both ends.
    ASSERT_NO_FATAL_FAILURE(build(head("B313") + "F10,MA106B,PP6,KA\nT20,X100\n"
                                                  "T30,X3,JD,COD1=6.625,THK1=0.28,OD2=4.5,THK2=0.237\n"
                                                  "T40,X100,PP4,KA\n"));
    CodeNotes notes;
    ModelSifs s = sifs(notes);
    const double alpha = std::atan(1.0625 / 3.0) * 180 / std::numbers::pi;
    const double i = 0.5 + 0.01 * alpha * std::sqrt(4.5 / 0.237);
    expect_relative(at(s, 20, 30, 20).in_plane, i, REL, "end 1");
    expect_relative(at(s, 20, 30, 30).out_plane, i, REL, "end 2");
    EXPECT_EQ(at(s, 20, 30, 30).torsion, 1.0);
    // B31.1 takes the given cone of 30 degrees: 0.5 + 0.3 x 4.357 = 1.807.
    restart();
    ASSERT_NO_FATAL_FAILURE(build(head("B311") + "F10,MA106B,PP6,KA\nT20,X100\n"
                                                  "T30,X3,JD,COD1=6.625,THK1=0.28,OD2=4.5,THK2=0.237,CONE=30\n"
                                                  "T40,X100,PP4,KA\n"));
    s = sifs(notes);
    expect_relative(at(s, 20, 30, 30).in_plane, 0.5 + 0.3 * std::sqrt(4.5 / 0.237), REL, "B31.1 cone 30");
    EXPECT_EQ(at(s, 20, 30, 30).torsion, at(s, 20, 30, 30).in_plane);
}

TEST_F(ElementSifModel, MiterAndTheArcsOfAJacketedBendTakeTheirOwnGeometry)
{
    // A closely spaced miter of R1 = 8 in on 6 in Sch 40: h = T R1/r2^2,
    // i_i = i_o = 0.9/h^(2/3). A jacketed bend at 40: the core arc (6 in,
    // R = 9 in, long radius of the core) and the jacket's arc (10 in,
    // 0.365 in, R 20 in) each by h of its own section and radius.
    ASSERT_NO_FATAL_FAILURE(build(head("B313") + "F10,MA106B,PP6,KA\nT20,X100,KM,B8\nT30,Y100\n"
                                                  "T40,Y100,JI,B9,CJMAT=A106B,JSEC=J10,JLOAD=L1,JR=20\nT50,X100,JP,"
                                                  "CJMAT=A106B,JSEC=J10,JLOAD=L1\nT60,X10,KA\n"));
    CodeNotes notes;
    const ModelSifs s = sifs(notes);
    const Model& m = snapshot_->model;
    const auto markl = [](double od, double t, double r) {
        const double r2 = (od - t) / 2;
        return 0.9 / std::pow(t * r / (r2 * r2), 2.0 / 3.0);
    };
    int miters = 0, cores = 0, jackets = 0;
    for (int e = 1; e <= m.numelems(); ++e) {
        const Elem& el = m.elems[e];
        const Sifs& i = s.elements[e].end[0];
        if (el.kind == ET_MITER) {
            ++miters;
            expect_relative(i.in_plane, markl(6.625, 0.28, 8.0), REL, "miter i_i");
            expect_relative(i.out_plane, markl(6.625, 0.28, 8.0), REL, "miter i_o");
        } else if (el.kind == ET_BEND && m.rows[el.row].etype == ET_JACKETED_BEND) {
            ++cores;
            expect_relative(i.in_plane, markl(6.625, 0.28, 9.0), REL, "core i_i");
        } else if (el.kind == ET_JACKETED_BEND) {
            ++jackets;
            expect_relative(i.in_plane, markl(10.75, 0.365, 20.0), REL, "jacket i_i");
            const double r2 = (10.75 - 0.365) / 2, h = 0.365 * 20 / (r2 * r2);
            expect_relative(i.out_plane, 0.75 / std::pow(h, 2.0 / 3.0), REL, "jacket i_o");
        }
    }
    EXPECT_EQ(miters, 1);
    EXPECT_EQ(cores, 1);
    EXPECT_EQ(jackets, 1);
}

TEST_F(ElementSifModel, BranchSifWithoutAFormulaAndTheB31JOptionAreNoted)
{
    // A branch connection (type 9) under B31.3: no formula in Table D300.
    const std::string layout = "F10,MA106B,PP6,KA\nT20,X100,KB,CR=2.0\nT30,X100,KA\nF20,PP4\nT40,Y60,KA\n";
    ASSERT_NO_FATAL_FAILURE(build(head("B313") + layout));
    CodeNotes notes;
    const ModelSifs s = sifs(notes);
    EXPECT_TRUE(has_note(notes, "No stress intensification factor is available for the Branch conn. at node 20"));
    EXPECT_EQ(at(s, 10, 20, 20).in_plane, 1.0);
    // Under B31.1 it has one: i = 1.5 (Rm/T)^(2/3) (r'm/Rm)^(1/2) (t/T) (r'm/rp).
    restart();
    ASSERT_NO_FATAL_FAILURE(build(head("B311") + layout));
    CodeNotes b311;
    const double rm = (6.625 - 0.28) / 2, rb = (4.5 - 0.237) / 2;
    const double i = 1.5 * std::pow(rm / 0.28, 2.0 / 3.0) * std::sqrt(rb / rm) * (0.237 / 0.28) * (rb / 2.0);
    expect_relative(at(sifs(b311), 40, 20, 20).in_plane, i, REL, "B31.1 branch connection");
    // r'm/Rm = 2.1315/3.1725 = 0.67 > 0.5: noted.
    EXPECT_TRUE(has_note(b311, "0.5"));

    // B31J on: the tee's SIFs stay the table's (B31J's i-factors are not
    // held) and the run and branch joints get B31J flexibility factors.
    restart();
    ASSERT_NO_FATAL_FAILURE(build(head("B313", "OPCODE\n0,0,1\n") +
                                  "F10,MA106B,PP6,KA\nT20,X100,KT\nT30,X100,KA\nF20,PP4\nT40,Y60,KA\n"));
    ASSERT_TRUE(snapshot_->options.use_b31j);
    CodeNotes b31j;
    const ModelSifs j = sifs(b31j);
    EXPECT_TRUE(has_note(b31j, "B31J stress intensification factors are not available"));
    const double io = 0.9 / std::pow(3.1 * 0.28 / rm, 2.0 / 3.0);
    expect_relative(at(j, 40, 20, 20).out_plane, io, REL, "table's i_o");
    // The joints' factors as the straight elements' stiffness takes them:
    // torsion, then about local y (my, out of plane), then about z (mz).
    // (The section's sizes as it holds them, in float.)
    BranchJointNode node;
    node.run_diameter = 6.625f;
    node.run_thickness = 0.28f;
    node.branch_diameter = 4.5f;
    node.branch_thickness = 0.237f;
    node.sif_type = BRANCH_WELDING_TEE;
    node.in_range = true;
    const BranchJointFactors kb = branch_joint_factors(node, true), kr = branch_joint_factors(node, false);
    const std::array<double, 3> branch = j.elements[element_between(20, 40)].flexibility;
    const std::array<double, 3> run = j.elements[element_between(10, 20)].flexibility;
    EXPECT_EQ(branch, (std::array<double, 3>{kb.kbt, kb.kb1, kb.kb2}));
    EXPECT_EQ(run, (std::array<double, 3>{kr.krt, kr.kr1, kr.kr2}));
    EXPECT_GT(kb.kb2, 1.0);
}
