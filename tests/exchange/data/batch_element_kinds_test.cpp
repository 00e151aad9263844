// The valves, bellows, slip, hinge and ball joints, rigid and elastic
// elements, beams, tie rods, jacketed pipes and the component data items
// (flanges, branch and user SIFs, welds, threaded joints, spiders, end caps)
// of tests/data/batch/every_element_kind.mbf, a file in SI units, imported
// and checked field by field in internal units. The conversions are worked
// here from the definitions of the units: 1 in = 25.4 mm, 1 lbf =
// 4.4482216152605 N (0.45359237 kg x 9.80665 m/s2), 1 lb = 0.45359237 kg,
// 1 bar = 1e5 Pa, 1 psi = 1 lbf / in2, 1 degree = pi/180 radian.
#include "elements/beam.h"
#include "elements/bellows.h"
#include "elements/branch_sif.h"
#include "elements/elastic_element.h"
#include "elements/flange.h"
#include "elements/jacket_connections.h"
#include "elements/jacketed_pipe.h"
#include "elements/joints.h"
#include "elements/rigid_element.h"
#include "elements/slip_joint.h"
#include "elements/tie_rod.h"
#include "elements/user_sif.h"
#include "elements/valve.h"
#include "elements/weld.h"
#include "exchange/data/batch_fixture.h"
#include "model/model_file.h"
#include "scratch_files.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <numbers>

using namespace batch_test;

namespace {

constexpr double MM = 1.0 / 25.4;                     // inch per mm
constexpr double N = 1.0 / 4.4482216152605;           // lb per newton
constexpr double KG = 1.0 / 0.45359237;               // lb per kg
constexpr double N_PER_MM = N / MM;                   // lb/in per N/mm
constexpr double NM = N / (0.0254);                   // in-lb per N m (1 m = 1 / 0.0254 in)
constexpr double DEG = std::numbers::pi / 180.0;      // radian per degree
constexpr double NM_PER_DEG = NM / DEG;               // in-lb/rad per N m/deg
constexpr double MM2 = MM * MM;                       // in2 per mm2
constexpr double BAR = 1.0e5 * 0.0254 * 0.0254 / 4.4482216152605;   // psi per bar

}  // namespace

