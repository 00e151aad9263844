#include "results/ui/modal_results_ui.h"

#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/unit_choices.h"
#include "framework/units.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/report.h"
#include "framework/ui/report_pages.h"
#include "framework/ui/table.h"
#include "materials/pipe_section.h"
#include "model/model.h"
#include "model/nodes.h"
#include "results/results_reader.h"
#include "results/results_state.h"
#include "results/ui/result_choosers.h"
#include "results/ui/result_pages.h"
#include "results/ui/results_hooks.h"
#include "results/ui/results_window.h"

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <functional>
#include <memory>
#include <numbers>
#include <optional>

namespace {

struct ModalUi {
    std::optional<std::vector<ModeSusceptibility>> susceptibility;
    std::string susceptibility_path;   // of the results it was read for
};

ModalUi& ui()
{
    return session_part<ModalUi>();
}

int modes()
{
    return results().modal.modes;
}

std::string node_of_index(int32_t index)
{
    return model().nodes.valid(index) ? node_text(model().nodes[index].number) : std::string();
}

// Stress per unit velocity in the units of the display.
double stress_per_velocity(double psi_per_inch_per_second)
{
    return to_display(STRESS, psi_per_inch_per_second) / to_display(DISPLACEMENT, 1.0);
}
std::string stress_per_velocity_label()
{
    return "(" + unit_name(STRESS, current_unit(STRESS)) + " per " + unit_name(DISPLACEMENT, current_unit(DISPLACEMENT)) +
           "/s)";
}

std::string susceptibility_path()
{
    return replace_extension(results().path, "rds");
}

// ---- The tables -----------------------------------------------------------------------

// A column: two heading lines and the text of a row's cell; a column of
// nodes gives the node index of a row too (find node searches it).
struct Column {
    const char* heading;
    std::function<std::string()> second;
    std::function<std::string(int row)> cell;
    std::function<int32_t(int row)> node{};
};

std::function<std::string()> fixed(const char* text)
{
    return [text] { return std::string(text); };
}

// A column headed `heading` over "node" that shows the node of index `node(row)`.
Column node_column(const char* heading, std::function<int32_t(int row)> node)
{
    return {heading, fixed("node"), [node](int row) { return node_of_index(node(row)); }, node};
}

// What distinguishes the three tables.
struct ModalKind {
    int result;
    const char* contents;                 // its entry of a printed table of contents
    std::function<std::string()> title;
    std::function<int()> rows;
    std::vector<Column> columns;
    // A row became current.
    std::function<void(int row)> row_changed;
    // Right and Left step the mode instead of the load case.
    bool steps_modes = false;
    // Rows after the modes (a Total row), which a printed title does not count.
    int summary_rows = 0;
};

class ModalTable final : public TableWindow {
public:
    explicit ModalTable(const ModalKind& kind)
        : TableWindow(&results_frame(), static_cast<int>(kind.columns.size()), 2), kind_(kind)
    {
        editing_allowed = false;
        view_only = true;
        summary_rows = kind.summary_rows;
    }
    const ModalKind& kind() const { return kind_; }
    void on_help(WindowId owner) override
    {
        open_result_page(kind_.result == RESULT_FREQUENCIES               ? PAGE_FREQUENCIES
                         : kind_.result == RESULT_DYNAMIC_SUSCEPTIBILITY ? PAGE_DYNAMIC_SUSCEPTIBILITY
                                                                           : PAGE_DYNAMIC_STRESSES,
                         owner);
    }

