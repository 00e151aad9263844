// The Qt print service.
#include "platform/qt/qt_printing.h"

#include "platform/file_replace.h"
#include "platform/printing.h"
#include "platform/qt/qt_internal.h"

#include <QFile>
#include <QIODevice>
#include <QPageLayout>
#include <QPageSize>
#include <QPageSetupDialog>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QTimer>

#include <cerrno>
#include <cstdio>
#include <optional>
#include <string>
#include <utility>
#include <unistd.h>

using namespace kvqt;

namespace {

struct PaperName {
    const char* name;
    QPageSize::PageSizeId id;
};

constexpr PaperName PAPERS[] = {
    {"Letter", QPageSize::Letter}, {"Legal", QPageSize::Legal}, {"Tabloid", QPageSize::Tabloid},
    {"Ledger", QPageSize::Ledger}, {"Executive", QPageSize::Executive}, {"A3", QPageSize::A3},
    {"A4", QPageSize::A4},         {"A5", QPageSize::A5},         {"B4", QPageSize::B4},
    {"B5", QPageSize::B5},
};

QPageLayout layout_of(const PageSetup& s) {
    QPageSize::PageSizeId id = QPageSize::Letter;
    for (const PaperName& p : PAPERS)
        if (s.paper == p.name) id = p.id;
    QMarginsF margins(s.margin_left / 1000.0, s.margin_top / 1000.0, s.margin_right / 1000.0,
                      s.margin_bottom / 1000.0);
    QPageLayout::Orientation orientation =
        s.orientation == PageSetup::Landscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    return QPageLayout(QPageSize(id), orientation, margins, QPageLayout::Inch);
}

void apply_setup(QPrinter& printer, const PageSetup& s) {
    if (printer.outputFormat() == QPrinter::NativeFormat && !s.printer.empty()) printer.setPrinterName(qs(s.printer));
    printer.setFullPage(false);
    // Margins below the printer's own minimum are raised to it.
    if (!printer.setPageLayout(layout_of(s))) {
        QPageLayout l = layout_of(s);
        l.setMode(QPageLayout::StandardMode);
        printer.setPageLayout(l);
    }
    printer.setCopyCount(std::max(1, s.copies));
}

PageSetup setup_of(const QPrinter& printer, PageSetup base) {
    if (printer.outputFormat() == QPrinter::NativeFormat) base.printer = ss(printer.printerName());
    base.copies = std::max(1, printer.copyCount());
    QPageLayout l = printer.pageLayout();
    base.orientation = l.orientation() == QPageLayout::Landscape ? PageSetup::Landscape : PageSetup::Portrait;
    QPageSize::PageSizeId id = l.pageSize().id();
    for (const PaperName& p : PAPERS)
        if (p.id == id) base.paper = p.name;
    QMarginsF m = l.margins(QPageLayout::Inch);
    base.margin_left = static_cast<int>(std::lround(m.left() * 1000));
    base.margin_top = static_cast<int>(std::lround(m.top() * 1000));
    base.margin_right = static_cast<int>(std::lround(m.right() * 1000));
    base.margin_bottom = static_cast<int>(std::lround(m.bottom() * 1000));
    return base;
}

QWidget* parent_widget(WindowId owner) {
    if (!owner || !backend_installed() || std::string(backend().name()) != "qt") return nullptr;
    return static_cast<QtBackend&>(backend()).state().parent_for(owner);
}

// The activation kept across a printing dialog (none without the Qt backend).
void keep_activation(std::optional<ActivationKeeper>& keeper, WindowId owner) {
    if (backend_installed() && std::string(backend().name()) == "qt")
        keeper.emplace(static_cast<QtBackend&>(backend()).state(), parent_widget(owner));
}

// A document painted on a paged device of Qt: its pages' surface, their
// count, and the end of the painting, once, whether finished or dropped.
class QtPaintedDocument : public PrintDocument {
public:
    Surface& page() override { return *surface_; }
    int page_number() const override { return page_; }
    bool finish() override {
        if (done_) return ok_;
        done_ = true;
        surface_.reset();
        const bool painted = painter_.end();
        ok_ = ended(painted);
        return ok_;
    }
    void abort() override {
        if (done_) return;
        done_ = true;
        ok_ = false;
        surface_.reset();
        dropping();
        if (painter_.isActive()) painter_.end();
        dropped();
    }

protected:
    // Begins painting on the device: false when it cannot be painted on.
    bool begin_on(QPagedPaintDevice& device) {
        if (!painter_.begin(&device)) return false;
        surface_ = std::make_unique<QtSurface>(painter_, device.width(), device.height(), device.logicalDpiX(),
                                               device.logicalDpiY());
        return true;
    }
    // The next page of the device; false when it failed or the document ended.
    bool next_page(QPagedPaintDevice& device) {
        if (done_ || !device.newPage()) return false;
        ++page_;
        return true;
    }
    // After the painter ended (`painted` when that went well): whether the
    // document is whole.
    virtual bool ended(bool painted) = 0;
    // Before and after the painter ends when the document is dropped.
    virtual void dropping() {}
    virtual void dropped() {}
    bool done() const { return done_; }

private:
    QPainter painter_;
    std::unique_ptr<QtSurface> surface_;
    int page_ = 1;
    bool done_ = false;
    bool ok_ = false;
};

// A document on a QPrinter: the printer itself or the preview's printer.
class QtPrinterDocument : public QtPaintedDocument {
public:
    // Owns the printer.
    explicit QtPrinterDocument(std::unique_ptr<QPrinter> printer) : owned_(std::move(printer)), printer_(owned_.get()) {}
    // Draws on someone else's printer (the preview).
    explicit QtPrinterDocument(QPrinter& printer) : printer_(&printer) {}

