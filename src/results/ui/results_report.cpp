#include "results/ui/results_report.h"

#include "analysis/hanger_design.h"
#include "analysis/ui/analysis_ui.h"
#include "analysis/unloaded_cases.h"
#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/printing_commands.h"
#include "framework/ui/report_pages.h"
#include "model/load_cases.h"
#include "platform/file_replace.h"
#include "model/model.h"
#include "model/ui/list_window.h"
#include "results/results_load_cases.h"
#include "results/results_state.h"
#include "results/support_summary.h"
#include "results/ui/displacement_tables.h"
#include "results/ui/element_force_tables.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"
#include "results/ui/soil_acceleration_tables.h"
#include "results/ui/stress_result_tables.h"
#include "results/ui/support_load_tables.h"

#include <algorithm>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

namespace {

constexpr const char* PART_NAMES[REPORT_PARTS] = {
    "Sorted stresses",        "Code compliance",         "Hanger report",   "Support load summary",
    "Support loads",          "Element forces (local)",  "Element forces (global)", "Displacements",
    "Soil restraints",        "Accelerations",           "Frequencies",     "Other reports"};

// The reports of other windows that the results report takes when they
// register a print entry.
constexpr int OTHER_REPORTS[] = {RESULT_BRANCH_CONNECTION, RESULT_FLANGE_REPORT,   RESULT_ROT_EQUIP_REPORT,
                                 RESULT_FRP_STRESSES,      RESULT_SORTED_FRP_STRESSES, RESULT_DYNAMIC_SUSCEPTIBILITY,
                                 RESULT_DYNAMIC_STRESSES};

// The parts printed for each chosen load case, in the order of the report.
struct CasePart {
    int part;
    void (*print)();
};
constexpr CasePart CASE_PARTS[] = {{PART_SUPPORT_LOADS, print_all_support_loads},
                                   {PART_FORCES_LOCAL, print_local_element_forces},
                                   {PART_FORCES_GLOBAL, print_global_element_forces},
                                   {PART_DISPLACEMENTS, print_displacements}};

constexpr const char* OUT_OF_DATE_LINE = "These results are out of date: the model was changed after the analysis.";

bool offered(int kind)
{
    const std::vector<int>& list = result_list();
    return std::find(list.begin(), list.end(), kind) != list.end();
}

bool printable(int kind)
{
    return offered(kind) && static_cast<bool>(results_hooks().print[static_cast<std::size_t>(kind)]);
}

void print_hooked(int kind)
{
    if (const auto& print = results_hooks().print[static_cast<std::size_t>(kind)])
        print();
}

struct ReportUi {
    bool selection_set = false;
    ResultsReportSelection selection;
};

ReportUi& report_ui()
{
    return session_part<ReportUi>();
}

// A heading of the report's own in the contents: level 0 in text and on pages.
void contents_heading(const std::string& title)
{
    if (report_state().printing_pages)
        add_contents_entry(title, 0);
    else
        report_contents_line(title);
}

// Above the tables of a case: what its run said of it (that the model
// gives it nothing to carry; for a nonlinear case its iterations and
// factorisations, the state it stands on), on the page of the first
// table's heading and first rows. The results file carries the lines, so
// that a report printed from the windows, later or in another session, has
// them as the batch run's report has. A case's lines are those named by it
// (a wind case's may name its wind load, "Wind 1" for the case Wind), each
// once; the passes of the hanger design have names of their own.
std::vector<std::string> case_lines_of(int code, const std::vector<std::string>& lines)
{
    const std::string wind = wind_case_note_name(code);
    const auto named = [](const std::string& note, const std::string& name) {
        return !name.empty() && note.rfind(name + ": ", 0) == 0;
    };
    std::vector<std::string> own;
    for (const std::string& note : lines)
        if ((named(note, load_case_names(code)) || named(note, wind)) &&
            std::find(own.begin(), own.end(), note) == own.end())
            own.push_back(note);
    return own;
}

void print_case_notes()
{
    if (report_state().csv_mode)
        return;
    for (const std::string& note : case_lines_of(results_loadcase_code(), results().run_record.case_lines))
        report_line_with_next(note);
}

// The warnings of the hanger design of the run whose results are open, as
// the results file carries its notes, in the units shown.
std::vector<std::string> hanger_design_warnings()
{
    std::vector<std::string> lines;
    for (const HangerNote& note : results().run_record.hanger_notes)
        lines.push_back(hanger_note_line(note, unit_choice()));
    return lines;
}

// What a run said of its model before the run (a batch run on standard
// error) and of its hanger design, in its report too: a heading and every
// line, indented under it and, in a text report, broken at its blanks
// within the page (a graphic page breaks it itself).
void print_run_warnings(const char* heading, const std::vector<std::string>& warnings)
{
    if (report_state().csv_mode || warnings.empty())
        return;
    constexpr int WARNING_COLUMN = REPORT_LEFT_COLUMN + 2;
    report_line(heading);
    for (const std::string& warning : warnings) {
        if (!report_state().text_report) {
            report_line("  " + warning);
            continue;
        }
        for (const std::string& line : report_wrapped_lines(warning, WARNING_COLUMN)) {
            report_print_at(line, WARNING_COLUMN);
            report_next_line();
        }
    }
    report_line("");
}

void write_report(const ResultsReportSelection& s)
{
    // Results older than their model say so on the report's first page.
    if (results_open() && results_out_of_date()) {
        report_line(OUT_OF_DATE_LINE);
        if (!report_state().csv_mode)
            report_line("");
    }
    if (results_open() && batch_mode())
        print_run_warnings(MODEL_WARNINGS_HEADING, last_analysis_model_warnings());
    if (s.model_report)
        print_model_report();
    if (!results_open())
        return;
    auto on = [&s](int part) { return s.parts[static_cast<std::size_t>(part)] && report_part_present(part); };
    if (on(PART_SORTED_STRESSES))
        print_sorted_stresses();
    if (on(PART_CODE_COMPLIANCE))
        print_code_compliance();
    if (on(PART_HANGER_REPORT)) {
        print_hooked(RESULT_HANGER_REPORT);
        print_run_warnings(HANGER_WARNINGS_HEADING, hanger_design_warnings());
    }
    if (on(PART_SUPPORT_SUMMARY))
        print_all_support_summaries();
    // The parts of the load cases one after the other, each under its own
    // heading with its tables case by case under it; a nonlinear case's note
    // of the batch run above its first table.
    if (std::any_of(std::begin(CASE_PARTS), std::end(CASE_PARTS), [&on](const CasePart& p) { return on(p.part); })) {
        std::vector<int> noted;
        const int current = results_loadcase();
        try {
            for (const CasePart& part : CASE_PARTS) {
                if (!on(part.part))
                    continue;
                add_contents_heading(PART_NAMES[part.part]);
                for (int index : s.load_cases) {
                    if (!set_results_load_case_index(index))
                        continue;
                    if (std::find(noted.begin(), noted.end(), index) == noted.end()) {
                        noted.push_back(index);
                        print_case_notes();
                    }
                    part.print();
                }
            }
        } catch (...) {
            set_results_load_case_index(current);
            throw;
        }
        set_results_load_case_index(current);
    }
    if (on(PART_SOIL_RESTRAINTS))
        print_soil_restraints();
    if (on(PART_ACCELERATIONS))
        print_accelerations();
    if (on(PART_FREQUENCIES))
        print_hooked(RESULT_FREQUENCIES);
    if (on(PART_OTHER_REPORTS)) {
        add_contents_heading(PART_NAMES[PART_OTHER_REPORTS]);
        for (int kind : OTHER_REPORTS)
            if (printable(kind))
                print_hooked(kind);
    }
}

// ---- PRINT_RESULTS_DIALOG ------------------------------------------------------------------------

enum PrintResultsIds : int {
    PR_MODEL_REPORT = 1101,        // 1102 + part: the parts
    PR_CASES = 1400,
    PR_ALL = 1201,
    PR_NONE = 1202,
    PR_PAGE_SETUP = 1203,
    PR_PRINTER = 1501,
    PR_PREVIEW,
    PR_PDF,
    PR_TEXT,
    PR_CSV,
    PR_CASES_GROUP = 1301,
    PR_PARTS_GROUP = 1302,
    PR_DESTINATION_GROUP = 1303,
};

DialogTemplate make_print_results_dialog()
{
    DialogTemplate t{"PRINT_RESULTS_DIALOG", "Print Results", {}};
    t.controls.push_back(control(PR_CASES_GROUP, ControlKind::Group, "Load cases", 0, 0, 1, CF_NONE, 0, 12));
    t.controls.push_back(control(PR_CASES, ControlKind::List, "", 0, 0, 1, CF_CLICK_CHOOSES, 0, 11));
    t.controls.push_back(control(PR_ALL, ControlKind::Button, "&All", 11, 0));
    t.controls.push_back(control(PR_NONE, ControlKind::Button, "&None", 12, 0));
    t.controls.push_back(control(PR_PARTS_GROUP, ControlKind::Group, "Print", 0, 1, 1, CF_NONE, 0, 13));
    t.controls.push_back(control(PR_MODEL_REPORT, ControlKind::Check, "&Model report", 0, 1));
    for (int part = 0; part < REPORT_PARTS; ++part)
        t.controls.push_back(control(PR_MODEL_REPORT + 1 + part, ControlKind::Check, PART_NAMES[part], 1 + part, 1));
    t.controls.push_back(
        control(PR_DESTINATION_GROUP, ControlKind::Group, "Print to", 14, 0, 2, CF_NONE, 0, 5));
    t.controls.push_back(control(PR_PRINTER, ControlKind::Radio, "&Printer", 14, 0, 1, CF_CHECKED));
    t.controls.push_back(control(PR_PREVIEW, ControlKind::Radio, "Print pre&view", 15, 0));
    t.controls.push_back(control(PR_PDF, ControlKind::Radio, "P&DF file", 16, 0));
    t.controls.push_back(control(PR_TEXT, ControlKind::Radio, "&Text file", 17, 0));
    t.controls.push_back(control(PR_CSV, ControlKind::Radio, "&CSV file", 18, 0));
    t.controls.push_back(control(PR_PAGE_SETUP, ControlKind::Button, "Page Set&up...", 14, 1));
    t.controls.push_back(control(IDOK, ControlKind::Button, "OK", 19, 0, 1, CF_DEFAULT));
    t.controls.push_back(control(IDCANCEL, ControlKind::Button, "Cancel", 19, 1));
    return t;
}

const DialogTemplate& print_results_dialog()
{
    static const DialogTemplate t = make_print_results_dialog();
    return t;
}

enum class Destination { Printer, Preview, Pdf, Text, Csv };

class PrintResultsProc final : public DialogProc {
public:
    explicit PrintResultsProc(ResultsReportSelection s) : selection(std::move(s)) {}
    ResultsReportSelection selection;
    Destination destination = Destination::Printer;

