// The result tables with the real windows: the sample analysed and its
// results opened; every table the results offer is shown in the results
// window; the results report with all of them is printed to the preview
// and to a PDF file; and each table's CSV export, read back, holds the
// cells the window shows.
#include "analysis/ui/analysis_ui.h"
#include "codes/code_driver.h"
#include "csv_text.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "gui/program_fixture.h"
#include "loads/ui/loads_subsystem.h"
#include "materials/pipe_section.h"
#include "materials/soil.h"
#include "materials/ui/materials_subsystem.h"
#include "model/ui/layout_install.h"
#include "model/model.h"
#include "model/ui/model_subsystem.h"
#include "platform/qt/qt_printing.h"
#include "results/results_state.h"
#include "results/ui/soil_acceleration_tables.h"
#include "results/support_summary.h"
#include "results/ui/displacement_tables.h"
#include "results/ui/element_force_tables.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_report.h"
#include "results/ui/results_window.h"
#include "supports/ui/supports_ui.h"

#include <QApplication>
#include <QDialog>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTimer>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace fs = std::filesystem;

namespace {

// Cancels the result chooser and accepts messages; closes a print preview.
class Closer {
public:
    Closer()
    {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(40);
    }
    int previews = 0;
    std::string last_message;
    // Off while the analysis runs: its progress dialog has a Cancel button too.
    bool cancel_dialogs = true;

private:
    void poll()
    {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(w); preview && preview->isVisible()) {
                ++previews;
                preview->reject();
                return;
            }
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            last_message = box->text().toStdString();
            box->accept();
            return;
        }
        // A print's progress is left to run.
        if (auto* dialog = qobject_cast<QDialog*>(modal);
            dialog && cancel_dialogs && dialog->objectName() != "PRINTING_DIALOG")
            if (auto* cancel = dialog->findChild<QPushButton*>(QStringLiteral("item_%1").arg(IDCANCEL)))
                cancel->click();
    }
    QTimer timer_;
};

bool wait_for(const std::function<bool()>& done) { return gui_wait_for(done); }

std::string bytes_of(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The cells of a CSV text (quoted cells as they read back).
std::set<std::string> csv_cells(const std::string& text)
{
    std::set<std::string> cells;
    for (const std::vector<std::string>& row : csv_rows(text))
        cells.insert(row.begin(), row.end());
    return cells;
}

class GuiResultTables : public GuiProgramTest {
protected:
    GuiResultTables() : GuiProgramTest("korvane_gui_result_tables") {}
    void before_startup() override
    {
        install_qt_print_service();
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
        register_subsystem(install_code_evaluation);
        register_subsystem(install_results_ui);
        register_window_installer(create_layout_windows);
    }
    void after_shutdown() override { install_print_service(nullptr); }

    // Every non-empty cell the window shows of the table is a cell of its CSV export.
    void expect_csv_holds_the_shown_cells(TableWindow& t, const std::string& what)
    {
        const fs::path file = folder / "export.csv";
        ASSERT_TRUE(open_report_file_at(results_frame().window, file.string(), true)) << what;
        t.print();
        std::string written = report_text();
        // The file is the report's text once closed (no dialog, no message in between).
        report_end_text();
        std::ofstream(file, std::ios::binary | std::ios::trunc) << written;
        const std::set<std::string> cells = csv_cells(bytes_of(file));
        int checked = 0;
        for (int row = 1; row <= t.row_count; ++row) {
            t.prepare_row(row);
            // A row that shows only its name (the empty "Allowables" row of
            // a summary whose kind has no allowables) is not written.
            bool values = false;
            for (int column = 2; column <= t.columns(); ++column)
                for (int line = 0; line < t.text_lines; ++line)
                    values = values || !t.cell_text(row, column, line).empty();
            t.marks = {};
            if (!values)
                continue;
            for (int column = 1; column <= t.columns(); ++column)
                for (int line = 0; line < t.text_lines; ++line) {
                    std::string text = t.cell_text(row, column, line);
                    t.marks = {};
                    if (text.empty() || text == "0")
                        continue;
                    ++checked;
                    EXPECT_TRUE(cells.count(text)) << what << ": row " << row << " column " << column << " \"" << text << "\"";
                }
        }
        EXPECT_GT(checked, 0) << what;
    }

    // Shows a result in the results window, checks it shows rows, and its CSV export.
    void show_and_export(const std::string& name, const std::function<void()>& show)
    {
        show();
        QCoreApplication::processEvents();
        TableWindow* t = results_table_view().table();
        ASSERT_NE(t, nullptr) << name;
        EXPECT_TRUE(results_table_view().shown()) << name;
        QWidget* view = gui_backend().widget(results_table_view().window());
        ASSERT_NE(view, nullptr) << name;
        EXPECT_TRUE(view->isVisible()) << name;
        EXPECT_GT(t->row_count, 0) << name;
        expect_csv_holds_the_shown_cells(*t, name);
    }
    // Analyses the open model and opens its results (the chooser cancelled).
    void analyse_and_open(Closer& closer)
    {
        closer.cancel_dialogs = false;
        const bool analysed = analyze_command(main_frame().window);
        closer.cancel_dialogs = true;
        ASSERT_TRUE(analysed) << closer.last_message;
        open_results();
        ASSERT_TRUE(wait_for([] { return in_results() && frame_is_visible(results_frame()); }));
        ASSERT_TRUE(wait_for([] { return QApplication::activeModalWidget() == nullptr; }));
    }
    // Prints the whole report to the preview and to a PDF of more than
    // `min_pages` pages.
    void print_report(Closer& closer, int min_pages)
    {
        const int previews = closer.previews;
        const ReportJob job = results_report_job(default_report_selection());
        print_preview_start(results_frame().window, job.title, report_page_renderer(job));
        EXPECT_GT(closer.previews, previews);
        const fs::path pdf = folder / "results.pdf";
        ASSERT_TRUE(print_to_pdf(results_frame().window, pdf.string(), report_page_renderer(job)));
        const std::string bytes = bytes_of(pdf);
        ASSERT_GT(bytes.size(), 1000u);
        EXPECT_EQ(bytes.substr(0, 4), "%PDF");
        int pages = 0;
        for (std::size_t at = bytes.find("/Type /Page"); at != std::string::npos; at = bytes.find("/Type /Page", at + 1))
            if (bytes.compare(at, 12, "/Type /Pages") != 0)
                ++pages;
        EXPECT_GT(pages, min_pages);
    }
};

}  // namespace

