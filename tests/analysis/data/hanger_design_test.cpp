// The hanger design in whole runs, against loads and travels worked out here
// from the axial, bending, shear and thermal behaviour of the straight pipe
// with every spring in series (the rigid 1.0e12 of the anchor and of the
// hanger held rigid count too), and the selection from a catalogue written
// by the test (its values are the test's own, not a maker's); and the
// shipped catalogues checked against themselves.
#include "analysis/data/hanger_test_catalogues.h"
#include "analysis/data/support_fixture.h"
#include "analysis/hanger_catalogue.h"
#include "analysis/hanger_design.h"
#include "analysis/results_file.h"
#include "framework/binfile.h"
#include "supports/anchor.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"

#include <fstream>
#include <map>
#include <set>

using namespace analysis_test;

namespace {

// The note of a selection in the English units (lb, inch).
std::string note_of(const HangerChoice& choice)
{
    return hanger_note_text(choice.note, UnitChoices{});
}

// Springs of the tests: (figure, size, range, working range, rate).
const char* const TEST_CATALOGUE = "# test values, not a maker's\n"
                                   "CATALOGUE 16 Grinnell\n"
                                   "SPRING T1 10 MID 100 150 50     # test\n"
                                   "SPRING T1 11 MID 150 250 100    # test\n"
                                   "SPRING T2 11 LONG 150 250 50    # test\n"
                                   "SPRING T1 12 MID 180 300 100    # test\n"
                                   "SPRING T0 11 SHORT 150 250 200  # test\n"
                                   "CONSTANT C1 5 100 400 10        # test\n";

class HangerDesignTest : public SupportTest {
protected:
    // Where the run's results file ends its blocks (the hanger designs the
    // last of them); the run record follows.
    int64_t results_blocks_end() const
    {
        const Model& m = snapshot->written_model();
        return results_file_size(m, snapshot->load_cases, m.numelems(), 0);
    }
    void write_catalogue(const std::string& text, int type = 16) const
    {
        std::filesystem::create_directories(folder + "/hangers");
        std::ofstream(folder + "/hangers/" + hanger_catalogue_file_name(type)) << text;
    }

    // A riser of length l from an anchor at node 10 (origin) up to node 20,
    // with a catalogue spring hanger at its top; heated by dt in set 1.
    int riser(double l, double dt)
    {
        load.temperature[1] = 70 + dt;
        with(from(10), DT_ANCHOR);
        const int top = pipe(20, 0, static_cast<float>(l), 0, DT_HANGER);
        choose({LC_SUSTAINED, LC_OPERATING_1});
        return top;
    }

    // The riser's hanger load with both ends rigid (K), its weight w per
    // length between them: R (2/K + l/EA) = w l / K + w l^2 / 2EA.
    double riser_load(double l) const
    {
        const double w = steel.weight, ea = steel.e * steel.area;
        return (w * l / RIGID + w * l * l / (2 * ea)) / (2 / RIGID + l / ea);
    }

    // Runs the whole analysis and reads the hanger design records back
    // from the end of the results file, in row order.
    std::vector<HangerDesign> run_designs()
    {
        make_model();
        snapshot = make_analysis_model();
        RunCallbacks cb;
        cb.progress = [this](const std::string& text) { progress.push_back(text); };
        outcome = run_analysis(*snapshot, cb);
        EXPECT_TRUE(outcome.completed) << outcome.message;
        int hangers = 0;
        for (const LayoutRow& r : model().rows)
            hangers += r.dtype == DT_HANGER;
        std::vector<HangerDesign> designs(static_cast<std::size_t>(hangers));
        BinFile file;
        EXPECT_TRUE(file.open_read(snapshot->output.results_path));
        // The designs end the blocks; the run record follows them.
        file.seek(results_blocks_end() - int64_t{HANGER_DESIGN_RECORD_SIZE} * hangers);
        for (HangerDesign& d : designs)
            read_hanger_design(file, d);
        EXPECT_FALSE(file.error());
        return designs;
    }

    RunOutcome outcome;
    std::vector<std::string> progress;
};

}  // namespace

