#include "supports/support_analysis.h"

#include "analysis_core/convergence.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/steps.h"
#include "supports/contact_solver.h"
#include "supports/support_common.h"

#include <algorithm>
#include <cmath>

namespace {

// Adds the n x n matrix k of the equations eq (0 skipped) to the store: each
// pair once, the upper triangle in equation order.
template <std::size_t N>
void add_matrix(AnalysisRun& run, const std::array<int, N>& eq, const double (&k)[N][N])
{
    for (std::size_t p = 0; p < N; ++p)
        for (std::size_t q = 0; q < N; ++q) {
            if (eq[p] == 0 || eq[q] == 0 || eq[p] > eq[q] || k[p][q] == 0.0)
                continue;
            run.add_stiffness(eq[p], eq[q], k[p][q]);
        }
}

// A unit vector normal to n.
Vec3 any_normal(const Vec3& n)
{
    const Vec3 helper = std::fabs(n.x) < 0.9 ? Vec3{1.0, 0.0, 0.0} : Vec3{0.0, 1.0, 0.0};
    Vec3 t = cross(n, helper);
    const double length = norm(t);
    return scaled(t, 1.0 / length);
}

// Two unit vectors at the most, held in place: they are asked for on every
// contact in every iteration.
struct Tangents {
    Vec3 v[2];
    std::size_t count = 0;
    std::size_t size() const { return count; }
    const Vec3* begin() const { return v; }
    const Vec3* end() const { return v + count; }
};

// The unit vectors that span the plane (or line) normal to the directions.
Tangents tangents(const Contact& contact)
{
    Tangents t;
    if (contact.directions.size() == 1) {
        const Vec3& n = contact.directions[0].n;
        const Vec3 t1 = any_normal(n);
        t.v[t.count++] = t1;
        t.v[t.count++] = cross(n, t1);
    } else if (contact.directions.size() == 2) {
        Vec3 t1 = cross(contact.directions[0].n, contact.directions[1].n);
        t.v[t.count++] = scaled(t1, 1.0 / norm(t1));
    }
    return t;
}

// The unit vector in the plane of friction normal to the sliding force
// (none when the plane is a line or nothing slides).
Vec3 across_slip(const Contact& contact, const ContactState& state)
{
    const Tangents t = tangents(contact);
    const double f = norm(state.friction);
    if (t.size() != 2 || f <= 0.0)
        return {};
    const Vec3 along = scaled(state.friction, 1.0 / f);
    for (const Vec3& candidate : t) {
        const Vec3 w = minus(candidate, scaled(along, dot(candidate, along)));
        if (norm(w) > 0.5)
            return scaled(w, 1.0 / norm(w));
    }
    return {};
}

bool closed(int status)
{
    return status != CONTACT_OPEN;
}

void add_vector_load(AnalysisRun& run, int a, int b, const Vec3& f)
{
    for (int i = 0; i < 3; ++i) {
        run.add_load(run.equation(a, i), component(f, i));
        if (b)
            run.add_load(run.equation(b, i), -component(f, i));
    }
}

}  // namespace

int support_node(const AnalysisRun& run, int row)
{
    const Model& m = run.layout();
    return m.rows.valid(row) ? m.rows[row].node_index : 0;
}

void add_line_spring(AnalysisRun& run, int a, int b, const Vec3& d, double k, bool rotational)
{
    if (a == 0)
        return;
    const int offset = rotational ? 3 : 0;
    if (run.structure_pass()) {
        run.add_stiffness(run.equation(a, offset), run.equation(b ? b : a, offset), 1.0);
        return;
    }
    std::array<int, 6> eq{};
    double kk[6][6] = {};
    for (int i = 0; i < 3; ++i) {
        eq[static_cast<std::size_t>(i)] = run.equation(a, offset + i);
        eq[static_cast<std::size_t>(3 + i)] = b ? run.equation(b, offset + i) : 0;
    }
    for (int i = 0; i < 3; ++i)
        for (int j = 0; j < 3; ++j) {
            const double v = k * component(d, i) * component(d, j);
            kk[i][j] = v;
            kk[3 + i][3 + j] = v;
            kk[i][3 + j] = -v;
            kk[3 + i][j] = -v;
        }
    add_matrix(run, eq, kk);
}

void add_axis_spring(AnalysisRun& run, int a, int b, int direction, double k)
{
    if (a == 0)
        return;
    const int ea = run.equation(a, direction);
    const int eb = b ? run.equation(b, direction) : 0;
    if (run.structure_pass()) {
        run.add_stiffness(ea, eb ? eb : ea, 1.0);
        return;
    }
    run.add_stiffness(ea, ea, k);
    if (eb) {
        run.add_stiffness(eb, eb, k);
        run.add_stiffness(ea, eb, -k);
    }
}

