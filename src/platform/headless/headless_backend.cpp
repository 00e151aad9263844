#include "platform/headless/headless_backend.h"

#include "platform/threads.h"

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

// ===========================================================================
// Script

void Script::on(const std::string& name, DialogHandler handler) { handlers_[name] = std::move(handler); }

void Script::once(const std::string& name, DialogHandler handler) { one_shot_[name].push_back(std::move(handler)); }

void Script::on_any(DialogHandler handler) { any_handler_ = std::move(handler); }

void Script::on_sheet(const std::string& caption, SheetHandler handler) {
    sheet_handlers_[caption] = std::move(handler);
}

void Script::once_sheet(const std::string& caption, SheetHandler handler) {
    sheet_one_shot_[caption].push_back(std::move(handler));
}

void Script::answer(int id) { answers_.push_back(id); }
void Script::answer_file(std::optional<std::string> path) { files_.push_back(std::move(path)); }
void Script::answer_file_filter(int index) { file_filters_.push_back(index); }
void Script::answer_folder(std::optional<std::string> path) { folders_.push_back(std::move(path)); }
void Script::answer_font(std::optional<FontSpec> font) { fonts_.push_back(std::move(font)); }
void Script::answer_popup(int command) { popups_.push_back(command); }

size_t Script::unused_answers() const {
    size_t n = answers_.size() + files_.size() + file_filters_.size() + folders_.size() + fonts_.size() + popups_.size();
    for (const auto& [name, queue] : one_shot_) n += queue.size();
    for (const auto& [name, queue] : sheet_one_shot_) n += queue.size();
    return n;
}

std::string Script::last_message() const {
    for (auto it = log_.rbegin(); it != log_.rend(); ++it) {
        if (it->kind == ScriptEvent::MessageBox) return it->text;
        if (it->kind == ScriptEvent::DialogRun && it->name == "INFO_DIALOG") {
            for (const auto& [id, text] : it->statics)
                if (!text.empty()) return text;
            return {};
        }
    }
    return {};
}

std::vector<std::string> Script::messages() const {
    std::vector<std::string> out;
    for (const ScriptEvent& e : log_)
        if (e.kind == ScriptEvent::MessageBox) out.push_back(e.text);
    return out;
}

int Script::runs(const std::string& name) const {
    int n = 0;
    for (const ScriptEvent& e : log_)
        if (e.kind == ScriptEvent::DialogRun && e.name == name) ++n;
    return n;
}

void Script::advance(int milliseconds) {
    int64_t until = backend_.now_ + (milliseconds > 0 ? milliseconds : 0);
    while (backend_.fire_next_timer(until)) {
    }
    backend_.now_ = until;
}

int64_t Script::now() const { return backend_.now_; }

bool Script::menu_command(WindowId frame, int id) {
    HeadlessWindow* w = backend_.find_window(frame);
    if (!w || w->is_client || !w->frame_events) return false;
    w->frame_events->on_menu_opening();
    w = backend_.find_window(frame);
    if (!w || !w->menu.is_enabled(id)) {
        backend_.note_fault("menu command " + std::to_string(id) + (w && w->menu.contains(id) ? " disabled" : " missing"));
        return false;
    }
    w->frame_events->on_command(id);
    return true;
}

namespace {
// The frame whose tool button `id` can be pressed now; null (and a fault
// noted) when the button is missing, hidden or disabled.
HeadlessWindow* usable_button(HeadlessBackend& b, WindowId frame, int id, std::vector<std::string>& faults) {
    HeadlessWindow* w = const_cast<HeadlessWindow*>(b.window(frame));
    if (!w || w->is_client || !w->frame_events || !w->bars_visible) return nullptr;
    const ToolBar& bar = w->show_large ? w->large_bar : w->small_bar;
    bool present = false;
    for (const ToolButton& button : bar.buttons)
        if (button.id == id && id != 0) present = true;
    auto state = w->buttons.find(id);
    if (!present || (state != w->buttons.end() && !(state->second.first && state->second.second))) {
        faults.push_back("tool button " + std::to_string(id) + (present ? " hidden or disabled" : " missing"));
        return nullptr;
    }
    return w;
}
}  // namespace

bool Script::click_button(WindowId frame, int id) {
    HeadlessWindow* w = usable_button(backend_, frame, id, faults_);
    if (!w) return false;
    w->frame_events->on_command(id);
    return true;
}

bool Script::press_button(WindowId frame, int id) {
    HeadlessWindow* w = usable_button(backend_, frame, id, faults_);
    if (!w) return false;
    w->frame_events->on_button_press(id, true);
    return true;
}

