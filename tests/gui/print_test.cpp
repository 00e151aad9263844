// The Qt print service: a graphic report printed to PDF, page images and the
// preview window.
#include "framework/document.h"
#include "framework/text.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/report.h"
#include "gui/gui_dialogs.h"
#include "platform/file_replace.h"
#include "platform/qt/qt_printing.h"

#include <QLineEdit>
#include <QMessageBox>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPrinter>
#include <QTimer>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <sstream>

namespace {

namespace fs = std::filesystem;

class GuiPrintTest : public ::testing::Test {
protected:
    void SetUp() override {
        gui_backend();
        install_qt_print_service();
        reset_report_state();
        reset_printer_settings();
        set_report_date("12 Mar 2025");
        model_file_path() = "Print test.mod";
        dir = fs::path(testing::TempDir()) / ("kv_print_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        install_print_service(nullptr);
        std::error_code ec;
        fs::remove_all(dir, ec);
    }
    fs::path dir;
};

// Two pages and a bit of a graphic report: a title bar and numbered lines.
ReportJob two_page_job() {
    return ReportJob{"Two pages", [] {
                         add_contents_entry("Lines", 0);
                         gdi_print_title_bar("Report lines");
                         gdi_next_line();
                         int first_page = gdi_page_number();
                         for (int i = 1; gdi_page_number() < first_page + 2; ++i) {
                             report_line(c_format("Line %d of the report", i));
                         }
                         report_line("on the last page");
                     },
                     false};
}

std::string read_file(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST_F(GuiPrintTest, GraphicReportToPdf) {
    fs::path pdf = dir / "report.pdf";
    ASSERT_TRUE(print_to_pdf(0, pdf.string(), report_page_renderer(two_page_job())));
    std::string bytes = read_file(pdf);
    ASSERT_GT(bytes.size(), 4u);
    EXPECT_EQ(bytes.substr(0, 4), "%PDF");
    EXPECT_NE(bytes.find("%%EOF"), std::string::npos);
    // Only the PDF is left: the temporary file was renamed into place.
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    EXPECT_FALSE(report_state().printing_pages);

    // A folder that does not exist gives no document and no file.
    EXPECT_EQ(print_service().open_pdf(PageSetup{}, (dir / "none" / "x.pdf").string()), nullptr);
    EXPECT_FALSE(fs::exists(dir / "none"));
}

TEST_F(GuiPrintTest, PdfDocumentThatIsAbortedLeavesNothing) {
    fs::path pdf = dir / "dropped.pdf";
    std::unique_ptr<PrintDocument> doc = print_service().open_pdf(PageSetup{}, pdf.string());
    ASSERT_NE(doc, nullptr);
    doc->page().text(10, 10, "never kept");
    doc->abort();
    doc.reset();
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 0);
}

TEST_F(GuiPrintTest, RenderPagesGivesImagesWithInk) {
    PageSetup setup;
    std::vector<Image> pages = print_service().render_pages(setup, 60, report_page_renderer(two_page_job()));
    ASSERT_EQ(pages.size(), 3u);
    // Letter less 0.75 inch margins at 60 dpi: 7 x 9.5 inches.
    EXPECT_EQ(pages[0].width, 420);
    EXPECT_EQ(pages[0].height, 570);
    for (const Image& img : pages) EXPECT_TRUE(has_ink(img));
}

TEST_F(GuiPrintTest, PreviewOpensAndClosesFromATimer) {
    int renders = 0;
    bool seen = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            if (auto* preview = qobject_cast<QPrintPreviewDialog*>(w); preview && preview->isVisible()) {
                seen = true;
                preview->reject();
            }
        }
    });
    closer.start(100);
    ReportJob job = two_page_job();
    bool printed = print_preview_start(0, "Two pages", [&](PrintDocument& doc) {
        ++renders;
        report_render_pages(doc, job);
    });
    closer.stop();
    EXPECT_FALSE(printed);
    EXPECT_TRUE(seen);
    EXPECT_GE(renders, 1);
    EXPECT_FALSE(report_state().printing_pages);
}

// Three pages, each showing its number.
void three_pages(PrintDocument& doc) {
    for (int p = 1; p <= 3; ++p) {
        if (p > 1) doc.new_page();
        doc.page().text(100, 100, c_format("page %d", p));
    }
}

int pdf_pages(const fs::path& path) {
    const std::string b = read_file(path);
    int n = 0;
    for (size_t at = b.find("/Type /Page"); at != std::string::npos; at = b.find("/Type /Page", at + 1))
        if (b.compare(at, 12, "/Type /Pages") != 0) ++n;
    return n;
}

