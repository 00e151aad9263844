#include "analysis/model_check.h"

#include "analysis/buried_piping.h"
#include "analysis/load_case_steps.h"
#include "analysis_core/analysis_model.h"
#include "analysis_core/element_kinds.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "elements/beam.h"
#include "elements/branch_joints.h"
#include "elements/elastic_element.h"
#include "elements/element_common.h"
#include "elements/joints.h"
#include "loads/nodal_loads.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "materials/beam_section.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "model/load_cases.h"
#include "model/model.h"
#include "model/nodes.h"
#include "model/piping_codes.h"
#include "model/value_bounds.h"
#include "supports/anchor.h"
#include "supports/nozzle.h"

#include <algorithm>
#include <cmath>
#include <vector>

namespace {

// Shorter elements than this (inch) are of zero length.
constexpr double ZERO_LENGTH = 1.0e-3;

bool finite(double v)
{
    return std::isfinite(v);
}

std::string node_name(const Model& m, int node)
{
    return m.nodes.valid(node) ? node_text(m.nodes[node].number) : std::string();
}

[[noreturn]] void row_fault(int row, const std::string& text)
{
    throw_message(c_format("Row %d: ", row) + text);
}

// Element kinds whose rows need an object of their own class: all but From,
// Location, Pipe, Comment and the hydrotest load (checked with its case).
bool etype_needs_class(int etype)
{
    return etype_is_element(etype) && etype != ET_PIPE;
}

// Data kinds that change the analysis: supports, jacket connections,
// flanges (their weight), branch SIFs (the B31J joint flexibility), loads
// at a node. The other piping-code attributes (user SIFs, welds, threaded
// joints) do not.
bool dtype_acts_in_analysis(int dtype)
{
    switch (dtype) {
    case DT_USER_SIF:
    case DT_WELD:
    case DT_THREADED_JOINT:
        return false;
    default:
        return dtype != DT_NONE;
    }
}

// Elements that have no length by nature.
bool kind_may_have_zero_length(int kind)
{
    return kind == ET_HINGE_JOINT || kind == ET_BALL_JOINT || kind == ET_ELASTIC;
}

// What the objects of the joints, elastic elements and beams need for the
// analysis that their records may lack.
void check_element_object(const AnalysisModel& model, int row)
{
    const LayoutRow& r = model.model.rows[row];
    if (const auto* hinge = dynamic_cast<const HingeJoint*>(r.element.get()); hinge && !hinge->has_axis())
        row_fault(row, c_format("the hinge at node %s has no axis direction", node_text(r.node).c_str()));
    LocalAxes axes;
    if (const auto* elastic = dynamic_cast<const ElasticElement*>(r.element.get()); elastic && !elastic->axes(axes))
        row_fault(row, c_format("the local axes of the elastic element at node %s are not valid",
                                node_text(r.node).c_str()));
    // A reducer's ends each as they are, before the analysis averages them;
    // a bend's own walls.
    const auto section_od = [&model](const std::string& name) {
        const int s = model.pipe_sections.index(name);
        return s != 0 ? double(model.pipe_sections[s].outside_diameter) : 0.0;
    };
    if (const std::string fault = element_size_fault(r, section_od); !fault.empty())
        row_fault(row, fault);
    if (dynamic_cast<const Beam*>(r.element.get())) {
        if (model.beam_materials.index(r.material) == 0)
            row_fault(row, "Beam material " + r.material + " is not defined");
        if (model.beam_sections.index(r.section) == 0)
            row_fault(row, "Beam section " + r.section + " is not defined");
    }
}

void check_rows(const AnalysisModel& model)
{
    const Model& m = model.model;
    for (int row = 1; row <= m.numrows(); ++row) {
        const LayoutRow& r = m.rows[row];
        if (!finite(r.dx) || !finite(r.dy) || !finite(r.dz))
            row_fault(row, "an offset is not a number");
        const std::pair<const char*, float> offsets[] = {{"DX", r.dx}, {"DY", r.dy}, {"DZ", r.dz}};
        for (const auto& [name, value] : offsets)
            if (const std::string fault = beyond(COORDINATE_BOUND, value, std::string("the offset ") + name);
                !fault.empty())
                row_fault(row, fault);
        if (etype_needs_class(r.etype) && (!r.element || dynamic_cast<const NeutralElement*>(r.element.get())))
            row_fault(row, c_format("%s elements cannot be analysed in this version", element_type_name(r.etype)));
        if (dtype_acts_in_analysis(r.dtype) && (!r.data || dynamic_cast<const NeutralDataItem*>(r.data.get())))
            row_fault(row, c_format("%s cannot be analysed in this version", data_type_name(r.dtype)));
        if (const std::string fault = item_off_pipe_refusal(m, row, r.etype, r.dtype); !fault.empty())
            throw_message(fault);
        if (r.data)
            r.data->check(m, row);
        check_element_object(model, row);

        if (!etype_is_bend(r.etype) || !r.element)
            continue;
        const BendGeometry* bend = r.element->bend_geometry();
        if (!bend || !bend->geometry_valid)
            row_fault(row, c_format("the bend at node %s has no arc: it needs a section or a radius, and a run "
                                    "before and after it",
                                    node_text(r.node).c_str()));
        ElementSectionTerms terms;
        r.element->section_terms(terms);
        if (terms.user_flexibility_factor == 0.0)
            row_fault(row, c_format("the flexibility factor of the bend at node %s is 0", node_text(r.node).c_str()));
        if (!finite(terms.user_flexibility_factor))
            row_fault(row, "the flexibility factor of the bend is not a number");
        const auto angle_text = [](double radians) { return value_with_unit(ANGLE, radians, 4); };
        const std::pair<int32_t, float> intermediate[] = {{bend->node1, bend->angle1}, {bend->node2, bend->angle2}};
        // A jacketed bend's intermediate nodes lie on the jacket, whose near
        // tangent point is in the band above the core's far one.
        const std::string near =
            node_text(r.node + (r.etype == ET_JACKETED_BEND ? 3 * NODE_BAND : NEAR_TANGENT_OFFSET));
        for (const auto& [number, angle] : intermediate) {
            if (number == 0)
                continue;
            // At 0 the node is the near tangent point, which the build makes
            // a node of its own; an intermediate node lies on the arc.
            if (angle == 0.0f)
                row_fault(row, c_format("intermediate node %s is at %s, the bend's near tangent point %s",
                                        node_text(number).c_str(), angle_text(0.0).c_str(), near.c_str()));
            else if (angle < 0.0f)
                row_fault(row, c_format("intermediate node %s is at %s, before the bend's near tangent point %s",
                                        node_text(number).c_str(), angle_text(angle).c_str(), near.c_str()));
            else if (!(angle < bend->bend_angle))
                row_fault(row, c_format("intermediate node %s is at %s, at or beyond the bend angle of %s",
                                        node_text(number).c_str(), angle_text(angle).c_str(),
                                        angle_text(bend->bend_angle).c_str()));
        }
    }
}

void check_nodes(const Model& m)
{
    for (const NodeRecord& n : m.nodes) {
        if (!finite(n.x) || !finite(n.y) || !finite(n.z))
            throw_message(c_format("Node %s: a coordinate is not a number", node_text(n.number).c_str()));
        const std::pair<const char*, float> xyz[] = {{"X", n.x}, {"Y", n.y}, {"Z", n.z}};
        for (const auto& [name, value] : xyz)
            if (const std::string fault = beyond(COORDINATE_BOUND, value, std::string("its ") + name + " coordinate");
                !fault.empty())
                throw_message(c_format("Node %s: ", node_text(n.number).c_str()) + fault);
    }
}

void check_section(const SectionProperties& p, int row)
{
    const double values[] = {p.length,        p.outside_diameter, p.thickness,       p.area,
                             p.inertia,       p.shear_coefficient, p.modulus,        p.reference_modulus,
                             p.shear_modulus, p.poisson,          p.hoop_modulus,    p.expansion,
                             p.weight,        p.temperature,      p.pressure,        p.thrust_area,
                             p.cold_spring_cut, p.insulation_thickness};
    for (double v : values)
        if (!finite(v))
            row_fault(row, "a value of its material, section or load is not a number");
    if (p.metal_weight < 0.0 || p.contents_weight < 0.0)
        row_fault(row, "a density of its material or load is below 0");
    // The element's own diameter and wall (a reducer's, a jacket's) within
    // what a piping model can hold; 0 where a kind takes no section.
    const std::pair<const ValueBound*, double> sizes[] = {{&OUTSIDE_DIAMETER_BOUND, p.outside_diameter},
                                                          {&WALL_THICKNESS_BOUND, p.thickness}};
    for (const auto& [bound, value] : sizes)
        if (value > 0.0)
            if (const std::string fault =
                    beyond(*bound, value, bound == &OUTSIDE_DIAMETER_BOUND ? "its outside diameter" : "its wall");
                !fault.empty())
                row_fault(row, fault);
}

// The values of a section that a file may bring out of range.
void check_section_record(const PipeSection& s)
{
    const float values[] = {s.insulation_density, s.insulation_thickness, s.lining_density, s.lining_thickness,
                            s.corrosion_allowance};
    for (float v : values)
        if (!finite(v) || v < 0.0f)
            throw_message("Section " + s.name + ": an insulation, lining or corrosion value is below 0");
}

void check_elements(const AnalysisModel& model, const std::vector<int>& static_codes)
{
    const Model& m = model.model;
    const ElementKindTable& kinds = model.element_kinds;
    for (int index = 1; index <= m.numelems(); ++index) {
        const Elem& e = m.elems[index];
        if (e.kind < 0 || e.kind > MAX_ETYPE || !kinds[static_cast<std::size_t>(e.kind)].assemble)
            row_fault(e.row, c_format("%s elements cannot be analysed in this version", element_type_name(e.kind)));
        const double length = node_distance(m, e.node1, e.node2);
        if (length < ZERO_LENGTH && !kind_may_have_zero_length(e.kind))
            row_fault(e.row, c_format("the element from node %s to node %s has zero length",
                                      node_name(m, e.node1).c_str(), node_name(m, e.node2).c_str()));
        if (etype_is_bend(e.kind)) {
            const double radius = e.bend_radius(m);
            if (!(radius > 0.0) || !finite(radius))
                row_fault(e.row, c_format("the bend from node %s to node %s has no radius",
                                          node_name(m, e.node1).c_str(), node_name(m, e.node2).c_str()));
        }
        if (e.kind == ET_BEAM || e.kind == ET_TIE_ROD)
            continue;   // their quantities are the beam data's
        if (model.pipe_sections.valid(e.section))
            check_section_record(model.pipe_sections[e.section]);
        for (int code : static_codes)
            check_section(section_properties(model, step_row(code), index), e.row);
    }
}

void check_loads(const AnalysisModel& model)
{
    const AnalysisLoads& loads = model.loads;
    const int sets_in_use = numtloads_valid(model.options.numtloads) ? model.options.numtloads : 1;
    if (const std::string fault =
            beyond(TEMPERATURE_BOUND, model.options.reference_temperature, "the reference temperature");
        !fault.empty())
        throw_message("Analysis options: " + fault);
    for (const PipeLoadValues& l : loads.pipe_loads) {
        bool ok = finite(l.design_temperature) && finite(l.design_pressure) && finite(l.specific_gravity) &&
                  finite(l.added_weight);
        for (int k = 1; k <= MAX_LOAD_SETS; ++k)
            ok = ok && finite(l.temperature[static_cast<std::size_t>(k)]) &&
                 finite(l.pressure[static_cast<std::size_t>(k)]);
        if (!ok)
            throw_message("Load " + l.name + ": a value is not a number");
        std::string fault;
        for (int k = 1; k <= sets_in_use && fault.empty(); ++k) {
            fault = beyond(TEMPERATURE_BOUND, l.temperature[static_cast<std::size_t>(k)],
                           c_format("the temperature T%d", k));
            if (fault.empty())
                fault = beyond(PRESSURE_BOUND, l.pressure[static_cast<std::size_t>(k)], c_format("the pressure P%d", k));
        }
        if (fault.empty())
            fault = beyond(TEMPERATURE_BOUND, l.design_temperature, "the design temperature");
        if (fault.empty())
            fault = beyond(PRESSURE_BOUND, l.design_pressure, "the design pressure");
        if (!fault.empty())
            throw_message("Load " + l.name + ": " + fault);
    }
    for (const BeamLoadValues& l : loads.beam_loads) {
        bool ok = finite(l.added_weight);
        for (double t : l.temperature)
            ok = ok && finite(t);
        if (!ok)
            throw_message("Beam load " + l.name + ": a value is not a number");
        for (int k = 1; k <= sets_in_use; ++k)
            if (const std::string fault = beyond(TEMPERATURE_BOUND, l.temperature[static_cast<std::size_t>(k)],
                                                 c_format("the temperature T%d", k));
                !fault.empty())
                throw_message("Beam load " + l.name + ": " + fault);
    }
    const StaticSeismic& g = loads.seismic;
    if (!finite(g.gx) || !finite(g.gy) || !finite(g.gz))
        throw_message("Seismic: a g factor is not a number");
    for (int k = 1; k <= 4; ++k) {
        const WindCase& w = loads.wind[static_cast<std::size_t>(k)];
        if (w.defined && (!finite(w.direction.x) || !finite(w.direction.y) || !finite(w.direction.z) ||
                          !finite(w.gust_factor) || !finite(w.structure_height) || !w.pressure_at))
            throw_message(c_format("Wind %d: a value is not a number", k));
    }
    auto hydrotest_fault = [](const HydrotestValues& h) {
        return h.defined && (!finite(h.pressure) || !finite(h.specific_gravity) || !finite(h.temperature));
    };
    if (hydrotest_fault(loads.hydrotest))
        throw_message("Hydrotest: a value is not a number");
    auto hydrotest_bounds = [](const HydrotestValues& h) {
        if (!h.defined)
            return std::string();
        const std::string fault = beyond(TEMPERATURE_BOUND, h.temperature, "the test temperature");
        return fault.empty() ? beyond(PRESSURE_BOUND, h.pressure, "the test pressure") : fault;
    };
    if (const std::string fault = hydrotest_bounds(loads.hydrotest); !fault.empty())
        throw_message("Hydrotest: " + fault);
    for (int row = 1; row <= loads.row_hydrotest.size(); ++row)
        if (const std::string fault = hydrotest_bounds(loads.row_hydrotest[row]); !fault.empty())
            row_fault(row, fault);
    for (int row = 1; row <= loads.row_hydrotest.size(); ++row)
        if (hydrotest_fault(loads.row_hydrotest[row]))
            row_fault(row, "a hydrotest value is not a number");
}

bool has_spectrum(const std::vector<SpectrumCurve>& list, const std::string& name, bool force)
{
    for (const SpectrumCurve& s : list)
        if (s.name == name)
            return !s.points.empty() && (s.ordinate == SpectrumCurve::LOAD_FACTOR) == force;
    return false;
}

template <typename T>
bool model_has_item(const Model& m)
{
    return std::any_of(m.rows.begin(), m.rows.end(),
                       [](const LayoutRow& r) { return dynamic_cast<const T*>(r.data.get()) != nullptr; });
}

bool seismic_displacement_given(const Model& m)
{
    for (const LayoutRow& r : m.rows)
        if (const DisplacementSets* sets = displacement_sets_of(r); sets && sets->given[SEISMIC_DISPLACEMENT_SET])
            return true;
    return false;
}

// What a dynamic case needs of the model; throws "Load case <name>: ...".
void check_dynamic_case(const AnalysisModel& model, int code, const std::string& name)
{
    const DynamicInput& in = model.loads.dynamic;
    const Model& m = model.model;
    auto refuse = [&name](const std::string& why) { throw_message("Load case " + name + ": " + why); };
    if (model.options.number_of_modes <= 0 && model.options.cutoff_frequency <= 0)
        refuse("no number of modes and no cutoff frequency are given (Analysis Options)");
    if (code == LC_RESPONSE_SPECTRUM || code == LC_MISSING_MASS) {
        const ResponseSpectrumSettings& rs = in.response_spectrum;
        if (rs.spectrum[0].empty() && rs.spectrum[1].empty() && rs.spectrum[2].empty())
            refuse("no direction names a spectrum (Loads > Response Spectrum)");
        for (std::size_t d = 0; d < 3; ++d)
            if (!rs.spectrum[d].empty() && !has_spectrum(in.spectra, rs.spectrum[d], false))
                refuse(c_format("the %c spectrum ", "XYZ"[d]) + rs.spectrum[d] +
                       " is not a response spectrum of the model with points");
        if (code == LC_MISSING_MASS && !model.options.include_missing_mass)
            refuse("the analysis option \"Include missing mass\" is off");
    }
    if (code == LC_SEISMIC_DISPLACEMENT && !seismic_displacement_given(m))
        refuse("no anchor or nozzle has a seismic displacement");
    if (code == LC_TIME_HISTORY) {
        if (!model_has_item<TimeVaryingLoad>(m))
            refuse("the model has no time-varying load");
        const TimeHistorySettings& o = in.time_history;
        if (!(o.time_step > 0.0) || !(o.end_time >= o.time_step) || !(o.output_interval >= o.time_step) ||
            !(o.damping >= 0.0 && o.damping <= 1.0))
            refuse("the time-history options are out of range");
        if (o.end_time / o.time_step > 1.0e7)
            refuse("more than 10,000,000 time steps");
        for (int row = 1; row <= m.numrows(); ++row)
            if (const auto* t = dynamic_cast<const TimeVaryingLoad*>(m.rows[row].data.get());
                t && (t->function < 1 || t->function > static_cast<int>(in.time_functions.size()) ||
                      in.time_functions[static_cast<std::size_t>(t->function - 1)].empty()))
                refuse(c_format("the time-varying load of row %d names time function %d, which is not defined", row,
                                t->function));
    }
    if (code == LC_HARMONIC) {
        if (!model_has_item<HarmonicLoad>(m))
            refuse("the model has no harmonic load");
        for (int row = 1; row <= m.numrows(); ++row)
            if (const auto* h = dynamic_cast<const HarmonicLoad*>(m.rows[row].data.get()); h && !(h->frequency > 0.0f))
                refuse(c_format("the harmonic load of row %d has no frequency above 0", row));
    }
    if (code == LC_FORCE_SPECTRUM) {
        if (!model_has_item<ForceSpectrumLoad>(m))
            refuse("the model has no force spectrum load");
        for (int row = 1; row <= m.numrows(); ++row)
            if (const auto* f = dynamic_cast<const ForceSpectrumLoad*>(m.rows[row].data.get());
                f && !has_spectrum(in.force_spectra, f->spectrum, true))
                refuse(c_format("the force spectrum load of row %d names the force spectrum ", row) + f->spectrum +
                       ", which is not defined with points");
    }
}

// The chosen load cases; returns the codes the static driver assembles.
std::vector<int> check_load_cases(const AnalysisModel& model)
{
    const LoadCaseList& cases = model.load_cases;
    if (cases.empty())
        throw_message("No load case is chosen");
    std::vector<int> assembled;
    auto add = [&assembled](int code) {
        if (std::find(assembled.begin(), assembled.end(), code) == assembled.end())
            assembled.push_back(code);
    };
    // The sets beyond the options' number of thermal sets keep their values
    // but are not in use: a case of such a set is refused, not run with them.
    const int sets = numtloads_valid(model.options.numtloads) ? model.options.numtloads : 1;
    auto check_sets = [sets](const StepRow& row, const std::string& name) {
        for (int set : {row.temperature_set, row.pressure_set, row.displacement_set})
            if (set > sets && set <= MAX_LOAD_SETS)
                throw_message(c_format("Load case %s: load set %d is beyond the %d thermal load sets in use",
                                       name.c_str(), set, sets));
    };
    for (int i = 1; i <= cases.count(); ++i) {
        const int code = cases.code(i);
        const std::string& name = load_case_names(code);
        if (code < 1 || code > MAX_LOAD_CASE_CODE)
            throw_message(c_format("Load case %d is not defined", code));
        check_sets(step_row(code), name);
        if (step_row(code).solve == StepSolve::Range) {
            check_sets(step_row(step_row(code).range_first), name);
            check_sets(step_row(step_row(code).range_second), name);
        }
        if (cases.find(code) != i)
            throw_message("Load case " + name + " is chosen twice");
        const StepRow& row = step_row(code);
        if (code == LC_SETTLEMENT && !step_has_display_position(code, model.piping_code))
            throw_message("Load case " + name + " applies to the ASME Class 2 and 3, RCC-M and EN 13480 codes only");
        if (!load_case_analysable(code, model.piping_code))
            throw_message("Load case " + name + " cannot be analysed in this version");
        if (row.dynamic) {
            check_dynamic_case(model, code, name);
            // The modal step, and the operating case a nonlinear model
            // starts it from.
            add(LC_MODAL);
            add(LC_OPERATING_1);
            continue;
        }
        if (row.wind != 0 && !model.loads.wind[static_cast<std::size_t>(row.wind)].defined)
            throw_message(c_format("Load case %s: wind load %d is not defined", name.c_str(), row.wind));
        if (row.seismic_g && !model.loads.seismic.any())
            throw_message("Load case " + name + ": no static seismic g factor is given");
        if (row.pressure_set == SET_HYDROTEST && !model.loads.hydrotest.defined)
            throw_message("Load case " + name + ": the hydrotest load is not defined");
        if (row.solve == StepSolve::Range) {
            add(row.range_first);
            add(row.range_second);
        } else {
            add(code);
        }
    }
    return assembled;
}

// A section that names a soil: the soil must exist, and the soil must bury
// some of the section's elements (a ground level below all of them is a
// level typed wrongly: the section would be buried in name only).
void check_buried_sections(const AnalysisModel& model)
{
    const Model& m = model.model;
    for (int index = 1; index <= model.pipe_sections.size(); ++index) {
        const PipeSection& section = model.pipe_sections[index];
        if (section.name.empty() || section.soil.empty())
            continue;
        const int soil = model.soils.index(section.soil);
        if (soil == 0)
            throw_message("Section " + section.name + ": its soil " + section.soil + " is not defined");
        bool used = false;
        bool buried = false;
        for (int e = 1; e <= m.numelems() && !buried; ++e) {
            if (m.elems[e].section != index || !element_kind_may_be_buried(m, m.elems[e]))
                continue;
            used = true;
            buried = element_is_buried(model, e);
        }
        if (used && !buried)
            throw_message("Section " + section.name + ": the ground level of its soil " + section.soil +
                          " is below every node of its elements, so none of them is buried");
    }
}

}  // namespace

