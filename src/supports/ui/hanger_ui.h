// Input of hangers: HANGER_DIALOG and the "Hangers" table.
#pragma once

#include "supports/ui/support_table.h"

SupportKindUi hanger_kind_ui();
// The hanger types in the order of the dialog's chooser: the catalogues 1
// to 35, then the user hanger, the rod hanger and the constant support.
int hanger_type_of_entry(int entry);
int hanger_entry_of_type(int type);
