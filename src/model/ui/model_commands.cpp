// The model's life cycle and the File commands.
#include "model/ui/model_commands.h"

#include "framework/app_state.h"
#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/outputs_lock.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/shell.h"
#include "model/analysis_options.h"
#include "model/model.h"
#include "model/model_file.h"
#include "model/ui/dialogs_model_file.h"
#include "model/ui/merge_note.h"
#include "platform/file_lock.h"

#include <filesystem>
#include <system_error>
#include <vector>

namespace {

// Set while the Open command opens the file it asked for: the question about
// unsaved changes has been asked already.
struct OpenQuestion {
    bool discard_confirmed = false;
};
OpenQuestion& open_question() { return session_part<OpenQuestion>(); }

struct DiscardConfirmed {
    DiscardConfirmed() { open_question().discard_confirmed = true; }
    ~DiscardConfirmed() { open_question().discard_confirmed = false; }
    DiscardConfirmed(const DiscardConfirmed&) = delete;
    DiscardConfirmed& operator=(const DiscardConfirmed&) = delete;
};

const FileFilter MODEL_FILTER{"Model files (*.mod)", "*.mod"};
const FileFilter ALL_FILTER{"All files (*.*)", "*"};
// What the Open command opens by extension.
const FileFilter OPEN_FILTER{"Korvane files", "*.mod;*.res;*.mat;*.mdb;*.spe;*.val;*.bli;*.flg;*.noz;*.lug"};

void close_other_windows()
{
    if (const auto& hook = model_file_hooks().close_windows)
        hook();
    // The status line's word on the last analysis goes with its model.
    frame_set_status(main_frame(), "");
}

// Writes the model to the path and makes it the last saved state.
bool save_model_to(WindowId owner, const std::string& path)
{
    if (!batch_mode()) {
        if (const auto& flange_type = model_file_hooks().flange_type) {
            for (int row = 1; row <= numrows(); ++row) {
                if (model().rows[row].dtype != DT_FLANGE || flange_type(row) != 0)
                    continue;
                if (!message_question(
                        owner, c_format("Flange at row %d does not have type defined. \nDo you still want to save?", row)))
                    return false;
                break;
            }
        }
    }
    // Not while another run writes the file and its results: the file would
    // stand beside results of another model. A run of this process (the
    // batch run, Analyze) holds the lock already and goes on.
    const std::string lock_path = outputs_lock_path(path);
    FileLock lock;
    switch (lock.try_acquire(lock_path)) {
    case FileLock::Outcome::Held: break;
    case FileLock::Outcome::Busy:
        throw MessageText(outputs_busy_text(path) +
                          ".\nSave the model again when it has ended, or save it under another name.");
    case FileLock::Outcome::Unavailable:
        throw MessageText("Unable to write model file:\n" + path + "\n" +
                          outputs_lock_failure_text(lock_path, lock.failure()));
    }
    if (const auto& saving = model_file_hooks().saving)
        saving(path);
    write_model_file(path);
    model_modified() = false;
    add_recent_model(path);
    if (const auto& saved = model_file_hooks().saved)
        saved(path);
    if (!batch_mode())
        info_dialog(owner, "Model saved.");
    return true;
}

struct NewDialog : DialogProc {
    int choice = NEW_KIND_MODEL;

    void init(Dialog& d) override
    {
        const ModelFileHooks& hooks = model_file_hooks();
        for (int kind = NEW_KIND_MODEL + 1; kind <= NEW_DOCUMENT_KINDS; ++kind)
            dialog_enable_item(new_choice_radio(kind), static_cast<bool>(hooks.new_document[static_cast<size_t>(kind)]));
        dialog_set_radio(new_choice_radio(1), new_choice_radio(NEW_DOCUMENT_KINDS), new_choice_radio(NEW_KIND_MODEL));
        center_window(d);
    }

    bool ok(Dialog&) override
    {
        for (int kind = 1; kind <= NEW_DOCUMENT_KINDS; ++kind) {
            if (dialog_is_checked(new_choice_radio(kind)))
                choice = kind;
        }
        return true;
    }
};

}  // namespace

ModelFileHooks& model_file_hooks()
{
    return session_part<ModelFileHooks>();
}

// ---- Life cycle -------------------------------------------------------------------------

void init_model()
{
    reset_model();
    clear_model_sections();
    init_model_options();
    model_modified() = false;
}

