#include "results/ui/result_choosers.h"

#include "codes/stress_display.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/units.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/pick_list.h"
#include "framework/ui/report.h"
#include "framework/ui/table.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/piping_codes.h"
#include "results/results_load_cases.h"
#include "results/results_reader.h"
#include "results/support_summary.h"
#include "results/time_history.h"
#include "results/ui/results_report.h"
#include "results/ui/results_ui_state.h"

#include <algorithm>
#include <map>

namespace {

// ---- The radio-list dialog ------------------------------------------------------------

// The templates made so far, by name; each lives as long as the session.
struct RadioTemplates {
    std::map<std::string, DialogTemplate> by_name;
};

// The number of entries the name stands for (its list is that tall).
int rows_of(const std::string& name)
{
    int rows = 0;
    for (char c : name)
        if (c >= '0' && c <= '9')
            rows = 10 * rows + (c - '0');
    return std::clamp(rows, 3, 22);
}

const DialogTemplate& radio_template(const std::string& name, const std::string& caption)
{
    std::map<std::string, DialogTemplate>& known = session_part<RadioTemplates>().by_name;
    auto it = known.find(name);
    if (it == known.end()) {
        const int rows = rows_of(name);
        DialogTemplate t{name,
                         caption,
                         {control(RADIO_LIST, ControlKind::List, "", 0, 0, 2, CF_CLICK_CHOOSES, 0, rows),
                          control(IDOK, ControlKind::Button, "OK", rows, 0, 1, CF_DEFAULT),
                          control(IDCANCEL, ControlKind::Button, "Cancel", rows, 1)}};
        it = known.emplace(name, std::move(t)).first;
    }
    return it->second;
}

class RadioListProc final : public DialogProc {
public:
    explicit RadioListProc(const RadioListChoice& c) : choice_(c) {}
    void init(Dialog& d) override
    {
        d.set_caption(choice_.caption);
        // A list shows no mnemonics: "&Sorted stresses" reads "Sorted stresses".
        for (const std::string& entry : choice_.entries)
            dialog_listbox_add(RADIO_LIST, without_mnemonics(entry));
        const int current = std::clamp(choice_.current, 1, std::max(1, static_cast<int>(choice_.entries.size())));
        dialog_listbox_select(RADIO_LIST, current - 1);
        if (choice_.width > 0 && choice_.height > 0)
            d.resize(choice_.width, choice_.height);
        center_window(d, RADIO_LIST);
        dialog_set_focus(RADIO_LIST);
    }
    void command(Dialog& d, int id, int notification) override
    {
        // A click (or a double click) on an entry chooses it at once; the
        // arrow keys only move the choice.
        if (id == RADIO_LIST && (notification == NOTIFY_CLICKED || notification == NOTIFY_DBLCLK))
            d.end(d.list_selection(RADIO_LIST) + 1);
    }
    bool ok(Dialog& d) override
    {
        d.end(d.list_selection(RADIO_LIST) + 1);
        return false;
    }
    bool cancel(Dialog& d) override
    {
        d.end(0);
        return false;
    }

private:
    const RadioListChoice& choice_;
};

ResultsHooks& hooks()
{
    return results_hooks();
}

bool model_has(int dtype)
{
    for (const LayoutRow& r : model().rows)
        if (r.dtype == dtype)
            return true;
    return false;
}

// Whether a result is offered: its own condition and a show operation.
bool result_offered(int kind)
{
    const ResultsState& r = results();
    const ResultsAvailability& a = r.available;
    const bool cases = r.load_case_count() > 0;
    bool condition = false;
    switch (kind) {
    case RESULT_SORTED_STRESSES: condition = a.code_stresses || a.has(LC_STATIC_ANALYSIS); break;
    case RESULT_CODE_COMPLIANCE: condition = a.code_stresses; break;
    case RESULT_BRANCH_CONNECTION: condition = a.branch_connection_stresses; break;
    case RESULT_HANGER_REPORT: condition = model_has(DT_HANGER); break;
    case RESULT_FLANGE_REPORT: condition = model_has(DT_FLANGE) && (a.any_operating || a.has(LC_STATIC_ANALYSIS)); break;
    case RESULT_ROT_EQUIP_REPORT: condition = true; break;
    case RESULT_SOIL_RESTRAINTS: condition = r.soil_restraints.size() > 0; break;
    case RESULT_SUPPORT_SUMMARY: condition = support_summary_built(); break;
    case RESULT_SUPPORT_LOADS: condition = cases && r.numsupports() > 0; break;
    case RESULT_ELEMENT_FORCES: condition = cases; break;
    case RESULT_FRP_STRESSES:
    case RESULT_SORTED_FRP_STRESSES: condition = cases && r.numfrp() > 0; break;
    case RESULT_DISPLACEMENTS: condition = cases; break;
    case RESULT_FREQUENCIES:
    case RESULT_MODE_SHAPES: condition = r.modal.modes > 0; break;
    case RESULT_DYNAMIC_SUSCEPTIBILITY:
    case RESULT_DYNAMIC_STRESSES: condition = true; break;
    case RESULT_ACCELERATIONS: condition = a.has(LC_RESPONSE_SPECTRUM); break;
    case RESULT_TIME_HISTORY: condition = time_history_available(); break;
    default: return false;
    }
    const auto& extra = hooks().available[static_cast<std::size_t>(kind)];
    return condition && (!extra || extra()) && static_cast<bool>(hooks().show[static_cast<std::size_t>(kind)]);
}

void stop_animation()
{
    if (hooks().stop_animation)
        hooks().stop_animation();
}

}  // namespace

