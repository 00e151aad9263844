// The headless print service.
#include "platform/headless/headless_printing.h"

#include <algorithm>
#include <cmath>

namespace {

struct Paper {
    const char* name;
    double width, height;   // inches, portrait
};

constexpr Paper PAPERS[] = {
    {"Letter", 8.5, 11.0}, {"Legal", 8.5, 14.0},      {"Tabloid", 11.0, 17.0}, {"Ledger", 17.0, 11.0},
    {"Executive", 7.25, 10.5}, {"A3", 11.69, 16.54}, {"A4", 8.27, 11.69},     {"A5", 5.83, 8.27},
    {"B4", 9.84, 13.90},   {"B5", 6.93, 9.84},
};

std::vector<std::vector<std::string>> recorded(const HeadlessPrintDocument& doc) {
    std::vector<std::vector<std::string>> pages;
    for (const auto& p : doc.pages()) pages.push_back(p->lines());
    return pages;
}

}  // namespace

void page_area_dots(const PageSetup& setup, int dpi, int& width, int& height) {
    double w = 8.5, h = 11.0;
    for (const Paper& p : PAPERS)
        if (setup.paper == p.name) {
            w = p.width;
            h = p.height;
        }
    if (setup.orientation == PageSetup::Landscape) std::swap(w, h);
    w -= (setup.margin_left + setup.margin_right) / 1000.0;
    h -= (setup.margin_top + setup.margin_bottom) / 1000.0;
    // Margins that eat the page leave an inch each way rather than nothing.
    width = static_cast<int>(std::lround(std::max(w, 1.0) * dpi));
    height = static_cast<int>(std::lround(std::max(h, 1.0) * dpi));
}

HeadlessPrintDocument::HeadlessPrintDocument(int width, int height, int dpi)
    : width_(std::max(width, 1)), height_(std::max(height, 1)), dpi_(std::max(dpi, 1)) {
    pages_.push_back(std::make_unique<RecordingSurface>(width_, height_, rgb(255, 255, 255), dpi_));
}

HeadlessPrintDocument::HeadlessPrintDocument(const PageSetup& setup, int dpi) : HeadlessPrintDocument(1, 1, dpi) {
    page_area_dots(setup, dpi_, width_, height_);
    pages_.clear();
    pages_.push_back(std::make_unique<RecordingSurface>(width_, height_, rgb(255, 255, 255), dpi_));
}

bool HeadlessPrintDocument::new_page() {
    if (finished_ || aborted_) return false;
    if (fail_after_ > 0 && static_cast<int>(pages_.size()) >= fail_after_) return false;
    pages_.push_back(std::make_unique<RecordingSurface>(width_, height_, rgb(255, 255, 255), dpi_));
    return true;
}

bool HeadlessPrintDocument::finish() {
    if (aborted_) return false;
    if (!finished_) {
        finished_ = true;
        if (on_finish) on_finish(*this);
    }
    return true;
}

void HeadlessPrintDocument::abort() { aborted_ = true; }

// ---------------------------------------------------------------------------

void HeadlessPrintService::answer_print_dialog(bool ok, int from_page, int to_page) {
    print_answers_.push_back(PrintAnswer{ok, from_page, to_page});
}

void HeadlessPrintService::answer_page_setup(std::optional<PageSetup> changed) {
    setup_answers_.push_back(std::move(changed));
}

void HeadlessPrintService::answer_preview(bool print) { preview_answers_.push_back(print); }

bool HeadlessPrintService::print_dialog(WindowId, PageSetup& setup, int& from_page, int& to_page) {
    ++print_dialogs;
    PrintAnswer a;
    if (!print_answers_.empty()) {
        a = print_answers_.front();
        print_answers_.pop_front();
    }
    from_page = a.from;
    to_page = a.to;
    last_setup = setup;
    return a.ok;
}

bool HeadlessPrintService::page_setup_dialog(WindowId, PageSetup& setup) {
    ++page_setup_dialogs;
    if (setup_answers_.empty()) return false;
    std::optional<PageSetup> a = setup_answers_.front();
    setup_answers_.pop_front();
    if (!a || *a == setup) return false;
    setup = *a;
    return true;
}

std::unique_ptr<PrintDocument> HeadlessPrintService::open_printer(const PageSetup& setup, const std::string& job_name) {
    if (printer_fails) return nullptr;
    last_job_name = job_name;
    last_setup = setup;
    auto doc = std::make_unique<HeadlessPrintDocument>(setup, PRINTER_DPI);
    doc->on_finish = [this](HeadlessPrintDocument& d) { printed.push_back(recorded(d)); };
    return doc;
}

std::unique_ptr<PrintDocument> HeadlessPrintService::open_pdf(const PageSetup&, const std::string&) {
    return nullptr;
}

bool HeadlessPrintService::preview(WindowId, PageSetup& setup, const std::string& title,
                                   const std::function<void(PrintDocument&)>& render) {
    ++previews;
    last_preview_title = title;
    HeadlessPrintDocument doc(setup, PRINTER_DPI);
    try {
        if (render) render(doc);
    } catch (const PrintCancelled&) {
        // The preview closes before it is shown whole.
        last_preview_pages = recorded(doc);
        return false;
    }
    last_preview_pages = recorded(doc);
    bool print = false;
    if (!preview_answers_.empty()) {
        print = preview_answers_.front();
        preview_answers_.pop_front();
    }
    if (print) printed.push_back(last_preview_pages);
    return print;
}

std::vector<Image> HeadlessPrintService::render_pages(const PageSetup& setup, int dpi,
                                                      const std::function<void(PrintDocument&)>& render) {
    HeadlessPrintDocument doc(setup, dpi);
    if (render) render(doc);
    last_rendered_pages = recorded(doc);
    std::vector<Image> images;
    for (const auto& p : doc.pages()) {
        Image img;
        img.width = p->width();
        img.height = p->height();
        img.pixels.assign(static_cast<size_t>(img.width) * static_cast<size_t>(img.height), 0xFFFFFFFFu);
        images.push_back(std::move(img));
    }
    return images;
}

HeadlessPrintService& install_headless_print_service() {
    auto service = std::make_unique<HeadlessPrintService>();
    HeadlessPrintService& s = *service;
    install_print_service(std::move(service));
    return s;
}
