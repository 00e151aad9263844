#include "framework/ui/command_registry.h"

#include "framework/commands.h"
#include "framework/state.h"
#include "framework/ui/frame.h"

#include <algorithm>
#include <iterator>
#include <map>
#include <memory>

namespace {

struct CommandHandlers {
    std::map<int, std::shared_ptr<CommandHandler>> value{};
};

// Handlers are shared so that a handler that replaces or removes itself while
// it runs does not destroy the function being executed.
std::map<int, std::shared_ptr<CommandHandler>>& handlers() {
    return session_part<CommandHandlers>().value;
}

}  // namespace

void register_command(int id, CommandHandler handler) {
    if (id == 0) return;
    if (!handler) {
        unregister_command(id);
        return;
    }
    const bool added = handlers().count(id) == 0;
    handlers()[id] = std::make_shared<CommandHandler>(std::move(handler));
    // The frames' items and buttons of the command follow.
    if (added) frames_refresh_command_states();
}

void register_commands(int first_id, int last_id, const CommandHandler& handler) {
    for (int id = first_id; id <= last_id; ++id) register_command(id, handler);
}

void unregister_command(int id) {
    if (handlers().erase(id) != 0) frames_refresh_command_states();
}

void clear_command_registry() { handlers().clear(); }

bool command_available(int id) { return handlers().count(id) != 0; }

bool run_command(int id) {
    auto it = handlers().find(id);
    if (it == handlers().end()) return false;
    std::shared_ptr<CommandHandler> keep = it->second;
    (*keep)(id);
    return true;
}

namespace {

// The commands that take the data as it stands on screen.
constexpr int DATA_READING_COMMANDS[] = {
    CMD_NEW,           CMD_OPEN,          CMD_CLOSE,          CMD_SAVE,          CMD_SAVE_AS,
    CMD_PRINT,         CMD_EXIT,          CMD_MERGE,          CMD_IMPORT,        CMD_EXPORT,
    CMD_EXPORT_PCF,    CMD_EXPORT_PLANT_DESIGN, CMD_LIBRARY_EXPORT, CMD_LIBRARY_IMPORT, CMD_ANALYZE,
    CMD_RESULTS,       CMD_UNITS,         CMD_PIPING_CODE,    CMD_FLANGE_ANALYZE, CMD_NOZZLE_ANALYZE,
    CMD_LUG_ANALYZE,
};

}  // namespace

bool command_reads_data(int id) {
    return (id >= CMD_RECENT_FIRST && id <= CMD_RECENT_LAST) ||
           std::find(std::begin(DATA_READING_COMMANDS), std::end(DATA_READING_COMMANDS), id) !=
               std::end(DATA_READING_COMMANDS);
}
