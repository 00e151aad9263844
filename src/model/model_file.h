// The model file (".mod"): its format, the registry of its sections, and the
// reader, writer and merge.
//
// Layout (little-endian, field by field through BinFile):
//
//   header    16 bytes: "KORVANE21KM", the version as four decimal digits
//             ("1020") and one NUL. Byte 15 is not looked at when reading.
//   sections  in the one fixed order of ModelSectionId below, every section
//             of the file's version present (a section whose first version
//             is newer than the file is absent).
//
// From version 1020 on ("framed" files) every section is an int32 byte
// length followed by that many bytes of payload, and so is the element and
// the data-item record of every layout row. The lengths let the reader check
// that each owner took exactly its own bytes, and let a row whose kind has no
// class of its own yet keep its record as raw bytes (NeutralElement::raw,
// NeutralDataItem::raw) that the next write puts back unchanged. Files before
// 1020 have no lengths: each owner reads its fields by the version's layout.
//
// The payload of every registered section (all but the built-in ones: title,
// QA block, options, units, load cases, layout rows and nodes) begins with an
// int32 count of its records; a section that is one block writes the count 1.
// While a section has no owner in this program the writer writes the count 0,
// so that files stay readable when its owner arrives; reading a section that
// has no owner and holds records is refused with a message naming it, never
// skipped.
//
// Version gates that this module applies itself: 4-character row names before
// 680 (6 from 680 on), piping-code ids of 11 and up one lower up to 680, soils
// from 502 on, allowables above 690, framed sections and records from 1020 on,
// the iteration options from 1021 on, the loads' sections and records from
// 1022 on (loads/load_file.h), the response-spectrum input from 1023 on.
// Record readers of the owners gate their own fields on model_file_version().
//
// Adding a section, or a field to a record, needs a new version: readers
// rely on the version alone to know what the file holds.
#pragma once

#include "framework/one_based.h"

#include <cstddef>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

class BinFile;
struct LayoutRow;
struct Model;

inline constexpr int32_t MODEL_FILE_VERSION = 1023;
// The oldest version the reader takes; older files are refused.
inline constexpr int32_t OLDEST_MODEL_FILE_VERSION = 500;
// Sections, element records and data-item records carry byte lengths.
inline constexpr int32_t FRAMED_MODEL_FILE_VERSION = 1020;
// Material, section and load names are 6 bytes wide (4 before).
inline constexpr int32_t SIX_BYTE_NAMES_VERSION = 680;
// Files up to this version number the piping codes from 11 upward one lower.
inline constexpr int32_t OLD_CODE_NUMBERS_VERSION = 680;
// The analysis options end with the iteration tolerance and the maximum
// number of iterations.
inline constexpr int32_t ITERATION_OPTIONS_VERSION = 1021;

inline constexpr const char* MODEL_FILE_MAGIC = "KORVANE21KM";
inline constexpr std::size_t MODEL_FILE_MAGIC_LENGTH = 11;
inline constexpr std::size_t MODEL_FILE_HEADER_SIZE = 16;
// Headers of earlier generations of the format; recognised and refused.
inline constexpr const char* OLD_MODEL_FILE_MAGIC_1 = "KORVANEWMOD";
inline constexpr const char* OLD_MODEL_FILE_MAGIC_2 = "KORVANE.MOD";

// The title field: the model title (row 1's comment behind its first 8
// characters, or the plot title) in this many NUL-padded bytes.
inline constexpr std::size_t MODEL_TITLE_WIDTH = 80;

// ---- The version being read -------------------------------------------------------

// The version of the model file being read; during a merge the merged
// file's own; MODEL_FILE_VERSION when no file is being read. Library readers
// whose records share the model's record readers set it for their file.
int32_t model_file_version();
void set_model_file_version(int32_t version);
// Sets the version for a scope and puts the previous one back at its end.
class ModelFileVersionScope {
public:
    explicit ModelFileVersionScope(int32_t version);
    ~ModelFileVersionScope();
    ModelFileVersionScope(const ModelFileVersionScope&) = delete;
    ModelFileVersionScope& operator=(const ModelFileVersionScope&) = delete;

private:
    int32_t saved_;
};
// The width of material, section and load names in the file being read.
std::size_t model_file_name_width();
// True when the file being read has byte lengths before its records.
bool model_file_framed();