TEST_F(HangerDesignTest, RiserSpringUnderThermalGrowthLoadTravelAndVariation)
{
    // Weight case with the hanger rigid: R = riser_load(l), the top down by
    // R/K. Operating with the hanger replaced by R: the same weight
    // deflection and the growth alpha dT l: the travel u = alpha dT l. Cold
    // load C = R + k u; variation k u / R. Of the test catalogue T1 11 (MID,
    // 100 lb/in) varies by more than 25 %, so T2 11 (LONG, 50 lb/in) is chosen.
    const double l = 240, dt = 320;
    riser(l, dt);
    write_catalogue(TEST_CATALOGUE);
    const double hot = riser_load(l);
    const double u = steel.alpha * dt * l;
    ASSERT_GT(load_variation(100, u, hot), 0.25);
    const std::vector<HangerDesign> d = run_designs();
    ASSERT_EQ(d.size(), 1u);
    EXPECT_EQ(d[0].figure, "T2");
    EXPECT_EQ(d[0].size, "11");
    expect_relative(d[0].spring_rate, 50, "rate", 1e-7);
    expect_relative(d[0].hot_load, hot, "hot load", 1e-6);
    expect_relative(d[0].vertical_travel, u, "travel", 1e-6);
    expect_relative(d[0].cold_load, hot + 50 * u, "cold load", 1e-6);
    EXPECT_NEAR(d[0].horizontal_travel, 0.0, 1e-9);
    expect_relative(load_variation(d[0].spring_rate, d[0].vertical_travel, d[0].hot_load), 50 * u / hot,
                    "variation", 1e-6);
    EXPECT_TRUE(outcome.warnings.empty());

    // The steps of the design, in order, before the chosen cases.
    const std::vector<std::string> steps = {"Calculating hanger loads", "Calculating hanger travel",
                                            "Designing hangers", "Calculating hanger loads"};
    auto at = progress.begin();
    for (const std::string& s : steps) {
        at = std::find(at, progress.end(), s);
        ASSERT_NE(at, progress.end()) << s;
        ++at;
    }
}

TEST_F(HangerDesignTest, RiserAlongZWithZVertical)
{
    // The riser of the first test along Z with Z as the vertical axis: the
    // same load, travel and spring.
    const double l = 240, dt = 320;
    analysis_options().z_vertical = true;
    load.temperature[1] = 70 + dt;
    with(from(10), DT_ANCHOR);
    pipe(20, 0, 0, static_cast<float>(l), DT_HANGER);
    choose({LC_SUSTAINED});
    write_catalogue(TEST_CATALOGUE);
    const std::vector<HangerDesign> d = run_designs();
    EXPECT_EQ(d[0].figure, "T2");
    expect_relative(d[0].hot_load, riser_load(l), "hot load", 1e-6);
    expect_relative(d[0].vertical_travel, steel.alpha * dt * l, "travel", 1e-6);
}

TEST_F(HangerDesignTest, DesignedSpringCarriesItsHotLoadInTheLaterCases)
{
    // The Operating case after the design: the hot-load spring carries
    // exactly its hot load; Sustained carries it as well (the hot load acts
    // in the weight cases).
    const double l = 240, dt = 300;
    const int top = riser(l, dt);
    write_catalogue(TEST_CATALOGUE);
    const double hot = riser_load(l);
    const std::map<int, CaseResults> c = solve();
    AnalysisRun run(*snapshot);
    for (int code : {LC_SUSTAINED, LC_OPERATING_1}) {
        const double load = c.at(code).support_loads[static_cast<std::size_t>(run.support_offset(top))];
        expect_relative(load, static_cast<float>(hot), load_case_names(code).c_str(), 1e-6);
    }
}

TEST_F(HangerDesignTest, HangerVariationForcesTheNextSize)
{
    // Size 11 holds the hot load but not the cold one (C = R + 100 u above
    // 200 lb); size 12 (180-300 lb) holds both, within the 30 % allowed.
    const double l = 240, dt = 300;
    const int top = riser(l, dt);
    support<Hanger>(top).v.load_variation = 30;
    write_catalogue("CATALOGUE 16 Grinnell\n"
                    "SPRING T1 11 MID 150 200 100 # test\n"
                    "SPRING T1 12 MID 180 300 100 # test\n");
    const double hot = riser_load(l);
    const double u = steel.alpha * dt * l;
    ASSERT_GT(hot + 100 * u, 200.0);
    const std::vector<HangerDesign> d = run_designs();
    EXPECT_EQ(d[0].size, "12");
    expect_relative(d[0].cold_load, hot + 100 * u, "cold load", 1e-6);
}

