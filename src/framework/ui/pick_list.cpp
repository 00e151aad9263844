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
        control(PICK_LIST_TABLE, ControlKind::Table, "", 0, 0, 2, CF_NONE, 0, PICK_LIST_VISIBLE_ROWS),
        control(IDOK, ControlKind::Button, "OK", 100, 0, 1, CF_DEFAULT),
        control(IDCANCEL, ControlKind::Button, "Cancel", 100, 1),
    },
};

class PickTable final : public TableWindow {
public:
    explicit PickTable(const PickList& l) : TableWindow(nullptr, static_cast<int>(l.columns.size()), 1), list_(l)
    {
        editing_allowed = false;
    }
    std::function<void()> picked;

    std::string header_text(int column, int line) override
    {
        return line == 0 && column >= 1 && column <= columns() ? list_.columns[static_cast<std::size_t>(column - 1)].heading
                                                                : std::string();
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (line != 0 || row < 1 || row > list_.rows || column < 1 || column > columns() || !list_.cell)
            return {};
        return list_.cell(row, column);
    }
    bool cell_editable(int, int) override { return false; }
    void measure_window(Surface& dc) override
    {
        TableWindow::measure_window(dc);
        const int pad = 2 * table_cell_padding(dc);
        for (int c = 1; c <= columns(); ++c) {
            const std::string& t = list_.columns[static_cast<std::size_t>(c - 1)].width_text;
            widths[static_cast<std::size_t>(c)] = std::max(widths[static_cast<std::size_t>(c)], dc_text_width(dc, t) + pad);
        }
    }
    void leave_row(int) override
    {
        if (picked)
            picked();
    }
    bool edit_row(int) override
    {
        if (picked)
            picked();
        return true;
    }

private:
    const PickList& list_;
};

class PickDialog final : public DialogProc {
public:
    explicit PickDialog(const PickList& l) : list_(l), table_(l) {}

    void init(Dialog& d) override
    {
        d.set_caption(list_.caption);
        table_.picked = [&d, this] { d.end(pick()); };
        view_ = table_create_in_dialog(d, PICK_LIST_TABLE, table_, std::min(list_.rows, PICK_LIST_VISIBLE_ROWS));
        table_reset(table_);
        table_show_at(table_, "", list_.rows, std::clamp(list_.current, 1, std::max(1, list_.rows)), 0);
        table_keep_visible(table_);
        table_set_focus(table_);
        center_window(d, IDOK);
    }
    bool ok(Dialog& d) override
    {
        d.end(pick());
        return false;
    }
    bool cancel(Dialog& d) override
    {
        d.end(0);
        return false;
    }

private:
    int pick() const { return table_.current_row >= 1 && table_.current_row <= list_.rows ? table_.current_row : 0; }
    const PickList& list_;
    PickTable table_;
    std::unique_ptr<TableView> view_;
};

}  // namespace

int run_pick_list(const PickList& list, WindowId owner)
{
    if (list.rows < 1 || list.columns.empty())
        return 0;
    PickDialog proc(list);
    const int r = run_dialog(SELECT_DIALOG, proc, owner);
    return r >= 1 && r <= list.rows ? r : 0;
}