    std::string header_text(int column, int line) override
    {
        if (column < 1 || column > columns())
            return {};
        const Column& c = kind_.columns[static_cast<std::size_t>(column - 1)];
        return line == 0 ? c.heading : line == 1 ? c.second() : std::string();
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (line != 0 || row < 1 || row > kind_.rows() || column < 1 || column > columns())
            return {};
        return kind_.columns[static_cast<std::size_t>(column - 1)].cell(row);
    }
    // The nodes of the node columns.
    std::vector<int> row_nodes(int row) override
    {
        std::vector<int> nodes;
        if (row < 1 || row > kind_.rows())
            return nodes;
        for (const Column& c : kind_.columns)
            if (c.node && model().nodes.valid(c.node(row)))
                nodes.push_back(model().nodes[c.node(row)].number);
        return nodes;
    }
    bool on_key(int key, unsigned mods) override
    {
        if (key == KEY_TAB) {
            cycle_result(mods);
            return true;
        }
        if (kind_.steps_modes && (key == KEY_RIGHT || key == KEY_LEFT) && modes() > 0) {
            const int next = results().current_mode + (key == KEY_RIGHT ? 1 : -1);
            select_mode(next < 1 ? modes() : next > modes() ? 1 : next);
            refresh();
            return true;
        }
        return table_on_key(*this, key, mods);
    }
    void on_row_changed(int row) override
    {
        if (row >= 1 && row <= kind_.rows() && kind_.row_changed)
            kind_.row_changed(row);
    }
    void on_leave() override
    {
        if (results_hooks().highlight_erase)
            results_hooks().highlight_erase();
    }
    void on_load_case_changed() override {}
    void context_menu(Point) override { table_popup_menu(*this, plain_results_popup()); }
    void contents_entry() override { add_contents_entry(kind_.contents, 0); }
    void print() override
    {
        const ReportState& s = report_state();
        if (s.printing_pages)
            table_print(*this, kind_.title(), kind_.rows());
        else if (s.text_report && s.csv_mode)
            print_csv();
        else if (s.text_report)
            print_text();
    }
    void print_text() override { table_print_text(*this, kind_.title(), kind_.rows()); }
    void print_csv() override { table_print_csv(*this, kind_.title(), kind_.rows()); }

