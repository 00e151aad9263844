#include "results/ui/soil_acceleration_tables.h"

#include "framework/state.h"
#include "framework/units.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "materials/pipe_section.h"
#include "materials/soil.h"
#include "model/model.h"
#include "model/nodes.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/result_pages.h"
#include "results/ui/result_table.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <cmath>
#include <memory>

namespace {

// Standard gravity, in/s2.
constexpr double G_IN_PER_S2 = 386.4;

int node_number(int index)
{
    return model().nodes.valid(index) ? model().nodes[index].number : 0;
}

// ---- Soil restraints ---------------------------------------------------------------------------

const SoilRestraintRecord* record_of(int row)
{
    const ResultsState& r = results();
    return r.soil_restraints.valid(row) ? &r.soil_restraints[row] : nullptr;
}

void record_nodes(const SoilRestraintRecord& s, int& first, int& second)
{
    first = second = 0;
    const ResultsState& r = results();
    if (!r.elements.valid(s.element))
        return;
    first = node_number(r.elements[s.element].node1);
    second = node_number(r.elements[s.element].node2);
}

// The eight values of a record: stiffness and maximum load alternately.
float value_of(const SoilRestraintRecord& s, int i)
{
    const float values[8] = {s.axial_stiffness, s.axial_load,  s.transverse_stiffness, s.transverse_load,
                             s.down_stiffness,  s.down_load,   s.up_stiffness,         s.up_load};
    return values[i];
}

std::string soil_value_text(const SoilRestraintRecord& s, int i)
{
    const float v = value_of(s, i);
    if (!std::isfinite(v))
        return {};
    return i % 2 == 0 ? format_soil_stiffness(v) : format_soil_force(v);
}

// The columns of the eight values in the text report, and the room each
// has: up to one blank before the next, the last up to the page's edge.
constexpr int SOIL_VALUE_COLUMNS[8] = {13, 22, 30, 39, 47, 56, 64, 73};

int soil_value_room(int i)
{
    return (i < 7 ? SOIL_VALUE_COLUMNS[i + 1] - 1 : REPORT_RIGHT_COLUMN + 1) - SOIL_VALUE_COLUMNS[i];
}

class SoilRestraintsTable final : public ResultTable {
public:
    SoilRestraintsTable() : ResultTable(RESULT_SOIL_RESTRAINTS, 12, 3)
    {
        guide_page = PAGE_SOIL_RESTRAINTS;
        menus = ResultMenus::Plain;
        equal_widths = {{1, 2}};
        groups = {{5, 6, "Axial", 0}, {7, 8, "Transverse", 0}, {9, 10, "Vertical Down", 0}, {11, 12, "Vertical Up", 0}};
    }
    int count() const { return results().soil_restraints.size(); }
    void refresh() override
    {
        table_refresh(*this, "Soil Restraints", count(), false);
        set_results_title_fixed("Soil Restraints");
    }
    std::string print_title() override { return "Soil restraints"; }
    int print_count() override { return count(); }
    std::string header_text(int column, int line) override
    {
        if (line == 0)
            return {};
        switch (column) {
        case 1: return line == 1 ? "From" : "";
        case 2: return line == 1 ? "To" : "";
        case 3: return line == 1 ? "Name" : "";
        case 4: return line == 1 ? "Type" : "";
        default:
            if (column % 2 == 1)
                return line == 1 ? "Stiffness" : unit_label(STIFFNESS);
            return line == 1 ? "Max Load" : unit_label(FORCE);
        }
    }
    std::string cell_text(int row, int column, int line) override
    {
        const SoilRestraintRecord* s = record_of(row);
        if (!s || line != 0)
            return {};
        int first = 0, second = 0;
        record_nodes(*s, first, second);
        const int soil = soil_of_restraint(row);
        switch (column) {
        case 1: return node_text(first);
        case 2: return node_text(second);
        case 3: return soil ? soils()[soil].name : "";
        case 4: return soil ? (soils()[soil].type == SOIL_COHESIVE ? "Cohesive" : "Cohesionless") : "";
        default: return column >= 5 && column <= 12 ? soil_value_text(*s, column - 5) : "";
        }
    }
    std::vector<int> row_nodes(int row) override
    {
        int first = 0, second = 0;
        if (const SoilRestraintRecord* s = record_of(row))
            record_nodes(*s, first, second);
        return {first, second};
    }
    int highlight_layout_row(int row) override
    {
        const SoilRestraintRecord* s = record_of(row);
        return s && results().elements.valid(s->element) ? results().elements[s->element].row : 0;
    }
    void draw_column_rule(TableCanvas& c, int column) override
    {
        if (c.in_header && (column == 6 || column == 8 || column == 10 || column == 12) && c.drawn(column)) {
            const int x = c.left[static_cast<std::size_t>(column)];
            c.printing ? tprint_vline(c, x, c.header_line_y(1), c.bottom) : tpaint_vline(c, x, c.header_line_y(1), c.bottom);
            return;
        }
        TablePrint::draw_column_rule(c, column);
    }
    void contents_entry() override { add_contents_entry("Soil restraints", 0); }
    // The text report; in CSV the same calls write their cells, and each
    // row ends in the soil's name and type.
    void print_text() override
    {
        auto header = [] {
            report_print_centred("Soil restraints", 6, 78);
            report_next_line();
            report_rule();
            report_print_at("Axial", 18);
            report_print_at("Transverse", 33);
            report_print_at("Vertical Down", 48);
            report_print_at("Vertical Up", 66);
            report_next_line();
            report_print_at("From To   Stiffnes MaxLoad Stiffnes MaxLoad Stiffnes MaxLoad Stiffnes MaxLoad", 3);
            // The text leaves the soil out; the CSV export holds every cell the table shows.
            if (report_state().csv_mode) {
                csv_add_text("Name");
                csv_add_text("Type");
            }
            report_next_line();
            const std::string stiffness = current_unit(STIFFNESS) == 0 ? std::string("(lb/in)") : unit_label(STIFFNESS);
            for (int at : {13, 30, 47, 64})
                report_print_at(stiffness, at);
            for (int at : {22, 39, 56, 73})
                report_print_at(unit_label(FORCE), at);
            report_next_line();
            report_rule();
        };
        report_rows(1, header, "Soil restraints", 0, count(), [this](int row) {
            const SoilRestraintRecord& s = *record_of(row);
            int first = 0, second = 0;
            record_nodes(s, first, second);
            report_print_at(node_text(first), 3);
            report_print_at(node_text(second), 8);
            for (int i = 0; i < 8; ++i)
                report_value_at(soil_value_text(s, i), to_display(i % 2 == 0 ? STIFFNESS : FORCE, value_of(s, i)),
                                SOIL_VALUE_COLUMNS[i], soil_value_room(i));
            if (report_state().csv_mode) {
                csv_add_text(cell_text(row, 3, 0));
                csv_add_text(cell_text(row, 4, 0));
            }
            report_next_line();
        });
    }
    void print_csv() override { print_text(); }
    bool prepare_print() override
    {
        title = print_title();
        row_count = count();
        return count() > 0;
    }
};

// ---- Accelerations --------------------------------------------------------------------------------

class AccelerationsTable final : public ResultTable {
public:
    AccelerationsTable() : ResultTable(RESULT_ACCELERATIONS, 4, 1)
    {
        guide_page = PAGE_ACCELERATIONS;
        menus = ResultMenus::Plain;
        equal_widths = {{2, 4}};
    }
    int count() const { return results().numresultnodes(); }
    int node_index(int row) const
    {
        const ResultsState& r = results();
        return r.results_nodes.valid(row) ? r.results_nodes[row] : 0;
    }
    void refresh() override
    {
        read_spectrum_accelerations();
        table_refresh(*this, "Accelerations: Response spectrum", count(), false);
        set_results_title_fixed("Accelerations: Response spectrum");
    }
    std::string print_title() override { return "Response spectrum accelerations"; }
    int print_count() override { return count(); }
    std::string header_text(int column, int line) override
    {
        static const char* const names[] = {"Node", "X(g's)", "Y(g's)", "Z(g's)"};
        return line == 0 && column >= 1 && column <= 4 ? names[column - 1] : "";
    }
    std::string value(int row, int axis) const
    {
        const int n = node_index(row);
        const ResultsState& r = results();
        if (!r.displacements.valid(n))
            return {};
        const double v = r.displacements[n][static_cast<std::size_t>(axis)];
        return std::isfinite(v) ? format_real(acceleration_in_g(v), 10, 3) : std::string();
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (line != 0 || !node_index(row))
            return {};
        if (column == 1)
            return node_text(node_number(node_index(row)));
        return column >= 2 && column <= 4 ? value(row, column - 2) : "";
    }
    int row_node(int row) override { return node_number(node_index(row)); }
    // Moving to a row highlights its node.
    void on_row_changed(int row) override
    {
        if (const int n = node_index(row); n && results_hooks().highlight_node)
            results_hooks().highlight_node(n);
    }
    void contents_entry() override { add_contents_entry("Response spectrum accelerations", 0); }
    // The text report; in CSV the same calls write their cells.
    void print_text() override
    {
        auto header = [] {
            report_print_centred("Response spectrum accelerations", 6, 78);
            report_next_line();
            report_rule();
            report_print_at("(g's)", 27);
            report_next_line();
            report_print_at("Node", 6);
            report_put_char('X', 18);
            report_put_char('Y', 29);
            report_put_char('Z', 40);
            report_next_line();
            report_rule();
        };
        report_rows(1, header, "Response spectrum accelerations", 0, count(), [this](int row) {
            report_print_at(node_text(node_number(node_index(row))), 6);
            for (int axis = 0; axis < 3; ++axis)
                report_right(value(row, axis), 21 + 11 * axis);
            report_next_line();
        });
    }
    void print_csv() override { print_text(); }
    bool prepare_print() override
    {
        if (count() == 0 || !results().available.has(LC_RESPONSE_SPECTRUM))
            return false;
        read_spectrum_accelerations();
        title = print_title();
        row_count = count();
        return true;
    }
};

struct SoilAccelerationUi {
    std::unique_ptr<TableWindow> soil;
    std::unique_ptr<TableWindow> accelerations;
};

SoilAccelerationUi& ui()
{
    return session_part<SoilAccelerationUi>();
}

SoilRestraintsTable& soil_table()
{
    return lazy_table<SoilRestraintsTable>(ui().soil);
}

AccelerationsTable& acceleration_table()
{
    return lazy_table<AccelerationsTable>(ui().accelerations);
}

}  // namespace

