#include "model/ui/options_dialog.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/messages.h"
#include "framework/ui/qa_block_dialog.h"
#include "framework/ui/shell.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/piping_codes.h"
#include "model/ui/dialogs_model.h"

#include <cmath>
#include <map>

namespace {

// Lowest temperature a field accepts, degF.
constexpr float LOWEST_TEMPERATURE = -460.0f;

struct CheckField {
    int item;
    bool AnalysisOptions::*member;
};

const CheckField CHECK_FIELDS[] = {
    {OPT_INCLUDE_AXIAL_FORCE, &AnalysisOptions::include_axial_force},
    {OPT_LIBERAL_ALLOWABLE, &AnalysisOptions::liberal_allowable},
    {OPT_USE_B31J, &AnalysisOptions::use_b31j},
    {OPT_Z184_SOUR_SERVICE, &AnalysisOptions::z184_sour_service},
    {OPT_SOLVE_THERMAL_CASE, &AnalysisOptions::solve_thermal_case},
    {OPT_USE_COLD_MODULUS, &AnalysisOptions::use_cold_modulus},
    {OPT_PRESSURE_STRESS, &AnalysisOptions::pressure_stress_option},
    {OPT_BOURDON, &AnalysisOptions::bourdon_effect},
    {OPT_PRESSURE_CORRECTION, &AnalysisOptions::pressure_correction},
    {OPT_MISSING_MASS, &AnalysisOptions::include_missing_mass},
    {OPT_FRICTION_IN_DYNAMICS, &AnalysisOptions::friction_in_dynamics},
    {OPT_HANGER_STIFFNESS, &AnalysisOptions::include_hanger_stiffness},
};

// Combos whose entries stand for whole-number option values.
struct ChoiceField {
    int item;
    const char* name;
    int32_t AnalysisOptions::*member;
    std::vector<int32_t> values;
    std::vector<const char*> texts;
};

const std::vector<ChoiceField>& choice_fields() {
    static const std::vector<ChoiceField> fields = {
        {OPT_SERVICE_LEVEL, "Service level", &AnalysisOptions::service_level, {0, 1, 2}, {"0", "1", "2"}},
        {OPT_B318_DESIGN_FACTOR, "B31.8 design factor", &AnalysisOptions::b318_design_factor_index,
         {0, 1, 2, 3, 4}, {"0.80", "0.72", "0.60", "0.50", "0.40"}},
        {OPT_Z183_LOCATION_FACTOR, "Z183 location factor index", &AnalysisOptions::z183_location_factor_index,
         {0, 1}, {"0", "1"}},
        {OPT_Z184_CLASS_LOCATION, "Z184 class location", &AnalysisOptions::z184_class_location, {1, 2, 3, 4},
         {"1", "2", "3", "4"}},
        {OPT_THERMAL_LOAD_SETS, "Thermal load sets", &AnalysisOptions::numtloads, {1, 2, 3, 10},
         {"1", "2", "3", "10"}},
    };
    return fields;
}

// The edit fields in the order they are checked.
const int EDIT_ITEMS[] = {OPT_SEISMIC_COEFFICIENT, OPT_REFERENCE_TEMPERATURE, OPT_THERMAL_CYCLES,
                          OPT_PEAK_PRESSURE_FACTOR, OPT_CUTOFF_FREQUENCY, OPT_NUMBER_OF_MODES,
                          OPT_DEFAULT_TEMPERATURE, OPT_ITERATION_TOLERANCE, OPT_MAX_ITERATIONS};

struct OptionsChangedHook {
    std::function<void()> value{};
};

std::function<void()>& options_changed_hook() {
    return session_part<OptionsChangedHook>().value;
}

struct VerticalAxisSwitchNote {
    std::function<std::string()> value{};
};
std::function<std::string()>& vertical_axis_switch_note() { return session_part<VerticalAxisSwitchNote>().value; }

// A temperature as the options keep it: the entered-zero marker is plain 0.
float plain_temperature(float value) { return std::fabs(value) < ENTERED_ZERO_LIMIT ? 0.0f : value; }

struct AnalysisOptionsDialog : InputDialogProc {
    // The texts the edits were filled with: a field the user left alone keeps
    // its stored value exactly, whatever the unit round trip would give.
    std::map<int, std::string> shown;
    bool changed = false;
    bool vertical_switched = false;

    void fill_edit(int item, const std::string& text) {
        dialog_set_text(item, text);
        shown[item] = clean_number_text(text);
    }
    bool untouched(int item) { return item_text() == shown[item]; }

