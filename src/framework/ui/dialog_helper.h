// The dialog helper: every dialog procedure sets, reads and checks its controls
// through these calls, which act on the dialog whose callback is running.
//
//   struct ExampleDialog : DialogProc {
//       void init(Dialog& d) override;           // fill the controls
//       bool ok(Dialog& d) override;             // check in order; dialog_throw on the first failure
//   };
//   int result = run_dialog(EXAMPLE_DIALOG, proc, owner);
//
// run_dialog catches a MessageText thrown by init, command or ok, shows it with
// message_error and refocuses the item named in the failure (dialog_report_error);
// the dialog stays open.
#pragma once

#include "framework/errors.h"
#include "platform/backend.h"
#include "platform/dialog.h"

#include <cstddef>
#include <map>
#include <string>
#include <utility>
#include <vector>

// A dialog that edits the document. While input is locked (results are
// shown) run_dialog opens it read-only: its fields show their values but
// take no typing, its choices (combo and list boxes, radio buttons, check
// boxes) are greyed, Cancel is hidden and OK, captioned "Close", closes it
// as Cancel does, so that nothing can be typed only to be dropped. Its other
// buttons stay as the procedure sets them: a dialog they open is read-only
// in the same way when it is an input dialog too.
class InputDialogProc : public DialogProc {
public:
    // A choice that only picks what the dialog shows (which of several
    // records, say), and so stays live while input is locked.
    virtual bool chooses_what_is_shown(int /*id*/) const { return false; }
};

// The caption of OK in an input dialog opened while input is locked.
inline constexpr const char* LOCKED_DIALOG_CLOSE_TEXT = "Close";

// An input dialog whose command took an undo snapshot before it opened:
// Cancel drops the snapshot.
class SnapshotDialogProc : public InputDialogProc {
public:
    bool cancel(Dialog& d) override;
};

class DialogHelper {
public:
    Dialog* dialog = nullptr;
    int item = 0;            // item last read or named in a failure
    int list_item = 0;       // combo remembered by dialog_list_reset / dialog_item
};

// The helper of the dialog whose callback is running (null outside dialogs).
DialogHelper* current_dialog_helper();

// Runs a modal dialog; returns IDOK, IDCANCEL or the value passed to Dialog::end.
int run_dialog(const DialogTemplate& t, DialogProc& proc, WindowId owner = 0);
void dialog_attach(Dialog& d);

// Reading.
// At most 39 characters, upper case, blanks removed but for one that splits
// a number (so that "5 6" is refused, not read as 56).
void dialog_get_text(int item);
// These read a field's text as Dialog::text gives it: the bytes the dialog
// gave it while the field still shows them.
void dialog_get_trimmed(int item);      // at most 39 characters, outer blanks removed
std::string dialog_get_text_raw(int item, int size);  // raw text of at most size - 1 characters
// True while a field shows the text the dialog gave it: the user has not
// changed it (Dialog::shows_text_given).
bool dialog_text_as_given(int item);
// Reads a field that shows a record's text (a description, a tag, a title)
// into item_text. While the field still shows the text the dialog gave it,
// item_text is that text as it was given, byte for byte, whatever the field
// could show of it (nothing cut, trimmed or coded), and the result is true:
// a text the user did not change is written back as it is stored. Else it
// is the text as typed, outer blanks removed and, with `max_bytes`, cut to
// that many bytes of whole characters (with no blank left at its end); the
// result is false, and the caller checks it as typed text is checked.
bool dialog_get_record_text(int item, std::size_t max_bytes = 0);
// A direction from the items first, first + 1 and first + 2 read as reals
// (x, y, z). An unreadable component throws "X comp =  <text>  is invalid"
// (or Y, Z) on its item; three zeros throw "Direction is invalid" on the
// first item. Nothing is stored on a failure.
void read_direction(int first, float& x, float& y, float& z);
// Setting.
void dialog_set_text(int item, const std::string& text);
void dialog_set_text_limit(int item, const std::string& text, int limit);
void dialog_set_default_text(int item);
void dialog_set_unit_label(int item, int quantity);
// State.
void dialog_set_readonly(int item);
void dialog_clear_readonly(int item);
void dialog_disable(int item);
void dialog_enable_item(int item, bool enabled);
void dialog_show(int item);
void dialog_hide(int item);
void dialog_set_focus(int item);
void dialog_select_focus(int item);
void dialog_point_to_item(int item);
void dialog_redirect_focus(int item, WindowId window);
// Buttons.
void dialog_set_radio(int first, int last, int checked);
bool dialog_is_checked(int item);
void dialog_check(int item, bool checked);
// Combo boxes.
void dialog_item(int item);             // make a combo current for the following list calls
void dialog_list_reset(int item);
void dialog_list_add(const std::string& text);
void dialog_list_select_current(int index);
void dialog_list_select(int item, int index);
int dialog_list_selection(int item);
// List boxes.
void dialog_listbox_add(int item, const std::string& text);
void dialog_listbox_select(int item, int index);
int dialog_listbox_selection(int item);
// Layout.
void dialog_move_item(int item, int x, int y);
void dialog_move_item_x(int item, int x, int y_pixels);
void dialog_resize(int width, int height);
// Errors.
[[noreturn]] void dialog_throw(int item, const std::string& text);
void dialog_report_error(const std::string& text);

// The shared default entry text of combos and fields ("Default").
const std::string& default_entry_text();

// Positioning: a dialog whose owner is the graphics frame goes to the
// remembered point, any other is centred over its owner.
void place_dialog(Dialog& d, bool flag = false);
void set_graphics_dialog_point(WindowId graphics_frame, Point p);
void center_window(Dialog& d, int cursor_item = 0);

// Property sheets made of dialog pages.
struct PropertySheet {
    std::string caption;
    std::vector<PropertyPage> pages;
    int start_page = 0;
    WindowId owner = 0;
};
void init_property_pages(PropertySheet& sheet, int count);
void set_property_page(PropertySheet& sheet, int page, const DialogTemplate& t, DialogProc& proc);
void init_property_sheet(PropertySheet& sheet, WindowId owner, const std::string& caption,
                         int start_page);
int run_property_sheet(PropertySheet& sheet);

// The texts a dialog shows for stored values, with the exact values behind
// them. A shown text is rounded; a field whose text is still the one shown
// keeps its exact value at OK, so that OK without a change changes nothing.
class ShownValues {
public:
    // Shows the text in the item of the current dialog and remembers it.
    void show(int item, float value, const std::string& text);
    // True (and the exact value) while the item still shows its text; an
    // item shown empty is never unchanged (it is read and checked as typed).
    bool unchanged(int item, float& value) const;

private:
    std::map<int, std::pair<std::string, float>> shown_;
};
