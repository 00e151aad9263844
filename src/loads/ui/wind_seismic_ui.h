// The wind and seismic dialogs of the Loads menu: WIND_DIALOG (the four wind
// loads with their direction, shape factor, structure height and profile
// table, and the profile units), ASCE_WIND_DIALOG (the ASCE/SEI 7-10 design
// wind), SEISMIC_DIALOG (the static g factors, their flags and combination)
// and ASCE_SEISMIC_DIALOG (the component force data, which compute the
// factors).
#pragma once

#include "platform/backend.h"

// Each edits a copy and stores it at OK when it differs; IDOK or IDCANCEL.
int edit_wind(WindowId owner = 0);
int edit_seismic(WindowId owner = 0);

// The commands "&Wind..." and "&Seismic...".
void install_wind_seismic_ui();
