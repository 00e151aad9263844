// The cut-pipe dialog (CUTPIPE_DIALOG), the "Cut pipes" table and its
// printed and CSV forms.
#include "elements/element_dialog_ids.h"
#include "elements/pipe.h"
#include "elements/ui/dialogs_elements.h"
#include "elements/ui/element_ui.h"
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/report.h"
#include "framework/units.h"
#include "model/model.h"

#include <cmath>

namespace {

CutPipe* cut_pipe_of_row(int row)
{
    return row_element_of<CutPipe>(row, ET_CUT_PIPE);
}

class CutPipeDialog final : public ElementDialog {
public:
    using ElementDialog::ElementDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_from_to(row_, "Cut pipe"));
        dialog_set_unit_label(CUT_UNIT, DIMENSION);
        dialog_set_radio(CUT_SHORT, CUT_LONG, CUT_SHORT);
        LayoutRow::fill_element_dialog(row_, d, ET_CUT_PIPE);
        remember_texts(d, {CUT_LENGTH});
        if (input_locked()) {
            dialog_set_readonly(CUT_LENGTH);
            dialog_disable(CUT_SHORT);
            dialog_disable(CUT_LONG);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(CUT_LENGTH);
        }
    }

    bool store(Dialog&) override
    {
        const CutPipe* old = cut_pipe_of_row(row_);
        dialog_get_text(CUT_LENGTH);
        if (item_text().empty())
            throw_required("Cut");
        float cut = 0.0f;
        if (old && untouched(CUT_LENGTH))
            cut = std::fabs(old->cut);
        else if (parse_dimension_buffer(cut) != 0 || cut < 0.0f)
            throw_invalid("Cut");   // the magnitude is typed; the radio buttons give the sign
        if (cut == 0.0f)
            dialog_throw(CUT_LENGTH, "Cut should be non zero");
        if (dialog_is_checked(CUT_LONG))
            cut = -cut;
        if (old && cut == old->cut) {
            discard_undo_snapshot();
            return true;
        }
        CutPipe* pipe = old ? cut_pipe_of_row(row_)
                            : dynamic_cast<CutPipe*>(LayoutRow::change_etype(row_, ET_CUT_PIPE));
        KV_ASSERT(pipe != nullptr);
        pipe->cut = cut;
        finish_store(false);
        return true;
    }
};

class CutPipesTable final : public ElementRowsTable {
public:
    CutPipesTable() : ElementRowsTable(CUT_PIPE_ROWS, "Cut pipes", "Cut pipe", 4, 1)
    {
        alignments[3] = TextAlign::Right;
        open_dialog = edit_cut_pipe;
    }

    CutPipe* cut_pipe_at(int row) const { return cut_pipe_of_row(layout_row(row)); }

    std::string header_text(int c, int line) override
    {
        if (line != 0)
            return {};
        switch (c) {
        case 1: return "From";
        case 2: return "To";
        case 3: return label_with_unit("Cut", DIMENSION);
        case 4: return "Type";
        default: return {};
        }
    }

    std::string cell_text(int row, int c, int line) override
    {
        if (!cut_pipe_at(row) || line != 0)
            return {};
        return LayoutRow::element_cell_text(layout_row(row), c);
    }

    bool cell_editable(int, int) override { return false; }


protected:
    void print_text_form() override;
    void print_csv_form() override;
};

ReportHeading text_heading()
{
    ReportHeading h;
    h.type_code = ET_CUT_PIPE;
    h.title = "Cut pipes";
    h.heading_lines = 2;
    h.entries = {{"From", 0, 6}, {"To", 0, 14}, {"Cut", 0, 21}, {"Type", 0, 34}};
    h.units = {{DIMENSION, 1, 24, 29}};
    return h;
}

void CutPipesTable::print_text_form()
{
    print_text_lines(text_heading(), [this](int row, int layout) {
        const CutPipe* c = cut_pipe_at(row);
        report_print_at(LayoutRow::element_cell_text(layout, 1), 6);
        report_print_at(LayoutRow::element_cell_text(layout, 2), 14);
        report_print_at(c->cell_text(3), 21);
        report_print_at(c->cell_text(4), 34);
    });
}

void CutPipesTable::print_csv_form()
{
    csv_add_text("Cut pipes");
    report_rule();
    csv_add_text("From");
    csv_add_text("To");
    csv_add_text("Cut");
    csv_add_unit_cell(DIMENSION);
    csv_add_text("Type");
    report_next_line();
    report_rule();
    for (int row = 1; row <= record_count(); ++row) {
        const CutPipe* c = cut_pipe_at(row);
        if (!c)
            continue;
        const int layout = layout_row(row);
        csv_add_text(LayoutRow::element_cell_text(layout, 1));
        csv_add_text(LayoutRow::element_cell_text(layout, 2));
        csv_add_cell(c->cell_text(3));
        csv_add_text(c->cell_text(4));
        report_next_line();
    }
    report_rule();
}

}  // namespace

bool edit_cut_pipe(int row, WindowId owner)
{
    return edit_element_row<CutPipeDialog>(CUTPIPE_DIALOG, row, owner);
}

ElementRowsTable& cut_pipes_table()
{
    return session_part<CutPipesTable>();
}
