#include "materials/ui/pipe_material_library.h"

#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/messages.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/library_browser.h"
#include "materials/ui/library_mode.h"
#include "materials/ui/old_material_library_ui.h"
#include "model/piping_codes.h"

#include <filesystem>

namespace {

MaterialLibrary& library() { return session_part<MaterialLibrary>(); }

}  // namespace

MaterialLibrary& material_library() { return library(); }

void reset_material_library() { library() = MaterialLibrary{}; }

void set_material_library_path(const std::string& path)
{
    library().path = path;
    library().directory = folder_of(path);
    library_path_changed(LibraryKind::Material, path);
}

bool read_material_library(WindowId owner)
{
    KV_ASSERT(!library().path.empty());
    MaterialLibraryContents read;
    try {
        read = read_material_library_file(library().path);
    } catch (const MessageText& m) {
        message_error(owner, m.text);
        const std::string directory = library().directory;
        library() = MaterialLibrary{};
        library().directory = directory;
        return false;
    }
    library().code = read.code;
    library().units = read.units;
    library().records = std::move(read.records);
    return true;
}

bool read_material_library_at(WindowId owner, const std::string& path)
{
    const std::string extension = file_extension(path);
    if (extension == "mdb")
        return open_old_material_library(owner, path);
    if (extension != "mat") {
        message_error(owner, "File extension must be : mat or mdb");
        return false;
    }
    set_material_library_path(path);
    return read_material_library(owner);
}

bool open_material_library(WindowId owner)
{
    FileDialogRequest r;
    r.title = "Open Material Library";
    r.filters = {{"Material Library files (*.mat)", "*.mat"}, {"Material Library files (*.mdb)", "*.mdb"}};
    r.default_extension = "mat";
    r.initial_path = library_dialog_start(library().path, library().directory);
    r.must_exist = true;
    if (!open_file_dialog_path(owner, r))
        return false;
    return read_material_library_at(owner, ofn_file_path());
}

int run_library_use_dialog(WindowId owner)
{
    LibraryBrowser b;
    b.caption = "Material Library";
    b.columns = {{"Material Description", "", [](int row) { return library().records[row].description; }}};
    b.count = [] { return numlibmats(); };
    b.path = [] { return library().path; };
    b.note = [] { return "Piping code : " + piping_code_short_name(library().code); };
    b.other_library = [](WindowId dialog) {
        if (!open_material_library(dialog))
            // A cancelled choice changes nothing; a failed read has been
            // reported and has emptied the library.
            return numlibmats() == 0 ? OtherLibrary::Ended : OtherLibrary::Unchanged;
        if (numlibmats() == 0) {
            message_error(dialog, c_format("There are no materials in \n%s", library().path.c_str()));
            library().path.clear();
            return OtherLibrary::Ended;
        }
        return OtherLibrary::Shown;
    };
    return run_library_browser(LIBRARY_USE_DIALOG, b, owner);
}

bool ensure_material_library(WindowId owner)
{
    if (numlibmats() > 0)
        return true;
    bool read = false;
    if (!library().path.empty() && std::filesystem::exists(library().path))
        read = read_material_library(owner) && numlibmats() > 0;
    if (!read && !open_material_library(owner) && library().path.empty())
        return false;
    if (numlibmats() == 0) {
        if (!library().path.empty())
            message_error(owner, c_format("There are no materials in \n%s", library().path.c_str()));
        library().path.clear();
        return false;
    }
    return true;
}

void check_library_material(const PipeMaterial& record)
{
    if (record.numtemps() == 0)
        throw_message(c_format("Library material \"%s\" has no temperature properties",
                               record.description.c_str()));
    for (int i = 2; i <= record.numtemps(); ++i)
        if (!(record.table[i][PROP_TEMPERATURE] > record.table[i - 1][PROP_TEMPERATURE]))
            throw_message(c_format("Library material \"%s\": temperatures are not in ascending order",
                                   record.description.c_str()));
}

bool pick_material_from_library(WindowId owner, int index)
{
    if (!pipe_materials().valid(index)) {
        beep();
        return false;
    }
    if (!ensure_material_library(owner))
        return false;
    const int pick = run_library_use_dialog(owner);
    if (pick == 0)
        return false;
    // A copy: the library may be replaced while the question is open.
    const PipeMaterial record = library().records[pick];
    check_library_material(record);
    PipeMaterial& m = pipe_materials()[index];
    if (!m.description.empty() && m.description != record.description &&
        !ask_change_value(owner, "Material", m.description, record.description))
        return false;
    const std::string name = m.name;
    m = record;
    m.name = name;
    m.frp = is_frp_code(m.type) ? 1 : 0;
    model_modified() = true;
    return true;
}
