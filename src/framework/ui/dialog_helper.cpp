#include "framework/ui/dialog_helper.h"

#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/ui/help.h"
#include "framework/ui/messages.h"
#include "framework/units.h"

#include <memory>
#include <optional>

namespace {

// The helpers of the dialogs whose callbacks are running, innermost last: a
// dialog opened from another dialog's command has its own helper, and the
// outer one is current again when the inner dialog has closed.
// The helpers of the dialogs whose callbacks run, innermost last; and where a
// dialog of the graphics frame goes.
struct DialogHelperState {
    std::vector<DialogHelper*> helper_stack;
    std::optional<Point> graphics_point;
    WindowId graphics_frame_id = 0;
};
DialogHelperState& helper_state() { return session_part<DialogHelperState>(); }

struct CurrentHelper {
    CurrentHelper(DialogHelper& h, Dialog& d) {
        h.dialog = &d;
        helper_state().helper_stack.push_back(&h);
    }
    ~CurrentHelper() { helper_state().helper_stack.pop_back(); }
    CurrentHelper(const CurrentHelper&) = delete;
    CurrentHelper& operator=(const CurrentHelper&) = delete;
};

// Runs a callback of the wrapped procedure with this dialog's helper current
// and turns a thrown message into a message dialog; false when it threw.
template <class F>
bool guarded(DialogHelper& helper, Dialog& d, F&& call) {
    CurrentHelper current(helper, d);
    try {
        call();
        return true;
    } catch (const MessageText& m) {
        dialog_report_error(m.text);
    } catch (const CI& e) {
        dialog_report_error(e.message);
    } catch (const MsgCmd& e) {
        dialog_report_error(e.message);
    } catch (const MsgColCmd& e) {
        dialog_report_error(e.message);
    }
    return false;
}

// Wraps a dialog procedure so that every callback runs with the dialog's
// helper current and a failure stays inside the dialog: the message is shown,
// the item named in it gets the focus and the dialog stays open. A failing
// init shows its message and closes the dialog with IDCANCEL, as a dialog that
// could not be filled cannot be used.
class GuardedProc : public DialogProc {
public:
    explicit GuardedProc(DialogProc& inner)
        : inner_(inner), input_(dynamic_cast<InputDialogProc*>(&inner)) {}

    // Unit statics show the label of their quantity's chosen unit before the
    // procedure fills the rest; an input dialog is then made read-only
    // while input is locked.
    void init(Dialog& d) override {
        for (const ControlSpec& c : d.templ().controls)
            if (c.kind == ControlKind::Unit && c.quantity != 0) d.set_text(c.id, unit_label(c.quantity));
        if (!guarded(helper_, d, [&] { inner_.init(d); })) {
            d.end(IDCANCEL);
            return;
        }
        locked_ = input_ && input_locked();
        if (locked_) lock_input(d, *input_);
    }
    void command(Dialog& d, int id, int notification) override {
        guarded(helper_, d, [&] { inner_.command(d, id, notification); });
    }
    bool ok(Dialog& d) override {
        bool close = false;
        if (locked_) {
            // Close: as Cancel, so that the procedure stores nothing.
            guarded(helper_, d, [&] { close = inner_.cancel(d); });
            if (close && !d.ended()) d.end(IDCANCEL);
            return false;
        }
        guarded(helper_, d, [&] { close = inner_.ok(d); });
        return close;
    }
    bool cancel(Dialog& d) override {
        bool close = false;
        guarded(helper_, d, [&] { close = inner_.cancel(d); });
        return close;
    }
    void timer(Dialog& d, int timer_id) override {
        guarded(helper_, d, [&] { inner_.timer(d, timer_id); });
    }
    void shown(Dialog& d) override {
        guarded(helper_, d, [&] { inner_.shown(d); });
    }
    // F1: what the procedure does for it; else its Help button, where it
    // has one; else the dialog's page of the guide.
    bool on_help(Dialog& d) override {
        guarded(helper_, d, [&] {
            if (inner_.on_help(d)) return;
            if (d.has_item(IDHELP) && d.is_shown(IDHELP) && d.is_enabled(IDHELP))
                inner_.command(d, IDHELP, NOTIFY_CLICKED);
            else
                help_page(d.templ().name, d.window());
        });
        return true;
    }

private:
    static void lock_input(Dialog& d, const InputDialogProc& proc) {
        for (const ControlSpec& c : d.templ().controls) {
            if (proc.chooses_what_is_shown(c.id)) continue;
            switch (c.kind) {
            case ControlKind::Edit: d.set_readonly(c.id, true); break;
            case ControlKind::Combo:
            case ControlKind::List:
            case ControlKind::Radio:
            case ControlKind::Check: d.enable(c.id, false); break;
            default: break;
            }
        }
        if (d.has_item(IDCANCEL)) d.show(IDCANCEL, false);
        if (d.has_item(IDOK)) {
            d.set_text(IDOK, LOCKED_DIALOG_CLOSE_TEXT);
            d.enable(IDOK, true);
            d.show(IDOK, true);
            d.focus(IDOK, false);
        }
    }

