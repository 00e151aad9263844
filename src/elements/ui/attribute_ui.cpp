// The "Jacket connections" table and the installation of the attributes'
// windows: the layout's data dialogs, the data lists and the save hooks.
#include "elements/flange.h"
#include "elements/jacket_connections.h"
#include "elements/ui/attribute_ui.h"
#include "elements/ui/element_ui.h"
#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/state.h"
#include "model/model.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"

namespace {

class JacketConnectionsTable final : public AttributeRowsTable {
public:
    JacketConnectionsTable()
        : AttributeRowsTable(JACKET_CONNECTION_ROWS, {DT_SPIDER, DT_JACKET_END_CAP}, "Jacket connections",
                             "jacket connection", 2)
    {
        headings = {"", "Node", "Type"};
    }

    // The single entry "&Delete jacket connection".
    void context_menu(Point) override
    {
        MenuItem popup{"", 0, {}};
        if (!input_locked() && !view_only)
            popup.items.push_back(MenuItem{"&Delete jacket connection", CMD_DELETE, {}, !delete_enabled});
        if (!popup.items.empty())
            table_popup_menu(*this, popup);
    }

protected:
    ReportHeading report_heading() override
    {
        return attribute_heading(DT_SPIDER, "Jacket connections", {{"Node", 0, 6}, {"Type", 0, 13}});
    }
    void report_line(int layout_row, const DataItem&) override
    {
        report_print_at(jacket_connection_name(model().rows[layout_row].dtype), 13);
    }
};

void add_list(const char* name, int list_id, const std::function<void()>& open)
{
    register_data_list(DataList{name, [list_id] { return model().list(list_id).count; }, open, true});
}

}  // namespace

void attribute_stored()
{
    model_modified() = true;
    model_changed();
    reload_layout_table();
}

ReportHeading attribute_heading(int dtype, const char* title, std::vector<ReportHeadingEntry> entries)
{
    ReportHeading h;
    h.print_kind = ReportHeading::DATA_ITEM_ROWS;
    h.type_code = dtype;
    h.title = title;
    h.entries = std::move(entries);
    return h;
}

AttributeRowsTable& jacket_connections_table()
{
    return session_part<JacketConnectionsTable>();
}

void install_attribute_ui()
{
    LayoutHooks& hooks = layout_hooks();
    hooks.element_dialog[ET_JACKETED_PIPE] = edit_from_layout<edit_jacketed_pipe>;
    hooks.data_dialog[DT_FLANGE] = edit_from_layout<edit_flange>;
    hooks.data_dialog[DT_BRANCH_SIF] = edit_from_layout<edit_branch_sif>;
    hooks.data_dialog[DT_USER_SIF] = edit_from_layout<edit_user_sif>;
    hooks.data_dialog[DT_WELD] = edit_from_layout<edit_weld>;

    add_list("Jacket connections", JACKET_CONNECTION_ROWS, [] { open_attribute_table(jacket_connections_table()); });
    add_list("Flanges", FLANGE_ROWS, [] { open_attribute_table(flanges_table()); });
    add_list("Branch SIFs", BRANCH_SIF_ROWS, [] { open_attribute_table(branch_sifs_table()); });
    add_list("User SIFs", USER_SIF_ROWS, [] { open_attribute_table(user_sifs_table()); });
    add_list("Welds", WELD_ROWS, [] { open_attribute_table(welds_table()); });
    add_list("Threaded joints", THREADED_JOINT_ROWS, [] { open_attribute_table(threaded_joints_table()); });
    register_data_list(DataList{"Branch Points", [] { return model().branch_points.size(); }, open_branch_points,
                                false});

    ModelFileHooks& files = model_file_hooks();
    files.flange_type = [](int row) {
        const auto* flange = model().rows.valid(row) ? dynamic_cast<const Flange*>(model().rows[row].data.get())
                                                     : nullptr;
        return flange ? flange->flange_type : 0;
    };
    files.check_branch_sifs = check_branch_sifs_for_code;
}
