// A dialog's OK writes back a record's text that the user did not change
// with its stored bytes, whatever a field of the screen can show of them:
// control bytes, the 8-bit CSI, bytes that are no UTF-8 (which a field
// shows as U+FFFD, longer than the byte), bidirectional controls, outer
// blanks, and texts as long as the record holds, one byte short of that,
// and past what the field takes typed. A text the user changed is taken as
// typed: outer blanks removed, and checked as typing is. Every dialog
// whose record holds a text, from one list of the dialogs and their fields.
#include "control_bytes.h"
#include "exchange_fixture.h"

#include "framework/qa_block.h"
#include "framework/ui/dialogs_common.h"
#include "framework/ui/qa_block_dialog.h"
#include "graphics/ui/plot_commands.h"
#include "loads/spectrum.h"
#include "loads/ui/dialogs_loads.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/size_tables.h"
#include "materials/ui/dialogs_beams.h"
#include "materials/ui/dialogs_libraries.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/pipe_material_ui.h"
#include "materials/ui/valve_library_ui.h"
#include "materials/valve_library.h"
#include "model/model_file.h"
#include "qualification/equipment.h"
#include "qualification/ui/equipment_dialogs.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/nozzle.h"
#include "supports/restraint.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"
#include "supports/support_common.h"
#include "supports/ui/support_dialogs.h"

#include <functional>
#include <string>
#include <vector>

namespace {

// A text a dialog shows for its record: the record's field in the open
// model, how many bytes the record holds there, the dialog and its field,
// and how the program opens the dialog on that record.
struct StoredTextField {
    std::string what;
    std::size_t bytes;
    std::string dialog;
    int item;
    std::function<std::string&()> text;
    std::function<void()> open;
};

// The row of the first support of a kind, opened as the layout's Data cell
// opens it; its tag.
template <class Support>
StoredTextField support_tag(const char* what, int dtype, const char* dialog)
{
    const auto row = [dtype] {
        for (int r = 1; r <= numrows(); ++r)
            if (model().rows[r].dtype == dtype)
                return r;
        ADD_FAILURE() << "no row of data type " << dtype;
        return 1;
    };
    return {what,
            TAG_FIELD_WIDTH,
            dialog,
            SUP_TAG,
            [row]() -> std::string& { return dynamic_cast<Support&>(*model().rows[row()].data).v.tag; },
            [row, dtype] { layout_hooks().data_dialog[static_cast<std::size_t>(dtype)](row()); }};
}

StoredTextField qa_line(const char* what, int item, int limit, std::string& (*member)(QABlock&))
{
    return {what,
            static_cast<std::size_t>(limit),
            "QA_BLOCK_DIALOG",
            item,
            [member]() -> std::string& { return member(qa_block()); },
            [] { qa_block_dialog(main_frame().window); }};
}

// The texts a record may hold in `bytes` bytes: as many bytes of hostile
// runs as it holds, one fewer, and outer blanks (a space and a tab) around
// them.
std::vector<std::string> stored_texts(std::size_t bytes)
{
    return {hostile_text(bytes).bytes, hostile_text(bytes - 1).bytes, " \t" + hostile_text(bytes - 4).bytes + "\t "};
}

// The valve library (which takes the place of the model) with one valve
// as its dialog reads the one it shows; its description.
std::string& valve_description()
{
    if (!valve_library_mode()) {
        new_valve_library();
        ValveRecord v;
        v.description = "GATE";
        const PipeSizeTable& ansi = pipe_size_table(0);
        v.nominal_size = "6\"";
        v.outside_diameter = ansi.rows[static_cast<std::size_t>(ansi.find_row("6\""))].outside_diameter;
        v.rating = valve_rating_name(0, 2);
        v.connection = "FL";
        v.length = 20.0f;
        v.weight = 100.0f;
        valve_records().push_back(v);
        valve_library_table().load();
    }
    return valve_records()[1].description;
}

class DialogKeepsStoredText : public ExchangeProgramTest {
protected:
    void SetUp() override
    {
        ExchangeProgramTest::SetUp();
        // Every support kind with a tag, materials, sections and pipe loads,
        // then beam materials and sections, and a pump, a compressor and a
        // turbine.
        std::string text = bytes(std::string(KV_SOURCE_DIR) + "/tests/data/batch/every_keyword.mbf");
        const std::size_t layout = text.find("LAYOUT\n");
        ASSERT_NE(layout, std::string::npos);
        text.insert(layout, "BMATERIALS\nBM1,29E6,0.3,0.283,6.5E-6\nBSECTIONS\nW8,8.25,127,9.77,0.282,2.1,5.5,8.0,6.5\n");
        text += "PUMPS\nP-1,1,10,20\nCOMPRESSORS\nK-1,1,0,0,30,40\nTURBINES\nT-1,0,0,1,50,60\n";
        open_batch(text);
        ASSERT_EQ(pumps().size(), 1);
        ASSERT_EQ(numbmats(), 1);
        ASSERT_EQ(numbsections(), 1);
        // A response spectrum and a force spectrum.
        for (SpectrumList* list : {&spectra(), &force_spectra()}) {
            Spectrum s;
            s.name = "SPEC";
            s.ordinate = list == &spectra() ? ORDINATE_ACCELERATION : ORDINATE_FACTOR;
            s.curve.push_back(1.0f, 0.2f);
            s.curve.push_back(10.0f, 0.8f);
            list->append(s);
        }
        script().clear_log();
    }

