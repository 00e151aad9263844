// A long print on the Qt backend: its dialog shows the part being printed
// and the page (of how many, once known), the windows are served between
// the pages, and Cancel stops it within a second, leaving no file behind
// (a file that was at the path stays as it was). Printing the report lays
// the lists' tables out without showing a window.
#include "analysis/ui/analysis_ui.h"
#include "framework/document.h"
#include "framework/text.h"
#include "framework/ui/frame.h"
#include "framework/ui/print_progress.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/report.h"
#include "gui/gui_dialogs.h"
#include "gui/program_fixture.h"
#include "model/ui/list_window.h"
#include "platform/qt/qt_printing.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_report.h"
#include "results/ui/results_window.h"

#include <QApplication>
#include <QDialog>
#include <QImage>
#include <QLabel>
#include <QMessageBox>
#include <QPrintPreviewDialog>
#include <QPushButton>
#include <QTimer>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>

namespace fs = std::filesystem;
using Clock = std::chrono::steady_clock;

namespace {

std::string bytes_of(const fs::path& p)
{
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

int pdf_pages(const fs::path& path)
{
    const std::string b = bytes_of(path);
    int n = 0;
    for (std::size_t at = b.find("/Type /Page"); at != std::string::npos; at = b.find("/Type /Page", at + 1))
        if (b.compare(at, 12, "/Type /Pages") != 0)
            ++n;
    return n;
}

std::vector<std::string> files_in(const fs::path& dir)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(dir))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

// A report of SECTIONS sections, each on a page of its own under its
// contents entry, with the table of contents in front.
constexpr int SECTIONS = 400;

ReportJob sections_job()
{
    return ReportJob{"Sections",
                     [] {
                         for (int k = 1; k <= SECTIONS; ++k) {
                             gdi_new_page();
                             add_contents_entry(c_format("Section %d", k), 1);
                             for (int line = 1; line <= 12; ++line)
                                 report_line(c_format("Section %d, line %d of its page", k, line));
                         }
                     },
                     true};
}

// Watches a print: records every text PRINTING_DIALOG is given, as it is
// given (the tests have the dialog given the texts of every page, so the
// record does not depend on how fast the print goes), and presses the
// dialog's Cancel once it is given page `cancel_at` or a later one. A timer
// ticking every 10 ms notes the longest pause of the event loop while the
// dialog is up, and the message boxes (which it closes).
class PrintWatch {
public:
    explicit PrintWatch(int cancel_at) : cancel_at_(cancel_at)
    {
        set_print_progress_listener(
            [this](Dialog& d, int item, const std::string& text) { given(d, item, text); });
        QObject::connect(&timer_, &QTimer::timeout, [this] { tick(); });
        last_ = Clock::now();
        timer_.start(10);
    }
    ~PrintWatch() { set_print_progress_listener({}); }
    PrintWatch(const PrintWatch&) = delete;
    PrintWatch& operator=(const PrintWatch&) = delete;

    std::set<std::string> parts, pages;
    // Each page text given, with the part the dialog named with it.
    std::vector<std::pair<std::string, std::string>> page_parts;
    std::vector<std::string> messages;
    double longest_pause_ms = 0;
    int ticks_in_dialog = 0;
    int totals_seen = 0;        // the "of N" of the pages, 0 before any
    bool several_totals = false;
    bool cancelled = false;
    Clock::time_point cancelled_at{};

    // The part named with a page text; "" when that page was not given.
    std::string part_of(const std::string& page) const
    {
        for (const auto& [part, text] : page_parts)
            if (text == page)
                return part;
        return {};
    }

private:
    void given(Dialog& d, int item, const std::string& text)
    {
        if (item == PRINTING_PART_TEXT) {
            parts.insert(text);
            part_ = text;
            return;
        }
        pages.insert(text);
        page_parts.emplace_back(part_, text);
        int number = 0, total = 0;
        if (std::sscanf(text.c_str(), "Page %d of %d", &number, &total) == 2) {
            several_totals = several_totals || (totals_seen != 0 && totals_seen != total);
            totals_seen = total;
        }
        if (cancel_at_ > 0 && !cancelled && number >= cancel_at_) {
            QWidget* dialog = gui_backend().widget(d.window());
            if (auto* cancel = dialog ? dialog->findChild<QPushButton*>(item_name(IDCANCEL)) : nullptr) {
                cancelled = true;
                cancelled_at = Clock::now();
                cancel->click();
            }
        }
    }

