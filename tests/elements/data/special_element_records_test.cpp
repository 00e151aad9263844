// The model-file records of beams, ball and hinge joints, rigid elements,
// valves, bellows, slip joints, elastic elements and tie rods: each laid out
// here byte by byte on both sides of its version gates, written back in the
// newest layout, round-tripped through a whole model file, and refused with
// a message when a file holds values no dialog would store.
#include "elements/beam.h"
#include "elements/bellows.h"
#include "elements/data/element_records_fixture.h"
#include "elements/elastic_element.h"
#include "elements/joints.h"
#include "elements/rigid_element.h"
#include "elements/slip_joint.h"
#include "elements/tie_rod.h"
#include "elements/valve.h"
#include "framework/binfile.h"

#include <limits>

namespace {

using SpecialRecordsTest = ElementRecordsFixture;

Bytes floats(std::initializer_list<float> values)
{
    Bytes b;
    for (float v : values)
        b.f32(v);
    return b;
}

}  // namespace

TEST_F(SpecialRecordsTest, JointRecordsTakeTheirLimitsFrom503)
{
    // Ball: bending k, torsional k, [bending limit, torsional limit], the two
    // friction torques, weight.
    const auto old_ball = read_record(ET_BALL_JOINT, floats({100, 200, 30, 40, 50}), 502);
    const auto& b = dynamic_cast<const BallJoint&>(*old_ball);
    EXPECT_EQ(b.bending_limit, NO_ROTATION_LIMIT);
    EXPECT_EQ(b.torsional_limit, NO_ROTATION_LIMIT);
    EXPECT_EQ(b.bending_friction, 30.0f);
    EXPECT_EQ(b.weight, 50.0f);
    EXPECT_EQ(b.cell_text(5), "None");
    const Bytes ball = floats({100, 200, 0.1f, 0.2f, 30, 40, 50});
    const auto new_ball = read_record(ET_BALL_JOINT, ball, 503);
    EXPECT_EQ(dynamic_cast<const BallJoint&>(*new_ball).torsional_limit, 0.2f);
    EXPECT_EQ(written(*new_ball), ball.b);
    EXPECT_EQ(written(*old_ball).size(), 28u);

    // Hinge: k, [limit], friction, weight, axis X, Y, Z.
    const auto old_hinge = read_record(ET_HINGE_JOINT, floats({100, 30, 50, 0, 0, 2}), 502);
    const auto& h = dynamic_cast<const HingeJoint&>(*old_hinge);
    EXPECT_EQ(h.limit, NO_ROTATION_LIMIT);
    EXPECT_EQ(h.axis[2], 2.0f);
    EXPECT_FALSE(h.is_nonlinear() && h.friction == 0.0f);
    const Bytes hinge = floats({100, 0.3f, 30, 50, 0, 0, 2});
    EXPECT_EQ(written(*read_record(ET_HINGE_JOINT, hinge, 503)), hinge.b);
}

TEST_F(SpecialRecordsTest, RigidValveAndBellowsGates)
{
    // Rigid: weight, then add CIL from 781.
    const auto old_rigid = read_record(ET_RIGID, floats({250}), 780);
    EXPECT_EQ(dynamic_cast<const RigidElement&>(*old_rigid).add_cil, 0);
    Bytes rigid = floats({250});
    rigid.u8(1);
    const auto new_rigid = read_record(ET_RIGID, rigid, 781);
    EXPECT_EQ(dynamic_cast<const RigidElement&>(*new_rigid).add_cil, 1);
    EXPECT_EQ(written(*new_rigid), rigid.b);

    // Valve: eight f32, then the type above 510.
    const Bytes eight = floats({400, 20, 3, 1.75f, 150, 1, 2, 3});
    const auto old_valve = read_record(ET_VALVE, eight, 510);
    const auto& v = dynamic_cast<const Valve&>(*old_valve);
    EXPECT_EQ(v.valve_type, 0);
    EXPECT_EQ(v.offset_dz, 3.0f);
    Bytes valve = eight;
    valve.i32(2);
    const auto new_valve = read_record(ET_VALVE, valve, 511);
    EXPECT_EQ(dynamic_cast<const Valve&>(*new_valve).valve_type, 2);
    EXPECT_EQ(written(*new_valve), valve.b);

    // Bellows: six f32, then the mean diameter from 701.
    const auto old_bellows = read_record(ET_BELLOWS, floats({1000, 2000, 3000, 4000, 12, 40}), 700);
    EXPECT_EQ(dynamic_cast<const Bellows&>(*old_bellows).mean_diameter, 0.0f);
    const Bytes bellows = floats({1000, 2000, 3000, 4000, 12, 40, 7.5f});
    const auto new_bellows = read_record(ET_BELLOWS, bellows, 701);
    EXPECT_EQ(dynamic_cast<const Bellows&>(*new_bellows).mean_diameter, 7.5f);
    EXPECT_EQ(written(*new_bellows), bellows.b);
}

