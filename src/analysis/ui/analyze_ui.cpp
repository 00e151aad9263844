// The Analyze command and its progress dialog.
//
// The worker thread runs the analysis on the snapshot and reports by posted
// calls: progress lines into the dialog, a question when a load case has
// not converged (the worker waits for the answer), and the end of the run,
// which closes the dialog. The dialog stays open until the worker ends:
// Cancel only asks it to stop. With the windowless backend (batch mode and
// the window tests) nothing runs posted calls while a dialog is open, so the
// dialog's first timer runs the worker's posts itself as they come, until
// the run has ended, however long it takes. Every post and the end of the
// worker's job wake the main thread: nothing waits on a clock. The main
// window's status line says how the run ended: done, with the count of its
// warnings, or the step at which it stopped.
//
// A run holds the lock of its model file's outputs (framework/outputs_lock)
// from before it saves the model until its results are written. While
// another run (a batch run of the same names) holds it, the dialog and the
// status line say that the analysis waits, and Cancel gives up (with the
// windowless backend the dialog's first timer waits as long as it takes).
#include "analysis/analysis_model.h"
#include "analysis/model_check.h"
#include "analysis/static_analysis.h"
#include "analysis/ui/analysis_dialogs_ui.h"
#include "analysis/ui/analysis_ui.h"
#include "framework/app_state.h"
#include "framework/state.h"
#include "framework/text.h"
#include "framework/commands.h"
#include "framework/outputs_lock.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/shell.h"
#include "model/model.h"
#include "platform/file_lock.h"
#include "platform/threads.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <mutex>

namespace {

constexpr int POLL_TIMER = 1;
constexpr int POLL_MILLISECONDS = 100;

// What the worker and the window share.
struct RunShared {
    std::atomic<bool> cancel{false};
    Event wake{false};              // auto-reset: set by every post of the worker and at its end
    Event ended{true};              // set when the worker's job has returned, after its last post
    // Main thread only.
    Dialog* dialog = nullptr;
    bool finished = false;
    RunOutcome outcome;
    std::string step;               // the step the run has reached, as the dialog shows it
};

// Posts a call to the main thread and wakes a dialog that waits for posts.
void post_from_worker(const std::shared_ptr<RunShared>& shared, std::function<void()> call)
{
    post_to_main(std::move(call));
    shared->wake.set();
}

// Runs the worker's posts as they come until its job has returned; its
// last post runs too. With windows the wait gives way to the window
// system's events now and then, so that the windows stay painted.
void run_posts_until_ended(const std::shared_ptr<RunShared>& shared, const std::function<bool()>& enough)
{
    for (;;) {
        // Read before the posts are run: a job that has ended has posted all.
        const bool ended = shared->ended.is_set();
        backend().process_events();
        if (ended || enough())
            return;
        shared->wake.wait(backend().has_windows() ? POLL_MILLISECONDS : -1);
    }
}

class AnalysisDialog : public DialogProc {
public:
    explicit AnalysisDialog(std::shared_ptr<RunShared> shared) : shared_(std::move(shared)) {}

    void init(Dialog& d) override
    {
        shared_->dialog = &d;
        center_window(d, IDCANCEL);
        d.set_timer(POLL_TIMER, POLL_MILLISECONDS);
    }

    void timer(Dialog& d, int id) override
    {
        if (id != POLL_TIMER)
            return;
        if (!backend().has_windows())
            run_posts_until_ended(shared_, [this] { return shared_->finished; });
        if (shared_->finished && !d.ended())
            d.end(IDOK);
    }

    // Enter does not close the dialog; the end of the run does.
    bool ok(Dialog&) override { return shared_->finished; }

    bool cancel(Dialog& d) override
    {
        if (shared_->finished)
            return true;
        shared_->cancel = true;
        d.set_text(ANALYSIS_STEP_TEXT, "Stopping the analysis");
        d.enable(IDCANCEL, false);
        return false;
    }

private:
    std::shared_ptr<RunShared> shared_;
};

// The wait for the lock of the outputs while another run holds it: the
// timer tries it again; Cancel gives up.
class LockWaitDialog : public DialogProc {
public:
    LockWaitDialog(FileLock& lock, std::string lock_path, std::string text)
        : lock_(lock), lock_path_(std::move(lock_path)), text_(std::move(text))
    {
    }

