// The results load cases: which codes the results window shows and in what
// order, the current results load case (results_loadcase), stepping through
// the cases with wrap-around, and the test for dynamic cases.
#pragma once

#include "results/results_state.h"

#include <string>
#include <vector>

// The codes in display order: static analysis and empty weight first, the
// sustained cases, the expansion cases by temperature, the operating cases,
// design, the cold-spring cases, settlement, hydrotest, the occasional and
// dynamic cases last.
const std::vector<int>& results_display_order();
// True when a load-case code has a place in the display order (Settlement
// only for the codes of code_is_class2_group). Every other code of a
// results file (and Modal analysis, which has a block of its own) is no
// results load case.
bool results_code_displayable(int code, int32_t piping_code);
// The cases in display order: for each displayable code, the first case of
// `file_order` with that code (a later duplicate is not shown).
OneBased<ResultsLoadCase> order_results_load_cases(const OneBased<ResultsLoadCase>& file_order);

// The current results load case: its index (1-based; 0 when there is none),
// its code and its name.
int results_loadcase();
int results_loadcase_code();
std::string results_loadcase_name();
// The index of a code among the results, 0 when it is not among them (the
// first match wins).
int results_load_case_index(int code);
// Makes the case with this code current; false (nothing changed) when the
// code is not among the results.
bool set_results_load_case(int code);
// Makes the case with this index current; false when out of range.
bool set_results_load_case_index(int index);
// The next and previous case, wrapping at both ends.
void next_load_case();
void previous_load_case();
// True for the cases whose values have no sign: Seismic (g), Response
// spectrum, Harmonic response and Force spectrum.
bool load_case_is_dynamic(int code);
bool results_loadcase_is_dynamic();
// The title text of a result on the current case: the text, ": " and the
// case's name (the text alone when there is no case).
std::string results_title_text(const std::string& text);