TEST_F(HangerDesignTest, HangerWithTooMuchVariationBecomesAConstantSupport)
{
    // At 5 % no spring fits: a constant support of the catalogue (C1 5,
    // 100-400 lb over 10 in) takes the hot load at both ends of the travel;
    // a warning names the row. Asked for (type 103), the same support.
    const double l = 240, dt = 300;
    const int top = riser(l, dt);
    support<Hanger>(top).v.load_variation = 5;
    write_catalogue(TEST_CATALOGUE);
    const double hot = riser_load(l);
    std::vector<HangerDesign> d = run_designs();
    EXPECT_EQ(d[0].figure, "C1");
    EXPECT_EQ(d[0].size, "5");
    EXPECT_EQ(d[0].spring_rate, 0.0f);
    expect_relative(d[0].hot_load, hot, "hot", 1e-6);
    expect_relative(d[0].cold_load, hot, "cold", 1e-6);
    ASSERT_EQ(outcome.warnings.size(), 1u);
    EXPECT_EQ(outcome.warnings[0].rfind("Row 2: the hanger at node 20 ", 0), 0u) << outcome.warnings[0];
    EXPECT_NE(outcome.warnings[0].find("a constant support is chosen"), std::string::npos);

    // A constant support asked for names no catalogue: it is sized by its
    // load and travel alone.
    support<Hanger>(top).v.type = HANGER_CONSTANT;
    d = run_designs();
    EXPECT_EQ(d[0].figure, "CONST");
    EXPECT_EQ(d[0].size, "");
    expect_relative(d[0].hot_load, hot, "constant", 1e-6);
    EXPECT_TRUE(outcome.warnings.empty());
}

TEST_F(HangerDesignTest, TwoHangersSharingAnLShapedLine)
{
    // A riser of height h from an anchor to node 20, then a horizontal leg
    // along X: hangers at node 30 (x = a) and node 40 (x = a + b, the free
    // end). The leg is a cantilever from node 20, whose root goes down by
    // the riser's shortening and turns with the riser's bending under the
    // leg's root moment: root compliances cv = h/EA + 1/K (vertical) and
    // cr = h/EI + 1/K (rotation). Rigid hangers: v_i = R_i / K where
    // v_i = v0_i - sum_j g_ij R_j. In Operating with the hangers as loads the
    // line deflects as it did on the rigid hangers, rises with the riser's
    // growth alpha dT h and the leg grows along X from node 20 by
    // alpha dT x: the travels.
    const double h = 120, a = 120, b = 96, dt = 200;
    const double w = steel.weight, ea = steel.e * steel.area, ei = steel.e * steel.inertia;
    const double gas = steel.g * steel.area / steel.shear;
    load.temperature[1] = 70 + dt;
    with(from(10), DT_ANCHOR);
    pipe(20, 0, static_cast<float>(h), 0);
    pipe(30, static_cast<float>(a), 0, 0, DT_HANGER);
    pipe(40, static_cast<float>(b), 0, 0, DT_HANGER);
    choose({LC_SUSTAINED});
    write_catalogue("CATALOGUE 16 Grinnell\n"
                    "SPRING S 1 MID 10 300 20 # test\n"
                    "SPRING S 2 MID 200 600 40 # test\n");

    const double l = a + b, cv = h / ea + 1 / RIGID, cr = h / ei + 1 / RIGID;
    const double x[2] = {a, a + b};
    // Cantilever deflections (down) at x of a load P at c and of w over l.
    auto point = [&](double xi, double c) {
        const double bend = xi <= c ? xi * xi * (3 * c - xi) / (6 * ei) : c * c * (3 * xi - c) / (6 * ei);
        return bend + std::min(xi, c) / gas;
    };
    auto uniform = [&](double xi) {
        return w * xi * xi * (6 * l * l - 4 * l * xi + xi * xi) / (24 * ei) + w * (l * xi - xi * xi / 2) / gas;
    };
    double g[2][2], v0[2];
    for (int i = 0; i < 2; ++i) {
        v0[i] = w * h * h / (2 * ea) + w * (l + h) / RIGID + w * l * h / ea + w * l * l / 2 * cr * x[i] + uniform(x[i]);
        for (int j = 0; j < 2; ++j)
            g[i][j] = cv + x[j] * cr * x[i] + point(x[i], x[j]);
    }
    // (g + I/K) R = v0
    const double m00 = g[0][0] + 1 / RIGID, m11 = g[1][1] + 1 / RIGID, m01 = g[0][1], m10 = g[1][0];
    const double det = m00 * m11 - m01 * m10;
    const double r1 = (v0[0] * m11 - m01 * v0[1]) / det, r2 = (m00 * v0[1] - m10 * v0[0]) / det;

    const std::vector<HangerDesign> d = run_designs();
    ASSERT_EQ(d.size(), 2u);
    expect_relative(d[0].hot_load, r1, "hanger at 30", 1e-5);
    expect_relative(d[1].hot_load, r2, "hanger at 40", 1e-5);
    for (int i = 0; i < 2; ++i) {
        const double u = steel.alpha * dt * h;
        expect_relative(d[static_cast<std::size_t>(i)].vertical_travel, u, "travel", 1e-5);
        expect_relative(d[static_cast<std::size_t>(i)].horizontal_travel, steel.alpha * dt * x[i], "horizontal", 1e-5);
    }
    EXPECT_EQ(d[0].size, "1");
    EXPECT_EQ(d[1].size, "1");
}

