// What the window tests on the Qt backend share about dialogs and windows:
// the widget of a dialog item, whether a dialog shows its texts whole, the
// answering of a modal dialog from a timer,
// a dialog shown and measured once it is laid out, the main and list frames
// with the list window, and whether a rendered page holds any ink.
#pragma once

#include "app/program_dialogs.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "gui/gui_fixture.h"
#include "model/ui/list_window.h"
#include "platform/surface.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QList>
#include <QMessageBox>
#include <QPointer>
#include <QPushButton>
#include <QStyle>
#include <QStyleOptionGroupBox>
#include <QTimer>

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

// Every dialog template of the program and of its library files.
inline std::vector<const DialogTemplate*> all_dialog_templates() {
    std::vector<const DialogTemplate*> all = library_file_dialogs();
    for (const DialogPage& page : program_dialog_pages())
        if (page.fields) all.push_back(page.fields);
    return all;
}

// The object name of a dialog item's widget.
inline QString item_name(int id) { return QStringLiteral("item_%1").arg(id); }

// The dialog item a widget belongs to (an editable drop-down list's line
// edit is its list's, a table's cell editor its table's); null for none.
inline QWidget* item_of(QWidget* w) {
    for (; w; w = w->parentWidget())
        if (w->objectName().startsWith("item_")) return w;
    return nullptr;
}
// The id of that item; 0 for none.
inline int item_id_of(QWidget* w) {
    QWidget* item = item_of(w);
    return item ? item->objectName().mid(5).toInt() : 0;
}

// A widget's rectangle in the coordinates of an ancestor.
inline QRect rect_in(QWidget* w, QWidget* ancestor) { return QRect(w->mapTo(ancestor, QPoint(0, 0)), w->size()); }

// The visible controls of a dialog and their labels: the widgets it was
// built from (group frames left out).
inline std::vector<QWidget*> dialog_controls(QWidget* top) {
    std::vector<QWidget*> out;
    for (QWidget* w : top->findChildren<QWidget*>()) {
        if (!w->isVisible() || qobject_cast<QGroupBox*>(w)) continue;
        auto* label = qobject_cast<QLabel*>(w);
        if (w->objectName().startsWith("item_") || (label && label->buddy())) out.push_back(w);
    }
    return out;
}

// The width a control needs for its whole text; 0 for one whose text may
// wrap or that shows no text of its own.
inline int text_width_needed(QWidget* w) {
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return b->text().isEmpty() ? 0 : b->sizeHint().width();
    if (auto* l = qobject_cast<QLabel*>(w)) return l->wordWrap() || l->text().isEmpty() ? 0 : l->sizeHint().width();
    return 0;
}

// A group frame's caption: the room it takes at the frame's top.
inline int caption_width_needed(QGroupBox* g) {
    QStyleOptionGroupBox option;
    option.initFrom(g);
    option.text = g->title();
    option.subControls = QStyle::SC_GroupBoxLabel | QStyle::SC_GroupBoxFrame;
    option.lineWidth = 1;
    return g->style()->subControlRect(QStyle::CC_GroupBox, &option, QStyle::SC_GroupBoxLabel, g).right() + 1;
}

// What a dialog shows whole, measured in its own font: every visible
// control (and label) at least as wide as its text asks, inside the dialog
// and clear of every other control, push buttons a gap apart; every group
// caption within its frame. Returns how many controls were measured.
inline int expect_dialog_texts_fit(QWidget* top) {
    constexpr int BUTTON_GAP = 4;   // pixels at least between two push buttons
    const QRect inside = top->rect();
    const std::vector<QWidget*> controls = dialog_controls(top);
    auto name_of = [](QWidget* w) {
        auto* label = qobject_cast<QLabel*>(w);
        return w->objectName().isEmpty() && label ? "label \"" + label->text().toStdString() + "\""
                                                  : w->objectName().toStdString();
    };
    for (QWidget* w : controls) {
        const QRect r = rect_in(w, top);
        EXPECT_TRUE(inside.contains(r)) << name_of(w) << " at (" << r.x() << "," << r.y() << " " << r.width() << "x"
                                        << r.height() << ") outside " << inside.width() << "x" << inside.height();
        EXPECT_GE(w->width(), text_width_needed(w)) << name_of(w);
    }
    for (QGroupBox* g : top->findChildren<QGroupBox*>()) {
        if (!g->isVisible() || g->title().isEmpty()) continue;
        EXPECT_GE(g->width(), caption_width_needed(g)) << g->title().toStdString();
    }
    for (std::size_t i = 0; i < controls.size(); ++i)
        for (std::size_t j = i + 1; j < controls.size(); ++j) {
            QWidget* a = controls[i];
            QWidget* b = controls[j];
            if (a->isAncestorOf(b) || b->isAncestorOf(a)) continue;
            const bool buttons = qobject_cast<QPushButton*>(a) && qobject_cast<QPushButton*>(b);
            const int gap = buttons ? BUTTON_GAP / 2 : 0;
            const QMargins around(gap, gap, gap, gap);
            EXPECT_FALSE(rect_in(a, top).marginsAdded(around).intersects(rect_in(b, top).marginsAdded(around)))
                << name_of(a) << " and " << name_of(b);
        }
    return static_cast<int>(controls.size());
}

// A message box that is up: its text recorded and the box closed; false
// when the modal window is none.
inline bool close_message_box(QWidget* modal, std::vector<std::string>& messages) {
    auto* box = qobject_cast<QMessageBox*>(modal);
    if (!box) return false;
    messages.push_back(box->text().toStdString());
    box->accept();
    return true;
}

