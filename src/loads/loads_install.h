// Start-up of the loads layer's data part.
#pragma once

// The pipe and beam loads, wind, seismic, spectra, force spectra and time
// functions with their model-file sections; the classes of the load data
// items (force, concentrated mass, time-varying, harmonic and force-spectrum
// loads) and of the hydrotest-load row; the analysis snapshot's loads hook.
void install_loads();
