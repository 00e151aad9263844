// Library mode on the scripted backend: the program started as main()
// starts it, libraries opened from its Open command and File New, the list
// window's menu, keys, title and tool bar while a library is shown, the save
// question, the main window given back with the user's units and code, the
// material library's own dialogs and batch files, old libraries, the beam
// library's browser, the valve library's editor and the valve pick.
#include "framework/binfile.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "framework/units.h"
#include "materials/beam_library_file.h"
#include "materials/library_file.h"
#include "materials/material_batch_file.h"
#include "materials/material_library_file.h"
#include "materials/material_records.h"
#include "materials/pipe_material.h"
#include "materials/ui/beam_library_ui.h"
#include "materials/ui/dialogs_libraries.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/library_mode.h"
#include "materials/ui/material_library_ui.h"
#include "materials/ui/material_props_editor.h"
#include "materials/ui/materials_subsystem.h"
#include "materials/ui/pipe_material_library.h"
#include "materials/ui/pipe_material_ui.h"
#include "materials/ui/valve_library_ui.h"
#include "materials/ui/valve_pick.h"
#include "materials/valve_library.h"
#include "model/piping_codes.h"
#include "model/ui/dialogs_layout.h"
#include "model/ui/dialogs_model_file.h"
#include "model/ui/layout_install.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "model/ui/model_subsystem.h"
#include "materials/program_fixture.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <bit>
#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

PipeMaterial steel(const std::string& description, float allowable = 20000.0f)
{
    PipeMaterial m = sample_material("", description, {property_row(70, 29.5e6f, 6.07e-6f, allowable)});
    m.density = 0.2836f;
    return m;
}

ValveRecord valve(const std::string& description, const std::string& size, float od, float length, float weight)
{
    ValveRecord v;
    v.description = description;
    v.nominal_size = size;
    v.rating = "150  ";
    v.connection = "FL";
    v.length = length;
    v.weight = weight;
    v.outside_diameter = od;
    v.valve_type = 1;
    return v;
}

class LibraryModeTest : public HeadlessProgramTest {
protected:
    void SetUp() override
    {
        HeadlessProgramTest::SetUp();
        piping_code() = CODE_B313;
    }

    Script& script() { return hb->script(); }
    const HeadlessWindow& list() const { return *hb->window(list_frame().window); }
    const HeadlessWindow& main() const { return *hb->window(main_frame().window); }

    std::string write_materials(const std::string& name, int32_t code, const MaterialLibraryUnits& units)
    {
        OneBased<PipeMaterial> m;
        m.push_back(steel("A106 GRADE B"));
        m.push_back(steel("A53 GRADE B", 18000.0f));
        write_material_library_file(path(name), code, units, m);
        return path(name);
    }
    std::string write_valves(const std::string& name, const std::vector<ValveRecord>& valves)
    {
        OneBased<ValveRecord> v;
        for (const ValveRecord& r : valves)
            v.push_back(r);
        write_valve_library_file(path(name), {0, 0, 0}, v);
        return path(name);
    }
};

