// The element dialogs on the scripted backend: each check in its order with
// its message, what is stored (and what is not when nothing changed), the
// fields each piping code and option shows, read-only results mode, and
// dialogs opened for a row that is not the current layout row.
#include "elements/jacketed_bend.h"
#include "elements/miter.h"
#include "elements/pipe.h"
#include "elements/reducer.h"
#include "element_ui_fixture.h"
#include "framework/ui/help.h"
#include "model/ui/layout_window.h"
#include "model/view_drawing.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace {

constexpr double DEGREE = std::numbers::pi / 180;

class BendDialogTest : public ElementUiTest {};
class OtherDialogsTest : public ElementUiTest {};

}  // namespace

TEST_F(BendDialogTest, ChecksRunInOrderWithTheirMessages)
{
    piping_code() = CODE_B311;   // outside the B31.3 group: BEND1_DIALOG
    script().once("BEND1_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Bend at node 30");
        EXPECT_TRUE(d.is_checked(BEND_LONG));
        EXPECT_FALSE(d.is_enabled(BEND_RADIUS));
        EXPECT_FALSE(d.has_item(BEND_FF_OUT));
        EXPECT_EQ(d.text(BEND_RADIUS_UNIT), unit_label(DIMENSION));
        d.press(BEND_USER);
        EXPECT_TRUE(d.is_enabled(BEND_RADIUS));
        attempt(d, {});
        attempt(d, {{BEND_RADIUS, "0.05"}});
        attempt(d, {{BEND_RADIUS, "6"}, {BEND_THICKNESS, "3.5"}});
        attempt(d, {{BEND_RADIUS, "12"}, {BEND_THICKNESS, "0.3"}, {BEND_FF_IN, "0"}});
        attempt(d, {{BEND_FF_IN, ""}, {BEND_SIF_IN, "0.99"}});
        attempt(d, {{BEND_SIF_IN, "1"}, {BEND_NODE1, "35A"}});
        attempt(d, {{BEND_NODE1, "30"}});
        attempt(d, {{BEND_NODE1, "20"}});
        attempt(d, {{BEND_NODE1, ""}, {BEND_NODE2, "35"}});
        attempt(d, {{BEND_ANGLE2, "4"}});
        attempt(d, {{BEND_ANGLE2, "87"}});
        attempt(d, {{BEND_ANGLE2, "60"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_bend(3));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{
                                  "Radius is required",
                                  "Radius =  0.05  is invalid: it must be at least 0.1 inch",
                                  "Bend radius < Section OD",   // a warning; the checks go on
                                  "Thickness is greater than section radius",
                                  "Flexibility factor =  0  is invalid",
                                  "SIF value is less than 1.00",
                                  "35A  Node should not have a suffix",
                                  "30  This node is already defined",   // the bend's own node
                                  "20  This node is already defined",   // another row's node
                                  "Angle is required",
                                  "Angle =  4  is too small",
                                  "Angle =  87  is too large",          // beyond 90 degrees less 0.08 rad
                              }));
    const Bend& b = bend_at(3);
    EXPECT_EQ(b.geometry.radius_kind, RADIUS_USER);
    EXPECT_FLOAT_EQ(b.geometry.radius, 12.0f);
    EXPECT_FLOAT_EQ(b.geometry.thickness, 0.3f);
    EXPECT_FLOAT_EQ(b.ff_in, -1.0f);
    // A SIF typed as 1 is 1.0001; BEND1 stores the in-plane SIF out of plane too.
    EXPECT_FLOAT_EQ(b.sif_in, 1.0001f);
    EXPECT_FLOAT_EQ(b.sif_out, 1.0001f);
    EXPECT_FLOAT_EQ(b.sif_axial, 0.0f);
    // Only the second node typed: it is the first.
    EXPECT_EQ(b.geometry.node1, 35);
    EXPECT_NEAR(b.geometry.angle1, 60 * DEGREE, 1e-6);
    EXPECT_EQ(b.geometry.node2, 0);
    EXPECT_TRUE(model_modified());
    // The model was rebuilt with the new radius and node.
    EXPECT_NE(node_index(35), 0);
    EXPECT_NEAR(b.geometry.bend_angle, std::numbers::pi / 2, 1e-6);
}

