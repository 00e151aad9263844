#include "results/ui/element_force_variants.h"

#include "codes/code_catalog.h"
#include "codes/code_driver.h"
#include "framework/units.h"
#include "framework/ui/report.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/piping_codes.h"
#include "results/element_force_values.h"
#include "results/results_load_cases.h"
#include "results/results_state.h"
#include "results/ui/element_force_tables.h"
#include "results/ui/result_table.h"

#include <algorithm>
#include <cmath>

namespace {

// ---- What every variant reads -------------------------------------------------------------

int node_of_end(int element, int end)
{
    const ResultsState& r = results();
    if (!r.elements.valid(element))
        return 0;
    const int index = end == 0 ? r.elements[element].node1 : r.elements[element].node2;
    return model().nodes.valid(index) ? model().nodes[index].number : 0;
}

bool junction_end(int element, int end)
{
    const ResultsState& r = results();
    if (!r.elements.valid(element))
        return false;
    const int index = end == 0 ? r.elements[element].node1 : r.elements[element].node2;
    return model().nodes.valid(index) && model().nodes[index].branch_mark == 2;
}

std::string local_text(const PipeForceRow& row, int end, int i)
{
    return end_value_text(row.local[static_cast<std::size_t>(6 * end + i)], i);
}

const EndSifs* sifs_of(const PipeForceRow& row, int end)
{
    const ResultsState& r = results();
    if (!r.code.element_sifs.valid(row.element) || (end != 0 && end != 1))
        return nullptr;
    return &r.code.element_sifs[row.element].end[static_cast<std::size_t>(end)];
}

std::string factor_text(float value)
{
    return std::isfinite(value) ? format_factor_above_one(value) : std::string();
}

// A SIF as the text report writes it: width 6, 2 decimals, only above 1.
std::string report_sif_text(float value)
{
    return std::isfinite(value) && value > 1.0f ? format_real(value, 6, 2) : std::string();
}

int32_t current_case()
{
    return results_loadcase_code();
}

CodeValue stress_of(const PipeForceRow& row, int end)
{
    if (!row.pipe || (end != 0 && end != 1))
        return {};
    return pipe_end_stresses(results().code, *row.pipe, piping_code(), current_case())[static_cast<std::size_t>(end)];
}

std::string stress_text(const PipeForceRow& row, int end)
{
    return pipe_stress_cell_text(row.row, end);
}

// What the text report shows of an end of a pipe's row.
struct EndText {
    int node = 0;
    std::array<float, 6> values{};   // forces, then moments
    bool sifs = false;
    float sif_a = 1.0f, sif_b = 1.0f;
    std::array<CodeValue, 2> b1_b2{};
    CodeValue stress;
};

// The units of the values, taken once for a row.
struct RowUnits {
    RealForm force = force_integer_form();
    RealForm moment = moment_integer_form();
    UnitScale stress = unit_scale(STRESS);
};

EndText end_text(const PipeForceRow& row, int end, bool stress_shown)
{
    EndText e;
    e.node = node_of_end(row.element, end);
    for (std::size_t i = 0; i < 6; ++i)
        e.values[i] = row.local[6 * static_cast<std::size_t>(end) + i];
    if (stress_shown)
        e.stress = stress_of(row, end);
    return e;
}

// A value of an end as local_text writes it.
void local_value(const RowUnits& u, const EndText& e, int i, int end_column)
{
    report_number_right((i < 3 ? u.force : u.moment).of(e.values[static_cast<std::size_t>(i)]), end_column);
}

// A SIF as report_sif_text writes it.
void sif_value(float value, int end_column)
{
    if (std::isfinite(value) && value > 1.0f)
        report_real_right(value, 6, 2, end_column);
}

// The stress in the last column: a whole number of the stress unit, so
// that it stays clear of the SIF before it.
void stress_value(const RowUnits& u, const EndText& e, int end_column)
{
    if (e.stress.evaluated)
        report_number_right(ShownReal{u.stress.shown(e.stress.value), 6, 0}, end_column);
}

// The lines of the two ends and a blank line: the node at 6, the six values
// right-aligned ending at `columns`, the SIFs ending at `sif_ends` (0: not
// written), B1 and B2 (width 7, 2 decimals) at 64 and 70 and the stress at 78.
void end_lines(const std::array<EndText, 2>& ends, const std::array<int, 6>& columns, const std::array<int, 2>& sif_ends)
{
    const RowUnits u;
    for (const EndText& e : ends) {
        report_node_at(e.node, 6);
        for (int i = 0; i < 6; ++i)
            local_value(u, e, i, columns[static_cast<std::size_t>(i)]);
        if (e.sifs)
            for (std::size_t k = 0; k < 2; ++k)
                if (sif_ends[k] > 0)
                    sif_value(k == 0 ? e.sif_a : e.sif_b, sif_ends[k]);
        for (std::size_t k = 0; k < 2; ++k)
            if (e.b1_b2[k].evaluated && std::isfinite(e.b1_b2[k].value))
                report_right(format_real(e.b1_b2[k].value, 7, 2), k == 0 ? 64 : 70);
        stress_value(u, e, 78);
        report_next_line();
    }
    report_next_line();
}

std::string force_unit_or_moment(int i)
{
    return unit_label(i < 3 ? FORCE : MOMENT);
}

// The stress label in the text report's line: at 75, "SL+SO" at 74.
void print_stress_label(const std::string& label)
{
    if (!label.empty())
        report_print_at(label, label == "SL+SO" ? 74 : 75);
}

// The node of each end at `column`, the first on the current line.
void csv_node(const PipeForceRow& row, int end)
{
    csv_add_text(node_text(node_of_end(row.element, end)));
}

void csv_units(int force_cells, int moment_cells)
{
    for (int i = 0; i < force_cells; ++i)
        csv_add_unit_cell(FORCE);
    for (int i = 0; i < moment_cells; ++i)
        csv_add_unit_cell(MOMENT);
}

// ---- The standard table ----------------------------------------------------------------------

// Local columns: Node, fx, fy, fz, mx, my, mz, "SIF" (or "B1"), "B2", the stress.
class StandardVariant : public PipeForceVariant {
public:
    bool applies(int32_t) const override { return true; }
    int local_columns() const override { return 10; }
    void refresh() const override
    {
        column_ = set_pipe_stress_label(true);
        b1_b2_ = column_.b1_b2;
    }
    std::string header(int column, int line) const override
    {
        if (column >= 2 && column <= 7) {
            static const char* const names[] = {"fx", "fy", "fz", "mx", "my", "mz"};
            return line == 0 ? names[column - 2] : line == 1 ? force_unit_or_moment(column - 2) : "";
        }
        switch (column) {
        case 8: return line == 0 ? (b1_b2_ ? "B1" : "SIF") : "";
        case 9: return line == 0 && b1_b2_ ? "B2" : "";
        case 10:
            if (!column_.shown)
                return {};
            return line == 0 ? column_.label : line == 1 ? unit_label(STRESS) : "";
        default: return {};
        }
    }
    std::string cell(const PipeForceRow& row, int column, int end) const override
    {
        if (column >= 2 && column <= 7)
            return local_text(row, end, column - 2);
        switch (column) {
        case 8:
            if (b1_b2_)
                return b1_b2_text(row, 0, end);
            if (const EndSifs* s = sifs_of(row, end))
                return factor_text(s->in_plane);
            return {};
        case 9: return b1_b2_ ? b1_b2_text(row, 1, end) : "";
        case 10: return column_.shown ? stress_text(row, end) : "";
        default: return {};
        }
    }
    void adjust_widths(Surface&, std::vector<int>& w) const override
    {
        equalize_widths(w, 2, 7);
        if (b1_b2_)
            equalize_two_widths(w, 8, 9);
        else
            w[9] = 0;
    }

