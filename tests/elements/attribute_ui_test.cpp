// The windows of the jacketed pipe and the row attributes on the scripted
// backend: the dialogs' checks in order with their messages, what is stored
// (and nothing when nothing changed), read-only results mode, the flange
// weight library, the check of branch SIFs against the code, and the
// tables with their text and CSV forms.
#include "elements/branch_sif.h"
#include "elements/flange.h"
#include "elements/flange_library.h"
#include "elements/jacketed_pipe.h"
#include "elements/user_sif.h"
#include "elements/weld.h"
#include "elements/attribute_dialog_ids.h"
#include "elements/ui/attribute_ui.h"
#include "element_ui_fixture.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/table.h"

#include <sstream>

namespace {

class AttributeUiTest : public ElementUiTest {
protected:
    static std::vector<std::string> lines_of(const std::string& text)
    {
        std::vector<std::string> lines;
        std::istringstream in(text);
        for (std::string line; std::getline(in, line);)
            lines.push_back(line);
        return lines;
    }
    static bool has_line(const std::string& text, const std::string& wanted)
    {
        const auto lines = lines_of(text);
        return std::find(lines.begin(), lines.end(), wanted) != lines.end();
    }
    template <typename T>
    static T& data_at(int r)
    {
        return dynamic_cast<T&>(*model().rows[r].data);
    }
};

}  // namespace

TEST_F(AttributeUiTest, JacketedPipeDialog)
{
    add_section("J1", 7.0f, 0.2f);   // bore 6.6 < 6.625: no room for the core
    script().once("JPIPE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Jacketed pipe from 10 to 20");
        EXPECT_TRUE(d.select(JPIPE_SECTION, 2));   // J1
        d.press(IDOK);
        EXPECT_FALSE(d.ended());
        EXPECT_TRUE(d.select(JPIPE_SECTION, 1));   // S10
        EXPECT_TRUE(d.select(JPIPE_LOAD, 1));
        d.press(IDOK);
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_jacketed_pipe(2));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"(Jacket I.D. - lining) < (core O.D. + insulation)"}));
    const auto& j = dynamic_cast<const JacketedPipe&>(*model().rows[2].element).jacket;
    EXPECT_EQ(j.material, "CS");
    EXPECT_EQ(j.section, "S10");
    EXPECT_EQ(j.load, "L2");
    // The jacket nodes were made.
    EXPECT_NE(node_index(500020), 0);

    // The next row's dialog proposes that jacket; OK on the same names
    // changes nothing.
    model_modified() = false;
    script().once("JPIPE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_selection(JPIPE_SECTION), 1);
        EXPECT_EQ(d.list_selection(JPIPE_LOAD), 1);
        d.press(IDOK);
    });
    EXPECT_TRUE(edit_jacketed_pipe(2) == false);
    EXPECT_FALSE(model_modified());

    // The "Jacketed pipes" table: Jpipe with the jacket's and the core's names.
    ElementRowsTable& t = jacketed_pipes_table();
    t.load();
    ASSERT_EQ(t.record_count(), 1);
    EXPECT_EQ(t.cell_text(1, 3, 0), "Jpipe");
    EXPECT_EQ(t.cell_text(1, 6, 0), "S10");
    EXPECT_EQ(t.cell_text(1, 7, 0), "S6");
    EXPECT_EQ(t.cell_text(1, 10, 0), "");
    EXPECT_TRUE(has_line(table_report_text(t, true), "10,20,CS,S6,L1,CS,S10,L2,,"));
}

