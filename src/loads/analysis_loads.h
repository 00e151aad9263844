// The loads of the analysis snapshot: what the analysis layer's
// make_analysis_model asks of the loads through analysis_load_hooks().
#pragma once

struct AnalysisLoads;

// Fills the loads of the document's model as plain values: the pipe loads
// (every set as stored; the model check refuses a load case of a set beyond
// numtloads) and beam loads in their sets' order, the static seismic factors
// with their flags and combination, the four wind cases with copies of the
// wind data in their functions, the hydrotest loads of the rows, and what
// the dynamic analyses read: the spectra and force spectra (their ordinates
// in the internal units), the time functions, the time-history options and
// the response-spectrum input.
void fill_analysis_loads(AnalysisLoads& loads);

// Sets analysis_load_hooks().fill_loads.
void install_analysis_loads();