    void text_header() const override
    {
        pipe_forces_text_title();
        if (b1_b2_) {
            report_print_at("fx     fy      fz     mx      my      mz", 16);
            print_stress_label(column_.label);
            report_next_line();
            report_print_at("Node", 6);
            const int from[] = {15, 22, 30, 36, 44, 52}, to[] = {18, 25, 33, 42, 50, 58};
            for (int i = 0; i < 6; ++i)
                report_print_centred(force_unit_or_moment(i), from[i], to[i]);
            report_print_at("B1", 62);
            report_print_at("B2", 68);
            if (column_.shown)
                report_print_right(unit_label(STRESS), 78);
        } else {
            plain_header_lines(false);
        }
        report_next_line();
        report_rule();
    }
    void text_row(const PipeForceRow& row) const override
    {
        if (!b1_b2_) {
            plain_rows(row, false);
            return;
        }
        std::array<EndText, 2> ends;
        const std::array<CodeValue, 4> b = b1_b2_values(row);
        for (int end = 0; end < 2; ++end) {
            ends[static_cast<std::size_t>(end)] = end_text(row, end, true);
            ends[static_cast<std::size_t>(end)].b1_b2 = {b[static_cast<std::size_t>(end)], b[static_cast<std::size_t>(2 + end)]};
        }
        end_lines(ends, {17, 24, 32, 40, 48, 56}, {0, 0});
    }
    void csv_header() const override
    {
        if (b1_b2_) {
            for (const char* h : {"", "fx", "fy", "fz", "mx", "my", "mz", "B1", "B2"})
                csv_add_text(h);
            csv_add_text(column_.label);
            report_next_line();
            csv_add_text("Node");
            csv_units(3, 3);
            csv_add_text("");
            csv_add_text("");
            if (column_.shown)
                csv_add_unit_cell(STRESS);
            report_next_line();
            return;
        }
        plain_csv_header(false);
    }
    void csv_row(const PipeForceRow& row) const override
    {
        for (int end = 0; end < 2; ++end) {
            csv_node(row, end);
            for (int i = 0; i < 6; ++i)
                csv_add_cell(local_text(row, end, i));
            if (b1_b2_) {
                csv_add_cell(b1_b2_text(row, 0, end));
                csv_add_cell(b1_b2_text(row, 1, end));
            } else {
                const EndSifs* s = sifs_of(row, end);
                csv_add_cell(s ? report_sif_text(s->in_plane) : "");
            }
            if (column_.shown)
                csv_add_cell(stress_text(row, end));
            report_next_line();
        }
    }

protected:
    mutable PipeStressColumn column_;
    mutable bool b1_b2_ = false;

