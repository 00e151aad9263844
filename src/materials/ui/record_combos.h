// The combo boxes of the element dialogs that offer the model's pipe
// materials and pipe sections by name (the pipe-load combo is
// dialog_fill_load_combo of model/ui/named_set_ui.h).
#pragma once

// Fill the combo `item` of the running dialog with the names of the model's
// pipe materials or pipe sections in order from 1, after the default entry
// ("Default") when `after_default`.
void dialog_fill_material_combo(int item, bool after_default = false);
void dialog_fill_section_combo(int item, bool after_default = false);
