#include "exchange/ui/exchange_ui.h"

#include "analysis/analysis_model.h"
#include "analysis/ui/analysis_ui.h"
#include "exchange/batch_import.h"
#include "exchange/cii_import.h"
#include "exchange/import_check.h"
#include "exchange/pnf_import.h"
#include "exchange/ui/export_commands.h"
#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/commands.h"
#include "framework/errors.h"
#include "framework/outputs_lock.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/shell.h"
#include "model/model.h"
#include "model/ui/model_commands.h"
#include "platform/file_lock.h"
#include "platform/file_replace.h"

#include <cstdio>
#include <filesystem>
#include <functional>
#include <system_error>

namespace {

// The filters of the import dialog, in this order.
const FileFilter BATCH_FILTER{"Model batch file (*.mbf)", "*.mbf"};
const FileFilter PIPEPAK_FILTER{"PipePak neutral file (*.pnf)", "*.pnf"};
const FileFilter CAESAR_FILTER{"CAESAR II neutral file (*.cii)", "*.cii"};
enum ImportFilter : int { IMPORT_BATCH = 0, IMPORT_PIPEPAK = 1, IMPORT_CAESAR = 2 };

// What a batch run holds until the process ends: the lock of its outputs.
struct BatchRun {
    FileLock outputs_lock;
};

BatchRun& batch_run()
{
    return session_part<BatchRun>();
}

// An import that did not give a model leaves an empty, untitled one.
void give_up_model()
{
    set_untitled();
    init_model();
}

// The batch file's path as the program keeps it: whole, so that the model
// file made beside it is found from anywhere.
std::string whole_path(const std::string& path)
{
    std::error_code ec;
    const std::filesystem::path whole = std::filesystem::absolute(path, ec);
    return ec ? path : whole.lexically_normal().string();
}

// What the Import command needs of a file format: what to call it in
// messages, the extension that keeps its model file apart from it, and its
// reader, which fills the empty model and returns what the file held that
// the model did not take.
struct ImportFormat {
    const char* kind;
    const char* extension;
    std::function<ImportNotes(const std::string& path)> read;
};

const ImportFormat BATCH_FORMAT{"batch file", ".mbf", [](const std::string& path) {
                                    import_batch_file_at(path);
                                    // A batch run's analysis says it at once.
                                    ImportNotes notes;
                                    if (!batch_mode())
                                        note_model_check(notes);
                                    return notes;
                                }};
const ImportFormat PIPEPAK_FORMAT{"neutral file", ".pnf", import_pnf_file_at};
const ImportFormat CAESAR_FORMAT{"neutral file", ".cii", import_cii_file_at};

// The format a file is read as: the one its extension names (in any case),
// whatever type the dialog shows, else the one of the type chosen.
const ImportFormat& import_format(const std::string& path, int filter_index)
{
    // In the order of the dialog's filters.
    static const ImportFormat* const FORMATS[] = {&BATCH_FORMAT, &PIPEPAK_FORMAT, &CAESAR_FORMAT};
    const std::string extension = "." + file_extension(path);
    for (const ImportFormat* format : FORMATS)
        if (extension == format->extension)
            return *format;
    return filter_index == IMPORT_PIPEPAK || filter_index == IMPORT_CAESAR ? *FORMATS[filter_index] : BATCH_FORMAT;
}

// Reads the file of the format into the (empty) model and writes the model
// file beside it (the path with its extension, the text from
// `extension_offset` on, replaced by "mod"); see import_batch_model.
// "The path of the <kind> is longer than <limit> characters".
std::string path_too_long_text(const char* kind)
{
    return c_format("The path of the %s is longer than %zu characters", kind, BATCH_PATH_LIMIT);
}

// "The <kind> holds no model:\n<path>", then what the file held that the
// import did not take (lines it did not know, say).
std::string no_model_text(const ImportFormat& format, const std::string& path, const ImportNotes& notes)
{
    std::string text = c_format("The %s holds no model:\n", format.kind) + path;
    if (!notes.empty())
        text += "\n" + notes.text("Of what it holds, the import took nothing:");
    return text;
}

// True when the model holds a row of the layout: a title alone (a comment
// row) is no model.
bool holds_layout_row()
{
    for (int row = 1; row <= numrows(); ++row)
        if (model().rows[row].etype != ET_COMMENT)
            return true;
    return false;
}

// How an import ended: the model imported (written, or kept untitled), the
// file refused as holding no model before anything was changed, or refused
// otherwise (a bad line, a file that cannot be read or written).
enum class ImportOutcome { Imported, NoModel, Refused };

// `before_write`, when given, runs once the file has been read and before
// the model file is written; a message it throws stops the import there.
// `give_up` leaves the model of an import that is refused, before the
// refusal is shown: by default an empty, untitled one.
ImportOutcome import_model_file(WindowId owner, const std::string& path, std::size_t extension_offset,
                                const ImportFormat& format, const std::function<void()>& before_write = {},
                                const std::function<void()>& give_up = give_up_model)
{
    if (path.size() > BATCH_PATH_LIMIT) {
        message_error(owner, path_too_long_text(format.kind));
        return ImportOutcome::Refused;
    }
    const std::string model_path = batch_model_path(path, extension_offset);
    // A file whose name ends in the model file's own extension would be
    // written over by its model.
    if (same_file(model_path, path)) {
        message_error(owner, c_format("The model file of this %s would be the %s itself:\n", format.kind,
                                      format.kind) +
                                 path + c_format("\nRename the %s to end in %s.", format.kind, format.extension));
        return ImportOutcome::Refused;
    }
    ImportNotes notes;
    try {
        notes = format.read(path);
    } catch (const MessageText& m) {
        give_up();
        message_error(owner, m.text);
        return ImportOutcome::Refused;
    }
    // A file without a layout row (empty, a byte-order mark alone, a title,
    // lines none of which was known) is no model: it never takes the place
    // of one.
    if (!holds_layout_row()) {
        give_up();
        message_error(owner, no_model_text(format, path, notes));
        return ImportOutcome::NoModel;
    }
    // What the file held that the model did not take is said once the model
    // stands, whether it was written or kept untitled.
    const auto tell_notes = [&] {
        const bool only_check = notes.groups() == 1 && notes.count(IMPORT_MODEL_CHECK) != 0;
        message_info(owner, notes.text(only_check ? "The import took the file, but the model is not ready to analyse:"
                                                  : "The import did not take everything the file holds:"));
    };
    std::error_code ec;
    if (!batch_mode() && std::filesystem::exists(model_path, ec) &&
        !message_question(owner, model_path + " already exists\nDo you want to overwrite ?", true)) {
        set_untitled();
        model_modified() = true;
        present_layout_window();
        if (!notes.empty())
            tell_notes();
        return ImportOutcome::Imported;
    }
    set_model_file_path(model_path);
    try {
        if (before_write)
            before_write();
        save_model(owner);
    } catch (const MessageText& m) {
        give_up();
        message_error(owner, m.text);
        return ImportOutcome::Refused;
    }
    if (!batch_mode())
        present_layout_window();
    if (!notes.empty())
        tell_notes();
    return ImportOutcome::Imported;
}

}  // namespace