TEST_F(BendDialogTest, LimitsOfTheIntermediateAngles)
{
    // In radians: 0.08 is accepted, 0.079 is too small, and on the quarter
    // bend pi/2 - 0.08 is the largest.
    unit_choice()[ANGLE] = 1;
    ASSERT_EQ(unit_label(ANGLE), "(rad)");
    script().once("BEND2_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {{BEND_NODE1, "31"}, {BEND_ANGLE1, "0.079"}});
        attempt(d, {{BEND_ANGLE1, "0.08"}, {BEND_NODE2, "32"}, {BEND_ANGLE2, "1.4909"}});
        attempt(d, {{BEND_ANGLE2, "1.4907"}});
    });
    EXPECT_TRUE(edit_bend(3));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"Angle =  0.079  is too small", "Angle =  1.4909  is too large"}));
    EXPECT_FLOAT_EQ(bend_at(3).geometry.angle1, 0.08f);
}

TEST_F(BendDialogTest, NodesAreSortedAndMayNotRepeat)
{
    script().once("BEND2_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {{BEND_NODE1, "35"}, {BEND_ANGLE1, "60"}, {BEND_NODE2, "35"}, {BEND_ANGLE2, "30"}});
        attempt(d, {{BEND_NODE2, "36"}, {BEND_ANGLE2, "60"}});
        attempt(d, {{BEND_ANGLE2, "30"}});
    });
    EXPECT_TRUE(edit_bend(3));
    EXPECT_EQ(new_messages(),
              (std::vector<std::string>{"Node is same as previous node", "Angle is same as previous angle"}));
    // Typed 60 then 30: stored in the order of their angles.
    const BendGeometry& g = bend_at(3).geometry;
    EXPECT_EQ(g.node1, 36);
    EXPECT_NEAR(g.angle1, 30 * DEGREE, 1e-6);
    EXPECT_EQ(g.node2, 35);
    EXPECT_NEAR(g.angle2, 60 * DEGREE, 1e-6);
}

TEST_F(BendDialogTest, CodeAndB31JChooseTheFieldsAndOKWithoutChangesStoresNothing)
{
    piping_code() = CODE_B313;
    analysis_options().use_b31j = false;
    script().once("BEND2_DIALOG", [](HeadlessDialog& d) {
        EXPECT_FALSE(d.is_shown(BEND_FF_OUT));
        EXPECT_EQ(d.text(BEND_FF_IN_LABEL), "&Flexibility Factor");
        EXPECT_TRUE(d.is_enabled(BEND_SIF_AXIAL));      // B31.3 has the axial SIF
        EXPECT_FALSE(d.is_enabled(BEND_SIF_TORSION));   // only B31J the torsion SIF
        d.press(IDCANCEL);
    });
    EXPECT_FALSE(edit_bend(3));

    analysis_options().use_b31j = true;
    script().once("BEND2_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_shown(BEND_FF_OUT));
        EXPECT_TRUE(d.is_enabled(BEND_SIF_TORSION));
        attempt(d, {{BEND_FF_IN, "2"}, {BEND_FF_OUT, "3"}});
        attempt(d, {{BEND_FF_OUT, "2"}, {BEND_SIF_IN, "2.345"}, {BEND_SIF_OUT, "3"}, {BEND_SIF_AXIAL, "1.5"},
                    {BEND_SIF_TORSION, "1.2"}, {BEND_THICKNESS, "0.3333"}});
    });
    EXPECT_TRUE(edit_bend(3));
    EXPECT_EQ(new_messages(), std::vector<std::string>{"Inplane FF should be equal to Outplane FF"});
    const Bend& b = bend_at(3);
    EXPECT_FLOAT_EQ(b.ff_out, 2.0f);
    EXPECT_FLOAT_EQ(b.sif_in, 2.345f);
    EXPECT_FLOAT_EQ(b.sif_torsion, 1.2f);

    // Opened again it shows the values (rounded), and OK keeps the exact
    // ones: nothing changes, the model stays unmodified.
    model_modified() = false;
    script().once("BEND2_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(BEND_SIF_IN), "2.35");
        EXPECT_EQ(d.text(BEND_FF_IN), "2");
        d.press(IDOK);
    });
    EXPECT_FALSE(edit_bend(3));
    EXPECT_FALSE(model_modified());
    EXPECT_FLOAT_EQ(bend_at(3).sif_in, 2.345f);
    EXPECT_FLOAT_EQ(bend_at(3).geometry.thickness, 0.3333f);
}

