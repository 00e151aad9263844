// RESPONSE_SPECTRUM_DIALOG, the command "&Response Spectrum..." of the Loads
// menu: the spectrum that excites each global direction (one of the model's
// response spectra, or none) with its factor, the combinations of the modes,
// the directions and the missing mass, the damping ratio of the CQC and the
// closely-spaced fraction of the ten percent combination. OK checks the
// values as the model file reader does (response_spectrum_fault) and stores
// them when they changed.
#pragma once

#include "platform/backend.h"

// IDOK or IDCANCEL.
int edit_response_spectrum(WindowId owner = 0);

void install_response_spectrum_ui();