bool import_batch_model(WindowId owner, const std::string& path, std::size_t extension_offset)
{
    return import_model_file(owner, path, extension_offset, BATCH_FORMAT) == ImportOutcome::Imported;
}

namespace {

// Start-up batch mode once the outputs are the run's: checks that it can
// write them, reads the batch file and only then changes any of them.
bool import_batch_run(WindowId owner, const std::string& path, std::size_t extension,
                      const std::string& model_path)
{
    // The results report goes beside the model with the extension "txt": a
    // batch file of that name would be written over by its own report.
    if (same_file(replace_extension(model_path, "txt"), path)) {
        message_error(owner, "The results report of this batch file would be the batch file itself:\n" + path +
                                 "\nRename the batch file to end in .mbf.");
        return false;
    }
    // A file in the way of any output (a folder of its name, a read-only
    // file) stops the run before it changes anything rather than leave one
    // of them beside a model it was not made from.
    if (const std::string refusal = run_outputs_refusal(model_path, true, true); !refusal.empty()) {
        message_error(owner, refusal);
        return false;
    }
    // No report or results of the model the file held stay beside the one
    // this run puts in its place, nor beside a batch file that was refused
    // at a line, which says that it is no longer that model's; a file that
    // holds no model changes nothing.
    bool removal_tried = false;
    const auto remove_outputs = [&model_path, &removal_tried] {
        removal_tried = true;
        remove_run_outputs(model_path);
    };
    const ImportOutcome outcome = import_model_file(owner, path, extension, BATCH_FORMAT, remove_outputs);
    if (outcome == ImportOutcome::Refused && !removal_tried) {
        try {
            remove_outputs();
        } catch (const MessageText& m) {
            message_error(owner, m.text);
        }
    }
    return outcome == ImportOutcome::Imported;
}

}  // namespace