TEST_F(BendDialogTest, IgemAndResultsMode)
{
    piping_code() = CODE_IGEM;
    script().once("BEND1_DIALOG", [](HeadlessDialog& d) {
        EXPECT_FALSE(d.is_enabled(BEND_SIF_IN));
        d.press(IDCANCEL);
    });
    EXPECT_FALSE(edit_bend(3));
    // While results are shown: read-only, and OK only closes.
    input_locked() = true;
    script().once("BEND1_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_readonly(BEND_THICKNESS));
        EXPECT_FALSE(d.is_enabled(BEND_USER));
        EXPECT_FALSE(d.is_enabled(BEND_MATERIAL));
        d.press(IDOK);
        EXPECT_TRUE(d.ended());
    });
    EXPECT_FALSE(edit_bend(3));
    EXPECT_FALSE(model_modified());
}

TEST_F(BendDialogTest, DialogsFromATableWorkOnTheirOwnRow)
{
    // Row 4 becomes a bend too; the layout's current row is row 3 (the
    // first bend) while the table's second line (row 4) is edited.
    named(row(60, ET_PIPE, 100, 0, 0));
    script().once("BEND2_DIALOG", [](HeadlessDialog& d) { attempt(d, {{BEND_THICKNESS, "0.25"}}); });
    EXPECT_TRUE(edit_bend(4));   // a pipe row becomes a bend
    EXPECT_EQ(model().rows[4].etype, ET_BEND);
    model().current_row = 3;
    ElementRowsTable& table = bends_table();
    table.load();
    ASSERT_EQ(table.record_count(), 2);
    ASSERT_EQ(table.layout_row(2), 4);
    script().once("BEND2_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Bend at node 40");
        EXPECT_EQ(d.text(BEND_THICKNESS), format_dimension(0.25));
        attempt(d, {{BEND_THICKNESS, "0.5"}});
    });
    EXPECT_TRUE(table.edit_row(2));
    EXPECT_FLOAT_EQ(bend_at(4).geometry.thickness, 0.5f);
    EXPECT_FLOAT_EQ(bend_at(3).geometry.thickness, 0.0f);
    EXPECT_EQ(model().current_row, 3);
}

class BendRadiusCopied : public ElementUiTest {};

TEST_F(BendRadiusCopied, ANewBendShowsThePreviousUserRadiusAsTypedReadyToTypeOver)
{
    // The bend at node 30 was given a User radius of 9 in; a pipe row after
    // it becomes a bend through its type cell.
    script().once("BEND2_DIALOG", [](HeadlessDialog& d) {
        d.press(BEND_USER);
        attempt(d, {{BEND_RADIUS, "9"}});
    });
    ASSERT_TRUE(edit_bend(3));
    const int next = named(row(60, ET_PIPE, 100, 0, 0));
    std::string shown;
    script().once("BEND2_DIALOG", [&](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_checked(BEND_USER));
        shown = d.text(BEND_RADIUS);
        // Typed keys replace the copy.
        EXPECT_EQ(d.focused(), BEND_RADIUS);
        EXPECT_TRUE(d.text_selected());
        d.press(IDOK);
    });
    EXPECT_TRUE(set_row_element_type(next, ET_BEND));
    EXPECT_EQ(shown, "9");
    EXPECT_EQ(bend_at(next).geometry.radius_kind, RADIUS_USER);
    EXPECT_EQ(bend_at(next).geometry.radius, 9.0f);
}

