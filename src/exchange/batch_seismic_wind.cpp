// The seismic and wind sections: SEISMIC (static g factors), ASCES (the
// ASCE/SEI 7-10 component force), WIND (one velocity for wind load 1), ASCEW
// (the ASCE/SEI 7-10 design wind) and WIND1 to WIND4 (a wind load with its
// ASCE profile or a table of velocity or pressure over elevation). These
// readers store field by field into the model's data.
#include "exchange/batch_sections.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/load_file.h"
#include "loads/seismic.h"
#include "loads/wind.h"

#include <cmath>
#include <functional>
#include <vector>

namespace {

// One field of an ASCE record: its messages, how it is read and where it goes.
template <typename Record>
struct AsceField {
    const char* required;
    const char* invalid;   // a value that does not read
    enum Kind { INTEGER, REAL, LENGTH_VALUE, SPEED_VALUE } kind;
    std::function<void(Record&, double)> store;
};

// Reads the fields in order, each stored at once. A value is checked by the
// record's own range checks (`fault`, which names the first field out of
// range): on a record whose earlier fields are the ones read and whose later
// fields hold values in range whatever the others are (`in_range`), the
// first field out of range is the one just read.
template <typename Record>
void read_asce_fields(BatchReader& r, Record& stored, Record in_range, const std::vector<AsceField<Record>>& fields,
                      const std::function<std::string(const Record&)>& fault)
{
    using Field = AsceField<Record>;
    BatchTokenizer& t = r.line_tokens();
    Record probe = in_range;
    for (const Field& f : fields) {
        const std::optional<std::string> token = t.next_token();
        if (!token)
            r.fail(f.required);
        double value = 0.0;
        bool read = false;
        if (f.kind == Field::INTEGER) {
            int32_t n = 0;
            read = parse_int(*token, n) == 0;
            value = n;
        } else {
            float v = 0.0f;
            read = (f.kind == Field::REAL           ? parse_real(*token, v)
                    : f.kind == Field::LENGTH_VALUE ? parse_length(*token, v)
                                                    : parse_speed(*token, v)) == 0;
            value = v;
        }
        if (!read)
            r.fail(f.invalid, *token);
        f.store(probe, value);
        if (const std::string message = fault(probe); !message.empty())
            r.fail(message, *token);
        f.store(stored, value);
    }
}

// A direction from three fields; a missing field fails with its required
// message, one that does not read with its invalid message.
std::array<float, 3> read_direction_fields(BatchReader& r, const char* const required[3])
{
    static const char* const invalid[3] = {"Invalid X component for wind load", "Invalid Y component for wind load",
                                           "Invalid Z component for wind load"};
    std::array<float, 3> d{};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<std::string> token = r.tokens.next_token();
        if (!token)
            r.fail(required[i]);
        if (parse_real(*token, d[i]) != 0)
            r.fail(invalid[i], *token);
    }
    return d;
}

float read_shape_factor(BatchReader& r, const char* required)
{
    const std::optional<std::string> token = r.tokens.next_token();
    if (!token)
        r.fail(required);
    float shape = 0.0f;
    if (parse_real(*token, shape) != 0 || shape < 0.0f)
        r.fail("Invalid wind shape factor", *token);
    return shape == 0.0f ? DEFAULT_SHAPE_FACTOR : shape;
}

// A whole number within a range; a missing one fails with `required`.
int32_t read_code(BatchReader& r, const char* required, int32_t low, int32_t high, const char* invalid)
{
    const std::optional<std::string> token = r.tokens.next_token();
    if (!token)
        r.fail(required);
    int32_t code = 0;
    if (parse_int(*token, code) != 0 || code < low || code > high)
        r.fail(invalid, *token);
    return code;
}

}  // namespace

