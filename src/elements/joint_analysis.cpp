// Ball and hinge joints in a run: stiffness, loads and masses, the nonlinear
// protocol (init, reset, update) and their end forces.
#include "elements/joint_analysis.h"

#include "analysis_core/convergence.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/steps.h"
#include "elements/element_analysis.h"
#include "elements/joints.h"
#include "framework/errors.h"
#include "framework/text.h"
#include "model/nodes.h"

#include <cmath>

double spring_stiffness_after(const SpringInput& in, double rotation, double moment, double friction_moment,
                              double sticking_factor)
{
    const double theta = std::fabs(rotation), m = std::fabs(moment);
    const double reach = in.limit < 5.0e29 ? in.stiffness * in.limit + in.friction : HUGE_VAL;
    if (m > reach)
        return (m - in.friction) / in.limit;
    if (friction_moment != 0.0 && m < in.friction)
        return theta <= 1.0e-6 ? JOINT_RIGID : sticking_factor * in.friction / theta;
    return in.stiffness;
}

double spring_operating_stiffness(double current, double moment, double friction)
{
    const double m = std::fabs(moment);
    return friction < m ? m * current / (m - friction) : JOINT_RIGID;
}

void ball_bending_friction(double friction, double my, double mz, double& fy, double& fz)
{
    double rho = 1.0;
    if (std::hypot(my, mz) != 0.0)
        rho = my == 0.0 ? 1.0e30 : std::fabs(mz) / std::fabs(my);
    fy = friction / std::sqrt(rho * rho + 1.0);
    fz = std::sqrt(std::max(friction * friction - fy * fy, 0.0));
    fy = std::min(fy, std::fabs(my));
    fz = std::min(fz, std::fabs(mz));
    fy = my > 0.0 ? -fy : fy;
    fz = mz > 0.0 ? -fz : fz;
}

void ball_joint_matrix(double torsional, double bending, ElementMatrix& k)
{
    k.clear();
    for (int i = 1; i <= 3; ++i) {
        k.k[i][i] = k.k[i + 6][i + 6] = JOINT_RIGID;
        k.set_symmetric(i, i + 6, -JOINT_RIGID);
    }
    k.k[4][4] = k.k[10][10] = torsional;
    k.set_symmetric(4, 10, -torsional);
    for (int i : {5, 6}) {
        k.k[i][i] = k.k[i + 6][i + 6] = bending;
        k.set_symmetric(i, i + 6, -bending);
    }
}

void hinge_matrix(double stiffness, ElementMatrix& k)
{
    k.clear();
    for (int i : {1, 2, 3, 5, 6}) {
        k.k[i][i] = k.k[i + 6][i + 6] = JOINT_RIGID;
        k.set_symmetric(i, i + 6, -JOINT_RIGID);
    }
    k.k[4][4] = k.k[10][10] = stiffness;
    k.set_symmetric(4, 10, -stiffness);
}