TEST_F(HangerDesignTest, AnchorReleasedForHangerSelectionLeavesTheWeightToTheHanger)
{
    // The riser's anchor freed in Y for the hanger selection: the rigid
    // hanger carries the whole weight w l in the weight case (and the anchor
    // still holds the pipe in the later cases).
    const double l = 240, dt = 100;
    riser(l, dt);
    support<Anchor>(1).v.released[1] = 1;
    write_catalogue("CATALOGUE 16 Grinnell\nSPRING S 1 LONG 100 800 10 # test\n");
    const std::vector<HangerDesign> d = run_designs();
    expect_relative(d[0].hot_load, steel.weight * l, "whole weight", 1e-6);
}

TEST_F(HangerDesignTest, GoverningThermalSetAndHangersPerSupport)
{
    // Two thermal sets, the second hotter: the travel is that of set 2.
    // Two hangers at the support share its load.
    const double l = 240, dt1 = 100, dt2 = 250;
    analysis_options().numtloads = 2;
    const int top = riser(l, dt1);
    load.temperature[2] = 70 + dt2;
    support<Hanger>(top).v.count = 2;
    choose({LC_SUSTAINED, LC_OPERATING_1, operating_code(2)});
    write_catalogue("CATALOGUE 16 Grinnell\nSPRING S 1 LONG 50 200 10 # test\n");
    const double hot = riser_load(l);
    const std::vector<HangerDesign> d = run_designs();
    expect_relative(d[0].hot_load, hot / 2, "per hanger", 1e-6);
    expect_relative(d[0].vertical_travel, steel.alpha * dt2 * l, "set 2 governs", 1e-6);
}

TEST_F(HangerDesignTest, HangerLoadsAreRecalculatedWithTheStatesOfTheHotCase)
{
    // A riser from an anchor and a horizontal leg with a spring at node 30
    // and a rest (LS(0, none) along Y) at its end, node 40. Cold, the rest
    // carries part of the leg; hot, the riser's growth lifts the leg off it.
    // The loads recalculated with the rest held open are those of the same
    // line without the rest, and the travel of the hanger is then the
    // riser's growth.
    const double h = 120, a = 60, b = 60, dt = 400;
    load.temperature[1] = 70 + dt;
    with(from(10), DT_ANCHOR);
    pipe(20, 0, static_cast<float>(h), 0);
    pipe(30, static_cast<float>(a), 0, 0, DT_HANGER);
    const int end = pipe(40, static_cast<float>(b), 0, 0, DT_LIMIT_STOP);
    support<LimitStop>(end).v = {"", 0.0f, NO_LIMIT, {0, 1, 0}, 0.0f, 0.0f, 0};
    choose({LC_SUSTAINED});
    write_catalogue("CATALOGUE 16 Grinnell\nSPRING S 1 LONG 1 5000 1 # test\n");
    const HangerDesign with_rest = run_designs()[0];
    const std::vector<std::string> steps = progress;
    with(end, DT_NONE);
    const HangerDesign without = run_designs()[0];
    EXPECT_NE(std::find(steps.begin(), steps.end(), "Recalculating hanger loads"), steps.end());
    EXPECT_NE(std::find(steps.begin(), steps.end(), "Recalculating hanger travel"), steps.end());
    expect_relative(with_rest.hot_load, without.hot_load, "hot load", 1e-9);
    expect_relative(with_rest.vertical_travel, steel.alpha * dt * h, "travel", 1e-6);
}

