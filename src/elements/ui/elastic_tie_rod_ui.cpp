// The elastic-element and tie-rod dialogs (ELASTIC_DIALOG, TIE_ROD_DIALOG),
// the "Elastic elements" and "Tie rods" tables and their printed and CSV
// forms.
#include "elements/elastic_element.h"
#include "elements/element_dialog_ids.h"
#include "elements/tie_rod.h"
#include "elements/ui/dialogs_special_elements.h"
#include "elements/ui/element_ui.h"
#include "elements/ui/kind_table.h"
#include "elements/ui/value_dialog.h"
#include "framework/errors.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/help.h"

#include <cmath>

namespace {

// ---- Elastic element --------------------------------------------------------------------------------

const char* const RATE_NAMES[6] = {"kx", "ky", "kz", "kxx", "kyy", "kzz"};
float ElasticElement::*const RATES[6] = {&ElasticElement::kx,  &ElasticElement::ky,  &ElasticElement::kz,
                                         &ElasticElement::kxx, &ElasticElement::kyy, &ElasticElement::kzz};

// A rate: not below 0 (an empty field is 0, a rate not given).
float read_rate(int index)
{
    return cell_value(index < 3 ? parse_stiffness_buffer : parse_rot_stiffness_buffer, RATE_NAMES[index], 0.0f);
}

class ElasticDialog final : public ValueDialog {
public:
    using ValueDialog::ValueDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_from_to(row_, "Elastic element"));
        dialog_set_unit_label(ELASTIC_STIFFNESS_UNIT, STIFFNESS);
        dialog_set_unit_label(ELASTIC_ROT_STIFFNESS_UNIT, ROT_STIFFNESS);
        LayoutRow::fill_element_dialog(row_, d, ET_ELASTIC);
        if (const auto* e = row_element_of<ElasticElement>(row_, ET_ELASTIC))
            stored_.copy_from(*e);
        for (int id = ELASTIC_KX; id <= ELASTIC_Y_AXIS + 2; ++id)
            remember_texts(d, {id});
        if (input_locked()) {
            for (int id = ELASTIC_KX; id <= ELASTIC_Y_AXIS + 2; ++id)
                dialog_set_readonly(id);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(ELASTIC_KX);
        }
    }

    bool store(Dialog&) override
    {
        ElasticElement next;
        for (int i = 0; i < 6; ++i) {
            dialog_get_text(ELASTIC_KX + i);
            next.*RATES[i] = untouched(ELASTIC_KX + i) ? stored_.*RATES[i] : read_rate(i);
        }
        static const char* const comps[3] = {"X comp", "Y comp", "Z comp"};
        for (int axis = 0; axis < 2; ++axis)
            for (int i = 0; i < 3; ++i) {
                const int item = (axis == 0 ? ELASTIC_X_AXIS : ELASTIC_Y_AXIS) + i;
                float& out = axis == 0 ? next.x_axis[i] : next.y_axis[i];
                out = read_value(item, parse_real_buffer, comps[i], axis == 0 ? stored_.x_axis[i] : stored_.y_axis[i]);
            }
        auto zero = [](const float* v) { return v[0] == 0.0f && v[1] == 0.0f && v[2] == 0.0f; };
        if (zero(next.x_axis))
            dialog_throw(ELASTIC_X_AXIS, "0.0, 0.0, 0.0 is not a valid direction");
        if (zero(next.y_axis))
            dialog_throw(ELASTIC_Y_AXIS, "0.0, 0.0, 0.0 is not a valid direction");
        double x[3] = {next.x_axis[0], next.x_axis[1], next.x_axis[2]};
        double y[3] = {next.y_axis[0], next.y_axis[1], next.y_axis[2]};
        normalize3(x[0], x[1], x[2]);
        normalize3(y[0], y[1], y[2]);
        if (std::fabs(x[0] * y[0] + x[1] * y[1] + x[2] * y[2]) > 0.01)
            dialog_throw(ELASTIC_Y_AXIS, "x and y axes are not perpendicular");
        auto* elastic = row_element_of<ElasticElement>(row_, ET_ELASTIC);
        if (elastic && elastic->same_values(next)) {
            discard_undo_snapshot();
            return true;
        }
        if (!elastic)
            elastic = dynamic_cast<ElasticElement*>(LayoutRow::change_etype(row_, ET_ELASTIC));
        KV_ASSERT(elastic != nullptr);
        elastic->copy_from(next);
        finish_store(false);
        return true;
    }

private:
    ElasticElement stored_;
};

