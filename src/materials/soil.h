// Soils: named soil properties that buried pipe sections name. One model-wide
// table numbered from 1, stored in the model file from version 502 on.
#pragma once

#include "framework/one_based.h"
#include "model/named_set.h"

#include <cstddef>
#include <cstdint>
#include <string>

class BinFile;

inline constexpr std::size_t SOIL_NAME_LENGTH = 3;     // 4-byte field
inline constexpr int32_t MAXSOILS = 999;
// Records carry the include-insulation byte from this version on.
inline constexpr int32_t SOIL_INCLUDE_INSULATION_VERSION = 901;
// The largest friction angle delta, 75 degrees in radians.
inline constexpr double MAX_SOIL_DELTA = 1.3089969;
// What an entered delta of 0 is stored as, to tell it from an empty field.
inline constexpr float SOIL_ZERO_DELTA = 1e-36f;

enum SoilType : uint8_t {
    SOIL_COHESIONLESS = 0,
    SOIL_COHESIVE = 1,
};

struct Soil {
    std::string name;
    uint8_t type = SOIL_COHESIONLESS;
    float density = 0.0f;        // lb/in3
    float strength = 0.0f;       // psi; cohesive soils
    float delta = 0.0f;          // radian; cohesionless soils
    float ks = 0.0f;             // cohesionless soils
    float ground_level = 0.0f;   // inch
    uint8_t include_insulation = 0;

    // One record at model_file_version() (no include byte before 901).
    void read(BinFile& file);
    void write(BinFile& file) const;
    bool operator==(const Soil&) const = default;
};

// The key of the set in the name registry (model/named_set.h).
inline constexpr const char* SOILS = "soils";

NamedSet<Soil>& soils();
int numsoils();
void reset_soils();

// Index 1..numsoils() of the first soil named exactly `name`; 0 for an empty
// name or none.
int soil_index(const std::string& name);
// True when a pipe section names the soil.
bool soil_in_use(const Soil& soil);
// Every section's soil equal to the old name, then the soil, take the new one.
void rename_soil(const std::string& old_name, const std::string& new_name);
// True when a soil is defined and some pipe section names a soil.
bool any_section_flagged();

// The rules of the set: its file section, limit and messages.
const NamedSetRules<Soil>& soil_rules();
// Registers the set with its model-file section and the place that names a
// soil (a pipe section's soil); called once at start-up.
void install_soils();

// Merge: the merged soils are appended in order; a name already used by a
// soil gets the first free "1".."999" (never one a merged soil brings), and
// the sections appended by the same merge follow the renames.
void check_merge_soils(const OneBased<Soil>& merged);
void merge_soils(const OneBased<Soil>& merged);

// True for a friction angle of 0 to 75 degrees. The limit is compared with a
// margin of a float's rounding, so that 75 degrees typed and converted to
// radians in single precision is accepted; 75.01 degrees is not.
bool soil_delta_valid(double radians);
