// An input dialog opened while results are shown (a click on an element in
// the view, the layout's Type and Data cells, a row of a data list, the
// Options and Load Cases commands) is read-only: its fields take no typing,
// its choices are greyed, and its one button, "Close", closes it without a
// change to the model. Nothing typed is dropped without a word, because
// nothing can be typed.
#include "exchange/batch_import.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/view_transform.h"
#include "model/model.h"
#include "model/ui/layout_window.h"
#include "materials/ui/beam_section_ui.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "model_image.h"
#include "results/results_state.h"
#include "results/ui/results_window.h"

#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

class ResultsModeDialog : public ExchangeProgramTest {
protected:
    // A model with a row of every element and component kind, analysed, and
    // its results shown. Anchors at nodes 90 and 100 hold what the joints
    // before them leave free, so that the model can be analysed.
    void open_every_kind()
    {
        std::string text = bytes(std::string(KV_SOURCE_DIR) + "/tests/data/batch/every_element_kind.mbf");
        for (const auto& [row, anchored] : {std::pair<std::string, std::string>{"T90,X300,JR,", "T90,X300,KA,JR,"},
                                            {"T100,X100,JL,", "T100,X100,KA,JL,"}}) {
            const std::size_t at = text.find(row);
            ASSERT_NE(at, std::string::npos) << row;
            text.replace(at, row.size(), anchored);
        }
        open_results_of(text);
    }
    // The sample model (a pump discharge line with bends, a reducer, a
    // valve, a limit stop, guides and a force) continued by a snubber, a
    // skewed restraint, a miter, a rigid hanger, a vessel nozzle, a flange
    // and a cut pipe, analysed, and its results shown.
    void open_sample_and_more()
    {
        open_results_of(bytes(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf") +
                        "T70,X4-0,CSNUBBER,DV(0,0,1),STIFF=2E5\nT80,X4-0,CK=5000,DV(1,0,0)\nT90,Z4-0,KM,B9\n"
                        "T100,X4-0,CRH\nT110,X4-0,CNOZZLE=297,NOD=4.5,NTHK=0.237,VOD=96,VTHK=0.5,L1=48,L2=60,"
                        "E=29E6,DV(1,0,0)\nT120,X4-0,CFLANGE\nT125,X2-0,JC,CSHORT=0.5\nT130,X4-0,KA\n");
    }
    void open_results_of(const std::string& text)
    {
        close_model();
        std::istringstream in(text);
        import_batch_text(in);
        show_imported_model();
        ASSERT_GT(numrows(), 20);
        analyse_and_open_results();
        ASSERT_TRUE(in_results()) << ::testing::PrintToString(script().messages());
        script().clear_log();
    }

    // Answers every dialog: what the user can do in it is checked, then
    // text is typed into a field and the dialog closed with its one button.
    void answer_read_only()
    {
        script().on_any([this](HeadlessDialog& d) {
            seen.insert(d.templ().name);
            int fields = 0;
            for (const HeadlessDialog::Control& c : d.controls()) {
                const ControlSpec& item = c.control;
                const std::string where = d.templ().name + " item " + std::to_string(item.id);
                switch (item.kind) {
                case ControlKind::Edit:
                    EXPECT_TRUE(c.readonly) << where;
                    if (c.visible && c.enabled) {
                        EXPECT_FALSE(d.type(item.id, "1")) << where;
                        ++fields;
                    }
                    break;
                case ControlKind::Combo:
                case ControlKind::List:
                case ControlKind::Radio:
                case ControlKind::Check: EXPECT_FALSE(c.enabled) << where; break;
                default: break;
                }
            }
            // The refused typing was noted by the scripted user, not done.
            typed_into += fields;
            EXPECT_EQ(d.text(IDOK), LOCKED_DIALOG_CLOSE_TEXT) << d.templ().name;
            EXPECT_TRUE(d.is_shown(IDOK) && d.is_enabled(IDOK)) << d.templ().name;
            EXPECT_EQ(d.focused(), IDOK) << d.templ().name;
            if (d.has_item(IDCANCEL)) {
                EXPECT_FALSE(d.is_shown(IDCANCEL)) << d.templ().name;
            }
            EXPECT_TRUE(d.press(IDOK)) << d.templ().name;
            EXPECT_TRUE(d.ended()) << d.templ().name;
            EXPECT_NE(d.result(), IDOK) << d.templ().name;
        });
    }
    // What the scripted user could not do is noted as a fault; the refused
    // typing is all that may be there.
    void expect_only_refused_typing()
    {
        for (const std::string& fault : script().faults())
            EXPECT_NE(fault.find(": type "), std::string::npos) << fault;
    }

    std::set<std::string> seen;
    int typed_into = 0;
};

int first_row_of_etype(int etype)
{
    for (int row = 1; row <= numrows(); ++row)
        if (model().rows[row].etype == etype)
            return row;
    return 0;
}

}  // namespace

