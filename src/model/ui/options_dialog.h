// The Analysis Options command: ANALYSIS_OPTIONS_DIALOG edits the piping code
// and the analysis options of the model.
#pragma once

#include "platform/backend.h"

#include <functional>
#include <string>

// Shows ANALYSIS_OPTIONS_DIALOG. The fields are checked in order and the
// first bad one is reported with the dialog left open. OK stores the options
// and the piping code and sets `model_modified` only when something changed;
// otherwise, and on Cancel, the undo snapshot taken before is dropped. While
// the input is locked everything is read-only and OK only closes. True when
// something changed.
bool analysis_options_dialog(WindowId owner);

// Called after the dialog changed the options or the piping code (tables whose
// columns follow the code, the view whose up axis follows the vertical axis);
// an empty function removes it.
void set_analysis_options_changed_hook(std::function<void()> hook);

// What the model holds that a switch of the vertical axis leaves without a
// use (pumps whose shafts then have no horizontal part), and what to do: a
// text, empty when nothing, shown as a warning once OK has stored the switch.
void set_vertical_axis_switch_note(std::function<std::string()> note);

// Registers the Analysis Options command (CMD_ANALYSIS_OPTIONS).
void install_analysis_options_command();
