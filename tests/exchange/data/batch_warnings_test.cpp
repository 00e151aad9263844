// What the analysis warns of before a run, the model being analysed all the
// same: a node typed twice whose rows put it in two places (the first holds),
// a beam section without a torsional constant (once per section), a branch
// SIF under B31J where no tee is, dynamic loads whose load case the run
// leaves out.
#include "analysis/model_check.h"
#include "exchange/data/batch_solve_fixture.h"

using namespace batch_test;

namespace {

class ModelWarningsTest : public BatchSolveTest {
protected:
    std::vector<std::string> warnings_of(const std::string& text)
    {
        EXPECT_NO_FATAL_FAILURE(import_ok(text));
        make_model();
        try {
            return analysis_model_warnings(*make_analysis_model());
        } catch (const MessageText& m) {
            ADD_FAILURE() << m.text;
        }
        return {};
    }
};

const std::string HEAD = "Warnings\n" + ENGLISH_HEAD + "P6,6.625,0.28\nLOADS\nL1,400,0\nLAYOUT\n";

}  // namespace

TEST_F(ModelWarningsTest, NodeTypedTwiceWithOtherOffsetsIsNamedWithItsRows)
{
    // Row 3 places node 20 at X 100; row 5 comes back to node 20 from node
    // 30 (X 200) with X 50, which would put it at X 250, 150 in away.
    EXPECT_EQ(warnings_of(HEAD + "F10,MA106B,PP6,KA,CL=L1\nT20,X100\nT30,X100,KA\nT20,X50\n"),
              std::vector<std::string>{"Node 20 is given two places: row 3 places it, and row 5's offsets would put "
                                       "it 150 inch away; the place of row 3 holds"});
    // A row that only names the node (no offsets), and one whose offsets
    // agree, say nothing.
    reset_all();
    SetUp();
    EXPECT_TRUE(warnings_of(HEAD + "F10,MA106B,PP6,KA,CL=L1\nT20,X100\nT30,Y100\nT40,X-100\nT10\nF30\nT20,Y-100\n")
                    .empty());
}

TEST_F(ModelWarningsTest, BeamSectionWithoutTorsionalConstantIsNamedOnce)
{
    // Two beams of the section BS (A 10, I 100 and 50, no J): one line.
    const std::string beams = "Beams\n" + ENGLISH_HEAD + "P6,6.625,0.28\nLOADS\nL1,400,0\n" +
                              "BMATERIALS\nBM,27.9E6,0.3,0.283,6.0E-6\nBSECTIONS\nBS,10,100,50\nBLOADS\nBL,100\n"
                              "LAYOUT\n"
                              "F10,MA106B,PP6,KA,CL=L1\n"
                              "T20,X100,JM,CMAT=BM,SEC=BS,LOAD=BL\n"
                              "T30,X100,JM,KA,CMAT=BM,SEC=BS,LOAD=BL\n";
    EXPECT_EQ(warnings_of(beams),
              std::vector<std::string>{"Beam section BS has a torsional constant of 0: I major + I minor (150 in4) "
                                       "stands for it, which makes an open shape far too stiff in torsion"});
}

TEST_F(ModelWarningsTest, BranchSifUnderB31jAwayFromATeeIsNamed)
{
    // The SIF on a node of two legs: no tee, no joint.
    const std::string text = "No tee\nOPTIONS\nB313,IN\nOPCODE\n0,0,1\nMATERIAL\nA106B,0.283,0.3\n"
                             "A106B,70,27.9E6,6.0E-6,20000\nPIPE\nP6,6.625,0.28\nLOADS\nL1,400,0\nLAYOUT\n"
                             "F10,MA106B,PP6,KA,CL=L1\nT20,X100,KT\nT30,X100,KA\n";
    EXPECT_EQ(warnings_of(text),
              std::vector<std::string>{"Node 20: the branch SIF is not at a tee of two collinear straight run pipes "
                                       "and a straight branch; the B31J joint flexibility is not applied there"});
}

TEST_F(ModelWarningsTest, BatchDynamicLoadsWithoutTheirCaseAreNamedBeforeTheRun)
{
    // A harmonic force of 10 Hz at node 20: the batch file chooses no load
    // cases, so the run takes the static defaults and leaves it out.
    const std::string text = HEAD + "F10,MA106B,PP6,KA,CL=L1\nT20,X100,CFOR(0,-100,0),FRE=10\nT30,X100,KA\n";
    const std::string warning =
        "The model's harmonic loads are not analysed: choose their load case, Harmonic response, in the Load Cases "
        "dialog";
    EXPECT_EQ(warnings_of(text), std::vector<std::string>{warning});
    // Chosen, the case takes them: nothing to say.
    reset_all();
    SetUp();
    ASSERT_NO_FATAL_FAILURE(import_ok(text));
    for (int code : {int{LC_SUSTAINED}, int{LC_HARMONIC}})
        load_case_list().add(code);
    make_model();
    EXPECT_TRUE(analysis_model_warnings(*make_analysis_model()).empty());
}
