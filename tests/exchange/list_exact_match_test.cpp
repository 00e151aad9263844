// Typing a value that a list holds chooses exactly that entry, in the
// program's own dialogs: the Anchor dialog's displacement set T1 among T1 to
// T10 (typed as the Tutorial types it), "1" among the Analysis Options'
// thermal load sets 1, 2, 3 and 10, and every drop-down list and list box of
// every dialog that the layout rows, the data lists and the model's commands
// open, wherever one entry begins another.
#include "exchange/batch_import.h"
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/strings.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/dialogs_model.h"
#include "model_image.h"
#include "supports/ui/support_dialogs.h"
#include "typed_anchor_sets.h"

#include <algorithm>
#include <set>
#include <sstream>
#include <string>
#include <vector>

namespace {

class ListExactMatch : public ExchangeProgramTest {};

// True when one entry begins another (ignoring case), so that a search that
// goes on past the entry typed would choose the longer one.
bool one_begins_another(const std::vector<std::string>& entries)
{
    for (const std::string& a : entries)
        for (const std::string& b : entries)
            if (!a.empty() && a.size() < b.size() && lower_case(b).compare(0, a.size(), lower_case(a)) == 0)
                return true;
    return false;
}

}  // namespace

TEST_F(ListExactMatch, TheAnchorsSetT1TypedAsTheTutorialTypesItIsSetOne)
{
    open_saved_batch(bytes(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf"), "sample.mod");
    const int row = row_of_node(12);
    ASSERT_EQ(model().rows[row].dtype, DT_NONE);
    std::vector<std::string> shown;
    script().once("ANCHOR_DIALOG", [&](HeadlessDialog& d) {
        ASSERT_EQ(d.list_count(SUP_DISPLACEMENT_SET), 12);
        // T1 typed over T1 stays T1; T10 is T10, and T1 again T1.
        for (const char* set : {"T1", "T10", "T1"}) {
            EXPECT_TRUE(d.type(SUP_DISPLACEMENT_SET, set));
            shown.push_back(d.text(SUP_DISPLACEMENT_SET));
            if (shown.size() == 2)
                d.type(SUP_DISPLACEMENT + 1, "0.5");
        }
        d.type(SUP_DISPLACEMENT, "0.25");
        d.press(IDOK);
    });
    select_layout_row(row);
    ASSERT_TRUE(set_row_data_type(row, DT_ANCHOR));
    EXPECT_EQ(shown, (std::vector<std::string>{"T1", "T10", "T1"}));
    expect_anchor_sets_one_and_ten(row);
    EXPECT_TRUE(script().messages().empty()) << script().last_message();
}

TEST_F(ListExactMatch, OneTypedOverOneInTheThermalLoadSetsStaysOne)
{
    ASSERT_EQ(analysis_options().numtloads, 1);
    std::vector<std::string> shown;
    script().once("ANALYSIS_OPTIONS_DIALOG", [&](HeadlessDialog& d) {
        ASSERT_EQ(d.text(OPT_THERMAL_LOAD_SETS), "1");
        for (const char* typed : {"1", "10", "1", "2", "3", "1"}) {
            EXPECT_TRUE(d.type(OPT_THERMAL_LOAD_SETS, typed));
            shown.push_back(d.text(OPT_THERMAL_LOAD_SETS));
        }
        d.press(IDOK);
    });
    ASSERT_TRUE(script().menu_command(main_frame().window, CMD_ANALYSIS_OPTIONS));
    EXPECT_EQ(shown, (std::vector<std::string>{"1", "10", "1", "2", "3", "1"}));
    EXPECT_EQ(analysis_options().numtloads, 1);
    EXPECT_TRUE(script().messages().empty()) << script().last_message();
}

// Every dialog that the rows of a model with every element and component
// kind open, a row of every data list, and the model's own commands: in
// each of their lists where one entry begins another, each entry typed
// chooses itself. The dialogs are then cancelled, the model as it was.
TEST_F(ListExactMatch, EveryListOfEveryDialogTakesTheEntryTypedWhole)
{
    // A model of every element kind, and the sample continued by a snubber,
    // a skewed restraint, a miter, a rigid hanger, a vessel nozzle, a flange,
    // a cut pipe and a force; both with ten thermal load sets, so that the
    // load cases and displacement sets run T1 to T10.
    std::string every = bytes(std::string(KV_SOURCE_DIR) + "/tests/data/batch/every_element_kind.mbf");
    const std::string options = "OPTIONS\nSI,IGEM\n";
    ASSERT_NE(every.find(options), std::string::npos);
    every.insert(every.find(options) + options.size(), "OPTEMP\n21,7000,10\n");
    std::string sample = bytes(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf");
    const std::string sets = "70,7000,2\n";
    ASSERT_NE(sample.find(sets), std::string::npos);
    sample.replace(sample.find(sets), sets.size(), "70,7000,10\n");
    sample += "T70,X4-0,CSNUBBER,DV(0,0,1),STIFF=2E5\nT80,X4-0,CK=5000,DV(1,0,0)\nT90,Z4-0,KM,B9\n"
              "T100,X4-0,CRH\nT110,X4-0,CNOZZLE=297,NOD=4.5,NTHK=0.237,VOD=96,VTHK=0.5,L1=48,L2=60,"
              "E=29E6,DV(1,0,0)\nT120,X4-0,CFLANGE\nT125,X2-0,JC,CSHORT=0.5\nT130,X4-0,KA\n"
              "T140,X4-0,CFOR(100,0,-50)\nT150,X4-0,KA\n";

    std::set<std::string> dialogs, lists;
    int typed = 0;
    script().on_any([&](HeadlessDialog& d) {
        dialogs.insert(d.templ().name);
        for (const ControlSpec& item : d.templ().controls) {
            const HeadlessDialog::Control* c = d.control(item.id);
            if ((item.kind != ControlKind::Combo && item.kind != ControlKind::List) || !c || !c->enabled ||
                !c->visible || !one_begins_another(c->items))
                continue;
            lists.insert(d.templ().name + " " + std::to_string(item.id));
            const std::vector<std::string> entries = c->items;
            for (const std::string& entry : entries) {
                if (entry.empty() || entry.front() == ' ' || d.ended())
                    continue;
                SCOPED_TRACE(d.templ().name + " " + std::to_string(item.id) + " \"" + entry + "\"");
                EXPECT_TRUE(d.type(item.id, entry));
                EXPECT_EQ(d.text(item.id), entry);
                ++typed;
            }
        }
        if (!d.ended())
            d.press(IDCANCEL);
    });
    for (const std::string& text : {every, sample}) {
        open_saved_batch(text, "model.mod");
        ASSERT_EQ(analysis_options().numtloads, 10);
        const model_image::ModelImage before = model_image::image_of_model();
        open_every_row_dialog();
        open_every_data_list_row();
        for (const int command :
             {CMD_ANALYSIS_OPTIONS, CMD_LOAD_CASE_LIST, CMD_UNITS, CMD_DATA_TYPES, CMD_ELEMENT_TYPES})
            if (frame_command_available(main_frame(), command))
                frame_command(main_frame(), command);
        EXPECT_EQ(model_image::image_difference(before, model_image::image_of_model()), "");
        EXPECT_FALSE(model_modified());
    }
    script().on_any({});
    EXPECT_GE(dialogs.size(), 35u) << ::testing::PrintToString(dialogs);
    for (const char* list :
         {"ANCHOR_DIALOG", "NOZZLE_DIALOG", "ANALYSIS_OPTIONS_DIALOG", "FORCE_DIALOG", "DATA_TYPES_DIALOG"})
        EXPECT_TRUE(std::any_of(lists.begin(), lists.end(), [&](const std::string& l) { return l.rfind(list, 0) == 0; }))
            << list << " " << ::testing::PrintToString(lists);
    EXPECT_GT(typed, 150);
    for (const std::string& fault : script().faults())
        ADD_FAILURE() << fault;
}