    void init(Dialog& d) override
    {
        center_window(d, IDCANCEL);
        d.set_text(ANALYSIS_STEP_TEXT, text_);
        d.set_text(ANALYSIS_DETAIL_TEXT, "");
        d.set_timer(POLL_TIMER, POLL_MILLISECONDS);
    }

    void timer(Dialog& d, int id) override
    {
        if (id != POLL_TIMER)
            return;
        // The windowless backend runs its timers at once, and nothing else
        // happens while its dialog is open: the wait is here, as long as
        // it takes.
        outcome = backend().has_windows() ? lock_.try_acquire(lock_path_) : lock_.acquire(lock_path_);
        if (outcome != FileLock::Outcome::Busy)
            d.end(IDOK);
    }

    bool ok(Dialog&) override { return false; }
    bool cancel(Dialog&) override { return true; }

    FileLock::Outcome outcome = FileLock::Outcome::Busy;

private:
    FileLock& lock_;
    std::string lock_path_;
    std::string text_;
};

// A progress line that tells how far a step has got (its iterations, its
// load path) rather than which step it is.
bool step_detail(const std::string& text)
{
    return text.rfind("Iteration ", 0) == 0 || text.rfind("Load path: ", 0) == 0;
}

// The status line's word on a run that stopped at `step` (empty: before the
// first step).
std::string stopped_status(const std::string& step)
{
    return step.empty() ? std::string("Analysis stopped") : "Analysis stopped: " + step;
}

// The status line's word on a run that wrote its results after `warnings`
// lines of warning.
std::string done_status(std::size_t warnings)
{
    if (warnings == 0)
        return "Analysis done";
    return c_format("Analysis done: %zu warning%s", warnings, warnings == 1 ? "" : "s");
}

void show_status(const std::string& text)
{
    frame_set_status(main_frame(), text);
}

RunCallbacks worker_callbacks(const std::shared_ptr<RunShared>& shared, bool batch)
{
    RunCallbacks callbacks;
    callbacks.cancel = &shared->cancel;
    callbacks.progress = [shared](const std::string& text) {
        post_from_worker(shared, [shared, text] {
            if (!step_detail(text))
                shared->step = text;
            if (!shared->dialog || shared->finished)
                return;
            // Iteration reports go below the load case.
            if (text.rfind("Iteration ", 0) == 0) {
                shared->dialog->set_text(ANALYSIS_DETAIL_TEXT, text);
            } else {
                shared->dialog->set_text(ANALYSIS_STEP_TEXT, text);
                shared->dialog->set_text(ANALYSIS_DETAIL_TEXT, "");
            }
        });
    };
    callbacks.ask_unconverged = [shared, batch](const std::string& question) {
        if (batch)
            return true;
        struct Answer {
            Event done{true};
            bool ok = true;
        };
        auto answer = std::make_shared<Answer>();
        post_from_worker(shared, [shared, answer, question] {
            const WindowId owner = shared->dialog ? shared->dialog->window() : 0;
            answer->ok = message_question(owner, question, true);
            answer->done.set();
        });
        answer->done.wait();
        return answer->ok;
    };
    return callbacks;
}

// Holds the lock of the model file's outputs: at once, or after the wait
// while another run holds it. False when the user gave up waiting; throws
// why when the lock cannot be taken.
bool hold_outputs(WindowId owner, const std::string& model_path, FileLock& lock)
{
    const std::string lock_path = outputs_lock_path(model_path);
    FileLock::Outcome outcome = lock.try_acquire(lock_path);
    if (outcome == FileLock::Outcome::Busy) {
        const std::string text = outputs_busy_text(model_path) + "; the analysis waits for it to end.";
        show_status(text);
        LockWaitDialog proc(lock, lock_path, text);
        run_dialog(ANALYSIS_DIALOG, proc, owner);
        outcome = proc.outcome;
        show_status(outcome == FileLock::Outcome::Busy ? stopped_status("") : "");
    }
    if (outcome == FileLock::Outcome::Unavailable)
        throw MessageText(outputs_lock_failure_text(lock_path, lock.failure()));
    return outcome == FileLock::Outcome::Held;
}

// A model that has not been saved as it is now is saved first, so that the
// results belong to the model file that the Results command reads.
bool model_saved(WindowId)
{
    if (!model_file_path().empty() && !model_modified())
        return true;
    if (!command_available(CMD_SAVE)) {
        if (model_file_path().empty())
            throw MessageText("The model has not been saved yet.");
        return true;
    }
    run_command(CMD_SAVE);
    return !model_file_path().empty() && !model_modified();
}

// A heading and at most four lines of warnings (the message dialogs' limit),
// "..." for more; in batch mode, where they go to standard error, every line.
std::string warnings_text(std::string text, const std::vector<std::string>& warnings)
{
    const std::size_t shown = batch_mode() ? warnings.size() : 4;
    for (std::size_t i = 0; i < warnings.size() && i < shown; ++i)
        text += "\n" + warnings[i];
    if (warnings.size() > shown)
        text += "\n...";
    return text;
}

// The warning at the end of a run with cases that did not converge: each
// step that did not, with its worst item and node.
std::string unconverged_text(const RunOutcome& outcome)
{
    return warnings_text("The nonlinear iterations of these load cases did not converge:", outcome.unconverged_details);
}

// The cases that were analysed with nothing to carry.
std::string unloaded_cases_text(const std::vector<std::string>& lines)
{
    return warnings_text("These load cases carry nothing:", lines);
}

// The model's warnings before a run.
std::string model_warnings_text(const std::vector<std::string>& warnings)
{
    return warnings_text(MODEL_WARNINGS_HEADING, warnings);
}

// What the hanger design says of the hangers it left undesigned or gave a
// constant support.
std::string run_warnings_text(const std::vector<std::string>& warnings)
{
    return warnings_text(HANGER_WARNINGS_HEADING, warnings);
}

// What the modal analysis says of the modes it found.
std::string modal_notes_text(const std::vector<std::string>& notes)
{
    return warnings_text("The modal analysis:", notes);
}

struct LastRun {
    bool unconverged = false;
    std::vector<std::string> case_notes;
    std::vector<std::string> model_warnings;
    Sha256Digest model_fingerprint{};
};

LastRun& last_run()
{
    return session_part<LastRun>();
}

}  // namespace

