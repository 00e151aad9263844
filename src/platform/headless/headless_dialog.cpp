#include "platform/headless/headless_dialog.h"

#include "platform/headless/headless_backend.h"
#include "platform/list_typing.h"
#include "platform/utf8.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

namespace {

bool is_text_field(const HeadlessDialog::Control& c) {
    return c.control.kind == ControlKind::Edit ||
           (c.control.kind == ControlKind::Combo && (c.control.flags & CF_EDITABLE));
}

bool is_list(const HeadlessDialog::Control& c) {
    return c.control.kind == ControlKind::Combo || c.control.kind == ControlKind::List;
}

bool takes_focus_notifications(const HeadlessDialog::Control& c) {
    return c.control.kind == ControlKind::Edit || is_list(c);
}

// Cuts a text to a character limit, counting UTF-8 sequences as one character.
std::string cut_to_limit(const std::string& text, int limit) {
    if (limit <= 0) return text;
    int chars = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (chars == limit) return text.substr(0, i);
            ++chars;
        }
    }
    return text;
}

// What a text field of the screen holds of a text given to it: a string of
// characters, in which each byte that is no part of a UTF-8 character is
// U+FFFD, as the Qt backend's fields take a text; a limit (in characters,
// as the Qt backend's fields count them) cuts it there.
std::string field_holds(const std::string& text, int limit) {
    std::string held;
    int characters = 0;
    for (size_t i = 0; i < text.size();) {
        const size_t length = utf8_character_length(text, i);
        if (limit > 0 && characters == limit) break;
        ++characters;
        if (length == 0) {
            held += "\xEF\xBF\xBD";
            ++i;
        } else {
            held.append(text, i, length);
            i += length;
        }
    }
    return held;
}

}  // namespace

HeadlessDialog::HeadlessDialog(HeadlessBackend& backend, const DialogTemplate& t, DialogProc& proc,
                               WindowId owner, WindowId window)
    : backend_(backend), templ_(t), proc_(proc), owner_(owner), window_(window), caption_(t.caption),
      width_(t.width), height_(t.height) {
    controls_.reserve(t.controls.size());
    for (const ControlSpec& control : t.controls) {
        Control c;
        c.control = control;
        c.enabled = !(control.flags & CF_DISABLED);
        c.visible = !(control.flags & CF_HIDDEN);
        c.readonly = (control.flags & CF_READONLY) != 0;
        c.checked = (control.flags & CF_CHECKED) != 0;
        c.limit = control.limit;
        // Labels of statics, buttons and groups are their text; fields start empty.
        if (!is_text_field(c) && control.kind != ControlKind::List && control.kind != ControlKind::Combo)
            c.text = control.text;
        controls_.push_back(std::move(c));
    }
}

HeadlessDialog::~HeadlessDialog() {
    // Embedded windows close with the dialog.
    for (Control& c : controls_)
        if (c.client != 0) backend_.destroy_window(c.client);
    // Timers die with the dialog.
    for (auto it = backend_.timers_.begin(); it != backend_.timers_.end();) {
        if (it->first.first == window_)
            it = backend_.timers_.erase(it);
        else
            ++it;
    }
}

HeadlessDialog::Control* HeadlessDialog::find(int id) {
    for (Control& c : controls_)
        if (c.control.id == id) return &c;
    return nullptr;
}

const HeadlessDialog::Control* HeadlessDialog::find(int id) const {
    for (const Control& c : controls_)
        if (c.control.id == id) return &c;
    return nullptr;
}

const HeadlessDialog::Control* HeadlessDialog::control(int id) const { return find(id); }

bool HeadlessDialog::has_item(int id) const { return find(id) != nullptr; }

// A procedure that names a control its template lacks has a fault; the script
// lists it rather than the program stopping.
HeadlessDialog::Control* HeadlessDialog::need(int id) {
    Control* c = find(id);
    if (!c) backend_.note_fault(templ_.name + ": no control " + std::to_string(id));
    return c;
}

const HeadlessDialog::Control* HeadlessDialog::need(int id) const {
    const Control* c = find(id);
    if (!c) backend_.note_fault(templ_.name + ": no control " + std::to_string(id));
    return c;
}

