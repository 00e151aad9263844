#include "materials/library_file.h"

#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"

#include <array>

namespace {

const std::array<LibraryFileKind, 4> KINDS = {{
    {LibraryKind::Material, "KORVANEWMAT", "KORVANEWMAT6900", "mat", "Material Library", "material library"},
    {LibraryKind::Beam, "KORVANEBEAM", "KORVANEBEAM6900", "bli", "Beam Library", "beam library"},
    {LibraryKind::Valve, "KORVANEWVAL", "KORVANEWVAL6000", "val", "Valve Library", "valve library"},
    {LibraryKind::Spectrum, "KORVANEWSPE", "KORVANEWSPE6000", "spe", "Spectrum Library", "spectrum library"},
}};

bool is_digit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

const LibraryFileKind& library_file_kind(LibraryKind kind)
{
    for (const LibraryFileKind& k : KINDS)
        if (k.kind == kind)
            return k;
    KV_ASSERT(!"unknown library kind");
    return KINDS[0];
}

int library_header_version(std::string_view header, const char* header_kind)
{
    const std::size_t digits_end = LIBRARY_HEADER_KIND_LENGTH + 4;
    if (header.size() < digits_end || header.substr(0, LIBRARY_HEADER_KIND_LENGTH) != header_kind)
        return -1;
    int version = 0;
    for (std::size_t i = LIBRARY_HEADER_KIND_LENGTH; i < digits_end; ++i) {
        if (!is_digit(header[i]))
            return -1;
        if (i + 1 < digits_end)
            version = version * 10 + (header[i] - '0');
    }
    return version;
}

int read_library_header(BinFile& file, const LibraryFileKind& kind)
{
    char header[LIBRARY_HEADER_BYTES] = {};
    file.read(header, sizeof header);
    if (file.error())
        return -1;
    return library_header_version(std::string_view(header, sizeof header), kind.header_kind);
}

void write_library_header(BinFile& file, const LibraryFileKind& kind)
{
    file.write_name(kind.magic, LIBRARY_HEADER_BYTES);
}

std::string library_missing_message(const LibraryFileKind& kind, const std::string& path)
{
    return missing_file_text(kind.title, path);
}

std::string library_unreadable_message(const LibraryFileKind& kind, const std::string& path)
{
    return c_format("Unable to read %s:\n%s", kind.noun, path.c_str());
}

std::string library_read_error_message(const LibraryFileKind& kind, const std::string& path)
{
    return c_format("There was an error while reading %s:\n%s", kind.noun, path.c_str());
}

std::string library_damage_message(const LibraryFileKind& kind, const std::string& path, const std::string& what)
{
    return library_read_error_message(kind, path) + "\n" + what;
}
