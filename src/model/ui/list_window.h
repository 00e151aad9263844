// The list window: the frame that shows the model's data lists (materials,
// sections, loads, the rows of each element and data kind...) one table at a
// time, and `ListCommand`, its command handler.
//
// Each subsystem registers the lists it owns (register_data_list); the data-
// list chooser (command 302) offers them with their counts. A table that is
// opened records itself as the table opened last (set_last_table_opener), and
// the window's Copy (363), Paste (364) and Export (351) act on it.
//
// Library and qualification modes lend the list frame to a library or to an
// equipment data set; while one is entered, ListCommand routes the file
// commands to it and its save question runs before New, Open and Close.
#pragma once

#include "framework/ui/table.h"
#include "platform/backend.h"

#include <functional>
#include <optional>
#include <set>
#include <string>
#include <vector>

struct ToolBarPair;

// ---- Data lists -------------------------------------------------------------------

struct DataList {
    std::string name;                  // "Anchors"
    std::function<int()> count;        // records or rows listed now
    std::function<void()> open;        // shows the list's table in the list window
    bool input = false;                // an input table: offered also when empty
    int misc_command = 0;              // its item of the Misc menus (CMD_PUMPS), greyed in
                                       // results mode while the list is empty; 0 none
};
// Adds a list, or replaces the one of the same name (the chooser keeps the
// order in which lists were first added).
void register_data_list(DataList list);
void unregister_data_list(const std::string& name);
const std::vector<DataList>& data_lists();
// The lists the chooser offers now: every input list, and every other list
// that is not empty. Each entry reads "Anchors (3)".
std::vector<const DataList*> offered_data_lists();
std::string data_list_entry(const DataList& list);

// The chooser (DATA_LISTS_DIALOG); opens the chosen list. False when
// cancelled; "There are no data lists to show" when none is offered.
bool data_list_command(WindowId owner);

// The table of the rows of one element or data kind (RowListId), the
// fallback list of each kind until its subsystem registers its own.
void show_kind_rows(int list_id);

// ---- The window ---------------------------------------------------------------------

TableView& list_view();
// Makes the list view the client of the list frame (which must exist).
void create_list_window();
void destroy_list_window();
// Shows a table in the list window and brings the window to the front.
void show_in_list_window(TableWindow& table);
// The table the list window shows; null when none.
TableWindow* list_window_table();
// While one lasts, the lists' tables open without being shown (a report
// prints them one after the other): an opener lays its table out in a view
// of its own that no window shows, and list_window_table() answers that
// table; the list window is neither shown, raised, retitled nor given the
// focus, and the lower pane keeps what it holds. When it ends, the list
// window shows again the table it showed, its caret in the cell it stood in
// and scrolled as it was, and the table opened last is again the one it was.
class ListTablesUnshown {
public:
    ListTablesUnshown();
    ~ListTablesUnshown();
    ListTablesUnshown(const ListTablesUnshown&) = delete;
    ListTablesUnshown& operator=(const ListTablesUnshown&) = delete;

private:
    TableWindow* shown_ = nullptr;
    int row_ = 1, column_ = 1, top_row_ = 0, h_scroll_ = 0;   // where the shown table stood
    TableWindow* last_table_ = nullptr;
    std::function<void()> last_reopen_;
};
// Detaches the shown table and hides the list window.
void close_list_window();
// Stores what the list window still holds: the open edits of both panes,
// what the lower pane holds apart from the data (the property grid's rows),
// through its write-back, and the shown table's input row when it holds
// what was typed into it, entered as Enter enters it (table_enter_typed_input).
// False when a value is refused (the message has been shown and the caret
// is where the refusal put it).
bool commit_list_window_edits();

// ---- The lower pane -------------------------------------------------------------------

// A shown table may lend a second table to show under it (the materials table
// its property grid). The bar between the two panes can be dragged; the mouse
// goes to the pane under the pointer, keys and typing to the active pane, and
// F6 switches panes. `write_back` puts into the data what the lower table
// holds apart from it: it runs, after the pane's open edit is stored, when
// the caret leaves the lower pane (F6, a click into the upper pane, the pane
// removed) and when a command needs the data (commit_list_window_edits).
// The upper pane is active when the lower pane is shown.
void show_list_lower_pane(TableWindow& table, std::function<void()> write_back = {});
void remove_list_lower_pane();
// The table of the lower pane; null when there is none.
TableWindow* list_lower_table();
TableView& list_lower_view();
bool list_lower_pane_active();
// Makes the lower (true) or the upper pane active. False when the caret
// stays where it is: no lower pane, or a typed value it refused.
bool activate_list_pane(bool lower);
// The share of the client height the lower pane takes (clamped to 0.1..0.9).
double list_lower_share();
void set_list_lower_share(double share);
// The split bar between the panes, in client coordinates (empty without a
// lower pane).
Rect list_split_bar();

