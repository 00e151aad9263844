#include "materials/ui/pipe_material_library.h"

#include "framework/app_state.h"
#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "framework/ui/dialog_helper.h"
#include "framework/ui/file_dialogs.h"
#include "framework/ui/messages.h"
#include "framework/ui/table.h"
#include "framework/units.h"
#include "materials/ui/dialogs_materials.h"
#include "model/layout_row.h"
#include "model/piping_codes.h"

#include <filesystem>
#include <memory>

namespace {

MaterialLibrary& library() { return session_part<MaterialLibrary>(); }

// Library files of version 680 and below number the codes from 11 upward one
// lower than the program does.
constexpr int OLD_CODE_VERSION = 680;
// Records of files before version 680 carry 4-byte names.
constexpr int SIX_BYTE_NAME_VERSION = 680;

std::string file_name_part(const std::string& path)
{
    return std::filesystem::path(path).filename().string();
}

std::string folder_part(const std::string& path)
{
    return std::filesystem::path(path).parent_path().string();
}

// The pick's table: one column of descriptions; Enter picks the current row.
class LibraryUseTable final : public TableWindow {
public:
    std::function<void()> picked;

    LibraryUseTable() : TableWindow(nullptr, 1, 1) { editing_allowed = false; }

    std::string header_text(int column, int line) override
    {
        return column == 1 && line == 0 ? "Material Description" : std::string();
    }
    std::string cell_text(int row, int column, int line) override
    {
        if (column != 1 || line != 0 || !library().records.valid(row))
            return {};
        return library().records[row].description;
    }
    bool cell_editable(int, int) override { return false; }
    void leave_row(int) override
    {
        if (picked)
            picked();
    }
    bool edit_row(int) override
    {
        if (picked)
            picked();
        return true;
    }
};

constexpr int VISIBLE_LIBRARY_ROWS = 12;

class LibraryUseDialog final : public DialogProc {
public:
    int result = 0;

    void init(Dialog& d) override
    {
        KV_ASSERT(numlibmats() > 0);
        table_.picked = [&d, this] {
            result = table_.current_row;
            d.end(result);
        };
        view_ = table_create_in_dialog(d, LIBUSE_TABLE, table_);
        fill(d);
        // At most 12 rows show, and every column; the buttons stay under the table.
        const int rows = std::min(numlibmats(), VISIBLE_LIBRARY_ROWS);
        const Rect size = view_->preferred_size(rows);
        d.set_item_min_size(LIBUSE_TABLE, size.width(), size.height());
        center_window(d);
    }
    void command(Dialog& d, int id, int) override
    {
        if (id != LIBUSE_LIBRARY)
            return;
        if (!open_material_library(d.window())) {
            // A cancelled choice changes nothing; a failed read has been
            // reported and has emptied the library().
            if (numlibmats() == 0)
                d.end(0);
            return;
        }
        if (numlibmats() == 0) {
            message_error(d.window(), c_format("There are no materials in \n%s", library().path.c_str()));
            library().path.clear();
            d.end(0);
            return;
        }
        fill(d);
    }
    bool ok(Dialog& d) override
    {
        if (!table_end_edit(table_))
            return false;
        result = library().records.valid(table_.current_row) ? table_.current_row : 0;
        d.end(result);
        return false;
    }
    bool cancel(Dialog& d) override
    {
        result = 0;
        d.end(0);
        return false;
    }

private:
    void fill(Dialog& d)
    {
        std::string title = "Material Library - [" + file_name_part(library().path);
        append_in_parentheses(title, folder_part(library().path));
        d.set_caption(title + "]");
        dialog_set_text(LIBUSE_CODE, "Piping code : " + piping_code_short_name(library().code));
        table_show_at(table_, "", numlibmats(), 1, 0);
    }

    LibraryUseTable table_;
    std::unique_ptr<TableView> view_;
};

}  // namespace

MaterialLibrary& material_library() { return library(); }

void reset_material_library() { library() = MaterialLibrary{}; }