TEST_F(LibraryModeTest, MaterialLibraryTakesTheListWindowAndGivesItBack)
{
    unit_choice()[LENGTH] = 1;
    const std::string file = write_materials("LIB.MAT", CODE_B311, MaterialLibraryUnits{2, 1, 1, 1, 1});
    open_by_extension(file);

    ASSERT_TRUE(library_mode_is(LibraryKind::Material));
    EXPECT_TRUE(in_library_mode());
    EXPECT_FALSE(main().visible);
    EXPECT_TRUE(list().visible);
    EXPECT_TRUE(list().menu.contains(CMD_PIPING_CODE));
    EXPECT_TRUE(list().menu.contains(CMD_LIBRARY_IMPORT));
    EXPECT_FALSE(list().menu.contains(CMD_LIST));
    ASSERT_NE(hb->accelerator_table(), nullptr);
    EXPECT_EQ(hb->accelerator_table()->name, "MATLIB_ACCEL");
    EXPECT_NE(list().title.find("[LIB.MAT (" + folder.string() + ")]"), std::string::npos) << list().title;
    ASSERT_NE(list_window_table(), nullptr);
    EXPECT_EQ(list_window_table()->title, "Material Library");
    EXPECT_EQ(nummats(), 2);
    EXPECT_EQ(piping_code(), CODE_B311);
    EXPECT_EQ(current_unit(TEMPERATURE), 1);

    // Changed: Cancel keeps the library, No leaves it.
    model_modified() = true;
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_CLOSE));
    EXPECT_TRUE(library_mode_is(LibraryKind::Material));
    EXPECT_EQ(nummats(), 2);
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_CLOSE));

    EXPECT_FALSE(library_mode_active());
    EXPECT_FALSE(in_library_mode());
    EXPECT_FALSE(material_library_mode());
    EXPECT_TRUE(main().visible);
    EXPECT_TRUE(list().menu.contains(CMD_LIST));
    EXPECT_FALSE(list().menu.contains(CMD_PIPING_CODE));
    EXPECT_EQ(current_accelerator_frame(), &main_frame());
    EXPECT_EQ(nummats(), 0);
    EXPECT_TRUE(material_library().path.empty());
    // The user's units and code are back.
    EXPECT_EQ(current_unit(TEMPERATURE), 0);
    EXPECT_EQ(current_unit(LENGTH), 1);
    EXPECT_EQ(piping_code(), CODE_B313);
    EXPECT_FALSE(model_modified());
    // The file is as it was.
    EXPECT_EQ(read_material_library_file(file).records.size(), 2);
}

TEST_F(LibraryModeTest, NewLibrarySavesThroughSaveAsAndAsksBeforeLeaving)
{
    script().once("NEW_DIALOG", [](HeadlessDialog& d) {
        d.press(new_choice_radio(NEW_KIND_MATERIAL_LIBRARY));
        d.press(IDOK);
    });
    new_file_command(main_frame().window);
    ASSERT_TRUE(library_mode_is(LibraryKind::Material));
    EXPECT_NE(list().title.find("[Untitled]"), std::string::npos) << list().title;
    pipe_materials().push_back(steel("A106 GRADE B"));
    model_modified() = true;

    // Save of an untitled library asks for a name; cancelled, nothing changes.
    script().answer_file(std::nullopt);
    ASSERT_TRUE(script().key(list_frame().window, 'S', MOD_CONTROL));
    EXPECT_TRUE(model_modified());
    EXPECT_TRUE(material_library().path.empty());

    // The close box asks; Yes saves under the name chosen, then the program ends.
    const std::string file = path("new.mat");
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDYES); });
    script().answer_file(file);
    script().close(list_frame().window);
    EXPECT_EQ(script().last_message(), "Material Library saved");
    EXPECT_FALSE(library_mode_active());
    const MaterialLibraryContents read = read_material_library_file(file);
    ASSERT_EQ(read.records.size(), 1);
    EXPECT_EQ(read.records[1].description, "A106 GRADE B");
    EXPECT_EQ(read.code, CODE_B313);
}

namespace {

// Keys and typing as the user gives them to the list window.
class LibraryEditingTest : public LibraryModeTest {
protected:
    bool key(int k, unsigned mods = MOD_NONE) { return script().key(list_frame().window, k, mods); }
    void type(const std::string& text) const { type_into_list(text); }
    // A row of the property grid: the cells typed one after the other (Tab
    // between them) and Enter.
    void type_row(const std::vector<std::string>& cells)
    {
        for (std::size_t i = 0; i < cells.size(); ++i) {
            type(cells[i]);
            key(i + 1 < cells.size() ? KEY_TAB : KEY_RETURN);
        }
    }
    // A material added on the input row with Ctrl+E, its description typed
    // in its dialog (that of the B31.3 group).
    void add_material(const std::string& description)
    {
        table_goto_row(materials_table(), nummats() + 1);
        script().once("MATERIAL3_DIALOG", [description](HeadlessDialog& d) {
            d.type(MAT_DESCRIPTION, description);
            d.press(IDOK);
        });
        ASSERT_TRUE(key('E', MOD_CONTROL));
    }
};

}  // namespace