void import_command(WindowId owner)
{
    if (!confirm_discard_model(owner))
        return;
    FileDialogRequest request;
    request.title = "Import Model from Batch File";
    request.filters = {BATCH_FILTER, PIPEPAK_FILTER, CAESAR_FILTER};
    request.filter_index = IMPORT_BATCH;
    request.ok_text = "&Import";
    request.initial_path = model_folder();
    if (!open_file_dialog_path(owner, request))
        return;
    const std::string path = ofn_file_path();
    const ImportFormat& format = import_format(path, request.filter_index);
    const std::size_t extension = ofn_extension_offset();
    // An import that is refused changes nothing: the model that was open
    // comes back as it was, with its file, its settings and its unsaved
    // changes. (Its other windows close with it before the import.)
    const Document kept = document();
    close_model();
    const auto keep_model = [&kept] {
        document() = kept;
        set_model_file_path(model_file_path());
        make_model();
    };
    if (import_model_file(owner, path, extension, format, {}, keep_model) != ImportOutcome::Imported)
        present_layout_window();
}

void run_batch_mode(const std::string& command_line_path)
{
    batch_mode() = true;
    const WindowId owner = main_frame().window;
    const std::string path = whole_path(command_line_path);
    init_model();
    const auto stop = [owner](const std::string& text) {
        message_error(owner, text);
        request_exit(1);
    };
    if (path.size() > BATCH_PATH_LIMIT) {
        stop(path_too_long_text(BATCH_FORMAT.kind));
        return;
    }
    // The last three characters of the path are its extension, whatever they are.
    const std::size_t extension = path.size() >= 3 ? path.size() - 3 : 0;
    const std::string model_path = batch_model_path(path, extension);
    // Whatever becomes of this run, what killed runs left of these files goes.
    remove_stale_run_temporaries(model_path);
    // One run at a time writes the files of a batch file: a second run
    // waits here until the first has ended, so that the model file, the
    // results and the report are each of one run. A run that cannot take the
    // lock says why and writes nothing.
    const std::string lock_path = outputs_lock_path(model_path);
    if (batch_run().outputs_lock.acquire(lock_path, [&model_path] {
            std::fprintf(stderr, "%s; this run waits for it to end.\n",
                         shown_controls(outputs_busy_text(model_path)).c_str());
        }) != FileLock::Outcome::Held) {
        stop(outputs_lock_failure_text(lock_path, batch_run().outputs_lock.failure()));
        return;
    }
    if (!import_batch_run(owner, path, extension, model_path) || !analyze_command(owner)) {
        request_exit(1);
        return;
    }
    // The layout window's Results command opens the results of the model
    // the run analysed, whose Results command writes the report and ends the
    // program (with EXIT_NOT_CONVERGED when a load case did not converge).
    frame_post_command(main_frame(), CMD_RESULTS);
}

void install_exchange_ui()
{
    register_command(CMD_IMPORT, [](int) { import_command(command_owner()); });
    install_export_commands();
    register_batch_starter(run_batch_mode);
}
