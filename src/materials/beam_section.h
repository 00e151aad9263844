// Beam sections: named structural cross-sections that Beam rows name in
// their Section column (area, both moments of inertia, torsional constant,
// shear areas, depth and width, in internal units). They share one name space
// with the pipe sections. The same records serve the beam-section library
// window, where names are empty.
//
// Records are indexed from 1 (1..numbsections()). Edited in
// BEAM_SECTION_DIALOG and the "Beams" table, filled from the AISC shapes
// (aisc_shapes.h) or a beam-section library; read and written as the model
// file's beam sections section; appended with renaming by a model merge.
#pragma once

#include "framework/one_based.h"
#include "model/named_set.h"

#include <array>
#include <functional>
#include <string>
#include <vector>

class BinFile;
struct ValueBound;

inline constexpr std::size_t BEAM_SECTION_DESCRIPTION_LENGTH = 15;
inline constexpr std::size_t BEAM_SECTION_DESCRIPTION_WIDTH = 16;
inline constexpr int MAX_BEAM_SECTIONS = 10000;
// Library files take 6-byte names from this version on (4 before).
inline constexpr int BEAM_LIBRARY_SIX_BYTE_NAMES_VERSION = 690;

// The eight values in file order.
enum BeamSectionValue {
    BS_AREA, BS_MAJOR_I, BS_MINOR_I, BS_TORSION, BS_MAJOR_SHEAR, BS_MINOR_SHEAR, BS_DEPTH, BS_WIDTH,
    BS_VALUE_COUNT
};
// "Area", "Major moment of inertia", ...: a value in messages about a stored
// record; "" outside 0..7.
const char* beam_section_value_name(int value);
// The bound of a value in the table of what a piping model can hold
// (model/value_bounds.h), with the unit quantity it is shown in: areas,
// moments of inertia and the torsional constant, the depth and the width.
// The area and both moments of inertia must also lie above 0. `value` in
// 0..7.
const ValueBound& beam_section_value_bound(int value);

struct BeamSection {
    std::string name;          // at most 5 characters; empty in library entries
    std::string description;   // at most 15 characters, blanks kept
    std::array<float, BS_VALUE_COUNT> values{};   // in2, in4, in4, in4, in2, in2, in, in

    float area() const { return values[BS_AREA]; }
    float major_i() const { return values[BS_MAJOR_I]; }
    float minor_i() const { return values[BS_MINOR_I]; }
    float torsion() const { return values[BS_TORSION]; }
    float depth() const { return values[BS_DEPTH]; }
    float width() const { return values[BS_WIDTH]; }

    bool operator==(const BeamSection&) const = default;

    // One record; the name is 4 bytes when `name_width` says so. write always
    // writes 6-byte names (54-byte records).
    void read(BinFile& file, std::size_t name_width);
    void write(BinFile& file) const;
};

// The key of the set in the name registry (model/named_set.h).
inline constexpr const char* BEAM_SECTIONS = "beam sections";

NamedSet<BeamSection>& beam_sections();
int numbsections();
void reset_beam_sections();

// Index 1..numbsections() of the first section whose name equals `name`
// exactly; 0 for an empty name or none.
int beam_section_index(const std::string& name);
// False in library mode; otherwise true when a layout row's section, or a
// jacketed row's jacket section, names it.
bool beam_section_in_use(const std::string& name);
// Every layout row whose section is the old name and every jacket section of that name take the new name, then the record; tables refreshed and
// model_modified set.
void rename_beam_section(const std::string& old_name, const std::string& new_name);


// Library mode of the beam-section library window (set by the library code).
bool beam_library_mode();
void set_beam_library_mode(bool on);

// The library pick ("Beam &Library...", 270): served by the beam-section
// library when it is installed; until then the command does nothing.
struct BeamSectionLibraryHooks {
    // Lets the user choose a library entry; false when cancelled.
    std::function<bool(int owner, BeamSection& entry)> choose_entry;
};
BeamSectionLibraryHooks& beam_section_library_hooks();

// The rules of the set: its file section, limit and messages.
const NamedSetRules<BeamSection>& beam_section_rules();
// Registers the set with its model-file section and the place that names it
// (the Section of Beam rows).
void install_beam_sections();
