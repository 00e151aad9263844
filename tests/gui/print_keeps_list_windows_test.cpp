// A print of the results report that holds the model report lays every
// list's table out, the one the list window shows among them. On the real
// windows, with the list window open beside the results and its caret moved
// by keys: whatever the print goes to (a PDF file, the preview, a text
// file), the list window shows the same table with its caret in the cell it
// stood in and scrolled as it was.
#include "analysis/ui/analysis_ui.h"
#include "framework/ui/frame.h"
#include "framework/ui/shell.h"
#include "framework/ui/table.h"
#include "gui/program_fixture.h"
#include "gui/window_user.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "platform/qt/qt_printing.h"
#include "results/ui/results_window.h"

#include <QApplication>
#include <QPrintPreviewWidget>
#include <QRadioButton>

#include <filesystem>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

// Where a table's caret and scroll stand.
struct Place {
    int row = 0;
    int column = 0;
    int top_row = 0;
    int h_scroll = 0;
    bool operator==(const Place&) const = default;
};

void PrintTo(const Place& p, std::ostream* out)
{
    *out << "row " << p.row << ", column " << p.column << ", top row " << p.top_row << ", scrolled " << p.h_scroll;
}

Place place_of(const TableWindow& t) { return {t.current_row, t.current_column, t.top_row, t.h_scroll}; }

// The column whose header lines read `heading` ("Rad. Type"); 0 when none.
int column_headed(TableWindow& t, const std::string& heading)
{
    for (int c = 1; c <= t.columns(); ++c) {
        std::string text;
        for (int line = 0; line < t.header_lines; ++line) {
            const std::string part = t.header_text(c, line);
            if (!part.empty())
                text += (text.empty() ? "" : " ") + part;
        }
        if (text == heading)
            return c;
    }
    return 0;
}

// Where a print of the results sheet goes: the radio button of the Print
// Results dialog, and the file the file dialog is given (none for the preview).
struct Destination {
    const char* radio;
    const char* file;
};
constexpr Destination TO_PDF{"PDF file", "report.pdf"};
constexpr Destination TO_PREVIEW{"Print preview", nullptr};
constexpr Destination TO_TEXT{"Text file", "report.txt"};

class PrintKeepsListWindows : public GuiProgramTest {
protected:
    PrintKeepsListWindows() : GuiProgramTest("korvane_print_keeps_list_windows") {}
    void before_startup() override
    {
        install_qt_print_service();
        fs::copy_file(fs::path(KV_PROGRAM_PATH).parent_path() / "sample.mod", folder / "sample.mod");
    }
    void after_shutdown() override { install_print_service(nullptr); }

    // The sample analysed and its results open (the result chooser cancelled).
    void SetUp() override
    {
        MESA_ALLOCATIONS_KEPT;
        GuiProgramTest::SetUp();
        user_.emplace();
        ASSERT_NO_FATAL_FAILURE(open_results_of((folder / "sample.mod").string(), user()));
        EXPECT_TRUE(user().messages.empty()) << user().messages.front();
    }
    void TearDown() override
    {
        user_.reset();
        GuiProgramTest::TearDown();
    }

    // Opens a list in the list window, makes its table `width` pixels wide
    // and `rows` rows high, and moves its caret by keys: Down to `row`,
    // Right to the column headed `heading`. Null when the list has no table.
    TableWindow* open_list_at(const std::string& list_name, int row, const std::string& heading, int width, int rows)
    {
        for (const DataList& list : data_lists())
            if (list.name == list_name)
                list.open();
        TableWindow* t = list_window_table();
        if (!t || t->title != list_name)
            return nullptr;
        QWidget* frame = gui_backend().widget(list_frame().window);
        QWidget* client = keys();
        frame->resize(frame->width() - client->width() + width,
                      frame->height() - client->height() + table_height_for_rows(*t, rows));
        gui_settle(50);
        const int column = column_headed(*t, heading);
        EXPECT_GT(column, 0) << heading;
        for (int k = 0; k < 20 && t->current_row < row; ++k)
            WindowUser::key(keys(), Qt::Key_Down);
        for (int k = 0; k < 20 && t->current_column < column; ++k)
            WindowUser::key(keys(), Qt::Key_Right);
        gui_settle(50);
        EXPECT_EQ(t->current_row, row);
        EXPECT_EQ(t->current_column, column);
        return t;
    }

