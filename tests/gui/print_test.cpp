// The Qt print service: a graphic report printed to PDF, page images and the
// preview window.
#include "framework/printing_commands.h"
#include "framework/report.h"
#include "framework/text.h"
#include "gui/gui_fixture.h"
#include "platform/qt/qt_printing.h"

#include <QPrintPreviewDialog>
#include <QTimer>

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
        set_report_date("12 Mar 2025");
        report_model_title() = "Print test";
        dir = fs::path(testing::TempDir()) / ("kv_print_" + std::to_string(::getpid()));
        fs::create_directories(dir);
    }
    void TearDown() override {
        reset_report_state();
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

bool has_ink(const Image& img) {
    for (uint32_t p : img.pixels)
        if ((p & 0x00FFFFFFu) != 0x00FFFFFFu) return true;
    return false;
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

}  // namespace