int run_radio_list(const RadioListChoice& choice, WindowId owner)
{
    if (choice.entries.empty())
        return 0;
    RadioListProc proc(choice);
    const int chosen = run_dialog(radio_template(choice.template_name, choice.caption), proc, owner);
    return chosen >= 1 && chosen <= static_cast<int>(choice.entries.size()) ? chosen : 0;
}

std::string results_chooser_template(int n)
{
    if (n < 4)
        return "RESULTS3_DIALOG";
    if (n == 4)
        return "RESULTS4_DIALOG";
    if (n >= 17)
        return "RESULTS18_DIALOG";
    return c_format("RESULTS%d_DIALOG", n + n % 2);
}

std::string load_cases_chooser_template(int n)
{
    if (n <= 3)
        return "RESULT_LOAD_CASES3_DIALOG";
    if (n <= 6)
        return c_format("RESULT_LOAD_CASES%d_DIALOG", n);
    if (n <= 22)
        return c_format("RESULT_LOAD_CASES%d_DIALOG", n + n % 2);
    return "RESULT_LOAD_CASES110_DIALOG";
}

std::pair<int, int> load_cases_chooser_size(int n)
{
    if (n > 88)
        return {460, 335};
    if (n > 66)
        return {370, 335};
    if (n > 44)
        return {280, 335};
    if (n > 22)
        return {190, 335};
    return {0, 0};
}

std::string other_supports_template(int n)
{
    if (n < 3)
        return "OTHER2_DIALOG";
    if (n == 3)
        return "OTHER3_DIALOG";
    if (n == 4)
        return "OTHER4_DIALOG";
    if (n <= 6)
        return "OTHER6_DIALOG";
    return "OTHER9_DIALOG";
}

// ---- The result list ------------------------------------------------------------------

void build_result_list()
{
    ResultsUiState& ui = results_ui();
    ui.result_list.clear();
    for (int kind = 0; kind < RESULT_KINDS; ++kind)
        if (result_offered(kind))
            ui.result_list.push_back(kind);
    ui.current_result = RESULT_NONE;
}

const std::vector<int>& result_list()
{
    return results_ui().result_list;
}

std::string result_chooser_template()
{
    return results_chooser_template(static_cast<int>(result_list().size()));
}

int current_result_index()
{
    const std::vector<int>& list = result_list();
    const auto it = std::find(list.begin(), list.end(), current_result());
    return it == list.end() ? 1 : static_cast<int>(it - list.begin()) + 1;
}

void show_result(int index)
{
    stop_animation();
    const std::vector<int>& list = result_list();
    if (index < 1 || index > static_cast<int>(list.size()))
        return;
    const int kind = list[static_cast<std::size_t>(index - 1)];
    if (const auto& show = hooks().show[static_cast<std::size_t>(kind)])
        show();
}

void run_result_chooser(WindowId owner)
{
    const std::vector<int>& list = result_list();
    if (list.empty())
        throw_message("The results hold nothing that this version can show.");
    RadioListChoice choice{result_chooser_template(), "Results", {}, current_result_index()};
    for (int kind : list)
        choice.entries.push_back(result_kind_name(kind));
    show_result(run_radio_list(choice, owner));
}

