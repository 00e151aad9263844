// The results file (".res") that a run writes beside the model file and the
// results windows read. Little-endian, field by field:
//
//   header      16 bytes: "KORVANE21KR", the version "1024" and the
//               modulus the expansion cases were solved with: '0' each
//               element's at the case's temperature (the run's), '1' the
//               modulus at the reference temperature
//   elements    int32 E, then E records of 8 int32: element type, layout
//               row, node 1 index, node 2 index, material, section and load
//               index (a Beam's beam material, beam section and beam load),
//               and the element's place among the elements of its row (1
//               for the first); then 3 float32, the element as it was
//               analysed: node 2 less node 1 in X, Y and Z (inch), so that
//               an element an edit has changed since is known (version
//               1020 records have the 8 words alone)
//   soils       int32 S, then S soil-restraint records of 40 bytes: int32
//               element index, float32 axial stiffness, axial maximum load,
//               transverse stiffness, transverse maximum load, vertical-down
//               stiffness and maximum load, vertical-up stiffness and maximum
//               load, and int32 the index of the element's soil in the
//               model's soils
//   load cases  one block per code of the run's load-case list, in its
//               order: 6 float32 per node of the node table (DX, DY, DZ, RX,
//               RY, RZ; 0 for a node outside the analysis), for code 31 a
//               second such block (accelerations), 12 float32 per element
//               (the end forces in local axes), and the support loads of the
//               rows in row order (support_word_count of each row's type)
//   hangers     when the model has hanger rows: 32 bytes per hanger row in
//               row order, the design the hanger had (supports/hanger.h:
//               6-byte figure name, 6-byte size name, float32 spring rate,
//               vertical travel, horizontal travel, cold load, hot load)
//   modal       the block of code 30 in place of a load-case block: int32
//               M, M float32 frequencies (Hz), M mode shapes of 6 float32 per
//               node, 3 float32 participation factors (X, Y, Z) per mode,
//               float32 the total mass
//   run record  (version 1022 on) what the run said of its cases and the
//               model file it was computed from, to the file's end: int32
//               L, then L case lines ("Wind 1: no element takes wind ...",
//               "Operating (W+P1+T1): converged in 17 iterations, ..."), each
//               int32 its byte count and its bytes; (version 1023 on)
//               int32 H, then H notes of the hanger design, one for each
//               hanger it left without a design or gave a constant support
//               in place of a spring, in row order (supports/hanger.h
//               HangerNote): int32 layout row, int32 the number of its node,
//               int32 the reason (1 to 5), int32 1 when the hanger got a
//               design (else 0), float32 its load (lb) and travel (inch),
//               the load where the nearest sizes below and above it end
//               and begin (lb, 0 for none), int32 the variation allowed
//               (percent), then the catalogue's name: int32 its byte count
//               and its bytes;
//               then the 32 bytes of the SHA-256 of the model file's
//               contents (all 0 when the run's model was not the file's)
//   check       (version 1024 on) uint32 the CRC-32 (framework/crc32.h) of
//               every byte before it, header included, written last: a
//               file whose bytes are not those written is refused whole
// Values of magnitude below 1e-30 are written as 0.
//
// The time-history results (".rth", beside the results file): the 16-byte
// magic "KORVANEWRTH5100" (15 characters and a NUL), float32 the output
// interval (s), int32 T, then per output step 1..T the displacements, element
// forces and support loads as in a load-case block.
//
// The file carries no model size: its blocks are found from the model in
// memory. results_file_size gives the length a model implies, so that a
// reader refuses a file written for another model.
#pragma once

#include "analysis_core/analysis_run.h"
#include "framework/sha256.h"
#include "model/load_cases.h"
#include "supports/hanger.h"

#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

class BinFile;

