// The dialogs and tables of beams, joints, rigid elements, valves, bellows,
// slip joints, elastic elements and tie rods on the scripted backend: each
// check with its message, what is stored (nothing when nothing changed),
// the cells that are typed, copy and paste, and the printed and CSV forms.
// Row 6 (node 60, 50 in along Y after node 50) is made each kind by its
// dialog.
#include "elements/beam.h"
#include "elements/bellows.h"
#include "elements/elastic_element.h"
#include "elements/joints.h"
#include "elements/rigid_element.h"
#include "elements/slip_joint.h"
#include "elements/tie_rod.h"
#include "elements/valve.h"
#include "element_ui_fixture.h"
#include "framework/ui/table.h"
#include "materials/valve_library.h"
#include "model/ui/list_window.h"

#include <algorithm>
#include <numbers>
#include <sstream>

namespace {

class SpecialWindowsTest : public ElementUiTest {
protected:
    void SetUp() override
    {
        ElementUiTest::SetUp();
        named(row(60, ET_PIPE, 0, 50, 0));
        make_model();
        model_modified() = false;
    }
    template <typename T>
    static T& object(int r)
    {
        return dynamic_cast<T&>(*model().rows[r].element);
    }
    // Types a whole cell and commits it; false when it was refused.
    static bool type_cell(TableWindow& t, int row, int column, const std::string& text)
    {
        table_cancel_edit(t);
        t.current_row = row;
        t.current_column = column;
        if (!table_begin_edit(t, true))
            return false;
        t.edit.text = text;
        return table_end_edit(t);
    }
    static bool csv_has(TableWindow& t, const std::string& line)
    {
        std::istringstream in(table_report_text(t, true));
        for (std::string l; std::getline(in, l);)
            if (l == line)
                return true;
        return false;
    }
    static bool text_has(TableWindow& t, const std::string& part)
    {
        return table_report_text(t, false).find(part) != std::string::npos;
    }
};

}  // namespace

