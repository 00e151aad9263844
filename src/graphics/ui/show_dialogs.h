// The Show and Show Nodes dialogs of the graphics window: SHOW_33_DIALOG
// with the entries the model offers, laid out in three columns.
#pragma once

#include "platform/backend.h"
#include "platform/resources.h"

extern const DialogTemplate SHOW_33_DIALOG;
enum ShowDialogIds : int {
    SHOW_APPLY = 999,
    SHOW_ALL = 1001,
    SHOW_NONE = 1002,
};

// The dialogs (nothing when their list is empty); true when closed with OK.
bool show_dialog(WindowId owner);
bool show_nodes_dialog(WindowId owner);
// Whether the lists have entries (the commands and popup items are offered then).
bool show_list_available();
bool show_nodes_list_available();
// F3 with the window's redraw.
void toggle_dots_and_numbers_command();
// The graphics frame's commands 433 and 437.
void register_show_commands();
