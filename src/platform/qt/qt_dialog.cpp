// Dialogs from templates. Each logical column c of a template takes two grid
// columns: 2c for the label and 2c+1 for the field; a unit label in column c
// stands in grid column 2c, right beside the field of column c - 1. Group
// boxes are real QGroupBoxes laid into the cells they cover, under the
// controls they hold; those controls get a margin so that they stay inside
// the frame, below its caption. Push buttons from row 100 on form the button
// row at the bottom.
//
// Moving an item (move_item) takes every item out of the grid: from then on
// the dialog keeps the positions the grid gave and only moved items change.
#include "platform/qt/qt_dialog.h"

#include "platform/list_typing.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QCompleter>
#include <QCursor>
#include <QDialogButtonBox>
#include <QElapsedTimer>
#include <QFocusEvent>
#include <QFontMetrics>
#include <QFrame>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QListView>
#include <QListWidget>
#include <QPalette>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QShortcutEvent>
#include <QStyle>
#include <QTabWidget>
#include <QValidator>
#include <QVBoxLayout>

#include <algorithm>
#include <array>
#include <map>
#include <set>
#include <vector>

using namespace kvqt;

namespace {

constexpr int BUTTON_ROW = 100;   // template rows from here on belong to the bottom button row
// The property that marks a dialog's own default button, which Ctrl+Enter
// presses even while another push button has the focus.
constexpr const char* MAIN_DEFAULT = "korvaneMainDefault";
constexpr int GROUP_SIDE = 10;    // pixels between a group frame and what it holds
constexpr int GROUP_BOTTOM = 8;
constexpr int GROUP_PAD = 4;      // pixels inside the frame's own margins

// A field that takes no typing shows the window's colour behind its text, so
// that it is not taken for one that does.
void show_read_only(QWidget* field, bool readonly) {
    QPalette p = field->palette();
    p.setColor(QPalette::Base, QApplication::palette(field).color(readonly ? QPalette::Window : QPalette::Base));
    field->setPalette(p);
}

bool has_mnemonic(const QString& s) {
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] != '&') continue;
        if (i + 1 < s.size() && s[i + 1] == '&') {
            ++i;
            continue;
        }
        return i + 1 < s.size();
    }
    return false;
}

bool field_kind(ControlKind k) { return k == ControlKind::Edit || k == ControlKind::Combo || k == ControlKind::List; }

// A static that heads the field under it: no field stands right after it
// on its own line (there it would be that field's label), and a field
// stands directly under it in the same column. It goes over the field's
// part of the column, so that it stands above the field and not above the
// labels of the lines beside.
bool heads_field_below(const DialogTemplate& t, const ControlSpec& c) {
    constexpr unsigned ICONS = CF_ICON_INFO | CF_ICON_WARNING | CF_ICON_ERROR | CF_ICON_QUESTION;
    if (c.kind != ControlKind::Static || (c.flags & ICONS)) return false;
    bool below = false;
    for (const ControlSpec& f : t.controls) {
        if (!field_kind(f.kind)) continue;
        if (f.row == c.row && f.col == c.col + std::max(1, c.span)) return false;
        if (f.row == c.row + 1 && f.col == c.col) below = true;
    }
    return below;
}

QString strip_mnemonic(const QString& s) {
    QString out;
    for (qsizetype i = 0; i < s.size(); ++i) {
        if (s[i] == '&') {
            if (i + 1 < s.size() && s[i + 1] == '&') out += '&', ++i;
            continue;
        }
        out += s[i];
    }
    return out;
}

Qt::Alignment text_alignment(unsigned flags) {
    Qt::Alignment h = (flags & CF_RIGHT) ? Qt::AlignRight : (flags & CF_CENTER) ? Qt::AlignHCenter : Qt::AlignLeft;
    return h | Qt::AlignVCenter;
}

// Typing in a list chooses an entry by the platform's rule (list_typing.h),
// in place of Qt's search, which goes on to the next match even when the
// entry shown is the one typed ("1" over "1" gave 10).
class TypedChoice {
public:
    // The row of `view` that the key's text chooses from row `current` (-1
    // for none); `current` when it chooses none.
    int choose(const QAbstractItemView& view, int current, const QString& text) {
        const std::string& typed = typing_.key(ss(text), now(), QApplication::keyboardInputInterval());
        std::vector<std::string> entries;
        if (const QAbstractItemModel* model = view.model()) {
            const int column = entry_column(view);
            for (int row = 0; row < model->rowCount(view.rootIndex()); ++row)
                entries.push_back(ss(model->index(row, column, view.rootIndex()).data(Qt::DisplayRole).toString()));
        }
        return typed_list_entry(entries, current, typed);
    }
    void clear() { typing_.clear(); }

    static int entry_column(const QAbstractItemView& view) {
        const auto* list = qobject_cast<const QListView*>(&view);
        return list ? list->modelColumn() : 0;
    }
    // The text of a key that types into the list; empty for a key that does
    // something else (a command key its command; Space, unless it goes on a
    // typed text, opens a drop-down list or selects a list box's entry).
    QString typed_text(const QKeyEvent& e) {
        if (command_key(e.modifiers())) return {};
        const QString text = e.text();
        if (text.isEmpty() || !text.at(0).isPrint()) return {};
        if (e.key() == Qt::Key_Space && !typing_.going_on(now(), QApplication::keyboardInputInterval())) return {};
        return text;
    }

private:
    int64_t now() {
        if (!clock_.isValid()) clock_.start();
        return clock_.elapsed();
    }

    ListTyping typing_;
    QElapsedTimer clock_;
};

// List boxes and multi-line edits as tall as the grid rows they cover, not as
// tall as Qt would like.
class TemplateList : public QListWidget {
public:
    QSize sizeHint() const override { return QSize(QListWidget::sizeHint().width(), minimumHeight()); }
    void keyboardSearch(const QString& text) override {
        if (text.isEmpty()) {
            typed_.clear();
            return;
        }
        const int current = currentRow();
        const int chosen = typed_.choose(*this, current, text);
        if (chosen >= 0 && (chosen != current || !item(chosen)->isSelected()))
            setCurrentRow(chosen, QItemSelectionModel::ClearAndSelect);
    }

protected:
    // A new visit to the list starts a new text.
    void focusInEvent(QFocusEvent* e) override {
        typed_.clear();
        QListWidget::focusInEvent(e);
    }
    void keyPressEvent(QKeyEvent* e) override {
        // A blank within a typed text goes on it ("Guide rail").
        if (e->key() == Qt::Key_Space && !typed_.typed_text(*e).isEmpty()) {
            e->accept();
            keyboardSearch(e->text());
            return;
        }
        QListWidget::keyPressEvent(e);
    }

private:
    TypedChoice typed_;
};

// A drop-down list that chooses by the same rule, closed (the choice made
// at once, as a click on the entry makes it) and open (the entry
// highlighted, Enter chooses it). A list with an edit field takes the keys
// as text.
class TemplateCombo : public QComboBox {
public:
    TemplateCombo() { view()->installEventFilter(this); }

protected:
    // A new visit to the list, or its list opened, starts a new text.
    void focusInEvent(QFocusEvent* e) override {
        typed_.clear();
        QComboBox::focusInEvent(e);
    }
    void showPopup() override {
        typed_.clear();
        QComboBox::showPopup();
    }
    void keyPressEvent(QKeyEvent* e) override {
        const QString text = lineEdit() ? QString() : typed_.typed_text(*e);
        if (text.isEmpty()) {
            QComboBox::keyPressEvent(e);
            return;
        }
        e->accept();
        const int chosen = typed_.choose(*view(), currentIndex(), text);
        if (chosen < 0 || chosen == currentIndex()) return;
        setCurrentIndex(chosen);
        emit activated(chosen);
    }
    bool eventFilter(QObject* watched, QEvent* e) override {
        if (watched == view() && e->type() == QEvent::KeyPress && !lineEdit()) {
            const QString text = typed_.typed_text(*static_cast<QKeyEvent*>(e));
            if (!text.isEmpty()) {
                QAbstractItemView* v = view();
                const int current = v->currentIndex().isValid() ? v->currentIndex().row() : -1;
                const int chosen = typed_.choose(*v, current, text);
                if (chosen >= 0 && chosen != current)
                    v->setCurrentIndex(v->model()->index(chosen, TypedChoice::entry_column(*v), v->rootIndex()));
                return true;
            }
        }
        return QComboBox::eventFilter(watched, e);
    }

private:
    TypedChoice typed_;
};

class TemplateText : public QPlainTextEdit {
public:
    QSize sizeHint() const override { return QSize(QPlainTextEdit::sizeHint().width(), minimumHeight()); }
};