TEST_F(OtherDialogsTest, MiterDialog)
{
    piping_code() = CODE_B311;
    script().once("MITER_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Miter bend at node 40");
        EXPECT_FALSE(d.is_shown(MITER_SIF_OUT));        // outside the B31.3 group
        EXPECT_EQ(d.text(MITER_SIF_IN_LABEL), "SIF");
        EXPECT_FALSE(d.is_shown(MITER_FF_OUT));         // no B31J
        EXPECT_FALSE(d.is_enabled(MITER_SIF_AXIAL));
        attempt(d, {});
        attempt(d, {{MITER_RADIUS, "0.05"}});
        attempt(d, {{MITER_RADIUS, "15"}, {MITER_THICKNESS, "4"}});
        attempt(d, {{MITER_THICKNESS, ""}, {MITER_FF_IN, "-2"}});
        attempt(d, {{MITER_FF_IN, ""}, {MITER_SIF_IN, "2"}});
    });
    // Row 4 at node 40 is a pipe: the dialog makes it a miter, closely
    // spaced by default.
    EXPECT_TRUE(edit_miter(4));
    EXPECT_EQ(new_messages(),
              (std::vector<std::string>{"Radius is required", "Radius =  0.05  is invalid: it must be at least 0.1 inch",
                                        "Thickness is greater than section radius",
                                        "Flexibility factor =  -2  is invalid"}));
    ASSERT_EQ(model().rows[4].etype, ET_MITER);
    const auto& m = dynamic_cast<const Miter&>(*model().rows[4].element);
    EXPECT_FLOAT_EQ(m.geometry.radius, 15.0f);
    EXPECT_EQ(m.spacing, MITER_CLOSELY_SPACED_ID);
    EXPECT_FLOAT_EQ(m.sif_out, 2.0f);   // the in-plane SIF out of plane too

    // B31J: both factors and the torsion SIF; spacing Widely.
    analysis_options().use_b31j = true;
    script().once("MITER_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(MITER_RADIUS), format_dimension(15));
        EXPECT_TRUE(d.is_shown(MITER_FF_OUT));
        EXPECT_EQ(d.text(MITER_FF_IN_LABEL), "Flexibility factor: In Plane");
        d.press(MITER_WIDELY);
        attempt(d, {{MITER_FF_IN, "2"}, {MITER_FF_OUT, "3"}, {MITER_SIF_TORSION, "1.5"}});
    });
    EXPECT_TRUE(edit_miter(4));
    EXPECT_EQ(m.spacing, MITER_WIDELY_SPACED_ID);
    EXPECT_FLOAT_EQ(m.ff_out, 3.0f);   // no equality asked of miters
    EXPECT_FLOAT_EQ(m.sif_torsion, 1.5f);
}

