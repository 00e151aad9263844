#include "framework/ui/messages.h"

#include "framework/app_state.h"
#include "framework/product.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/dialogs_common.h"
#include "platform/threads.h"

#include <cstdio>

namespace {

struct ErrorMessages {
    int shown = 0;
    bool to_stderr = false;
};
ErrorMessages& error_messages() { return session_part<ErrorMessages>(); }

// Without a backend (very early start-up or a plain unit test) the text still
// reaches the user on standard error.
int show(WindowId owner, const std::string& message, MessageIcon icon, MessageButtons buttons) {
    // What a message quotes of the input (a line of a file, a path) reaches
    // neither a terminal nor a dialog with its control characters as they are.
    const std::string text = shown_controls(message, true);
    std::string clamped = message_clamp_lines(text);
    if (icon == MessageIcon::Error) ++error_messages().shown;
    if (!backend_installed()) {
        std::fprintf(stderr, "%s: %s\n", PRODUCT_NAME, clamped.c_str());
        return buttons == MessageButtons::Ok || buttons == MessageButtons::OkCancel ? IDOK : IDYES;
    }
    // In batch mode nobody reads a dialog: the whole text goes to standard
    // error; nor does anybody without windows read an error.
    if (batch_mode() || (icon == MessageIcon::Error && error_messages().to_stderr))
        std::fprintf(stderr, "%s: %s\n", PRODUCT_NAME, text.c_str());
    return backend().message_box(owner, clamped, PRODUCT_NAME, icon, buttons);
}

}  // namespace

// A text ending in "\n" has no empty last line.
int message_line_count(const std::string& text) {
    int lines = 1;
    for (size_t i = 0; i < text.size(); ++i)
        if (text[i] == '\n' && i + 1 < text.size()) ++lines;
    return lines < MAX_LINES ? lines : MAX_LINES;
}

// Keeps the first MAX_LINES lines; when more follow, the last kept line gets
// "..." so that the reader sees that the text goes on. Lines are not wrapped.
std::string message_clamp_lines(const std::string& text) {
    size_t pos = 0;
    for (int line = 1; line < MAX_LINES; ++line) {
        size_t nl = text.find('\n', pos);
        if (nl == std::string::npos) return text;
        pos = nl + 1;
    }
    size_t end = text.find('\n', pos);
    if (end == std::string::npos || end + 1 >= text.size()) return text;
    return text.substr(0, end) + "...";
}

void message_error(WindowId owner, const std::string& text) {
    if (text.empty()) return;
    show(owner, text, MessageIcon::Error, MessageButtons::Ok);
}

int error_messages_shown() { return error_messages().shown; }

void set_error_messages_to_stderr(bool on) { error_messages().to_stderr = on; }

void message_error_foreground(const std::string& text) {
    if (text.empty()) return;
    show(backend_installed() ? backend().active_window() : 0, text, MessageIcon::Error, MessageButtons::Ok);
}

void message_warning(WindowId owner, const std::string& text) {
    show(owner, text, MessageIcon::Warning, MessageButtons::Ok);
}

void message_info(WindowId owner, const std::string& text) {
    show(owner, text, MessageIcon::Info, MessageButtons::Ok);
}

bool message_question(WindowId owner, const std::string& text, bool ok_cancel) {
    int answer = show(owner, text, MessageIcon::Question, ok_cancel ? MessageButtons::OkCancel : MessageButtons::YesNo);
    return answer == IDYES || answer == IDOK;
}

bool ask_change_value(WindowId owner, const std::string& what, const std::string& old_value,
                      const std::string& new_value) {
    std::string text = "Do you want to change " + what + "\nfrom  \"" + old_value + "\"  to  \"" + new_value + "\" ?";
    return show(owner, text, MessageIcon::Question, MessageButtons::YesNo) == IDYES;
}

namespace {

struct SaveChangesDialog : DialogProc {
    std::string name;
    explicit SaveChangesDialog(std::string n) : name(std::move(n)) {}

    void init(Dialog&) override { dialog_set_text(SAVE_CHANGES_TEXT, "Save changes to " + name + " ?"); }
    void command(Dialog& d, int id, int notification) override {
        if ((id == IDYES || id == IDNO) && notification == NOTIFY_CLICKED) d.end(id);
    }
    // Enter answers with the default button, Yes.
    bool ok(Dialog& d) override {
        d.end(IDYES);
        return false;
    }
};

// Closes itself a quarter of a second after it has been drawn.
struct InfoDialog : DialogProc {
    static constexpr int CLOSE_TIMER = 1;
    static constexpr int CLOSE_AFTER_MS = 250;
    std::string text;
    explicit InfoDialog(std::string t) : text(std::move(t)) {}

    void init(Dialog& d) override {
        dialog_set_text(INFO_TEXT, text);
        center_window(d);
    }
    void shown(Dialog& d) override { d.set_timer(CLOSE_TIMER, CLOSE_AFTER_MS); }
    void timer(Dialog& d, int id) override {
        if (id != CLOSE_TIMER) return;
        d.kill_timer(CLOSE_TIMER);
        d.end(IDOK);
    }
};

struct AboutDialog : DialogProc {
    void init(Dialog& d) override { center_window(d, IDOK); }
};

}  // namespace

int ask_save_changes(WindowId owner, const std::string& name) {
    SaveChangesDialog proc(name);
    int result = run_dialog(SAVE_CHANGES_DIALOG, proc, owner);
    return result == IDYES || result == IDNO ? result : IDCANCEL;
}

void info_dialog(WindowId owner, const std::string& text) {
    InfoDialog proc(message_clamp_lines(text));
    run_dialog(INFO_DIALOG, proc, owner);
}

void about_dialog(WindowId owner) {
    AboutDialog proc;
    run_dialog(ABOUT_DIALOG, proc, owner);
}

void beep() {
    if (backend_installed()) backend().beep();
}

void install_assert_display() {
    set_assert_display([](const std::string& text) {
        if (on_main_thread())
            message_error(0, text);
        else
            post_to_main([text] { message_error(0, text); });
    });
}
