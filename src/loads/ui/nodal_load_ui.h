// Input of the loads at nodes and of the hydrotest-load rows: the dialogs of
// force, concentrated mass, time-varying, harmonic and force-spectrum loads
// (opened from the layout's Data cell and the kinds' tables) and of the
// hydrotest load (its Type cell), and the kinds' input tables in the list
// window ("Forces", "Concentrated masses", ... "Hydrotest loads").
#pragma once

#include "loads/ui/load_tables.h"
#include "platform/backend.h"

// The dialog of the load data item of a layout row (its kind by the row's
// data type); true when it stored something. The hydrotest load's dialog on
// a hydrotest-load row.
bool edit_nodal_load(int row, WindowId owner = 0);
bool edit_hydrotest_load(int row, WindowId owner = 0);

// The input table of a data type (16..20), or of the hydrotest-load rows
// (data type 0).
ItemRowsTable& nodal_load_table(int dtype);
void open_nodal_load_table(int dtype);

// The dialogs as the layout's hooks, the tables as data lists, and the
// Hydrotest command (the hydrotest loads' table).
void install_nodal_loads_ui();
