// The branch SIF dialog (BRANCH_SIF_DIALOG), the "Branch SIFs" table, the
// "Branch Points" list and the check of the branch SIFs against the piping
// code before a save.
#include "elements/attribute_dialog_ids.h"
#include "elements/branch_sif.h"
#include "elements/ui/attribute_ui.h"
#include "elements/ui/dialogs_attributes.h"
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/messages.h"
#include "framework/units.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/piping_codes.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"

#include <cmath>

namespace {

// The smallest dimension a branch SIF takes (inch).
constexpr float SMALLEST_DIMENSION = 0.001f;

BranchSif* branch_sif_of_row(int row)
{
    return row_data_of<BranchSif>(row, DT_BRANCH_SIF);
}

// The labels of a type's value fields: the first field's (one or two
// lines) and the second field's (one or two lines); empty for none.
struct ValueLabels {
    const char* first = nullptr;
    const char* first_more = nullptr;
    const char* second_before = nullptr;
    const char* second = nullptr;
};

ValueLabels labels_of(int type, int32_t code)
{
    switch (type) {
    case BRANCH_REINFORCED_TEE:
        return code_is_nordic(code) ? ValueLabels{"Thickness of plate", "reinforcement (Sp)"}
                                    : ValueLabels{"Pad thickness"};
    case BRANCH_EXTRUDED_TEE:
        return branch_sif_value_count(type, code) ? ValueLabels{"Crotch radius"} : ValueLabels{};
    case BRANCH_RADIUSED:
        return {"Fillet radius (r)", nullptr, "Effective wall", "thickness (Se)"};
    case BRANCH_THICKENED_PIPE:
        return {"Thickness (Sf)", nullptr, nullptr, "Length (L)"};
    case BRANCH_CONNECTION:
        return {"Branch radius (rp)"};
    default:
        return {};
    }
}

class BranchSifDialog final : public ElementDialog {
public:
    using ElementDialog::ElementDialog;

    void init(Dialog& d) override
    {
        code_ = piping_code();
        b31j_ = analysis_options().use_b31j;
        d.set_caption(row_caption_at_node(row_, "Branch SIF"));
        dialog_list_reset(BRANCH_SIF_TYPE);
        for (int type : branch_sif_types_offered(code_, b31j_))
            dialog_list_add(branch_sif_type_name(type, code_, b31j_));
        dialog_list_select(BRANCH_SIF_TYPE, sif_position_of_type(branch_sif_default_type(code_), code_, b31j_));
        dialog_enable_item(BRANCH_SIF_FLANGES_LABEL, b31j_);
        dialog_enable_item(BRANCH_SIF_FLANGES, b31j_);
        const BranchSif* old = branch_sif_of_row(row_);
        lay_out(d, old ? old->sif_type : branch_sif_default_type(code_));
        if (old) {
            LayoutRow::fill_data_dialog(row_, d, DT_BRANCH_SIF);
            if (branch_sif_value_count(old->sif_type, code_) > 0)
                d.focus(BRANCH_SIF_VALUE1, true);
        }
        remember_texts(d, {BRANCH_SIF_VALUE1, BRANCH_SIF_VALUE2});
        if (input_locked()) {
            dialog_disable(BRANCH_SIF_TYPE);
            for (int id : {int{BRANCH_SIF_VALUE1}, int{BRANCH_SIF_VALUE2}, int{BRANCH_SIF_FLANGES}})
                dialog_set_readonly(id);
            dialog_set_focus(IDOK);
        } else {
            dialog_set_focus(BRANCH_SIF_TYPE);
        }
    }

    void command(Dialog& d, int id, int code) override
    {
        if (id != BRANCH_SIF_TYPE || code != NOTIFY_SELCHANGE || input_locked())
            return;
        const int type = selected_type();
        if (type == shown_type_)
            return;
        lay_out(d, type);
        if (branch_sif_value_count(type, code_) > 0)
            dialog_select_focus(BRANCH_SIF_VALUE1);
        else
            dialog_set_focus(IDOK);
    }