    // B1 of the two ends, then B2 of the two ends.
    static std::array<CodeValue, 4> b1_b2_values(const PipeForceRow& row)
    {
        std::array<CodeValue, 4> v{};
        if (const auto& f = pipe_stress_hooks().b1_b2) {
            v = f(row.element);
        } else if (const auto b = stress_indices_b1_b2(results().code, row.element)) {
            for (std::size_t e = 0; e < 2; ++e) {
                v[e].set(static_cast<float>((*b)[e].b1));
                v[2 + e].set(static_cast<float>((*b)[e].b2));
            }
        }
        return v;
    }
    // B1 (`index` 0) or B2 (1) of an end, width 7 and 2 decimals.
    static std::string b1_b2_text(const PipeForceRow& row, int index, int end)
    {
        if (end != 0 && end != 1)
            return {};
        const CodeValue c = b1_b2_values(row)[static_cast<std::size_t>(2 * index + end)];
        return c.evaluated && std::isfinite(c.value) ? format_real(c.value, 7, 2) : std::string();
    }

    // The plain layout's two header lines (the no-code layout with `no_code`).
    void plain_header_lines(bool no_code) const
    {
        report_print_at(no_code ? "fx      fy      fz       mx       my       mz  Inplane Outplane"
                                : "fx      fy      fz       mx       my       mz",
                        16);
        if (!no_code)
            print_stress_label(column_.label);
        report_next_line();
        report_print_at("Node", 6);
        const int from[] = {15, 23, 31, 39, 48, 57}, to[] = {18, 26, 34, 45, 54, 63};
        for (int i = 0; i < 6; ++i)
            report_print_centred(force_unit_or_moment(i), from[i], to[i]);
        report_print_at("SIF", 67);
        if (no_code)
            report_print_right("    SIF", 78);
        else if (column_.shown)
            report_print_right(unit_label(STRESS), 78);
    }
    void plain_rows(const PipeForceRow& row, bool no_code) const
    {
        std::array<EndText, 2> ends;
        for (int end = 0; end < 2; ++end) {
            EndText& e = ends[static_cast<std::size_t>(end)];
            e = end_text(row, end, !no_code && column_.shown);
            if (const EndSifs* s = sifs_of(row, end)) {
                e.sifs = true;
                e.sif_a = s->in_plane;
                e.sif_b = s->out_plane;
            }
        }
        end_lines(ends, {18, 26, 34, 44, 53, 62}, {70, no_code ? 77 : 0});
    }
    void plain_csv_header(bool no_code) const
    {
        for (const char* h : {"", "fx", "fy", "fz", "mx", "my", "mz"})
            csv_add_text(h);
        if (no_code) {
            csv_add_text("Inplane");
            csv_add_text("Outplane");
        } else {
            csv_add_text("SIF");
            csv_add_text(column_.label);
        }
        report_next_line();
        csv_add_text("Node");
        csv_units(3, 3);
        if (no_code) {
            csv_add_text("SIF");
            csv_add_text("SIF");
        } else {
            csv_add_text("");
            if (column_.shown)
                csv_add_unit_cell(STRESS);
        }
        report_next_line();
    }
};

// ---- The no-code table -------------------------------------------------------------------------

// Local columns: Node, fx..mz, in-plane and out-of-plane SIF, and the von
// Mises, maximum and minimum stresses of the case shown (computed when the
// table refreshes).
class NoCodeVariant final : public StandardVariant {
public:
    bool applies(int32_t code) const override { return code == CODE_NONE; }
    int local_columns() const override { return 12; }
    void refresh() const override
    {
        StandardVariant::refresh();
        ResultsState& r = results();
        if (r.loaded.forces != 0)
            evaluate_no_code_case(r.code, current_case(), r.forces);
    }
    std::string header(int column, int line) const override
    {
        if (column >= 2 && column <= 7)
            return StandardVariant::header(column, line);
        switch (column) {
        case 8: return line == 0 ? "Inplane" : line == 1 ? "SIF" : "";
        case 9: return line == 0 ? "Outplane" : line == 1 ? "SIF" : "";
        case 10: return line == 1 ? no_code_stress_name(NO_CODE_VON_MISES) : "";
        case 11: return line == 1 ? no_code_stress_name(NO_CODE_MAXIMUM) : "";
        case 12: return line == 1 ? no_code_stress_name(NO_CODE_MINIMUM) : "";
        default: return {};
        }
    }
    std::string cell(const PipeForceRow& row, int column, int end) const override
    {
        if (column >= 2 && column <= 7)
            return local_text(row, end, column - 2);
        const EndSifs* s = sifs_of(row, end);
        if (column == 8)
            return s ? factor_text(s->in_plane) : "";
        if (column == 9)
            return s ? factor_text(s->out_plane) : "";
        if (!row.pipe || column < 10 || column > 12 || (end != 0 && end != 1))
            return {};
        const PipeResultRecord& p = *row.pipe;
        if (p.principal_case != current_case())
            return {};
        const EndValues& v = column == 10 ? p.von_mises : column == 11 ? p.maximum : p.minimum;
        return stress_value_text(v[static_cast<std::size_t>(end)]);
    }
    std::vector<TableGroup> groups() const override { return {{10, 12, label_with_unit("Stress", STRESS), 0}}; }
    std::vector<int> rules_below_first_line() const override { return {11, 12}; }
    void adjust_widths(Surface&, std::vector<int>& w) const override { equalize_widths(w, 2, 7); }