std::string HeadlessDialog::shown_text(int id) const {
    const Control* c = need(id);
    if (!c) return std::string();
    if (is_list(*c) && !is_text_field(*c)) {
        if (c->selection < 0 || c->selection >= static_cast<int>(c->items.size())) return {};
        return c->items[static_cast<size_t>(c->selection)];
    }
    return c->text;
}

void HeadlessDialog::show_text(int id, const std::string& text) {
    Control* c = need(id);
    if (!c) return;
    if (is_list(*c) && !is_text_field(*c)) {
        // A drop-down list shows only its entries: setting a text selects the matching one.
        c->selection = -1;
        for (size_t i = 0; i < c->items.size(); ++i)
            if (c->items[i] == text) c->selection = static_cast<int>(i);
        return;
    }
    c->text = is_text_field(*c) ? field_holds(text, c->limit) : text;
}

void HeadlessDialog::set_limit(int id, int limit) {
    Control* c = need(id);
    if (!c) return;
    c->limit = limit < 0 ? 0 : limit;
    // A field cuts what it holds to its new limit.
    if (is_text_field(*c)) c->text = field_holds(c->text, c->limit);
}

void HeadlessDialog::set_readonly(int id, bool readonly) {
    Control* c = need(id);
    if (!c) return;
    c->readonly = readonly;
}

bool HeadlessDialog::is_readonly(int id) const {
    const Control* c = need(id);
    if (!c) return false;
    return c->readonly;
}

void HeadlessDialog::enable(int id, bool enabled) {
    Control* c = need(id);
    if (!c) return;
    c->enabled = enabled;
}

bool HeadlessDialog::is_enabled(int id) const {
    const Control* c = need(id);
    if (!c) return false;
    return c->enabled;
}

void HeadlessDialog::show(int id, bool visible) {
    Control* c = need(id);
    if (!c) return;
    c->visible = visible;
}

bool HeadlessDialog::is_shown(int id) const {
    const Control* c = need(id);
    if (!c) return false;
    return c->visible;
}

void HeadlessDialog::focus(int id, bool select_all) {
    Control* c = need(id);
    if (!c) return;
    focused_ = c->control.id;
    select_all_ = select_all;
}

void HeadlessDialog::point_to(int id) {
    Control* c = need(id);
    if (!c) return;
    pointer_item_ = c->control.id;
}

int HeadlessDialog::embed_client(int id, ClientEvents* events) {
    Control* c = need(id);
    if (!c || c->control.kind != ControlKind::Table) return 0;
    if (c->client != 0) backend_.destroy_window(c->client);
    HeadlessWindow w;
    w.id = backend_.new_window_id();
    w.is_client = true;
    w.frame = w.id;     // its own frame: sizes, keys and paints go to itself
    w.client = w.id;
    w.client_events = events;
    w.visible = true;
    w.placement.right = CLIENT_WIDTH;
    w.placement.bottom = std::max(2, c->control.rows) * CLIENT_ROW_HEIGHT;
    c->client = w.id;
    backend_.windows_[w.id] = std::move(w);
    return c->client;
}

void HeadlessDialog::redirect_focus(int id, int window) {
    Control* c = need(id);
    if (!c) return;
    c->focus_window = window;
}

bool HeadlessDialog::is_checked(int id) const {
    const Control* c = need(id);
    if (!c) return false;
    return c->checked;
}

void HeadlessDialog::check(int id, bool checked) {
    Control* c = need(id);
    if (!c) return;
    c->checked = checked;
}

void HeadlessDialog::list_reset(int id) {
    Control* c = need(id);
    if (!c) return;
    c->items.clear();
    c->selection = -1;
}

void HeadlessDialog::list_add(int id, const std::string& text) {
    Control* c = need(id);
    if (!c) return;
    c->items.push_back(text);
}

void HeadlessDialog::list_select(int id, int index) {
    Control* c = need(id);
    if (!c) return;
    if (index < 0 || index >= static_cast<int>(c->items.size())) {
        c->selection = -1;
        return;
    }
    c->selection = index;
    if (is_text_field(*c)) c->text = c->items[static_cast<size_t>(index)];
}