    std::vector<StoredTextField> fields()
    {
        // Row 1 of a data list, by the list window's Edit command.
        const auto list_row = [this](const char* list) {
            return [this, list] {
                if (TableWindow* t = open_data_list(list)) {
                    table_goto_row(*t, 1);
                    script().menu_command(list_frame().window, CMD_EDIT_ROW);
                }
            };
        };
        return {
            {"Pump description", EQUIPMENT_DESCRIPTION_LENGTH, "PUMP_DIALOG", PUMP_DESCRIPTION,
             []() -> std::string& { return pumps()[1].name; }, list_row("Pumps")},
            {"Compressor description", EQUIPMENT_DESCRIPTION_LENGTH, "COMPRESSOR_DIALOG", COMPRESSOR_DESCRIPTION,
             []() -> std::string& { return compressors()[1].name; }, list_row("Compressors")},
            {"Turbine description", EQUIPMENT_DESCRIPTION_LENGTH, "COMPRESSOR_DIALOG", COMPRESSOR_DESCRIPTION,
             []() -> std::string& { return turbines()[1].name; }, list_row("Turbines")},
            support_tag<Anchor>("Anchor tag", DT_ANCHOR, "ANCHOR_DIALOG"),
            support_tag<Restraint>("Restraint tag", DT_RESTRAINT, "RESTRAINT_DIALOG"),
            support_tag<SkewedRestraint>("Skewed restraint tag", DT_SKEWED_RESTRAINT, "SKEWED_RESTRAINT_DIALOG"),
            support_tag<Hanger>("Hanger tag", DT_HANGER, "HANGER_DIALOG"),
            support_tag<Guide>("Guide tag", DT_GUIDE, "GUIDE_DIALOG"),
            support_tag<LimitStop>("Limit stop tag", DT_LIMIT_STOP, "LIMIT_STOP_DIALOG"),
            support_tag<Nozzle>("Nozzle tag", DT_NOZZLE, "NOZZLE_DIALOG"),
            support_tag<Snubber>("Snubber tag", DT_SNUBBER, "SNUBBER_DIALOG"),
            {"Material description", MATERIAL_DESCRIPTION_LENGTH, material_dialog_template().name, MAT_DESCRIPTION,
             []() -> std::string& { return pipe_materials()[1].description; }, list_row("Materials")},
            {"Beam material description", BEAM_MATERIAL_DESCRIPTION_LENGTH, "BEAM_MATERIAL_DIALOG",
             BEAM_DESCRIPTION, []() -> std::string& { return beam_materials()[1].description; },
             list_row("Beam materials")},
            {"Beam section description", BEAM_SECTION_DESCRIPTION_LENGTH, "BEAM_SECTION_DIALOG", BEAM_DESCRIPTION,
             []() -> std::string& { return beam_sections()[1].description; }, list_row("Beam sections")},
            {"Spectrum name", SPECTRUM_NAME_LENGTH, "SPECTRUM_DIALOG", SP_NAME,
             []() -> std::string& { return spectra()[1].name; }, list_row("Spectra")},
            {"Force spectrum name", SPECTRUM_NAME_LENGTH, "SPECTRUM_DIALOG", SP_NAME,
             []() -> std::string& { return force_spectra()[1].name; }, list_row("Force Spectra")},
            {"Plot title", MODEL_TITLE_WIDTH, "PLOT_TITLE_DIALOG", PLOT_TITLE_TEXT,
             []() -> std::string& { return model_title(); }, [] { plot_title_dialog(main_frame().window); }},
            qa_line("QA client", QA_CLIENT, QA_NAME_LIMIT, [](QABlock& q) -> std::string& { return q.client; }),
            qa_line("QA project", QA_PROJECT, QA_NAME_LIMIT, [](QABlock& q) -> std::string& { return q.project; }),
            qa_line("QA file number", QA_FILE_NUMBER, QA_NUMBER_LIMIT,
                    [](QABlock& q) -> std::string& { return q.file_number; }),
            qa_line("QA report number", QA_REPORT_NUMBER, QA_NUMBER_LIMIT,
                    [](QABlock& q) -> std::string& { return q.report_number; }),
            qa_line("QA prepared by", QA_PREPARED_BY_1, QA_NAME_LIMIT,
                    [](QABlock& q) -> std::string& { return q.prepared_by[0]; }),
            qa_line("QA prepared by, line 2", QA_PREPARED_BY_2, QA_NAME_LIMIT,
                    [](QABlock& q) -> std::string& { return q.prepared_by[1]; }),
            qa_line("QA checked by", QA_CHECKED_BY_1, QA_NAME_LIMIT,
                    [](QABlock& q) -> std::string& { return q.checked_by[0]; }),
            qa_line("QA checked by, line 2", QA_CHECKED_BY_2, QA_NAME_LIMIT,
                    [](QABlock& q) -> std::string& { return q.checked_by[1]; }),
            // Last: the valve library closes the model.
            {"Valve description", VALVE_DESCRIPTION_LENGTH, "VALVE_LIBRARY_DIALOGNEW", VALVE_DESCRIPTION,
             valve_description,
             [] {
                 table_goto_row(valve_library_table(), 1);
                 table_edit_row(valve_library_table());
             }},
        };
    }