// A text field's limit counts characters (code points), as the program's
// checks count a name's, not the UTF-16 units that Qt counts, of which a
// character outside the Basic Multilingual Plane takes two.
int character_count(const QString& s) {
    int n = 0;
    for (const QChar c : s)
        if (!c.isLowSurrogate()) ++n;
    return n;
}

// The text's first `limit` characters; all of it for a limit of 0.
QString first_characters(const QString& s, int limit) {
    if (limit <= 0) return s;
    int n = 0;
    for (qsizetype i = 0; i < s.size(); ++i)
        if (!s.at(i).isLowSurrogate() && n++ == limit) return s.left(i);
    return s;
}

// What a line edit types within its limit: maxLength leaves room for two
// units a character, and this takes no text of more characters.
class CharacterLimit : public QValidator {
public:
    CharacterLimit(int limit, QObject* parent) : QValidator(parent), limit_(limit) {}
    State validate(QString& text, int&) const override {
        return character_count(text) <= limit_ ? Acceptable : Invalid;
    }

private:
    int limit_;
};

// The limit of a line edit, which cuts what it holds there.
void set_character_limit(QLineEdit* e, int limit) {
    const QValidator* old = e->validator();
    if (dynamic_cast<const CharacterLimit*>(old)) {
        e->setValidator(nullptr);
        delete old;
    }
    e->setMaxLength(limit > 0 ? std::min(2 * limit, 32767) : 32767);
    if (limit <= 0) return;
    e->setValidator(new CharacterLimit(limit, e));
    if (character_count(e->text()) > limit) e->setText(first_characters(e->text(), limit));
}

// Tells the dialog when one of its items gains or loses the focus.
class FocusWatcher : public QObject {
public:
    FocusWatcher(QtDialog& d, int id, QObject* parent) : QObject(parent), d_(d), id_(id) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() == QEvent::FocusIn || e->type() == QEvent::FocusOut)
            d_.focus_changed(id_, e->type() == QEvent::FocusIn, static_cast<QFocusEvent*>(e)->reason());
        return false;
    }

private:
    QtDialog& d_;
    int id_;
};

// A button's key (Alt and its underlined letter) presses it at once, as
// Space does: Qt's pressed look lasts a tenth of a second before the click,
// and a key typed meanwhile (Tab, the next value) would reach the dialog
// before the button's command had enabled and focused what it serves.
// Ctrl+Enter on a focused push button is the dialog's, not the button's
// (a push button takes Enter with any modifier).
class PressByKey : public QObject {
public:
    using QObject::QObject;
    bool eventFilter(QObject* o, QEvent* e) override {
        auto* b = qobject_cast<QAbstractButton*>(o);
        if (b && e->type() == QEvent::KeyPress && qobject_cast<QPushButton*>(b)) {
            auto* k = static_cast<QKeyEvent*>(e);
            if ((k->key() == Qt::Key_Return || k->key() == Qt::Key_Enter) &&
                (k->modifiers() & ~Qt::KeypadModifier) == Qt::ControlModifier) {
                if (auto* host = dynamic_cast<HostDialog*>(b->window())) {
                    QKeyEvent to_dialog(k->type(), k->key(), k->modifiers(), k->text());
                    QCoreApplication::sendEvent(host, &to_dialog);
                    return true;
                }
            }
        }
        if (!b || e->type() != QEvent::Shortcut || static_cast<QShortcutEvent*>(e)->isAmbiguous()) return false;
        if (!b->isEnabled()) return true;
        if (b->focusPolicy() != Qt::NoFocus) b->setFocus(Qt::ShortcutFocusReason);
        b->click();
        return true;
    }
};

// The arrow keys in a group of radio buttons choose the button before or
// after (Up and Left, Down and Right), as its click chooses it.
class RadioArrows : public QObject {
public:
    RadioArrows(QtDialog& d, size_t index, QObject* parent) : QObject(parent), d_(d), index_(index) {}
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::KeyPress) return false;
        auto* ke = static_cast<QKeyEvent*>(e);
        if (command_key(ke->modifiers())) return false;
        const int k = ke->key();
        const int step = k == Qt::Key_Up || k == Qt::Key_Left ? -1 : k == Qt::Key_Down || k == Qt::Key_Right ? 1 : 0;
        if (step == 0) return false;
        d_.choose_radio_beside(index_, step);
        return true;
    }

private:
    QtDialog& d_;
    size_t index_;
};

// Owns a host window unless its parent window took it down first.
class HostHolder {
public:
    explicit HostHolder(HostDialog* host) : host_(host) {}
    ~HostHolder() { delete host_.data(); }
    HostHolder(const HostHolder&) = delete;
    HostHolder& operator=(const HostHolder&) = delete;
    HostDialog* get() const { return host_.data(); }

private:
    QPointer<HostDialog> host_;
};

}  // namespace

// ---------------------------------------------------------------------------

void ModalSession::end(int r) {
    if (ended) return;
    ended = true;
    result = r;
    if (depth == 0) finish_if_ended();
}

void ModalSession::finish_if_ended() {
    if (ended && running && host) host->done(result);
}

HostDialog::HostDialog(QWidget* parent) : QDialog(parent) {
    setModal(true);
    setSizeGripEnabled(false);
}

void HostDialog::accept() {
    if (on_ok) on_ok();
}

void HostDialog::reject() {
    if (on_cancel) on_cancel();
}

void HostDialog::keyPressEvent(QKeyEvent* e) {
    const Qt::KeyboardModifiers mods = e->modifiers() & ~Qt::KeypadModifier;
    bool plain = e->modifiers() == Qt::NoModifier ||
                 (e->modifiers() == Qt::KeypadModifier && e->key() == Qt::Key_Enter);
    // Ctrl+Tab and Ctrl+Shift+Tab move on as Tab and Shift+Tab do: they are
    // the keys that leave a table, where Tab goes from cell to cell.
    if ((mods & ~Qt::ShiftModifier) == Qt::ControlModifier &&
        (e->key() == Qt::Key_Tab || e->key() == Qt::Key_Backtab)) {
        focusNextPrevChild(e->key() == Qt::Key_Tab && !(mods & Qt::ShiftModifier));
        return;
    }
    // Ctrl+Enter presses the dialog's own default button wherever the focus
    // stands: in a table, where Enter goes to the next row, and on another
    // push button, which Enter presses (Qt makes a focused push button the
    // default one for the while).
    const bool own_default =
        mods == Qt::ControlModifier && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter);
    if (own_default || (plain && (e->key() == Qt::Key_Return || e->key() == Qt::Key_Enter))) {
        for (QPushButton* b : findChildren<QPushButton*>()) {
            const bool chosen = own_default ? b->property(MAIN_DEFAULT).toBool() : b->isDefault();
            if (chosen && b->isVisible()) {
                if (b->isEnabled()) b->click();
                return;
            }
        }
        accept();   // no default button: Enter means OK
        return;
    }
    if (plain && e->key() == Qt::Key_Escape) {
        reject();
        return;
    }
    if (e->modifiers() == Qt::NoModifier && e->key() == Qt::Key_F1 && on_help) {
        on_help();
        return;
    }
    QDialog::keyPressEvent(e);
}

void HostDialog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (shown_) return;
    shown_ = true;
    if (on_first_show) QTimer::singleShot(0, this, [this] {
            if (on_first_show) on_first_show();
        });
}

// ---------------------------------------------------------------------------

QtDialog::QtDialog(QtBackend& backend, const DialogTemplate& t, DialogProc& proc, WindowId owner,
                   ModalSession& session, QWidget* container, bool page)
    : backend_(backend), t_(t), proc_(proc), owner_(owner), session_(session), container_(container),
      page_(page) {
    window_ = backend_.state().add_window(container, page ? WindowKind::Page : WindowKind::Dialog);
    backend_.state().dialogs[window_] = this;
}

QtDialog::~QtDialog() {
    dead_ = true;
    backend_.state().dialogs.erase(window_);
    backend_.state().remove_window(window_);
    for (auto& [id, timer] : timers_)
        if (timer) timer->stop();
}

void QtDialog::detach() {
    dead_ = true;
    // The windows put into Table places outlive no callback either.
    for (Item& it : items_)
        if (auto* c = dynamic_cast<ClientWidget*>(it.client.data())) c->events = nullptr;
    for (auto& [id, timer] : timers_)
        if (timer) timer->stop();
}

QtDialog::Item* QtDialog::item(int id) {
    if (dead_ || !container_) return nullptr;
    auto it = index_.find(id);
    return it == index_.end() ? nullptr : &items_[it->second];
}

