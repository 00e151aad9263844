// Beam materials: the named, temperature-independent material records that
// Beam rows name in their Material column (modulus, Poisson's ratio, density
// and expansion coefficient). They share one name space with the pipe
// materials: a name belongs to one pipe material or one beam material.
//
// Records are indexed from 1 (1..numbmats()). Edited in BEAM_MATERIAL_DIALOG
// and the "Beam materials" table; read and written as the model file's beam
// materials section; appended with renaming by a model merge.
#pragma once

#include "framework/one_based.h"
#include "model/named_set.h"

#include <functional>
#include <string>
#include <vector>

class BinFile;
struct ModelMerge;

inline constexpr std::size_t BEAM_MATERIAL_DESCRIPTION_LENGTH = 27;
inline constexpr std::size_t BEAM_MATERIAL_DESCRIPTION_WIDTH = 28;
// A file may hold no more beam materials than this.
inline constexpr int MAX_BEAM_MATERIALS = 10000;

struct BeamMaterial {
    std::string name;          // at most 5 characters, upper case
    std::string description;   // at most 27 characters
    float E = 0.0f;            // modulus of elasticity, psi; 0 = not given
    float nu = 0.0f;           // Poisson's ratio
    float density = 0.0f;      // lb/in3
    float alpha = 0.0f;        // expansion coefficient, in/in/degF

    bool operator==(const BeamMaterial&) const = default;

    // One record at the version of model_file_version() (4-byte names before
    // 680); write always writes 6-byte names.
    void read(BinFile& file);
    void write(BinFile& file) const;
};

// The key of the set in the name registry (model/named_set.h).
inline constexpr const char* BEAM_MATERIALS = "beam materials";

NamedSet<BeamMaterial>& beam_materials();
int numbmats();
// No beam materials (a new model; tests).
void reset_beam_materials();

// Index 1..numbmats() of the first record whose name equals `name` exactly;
// 0 for an empty name or no match.
int beam_material_index(const std::string& name);

// Renames a beam material: every layout row whose material is the old name
// takes the new one (names are unique across pipe and beam materials), and
// so do the jacket materials and bends' own materials of that name, then the
// record. Sets
// model_modified and refreshes the tables.
void rename_beam_material(const std::string& old_name, const std::string& new_name);
// True when a layout row, a jacket material or a bend's own material names it.
bool beam_material_in_use(const std::string& name);


// The rules of the set: its file section, limit and messages.
const NamedSetRules<BeamMaterial>& beam_material_rules();
// Registers the set with its model-file section and the place that names it
// (the Material of Beam rows).
void install_beam_materials();

// Name checks of the dialog's step 1 for record `index` (0: a new record);
// throws the message text of the first failure.
void check_beam_material_name(const std::string& name, int index);
// "" when a beam material takes Nu (0.01 <= Nu < 0.5), else what Nu should be.
std::string beam_nu_fault(float nu);
// Poisson's ratio: parses, 0.01 <= Nu < 0.5; throws otherwise.
float check_beam_material_nu(const std::string& text);
