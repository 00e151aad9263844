// The scripted backend itself: control state, user actions, timers, frames,
// queued answers and the recording surface.
#include "platform/headless/headless_backend.h"

#include <filesystem>

#include <gtest/gtest.h>

namespace {

const DialogTemplate STATE_DIALOG = {"STATE_DIALOG", "State", {
    {1301, ControlKind::Edit, "Name", 0, 0, 1, 4},
    {1302, ControlKind::Edit, "Shown", 1, 0, 1, 0, 0, CF_READONLY},
    {1303, ControlKind::Edit, "Off", 2, 0, 1, 0, 0, CF_DISABLED},
    {1304, ControlKind::Edit, "Hidden", 3, 0, 1, 0, 0, CF_HIDDEN},
    {1201, ControlKind::Combo, "List", 4, 0},
    {1202, ControlKind::Combo, "Typed", 5, 0, 1, 0, 0, CF_EDITABLE},
    {1401, ControlKind::Radio, "A", 6, 0},
    {1402, ControlKind::Radio, "B", 6, 1, 1, 0, 0, CF_CHECKED},
    {1403, ControlKind::Radio, "C", 6, 2},
    {1410, ControlKind::Radio, "Other group", 7, 0, 1, 0, 0, CF_CHECKED},
    {1501, ControlKind::Check, "Flag", 8, 0},
    {1001, ControlKind::Static, "Label", 9, 0},
    {IDOK, ControlKind::Button, "OK", 10, 0},
    {IDCANCEL, ControlKind::Button, "Cancel", 10, 1}}};

// Records what reaches the procedure.
struct Recorder : DialogProc {
    std::vector<std::string> calls;
    bool accept = true;
    std::function<void(Dialog&)> on_init;
    void init(Dialog& d) override {
        calls.push_back("init");
        d.list_add(1201, "Steel");
        d.list_add(1201, "Plastic");
        d.list_add(1202, "Rigid");
        if (on_init) on_init(d);
    }
    void shown(Dialog& d) override { calls.push_back(std::string("shown ") + (d.visible() ? "visible" : "hidden")); }
    void command(Dialog&, int id, int code) override {
        calls.push_back("command " + std::to_string(id) + " " + std::to_string(code));
    }
    bool ok(Dialog&) override {
        calls.push_back("ok");
        return accept;
    }
    bool cancel(Dialog&) override {
        calls.push_back("cancel");
        return true;
    }
    void timer(Dialog& d, int id) override {
        calls.push_back("timer " + std::to_string(id));
        if (id == 2) d.end(42);
    }
};

class HeadlessTest : public ::testing::Test {
protected:
    void SetUp() override { hb = &install_headless_backend(); }
    void TearDown() override { remove_backend(); }
    HeadlessBackend* hb = nullptr;
};

TEST_F(HeadlessTest, ControlsStartFromTemplateFlags) {
    Recorder proc;
    script().on("STATE_DIALOG", [](HeadlessDialog& d) {
        EXPECT_TRUE(d.visible());
        EXPECT_TRUE(d.is_readonly(1302));
        EXPECT_FALSE(d.is_enabled(1303));
        EXPECT_FALSE(d.is_shown(1304));
        EXPECT_TRUE(d.is_checked(1402));
        EXPECT_EQ(d.text(1001), "Label");
        EXPECT_EQ(d.text(1301), "");   // a field's label is not its text
        EXPECT_EQ(d.text(IDOK), "OK");
        EXPECT_EQ(d.list_count(1201), 2);
        EXPECT_EQ(d.list_text(1201, 1), "Plastic");
        EXPECT_EQ(d.list_text(1201, 2), "");
        EXPECT_EQ(d.caption(), "State");
        d.press(IDOK);
    });
    EXPECT_EQ(hb->run_dialog(STATE_DIALOG, proc, 0), IDOK);
    EXPECT_EQ(proc.calls, (std::vector<std::string>{"init", "shown visible", "ok"}));
}

TEST_F(HeadlessTest, UserActionsFollowTheControls) {
    Recorder proc;
    script().once("STATE_DIALOG", [&](HeadlessDialog& d) {
        proc.calls.clear();
        EXPECT_TRUE(d.type(1301, "ABCDEF"));
        EXPECT_EQ(d.text(1301), "ABCD");
        EXPECT_TRUE(d.type(1202, "Flex"));
        // Focus moved from 1301 to 1202 on the way.
        EXPECT_EQ(proc.calls, (std::vector<std::string>{"command 1301 256", "command 1301 768", "command 1301 512",
                                                        "command 1202 256", "command 1202 768"}));
        EXPECT_FALSE(d.type(1302, "x"));   // read-only
        EXPECT_FALSE(d.type(1303, "x"));   // disabled
        EXPECT_FALSE(d.type(1304, "x"));   // hidden
        EXPECT_TRUE(d.type(1201, "x"));    // keys that begin no entry choose none
        EXPECT_EQ(d.list_selection(1201), -1);
        EXPECT_FALSE(d.press(9999));

        EXPECT_TRUE(d.select(1201, 1));
        EXPECT_EQ(d.text(1201), "Plastic");
        EXPECT_FALSE(d.select(1201, 2));
        EXPECT_TRUE(d.select_text(1202, "Rigid"));
        EXPECT_EQ(d.text(1202), "Rigid");
        d.set_text(1201, "Steel");   // a drop-down list selects the matching entry
        EXPECT_EQ(d.list_selection(1201), 0);

        EXPECT_TRUE(d.press(1403));
        EXPECT_FALSE(d.is_checked(1402));
        EXPECT_TRUE(d.is_checked(1403));
        EXPECT_TRUE(d.is_checked(1410));   // not in the same group
        EXPECT_TRUE(d.press(1501));
        EXPECT_TRUE(d.is_checked(1501));
        EXPECT_TRUE(d.press(1501));
        EXPECT_FALSE(d.is_checked(1501));
        EXPECT_FALSE(d.press(1001));   // a static is no button

        proc.accept = false;
        d.press(IDOK);
        EXPECT_FALSE(d.ended());
        proc.accept = true;
        d.press(IDOK);
        EXPECT_TRUE(d.ended());
        EXPECT_FALSE(d.press(IDOK));   // closed
    });
    EXPECT_EQ(hb->run_dialog(STATE_DIALOG, proc, 0), IDOK);
    EXPECT_EQ(script().faults().size(), 7u);
    // A procedure naming a control that is not there is noted, not fatal.
    script().clear_log();
    proc.on_init = [](Dialog& d) {
        d.set_text(7777, "x");
        EXPECT_EQ(d.text(7777), "");
    };
    hb->run_dialog(STATE_DIALOG, proc, 0);
    EXPECT_EQ(script().faults().back(), "STATE_DIALOG: no control 7777");
}

TEST_F(HeadlessTest, UnansweredDialogRunsItsTimersThenCancels) {
    Recorder proc;
    proc.on_init = [](Dialog& d) {
        d.set_timer(1, 100);
        d.set_timer(2, 250);
    };
    EXPECT_EQ(hb->run_dialog(STATE_DIALOG, proc, 0), 42);   // timer 2 ended it
    EXPECT_EQ(proc.calls, (std::vector<std::string>{"init", "shown visible", "timer 1", "timer 1", "timer 2"}));
    EXPECT_EQ(script().now(), 250);

    Recorder plain;
    EXPECT_EQ(hb->run_dialog(STATE_DIALOG, plain, 0), IDCANCEL);
    EXPECT_EQ(plain.calls.back(), "cancel");

    // A dialog ended in init is never shown.
    Recorder quick;
    quick.on_init = [](Dialog& d) { d.end(5); };
    EXPECT_EQ(hb->run_dialog(STATE_DIALOG, quick, 0), 5);
    EXPECT_EQ(quick.calls, std::vector<std::string>{"init"});
}

TEST_F(HeadlessTest, OneShotHandlersComeBeforePersistentOnes) {
    Recorder proc;
    std::vector<int> order;
    script().on("STATE_DIALOG", [&](HeadlessDialog& d) { order.push_back(0); d.press(IDOK); });
    script().once("STATE_DIALOG", [&](HeadlessDialog& d) { order.push_back(1); d.press(IDCANCEL); });
    script().once("STATE_DIALOG", [&](HeadlessDialog& d) { order.push_back(2); d.press(IDOK); });
    EXPECT_EQ(hb->run_dialog(STATE_DIALOG, proc, 0), IDCANCEL);
    EXPECT_EQ(hb->run_dialog(STATE_DIALOG, proc, 0), IDOK);
    EXPECT_EQ(script().unused_answers(), 0u);
    EXPECT_EQ(hb->run_dialog(STATE_DIALOG, proc, 0), IDOK);
    EXPECT_EQ(order, (std::vector<int>{1, 2, 0}));
    ASSERT_EQ(script().log().size(), 3u);
    EXPECT_EQ(script().log()[0].result, IDCANCEL);
    EXPECT_EQ(script().log()[0].text, "Label");

    // The handler of any dialog answers only those without one of their own.
    const DialogTemplate other = {"OTHER_DIALOG", "Other", STATE_DIALOG.controls};
    std::vector<std::string> answered;
    script().on_any([&](HeadlessDialog& d) {
        answered.push_back(d.templ().name);
        d.press(IDOK);
    });
    EXPECT_EQ(hb->run_dialog(other, proc, 0), IDOK);
    EXPECT_EQ(hb->run_dialog(STATE_DIALOG, proc, 0), IDOK);
    EXPECT_EQ(answered, std::vector<std::string>{"OTHER_DIALOG"});
    script().on_any(nullptr);
    EXPECT_EQ(hb->run_dialog(other, proc, 0), IDCANCEL);
}

struct FrameRecorder : FrameEvents, ClientEvents {
    std::vector<std::string> calls;
    bool may_close = true;
    void on_command(int id) override { calls.push_back("command " + std::to_string(id)); }
    bool on_close() override {
        calls.push_back("close");
        return may_close;
    }
    void on_timer(int id) override { calls.push_back("timer " + std::to_string(id)); }
    void on_size(int w, int h) override { calls.push_back("size " + std::to_string(w) + " " + std::to_string(h)); }
    void on_menu_opening() override { calls.push_back("menu"); }
    void on_paint(Surface& s, const Rect&) override {
        s.set_pen(Pen{rgb(255, 0, 0), 2, PenStyle::Dash});
        s.line(0, 0, 10, 10);
        s.text(5, 5, "Abc", TextAlign::Right);
    }
    bool on_key(int key, unsigned) override {
        calls.push_back("key " + std::to_string(key));
        return true;
    }
};

TEST_F(HeadlessTest, FramesMenusAcceleratorsAndButtons) {
    FrameRecorder ev;
    WindowId f = hb->create_frame("KorvaneLayout", "Korvane", &ev);
    WindowId c = hb->create_client(f, &ev);
    MenuTemplate mt{"LAYOUT_MENU", {{"&File", 0, {{"&Open", 102}, {"&Save", 104, {}, true}}}}};
    hb->set_menu(f, Menu(mt));
    EXPECT_TRUE(script().menu_command(f, 102));
    EXPECT_FALSE(script().menu_command(f, 104));   // greyed
    EXPECT_FALSE(script().menu_command(f, 999));

    AcceleratorTable accel{"LAYOUT_ACCEL", {{'O', MOD_CONTROL, 102}}};
    hb->set_active_accelerators(f, &accel);
    EXPECT_TRUE(script().key(c, 'O', MOD_CONTROL));
    EXPECT_TRUE(script().key(c, 'X'));   // not an accelerator: the client's key

    ToolBar small{"SMALL", false, {{102, "open", "Open"}, {0, "", ""}, {104, "save", "Save"}}};
    hb->set_toolbars(f, small, small, false, true);
    hb->set_button_state(f, 104, true, false);
    EXPECT_TRUE(script().click_button(f, 102));
    EXPECT_FALSE(script().click_button(f, 104));
    ASSERT_TRUE(hb->button_center(f, 104).has_value());
    EXPECT_GT(hb->button_center(f, 104)->x, hb->button_center(f, 102)->x);
    hb->set_button_state(f, 104, false, false);
    EXPECT_FALSE(hb->button_center(f, 104).has_value());

    EXPECT_EQ(ev.calls, (std::vector<std::string>{"menu", "command 102", "menu", "menu", "command 102", "key 88",
                                                  "command 102"}));
    ev.calls.clear();
    ev.may_close = false;
    EXPECT_FALSE(script().close(f));
    EXPECT_NE(hb->window(f), nullptr);
    ev.may_close = true;
    EXPECT_TRUE(script().close(f));
    EXPECT_EQ(hb->window(f), nullptr);
    EXPECT_EQ(hb->window(c), nullptr);   // the client goes with its frame
}

TEST_F(HeadlessTest, PlacementShowAndTimers) {
    FrameRecorder ev;
    WindowId f = hb->create_frame("KorvaneResults", "Results", &ev);
    EXPECT_FALSE(hb->is_visible(f));
    WindowPlacement p;
    p.left = 10, p.top = 20, p.right = 410, p.bottom = 320;
    hb->set_placement(f, p);
    EXPECT_EQ(hb->client_rect(f), (Rect{0, 0, 400, 300}));
    EXPECT_EQ(hb->placement(f), p);
    hb->show_window(f, WindowPlacement::SHOW_MAXIMIZED);
    EXPECT_TRUE(hb->is_maximized(f));
    EXPECT_EQ(hb->placement(f).show_cmd, WindowPlacement::SHOW_MAXIMIZED);
    EXPECT_EQ(hb->client_rect(f).width(), HeadlessBackend::WORK_AREA.width());
    EXPECT_EQ(ev.calls, (std::vector<std::string>{"size 400 300", "size 1920 1040"}));

    ev.calls.clear();
    hb->set_timer(f, 9, 100);
    script().advance(99);
    EXPECT_TRUE(ev.calls.empty());
    script().advance(201);
    EXPECT_EQ(ev.calls, (std::vector<std::string>{"timer 9", "timer 9", "timer 9"}));
    // Only a repeating timer is left: the loop fires it a bounded number of times and returns.
    ev.calls.clear();
    EXPECT_EQ(hb->run_loop(), 0);
    EXPECT_EQ(ev.calls.size(), static_cast<size_t>(HeadlessBackend::MAX_IDLE_TIMER_ROUNDS));
    hb->kill_timer(f, 9);
    EXPECT_FALSE(hb->timer_pending(f, 9));
}

TEST_F(HeadlessTest, CommonDialogsTakeQueuedAnswers) {
    FileDialogRequest r;
    r.default_extension = "mod";
    EXPECT_EQ(hb->open_file_dialog(0, r), std::nullopt);
    script().answer_file("/m/pump");
    script().answer_file("/m.d/pump.MOD");
    EXPECT_EQ(hb->save_file_dialog(0, r), "/m/pump.mod");
    EXPECT_EQ(hb->open_file_dialog(0, r), "/m.d/pump.MOD");

    MenuItem popup{"Row", 0, {{"&Edit", 113}}};
    EXPECT_EQ(hb->popup_menu(0, popup, Point{}), 0);
    script().answer_popup(113);
    EXPECT_EQ(hb->popup_menu(0, popup, Point{}), 113);

    EXPECT_EQ(hb->message_box(0, "?", "K", MessageIcon::Question, MessageButtons::YesNoCancel), IDYES);
    EXPECT_EQ(hb->message_box(0, "?", "K", MessageIcon::Question, MessageButtons::OkCancel), IDOK);
    script().answer(IDCANCEL);
    EXPECT_EQ(hb->message_box(0, "?", "K", MessageIcon::Question, MessageButtons::YesNoCancel), IDCANCEL);

    hb->set_clipboard_text("a\tb");
    EXPECT_EQ(hb->clipboard_text(), "a\tb");
    hb->beep();
    EXPECT_EQ(script().beeps(), 1);
    EXPECT_FALSE(hb->open_document("/no/such/Tutorial_1.pdf"));
    EXPECT_TRUE(hb->open_document(std::filesystem::temp_directory_path().string()));
    EXPECT_EQ(script().opened_documents().size(), 2u);

    hb->reset();
    EXPECT_TRUE(script().log().empty());
    EXPECT_EQ(script().beeps(), 0);
    EXPECT_EQ(hb->clipboard_text(), "");
}

TEST_F(HeadlessTest, RecordingSurfaceWritesReadableLines) {
    FrameRecorder ev;
    WindowId f = hb->create_frame("KorvaneGraphics", "G", &ev);
    WindowId c = hb->create_client(f, &ev);
    hb->invalidate(c);
    EXPECT_EQ(hb->window(c)->invalidations, 1);
    EXPECT_EQ(script().paint(c), (std::vector<std::string>{"pen #ff0000 2 dash", "line 0 0 10 10",
                                                           "text 5 5 \"Abc\" right"}));
    EXPECT_EQ(hb->window(c)->invalidations, 0);

    std::unique_ptr<Surface> s = hb->image_surface(3, 2, rgb(0, 0, 255));
    EXPECT_EQ(s->text_width("Abc"), 24);
    EXPECT_EQ(s->text_width("caf\xc3\xa9"), 32);   // characters, not bytes
    EXPECT_EQ(s->text_metrics().height, 16);
    s->polygon({{0, 0}, {2, 0}, {1, 1}});
    s->arc(Rect{0, 0, 2, 2}, 0, 90.5);
    auto* rec = dynamic_cast<RecordingSurface*>(s.get());
    ASSERT_NE(rec, nullptr);
    EXPECT_EQ(rec->lines(), (std::vector<std::string>{"polygon 0,0 2,0 1,1", "arc 0 0 2 2 0 90.5"}));
    Image img = hb->surface_image(*s);
    ASSERT_EQ(img.pixels.size(), 6u);
    EXPECT_EQ(img.at(2, 1), 0xFF0000FFu);
    GLEvents gl;
    EXPECT_EQ(hb->render_gl_offscreen(10, 10, gl), std::nullopt);
}

}  // namespace
