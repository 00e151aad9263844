// Where the keyboard goes after a message, under a window manager: the
// Bend dialog, opened from the layout while the Pipe Loads window lies
// behind it, warns "Bend radius < Section OD" and closes; the keys typed
// next go to the layout, which the user sees in front, never to the window
// behind it. The window manager gives the focus to some window when a
// window with it goes away; the program gives it back to the window that
// had it before the message or the dialog came up.
#include "elements/element_dialog_ids.h"
#include "elements/ui/element_ui.h"
#include "exchange/batch_import.h"
#include "framework/ui/frame.h"
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "gui/window_manager.h"
#include "loads/ui/pipe_load_ui.h"
#include "model/model.h"
#include "model/ui/list_window.h"

#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QRadioButton>
#include <QTimer>

#include <fstream>
#include <string>
#include <vector>

namespace {

// A 6 inch pipe (OD 6.625 in) from node 10 along X and on along Y: node 20
// is a corner that can be made a bend.
const char* const MODEL = "Focus after a message\nOPTIONS\nIN,B313\nMATERIAL\nCS,0.283\n"
                          "CS,70,29.5E6,6.07E-6,20000\nPIPE\nP6,6.625,0.28\nLOADS\nL1,300,150\nLAYOUT\n"
                          "F10,MCS,PP6,KA,CL=L1\nT20,X120\nT30,Y120,KA\n";

// Waits until a window is the active one (the window manager gave it the
// focus); false when it did not become so.
bool wait_active(QWidget* window)
{
    return gui_wait_for([window] { return QApplication::activeWindow() == window; });
}

// Answers the Bend dialog with a user radius below the section's OD, and
// the warning that follows with OK.
class BendAnswer {
public:
    std::vector<std::string> messages;

private:
    void answer(QWidget* modal)
    {
        if (close_message_box(modal, messages))
            return;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || dialog == answered_ || !dialog->isVisible() || !dialog->objectName().startsWith("BEND"))
            return;
        answered_ = dialog;
        auto* user = dialog->findChild<QRadioButton*>(item_name(BEND_USER));
        auto* radius = dialog->findChild<QLineEdit*>(item_name(BEND_RADIUS));
        auto* ok = dialog->findChild<QPushButton*>(item_name(IDOK));
        if (!user || !radius || !ok) {
            dialog->reject();
            return;
        }
        user->click();
        radius->setText("6");
        // Later, from the event loop: the warning that OK brings up is
        // answered by this watch, which Qt does not run again while its own
        // call is still going on.
        QTimer::singleShot(0, ok, &QPushButton::click);
    }
    QPointer<QDialog> answered_;
    ModalWatch watch_{[this](QWidget* modal) { answer(modal); }, 30};
};

class FocusAfterMessage : public GuiProgramTest {
protected:
    FocusAfterMessage() : GuiProgramTest("korvane_focus_after_message") {}
    void SetUp() override
    {
        const std::string why = use_display_with_window_manager();
        if (!why.empty())
            GTEST_SKIP() << why;
        GuiProgramTest::SetUp();
    }
};

}  // namespace

TEST_F(FocusAfterMessage, BendWarningLeavesTheKeysWithTheLayout)
{
    MESA_ALLOCATIONS_KEPT;
    const std::string batch = (folder / "focus.mbf").string();
    std::ofstream(batch) << MODEL;
    import_batch_file_at(batch);
    int row = 0;
    for (int r = 1; r <= model().numrows(); ++r)
        if (model().rows[r].node == 20)
            row = r;
    ASSERT_NE(row, 0);

    // The Pipe Loads window comes up, then the layout in front of it.
    open_pipe_loads_table();
    QWidget* loads = gui_backend().widget(list_frame().window);
    ASSERT_NE(loads, nullptr);
    ASSERT_TRUE(wait_active(loads));
    QWidget* layout = gui_backend().widget(layout_frame().window);
    ASSERT_NE(layout, nullptr);
    frame_bring_to_front(layout_frame());
    ASSERT_TRUE(wait_active(layout));

    // Every time: the warning, the dialog closed, and the keyboard with the
    // layout (the window manager's own choice comes now and then otherwise).
    for (int attempt = 1; attempt <= 6; ++attempt) {
        SCOPED_TRACE(attempt);
        BendAnswer answer;
        edit_bend(row, layout_frame().window);
        ASSERT_EQ(answer.messages, std::vector<std::string>{"Bend radius < Section OD"});
        // The window manager's answer to the dialog's closing, then the
        // program's: the layout active, whichever came first.
        EXPECT_TRUE(wait_active(layout));
        EXPECT_EQ(QApplication::activeWindow(), layout);
        QWidget* focus = QApplication::focusWidget();
        ASSERT_NE(focus, nullptr);
        EXPECT_EQ(focus->window(), layout);
        EXPECT_TRUE(layout->isActiveWindow());
        EXPECT_FALSE(loads->isActiveWindow());
    }
}
