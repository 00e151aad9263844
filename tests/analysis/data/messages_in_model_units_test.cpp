// The values that messages, warnings and notes show are in the model's
// units, each worked out here by hand from the exact definitions of the
// units (1 lbf = 4.4482216152605 N, 1 in = 25.4 mm, degF = 1.8 degC + 32,
// 1 psi = 6894.757293168 Pa): the unit formatter itself, the notes of the
// hanger design, the warning of a run's hanger design, the check of a
// converged contact state and the model check of a bend's intermediate
// node.
#include "analysis/data/hanger_test_catalogues.h"
#include "analysis/data/support_fixture.h"
#include "analysis/hanger_catalogue.h"
#include "analysis/hanger_design.h"
#include "analysis/results_file.h"
#include "analysis/static_analysis.h"
#include "elements/bend.h"
#include "framework/binfile.h"
#include "framework/units.h"
#include "number_in_text.h"
#include "supports/contact_solver.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"

#include <cmath>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

using namespace analysis_test;

namespace {

constexpr double NEWTONS_PER_POUND = 4.4482216152605;

// The unit choices of a model in newtons and millimetres (the rest English).
UnitChoices newtons_and_millimetres()
{
    UnitChoices u{};
    u[FORCE] = 1;          // N
    u[DISPLACEMENT] = 1;   // mm
    u[STIFFNESS] = 1;      // N/mm
    return u;
}

class MessagesInModelUnits : public SupportTest {
protected:
    // The analysis model of the document's model, its Sustained case
    // chosen, in newtons and millimetres.
    void snapshot_in_newtons()
    {
        choose({LC_SUSTAINED});
        unit_choice() = newtons_and_millimetres();
        make_model();
        snapshot = make_analysis_model();
    }
    // The message that refuses the document's model, or "<nothing thrown>".
    static std::string refusal()
    {
        make_model();
        return thrown_text([] { make_analysis_model(); });
    }
};

}  // namespace

TEST_F(MessagesInModelUnits, AValueShowsInTheUnitChosenWithItsName)
{
    struct Case {
        int quantity;
        int unit;
        double internal;
        const char* shown;
    };
    const Case cases[] = {
        // 460.7 lb; x 4.4482216152605 = 2049.2957 N; / 9.80665 (kgf) = 208.97 kg.
        {FORCE, 0, -460.7, "-460.7 lb"},
        {FORCE, 1, -460.7, "-2049.3 N"},
        {FORCE, 2, -460.7, "-208.97 kg"},
        // A whole number of six digits keeps them: 50 000 lb = 222 411.08 N.
        {FORCE, 1, 50000, "222411 N"},
        // 0.5 in = 12.7 mm.
        {DISPLACEMENT, 0, 0.5, "0.5 inch"},
        {DISPLACEMENT, 1, 0.5, "12.7 mm"},
        // 75 000 psi x 0.006894757293 = 517.107 MPa.
        {STRESS, 1, 75000, "517.11 MPa"},
        // 700 degF: (700 - 32) / 1.8 = 371.11 degC.
        {TEMPERATURE, 1, 700, "371.11 C"},
        // 1 lb/in = 4.4482216152605 / 25.4 = 0.1751268 N/mm.
        {STIFFNESS, 1, 1, "0.17513 N/mm"},
        // A quarter turn: 90 deg, pi / 2 = 1.5708 rad.
        {ANGLE, 0, std::numbers::pi / 2, "90 deg"},
        {ANGLE, 1, std::numbers::pi / 2, "1.5708 rad"},
        // Below 1E-30 in the unit shown is 0, without a sign.
        {FORCE, 1, -1.0e-31, "0 N"},
        // A choice that is no unit of the quantity shows the English one.
        {FORCE, 99, 12.5, "12.5 lb"},
    };
    for (const Case& c : cases) {
        UnitChoices units{};
        units[static_cast<std::size_t>(c.quantity)] = c.unit;
        EXPECT_EQ(value_with_unit(c.quantity, c.internal, units), c.shown) << c.shown;
    }
    // The choices in force by default: the document's.
    unit_choice()[FORCE] = 1;
    EXPECT_EQ(value_with_unit(FORCE, -460.7), "-2049.3 N");
}