class ElasticTable final : public KindTable<ElasticElement, ET_ELASTIC> {
public:
    ElasticTable()
        : KindTable(ELASTIC_ROWS, "Elastic elements", "Elastic element", 8, 2, {0, 0, 12, 12, 12, 12, 12, 12})
    {
        for (int c = 3; c <= 8; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        open_dialog = edit_elastic;
        local_axes_item = true;
    }

    std::string header_text(int c, int line) override
    {
        if (c < 1 || c > 8)
            return {};
        if (line == 0)
            return c == 1 ? "From" : c == 2 ? "To" : RATE_NAMES[c - 3];
        return line == 1 && c >= 3 ? unit_label(c <= 5 ? STIFFNESS : ROT_STIFFNESS) : "";
    }

    // Typed rates are stored with the dialog's parsers and names.
    void store_cell(int row, int c, const std::string& text) override
    {
        ElasticElement* e = at(row);
        if (!e || c < 3 || c > 8)
            return;
        take_text(text);
        store_value(row, e->*RATES[c - 3], read_rate(c - 3));
    }

protected:
    void print_text_form() override
    {
        ReportHeading h;
        h.type_code = ET_ELASTIC;
        h.title = "Elastic elements";
        h.heading_lines = 2;
        h.entries = {{"From", 1, 4}, {"To", 1, 11}, {"kx", 1, 18},  {"ky", 1, 29},
                     {"kz", 1, 40},  {"kxx", 1, 50}, {"kyy", 1, 61}, {"kzz", 1, 72}};
        h.units = {{STIFFNESS, 0, 18, 41}, {ROT_STIFFNESS, 0, 50, 74}};
        print_text_lines(h, [this](int row, int layout) {
            const ElasticElement* e = at(row);
            text_nodes(layout, 4, 11);
            const int columns[6] = {15, 26, 37, 48, 59, 70};
            for (int i = 0; i < 6; ++i)
                report_print_at(e->cell_text(3 + i), columns[i]);
            report_next_line();
            report_print_at("x Xcomp    x Ycomp    x Zcomp    y Xcomp    y Ycomp    y Zcomp", 14);
            report_next_line();
            for (int i = 0; i < 3; ++i) {
                report_print_at(format_real(e->x_axis[i], 10, 3), columns[i]);
                report_print_at(format_real(e->y_axis[i], 10, 3), columns[3 + i]);
            }
        });
    }
    void print_csv_form() override
    {
        csv_add_text("Elastic elements");
        report_rule();
        for (const char* cell : {"From", "To", "kx", "ky", "kz", "kxx", "kyy", "kzz", "xXcomp", "xYcomp", "xZcomp",
                                 "yXcomp", "yYcomp", "yZcomp"})
            csv_add_text(cell);
        report_next_line();
        csv_add_text("");
        csv_add_text("");
        for (int q : {STIFFNESS, STIFFNESS, STIFFNESS, ROT_STIFFNESS, ROT_STIFFNESS, ROT_STIFFNESS})
            csv_add_unit_cell(q);
        report_next_line();
        report_rule();
        for (int row = 1; row <= record_count(); ++row) {
            const ElasticElement* e = at(row);
            if (!e)
                continue;
            csv_nodes(layout_row(row));
            for (int c = 3; c <= 8; ++c)
                csv_add_cell(e->cell_text(c));
            for (const float* axis : {e->x_axis, e->y_axis})
                for (int i = 0; i < 3; ++i)
                    csv_add_cell(format_real(axis[i], 10, 4));
            report_next_line();
        }
        report_rule();
    }
};

// ---- Tie rod -----------------------------------------------------------------------------------------

class TieRodDialog final : public ValueDialog {
public:
    using ValueDialog::ValueDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_from_to(row_, "Tie rod"));
        dialog_set_unit_label(TIE_STIFFNESS_UNIT, STIFFNESS);
        dialog_set_unit_label(TIE_GAP_UNIT, DIMENSION);
        LayoutRow::fill_element_dialog(row_, d, ET_TIE_ROD);
        if (const auto* t = row_element_of<TieRod>(row_, ET_TIE_ROD))
            stored_.copy_from(*t);
        remember_texts(d, {TIE_TENSION_STIFFNESS, TIE_COMPRESSION_STIFFNESS, TIE_TENSION_GAP, TIE_COMPRESSION_GAP});
        if (input_locked()) {
            for (int id = TIE_TENSION_STIFFNESS; id <= TIE_COMPRESSION_GAP; ++id)
                dialog_set_readonly(id);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(TIE_TENSION_STIFFNESS);
        }
    }

    void command(Dialog& d, int id, int code) override
    {
        if (id == TIE_HELP && code == NOTIFY_CLICKED)
            help_page(d.templ().name, d.window(), TIE_ROD_HELP_CONTEXT);
    }

    bool store(Dialog&) override
    {
        TieRod next;
        next.tension_stiffness =
            read_value(TIE_TENSION_STIFFNESS, parse_stiffness_buffer, "Tension stiffness", stored_.tension_stiffness);
        next.compression_stiffness =
            read_value(TIE_COMPRESSION_STIFFNESS, parse_stiffness_buffer, "Compression stiffness", stored_.compression_stiffness);
        if (double(next.tension_stiffness) + next.compression_stiffness < 1.0e-6)
            dialog_throw(TIE_TENSION_STIFFNESS, "At least one stiffness is required");
        next.tension_gap = read_value(TIE_TENSION_GAP, parse_dimension_buffer, "Tension gap", stored_.tension_gap);
        next.compression_gap = read_value(TIE_COMPRESSION_GAP, parse_dimension_buffer, "Compression gap", stored_.compression_gap);
        auto* rod = row_element_of<TieRod>(row_, ET_TIE_ROD);
        if (rod && rod->same_values(next)) {
            discard_undo_snapshot();
            return true;
        }
        if (!rod)
            rod = dynamic_cast<TieRod*>(LayoutRow::change_etype(row_, ET_TIE_ROD));
        KV_ASSERT(rod != nullptr);
        rod->copy_from(next);
        finish_store(false);
        return true;
    }

