// The flange, lug and nozzle windows on the real windows: File New of each
// kind takes the list window with its own menu and report, the input is
// edited in its sheet or dialog, Analyze asks to save the changed data set
// (Save As names the file) and adds the evaluation, Print writes the report
// to a text file, and Close gives the main window and the list window's own
// menu back.
#include "analysis/ui/analysis_ui.h"
#include "codes/code_driver.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/shell.h"
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "loads/ui/loads_subsystem.h"
#include "materials/ui/materials_subsystem.h"
#include "model/ui/dialogs_model_file.h"
#include "model/ui/layout_install.h"
#include "model/ui/model_commands.h"
#include "model/ui/model_subsystem.h"
#include "qualification/ui/flange_ui.h"
#include "qualification/ui/lug_ui.h"
#include "qualification/ui/nozzle_ui.h"
#include "qualification/ui/qualification_dialogs.h"
#include "qualification/ui/qualification_mode.h"
#include "qualification/ui/qualification_ui.h"
#include "results/ui/results_window.h"
#include "supports/ui/supports_ui.h"

#include <QAction>
#include <QApplication>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QMainWindow>
#include <QMenuBar>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <sstream>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace fs = std::filesystem;

namespace {

QStringList menu_titles(QMainWindow* w)
{
    QStringList titles;
    for (QAction* a : w->menuBar()->actions())
        titles << a->text();
    return titles;
}

std::string file_text(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// Answers the modal windows by what they are: the File New dialog with the
// kind, the save question with Yes, the print dialog with a text file, a file
// dialog with the next name, the input of each kind with its values; message
// boxes are noted and closed. INFO_DIALOG closes itself.
class Answers {
public:
    explicit Answers(int kind) : kind_(kind)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start(30);
    }
    std::vector<std::string> messages;
    std::vector<std::string> files;   // the names the file dialogs take, in order
    bool missing_widget = false;
    int inputs = 0;

private:
    static void queued_click(QAbstractButton* b) { QMetaObject::invokeMethod(b, &QAbstractButton::click, Qt::QueuedConnection); }
    void click(QWidget* d, int id, bool queued = false)
    {
        auto* b = d->findChild<QAbstractButton*>(item_name(id));
        if (!b)
            missing_widget = true;
        else if (queued)
            queued_click(b);
        else
            b->click();
    }
    void type(QWidget* d, int id, const char* text)
    {
        auto* edit = d->findChild<QLineEdit*>(item_name(id));
        if (!edit) {
            missing_widget = true;
            return;
        }
        edit->setFocus();
        edit->selectAll();
        edit->insert(QString::fromLatin1(text));
    }
    void answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal || busy_)
            return;
        busy_ = true;
        const std::string name = modal->objectName().toStdString();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.push_back(box->text().toStdString());
            box->accept();
        } else if (auto* f = qobject_cast<QFileDialog*>(modal)) {
            const std::string file = files.empty() ? std::string() : files.front();
            if (!files.empty())
                files.erase(files.begin());
            f->selectFile(QString::fromStdString(file));
            if (auto* edit = f->findChild<QLineEdit*>("fileNameEdit"))
                edit->setText(QString::fromStdString(file));
            if (file.empty())
                f->reject();
            else
                static_cast<QDialog*>(f)->accept();
        } else if (name == "NEW_DIALOG") {
            click(modal, new_choice_radio(kind_));
            click(modal, IDOK, true);
        } else if (name == "SAVE_CHANGES_DIALOG") {
            click(modal, IDYES, true);
        } else if (name == "PRINT_DIALOG") {
            click(modal, PRINT_TO_TEXT);
            click(modal, IDOK, true);
        } else if (name == "LUG_EVAL") {
            ++inputs;
            const char* values[4] = {"10.75", "0.5", "1", "1.5"};
            for (int k = 1; k <= 4; ++k)
                type(modal, qual_edit(k), values[k - 1]);
            click(modal, IDOK, true);
        } else if (name == "NOZZLE_QUAL") {
            ++inputs;
            const char* values[12] = {"40", "0.5", "6.625", "0.28", "6.345", "0.5", "12", "0.9", "20000", "17000",
                                      "10000", "0.0625"};
            for (int k = 1; k <= 12; ++k)
                type(modal, qual_edit(k), values[k - 1]);
            click(modal, IDOK, true);
        } else if (QWidget* page = modal->findChild<QWidget*>("FLANGE_DATA_DIALOG")) {
            ++inputs;
            type(page, qual_edit(4), "2.25");   // the flange thickness
            if (auto* box = modal->findChild<QDialogButtonBox*>())
                queued_click(box->button(QDialogButtonBox::Ok));
            else
                missing_widget = true;
        }
        busy_ = false;
    }

    int kind_;
    QTimer timer_;
    bool busy_ = false;
};

