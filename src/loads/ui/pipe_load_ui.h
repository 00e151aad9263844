// Input of pipe loads and beam loads: their dialogs (PIPE_LOAD_DIALOG,
// BEAM_LOAD_DIALOG), the "Pipe Loads" and "Beam Loads" tables of the list
// window and the layout's Load cell, which opens the dialog of the row's
// load (a beam load on a beam row).
//
// The dialogs and tables show the temperature and pressure sets in use
// (numtloads; all ten above 3); the sets beyond keep what they hold.
#pragma once

#include "loads/beam_load.h"
#include "loads/pipe_load.h"
#include "loads/ui/load_tables.h"
#include "platform/backend.h"

// PIPE_LOAD_DIALOG on load `index`; an index past the last opens a new
// load that starts from `start` (make_pipe_load() by default) and that OK
// appends. IDOK when stored or confirmed, IDCANCEL otherwise.
int edit_pipe_load(int index, WindowId owner = 0, const PipeLoad& start = make_pipe_load());
int edit_beam_load(int index, WindowId owner = 0, const BeamLoad& start = make_beam_load());

// Fills a combo of the running dialog with the model's pipe loads, in order
// from 1 (after the default entry when asked): dialog_fill_load_combo on
// the loads' set.
void fill_pipe_load_combo(int item, bool after_default = false);

NamedLoadTable<PipeLoad>& pipe_loads_table();
NamedLoadTable<BeamLoad>& beam_loads_table();
void open_pipe_loads_table();
void open_beam_loads_table();

// The sets, their tables ("Loads", "Beam Loads" data lists, commands 190 and
// 309) and the layout's Load cell.
void install_pipe_loads_ui();
