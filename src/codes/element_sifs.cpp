#include "codes/element_sifs.h"

#include "analysis_core/analysis_model.h"
#include "analysis_core/section_properties.h"
#include "analysis_core/steps.h"
#include "elements/bend.h"
#include "elements/bend_flexibility.h"
#include "elements/branch_joint_flexibility.h"
#include "elements/branch_joints.h"
#include "elements/branch_sif.h"
#include "elements/miter.h"
#include "elements/reducer.h"
#include "elements/user_sif.h"
#include "elements/weld.h"
#include "framework/text.h"
#include "model/piping_codes.h"

#include <algorithm>
#include <bit>
#include <cmath>
#include <cstdint>
#include <numbers>
#include <optional>
#include <span>
#include <vector>

void CodeNotes::add(const std::string& text)
{
    if (std::find(texts.begin(), texts.end(), text) == texts.end())
        texts.push_back(text);
}

namespace {

// The values a user gave for a component (above 1.0), per component; the
// largest of several.
struct UserSifs {
    std::array<std::optional<double>, 4> value;   // in, out, axial, torsion

    void give(int component, double v)
    {
        if (!(v > 1.0))
            return;
        std::optional<double>& slot = value[static_cast<std::size_t>(component)];
        slot = slot ? std::max(*slot, v) : v;
    }
    bool any() const
    {
        return std::any_of(value.begin(), value.end(), [](const auto& v) { return v.has_value(); });
    }
    // Replaces the computed components the user gave.
    void apply(Sifs& s) const
    {
        double* c[4] = {&s.in_plane, &s.out_plane, &s.axial, &s.torsion};
        for (std::size_t i = 0; i < 4; ++i)
            if (value[i])
                *c[i] = *value[i];
    }
};

class SifBuilder {
public:
    SifBuilder(const AnalysisModel& m, CodeNotes& notes)
        : m_(m), notes_(notes), code_(m.piping_code), table_(sif_table(m.piping_code)),
          b31j_(m.options.use_b31j && code_allows_b31j(m.piping_code)),
          single_(!code_has_in_out_plane_sifs(m.piping_code, b31j_))
    {
        const std::size_t nodes = static_cast<std::size_t>(m.numnodes()) + 1;
        branch_sifs_.assign(nodes, nullptr);
        junctions_.assign(nodes, {});
        // The rows with data items of each node, in row order, in one array:
        // counted first, then placed.
        const auto item_node = [&m](int r) -> std::size_t {
            const LayoutRow& row = m.model.rows[r];
            return row.data && m.model.nodes.valid(row.node_index) ? static_cast<std::size_t>(row.node_index) : 0;
        };
        first_row_.assign(nodes + 1, 0);
        for (int r = 1; r <= m.numrows(); ++r)
            if (const std::size_t n = item_node(r))
                ++first_row_[n + 1];
        for (std::size_t n = 1; n <= nodes; ++n)
            first_row_[n] += first_row_[n - 1];
        node_rows_.resize(first_row_[nodes]);
        std::vector<std::size_t> next(first_row_.begin(), first_row_.end() - 1);
        for (int r = 1; r <= m.numrows(); ++r) {
            const std::size_t n = item_node(r);
            if (!n)
                continue;
            node_rows_[next[n]++] = r;
            // The last branch SIF at the node, every type.
            const LayoutRow& row = m.model.rows[r];
            if (row.dtype == DT_BRANCH_SIF)
                if (const auto* b = dynamic_cast<const BranchSif*>(row.data.get()))
                    branch_sifs_[n] = b;
        }
        for (std::size_t n = 1; n < nodes; ++n)
            if (!rows_at_node(static_cast<int>(n)).empty())
                junctions_[n] = find_junction(static_cast<int>(n));
        if (b31j_)
            notes_.add("The B31J stress intensification factors are not available: branch connections take the "
                       "SIFs of " + piping_code_name(code_) + "'s own table");
    }