int HeadlessDialog::list_selection(int id) const {
    const Control* c = need(id);
    if (!c) return -1;
    return c->selection;
}

int HeadlessDialog::list_count(int id) const {
    const Control* c = need(id);
    if (!c) return 0;
    return static_cast<int>(c->items.size());
}

std::string HeadlessDialog::list_text(int id, int index) const {
    const Control* c = need(id);
    if (!c) return std::string();
    if (index < 0 || index >= static_cast<int>(c->items.size())) return {};
    return c->items[static_cast<size_t>(index)];
}

void HeadlessDialog::move_item(int id, int x, int y) {
    Control* c = need(id);
    if (!c) return;
    c->x = x;
    c->y = y;
}

void HeadlessDialog::move_item_x(int id, int x, int y_pixels) {
    Control* c = need(id);
    if (!c) return;
    c->x = x;
    c->y = y_pixels;
}

void HeadlessDialog::resize(int width, int height) {
    width_ = width;
    height_ = height;
    center_on_owner(0);
}

// Dialog units are taken as pixels here: the headless screen has no real font.
void HeadlessDialog::center_on_owner(int cursor_item) {
    Rect area = HeadlessBackend::WORK_AREA;
    if (const HeadlessWindow* w = backend_.find_window(owner_)) {
        const WindowPlacement& p = w->placement;
        if (!w->maximized) area = Rect{p.left, p.top, p.right, p.bottom};
    }
    int x = area.left + (area.width() - width_) / 2;
    int y = area.top + (area.height() - height_) / 2;
    const Rect& work = HeadlessBackend::WORK_AREA;
    if (x + width_ > work.right) x = work.right - width_;
    if (y + height_ > work.bottom) y = work.bottom - height_;
    if (x < work.left) x = work.left;
    if (y < work.top) y = work.top;
    position_ = Point{x, y};
    if (cursor_item != 0 && has_item(cursor_item)) pointer_item_ = cursor_item;
}

void HeadlessDialog::move_to(int x, int y) { position_ = Point{x, y}; }

void HeadlessDialog::set_timer(int timer_id, int milliseconds) { backend_.set_timer(window_, timer_id, milliseconds); }

void HeadlessDialog::kill_timer(int timer_id) { backend_.kill_timer(window_, timer_id); }

void HeadlessDialog::end(int result) {
    ended_ = true;
    result_ = result;
    if (sheet_) sheet_->end(result);
}

std::vector<std::pair<int, std::string>> HeadlessDialog::static_texts() const {
    std::vector<std::pair<int, std::string>> out;
    for (const Control& c : controls_)
        if (c.control.kind == ControlKind::Static || c.control.kind == ControlKind::Unit)
            out.emplace_back(c.control.id, c.text);
    return out;
}

// --- user actions ----------------------------------------------------------

HeadlessDialog::Control* HeadlessDialog::usable(int id, const char* action) {
    std::string what = templ_.name + ": " + action + " " + std::to_string(id);
    if (ended_) {
        backend_.note_fault(what + " after the dialog closed");
        return nullptr;
    }
    Control* c = find(id);
    if (!c) {
        backend_.note_fault(what + " no such control");
        return nullptr;
    }
    if (!c->enabled || !c->visible) {
        backend_.note_fault(what + (c->enabled ? " hidden" : " disabled"));
        return nullptr;
    }
    return c;
}

void HeadlessDialog::send_command(int id, int notification) { proc_.command(*this, id, notification); }

bool HeadlessDialog::click_into(int id) {
    Control* c = usable(id, "focus");
    if (!c) return false;
    if (focused_ == id) return true;
    int old = focused_;
    focused_ = id;
    select_all_ = false;
    if (const Control* o = find(old); o && takes_focus_notifications(*o)) send_command(old, NOTIFY_KILLFOCUS);
    if (!ended_ && takes_focus_notifications(*c)) send_command(id, NOTIFY_SETFOCUS);
    return true;
}

