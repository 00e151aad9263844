// The valve dialog (VALVE_DIALOG) with its library pick, the "Valves" table
// and its printed and CSV forms. A length typed in either rewrites the row's
// DX, DY, DZ along the valve and rebuilds the model.
#include "elements/element_dialog_ids.h"
#include "elements/ui/dialogs_special_elements.h"
#include "elements/ui/element_ui.h"
#include "elements/ui/kind_table.h"
#include "elements/ui/value_dialog.h"
#include "elements/valve.h"
#include "framework/errors.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/messages.h"
#include "materials/pipe_section.h"
#include "materials/ui/valve_pick.h"

namespace {

Valve* valve_of_row(int row)
{
    return row_element_of<Valve>(row, ET_VALVE);
}

// The section of the pipe at a valve row: its own, else the nearest earlier
// From, pipe, bend, miter, jacketed or valve row with a section (down to row 2).
const PipeSection* valve_section(int row)
{
    const Model& m = model();
    if (const int s = section_index(m.rows[row].section))
        return &pipe_sections()[s];
    for (int i = row - 1; i >= 2; --i) {
        switch (m.rows[i].etype) {
        case ET_FROM:
        case ET_PIPE:
        case ET_BEND:
        case ET_MITER:
        case ET_JACKETED_PIPE:
        case ET_JACKETED_BEND:
        case ET_VALVE:
            if (const int s = section_index(m.rows[i].section))
                return &pipe_sections()[s];
            break;
        default: break;
        }
    }
    return nullptr;
}

// The length of a valve row put into its offsets; the model is rebuilt.
void apply_length(int row, float length)
{
    if (length == 0.0f)
        return;
    set_row_length(row, length);
    model_rebuild_needed() = true;
}

class ValveDialog final : public ValueDialog {
public:
    using ValueDialog::ValueDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_from_to(row_, "Valve"));
        dialog_set_unit_label(VALVE_WEIGHT_UNIT, WEIGHT);
        // The length and the offsets are typed and shown in the dimension
        // unit (inch or mm), as their fields read them.
        dialog_set_unit_label(VALVE_LENGTH_UNIT, DIMENSION);
        dialog_set_unit_label(VALVE_ADDED_WEIGHT_UNIT, WEIGHT);
        static const char* const offsets[3] = {"DX ", "DY ", "DZ "};
        for (int i = 0; i < 3; ++i)
            dialog_set_text(VALVE_OFFSET_LABEL + i, offsets[i] + unit_label(DIMENSION));
        dialog_list_reset(VALVE_TYPE);
        for (int t = 0; t < VALVE_TYPE_COUNT; ++t)
            dialog_list_add(valve_type_name(t));
        dialog_list_select(VALVE_TYPE, 0);
        const Valve fresh;
        d.set_text(VALVE_THICKNESS_X, thickness_multiplier_text(fresh.thickness_multiplier, 10));
        d.set_text(VALVE_INSULATION_X, format_real(fresh.insulation_multiplier, 10, 2));
        LayoutRow::fill_element_dialog(row_, d, ET_VALVE);
        if (const Valve* v = valve_of_row(row_))
            stored_.copy_from(*v);
        remember_texts(d, {VALVE_WEIGHT, VALVE_LENGTH, VALVE_THICKNESS_X, VALVE_INSULATION_X, VALVE_ADDED_WEIGHT,
                           VALVE_OFFSET_X, VALVE_OFFSET_X + 1, VALVE_OFFSET_X + 2});
        if (input_locked()) {
            for (int id = VALVE_WEIGHT; id <= VALVE_OFFSET_X + 2; ++id)
                dialog_set_readonly(id);
            dialog_disable(VALVE_LIBRARY);
            dialog_disable(VALVE_TYPE);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(VALVE_WEIGHT);
        }
    }

    void command(Dialog& d, int id, int code) override
    {
        if (id != VALVE_LIBRARY || code != NOTIFY_CLICKED || input_locked())
            return;
        const PipeSection* section = valve_section(row_);
        if (!section) {
            message_error(d.window(), "Unable to find pipe section");
            return;
        }
        const std::optional<ValveChoice> chosen = pick_valve_by_diameter(d.window(), section->outside_diameter);
        if (!chosen)
            return;
        // A weight the library does not give is left for the user to type.
        dialog_set_text(VALVE_WEIGHT, chosen->weight != 0.0f ? format_weight(chosen->weight) : std::string());
        if (chosen->length != 0.0f)
            dialog_set_text(VALVE_LENGTH, format_dimension(chosen->length));
        else
            dialog_set_default_text(VALVE_LENGTH);
        // A valve of no known weight would weigh nothing, and take the pipe
        // metal it replaces with it: its weight is asked for.
        weight_wanted_ = chosen->weight == 0.0f;
        if (weight_wanted_)
            message_warning(d.window(), NO_VALVE_WEIGHT);
        dialog_select_focus(VALVE_WEIGHT);
    }

    bool store(Dialog&) override
    {
        Valve next;
        next.weight = read_value(VALVE_WEIGHT, parse_weight_buffer, "Weight", stored_.weight);
        if (weight_wanted_ && next.weight == 0.0f)
            dialog_throw(VALVE_WEIGHT, NO_VALVE_WEIGHT);
        next.length = read_value(VALVE_LENGTH, parse_dimension_buffer, "Length", stored_.length);
        next.thickness_multiplier = read_multiplier(VALVE_THICKNESS_X, "3.0", "Thickness multiplier",
                                                    stored_.thickness_multiplier);
        next.insulation_multiplier = read_multiplier(VALVE_INSULATION_X, "1.75", "Insulation weight multiplier",
                                                     stored_.insulation_multiplier);
        next.additional_weight =
            read_value(VALVE_ADDED_WEIGHT, parse_weight_buffer, "Additional weight", stored_.additional_weight);
        next.valve_type = std::max(0, dialog_list_selection(VALVE_TYPE));
        static const char* const names[3] = {"DX", "DY", "DZ"};
        float* offsets[3] = {&next.offset_dx, &next.offset_dy, &next.offset_dz};
        const float stored[3] = {stored_.offset_dx, stored_.offset_dy, stored_.offset_dz};
        for (int i = 0; i < 3; ++i)
            *offsets[i] = read_value(VALVE_OFFSET_X + i, parse_signed_dimension_buffer, names[i], stored[i]);
        if (next.additional_weight == 0.0f)
            next.offset_dx = next.offset_dy = next.offset_dz = 0.0f;

        Valve* valve = valve_of_row(row_);
        if (valve && valve->same_values(next)) {
            discard_undo_snapshot();
            return true;
        }
        const bool length_changed = !valve || next.length != valve->length;
        if (!valve)
            valve = dynamic_cast<Valve*>(LayoutRow::change_etype(row_, ET_VALVE));
        KV_ASSERT(valve != nullptr);
        valve->copy_from(next);
        if (length_changed)
            apply_length(row_, next.length);
        finish_store(false);
        return true;
    }

