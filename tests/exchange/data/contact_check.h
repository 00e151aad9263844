// The outside check of a converged case's contacts, from the results as a
// reader of the report sees them: each limit stop (the one-way rests, the
// stops with gaps) stays within its limits, carries a load only where it
// stands at a limit, pushing the pipe back inside, and a friction of at
// most mu times that load; each guide keeps the pipe within its gap across
// it, pushes only where the pipe stands at the gap and carries a friction
// along the pipe of at most mu times its normal force. A state reached
// from another is checked also for its sliding: a contact that moved from
// there slides at mu N.
#pragma once

#include "exchange/data/frame_solver.h"
#include "loads/pipe_load.h"
#include "model/nodes.h"
#include "supports/guide.h"
#include "supports/limit_stop.h"
#include "supports/support_common.h"

#include <string>
#include <vector>

namespace batch_test {

// A batch text with static seismic factors (gx, gy, gz[, combination]; none
// when empty) and a wind along Z, by default of 0.1 psi at grade to 0.2 psi
// at 40 ft (the two points of elevation and pressure), put before its
// layout; wind_on_every_pipe_load lets the wind act on its pipe.
inline std::string with_occasional_loads(std::string text, const std::string& seismic,
                                         const std::string& wind_points = "0,0.1\n480,0.2")
{
    std::string occasional = seismic.empty() ? std::string() : "SEISMIC\n" + seismic + "\n";
    occasional += "WIND1\n0,0.7,0,0,1,0,0,0,0\n2\n" + wind_points + "\nLAYOUT\n";
    const std::size_t layout = text.find("LAYOUT\n");
    EXPECT_NE(layout, std::string::npos);
    if (layout != std::string::npos)
        text.replace(layout, 7, occasional);
    return text;
}
inline void wind_on_every_pipe_load()
{
    for (int i = 1; i <= pipe_loads().size(); ++i)
        pipe_loads()[i].wind = 1;
}

class ContactCheckTest : public FrameSolveTest {
protected:
    // Runs the text from the program's start-up state, keeping each state
    // that a case reaches from the state of the case it stands on by its
    // name ("Seismic (g) +Z", RunCallbacks::state_reached).
    void run_keeping_states(const std::string& text, const std::function<void()>& adjust = {})
    {
        reset_all();
        SetUp();
        states_.clear();
        callbacks_.state_reached = [this](const std::string& name, const CaseResults& state) { states_[name] = state; };
        run(text, adjust);
    }
    const CaseResults& state(const std::string& name)
    {
        EXPECT_TRUE(states_.count(name)) << "no state " << name;
        return states_[name];
    }

    // A model under the occasional loads of with_occasional_loads (the wind
    // on every pipe load): Operating (W+P1+T1) plus Wind is the state the
    // wind reaches, and it and every state of Seismic (g) converge and pass
    // the outside check from Operating.
    void expect_occasional_states(const std::string& text, const std::string& name, const std::string& seismic)
    {
        run_keeping_states(with_occasional_loads(text, seismic), wind_on_every_pipe_load);
        if (HasFatalFailure())
            return;
        const CaseResults& o = result(operating_code(1));
        for (int code : {int{LC_SEISMIC_G}, int{LC_WIND}})
            EXPECT_TRUE(result(code).converged) << name << " case " << code;
        EXPECT_TRUE(states_.count("Wind")) << name;
        EXPECT_GE(states_.size(), 3u) << name;
        for (const auto& [reached, s] : states_)
            check_state_from(o, s, name + " " + reached);
        const CaseResults& w = result(LC_WIND);
        for (std::size_t k = 0; k < w.support_loads.size(); ++k)
            EXPECT_NEAR(o.support_loads[k] + w.support_loads[k], state("Wind").support_loads[k], 1e-6) << name;
    }

    // The support values of a row in a case.
    static std::vector<double> row_loads(const CaseResults& c, int r)
    {
        int offset = 0;
        for (int k = 1; k < r; ++k)
            offset += support_word_count(model().rows[k].dtype);
        const auto begin = c.support_loads.begin() + offset;
        return {begin, begin + support_word_count(model().rows[r].dtype)};
    }

    // The outside check of a case's contacts (the header's comment).
    void check_contacts(const CaseResults& c, const std::string& where)
    {
        constexpr double MOTION = 1.0e-3;   // in
        double largest = 0.0;
        for (double f : c.support_loads)
            largest = std::max(largest, std::fabs(f));
        const double force = std::max(1.0, 1.0e-5 * largest);   // lb
        for (int r = 1; r <= numrows(); ++r) {
            const LayoutRow& row = model().rows[r];
            if (row.dtype == DT_LIMIT_STOP)
                check_stop(c, r, where, MOTION, force);
            else if (row.dtype == DT_GUIDE)
                check_guide(c, r, where, MOTION, force);
        }
    }

    void check_stop(const CaseResults& c, int r, const std::string& where, double motion, double force)
    {
        const LimitStop& stop = dynamic_cast<const LimitStop&>(*model().rows[r].data);
        if (stop.v.connected != 0)
            return;
        const std::array<double, 6> u = at(c, model().rows[r].node);
        const Vec n = unit({stop.v.direction[0], stop.v.direction[1], stop.v.direction[2]});
        const double w = u[0] * n[0] + u[1] * n[1] + u[2] * n[2];
        const std::vector<double> loads = row_loads(c, r);
        const double load = loads[0], friction = loads[1];
        const bool lower = stop.v.lower > -NO_LIMIT_TEST, upper = stop.v.upper < NO_LIMIT_TEST;
        const std::string at_row = where + ", stop of row " + std::to_string(r);
        if (lower) {
            EXPECT_GE(w, stop.v.lower - motion) << at_row;
        }
        if (upper) {
            EXPECT_LE(w, stop.v.upper + motion) << at_row;
        }
        if (load > force) {
            EXPECT_TRUE(lower && std::fabs(w - stop.v.lower) <= motion) << at_row << ": pushes " << load << " at " << w;
        }
        if (load < -force) {
            EXPECT_TRUE(upper && std::fabs(w - stop.v.upper) <= motion) << at_row << ": pushes " << load << " at " << w;
        }
        EXPECT_LE(friction, stop.v.mu * std::fabs(load) + force) << at_row;
    }

