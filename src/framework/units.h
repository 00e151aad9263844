// The unit system: the unit chosen for each physical quantity, conversion
// between the chosen (display) unit and the internal unit, and the parsers and
// formatters through which every typed or displayed value passes.
//
// Internal units: inch, lb, in-lb, psi, degree F, radian (derived quantities
// follow: lb/in, lb/in3, in-lb/rad, in2, in4, mph).
//
// Parsers take a text, remove all blanks and upper-case it, read a number in
// the chosen unit and store it in the internal unit. They return 0 on success
// and 1 on an unreadable or refused text, in which case the out value is left
// unchanged. An empty text gives 0 and success (the caller decides whether the
// field is required). Each has a twin ending in _buffer that reads item_text().
//
// Formatters take an internal value and return its text in the chosen unit.
// They return a fresh string (no shared static buffer that the next call would
// overwrite) and never depend on the user's locale.
#pragma once

#include "framework/unit_choices.h"

#include <array>
#include <cstdint>
#include <functional>
#include <string>

// Stored for an entered zero of density, weight density, temperature,
// expansion and pressure, so that it differs from an empty field (0).
inline constexpr float ENTERED_ZERO = 1.0e-36f;
// Values below this magnitude are an entered zero (or an empty field).
inline constexpr double ENTERED_ZERO_LIMIT = 2.0e-36;
// A rigid translational or rotational stiffness ("Rigid", any prefix of it).
inline constexpr float RIGID_STIFFNESS = 1.0e12f;
// Displacements and angles of this magnitude and above mean "not given".
inline constexpr double NONE_LIMIT = 5.0e29;

UnitChoices& unit_choice();

// Every quantity back to its English unit (index 0).
void reset_unit_choice();

// The program's unit choices are put back when a reader or writer that
// changed them for its values is done, however it ends.
class UnitChoicesKept {
public:
    UnitChoicesKept() : saved_(unit_choice()) {}
    ~UnitChoicesKept() { unit_choice() = saved_; }
    UnitChoicesKept(const UnitChoicesKept&) = delete;
    UnitChoicesKept& operator=(const UnitChoicesKept&) = delete;

private:
    UnitChoices saved_;
};

// Number of units of a quantity (0 when q is not a quantity).
int unit_count(int q);
// True when q is a quantity and index a unit of it; readers of files check
// stored choices with it before storing them.
bool unit_choice_valid(int q, int index);
// The unit in use for q: unit_choice[q], or 0 when that entry is out of range
// (a bad entry can never index past a table).
int current_unit(int q);

// Bare unit name, such as "inch" or "kg/cm2"; empty when out of range.
std::string unit_name(int q, int index);
// The name in parentheses, such as "(inch)"; empty when out of range.
std::string unit_label_for(int q, int index);
// The label of the chosen unit of q, such as "(inch)".
std::string unit_label(int q);
// text, a blank and unit_label(q).
std::string label_with_unit(const std::string& text, int q);

// Conversion between a unit of q and the internal unit. For the
// feet-and-inches length unit the display value is a number of feet. Out of
// range arguments leave the value unchanged.
double unit_to_internal(int q, int index, double display_value);
double unit_from_internal(int q, int index, double internal_value);
// The same in the chosen unit of q.
double to_internal(int q, double display_value);
double to_display(int q, double internal_value);

// The conversion of a quantity's internal values into its unit shown, taken
// once and handed on (to a thread that makes report lines): shown(v) is
// to_display(q, v) to the last bit.
struct UnitScale {
    double offset = 0.0;
    double factor = 1.0;
    bool plain = true;   // no conversion: the value as it is
    double shown(double value) const { return plain ? value : (value - offset) / factor; }
};
UnitScale unit_scale(int q);

// ---- Parsers ----------------------------------------------------------------

// Text with blanks removed (but one kept where it splits a number, which no
// parser reads) and letters upper-cased, as the parsers see it.
std::string clean_number_text(const std::string& text);