    void text_header() const override
    {
        pipe_forces_text_title();
        plain_header_lines(true);
        report_next_line();
        report_rule();
    }
    void text_row(const PipeForceRow& row) const override { plain_rows(row, true); }
    void csv_header() const override { plain_csv_header(true); }
    void csv_row(const PipeForceRow& row) const override
    {
        for (int end = 0; end < 2; ++end) {
            csv_node(row, end);
            for (int i = 0; i < 6; ++i)
                csv_add_cell(local_text(row, end, i));
            const EndSifs* s = sifs_of(row, end);
            csv_add_cell(s ? report_sif_text(s->in_plane) : "");
            csv_add_cell(s ? report_sif_text(s->out_plane) : "");
            report_next_line();
        }
    }
};

// ---- The in/out-plane table ---------------------------------------------------------------------

// Local columns: Node, axial and shear forces, torsion, in-plane and
// out-of-plane moments each with its SIF, the three flexibility factors,
// for IGEM the three SCFs, and the stress.
class InOutPlaneVariant final : public PipeForceVariant {
public:
    bool applies(int32_t) const override { return results().available.in_out_plane_sifs; }
    int local_columns() const override { return 17; }
    void refresh() const override
    {
        // Always the first labels in this table, never S1 to S6.
        column_ = set_pipe_stress_label(false);
        igem_ = piping_code() == CODE_IGEM;
    }
    std::string header(int column, int line) const override
    {
        if (line > 1)
            return {};
        switch (column) {
        case 2: return line == 0 ? "Axial" : unit_label(FORCE);
        case 3: return line == 0 ? "y Shear" : unit_label(FORCE);
        case 4: return line == 0 ? "z Shear" : unit_label(FORCE);
        case 5:
        case 7:
        case 9: return line == 1 ? "Moment" : "";
        case 6:
        case 8:
        case 10: return line == 1 ? (igem_ ? "SCF" : "SIF") : "";
        case 11: return line == 1 ? "FFt" : "";
        case 12: return line == 1 ? "FFo" : "";
        case 13: return line == 1 ? "FFi" : "";
        case 14: return line == 1 && igem_ ? "Is" : "";
        case 15: return line == 1 && igem_ ? "It" : "";
        case 16: return line == 1 && igem_ ? "Ip" : "";
        case 17:
            if (!column_.shown)
                return {};
            return line == 0 ? column_.label : unit_label(STRESS);
        default: return {};
        }
    }
    std::string cell(const PipeForceRow& row, int column, int end) const override
    {
        if (end != 0 && end != 1)
            return {};
        double in_plane = 0.0, out_plane = 0.0;
        switch (column) {
        case 2:
        case 3:
        case 4: return local_text(row, end, column - 2);
        case 5: return local_text(row, end, 3);
        case 7:
        case 9:
            pipe_end_plane_moments(row.element, end, row.local, in_plane, out_plane);
            return end_value_text(static_cast<float>(column == 7 ? in_plane : out_plane), 3);
        case 6:
        case 8:
        case 10: {
            float t = 1.0f, i = 1.0f, o = 1.0f;
            if (!end_sifs(row, end, t, i, o))
                return {};
            return factor_text(column == 6 ? t : column == 8 ? i : o);
        }
        case 11:
        case 12:
        case 13: {
            const ResultsState& r = results();
            if (!r.code.flexibility.valid(row.element))
                return {};
            return factor_text(r.code.flexibility[row.element].value[static_cast<std::size_t>(column - 11)]);
        }
        case 14:
        case 15:
        case 16: {
            const ResultsState& r = results();
            if (!igem_ || !r.code.element_sifs.valid(row.element))
                return {};
            const IgemEndScfs& s = r.code.element_sifs[row.element].igem_scf[static_cast<std::size_t>(end)];
            return factor_text(column == 14 ? s.is : column == 15 ? s.it : s.ip);
        }
        case 17: return column_.shown ? stress_text(row, end) : "";
        default: return {};
        }
    }
    std::vector<TableGroup> groups() const override
    {
        std::vector<TableGroup> g = {{5, 6, label_with_unit("Torsion", MOMENT), 0},
                                     {7, 8, label_with_unit("Inplane", MOMENT), 0},
                                     {9, 10, label_with_unit("Outplane", MOMENT), 0},
                                     {11, 13, "Flex. Factors", 0}};
        if (igem_)
            g.push_back({14, 16, "SCFs", 0});
        return g;
    }
    std::vector<int> rules_below_first_line() const override { return {6, 8, 10, 12, 13, 15, 16}; }
    void adjust_widths(Surface& dc, std::vector<int>& w) const override
    {
        equalize_widths(w, 2, 4);
        for (int pair : {5, 7, 9})
            equalize_two_widths(w, pair, pair + 1);
        equalize_widths(w, 11, 13);
        if (igem_)
            equalize_widths(w, 14, 16);
        else
            w[14] = w[15] = w[16] = 0;
        // Each group heading stays readable over its columns: any excess
        // goes to the group's last column.
        const int padding = table_cell_padding(dc);
        for (const TableGroup& g : groups()) {
            int span = 0;
            for (int c = g.first_column; c <= g.last_column; ++c)
                span += w[static_cast<std::size_t>(c)];
            const int need = dc_text_width(dc, g.text) + 2 * padding;
            if (need > span)
                w[static_cast<std::size_t>(g.last_column)] += need - span;
        }
    }