    void update_code_dependent(int32_t code) {
        dialog_enable_item(OPT_USE_B31J, !input_locked() && code_allows_b31j(code));
        if (!code_allows_b31j(code)) dialog_check(OPT_USE_B31J, false);
        dialog_enable_item(OPT_USE_COLD_MODULUS, !input_locked() && code_has_cold_modulus_option(code));
    }

    int32_t selected_code() {
        int32_t id = piping_code_at(dialog_list_selection(OPT_PIPING_CODE));
        return id < 0 ? piping_code() : id;
    }

    void init(Dialog& d) override {
        const AnalysisOptions& o = analysis_options();
        dialog_list_reset(OPT_PIPING_CODE);
        for (int32_t id : piping_code_ids()) dialog_list_add(piping_code_name(id));
        dialog_list_select_current(piping_code_index(piping_code()));

        for (const CheckField& f : CHECK_FIELDS) dialog_check(f.item, o.*f.member);
        for (const ChoiceField& f : choice_fields()) {
            dialog_list_reset(f.item);
            int current = -1;
            for (size_t i = 0; i < f.values.size(); ++i) {
                dialog_list_add(f.texts[i]);
                if (f.values[i] == o.*f.member) current = static_cast<int>(i);
            }
            dialog_list_select_current(current);
        }
        dialog_set_radio(OPT_Y_VERTICAL, OPT_Z_VERTICAL, o.z_vertical ? OPT_Z_VERTICAL : OPT_Y_VERTICAL);

        fill_edit(OPT_SEISMIC_COEFFICIENT, format_f3_trimmed(o.seismic_coefficient));
        // A stored 0 degF shows as the entered zero it was, not as an empty field.
        auto temperature_text = [](float t) { return format_temperature(t == 0.0f ? ENTERED_ZERO : t); };
        fill_edit(OPT_REFERENCE_TEMPERATURE, temperature_text(o.reference_temperature));
        fill_edit(OPT_THERMAL_CYCLES, int_text(o.thermal_cycles));
        fill_edit(OPT_PEAK_PRESSURE_FACTOR, format_f3_trimmed(o.peak_pressure_factor));
        fill_edit(OPT_CUTOFF_FREQUENCY, int_text(o.cutoff_frequency));
        fill_edit(OPT_NUMBER_OF_MODES, int_text(o.number_of_modes));
        fill_edit(OPT_DEFAULT_TEMPERATURE, temperature_text(o.default_temperature));
        fill_edit(OPT_ITERATION_TOLERANCE, format_g5(o.iteration_tolerance));
        fill_edit(OPT_MAX_ITERATIONS, int_text(o.max_iterations));
        dialog_set_unit_label(OPT_REFERENCE_TEMPERATURE_UNIT, TEMPERATURE);
        dialog_set_unit_label(OPT_DEFAULT_TEMPERATURE_UNIT, TEMPERATURE);

        if (input_locked()) {
            for (int item : EDIT_ITEMS) dialog_set_readonly(item);
            dialog_disable(OPT_PIPING_CODE);
            for (const CheckField& f : CHECK_FIELDS) dialog_disable(f.item);
            for (const ChoiceField& f : choice_fields()) dialog_disable(f.item);
            dialog_disable(OPT_Y_VERTICAL);
            dialog_disable(OPT_Z_VERTICAL);
        } else {
            update_code_dependent(piping_code());
        }
        dialog_set_focus(input_locked() ? static_cast<int>(IDOK) : static_cast<int>(OPT_PIPING_CODE));
        center_window(d, IDOK);
    }

    void command(Dialog&, int id, int notification) override {
        if (id == OPT_PIPING_CODE && notification == NOTIFY_SELCHANGE && !input_locked())
            update_code_dependent(selected_code());
    }

    // Reads a required edit into item_text().
    void read_required(int item, const char* name) {
        dialog_get_text(item);
        if (item_text().empty()) throw_required(name);
    }

    float read_factor(int item, const char* name, float stored, float lowest) {
        read_required(item, name);
        float value = 0;
        if (parse_real_buffer(value) != 0) throw_invalid(name);
        // The limit holds for the value kept, also when the field shows it rounded.
        const float kept = untouched(item) ? stored : value;
        if (value < lowest || kept < lowest) throw_invalid_text(name, "should be >= 1.00");
        return kept;
    }

    float read_temperature(int item, const char* name, float stored) {
        read_required(item, name);
        float value = 0;
        if (parse_temperature_buffer(value) != 0 || value < LOWEST_TEMPERATURE) throw_invalid(name);
        return untouched(item) ? stored : plain_temperature(value);
    }