private:
    // A multiplier: an empty field takes its default (shown in it); below 0.01 refused.
    float read_multiplier(int item, const char* fallback, const char* name, float stored) const
    {
        dialog_get_text(item);
        if (item_text().empty()) {
            dialog_set_text(item, fallback);
            dialog_get_text(item);
        } else if (untouched(item)) {
            return stored;
        }
        return cell_value(parse_real_buffer, name, 0.01f);
    }

    // The text that asks for the weight of a valve the library gives none for.
    static constexpr const char* NO_VALVE_WEIGHT = "No weight is known for this valve; type its weight";

    Valve stored_;
    bool weight_wanted_ = false;   // a valve without a weight was picked
};

class ValvesTable final : public KindTable<Valve, ET_VALVE> {
public:
    ValvesTable() : KindTable(VALVE_ROWS, "Valves", "Valve", 10, 2, {0, 0, 12, 12, 10, 10, 12, 12, 12, 12})
    {
        for (int c = 3; c <= 10; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        groups = {{8, 10, "Offsets of Add.Wgt", 0}};
        open_dialog = edit_valve;
    }

    std::string header_text(int c, int line) override
    {
        static const char* const first[] = {"", "From", "To", "Weight", "Length", "Thick", "Insul", "Add.Wgt"};
        if (c < 1 || c > 10)
            return {};
        if (line == 0)
            return c <= 7 ? first[c] : "";
        if (line != 1)
            return {};
        switch (c) {
        case 3:
        case 7: return unit_label(WEIGHT);
        case 4: return unit_label(DIMENSION);
        case 5: return "X";
        case 6: return "Wgt X";
        case 8: return "DX " + unit_label(DIMENSION);
        case 9: return "DY " + unit_label(DIMENSION);
        case 10: return "DZ " + unit_label(DIMENSION);
        default: return {};
        }
    }

    void store_cell(int row, int c, const std::string& text) override
    {
        Valve* v = at(row);
        if (!v)
            return;
        take_text(text);
        const int layout = layout_row(row);
        switch (c) {
        case 3: store_value(row, v->weight, cell_value(parse_weight_buffer, "Weight")); break;
        case 7: store_value(row, v->additional_weight, cell_value(parse_weight_buffer, "Additional weight"), true); break;
        case 4: {
            const float length = cell_value(parse_dimension_buffer, "Length");
            const bool changed = length != v->length;
            store_value(row, v->length, length);
            if (changed && length != 0.0f) {
                apply_length(layout, length);
                model_changed();
                load();
            }
            break;
        }
        case 5:
        case 6: {
            if (item_text().empty())
                item_text() = c == 5 ? "3.0" : "1.75";
            const float value = cell_value(parse_real_buffer, c == 5 ? "Thickness multiplier" : "Insulation weight multiplier", 0.01f);
            store_value(row, c == 5 ? v->thickness_multiplier : v->insulation_multiplier, value);
            break;
        }
        case 8:
        case 9:
        case 10: {
            static const char* const names[3] = {"DX", "DY", "DZ"};
            float* offsets[3] = {&v->offset_dx, &v->offset_dy, &v->offset_dz};
            store_value(row, *offsets[c - 8], cell_value(parse_signed_dimension_buffer, names[c - 8]), true);
            break;
        }
        default: break;
        }
    }

protected:
    // The pasted length is put into the row's offsets as the dialog does.
    void after_paste(int layout) override
    {
        if (const Valve* v = valve_of_row(layout); v && v->length != 0.0f) {
            apply_length(layout, v->length);
            model_changed();
        }
    }

    void print_text_form() override
    {
        ReportHeading h;
        h.type_code = ET_VALVE;
        h.title = "Valves";
        h.heading_lines = 2;
        h.entries = {{"Weight", 0, 19}, {"Length", 0, 27}, {"Thick Insul Add Wght", 0, 35}, {"DX", 0, 58},
                     {"DY", 0, 66},     {"DZ", 0, 74},     {"From", 1, 6},                  {"To", 1, 14},
                     {"X", 1, 37},      {"Wgt X", 1, 41}};
        h.units = {{WEIGHT, 1, 19, 24}, {DIMENSION, 1, 26, 33}, {WEIGHT, 1, 47, 52},
                   {DIMENSION, 1, 55, 62}, {DIMENSION, 1, 63, 70}, {DIMENSION, 1, 71, 78}};
        print_text_lines(h, [this](int row, int layout) {
            const Valve* v = at(row);
            text_nodes(layout, 6, 14);
            report_print_at(format_weight(v->weight), 19);
            if (v->length != 0.0f)
                report_print_at(format_dimension(v->length), 27);
            report_print_at(thickness_multiplier_text(v->thickness_multiplier, 7), 35);
            report_print_at(format_real(v->insulation_multiplier, 7, 2), 41);
            if (v->additional_weight != 0.0f) {
                report_print_at(format_weight(v->additional_weight), 48);
                report_print_at(format_dimension(v->offset_dx), 56);
                report_print_at(format_dimension(v->offset_dy), 64);
                report_print_at(format_dimension(v->offset_dz), 72);
            }
        });
    }
    void print_csv_form() override
    {
        csv_add_text("Valves");
        report_rule();
        for (const char* cell : {"", "", "Weight", "Length", "Thick X", "Insul Wgt X", "Add Wght", "DX", "DY", "DZ"})
            csv_add_text(cell);
        report_next_line();
        report_rule();
        for (int row = 1; row <= record_count(); ++row) {
            const Valve* v = at(row);
            if (!v)
                continue;
            csv_nodes(layout_row(row));
            for (int c = 3; c <= 10; ++c)
                csv_add_cell(v->cell_text(c));
            report_next_line();
        }
        report_rule();
    }
};

}  // namespace

bool edit_valve(int row, WindowId owner)
{
    return edit_element_row<ValveDialog>(VALVE_DIALOG, row, owner);
}

ElementRowsTable& valves_table()
{
    return session_part<ValvesTable>();
}
