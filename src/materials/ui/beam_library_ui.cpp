#include "materials/ui/beam_library_ui.h"

#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/shell.h"
#include "materials/ui/beam_section_ui.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/library_browser.h"
#include "model/model_file.h"
#include "model/ui/model_commands.h"

#include <filesystem>
#include <utility>
#include <system_error>

namespace {

BeamLibrary& library() { return session_part<BeamLibrary>(); }

void forget_library()
{
    const std::string directory = library().directory;
    library() = BeamLibrary{};
    library().directory = directory;
}

LibraryWindow beam_window()
{
    LibraryWindow w;
    w.kind = LibraryKind::Beam;
    w.menu = "BEAMLIB_MENU";
    w.accelerators = "BEAMLIB_ACCEL";
    w.buttons = {CMD_LIBRARY, CMD_AISC_LIBRARY};
    w.ask_save = [](WindowId o) { return ask_save_library(beam_library_file(), o); };
    w.save = [](WindowId o) { save_library_command(beam_library_file(), o); };
    w.save_as = [](WindowId o) { save_library_as(beam_library_file(), o); };
    w.open_table = open_beam_sections_table;
    // The library's entries leave the beam-section array with the window.
    w.empty_records = [] {
        reset_beam_section_table_input();
        reset_beam_sections();
        notify_document_changed({DocumentChange::Cleared, SECTION_BEAM_SECTIONS});
    };
    w.path = []() -> std::string& { return library().path; };
    w.set_mode_flag = set_beam_library_mode;
    return w;
}

std::string no_entries_message() { return c_format("There are no beam sections in \n%s", library().path.c_str()); }

}  // namespace

BeamLibrary& beam_library() { return library(); }

void set_beam_library_path(const std::string& path)
{
    library().path = path;
    library().directory = folder_of(path);
    library_path_changed(LibraryKind::Beam, path);
}

const LibraryFile& beam_library_file()
{
    static const LibraryFile file = [] {
        LibraryFile f;
        f.kind = LibraryKind::Beam;
        f.path = []() -> std::string& { return library().path; };
        f.directory = []() -> std::string& { return library().directory; };
        f.set_path = set_beam_library_path;
        f.write = [](const std::string& path) {
            KV_ASSERT(!path.empty());
            write_beam_library_file(path, current_unit_choices(BEAM_LIBRARY_UNIT_QUANTITIES), beam_sections());
        };
        return f;
    }();
    return file;
}

bool read_beam_library(WindowId owner)
{
    KV_ASSERT(!library().path.empty());
    BeamLibraryContents read;
    try {
        read = read_beam_library_file(library().path);
    } catch (const MessageText& m) {
        message_error(owner, m.text);
        forget_library();
        return false;
    }
    library().version = read.version;
    library().units = read.units;
    library().records = std::move(read.records);
    return true;
}

bool open_beam_library(WindowId owner)
{
    const std::string path = choose_library_file(beam_library_file(), owner,
                                                 {{"Beam Section Library files (*.bli)", "*.bli"}});
    if (path.empty() || !check_library_extension(beam_library_file(), owner, path))
        return false;
    set_beam_library_path(path);
    return read_beam_library(owner);
}

int run_beam_library_browser(WindowId owner)
{
    LibraryBrowser b;
    b.caption = "Beam Library";
    b.columns = {{"Beam Description", "", [](int row) { return library().records[row].description; }}};
    b.count = [] { return numlibbeams(); };
    b.path = [] { return library().path; };
    b.note = [] { return std::string(); };
    b.other_library = [](WindowId dialog) {
        if (!open_beam_library(dialog))
            return OtherLibrary::Unchanged;
        if (numlibbeams() == 0) {
            message_error(dialog, no_entries_message());
            library().path.clear();
            return OtherLibrary::Ended;
        }
        return OtherLibrary::Shown;
    };
    return run_library_browser(LIBRARY_USE_DIALOG, b, owner);
}

bool choose_beam_library_entry(WindowId owner, BeamSection& entry)
{
    if (numlibbeams() == 0) {
        std::error_code ec;
        bool read = !library().path.empty() && std::filesystem::exists(library().path, ec) &&
                    read_beam_library(owner) && numlibbeams() > 0;
        if (!read) {
            if (!open_beam_library(owner))
                return false;
            if (numlibbeams() == 0) {
                message_error(owner, no_entries_message());
                library().path.clear();
                return false;
            }
        }
    }
    const int row = run_beam_library_browser(owner);
    if (row == 0)
        return false;
    entry = library().records[row];
    entry.name.clear();
    return true;
}

void load_beam_library_into_model()
{
    reset_beam_section_table_input();
    static_cast<OneBased<BeamSection>&>(beam_sections()) = std::exchange(library().records, OneBased<BeamSection>{});
    apply_unit_choices(BEAM_LIBRARY_UNIT_QUANTITIES, library().units);
}

void open_beam_library_window() { enter_library_mode(beam_window(), load_beam_library_into_model); }

void close_beam_library_window()
{
    if (library_mode_is(LibraryKind::Beam))
        leave_library_mode();
}

void open_beam_library_file(const std::string& path)
{
    const WindowId owner = command_owner();
    if (!open_discard_confirmed() && !confirm_discard_model(owner))
        return;
    BeamLibrary before = library();
    set_beam_library_path(path);
    if (!read_beam_library(owner)) {
        library() = std::move(before);
        library_path_changed(LibraryKind::Beam, library().path);
        return;
    }
    BeamLibrary read = std::exchange(library(), BeamLibrary{});
    close_model_for_library();
    library() = std::move(read);
    open_beam_library_window();
}

void new_beam_library()
{
    close_model_for_library();
    library().path.clear();
    library().records.clear();
    library().units = current_unit_choices(BEAM_LIBRARY_UNIT_QUANTITIES);
    set_title_file_text("Untitled");
    open_beam_library_window();
}

void install_beam_library_ui()
{
    beam_section_library_hooks().choose_entry = [](int owner, BeamSection& entry) {
        return choose_beam_library_entry(owner, entry);
    };
    register_opener("bli", open_beam_library_file);
    model_file_hooks().new_document[NEW_KIND_BEAM_LIBRARY] = [](WindowId) { new_beam_library(); };
}
