// The records of the piping-code evaluation that live with the open results,
// and the one entry through which the evaluation is run when results open.
//
// The results reader allocates and initialises these records
// (CodeRecords::allocate) from the element table it read, then calls the
// registered evaluation driver, which fills what it evaluates; the result
// tables read them. A value that was not evaluated says so (CodeValue), so
// that a table shows an empty cell for it, never a number that stands for
// "nothing". All arrays are 1-based (slot 0 unused) and indexed as named:
//
//   pipes        1..numpipes, the pipe-type elements that are not FRP, in
//                element order; each starts with its element index
//   node_sifs    1..numnodes, by node index (never by element)
//   element_sifs 1..numelems, by element index
//   flexibility  1..numelems, by element index
//   evaluation   1..numelems, by element index
//   frp          1..numfrp, the FRP pipe-type elements in element order;
//                left empty when the results have none
//
// Stresses in psi, SIFs, SCFs and flexibility factors dimensionless.
#pragma once

#include "framework/one_based.h"
#include "model/analysis_options.h"
#include "model/load_cases.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

struct CodeStressEvaluation;
struct Model;

// ---- Values ---------------------------------------------------------------------------

// One evaluated value: `evaluated` is clear until the evaluation set it.
struct CodeValue {
    float value = 0.0f;
    bool evaluated = false;

    void set(float v)
    {
        value = v;
        evaluated = true;
    }
    bool operator==(const CodeValue&) const = default;
};
// A value at each end of an element: [0] the first end (node 1), [1] the second.
using EndValues = std::array<CodeValue, 2>;

// ---- Pipe result record (one per pipe-type element that is not FRP) --------------------

struct PipeResultRecord {
    int32_t element = 0;            // element index
    EndValues sustained;            // SL of Sustained (W+P)
    EndValues class2_sustained;     // ASME Class 2/3 sustained stress (B1, B2 equation)
    EndValues settlement;           // stress of Settlement
    EndValues hydrotest;            // stress of Hydrotest
    EndValues buried_sustained;     // pipeline codes: sustained stress of a buried element
    // Code "None": the von Mises, maximum and minimum principal stresses of
    // the load case `principal_case` (computed for the case a table shows).
    EndValues von_mises;
    EndValues maximum;
    EndValues minimum;
    int32_t principal_case = 0;     // load-case code of the three above; 0 none

    bool operator==(const PipeResultRecord&) const = default;
};

// ---- SIFs ---------------------------------------------------------------------------------

// The SIFs given at a node by its data items (user SIF, branch SIF, weld,
// threaded joint), 14 factors, each 1.0 until set: in-plane, out-of-plane,
// axial, torsion, then the IGEM stress concentration factors, sustained and
// cyclic, each for pressure, bending, thrust, torsion and shear (the user
// SIF's order, elements/user_sif.h).
enum NodeSifSlot : int {
    NODE_SIF_IN_PLANE = 0,
    NODE_SIF_OUT_PLANE = 1,
    NODE_SIF_AXIAL = 2,
    NODE_SIF_TORSION = 3,
    NODE_SCF_SUSTAINED = 4,    // 4..8: pressure, bending, thrust, torsion, shear
    NODE_SCF_CYCLIC = 9,       // 9..13: the same order
    NODE_SIF_SLOTS = 14,
};
struct NodeSifRecord {
    std::array<float, NODE_SIF_SLOTS> value{1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f,
                                            1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f, 1.0f};
    bool operator==(const NodeSifRecord&) const = default;
};

// The SIFs of one element end, 1.0 until evaluated.
struct EndSifs {
    float in_plane = 1.0f;
    float out_plane = 1.0f;
    float axial = 1.0f;
    float torsion = 1.0f;
    bool operator==(const EndSifs&) const = default;
};
// IGEM factors of one element end, 1.0 until evaluated.
struct IgemEndSifs {
    float torsion = 1.0f;
    float in_plane = 1.0f;
    float out_plane = 1.0f;
    bool operator==(const IgemEndSifs&) const = default;
};
struct IgemEndScfs {
    float is = 1.0f;     // "Is", "It", "Ip" of the in/out-plane force table
    float it = 1.0f;
    float ip = 1.0f;
    bool operator==(const IgemEndScfs&) const = default;
};
// The SIFs of an element's two ends ([0] first end, [1] second end), and
// for IGEM the SIF sets of stress categories 1 and 2 and the SCFs.
struct ElementSifRecord {
    std::array<EndSifs, 2> end;
    std::array<IgemEndSifs, 2> igem_category1;
    std::array<IgemEndSifs, 2> igem_category2;
    std::array<IgemEndScfs, 2> igem_scf;
    bool operator==(const ElementSifRecord&) const = default;
};

// An element's three flexibility factors in the order the force table shows
// them ("FFt", "FFo", "FFi"), 1.0 until evaluated.
struct FlexibilityFactors {
    std::array<float, 3> value{1.0f, 1.0f, 1.0f};
    bool operator==(const FlexibilityFactors&) const = default;
};

// ---- Stress evaluation (one record per element) -------------------------------------------