// A material added in library mode and given two rows in the grid below the
// table, the caret still in the grid: Ctrl+S saves it with both rows, as the
// library opened again shows them. The materials B31.3 shows: temperature,
// modulus, expansion and allowable stress, in the library's English units
// (degF, psi, in/in/degF, psi).
TEST_F(LibraryEditingTest, LibraryPendingRowsOfANewMaterialAreSavedWhereverTheCaretStands)
{
    const std::string file = write_materials("materials.mat", CODE_B313, {0, 0, 0, 0, 0});
    open_by_extension(file);
    ASSERT_TRUE(library_mode_is(LibraryKind::Material));
    ASSERT_NO_FATAL_FAILURE(add_material("A335 P11"));
    ASSERT_EQ(nummats(), 3) << script().last_message();
    ASSERT_EQ(materials_table().current_row, 3);
    ASSERT_TRUE(key(KEY_F6));
    ASSERT_TRUE(list_lower_pane_active());
    type_row({"100", "29.3E6", "6.5E-6", "20000"});
    type_row({"300", "28.4E6", "6.9E-6", "18500"});
    // Both show in the grid.
    EXPECT_EQ(material_properties_grid().cell_text(1, 1, 0), "100");
    EXPECT_EQ(material_properties_grid().cell_text(2, 1, 0), "300");

    model_modified() = false;   // the rows alone must mark the library changed
    ASSERT_TRUE(key('S', MOD_CONTROL));
    EXPECT_EQ(script().last_message(), "Material Library saved");
    EXPECT_TRUE(list_lower_pane_active()) << "the caret stays where it was";
    EXPECT_FALSE(model_modified());
    const MaterialLibraryContents read = read_material_library_file(file);
    ASSERT_EQ(read.records.size(), 3);
    const PipeMaterial& m = read.records[3];
    EXPECT_EQ(m.description, "A335 P11");
    ASSERT_EQ(m.numtemps(), 2) << "the rows typed are not in the file";
    EXPECT_FLOAT_EQ(m.table[1][PROP_TEMPERATURE], 100.0f);
    EXPECT_FLOAT_EQ(m.table[1][PROP_MODULUS], 29.3e6f);
    EXPECT_FLOAT_EQ(m.table[2][PROP_TEMPERATURE], 300.0f);
    EXPECT_FLOAT_EQ(m.table[2][PROP_STRESS1], 18500.0f);

    // Opened again, the grid of the new material shows both rows.
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_CLOSE));
    ASSERT_FALSE(library_mode_active());
    open_by_extension(file);
    table_goto_row(materials_table(), 3);
    EXPECT_EQ(material_properties_grid().record_count(), 2);
    EXPECT_EQ(material_properties_grid().cell_text(2, 4, 0), "18500");
}

// What is typed and not yet stored anywhere in the window (a cell of the
// table still being edited, a grid cell with its edit open, a grid row not
// left) goes with Save, and Close asks about it; a value the cell refuses
// stops the save with its message, the file as it was.
TEST_F(LibraryEditingTest, LibraryPendingRowsAndOpenCellsGoWithEveryCommandThatReadsTheLibrary)
{
    const std::string file = write_materials("materials.mat", CODE_B313, {0, 0, 0, 0, 0});
    open_by_extension(file);
    ASSERT_TRUE(library_mode_is(LibraryKind::Material));

    // A grid cell still open, in a row not yet left.
    table_goto_row(materials_table(), 2);
    ASSERT_TRUE(key(KEY_F6));
    key(KEY_TAB);   // the modulus of the first temperature
    type("25E6");
    ASSERT_TRUE(material_properties_grid().edit.active);
    ASSERT_TRUE(key('S', MOD_CONTROL));
    EXPECT_FLOAT_EQ(read_material_library_file(file).records[2].table[1][PROP_MODULUS], 25e6f);
    EXPECT_FALSE(model_modified());

    // A description being typed in the table above.
    ASSERT_TRUE(key(KEY_F6));
    ASSERT_FALSE(list_lower_pane_active());
    table_goto_row(materials_table(), 1, 2);
    type("A106 GRADE C");
    ASSERT_TRUE(materials_table().edit.active);
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_SAVE));
    EXPECT_EQ(read_material_library_file(file).records[1].description, "A106 GRADE C");

    // Typed into the grid of the first material and refused: the message,
    // nothing saved, the caret in the cell.
    ASSERT_TRUE(key(KEY_F6));
    ASSERT_EQ(material_properties_grid().current_column, 2);
    type("-");
    ASSERT_TRUE(key('S', MOD_CONTROL));
    EXPECT_EQ(script().last_message(), "Modulus =  -  is invalid");
    EXPECT_FLOAT_EQ(read_material_library_file(file).records[1].table[1][PROP_MODULUS], 29.5e6f);
    EXPECT_TRUE(list_lower_pane_active());
    table_cancel_edit(material_properties_grid());

    // Close with a cell still open: the save question comes.
    type("24E6");
    const int asked = script().runs("SAVE_CHANGES_DIALOG");
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_CLOSE));
    EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), asked + 1) << "Close gave up the typed modulus without asking";
    EXPECT_TRUE(library_mode_is(LibraryKind::Material));
    // And the close box.
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDYES); });
    script().close(list_frame().window);
    EXPECT_FALSE(library_mode_active());
    EXPECT_FLOAT_EQ(read_material_library_file(file).records[1].table[1][PROP_MODULUS], 24e6f);
}

