// Printing and export commands: printer settings, printer, preview and PDF
// output, report and CSV files, and the Print dialog.
#include "framework/ui/printing_commands.h"

#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/messages.h"
#include "framework/ui/print_progress.h"
#include "platform/file_replace.h"
#include "platform/null_surface.h"

#include <climits>
#include <filesystem>
#include <memory>
#include <utility>

// ---------------------------------------------------------------------------
// Printer settings

namespace {

// What the printing commands remember: the page set-up (loaded from the
// settings once), the report file chosen last and the last destination.
struct PrinterMemory {
    PageSetup setup;
    bool setup_loaded = false;
    std::optional<std::string> report_path;
    PrintDestination last_destination = PrintDestination::Printer;
};
PrinterMemory& printer_memory() { return session_part<PrinterMemory>(); }

constexpr const char* KNOWN_PAPERS[] = {"Letter", "Legal", "Tabloid", "Ledger", "Executive",
                                        "A3",     "A4",    "A5",      "B4",     "B5"};

bool known_paper(const std::string& name) {
    for (const char* p : KNOWN_PAPERS)
        if (name == p) return true;
    return false;
}

constexpr int MAX_MARGIN = 3000;   // thousandths of an inch
constexpr int MAX_COPIES = 999;

void store_settings() {
    if (backend_installed()) save_printer_settings(backend().settings());
}

}  // namespace

PageSetup& printer_settings() {
    if (!printer_memory().setup_loaded) {
        printer_memory().setup_loaded = true;
        if (backend_installed()) load_printer_settings(backend().settings());
    }
    return printer_memory().setup;
}

void load_printer_settings(const SettingsStore& store) {
    const std::string key = settings_key(PRINTER_KEY);
    PageSetup s;
    if (auto v = store.get_int(key, "Orientation"); v && (*v == PageSetup::Portrait || *v == PageSetup::Landscape))
        s.orientation = *v;
    if (auto v = store.get_string(key, "Paper"); v && known_paper(*v)) s.paper = *v;
    if (auto v = store.get_string(key, "Printer"); v && v->size() < 256) s.printer = *v;
    if (auto v = store.get_int(key, "Copies"); v && *v >= 1 && *v <= MAX_COPIES) s.copies = *v;
    auto margin = [&](const char* name, int& field) {
        if (auto v = store.get_int(key, name); v && *v >= 0 && *v <= MAX_MARGIN) field = *v;
    };
    margin("Margin left", s.margin_left);
    margin("Margin top", s.margin_top);
    margin("Margin right", s.margin_right);
    margin("Margin bottom", s.margin_bottom);
    printer_memory().setup = s;
    printer_memory().setup_loaded = true;
}

void save_printer_settings(SettingsStore& store) {
    const std::string key = settings_key(PRINTER_KEY);
    const PageSetup& s = printer_memory().setup;
    store.set_int(key, "Orientation", s.orientation);
    store.set_string(key, "Paper", s.paper);
    store.set_string(key, "Printer", s.printer);
    store.set_int(key, "Copies", s.copies);
    store.set_int(key, "Margin left", s.margin_left);
    store.set_int(key, "Margin top", s.margin_top);
    store.set_int(key, "Margin right", s.margin_right);
    store.set_int(key, "Margin bottom", s.margin_bottom);
}

void reset_printer_settings() {
    printer_memory().setup = PageSetup{};
    printer_memory().setup_loaded = false;
}

namespace {

bool service_ready(WindowId owner) {
    if (print_service_installed()) return true;
    message_error(owner, "Printing is not available.");
    return false;
}

// Runs the renderer while its progress shows; a document whose rendering
// threw or was stopped is dropped. False when the user stopped it.
bool render_into(WindowId owner, const std::string& title, PrintDocument& doc, const PageRenderer& render) {
    bool done = false;
    try {
        done = render_with_progress(owner, title, doc, render);
    } catch (...) {
        doc.abort();
        throw;
    }
    if (!done) doc.abort();
    return done;
}

}  // namespace

bool page_setup(WindowId owner) {
    if (!service_ready(owner)) return false;
    PageSetup s = printer_settings();
    if (!print_service().page_setup_dialog(owner, s)) return false;
    printer_memory().setup = s;
    store_settings();
    return true;
}

// ---------------------------------------------------------------------------
// Pages

bool print_page_to_printer(WindowId owner, const std::string& job_name, const PageRenderer& render) {
    if (!service_ready(owner)) return false;
    PageSetup s = printer_settings();
    int from = 0, to = 0;
    if (!print_service().print_dialog(owner, s, from, to)) return false;
    if (!(s == printer_memory().setup)) {
        printer_memory().setup = s;
        store_settings();
    }
    std::unique_ptr<PrintDocument> doc = print_service().open_printer(s, job_name);
    if (!doc) {
        message_error(owner, c_format("Unable to print on the printer %s",
                                      s.printer.empty() ? "(default)" : s.printer.c_str()));
        return false;
    }
    bool ranged = from > 0 && to >= from;
    if (ranged) {
        PageRangeDocument part(*doc, from, to);
        if (!render_into(owner, job_name, part, render)) return false;
        if (!part.reached_range()) {
            doc->abort();   // the document has no page in the range: nothing to print
            message_error(owner, c_format("There is no page %d to print.", from));
            return false;
        }
    } else if (!render_into(owner, job_name, *doc, render)) {
        return false;
    }
    if (!doc->finish()) {
        message_error(owner, "Printing failed.");
        return false;
    }
    return true;
}

