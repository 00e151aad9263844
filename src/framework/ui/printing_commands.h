// Printing and export commands of tables and reports: the printer settings,
// printing pages to the printer, to a PDF file and into the preview window,
// the report and CSV files, and the Print dialog (PRINT_DIALOG) that offers
// the four destinations of a report.
#pragma once

#include "framework/ui/report.h"
#include "platform/backend.h"
#include "platform/printing.h"

#include <functional>
#include <optional>
#include <string>

// ---------------------------------------------------------------------------
// Printer settings, kept under settings_key("Printer"): "Orientation",
// "Paper", "Printer", "Copies" and the four margins "Margin left" and so on
// (thousandths of an inch). Read from the backend's store at first use;
// damaged values are ignored.

inline constexpr const char* PRINTER_KEY = "Printer";

PageSetup& printer_settings();
void load_printer_settings(const SettingsStore& store);
void save_printer_settings(SettingsStore& store);
// Defaults; the next printer_settings() reads the store again (tests).
void reset_printer_settings();
// The page-setup dialog on the printer settings; written back when changed.
bool page_setup(WindowId owner);

// ---------------------------------------------------------------------------
// Pages. `render` draws the whole document (through gdi_begin/gdi_end and the
// gdi_* calls, or on the pages directly).
using PageRenderer = std::function<void(PrintDocument&)>;

// Each shows the progress of its pages and can be stopped there
// (print_progress.h); a stopped print says nothing and keeps nothing.
//
// The print dialog, then the document on the printer; true when printed.
// A printer that cannot be used, or fails, shows a message.
bool print_page_to_printer(WindowId owner, const std::string& job_name, const PageRenderer& render);
// The preview window; returns when it is closed (true when printed from it).
bool print_preview_start(WindowId owner, const std::string& title, const PageRenderer& render);
// The document as a PDF file (written beside the path and renamed into place
// when finished); false and a message when it could not be written, false
// alone when stopped (the file at the path is then as it was).
bool print_to_pdf(WindowId owner, const std::string& path, const PageRenderer& render);
// A renderer that prints a report job on pages (report_render_pages).
PageRenderer report_page_renderer(const ReportJob& job);

// ---------------------------------------------------------------------------
// Report and CSV files. The report is collected in memory and written to a
// temporary file beside the target, renamed into place when it is closed.

// The save dialog for a text ("txt") or CSV ("csv") report; starts a text
// report (its CSV form when the chosen file ends in ".csv"). True when opened.
bool open_report_file(WindowId owner, const std::string& default_name = "");
// Writes and closes the report file: "txt written." or "csv written." in
// INFO_DIALOG; a write failure shows a message and keeps the old file.
// False when nothing was written.
bool close_report_file(WindowId owner);
// Whether a report file is open (between open_* and close_report_file).
bool report_file_open();
// The save dialog "Export to Comma Separated Values file" for a CSV export;
// starts a CSV text report. "Unable to open csv file:\n%s" when the file
// cannot be written there. The caller writes the cells and calls
// close_report_file.
bool open_csv_export_file(WindowId owner, const std::string& default_name = "");
// Starts a report file on a path without a dialog (CSV form when csv is set);
// false with the message when the path cannot be written.
bool open_report_file_at(WindowId owner, const std::string& path, bool csv);

// The report path shared by the qualification modes: the data path with the
// extension "txt"; empty when none.
const std::optional<std::string>& report_file_path();
void set_report_file_path(const std::string& data_path);
void clear_report_file_path();

// ---------------------------------------------------------------------------
// The Print dialog

enum PrintDialogIds : int {
    PRINT_TO_PRINTER = 1401,
    PRINT_TO_PREVIEW = 1402,
    PRINT_TO_TEXT = 1403,
    PRINT_TO_CSV = 1404,
    PRINT_PAGE_SETUP = 1201,
};

enum class PrintDestination { Printer, Preview, TextFile, CsvFile };

extern const DialogTemplate PRINT_DIALOG;

// PRINT_DIALOG ("Print" and the job title): the destination radios "Printer",
// "Print preview", "Text file", "CSV file", a "Page Setup..." button, OK and
// Cancel. The chosen destination, null when cancelled. The last choice is
// remembered for the next time.
std::optional<PrintDestination> print_dialog(WindowId owner, const std::string& title);
// Prints the job to a destination: the printer (after the print dialog), the
// preview, or a text or CSV file (after the save dialog). True when done.
bool print_report_to(WindowId owner, const ReportJob& job, PrintDestination destination);

// The list frame's Print command: PRINT_DIALOG, then the job (the shown
// table's print operation) to the chosen destination.
bool print_sheet(WindowId owner, const ReportJob& job);
// The results window's Print command for the shown result.
bool print_results_sheet(WindowId owner, const ReportJob& job);
// The results report: several tables with a table of contents in front.
bool print_results_report(WindowId owner, const ReportJob& job);