TEST_F(HangerDesignTest, HangerThatLiftsOffIsNamedAndTheOthersAreDesigned)
{
    // An upward force at node 30 in the weight case of the design makes the
    // hanger there pull down: it is named and left undesigned; the hanger
    // at node 20 is designed all the same.
    const double l = 120;
    with(from(10), DT_ANCHOR);
    pipe(20, static_cast<float>(l), 0, 0, DT_HANGER);
    pipe(30, static_cast<float>(l), 0, 0, DT_HANGER);
    const int f = at_node(30, DT_FORCE);
    item<TestForce>(f).code = 20;
    item<TestForce>(f).load[1] = 5000;
    choose({LC_SUSTAINED});
    write_catalogue("CATALOGUE 16 Grinnell\nSPRING S 1 MID 1 10000 10 # test\n");
    make_model();
    snapshot = make_analysis_model();
    outcome = run_analysis(*snapshot, RunCallbacks{});
    ASSERT_TRUE(outcome.completed) << outcome.message;
    ASSERT_EQ(outcome.warnings.size(), 1u) << outcome.warnings[0];
    EXPECT_EQ(outcome.warnings[0].rfind("Row 3: the hanger at node 30 carries no load upwards (-", 0), 0u)
        << outcome.warnings[0];
    BinFile file;
    ASSERT_TRUE(file.open_read(snapshot->output.results_path));
    file.seek(results_blocks_end() - 2 * HANGER_DESIGN_RECORD_SIZE);
    HangerDesign first, second;
    read_hanger_design(file, first);
    read_hanger_design(file, second);
    EXPECT_EQ(first.figure, "S");
    EXPECT_GT(first.hot_load, 0.0f);
    EXPECT_EQ(second, HangerDesign{});
}

TEST_F(HangerDesignTest, CatalogueWithoutDataStopsTheDesign)
{
    // No catalogue file with data (Piping Tech & Products ships none), or a
    // file beside the model without SPRING and CONSTANT lines, which is read
    // before the one beside the program: the model keeps its undesigned
    // hanger so and the run does not start.
    const int top = riser(240, 100);
    make_model();
    support<Hanger>(top).v.type = 27;
    EXPECT_EQ(thrown_text([] { make_analysis_model(); }),
              "No data is available for the Piping Tech & Products spring catalogue");
    support<Hanger>(top).v.type = 16;
    write_catalogue("CATALOGUE 16 Grinnell\n");
    EXPECT_EQ(thrown_text([] { make_analysis_model(); }), "No data is available for the Grinnell spring catalogue");
    EXPECT_EQ(support<Hanger>(top).v.design, HangerDesign{});

    // A hanger that holds a design keeps it: the run is not refused, the
    // hanger carries its hot load in the hot case, and the results hold its
    // design.
    HangerDesign& stored = support<Hanger>(top).v.design;
    stored.figure = "B268";
    stored.size = "9";
    stored.spring_rate = 150.0f;
    stored.hot_load = 180.0f;
    stored.cold_load = 210.0f;
    const std::map<int, CaseResults> c = solve();
    AnalysisRun run(*snapshot);
    EXPECT_DOUBLE_EQ(c.at(LC_OPERATING_1).support_loads[static_cast<std::size_t>(run.support_offset(top))], 180.0);
    const std::vector<HangerDesign> d = run_designs();
    EXPECT_EQ(d[0], stored);
}

TEST_F(HangerDesignTest, ShippedCataloguesNameTheirHangerTypes)
{
    // Every file of libraries/hangers reads and is the catalogue of its type;
    // none carries data that its source does not name (the reader refuses
    // such lines).
    for (int type = 1; type <= HANGER_CATALOGUES; ++type) {
        const std::string path = std::string(KV_SOURCE_DIR) + "/libraries/hangers/" + hanger_catalogue_file_name(type);
        HangerCatalogue c;
        EXPECT_EQ(thrown_text([&] { c = read_hanger_catalogue(path); }), "<nothing thrown>") << path;
        EXPECT_EQ(c.type, type);
        EXPECT_EQ(c.name, hanger_type_name(type));
    }
}

