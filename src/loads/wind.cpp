#include "loads/wind.h"

#include "framework/binfile.h"
#include "framework/document.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "loads/load_file.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr double INCH_PER_FOOT = 12.0;
constexpr double PSF_PER_PSI = 144.0;
// q = 0.00256 V^2 psf with V in mph (eq. 29.3-1 without its factors).
constexpr double VELOCITY_PRESSURE_CONSTANT = 0.00256;

// Table 26.9-1: alpha and zg (ft) of exposures B, C, D.
constexpr std::array<double, 3> ALPHA = {7.0, 9.5, 11.5};
constexpr std::array<double, 3> ZG_FEET = {1200.0, 900.0, 700.0};

// Figure 26.8-1: K1 / (H / Lh) by hill type (ridge, escarpment, hill) and
// exposure (B, C, D), gamma, and mu downwind of the crest.
constexpr std::array<std::array<double, 3>, 3> K1_RATIO = {{
    {1.30, 1.45, 1.55},
    {0.75, 0.85, 0.95},
    {0.95, 1.05, 1.15},
}};
constexpr std::array<double, 3> GAMMA = {3.0, 2.5, 4.0};
constexpr std::array<double, 3> MU_DOWNWIND = {1.5, 4.0, 1.5};

// Figure 29.5-1, round sections: Cf at h/D = 1, 7, 25.
constexpr std::array<double, 3> H_OVER_D = {1.0, 7.0, 25.0};
constexpr std::array<std::array<double, 3>, 3> CF_ROUND_FAST = {{
    {0.5, 0.6, 0.7},   // moderately smooth
    {0.7, 0.8, 0.9},   // rough (D'/D = 0.02)
    {0.8, 1.0, 1.2},   // very rough (D'/D = 0.08)
}};
constexpr std::array<double, 3> CF_ROUND_SLOW = {0.7, 0.8, 1.2};   // D sqrt(qz) <= 2.5, all surfaces

std::size_t index_of(int value, int last)
{
    return static_cast<std::size_t>(std::clamp(value, 0, last));
}

bool direction_given(const WindLoad& w)
{
    const double length = std::hypot(w.direction[0], w.direction[1], w.direction[2]);
    return length >= MIN_DIRECTION_LENGTH;
}

// The profile a load's pressure comes from (null when neither has points).
const XYCurve* profile_of(const WindData& data, const WindLoad& w, bool& velocity)
{
    velocity = data.units.kind == PROFILE_VELOCITY;
    const XYCurve* chosen = velocity ? &w.velocity : &w.pressure;
    if (chosen->empty()) {
        velocity = !velocity;
        chosen = velocity ? &w.velocity : &w.pressure;
    }
    return chosen->empty() ? nullptr : chosen;
}

void read_wind(WindData& d, BinFile& f)
{
    d.asce_on = read_load_flag(f, "ASCE wind");
    AsceWind& a = d.asce;
    a.occupancy = f.read_int();
    a.speed = f.read_float();
    a.kd = f.read_float();
    a.exposure = f.read_int();
    a.hill = f.read_int();
    a.hill_height = f.read_float();
    a.crest_distance = f.read_float();
    a.height_above_ground = f.read_float();
    a.crest_to_site = f.read_float();
    a.surface = f.read_int();
    a.gust = f.read_float();
    d.units.elevation = f.read_int();
    d.units.pressure = f.read_int();
    d.units.velocity = f.read_int();
    d.units.kind = f.read_int();
    if (f.error())
        return;
    if (d.asce_on)
        if (const std::string fault = asce_wind_fault(a); !fault.empty())
            throw_message("ASCE wind: " + fault);
    const WindProfileUnits& u = d.units;
    if (u.elevation < 0 || u.elevation > 1 || u.pressure < 0 || u.pressure > 2 || u.velocity < 0 || u.velocity > 2 ||
        (u.kind != PROFILE_PRESSURE && u.kind != PROFILE_VELOCITY))
        throw_message("The profile units are invalid");
    for (int n = 1; n <= NUM_WIND_LOADS; ++n) {
        WindLoad& w = d.loads[static_cast<std::size_t>(n)];
        const std::string what = c_format("Wind load %d", n);
        w.asce = read_load_flag(f, "ASCE profile") ? 1 : 0;
        for (float& c : w.direction)
            c = f.read_float();
        w.shape_factor = f.read_float();
        w.height_given = read_load_flag(f, "Structure height") ? 1 : 0;
        w.structure_height = f.read_float();
        read_checked_curve(f, w.velocity, what + " velocity profile", MAX_PROFILE_POINTS);
        read_checked_curve(f, w.pressure, what + " pressure profile", MAX_PROFILE_POINTS);
        if (f.error())
            return;
        if (const std::string fault = wind_load_fault(w); !fault.empty())
            throw_message(what + ": " + fault);
    }
}