TEST_F(SpecialWindowsTest, BeamDialogAndTable)
{
    script().once("BEAM_DIALOG1", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Beam from 50 to 60");
        EXPECT_EQ(d.text(BEAM_BETA), "");
        attempt(d, {{BEAM_BETA, "X"}});
        d.check(BEAM_RELEASE_FIRST + int{BEAM_MAJOR_BENDING}, true);
        d.check(BEAM_RELEASE_FIRST + 6 + int{BEAM_TORSION}, true);
        attempt(d, {{BEAM_BETA, "90"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_beam(6));
    EXPECT_EQ(new_messages(), std::vector<std::string>{"Beta =  X  is invalid"});
    Beam& b = object<Beam>(6);
    EXPECT_NEAR(b.beta, std::numbers::pi / 2, 1e-6);
    EXPECT_EQ(b.releases[BEAM_MAJOR_BENDING], 1);
    EXPECT_EQ(b.releases[6 + BEAM_TORSION], 1);
    EXPECT_TRUE(model_modified());

    // Reopened: the angle and the axes (a member along Y, Y vertical: local
    // x = Y, y = -X, z = Z; turned by 90 degrees about Y, y becomes Z and z
    // becomes X); OK unchanged marks nothing.
    model_modified() = false;
    script().once("BEAM_DIALOG1", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(BEAM_BETA), "90");
        EXPECT_EQ(d.text(BEAM_AXIS_FIRST + 1), "1.000");
        EXPECT_EQ(d.text(BEAM_AXIS_FIRST + 5), "1.000");
        EXPECT_EQ(d.text(BEAM_AXIS_FIRST + 6), "1.000");
        EXPECT_TRUE(d.is_readonly(BEAM_AXIS_FIRST));
        d.press(IDOK);
    });
    EXPECT_FALSE(edit_beam(6));
    EXPECT_FALSE(model_modified());

    ElementRowsTable& t = beams_table();
    t.load();
    ASSERT_EQ(t.record_count(), 1);
    EXPECT_EQ(t.cell_text(1, 3, 0), "90");
    EXPECT_EQ(t.cell_text(1, 6, 0), "Y");   // From major bending
    EXPECT_EQ(t.cell_text(1, 11, 0), "Y");  // To torsion
    EXPECT_FALSE(t.cell_editable(1, 6));
    EXPECT_TRUE(type_cell(t, 1, 3, "45"));
    EXPECT_NEAR(b.beta, std::numbers::pi / 4, 1e-6);
    EXPECT_FALSE(type_cell(t, 1, 3, "abc"));
    EXPECT_TRUE(csv_has(t, "From,To,Beta,Axial,,Maj Bnd,,Min Bnd,,Torsion,,Maj Shr,,Min Shr,,"));
    EXPECT_TRUE(csv_has(t, "50,60,45,,,Y,,,,,Y,,,,,"));
    EXPECT_TRUE(text_has(t, "Axial  Maj Bnd Min Bnd Torsion Maj Shr Min Shr"));
    // Its popup offers the local-axes display, which ends when the table is left.
    EXPECT_TRUE(t.local_axes_item);
    set_local_axes_display(true);
    t.on_leave();
    EXPECT_FALSE(local_axes_display());
}

TEST_F(SpecialWindowsTest, BallJointDialogLimitsAndTable)
{
    script().once("BALL_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Ball joint from 50 to 60");
        attempt(d, {{BALL_BENDING_STIFFNESS, "1000"}, {BALL_BENDING_LIMIT, "-1"}});
        attempt(d, {{BALL_BENDING_LIMIT, "0"}});
        attempt(d, {{BALL_BENDING_LIMIT, "n"}, {BALL_TORSION_LIMIT, "NON"}, {BALL_BENDING_FRICTION, "-5"}});
        attempt(d, {{BALL_BENDING_FRICTION, "50"}, {BALL_TORSION_LIMIT, "2"}, {BALL_WEIGHT, "40"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_ball_joint(6));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"Rotation limit should be positive",
                                                        "Rotation limit should be positive",
                                                        "Bending friction torque =  -5  is invalid: it must be 0 or more"}));
    const BallJoint& b = object<BallJoint>(6);
    EXPECT_EQ(b.bending_limit, NO_ROTATION_LIMIT);
    EXPECT_NEAR(b.torsional_limit, 2 * std::numbers::pi / 180, 1e-7);
    EXPECT_FLOAT_EQ(b.bending_stiffness, static_cast<float>(to_internal(ROT_STIFFNESS, 1000)));
    EXPECT_TRUE(b.is_nonlinear());
    // A joint has no length: the row's offsets are 0.
    EXPECT_EQ(model().rows[6].dy, 0.0f);

    ElementRowsTable& t = ball_joints_table();
    t.load();
    EXPECT_EQ(t.cell_text(1, 5, 0), "None");
    EXPECT_FALSE(type_cell(t, 1, 6, "-1"));
    EXPECT_TRUE(type_cell(t, 1, 6, "none"));
    EXPECT_EQ(b.torsional_limit, NO_ROTATION_LIMIT);
    EXPECT_TRUE(type_cell(t, 1, 9, "75"));
    EXPECT_EQ(b.weight, 75.0f);
    EXPECT_TRUE(csv_has(t, ",,Bending,Torsional,Bending,Torsional,Weight,"));
}

