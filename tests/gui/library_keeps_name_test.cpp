// The material dialog's Library button on the real windows: a library
// record has no name, so the name typed into the dialog before the pick
// stays, for a new material and for one renamed in the dialog, while the
// record's description and properties fill the rest.
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "gui/program_fixture.h"
#include "gui/window_user.h"
#include "materials/pipe_material.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/pipe_material_library.h"
#include "materials/ui/pipe_material_ui.h"
#include "model/ui/list_window.h"

#include <QLineEdit>
#include <QTimer>

#include <filesystem>
#include <optional>
#include <string>

namespace fs = std::filesystem;

namespace {

class LibraryKeepsName : public GuiProgramTest {
protected:
    LibraryKeepsName() : GuiProgramTest("korvane_gui_library_name") {}
    void SetUp() override
    {
        MESA_ALLOCATIONS_KEPT;
        GuiProgramTest::SetUp();
        user_.emplace();
        library_ = (folder / "materials.mat").string();
        fs::copy_file(fs::path(KV_PROGRAM_PATH).parent_path() / "materials.mat", library_,
                      fs::copy_options::overwrite_existing);
    }
    void TearDown() override
    {
        user_.reset();
        GuiProgramTest::TearDown();
    }

    // The material dialog of the Materials table's current row: the name
    // typed, then Library and the first record of the library picked; the
    // name and description the dialog shows after the pick, then OK.
    struct Shown {
        std::string name, description;
    };
    Shown pick_after_typing(const std::string& name)
    {
        Shown shown;
        user().on(material_dialog_template().name, [&shown, name](QDialog* d) {
            EXPECT_TRUE(WindowUser::set_text(d, MAT_NAME, name));
            // The button is pressed from the dialog's own loop, so that the
            // user answers the dialogs it opens.
            QTimer::singleShot(0, d, [&shown, d] {
                EXPECT_TRUE(WindowUser::click(d, MAT_LIBRARY));
                shown.name = WindowUser::item<QLineEdit>(d, MAT_NAME)->text().toStdString();
                shown.description = WindowUser::item<QLineEdit>(d, MAT_DESCRIPTION)->text().toStdString();
                EXPECT_TRUE(WindowUser::click(d, IDOK));
            });
        });
        user().on("LIBRARY_USE_DIALOG", [](QDialog* d) { WindowUser::click(d, IDOK); });
        frame_send_command(list_frame(), CMD_EDIT_ROW);
        return shown;
    }

    WindowUser& user() { return *user_; }
    std::optional<WindowUser> user_;
    std::string library_;
};

}  // namespace

TEST_F(LibraryKeepsName, ANameTypedBeforeALibraryPickStays)
{
    ASSERT_TRUE(user().menu(main_frame(), {"Misc", "Materials"}));
    ASSERT_EQ(list_window_table()->title, "Materials");

    // A new material: A106 typed, the library (asked for once) picked from.
    user().answer_file(library_);
    const Shown first = pick_after_typing("A106");
    ASSERT_GE(numlibmats(), 1);
    const PipeMaterial& record = material_library().records[1];
    EXPECT_TRUE(record.name.empty());
    EXPECT_EQ(first.name, "A106");
    EXPECT_EQ(first.description, record.description);
    ASSERT_EQ(nummats(), 1);
    EXPECT_EQ(pipe_materials()[1].name, "A106");
    EXPECT_EQ(pipe_materials()[1].description, record.description);
    EXPECT_EQ(pipe_materials()[1].numtemps(), record.numtemps());

    // The stored material renamed in its dialog before a pick keeps the
    // new name.
    table_goto_row(*list_window_table(), 1, 1);
    const Shown renamed = pick_after_typing("A53");
    EXPECT_EQ(renamed.name, "A53");
    EXPECT_EQ(pipe_materials()[1].name, "A53");
    EXPECT_TRUE(user().unanswered.empty()) << user().unanswered.front();
}
