// The row attributes in a run: a jacketed line whose jacket is tied to the
// core by spiders and end caps, checked against the hand model of two
// cantilevers joined at their tips; flanges' weight, g-loads and mass; the
// tee that the B31J joint finds at a branch connection.
#include "analysis/data/analysis_fixture.h"
#include "analysis_core/section_properties.h"
#include "elements/branch_joints.h"
#include "elements/branch_sif.h"
#include "elements/flange.h"
#include "elements/jacket_connections.h"
#include "elements/jacketed_pipe.h"
#include "framework/errors.h"
#include "model/analysis_options.h"

using namespace analysis_test;

namespace {

// A 10 in jacket: 10.75 in by 0.365 in.
struct Jacket {
    double od = 10.75, t = 0.365;
    double ro = od / 2, ri = ro - t;
    double area = std::numbers::pi * (ro * ro - ri * ri);
    double inertia = std::numbers::pi / 4 * (std::pow(ro, 4) - std::pow(ri, 4));
    double shear = 4.0 / 3.0 * (ro * ro * ro - ri * ri * ri) / ((ro - ri) * (ri * ri + ro * ro));
};

class AttributeRunTest : public AnalysisTest {
protected:
    void SetUp() override
    {
        AnalysisTest::SetUp();
        weightless();
        PipeSection s;
        s.name = "10";
        s.outside_diameter = static_cast<float>(jacket.od);
        s.thickness = static_cast<float>(jacket.t);
        pipe_sections().push_back(s);
        model_hooks().section_index = [](const std::string& name) { return section_index(name); };
        model_hooks().material_index = [](const std::string& name) { return pipe_material_index(name); };
    }

    // Anchored core from node 10 at the origin, a 100 in jacketed pipe to
    // node 20 along X, and a force row at 20; connections at 10 and 20 of
    // the given kinds (Location rows at the nodes).
    int jacketed_line(int at_root, int at_tip)
    {
        anchored_from(10);
        const int r = row(20, ET_JACKETED_PIPE, 100, 0, 0);
        name(r);
        JacketGeometry& j = dynamic_cast<JacketedPipe&>(*model().rows[r].element).jacket;
        j.material = "CS";
        j.section = "10";
        j.load = "L1";
        connection(10, at_root);
        connection(20, at_tip);
        const int force = row(20, ET_LOCATION, 0, 0, 0, DT_FORCE);
        choose({LC_SUSTAINED});
        return force;
    }
    static void connection(int node, int dtype)
    {
        const int r = row(node, ET_LOCATION, 0, 0, 0, dtype);
        model().rows[r].dtype = dtype;
        model().rows[r].create_data_object(r);
    }
    // Tip flexibility of a cantilever of length l (bending with shear).
    double lateral(double l, double inertia, double area, double shear) const
    {
        return l * l * l / (3 * steel.e * inertia) + shear * l / (steel.g * area);
    }

    Jacket jacket;
};

}  // namespace

TEST_F(AttributeRunTest, JacketNodesAndConnections)
{
    // Jacket nodes: N + 500000 at the core node's place, A -> C, B -> D.
    EXPECT_EQ(jacket_partner_number(20), 500020);
    EXPECT_EQ(jacket_partner_number(500020), 20);
    EXPECT_EQ(jacket_partner_number(100020), 300020);
    EXPECT_EQ(jacket_partner_number(400020), 200020);
    jacketed_line(DT_JACKET_END_CAP, DT_SPIDER);
    make_model();
    ASSERT_NE(node_index(500010), 0);
    ASSERT_NE(node_index(500020), 0);
    EXPECT_FLOAT_EQ(model().nodes[node_index(500020)].x, 100.0f);

    // The connections find their partners and are coupled: the end cap
    // rigidly (flag 0), the spider by its own stiffness (flag 1).
    check_jacket_connections(model());
    ASSERT_EQ(model().coupled_pairs.size(), 2u);
    EXPECT_EQ(model().coupled_pairs[0].a, node_index(10));
    EXPECT_EQ(model().coupled_pairs[0].b, node_index(500010));
    EXPECT_EQ(model().coupled_pairs[0].flag, 0);
    EXPECT_EQ(model().coupled_pairs[1].b, node_index(500020));
    EXPECT_EQ(model().coupled_pairs[1].flag, 1);

    // A connection off the jacketed line has no partner.
    connection(30, DT_SPIDER);
    model().rows[numrows()].absolute = 1;
    make_model();
    EXPECT_EQ(thrown_text([] { check_jacket_connections(model()); }),
              "Jacket connection at point 30 is not on a jacketed pipe");
}