const QtDialog::Item* QtDialog::item(int id) const {
    if (dead_ || !container_) return nullptr;
    auto it = index_.find(id);
    return it == index_.end() ? nullptr : &items_[it->second];
}

int QtDialog::du_x(int units) const {
    QFontMetrics fm(container_->font());
    return units * std::max(1, fm.averageCharWidth()) / 4;
}

int QtDialog::du_y(int units) const {
    QFontMetrics fm(container_->font());
    return units * std::max(1, fm.height()) / 8;
}

// Building -------------------------------------------------------------------

void QtDialog::build() {
    QFontMetrics fm(container_->font());
    auto* outer = new QVBoxLayout(container_);
    grid_ = new QGridLayout();
    outer->addLayout(grid_);
    outer->addStretch(1);

    for (const ControlSpec& c : t_.controls) {
        if (c.kind != ControlKind::Group) continue;
        int col0 = 2 * std::max(0, c.col);
        // The frame's own margins with this caption in this style: the
        // caption's height and the frame line above the first row it holds.
        QGroupBox probe(qs(c.text), container_);
        probe.ensurePolished();
        const QMargins frame = probe.contentsMargins();
        groups_.push_back(Area{c.row, c.row + std::max(1, c.rows) - 1, col0, col0 + 2 * std::max(1, c.span) - 1,
                               frame});
        // The caption needs its own height above the first row the group holds.
        grid_->addItem(new QSpacerItem(0, frame.top() + GROUP_PAD), std::max(0, c.row), col0);
    }

    std::vector<size_t> bottom_buttons;
    items_.reserve(t_.controls.size());
    for (const ControlSpec& c : t_.controls) {
        items_.push_back(Item{});
        Item& it = items_.back();
        it.control = &c;
        size_t index = items_.size() - 1;
        if (c.id != 0 && !index_.count(c.id)) index_[c.id] = index;
        it.widget = make_control(it);
        it.widget->setObjectName(QStringLiteral("item_%1").arg(c.id));
        it.widget->setParent(container_);

        int row = std::max(0, c.row), col = 2 * std::max(0, c.col);
        int rows = std::max(1, c.rows), span = std::max(1, c.span);
        // A unit label without a text of its own stands in the label cell
        // after its field, right beside it.
        bool labelled = c.kind == ControlKind::Edit || c.kind == ControlKind::Combo ||
                        c.kind == ControlKind::List || (c.kind == ControlKind::Unit && !c.text.empty());
        if (c.kind == ControlKind::Button && c.row >= BUTTON_ROW) {
            bottom_buttons.push_back(index);
        } else if (c.kind == ControlKind::Group) {
            it.cell = it.widget;
            grid_->addWidget(it.widget, row, col, rows, 2 * span);
        } else if (labelled) {
            if (!c.text.empty()) {
                it.label = new QLabel(qs(c.text), container_);
                it.label->setBuddy(it.widget);
                it.label_cell = place(it.label, row, col, 1, 1, &c);
            }
            it.cell = place(it.widget, row, col + 1, rows, 2 * span - 1, &c);
        } else if (heads_field_below(t_, c)) {
            it.cell = place(it.widget, row, col + 1, rows, 2 * span - 1, &c);
        } else if (pending_icon_) {
            auto* box = new QWidget(container_);
            auto* line = new QHBoxLayout(box);
            line->setContentsMargins(0, 0, 0, 0);
            line->addWidget(pending_icon_, 0, Qt::AlignTop);
            line->addWidget(it.widget, 1);
            pending_icon_ = nullptr;
            it.cell = place(box, row, col, rows, 2 * span, &c);
        } else {
            it.cell = place(it.widget, row, col, rows, 2 * span, &c);
        }
        connect_item(it);
        if (c.flags & CF_DISABLED) {
            it.widget->setEnabled(false);
            if (it.label) it.label->setEnabled(false);
        }
        if (c.flags & CF_HIDDEN)
            for (QWidget* part : {it.widget, it.cell, static_cast<QWidget*>(it.label), it.label_cell})
                if (part) part->setVisible(false);
    }

    // A static's mnemonic leads to the next field, as the keyboard user expects.
    for (size_t i = 0; i < items_.size(); ++i) {
        Item& it = items_[i];
        auto* label = qobject_cast<QLabel*>(it.widget);
        if (!label || it.control->kind != ControlKind::Static || (it.control->flags & (CF_ICON_INFO | CF_ICON_WARNING |
                                                                                   CF_ICON_ERROR | CF_ICON_QUESTION)))
            continue;
        QWidget* buddy = nullptr;
        if (has_mnemonic(label->text())) {
            for (size_t j = i + 1; j < items_.size() && !buddy; ++j) {
                ControlKind k = items_[j].control->kind;
                if (k == ControlKind::Edit || k == ControlKind::Combo || k == ControlKind::List) buddy = items_[j].widget;
            }
        }
        if (buddy) label->setBuddy(buddy);
        else label->setText(strip_mnemonic(label->text()));
    }

    // A group of radio buttons is a run of them in template order with ids
    // counting up by one and nothing but group boxes between them (as the
    // scripted backend has it).
    size_t previous = items_.size();   // the last radio seen
    for (size_t i = 0; i < items_.size(); ++i) {
        if (items_[i].control->kind != ControlKind::Radio) continue;
        bool continues = previous < i && items_[previous].control->id + 1 == items_[i].control->id;
        for (size_t j = previous + 1; continues && j < i; ++j)
            continues = items_[j].control->kind == ControlKind::Group;
        if (!continues) radio_groups_.emplace_back();
        previous = i;
        radio_groups_.back().push_back(i);
        items_[i].radio_group = static_cast<int>(radio_groups_.size() - 1);
        items_[i].widget->installEventFilter(new RadioArrows(*this, i, &context_));
    }
    for (size_t g = 0; g < radio_groups_.size(); ++g) mark_radio_stop(static_cast<int>(g));

    // The default button: the one marked so, else OK.
    QPushButton* default_button = nullptr;
    for (Item& it : items_) {
        auto* b = qobject_cast<QPushButton*>(it.widget);
        if (b && (it.control->flags & CF_DEFAULT)) default_button = b;
    }
    if (!default_button)
        if (Item* ok = item(IDOK)) default_button = qobject_cast<QPushButton*>(ok->widget);
    if (default_button) {
        default_button->setDefault(true);
        default_button->setProperty(MAIN_DEFAULT, true);
    }

    if (!bottom_buttons.empty()) {
        std::stable_sort(bottom_buttons.begin(), bottom_buttons.end(), [&](size_t a, size_t b) {
            const ControlSpec& x = *items_[a].control;
            const ControlSpec& y = *items_[b].control;
            return x.row != y.row ? x.row < y.row : x.col < y.col;
        });
        auto* row = new QHBoxLayout();
        row->addStretch(1);
        for (size_t i : bottom_buttons) {
            items_[i].cell = items_[i].widget;
            row->addWidget(items_[i].widget);
        }
        outer->addLayout(row);
    }

    // Group frames lie under the controls they hold.
    for (Item& it : items_)
        if (it.control->kind == ControlKind::Group) it.widget->lower();
    for (int c = 0; c < grid_->columnCount(); ++c) grid_->setColumnStretch(c, c % 2);
    set_tab_order(bottom_buttons);
}