TEST_F(SpecialRecordsTest, UngatedRecords)
{
    // Beam: beta and twelve flags (16 bytes) in every version.
    Bytes beam = floats({0.5f});
    for (int i = 0; i < 12; ++i)
        beam.u8(i % 3 == 0 ? 1 : 0);
    for (int version : {400, MODEL_FILE_VERSION}) {
        const auto read = read_record(ET_BEAM, beam, version);
        const auto& b = dynamic_cast<const Beam&>(*read);
        EXPECT_EQ(b.beta, 0.5f);
        EXPECT_EQ(b.releases[3], 1);
        EXPECT_EQ(b.releases[4], 0);
        EXPECT_EQ(written(b), beam.b);
        // Column 10 is the From torsion flag, 11 the To torsion flag (9).
        EXPECT_EQ(b.cell_text(10), "Y");
        EXPECT_EQ(b.cell_text(11), "Y");
        EXPECT_EQ(b.cell_text(12), "");
    }
    const Bytes slip = floats({500, 600, 12, 80});
    const auto s = read_record(ET_SLIP_JOINT, slip, 400);
    EXPECT_TRUE(s->is_nonlinear());
    EXPECT_EQ(written(*s), slip.b);
    const Bytes elastic = floats({1, 2, 3, 4, 5, 6, 1, 0, 0, 0, 1, 0});
    EXPECT_EQ(written(*read_record(ET_ELASTIC, elastic, 400)), elastic.b);
    const Bytes tie = floats({1000, 2000, 0.1f, 0.2f});
    const auto t = read_record(ET_TIE_ROD, tie, 400);
    EXPECT_TRUE(t->is_nonlinear());
    EXPECT_EQ(written(*t), tie.b);
}

TEST_F(SpecialRecordsTest, DamagedRecordsAreRefused)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    Bytes beam = floats({0.0f});
    for (int i = 0; i < 12; ++i)
        beam.u8(i == 5 ? 2 : 0);
    EXPECT_EQ(refusal(ET_BEAM, beam), "Beam: an end release flag is invalid");
    // A rotation limit of 0 would divide the spring rule by zero.
    EXPECT_EQ(refusal(ET_BALL_JOINT, floats({1, 1, 0, 1, 0, 0, 0})), "Ball joint: a rotation limit is not above 0");
    EXPECT_EQ(refusal(ET_HINGE_JOINT, floats({1, 1, -5, 0, 0, 0, 1})),
              "Hinge joint: a friction torque is not a number or below 0");
    EXPECT_EQ(refusal(ET_VALVE, [] {
                  Bytes b = floats({1, 1, 0.001f, 1, 0, 0, 0, 0});
                  b.i32(0);
                  return b;
              }()),
              "Valve: a multiplier is below 0.01");
    EXPECT_EQ(refusal(ET_BELLOWS, floats({nan, 0, 0, 0, 0, 0, 0})), "Bellows: a value is not a number or below 0");
    EXPECT_EQ(refusal(ET_TIE_ROD, floats({-1, 0, 0, 0})), "Tie rod: a value is not a number or below 0");
    EXPECT_EQ(refusal(ET_ELASTIC, floats({nan, 0, 0, 0, 0, 0, 1, 0, 0, 0, 1, 0})),
              "Elastic element: a value is not a number");
    // An importer's -1 for a rate not given is kept (it reads as not given).
    const auto e = read_record(ET_ELASTIC, floats({-1, 2, 3, 4, 5, 6, 1, 0, 0, 0, 1, 0}), MODEL_FILE_VERSION);
    EXPECT_EQ(dynamic_cast<const ElasticElement&>(*e).kx, -1.0f);
}

