// The reducer dialog (REDUCER_DIALOG), the "Reducers" table and its
// printed and CSV forms. What they show depends on the piping code
// (reducer_dialog_mode): no cone angle, the cone angle, or the cone angle
// with the Nordic knuckle data.
#include "elements/element_dialog_ids.h"
#include "elements/reducer.h"
#include "elements/ui/dialogs_elements.h"
#include "elements/ui/element_ui.h"
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "materials/pipe_section.h"
#include "model/model.h"
#include "model/value_bounds.h"
#include "model/view_drawing.h"

#include <cmath>
#include <utility>

namespace {

Reducer* reducer_of_row(int row)
{
    return row_element_of<Reducer>(row, ET_REDUCER);
}

// The section of the pipe before a row: searching back from the row before
// it down to row 2, the first pipe-like, From, valve or rigid row whose
// section is known.
const PipeSection* section_before(int row)
{
    const Model& m = model();
    for (int i = std::min(row - 1, m.numrows()); i >= 2; --i) {
        switch (m.rows[i].etype) {
        case ET_FROM:
        case ET_PIPE:
        case ET_BEND:
        case ET_MITER:
        case ET_JACKETED_PIPE:
        case ET_JACKETED_BEND:
        case ET_VALVE:
        case ET_REDUCER:
        case ET_RIGID:
            if (const int s = section_index(m.rows[i].section))
                return &pipe_sections()[s];
            break;
        default: break;
        }
    }
    return nullptr;
}

class ReducerDialog final : public ElementDialog {
public:
    using ElementDialog::ElementDialog;

    void init(Dialog& d) override
    {
        mode_ = reducer_dialog_mode();
        d.set_caption(row_caption_from_to(row_, "Reducer"));
        dialog_set_unit_label(REDUCER_UNIT1, DIMENSION);
        dialog_set_unit_label(REDUCER_UNIT2, DIMENSION);
        if (mode_ >= 1) {
            for (int id : {int{REDUCER_CONE_LABEL}, int{REDUCER_CONE}, int{REDUCER_CONE_UNIT}})
                dialog_show(id);
            dialog_set_unit_label(REDUCER_CONE_UNIT, ANGLE);
        } else {
            dialog_hide(REDUCER_CONE_UNIT);
        }
        if (mode_ == 2) {
            for (int id : {int{REDUCER_KNUCKLES}, int{REDUCER_DELTA_LABEL}, int{REDUCER_DELTA}, int{REDUCER_DELTA_UNIT}})
                dialog_show(id);
            dialog_set_unit_label(REDUCER_DELTA_UNIT, DIMENSION);
        } else {
            dialog_hide(REDUCER_DELTA_UNIT);
        }
        dialog_select_focus(REDUCER_OD1);
        if (const PipeSection* s = section_before(row_)) {
            dialog_set_text(REDUCER_OD1, format_dimension(s->outside_diameter));
            dialog_set_text(REDUCER_THK1, format_dimension(s->thickness));
            dialog_select_focus(REDUCER_OD2);
        }
        LayoutRow::fill_element_dialog(row_, d, ET_REDUCER);
        // A field left as the reducer showed it keeps the stored value; the
        // sizes proposed from the pipe before are read as typed.
        if (const Reducer* r = reducer_of_row(row_)) {
            stored_values_.copy_from(*r);
            const std::pair<int, float> shown[] = {{REDUCER_OD1, r->od1},         {REDUCER_THK1, r->thickness1},
                                                   {REDUCER_OD2, r->od2},         {REDUCER_THK2, r->thickness2},
                                                   {REDUCER_CONE, r->cone_angle}, {REDUCER_DELTA, r->delta}};
            for (const auto& [item, value] : shown)
                if (value != 0.0f)
                    remember_texts(d, {item});
        }
        if (input_locked()) {
            for (int id = REDUCER_OD1; id <= REDUCER_DELTA; ++id)
                dialog_set_readonly(id);
            for (int id : {int{REDUCER_SECTION1}, int{REDUCER_SECTION2}, int{REDUCER_KNUCKLES}})
                dialog_disable(id);
            dialog_set_focus(IDOK);
        }
    }