bool print_preview_start(WindowId owner, const std::string& title, const PageRenderer& render) {
    if (!service_ready(owner)) return false;
    PageSetup s = printer_settings();
    // The preview's pages are made while their progress shows; stopped,
    // the preview closes.
    const PageRenderer with_progress = [owner, title, render](PrintDocument& doc) {
        if (!render_with_progress(owner, title, doc, render)) throw PrintCancelled{};
    };
    bool printed = print_service().preview(owner, s, title, with_progress);
    if (!(s == printer_memory().setup)) {
        printer_memory().setup = s;
        store_settings();
    }
    return printed;
}

bool print_to_pdf(WindowId owner, const std::string& path, const PageRenderer& render) {
    if (!service_ready(owner)) return false;
    std::unique_ptr<PrintDocument> doc = print_service().open_pdf(printer_settings(), path);
    if (!doc) {
        message_error(owner, with_reason(c_format("Unable to open pdf file:\n%s", path.c_str()), print_service().failure()));
        return false;
    }
    // Stopped, the temporary file goes and the file at the path stays as it was.
    if (!render_into(owner, std::filesystem::path(path).filename().string(), *doc, render)) return false;
    if (!doc->finish()) {
        message_error(owner, with_reason(c_format("Unable to write pdf file:\n%s", path.c_str()), doc->failure()));
        return false;
    }
    return true;
}

PageRenderer report_page_renderer(const ReportJob& job) {
    return [job](PrintDocument& doc) { report_render_pages(doc, job); };
}

// ---------------------------------------------------------------------------
// Report files

namespace {

struct ReportFile {
    BinFile file;
    bool open = false;
    bool csv = false;
};

ReportFile& report_file() {
    return session_part<ReportFile>();
}


const char* kind_of(bool csv) { return csv ? "csv" : "txt"; }

// Opens the temporary file beside the path; the message when it cannot.
bool open_file(WindowId owner, const std::string& path, bool csv) {
    ReportFile& f = report_file();
    if (f.open) {
        f.file.abandon();
        f.open = false;
    }
    if (path.empty() || !f.file.open_write(path)) {
        const std::string reason = f.file.failure();
        f.file.abandon();
        message_error(owner, with_reason(c_format("Unable to open %s file:\n%s", kind_of(csv), path.c_str()), reason));
        return false;
    }
    f.open = true;
    f.csv = csv;
    return true;
}

// Writes the text and renames the file into place.
bool finish_file(WindowId owner, const std::string& text) {
    ReportFile& f = report_file();
    if (!f.open) return false;
    f.open = false;
    f.file.write(text.data(), text.size());
    std::string path = f.file.path();
    if (!f.file.close()) {
        message_error(owner,
                      with_reason(c_format("Unable to write %s file:\n%s", kind_of(f.csv), path.c_str()), f.file.failure()));
        return false;
    }
    info_dialog(owner, f.csv ? "csv written." : "txt written.");
    return true;
}

void drop_file() {
    ReportFile& f = report_file();
    if (f.open) f.file.abandon();
    f.open = false;
}

std::optional<std::string> ask_report_path(WindowId owner, bool csv_only, const std::string& default_name) {
    FileDialogRequest r;
    if (csv_only) {
        r.title = "Export to Comma Separated Values file";
        r.filters = {{"Comma Separated Values file (*.csv)", "*.csv"}};
        r.default_extension = "csv";
    } else {
        r.title = "Save Report As";
        r.filters = {{"Text file (*.txt)", "*.txt"}, {"Comma Separated Values file (*.csv)", "*.csv"}};
        r.default_extension = "txt";
    }
    // Never the file chosen last in another dialog (that may be the model):
    // the given name, the remembered report, the model's name with the
    // report's extension, or a plain report name.
    const std::string extension = csv_only ? "csv" : "txt";
    if (!default_name.empty())
        r.initial_path = default_name;
    else if (report_file_path())
        r.initial_path = csv_only ? replace_extension(*report_file_path(), extension) : *report_file_path();
    else if (!model_file_path().empty())
        r.initial_path = replace_extension(model_file_path(), extension);
    else
        r.initial_path = "report." + extension;
    if (!save_file_dialog_path(owner, r)) return std::nullopt;
    return ofn_file_path();
}

}  // namespace

bool open_report_file_at(WindowId owner, const std::string& path, bool csv) {
    if (!open_file(owner, path, csv)) return false;
    report_begin_text(csv, 1);
    return true;
}

bool open_report_file(WindowId owner, const std::string& default_name) {
    std::optional<std::string> path = ask_report_path(owner, false, default_name);
    if (!path) return false;
    return open_report_file_at(owner, *path, file_extension(*path) == "csv");
}