    void check_guide(const CaseResults& c, int r, const std::string& where, double motion, double force)
    {
        const Guide& guide = dynamic_cast<const Guide&>(*model().rows[r].data);
        if (guide.v.connected != 0)
            return;
        const int node = model().rows[r].node;
        double x = 0, y = 0, z = 0;
        ASSERT_EQ(pipe_direction_at_node(model(), node_index(node), x, y, z), 0);
        const Vec along = unit({x, y, z});
        // A level pipe is guided across it; a riser both ways across it.
        std::vector<Vec> normals;
        if (std::fabs(along[1]) > 0.9)
            normals = {{1, 0, 0}, {0, 0, 1}};
        else
            normals = {unit(cross(along, {0, 1, 0}))};
        const std::array<double, 6> u = at(c, node);
        const std::vector<double> loads = row_loads(c, r);
        const Vec f{loads[0], loads[1], loads[2]};
        Vec tangential = f;
        double normal_squared = 0.0;
        const std::string at_row = where + ", guide of row " + std::to_string(r);
        for (const Vec& n : normals) {
            const double w = u[0] * n[0] + u[1] * n[1] + u[2] * n[2];
            const double fn = dot(f, n);
            normal_squared += fn * fn;
            for (int i = 0; i < 3; ++i)
                tangential[static_cast<std::size_t>(i)] -= fn * n[static_cast<std::size_t>(i)];
            EXPECT_LE(std::fabs(w), guide.v.gap + motion) << at_row;
            if (std::fabs(fn) > force) {
                EXPECT_GE(std::fabs(w), guide.v.gap - motion) << at_row << ": pushes " << fn << " inside its gap";
                if (guide.v.gap > motion) {
                    EXPECT_LT(fn * w, 0.0) << at_row << ": pulls the pipe outward";
                }
            }
        }
        EXPECT_LE(std::sqrt(dot(tangential, tangential)), guide.v.mu * std::sqrt(normal_squared) + force) << at_row;
    }

    std::map<std::string, CaseResults> states_;

    // A state reached from a base state: besides the check of its contacts,
    // each rest or guide closed in both that moved in its plane of friction
    // by more than `slid` (in, far past a sticking contact's range) from
    // the base state slides, with a friction of mu N (within 2 %).
    void check_state_from(const CaseResults& base, const CaseResults& state, const std::string& where,
                          double slid = 0.05)
    {
        check_contacts(state, where);
        double largest = 0.0;
        for (double f : state.support_loads)
            largest = std::max(largest, std::fabs(f));
        const double force = std::max(1.0, 1.0e-5 * largest);
        for (int r = 1; r <= numrows(); ++r) {
            const LayoutRow& row = model().rows[r];
            if (row.dtype != DT_LIMIT_STOP && row.dtype != DT_GUIDE)
                continue;
            const std::string at_row = where + ", row " + std::to_string(r);
            const std::array<double, 6> u0 = at(base, row.node), u1 = at(state, row.node);
            const Vec moved{u1[0] - u0[0], u1[1] - u0[1], u1[2] - u0[2]};
            const std::vector<double> before = row_loads(base, r), after = row_loads(state, r);
            double mu = 0.0, normal_before = 0.0, normal = 0.0, friction = 0.0;
            Vec along{};
            if (row.dtype == DT_LIMIT_STOP) {
                const LimitStop& stop = dynamic_cast<const LimitStop&>(*row.data);
                if (stop.v.connected != 0)
                    continue;
                const Vec n = unit({stop.v.direction[0], stop.v.direction[1], stop.v.direction[2]});
                along = moved - dot(moved, n) * n;
                mu = stop.v.mu;
                normal_before = std::fabs(before[0]);
                normal = std::fabs(after[0]);
                friction = after[1];
            } else {
                const Guide& guide = dynamic_cast<const Guide&>(*row.data);
                double x = 0, y = 0, z = 0;
                if (guide.v.connected != 0 || pipe_direction_at_node(model(), node_index(row.node), x, y, z) != 0)
                    continue;
                const Vec axis = unit({x, y, z});
                // A level pipe's guide holds it across; its friction acts
                // along the pipe and up and down (a riser's both ways
                // across, its friction along it only).
                if (std::fabs(axis[1]) > 0.9)
                    continue;
                const Vec n = unit(cross(axis, {0, 1, 0}));
                along = moved - dot(moved, n) * n;
                mu = guide.v.mu;
                const Vec f0{before[0], before[1], before[2]}, f1{after[0], after[1], after[2]};
                normal_before = std::fabs(dot(f0, n));
                normal = std::fabs(dot(f1, n));
                friction = norm(f1 - dot(f1, n) * n);
            }
            if (mu <= 0.0 || normal_before <= force || normal <= force || norm(along) <= slid)
                continue;
            EXPECT_GE(friction, 0.98 * mu * normal - force)
                << at_row << " (" << (row.dtype == DT_GUIDE ? "guide" : "stop") << "): moves " << norm(along)
                << " in with a friction of " << friction << " below mu N " << mu * normal;
        }
    }
};

}  // namespace batch_test
