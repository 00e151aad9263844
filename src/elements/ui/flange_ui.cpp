// The flange dialog (FLANGE_DIALOG) with its library buttons, the weight
// library dialog (FLANGE_LIBRARY_DIALOG) and the "Flanges" table.
#include "elements/attribute_dialog_ids.h"
#include "elements/flange.h"
#include "elements/flange_library.h"
#include "elements/ui/attribute_ui.h"
#include "elements/ui/dialogs_attributes.h"
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/ui/messages.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/units.h"
#include "materials/pipe_section.h"
#include "materials/size_tables.h"
#include "model/model.h"
#include "model/ui/layout_window.h"

#include <memory>

namespace {

Flange* flange_of_row(int row)
{
    return row_data_of<Flange>(row, DT_FLANGE);
}

// The pipe section the library looks the size up by: the row's own, else
// that of the nearest earlier pipe-like row that names one; 0 when none.
int library_section(int row)
{
    const Model& m = model();
    if (int own = section_index(m.rows[row].section); own != 0)
        return own;
    for (int i = row - 1; i >= 2; --i) {
        const LayoutRow& r = m.rows[i];
        const bool pipe_like = r.etype == ET_FROM || (r.etype >= ET_PIPE && r.etype <= ET_VALVE);
        if (pipe_like && !r.section.empty())
            return section_index(r.section);
    }
    return 0;
}

// ---- The weight library ----------------------------------------------------------------------

class FlangeLibraryTable final : public TableWindow {
public:
    FlangeLibraryTable(int kind, int size) : TableWindow(nullptr, 2, 1), kind_(kind), size_(size)
    {
        alignments[2] = TextAlign::Right;
        editing_allowed = false;
    }

    std::function<void()> picked;
    std::function<void()> row_changed;

    const FlangeLibraryList& list() const { return flange_library(kind_); }
    int rating() const { return current_row - 1; }

    std::string header_text(int c, int line) override
    {
        if (line != 0)
            return {};
        return c == 1 ? "Rating" : c == 2 ? "Weight " + unit_label(WEIGHT) : std::string();
    }
    std::string cell_text(int row, int c, int line) override
    {
        if (line != 0 || row < 1 || row > static_cast<int>(list().ratings.size()))
            return {};
        if (c == 1)
            return list().ratings[static_cast<std::size_t>(row - 1)];
        const double weight = flange_library_weight(kind_, size_, row - 1, false);
        return c == 2 && weight != 0.0 ? format_weight(weight) : std::string();
    }
    bool cell_editable(int, int) override { return false; }
    bool edit_row(int) override
    {
        if (picked)
            picked();
        return true;
    }
    void on_row_changed(int) override
    {
        if (row_changed)
            row_changed();
    }

private:
    int kind_;
    int size_;
};

class FlangeLibraryDialog final : public DialogProc {
public:
    FlangeLibraryDialog(int kind, int size) : kind_(kind), size_(size), table_(kind, size) {}

    double weight() const { return flange_library_weight(kind_, size_, table_.rating(), single_); }

    void init(Dialog& d) override
    {
        single_ = false;
        const FlangeLibraryList& list = flange_library(kind_);
        d.set_text(FLANGE_LIBRARY_SIZE, "Size = " + list.size_names[static_cast<std::size_t>(size_)]);
        table_.picked = [&d] { d.end(IDOK); };
        table_.row_changed = [this, &d] { show_known(d); };
        const int rows = static_cast<int>(list.ratings.size());
        view_ = table_create_in_dialog(d, FLANGE_LIBRARY_TABLE, table_, rows);
        table_show_at(table_, "", rows, 1, 0);
        show_known(d);
    }
    void command(Dialog& d, int id, int) override
    {
        if (id == FLANGE_LIBRARY_SINGLE)
            single_ = d.is_checked(FLANGE_LIBRARY_SINGLE);
    }

private:
    // Says when the chosen rating has no weight that the library can give.
    void show_known(Dialog& d)
    {
        const bool known = flange_library_weight(kind_, size_, table_.rating(), false) != 0.0;
        d.set_text(FLANGE_LIBRARY_UNKNOWN, known ? "" : "No weight is known for this size and rating");
    }

