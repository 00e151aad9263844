// The Load Cases dialog: two lists, the load cases that can be added and the
// chosen ones in the order of the run, with buttons that move cases between
// them and within the chosen list.
#include "analysis/analysis_model.h"
#include "analysis/load_case_steps.h"
#include "analysis/model_check.h"
#include "analysis/ui/analysis_dialogs_ui.h"
#include "analysis/ui/analysis_ui.h"
#include "analysis_core/steps.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/shell.h"
#include "model/analysis_options.h"
#include "model/piping_codes.h"

#include <algorithm>
#include <vector>

namespace {

// The order in which the lists show the cases.
std::vector<int> display_order()
{
    std::vector<int> order = {LC_STATIC_ANALYSIS, LC_EMPTY_WEIGHT, LC_SUSTAINED};
    for (int c = 41; c <= 50; ++c) order.push_back(c);
    for (int c : {2, 3, 4}) order.push_back(c);
    for (int c = 51; c <= 57; ++c) order.push_back(c);
    for (int c : {5, 6}) order.push_back(c);
    for (int c = 58; c <= 64; ++c) order.push_back(c);
    order.push_back(7);
    for (int c = 65; c <= 99; ++c) order.push_back(c);
    for (int c : {8, 9, 10}) order.push_back(c);
    for (int c = 100; c <= 106; ++c) order.push_back(c);
    order.push_back(LC_DESIGN);
    for (int c : {14, 15, 16, 17}) order.push_back(c);
    for (int c = 110; c <= 116; ++c) order.push_back(c);
    for (int c : std::initializer_list<int>{LC_COLD_SPRING_DESIGN, LC_SETTLEMENT, LC_HYDROTEST, LC_SEISMIC_G, LC_WIND,
                                             107, 108, 109})
        order.push_back(c);
    for (int c = LC_MODAL; c <= LC_FORCE_SPECTRUM; ++c)
        if (c != LC_STATIC_ANALYSIS)
            order.push_back(c);
    return order;
}

// The largest load set a case uses (0 for none).
int highest_set(const StepRow& row)
{
    if (row.solve == StepSolve::Range)
        return std::max(highest_set(step_row(row.range_first)), highest_set(step_row(row.range_second)));
    auto in_sets = [](int set) { return set >= 1 && set <= MAX_LOAD_SETS ? set : 0; };
    return std::max(in_sets(row.temperature_set), in_sets(row.pressure_set));
}

// The cases a run of the current model can compute, in display order.
std::vector<int> offered_cases()
{
    const AnalysisLoads loads = current_analysis_loads();
    const int sets = numtloads_valid(numtloads()) ? numtloads() : 1;
    std::vector<int> offered;
    for (int code : display_order()) {
        const StepRow& row = step_row(code);
        if (row.solve == StepSolve::Modal || row.solve == StepSolve::Dynamic) {
            // Missing mass is the response of the mass the modes leave,
            // which the run leaves out unless the options include it.
            if (dynamic_case_offered(model(), loads.dynamic, code) &&
                (code != LC_MISSING_MASS || analysis_options().include_missing_mass))
                offered.push_back(code);
            continue;
        }
        if (row.solve != StepSolve::Static && row.solve != StepSolve::Range)
            continue;
        if (!step_has_display_position(code, piping_code()) || highest_set(row) > sets)
            continue;
        if (row.wind != 0 && !loads.wind[static_cast<std::size_t>(row.wind)].defined)
            continue;
        if (row.seismic_g && !loads.seismic.any())
            continue;
        if (row.pressure_set == SET_HYDROTEST && !loads.hydrotest.defined)
            continue;
        offered.push_back(code);
    }
    return offered;
}

class LoadCasesDialog : public InputDialogProc {
public:
    LoadCaseList result;
    bool export_stiffness = false;
    bool export_modal_forces = false;

    void init(Dialog& d) override
    {
        offered_ = offered_cases();
        const LoadCaseList& stored = load_case_list();
        for (int i = 1; i <= stored.count(); ++i)
            chosen_.push_back(stored.code(i));
        fill(d);
        dialog_check(LOAD_CASES_STIFFNESS_EXPORT, stiffness_export_requested());
        dialog_check(LOAD_CASES_MODAL_FORCES_EXPORT, modal_forces_export_requested());
        if (input_locked()) {
            for (int item : {LOAD_CASES_ADD, LOAD_CASES_REMOVE, LOAD_CASES_UP, LOAD_CASES_DOWN, LOAD_CASES_DEFAULTS,
                             LOAD_CASES_STIFFNESS_EXPORT, LOAD_CASES_MODAL_FORCES_EXPORT})
                dialog_disable(item);
        }
        center_window(d, IDOK);
    }