void next_result()
{
    const int n = static_cast<int>(result_list().size());
    if (n == 0)
        return;
    const int i = current_result_index();
    show_result(i >= n ? 1 : i + 1);
}

void previous_result()
{
    const int n = static_cast<int>(result_list().size());
    if (n == 0)
        return;
    // With no current result (index 1), the last.
    const int i = current_result_index();
    show_result(i <= 1 ? n : i - 1);
}

void cycle_result(unsigned mods)
{
    if (mods & MOD_SHIFT)
        previous_result();
    else
        next_result();
}

// ---- Load cases -----------------------------------------------------------------------

void choose_results_load_case(WindowId owner)
{
    const ResultsState& r = results();
    const int n = r.load_case_count();
    if (n == 0)
        return;
    const auto [width, height] = load_cases_chooser_size(n);
    RadioListChoice choice{load_cases_chooser_template(n), "Load cases", {}, results_loadcase(), width, height};
    for (const ResultsLoadCase& c : r.load_cases)
        choice.entries.push_back(load_case_names(c.code));
    const int chosen = run_radio_list(choice, owner);
    if (chosen == 0)
        return;
    set_results_load_case_index(chosen);
    results_load_case_changed();
}

void results_load_case_changed()
{
    TableView& view = results_table_view();
    if (view.shown() && view.table())
        view.table()->on_load_case_changed();
    else
        set_results_title(results_title_base());
    results_case_changed();
}

void results_case_changed()
{
    if (hooks().case_changed)
        hooks().case_changed();
}

// ---- Support loads --------------------------------------------------------------------

void build_support_kind_list()
{
    ResultsUiState& ui = results_ui();
    ui.support_kinds.clear();
    for (int kind = 0; kind < SUPPORT_KINDS; ++kind)
        if (model_has(support_kind_dtype(kind)) && hooks().support_loads[static_cast<std::size_t>(kind)])
            ui.support_kinds.push_back(kind);
    ui.current_support_kind = -1;
}

const std::vector<int>& support_kind_list()
{
    return results_ui().support_kinds;
}

bool several_support_kinds()
{
    return support_kind_list().size() > 1;
}

std::string support_kinds_template()
{
    return other_supports_template(static_cast<int>(support_kind_list().size()));
}

int current_support_kind()
{
    return results_ui().current_support_kind;
}

namespace {

void show_support_kind(int kind)
{
    results_ui().current_support_kind = kind;
    if (const auto& show = hooks().support_loads[static_cast<std::size_t>(kind)])
        show();
}

int support_kind_position()
{
    const std::vector<int>& list = support_kind_list();
    const auto it = std::find(list.begin(), list.end(), current_support_kind());
    return it == list.end() ? 0 : static_cast<int>(it - list.begin()) + 1;
}

}  // namespace

void show_support_loads()
{
    const std::vector<int>& list = support_kind_list();
    if (list.empty())
        return;
    show_support_kind(support_kind_position() ? current_support_kind() : list.front());
}

void choose_support_kind(WindowId owner)
{
    const std::vector<int>& list = support_kind_list();
    RadioListChoice choice{support_kinds_template(), "Other Supports", {}, std::max(1, support_kind_position())};
    for (int kind : list)
        choice.entries.push_back(support_kind_name(kind));
    if (const int chosen = run_radio_list(choice, owner))
        show_support_kind(list[static_cast<std::size_t>(chosen - 1)]);
}

void next_support_kind()
{
    const std::vector<int>& list = support_kind_list();
    if (list.empty())
        return;
    const int i = support_kind_position();
    show_support_kind(list[static_cast<std::size_t>(i >= static_cast<int>(list.size()) ? 0 : i)]);
}

void previous_support_kind()
{
    const std::vector<int>& list = support_kind_list();
    if (list.empty())
        return;
    const int i = support_kind_position();
    show_support_kind(list[static_cast<std::size_t>(i <= 1 ? static_cast<int>(list.size()) - 1 : i - 2)]);
}

// ---- Support load summary --------------------------------------------------------------

void show_support_load_summary()
{
    const int row = summary_support_row();
    if (!row)
        return;
    const int kind = support_kind_of(model().rows[row].dtype);
    KV_ASSERT(kind >= 0);
    if (const auto& show = hooks().support_summary[static_cast<std::size_t>(kind)])
        show();
}

