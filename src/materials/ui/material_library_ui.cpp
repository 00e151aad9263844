#include "materials/ui/material_library_ui.h"

#include "framework/binfile.h"
#include "framework/commands.h"
#include "framework/document_events.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/app_settings.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/frame.h"
#include "framework/ui/messages.h"
#include "framework/ui/shell.h"
#include "framework/units.h"
#include "materials/material_batch_file.h"
#include "materials/material_library_file.h"
#include "materials/ui/dialogs_libraries.h"
#include "materials/ui/pipe_material_library.h"
#include "materials/ui/pipe_material_ui.h"
#include "model/model_file.h"
#include "model/piping_codes.h"
#include "model/ui/list_window.h"
#include "model/ui/model_commands.h"
#include "platform/file_replace.h"

#include <algorithm>
#include <filesystem>
#include <utility>
#include <fstream>
#include <sstream>

namespace {

// A batch file larger than this is no material library.
constexpr std::uintmax_t MAX_BATCH_FILE_BYTES = 64u << 20;

const FileFilter BATCH_FILTER{"Material Library Batch files (*.mlb)", "*.mlb"};

WindowId owner() { return list_frame().window ? list_frame().window : command_owner(); }

void write_library(const std::string& path)
{
    KV_ASSERT(!path.empty());
    write_material_library_file(path, piping_code(),
                                current_unit_choices(MATERIAL_LIBRARY_UNIT_QUANTITIES), pipe_materials());
}

// The batch file's dialogs: the library's folder and its name with "mlb".
bool choose_batch_file(WindowId parent, bool save)
{
    FileDialogRequest r;
    r.title = save ? "Export Material Library" : "Import Material Library";
    r.filters = {BATCH_FILTER};
    r.default_extension = "mlb";
    const MaterialLibrary& l = material_library();
    r.initial_path = l.path.empty() ? l.directory : replace_extension(l.path, "mlb");
    r.ok_text = save ? "&Export" : "&Import";
    r.must_exist = !save;
    r.confirm_overwrite = true;
    return save ? save_file_dialog_path(parent, r) : open_file_dialog_path(parent, r);
}

void material_library_command(int id)
{
    switch (id) {
    case CMD_PIPING_CODE:
        if (material_library_code_dialog(owner()) == 1)
            open_materials_table();
        break;
    case CMD_UNITS: material_library_units_dialog(owner()); break;
    case CMD_LIBRARY_IMPORT:
        if (choose_batch_file(owner(), false))
            import_material_batch_file(owner(), ofn_file_path());
        break;
    case CMD_LIBRARY_EXPORT:
        if (choose_batch_file(owner(), true))
            export_material_batch_file(owner(), ofn_file_path());
        break;
    default: break;
    }
}

LibraryWindow material_window()
{
    LibraryWindow w;
    w.kind = LibraryKind::Material;
    w.menu = "MATLIB_MENU";
    w.accelerators = "MATLIB_ACCEL";
    w.placement_name = MATERIAL_LIBRARY_PLACEMENT;
    w.commands = {CMD_PIPING_CODE, CMD_UNITS, CMD_LIBRARY_IMPORT, CMD_LIBRARY_EXPORT};
    w.command = material_library_command;
    w.ask_save = [](WindowId o) { return ask_save_library(material_library_file(), o); };
    w.save = [](WindowId o) { save_library_command(material_library_file(), o); };
    w.save_as = [](WindowId o) { save_library_as(material_library_file(), o); };
    w.open_table = open_materials_table;
    w.empty_records = [] {
        materials_table().input = PipeMaterial{};
        clear_pipe_materials();
        notify_document_changed({DocumentChange::Cleared, SECTION_PIPE_MATERIALS});
    };
    w.path = []() -> std::string& { return material_library().path; };
    w.set_mode_flag = [](bool on) { material_library_mode() = on; };
    return w;
}

// The units dialog's lists: the first units of each quantity.
struct UnitList {
    int id;
    int quantity;
    int count;
};
constexpr UnitList UNIT_LISTS[MATERIAL_LIBRARY_UNIT_COUNT] = {
    {MATLIB_DENSITY, DENSITY, 4},   {MATLIB_TEMPERATURE, TEMPERATURE, 2}, {MATLIB_MODULUS, MODULUS, 4},
    {MATLIB_EXPANSION, EXPANSION, 2}, {MATLIB_STRESS, STRESS, 4},
};

class UnitsDialog final : public DialogProc {
public:
    void init(Dialog& d) override
    {
        for (const UnitList& l : UNIT_LISTS) {
            dialog_list_reset(l.id);
            for (int i = 0; i < l.count; ++i)
                dialog_list_add(unit_label_for(l.quantity, i));
            dialog_list_select(l.id, std::min(current_unit(l.quantity), l.count - 1));
        }
        center_window(d);
    }
    void command(Dialog&, int id, int) override
    {
        // Density, temperature, modulus, expansion, stress.
        static const int SETS[3][MATERIAL_LIBRARY_UNIT_COUNT] = {{0, 0, 0, 0, 0}, {2, 1, 1, 1, 1}, {2, 1, 3, 1, 3}};
        if (id < MATLIB_ALL_ENGLISH || id > MATLIB_ALL_METRIC)
            return;
        for (int i = 0; i < MATERIAL_LIBRARY_UNIT_COUNT; ++i)
            dialog_list_select(UNIT_LISTS[i].id, SETS[id - MATLIB_ALL_ENGLISH][i]);
    }
    bool ok(Dialog&) override
    {
        for (const UnitList& l : UNIT_LISTS) {
            const int chosen = dialog_list_selection(l.id);
            if (chosen >= 0)
                unit_choice()[static_cast<std::size_t>(l.quantity)] = chosen;
        }
        return true;
    }
};

class CodeDialog final : public DialogProc {
public:
    void init(Dialog& d) override
    {
        dialog_list_reset(MATLIB_CODE);
        for (int32_t id : piping_code_ids())
            dialog_list_add(piping_code_name(id));
        dialog_list_select(MATLIB_CODE, std::max(piping_code_index(piping_code()), 0));
        center_window(d);
    }
    bool ok(Dialog& d) override
    {
        const int32_t chosen = piping_code_at(dialog_list_selection(MATLIB_CODE));
        if (chosen < 0 || chosen == piping_code()) {
            d.end(0);
            return false;
        }
        piping_code() = chosen;
        model_modified() = true;
        d.end(1);
        return false;
    }
};

bool read_text_file(const std::string& path, std::string& text)
{
    std::error_code ec;
    const std::uintmax_t size = std::filesystem::file_size(path, ec);
    std::ifstream in(path, std::ios::binary);
    if (ec || !in)
        return false;
    if (size > MAX_BATCH_FILE_BYTES)
        throw_message(c_format("The import file is too large:\n%s", path.c_str()));
    std::ostringstream s;
    s << in.rdbuf();
    text = s.str();
    return !in.bad();
}

}  // namespace