void read_seismic_line(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& t = r.line_tokens();
    SeismicLoad& s = seismic_g();
    const char* const messages[3] = {"Invalid X seismic load", "Invalid Y seismic load", "Invalid Z seismic load"};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<std::string> token = t.next_token();
        if (!token)
            return;
        float g = 0.0f;
        if (parse_real(*token, g) != 0)
            r.fail(messages[i], *token);
        s.g[i] = g;
        // A factor given acts in the Seismic (g) case; a line never takes an axis out.
        if (g != 0.0f)
            s.flag[i] = 1;
    }
    // The combination of the directions, which the batch export writes behind the factors.
    if (const std::optional<std::string> token = t.next_token()) {
        int32_t combination = 0;
        if (parse_int(*token, combination) != 0 ||
            (combination != SEISMIC_ABSOLUTE_SUM && combination != SEISMIC_SRSS))
            r.fail("Invalid Seismic Combination. 1 = Absolute Sum, 2 = SRSS", *token);
        s.combination = combination;
    }
}

void read_asces_line(BatchImport& b)
{
    using F = AsceField<AsceSeismic>;
    const std::vector<F> fields = {
        {"Occupancy Category is required", "Invalid Occupancy Category. Value can be 0 to 3", F::INTEGER, [](AsceSeismic& a, double v) { a.occupancy = static_cast<int32_t>(v); }},
        {"Site Class is required", "Invalid Site Class. Value can be 0 to 4", F::INTEGER, [](AsceSeismic& a, double v) { a.site_class = static_cast<int32_t>(v); }},
        {"MCE Spectral Acceleration is required", "Invalid MCE Spectral Acceleration", F::REAL, [](AsceSeismic& a, double v) { a.ss = static_cast<float>(v); }},
        {"Component height is required", "Invalid Component height", F::LENGTH_VALUE,
         [](AsceSeismic& a, double v) { a.component_height = static_cast<float>(v); }},
        {"Structure height is required", "Invalid Structure height", F::LENGTH_VALUE,
         [](AsceSeismic& a, double v) { a.structure_height = static_cast<float>(v); }},
        {"Component Amplication Factor is required",
         "Invalid Component Amplication Factor. Value should be between 1.00 to 2.50", F::REAL, [](AsceSeismic& a, double v) { a.ap = static_cast<float>(v); }},
        {"Response Modification Factor is required",
         "Invalid Response Modification Factor. Value should be between 1.00 to 12.00", F::REAL, [](AsceSeismic& a, double v) { a.rp = static_cast<float>(v); }},
        {"Importance Factor is required", "Invalid Importance Factor. Value should be between 1.00 to 1.50",
         F::REAL, [](AsceSeismic& a, double v) { a.ip = static_cast<float>(v); }},
        {"Allowable Stress Design Factor is required", "Invalid Allowable Stress Design Factor", F::REAL, [](AsceSeismic& a, double v) { a.asd = static_cast<float>(v); }},
    };
    AsceSeismic in_range;
    in_range.occupancy = 0;
    in_range.site_class = SITE_A;
    in_range.ss = 0.0f;
    in_range.component_height = in_range.structure_height = 1.0f;
    in_range.ap = MIN_AP;
    in_range.rp = MIN_RP;
    in_range.ip = MIN_IP;
    in_range.asd = 0.0f;
    read_asce_fields<AsceSeismic>(b.reader, asce_seismic(), in_range, fields, asce_seismic_fault);
    seismic_g().combination = read_code(b.reader, "Seismic Combination is required", SEISMIC_ABSOLUTE_SUM,
                                        SEISMIC_SRSS, "Invalid Seismic Combination. 1 = Absolute Sum, 2 = SRSS");
    asce_seismic_on() = true;
    asce_seismic_compute();
}