bool Script::release_button(WindowId frame, int id, bool over) {
    HeadlessWindow* w = backend_.find_window(frame);
    if (!w || w->is_client || !w->frame_events) return false;
    FrameEvents* events = w->frame_events;
    events->on_button_press(id, false);
    if (over) events->on_command(id);
    return true;
}

bool Script::key(WindowId window, int key, unsigned mods) {
    HeadlessWindow* w = backend_.find_window(window);
    if (!w) return false;
    WindowId frame = w->is_client ? w->frame : w->id;
    HeadlessWindow* f = backend_.find_window(frame);
    HeadlessWindow* c = f ? backend_.find_window(f->client) : nullptr;
    const bool client_takes = c && c->client_events && c->client_events->takes_key(key, mods);
    if (!client_takes && backend_.accel_table_ && backend_.accel_window_ == frame) {
        if (int id = backend_.accel_table_->command_for(key, mods)) {
            if (f && f->frame_events) {
                f->frame_events->on_command(id);
                return true;
            }
        }
    }
    return c && c->client_events && c->client_events->on_key(key, mods);
}

bool Script::close(WindowId frame) {
    HeadlessWindow* w = backend_.find_window(frame);
    if (!w || w->is_client) return false;
    if (w->frame_events && !w->frame_events->on_close()) return false;
    backend_.destroy_window(frame);
    return true;
}

void Script::resize(WindowId window, int client_width, int client_height) {
    HeadlessWindow* w = backend_.find_window(window);
    if (!w) return;
    if (w->is_client) w = backend_.find_window(w->frame);
    if (!w) return;
    w->maximized = false;
    w->placement.right = w->placement.left + client_width;
    w->placement.bottom = w->placement.top + client_height;
    backend_.apply_size(*w);
}

namespace {
ClientEvents* client_events(HeadlessBackend& b, WindowId client) {
    const HeadlessWindow* w = b.window(client);
    return w ? w->client_events : nullptr;
}
}  // namespace

void Script::mouse_down(WindowId client, MouseButton b, int x, int y, unsigned mods) {
    if (ClientEvents* e = client_events(backend_, client)) e->on_mouse_down(b, x, y, mods);
}

void Script::mouse_up(WindowId client, MouseButton b, int x, int y, unsigned mods) {
    if (ClientEvents* e = client_events(backend_, client)) e->on_mouse_up(b, x, y, mods);
}

void Script::mouse_move(WindowId client, int x, int y, unsigned mods) {
    if (ClientEvents* e = client_events(backend_, client)) e->on_mouse_move(x, y, mods);
}

void Script::double_click(WindowId client, MouseButton b, int x, int y, unsigned mods) {
    if (ClientEvents* e = client_events(backend_, client)) e->on_double_click(b, x, y, mods);
}

void Script::wheel(WindowId client, int delta, int x, int y, unsigned mods) {
    if (ClientEvents* e = client_events(backend_, client)) e->on_wheel(delta, x, y, mods);
}

void Script::scroll(WindowId client, ScrollBarKind bar, ScrollCode code, int position) {
    if (ClientEvents* e = client_events(backend_, client)) e->on_scroll(bar, code, position);
}

std::vector<std::string> Script::paint(WindowId client) {
    HeadlessWindow* w = backend_.find_window(client);
    if (!w || !w->client_events) return {};
    Rect r = backend_.client_rect(client);
    RecordingSurface surface(r.width(), r.height());
    w->invalidations = 0;
    w->scene_invalidations = 0;
    w->client_events->on_paint(surface, r);
    return surface.lines();
}

void Script::reset() {
    handlers_.clear();
    one_shot_.clear();
    any_handler_ = nullptr;
    sheet_handlers_.clear();
    sheet_one_shot_.clear();
    answers_.clear();
    files_.clear();
    file_filters_.clear();
    folders_.clear();
    fonts_.clear();
    popups_.clear();
    log_.clear();
    faults_.clear();
    beeps_ = 0;
    documents_.clear();
    help_.clear();
}

// ===========================================================================
// HeadlessBackend

HeadlessBackend::HeadlessBackend() : script_(*this) {}

HeadlessBackend::~HeadlessBackend() = default;

void HeadlessBackend::reset() {
    script_.reset();
    settings_.values.clear();
    windows_.clear();
    next_window_ = 1;
    active_ = 0;
    focus_ = 0;
    cursor_ = Point{};
    wait_cursor_ = false;
    accel_window_ = 0;
    accel_table_ = nullptr;
    clipboard_.clear();
    clipboard_image_.reset();
    opengl_ = true;
    timers_.clear();
    now_ = 0;
    std::lock_guard<std::mutex> lock(queue_mutex_);
    queue_.clear();
    quit_ = false;
    exit_code_ = 0;
}

