// The load cases of a run that the model gives nothing to carry: a case
// whose own load no element, support or node takes is analysed all the
// same, as all zeros, and the run says so where it puts its other warnings.
#pragma once

#include <string>
#include <vector>

struct AnalysisModel;

// One line for each of the run's load cases that carries nothing at all, in
// the order of the cases, "<name>: <what is missing> (<why>)":
//   - a wind case (Wind, Wind 2 to 4) whose wind no element takes, as no
//     element's pipe or beam load has its wind flag on: "Wind 1: no element
//     takes wind (the wind flag of every pipe load is off)", named by its
//     wind load as the wind dialog numbers them;
//   - Settlement where no anchor or nozzle is given a settlement;
//   - Expansion (Tk) of a linear model where no element's temperature Tk
//     differs from the reference temperature, no force or specified
//     displacement of set k is given, and no pressure of set k acts by its
//     Bourdon effect. (A nonlinear model's Expansion is the difference of
//     Operating (k) and Sustained, which friction and gaps can make other
//     than 0 without any load of set k.)
// A seismic g case always carries the weight (the model check refuses one
// without a g factor), as do the cases with weight.
std::vector<std::string> unloaded_case_lines(const AnalysisModel& model, bool linear);

// The wind load a note of a wind case is named by ("Wind 1" for the case
// Wind); "" for a code of another case.
std::string wind_case_note_name(int code);
