// The open results: what the results reader found in the results file of
// the current model, the current results load case, and the values of the
// one load case (or mode) that the on-demand readers have read. One owned
// object (results()) with one reset; leaving results mode frees it.
//
// Everything is 1-based (slot 0 unused) and indexed as named: nodes by node
// index (1..numnodes of the model), elements by element index (1..E, the
// file's element order, which is the model's), load cases by their index in
// display order (1..load_case_count()).
//
// Reading the values of the current load case (results_reader.h):
//   read_load_case_displacements()  -> displacements[node]
//   read_load_case_forces()         -> forces[element]
//   read_load_case_support_loads()  -> each support row's item (SupportItem::current_loads)
//   read_spectrum_accelerations()   -> displacements[node] (code 31 only)
//   read_mode_results()             -> displacements[node] (the current mode)
#pragma once

#include "analysis/results_file.h"
#include "codes/code_records.h"
#include "framework/binfile.h"
#include "framework/one_based.h"

#include <array>
#include <cstdint>
#include <string>
#include <vector>

// One element record of the results file: the element table of the results.
struct ResultsElement {
    int32_t kind = 0;       // ElementType
    int32_t row = 0;        // layout row
    int32_t node1 = 0;      // node indices
    int32_t node2 = 0;
    int32_t material = 0;   // material, section and pipe-load index (a Beam's beam ones)
    int32_t section = 0;
    int32_t load = 0;
    int32_t place = 0;      // the element's place among those of its row, from 1
    bool operator==(const ResultsElement&) const = default;
};

// One results load case: its code and where its blocks start in the file.
struct ResultsLoadCase {
    int32_t code = 0;
    int64_t displacements = 0;
    int64_t forces = 0;
    int64_t supports = 0;
    bool operator==(const ResultsLoadCase&) const = default;
};

// The modal results (code 30); nothing when the results hold no modes.
struct ModalResults {
    int32_t modes = 0;
    OneBased<float> frequencies;                      // Hz, modes 1..M
    OneBased<std::array<float, 3>> participation;     // X, Y, Z factors of each mode
    float total_mass = 0.0f;
    // The mass participation of each direction: the sum over the modes of
    // the factor squared divided by the total mass (0 without mass).
    std::array<float, 3> mass_participation{};
    int64_t first_shape = 0;                          // file offset of mode 1's shape
};

// What the on-demand readers have in their arrays (0 / false = nothing).
struct LoadedResults {
    int displacements = 0;   // load-case index whose displacements are loaded
    bool accelerations = false;
    int mode = 0;            // mode whose shape is loaded
    int forces = 0;          // load-case index whose forces are loaded
    int forces_code = 0;     // and its code
    int supports = 0;        // load-case index of the support loads last read
};

// The elements of each kind, as the results count them.
struct ResultsElementLists {
    OneBased<int32_t> pipes;         // pipe-type elements that are not FRP
    OneBased<int32_t> frp;           // pipe-type elements of an FRP material
    OneBased<int32_t> others;        // neither pipe-type nor beams
    OneBased<int32_t> beams;
    OneBased<int32_t> flexible_joints;   // bellows, slip, hinge, ball joints, elastic elements
    OneBased<int32_t> ball_joints;
};

// The six extremes of the displacements of the loaded case: per component
// the largest and smallest value and the node index where each occurs.
struct DisplacementExtremes {
    std::array<float, 6> largest{};
    std::array<float, 6> smallest{};
    std::array<int32_t, 6> largest_node{};
    std::array<int32_t, 6> smallest_node{};
};

// The support load summary (support_summary.h): its column names (the
// last three "Maximum", "Minimum", "Allowables"), and the current support
// (an index into supports_by_kind). Each support item keeps its own column
// values (SupportItem::summary).
struct SupportSummary {
    bool built = false;
    OneBased<std::string> columns;
    int maximum = 0;          // the column of "Maximum"
    int current = 1;
};