void add_line_load(AnalysisRun& run, int a, int b, const Vec3& d, double value, bool rotational)
{
    const int offset = rotational ? 3 : 0;
    for (int i = 0; i < 3; ++i) {
        const double v = value * component(d, i);
        if (a)
            run.add_load(run.equation(a, offset + i), v);
        if (b)
            run.add_load(run.equation(b, offset + i), -v);
    }
}

LocalAxes pipe_axes_at_node(const Model& model, int node, bool z_vertical)
{
    LocalAxes axes;
    double x = 0.0, y = 0.0, z = 0.0;
    if (node == 0 || pipe_direction_at_node(model, node, x, y, z) != 0)
        return axes;
    axes.x = {x, y, z};
    complete_local_axes(axes, z_vertical);
    return axes;
}

Vec3 vertical_axis(bool z_vertical)
{
    return z_vertical ? Vec3{0.0, 0.0, 1.0} : Vec3{0.0, 1.0, 0.0};
}

bool note_state_change(AnalysisRun& run, int dtype, int row, int node)
{
    check_convergence(run, 1.0, 0.0, -dtype, row, node);
    return false;
}

// ---- Contact -----------------------------------------------------------------------------

bool any_closed(const Contact& contact, const ContactState& state)
{
    for (std::size_t j = 0; j < contact.directions.size(); ++j)
        if (closed(state.status[j]))
            return true;
    return false;
}

Vec3 in_friction_plane(const Contact& contact, const Vec3& relative)
{
    Vec3 u = relative;
    for (const ContactDirection& d : contact.directions)
        u = minus(u, scaled(d.n, dot(u, d.n)));
    return u;
}

Vec3 contact_slip(const AnalysisRun& run, const Contact& contact, const ContactState& state)
{
    return minus(in_friction_plane(contact, relative_motion(run, contact.a, contact.b)), state.anchor);
}

void contact_reset(AnalysisRun& run, const Contact& contact, ContactState& state, int dtype, int row)
{
    contact_register(run, contact, dtype, row);
    state = ContactState{};
    for (std::size_t j = 0; j < contact.directions.size() && j < state.status.size(); ++j) {
        const ContactDirection& d = contact.directions[j];
        if (d.lower == d.upper)
            state.status[j] = CONTACT_BOTH;
        else if (d.lower == 0.0)
            state.status[j] = CONTACT_LOWER;
        else if (d.upper == 0.0)
            state.status[j] = CONTACT_UPPER;
        else
            state.status[j] = CONTACT_OPEN;
    }
    contact_start(run, row, state);
}

// In the dynamic steps the contacts keep the states the first operating case
// left them in; their friction holds the pipe in the plane of friction
// (sticking) when the option "Friction in dynamics" is on, and nothing
// otherwise, however it slid in the static case.
namespace {
bool dynamic_friction_held(const AnalysisRun& run, const Contact& contact, const ContactState& state)
{
    return run.snapshot().options.friction_in_dynamics && any_closed(contact, state);
}

// The stiffness of the springs of a contact that is not sliding.
double spring_stiffness(const Contact& contact, const ContactState& state)
{
    return state.limit < 0.0 ? contact.stiffness : state.spring;
}
}  // namespace

void contact_stiffness(AnalysisRun& run, const Contact& contact, const ContactState& state)
{
    const bool structure = run.structure_pass();
    for (std::size_t j = 0; j < contact.directions.size(); ++j)
        if (structure || closed(state.status[j]))
            add_line_spring(run, contact.a, contact.b, contact.directions[j].n, contact.stiffness);
    if (contact.mu <= 0.0)
        return;
    if (!structure && step_is_dynamic(run)) {
        if (dynamic_friction_held(run, contact, state))
            for (const Vec3& t : tangents(contact))
                add_line_spring(run, contact.a, contact.b, t, contact.stiffness);
        return;
    }
    if (!structure && !any_closed(contact, state))
        return;
    if (structure || !state.sliding) {
        const double k = structure ? contact.stiffness : spring_stiffness(contact, state);
        for (const Vec3& t : tangents(contact))
            add_line_spring(run, contact.a, contact.b, t, k);
    } else if (norm(state.across) > 0.0 && state.across_stiffness > 0.0) {
        add_line_spring(run, contact.a, contact.b, state.across, state.across_stiffness);
    }
}

void contact_loads(AnalysisRun& run, const Contact& contact, const ContactState& state)
{
    for (std::size_t j = 0; j < contact.directions.size(); ++j) {
        const ContactDirection& d = contact.directions[j];
        const int status = state.status[j];
        if (!closed(status))
            continue;
        const double limit = status == CONTACT_UPPER ? d.upper : d.lower;
        if (limit != 0.0)
            add_line_load(run, contact.a, contact.b, d.n, contact.stiffness * limit);
    }
    if (contact.mu <= 0.0 || !any_closed(contact, state) || step_is_dynamic(run))
        return;
    // The linearisation's springs act on the whole relative motion; the
    // slip is measured from the anchor, whose part they hold as a load.
    const FrictionLinear linear = friction_linear(contact, state);
    const Vec3 at_no_motion = linear.at(scaled(state.anchor, -1.0));
    if (norm(at_no_motion) > 0.0)
        add_vector_load(run, contact.a, contact.b, scaled(at_no_motion, -1.0));
}

