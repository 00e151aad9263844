// The item list of a LAYOUT row: keyword items such as WGT=150, DIS(0.1,0,
// -0.2) or SNUBBER that give the row's element attributes, its data item and
// the operating condition of its pipe.
//
// An item is bare (KEYWORD), a scalar (KEYWORD=value) or a tuple
// (KEYWORD(c1,c2,c3)), told by whichever of "=" and "(" comes first. The
// value ends at its first ")"; it is split at commas into at most three
// components, each without its leading blanks. Components keep their
// places: in (0.1,,0.2) the second is empty (read as 0) and the third is
// 0.2, as the batch export writes every member of a tuple.
//
// Every number is read by the parser of its quantity in the unit the file
// chose and stored in internal units. The values of one row are reset before
// the row; the operating condition (T, P, SG, U and L) carries over from row
// to row within one import.
#pragma once

#include "supports/support_common.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class BatchReader;

// Text limits of an item and of one component of its value.
inline constexpr std::size_t ITEM_LENGTH_LIMIT = 127;
inline constexpr std::size_t COMPONENT_LENGTH_LIMIT = 39;

// One item taken apart.
struct SplitItem {
    std::string text;                     // the whole item
    std::string keyword;
    bool tuple = false;
    std::string value;                    // after "=" or "(", up to the first ")"
    std::array<std::string, 3> c;         // components c1, c2, c3 ("" when not there)
};

// Splits an item; an item or component longer than its limit fails the line.
SplitItem split_row_item(const std::string& item, const BatchReader& reader);

// What T, P, SG, U and L give: the operating condition of the rows from the
// one that gives it on. `by_name` tells which came last: an L item (the rows
// take that load) or a condition (the rows take the load that matches it).
struct OperatingCondition {
    float temperature = 70.0f;    // degF
    float pressure = 0.0f;        // psi
    float specific_gravity = 0.0f;
    float uniform_load = 0.0f;    // lb/in
    std::string load_name;
    bool by_name = false;
};

// The values the items of one row give, with the defaults of a row that
// gives none.
struct RowItemValues {
    // ---- Supports ----
    DisplacementSets displacements;          // D/DIS..D10, SEIS, SETT, ROT.., SERO, STRO, DX.., ROTX..
    int32_t local_axes = 0;                  // LA
    int32_t local_displacements = 0;         // LD
    // TRAK and ROTK: 0 not given; a member given as 0 is -1.
    std::array<float, 3> translational{};
    std::array<float, 3> rotational{};
    std::array<uint8_t, 6> released{};       // FREE, FREEX .. FREEZZ
    std::array<uint8_t, 3> restrained{};     // F/FIXD, FX .. FZ
    float k = 0.0f;                          // skewed restraint, lb/in
    float kr = 0.0f;                         // skewed restraint, in-lb/rad
    std::array<float, 3> direction{};        // DV
    bool direction_given = false;
    float stiffness = 0.0f;                  // STIFF
    float mu = 0.0f;                         // MU
    int32_t connected = 0;                   // CNOD
    std::string tag;                         // TAG
    int32_t hanger_kind = 0;                 // VS, CS, RH, US, HTYP; 0 none
    int32_t hanger_count = 1;
    float spring_rate = 0.0f;                // US
    float hanger_load = 0.0f;                // US
    bool short_range = false;                // SR
    int32_t load_variation = 0;              // MLV, percent; 0 not given
    int32_t load_type = 0;                   // CLD
    bool guide = false;                      // G
    float guide_gap = 0.0f;                  // GGAP
    bool limit_stop = false;                 // LS
    float lower_limit = 0.0f;
    float upper_limit = 0.0f;
    bool snubber = false;                    // SNUBBER
    int32_t nozzle_type = 0;                 // NOZZLE: 297, 650, 5500; 0 none
    int32_t pad = 0;                         // RPAD
    float nozzle_od = 0.0f, nozzle_thickness = 0.0f, vessel_od = 0.0f, vessel_thickness = 0.0f;
    float length1 = 0.0f, length2 = 0.0f;    // L1, L2
    float vessel_modulus = 0.0f;             // E