    ~QtPrinterDocument() override {
        if (!done()) abort();
    }

    bool begin() { return begin_on(*printer_); }

    bool new_page() override {
        if (next_page(*printer_)) return true;
        if (!done()) failed_ = true;
        return false;
    }

private:
    bool ended(bool painted) override { return painted && !failed_ && printer_->printerState() != QPrinter::Error; }
    void dropping() override {
        if (owned_) printer_->abort();
    }

    std::unique_ptr<QPrinter> owned_;
    QPrinter* printer_;
    bool failed_ = false;
};

// The bytes of a PDF on their way into its temporary file, each write
// through the platform's (write_replacement). The first write that fails
// is the last: the reason is kept and nothing further is written, so that
// the document stops at its next page.
class ReplacementOutput final : public QIODevice {
public:
    explicit ReplacementOutput(int fd) : fd_(fd) { open(QIODevice::WriteOnly | QIODevice::Unbuffered); }
    bool isSequential() const override { return true; }
    bool failed() const { return !failure_.empty(); }
    const std::string& failure() const { return failure_; }

protected:
    qint64 readData(char*, qint64) override { return -1; }
    qint64 writeData(const char* data, qint64 size) override {
        if (failed()) return -1;
        if (size > 0 && !write_replacement(fd_, data, static_cast<std::size_t>(size), failure_)) return -1;
        return size;
    }

private:
    int fd_;
    std::string failure_;
};

// A PDF file: written page by page to a temporary file beside its target
// and put in its place on finish. A write that fails (a full disk) ends
// the document at its next page, with the system's reason; the file that
// was at the target stays as it was.
class QtPdfDocument : public QtPaintedDocument {
public:
    ~QtPdfDocument() override {
        if (!done()) abort();
    }

    // Makes the temporary file and begins the first page, laid out and in
    // the resolution of the printer given; false, with failure() set when
    // the system says why, when that cannot be done.
    bool begin(const std::string& target, const QPrinter& layout) {
        fd_ = file_.create(target);
        if (fd_ < 0) {
            failure_ = file_.failure();
            return false;
        }
        output_ = std::make_unique<ReplacementOutput>(fd_);
        writer_ = std::make_unique<QPdfWriter>(output_.get());
        writer_->setTitle(layout.docName());
        writer_->setResolution(layout.resolution());
        writer_->setPageLayout(layout.pageLayout());
        if (begin_on(*writer_)) return true;
        failure_ = output_->failure();
        return false;
    }

