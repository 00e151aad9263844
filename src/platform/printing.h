// Printing: printer and PDF documents, the print, page-setup and preview
// dialogs. A document hands out one drawing surface per page; coordinates are
// device dots of the page's printable area, y downwards.
#pragma once

#include "platform/handles.h"
#include "platform/null_surface.h"
#include "platform/surface.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

struct PageSetup {
    enum Orientation { Portrait = 0, Landscape = 1 };
    int orientation = Portrait;
    std::string paper = "Letter";     // "Letter", "A4", "Legal", "A3", ...
    // Margins in thousandths of an inch.
    int margin_left = 750, margin_top = 750, margin_right = 750, margin_bottom = 750;
    std::string printer;              // printer name; empty for the default printer
    int copies = 1;
    bool operator==(const PageSetup&) const = default;
};

class PrintDocument {
public:
    virtual ~PrintDocument() = default;
    // The surface of the current page; the first page exists once the document is open.
    virtual Surface& page() = 0;
    // Ends the current page and starts the next; false when the device failed.
    virtual bool new_page() = 0;
    // Ends the document; false when it could not be finished (nothing is kept then).
    virtual bool finish() = 0;
    // Drops the document (an aborted print).
    virtual void abort() = 0;
    virtual int page_number() const = 0;   // 1 for the first page
    // Why finish() failed, as a sentence (the system's reason); empty when
    // it did not or the device cannot tell.
    virtual std::string failure() const { return {}; }
};

// A document that passes everything to another: a document put in front
// of a real one overrides what it does otherwise.
class PassingDocument : public PrintDocument {
public:
    explicit PassingDocument(PrintDocument& real) : real_(real) {}
    Surface& page() override { return real_.page(); }
    bool new_page() override { return real_.new_page(); }
    bool finish() override { return real_.finish(); }
    void abort() override { real_.abort(); }
    int page_number() const override { return real_.page_number(); }
    std::string failure() const override { return real_.failure(); }

protected:
    PrintDocument& real_;
};

// Thrown out of a renderer when the user stopped the print: the document
// is dropped (a preview closes) and nothing is said.
struct PrintCancelled {};

// Passes the pages from..to of a document to a real one and measures the
// others without drawing, so that page numbers and layout stay those of the
// whole document.
class PageRangeDocument : public PrintDocument {
public:
    PageRangeDocument(PrintDocument& real, int from, int to);

    Surface& page() override { return in_range() ? real_.page() : skip_; }
    bool new_page() override;
    bool finish() override { return real_.finish(); }
    void abort() override { real_.abort(); }
    int page_number() const override { return page_; }
    // Whether any page of the range was rendered.
    bool reached_range() const { return page_ >= from_; }

private:
    bool in_range() const { return page_ >= from_ && page_ <= to_; }

    PrintDocument& real_;
    int from_, to_;
    int page_ = 1;
    MeasuringSurface skip_;
};

class PrintService {
public:
    virtual ~PrintService() = default;

    // The print dialog: true when the user chose to print (setup is updated).
    virtual bool print_dialog(WindowId owner, PageSetup& setup, int& from_page, int& to_page) = 0;
    // The page-setup dialog: true when changed.
    virtual bool page_setup_dialog(WindowId owner, PageSetup& setup) = 0;
    // Opens a document on the printer of the setup; null when the printer cannot be used.
    virtual std::unique_ptr<PrintDocument> open_printer(const PageSetup& setup, const std::string& job_name) = 0;
    // Opens a PDF document written to the path (through a temporary file renamed on finish).
    virtual std::unique_ptr<PrintDocument> open_pdf(const PageSetup& setup, const std::string& path) = 0;
    // Why the last open of a PDF failed, as a sentence; empty when it did
    // not or the service cannot tell.
    virtual std::string failure() const { return {}; }
    // The preview window: `render` draws the whole document into the given
    // document; it may be called again when the user changes the page setup.
    // A render that throws PrintCancelled closes the preview. Returns after
    // the preview is closed; true when the user printed from it.
    virtual bool preview(WindowId owner, PageSetup& setup, const std::string& title,
                         const std::function<void(PrintDocument&)>& render) = 0;
    // Page images for tests and thumbnails: renders into images of the page size at `dpi`.
    virtual std::vector<Image> render_pages(const PageSetup& setup, int dpi,
                                            const std::function<void(PrintDocument&)>& render) = 0;
};

// The installed print service (each backend installs its own).
PrintService& print_service();
bool print_service_installed();
void install_print_service(std::unique_ptr<PrintService> service);
// Back to no print service (tests).
void remove_print_service();
