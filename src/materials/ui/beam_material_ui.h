// The beam materials' dialog, table and report: what beam_material.cpp
// shares with beam_material_ui.cpp.
#pragma once

#include "materials/beam_material.h"

#include <string>

// Installs the beam materials (install_beam_materials) with their "Beam
// materials" data list and command; the table follows document changes.
void install_beam_materials_ui();
// Redisplays the table when it is shown.
void refresh_beam_material_table();
// Forgets the record half typed into the table's input row (the model closes).
void reset_beam_material_table_input();

// The "Beam materials" table in the list window; BEAM_MATERIAL_DIALOG for
// record `index` (1..numbmats()+1); IDOK when stored.
void open_beam_materials_table();
int edit_beam_material(int index);
// The text report and CSV form.
void print_beam_materials();

// Highlighting of the layout rows of a beam material while the table's
// current row changes (the graphics subsystem fills these in).
struct BeamMaterialHighlight {
    bool (*enabled)() = nullptr;
    void (*highlight_rows)(const std::string& name) = nullptr;
};
BeamMaterialHighlight& beam_material_highlight();
