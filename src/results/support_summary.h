// The support load summary: for every support, its loads and the
// translations of its node in the combinations a support designer needs
// (the sustained and operating bases, design, settlement, hydrotest, each
// wind and dynamic case added to and, for dynamic cases, subtracted from
// each base), with the maximum, the minimum and the allowables. Built once
// when results open; each support item keeps its own column values
// (SupportItem::summary, per column its loads and DX, DY, DZ).
#pragma once

#include "results/results_state.h"

#include <string>
#include <vector>

// True when the summary is built: there is a support and the results hold
// Sustained (W+P) or an operating case.
bool support_summary_wanted();
// Builds the column names and fills every support's records (reading the
// support loads and displacements of each case it needs); the current case
// is the one that was current before. Support 1 becomes current.
void build_support_load_summary();
// Lets every support free its records and forgets the columns.
void free_support_load_summary();
bool support_summary_built();
// The column names, 1-based; "Maximum", "Minimum", "Allowables" last.
const OneBased<std::string>& support_summary_columns();

// The current summary support: an index 1..numsupports into the supports
// in kind order, and its layout row.
int summary_support();
int summary_support_row();
void set_summary_support(int index);
// Next and previous support, wrapping at both ends.
void next_summary_support();
void previous_summary_support();

// The pick list's type text of a support row: the kind's name; a limit
// stop's with its direction cosines, "Limit Stop  ( 0.71, 0.71, 0.00)".
std::string summary_support_type_text(int row);
