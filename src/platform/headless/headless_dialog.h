// A dialog without a window: the state of every control is kept in memory,
// initialised from the template. Besides the Dialog interface that procedures
// use, it offers what a user does (type, press, select), so that a test script
// can drive the procedure exactly as a person at the screen would.
#pragma once

#include "platform/backend.h"
#include "platform/dialog.h"

#include <map>
#include <string>
#include <vector>

class HeadlessBackend;
class HeadlessSheet;

class HeadlessDialog : public Dialog {
public:
    struct Control {
        ControlSpec control;
        std::string text;
        bool enabled = true;
        bool visible = true;
        bool readonly = false;
        bool checked = false;
        int limit = 0;
        std::vector<std::string> items;
        int selection = -1;
        int x = -1, y = -1;          // position after move_item (dialog units; y pixels after move_item_x)
        int focus_window = 0;        // redirect_focus target
        int client = 0;              // the window put into a Table control
    };

    HeadlessDialog(HeadlessBackend& backend, const DialogTemplate& t, DialogProc& proc, WindowId owner,
                   WindowId window);
    ~HeadlessDialog() override;
    HeadlessDialog(const HeadlessDialog&) = delete;
    HeadlessDialog& operator=(const HeadlessDialog&) = delete;

    // --- Dialog ---
    const DialogTemplate& templ() const override { return templ_; }
    int owner() const override { return owner_; }
    void set_caption(const std::string& caption) override { caption_ = caption; }
    std::string caption() const override { return caption_; }

    bool has_item(int id) const override;
    // What a control shows (a text field: what it holds of the text it was
    // given, see Dialog::text).
    std::string shown_text(int id) const override;
    void show_text(int id, const std::string& text) override;
    void set_limit(int id, int limit) override;
    void set_readonly(int id, bool readonly) override;
    bool is_readonly(int id) const override;
    void enable(int id, bool enabled) override;
    bool is_enabled(int id) const override;
    void show(int id, bool visible) override;
    bool is_shown(int id) const override;
    void focus(int id, bool select_all) override;
    int focused() const override { return focused_; }
    void point_to(int id) override;
    void redirect_focus(int id, int window) override;
    // The client is a window of the backend that is its own frame, sized
    // from the control (CLIENT_WIDTH, and CLIENT_ROW_HEIGHT a grid row), so
    // that Script::paint, key, mouse and resize reach it by its id.
    int embed_client(int id, ClientEvents* events) override;
    static constexpr int CLIENT_WIDTH = 400;
    static constexpr int CLIENT_ROW_HEIGHT = 20;

    bool is_checked(int id) const override;
    void check(int id, bool checked) override;

    void list_reset(int id) override;
    void list_add(int id, const std::string& text) override;
    void list_select(int id, int index) override;
    int list_selection(int id) const override;
    int list_count(int id) const override;
    std::string list_text(int id, int index) const override;

    void move_item(int id, int x, int y) override;
    void move_item_x(int id, int x, int y_pixels) override;
    void resize(int width, int height) override;
    void center_on_owner(int cursor_item) override;
    void move_to(int x, int y) override;

    void set_timer(int timer_id, int milliseconds) override;
    void kill_timer(int timer_id) override;

    bool visible() const override { return visible_; }
    int window() const override { return window_; }
    void end(int result) override;
    bool ended() const override { return ended_; }

    // --- what the user does; each returns false when a person could not do it
    // (no such control, disabled, hidden, read-only, index out of range, dialog closed) ---

    // Clicks into an edit or editable combo, replaces its text (cut to the
    // control's limit, as typing would be) and sends NOTIFY_CHANGE; an
    // editable combo's selection becomes the entry that the text is, if any.
    // Into a combo without an edit field or a list box the keys come one soon
    // after another and choose an entry as on the screen (list_typing.h),
    // with NOTIFY_SELCHANGE whenever the selection moves.
    bool type(int id, const std::string& text);
    // IDOK asks proc.ok and closes on true; IDCANCEL asks proc.cancel likewise
    // (both work without a button: Enter and Escape). A check box toggles, a
    // radio button checks itself and clears its group; then NOTIFY_CLICKED.
    bool press(int id);
    // Chooses an entry of a combo or list box and sends NOTIFY_SELCHANGE.
    bool select(int id, int index);
    // Chooses the entry with the text.
    bool select_text(int id, const std::string& text);
    bool double_click(int id, int index);
    // A click on an entry of a list box: it is selected (NOTIFY_SELCHANGE),
    // then, for a list that takes a click as its choice (CF_CLICK_CHOOSES),
    // NOTIFY_CLICKED.
    bool click_item(int id, int index);
    // Moves the focus as the Tab key or a click does (NOTIFY_KILLFOCUS to the
    // control that had it, NOTIFY_SETFOCUS to the new one).
    bool click_into(int id);
    // F1 in the dialog: its procedure's help; false when it did not serve it.
    bool help_key();
    // Fires this dialog's due timers, advancing the virtual clock.
    void advance(int milliseconds);

    // --- inspection ---
    int result() const { return result_; }
    const Control* control(int id) const;
    const std::vector<Control>& controls() const { return controls_; }
    std::vector<std::pair<int, std::string>> static_texts() const;
    bool text_selected() const { return select_all_; }   // the last focus() selected all
    int pointer_item() const { return pointer_item_; }
    Point position() const { return position_; }
    int width() const { return width_; }
    int height() const { return height_; }
    DialogProc& proc() { return proc_; }

    // Run by the backend.
    void mark_shown() { visible_ = true; }
    void set_sheet(HeadlessSheet* sheet) { sheet_ = sheet; }

private:
    Control* find(int id);
    const Control* find(int id) const;
    Control* need(int id);                        // notes a missing control as a fault
    const Control* need(int id) const;
    Control* usable(int id, const char* action);  // enabled and visible, else noted as refused
    void radio_group_clear(int id);
    bool type_into_list(int id, const std::string& text);
    void send_command(int id, int notification);

    HeadlessBackend& backend_;
    const DialogTemplate& templ_;
    DialogProc& proc_;
    WindowId owner_;
    WindowId window_;
    HeadlessSheet* sheet_ = nullptr;
    std::string caption_;
    std::vector<Control> controls_;
    int focused_ = 0;
    bool select_all_ = false;
    int pointer_item_ = 0;
    bool visible_ = false;
    bool ended_ = false;
    int result_ = 0;
    Point position_{};
    int width_ = 0, height_ = 0;
};

// A property sheet: one headless dialog per page with the sheet's OK, Cancel
// and page tabs. Every page is initialised when the sheet opens.
class HeadlessSheet {
public:
    HeadlessSheet(HeadlessBackend& backend, const std::string& caption, const std::vector<PropertyPage>& pages,
                  int start_page, WindowId owner, WindowId first_window);
    const std::string& caption() const { return caption_; }
    int page_count() const { return static_cast<int>(pages_.size()); }
    HeadlessDialog& page(int index) { return *pages_.at(static_cast<size_t>(index)); }
    int current_page() const { return current_; }
    bool show_page(int index);
    // OK asks every page's ok() in order and closes when all agree.
    bool press_ok();
    bool press_cancel();
    bool ended() const { return ended_; }
    int result() const { return result_; }
    void end(int result);

private:
    std::string caption_;
    std::vector<std::unique_ptr<HeadlessDialog>> pages_;
    int current_ = 0;
    bool ended_ = false;
    int result_ = 0;
};

// The headless dialog behind a Dialog reference (a test script's handler gets
// one); aborts when the dialog is not headless.
HeadlessDialog& headless(Dialog& d);