TEST_F(OtherDialogsTest, JacketedBendDialog)
{
    script().once("JBEND_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Jacketed Bend at node 30");
        // The core shows the row's names and cannot be changed here.
        EXPECT_EQ(d.text(JBEND_CORE_SECTION), "S6");
        EXPECT_FALSE(d.is_enabled(JBEND_CORE_SECTION));
        // The jacket starts at the first entries: the 6 in section leaves
        // no room for the 6 in core.
        EXPECT_EQ(d.text(JBEND_JACKET_SECTION), "S6");
        attempt(d, {});
        d.select_text(JBEND_JACKET_SECTION, "S10");
        d.press(JBEND_JACKET_USER);
        attempt(d, {});
        attempt(d, {{JBEND_JACKET_RADIUS, "20"}, {JBEND_JACKET_THICKNESS, "6"}});
        attempt(d, {{JBEND_JACKET_THICKNESS, "0.5"}, {JBEND_NODE1, "35"}, {JBEND_ANGLE1, "45"}});
    });
    EXPECT_TRUE(edit_jacketed_bend(3));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"(Jacket I.D. - lining) < (core O.D. + insulation)",
                                                        "Radius is required",
                                                        "Thickness is greater than section radius"}));
    ASSERT_EQ(model().rows[3].etype, ET_JACKETED_BEND);
    const auto& jb = dynamic_cast<const JacketedBend&>(*model().rows[3].element);
    EXPECT_EQ(jb.jacket.material, "CS");
    EXPECT_EQ(jb.jacket.section, "S10");
    EXPECT_EQ(jb.jacket.load, "L1");
    EXPECT_EQ(jb.jacket.radius_kind, RADIUS_USER);
    EXPECT_FLOAT_EQ(jb.jacket.radius, 20.0f);
    EXPECT_FLOAT_EQ(jb.jacket.thickness, 0.5f);
    EXPECT_EQ(jb.geometry.node1, 35);

    // A jacketed bend further down proposes this one's jacket.
    named(row(60, ET_PIPE, 100, 0, 0));
    named(row(70, ET_PIPE, 0, 0, 100));
    make_model();
    jacket_loads = {"L1", "L2"};
    script().once("JBEND_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(JBEND_JACKET_SECTION), "S10");
        d.press(IDCANCEL);
    });
    EXPECT_FALSE(edit_jacketed_bend(6));
    // Without pipe loads the jacket's load cannot be chosen.
    jacket_loads.clear();
    script().once("JBEND_DIALOG", [](HeadlessDialog& d) {
        d.select_text(JBEND_JACKET_SECTION, "S10");
        attempt(d, {});
        d.press(IDCANCEL);
    });
    EXPECT_FALSE(edit_jacketed_bend(6));
    EXPECT_EQ(new_messages(), std::vector<std::string>{"Jacket load is required"});

    // While results are shown nothing can be changed.
    input_locked() = true;
    script().once("JBEND_DIALOG", [](HeadlessDialog& d) {
        EXPECT_FALSE(d.is_enabled(JBEND_CORE_USER));
        EXPECT_FALSE(d.is_enabled(JBEND_JACKET_SECTION));
        EXPECT_TRUE(d.is_readonly(JBEND_ANGLE2));
        d.press(IDOK);
    });
    EXPECT_FALSE(edit_jacketed_bend(3));
}

namespace {

class ReducerWall : public ElementUiTest {};

}  // namespace

// The reducer dialog checks each end as the model check and the batch
// reader do: each value within what a piping model can hold, then the wall
// at most half the diameter; the bend's own wall likewise against its
// section. Nothing is stored while one is refused.
TEST_F(ReducerWall, TheDialogsRefuseAnEndOrABendWallThatTheModelCheckRefuses)
{
    piping_code() = CODE_B313;
    script().once("REDUCER_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {{REDUCER_OD1, "1E19"}, {REDUCER_OD2, "4.5"}, {REDUCER_THK2, "0.237"}});
        EXPECT_EQ(d.focused(), REDUCER_OD1);
        attempt(d, {{REDUCER_OD1, "6.625"}, {REDUCER_THK1, "4"}});
        EXPECT_EQ(d.focused(), REDUCER_THK1);
        attempt(d, {{REDUCER_THK1, "0.28"}, {REDUCER_THK2, "3"}});
        EXPECT_EQ(d.focused(), REDUCER_THK2);
        attempt(d, {{REDUCER_THK2, "0.00005"}});
        d.press(IDCANCEL);
    });
    EXPECT_FALSE(edit_reducer(4));
    EXPECT_EQ(new_messages(),
              (std::vector<std::string>{
                  "OD1 of 1E+19 inch is beyond what a piping model can hold (0.001 inch to 1000 inch)",
                  "Thk1 > 0.5*OD1", "Thk2 > 0.5*OD2", "Thk2 =  0.00005  is invalid: it must be at least 0.0001 inch"}));
    EXPECT_EQ(model().rows[4].etype, ET_PIPE);

    piping_code() = CODE_B311;
    script().once("BEND1_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {{BEND_THICKNESS, "5"}});
        attempt(d, {{BEND_THICKNESS, "2000"}});
        d.press(IDCANCEL);
    });
    edit_bend(3);
    EXPECT_EQ(new_messages(),
              (std::vector<std::string>{
                  "Thickness is greater than section radius",
                  "Thickness of 2000 inch is beyond what a piping model can hold (0.0001 inch to 1000 inch)"}));
}