// ---- Sections ---------------------------------------------------------------------

// The sections in file order. The stretch from the pumps to the nodes is in
// the order the equipment and load subsystems rely on; the property sets come
// before the rows that name them, so that a merge can rename clashing names
// in the merged rows before they are appended.
enum ModelSectionId : int {
    SECTION_TITLE,              // built in
    SECTION_QA_BLOCK,           // built in
    SECTION_OPTIONS,            // built in: analysis options, piping code, node increment
    SECTION_UNITS,              // built in: the unit choice of each quantity
    SECTION_LOAD_CASES,         // built in: the load-case list of the last analysis
    SECTION_VIEW_SETTINGS,
    SECTION_PIPE_MATERIALS,
    SECTION_PIPE_SECTIONS,
    SECTION_PIPE_LOADS,
    SECTION_BEAM_MATERIALS,
    SECTION_BEAM_SECTIONS,
    SECTION_BEAM_LOADS,
    SECTION_VALVES,
    SECTION_WIND,
    SECTION_SEISMIC,
    SECTION_HYDROTEST,
    SECTION_PUMPS,
    SECTION_COMPRESSORS,
    SECTION_TURBINES,
    SECTION_SPECTRA,
    SECTION_FORCE_SPECTRA,
    SECTION_TIME_FUNCTIONS,
    SECTION_RESPONSE_SPECTRUM,  // from version 1023
    SECTION_SOILS,              // from version 502
    SECTION_ALLOWABLES,         // above version 690
    SECTION_LAYOUT_ROWS,        // built in
    SECTION_NODES,              // built in
    SECTION_REVISIONS,          // the revision record
    NUM_MODEL_SECTIONS
};

// "Pipe materials", "Layout rows", ...: the name messages use.
const char* model_section_name(int id);
// The first file version that has the section.
int32_t model_section_first_version(int id);

// What the merge gives the owners' merge operations: the merged file's layout
// rows before they are appended, so that an owner that renames a clashing
// name can rename it in the rows (and their objects) too.
// A merged entry that a name or number of the model made take another: its
// kind as the merge's note names it ("material", "time function"), the name
// it has in the merged file and the one it has now.
struct MergeRename {
    std::string kind;
    std::string from;
    std::string to;
};

struct ModelMerge {
    OneBased<LayoutRow>* rows = nullptr;
    int32_t version = 0;      // the merged file's version
    // What the owners renamed or renumbered, in file order.
    std::vector<MergeRename> renames;
    // While the owners check the merge: the names that the sets checked so
    // far will append, by name space, so that the check of a set sees the
    // names an earlier set of its name space takes.
    std::map<std::string, std::vector<std::string>> checked_names;
};

// "Materials of the merged file", "Spectra of the merged file": what begins
// a sentence about the merged entries of a kind (MergeRename::kind).
std::string merged_entries_of_kind(const std::string& kind);

// The records of one section as read from a file, held apart until the whole
// file has been read without error. Nothing in the program changes while a
// file is read; then either install() (read) or merge() (merge) runs for every
// section in file order.
class SectionContents {
public:
    virtual ~SectionContents() = default;
    // Replaces the owner's records with these. `fresh` is the model object
    // being assembled for the layout, which replaces model() after every
    // section was installed; owners of their own arrays need not look at it.
    // Must not throw.
    virtual void install(Model& fresh) = 0;
    // Throws a message text when these records cannot be merged (a limit
    // would be passed, a clashing name would find no free name); runs for
    // every section, in file order, before any merge.
    virtual void check_merge(ModelMerge&) const {}
    // Appends these records to the owner's, renaming clashing names (also in
    // merge.rows). Must not throw.
    virtual void merge(ModelMerge& merge) = 0;
};