void read_wind_line(BatchImport& b)
{
    BatchReader& r = b.reader;
    BatchTokenizer& t = r.line_tokens();
    const std::optional<std::string> speed = t.next_token();
    if (!speed)
        return;
    float velocity = 0.0f;
    if (parse_speed(*speed, velocity) != 0)
        r.fail("Invalid wind velocity", *speed);
    WindLoad& w = wind_load(1);
    w.shape_factor = read_shape_factor(r, "Wind direction is required");
    // The components the line gives are stored at once; those it does not
    // reach keep what they hold.
    const char* const invalid[3] = {"Invalid X component for wind load", "Invalid Y component for wind load",
                                    "Invalid Z component for wind load"};
    for (std::size_t i = 0; i < 3; ++i) {
        const std::optional<std::string> token = t.next_token();
        if (!token) {
            if (i == 0)
                r.fail("Wind direction is required");
            break;
        }
        if (parse_real(*token, w.direction[i]) != 0)
            r.fail(invalid[i], *token);
    }
    if (std::hypot(w.direction[0], w.direction[1], w.direction[2]) < MIN_DIRECTION_LENGTH)
        r.fail("Invalid wind direction");
    wind_from_single_velocity(velocity);
}

void read_ascew_line(BatchImport& b)
{
    using F = AsceField<AsceWind>;
    auto length = [](float AsceWind::*member) {
        return [member](AsceWind& a, double v) { a.*member = static_cast<float>(v); };
    };
    const std::vector<F> fields = {
        {"Occupancy Category is required", "Invalid Occupancy Category. Value can be 0 to 3", F::INTEGER,
         [](AsceWind& a, double v) { a.occupancy = static_cast<int32_t>(v); }},
        {"Basic wind speed is required", "Invalid wind speed", F::SPEED_VALUE, [](AsceWind& a, double v) { a.speed = static_cast<float>(v); }},
        {"Directionality factor is required", "Invalid directionality factor", F::REAL, [](AsceWind& a, double v) { a.kd = static_cast<float>(v); }},
        {"Exposure Category is required", "Invalid Exposure Category. Value can be 0 to 2", F::INTEGER, [](AsceWind& a, double v) { a.exposure = static_cast<int32_t>(v); }},
        {"Hill Type is required", "Invalid Hill type. Value can be 0 to 3", F::INTEGER, [](AsceWind& a, double v) { a.hill = static_cast<int32_t>(v); }},
        {"Hill height is required", "Invalid hill height", F::LENGTH_VALUE, length(&AsceWind::hill_height)},
        {"Crest distance is required", "Invalid crest distance", F::LENGTH_VALUE, length(&AsceWind::crest_distance)},
        {"Height above Ground Level is required", "Invalid height", F::LENGTH_VALUE, length(&AsceWind::height_above_ground)},
        {"Distance from Crest to Site is required", "Invalid distance", F::LENGTH_VALUE, length(&AsceWind::crest_to_site)},
        {"Surface Type is required", "Invalid surface type. Value can be 0 to 2", F::INTEGER, [](AsceWind& a, double v) { a.surface = static_cast<int32_t>(v); }},
        {"Gust factor is required", "Invalid Gust factor", F::REAL, [](AsceWind& a, double v) { a.gust = static_cast<float>(v); }},
    };
    AsceWind in_range;
    in_range.occupancy = 0;
    in_range.speed = in_range.kd = in_range.gust = 0.0f;
    in_range.exposure = EXPOSURE_B;
    in_range.hill = HILL_NONE;
    in_range.hill_height = in_range.crest_distance = in_range.height_above_ground = in_range.crest_to_site = 1.0f;
    in_range.surface = SURFACE_SMOOTH;
    read_asce_fields<AsceWind>(b.reader, asce_wind(), in_range, fields, asce_wind_fault);
    asce_wind_on() = true;
}

