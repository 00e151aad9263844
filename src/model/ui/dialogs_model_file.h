// Template of the File New dialog: what kind of document to start.
#pragma once

#include "platform/resources.h"

// NEW_DIALOG: one radio button per kind of document, in choice order 1..8.
enum : int {
    NEW_CHOICE_BASE = 1100,
    NEW_MODEL = 1101,
    NEW_MATERIAL_LIBRARY = 1102,
    NEW_SPECTRUM_LIBRARY = 1103,
    NEW_VALVE_LIBRARY = 1104,
    NEW_BEAM_LIBRARY = 1105,
    NEW_FLANGE_EVALUATION = 1106,
    NEW_NOZZLE_EVALUATION = 1107,
    NEW_LUG_EVALUATION = 1108,
};
inline constexpr int NEW_CHOICE_COUNT = 8;
inline constexpr int new_choice_radio(int choice) { return NEW_CHOICE_BASE + choice; }

extern const DialogTemplate NEW_DIALOG;