HeadlessWindow* HeadlessBackend::find_window(WindowId w) {
    auto it = windows_.find(w);
    return it == windows_.end() ? nullptr : &it->second;
}

const HeadlessWindow* HeadlessBackend::find_window(WindowId w) const {
    auto it = windows_.find(w);
    return it == windows_.end() ? nullptr : &it->second;
}

const HeadlessWindow* HeadlessBackend::window(WindowId w) const { return find_window(w); }

std::vector<WindowId> HeadlessBackend::windows() const {
    std::vector<WindowId> out;
    for (const auto& [id, w] : windows_) out.push_back(id);
    return out;
}

HeadlessWindow* HeadlessBackend::frame_of(WindowId w) {
    HeadlessWindow* win = find_window(w);
    if (win && win->is_client) win = find_window(win->frame);
    return win;
}

HeadlessDialog* HeadlessBackend::open_dialog(WindowId w) const {
    for (HeadlessDialog* d : open_dialogs_)
        if (d->window() == w) return d;
    return nullptr;
}

size_t HeadlessBackend::posted_count() const {
    std::lock_guard<std::mutex> lock(queue_mutex_);
    return queue_.size();
}

bool HeadlessBackend::timer_pending(WindowId w, int timer_id) const {
    return timers_.count({w, timer_id}) != 0;
}

// --- event loop -------------------------------------------------------------

void HeadlessBackend::post(std::function<void()> call) {
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        queue_.push_back(std::move(call));
    }
    queue_cv_.notify_all();
}

void HeadlessBackend::quit(int exit_code) {
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        quit_ = true;
        exit_code_ = exit_code;
    }
    queue_cv_.notify_all();
}

// Runs the calls posted so far (not those they post in turn, which wait for
// the next round) and the timers that are due on the virtual clock.
void HeadlessBackend::process_events() {
    std::deque<std::function<void()>> batch;
    {
        std::lock_guard<std::mutex> lock(queue_mutex_);
        batch.swap(queue_);
    }
    while (!batch.empty()) {
        std::function<void()> call = std::move(batch.front());
        batch.pop_front();
        try {
            call();
        } catch (...) {
            // Keep the calls not run yet, in order, ahead of newer ones.
            std::lock_guard<std::mutex> lock(queue_mutex_);
            queue_.insert(queue_.begin(), std::make_move_iterator(batch.begin()),
                          std::make_move_iterator(batch.end()));
            throw;
        }
    }
    while (fire_next_timer(now_)) {
    }
}

int HeadlessBackend::run_loop() {
    int idle_timer_rounds = 0;
    auto last = std::chrono::steady_clock::now();
    for (;;) {
        {
            std::lock_guard<std::mutex> lock(queue_mutex_);
            if (quit_) {
                quit_ = false;
                return exit_code_;
            }
        }
        // Workers first, then the queue: a worker posts before it counts itself
        // out, so an empty queue seen after a zero count stays empty.
        int workers = running_worker_threads();
        bool queued = posted_count() != 0;
        if (queued) {
            process_events();
            continue;
        }
        if (workers > 0) {
            std::unique_lock<std::mutex> lock(queue_mutex_);
            queue_cv_.wait_for(lock, std::chrono::milliseconds(10), [this] { return !queue_.empty() || quit_; });
            lock.unlock();
            auto t = std::chrono::steady_clock::now();
            now_ += std::chrono::duration_cast<std::chrono::milliseconds>(t - last).count();
            last = t;
            while (fire_next_timer(now_)) {
            }
            continue;
        }
        if (timers_.empty() || idle_timer_rounds >= MAX_IDLE_TIMER_ROUNDS) return 0;
        // Only timers are left: jump the clock to the next one.
        int64_t next = INT64_MAX;
        for (const auto& [key, t] : timers_) next = std::min(next, t.due);
        fire_next_timer(next);
        if (now_ < next) now_ = next;
        ++idle_timer_rounds;
    }
}

// --- timers -------------------------------------------------------------------

void HeadlessBackend::set_timer(WindowId w, int timer_id, int milliseconds) {
    Timer t;
    t.interval = milliseconds > 0 ? milliseconds : 1;
    t.due = now_ + t.interval;
    t.order = timer_order_++;
    timers_[{w, timer_id}] = t;
}

void HeadlessBackend::kill_timer(WindowId w, int timer_id) { timers_.erase({w, timer_id}); }