TEST_F(GuiResultTables, EveryTableShownPrintedToThePreviewAndAPdfAndExported)
{
    Closer closer;
    open_by_extension((folder / "sample.mod").string());
    ASSERT_NO_FATAL_FAILURE(analyse_and_open(closer));

    // Every result the sample offers, and every support kind it has.
    std::vector<std::pair<std::string, std::function<void()>>> shows;
    for (int kind : result_list())
        if (kind != RESULT_SUPPORT_LOADS)
            shows.push_back({result_kind_name(kind), results_hooks().show[static_cast<std::size_t>(kind)]});
    for (int kind : support_kind_list())
        shows.push_back({support_kind_name(kind), results_hooks().support_loads[static_cast<std::size_t>(kind)]});
    ASSERT_GE(shows.size(), 8u);
    for (const auto& [name, show] : shows)
        ASSERT_NO_FATAL_FAILURE(show_and_export(name, show));
    // Every support's summary, the forces in global axes and the
    // displacement extremes.
    for (int i = 2; i <= results().supports_by_kind.size(); ++i)
        ASSERT_NO_FATAL_FAILURE(show_and_export("Summary " + std::to_string(i), show_next_summary_support));
    toggle_global_forces();
    ASSERT_TRUE(global_forces_shown());
    ASSERT_NO_FATAL_FAILURE(show_and_export("Global forces", show_element_forces));
    toggle_global_forces();
    ASSERT_NO_FATAL_FAILURE(show_and_export("Displacements", show_other_displacements));
    ASSERT_NO_FATAL_FAILURE(show_and_export("Displacement extremes", [] {
        frame_command(results_frame(), CMD_NEXT_ITEM);
    }));
    EXPECT_EQ(results_table_view().table(), &displacement_extremes_table());

    // The whole report: to the preview, and to a PDF.
    ASSERT_NO_FATAL_FAILURE(print_report(closer, 5));
}

TEST_F(GuiResultTables, SoilRestraintsOfTheBuriedSampleShownPrintedAndExported)
{
    Closer closer;
    open_by_extension((folder / "sample.mod").string());
    // Every section of the sample buried in sand well below the ground.
    Soil sand;
    sand.name = "S";
    sand.type = SOIL_COHESIONLESS;
    sand.density = 120.0f / 1728.0f;   // 120 lb/ft3 in lb/in3
    sand.delta = 0.5236f;              // 30 degrees
    sand.ks = 1.0f;
    sand.ground_level = 5000.0f;
    soils().push_back(sand);
    for (PipeSection& section : pipe_sections())
        section.soil = "S";
    model_changed();
    ASSERT_NO_FATAL_FAILURE(analyse_and_open(closer));
    ASSERT_GT(results().soil_restraints.size(), 0);
    const std::vector<int>& offered = result_list();
    ASSERT_NE(std::find(offered.begin(), offered.end(), RESULT_SOIL_RESTRAINTS), offered.end());
    ASSERT_NO_FATAL_FAILURE(show_and_export("Soil restraints", results_hooks().show[RESULT_SOIL_RESTRAINTS]));
    EXPECT_EQ(results_table_view().table(), &soil_restraints_table());
    EXPECT_TRUE(default_report_selection().parts[PART_SOIL_RESTRAINTS]);
    ASSERT_NO_FATAL_FAILURE(print_report(closer, 5));
}
