#include "framework/app_state.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

bool model_modified = false;
bool input_locked = false;
bool in_results = false;
bool batch_mode = false;
std::string model_file_path;

namespace {

EnvSwitches& switches() {
    static EnvSwitches kept;
    return kept;
}

bool env_set(const char* name) { return std::getenv(name) != nullptr; }

}  // namespace

const EnvSwitches& env_switches() { return switches(); }

const EnvSwitches& read_env_switches() {
    EnvSwitches& s = switches();
    s.untitled = env_set("KVUNTITLED");
    s.verify = env_set("KVVERIFY");
    s.zediruvi = env_set("ZEDIRUVI");
    s.valve_symbol = env_set("Valve_Symbol");
    s.brochure = env_set("KVBROCHURE");
    s.export_inches = env_set("EXPORT_INCHES");
    return s;
}

void set_env_switches(const EnvSwitches& s) { switches() = s; }

std::vector<UndoSnapshot>& undo_snapshots() {
    static std::vector<UndoSnapshot> list;
    return list;
}

void push_undo_snapshot(WindowId /*window*/) {}

void discard_undo_snapshot() {
    std::vector<UndoSnapshot>& list = undo_snapshots();
    if (list.empty()) return;
    if (!list.back().file_path.empty()) {
        std::error_code ignored;
        std::filesystem::remove(list.back().file_path, ignored);
    }
    list.pop_back();
}

void reset_app_state() {
    model_modified = false;
    input_locked = false;
    in_results = false;
    batch_mode = false;
    model_file_path.clear();
    while (!undo_snapshots().empty()) discard_undo_snapshot();
    switches() = EnvSwitches{};
}