    DialogProc& inner_;
    DialogHelper helper_;
    const InputDialogProc* input_;   // the procedure when it edits the document
    bool locked_ = false;            // opened read-only
};

Dialog* current_dialog() {
    DialogHelper* h = current_dialog_helper();
    return h ? h->dialog : nullptr;
}

// The first `count` characters of a text; a UTF-8 sequence is one character.
std::string first_chars(const std::string& text, int count) {
    if (count <= 0) return {};
    int chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == count) return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

bool is_blank(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

std::string without_outer_blanks(const std::string& text) {
    size_t b = 0, e = text.size();
    while (b < e && is_blank(text[b])) ++b;
    while (e > b && is_blank(text[e - 1])) --e;
    return text.substr(b, e - b);
}

// Field reads take at most this many characters, as the parsers expect.
constexpr int FIELD_READ_CHARS = 39;

std::optional<Point>& graphics_point() { return helper_state().graphics_point; }

}  // namespace

DialogHelper* current_dialog_helper() {
    const std::vector<DialogHelper*>& stack = helper_state().helper_stack;
    return stack.empty() ? nullptr : stack.back();
}

int run_dialog(const DialogTemplate& t, DialogProc& proc, WindowId owner) {
    GuardedProc guarded_proc(proc);
    return backend().run_dialog(t, guarded_proc, owner);
}

void dialog_attach(Dialog& d) {
    if (DialogHelper* h = current_dialog_helper()) h->dialog = &d;
}

// --- reading ------------------------------------------------------------------

void dialog_get_text(int item) {
    std::string& out = item_text();
    out.clear();
    DialogHelper* h = current_dialog_helper();
    if (!h || !h->dialog) return;
    h->item = item;
    // One blank stays where it splits a number, which the parsers then refuse.
    out = upper_case(squeeze_blanks(first_chars(h->dialog->text(item), FIELD_READ_CHARS)));
}

void dialog_get_trimmed(int item) {
    std::string& out = item_text();
    out.clear();
    DialogHelper* h = current_dialog_helper();
    if (!h || !h->dialog) return;
    h->item = item;
    out = without_outer_blanks(first_chars(h->dialog->text(item), FIELD_READ_CHARS));
}

bool dialog_text_as_given(int item) {
    DialogHelper* h = current_dialog_helper();
    return h && h->dialog && h->dialog->shows_text_given(item);
}

bool dialog_get_record_text(int item, std::size_t max_bytes) {
    std::string& out = item_text();
    out.clear();
    DialogHelper* h = current_dialog_helper();
    if (!h || !h->dialog) return false;
    h->item = item;
    out = h->dialog->text(item);
    if (h->dialog->shows_text_given(item)) return true;
    out = without_outer_blanks(out);
    if (max_bytes > 0 && out.size() > max_bytes) out = without_outer_blanks(std::string(utf8_prefix(out, max_bytes)));
    return false;
}

void read_direction(int first, float& x, float& y, float& z) {
    static const char* const NAMES[] = {"X comp", "Y comp", "Z comp"};
    float v[3] = {0.0f, 0.0f, 0.0f};
    for (int i = 0; i < 3; ++i) {
        dialog_get_text(first + i);
        if (parse_real_buffer(v[i]) != 0) throw_invalid(NAMES[i]);
    }
    if (v[0] == 0.0f && v[1] == 0.0f && v[2] == 0.0f) dialog_throw(first, "Direction is invalid");
    x = v[0];
    y = v[1];
    z = v[2];
}

std::string dialog_get_text_raw(int item, int size) {
    DialogHelper* h = current_dialog_helper();
    if (!h || !h->dialog) return {};
    h->item = item;
    return first_chars(h->dialog->text(item), size - 1);
}

// --- setting and state ------------------------------------------------------------

void dialog_set_text(int item, const std::string& text) {
    if (Dialog* d = current_dialog()) d->set_text(item, text);
}

void dialog_set_text_limit(int item, const std::string& text, int limit) {
    if (Dialog* d = current_dialog()) {
        d->set_limit(item, limit);
        d->set_text(item, text);
    }
}

const std::string& default_entry_text() {
    static const std::string text = "Default";
    return text;
}

void dialog_set_default_text(int item) { dialog_set_text(item, default_entry_text()); }

void dialog_set_unit_label(int item, int quantity) { dialog_set_text(item, unit_label(quantity)); }

void dialog_set_readonly(int item) {
    if (Dialog* d = current_dialog()) d->set_readonly(item, true);
}

void dialog_clear_readonly(int item) {
    if (Dialog* d = current_dialog()) d->set_readonly(item, false);
}

void dialog_disable(int item) { dialog_enable_item(item, false); }

void dialog_enable_item(int item, bool enabled) {
    if (Dialog* d = current_dialog()) d->enable(item, enabled);
}

void dialog_show(int item) {
    if (Dialog* d = current_dialog()) d->show(item, true);
}

void dialog_hide(int item) {
    if (Dialog* d = current_dialog()) d->show(item, false);
}

void dialog_set_focus(int item) {
    if (Dialog* d = current_dialog()) d->focus(item, false);
}

void dialog_select_focus(int item) {
    if (Dialog* d = current_dialog()) d->focus(item, true);
}

void dialog_point_to_item(int item) {
    if (Dialog* d = current_dialog()) d->point_to(item);
}

void dialog_redirect_focus(int item, WindowId window) {
    if (Dialog* d = current_dialog()) d->redirect_focus(item, window);
}

// --- buttons and lists ------------------------------------------------------------

void dialog_set_radio(int first, int last, int checked) {
    Dialog* d = current_dialog();
    if (!d) return;
    for (int id = first; id <= last; ++id) d->check(id, id == checked);
}

bool dialog_is_checked(int item) {
    Dialog* d = current_dialog();
    return d && d->is_checked(item);
}

void dialog_check(int item, bool checked) {
    if (Dialog* d = current_dialog()) d->check(item, checked);
}

void dialog_item(int item) {
    if (DialogHelper* h = current_dialog_helper()) h->list_item = item;
}

void dialog_list_reset(int item) {
    DialogHelper* h = current_dialog_helper();
    if (!h || !h->dialog) return;
    h->list_item = item;
    h->dialog->list_reset(item);
}

void dialog_list_add(const std::string& text) {
    DialogHelper* h = current_dialog_helper();
    if (h && h->dialog && h->list_item != 0) h->dialog->list_add(h->list_item, text);
}

void dialog_list_select_current(int index) {
    DialogHelper* h = current_dialog_helper();
    if (h && h->dialog && h->list_item != 0) h->dialog->list_select(h->list_item, index);
}

void dialog_list_select(int item, int index) {
    if (Dialog* d = current_dialog()) d->list_select(item, index);
}

int dialog_list_selection(int item) {
    Dialog* d = current_dialog();
    return d ? d->list_selection(item) : -1;
}

void dialog_listbox_add(int item, const std::string& text) {
    if (Dialog* d = current_dialog()) d->list_add(item, text);
}

void dialog_listbox_select(int item, int index) {
    if (Dialog* d = current_dialog()) d->list_select(item, index);
}

int dialog_listbox_selection(int item) {
    Dialog* d = current_dialog();
    return d ? d->list_selection(item) : -1;
}

// --- layout ----------------------------------------------------------------------------

void dialog_move_item(int item, int x, int y) {
    if (Dialog* d = current_dialog()) d->move_item(item, x, y);
}

void dialog_move_item_x(int item, int x, int y_pixels) {
    if (Dialog* d = current_dialog()) d->move_item_x(item, x, y_pixels);
}

void dialog_resize(int width, int height) {
    if (Dialog* d = current_dialog()) d->resize(width, height);
}

// --- errors ----------------------------------------------------------------------------

void dialog_throw(int item, const std::string& text) {
    if (DialogHelper* h = current_dialog_helper()) h->item = item;
    throw MessageText(text);
}

// An empty text cancels silently: no message, and the focus stays where it is.
void dialog_report_error(const std::string& text) {
    if (text.empty()) return;
    DialogHelper* h = current_dialog_helper();
    Dialog* d = h ? h->dialog : nullptr;
    message_error(d ? d->window() : 0, text);
    if (d && h->item != 0 && d->visible() && !d->ended() && d->has_item(h->item)) d->focus(h->item, true);
}

// --- placement -------------------------------------------------------------------------

void set_graphics_dialog_point(WindowId graphics_frame, Point p) {
    helper_state().graphics_frame_id = graphics_frame;
    graphics_point() = p;
}

// With `flag` the mouse pointer goes onto the OK button as well.
void place_dialog(Dialog& d, bool flag) {
    if (helper_state().graphics_frame_id != 0 && d.owner() == helper_state().graphics_frame_id && graphics_point()) {
        d.move_to(graphics_point()->x, graphics_point()->y);
        if (flag && d.has_item(IDOK)) d.point_to(IDOK);
        return;
    }
    center_window(d, flag ? IDOK : 0);
}

void center_window(Dialog& d, int cursor_item) { d.center_on_owner(cursor_item); }

// --- property sheets ------------------------------------------------------------------------

void init_property_pages(PropertySheet& sheet, int count) {
    sheet.pages.assign(count > 0 ? static_cast<size_t>(count) : 0, PropertyPage{});
}

void set_property_page(PropertySheet& sheet, int page, const DialogTemplate& t, DialogProc& proc) {
    if (page < 0 || page >= static_cast<int>(sheet.pages.size())) return;
    sheet.pages[static_cast<size_t>(page)] = PropertyPage{&t, &proc};
}

void init_property_sheet(PropertySheet& sheet, WindowId owner, const std::string& caption, int start_page) {
    sheet.owner = owner;
    sheet.caption = caption;
    sheet.start_page = start_page;
}

// Each page's procedure is guarded as a dialog's is, with its own helper.
int run_property_sheet(PropertySheet& sheet) {
    std::vector<std::unique_ptr<GuardedProc>> procs;
    std::vector<PropertyPage> pages;
    for (const PropertyPage& p : sheet.pages) {
        if (!p.templ || !p.proc) return IDCANCEL;
        procs.push_back(std::make_unique<GuardedProc>(*p.proc));
        pages.push_back(PropertyPage{p.templ, procs.back().get()});
    }
    if (pages.empty()) return IDCANCEL;
    int start = sheet.start_page >= 0 && sheet.start_page < static_cast<int>(pages.size()) ? sheet.start_page : 0;
    return backend().run_property_sheet(sheet.caption, pages, start, sheet.owner);
}

void ShownValues::show(int item, float value, const std::string& text) {
    dialog_set_text(item, text);
    shown_[item] = {text, value};
}

bool ShownValues::unchanged(int item, float& value) const {
    const auto it = shown_.find(item);
    // An empty field is read (and checked) as typed.
    if (it == shown_.end() || it->second.first.empty() || dialog_get_text_raw(item, 256) != it->second.first)
        return false;
    value = it->second.second;
    return true;
}

bool SnapshotDialogProc::cancel(Dialog&) {
    discard_undo_snapshot();
    return true;
}