    bool new_page() override { return !output_->failed() && next_page(*writer_) && !output_->failed(); }
    std::string failure() const override { return failure_; }

private:
    bool ended(bool painted) override {
        bool ok = painted && !output_->failed();
        failure_ = output_->failure();
        if (::close(std::exchange(fd_, -1)) != 0 && ok) {
            failure_ = system_reason(errno);
            ok = false;
        }
        if (ok && !file_.put_in_place()) {
            failure_ = file_.failure();
            ok = false;
        }
        if (!ok) file_.discard();
        return ok;
    }
    void dropped() override {
        if (fd_ >= 0) ::close(std::exchange(fd_, -1));
        file_.discard();
    }

    ReplacementFile file_;
    int fd_ = -1;
    std::unique_ptr<ReplacementOutput> output_;
    std::unique_ptr<QPdfWriter> writer_;
    std::string failure_;
};

// Pages drawn into images (render_pages).
class ImageDocument : public PrintDocument {
public:
    ImageDocument(int width, int height, int dpi) : width_(width), height_(height), dpi_(dpi) { add(); }
    Surface& page() override { return *pages_.back(); }
    bool new_page() override {
        add();
        return true;
    }
    bool finish() override { return true; }
    void abort() override {}
    int page_number() const override { return static_cast<int>(pages_.size()); }
    std::vector<Image> images() const {
        std::vector<Image> out;
        for (const auto& p : pages_) out.push_back(image_of(p->image()));
        return out;
    }

private:
    void add() { pages_.push_back(std::make_unique<ImageSurface>(width_, height_, rgb(255, 255, 255), dpi_)); }
    int width_, height_, dpi_;
    std::vector<std::unique_ptr<ImageSurface>> pages_;
};

class QtPrintService : public PrintService {
public:
    bool print_dialog(WindowId owner, PageSetup& setup, int& from_page, int& to_page) override {
        chosen_.reset();
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        apply_setup(*printer, setup);
        std::optional<ActivationKeeper> keeper;
        keep_activation(keeper, owner);
        QPrintDialog dialog(printer.get(), parent_widget(owner));
        dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
        dialog.setMinMax(1, 9999);
        if (dialog.exec() != QDialog::Accepted) return false;
        setup = setup_of(*printer, setup);
        from_page = to_page = 0;
        if (printer->printRange() == QPrinter::PageRange) {
            from_page = printer->fromPage();
            to_page = printer->toPage();
        }
        // The printer as chosen (a file to print to, duplex, colour ...) is
        // the one the next open_printer uses.
        chosen_ = std::move(printer);
        chosen_setup_ = setup;
        return true;
    }

    bool page_setup_dialog(WindowId owner, PageSetup& setup) override {
        QPrinter printer(QPrinter::HighResolution);
        apply_setup(printer, setup);
        std::optional<ActivationKeeper> keeper;
        keep_activation(keeper, owner);
        QPageSetupDialog dialog(&printer, parent_widget(owner));
        if (dialog.exec() != QDialog::Accepted) return false;
        PageSetup changed = setup_of(printer, setup);
        if (changed == setup) return false;
        setup = changed;
        return true;
    }

    std::unique_ptr<PrintDocument> open_printer(const PageSetup& setup, const std::string& job_name) override {
        std::unique_ptr<QPrinter> printer;
        if (chosen_ && chosen_setup_ == setup) printer = std::move(chosen_);
        chosen_.reset();
        if (!printer) {
            printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
            apply_setup(*printer, setup);
        }
        printer->setDocName(qs(job_name));
        failure_.clear();
        if (printer->outputFormat() == QPrinter::PdfFormat) {
            // Printing to a file: written beside it and put in its place.
            const std::string target = ss(printer->outputFileName());
            if (target.empty()) return nullptr;
            return pdf_document(target, *printer);
        }
        if (!printer->isValid()) return nullptr;
        auto doc = std::make_unique<QtPrinterDocument>(std::move(printer));
        if (!doc->begin()) return nullptr;
        return doc;
    }