bool HeadlessBackend::fire_next_timer(int64_t until, WindowId only) {
    auto best = timers_.end();
    for (auto it = timers_.begin(); it != timers_.end(); ++it) {
        if (only != 0 && it->first.first != only) continue;
        if (it->second.due > until) continue;
        if (best == timers_.end() || it->second.due < best->second.due ||
            (it->second.due == best->second.due && it->second.order < best->second.order))
            best = it;
    }
    if (best == timers_.end()) return false;
    auto [w, id] = best->first;
    if (now_ < best->second.due) now_ = best->second.due;
    // Periodic: the next round is due one interval later; a timer killed or
    // reset by its handler is left as the handler made it.
    best->second.due += best->second.interval;
    best->second.order = timer_order_++;
    fire_timer(w, id);
    return true;
}

void HeadlessBackend::fire_timer(WindowId w, int timer_id) {
    if (HeadlessDialog* d = open_dialog(w)) {
        if (!d->ended()) d->proc().timer(*d, timer_id);
        return;
    }
    HeadlessWindow* f = frame_of(w);
    if (f && f->frame_events) {
        f->frame_events->on_timer(timer_id);
        return;
    }
    timers_.erase({w, timer_id});  // its window is gone
}

// --- windows ------------------------------------------------------------------

WindowId HeadlessBackend::create_frame(const std::string& class_name, const std::string& caption,
                                       FrameEvents* events) {
    HeadlessWindow w;
    w.id = new_window_id();
    w.class_name = class_name;
    w.title = caption;
    w.frame_events = events;
    w.placement.left = 100;
    w.placement.top = 100;
    w.placement.right = 900;
    w.placement.bottom = 700;
    WindowId id = w.id;
    windows_[id] = std::move(w);
    return id;
}

void HeadlessBackend::destroy_window(WindowId w) {
    HeadlessWindow* win = find_window(w);
    if (!win) return;
    WindowId client = win->client;
    if (win->is_client)
        if (HeadlessWindow* f = find_window(win->frame); f && f->client == w) f->client = 0;
    for (auto it = timers_.begin(); it != timers_.end();) {
        if (it->first.first == w || (client != 0 && it->first.first == client))
            it = timers_.erase(it);
        else
            ++it;
    }
    windows_.erase(w);
    if (client != 0) windows_.erase(client);
    if (active_ == w) active_ = 0;
    if (focus_ == w || focus_ == client) focus_ = 0;
    if (accel_window_ == w) {
        accel_window_ = 0;
        accel_table_ = nullptr;
    }
}

void HeadlessBackend::set_title(WindowId w, const std::string& title) {
    if (HeadlessWindow* win = find_window(w)) win->title = title;
}

std::string HeadlessBackend::title(WindowId w) const {
    if (const HeadlessWindow* win = find_window(w)) return win->title;
    if (HeadlessDialog* d = open_dialog(w)) return d->caption();
    return {};
}

void HeadlessBackend::set_status_text(WindowId frame, const std::string& text) {
    if (HeadlessWindow* win = find_window(frame); win && !win->is_client) win->status_text = text;
}

std::string HeadlessBackend::status_text(WindowId frame) const {
    const HeadlessWindow* win = find_window(frame);
    return win && win->status_text ? *win->status_text : std::string();
}

void HeadlessBackend::set_menu(WindowId frame, const Menu& menu) {
    if (HeadlessWindow* w = find_window(frame)) w->menu = menu;
}

void HeadlessBackend::set_toolbars(WindowId frame, const ToolBar& large, const ToolBar& small, bool show_large,
                                   bool visible) {
    HeadlessWindow* w = find_window(frame);
    if (!w) return;
    w->large_bar = large;
    w->small_bar = small;
    w->show_large = show_large;
    w->bars_visible = visible;
}

void HeadlessBackend::set_button_state(WindowId frame, int id, bool visible, bool enabled) {
    if (HeadlessWindow* w = find_window(frame)) w->buttons[id] = {visible, enabled};
}

// Buttons are 24 pixels wide in a row under a 40-pixel title and menu.
std::optional<Point> HeadlessBackend::button_center(WindowId frame, int id) const {
    const HeadlessWindow* w = find_window(frame);
    if (!w || !w->bars_visible || id == 0) return std::nullopt;
    auto state = w->buttons.find(id);
    if (state != w->buttons.end() && !state->second.first) return std::nullopt;
    const ToolBar& bar = w->show_large ? w->large_bar : w->small_bar;
    int size = w->show_large ? 32 : 24;
    int x = 0;
    for (const ToolButton& b : bar.buttons) {
        auto s = w->buttons.find(b.id);
        if (b.id != 0 && s != w->buttons.end() && !s->second.first) continue;  // hidden buttons take no room
        if (b.id == id) return Point{w->placement.left + x + size / 2, w->placement.top + 40 + size / 2};
        x += b.id == 0 ? 8 : size;
    }
    return std::nullopt;
}