TEST_F(OtherDialogsTest, ReducerDialogByPipingCode)
{
    piping_code() = CODE_B313;   // no cone angle
    script().once("REDUCER_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Reducer from 30 to 40");
        EXPECT_FALSE(d.is_shown(REDUCER_CONE));
        EXPECT_FALSE(d.is_shown(REDUCER_KNUCKLES));
        // The size of the pipe before.
        EXPECT_EQ(d.text(REDUCER_OD1), format_dimension(6.625));
        EXPECT_EQ(d.text(REDUCER_THK1), format_dimension(0.28));
        EXPECT_EQ(d.focused(), REDUCER_OD2);
        attempt(d, {});
        attempt(d, {{REDUCER_OD2, "0.00005"}});
        attempt(d, {{REDUCER_OD2, "4.5"}, {REDUCER_THK2, "2.3"}});
        attempt(d, {{REDUCER_THK1, "3.4"}});
        attempt(d, {{REDUCER_THK1, "3.3125"}, {REDUCER_THK2, "2.25"}});   // exactly half: accepted
    });
    EXPECT_TRUE(edit_reducer(4));
    EXPECT_EQ(new_messages(),
              (std::vector<std::string>{"OD2 is required", "OD2 =  0.00005  is invalid: it must be at least 0.001 inch",
                                        "Thk2 > 0.5*OD2", "Thk1 > 0.5*OD1"}));
    const auto& r = dynamic_cast<const Reducer&>(*model().rows[4].element);
    EXPECT_FLOAT_EQ(r.od2, 4.5f);
    EXPECT_FLOAT_EQ(r.thickness1, 3.3125f);
    EXPECT_FLOAT_EQ(r.cone_angle, 0.0f);

    // Confirmed without a change: the model stays unmodified.
    model_modified() = false;
    script().once("REDUCER_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_FALSE(edit_reducer(4));
    EXPECT_FALSE(model_modified());

    // Nordic: cone angle, knuckles and Delta; a section chosen for OD2.
    piping_code() = CODE_SWEDISH;
    script().once("SELECT_DIALOG", [](HeadlessDialog& d) {
        d.select(1701, 1);
        d.press(IDOK);
    });
    script().once("REDUCER_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_shown(REDUCER_DELTA));
        d.press(REDUCER_SECTION2);
        EXPECT_EQ(d.text(REDUCER_OD2), format_dimension(10.75));
        d.press(REDUCER_KNUCKLES);
        attempt(d, {{REDUCER_CONE, "15"}, {REDUCER_DELTA, "x"}});
        attempt(d, {{REDUCER_DELTA, "1.5"}});
    });
    EXPECT_TRUE(edit_reducer(4));
    EXPECT_EQ(new_messages(), std::vector<std::string>{"Delta =  X  is invalid"});
    EXPECT_FLOAT_EQ(r.od2, 10.75f);
    EXPECT_NEAR(r.cone_angle, 15 * DEGREE, 1e-6);
    EXPECT_EQ(r.knuckles, 1);
    EXPECT_FLOAT_EQ(r.delta, 1.5f);

    // Row 2's pipe before is row 1, which never gives the sizes.
    script().once("REDUCER_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(REDUCER_OD1), "");
        d.press(IDCANCEL);
    });
    EXPECT_FALSE(edit_reducer(2));
}

