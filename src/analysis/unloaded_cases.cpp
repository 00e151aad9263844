#include "analysis/unloaded_cases.h"

#include "analysis/load_case_steps.h"
#include "analysis_core/analysis_model.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "framework/text.h"
#include "loads/nodal_loads.h"
#include "supports/support_common.h"

#include <algorithm>

namespace {

bool any_nonzero(const auto& values)
{
    return std::any_of(std::begin(values), std::end(values), [](auto v) { return v != 0; });
}

// ---- Wind ---------------------------------------------------------------------------------------

// The wind flags of the loads: of those the elements use, and of all.
struct WindFlags {
    bool taken = false;          // an element's pipe or beam load has it on
    bool pipe_loads_on = false;  // some pipe load of the model has it on
    bool beam_loads_on = false;
    bool beam_loads = false;     // the model has beam loads or beams
};

WindFlags wind_flags(const AnalysisModel& m)
{
    const AnalysisLoads& loads = m.loads;
    WindFlags f;
    for (const Elem& e : m.model.elems) {
        f.taken = f.taken || (loads.pipe_loads.valid(e.load) && loads.pipe_loads[e.load].wind) ||
                  (e.kind == ET_BEAM && loads.beam_loads.valid(e.beam_load) && loads.beam_loads[e.beam_load].wind);
        f.beam_loads = f.beam_loads || e.kind == ET_BEAM;
    }
    for (const PipeLoadValues& l : loads.pipe_loads)
        f.pipe_loads_on = f.pipe_loads_on || l.wind;
    for (const BeamLoadValues& l : loads.beam_loads)
        f.beam_loads_on = f.beam_loads_on || l.wind;
    f.beam_loads = f.beam_loads || loads.beam_loads.size() > 0;
    return f;
}

std::string wind_line(int k, const WindFlags& f)
{
    const char* loads = f.beam_loads ? "pipe load and beam load" : "pipe load";
    const std::string why = f.pipe_loads_on || f.beam_loads_on
                                ? c_format("no element uses a %s whose wind flag is on",
                                           f.beam_loads ? "pipe or beam load" : "pipe load")
                                : c_format("the wind flag of every %s is off", loads);
    return c_format("Wind %d: no element takes wind (%s)", k, why.c_str());
}

// ---- Settlement ---------------------------------------------------------------------------------

bool settles(const AnalysisModel& m)
{
    return !settlement_nodes(m.model).empty();
}

// ---- Expansion (Tk) -----------------------------------------------------------------------------

int expansion_set_of(int code)
{
    for (int set = 1; set <= MAX_LOAD_SETS; ++set)
        if (expansion_code(set) == code)
            return set;
    return 0;
}

// Whether anything of thermal set k acts on a linear model: an element's
// temperature other than the reference, a pressure where its Bourdon effect
// acts in the temperature steps, a force of the set, a specified
// displacement of the set.
bool set_acts(const AnalysisModel& m, int k)
{
    const StepRow& step = step_row(expansion_code(k));
    const double reference = m.options.reference_temperature;
    const bool bourdon = m.options.bourdon_effect && !m.bourdon_with_weight;
    for (const Elem& e : m.model.elems) {
        const PipeLoadStep p = pipe_load_step(m, step, e.load, e.row);
        if (p.temperature != reference || (bourdon && p.pressure != 0.0))
            return true;
        if (e.kind == ET_BEAM && m.loads.beam_loads.valid(e.beam_load)) {
            const double t = m.loads.beam_loads[e.beam_load].temperature[static_cast<std::size_t>(k)];
            if (t != 0.0 && t != reference)
                return true;
        }
    }
    for (const LayoutRow& r : m.model.rows) {
        if (const auto* force = dynamic_cast<const ForceLoad*>(r.data.get());
            force && force->load_case == k && any_nonzero(force->values))
            return true;
        if (const DisplacementSets* sets = displacement_sets_of(r);
            sets && sets->given[static_cast<std::size_t>(k)] && any_nonzero(sets->values[static_cast<std::size_t>(k)]))
            return true;
    }
    return false;
}

}  // namespace

std::vector<std::string> unloaded_case_lines(const AnalysisModel& m, bool linear)
{
    std::vector<std::string> lines;
    const WindFlags wind = wind_flags(m);
    for (int i = 1; i <= m.load_cases.count(); ++i) {
        const int code = m.load_cases.code(i);
        const StepRow& row = step_row(code);
        if (row.wind != 0 && !wind.taken)
            lines.push_back(wind_line(row.wind, wind));
        else if (row.settlement && !settles(m))
            lines.push_back(load_case_names(code) + ": nothing settles (no anchor or nozzle is given a settlement)");
        else if (const int k = expansion_set_of(code); k != 0 && linear && !set_acts(m, k))
            lines.push_back(c_format("%s: nothing expands or moves (no element's temperature T%d differs from the "
                                     "reference temperature, and no force or displacement of set T%d is given)",
                                     load_case_names(code).c_str(), k, k));
    }
    return lines;
}

std::string wind_case_note_name(int code)
{
    const int k = step_row(code).wind;
    return k != 0 ? c_format("Wind %d", k) : std::string();
}
