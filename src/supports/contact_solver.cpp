#include "supports/contact_solver.h"

#include "analysis_core/convergence.h"
#include "analysis_core/element_assembly.h"
#include "framework/text.h"
#include "framework/units.h"
#include "model/nodes.h"
#include "platform/threads.h"
#include "supports/support_common.h"

#include <algorithm>
#include <cmath>
#include <numeric>

namespace {

// Block changes that do not reduce the count of contradicted statuses
// before the single changes take over (Judice and Pires's p); interleaved
// with the friction, before the outer updates wait for it.
constexpr int BLOCK_TRIES = 3;
// Outer iterations without fewer unsettled contacts before the single
// changes and the relaxed limits take over.
constexpr int STALL_LIMIT = 6;
// The relaxation of the friction limits within the inner iterations and
// once the outer iterations stall; the bounds of each limit's own step
// (its secant relaxation, contact_outer_update).
constexpr double RELAXATION = 0.5;
constexpr double LEAST_LIMIT_STEP = 0.125;
constexpr double MOST_LIMIT_STEP = 4.0;
// The tolerances of the iterations and of the check, relative to the
// largest normal force and displacement of the case.
constexpr double ITERATION_RELATIVE = 1.0e-9;
// A friction limit that settled above mu N by more than this fraction of
// the iteration tolerance takes mu N for one more solution, so that the
// friction of a converged state is not above mu N by more than the
// precision of the forces hides (a few in 1e5).
constexpr double LIMIT_ABOVE = 0.05;
// Outer iterations without fewer unsettled contacts, the statuses standing,
// before the limits are accelerated together (accelerate_limits), and the
// samples of their fixed point that the acceleration keeps.
constexpr int ACCELERATE_AFTER = 2;
constexpr std::size_t LIMIT_MEMORY = 5;
// The two descents of a region search run side by side from this many
// slipping contacts: each takes about half a microsecond per contact, and
// on networks of 300 to 7 000 rows fewer gained nothing from a second
// thread.
constexpr std::size_t SIDE_BY_SIDE_SLIPS = 500;
constexpr double CHECK_RELATIVE = 1.0e-6;
// The least decrease of the energy a whole Newton step must give, as a
// fraction of d'Md (Armijo's condition; d'Md is minus the slope at the
// start for a Newton step of the law's own tangent).
constexpr double ARMIJO = 1.0e-4;
// A step cut shorter than this holds the contacts whose linearisation is
// further than their limit g from their law at the Newton point.
constexpr double SHORT_STEP = 0.5;
// The slip a sticking contact may make: 1e-5 of the largest translation of
// the case's first solution (the pipe held by every stop and sticking
// friction), small against every motion the case has, so that the state
// differs from Coulomb's with rigid sticking by that relative amount; at
// least 1e-9 in. The iterations start from a slip ten times wider (at most
// 1 in) and narrow it by ten each time the stops and the friction have
// settled with it: each narrower problem starts next to the solution of
// the one before.
constexpr double SLIP_RELATIVE = 1.0e-5;
constexpr double SLIP_LEAST = 1.0e-9;
constexpr double FIRST_SLIP_RELATIVE = 1.0e-4;
constexpr double FIRST_SLIP_MOST = 1.0;
constexpr double SLIP_NARROWING = 10.0;
// The most a sticking contact may move by its regularisation (in).
constexpr double STICK_MOST = 1.0e-3;

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

// The resultant of the normal forces that press: the part of each closed
// direction's force that pushes the pipe back inside (a stop at its lower
// limit pushing along +n, at its upper one along -n; one held both ways
// either way). Coulomb's limit is mu times the contact pressure, and a
// stop that pulls carries none: taking |N| there would give a pulling stop
// friction that grows with its pull, and the friction and the stop's
// status would feed each other in a cycle.
double pressing_resultant(const Contact& contact, const ContactState& state, const ContactForces& f)
{
    Vec3 n;
    for (std::size_t j = 0; j < contact.directions.size(); ++j) {
        const double load = f.normal[j];
        const int status = state.status[j];
        const bool presses = status == CONTACT_BOTH || (status == CONTACT_LOWER && load > 0.0) ||
                             (status == CONTACT_UPPER && load < 0.0);
        if (presses)
            n = plus(n, scaled(contact.directions[j].n, load));
    }
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

// The stiffness a contact with the friction limit g sticks with: g over the
// width of the sticking zone, so that a sticking contact moves at most that
// much whatever the stiffness of its stops (at most a rigid link's).
double stick_stiffness(const ContactSet& set, double limit)
{
    if (limit <= 0.0)
        return 0.0;
    return set.slip > 0.0 ? std::min(RIGID_LINK, limit / set.slip) : RIGID_LINK;
}

// One contact along a Newton step: its slip at the point and the step's
// change of it.
struct Slip {
    const Contact* contact;
    const ContactState* state;
    Vec3 start, change;
    FrictionLinear linear;
};

// What a contact's law adds to the energy over the length alpha of its
// step less what its linearisation (in M and the loads) adds.
double law_less_linear(const Slip& c, double alpha)
{
    const Vec3 end = plus(c.start, c.change);
    const Vec3 p0 = c.linear.at(c.start);
    // What the linearisation's springs add to d'Md over the step.
    const double springs = dot(minus(c.linear.at(end), p0), c.change);
    return friction_potential(*c.state, plus(c.start, scaled(c.change, alpha))) -
           friction_potential(*c.state, c.start) - alpha * dot(p0, c.change) - 0.5 * alpha * alpha * springs;
}

// The energy Pi along the step u + alpha d of the inner problem, from the
// step's quadratic part (the slope (M u - f)'d of the linearised problem at
// the point and d'Md, M its stiffness) and each contact's difference
// between its law and the linearisation that M and the loads hold.
class LineEnergy {
public:
    LineEnergy(double linear_slope, double curvature, std::vector<Slip> slips)
        : linear_slope_(linear_slope), curvature_(curvature), slips_(std::move(slips))
    {
    }
    double curvature() const { return curvature_; }
    // Pi'(alpha).
    double slope(double alpha) const
    {
        double g = linear_slope_ + alpha * curvature_;
        for (const Slip& c : slips_) {
            const Vec3 s = plus(c.start, scaled(c.change, alpha));
            g += dot(minus(friction_law_force(*c.state, s), c.linear.at(s)), c.change);
        }
        return g;
    }
    // Pi(alpha) - Pi(0).
    double change(double alpha) const
    {
        double e = alpha * linear_slope_ + 0.5 * alpha * alpha * curvature_;
        for (const Slip& c : slips_)
            e += law_less_linear(c, alpha);
        return e;
    }

private:
    double linear_slope_;
    double curvature_;
    std::vector<Slip> slips_;
};

// The step length: 1 when the whole step lowers the energy enough; 0 when
// the step does not lower it at all; else the least of the energy along
// the step, the root of its slope (which grows with alpha: Pi is convex)
// by regula falsi (the Illinois variant) kept inside its bracket.
double line_search(const LineEnergy& line)
{
    if (line.change(1.0) <= -ARMIJO * line.curvature())
        return 1.0;
    const double slope0 = line.slope(0.0);
    if (!(slope0 < 0.0))
        return 0.0;
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

// The regions of the nodes for the step lengths: runs of REGION_NODES nodes
// in the analysis order (which follows the model's runs), the regions of
// the two nodes of a contact merged.
constexpr int REGION_NODES = 40;

void build_regions(const AnalysisRun& run, ContactSet& set)
{
    const int nodes = run.equation_count() / 6;
    const int chunks = (nodes + REGION_NODES - 1) / REGION_NODES;
    std::vector<int> parent(static_cast<std::size_t>(chunks));
    for (int c = 0; c < chunks; ++c)
        parent[static_cast<std::size_t>(c)] = c;
    auto root = [&parent](int c) {
        while (parent[static_cast<std::size_t>(c)] != c)
            c = parent[static_cast<std::size_t>(c)] = parent[static_cast<std::size_t>(parent[static_cast<std::size_t>(c)])];
        return c;
    };
    for (const ContactEntry& entry : set.entries) {
        const int a = run.node_n(entry.contact.a), b = entry.contact.b ? run.node_n(entry.contact.b) : 0;
        if (a > 0 && b > 0)
            parent[static_cast<std::size_t>(root((a - 1) / REGION_NODES))] = root((b - 1) / REGION_NODES);
    }
    std::vector<int> number(static_cast<std::size_t>(chunks), -1);
    set.regions = 0;
    set.region.assign(static_cast<std::size_t>(nodes), 0);
    for (int i = 0; i < nodes; ++i) {
        int& r = number[static_cast<std::size_t>(root(i / REGION_NODES))];
        if (r < 0)
            r = set.regions++;
        set.region[static_cast<std::size_t>(i)] = r;
    }
}

// The energy over a step whose length alpha_j differs by region j: the
// quadratic part from the step's products by region (D_ij = d_i'M d_j) and
// the slopes b_j = (M u - f)_j'd_j, and each contact's difference between
// its law and its linearisation at its region's length. Minimised over the
// box [0, 1]^R by cyclic coordinate descent with exact searches, from the
// common length; it lowers the energy at least as much as the common
// length (a multi-dimensional search, which converges for a convex
// function: Z.-Q. Luo, P. Tseng, "On the convergence of the coordinate
// descent method for convex differentiable minimization", J. Optimization
// Theory and Applications 72, 1992, 7-35).
class RegionSearch {
public:
    RegionSearch(int regions, std::vector<double> products, std::vector<double> slopes,
                 std::vector<std::vector<Slip>> slips)
        : regions_(regions), d_(std::move(products)), b_(std::move(slopes)), slips_(std::move(slips))
    {
        // The regions couple few others: each row's terms other than 0, in
        // order (a term left out would add 0 to the sums below).
        const auto r_count = static_cast<std::size_t>(regions_);
        row_start_.reserve(r_count + 1);
        row_start_.push_back(0);
        for (std::size_t j = 0; j < r_count; ++j) {
            for (std::size_t i = 0; i < r_count; ++i)
                if (d_[j * r_count + i] != 0.0)
                    row_terms_.push_back({i, d_[j * r_count + i]});
            row_start_.push_back(row_terms_.size());
        }
    }
    // The lengths of least energy found by the descent from the common
    // length and from whole steps: a descent from the common length stops
    // at the first region it cannot lengthen alone, and one from whole
    // steps can end elsewhere when the regions' kinks interact. The two
    // descents share nothing and run side by side (one after the other
    // with few slipping contacts, rather than wake a thread); the one from
    // whole steps counts only where the other does not end there.
    void minimise_from_both(std::vector<double>& alpha) const
    {
        const std::vector<double> ones(alpha.size(), 1.0);
        std::vector<double> whole = ones;
        std::size_t slipping = 0;
        for (const std::vector<Slip>& region : slips_)
            slipping += region.size();
        if (slipping >= SIDE_BY_SIDE_SLIPS) {
            run_jobs(2, [&](int job) { minimise(job == 0 ? alpha : whole); });
        } else {
            minimise(alpha);
            minimise(whole);
        }
        if (alpha == ones)
            return;
        if (energy(whole) < energy(alpha))
            alpha = std::move(whole);
    }
    // Pi(alpha) - Pi(0) for the lengths alpha by region.
    double energy(const std::vector<double>& alpha) const
    {
        const auto r_count = static_cast<std::size_t>(regions_);
        double e = 0.0;
        for (std::size_t j = 0; j < r_count; ++j) {
            double row = 0.0;
            for (std::size_t t = row_start_[j]; t < row_start_[j + 1]; ++t)
                row += row_terms_[t].value * alpha[row_terms_[t].region];
            e += alpha[j] * (b_[j] + 0.5 * row);
            for (const Slip& c : slips_[j])
                e += law_less_linear(c, alpha[j]);
        }
        return e;
    }
    void minimise(std::vector<double>& alpha) const
    {
        const auto r_count = static_cast<std::size_t>(regions_);
        for (int sweep = 0; sweep < 8; ++sweep) {
            double moved = 0.0;
            for (std::size_t j = 0; j < r_count; ++j) {
                if (!(d_[j * r_count + j] > 0.0))
                    continue;
                double base = b_[j];
                for (std::size_t t = row_start_[j]; t < row_start_[j + 1]; ++t)
                    if (row_terms_[t].region != j)
                        base += row_terms_[t].value * alpha[row_terms_[t].region];
                const double next = search(j, base);
                moved = std::max(moved, std::fabs(next - alpha[j]));
                alpha[j] = next;
            }
            if (moved < 1.0e-4)
                break;
        }
    }

private:
    double slope(std::size_t j, double base, double a) const
    {
        const auto r_count = static_cast<std::size_t>(regions_);
        double g = base + d_[j * r_count + j] * a;
        for (const Slip& c : slips_[j]) {
            const Vec3 s = plus(c.start, scaled(c.change, a));
            g += dot(minus(friction_law_force(*c.state, s), c.linear.at(s)), c.change);
        }
        return g;
    }
    double search(std::size_t j, double base) const
    {
        double low = 0.0, high = 1.0;
        double f_low = slope(j, base, 0.0), f_high = slope(j, base, 1.0);
        if (!(f_high > 0.0))
            return 1.0;
        if (!(f_low < 0.0))
            return 0.0;
        double a = 0.5;
        for (int i = 0; i < 40 && high - low > 1.0e-6; ++i) {
            a = std::clamp((low * f_high - high * f_low) / (f_high - f_low), low + 0.05 * (high - low),
                           high - 0.05 * (high - low));
            const double f = slope(j, base, a);
            (f < 0.0 ? low : high) = a;
            (f < 0.0 ? f_low : f_high) = f;
        }
        return a;
    }

    struct Term {
        std::size_t region;
        double value;
    };
    int regions_;
    std::vector<double> d_;
    std::vector<std::size_t> row_start_;
    std::vector<Term> row_terms_;
    std::vector<double> b_;
    std::vector<std::vector<Slip>> slips_;
};

// Moves a friction limit g towards mu N (the target) by its own step, at
// most `most`: the secant of the limit's fixed point from its last two
// moves, 1 / (1 - s) for the slope s of mu N in g, which lengthens the
// steps of a limit that creeps towards its value and shortens those of one
// that turns back and forth (Aitken's relaxation of a fixed point, one
// limit at a time: B. M. Irons, R. C. Tuck, "A version of the Aitken
// accelerator for computer iteration", Int. J. Numerical Methods in
// Engineering 1, 1969, 275-277; U. Kuettler, W. A. Wall, "Fixed-point
// fluid-structure interaction solvers with dynamic relaxation",
// Computational Mechanics 43, 2008, 61-72), kept within bounds. A limit
// without a last move takes the step it had, at most `first`.
void move_limit(ContactSet& set, std::size_t e, ContactState& state, double target, double most, double first)
{
    const double difference = target - state.limit;
    double& step = set.limit_step[e];
    double& last = set.limit_residual[e];
    if (set.limit_secant[e] && last != difference)
        step = std::clamp(step * last / (last - difference), LEAST_LIMIT_STEP, MOST_LIMIT_STEP);
    else
        step = std::min(step, first);
    step = std::min(step, most);
    last = difference;
    set.limit_secant[e] = 1;
    state.limit = std::max(0.0, state.limit + step * difference);
}

// Whether a friction limit g has settled at mu N (the target): within the
// iteration tolerance of it, and with `above` less than 1 within that
// fraction of the tolerance above it.
bool limit_settled(const ContactSet& set, double limit, double target, double tolerance, double above = 1.0)
{
    const double difference = target - limit;
    const double room = difference >= 0.0 ? tolerance * target : above * tolerance * target;
    return std::fabs(difference) <= room + set.zero.force;
}

// The friction limits as one fixed point g = T(g), T(g) = mu N of the
// solution with the limits g, once the stops' statuses stand and the
// limits' own secant steps stall. A limit's normal force depends on the
// limits of its neighbours along the piping, so that a limit's secant reads
// their moves as its own slope: limits that drift together creep by the
// least steps and ones that swing against each other turn back and forth.
// Anderson's mixing steps from the last samples (g_i, r_i = T(g_i) - g_i)
// together: the combination of their differences that leaves the least
// residual, each limit's in the units of its tolerance,
//   g+ = g + r - (dG + dR) c,   c the least |W (r - dR c)|,
// which extrapolates a common drift and damps a common swing (for a linear
// T it is GMRES on g = T(g)): D. G. Anderson, "Iterative procedures for
// nonlinear integral equations", J. ACM 12, 1965, 547-560; H. F. Walker,
// P. Ni, "Anderson acceleration for fixed-point iterations", SIAM J.
// Numerical Analysis 49, 2011, 1715-1735. The residual aims at the middle
// of the band in which a limit counts as settled (from the tolerance below
// mu N to LIMIT_ABOVE of it above), so that the limits come to rest inside
// it rather than on its edge.
void accelerate_limits(AnalysisRun& run, ContactSet& set)
{
    const std::vector<LimitSample>& history = set.limit_history;
    const LimitSample& now = history.back();
    const std::size_t m = history.size() - 1;
    std::vector<std::vector<double>> columns(m, std::vector<double>(now.members.size()));
    std::vector<double> b(now.members.size());
    for (std::size_t k = 0; k < now.members.size(); ++k) {
        b[k] = now.weight[k] * now.residual[k];
        for (std::size_t i = 0; i < m; ++i)
            columns[i][k] = now.weight[k] * (history[i + 1].residual[k] - history[i].residual[k]);
    }
    const std::vector<double> c = least_squares(std::move(columns), b);
    for (std::size_t k = 0; k < now.members.size(); ++k) {
        double g = now.limit[k] + now.residual[k];
        for (std::size_t i = 0; i < m; ++i)
            g -= c[i] * (history[i + 1].limit[k] - history[i].limit[k] + history[i + 1].residual[k] -
                         history[i].residual[k]);
        const ContactEntry& entry = set.entries[now.members[k]];
        ContactState& state = run.row_state<ContactState>(entry.row);
        state.limit = std::max(0.0, g);
        state.stick = stick_stiffness(set, state.limit);
    }
}

ContactSet& contact_set(AnalysisRun& run)
{
    return run.run_state<ContactSet>();
}


// The tolerances from the scales of the run's solution and, at the case's
// first solution, the slip a sticking contact may make; every contact with
// a limit sticks by it.
void update_scales(AnalysisRun& run, ContactSet& set)
{
    double motion = 0.0, force = 0.0;
    case_scales(run, set, motion, force);
    set.zero.force = std::max(CONTACT_FORCE_ZERO, ITERATION_RELATIVE * force);
    set.zero.position = std::max(CONTACT_POSITION_ZERO, ITERATION_RELATIVE * motion);
    if (set.slip > 0.0)
        return;
    set.final_slip = std::clamp(SLIP_RELATIVE * motion, SLIP_LEAST, STICK_MOST);
    // A load path keeps the narrow zone: its increments start next to their
    // solutions.
    set.slip = set.path ? set.final_slip
                        : std::clamp(FIRST_SLIP_RELATIVE * motion, set.final_slip, std::max(set.final_slip, FIRST_SLIP_MOST));
    for (const ContactEntry& entry : set.entries) {
        ContactState& state = run.row_state<ContactState>(entry.row);
        if (state.limit > 0.0)
            state.stick = stick_stiffness(set, state.limit);
    }
}

// The statuses that the run's solution contradicts, counted up to `most`.
int statuses_contradicted(AnalysisRun& run, const ContactSet& set, int most)
{
    int count = 0;
    for (const ContactEntry& entry : set.entries) {
        const ContactState& state = run.row_state<ContactState>(entry.row);
        const std::array<int, 2> next = contact_changes(run, entry.contact, state, set.zero.force, set.zero.position);
        for (std::size_t j = 0; j < entry.contact.directions.size(); ++j)
            if (next[j] != state.status[j] && ++count >= most)
                return count;
    }
    return count;
}

// The narrower regularisation once the stops and the friction settled
// with the present one: the contacts that stuck stick at first (springs
// from no slip), the others follow their law. True when it changed any
// contact.
bool narrow_slip(AnalysisRun& run, ContactSet& set)
{
    if (set.slip <= set.final_slip)
        return false;
    set.slip = std::max(set.final_slip, set.slip / SLIP_NARROWING);
    bool changed = false;
    for (std::size_t e = 0; e < set.entries.size(); ++e) {
        const ContactEntry& entry = set.entries[e];
        const Contact& c = entry.contact;
        ContactState& state = run.row_state<ContactState>(entry.row);
        if (!has_friction(c, state) || state.stick >= RIGID_LINK)
            continue;
        const Vec3 slip = contact_slip(run, c, state);
        const bool sticking = state.stick * norm(slip) <= state.limit;
        state.stick = stick_stiffness(set, state.limit);
        set.linearisation[e] = sticking ? FRICTION_STICKS : FRICTION_BY_LAW;
        friction_linearise(c, state, slip, set.linearisation[e]);
        if (!changed)
            note_state_change(run, entry.dtype, entry.row, c.a);
        set.settled[e] = 0;
        changed = true;
    }
    return changed;
}

}  // namespace

std::vector<double> least_squares(std::vector<std::vector<double>> columns, const std::vector<double>& b)
{
    constexpr double CONDITION = 1.0e6;
    const std::size_t all = columns.size(), n = b.size();
    while (!columns.empty()) {
        const std::size_t m = columns.size();
        std::vector<std::vector<double>> q = columns;
        std::vector<double> r(m * m, 0.0);
        bool independent = true;
        double largest = 0.0, least = HUGE_VAL;
        for (std::size_t j = 0; j < m && independent; ++j) {
            for (std::size_t i = 0; i < j; ++i) {
                const double d = std::inner_product(q[i].begin(), q[i].end(), q[j].begin(), 0.0);
                r[i * m + j] = d;
                for (std::size_t k = 0; k < n; ++k)
                    q[j][k] -= d * q[i][k];
            }
            const double length = std::sqrt(std::inner_product(q[j].begin(), q[j].end(), q[j].begin(), 0.0));
            const double original =
                std::sqrt(std::inner_product(columns[j].begin(), columns[j].end(), columns[j].begin(), 0.0));
            independent = length > 0.0 && length * CONDITION > original;
            if (independent)
                for (double& x : q[j])
                    x /= length;
            r[j * m + j] = length;
            largest = std::max(largest, length);
            least = std::min(least, length);
        }
        if (!independent || largest > CONDITION * least) {
            columns.erase(columns.begin());
            continue;
        }
        std::vector<double> c(m, 0.0);
        for (std::size_t j = 0; j < m; ++j)
            c[j] = std::inner_product(q[j].begin(), q[j].end(), b.begin(), 0.0);
        for (std::size_t j = m; j-- > 0;) {
            for (std::size_t i = j + 1; i < m; ++i)
                c[j] -= r[j * m + i] * c[i];
            c[j] /= r[j * m + j];
        }
        c.insert(c.begin(), all - m, 0.0);
        return c;
    }
    return std::vector<double>(all, 0.0);
}

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
    set.limit_step.push_back(1.0);
    set.limit_residual.push_back(0.0);
    set.limit_secant.push_back(0);
    set.linearisation.push_back(FRICTION_BY_LAW);
}

void clear_contact_set(AnalysisRun& run, const ContactStarts* start, bool path, double path_slip)
{
    ContactSet& set = contact_set(run);
    set.clear();
    if (start)
        set.start = *start;
    set.path = path;
    if (path && path_slip > 0.0)
        set.slip = set.final_slip = path_slip;
}

double contact_final_slip(const AnalysisRun& run)
{
    const ContactSet* set = run.find_run_state<ContactSet>();
    return set ? set->final_slip : 0.0;
}

ContactStarts contact_states(AnalysisRun& run)
{
    ContactStarts starts;
    for (const ContactEntry& entry : contact_set(run).entries) {
        const auto row = static_cast<std::size_t>(entry.row);
        if (row >= starts.has.size()) {
            starts.has.resize(row + 1, 0);
            starts.state.resize(row + 1);
            starts.anchor.resize(row + 1);
        }
        const Contact& c = entry.contact;
        const ContactState& state = run.row_state<ContactState>(entry.row);
        starts.state[row] = state;
        starts.has[row] = 1;
        starts.anchor[row] = in_friction_plane(c, relative_motion(run, c.a, c.b));
        if (has_friction(c, state) && state.stick > 0.0)
            starts.anchor[row] = minus(starts.anchor[row],
                                       scaled(friction_law_force(state, contact_slip(run, c, state)), 1.0 / state.stick));
    }
    return starts;
}

void contact_start(AnalysisRun& run, int row, ContactState& state)
{
    const ContactSet& set = contact_set(run);
    const ContactStarts& start = set.start;
    if (row < 0 || static_cast<std::size_t>(row) >= start.has.size() || !start.has[static_cast<std::size_t>(row)])
        return;
    const auto r = static_cast<std::size_t>(row);
    state = start.state[r];
    // On a load path the friction's spring is tied where it gave the force
    // the start state had; a case solved at once measures the slip from the
    // unloaded piping.
    state.anchor = set.path ? start.anchor[r] : Vec3{};
}

const Contact* registered_contact(const AnalysisRun& run, int row)
{
    const ContactSet* set = run.find_run_state<ContactSet>();
    if (!set || row < 0 || static_cast<std::size_t>(row) >= set->entry_of_row.size())
        return nullptr;
    const int entry = set->entry_of_row[static_cast<std::size_t>(row)];
    return entry < 0 ? nullptr : &set->entries[static_cast<std::size_t>(entry)].contact;
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
        // The first solution is the point. A contact that started from the
        // state of the case before holds that case's linearisation, which
        // need not be its law here.
        if (set.slip <= 0.0)
            update_scales(run, set);
        set.point = run.solution;
        set.has_point = true;
        const double tolerance = run.snapshot().options.iteration_tolerance;
        bool solved = true;
        for (std::size_t e : friction) {
            const ContactEntry& entry = set.entries[e];
            const Contact& c = entry.contact;
            const ContactState& state = run.row_state<ContactState>(entry.row);
            const Vec3 slip = contact_slip(run, c, state);
            const double change = norm(minus(friction_law_force(state, slip), friction_linear(c, state).at(slip)));
            if (change <= tolerance * state.limit + set.zero.force)
                continue;
            check_convergence(run, state.limit, state.limit - change, -entry.dtype, entry.row, c.a);
            set.settled[e] = 0;
            solved = false;
        }
        set.inner_solved = solved;
        if (solved || statuses_contradicted(run, set, 1) > 0)
            return true;
        contact_relinearise(run);
        return false;
    }

