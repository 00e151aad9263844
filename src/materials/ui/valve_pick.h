// The valve pick of a valve element: the valves of the valve library whose
// outside diameter is that of the pipe at the valve, offered in
// VALVE_LIBRARY_USE_DIALOG; the chosen valve's weight and length go into the
// valve element. The library is read for the pick from the valve library
// file (the remembered one, or one the user chooses) and kept whole; every
// pick offers the valves of its own diameter.
#pragma once

#include "framework/one_based.h"
#include "materials/valve_library.h"
#include "platform/backend.h"

#include <optional>

// The library read for picks (names the file of valve_library_path()).
OneBased<ValveRecord>& valve_pick_library();
// Forgets it: the next pick reads the file again.
void forget_valve_pick_library();

// " Valve data not available for this diameter: 6 (inch)".
std::string valve_size_missing_message(double outside_diameter);

struct ValveChoice {
    float weight = 0.0f;   // lb; 0: the library gives none
    float length = 0.0f;   // inch; 0: the library gives none
};
// Offers the valves for a pipe of outside diameter `od` (inch) and gives the
// chosen one's weight and length; none when no valve was chosen (cancelled,
// no library, no valve of that diameter: each reported). A choice sets
// model_modified.
std::optional<ValveChoice> pick_valve_by_diameter(WindowId owner, double od);
