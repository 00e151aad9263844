// The beam sections' dialog, table and report: what beam_section.cpp shares
// with beam_section_ui.cpp.
#pragma once

#include "materials/beam_section.h"

#include <string>

// Name checks of the dialog's step 1 for record `index` (0: a new record).
void check_beam_section_name(const std::string& name, int index);
// Enter on a record: area and both moments of inertia above 0.
void check_beam_section_values(const BeamSection& s);
void install_beam_section_table();
void refresh_beam_section_table();
// Forgets the record half typed into the table's input row (the model closes).
void reset_beam_section_table_input();
// Hook of the views: the 2D screen positions and the model extent follow a
// changed depth or width.
void beam_section_size_changed();
