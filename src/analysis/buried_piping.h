// Buried piping: the soil that holds a buried pipe along its length, as
// bilinear (elastic - perfectly plastic) springs.
//
// An element is buried when its pipe section names a soil and both its end
// nodes are at or below that soil's ground level on the vertical axis (Y, or
// Z with the option); an element that crosses the ground level is not.
// Pipes, cut pipes, reducers, bends, miters and valves can be buried; of a
// jacketed pipe or bend the jacket.
//
// The soil of a buried element acts in four directions: along the pipe
// (axial), horizontally across it (transverse), down into the soil below it
// (bearing) and up through the cover above it (uplift); on a vertical pipe
// the transverse springs act in both horizontal directions and there is no
// bearing or uplift. The maximum soil load per length and the displacement
// at which it is reached come from the American Lifelines Alliance,
// Guidelines for the Design of Buried Steel Pipe (July 2001), Appendix B,
// for the soil's type: cohesive soils by their shear strength, cohesionless
// soils by their weight density, the friction angle delta and the
// coefficient of lateral pressure Ks. The depth is the ground level less the
// elevation of the element's middle; the diameter is the section's outside
// diameter, with twice the insulation thickness when the soil includes it.
//
// The soil acts along the element's path: a bend's (or miter's) along its
// arc, whose length is the soil's length. Each buried element's soil is put
// on its two end nodes, half of the element's length on each, along the
// path's direction there (the arc's tangent on a bend) and across it; a
// buried straight pipe or arc is first divided into segments short against
// the length over which its soil load changes, an arc also into segments
// that turn by little, on its arc (divide_buried_elements), so that the
// springs stand close enough and follow the pipe. A spring is elastic up to
// its maximum load and carries that load beyond it; the springs take part
// in the nonlinear iterations of every static case.
#pragma once

#include "analysis_core/analysis_run.h"
#include "framework/geometry.h"
#include "materials/pipe_section.h"
#include "materials/soil.h"
#include "model/model.h"
#include "model/named_set.h"

#include <string>
#include <vector>

struct SoilRestraintRecord;

// The soil of one length of pipe: the maximum load per length (lb/in) and
// the stiffness per length (lb/in per inch of length) in each direction.
struct SoilSpringValues {
    double axial_load = 0.0, axial_stiffness = 0.0;
    double transverse_load = 0.0, transverse_stiffness = 0.0;
    double down_load = 0.0, down_stiffness = 0.0;
    double up_load = 0.0, up_stiffness = 0.0;
};

// The ends of the ranges the fitted factors hold on: Nqh up to this H/D,
// the adhesion factor alpha up to this undrained shear strength (kips per
// square foot). Beyond them a factor keeps the value of the end of its
// range (buried_piping.cpp says why), and the run says so
// (soil_factor_warnings).
inline constexpr double NQH_FITTED_DEPTH_RATIO = 10.0;
inline constexpr double ALPHA_FITTED_STRENGTH_KSF = 4.0;

// The factors of the Appendix B equations (angles in degrees), given for
// the hand checks of the tests.
double soil_adhesion_factor(double cohesion_psi);           // alpha, B.1
double lateral_cohesion_factor(double depth_ratio);         // Nch, B.2
double lateral_friction_factor(double phi, double depth_ratio);   // Nqh, B.2
double bearing_cohesion_factor(double phi);                 // Nc, B.4
double bearing_surcharge_factor(double phi);                // Nq, B.4
double bearing_weight_factor(double phi);                   // Ngamma, B.4

// The soil of a pipe of outside diameter `diameter` (inch) whose centre lies
// `depth` (inch) below the ground.
SoilSpringValues soil_spring_values(const Soil& soil, double diameter, double depth);

// The kinds whose soil the analysis takes: pipes, cut pipes, reducers,
// bends, miters, valves and the jacket of jacketed pipes and bends (never
// their core).
bool element_kind_may_be_buried(const Model& model, const Elem& element);
// True when the element is buried (above). `z_vertical` names the vertical axis.
bool element_is_buried(const Model& model, const NamedSet<PipeSection>& sections, const NamedSet<Soil>& soils,
                       bool z_vertical, int element);
