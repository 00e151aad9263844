// Analysis tests: a model per test in a scratch folder, with a steel whose
// values do not change with temperature, a 6 in standard pipe section, the
// element classes and kinds of the elements layer, and support and load kinds of the
// tests' own, made through the data-item slots as the support and load
// layers will make theirs:
//   TestAnchor     six springs of 1.0e12 at its node (support loads: the six
//                  forces and moments it puts on the pipe);
//   TestRestraint  springs of 1.0e12 in the directions it is given (loads:
//                  the three forces);
//   TestGap        a rigid stop at a gap below its node in -Y: open until the
//                  node has moved down by the gap (loads: the force, and 1
//                  when closed);
//   TestGuide      rigid in Y and Z, with Coulomb friction mu N in X, N the
//                  force in Y (loads: the three forces);
//   TestForce      a force and moment at its node in one load case.
#pragma once

#include "analysis/analysis_model.h"
#include "analysis/static_analysis.h"
#include "analysis_core/analysis_run.h"
#include "analysis_core/convergence.h"
#include "analysis_core/element_assembly.h"
#include "analysis_core/results_sink.h"
#include "analysis_core/steps.h"
#include "closeness.h"
#include "elements/bend.h"
#include "elements/element_analysis.h"
#include "elements/element_classes.h"
#include "elements/pipe.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/property_sets.h"
#include "model/data/model_fixture.h"
#include "model/load_cases.h"
#include "model/model_file.h"

#include <array>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <memory>
#include <numbers>

