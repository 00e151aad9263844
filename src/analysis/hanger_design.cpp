#include "analysis/hanger_design.h"

#include "analysis_core/steps.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/nodes.h"
#include "supports/support_analysis.h"
#include "supports/support_common.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace {

constexpr int CODE_HANGER_LOADS = 20;
constexpr int CODE_HANGER_TRAVEL = 21;
constexpr int CODE_RECALC_LOADS = 22;
constexpr int CODE_RECALC_TRAVEL = 23;
constexpr int CODE_DESIGNING = 24;
constexpr int CODE_FINAL_LOADS = 25;

// The figure of a constant support sized without catalogue data.
constexpr const char* CONSTANT_FIGURE = "CONST";

// The hanger of a row when the run sizes it: a constant support, or a
// catalogue spring whose catalogue has data.
const Hanger* sized_hanger(const LayoutRow& r, const HangerCatalogues& catalogues)
{
    const auto* h = dynamic_cast<const Hanger*>(r.data.get());
    if (!h || !h->is_designed())
        return nullptr;
    return h->v.type == HANGER_CONSTANT || catalogues.find(h->v.type) ? h : nullptr;
}

double component(const CaseResults& c, int node, int direction)
{
    if (node <= 0)
        return 0.0;
    const std::size_t i = 6 * static_cast<std::size_t>(node - 1) + static_cast<std::size_t>(direction);
    return i < c.displacements.size() ? c.displacements[i] : 0.0;
}

// The motion of a hanger's node relative to its connected node (or the
// ground): vertical (up positive) and the horizontal magnitude.
struct Travel {
    double vertical = 0.0;
    double horizontal = 0.0;
};

// From the position of the weight case with the hangers rigid (the cold,
// installed position) to that of a hot case.
Travel travel_at(const AnalysisRun& run, const CaseResults& cold, const CaseResults& c, int row, const Hanger& h)
{
    const Model& m = run.layout();
    const int node = support_node(run, row);
    const int other = connected_node_index(m, h.v.connected);
    const int up = run.snapshot().options.z_vertical ? 2 : 1;
    Travel t;
    double horizontal = 0.0;
    for (int d = 0; d < 3; ++d) {
        const double u = component(c, node, d) - component(c, other, d) -
                         (component(cold, node, d) - component(cold, other, d));
        if (d == up)
            t.vertical = u;
        else
            horizontal += u * u;
    }
    t.horizontal = std::sqrt(horizontal);
    return t;
}

// The cold and hot loads of a spring of a rate from the design load.
void spring_loads(const HangerDemand& d, double rate, double& cold, double& hot)
{
    // A pipe that rises from cold to hot lets the spring extend: its load
    // falls by the rate times the travel.
    if (d.cold_load) {
        cold = d.load;
        hot = d.load - rate * d.travel;
    } else {
        hot = d.load;
        cold = d.load + rate * d.travel;
    }
}

HangerDesign constant_design(const ConstantSize* size, const HangerDemand& d)
{
    HangerDesign design;
    design.figure = size ? size->figure : CONSTANT_FIGURE;
    design.size = size ? size->size : std::string();
    design.spring_rate = 0.0f;
    design.vertical_travel = static_cast<float>(d.travel);
    design.horizontal_travel = static_cast<float>(d.horizontal);
    design.cold_load = static_cast<float>(d.load);
    design.hot_load = static_cast<float>(d.load);
    return design;
}

// The note of a demand: its load and travel, the catalogue's name. A load
// or travel that is no number is noted as 0, which the results file can
// hold (its reader refuses a note that is no number).
HangerNote demand_note(const HangerCatalogue* catalogue, const HangerDemand& d, HangerNoteReason reason)
{
    const auto noted = [](double v) { return std::isfinite(static_cast<float>(v)) ? static_cast<float>(v) : 0.0f; };
    HangerNote note;
    note.reason = reason;
    note.load = noted(d.load);
    note.travel = noted(d.travel);
    note.catalogue = catalogue ? catalogue->name : std::string();
    return note;
}

HangerChoice choose_constant(const HangerCatalogue* catalogue, const HangerDemand& d)
{
    HangerChoice choice;
    choice.constant = true;
    if (!catalogue || catalogue->constants.empty()) {
        choice.designed = true;
        choice.design = constant_design(nullptr, d);
        return choice;
    }
    const ConstantSize* best = nullptr;
    for (const ConstantSize& c : catalogue->constants) {
        if (d.load < c.min_load || d.load > c.max_load || std::fabs(d.travel) > c.travel)
            continue;
        if (!best || c.max_load < best->max_load)
            best = &c;
    }
    if (!best) {
        choice.note = demand_note(catalogue, d, HangerNoteReason::NoConstantSize);
        return choice;
    }
    choice.designed = true;
    choice.design = constant_design(best, d);
    return choice;
}

}  // namespace

double load_variation(double rate, double travel, double hot_load)
{
    if (!(hot_load > 0.0))
        return std::numeric_limits<double>::infinity();
    return std::fabs(rate * travel / hot_load);
}

