#include "materials/ui/library_browser.h"

#include "framework/errors.h"
#include "framework/strings.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/table.h"
#include "materials/ui/dialogs_materials.h"

#include <algorithm>
#include <filesystem>
#include <memory>

namespace {

constexpr int VISIBLE_ROWS = 12;

// One column a field; Enter and a double-click choose the current row.
class BrowserTable final : public ChoiceTable {
public:
    explicit BrowserTable(const LibraryBrowser& b)
        : ChoiceTable(nullptr, static_cast<int>(b.columns.size()),
                      std::any_of(b.columns.begin(), b.columns.end(),
                                  [](const BrowserColumn& c) { return !c.second_line.empty(); })
                          ? 2
                          : 1),
          browser_(b)
    {
        editing_allowed = false;
    }

    std::string header_text(int column, int line) override
    {
        if (column < 1 || column > columns())
            return {};
        const BrowserColumn& c = browser_.columns[static_cast<std::size_t>(column - 1)];
        return line == 0 ? c.heading : line == 1 ? c.second_line : std::string();
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (line != 0 || column < 1 || column > columns() || row < 1 || row > browser_.count())
            return {};
        return browser_.columns[static_cast<std::size_t>(column - 1)].cell(row);
    }

private:
    const LibraryBrowser& browser_;
};

class BrowserDialog final : public DialogProc {
public:
    explicit BrowserDialog(const LibraryBrowser& b) : browser_(b), table_(b) {}

    void init(Dialog& d) override
    {
        KV_ASSERT(browser_.count() > 0);
        table_.chosen = [&d, this] { d.end(table_.current_row); };
        view_ = table_create_in_dialog(d, LIBUSE_TABLE, table_);
        if (browser_.note)
            dialog_set_text(LIBUSE_NOTE, browser_.note());
        else
            dialog_hide(LIBUSE_NOTE);
        fill(d);
        center_window(d);
    }
    void command(Dialog& d, int id, int) override
    {
        if (id != LIBUSE_LIBRARY || !browser_.other_library)
            return;
        switch (browser_.other_library(d.window())) {
        case OtherLibrary::Unchanged: break;
        case OtherLibrary::Ended: d.end(0); return;
        case OtherLibrary::Shown:
            if (browser_.note)
                dialog_set_text(LIBUSE_NOTE, browser_.note());
            fill(d);
            break;
        }
        table_set_focus(table_);
    }
    bool ok(Dialog& d) override
    {
        if (!table_end_edit(table_))
            return false;
        const int row = table_.current_row;
        d.end(row >= 1 && row <= browser_.count() ? row : 0);
        return false;
    }
    bool cancel(Dialog& d) override
    {
        d.end(0);
        return false;
    }

private:
    void fill(Dialog& d)
    {
        std::string caption = browser_.caption + " - [";
        if (const std::string path = browser_.path(); !path.empty()) {
            caption += std::filesystem::path(path).filename().string();
            append_in_parentheses(caption, folder_of(path));
        }
        d.set_caption(caption + "]");
        table_show_at(table_, "", browser_.count(), 1, 0);
        // At most 12 rows show, and every column; the buttons stay under the table.
        const Rect size = view_->preferred_size(std::min(browser_.count(), VISIBLE_ROWS));
        d.set_item_min_size(LIBUSE_TABLE, size.width(), size.height());
        table_set_focus(table_);
    }

    const LibraryBrowser& browser_;
    BrowserTable table_;
    std::unique_ptr<TableView> view_;
};

}  // namespace

int run_library_browser(const DialogTemplate& templ, const LibraryBrowser& browser, WindowId owner)
{
    BrowserDialog proc(browser);
    const int r = run_dialog(templ, proc, owner);
    return r >= 1 && r <= browser.count() ? r : 0;
}