TEST_F(SpecialWindowsTest, NewHingeTakesThePipeDirection)
{
    // Row 6 runs along Y: a new hinge proposes (0, 1, 0).
    script().once("HINGE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(HINGE_AXIS_X), "");
        EXPECT_EQ(d.text(HINGE_AXIS_X + 1), "1.000");
        EXPECT_EQ(d.text(HINGE_LIMIT), "None");
        attempt(d, {{HINGE_FRICTION, "-2"}});
        attempt(d, {{HINGE_FRICTION, "20"}, {HINGE_AXIS_X + 1, "0"}});
        attempt(d, {{HINGE_AXIS_X + 2, "2"}, {HINGE_STIFFNESS, "rig"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_hinge_joint(6));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"Friction torque =  -2  is invalid: it must be 0 or more", "Direction is invalid"}));
    const HingeJoint& h = object<HingeJoint>(6);
    EXPECT_EQ(h.axis[2], 2.0f);
    EXPECT_EQ(h.stiffness, RIGID_STIFFNESS);
    EXPECT_FLOAT_EQ(h.friction, static_cast<float>(to_internal(MOMENT, 20)));

    ElementRowsTable& t = hinge_joints_table();
    t.load();
    EXPECT_EQ(t.cell_text(1, 3, 0), "Rigid");
    EXPECT_FALSE(type_cell(t, 1, 5, "-1"));
    EXPECT_EQ(new_messages(), std::vector<std::string>{"Friction Torque =  -1  is invalid: it must be 0 or more"});
    // Copy and paste between two hinges.
    named(row(70, ET_HINGE_JOINT, 0, 0, 0));
    make_model();
    t.load();
    ASSERT_EQ(t.record_count(), 2);
    t.copy_row(1);
    EXPECT_TRUE(t.paste_row(2, {}));
    EXPECT_TRUE(object<HingeJoint>(7).same_values(h));
}

TEST_F(SpecialWindowsTest, RigidAndBellowsDialogs)
{
    script().once("RIGID_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {{RIGID_WEIGHT, "-3"}});
        d.check(RIGID_ADD_CIL, true);
        attempt(d, {{RIGID_WEIGHT, "120"}});
    });
    EXPECT_TRUE(edit_rigid(6));
    EXPECT_EQ(new_messages(), std::vector<std::string>{"Weight =  -3  is invalid: it must be 0 or more"});
    EXPECT_EQ(object<RigidElement>(6).add_cil, 1);
    ElementRowsTable& rigid = rigid_elements_table();
    rigid.load();
    EXPECT_EQ(rigid.cell_text(1, 4, 0), "Y");
    EXPECT_FALSE(rigid.cell_editable(1, 4));
    EXPECT_TRUE(csv_has(rigid, "50,60,120,Y,"));

    // Bending from the mean diameter: ka Dm^2 / 8 = 1000 x 100 / 8.
    script().once("BELLOWS_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {{BELLOWS_TORSIONAL, "5000"}, {BELLOWS_LATERAL, "300"}});
        attempt(d, {{BELLOWS_AXIAL, "1000"}});
        attempt(d, {{BELLOWS_MEAN_DIAMETER, "10"}});
    });
    EXPECT_TRUE(edit_bellows(6));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"Axial stiffness is required",
                                                        "Bending Stiffness or Mean diameter is required"}));
    const Bellows& b = object<Bellows>(6);
    EXPECT_FLOAT_EQ(b.bending_stiffness, 12500.0f);
    ElementRowsTable& t = bellows_table();
    t.load();
    EXPECT_FALSE(type_cell(t, 1, 6, ""));
    EXPECT_EQ(new_messages(), std::vector<std::string>{"Lateral stiffness is required"});
    EXPECT_TRUE(type_cell(t, 1, 7, ""));   // thrust area 0
    EXPECT_TRUE(type_cell(t, 1, 6, "5000"));
    EXPECT_EQ(b.lateral_stiffness, 5000.0f);
    EXPECT_TRUE(csv_has(t, ",,Axial,Lateral,Angular,Torsional,Thrust area,Weight,Mean Dia,"));
}