void choose_summary_support(WindowId owner)
{
    const ResultsState& r = results();
    PickList list;
    list.title = "Support load summary";
    list.count = r.supports_by_kind.size();
    list.current = summary_support();
    list.columns = {{"Node", [](int i) { return node_text(model().rows[results().supports_by_kind[i]].node); }, ""},
                    {"Type", [](int i) { return summary_support_type_text(results().supports_by_kind[i]); },
                     "Limit Stop (0.707, 0.707, 0.707)"}};
    if (const int chosen = run_pick_list(list, owner)) {
        set_summary_support(chosen);
        show_support_load_summary();
    }
}

void show_next_summary_support()
{
    next_summary_support();
    show_support_load_summary();
}

void show_previous_summary_support()
{
    previous_summary_support();
    show_support_load_summary();
}

void print_support_load_summary()
{
    if (!report_state().text_report || report_state().csv_mode || !support_summary_built())
        return;
    // The heading on the page of its first table's title, rule, heading
    // line, rule and first row.
    constexpr int FIRST_TABLE_LINES = 5;
    if (report_lines_left() < 1 + FIRST_TABLE_LINES)
        report_page_break();
    report_print_first("Support load summary");
    report_next_line();
    report_contents_line("Support load summary");
    for (int32_t row : results().supports_by_kind) {
        const int kind = support_kind_of(model().rows[row].dtype);
        if (const auto& print = hooks().print_support_summary[static_cast<std::size_t>(kind)])
            print(row);
    }
    if (current_result() == RESULT_SUPPORT_SUMMARY)
        show_support_load_summary();
}

// ---- Thresholds ---------------------------------------------------------------------------

namespace {

enum ThresholdIds : int { THRESHOLD_STRESS = 1301, THRESHOLD_RATIO = 1302, THRESHOLD_UNIT = 1601 };

const DialogTemplate THRESHOLDS_DIALOG = {
    "THRESHOLDS_DIALOG",
    "Thresholds",
    {
        control(THRESHOLD_STRESS, ControlKind::Edit, "Stress threshold", 0, 0, 1, CF_NONE, 12),
        unit_control(THRESHOLD_UNIT, 0, 1, STRESS),
        control(THRESHOLD_RATIO, ControlKind::Edit, "Ratio threshold", 1, 0, 1, CF_NONE, 12),
        control(0, ControlKind::Static, "%", 1, 1),
        control(IDOK, ControlKind::Button, "OK", 2, 0, 1, CF_DEFAULT),
        control(IDCANCEL, ControlKind::Button, "Cancel", 2, 1),
    },
};

class ThresholdsProc final : public DialogProc {
public:
    void init(Dialog& d) override
    {
        const StressDisplayFlags& t = stress_display_flags();
        dialog_set_unit_label(THRESHOLD_UNIT, STRESS);
        if (t.stress_threshold > 0.0f)
            dialog_set_text(THRESHOLD_STRESS, format_stress(t.stress_threshold));
        if (t.ratio_threshold > 0.0f)
            dialog_set_text(THRESHOLD_RATIO, format_percent(t.ratio_threshold));
        center_window(d);
        dialog_set_focus(THRESHOLD_STRESS);
    }
    bool ok(Dialog&) override
    {
        float stress = 0.0f, ratio = 0.0f;
        // A negative stress threshold is taken as typed (the stress parser
        // itself refuses negative stresses).
        dialog_get_text(THRESHOLD_STRESS);
        std::string text = item_text();
        const bool negative = !text.empty() && text[0] == '-';
        if (negative)
            text.erase(0, 1);
        if (parse_stress(text, stress) != 0)
            dialog_throw_invalid(THRESHOLD_STRESS, "Stress threshold");
        if (negative)
            stress = -stress;
        dialog_get_text(THRESHOLD_RATIO);
        if (parse_real_buffer(ratio) != 0 || ratio < 0.0f)
            dialog_throw_invalid(THRESHOLD_RATIO, "Ratio threshold");
        stress_display_flags().stress_threshold = stress;
        stress_display_flags().ratio_threshold = ratio;
        stored = true;
        return true;
    }
    bool stored = false;

private:
    // The framework's invalid-value message for the item, the focus back on it.
    [[noreturn]] static void dialog_throw_invalid(int item, const std::string& name)
    {
        try {
            throw_invalid(name);
        } catch (const MessageText& m) {
            dialog_throw(item, m.text);
        }
    }
};

}  // namespace

