// The commands that are available now. Each subsystem registers the handlers
// of the commands it serves; a frame whose command handler is the registry
// greys every menu item whose command has none, and beeps when such a command
// arrives from an accelerator or a tool button.
#pragma once

#include <functional>

using CommandHandler = std::function<void(int id)>;

// Registers (or replaces) the handler of one command or of a range of ids.
void register_command(int id, CommandHandler handler);
void register_commands(int first_id, int last_id, const CommandHandler& handler);
void unregister_command(int id);
// Forgets every handler (shutdown and tests).
void clear_command_registry();

bool command_available(int id);
// Runs the command's handler; false when it has none. A thrown message text
// passes through to the caller.
bool run_command(int id);

// Whether a command reads, writes or gives up the data being edited (file,
// print, export, analysis, unit and code commands): what the user typed and
// has not stored yet (a cell still being edited, the rows of a property
// grid) goes into the data first, wherever the caret stands. A frame runs
// such a command only after commit_pending_edits() (shell.h) succeeded.
bool command_reads_data(int id);