bool dynamic_case_offered(const Model& m, const DynamicInput& input, int code)
{
    switch (code) {
    case LC_MODAL:
        return true;
    case LC_RESPONSE_SPECTRUM:
    case LC_MISSING_MASS:
        return std::any_of(input.response_spectrum.spectrum.begin(), input.response_spectrum.spectrum.end(),
                           [](const std::string& name) { return !name.empty(); }) &&
               !input.spectra.empty();
    case LC_SEISMIC_DISPLACEMENT:
        return seismic_displacement_given(m);
    case LC_TIME_HISTORY:
        return model_has_item<TimeVaryingLoad>(m) && !input.time_functions.empty();
    case LC_HARMONIC:
        return model_has_item<HarmonicLoad>(m);
    case LC_FORCE_SPECTRUM:
        return model_has_item<ForceSpectrumLoad>(m) && !input.force_spectra.empty();
    default:
        return false;
    }
}

bool load_case_analysable(int code, int32_t piping_code)
{
    if (code < 1 || code > MAX_LOAD_CASE_CODE)
        return false;
    const StepRow& row = step_row(code);
    if (row.solve == StepSolve::Modal)
        return true;
    // The steps 26-29 make the response spectrum; they are not cases of their own.
    if (row.solve == StepSolve::Dynamic)
        return code >= LC_RESPONSE_SPECTRUM;
    return (row.solve == StepSolve::Static || row.solve == StepSolve::Range) &&
           step_has_display_position(code, piping_code);
}

