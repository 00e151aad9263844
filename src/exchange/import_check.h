// What every importer (batch file, PipePak and CAESAR II neutral files)
// checks once its model stands, so that an import never gives a model that
// the program's own model file reader or model check refuses: every row is
// put through the model file's reader (first_unreadable_row), and every data
// item through its own check of the model check (DataItem::check: its
// values, its connected node, its direction). The importer refuses the first
// fault with the line that made the row.
#pragma once

#include "model/model_file.h"

// The first row that fails, with the message of the check (which names the
// row); row 0 when every row passes. Runs on the built model.
RowRefusal imported_row_refusal();
