// One small system in English units written three ways by this test, as a
// PipePak neutral file, a CAESAR II neutral file and a batch file: an L of
// 6 in pipe with a long-radius bend, anchors at both ends, a guide, a Y
// restraint and a force, heated to 300 degF under 100 psi. Each format is
// read by its own importer; the three models must be the same (node
// positions, sections, supports, loads) and the static analysis must give
// the same displacements and support loads to 1e-5 of the largest value of
// each case. The three texts share no code: each is written as its format
// gives the system.
#include "analysis/analysis_model.h"
#include "analysis/static_analysis.h"
#include "analysis_core/analysis_run.h"
#include "analysis_core/results_sink.h"
#include "elements/bend.h"
#include "elements/element_analysis.h"
#include "exchange/data/cii_fixture.h"
#include "exchange/data/neutral_fixture.h"
#include "graphics/graphics_view.h"
#include "graphics/view_transform.h"
#include "loads/nodal_loads.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/load_cases.h"
#include "model/nodes.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "supports/restraint.h"

#include <functional>
#include <map>
#include <memory>

namespace neutral_test {
namespace {

// Nodes: 10 at the origin (anchor), 20 (guide) and the bend's corner 30
// along X, 40 (force), 50 (Y restraint) and 60 (anchor) along Z.
const std::string PNF = "TITLE cross check\n"
                        "UNIT ENGLISH\n"
                        "GLOBAL B31.3\n"
                        "MATERIAL CS * 0.283 0.3\n"
                        "LOAD L1 300 100\n"
                        "PIPE S1 6 40 6.625 0.28\n"
                        "FROM N10 0 0 0 S1 CS L1\n"
                        "TO N20 10 0 0\n"
                        "TO N30 10 0 0 LONG\n"
                        "TO N40 0 0 5\n"
                        "TO N50 0 0 5\n"
                        "TO N60 0 0 10\n"
                        "ANCHOR N10\n"
                        "ANCHOR N60\n"
                        "GUIDE N20 * RIGID\n"
                        "RIGID N50\n"
                        "FORCE N40 * 100 -500 200\n";

// The batch file gives the material the table the neutral importers give
// every material: 30e6 psi and 6e-6 /degF at 70 degF, 20e6 and 8e-6 at 1200.
const std::string BATCH = "Cross check\n"
                          "OPTIONS\n"
                          "B313,IN\n"
                          "MATERIAL\n"
                          "CS,0.283,0.3\n"
                          "CS,70,30E6,6E-6,20000\n"
                          "CS,1200,20E6,8E-6,1000\n"
                          "PIPE\n"
                          "S1,6.625,0.28\n"
                          "LOADS\n"
                          "L1,300,100\n"
                          "LAYOUT\n"
                          "F10,MCS,PS1,KA,CL=L1\n"
                          "T20,X120,CG,STIFF=RIGID\n"
                          "T30,X120,KI,B9.9375\n"
                          "T40,Z60,CFOR(100,-500,200)\n"
                          "T50,Z60,CF(0,1,0)\n"
                          "T60,Z120,KA\n";

std::string cii_text()
{
    using namespace cii_test;
    CiiFile f;
    f.title = "CROSS CHECK";
    const double legs[5][5] = {{10, 20, 120, 0, 0}, {20, 30, 120, 0, 0}, {30, 40, 0, 0, 60}, {40, 50, 0, 0, 60},
                               {50, 60, 0, 0, 120}};
    for (const auto& l : legs) {
        CiiElementRecord e;
        e.from = l[0], e.to = l[1], e.dx = l[2], e.dy = l[3], e.dz = l[4];
        e.t[0] = 300;
        e.p[0] = 100;
        e.bend = l[1] == 30 ? 1 : 0;
        f.elements.push_back(e);
    }
    f.bends = {CiiBendRecord{1.5 * 6.625}};
    f.restraints = {{{10, 1, 0, 0, 0, 0, {}}, {60, 1, 0, 0, 0, 0, {}}, {20, 8, 1e12, 0, 0, 0, {}},
                     {50, 3, 1e12, 0, 0, 0, {}}}};
    std::array<CiiVectorBlock, 2> force{};
    force[0].node = 40;
    force[0].vectors[0] = {100, -500, 200, 0, 0, 0};
    f.forces.push_back(force);
    f.coords = {{10, 0, 0, 0}};
    return f.text();
}

// What the comparison takes of a model and its analysis.
struct Outcome {
    std::map<int, std::array<double, 3>> positions;                     // by node number
    std::vector<std::array<double, 5>> sections;                        // OD, wall, corrosion, insulation, density
    std::map<int, std::vector<std::vector<double>>> supports;           // node: kind and values of each item
    std::array<double, 2> load{};                                       // T1, P1
    std::array<double, 4> material{};                                   // density, nu, E and alpha at 300 degF
    std::map<int, std::map<int, std::array<double, 6>>> displacements;   // case: node: DX..RZ
    std::map<int, std::map<int, std::vector<double>>> support_loads;    // case: node: values
};

constexpr int CASES[] = {LC_SUSTAINED, LC_EXPANSION_T1, LC_OPERATING_1};

class NeutralCrossCheck : public NeutralTest {
protected:
    void SetUp() override
    {
        NeutralTest::SetUp();
        install_element_analysis();
    }