void HeadlessBackend::apply_size(HeadlessWindow& w) {
    Rect r = client_rect(w.id);
    if (w.frame_events) w.frame_events->on_size(r.width(), r.height());
    if (HeadlessWindow* c = find_window(w.client); c && c->client_events) c->client_events->on_size(r.width(), r.height());
}

void HeadlessBackend::show_window(WindowId w, int show_cmd) {
    HeadlessWindow* win = find_window(w);
    if (!win) return;
    Rect before = client_rect(w);
    win->visible = show_cmd != WindowPlacement::SHOW_HIDE;
    win->maximized = show_cmd == WindowPlacement::SHOW_MAXIMIZED;
    win->minimized = show_cmd == WindowPlacement::SHOW_MINIMIZED;
    if (win->visible && !win->is_client && active_ == 0) active_ = w;
    if (!(client_rect(w) == before)) apply_size(*win);
}

bool HeadlessBackend::is_visible(WindowId w) const {
    const HeadlessWindow* win = find_window(w);
    return win && win->visible;
}

bool HeadlessBackend::is_maximized(WindowId w) const {
    const HeadlessWindow* win = find_window(w);
    return win && win->maximized;
}

void HeadlessBackend::raise_and_activate(WindowId w) {
    HeadlessWindow* win = frame_of(w);
    if (!win || win->id == active_) return;
    WindowId old = active_;
    active_ = win->id;
    WindowId id = win->id;
    if (HeadlessWindow* o = find_window(old); o && o->frame_events) o->frame_events->on_activate(false);
    if (HeadlessWindow* n = find_window(id); n && n->frame_events) n->frame_events->on_activate(true);
}

// An open dialog is in front of every frame.
WindowId HeadlessBackend::active_window() const {
    if (!open_dialogs_.empty()) return open_dialogs_.back()->window();
    return active_;
}

WindowPlacement HeadlessBackend::placement(WindowId w) const {
    const HeadlessWindow* win = find_window(w);
    if (!win) return WindowPlacement{};
    WindowPlacement p = win->placement;
    p.show_cmd = !win->visible      ? WindowPlacement::SHOW_HIDE
                 : win->maximized   ? WindowPlacement::SHOW_MAXIMIZED
                 : win->minimized   ? WindowPlacement::SHOW_MINIMIZED
                                    : WindowPlacement::SHOW_NORMAL;
    return p;
}

void HeadlessBackend::set_placement(WindowId w, const WindowPlacement& p) {
    HeadlessWindow* win = find_window(w);
    if (!win) return;
    Rect before = client_rect(w);
    win->placement = p;
    if (p.show_cmd != WindowPlacement::SHOW_HIDE) {
        win->visible = true;
        win->maximized = p.show_cmd == WindowPlacement::SHOW_MAXIMIZED;
        win->minimized = p.show_cmd == WindowPlacement::SHOW_MINIMIZED;
    }
    if (!(client_rect(w) == before)) apply_size(*win);
}

Rect HeadlessBackend::client_rect(WindowId w) const {
    const HeadlessWindow* win = find_window(w);
    if (win && win->is_client) win = find_window(win->frame);
    if (!win) {
        if (HeadlessDialog* d = open_dialog(w)) return Rect{0, 0, d->width(), d->height()};
        return Rect{};
    }
    if (win->maximized) return Rect{0, 0, WORK_AREA.width(), WORK_AREA.height()};
    const WindowPlacement& p = win->placement;
    return Rect{0, 0, std::max(0, p.right - p.left), std::max(0, p.bottom - p.top)};
}

void HeadlessBackend::close_popups(WindowId frame) {
    for (HeadlessDialog* d : open_dialogs_)
        if (d->owner() == frame && !d->ended()) d->end(IDCANCEL);
}

WindowId HeadlessBackend::create_client(WindowId frame, ClientEvents* events) {
    HeadlessWindow* f = find_window(frame);
    if (!f || f->is_client) return 0;
    if (f->client != 0) destroy_window(f->client);
    HeadlessWindow c;
    c.id = new_window_id();
    c.is_client = true;
    c.frame = frame;
    c.client_events = events;
    c.visible = true;
    WindowId id = c.id;
    windows_[id] = std::move(c);
    find_window(frame)->client = id;
    return id;
}

// No OpenGL here: the scene is never drawn, but an owner that takes mouse,
// keys and paints gets them as a plain client's owner does.
WindowId HeadlessBackend::create_gl_client(WindowId frame, GLEvents* events) {
    WindowId id = create_client(frame, dynamic_cast<ClientEvents*>(events));
    if (HeadlessWindow* c = find_window(id)) c->gl_events = events;
    return id;
}