    // The Newton step d from the point u, the slope (M u - f)'d of the
    // linearised problem at u and the curvature d'Md.
    const int n = run.equation_count();
    OneBased<double>& step = set.newton_step;
    step.resize(n);
    for (int e = 1; e <= n; ++e)
        step[e] = run.solution[e] - set.point[e];
    // The solution solves M u_N = f with the factor of M, so M u - f =
    // -M d: one product gives both.
    OneBased<double>& product = set.newton_product;
    run.store.multiply(step, product);
    const double curvature = dot_all(step, product);
    const double linear_slope = -curvature;
    for (int e = 1; e <= n; ++e)
        product[e] = -product[e];

    std::vector<Slip> slips;
    slips.reserve(friction.size());
    for (std::size_t e : friction) {
        const ContactEntry& entry = set.entries[e];
        const Contact& c = entry.contact;
        const ContactState& state = run.row_state<ContactState>(entry.row);
        slips.push_back({&c, &state, minus(in_friction_plane(c, relative_in(run, set.point, c.a, c.b)), state.anchor),
                         in_friction_plane(c, relative_in(run, step, c.a, c.b)), friction_linear(c, state)});
    }
    const LineEnergy line(linear_slope, curvature, slips);
    double alpha = line_search(line);
    if (alpha <= 0.0) {
        // A step that does not lower the energy comes of contacts made to
        // stick where their law slides: they are held where they stand
        // for the next one (a linearisation of the law's own force).
        bool forced = false;
        for (std::size_t e : friction)
            forced = forced || set.linearisation[e] == FRICTION_STICKS;
        if (forced)
            for (std::size_t e : friction)
                set.linearisation[e] = set.linearisation[e] == FRICTION_STICKS ? FRICTION_HELD : FRICTION_BY_LAW;
        else
            alpha = 1.0;
    }
    // A step cut short: each region's own length, from the common one.
    std::vector<double> lengths;
    if (alpha > 0.0 && alpha < 1.0) {
        if (set.region.size() * 6 != static_cast<std::size_t>(n))
            build_regions(run, set);
        const auto r_count = static_cast<std::size_t>(set.regions);
        std::vector<double> products;
        run.store.region_products(step, set.region, set.regions, products);
        std::vector<double> slopes(r_count, 0.0);
        for (int e = 1; e <= n; ++e)
            slopes[static_cast<std::size_t>(set.region[static_cast<std::size_t>((e - 1) / 6)])] += product[e] * step[e];
        std::vector<std::vector<Slip>> by_region(r_count);
        for (const Slip& c : slips)
            by_region[static_cast<std::size_t>(set.region[static_cast<std::size_t>(run.node_n(c.contact->a) - 1)])]
                .push_back(c);
        lengths.assign(r_count, alpha);
        RegionSearch(set.regions, std::move(products), std::move(slopes), std::move(by_region))
            .minimise_from_both(lengths);
    }
    auto length_at = [&](int node_n) {
        return lengths.empty() ? alpha : lengths[static_cast<std::size_t>(set.region[static_cast<std::size_t>(node_n - 1)])];
    };
    if (alpha < 1.0)
        for (int e = 1; e <= n; ++e)
            run.solution[e] = set.point[e] + length_at((e + 5) / 6) * step[e];