TEST(ShippedHangerCatalogues, ParseAndHoldTheirOwnConsistency)
{
    // Every shipped catalogue with data, figure by figure in file order: the
    // sizes climb (minimum and maximum loads rise, rates do not fall) and
    // each size's working range reaches the next one's, but where a file
    // leaves a size out and says so (Grinnell's size 4, between 3 and 5).
    // Where a file states a series' working travel, rate x travel is each
    // size's load range to the table's rounding: loads to a whole pound (1 lb
    // over both ends), rates to a whole lb/in (half a pound per inch of
    // travel). Grinnell's table has one load column per size, shared by all
    // its series: a size has the same working range in each.
    struct Stated {
        int type;
        std::string figure;
        double travel;   // inch
    };
    // The working travels the Grinnell file states (Anvil PP-SUB-82-C82-v01,
    // pp. 6-7): Fig. 82 1 1/4 in, B-268 2 1/2, 98 5, triple 7 1/2, quadruple 10.
    const std::vector<Stated> stated = {
        {16, "82", 1.25}, {16, "B-268", 2.5}, {16, "98", 5.0}, {16, "TRIPLE", 7.5}, {16, "QUAD", 10.0}};
    const std::set<std::string> declared_gaps = {"16 82 3-5", "16 B-268 3-5", "16 98 3-5", "16 TRIPLE 3-5",
                                                 "16 QUAD 3-5"};
    std::set<std::string> gaps;
    std::set<std::string> travels_checked;
    int with_data = 0;
    for (int type = 1; type <= HANGER_CATALOGUES; ++type) {
        const std::string path = std::string(KV_SOURCE_DIR) + "/libraries/hangers/" + hanger_catalogue_file_name(type);
        const HangerCatalogue c = read_hanger_catalogue(path);
        with_data += c.has_data();
        std::map<std::string, const SpringSize*> last;
        std::map<std::string, std::pair<double, double>> column;
        for (const SpringSize& s : c.springs) {
            const std::string where = c.name + " " + s.figure + " " + s.size;
            if (const SpringSize* before = last[s.figure]) {
                EXPECT_LT(before->min_load, s.min_load) << where;
                EXPECT_LT(before->max_load, s.max_load) << where;
                EXPECT_LE(before->rate, s.rate) << where;
                if (s.min_load > before->max_load)
                    gaps.insert(std::to_string(type) + " " + s.figure + " " + before->size + "-" + s.size);
            }
            last[s.figure] = &s;
            for (const Stated& st : stated)
                if (st.type == type && st.figure == s.figure) {
                    EXPECT_NEAR(s.rate * st.travel, s.max_load - s.min_load, st.travel / 2 + 1) << where;
                    travels_checked.insert(s.figure);
                }
            if (type == 16) {
                const auto [range, added] = column.emplace(s.size, std::make_pair(s.min_load, s.max_load));
                EXPECT_EQ(range->second, std::make_pair(s.min_load, s.max_load)) << where;
            }
        }
    }
    EXPECT_EQ(gaps, declared_gaps);
    EXPECT_EQ(travels_checked.size(), stated.size());
    EXPECT_EQ(with_data, 1);
}