    ModelSifs build()
    {
        ModelSifs out;
        out.elements = OneBased<ElementSifs>(m_.numelems());
        out.nodes = OneBased<NodeSifs>(m_.numnodes());
        for (NodeSifs& n : out.nodes)
            n.fill(1.0);
        for (int n = 1; n <= m_.numnodes(); ++n)
            out.nodes[n] = node_factors(n);
        for (int e = 1; e <= m_.numelems(); ++e)
            if (element_is_pipe_like(m_.model.elems[e]))
                element(e, out.elements[e]);
        return out;
    }

private:
    const AnalysisModel& m_;
    CodeNotes& notes_;
    int32_t code_;
    SifTable table_;
    bool b31j_;
    bool single_;
    // The rows with data items at node n: node_rows_[first_row_[n] .. first_row_[n + 1]).
    std::vector<std::size_t> first_row_;
    std::vector<int> node_rows_;
    std::span<const int> rows_at_node(int node) const
    {
        const std::size_t n = static_cast<std::size_t>(node);
        return std::span<const int>(node_rows_).subspan(first_row_[n], first_row_[n + 1] - first_row_[n]);
    }

    const PipeSection* section_of(const Elem& e) const
    {
        return m_.pipe_sections.valid(e.section) ? &m_.pipe_sections[e.section] : nullptr;
    }

    std::pair<double, double> size_at(const Elem& e, int node) const { return element_end_size(m_, e, node); }

    double max_pressure(const Elem& e) const
    {
        return pipe_load_step(m_, step_row(LC_SUSTAINED), e.load, e.row).pressure;
    }

    double cold_modulus(const Elem& e) const
    {
        if (!m_.pipe_materials.valid(e.material) || m_.pipe_materials[e.material].numtemps() == 0)
            return 0.0;
        return material_modulus_at(m_.pipe_materials[e.material], m_.options.reference_temperature);
    }

    std::string node_name(int node) const { return node_text(m_.model.nodes[node].number); }

    // ---- Bends ------------------------------------------------------------------

    bool is_arc(const Elem& e) const
    {
        return e.kind == ET_BEND || e.kind == ET_MITER || e.kind == ET_JACKETED_BEND;
    }

    void bend(const Elem& e, ElementSifs& out, UserSifs& user) const
    {
        const LayoutRow& row = m_.model.rows[e.row];
        const Bend* object = dynamic_cast<const Bend*>(row.element.get());
        const PipeSection* s = section_of(e);
        if (!object || !s)
            return;
        BendSifInput in;
        in.outside_diameter = s->outside_diameter;
        in.thickness = element_wall_thickness(m_, e);
        in.radius = e.bend_radius(m_.model);
        const auto* miter = e.kind == ET_MITER ? dynamic_cast<const Miter*>(object) : nullptr;
        in.miter = e.kind == ET_MITER && miter;
        in.widely_spaced = in.miter && miter->spacing == MITER_WIDELY_SPACED_ID;
        in.flanged_ends = e.flanged_ends(m_.model);
        in.pressure_correction = m_.options.pressure_correction;
        in.pressure = max_pressure(e);
        in.cold_modulus = cold_modulus(e);
        const bool frp = m_.pipe_materials.valid(e.material) && m_.pipe_materials[e.material].frp;
        BendValues& values = bend_values(in, frp);
        const Sifs sifs = values.sifs;
        out.end[0].take_larger(sifs);
        out.end[1].take_larger(sifs);
        // The D/T of the table's validity.
        range_note(in.outside_diameter, in.thickness, e.row);

        // The user's SIFs of the bend (the core's arcs carry them).
        if (!e.jacket) {
            user.give(0, object->sif_in);
            user.give(1, single_ ? object->sif_in : object->sif_out);
            user.give(2, object->sif_axial);
            user.give(3, object->sif_torsion);
        }

        // Flexibility factors shown with the forces.
        BendFlexibilityInput k;
        k.outside_diameter = in.outside_diameter;
        k.thickness = in.thickness;
        k.radius = in.radius;
        k.pressure = in.pressure;
        k.modulus = k.reference_modulus = in.cold_modulus;
        k.frp = frp;
        k.piping_code = code_;
        k.pressure_correction = in.pressure_correction;
        k.miter_spacing = in.miter ? (in.widely_spaced ? MITER_WIDELY_SPACED : MITER_CLOSELY_SPACED) : BEND_NOT_MITER;
        k.flanged_ends = in.flanged_ends;
        double kin = 1.0;
        if (!e.jacket && object->ff_in >= 0.0f)
            kin = object->ff_in;
        else if (values.characteristic > 0.0) {
            if (!values.flexibility)
                values.flexibility = bend_flexibility_factor(k);
            kin = *values.flexibility;
        }
        double kout = kin;
        if (!e.jacket && b31j_ && object->ff_out >= 0.0f)
            kout = object->ff_out;
        out.flexibility = {1.0, kout, kin};
    }

