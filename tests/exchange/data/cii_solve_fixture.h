// CAESAR II neutral files imported and solved: the fixture that imports a
// text into the empty model, keeps its closing note, and solves the
// default load cases of what it made, with the small frame solver of the
// tests to check them against; and the lines of 6 in STD pipe that the
// files of the tests are made of.
#pragma once

#include "analysis/model_check.h"
#include "elements/bend.h"
#include "exchange/cii_build.h"
#include "exchange/data/frame_solver.h"
#include "exchange/data/neutral_fixture.h"

#include <array>
#include <map>
#include <string>
#include <vector>

namespace batch_test {

class CaesarSolveTest : public FrameSolveTest {
protected:
    // The error text, empty when the text was taken (its note in notes_).
    std::string import_cii(const std::string& text)
    {
        reset_model();
        clear_model_sections();
        return neutral_test::import_cii_into(text, notes_);
    }
    void cii_ok(const std::string& text) { ASSERT_EQ(import_cii(text), ""); }
    void solve_cii(const std::string& text)
    {
        ASSERT_NO_FATAL_FAILURE(cii_ok(text));
        solve();
    }

    ImportNotes notes_;
};

// The imported material of the lines: E 3.0e7 psi at 70 degF, the file's
// Poisson's ratio 0.3 and density 0.283 lb/in3, as the model's floats hold
// them.
inline const Tube STD6{6.625, static_cast<double>(0.28f), 3.0e7, static_cast<double>(0.3f)};
inline const double W6 = static_cast<double>(0.283f) * STD6.area;   // lb/in

class CiiLineTest : public CaesarSolveTest {
protected:
    // The model check of F12 on the imported model: its refusal, or "".
    static std::string model_check_refusal()
    {
        try {
            make_model();
            check_analysis_model(*make_analysis_model());
        } catch (const MessageText& m) {
            return m.text;
        }
        return {};
    }
    static const BendGeometry& bend_at(int node)
    {
        return element<Bend>(cii_bend_row(node)).geometry;
    }
    static Vec position(int node)
    {
        const int index = node_index(node);
        EXPECT_NE(index, 0) << node_text(node);
        const Vec3 p = index ? node_position(model(), index) : Vec3{};
        return {p.x, p.y, p.z};
    }
    static void expect_at(int node, const Vec& p)
    {
        EXPECT_LE(norm(position(node) - p), 1e-4) << node_text(node);
    }
    // True when an element of the model joins the nodes a and b.
    static bool joined(int a, int b)
    {
        const Model& m = model();
        for (int e = 1; e <= m.numelems(); ++e) {
            const int n1 = m.nodes[m.elems[e].node1].number, n2 = m.nodes[m.elems[e].node2].number;
            if ((n1 == a && n2 == b) || (n1 == b && n2 == a))
                return true;
        }
        return false;
    }
    // The places of the nodes, and the Sustained displacements of the nodes
    // and loads of the supports at `supports`, of the imported model solved.
    struct Solved {
        std::map<int, Vec> position;
        std::map<int, std::array<double, 6>> displacement;
        std::map<int, std::vector<double>> support;
    };
    Solved solved(const std::vector<int>& nodes, const std::vector<int>& supports)
    {
        Solved s;
        for (int node : nodes)
            s.position[node] = position(node);
        solve();
        if (HasFatalFailure())
            return s;
        const CaseResults& c = result(LC_SUSTAINED);
        for (int node : nodes)
            s.displacement[node] = at(c, node);
        for (int node : supports)
            s.support[node] = support(c, node);
        return s;
    }
    // The row of node n carrying an item of dtype; 0 when none.
    static int item_row_at(int node, int dtype)
    {
        for (int r = 1; r <= numrows(); ++r)
            if (model().rows[r].node == node && model().rows[r].dtype == dtype)
                return r;
        return 0;
    }
};

}  // namespace batch_test
