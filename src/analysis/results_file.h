// The results file (".res") that a run writes beside the model file and the
// results windows read. Little-endian, field by field:
//
//   header      16 bytes: "KORVANE21KR", the version "1020" and the
//               modulus the expansion cases were solved with: '0' each
//               element's at the case's temperature (the run's), '1' the
//               modulus at the reference temperature
//   elements    int32 E, then E records of 8 int32: element type, layout
//               row, node 1 index, node 2 index, material, section and load
//               index (a Beam's beam material, beam section and beam load),
//               and the element's place among the elements of its row (1
//               for the first)
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
// Values of magnitude below 1e-30 are written as 0. The modal block of code
// 30 (mode count, frequencies, mode shapes, participation factors, total
// mass) belongs to the modal analysis.
//
// The file carries no model size: its blocks are found from the model in
// memory. results_file_size gives the length a model implies, so that a
// reader refuses a file written for another model.
#pragma once

#include "analysis_core/analysis_run.h"
#include "model/load_cases.h"

#include <cstdint>
#include <string>
#include <vector>

struct HangerRunDesign;

inline constexpr const char* RESULTS_FILE_MAGIC = "KORVANE21KR";
inline constexpr int32_t RESULTS_FILE_VERSION = 1020;
inline constexpr int RESULTS_HEADER_SIZE = 16;
inline constexpr int RESULTS_ELEMENT_RECORD_SIZE = 32;
inline constexpr int SOIL_RESTRAINT_RECORD_SIZE = 40;
inline constexpr int HANGER_DESIGN_RECORD_SIZE = 32;
// The last header byte.
inline constexpr char RESULTS_MODULUS_AT_CASE_TEMPERATURE = '0';
inline constexpr char RESULTS_MODULUS_AT_REFERENCE = '1';

// One soil-restraint record (buried piping).
struct SoilRestraintRecord {
    int32_t element = 0;
    float axial_stiffness = 0.0f, axial_load = 0.0f;
    float transverse_stiffness = 0.0f, transverse_load = 0.0f;
    float down_stiffness = 0.0f, down_load = 0.0f;
    float up_stiffness = 0.0f, up_load = 0.0f;
    int32_t soil = 0;
};

// The place of an element among the elements of its row, from 1.
OneBased<int32_t> element_places(const Model& model);

// Writes the results of a run: `cases` in the order of model.load_cases.
// The file is written beside `path` and renamed into place when complete;
// a failure throws "Unable to write results file:\n<path>" and leaves the
// file that was there.
// The hangers' design records are those of `designs` (the run's hanger
// design) where it designed the hanger, else the design the model holds.
void write_results_file(const std::string& path, const AnalysisModel& model,
                        const std::vector<const CaseResults*>& cases,
                        const std::vector<SoilRestraintRecord>& soil_restraints = {},
                        const HangerRunDesign* designs = nullptr);

// The modulus mark of a results file's header: RESULTS_MODULUS_AT_REFERENCE
// when it says so, else (any other byte, or a file that cannot be read)
// RESULTS_MODULUS_AT_CASE_TEMPERATURE.
char results_expansion_modulus(const std::string& path);

// The length in bytes of the results file of a model (rows, node count,
// elements `elements`) for the load-case list, with `soils` soil-restraint
// records and, when the list holds code 30, `modes` modes.
int64_t results_file_size(const Model& model, const LoadCaseList& cases, int32_t elements, int32_t soils,
                          int32_t modes = 0);