int soil_of_restraint(int record)
{
    const SoilRestraintRecord* s = record_of(record);
    if (!s)
        return 0;
    if (s->soil >= 1 && s->soil <= numsoils())
        return s->soil;
    const ResultsState& r = results();
    if (!r.elements.valid(s->element))
        return 0;
    const int section = r.elements[s->element].section;
    if (section < 1 || section > pipe_sections().size())
        return 0;
    return soil_index(pipe_sections()[section].soil);
}

double acceleration_in_g(double value)
{
    return value / G_IN_PER_S2;
}

void print_soil_restraints()
{
    soil_table().print();
}

void print_accelerations()
{
    acceleration_table().print();
}

void install_soil_and_acceleration_tables()
{
    ResultsHooks& h = results_hooks();
    result_page_tables()[PAGE_SOIL_RESTRAINTS] = [] { return &soil_restraints_table(); };
    result_page_tables()[PAGE_ACCELERATIONS] = [] { return &accelerations_table(); };
    h.show[RESULT_SOIL_RESTRAINTS] = [] {
        if (soil_table().count() > 0)
            soil_table().show();
    };
    h.show[RESULT_ACCELERATIONS] = [] {
        if (acceleration_table().count() > 0)
            acceleration_table().show();
    };
}

TableWindow& soil_restraints_table()
{
    return soil_table();
}

TableWindow& accelerations_table()
{
    return acceleration_table();
}