TEST_F(LibraryModeTest, MaterialLibraryCodeAndUnitsDialogs)
{
    open_by_extension(write_materials("lib.mat", CODE_B313, {0, 0, 0, 0, 0}));
    ASSERT_TRUE(library_mode_is(LibraryKind::Material));

    // The current code again: nothing changes.
    script().once("MATLIB_CODE_DIALOG", [](HeadlessDialog& d) { d.press(IDOK); });
    EXPECT_EQ(material_library_code_dialog(list_frame().window), 0);
    EXPECT_FALSE(model_modified());
    script().once("MATLIB_CODE_DIALOG", [](HeadlessDialog& d) {
        d.select(MATLIB_CODE, piping_code_index(CODE_B311));
        d.press(IDOK);
    });
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_PIPING_CODE));
    EXPECT_EQ(piping_code(), CODE_B311);
    EXPECT_TRUE(model_modified());
    model_modified() = false;

    // "All Metric" then Cancel changes nothing; "All SI" and OK sets the five.
    script().once("MATLIB_UNITS_DIALOG", [](HeadlessDialog& d) {
        d.press(MATLIB_ALL_METRIC);
        EXPECT_EQ(d.list_selection(MATLIB_MODULUS), 3);
        d.press(IDCANCEL);
    });
    ASSERT_TRUE(script().key(list_frame().window, 'U', MOD_CONTROL));
    EXPECT_EQ(current_unit(MODULUS), 0);
    EXPECT_FALSE(model_modified());
    script().once("MATLIB_UNITS_DIALOG", [](HeadlessDialog& d) {
        d.press(MATLIB_ALL_SI);
        d.press(IDOK);
    });
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_UNITS));
    EXPECT_EQ(current_unit_choices(MATERIAL_LIBRARY_UNIT_QUANTITIES), (MaterialLibraryUnits{2, 1, 1, 1, 1}));
    EXPECT_TRUE(model_modified());

    // The library file records the code and units it is shown in.
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_SAVE));
    const MaterialLibraryContents read = read_material_library_file(path("lib.mat"));
    EXPECT_EQ(read.code, CODE_B311);
    EXPECT_EQ(read.units, (MaterialLibraryUnits{2, 1, 1, 1, 1}));
}

TEST_F(LibraryModeTest, BatchImportReplacesTheLibraryOnlyWhenTheWholeFileReads)
{
    open_by_extension(write_materials("lib.mat", CODE_B313, {0, 0, 0, 0, 0}));
    ASSERT_TRUE(library_mode_is(LibraryKind::Material));
    const std::string batch = path("lib.mlb");
    {
        std::ofstream out(batch);
        out << "OPTIONS\nB311,SI\nMATERIAL\nNEW STEEL,7850\nNEW STEEL,20,200000\nNEW STEEL,10,190000\n";
    }
    script().answer_file(batch);
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_LIBRARY_IMPORT));
    EXPECT_EQ(script().last_message(),
              "Line = 6 :  NEW STEEL,10,190000\nTemperatures are not in ascending order");
    EXPECT_EQ(nummats(), 2);
    EXPECT_EQ(pipe_materials()[1].description, "A106 GRADE B");
    EXPECT_EQ(piping_code(), CODE_B313);
    EXPECT_EQ(current_unit(TEMPERATURE), 0);
    EXPECT_EQ(material_library().path, path("lib.mat"));
    EXPECT_FALSE(model_modified());

    // The export marks its units and leaves the user's as they are; the
    // import of it into a library shown in SI gives the library back.
    unit_choice()[LENGTH] = 1;
    script().answer_file(batch);
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_LIBRARY_EXPORT));
    EXPECT_EQ(current_unit(LENGTH), 1);
    apply_unit_choices(MATERIAL_LIBRARY_UNIT_QUANTITIES, MaterialLibraryUnits{2, 1, 1, 1, 1});
    script().answer_file(batch);
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_LIBRARY_IMPORT));
    ASSERT_EQ(nummats(), 2);
    EXPECT_EQ(pipe_materials()[2].description, "A53 GRADE B");
    EXPECT_FLOAT_EQ(pipe_materials()[2].table[1][PROP_STRESS1], 18000.0f);
    EXPECT_EQ(current_unit(TEMPERATURE), 0);
    EXPECT_TRUE(model_modified());
}

