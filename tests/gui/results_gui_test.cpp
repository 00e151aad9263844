// Results mode with the real windows: the sample model analysed, its
// results opened by the Results command, a result chosen in the chooser,
// the load case stepped with the arrow keys and from the table's popup (the
// title follows), Tab to the next result, Units in results mode, and Input
// back to the layout window; the model file is not touched.
#include "analysis/ui/analysis_ui.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "gui/program_fixture.h"
#include "loads/ui/loads_subsystem.h"
#include "materials/ui/materials_subsystem.h"
#include "model/load_cases.h"
#include "model/ui/layout_install.h"
#include "model/ui/model_subsystem.h"
#include "results/results_load_cases.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"
#include "results/stand_in_table.h"
#include "supports/ui/supports_ui.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace fs = std::filesystem;

namespace {

// Answers what comes up: the analysis' messages, the result chooser (its
// second entry), the Units dialog (OK), and a popup menu (the entry that
// starts with `popup_choice`).
class Answers {
public:
    Answers()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(40);
    }
    std::string popup_choice = "Next load case";
    std::vector<std::string> messages;
    int choosers = 0, units = 0, popups = 0;

private:
    void poll()
    {
        if (auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget())) {
            for (QAction* a : menu->actions())
                if (a->text().startsWith(QString::fromStdString(popup_choice))) {
                    ++popups;
                    menu->setActiveAction(a);
                    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
                    QCoreApplication::sendEvent(menu, &enter);
                    return;
                }
            menu->close();
            return;
        }
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.push_back(box->text().toStdString());
            box->accept();
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog)
            return;
        const std::string name = dialog->objectName().toStdString();
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("item_%1").arg(IDOK));
        if (name == result_chooser_template()) {
            if (auto* list = dialog->findChild<QListWidget*>(QStringLiteral("item_%1").arg(RADIO_LIST)))
                list->setCurrentRow(1);
            ++choosers;
            if (ok)
                ok->click();
        } else if (name == "UNITS_DIALOG") {
            ++units;
            if (ok)
                ok->click();
        }
    }
    QTimer timer_;
};

std::string bytes_of(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void send_key(WindowId window, int qt_key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QWidget* w = gui_backend().widget(window);
    ASSERT_NE(w, nullptr);
    QKeyEvent press(QEvent::KeyPress, qt_key, mods);
    QCoreApplication::sendEvent(w, &press);
}

bool wait_for(const std::function<bool()>& done) { return gui_wait_for(done); }

class GuiResults : public GuiProgramTest {
protected:
    GuiResults() : GuiProgramTest("korvane_gui_results") {}
    void before_startup() override
    {
        fs::copy_file(fs::path(KV_PROGRAM_PATH).parent_path() / "sample.mod", folder / "sample.mod");
    }
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
        register_subsystem(install_results_ui);
        register_window_installer(create_layout_windows);
    }
    void SetUp() override
    {
        GuiProgramTest::SetUp();
        // The window's own behaviour, with stand-ins in place of its result tables.
        for (int kind = 0; kind < RESULT_KINDS; ++kind)
            if (kind != RESULT_TIME_HISTORY && kind != RESULT_SUPPORT_LOADS && kind != RESULT_SUPPORT_SUMMARY)
                results_hooks().show[static_cast<std::size_t>(kind)] = nullptr;
        results_hooks().support_loads = {};
        results_hooks().support_summary = {};
        forces = std::make_unique<StandInTable>(RESULT_ELEMENT_FORCES, "Forces stand-in");
        displacements = std::make_unique<StandInTable>(RESULT_DISPLACEMENTS, "Displacements stand-in");
        results_hooks().show[RESULT_ELEMENT_FORCES] = [this] { forces->show(); };
        results_hooks().show[RESULT_DISPLACEMENTS] = [this] { displacements->show(); };
    }
    void after_shutdown() override
    {
        forces.reset();
        displacements.reset();
    }

    std::unique_ptr<StandInTable> forces, displacements;
};

}  // namespace

TEST_F(GuiResults, AnalyzeOpenChooseStepAndGoBackToTheLayout)
{
    Answers answers;
    open_by_extension((folder / "sample.mod").string());
    ASSERT_TRUE(analyze_command(main_frame().window));
    const std::string model_bytes = bytes_of(folder / "sample.mod");
    ASSERT_TRUE(fs::exists(folder / "sample.res"));

    // Results: the chooser comes up and its second entry is shown.
    ASSERT_TRUE(run_command(CMD_RESULTS));
    ASSERT_TRUE(wait_for([] { return current_result() != RESULT_NONE; }));
    EXPECT_EQ(answers.choosers, 1);
    EXPECT_TRUE(in_results());
    EXPECT_TRUE(frame_is_visible(results_frame()));
    const int second = result_list()[1];
    EXPECT_EQ(current_result(), second);
    const StandInTable& shown = second == RESULT_ELEMENT_FORCES ? *forces : *displacements;
    EXPECT_EQ(frame_title(results_frame()).find("Korvane - " + shown.title + ": Sustained (W+P) ["), 0u)
        << frame_title(results_frame());

    // Right arrow: the next case; the title follows.
    const ResultsState& r = results();
    send_key(results_table_view().window(), Qt::Key_Right);
    EXPECT_EQ(results_loadcase(), 2);
    EXPECT_NE(frame_title(results_frame()).find(": " + load_case_names(r.load_cases[2].code) + " ["), std::string::npos)
        << frame_title(results_frame());
    send_key(results_table_view().window(), Qt::Key_Left);
    EXPECT_EQ(results_loadcase(), 1);

    // The table's popup: "Next load case".
    QWidget* view = gui_backend().widget(results_table_view().window());
    ASSERT_NE(view, nullptr);
    QMouseEvent right(QEvent::MouseButtonPress, QPointF(30, 40), view->mapToGlobal(QPointF(30, 40)),
                      Qt::RightButton, Qt::RightButton, Qt::NoModifier);
    QCoreApplication::sendEvent(view, &right);
    EXPECT_TRUE(wait_for([&] { return answers.popups > 0; }));
    EXPECT_TRUE(wait_for([] { return results_loadcase() == 2; }));
    EXPECT_EQ(answers.popups, 1);

    // Tab: the next result (wrapping).
    send_key(results_table_view().window(), Qt::Key_Tab);
    EXPECT_NE(current_result(), second);

    // Units in results mode.
    frame_command(results_frame(), CMD_UNITS);
    EXPECT_EQ(answers.units, 1);
    EXPECT_TRUE(in_results());

    // Input: the layout window again; the model file as it was.
    frame_command(results_frame(), CMD_INPUT);
    EXPECT_FALSE(in_results());
    EXPECT_TRUE(frame_is_visible(main_frame()));
    EXPECT_FALSE(frame_is_visible(results_frame()));
    EXPECT_EQ(bytes_of(folder / "sample.mod"), model_bytes);
    EXPECT_TRUE(answers.messages.empty()) << answers.messages.front();
}