    void show()
    {
        measure_needed = true;
        set_current_result(kind_.result);
        const int rows = kind_.rows();
        int row = std::clamp(current_row, 1, std::max(1, rows));
        if (kind_.result != RESULT_DYNAMIC_STRESSES && modes() > 0)
            row = std::clamp(results().current_mode, 1, modes());
        table_show_at(*this, kind_.title(), rows, row, 0);
        set_results_title_fixed(kind_.title());
        table_window_show(*this);
        if (row >= 1 && row <= rows && kind_.row_changed)
            kind_.row_changed(row);
    }
    void refresh()
    {
        table_refresh(*this, kind_.title(), kind_.rows(), false);
        set_results_title_fixed(kind_.title());
        table_invalidate_rows(*this);
    }

private:
    const ModalKind& kind_;
};

// ---- Frequencies --------------------------------------------------------------------------

// G^2 / total mass of a mode and direction, in percent; 0 without mass.
double mass_percent(int mode, int d)
{
    const ModalResults& m = results().modal;
    if (!(m.total_mass > 0.0f))
        return 0.0;
    const double g = m.participation[mode][static_cast<std::size_t>(d)];
    return 100.0 * g * g / m.total_mass;
}

Column participation_column(const char* heading, int d)
{
    return {heading, fixed("factor"), [d](int row) {
                return row <= modes() ? format_g5(results().modal.participation[row][static_cast<std::size_t>(d)])
                                      : std::string();
            }};
}
Column mass_column(const char* heading, int d)
{
    return {heading, fixed("(%)"), [d](int row) {
                if (row > modes())
                    return c_format("%.2f", 100.0 * results().modal.mass_participation[static_cast<std::size_t>(d)]);
                return c_format("%.2f", mass_percent(row, d));
            }};
}

const ModalKind& frequency_kind()
{
    static const ModalKind kind = {
        RESULT_FREQUENCIES,
        "Frequencies",
        [] { return std::string("Natural Frequencies"); },
        [] { return modes() > 0 ? modes() + 1 : 0; },
        {
            {"Mode", fixed(""), [](int row) { return row <= modes() ? int_text(row) : std::string("Total"); }},
            {"Frequency", fixed("(Hz)"),
             [](int row) { return row <= modes() ? c_format("%.3f", results().modal.frequencies[row]) : std::string(); }},
            {"Period", fixed("(sec)"),
             [](int row) {
                 const float f = row <= modes() ? results().modal.frequencies[row] : 0.0f;
                 return f > 0.0f ? c_format("%.4f", 1.0 / f) : std::string();
             }},
            participation_column("Particip. X", 0),
            participation_column("Particip. Y", 1),
            participation_column("Particip. Z", 2),
            mass_column("Mass X", 0),
            mass_column("Mass Y", 1),
            mass_column("Mass Z", 2),
        },
        [](int row) {
            if (row <= modes())
                select_mode(row);
        },
        false,
        1,
    };
    return kind;
}

// ---- Dynamic susceptibility ---------------------------------------------------------------

const ModeSusceptibility* mode_record(int mode)
{
    const std::vector<ModeSusceptibility>& s = results_mode_susceptibility();
    return mode >= 1 && mode <= static_cast<int>(s.size()) ? &s[static_cast<std::size_t>(mode - 1)] : nullptr;
}

const ModalKind& susceptibility_kind()
{
    static const ModalKind kind = {
        RESULT_DYNAMIC_SUSCEPTIBILITY,
        "Dynamic susceptibility",
        [] { return std::string("Dynamic Susceptibility"); },
        [] { return static_cast<int>(results_mode_susceptibility().size()); },
        {
            {"Mode", fixed(""), [](int row) { return int_text(row); }},
            {"Frequency", fixed("(Hz)"), [](int row) { return c_format("%.3f", mode_record(row)->frequency); }},
            node_column("Velocity", [](int row) { return mode_record(row)->markers.velocity_node; }),
            node_column("Stress", [](int row) { return mode_record(row)->markers.stress_node; }),
            {"Stress/Velocity", [] { return stress_per_velocity_label(); },
             [](int row) { return format_g5(stress_per_velocity(mode_record(row)->largest_stress)); }},
        },
        [](int row) { select_mode(row); },
        false,
        0,
    };
    return kind;
}

// ---- Dynamic stresses per mode ------------------------------------------------------------

// The pipe elements the stresses are listed for.
const OneBased<int32_t>& stress_elements()
{
    return results().lists.pipes;
}

double end_stress(int row, int end)
{
    const ModeSusceptibility* m = mode_record(results().current_mode);
    const int32_t e = stress_elements()[row];
    return m && m->stresses.valid(e) ? m->stresses[e][static_cast<std::size_t>(end)] : 0.0;
}

const ModalKind& dynamic_stress_kind()
{
    static const ModalKind kind = {
        RESULT_DYNAMIC_STRESSES,
        "Dynamic stresses",
        [] {
            const int mode = results().current_mode;
            const ModeSusceptibility* m = mode_record(mode);
            return c_format("Dynamic Stresses: Mode %d: %.2f Hz", mode, m ? static_cast<double>(m->frequency) : 0.0);
        },
        [] { return results_mode_susceptibility().empty() ? 0 : stress_elements().size(); },
        {
            node_column("From", [](int row) { return results().elements[stress_elements()[row]].node1; }),
            node_column("To", [](int row) { return results().elements[stress_elements()[row]].node2; }),
            {"From Stress", [] { return stress_per_velocity_label(); },
             [](int row) { return format_g5(stress_per_velocity(end_stress(row, 0))); }},
            {"To Stress", [] { return stress_per_velocity_label(); },
             [](int row) { return format_g5(stress_per_velocity(end_stress(row, 1))); }},
        },
        {},
        true,
        0,
    };
    return kind;
}

struct ModalTables {
    ModalTable frequencies{frequency_kind()};
    ModalTable susceptibility{susceptibility_kind()};
    ModalTable stresses{dynamic_stress_kind()};
};

struct ModalTablesUi {
    std::unique_ptr<ModalTables> tables;
};

ModalTables& tables()
{
    std::unique_ptr<ModalTables>& made = session_part<ModalTablesUi>().tables;
    if (!made)
        made = std::make_unique<ModalTables>();
    return *made;
}

// The results elements as the stresses need them.
OneBased<SusceptibilityElement> susceptibility_elements()
{
    const ResultsState& r = results();
    OneBased<SusceptibilityElement> out(r.elements.size());
    for (int32_t e : r.lists.pipes) {
        if (!r.elements.valid(e))
            continue;
        const ResultsElement& el = r.elements[e];
        SusceptibilityElement& s = out[e];
        if (!pipe_sections().valid(el.section))
            continue;
        const PipeSection& section = pipe_sections()[el.section];
        s.pipe = true;
        s.outside_diameter = section.outside_diameter;
        s.thickness = section.thickness;
        s.nodes = {el.node1, el.node2};
        if (r.code.element_sifs.valid(e))
            for (std::size_t end = 0; end < 2; ++end) {
                const EndSifs& k = r.code.element_sifs[e].end[end];
                s.sifs[end] = Sifs{k.in_plane, k.out_plane, k.axial, k.torsion};
            }
    }
    return out;
}

}  // namespace