TEST_F(AttributeRunTest, SpiderDirections)
{
    anchored_from(10);
    pipe(20, 30, 40, 0);
    pipe(30, 0, 50, 0);
    make_model();
    Vec3 axis, l1, l2;
    // Along (0.6, 0.8, 0): h = 0.6, lateral1 = (-0.6 0.8 / 0.6, 0.6, 0) = (-0.8, 0.6, 0);
    // lateral2 = axis x lateral1 = (0, 0, 0.36 + 0.64).
    spider_directions(model(), node_index(20), axis, l1, l2);
    EXPECT_NEAR(axis.x, 0.6, 1e-6);
    EXPECT_NEAR(l1.x, -0.8, 1e-6);
    EXPECT_NEAR(l1.y, 0.6, 1e-6);
    EXPECT_NEAR(l2.z, 1.0, 1e-6);
    // A vertical pipe takes (0, 0, 1) first and axis x (0, 0, 1) = (1, 0, 0) second.
    spider_directions(model(), node_index(30), axis, l1, l2);
    EXPECT_NEAR(l1.z, 1.0, 1e-12);
    EXPECT_NEAR(l2.x, 1.0, 1e-6);
    // No pipe at the node: no direction.
    connection(40, DT_NONE);
    model().rows[numrows()].absolute = 1;
    model().rows[numrows()].dx = 500;
    make_model();
    EXPECT_EQ(thrown_text([] {
                  Vec3 a, b, c;
                  spider_directions(model(), node_index(40), a, b, c);
              }),
              "Unable to find spider direction at node 40");
}

TEST_F(AttributeRunTest, SpiderCouplesLaterallyOnly)
{
    // Hand model: core and jacket are cantilevers from the anchor (the end
    // cap at the root ties the jacket to it) whose tips share their lateral
    // translation through the spider. A lateral tip force divides between
    // two paths: the core's bending fc, and the jacket's fj in series with
    // the links of 1.0e12 (the end cap's translation and rotation at the
    // root, (l^2 + 1)/K at the tip, and the spider's 1/K); both stand on the
    // anchor ((l^2 + 1)/K for the whole force). An axial force and a torque
    // stay in the core.
    const int force = jacketed_line(DT_JACKET_END_CAP, DT_SPIDER);
    const double l = 100, p = 1000, n = 5000, t = 20000;
    item<TestForce>(force).load = {n, -p, 0, t, 0, 0};
    const auto r = solve().at(LC_SUSTAINED);
    const double fc = lateral(l, steel.inertia, steel.area, steel.shear);
    const double fj = lateral(l, jacket.inertia, jacket.area, jacket.shear) + (l * l + 2) / RIGID;
    const double anchor = (l * l + 1) / RIGID;
    const auto core = node_result(r, 20), outer = node_result(r, 500020);
    expect_relative(core[1], -p * (anchor + fc * fj / (fc + fj)), "shared lateral deflection", 1e-7);
    const double jacket_share = p * fc / (fc + fj);
    expect_relative(core[1] - outer[1], -jacket_share / RIGID, "the spider's link", 1e-3);
    expect_relative(core[0], n * (l / (steel.e * steel.area) + 1 / RIGID), "axial in the core alone", 1e-7);
    // The jacket moves only with the anchor it stands on.
    EXPECT_NEAR(outer[0], n / RIGID, 1e-15);
    expect_relative(core[3], t * (l / (steel.g * 2 * steel.inertia) + 1 / RIGID), "torsion in the core alone", 1e-7);
    EXPECT_NEAR(outer[3], t / RIGID, 1e-15);
}

