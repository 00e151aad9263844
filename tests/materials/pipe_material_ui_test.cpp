// Pipe material input: the material dialogs' checks and rename, the
// Materials table (typing, Enter checks, insert, delete, copy and paste,
// menu items while shown), the property grid under it, and the pick from a
// material library file.
#include "framework/binfile.h"
#include "framework/commands.h"
#include "framework/text.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "materials/beam_material.h"
#include "materials/material_records.h"
#include "materials/pipe_material.h"
#include "materials/library_file.h"
#include "materials/property_sets.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/material_props_editor.h"
#include "materials/ui/material_report.h"
#include "materials/ui/pipe_material_library.h"
#include "materials/ui/pipe_material_ui.h"
#include "model/model_file_fixture.h"
#include "model/piping_codes.h"
#include "model/ui/list_window.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <limits>

namespace {

class PipeMaterialUiTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        material_library_mode() = false;
        install_property_sets();
        install_pipe_materials_ui();
        pipe_materials().push_back(two_row_steel("CS1"));
        pipe_materials().push_back(two_row_steel("CS2", "Second steel"));
    }
    void TearDown() override
    {
        close_list_window();
        if (list_frame().window)
            frame_destroy(list_frame());
        materials_table().copied.reset();
        materials_table().input = PipeMaterial{};
        ModelFileUiTest::TearDown();
    }

    // Types the dialog's fields (those given) and presses OK; the dialog may
    // stay open after a refusal, so several attempts can follow in one run.
    using Fields = std::vector<std::pair<int, std::string>>;
    static void attempt(HeadlessDialog& d, const Fields& fields)
    {
        for (const auto& [id, text] : fields)
            d.type(id, text);
        d.press(IDOK);
    }

    // A library file written through the record writer.
    void write_library(const std::string& file, const std::vector<PipeMaterial>& records, int32_t code = CODE_B313,
                       const char* magic = MATERIAL_LIBRARY_MAGIC, int32_t count = -1)
    {
        BinFile f;
        ASSERT_TRUE(f.open_write(file));
        f.write_name(magic, 16);
        f.write_int(code);
        for (int i = 0; i < MATERIAL_LIBRARY_UNIT_COUNT; ++i)
            f.write_int(0);
        f.write_int(count >= 0 ? count : static_cast<int32_t>(records.size()));
        for (const PipeMaterial& m : records)
            m.write(f);
        ASSERT_TRUE(f.close());
    }
};

TEST_F(PipeMaterialUiTest, DialogTemplateFollowsThePipingCode)
{
    const std::pair<int32_t, const char*> cases[] = {
        {CODE_B311, "MATERIAL1_DIALOG"},        {CODE_B313, "MATERIAL3_DIALOG"},
        {CODE_IGEM, "MATERIAL3_DIALOG"},        {CODE_STOOMWEZEN, "MATERIAL3_DIALOG"},
        {CODE_NORWEGIAN_1990, "MATERIAL2_DIALOG"}, {CODE_SWEDISH, "MATERIAL2_DIALOG"},
        {CODE_BS806, "MATERIAL1_DIALOG"}};
    for (const auto& [code, name] : cases) {
        piping_code() = code;
        EXPECT_EQ(material_dialog_template().name, name) << code;
    }
}

TEST_F(PipeMaterialUiTest, StrengthShowsItsUnitUnderEveryCodeButIgem)
{
    const std::pair<int32_t, bool> cases[] = {{CODE_B313, true},  {CODE_B3112, true},  {CODE_CODETI, true},
                                              {CODE_EN13480, true}, {CODE_STOOMWEZEN, true}, {CODE_Z662, true},
                                              {CODE_SWEDISH, true}, {CODE_IGEM, false}};
    for (const auto& [code, shown] : cases) {
        piping_code() = code;
        script().once(material_dialog_template().name, [shown = shown, code = code](HeadlessDialog& d) {
            EXPECT_EQ(d.is_shown(MAT_STRENGTH_UNIT), shown) << code;
            EXPECT_TRUE(!shown || d.text(MAT_STRENGTH_UNIT) == "(psi)") << code;
            d.press(IDCANCEL);
        });
        edit_pipe_material(1);
    }
}

