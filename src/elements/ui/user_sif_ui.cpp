// The three user SIF forms (USER_SIF1_DIALOG one SIF, USER_SIF2_DIALOG
// in-plane, out-of-plane, axial and torsion, USER_SIF3_DIALOG the IGEM
// stress concentration factors) and the "User SIFs" table.
#include "elements/attribute_dialog_ids.h"
#include "elements/user_sif.h"
#include "elements/ui/attribute_ui.h"
#include "elements/ui/dialogs_attributes.h"
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/ui/dialog_helper.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/piping_codes.h"
#include "model/ui/layout_window.h"

#include <algorithm>

namespace {

UserSif* user_sif_of_row(int row)
{
    return row_data_of<UserSif>(row, DT_USER_SIF);
}

std::string shown_value(float value)
{
    std::string text = format_real(value, 10, 2);
    trim_blanks(text);
    return text;
}

bool code_has_axial_sif(int32_t code)
{
    return code == CODE_B313 || code == CODE_B3112;
}

class UserSifDialog final : public ElementDialog {
public:
    UserSifDialog(int row, int form) : ElementDialog(row), form_(form) {}

    void init(Dialog& d) override
    {
        const int32_t code = piping_code();
        const bool b31j = analysis_options().use_b31j;
        d.set_caption(row_caption_at_node(row_, "User SIF"));
        const UserSif* old = user_sif_of_row(row_);
        std::vector<int> items;
        if (form_ == 3) {
            for (int c = 0; c < SCF_COMPONENTS; ++c) {
                items.push_back(USER_SIF_SCF_FIRST + c);
                items.push_back(int{USER_SIF_SCF_FIRST} + int{SCF_COMPONENTS} + c);
                if (old) {
                    d.set_text(USER_SIF_SCF_FIRST + c, shown_value(old->scf_sustained[c]));
                    d.set_text(int{USER_SIF_SCF_FIRST} + int{SCF_COMPONENTS} + c, shown_value(old->scf_cyclic[c]));
                }
            }
        } else {
            items = {USER_SIF_IN};
            if (old)
                d.set_text(USER_SIF_IN, shown_value(old->sif_in));
            if (form_ == 2) {
                items.insert(items.end(), {USER_SIF_OUT, USER_SIF_AXIAL, USER_SIF_TORSION});
                const bool axial = code_has_axial_sif(code);
                d.enable(USER_SIF_AXIAL_LABEL, axial);
                d.enable(USER_SIF_AXIAL, axial);
                d.enable(USER_SIF_TORSION_LABEL, b31j);
                d.enable(USER_SIF_TORSION, b31j);
                if (old) {
                    d.set_text(USER_SIF_OUT, shown_value(old->sif_out));
                    if (old->sif_axial > 1.0f)
                        d.set_text(USER_SIF_AXIAL, shown_value(old->sif_axial));
                    if (old->sif_torsion > 1.0f)
                        d.set_text(USER_SIF_TORSION, shown_value(old->sif_torsion));
                }
            }
        }
        for (int item : items)
            remember_texts(d, {item});
        if (input_locked()) {
            for (int item : items)
                dialog_set_readonly(item);
            dialog_set_focus(IDOK);
        } else {
            dialog_select_focus(items.front());
        }
    }

    bool store(Dialog&) override
    {
        const UserSif* old = user_sif_of_row(row_);
        UserSif none;
        const UserSif& before = old ? *old : none;
        UserSif next;
        next.copy_from(before);
        if (form_ == 1) {
            next.sif_in = next.sif_out = read_factor(USER_SIF_IN, before.sif_in);
            if (old && old->sif_in == next.sif_in) {
                discard_undo_snapshot();
                return true;
            }
        } else if (form_ == 2) {
            next.sif_in = read_factor(USER_SIF_IN, before.sif_in);
            next.sif_out = read_factor(USER_SIF_OUT, before.sif_out);
            // A field the code does not take keeps what was stored.
            if (dialog_is_enabled(USER_SIF_AXIAL))
                next.sif_axial = read_sif(USER_SIF_AXIAL, before.sif_axial);
            if (dialog_is_enabled(USER_SIF_TORSION))
                next.sif_torsion = read_sif(USER_SIF_TORSION, before.sif_torsion);
        } else {
            for (int c = 0; c < SCF_COMPONENTS; ++c)
                next.scf_sustained[c] = read_factor(USER_SIF_SCF_FIRST + c, before.scf_sustained[c]);
            for (int c = 0; c < SCF_COMPONENTS; ++c)
                next.scf_cyclic[c] = read_factor(int{USER_SIF_SCF_FIRST} + int{SCF_COMPONENTS} + c, before.scf_cyclic[c]);
        }
        if (old && old->same_values(next)) {
            discard_undo_snapshot();
            return true;
        }
        data_to_store<UserSif>(row_, DT_USER_SIF).copy_from(next);
        stored_ = true;
        attribute_stored();
        return true;
    }

private:
    static bool dialog_is_enabled(int item)
    {
        DialogHelper* helper = current_dialog_helper();
        return helper && helper->dialog && helper->dialog->is_enabled(item);
    }

