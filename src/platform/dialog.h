// Modal dialogs built from templates. A dialog procedure is a class with init,
// command and the OK / Cancel handling; it touches the controls only through
// the Dialog object, by id. The backends implement Dialog: the Qt one with real
// widgets, the headless one with control state in memory.
#pragma once

#include "platform/resources.h"

#include <map>
#include <string>

class Dialog;
class ClientEvents;

class DialogProc {
public:
    virtual ~DialogProc() = default;
    // Fill the controls; called once before the dialog is shown.
    virtual void init(Dialog&) {}
    // A control changed or was clicked. IDOK and IDCANCEL arrive at ok() and cancel().
    virtual void command(Dialog&, int /*id*/, int /*notification*/) {}
    // OK pressed (or Enter): true closes the dialog with IDOK.
    virtual bool ok(Dialog&) { return true; }
    // Cancel pressed, Escape or the close box: true closes the dialog with IDCANCEL.
    virtual bool cancel(Dialog&) { return true; }
    // A timer set with Dialog::set_timer elapsed.
    virtual void timer(Dialog&, int /*timer_id*/) {}
    // The dialog has been drawn on screen for the first time.
    virtual void shown(Dialog&) {}
    // F1 in the dialog (the help request): true when the procedure served it.
    virtual bool on_help(Dialog&) { return false; }
};

class Dialog {
public:
    virtual ~Dialog() = default;

    virtual const DialogTemplate& templ() const = 0;
    virtual int owner() const = 0;                  // owning window id, 0 for none
    virtual void set_caption(const std::string& caption) = 0;
    virtual std::string caption() const = 0;

    virtual bool has_item(int id) const = 0;
    // The text of an edit, a static, a combo box's edit field or a button.
    // A text field (an edit or an editable combo) shows only what it can
    // hold of the text set_text gives it: a byte that is no part of a UTF-8
    // character shows as U+FFFD, and a text longer than the field's limit is
    // cut there. While the field still shows what it showed then, its text
    // is the one given, byte for byte, so that a text that the user did not
    // change reads back as it was given; a field the user changed gives what
    // it shows.
    std::string text(int id) const;
    void set_text(int id, const std::string& text);
    // True while text field `id` shows what set_text last put into it: its
    // text is then the one given.
    bool shows_text_given(int id) const;
    virtual void set_limit(int id, int limit) = 0;  // edit character limit, 0 none
    virtual void set_readonly(int id, bool readonly) = 0;
    virtual bool is_readonly(int id) const = 0;
    virtual void enable(int id, bool enabled) = 0;
    virtual bool is_enabled(int id) const = 0;
    virtual void show(int id, bool visible) = 0;
    virtual bool is_shown(int id) const = 0;
    virtual void focus(int id, bool select_all) = 0;
    virtual int focused() const = 0;                // id of the focused control, 0 none
    virtual void point_to(int id) = 0;              // mouse pointer onto the control
    // Focus that lands on `id` goes to `window` instead (a table view in the dialog).
    virtual void redirect_focus(int id, int window) = 0;
    // Puts a client window into the Table control `id` (a table view), in
    // place of one put there before; its events go to `events` until the
    // dialog closes or the window is destroyed. The window id, 0 when `id` is
    // not a Table control.
    virtual int embed_client(int id, ClientEvents* events) = 0;

    virtual bool is_checked(int id) const = 0;
    virtual void check(int id, bool checked) = 0;

    // Combo boxes and list boxes.
    virtual void list_reset(int id) = 0;
    virtual void list_add(int id, const std::string& text) = 0;
    virtual void list_select(int id, int index) = 0;  // -1 clears the selection
    virtual int list_selection(int id) const = 0;     // -1 when none
    virtual int list_count(int id) const = 0;
    virtual std::string list_text(int id, int index) const = 0;

    // Layout in dialog units (a quarter of the average character width across,
    // an eighth of the character height down).
    virtual void move_item(int id, int x, int y) = 0;
    virtual void move_item_x(int id, int x, int y_pixels) = 0;
    virtual void resize(int width, int height) = 0;  // client size; the dialog is then centred
    // The least size of an item in pixels (a table place sized to its
    // table); the dialog grows to hold it.
    virtual void set_item_min_size(int /*id*/, int /*width*/, int /*height*/) {}
    virtual void center_on_owner(int cursor_item) = 0;
    virtual void move_to(int x, int y) = 0;          // screen position in pixels

    virtual void set_timer(int timer_id, int milliseconds) = 0;
    virtual void kill_timer(int timer_id) = 0;

    virtual bool visible() const = 0;                // shown on screen yet
    virtual int window() const = 0;                  // the dialog's own window id
    // Ends the modal loop with the result once the current callback returns.
    virtual void end(int result) = 0;
    virtual bool ended() const = 0;

protected:
    // What the control shows, and showing a text in it: the backend's part
    // of text and set_text.
    virtual std::string shown_text(int id) const = 0;
    virtual void show_text(int id, const std::string& text) = 0;

private:
    bool takes_text_typed(int id) const;

    // Each text field's text as set_text gave it and as the field showed it then.
    struct GivenText {
        std::string given;
        std::string shown;
    };
    std::map<int, GivenText> given_;
};

// A page of a property sheet: its template and procedure.
struct PropertyPage {
    const DialogTemplate* templ = nullptr;
    DialogProc* proc = nullptr;
};
