// The hanger (data type 4): a variable spring from one of the spring-hanger
// catalogues, a user hanger (its spring rate and load given), a rod hanger
// or a constant support, acting along the vertical axis (Y, or Z with the
// vertical-axis option), from the ground above or from a connected node.
// Several hangers (1 to 8) may stand side by side at one node; rate and load
// are per hanger.
//
// Model-file record (framed):
//   tag[16], i32 type (1..35 a catalogue, 101 user, 102 rod, 103 constant),
//   i32 number of hangers (1..8), i32 load variation (percent, 1..99),
//   u8 short range, i32 connected node, i32 load type (0 hot, else cold),
//   f32 spring rate (lb/in) and f32 load (lb) of a user hanger,
//   then the design record: char[6] figure, char[6] size, f32 spring rate,
//   f32 vertical travel, f32 horizontal travel, f32 cold load, f32 hot load.
//
// Analysis (rate and load times the number of hangers):
//   - a variable spring (catalogue or user) carries its load: in the steps
//     with weight it puts its load upwards on the pipe; with the analysis
//     option "include hanger stiffness" it also acts as a spring of its rate
//     about the drawn position. A spring whose load is the hot load (every
//     designed hanger, and a user hanger of load type 0) carries exactly
//     that load in the hot steps (those with a temperature set), so there it
//     is a constant force; a cold-load spring is a spring from its installed
//     load in every step. Without the option every spring is a constant
//     force of its load in the steps with weight.
//   - a constant support puts its load (the designed hot load) upwards in
//     the steps with weight;
//   - a rod hanger holds the pipe up and goes slack when the pipe rises.
// A catalogue spring or constant support has its rate and load from the
// hanger design, which fills the design record.
// Support load: the upward force on the pipe.
#pragma once

#include "supports/support_item.h"

#include "analysis_core/analysis_run.h"

#include <array>
#include <string>
#include <vector>

inline constexpr int HANGER_CATALOGUES = 35;
inline constexpr int HANGER_USER = 101;
inline constexpr int HANGER_ROD = 102;
inline constexpr int HANGER_CONSTANT = 103;
// The catalogue that a new hanger takes.
inline constexpr int HANGER_DEFAULT_CATALOGUE = 16;
inline constexpr int MAX_HANGERS_AT_NODE = 8;
inline constexpr int DEFAULT_LOAD_VARIATION = 25;
// The most load variation (percent) a hanger may allow; the least is 1.
inline constexpr int MAX_LOAD_VARIATION = 99;
inline constexpr std::size_t HANGER_NAME_WIDTH = 6;

// "ABB-PBS" ... "Gradior" for 1..35, "User hanger", "Rod hanger",
// "Constant support"; empty for any other type.
const char* hanger_type_name(int type);
bool hanger_type_valid(int type);

// What the hanger design fills in (and the results file's 32-byte design
// record holds): figure (series) and size names, the spring rate, the
// vertical and horizontal travel, the cold (installed) load and the hot load.
struct HangerDesign {
    std::string figure;
    std::string size;
    float spring_rate = 0.0f;
    float vertical_travel = 0.0f;
    float horizontal_travel = 0.0f;
    float cold_load = 0.0f;
    float hot_load = 0.0f;
    bool operator==(const HangerDesign&) const = default;
};
inline constexpr int HANGER_DESIGN_RECORD_BYTES = 32;
void read_hanger_design(BinFile& file, HangerDesign& design);
void write_hanger_design(BinFile& file, const HangerDesign& design);

struct HangerValues {
    std::string tag;
    int32_t type = HANGER_DEFAULT_CATALOGUE;
    int32_t count = 1;
    int32_t load_variation = DEFAULT_LOAD_VARIATION;
    bool short_range = false;
    int32_t connected = 0;
    int32_t load_type = 0;      // 0 hot, any other cold (user hangers)
    float spring_rate = 0.0f;   // user hangers
    float load = 0.0f;          // user hangers
    HangerDesign design;
    bool operator==(const HangerValues&) const = default;
};

enum HangerColumn : int {
    HANGER_COL_NODE = 1,
    HANGER_COL_TAG,
    HANGER_COL_TYPE,
    HANGER_COL_COUNT,
    HANGER_COL_RATE,
    HANGER_COL_LOAD,
    HANGER_COL_LOAD_TYPE,
    HANGER_COL_VARIATION,
    HANGER_COL_SHORT_RANGE,
    HANGER_COL_CONNECTED,
    HANGER_COLUMNS = HANGER_COL_CONNECTED,
};

// The hanger design of a run (analysis/hanger_design.h drives it): which
// phase the run is in and, per layout row, the load found for the hanger
// and the design it got. Kept in the run (AnalysisRun::run_state), never in
// the model.
enum class HangerPhase {
    None,     // the hangers act with their designs
    Rigid,    // the hangers being designed hold the pipe rigidly along the vertical
    Loaded,   // they put their found loads up on the pipe, without stiffness
};