TEST_F(LibraryModeTest, OldLibraryConvertsBesideItselfWithItsOwnCodeAndUnits)
{
    // A version-400 library: one B31.1 material in the 88-byte layout, degC shown.
    std::vector<unsigned char> b;
    auto i32 = [&](int32_t v) {
        for (int i = 0; i < 4; ++i)
            b.push_back(static_cast<unsigned char>(static_cast<uint32_t>(v) >> (8 * i)));
    };
    auto f64 = [&](double v) {
        const uint64_t u = std::bit_cast<uint64_t>(v);
        for (int i = 0; i < 8; ++i)
            b.push_back(static_cast<unsigned char>(u >> (8 * i)));
    };
    auto text = [&](const std::string& t, std::size_t width) {
        for (std::size_t i = 0; i < width; ++i)
            b.push_back(i < t.size() ? static_cast<unsigned char>(t[i]) : 0);
    };
    text("KORVANE.MDB", 14);
    b.push_back(400 & 0xFF);
    b.push_back(400 >> 8);
    i32(1);
    for (int q = 1; q <= 25; ++q)
        i32(q == TEMPERATURE ? 1 : 0);
    i32(CODE_B311);
    text("", 4);
    text("CS", 3);
    text("OLD STEEL", 33);
    for (double v : {0.3, 0.283, 1.0, 1.0, 0.0})
        f64(v);
    i32(0);
    i32(1);
    for (double v : {70.0, 29.5e6, 6.07e-6, 17100.0, 0.0, 0.0})
        f64(v);
    const std::string old = path("old.mdb");
    {
        std::ofstream out(old, std::ios::binary);
        out.write(reinterpret_cast<const char*>(b.data()), static_cast<std::streamsize>(b.size()));
    }
    // A ".mat" of that name exists: declining leaves both files alone, silently.
    const std::string converted = write_materials("old.mat", CODE_B313, {0, 0, 0, 0, 0});
    script().answer(IDCANCEL);
    open_by_extension(old);
    EXPECT_FALSE(library_mode_active());
    EXPECT_EQ(script().last_message(), "Material library " + converted + " already exists\nDo you want to overwrite ?");
    EXPECT_EQ(read_material_library_file(converted).records.size(), 2);

    script().answer(IDOK);
    script().answer(IDOK);
    open_by_extension(old);
    ASSERT_TRUE(library_mode_is(LibraryKind::Material));
    EXPECT_EQ(script().messages()[script().messages().size() - 2],
              "Material library is in Version  4.00 format.\nDo you want to convert to 5.00 format ?");
    EXPECT_EQ(script().last_message(), "Material Library converted to:\n" + converted);
    EXPECT_EQ(material_library().path, converted);
    const MaterialLibraryContents read = read_material_library_file(converted);
    EXPECT_EQ(read.code, CODE_B311);
    EXPECT_EQ(read.units, (MaterialLibraryUnits{0, 1, 0, 0, 0}));
    ASSERT_EQ(read.records.size(), 1);
    EXPECT_EQ(read.records[1].description, "OLD STEEL");
    EXPECT_EQ(nummats(), 1);
}