bool last_analysis_unconverged()
{
    return last_run().unconverged;
}

const std::vector<std::string>& last_analysis_case_notes()
{
    return last_run().case_notes;
}

const Sha256Digest& last_analysis_model_fingerprint()
{
    return last_run().model_fingerprint;
}

const std::vector<std::string>& last_analysis_model_warnings()
{
    return last_run().model_warnings;
}

bool analyze_command(WindowId owner)
{
    last_run() = LastRun{};
    show_status("");
    if (!commit_pending_edits())
        return false;
    if (model_rebuild_needed())
        make_model();
    if (numelems() == 0) {
        message_error(owner, "There is nothing to analyze");
        return false;
    }
    // An untitled model gets its name first (Save As).
    const bool named_now = model_file_path().empty();
    if (named_now && !model_saved(owner))
        return false;
    // From here until the results are written no other run writes these
    // names.
    const std::string model_path = model_file_path();
    // What killed runs left of these files goes, whatever becomes of this run.
    remove_stale_run_temporaries(model_path);
    FileLock outputs_lock;
    if (!hold_outputs(owner, model_path, outputs_lock))
        return false;
    // A model file that another run has replaced since this model was read
    // or saved holds another model: its results are not this model's.
    if (!batch_mode() && model_file_replaced()) {
        if (!message_question(owner,
                              model_path + " has been replaced by another run since this model was opened or saved."
                                           "\nDo you want to replace it with this model and analyze it?",
                              true)) {
            show_status(stopped_status(""));
            return false;
        }
        model_modified() = true;
    }
    // A file in the way of what this run writes (a folder of its name, a
    // read-only file) stops it before it changes any.
    const bool saving = named_now || model_modified();
    if (const std::string refusal = run_outputs_refusal(model_path, saving, false); !refusal.empty()) {
        show_status(stopped_status(""));
        throw MessageText(refusal);
    }
    // The report and results of the model the file held go before another
    // model takes its place.
    if (saving)
        remove_run_outputs(model_path);
    if (!model_saved(owner))
        return false;

    std::unique_ptr<AnalysisModel> snapshot;
    try {
        snapshot = make_analysis_model();
    } catch (const MessageText&) {
        show_status(stopped_status("Checking the model"));
        throw;
    }
    const bool batch = snapshot->batch_mode;
    // What the engineer should know of the model goes before the run (to
    // standard error in batch mode).
    last_run().model_fingerprint = snapshot->output.model_fingerprint;
    last_run().model_warnings = analysis_model_warnings(*snapshot);
    if (!last_run().model_warnings.empty())
        message_warning(owner, model_warnings_text(last_run().model_warnings));
    auto shared = std::make_shared<RunShared>();
    RunCallbacks callbacks = worker_callbacks(shared, batch);

    WorkerThread worker;
    const AnalysisModel* model = snapshot.get();
    const bool started = worker.start([shared, model, callbacks] {
        // However the job ends, the main thread hears of it.
        struct EndSignal {
            RunShared& s;
            ~EndSignal()
            {
                s.ended.set();
                s.wake.set();
            }
        } end_signal{*shared};
        RunOutcome outcome = run_analysis(*model, callbacks);
        post_from_worker(shared, [shared, outcome] {
            shared->finished = true;
            shared->outcome = outcome;
            if (shared->dialog && !shared->dialog->ended())
                shared->dialog->end(IDOK);
        });
    });
    if (!started)
        throw MessageText("The analysis could not be started.");

    AnalysisDialog proc(shared);
    run_dialog(ANALYSIS_DIALOG, proc, owner);
    shared->dialog = nullptr;
    // A dialog closed before the end of the run (the windowless backend
    // gives up on a dialog after a while) stops the run; its posts, a
    // question among them, are run while it stops.
    if (!shared->finished)
        shared->cancel = true;
    run_posts_until_ended(shared, [] { return false; });
    worker.join();

    const RunOutcome& outcome = shared->outcome;
    if (!shared->finished || !outcome.completed) {
        show_status(stopped_status(shared->step));
        message_error(owner, shared->finished ? outcome.message : std::string("Analysis aborted."));
        return false;
    }
    // The status first, so that it stands behind the warnings that follow;
    // it counts their lines.
    const std::size_t unconverged_lines =
        outcome.unconverged.empty() ? 0 : std::max<std::size_t>(1, outcome.unconverged_details.size());
    show_status(done_status(last_run().model_warnings.size() + outcome.unloaded_cases.size() + unconverged_lines +
                            outcome.warnings.size() + outcome.modal_notes.size()));
    if (main_frame().window)
        frame_show_button(main_frame(), CMD_RESULTS);
    last_run().case_notes = outcome.case_notes;
    if (batch)
        for (const std::string& note : outcome.case_notes)
            std::fprintf(stderr, "%s\n", note.c_str());
    // In batch mode the warnings go to standard error.
    if (!outcome.unloaded_cases.empty())
        message_warning(owner, unloaded_cases_text(outcome.unloaded_cases));
    if (!outcome.unconverged.empty()) {
        last_run().unconverged = true;
        message_warning(owner, unconverged_text(outcome));
    }
    if (!outcome.warnings.empty())
        message_warning(owner, run_warnings_text(outcome.warnings));
    if (!outcome.modal_notes.empty())
        message_warning(owner, modal_notes_text(outcome.modal_notes));
    return true;
}