TEST_F(BatchTest, EveryElementKindInSiUnits)
{
    import_ok(file_text("every_element_kind.mbf"));
    ASSERT_EQ(piping_code(), CODE_IGEM);

    // Jacketed pipes, one with a spider and one with an end cap.
    for (int node : {30, 32, 34}) {
        const JacketedPipe& jp = element<JacketedPipe>(row_of(node));
        EXPECT_EQ(jp.jacket.material, "CS") << node;
        EXPECT_EQ(jp.jacket.section, "J10") << node;
        EXPECT_EQ(jp.jacket.load, "L1") << node;
    }
    EXPECT_NE(dynamic_cast<Spider*>(model().rows[row_of(32)].data.get()), nullptr);
    EXPECT_NE(dynamic_cast<JacketEndCap*>(model().rows[row_of(34)].data.get()), nullptr);

    // Valves: 150 kg with a 20 kg actuator 450 mm up and 25.4 mm back; one
    // with nothing given keeps the multipliers 3 and 1.75.
    const Valve& valve = element<Valve>(row_of(40));
    expect_value(valve.weight, 150 * KG, "valve weight");
    expect_value(valve.additional_weight, 20 * KG, "additional weight");
    EXPECT_FLOAT_EQ(valve.thickness_multiplier, 2.5f);
    EXPECT_FLOAT_EQ(valve.insulation_multiplier, 1.5f);
    expect_value(valve.offset_dx, 0.0, "DX");
    expect_value(valve.offset_dy, 450 * MM, "DY");
    expect_value(valve.offset_dz, -1.0, "DZ");
    EXPECT_EQ(valve.length, 0.0f);
    EXPECT_EQ(valve.valve_type, 0);
    const Valve& plain_valve = element<Valve>(row_of(45));
    EXPECT_EQ(plain_valve.weight, 0.0f);
    EXPECT_EQ(plain_valve.thickness_multiplier, 3.0f);
    EXPECT_EQ(plain_valve.insulation_multiplier, 1.75f);

    // Bellows: 0.1 N/mm is 0.57 lb/in, raised to 1 like the torsional 0;
    // 32258 mm2 is 50 in2. Without BK the bending stiffness is rigid, and HS
    // alone gives the torsional stiffness.
    const Bellows& bellows = element<Bellows>(row_of(50));
    EXPECT_EQ(bellows.axial_stiffness, 1.0f);
    expect_value(bellows.lateral_stiffness, 2000 * N_PER_MM, "lateral");
    EXPECT_EQ(bellows.torsional_stiffness, 1.0f);
    expect_value(bellows.bending_stiffness, 100 * NM_PER_DEG, "bending");
    expect_value(bellows.thrust_area, 50.0, "thrust area");
    expect_value(bellows.mean_diameter, 200 * MM, "mean diameter");
    expect_value(bellows.weight, 10 * KG, "bellows weight");
    const Bellows& bellows2 = element<Bellows>(row_of(55));
    EXPECT_EQ(bellows2.bending_stiffness, 1.0e12f);
    expect_value(bellows2.torsional_stiffness, 40 * NM_PER_DEG, "HS");
    EXPECT_EQ(bellows2.axial_stiffness, 0.0f);

    const SlipJoint& slip = element<SlipJoint>(row_of(60));
    expect_value(slip.friction_force, 500 * N, "friction force");
    expect_value(slip.friction_torque, 30 * NM, "friction torque");
    expect_value(slip.thrust_area, 1000 * MM2, "slip thrust area");
    expect_value(slip.weight, 5 * KG, "slip weight");

    // Hinges: HS, or the third ES value; a limit not given is none.
    const HingeJoint& hinge = element<HingeJoint>(row_of(70));
    expect_value(hinge.stiffness, 50 * NM_PER_DEG, "hinge stiffness");
    expect_value(hinge.limit, 10 * DEG, "hinge limit");
    expect_value(hinge.friction, 20 * NM, "hinge friction");
    expect_value(hinge.weight, 3 * KG, "hinge weight");
    EXPECT_EQ((std::array<float, 3>{hinge.axis[0], hinge.axis[1], hinge.axis[2]}), (std::array<float, 3>{0, 0, 1}));
    const HingeJoint& hinge2 = element<HingeJoint>(row_of(75));
    expect_value(hinge2.stiffness, 40 * NM_PER_DEG, "ES torsional");
    EXPECT_FALSE(rotation_limit_given(hinge2.limit));
    EXPECT_TRUE(hinge2.has_axis());

    const BallJoint& ball = element<BallJoint>(row_of(80));
    expect_value(ball.bending_stiffness, 100 * NM_PER_DEG, "ball bending");
    expect_value(ball.torsional_stiffness, 200 * NM_PER_DEG, "ball torsion");
    expect_value(ball.bending_limit, 15 * DEG, "bending limit");
    EXPECT_FALSE(rotation_limit_given(ball.torsional_limit));
    expect_value(ball.bending_friction, 5 * NM, "bending friction");
    expect_value(ball.torsional_friction, 6 * NM, "torsional friction");
    expect_value(ball.weight, 2 * KG, "ball weight");
    const BallJoint& free_ball = element<BallJoint>(row_of(85));
    EXPECT_FALSE(rotation_limit_given(free_ball.bending_limit));
    EXPECT_FALSE(rotation_limit_given(free_ball.torsional_limit));

    expect_value(element<RigidElement>(row_of(90)).weight, 250 * KG, "rigid weight");
    EXPECT_EQ(element<RigidElement>(row_of(90)).add_cil, 0);

    // Elastic element: a rate given as 0 (or left empty) is free, RIGID is
    // 1e12; the axes as given, not normalised.
    const ElasticElement& elastic = element<ElasticElement>(row_of(100));
    expect_value(elastic.kx, 1000 * N_PER_MM, "kx");
    EXPECT_LE(elastic.ky, 0.0f);
    EXPECT_EQ(elastic.kz, 1.0e12f);
    expect_value(elastic.kxx, 50 * NM_PER_DEG, "kxx");
    EXPECT_LE(elastic.kyy, 0.0f);
    EXPECT_LE(elastic.kzz, 0.0f);
    double rates[6];
    elastic.rates(rates);
    EXPECT_EQ(rates[1], ELASTIC_FREE_RATE);
    EXPECT_EQ(elastic.x_axis[0], 2.0f);
    EXPECT_FLOAT_EQ(elastic.y_axis[0], 0.005f);
    EXPECT_EQ(elastic.y_axis[1], 1.0f);

    const TieRod& tie = element<TieRod>(row_of(120));
    expect_value(tie.tension_stiffness, 1000 * N_PER_MM, "tension stiffness");
    EXPECT_EQ(tie.compression_stiffness, 0.0f);
    expect_value(tie.tension_gap, 5 * MM, "tension gap");
    expect_value(tie.compression_gap, 2.5 * MM, "compression gap");

    // Flanges: SO is 3 (single welded slip on), a bare FLANGE a weld neck.
    const Flange& flange = data<Flange>(row_of(130));
    EXPECT_EQ(flange.flange_type, 3);
    expect_value(flange.weight, 40 * KG, "flange weight");
    expect_value(flange.gasket_diameter, 200 * MM, "gasket diameter");
    expect_value(flange.allowable_pressure, 20 * BAR, "allowable pressure");
    EXPECT_EQ(data<Flange>(row_of(135)).flange_type, 1);

    // Branch SIFs by their K codes and values.
    struct Branch {
        int node, type;
        double value1, value2;
    };
    for (const Branch& b : {Branch{140, BRANCH_WELDING_TEE, 0, 0}, Branch{150, BRANCH_REINFORCED_TEE, 10 * MM, 0},
                            Branch{155, BRANCH_UNREINFORCED_TEE, 0, 0}, Branch{160, BRANCH_EXTRUDED_TEE, 1, 0},
                            Branch{170, BRANCH_SWEEPOLET, 0, 0}, Branch{175, BRANCH_WELDOLET, 0, 0},
                            Branch{180, BRANCH_RADIUSED, 0.5, 0.25}, Branch{190, BRANCH_THICKENED_PIPE, 0.5, 2},
                            Branch{200, BRANCH_CONNECTION, 1, 0}}) {
        const BranchSif& sif = data<BranchSif>(row_of(b.node));
        EXPECT_EQ(sif.sif_type, b.type) << b.node;
        expect_value(sif.value1, b.value1, "value 1");
        expect_value(sif.value2, b.value2, "value 2");
        EXPECT_EQ(sif.num_flanges, 0);
    }

    // User SIF under IGEM: each factor in the component its keyword names
    // (P pressure, B bending, T thrust, Q torsion, S shear).
    const UserSif& user = data<UserSif>(row_of(210));
    EXPECT_FLOAT_EQ(user.sif_in, 1.5f);
    EXPECT_FLOAT_EQ(user.sif_out, 1.2f);
    EXPECT_FLOAT_EQ(user.sif_axial, 1.1f);
    EXPECT_FLOAT_EQ(user.sif_torsion, 1.05f);
    const float sustained[SCF_COMPONENTS] = {1.1f, 1.2f, 1.4f, 1.3f, 1.5f};
    const float cyclic[SCF_COMPONENTS] = {1.6f, 1.7f, 1.9f, 1.8f, 2.0f};
    for (int c = 0; c < SCF_COMPONENTS; ++c) {
        EXPECT_FLOAT_EQ(user.scf_sustained[c], sustained[c]) << c;
        EXPECT_FLOAT_EQ(user.scf_cyclic[c], cyclic[c]) << c;
    }

    // Welds: a tapered transition with its mismatch; type 0 is a butt weld.
    const Weld& weld = data<Weld>(row_of(220));
    EXPECT_EQ(weld.weld_type, WELD_TAPERED);
    expect_value(weld.mismatch, 1.6 * MM, "mismatch");
    EXPECT_EQ(data<Weld>(row_of(225)).weld_type, WELD_BUTT);
    EXPECT_NE(dynamic_cast<ThreadedJoint*>(model().rows[row_of(230)].data.get()), nullptr);

    // The beam names its beam data in the row, whatever M and P said.
    const LayoutRow& beam_row = model().rows[row_of(1010)];
    EXPECT_EQ(beam_row.material, "BM");
    EXPECT_EQ(beam_row.section, "BS");
    EXPECT_EQ(beam_row.load, "BL");
    expect_value(element<Beam>(row_of(1010)).beta, 30 * DEG, "beta");
    EXPECT_EQ(element<Beam>(row_of(1010)).releases, (std::array<uint8_t, BEAM_RELEASE_COUNT>{}));

    // What the import stores, the model file takes and gives back: read
    // and written again, the file is the same byte for byte.
    const ScratchFolder folder("korvane_element_kinds");
    const std::string first = folder.path("first.mod");
    const std::string second = folder.path("second.mod");
    write_model_file(first);
    const int rows = numrows();
    reset_model();
    read_model(first);
    EXPECT_EQ(numrows(), rows);
    write_model_file(second);
    const auto bytes = [](const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    };
    EXPECT_EQ(bytes(first), bytes(second));
}

TEST_F(BatchTest, IgemFactorsCountOnlyUnderIgem)
{
    import_ok("B31.3\nOPTIONS\nB313\nLAYOUT\nF10\nT20,X10,CSIF(1.5,1.2),IPS=1.1,ISC=2\n");
    const UserSif& sif = data<UserSif>(row_of(20));
    EXPECT_FLOAT_EQ(sif.sif_in, 1.5f);
    for (int c = 0; c < SCF_COMPONENTS; ++c) {
        EXPECT_EQ(sif.scf_sustained[c], 0.0f) << c;
        EXPECT_EQ(sif.scf_cyclic[c], 0.0f) << c;
    }
}