void close_model()
{
    close_other_windows();
    set_untitled();
    init_model();
}

void set_untitled()
{
    model_file_path().clear();
    set_title_file_text(title_file_for_path(model_file_path()));
    model_modified() = false;
}

void set_model_file_path(const std::string& path)
{
    model_file_path() = path;
    set_title_file_text(title_file_for_path(model_file_path()));
}

std::string model_folder()
{
    return model_file_path().empty() ? std::string() : folder_of(model_file_path());
}

std::string model_path_with_extension(const std::string& extension)
{
    return model_file_path().empty() ? std::string() : replace_extension(model_file_path(), extension);
}

void present_layout_window()
{
    if (const auto& hook = model_file_hooks().present_layout_window) {
        hook();
        return;
    }
    show_main_window();
    notify_document_changed();
    const ModelHooks& hooks = model_hooks();
    if (hooks.redraw_graphics)
        hooks.redraw_graphics();
}

// ---- Files --------------------------------------------------------------------------------

bool save_model(WindowId owner)
{
    KV_ASSERT(!model_file_path().empty());
    return save_model_to(owner, model_file_path());
}

bool read_model(WindowId owner)
{
    try {
        read_model(model_file_path());
    } catch (const MessageText& m) {
        message_error(owner, m.text);
        return false;
    }
    model_modified() = false;
    return true;
}

void open_model_file(const std::string& path)
{
    if (!open_question().discard_confirmed && !confirm_discard_model(command_owner()))
        return;
    read_model(path, close_other_windows);
    set_model_file_path(path);
    model_modified() = false;
    add_recent_model(path);
    present_layout_window();
}

void open_sample_model()
{
    std::error_code ec;
    const std::filesystem::path path = std::filesystem::path(shell_program_folder()) / SAMPLE_MODEL_NAME;
    if (!std::filesystem::is_regular_file(path, ec))
        return;
    try {
        open_model_file(path.string());
    } catch (const MessageText& m) {
        message_error(command_owner(), m.text);
        return;
    }
    if (const auto& view = model_file_hooks().set_sample_view)
        view();
}

bool confirm_discard_model(WindowId owner)
{
    if (batch_mode())
        return true;
    if (!commit_pending_edits())
        return false;
    if (!model_modified())
        return true;
    switch (ask_save_changes(owner, model_base_name(model_file_path()))) {
    case IDNO: return true;
    case IDYES: return save_command(owner);
    default: return false;
    }
}

// ---- Commands -------------------------------------------------------------------------------

void new_file_command(WindowId owner, bool discard_confirmed)
{
    if (!discard_confirmed && !confirm_discard_model(owner))
        return;
    NewDialog proc;
    if (run_dialog(NEW_DIALOG, proc, owner) != IDOK)
        return;
    if (proc.choice == NEW_KIND_MODEL) {
        close_model();
        present_layout_window();
    } else if (const auto& start = model_file_hooks().new_document[static_cast<size_t>(proc.choice)]) {
        start(owner);
    }
}

bool open_discard_confirmed() { return open_question().discard_confirmed; }

void open_command(WindowId owner, bool discard_confirmed)
{
    if (!discard_confirmed && !confirm_discard_model(owner))
        return;
    FileDialogRequest request;
    request.title = "Open";
    request.filters = {OPEN_FILTER, MODEL_FILTER, ALL_FILTER};
    request.initial_path = model_folder();
    if (!open_file_dialog_path(owner, request))
        return;
    DiscardConfirmed asked;
    open_by_extension(ofn_file_path());
}

void close_command(WindowId owner)
{
    if (!confirm_discard_model(owner))
        return;
    close_model();
    present_layout_window();
}

bool save_command(WindowId owner)
{
    if (!commit_pending_edits())
        return false;
    if (model_file_path().empty())
        return save_as_command(owner);
    if (const auto& check = model_file_hooks().check_branch_sifs)
        check(owner);
    return save_model(owner);
}

