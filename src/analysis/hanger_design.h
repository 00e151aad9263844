// The design of spring hangers and constant supports: the first steps of a
// run whose model has catalogue springs or constant supports (the hanger
// types that are designed; user and rod hangers are not, nor a catalogue
// spring whose catalogue has no data, which keeps the design its model
// holds).
//
//   20 "Calculating hanger loads": the weight case with every designed
//      hanger holding the pipe rigidly along the vertical, and the anchors
//      freeing their directions released for hanger selection. The force in
//      each hanger is its load: the hot load, or for a hanger of the cold
//      load type the cold load.
//   21 "Calculating hanger travel": the operating case of each thermal set
//      in use with the hangers replaced by their loads, pushing up without
//      stiffness; the travel of a hanger is the motion of its node (relative
//      to its connected node) from the weight case with the hangers rigid
//      to the operating case: vertical (up positive), and horizontal as a
//      magnitude, of the set whose vertical travel is largest, the
//      governing one.
//   22, 23 "Recalculating hanger loads" and "... travel": in a model with
//      nonlinear items, the weight case again with the hangers rigid and the
//      states of the operating case held (a support that lifts off in
//      operation stays off, so that its weight goes to the hangers in the
//      hot position), then the travel again with those loads.
//   24 "Designing hangers": each hanger is sized (select_hanger).
//   25 "Calculating hanger loads": the cold and hot loads of the chosen
//      springs: a hot-load hanger carries its load hot and its load plus
//      rate times the upward travel cold; a cold-load hanger the reverse.
// The designs are kept in the run (HangerRunDesign) and every later case
// takes them; the results file writes them after the last load case.
//
// A hanger that carries no load upwards (its pipe lifts off), or that no
// catalogue size holds, is named in a warning ("Row %d: ...", its loads and
// travels in the model's units) and left
// undesigned; one that no spring holds and a constant support takes is
// named too, with the reason that holds: the load variation of every
// spring whose range holds its loads is above its limit; only a short-range
// spring, which the hanger does not allow, holds them; or no working range
// holds them (with the sizes that end below and begin above its load). The
// design goes on with the others.
#pragma once

#include "analysis/hanger_catalogue.h"
#include "analysis_core/analysis_run.h"
#include "framework/unit_choices.h"
#include "supports/hanger.h"

#include <functional>
#include <string>
#include <vector>

// What the design of one hanger starts from (per hanger: the load of the
// support divided by its number of hangers).
struct HangerDemand {
    int type = 0;                 // hanger type 1..35 or 103
    double load = 0.0;            // lb: the hot load, or the cold load for the cold load type
    bool cold_load = false;       // the load is the cold load
    double travel = 0.0;          // inch, up positive (cold to hot)
    double horizontal = 0.0;      // inch, the horizontal travel (a magnitude)
    int variation = DEFAULT_LOAD_VARIATION;   // the allowed load variation, percent
    bool short_range = false;     // short-range springs may be chosen
};

struct HangerChoice {
    bool designed = false;
    bool constant = false;        // a constant support was chosen
    HangerDesign design;
    // Why no design was made, or why a constant support took the place of
    // a spring (no reason: nothing to say); its row and node are the
    // caller's.
    HangerNote note;
};

// Sizes one hanger from its catalogue (null for a constant support of
// type 103 whose catalogue is not known):
//   - a variable spring: of the springs of the catalogue whose range is
//     allowed (short range only with the flag), the one of the smallest
//     maximum load (then the shortest range) whose working range holds
//     both the hot and the cold load and whose load variation,
//     rate x |travel| / hot load, is at most the allowed percent (25 when
//     not given);
//   - a constant support, when asked (type 103) or when no spring fits: the
//     catalogue's constant support of the smallest maximum load that holds
//     the load over the travel; without constant sizes in the catalogue the
//     figure "CONST" with no size name.
// A load not above 0 is not designed.
HangerChoice select_hanger(const HangerCatalogue* catalogue, const HangerDemand& demand);

// A note as a sentence without its hanger, its loads and travel in `units`
// (a model's): "carries no load upwards (-2049.3 N): it is not designed",
// "is held by no spring of the Grinnell catalogue: no size's working range
// holds its load of 959.04 N over a travel of 2.54 mm (the nearest sizes end
// at 934.13 N and begin at 983.06 N); a constant support is chosen"; empty
// for no reason.
std::string hanger_note_text(const HangerNote& note, const UnitChoices& units);
// "Row 4: the hanger at node 40 " and the text: the run's warning.
std::string hanger_note_line(const HangerNote& note, const UnitChoices& units);

// The load variation of a spring as a fraction: rate x |travel| / hot load.
double load_variation(double rate, double travel, double hot_load);

// What the static driver lends the design.
struct HangerDesignDriver {
    // Solves a step and recovers its results. With `hold_states` the
    // nonlinear items keep their states of the step before and the step is
    // solved once.
    // `name` names the step in the run's lines of its cases (case_note):
    // the step's own name, or for the travel of thermal set k the pass's
    // name and its set, "Calculating hanger travel (T1)", and for k > 1,
    // solved in the step of Operating (k), "... (T2)", so that no line of
    // the design's passes is taken for one of the case the run solves later.
    std::function<CaseResults(int code, bool hold_states, const std::string& name)> solve;
    std::function<void(const std::string& text)> progress;
    bool nonlinear = false;
};

// True when the model has a hanger that the design sizes: a constant
// support, or a catalogue spring whose catalogue has data (one of a
// catalogue without data keeps the design the model holds).
bool model_has_designed_hangers(const Model& model, const HangerCatalogues& catalogues);

// The design of the run's hangers (above); returns the warnings, one line
// (hanger_note_line, in the units of the run's model) for each of the notes
// it keeps in the run's HangerRunDesign.
std::vector<std::string> design_hangers(AnalysisRun& run, const HangerCatalogues& catalogues,
                                        const HangerDesignDriver& driver);