    void text_header() const override
    {
        pipe_forces_text_title();
        report_print_at("---------------------------------------...In plane... .Out of plane..------", 4);
        report_next_line();
        report_print_at("Axial  y shear z shear Torque  Bend.Moment    Bend.Moment", 14);
        print_stress_label(column_.label);
        report_next_line();
        report_print_at("Node", 6);
        const int from[] = {15, 23, 31, 37, 45, 60}, to[] = {18, 26, 34, 43, 51, 66};
        for (int i = 0; i < 6; ++i)
            report_print_centred(force_unit_or_moment(i), from[i], to[i]);
        report_print_at("SIF", 54);
        report_print_at("SIF", 69);
        if (column_.shown)
            report_print_right(unit_label(STRESS), 78);
        report_next_line();
        report_rule();
    }
    void text_row(const PipeForceRow& row) const override
    {
        std::array<EndText, 2> ends;
        for (int end = 0; end < 2; ++end) {
            EndText& e = ends[static_cast<std::size_t>(end)];
            e = end_text(row, end, column_.shown);
            double in_plane = 0.0, out_plane = 0.0;
            pipe_end_plane_moments(row.element, end, row.local, in_plane, out_plane);
            e.values[4] = static_cast<float>(in_plane);
            e.values[5] = static_cast<float>(out_plane);
            float t = 1.0f;
            e.sifs = end_sifs(row, end, t, e.sif_a, e.sif_b);
        }
        end_lines(ends, {18, 26, 34, 42, 50, 65}, {56, 71});
    }
    // The header of the in/out-plane rows; the flexibility factors follow
    // the SIFs ("Flex. Factors" over them), then the IGEM SCFs, then the stress.
    void csv_header() const override
    {
        for (const char* h : {"", "", "", "", "", "In plane", "Out of plane", "In plane", "Out of plane", "Torsion",
                              "Flex. Factors"})
            csv_add_text(h);
        report_next_line();
        for (const char* h : {"", "Axial", "y shear", "z shear", "Torque", "Bend.Moment", "Bend.Moment", "SIF", "SIF",
                              "SIF", "FFt", "FFo", "FFi"})
            csv_add_text(h);
        if (igem_)
            for (const char* h : {"Ip", "It", "Is"})
                csv_add_text(h);
        csv_add_text(column_.label);
        report_next_line();
        csv_add_text("Node");
        csv_units(3, 3);
        for (int i = 0; i < (igem_ ? 9 : 6); ++i)
            csv_add_text("");
        if (column_.shown)
            csv_add_unit_cell(STRESS);
        report_next_line();
    }
    void csv_row(const PipeForceRow& row) const override
    {
        for (int end = 0; end < 2; ++end) {
            csv_node(row, end);
            for (int i = 0; i < 4; ++i)
                csv_add_cell(local_text(row, end, i));
            double in_plane = 0.0, out_plane = 0.0;
            pipe_end_plane_moments(row.element, end, row.local, in_plane, out_plane);
            csv_add_cell(end_value_text(static_cast<float>(in_plane), 3));
            csv_add_cell(end_value_text(static_cast<float>(out_plane), 3));
            float t = 1.0f, i = 1.0f, o = 1.0f;
            const bool have = end_sifs(row, end, t, i, o);
            csv_add_cell(have ? report_sif_text(i) : "");
            csv_add_cell(have ? report_sif_text(o) : "");
            csv_add_cell(have ? report_sif_text(t) : "");
            for (int k = 11; k <= 13; ++k)
                csv_add_cell(cell(row, k, end));
            if (igem_) {
                const ResultsState& r = results();
                const bool scf = r.code.element_sifs.valid(row.element);
                const IgemEndScfs s = scf ? r.code.element_sifs[row.element].igem_scf[static_cast<std::size_t>(end)]
                                          : IgemEndScfs{};
                for (float v : {s.ip, s.it, s.is})
                    csv_add_cell(scf ? report_sif_text(v) : "");
            }
            if (column_.shown)
                csv_add_cell(stress_text(row, end));
            report_next_line();
        }
    }

private:
    mutable PipeStressColumn column_;
    mutable bool igem_ = false;