bool HeadlessDialog::type(int id, const std::string& text) {
    Control* c = usable(id, "type into");
    if (!c) return false;
    if (is_list(*c) && !is_text_field(*c)) return type_into_list(id, text);
    if (!is_text_field(*c) || c->readonly) {
        backend_.note_fault(templ_.name + ": type into " + std::to_string(id) +
                            (c->readonly ? " read-only" : " not a text field"));
        return false;
    }
    if (!click_into(id) || ended_) return false;
    c = find(id);  // the procedure may not remove controls, but be safe about the pointer
    c->text = cut_to_limit(text, c->limit);
    if (c->control.kind == ControlKind::Combo) {
        // The entry that the text is, as the Qt backend's list_selection finds it.
        const auto entry = std::find(c->items.begin(), c->items.end(), c->text);
        c->selection = entry == c->items.end() ? -1 : static_cast<int>(entry - c->items.begin());
    }
    send_command(id, NOTIFY_CHANGE);
    return true;
}

bool HeadlessDialog::type_into_list(int id, const std::string& text) {
    if (!click_into(id) || ended_) return false;
    // The keys come one soon after another: one typed text, a key at a time.
    ListTyping typing;
    for (size_t at = 0; at < text.size() && !ended_;) {
        size_t length = 1;
        while (at + length < text.size() && (static_cast<unsigned char>(text[at + length]) & 0xC0) == 0x80) ++length;
        const std::string key = text.substr(at, length);
        at += length;
        // A blank alone opens the list or selects its entry; within a text it goes on it.
        if (key == " " && !typing.going_on(0, 0)) continue;
        const std::string& typed = typing.key(key, 0, 0);
        Control* c = find(id);
        if (!c || !c->enabled || !c->visible) break;
        const int chosen = typed_list_entry(c->items, c->selection, typed);
        if (chosen < 0 || chosen == c->selection) continue;
        list_select(id, chosen);
        send_command(id, NOTIFY_SELCHANGE);
    }
    return true;
}

void HeadlessDialog::radio_group_clear(int id) {
    // A group is a run of radio buttons in template order with ids counting
    // up by one and nothing but group boxes between them.
    size_t at = 0;
    while (at < controls_.size() && controls_[at].control.id != id) ++at;
    if (at == controls_.size()) return;
    // The radio of the group before (or after) `i`, controls_.size() when none.
    auto neighbour = [this](size_t i, int step) {
        const int wanted = controls_[i].control.id + step;
        for (size_t j = i;;) {
            if (step < 0 ? j == 0 : j + 1 >= controls_.size()) return controls_.size();
            j = step < 0 ? j - 1 : j + 1;
            const ControlKind k = controls_[j].control.kind;
            if (k == ControlKind::Radio) return controls_[j].control.id == wanted ? j : controls_.size();
            if (k != ControlKind::Group) return controls_.size();
        }
    };
    std::vector<size_t> group{at};
    for (size_t i = at; (i = neighbour(i, -1)) < controls_.size();) group.push_back(i);
    for (size_t i = at; (i = neighbour(i, +1)) < controls_.size();) group.push_back(i);
    for (size_t i : group) controls_[i].checked = controls_[i].control.id == id;
}

bool HeadlessDialog::press(int id) {
    if (ended_) {
        backend_.note_fault(templ_.name + ": press " + std::to_string(id) + " after the dialog closed");
        return false;
    }
    if (id == IDOK || id == IDCANCEL) {
        const Control* c = find(id);
        if (c && (!c->enabled || !c->visible)) {
            backend_.note_fault(templ_.name + ": press " + std::to_string(id) + (c->enabled ? " hidden" : " disabled"));
            return false;
        }
        if (sheet_) return id == IDOK ? sheet_->press_ok() : sheet_->press_cancel();
        if (id == IDOK) {
            if (proc_.ok(*this) && !ended_) end(IDOK);
        } else {
            if (proc_.cancel(*this) && !ended_) end(IDCANCEL);
        }
        return true;
    }
    Control* c = usable(id, "press");
    if (!c) return false;
    if (c->control.kind == ControlKind::Check) {
        c->checked = !c->checked;
    } else if (c->control.kind == ControlKind::Radio) {
        radio_group_clear(id);
    } else if (c->control.kind != ControlKind::Button) {
        backend_.note_fault(templ_.name + ": press " + std::to_string(id) + " not a button");
        return false;
    }
    focused_ = id;
    send_command(id, NOTIFY_CLICKED);
    return true;
}