HangerChoice select_hanger(const HangerCatalogue* catalogue, const HangerDemand& d)
{
    HangerChoice none;
    if (!(d.load > 0.0) || !std::isfinite(d.load) || !std::isfinite(d.travel)) {
        none.note = demand_note(catalogue, d, HangerNoteReason::NoUpwardLoad);
        return none;
    }
    if (d.type == HANGER_CONSTANT)
        return choose_constant(catalogue, d);

    const int percent = d.variation > 0 ? d.variation : DEFAULT_LOAD_VARIATION;
    const double allowed = percent / 100.0;
    const SpringSize* best = nullptr;
    double best_cold = 0.0, best_hot = 0.0;
    // Why no spring fits: a range holds both loads but the variation is too
    // large; or only a short-range spring, not allowed, would do; or no
    // working range holds them, with the nearest ends of the ranges below
    // and above the load.
    bool held = false, short_fits = false, spanned = false;
    double below = 0.0, above = 0.0;
    if (catalogue) {
        for (const SpringSize& s : catalogue->springs) {
            double cold = 0.0, hot = 0.0;
            spring_loads(d, s.rate, cold, hot);
            const bool holds = cold >= s.min_load && cold <= s.max_load && hot >= s.min_load && hot <= s.max_load;
            const bool varies = load_variation(s.rate, d.travel, hot) > allowed * (1.0 + 1.0e-9);
            if (s.range == SpringRange::Short && !d.short_range) {
                short_fits = short_fits || (holds && !varies);
                continue;
            }
            held = held || holds;
            spanned = spanned || (d.load >= s.min_load && d.load <= s.max_load);
            if (s.max_load < d.load && s.max_load > below)
                below = s.max_load;
            if (s.min_load > d.load && (above == 0.0 || s.min_load < above))
                above = s.min_load;
            if (!holds || varies)
                continue;
            if (!best || s.max_load < best->max_load || (s.max_load == best->max_load && s.range < best->range)) {
                best = &s;
                best_cold = cold;
                best_hot = hot;
            }
        }
    }
    if (!best) {
        // A constant support, or the note that the catalogue has none, with
        // the reason of the springs.
        HangerChoice constant = choose_constant(catalogue, d);
        constant.note = demand_note(catalogue, d,
                                    held         ? HangerNoteReason::VariationTooLarge
                                    : short_fits ? HangerNoteReason::OnlyShortRange
                                                 : HangerNoteReason::NoRangeHolds);
        constant.note.designed = constant.designed;
        constant.note.percent = percent;
        // Where no range holds even the load itself (the travel aside), the
        // sizes on either side of it.
        if (!held && !short_fits && !spanned) {
            constant.note.below = static_cast<float>(below);
            constant.note.above = static_cast<float>(above);
        }
        return constant;
    }
    HangerChoice choice;
    choice.designed = true;
    choice.design.figure = best->figure;
    choice.design.size = best->size;
    choice.design.spring_rate = static_cast<float>(best->rate);
    choice.design.vertical_travel = static_cast<float>(d.travel);
    choice.design.horizontal_travel = static_cast<float>(d.horizontal);
    choice.design.cold_load = static_cast<float>(best_cold);
    choice.design.hot_load = static_cast<float>(best_hot);
    return choice;
}

bool model_has_designed_hangers(const Model& model, const HangerCatalogues& catalogues)
{
    return std::any_of(model.rows.begin(), model.rows.end(),
                       [&](const LayoutRow& r) { return sized_hanger(r, catalogues) != nullptr; });
}