void read_wind_load(BatchImport& b, int n)
{
    BatchReader& r = b.reader;
    BatchTokenizer& t = r.line_tokens();
    WindLoad w;
    const std::optional<std::string> asce = t.next_token();
    if (!asce)
        r.fail("Use ASCE Wind Profile cannot be empty");
    int32_t asce_flag = 0;
    if (parse_int(*asce, asce_flag) != 0 || asce_flag < 0 || asce_flag > 1)
        r.fail("Turn On/Off ASCE Wind Profile is invalid. 0 = Off, 1 = On", *asce);
    if (asce_flag == 1 && !asce_wind_on())
        r.fail("ASCE Wind cannot be turned ON as ASCE Wind Parameters not defined");
    w.asce = static_cast<uint8_t>(asce_flag);
    w.shape_factor = read_shape_factor(r, "Wind shape factor is required");
    const char* const required[3] = {"X component for wind is required", "Y component for wind is required",
                                     "Z component for wind is required"};
    w.direction = read_direction_fields(r, required);
    if (std::hypot(w.direction[0], w.direction[1], w.direction[2]) < MIN_DIRECTION_LENGTH)
        r.fail("Invalid wind direction");
    if (asce_flag == 1) {
        wind_load(n) = w;
        return;
    }

    WindProfileUnits& units = wind_data().units;
    units.elevation = read_code(r, "Elevation unit is required", 0, 1, "Invalid Elevation units. Value can be 0 or 1.");
    units.pressure = read_code(r, "Pressure unit is required", 0, 2, "Invalid Pressure units. Value can be 0 to 2.");
    units.velocity = read_code(r, "Velocity unit is required", 0, 2, "Invalid Velocity units. Value can be 0 to 2.");
    int32_t kind = PROFILE_PRESSURE;
    if (const std::optional<std::string> token = t.next_token())
        if (parse_int(*token, kind) != 0 || (kind != PROFILE_PRESSURE && kind != PROFILE_VELOCITY))
            r.fail("Invalid Profile Type. 0 = Pressure vs Elevation, 1 = Velocity vs Elevation", *token);

    // The size line, then its points, each on a line of its own: a file that
    // ends, or a section that begins, before them is refused at that line.
    r.read_continuation("Wind Profile size is required", "Wind Profile size is required");
    // An empty size reads as 0, as every present field does.
    const std::optional<std::string> size = t.next_token();
    if (!size)
        r.fail("Wind Profile size is required");
    int32_t points = 0;
    if (parse_int(*size, points) != 0 || points < 0 || points > MAX_PROFILE_POINTS)
        r.fail("Invalid Wind Profile size", *size);
    units.kind = kind;

    UnitChoicesKept file_units;
    unit_choice()[LENGTH] = profile_length_unit(units.elevation);
    unit_choice()[PRESSURE] = profile_pressure_unit(units.pressure);
    unit_choice()[SPEED] = profile_speed_unit(units.velocity);
    XYCurve& profile = kind == PROFILE_VELOCITY ? w.velocity : w.pressure;
    profile.reserve(static_cast<std::size_t>(points));
    for (int32_t i = 1; i <= points; ++i) {
        const std::string missing = c_format("Wind profile point %d of %d is missing", i, points);
        r.read_continuation(missing, missing);
        const std::optional<std::string> elevation_text = t.next_token();
        if (!elevation_text)
            r.fail("Elevation is required");
        float elevation = 0.0f;
        if (parse_length(*elevation_text, elevation) != 0)
            r.fail("Invalid elevation", *elevation_text);
        if (elevation == 0.0f)
            elevation = ENTERED_ZERO;
        // The profile is looked up by elevation, which must rise from point to point.
        if (!profile.empty() && !(elevation > profile[profile.size() - 1].x))
            r.fail("Elevation should be above the elevation of the point before", *elevation_text);
        const std::optional<std::string> value_text = t.next_token();
        if (!value_text)
            r.fail("Elevation is required");
        float value = 0.0f;
        if (kind == PROFILE_VELOCITY ? parse_speed(*value_text, value) != 0 : parse_pressure(*value_text, value) != 0)
            r.fail(kind == PROFILE_VELOCITY ? "Invalid velocity" : "Invalid pressure", *value_text);
        profile.push_back(elevation, value);
    }
    wind_load(n) = w;
}
