// The windows of the element kinds of this layer: their dialogs, opened for
// a layout row (from the layout, a pick in a view or a table line, which
// need not be the current layout row), their input tables in the list
// window, and the tables' printed and CSV forms.
#pragma once

#include "elements/ui/element_ui_common.h"
#include "platform/backend.h"

// The dialogs: true when the dialog stored something for the row. A row of
// another kind becomes one of the dialog's kind when OK stores.
bool edit_bend(int row, WindowId owner = 0);           // BEND1_DIALOG or BEND2_DIALOG (bend_dialog_name)
bool edit_miter(int row, WindowId owner = 0);          // MITER_DIALOG
bool edit_jacketed_bend(int row, WindowId owner = 0);  // JBEND_DIALOG
bool edit_reducer(int row, WindowId owner = 0);        // REDUCER_DIALOG
bool edit_cut_pipe(int row, WindowId owner = 0);       // CUTPIPE_DIALOG
bool edit_jacketed_pipe(int row, WindowId owner = 0);  // JPIPE_DIALOG

// Selects in the open jacketed-pipe or jacketed-bend dialog the jacket's
// material, section and load of the nearest jacketed row at or above `row`
// (down to row 2); without one the combos keep their selection.
void jacket_defaults_to_dialog(int row);
bool edit_beam(int row, WindowId owner = 0);           // BEAM_DIALOG1
bool edit_ball_joint(int row, WindowId owner = 0);     // BALL_DIALOG
bool edit_hinge_joint(int row, WindowId owner = 0);    // HINGE_DIALOG
bool edit_rigid(int row, WindowId owner = 0);          // RIGID_DIALOG
bool edit_valve(int row, WindowId owner = 0);          // VALVE_DIALOG
bool edit_bellows(int row, WindowId owner = 0);        // BELLOWS_DIALOG
bool edit_slip_joint(int row, WindowId owner = 0);     // SLIP_DIALOG
bool edit_elastic(int row, WindowId owner = 0);        // ELASTIC_DIALOG
bool edit_tie_rod(int row, WindowId owner = 0);        // TIE_ROD_DIALOG

// The input tables: "Bends" (radius, thickness, material and flexibility
// factors typed in cells), "Miter bends" (view only), "Reducers" (end sizes
// typed in cells), "Cut pipes" (view only).
ElementRowsTable& bends_table();
ElementRowsTable& miters_table();
ElementRowsTable& reducers_table();
ElementRowsTable& cut_pipes_table();
// "Jacketed pipes": jacketed pipes and jacketed bends (view only).
ElementRowsTable& jacketed_pipes_table();
// "Beams" (beta typed), "Ball joints" and "Hinge joints" (every value typed,
// copy and paste), "Rigid elements" (weight typed), "Valves" (every value
// typed; a length rewrites the row's offsets), "Bellows", "Slip joints",
// "Elastic elements" (rates typed) and "Tie rods".
ElementRowsTable& beams_table();
ElementRowsTable& ball_joints_table();
ElementRowsTable& hinge_joints_table();
ElementRowsTable& rigid_elements_table();
ElementRowsTable& valves_table();
ElementRowsTable& bellows_table();
ElementRowsTable& slip_joints_table();
ElementRowsTable& elastic_elements_table();
ElementRowsTable& tie_rods_table();
// A table is shown with open_element_rows_table and printed (graphic pages,
// text or CSV report, by the report state) with its write_report.

// Installs the element classes and these windows: the layout's element
// dialogs, the pick hooks of the views, the data lists of the tables.
void install_elements_ui();