std::vector<std::string> design_hangers(AnalysisRun& run, const HangerCatalogues& catalogues,
                                        const HangerDesignDriver& driver)
{
    const Model& m = run.layout();
    HangerRunDesign& state = run.run_state<HangerRunDesign>();
    state.resize(m.numrows());
    for (int row = 1; row <= m.numrows(); ++row)
        state.sizing[static_cast<std::size_t>(row)] = sized_hanger(m.rows[row], catalogues) != nullptr;
    auto say = [&driver](int code) {
        if (driver.progress)
            driver.progress(load_case_names(code));
    };
    const int sets = numtloads_valid(run.snapshot().options.numtloads) ? run.snapshot().options.numtloads : 1;

    // The loads: the forces in the rigid hangers.
    CaseResults cold;
    std::vector<double> found(static_cast<std::size_t>(m.numrows()) + 1, 0.0);
    auto find_loads = [&](int code, bool hold) {
        say(code);
        state.phase = HangerPhase::Rigid;
        cold = driver.solve(code, hold, load_case_names(code));
        const CaseResults& c = cold;
        for (int row = 1; row <= m.numrows(); ++row)
            if (sized_hanger(m.rows[row], catalogues) && run.support_words(row) == 1)
                state.load[static_cast<std::size_t>(row)] =
                    c.support_loads[static_cast<std::size_t>(run.support_offset(row))];
        // A hanger that would pull the pipe down puts nothing on it.
        found = state.load;
        for (double& load : state.load)
            load = std::max(load, 0.0);
    };
    // The travel: the operating cases with the hangers as loads; per hanger
    // the largest vertical travel of the sets.
    std::vector<Travel> travel(static_cast<std::size_t>(m.numrows()) + 1);
    auto find_travel = [&](int code) {
        say(code);
        state.phase = HangerPhase::Loaded;
        std::fill(travel.begin(), travel.end(), Travel{});
        // Set 1 last: the recalculated loads hold its states. The other sets
        // are solved in the steps of their operating cases; each under the
        // name of the pass and its set.
        for (int set = sets; set >= 1; --set) {
            const std::string name = c_format("%s (T%d)", load_case_names(code).c_str(), set);
            const CaseResults c = driver.solve(set == 1 ? code : operating_code(set), false, name);
            for (int row = 1; row <= m.numrows(); ++row) {
                const Hanger* h = sized_hanger(m.rows[row], catalogues);
                if (!h)
                    continue;
                const Travel t = travel_at(run, cold, c, row, *h);
                Travel& governing = travel[static_cast<std::size_t>(row)];
                if (set == sets || std::fabs(t.vertical) > std::fabs(governing.vertical))
                    governing = t;
            }
        }
    };

    find_loads(CODE_HANGER_LOADS, false);
    find_travel(CODE_HANGER_TRAVEL);
    if (driver.nonlinear) {
        find_loads(CODE_RECALC_LOADS, true);
        find_travel(CODE_RECALC_TRAVEL);
    }

    say(CODE_DESIGNING);
    std::vector<std::string> warnings;
    std::vector<HangerChoice> choices(static_cast<std::size_t>(m.numrows()) + 1);
    for (int row = 1; row <= m.numrows(); ++row) {
        const Hanger* h = sized_hanger(m.rows[row], catalogues);
        if (!h)
            continue;
        const auto r = static_cast<std::size_t>(row);
        HangerDemand d;
        d.type = h->v.type;
        d.load = found[r] / std::max(1, h->v.count);
        d.cold_load = h->v.load_type != 0;
        d.travel = travel[r].vertical;
        d.horizontal = travel[r].horizontal;
        d.variation = h->v.load_variation;
        d.short_range = h->v.short_range;
        choices[r] = select_hanger(catalogues.find(h->v.type), d);
        if (HangerNote& note = choices[r].note; note.reason != HangerNoteReason::None) {
            note.row = row;
            note.node = m.rows[row].node;
            state.notes.push_back(note);
            warnings.push_back(hanger_note_line(note, run.snapshot().units));
        }
    }

    say(CODE_FINAL_LOADS);
    for (int row = 1; row <= m.numrows(); ++row) {
        const auto r = static_cast<std::size_t>(row);
        if (!choices[r].designed)
            continue;
        state.design[r] = choices[r].design;
        state.designed[r] = 1;
    }
    state.phase = HangerPhase::None;
    return warnings;
}

std::string hanger_note_text(const HangerNote& note, const UnitChoices& units)
{
    const std::string load = value_with_unit(FORCE, note.load, units);
    const std::string travel = value_with_unit(DISPLACEMENT, note.travel, units);
    const std::string no_constant = c_format("needs a constant support for %s over a travel of %s, which the %s "
                                             "catalogue has not",
                                             load.c_str(), travel.c_str(), note.catalogue.c_str());
    const std::string its_load = "its load of " + load + " over a travel of " + travel;
    std::string why = "is held by no spring of the " + note.catalogue + " catalogue: ";
    switch (note.reason) {
    case HangerNoteReason::None: return {};
    case HangerNoteReason::NoUpwardLoad: return "carries no load upwards (" + load + "): it is not designed";
    case HangerNoteReason::NoConstantSize: return no_constant;
    case HangerNoteReason::VariationTooLarge:
        why += its_load + c_format(" would vary by more than %d%%", note.percent);
        break;
    case HangerNoteReason::OnlyShortRange:
        why += "only a short-range spring, which the hanger does not allow, holds " + its_load;
        break;
    case HangerNoteReason::NoRangeHolds: {
        why += "no size's working range holds " + its_load;
        const auto size_load = [&units](float v) { return value_with_unit(FORCE, v, units); };
        if (note.below > 0.0f && note.above > 0.0f)
            why += " (the nearest sizes end at " + size_load(note.below) + " and begin at " + size_load(note.above) +
                   ")";
        else if (note.below > 0.0f)
            why += " (the largest size ends at " + size_load(note.below) + ")";
        else if (note.above > 0.0f)
            why += " (the smallest size begins at " + size_load(note.above) + ")";
        break;
    }
    }
    return why + (note.designed ? "; a constant support is chosen" : "; it " + no_constant);
}

std::string hanger_note_line(const HangerNote& note, const UnitChoices& units)
{
    return c_format("Row %d: the hanger at node %s ", note.row, node_text(note.node).c_str()) +
           hanger_note_text(note, units);
}
