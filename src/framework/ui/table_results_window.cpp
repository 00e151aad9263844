// The one table window of the results frame, shared by every result table.
#include "framework/state.h"
#include "framework/ui/table.h"

namespace {

struct ResultsTableViewPart {
    TableView value{};
};

TableView& shared_view() {
    return session_part<ResultsTableViewPart>().value;
}

// The window is made again when the results frame has another client now
// (it was rebuilt, or another client took its place).
void ensure_window() {
    TableView& v = shared_view();
    Frame& f = results_frame();
    if (!f.window) return;
    if (v.window() == 0 || f.client != v.window()) v.create(f);
}

}  // namespace

TableView& results_table_view() { return shared_view(); }

void table_window_show(TableWindow& t) {
    ensure_window();
    TableView& v = shared_view();
    v.set_shown(true);
    if (v.window()) backend().show_window(v.window(), WindowPlacement::SHOW_NORMAL);
    table_attach(v, &t);
    table_set_focus(t);
}

void table_window_detach() {
    TableView& v = shared_view();
    table_attach(v, nullptr);
    v.set_shown(false);
    if (v.window() && results_frame().window) backend().show_window(v.window(), WindowPlacement::SHOW_HIDE);
}

void table_window_resize() {
    TableView& v = shared_view();
    if (!v.window() || !backend_installed()) return;
    Rect r = backend().client_rect(v.window());
    v.set_size(r.width(), r.height());
}

void table_window_row_changed() {
    TableView& v = shared_view();
    if (v.shown() && v.table() && v.table()->row_count > 0) v.table()->on_row_changed(v.table()->current_row);
}

bool table_window_find_node(int node) {
    TableView& v = shared_view();
    return v.shown() && v.table() && table_window_find_node(*v.table(), node);
}

bool table_window_flag() {
    TableView& v = shared_view();
    return v.shown() && v.table() && table_rows_have_nodes(*v.table());
}

void table_window_refocus() {
    TableView& v = shared_view();
    if (v.shown() && v.table()) table_window_refocus(*v.table());
}

void table_window_reset() {
    TableView& v = shared_view();
    table_attach(v, nullptr);
    v.destroy();
    v.set_shown(true);
}