// Tab goes through the fields in the order the dialog shows them: a group
// box and what it holds are read as one block where the box stands, and
// the rest by line, left to right. A push button in the grid comes after the
// fields it serves: those of its group, or, outside groups, all of them;
// the button row comes last.
void QtDialog::set_tab_order(const std::vector<size_t>& bottom_buttons) {
    // The smallest group box that holds a control.
    auto holder = [&](const ControlSpec& c) -> const ControlSpec* {
        const ControlSpec* inner = nullptr;
        for (const ControlSpec& g : t_.controls) {
            if (g.kind != ControlKind::Group || &g == &c) continue;
            const int g_rows = std::max(1, g.rows), g_span = std::max(1, g.span);
            const bool holds = g.row <= c.row && c.row + std::max(1, c.rows) <= g.row + g_rows && g.col <= c.col &&
                               c.col + std::max(1, c.span) <= g.col + g_span;
            if (holds && (!inner || g_rows * g_span < std::max(1, inner->rows) * std::max(1, inner->span)))
                inner = &g;
        }
        return inner;
    };
    // Block (line, column), buttons after fields, then the control's own line and column.
    using Key = std::array<int, 5>;
    constexpr int AFTER_ALL = 1 << 20;
    std::vector<std::pair<Key, size_t>> stops;
    for (size_t i = 0; i < items_.size(); ++i) {
        const ControlSpec& c = *items_[i].control;
        if (c.kind == ControlKind::Group || c.kind == ControlKind::Static || c.kind == ControlKind::Unit) continue;
        if (std::find(bottom_buttons.begin(), bottom_buttons.end(), i) != bottom_buttons.end()) continue;
        const ControlSpec* group = holder(c);
        const bool button = c.kind == ControlKind::Button;
        Key key{c.row, c.col, 0, c.row, c.col};
        if (group) key = {group->row, group->col, button ? 1 : 0, c.row, c.col};
        else if (button) key = {AFTER_ALL, 0, 1, c.row, c.col};
        stops.emplace_back(key, i);
    }
    std::stable_sort(stops.begin(), stops.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    tab_order_.clear();
    for (const auto& stop : stops) tab_order_.push_back(items_[stop.second].widget);
    for (size_t i : bottom_buttons) tab_order_.push_back(items_[i].widget);
    chain_tab_order();
}

void QtDialog::chain_tab_order() {
    QWidget* previous = nullptr;
    for (QWidget* w : tab_order_) {
        // A table place takes the focus through the table put into it.
        if (QWidget* proxy = w->focusProxy()) w = proxy;
        if (w->focusPolicy() == Qt::NoFocus) continue;
        if (previous) QWidget::setTabOrder(previous, w);
        previous = w;
    }
}

QWidget* QtDialog::make_control(Item& it) {
    const ControlSpec& c = *it.control;
    QString text = qs(c.text);
    QWidget* w = nullptr;
    switch (c.kind) {
    case ControlKind::Edit:
        if (c.flags & CF_MULTILINE) {
            auto* e = new TemplateText();
            QFontMetrics fm(container_->font());
            e->setMinimumHeight(std::max(2, c.rows) * (fm.height() + 4));
            e->setReadOnly(c.flags & CF_READONLY);
            if (c.flags & CF_READONLY) show_read_only(e, true);
            e->setTabChangesFocus(true);
            if (c.limit > 0) character_limits_[c.id] = c.limit;
            w = e;
        } else {
            auto* e = new QLineEdit();
            if (c.limit > 0) {
                character_limits_[c.id] = c.limit;
                set_character_limit(e, c.limit);
            }
            e->setReadOnly(c.flags & CF_READONLY);
            if (c.flags & CF_READONLY) show_read_only(e, true);
            if (c.flags & CF_PASSWORD) e->setEchoMode(QLineEdit::Password);
            if (c.flags & (CF_RIGHT | CF_CENTER)) e->setAlignment(text_alignment(c.flags));
            w = e;
        }
        break;
    case ControlKind::Static: {
        auto* l = new QLabel();
        QStyle::StandardPixmap icon = QStyle::SP_CustomBase;
        if (c.flags & CF_ICON_INFO) icon = QStyle::SP_MessageBoxInformation;
        if (c.flags & CF_ICON_WARNING) icon = QStyle::SP_MessageBoxWarning;
        if (c.flags & CF_ICON_ERROR) icon = QStyle::SP_MessageBoxCritical;
        if (c.flags & CF_ICON_QUESTION) icon = QStyle::SP_MessageBoxQuestion;
        // The text is the control; an icon stands beside it in the same cell.
        l->setText(text);
        l->setTextFormat(Qt::PlainText);
        l->setWordWrap(c.flags & CF_MULTILINE);
        l->setAlignment(text_alignment(c.flags));
        if (icon != QStyle::SP_CustomBase) {
            pending_icon_ = new QLabel();
            pending_icon_->setPixmap(container_->style()->standardIcon(icon).pixmap(32, 32));
        }
        w = l;
        break;
    }
    case ControlKind::Unit: {
        auto* l = new QLabel();
        l->setTextFormat(Qt::PlainText);
        w = l;
        break;
    }
    case ControlKind::Combo: {
        auto* b = new TemplateCombo();
        b->setEditable(c.flags & CF_EDITABLE);
        if (b->lineEdit()) {
            if (c.limit > 0) {
                character_limits_[c.id] = c.limit;
                set_character_limit(b->lineEdit(), c.limit);
            }
            b->lineEdit()->setReadOnly(c.flags & CF_READONLY);
            // The entries are the program's: Enter adds none, and what is
            // typed stays as typed (a completion appended to "1" would make
            // it "10"); list_selection finds the entry that is the text.
            b->setInsertPolicy(QComboBox::NoInsert);
            if (QCompleter* completer = b->completer()) completer->setCompletionMode(QCompleter::PopupCompletion);
        }
        w = b;
        break;
    }
    case ControlKind::List: {
        auto* l = new TemplateList();
        l->setSelectionMode(QAbstractItemView::SingleSelection);
        QFontMetrics fm(container_->font());
        l->setMinimumHeight(std::max(1, c.rows) * (fm.height() + 8));
        w = l;
        break;
    }
    case ControlKind::Radio: {
        auto* r = new QRadioButton(text);
        r->setAutoExclusive(false);   // groups are kept by id, see radio_clicked
        r->setChecked(c.flags & CF_CHECKED);
        w = r;
        break;
    }
    case ControlKind::Check: {
        auto* b = new QCheckBox(text);
        b->setChecked(c.flags & CF_CHECKED);
        w = b;
        break;
    }
    case ControlKind::Button: {
        auto* b = new QPushButton(text);
        b->setAutoDefault(true);
        w = b;
        break;
    }
    case ControlKind::Group:
        w = new QGroupBox(text);
        break;
    case ControlKind::Table: {
        auto* f = new QFrame();
        f->setFrameStyle(QFrame::StyledPanel | QFrame::Sunken);
        auto* box = new QVBoxLayout(f);
        box->setContentsMargins(1, 1, 1, 1);
        QFontMetrics fm(container_->font());
        f->setMinimumSize(40 * std::max(1, fm.averageCharWidth()), std::max(2, c.rows) * (fm.height() + 4));
        w = f;
        break;
    }
    }
    QSizePolicy policy = w->sizePolicy();
    policy.setRetainSizeWhenHidden(true);   // hiding an item never moves the others
    w->setSizePolicy(policy);
    return w;
}

// Adds a widget to the grid, inside a margin box when it borders a group frame.
QWidget* QtDialog::place(QWidget* w, int row, int col, int rowspan, int colspan, const ControlSpec* self) {
    QFontMetrics fm(container_->font());
    int left = 0, right = 0, top = 0, bottom = 0;
    int last_row = row + rowspan - 1, last_col = col + colspan - 1;
    for (const Area& g : groups_) {
        bool inside = g.row0 <= row && last_row <= g.row1 && g.col0 <= col && last_col <= g.col1;
        if (!inside || (self && self->kind == ControlKind::Group)) continue;
        if (col == g.col0) left = std::max(left, std::max(GROUP_SIDE, g.frame.left() + GROUP_PAD));
        if (last_col == g.col1) right = std::max(right, std::max(GROUP_SIDE, g.frame.right() + GROUP_PAD));
        if (row == g.row0) top = std::max(top, g.frame.top() + GROUP_PAD);
        if (last_row == g.row1) bottom = std::max(bottom, std::max(GROUP_BOTTOM, g.frame.bottom() + GROUP_PAD));
    }
    QWidget* cell = w;
    if (left || right || top || bottom) {
        cell = new QWidget(container_);
        auto* box = new QHBoxLayout(cell);
        box->setContentsMargins(left, top, right, bottom);
        box->addWidget(w);
        QSizePolicy policy = cell->sizePolicy();
        policy.setRetainSizeWhenHidden(true);
        cell->setSizePolicy(policy);
    }
    grid_->addWidget(cell, row, col, rowspan, colspan);
    return cell;
}

void QtDialog::connect_item(Item& it) {
    int id = it.control->id;
    QWidget* w = it.widget;
    bool watch_focus = false;
    if (auto* b = qobject_cast<QPushButton*>(w)) {
        QObject::connect(b, &QPushButton::clicked, &context_, [this, id] {
            if (id == IDOK && !page_) {
                if (QDialog* host = session_.host) host->accept();
            } else if (id == IDCANCEL && !page_) {
                if (QDialog* host = session_.host) host->reject();
            } else {
                dispatch("command", [&] { proc_.command(*this, id, NOTIFY_CLICKED); });
            }
        });
    } else if (auto* r = qobject_cast<QRadioButton*>(w)) {
        size_t index = static_cast<size_t>(&it - items_.data());
        QObject::connect(r, &QRadioButton::clicked, &context_, [this, index] { radio_clicked(index); });
    } else if (auto* c = qobject_cast<QCheckBox*>(w)) {
        QObject::connect(c, &QCheckBox::clicked, &context_, [this, id] {
            dispatch("command", [&] { proc_.command(*this, id, NOTIFY_CLICKED); });
        });
    } else if (auto* e = qobject_cast<QLineEdit*>(w)) {
        QObject::connect(e, &QLineEdit::textEdited, &context_, [this, id] {
            dispatch("command", [&] { proc_.command(*this, id, NOTIFY_CHANGE); });
        });
        watch_focus = true;
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
        QObject::connect(p, &QPlainTextEdit::textChanged, &context_, [this, id, p] {
            if (quiet_) return;
            auto limit = character_limits_.find(id);
            if (limit != character_limits_.end() && character_count(p->toPlainText()) > limit->second) {
                ++quiet_;
                p->setPlainText(first_characters(p->toPlainText(), limit->second));
                p->moveCursor(QTextCursor::End);
                --quiet_;
            }
            dispatch("command", [&] { proc_.command(*this, id, NOTIFY_CHANGE); });
        });
        watch_focus = true;
    } else if (auto* b = qobject_cast<QComboBox*>(w)) {
        QObject::connect(b, &QComboBox::activated, &context_, [this, id] {
            if (!quiet_) dispatch("command", [&] { proc_.command(*this, id, NOTIFY_SELCHANGE); });
        });
        if (b->lineEdit())
            QObject::connect(b->lineEdit(), &QLineEdit::textEdited, &context_, [this, id] {
                dispatch("command", [&] { proc_.command(*this, id, NOTIFY_CHANGE); });
            });
        watch_focus = true;
    } else if (auto* l = qobject_cast<QListWidget*>(w)) {
        QObject::connect(l, &QListWidget::itemSelectionChanged, &context_, [this, id] {
            if (!quiet_) dispatch("command", [&] { proc_.command(*this, id, NOTIFY_SELCHANGE); });
        });
        QObject::connect(l, &QListWidget::itemDoubleClicked, &context_, [this, id] {
            dispatch("command", [&] { proc_.command(*this, id, NOTIFY_DBLCLK); });
        });
        if (it.control->flags & CF_CLICK_CHOOSES)
            QObject::connect(l, &QListWidget::itemClicked, &context_, [this, id] {
                dispatch("command", [&] { proc_.command(*this, id, NOTIFY_CLICKED); });
            });
        watch_focus = true;
    } else if (it.control->kind == ControlKind::Table) {
        watch_focus = true;
    }
    if (watch_focus) w->installEventFilter(new FocusWatcher(*this, id, &context_));
    if (qobject_cast<QAbstractButton*>(w)) w->installEventFilter(new PressByKey(&context_));
}

void QtDialog::radio_clicked(size_t index) {
    if (dead_) return;
    Item& it = items_[index];
    ++quiet_;
    static_cast<QRadioButton*>(it.widget)->setChecked(true);
    if (it.radio_group >= 0)
        for (size_t other : radio_groups_[static_cast<size_t>(it.radio_group)])
            if (other != index) static_cast<QRadioButton*>(items_[other].widget)->setChecked(false);
    --quiet_;
    mark_radio_stop(it.radio_group);
    int id = it.control->id;
    dispatch("command", [&] { proc_.command(*this, id, NOTIFY_CLICKED); });
}

void QtDialog::choose_radio_beside(size_t index, int step) {
    if (dead_ || items_[index].radio_group < 0) return;
    const std::vector<size_t>& group = radio_groups_[static_cast<size_t>(items_[index].radio_group)];
    const auto n = static_cast<std::ptrdiff_t>(group.size());
    const std::ptrdiff_t at = std::find(group.begin(), group.end(), index) - group.begin();
    for (std::ptrdiff_t k = 1; k < n; ++k) {
        const size_t next = group[static_cast<size_t>(((at + step * k) % n + n) % n)];
        if (!takes_focus(items_[next])) continue;
        items_[next].widget->setFocus(Qt::OtherFocusReason);
        radio_clicked(next);
        return;
    }
}

bool QtDialog::takes_focus(const Item& it) const {
    return it.widget->isEnabled() && it.widget->isVisibleTo(container_);
}

// Tab stops at one button of a radio group, so that it lands on the chosen
// one: the chosen button, or the first that takes the focus when that one
// does not or none is chosen. The others take the focus by a click, a key
// of theirs or an arrow.
void QtDialog::mark_radio_stop(int group) {
    if (dead_ || group < 0) return;
    const std::vector<size_t>& buttons = radio_groups_[static_cast<size_t>(group)];
    auto chosen = [&](size_t i) { return static_cast<QRadioButton*>(items_[i].widget)->isChecked(); };
    auto first = [&](auto&& fits) { return std::find_if(buttons.begin(), buttons.end(), fits); };
    auto stop = first([&](size_t i) { return chosen(i) && takes_focus(items_[i]); });
    if (stop == buttons.end()) stop = first([&](size_t i) { return takes_focus(items_[i]); });
    if (stop == buttons.end()) stop = buttons.begin();
    for (auto i = buttons.begin(); i != buttons.end(); ++i)
        items_[*i].widget->setFocusPolicy(i == stop ? Qt::StrongFocus : Qt::ClickFocus);
}

void QtDialog::focus_changed(int id, bool gained, Qt::FocusReason reason) {
    if (dead_ || session_.ended) return;
    if (gained) {
        if (auto r = redirects_.find(id); r != redirects_.end()) {
            WindowId target = r->second;
            QtBackend* b = &backend_;
            QTimer::singleShot(0, &context_, [b, target] { b->set_focus(target); });
            return;
        }
        dispatch("command", [&] { proc_.command(*this, id, NOTIFY_SETFOCUS); });
    } else if (reason != Qt::PopupFocusReason) {
        dispatch("command", [&] { proc_.command(*this, id, NOTIFY_KILLFOCUS); });
    }
}

// Running --------------------------------------------------------------------

void QtDialog::dispatch(const char* where, const std::function<void()>& f) {
    if (dead_ || session_.ended) return;
    ++session_.depth;
    guarded(where, f);
    --session_.depth;
    if (session_.depth == 0 && places_changed_ && !dead_) spread_places();
    if (session_.depth == 0) session_.finish_if_ended();
}

void QtDialog::run_init() { dispatch("dialog init", [&] { proc_.init(*this); }); }

void QtDialog::run_shown() {
    if (shown_done_) return;
    shown_done_ = true;
    dispatch("dialog shown", [&] { proc_.shown(*this); });
}

bool QtDialog::run_ok() {
    bool ok = false;
    dispatch("dialog ok", [&] { ok = proc_.ok(*this); });
    return ok;
}

bool QtDialog::run_cancel() {
    bool ok = false;
    dispatch("dialog cancel", [&] { ok = proc_.cancel(*this); });
    return ok;
}

void QtDialog::run_help() {
    dispatch("dialog help", [&] { proc_.on_help(*this); });
}

bool QtDialog::embed_client(QWidget* client) {
    if (dead_ || !container_) return false;
    for (Item& it : items_) {
        if (it.control->kind != ControlKind::Table || it.client) continue;
        client->setParent(it.widget);
        it.widget->layout()->addWidget(client);
        it.widget->setFocusProxy(client);
        chain_tab_order();   // Tab reaches the table where its place stands
        it.client = client;
        if (it.widget->isVisible()) client->show();
        return true;
    }
    return false;
}

int QtDialog::embed_client(int id, ClientEvents* events) {
    Item* it = item(id);
    if (!it || it->control->kind != ControlKind::Table || !it->widget->layout()) return 0;
    if (it->client) {
        if (auto* old = dynamic_cast<ClientWidget*>(it->client.data())) old->events = nullptr;
        WindowId old_id = backend_.window_id(it->client);
        if (old_id != 0 && backend_.widget(old_id) == it->client) backend_.destroy_window(old_id);
        it->client = nullptr;
    }
    auto* client = new ClientWidget(events, it->widget);   // owned by the Table place
    it->widget->layout()->addWidget(client);
    it->widget->setFocusProxy(client);
    chain_tab_order();
    it->client = client;
    if (it->widget->isVisible()) client->show();
    return backend_.state().add_window(client, WindowKind::Client);
}

void QtDialog::fit() {
    if (!container_) return;
    QWidget* top = container_->window();
    top->adjustSize();
    if (t_.width <= 0 || page_) return;
    // The template's width; its height, or the height the items take at
    // that width (a text that wraps takes fewer lines in a wider dialog).
    const int width = std::max(du_x(t_.width), top->minimumSizeHint().width());
    int height = top->height();
    if (t_.height > 0) height = du_y(t_.height);
    else if (QLayout* layout = container_->layout(); layout && layout->hasHeightForWidth())
        height = layout->totalHeightForWidth(width);
    top->resize(QSize(width, height).expandedTo(top->minimumSizeHint()));
}

void QtDialog::grow_to_texts() {
    if (page_ || absolute_ || !container_) return;
    QWidget* top = container_->window();
    QLayout* layout = container_->layout();
    // Before the dialog is shown, fit() sizes it.
    if (top != container_ || !top->isVisible() || !layout) return;
    layout->invalidate();
    QSize wanted = top->size().expandedTo(top->minimumSizeHint());
    if (layout->hasHeightForWidth())
        wanted.setHeight(std::max(wanted.height(), layout->totalHeightForWidth(wanted.width())));
    QScreen* screen = top->screen();
    if (!screen) return;
    const QRect room = screen->availableGeometry();
    const QSize frame = top->frameGeometry().size() - top->size();
    wanted = wanted.boundedTo(room.size() - frame).expandedTo(top->size());
    if (wanted == top->size()) return;
    top->resize(wanted);
    // Grown past the screen's edge, it moves back onto the screen.
    QRect placed(top->pos(), wanted + frame);
    if (placed.right() > room.right()) placed.moveRight(room.right());
    if (placed.bottom() > room.bottom()) placed.moveBottom(room.bottom());
    if (placed.left() < room.left()) placed.moveLeft(room.left());
    if (placed.top() < room.top()) placed.moveTop(room.top());
    if (placed.topLeft() != top->pos()) top->move(placed.topLeft());
}

// Dialog operations ----------------------------------------------------------

void QtDialog::set_caption(const std::string& caption) {
    if (dead_ || !container_) return;
    if (page_) {
        if (auto* tabs = qobject_cast<QTabWidget*>(container_->parentWidget() ? container_->parentWidget()->parentWidget() : nullptr)) {
            int index = tabs->indexOf(container_);
            if (index >= 0) tabs->setTabText(index, qs(caption));
        }
        return;
    }
    QWidget* top = container_->window();
    top->setWindowTitle(qs(caption));
    // Wide enough that the title bar shows the whole caption beside its buttons.
    const int wanted = caption_width(caption);
    if (top->minimumWidth() < wanted) top->setMinimumWidth(wanted);
}

std::string QtDialog::caption() const {
    if (dead_ || !container_) return std::string();
    if (page_) {
        if (auto* tabs = qobject_cast<QTabWidget*>(container_->parentWidget() ? container_->parentWidget()->parentWidget() : nullptr)) {
            int index = tabs->indexOf(container_);
            if (index >= 0) return ss(tabs->tabText(index));
        }
        return t_.caption;
    }
    return ss(container_->window()->windowTitle());
}

bool QtDialog::has_item(int id) const { return item(id) != nullptr; }

std::string QtDialog::shown_text(int id) const {
    const Item* it = item(id);
    if (!it) return std::string();
    QWidget* w = it->widget;
    if (auto* e = qobject_cast<QLineEdit*>(w)) return ss(e->text());
    if (auto* p = qobject_cast<QPlainTextEdit*>(w)) return ss(p->toPlainText());
    if (auto* b = qobject_cast<QComboBox*>(w)) return ss(b->currentText());
    if (auto* l = qobject_cast<QListWidget*>(w)) {
        QList<QListWidgetItem*> sel = l->selectedItems();
        return sel.isEmpty() ? std::string() : ss(sel.first()->text());
    }
    if (auto* b = qobject_cast<QAbstractButton*>(w)) return ss(b->text());
    if (auto* g = qobject_cast<QGroupBox*>(w)) return ss(g->title());
    if (auto* l = qobject_cast<QLabel*>(w)) return ss(l->text());
    return std::string();
}

void QtDialog::show_text(int id, const std::string& text) {
    Item* it = item(id);
    if (!it) return;
    QWidget* w = it->widget;
    QString s = qs(text);
    // A text field shows what its limit holds of the text.
    if (auto limit = character_limits_.find(id); limit != character_limits_.end())
        s = first_characters(s, limit->second);
    ++quiet_;
    if (auto* e = qobject_cast<QLineEdit*>(w)) {
        e->setText(s);
    } else if (auto* p = qobject_cast<QPlainTextEdit*>(w)) {
        p->setPlainText(s);
    } else if (auto* b = qobject_cast<QComboBox*>(w)) {
        if (b->isEditable()) {
            b->setEditText(s);
        } else if (int index = b->findText(s, Qt::MatchExactly); index >= 0) {
            b->setCurrentIndex(index);
        }
    } else if (auto* b = qobject_cast<QAbstractButton*>(w)) {
        b->setText(s);
        widen_to_text(*it);
    } else if (auto* g = qobject_cast<QGroupBox*>(w)) {
        g->setTitle(s);
    } else if (auto* l = qobject_cast<QLabel*>(w)) {
        l->setText(l->buddy() || !has_mnemonic(s) ? s : strip_mnemonic(s));
        grow_to_texts();
    }
    --quiet_;
}

void QtDialog::set_limit(int id, int limit) {
    Item* it = item(id);
    if (!it) return;
    QLineEdit* e = qobject_cast<QLineEdit*>(it->widget);
    if (auto* b = qobject_cast<QComboBox*>(it->widget)) e = b->lineEdit();
    if (e) set_character_limit(e, limit);
    if (e || qobject_cast<QPlainTextEdit*>(it->widget)) {
        if (limit > 0) character_limits_[id] = limit; else character_limits_.erase(id);
    }
}

void QtDialog::set_readonly(int id, bool readonly) {
    Item* it = item(id);
    if (!it) return;
    if (auto* e = qobject_cast<QLineEdit*>(it->widget)) {
        e->setReadOnly(readonly);
        show_read_only(e, readonly);
    }
    if (auto* p = qobject_cast<QPlainTextEdit*>(it->widget)) {
        p->setReadOnly(readonly);
        show_read_only(p, readonly);
    }
    if (auto* b = qobject_cast<QComboBox*>(it->widget); b && b->lineEdit()) b->lineEdit()->setReadOnly(readonly);
}

bool QtDialog::is_readonly(int id) const {
    const Item* it = item(id);
    if (!it) return false;
    if (auto* e = qobject_cast<QLineEdit*>(it->widget)) return e->isReadOnly();
    if (auto* p = qobject_cast<QPlainTextEdit*>(it->widget)) return p->isReadOnly();
    if (auto* b = qobject_cast<QComboBox*>(it->widget); b && b->lineEdit()) return b->lineEdit()->isReadOnly();
    return false;
}

void QtDialog::enable(int id, bool enabled) {
    Item* it = item(id);
    if (!it) return;
    it->widget->setEnabled(enabled);
    if (it->label) it->label->setEnabled(enabled);
    mark_radio_stop(it->radio_group);
}

bool QtDialog::is_enabled(int id) const {
    const Item* it = item(id);
    return it && it->widget->isEnabledTo(container_);
}

void QtDialog::show(int id, bool visible) {
    Item* it = item(id);
    if (!it) return;
    for (QWidget* w : {it->widget, it->cell, static_cast<QWidget*>(it->label), it->label_cell})
        if (w) w->setVisible(visible);
    if (visible) widen_to_text(*it);
    mark_radio_stop(it->radio_group);
}

void QtDialog::widen_to_text(Item& it) {
    auto* b = qobject_cast<QAbstractButton*>(it.widget);
    if (!absolute_ || !b) return;
    // A text or a visibility changed: the placed items are spread again.
    if (!places_.empty()) places_changed_ = true;
    if (qobject_cast<QPushButton*>(b)) {
        if (it.cell == it.widget && places_.count(it.control->id)) b->resize(b->sizeHint());
        return;
    }
    const QSize hint = b->sizeHint();
    if (b->width() >= hint.width() && b->height() >= hint.height()) return;
    // A box around the control keeps its margins.
    const QSize around = it.cell == it.widget ? QSize(0, 0) : it.cell->size() - it.widget->size();
    const QSize wanted = hint.expandedTo(b->size());
    if (it.cell != it.widget) it.cell->resize(wanted + around.expandedTo(QSize(0, 0)));
    b->resize(wanted);
}

bool QtDialog::is_shown(int id) const {
    const Item* it = item(id);
    return it && it->widget->isVisibleTo(container_);
}

void QtDialog::focus(int id, bool select_all) {
    Item* it = item(id);
    if (!it) return;
    QWidget* w = it->widget;
    w->setFocus(Qt::OtherFocusReason);
    if (!select_all) return;
    if (auto* e = qobject_cast<QLineEdit*>(w)) e->selectAll();
    if (auto* p = qobject_cast<QPlainTextEdit*>(w)) p->selectAll();
    if (auto* b = qobject_cast<QComboBox*>(w); b && b->lineEdit()) b->lineEdit()->selectAll();
}

int QtDialog::focused() const {
    if (dead_ || !container_) return 0;
    QWidget* f = container_->window()->focusWidget();
    for (; f && f != container_; f = f->parentWidget()) {
        for (const Item& it : items_) {
            if (it.widget == f && it.control->id != 0) return it.control->id;
        }
    }
    return 0;
}

void QtDialog::point_to(int id) {
    Item* it = item(id);
    if (!it) return;
    if (!container_->isVisible() && container_->layout()) container_->layout()->activate();
    QWidget* w = it->widget;
    QCursor::setPos(w->mapToGlobal(w->rect().center()));
}

void QtDialog::redirect_focus(int id, int window) {
    if (!item(id)) return;
    if (window == 0) redirects_.erase(id); else redirects_[id] = window;
}

bool QtDialog::is_checked(int id) const {
    const Item* it = item(id);
    auto* b = it ? qobject_cast<QAbstractButton*>(it->widget) : nullptr;
    return b && b->isCheckable() && b->isChecked();
}

void QtDialog::check(int id, bool checked) {
    Item* it = item(id);
    auto* b = it ? qobject_cast<QAbstractButton*>(it->widget) : nullptr;
    if (!b || !b->isCheckable()) return;
    ++quiet_;
    b->setChecked(checked);
    --quiet_;
    mark_radio_stop(it->radio_group);
}

void QtDialog::list_reset(int id) {
    Item* it = item(id);
    if (!it) return;
    ++quiet_;
    if (auto* b = qobject_cast<QComboBox*>(it->widget)) b->clear();
    if (auto* l = qobject_cast<QListWidget*>(it->widget)) l->clear();
    --quiet_;
}

void QtDialog::list_add(int id, const std::string& text) {
    Item* it = item(id);
    if (!it) return;
    ++quiet_;
    if (auto* b = qobject_cast<QComboBox*>(it->widget)) {
        // Adding never selects: a combo starts without a selection and keeps its edit text.
        int before = b->currentIndex();
        QString edit = b->isEditable() ? b->currentText() : QString();
        b->addItem(qs(text));
        if (before < 0 && b->currentIndex() >= 0) {
            b->setCurrentIndex(-1);
            if (b->isEditable()) b->setEditText(edit);
        }
    }
    if (auto* l = qobject_cast<QListWidget*>(it->widget)) l->addItem(qs(text));
    --quiet_;
}

void QtDialog::list_select(int id, int index) {
    Item* it = item(id);
    if (!it) return;
    ++quiet_;
    if (auto* b = qobject_cast<QComboBox*>(it->widget)) b->setCurrentIndex(index >= 0 && index < b->count() ? index : -1);
    if (auto* l = qobject_cast<QListWidget*>(it->widget)) {
        if (index >= 0 && index < l->count()) {
            l->setCurrentRow(index, QItemSelectionModel::ClearAndSelect);
        } else {
            l->clearSelection();
            l->setCurrentItem(nullptr);
        }
    }
    --quiet_;
}

int QtDialog::list_selection(int id) const {
    const Item* it = item(id);
    if (!it) return -1;
    if (auto* b = qobject_cast<QComboBox*>(it->widget)) {
        // In an edit field the entry is the one that the text is.
        if (b->isEditable() && b->currentText() != b->itemText(b->currentIndex()))
            return b->findText(b->currentText(), Qt::MatchFixedString | Qt::MatchCaseSensitive);
        return b->currentIndex();
    }
    if (auto* l = qobject_cast<QListWidget*>(it->widget)) {
        QList<QListWidgetItem*> sel = l->selectedItems();
        return sel.isEmpty() ? -1 : l->row(sel.first());
    }
    return -1;
}

int QtDialog::list_count(int id) const {
    const Item* it = item(id);
    if (!it) return 0;
    if (auto* b = qobject_cast<QComboBox*>(it->widget)) return b->count();
    if (auto* l = qobject_cast<QListWidget*>(it->widget)) return l->count();
    return 0;
}

std::string QtDialog::list_text(int id, int index) const {
    const Item* it = item(id);
    if (!it || index < 0) return std::string();
    if (auto* b = qobject_cast<QComboBox*>(it->widget)) return index < b->count() ? ss(b->itemText(index)) : std::string();
    if (auto* l = qobject_cast<QListWidget*>(it->widget))
        return index < l->count() ? ss(l->item(index)->text()) : std::string();
    return std::string();
}

// Takes every item out of the layouts, keeping where the layouts put it.
void QtDialog::enter_absolute() {
    if (absolute_ || !container_) return;
    absolute_ = true;
    QLayout* layout = container_->layout();
    if (!layout) return;
    layout->activate();
    std::vector<std::pair<QWidget*, QRect>> places;
    for (QObject* child : container_->children())
        if (child->isWidgetType()) {
            auto* w = static_cast<QWidget*>(child);
            places.emplace_back(w, w->geometry());
        }
    QSize size = container_->size();
    delete layout;   // the widgets stay; only the layout goes
    grid_ = nullptr;
    for (auto& [w, r] : places) w->setGeometry(r);
    container_->setMinimumSize(0, 0);
    container_->resize(size);
}

void QtDialog::move_item_pixels(int id, int x, int y) {
    Item* it = item(id);
    if (!it) return;
    enter_absolute();
    QPoint delta = QPoint(x, y) - it->widget->mapTo(container_, QPoint(0, 0));
    it->cell->move(it->cell->pos() + delta);
    if (it->label_cell) it->label_cell->move(it->label_cell->pos() + delta);
    places_[id] = QPoint(x, y);
    places_changed_ = true;
    widen_to_text(*it);
}

void QtDialog::spread_places() {
    places_changed_ = false;
    if (!container_) return;
    struct Placed {
        Item* it;
        QPoint want;     // the widget's place
        QRect extent;    // the item with its label there
    };
    std::vector<Placed> placed;
    std::set<int> columns;
    for (const auto& [id, want] : places_) {
        Item* it = item(id);
        if (!it || !it->cell->isVisibleTo(container_)) continue;
        const QPoint offset = want - it->widget->mapTo(container_, QPoint(0, 0));
        QRect extent = it->cell->geometry();
        if (it->label_cell && it->label_cell->isVisibleTo(container_)) extent |= it->label_cell->geometry();
        placed.push_back(Placed{it, want, extent.translated(offset)});
        columns.insert(want.x());
    }
    // Left to right: a column moves as far as the one before it did, and
    // further while an item to its left on the same lines reaches it.
    const int gap = du_x(3);
    std::map<int, int> shift;
    int carried = 0;
    for (int column : columns) {
        int need = carried;
        for (const Placed& right : placed) {
            if (right.want.x() != column) continue;
            for (const Placed& left : placed) {
                if (left.want.x() >= column) continue;
                const bool same_lines =
                    left.extent.top() <= right.extent.bottom() && right.extent.top() <= left.extent.bottom();
                if (same_lines)
                    need = std::max(need, left.extent.right() + 1 + shift[left.want.x()] + gap - right.extent.left());
            }
        }
        shift[column] = carried = need;
    }
    for (const Placed& p : placed) {
        const QPoint delta = p.want + QPoint(shift[p.want.x()], 0) - p.it->widget->mapTo(container_, QPoint(0, 0));
        p.it->cell->move(p.it->cell->pos() + delta);
        if (p.it->label_cell) p.it->label_cell->move(p.it->label_cell->pos() + delta);
    }
    for (const Placed& p : placed) hold(*p.it);
}

void QtDialog::hold(const Item& it) {
    if (!it.cell->isVisibleTo(container_)) return;
    QRect taken = it.cell->geometry();
    if (it.label_cell && it.label_cell->isVisibleTo(container_)) taken |= it.label_cell->geometry();
    // The margin at the right as at the left of the dialog's items.
    const QSize need(taken.right() + 1 + du_x(4), taken.bottom() + 1 + du_y(2));
    const QSize grow = need.expandedTo(container_->size()) - container_->size();
    if (grow.width() <= 0 && grow.height() <= 0) return;
    QWidget* top = container_->window();
    container_->resize(container_->size() + grow);
    if (top != container_) top->resize(top->size() + grow);
}

void QtDialog::move_item(int id, int x, int y) {
    if (dead_ || !container_) return;
    move_item_pixels(id, du_x(x), du_y(y));
}

void QtDialog::move_item_x(int id, int x, int y_pixels) {
    if (dead_ || !container_) return;
    move_item_pixels(id, du_x(x), y_pixels);
}

void QtDialog::resize(int width, int height) {
    if (dead_ || !container_ || width <= 0 || height <= 0) return;
    QWidget* top = container_->window();
    QSize wanted(du_x(width), du_y(height));
    if (absolute_) {
        // Never smaller than what it shows, with a margin as at its left.
        QRect shown;
        for (QObject* child : container_->children())
            if (child->isWidgetType() && static_cast<QWidget*>(child)->isVisibleTo(container_))
                shown |= static_cast<QWidget*>(child)->geometry();
        if (shown.isValid())
            wanted = wanted.expandedTo(QSize(shown.right() + 1 + std::max(shown.left(), du_x(4)), shown.bottom() + 1));
    }
    if (container_ != top) wanted += top->size() - container_->size();   // the sheet around a page
    if (!absolute_) wanted = wanted.expandedTo(top->minimumSizeHint());
    top->resize(wanted);
    center_on_owner(0);
}

void QtDialog::set_item_min_size(int id, int width, int height) {
    Item* it = item(id);
    if (dead_ || !container_ || !it || width <= 0 || height <= 0) return;
    // The size is the client's; the place around it adds its margins and frame.
    int extra_w = 0, extra_h = 0;
    if (QLayout* l = it->widget->layout()) {
        const QMargins m = l->contentsMargins();
        extra_w += m.left() + m.right();
        extra_h += m.top() + m.bottom();
    }
    if (auto* frame = qobject_cast<QFrame*>(it->widget)) {
        extra_w += 2 * frame->frameWidth();
        extra_h += 2 * frame->frameWidth();
    }
    it->widget->setMinimumSize(width + extra_w, height + extra_h);
    fit();
}

void QtDialog::center_on_owner(int cursor_item) {
    if (dead_ || !container_) return;
    QWidget* top = container_->window();
    if (!top->isVisible() && top->layout()) top->layout()->activate();
    QScreen* screen = QGuiApplication::primaryScreen();
    QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1024, 768);
    QRect over = area;
    if (QWidget* owner = backend_.widget(owner_)) over = owner->window()->frameGeometry();
    QSize size = top->frameGeometry().size();
    QPoint pos = over.center() - QPoint(size.width() / 2, size.height() / 2);
    pos.setX(std::max(area.left(), std::min(pos.x(), area.left() + area.width() - size.width())));
    pos.setY(std::max(area.top(), std::min(pos.y(), area.top() + area.height() - size.height())));
    top->move(pos);
    if (cursor_item != 0) point_to(cursor_item);
}