// The time-history results (time_history.h): the ".rth" file, open while
// results are shown, and the history of the one item last read.
struct TimeHistoryResults {
    bool read = false;                 // the file was read: "&Time history" is offered
    std::string path;
    BinFile file;
    float interval = 0.0f;             // s
    int32_t steps = 0;                 // T
    // Records 0..T of six values: record 0 (time 0) all zero, record t the
    // item's values at step t.
    std::vector<std::array<float, 6>> history;
    int values = 0;                    // how many of the six the item has
};

struct ResultsState {
    std::string path;                  // the results file, open while results are shown
    BinFile file;
    int32_t version = 0;               // of the file
    bool out_of_date = false;          // the model changed after the run
    // What the run said of its cases and the model file it was of (empty
    // for a file of a version without it).
    ResultsRunRecord run_record;

    // Counts of the model the results were read against.
    int32_t nodes = 0;
    int64_t support_bytes = 0;         // B: the support block of one load case

    OneBased<ResultsElement> elements;
    // Each element's chord as it was analysed (node 2 less node 1, inch);
    // empty for a file of a version without them.
    OneBased<std::array<float, 3>> chords;
    OneBased<SoilRestraintRecord> soil_restraints;
    ResultsElementLists lists;
    // Per node the elements that meet there, the highest-numbered first.
    OneBased<std::vector<int32_t>> node_elements;
    // The nodes that have results, in node order.
    OneBased<int32_t> results_nodes;
    // The flange index list (0, 1, 2 ... in slots 1..numflanges), which the
    // flange report sorts.
    OneBased<int32_t> flange_index;
    // The support rows in row order, and grouped by kind (anchors, guides,
    // hangers, limit stops, nozzles, restraints, skewed restraints,
    // snubbers, generic supports; each kind in row order).
    OneBased<int32_t> supports_by_row;
    OneBased<int32_t> supports_by_kind;

    // Load cases in display order, and the current one (results_loadcase).
    OneBased<ResultsLoadCase> load_cases;
    int current = 0;
    int64_t acceleration_block = 0;    // code 31: the accelerations' offset
    ModalResults modal;
    int current_mode = 1;

    ResultsAvailability available;

    // The values of the loaded case or mode.
    OneBased<std::array<float, 6>> displacements;   // DX, DY, DZ, RX, RY, RZ per node
    OneBased<ElementForceRecord> forces;            // per element, local axes
    LoadedResults loaded;
    DisplacementExtremes extremes;
    float magnification = 0.0f;                     // the deflection magnification (0 = not set)

    // The piping-code evaluation's records.
    CodeRecords code;

    SupportSummary summary;
    TimeHistoryResults history;

    int numpipes() const { return lists.pipes.size(); }
    int numfrp() const { return lists.frp.size(); }
    int numothers() const { return lists.others.size(); }
    int numbeams() const { return lists.beams.size(); }
    int numflexjoints() const { return lists.flexible_joints.size(); }
    int numballjoints() const { return lists.ball_joints.size(); }
    int numsupports() const { return supports_by_row.size(); }
    int numelems() const { return elements.size(); }
    int numresultnodes() const { return results_nodes.size(); }
    int load_case_count() const { return load_cases.size(); }
};

// The open results (empty when results mode is not active).
ResultsState& results();
// Frees everything the results hold (the file is closed).
void reset_results();
// True while results are open (a results file was read).
bool results_open();
// True while results are open and the model's analysis elements are still
// those the results were written for (each element record agrees); after
// an edit that changed them, values by element index belong to no element.
bool results_elements_match_model();
// True when the model's element e (its elements matching the results'), as
// an edit has left it, is no longer the element the results were analysed
// for: its length or direction changed. Values kept by element index do not
// hold for it. False where the results cannot tell (a file without chords).
bool results_element_changed(int e);
// True when any element is so changed.
bool results_elements_changed();