    void command(Dialog& d, int id, int code) override
    {
        if (input_locked() || code != NOTIFY_CLICKED || (id != REDUCER_SECTION1 && id != REDUCER_SECTION2))
            return;
        const int chosen = choose_pipe_section(d.window());
        if (chosen == 0)
            return;
        const PipeSection& s = pipe_sections()[chosen];
        const int od = id == REDUCER_SECTION1 ? REDUCER_OD1 : REDUCER_OD2;
        dialog_set_text(od, format_dimension(s.outside_diameter));
        dialog_set_text(od + 1, format_dimension(s.thickness));
        dialog_select_focus(od);
        dialog_point_to_item(IDOK);
    }

    bool store(Dialog&) override
    {
        const Reducer* old = reducer_of_row(row_);
        const Reducer& before = stored_values_;
        Reducer next;
        read_end(1, REDUCER_OD1, before.od1, before.thickness1, next.od1, next.thickness1);
        read_end(2, REDUCER_OD2, before.od2, before.thickness2, next.od2, next.thickness2);
        if (mode_ >= 1) {
            dialog_get_text(REDUCER_CONE);
            if (untouched(REDUCER_CONE))
                next.cone_angle = before.cone_angle;
            else if (parse_angle_buffer(next.cone_angle) != 0 || next.cone_angle < 0.0f)
                throw_invalid("Cone angle");
        }
        if (mode_ == 2) {
            next.knuckles = dialog_is_checked(REDUCER_KNUCKLES) ? 1 : 0;
            dialog_get_text(REDUCER_DELTA);
            if (untouched(REDUCER_DELTA))
                next.delta = before.delta;
            else if (parse_dimension_buffer(next.delta) != 0)
                throw_invalid("Delta");
        }
        if (old && next.same_values(*old)) {
            discard_undo_snapshot();
            return true;
        }
        Reducer* reducer = old ? reducer_of_row(row_) : nullptr;
        if (reducer && (next.od1 != reducer->od1 || next.od2 != reducer->od2)) {
            if (const auto& erase = model_hooks().erase_highlight)
                erase();
            LayoutRow::erase_element(row_);
        }
        if (!reducer)
            reducer = dynamic_cast<Reducer*>(LayoutRow::change_etype(row_, ET_REDUCER));
        KV_ASSERT(reducer != nullptr);
        reducer->copy_from(next);
        finish_store(false);
        return true;
    }

private:
    // OD1, Thk1, OD2, Thk2: required, a dimension not below its bound; then
    // the end as reducer_end_fault takes it, shown at the field at fault.
    float read_size(int item, const char* name, const ValueBound& bound, float stored) const
    {
        dialog_get_text(item);
        if (item_text().empty())
            throw_required(name);
        if (untouched(item))
            return stored;
        float value = 0.0f;
        const bool read = parse_dimension_buffer(value) == 0;
        if (!read || below_bound(bound, value))
            throw_below_bound(name, bound, read);
        return value;
    }

    void read_end(int end, int od_item, float stored_od, float stored_thickness, float& od, float& thickness) const
    {
        const std::string number = std::to_string(end);
        od = read_size(od_item, ("OD" + number).c_str(), OUTSIDE_DIAMETER_BOUND, stored_od);
        if (const std::string fault = beyond(OUTSIDE_DIAMETER_BOUND, od, "OD" + number); !fault.empty())
            dialog_throw(od_item, fault);
        thickness = read_size(od_item + 1, ("Thk" + number).c_str(), WALL_THICKNESS_BOUND, stored_thickness);
        if (const std::string fault = reducer_end_fault_text(end, od, thickness); !fault.empty())
            dialog_throw(od_item + 1, fault);
    }