TEST_F(AttributeUiTest, FlangeDialogAndWeightLibrary)
{
    script().once("FLANGE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Flange at node 20");
        EXPECT_EQ(d.list_count(FLANGE_TYPE), 7);
        attempt(d, {{FLANGE_WEIGHT, "heavy"}});
        attempt(d, {{FLANGE_WEIGHT, "40"}, {FLANGE_GASKET, "x"}});
        attempt(d, {{FLANGE_GASKET, "8"}, {FLANGE_PRESSURE, "-5"}});
        EXPECT_TRUE(d.select(FLANGE_TYPE, 1));
        attempt(d, {{FLANGE_PRESSURE, "0"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_flange(2));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"Weight =  HEAVY  is invalid",
                                                        "Gasket Diameter =  X  is invalid",
                                                        "Allowable Pressure =  -5  is invalid"}));
    const Flange& f = data_at<Flange>(2);
    EXPECT_EQ(f.flange_type, 2);
    EXPECT_FLOAT_EQ(f.weight, 40.0f);
    EXPECT_FLOAT_EQ(f.gasket_diameter, 8.0f);
    EXPECT_FLOAT_EQ(f.allowable_pressure, 0.0f);
    EXPECT_EQ(model().list(FLANGE_ROWS).count, 1);

    // Unchanged: the model stays unmodified.
    model_modified() = false;
    script().once("FLANGE_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_FALSE(edit_flange(2));
    EXPECT_FALSE(model_modified());

    // The library by the pipe's size: a 6 in pipe is in both lists; class
    // 150 gives 54 lb for the pair (27 lb with the single-flange box).
    EXPECT_EQ(flange_library_size_index(FLANGE_LIBRARY_ANSI, 6.0), 7);
    EXPECT_EQ(flange_library_size_index(FLANGE_LIBRARY_EUROPEAN, 0.5), 0);
    EXPECT_EQ(flange_library_size_index(FLANGE_LIBRARY_ANSI, 0.5), -1);
    EXPECT_EQ(flange_library_size_index(FLANGE_LIBRARY_EUROPEAN, 26), -1);
    script().once("FLANGE_DIALOG", [](HeadlessDialog& d) {
        d.press(FLANGE_ANSI_LIBRARY);
        EXPECT_EQ(d.text(FLANGE_WEIGHT), format_weight(27.0));
        d.press(IDCANCEL);
    });
    script().once("FLANGE_LIBRARY_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(FLANGE_LIBRARY_SIZE), "Size = 6\"");
        EXPECT_EQ(d.text(FLANGE_LIBRARY_NOTE), "Weight is of 2 flanges");
        EXPECT_EQ(d.text(FLANGE_LIBRARY_UNKNOWN), "");
        d.press(FLANGE_LIBRARY_SINGLE);
        d.press(IDOK);
    });
    EXPECT_FALSE(edit_flange(2));
    // A pipe size in neither list.
    add_section("S26", 26.0f, 0.375f);
    model().rows[2].section = "S26";
    script().once("FLANGE_DIALOG", [](HeadlessDialog& d) {
        d.press(FLANGE_EUROPEAN_LIBRARY);
        d.press(IDCANCEL);
    });
    EXPECT_FALSE(edit_flange(2));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{" Flange data not available for this diameter: 26.0000 (inch)"}));

    // Results shown: only displayed, nothing stored.
    input_locked() = true;
    script().once("FLANGE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_readonly(FLANGE_WEIGHT));
        EXPECT_FALSE(d.is_enabled(FLANGE_ANSI_LIBRARY));
        d.press(IDOK);
    });
    EXPECT_FALSE(edit_flange(2));
    input_locked() = false;

    // The "Flanges" table and its forms.
    AttributeRowsTable& t = flanges_table();
    t.load();
    ASSERT_EQ(t.record_count(), 1);
    EXPECT_EQ(t.cell_text(1, 2, 0), "Double welded slip on");
    EXPECT_EQ(t.header_text(3, 1), unit_label(WEIGHT));
    const std::string csv = table_report_text(t, true);
    EXPECT_TRUE(has_line(csv, "Node,Type,Weight,Gasket Dia,Allowable pressure,")) << csv;
    EXPECT_TRUE(has_line(csv, "20,Double welded slip on,40,8.0000,,")) << csv;
    // Delete from the table.
    t.delete_row(1);
    EXPECT_EQ(model().rows[2].dtype, DT_NONE);
}

