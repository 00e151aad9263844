// Modal analysis with the real windows: a cantilevered pipe imported from a
// batch file, "Modal analysis" chosen in the Load Cases dialog, the model
// analysed, and the modal block of its results file read back.
#include "analysis/ui/analysis_ui.h"
#include "app/program_subsystems.h"
#include "exchange/ui/exchange_ui.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "gui/program_fixture.h"
#include "model/load_cases.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/results_window.h"

#include <QApplication>
#include <QDialog>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

namespace fs = std::filesystem;

namespace {

// A 6 inch standard pipe (6.625 x 0.28), empty, cantilevered 120 in along X
// from the anchor at node 10 in ten elements; three modes asked (OPMISC:
// no cutoff, 3 modes, no missing mass, no friction, no hanger stiffness).
const char* const MODEL = "Modal cantilever\nOPTIONS\nIN,B313\nOPMISC\n0,3,0,0,0\nMATERIAL\nCS,0.283\n"
                          "CS,70,29.5E6,6.07E-6,20000\nPIPE\nP6,6.625,0.28\nLOADS\nL1,70,0\nLAYOUT\n"
                          "F10,MCS,PP6,KA,CL=L1\nT20,X12\nT30,X12\nT40,X12\nT50,X12\nT60,X12\n"
                          "T70,X12\nT80,X12\nT90,X12\nT100,X12\nT110,X12\n";

// Answers what comes up: in the Load Cases dialog "Modal analysis" is
// picked from the available cases and added, then OK; message boxes are
// kept and closed.
class Answers {
public:
    Answers()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(40);
    }
    std::vector<std::string> messages;
    std::vector<std::string> offered;
    int dialogs = 0;

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
        if (!dialog || !dialog->isVisible() || dialog->objectName() != "LOAD_CASES_DIALOG")
            return;
        ++dialogs;
        auto* available = dialog->findChild<QListWidget*>(QStringLiteral("item_%1").arg(LOAD_CASES_AVAILABLE));
        auto* add = dialog->findChild<QPushButton*>(QStringLiteral("item_%1").arg(LOAD_CASES_ADD));
        auto* ok = dialog->findChild<QPushButton*>(QStringLiteral("item_%1").arg(IDOK));
        if (!available || !add || !ok)
            return;
        for (int i = 0; i < available->count(); ++i) {
            offered.push_back(available->item(i)->text().toStdString());
            if (available->item(i)->text() == "Modal analysis")
                available->setCurrentRow(i);
        }
        add->click();
        ok->click();
    }
    QTimer timer_;
};

class GuiModal : public GuiProgramTest {
protected:
    GuiModal() : GuiProgramTest("korvane_gui_modal") {}
    void SetUp() override
    {
        // The program as main() installs it, with the graphics window's OpenGL.
        MESA_ALLOCATIONS_KEPT;
        GuiProgramTest::SetUp();
    }
    void before_startup() override
    {
        std::ofstream(folder / "cantilever.mbf", std::ios::binary) << MODEL;
    }
};

}  // namespace

TEST_F(GuiModal, BatchModelWithModalChosenInTheDialogIsAnalysedAndItsModesReadBack)
{
    Answers answers;
    const std::string batch = (folder / "cantilever.mbf").string();
    ASSERT_TRUE(import_batch_model(main_frame().window, batch, batch.size() - 3));
    ASSERT_TRUE(run_command(CMD_LOAD_CASE_LIST));
    EXPECT_EQ(answers.dialogs, 1);
    EXPECT_NE(std::find(answers.offered.begin(), answers.offered.end(), "Modal analysis"), answers.offered.end());
    ASSERT_TRUE(load_case_list().contains(LC_MODAL));
    ASSERT_TRUE(analyze_command(main_frame().window));
    ASSERT_TRUE(answers.messages.empty()) << answers.messages.front();
    const fs::path res = folder / "cantilever.res";
    ASSERT_TRUE(fs::exists(res));

    read_results(res.string());
    const ModalResults& modal = results().modal;
    ASSERT_EQ(modal.modes, 3);
    // The steel of the pipe: 0.283 lb/in3 times the metal area over 120 in,
    // as mass (/ 386.4 in/s2).
    const double ro = 6.625 / 2, ri = ro - 0.28;
    const double area = std::numbers::pi * (ro * ro - ri * ri);
    const double inertia = std::numbers::pi / 4 * (std::pow(ro, 4) - std::pow(ri, 4));
    const double mass = 0.283 * area * 120.0 / 386.4;
    EXPECT_NEAR(modal.total_mass, mass, 1e-5 * mass);
    // A round pipe bends alike in Y and Z: the first two modes share the
    // cantilever's first frequency. Euler-Bernoulli (Blevins, "Formulas for
    // Natural Frequency and Mode Shape", table 8-1): f = (beta L)^2 / (2 pi
    // L^2) sqrt(E I / m) with beta L = 1.87510 and 4.69409. The program's
    // elements deform in shear and carry ten lumped masses, both of which
    // lower the frequencies: shear by about (beta r)^2 E / 2 k G (Timoshenko;
    // r = 2.245 in, shear factor k = 0.5 of a thin tube: 0.4 % for the first
    // mode, 2 % for the second), the lumping by a few tenths of a percent for
    // the first and some 2 % for the second.
    const double per_length = 0.283 * area / 386.4;
    const auto cantilever = [&](double beta_l) {
        return beta_l * beta_l / (2 * std::numbers::pi * 120.0 * 120.0) * std::sqrt(29.5e6 * inertia / per_length);
    };
    EXPECT_NEAR(modal.frequencies[1], modal.frequencies[2], 1e-5 * modal.frequencies[1]);
    EXPECT_NEAR(modal.frequencies[1], cantilever(1.87510), 0.02 * cantilever(1.87510));
    EXPECT_NEAR(modal.frequencies[3], cantilever(4.69409), 0.06 * cantilever(4.69409));
    EXPECT_LT(modal.frequencies[3], cantilever(4.69409));
    EXPECT_LT(modal.frequencies[1], cantilever(1.87510));
    // Modes 1 and 2 move across the pipe only: no participation along X.
    for (int mode : {1, 2})
        EXPECT_LT(std::abs(modal.participation[mode][0]), 1e-3 * std::sqrt(mass));
}