    int mode_ = 0;
    Reducer stored_values_;
};

enum ReducerColumn : int {
    RC_FROM = 1,
    RC_TO,
    RC_OD1,
    RC_THK1,
    RC_OD2,
    RC_THK2,
    RC_CONE,
    RC_KNUCKLES,
    RC_DELTA,
    REDUCER_COLUMNS = RC_DELTA,
};

class ReducersTable final : public ElementRowsTable {
public:
    ReducersTable() : ElementRowsTable(REDUCER_ROWS, "Reducers", "Reducer", REDUCER_COLUMNS, 2, {0, 0, 12, 12, 12, 12})
    {
        for (int c = RC_OD1; c <= RC_DELTA; ++c)
            if (c != RC_KNUCKLES)
                alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        open_dialog = edit_reducer;
    }

    Reducer* reducer_at(int row) const { return reducer_of_row(layout_row(row)); }

    std::string header_text(int c, int line) override
    {
        static const char* const first[] = {"", "From", "To", "OD1", "Thk1", "OD2", "Thk2", "Cone angle", "Knuc", "Delta"};
        if (c < 1 || c > REDUCER_COLUMNS)
            return {};
        if (line == 0)
            return first[c];
        if (line != 1)
            return {};
        if (c == RC_KNUCKLES)
            return "kles";
        if (c == RC_CONE)
            return unit_label(ANGLE);
        if ((c >= RC_OD1 && c <= RC_THK2) || c == RC_DELTA)
            return unit_label(DIMENSION);
        return {};
    }

    // "Knuc" over "kles" is one word.
    std::string heading_words(int c) override
    {
        return c == RC_KNUCKLES ? "Knuckles" : ElementRowsTable::heading_words(c);
    }

    std::string cell_text(int row, int c, int line) override
    {
        const int r = layout_row(row);
        if (!reducer_at(row) || line != 0)
            return {};
        return LayoutRow::element_cell_text(r, c);
    }


    bool cell_editable(int row, int c) override
    {
        return ElementRowsTable::cell_editable(row, c) && reducer_at(row) != nullptr;
    }

