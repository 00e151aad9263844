// The installed print service.
#include "platform/printing.h"

#include <utility>

PageRangeDocument::PageRangeDocument(PrintDocument& real, int from, int to)
    : real_(real), from_(from), to_(to), skip_([this]() -> Surface& { return real_.page(); }) {}

bool PageRangeDocument::new_page() {
    const bool was_printed = in_range();
    ++page_;
    if (in_range() && was_printed) return real_.new_page();
    return true;
}

namespace {

// Stands in until a backend installs its service: no printer, no dialogs,
// no pages, so that a print command fails politely instead of crashing.
class NoPrintService : public PrintService {
public:
    bool print_dialog(WindowId, PageSetup&, int&, int&) override { return false; }
    bool page_setup_dialog(WindowId, PageSetup&) override { return false; }
    std::unique_ptr<PrintDocument> open_printer(const PageSetup&, const std::string&) override { return nullptr; }
    std::unique_ptr<PrintDocument> open_pdf(const PageSetup&, const std::string&) override { return nullptr; }
    bool preview(WindowId, PageSetup&, const std::string&, const std::function<void(PrintDocument&)>&) override {
        return false;
    }
    std::vector<Image> render_pages(const PageSetup&, int, const std::function<void(PrintDocument&)>&) override {
        return {};
    }
};

std::unique_ptr<PrintService>& installed() {
    static std::unique_ptr<PrintService> service;
    return service;
}

}  // namespace

PrintService& print_service() {
    static NoPrintService none;
    std::unique_ptr<PrintService>& s = installed();
    return s ? *s : none;
}

bool print_service_installed() { return installed() != nullptr; }

void install_print_service(std::unique_ptr<PrintService> service) { installed() = std::move(service); }

void remove_print_service() { installed().reset(); }
