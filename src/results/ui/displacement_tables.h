// The displacement results: every results node's three translations and
// three rotations in the current load case, in global axes or in the
// pipe's local axes at the node; the displacement extremes (the largest and
// smallest of each component with its node) as the other displacement
// kind (287, 330, 331); and the weight and centre of gravity of the piping
// (CG_DIALOG, command 378).
#pragma once

#include "framework/ui/table.h"
#include "platform/handles.h"
#include "platform/resources.h"

#include <array>

// The displacements of the results node list's `row` as the table shows
// them: global, or in the pipe's local axes at the node when
// `local_displacements_shown`.
bool& local_displacements_shown();
std::array<float, 6> shown_displacements(int node_index);

// The six global values (DX, DY, DZ in inches, three rotations in
// radians) of node index `node` in the current load case, read when the
// loaded block is not that case's; zeros for a node without results.
std::array<float, 6> node_displacements(int node);

// The "&Displacements" result: the kind shown last (the displacements at
// first). show_other_displacements is its show operation.
void show_other_displacements();
void print_displacements();
// CG_DIALOG.
void centre_of_gravity_dialog(WindowId owner);
const DialogTemplate& centre_of_gravity_template();

void install_displacement_tables();
TableWindow& displacement_table();
TableWindow& displacement_extremes_table();