TEST_F(ResultsModeDialog, EveryDialogOfALayoutRowOpensReadOnly)
{
    for (const bool every_kind : {true, false}) {
        SCOPED_TRACE(every_kind ? "every element kind" : "sample and more");
        if (every_kind)
            open_every_kind();
        else
            open_sample_and_more();
        ASSERT_TRUE(input_locked());
        const model_image::ModelImage before = model_image::image_of_model();
        answer_read_only();
        // Each row's element dialog and data-item dialog.
        open_every_row_dialog();
        expect_only_refused_typing();
        EXPECT_EQ(model_image::image_difference(before, model_image::image_of_model()), "");
        EXPECT_FALSE(model_modified());
        script().on_any({});
        terminate_results();
    }
    // The kinds of the two models: the elements, the supports and the
    // components, more than 25 dialogs.
    EXPECT_GE(seen.size(), 25u) << ::testing::PrintToString(seen);
    for (const char* name : {"VALVE_DIALOG", "ANCHOR_DIALOG", "JPIPE_DIALOG", "FLANGE_DIALOG", "TIE_ROD_DIALOG",
                             "MITER_DIALOG", "REDUCER_DIALOG", "CUTPIPE_DIALOG", "LIMIT_STOP_DIALOG", "NOZZLE_DIALOG"})
        EXPECT_TRUE(seen.count(name)) << name << ::testing::PrintToString(seen);
    EXPECT_GT(typed_into, 100);
}

TEST_F(ResultsModeDialog, DataListRowsAndModelCommandsOpenReadOnly)
{
    open_every_kind();
    const model_image::ModelImage before = model_image::image_of_model();
    answer_read_only();
    open_every_data_list_row();
    // The beam sections' table, which the Misc menu opens.
    open_beam_sections_table();
    script().menu_command(list_frame().window, CMD_EDIT_ROW);
    for (const char* name : {"MATERIAL3_DIALOG", "SECTION_DIALOG", "PIPE_LOAD_DIALOG", "BEAM_MATERIAL_DIALOG",
                             "BEAM_SECTION_DIALOG", "BEAM_LOAD_DIALOG"})
        EXPECT_TRUE(seen.count(name)) << name << ::testing::PrintToString(seen);
    // The options and the load cases, from the layout's menus.
    for (int command : {CMD_ANALYSIS_OPTIONS, CMD_LOAD_CASE_LIST})
        if (frame_command_available(main_frame(), command))
            frame_command(main_frame(), command);
    EXPECT_TRUE(seen.count("ANALYSIS_OPTIONS_DIALOG"));
    EXPECT_TRUE(seen.count("LOAD_CASES_DIALOG"));
    expect_only_refused_typing();
    EXPECT_EQ(model_image::image_difference(before, model_image::image_of_model()), "");
    EXPECT_FALSE(model_modified());
}

TEST_F(ResultsModeDialog, AClickOnAValveInTheViewOpensItReadOnly)
{
    open_every_kind();
    // The graphics window shown from +Z over the whole model.
    frame_send_command(graphics_frame(), CMD_GRAPHICS_SHOW);
    script().resize(graphics_client_window(), 800, 600);
    set_viewpoint(0, 0, 1);
    update_screen_positions();
    zoom_all();
    backend().process_events();
    const int row = first_row_of_etype(ET_VALVE);
    ASSERT_NE(row, 0);
    ASSERT_EQ(model().rows[row].dtype, DT_NONE);
    const model_image::ModelImage before = model_image::image_of_model();
    answer_read_only();
    // A click in the middle of the valve, between the node before it and its own.
    auto pixel = [](int row_of_node) {
        const NodeRecord& n = model().nodes[node_index(model().rows[row_of_node].node)];
        float sx = 0.0f, sy = 0.0f;
        project_point(n.x, n.y, n.z, sx, sy);
        double px = 0.0, py = 0.0;
        view_to_client(sx, sy, px, py);
        return std::pair{px, py};
    };
    const auto [x1, y1] = pixel(LayoutRow::previous_element_row(row));
    const auto [x2, y2] = pixel(row);
    const int x = static_cast<int>((x1 + x2) / 2), y = static_cast<int>((y1 + y2) / 2);
    script().mouse_down(graphics_client_window(), MouseButton::Left, x, y);
    script().mouse_up(graphics_client_window(), MouseButton::Left, x, y);
    backend().process_events();
    EXPECT_EQ(model().current_row, row);
    EXPECT_TRUE(seen.count("VALVE_DIALOG")) << ::testing::PrintToString(seen);
    expect_only_refused_typing();
    EXPECT_EQ(model_image::image_difference(before, model_image::image_of_model()), "");
    EXPECT_FALSE(model_modified());
}
