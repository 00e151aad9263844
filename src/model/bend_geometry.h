// What model building needs of the bend-like element objects (bend, miter,
// jacketed bend) and of the jacketed ones (jacketed pipe, jacketed bend).
// The element classes own these records and hand them out through
// ElementData::bend_geometry() and ElementData::jacket_geometry(); the model
// build reads the input fields and fills the ones marked "set by model
// building". Lengths in inch, angles in radian.
#pragma once

#include <cstdint>
#include <string>

enum BendRadiusKind : uint8_t {
    RADIUS_LONG = 0,
    RADIUS_SHORT = 1,
    RADIUS_USER = 2,
};

// The smallest angle of an intermediate bend node from either tangent point.
inline constexpr double MIN_INTERMEDIATE_ANGLE = 0.08;

struct BendGeometry {
    // Input.
    uint8_t radius_kind = RADIUS_LONG;
    float radius = 0.0f;             // Long and Short: taken from the section on every build
    std::string material;            // the bend's own material; empty = the row's
    float thickness = 0.0f;          // the bend's own wall thickness; 0 = the section's
    int32_t node1 = 0;               // intermediate node numbers (0 = none), sorted by angle
    int32_t node2 = 0;
    float angle1 = 0.0f;             // their angles from the near tangent point
    float angle2 = 0.0f;
    uint8_t flanged_ends = 0;        // bend ends with a flange, 0 to 2

    // Set by model building.
    uint8_t geometry_valid = 0;      // 1 once the arc has been laid out
    float bend_angle = 0.0f;         // angle of the arc
    float centre[3] = {0.0f, 0.0f, 0.0f};
    int32_t far_node = 0;            // node index of the far tangent point
};

// The jacket of a jacketed pipe or jacketed bend.
struct JacketGeometry {
    std::string material;            // names of the jacket's material, section and pipe load
    std::string section;
    std::string load;

    // Jacketed pipe, set by model building: jacket node indices at the
    // element's start and end.
    int32_t node1 = 0;
    int32_t node2 = 0;

    // Jacketed bend: the jacket's radius (input) and its arc (set by model
    // building; the bend angle is the core's).
    uint8_t radius_kind = RADIUS_LONG;
    float radius = 0.0f;
    float thickness = 0.0f;          // the jacket bend's own wall; 0 = the jacket section's
    uint8_t flanged_ends = 0;
    int32_t previous_node = 0;       // node index where the jacket leg starts
    int32_t near_node = 0;           // jacket near tangent point
    int32_t far_node = 0;            // jacket far tangent point
    float centre[3] = {0.0f, 0.0f, 0.0f};
};
