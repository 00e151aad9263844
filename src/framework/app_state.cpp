#include "framework/app_state.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace {

struct KeptSwitches {
    EnvSwitches switches;
};

EnvSwitches& switches() { return session_part<KeptSwitches>().switches; }

// The snapshots; the files they own go with them.
struct UndoList {
    std::vector<UndoSnapshot> list;
    UndoList() = default;
    UndoList(const UndoList&) = delete;
    UndoList& operator=(const UndoList&) = delete;
    ~UndoList()
    {
        while (!list.empty())
            discard_undo_snapshot(list);
    }
    static void discard_undo_snapshot(std::vector<UndoSnapshot>& list)
    {
        if (!list.back().file_path.empty()) {
            std::error_code ignored;
            std::filesystem::remove(list.back().file_path, ignored);
        }
        list.pop_back();
    }
};

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

std::vector<UndoSnapshot>& undo_snapshots() { return session_part<UndoList>().list; }

void push_undo_snapshot(WindowId /*window*/) {}

void discard_undo_snapshot() {
    std::vector<UndoSnapshot>& list = undo_snapshots();
    if (list.empty()) return;
    UndoList::discard_undo_snapshot(list);
}

void reset_app_state() {
    app_flags() = AppFlags{};
    model_modified() = false;
    model_file_path().clear();
    while (!undo_snapshots().empty()) discard_undo_snapshot();
    switches() = EnvSwitches{};
}