void write_wind(const WindData& d, BinFile& f)
{
    f.write_byte(d.asce_on ? 1 : 0);
    const AsceWind& a = d.asce;
    f.write_int(a.occupancy);
    f.write_float(a.speed);
    f.write_float(a.kd);
    f.write_int(a.exposure);
    f.write_int(a.hill);
    f.write_float(a.hill_height);
    f.write_float(a.crest_distance);
    f.write_float(a.height_above_ground);
    f.write_float(a.crest_to_site);
    f.write_int(a.surface);
    f.write_float(a.gust);
    f.write_int(d.units.elevation);
    f.write_int(d.units.pressure);
    f.write_int(d.units.velocity);
    f.write_int(d.units.kind);
    for (int n = 1; n <= NUM_WIND_LOADS; ++n) {
        const WindLoad& w = d.loads[static_cast<std::size_t>(n)];
        f.write_byte(w.asce);
        for (float c : w.direction)
            f.write_float(c);
        f.write_float(w.shape_factor);
        f.write_byte(w.height_given);
        f.write_float(w.structure_height);
        write_curve(f, w.velocity);
        write_curve(f, w.pressure);
    }
}

}  // namespace

WindData& wind_data()
{
    return document().part<WindData>();
}

WindLoad& wind_load(int n)
{
    KV_ASSERT(n >= 1 && n <= NUM_WIND_LOADS);
    return wind_data().loads[static_cast<std::size_t>(n)];
}

// ---- Profile units -------------------------------------------------------------------

int profile_length_unit(int elevation_code)
{
    constexpr int METRES = 3;   // LENGTH_UNITS: ft-in, feet, inch, m, mm
    return elevation_code == 1 ? METRES : current_unit(LENGTH);
}

int profile_pressure_unit(int pressure_code)
{
    constexpr std::array<int, 3> UNITS = {0, 2, 5};   // psi, kPa, kg/cm2
    return UNITS[index_of(pressure_code, 2)];
}

int profile_speed_unit(int velocity_code)
{
    return static_cast<int>(index_of(velocity_code, 2));   // mph, kmh, m/s
}

int pressure_code_of_unit(int pressure_unit)
{
    return pressure_unit == 0 ? 0 : pressure_unit == 5 ? 2 : 1;
}

// ---- The design wind -------------------------------------------------------------------

double asce_exposure_coefficient(int exposure, double z)
{
    const std::size_t e = index_of(exposure, EXPOSURE_D);
    const double feet = std::clamp(z / INCH_PER_FOOT, 15.0, ZG_FEET[e]);
    return 2.01 * std::pow(feet / ZG_FEET[e], 2.0 / ALPHA[e]);
}

double asce_topographic_factor(const AsceWind& w)
{
    if (w.hill <= HILL_NONE || w.hill > HILL_AXISYMMETRIC || !(w.hill_height > 0.0f) || !(w.crest_distance > 0.0f))
        return 1.0;
    const std::size_t hill = static_cast<std::size_t>(w.hill - 1);
    const std::size_t exposure = index_of(w.exposure, EXPOSURE_D);
    double lh = w.crest_distance;
    const double h = w.hill_height;
    double ratio = h / lh;
    // 26.8.1 conditions 4 and 5.
    const double lowest_hill = (exposure == EXPOSURE_B ? 60.0 : 15.0) * INCH_PER_FOOT;
    if (ratio < 0.2 || h < lowest_hill)
        return 1.0;
    // Figure 26.8-1 note 2: above 0.5, H/Lh = 0.5 for K1 and Lh = 2H for K2, K3.
    if (ratio > 0.5) {
        ratio = 0.5;
        lh = 2.0 * h;
    }
    const double k1 = K1_RATIO[hill][exposure] * ratio;
    const double k2 = std::max(0.0, 1.0 - std::fabs(w.crest_to_site) / (MU_DOWNWIND[hill] * lh));
    const double k3 = std::exp(-GAMMA[hill] * std::max(0.0, static_cast<double>(w.height_above_ground)) / lh);
    const double root = 1.0 + k1 * k2 * k3;
    return root * root;
}

double asce_velocity_pressure(const AsceWind& w, double elevation)
{
    const double psf = VELOCITY_PRESSURE_CONSTANT * asce_exposure_coefficient(w.exposure, elevation) *
                       asce_topographic_factor(w) * w.kd * w.speed * w.speed;
    return psf / PSF_PER_PSI;
}

double asce_round_force_coefficient(int surface, double h, double d, double qz)
{
    if (!(d > 0.0))
        return CF_ROUND_SLOW.back();
    const double feet = d / INCH_PER_FOOT;
    const double psf = std::max(qz, 0.0) * PSF_PER_PSI;
    const std::array<double, 3>& row =
        feet * std::sqrt(psf) > 2.5 ? CF_ROUND_FAST[index_of(surface, SURFACE_VERY_ROUGH)] : CF_ROUND_SLOW;
    const double ratio = h / d;
    if (!(ratio > H_OVER_D[0]))
        return row[0];
    if (ratio >= H_OVER_D[2])
        return row[2];
    const std::size_t i = ratio <= H_OVER_D[1] ? 1 : 2;
    const double t = (ratio - H_OVER_D[i - 1]) / (H_OVER_D[i] - H_OVER_D[i - 1]);
    return row[i - 1] + t * (row[i] - row[i - 1]);
}