    // The torsion, in-plane and out-of-plane SIF of an end; under IGEM the
    // set of the case's stress category (none in other categories).
    bool end_sifs(const PipeForceRow& row, int end, float& t, float& i, float& o) const
    {
        const ResultsState& r = results();
        if (!r.code.element_sifs.valid(row.element))
            return false;
        const ElementSifRecord& s = r.code.element_sifs[row.element];
        const auto e = static_cast<std::size_t>(end);
        if (!igem_) {
            t = s.end[e].torsion;
            i = s.end[e].in_plane;
            o = s.end[e].out_plane;
            return true;
        }
        const std::string category = pipe_stress_cell_text(row.row, 2);
        if (category != "1" && category != "2")
            return false;
        const IgemEndSifs& g = category == "1" ? s.igem_category1[e] : s.igem_category2[e];
        t = g.torsion;
        i = g.in_plane;
        o = g.out_plane;
        return true;
    }
};

// ---- The BS 806 table ----------------------------------------------------------------------------

// Local columns: Node, Mi, Mo, Mt, the bend factors FTi, FTo, FLi, FLo (or
// at a branch junction "Br.J", m, Bi, Bo) and the stresses F,fB, fs, fc.
class Bs806Variant final : public PipeForceVariant {
public:
    bool applies(int32_t code) const override { return code == CODE_BS806; }
    int local_columns() const override { return 11; }
    std::string local_title() const override { return "Pipe Forces in Local Coordinates"; }
    std::string header(int column, int line) const override
    {
        if (line > 1)
            return {};
        static const char* const top[] = {"Mi", "Mo", "Mt", "FTi", "FTo", "FLi", "FLo", "F,fB", "fs", "fc"};
        if (column < 2 || column > 11)
            return {};
        if (line == 0)
            return top[column - 2];
        if (column <= 4)
            return unit_label(MOMENT);
        if (column >= 9)
            return unit_label(STRESS);
        static const char* const second[] = {"Br.J", "m", "Bi", "Bo"};
        return second[column - 5];
    }
    std::string cell(const PipeForceRow& row, int column, int end) const override
    {
        if (end != 0 && end != 1)
            return {};
        const bool junction = junction_end(row.element, end);
        if (column == 5 && junction)
            return "Br.J";
        const Bs806End* v = values(row, end);
        if (!v)
            return {};
        auto real = [](const CodeValue& c) {
            return c.evaluated && std::isfinite(c.value) ? format_real(c.value, 6, 2) : std::string();
        };
        const bool bend = element_kind(row) == ET_BEND || element_kind(row) == ET_JACKETED_BEND;
        switch (column) {
        case 2: return moment_text(v->mi);
        case 3: return moment_text(v->mo);
        case 4: return moment_text(v->mt);
        case 5: return bend ? real(v->fti) : "";
        case 6: return junction ? real(v->m) : bend ? real(v->fto) : "";
        case 7: return junction ? real(v->bi) : bend ? real(v->fli) : "";
        case 8: return junction ? real(v->bo) : bend ? real(v->flo) : "";
        case 9: return stress_value_text(v->f_fb);
        case 10: return stress_value_text(v->fs);
        case 11: return stress_value_text(v->fc);
        default: return {};
        }
    }
    void adjust_widths(Surface&, std::vector<int>& w) const override
    {
        equalize_widths(w, 2, 4);
        equalize_widths(w, 5, 8);
        equalize_widths(w, 9, 11);
    }
    void text_header() const override
    {
        pipe_forces_text_title();
        report_print_at("Mi      Mo      Mt    FTi   FTo   FLi   FLo   F,fB    fs     fc", 14);
        report_next_line();
        report_print_at("Node", 5);
        report_print_at("BrJnc   m    Bi    Bo", 35);
        for (const auto& [from, to] : {std::pair{11, 18}, std::pair{19, 26}, std::pair{27, 34}})
            report_print_centred(unit_label(MOMENT), from, to);
        for (const auto& [from, to] : {std::pair{59, 65}, std::pair{66, 72}, std::pair{73, 79}})
            report_print_centred(unit_label(STRESS), from, to);
        report_next_line();
        report_rule();
    }
    void text_row(const PipeForceRow& row) const override
    {
        for (int end = 0; end < 2; ++end) {
            report_print_at(node_text(node_of_end(row.element, end)), 5);
            const Bs806End* v = values(row, end);
            if (junction_end(row.element, end))
                report_print_at("BrJnc", 35);
            if (v) {
                report_right(moment_text(v->mi), 16);
                report_right(moment_text(v->mo), 24);
                report_right(moment_text(v->mt), 32);
                if (junction_end(row.element, end)) {
                    report_right(real2(v->m), 45);
                    report_right(real2(v->bi), 51);
                    report_right(real2(v->bo), 57);
                } else {
                    report_right(real2(v->fti), 39);
                    report_right(real2(v->fto), 45);
                    report_right(real2(v->fli), 51);
                    report_right(real2(v->flo), 57);
                }
                report_right(stress_value_text(v->f_fb), 64);
                report_right(stress_value_text(v->fs), 71);
                report_right(stress_value_text(v->fc), 78);
            }
            report_next_line();
        }
        report_next_line();
    }
    void csv_header() const override
    {
        for (const char* h : {"", "Mi", "Mo", "Mt", "FTi", "FTo", "FLi", "FLo", "F.fB", "fs", "fc"})
            csv_add_text(h);
        report_next_line();
        csv_add_text("Node");
        csv_units(0, 3);
        for (const char* h : {"BrJnc", "m", "Bi", "Bo"})
            csv_add_text(h);
        for (int i = 0; i < 3; ++i)
            csv_add_unit_cell(STRESS);
        report_next_line();
    }
    void csv_row(const PipeForceRow& row) const override
    {
        for (int end = 0; end < 2; ++end) {
            csv_node(row, end);
            const Bs806End* v = values(row, end);
            const Bs806End empty{};
            const Bs806End& b = v ? *v : empty;
            const bool junction = junction_end(row.element, end);
            csv_add_cell(moment_text(b.mi));
            csv_add_cell(moment_text(b.mo));
            csv_add_cell(moment_text(b.mt));
            if (junction) {
                csv_add_text("BrJnc");
                csv_add_cell(real2(b.m));
                csv_add_cell(real2(b.bi));
                csv_add_cell(real2(b.bo));
            } else {
                csv_add_cell(real2(b.fti));
                csv_add_cell(real2(b.fto));
                csv_add_cell(real2(b.fli));
                csv_add_cell(real2(b.flo));
            }
            csv_add_cell(stress_value_text(b.f_fb));
            csv_add_cell(stress_value_text(b.fs));
            csv_add_cell(stress_value_text(b.fc));
            report_next_line();
        }
    }

private:
    mutable Bs806Ends ends_{};
    mutable int element_ = -1;