void HeadlessBackend::invalidate(WindowId client, const Rect*) {
    if (HeadlessWindow* w = find_window(client)) ++w->invalidations;
}

void HeadlessBackend::invalidate_scene(WindowId gl_client) {
    if (HeadlessWindow* w = find_window(gl_client)) {
        ++w->scene_invalidations;
        ++w->invalidations;
    }
}

void HeadlessBackend::set_scroll_bar(WindowId client, ScrollBarKind bar, const ScrollBarState& state) {
    if (HeadlessWindow* w = find_window(client)) w->scroll_bars[bar == ScrollBarKind::Vertical ? 1 : 0] = state;
}

ScrollBarState HeadlessBackend::scroll_bar(WindowId client, ScrollBarKind bar) const {
    const HeadlessWindow* w = find_window(client);
    return w ? w->scroll_bars[bar == ScrollBarKind::Vertical ? 1 : 0] : ScrollBarState{};
}

void HeadlessBackend::set_cursor_shape(WindowId client, CursorShape shape) {
    if (HeadlessWindow* w = find_window(client)) w->cursor = shape;
}

double HeadlessBackend::device_pixel_ratio(WindowId w) const {
    const HeadlessWindow* win = find_window(w);
    return win ? win->pixel_ratio : 1.0;
}

void HeadlessBackend::set_device_pixel_ratio(WindowId w, double ratio) {
    if (HeadlessWindow* win = find_window(w)) win->pixel_ratio = ratio > 0.0 ? ratio : 1.0;
}

bool HeadlessBackend::set_clipboard_image(const Image& image) {
    if (image.width <= 0 || image.height <= 0) return false;
    clipboard_image_ = image;
    return true;
}

void HeadlessBackend::set_mouse_capture(WindowId client, bool capture) {
    if (HeadlessWindow* w = find_window(client)) w->mouse_captured = capture;
}

// Frames have a 40-pixel title and menu above the client and no left border.
Point HeadlessBackend::client_to_screen(WindowId w, Point p) const {
    const HeadlessWindow* win = find_window(w);
    if (win && win->is_client) win = find_window(win->frame);
    if (!win) return p;
    if (win->maximized) return Point{WORK_AREA.left + p.x, WORK_AREA.top + 40 + p.y};
    return Point{win->placement.left + p.x, win->placement.top + 40 + p.y};
}

void HeadlessBackend::set_active_accelerators(WindowId w, const AcceleratorTable* table) {
    accel_window_ = w;
    accel_table_ = table;
}

// --- dialogs ------------------------------------------------------------------

void HeadlessBackend::log_dialog(const HeadlessDialog& d, const std::string& name) {
    ScriptEvent e;
    e.kind = ScriptEvent::DialogRun;
    e.name = name;
    e.caption = d.caption();
    e.result = d.result();
    e.statics = d.static_texts();
    for (const auto& [id, text] : e.statics) {
        if (!e.text.empty()) e.text += '\n';
        e.text += text;
    }
    script_.log_.push_back(std::move(e));
}

namespace {
// Takes an open dialog off the stack however its run ends.
struct OpenDialogEntry {
    std::vector<HeadlessDialog*>& stack;
    OpenDialogEntry(std::vector<HeadlessDialog*>& s, HeadlessDialog* d) : stack(s) { stack.push_back(d); }
    ~OpenDialogEntry() {
        if (!stack.empty()) stack.pop_back();
    }
};
}  // namespace

int HeadlessBackend::run_dialog(const DialogTemplate& t, DialogProc& proc, WindowId owner) {
    HeadlessDialog d(*this, t, proc, owner, new_window_id());
    d.center_on_owner(0);
    OpenDialogEntry entry(open_dialogs_, &d);

    proc.init(d);
    if (!d.ended()) {
        d.mark_shown();
        proc.shown(d);
    }
    if (!d.ended()) {
        Script::DialogHandler handler;
        if (auto q = script_.one_shot_.find(t.name); q != script_.one_shot_.end() && !q->second.empty()) {
            handler = std::move(q->second.front());
            q->second.pop_front();
        } else if (auto h = script_.handlers_.find(t.name); h != script_.handlers_.end()) {
            handler = h->second;  // a copy: the handler may replace itself
        } else {
            handler = script_.any_handler_;
        }
        if (handler) handler(d);
    }
    // Left open: time passes, which ends dialogs that close themselves.
    for (int round = 0; !d.ended() && round < MAX_DIALOG_TIMER_ROUNDS; ++round)
        if (!fire_next_timer(INT64_MAX, d.window())) break;
    if (!d.ended()) d.press(IDCANCEL);
    if (!d.ended()) d.end(IDCANCEL);

    log_dialog(d, t.name);
    return d.result();
}

