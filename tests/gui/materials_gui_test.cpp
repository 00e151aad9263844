// Pipe materials and pipe sections on the Qt backend: each is entered through
// its real dialog, answered from a timer by typing into the dialog's widgets
// and pressing OK, and then shows in its table of the list window.
#include "framework/app_state.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/units.h"
#include "gui/gui_dialogs.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/dialogs_sections.h"
#include "materials/ui/material_props_editor.h"
#include "materials/ui/pipe_material_ui.h"
#include "materials/ui/pipe_section_ui.h"
#include "model/model.h"
#include "model/ui/list_window.h"

#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>
#include <map>
#include <string>
#include <vector>

namespace {

class GuiMaterialTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        open_list_frames();
        install_property_sets();
        install_pipe_materials_ui();
        install_pipe_sections_ui();
        backend().process_events();
    }

    void TearDown() override
    {
        close_list_frames();
    }
};

TEST_F(GuiMaterialTest, AMaterialAndASectionEnteredInTheirDialogsShowInTheirTables)
{
    {
        DialogAnswer answer({{MAT_NAME, "a106"}, {MAT_DESCRIPTION, "Carbon steel"}, {MAT_DENSITY, "0.283"},
                             {MAT_NU, "0.3"}});
        EXPECT_EQ(edit_pipe_material(1, main_frame().window), 1);
        EXPECT_EQ(answer.answered, 1);
        EXPECT_FALSE(answer.missing_widget);
        EXPECT_TRUE(answer.messages.empty()) << answer.messages.front();
    }
    ASSERT_EQ(nummats(), 1);
    EXPECT_EQ(pipe_materials()[1].name, "A106");
    EXPECT_FLOAT_EQ(pipe_materials()[1].nu, 0.3f);

    {
        DialogAnswer answer({{SEC_NAME, "s8"}, {SEC_OD, "8.625"}, {SEC_THICKNESS, "0.322"}});
        EXPECT_EQ(edit_pipe_section(1, main_frame().window), IDOK);
        EXPECT_EQ(answer.answered, 1);
        EXPECT_FALSE(answer.missing_widget);
        EXPECT_TRUE(answer.messages.empty()) << answer.messages.front();
    }
    ASSERT_EQ(numsections(), 1);
    EXPECT_EQ(pipe_sections()[1].name, "S8");

    open_materials_table();
    MaterialsTable& materials = materials_table();
    ASSERT_EQ(list_window_table(), &materials);
    EXPECT_EQ(materials.row_count, 2);   // the material and the input row
    EXPECT_EQ(materials.cell_text(1, 1, 0), "A106");
    bool description_seen = false;
    for (int c = 1; c <= materials.columns(); ++c)
        description_seen = description_seen || materials.cell_text(1, c, 0) == "Carbon steel";
    EXPECT_TRUE(description_seen);

    open_sections_table();
    SectionsTable& sections = sections_table();
    ASSERT_EQ(list_window_table(), &sections);
    EXPECT_EQ(sections.title, "Pipe Sections");
    EXPECT_EQ(sections.row_count, 2);
    EXPECT_EQ(sections.cell_text(1, 1, 0), "S8");
    EXPECT_EQ(sections.cell_text(1, 4, 0), "8.6250");
    EXPECT_EQ(sections.cell_text(1, 5, 0), "0.3220");
    backend().process_events();
}

// The Material Properties dialog on the real window system: the caret is in
// the grid when the dialog opens (not on OK, where typing would be lost and
// Enter would close it), and cells typed with Tab fill a row and go on to
// the next one.
TEST_F(GuiMaterialTest, PropertiesDialogOpensWithTheCaretInTheGrid)
{
    QString focus_class;
    bool focus_in_grid = false;
    bool answered = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog || answered)
            return;
        answered = true;
        QWidget* focus = dialog->focusWidget();
        focus_class = focus ? QString(focus->metaObject()->className()) : QString("none");
        focus_in_grid = focus && focus->parentWidget() &&
                        focus->parentWidget()->objectName() == item_name(MATPROP_GRID);
        // Keys as the keyboard sends them, to the widget that has the focus.
        auto press = [dialog](int key, const QString& text) {
            QKeyEvent e(QEvent::KeyPress, key, Qt::NoModifier, text);
            if (QWidget* target = dialog->focusWidget())
                QCoreApplication::sendEvent(target, &e);
        };
        for (const char* cell : {"100", "29.5E6", "6.07E-6", "20000", "200", "28E6"}) {
            for (const char* c = cell; *c; ++c) {
                const QChar ch = QLatin1Char(*c);
                const int key = ch.isDigit() ? Qt::Key_0 + (*c - '0') : ch.isLetter() ? Qt::Key_A + (*c - 'A')
                                : *c == '.' ? Qt::Key_Period : Qt::Key_Minus;
                press(key, QString(ch));
            }
            press(Qt::Key_Tab, QString("\t"));
        }
        if (auto* ok = dialog->findChild<QPushButton*>(item_name(IDOK)))
            ok->click();
        else
            dialog->reject();
    });
    poll.start(50);
    PropertyTable copy;
    bool modified = false;
    EXPECT_EQ(run_material_properties_dialog(copy, false, modified, main_frame().window), 1);
    poll.stop();
    EXPECT_TRUE(answered);
    EXPECT_TRUE(focus_in_grid) << focus_class.toStdString();
    ASSERT_EQ(copy.size(), 2);
    EXPECT_FLOAT_EQ(copy[1][PROP_TEMPERATURE], 100.0f);
    EXPECT_FLOAT_EQ(copy[1][PROP_MODULUS], 29.5e6f);
    EXPECT_FLOAT_EQ(copy[1][PROP_STRESS1], 20000.0f);
    EXPECT_FLOAT_EQ(copy[2][PROP_TEMPERATURE], 200.0f);
    EXPECT_FLOAT_EQ(copy[2][PROP_MODULUS], 28e6f);
}

}  // namespace