TEST_F(AttributeUiTest, BranchSifDialogByCode)
{
    piping_code() = CODE_B311;
    script().once("BRANCH_SIF_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Branch SIF at node 20");
        // Weldolet before the extruded tee; no crotch radius under B31.1.
        EXPECT_EQ(d.list_text(BRANCH_SIF_TYPE, 3), "Weldolet (Branch welded-on fitting)");
        EXPECT_TRUE(d.select(BRANCH_SIF_TYPE, 4));
        EXPECT_FALSE(d.is_shown(BRANCH_SIF_VALUE1));
        EXPECT_TRUE(d.select(BRANCH_SIF_TYPE, 6));   // branch connection: its radius
        EXPECT_TRUE(d.is_shown(BRANCH_SIF_VALUE1));
        EXPECT_EQ(d.text(BRANCH_SIF_LABEL1), "Branch radius (rp)");
        EXPECT_FALSE(d.is_enabled(BRANCH_SIF_FLANGES));
        attempt(d, {});                               // empty reads as 0
        attempt(d, {{BRANCH_SIF_VALUE1, "0.5"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_branch_sif(2));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"Radius =    is invalid"}));
    const BranchSif& s = data_at<BranchSif>(2);
    EXPECT_EQ(s.sif_type, 9);
    EXPECT_FLOAT_EQ(s.value1, 0.5f);

    // A type of two values: both required.
    script().once("BRANCH_SIF_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_selection(BRANCH_SIF_TYPE), 6);
        EXPECT_TRUE(d.select(BRANCH_SIF_TYPE, 2));   // unreinforced: no values
        EXPECT_FALSE(d.is_shown(BRANCH_SIF_VALUE1));
        d.press(IDOK);
    });
    EXPECT_TRUE(edit_branch_sif(2));
    EXPECT_EQ(data_at<BranchSif>(2).sif_type, 3);
    EXPECT_FLOAT_EQ(data_at<BranchSif>(2).value1, 0.0f);

    // With B31J: the six types and the number of flanges, 0, 1 or 2.
    analysis_options().use_b31j = true;
    script().once("BRANCH_SIF_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_count(BRANCH_SIF_TYPE), 6);
        EXPECT_TRUE(d.is_enabled(BRANCH_SIF_FLANGES));
        attempt(d, {{BRANCH_SIF_FLANGES, "3"}});
        attempt(d, {{BRANCH_SIF_FLANGES, "2"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_branch_sif(2));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"Number should be 0, 1 or 2"}));
    EXPECT_EQ(data_at<BranchSif>(2).num_flanges, 2);
    analysis_options().use_b31j = false;

    piping_code() = CODE_SWEDISH;
    script().once("BRANCH_SIF_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_text(BRANCH_SIF_TYPE, 1), "Radiused branch (Item 5)");
        EXPECT_TRUE(d.select(BRANCH_SIF_TYPE, 1));
        attempt(d, {{BRANCH_SIF_VALUE1, "0.0005"}});
        attempt(d, {{BRANCH_SIF_VALUE1, "0.5"}});
        attempt(d, {{BRANCH_SIF_VALUE2, "0.4"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_branch_sif(4));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"Radius =  0.0005  is invalid", "Thickness is required"}));
    EXPECT_EQ(data_at<BranchSif>(4).sif_type, 7);

    // The table and its forms.
    AttributeRowsTable& t = branch_sifs_table();
    t.load();
    ASSERT_EQ(t.record_count(), 2);
    EXPECT_EQ(t.cell_text(2, 2, 0), "Radiused branch (Item 5), r = 0.5000 (inch), Se = 0.4000 (inch)");
    EXPECT_TRUE(has_line(table_report_text(t, true),
                         "40,\"Radiused branch (Item 5), r = 0.5000 (inch), Se = 0.4000 (inch)\","));
}

TEST_F(AttributeUiTest, BranchSifsCheckedAgainstTheCodeRowByRow)
{
    // Two rows on the same node carry a type that B31.4 does not allow; each
    // is offered once, the first replaced, the second kept.
    for (int r : {2, 4}) {
        model().rows[r].dtype = DT_BRANCH_SIF;
        model().rows[r].create_data_object(r);
        data_at<BranchSif>(r).sif_type = 9;
        data_at<BranchSif>(r).value1 = 0.25f;
    }
    model().rows[4].node = 20;
    piping_code() = CODE_B314;
    script().answer(IDYES);
    script().answer(IDNO);
    check_branch_sifs_for_code(0);
    EXPECT_EQ(script().unused_answers(), 0u);
    const std::string question = "'Branch SIF = Branch conn.' not valid for 'Piping Code = B31.4' at Node 20.\n"
                                 "Do you want to replace with 'Welding tee'?\n";
    EXPECT_EQ(new_messages(), (std::vector<std::string>{question, question}));
    EXPECT_EQ(data_at<BranchSif>(2).sif_type, 1);
    EXPECT_FLOAT_EQ(data_at<BranchSif>(2).value1, 0.25f);
    EXPECT_EQ(data_at<BranchSif>(4).sif_type, 9);
    EXPECT_TRUE(model_modified());
}