    void tick()
    {
        const Clock::time_point now = Clock::now();
        QWidget* modal = QApplication::activeModalWidget();
        auto* dialog = qobject_cast<QDialog*>(modal);
        const bool printing = dialog && dialog->objectName() == "PRINTING_DIALOG";
        // Pauses count while the print runs, the first paint of its dialog apart.
        if (printing && ticks_in_dialog++ > 0)
            longest_pause_ms = std::max(longest_pause_ms, std::chrono::duration<double, std::milli>(now - last_).count());
        last_ = now;
        close_message_box(modal, messages);
    }

    int cancel_at_;
    std::string part_;
    QTimer timer_;
    Clock::time_point last_;
};

class PrintProgress : public ::testing::Test {
protected:
    void SetUp() override
    {
        gui_backend();
        install_qt_print_service();
        reset_report_state();
        reset_printer_settings();
        set_report_date("12 Mar 2025");
        // The dialog is given the texts of every page.
        set_print_progress_interval(0);
        model_file_path() = "Progress test.mod";
        dir = fs::path(testing::TempDir()) / ("kv_print_progress_" + std::to_string(::getpid()));
        fs::remove_all(dir);
        fs::create_directories(dir);
    }
    void TearDown() override
    {
        install_print_service(nullptr);
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path dir;
};

double ms_between(Clock::time_point a, Clock::time_point b)
{
    return std::chrono::duration<double, std::milli>(b - a).count();
}

// Pages 1 to `last` of the sections' report were given with their parts:
// the contents in front ("Contents"), then a page for each section.
void expect_pages_named(const PrintWatch& watch, int last)
{
    const int contents = watch.totals_seen - SECTIONS;
    ASSERT_GE(contents, SECTIONS / 51 + 1);
    for (int page = 1; page <= last; ++page) {
        const std::string expected = page <= contents ? "Contents" : c_format("Section %d", page - contents);
        EXPECT_EQ(watch.part_of(c_format("Page %d of %d", page, watch.totals_seen)), expected) << "page " << page;
    }
}

}  // namespace

// A PDF of over 400 pages: the dialog counts the pages first (the contents
// need them), then shows "Page n of N" and the section being printed;
// Cancel stops it within a second, and no file is left at the path, nor
// beside it; a file that was there before is kept as it was. The windows
// are served all along: a print that stops serving them pauses near its
// length; one pause of the machine's own (other processes taking the
// processors) is tried again.
TEST_F(PrintProgress, APdfOfManyPagesShowsItsPagesAndStopsOnCancelLeavingNoFile)
{
    const fs::path earlier = dir / "earlier.pdf";
    std::ofstream(earlier, std::ios::binary) << "the report printed before";
    const ReportJob job = sections_job();
    for (const fs::path& target : {dir / "new.pdf", earlier}) {
        SCOPED_TRACE(target.filename().string());
        double shortest_pause_ms = 1e9;
        for (int attempt = 0; attempt < 3 && shortest_pause_ms >= 400.0; ++attempt) {
            PrintWatch watch(40);
            EXPECT_FALSE(print_to_pdf(0, target.string(), report_page_renderer(job)));
            const Clock::time_point stopped = Clock::now();
            ASSERT_TRUE(watch.cancelled);
            EXPECT_LT(ms_between(watch.cancelled_at, stopped), 1000.0);
            EXPECT_TRUE(watch.messages.empty()) << watch.messages.front();
            // Counted first, then every page of one total: the sections and
            // the contents in front of them (50 lines a page at the most).
            EXPECT_TRUE(std::any_of(watch.pages.begin(), watch.pages.end(), [](const std::string& t) {
                return t.rfind("Counting the pages: ", 0) == 0;
            }));
            EXPECT_FALSE(watch.several_totals);
            EXPECT_GT(watch.totals_seen, SECTIONS);
            EXPECT_LE(watch.totals_seen, SECTIONS + SECTIONS / 50 + 2);
            EXPECT_TRUE(std::any_of(watch.parts.begin(), watch.parts.end(),
                                    [](const std::string& t) { return t.rfind("Section ", 0) == 0; }));
            // It stopped at the page it was cancelled at.
            EXPECT_EQ(watch.page_parts.back().second, c_format("Page 40 of %d", watch.totals_seen));
            shortest_pause_ms = std::min(shortest_pause_ms, watch.longest_pause_ms);
        }
        EXPECT_LT(shortest_pause_ms, 400.0);
    }
    EXPECT_EQ(files_in(dir), std::vector<std::string>{"earlier.pdf"});
    EXPECT_EQ(bytes_of(earlier), "the report printed before");
    EXPECT_FALSE(report_state().printing_pages);

    // Left alone, the same print writes every page; the contents pages in
    // front are named so from the counting of them on.
    PrintWatch watch(0);
    ASSERT_TRUE(print_to_pdf(0, earlier.string(), report_page_renderer(job)));
    EXPECT_EQ(pdf_pages(earlier), watch.totals_seen);
    EXPECT_EQ(files_in(dir), std::vector<std::string>{"earlier.pdf"});
    expect_pages_named(watch, watch.totals_seen);
    EXPECT_EQ(watch.part_of(c_format("Counting the pages: %d", watch.totals_seen)), "Contents");
}

// The preview's pages show their progress too, the contents pages named
// so; Cancel stops the making of them and the preview closes.
TEST_F(PrintProgress, ThePreviewsPagesStopOnCancelAndThePreviewCloses)
{
    PrintWatch watch(20);
    const ReportJob job = sections_job();
    EXPECT_FALSE(print_preview_start(0, job.title, report_page_renderer(job)));
    const Clock::time_point stopped = Clock::now();
    ASSERT_TRUE(watch.cancelled);
    EXPECT_LT(ms_between(watch.cancelled_at, stopped), 1000.0);
    EXPECT_TRUE(watch.messages.empty()) << watch.messages.front();
    expect_pages_named(watch, 20);
    EXPECT_EQ(watch.page_parts.back().second, c_format("Page 20 of %d", watch.totals_seen));
    for (QWidget* w : QApplication::topLevelWidgets()) {
        if (auto* preview = qobject_cast<QPrintPreviewDialog*>(w)) {
            EXPECT_FALSE(preview->isVisible());
        }
    }
    EXPECT_FALSE(report_state().printing_pages);
}

namespace {

struct TimedFrame : FrameEvents {
    int timers = 0;
    void on_command(int) override {}
    void on_timer(int) override { ++timers; }
};

// A client painted all in its colour; it counts its paints.
struct ColourClient : ClientEvents {
    Color colour = rgb(0, 128, 0);
    int paints = 0;
    void on_paint(Surface& s, const Rect&) override
    {
        ++paints;
        s.fill_rect(Rect{0, 0, s.width(), s.height()}, colour);
    }
};

}  // namespace

// While a print runs, the windows it serves keep still: a client repaints
// (asked to, or uncovered) with the picture it showed, without painting
// anew, so that a change of what it draws shows only once the print has
// ended; a frame's timer and a posted call wait for the end too.
TEST_F(PrintProgress, TheWindowsItServesKeepStillUntilItEnds)
{
    QtBackend& b = gui_backend();
    TimedFrame frame;
    ColourClient client;
    const WindowId f = b.create_frame("KorvaneTestFrame", "Held", &frame);
    const WindowId c = b.create_client(f, &client);
    b.show_window(f, WindowPlacement::SHOW_NORMAL);
    ASSERT_TRUE(gui_wait_for([&] { return client.paints > 0; }));
    const auto colour_shown = [&] { return b.widget(c)->grab().toImage().pixelColor(3, 3); };
    ASSERT_EQ(colour_shown(), QColor(0, 128, 0));

    int posted = 0;
    int paints_during = -1, timers_during = -1, posted_during = -1;
    QColor shown_during;
    const bool printed = print_to_pdf(0, (dir / "still.pdf").string(), [&](PrintDocument& doc) {
        const int paints = client.paints;
        client.colour = rgb(200, 0, 0);
        b.invalidate(c);
        b.set_timer(f, 7, 5);
        b.post([&posted] { ++posted; });
        gui_settle(150);
        shown_during = colour_shown();
        paints_during = client.paints - paints;
        timers_during = frame.timers;
        posted_during = posted;
        doc.page().text(10, 10, "a page");
    });
    EXPECT_TRUE(printed);
    EXPECT_EQ(shown_during, QColor(0, 128, 0));
    EXPECT_EQ(paints_during, 0);
    EXPECT_EQ(timers_during, 0);
    EXPECT_EQ(posted_during, 0);

    // Once it has ended, what waited comes.
    EXPECT_TRUE(gui_wait_for([&] { return posted == 1 && frame.timers > 0; }));
    b.kill_timer(f, 7);
    EXPECT_EQ(colour_shown(), QColor(200, 0, 0));
    b.destroy_window(f);
    b.process_events();
}

// ---------------------------------------------------------------------------

namespace {

// The top-level windows that come on the screen while it watches: their
// object names, or titles when they have none.
class ShownWindows : public QObject {
public:
    ShownWindows() { qApp->installEventFilter(this); }
    ~ShownWindows() override { qApp->removeEventFilter(this); }
    std::vector<std::string> shown;

protected:
    bool eventFilter(QObject* object, QEvent* event) override
    {
        auto* w = qobject_cast<QWidget*>(object);
        if (event->type() == QEvent::Show && w && w->isWindow()) {
            const QString name = w->objectName().isEmpty() ? w->windowTitle() : w->objectName();
            shown.push_back(name.toStdString());
        }
        return false;
    }
};

// The program on the sample model; the result chooser is cancelled, messages
// are recorded and closed.
class PrintShowsNoWindows : public GuiProgramTest {
protected:
    PrintShowsNoWindows() : GuiProgramTest("korvane_print_shows_no_windows") {}
    void before_startup() override
    {
        install_qt_print_service();
        fs::copy_file(fs::path(KV_PROGRAM_PATH).parent_path() / "sample.mod", folder / "sample.mod");
    }
    void after_shutdown() override { install_print_service(nullptr); }
    void SetUp() override
    {
        GuiProgramTest::SetUp();
        answers_watch = std::make_unique<ModalWatch>([this](QWidget* modal) {
            if (close_message_box(modal, messages))
                return;
            auto* dialog = qobject_cast<QDialog*>(modal);
            if (dialog && dialog->objectName().toStdString() == result_chooser_template()) {
                ++choosers;
                dialog->reject();
            }
        });
        open_by_extension((folder / "sample.mod").string());
        QCoreApplication::processEvents();
        ASSERT_FALSE(frame_is_visible(list_frame()));
    }
    // Prints the report of the selection to a PDF while it records the
    // windows shown: every one but the print's own dialog.
    std::vector<std::string> windows_shown_by_printing(const ResultsReportSelection& selection, int& pages)
    {
        const fs::path pdf = folder / "report.pdf";
        ShownWindows watch;
        const bool printed = print_to_pdf(main_frame().window, pdf.string(),
                                          report_page_renderer(results_report_job(selection)));
        EXPECT_TRUE(printed) << (messages.empty() ? "" : messages.front());
        pages = printed ? pdf_pages(pdf) : 0;
        std::vector<std::string> others;
        for (const std::string& name : watch.shown)
            if (name != "PRINTING_DIALOG")
                others.push_back(name);
        return others;
    }

