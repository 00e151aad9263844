// The keypad's keys as the keyboard gives them to the Qt backend: every
// keypad key of every accelerator table (the built-in ones and those the
// program adds at start-up) sends its command, with Num Lock on and off,
// while the same digit of the main keyboard does not; Ctrl+Num 8 and
// Ctrl+Num 2 size the graphics window's symbols.
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "framework/ui/menus.h"
#include "framework/ui/shell.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/view_settings.h"
#include "gui/graphics_gui.h"
#include "gui/program_fixture.h"

#include <QKeyEvent>
#include <QMainWindow>

#include <filesystem>
#include <string>
#include <vector>

namespace {

void send_key(QWidget* w, int qt_key, Qt::KeyboardModifiers mods)
{
    QKeyEvent press(QEvent::KeyPress, qt_key, mods);
    QCoreApplication::sendEvent(w, &press);
    QKeyEvent release(QEvent::KeyRelease, qt_key, mods);
    QCoreApplication::sendEvent(w, &release);
}

Qt::KeyboardModifiers qt_mods(unsigned mods)
{
    Qt::KeyboardModifiers m = Qt::NoModifier;
    if (mods & MOD_SHIFT)
        m |= Qt::ShiftModifier;
    if (mods & MOD_CONTROL)
        m |= Qt::ControlModifier;
    if (mods & MOD_ALT)
        m |= Qt::AltModifier;
    return m;
}

// The key the keypad gives for a digit with Num Lock off (X11's KP_Up for 8).
int key_without_num_lock(int digit)
{
    static constexpr int KEYS[] = {Qt::Key_Insert, Qt::Key_End,   Qt::Key_Down, Qt::Key_PageDown, Qt::Key_Left,
                                   Qt::Key_Clear,  Qt::Key_Right, Qt::Key_Home, Qt::Key_Up,       Qt::Key_PageUp};
    return KEYS[digit];
}

struct RecordingFrame : FrameEvents {
    std::vector<int> commands;
    void on_command(int id) override { commands.push_back(id); }
};

class KeypadAccelerators : public GuiProgramTest {
protected:
    KeypadAccelerators() : GuiProgramTest("korvane_keypad") {}
};

}  // namespace

TEST_F(KeypadAccelerators, EveryKeypadKeyOfEveryTableSendsItsCommand)
{
    QtBackend& b = gui_backend();
    RecordingFrame events;
    const WindowId f = b.create_frame("KorvaneKeypadFrame", "Keypad", &events);
    b.show_window(f, WindowPlacement::SHOW_NORMAL);
    auto* window = qobject_cast<QMainWindow*>(b.widget(f));
    ASSERT_NE(window, nullptr);
    QWidget* client = window->centralWidget();
    ASSERT_NE(client, nullptr);
    gui_settle(100);
    // Each key goes to the frame with the table in use (the program's own
    // windows take the keys over when the window system activates them).
    const AcceleratorTable* in_use = nullptr;
    auto sends = [&](int qt_key, Qt::KeyboardModifiers mods) {
        b.set_active_accelerators(f, in_use);
        events.commands.clear();
        send_key(client, qt_key, mods);
        return events.commands;
    };
    int keypad_entries = 0;
    for (const std::string& name : accelerator_resource_names()) {
        in_use = &accelerator_resource(name);
        for (const Accelerator& a : in_use->entries) {
            if (a.key < KEY_NUMPAD0 || a.key > KEY_NUMPAD9)
                continue;
            ++keypad_entries;
            const int digit = a.key - KEY_NUMPAD0;
            const Qt::KeyboardModifiers mods = qt_mods(a.mods);
            const std::string what = name + " keypad " + std::to_string(digit);
            EXPECT_EQ(sends(Qt::Key_0 + digit, mods | Qt::KeypadModifier), std::vector<int>{a.id}) << what;
            EXPECT_EQ(sends(key_without_num_lock(digit), mods | Qt::KeypadModifier), std::vector<int>{a.id})
                << what << " without Num Lock";
            EXPECT_NE(sends(Qt::Key_0 + digit, mods), std::vector<int>{a.id}) << what << " from the main keyboard";
        }
    }
    // The graphics window's Ctrl+Num 8 and Ctrl+Num 2 at least.
    EXPECT_GE(keypad_entries, 2);
    // The keypad's arrows stay arrows where a table holds the arrow itself.
    in_use = &accelerator_resource("RESULTS_ACCEL");
    EXPECT_EQ(sends(Qt::Key_Left, Qt::ControlModifier | Qt::KeypadModifier), std::vector<int>{CMD_PREVIOUS_ITEM});
    b.set_active_accelerators(0, nullptr);
    b.destroy_window(f);
    gui_settle(50);
}

TEST_F(KeypadAccelerators, CtrlNumEightAndTwoSizeTheGraphicsSymbols)
{
    const std::filesystem::path model_file = folder / "piping.mod";
    std::filesystem::copy_file(std::filesystem::path(KV_PROGRAM_PATH).parent_path() / "sample.mod", model_file);
    open_by_extension(model_file.string());
    graphics_window_show();
    ASSERT_TRUE(wait_graphics_shown());
    frame_make_current(graphics_frame());
    QWidget* client = gui_backend().widget(graphics_client_window());
    set_symbol_scale(1.0f);
    const int repaints = graphics_repaint_count();
    send_key(client, Qt::Key_8, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_NEAR(symbol_scale(), 1.1f, 1e-6);
    send_key(client, Qt::Key_2, Qt::ControlModifier | Qt::KeypadModifier);
    send_key(client, Qt::Key_2, Qt::ControlModifier | Qt::KeypadModifier);
    EXPECT_NEAR(symbol_scale(), 0.9f, 1e-6);
    // The symbols are drawn again at their new size.
    EXPECT_TRUE(gui_wait_for([&] { return graphics_repaint_count() > repaints; }));
}
