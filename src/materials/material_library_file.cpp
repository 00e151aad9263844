#include "materials/material_library_file.h"

#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "materials/library_file.h"
#include "model/layout_row.h"
#include "model/named_set.h"
#include "model/piping_codes.h"
#include "platform/file_replace.h"

namespace {

// Library files of version 680 and below number the codes from 11 upward one
// lower than the program does.
constexpr int OLD_CODE_VERSION = 680;
// Records of files before version 680 carry 4-byte names.
constexpr int SIX_BYTE_NAME_VERSION = 680;

const LibraryFileKind& kind() { return library_file_kind(LibraryKind::Material); }

}  // namespace

MaterialLibraryContents read_material_library_file(const std::string& path)
{
    BinFile f;
    if (!f.open_read(path))
        throw_message(library_missing_message(kind(), path));
    MaterialLibraryContents out;
    out.version = read_library_header(f, kind());
    if (out.version < 0)
        throw_message(library_unreadable_message(kind(), path));
    auto damaged = [&](const std::string& what) { throw_message(library_damage_message(kind(), path, what)); };

    out.code = f.read_int();
    if (out.version <= OLD_CODE_VERSION)
        out.code = piping_code_from_old_number(out.code);
    for (int32_t& u : out.units)
        u = f.read_int();
    const int32_t count = f.read_int();
    if (f.error())
        throw_message(library_read_error_message(kind(), path));
    if (!piping_code_valid(out.code))
        damaged(c_format("Piping code %d is unknown", out.code));
    if (const std::string p = unit_choices_problem(MATERIAL_LIBRARY_UNIT_QUANTITIES, out.units); !p.empty())
        damaged(p);
    const std::size_t width = out.version < SIX_BYTE_NAME_VERSION ? 4 : NAME_FIELD_WIDTH;
    const std::size_t smallest = MATERIAL_RECORD_FIXED_BYTES - NAME_FIELD_WIDTH + width;
    if (count < 0 || count > MAXMATS || !f.fits(count, smallest))
        damaged(c_format("Count of materials %d is out of range", count));
    out.records.reserve(count);
    for (int32_t i = 1; i <= count && !f.error(); ++i) {
        PipeMaterial& record = out.records[out.records.push_back(PipeMaterial{})];
        try {
            record.read(f, width);
        } catch (const MessageText& m) {
            // Library records have no names: the description names them.
            damaged(named_set_record_label("Material", i, record.description) + m.text);
        }
    }
    if (f.error())
        throw_message(library_read_error_message(kind(), path));
    return out;
}

void write_material_library_file(const std::string& path, int32_t code, const MaterialLibraryUnits& units,
                                 const OneBased<PipeMaterial>& materials)
{
    BinFile f;
    if (!f.open_write(path))
        throw_message(with_reason("Unable to write mat file", f.failure()));
    write_library_header(f, kind());
    f.write_int(code);
    for (int32_t u : units)
        f.write_int(u);
    f.write_int(materials.size());
    for (const PipeMaterial& m : materials)
        m.write(f);
    if (!f.close())
        throw_message(with_reason("Unable to write mat file", f.failure()));
}
