// The Library button of the material dialog and File > Library... of the
// Spectra table: before any library was chosen their file dialog opens in
// the program's folder, where the libraries shipped with it lie; after one
// was, in that library's folder.
#include "exchange_fixture.h"
#include "framework/commands.h"
#include "framework/ui/shell.h"
#include "loads/ui/spectra_ui.h"
#include "loads/ui/spectrum_library_ui.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/pipe_material_library.h"
#include "materials/ui/pipe_material_ui.h"

#include <string>

namespace {

class LibraryButtons : public ExchangeProgramTest {
protected:
    // Where the last file dialog opened ("(none)" when none was shown).
    std::string last_dialog_start() const
    {
        const ScriptEvent* dialog = nullptr;
        for (const ScriptEvent& e : script().log())
            if (e.kind == ScriptEvent::FileDialog)
                dialog = &e;
        return dialog ? dialog->suggested : std::string("(none)");
    }
    // The material dialog of a new material, its Library button pressed
    // and the file dialog cancelled.
    std::string material_library_start()
    {
        script().clear_log();
        script().answer_file(std::nullopt);
        script().once(material_dialog_template().name, [](HeadlessDialog& d) {
            d.press(MAT_LIBRARY);
            d.press(IDCANCEL);
        });
        edit_pipe_material(1, 0, "CS");
        return last_dialog_start();
    }
    // File > Library... of the Spectra table, the file dialog cancelled.
    std::string spectrum_library_start()
    {
        script().clear_log();
        script().answer_file(std::nullopt);
        open_spectra_table();
        script().menu_command(list_frame().window, CMD_LIBRARY);
        return last_dialog_start();
    }
};

}  // namespace

TEST_F(LibraryButtons, OpenBesideTheProgramUntilALibraryWasChosen)
{
    init_model();
    const std::string program = shell_program_folder() + "/";
    ASSERT_NE(program, "/");
    EXPECT_EQ(material_library_start(), program);
    EXPECT_EQ(spectrum_library_start(), program);
    EXPECT_TRUE(script().messages().empty()) << script().last_message();

    // A library chosen before: its own file, or the folder it was in.
    material_library().directory = path("materials") + "/";
    EXPECT_EQ(material_library_start(), path("materials") + "/");
    set_spectrum_library_path(path("spectra/seismic.spe"));
    EXPECT_EQ(spectrum_library_start(), path("spectra/seismic.spe"));
}
