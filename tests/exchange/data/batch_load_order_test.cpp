// A load's design values against the number of thermal sets in use: the
// LOADS lines settle that number as they are read, and every load is checked
// again against the final number, so that the order of the lines does not
// change what the import takes.
#include "batch_fixture.h"
#include "exchange/batch_export.h"
#include "loads/pipe_load.h"

namespace batch_test {
namespace {

class LoadOrder : public BatchTest {
protected:
    static std::string fresh_import(const std::string& text)
    {
        reset_model();
        clear_model_sections();
        numtloads() = 1;
        return import(text);
    }
};

// T1 of 50 degF and P1 of 0, no design values: one set in use when it is read.
const std::string COLD = "L1,50,0";
// T1 and T2 of 300 and 400 degF: two sets in use.
const std::string HOT = "L2,300,150,1.0,400,150";

TEST_F(LoadOrder, ADesignValueNotGivenCoversTheSetsThatALaterLineAdds)
{
    ASSERT_EQ(fresh_import("LOADS\n" + COLD + "\n" + HOT + "\n"), "");
    EXPECT_EQ(numtloads(), 2);
    const PipeLoad cold_first = pipe_loads()[1];
    // T2 of L1 keeps the 70 degF of a set its line does not give, which its
    // design temperature covers now that the set is in use.
    EXPECT_EQ(cold_first.temperature[2], 70.0f);
    EXPECT_EQ(cold_first.design_temperature, 70.0f);

    // The lines in the other order give the same load.
    ASSERT_EQ(fresh_import("LOADS\n" + HOT + "\n" + COLD + "\n"), "");
    const PipeLoad cold_last = pipe_loads()[2];
    EXPECT_EQ(cold_last.design_temperature, cold_first.design_temperature);
    EXPECT_EQ(cold_last.temperature, cold_first.temperature);

    // Its export reads back as it was.
    const std::string text = batch_export_text();
    ASSERT_EQ(fresh_import(text), "");
    EXPECT_EQ(pipe_loads()[2].design_temperature, 70.0f);
    EXPECT_EQ(batch_export_text(), text);
}

TEST_F(LoadOrder, AGivenDesignValueBelowASetThatALaterLineAddsIsRefusedAtItsLine)
{
    // Design temperature 60 degF given; T4 to T10 keep 70 degF.
    const std::string given = "L1,50,0,1.0,50,0,50,0,0,60,0";
    // T4 of 400 degF: ten sets in use.
    const std::string ten = "L2,300,150,1.0,300,150,300,150,0,400,150,400,150";
    const std::string message = "Design Temperature should be at least the highest Operating temperature";
    EXPECT_EQ(fresh_import("LOADS\n" + given + "\n" + ten + "\n"), line_error(2, given, message));
    EXPECT_EQ(numloads(), 0);
    EXPECT_EQ(fresh_import("LOADS\n" + ten + "\n" + given + "\n"), line_error(3, given, message));
    // With OPTEMP ahead of the loads one set is in use whatever they give.
    EXPECT_EQ(fresh_import("OPTEMP\n70,7000,1\nLOADS\n" + given + "\n" + ten + "\n"), "");
    EXPECT_EQ(numtloads(), 1);
}

TEST_F(LoadOrder, ALaterOptempIsTheFinalNumberOfSets)
{
    // Read with one set in use (no temperature above 70 degF asks for
    // more), T3 of 65 degF above the design temperature of 60 is in a set
    // the analysis does not take; OPTEMP after the loads asks for three.
    const std::string given = "L1,50,0,1.0,50,0,65,0,0,60,0";
    const std::string message = "Design Temperature should be at least the highest Operating temperature";
    EXPECT_EQ(fresh_import("LOADS\n" + given + "\nOPTEMP\n70,7000,3\n"), line_error(2, given, message));
    EXPECT_EQ(fresh_import("LOADS\n" + given + "\nOPTEMP\n70,7000,2\n"), "");
    EXPECT_EQ(fresh_import("LOADS\n" + COLD + "\nOPTEMP\n70,7000,3\n"), "");
    EXPECT_EQ(pipe_loads()[1].design_temperature, 70.0f);
}

}  // namespace
}  // namespace batch_test