    bool store(Dialog&) override
    {
        const BranchSif* old = branch_sif_of_row(row_);
        BranchSif next;
        next.sif_type = selected_type();
        const bool same_type = old && old->sif_type == next.sif_type;
        switch (next.sif_type) {
        case BRANCH_REINFORCED_TEE:
            next.value1 = read_value(BRANCH_SIF_VALUE1, "Thickness", true, same_type ? old->value1 : 0.0f);
            break;
        case BRANCH_EXTRUDED_TEE:
            if (branch_sif_value_count(next.sif_type, code_) > 0)
                next.value1 = read_value(BRANCH_SIF_VALUE1, "Radius", true, same_type ? old->value1 : 0.0f);
            break;
        case BRANCH_RADIUSED:
            next.value1 = read_value(BRANCH_SIF_VALUE1, "Radius", true, same_type ? old->value1 : 0.0f);
            next.value2 = read_value(BRANCH_SIF_VALUE2, "Thickness", true, same_type ? old->value2 : 0.0f);
            break;
        case BRANCH_THICKENED_PIPE:
            next.value1 = read_value(BRANCH_SIF_VALUE1, "Thickness", true, same_type ? old->value1 : 0.0f);
            next.value2 = read_value(BRANCH_SIF_VALUE2, "Length", true, same_type ? old->value2 : 0.0f);
            break;
        case BRANCH_CONNECTION:
            // No required-value check: an empty radius reads as 0 and is refused.
            next.value1 = read_value(BRANCH_SIF_VALUE1, "Radius", false, same_type ? old->value1 : 0.0f);
            break;
        default:
            break;
        }
        dialog_get_text(BRANCH_SIF_FLANGES);
        int32_t flanges = 0;
        if (!item_text().empty() &&
            (parse_int_buffer(flanges) != 0 || flanges < 0 || flanges > MAX_BRANCH_SIF_FLANGES))
            dialog_throw(BRANCH_SIF_FLANGES, "Number should be 0, 1 or 2");
        next.num_flanges = flanges;

        if (old && old->same_values(next)) {
            discard_undo_snapshot();
            return true;
        }
        data_to_store<BranchSif>(row_, DT_BRANCH_SIF).copy_from(next);
        stored_ = true;
        attribute_stored();
        return true;
    }

private:
    int selected_type() const
    {
        return sif_type_at_position(dialog_list_selection(BRANCH_SIF_TYPE), code_, b31j_);
    }

    // A dimension of at least 0.001 inch; empty: "<name> is required" when
    // `required`, else 0 (which is refused). An untouched field is `stored`.
    float read_value(int item, const char* name, bool required, float stored) const
    {
        dialog_get_text(item);
        if (item_text().empty() && required)
            throw_required(name);
        if (!item_text().empty() && untouched(item) && stored >= SMALLEST_DIMENSION)
            return stored;
        float value = 0.0f;
        if (parse_dimension_buffer(value) != 0 || !(value >= SMALLEST_DIMENSION))
            throw_invalid(name);
        return value;
    }

    // Shows the value fields and labels of a type (clearing both fields).
    void lay_out(Dialog& d, int type)
    {
        shown_type_ = type;
        for (int id : {int{BRANCH_SIF_VALUE1}, int{BRANCH_SIF_VALUE2}})
            d.set_text(id, "");
        const int items[] = {BRANCH_SIF_LABEL1, BRANCH_SIF_VALUE1, BRANCH_SIF_UNIT1, BRANCH_SIF_LABEL2,
                             BRANCH_SIF_VALUE2, BRANCH_SIF_UNIT2, BRANCH_SIF_LABEL3};
        for (int id : items)
            d.show(id, false);
        const ValueLabels labels = labels_of(type, code_);
        auto label = [&d](int id, const char* text) {
            if (text) {
                d.set_text(id, text);
                d.show(id, true);
            }
        };
        if (labels.first) {
            label(BRANCH_SIF_LABEL1, labels.first);
            label(BRANCH_SIF_LABEL2, labels.first_more ? labels.first_more : labels.second_before);
            d.show(BRANCH_SIF_VALUE1, true);
            d.show(BRANCH_SIF_UNIT1, true);
        }
        if (labels.second) {
            label(BRANCH_SIF_LABEL3, labels.second);
            d.show(BRANCH_SIF_VALUE2, true);
            d.show(BRANCH_SIF_UNIT2, true);
        }
    }