TEST(HangerCatalogueReader, DamagedInEveryFieldIsRefusedWithItsLine)
{
    const std::string head = "CATALOGUE 16 Grinnell\n";
    auto fault = [](const std::string& text) { return thrown_text([&] { parse_hanger_catalogue(text, "x.txt"); }); };
    const std::pair<std::string, std::string> cases[] = {
        {"", "Hanger catalogue x.txt has no CATALOGUE line"},
        {"SPRING A 1 MID 1 2 3 # s\n", "Hanger catalogue x.txt, line 1: the first data line is not the CATALOGUE line"},
        {"CATALOGUE 36 Grinnell\n", "Hanger catalogue x.txt, line 1: the catalogue type 36 is not 1 to 35"},
        {"CATALOGUE x Grinnell\n", "Hanger catalogue x.txt, line 1: the catalogue type x is not 1 to 35"},
        {"CATALOGUE 16 Lisega\n", "Hanger catalogue x.txt, line 1: the name of catalogue 16 is Grinnell, not Lisega"},
        {"CATALOGUE 16\n", "Hanger catalogue x.txt, line 1: CATALOGUE needs the type and the name"},
        {head + head, "Hanger catalogue x.txt, line 2: a second CATALOGUE line"},
        {head + "SPRINGS A 1 MID 1 2 3 # s\n", "Hanger catalogue x.txt, line 2: a line of the unknown kind SPRINGS"},
        {head + "SPRING A 1 MID 1 2 3\n", "Hanger catalogue x.txt, line 2: the line does not name its source after '#'"},
        {head + "SPRING A 1 MID 1 2 # s\n", "Hanger catalogue x.txt, line 2: SPRING needs 6 fields, not 5"},
        {head + "SPRING A 1 MID 1 2 3 4 # s\n", "Hanger catalogue x.txt, line 2: SPRING needs 6 fields, not 7"},
        {head + "SPRING ABCDEFG 1 MID 1 2 3 # s\n",
         "Hanger catalogue x.txt, line 2: the figure name ABCDEFG is longer than 6 characters"},
        {head + "SPRING A 1234567 MID 1 2 3 # s\n",
         "Hanger catalogue x.txt, line 2: the size name 1234567 is longer than 6 characters"},
        {head + "SPRING A 1 HALF 1 2 3 # s\n", "Hanger catalogue x.txt, line 2: the range HALF is not SHORT, MID or LONG"},
        {head + "SPRING A 1 MID x 2 3 # s\n", "Hanger catalogue x.txt, line 2: the minimum load x is not a number"},
        {head + "SPRING A 1 MID 1 nan 3 # s\n", "Hanger catalogue x.txt, line 2: the maximum load nan is not a number"},
        {head + "SPRING A 1 MID 1 2 1e999 # s\n", "Hanger catalogue x.txt, line 2: the spring rate 1e999 is not a number"},
        {head + "SPRING A 1 MID -1 2 3 # s\n", "Hanger catalogue x.txt, line 2: the minimum load -1 is out of range"},
        {head + "SPRING A 1 MID 1 2 0 # s\n", "Hanger catalogue x.txt, line 2: the spring rate 0 is out of range"},
        {head + "SPRING A 1 MID 2 2 3 # s\n",
         "Hanger catalogue x.txt, line 2: the minimum load is not below the maximum load"},
        {head + "SPRING A 1 MID 1 2 3 # s\nSPRING A 2 LONG 1 2 3 # s\n",
         "Hanger catalogue x.txt, line 3: the figure A is given two ranges"},
        {head + "SPRING A 1 MID 1 2 3 # s\nSPRING A 1 MID 1 2 3 # s\n",
         "Hanger catalogue x.txt, line 3: the size A 1 is given twice"},
        {head + "CONSTANT C 1 1 2 # s\n", "Hanger catalogue x.txt, line 2: CONSTANT needs 5 fields, not 4"},
        {head + "CONSTANT C 1 1 2 2000 # s\n", "Hanger catalogue x.txt, line 2: the travel 2000 is out of range"},
        {head + "CONSTANT C 1 3 2 5 # s\n",
         "Hanger catalogue x.txt, line 2: the minimum load is not below the maximum load"},
        {head + std::string(300, 'x') + "\n", "Hanger catalogue x.txt, line 2: the line is longer than 255 characters"},
        {head + std::string("SPRING A 1 MID 1 2 3 # s\0", 25) + "\n",
         "Hanger catalogue x.txt, line 2: the line holds a NUL character"},
    };
    for (const auto& [text, message] : cases)
        EXPECT_EQ(fault(text), message) << text;

    // A good file reads field by field; comments, lines of tabs and CR LF
    // line ends pass.
    const HangerCatalogue c = parse_hanger_catalogue(
        "\t\t\r# comment\r\n\t \v\n" + head + "\r\nSPRING F82 3 SHORT 63 84 84 # ed. 2, p. 9\r\nCONSTANT C81 2 100 400 5 # p. 10\n",
        "x.txt");
    ASSERT_EQ(c.springs.size(), 1u);
    EXPECT_EQ(c.springs[0].figure, "F82");
    EXPECT_EQ(c.springs[0].size, "3");
    EXPECT_EQ(c.springs[0].range, SpringRange::Short);
    EXPECT_EQ(c.springs[0].min_load, 63);
    EXPECT_EQ(c.springs[0].max_load, 84);
    EXPECT_EQ(c.springs[0].rate, 84);
    ASSERT_EQ(c.constants.size(), 1u);
    EXPECT_EQ(c.constants[0].travel, 5);
    EXPECT_TRUE(c.has_data());
}

TEST(HangerSelection, SmallestSpringThatHoldsBothLoadsWithinTheVariation)
{
    // Hand-worked choices on the test catalogue: H = 200 lb, 0.3 in up.
    const HangerCatalogue c = parse_hanger_catalogue(TEST_CATALOGUE, "t");
    HangerDemand d;
    d.type = 16;
    d.load = 200;
    d.travel = 0.3;
    // T1 11: C = 230 in 150-250, variation 30/200 = 15 %; T2 11 the same
    // size with a longer range: the shorter range wins the tie.
    HangerChoice h = select_hanger(&c, d);
    EXPECT_EQ(h.design.figure, "T1");
    EXPECT_EQ(h.design.size, "11");
    EXPECT_FLOAT_EQ(h.design.cold_load, 230);
    EXPECT_FLOAT_EQ(h.design.hot_load, 200);
    // Moving down 0.3 in: C = 170.
    d.travel = -0.3;
    h = select_hanger(&c, d);
    EXPECT_FLOAT_EQ(h.design.cold_load, 170);
    // Short range allowed: T0 11 (200 lb/in) varies by 30 %: not chosen.
    d.short_range = true;
    EXPECT_EQ(select_hanger(&c, d).design.figure, "T1");
    // Cold load type: the load is the cold one, H = C - k u.
    d = HangerDemand{};
    d.type = 16;
    d.load = 220;
    d.cold_load = true;
    d.travel = 0.2;
    h = select_hanger(&c, d);
    EXPECT_FLOAT_EQ(h.design.cold_load, 220);
    EXPECT_FLOAT_EQ(h.design.hot_load, 200);
    // A travel beyond every range: a constant support, with the reason.
    d.travel = 20;
    h = select_hanger(&c, d);
    EXPECT_TRUE(h.constant);
    EXPECT_FALSE(h.designed);
    EXPECT_NE(note_of(h).find("which the Grinnell catalogue has not"), std::string::npos) << note_of(h);
    // No load upwards: not designed.
    d.load = -5;
    EXPECT_FALSE(select_hanger(&c, d).designed);
    // A constant support without catalogue sizes.
    d = HangerDemand{};
    d.type = HANGER_CONSTANT;
    d.load = 900;
    d.travel = 2;
    h = select_hanger(nullptr, d);
    EXPECT_EQ(h.design.figure, "CONST");
    EXPECT_FLOAT_EQ(h.design.hot_load, 900);
    EXPECT_FLOAT_EQ(h.design.vertical_travel, 2);
}