    // Settled where the whole step left the friction within the tolerance
    // of its law.
    const double tolerance = run.snapshot().options.iteration_tolerance;
    bool solved = true;
    for (std::size_t k = 0; k < friction.size(); ++k) {
        const ContactEntry& entry = set.entries[friction[k]];
        const Slip& c = slips[k];
        const double a = length_at(run.node_n(c.contact->a));
        const Vec3 s = plus(c.start, scaled(c.change, a));
        const double g = c.state->limit;
        double change = norm(minus(friction_law_force(*c.state, s), c.linear.at(s)));
        if (a >= 1.0 && change <= tolerance * g + set.zero.force)
            continue;
        change = std::max(change, (1.0 - a) * g);
        check_convergence(run, g, g - change, -entry.dtype, entry.row, entry.contact.a);
        set.settled[friction[k]] = 0;
        solved = false;
    }
    set.inner_solved = solved;
    // How each contact is linearised next: a contact whose Newton step
    // would carry it back past where it started sliding is predicted to
    // stick (the choice of a primal-dual active set method: G. Stadler,
    // "Semismooth Newton and augmented Lagrangian methods for a simplified
    // friction problem", SIAM J. Optimization 15, 2004, 39-62); it follows
    // its law again when sticking takes more than g. After a step cut
    // short, a contact whose linearisation at the Newton point was further
    // than g from its law is held where it stands for the next one: the
    // springs of its sticking stiffness about the law's force, a quadratic
    // above its potential (k is the Lipschitz constant of the law), so
    // that the next step lowers the energy at those contacts without a
    // cut (a majorisation step: K. Lange, "MM Optimization Algorithms",
    // SIAM 2016, ch. 1), where the law's own tangent let the step run far
    // past its kink. A held contact follows its law after its step.
    if (alpha > 0.0)
        for (std::size_t k = 0; k < friction.size(); ++k) {
            const Slip& c = slips[k];
            FrictionLinearisation& how = set.linearisation[friction[k]];
            const Vec3 s = plus(c.start, scaled(c.change, length_at(run.node_n(c.contact->a))));
            const Vec3 newton = plus(c.start, c.change);
            if (how == FRICTION_HELD || how == FRICTION_DAMPED)
                how = FRICTION_BY_LAW;
            else if (alpha < SHORT_STEP &&
                     norm(minus(friction_law_force(*c.state, newton), c.linear.at(newton))) > c.state->limit)
                how = c.state->sliding ? FRICTION_DAMPED : FRICTION_HELD;
            else if (c.state->sliding && dot(newton, c.start) <= 0.0)
                how = FRICTION_STICKS;
            else if (!c.state->sliding && how == FRICTION_STICKS && c.state->stick * norm(s) > c.state->limit)
                how = FRICTION_BY_LAW;
        }

