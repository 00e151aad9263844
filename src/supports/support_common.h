// What the support kinds share: the tag, the connected node, directions,
// stiffness fields whose 0 means rigid, the record fields' readers with
// their checks, and the specified displacements of anchors and nozzles.
//
// Support records exist only in framed model files (version 1020 on), whose
// frame gives each record its length; an older file's support records are
// refused with a message, since their layout is not known.
#pragma once

#include "framework/geometry.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <string>

class AnalysisRun;
class BinFile;
struct Model;

// The tag of a support: a short text of at most TAG_LENGTH characters,
// stored in TAG_FIELD_WIDTH bytes padded with NULs.
inline constexpr std::size_t TAG_LENGTH = 14;
inline constexpr std::size_t TAG_FIELD_WIDTH = 16;

// Limits of this magnitude and beyond mean "no limit".
inline constexpr float NO_LIMIT = 1.0e30f;
inline constexpr double NO_LIMIT_TEST = 5.0e29;

// ---- Record fields -------------------------------------------------------------------

// Throws "This version of the program cannot read a <kind> of a version
// <v> model file" for an unframed file.
void require_framed_record(const char* kind);
// The tag field (what the editors stored; they keep to tag_valid).
std::string read_tag(BinFile& file);
void write_tag(BinFile& file, const std::string& tag);
// A float that must be a finite number ("<name> is not a number").
float read_finite(BinFile& file, const char* name);
// A finite float at or above 0 ("<name> is invalid").
float read_not_negative(BinFile& file, const char* name);
// A connected node number: 0 or a node number of any band ("Connected node
// <n> is invalid").
int32_t read_connected_node(BinFile& file);
// True when a tag can be stored: at most TAG_LENGTH bytes, none a control
// character, a bidirectional control or a byte that is no part of a UTF-8
// character (what shown_controls writes as codes).
bool tag_valid(const std::string& tag);
// True for 0 (none) and the node numbers a row can name.
bool connected_node_number_valid(int32_t number);

// ---- Values ----------------------------------------------------------------------------

// A stiffness field as the analysis takes it: 0 and below give 0, "Rigid"
// (RIGID_STIFFNESS as a float, or more) exactly 1.0e12.
double stiffness_of(float stiffness);
// A stiffness field where 0 (or anything not above 0) means rigid.
double rigid_when_zero(float stiffness);
// The unit vector of a direction; zero when shorter than MIN_DIRECTION_LENGTH.
Vec3 unit_direction(float x, float y, float z);
bool direction_given(float x, float y, float z);
// True when a limit means "no limit".
inline bool no_limit(double limit) { return limit <= -NO_LIMIT_TEST || limit >= NO_LIMIT_TEST; }

// ---- Checks of a row's support against its model -----------------------------------------

// Runs a check of a support's values and puts "Row %d: " in front of the
// text it throws.
void check_row_values(int row, const std::function<void()>& check);

// The node index of a connected node number; 0 when there is none.
int connected_node_index(const Model& model, int32_t number);
// Refuses a connected node that does not exist (or is a bend's corner,
// which is not in the analysis) or is the row's own node:
// "Row %d: connected node %s of the <kind> does not exist" and
// "Row %d: the <kind> is connected to its own node %s".
void check_connected_node(const Model& model, int row, int32_t number, const char* kind);
// The unit vector from the row's node to the connected node; zero when
// either is missing or they coincide.
Vec3 connected_direction(const Model& model, int row, int32_t number);
// The direction a directional support acts in: its own when given, else the
// one towards its connected node. Zero when neither is there.
Vec3 support_direction(const Model& model, int row, float x, float y, float z, int32_t connected);
// Throws "Row %d: the direction of the <kind> is not defined" when
// support_direction gives none.
void check_support_direction(const Model& model, int row, float x, float y, float z, int32_t connected,
                             const char* kind);

// ---- Specified displacements (anchors and nozzles) ----------------------------------------

// Sets 1..10 go with the temperature sets T1..T10, set 11 is the seismic
// anchor movement, set 12 the settlement.
inline constexpr int DISPLACEMENT_SETS = 12;
inline constexpr int SEISMIC_DISPLACEMENT_SET = 11;
inline constexpr int SETTLEMENT_DISPLACEMENT_SET = 12;

// Record: 12 bytes, the given flag of sets 1..12 (0 or 1), then for each
// given set in order its DX, DY, DZ (inch) and RX, RY, RZ (radian) as
// float32.
struct DisplacementSets {
    std::array<uint8_t, DISPLACEMENT_SETS + 1> given{};                  // slots 1..12
    std::array<std::array<float, 6>, DISPLACEMENT_SETS + 1> values{};    // slots 1..12

    bool any() const;
    void clear() { *this = DisplacementSets{}; }
    void read(BinFile& file);
    void write(BinFile& file) const;
    bool operator==(const DisplacementSets&) const = default;
};

// The set "T1" ... "T10", "Seismic", "Settlement".
std::string displacement_set_name(int set);
// The displacement set that acts in the run's current step: set k in the
// steps of temperature set k (Expansion, Operating and Cold spring), the
// settlement set in Settlement, the seismic anchor movement in Seismic
// displacement; 0 in every other step.
int step_displacement_record(const AnalysisRun& run);
// The translations and rotations of that set as given; zero when the step
// has none or the set is not given.
std::array<Vec3, 2> step_displacement(const AnalysisRun& run, const DisplacementSets& sets);