int HeadlessBackend::run_property_sheet(const std::string& caption, const std::vector<PropertyPage>& pages,
                                        int start_page, WindowId owner) {
    for (const PropertyPage& p : pages)
        if (!p.templ || !p.proc) {
            note_fault("property sheet \"" + caption + "\": a page without template or procedure");
            return IDCANCEL;
        }
    WindowId first = next_window_;
    next_window_ += static_cast<WindowId>(pages.size());
    HeadlessSheet sheet(*this, caption, pages, start_page, owner, first);
    size_t depth = open_dialogs_.size();
    for (int i = 0; i < sheet.page_count(); ++i) open_dialogs_.push_back(&sheet.page(i));
    struct Unwind {
        std::vector<HeadlessDialog*>& stack;
        size_t depth;
        ~Unwind() { stack.resize(depth); }
    } unwind{open_dialogs_, depth};

    // Every page is initialised up front, the start page first.
    if (sheet.page_count() > 0) {
        HeadlessDialog& start = sheet.page(sheet.current_page());
        start.proc().init(start);
        for (int i = 0; i < sheet.page_count() && !sheet.ended(); ++i)
            if (i != sheet.current_page()) sheet.page(i).proc().init(sheet.page(i));
        if (!sheet.ended()) sheet.show_page(sheet.current_page());
    }
    if (!sheet.ended()) {
        Script::SheetHandler handler;
        if (auto q = script_.sheet_one_shot_.find(caption); q != script_.sheet_one_shot_.end() && !q->second.empty()) {
            handler = std::move(q->second.front());
            q->second.pop_front();
        } else if (auto h = script_.sheet_handlers_.find(caption); h != script_.sheet_handlers_.end()) {
            handler = h->second;
        }
        if (handler) handler(sheet);
    }
    if (!sheet.ended()) sheet.press_cancel();
    if (!sheet.ended()) sheet.end(IDCANCEL);

    ScriptEvent e;
    e.kind = ScriptEvent::PropertySheet;
    e.name = caption;
    e.caption = caption;
    e.result = sheet.result();
    script_.log_.push_back(std::move(e));
    return sheet.result();
}

int HeadlessBackend::message_box(WindowId, const std::string& text, const std::string& caption, MessageIcon icon,
                                 MessageButtons buttons) {
    int result = IDOK;
    if (buttons != MessageButtons::Ok) {
        result = buttons == MessageButtons::OkCancel ? IDOK : IDYES;
        if (!script_.answers_.empty()) {
            result = script_.answers_.front();
            script_.answers_.pop_front();
        }
    }
    ScriptEvent e;
    e.kind = ScriptEvent::MessageBox;
    e.caption = caption;
    e.text = text;
    e.icon = icon;
    e.buttons = buttons;
    e.result = result;
    script_.log_.push_back(std::move(e));
    return result;
}

int HeadlessBackend::popup_menu(WindowId, const MenuItem& popup, Point screen) {
    int command = 0;
    if (!script_.popups_.empty()) {
        command = script_.popups_.front();
        script_.popups_.pop_front();
    }
    // A person can choose only an item that is there and not greyed.
    if (command != 0) {
        const std::function<const MenuItem*(const MenuItem&)> find = [&](const MenuItem& m) -> const MenuItem* {
            for (const MenuItem& item : m.items) {
                if (item.id == command && !item.is_popup()) return &item;
                if (const MenuItem* inner = find(item)) return inner;
            }
            return nullptr;
        };
        const MenuItem* item = find(popup);
        if (!item || item->disabled) {
            note_fault("popup item " + std::to_string(command) + (item ? " greyed" : " missing"));
            command = 0;
        }
    }
    ScriptEvent e;
    e.kind = ScriptEvent::PopupMenu;
    e.name = popup.text;
    e.result = command;
    e.at = screen;
    // The texts of its items, one a line.
    const std::function<void(const MenuItem&)> list = [&](const MenuItem& m) {
        for (const MenuItem& item : m.items) {
            if (!item.text.empty()) e.text += item.text + "\n";
            list(item);
        }
    };
    list(popup);
    script_.log_.push_back(std::move(e));
    return command;
}

namespace {

template <class T>
std::optional<T> take(std::deque<std::optional<T>>& queue) {
    if (queue.empty()) return std::nullopt;
    std::optional<T> v = std::move(queue.front());
    queue.pop_front();
    return v;
}

// The name part of a path has an extension when a dot follows the last separator.
bool has_extension(const std::string& path) {
    size_t slash = path.find_last_of("/\\");
    size_t dot = path.rfind('.');
    return dot != std::string::npos && (slash == std::string::npos || dot > slash + 1);
}

}  // namespace

