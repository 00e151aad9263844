// The support results: the loads of every support of one kind in the
// current load case ("Loads on Restraints" ...), the summary of one support
// over the combinations of the support load summary, and the limit-stop
// status. Nine kinds, one shape: each kind is a row of data (its titles,
// the loads it has with their headings and units, the columns of its text
// report); restraints, skewed restraints and snubbers keep the layouts of
// their own.
//
// Anchors and nozzles show their six loads in global axes or, switched by
// 288 ("Local Loads"), in the pipe's local axes at their node. Guides show
// their three loads in the guide's axes (x along the pipe).
#pragma once

#include "framework/ui/table.h"

#include <string>

// Anchors and nozzles show local loads.
bool& local_support_loads_shown();

// For the current load case, the loads table of every support kind the
// model has, in the order anchors, restraints, skewed restraints, hangers,
// guides, limit stops, nozzles, generic supports, then snubbers only in
// Seismic (g), Response spectrum, Force spectrum, Time history or Harmonic
// response.
void print_all_support_loads();
// Every support's summary, in kind order, as the report prints them: on
// graphic pages and in CSV each support's table; in a text report under the
// heading "Support load summary".
void print_all_support_summaries();

// The limit-stop status of the current load case: per stop "Resting" (the
// lower stop pushes), "At upper limit" (the upper stop pushes) or "Lifted
// off", with its load.
void show_limit_stop_status();
std::string limit_stop_status_text(float load);

// Registers the support tables of the nine kinds.
void install_support_load_tables();
// The tables of a kind (tests): 0 anchors .. 8 generic supports, the
// support-kind order of results_hooks.h.
TableWindow& support_loads_table(int kind);
TableWindow& support_summary_table(int kind);
TableWindow& limit_stop_status_table();
