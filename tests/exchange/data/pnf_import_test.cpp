// The PipePak neutral file import's rules line by line: what the file's
// words become, how the two passes, the node names, the units and the
// defaults of each item behave, and the closing note of what the model did
// not take.
#include "elements/joints.h"
#include "exchange/data/neutral_fixture.h"
#include "exchange/pnf_reader.h"
#include "elements/flange.h"
#include "loads/nodal_loads.h"
#include "loads/pipe_load.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/element_data.h"
#include "model/nodes.h"
#include "supports/anchor.h"
#include "supports/guide.h"
#include "supports/hanger.h"
#include "supports/limit_stop.h"
#include "supports/skewed_restraint.h"
#include "supports/snubber.h"

namespace neutral_test {
namespace {

const std::string RUN = "PIPE S1 6 40 6.625 0.28\n"
                        "FROM A 0 0 0 S1\n"
                        "TO B 10 0 0\n"
                        "TO C 0 10 0 LONG\n"
                        "TO D 0 0 10\n";

class PipePakImport : public NeutralTest {};

// An element line may end after any of its offsets, its node word too: the
// offsets it does not give are 0, as "*" gives them.
TEST_F(PipePakImport, ElementLinesMayEndAfterAnyOffset)
{
    const std::string head = "UNIT ENGLISH\nMATERIAL CS\nPIPE S1 6 40 6.625 0.28\nFROM Q 0 0 5 S1 CS\nTO R 10 0 0\n";
    ASSERT_NO_FATAL_FAILURE(pnf_ok(head + "FROM A\nTO B 10\nTO C 0 2\n"));
    // ENGLISH lengths are feet: B 10 ft along X from A at the origin, C 2 ft
    // above B. Names are numbered 10, 20, ... in the order met: A is 30.
    const Vec3 a = node_position(model(), node_index(30));
    const Vec3 b = node_position(model(), node_index(40));
    const Vec3 c = node_position(model(), node_index(50));
    EXPECT_EQ(a.x, 0.0);
    EXPECT_EQ(a.y, 0.0);
    EXPECT_EQ(a.z, 0.0);
    EXPECT_DOUBLE_EQ(b.x, 120.0);
    EXPECT_EQ(b.y, 0.0);
    EXPECT_DOUBLE_EQ(c.x, 120.0);
    EXPECT_DOUBLE_EQ(c.y, 24.0);
    EXPECT_EQ(c.z, 0.0);
    EXPECT_EQ(notes_.count(PNF_EXTRA_WORDS), 0);
}

TEST_F(PipePakImport, EmptyAndBlankFilesGiveAnEmptyModel)
{
    ASSERT_NO_FATAL_FAILURE(pnf_ok(""));
    EXPECT_EQ(numrows(), 0);
    ASSERT_NO_FATAL_FAILURE(pnf_ok("\n   \n\t\n"));
    EXPECT_EQ(numrows(), 0);
    EXPECT_TRUE(notes_.empty());
}

TEST_F(PipePakImport, CodLineEndsBothPassesAndTheNoteSaysSo)
{
    // Blank lines anywhere are skipped; after COD nothing is read, not even
    // the VALVE line of the second pass.
    ASSERT_NO_FATAL_FAILURE(pnf_ok("UNIT ENGLISH\n\n" + RUN + "\nCOD\nTO E 1 0 0\nVALVE A\n"));
    EXPECT_EQ(numrows(), 4);
    EXPECT_EQ(model().rows[2].etype, ET_PIPE);
    EXPECT_EQ(notes_.items(PNF_IGNORED_LINES), (std::vector<std::string>{"lines 10 to 11, after COD"}));
    // Lines beginning with "*" are comments; unknown first words are named.
    ASSERT_NO_FATAL_FAILURE(pnf_ok("* a comment\nPIPES S1\nHEADER X\n" + RUN));
    EXPECT_EQ(notes_.items(PNF_UNKNOWN_LINES), (std::vector<std::string>{"line 2 (PIPES)", "line 3 (HEADER)"}));
}

TEST_F(PipePakImport, GlobalCodeWordsChooseThePipingCode)
{
    const struct {
        std::string words;
        int32_t code;
        int notes;
    } cases[] = {
        {"B31.1", CODE_B311, 0},         {"B31.3", CODE_B313, 0},         {"B31.4", CODE_B314, 0},
        {"B31.8", CODE_B318, 0},         {"CLASS2-1997", CODE_ASME_CLASS2_1992, 0},
        {"CLASS2-2001", CODE_ASME_CLASS2_1992, 0}, {"CLASS3-1977", CODE_B311, 0},
        {"CLASS3-2001", CODE_B311, 0},   {"BS806", CODE_BS806, 0},        {"13480", CODE_EN13480, 0},
        {"BS 13480", CODE_EN13480, 0},   {"BS EN 13480", CODE_EN13480, 0},
        // Unchanged after BS, and B31.1 for a word no code has: both named in the note.
        {"BS 5500", CODE_IGEM, 1},       {"XYZ", CODE_B311, 1},
    };
    for (const auto& c : cases) {
        piping_code() = CODE_IGEM;
        ASSERT_NO_FATAL_FAILURE(pnf_ok("GLOBAL " + c.words + "\n"));
        EXPECT_EQ(piping_code(), c.code) << c.words;
        EXPECT_EQ(notes_.count(PNF_CODE_NOTE), c.notes) << c.words;
    }
    EXPECT_EQ(notes_.items(PNF_CODE_NOTE), (std::vector<std::string>{"XYZ not known, B31.1 taken"}));
}

TEST_F(PipePakImport, SecondDefinitionsOfANameAreIgnoredAndNoted)
{
    ASSERT_NO_FATAL_FAILURE(pnf_ok("MATERIAL CS * 0.283\nMATERIAL CS * 0.300\n"
                                   "PIPE S1 6 40 6.625 0.28\nPIPE S1 4 40 4.5 0.237\n"
                                   "LOAD L1 300 100\nLOAD L1 400 200\n"
                                   "TITLE first\nTITLE second\n"));
    EXPECT_EQ(nummats(), 1);
    expect_value(pipe_materials()[1].density, 0.283, "the first material");
    EXPECT_EQ(numsections(), 1);
    expect_value(pipe_sections()[1].outside_diameter, 6.625, "the first section");
    EXPECT_EQ(numloads(), 1);
    expect_value(pipe_loads()[1].temperature[1], 300, "the first load");
    EXPECT_EQ(model_title(), "FIRST ");
    EXPECT_EQ(notes_.items(PNF_IGNORED_LINES),
              (std::vector<std::string>{"line 2 (MATERIAL CS again)", "line 4 (PIPE S1 again)",
                                        "line 6 (LOAD L1 again)", "line 8 (TITLE)"}));
}

TEST_F(PipePakImport, TitleIsCutTo48CharactersAndUpperCased)
{
    ASSERT_NO_FATAL_FAILURE(pnf_ok("TITLE my model\n"));
    EXPECT_EQ(model().rows[1].comment_text(), "Title = MY MODEL ");
    ASSERT_NO_FATAL_FAILURE(pnf_ok("TITLE " + std::string(60, 'x') + "\n"));
    EXPECT_EQ(model_title(), std::string(48, 'X'));
}

TEST_F(PipePakImport, NodeNamesAreComparedWholeAfterUpperCasing)
{
    // Names longer than seven characters that share their first seven are
    // two nodes; p10 and P10 are one.
    ASSERT_NO_FATAL_FAILURE(pnf_ok("FROM LONGNAME1 0 0 0\nTO LONGNAME2 5 0 0\nTO p10 5 0 0\nTO E 0 5 0\nFROM P10 0 0 0\n"));
    EXPECT_EQ(model().rows[1].node, 10);
    EXPECT_EQ(model().rows[2].node, 20);
    EXPECT_EQ(model().rows[3].node, 30);
    EXPECT_EQ(model().rows[5].node, 30);
}

TEST_F(PipePakImport, MiddleOfABendTakesNoNumberAnotherNodeHolds)
{
    // With an increment of 1 the middle of the bend at C (3) would be 8,
    // which H holds.
    node_increment_ = 1;
    const std::string text = RUN + "TO E 10 0 0\nTO F 10 0 0\nTO G 10 0 0\nTO H 10 0 0\nRIGID C MID\n";
    EXPECT_EQ(import_pnf(text),
              pnf_error(10, "RIGID C MID", "The middle of the bend would be node 8, which another node has :  MID"));
    // A name that comes after a middle position skips its number.
    ASSERT_NO_FATAL_FAILURE(pnf_ok(RUN + "RIGID C MID\nTO E 10 0 0\nTO F 10 0 0\nTO G 10 0 0\nTO H 10 0 0\n"));
    EXPECT_EQ(model().rows.back().node, 9);
}

TEST_F(PipePakImport, MetricFilesGiveCentimetresAndSiFilesMillimetres)
{
    ASSERT_NO_FATAL_FAILURE(pnf_ok("UNIT metric\nPIPE S1 10 40 11.43 0.602\nFROM A 0 0 0 S1\nTO B 150 * *\n"
                                   "ANCHOR B * FREE * * * * * 0.5 * * * * *\n"));
    expect_value(pipe_sections()[1].outside_diameter, 114.3 / 25.4, "11.43 cm");
    expect_value(pipe_sections()[1].thickness, 6.02 / 25.4, "0.602 cm");
    expect_value(model().rows[2].dx, 1500 / 25.4, "150 cm");
    const Anchor& anchor = data<Anchor>(row_with(20, DT_ANCHOR));
    EXPECT_EQ(anchor.v.stiffness[0], 1.0f);
    for (std::size_t i = 1; i < 6; ++i)
        EXPECT_EQ(anchor.v.stiffness[i], RIGID_STIFFNESS);
    expect_value(anchor.v.displacements.values[1][0], 5 / 25.4, "0.5 cm");
    EXPECT_EQ(anchor.v.displacements.given[1], 1);
    EXPECT_EQ(anchor.v.displacements.given[2], 0);
    ASSERT_NO_FATAL_FAILURE(pnf_ok("UNIT SI\nFROM A 0 0 0\nTO B 150 * *\nANCHOR B * * * * * * * -1 0 0 0 0 0\n"
                                   "MATERIAL CS\nALLOWABLE CS 20 137900\n"));
    expect_value(model().rows[2].dx, 150 / 25.4, "150 mm");
    expect_value(data<Anchor>(row_with(20, DT_ANCHOR)).v.displacements.values[1][0], -1 / 25.4, "-1 mm");
    // 137900 kPa = 137.9 MPa = 137.9e6 / 6894.757293 psi.
    expect_value(pipe_materials()[1].table[1][PROP_STRESS1], 137.9e6 / 6894.757293168, "allowable");
}

TEST_F(PipePakImport, ThermalCasesCountFromLoadsAbove70F)
{
    ASSERT_NO_FATAL_FAILURE(pnf_ok("UNIT METRIC\nLOAD L1 100 10 20 5\n"));
    EXPECT_EQ(numtloads(), 1);   // 20 degC is 68 degF
    ASSERT_NO_FATAL_FAILURE(pnf_ok("UNIT METRIC\nLOAD L1 100 10 22 5\n"));
    EXPECT_EQ(numtloads(), 2);
    ASSERT_NO_FATAL_FAILURE(pnf_ok("LOAD L1 100 10 50 5 300 0\nLOAD L2 100 10 200 5\n"));
    EXPECT_EQ(numtloads(), 3);
}

// What "*", no word, "FREE" and 0 give for each item's stiffness.
TEST_F(PipePakImport, StiffnessWordsOfEachItem)
{
    const float rot_unit = static_cast<float>(180.0 / std::numbers::pi);   // 1 in-lb/deg
    struct Case {
        std::string line;
        float expected;
    };
    auto skewed = [](int node) { return data<SkewedRestraint>(row_with(node, DT_SKEWED_RESTRAINT)).v.stiffness; };
    const Case line_stops[] = {{"LINESTOP B * *", 1.0f},         {"LINESTOP B", 0.0f},
                               {"LINESTOP B * FREE", 1.0f},      {"LINESTOP B * 0", 0.0f},
                               {"ROTATIONAL B * * 0 1 0", rot_unit}, {"ROTATIONAL B", 0.0f},
                               {"ROTATIONAL B * FREE 0 1 0", rot_unit}};
    for (const Case& c : line_stops) {
        ASSERT_NO_FATAL_FAILURE(pnf_ok(RUN + c.line + "\n"));
        EXPECT_FLOAT_EQ(skewed(20), c.expected) << c.line;
    }
    for (const std::string word : {"*", "", "FREE", "0"}) {
        ASSERT_NO_FATAL_FAILURE(pnf_ok(RUN + "GUIDE B * " + word + "\nSPRING B * " + word + "\n"));
        EXPECT_EQ(data<Guide>(row_with(20, DT_GUIDE)).v.stiffness, 1.0f) << word;
        EXPECT_EQ(data<Hanger>(row_with(20, DT_HANGER)).v.spring_rate, 1.0f) << word;
    }
    for (const std::string word : {"*", "FREE", "0"}) {
        ASSERT_NO_FATAL_FAILURE(pnf_ok(RUN + "LIMITSTOP B * " + word + " 1 1\nSNUBBER B * " + word + " 1 0 0\n"));
        EXPECT_EQ(data<LimitStop>(row_with(20, DT_LIMIT_STOP)).v.stiffness, 1.0f) << word;
        EXPECT_EQ(data<Snubber>(row_with(20, DT_SNUBBER)).v.stiffness, 1.0f) << word;
    }
    // BSJ FREE: no stiffness, no limits, no friction, no weight.
    ASSERT_NO_FATAL_FAILURE(pnf_ok(RUN + "BSJ X 500\nBSJ X FREE\n"));
    const BallJoint& ball = element<BallJoint>(numrows());
    EXPECT_EQ(ball.bending_stiffness, 0.0f);
    EXPECT_EQ(ball.bending_limit, NO_ROTATION_LIMIT);
    EXPECT_EQ(ball.weight, 0.0f);
    EXPECT_NE(model().rows[numrows()].node, model().rows[numrows() - 1].node);
}

TEST_F(PipePakImport, EachLineStartsFromItsItemsDefaults)
{
    ASSERT_NO_FATAL_FAILURE(pnf_ok(RUN + "FLANGE B * SOCKET X 25\nFLANGE C FAR SOCKET X *\nWEIGHT B * 40\nWEIGHT D *\n"));
    EXPECT_EQ(data<Flange>(row_with(20, DT_FLANGE)).weight, 25.0f);
    EXPECT_EQ(data<Flange>(row_with(200030, DT_FLANGE)).weight, 0.0f);
    EXPECT_EQ(data<ConcentratedMass>(row_with(20, DT_CONC_MASS)).weight, 40.0f);
    EXPECT_EQ(data<ConcentratedMass>(row_with(40, DT_CONC_MASS)).weight, 0.0f);
}

TEST_F(PipePakImport, RestraintWithoutDirectionWhereNoPipeEndsIsRefused)
{
    // A line stop takes the pipe's direction at its node; at a From node
    // that starts a run alone no pipe ends.
    EXPECT_EQ(import_pnf("FROM A 0 0 0\nFROM B 10 0 0\nLINESTOP A *\n"),
              pnf_error(3, "LINESTOP A *", "The restraint has no direction and no pipe ends at its node"));
    ASSERT_NO_FATAL_FAILURE(pnf_ok(RUN + "LINESTOP D\n"));
    EXPECT_EQ(data<SkewedRestraint>(row_with(40, DT_SKEWED_RESTRAINT)).v.direction,
              (std::array<float, 3>{0, 0, 1}));
}

TEST_F(PipePakImport, RefusedFileLeavesAnEmptyModelAndTheSettings)
{
    unit_choice()[LENGTH] = 3;
    piping_code() = CODE_Z662;
    analysis_options().z_vertical = true;
    analysis_options().reference_temperature = 50.0f;
    const UnitChoices units = unit_choice();
    const AnalysisOptions options = analysis_options();
    // The error is in the second pass, after the first has built the model.
    EXPECT_EQ(import_pnf("UNIT SI\nGLOBAL B31.3 20\n" + RUN + "VALVE A GATE HEAVY\n"),
              pnf_error(8, "VALVE A GATE HEAVY", "Invalid Valve weight :  HEAVY"));
    EXPECT_EQ(numrows(), 0);
    EXPECT_EQ(numsections(), 0);
    EXPECT_EQ(unit_choice(), units);
    EXPECT_EQ(piping_code(), CODE_Z662);
    EXPECT_EQ(analysis_options(), options);
}

}  // namespace
}  // namespace neutral_test

