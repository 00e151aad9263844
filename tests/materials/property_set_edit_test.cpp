// Edits of the named property sets that once lost or corrupted data: the
// material dialog under codes without a type list, the last row of the
// properties dialog, the beam tables' input row and paste, and a section
// paste that would break a jacket's clearance.
#include "framework/commands.h"
#include "framework/ui/table.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/material_records.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "materials/size_tables.h"
#include "materials/ui/beam_material_ui.h"
#include "materials/ui/beam_section_ui.h"
#include "materials/ui/dialogs_beams.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/material_props_editor.h"
#include "materials/ui/pipe_material_ui.h"
#include "materials/ui/pipe_section_ui.h"
#include "model/model_file_fixture.h"
#include "model/piping_codes.h"
#include "model/ui/list_window.h"
#include "platform/backend.h"
#include "platform/headless/headless_backend.h"

namespace {

class PropertySetEditTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        material_library_mode() = false;
        install_property_sets();
        install_pipe_materials_ui();
        install_beam_materials_ui();
        install_beam_sections_ui();
        install_pipe_sections_ui();
    }
    void TearDown() override
    {
        close_list_window();
        if (list_frame().window)
            frame_destroy(list_frame());
        materials_table().input = PipeMaterial{};
        sections_table().input = PipeSection{};
        ModelFileUiTest::TearDown();
    }
};