std::optional<std::string> HeadlessBackend::open_file_dialog(WindowId, FileDialogRequest& r) {
    std::optional<std::string> path = take(script_.files_);
    if (path && !r.default_extension.empty() && !has_extension(*path)) *path += "." + r.default_extension;
    if (path && !script_.file_filters_.empty()) {
        r.filter_index = script_.file_filters_.front();
        script_.file_filters_.pop_front();
    }
    ScriptEvent e;
    e.kind = ScriptEvent::FileDialog;
    e.name = "open";
    e.caption = r.title;
    e.text = path.value_or("");
    e.suggested = r.initial_path;
    e.result = path ? IDOK : IDCANCEL;
    script_.log_.push_back(std::move(e));
    return path;
}

std::optional<std::string> HeadlessBackend::save_file_dialog(WindowId, FileDialogRequest& r) {
    std::optional<std::string> path = take(script_.files_);
    if (path && !script_.file_filters_.empty()) {
        r.filter_index = script_.file_filters_.front();
        script_.file_filters_.pop_front();
    }
    std::string extension = r.default_extension;
    if (r.extension_follows_filter && r.filter_index >= 0 && r.filter_index < static_cast<int>(r.filters.size()))
        extension = filter_extension(r.filters[static_cast<size_t>(r.filter_index)]);
    if (path && !extension.empty() && !has_extension(*path)) *path += "." + extension;
    ScriptEvent e;
    e.kind = ScriptEvent::FileDialog;
    e.name = "save";
    e.caption = r.title;
    e.text = path.value_or("");
    e.suggested = r.initial_path;
    e.result = path ? IDOK : IDCANCEL;
    script_.log_.push_back(std::move(e));
    return path;
}

std::optional<std::string> HeadlessBackend::browse_folder(WindowId, const std::string& title, const std::string&) {
    std::optional<std::string> path = take(script_.folders_);
    ScriptEvent e;
    e.kind = ScriptEvent::FolderDialog;
    e.caption = title;
    e.text = path.value_or("");
    e.result = path ? IDOK : IDCANCEL;
    script_.log_.push_back(std::move(e));
    return path;
}

bool HeadlessBackend::choose_font(WindowId, FontSpec& font) {
    std::optional<FontSpec> chosen = take(script_.fonts_);
    ScriptEvent e;
    e.kind = ScriptEvent::FontDialog;
    e.result = chosen ? IDOK : IDCANCEL;
    if (chosen) {
        e.text = chosen->face;
        font = *chosen;
    }
    script_.log_.push_back(std::move(e));
    return chosen.has_value();
}

// --- drawing and the rest -------------------------------------------------------

std::unique_ptr<Surface> HeadlessBackend::screen_surface() {
    return std::make_unique<RecordingSurface>(WORK_AREA.width(), WORK_AREA.height());
}

std::unique_ptr<Surface> HeadlessBackend::image_surface(int width, int height, Color background, double) {
    return std::make_unique<RecordingSurface>(width, height, background);
}

// Drawing is only recorded, so the picture is the background.
Image HeadlessBackend::surface_image(Surface& image_surface) {
    Image img;
    auto* r = dynamic_cast<RecordingSurface*>(&image_surface);
    if (!r) return img;
    img.width = r->width();
    img.height = r->height();
    Color c = r->background_color();
    uint32_t argb = 0xFF000000u | (uint32_t(c.r) << 16) | (uint32_t(c.g) << 8) | uint32_t(c.b);
    img.pixels.assign(static_cast<size_t>(img.width) * static_cast<size_t>(img.height), argb);
    return img;
}

bool HeadlessBackend::open_document(const std::string& path_or_url) {
    script_.documents_.push_back(path_or_url);
    std::error_code ec;
    return std::filesystem::exists(path_or_url, ec);
}

bool HeadlessBackend::show_help(const std::string& html_file, const std::string& anchor) {
    script_.help_.push_back({html_file, anchor});
    std::error_code ec;
    return std::filesystem::is_regular_file(html_file, ec);
}

// ===========================================================================

HeadlessBackend& install_headless_backend() {
    auto b = std::make_unique<HeadlessBackend>();
    HeadlessBackend& ref = *b;
    install_backend(std::move(b));
    return ref;
}

HeadlessBackend& headless_backend() {
    auto* h = dynamic_cast<HeadlessBackend*>(&backend());
    if (!h) {
        std::fputs("Korvane: the installed backend is not the headless one\n", stderr);
        std::abort();
    }
    return *h;
}

Script& script() { return headless_backend().script(); }
