// The "&Time history" result: TIME_HISTORY_RESULTS_DIALOG (support loads,
// element forces or displacements), the pick list of each, and the history
// tables: one per support kind, the element-force history (local, or global
// through the element-force conversion when one is registered) and the
// displacement history. Each table has a row per output time from 0 and a
// last row of the largest magnitudes with their signs; it prints, exports
// its CSV form ("<prefix><node>.csv") and opens at the row it was left at.
#pragma once

#include "codes/code_records.h"
#include "platform/handles.h"
#include "platform/resources.h"

#include <functional>
#include <string>

class TableWindow;

inline constexpr int TH_SUPPORT_LOADS = 1401;
inline constexpr int TH_ELEMENT_FORCES = 1402;
inline constexpr int TH_DISPLACEMENTS = 1403;

// The result's show operation: the current history table again, or the chooser.
void show_time_history();
// The chooser and then the pick list of the chosen kind.
void choose_time_history(WindowId owner);
// TIME_HISTORY_RESULTS_DIALOG, the chooser.
const DialogTemplate& time_history_chooser_template();
// Shows the history of a support row (by its index 1.. in the support list in
// row order), of an element end (pick-list row: element e's end 1 is row 2e - 1,
// its end 2 row 2e) or of a node (index 1.. into the nodes with results).
void show_support_loads_history(int support_index);
void show_element_force_history(int pick_row);
void show_displacement_history(int node_pick);
// The table shown now, null when none.
TableWindow* current_time_history_table();
// Forgets the current table and the remembered rows (results opened).
void reset_time_history_tables();
// Export (351) while a history is shown: the CSV file of the table.
void export_time_history_csv(WindowId owner);
// The CSV text of the table shown (what export writes).
std::string time_history_csv_text();

// The conversion of an element's twelve local end forces into global axes
// (registered by the element-force tables); without it the element-force
// history shows local values only.
using GlobalForces = std::function<ElementForceRecord(int element, const ElementForceRecord& local)>;
void set_global_element_forces(GlobalForces convert);

// Registers the tables' other / local-global commands with the window.
void install_time_history_tables();