    static int element_kind(const PipeForceRow& row)
    {
        const ResultsState& r = results();
        return r.elements.valid(row.element) ? r.elements[row.element].kind : 0;
    }
    const Bs806End* values(const PipeForceRow& row, int end) const
    {
        const auto& f = bs806_element_stress();
        if (!f)
            return nullptr;
        if (element_ != row.element) {
            ends_ = f(row.element);
            element_ = row.element;
        }
        return &ends_[static_cast<std::size_t>(end)];
    }
    void refresh() const override { element_ = -1; }
    // A row keeps the ends it made for the next.
    bool rows_apart() const override { return false; }
    static std::string moment_text(const CodeValue& c)
    {
        return c.evaluated && std::isfinite(c.value) ? format_moment_integer(c.value) : std::string();
    }
    static std::string real2(const CodeValue& c)
    {
        return c.evaluated && std::isfinite(c.value) ? format_real(c.value, 6, 2) : std::string();
    }
};

}  // namespace

void pipe_forces_text_title()
{
    report_print_centred("Pipe element forces in local coordinates: " + results_loadcase_name(), 6, 78);
    report_next_line();
    report_rule();
}

void register_standard_pipe_force_variants()
{
    register_pipe_force_variant(std::make_unique<StandardVariant>());
    register_pipe_force_variant(std::make_unique<InOutPlaneVariant>());
    register_pipe_force_variant(std::make_unique<NoCodeVariant>());
    register_pipe_force_variant(std::make_unique<Bs806Variant>());
}
