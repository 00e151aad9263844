// Start-up of the loads layer: its data (install_loads) and its windows:
// the tables and dialogs of pipe and beam loads, of the load data items and
// the hydrotest-load rows, wind, seismic, spectra, force spectra and time
// functions, and the Loads menu's commands.
#pragma once

void install_loads_subsystem();