inline constexpr const char* RESULTS_FILE_MAGIC = "KORVANE21KR";
inline constexpr int32_t RESULTS_FILE_VERSION = 1024;
// The versions before it, read still: 1023 ends without the check, 1022's
// run record has no hanger notes either, 1021 has no run record, 1020's
// element records lack the chord too.
inline constexpr int32_t RESULTS_FILE_VERSION_WITHOUT_CHECK = 1023;
inline constexpr int32_t RESULTS_FILE_VERSION_WITHOUT_HANGER_NOTES = 1022;
inline constexpr int32_t RESULTS_FILE_VERSION_WITHOUT_RUN_RECORD = 1021;
inline constexpr int32_t RESULTS_FILE_VERSION_WITHOUT_CHORDS = 1020;
// The run record's limits: lines and bytes a line.
inline constexpr int32_t RUN_RECORD_MAX_LINES = 100000;
inline constexpr int32_t RUN_RECORD_MAX_LINE = 4096;
inline constexpr int RESULTS_HEADER_SIZE = 16;
inline constexpr int RESULTS_ELEMENT_RECORD_SIZE = 44;
inline constexpr int SOIL_RESTRAINT_RECORD_SIZE = 40;
inline constexpr int HANGER_DESIGN_RECORD_SIZE = 32;
inline constexpr int RESULTS_CHECK_SIZE = 4;
// The last header byte.
inline constexpr char RESULTS_MODULUS_AT_CASE_TEMPERATURE = '0';
inline constexpr char RESULTS_MODULUS_AT_REFERENCE = '1';

inline constexpr const char* TIME_HISTORY_FILE_MAGIC = "KORVANEWRTH5100";
inline constexpr int TIME_HISTORY_HEADER_SIZE = 24;

// ---- Layout -----------------------------------------------------------------------
// Where each part lies, from the counts: N nodes, E elements, S soil
// restraints, B support-block bytes (4 support_value_count), M modes. The
// writer and the reader both use these, so that they cannot disagree.

// The bytes of an element record of a version (32 for 1020, else 44).
int64_t results_element_record_size(int32_t version);
// The position of S (the element records end there).
int64_t results_soil_count_at(int64_t elements, int32_t version = RESULTS_FILE_VERSION);
// The start of the first load-case block.
int64_t results_first_block_at(int64_t elements, int64_t soils, int32_t version = RESULTS_FILE_VERSION);
// The bytes of one node block (24 N) and of one element-force block (48 E).
int64_t results_node_block_size(int64_t nodes);
int64_t results_force_block_size(int64_t elements);
// The bytes of the block of a load-case code other than 30: displacements,
// for Response spectrum (31) the accelerations, element forces and support
// loads.
int64_t results_case_block_size(int code, int64_t nodes, int64_t elements, int64_t support_bytes);
// The offsets inside such a block: the displacements at its start, then
// these (relative to the block's start).
int64_t results_acceleration_offset(int64_t nodes);                 // code 31 only
int64_t results_force_offset(int code, int64_t nodes);
int64_t results_support_offset(int code, int64_t nodes, int64_t elements);
// The modal block of M modes: its length, and relative to its start the
// frequencies, the shape of mode m (1..M), the participation factors and the
// total mass.
int64_t results_modal_block_size(int64_t nodes, int64_t modes);
inline constexpr int64_t RESULTS_MODAL_FREQUENCIES_OFFSET = 4;
int64_t results_mode_shape_offset(int64_t nodes, int64_t modes, int64_t mode);
int64_t results_participation_offset(int64_t nodes, int64_t modes);
int64_t results_total_mass_offset(int64_t nodes, int64_t modes);
// One output step of the time-history file, the file's length, and where
// the support loads at byte offset `support_offset` of the support block lie
// at step t (1..T).
int64_t time_history_step_size(int64_t nodes, int64_t elements, int64_t support_bytes);
int64_t time_history_file_size(int64_t nodes, int64_t elements, int64_t support_bytes, int64_t steps);
int64_t time_history_displacement_at(int64_t nodes, int64_t elements, int64_t support_bytes, int64_t step);
int64_t time_history_force_at(int64_t nodes, int64_t elements, int64_t support_bytes, int64_t step);
int64_t time_history_support_at(int64_t nodes, int64_t elements, int64_t support_bytes, int64_t step,
                                int64_t support_offset);