TEST_F(MessagesInModelUnits, EveryHangerNoteShowsItsLoadsAndTravelsInTheModelsUnits)
{
    // The sizes of HangerSelection.HangerDesignMessageNamesTheReasonThatHolds,
    // in a model of newtons and millimetres.
    const HangerCatalogue c = parse_hanger_catalogue(GAPPED_CATALOGUE, "t");
    const auto n = [](double pounds) { return pounds * NEWTONS_PER_POUND; };
    // By hand: 460.7 lb = 2049.30 N; 215.6 lb = 959.04 N; 210 lb = 934.13 N;
    // 221 lb = 983.06 N; 500 lb = 2224.1 N; 300 lb = 1334.5 N; 700 lb =
    // 3113.8 N; 400 lb = 1779.3 N; 60 lb = 266.89 N; 100 lb = 444.82 N;
    // 2000 lb = 8896.4 N; 0.1 in = 2.54 mm; 1.5 in = 38.1 mm; 0.0006 in =
    // 0.01524 mm.
    ASSERT_NEAR(n(460.7), 2049.2957, 1e-4);
    ASSERT_NEAR(n(215.6), 959.0366, 1e-4);
    struct Case {
        int type;
        double load, travel;
        int variation;
        const char* note;
    };
    const Case cases[] = {
        {16, -460.7, 0.0, 25, "carries no load upwards (-2049.3 N): it is not designed"},
        {16, 215.6, 0.1, 25,
         "is held by no spring of the Grinnell catalogue: no size's working range holds its load of 959.04 N over a "
         "travel of 2.54 mm (the nearest sizes end at 934.13 N and begin at 983.06 N); a constant support is chosen"},
        {16, 500, 0.1, 25,
         "is held by no spring of the Grinnell catalogue: only a short-range spring, which the hanger does not allow, "
         "holds its load of 2224.1 N over a travel of 2.54 mm; a constant support is chosen"},
        {16, 300, 1.5, 20,
         "is held by no spring of the Grinnell catalogue: its load of 1334.5 N over a travel of 38.1 mm would vary by "
         "more than 20%; a constant support is chosen"},
        {16, 700, 0.1, 25,
         "is held by no spring of the Grinnell catalogue: no size's working range holds its load of 3113.8 N over a "
         "travel of 2.54 mm (the largest size ends at 1779.3 N); a constant support is chosen"},
        {16, 60, 0.1, 25,
         "is held by no spring of the Grinnell catalogue: no size's working range holds its load of 266.89 N over a "
         "travel of 2.54 mm (the smallest size begins at 444.82 N); a constant support is chosen"},
        {HANGER_CONSTANT, 2000, -0.0006, 25,
         "needs a constant support for 8896.4 N over a travel of -0.01524 mm, which the Grinnell catalogue has not"},
    };
    for (const Case& k : cases) {
        HangerDemand d;
        d.type = k.type;
        d.load = k.load;
        d.travel = k.travel;
        d.variation = k.variation;
        EXPECT_EQ(hanger_note_text(select_hanger(&c, d).note, newtons_and_millimetres()), k.note);
    }
}

TEST_F(MessagesInModelUnits, HangerWarningOfARunInNewtonsAndItsNoteInTheResultsFile)
{
    // A riser of l = 240 in from an anchor at node 10 up to a catalogue
    // spring at node 20, pushed up at node 20 by F = 1000 lb in the weight
    // case of the design. With the hanger held rigid (K) the weight alone
    // puts R on it: R (2/K + l/EA) = w l / K + w l^2 / 2EA; of F the hanger
    // takes K / (K + ks), ks = 1 / (1/K + l/EA) the pipe and the anchor in
    // series. Its load R - F K / (K + ks) is below 0: it is not designed,
    // and the warning shows the load in newtons.
    const double l = 240, f = 1000;
    with(from(10), DT_ANCHOR);
    const int top = pipe(20, 0, static_cast<float>(l), 0, DT_HANGER);
    const int push = at_node(20, DT_FORCE);
    item<TestForce>(push).code = 20;
    item<TestForce>(push).load[1] = f;
    write_test_catalogue(folder, "CATALOGUE 16 Grinnell\nSPRING S 1 MID 1 10000 10 # test\n");
    snapshot_in_newtons();
    const RunOutcome outcome = run_analysis(*snapshot, RunCallbacks{});
    ASSERT_TRUE(outcome.completed) << outcome.message;

    const double w = steel.weight, ea = steel.e * steel.area;
    const double r = (w * l / RIGID + w * l * l / (2 * ea)) / (2 / RIGID + l / ea);
    const double ks = 1 / (1 / RIGID + l / ea);
    const double load = (r - f * RIGID / (RIGID + ks)) * NEWTONS_PER_POUND;
    ASSERT_LT(load, -3000.0);
    ASSERT_EQ(outcome.warnings.size(), 1u);
    const std::string& warning = outcome.warnings[0];
    EXPECT_EQ(warning.rfind("Row 2: the hanger at node 20 carries no load upwards (-", 0), 0u) << warning;
    EXPECT_TRUE(warning.ends_with(" N): it is not designed")) << warning;
    EXPECT_NEAR(number_before(warning, " N)"), load, 1e-4 * std::fabs(load)) << warning;

    // The results file's run record carries the note, its values in
    // internal units, for the reports to word in the units they show.
    const Model& m = snapshot->written_model();
    BinFile file;
    ASSERT_TRUE(file.open_read(snapshot->output.results_path));
    ResultsRunRecord record;
    ASSERT_TRUE(read_run_record(file, results_file_size(m, snapshot->load_cases, m.numelems(), 0), record));
    ASSERT_EQ(record.hanger_notes.size(), 1u);
    const HangerNote& note = record.hanger_notes[0];
    EXPECT_EQ(note.row, top);
    EXPECT_EQ(note.node, 20);
    EXPECT_EQ(note.reason, HangerNoteReason::NoUpwardLoad);
    EXPECT_FALSE(note.designed);
    EXPECT_NEAR(note.load * NEWTONS_PER_POUND, load, 1e-4 * std::fabs(load));
    EXPECT_EQ(hanger_note_line(note, newtons_and_millimetres()), warning);
    // In a model shown in pounds the same note reads in pounds.
    EXPECT_NEAR(number_before(hanger_note_text(note, UnitChoices{}), " lb)"), load / NEWTONS_PER_POUND,
                1e-4 * std::fabs(load / NEWTONS_PER_POUND));
}