    // The SIFs and the flexibility of a bend, the same for every bend of
    // one size, radius, pressure and material: the last few kinds are kept
    // (most models have a handful), the flexibility factor worked out when
    // first asked for.
    struct BendValues {
        BendSifInput in;
        bool frp = false;
        Sifs sifs;
        double characteristic = 0.0;
        std::optional<double> flexibility;
    };
    // Bit for bit, so that a kept bend gives exactly what its own inputs would.
    static bool same_bend(const BendSifInput& a, const BendSifInput& b)
    {
        const auto same = [](double x, double y) { return std::bit_cast<uint64_t>(x) == std::bit_cast<uint64_t>(y); };
        return same(a.outside_diameter, b.outside_diameter) && same(a.thickness, b.thickness) &&
               same(a.radius, b.radius) && a.miter == b.miter && a.widely_spaced == b.widely_spaced &&
               a.flanged_ends == b.flanged_ends && a.pressure_correction == b.pressure_correction &&
               same(a.pressure, b.pressure) && same(a.cold_modulus, b.cold_modulus);
    }
    static constexpr std::size_t KEPT_BENDS = 8;
    mutable std::vector<BendValues> bends_;
    mutable std::size_t next_bend_ = 0;
    BendValues& bend_values(const BendSifInput& in, bool frp) const
    {
        for (BendValues& b : bends_)
            if (b.frp == frp && same_bend(b.in, in))
                return b;
        BendValues v{in, frp, bend_sifs(table_, in), bend_characteristic(in), std::nullopt};
        if (bends_.size() < KEPT_BENDS) {
            bends_.push_back(v);
            return bends_.back();
        }
        BendValues& slot = bends_[next_bend_];
        next_bend_ = (next_bend_ + 1) % KEPT_BENDS;
        return slot = v;
    }

    void range_note(double d, double t, int row) const
    {
        if (table_ == SifTable::B313 && t > 0.0 && d / t > 100.0)
            notes_.add(c_format("Row %d: D/T is above 100, beyond the range in which the SIFs of B31.3 Table D300 "
                                "were shown valid",
                                row));
    }

    // ---- Reducers ---------------------------------------------------------------

    void reducer(const Elem& e, ElementSifs& out) const
    {
        const auto* red = dynamic_cast<const Reducer*>(m_.model.rows[e.row].element.get());
        if (!red || !(red->od1 > 0.0f && red->od2 > 0.0f))
            return;
        double alpha = red->cone_angle * 180.0 / std::numbers::pi;
        if (!(red->cone_angle > 0.0f)) {
            // The cone between the two diameters over the reducer's length.
            const double length = norm(minus(node_position(m_.model, e.node2), node_position(m_.model, e.node1)));
            if (length > 0.0)
                alpha = std::atan(std::fabs(double(red->od1) - red->od2) / (2.0 * length)) * 180.0 / std::numbers::pi;
        }
        const bool first_small = red->od1 <= red->od2;
        const double d2 = first_small ? red->od1 : red->od2;
        const double t2 = first_small ? red->thickness1 : red->thickness2;
        const double i = reducer_sif(table_, alpha, d2, t2);
        // B31.3 para. 319.4.4(b): i_a = i for a listed component; i_t = 1.
        const Sifs s{i, i, i, single_ ? i : 1.0};
        out.end[0].take_larger(s);
        out.end[1].take_larger(s);
    }

    // ---- Data items at a node ----------------------------------------------------------

    // The run and branch sections at a node: the largest and the smallest
    // outside diameter of its pipe-like elements (their walls with them, and
    // the run's corrosion allowance).
    struct Junction {
        double run_diameter = 0.0, run_thickness = 0.0, run_allowance = 0.0;
        double branch_diameter = 0.0, branch_thickness = 0.0;
        bool found = false;
    };
    Junction find_junction(int node) const
    {
        Junction j;
        for (int e : m_.model.nodes[node].elements) {
            const Elem& el = m_.model.elems[e];
            if (!element_is_pipe_like(el))
                continue;
            const auto [d, t] = size_at(el, node);
            if (!(d > 0.0 && t > 0.0))
                continue;
            if (!j.found || d > j.run_diameter) {
                j.run_diameter = d, j.run_thickness = t;
                j.run_allowance =
                    m_.pipe_sections.valid(el.section) ? m_.pipe_sections[el.section].corrosion_allowance : 0.0;
            }
            if (!j.found || d < j.branch_diameter)
                j.branch_diameter = d, j.branch_thickness = t;
            j.found = true;
        }
        return j;
    }

