// The analysis of the element kinds of this layer, and what their analysis
// functions share: the step and options the element kernels take, read from
// the run, and the wind pressure on a member.
//
// The kinds wired here: straight pipes (kind Pipe, which cut pipes become,
// kind Jacketed pipe and kind Reducer), and the arcs of bends, miters and
// jacketed bends (kinds Bend, Miter, Jacketed bend). Each kind's functions live in their
// own file (pipe_analysis.cpp, bend_analysis.cpp) and are registered in the
// element-kind table by install_element_analysis().
#pragma once

#include "analysis_core/element_kinds.h"
#include "elements/element_step.h"
#include "framework/geometry.h"

class AnalysisRun;
class ElementData;
struct Elem;

// Registers the analysis functions of the kinds above (register_element_kind).
void install_element_analysis();

// The loads of the run's current step as the element kernels take them
// (sets the run's g flags, see step_has_seismic_g).
ElementLoadStep element_load_step(AnalysisRun& run);
ElementLoadOptions element_load_options(const AnalysisRun& run);

// The wind pressure of wind case k on a member of exposed diameter `width`
// whose middle is at `elevation`: the case's pressure at the elevation, for a
// design-code (ASCE) wind load times the gust-effect factor and the force
// coefficient of the height (the structure height when given, else the
// elevation) and width. 0 when the case is not defined.
double member_wind_pressure(const AnalysisRun& run, int k, double elevation, double width);
// True when the wind of the step acts on the element: a wind case in the
// step, defined, the element's pipe load with its wind flag on, and the
// element not the core of a jacketed row.
bool wind_acts_on(const AnalysisRun& run, const Elem& element);

// Adds the step's wind on a member straight into the load vector, half at
// each node: the pressure (member_wind_pressure at the element's mid
// elevation, on the exposed width) over the area, normal to the unit axis.
// Nothing when the wind does not act on the element.
void add_member_wind(AnalysisRun& run, const Elem& element, double width, double area, const Vec3& axis);
// Adds a lumped mass to the three translations of both nodes (modal step).
void add_lumped_mass(AnalysisRun& run, const Elem& element, double mass);

// The straight element (kinds Pipe, Jacketed pipe and Reducer): stiffness
// and loads into the run, and its end forces after a solution.
void assemble_straight_element(AnalysisRun& run, int element);
void straight_element_forces(AnalysisRun& run, int element);
// Its parts, which the kinds built on it (valve, bellows, slip joint, rigid
// element) combine: the equations, axes and the stiffness of the given
// flexibility (the pipe's of the section when null, which alone takes the
// Bourdon strain) into the run's scratch, returning the load terms; the
// step's local load vector into the scratch; the wind of the step straight
// into the load vector (a valve's insulation multiplier on its insulation).
struct StraightElement;
struct StraightFlexibility;
StraightElement straight_element_setup(AnalysisRun& run, int element, const StraightFlexibility* flexibility);
void straight_element_step_loads(AnalysisRun& run, const StraightElement& element);
void straight_element_wind(AnalysisRun& run, int element, double insulation_multiplier = 1.0);

// The element object of an element's row (null when the row has none), and
// the same as class T, refused with "Row %d: <kind> elements cannot be
// analysed in this version" when the row's object is not one.
const ElementData* element_object(const AnalysisRun& run, int element);
[[noreturn]] void throw_not_analysable(const AnalysisRun& run, int element);
template <typename T>
const T& element_object_as(const AnalysisRun& run, int element)
{
    const auto* object = dynamic_cast<const T*>(element_object(run, element));
    if (!object)
        throw_not_analysable(run, element);
    return *object;
}

// The kinds of the structural and special elements: beams, ball and hinge
// joints, rigid elements, valves, bellows, slip joints, elastic elements and
// tie rods (their ElementKind with the nonlinear protocol where they have one).
ElementKind beam_element_kind();
ElementKind joint_element_kind();
ElementKind rigid_element_kind();
ElementKind valve_element_kind();
ElementKind bellows_element_kind();
ElementKind slip_joint_element_kind();
ElementKind elastic_element_kind();
ElementKind tie_rod_element_kind();

// The curved element of bends, miters and jacketed bends.
void assemble_bend(AnalysisRun& run, int element);
void bend_forces(AnalysisRun& run, int element);