const DialogTemplate& thresholds_template() { return THRESHOLDS_DIALOG; }

bool thresholds_dialog(WindowId owner)
{
    ThresholdsProc proc;
    run_dialog(THRESHOLDS_DIALOG, proc, owner);
    if (proc.stored && hooks().thresholds_changed)
        hooks().thresholds_changed();
    return proc.stored;
}

// ---- First-Level Checks -----------------------------------------------------------------

namespace {

enum CheckIds : int {
    CHECK_FIRST = 1401,
    CHECK_SUSTAINED = 1401,
    CHECK_EXPANSION = 1402,
    CHECK_OCCASIONAL = 1403,
    CHECK_SHAPE_SUSTAINED = 1404,
    CHECK_SHAPE_EXPANSION = 1405,
    CHECK_SHAPE_OPERATING = 1406,
    CHECK_SHAPE_SEISMIC = 1407,
    CHECK_SHAPE_WIND = 1408,
    CHECK_STOPS_SUSTAINED = 1409,
    CHECK_STOPS_OPERATING = 1410,
    CHECK_SUPPORT_LOADS = 1414,
    CHECK_HANGERS = 1415,
    CHECK_FREQUENCIES = 1416,
    CHECK_LAST = 1416,
    CHECK_CODE = 1501,
    CHECK_DETAILS = 1167,
    CHECK_EXPORT_SHAPE = 1169,
    CHECK_EDIT_LAYOUT = 1164,
    CHECK_PRINT = 1166,
    CHECK_EXIT = 8,
    CHECK_SUPPORT_GROUP = 1168,
};

DialogTemplate make_checkstress_dialog()
{
    const char* const labels[] = {"Sustained Stress",
                                  "Expansion Stress",
                                  "Occasional Stress",
                                  "Sustained Deflected Shape",
                                  "Expansion (T1) Deflected Shape",
                                  "Operating Deflected Shape",
                                  "Seismic Deflected Shape",
                                  "Wind Deflected Shape",
                                  "Sustained Limit Stop Status",
                                  "Operating Limit Stop Status",
                                  "",
                                  "",
                                  "",
                                  "Support Load Summary",
                                  "Hanger Report",
                                  "Frequencies"};
    DialogTemplate t{"CHECKSTRESS_DIALOG", "First-Level Checks", {}};
    t.controls.push_back(control(CHECK_CODE, ControlKind::Static, "Code: ", 0, 0, 2));
    t.controls.push_back(control(CHECK_SUPPORT_GROUP, ControlKind::Group, "Supports", 10, 0, 2, CF_NONE, 0, 6));
    for (int i = 0; i < 16; ++i)
        t.controls.push_back(control(CHECK_FIRST + i, ControlKind::Radio, labels[i], 1 + i + (i >= 8 ? 1 : 0), 0, 2));
    const int buttons = 19;
    t.controls.push_back(control(CHECK_DETAILS, ControlKind::Button, "View &Detailed Results", buttons, 0));
    t.controls.push_back(control(CHECK_EXPORT_SHAPE, ControlKind::Button, "Export Deflected &Shape", buttons, 1));
    t.controls.push_back(control(CHECK_EDIT_LAYOUT, ControlKind::Button, "E&dit Layout", buttons + 1, 0));
    t.controls.push_back(control(CHECK_PRINT, ControlKind::Button, "&Print", buttons + 1, 1));
    t.controls.push_back(control(CHECK_EXIT, ControlKind::Button, "E&xit", buttons + 2, 1));
    return t;
}

const DialogTemplate& checkstress_dialog()
{
    static const DialogTemplate t = make_checkstress_dialog();
    return t;
}

bool pipeline_code()
{
    return code_is_one_of(piping_code(), {CODE_B314, CODE_B318, CODE_Z662});
}

class FirstLevelChecks final : public DialogProc {
public:
    // What runs after the dialog has closed.
    std::function<void()> after;