    // ---- Elements and components ----
    float bend_thickness = 0.0f;             // BTHK
    std::string bend_material;               // BMAT
    float flexibility_factor = -1.0f;        // FF; -1 not given
    float sif_in = 0.0f, sif_out = 0.0f;     // BSIF and SIF
    float sif_axial = 0.0f, sif_torsion = 0.0f;
    int32_t node1 = 0, node2 = 0;            // IN1, IN2
    float angle1 = 0.0f, angle2 = 0.0f;
    int32_t miter_spacing = 1;               // WS: 2
    std::string jacket_material, jacket_section, jacket_load;
    float jacket_radius = 0.0f;              // JR
    bool jacket_radius_given = false;
    float jacket_thickness = 0.0f;           // JTHK
    bool end_cap = false;                    // JCAP
    bool spider = false;                     // SPIDER
    float od1 = 0.0f, thk1 = 0.0f, od2 = 0.0f, thk2 = 0.0f, cone = 0.0f;
    float valve_weight = 0.0f;               // VWGT
    float additional_weight = 0.0f;          // AWGT
    float thickness_factor = 3.0f;           // THKF
    float insulation_factor = 1.75f;         // INSF
    std::array<float, 3> offset{};           // OFFSET
    float axial_stiffness = 0.0f;            // ES c1
    float lateral_stiffness = 0.0f;          // ES c2
    float torsional_stiffness = 0.0f;        // ES c3, and HS
    float thrust_area = 0.0f;                // TA
    float mean_diameter = 0.0f;              // MD
    float bending_stiffness = 1.0e12f;       // BK
    float weight = 0.0f;                     // WGT
    float friction_force = 0.0f;             // FFOR
    float friction_torque = 0.0f;            // FTOR
    float rotation_limit = 1.0e30f;          // RLIM; none
    std::array<float, 2> ball_stiffness{};   // RK
    std::array<float, 2> ball_friction{};    // FRCT
    std::array<float, 2> ball_limits{1.0e30f, 1.0e30f};   // ROTL
    std::array<float, 3> local_x{}, local_y{};            // LXAX, LYAX
    float cut = 0.0f;                        // SHORT, LONG (negated)
    std::string beam_material, beam_section, beam_load;   // MAT, SEC, LOAD
    float beta = 0.0f;                       // BETA
    std::array<float, 2> tie_stiffness{};    // KTIE
    std::array<float, 2> tie_gap{};          // GAP
    float hydrotest_pressure = 0.0f;         // HPRES
    float hydrotest_gravity = 0.0f;          // HSG
    float crotch_radius = 0.0f;              // CRTCH
    float pad_thickness = 0.0f;              // PAD
    float branch_thickness = 0.0f;           // THK
    float branch_length = 0.0f;              // LEN
    float branch_radius = 0.0f;              // R
    bool user_sif = false;                   // SIF
    // IPS, IBS, IQS, ITS, ISS, IPC, IBC, IQC, ITC, ISC
    std::array<float, 10> igem{};
    bool flange = false;                     // FLANGE
    int32_t flange_type = 1;
    float gasket_diameter = 0.0f;            // GDIA
    float allowable_pressure = 0.0f;         // AP
    bool weld = false;                       // WTYPE
    int32_t weld_type = 1;
    float mismatch = 0.0f;                   // DELTA
    bool threaded_joint = false;             // TJOINT

    // ---- Loads ----
    std::array<float, 6> force{};            // FOR, FORX.., MOM, MOMX..
    bool force_given = false;
    float concentrated_weight = 0.0f;        // CWGT
    bool harmonic = false;                   // FRE
    float frequency = 0.0f;
    float phase = 0.0f;                      // PH
    std::array<std::string, 3> spectrum;     // SPECX, SPECY, SPECZ
    bool spectrum_given = false;
    std::array<float, 3> spectrum_factor{};  // FACX, FACY, FACZ
};

// The IGEM factors in the order of RowItemValues::igem.
inline constexpr const char* IGEM_FACTOR_KEYWORDS[10] = {"IPS", "IBS", "IQS", "ITS", "ISS",
                                                         "IPC", "IBC", "IQC", "ITC", "ISC"};

// What the item handlers work on.
struct RowItemContext {
    BatchReader& reader;
    RowItemValues& values;
    OperatingCondition& condition;
    int hanger_catalog = 0;          // the spring-hanger catalogue that VS takes
};

// Reads the item list `items` of the current row, and the lines that
// continue it while the text read ends with a comma; every item goes to the
// handler of its keyword. "Unknown comment" ends the import for a keyword
// that is none.
void read_row_items(RowItemContext& context, const std::string& items);

// True when the keyword is one of the item keywords.
bool is_row_item_keyword(const std::string& keyword);