    // While the stops' statuses still change, their update follows each
    // whole Newton step rather than waiting for the friction to be solved.
    // Once their block changes stall, they wait for it, but change all the
    // same after a whole step that leaves fewer contacts' friction
    // unsettled than half the statuses it contradicts: the stops are then
    // most of what is left to settle, and solving the friction of statuses
    // that are about to change is wasted; while the friction has more left,
    // changing the statuses would stir it up again.
    bool outer = solved;
    if (!outer && alpha >= 1.0) {
        if (!set.nested) {
            outer = statuses_contradicted(run, set, 1) > 0;
        } else {
            int unsettled = 0;
            for (std::size_t e : friction)
                unsettled += set.settled[e] ? 0 : 1;
            outer = 2 * unsettled < statuses_contradicted(run, set, 2 * unsettled + 1);
        }
    }
    if (!outer) {
        for (std::size_t e : friction)
            if (!set.settled[e])
                count_unconverged(run);
        // The limits follow the normal forces meanwhile (a step of the
        // outer fixed point, at first halfway), so that the outer
        // iterations have less left to settle; each line search holds its
        // own. Each move changes the friction by more than the tolerance
        // where it is more than that, so that the friction settles only
        // once the limits have. Where the normal forces answer the
        // friction strongly (the guides of a riser whose friction carries
        // its weight) the two can chase each other: the case's load path
        // then holds the limits through each increment (contact_solver.h).
        // Nor do they follow while they are accelerated together: each
        // sample of their fixed point is the solution of the limits the
        // last outer update set.
        for (std::size_t e : friction) {
            if (!set.limit_history.empty())
                break;
            const ContactEntry& entry = set.entries[e];
            ContactState& state = run.row_state<ContactState>(entry.row);
            const double target =
                entry.contact.mu * pressing_resultant(entry.contact, state, contact_forces(run, entry.contact, state));
            if (!set.limits_given) {
                if (!limit_settled(set, state.limit, target, tolerance))
                    move_limit(set, e, state, target, MOST_LIMIT_STEP, RELAXATION);
                else
                    set.limit_secant[e] = 0;
            }
            state.stick = stick_stiffness(set, state.limit);
        }
        contact_relinearise(run);
    }
    set.point = run.solution;
    return outer;
}