    void init(Dialog& d) override
    {
        dialog_attach(d);
        fill_cases(d);
        d.check(PR_MODEL_REPORT, selection.model_report);
        for (int part = 0; part < REPORT_PARTS; ++part) {
            const int id = PR_MODEL_REPORT + 1 + part;
            const bool present = report_part_present(part);
            d.check(id, present && selection.parts[static_cast<std::size_t>(part)]);
            d.enable(id, present);
        }
        dialog_set_radio(PR_PRINTER, PR_CSV, PR_PRINTER);
        center_window(d);
    }
    void command(Dialog& d, int id, int notification) override
    {
        switch (id) {
        case PR_CASES:
            if (notification == NOTIFY_CLICKED || notification == NOTIFY_DBLCLK)
                toggle(d, d.list_selection(PR_CASES) + 1);
            break;
        case PR_ALL:
            selection.load_cases.clear();
            for (int i = 1; i <= results().load_case_count(); ++i)
                selection.load_cases.push_back(i);
            fill_cases(d);
            break;
        case PR_NONE:
            selection.load_cases.clear();
            fill_cases(d);
            break;
        case PR_PAGE_SETUP: page_setup(d.window()); break;
        default: break;
        }
    }
    bool ok(Dialog& d) override
    {
        selection.model_report = d.is_checked(PR_MODEL_REPORT);
        for (int part = 0; part < REPORT_PARTS; ++part)
            selection.parts[static_cast<std::size_t>(part)] = d.is_checked(PR_MODEL_REPORT + 1 + part);
        destination = d.is_checked(PR_PREVIEW) ? Destination::Preview
                      : d.is_checked(PR_PDF)   ? Destination::Pdf
                      : d.is_checked(PR_TEXT)  ? Destination::Text
                      : d.is_checked(PR_CSV)   ? Destination::Csv
                                               : Destination::Printer;
        return true;
    }

private:
    bool chosen(int index) const
    {
        return std::find(selection.load_cases.begin(), selection.load_cases.end(), index) !=
               selection.load_cases.end();
    }
    void fill_cases(Dialog& d)
    {
        const int keep = std::max(0, d.list_selection(PR_CASES));
        d.list_reset(PR_CASES);
        const ResultsState& r = results();
        for (int i = 1; i <= r.load_case_count(); ++i)
            d.list_add(PR_CASES, std::string(chosen(i) ? "[x] " : "[  ] ") + load_case_names(r.load_cases[i].code));
        if (r.load_case_count() > 0)
            d.list_select(PR_CASES, std::min(keep, r.load_case_count() - 1));
    }
    void toggle(Dialog& d, int index)
    {
        if (index < 1 || index > results().load_case_count())
            return;
        std::vector<int>& cases = selection.load_cases;
        if (chosen(index))
            std::erase(cases, index);
        else {
            cases.push_back(index);
            std::sort(cases.begin(), cases.end());
        }
        fill_cases(d);
    }
};

std::string report_title()
{
    return "Results";
}

}  // namespace