// Calls `answer` from a timer with the modal window that is up (none: not
// called), for a test that answers what comes up as a user would.
class ModalWatch {
public:
    explicit ModalWatch(std::function<void(QWidget* modal)> answer, int period_ms = 40) : answer_(std::move(answer)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] {
            if (QWidget* modal = QApplication::activeModalWidget()) answer_(modal);
        });
        timer_.start(period_ms);
    }

private:
    std::function<void(QWidget*)> answer_;
    QTimer timer_;
};

// Answers each modal dialog once, by its template's name (a dialog without an
// answer is cancelled); the names seen are kept and message boxes recorded
// and closed.
class DialogsByName {
public:
    std::map<std::string, std::function<void(QDialog*)>> by_name;
    std::vector<std::string> seen, messages;

private:
    void answer(QWidget* modal) {
        if (close_message_box(modal, messages)) return;
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog || !dialog->isVisible() || answered_.contains(dialog)) return;
        answered_.push_back(dialog);
        const std::string name = dialog->objectName().toStdString();
        seen.push_back(name);
        const auto it = by_name.find(name);
        if (it != by_name.end())
            it->second(dialog);
        else
            dialog->reject();
    }
    QList<QPointer<QDialog>> answered_;
    ModalWatch watch_{[this](QWidget* modal) { answer(modal); }, 30};
};

// A push button of a dialog clicked once its own call has returned.
inline void click_later(QDialog* d, int id) {
    if (auto* b = d->findChild<QPushButton*>(item_name(id))) QTimer::singleShot(0, b, &QPushButton::click);
}

// Runs a dialog through the program's dialog helper (which fills the unit
// labels), hands its window to `check` once it is laid out and on the
// screen, and closes it.
struct MeasureDialog : DialogProc {
    std::function<void(QWidget*)> check;
    void shown(Dialog& d) override {
        QWidget* top = gui_backend().widget(d.window());
        if (!top) {
            ADD_FAILURE() << "the dialog has no window";
            d.end(IDCANCEL);
            return;
        }
        // The layout requests the show posted are handled before the timer
        // comes; a dialog closed before then takes the timer with it.
        QTimer::singleShot(50, top, [this, top, &d] {
            check(top->window());
            d.end(IDCANCEL);
        });
    }
};

inline void measure_dialog(const DialogTemplate& t, std::function<void(QWidget*)> check) {
    gui_backend();
    MeasureDialog m;
    m.check = std::move(check);
    run_dialog(t, m, 0);
}

// Answers the next modal dialog: types the texts into its edits (as typed:
// each emits textEdited), clicks the buttons and presses OK. Message boxes on
// the way are recorded and closed; a dialog seen a second time (a refused
// OK) is cancelled so that the test cannot hang.
class DialogAnswer {
public:
    explicit DialogAnswer(std::map<int, std::string> texts, std::vector<int> clicks = {})
        : texts_(std::move(texts)), clicks_(std::move(clicks)) {
        QObject::connect(&timer_, &QTimer::timeout, [this] { poll(); });
        timer_.start(50);
    }
    ~DialogAnswer() { timer_.stop(); }

    std::vector<std::string> messages;
    std::string caption;
    int answered = 0;
    bool missing_widget = false;

private:
    void poll() {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal) return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            messages.push_back(box->text().toStdString());
            box->accept();
            return;
        }
        auto* dialog = qobject_cast<QDialog*>(modal);
        if (!dialog) return;
        if (answered > 0) {
            dialog->reject();
            return;
        }
        ++answered;
        caption = dialog->windowTitle().toStdString();
        for (const auto& [id, text] : texts_) {
            auto* edit = dialog->findChild<QLineEdit*>(item_name(id));
            if (!edit) {
                missing_widget = true;
                continue;
            }
            edit->setFocus();
            edit->selectAll();
            edit->insert(QString::fromStdString(text));
        }
        for (int id : clicks_) {
            if (auto* button = dialog->findChild<QAbstractButton*>(item_name(id)))
                button->click();
            else
                missing_widget = true;
        }
        auto* ok = dialog->findChild<QPushButton*>(item_name(IDOK));
        if (!ok) {
            missing_widget = true;
            dialog->reject();
            return;
        }
        ok->click();
    }

    std::map<int, std::string> texts_;
    std::vector<int> clicks_;
    QTimer timer_;
};

// The main frame and the list frame with the list window, as the program
// makes them at start-up, and their end.
inline void open_list_frames() {
    gui_backend();
    frame_create(main_frame(), PRODUCT_NAME, PRODUCT_NAME, nullptr, "LAYOUT_MENU", nullptr, "LAYOUT_ACCEL");
    frame_create(list_frame(), "KorvaneList", PRODUCT_NAME, nullptr, "LIST_MENU", nullptr, "LIST_ACCEL");
    list_frame().previous_frame = &main_frame();
    create_list_window();
}

inline void close_list_frames() {
    close_list_window();
    destroy_list_window();
    frame_destroy(list_frame());
    frame_destroy(main_frame());
    backend().process_events();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

// True when an image holds a pixel that is not white.
inline bool has_ink(const Image& img) {
    for (uint32_t p : img.pixels)
        if ((p & 0x00FFFFFFu) != 0x00FFFFFFu) return true;
    return false;
}
