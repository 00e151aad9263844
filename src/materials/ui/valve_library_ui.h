// The valve library as a document: its window (library mode with the
// "Valve Library" table), the record dialog VALVE_LIBRARY_DIALOGNEW, the
// find and replace of descriptions, its file operations and the opening of
// ".val" files. The library's path is shared with the valve pick
// (valve_pick.h), which reads the same file for itself.
#pragma once

#include "framework/ui/table.h"
#include "materials/ui/library_mode.h"
#include "materials/valve_library.h"
#include "platform/backend.h"

#include <string>

struct ValveLibraryPath {
    std::string path;        // empty: untitled
    std::string directory;
};
ValveLibraryPath& valve_library_path();
void set_valve_library_path(const std::string& path);
const LibraryFile& valve_library_file();

// Reads the file named by the valve library path into `into` (emptied
// first). A failure is shown over the owner, leaves `into` empty, forgets the
// path and gives false.
bool read_valve_library(WindowId owner, OneBased<ValveRecord>& into);
// "Open Valve Library"; "File extension must be : val" for another
// extension. False when nothing was read.
bool open_valve_library(WindowId owner, OneBased<ValveRecord>& into);

// The "Valve Library" table of the list window.
class ValveLibraryTable final : public TableWindow {
public:
    ValveLibraryTable();
    ValveRecord input;

    void load();
    ValveRecord* record(int row);

    std::string header_text(int column, int line) override;
    std::string cell_text(int row, int column, int line) override;
    bool cell_editable(int row, int column) override;
    void filter_char(int column, std::string& ch) override;
    void store_cell(int row, int column, const std::string& text) override;
    void leave_row(int row) override;
    bool can_insert(int row) override;
    bool can_delete(int row) override;
    void insert_row(int row) override;
    void delete_row(int row) override;
    bool edit_row(int row) override;
    void on_row_changed(int row) override;
    void context_menu(Point at) override;
    void print() override;
    void print_text() override;
    void print_csv() override;
    void contents_entry() override;
};
ValveLibraryTable& valve_library_table();
void open_valves_table();

// VALVE_LIBRARY_DIALOGNEW on row `row` (a row past the last adds a valve):
// IDOK when it ended with OK.
int edit_library_valve(int row, WindowId owner);
// FINDANDREPLACE over the descriptions.
void replace_valve_descriptions(WindowId owner);

void open_valve_library_window();
void close_valve_library_window();
void open_valve_library_file(const std::string& path);
void new_valve_library();

void install_valve_library_ui();
