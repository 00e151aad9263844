// A material library on the real windows: opened from the program's Open
// path, the list window shows alone with the library's menu and title and
// the library's table; File Close gives the main window back with the list
// window's own menu.
#include "framework/commands.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "gui/program_fixture.h"
#include "materials/material_library_file.h"
#include "materials/pipe_material.h"
#include "materials/ui/library_mode.h"
#include "materials/ui/materials_subsystem.h"
#include "model/ui/layout_install.h"
#include "model/ui/list_window.h"
#include "model/ui/model_subsystem.h"

#include <QAction>
#include <QMainWindow>
#include <QMenuBar>
#include <filesystem>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace fs = std::filesystem;

namespace {

// The texts of a window's menu bar, the mnemonics kept.
QStringList menu_titles(QMainWindow* w)
{
    QStringList titles;
    for (QAction* a : w->menuBar()->actions())
        titles << a->text();
    return titles;
}

class GuiLibraryTest : public GuiProgramTest {
protected:
    GuiLibraryTest() : GuiProgramTest("korvane_gui_library") {}
    void install_subsystems() override
    {
        register_subsystem(install_model_subsystem);
        register_subsystem(install_materials_subsystem);
        register_subsystem(install_layout_subsystem);
        register_window_installer(create_layout_windows);
    }
};

TEST_F(GuiLibraryTest, MaterialLibraryTakesTheListWindowAndGivesItBack)
{
    PipeMaterial m;
    m.description = "A106 GRADE B";
    m.set_type("CS");
    m.table.push_back(PropertyRow{70, 29.5e6f, 6.07e-6f, 20000, 0, 0, 0, 0});
    OneBased<PipeMaterial> materials;
    materials.push_back(m);
    const std::string file = (folder / "lib.mat").string();
    write_material_library_file(file, 3, {0, 0, 0, 0, 0}, materials);

    QtBackend& b = gui_backend();
    auto* main = qobject_cast<QMainWindow*>(b.widget(main_frame().window));
    auto* list = qobject_cast<QMainWindow*>(b.widget(list_frame().window));
    ASSERT_NE(main, nullptr);
    ASSERT_NE(list, nullptr);
    const QStringList list_menus = menu_titles(list);

    open_by_extension(file);
    QCoreApplication::processEvents();
    ASSERT_TRUE(library_mode_is(LibraryKind::Material));
    EXPECT_FALSE(main->isVisible());
    EXPECT_TRUE(list->isVisible());
    EXPECT_EQ(menu_titles(list), (QStringList{"&File", "&Edit", "&Options", "&Help"}));
    EXPECT_TRUE(list->windowTitle().contains("lib.mat")) << list->windowTitle().toStdString();
    ASSERT_NE(list_window_table(), nullptr);
    EXPECT_EQ(list_window_table()->title, "Material Library");

    frame_command(list_frame(), CMD_CLOSE);
    QCoreApplication::processEvents();
    EXPECT_FALSE(library_mode_active());
    EXPECT_TRUE(main->isVisible());
    EXPECT_FALSE(list->isVisible());
    EXPECT_EQ(menu_titles(list), list_menus);
    EXPECT_EQ(nummats(), 0);
}

}  // namespace