// The stress categories the evaluation checks.
enum StressCategory : int {
    STRESS_SUSTAINED = 0,
    STRESS_EXPANSION = 1,
    STRESS_OCCASIONAL = 2,
    STRESS_OPERATING = 3,
    STRESS_HYDROTEST = 4,
    STRESS_SETTLEMENT = 5,
    STRESS_HOOP = 6,           // the pipeline codes' hoop stress
    STRESS_CATEGORIES = 7,
};
// The governing stress of a category at each end, its allowable (not
// evaluated = not checked) and the load-case code that governs (0 = none).
struct CategoryEvaluation {
    EndValues stress;
    EndValues allowable;
    std::array<int32_t, 2> load_case{};
    bool operator==(const CategoryEvaluation&) const = default;
};
// Zeroed (nothing evaluated) when the results open.
struct StressEvaluationRecord {
    std::array<CategoryEvaluation, STRESS_CATEGORIES> category;
    bool operator==(const StressEvaluationRecord&) const = default;
};

// ---- FRP --------------------------------------------------------------------------------

// The FRP evaluation's quantities per element end, each array 1..numfrp.
inline constexpr int FRP_VALUE_ARRAYS = 16;
struct FrpRecords {
    OneBased<int32_t> elements;                              // element indices, element order
    OneBased<std::array<int32_t, 2>> nodes;                  // node 1 and node 2 index of each
    std::array<OneBased<EndValues>, FRP_VALUE_ARRAYS> values; // the evaluation's own quantities
    int count() const { return elements.size(); }
};

// ---- All records ---------------------------------------------------------------------------

// The two nodes of an element, as the element records give them.
struct ElementNodes {
    int32_t node1 = 0;
    int32_t node2 = 0;
};

struct CodeRecords {
    OneBased<PipeResultRecord> pipes;
    OneBased<NodeSifRecord> node_sifs;
    OneBased<ElementSifRecord> element_sifs;
    OneBased<FlexibilityFactors> flexibility;
    OneBased<StressEvaluationRecord> evaluation;
    FrpRecords frp;
    // What the evaluation keeps besides these arrays: the code stress of
    // every end in every load case with a stress label, for the force and
    // compliance tables (codes/code_driver.h); none until evaluated.
    std::shared_ptr<const CodeStressEvaluation> stresses;

    // Sizes and initialises every array: `elements` gives the nodes of
    // elements 1..E, `nodes` is the node count; `pipe_elements` and
    // `frp_elements` list the element indices of the pipe and FRP records
    // (each index in 1..E). Pipe records are "not evaluated" with their
    // element index, SIFs and flexibility factors 1.0, the stress evaluation
    // zeroed; the FRP arrays are made only when there are FRP elements.
    void allocate(const OneBased<ElementNodes>& elements, int nodes, const OneBased<int32_t>& pipe_elements,
                  const OneBased<int32_t>& frp_elements);
    // Frees everything.
    void clear();
};

// ---- What the results offer the evaluation --------------------------------------------------

// The presence of each load-case code among the results and the
// availability flags derived from them (and from the piping code) when the
// results open.
struct ResultsAvailability {
    std::array<uint8_t, MAX_LOAD_CASE_CODE + 1> present{};   // by code 1..126
    bool any_expansion = false;        // a code of 2-7 or 51-99
    bool any_operating = false;        // 8-10 or 100-106
    bool bs806_stresses = false;       // BS 806 only: an operating or cold-spring code
    bool any_occasional = false;       // 12, 13, 31, 35-37, 107-109 (never under BS 806)
    bool code_stresses = false;        // code stresses can be evaluated
    bool in_out_plane_sifs = false;    // separate in-plane and out-of-plane SIFs (force tables)
    bool end_stresses = false;
    bool pipeline_sort = false;
    bool branch_connection_stresses = false;

    bool has(int code) const { return code >= 1 && code <= MAX_LOAD_CASE_CODE && present[static_cast<std::size_t>(code)]; }
};

// The twelve end forces of an element in its local axes (first end FX, FY,
// FZ, MX, MY, MZ, then the second end), lb and in-lb, as the results file
// holds them.
using ElementForceRecord = std::array<float, 12>;

// What the evaluation is given when results open (on the main thread; the
// model is the one the results were checked against, read only).
struct CodeEvaluationInput {
    const Model* model = nullptr;
    int32_t piping_code = 0;
    AnalysisOptions options;
    const ResultsAvailability* available = nullptr;
    // The results load-case codes in display order.
    std::vector<int32_t> load_cases;
    // Reads the end forces of elements 1..E of the results load case with
    // this code into `out` (resized to E). Throws the reader's message text
    // when the file cannot be read; a code not among the results gives zeros.
    std::function<void(int32_t code, OneBased<ElementForceRecord>& out)> forces;
};

// The evaluation: fills what it evaluates of the records. A thrown message
// text is shown and the results open without code stresses.
using CodeEvaluationDriver = std::function<void(const CodeEvaluationInput& input, CodeRecords& records)>;

// The driver the piping-code evaluation registers at start-up; empty (no
// evaluation: nothing evaluated, stress cells empty) until then.
void register_code_evaluation(CodeEvaluationDriver driver);
const CodeEvaluationDriver& code_evaluation_driver();