const LibraryFile& material_library_file()
{
    static const LibraryFile file = [] {
        LibraryFile f;
        f.kind = LibraryKind::Material;
        f.path = []() -> std::string& { return material_library().path; };
        f.directory = []() -> std::string& { return material_library().directory; };
        f.set_path = set_material_library_path;
        f.write = write_library;
        return f;
    }();
    return file;
}

void load_material_library_into_model()
{
    MaterialLibrary& l = material_library();
    static_cast<OneBased<PipeMaterial>&>(pipe_materials()) = std::exchange(l.records, OneBased<PipeMaterial>{});
    piping_code() = l.code;
    apply_unit_choices(MATERIAL_LIBRARY_UNIT_QUANTITIES, l.units);
    materials_table().input = PipeMaterial{};
}

void open_material_library_window() { enter_library_mode(material_window(), load_material_library_into_model); }

void close_material_library_window()
{
    if (library_mode_is(LibraryKind::Material))
        leave_library_mode();
}

void open_material_library_file(const std::string& path)
{
    const WindowId o = command_owner();
    if (!open_discard_confirmed() && !confirm_discard_model(o))
        return;
    // The library read is kept apart until it has been read whole, so that
    // a file that cannot be read leaves the library shown or picked as it was.
    MaterialLibrary before = material_library();
    if (!read_material_library_at(o, path)) {
        material_library() = std::move(before);
        library_path_changed(LibraryKind::Material, material_library().path);
        return;
    }
    MaterialLibrary read = std::exchange(material_library(), MaterialLibrary{});
    close_model_for_library();
    material_library() = std::move(read);
    open_material_library_window();
}

void new_material_library()
{
    close_model_for_library();
    MaterialLibrary& l = material_library();
    l.path.clear();
    l.records.clear();
    l.code = piping_code();
    l.units = current_unit_choices(MATERIAL_LIBRARY_UNIT_QUANTITIES);
    set_title_file_text("Untitled");
    open_material_library_window();
}

int material_library_code_dialog(WindowId o)
{
    CodeDialog proc;
    return run_dialog(MATLIB_CODE_DIALOG, proc, o) == 1 ? 1 : 0;
}

int material_library_units_dialog(WindowId o)
{
    UnitsDialog proc;
    if (run_dialog(MATLIB_UNITS_DIALOG, proc, o) != IDOK)
        return 0;
    model_modified() = true;
    refresh_materials_table();
    notify_document_changed();
    return 1;
}

bool import_material_batch_file(WindowId o, const std::string& path)
{
    try {
        std::string text;
        if (!read_text_file(path, text))
            throw_message(c_format("Unable to open import file:\n%s", path.c_str()));
        MaterialBatch batch =
            read_material_batch(text, piping_code(), current_unit_choices(MATERIAL_LIBRARY_UNIT_QUANTITIES));
        materials_table().input = PipeMaterial{};
        static_cast<OneBased<PipeMaterial>&>(pipe_materials()) = std::move(batch.materials);
        piping_code() = batch.code;
        apply_unit_choices(MATERIAL_LIBRARY_UNIT_QUANTITIES, batch.units);
    } catch (const MessageText& m) {
        message_error(o, m.text);
        return false;
    }
    model_modified() = true;
    notify_document_changed({DocumentChange::Cleared, SECTION_PIPE_MATERIALS});
    open_materials_table();
    return true;
}

bool export_material_batch_file(WindowId o, const std::string& path)
{
    std::string text;
    try {
        text = write_material_batch(piping_code(), current_unit_choices(MATERIAL_LIBRARY_UNIT_QUANTITIES),
                                    pipe_materials());
    } catch (const MessageText& m) {
        message_error(o, m.text);
        return false;
    }
    BinFile f;
    if (f.open_write(path)) {
        f.write(text.data(), text.size());
        if (f.close())
            return true;
    }
    message_info(list_frame().window,
                 with_reason("Not able to open file " + path + ".\nExport of materials aborted.", f.failure()));
    return false;
}

void install_material_library_ui()
{
    register_opener("mat", open_material_library_file);
    register_opener("mdb", open_material_library_file);
    model_file_hooks().new_document[NEW_KIND_MATERIAL_LIBRARY] = [](WindowId) { new_material_library(); };
}