    void command(Dialog& d, int id, int notification) override
    {
        if (input_locked())
            return;
        const int available = dialog_listbox_selection(LOAD_CASES_AVAILABLE);
        const int chosen = dialog_listbox_selection(LOAD_CASES_CHOSEN);
        int select = chosen;
        switch (id) {
        case LOAD_CASES_AVAILABLE:
            if (notification != NOTIFY_DBLCLK)
                return;
            [[fallthrough]];
        case LOAD_CASES_ADD: {
            const std::vector<int> left = available_cases();
            if (available < 0 || available >= static_cast<int>(left.size()))
                return;
            chosen_.push_back(left[static_cast<std::size_t>(available)]);
            select = static_cast<int>(chosen_.size()) - 1;
            break;
        }
        case LOAD_CASES_CHOSEN:
            if (notification != NOTIFY_DBLCLK)
                return;
            [[fallthrough]];
        case LOAD_CASES_REMOVE:
            if (chosen < 0 || chosen >= static_cast<int>(chosen_.size()))
                return;
            chosen_.erase(chosen_.begin() + chosen);
            select = std::min(chosen, static_cast<int>(chosen_.size()) - 1);
            break;
        case LOAD_CASES_UP:
        case LOAD_CASES_DOWN: {
            const int other = id == LOAD_CASES_UP ? chosen - 1 : chosen + 1;
            if (chosen < 0 || other < 0 || other >= static_cast<int>(chosen_.size()))
                return;
            std::swap(chosen_[static_cast<std::size_t>(chosen)], chosen_[static_cast<std::size_t>(other)]);
            select = other;
            break;
        }
        case LOAD_CASES_DEFAULTS: {
            chosen_.clear();
            const LoadCaseList defaults = default_load_cases(numtloads(), current_analysis_loads(), has_cut_pipes(),
                                                                  settlement_case_by_default(model(), piping_code()));
            for (int i = 1; i <= defaults.count(); ++i)
                chosen_.push_back(defaults.code(i));
            select = 0;
            break;
        }
        default:
            return;
        }
        fill(d);
        if (select >= 0)
            dialog_listbox_select(LOAD_CASES_CHOSEN, select);
    }

    bool ok(Dialog&) override
    {
        if (input_locked())
            return true;
        for (int code : chosen_)
            result.add(code);
        export_stiffness = dialog_is_checked(LOAD_CASES_STIFFNESS_EXPORT);
        export_modal_forces = dialog_is_checked(LOAD_CASES_MODAL_FORCES_EXPORT);
        return true;
    }

private:
    static bool has_cut_pipes()
    {
        return std::any_of(model().rows.begin(), model().rows.end(),
                           [](const LayoutRow& r) { return r.etype == ET_CUT_PIPE; });
    }

    // The offered cases not chosen yet.
    std::vector<int> available_cases() const
    {
        std::vector<int> left;
        for (int code : offered_)
            if (std::find(chosen_.begin(), chosen_.end(), code) == chosen_.end())
                left.push_back(code);
        return left;
    }

    void fill(Dialog& d)
    {
        d.list_reset(LOAD_CASES_AVAILABLE);
        for (int code : available_cases())
            dialog_listbox_add(LOAD_CASES_AVAILABLE, load_case_names(code));
        d.list_reset(LOAD_CASES_CHOSEN);
        for (int code : chosen_)
            dialog_listbox_add(LOAD_CASES_CHOSEN, load_case_names(code));
    }

    std::vector<int> offered_;
    std::vector<int> chosen_;
};

}  // namespace

bool load_cases_command(WindowId owner)
{
    if (!input_locked())
        push_undo_snapshot(owner);
    LoadCasesDialog proc;
    const int answer = run_dialog(LOAD_CASES_DIALOG, proc, owner);
    if (input_locked())
        return false;
    if (answer != IDOK) {
        discard_undo_snapshot();
        return false;
    }
    stiffness_export_requested() = proc.export_stiffness;
    modal_forces_export_requested() = proc.export_modal_forces;
    if (proc.result == load_case_list()) {
        discard_undo_snapshot();
        return false;
    }
    load_case_list() = proc.result;
    model_modified() = true;
    notify_document_changed();
    return true;
}

void install_analysis_commands()
{
    register_command(CMD_ANALYZE, [](int) { analyze_command(command_owner()); });
    register_command(CMD_LOAD_CASE_LIST, [](int) { load_cases_command(command_owner()); });
}