void contact_outer_update(AnalysisRun& run)
{
    ContactSet& set = contact_set(run);
    if (set.entries.empty())
        return;
    update_scales(run, set);
    const double tolerance = run.snapshot().options.iteration_tolerance;

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

    // The friction limits from this solution's normal forces, relaxed
    // where they oscillate; accelerated together (a sample of their fixed
    // point each outer update) while the statuses stand, the friction is
    // solved and every limit is known, once the unsettled contacts stall.
    LimitSample sample;
    bool accelerate = !set.limits_given && set.nested && contradicted.empty() && set.inner_solved &&
                      (set.stalled >= ACCELERATE_AFTER || !set.limit_history.empty());
    for (std::size_t e = 0; e < set.entries.size() && accelerate; ++e) {
        const ContactEntry& entry = set.entries[e];
        const ContactState& state = run.row_state<ContactState>(entry.row);
        if (entry.contact.mu > 0.0 && any_closed(entry.contact, state)) {
            accelerate = state.limit >= 0.0;
            sample.members.push_back(e);
        }
    }
    // The samples before are of the same limits.
    const bool mixing = accelerate && !set.limit_history.empty() && set.limit_history.back().members == sample.members;
    if (!mixing)
        set.limit_history.clear();
    int unsettled_limits = 0;
    for (std::size_t e = 0; e < set.entries.size(); ++e) {
        const ContactEntry& entry = set.entries[e];
        const Contact& c = entry.contact;
        ContactState& state = run.row_state<ContactState>(entry.row);
        if (c.mu <= 0.0 || !any_closed(c, state))
            continue;
        if (set.limits_given) {
            // A contact that closed in the increment has no limit given.
            state.limit = std::max(0.0, state.limit);
            state.stick = stick_stiffness(set, state.limit);
            continue;
        }
        const double target = c.mu * pressing_resultant(c, state, contact_forces(run, c, state));
        if (accelerate) {
            sample.limit.push_back(state.limit);
            sample.residual.push_back(target * (1.0 - 0.5 * (1.0 - LIMIT_ABOVE) * tolerance) - state.limit);
            sample.weight.push_back(1.0 / (tolerance * target + set.zero.force));
        }
        if (mixing) {
            // Unsettled as below; accelerate_limits moves every limit.
            set.limit_secant[e] = 0;
            if (!limit_settled(set, state.limit, target, tolerance)) {
                check_convergence(run, target, state.limit, -entry.dtype, entry.row, c.a);
            } else if (!limit_settled(set, state.limit, target, tolerance, LIMIT_ABOVE)) {
                note_state_change(run, entry.dtype, entry.row, c.a);
            } else {
                continue;
            }
            set.settled[e] = 0;
            ++unsettled_limits;
            continue;
        }
        if (state.limit < 0.0) {
            state.limit = target;
            set.limit_secant[e] = 0;
            note_state_change(run, entry.dtype, entry.row, c.a);
            set.settled[e] = 0;
            ++unsettled_limits;
        } else if (!limit_settled(set, state.limit, target, tolerance)) {
            check_convergence(run, target, state.limit, -entry.dtype, entry.row, c.a);
            move_limit(set, e, state, target, set.relax ? RELAXATION : MOST_LIMIT_STEP, 1.0);
            set.settled[e] = 0;
            ++unsettled_limits;
        } else if (!limit_settled(set, state.limit, target, tolerance, LIMIT_ABOVE)) {
            // Settled, but above mu N by more than the forces' precision
            // hides: it takes mu N for one more solution.
            state.limit = target;
            set.limit_secant[e] = 0;
            note_state_change(run, entry.dtype, entry.row, c.a);
            set.settled[e] = 0;
            ++unsettled_limits;
        } else {
            set.limit_secant[e] = 0;
        }
        state.stick = stick_stiffness(set, state.limit);
    }

    if (accelerate) {
        set.limit_history.push_back(std::move(sample));
        if (set.limit_history.size() > LIMIT_MEMORY + 1)
            set.limit_history.erase(set.limit_history.begin());
        if (mixing && unsettled_limits > 0)
            accelerate_limits(run, set);
    }

    // The statuses: a state seen before (other than the last one) is a
    // cycle.
    bool cycle = false;
    if (set.seen.empty() || set.seen.back() != hash) {
        cycle = std::find(set.seen.begin(), set.seen.end(), hash) != set.seen.end();
        set.seen.push_back(hash);
    }
    const int count = static_cast<int>(contradicted.size());
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
        const int unsettled = count + unsettled_limits;
        if (set.least_unsettled < 0 || unsettled < set.least_unsettled) {
            set.least_unsettled = unsettled;
            set.stalled = 0;
        } else if (++set.stalled >= STALL_LIMIT) {
            set.relax = true;
            set.single = true;
        }
    }
    // Settled statuses and a solved friction: the regularisation narrows.
    if (count == 0 && set.inner_solved)
        narrow_slip(run, set);
    if (count == 0)
        return;
    if (set.nested) {
        // Single changes that come back to a state seen change one
        // status of the whole case from then on.
        if (cycle && set.single)
            set.lone = true;
        // Judice and Pires: block changes while they reduce the count, a
        // single change otherwise or on a cycle.
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
    // Single changes: the last contradicted status in the case's order of
    // each region of the piping (runs of nodes joined where contacts join
    // them), or of the whole case once those cycled. A region's statuses
    // settle among themselves as Murty's rule has them, and regions far
    // apart hardly act on each other, so that a case with stops unsettled
    // in many places does not wait for each in turn.
    std::vector<char> changes(contradicted.size(), set.single ? 0 : 1);
    if (set.single && set.lone) {
        changes.back() = 1;
    } else if (set.single) {
        if (set.region.size() * 6 != static_cast<std::size_t>(run.equation_count()))
            build_regions(run, set);
        std::vector<char> taken(static_cast<std::size_t>(set.regions), 0);
        for (std::size_t k = contradicted.size(); k-- > 0;) {
            const int node_n = run.node_n(set.entries[contradicted[k] / 2].contact.a);
            char& region = taken[static_cast<std::size_t>(set.region[static_cast<std::size_t>(node_n - 1)])];
            if (!region)
                region = changes[k] = 1;
        }
    }
    for (std::size_t k = 0; k < contradicted.size(); ++k) {
        const std::size_t e = contradicted[k] / 2, j = contradicted[k] % 2;
        const ContactEntry& entry = set.entries[e];
        ContactState& state = run.row_state<ContactState>(entry.row);
        note_state_change(run, entry.dtype, entry.row, entry.contact.a);
        set.settled[e] = 0;
        if (!changes[k])
            continue;
        const bool was_closed = any_closed(entry.contact, state);
        state.status[j] = next[e][j];
        // A contact that closes starts without friction, its normal force
        // not known yet; one that opens has none.
        if (any_closed(entry.contact, state) != was_closed) {
            state.limit = 0.0;
            state.stick = 0.0;
            set.limit_step[e] = 1.0;
            set.limit_secant[e] = 0;
        }
    }
}