bool open_csv_export_file(WindowId owner, const std::string& default_name) {
    std::optional<std::string> path = ask_report_path(owner, true, default_name);
    if (!path) return false;
    return open_report_file_at(owner, *path, true);
}

bool close_report_file(WindowId owner) {
    if (!report_file().open) return false;
    std::string text = report_end_text();
    return finish_file(owner, text);
}

bool report_file_open() { return report_file().open; }

const std::optional<std::string>& report_file_path() { return printer_memory().report_path; }

void set_report_file_path(const std::string& data_path) {
    if (data_path.empty())
        printer_memory().report_path.reset();
    else
        printer_memory().report_path = replace_extension(data_path, "txt");
}

void clear_report_file_path() { printer_memory().report_path.reset(); }

// ---------------------------------------------------------------------------
// The Print dialog

namespace {


constexpr int PRINT_GROUP = 1001;


int radio_of(PrintDestination d) {
    switch (d) {
    case PrintDestination::Printer: return PRINT_TO_PRINTER;
    case PrintDestination::Preview: return PRINT_TO_PREVIEW;
    case PrintDestination::TextFile: return PRINT_TO_TEXT;
    case PrintDestination::CsvFile: return PRINT_TO_CSV;
    }
    return PRINT_TO_PRINTER;
}

class PrintDialogProc : public DialogProc {
public:
    explicit PrintDialogProc(std::string title) : title_(std::move(title)) {}

    std::optional<PrintDestination> chosen;

    void init(Dialog& d) override {
        dialog_attach(d);
        if (!title_.empty()) d.set_caption("Print " + title_);
        dialog_set_radio(PRINT_TO_PRINTER, PRINT_TO_CSV, radio_of(printer_memory().last_destination));
    }
    void command(Dialog& d, int id, int) override {
        if (id == PRINT_PAGE_SETUP) page_setup(d.window());
    }
    bool ok(Dialog& d) override {
        if (d.is_checked(PRINT_TO_PREVIEW))
            chosen = PrintDestination::Preview;
        else if (d.is_checked(PRINT_TO_TEXT))
            chosen = PrintDestination::TextFile;
        else if (d.is_checked(PRINT_TO_CSV))
            chosen = PrintDestination::CsvFile;
        else
            chosen = PrintDestination::Printer;
        return true;
    }

private:
    std::string title_;
};

}  // namespace

const DialogTemplate PRINT_DIALOG = {
    "PRINT_DIALOG",
    "Print",
    {
        control(PRINT_GROUP, ControlKind::Group, "Print to", 0, 0, 2, CF_NONE, 0, 4),
        control(PRINT_TO_PRINTER, ControlKind::Radio, "Printer", 0, 0, 2, CF_CHECKED),
        control(PRINT_TO_PREVIEW, ControlKind::Radio, "Print preview", 1, 0, 2),
        control(PRINT_TO_TEXT, ControlKind::Radio, "Text file", 2, 0, 2),
        control(PRINT_TO_CSV, ControlKind::Radio, "CSV file", 3, 0, 2),
        control(PRINT_PAGE_SETUP, ControlKind::Button, "Page Set&up...", 4, 0, 2),
        control(IDOK, ControlKind::Button, "OK", 5, 0, 1, CF_DEFAULT),
        control(IDCANCEL, ControlKind::Button, "Cancel", 5, 1),
    },
};

std::optional<PrintDestination> print_dialog(WindowId owner, const std::string& title) {
    PrintDialogProc proc(title);
    if (run_dialog(PRINT_DIALOG, proc, owner) != IDOK || !proc.chosen) return std::nullopt;
    printer_memory().last_destination = *proc.chosen;
    return proc.chosen;
}

bool print_report_to(WindowId owner, const ReportJob& job, PrintDestination destination) {
    try {
        switch (destination) {
        case PrintDestination::Printer:
            return print_page_to_printer(owner, job.title, report_page_renderer(job));
        case PrintDestination::Preview:
            return print_preview_start(owner, job.title, report_page_renderer(job));
        case PrintDestination::TextFile:
        case PrintDestination::CsvFile: {
            bool csv = destination == PrintDestination::CsvFile;
            std::optional<std::string> path = ask_report_path(owner, csv, "");
            if (!path) return false;
            csv = csv || file_extension(*path) == "csv";
            if (!open_file(owner, *path, csv)) return false;
            std::string text;
            try {
                text = report_render_text(job, csv);
            } catch (...) {
                drop_file();
                throw;
            }
            return finish_file(owner, text);
        }
        }
    } catch (const MessageText& m) {
        message_error(owner, m.text);
    }
    return false;
}

bool print_sheet(WindowId owner, const ReportJob& job) {
    std::optional<PrintDestination> d = print_dialog(owner, job.title);
    return d && print_report_to(owner, job, *d);
}

bool print_results_sheet(WindowId owner, const ReportJob& job) { return print_sheet(owner, job); }

bool print_results_report(WindowId owner, const ReportJob& job) {
    ReportJob report = job;
    report.with_contents = true;
    return print_sheet(owner, report);
}
