// Input of pipe sections: the section dialog with its size and schedule
// lists, the insulation-density chooser, the "Pipe Sections" table of the
// list window, and the sections' report and CSV forms.
#pragma once

#include "framework/ui/table.h"
#include "materials/pipe_section.h"
#include "platform/backend.h"

#include <functional>
#include <string>
#include <vector>

// SECTION_DIALOG on section `index`; an index past the last opens a new
// section, starting from `start` (its name, or a record typed into the
// table's input row), that OK appends. IDOK when stored or confirmed,
// IDCANCEL otherwise.
int edit_pipe_section(int index, WindowId owner = 0, const PipeSection& start = {});

// The insulation materials offered by INSULATION_DIALOG.
struct InsulationMaterial {
    const char* name;
    double density_lb_ft3;
    // lb/in3, the internal weight-density unit.
    double density() const { return density_lb_ft3 / 1728.0; }
};
const std::vector<InsulationMaterial>& insulation_materials();
// INSULATION_DIALOG: the chosen row 1..12, 0 on Cancel.
int run_insulation_dialog(WindowId owner = 0);

// The "Pipe Sections" table.
class SectionsTable final : public TableWindow {
public:
    SectionsTable();

    PipeSection input;   // the record typed into the input row

    void load();
    PipeSection* record(int row);

    std::string header_text(int column, int line) override;
    std::string cell_text(int row, int column, int line) override;
    void filter_char(int column, std::string& ch) override;
    void store_cell(int row, int column, const std::string& text) override;
    bool cell_editable(int row, int column) override;
    void leave_row(int row) override;
    void before_leave_row(int row) override;
    bool can_insert(int row) override;
    bool can_delete(int row) override;
    void insert_row(int row) override;
    void delete_row(int row) override;
    bool edit_row(int row) override;
    std::string copy_row(int row) override;
    bool paste_row(int row, const std::vector<std::string>& cells) override;
    void on_row_changed(int row) override;
    void on_enter() override;
    void on_leave() override;
    void context_menu(Point at) override;
    void print() override;
    void print_text() override;
    void print_csv() override;
    void contents_entry() override;

private:
    // The checks of a row that is left; true when the input row became a section.
    bool complete_row(PipeSection& r, int row);
};
SectionsTable& sections_table();

// Shows the table in the list window at the section of the current layout
// row (row 1 when it has none) and records it as the table opened last.
void open_sections_table();
// Redisplays the table when the list window shows it.
void refresh_sections_table();
// The current layout row changed: an open table moves to the row's section.
void sections_table_follow_layout_row(int row);

// The report writer of the sections: graphic pages (the table), the text
// report or its CSV form, by the report state. Nothing without sections.
void print_pipe_sections();

// The graphics view's highlight of the rows that use a section: erase
// (command 441) and draw (command 432). Filled in by the graphics; without
// it the model hooks' erase is used.
struct PipeSectionHighlight {
    std::function<bool()> enabled;
    std::function<void(const std::string& name)> draw;
    std::function<void()> erase;
};
PipeSectionHighlight& pipe_section_highlight();

// Installs the pipe sections (install_pipe_sections) with their data list,
// the Sections command and the layout's section dialog.
void install_pipe_sections_ui();
