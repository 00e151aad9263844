#include "loads/ui/spectrum_library_ui.h"

#include "framework/app_state.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/shell.h"
#include "loads/spectrum_library.h"
#include "loads/ui/spectra_ui.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/library_browser.h"
#include "model/ui/model_commands.h"

#include <filesystem>
#include <system_error>
#include <utility>

namespace {

struct SpectrumLibraryState {
    SpectrumLibraryPath path;
    bool mode = false;
};
SpectrumLibraryState& state() { return session_part<SpectrumLibraryState>(); }

void forget_path()
{
    state().path.path.clear();
}

std::string no_spectra_message()
{
    return c_format("There are no spectrums in \n%s", state().path.path.c_str());
}

LibraryWindow spectrum_window()
{
    LibraryWindow w;
    w.kind = LibraryKind::Spectrum;
    w.menu = "SPECLIB_MENU";
    w.accelerators = "SPECLIB_ACCEL";
    w.placement_name = SPECTRUM_LIBRARY_PLACEMENT;
    w.ask_save = [](WindowId o) { return ask_save_library(spectrum_library_file(), o); };
    w.save = [](WindowId o) { save_library_command(spectrum_library_file(), o); };
    w.save_as = [](WindowId o) { save_library_as(spectrum_library_file(), o); };
    w.open_table = open_spectra_table;
    // The library's spectra leave the model's list with the window.
    w.empty_records = clear_spectra;
    w.path = []() -> std::string& { return state().path.path; };
    w.set_mode_flag = [](bool on) { state().mode = on; };
    return w;
}

// Reads the remembered library when none is loaded; asks for one when that
// fails or it holds no spectra. False when no spectrum can be offered.
bool load_library_for_pick(WindowId owner)
{
    if (numlibspectrums() > 0)
        return true;
    std::error_code ec;
    const std::string& path = state().path.path;
    if (!path.empty() && std::filesystem::exists(path, ec) && read_spectrum_library(owner) && numlibspectrums() > 0)
        return true;
    if (!open_spectrum_library(owner))
        return false;
    if (numlibspectrums() > 0)
        return true;
    message_error(owner, no_spectra_message());
    forget_path();
    return false;
}

}  // namespace

SpectrumLibraryPath& spectrum_library_path() { return state().path; }

void set_spectrum_library_path(const std::string& path)
{
    state().path.path = path;
    state().path.directory = folder_of(path);
    library_path_changed(LibraryKind::Spectrum, path);
}

const LibraryFile& spectrum_library_file()
{
    static const LibraryFile file = [] {
        LibraryFile f;
        f.kind = LibraryKind::Spectrum;
        f.path = []() -> std::string& { return state().path.path; };
        f.directory = []() -> std::string& { return state().path.directory; };
        f.set_path = set_spectrum_library_path;
        f.write = [](const std::string& path) {
            KV_ASSERT(!path.empty());
            write_spectrum_library_file(path, spectra());
        };
        return f;
    }();
    return file;
}

bool spectrum_library_mode() { return state().mode; }

bool read_spectrum_library(WindowId owner)
{
    KV_ASSERT(!state().path.path.empty());
    spectrum_library().clear();
    SpectrumLibraryContents read;
    try {
        read = read_spectrum_library_file(state().path.path);
    } catch (const MessageText& m) {
        message_error(owner, m.text);
        forget_path();
        return false;
    }
    spectrum_library() = std::move(read.records);
    return true;
}

bool open_spectrum_library(WindowId owner)
{
    const std::string path = choose_library_file(spectrum_library_file(), owner);
    if (path.empty() || !check_library_extension(spectrum_library_file(), owner, path))
        return false;
    set_spectrum_library_path(path);
    return read_spectrum_library(owner);
}

int run_spectrum_library_browser(WindowId owner)
{
    LibraryBrowser b;
    b.caption = "Spectrum Library";
    b.columns = {{"Spectrum Name", "", [](int row) { return library_spectrum(row - 1).name; }}};
    b.count = [] { return numlibspectrums(); };
    b.path = [] { return state().path.path; };
    b.other_library = [](WindowId dialog) {
        // A file that is not read leaves the library shown as it was.
        const std::string shown_path = state().path.path;
        std::vector<Spectrum> shown = spectrum_library();
        if (!open_spectrum_library(dialog)) {
            state().path.path = shown_path;
            spectrum_library() = std::move(shown);
            return OtherLibrary::Unchanged;
        }
        if (numlibspectrums() == 0) {
            message_error(dialog, no_spectra_message());
            forget_path();
            return OtherLibrary::Ended;
        }
        return OtherLibrary::Shown;
    };
    return run_library_browser(LIBRARY_USE_DIALOG, b, owner);
}

bool choose_library_spectrum(WindowId owner, Spectrum& chosen)
{
    if (!load_library_for_pick(owner))
        return false;
    const int row = run_spectrum_library_browser(owner);
    if (row < 1 || row > numlibspectrums())
        return false;
    chosen = library_spectrum(row - 1);
    return true;
}

int pick_spectrum_from_library(WindowId owner)
{
    if (input_locked() || spectrum_library_mode())
        return 0;
    SpectrumList& list = spectra();
    if (const std::string full = spectrum_list_full_fault(list, "spectra"); !full.empty()) {
        message_error(owner, full);
        return 0;
    }
    Spectrum s;
    if (!choose_library_spectrum(owner, s))
        return 0;
    s.name = unique_spectrum_name(list, s.name);
    push_undo_snapshot(owner);
    const int index = list.append(std::move(s));
    model_modified() = true;
    notify_document_changed();
    return index;
}

void open_spectrum_library_window()
{
    enter_library_mode(spectrum_window(), load_spectrum_library_into_model);
}

void close_spectrum_library_window()
{
    if (library_mode_is(LibraryKind::Spectrum))
        leave_library_mode();
}

void open_spectrum_library_file(const std::string& path)
{
    const WindowId owner = command_owner();
    if (!open_discard_confirmed() && !confirm_discard_model(owner))
        return;
    // A file that cannot be read leaves the library loaded for picks as it was.
    const SpectrumLibraryPath before = state().path;
    std::vector<Spectrum> loaded = spectrum_library();
    state().path.path = path;
    if (!read_spectrum_library(owner)) {
        state().path = before;
        spectrum_library() = std::move(loaded);
        return;
    }
    std::vector<Spectrum> read = std::exchange(spectrum_library(), {});
    close_model_for_library();
    set_spectrum_library_path(path);
    spectrum_library() = std::move(read);
    open_spectrum_library_window();
}

void new_spectrum_library()
{
    close_model_for_library();
    forget_path();
    spectrum_library().clear();
    set_title_file_text("Untitled");
    open_spectrum_library_window();
}

void install_spectrum_library_ui()
{
    register_opener("spe", open_spectrum_library_file);
    model_file_hooks().new_document[NEW_KIND_SPECTRUM_LIBRARY] = [](WindowId) { new_spectrum_library(); };
}
