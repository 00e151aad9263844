// Flange qualification: one bolted flange joint, its input record
// `FlangeInput` and the flange qualification file (".flg").
//
// The file, 212 bytes, little-endian: the magic "KORVANEWFLG6700" and a NUL
// (16 bytes), then the 29 fields in the order of FlangeInput (int32 for the
// flange type, the number of bolts, the bolt size, the facing sketch and
// column, float32 for the rest: type at 16, A..C at 20..64, bolts at 68,
// bolt size at 72, bolt diameter..y at 76..100, sketch at 104, column at
// 108, P..allowable pressure at 112..128), then the 20 unit choices (132).
// Values are stored in internal units (inch, psi, lb, in-lb, degF).
#pragma once

#include "framework/unit_choices.h"
#include "qualification/qualification_file.h"

#include <array>
#include <cstdint>
#include <string>

enum FlangeType : int32_t {
    FLANGE_INTEGRAL = 0,
    FLANGE_LOOSE_HUB = 1,
    FLANGE_LOOSE_NO_HUB = 2,
    FLANGE_OPTIONAL = 3,
    FLANGE_REVERSE = 4,
};
inline constexpr int FLANGE_TYPE_COUNT = 5;
// "Integral Flanges", "Loose Flanges with Hubs", ...
extern const std::array<const char*, FLANGE_TYPE_COUNT> flange_type_names;

struct BoltSize {
    const char* name;      // "1-1/8\""
    double diameter;       // nominal, inch
    double root_area;      // in2
};
inline constexpr int BOLT_SIZE_COUNT = 17;
extern const std::array<BoltSize, BOLT_SIZE_COUNT> bolt_sizes;
inline constexpr int32_t DEFAULT_BOLT_SIZE = 4;   // 1 inch

struct FlangeInput {
    int32_t type = FLANGE_INTEGRAL;
    float A = 39.125f;              // flange outside diameter
    float B = 32.0f;                // flange inside diameter
    float B_reverse = 20.0f;        // B': inside diameter of a reverse flange
    float t = 2.0f;                 // flange thickness
    float g0 = 0.5f;                // small end hub thickness
    float g1 = 1.125f;              // large end hub thickness
    float h = 2.75f;                // hub length
    float Sf = 19600.0f;            // flange allowable stress, design temperature
    float Sfa = 20000.0f;           // flange allowable stress, reference temperature
    float E = 2.7e7f;               // flange modulus, design temperature
    float Ea = 2.92e7f;             // flange modulus, reference temperature
    float C = 37.0f;                // bolt circle diameter
    int32_t bolts = 36;             // number of bolts
    int32_t bolt_size = DEFAULT_BOLT_SIZE;
    float bolt_diameter = 1.0f;     // nominal diameter of the bolt size
    float Sb = 25000.0f;            // bolt allowable stress, design temperature
    float Sa = 25000.0f;            // bolt allowable stress, reference temperature
    float gasket_od = 35.5f;
    float gasket_id = 33.5f;
    float m = 3.0f;                 // gasket factor (leak pressure ratio)
    float y = 10000.0f;             // gasket seating stress
    int32_t facing_sketch = 1;      // 1..5
    int32_t facing_column = 1;      // 1..2
    float P = 414.0f;               // design pressure
    float temperature = 500.0f;     // design temperature
    float axial_force = 1000.0f;
    float moment = 2400.0f;
    float allowable_pressure = 665.0f;

    bool operator==(const FlangeInput&) const = default;
};

inline constexpr const char* FLANGE_MAGIC = "KORVANEWFLG6700";
inline constexpr std::size_t FLANGE_FILE_SIZE = 212;

// The fields in file order, with the ranges of the indices.
const QualificationFields<FlangeInput>& flange_fields();
// True when a field differs: an int when unequal, a real by more than 1e-5.
bool flange_input_differs(const FlangeInput& a, const FlangeInput& b);

extern const QualificationFileTexts FLANGE_FILE_TEXTS;

struct FlangeFile {
    FlangeInput input;
    UnitChoices units{};
};
// Writes the joint with the unit choices; throws "Unable to write flange data file".
void write_flange_file(const std::string& path, const FlangeInput& input, const UnitChoices& units);
// Reads a file; throws a message naming the file when it cannot be taken.
FlangeFile read_flange_file(const std::string& path);