namespace analysis_test {

inline constexpr double RIGID = 1.0e12;

// The steel and pipe of the tests: E 29.0e6 psi, nu 0.3, alpha 6.5e-6 per
// degF at every temperature, 0.283 lb/in3; 6.625 in by 0.28 in. Area,
// inertia and the thick-wall shear coefficient of a tube, worked out here
// as the beam theory states them (alpha = 4/3 (ro^3 - ri^3) / ((ro - ri)
// (ro^2 + ri^2)): the shear energy alpha V^2 / (2 G A)).
struct Steel {
    double e = 29.0e6, nu = 0.3, alpha = 6.5e-6, density = 0.283;
    double g = e / (2 * (1 + nu));
    double od = 6.625, t = 0.28;
    double ro = od / 2, ri = ro - t;
    double area = std::numbers::pi * (ro * ro - ri * ri);
    double inertia = std::numbers::pi / 4 * (std::pow(ro, 4) - std::pow(ri, 4));
    double shear = 4.0 / 3.0 * (ro * ro * ro - ri * ri * ri) / ((ro - ri) * (ri * ri + ro * ro));
    double weight = density * area;   // lb/in, no contents
};

// A value within `rel` of its closed-form answer.
inline void expect_relative(double actual, double expected, const char* what, double rel = 1e-6)
{
    ::expect_relative(actual, expected, rel, what);
}

// The solution of a node in a case: DX, DY, DZ, RX, RY, RZ.
inline std::array<double, 6> node_result(const CaseResults& c, int node_number)
{
    const int index = node_index(node_number);
    EXPECT_NE(index, 0) << node_number;
    std::array<double, 6> u{};
    for (int d = 0; d < 6; ++d)
        u[static_cast<std::size_t>(d)] = c.displacements[6 * static_cast<std::size_t>(index - 1) + static_cast<std::size_t>(d)];
    return u;
}

// ---- Support and load kinds of the tests ------------------------------------------

struct TestAnchor : DataItem {
    void assemble_stiffness(AnalysisRun& run, int row) const override
    {
        const int node = run.layout().rows[row].node_index;
        for (int d = 0; d < 6; ++d) {
            const int e = run.equation(node, d);
            run.add_stiffness(e, e, RIGID);
        }
    }
    void write_support_loads(AnalysisRun& run, int row) const override
    {
        const int node = run.layout().rows[row].node_index;
        double f[6];
        for (int d = 0; d < 6; ++d)
            f[d] = -RIGID * node_displacement(run, node, d);
        record_support_loads(run, row, f);
    }
};

struct TestRestraint : DataItem {
    std::array<bool, 6> fixed{};
    void copy_from(const DataItem& other) override { fixed = dynamic_cast<const TestRestraint&>(other).fixed; }
    void assemble_stiffness(AnalysisRun& run, int row) const override
    {
        const int node = run.layout().rows[row].node_index;
        for (int d = 0; d < 6; ++d)
            if (fixed[static_cast<std::size_t>(d)])
                run.add_stiffness(run.equation(node, d), run.equation(node, d), RIGID);
    }
    void write_support_loads(AnalysisRun& run, int row) const override
    {
        const int node = run.layout().rows[row].node_index;
        double f[3];
        for (int d = 0; d < 3; ++d)
            f[d] = fixed[static_cast<std::size_t>(d)] ? -RIGID * node_displacement(run, node, d) : 0.0;
        record_support_loads(run, row, f);
    }
};

struct GapState : CopiedState<GapState> {
    bool closed = false;
};

struct TestGap : DataItem {
    double gap = 0.0;
    void copy_from(const DataItem& other) override { gap = dynamic_cast<const TestGap&>(other).gap; }
    bool is_nonlinear() const override { return true; }
    static int equation(const AnalysisRun& run, int row) { return run.equation(run.layout().rows[row].node_index, 1); }
    void reset_nonlinear_state(AnalysisRun& run, int row) const override { run.row_state<GapState>(row).closed = false; }
    void assemble_stiffness(AnalysisRun& run, int row) const override
    {
        if (run.structure_pass() || run.row_state<GapState>(row).closed)
            run.add_stiffness(equation(run, row), equation(run, row), RIGID);
    }
    void add_loads(AnalysisRun& run, int row) const override
    {
        // The closed stop pushes with -k (u + gap).
        if (run.row_state<GapState>(row).closed)
            run.add_load(equation(run, row), -RIGID * gap);
    }
    bool update_nonlinear_state(AnalysisRun& run, int row) const override
    {
        GapState& s = run.row_state<GapState>(row);
        const bool closed = run.displacement(equation(run, row)) < -gap;
        const bool settled = closed == s.closed;
        s.closed = closed;
        return settled;
    }
    void write_support_loads(AnalysisRun& run, int row) const override
    {
        const bool closed = run.row_state<GapState>(row).closed;
        const double force = closed ? -RIGID * (run.displacement(equation(run, row)) + gap) : 0.0;
        const double values[2] = {force, closed ? 1.0 : 0.0};
        record_support_loads(run, row, values);
    }
};

struct GuideState : CopiedState<GuideState> {
    bool sliding = false;
    double friction = 0.0;   // force on the pipe in X while sliding
};

struct TestGuide : DataItem {
    double mu = 0.0;
    void copy_from(const DataItem& other) override { mu = dynamic_cast<const TestGuide&>(other).mu; }
    bool is_nonlinear() const override { return true; }
    static int node(const AnalysisRun& run, int row) { return run.layout().rows[row].node_index; }
    void reset_nonlinear_state(AnalysisRun& run, int row) const override { run.row_state<GuideState>(row) = GuideState{}; }
    void assemble_stiffness(AnalysisRun& run, int row) const override
    {
        const int n = node(run, row);
        for (int d : {1, 2})
            run.add_stiffness(run.equation(n, d), run.equation(n, d), RIGID);
        if (run.structure_pass() || !run.row_state<GuideState>(row).sliding)
            run.add_stiffness(run.equation(n, 0), run.equation(n, 0), RIGID);
    }
    void add_loads(AnalysisRun& run, int row) const override
    {
        const GuideState& s = run.row_state<GuideState>(row);
        if (s.sliding)
            add_node_load(run, node(run, row), 0, s.friction);
    }
    bool update_nonlinear_state(AnalysisRun& run, int row) const override
    {
        GuideState& s = run.row_state<GuideState>(row);
        const int n = node(run, row);
        const double normal = std::fabs(RIGID * node_displacement(run, n, 1));
        const double limit = mu * normal;
        if (!s.sliding) {
            const double stuck = -RIGID * node_displacement(run, n, 0);
            if (std::fabs(stuck) <= limit)
                return true;
            s.sliding = true;
            s.friction = std::copysign(limit, stuck);
            return false;
        }
        const double friction = std::copysign(limit, s.friction);
        const bool settled = check_convergence(run, friction, s.friction, -DT_GUIDE, 0, n);
        s.friction = friction;
        return settled;
    }
    void write_support_loads(AnalysisRun& run, int row) const override
    {
        const GuideState& s = run.row_state<GuideState>(row);
        const int n = node(run, row);
        const double values[3] = {s.sliding ? s.friction : -RIGID * node_displacement(run, n, 0),
                                  -RIGID * node_displacement(run, n, 1), -RIGID * node_displacement(run, n, 2)};
        record_support_loads(run, row, values);
    }
};

struct TestForce : DataItem {
    int code = LC_SUSTAINED;
    std::array<double, 6> load{};
    void copy_from(const DataItem& other) override
    {
        const auto& o = dynamic_cast<const TestForce&>(other);
        code = o.code;
        load = o.load;
    }
    void add_loads(AnalysisRun& run, int row) const override
    {
        if (current_step_type(run) != code)
            return;
        for (int d = 0; d < 6; ++d)
            add_node_load(run, run.layout().rows[row].node_index, d, load[static_cast<std::size_t>(d)]);
    }
};

class AnalysisTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        install_property_sets();
        install_element_classes();
        install_element_analysis();
        set_data_factory(DT_ANCHOR, [] { return std::make_unique<TestAnchor>(); });
        set_data_factory(DT_RESTRAINT, [] { return std::make_unique<TestRestraint>(); });
        set_data_factory(DT_LIMIT_STOP, [] { return std::make_unique<TestGap>(); });
        set_data_factory(DT_GUIDE, [] { return std::make_unique<TestGuide>(); });
        set_data_factory(DT_FORCE, [] { return std::make_unique<TestForce>(); });

