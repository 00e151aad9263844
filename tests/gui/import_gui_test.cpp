// File > Import on the Qt backend with the program's windows: each filter of
// the open dialog (batch file, PipePak and CAESAR II neutral files) imports
// a sample and the layout window shows it; Cancel at the question before an
// existing model file is replaced keeps the model untitled and modified.
#include "analysis/ui/analysis_ui.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "exchange/data/cii_fixture.h"
#include "exchange/ui/exchange_ui.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "gui/program_fixture.h"
#include "loads/ui/loads_subsystem.h"
#include "materials/ui/materials_subsystem.h"
#include "model/model.h"
#include "model/ui/layout_install.h"
#include "model/ui/layout_window.h"
#include "model/ui/model_commands.h"
#include "model/ui/model_subsystem.h"
#include "qualification/equipment.h"
#include "supports/ui/supports_ui.h"

#include <QAbstractButton>
#include <QFileDialog>
#include <QLineEdit>
#include <QMessageBox>
#include <QTimer>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

const std::string BATCH = "Batch sample\nOPTIONS\nIN,B313\nMATERIAL\nCS,0.283\nCS,70,29.5E6,6.07E-6,20000\n"
                          "PIPE\nP6,6.625,0.28\nLAYOUT\nF10,MCS,PP6,KA\nT20,X120\nT30,Y120,KA\n";
const std::string PIPEPAK = "TITLE pipepak sample\nUNIT ENGLISH\nMATERIAL CS * 0.283 0.3\nPIPE S1 6 40 6.625 0.28\n"
                            "FROM A 0 0 0 S1 CS\nTO B 10 0 0\nTO C 0 10 0\nANCHOR A\nANCHOR C\n";

std::string caesar_sample()
{
    cii_test::CiiFile f;
    f.title = "CAESAR SAMPLE";
    cii_test::CiiElementRecord e;
    e.from = 10, e.to = 20, e.dx = 120, e.t[0] = 300;
    f.elements.push_back(e);
    e.from = 20, e.to = 30, e.dx = 0, e.dy = 120;
    f.elements.push_back(e);
    f.restraints.push_back({{10, 1, 0, 0, 0, 0, {}}, {30, 1, 0, 0, 0, 0, {}}});
    return f.text();
}

// Answers the modal windows of an import: the open dialog gets the file and
// the filter; message boxes are noted and closed, the overwrite question with
// OK or Cancel.
class ImportAnswers {
public:
    ImportAnswers(std::string file, std::string filter, bool overwrite)
        : file_(std::move(file)), filter_(std::move(filter)), overwrite_(overwrite)
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start(30);
    }
    std::vector<std::string> messages;
    bool dialog_seen = false;

private:
    void answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* d = qobject_cast<QFileDialog*>(modal)) {
            dialog_seen = true;
            d->selectNameFilter(QString::fromStdString(filter_));
            // selectFile leaves the name field alone while it has the focus,
            // which a second open of the dialog gives it: type the name there.
            d->selectFile(QString::fromStdString(file_));
            if (auto* name = d->findChild<QLineEdit*>("fileNameEdit"))
                name->setText(QString::fromStdString(file_));
            static_cast<QDialog*>(d)->accept();
        } else if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.push_back(box->text().toStdString());
            const bool question = box->button(QMessageBox::Cancel) != nullptr;
            box->button(question && !overwrite_ ? QMessageBox::Cancel : QMessageBox::Ok)->click();
        }
    }

    std::string file_, filter_;
    bool overwrite_;
    QTimer timer_;
};

class GuiImport : public GuiProgramTest {
protected:
    GuiImport() : GuiProgramTest("korvane_gui_import") {}

    void install_subsystems() override
    {
        for (auto install : {install_model_subsystem, install_materials_subsystem, install_layout_subsystem,
                             install_elements_ui, install_element_analysis, install_supports_ui,
                             install_loads_subsystem, install_analysis_commands, install_equipment,
                             install_exchange_ui})
            register_subsystem(install);
        register_window_installer(create_layout_windows);
    }
    void SetUp() override
    {
        GuiProgramTest::SetUp();
        backend().process_events();
    }

    std::string write(const std::string& name, const std::string& text) const
    {
        const std::string path = (folder / name).string();
        std::ofstream(path, std::ios::binary) << text;
        return path;
    }

    // Runs File > Import while the answers serve its windows.
    std::vector<std::string> import(const std::string& file, const std::string& filter, bool overwrite = true)
    {
        ImportAnswers answers(file, filter, overwrite);
        frame_command(main_frame(), CMD_IMPORT);
        backend().process_events();
        EXPECT_TRUE(answers.dialog_seen);
        return answers.messages;
    }
};

}  // namespace

TEST_F(GuiImport, EachFilterImportsItsSampleAndTheLayoutShowsIt)
{
    const struct {
        std::string name, text, filter, title;
        int rows;
    } samples[] = {
        {"batch.mbf", BATCH, "Model batch file (*.mbf)", "Batch sample", 4},
        {"pipepak.pnf", PIPEPAK, "PipePak neutral file (*.pnf)", "PIPEPAK SAMPLE ", 6},
        {"caesar.cii", caesar_sample(), "CAESAR II neutral file (*.cii)", "CAESAR SAMPLE", 6},
    };
    for (const auto& s : samples) {
        SCOPED_TRACE(s.name);
        import(write(s.name, s.text), s.filter);
        EXPECT_EQ(model_title(), s.title);
        EXPECT_EQ(numrows(), s.rows);
        EXPECT_EQ(model_file_path(), (folder / fs::path(s.name).replace_extension(".mod")).string());
        EXPECT_TRUE(fs::exists(model_file_path()));
        // The layout window shows the model: a table row for each model row and the input row.
        QWidget* layout = gui_backend().widget(layout_view().window());
        ASSERT_NE(layout, nullptr);
        EXPECT_TRUE(layout->isVisible());
        EXPECT_EQ(layout_table().row_count, s.rows + 1);
    }
}

TEST_F(GuiImport, CancelAtTheOverwriteQuestionKeepsTheNeutralModelUntitledAndModified)
{
    write("pipepak.mod", "an older model");
    const std::vector<std::string> messages = import(write("pipepak.pnf", PIPEPAK), "PipePak neutral file (*.pnf)", false);
    const std::string question = (folder / "pipepak.mod").string() + " already exists\nDo you want to overwrite ?";
    EXPECT_NE(std::find(messages.begin(), messages.end(), question), messages.end());
    EXPECT_EQ(numrows(), 6);
    EXPECT_EQ(model_file_path(), "");
    EXPECT_TRUE(model_modified());
    std::ifstream in(folder / "pipepak.mod");
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "an older model");
    EXPECT_NE(gui_backend().title(main_frame().window).find("Untitled"), std::string::npos);
}