    void store_cell(int row, int c, const std::string& text) override
    {
        Reducer* reducer = reducer_at(row);
        if (!reducer)
            return;
        item_text() = upper_case(squeeze_blanks(text));
        const bool diameter = c == RC_OD1 || c == RC_OD2;
        const bool first = c == RC_OD1 || c == RC_THK1;
        float& od = first ? reducer->od1 : reducer->od2;
        float& thickness = first ? reducer->thickness1 : reducer->thickness2;
        const char* od_name = first ? "OD1" : "OD2";
        const char* thk_name = first ? "Thk1" : "Thk2";
        // A value below its bound is invalid; then the end as the model
        // check takes it, the other value of the end as it is stored.
        const ValueBound& bound = diameter ? OUTSIDE_DIAMETER_BOUND : WALL_THICKNESS_BOUND;
        if (item_text().empty())
            throw_cell_required(diameter ? od_name : thk_name, c);
        float value = 0.0f;
        const bool read = parse_dimension_buffer(value) == 0;
        if (!read || below_bound(bound, value))
            throw_below_bound(diameter ? od_name : "Thickness", bound, read);
        const float end_od = diameter ? value : od;
        const float end_thickness = diameter ? thickness : value;
        switch (reducer_end_fault(end_od, end_thickness)) {
        case ReducerEndFault::None: break;
        case ReducerEndFault::WallAboveRadius:
            if (diameter)
                throw CI{first ? "OD1 < 2.0*Thk1" : "OD2 < 2.0*Thk2", c};
            throw CI{first ? "Thk1 > 0.5*OD1" : "Thk2 > 0.5*OD2", c};
        case ReducerEndFault::DiameterBeyond:
        case ReducerEndFault::WallBeyond:
            // The other value of the end may be the one at fault: a typed
            // value is refused only for its own bound.
            if (const std::string fault = beyond(bound, value, diameter ? od_name : thk_name); !fault.empty())
                throw CI{fault, c};
            break;
        }
        float& field = diameter ? od : thickness;
        if (value == field) {
            discard_undo_snapshot();
            return;
        }
        field = value;
        const int r = layout_row(row);
        model_modified() = true;
        if (diameter) {
            rebuild_row_symbol(r);
            if (const auto& redraw = model_hooks().redraw_graphics)
                redraw();
        }
        table_invalidate_rows(*this);
    }


private:
    void hide_columns() override
    {
        const int mode = reducer_dialog_mode();
        if (mode <= 1)
            widths[RC_KNUCKLES] = widths[RC_DELTA] = 0;
        if (mode == 0)
            widths[RC_CONE] = 0;
    }

protected:
    void print_text_form() override;
    void print_csv_form() override;
};

ReportHeading text_heading()
{
    ReportHeading h;
    h.type_code = ET_REDUCER;
    h.title = "Reducers";
    h.heading_lines = 2;
    h.entries = {{"OD1", 0, 22},  {"Thk1", 0, 31},       {"OD2", 0, 41},        {"Thk2", 0, 50},
                 {"Cone Angle", 0, 56}, {"Knuc Delta", 0, 67}, {"From", 1, 6}, {"To", 1, 14}, {"kles", 1, 67}};
    h.units = {{DIMENSION, 1, 19, 27}, {DIMENSION, 1, 29, 36}, {DIMENSION, 1, 38, 46},
               {DIMENSION, 1, 48, 55}, {ANGLE, 1, 57, 64},     {DIMENSION, 1, 71, 78}};
    return h;
}

void ReducersTable::print_text_form()
{
    const bool nordic = reducer_dialog_mode() == 2;
    print_text_lines(text_heading(), [&](int row, int layout) {
        const Reducer* r = reducer_at(row);
        report_print_at(LayoutRow::element_cell_text(layout, 1), 6);
        report_print_at(LayoutRow::element_cell_text(layout, 2), 14);
        report_print_at(format_dimension(r->od1), 20);
        report_print_at(format_dimension(r->thickness1), 30);
        report_print_at(format_dimension(r->od2), 39);
        report_print_at(format_dimension(r->thickness2), 49);
        if (r->cone_angle != 0.0f)
            report_print_at(format_angle_or_none(r->cone_angle), 58);
        if (nordic && r->knuckles)
            report_put_char('Y', 68);
        if (nordic && r->delta != 0.0f)
            report_print_at(format_dimension(r->delta), 72);
    });
}

void ReducersTable::print_csv_form()
{
    const bool nordic = reducer_dialog_mode() == 2;
    csv_add_text("Reducers");
    report_rule();
    for (const char* cell : {"", "", "OD1", "Thk1", "OD2", "Thk2", "Cone Angle", "Knuckles", "Delta"})
        csv_add_text(cell);
    report_next_line();
    csv_add_text("From");
    csv_add_text("To");
    for (int q : {DIMENSION, DIMENSION, DIMENSION, DIMENSION, ANGLE})
        csv_add_unit_cell(q);
    csv_add_text("");
    csv_add_unit_cell(DIMENSION);
    report_next_line();
    report_rule();
    for (int row = 1; row <= record_count(); ++row) {
        const Reducer* r = reducer_at(row);
        if (!r)
            continue;
        const int layout = layout_row(row);
        csv_add_text(LayoutRow::element_cell_text(layout, 1));
        csv_add_text(LayoutRow::element_cell_text(layout, 2));
        for (float v : {r->od1, r->thickness1, r->od2, r->thickness2})
            csv_add_cell(format_dimension(v));
        csv_add_text(r->cone_angle != 0.0f ? format_angle_or_none(r->cone_angle) : std::string());
        csv_add_text(nordic ? (r->knuckles ? "Y" : "N") : "");
        csv_add_text(nordic && r->delta != 0.0f ? format_dimension(r->delta) : std::string());
        report_next_line();
    }
    report_rule();
}

}  // namespace

bool edit_reducer(int row, WindowId owner)
{
    return edit_element_row<ReducerDialog>(REDUCER_DIALOG, row, owner);
}

ElementRowsTable& reducers_table()
{
    return session_part<ReducersTable>();
}