void QtDialog::move_to(int x, int y) {
    if (dead_ || !container_) return;
    container_->window()->move(x, y);
}

void QtDialog::set_timer(int timer_id, int milliseconds) {
    if (dead_ || !container_) return;
    QPointer<QTimer>& timer = timers_[timer_id];
    if (!timer) {
        timer = new QTimer(container_);   // owned by the dialog window
        QObject::connect(timer.data(), &QTimer::timeout, &context_, [this, timer_id] {
            dispatch("dialog timer", [&] { proc_.timer(*this, timer_id); });
        });
    }
    timer->start(std::max(0, milliseconds));
}

void QtDialog::kill_timer(int timer_id) {
    auto it = timers_.find(timer_id);
    if (it == timers_.end()) return;
    if (it->second) {
        it->second->stop();
        it->second->deleteLater();
    }
    timers_.erase(it);
}

bool QtDialog::visible() const { return !dead_ && container_ && container_->isVisible(); }

// ---------------------------------------------------------------------------

int QtBackend::run_dialog(const DialogTemplate& t, DialogProc& proc, WindowId owner) {
    HostHolder holder(new HostDialog(s_->parent_for(owner)));
    ActivationKeeper keeper(*s_, holder.get()->parentWidget());
    HostDialog* host = holder.get();
    ModalSession session;
    session.host = host;
    QtDialog d(*this, t, proc, owner, session, host, false);
    host->setWindowTitle(qs(t.caption));
    host->setObjectName(qs(t.name));
    d.build();
    host->on_ok = [&] {
        d.dispatch("dialog ok", [&] {
            if (proc.ok(d)) session.end(IDOK);
        });
    };
    host->on_cancel = [&] {
        d.dispatch("dialog cancel", [&] {
            if (proc.cancel(d)) session.end(IDCANCEL);
        });
    };
    host->on_first_show = [&] { d.run_shown(); };
    host->on_help = [&] { d.run_help(); };
    d.run_init();
    if (session.ended) {
        d.detach();
        return session.result;
    }
    if (!host->testAttribute(Qt::WA_Resized)) d.fit();
    session.running = true;
    QPointer<HostDialog> alive(host);
    int r = host->exec();
    d.detach();
    if (!alive) return IDCANCEL;
    alive->on_ok = nullptr;
    alive->on_cancel = nullptr;
    alive->on_first_show = nullptr;
    alive->on_help = nullptr;
    return session.ended ? session.result : r;
}