bool HeadlessDialog::select(int id, int index) {
    Control* c = usable(id, "select in");
    if (!c) return false;
    if (!is_list(*c) || index < 0 || index >= static_cast<int>(c->items.size())) {
        backend_.note_fault(templ_.name + ": select " + std::to_string(index) + " in " + std::to_string(id) +
                            (is_list(*c) ? " out of range" : " not a list"));
        return false;
    }
    if (!click_into(id) || ended_) return false;
    list_select(id, index);
    send_command(id, NOTIFY_SELCHANGE);
    return true;
}

bool HeadlessDialog::select_text(int id, const std::string& text) {
    const Control* c = find(id);
    if (c)
        for (size_t i = 0; i < c->items.size(); ++i)
            if (c->items[i] == text) return select(id, static_cast<int>(i));
    backend_.note_fault(templ_.name + ": select \"" + text + "\" in " + std::to_string(id) + " no such entry");
    return false;
}

bool HeadlessDialog::double_click(int id, int index) {
    if (!select(id, index) || ended_) return false;
    send_command(id, NOTIFY_DBLCLK);
    return true;
}

bool HeadlessDialog::help_key() {
    return !ended_ && proc_.on_help(*this);
}

bool HeadlessDialog::click_item(int id, int index) {
    if (!select(id, index) || ended_) return false;
    const Control* c = find(id);
    if (c && (c->control.flags & CF_CLICK_CHOOSES)) send_command(id, NOTIFY_CLICKED);
    return true;
}

void HeadlessDialog::advance(int milliseconds) {
    int64_t until = backend_.now_ + (milliseconds > 0 ? milliseconds : 0);
    while (!ended_ && backend_.fire_next_timer(until, window_)) {
    }
    if (backend_.now_ < until) backend_.now_ = until;
}

// --- property sheets -------------------------------------------------------

HeadlessSheet::HeadlessSheet(HeadlessBackend& backend, const std::string& caption,
                             const std::vector<PropertyPage>& pages, int start_page, WindowId owner,
                             WindowId first_window)
    : caption_(caption) {
    WindowId w = first_window;
    for (const PropertyPage& p : pages) {
        pages_.push_back(std::make_unique<HeadlessDialog>(backend, *p.templ, *p.proc, owner, w++));
        pages_.back()->set_sheet(this);
    }
    current_ = start_page >= 0 && start_page < page_count() ? start_page : 0;
}

bool HeadlessSheet::show_page(int index) {
    if (ended_ || index < 0 || index >= page_count()) return false;
    current_ = index;
    HeadlessDialog& d = page(index);
    if (!d.visible()) {
        d.mark_shown();
        d.proc().shown(d);
    }
    return true;
}

bool HeadlessSheet::press_ok() {
    if (ended_) return false;
    for (auto& p : pages_)
        if (!p->proc().ok(*p)) {
            // The page that refused comes to the front, as its message refers to it.
            for (int i = 0; i < page_count(); ++i)
                if (pages_[static_cast<size_t>(i)].get() == p.get()) current_ = i;
            return true;
        }
    if (!ended_) end(IDOK);
    return true;
}

bool HeadlessSheet::press_cancel() {
    if (ended_) return false;
    for (auto& p : pages_)
        if (!p->proc().cancel(*p)) return true;
    if (!ended_) end(IDCANCEL);
    return true;
}

void HeadlessSheet::end(int result) {
    if (ended_) return;
    ended_ = true;
    result_ = result;
    for (auto& p : pages_)
        if (!p->ended()) p->end(result);
}

HeadlessDialog& headless(Dialog& d) {
    HeadlessDialog* h = dynamic_cast<HeadlessDialog*>(&d);
    if (!h) {
        std::fputs("Korvane: headless(): the dialog does not belong to the headless backend\n", stderr);
        std::abort();
    }
    return *h;
}