double round_force_coefficient(double height, double diameter)
{
    const AsceWind& w = asce_wind();
    return asce_round_force_coefficient(w.surface, height, diameter, asce_velocity_pressure(w, height));
}

// ---- Wind loads ------------------------------------------------------------------

bool wind_load_defined(const WindData& data, int n)
{
    if (n < 1 || n > NUM_WIND_LOADS)
        return false;
    const WindLoad& w = data.loads[static_cast<std::size_t>(n)];
    if (!direction_given(w))
        return false;
    if (w.asce)
        return data.asce_on;
    return !w.velocity.empty() || !w.pressure.empty();
}

bool wind_load1_defined() { return wind_load_defined(wind_data(), 1); }
bool wind_load2_defined() { return wind_load_defined(wind_data(), 2); }
bool wind_load3_defined() { return wind_load_defined(wind_data(), 3); }
bool wind_load4_defined() { return wind_load_defined(wind_data(), 4); }

double wind_pressure_at(const WindData& data, int n, double elevation)
{
    if (!wind_load_defined(data, n))
        return 0.0;
    const WindLoad& w = data.loads[static_cast<std::size_t>(n)];
    if (w.asce)
        return asce_velocity_pressure(data.asce, elevation);
    bool velocity = false;
    const XYCurve* profile = profile_of(data, w, velocity);
    if (!profile)
        return 0.0;
    const double value = profile->value_at(elevation);
    const double pressure = velocity ? VELOCITY_PRESSURE_CONSTANT * value * value / PSF_PER_PSI : value;
    return pressure * w.shape_factor;
}

double wind_pressure_at(int n, double elevation)
{
    return wind_pressure_at(wind_data(), n, elevation);
}

void wind_from_single_velocity(float velocity)
{
    WindData& d = wind_data();
    d.units.kind = PROFILE_VELOCITY;
    const int length = current_unit(LENGTH);
    d.units.elevation = length == 3 || length == 4 ? 1 : 0;   // m, mm
    d.units.pressure = pressure_code_of_unit(current_unit(PRESSURE));
    d.units.velocity = current_unit(SPEED);
    if (velocity == 0.0f)
        return;
    XYCurve& profile = wind_load(1).velocity;
    XYCurve made;
    bool placed = false;
    for (const XYPair& p : profile) {
        if (!placed && p.x >= ENTERED_ZERO) {
            made.push_back(ENTERED_ZERO, velocity);
            placed = true;
            if (p.x == ENTERED_ZERO)
                continue;
        }
        made.push_back(p.x, p.y);
    }
    if (!placed)
        made.push_back(ENTERED_ZERO, velocity);
    profile = std::move(made);
}

std::string asce_wind_fault(const AsceWind& a)
{
    auto bad = [](float v) { return !finite_value(v) || v < 0.0f; };
    if (a.occupancy < 0 || a.occupancy > 3)
        return "Invalid Occupancy Category. Value can be 0 to 3";
    if (bad(a.speed))
        return "Invalid wind speed";
    if (bad(a.kd))
        return "Invalid directionality factor";
    if (a.exposure < EXPOSURE_B || a.exposure > EXPOSURE_D)
        return "Invalid Exposure Category. Value can be 0 to 2";
    if (a.hill < HILL_NONE || a.hill > HILL_AXISYMMETRIC)
        return "Invalid Hill type. Value can be 0 to 3";
    const bool hill = a.hill > HILL_NONE;
    auto bad_hill = [&](float v) { return !finite_value(v) || (hill ? !(v > 0.0f) : v < 0.0f); };
    if (bad_hill(a.hill_height))
        return "Invalid hill height";
    if (bad_hill(a.crest_distance))
        return "Invalid crest distance";
    if (bad_hill(a.height_above_ground))
        return "Invalid height";
    if (bad_hill(a.crest_to_site))
        return "Invalid distance";
    if (a.surface < SURFACE_SMOOTH || a.surface > SURFACE_VERY_ROUGH)
        return "Invalid surface type. Value can be 0 to 2";
    if (bad(a.gust))
        return "Invalid Gust factor";
    return {};
}

std::string wind_load_fault(const WindLoad& w)
{
    for (float c : w.direction)
        if (!finite_value(c))
            return "a direction component is not a number";
    if (!finite_value(w.shape_factor) || w.shape_factor < 0.0f)
        return "the shape factor is invalid";
    if (!finite_value(w.structure_height) || w.structure_height < 0.0f)
        return "the structure height is invalid";
    return {};
}

void install_wind()
{
    register_block_section<WindData>(SECTION_WIND, "wind data", wind_data, read_wind, write_wind);
}
