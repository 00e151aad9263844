// Input of soils: the soil dialog, the "Soils" table of the list window and
// the soils' report and CSV forms (with the buried sections).
#pragma once

#include "framework/ui/table.h"
#include "materials/soil.h"
#include "platform/backend.h"

// SOIL_DIALOG on soil `index`; an index past the last opens a new soil that
// OK appends. IDOK when stored or confirmed, IDCANCEL otherwise.
int edit_soil(int index, WindowId owner = 0);

// The "Soils" table: rows are edited through the dialog only.
class SoilsTable final : public TableWindow {
public:
    SoilsTable();

    void load();
    const Soil* record(int row);

    std::string header_text(int column, int line) override;
    std::string cell_text(int row, int column, int line) override;
    bool cell_editable(int row, int column) override;
    void leave_row(int row) override;
    void before_leave_row(int row) override;
    bool can_insert(int row) override;
    bool can_delete(int row) override;
    void insert_row(int row) override;
    void delete_row(int row) override;
    bool edit_row(int row) override;
    void on_enter() override;
    void on_leave() override;
    void print() override;
    void print_text() override;
    void print_csv() override;
    void contents_entry() override;
};
SoilsTable& soils_table();

// Shows the table in the list window at its first row and records it as the
// table opened last.
void open_soils_table();
// Redisplays the table when the list window shows it.
void refresh_soils_table();

// The report writer of the soils: graphic pages (the table), the text report
// or its CSV form, by the report state. Nothing without soils.
void print_soils();

// Installs the soils (install_soils) with their "Soils" data list.
void install_soils_ui();