void read_material_library_file(const std::string& path, MaterialLibrary& out)
{
    BinFile f;
    if (!f.open_read(path))
        throw_message(c_format("Material Library: %s\nDoes not exist.", path.c_str()));
    const std::string header = f.read_name(16);
    std::string raw(16, '\0');
    // read_name stops at the NUL; the kind and digits never hold one.
    raw.replace(0, header.size(), header);
    const int version = material_library_header_version(raw);
    if (f.error() || version < 0)
        throw_message(c_format("Unable to read material library:\n%s", path.c_str()));
    const std::string bad = c_format("There was an error while reading material library:\n%s", path.c_str());

    out.path = path;
    out.code = f.read_int();
    if (version <= OLD_CODE_VERSION)
        out.code = piping_code_from_old_number(out.code);
    for (int i = 0; i < MATERIAL_LIBRARY_UNIT_COUNT; ++i)
        out.units[i] = f.read_int();
    const int32_t count = f.read_int();
    if (f.error())
        throw_message(bad);
    if (!piping_code_valid(out.code))
        throw_message(bad + c_format("\nPiping code %d is unknown", out.code));
    for (int i = 0; i < MATERIAL_LIBRARY_UNIT_COUNT; ++i)
        if (!unit_choice_valid(MATERIAL_LIBRARY_UNIT_QUANTITIES[i], out.units[i]))
            throw_message(bad + c_format("\nUnit choice %d is out of range", out.units[i]));
    const std::size_t width = version < SIX_BYTE_NAME_VERSION ? 4 : NAME_FIELD_WIDTH;
    const std::size_t smallest = MATERIAL_RECORD_FIXED_BYTES - NAME_FIELD_WIDTH + width;
    if (count < 0 || count > MAXMATS || !f.fits(count, smallest))
        throw_message(bad + c_format("\nCount of materials %d is out of range", count));
    out.records.reserve(count);
    for (int32_t i = 1; i <= count && !f.error(); ++i) {
        PipeMaterial& record = out.records[out.records.push_back(PipeMaterial{})];
        try {
            record.read(f, width);
        } catch (const MessageText& m) {
            throw_message(bad + "\n" + named_set_record_label("Material", i, record.description) + m.text);
        }
    }
    if (f.error())
        throw_message(bad);
}

int material_library_header_version(const std::string& header16)
{
    if (header16.size() < 14 || header16.compare(0, 11, MATERIAL_LIBRARY_KIND) != 0)
        return -1;
    int version = 0;
    for (std::size_t i = 11; i < 14; ++i) {
        const char c = header16[i];
        if (c < '0' || c > '9')
            return -1;
        version = version * 10 + (c - '0');
    }
    return version;
}

bool read_material_library(WindowId owner)
{
    KV_ASSERT(!library().path.empty());
    MaterialLibrary read;
    try {
        read_material_library_file(library().path, read);
    } catch (const MessageText& m) {
        message_error(owner, m.text);
        library() = MaterialLibrary{};
        return false;
    }
    library() = std::move(read);
    return true;
}

bool open_material_library(WindowId owner)
{
    FileDialogRequest r;
    r.title = "Open Material Library";
    r.filters = {{"Material Library files (*.mat)", "*.mat"}, {"Material Library files (*.mdb)", "*.mdb"}};
    r.default_extension = "mat";
    r.initial_path = library().path;
    r.must_exist = true;
    if (!open_file_dialog_path(owner, r))
        return false;
    const std::string path = ofn_file_path();
    const std::string extension = upper_case(path.substr(std::min(ofn_extension_offset(), path.size())));
    if (extension == "MDB") {
        // Old libraries are converted when opened from the File menu.
        message_error(owner, c_format("Unable to read material library:\n%s", path.c_str()));
        return false;
    }
    if (extension != "MAT") {
        message_error(owner, "File extension must be : mat or mdb");
        return false;
    }
    library().path = path;
    return read_material_library(owner);
}

int run_library_use_dialog(WindowId owner)
{
    LibraryUseDialog proc;
    const int r = run_dialog(LIBRARY_USE_DIALOG, proc, owner);
    return r >= 1 && r <= numlibmats() ? r : 0;
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