Vec3 friction_law_force(const ContactState& state, const Vec3& s)
{
    const double m = norm(s);
    if (state.stick * m <= state.limit)
        return scaled(s, state.stick);
    return scaled(s, state.limit / m);
}

double friction_potential(const ContactState& state, const Vec3& s)
{
    const double m = norm(s), k = state.stick, g = state.limit;
    if (k <= 0.0)
        return 0.0;
    if (k * m <= g)
        return 0.5 * k * m * m;
    return g * m - 0.5 * g * g / k;
}

FrictionLinear friction_linear(const Contact& contact, const ContactState& state)
{
    FrictionLinear f;
    if (!state.sliding) {
        f.force = state.preload;
        f.spring = spring_stiffness(contact, state);
    } else {
        f.force = scaled(state.friction, -1.0);
        f.across = state.across;
        f.across_spring = norm(f.across) > 0.0 ? state.across_stiffness : 0.0;
    }
    return f;
}

Vec3 friction_linear_force(const Contact& contact, const ContactState& state, const Vec3& s)
{
    return friction_linear(contact, state).at(s);
}

void friction_linearise(const Contact& contact, ContactState& state, const Vec3& s, FrictionLinearisation how)
{
    state.sliding = false;
    state.friction = {};
    state.across_stiffness = 0.0;
    state.across = {};
    state.preload = {};
    state.spring = state.stick;
    const double m = norm(s);
    const bool edge = how == FRICTION_SLIDES && m > 0.0;
    if (state.limit < 0.0 || (state.stick * m <= state.limit && !edge) || how == FRICTION_STICKS)
        return;
    if (how == FRICTION_DAMPED) {
        state.spring = state.limit / m;
        return;
    }
    if (how == FRICTION_HELD) {
        // The sticking stiffness about the force of the law at s.
        state.preload = minus(scaled(s, state.limit / m), scaled(s, state.stick));
        return;
    }
    state.sliding = true;
    state.friction = scaled(s, -state.limit / m);
    state.across_stiffness = state.limit / m;
    state.across = across_slip(contact, state);
}

ContactForces contact_forces(const AnalysisRun& run, const Contact& contact, const ContactState& state)
{
    ContactForces f;
    for (std::size_t j = 0; j < contact.directions.size(); ++j) {
        const ContactDirection& d = contact.directions[j];
        const int status = state.status[j];
        if (!closed(status))
            continue;
        const double s = relative_along(run, contact.a, contact.b, d.n);
        const double limit = status == CONTACT_UPPER ? d.upper : d.lower;
        f.normal[j] = contact.stiffness * (limit - s);
        f.total = plus(f.total, scaled(d.n, f.normal[j]));
    }
    if (contact.mu > 0.0 && any_closed(contact, state)) {
        if (!step_is_dynamic(run))
            f.friction = scaled(friction_linear_force(contact, state, contact_slip(run, contact, state)), -1.0);
        else if (dynamic_friction_held(run, contact, state))
            f.friction = scaled(in_friction_plane(contact, relative_motion(run, contact.a, contact.b)),
                                -contact.stiffness);
        f.total = plus(f.total, f.friction);
    }
    return f;
}

std::array<int, 2> contact_changes(const AnalysisRun& run, const Contact& contact, const ContactState& state,
                                   double force_zero, double position_zero)
{
    std::array<int, 2> next = state.status;
    const ContactForces before = contact_forces(run, contact, state);
    for (std::size_t j = 0; j < contact.directions.size(); ++j) {
        const ContactDirection& d = contact.directions[j];
        const double s = relative_along(run, contact.a, contact.b, d.n);
        switch (state.status[j]) {
        case CONTACT_LOWER:
            if (before.normal[j] < -force_zero)
                next[j] = s > d.upper ? CONTACT_UPPER : CONTACT_OPEN;
            break;
        case CONTACT_UPPER:
            if (before.normal[j] > force_zero)
                next[j] = s < d.lower ? CONTACT_LOWER : CONTACT_OPEN;
            break;
        case CONTACT_OPEN:
            if (s < d.lower - position_zero)
                next[j] = CONTACT_LOWER;
            else if (s > d.upper + position_zero)
                next[j] = CONTACT_UPPER;
            break;
        default: break;
        }
    }
    return next;
}

bool contact_update(const AnalysisRun& run, int row)
{
    return contact_settled(run, row);
}
