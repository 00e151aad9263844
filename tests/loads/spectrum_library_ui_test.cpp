// The spectrum library on the scripted backend, in the program started as
// main() starts it: a ".spe" file opened and File New's spectrum library
// taking the list window with their menu, keys, title and table, the save
// question, the model's windows, units and spectra given back on leaving,
// and the pick of a library's spectrum into the model's spectra through the
// browser, with another library chosen in it.
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "framework/units.h"
#include "loads/spectrum_library.h"
#include "loads/ui/loads_subsystem.h"
#include "loads/ui/spectra_ui.h"
#include "loads/ui/spectrum_library_ui.h"
#include "materials/program_fixture.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/library_mode.h"
#include "model/model.h"
#include "model/ui/dialogs_model_file.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "platform/headless/headless_dialog.h"

#include <gtest/gtest.h>

#include <fstream>

namespace {

Spectrum spectrum(const std::string& name, float scale)
{
    Spectrum s;
    s.name = name;
    s.abscissa = ABSCISSA_PERIOD;
    s.curve.push_back(0.1f, 1.0f * scale);
    s.curve.push_back(1.0f, 0.5f * scale);
    return s;
}

class SpectrumLibraryUiTest : public HeadlessProgramTest {
protected:
    void register_higher_subsystems() override { register_subsystem(install_loads_subsystem); }

    Script& script() { return hb->script(); }
    const HeadlessWindow& list() const { return *hb->window(list_frame().window); }
    const HeadlessWindow& main() const { return *hb->window(main_frame().window); }

    std::string write_library(const std::string& name, const std::vector<Spectrum>& spectra)
    {
        SpectrumList l;
        for (const Spectrum& s : spectra)
            l.append(s);
        write_spectrum_library_file(path(name), l);
        return path(name);
    }
    std::string folder_text() const { return " (" + folder.string() + ")]"; }
};

TEST_F(SpectrumLibraryUiTest, LibraryTakesTheListWindowAndGivesTheModelBack)
{
    unit_choice()[LENGTH] = 1;
    model().rows.resize(3);   // the model's rows, which a library replaces
    const std::string file =
        write_library("lib.spe", {spectrum("EL CENTRO", 1.0f), spectrum("TAFT", 0.5f), spectrum("KOBE", 2.0f)});
    open_by_extension(file);

    ASSERT_TRUE(library_mode_is(LibraryKind::Spectrum));
    EXPECT_TRUE(spectrum_library_mode());
    EXPECT_FALSE(main().visible);
    EXPECT_TRUE(list().visible);
    EXPECT_TRUE(list().menu.contains(CMD_READ_SPECTRUM));
    EXPECT_TRUE(list().menu.contains(CMD_SPECTRUM_OPTIONS));
    EXPECT_FALSE(list().menu.contains(CMD_LIST));
    EXPECT_FALSE(list().menu.contains(CMD_LIBRARY));   // no pick into the library being edited
    ASSERT_NE(hb->accelerator_table(), nullptr);
    EXPECT_EQ(hb->accelerator_table()->name, "SPECLIB_ACCEL");
    EXPECT_NE(list().title.find("[lib.spe" + folder_text()), std::string::npos) << list().title;
    ASSERT_EQ(list_window_table(), &spectra_table());
    EXPECT_EQ(spectra_table().title, "Spectrum Library");
    EXPECT_EQ(numrows(), 0);
    ASSERT_EQ(numspectrums(), 3);
    EXPECT_EQ(spectra()[2].name, "TAFT");
    EXPECT_EQ(numlibspectrums(), 0);   // moved into the model's list

    // The model's units dialog serves the library; a change is undone on leaving.
    unit_choice()[LENGTH] = 2;
    // A spectrum deleted: Cancel keeps the library, No leaves it unsaved.
    table_goto_row(spectra_table(), 2);
    ASSERT_TRUE(script().key(list_frame().window, 'X', MOD_CONTROL));
    EXPECT_EQ(numspectrums(), 2);
    EXPECT_TRUE(model_modified());
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDCANCEL); });
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_CLOSE));
    EXPECT_TRUE(library_mode_is(LibraryKind::Spectrum));
    EXPECT_EQ(numspectrums(), 2);
    script().once("SAVE_CHANGES_DIALOG", [](HeadlessDialog& d) { d.press(IDNO); });
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_CLOSE));

    EXPECT_FALSE(library_mode_active());
    EXPECT_FALSE(spectrum_library_mode());
    EXPECT_TRUE(main().visible);
    EXPECT_FALSE(list().visible);
    EXPECT_TRUE(list().menu.contains(CMD_LIST));
    EXPECT_FALSE(list().menu.contains(CMD_READ_SPECTRUM));
    EXPECT_EQ(current_accelerator_frame(), &main_frame());
    EXPECT_EQ(numspectrums(), 0);
    EXPECT_TRUE(spectrum_library_path().path.empty());
    EXPECT_EQ(current_unit(LENGTH), 1);
    EXPECT_FALSE(model_modified());
    open_spectra_table();
    EXPECT_EQ(spectra_table().title, "Spectra");
    // The file is as it was.
    EXPECT_EQ(read_spectrum_library_file(file).records.size(), 3u);

    // A file that cannot be read leaves the program where it was.
    {
        std::ofstream bad(path("bad.spe"), std::ios::binary);
        bad << "KORVANEWSPE6010";
        bad.put('\0');
    }
    open_by_extension(path("bad.spe"));
    EXPECT_EQ(script().last_message(), "Unable to read spectrum library:\n" + path("bad.spe") + "\nVersion = 6.01");
    EXPECT_FALSE(library_mode_active());
    EXPECT_TRUE(main().visible);
}