const DialogTemplate& print_results_template() { return print_results_dialog(); }

const char* report_part_name(int part)
{
    return part >= 0 && part < REPORT_PARTS ? PART_NAMES[part] : "";
}

bool report_part_present(int part)
{
    if (!results_open())
        return false;
    const ResultsState& r = results();
    const bool cases = r.load_case_count() > 0;
    switch (part) {
    case PART_SORTED_STRESSES: return offered(RESULT_SORTED_STRESSES) && r.code.stresses != nullptr;
    case PART_CODE_COMPLIANCE: return offered(RESULT_CODE_COMPLIANCE) && r.code.stresses != nullptr;
    case PART_HANGER_REPORT: return printable(RESULT_HANGER_REPORT);
    case PART_SUPPORT_SUMMARY: return support_summary_built();
    case PART_SUPPORT_LOADS: return cases && r.numsupports() > 0;
    case PART_FORCES_LOCAL:
    case PART_FORCES_GLOBAL: return cases && r.numelems() > 0;
    case PART_DISPLACEMENTS: return cases;
    case PART_SOIL_RESTRAINTS: return r.soil_restraints.size() > 0;
    case PART_ACCELERATIONS: return r.available.has(LC_RESPONSE_SPECTRUM);
    case PART_FREQUENCIES: return r.modal.modes > 0 && printable(RESULT_FREQUENCIES);
    case PART_OTHER_REPORTS:
        return std::any_of(std::begin(OTHER_REPORTS), std::end(OTHER_REPORTS), [](int k) { return printable(k); });
    default: return false;
    }
}