void select_mode(int mode)
{
    ResultsState& r = results();
    if (r.modal.modes <= 0)
        return;
    const int before = r.current_mode;
    r.current_mode = std::clamp(mode, 1, static_cast<int>(r.modal.modes));
    read_mode_results();
    if (r.current_mode != before)
        results_case_changed();
}

const std::vector<ModeSusceptibility>& results_mode_susceptibility()
{
    ModalUi& u = ui();
    const std::string path = susceptibility_path();
    if (!u.susceptibility || u.susceptibility_path != path) {
        u.susceptibility_path = path;
        u.susceptibility.emplace();
        std::error_code ec;
        if (!results().path.empty() && std::filesystem::is_regular_file(path, ec))
            *u.susceptibility = mode_susceptibility(
                read_susceptibility_file(path, results().elements.size(), model().numnodes()),
                susceptibility_elements());
    }
    return *u.susceptibility;
}

ModeMarkerRecord current_mode_markers()
{
    const int kind = current_result();
    if (kind != RESULT_DYNAMIC_SUSCEPTIBILITY && kind != RESULT_DYNAMIC_STRESSES)
        return {};
    const ModeSusceptibility* m = mode_record(results().current_mode);
    return m ? m->markers : ModeMarkerRecord{};
}

TableWindow& frequency_table()
{
    return tables().frequencies;
}
TableWindow& susceptibility_table()
{
    return tables().susceptibility;
}
TableWindow& dynamic_stress_table()
{
    return tables().stresses;
}

void install_modal_results()
{
    ResultsHooks& h = results_hooks();
    h.show[RESULT_FREQUENCIES] = [] { tables().frequencies.show(); };
    result_page_tables()[PAGE_FREQUENCIES] = [] { return &frequency_table(); };
    result_page_tables()[PAGE_DYNAMIC_SUSCEPTIBILITY] = [] { return &susceptibility_table(); };
    result_page_tables()[PAGE_DYNAMIC_STRESSES] = [] { return &dynamic_stress_table(); };
    // Its part of the results report.
    h.print[RESULT_FREQUENCIES] = [] {
        ModalTable& t = tables().frequencies;
        t.measure_needed = true;
        t.print();
    };
    // The susceptibility tables read their file when first shown; a bad
    // file says so and shows nothing.
    auto show_reading = [](ModalTable& table) {
        try {
            results_mode_susceptibility();
        } catch (const MessageText& m) {
            ui().susceptibility.reset();
            message_error(results_frame().window, m.text);
            return;
        }
        table.show();
    };
    h.show[RESULT_DYNAMIC_SUSCEPTIBILITY] = [show_reading] { show_reading(tables().susceptibility); };
    h.show[RESULT_DYNAMIC_STRESSES] = [show_reading] { show_reading(tables().stresses); };
    auto file_present = [] {
        std::error_code ec;
        return results().modal.modes > 0 && std::filesystem::is_regular_file(susceptibility_path(), ec);
    };
    h.available[RESULT_DYNAMIC_SUSCEPTIBILITY] = file_present;
    h.available[RESULT_DYNAMIC_STRESSES] = file_present;
    h.closing.push_back([] { ui().susceptibility.reset(); });
}