    int kind_;
    int size_;
    bool single_ = false;
    FlangeLibraryTable table_;
    std::unique_ptr<TableView> view_;
};

// ---- The flange dialog --------------------------------------------------------------------------

class FlangeDialog final : public ElementDialog {
public:
    using ElementDialog::ElementDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_at_node(row_, "Flange"));
        dialog_list_reset(FLANGE_TYPE);
        for (int type = 1; type <= FLANGE_TYPE_COUNT; ++type)
            dialog_list_add(flange_type_name(type));
        dialog_list_select(FLANGE_TYPE, 0);
        LayoutRow::fill_data_dialog(row_, d, DT_FLANGE);
        remember_texts(d, {FLANGE_WEIGHT, FLANGE_GASKET, FLANGE_PRESSURE});
        if (input_locked()) {
            dialog_disable(FLANGE_TYPE);
            for (int id : {int{FLANGE_WEIGHT}, int{FLANGE_GASKET}, int{FLANGE_PRESSURE}})
                dialog_set_readonly(id);
            dialog_disable(FLANGE_ANSI_LIBRARY);
            dialog_disable(FLANGE_EUROPEAN_LIBRARY);
            dialog_set_focus(IDOK);
        } else {
            dialog_set_focus(FLANGE_TYPE);
        }
    }

    void command(Dialog& d, int id, int code) override
    {
        if (input_locked() || code != NOTIFY_CLICKED ||
            (id != FLANGE_ANSI_LIBRARY && id != FLANGE_EUROPEAN_LIBRARY))
            return;
        const int kind = id == FLANGE_ANSI_LIBRARY ? FLANGE_LIBRARY_ANSI : FLANGE_LIBRARY_EUROPEAN;
        const int section = library_section(row_);
        if (section == 0) {
            message_error(d.window(), "Unable to find pipe section");
            return;
        }
        const double size = nominal_pipe_size(pipe_sections()[section].outside_diameter);
        const int index = flange_library_size_index(kind, size);
        if (index < 0) {
            std::string number = format_dimension(size);
            trim_blanks(number);
            message_error(d.window(), " Flange data not available for this diameter: " + number + " " +
                                          unit_label(DIMENSION));
            return;
        }
        double weight = 0.0;
        if (!pick_flange_library_weight(kind, index, d.window(), weight))
            return;
        if (weight == 0.0) {
            dialog_set_default_text(FLANGE_WEIGHT);
        } else {
            dialog_set_text(FLANGE_WEIGHT, format_weight(weight));
            dialog_select_focus(FLANGE_WEIGHT);
        }
    }

    bool store(Dialog&) override
    {
        const Flange* old = flange_of_row(row_);
        Flange next;
        next.flange_type = dialog_list_selection(FLANGE_TYPE) + 1;
        next.weight = read_value(FLANGE_WEIGHT, "Weight", parse_weight_buffer, old ? old->weight : 0.0f);
        next.gasket_diameter =
            read_value(FLANGE_GASKET, "Gasket Diameter", parse_dimension_buffer, old ? old->gasket_diameter : 0.0f);
        next.allowable_pressure = read_value(FLANGE_PRESSURE, "Allowable Pressure", parse_pressure_buffer,
                                             old ? old->allowable_pressure : 0.0f);
        if (old && old->same_values(next)) {
            discard_undo_snapshot();
            return true;
        }
        data_to_store<Flange>(row_, DT_FLANGE).copy_from(next);
        stored_ = true;
        attribute_stored();
        return true;
    }

private:
    // A value of at least 0 in its unit; empty is 0; an untouched field its
    // stored value.
    float read_value(int item, const char* name, int (*parser)(float&), float stored) const
    {
        dialog_get_text(item);
        if (item_text().empty() || item_text() == default_entry_text())
            return 0.0f;
        if (untouched(item))
            return stored;
        float value = 0.0f;
        if (parser(value) != 0 || !(value >= 0.0f))
            throw_invalid(name);
        // A typed 0 is a value not given (the parsers keep some zeros as 1e-36).
        return value < 1.0e-30f ? 0.0f : value;
    }
};

// ---- The "Flanges" table ----------------------------------------------------------------------

class FlangesTable final : public AttributeRowsTable {
public:
    FlangesTable() : AttributeRowsTable(FLANGE_ROWS, {DT_FLANGE}, "Flanges", "Flange", 5, 2)
    {
        headings = {"", "Node", "Type", "Weight", "Gasket Dia", "Allow Pres"};
        for (int c = 3; c <= 5; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        open_dialog = edit_flange;
    }

    std::string header_text(int column, int line) override
    {
        if (line == 1)
            return column == 3 ? unit_label(WEIGHT) : column == 4 ? unit_label(DIMENSION)
                                                   : column == 5 ? unit_label(PRESSURE) : std::string();
        return AttributeRowsTable::header_text(column, line);
    }

protected:
    ReportHeading report_heading() override
    {
        ReportHeading h = attribute_heading(DT_FLANGE, "Flanges",
                                            {{"Node", 0, 6}, {"Type", 0, 13}, {"Weight", 0, 37},
                                             {"Gasket Dia", 0, 46}, {"Allowable pressure", 0, 58}});
        h.heading_lines = 2;
        h.units = {{WEIGHT, 1, 35, 44}, {DIMENSION, 1, 46, 55}, {PRESSURE, 1, 57, 66}};
        return h;
    }
    void report_line(int, const DataItem& item) override
    {
        const auto& f = static_cast<const Flange&>(item);
        report_print_at(flange_type_name(f.flange_type), 13);
        report_print_at(format_weight(f.weight), 38);
        report_print_at(f.gasket_diameter != 0.0f ? format_dimension(f.gasket_diameter) : std::string(), 48);
        report_print_at(f.allowable_pressure != 0.0f ? format_pressure(f.allowable_pressure) : std::string(), 59);
    }
};

}  // namespace

bool pick_flange_library_weight(int kind, int size, WindowId owner, double& weight)
{
    if (size < 0 || size >= static_cast<int>(flange_library(kind).sizes.size()))
        return false;
    FlangeLibraryDialog proc(kind, size);
    if (run_dialog(FLANGE_LIBRARY_DIALOG, proc, owner) != IDOK)
        return false;
    weight = proc.weight();
    return true;
}

bool edit_flange(int row, WindowId owner)
{
    return edit_element_row<FlangeDialog>(FLANGE_DIALOG, row, owner);
}

AttributeRowsTable& flanges_table()
{
    return session_part<FlangesTable>();
}