bool element_is_buried(const AnalysisModel& model, int element);

// The centre line of an element: the straight line between its nodes, or
// the arc of a bend, miter or jacket bend (centre, radius, angle, the unit
// vector from the centre to node 1 and the arc's tangent there).
struct ElementPath {
    Vec3 start, end;
    bool arc = false;
    Vec3 centre;
    double radius = 0.0, angle = 0.0;
    Vec3 from_centre, start_tangent;
    // Along the straight line, or R times the angle.
    double length() const;
    // The point and the unit direction (towards node 2) at the part f of
    // the length from node 1.
    Vec3 point(double f) const;
    Vec3 tangent(double f) const;
};
ElementPath element_path(const Model& model, int element);

// Divides the buried straight pipes and arcs of the analysis model into
// segments short enough for their soil: at most a fifth of the
// characteristic length 1/beta of a beam on the element's stiffest soil
// across it, beta = (k / 4EI)^(1/4), and of the axial length sqrt(EA /
// k_axial); an arc also into segments of at most 15 degrees, its new nodes
// on the arc (its segments are arcs of the same bend: together as flexible
// as the whole). At most 200 segments an element and 50000 added nodes in
// all. The model keeps its nodes and elements first (each divided element
// becomes its first segment), the results model keeps the undivided model.
void divide_buried_elements(AnalysisModel& model);
// The results of a case of the divided model for the written model: the
// displacements of its nodes, and the end forces of each of its elements
// from the first and last segment that make it up.
CaseResults results_of_written_model(const AnalysisModel& model, CaseResults results);

// The buried elements of a model with their soil, per element: the soil
// index, the spring values per length and the element's length along its
// path (a bend's arc length).
struct BuriedElement {
    int element = 0;
    int soil = 0;
    double length = 0.0;
    double depth = 0.0, diameter = 0.0;   // H and D of the equations (inch), H at the path's middle
    SoilSpringValues values;
};
std::vector<BuriedElement> buried_elements(const Model& model, const NamedSet<PipeSection>& sections,
                                          const NamedSet<Soil>& soils, bool z_vertical);

// What a run says of the factors it holds at the end of their fitted range,
// one line per soil and factor: a cohesionless soil whose buried elements
// lie deeper than NQH_FITTED_DEPTH_RATIO diameters (their count, the
// deepest and its nodes), a cohesive soil stronger than
// ALPHA_FITTED_STRENGTH_KSF that buries an element. Values in the chosen
// units.
std::vector<std::string> soil_factor_warnings(const AnalysisModel& model);

// The soil-restraint records of the results file: per buried element the
// stiffness and maximum load of its whole length in the four directions.
std::vector<SoilRestraintRecord> soil_restraint_records(const AnalysisModel& model);

// The soil springs of a run, with their states (a RunState of the run).
class SoilSprings : public CopiedState<SoilSprings> {
public:
    // Makes the springs of the model's buried elements.
    explicit SoilSprings(const AnalysisModel& model);
    SoilSprings() = default;

    bool empty() const { return springs_.empty(); }
    // Every spring elastic, pushing back on the side of its first motion
    // (down for the vertical springs).
    void reset();
    // Stiffness and loads of the springs in their states (every coupling in
    // the structure pass).
    void assemble(AnalysisRun& run, bool with_loads = true) const;
    // After a solution: the new states; counts each spring whose state
    // changed as not converged. True when none changed.
    bool update(AnalysisRun& run);

    // A spring on node `node` along the unit direction d: a motion s along d
    // meets -k_pos s up to p_pos for s above 0, and -k_neg s up to p_neg
    // below.
    struct Spring {
        int node = 0;
        int element = 0;   // the buried element whose soil it is
        int kind = 0;      // the element's, for the iteration report
        Vec3 d;
        double k_pos = 0.0, p_pos = 0.0;
        double k_neg = 0.0, p_neg = 0.0;
        int state = 0;   // -2 yielded below, -1 elastic below, 1 elastic above, 2 yielded above
    };
    const std::vector<Spring>& springs() const { return springs_; }

private:
    static int state_of(const Spring& s, double motion);
    std::vector<Spring> springs_;
};
