// Lug evaluation: the run pipe at one welded attachment (a rectangular or a
// hollow circular lug), its input record `LugInput` and the lug evaluation
// file (".lug").
//
// The file, 304 bytes, little-endian: the magic "KORVANEWLUG8100" and a NUL
// (16 bytes); code, level and attachment type (int32 at 16, 20, 24); Do, T,
// L1, L2, do, t, the five run-pipe stresses and the seven allowables (float32
// at 28..96); the weld type (int32 at 100); the five load sets W, Q1, Q2,
// ML, MN, MT (float32: sustained at 104, thermal at 128, occasional at 152,
// settlement at 176, the simultaneous absolute maxima at 200); the 20 unit
// choices (224). Values in internal units (inch, psi, lb, in-lb).
#pragma once

#include "framework/unit_choices.h"
#include "qualification/qualification_file.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

enum LugCode : int32_t { LUG_ASME_NC = 0, LUG_ASME_ND = 1, LUG_EN13480 = 2 };
inline constexpr int LUG_CODE_COUNT = 3;
extern const std::array<const char*, LUG_CODE_COUNT> lug_code_names;
inline bool lug_code_is_asme(int32_t code) { return code != LUG_EN13480; }

enum LugAttachment : int32_t { LUG_RECTANGULAR = 1, LUG_HOLLOW = 2 };
// "A" to "D" (ASME service levels).
extern const std::array<const char*, 4> lug_level_names;
// The weld types of an attachment type: three for rectangular, two for hollow.
const std::vector<std::string>& lug_weld_types(int32_t attachment);

// The loads at the pipe surface: thrust (radial) W, circumferential shear
// Q1, longitudinal shear Q2, longitudinal moment ML, circumferential moment
// MN and torsion MT, in file order.
struct LugLoads {
    float W = 0.0f, Q1 = 0.0f, Q2 = 0.0f, ML = 0.0f, MN = 0.0f, MT = 0.0f;
    bool operator==(const LugLoads&) const = default;
};

struct LugInput {
    int32_t code = LUG_ASME_NC;
    int32_t level = 0;                 // 0..3: A..D
    int32_t attachment = LUG_RECTANGULAR;
    float Do = 0.0f;                   // run pipe outside diameter
    float T = 0.0f;                    // run pipe nominal wall
    float L1 = 0.0f;                   // half length, circumferential
    float L2 = 0.0f;                   // half length, longitudinal
    float d_o = 0.0f;                  // hollow attachment outside diameter
    float t = 0.0f;                    // hollow attachment wall
    float sustained_stress = 0.0f;     // ASME Eq. 8, EN S1
    float expansion_stress = 0.0f;     // ASME Eq. 10, EN S3
    float occasional_stress = 0.0f;    // sustained + occasional: ASME Eq. 9, EN S2
    float settlement_stress = 0.0f;    // ASME Eq. 10a; EN: the creep stress S5
    float thermal_stress = 0.0f;       // thermal + sustained: ASME Eq. 11, EN S4
    float fh = 0.0f, fa = 0.0f, fcr = 0.0f, ReHt = 0.0f;   // EN allowables
    float sh = 0.0f, sy = 0.0f, sa = 0.0f;                 // ASME allowables
    int32_t weld = 0;
    LugLoads sustained, thermal, occasional, settlement, maxima;

    bool operator==(const LugInput&) const = default;
};

inline constexpr const char* LUG_MAGIC = "KORVANEWLUG8100";
inline constexpr std::size_t LUG_FILE_SIZE = 304;

const QualificationFields<LugInput>& lug_fields();
extern const QualificationFileTexts LUG_FILE_TEXTS;

struct LugFile {
    LugInput input;
    UnitChoices units{};
};
void write_lug_file(const std::string& path, const LugInput& input, const UnitChoices& units);
LugFile read_lug_file(const std::string& path);