int QtBackend::run_property_sheet(const std::string& caption, const std::vector<PropertyPage>& pages,
                                  int start_page, WindowId owner) {
    HostHolder holder(new HostDialog(s_->parent_for(owner)));
    ActivationKeeper keeper(*s_, holder.get()->parentWidget());
    HostDialog* host = holder.get();
    host->setWindowTitle(qs(caption));
    auto* box = new QVBoxLayout(host);
    auto* tabs = new QTabWidget(host);
    box->addWidget(tabs);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel | QDialogButtonBox::Apply, host);
    box->addWidget(buttons);
    buttons->button(QDialogButtonBox::Ok)->setDefault(true);

    ModalSession session;
    session.host = host;
    std::vector<std::unique_ptr<QtDialog>> dialogs;
    for (const PropertyPage& page : pages) {
        if (!page.templ || !page.proc) continue;
        auto* w = new QWidget(tabs);
        w->setObjectName(qs(page.templ->name));
        tabs->addTab(w, qs(page.templ->caption));
        dialogs.push_back(std::make_unique<QtDialog>(*this, *page.templ, *page.proc, owner, session, w, true));
        dialogs.back()->build();
    }
    if (dialogs.empty()) return IDCANCEL;

    // Every page checks its input in order; the first that refuses is shown.
    auto ok_all = [&](bool close) {
        for (size_t i = 0; i < dialogs.size(); ++i) {
            bool ok = dialogs[i]->run_ok();
            if (session.ended) return;
            if (!ok) {
                tabs->setCurrentIndex(static_cast<int>(i));
                return;
            }
        }
        if (close) session.end(IDOK);
    };
    host->on_ok = [&] { ok_all(true); };
    host->on_cancel = [&] {
        for (auto& d : dialogs) {
            bool ok = d->run_cancel();
            if (session.ended) return;
            if (!ok) return;
        }
        session.end(IDCANCEL);
    };
    QObject::connect(buttons, &QDialogButtonBox::accepted, host, [host] { host->accept(); });
    QObject::connect(buttons, &QDialogButtonBox::rejected, host, [host] { host->reject(); });
    QObject::connect(buttons->button(QDialogButtonBox::Apply), &QPushButton::clicked, host, [&] { ok_all(false); });
    QObject::connect(tabs, &QTabWidget::currentChanged, host, [&](int index) {
        if (index >= 0 && static_cast<size_t>(index) < dialogs.size() && host->isVisible()) {
            QtDialog* d = dialogs[static_cast<size_t>(index)].get();
            QTimer::singleShot(0, host, [d] { d->run_shown(); });
        }
    });
    host->on_help = [&] {
        const int index = tabs->currentIndex();
        if (index >= 0 && static_cast<size_t>(index) < dialogs.size()) dialogs[static_cast<size_t>(index)]->run_help();
    };
    host->on_first_show = [&] {
        int index = tabs->currentIndex();
        if (index >= 0 && static_cast<size_t>(index) < dialogs.size()) dialogs[static_cast<size_t>(index)]->run_shown();
    };

    for (auto& d : dialogs) {
        d->run_init();
        if (session.ended) break;
    }
    int result = session.result;
    if (!session.ended) {
        tabs->setCurrentIndex(std::clamp(start_page, 0, static_cast<int>(dialogs.size()) - 1));
        host->adjustSize();
        session.running = true;
        QPointer<HostDialog> alive(host);
        int r = host->exec();
        result = !alive ? IDCANCEL : session.ended ? session.result : r;
    }
    for (auto& d : dialogs) d->detach();
    if (HostDialog* h = holder.get()) {
        // The callbacks above refer to this function's locals.
        h->on_ok = nullptr;
        h->on_cancel = nullptr;
        h->on_first_show = nullptr;
        h->on_help = nullptr;
        QObject::disconnect(tabs, nullptr, h, nullptr);
        QObject::disconnect(buttons, nullptr, h, nullptr);
        QObject::disconnect(buttons->button(QDialogButtonBox::Apply), nullptr, h, nullptr);
    }
    return result;
}
