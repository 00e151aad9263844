// The rotating-equipment report with the real windows: a batch model with a
// pump, a compressor and a turbine imported, analysed, its results opened
// and "Rot. equip report" chosen in the results chooser; the report window
// shows the pump; F6 picks the turbine from the pick list, Ctrl+Right and
// Ctrl+Left step the machines with wrap-around, the arrow keys step the
// load case, and the report's load-case chooser picks one.
#include "analysis/ui/analysis_ui.h"
#include "codes/code_driver.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "exchange/ui/exchange_ui.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/pick_list.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "gui/program_fixture.h"
#include "loads/ui/loads_subsystem.h"
#include "materials/ui/materials_subsystem.h"
#include "model/ui/layout_install.h"
#include "model/ui/model_subsystem.h"
#include "qualification/equipment.h"
#include "qualification/rot_equip.h"
#include "qualification/ui/qualification_ui.h"
#include "qualification/ui/report_lines.h"
#include "qualification/ui/rot_equip_ui.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"
#include "supports/ui/supports_ui.h"

#include <QApplication>
#include <QDialog>
#include <QKeyEvent>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <fstream>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace fs = std::filesystem;

namespace {

// Two operating temperatures; pump P-1 between the anchors at 10 and 40,
// compressor K-1 at 60, turbine T-1 at 80 and 90.
const char* const MODEL = "Rotating equipment\nOPTIONS\nIN,B313\nMATERIAL\nCS,0.283\n"
                          "CS,70,29.5E6,6.07E-6,20000\nCS,400,27.7E6,6.82E-6,20000\nPIPE\nP6,6.625,0.28\n"
                          "LOADS\nL1,300,150,1.0,400,150\nLAYOUT\nF10,MCS,PP6,KA,CL=L1\nT20,Y60\nT30,X120\n"
                          "T40,Y-60,KA\nT50,X60\nT60,Z60,KA\nT70,X60\nT80,Z-60,KA\nT90,X60,KA\n"
                          "PUMPS\nP-1,0,1,0,0,60,-12,0,10,0,40,0\nCOMPRESSORS\nK-1,1,0,0,60\n"
                          "TURBINES\nT-1,0,0,1,80,90\n";

void send_key(QWidget* w, int qt_key, Qt::KeyboardModifiers mods = Qt::NoModifier)
{
    QKeyEvent press(QEvent::KeyPress, qt_key, mods);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qt_key, mods);
    QCoreApplication::sendEvent(w, &release);
}

// Answers what comes up: the results chooser (its "Rot. equip report"
// entry), the pick list (`pick_downs` rows down, then OK), the load-case
// chooser (row `case_row`), and any message box (kept).
class Answers {
public:
    Answers()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(40);
    }
    int pick_downs = 2;
    int case_row = 1;
    std::vector<std::string> messages;
    int choosers = 0, picks = 0, case_choosers = 0;

private:
    void poll()
    {
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
        auto* list = dialog->findChild<QListWidget*>(QStringLiteral("item_%1").arg(RADIO_LIST));
        if (name == result_chooser_template() && list) {
            ++choosers;
            for (int i = 0; i < list->count(); ++i)
                if (list->item(i)->text().remove('&') == "Rot. equip report")
                    list->setCurrentRow(i);
        } else if (name == "SELECT_DIALOG") {
            ++picks;
            if (auto* table = dialog->findChild<QWidget*>(QStringLiteral("item_%1").arg(PICK_LIST_TABLE)))
                for (int i = 0; i < pick_downs; ++i)
                    send_key(table->focusProxy() ? table->focusProxy() : table, Qt::Key_Down);
        } else if (name.rfind("RESULT_LOAD_CASES", 0) == 0 && list) {
            ++case_choosers;
            list->setCurrentRow(case_row);
        } else {
            return;
        }
        if (ok && dialog->isVisible())
            ok->click();
    }
    QTimer timer_;
};

bool wait_for(const std::function<bool()>& done) { return gui_wait_for(done); }

std::string first_line() { return report_window_lines().empty() ? "" : report_window_lines()[0].text; }

class GuiRotEquip : public GuiProgramTest {
protected:
    GuiRotEquip() : GuiProgramTest("korvane_gui_rot_equip") {}
    void before_startup() override
    {
        std::ofstream(folder / "rot.mbf", std::ios::binary) << MODEL;
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
        register_subsystem(install_code_evaluation);
        register_subsystem(install_results_ui);
        register_subsystem(install_qualification_ui);
        register_subsystem(install_exchange_ui);
        register_window_installer(create_layout_windows);
    }
};

}  // namespace

TEST_F(GuiRotEquip, ReportWindowPickListMachineAndLoadCaseSteps)
{
    Answers answers;
    const std::string batch = (folder / "rot.mbf").string();
    ASSERT_TRUE(import_batch_model(main_frame().window, batch, batch.size() - 3));
    ASSERT_EQ(pumps().size(), 1);
    ASSERT_TRUE(analyze_command(main_frame().window));
    ASSERT_TRUE(fs::exists(folder / "rot.res"));

    // Results: the chooser's "Rot. equip report" shows the pump's report.
    ASSERT_TRUE(run_command(CMD_RESULTS));
    ASSERT_TRUE(wait_for([] { return current_result() != RESULT_NONE; }));
    EXPECT_EQ(answers.choosers, 1);
    EXPECT_EQ(current_result(), RESULT_ROT_EQUIP_REPORT);
    EXPECT_TRUE(frame_is_visible(results_frame()));
    EXPECT_EQ(results_table_view().table(), &pump_report_window());
    EXPECT_EQ(first_line(), "API 610 (11th ed.), Sep 2010 / ISO 13709 report for pump : P-1");
    const RotEquipReport& r = rot_equip_report();
    ASSERT_EQ(r.case_count(), 2);
    QWidget* view = gui_backend().widget(results_table_view().window());
    ASSERT_NE(view, nullptr);

    // F6: the pick list; two rows down is the turbine.
    send_key(view, Qt::Key_F6);
    ASSERT_TRUE(wait_for([&] { return r.current == 3; }));
    EXPECT_EQ(answers.picks, 1);
    EXPECT_EQ(results_table_view().table(), &compressor_report_window());
    EXPECT_EQ(first_line(), "NEMA SM23 (1991) report for turbine : T-1");

    // Ctrl+Right from the last machine wraps to the pump; Ctrl+Left back.
    send_key(view, Qt::Key_Right, Qt::ControlModifier);
    EXPECT_EQ(r.current, 1);
    EXPECT_EQ(results_table_view().table(), &pump_report_window());
    send_key(view, Qt::Key_Left, Qt::ControlModifier);
    EXPECT_EQ(r.current, 3);

    // The arrows step the load case, wrapping.
    send_key(view, Qt::Key_Right);
    EXPECT_EQ(r.current_case, 2);
    EXPECT_EQ(report_window_lines().at(1).text, "Load case: " + load_case_names(r.case_code(2)));
    send_key(view, Qt::Key_Right);
    EXPECT_EQ(r.current_case, 1);

    // The report's load-case chooser: the second row.
    frame_command(results_frame(), CMD_LOAD_CASES);
    EXPECT_EQ(answers.case_choosers, 1);
    EXPECT_EQ(r.current_case, 2);
    EXPECT_EQ(report_window_lines().at(1).text, "Load case: " + load_case_names(r.case_code(2)));
    EXPECT_TRUE(in_results());
    EXPECT_TRUE(answers.messages.empty()) << answers.messages.front();
}