TEST_F(PipeMaterialUiTest, DialogChecksFieldsInOrderWithTheirMessages)
{
    beam_materials().push_back(BeamMaterial{"BM1", "Beam steel", 29e6f, 0.3f, 0.283f, 6e-6f});
    script().once("MATERIAL1_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Material # 3");
        attempt(d, {{MAT_NAME, ""}});
        attempt(d, {{MAT_NAME, "A*B"}});
        attempt(d, {{MAT_NAME, "BM1"}});
        attempt(d, {{MAT_NAME, "CS2"}});
        attempt(d, {{MAT_NAME, "new"}, {MAT_DESCRIPTION, "   "}});
        attempt(d, {{MAT_DESCRIPTION, "  Low  alloy  "}, {MAT_DENSITY, "x"}});
        attempt(d, {{MAT_DENSITY, ""}, {MAT_NU, "0.5"}});
        attempt(d, {{MAT_NU, "-1"}});
        attempt(d, {{MAT_NU, "0.29"}, {MAT_JOINT_FACTOR, "0"}});
        attempt(d, {{MAT_JOINT_FACTOR, "1.01"}});
        attempt(d, {{MAT_JOINT_FACTOR, ""}});
    });
    EXPECT_EQ(edit_pipe_material(3), 1);
    EXPECT_EQ(script().messages(),
              (std::vector<std::string>{"Name is required", "Name =  A*B  should be alpha numeric",
                                        "Material =  BM1  is already defined as a beam material",
                                        "Material =  CS2  is already defined", "Description is required",
                                        "Density =  X  is invalid", "Nu should be < 0.5", "Nu should be > -1",
                                        "Joint factor =  0  is invalid", "Joint factor =  1.01  is invalid"}));
    ASSERT_EQ(nummats(), 3);
    const PipeMaterial& m = pipe_materials()[3];
    EXPECT_EQ(m.name, "NEW");
    EXPECT_EQ(m.description, "Low  alloy");
    EXPECT_FLOAT_EQ(m.joint_factor, 1.0f);
    EXPECT_FLOAT_EQ(m.circ_joint_factor, 1.0f);
    EXPECT_TRUE(model_modified());
}

TEST_F(PipeMaterialUiTest, FrpTakesHighNuButNeedsHoopAndShearModuli)
{
    // Switching steel to FR with Nu 0.5: the metal rows have no hoop modulus.
    script().once("MATERIAL1_DIALOG", [](HeadlessDialog& d) {
        d.select(MAT_TYPE, FRP_TYPE_INDEX);
        attempt(d, {{MAT_NU, "0.5"}});
        d.press(IDCANCEL);
    });
    EXPECT_EQ(edit_pipe_material(1), 0);
    EXPECT_EQ(script().last_message().rfind("Hoop modulus is required", 0), 0u) << script().last_message();
    EXPECT_EQ(pipe_materials()[1].type, "CS");

    // With the moduli entered in the properties dialog it is stored.
    for (PropertyRow& r : pipe_materials()[2].table) {
        r[PROP_HOOP_MODULUS] = 1.0e6f;
        r[PROP_SHEAR_MODULUS] = 0.5e6f;
    }
    script().once("MATERIAL1_DIALOG", [](HeadlessDialog& d) {
        d.select(MAT_TYPE, FRP_TYPE_INDEX);
        attempt(d, {{MAT_NU, "0.5"}});
    });
    EXPECT_EQ(edit_pipe_material(2), 1);
    EXPECT_EQ(pipe_materials()[2].type, "FR");
    EXPECT_EQ(pipe_materials()[2].frp, 1);
    EXPECT_FLOAT_EQ(pipe_materials()[2].nu, 0.5f);
}

TEST_F(PipeMaterialUiTest, RenameAsksAndReachesRowsAndBends)
{
    from(10);
    const int pipe = row(20, ET_PIPE, 12.0f);
    model().rows[pipe].material = "CS1";
    const int bend = row(30, ET_BEND, 12.0f);
    model().rows[bend].element->bend_geometry()->material = "CS1";

    script().answer(IDNO);
    script().once("MATERIAL1_DIALOG", [](HeadlessDialog& d) {
        attempt(d, {{MAT_NAME, "CS9"}});
        EXPECT_EQ(d.text(MAT_NAME), "CS1");
        d.press(IDCANCEL);
    });
    EXPECT_EQ(edit_pipe_material(1), 0);
    EXPECT_EQ(pipe_materials()[1].name, "CS1");

    script().answer(IDYES);
    script().once("MATERIAL1_DIALOG", [](HeadlessDialog& d) { attempt(d, {{MAT_NAME, "CS9"}}); });
    EXPECT_EQ(edit_pipe_material(1), 1);
    EXPECT_EQ(script().last_message(), "Do you want to change Material name\nfrom  \"CS1\"  to  \"CS9\" ?");
    EXPECT_EQ(pipe_materials()[1].name, "CS9");
    EXPECT_EQ(model().rows[pipe].material, "CS9");
    EXPECT_EQ(model().rows[bend].element->bend_geometry()->material, "CS9");
}

