// The headless print service: documents record their pages on recording
// surfaces, so that a test can read what was printed; the print, page-setup
// and preview dialogs take queued answers (OK when none is queued).
//
// PDF output needs the window system's printing: open_pdf of this service
// returns null, and the PDF command then says that it could not open the file.
#pragma once

#include "platform/headless/recording_surface.h"
#include "platform/printing.h"

#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

// A document of recorded pages. The page size is the printable area of the
// page setup (the paper less its margins) at the given resolution.
class HeadlessPrintDocument : public PrintDocument {
public:
    HeadlessPrintDocument(int width, int height, int dpi);
    HeadlessPrintDocument(const PageSetup& setup, int dpi);

    Surface& page() override { return *pages_.back(); }
    bool new_page() override;
    bool finish() override;
    void abort() override;
    int page_number() const override { return static_cast<int>(pages_.size()); }

    const std::vector<std::unique_ptr<RecordingSurface>>& pages() const { return pages_; }
    RecordingSurface& page_at(int number) { return *pages_.at(static_cast<size_t>(number - 1)); }
    bool finished() const { return finished_; }
    bool aborted() const { return aborted_; }
    // new_page fails once the document holds this many pages (tests of a failing device).
    void fail_after_pages(int pages) { fail_after_ = pages; }
    // Called by finish() with the document (the service keeps printed pages).
    std::function<void(HeadlessPrintDocument&)> on_finish;

private:
    int width_, height_, dpi_;
    int fail_after_ = 0;
    bool finished_ = false;
    bool aborted_ = false;
    std::vector<std::unique_ptr<RecordingSurface>> pages_;
};

// The printable area of a page setup in dots at the resolution.
void page_area_dots(const PageSetup& setup, int dpi, int& width, int& height);

class HeadlessPrintService : public PrintService {
public:
    static constexpr int PRINTER_DPI = 96;

    // Answers of the next dialogs; each is used once. true is OK / Print.
    void answer_print_dialog(bool ok, int from_page = 0, int to_page = 0);
    void answer_page_setup(std::optional<PageSetup> changed);   // null: cancelled
    // The next preview: whether the user prints from it.
    void answer_preview(bool print);
    // open_printer fails (null) while this is set.
    bool printer_fails = false;

    int print_dialogs = 0;
    int page_setup_dialogs = 0;
    int previews = 0;
    std::string last_job_name;
    std::string last_preview_title;
    PageSetup last_setup;
    // Pages of the documents finished on the printer, and of the last preview
    // and render_pages, as recorded lines per page.
    std::vector<std::vector<std::vector<std::string>>> printed;
    std::vector<std::vector<std::string>> last_preview_pages;
    std::vector<std::vector<std::string>> last_rendered_pages;

    bool print_dialog(WindowId owner, PageSetup& setup, int& from_page, int& to_page) override;
    bool page_setup_dialog(WindowId owner, PageSetup& setup) override;
    std::unique_ptr<PrintDocument> open_printer(const PageSetup& setup, const std::string& job_name) override;
    std::unique_ptr<PrintDocument> open_pdf(const PageSetup& setup, const std::string& path) override;
    bool preview(WindowId owner, PageSetup& setup, const std::string& title,
                 const std::function<void(PrintDocument&)>& render) override;
    std::vector<Image> render_pages(const PageSetup& setup, int dpi,
                                    const std::function<void(PrintDocument&)>& render) override;

private:
    struct PrintAnswer {
        bool ok = true;
        int from = 0, to = 0;
    };
    std::deque<PrintAnswer> print_answers_;
    std::deque<std::optional<PageSetup>> setup_answers_;
    std::deque<bool> preview_answers_;
};

// Installs a new headless print service and returns it.
HeadlessPrintService& install_headless_print_service();