TEST_F(AttributeRunTest, EndCapCouplesRigidly)
{
    // With end caps at both ends core and jacket act as one member: an axial
    // tip force divides between the core and the jacket with its two rigid
    // links (2/K), both on the anchor (1/K); a torque the same way.
    const int force = jacketed_line(DT_JACKET_END_CAP, DT_JACKET_END_CAP);
    const double l = 100, n = 5000, t = 20000;
    item<TestForce>(force).load = {n, 0, 0, t, 0, 0};
    const auto r = solve().at(LC_SUSTAINED);
    auto parallel = [](double a, double b) { return a * b / (a + b); };
    const double axial = 1 / RIGID + parallel(l / (steel.e * steel.area), l / (steel.e * jacket.area) + 2 / RIGID);
    const double torsion = 1 / RIGID + parallel(l / (steel.g * 2 * steel.inertia),
                                                l / (steel.g * 2 * jacket.inertia) + 2 / RIGID);
    const auto core = node_result(r, 20), outer = node_result(r, 500020);
    expect_relative(core[0], n * axial, "shared axial", 1e-7);
    // The jacket's end differs by its share through the tip link.
    EXPECT_NEAR(outer[0], core[0], n / RIGID);
    expect_relative(core[3], t * torsion, "shared torsion", 1e-7);
}

TEST_F(AttributeRunTest, FlangeWeightGLoadsAndMass)
{
    // A weightless cantilever with a 250 lb flange pair at its tip.
    anchored_from(10);
    const int tip = pipe(20, 100, 0, 0, DT_FLANGE);
    item<Flange>(tip).weight = 250.0f;
    seismic.x = true;
    seismic.gx = 0.4;
    choose({LC_SUSTAINED, LC_SEISMIC_G});
    const auto results = solve();
    // Weight: W down at the tip, W l^3/3EI + shear + the anchor's share.
    expect_relative(node_result(results.at(LC_SUSTAINED), 20)[1], -250.0 * tip_flexibility(100), "weight", 1e-6);
    // g-load along X: 0.4 W through the axial flexibility l/EA and the anchor.
    expect_relative(node_result(results.at(LC_SEISMIC_G), 20)[0],
                    0.4 * 250.0 * (100 / (steel.e * steel.area) + 1 / RIGID), "seismic g", 1e-6);

    // Mass: W / 386.4 on the three translations of its node, nothing else.
    AnalysisRun run(*snapshot);
    run.set_step(LC_MODAL);
    snapshot->model.rows[tip].data->add_mass(run, tip);
    const int node = node_index(20);
    for (int d = 0; d < 6; ++d)
        EXPECT_DOUBLE_EQ(run.loads[run.equation(node, d)], d < 3 ? 250.0 / 386.4 : 0.0) << d;
}

TEST_F(AttributeRunTest, BranchJointAtATee)
{
    // A 6 in run from the anchored node 10 through the tee at 20 to 30, and
    // a 4 in branch from 20 to 40 carrying a welding tee.
    PipeSection branch;
    branch.name = "4";
    branch.outside_diameter = 4.5f;
    branch.thickness = 0.237f;
    pipe_sections().push_back(branch);
    anchored_from(10);
    const int run1 = pipe(20, 100, 0, 0);
    pipe(30, 100, 0, 0);
    const int start = from(20);
    model().rows[start].dtype = DT_BRANCH_SIF;
    model().rows[start].create_data_object(start);
    const int b = pipe(40, 0, 100, 0);
    model().rows[b].section = "4";
    choose({LC_SUSTAINED});
    analysis_options().use_b31j = true;
    make_model();
    snapshot = make_analysis_model();
    AnalysisRun run(*snapshot);
    const int tee = node_index(20);
    ASSERT_TRUE(node_has_branch_joint(run, tee));
    EXPECT_FALSE(node_has_branch_joint(run, node_index(30)));
    // The run: the two collinear legs; the branch: the third, in the XY plane.
    const BranchTee t = branch_tee_at_node(*snapshot, tee);
    EXPECT_EQ(snapshot->model.elems[t.branch].section, section_index("4"));
    EXPECT_EQ(snapshot->model.elems[t.run[0]].row, run1);
    EXPECT_NEAR(std::fabs(t.plane_normal.z), 1.0, 1e-12);
    EXPECT_EQ(branch_joint_warning(*snapshot, tee), "");
    EXPECT_TRUE(branch_sif_in_range(pipe_sections()[section_index("6")], branch));
    // A branch bigger than its run is not a tee of the formulas.
    EXPECT_FALSE(branch_sif_in_range(branch, pipe_sections()[section_index("6")]));
    // No tee at a node of two legs.
    EXPECT_EQ(branch_tee_at_node(*snapshot, node_index(30)).branch, 0);
    EXPECT_NO_THROW(solve());
}