TEST_F(SpectrumLibraryUiTest, NewLibraryIsSavedWithoutItsInputRecordAndReopened)
{
    script().once("NEW_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.is_enabled(new_choice_radio(NEW_KIND_SPECTRUM_LIBRARY)));
        d.press(new_choice_radio(NEW_KIND_SPECTRUM_LIBRARY));
        d.press(IDOK);
    });
    new_file_command(main_frame().window);
    ASSERT_TRUE(library_mode_is(LibraryKind::Spectrum));
    EXPECT_NE(list().title.find("[Untitled]"), std::string::npos) << list().title;
    EXPECT_EQ(numspectrums(), 0);
    spectra().append(spectrum("SITE D", 1.0f));
    spectra().spare().ordinate = ORDINATE_VELOCITY;
    model_modified() = true;

    // Save of an untitled library asks for a name; cancelled, nothing changes.
    script().answer_file(std::nullopt);
    ASSERT_TRUE(script().key(list_frame().window, 'S', MOD_CONTROL));
    EXPECT_TRUE(model_modified());
    EXPECT_TRUE(spectrum_library_path().path.empty());

    const std::string file = path("new.spe");
    script().answer_file(file);
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_SAVE));
    EXPECT_EQ(script().last_message(), "Spectrum Library saved");
    EXPECT_FALSE(model_modified());
    EXPECT_NE(list().title.find("[new.spe" + folder_text()), std::string::npos) << list().title;
    const SpectrumLibraryContents read = read_spectrum_library_file(file);
    ASSERT_EQ(read.records.size(), 1u);
    EXPECT_EQ(read.records[0], spectra()[1]);

    // Open (Ctrl+O) of the saved file from the library window: no question,
    // nothing changed; the library shows again.
    script().answer_file(file);
    ASSERT_TRUE(script().key(list_frame().window, 'O', MOD_CONTROL));
    EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), 0);
    ASSERT_TRUE(library_mode_is(LibraryKind::Spectrum));
    ASSERT_EQ(numspectrums(), 1);
    EXPECT_EQ(spectra()[1].name, "SITE D");

    // The close box of an unchanged library leaves it without a question.
    script().close(list_frame().window);
    EXPECT_FALSE(library_mode_active());
    EXPECT_EQ(script().runs("SAVE_CHANGES_DIALOG"), 0);
}