TEST_F(SpecialWindowsTest, SlipJointCellsAreStored)
{
    script().once("SLIP_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {{SLIP_FRICTION_FORCE, "-10"}});
        attempt(d, {{SLIP_FRICTION_FORCE, "800"}, {SLIP_WEIGHT, "60"}});
    });
    EXPECT_TRUE(edit_slip_joint(6));
    EXPECT_EQ(new_messages(), std::vector<std::string>{"Friction force =  -10  is invalid: it must be 0 or more"});
    ElementRowsTable& t = slip_joints_table();
    t.load();
    EXPECT_EQ(t.cell_text(1, 4, 0), "");   // no friction torque
    model_modified() = false;
    EXPECT_TRUE(type_cell(t, 1, 4, "300"));
    EXPECT_FLOAT_EQ(object<SlipJoint>(6).friction_torque, static_cast<float>(to_internal(MOMENT, 300)));
    EXPECT_TRUE(model_modified());
    EXPECT_FALSE(type_cell(t, 1, 5, "x"));
    EXPECT_TRUE(csv_has(t, ",,Frict force,Frict torque,Thrust area,Weight,"));
}

TEST_F(SpecialWindowsTest, ElasticAxesAndRates)
{
    script().once("ELASTIC_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {{ELASTIC_KX, "-5"}});
        attempt(d, {{ELASTIC_KX, "100"}});
        attempt(d, {{ELASTIC_X_AXIS, "1"}});
        attempt(d, {{ELASTIC_Y_AXIS, "0.1"}, {ELASTIC_Y_AXIS + 1, "1"}});
        attempt(d, {{ELASTIC_Y_AXIS, "0"}, {ELASTIC_Y_AXIS + 1, "2"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_elastic(6));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"kx =  -5  is invalid: it must be 0 or more", "0.0, 0.0, 0.0 is not a valid direction",
                                                        "0.0, 0.0, 0.0 is not a valid direction",
                                                        "x and y axes are not perpendicular"}));
    const ElasticElement& e = object<ElasticElement>(6);
    EXPECT_EQ(e.y_axis[1], 2.0f);   // stored as typed
    ElementRowsTable& t = elastic_elements_table();
    t.load();
    EXPECT_TRUE(type_cell(t, 1, 8, "rigid"));
    EXPECT_EQ(e.kzz, RIGID_STIFFNESS);
    EXPECT_FALSE(type_cell(t, 1, 4, "-1"));
    EXPECT_TRUE(csv_has(t, "From,To,kx,ky,kz,kxx,kyy,kzz,xXcomp,xYcomp,xZcomp,yXcomp,yYcomp,yZcomp,"));
}

TEST_F(SpecialWindowsTest, TieRodNeedsAStiffness)
{
    script().once("TIE_ROD_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {});
        attempt(d, {{TIE_COMPRESSION_STIFFNESS, "2000"}, {TIE_COMPRESSION_GAP, "-1"}});
        attempt(d, {{TIE_COMPRESSION_GAP, "0.25"}});
    });
    EXPECT_TRUE(edit_tie_rod(6));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"At least one stiffness is required", "Compression gap =  -1  is invalid: it must be 0 or more"}));
    ElementRowsTable& t = tie_rods_table();
    t.load();
    EXPECT_FALSE(type_cell(t, 1, 4, "0"));
    EXPECT_EQ(new_messages(), std::vector<std::string>{"At least one stiffness is required"});
    EXPECT_TRUE(type_cell(t, 1, 5, "0.1"));
    EXPECT_EQ(object<TieRod>(6).tension_gap, 0.1f);
    EXPECT_TRUE(text_has(t, "Compression"));
}