    // The iteration tolerance, a fraction of the value between the limits.
    float read_tolerance(float stored) {
        read_required(OPT_ITERATION_TOLERANCE, "Iteration tolerance");
        float value = 0;
        if (parse_real_buffer(value) != 0) throw_invalid("Iteration tolerance");
        const float kept = untouched(OPT_ITERATION_TOLERANCE) ? stored : value;
        if (!iteration_tolerance_valid(kept))
            throw_invalid_text("Iteration tolerance", c_format("should be between %g and %g", MIN_ITERATION_TOLERANCE,
                                                               MAX_ITERATION_TOLERANCE));
        return kept;
    }

    int32_t read_count(int item, const char* name, int32_t lowest, const char* below) {
        read_required(item, name);
        int32_t value = 0;
        if (parse_int_buffer(value) != 0) throw_invalid(name);
        if (value < lowest) throw_invalid_text(name, below);
        return value;
    }

    bool ok(Dialog&) override {
        if (input_locked()) return true;
        const AnalysisOptions& stored = analysis_options();
        AnalysisOptions o = stored;
        const int32_t code = selected_code();

        for (const CheckField& f : CHECK_FIELDS) o.*f.member = dialog_is_checked(f.item);
        if (!code_allows_b31j(code)) o.use_b31j = false;
        // The cold-modulus choice means nothing under the codes without it; it is kept.
        if (!code_has_cold_modulus_option(code)) o.use_cold_modulus = stored.use_cold_modulus;
        for (const ChoiceField& f : choice_fields()) {
            int selection = dialog_list_selection(f.item);
            if (selection < 0 || selection >= static_cast<int>(f.values.size()))
                dialog_throw(f.item, std::string(f.name) + " is required");
            o.*f.member = f.values[selection];
        }
        o.z_vertical = dialog_is_checked(OPT_Z_VERTICAL);

        // Under EN 13480 the seismic coefficient K is at least 1.00.
        o.seismic_coefficient = read_factor(OPT_SEISMIC_COEFFICIENT, "Seismic coefficient", stored.seismic_coefficient,
                                            code == CODE_EN13480 ? 1.0f : -INFINITY);
        o.reference_temperature =
            read_temperature(OPT_REFERENCE_TEMPERATURE, "Reference temperature", stored.reference_temperature);
        o.thermal_cycles = read_count(OPT_THERMAL_CYCLES, "Thermal cycles", 1, "should be > 0");
        o.peak_pressure_factor =
            read_factor(OPT_PEAK_PRESSURE_FACTOR, "Peak pressure factor", stored.peak_pressure_factor, 1.0f);
        o.cutoff_frequency = read_count(OPT_CUTOFF_FREQUENCY, "Cutoff frequency", 0, "should be >= 0");
        o.number_of_modes = read_count(OPT_NUMBER_OF_MODES, "Number of modes", 0, "should be >= 0");
        o.default_temperature =
            read_temperature(OPT_DEFAULT_TEMPERATURE, "Default temperature", stored.default_temperature);
        o.iteration_tolerance = read_tolerance(stored.iteration_tolerance);
        o.max_iterations = read_count(OPT_MAX_ITERATIONS, "Maximum iterations", 1, "should be > 0");
        if (o.max_iterations > MAX_MAX_ITERATIONS)
            throw_invalid_text("Maximum iterations", "is too large");

        changed = !(o == stored) || code != piping_code();
        vertical_switched = o.z_vertical != stored.z_vertical;
        if (changed) {
            analysis_options() = o;
            piping_code() = code;
            model_modified() = true;
        }
        return true;
    }
};

}  // namespace

bool analysis_options_dialog(WindowId owner) {
    if (!input_locked()) push_undo_snapshot(owner);
    AnalysisOptionsDialog proc;
    int result = run_dialog(ANALYSIS_OPTIONS_DIALOG, proc, owner);
    if (input_locked()) return false;
    if (result != IDOK || !proc.changed) {
        discard_undo_snapshot();
        return false;
    }
    if (options_changed_hook()) options_changed_hook()();
    if (proc.vertical_switched && vertical_axis_switch_note())
        if (const std::string note = vertical_axis_switch_note()(); !note.empty()) message_warning(owner, note);
    return true;
}

void set_analysis_options_changed_hook(std::function<void()> hook) { options_changed_hook() = std::move(hook); }

void set_vertical_axis_switch_note(std::function<std::string()> note) {
    vertical_axis_switch_note() = std::move(note);
}

void install_analysis_options_command() {
    register_command(CMD_ANALYSIS_OPTIONS, [](int) { analysis_options_dialog(command_owner()); });
    register_command(CMD_QA_BLOCK, [](int) { qa_block_dialog(command_owner()); });
}