    Outcome outcome()
    {
        Outcome o;
        for (const NodeRecord& n : model().nodes)
            o.positions[n.number] = {n.x, n.y, n.z};
        for (const PipeSection& s : pipe_sections())
            o.sections.push_back({s.outside_diameter, s.thickness, s.corrosion_allowance, s.insulation_thickness,
                                  s.insulation_density});
        const PipeLoad& l = pipe_loads()[1];
        o.load = {l.temperature[1], l.pressure[1]};
        const PipeMaterial& m = pipe_materials()[1];
        o.material = {m.density, m.nu, material_modulus_at(m, 300), material_property_at(m, PROP_ALPHA, 300)};
        for (const LayoutRow& r : model().rows) {
            std::vector<double> v{double(r.dtype)};
            if (const auto* a = dynamic_cast<const Anchor*>(r.data.get()))
                v.insert(v.end(), a->v.stiffness.begin(), a->v.stiffness.end());
            else if (const auto* g = dynamic_cast<const Guide*>(r.data.get()))
                v.insert(v.end(), {g->v.mu, g->v.stiffness, g->v.gap});
            else if (const auto* s = dynamic_cast<const Restraint*>(r.data.get()))
                v.insert(v.end(), s->v.restrained.begin(), s->v.restrained.end());
            else if (const auto* f = dynamic_cast<const ForceLoad*>(r.data.get()))
                v.insert(v.end(), f->values.begin(), f->values.end());
            else
                continue;
            o.supports[r.node].push_back(v);
        }
        make_model();
        const std::unique_ptr<AnalysisModel> snapshot = make_analysis_model();
        AnalysisRun run(*snapshot);
        const std::map<int, CaseResults> results = solve_load_cases(run, RunCallbacks{});
        for (int code : CASES) {
            const CaseResults& c = results.at(code);
            for (int i = 1; i <= numnodes(); ++i) {
                std::array<double, 6> u{};
                for (std::size_t d = 0; d < 6; ++d)
                    u[d] = c.displacements[6 * static_cast<std::size_t>(i - 1) + d];
                o.displacements[code][model().nodes[i].number] = u;
            }
            std::size_t offset = 0;
            for (const LayoutRow& r : model().rows) {
                const auto words = static_cast<std::size_t>(support_word_count(r.dtype));
                if (words > 0)
                    o.support_loads[code][r.node] = {c.support_loads.begin() + static_cast<long>(offset),
                                                     c.support_loads.begin() + static_cast<long>(offset + words)};
                offset += words;
            }
        }
        return o;
    }
};

// Each value within 1e-5 of the largest of its group.
template <typename Map>
void expect_same_results(const Map& a, const Map& b, const char* what)
{
    double largest = 0.0;
    for (const auto& [node, values] : b)
        for (double v : values)
            largest = std::max(largest, std::fabs(v));
    ASSERT_EQ(a.size(), b.size()) << what;
    ASSERT_GT(largest, 0.0) << what;
    for (const auto& [node, values] : b) {
        ASSERT_TRUE(a.count(node)) << what << " at node " << node;
        const auto& other = a.at(node);
        ASSERT_EQ(other.size(), values.size());
        for (std::size_t i = 0; i < values.size(); ++i)
            EXPECT_NEAR(other[i], values[i], 1e-5 * largest) << what << " at node " << node << ", value " << i;
    }
}

void expect_same(const Outcome& a, const Outcome& b, const char* formats)
{
    SCOPED_TRACE(formats);
    EXPECT_EQ(a.positions.size(), b.positions.size());
    for (const auto& [node, p] : b.positions) {
        ASSERT_TRUE(a.positions.count(node)) << node;
        for (std::size_t k = 0; k < 3; ++k)
            EXPECT_NEAR(a.positions.at(node)[k], p[k], 1e-4) << "node " << node;
    }
    EXPECT_EQ(a.sections, b.sections);
    EXPECT_EQ(a.supports, b.supports);
    EXPECT_EQ(a.load, b.load);
    EXPECT_EQ(a.material, b.material);
    for (int code : CASES) {
        expect_same_results(a.displacements.at(code), b.displacements.at(code), "displacements");
        expect_same_results(a.support_loads.at(code), b.support_loads.at(code), "support loads");
    }
}

}  // namespace

TEST_F(NeutralCrossCheck, AnLInThreeFormatsGivesOneModelAndOneAnalysis)
{
    empty_model();
    ASSERT_NO_FATAL_FAILURE(import_ok(BATCH));
    const Outcome batch = outcome();
    ASSERT_NO_FATAL_FAILURE(pnf_ok(PNF));
    const Outcome pipepak = outcome();
    ASSERT_NO_FATAL_FAILURE(cii_ok(cii_text()));
    const Outcome caesar = outcome();

    // The system is what the texts say: the bend's tangent points on the
    // long radius of 1.5 x 6.625 in, the force, four supports.
    ASSERT_EQ(batch.positions.count(100030), 1u);
    EXPECT_NEAR(batch.positions.at(100030)[0], 240 - 1.5 * 6.625, 1e-4);
    EXPECT_NEAR(batch.positions.at(200030)[2], 1.5 * 6.625, 1e-4);
    EXPECT_EQ(batch.supports.size(), 5u);
    // Heated, the L grows: the bend's corner region moves.
    EXPECT_GT(std::fabs(batch.displacements.at(LC_EXPANSION_T1).at(40)[0]), 1e-3);

    expect_same(pipepak, batch, "PipePak against batch");
    expect_same(caesar, batch, "CAESAR II against batch");
}

// Like a batch file, a neutral file's model is first seen from (1, 1, 1)
// and whole, whatever view the model before it had.
TEST_F(NeutralCrossCheck, EachFormatShowsItsImportedModelWholeFromTheSameViewpoint)
{
    const std::function<void()> imports[] = {
        [this] { ASSERT_NO_FATAL_FAILURE(import_ok(BATCH)); },
        [this] { ASSERT_NO_FATAL_FAILURE(pnf_ok(PNF)); },
        [this] { ASSERT_NO_FATAL_FAILURE(cii_ok(cii_text())); },
    };
    for (const auto& import : imports) {
        empty_model();
        set_client_size(800, 600);
        set_viewpoint(0, 0, 1);
        graphics_view().view_window = ViewWindow{};
        import();
        if (HasFatalFailure())
            return;
        const Vec3 v = view_transform().viewpoint;
        EXPECT_DOUBLE_EQ(v.x, 1);
        EXPECT_DOUBLE_EQ(v.y, 1);
        EXPECT_DOUBLE_EQ(v.z, 1);
        // The L spans 240 in by 120 in: the default window of 24 view units cannot hold it.
        const GraphicsViewState& g = graphics_view();
        ASSERT_FALSE(g.model_extent.empty());
        EXPECT_LE(g.view_window.xmin, g.model_extent.xmin);
        EXPECT_GE(g.view_window.xmax, g.model_extent.xmax);
        EXPECT_LE(g.view_window.ymin, g.model_extent.ymin);
        EXPECT_GE(g.view_window.ymax, g.model_extent.ymax);
        EXPECT_GT(g.model_extent.xmax - g.model_extent.xmin, 100.0f);
    }
}

}  // namespace neutral_test
