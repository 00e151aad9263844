// Wind loads 1 to 4 and the design wind after ASCE/SEI 7-10.
//
// A wind load has a direction, a shape factor and a profile over elevation:
// either of wind velocity or of wind pressure, or, with its ASCE flag, the
// velocity pressure of the ASCE/SEI 7-10 design wind (chapters 26 and 29).
// Its pressure at an elevation (wind_pressure_at) is what acts on the
// projected area of a member across the wind:
//   - velocity profile: 0.00256 V^2 (psf, V in mph) times the shape factor;
//   - pressure profile: the profile's pressure times the shape factor;
//   - ASCE profile: qz = 0.00256 Kz Kzt Kd V^2 (eq. 29.3-1); the members then
//     take the gust-effect factor G and the force coefficient Cf of their
//     size (eq. 29.5-1, F = qz G Cf Af) in place of the shape factor.
// Elevations are the model's vertical coordinate (Y, or Z when Z is
// vertical), taken as the height above ground; profiles are held constant
// beyond their first and last points.
//
// The profiles are kept in internal units (inch, mph, psi); the unit codes
// say in which units the profile tables show and take them.
#pragma once

#include "framework/geometry.h"
#include "framework/xycurve.h"

#include <array>
#include <cstdint>
#include <string>

class BinFile;

inline constexpr int NUM_WIND_LOADS = 4;
// Points a profile may have.
inline constexpr int32_t MAX_PROFILE_POINTS = 1000;
inline constexpr float DEFAULT_SHAPE_FACTOR = 0.6f;

enum WindExposure : int32_t { EXPOSURE_B = 0, EXPOSURE_C, EXPOSURE_D };
enum HillType : int32_t { HILL_NONE = 0, HILL_RIDGE, HILL_ESCARPMENT, HILL_AXISYMMETRIC };
// The surface of round members (figure 29.5-1): moderately smooth, rough
// (D'/D = 0.02), very rough (D'/D = 0.08).
enum SurfaceType : int32_t { SURFACE_SMOOTH = 0, SURFACE_ROUGH, SURFACE_VERY_ROUGH };

struct AsceWind {
    int32_t occupancy = 1;            // risk category I..IV as 0..3 (it chooses the speed map)
    float speed = 0.0f;               // basic wind speed V, mph
    float kd = 0.95f;                 // directionality factor (table 26.6-1, round members)
    int32_t exposure = EXPOSURE_C;
    int32_t hill = HILL_NONE;
    float hill_height = 0.0f;         // H, inch
    float crest_distance = 0.0f;      // Lh, inch
    float height_above_ground = 0.0f; // z of the topographic factor, inch
    float crest_to_site = 0.0f;       // x, inch
    int32_t surface = SURFACE_SMOOTH;
    float gust = 0.85f;               // G of a rigid structure (26.9.1)
    bool operator==(const AsceWind&) const = default;
};

struct WindLoad {
    uint8_t asce = 0;                         // the ASCE profile
    std::array<float, 3> direction{};         // X, Y, Z (any length)
    float shape_factor = DEFAULT_SHAPE_FACTOR;
    uint8_t height_given = 0;                 // the structure height below is given
    float structure_height = 0.0f;            // inch: h of the force coefficients
    XYCurve velocity;                         // elevation -> speed
    XYCurve pressure;                         // elevation -> pressure
    bool operator==(const WindLoad&) const = default;
};

// How the profile tables show and take their values, shared by the four
// wind loads, and which profile they show.
enum WindProfileKind : int32_t { PROFILE_PRESSURE = 0, PROFILE_VELOCITY = 1 };
struct WindProfileUnits {
    int32_t elevation = 0;   // 0 the length unit, 1 metres
    int32_t pressure = 0;    // 0 psi, 1 kPa, 2 kg/cm2
    int32_t velocity = 0;    // 0 mph, 1 km/h, 2 m/s
    int32_t kind = PROFILE_PRESSURE;
    bool operator==(const WindProfileUnits&) const = default;
};

struct WindData {
    AsceWind asce;
    bool asce_on = false;                          // the ASCE data are given
    WindProfileUnits units;
    std::array<WindLoad, NUM_WIND_LOADS + 1> loads{};   // wind loads 1..4 in slots 1..4
    bool operator==(const WindData&) const = default;
};

WindData& wind_data();
inline AsceWind& asce_wind() { return wind_data().asce; }
inline bool& asce_wind_on() { return wind_data().asce_on; }
// Wind load n (1..4).
WindLoad& wind_load(int n);

// ---- Profile units -------------------------------------------------------------------

// The unit indices (units.h) of the profile codes: elevation 1 is metres,
// else the chosen length unit; pressure 0 psi, 1 kPa, 2 kg/cm2; velocity 0
// mph, 1 km/h, 2 m/s.
int profile_length_unit(int elevation_code);
int profile_pressure_unit(int pressure_code);
int profile_speed_unit(int velocity_code);
// The code of a pressure unit index: psi 0, kg/cm2 2, any other 1.
int pressure_code_of_unit(int pressure_unit);

// ---- The design wind -------------------------------------------------------------------

// Kz of table 29.3-1 (note 1) at a height z (inch) for an exposure: 2.01
// (z / zg)^(2 / alpha) with z held within 15 ft and zg (table 26.9-1).
double asce_exposure_coefficient(int exposure, double z);
// Kzt of figure 26.8-1 from the hill data: (1 + K1 K2 K3)^2, 1 without a
// hill or where 26.8.1 does not call for it (H / Lh below 0.2, H below 15 ft,
// 60 ft in exposure B). x is taken downwind of the crest (for an escarpment
// the larger mu).
double asce_topographic_factor(const AsceWind& wind);
// qz of eq. 29.3-1 at an elevation (inch), psi.
double asce_velocity_pressure(const AsceWind& wind, double elevation);
// Cf of figure 29.5-1 for a round member of diameter d in a structure of
// height h (inch) with velocity pressure qz (psi): interpolated over h / D
// (1, 7, 25, held beyond) in the row of D sqrt(qz) (D in ft, qz in psf) above
// 2.5 by the surface type, or in the row of all surfaces at 2.5 and below.
double asce_round_force_coefficient(int surface, double h, double d, double qz);
// The same with the model's ASCE data, qz taken at the height h.
double round_force_coefficient(double height, double diameter);

// ---- Wind loads ------------------------------------------------------------------

// The pressure (psi) of a wind load at an elevation (inch), as the header
// says; 0 when the load is not defined. The profile of the shared kind is
// used, or the other one when that is empty.
double wind_pressure_at(const WindData& data, int n, double elevation);
double wind_pressure_at(int n, double elevation);
// True when wind load n has a direction and is an ASCE load with the ASCE
// data given, or has a profile.
bool wind_load_defined(const WindData& data, int n);
bool wind_load1_defined();
bool wind_load2_defined();
bool wind_load3_defined();
bool wind_load4_defined();

// The older one-velocity wind: the profile kind becomes velocity, the unit
// codes follow the chosen units (elevation metres when the length unit is m
// or mm, the pressure code of the pressure unit, the speed unit), and a
// velocity other than 0 becomes wind load 1's velocity at elevation 0 (the
// entered-zero elevation), put in its place among the points; a point
// already there takes the new velocity, so that the profile stays in
// strictly increasing elevations.
void wind_from_single_velocity(float velocity);

// Range checks of the data a file brings; empty when in range.
std::string asce_wind_fault(const AsceWind& wind);
std::string wind_load_fault(const WindLoad& load);

// The model-file section (one block: the ASCE flag and data, the profile
// units, then the four wind loads with their profiles).
void install_wind();
