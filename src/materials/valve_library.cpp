#include "materials/valve_library.h"

#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "framework/state.h"
#include "framework/strings.h"
#include "framework/text.h"
#include "materials/library_file.h"
#include "platform/file_replace.h"

namespace {

const char* const CONNECTIONS[VALVE_CONNECTION_COUNT] = {"BW : Buttweld", "SW : Socketweld", "TD : Threaded",
                                                         "FL : Flanged", "LJ : Lapjoint"};
const char* const TYPES[VALVE_TYPE_COUNT] = {" ", "Gate", "Globe", "Check", "Butterfly", "Control", "Ball", "Plug"};
const char* const RATINGS[2][VALVE_RATING_COUNT] = {
    {"25   ", "125  ", "150  ", "250  ", "300  ", "600  ", "900  ", "1500 ", "2500 "},
    {"PN6  ", "PN10 ", "PN16 ", "PN25 ", "PN40 ", "PN64 ", "PN100", "PN160", "     "},
};
const char* const STANDARDS[VALVE_STANDARD_COUNT] = {"ANSI", "DIN", "JIS", "ISO"};

struct ValveRecords {
    OneBased<ValveRecord> records;
};
struct ValveLibraryMode {
    bool on = false;
};

const LibraryFileKind& kind() { return library_file_kind(LibraryKind::Valve); }

constexpr std::size_t TEXT_BYTES =
    VALVE_DESCRIPTION_WIDTH + VALVE_SIZE_WIDTH + VALVE_RATING_WIDTH + VALVE_CONNECTION_WIDTH;

std::size_t record_bytes(int version) { return TEXT_BYTES + 4 * (version > VALVE_LIBRARY_UNTYPED_VERSION ? 5 : 4); }

void read_record(BinFile& f, ValveRecord& v, int version)
{
    v.description = f.read_name(VALVE_DESCRIPTION_WIDTH).substr(0, VALVE_DESCRIPTION_LENGTH);
    v.outside_diameter = f.read_float();
    v.standard = f.read_int();
    v.nominal_size = f.read_name(VALVE_SIZE_WIDTH).substr(0, VALVE_SIZE_LENGTH);
    v.rating = f.read_name(VALVE_RATING_WIDTH).substr(0, VALVE_RATING_LENGTH);
    v.connection = f.read_name(VALVE_CONNECTION_WIDTH).substr(0, 2);
    v.length = f.read_float();
    v.weight = f.read_float();
    v.valve_type = version > VALVE_LIBRARY_UNTYPED_VERSION ? f.read_int() : 0;
}

void write_record(BinFile& f, const ValveRecord& v)
{
    f.write_name(v.description, VALVE_DESCRIPTION_WIDTH);
    f.write_float(v.outside_diameter);
    f.write_int(v.standard);
    f.write_name(v.nominal_size, VALVE_SIZE_WIDTH);
    f.write_name(v.rating, VALVE_RATING_WIDTH);
    f.write_name(v.connection, VALVE_CONNECTION_WIDTH);
    f.write_float(v.length);
    f.write_float(v.weight);
    f.write_int(v.valve_type);
}

bool same_text(const std::string& a, const std::string& b) { return upper_case(a) == upper_case(b); }

}  // namespace

const char* valve_connection_name(int index)
{
    return index >= 0 && index < VALVE_CONNECTION_COUNT ? CONNECTIONS[index] : "";
}

const char* valve_type_name(int index) { return index >= 0 && index < VALVE_TYPE_COUNT ? TYPES[index] : ""; }

const char* valve_rating_name(int standard, int index)
{
    if (index < 0 || index >= VALVE_RATING_COUNT)
        return "";
    return standard == 0 || standard == 1 ? RATINGS[standard][index] : "     ";
}

const char* valve_standard_name(int standard)
{
    return standard >= 0 && standard < VALVE_STANDARD_COUNT ? STANDARDS[standard] : "";
}

OneBased<ValveRecord>& valve_records() { return document().part<ValveRecords>().records; }

bool& valve_library_mode() { return session_part<ValveLibraryMode>().on; }

ValveLibraryContents read_valve_library_file(const std::string& path)
{
    BinFile f;
    if (!f.open_read(path))
        throw_message(library_missing_message(kind(), path));
    ValveLibraryContents out;
    out.version = read_library_header(f, kind());
    if (out.version < 0)
        throw_message(library_unreadable_message(kind(), path));
    if (out.version < VALVE_LIBRARY_FIRST_VERSION)
        throw_message(library_unreadable_message(kind(), path) + c_format("\nVersion = %.2f", out.version * 0.01));
    auto damaged = [&](const std::string& what) { throw_message(library_damage_message(kind(), path, what)); };
    for (int32_t& u : out.units)
        u = f.read_int();
    const int32_t count = f.read_int();
    if (f.error())
        throw_message(library_read_error_message(kind(), path));
    if (const std::string p = unit_choices_problem(VALVE_LIBRARY_UNIT_QUANTITIES, out.units); !p.empty())
        damaged(p);
    if (count < 0 || count > MAX_LIBRARY_VALVES || !f.fits(count, record_bytes(out.version)))
        damaged(c_format("Count of valves %d is out of range", count));
    out.records.resize(count);
    for (int i = 1; i <= count; ++i) {
        ValveRecord& v = out.records[i];
        read_record(f, v, out.version);
        if (f.error())
            break;
        if (v.standard < 0 || v.standard >= VALVE_STANDARD_COUNT)
            damaged(c_format("Valve %d: standard %d is out of range", i, v.standard));
        if (v.valve_type < 0 || v.valve_type >= VALVE_TYPE_COUNT)
            damaged(c_format("Valve %d: valve type %d is out of range", i, v.valve_type));
    }
    if (f.error())
        throw_message(library_read_error_message(kind(), path));
    return out;
}

void write_valve_library_file(const std::string& path, const ValveLibraryUnits& units,
                              const OneBased<ValveRecord>& valves)
{
    BinFile f;
    if (!f.open_write(path))
        throw_message(with_reason("Unable to write Valve file", f.failure()));
    write_library_header(f, kind());
    for (int32_t u : units)
        f.write_int(u);
    f.write_int(valves.size());
    for (const ValveRecord& v : valves)
        write_record(f, v);
    if (!f.close())
        throw_message(with_reason("Unable to write Valve file", f.failure()));
}

int find_valve(const OneBased<ValveRecord>& valves, const ValveRecord& like, int except)
{
    for (int i = 1; i <= valves.size(); ++i) {
        const ValveRecord& v = valves[i];
        if (i != except && same_text(v.description, like.description) &&
            same_text(v.nominal_size, like.nominal_size) && same_text(v.rating, like.rating) &&
            same_text(v.connection, like.connection) && v.length == like.length && v.weight == like.weight)
            return i;
    }
    return 0;
}

std::vector<int> valves_fitting_diameter(const OneBased<ValveRecord>& valves, double od)
{
    const std::string target = c_format("%.3f", od);
    std::vector<int> fitting;
    for (int i = 1; i <= valves.size(); ++i)
        if (c_format("%.3f", static_cast<double>(valves[i].outside_diameter)) == target)
            fitting.push_back(i);
    return fitting;
}
