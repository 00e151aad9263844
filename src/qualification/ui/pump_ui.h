// The pumps of the model: PUMP_DIALOG with its three layouts (horizontal
// API 610, vertical inline API 610, ANSI/HI 9.6.2 with the lists of its pump
// type), the "Pumps" input table of the list window, and the pumps in the
// input report (graphic pages, text and CSV).
#pragma once

#include "platform/backend.h"
#include "qualification/equipment.h"

class TableWindow;

// Runs PUMP_DIALOG on a record (pump number `number` in the caption); 1 when
// OK stored a change or found none, 0 when cancelled or browse-only. A
// changed record is written back and the model marked modified.
int edit_pump(PumpRecord& pump, int number, WindowId owner);

// The Misc menu's "&Pumps" (command 193): the table in the list window.
void show_pumps_table();
TableWindow& pumps_table();

// The pumps in the current report destination; nothing without pumps.
void print_pumps();

// The type text of a pump as the table and reports show it: "Vertical
// inline", "ANSI/HI" or "Horizontal".
const char* pump_kind_text(const PumpRecord& pump);

// The pumps' command (193), data list and table reset with a new model.
void install_pumps_ui();
