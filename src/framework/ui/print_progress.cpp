// The progress of a print: its dialog, the document that reports each page,
// and the serving of the windows between the pages.
#include "framework/ui/print_progress.h"

#include "framework/state.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "platform/backend.h"

#include <algorithm>
#include <chrono>
#include <exception>
#include <utility>

namespace {

using Clock = std::chrono::steady_clock;

class PrintRun;

struct ProgressSession {
    PrintRun* running = nullptr;   // the print that shows its progress now
    int interval_ms = 50;
    PrintProgressListener listener;
};

ProgressSession& progress_session() { return session_part<ProgressSession>(); }

// The windows keep still while the print goes on: their pictures, their
// timers and the posted calls wait for its end.
struct HeldWindows {
    HeldWindows() { backend().hold_windows(true); }
    ~HeldWindows() { backend().hold_windows(false); }
    HeldWindows(const HeldWindows&) = delete;
    HeldWindows& operator=(const HeldWindows&) = delete;
};

// One print: it runs inside its dialog once the dialog is on the screen.
class PrintRun final : public DialogProc {
public:
    PrintRun(std::string title, PrintDocument& doc, const std::function<void(PrintDocument&)>& render)
        : title_(std::move(title)), part_(title_), doc_(doc), render_(render) {}

    bool ran = false;
    bool stopped = false;
    std::exception_ptr failure;

    void init(Dialog& d) override {
        show(d, PRINTING_PART_TEXT, part_);
        show(d, PRINTING_PAGE_TEXT, "");
    }
    void shown(Dialog& d) override {
        run(&d);
        d.end(stopped ? IDCANCEL : IDOK);
    }
    // Enter presses Cancel, the default button; the dialog closes when the
    // print has stopped.
    bool ok(Dialog&) override { return false; }
    bool cancel(Dialog&) override {
        stop_asked_ = true;
        return true;
    }

    // Runs the print; with a dialog, its texts follow the pages.
    void run(Dialog* d);
    bool stop_asked() const { return stop_asked_; }

    void page(int number) {
        page_ = number;
        counting_ = false;
        step();
    }
    void counted(int pages) {
        page_ = pages;
        counting_ = true;
        step();
    }
    void total(int pages) {
        total_ = pages;
        page(doc_.page_number());
    }
    void part(const std::string& text) { part_ = text.empty() ? title_ : text; }

private:
    // The page document that tells the run of each page it begins.
    class Pages final : public PassingDocument {
    public:
        Pages(PrintDocument& real, PrintRun& run) : PassingDocument(real), run_(run) {}
        bool new_page() override {
            const bool ok = real_.new_page();
            run_.page(real_.page_number());
            return ok;
        }

    private:
        PrintRun& run_;
    };

    std::string page_text() const {
        if (counting_) return c_format("Counting the pages: %d", page_);
        if (total_ > 0) return c_format("Page %d of %d", page_, std::max(page_, total_));
        return c_format("Page %d", page_);
    }
    // Shows how far the print has got and serves the windows, at the first
    // page and then every interval; throws PrintCancelled once the user has
    // asked to stop.
    void step() {
        const Clock::time_point now = Clock::now();
        const auto interval = std::chrono::milliseconds(progress_session().interval_ms);
        if (!served_ || now - last_served_ >= interval) {
            if (dialog_) {
                show(*dialog_, PRINTING_PART_TEXT, part_);
                show(*dialog_, PRINTING_PAGE_TEXT, page_text());
            }
            backend().process_events();
            served_ = true;
            last_served_ = Clock::now();
        }
        if (stop_asked_ || (dialog_ && dialog_->ended())) throw PrintCancelled{};
    }

    static void show(Dialog& d, int item, const std::string& text) {
        d.set_text(item, text);
        // A copy: the listener may replace itself.
        if (const PrintProgressListener listener = progress_session().listener) listener(d, item, text);
    }

    std::string title_;
    std::string part_;
    PrintDocument& doc_;
    const std::function<void(PrintDocument&)>& render_;
    Dialog* dialog_ = nullptr;
    int page_ = 1;
    int total_ = 0;
    bool counting_ = false;
    bool stop_asked_ = false;
    bool served_ = false;
    Clock::time_point last_served_{};
};

void PrintRun::run(Dialog* d) {
    ran = true;
    dialog_ = d;
    ProgressSession& session = progress_session();
    session.running = this;
    try {
        HeldWindows held;
        Pages pages(doc_, *this);
        page(doc_.page_number());
        if (render_) render_(pages);
    } catch (const PrintCancelled&) {
        stopped = true;
    } catch (...) {
        failure = std::current_exception();
    }
    session.running = nullptr;
    dialog_ = nullptr;
}

PrintRun* running() { return progress_session().running; }

}  // namespace

const DialogTemplate PRINTING_DIALOG = {
    "PRINTING_DIALOG",
    "Printing",
    {
        control(PRINTING_PART_TEXT, ControlKind::Static, "", 0, 0, 3, CF_MULTILINE),
        control(PRINTING_PAGE_TEXT, ControlKind::Static, "", 1, 0, 3),
        control(IDCANCEL, ControlKind::Button, "Cancel", 100, 1, 1, CF_DEFAULT),
    },
    240,
    0,
};

bool render_with_progress(WindowId owner, const std::string& title, PrintDocument& doc,
                          const std::function<void(PrintDocument&)>& render) {
    if (running()) {
        if (render) render(doc);
        return true;
    }
    PrintRun run(title, doc, render);
    run_dialog(PRINTING_DIALOG, run, owner);
    // Cancelled before it began, the print does not run; a dialog that
    // could not come up leaves it to run without one.
    if (!run.ran && run.stop_asked()) run.stopped = true;
    if (!run.ran && !run.stopped) run.run(nullptr);
    if (run.failure) std::rethrow_exception(run.failure);
    return !run.stopped;
}

void print_progress_total(int pages) {
    if (PrintRun* r = running()) r->total(pages);
}

void print_progress_part(const std::string& text) {
    if (PrintRun* r = running()) r->part(text);
}

void print_progress_counted(int pages) {
    if (PrintRun* r = running()) r->counted(pages);
}

void set_print_progress_interval(int milliseconds) { progress_session().interval_ms = std::max(0, milliseconds); }

void set_print_progress_listener(PrintProgressListener listener) {
    progress_session().listener = std::move(listener);
}