void contact_path_from_state(AnalysisRun& run)
{
    contact_set(run).path = true;
    contact_settle_increment(run);
}

void contact_settle_increment(AnalysisRun& run)
{
    ContactSet& set = contact_set(run);
    for (std::size_t e = 0; e < set.entries.size(); ++e) {
        const Contact& c = set.entries[e].contact;
        ContactState& state = run.row_state<ContactState>(set.entries[e].row);
        const Vec3 motion = in_friction_plane(c, relative_motion(run, c.a, c.b));
        if (!has_friction(c, state) || state.stick <= 0.0) {
            state.anchor = motion;
            continue;
        }
        const Vec3 force = friction_law_force(state, contact_slip(run, c, state));
        state.anchor = minus(motion, scaled(force, 1.0 / state.stick));
    }
}

std::vector<double> contact_limit_targets(AnalysisRun& run)
{
    const ContactSet& set = contact_set(run);
    std::vector<double> targets(set.entries.size(), 0.0);
    for (std::size_t e = 0; e < set.entries.size(); ++e) {
        const Contact& c = set.entries[e].contact;
        const ContactState& state = run.row_state<ContactState>(set.entries[e].row);
        if (c.mu > 0.0 && any_closed(c, state))
            targets[e] = c.mu * pressing_resultant(c, state, contact_forces(run, c, state));
    }
    return targets;
}

