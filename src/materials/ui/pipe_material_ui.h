// Input of pipe materials: the material dialogs (one procedure for the three
// templates, chosen by the piping code), the material-type chooser and the
// "Pipe Materials" table of the list window with its copy and paste,
// library pick and highlight.
#pragma once

#include "framework/ui/table.h"
#include "materials/pipe_material.h"
#include "platform/backend.h"

#include <functional>
#include <optional>
#include <string>

// MATERIAL1_DIALOG, MATERIAL2_DIALOG (Nordic codes) or MATERIAL3_DIALOG (the
// codes with one strength) for the current piping code.
const DialogTemplate& material_dialog_template();

// The material dialog on material `index`; an index past the last opens a
// new material that OK appends, its name field holding `new_name`. 1 when
// the material was stored, 0 otherwise.
// For a new material (index not stored yet) `typed`, when given, holds what
// was typed into the table's input row; the dialog starts from it.
int edit_pipe_material(int index, WindowId owner = 0, const std::string& new_name = {},
                       const PipeMaterial* typed = nullptr);
// MATERIAL_TYPES_DIALOG: the chosen type index, -1 on Cancel.
int run_material_types_dialog(int current, WindowId owner = 0);

// The "Pipe Materials" table.
class MaterialsTable final : public TableWindow {
public:
    MaterialsTable();

    PipeMaterial input;                   // the record typed into the input row
    std::optional<PipeMaterial> copied;   // the record of the last Copy

    void load();
    PipeMaterial* record(int row);
    bool column_shown(int column) const;

    std::string header_text(int column, int line) override;
    std::string cell_text(int row, int column, int line) override;
    bool cell_editable(int row, int column) override;
    void filter_char(int column, std::string& ch) override;
    void store_cell(int row, int column, const std::string& text) override;
    void leave_row(int row) override;
    void before_leave_row(int row) override;
    bool can_insert(int row) override;
    bool can_delete(int row) override;
    void insert_row(int row) override;
    void delete_row(int row) override;
    bool edit_row(int row) override;
    std::string copy_row(int row) override;
    bool paste_row(int row, const std::vector<std::string>& cells) override;
    bool on_command(int id) override;
    bool serves_command(int id) override;
    void on_row_changed(int row) override;
    void on_enter() override;
    void on_leave() override;
    void context_menu(Point at) override;
    void measure_window(Surface& dc) override;
    void print() override;
    void print_text() override;
    void print_csv() override;
    bool export_csv(WindowId owner) override;
    void contents_entry() override;

private:
    void check_row(int row, bool enter);
    // Refuses the row for its property table: shows the text and puts the
    // caret into the property grid when the list window shows it under the
    // table, else a cell failure at the current column.
    [[noreturn]] void refuse_properties(const std::string& text);
    bool attached_ = false;
};
MaterialsTable& materials_table();

// Shows the table in the list window at the material of the current layout
// row (row 1 when it has none) and records it as the table opened last.
void open_materials_table();
// Redisplays the table when it is shown.
void refresh_materials_table();

// The graphics view's highlight of the rows of a material: draw (command
// 432) and erase (command 441). Filled in by the graphics; without it the
// model hooks' erase is used.
struct PipeMaterialHighlight {
    std::function<bool()> enabled;
    std::function<void(const std::string& name)> draw;
    std::function<void()> erase;
};
PipeMaterialHighlight& pipe_material_highlight();
void erase_material_highlight();

// Installs the pipe materials (install_pipe_materials) with their data list,
// the Materials command and the layout's material dialog.
void install_pipe_materials_ui();
