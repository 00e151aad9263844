// The physical quantities and the document's choice of unit for each, apart
// from the unit system itself (units.h), so that the document can hold the
// choices without every unit of the program depending on the formatters.
#pragma once

#include <array>
#include <cstdint>

enum UnitQuantity : int32_t {
    LENGTH = 1,
    DIMENSION,
    DISPLACEMENT,
    ANGLE,
    FORCE,
    MOMENT,
    WEIGHT_PER_LENGTH,
    WEIGHT,
    DENSITY,
    WEIGHT_DENSITY,
    TEMPERATURE,
    EXPANSION,
    PRESSURE,
    STRESS,
    MODULUS,
    STIFFNESS,
    ROT_STIFFNESS,
    AREA,
    INERTIA,
    SPEED,
};
inline constexpr int NUM_UNIT_QUANTITIES = 20;

// The chosen unit of each quantity as an index into its unit list; index 0 is
// the English unit. Slot 0 is unused. Files store entries 1..20.
using UnitChoices = std::array<int32_t, NUM_UNIT_QUANTITIES + 1>;