    int32_t code_ = 0;
    bool b31j_ = false;
    int shown_type_ = 0;
};

// ---- The "Branch SIFs" table ----------------------------------------------------------------

class BranchSifsTable final : public AttributeRowsTable {
public:
    BranchSifsTable() : AttributeRowsTable(BRANCH_SIF_ROWS, {DT_BRANCH_SIF}, "Branch SIFs", "Branch SIF", 2)
    {
        headings = {"", "Node", "Type"};
        open_dialog = edit_branch_sif;
    }

protected:
    ReportHeading report_heading() override
    {
        return attribute_heading(DT_BRANCH_SIF, "Branch SIFs", {{"Node", 0, 6}, {"Type", 0, 13}});
    }
    void report_line(int, const DataItem& item) override
    {
        report_print_at(branch_sif_text(static_cast<const BranchSif&>(item)), 13);
    }
};

// ---- The "Branch Points" list ----------------------------------------------------------------

class BranchPointsTable final : public TableWindow {
public:
    BranchPointsTable() : TableWindow(&list_frame(), 2, 1)
    {
        title = "Branch Points";
        view_only = true;
        editing_allowed = false;
    }

    void load()
    {
        if (model_rebuild_needed())
            make_model();
        table_set_rows(*this, title, model().branch_points.size(), 0);
        frame_caption = c_format("%s  (%d) ", title.c_str(), record_count());
        if (frame && table_is_shown(*this))
            frame_set_title(*frame, frame_caption);
        measure_needed = true;
        table_invalidate_rows(*this);
    }

    std::string header_text(int c, int line) override
    {
        if (line != 0)
            return {};
        return c == 1 ? "Node" : c == 2 ? "SIF Type " : std::string();
    }
    std::string cell_text(int row, int c, int line) override
    {
        const Model& m = model();
        if (line != 0 || !m.branch_points.valid(row))
            return {};
        const BranchPoint& p = m.branch_points[row];
        if (c == 1)
            return m.nodes.valid(p.node) ? node_text(m.nodes[p.node].number) : std::string();
        const BranchSif* sif = c == 2 ? branch_sif_of_row(p.sif_row) : nullptr;
        return sif ? branch_sif_text(*sif) : std::string();
    }
    bool cell_editable(int, int) override { return false; }
    int row_node(int row) override
    {
        const Model& m = model();
        return m.branch_points.valid(row) && m.nodes.valid(m.branch_points[row].node)
                   ? m.nodes[m.branch_points[row].node].number
                   : 0;
    }
    void print() override
    {
        load();
        const int count = record_count();
        if (count > 0 && !table_print_pages_or_csv(*this, title, count, [this, count] {
                table_print_csv(*this, title, count);
            }))
            table_print_text(*this, title, count);
    }
    void print_text() override { print(); }
    void print_csv() override { print(); }
};

}  // namespace

bool edit_branch_sif(int row, WindowId owner)
{
    return edit_element_row<BranchSifDialog>(BRANCH_SIF_DIALOG, row, owner);
}

AttributeRowsTable& branch_sifs_table()
{
    return session_part<BranchSifsTable>();
}

TableWindow& branch_points_table()
{
    return session_part<BranchPointsTable>();
}

void open_branch_points()
{
    auto& t = session_part<BranchPointsTable>();
    t.load();
    show_in_list_window(t);
    t.load();
    set_last_table_opener(t, [&t] { t.load(); });
}

void check_branch_sifs_for_code(WindowId owner)
{
    const int32_t code = piping_code();
    const bool b31j = analysis_options().use_b31j;
    const int replacement = branch_sif_default_type(code);
    push_undo_snapshot(owner);
    bool changed = false;
    // Rows by index: each is visited once, whatever nodes repeat.
    for (int row = 1; row <= numrows(); ++row) {
        BranchSif* sif = branch_sif_of_row(row);
        if (!sif || !sif_type_invalid(sif->sif_type, code, b31j))
            continue;
        select_layout_row(row);
        const std::string question =
            c_format("'Branch SIF = %s' not valid for 'Piping Code = %s' at Node %s.\nDo you want to replace with "
                     "'%s'?\n",
                     branch_sif_short_name(sif->sif_type), piping_code_short_name(code).c_str(),
                     node_text(model().rows[row].node).c_str(), branch_sif_short_name(replacement));
        if (!message_question(owner, question))
            continue;
        sif->sif_type = replacement;
        model_modified() = true;
        changed = true;
    }
    if (changed) {
        reload_layout_table();
        focus_layout_table();
    } else {
        discard_undo_snapshot();
    }
}