    // The junction of a node that carries data items (found once).
    const Junction& junction(int node) const { return junctions_[static_cast<std::size_t>(node)]; }
    // The last branch SIF at the node, every type.
    const BranchSif* branch_sif(int node) const { return branch_sifs_[static_cast<std::size_t>(node)]; }

    // The SIFs of the items at the node for an end of wall t and diameter d.
    Sifs items(int node, double d, double t, UserSifs& user) const
    {
        Sifs s;
        if (rows_at_node(node).empty())
            return s;
        if (const BranchSif* b = branch_sif(node)) {
            const auto at = [&] { return node_name(node); };
            const Junction j = junction(node);
            if (j.found) {
                BranchSifInput in{b->sif_type, j.run_diameter, j.run_thickness, j.branch_diameter,
                                  j.branch_thickness, b->value1, b->value2};
                const BranchSifResult r = branch_sifs(table_, in);
                if (r.available) {
                    // A code of one SIF takes the larger of a table's in-
                    // and out-of-plane factors, as it does for a bend: Z662
                    // gives a welding tee i = 0.9/h^(2/3), the chart's i_o.
                    s.take_larger(single_ ? one(std::max(r.sifs.in_plane, r.sifs.out_plane)) : r.sifs);
                    if (!r.note.empty())
                        notes_.add("Node " + at() + ": " + r.note);
                    if (table_ == SifTable::B313 && j.run_diameter / j.run_thickness > 100.0)
                        notes_.add("Node " + at() + ": D/T is above 100, beyond the range in which the SIFs of "
                                   "B31.3 Table D300 were shown valid");
                } else if (table_ != SifTable::None) {
                    notes_.add(c_format("No stress intensification factor is available for the %s at node %s under "
                                        "%s",
                                        branch_sif_short_name(b->sif_type), at().c_str(),
                                        piping_code_name(code_).c_str()));
                }
            }
        }
        for (int r : rows_at_node(node)) {
            const LayoutRow& row = m_.model.rows[r];
            switch (row.dtype) {
            case DT_WELD:
                if (const auto* w = dynamic_cast<const Weld*>(row.data.get())) {
                    double i = 1.0;
                    if (w->weld_type == WELD_BUTT)
                        i = butt_weld_sif(table_, t, w->mismatch);
                    else if (w->weld_type == WELD_TAPERED)
                        i = tapered_transition_sif(table_, d, t, w->mismatch);
                    else if (w->weld_type == WELD_FILLET || w->weld_type == WELD_CONCAVE_FILLET)
                        i = fillet_weld_sif(table_);
                    s.take_larger({i, i, i, single_ ? i : 1.0});
                }
                break;
            case DT_THREADED_JOINT: {
                const double i = threaded_joint_sif(table_);
                s.take_larger({i, i, i, single_ ? i : 1.0});
                break;
            }
            case DT_USER_SIF:
                if (const auto* u = dynamic_cast<const UserSif*>(row.data.get())) {
                    user.give(0, u->sif_in);
                    user.give(1, single_ ? u->sif_in : u->sif_out);
                    user.give(2, u->sif_axial);
                    user.give(3, u->sif_torsion);
                }
                break;
            default: break;
            }
        }
        return s;
    }

    Sifs one(double i) const { return {i, i, i, i}; }

    std::vector<const BranchSif*> branch_sifs_;
    std::vector<Junction> junctions_;

    NodeSifs node_factors(int node) const
    {
        NodeSifs f;
        f.fill(1.0);
        const Junction j = junction(node);
        UserSifs user;
        Sifs s = items(node, j.run_diameter, j.run_thickness, user);
        user.apply(s);
        f[0] = s.in_plane;
        f[1] = s.out_plane;
        f[2] = s.axial;
        f[3] = s.torsion;
        for (int r : rows_at_node(node))
            if (m_.model.rows[r].dtype == DT_USER_SIF)
                if (const auto* u = dynamic_cast<const UserSif*>(m_.model.rows[r].data.get()))
                    for (int c = 0; c < SCF_COMPONENTS; ++c) {
                        if (u->scf_sustained[c] > 0.0f)
                            f[static_cast<std::size_t>(4 + c)] = u->scf_sustained[c];
                        if (u->scf_cyclic[c] > 0.0f)
                            f[static_cast<std::size_t>(9 + c)] = u->scf_cyclic[c];
                    }
        return f;
    }