TEST_F(SpecialWindowsTest, ValveDialogLengthAndTable)
{
    script().once("VALVE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(VALVE_LENGTH), "");
        EXPECT_EQ(d.text(VALVE_THICKNESS_X), "3.00");
        EXPECT_EQ(d.text(VALVE_INSULATION_X), "1.75");
        EXPECT_EQ(d.text(VALVE_OFFSET_LABEL), "DX " + unit_label(DIMENSION));
        EXPECT_EQ(d.text(VALVE_LENGTH_UNIT), unit_label(DIMENSION));
        attempt(d, {{VALVE_THICKNESS_X, "0.009"}});
        EXPECT_TRUE(d.select(VALVE_TYPE, 2));
        attempt(d, {{VALVE_THICKNESS_X, ""}, {VALVE_WEIGHT, "300"}, {VALVE_LENGTH, "20"}, {VALVE_OFFSET_X, "5"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_valve(6));
    EXPECT_EQ(new_messages(), std::vector<std::string>{"Thickness multiplier =  0.009  is invalid: it must be 0.01 or more"});
    const Valve& v = object<Valve>(6);
    EXPECT_EQ(v.thickness_multiplier, 3.0f);
    EXPECT_EQ(v.valve_type, 2);
    // No additional weight: its offsets are not kept.
    EXPECT_EQ(v.offset_dx, 0.0f);
    // The length rewrote the row's offsets along the valve (Y).
    EXPECT_FLOAT_EQ(model().rows[6].dy, 20.0f);
    EXPECT_FLOAT_EQ(model().rows[6].dx, 0.0f);

    ElementRowsTable& t = valves_table();
    t.load();
    EXPECT_EQ(t.cell_text(1, 8, 0), "");
    EXPECT_TRUE(type_cell(t, 1, 4, "30"));
    EXPECT_FLOAT_EQ(model().rows[6].dy, 30.0f);
    EXPECT_FALSE(type_cell(t, 1, 5, "0.005"));
    EXPECT_TRUE(csv_has(t, ",,Weight,Length,Thick X,Insul Wgt X,Add Wght,DX,DY,DZ,"));

    // Pasted onto another valve (row 7, 10 in along X), the length rewrites
    // that row's offsets along its own direction.
    named(row(70, ET_VALVE, 10, 0, 0));
    make_model();
    t.load();
    ASSERT_EQ(t.record_count(), 2);
    t.copy_row(1);
    EXPECT_TRUE(t.paste_row(2, {}));
    EXPECT_FLOAT_EQ(object<Valve>(7).length, 30.0f);
    EXPECT_FLOAT_EQ(model().rows[7].dx, 30.0f);
    EXPECT_FLOAT_EQ(model().rows[7].dy, 0.0f);
}

TEST_F(SpecialWindowsTest, ResultsModeOnlyShows)
{
    const int r = 6;
    LayoutRow::change_etype(r, ET_TIE_ROD);
    object<TieRod>(r).tension_stiffness = 10.0f;
    input_locked() = true;
    script().once("TIE_ROD_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_readonly(TIE_TENSION_STIFFNESS));
        attempt(d, {});
    });
    EXPECT_FALSE(edit_tie_rod(r));
    ElementRowsTable& t = tie_rods_table();
    t.load();
    EXPECT_FALSE(t.cell_editable(1, 3));
    input_locked() = false;
}

TEST_F(SpecialWindowsTest, ValvePickedWithoutAWeightAsksForItsWeight)
{
    // A 6 in gate valve with its face-to-face length and no weight: a valve
    // that weighed nothing would also take the pipe metal it replaces with it.
    ValveRecord gate;
    gate.description = "GATE 150";
    gate.nominal_size = "6\"";
    gate.rating = "150";
    gate.connection = "FL";
    gate.length = 10.5f;
    gate.outside_diameter = 6.625f;
    gate.valve_type = 1;
    OneBased<ValveRecord> library;
    library.push_back(gate);
    write_valve_library_file(path("gates.val"), {0, 0, 0}, library);
    script().answer_file(path("gates.val"));
    script().once("VALVE_LIBRARY_USE_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    script().once("VALVE_DIALOG", [](HeadlessDialog& d) {
        d.press(VALVE_LIBRARY);
        EXPECT_EQ(d.text(VALVE_LENGTH), format_dimension(10.5));
        EXPECT_EQ(d.focused(), VALVE_WEIGHT);
        // OK without a weight is refused, on the weight field.
        d.press(IDOK);
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(d.focused(), VALVE_WEIGHT);
        d.type(VALVE_WEIGHT, "150");
        d.press(IDOK);
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_valve(6));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"No weight is known for this valve; type its weight",
                                                        "No weight is known for this valve; type its weight"}));
    EXPECT_EQ(object<Valve>(6).weight, 150.0f);
}
