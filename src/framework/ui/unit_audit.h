// The unit sweep: while it is on, every typed value that a dialog field or a
// table cell gives to the parser of a quantity is compared with the unit
// label shown with it — in a dialog, the label in the field's own row of the
// dialog's grid nearest to it, else the label over it; in a table, the unit in the column's
// headings or in the group heading over it. A label that names another unit
// than the one the value is read in is a finding (the text typed would be
// taken in a unit other than the one the user was shown). The tests turn it
// on and walk every dialog and table.
#pragma once

#include <string>
#include <vector>

class TableWindow;

void start_unit_audit();
void stop_unit_audit();
// One line per field or cell that was read in another unit than its label
// names: "VALVE_DIALOG field 1302: read in (inch) under the label (ft)".
const std::vector<std::string>& unit_audit_findings();
// How many typed values were compared with a label so far.
int unit_audit_checked();

// The table cell being stored (null: none), set around a table's store_cell.
void unit_audit_cell(TableWindow* table, int column);
