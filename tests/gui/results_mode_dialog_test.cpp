// An input dialog opened while results are shown, on the Qt backend: keys
// typed into its fields change nothing, its choices are greyed, its one
// button reads "Close", and closing it leaves the model as it was.
#include "analysis/ui/analysis_ui.h"
#include "framework/app_state.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "model/model.h"
#include "model/ui/layout_window.h"
#include "results/results_state.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPalette>
#include <QPointer>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string bytes_of(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Answers what comes up: the result chooser with OK; an input dialog is
// looked at, typed into and closed with its one button.
class Answers {
public:
    std::vector<std::string> dialogs;
    std::vector<std::string> editable;        // fields or choices that took input
    std::vector<std::string> looks_editable;  // read-only fields drawn as typing fields are
    std::vector<std::string> messages;
    std::string ok_text;
    bool cancel_shown = true;

private:
    void answer(QWidget* modal)
    {
        if (close_message_box(modal, messages))
            return;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || !dialog->isVisible())
            return;
        const std::string name = dialog->objectName().toStdString();
        // The analysis' progress (which a loaded machine keeps up long
        // enough to be seen) is left to end by itself.
        if (name == "ANALYSIS_DIALOG")
            return;
        auto* ok = dialog->findChild<QPushButton*>(item_name(IDOK));
        if (dialog == answered_)
            return;
        answered_ = dialog;
        if (name.rfind("RESULTS", 0) == 0) {
            if (ok)
                QTimer::singleShot(0, ok, &QPushButton::click);
            return;
        }
        dialogs.push_back(name);
        for (QLineEdit* edit : dialog->findChildren<QLineEdit*>()) {
            if (!edit->isVisible() || !edit->isEnabled())
                continue;
            const QString before = edit->text();
            edit->setFocus();
            for (const char c : std::string("77")) {
                QKeyEvent press(QEvent::KeyPress, Qt::Key_7, Qt::NoModifier, QString(QChar(c)));
                QCoreApplication::sendEvent(edit, &press);
            }
            if (edit->text() != before)
                editable.push_back(name + " " + edit->objectName().toStdString());
            // A field that takes no keys does not look like one that does.
            if (edit->palette().color(QPalette::Base) != edit->palette().color(QPalette::Window))
                looks_editable.push_back(name + " " + edit->objectName().toStdString());
        }
        for (QComboBox* box : dialog->findChildren<QComboBox*>())
            if (box->isVisible() && box->isEnabled())
                editable.push_back(name + " " + box->objectName().toStdString());
        for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
            if (b->isVisible() && b->isEnabled() && b->isCheckable())
                editable.push_back(name + " " + b->objectName().toStdString());
        auto* cancel = dialog->findChild<QPushButton*>(item_name(IDCANCEL));
        cancel_shown = cancel && cancel->isVisible();
        if (!ok) {
            dialog->reject();
            return;
        }
        ok_text = ok->text().toStdString();
        QTimer::singleShot(0, ok, &QPushButton::click);
    }
    QPointer<QDialog> answered_;
    ModalWatch watch_{[this](QWidget* modal) { answer(modal); }};
};

class ResultsModeDialog : public GuiProgramTest {
protected:
    ResultsModeDialog() : GuiProgramTest("korvane_results_mode_dialog") {}
    void before_startup() override
    {
        fs::copy_file(fs::path(KV_PROGRAM_PATH).parent_path() / "sample.mod", folder / "sample.mod");
    }
};

}  // namespace

TEST_F(ResultsModeDialog, ABendDialogOverTheResultsTakesNoKeys)
{
    MESA_ALLOCATIONS_KEPT;
    open_by_extension((folder / "sample.mod").string());
    ASSERT_TRUE(analyze_command(main_frame().window));
    // Watched from here: the analysis' progress dialog, shown on a slow
    // machine, is none of the test's.
    Answers answers;
    open_results();
    ASSERT_TRUE(gui_wait_for([] { return current_result() != RESULT_NONE; }));
    ASSERT_TRUE(in_results());
    const std::string model_bytes = bytes_of(folder / "sample.mod");

    int row = 0;
    for (int r = 1; r <= model().numrows() && row == 0; ++r)
        if (model().rows[r].etype == ET_BEND)
            row = r;
    ASSERT_NE(row, 0);
    layout_hooks().element_dialog[ET_BEND](row);
    ASSERT_EQ(answers.dialogs.size(), 1u);
    EXPECT_EQ(answers.dialogs[0].rfind("BEND", 0), 0u) << answers.dialogs[0];
    EXPECT_TRUE(answers.editable.empty()) << answers.editable.front();
    EXPECT_TRUE(answers.looks_editable.empty()) << answers.looks_editable.front();
    EXPECT_EQ(answers.ok_text, LOCKED_DIALOG_CLOSE_TEXT);
    EXPECT_FALSE(answers.cancel_shown);
    EXPECT_FALSE(model_modified());
    terminate_results();
    EXPECT_EQ(bytes_of(folder / "sample.mod"), model_bytes);
    EXPECT_TRUE(answers.messages.empty()) << answers.messages.front();
}
