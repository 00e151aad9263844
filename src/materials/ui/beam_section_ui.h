// The beam sections' dialog, table and report: what beam_section.cpp shares
// with beam_section_ui.cpp.
#pragma once

#include "materials/beam_section.h"

#include <string>

// Name checks of the dialog's step 1 for record `index` (0: a new record).
void check_beam_section_name(const std::string& name, int index);
// Enter on a record: area and both moments of inertia above 0.
void check_beam_section_values(const BeamSection& s);
// Installs the beam sections (install_beam_sections) with their "Beam
// sections" data list and the list window's commands 244 and 270; the table
// follows document changes.
void install_beam_sections_ui();

void open_beam_sections_table();
// BEAM_SECTION_DIALOG for record `index` (1..numbsections()+1); IDOK when stored.
int edit_beam_section(int index);
// "&AISC Beam Library..." on the table's current row.
void pick_aisc_beam_section(int owner);
void pick_beam_section_from_library(int owner);
void print_beam_sections();
void refresh_beam_section_table();
// Forgets the record half typed into the table's input row (the model closes).
void reset_beam_section_table_input();
// Hook of the views: the 2D screen positions and the model extent follow a
// changed depth or width.
void beam_section_size_changed();
