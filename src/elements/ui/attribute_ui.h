// The windows of the row attributes: their dialogs (opened for a layout
// row, from the layout, a view or a table line), their input tables, the
// flange weight library, the "Branch Points" list and the check of the
// branch SIFs against the piping code before a save.
#pragma once

#include "elements/ui/attribute_table.h"
#include "elements/ui/element_ui_common.h"
#include "framework/errors.h"
#include "platform/backend.h"

// The dialogs: true when the dialog stored something for the row. A row
// with another data item (or none) gets one of the dialog's kind when OK
// stores.
bool edit_flange(int row, WindowId owner = 0);       // FLANGE_DIALOG
bool edit_branch_sif(int row, WindowId owner = 0);   // BRANCH_SIF_DIALOG
bool edit_user_sif(int row, WindowId owner = 0);     // USER_SIF1/2/3_DIALOG by the piping code
bool edit_weld(int row, WindowId owner = 0);         // WELD_DIALOG

// FLANGE_LIBRARY_DIALOG of a list (FlangeLibraryKind) at a size index:
// true on OK, with the weight of the chosen rating (lb; halved for a single
// flange; 0 when no weight is known for it).
bool pick_flange_library_weight(int kind, int size, WindowId owner, double& weight);

// The input tables.
AttributeRowsTable& jacket_connections_table();   // "Jacket connections"
AttributeRowsTable& flanges_table();              // "Flanges"
AttributeRowsTable& branch_sifs_table();          // "Branch SIFs"
AttributeRowsTable& user_sifs_table();            // "User SIFs"
AttributeRowsTable& welds_table();                // "Welds"
AttributeRowsTable& threaded_joints_table();      // "Threaded joints"

// The read-only "Branch Points" list: a line per node where more than two
// element ends meet, with the type text of its branch SIF.
TableWindow& branch_points_table();
void open_branch_points();

// Offers, row by row, to replace each branch SIF whose type the piping code
// does not allow by the code's replacement type (File Save and Save As).
void check_branch_sifs_for_code(WindowId owner);

// The attribute of kind `dtype` on a row; null for a row with another data
// item or none.
template <typename T>
T* row_data_of(int row, int dtype)
{
    const Model& m = model();
    if (!m.rows.valid(row) || m.rows[row].dtype != dtype)
        return nullptr;
    return dynamic_cast<T*>(m.rows[row].data.get());
}
// The attribute a dialog stores into: the row's own, or a new one that
// takes the place of the row's data item.
template <typename T>
T& data_to_store(int row, int dtype)
{
    T* item = row_data_of<T>(row, dtype);
    if (!item)
        item = dynamic_cast<T*>(LayoutRow::change_dtype(row, dtype));
    KV_ASSERT(item != nullptr);
    return *item;
}
// After a dialog stored an attribute: the model is marked modified and
// built again (the lists, the views and the open tables follow) and the
// layout shows it.
void attribute_stored();

// The heading of an attribute table's text and CSV forms: one line.
ReportHeading attribute_heading(int dtype, const char* title, std::vector<ReportHeadingEntry> entries);

// The layout's dialogs, data lists and save hooks of the attributes.
void install_attribute_ui();
