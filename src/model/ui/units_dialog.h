// The Units command: UNITS_DIALOG chooses the unit of every quantity; the
// choice is kept with the model and in the settings store, and the open
// tables and windows are refreshed.
#pragma once

#include "framework/units.h"
#include "platform/backend.h"

#include <functional>

class SettingsStore;

// The English set: the first unit of every quantity.
void english_unit_choices(UnitChoices& choices);
// The SI set: mm, N, Nm, kg, C, bar, MPa ...; the angle unit keeps its choice.
void si_unit_choices(UnitChoices& choices);

// Shows UNITS_DIALOG. OK with a changed choice stores it in `unit_choice`,
// sets `model_modified` and calls the units-changed hook; every OK writes the
// choice to the settings store. True when the choice changed.
bool units_dialog(WindowId owner);

// Called after the unit choice changed, so that tables and windows redisplay
// their values; an empty function removes it.
void set_units_changed_hook(std::function<void()> hook);

// The "Units" value under the preferences key: 20 numbers, one per quantity.
void save_unit_settings(SettingsStore& store);
// Applies a stored choice; false (and nothing changed) when none is stored or
// any entry is damaged.
bool load_unit_settings(const SettingsStore& store);

// Registers the Units command (CMD_UNITS) with the command registry.
void install_units_command();