ResultsReportSelection default_report_selection()
{
    ResultsReportSelection s;
    s.model_report = true;
    for (int i = 1; i <= results().load_case_count(); ++i)
        s.load_cases.push_back(i);
    for (int part = 0; part < REPORT_PARTS; ++part)
        s.parts[static_cast<std::size_t>(part)] = report_part_present(part);
    return s;
}

ResultsReportSelection& report_selection()
{
    ReportUi& u = report_ui();
    if (!u.selection_set) {
        u.selection = default_report_selection();
        u.selection_set = true;
    }
    return u.selection;
}

void select_first_level_report()
{
    ResultsReportSelection s = default_report_selection();
    for (int part : {PART_CODE_COMPLIANCE, PART_DISPLACEMENTS, PART_SOIL_RESTRAINTS, PART_ACCELERATIONS,
                     PART_OTHER_REPORTS})
        s.parts[static_cast<std::size_t>(part)] = false;
    report_ui().selection = s;
    report_ui().selection_set = true;
}

ReportJob results_report_job(const ResultsReportSelection& selection)
{
    ReportJob job;
    job.title = report_title();
    job.with_contents = true;
    job.write = [selection] { write_report(selection); };
    return job;
}

void print_model_report()
{
    std::vector<const DataList*> lists;
    for (const DataList& list : data_lists())
        if (list.open && list.count && list.count() > 0)
            lists.push_back(&list);
    if (lists.empty())
        return;
    // The tables print through the list window's openers, laid out without
    // being shown; what the window showed stays.
    ListTablesUnshown unshown;
    contents_heading("Model report");
    for (const DataList* list : lists) {
        list->open();
        if (TableWindow* t = list_window_table())
            t->print();
    }
}