    void init(Dialog& d) override
    {
        dialog_set_text(CHECK_CODE, "Code: " + piping_code_name(piping_code()));
        ResultsHooks& h = results_hooks();
        if (h.stop_animation)
            h.stop_animation();
        if (h.deflected_shape)
            h.deflected_shape(false);
        for (int id = CHECK_FIRST; id <= CHECK_LAST; ++id) {
            dialog_show(id);
            dialog_disable(id);
        }
        enable_by_results();
        dialog_disable(CHECK_EXPORT_SHAPE);
        center_window(d);
        // Expansion first when it can be checked, else the first check that can.
        int first = d.is_enabled(CHECK_EXPANSION) ? CHECK_EXPANSION : 0;
        for (int id = CHECK_FIRST; id <= CHECK_LAST && !first; ++id)
            if (d.is_enabled(id))
                first = id;
        if (first) {
            dialog_set_radio(CHECK_FIRST, CHECK_LAST, first);
            dialog_set_focus(first);
            run(d, first);
        }
    }
    void command(Dialog& d, int id, int notification) override
    {
        if (id >= CHECK_FIRST && id <= CHECK_LAST) {
            dialog_enable_item(CHECK_EXPORT_SHAPE, id >= CHECK_SHAPE_SUSTAINED && id <= CHECK_SHAPE_WIND);
            if (notification == NOTIFY_CLICKED)
                run(d, id);
            return;
        }
        switch (id) {
        case CHECK_DETAILS:
            front();
            finish(d, [] { run_result_chooser(results_frame().window); });
            break;
        case CHECK_PRINT:
            front();
            finish(d, [] {
                select_first_level_report();
                frame_post_command(results_frame(), CMD_PRINT);
            });
            break;
        case CHECK_EDIT_LAYOUT: finish(d, [] { frame_post_command(results_frame(), CMD_INPUT); }); break;
        case CHECK_EXPORT_SHAPE: frame_post_command(results_frame(), CMD_EXPORT_PLANT_DESIGN_RESULTS); break;
        case CHECK_EXIT: finish(d, [] { frame_post_command(results_frame(), CMD_EXIT); }); break;
        default: break;
        }
    }
    bool cancel(Dialog& d) override
    {
        d.end(0);
        return false;
    }

private:
    void enable_by_results()
    {
        const ResultsState& r = results();
        const ResultsAvailability& a = r.available;
        const bool stops = model_has(DT_LIMIT_STOP);
        if (a.has(LC_STATIC_ANALYSIS)) {
            for (int id : {1401, 1402, 1403, 1404})
                dialog_enable_item(id, true);
            dialog_enable_item(CHECK_STOPS_SUSTAINED, stops);
            dialog_set_text(1401, "von Mises Stress");
            dialog_set_text(1402, "Maximum Stress");
            dialog_set_text(1403, "Minimum Stress");
            dialog_set_text(1404, "Static Load Deflected Shape");
            dialog_set_text(1409, "Static Load");
            dialog_set_text(CHECK_SUPPORT_GROUP, "Nozzles / Anchors");
            dialog_set_text(1414, "Show Support Loads");
        }
        if (a.has(LC_SUSTAINED)) {
            dialog_enable_item(CHECK_SUSTAINED, true);
            dialog_enable_item(CHECK_SHAPE_SUSTAINED, true);
            if (stops)
                dialog_enable_item(CHECK_STOPS_SUSTAINED, true);
            if (a.any_expansion)
                dialog_enable_item(CHECK_EXPANSION, true);
            if (a.has(LC_EXPANSION_T1))
                dialog_enable_item(CHECK_SHAPE_EXPANSION, true);
            if (pipeline_code()) {
                if (a.any_occasional)
                    dialog_set_text(1401, "Sustained (Weight + Max. Pressure) + Occasional Stress");
                dialog_set_text(1403, "Restrained Stress (Sustained + Expansion + Occasional)");
                dialog_enable_item(CHECK_OCCASIONAL, a.pipeline_sort);
            } else if (a.any_occasional) {
                dialog_enable_item(CHECK_OCCASIONAL, true);
            }
            if (a.has(LC_SEISMIC_G))
                dialog_enable_item(CHECK_SHAPE_SEISMIC, true);
            if (a.has(LC_WIND))
                dialog_enable_item(CHECK_SHAPE_WIND, true);
            if (a.has(LC_OPERATING_1)) {
                dialog_enable_item(CHECK_SHAPE_OPERATING, true);
                dialog_enable_item(CHECK_STOPS_OPERATING, stops);
            }
        }
        // The support loads, hangers and frequencies do not depend on Sustained.
        if (support_summary_built() || a.has(LC_STATIC_ANALYSIS))
            dialog_enable_item(CHECK_SUPPORT_LOADS, true);
        if (model_has(DT_HANGER))
            dialog_enable_item(CHECK_HANGERS, true);
        if (r.modal.modes > 0)
            dialog_enable_item(CHECK_FREQUENCIES, true);
    }

