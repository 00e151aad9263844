#include "framework/ui/pick_list.h"

#include "framework/ui/dialog_helper.h"
#include "framework/ui/table.h"

#include <algorithm>
#include <memory>

namespace {

const DialogTemplate SELECT_DIALOG = {
    "SELECT_DIALOG",
    "",
    {
        control(PICK_LIST_TABLE, ControlKind::Table, "", 0, 0, 2, CF_NONE, 0, 12),
        control(IDOK, ControlKind::Button, "OK", 12, 0, 1, CF_DEFAULT),
        control(IDCANCEL, ControlKind::Button, "Cancel", 12, 1),
    },
};

class PickTable final : public ChoiceTable {
public:
    explicit PickTable(const PickList& list)
        : ChoiceTable(nullptr, static_cast<int>(list.columns.size()), 1), list_(list)
    {
        editing_allowed = false;
        view_only = true;
    }

    std::string header_text(int column, int line) override
    {
        if (line != 0 || column < 1 || column > columns())
            return {};
        return list_.columns[static_cast<std::size_t>(column - 1)].heading;
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (line != 0 || column < 1 || column > columns() || row < 1 || row > list_.count)
            return {};
        const PickListColumn& c = list_.columns[static_cast<std::size_t>(column - 1)];
        return c.cell ? c.cell(row) : std::string();
    }
    void measure_window(Surface& dc) override
    {
        TableWindow::measure_window(dc);
        const int padding = table_cell_padding(dc);
        for (int c = 1; c <= columns(); ++c) {
            const std::string& least = list_.columns[static_cast<std::size_t>(c - 1)].least_width_text;
            if (!least.empty() && static_cast<std::size_t>(c) < widths.size())
                widths[static_cast<std::size_t>(c)] =
                    std::max(widths[static_cast<std::size_t>(c)], dc_text_width(dc, least) + 2 * padding);
        }
    }

private:
    const PickList& list_;
};

class PickDialog final : public DialogProc {
public:
    explicit PickDialog(const PickList& list) : list_(list), table_(list) {}

    void init(Dialog& d) override
    {
        d.set_caption(list_.title);
        table_.chosen = [&d, this] { d.end(table_.current_row); };
        view_ = table_create_in_dialog(d, PICK_LIST_TABLE, table_);
        table_show_at(table_, list_.title, list_.count, std::clamp(list_.current, 1, list_.count), 0);
        table_keep_visible(table_);
        const Rect size = view_->preferred_size(std::min(list_.count, std::max(1, list_.visible_rows)));
        d.set_item_min_size(PICK_LIST_TABLE, size.width(), size.height());
        center_window(d);
        table_set_focus(table_);
    }
    bool ok(Dialog& d) override
    {
        const int row = table_.current_row;
        d.end(row >= 1 && row <= list_.count ? row : 0);
        return false;
    }
    bool cancel(Dialog& d) override
    {
        d.end(0);
        return false;
    }

private:
    const PickList& list_;
    PickTable table_;
    std::unique_ptr<TableView> view_;
};

}  // namespace

int run_pick_list(const PickList& list, WindowId owner)
{
    if (list.count <= 0 || list.columns.empty())
        return 0;
    PickDialog proc(list);
    const int r = run_dialog(SELECT_DIALOG, proc, owner);
    return r >= 1 && r <= list.count ? r : 0;
}