private:
    TieRod stored_;
};

class TieRodsTable final : public KindTable<TieRod, ET_TIE_ROD> {
public:
    TieRodsTable() : KindTable(TIE_ROD_ROWS, "Tie rods", "Tie rod", 6, 2, {0, 0, 12, 12, 12, 12})
    {
        for (int c = 3; c <= 6; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        set_groups();
        open_dialog = edit_tie_rod;
    }

    // The group headings name the units: made again each time the table is
    // shown, so that they follow a change of units.
    void on_enter() override
    {
        set_groups();
        KindTable::on_enter();
    }
    void set_groups()
    {
        groups = {{3, 4, label_with_unit("Stiffness", STIFFNESS), 0}, {5, 6, label_with_unit("Gap", DIMENSION), 0}};
    }
    void on_help(WindowId owner) override { help_page(title, owner, TIE_ROD_HELP_CONTEXT); }

    std::string header_text(int c, int line) override
    {
        if (line == 0)
            return c == 1 ? "From" : c == 2 ? "To" : "";
        if (line == 1 && c >= 3 && c <= 6)
            return c % 2 == 1 ? "Tension" : "Compression";
        return {};
    }

    void store_cell(int row, int c, const std::string& text) override
    {
        TieRod* t = at(row);
        if (!t)
            return;
        take_text(text);
        if (c == 3 || c == 4) {
            const float value = cell_value(parse_stiffness_buffer, c == 3 ? "Tension stiffness" : "Compression stiffness");
            const float other = c == 3 ? t->compression_stiffness : t->tension_stiffness;
            if (double(value) + other < 1.0e-6)
                throw CI{"At least one stiffness is required", c};
            store_value(row, c == 3 ? t->tension_stiffness : t->compression_stiffness, value);
        } else if (c == 5 || c == 6) {
            store_value(row, c == 5 ? t->tension_gap : t->compression_gap,
                        cell_value(parse_dimension_buffer, c == 5 ? "Tension gap" : "Compression gap"));
        }
    }

protected:
    void print_text_form() override
    {
        ReportHeading h;
        h.type_code = ET_TIE_ROD;
        h.title = "Tie rods";
        h.heading_lines = 2;
        h.entries = {{label_with_unit("Stiffness", STIFFNESS), 0, 25}, {label_with_unit("Gap", DIMENSION), 0, 54},
                     {"From", 1, 6},        {"To", 1, 14},          {"Tension", 1, 23}, {"Compression", 1, 33},
                     {"Tension", 1, 50},    {"Compression", 1, 60}};
        print_text_lines(h, [this](int row, int layout) {
            const TieRod* t = at(row);
            text_nodes(layout, 6, 14);
            report_print_at(format_stiffness(t->tension_stiffness), 23);
            report_print_at(format_stiffness(t->compression_stiffness), 37);
            report_print_at(format_dimension(t->tension_gap), 52);
            report_print_at(format_dimension(t->compression_gap), 64);
        });
    }
    void print_csv_form() override
    {
        csv_add_text("Tie rods");
        report_rule();
        csv_add_text("");
        csv_add_text("");
        csv_add_text("Stiffness " + unit_label(STIFFNESS));
        csv_add_text("");
        csv_add_text("Gap " + unit_label(DIMENSION));
        report_next_line();
        for (const char* cell : {"From", "To", "Tension", "Compression", "Tension", "Compression"})
            csv_add_text(cell);
        report_next_line();
        report_rule();
        for (int row = 1; row <= record_count(); ++row) {
            const TieRod* t = at(row);
            if (!t)
                continue;
            csv_nodes(layout_row(row));
            for (int c = 3; c <= 6; ++c)
                csv_add_cell(t->cell_text(c));
            report_next_line();
        }
        report_rule();
    }
};

}  // namespace

bool edit_elastic(int row, WindowId owner)
{
    return edit_element_row<ElasticDialog>(ELASTIC_DIALOG, row, owner);
}

bool edit_tie_rod(int row, WindowId owner)
{
    return edit_element_row<TieRodDialog>(TIE_ROD_DIALOG, row, owner);
}

ElementRowsTable& elastic_elements_table()
{
    return session_part<ElasticTable>();
}

ElementRowsTable& tie_rods_table()
{
    return session_part<TieRodsTable>();
}