TEST_F(AttributeUiTest, UserSifForms)
{
    piping_code() = CODE_B311;
    script().once("USER_SIF1_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {});
        attempt(d, {{USER_SIF_IN, "0"}});
        attempt(d, {{USER_SIF_IN, "0.9"}});
        attempt(d, {{USER_SIF_IN, "1"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_user_sif(2));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"SIF value is required", "SIF value =  0  is invalid",
                                                        "SIF value is less than 1.00"}));
    EXPECT_FLOAT_EQ(data_at<UserSif>(2).sif_in, 1.0f);
    EXPECT_FLOAT_EQ(data_at<UserSif>(2).sif_out, 1.0f);

    piping_code() = CODE_B313;
    script().once("USER_SIF2_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_enabled(USER_SIF_AXIAL));
        EXPECT_FALSE(d.is_enabled(USER_SIF_TORSION));
        attempt(d, {{USER_SIF_OUT, "1.5"}, {USER_SIF_AXIAL, "1"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_user_sif(2));
    const UserSif& u = data_at<UserSif>(2);
    EXPECT_FLOAT_EQ(u.sif_out, 1.5f);
    EXPECT_FLOAT_EQ(u.sif_axial, 1.0001f);   // a given 1 stays apart from none
    script().once("USER_SIF2_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(USER_SIF_AXIAL), "1.00");
        d.press(IDOK);
    });
    EXPECT_FALSE(edit_user_sif(2));

    piping_code() = CODE_IGEM;
    script().once("USER_SIF3_DIALOG", [](HeadlessDialog& d) {
        for (int id = USER_SIF_SCF_FIRST; id <= USER_SIF_SCF_LAST; ++id)
            EXPECT_TRUE(d.type(id, "1.5"));
        attempt(d, {{USER_SIF_SCF_FIRST + 3, ""}});
        attempt(d, {{USER_SIF_SCF_FIRST + 3, "2.5"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_user_sif(4));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"SIF value is required"}));
    EXPECT_FLOAT_EQ(data_at<UserSif>(4).scf_sustained[SCF_TORSION], 2.5f);

    AttributeRowsTable& t = user_sifs_table();
    t.load();
    EXPECT_EQ(t.header_text(4, 0), "Sust.It");
    EXPECT_EQ(t.cell_text(2, 4, 0), "2.50");
    const std::string csv = table_report_text(t, true);
    EXPECT_TRUE(has_line(csv, "40,1.50,1.50,1.50,2.50,1.50,1.50,1.50,1.50,1.50,1.50,")) << csv;
}

TEST_F(AttributeUiTest, WeldDialogAndTables)
{
    script().once("WELD_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Weld at node 20");
        attempt(d, {{WELD_MISMATCH, "-0.1"}});
        EXPECT_TRUE(d.select(WELD_TYPE, 1));   // fillet weld: no mismatch
        EXPECT_FALSE(d.is_enabled(WELD_MISMATCH));
        EXPECT_TRUE(d.select(WELD_TYPE, 3));   // tapered transition
        attempt(d, {{WELD_MISMATCH, "0.0625"}});
        EXPECT_TRUE(d.ended());
    });
    EXPECT_TRUE(edit_weld(2));
    EXPECT_EQ(new_messages(), (std::vector<std::string>{"Mismatch =  -0.1  is invalid: it must be 0 or more"}));
    EXPECT_EQ(data_at<Weld>(2).weld_type, WELD_TAPERED);

    AttributeRowsTable& t = welds_table();
    t.load();
    EXPECT_EQ(t.cell_text(1, 2, 0), "Tapered transition, Mismatch = 0.0625 (inch)");
    // The report writes the word, no raw byte of an old code page.
    const std::string text = table_report_text(t, false);
    EXPECT_NE(text.find("Tapered transition, Mismatch = 0.0625 (inch)"), std::string::npos) << text;
    EXPECT_EQ(text.find('\xEB'), std::string::npos);

    // Threaded joints and jacket connections have no dialog: Delete and List.
    model().rows[4].dtype = DT_THREADED_JOINT;
    model().rows[4].create_data_object(4);
    model().rows[5].dtype = DT_JACKET_END_CAP;
    model().rows[5].create_data_object(5);
    make_model();
    AttributeRowsTable& joints = threaded_joints_table();
    joints.load();
    ASSERT_EQ(joints.record_count(), 1);
    EXPECT_TRUE(has_line(table_report_text(joints, true), "40,"));
    AttributeRowsTable& connections = jacket_connections_table();
    connections.load();
    EXPECT_EQ(connections.cell_text(1, 2, 0), "End Cap");
    EXPECT_TRUE(has_line(table_report_text(connections, true), "50,End Cap,"));
    joints.delete_row(1);
    EXPECT_EQ(model().rows[4].dtype, DT_NONE);
    joints.load();
    EXPECT_EQ(joints.record_count(), 0);
}

TEST_F(AttributeUiTest, BranchPointsList)
{
    // A branch from node 20: three element ends meet there.
    from(20);
    named(row(60, ET_PIPE, 0, 0, 100));
    model().rows[2].dtype = DT_BRANCH_SIF;
    model().rows[2].create_data_object(2);
    make_model();
    TableWindow& t = branch_points_table();
    open_branch_points();
    ASSERT_EQ(t.record_count(), 1);
    EXPECT_EQ(t.cell_text(1, 1, 0), "20");
    EXPECT_EQ(t.cell_text(1, 2, 0), "Welding tee");
}
