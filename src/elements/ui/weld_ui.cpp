// The weld dialog (WELD_DIALOG), the "Welds" table and the "Threaded joints"
// table.
#include "elements/attribute_dialog_ids.h"
#include "elements/weld.h"
#include "elements/ui/attribute_ui.h"
#include "elements/ui/dialogs_attributes.h"
#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/ui/dialog_helper.h"
#include "framework/units.h"
#include "model/model.h"
#include "model/ui/layout_window.h"

namespace {

Weld* weld_of_row(int row)
{
    return row_data_of<Weld>(row, DT_WELD);
}

class WeldDialog final : public ElementDialog {
public:
    using ElementDialog::ElementDialog;

    void init(Dialog& d) override
    {
        d.set_caption(row_caption_at_node(row_, "Weld"));
        dialog_list_reset(WELD_TYPE);
        for (int type = 1; type <= WELD_TYPE_COUNT; ++type)
            dialog_list_add(weld_type_name(type));
        dialog_list_select(WELD_TYPE, 0);
        const Weld* old = weld_of_row(row_);
        lay_out(d, old ? old->weld_type : WELD_BUTT);
        LayoutRow::fill_data_dialog(row_, d, DT_WELD);
        remember_texts(d, {WELD_MISMATCH});
        if (input_locked()) {
            dialog_disable(WELD_TYPE);
            dialog_disable(WELD_MISMATCH_LABEL);
            dialog_disable(WELD_MISMATCH_UNIT);
            dialog_set_readonly(WELD_MISMATCH);
        }
        dialog_set_focus(IDOK);
    }

    void command(Dialog& d, int id, int code) override
    {
        if (id != WELD_TYPE || code != NOTIFY_SELCHANGE || input_locked())
            return;
        const int type = dialog_list_selection(WELD_TYPE) + 1;
        if (type == shown_type_)
            return;
        lay_out(d, type);
        if (weld_has_mismatch(type))
            dialog_select_focus(WELD_MISMATCH);
        else
            dialog_set_focus(IDOK);
    }

    bool store(Dialog&) override
    {
        const Weld* old = weld_of_row(row_);
        const int type = dialog_list_selection(WELD_TYPE) + 1;
        float mismatch = 0.0f;
        if (weld_has_mismatch(type)) {
            dialog_get_text(WELD_MISMATCH);
            if (old && untouched(WELD_MISMATCH))
                mismatch = old->mismatch;
            else if (!item_text().empty() && item_text() != default_entry_text() &&
                     (parse_dimension_buffer(mismatch) != 0 || !(mismatch >= 0.0f)))
                throw_invalid("Mismatch");
        }
        if (old && old->weld_type == type && old->mismatch == mismatch) {
            discard_undo_snapshot();
            return true;
        }
        Weld& weld = data_to_store<Weld>(row_, DT_WELD);
        weld.weld_type = type;
        weld.mismatch = mismatch;
        stored_ = true;
        attribute_stored();
        return true;
    }

private:
    // Types with a mismatch enable its field; the others clear it to the
    // default text and disable it.
    void lay_out(Dialog& d, int type)
    {
        shown_type_ = type;
        const bool on = weld_has_mismatch(type);
        if (!on)
            dialog_set_default_text(WELD_MISMATCH);
        for (int id : {int{WELD_MISMATCH_LABEL}, int{WELD_MISMATCH}, int{WELD_MISMATCH_UNIT}})
            d.enable(id, on);
    }

    int shown_type_ = 0;
};

class WeldsTable final : public AttributeRowsTable {
public:
    WeldsTable() : AttributeRowsTable(WELD_ROWS, {DT_WELD}, "Welds", "Weld", 2)
    {
        headings = {"", "Node", "Type"};
        open_dialog = edit_weld;
    }

protected:
    ReportHeading report_heading() override
    {
        return attribute_heading(DT_WELD, "Welds", {{"Node", 0, 6}, {"Type", 0, 13}});
    }
    void report_line(int, const DataItem& item) override
    {
        const auto& w = static_cast<const Weld&>(item);
        report_print_at(weld_text(w.weld_type, w.mismatch), 13);
    }
};

class ThreadedJointsTable final : public AttributeRowsTable {
public:
    ThreadedJointsTable()
        : AttributeRowsTable(THREADED_JOINT_ROWS, {DT_THREADED_JOINT}, "Threaded joints", "Threaded joint", 1)
    {
        headings = {"", "Node"};
    }

protected:
    ReportHeading report_heading() override
    {
        return attribute_heading(DT_THREADED_JOINT, "Threaded Joints", {{"Node", 0, 6}});
    }
    void report_line(int, const DataItem&) override {}
};

}  // namespace

bool edit_weld(int row, WindowId owner)
{
    return edit_element_row<WeldDialog>(WELD_DIALOG, row, owner);
}

AttributeRowsTable& welds_table()
{
    return session_part<WeldsTable>();
}

AttributeRowsTable& threaded_joints_table()
{
    return session_part<ThreadedJointsTable>();
}