namespace {

const Elem& elem_of(const AnalysisRun& run, int element)
{
    return run.layout().elems[element];
}

std::string node_name(const AnalysisRun& run, int node)
{
    const Model& m = run.layout();
    return m.nodes.valid(node) ? node_text(m.nodes[node].number) : std::string();
}

double positive_or_one(float stiffness)
{
    return stiffness > 0.0f ? double(stiffness) : 1.0;
}

// Makes the joint's state: its axes and inputs (a zero stiffness is 1.0).
void init_joint(AnalysisRun& run, int element)
{
    JointState& s = run.element_state<JointState>(element);
    s = JointState{};
    const Elem& e = elem_of(run, element);
    const bool z_vertical = run.snapshot().options.z_vertical;
    Vec3 axis;
    if (const auto* ball = dynamic_cast<const BallJoint*>(element_object(run, element))) {
        double x = 0, y = 0, z = 0;
        if (pipe_direction_at_node(run.layout(), e.node2, x, y, z) != 0)
            throw_message(c_format("Unable to find ball joint direction at node %s", node_name(run, e.node2).c_str()));
        axis = {x, y, z};
        s.torsion = {positive_or_one(ball->torsional_stiffness), ball->torsional_limit, ball->torsional_friction};
        s.bending = {positive_or_one(ball->bending_stiffness), ball->bending_limit, ball->bending_friction};
    } else if (const auto* hinge = dynamic_cast<const HingeJoint*>(element_object(run, element))) {
        if (!hinge->has_axis())
            throw_message(c_format("Row %d: the hinge at node %s has no axis direction", e.row,
                                   node_name(run, e.node2).c_str()));
        axis = {hinge->axis[0], hinge->axis[1], hinge->axis[2]};
        s.torsion = {positive_or_one(hinge->stiffness), hinge->limit, hinge->friction};
        s.bending = SpringInput{JOINT_RIGID};
    } else {
        throw_not_analysable(run, element);
    }
    normalize3(axis.x, axis.y, axis.z);
    s.axes.x = axis;
    complete_local_axes(s.axes, z_vertical);
    s.torsion_state.operating = s.torsion.stiffness;
    s.bending_state.operating = s.bending.stiffness;
    s.ready = true;
}

JointState& joint_state(AnalysisRun& run, int element)
{
    JointState& s = run.element_state<JointState>(element);
    if (!s.ready)
        init_joint(run, element);
    return s;
}

void reset_joint(AnalysisRun& run, int element)
{
    JointState& s = joint_state(run, element);
    s.torsion_state.current = s.torsion.stiffness;
    s.bending_state.current = s.bending.stiffness;
    for (JointSpringState* spring : {&s.torsion_state, &s.bending_state})
        spring->previous[0] = spring->previous[1] = 0.0;
    for (int i = 0; i < 3; ++i)
        s.moment[i] = s.friction[i] = 0.0;
}

bool is_ball(const AnalysisRun& run, int element)
{
    return elem_of(run, element).kind == ET_BALL_JOINT;
}

double joint_weight(const AnalysisRun& run, int element)
{
    if (const auto* ball = dynamic_cast<const BallJoint*>(element_object(run, element)))
        return ball->weight;
    if (const auto* hinge = dynamic_cast<const HingeJoint*>(element_object(run, element)))
        return hinge->weight;
    return 0.0;
}

// The stiffness of a spring for the step's matrix.
void step_stiffness(AnalysisRun& run, const SpringInput& in, JointSpringState& spring, double moment)
{
    if (!in.nonlinear())
        return;
    if (!step_is_operating1(run) || run.force_recovery) {
        if (step_is_modal(run))
            spring.current = run.snapshot().options.friction_in_dynamics || in.limit < 5.0e29 ? spring.operating
                                                                                             : in.stiffness;
        return;
    }
    spring.operating = spring_operating_stiffness(spring.current, moment, in.friction);
}

// The joint's matrix and axes into the run's scratch.
void joint_matrix(AnalysisRun& run, int element)
{
    JointState& s = joint_state(run, element);
    const Elem& e = elem_of(run, element);
    ElementScratch& scratch = run.element();
    scratch.element = element;
    set_element_dofs(run, e.node1, e.node2);
    set_element_axes(run, s.axes);
    if (is_ball(run, element)) {
        step_stiffness(run, s.torsion, s.torsion_state, s.moment[0]);
        step_stiffness(run, s.bending, s.bending_state, std::hypot(s.moment[1], s.moment[2]));
        ball_joint_matrix(s.torsion_state.current, s.bending_state.current, scratch.k);
    } else {
        step_stiffness(run, s.torsion, s.torsion_state, s.moment[0]);
        hinge_matrix(s.torsion_state.current, scratch.k);
    }
}

// Weight and seismic g of the joint: W/2 at each node.
void joint_loads(AnalysisRun& run, int element)
{
    ElementScratch& scratch = run.element();
    scratch.f.clear();
    const double half = joint_weight(run, element) / 2.0;
    const ElementLoadStep step = element_load_step(run);
    const ElementLoadOptions options = element_load_options(run);
    Vec3 q;
    if (step.weight) {
        const Vec3 up = global_axis_in_local(scratch.axes, vertical_axis(options));
        q = {-half * up.x, -half * up.y, -half * up.z};
    }
    if (step.seismic_g) {
        const double g[3] = {step.g.x, step.g.y, step.g.z};
        for (int axis = 0; axis < 3; ++axis) {
            const Vec3 u = global_axis_in_local(scratch.axes, axis);
            q.x += half * g[axis] * u.x;
            q.y += half * g[axis] * u.y;
            q.z += half * g[axis] * u.z;
        }
    }
    for (int base : {1, 7}) {
        scratch.f.f[base] += q.x;
        scratch.f.f[base + 1] += q.y;
        scratch.f.f[base + 2] += q.z;
    }
}

// The friction moments (local) against node 1 and for node 2.
void friction_into_vector(const JointState& s, bool ball, ElementVector& f)
{
    for (int i = 0; i < (ball ? 3 : 1); ++i) {
        f.f[4 + i] -= s.friction[i];
        f.f[10 + i] += s.friction[i];
    }
}

void assemble_joint(AnalysisRun& run, int element)
{
    joint_matrix(run, element);
    assemble_element_stiffness(run);
    const Elem& e = elem_of(run, element);
    if (step_is_modal(run)) {
        add_lumped_mass(run, e, joint_weight(run, element) * 0.5 / GRAVITY);
        return;
    }
    joint_loads(run, element);
    assemble_element_loads(run);
    const JointState& s = joint_state(run, element);
    if (run.force_recovery || step_is_hanger_load_recalc(run))
        return;
    const LocalAxes& a = s.axes;
    const Vec3 m{a.x.x * s.friction[0] + a.y.x * s.friction[1] + a.z.x * s.friction[2],
                 a.x.y * s.friction[0] + a.y.y * s.friction[1] + a.z.y * s.friction[2],
                 a.x.z * s.friction[0] + a.y.z * s.friction[1] + a.z.z * s.friction[2]};
    const double global[3] = {m.x, m.y, m.z};
    for (int d = 0; d < 3; ++d) {
        if (global[d] == 0.0)
            continue;
        add_node_load(run, e.node1, 3 + d, -global[d]);
        add_node_load(run, e.node2, 3 + d, global[d]);
    }
}

// The end forces of the joint with its friction moments in them.
ElementVector joint_end_forces(AnalysisRun& run, int element, bool with_friction)
{
    const bool recovering = run.force_recovery;
    run.force_recovery = true;
    joint_matrix(run, element);
    joint_loads(run, element);
    if (with_friction)
        friction_into_vector(joint_state(run, element), is_ball(run, element), run.element().f);
    const ElementVector forces = compute_end_forces(run);
    run.force_recovery = recovering;
    return forces;
}

void joint_forces(AnalysisRun& run, int element)
{
    const int code = current_step_type(run);
    const bool dynamic = code == 31 || code == 35 || code == 36 || code == 37;
    const ElementVector forces = joint_end_forces(run, element, !dynamic);
    record_end_forces(run, forces);
}

bool joint_nonlinear(const AnalysisRun& run, int element)
{
    const ElementData* object = element_object(run, element);
    return object && object->is_nonlinear();
}

// One spring's update: its convergence tests, friction moment and stiffness.
void update_spring(AnalysisRun& run, int type, int node, const SpringInput& in, JointSpringState& spring,
                   double rotation, double moment, double friction_moment, double factor)
{
    const double theta = std::fabs(rotation);
    if (run.iteration < JOINT_LIMIT_REPORT_ITERATIONS && in.limit < 5.0e29 && in.limit * 1.000001 < theta &&
        !check_convergence(run, theta, in.limit, type, 0, node))
        count_unconverged(run);
    const double next = spring_stiffness_after(in, rotation, moment, friction_moment, factor);
    const bool sticking = friction_moment != 0.0 && std::fabs(moment) < in.friction &&
                          std::fabs(moment) <= in.stiffness * in.limit + in.friction;
    if (sticking && theta > 1.0e-6) {
        check_convergence(run, theta, 1.0e-6, type, 0, node);
        count_unconverged(run);
    }
    if (!check_convergence_abs(run, next, spring.current, type, 0, node))
        count_unconverged(run);
    spring.current = next;
}

void update_joint(AnalysisRun& run, int element)
{
    JointState& s = joint_state(run, element);
    const Elem& e = elem_of(run, element);
    const bool ball = is_ball(run, element);
    const ElementVector f = joint_end_forces(run, element, true);
    s.moment[0] = f.f[10];
    s.moment[1] = ball ? f.f[11] : 0.0;
    s.moment[2] = ball ? f.f[12] : 0.0;

    // The rotation of node 2 against node 1 in the joint's axes.
    const Vec3 relative = relative_motion(run, e.node2, e.node1, true);
    auto along = [&](const Vec3& v) { return dot(relative, v); };
    const double theta_t = along(s.axes.x);
    const int type = ball ? ET_BALL_JOINT : ET_HINGE_JOINT;
    const int node = e.node2;

    // Torsion (the hinge's one spring).
    if (s.torsion.nonlinear()) {
        if (!check_convergence(run, theta_t, s.torsion_state.previous[0], type, 0, node))
            count_unconverged(run);
        const double m = s.moment[0], friction = s.torsion.friction;
        double fm = std::fabs(m) < friction ? std::fabs(m) : friction;
        fm = m > 0.0 ? -fm : fm;
        s.friction[0] = fm;
        update_spring(run, type, node, s.torsion, s.torsion_state, theta_t, m, fm,
                      ball ? BALL_STICKING_FACTOR : HINGE_STICKING_FACTOR);
        s.torsion_state.previous[0] = theta_t;
    }
    if (ball && s.bending.nonlinear()) {
        const double ty = along(s.axes.y), tz = along(s.axes.z);
        if (!check_convergence(run, ty, s.bending_state.previous[0], type, 0, node))
            count_unconverged(run);
        if (!check_convergence(run, tz, s.bending_state.previous[1], type, 0, node))
            count_unconverged(run);
        double fy = 0.0, fz = 0.0;
        ball_bending_friction(s.bending.friction, s.moment[1], s.moment[2], fy, fz);
        s.friction[1] = fy;
        s.friction[2] = fz;
        const double mb = std::hypot(s.moment[1], s.moment[2]);
        update_spring(run, type, node, s.bending, s.bending_state, std::hypot(ty, tz), mb, std::hypot(fy, fz),
                      BALL_STICKING_FACTOR);
        s.bending_state.previous[0] = ty;
        s.bending_state.previous[1] = tz;
    }
}

}  // namespace

ElementKind joint_element_kind()
{
    ElementKind kind;
    kind.assemble = assemble_joint;
    kind.forces = joint_forces;
    kind.nonlinear = joint_nonlinear;
    kind.init = init_joint;
    kind.reset = reset_joint;
    kind.update = update_joint;
    return kind;
}
