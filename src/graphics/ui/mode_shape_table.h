// The mode shape table of the results window: the current mode's node
// displacements (node, X, Y, Z, XX, YY, ZZ), stepping through the modes, the
// menu items the results window has while it is shown, its popup, and its
// printing (table pages, text report, CSV) of every mode.
#pragma once

#include "framework/ui/table.h"

TableWindow& mode_shape_table();
// Shows the table of the current mode (nothing for a model without nodes).
void show_mode_shapes();
// The next (+1) or previous (-1) mode, wrapping at both ends; nothing with
// fewer than two modes. A shown static mode shape is drawn for the new mode,
// a running animation restarted with it.
void step_mode(int delta);
// The results window's mode items while the table is shown, and back.
void enter_mode_shape_menus();
void leave_mode_shape_menus();
// Every mode's table through the report state (pages, text or CSV); the
// current mode is kept.
void print_mode_shapes();
// The text report or CSV of one mode (the current one).
void print_mode_shape_text();
void print_mode_shape_csv();
// Registers the result's show operation with the results window.
void install_mode_shape_table();
