// Where the kinds put their results of a load case: the end forces of each
// element (element_assembly.h records them) and the support loads of each
// data item, in the words of the results file.
#pragma once

#include <span>

class AnalysisRun;
struct Model;

// The number of float32 support-load values a data type writes per load
// case: Anchor 6, Restraint 3, Skewed restraint 1, Hanger 1, Guide 3, Limit
// stop 2, Nozzle 6, Snubber 1, Generic support 6, every other type 0.
int support_word_count(int dtype);
// Whether a support-load value (0-based word) of a data type is a magnitude
// rather than a signed component: a limit stop's friction (word 1).
bool support_word_is_magnitude(int dtype, int word);
// The support-load values of all rows of a model per load case.
int support_value_count(const Model& model);

// Stores a row's support loads of the current case; exactly
// support_word_count of the row's data type values (an internal check).
void record_support_loads(AnalysisRun& run, int row, std::span<const double> values);
