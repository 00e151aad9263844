#include "model/ui/units_dialog.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/state.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/shell.h"
#include "model/ui/dialogs_model.h"

#include <charconv>

namespace {

constexpr const char* UNITS_VALUE = "Units";

// The SI choice of every quantity; -1 keeps the choice (the angle).
constexpr int SI_CHOICES[NUM_UNIT_QUANTITIES + 1] = {
    0,
    4,   // LENGTH: mm
    1,   // DIMENSION: mm
    1,   // DISPLACEMENT: mm
    -1,  // ANGLE: unchanged
    1,   // FORCE: N
    2,   // MOMENT: Nm
    1,   // WEIGHT_PER_LENGTH: kg/m
    1,   // WEIGHT: kg
    2,   // DENSITY: kg/m3
    1,   // WEIGHT_DENSITY: kg/m3
    1,   // TEMPERATURE: C
    1,   // EXPANSION: mm/mm/C
    1,   // PRESSURE: bar
    1,   // STRESS: MPa
    1,   // MODULUS: MPa
    1,   // STIFFNESS: N/mm
    2,   // ROT_STIFFNESS: Nm/deg
    1,   // AREA: mm2
    1,   // INERTIA: mm4
    2,   // SPEED: m/s
};

struct UnitsChangedHook {
    std::function<void()> value{};
};

std::function<void()>& units_changed_hook() {
    return session_part<UnitsChangedHook>().value;
}

void select_choices(const UnitChoices& choices) {
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q) dialog_list_select(units_combo(q), choices[q]);
}

// The choices shown, with unit_choice where a combo has no selection.
UnitChoices shown_choices() {
    UnitChoices shown = unit_choice();
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q) {
        int selection = dialog_list_selection(units_combo(q));
        if (unit_choice_valid(q, selection)) shown[q] = selection;
    }
    return shown;
}

struct UnitsDialog : DialogProc {
    bool changed = false;

    void init(Dialog& d) override {
        for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q) {
            dialog_list_reset(units_combo(q));
            for (int i = 0; i < unit_count(q); ++i) dialog_list_add(unit_name(q, i));
            dialog_list_select_current(current_unit(q));
        }
        dialog_set_focus(units_combo(LENGTH));
        center_window(d, IDOK);
    }

    void command(Dialog&, int id, int) override {
        if (id != UNITS_ENGLISH && id != UNITS_SI) return;
        UnitChoices choices = shown_choices();
        if (id == UNITS_ENGLISH) english_unit_choices(choices);
        else si_unit_choices(choices);
        select_choices(choices);
    }

    bool ok(Dialog&) override {
        UnitChoices chosen = shown_choices();
        chosen[0] = unit_choice()[0];
        changed = chosen != unit_choice();
        if (changed) {
            unit_choice() = chosen;
            model_modified() = true;
        }
        if (backend_installed()) save_unit_settings(backend().settings());
        return true;
    }
};

}  // namespace

void english_unit_choices(UnitChoices& choices) {
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q) choices[q] = 0;
}

void si_unit_choices(UnitChoices& choices) {
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q)
        if (SI_CHOICES[q] >= 0) choices[q] = SI_CHOICES[q];
}

bool units_dialog(WindowId owner) {
    UnitsDialog proc;
    if (run_dialog(UNITS_DIALOG, proc, owner) != IDOK || !proc.changed) return false;
    if (units_changed_hook()) units_changed_hook()();
    return true;
}

void set_units_changed_hook(std::function<void()> hook) { units_changed_hook() = std::move(hook); }

void save_unit_settings(SettingsStore& store) {
    std::string text;
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q) {
        if (q > 1) text += ',';
        text += std::to_string(current_unit(q));
    }
    store.set_string(settings_key(PREFERENCES_KEY), UNITS_VALUE, text);
}

bool load_unit_settings(const SettingsStore& store) {
    std::optional<std::string> text = store.get_string(settings_key(PREFERENCES_KEY), UNITS_VALUE);
    if (!text) return false;
    UnitChoices loaded = unit_choice();
    const char* p = text->data();
    const char* end = p + text->size();
    for (int q = 1; q <= NUM_UNIT_QUANTITIES; ++q) {
        if (q > 1) {
            if (p == end || *p != ',') return false;
            ++p;
        }
        int32_t value = 0;
        auto [next, ec] = std::from_chars(p, end, value);
        if (ec != std::errc() || !unit_choice_valid(q, value)) return false;
        loaded[q] = value;
        p = next;
    }
    if (p != end) return false;
    unit_choice() = loaded;
    return true;
}

void install_units_command() {
    register_command(CMD_UNITS, [](int) { units_dialog(command_owner()); });
}
