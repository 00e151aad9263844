// The table window on the Qt backend: it opens in a frame and paints, takes
// typing from the window system, sits in a dialog's table place, and its
// printout renders pages with ink and writes a PDF.
#include "framework/app_state.h"
#include "framework/document.h"
#include "framework/table_fixture.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "gui/gui_dialogs.h"
#include "platform/qt/qt_printing.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPrintPreviewDialog>
#include <QTimer>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <unistd.h>

namespace {

namespace fs = std::filesystem;

void key(QWidget* w, int qt_key, const QString& text = {}, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, qt_key, mods, text);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qt_key, mods, text);
    QCoreApplication::sendEvent(w, &release);
}

int ink(const QImage& img) {
    int n = 0;
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x)
            if ((img.pixel(x, y) & 0x00FFFFFFu) != 0x00FFFFFFu) ++n;
    return n;
}

class GuiTableTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui_backend();
        install_qt_print_service();
        reset_app_state();
        reset_report_state();
        set_report_date("12 Mar 2025");
        model_file_path() = "Table test.mod";
        frame_create(frame, "KorvaneTable", "Table", [this](int id) { table_command(table, id); }, "", nullptr, "");
        WindowPlacement p;
        p.left = 40;
        p.top = 40;
        p.right = 840;
        p.bottom = 540;
        frame_set_placement(frame, p);
        view.create(frame);
        table_attach(view, &table);
        table.fill(40);
        table_reset(table);
        backend().process_events();
    }
    void TearDown() override {
        table_attach(view, nullptr);
        view.destroy();
        frame_destroy(frame);
        install_print_service(nullptr);
        backend().process_events();
    }
    Frame frame;
    PipeTable table{&frame};
    TableView view;
};

TEST_F(GuiTableTest, AWindowOpensPaintsAndTakesTyping) {
    QWidget* w = gui_backend().widget(view.window());
    ASSERT_NE(w, nullptr);
    EXPECT_TRUE(w->isVisible());
    EXPECT_EQ(view.width(), w->width());
    EXPECT_GT(view.visible_rows(), 5);
    EXPECT_GT(ink(w->grab().toImage()), 500);   // header, grid and texts
    EXPECT_EQ(frame_title(frame), "Korvane - Pipes  (40)  [Untitled]");

    table.current_row = 2;
    table.current_column = 2;
    key(w, Qt::Key_N, "n");
    key(w, Qt::Key_2, "2");
    EXPECT_TRUE(table.edit.active);
    key(w, Qt::Key_Return);
    EXPECT_EQ(table.records[1].name, "N2");
    EXPECT_EQ(table.current_row, 3);
    // Shift+Tab arrives as a back tab and goes to the last editable cell of
    // the row before (row 2 of the test table has no editable Note).
    key(w, Qt::Key_Backtab, {}, Qt::ShiftModifier);
    EXPECT_EQ(table.current_row, 2);
    EXPECT_EQ(table.current_column, 4);
    key(w, Qt::Key_PageDown);
    EXPECT_GT(table.current_row, 5);
    key(w, Qt::Key_Period, ".");   // a key without a code of ours: its text alone opens the Note
    EXPECT_TRUE(table.edit.active);
    key(w, Qt::Key_Escape);
    EXPECT_FALSE(table.edit.active);
}

namespace {

void click(QWidget* w, QPoint at) {
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &press);
    QMouseEvent release(QEvent::MouseButtonRelease, QPointF(at), QPointF(w->mapToGlobal(at)), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QCoreApplication::sendEvent(w, &release);
}

}  // namespace

TEST_F(GuiTableTest, AClickIntoTheSelectedCellThenAKeyReplacesItsWholeText) {
    // A spreadsheet's rule: the first key replaces the cell, never lands in
    // its old text; F2 (or a second click) edits in place.
    QWidget* w = gui_backend().widget(view.window());
    ASSERT_NE(w, nullptr);
    table_ensure_measured(table);
    const TableView::Layout l = view.layout();
    int x = l.body.left - table.h_scroll + table.widths[1];
    const QPoint cell(x + 4, l.body.top + (1 - table.top_row) * view.row_height() + 3);   // row 2, Name
    click(w, cell);
    EXPECT_EQ(table.current_row, 2);
    EXPECT_EQ(table.current_column, 2);
    click(w, cell);   // into the cell that is already selected
    key(w, Qt::Key_5, "5");
    key(w, Qt::Key_Return);
    EXPECT_EQ(table.records[1].name, "5");

    // F2 puts the caret at the end of the text: the key is added to it.
    table.current_row = 2;
    table.current_column = 2;
    key(w, Qt::Key_F2);
    key(w, Qt::Key_7, "7");
    key(w, Qt::Key_Return);
    EXPECT_EQ(table.records[1].name, "57");
}

// The insulation-style dialog: a table in the dialog's Table control.
struct GuiTableDialog : DialogProc {
    PipeTable table;
    std::unique_ptr<TableView> view;
    bool visible = false;
    int rows_seen = 0;
    void init(Dialog& d) override {
        table.fill(12);
        view = table_create_in_dialog(d, 1500, table);
    }
    void shown(Dialog& d) override {
        QWidget* w = gui_backend().widget(view->window());
        visible = w && w->isVisible();
        if (w) {
            key(w, Qt::Key_Down);
            key(w, Qt::Key_Down);
        }
        rows_seen = table.current_row;
        d.end(IDOK);
    }
};

const DialogTemplate GUI_TABLE_DIALOG = {
    "GUI_TABLE_DIALOG",
    "Pick",
    {
        {1500, ControlKind::Table, "", 0, 0, 2, 0, 0, CF_NONE, 8},
        {IDOK, ControlKind::Button, "OK", 8, 0},
        {IDCANCEL, ControlKind::Button, "Cancel", 8, 1},
    },
};

TEST_F(GuiTableTest, ATableSitsInADialogsTablePlace) {
    GuiTableDialog proc;
    EXPECT_EQ(backend().run_dialog(GUI_TABLE_DIALOG, proc, frame.window), IDOK);
    ASSERT_NE(proc.view, nullptr);
    EXPECT_NE(proc.view->window(), 0);
    EXPECT_TRUE(proc.visible);
    EXPECT_EQ(proc.rows_seen, 3);
    proc.view.reset();
    backend().process_events();
}

TEST_F(GuiTableTest, ThePrintoutRendersPagesWithInkAndWritesAPdf) {
    const ReportJob job = table_report_job(table);
    std::vector<Image> pages = print_service().render_pages(PageSetup{}, 72, report_page_renderer(job));
    ASSERT_FALSE(pages.empty());
    EXPECT_TRUE(has_ink(pages[0]));

    // The preview window opens on the same pages.
    int renders = 0;
    bool seen = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets())
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(w); preview && preview->isVisible()) {
                seen = true;
                preview->reject();
            }
    });
    closer.start(100);
    print_preview_start(frame.window, job.title, [&](PrintDocument& doc) {
        ++renders;
        report_render_pages(doc, job);
    });
    closer.stop();
    EXPECT_TRUE(seen);
    EXPECT_GE(renders, 1);

    const fs::path dir = fs::path(testing::TempDir()) / ("kv_table_pdf_" + std::to_string(::getpid()));
    fs::create_directories(dir);
    const fs::path pdf = dir / "pipes.pdf";
    ASSERT_TRUE(print_to_pdf(0, pdf.string(), report_page_renderer(job)));
    std::ifstream in(pdf, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    EXPECT_EQ(bytes.str().substr(0, 4), "%PDF");
    std::error_code ec;
    fs::remove_all(dir, ec);
}

}  // namespace