TEST_F(SpectrumLibraryUiTest, PickAddsTheChosenSpectrumToTheModelsSpectra)
{
    spectra().append(spectrum("EL CENTRO", 3.0f));
    const std::string file = write_library("lib.spe", {spectrum("EL CENTRO", 1.0f), spectrum("TAFT", 0.5f)});
    open_spectra_table();
    // The spectra table offers the pick in the File menu and the tool bar.
    EXPECT_TRUE(list().menu.contains(CMD_LIBRARY));
    EXPECT_TRUE(list().buttons.at(CMD_LIBRARY).first);

    // No library loaded: the open dialog asks for one, then the browser.
    script().answer_file(file);
    script().once("LIBRARY_USE_DIALOG", [&](HeadlessDialog& d) {
        EXPECT_EQ(d.caption(), "Spectrum Library - [lib.spe" + folder_text());
        EXPECT_FALSE(d.control(LIBUSE_NOTE)->visible);
        d.press(IDOK);
    });
    ASSERT_TRUE(script().menu_command(list_frame().window, CMD_LIBRARY));
    // A name the model has already is made unique; the values are the library's.
    ASSERT_EQ(numspectrums(), 2);
    EXPECT_EQ(spectra()[2].name, "EL CENTRO-2");
    EXPECT_EQ(spectra()[2].curve, spectrum("X", 1.0f).curve);
    EXPECT_EQ(spectra()[1].curve, spectrum("X", 3.0f).curve);
    EXPECT_EQ(spectra_table().current_row, 2);
    EXPECT_TRUE(model_modified());

    // The library stays loaded: the second pick goes to the browser at once.
    // In it, a file that cannot be read leaves the library shown as it was.
    {
        std::ofstream bad(path("bad.spe"), std::ios::binary);
        bad << "NOT A LIBRARY";
    }
    script().once("LIBRARY_USE_DIALOG", [&](HeadlessDialog& d) {
        script().answer_file(path("bad.spe"));
        d.press(LIBUSE_LIBRARY);
        EXPECT_EQ(script().last_message(), "Unable to read spectrum library:\n" + path("bad.spe"));
        EXPECT_EQ(d.caption(), "Spectrum Library - [lib.spe" + folder_text());
        script().key(d.control(LIBUSE_TABLE)->client, KEY_DOWN);
        d.press(IDOK);
    });
    ASSERT_TRUE(script().click_button(list_frame().window, CMD_LIBRARY));
    ASSERT_EQ(numspectrums(), 3);
    EXPECT_EQ(spectra()[3].name, "TAFT");
    EXPECT_EQ(spectrum_library_path().path, file);

    // Another library without spectra ends the browser and forgets the file.
    write_library("empty.spe", {});
    script().once("LIBRARY_USE_DIALOG", [&](HeadlessDialog& d) {
        script().answer_file(path("empty.spe"));
        d.press(LIBUSE_LIBRARY);
    });
    EXPECT_EQ(pick_spectrum_from_library(list_frame().window), 0);
    EXPECT_EQ(script().last_message(), "There are no spectrums in \n" + path("empty.spe"));
    EXPECT_TRUE(spectrum_library_path().path.empty());
    EXPECT_EQ(numspectrums(), 3);

    // A library file that fails to read leaves no spectra behind.
    set_spectrum_library_path(path("bad.spe"));
    spectrum_library().push_back(spectrum("LEFT OVER", 1.0f));
    EXPECT_FALSE(read_spectrum_library(list_frame().window));
    EXPECT_EQ(numlibspectrums(), 0);
    EXPECT_TRUE(spectrum_library_path().path.empty());

    // The open dialog takes only ".spe" files.
    script().answer_file(path("lib.txt"));
    EXPECT_FALSE(open_spectrum_library(list_frame().window));
    EXPECT_EQ(script().last_message(), "File extension must be : spe");

    // A full list takes no more.
    while (numspectrums() < MAXSPECTRA)
        spectra().append(spectrum("S" + std::to_string(numspectrums()), 1.0f));
    EXPECT_EQ(pick_spectrum_from_library(list_frame().window), 0);
    EXPECT_EQ(script().last_message(), "No more than 999 spectra can be defined");
    EXPECT_EQ(numspectrums(), MAXSPECTRA);

    // Nothing is picked while results are shown; other tables have no pick.
    input_locked() = true;
    EXPECT_FALSE(spectra_table().serves_command(CMD_LIBRARY));
    input_locked() = false;
    open_force_spectra_table();
    EXPECT_FALSE(list().menu.contains(CMD_LIBRARY));
    EXPECT_FALSE(list().buttons.at(CMD_LIBRARY).first);
    EXPECT_EQ(script().runs("LIBRARY_USE_DIALOG"), 3);
}

}  // namespace
