// The program-wide state flags and the environment switches. The document's
// own flags (model_modified, model_file_path) are in document.h.
#pragma once

#include "framework/document.h"
#include "platform/handles.h"

#include <string>
#include <vector>

struct AppFlags {
    // Set while results are shown: dialogs are read-only, tables browse-only.
    bool input_locked = false;
    // Set while results mode is active.
    bool in_results = false;
    // Set while a batch file is processed at start-up: no dialogs, no windows shown.
    bool batch_mode = false;
};
inline AppFlags& app_flags() { return session_part<AppFlags>(); }
inline bool& input_locked() { return app_flags().input_locked; }
inline bool& in_results() { return app_flags().in_results; }
inline bool& batch_mode() { return app_flags().batch_mode; }

// Environment switches, read once at start-up; set to any value means on.
struct EnvSwitches {
    bool untitled = false;       // KVUNTITLED
    bool verify = false;         // KVVERIFY
    bool zediruvi = false;       // ZEDIRUVI: Bourdon strain with the weight steps
    bool valve_symbol = false;   // Valve_Symbol: valves drawn as two cones
    bool brochure = false;       // KVBROCHURE: a highlight never shifts the view
    bool export_inches = false;  // EXPORT_INCHES
};
const EnvSwitches& env_switches();
// Reads the switches from the environment and keeps them.
const EnvSwitches& read_env_switches();
// Replaces the kept switches (tests).
void set_env_switches(const EnvSwitches& switches);

// Undo snapshots: one entry per edit that can be undone, newest last; an entry
// may own a file that holds the model as it was.
struct UndoSnapshot {
    WindowId window = 0;
    std::string file_path;       // empty when the snapshot keeps no file
};
// Called before an edit; takes no snapshot yet.
void push_undo_snapshot(WindowId window);
// Drops the newest snapshot and removes its file; nothing on an empty list.
void discard_undo_snapshot();
std::vector<UndoSnapshot>& undo_snapshots();

// Back to the state of a fresh start (tests): flags clear, no file, no
// snapshots, switches off.
void reset_app_state();