// ---- Block writers -------------------------------------------------------------------
// The parts of a results file, for the run's writer and the dynamic
// analyses (each value through end_force_value).

// The 16-byte header "KORVANE21KR" with RESULTS_FILE_VERSION and the modulus mark
// RESULTS_MODULUS_AT_CASE_TEMPERATURE; the file's check is counted from it on.
void write_results_header(BinFile& file);
// The check that ends the file: the CRC-32 of every byte since the header's
// first.
void write_results_check(BinFile& file);
// A load-case block: 6 N displacements, for code 31 6 N accelerations
// (empty otherwise), 12 E forces and the support values.
void write_case_block(BinFile& file, std::span<const double> displacements, std::span<const double> accelerations,
                      std::span<const double> forces, std::span<const double> support_loads);
// The modal block (code 30).
struct ModalBlock {
    std::vector<double> frequencies;                 // modes 1..M at index 0..M-1
    std::vector<std::vector<double>> shapes;         // per mode 6 N values
    std::vector<std::array<double, 3>> participation; // per mode X, Y, Z
    double total_mass = 0.0;
};
void write_modal_block(BinFile& file, const ModalBlock& block);
// Refuses a modal block with a value the file cannot hold ("Modal analysis:
// mode 3 ... is not a finite number; no results file is written").
void check_modal_block_writable(const ModalBlock& block);
// The time-history file: header, interval and T, then each step's values.
struct TimeHistoryStep {
    std::vector<double> displacements;   // 6 N
    std::vector<double> forces;          // 12 E
    std::vector<double> support_loads;   // B / 4
};
// Written through a temporary file; "Unable to write time history file:\n<path>".
void write_time_history_file(const std::string& path, double interval, const std::vector<TimeHistoryStep>& steps);

// One soil-restraint record (buried piping).
struct SoilRestraintRecord {
    int32_t element = 0;
    float axial_stiffness = 0.0f, axial_load = 0.0f;
    float transverse_stiffness = 0.0f, transverse_load = 0.0f;
    float down_stiffness = 0.0f, down_load = 0.0f;
    float up_stiffness = 0.0f, up_load = 0.0f;
    int32_t soil = 0;
};

// The element records (E and the records, each with the element's chord
// as the model places its nodes), the soil restraints (S and the records)
// and the hanger design records of the model's hanger rows.
void write_element_records(BinFile& file, const Model& model);
void write_soil_restraints(BinFile& file, const std::vector<SoilRestraintRecord>& records);
// The design records are those of `designs` (a run's hanger design) where
// it designed the hanger, else the design the model holds.
void write_hanger_designs(BinFile& file, const Model& model, const HangerRunDesign* designs = nullptr);

// The 8 words of an element's record: its kind, row, nodes, material,
// section and load (a Beam's beam material, section and load) and place.
std::array<int32_t, 8> results_element_record(const Elem& element, int32_t place);

// The place of an element among the elements of its row, from 1.
OneBased<int32_t> element_places(const Model& model);
// An element's chord: node 2 less node 1 in X, Y, Z (inch).
std::array<float, 3> element_chord(const Model& model, const Elem& element);

// Refuses results that the file cannot hold: a NaN or an infinity (or a
// value beyond what a float holds) in any case throws "Load case <name>:
// the displacement of node 30 is not a finite number; no results file is
// written", naming the first node, element (by its two nodes) or support
// where one appears.
void check_results_writable(const AnalysisModel& model, const std::vector<const CaseResults*>& cases);

// ---- The run record ------------------------------------------------------------------