TEST_F(LibraryModeTest, BeamLibraryWindowShowsItsPicksAndEmptiesTheSectionsOnLeaving)
{
    OneBased<BeamSection> sections;
    for (const char* d : {"W 14X90", "C 12X30"}) {
        BeamSection s;
        s.description = d;
        s.values = {26.5f, 999.0f, 362.0f, 4.06f, 0, 0, 14.0f, 14.5f};
        sections.push_back(s);
    }
    const std::string file = path("lib.bli");
    write_beam_library_file(file, {0, 0, 0}, sections);

    // The beam library's open dialog takes only ".bli" files.
    script().answer_file(path("lib.txt"));
    EXPECT_FALSE(open_beam_library(main_frame().window));
    EXPECT_EQ(script().last_message(), "File extension must be : bli");

    open_by_extension(file);
    ASSERT_TRUE(library_mode_is(LibraryKind::Beam));
    EXPECT_EQ(numbsections(), 2);
    EXPECT_EQ(hb->accelerator_table()->name, "BEAMLIB_ACCEL");
    EXPECT_EQ(list_window_table()->title, "Beam Section Library");
    for (int id : {CMD_LIBRARY, CMD_AISC_LIBRARY})
        EXPECT_TRUE(list().buttons.at(id).first) << id;

    // "Beam &Library..." replaces the current entry by one of a library.
    script().once("LIBRARY_USE_DIALOG", [&](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Beam Library - [lib.bli (" + folder.string() + ")]");
        script().key(d.control(LIBUSE_TABLE)->client, KEY_DOWN);
        d.press(IDOK);
    });
    script().answer(IDYES);
    ASSERT_TRUE(script().click_button(list_frame().window, CMD_LIBRARY));
    EXPECT_EQ(beam_sections()[1].description, "C 12X30");
    EXPECT_TRUE(model_modified());

    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_CLOSE));
    EXPECT_FALSE(beam_library_mode());
    EXPECT_EQ(numbsections(), 0);
    for (int id : {CMD_LIBRARY, CMD_AISC_LIBRARY})
        EXPECT_FALSE(list().buttons.at(id).first) << id;

    // A library without entries chosen through "&Library" ends the browser.
    write_beam_library_file(path("empty.bli"), {0, 0, 0}, OneBased<BeamSection>{});
    script().once("LIBRARY_USE_DIALOG", [&](HeadlessDialog& d) {
        script().answer_file(path("empty.bli"));
        d.press(LIBUSE_LIBRARY);
    });
    set_beam_library_path(file);
    BeamSection entry;
    EXPECT_FALSE(choose_beam_library_entry(main_frame().window, entry));
    EXPECT_EQ(script().last_message(), "There are no beam sections in \n" + path("empty.bli"));
    EXPECT_TRUE(beam_library().path.empty());
}

TEST_F(LibraryModeTest, ValvePickOffersTheValvesOfEachPicksOwnDiameter)
{
    const std::string file = write_valves(
        "lib.val", {valve("GATE 150", "6\"", 6.625f, 10.5f, 210.0f), valve("GLOBE 150", "6\"", 6.625f, 16.0f, 350.0f),
                    valve("GATE 150", "4\"", 4.5f, 9.0f, 120.0f)});
    script().answer_file(file);
    script().once("VALVE_LIBRARY_USE_DIALOG", [this](HeadlessDialog& d) {
        EXPECT_EQ(d.text(LIBUSE_NOTE), "Size = 6 (inch)");
        script().key(d.control(LIBUSE_TABLE)->client, KEY_END, MOD_CONTROL);
        d.press(IDOK);
    });
    std::optional<ValveChoice> chosen = pick_valve_by_diameter(main_frame().window, 6.625);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->weight, 350.0f);
    EXPECT_EQ(chosen->length, 16.0f);
    EXPECT_TRUE(model_modified());

    // A second pick, for a 4 in pipe, offers the 4 in valve alone: its last
    // row is the first.
    script().once("VALVE_LIBRARY_USE_DIALOG", [this](HeadlessDialog& d) {
        EXPECT_EQ(d.text(LIBUSE_NOTE), "Size = 4 (inch)");
        script().key(d.control(LIBUSE_TABLE)->client, KEY_END, MOD_CONTROL);
        d.press(IDOK);
    });
    chosen = pick_valve_by_diameter(main_frame().window, 4.5);
    ASSERT_TRUE(chosen);
    EXPECT_EQ(chosen->weight, 120.0f);
    EXPECT_EQ(chosen->length, 9.0f);

    // No valve of the diameter: said, nothing chosen.
    EXPECT_FALSE(pick_valve_by_diameter(main_frame().window, 8.625));
    EXPECT_EQ(script().last_message(), " Valve data not available for this diameter: 8 (inch)");
    EXPECT_EQ(script().runs("VALVE_LIBRARY_USE_DIALOG"), 2);

    // A library that fails to read leaves nothing behind and forgets its file.
    std::vector<unsigned char> bytes(40, 0);
    std::copy_n("KORVANEWVAL6000", 15, bytes.begin());
    bytes[28] = 2;   // two valves, and no bytes for them
    {
        std::ofstream out(path("bad.val"), std::ios::binary);
        out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    }
    set_valve_library_path(path("bad.val"));
    OneBased<ValveRecord> list = valve_pick_library();
    ASSERT_FALSE(list.empty());
    EXPECT_FALSE(read_valve_library(main_frame().window, list));
    EXPECT_TRUE(list.empty());
    EXPECT_TRUE(valve_library_path().path.empty());
    EXPECT_EQ(script().last_message(), "There was an error while reading valve library:\n" + path("bad.val") +
                                           "\nCount of valves 2 is out of range");
}

