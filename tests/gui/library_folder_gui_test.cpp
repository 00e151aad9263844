// The library buttons on the real windows: with no library chosen yet, the
// material dialog's Library button and File > Library... of the Spectra
// table open their file dialog in the program's folder, where the libraries
// shipped with it lie.
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "gui/program_fixture.h"
#include "gui/window_user.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/pipe_material_ui.h"

#include <QTimer>
#include <filesystem>

namespace {

class LibraryButtonsGui : public GuiProgramTest {
protected:
    LibraryButtonsGui() : GuiProgramTest("korvane_gui_library_folder") {}
    void SetUp() override
    {
        // The program as main() installs it, with the graphics window's OpenGL.
        MESA_ALLOCATIONS_KEPT;
        GuiProgramTest::SetUp();
    }
};

}  // namespace

TEST_F(LibraryButtonsGui, FileDialogsOpenInTheProgramsFolder)
{
    WindowUser user;
    // The button is pressed from the dialog's own loop, so that the user
    // answers the file dialog it opens.
    user.on(material_dialog_template().name, [](QDialog* d) {
        QTimer::singleShot(0, d, [d] {
            EXPECT_TRUE(WindowUser::click(d, MAT_LIBRARY));
            EXPECT_TRUE(WindowUser::click(d, IDCANCEL));
        });
    });
    edit_pipe_material(1, 0, "CS");
    ASSERT_TRUE(user.menu(main_frame(), {"Loads", "Spectra"}));
    ASSERT_TRUE(user.menu(list_frame(), {"File", "Library"}));
    const std::string program = std::filesystem::canonical(shell_program_folder()).string();
    ASSERT_EQ(user.file_folders.size(), 2u);
    for (const std::string& opened : user.file_folders)
        EXPECT_EQ(std::filesystem::canonical(opened).string(), program);
    EXPECT_EQ(user.dialogs, std::vector<std::string>{material_dialog_template().name});
    EXPECT_TRUE(user.messages.empty());
}
