// Nozzle qualification: the local loads on one vessel nozzle, its data set
// `NozzleEvaluation` (the fields of both methods: EN 13445-3 clause 16
// allowable loads and WRC 537 local stresses) and the nozzle evaluation
// file (".noz").
//
// The file, little-endian. Version 810, 217 bytes: the magic
// "KORVANEWNOZ8100" and a NUL (16 bytes; characters 11 to 13 are the
// version), method (int32 at 16), spherical (byte at 20), the 12 EN floats R,
// e, de, eb, d, e2, d2, ec, f, fb, f2, c (21), load case (int32 at 69), the
// 16 WRC floats P, V1, V2, M1, M2, MT, T, Rm, rm, ro, r, Pm, Pb, allowable,
// Kn, Kb (73; rm before ro), the 20 unit choices (137). Versions 720 to 809,
// 145 bytes: the magic, spherical (16), the 12 EN floats (17), the unit
// choices (65); such a file is an EN data set whose WRC values are the
// defaults. Values in internal units (inch, lb, in-lb, psi).
#pragma once

#include "framework/unit_choices.h"
#include "qualification/qualification_file.h"

#include <array>
#include <cstdint>
#include <string>

enum NozzleMethod : int32_t { NOZZLE_EN13445 = 0, NOZZLE_WRC537 = 1 };
enum NozzleLoadCase : int32_t { WRC_SUSTAINED = 0, WRC_SUSTAINED_OCCASIONAL = 1, WRC_OPERATING = 2 };
// "Sustained", "Sustained + Occasional", "Operating".
extern const std::array<const char*, 3> nozzle_load_case_names;
// The method combo's entries.
extern const std::array<const char*, 2> nozzle_method_names;

struct NozzleEvaluation {
    int32_t method = NOZZLE_EN13445;
    uint8_t spherical = 1;     // 1: nozzle in a spherical shell, 0: in a cylinder
    // EN 13445-3: R is the mean shell radius of a sphere or the mean shell
    // diameter D of a cylinder.
    float R = 0.0f, e = 0.0f, de = 0.0f, eb = 0.0f, d = 0.0f, e2 = 0.0f, d2 = 0.0f, ec = 0.0f;
    float f = 0.0f, fb = 0.0f, f2 = 0.0f, c = 0.0f;
    // WRC 537 (eb is also the nozzle thickness t of a spherical shell).
    int32_t load_case = WRC_OPERATING;
    float P = 0.0f, V1 = 0.0f, V2 = 0.0f, M1 = 0.0f, M2 = 0.0f, MT = 0.0f;
    float T = 0.0f, Rm = 0.0f, rm = 0.0f, ro = 0.0f, r = 0.0f;
    float Pm = 0.0f, Pb = 0.0f, allowable = 0.0f, Kn = 0.0f, Kb = 0.0f;

    bool operator==(const NozzleEvaluation&) const = default;
};

inline constexpr const char* NOZZLE_MAGIC = "KORVANEWNOZ8100";
inline constexpr int NOZZLE_VERSION = 810;
inline constexpr int NOZZLE_OLDEST_VERSION = 720;
inline constexpr std::size_t NOZZLE_FILE_SIZE = 217;
inline constexpr std::size_t NOZZLE_OLD_FILE_SIZE = 145;

// The fields of each method, in file order.
const QualificationFields<NozzleEvaluation>& nozzle_en_fields();
const QualificationFields<NozzleEvaluation>& nozzle_wrc_fields();
// The WRC values of a new data set: every float 0 and the Operating case.
void reset_wrc_values(NozzleEvaluation& n);

extern const QualificationFileTexts NOZZLE_FILE_TEXTS;

struct NozzleFile {
    NozzleEvaluation data;
    UnitChoices units{};
    int version = NOZZLE_VERSION;
};
void write_nozzle_file(const std::string& path, const NozzleEvaluation& data, const UnitChoices& units);
NozzleFile read_nozzle_file(const std::string& path);