TEST_F(PipeMaterialUiTest, TableTypingEnterChecksAndDelete)
{
    open_materials_table();
    MaterialsTable& t = materials_table();
    ASSERT_EQ(list_window_table(), &t);
    EXPECT_EQ(t.title, "Materials");
    EXPECT_EQ(t.row_count, 3);
    EXPECT_EQ(t.cell_text(1, 5, 0), "0.3");
    EXPECT_EQ(t.cell_text(1, 6, 0), "1.00");

    // The dialog's combined checks hold in the table too.
    EXPECT_THROW(t.store_cell(1, 5, "0.5"), CI);
    pipe_materials()[1].nu = 0.6f;
    EXPECT_THROW(t.store_cell(1, 3, "CS"), CI);   // type kept steel-like: Nu refused
    pipe_materials()[1].nu = 0.3f;
    EXPECT_THROW(t.store_cell(1, 3, "XX"), MessageText);
    EXPECT_THROW(t.store_cell(1, 6, "1.5"), MessageText);
    EXPECT_THROW(t.store_cell(1, 1, "CS2"), MessageText);
    EXPECT_EQ(pipe_materials()[1].type, "CS");

    // The input row: Enter needs a name, a description and properties.
    EXPECT_THROW(t.leave_row(3), CI);
    t.store_cell(3, 1, "n1");
    try {
        t.leave_row(3);
        FAIL();
    } catch (const CI& c) {
        EXPECT_EQ(c.message, "Description is required");
        EXPECT_EQ(c.column, 2);
    }
    t.store_cell(3, 2, "  New one ");
    // The refusal for the properties is shown at once and sends the caret
    // into the property grid under the table.
    try {
        t.leave_row(3);
        FAIL();
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, "");
    }
    EXPECT_EQ(script().last_message().rfind("Properties are required\n", 0), 0u);
    EXPECT_TRUE(list_lower_pane_active());
    activate_list_pane(false);
    ASSERT_EQ(nummats(), 3);
    EXPECT_EQ(pipe_materials()[3].name, "N1");
    EXPECT_EQ(pipe_materials()[3].description, "New one");
    EXPECT_FLOAT_EQ(pipe_materials()[3].nu, 0.3f);
    EXPECT_FLOAT_EQ(pipe_materials()[3].joint_factor, 1.0f);

    // Delete: refused while a row names the material, the input row only clears.
    from(10);
    model().rows[row(20, ET_PIPE, 5.0f)].material = "CS2";
    table_goto_row(t, 2);
    table_delete(t);
    EXPECT_EQ(nummats(), 3);
    EXPECT_EQ(script().last_message(), "Material CS2 is in use, it cannot be deleted");
    table_goto_row(t, 1);
    table_delete(t);
    ASSERT_EQ(nummats(), 2);
    EXPECT_EQ(pipe_materials()[1].name, "CS2");
}

TEST_F(PipeMaterialUiTest, EditOnTheInputRowStartsFromWhatWasTyped)
{
    open_materials_table();
    MaterialsTable& t = materials_table();
    t.store_cell(3, 1, "SS316");
    t.store_cell(3, 2, "Stainless 316");
    std::string description, name;
    script().once(material_dialog_template().name, [&](HeadlessDialog& d) {
        name = d.text(MAT_NAME);
        description = d.text(MAT_DESCRIPTION);
        d.press(IDCANCEL);
    });
    EXPECT_TRUE(t.edit_row(3));
    EXPECT_EQ(name, "SS316");
    EXPECT_EQ(description, "Stainless 316");
    EXPECT_EQ(t.input.description, "Stainless 316");   // Cancel keeps the typing
}