// The table opened last, which Copy, Paste and Export act on; `reopen`, when
// given, brings it up to date again (before an export and after the model
// changed). Every opener calls it once the table shows its row: the caret
// goes to the first column of the current row that takes typing.
void set_last_table_opener(TableWindow& table, std::function<void()> reopen = {});
void clear_last_table_opener();
TableWindow* last_opened_table();
// Runs the reopen function of the table opened last, when it is shown.
void refresh_list_window();

// Opens a table of records in the list window: loaded, shown, row `row`
// current (`notify` as table_goto_row), and the table opened last, brought up
// to date by its load().
template <typename T>
void open_in_list_window(T& table, int row, bool notify)
{
    table.load();
    show_in_list_window(table);
    table_goto_row(table, row, 0, notify);
    set_last_table_opener(table, [&table] { table.load(); });
}
// Loads a table again when the list window shows it.
template <typename T>
void reload_if_shown(T& table)
{
    if (list_window_table() == &table)
        table.load();
}

// A table of the layout rows of one of the model's row lists (the rows of an
// element, data item or support kind): table row r shows layout row
// row_list[r].
class LayoutRowsTable : public TableWindow {
public:
    using TableWindow::TableWindow;

    // The layout row of a table row; 0 for none (the input row).
    int layout_row(int row) const;

protected:
    // Lists the rows of row list `list_id` under `title_text`; with
    // `to_current` the current layout row's line becomes current when it is
    // listed. The frame's caption becomes "<title>  (<count>) ".
    void list_rows(int list_id, const std::string& title_text, bool to_current);
};

// ---- Modes ---------------------------------------------------------------------------

struct ListMode {
    enum Kind { Model, Library, Qualification };
    Kind kind = Model;
    std::string name;                          // the data set's name in questions
    // Asked before New, Open and Close and when the window closes while
    // model_modified is set: true when the command may go on.
    std::function<bool(WindowId owner)> ask_save;
    // Serves the commands routed to the mode.
    std::function<void(int id)> command;
    // Leaves the mode (the window's close box, or a document that replaces it).
    std::function<void()> leave;
    // The mode's Analyze command (qualification modes: 40040, 40053, 40082).
    int analyze_command = 0;
    // The tool bars the list frame shows in the mode; null keeps its own.
    const ToolBarPair* bars = nullptr;
    // Further commands the mode serves itself through `command` (a library's
    // Save, its options dialogs...); the list frame serves them while the
    // mode lasts.
    std::set<int> commands;
};
void enter_list_mode(ListMode mode);
// What a mode takes over of the list frame, to give it back on leaving.
struct ListFrameLoan {
    std::optional<WindowPlacement> placement;
    Menu menu;
    const AcceleratorTable* accelerators = nullptr;
    std::string title;
};
// Hides the main window and gives the list frame the mode's menu and
// accelerator table and, when given, its placement (kept hidden until the
// frame is shown); what the frame had is returned.
ListFrameLoan lend_list_frame(const std::string& menu, const std::string& accelerators,
                              const std::optional<WindowPlacement>& placement);
// Detaches the shown table, hides the list frame and gives it back its
// placement (hidden), menu, accelerator table and title.
void return_list_frame(const ListFrameLoan& loan);
// Back to the model: the list frame gets its own tool bars again.
void leave_list_mode();
const ListMode& list_mode();
bool in_library_mode();
bool in_qualification_mode();

// ---- Local axes ------------------------------------------------------------------------

// The local-axes display that the highlight of an element reads (command 327).
bool local_axes_display();
void set_local_axes_display(bool on);
struct ListWindowHooks {
    // Redraws the highlight after the local-axes display changed.
    std::function<void()> refresh_highlight;
};
ListWindowHooks& list_window_hooks();

// ---- Commands ----------------------------------------------------------------------------

// The list frame's command handler: serves the command and returns true, or
// returns false for a command it leaves to the command registry.
bool ListCommand(int id);
// The commands ListCommand takes from the list frame.
const std::set<int>& list_command_ids();
// The list frame's close box: in a library or qualification mode the save
// question, leaving the mode and closing the main window; otherwise the
// window hides and the layout window comes back. False: the frame stays.
bool list_window_close();
// Gives the list frame its commands and close box, and registers the
// data-list chooser and the local-axes toggle with the command registry.
void install_list_window_commands();