    static void front()
    {
        frame_bring_to_front(results_frame());
    }
    static void show(int kind)
    {
        if (const auto& s = results_hooks().show[static_cast<std::size_t>(kind)])
            s();
    }
    static void clear_overlays()
    {
        if (results_hooks().hide_overlays)
            results_hooks().hide_overlays();
    }
    void finish(Dialog& d, std::function<void()> then)
    {
        after = std::move(then);
        d.end(0);
    }

    void run(Dialog& d, int id)
    {
        ResultsHooks& h = results_hooks();
        const ResultsAvailability& a = results().available;
        if (h.show_graphics) {
            frame_hide(results_frame());
            h.show_graphics();
        }
        switch (id) {
        case CHECK_SUSTAINED:
        case CHECK_EXPANSION:
        case CHECK_OCCASIONAL:
            stress_display_flags().ratio_kind =
                id == CHECK_SUSTAINED   ? RATIO_SUSTAINED
                : id == CHECK_EXPANSION ? RATIO_EXPANSION
                : (a.has(LC_STATIC_ANALYSIS) || (pipeline_code() && a.pipeline_sort)) ? RATIO_OCCASIONAL_STATIC
                                                                                      : RATIO_OCCASIONAL;
            show(RESULT_SORTED_STRESSES);
            if (h.ratio_colouring)
                h.ratio_colouring(true);
            break;
        case CHECK_SHAPE_SUSTAINED:
        case CHECK_SHAPE_EXPANSION:
        case CHECK_SHAPE_OPERATING:
        case CHECK_SHAPE_SEISMIC:
        case CHECK_SHAPE_WIND: {
            const int code = id == CHECK_SHAPE_SUSTAINED
                                 ? (a.has(LC_STATIC_ANALYSIS) ? LC_STATIC_ANALYSIS : LC_SUSTAINED)
                             : id == CHECK_SHAPE_EXPANSION ? LC_EXPANSION_T1
                             : id == CHECK_SHAPE_OPERATING ? LC_OPERATING_1
                             : id == CHECK_SHAPE_SEISMIC   ? LC_SEISMIC_G
                                                           : LC_WIND;
            set_results_load_case(code);
            if (h.ratio_colouring)
                h.ratio_colouring(false);
            show(RESULT_DISPLACEMENTS);
            if (h.deflected_shape) {
                h.deflected_shape(false);
                h.deflected_shape(true);
            }
            break;
        }
        case CHECK_STOPS_SUSTAINED:
        case CHECK_STOPS_OPERATING:
            clear_overlays();
            finish(d, [id] {
                const ResultsAvailability& av = results().available;
                set_results_load_case(id == CHECK_STOPS_OPERATING ? LC_OPERATING_1
                                      : av.has(LC_STATIC_ANALYSIS) ? LC_STATIC_ANALYSIS
                                                                   : LC_SUSTAINED);
                if (results_hooks().show_limit_stop_status)
                    results_hooks().show_limit_stop_status();
                front();
            });
            break;
        case CHECK_SUPPORT_LOADS:
            clear_overlays();
            finish(d, [] {
                if (results().available.has(LC_STATIC_ANALYSIS)) {
                    set_results_load_case(LC_STATIC_ANALYSIS);
                    show_support_loads();
                } else {
                    show(RESULT_SUPPORT_SUMMARY);
                }
                front();
            });
            break;
        case CHECK_HANGERS:
            clear_overlays();
            finish(d, [] {
                show(RESULT_HANGER_REPORT);
                front();
            });
            break;
        case CHECK_FREQUENCIES:
            clear_overlays();
            finish(d, [] {
                if (results_hooks().ratio_colouring)
                    results_hooks().ratio_colouring(false);
                if (results_hooks().deflected_shape)
                    results_hooks().deflected_shape(false);
                show(RESULT_FREQUENCIES);
                front();
            });
            break;
        default: break;
        }
    }
};

}  // namespace

const DialogTemplate& first_level_checks_template() { return checkstress_dialog(); }

void first_level_checks_dialog(WindowId owner)
{
    FirstLevelChecks proc;
    run_dialog(checkstress_dialog(), proc, owner);
    frame_bring_to_front(results_frame());
    if (proc.after)
        proc.after();
}
