// The soil of the buried-piping tests.
#pragma once

#include "materials/soil.h"

#include <numbers>

namespace analysis_test {

// Sand of 120 lb/ft3, delta 30 degrees, Ks 1 (K0 of the ALA equations),
// named "S", its ground `ground` in above the elevation 0 of the tests' lines.
inline Soil sand(double ground = 36.0)
{
    Soil s;
    s.name = "S";
    s.type = SOIL_COHESIONLESS;
    s.density = static_cast<float>(120.0 / 1728.0);
    s.delta = static_cast<float>(30 * std::numbers::pi / 180);
    s.ks = 1.0f;
    s.ground_level = static_cast<float>(ground);
    return s;
}

}  // namespace analysis_test
