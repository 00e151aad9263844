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
