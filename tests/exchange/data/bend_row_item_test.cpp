// Data items at a bend's corner. The node of a bend, miter or jacketed-bend
// row is where the bend's tangents meet, off the pipe: no element ends
// there, so an anchor there would hold nothing, a force or a weight would
// load nothing and a rest would leave the corner node loose in the
// analysis. Every path refuses such an item with the row, the bend and its
// tangent points, where a Location row can carry it: the batch import, the
// model check of a model file that holds one (the file still opens, its
// item kept), and the Location row at a corner node. The tangent point the
// message names does carry the item.
//
// The line, 6.625 x 0.28 in: an anchor at 10, 100 in along X to 20, 100 in
// on to a bend at 30 (R 9 in), 100 in up Z to 40 and to an anchor at 50.
// The title is row 1, so that F10 is row 2 and the bend row 4.
#include "analysis/model_check.h"
#include "exchange/data/batch_solve_fixture.h"
#include "framework/state.h"
#include "model/model_file.h"
#include "supports/anchor.h"

#include <filesystem>
#include <string>

#include <unistd.h>

namespace batch_test {
namespace {

const std::string HEAD = "Bend row items\nOPTIONS\nB313,IN\nMATERIAL\nA106B,0.283,0.3\nA106B,70,29.5E6,6.07E-6,20000\n"
                         "PIPE\nP6,6.625,0.28\nJ10,10.75,0.365\nLOADS\nL1,70,0\nLAYOUT\n"
                         "F10,MA106B,PP6,KA,CL=L1\nT20,X100\n";
// The line of the bend row in the text: HEAD's 15 lines, then T30.
constexpr int BEND_LINE = 15;

std::string line_with(const std::string& bend_row, const std::string& after = "")
{
    return HEAD + bend_row + "\nT40,Z100\nT50,Z100,KA\n" + after;
}

// The refusal of an item of `kind` at corner `node` of the bend of row 4.
std::string refusal(int row, const std::string& kind, const std::string& node = "30",
                    const std::string& bend = "bend", const std::string& near = "30A",
                    const std::string& far = "30B")
{
    const std::string owner = bend.rfind("jacket of", 0) == 0 ? "jacket" : bend;
    return "Row " + std::to_string(row) + ": its " + kind + " would act on nothing: node " + node +
           " is where the tangents of the " + bend + " of row 4 meet, off the pipe. Put the " + kind +
           " on a Location row at the " + owner + "'s near tangent point " + near + " or far tangent point " + far;
}

class BendRowItem : public BatchSolveTest {
protected:
    // The program as at start-up again: a second model in one test.
    void restart()
    {
        snapshot_.reset();
        results_.clear();
        reset_all();
        BatchSolveTest::SetUp();
    }
};

}  // namespace

TEST_F(BendRowItem, AnchorForceWeightAndRestOnABendRowAreRefusedNamingTheBend)
{
    struct Item {
        const char* items;   // after the bend's own
        const char* kind;
    };
    const Item items[] = {
        {"KA", "Anchor"},
        {"CFOR(0,-500,0)", "Force"},
        {"CCWGT=300", "Concentrated mass"},
        // A one-way rest (a limit stop from 0 down, free up) and a two-way one.
        {"CLS(0,NONE),DV(0,1,0)", "Limit stop"},
        {"CF(0,1,0)", "Restraint"},
    };
    for (const Item& item : items) {
        SCOPED_TRACE(item.kind);
        restart();
        const std::string row = std::string("T30,X100,KI,B9,") + item.items;
        EXPECT_EQ(import(line_with(row)), line_error(BEND_LINE, row, refusal(4, item.kind)));
        // Nothing of the refused file stays.
        EXPECT_EQ(numrows(), 0);
    }
    // A miter and a jacketed bend stand at their corners the same way.
    restart();
    const std::string miter = "T30,X100,KM,B9,KA";
    EXPECT_EQ(import(line_with(miter)), line_error(BEND_LINE, miter, refusal(4, "Anchor", "30", "miter")));
    restart();
    const std::string jacketed = "T30,X100,JI,B9,CJMAT=A106B,JSEC=J10,JLOAD=L1,JR=20,FOR(0,-500,0)";
    EXPECT_EQ(import(line_with(jacketed)),
              line_error(BEND_LINE, jacketed, refusal(4, "Force", "30", "jacketed bend")));
}

TEST_F(BendRowItem, LocationRowAtACornerIsRefusedAndAtATangentPointTaken)
{
    // A Location row at the bend's corner: its row, the bend's row.
    EXPECT_EQ(import(line_with("T30,X100,KI,B9", "L30,KA\n")),
              line_error(BEND_LINE + 3, "L30,KA", refusal(7, "Anchor")));
    // At the corner of a jacketed bend's jacket, 30J: the jacket's own
    // tangent points, 30C and 30D.
    restart();
    const std::string text = HEAD +
                             "T30,X100,JI,B9,CJMAT=A106B,JSEC=J10,JLOAD=L1,JR=20\n"
                             "T40,Z100,JP,CJMAT=A106B,JSEC=J10,JLOAD=L1\nT50,Z100,KA\nL30J,CFOR(0,-500,0)\n";
    EXPECT_EQ(import(text), line_error(BEND_LINE + 3, "L30J,CFOR(0,-500,0)",
                                       refusal(7, "Force", "30J", "jacket of the jacketed bend", "30C", "30D")));
    // At the tangent points the rows are taken.
    restart();
    import_ok(line_with("T30,X100,KI,B9", "L30A,KA\nL30B,CFOR(0,-500,0)\n"));
    EXPECT_EQ(model().rows[7].dtype, DT_ANCHOR);
    EXPECT_EQ(model().rows[8].dtype, DT_FORCE);
}

TEST_F(BendRowItem, ModelFileWithAnItemOnABendRowOpensKeepsItAndItsAnalysisIsRefused)
{
    // A file written elsewhere may hold an anchor on the bend row.
    import_ok(line_with("T30,X100,KI,B9"));
    LayoutRow::change_dtype(4, DT_ANCHOR);
    make_model();
    const std::filesystem::path file =
        std::filesystem::path(::testing::TempDir()) / ("bend_row_item_" + std::to_string(::getpid()) + ".mod");
    write_model_file(file.string());
    restart();
    ASSERT_NO_THROW(read_model(file.string()));
    std::filesystem::remove(file);
    ASSERT_EQ(numrows(), 6);
    EXPECT_EQ(model().rows[4].etype, ET_BEND);
    EXPECT_EQ(model().rows[4].dtype, DT_ANCHOR);
    EXPECT_NE(dynamic_cast<const Anchor*>(model().rows[4].data.get()), nullptr);
    // The analysis is refused with the same words, the item still there.
    make_model();
    try {
        make_analysis_model();
        ADD_FAILURE() << "analysed";
    } catch (const MessageText& m) {
        EXPECT_EQ(m.text, refusal(4, "Anchor"));
    }
    EXPECT_EQ(model().rows[4].dtype, DT_ANCHOR);
}

TEST_F(BendRowItem, ForceOnTheNearTangentPointActsOnThePipe)
{
    // The force the bend row cannot take, on a Location row at 30A as the
    // message says. A weightless line (density 1e-12 lb/in3) at the
    // reference temperature, free beyond the bend: the Sustained case holds
    // the force alone. The pipe from the anchor at 10 to 30A is a straight
    // cantilever of L = 200 - R tan(45) = 191 in; what lies beyond 30A
    // carries nothing of the force. Its tip moves by
    // P (L^3/3EI + alpha L/GA + 1/kt + L^2/kr) (Tube::tip_flexibility:
    // bending, the thick tube's shear and the anchor's springs of 1e12).
    std::string text = HEAD + "T30,X100,KI,B9\nT40,Z100\nL30A,CFOR(0,-500,0)\n";
    text.replace(text.find("A106B,0.283"), 11, "A106B,1E-12");
    ASSERT_NO_FATAL_FAILURE(run(text));
    const Tube p{6.625, 0.28, 29.5e6, 0.3};
    const double expected = -500.0 * p.tip_flexibility(191.0, RIGID, RIGID);
    const std::array<double, 6> u = at(result(LC_SUSTAINED), 30 + NEAR_TANGENT_OFFSET);
    expect_relative(u[1], expected, 1e-6, "DY at 30A");
    EXPECT_NEAR(u[0], 0.0, 1e-9);
    EXPECT_NEAR(u[2], 0.0, 1e-9);
}

}  // namespace batch_test
