#include "supports/contact_solver.h"

#include "analysis_core/convergence.h"
#include "analysis_core/element_assembly.h"
#include "framework/text.h"
#include "model/nodes.h"
#include "supports/support_common.h"

#include <algorithm>
#include <cmath>

namespace {

// Block changes that do not reduce the count of contradicted states before
// the single changes take over (Judice and Pires's p).
constexpr int BLOCK_TRIES = 3;
// The tolerances of the iterations and of the check, relative to the
// largest force and displacement of the case.
constexpr double ITERATION_RELATIVE = 1.0e-9;
constexpr double CHECK_RELATIVE = 1.0e-6;

std::uint64_t mix(std::uint64_t hash, std::uint64_t value)
{
    // FNV-1a over the value's bytes.
    for (int i = 0; i < 8; ++i) {
        hash ^= (value >> (8 * i)) & 0xFF;
        hash *= 1099511628211ull;
    }
    return hash;
}

// The largest translation of the solution and the largest force of the
// case's loads (in, lb): the scale of the tolerances.
void case_scales(const AnalysisRun& run, double& motion, double& force)
{
    motion = 0.0;
    force = 0.0;
    for (int e = 1; e <= run.equation_count(); ++e) {
        if (equation_direction(e) >= 3)
            continue;
        motion = std::max(motion, std::fabs(run.solution[e]));
        force = std::max(force, std::fabs(run.loads[e]));
    }
}

std::string node_name(const AnalysisRun& run, int node)
{
    const Model& m = run.layout();
    return m.nodes.valid(node) ? node_text(m.nodes[node].number) : std::string("?");
}

}  // namespace

void ContactSet::clear()
{
    *this = ContactSet{};
}

void contact_register(AnalysisRun& run, const Contact& contact, int dtype, int row)
{
    if (contact.a == 0 || row < 0)
        return;
    ContactSet& set = run.run_state<ContactSet>();
    if (static_cast<std::size_t>(row) >= set.entry_of_row.size())
        set.entry_of_row.resize(static_cast<std::size_t>(row) + 1, -1);
    int& entry = set.entry_of_row[static_cast<std::size_t>(row)];
    if (entry >= 0) {
        set.entries[static_cast<std::size_t>(entry)].contact = contact;
        return;
    }
    entry = static_cast<int>(set.entries.size());
    set.entries.push_back({row, dtype, contact});
}

void clear_contact_set(AnalysisRun& run)
{
    run.run_state<ContactSet>().clear();
}

ContactTolerances contact_tolerances(const AnalysisRun& run)
{
    const ContactSet* set = run.find_run_state<ContactSet>();
    return set ? set->zero : ContactTolerances{};
}

bool contact_change_allowed(const AnalysisRun& run, int row, int slot)
{
    const ContactSet* set = run.find_run_state<ContactSet>();
    if (!set || set->allowed.empty() || row < 0 || static_cast<std::size_t>(row) >= set->entry_of_row.size())
        return true;
    const int entry = set->entry_of_row[static_cast<std::size_t>(row)];
    return entry < 0 || set->allowed[3 * static_cast<std::size_t>(entry) + static_cast<std::size_t>(slot)] != 0;
}

int plan_contact_changes(AnalysisRun& run)
{
    ContactSet& set = run.run_state<ContactSet>();
    set.allowed.clear();
    if (set.entries.empty())
        return 0;
    double motion = 0.0, force = 0.0;
    case_scales(run, motion, force);
    set.zero.force = std::max(CONTACT_FORCE_ZERO, ITERATION_RELATIVE * force);
    set.zero.position = std::max(CONTACT_POSITION_ZERO, ITERATION_RELATIVE * motion);

    // The contradicted states in the case's order (entry, slot), and the
    // discrete state as it stands.
    std::vector<std::size_t> contradicted;
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t e = 0; e < set.entries.size(); ++e) {
        const ContactEntry& entry = set.entries[e];
        const ContactState& state = run.row_state<ContactState>(entry.row);
        const ContactChanges c = contact_changes(run, entry.contact, state, set.zero.force, set.zero.position);
        for (std::size_t j = 0; j < entry.contact.directions.size(); ++j) {
            hash = mix(hash, static_cast<std::uint64_t>(state.status[j] + 8));
            if (c.status[j] != state.status[j])
                contradicted.push_back(3 * e + j);
        }
        hash = mix(hash, state.sliding ? 1 : 2);
        if (c.friction_flips)
            contradicted.push_back(3 * e + 2);
    }
    // A state left and then come back to is a cycle.
    bool cycle = false;
    if (set.seen.empty() || set.seen.back() != hash) {
        cycle = std::find(set.seen.begin(), set.seen.end(), hash) != set.seen.end();
        set.seen.push_back(hash);
    }
    const int count = static_cast<int>(contradicted.size());
    if (count == 0)
        return 0;
    if (set.fewest < 0 || count < set.fewest) {
        set.fewest = count;
        set.block_tries = BLOCK_TRIES;
        set.single = false;
    } else if (set.block_tries > 0 && !cycle && !set.single) {
        --set.block_tries;
    } else {
        set.single = true;
    }
    if (cycle)
        set.single = true;
    if (set.single) {
        // The friction's turns come first in the order, so that the change
        // made is that of a stop while any stop is contradicted: the friction
        // follows from the stops' loads.
        std::size_t chosen = contradicted.back();
        for (std::size_t slot : contradicted)
            if (slot % 3 != 2)
                chosen = slot;
        set.allowed.assign(3 * set.entries.size(), 0);
        set.allowed[chosen] = 1;
        ++set.single_changes;
    }
    return count;
}

