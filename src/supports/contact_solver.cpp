#include "supports/contact_solver.h"

#include "analysis_core/convergence.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/steps.h"
#include "framework/text.h"
#include "model/nodes.h"
#include "supports/support_common.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>

namespace {

// Block changes that do not reduce the count of contradicted statuses
// before the single changes take over (Judice and Pires's p).
constexpr int BLOCK_TRIES = 3;
// Outer iterations without fewer unsettled contacts before the single
// changes and the relaxed limits take over.
constexpr int STALL_LIMIT = 6;
// The relaxation of a friction limit that oscillates.
constexpr double RELAXATION = 0.5;
// The tolerances of the iterations and of the check, relative to the
// largest load and displacement of the case.
constexpr double ITERATION_RELATIVE = 1.0e-9;
constexpr double CHECK_RELATIVE = 1.0e-6;
// The least decrease of the energy a whole Newton step must give, as a
// fraction of its first-order prediction (Armijo's condition).
constexpr double ARMIJO = 1.0e-4;

double slip_relative()
{
    static const double v = std::getenv("KV_SLIP_REL") ? std::atof(std::getenv("KV_SLIP_REL")) : 1.0e-4;
    return v;
}
double slip_least()
{
    static const double v = std::getenv("KV_SLIP_ABS") ? std::atof(std::getenv("KV_SLIP_ABS")) : 1.0e-6;
    return v;
}

std::uint64_t mix(std::uint64_t hash, std::uint64_t value)
{
    // FNV-1a over the value's bytes.
    for (int i = 0; i < 8; ++i) {
        hash ^= (value >> (8 * i)) & 0xFF;
        hash *= 1099511628211ull;
    }
    return hash;
}

// The resultant of a contact's normal forces.
double normal_resultant(const Contact& contact, const ContactForces& f)
{
    Vec3 n;
    for (std::size_t j = 0; j < contact.directions.size(); ++j)
        n = plus(n, scaled(contact.directions[j].n, f.normal[j]));
    return norm(n);
}

// The scales of the tolerances: the largest translation of the solution
// (in) and the largest normal force of a contact (lb). The loads that hold
// the stops at their limits (the stops' stiffness times the limit) are no
// measure of the forces of the case.
void case_scales(AnalysisRun& run, const ContactSet& set, double& motion, double& force)
{
    motion = 0.0;
    force = 0.0;
    for (int e = 1; e <= run.equation_count(); ++e)
        if (equation_direction(e) < 3)
            motion = std::max(motion, std::fabs(run.solution[e]));
    for (const ContactEntry& entry : set.entries)
        force = std::max(force, normal_resultant(entry.contact, contact_forces(run, entry.contact,
                                                                               run.row_state<ContactState>(entry.row))));
}

std::string node_name(const AnalysisRun& run, int node)
{
    const Model& m = run.layout();
    return m.nodes.valid(node) ? node_text(m.nodes[node].number) : std::string("?");
}

// The relative translation of a and b (b 0: the ground) in a vector of
// the equations.
Vec3 relative_in(const AnalysisRun& run, const OneBased<double>& u, int a, int b)
{
    double r[3] = {};
    for (int i = 0; i < 3; ++i) {
        const int ea = run.equation(a, i);
        const int eb = b ? run.equation(b, i) : 0;
        r[i] = (ea ? u[ea] : 0.0) - (eb ? u[eb] : 0.0);
    }
    return {r[0], r[1], r[2]};
}

double dot_all(const OneBased<double>& x, const OneBased<double>& y)
{
    double sum = 0.0;
    for (int e = 1; e <= x.size(); ++e)
        sum += x[e] * y[e];
    return sum;
}

// A contact whose friction the inner iteration solves: closed, with a limit
// known and above 0.
bool has_friction(const Contact& contact, const ContactState& state)
{
    return contact.mu > 0.0 && state.limit > 0.0 && any_closed(contact, state);
}

// One contact along a Newton step: its slip at the point and the step's
// change of it.
struct Slip {
    const Contact* contact;
    const ContactState* state;
    Vec3 start, change;
};

// The energy Pi along the step u + alpha d of the inner problem, from the
// step's quadratic part (the gradient along d at the point and d'Md, M the
// linearised stiffness) and the contacts' difference between their law and
// its linearisation, which M and the loads hold: its slope and its change
// from alpha = 0.
class LineEnergy {
public:
    LineEnergy(double slope0, double curvature, std::vector<Slip> slips)
        : slope0_(slope0), curvature_(curvature), slips_(std::move(slips))
    {
    }
    double slope(double alpha) const
    {
        double g = slope0_ + alpha * curvature_;
        for (const Slip& c : slips_) {
            const Vec3 s = plus(c.start, scaled(c.change, alpha));
            g += dot(minus(friction_law_force(*c.state, s), friction_linear_force(*c.contact, *c.state, s)), c.change);
        }
        return g;
    }
    double curvature() const { return curvature_; }
    double change(double alpha) const
    {
        double e = alpha * slope0_ + 0.5 * alpha * alpha * curvature_;
        for (const Slip& c : slips_) {
            const Vec3 s = plus(c.start, scaled(c.change, alpha));
            const Vec3 p0 = friction_linear_force(*c.contact, *c.state, c.start);
            // What the linearisation adds to d'Md over the step.
            const double held = dot(minus(friction_linear_force(*c.contact, *c.state, plus(c.start, c.change)),
                                          friction_linear_force(*c.contact, *c.state, c.start)),
                                    c.change);
            e += friction_potential(*c.state, s) - friction_potential(*c.state, c.start) - alpha * dot(p0, c.change) -
                 0.5 * alpha * alpha * held;
        }
        return e;
    }

private:
    double slope0_;
    double curvature_;
    std::vector<Slip> slips_;
};

// The step length: 1 when the whole step lowers the energy enough, else
// the least of the energy along the step (the root of its slope, which
// grows with alpha), by regula falsi (the Illinois variant) kept inside
// its bracket.
double line_search(const LineEnergy& line)
{
    const double slope0 = line.slope(0.0);
    if (std::getenv("KV_CONTACT_DEBUG")) std::fprintf(stderr, "  LS slope0 %.4g change1 %.4g curv %.4g slope1 %.4g\n", slope0, line.change(1.0), line.curvature(), line.slope(1.0));
    if (line.change(1.0) <= -ARMIJO * line.curvature())
        return 1.0;
    if (!(slope0 < 0.0)) {
        if (std::getenv("KV_CONTACT_DEBUG")) std::fprintf(stderr, "  NOT DESCENT %.3g\n", slope0);
        return 0.0;
    }
    double low = 0.0, high = 1.0;
    double f_low = slope0, f_high = line.slope(1.0);
    if (!(f_high > 0.0))
        return 1.0;
    int side = 0;
    double alpha = 0.5;
    for (int i = 0; i < 200 && high - low > 1.0e-14; ++i) {
        alpha = (low * f_high - high * f_low) / (f_high - f_low);
        if (!(alpha > low && alpha < high))
            alpha = 0.5 * (low + high);
        const double f = line.slope(alpha);
        if (std::fabs(f) <= 1.0e-6 * std::fabs(slope0))
            break;
        if (f < 0.0) {
            low = alpha;
            f_low = f;
            if (side == -1)
                f_high *= 0.5;
            side = -1;
        } else {
            high = alpha;
            f_high = f;
            if (side == 1)
                f_low *= 0.5;
            side = 1;
        }
    }
    return alpha;
}

ContactSet& contact_set(AnalysisRun& run)
{
    return run.run_state<ContactSet>();
}

void set_verdict(ContactSet& set, std::size_t entry, bool settled)
{
    if (!settled)
        set.settled[entry] = 0;
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
    ContactSet& set = contact_set(run);
    if (static_cast<std::size_t>(row) >= set.entry_of_row.size())
        set.entry_of_row.resize(static_cast<std::size_t>(row) + 1, -1);
    int& entry = set.entry_of_row[static_cast<std::size_t>(row)];
    if (entry >= 0) {
        set.entries[static_cast<std::size_t>(entry)].contact = contact;
        return;
    }
    entry = static_cast<int>(set.entries.size());
    set.entries.push_back({row, dtype, contact});
    set.settled.push_back(1);
    set.limit_turn.push_back(0);
    set.secant.push_back(std::getenv("KV_SECANT") && std::atoi(std::getenv("KV_SECANT")) == 5 ? 1 : 0);
}

void clear_contact_set(AnalysisRun& run)
{
    contact_set(run).clear();
}

bool contact_settled(const AnalysisRun& run, int row)
{
    const ContactSet* set = run.find_run_state<ContactSet>();
    if (!set || row < 0 || static_cast<std::size_t>(row) >= set->entry_of_row.size())
        return true;
    const int entry = set->entry_of_row[static_cast<std::size_t>(row)];
    return entry < 0 || set->settled[static_cast<std::size_t>(entry)] != 0;
}

bool contact_friction_step(AnalysisRun& run)
{
    ContactSet& set = contact_set(run);
    std::fill(set.settled.begin(), set.settled.end(), 1);
    std::vector<std::size_t> friction;
    for (std::size_t e = 0; e < set.entries.size(); ++e)
        if (has_friction(set.entries[e].contact, run.row_state<ContactState>(set.entries[e].row)))
            friction.push_back(e);
    if (!set.has_point || friction.empty() || set.point.size() != run.equation_count()) {
        set.point = run.solution;
        set.has_point = true;
        return true;
    }

    // The Newton step d from the point u, the slope of the energy along it
    // at u, grad Pi(u)'d = (M u - f)'d, and its curvature d'Md.
    const int n = run.equation_count();
    OneBased<double> step(n);
    for (int e = 1; e <= n; ++e)
        step[e] = run.solution[e] - set.point[e];
    OneBased<double> product(n);
    run.store.multiply(step, product);
    const double curvature = dot_all(step, product);
    run.store.multiply(set.point, product);
    for (int e = 1; e <= n; ++e)
        product[e] -= run.loads[e];
    const double slope0 = dot_all(product, step);

    std::vector<Slip> slips;
    slips.reserve(friction.size());
    for (std::size_t e : friction) {
        const ContactEntry& entry = set.entries[e];
        const Contact& c = entry.contact;
        slips.push_back({&c, &run.row_state<ContactState>(entry.row),
                         in_friction_plane(c, relative_in(run, set.point, c.a, c.b)),
                         in_friction_plane(c, relative_in(run, step, c.a, c.b))});
    }
    const LineEnergy line(slope0, curvature, slips);
    bool forced = false;
    for (std::size_t e : friction)
        forced = forced || set.secant[e] == 2;
    double alpha = line_search(line);
    if (alpha <= 0.0) {
        if (forced) {
            // The contacts held back to sticking made a step that does not
            // lower the energy: the next one is Newton's.
            for (std::size_t e : friction)
                set.secant[e] = 0;
        } else {
            alpha = 1.0;
        }
    }
    if (alpha < 1.0 && alpha > 0.0 && std::getenv("KV_CONTACT_DEBUG")) {
        // the contacts whose mismatch at alpha pushes back most
        std::vector<std::pair<double, std::size_t>> w;
        for (std::size_t k = 0; k < slips.size(); ++k) {
            const Slip& c = slips[k];
            const Vec3 s = plus(c.start, scaled(c.change, alpha));
            w.push_back({dot(minus(friction_law_force(*c.state, s), friction_linear_force(*c.contact, *c.state, s)), c.change), k});
        }
        std::sort(w.rbegin(), w.rend());
        for (int i = 0; i < 4 && i < (int)w.size(); ++i) {
            const Slip& c = slips[w[i].second];
            const Vec3 s = plus(c.start, scaled(c.change, alpha));
            std::fprintf(stderr, "    push %.3g: type %d node %d forced %d sl %d s0 %.3g ds %.3g cos %.3f |s| %.3g zone %.3g g %.3g tangents %d\n", w[i].first, set.entries[friction[w[i].second]].dtype, c.contact->a, set.secant[friction[w[i].second]], c.state->sliding ? 1 : 0, norm(c.start), norm(c.change), dot(c.start, c.change) / (norm(c.start) * norm(c.change) + 1e-300), norm(s), c.state->limit / c.state->stick, c.state->limit, (int)c.contact->directions.size());
        }
    }
    if (alpha < 1.0) {
        ++set.cut_steps;
        for (int e = 1; e <= n; ++e)
            run.solution[e] = set.point[e] + alpha * step[e];
    }

    // Settled where the whole step left the friction within the tolerance
    // of its law.
    static const double tf = std::getenv("KV_TF") ? std::atof(std::getenv("KV_TF")) : 1.0;
    const double tolerance = tf * run.snapshot().options.iteration_tolerance;
    bool solved = true;
    for (std::size_t k = 0; k < friction.size(); ++k) {
        const ContactEntry& entry = set.entries[friction[k]];
        const Slip& c = slips[k];
        const Vec3 s = plus(c.start, scaled(c.change, alpha));
        const double g = c.state->limit;
        double change = norm(minus(friction_law_force(*c.state, s), friction_linear_force(*c.contact, *c.state, s)));
        if (alpha >= 1.0 && change <= tolerance * g + set.zero.force)
            continue;
        change = std::max(change, (1.0 - alpha) * g);
        check_convergence(run, g, g - change, -entry.dtype, entry.row, entry.contact.a);
        set_verdict(set, friction[k], false);
        solved = false;
    }
    // While the stops' statuses still change, their update follows each
    // whole Newton step rather than waiting for the friction to settle
    // (until the outer iterations stall: then they wait).
    static const int interleave = std::getenv("KV_INTERLEAVE") ? std::atoi(std::getenv("KV_INTERLEAVE")) : 1;
    bool outer = solved;
    if (!solved && interleave && alpha >= 1.0 && !set.nested) {
        for (std::size_t e = 0; e < set.entries.size() && !outer; ++e) {
            const ContactEntry& entry = set.entries[e];
            const ContactState& state = run.row_state<ContactState>(entry.row);
            outer = contact_changes(run, entry.contact, state, set.zero.force, set.zero.position) != state.status;
        }
    }
    if (!outer)
        for (std::size_t e : friction)
            if (!set.settled[e])
                count_unconverged(run);
    if (std::getenv("KV_CONTACT_DEBUG")) {
        int bad = 0, sl = 0;
        for (std::size_t e : friction) { bad += set.settled[e] ? 0 : 1; sl += run.row_state<ContactState>(set.entries[e].row).sliding ? 1 : 0; }
        std::fprintf(stderr, "  inner it %d alpha %.3g slope0 %.3g dMd %.3g unsettled %d/%zu sliding %d\n", run.iteration, alpha, slope0, curvature, bad, friction.size(), sl);
    }
    static const int mode = std::getenv("KV_SECANT") ? std::atoi(std::getenv("KV_SECANT")) : 4;
    for (std::size_t k = 0; k < friction.size() && alpha > 0.0; ++k) {
        const Slip& c = slips[k];
        const double along = dot(plus(c.start, c.change), c.start);
        char& secant = set.secant[friction[k]];
        if (mode == 1)
            secant = 0;
        else if (mode == 3)
            secant = 1;
        else if (mode == 2) {
            if (c.state->sliding && along < 0.0)
                secant = 1;
            else if (!c.state->sliding && along > dot(c.start, c.start))
                secant = 0;
        } else if (mode == 4) {
            const Vec3 s = plus(c.start, scaled(c.change, alpha));
            if (c.state->sliding && along <= 0.0)
                secant = 2;
            else if (!c.state->sliding && secant == 2 && c.state->stick * norm(s) > c.state->limit)
                secant = 0;
        } else {
            // Newton's linearisation where the slip kept its direction
            // through the step, the secant elsewhere.
            static const double cmin = std::getenv("KV_CMIN") ? std::atof(std::getenv("KV_CMIN")) : 0.98;
            const Vec3 s = plus(c.start, scaled(c.change, alpha));
            const double zone = c.state->limit / c.state->stick;
            const double m0 = norm(c.start), m1 = norm(s);
            static const double grow = std::getenv("KV_GROW") ? std::atof(std::getenv("KV_GROW")) : 1.0;
            const bool kept = m0 > zone && m1 > zone && dot(s, c.start) > cmin * m0 * m1;
            if (!kept)
                secant = 1;
            else if (secant == 1 && m1 > grow * m0)
                secant = 0;
        }
    }
    if (!outer)
        contact_relinearise(run);
    set.point = run.solution;
    return outer;
}

void contact_outer_update(AnalysisRun& run)
{
    ContactSet& set = contact_set(run);
    if (set.entries.empty())
        return;
    ++set.outer_updates;
    double motion = 0.0, force = 0.0;
    case_scales(run, set, motion, force);
    set.zero.force = std::max(CONTACT_FORCE_ZERO, ITERATION_RELATIVE * force);
    set.zero.position = std::max(CONTACT_POSITION_ZERO, ITERATION_RELATIVE * motion);
    if (set.slip <= 0.0) {
        set.slip = std::max(slip_least(), slip_relative() * motion);
        if (std::getenv("KV_CONTACT_DEBUG")) {
            int worst = 1;
            for (int e = 1; e <= run.equation_count(); ++e)
                if (equation_direction(e) < 3 && std::fabs(run.solution[e]) > std::fabs(run.solution[worst])) worst = e;
            std::fprintf(stderr, "MOTION %.4g at node %s dir %d\n", motion, node_name(run, run.node_of(equation_node(worst))).c_str(), equation_direction(worst));
        }
    }
    static const double tf = std::getenv("KV_TF") ? std::atof(std::getenv("KV_TF")) : 1.0;
    const double tolerance = tf * run.snapshot().options.iteration_tolerance;

    // The contradicted statuses in the case's order (entry, slot) and the
    // discrete state as it stands.
    std::vector<std::array<int, 2>> next(set.entries.size());
    std::vector<std::size_t> contradicted;
    std::uint64_t hash = 14695981039346656037ull;
    for (std::size_t e = 0; e < set.entries.size(); ++e) {
        const ContactEntry& entry = set.entries[e];
        const ContactState& state = run.row_state<ContactState>(entry.row);
        next[e] = contact_changes(run, entry.contact, state, set.zero.force, set.zero.position);
        for (std::size_t j = 0; j < entry.contact.directions.size(); ++j) {
            hash = mix(hash, static_cast<std::uint64_t>(state.status[j] + 8));
            if (next[e][j] != state.status[j])
                contradicted.push_back(2 * e + j);
        }
    }

    // The friction limits from this solution's normal forces.
    int unsettled_limits = 0;
    for (std::size_t e = 0; e < set.entries.size(); ++e) {
        const ContactEntry& entry = set.entries[e];
        const Contact& c = entry.contact;
        ContactState& state = run.row_state<ContactState>(entry.row);
        if (c.mu <= 0.0 || !any_closed(c, state))
            continue;
        const double target = c.mu * normal_resultant(c, contact_forces(run, c, state));
        const double difference = target - state.limit;
        if (state.limit < 0.0) {
            state.limit = target;
            note_state_change(run, entry.dtype, entry.row, c.a);
            set_verdict(set, e, false);
            ++unsettled_limits;
        } else if (std::fabs(difference) > tolerance * std::max(target, state.limit) + set.zero.force) {
            const signed char turn = difference > 0.0 ? 1 : -1;
            const bool oscillates = set.limit_turn[e] != 0 && set.limit_turn[e] != turn;
            set.limit_turn[e] = turn;
            check_convergence(run, target, state.limit, -entry.dtype, entry.row, c.a);
            state.limit += (set.relax || oscillates ? RELAXATION : 1.0) * difference;
            set_verdict(set, e, false);
            ++unsettled_limits;
        }
        state.stick = state.limit > 0.0 ? std::min(c.stiffness, state.limit / set.slip) : 0.0;
    }

    // The statuses: a state seen before (other than the last one) is a
    // cycle; changes that do not reduce the contradicted ones, or outer
    // iterations that do not reduce the unsettled contacts, turn to single
    // changes.
    bool cycle = false;
    if (set.seen.empty() || set.seen.back() != hash) {
        cycle = std::find(set.seen.begin(), set.seen.end(), hash) != set.seen.end();
        set.seen.push_back(hash);
    }
    const int count = static_cast<int>(contradicted.size());
    const int unsettled = count + unsettled_limits;
    if (!set.nested) {
        // Interleaved with the friction's Newton steps, the block changes
        // go on while they reduce the contradicted statuses; then the outer
        // updates wait for the friction to be solved, and start over.
        if (set.fewest < 0 || count < set.fewest) {
            set.fewest = count;
            set.block_tries = BLOCK_TRIES;
        } else if (cycle || --set.block_tries <= 0) {
            set.nested = true;
            set.fewest = -1;
            set.seen.assign(1, hash);
            cycle = false;
        }
    }
    if (set.nested) {
        if (set.least_unsettled < 0 || unsettled < set.least_unsettled) {
            set.least_unsettled = unsettled;
            set.stalled = 0;
        } else if (++set.stalled >= STALL_LIMIT) {
            set.relax = true;
            set.single = true;
        }
    }
    if (std::getenv("KV_CONTACT_DEBUG"))
        std::fprintf(stderr, "OUTER it %d contradicted %d limits %d cycle %d single %d relax %d nested %d\n", run.iteration, count, unsettled_limits, cycle ? 1 : 0, set.single ? 1 : 0, set.relax ? 1 : 0, set.nested ? 1 : 0);
    if (std::getenv("KV_CONTACT_DEBUG") && count <= 8)
        for (std::size_t k : contradicted) {
            const ContactEntry& en = set.entries[k / 2];
            const ContactState& st = run.row_state<ContactState>(en.row);
            const ContactForces ff = contact_forces(run, en.contact, st);
            std::fprintf(stderr, "   contra type %d node %d dir %zu status %d -> %d N %.4g s %.6g g %.4g mu %.2f\n", en.dtype, en.contact.a, k % 2, st.status[k % 2], next[k / 2][k % 2], ff.normal[k % 2], relative_along(run, en.contact.a, en.contact.b, en.contact.directions[k % 2].n), st.limit, en.contact.mu);
        }
    if (count == 0)
        return;
    if (set.nested) {
        if (set.fewest < 0 || count < set.fewest) {
            set.fewest = count;
            set.block_tries = BLOCK_TRIES;
            if (!set.relax)
                set.single = false;
        } else if (set.block_tries > 0 && !cycle && !set.single) {
            --set.block_tries;
        } else {
            set.single = true;
        }
        if (cycle)
            set.single = true;
    }
    // A single change: the last contradicted status in the case's order.
    const std::size_t first = set.single ? contradicted.size() - 1 : 0;
    for (std::size_t k = 0; k < contradicted.size(); ++k) {
        const std::size_t e = contradicted[k] / 2, j = contradicted[k] % 2;
        const ContactEntry& entry = set.entries[e];
        ContactState& state = run.row_state<ContactState>(entry.row);
        note_state_change(run, entry.dtype, entry.row, entry.contact.a);
        set_verdict(set, e, false);
        if (k < first)
            continue;
        const bool was_closed = any_closed(entry.contact, state);
        state.status[j] = next[e][j];
        // A contact that closes or opens learns its friction limit again.
        if (any_closed(entry.contact, state) != was_closed) {
            static const double newly = std::getenv("KV_NEWLY") ? std::atof(std::getenv("KV_NEWLY")) : 0.0;
            state.limit = newly;
            state.stick = 0.0;
            set.limit_turn[e] = 0;
        }
    }
}

void contact_relinearise(AnalysisRun& run)
{
    ContactSet& set = contact_set(run);
    for (const ContactEntry& entry : set.entries) {
        if (entry.contact.mu <= 0.0)
            continue;
        ContactState& state = run.row_state<ContactState>(entry.row);
        friction_linearise(state, in_friction_plane(entry.contact, relative_motion(run, entry.contact.a, entry.contact.b)),
                           set.secant[static_cast<std::size_t>(&entry - set.entries.data())]);
    }
}

std::vector<std::string> check_contact_states(AnalysisRun& run)
{
    std::vector<std::string> failures;
    const ContactSet* set = run.find_run_state<ContactSet>();
    if (!set || set->entries.empty())
        return failures;
    double motion = 0.0, force = 0.0;
    case_scales(run, *set, motion, force);
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
        for (std::size_t j = 0; j < contact.directions.size(); ++j) {
            const ContactDirection& d = contact.directions[j];
            const double s = relative_along(run, contact.a, contact.b, d.n);
            const double load = f.normal[j];
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
        const double limit = contact.mu * normal_resultant(contact, f);
        const double friction = norm(f.friction);
        if (friction > limit * (1.0 + friction_relative) + force_tolerance) {
            fail(c_format("a friction of %.4g lb above mu N = %.4g lb", friction, limit));
            continue;
        }
        // A contact that slipped more than a sticking one may slides: its
        // friction is mu N against the slip.
        const Vec3 ut = in_friction_plane(contact, relative_motion(run, contact.a, contact.b));
        const double slip = norm(ut);
        const double sticking = std::max(set->slip, limit / k);
        if (slip <= sticking * (1.0 + friction_relative) + motion_tolerance)
            continue;
        const Vec3 against = scaled(ut, -limit / slip);
        if (norm(minus(f.friction, against)) > 3.0 * friction_relative * limit + force_tolerance)
            fail(c_format("slides %.4g in with a friction of %.4g lb that is not mu N = %.4g lb against the slip",
                          slip, friction, limit));
    }
    return failures;
}