struct ModelSectionOwner {
    // Reads the section's payload at the file's version (model_file_version())
    // into a new contents object without touching the model. Counts are
    // checked against the owner's limits and against file.remaining() before
    // anything is allocated. A bad record throws a message text (the reader
    // puts the file name and section before it) or sets the file's error flag.
    // Null contents mean the section holds nothing: `clear` then runs in
    // place of an install, and a merge adds nothing.
    std::function<std::unique_ptr<SectionContents>(BinFile& file)> read;
    // Reads the section for a merge; when empty, `read` serves.
    std::function<std::unique_ptr<SectionContents>(BinFile& file)> read_merge;
    // Writes the payload (count first) of the current records.
    std::function<void(BinFile& file)> write;
    // Empties the owner's records: a new model, and a read of a file that is
    // too old to have the section.
    std::function<void()> clear;
};

// Installs the owner of a section (replacing one installed before); an owner
// without `read` or `write` is an internal error. The built-in sections are
// installed by this module itself.
void register_model_section(int id, ModelSectionOwner owner);
// Forgets the owner of a section (built-in owners come back).
void unregister_model_section(int id);
bool model_section_owned(int id);
// Calls the `clear` of every owner in file order (init_model).
void clear_model_sections();

// The owners of the built-in sections (model_sections.cpp); an owner without
// functions for the other ids.
ModelSectionOwner builtin_model_section_owner(int id);
// The rows held by the layout rows' contents; null for other contents.
OneBased<LayoutRow>* merged_layout_rows(SectionContents* contents);

// ---- Framing of records in framed files -------------------------------------------

// Begins a record framed by its byte length (BinFile::begin_record) and
// returns where it starts.
int64_t begin_framed_record(BinFile& file);
// Ends the record begun at `start`: it goes to the file, its length first,
// with the record around it if there is one.
void end_framed_record(BinFile& file, int64_t start);

// ---- Reading, writing, merging ------------------------------------------------------

// Reads the model file into a fresh model and, only when the whole file was
// read without error, puts it in place of the current one (rows, title, QA
// block, options, units, load cases and every registered section), then
// builds nodes and elements. A file that cannot be opened, is not a model
// file, is of another version or is damaged throws a message that names the
// file and what is wrong, and leaves everything as it was. Does not touch
// model_file_path or model_modified. `before_install` runs once the whole
// file has been read well, right before the model is replaced (the windows
// let go of the old model there).
void read_model(const std::string& path, const std::function<void()>& before_install = {});
// Writes the current model to the path: the model build is brought up to date
// and the flanged-end counts of the bends recounted first; the file is
// written beside the target and renamed into place, so a failed write (which
// throws "Unable to write model file:\n<path>") leaves the old file.
void write_model_file(const std::string& path);
// The first row of the current model whose records the reader above would
// refuse: every row is written to a scratch file (which leaves nothing on
// disk) and read back as opening the model reads it. `row` is 0 when every
// row reads back (or no scratch file could be made); else `message` is the
// reader's ("Row 5: Valve: a multiplier is below 0.01").
struct RowRefusal {
    int row = 0;
    std::string message;
};
RowRefusal first_unreadable_row();
// The same for the whole current model as it stands (the model build as it
// is): the reader's message for the first record it would refuse, after
// "Saved and opened again, the model would be refused:"; empty when the
// model reads back (or no scratch file could be made).
std::string model_read_refusal();
// What a merge did that the user should know: the names and numbers of the
// merged file that clashed and were changed, and the node numbers (ascending)
// at which the merged rows meet the model's rows: a node of the model that a
// merged row ends at, starts from or puts on its bend's arc.
struct MergeOutcome {
    std::vector<MergeRename> renames;
    std::vector<int32_t> meeting_nodes;
};

// Appends the layout rows and the records of every registered section of
// another model file to the current model, the owners renaming clashing
// names; then rebuilds the model and marks it modified. The title, QA block,
// options, units, load cases and nodes of the merged file are not taken.
// A bad file, or one that would pass a limit, throws a message and changes
// nothing.
MergeOutcome merge_model(const std::string& path);
