// The outside check of a converged case's contacts, from the results as a
// reader of the report sees them: each limit stop (the one-way rests, the
// stops with gaps) stays within its limits, carries a load only where it
// stands at a limit, pushing the pipe back inside, and a friction of at
// most mu times that load; each guide keeps the pipe within its gap across
// it, pushes only where the pipe stands at the gap and carries a friction
// along the pipe of at most mu times its normal force.
#pragma once

#include "exchange/data/frame_solver.h"
#include "model/nodes.h"
#include "supports/guide.h"
#include "supports/limit_stop.h"
#include "supports/support_common.h"

#include <string>
#include <vector>

namespace batch_test {

class ContactCheckTest : public FrameSolveTest {
protected:
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
};

}  // namespace batch_test