bool save_as_command(WindowId owner)
{
    if (!commit_pending_edits())
        return false;
    if (const auto& check = model_file_hooks().check_branch_sifs)
        check(owner);
    FileDialogRequest request;
    request.title = "Save As";
    request.filters = {MODEL_FILTER};
    request.default_extension = "mod";
    request.initial_path = model_file_path().empty() ? model_folder() : model_file_path();
    request.must_exist = false;
    if (!save_file_dialog_path(owner, request))
        return false;
    // A model is a .mod file, so that Open reads what was saved: the
    // extension is added to a name that has another one or none. The dialog
    // asked about replacing the name it was given, not this one.
    std::string path = ofn_file_path();
    if (file_extension(path) != "mod") {
        path += ".mod";
        std::error_code ec;
        if (std::filesystem::exists(path, ec) &&
            !message_question(owner, path + " already exists.\nDo you want to replace it?"))
            return false;
    }
    // The model takes the new name only once it has been written there.
    if (!save_model_to(owner, path))
        return false;
    set_model_file_path(path);
    return true;
}

void merge_command(WindowId owner)
{
    FileDialogRequest request;
    request.title = "Merge";
    request.filters = {MODEL_FILTER, ALL_FILTER};
    request.default_extension = "mod";
    request.initial_path = model_folder();
    if (!open_file_dialog_path(owner, request))
        return;
    const MergeOutcome outcome = merge_model(ofn_file_path());
    present_layout_window();
    message_info(owner, merge_note_text(outcome));
}

namespace {

// How the graphics show the rows (hidden, transparent) and which row is
// current, by the rows' nodes and types.
struct RowsAsShown {
    struct Row {
        int32_t node, etype, dtype;
        uint8_t shown, transparent;
    };
    std::vector<Row> rows;
    int current_row = 0;
};

RowsAsShown rows_as_shown()
{
    RowsAsShown out;
    for (const LayoutRow& r : model().rows)
        out.rows.push_back({r.node, r.etype, r.dtype, r.shown, r.transparent});
    out.current_row = model().current_row;
    return out;
}

// The model read again keeps them where it has the same rows: what was
// hidden in the model's view stays hidden in its results, and the current
// row stays the row F6 hides.
void keep_rows_as_shown(const RowsAsShown& before)
{
    Model& m = model();
    if (static_cast<std::size_t>(m.numrows()) != before.rows.size())
        return;
    for (int row = 1; row <= m.numrows(); ++row) {
        const LayoutRow& r = m.rows[row];
        const RowsAsShown::Row& was = before.rows[static_cast<std::size_t>(row - 1)];
        if (r.node != was.node || r.etype != was.etype || r.dtype != was.dtype)
            return;
    }
    for (int row = 1; row <= m.numrows(); ++row) {
        const RowsAsShown::Row& was = before.rows[static_cast<std::size_t>(row - 1)];
        m.rows[row].shown = was.shown;
        m.rows[row].transparent = was.transparent;
    }
    if (m.rows.valid(before.current_row))
        m.current_row = before.current_row;
}

}  // namespace

void results_command(WindowId owner)
{
    const auto& open_results = model_file_hooks().open_results;
    if (batch_mode()) {
        // Batch mode ends here: the results report of the model the run
        // analysed, as it stands in memory (the model file on disk may have
        // been written over since), or exit code 1 with the message when its
        // results cannot be read.
        try {
            if (!open_results)
                throw MessageText("Results are not available in this version of the program.");
            if (model_file_path().empty()) {
                request_exit(1);
                return;
            }
            open_results(owner);
        } catch (const MessageText& m) {
            message_error(owner, m.text);
            request_exit(1);
        }
        return;
    }
    if (!open_results)
        throw MessageText("Results are not available in this version of the program.");
    if (model_file_path().empty())
        throw MessageText("The model has not been saved and analyzed yet.");
    // Reading the file again would drop changes that were not saved.
    if (!confirm_discard_model(owner))
        return;
    const RowsAsShown shown = rows_as_shown();
    if (!read_model(owner))
        return;
    keep_rows_as_shown(shown);
    open_results(owner);
}

void install_model_file_commands()
{
    register_command(CMD_NEW, [](int) { new_file_command(command_owner()); });
    register_command(CMD_OPEN, [](int) { open_command(command_owner()); });
    register_command(CMD_CLOSE, [](int) { close_command(command_owner()); });
    register_command(CMD_SAVE, [](int) { save_command(command_owner()); });
    register_command(CMD_SAVE_AS, [](int) { save_as_command(command_owner()); });
    register_command(CMD_MERGE, [](int) { merge_command(command_owner()); });
    register_command(CMD_RESULTS, [](int) { results_command(command_owner()); });
    register_opener("mod", open_model_file);
    set_first_run_action(open_sample_model);
}