TEST_F(OtherDialogsTest, CutPipeDialog)
{
    script().once("CUTPIPE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Cut pipe from 10 to 20");
        EXPECT_TRUE(d.is_checked(CUT_SHORT));
        attempt(d, {});
        attempt(d, {{CUT_LENGTH, "0"}});
        attempt(d, {{CUT_LENGTH, "abc"}});
        d.press(CUT_LONG);
        attempt(d, {{CUT_LENGTH, "0.5"}});
    });
    EXPECT_TRUE(edit_cut_pipe(2));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"Cut is required", "Cut should be non zero",
                                                        "Cut =  ABC  is invalid"}));
    ASSERT_EQ(model().rows[2].etype, ET_CUT_PIPE);
    EXPECT_FLOAT_EQ(dynamic_cast<const CutPipe&>(*model().rows[2].element).cut, -0.5f);

    // The same cut and type again changes nothing.
    model_modified() = false;
    script().once("CUTPIPE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_checked(CUT_LONG));
        EXPECT_EQ(d.text(CUT_LENGTH), format_dimension(0.5));
        d.press(IDOK);
    });
    EXPECT_FALSE(edit_cut_pipe(2));
    EXPECT_FALSE(model_modified());
}

TEST_F(OtherDialogsTest, LayoutAndViewsOpenTheKindsDialogs)
{
    // The layout's element dialogs and a pick in a view reach the same dialog.
    ASSERT_TRUE(layout_hooks().element_dialog[ET_BEND]);
    script().once("BEND2_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    EXPECT_FALSE(layout_hooks().element_dialog[ET_BEND](3));
    script().once("BEND2_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    EXPECT_FALSE(pick_hooks().open_element_dialog(3));
    EXPECT_EQ(script().runs("BEND2_DIALOG"), 2);
    // A plain pipe row has no dialog.
    EXPECT_FALSE(pick_hooks().open_element_dialog(2));
}

namespace {

class HelpWindowRequestTest : public ElementUiTest {
protected:
    void SetUp() override
    {
        ElementUiTest::SetUp();
        // A guide beside the program.
        const std::filesystem::path folder = std::filesystem::path(path("program"));
        std::filesystem::create_directories(folder / "help");
        std::ofstream(folder / "help" / "index.html") << "<html></html>";
        help_init(folder.string());
    }
};

}  // namespace

TEST_F(HelpWindowRequestTest, HelpButtonsOfTheBendAndTieRodDialogsOpenTheGuideAtTheirContexts)
{
    script().once("BEND1_DIALOG", [](HeadlessDialog& d) {
        d.press(BEND_HELP);
        d.press(IDCANCEL);
    });
    piping_code() = CODE_B311;
    edit_bend(3);
    ASSERT_EQ(script().help_requests().size(), 1u);
    EXPECT_EQ(script().help_requests()[0].anchor, help_anchor(BEND_DIALOG_HELP_CONTEXT));
    EXPECT_EQ(script().help_requests()[0].anchor, "context-8");
    EXPECT_EQ(script().help_requests()[0].file, help_path());

    script().once("TIE_ROD_DIALOG", [](HeadlessDialog& d) {
        d.press(TIE_HELP);
        d.press(IDCANCEL);
    });
    edit_tie_rod(4);
    ASSERT_EQ(script().help_requests().size(), 2u);
    EXPECT_EQ(script().help_requests()[1].anchor, "context-1");
}