class GuiQualificationModes : public GuiProgramTest {
protected:
    GuiQualificationModes() : GuiProgramTest("korvane_gui_qualification") {}
    void install_subsystems() override
    {
        register_subsystem(install_model_subsystem);
        register_subsystem(install_materials_subsystem);
        register_subsystem(install_layout_subsystem);
        register_subsystem(install_elements_ui);
        register_subsystem(install_element_analysis);
        register_subsystem(install_supports_ui);
        register_subsystem(install_loads_subsystem);
        register_subsystem(install_analysis_commands);
        register_subsystem(install_code_evaluation);
        register_subsystem(install_results_ui);
        register_subsystem(install_qualification_ui);
        register_window_installer(create_layout_windows);
    }
};

struct Kind {
    int new_kind;
    QualificationKind kind;
    int edit, analyze;
    const char* name;        // the file's name
    const char* evaluated;   // a line only the evaluation writes
};

}  // namespace

TEST_F(GuiQualificationModes, NewEditAnalyzePrintAndClose)
{
    QtBackend& b = gui_backend();
    auto* main = qobject_cast<QMainWindow*>(b.widget(main_frame().window));
    auto* list = qobject_cast<QMainWindow*>(b.widget(list_frame().window));
    ASSERT_NE(main, nullptr);
    ASSERT_NE(list, nullptr);
    const QStringList list_menus = menu_titles(list);

    const Kind kinds[] = {
        {NEW_KIND_FLANGE, QualificationKind::Flange, CMD_FLANGE_EDIT, CMD_FLANGE_ANALYZE, "joint.flg",
         "Calculated Stresses as per ASME Section VIII. Div. 1"},
        {NEW_KIND_LUG, QualificationKind::Lug, CMD_LUG_EDIT, CMD_LUG_ANALYZE, "lug.lug",
         "Section Y-3410: Pipe Stresses at Attachment"},
        {NEW_KIND_NOZZLE, QualificationKind::Nozzle, CMD_NOZZLE_EDIT, CMD_NOZZLE_ANALYZE, "nozzle.noz",
         "Clause 16.4.5: Maximum allowable individual loads"},
    };
    for (const Kind& k : kinds) {
        SCOPED_TRACE(k.name);
        Answers answers(k.new_kind);
        const fs::path data = folder / k.name;
        const fs::path report = fs::path(data).replace_extension("txt");
        answers.files = {data.string(), report.string()};

        new_file_command(main_frame().window);
        QCoreApplication::processEvents();
        ASSERT_TRUE(qualification_mode_is(k.kind));
        EXPECT_FALSE(main->isVisible());
        EXPECT_TRUE(list->isVisible());
        EXPECT_EQ(menu_titles(list), (QStringList{"&File", "&Edit", "&Analyze", "&Options", "&Help"}));
        ASSERT_NE(list_window_table(), nullptr);

        // Edit, then Analyze: the save question, Save As, the evaluation.
        frame_command(list_frame(), k.edit);
        EXPECT_EQ(answers.inputs, 1);
        frame_command(list_frame(), k.analyze);
        QCoreApplication::processEvents();
        EXPECT_TRUE(fs::exists(data));
        EXPECT_FALSE(model_modified());
        EXPECT_TRUE(list->windowTitle().contains(QString::fromLatin1(k.name))) << list->windowTitle().toStdString();

        // Print to a text file.
        frame_command(list_frame(), CMD_PRINT);
        ASSERT_TRUE(fs::exists(report));
        EXPECT_NE(file_text(report).find(k.evaluated), std::string::npos) << file_text(report).substr(0, 400);
        EXPECT_FALSE(answers.missing_widget);
        EXPECT_TRUE(answers.messages.empty()) << answers.messages.front();

        // Close: the main window and the list window's own menu come back.
        frame_command(list_frame(), CMD_CLOSE);
        QCoreApplication::processEvents();
        EXPECT_FALSE(qualification_mode_active());
        EXPECT_TRUE(main->isVisible());
        EXPECT_FALSE(list->isVisible());
        EXPECT_EQ(menu_titles(list), list_menus);
    }
    EXPECT_EQ(flange_qualification().input.t, 2.25f);
}