    // ---- One element ---------------------------------------------------------------

    void element(int e, ElementSifs& out) const
    {
        const Elem& el = m_.model.elems[e];
        std::array<UserSifs, 2> user;
        if (is_arc(el))
            bend(el, out, user[0]);
        user[1] = user[0];
        if (el.kind == ET_REDUCER)
            reducer(el, out);
        const int nodes[2] = {el.node1, el.node2};
        for (std::size_t end = 0; end < 2; ++end) {
            const int node = nodes[end];
            const auto [d, t] = size_at(el, node);
            out.end[end].take_larger(items(node, d, t, user[end]));
            user[end].apply(out.end[end]);
            if (single_) {
                const double i = std::max(out.end[end].in_plane, out.end[end].out_plane);
                out.end[end] = one(i);
            }
            // A reduced branch: the smaller leg of a branch connection.
            if (branch_sif(node)) {
                const Junction j = junction(node);
                if (j.found && d < j.run_diameter - 1.0e-6) {
                    out.reduced_branch[end] = true;
                    out.branch_run_thickness[end] = j.run_thickness;
                    out.branch_run_allowance[end] = j.run_allowance;
                }
            }
        }
        if (b31j_ && (el.kind == ET_PIPE || el.kind == ET_JACKETED_PIPE || el.kind == ET_REDUCER))
            joint_flexibility(el, out);
    }

    // The B31J joint flexibility factors of a straight element at a branch
    // connection (the last of its two nodes that has one).
    void joint_flexibility(const Elem& el, ElementSifs& out) const
    {
        for (int node : {el.node1, el.node2}) {
            const BranchSif* b = branch_sif(node);
            if (!b || b->sif_type < BRANCH_WELDING_TEE || b->sif_type > BRANCH_WELDOLET)
                continue;
            const Junction j = junction(node);
            if (!j.found)
                continue;
            BranchJointNode n;
            n.run_diameter = j.run_diameter;
            n.run_thickness = j.run_thickness;
            n.branch_diameter = j.branch_diameter;
            n.branch_thickness = j.branch_thickness;
            n.sif_type = b->sif_type;
            n.sif_dimension = b->value1;
            n.end_count = b->num_flanges;
            PipeSection run_section, branch_section;
            run_section.outside_diameter = static_cast<float>(j.run_diameter);
            run_section.thickness = static_cast<float>(j.run_thickness);
            branch_section.outside_diameter = static_cast<float>(j.branch_diameter);
            branch_section.thickness = static_cast<float>(j.branch_thickness);
            n.in_range = branch_sif_in_range(run_section, branch_section);
            // The branch is the leg of the tee that is not one of its two
            // collinear run legs, whatever its size (the analysis' joint).
            const BranchTee tee = branch_tee_at_node(m_, node);
            if (tee.branch == 0)
                continue;
            const Elem& leg = m_.model.elems[tee.branch];
            const bool branch = leg.node1 == el.node1 && leg.node2 == el.node2;
            const BranchJointFactors k = branch_joint_factors(n, branch);
            // kb1 and kr1 stiffen the rotation about local y (the
            // out-of-plane moment my), kb2 and kr2 that about z (mz).
            out.flexibility = branch ? std::array<double, 3>{k.kbt, k.kb1, k.kb2}
                                     : std::array<double, 3>{k.krt, k.kr1, k.kr2};
        }
    }
};

}  // namespace

std::pair<double, double> element_end_size(const AnalysisModel& m, const Elem& e, int node)
{
    if (e.kind == ET_REDUCER && m.model.rows.valid(e.row))
        if (const auto* red = dynamic_cast<const Reducer*>(m.model.rows[e.row].element.get()))
            if (red->od1 > 0.0f && red->od2 > 0.0f)
                return node == e.node1 ? std::pair<double, double>{red->od1, red->thickness1}
                                       : std::pair<double, double>{red->od2, red->thickness2};
    if (!m.pipe_sections.valid(e.section))
        return {0.0, 0.0};
    return {m.pipe_sections[e.section].outside_diameter, element_wall_thickness(m, e)};
}

ModelSifs element_end_sifs(const AnalysisModel& model, CodeNotes& notes)
{
    return SifBuilder(model, notes).build();
}