// Why the hanger design left a hanger without a design, or gave it a
// constant support in place of a spring.
enum class HangerNoteReason : int32_t {
    None = 0,
    NoUpwardLoad,       // it would pull the pipe down (or its load is no number)
    NoConstantSize,     // a constant support, asked for, that no size of the catalogue holds
    VariationTooLarge,  // every spring whose working range holds its loads varies too much
    OnlyShortRange,     // only a short-range spring, which the hanger does not allow, holds them
    NoRangeHolds,       // no spring's working range holds them
};
inline constexpr int32_t HANGER_NOTE_REASONS = 6;

// What the hanger design said of one hanger it sized, in internal units
// (hanger_note_text words it in the units of a model). After a reason of
// the springs the design looked for a constant support: `designed` when it
// took one, else the catalogue has none that holds the load.
struct HangerNote {
    int32_t row = 0;
    int32_t node = 0;           // the number of the hanger's node
    HangerNoteReason reason = HangerNoteReason::None;
    bool designed = false;
    float load = 0.0f;          // lb, per hanger
    float travel = 0.0f;        // inch, up positive
    float below = 0.0f;         // NoRangeHolds: the end of the largest size below the load (0: none)
    float above = 0.0f;         // and the start of the smallest size above it (0: none)
    int32_t percent = 0;        // VariationTooLarge: the variation allowed
    std::string catalogue;      // the catalogue's name
    bool operator==(const HangerNote&) const = default;
};

struct HangerRunDesign : CopiedState<HangerRunDesign> {
    HangerPhase phase = HangerPhase::None;
    // By layout row: the load of the whole support (all its hangers) found
    // in the Rigid phase, and the design each hanger got.
    std::vector<double> load;
    std::vector<char> designed;
    std::vector<HangerDesign> design;
    // The rows whose hangers the run sizes (those of a catalogue without
    // data keep the design the model holds).
    std::vector<char> sizing;
    // What the design said of the hangers it sized, in row order.
    std::vector<HangerNote> notes;

    void resize(int rows);
    bool has_design(int row) const;
    bool sizes(int row) const;
};

// True for the hangers that the design sizes: catalogue springs and
// constant supports (user and rod hangers are not designed).
bool hanger_type_designed(int type);

class Hanger final : public SupportItem {
public:
    HangerValues v;
    // The design record read from the results file (results mode).
    HangerDesign results_design;

    int dtype() const override { return DT_HANGER; }
    std::string tag() const override { return v.tag; }
    int32_t* connected_node_field() override { return &v.connected; }
    // What the dialog and the table take: "Hanger type is invalid", "Number
    // of hangers is invalid" (1 to 8), "Load variation is invalid" (1 to 99)
    // and, for a user hanger, "Spring rate is required".
    static void check_values(const HangerValues& values);

    bool is_variable_spring() const { return v.type <= HANGER_CATALOGUES || v.type == HANGER_USER; }
    bool is_designed() const { return hanger_type_designed(v.type); }
    // True when the model holds a design for the hanger (a rate and a hot
    // load; a hot load for a constant support).
    bool holds_design() const
    {
        return v.design.hot_load > 0.0f && (v.type == HANGER_CONSTANT || v.design.spring_rate > 0.0f);
    }
    // Rate and load of one hanger: a user hanger's own, else the design's
    // (the design of the run when it made one, else the model's).
    double rate() const;
    double load() const;
    double rate(const AnalysisRun& run, int row) const;
    double load(const AnalysisRun& run, int row) const;
    // The design the hanger acts with in a run.
    const HangerDesign& design_in(const AnalysisRun& run, int row) const;
    // The design of the results when they hold one (a figure or a load),
    // else the model's.
    const HangerDesign& latest_design() const;
    // True when the load is the hot load.
    bool hot_load() const { return v.type != HANGER_USER || v.load_type == 0; }

    void read(BinFile& file) override;
    void write(BinFile& file) const override;
    void copy_from(const DataItem& other) override { copy_support_values(*this, other); }
    bool same_values(const DataItem& other) const override { return same_support_values(*this, other); }
    std::string cell_text(int column) const override;
    std::string description() const override;
    int subtype() const override { return v.type; }
    void check(const Model& model, int row) const override;

    void assemble_stiffness(AnalysisRun& run, int row) const override;
    void add_loads(AnalysisRun& run, int row) const override;
    bool is_nonlinear() const override { return v.type == HANGER_ROD; }
    void reset_nonlinear_state(AnalysisRun& run, int row) const override;
    bool update_nonlinear_state(AnalysisRun& run, int row) const override;
    void write_support_loads(AnalysisRun& run, int row) const override;
    void read_design_record(BinFile& file) override;
    SymbolParts symbol_parts(int row) const override;
};