        PipeMaterial m;
        m.name = "CS";
        m.nu = static_cast<float>(steel.nu);
        m.density = static_cast<float>(steel.density);
        m.joint_factor = 1.0f;   // as the material dialog fills it in
        for (float t : {-100.0f, 1500.0f})
            m.table.push_back(PropertyRow{t, static_cast<float>(steel.e), static_cast<float>(steel.alpha), 20000, 0, 0, 0, 0});
        pipe_materials().push_back(m);
        PipeSection s;
        s.name = "6";
        s.outside_diameter = static_cast<float>(steel.od);
        s.thickness = static_cast<float>(steel.t);
        pipe_sections().push_back(s);

        // The pipe load "L1" of the tests; its values are set by each test.
        load.name = "L1";
        model_hooks().load_index = [](const std::string& name) { return name == "L1" ? 1 : 0; };
        analysis_load_hooks().fill_loads = [this](AnalysisLoads& l) {
            l.pipe_loads.clear();
            l.pipe_loads.push_back(load);
            l.seismic = seismic;
        };

        std::string pattern = (std::filesystem::temp_directory_path() / "analysis-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        folder = pattern;
        model_file_path() = folder + "/model.mod";
    }
    void TearDown() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
        ModelTest::TearDown();
    }

    // A pipe row from the previous row's node, named with the test's
    // material, section and load.
    static int pipe(int node, float dx, float dy, float dz, int dtype = DT_NONE)
    {
        const int r = row(node, ET_PIPE, dx, dy, dz, dtype);
        name(r);
        return r;
    }
    static void name(int r)
    {
        model().rows[r].material = "CS";
        model().rows[r].section = "6";
        model().rows[r].load = "L1";
    }
    // A From row at the origin with an anchor.
    static int anchored_from(int node)
    {
        const int r = from(node);
        model().rows[r].dtype = DT_ANCHOR;
        model().rows[r].create_data_object(r);
        return r;
    }
    template <typename T>
    static T& item(int r)
    {
        return dynamic_cast<T&>(*model().rows[r].data);
    }
    static void restrain(int r, std::initializer_list<int> directions)
    {
        model().rows[r].dtype = DT_RESTRAINT;
        model().rows[r].create_data_object(r);
        for (int d : directions)
            item<TestRestraint>(r).fixed[static_cast<std::size_t>(d)] = true;
    }
    static void choose(std::initializer_list<int> codes)
    {
        load_case_list().clear();
        for (int c : codes)
            load_case_list().add(c);
    }
    // A weightless steel for tests of applied loads.
    static void weightless() { pipe_materials()[1].density = 0.0f; }

    // Flexibility of the tip of a cantilever of length l from an anchor
    // (translation, and the rotation of the anchor times the lever arm).
    double tip_flexibility(double l) const
    {
        return l * l * l / (3 * steel.e * steel.inertia) + steel.shear * l / (steel.g * steel.area) + 1 / RIGID +
               l * l / RIGID;
    }
    // The free tip deflection (downwards) of that cantilever under its
    // uniform weight w: bending w l^4 / 8EI, shear alpha w l^2 / 2GA, and
    // the anchor's translation w l / K and rotation (w l^2 / 2) / K times l.
    double weight_tip_deflection(double l, double w) const
    {
        return w * std::pow(l, 4) / (8 * steel.e * steel.inertia) + steel.shear * w * l * l / (2 * steel.g * steel.area) +
               w * l / RIGID + w * l * l / 2 * l / RIGID;
    }

    // The analysis model of a 100 in cantilever from an anchor at node 10 to
    // node 20, in Sustained (W+P).
    std::unique_ptr<AnalysisModel> cantilever_model()
    {
        anchored_from(10);
        pipe(20, 100, 0, 0);
        choose({LC_SUSTAINED});
        make_model();
        return make_analysis_model();
    }

    // Runs the analysis of the document's model and returns the results
    // by load-case code.
    std::map<int, CaseResults> solve()
    {
        make_model();
        snapshot = make_analysis_model();
        AnalysisRun run(*snapshot);
        return solve_load_cases(run, callbacks);
    }
    // The message that ends the run of the document's model.
    std::string failure()
    {
        return thrown_text([&] { solve(); });
    }

    Steel steel;
    PipeLoadValues load;
    StaticSeismic seismic;
    RunCallbacks callbacks;
    std::unique_ptr<AnalysisModel> snapshot;
    std::string folder;
};

}  // namespace analysis_test