    void TearDown() override
    {
        answers_watch.reset();
        GuiProgramTest::TearDown();
    }

    std::vector<std::string> messages;
    int choosers = 0;
    std::unique_ptr<ModalWatch> answers_watch;
};

}  // namespace

// The whole results report of the analysed sample, the model report with
// every list's table in front: no window comes on the screen but the
// print's dialog, the list window stays hidden, and the results window is
// the one in front as before.
TEST_F(PrintShowsNoWindows, TheWholeResultsReportLaysTheListsTablesOutUnseen)
{
    ASSERT_TRUE(analyze_command(main_frame().window)) << (messages.empty() ? "" : messages.front());
    open_results();
    ASSERT_TRUE(gui_wait_for([this] {
        return in_results() && frame_is_visible(results_frame()) && choosers > 0 &&
               QApplication::activeModalWidget() == nullptr;
    }));
    const std::string results_title = frame_title(results_frame());

    const ResultsReportSelection selection = default_report_selection();
    ASSERT_TRUE(selection.model_report);
    int pages = 0;
    EXPECT_EQ(windows_shown_by_printing(selection, pages), std::vector<std::string>{});
    EXPECT_GT(pages, 5);
    EXPECT_FALSE(frame_is_visible(list_frame()));
    EXPECT_TRUE(frame_is_visible(results_frame()));
    EXPECT_EQ(frame_title(results_frame()), results_title);
    EXPECT_TRUE(messages.empty()) << messages.front();
}

// With the list window open on a table, printing the model report leaves
// it there: the same table, the same caption, and the table opened last
// (which Copy, Paste and Export act on) is still that one.
TEST_F(PrintShowsNoWindows, TheListWindowKeepsTheTableItShowed)
{
    const DataList* sections = nullptr;
    for (const DataList& list : data_lists())
        if (list.name == "Sections")
            sections = &list;
    ASSERT_NE(sections, nullptr);
    sections->open();
    QCoreApplication::processEvents();
    ASSERT_TRUE(frame_is_visible(list_frame()));
    TableWindow* shown = list_window_table();
    ASSERT_NE(shown, nullptr);
    const std::string caption = frame_title(list_frame());

    ResultsReportSelection selection;
    selection.model_report = true;
    int pages = 0;
    EXPECT_EQ(windows_shown_by_printing(selection, pages), std::vector<std::string>{});
    EXPECT_GT(pages, 1);
    EXPECT_EQ(list_window_table(), shown);
    EXPECT_EQ(last_opened_table(), shown);
    EXPECT_EQ(frame_title(list_frame()), caption);
    EXPECT_TRUE(frame_is_visible(list_frame()));
}