void print_results_sheet_command(WindowId owner)
{
    if (!results_open())
        return;
    ResultsReportSelection& selection = report_selection();
    // Load cases that are no longer among the results are dropped.
    std::erase_if(selection.load_cases, [](int i) { return i < 1 || i > results().load_case_count(); });
    PrintResultsProc proc(selection);
    if (run_dialog(print_results_dialog(), proc, owner) != IDOK)
        return;
    selection = proc.selection;
    const ReportJob job = results_report_job(selection);
    try {
        switch (proc.destination) {
        case Destination::Printer: print_page_to_printer(owner, job.title, report_page_renderer(job)); break;
        case Destination::Preview: print_preview_start(owner, job.title, report_page_renderer(job)); break;
        case Destination::Pdf: {
            FileDialogRequest request;
            request.title = "Print to PDF";
            request.filters = {{"PDF files (*.pdf)", "*.pdf"}};
            request.default_extension = "pdf";
            request.initial_path = replace_extension(model_file_path(), "pdf");
            if (save_file_dialog_path(owner, request))
                print_to_pdf(owner, ofn_file_path(), report_page_renderer(job));
            break;
        }
        case Destination::Text: print_report_to(owner, job, PrintDestination::TextFile); break;
        case Destination::Csv: print_report_to(owner, job, PrintDestination::CsvFile); break;
        }
    } catch (const MessageText& m) {
        message_error(owner, m.text);
    }
    results_load_case_changed();
}

bool write_results_report(const std::string& path, std::string& error)
{
    error.clear();
    BinFile file;
    // A report that cannot be written leaves none behind, so that the
    // previous one does not pass for the report of the new results; one the
    // user made read-only is refused and kept.
    const auto failed = [&path, &error, &file](const std::string& text) {
        error = with_reason(text, file.failure());
        std::error_code ignored;
        if (!file.refused_read_only() && std::filesystem::is_regular_file(path, ignored))
            std::filesystem::remove(path, ignored);
        return false;
    };
    if (!file.open_write(path)) {
        file.abandon();
        return failed(c_format("Unable to open txt file:\n%s", path.c_str()));
    }
    // The report goes to the file as it is put together, in blocks of a
    // megabyte.
    constexpr std::size_t BLOCK = std::size_t{1} << 20;
    std::string block;
    block.reserve(BLOCK);
    const auto write = [&file, &block](std::string_view piece) {
        if (block.size() + piece.size() > BLOCK && !block.empty()) {
            file.write(block.data(), block.size());
            block.clear();
        }
        if (piece.size() >= BLOCK)
            file.write(piece.data(), piece.size());
        else
            block += piece;
    };
    try {
        report_render_text_to(results_report_job(default_report_selection()), false, write);
    } catch (const MessageText& m) {
        file.abandon();
        return failed(m.text);
    }
    file.write(block.data(), block.size());
    if (!file.close())
        return failed(c_format("Unable to write txt file:\n%s", path.c_str()));
    return true;
}

void install_results_report()
{
    ResultsHooks& h = results_hooks();
    h.print_results = print_results_sheet_command;
    h.write_batch_report = [](WindowId owner) {
        std::string error;
        if (write_results_report(replace_extension(model_file_path(), "txt"), error))
            return true;
        message_error(owner, error);
        return false;
    };
    h.opened.push_back([] { report_ui().selection_set = false; });
}