bool contact_friction_lags(AnalysisRun& run, double share)
{
    ContactSet& set = contact_set(run);
    double largest = 0.0;
    const std::vector<double> targets = contact_limit_targets(run);
    for (double t : targets)
        largest = std::max(largest, t);
    for (std::size_t e = 0; e < set.entries.size(); ++e) {
        const Contact& c = set.entries[e].contact;
        const ContactState& state = run.row_state<ContactState>(set.entries[e].row);
        if (c.mu <= 0.0 || !any_closed(c, state) || !set.held_limit[e])
            continue;
        const double friction = state.limit > 0.0 ? norm(friction_law_force(state, contact_slip(run, c, state))) : 0.0;
        const double room = share * targets[e] + 1.0e-3 * largest;
        const bool slid = friction >= state.limit * (1.0 - 1.0e-9) && state.limit < targets[e] - room;
        if (slid || friction > targets[e] + room)
            return true;
    }
    return false;
}

void contact_start_increment(AnalysisRun& run, bool from_solution, bool slide_on, const std::vector<double>* limits)
{
    ContactSet& set = contact_set(run);
    ContactSet next;
    next.entries = std::move(set.entries);
    next.entry_of_row = std::move(set.entry_of_row);
    next.zero = set.zero;
    next.slip = set.slip;
    next.final_slip = set.final_slip;
    next.region = std::move(set.region);
    next.regions = set.regions;
    next.start = std::move(set.start);
    next.path = set.path;
    next.limits_given = limits != nullptr;
    const std::size_t count = next.entries.size();
    next.settled.assign(count, 1);
    next.linearisation.assign(count, FRICTION_BY_LAW);
    next.limit_step.assign(count, 1.0);
    next.limit_residual.assign(count, 0.0);
    next.limit_secant.assign(count, 0);
    next.held_limit.assign(count, 0);
    set = std::move(next);
    for (std::size_t e = 0; e < count; ++e)
        set.held_limit[e] = any_closed(set.entries[e].contact, run.row_state<ContactState>(set.entries[e].row));
    if (!from_solution) {
        // At the path's start the limits are those of the start states, or
        // none (no load yet).
        for (const ContactEntry& entry : set.entries) {
            ContactState& state = run.row_state<ContactState>(entry.row);
            state.limit = std::max(0.0, state.limit);
            state.stick = stick_stiffness(set, state.limit);
        }
        return;
    }
    // From a settled state: each limit as given, or mu N there, and the
    // increment's first Newton step starts there, each contact linearised
    // by its law; one that slid taken to slide on at the edge of its
    // sticking zone, where its anchor now is.
    const std::vector<double> targets = limits ? std::vector<double>{} : contact_limit_targets(run);
    for (std::size_t e = 0; e < count; ++e) {
        const Contact& c = set.entries[e].contact;
        ContactState& state = run.row_state<ContactState>(set.entries[e].row);
        if (c.mu <= 0.0)
            continue;
        state.limit = std::max(0.0, limits && e < limits->size() ? (*limits)[e] : targets.empty() ? 0.0 : targets[e]);
        state.stick = stick_stiffness(set, state.limit);
        if (any_closed(c, state))
            set.linearisation[e] = slide_on && state.sliding ? FRICTION_SLIDES : FRICTION_BY_LAW;
    }
    contact_relinearise(run);
    std::fill(set.linearisation.begin(), set.linearisation.end(), FRICTION_BY_LAW);
    set.point = run.solution;
    set.has_point = true;
}