TEST(HangerSelection, HangerDesignMessageNamesTheReasonThatHolds)
{
    // Two sizes with a gap between them, 210 and 221 lb, a short-range size
    // above them, and a constant support; 50 lb/in each.
    const HangerCatalogue c = parse_hanger_catalogue(GAPPED_CATALOGUE, "t");
    HangerDemand d;
    d.type = 16;
    d.load = 215.6;
    d.travel = 0.1;
    // 215.6 lb hot, 220.6 lb cold, lies in no range, whatever the variation
    // allowed: the gap is named, not the variation.
    for (int variation : {25, 100}) {
        d.variation = variation;
        const HangerChoice h = select_hanger(&c, d);
        EXPECT_TRUE(h.designed && h.constant);
        EXPECT_EQ(note_of(h), "is held by no spring of the Grinnell catalogue: no size's working range holds its load of "
                          "215.6 lb over a travel of 0.1 inch (the nearest sizes end at 210 lb and begin at 221 "
                          "lb); a constant support is chosen");
    }
    // 500 lb hot, 505 lb cold: only the short-range size holds it (varying
    // 5/500 = 1 %), and the hanger does not allow short-range springs.
    d.variation = 25;
    d.load = 500;
    EXPECT_EQ(note_of(select_hanger(&c, d)),
              "is held by no spring of the Grinnell catalogue: only a short-range spring, which the hanger does not "
              "allow, holds its load of 500 lb over a travel of 0.1 inch; a constant support is chosen");
    d.short_range = true;
    EXPECT_EQ(select_hanger(&c, d).design.figure, "B");
    // 300 lb hot moving up 1.5 in: 375 lb cold, both within A 2 (221-400 lb),
    // varying 75/300 = 25 %: at 20 % allowed the variation is the reason.
    d.short_range = false;
    d.load = 300;
    d.travel = 1.5;
    d.variation = 20;
    EXPECT_EQ(note_of(select_hanger(&c, d)),
              "is held by no spring of the Grinnell catalogue: its load of 300 lb over a travel of 1.5 inch would "
              "vary by more than 20%; a constant support is chosen");
    // Beyond the largest and below the smallest size.
    d.travel = 0.1;
    d.load = 700;
    EXPECT_NE(note_of(select_hanger(&c, d)).find("(the largest size ends at 400 lb)"), std::string::npos);
    d.load = 60;
    EXPECT_NE(note_of(select_hanger(&c, d)).find("(the smallest size begins at 100 lb)"), std::string::npos);
}

// A constant support of 2000 lb whose node moves down 1E-31 in, not at all
// as shown (below 1E-30), with a catalogue whose constants end at 1000 lb:
// the message names the travel as 0, never "-0"; a travel of -0.0006 in
// keeps its sign.
TEST(NegativeZero, HangerMessageOfAlmostNoTravelHasNoSignedZero)
{
    const HangerCatalogue c = parse_hanger_catalogue("CATALOGUE 16 Grinnell\n"
                                                     "CONSTANT C 1 50 1000 10     # test\n",
                                                     "t");
    HangerDemand d;
    d.type = HANGER_CONSTANT;
    d.load = 2000;
    d.travel = -1.0e-31;
    EXPECT_EQ(note_of(select_hanger(&c, d)),
              "needs a constant support for 2000 lb over a travel of 0 inch, which the Grinnell catalogue has not");
    d.travel = -0.0006;
    EXPECT_EQ(note_of(select_hanger(&c, d)),
              "needs a constant support for 2000 lb over a travel of -0.0006 inch, which the Grinnell catalogue has "
              "not");
}
