// Dialogs built from templates: the modal window (HostDialog) and the control
// set of one template (QtDialog), which a plain dialog has once and a property
// sheet once per page. Used only inside this folder.
#pragma once

#include "platform/qt/qt_internal.h"

#include <QDialog>
#include <QGridLayout>
#include <QLabel>
#include <QMargins>

#include <map>
#include <vector>

namespace kvqt {

// The modal run shared by a dialog or by all pages of a sheet.
struct ModalSession {
    QPointer<QDialog> host;
    bool running = false;   // the modal loop has started
    bool ended = false;
    int result = 0;
    int depth = 0;          // program callbacks running now

    // Ends once the running callbacks have returned.
    void end(int r);
    void finish_if_ended();
};

// The modal window. OK, Cancel, Enter, Escape and the close box all come
// through accept() and reject(), which ask the procedure first.
class HostDialog : public QDialog {
public:
    explicit HostDialog(QWidget* parent);
    std::function<void()> on_ok;
    std::function<void()> on_cancel;
    std::function<void()> on_first_show;   // once, after the first show
    std::function<void()> on_help;         // F1

    void accept() override;
    void reject() override;

protected:
    void keyPressEvent(QKeyEvent* e) override;
    void showEvent(QShowEvent* e) override;

private:
    bool shown_ = false;
};

class QtDialog : public Dialog {
public:
    // The widgets go into `container`: the host itself or a page of a sheet.
    QtDialog(QtBackend& backend, const DialogTemplate& t, DialogProc& proc, WindowId owner,
             ModalSession& session, QWidget* container, bool page);
    ~QtDialog() override;
    QtDialog(const QtDialog&) = delete;
    QtDialog& operator=(const QtDialog&) = delete;

    void build();
    // Runs a procedure callback; finishes the modal loop when it ended the dialog.
    void dispatch(const char* where, const std::function<void()>& f);
    void run_init();
    void run_shown();   // once
    bool run_ok();      // the procedure's answer (false when it failed)
    bool run_cancel();
    void run_help();
    // Puts a client window (a table view) into the first free Table place.
    bool embed_client(QWidget* client);
    // The widgets are about to be destroyed: no callback may run any more.
    void detach();
    // Applies the template's preferred size.
    void fit();
    QWidget* container() const { return container_; }
    DialogProc& proc() { return proc_; }

    // Called by the focus watcher of the items.
    void focus_changed(int id, bool gained, Qt::FocusReason reason);
    // An arrow key on the radio button of item `index`: the button `step`
    // places on in its group (-1 the one before) that takes the focus,
    // round from the last to the first, gets it and is chosen.
    void choose_radio_beside(size_t index, int step);

    const DialogTemplate& templ() const override { return t_; }
    int owner() const override { return owner_; }
    void set_caption(const std::string& caption) override;
    std::string caption() const override;
    bool has_item(int id) const override;
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
    int focused() const override;
    void point_to(int id) override;
    void redirect_focus(int id, int window) override;
    int embed_client(int id, ClientEvents* events) override;
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
    void set_item_min_size(int id, int width, int height) override;
    void center_on_owner(int cursor_item) override;
    void move_to(int x, int y) override;
    void set_timer(int timer_id, int milliseconds) override;
    void kill_timer(int timer_id) override;
    bool visible() const override;
    int window() const override { return window_; }
    void end(int result) override { session_.end(result); }
    bool ended() const override { return session_.ended; }

private:
    struct Item {
        const ControlSpec* control = nullptr;
        QWidget* widget = nullptr;       // the control
        QLabel* label = nullptr;         // its label in the label cell
        QWidget* cell = nullptr;         // what sits in the grid: the control or a margin box around it
        QWidget* label_cell = nullptr;
        int radio_group = -1;
        QPointer<QWidget> client;        // a table view put into a Table place
    };
    struct Area {
        int row0, row1, col0, col1;   // grid cells, inclusive
        QMargins frame;               // the group box's own margins (caption and frame line)
    };

    Item* item(int id);
    const Item* item(int id) const;
    QWidget* make_control(Item& it);
    QLabel* pending_icon_ = nullptr;   // the icon make_control made for the static it returned
    QWidget* place(QWidget* w, int row, int col, int rowspan, int colspan, const ControlSpec* self);
    void connect_item(Item& it);
    void radio_clicked(size_t index);
    void mark_radio_stop(int group);
    bool takes_focus(const Item& it) const;   // enabled and shown
    void enter_absolute();
    void move_item_pixels(int id, int x, int y);
    // Out of the grid, a check box or radio button is made as wide as its
    // text (the grid never sized one that was hidden when it was laid out),
    // and a push button put at a place of its own as large as its text asks:
    // the grid made it as wide as its column, which may be wider than the
    // room between the places the buttons are put at.
    void widen_to_text(Item& it);
    // A static's text set while the dialog is up: the dialog grows until
    // the texts stand whole, as wide as a line that does not wrap asks and
    // as high as the lines of one that wraps take, never past the screen
    // (a line longer than that wraps or is cut there). It never shrinks, so
    // that it does not jump as texts come and go.
    void grow_to_texts();
    // Puts the items the procedure placed at their places, each column of
    // places moved right as far as the texts to its left need (the places
    // are in dialog units, which do not know how wide a text or a button
    // is in the font and style in use), and grows the dialog to hold them.
    void spread_places();
    // Grows the dialog to hold a visible item put at a place of its own.
    void hold(const Item& it);
    // The focus chain of the items (the button row given by item index).
    void set_tab_order(const std::vector<size_t>& bottom_buttons);
    // Links the widgets of tab_order_ in that order.
    void chain_tab_order();
    int du_x(int units) const;
    int du_y(int units) const;

    QtBackend& backend_;
    QObject context_;   // receiver of every connection: they end with the dialog object
    DialogTemplate t_;
    DialogProc& proc_;
    WindowId owner_;
    ModalSession& session_;
    QPointer<QWidget> container_;
    bool page_;
    WindowId window_ = 0;

    QGridLayout* grid_ = nullptr;
    std::vector<Area> groups_;
    std::vector<Item> items_;
    std::vector<QWidget*> tab_order_;           // the items' widgets in the order Tab visits them
    std::map<int, size_t> index_;               // id -> first item with it
    std::vector<std::vector<size_t>> radio_groups_;
    std::map<int, WindowId> redirects_;
    std::map<int, QPointer<QTimer>> timers_;
    std::map<int, int> character_limits_;   // id -> characters a text field holds
    bool absolute_ = false;     // items have left the grid after a move
    std::map<int, QPoint> places_;   // id -> where the procedure put the item (pixels)
    bool places_changed_ = false;
    bool dead_ = false;
    bool shown_done_ = false;
    int quiet_ = 0;             // programmatic changes under way: no notifications
};

}  // namespace kvqt
