// The response-spectrum input of the model: the spectrum (by name, from the
// model's spectra) that excites each global direction with its factor, and
// how the response-spectrum and force-spectrum analyses combine the modes,
// the directions and the missing mass.
//
// The combinations:
//   modes       1 SRSS (square root of the sum of the squares), 2 CQC (the
//               complete quadratic combination with the damping below), 3
//               ten percent (SRSS, and the products of each pair of closely
//               spaced modes, whose frequencies differ by no more than the
//               closely-spaced fraction of the lower one, added in absolute
//               value), 4 absolute sum;
//   directions  1 SRSS, 2 absolute sum;
//   missing mass with the modes of its direction: 1 SRSS, 2 absolute sum.
//
// Section "Response spectrum" (from RESPONSE_SPECTRUM_VERSION on; one
// block): 3 x name[33] (X, Y, Z; empty for none), 3 x f32 factor, i32 modal
// combination, i32 direction combination, i32 missing-mass combination, f32
// damping ratio, f32 closely-spaced fraction.
#pragma once

#include "loads/spectrum.h"

#include <array>
#include <cstdint>
#include <string>

inline constexpr int32_t RESPONSE_SPECTRUM_VERSION = 1023;

struct ResponseSpectrumInput {
    std::array<std::string, 3> spectrum;          // X, Y, Z
    std::array<float, 3> factor{1.0f, 1.0f, 1.0f};
    int32_t modal_combination = 1;
    int32_t direction_combination = 1;
    int32_t missing_mass_combination = 1;
    float damping = 0.05f;
    float closely_spaced = 0.10f;

    // True when a direction names a spectrum.
    bool any() const { return !spectrum[0].empty() || !spectrum[1].empty() || !spectrum[2].empty(); }
    bool operator==(const ResponseSpectrumInput&) const = default;
};

ResponseSpectrumInput& response_spectrum_input();

// The names of the combinations, as the dialog offers them.
inline constexpr int MODAL_COMBINATIONS = 4;
inline constexpr int SUM_COMBINATIONS = 2;
const char* modal_combination_name(int combination);      // "SRSS", "CQC", "Ten percent", "Absolute sum"
const char* sum_combination_name(int combination);        // "SRSS", "Absolute sum"

// The fields of the input in the order they are checked; a fault names the
// first one that is wrong.
enum ResponseSpectrumField : int {
    RS_FIELD_SPECTRUM = 0,            // X, Y, Z: 0..2
    RS_FIELD_FACTOR = 3,              // X, Y, Z: 3..5
    RS_FIELD_MODAL_COMBINATION = 6,
    RS_FIELD_DIRECTION_COMBINATION,
    RS_FIELD_MISSING_MASS_COMBINATION,
    RS_FIELD_DAMPING,
    RS_FIELD_CLOSELY_SPACED,
};
struct ResponseSpectrumFault {
    int field = -1;
    std::string text;                 // empty when the input is sound
};

// The checks of one value, which the batch reader shares: a name that
// spectrum_name_fault takes or none (the fault's text, empty when sound); a
// factor that is a number, 0 or more.
std::string response_spectrum_name_fault(const std::string& name);
bool response_spectrum_factor_valid(float factor);

// What is wrong with the input (a name too long, a factor below 0 or not a
// number, a combination out of range, a damping ratio outside 0 to 1, a
// closely-spaced fraction outside 0 to 1), and where; the first fault in
// the order of the fields. The spectra it names are the analysis's to find.
ResponseSpectrumFault response_spectrum_field_fault(const ResponseSpectrumInput& input);
// Its text alone; empty when the input is sound.
std::string response_spectrum_fault(const ResponseSpectrumInput& input);

// True when a direction names the spectrum; renames the references.
bool response_spectrum_uses(const std::string& name);
void rename_response_spectrum_references(const std::string& old_name, const std::string& new_name);

// The model-file section (a merge keeps the current model's input).
void install_response_spectrum();
