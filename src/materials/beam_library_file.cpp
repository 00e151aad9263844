#include "materials/beam_library_file.h"

#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "materials/library_file.h"
#include "model/layout_row.h"
#include "platform/file_replace.h"

namespace {

const LibraryFileKind& kind() { return library_file_kind(LibraryKind::Beam); }

// Name, description and the eight values.
constexpr std::size_t RECORD_BYTES_AFTER_NAME = BEAM_SECTION_DESCRIPTION_WIDTH + 4 * BS_VALUE_COUNT;

}  // namespace

BeamLibraryContents read_beam_library_file(const std::string& path)
{
    BinFile f;
    if (!f.open_read(path))
        throw_message(library_missing_message(kind(), path));
    BeamLibraryContents out;
    out.version = read_library_header(f, kind());
    if (out.version < 0 || out.version > BEAM_LIBRARY_LAST_VERSION)
        throw_message(library_unreadable_message(kind(), path));
    for (int32_t& u : out.units)
        u = f.read_int();
    const int32_t count = f.read_int();
    if (f.error())
        throw_message(library_read_error_message(kind(), path));
    if (const std::string p = unit_choices_problem(BEAM_LIBRARY_UNIT_QUANTITIES, out.units); !p.empty())
        throw_message(library_damage_message(kind(), path, p));
    const std::size_t width = out.version < BEAM_LIBRARY_SIX_BYTE_NAMES_VERSION ? 4 : NAME_FIELD_WIDTH;
    if (count < 0 || count > MAX_BEAM_SECTIONS || !f.fits(count, width + RECORD_BYTES_AFTER_NAME))
        throw_message(
            library_damage_message(kind(), path, c_format("Count of beam sections %d is out of range", count)));
    out.records.resize(count);
    for (BeamSection& s : out.records)
        s.read(f, width);
    if (f.error())
        throw_message(library_read_error_message(kind(), path));
    return out;
}

void write_beam_library_file(const std::string& path, const BeamLibraryUnits& units,
                             const OneBased<BeamSection>& sections)
{
    BinFile f;
    if (!f.open_write(path))
        throw_message(with_reason("Unable to write beam file", f.failure()));
    write_library_header(f, kind());
    for (int32_t u : units)
        f.write_int(u);
    f.write_int(sections.size());
    for (const BeamSection& s : sections)
        s.write(f);
    if (!f.close())
        throw_message(with_reason("Unable to write beam file", f.failure()));
}
