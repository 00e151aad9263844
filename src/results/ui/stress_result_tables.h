// The code-stress results: the sorted stresses (every evaluated element
// end once, with the governing load case of the category the stress-ratio
// kind names, largest ratio or largest stress first) and the code
// compliance (every evaluated end in every load case with a code stress).
//
// Both show the stress, its allowable and their ratio in per cent: a ratio
// above 100 % is drawn red on screen and printed inverted; with a display
// threshold set (THRESHOLDS_DIALOG), a stress or ratio above it is drawn
// blue; a stress without allowable shows "Not checked" and why. A row of
// the pipeline codes' hoop stress names its case with ": hoop". Under no
// code the sorted stresses are the von Mises, maximum or minimum principal
// stresses of Static analysis, without allowables. Their reports print
// under the rows the factors of expansion stresses taken on the reference
// modulus, and the code compliance the evaluation's notes.
//
// "Color code stresses" (383), while the sorted stresses with their rows are
// shown: the view's stress and ratio colouring goes off, and the sorted
// stresses colour their Stress and Ratio cells on the scale of the view's
// colour bar (blue the lowest stress shown, red the highest; ratios from 0
// blue to 100 % red) in place of the threshold marks, until "No color
// coding" (the same command) takes it off again.
//
// Commands while they are shown: 374 switches the sorted stresses between
// ratio order and stress order, and the code compliance between all rows and
// the rows over their allowable; 338 shows or hides the ratio column of the
// sorted stresses; Left and Right step the stress-ratio kind (sustained,
// expansion, occasional, and hoop under the pipeline codes) of the sorted
// stresses.
#pragma once

#include "codes/stress_tables.h"
#include "framework/ui/table.h"

#include <string>
#include <vector>

// The rows of the sorted stresses for the stress-ratio kind and order of the
// display flags (codes/stress_display.h); none before an evaluation.
std::vector<StressRow> current_sorted_stresses();
// Their range: the colour range of the views' stress colouring.
StressRange current_sorted_stress_range();
// The code-compliance rows shown (all, or those over their allowable).
std::vector<StressRow> current_compliance_rows();
// Whether the code compliance shows only the rows over their allowable.
bool& compliance_failures_only();

// The evaluation's notes ("Code stresses are not available for %s"), once
// per opening of the results, by the first table that needs them.
void show_code_evaluation_notes();

void show_sorted_stresses();
void show_code_compliance();
void print_sorted_stresses();
void print_code_compliance();

// Command 383 and whether it can run now.
void colour_coding_command();
bool colour_coding_available();

void install_stress_result_tables();
TableWindow& sorted_stress_table();
TableWindow& code_compliance_table();