struct ResultsRunRecord {
    std::vector<std::string> case_lines;
    Sha256Digest model_fingerprint{};
    // What the hanger design said of the hangers it sized (none before
    // version 1023).
    std::vector<HangerNote> hanger_notes;
    // False for the all-0 fingerprint of a model that was not its file's.
    bool has_fingerprint() const;
};
// False for the all-0 fingerprint that stands for none.
bool fingerprint_given(const Sha256Digest& fingerprint);
// Whether a version's files end with the run record.
bool results_version_has_run_record(int32_t version);
void write_run_record(BinFile& file, const ResultsRunRecord& record);
// Reads the record of a file of `version` that starts at `at` and ends the
// file; false when it is not one (counts beyond the limits or the bytes
// left, a reason or flag out of its range, a note's value that is no number
// or out of its range, or bytes after it).
bool read_run_record(BinFile& file, int64_t at, ResultsRunRecord& record, int32_t version = RESULTS_FILE_VERSION);
// The bytes of the check that ends a file of a version (0 before 1024).
int64_t results_check_size(int32_t version);
// Whether the check that ends a file of `version` is the CRC-32 of the
// bytes before it (true for a version without one); reads the whole file
// and leaves the position where it was.
bool results_file_check_holds(BinFile& file, int32_t version);
// "Results file <path> is damaged: ..." with what to do.
std::string results_damaged_text(const std::string& path);
// Whether a results file of `version` whose blocks end at `blocks_end`
// (results_file_size) ends right: there for a version without the run
// record, else with a sound record from there, read into `record`.
bool results_file_ends_well(BinFile& file, int32_t version, int64_t blocks_end, ResultsRunRecord& record);
// The model file's fingerprint that the results file at a path carries;
// false for a file without one (an older version, a run of a model that was
// not its file's, a file that cannot be read).
bool results_file_fingerprint(const std::string& path, Sha256Digest& fingerprint);
// Puts another model file's fingerprint in a results file whose results
// are still that model's (saved again with no change to what was
// analysed), through a replacement file: the 32 bytes before the check of a
// file of a version with the record, and the check made anew. A file of an
// older version is left as it is. Throws "Unable to write results
// file:\n<path>" and the reason, or results_damaged_text for a file whose
// check fails (it is not made sound by a new check).
void restamp_results_fingerprint(const std::string& path, const Sha256Digest& fingerprint);

// Writes the results of a run: `cases` in the order of model.load_cases,
// refused by check_results_writable before anything is written. The case
// of code 30 stands for the modal block, written from `modal` (no modes
// when null); the case of code 31 brings its accelerations.
// The file is written beside `path` and renamed into place when complete;
// a failure throws "Unable to write results file:\n<path>" and leaves the
// file that was there.
// The hangers' design records are those of `designs` (the run's hanger
// design) where it designed the hanger, else the design the model holds.
// The nodes, elements and rows are those of model.written_model().
// The run record holds `case_lines`, the notes of `designs` and
// model.output.model_fingerprint.
void write_results_file(const std::string& path, const AnalysisModel& model,
                        const std::vector<const CaseResults*>& cases,
                        const std::vector<SoilRestraintRecord>& soil_restraints = {},
                        const HangerRunDesign* designs = nullptr, const ModalBlock* modal = nullptr,
                        const std::vector<std::string>& case_lines = {});

// The modulus mark of a results file's header: RESULTS_MODULUS_AT_REFERENCE
// when it says so, else (any other byte, or a file that cannot be read)
// RESULTS_MODULUS_AT_CASE_TEMPERATURE.
char results_expansion_modulus(const std::string& path);

// The length in bytes of the results file of a model (rows, node count,
// elements `elements`) for the load-case list, with `soils` soil-restraint
// records and, when the list holds code 30, `modes` modes; without the run
// record, which starts there.
int64_t results_file_size(const Model& model, const LoadCaseList& cases, int32_t elements, int32_t soils,
                          int32_t modes = 0, int32_t version = RESULTS_FILE_VERSION);
// The version of a results file's 16-byte header ("KORVANE21KR" and four
// digits), 0 when it is no header of this program's results files; and of
// the header of the file at a path (0 too when it cannot be read).
int32_t results_header_version(const char* header);
int32_t results_file_version(const std::string& path);
