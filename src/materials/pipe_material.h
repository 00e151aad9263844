// Pipe materials: the named property sets that layout rows (and the bend and
// jacket objects of some element kinds) refer to by name. Each material holds
// a few scalar values and a property table over temperature, from which the
// elements take E and alpha and the piping-code evaluation its allowables.
//
// The materials array is indexed from 1. A record owns its table by value, so
// copying a record copies its table and no record ever points into another.
#pragma once

#include "framework/one_based.h"
#include "model/named_set.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>

class BinFile;

// Columns of a property row (internal units).
enum PropertyColumn : int {
    PROP_TEMPERATURE = 0,   // degF
    PROP_MODULUS = 1,       // E; FRP axial modulus (psi)
    PROP_ALPHA = 2,         // in/in/degF
    PROP_STRESS1 = 3,       // allowable / design; FRP hoop allowable
    PROP_STRESS2 = 4,       // yield / proof; FRP torsional allowable
    PROP_STRESS3 = 5,       // rupture; FRP axial allowable
    PROP_HOOP_MODULUS = 6,  // FRP only
    PROP_SHEAR_MODULUS = 7, // FRP only
};
inline constexpr int PROPERTY_COLUMNS = 8;
// "Temperature", "Modulus", "Expansion", "Allowable stress", "Yield stress",
// "Rupture stress", "Hoop modulus", "Shear modulus": a column in messages
// about a stored row; "" outside 0..7.
const char* property_column_name(int column);
using PropertyRow = std::array<float, PROPERTY_COLUMNS>;
// Rows 1..numtemps in strictly ascending temperature.
using PropertyTable = OneBased<PropertyRow>;

// The editors take at most this many temperature rows.
inline constexpr int MAXTEMPS = 40;
// A file record may hold more rows than the editors take; a count above this
// is a damaged file.
inline constexpr int32_t MAX_FILE_TEMPS = 1000;
// Materials in one model or library file.
inline constexpr int32_t MAXMATS = 10000;
inline constexpr std::size_t MATERIAL_DESCRIPTION_LENGTH = 31;
inline constexpr std::size_t MATERIAL_DESCRIPTION_WIDTH = 32;
inline constexpr std::size_t MATERIAL_TYPE_WIDTH = 3;
// The bytes of a record before its table rows (6-byte name).
inline constexpr std::size_t MATERIAL_RECORD_FIXED_BYTES = 66;
inline constexpr std::size_t PROPERTY_ROW_BYTES = 32;

struct PipeMaterial {
    std::string name;          // at most 5 characters; empty in library records
    std::string type;          // two-letter type code or empty
    uint8_t frp = 0;           // 1 when the type is "FR"
    std::string description;   // at most 31 characters
    float nu = 0.0f;
    float density = 0.0f;      // lb/in3
    float joint_factor = 0.0f;
    float circ_joint_factor = 0.0f;
    float strength = 0.0f;     // psi
    PropertyTable table;

    int numtemps() const { return table.size(); }
    // Stores the type code and recomputes the FRP flag.
    void set_type(const std::string& code);

    // One record of a model or library file. The reader takes the name width
    // (4 or 6) from the caller; it checks the row count against
    // MAX_FILE_TEMPS and the bytes left before it allocates, and throws a
    // message text naming the field for a bad count and for a value that is
    // not a finite number. Writing always writes 6-byte names.
    void read(BinFile& file, std::size_t name_width);
    void write(BinFile& file) const;
};

// ---- The model's materials ---------------------------------------------------

// The key of the set in the name registry (model/named_set.h); pipe and beam
// materials share one name space.
inline constexpr const char* PIPE_MATERIALS = "pipe materials";
inline constexpr const char* MATERIAL_NAMES = "materials";

NamedSet<PipeMaterial>& pipe_materials();
inline int nummats() { return pipe_materials().size(); }
// Empties the array (a new model).
void clear_pipe_materials();

// Index 1..nummats of the first material with exactly this name (case
// matters); 0 for an empty name or none.
int pipe_material_index(const std::string& name);
inline int material_index(const std::string& name) { return pipe_material_index(name); }

// ---- Material types --------------------------------------------------------------

inline constexpr int MATERIAL_TYPE_COUNT = 12;
inline constexpr int FRP_TYPE_INDEX = 6;
// "" , "AL", ... "CI"; and "", "AL : Aluminum", ...
const char* material_type_code(int index);
const char* material_type_name(int index);
// 0 for an empty code, 1..11 for a listed one, -1 otherwise.
int material_type_index(const std::string& code);
bool is_material_type_code(const std::string& code);
// True when the code is "FR" in any case.
bool is_frp_code(const std::string& code);
// True for the iron-based types: carbon steel, ferritic steel, austenitic
// and other stainless steels, cast iron.
bool material_is_ferrous(const PipeMaterial& material);

// ---- Property look-ups over temperature ---------------------------------------------

// Linear interpolation in the table: the first row's value at and below its
// temperature, the last row's above the last; no extrapolation. A material
// without rows is an internal error (every entry point refuses such a
// material before it can reach the analysis).
double material_property_at(const PipeMaterial& material, int column, double temperature);
double material_modulus_at(const PipeMaterial& material, double temperature);
double material_column2_at(const PipeMaterial& material, double temperature);
double material_hoop_modulus_at(const PipeMaterial& material, double temperature);
double material_shear_modulus_at(const PipeMaterial& material, double temperature);

// The Poisson's ratio and shear modulus an element uses: for FRP
// Nu x E / hoop modulus and the table's shear modulus, for metals Nu and
// E x 0.5 / (Nu + 1). A refused Nu (-1 or below) or hoop modulus (0) never
// divides: checks at entry refuse them, and these functions give 0 then.
double effective_poisson_ratio(const PipeMaterial& material, double temperature);
double effective_shear_modulus(const PipeMaterial& material, double temperature);

// Why a material cannot be used by an analysis: "" when it can, else a text
// naming the material ("Material CS1 has no temperature properties", ...).
std::string material_unusable_reason(const PipeMaterial& material);

// ---- Model-file section ------------------------------------------------------------------

// The rules of the set: its file section, limit and messages.
const NamedSetRules<PipeMaterial>& pipe_material_rules();
// Registers the set with its model-file section, the places that name a pipe
// material (the Material of every row but a Beam row, and a bend's or
// jacket's own material), and the model core's material look-up.
void install_pipe_materials();

// True while the material library is edited in the list window: the
// materials array then holds the library's records (names empty).
bool& material_library_mode();
