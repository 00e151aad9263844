// The beam materials' dialog, table and report: what beam_material.cpp
// shares with beam_material_ui.cpp.
#pragma once

#include <string>

// Name checks of the dialog's step 1 for record `index` (0: a new record);
// throws the message text of the first failure.
void check_beam_material_name(const std::string& name, int index);
// Poisson's ratio: parses, 0.01 <= Nu < 0.5; throws otherwise.
float check_beam_material_nu(const std::string& text);
// Registers the "Beam materials" data list.
void install_beam_material_table();
// Redisplays the table when it is shown.
void refresh_beam_material_table();
// Forgets the record half typed into the table's input row (the model closes).
void reset_beam_material_table_input();

// Highlighting of the layout rows of a beam material while the table's
// current row changes (the graphics subsystem fills these in).
struct BeamMaterialHighlight {
    bool (*enabled)() = nullptr;
    void (*highlight_rows)(const std::string& name) = nullptr;
};
BeamMaterialHighlight& beam_material_highlight();