// OK, unchanged, in the material dialog under a code whose dialog shows no
// type list keeps the material's type (and an FRP material's flag).
TEST_F(PropertySetEditTest, MaterialDialogUnderCodeWithoutTypeKeepsTheType)
{
    PipeMaterial frp = one_row_steel("FR1");
    frp.set_type("FR");
    frp.nu = 0.3f;
    frp.table[1][PROP_HOOP_MODULUS] = 1e6f;
    frp.table[1][PROP_SHEAR_MODULUS] = 0.5e6f;
    pipe_materials().push_back(one_row_steel("CS1"));
    pipe_materials().push_back(frp);
    for (int32_t code : {CODE_Z662, CODE_STOOMWEZEN}) {
        piping_code() = code;
        for (int i : {1, 2}) {
            script().once(material_dialog_template().name, [](HeadlessDialog& d) { d.press(IDOK); });
            edit_pipe_material(i);
        }
        EXPECT_EQ(pipe_materials()[1].type, "CS") << code;
        EXPECT_EQ(pipe_materials()[2].type, "FR") << code;
        EXPECT_EQ(pipe_materials()[2].frp, 1) << code;
        pipe_materials()[1].set_type("CS");
        pipe_materials()[2].set_type("FR");
    }
    // An FRP material with its usual Nu can be OK'ed unchanged.
    pipe_materials()[2].nu = 0.6f;
    piping_code() = CODE_Z662;
    script().once(material_dialog_template().name, [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_EQ(edit_pipe_material(2), 1) << script().last_message();
}

// A row typed into the properties dialog's last row and accepted with OK
// (no Enter) is kept.
TEST_F(PropertySetEditTest, PropertiesDialogKeepsTheRowTypedLast)
{
    PropertyTable copy;
    bool modified = false;
    script().once("MATERIAL_PROPERTIES_DIALOG", [](HeadlessDialog& d) {
        const WindowId client = d.control(MATPROP_GRID)->client;
        type_into(client, "200");
        headless_backend().window(client)->client_events->on_key(KEY_TAB, MOD_NONE);
        type_into(client, "28E6");
        d.press(IDOK);
    });
    EXPECT_EQ(run_material_properties_dialog(copy, false, modified), 1);
    EXPECT_TRUE(modified);
    EXPECT_EQ(copy.size(), 1) << "typed row lost; messages: " << script().messages().size();
}

// The properties dialog opens with the caret in the grid's first cell, and
// Tab goes along the row and on to a new row after the last cell.
TEST_F(PropertySetEditTest, PropertiesDialogTakesTypingRowAfterRow)
{
    PropertyTable copy;
    bool modified = false;
    script().once("MATERIAL_PROPERTIES_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.focused(), MATPROP_GRID);
        const WindowId client = d.control(MATPROP_GRID)->client;
        for (const char* cell : {"100", "29.5E6", "6.07E-6", "20000", "200", "28E6"}) {
            type_into(client, cell);
            headless_backend().window(client)->client_events->on_key(KEY_TAB, MOD_NONE);
        }
        d.press(IDOK);
    });
    EXPECT_EQ(run_material_properties_dialog(copy, false, modified), 1);
    ASSERT_EQ(copy.size(), 2) << script().last_message();
    EXPECT_FLOAT_EQ(copy[1][PROP_TEMPERATURE], 100.0f);
    EXPECT_FLOAT_EQ(copy[1][PROP_MODULUS], 29.5e6f);
    EXPECT_FLOAT_EQ(copy[1][PROP_ALPHA], 6.07e-6f);
    EXPECT_FLOAT_EQ(copy[1][PROP_STRESS1], 20000.0f);
    EXPECT_FLOAT_EQ(copy[2][PROP_TEMPERATURE], 200.0f);
    EXPECT_FLOAT_EQ(copy[2][PROP_MODULUS], 28e6f);
}

// Beam tables: a record made through Edit on the input row never leaves a
// second record of its name behind.
TEST_F(PropertySetEditTest, BeamInputRowEditCannotDuplicateAName)
{
    frame_create(list_frame(), "KorvaneList", "List", nullptr, "LIST_MENU", nullptr, "LIST_ACCEL");
    create_list_window();
    open_beam_materials_table();
    TableWindow* t = list_window_table();
    ASSERT_NE(t, nullptr);
    t->store_cell(1, 1, "B1");
    script().once("BEAM_MATERIAL_DIALOG", [](HeadlessDialog& d) {
        d.type(BEAM_NAME, "B1");
        d.type(BMAT_E, "29E6");
        d.type(BMAT_NU, "0.3");
        d.press(IDOK);
    });
    t->edit_row(1);
    ASSERT_EQ(numbmats(), 1);
    // Completing the input row afterwards stores no second B1.
    try {
        t->store_cell(2, 3, "29E6");
        t->store_cell(2, 4, "0.3");
        t->leave_row(2);
    } catch (...) {
    }
    int count = 0;
    for (const BeamMaterial& m : beam_materials())
        count += m.name == "B1";
    EXPECT_EQ(count, 1) << "duplicate beam material name";
}

// Section Paste applies the jacket clearance check of the dialog and the
// typed cells.
TEST_F(PropertySetEditTest, SectionPasteKeepsJacketClearance)
{
    PipeSection core;
    core.name = "C";
    core.nominal_size = NON_STANDARD_SIZE;
    core.outside_diameter = 4.5f;
    core.thickness = 0.237f;
    PipeSection big = core;
    big.name = "BIG";
    big.outside_diameter = 12.75f;
    big.thickness = 0.375f;
    PipeSection jacket = core;
    jacket.name = "J";
    jacket.outside_diameter = 8.0f;
    jacket.thickness = 0.25f;
    pipe_sections().push_back(core);
    pipe_sections().push_back(big);
    pipe_sections().push_back(jacket);
    from(10);
    const int r = row(20, ET_JACKETED_PIPE, 10);
    model().rows[r].section = "C";
    model().rows[r].element->jacket_geometry()->section = "J";
    ASSERT_FALSE(jacket_clearance_violated("C", 4.5, 0.237, 0, 0));

    open_sections_table();
    SectionsTable& t = sections_table();
    table_goto_row(t, 2);
    table_copy(t);
    table_goto_row(t, 1);
    table_paste(t);
    EXPECT_EQ(script().last_message(), "(Jacket I.D. - lining) < (core O.D. + insulation)");
    const PipeSection& c = pipe_sections()[1];
    EXPECT_FALSE(jacket_clearance_violated("C", c.outside_diameter, c.thickness, c.insulation_thickness,
                                           c.lining_thickness))
        << "core OD " << c.outside_diameter << " now exceeds jacket bore";
}

}  // namespace

namespace {
// Beam tables: Paste of a copied row onto another row keeps the target's name.
TEST_F(PropertySetEditTest, BeamPasteOntoAnotherRowKeepsItsName)
{
    frame_create(list_frame(), "KorvaneList", "List", nullptr, "LIST_MENU", nullptr, "LIST_ACCEL");
    create_list_window();
    beam_materials().push_back(BeamMaterial{"B1", "Steel", 29.5e6f, 0.3f, 0.283f, 6.5e-6f});
    beam_materials().push_back(BeamMaterial{"B2", "Alu", 10e6f, 0.33f, 0.1f, 13e-6f});
    open_beam_materials_table();
    TableWindow* t = list_window_table();
    table_goto_row(*t, 1);
    table_copy(*t);
    table_goto_row(*t, 2);
    table_paste(*t);
    EXPECT_EQ(beam_materials()[2].description, "Steel") << script().last_message();
    EXPECT_EQ(beam_materials()[2].name, "B2");
}
}