void contact_relinearise(AnalysisRun& run)
{
    ContactSet& set = contact_set(run);
    for (std::size_t e = 0; e < set.entries.size(); ++e) {
        const ContactEntry& entry = set.entries[e];
        if (entry.contact.mu <= 0.0)
            continue;
        ContactState& state = run.row_state<ContactState>(entry.row);
        friction_linearise(entry.contact, state, contact_slip(run, entry.contact, state), set.linearisation[e]);
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
    // Motions and forces in the model's units.
    const UnitChoices& units = run.snapshot().units;
    const auto motion_text = [&units](double v, int digits = 4) {
        return value_with_unit(DISPLACEMENT, v, units, digits);
    };
    const auto force_text = [&units](double v) { return value_with_unit(FORCE, v, units, 4); };
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
                fail("past its lower limit " + motion_text(d.lower, 6) + " by " + motion_text(low - s) +
                     " with a load of " + force_text(load));
            else if (s > high + motion_tolerance)
                fail("past its upper limit " + motion_text(d.upper, 6) + " by " + motion_text(s - high) +
                     " with a load of " + force_text(load));
            // A load only at a closed limit, pushing the pipe back inside.
            if (load > force_tolerance && (no_limit(d.lower) || std::fabs(s - low) > motion_tolerance))
                fail("a load of " + force_text(load) + " along +n " + motion_text(s - d.lower) +
                     " away from its lower limit");
            else if (load < -force_tolerance && (no_limit(d.upper) || std::fabs(s - high) > motion_tolerance))
                fail("a load of " + force_text(-load) + " along -n " + motion_text(d.upper - s) +
                     " away from its upper limit");
        }
        if (contact.mu <= 0.0)
            continue;
        const double limit = contact.mu * pressing_resultant(contact, state, f);
        const double friction = norm(f.friction);
        if (friction > limit * (1.0 + friction_relative) + force_tolerance) {
            fail("a friction of " + force_text(friction) + " above mu N = " + force_text(limit));
            continue;
        }
        // A contact that slipped more than a sticking one may (the width
        // of its sticking zone, at most STICK_MOST) slides: its friction is
        // mu N against the slip.
        const Vec3 ut = contact_slip(run, contact, state);
        const double slip = norm(ut);
        const double sticking = std::max(set->slip, limit / RIGID_LINK);
        if (slip <= sticking * (1.0 + friction_relative) + motion_tolerance)
            continue;
        const Vec3 against = scaled(ut, -limit / slip);
        if (norm(minus(f.friction, against)) <= 3.0 * friction_relative * limit + force_tolerance)
            continue;
        if (friction < limit * (1.0 - 3.0 * friction_relative))
            fail("moves " + motion_text(slip) + " with a friction of " + force_text(friction) + " below mu N = " +
                 force_text(limit) + ", where a contact that sticks may move at most " + motion_text(sticking, 3));
        else
            fail("slides " + motion_text(slip) + " with a friction of " + force_text(friction) +
                 " that is not mu N = " + force_text(limit) + " against the slip");
    }
    return failures;
}