    // A required factor: "SIF value is required", "SIF value" invalid (not
    // a number or not above 0), "SIF value is less than 1.00".
    float read_factor(int item, float stored) const
    {
        dialog_get_text(item);
        if (item_text().empty())
            dialog_throw(item, "SIF value is required");
        if (untouched(item) && stored >= 1.0f)
            return stored;
        float value = 0.0f;
        if (parse_real_buffer(value) != 0 || !(value > 0.0f))
            throw_invalid("SIF value");
        if (value < 1.0f)
            dialog_throw(item, "SIF value is less than 1.00");
        return value;
    }

    int form_;
};

// ---- The "User SIFs" table -------------------------------------------------------------------

class UserSifsTable final : public AttributeRowsTable {
public:
    UserSifsTable() : AttributeRowsTable(USER_SIF_ROWS, {DT_USER_SIF}, "User SIFs", "User SIF", 11)
    {
        for (int c = 2; c <= 11; ++c)
            alignments[static_cast<std::size_t>(c)] = TextAlign::Right;
        open_dialog = edit_user_sif;
    }

    void load_code()
    {
        code_ = piping_code();
        b31j_ = analysis_options().use_b31j;
    }

    std::string header_text(int c, int line) override
    {
        if (line != 0)
            return {};
        if (c == 1)
            return "Node";
        if (!user_sif_column_shown(c, code_, b31j_))
            return {};
        if (user_sif_form(code_, b31j_) == 3) {
            static const char* const names[] = {"Ip", "Ib", "It", "Iq", "Is"};
            return std::string(c <= 6 ? "Sust." : "Cyclic.") + names[(c - 2) % 5];
        }
        switch (c) {
        case 2: return user_sif_form(code_, b31j_) == 2 ? "In Plane" : "SIF";
        case 3: return "Out Plane";
        case 4: return "Axial SIF";
        case 5: return "Torsion SIF";
        default: return {};
        }
    }

    std::string cell_text(int row, int c, int line) override
    {
        const auto* s = dynamic_cast<const UserSif*>(item(row));
        if (!s || line != 0)
            return {};
        return c == 1 ? AttributeRowsTable::cell_text(row, c, line) : user_sif_cell(*s, c, code_, b31j_);
    }

    void measure_window(Surface& dc) override
    {
        AttributeRowsTable::measure_window(dc);
        hide_columns();
    }
    void measure_print(Surface& dc) override
    {
        AttributeRowsTable::measure_print(dc);
        hide_columns();
    }

protected:
    ReportHeading report_heading() override
    {
        load_code();
        ReportHeading h;
        h.print_kind = ReportHeading::DATA_ITEM_ROWS;
        h.type_code = DT_USER_SIF;
        h.title = "User SIFs";
        switch (user_sif_form(code_, b31j_)) {
        case 3:
            h.heading_lines = 2;
            h.entries = {{"Node", 0, 6},
                         {"Sustained SCF\t\t\t\t       Cyclic SCF", 0, 21},
                         {"Ip      Ib     Iq     It     Is     Ip     Ib     Iq     It     Is", 1, 13}};
            break;
        case 2:
            h.entries = {{"Node", 0, 6}, {"In plane   Out plane   Axial    Torsion", 0, 13}};
            break;
        default:
            h.entries = {{"Node", 0, 6}, {"SIF", 0, 16}};
            break;
        }
        return h;
    }
    void report_line(int, const DataItem& item) override
    {
        const auto& s = static_cast<const UserSif&>(item);
        if (user_sif_form(code_, b31j_) == 3) {
            const int columns[SCF_COMPONENTS] = {13, 21, 28, 35, 42};
            for (int c = 0; c < SCF_COMPONENTS; ++c)
                report_print_at(format_real(s.scf_sustained[c], 10, 2), columns[c]);
            for (int c = 0; c < SCF_COMPONENTS; ++c)
                report_print_at(format_real(s.scf_cyclic[c], 10, 2), columns[c] + 36);
            return;
        }
        report_print_at(format_real(s.sif_in, 10, 2), 15);
        if (user_sif_form(code_, b31j_) == 2)
            report_print_at(format_real(s.sif_out, 10, 2), 27);
        if (code_has_axial_sif(code_))
            report_print_at(format_real(s.sif_axial, 10, 2), 36);
        if (b31j_)
            report_print_at(format_real(s.sif_torsion, 10, 2), 46);
    }

private:
    void hide_columns()
    {
        load_code();
        for (int c = 2; c <= 11 && c < static_cast<int>(widths.size()); ++c)
            if (!user_sif_column_shown(c, code_, b31j_))
                widths[static_cast<std::size_t>(c)] = 0;
        if (widths.size() > 3 && user_sif_column_shown(3, code_, b31j_))
            widths[2] = widths[3] = std::max(widths[2], widths[3]);
    }

    int32_t code_ = 0;
    bool b31j_ = false;
};

}  // namespace

bool edit_user_sif(int row, WindowId owner)
{
    if (!model().rows.valid(row))
        return false;
    const int form = user_sif_form();
    UserSifDialog proc(row, form);
    const DialogTemplate& t = form == 3 ? USER_SIF3_DIALOG : form == 2 ? USER_SIF2_DIALOG : USER_SIF1_DIALOG;
    return run_element_dialog(t, proc, owner);
}

AttributeRowsTable& user_sifs_table()
{
    auto& t = session_part<UserSifsTable>();
    t.load_code();
    return t;
}