namespace neutral_test {
namespace {

class PipePakSecondPass : public NeutralTest {};

// VALVE, CUT, REDUCER and BELLOW change the pipe that starts at their node;
// at a From node the first pipe after it. A line that finds no pipe there
// is refused rather than passed over.
TEST_F(PipePakSecondPass, LinesFindThePipeTheyChangeOrAreRefused)
{
    const std::string run = "PIPE S1 6 40 6.625 0.28\nPIPE S2 4 40 4.5 0.237\n"
                            "FROM A 0 0 0 S1\nTO B 10 0 0\nTO C 10 0 0 * S2\nTO D 0 10 0 LONG\nTO E 0 0 10\n";
    ASSERT_NO_FATAL_FAILURE(pnf_ok(run + "VALVE A\nREDUCER B\nCUT D 1\n"));
    EXPECT_EQ(model().rows[2].etype, ET_VALVE);
    EXPECT_EQ(model().rows[3].etype, ET_REDUCER);
    EXPECT_EQ(model().rows[5].etype, ET_CUT_PIPE);
    EXPECT_EQ(import_pnf(run + "FROM Z 50 0 0\nVALVE Z\n"),
              pnf_error(9, "VALVE Z", "No pipe follows the From row at the node :  Z"));
    EXPECT_EQ(import_pnf(run + "BELLOW C\n"), pnf_error(8, "BELLOW C", "The element that starts at the node is not a pipe :  C"));
    EXPECT_EQ(import_pnf(run + "REDUCER A\n"),
              pnf_error(8, "REDUCER A", "The row before the reducer names no pipe section :  A"));
    // Without its node or value a line says nothing to change: the note says so.
    ASSERT_NO_FATAL_FAILURE(pnf_ok(run + "VALVE\nCUT A\n"));
    EXPECT_EQ(notes_.items(PNF_IGNORED_LINES), (std::vector<std::string>{"line 8 (VALVE without a node)",
                                                                        "line 9 (CUT without a value)"}));
}

}  // namespace
}  // namespace neutral_test

namespace neutral_test {
namespace {

// A position at a bend's end names a node that only a bend laid out between
// two runs makes; where the bend ends the file, the line is refused.
TEST_F(PipePakImport, PositionAtABendThatIsNotLaidOutIsRefused)
{
    EXPECT_EQ(import_pnf("PIPE S1 6 40 6.625 0.28\nFROM A 0 0 0 S1\nTO B 10 0 0\nTO C 0 10 0 LONG\nRIGID C NEAR\n"),
              pnf_error(5, "RIGID C NEAR", "Node 30A is not a node of the model"));
}

}  // namespace
}  // namespace neutral_test