// A plain number: optional sign, digits with at most one point, optionally
// "E", an optional sign and at most 37 as the exponent; the value must fit a
// float.
int parse_real(const std::string& text, float& out);
int parse_real(const std::string& text, double& out);
// An optionally signed whole number that fits int32.
int parse_int(const std::string& text, int32_t& out);

// Length: in the feet-and-inches unit the text is feet and inches (see
// units_parse.cpp for the accepted forms) and a plain number is feet.
int parse_length(const std::string& text, float& out);
int parse_dimension(const std::string& text, float& out);         // negative refused
int parse_signed_dimension(const std::string& text, float& out);
int parse_displacement(const std::string& text, float& out);
int parse_angle(const std::string& text, float& out);              // into radians
int parse_force(const std::string& text, float& out);
int parse_moment(const std::string& text, float& out);
int parse_weight_per_length(const std::string& text, float& out);  // negative refused
int parse_weight(const std::string& text, float& out);             // negative refused
int parse_density(const std::string& text, float& out);            // negative refused, 0 marked
int parse_weight_density(const std::string& text, float& out);     // negative refused, 0 marked
int parse_temperature(const std::string& text, float& out);        // 0 degF marked
int parse_expansion(const std::string& text, float& out);          // 0 marked
int parse_pressure(const std::string& text, float& out);           // 0 marked
int parse_stress(const std::string& text, float& out);             // negative refused
int parse_modulus(const std::string& text, float& out);            // zero and negative refused
int parse_stiffness(const std::string& text, float& out);          // negative refused, "Rigid"
int parse_rot_stiffness(const std::string& text, float& out);      // negative refused, "Rigid"
int parse_area(const std::string& text, float& out);               // negative refused
int parse_inertia(const std::string& text, float& out);            // negative refused
int parse_speed(const std::string& text, float& out);              // negative refused

// The same, reading item_text().
// The parsers of the shared item text (the typed text of a dialog field or
// table cell) tell this observer the quantity each reads in (none: nobody).
void set_buffer_parse_observer(std::function<void(int quantity)> observer);
int parse_real_buffer(float& out);
int parse_int_buffer(int32_t& out);
int parse_length_buffer(float& out);
int parse_dimension_buffer(float& out);
int parse_signed_dimension_buffer(float& out);
int parse_displacement_buffer(float& out);
int parse_angle_buffer(float& out);
int parse_force_buffer(float& out);
int parse_moment_buffer(float& out);
int parse_weight_per_length_buffer(float& out);
int parse_weight_buffer(float& out);
int parse_density_buffer(float& out);
int parse_weight_density_buffer(float& out);
int parse_temperature_buffer(float& out);
int parse_expansion_buffer(float& out);
int parse_pressure_buffer(float& out);
int parse_stress_buffer(float& out);
int parse_modulus_buffer(float& out);
int parse_stiffness_buffer(float& out);
int parse_rot_stiffness_buffer(float& out);
int parse_area_buffer(float& out);
int parse_inertia_buffer(float& out);
int parse_speed_buffer(float& out);

// ---- Formatters -------------------------------------------------------------

// A value in the unit shown, as the formatters show it: one of a magnitude
// below 1E-30 (the entered-zero marker or a denormal, scaled into the unit
// shown) is 0.
double shown_value(double value);

// When set (moment-precision switch, read at start-up) format_moment_integer
// keeps 2 decimals.
bool& moment_precision();