TEST_F(PipeMaterialUiTest, InsertCopyAndPasteKeepARecordCopy)
{
    open_materials_table();
    MaterialsTable& t = materials_table();
    table_goto_row(t, 2);
    table_copy(t);
    // The array changes after Copy: the pasted values are those copied.
    pipe_materials()[2].description = "Changed later";
    for (int i = 0; i < 20; ++i)
        pipe_materials().push_back(two_row_steel(c_format("X%d", i)));
    t.load();
    table_goto_row(t, 1);
    EXPECT_TRUE(t.can_insert(1));
    table_insert(t);
    ASSERT_EQ(nummats(), 23);
    EXPECT_TRUE(pipe_materials()[1].name.empty());
    EXPECT_FALSE(t.can_insert(2));   // the row above has no name

    table_goto_row(t, 2);
    table_paste(t);
    const PipeMaterial& m = pipe_materials()[2];
    EXPECT_EQ(m.name, "CS1");
    EXPECT_EQ(m.description, "Second steel");
    EXPECT_EQ(m.numtemps(), 2);
    // Paste is spent until the next Copy.
    const int beeps = script().beeps();
    table_goto_row(t, 4);
    table_paste(t);
    EXPECT_EQ(script().beeps(), beeps + 1);
    EXPECT_EQ(pipe_materials()[4].description, "Carbon steel");
}

TEST_F(PipeMaterialUiTest, MenuItemsWhileShownAndTheTypeChooser)
{
    frame_create(list_frame(), "KorvaneList", "List", [](int id) { ListCommand(id); }, "LIST_MENU", nullptr, "");
    create_list_window();
    open_materials_table();
    const Menu& menu = list_frame().menu;
    EXPECT_TRUE(menu.contains(CMD_LIBRARY));
    EXPECT_TRUE(menu.contains(CMD_EXPORT));
    EXPECT_TRUE(menu.contains(CMD_INSERT));
    EXPECT_TRUE(menu.contains(CMD_HIGHLIGHT_MATERIAL));
    const std::vector<int> with = menu.command_ids();

    // The chooser stores its pick as if typed into the Type cell.
    MaterialsTable& t = materials_table();
    table_goto_row(t, 1, 3);
    script().once("MATERIAL_TYPES_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.list_selection(MATTYPES_LIST), 5);
        d.double_click(MATTYPES_LIST, 9);
    });
    t.context_menu(Point{});
    EXPECT_EQ(pipe_materials()[1].type, "SS");

    int erased = 0;
    pipe_material_highlight().erase = [&] { ++erased; };
    close_list_window();
    EXPECT_FALSE(menu.contains(CMD_LIBRARY));
    EXPECT_FALSE(menu.contains(CMD_INSERT));
    EXPECT_FALSE(menu.contains(CMD_HIGHLIGHT_MATERIAL));
    EXPECT_GE(erased, 1);
    // Reopening gives the same menu (the separator is not left behind).
    open_materials_table();
    EXPECT_EQ(list_frame().menu.command_ids(), with);
    close_list_window();
    pipe_material_highlight() = PipeMaterialHighlight{};
}

