// The analysis model: the immutable snapshot that a run reads. It is built
// on the main thread from the document (make_analysis_model, in the analysis
// layer) before the run starts and never changes afterwards, so that the
// run needs nothing else and the document may be edited, saved or closed
// while it runs. Plain data; the copies share nothing with the document.
//
// Indices are the document's: rows, nodes and elements of `model`, the
// records of the named sets, the pipe and beam loads of `loads` are numbered
// as the element records (Elem) and the rows name them.
#pragma once

#include "analysis_core/element_kinds.h"
#include "framework/geometry.h"
#include "framework/one_based.h"
#include "framework/sha256.h"
#include "framework/unit_choices.h"
#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/soil.h"
#include "model/analysis_options.h"
#include "model/load_cases.h"
#include "model/model.h"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

// The spring-hanger catalogues of a run (analysis/hanger_catalogue.h).
struct HangerCatalogues;

// Temperature and pressure sets of the pipe and beam loads.
inline constexpr int MAX_LOAD_SETS = 10;

// A pipe load as the analysis needs it (degF, psi, lb/in). A value of 0 is
// one that was not given (an entered 0 is 1e-36): a temperature not given is
// the default temperature of the options, a pressure not given is none.
struct PipeLoadValues {
    std::string name;
    std::array<double, MAX_LOAD_SETS + 1> temperature{};   // T1..T10 in slots 1..10
    std::array<double, MAX_LOAD_SETS + 1> pressure{};      // P1..P10 in slots 1..10
    double design_temperature = 0.0;
    double design_pressure = 0.0;
    double specific_gravity = 0.0;                         // of the contents
    double added_weight = 0.0;                             // per length
    bool wind = false;                                     // the wind acts on its elements
};

// A beam load: T1..T10 in slots 1..10, the added weight per length, the wind flag.
struct BeamLoadValues {
    std::string name;
    std::array<double, MAX_LOAD_SETS + 1> temperature{};
    double added_weight = 0.0;
    bool wind = false;
};

// The static seismic g factors on global X, Y and Z, each with its flag, and
// how the results of the directions combine (1 absolute sum, 2 SRSS).
struct StaticSeismic {
    bool x = false, y = false, z = false;
    double gx = 0.0, gy = 0.0, gz = 0.0;
    int combination = 1;
    bool any() const { return (x && gx != 0.0) || (y && gy != 0.0) || (z && gz != 0.0); }
};

// One wind load (cases 1 to 4). `pressure_at` and `force_coefficient` hold
// copies of what they need (the wind record, its profile), so that the run
// calls them without touching the document.
struct WindCase {
    bool defined = false;          // a non-zero direction and a design-code load or a profile
    Vec3 direction;                // unit vector
    bool design_code = false;      // the design-code (ASCE) method
    double gust_factor = 1.0;
    bool height_given = false;
    double structure_height = 0.0; // inch
    // Wind pressure (psi) at an elevation (inch).
    std::function<double(double elevation)> pressure_at;
    // Force coefficient of a round member of a height and diameter (inch).
    std::function<double(double height, double diameter)> force_coefficient;
};

// A hydrotest load: pressure and contents of the Hydrotest case; an element
// whose row has none defined is not tested (its own contents, no pressure).
struct HydrotestValues {
    bool defined = false;
    double pressure = 0.0;
    double specific_gravity = 1.0;
    double temperature = 0.0;      // 0: the reference temperature
};

// A response spectrum or force spectrum as a run takes it: its points
// (abscissa, ordinate) in ascending abscissa, the ordinates in the internal
// unit of their kind (in/s2, in/s, inch; a load factor has none).
struct SpectrumCurve {
    enum Ordinate : int { ACCELERATION = 0, VELOCITY = 1, DISPLACEMENT = 2, LOAD_FACTOR = 3 };
    std::string name;
    bool period = false;          // the abscissa is the period (s), else the frequency (Hz)
    int ordinate = ACCELERATION;
    bool logarithmic = false;     // interpolated linearly in the logarithms of both axes
    std::vector<std::array<double, 2>> points;
};

// How the results of the modes, of the directions and of the missing mass
// are combined in the response-spectrum and force-spectrum analyses.
enum ModalCombination : int32_t {
    MODAL_SRSS = 1,          // square root of the sum of the squares
    MODAL_CQC = 2,           // complete quadratic combination (equal modal damping)
    MODAL_TEN_PERCENT = 3,   // SRSS, with the closely spaced modes added in absolute pairs
    MODAL_ABSOLUTE = 4,      // sum of the magnitudes
};
enum SumCombination : int32_t {
    COMBINE_SRSS = 1,
    COMBINE_ABSOLUTE = 2,
};

// The response-spectrum input: the spectrum of each global direction (by
// name, "" none) with its factor, and the combinations.
struct ResponseSpectrumSettings {
    std::array<std::string, 3> spectrum;          // X, Y, Z
    std::array<double, 3> factor{1.0, 1.0, 1.0};
    int32_t modal_combination = MODAL_SRSS;
    int32_t direction_combination = COMBINE_SRSS;
    int32_t missing_mass_combination = COMBINE_SRSS;
    double damping = 0.05;                        // ratio of critical, of the CQC correlation
    // Modes whose frequencies differ by no more than this fraction of the
    // lower one are closely spaced (MODAL_TEN_PERCENT).
    double closely_spaced = 0.10;
};

