// Pipe sections: the named cross-section values (outside diameter, wall,
// corrosion allowance, mill tolerance, insulation, lining and the soil a
// section is buried in) that layout rows name in their Section column. One
// model-wide table numbered from 1, stored in the model file after the pipe
// materials.
//
// Pipe and beam sections share one name space: a pipe section's name is never
// also a beam section's.
#pragma once

#include "framework/one_based.h"
#include "model/named_set.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

class BinFile;
struct LayoutRow;

// Size standards: which built-in size table a section names.
enum SizeStandard : int32_t {
    SIZE_ANSI = 0,
    SIZE_DIN = 1,
    SIZE_JIS = 2,
    SIZE_ISO = 3,
};
inline constexpr int32_t NUM_SIZE_STANDARDS = 4;

// Field widths of the model-file record.
inline constexpr std::size_t SECTION_NAME_LENGTH = 5;
inline constexpr std::size_t NOMINAL_SIZE_LENGTH = 7;   // 8-byte field
inline constexpr std::size_t SCHEDULE_LENGTH = 3;       // 4-byte field
inline constexpr std::size_t SECTION_SOIL_LENGTH = 3;   // 4-byte field
// Model files before this version have no soil in their section records.
inline constexpr int32_t SECTION_SOIL_VERSION = 502;
// The most sections a model file may hold.
inline constexpr int32_t MAXSECTIONS = 10000;
inline constexpr float MAX_MILL_TOLERANCE = 75.0f;

struct PipeSection {
    std::string name;                 // empty marks a free record
    int32_t size_standard = SIZE_ANSI;
    std::string nominal_size;         // a size table row name, or "Non Std"
    std::string schedule;             // empty for non-standard
    float outside_diameter = 0.0f;    // inch
    float thickness = 0.0f;           // inch
    float corrosion_allowance = 0.0f; // inch
    float mill_tolerance = 0.0f;      // percent, 0..75
    float insulation_density = 0.0f;  // lb/in3; 0 = none
    float insulation_thickness = 0.0f;
    float lining_density = 0.0f;      // lb/in3; 0 = none
    float lining_thickness = 0.0f;
    std::string soil;                 // empty = not buried

    // One record at model_file_version(): a 4-byte name before 680, no soil
    // before 502. A size standard outside 0..3 is read as a non-standard
    // section of ANSI.
    void read(BinFile& file);
    // Always the current layout (6-byte name, soil present).
    void write(BinFile& file) const;

    bool has_insulation() const { return insulation_density != 0.0f && insulation_thickness != 0.0f; }
    bool has_lining() const { return lining_density != 0.0f && lining_thickness != 0.0f; }
    bool operator==(const PipeSection&) const = default;
};

// The key of the set in the name registry (model/named_set.h); pipe and beam
// sections share one name space.
inline constexpr const char* PIPE_SECTIONS = "pipe sections";
inline constexpr const char* SECTION_NAMES = "sections";

// The model's sections, 1..numsections().
NamedSet<PipeSection>& pipe_sections();
int numsections();
// Empties the table (a new model).
void reset_pipe_sections();

// Index 1..numsections() of the first section named exactly `name`; 0 for an
// empty name or none.
int section_index(const std::string& name);
inline int pipe_section_index(const std::string& name) { return section_index(name); }

// True when a layout row names the section, or a jacketed row names it as its
// jacket section.
bool section_in_use(const PipeSection& section);
// Gives every reference to the old name (rows' Section, jacket sections) and
// the section itself the new name; refreshes the tables, marks the model
// modified.
void rename_section(const std::string& old_name, const std::string& new_name);
// True when the edited section (its name and new values) would leave no room
// between a core and its jacket on some jacketed row. Equality passes.
bool jacket_clearance_violated(const std::string& name, double outside_diameter, double thickness,
                               double insulation_thickness, double lining_thickness);

// The section table's Copy and Paste: Copy keeps a copy of the section's
// values; Paste puts them (all but name and soil) into the target section and
// forgets them. False when nothing was pasted; a paste that the section
// checks refuse (the jacket clearance of the target's rows, say) throws
// their text and changes nothing.
void copy_section_values(int index);
bool paste_section_values(int index);
bool section_values_copied();


// The rules of the set: its file section, limit and messages.
const NamedSetRules<PipeSection>& pipe_section_rules();
// Registers the set with its model-file section, the places that name a pipe
// section (the Section of every row but a Beam row, and a jacket's section),
// and the model core's section look-up and bend-radius hooks.
void install_pipe_sections();

// ---- Merge -------------------------------------------------------------------

// True when a pipe- or a beam-section name is taken.
bool section_name_taken(const std::string& name);
// Throws a message when the merged sections cannot be appended.
void check_merge_pipe_sections(const OneBased<PipeSection>& merged);
// Appends the merged sections, giving each clashing name a free "1".."999"
// (never one the merged sections bring along) and renaming the merged rows'
// Section and jacket section from their original names. Returns the renames
// (original -> new).
std::map<std::string, std::string> merge_pipe_sections(const OneBased<PipeSection>& merged,
                                                       OneBased<LayoutRow>* rows);
