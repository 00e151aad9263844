// The element-force results: the pipe forces table in its variants, the
// beam, FRP and other forces tables, the force-kind chooser, and the
// element forces of the results report.
//
// Pipe forces: one table per variant, chosen by the piping code among the
// registered variants (the last registered that applies wins): the
// standard table, the in/out-plane table (codes with separate in-plane and
// out-of-plane SIFs), the BS 806 table and the no-code table. In global
// axes every variant shows the same seven columns: "Node", "FX" to "MZ"
// with the sign rule of the results (element_force_values.h). In local
// axes each shows its own columns beside the six stored values, and prints
// its own text and CSV layouts.
//
// The beam, FRP and other forces tables show the elements of their list
// with "Node", "Type" and the six forces and moments in local or global
// axes.
#pragma once

#include "codes/code_records.h"
#include "framework/ui/table.h"

#include <array>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// ---- State shared by the force tables --------------------------------------------------------

// The force tables show global axes (F7, global_forces_shown); the local
// axes triad of the shown element is drawn (327, LCS).
bool& global_forces_shown();
bool& lcs_shown();

// ---- Pipe force variants ------------------------------------------------------------------------

// What a row shows: its pipe record, its element, the element's stored
// (local) forces of the loaded case and, in global mode, its global forces.
struct PipeForceRow {
    int row = 0;
    int element = 0;
    const PipeResultRecord* pipe = nullptr;
    ElementForceRecord local{};
    ElementForceRecord global{};
};

// The BS 806 quantities of an element's ends (bs806_element_stress): per end
// Mi, Mo, Mt, FTi, FTo, FLi, FLo, and at a branch junction m, Bi, Bo, and the
// stresses F,fB, fs, fc. Not evaluated: empty cells.
struct Bs806End {
    CodeValue mi, mo, mt, fti, fto, fli, flo, m, bi, bo, f_fb, fs, fc;
};
using Bs806Ends = std::array<Bs806End, 2>;
// The program registers the moments Mi, Mo, Mt of each end from the loaded
// case's forces (in and out of the plane, about the branch plane at a
// branch junction; torsion); the bend and branch factors and the stresses
// are not evaluated (code_stresses_unavailable_text). Empty: none.
std::function<Bs806Ends(int element)>& bs806_element_stress();

// A variant of the pipe forces table in local axes: its columns and their
// cells, and its text and CSV layouts in the results report.
class PipeForceVariant {
public:
    virtual ~PipeForceVariant() = default;
    // Whether the variant serves the results of this piping code.
    virtual bool applies(int32_t piping_code) const = 0;
    virtual int local_columns() const = 0;
    // The window title in local axes.
    virtual std::string local_title() const { return "Pipe forces in local coordinates"; }
    virtual int header_lines() const { return 2; }
    // Headings and cells of the local columns (2 and on; column 1 is the node).
    virtual std::string header(int column, int line) const = 0;
    virtual std::string cell(const PipeForceRow& row, int column, int end) const = 0;
    // Group headings over the local columns, the columns whose left rule
    // begins below header line 0, and the widths after measuring.
    virtual std::vector<TableGroup> groups() const { return {}; }
    virtual std::vector<int> rules_below_first_line() const { return {}; }
    virtual void adjust_widths(Surface& /*dc*/, std::vector<int>& /*widths*/) const {}
    // Before the table shows or prints a load case.
    virtual void refresh() const {}
    // The text and CSV forms in the results report: the header lines and
    // one element's rows.
    virtual void text_header() const = 0;
    virtual void text_row(const PipeForceRow& row) const = 0;
    virtual void csv_header() const = 0;
    virtual void csv_row(const PipeForceRow& row) const = 0;
    // Whether text_row may write rows on several threads at once
    // (ReportRowsApart, report.h).
    virtual bool rows_apart() const { return true; }
};
// Registers a variant; the last registered that applies is chosen.
void register_pipe_force_variant(std::unique_ptr<PipeForceVariant> variant);
// The variant for the results' piping code.
const PipeForceVariant& pipe_force_variant();

// The in-plane and out-of-plane moments of a pipe's end as the in/out-plane
// tables show them: mz and my, or about the branch plane at a branch
// junction (pipe, jacketed pipe, reducer) when the results hold separate
// in- and out-of-plane SIFs.
void pipe_end_plane_moments(int element, int end, const ElementForceRecord& local, double& in_plane,
                            double& out_plane);

// ---- Showing ---------------------------------------------------------------------------------

// "&Pipes", "&Beams", "&FRP", "&Other": each shows its table; nothing when
// its list is empty.
void show_pipe_forces();
void show_beam_forces();
void show_frp_forces();
void show_other_forces();
// The element forces result: the force table shown last (the first kind
// that has elements at first).
void show_element_forces();
// The force-kind chooser (287) and the next and previous kind (330, 331).
void choose_other_forces(WindowId owner);
void next_force_kind();
void previous_force_kind();
// F7 and 288: switches local and global forces and shows the table again.
void toggle_global_forces();

// ---- The results report ----------------------------------------------------------------------

// The element forces of the current load case in local and in global axes:
// the pipe forces (the variant's table on graphic pages, its text and CSV
// layouts), then beams, FRP elements and others when they have results.
// The shown coordinate choice is kept.
void print_local_element_forces();
void print_global_element_forces();
// The beam and the FRP element forces of the current load case in global
// or local axes (nothing without such elements); the shown choice is kept.
void print_beam_forces(bool global);
void print_frp_forces(bool global);
// The twelve global values of an element as the text and CSV report write
// them: the sign rule, first end on the current line and the second on the
// next; with `type` the text columns move right and the type name is the
// second CSV cell.
void print_force_pair(const ElementForceRecord& global, int node1, int node2, const char* type = nullptr);
void csv_force_pair(const ElementForceRecord& global, int node1, int node2, const char* type = nullptr);

// Registers the force tables' results, commands and variants.
void install_element_force_tables();
// The tables (tests).
TableWindow& pipe_force_table();
TableWindow& other_force_table(int kind);   // 0 beams, 1 FRP, 2 others
