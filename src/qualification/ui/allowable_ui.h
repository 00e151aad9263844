// The allowable nozzle loads of the model: ALLOWABLE_DIALOG, the
// "Allowables" table of the list window with Copy and Paste of a record,
// and the list in the input report.
#pragma once

#include "platform/backend.h"
#include "qualification/equipment.h"

class TableWindow;

// Runs ALLOWABLE_DIALOG on a record (its number in the caption); 1 when OK
// closed it, 0 when cancelled or browse-only.
int edit_allowable(AllowableLoad& record, int number, WindowId owner);

// Opens the table in the list window ("Allowables", the Misc menus' item).
void show_allowables_table();
TableWindow& allowables_table();

// Copy: the table's current record becomes the copy source (none on an
// empty table). Paste: the source's values go into the dialog of the
// current row, which stores them on OK; the source is then cleared.
void current_allowable();
void paste_allowable();

// The list in the current report destination; nothing without records.
void print_allowables();

// The Misc menus' "&Allowables", the data list, the table reset and the
// model edits' hooks (deletion refused at an allowable's node, renumbering).
void install_allowables_ui();