// The time-history options (time step, end time, output interval in s; the
// modal damping ratio, which the harmonic analysis also takes).
struct TimeHistorySettings {
    double time_step = 0.001;
    double end_time = 1.0;
    double output_interval = 0.01;
    double damping = 0.05;
    bool save_results = false;
};

// What the dynamic analyses read of the model's loads.
struct DynamicInput {
    std::vector<SpectrumCurve> spectra;
    std::vector<SpectrumCurve> force_spectra;
    // Time function k at index k - 1: (time in s, factor) pairs.
    std::vector<std::vector<std::array<double, 2>>> time_functions;
    TimeHistorySettings time_history;
    ResponseSpectrumSettings response_spectrum;
};

// The loads of the model as plain values.
struct AnalysisLoads {
    OneBased<PipeLoadValues> pipe_loads;   // as Elem::load numbers them
    OneBased<BeamLoadValues> beam_loads;   // as Elem::beam_load numbers them
    StaticSeismic seismic;
    std::array<WindCase, 5> wind{};        // wind loads 1..4 in slots 1..4
    // Defined when the model has a hydrotest load; the values that apply
    // where `row_hydrotest` says nothing.
    HydrotestValues hydrotest;
    // The hydrotest load in force at each layout row (by row index); when
    // empty, `hydrotest` applies to every row.
    OneBased<HydrotestValues> row_hydrotest;
    DynamicInput dynamic;

    bool any_wind() const
    {
        for (int k = 1; k <= 4; ++k)
            if (wind[static_cast<std::size_t>(k)].defined)
                return true;
        return false;
    }
};

// What the loads layer fills in while the snapshot is built, on the main
// thread: `fill_loads` sets the pipe loads (in the order of the loads
// layer's pipe-load set, which Elem::load indexes through
// model_hooks().load_index), the beam loads, the static seismic factors,
// the wind cases (with self-contained copies in their functions) and the
// hydrotest load. Without it the model has no loads: every element is at
// the reference temperature without pressure, contents or added weight, and
// there is no seismic, wind or hydrotest load.
struct AnalysisLoadHooks {
    std::function<void(AnalysisLoads& loads)> fill_loads;
};
AnalysisLoadHooks& analysis_load_hooks();

// What a run writes besides the results file.
struct AnalysisOutput {
    std::string results_path;            // the results file (".res" beside the model)
    // The SHA-256 of the model file's contents the run is of (all 0 when the
    // model in memory is not the file's), carried by the results file.
    Sha256Digest model_fingerprint{};
    bool stiffness_export = false;       // the element matrices to a CSV file
    std::string stiffness_path;          // "<model>_K.csv"
    bool modal_forces_export = false;    // the end forces of every mode to a CSV file
    std::string modal_forces_path;       // "<model>_modal_forces.csv"
    std::string time_history_path;       // the time-history results (".rth")
    std::string susceptibility_path;     // the dynamic susceptibility (".rds")
    // Modes of the force recovery that the dynamic analyses use: the
    // per-element records keep the largest magnitudes (envelope) or the sum
    // of the squares; the resultant mode records four values per element.
    bool envelope = false;
    bool square_sum = false;
    bool resultants = false;
};

struct AnalysisModel {
    // Rows with copies of their objects (the built bend and jacket geometry
    // included), nodes, elements, row lists, branch points, coupled pairs.
    Model model;
    NamedSet<PipeMaterial> pipe_materials;
    NamedSet<PipeSection> pipe_sections;
    NamedSet<Soil> soils;
    NamedSet<BeamMaterial> beam_materials;
    NamedSet<BeamSection> beam_sections;
    AnalysisOptions options;
    // The unit choices of the model: the run's messages, warnings and notes
    // show their values in them.
    UnitChoices units{};
    int32_t piping_code = 0;
    // The environment switch ZEDIRUVI: the Bourdon strain goes with the
    // weight steps instead of the temperature steps.
    bool bourdon_with_weight = false;
    // The load cases of the run in the order of their results blocks: the
    // model's chosen cases, or the defaults when it has none.
    LoadCaseList load_cases;
    AnalysisLoads loads;
    AnalysisOutput output;
    bool batch_mode = false;
    // The catalogues the hanger design sizes from: those of the model's
    // catalogue hangers (null when it has none).
    std::shared_ptr<const HangerCatalogues> hanger_catalogues;
    // When the analysis divides elements (buried pipes into segments, whose
    // soil springs then stand closer): the model as the results file holds
    // it, with the document's nodes and elements, and for each of its
    // elements the first and the last element of `model` that make it up
    // (`model` keeps those nodes and elements first, in their order, and
    // appends the others). Null when nothing is divided.
    std::shared_ptr<const Model> results_model;
    OneBased<std::array<int, 2>> element_parts;
    const Model& written_model() const { return results_model ? *results_model : model; }
    // The element kinds' analysis functions (a copy of the registered table).
    ElementKindTable element_kinds{};

    int numnodes() const { return model.numnodes(); }
    int numelems() const { return model.numelems(); }
    int numrows() const { return model.numrows(); }
};
