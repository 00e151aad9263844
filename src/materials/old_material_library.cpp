#include "materials/old_material_library.h"

#include "framework/binfile.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "materials/library_file.h"
#include "model/piping_codes.h"

#include <bit>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::size_t MAGIC_BYTES = 14;
constexpr int FIRST_VERSION = 300;
constexpr int FIRST_WIDE_VERSION = 382;
constexpr int LAST_VERSION = 410;
constexpr int WIDE_UNIT_COUNT = 25;
constexpr int NARROW_UNIT_COUNT = 21;
constexpr std::size_t WIDE_RECORD_BYTES = 88;
constexpr std::size_t NARROW_RECORD_BYTES = 64;
constexpr int OLD_ROW_VALUES = 6;

[[noreturn]] void unreadable(const std::string& path, const std::string& what = {})
{
    std::string text = "Material library could not be read\n" + path;
    if (!what.empty())
        text += "\n" + what;
    throw_message(text);
}

// Fields of the old layouts, little-endian.
int32_t read_i16(BinFile& f)
{
    unsigned char b[2] = {};
    f.read(b, 2);
    return static_cast<int16_t>(static_cast<uint16_t>(b[0] | (b[1] << 8)));
}

double read_f64(BinFile& f)
{
    unsigned char b[8] = {};
    f.read(b, 8);
    uint64_t bits = 0;
    for (int i = 7; i >= 0; --i)
        bits = (bits << 8) | b[i];
    return std::bit_cast<double>(bits);
}

// A text of `width` bytes, cut at its first NUL and to `keep` characters.
std::string read_text(BinFile& f, std::size_t width, std::size_t keep)
{
    std::string text = f.read_name(width);
    return text.substr(0, keep);
}

struct Layout {
    bool wide;
    int32_t integer(BinFile& f) const { return wide ? f.read_int() : read_i16(f); }
    // A double that no float can hold marks the file bad.
    float real(BinFile& f) const
    {
        if (!wide)
            return f.read_float();
        const double d = read_f64(f);
        if (!(std::fabs(d) <= std::numeric_limits<float>::max())) {
            f.set_error();
            return 0.0f;
        }
        return static_cast<float>(d);
    }
    std::size_t record_bytes() const { return wide ? WIDE_RECORD_BYTES : NARROW_RECORD_BYTES; }
    std::size_t row_bytes() const { return OLD_ROW_VALUES * (wide ? 8u : 4u); }
    int unit_count() const { return wide ? WIDE_UNIT_COUNT : NARROW_UNIT_COUNT; }
};

int read_header(BinFile& f, const std::string& path)
{
    if (!f.open_read(path))
        unreadable(path);
    char magic[MAGIC_BYTES] = {};
    f.read(magic, MAGIC_BYTES);
    const int32_t version = read_i16(f);
    if (f.error() || std::strncmp(magic, OLD_MATERIAL_LIBRARY_MAGIC, sizeof OLD_MATERIAL_LIBRARY_MAGIC) != 0)
        unreadable(path);
    return version;
}

void read_record(BinFile& f, const Layout& l, PipeMaterial& m, const std::string& path, int index)
{
    m.name = read_text(f, 4, 3);
    std::string type = read_text(f, 3, 2);
    m.description = read_text(f, 33, MATERIAL_DESCRIPTION_LENGTH);
    m.nu = l.real(f);
    m.density = l.real(f);
    m.joint_factor = l.real(f);
    m.circ_joint_factor = l.real(f);
    m.strength = l.real(f);
    const int32_t frp = l.integer(f);
    const int32_t rows = l.integer(f);
    if (f.error())
        return;
    m.set_type(frp != 0 ? "FR" : type);
    if (rows < 0 || rows > MAX_FILE_TEMPS || !f.fits(rows, l.row_bytes()))
        unreadable(path, c_format("Material %d: count of temperatures %d is out of range", index, rows));
    m.table = PropertyTable(rows);
    for (PropertyRow& r : m.table)
        for (int c = 0; c < OLD_ROW_VALUES; ++c)
            r[static_cast<std::size_t>(c)] = l.real(f);
}

}  // namespace

int old_material_library_version(const std::string& path)
{
    BinFile f;
    return read_header(f, path);
}

MaterialLibraryContents read_old_material_library(const std::string& path)
{
    BinFile f;
    const int version = read_header(f, path);
    if (version < FIRST_VERSION || version > LAST_VERSION)
        unreadable(path, c_format("Version %d is not known", version));
    const Layout l{version >= FIRST_WIDE_VERSION};
    MaterialLibraryContents out;
    out.version = version;
    const int32_t count = l.integer(f);
    if (f.error())
        unreadable(path);
    if (count < 1)
        throw_message("There are no materials in the library");
    std::vector<int32_t> units(static_cast<std::size_t>(l.unit_count()));
    for (int32_t& u : units)
        u = l.integer(f);
    for (int i = 0; i < MATERIAL_LIBRARY_UNIT_COUNT; ++i)
        out.units[static_cast<std::size_t>(i)] = units[static_cast<std::size_t>(MATERIAL_LIBRARY_UNIT_QUANTITIES[i] - 1)];
    out.code = l.integer(f);
    if (f.error())
        unreadable(path);
    if (const std::string p = unit_choices_problem(MATERIAL_LIBRARY_UNIT_QUANTITIES, out.units); !p.empty())
        unreadable(path, p);
    if (!piping_code_valid(out.code))
        unreadable(path, c_format("Piping code %d is unknown", out.code));
    if (count > MAXMATS || !f.fits(count, l.record_bytes()))
        unreadable(path, c_format("Count of materials %d is out of range", count));
    out.records.resize(count);
    for (int i = 1; i <= count && !f.error(); ++i)
        read_record(f, l, out.records[i], path, i);
    if (f.error())
        unreadable(path);
    return out;
}