    // Opens the field's dialog on its record and answers it with `answer`;
    // the messages it showed.
    std::vector<std::string> run(const StoredTextField& f, const std::function<void(HeadlessDialog&)>& answer)
    {
        bool opened = false;
        const std::size_t said = script().messages().size();
        script().once(f.dialog, [&](HeadlessDialog& d) {
            opened = true;
            answer(d);
        });
        f.open();
        EXPECT_TRUE(opened) << f.what;
        const std::vector<std::string> messages = script().messages();
        return {messages.begin() + static_cast<std::ptrdiff_t>(said), messages.end()};
    }
};

TEST_F(DialogKeepsStoredText, OkWithoutAChangeWritesBackTheStoredBytes)
{
    for (const StoredTextField& f : fields()) {
        for (const std::string& stored : stored_texts(f.bytes)) {
            ASSERT_LE(stored.size(), f.bytes);
            f.text() = stored;
            model_modified() = false;
            const std::vector<std::string> said = run(f, [&](HeadlessDialog& d) {
                EXPECT_TRUE(d.press(IDOK)) << f.what;
                EXPECT_TRUE(d.ended()) << f.what;
            });
            EXPECT_TRUE(said.empty()) << f.what << ": " << said.front();
            EXPECT_EQ(f.text(), stored) << f.what;
            EXPECT_FALSE(model_modified()) << f.what;
        }
    }
}

// What the user typed is taken as typed, without its outer blanks.
TEST_F(DialogKeepsStoredText, AChangedTextIsTakenAsTyped)
{
    for (const StoredTextField& f : fields()) {
        f.text() = hostile_text(f.bytes).bytes;
        const std::vector<std::string> said = run(f, [&](HeadlessDialog& d) {
            EXPECT_TRUE(d.type(f.item, "  Typed 1  ")) << f.what;
            EXPECT_TRUE(d.press(IDOK)) << f.what;
            EXPECT_TRUE(d.ended()) << f.what;
        });
        EXPECT_TRUE(said.empty()) << f.what << ": " << said.front();
        EXPECT_EQ(f.text(), "Typed 1") << f.what;
    }
}

TEST_F(DialogKeepsStoredText, AChangedTagIsCheckedAsATypedTagIs)
{
    const StoredTextField anchor = support_tag<Anchor>("Anchor tag", DT_ANCHOR, "ANCHOR_DIALOG");
    anchor.text() = "A-1";
    const std::vector<std::string> said = run(anchor, [](HeadlessDialog& d) {
        d.type(SUP_TAG, "A-\x07" "2");
        d.press(IDOK);
        EXPECT_FALSE(d.ended());
        EXPECT_EQ(d.focused(), SUP_TAG);
        d.press(IDCANCEL);
    });
    ASSERT_EQ(said.size(), 1u);
    EXPECT_NE(said[0].find("is invalid"), std::string::npos) << said[0];
    EXPECT_EQ(anchor.text(), "A-1");
}

// A text longer than what a description is typed in (15 characters) but
// within what the record holds (16 bytes, as a batch file may give it)
// stays whole; one typed as long as the field takes is cut within the
// bytes the record keeps, at a whole character.
TEST_F(DialogKeepsStoredText, APumpsSixteenByteDescriptionStaysWholeAndATypedOneIsCutAtACharacter)
{
    const StoredTextField pump = fields().front();
    pump.text() = "P-101 FEED PUMPS";
    run(pump, [](HeadlessDialog& d) {
        EXPECT_EQ(d.control(PUMP_DESCRIPTION)->text, "P-101 FEED PUMP");
        d.press(IDOK);
    });
    EXPECT_EQ(pump.text(), "P-101 FEED PUMPS");
    // Fifteen characters of two bytes each: fifteen bytes take seven.
    std::string typed;
    for (int i = 0; i < 15; ++i)
        typed += "\xC3\xA9";
    run(pump, [&](HeadlessDialog& d) {
        d.type(PUMP_DESCRIPTION, typed);
        d.press(IDOK);
    });
    EXPECT_EQ(pump.text(), typed.substr(0, 14));
}

}  // namespace