// "%-1.*f"; when wider than `width` the exponent form "%-1.*E" with as many
// decimals as fit; "*****" when even that is too wide or the value is not
// finite. "-0" (and "-0.00") becomes "0". A width of 0 or less sets no limit.
std::string format_real(double value, int width, int decimals);
// format_real's text where parse_real reads it back as the same float, else
// the shortest text that it does ("%G"): a component of 1 shows as 1.000,
// one of 1E-05, which three decimals would show as 0.000, as 1E-05.
std::string format_real_exact(double value, int width, int decimals);
// format_real's text written into `out` (NUMBER_TEXT_SIZE characters,
// number_text.h); returns its end.
char* write_real(char* out, double value, int width, int decimals);
// A value as format_real writes it: the value in the unit shown, the width
// and the decimals.
struct ShownReal {
    double value = 0.0;
    int width = 0;
    int decimals = 0;
};
// A value written as format_real writes it after the unit conversion.
struct RealForm {
    UnitScale scale;
    int width = 0;
    int decimals = 0;
    ShownReal of(double value) const { return {scale.shown(value), width, decimals}; }
};
// What format_force_integer and format_moment_integer write, for writers
// that place such a value themselves (report_real_right); the forms take
// the units and the moment precision in force now.
ShownReal force_integer(double value);
ShownReal moment_integer(double value);
RealForm force_integer_form();
RealForm moment_integer_form();
// "%.3G" / "%.5G"; "0" for magnitudes below 1e-30 (entered-zero marker,
// denormals).
std::string format_g3(double value);
std::string format_g5(double value);
std::string int_text(int64_t value);

std::string format_length(double value);
// The same with every digit a float holds (for copies that are read back).
std::string format_length_exact(double value);
std::string format_dimension(double value);
// The same as the shortest text that reads back exactly (a value as it was typed).
std::string format_dimension_exact(double value);
std::string format_displacement_or_none(double value);
// The texts of format_displacement_or_none, format_angle and format_stress
// written into `out` (NUMBER_TEXT_SIZE characters); each returns the end.
char* write_displacement_or_none(char* out, double value);
char* write_angle(char* out, double value);
char* write_stress(char* out, double value);
// The same with the unit and decimals taken before (displacement_form,
// angle_form, unit_scale(STRESS)): they read nothing of the program's
// state, so that another thread can write them.
struct ShownForm {
    UnitScale scale;
    int decimals = 0;
};
ShownForm displacement_form();
ShownForm angle_form();
char* write_displacement_or_none(char* out, double value, const ShownForm& form);
char* write_angle(char* out, double value, const ShownForm& form);
char* write_stress(char* out, double value, const UnitScale& stress);
std::string format_displacement_g5(double value);
std::string format_angle_or_none(double value);
std::string format_angle(double value);
std::string format_force(double value);
std::string format_moment(double value);
std::string format_force_integer(double value);
std::string format_moment_integer(double value);
std::string format_weight_per_length(double value);
std::string format_weight(double value);
std::string format_density(double value);
std::string format_weight_density(double value);
std::string format_temperature(double value);
std::string format_expansion(double value);
std::string format_pressure(double value);
std::string format_stress(double value);
std::string format_modulus(double value);
std::string format_stiffness(double value);
std::string format_rot_stiffness(double value);
std::string format_area(double value);
std::string format_inertia(double value);
std::string format_speed(double value);
// Soil spring stiffness (translational stiffness unit) and its maximum load
// (force unit), narrow enough for the eight-character report columns.
std::string format_soil_stiffness(double value);
std::string format_soil_force(double value);
// A value put into a message, warning or note: its number in the unit
// shown, a blank and that unit's name ("-2049.3 N", "0.35 inch"), with
// `digits` significant digits and every digit of a whole number up to
// 9999999 ("123457 N", not "1.2346E+05"). Below 1E-30 in the unit shown it
// is 0, as every shown value; a value that is not a finite number reads
// "*****". The unit is that of `units` (the choices a run took with its
// model, so that the run's thread reads nothing of the document), or the
// one chosen now.
std::string value_with_unit(int quantity, double value, const UnitChoices& units, int digits = 5);
std::string value_with_unit(int quantity, double value, int digits = 5);
// format(value), or an empty text for 0 (a field left empty).
std::string format_or_empty(double value, std::string (*format)(double));

// Unit-free helpers.
std::string format_f3_trimmed(double value);       // "%.3f" less up to two trailing zeros
std::string format_factor_above_one(double value); // empty for 1 or less
std::string format_percent(double value);          // a value already in percent