TEST_F(MessagesInModelUnits, ContactCheckFailuresInMillimetresAndNewtons)
{
    // A rest (a stop along +Y from 0, mu 0.3) at the tip of a cantilever,
    // its state and the tip's motion set by hand (as in the check's own
    // tests), in a model of newtons and millimetres.
    anchor_at(10);
    const int rest = pipe(20, 100, 0, 0, DT_LIMIT_STOP);
    support<LimitStop>(rest).v = {"", 0.0f, NO_LIMIT, {0.0f, 1.0f, 0.0f}, 0.3f, 0.0f, 0};
    snapshot_in_newtons();
    AnalysisRun run(*snapshot);
    run.set_identity_numbering();
    run.set_step(LC_SUSTAINED);
    const int node = model().rows[rest].node_index;
    auto move = [&](double x, double y) {
        model().rows[rest].data->reset_nonlinear_state(run, rest);
        run.solution[run.equation(node, 0)] = x;
        run.solution[run.equation(node, 1)] = y;
        run.solution[run.equation(node, 2)] = 0;
    };
    auto state = [&]() -> ContactState& { return run.row_state<ContactState>(rest); };
    // Closed under N = 1000 lb, the tip 1e-9 in into the rest: sliding along
    // X with the friction f on the pipe, or sticking with a spring that
    // holds f at the slip.
    auto closed = [&](double slip, double friction, bool sliding) {
        move(slip, -1000 / RIGID);
        state().status[0] = CONTACT_LOWER;
        state().limit = 300;
        state().sliding = sliding;
        if (sliding) {
            state().stick = 300 / 1.0e-6;
            state().friction = {friction, 0, 0};
        } else {
            state().stick = 300 / 1.0e-4;
            state().spring = std::fabs(friction) / slip;
        }
    };
    struct Case {
        const char* what;
        std::function<void()> set;
        const char* failure;
    };
    // By hand: 0.1 in = 2.54 mm; 450 lb = 2001.7 N and mu N = 0.3 x
    // 1000 lb = 300 lb = 1334.5 N, to four digits 2002 and 1334; 200 lb =
    // 889.64 N; a slip of 0.01 in = 0.254 mm; the sticking zone 1e-4 in =
    // 0.00254 mm.
    const std::vector<Case> cases = {
        {"open below its limit",
         [&] {
             move(0, -0.1);
             state().status[0] = CONTACT_OPEN;
         },
         "Limit stop at node 20: past its lower limit 0 mm by 2.54 mm with a load of 0 N"},
        {"a friction above mu N", [&] { closed(0.5, -450, true); },
         "Limit stop at node 20: a friction of 2002 N above mu N = 1334 N"},
        {"a sticking friction that moved beyond its zone",
         [&] {
             run.run_state<ContactSet>().slip = 1.0e-4;
             closed(0.01, -200, false);
         },
         "Limit stop at node 20: moves 0.254 mm with a friction of 889.6 N below mu N = 1334 N, where a contact that "
         "sticks may move at most 0.00254 mm"},
    };
    for (const Case& c : cases) {
        c.set();
        const std::vector<std::string> failures = check_contact_states(run);
        ASSERT_EQ(failures.size(), 1u) << c.what;
        EXPECT_EQ(failures[0], c.failure) << c.what;
    }
}

TEST_F(MessagesInModelUnits, BendNodeAnglesInTheAngleUnitOfTheModel)
{
    // A bend at node 30 (a quarter turn, pi/2 = 1.571 rad) with its
    // intermediate node 35 at 2 rad, beyond its end: the refusal gives both
    // angles in radians where the model shows radians, in degrees (2 rad =
    // 114.59 deg) where it shows degrees.
    anchored_from(10);
    pipe(20, 100, 0, 0);
    const int r = row(30, ET_BEND, 0, 100, 0);
    name(r);
    auto& b = dynamic_cast<Bend&>(*model().rows[r].element);
    b.geometry.radius_kind = RADIUS_USER;
    b.geometry.radius = 9.0f;
    pipe(40, 100, 0, 0);
    choose({LC_SUSTAINED});
    b.geometry.node1 = 35;
    b.geometry.angle1 = 2.0f;
    unit_choice()[ANGLE] = 1;
    EXPECT_EQ(refusal(), "Row 3: intermediate node 35 is at 2 rad, at or beyond the bend angle of 1.571 rad");
    unit_choice()[ANGLE] = 0;
    EXPECT_EQ(refusal(), "Row 3: intermediate node 35 is at 114.6 deg, at or beyond the bend angle of 90 deg");
}