TEST_F(LibraryModeTest, ValveLibraryEditorChecksAndReplacesDescriptions)
{
    open_by_extension(write_valves("lib.val", {valve("GATE", "6\"", 6.625f, 10.5f, 210.0f),
                                               valve("Gate valve", "4\"", 4.5f, 9.0f, 120.0f)}));
    ASSERT_TRUE(library_mode_is(LibraryKind::Valve));
    EXPECT_EQ(list_window_table()->title, "Valve Library");
    EXPECT_EQ(hb->accelerator_table()->name, "VALVLIB_ACCEL");

    // A new valve: ISO sizes, and the same valve as row 1 but for case is refused.
    script().once("VALVE_LIBRARY_DIALOGNEW", [](HeadlessDialog& d) {
        d.press(VALVE_ANSI + 3);
        EXPECT_EQ(d.list_count(VALVE_SIZE), 24);
        d.press(VALVE_ANSI);
        d.select_text(VALVE_SIZE, "6\"");
        EXPECT_EQ(d.text(VALVE_OD), format_dimension(6.625));
        d.type(VALVE_DESCRIPTION, "gate");
        d.select(VALVE_RATING, 2);
        d.select(VALVE_CONNECTION, 3);
        d.type(VALVE_LENGTH, format_length(10.5));
        d.type(VALVE_WEIGHT, format_weight(210.0));
        d.press(IDOK);
        EXPECT_FALSE(d.ended());
        d.type(VALVE_WEIGHT, "215");
        d.press(IDOK);
    });
    EXPECT_EQ(edit_library_valve(3, list_frame().window), IDOK);
    ASSERT_FALSE(script().messages().empty());
    EXPECT_EQ(script().messages().front(), "Valve is already defined.");
    ASSERT_EQ(numlibvalves(), 3);
    EXPECT_EQ(valve_records()[3].standard, 0);
    EXPECT_EQ(valve_records()[3].connection, "FL");
    EXPECT_FLOAT_EQ(valve_records()[3].outside_diameter, 6.625f);

    // Find "gate" replaces "GATE" and "gate", not "Gate valve".
    script().once("FINDANDREPLACE", [](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Find and Replace Description");
        d.type(REPLACE_FIND, "gate");
        d.type(REPLACE_WITH, "WEDGE GATE");
        d.press(IDOK);
    });
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_FIND_REPLACE));
    EXPECT_EQ(valve_records()[1].description, "WEDGE GATE");
    EXPECT_EQ(valve_records()[2].description, "Gate valve");
    EXPECT_EQ(valve_records()[3].description, "WEDGE GATE");

    // Saved and read back whole.
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_SAVE));
    EXPECT_EQ(script().last_message(), "Valve Library saved");
    const ValveLibraryContents read = read_valve_library_file(path("lib.val"));
    ASSERT_EQ(read.records.size(), 3);
    EXPECT_EQ(read.records[3], valve_records()[3]);
}

}  // namespace