    // File > Print in the results window: the whole report, the model
    // report in front, to `to`.
    void print_report(const Destination& to)
    {
        SCOPED_TRACE(to.radio);
        user().on("PRINT_RESULTS_DIALOG", [to](QDialog* d) {
            for (QRadioButton* b : d->findChildren<QRadioButton*>())
                if (QString(b->text()).remove('&') == to.radio)
                    b->click();
            WindowUser::click(d, IDOK);
        });
        if (to.file)
            user().answer_file((folder / to.file).string());
        else
            // Qt's preview window, which has no name of its own: closed once
            // its pages are made.
            user().on("", [this](QDialog* d) {
                if (auto* pages = d->findChild<QPrintPreviewWidget*>())
                    previewed_pages = pages->pageCount();
                d->reject();
            });
        const std::size_t dialogs = user().dialogs.size();
        ASSERT_TRUE(user().menu(results_frame(), {"File", "Print"}));
        EXPECT_EQ(user().dialogs.size(), dialogs + (to.file ? 1 : 2));
        EXPECT_TRUE(user().unanswered.empty()) << user().unanswered.front();
        EXPECT_TRUE(user().messages.empty()) << user().messages.front();
        if (to.file)
            EXPECT_GT(fs::file_size(folder / to.file), 1000u);
        else
            EXPECT_GT(previewed_pages, 1);
        gui_settle(50);
    }

    static QWidget* keys() { return gui_backend().widget(list_frame().client); }
    WindowUser& user() { return *user_; }
    std::optional<WindowUser> user_;
    int previewed_pages = 0;
};

}  // namespace

// The Bends table at its third bend, on Rad. Type (a column that takes no
// typing, after the Radius it would go back to), in a window two rows
// high: each print leaves the caret there and the rows scrolled as they
// were.
TEST_F(PrintKeepsListWindows, TheBendsTableKeepsItsCellAndScrollThroughEachPrint)
{
    TableWindow* shown = open_list_at("Bends", 3, "Rad. Type", 640, 2);
    ASSERT_NE(shown, nullptr);
    TableWindow& bends = *shown;
    ASSERT_GT(bends.top_row, 0);
    const Place before = place_of(bends);
    const int layout_row = current_layout_row();
    for (const Destination& to : {TO_PDF, TO_PREVIEW, TO_TEXT}) {
        print_report(to);
        EXPECT_EQ(list_window_table(), &bends) << to.radio;
        EXPECT_EQ(place_of(bends), before) << to.radio;
        EXPECT_EQ(current_layout_row(), layout_row) << to.radio;
        EXPECT_TRUE(frame_is_visible(list_frame())) << to.radio;
    }
    // The keys go on from that cell: Right steps to the next column.
    WindowUser::key(keys(), Qt::Key_Right);
    EXPECT_EQ(bends.current_column, before.column + 1);
}

// The Limit stops table on X comp in a narrow window, its columns scrolled
// to the left: the print leaves the caret on X comp and the columns where
// they were, not on the Node column.
TEST_F(PrintKeepsListWindows, TheLimitStopsTableKeepsItsColumnScrolledAcross)
{
    TableWindow* shown = open_list_at("Limit stops", 1, "X comp", 220, 4);
    ASSERT_NE(shown, nullptr);
    TableWindow& stops = *shown;
    ASSERT_GT(stops.h_scroll, 0);
    const Place before = place_of(stops);
    print_report(TO_PDF);
    EXPECT_EQ(list_window_table(), &stops);
    EXPECT_EQ(place_of(stops), before);
}