std::vector<std::string> check_contact_states(AnalysisRun& run)
{
    std::vector<std::string> failures;
    const ContactSet* set = run.find_run_state<ContactSet>();
    if (!set || set->entries.empty())
        return failures;
    double motion = 0.0, force = 0.0;
    case_scales(run, motion, force);
    const double force_tolerance = std::max(1.0e-3, CHECK_RELATIVE * force);
    const double motion_tolerance = std::max(1.0e-7, CHECK_RELATIVE * motion);
    // The friction settles to the iteration tolerance.
    const double friction_relative = 2.0 * run.snapshot().options.iteration_tolerance + 1.0e-6;
    for (const ContactEntry& entry : set->entries) {
        const Contact& contact = entry.contact;
        const ContactState& state = run.row_state<ContactState>(entry.row);
        const ContactForces f = contact_forces(run, contact, state);
        auto fail = [&](const std::string& what) {
            failures.push_back(c_format("%s at node %s: %s", nonlinear_item_name(-entry.dtype).c_str(),
                                        node_name(run, contact.a).c_str(), what.c_str()));
        };
        const double k = contact.stiffness;
        Vec3 normal;
        for (std::size_t j = 0; j < contact.directions.size(); ++j) {
            const ContactDirection& d = contact.directions[j];
            const double s = relative_along(run, contact.a, contact.b, d.n);
            const double load = f.normal[j];
            normal = plus(normal, scaled(d.n, load));
            // Within the limits, less what the stop's own stiffness lets
            // the pipe into it under its load.
            const double low = no_limit(d.lower) ? -NO_LIMIT : d.lower - std::max(load, 0.0) / k;
            const double high = no_limit(d.upper) ? NO_LIMIT : d.upper - std::min(load, 0.0) / k;
            if (s < low - motion_tolerance)
                fail(c_format("past its lower limit %.6g in by %.4g in with a load of %.4g lb", d.lower, low - s, load));
            else if (s > high + motion_tolerance)
                fail(c_format("past its upper limit %.6g in by %.4g in with a load of %.4g lb", d.upper, s - high, load));
            // A load only at a closed limit, pushing the pipe back inside.
            if (load > force_tolerance && (no_limit(d.lower) || std::fabs(s - low) > motion_tolerance))
                fail(c_format("a load of %.4g lb along +n %.4g in away from its lower limit", load, s - d.lower));
            else if (load < -force_tolerance && (no_limit(d.upper) || std::fabs(s - high) > motion_tolerance))
                fail(c_format("a load of %.4g lb along -n %.4g in away from its upper limit", -load, d.upper - s));
        }
        if (contact.mu <= 0.0)
            continue;
        const double limit = contact.mu * norm(normal);
        const double friction = norm(f.friction);
        if (friction > limit * (1.0 + friction_relative) + force_tolerance) {
            fail(c_format("a friction of %.4g lb above mu N = %.4g lb", friction, limit));
            continue;
        }
        // Where holding it would take more than mu N the contact slides: the
        // friction is mu N against the slip.
        Vec3 ut = relative_motion(run, contact.a, contact.b);
        for (const ContactDirection& d : contact.directions)
            ut = minus(ut, scaled(d.n, dot(ut, d.n)));
        const double slip = norm(ut);
        if (k * slip <= limit * (1.0 + friction_relative) + force_tolerance || slip <= motion_tolerance)
            continue;
        const Vec3 against = scaled(ut, -limit / slip);
        if (norm(minus(f.friction, against)) > 3.0 * friction_relative * limit + force_tolerance)
            fail(c_format("slides %.4g in with a friction of %.4g lb that is not mu N = %.4g lb against the slip",
                          slip, friction, limit));
    }
    return failures;
}