void check_analysis_model(const AnalysisModel& model)
{
    if (!validate_options(model.options).empty())
        throw_message("Analysis options: " + validate_options(model.options));
    check_rows(model);
    check_nodes(model.model);
    check_buried_sections(model);
    check_loads(model);
    const std::vector<int> codes = check_load_cases(model);
    check_elements(model, codes);
}

std::vector<std::string> analysis_model_warnings(const AnalysisModel& model)
{
    const Model& m = model.model;
    std::vector<std::string> warnings;
    std::vector<int> named;
    for (int index = 1; index <= m.numelems(); ++index) {
        const Elem& e = m.elems[index];
        if (e.kind != ET_BEAM || !model.beam_sections.valid(e.beam_section) ||
            std::find(named.begin(), named.end(), e.beam_section) != named.end())
            continue;
        const BeamSection& s = model.beam_sections[e.beam_section];
        if (s.torsion() != 0.0f)
            continue;
        named.push_back(e.beam_section);
        warnings.push_back(c_format("Beam section %s has a torsional constant of 0: I major + I minor (%s) "
                                    "stands for it, which makes an open shape far too stiff in torsion",
                                    s.name.c_str(), value_text(INERTIA, double(s.major_i()) + s.minor_i()).c_str()));
    }
    for (const NodeConflict& c : node_position_conflicts(m))
        warnings.push_back(c_format("Node %s is given two places: row %d places it, and row %d's offsets would "
                                    "put it %s away; the place of row %d holds",
                                    node_text(c.node).c_str(), c.placed_by, c.row,
                                    value_text(LENGTH, c.distance).c_str(), c.placed_by));
    for (int node = 1; node <= m.numnodes(); ++node)
        if (const std::string w = branch_joint_warning(model, node); !w.empty())
            warnings.push_back(w);
    for (std::string& w : soil_factor_warnings(model))
        warnings.push_back(std::move(w));
    // A settlement that the piping code has no load case for, or whose case
    // the run's cases leave out.
    const bool settlement_code = code_is_class2_group(model.piping_code);
    if (!settlement_code || !model.load_cases.contains(LC_SETTLEMENT))
        for (int32_t node : settlement_nodes(m))
            warnings.push_back(
                settlement_code
                    ? c_format("The settlement given at node %s is not analysed: the Settlement load case is not chosen",
                               node_text(node).c_str())
                    : c_format("The settlement given at node %s is not analysed: %s has no Settlement load case (the "
                               "ASME Class 2 and 3, RCC-M and EN 13480 codes have it)",
                               node_text(node).c_str(), piping_code_name(model.piping_code).c_str()));
    // Loads that only a dynamic case takes, where the run's cases (an
    // imported model's defaults, say) leave that case out.
    struct DynamicLoads {
        int code;
        const char* loads;
    };
    static constexpr DynamicLoads DYNAMIC_LOADS[] = {
        {LC_RESPONSE_SPECTRUM, "response spectra"},
        {LC_FORCE_SPECTRUM, "force spectrum loads"},
        {LC_TIME_HISTORY, "time-varying loads"},
        {LC_HARMONIC, "harmonic loads"},
    };
    for (const DynamicLoads& d : DYNAMIC_LOADS)
        if (dynamic_case_offered(m, model.loads.dynamic, d.code) && !model.load_cases.contains(d.code))
            warnings.push_back(c_format("The model's %s are not analysed: choose their load case, %s, in the Load "
                                        "Cases dialog",
                                        d.loads, load_case_names(d.code).c_str()));
    return warnings;
}