TEST_F(SpecialRecordsTest, WholeModelRoundTrip)
{
    from(10);
    const int beam = row(20, ET_BEAM, 100, 0, 0);
    dynamic_cast<Beam&>(*model().rows[beam].element).beta = 0.25f;
    dynamic_cast<Beam&>(*model().rows[beam].element).releases[7] = 1;
    const int ball = row(30, ET_BALL_JOINT);
    dynamic_cast<BallJoint&>(*model().rows[ball].element).bending_limit = 0.1f;
    const int hinge = row(40, ET_HINGE_JOINT);
    dynamic_cast<HingeJoint&>(*model().rows[hinge].element).axis[1] = 1.0f;
    const int rigid = row(50, ET_RIGID, 10, 0, 0);
    dynamic_cast<RigidElement&>(*model().rows[rigid].element).add_cil = 1;
    const int valve = row(60, ET_VALVE, 10, 0, 0);
    dynamic_cast<Valve&>(*model().rows[valve].element).valve_type = 7;
    const int bellows = row(70, ET_BELLOWS, 10, 0, 0);
    dynamic_cast<Bellows&>(*model().rows[bellows].element).mean_diameter = 9.0f;
    const int slip = row(80, ET_SLIP_JOINT, 10, 0, 0);
    dynamic_cast<SlipJoint&>(*model().rows[slip].element).friction_torque = 33.0f;
    const int elastic = row(90, ET_ELASTIC, 10, 0, 0);
    dynamic_cast<ElasticElement&>(*model().rows[elastic].element).kzz = 44.0f;
    const int tie = row(100, ET_TIE_ROD, 10, 0, 0);
    dynamic_cast<TieRod&>(*model().rows[tie].element).compression_gap = 0.5f;
    make_model();
    write_model_file(path("all.mod"));
    const std::vector<unsigned char> first = bytes_of(path("all.mod"));
    reset_model();
    read_model(path("all.mod"));
    ASSERT_EQ(numrows(), 10);
    EXPECT_EQ(dynamic_cast<const Beam&>(*model().rows[beam].element).releases[7], 1);
    EXPECT_EQ(dynamic_cast<const BallJoint&>(*model().rows[ball].element).bending_limit, 0.1f);
    EXPECT_EQ(dynamic_cast<const HingeJoint&>(*model().rows[hinge].element).axis[1], 1.0f);
    EXPECT_EQ(dynamic_cast<const RigidElement&>(*model().rows[rigid].element).add_cil, 1);
    EXPECT_EQ(dynamic_cast<const Valve&>(*model().rows[valve].element).valve_type, 7);
    EXPECT_EQ(dynamic_cast<const Bellows&>(*model().rows[bellows].element).mean_diameter, 9.0f);
    EXPECT_EQ(dynamic_cast<const SlipJoint&>(*model().rows[slip].element).friction_torque, 33.0f);
    EXPECT_EQ(dynamic_cast<const ElasticElement&>(*model().rows[elastic].element).kzz, 44.0f);
    EXPECT_EQ(dynamic_cast<const TieRod&>(*model().rows[tie].element).compression_gap, 0.5f);
    write_model_file(path("again.mod"));
    EXPECT_EQ(bytes_of(path("again.mod")), first);
    // Each kind counted in its own list.
    for (int list : {BEAM_ROWS, BALL_JOINT_ROWS, HINGE_JOINT_ROWS, RIGID_ROWS, VALVE_ROWS, BELLOWS_ROWS,
                     SLIP_JOINT_ROWS, ELASTIC_ROWS, TIE_ROD_ROWS})
        EXPECT_EQ(model().list(list).count, 1) << list;
}