    std::unique_ptr<PrintDocument> open_pdf(const PageSetup& setup, const std::string& path) override {
        failure_.clear();
        if (path.empty()) return nullptr;
        QPrinter printer(QPrinter::HighResolution);
        printer.setOutputFormat(QPrinter::PdfFormat);
        apply_setup(printer, setup);
        return pdf_document(path, printer);
    }

    std::string failure() const override { return failure_; }

    bool preview(WindowId owner, PageSetup& setup, const std::string& title,
                 const std::function<void(PrintDocument&)>& render) override {
        QPrinter printer(QPrinter::HighResolution);
        apply_setup(printer, setup);
        std::optional<ActivationKeeper> keeper;
        keep_activation(keeper, owner);
        QPrintPreviewDialog dialog(&printer, parent_widget(owner));
        dialog.setWindowTitle(qs(title.empty() ? std::string("Print Preview") : "Print Preview - " + title));
        // The last paint is the one that printed when the user printed from
        // the preview; it keeps the page range chosen in Qt's print dialog.
        // A paint asked for while one is being made (the renderer serves the
        // windows between its pages) is not made: the preview has the one
        // under way. A stopped paint closes the preview.
        bool last_ok = true;
        bool painting = false;
        bool stopped = false;
        QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                         [&render, &last_ok, &painting, &stopped, &dialog](QPrinter* p) {
            if (painting || stopped) return;
            last_ok = false;
            painting = true;
            guarded("print preview", [&] {
                QtPrinterDocument doc(*p);
                if (!doc.begin()) return;
                const bool ranged = p->printRange() == QPrinter::PageRange && p->fromPage() > 0;
                std::optional<PageRangeDocument> part;
                if (ranged) part.emplace(doc, p->fromPage(), std::max(p->fromPage(), p->toPage()));
                PrintDocument& target = part ? static_cast<PrintDocument&>(*part) : doc;
                try {
                    if (render) render(target);
                } catch (const PrintCancelled&) {
                    doc.finish();
                    stopped = true;
                    QTimer::singleShot(0, &dialog, [&dialog] { dialog.reject(); });
                    return;
                } catch (...) {
                    doc.finish();   // the painter must end before the preview goes on
                    throw;
                }
                last_ok = doc.finish();
            });
            painting = false;
        });
        bool printed = dialog.exec() == QDialog::Accepted && last_ok && !stopped;
        setup = setup_of(printer, setup);
        return printed;
    }

    std::vector<Image> render_pages(const PageSetup& setup, int dpi,
                                    const std::function<void(PrintDocument&)>& render) override {
        dpi = std::clamp(dpi, 10, 600);
        QRect area = layout_of(setup).paintRectPixels(dpi);
        ImageDocument doc(std::max(1, area.width()), std::max(1, area.height()), dpi);
        if (render) render(doc);
        return doc.images();
    }

private:
    // A PDF at the target as the printer lays it out; null, with failure_
    // set, when it cannot be begun (the document removes what was made).
    std::unique_ptr<PrintDocument> pdf_document(const std::string& target, const QPrinter& layout) {
        auto doc = std::make_unique<QtPdfDocument>();
        if (!doc->begin(target, layout)) {
            failure_ = doc->failure();
            return nullptr;
        }
        return doc;
    }

    std::unique_ptr<QPrinter> chosen_;   // the printer the last print dialog set up
    PageSetup chosen_setup_;
    std::string failure_;   // why the last PDF could not be opened
};

}  // namespace

void install_qt_print_service() { install_print_service(std::make_unique<QtPrintService>()); }