TEST_F(PipeMaterialUiTest, ExportWritesTheExportFileUnderItsOwnName)
{
    // As the program runs: the list frame's commands go to ListCommand.
    frame_create(list_frame(), "KorvaneList", "List", nullptr, "LIST_MENU", nullptr, "");
    create_list_window();
    install_list_window_commands();
    model_file_path() = path("pump.mod");
    open_materials_table();
    const std::string csv = path("export.csv");
    script().answer_file(csv);
    frame_command(list_frame(), CMD_EXPORT);

    const ScriptEvent* dialog = nullptr;
    for (const ScriptEvent& e : script().log())
        if (e.kind == ScriptEvent::FileDialog)
            dialog = &e;
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(dialog->name, "save");
    EXPECT_EQ(dialog->suggested, "Materials.csv");
    // The export form: one line a value, not the report's cells.
    std::ifstream in(csv, std::ios::binary);
    const std::string written((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    EXPECT_EQ(written, materials_csv_export_text());
    EXPECT_EQ(written.rfind("Material CS1: Carbon steel\nDensity = ", 0), 0u);
    EXPECT_EQ(script().last_message(), "csv written.");
    destroy_list_window();
}

TEST_F(PipeMaterialUiTest, GridWritesBackOrderedRowsIntoTheMaterial)
{
    load_material_properties_grid(1);
    PropertyGrid& g = material_properties_grid();
    ASSERT_EQ(g.row_count, 3);   // two rows and the input row
    g.store_cell(3, 1, "200");
    g.store_cell(3, 2, "28.8E6");
    EXPECT_TRUE(commit_material_properties_grid());
    const PropertyTable& table = pipe_materials()[1].table;
    ASSERT_EQ(table.size(), 3);
    EXPECT_FLOAT_EQ(table[2][PROP_TEMPERATURE], 200.0f);
    EXPECT_FLOAT_EQ(table[3][PROP_TEMPERATURE], 400.0f);
    EXPECT_FALSE(commit_material_properties_grid());   // nothing changed since
    input_locked() = true;
    load_material_properties_grid(1);
    g.store_cell(1, 2, "1E6");
    EXPECT_FALSE(commit_material_properties_grid());
    input_locked() = false;
    EXPECT_FLOAT_EQ(pipe_materials()[1].table[1][PROP_MODULUS], 29.5e6f);
}

TEST_F(PipeMaterialUiTest, LibraryPickCopiesTheRecordAndKeepsTheName)
{
    PipeMaterial a = two_row_steel("", "A106 Grade B");
    PipeMaterial b = two_row_steel("", "A312 TP304");
    b.set_type("AS");
    b.table.push_back(PropertyRow{700, 25.0e6f, 9.0e-6f, 15000, 0, 0, 0, 0});
    PipeMaterial empty = two_row_steel("", "No rows");
    empty.table.clear();
    const std::string file = path("lib.mat");
    write_library(file, {a, b, empty});
    material_library().path = file;

    // Row 2 picked with Enter in the table; the description differs: asked.
    script().once("LIBRARY_USE_DIALOG", [&](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Material Library - [lib.mat (" + dir.string() + ")]");
        EXPECT_EQ(d.text(LIBUSE_NOTE), "Piping code : " + piping_code_short_name(CODE_B313));
        const WindowId table = d.control(LIBUSE_TABLE)->client;
        script().key(table, KEY_DOWN);
        script().key(table, KEY_RETURN);
    });
    script().answer(IDYES);
    EXPECT_TRUE(pick_material_from_library(0, 1));
    const PipeMaterial& m = pipe_materials()[1];
    EXPECT_EQ(m.name, "CS1");
    EXPECT_EQ(m.description, "A312 TP304");
    EXPECT_EQ(m.type, "AS");
    EXPECT_EQ(m.numtemps(), 3);
    EXPECT_EQ(script().last_message(),
              "Do you want to change Material\nfrom  \"Carbon steel\"  to  \"A312 TP304\" ?");

    // A record without temperature rows is refused; nothing changes.
    script().once("LIBRARY_USE_DIALOG", [](HeadlessDialog& d) {
        const WindowId table = d.control(LIBUSE_TABLE)->client;
        script().key(table, KEY_END, MOD_CONTROL);
        d.press(IDOK);
    });
    EXPECT_THROW(pick_material_from_library(0, 2), MessageText);
    EXPECT_EQ(pipe_materials()[2].description, "Second steel");
}

TEST_F(PipeMaterialUiTest, BadOrMissingLibraryFilesChangeNothing)
{
    const std::string file = path("bad.mat");
    // A count far beyond the bytes left.
    write_library(file, {two_row_steel("")}, CODE_B313, MATERIAL_LIBRARY_MAGIC, 50000000);
    material_library().path = file;
    EXPECT_FALSE(read_material_library(0));
    EXPECT_EQ(script().last_message().rfind("There was an error while reading material library:\n" + file, 0), 0u);
    EXPECT_EQ(numlibmats(), 0);
    EXPECT_TRUE(material_library().path.empty());

    // Wrong kind; unknown piping code.
    write_library(file, {two_row_steel("")}, CODE_B313, "KORVANEBEAM6900");
    material_library().path = file;
    EXPECT_FALSE(read_material_library(0));
    EXPECT_EQ(script().last_message(), "Unable to read material library:\n" + file);
    write_library(file, {two_row_steel("")}, 77);
    material_library().path = file;
    EXPECT_FALSE(read_material_library(0));

    // Old libraries number the codes from 11 one lower.
    write_library(file, {two_row_steel("")}, 11, "KORVANEWMAT6800");
    material_library().path = file;
    ASSERT_TRUE(read_material_library(0));
    EXPECT_EQ(material_library().code, 12);
    EXPECT_EQ(library_header_version("KORVANEWMAT6905", MATERIAL_LIBRARY_KIND), 690);

    // An old library's code is checked before it is renumbered: the largest
    // int32 in the 20 bytes of a damaged file, and in a whole one.
    std::vector<unsigned char> bytes(std::begin("KORVANEWMAT66900"), std::end("KORVANEWMAT66900") - 1);
    bytes.insert(bytes.end(), {0xff, 0xff, 0xff, 0x7f});
    put_bytes(file, bytes);
        EXPECT_EQ(thrown_text([&] { read_material_library_file(file); }),
              "There was an error while reading material library:\n" + file);
    write_library(file, {two_row_steel("")}, std::numeric_limits<int32_t>::max(), "KORVANEWMAT6690");
    EXPECT_EQ(thrown_text([&] { read_material_library_file(file); }),
              "There was an error while reading material library:\n" + file + "\nPiping code 2147483647 is unknown");

    // A record with a value that is not a number is named with its field.
    PipeMaterial second = two_row_steel("", "Second steel");
    second.table[2][PROP_ALPHA] = std::numeric_limits<float>::quiet_NaN();
    write_library(file, {two_row_steel(""), second});
    EXPECT_EQ(thrown_text([&] { read_material_library_file(file); }),
              "There was an error while reading material library:\n" + file +
                  "\nMaterial 2 (Second steel): Expansion of property row 2 is not a finite number");
    second = two_row_steel("", "Second steel");
    second.nu = -std::numeric_limits<float>::infinity();
    write_library(file, {two_row_steel(""), second});
    material_library().path = file;
    EXPECT_FALSE(read_material_library(0));
    EXPECT_EQ(script().last_message(), "There was an error while reading material library:\n" + file +
                                           "\nMaterial 2 (Second steel): Nu is not a finite number");
    EXPECT_EQ(numlibmats(), 0);

    // A remembered library that was deleted: the user is asked for another.
    reset_material_library();
    material_library().path = path("gone.mat");
    script().answer_file(std::nullopt);
    const PipeMaterial before = pipe_materials()[1];
    EXPECT_FALSE(pick_material_from_library(0, 1));
    EXPECT_EQ(script().runs("LIBRARY_USE_DIALOG"), 0);
    EXPECT_EQ(pipe_materials()[1].description, before.description);
}

// Under B31.8 a material holds its specified minimum tensile strength (the
// allowable stress range of para. 833.8 is made of it) in the record's
// strength field, as the other tensile-strength codes do.
class B318Tensile : public PipeMaterialUiTest {
protected:
    void SetUp() override
    {
        PipeMaterialUiTest::SetUp();
        piping_code() = CODE_B318;
    }
};

TEST_F(B318Tensile, DialogTableAndReportHoldTheTensileStrength)
{
    // The dialog of the one-strength codes, labelled as the other
    // tensile-strength codes label it, with the stress unit.
    EXPECT_EQ(material_dialog_template().name, std::string("MATERIAL3_DIALOG"));
    script().once("MATERIAL3_DIALOG", [](HeadlessDialog& d) {
        EXPECT_EQ(d.text(MAT_STRENGTH_LABEL), "Tensile strength");
        EXPECT_TRUE(d.is_shown(MAT_STRENGTH_UNIT));
        EXPECT_EQ(d.text(MAT_STRENGTH_UNIT), "(psi)");
        EXPECT_EQ(d.text(MAT_STRENGTH), "");   // not given
        attempt(d, {{MAT_STRENGTH, "abc"}});
        attempt(d, {{MAT_STRENGTH, "66000"}});
    });
    EXPECT_EQ(edit_pipe_material(1), 1);
    EXPECT_EQ(script().last_message(), "Tensile strength =  ABC  is invalid");
    EXPECT_FLOAT_EQ(pipe_materials()[1].strength, 66000.0f);

    // The table's column, its heading and its cell.
    open_materials_table();
    MaterialsTable& t = materials_table();
    EXPECT_TRUE(t.column_shown(8));
    EXPECT_EQ(t.header_text(8, 0), "Tensile");
    EXPECT_EQ(t.header_text(8, 1), "(psi)");
    EXPECT_EQ(t.cell_text(1, 8, 0), "66000");

    // The reports' strength line.
    EXPECT_EQ(material_strength_label(CODE_B318), "Tensile strength");
    EXPECT_NE(materials_csv_export_text().find("Tensile strength = 66000"), std::string::npos);
    report_begin_text(false);
    print_materials();
    EXPECT_NE(report_end_text().find("Tensile strength = "), std::string::npos);

    // B31.4 takes none: neither the dialog's field nor the column.
    piping_code() = CODE_B314;
    EXPECT_EQ(material_dialog_template().name, std::string("MATERIAL1_DIALOG"));
    EXPECT_FALSE(t.column_shown(8));
    EXPECT_EQ(material_strength_label(CODE_B314), "");
}

}  // namespace
