// The beam dialog (BEAM_DIALOG1), the "Beams" table and its printed and CSV
// forms.
#include "elements/beam.h"
#include "elements/element_dialog_ids.h"
#include "elements/ui/dialogs_special_elements.h"
#include "elements/ui/element_ui.h"
#include "elements/ui/kind_table.h"
#include "elements/ui/value_dialog.h"
#include "framework/errors.h"
#include "framework/ui/dialog_helper.h"
#include "model/elements.h"

namespace {

Beam* beam_of_row(int row)
{
    return row_element_of<Beam>(row, ET_BEAM);
}

class BeamDialog final : public ValueDialog {
public:
    using ValueDialog::ValueDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_from_to(row_, "Beam"));
        dialog_set_unit_label(BEAM_BETA_UNIT, ANGLE);
        LayoutRow::fill_element_dialog(row_, d, ET_BEAM);
        if (const Beam* beam = beam_of_row(row_)) {
            Beam::set_local_axes(row_);
            const LocalAxes& a = local_axes();
            const Vec3* axes[3] = {&a.x, &a.y, &a.z};
            for (int i = 0; i < 3; ++i) {
                d.set_text(BEAM_AXIS_FIRST + 3 * i, format_real(axes[i]->x, 6, 3));
                d.set_text(BEAM_AXIS_FIRST + 3 * i + 1, format_real(axes[i]->y, 6, 3));
                d.set_text(BEAM_AXIS_FIRST + 3 * i + 2, format_real(axes[i]->z, 6, 3));
            }
            stored_beta_ = beam->beta;
        }
        remember_texts(d, {BEAM_BETA});
        if (input_locked()) {
            dialog_set_readonly(BEAM_BETA);
            for (int i = 0; i < BEAM_RELEASE_COUNT; ++i)
                dialog_disable(BEAM_RELEASE_FIRST + i);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(BEAM_BETA);
        }
    }

    bool store(Dialog&) override
    {
        Beam next;
        next.beta = read_value(BEAM_BETA, parse_angle_buffer, "Beta", stored_beta_);
        for (int i = 0; i < BEAM_RELEASE_COUNT; ++i)
            next.releases[static_cast<std::size_t>(i)] = dialog_is_checked(BEAM_RELEASE_FIRST + i) ? 1 : 0;
        Beam* beam = beam_of_row(row_);
        if (beam && beam->same_values(next)) {
            discard_undo_snapshot();
            return true;
        }
        if (!beam)
            beam = dynamic_cast<Beam*>(LayoutRow::change_etype(row_, ET_BEAM));
        KV_ASSERT(beam != nullptr);
        beam->copy_from(next);
        Beam::set_local_axes(row_);
        finish_store(false);
        return true;
    }

private:
    float stored_beta_ = 0.0f;
};

enum BeamColumn : int { BC_BETA = 3, BEAM_COLUMNS = 15 };

class BeamsTable final : public KindTable<Beam, ET_BEAM> {
public:
    BeamsTable()
        : KindTable(BEAM_ROWS, "Beams", "Beam", BEAM_COLUMNS, 3, {0, 0, 12})
    {
        alignments[BC_BETA] = TextAlign::Right;
        for (int c = 4; c <= BEAM_COLUMNS; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Center;
        groups = {{4, 15, "End Releases", 0}, {4, 5, "Axial", 1},     {6, 7, "Maj Bend", 1},
                  {8, 9, "Min Bend", 1},       {10, 11, "Torsion", 1}, {12, 13, "Maj Shear", 1},
                  {14, 15, "Min Shear", 1}};
        open_dialog = edit_beam;
        local_axes_item = true;
    }

    std::string header_text(int c, int line) override
    {
        if (c >= 4 && c <= BEAM_COLUMNS)
            return line == 2 ? (c % 2 == 0 ? "From" : "To") : "";
        if (line == 0)
            return c == 1 ? "From" : c == 2 ? "To" : c == BC_BETA ? "Beta" : "";
        if (line == 1 && c == BC_BETA)
            return unit_label(ANGLE);
        return {};
    }

    void store_cell(int row, int c, const std::string& text) override
    {
        Beam* beam = at(row);
        if (!beam || c != BC_BETA)
            return;
        take_text(text);
        const float beta = cell_value(parse_angle_buffer, "Beta");
        if (beta != beam->beta)
            if (const auto& erase = model_hooks().erase_highlight)
                erase();
        store_value(row, beam->beta, beta, true);
        Beam::set_local_axes(layout_row(row));
    }

protected:
    void print_text_form() override;
    void print_csv_form() override;
};

void BeamsTable::print_text_form()
{
    ReportHeading h;
    h.type_code = ET_BEAM;
    h.title = "Beams";
    h.heading_lines = 3;
    h.entries = {{"End Releases", 0, 46}, {"From", 1, 6}, {"To", 1, 14}, {"Beta", 1, 21},
                 {"Axial  Maj Bnd Min Bnd Torsion Maj Shr Min Shr", 1, 30},
                 {"From To From To From To From To From To From To", 2, 29}};
    h.units = {{ANGLE, 2, 20, 24}};
    print_text_lines(h, [this](int row, int layout) {
        const Beam* b = at(row);
        text_nodes(layout, 6, 14);
        report_print_at(format_angle_or_none(b->beta), 20);
        for (int flag = 0; flag < BEAM_RELEASE_COUNT; ++flag)
            if (b->releases[static_cast<std::size_t>(flag)])
                report_put_char('Y', 30 + 8 * (flag % BEAM_RELEASES_PER_END) + 4 * (flag / BEAM_RELEASES_PER_END));
    });
}

void BeamsTable::print_csv_form()
{
    csv_add_text("Beams");
    report_rule();
    for (const char* cell : {"", "", "", "", "", "", "", "", "End Releases"})
        csv_add_text(cell);
    report_next_line();
    for (const char* cell : {"From", "To", "Beta", "Axial", "", "Maj Bnd", "", "Min Bnd", "", "Torsion", "",
                             "Maj Shr", "", "Min Shr", ""})
        csv_add_text(cell);
    report_next_line();
    csv_add_text("");
    csv_add_text("");
    csv_add_unit_cell(ANGLE);
    for (int i = 0; i < 6; ++i) {
        csv_add_text("From");
        csv_add_text("To");
    }
    report_next_line();
    report_rule();
    for (int row = 1; row <= record_count(); ++row) {
        const Beam* b = at(row);
        if (!b)
            continue;
        csv_nodes(layout_row(row));
        csv_add_text(format_angle_or_none(b->beta));
        for (int flag = 0; flag < BEAM_RELEASES_PER_END; ++flag)
            for (int end = 0; end < 2; ++end)
                csv_add_text(b->releases[static_cast<std::size_t>(flag + end * BEAM_RELEASES_PER_END)] ? "Y" : "");
        report_next_line();
    }
    report_rule();
}

}  // namespace

bool edit_beam(int row, WindowId owner)
{
    return edit_element_row<BeamDialog>(BEAM_DIALOG1, row, owner);
}

ElementRowsTable& beams_table()
{
    return session_part<BeamsTable>();
}