// Printing from the preview: Qt's print button runs its print dialog on the
// preview's printer and asks for the pages again. A page range chosen there
// (here page 2 only) leaves pages 1 and 3 out.
TEST_F(GuiPrintTest, PrintingFromThePreviewKeepsThePageRange) {
    const fs::path pdf = dir / "from_preview.pdf";
    bool done = false;
    QTimer t;
    QObject::connect(&t, &QTimer::timeout, [&] {
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* preview = qobject_cast<QPrintPreviewDialog*>(w);
            if (!preview || !preview->isVisible() || done) continue;
            done = true;
            QPrinter* printer = preview->printer();
            // What the print dialog leaves on the printer: a file and pages 2 to 2.
            printer->setOutputFormat(QPrinter::PdfFormat);
            printer->setOutputFileName(QString::fromStdString(pdf.string()));
            printer->setPrintRange(QPrinter::PageRange);
            printer->setFromTo(2, 2);
            preview->findChild<QPrintPreviewWidget*>()->print();
            preview->accept();
        }
    });
    t.start(100);
    const bool printed = print_preview_start(0, "Range", three_pages);
    t.stop();
    ASSERT_TRUE(done);
    EXPECT_TRUE(printed);
    ASSERT_TRUE(fs::exists(pdf));
    EXPECT_EQ(pdf_pages(pdf), 1);
}

// A file chosen in the print dialog (this machine has no printers, so the
// dialog offers print to file) is written, through a temporary file.
TEST_F(GuiPrintTest, PrintToFileChosenInThePrintDialogIsWritten) {
    const fs::path out = dir / "chosen.pdf";
    QTimer t;
    bool seen = false;
    std::string message;
    QObject::connect(&t, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            message = box->text().toStdString();
            box->accept();
            return;
        }
        for (QWidget* w : QApplication::topLevelWidgets()) {
            auto* d = qobject_cast<QPrintDialog*>(w);
            if (!d || !d->isVisible() || seen) continue;
            seen = true;
            if (auto* f = d->findChild<QLineEdit*>("filename")) f->setText(QString::fromStdString(out.string()));
            d->accept();
        }
    });
    t.start(100);
    const bool printed = print_page_to_printer(0, "File", three_pages);
    t.stop();
    ASSERT_TRUE(seen);
    EXPECT_TRUE(printed) << message;
    EXPECT_TRUE(fs::exists(out));
    EXPECT_EQ(pdf_pages(out), 3);
    for (const auto& entry : fs::directory_iterator(dir))
        EXPECT_EQ(entry.path().filename().string().find(".tmp-"), std::string::npos) << entry.path();
}

using PrintFailureReason = GuiPrintTest;

// A PDF printed to a disk that fills up: every write of the file goes
// through the platform's write, which here takes the first 30 000 bytes and
// then fails as a full disk does. The print stops within the page whose
// write failed, writes nothing after that write, says why ("No space left
// on device.") and keeps the file that was there.
TEST_F(PrintFailureReason, APdfOnAFullDiskStopsAtItsFirstFailedWriteAndSaysWhy) {
    const fs::path pdf = dir / "report.pdf";
    std::ofstream(pdf, std::ios::binary) << "the report printed before";
    constexpr std::size_t ROOM = 30000;
    std::size_t written = 0;
    int failed_writes = 0, page_at_failure = 0, last_page = 0;
    ReplacementCalls calls = system_replacement_calls();
    calls.write = [&](int fd, const void* data, std::size_t size) -> ssize_t {
        if (written + size > ROOM) {
            if (failed_writes++ == 0) page_at_failure = gdi_page_number();
            errno = ENOSPC;
            return -1;
        }
        written += size;
        return ::write(fd, data, size);
    };
    set_replacement_calls(calls);
    // Two hundred pages of numbered lines.
    const ReportJob job{"Long report", [&] {
                            for (int i = 1; gdi_page_number() <= 200; ++i) {
                                report_line(c_format("Line %d of the report, with some words to fill it", i));
                                last_page = gdi_page_number();
                            }
                        },
                        false};
    std::vector<std::string> messages;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget())) {
            messages.push_back(box->text().toStdString());
            box->accept();
        }
    });
    closer.start(50);
    const bool printed = print_to_pdf(0, pdf.string(), report_page_renderer(job));
    closer.stop();
    set_replacement_calls(system_replacement_calls());

    EXPECT_FALSE(printed);
    EXPECT_EQ(failed_writes, 1);
    EXPECT_GT(page_at_failure, 1);
    EXPECT_LE(last_page, page_at_failure + 1);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0], "Unable to write pdf file:\n" + pdf.string() + "\nNo space left on device.");
    EXPECT_EQ(read_file(pdf), "the report printed before");
    EXPECT_EQ(std::distance(fs::directory_iterator(dir), fs::directory_iterator()), 1);
    EXPECT_FALSE(report_state().printing_pages);
}

}  // namespace
