// File > Merge says what it did: each name of the merged file that met a
// name of the model and was changed, and the nodes at which the merged rows
// meet the rows of the model, in one message within the message dialog's
// lines.
#include "exchange_fixture.h"
#include "framework/ui/messages.h"
#include "model/ui/merge_note.h"

#include <string>
#include <vector>

namespace {

// The sample's property sets under other values and a branch of its own,
// starting from the sample's node 20 and closing on its node 40, with a From
// row at node 30; `names` and `nodes` take the places of the names and of
// these three node numbers.
std::string branch_batch(const std::vector<std::string>& names, const std::vector<int>& nodes)
{
    const std::string& material = names[0];
    const std::string& section = names[1];
    const std::string& load = names[2];
    const auto node = [&](int i) { return std::to_string(nodes[static_cast<std::size_t>(i)]); };
    return "Branch\n"
           "VERSION\n10.20\n"
           "OPTIONS\nHGRA,B313\n"
           "MATERIAL\n" +
           material + ",0.29,0.3,1.0,1.0,CS,Another carbon steel\n" + material + ",70,29.0E6,6.0E-6,18000\n" +
           material + ",500,27.0E6,7.0E-6,17000\n"
           "PIPE\n" +
           section + ",6.625,0.432,0.0625,12.5,0,0\n"
           "LOADS\n" +
           load + ",200,100,1.0,250,100\n"
           "LAYOUT\n"
           "F" + node(0) + ",M" + material + ",P" + section + ",CL=" + load + "\n"
           "T200,Z5-0\n"
           "T" + node(1) + ",X2-0\n"
           "F" + node(2) + "\n"
           "T210,Z-3-0\n";
}

class MergeSaysWhat : public ExchangeProgramTest {
protected:
    // The message of File > Merge of the batch text's model into the sample.
    std::string merged_into_sample(const std::string& other)
    {
        script().answer_file(write("other.mbf", other));
        EXPECT_TRUE(run_command(CMD_IMPORT));
        script().answer_file(write("sample.mbf", bytes(std::string(KV_SOURCE_DIR) + "/examples/sample.mbf")));
        EXPECT_TRUE(run_command(CMD_IMPORT));
        EXPECT_EQ(model_file_path(), path("sample.mod"));
        sample_rows = numrows();
        script().clear_log();
        script().answer_file(path("other.mod"));
        EXPECT_TRUE(run_command(CMD_MERGE));
        return script().last_message();
    }
    int sample_rows = 0;
};

}  // namespace

// The branch's material, section and load bear the sample's names A106B, 6
// and OPER with other values: each becomes "1", the first number that
// neither a pipe nor a beam set of its kind uses in the sample, and so do
// the names in the merged rows. Its rows use three of the sample's nodes.
TEST_F(MergeSaysWhat, ClashingNamesAndSharedNodesAreEachNamed)
{
    const std::string note = merged_into_sample(branch_batch({"A106B", "6", "OPER"}, {20, 40, 30}));
    EXPECT_EQ(note, "Material A106B of the merged file is now 1.\n"
                    "Section 6 of the merged file is now 1.\n"
                    "Load OPER of the merged file is now 1.\n"
                    "The merged rows meet the model at nodes 20, 30, 40.");
    // What it says is what it did: the merged rows name the new names, the
    // sample's rows the old ones.
    const Model& m = model();
    int from = sample_rows + 1;
    while (from < m.numrows() && m.rows[from].etype != ET_FROM)
        ++from;
    ASSERT_EQ(m.rows[from].node, 20);
    const LayoutRow& merged = m.rows[from + 1];   // a From row names none
    EXPECT_EQ(merged.material, "1");
    EXPECT_EQ(merged.section, "1");
    EXPECT_EQ(merged.load, "1");
    const LayoutRow& own = m.rows[row_of_node(12)];
    EXPECT_EQ(own.material, "A106B");
    EXPECT_EQ(own.section, "6");
    EXPECT_EQ(own.load, "OPER");
    EXPECT_TRUE(model_modified());
}

// Names of its own and nodes of its own: the merged rows stand apart.
TEST_F(MergeSaysWhat, NeitherClashNorSharedNodesSaysTheRowsMeetNowhere)
{
    EXPECT_EQ(merged_into_sample(branch_batch({"CS2", "8", "HOT"}, {100, 110, 120})),
              "The merged rows meet the model nowhere.");
}

// A merge of 10 renames of every kind (as many as a kind lists) and of many
// shared nodes names each of them within the lines a message dialog shows,
// none cut off.
TEST_F(MergeSaysWhat, ManyRenamesOfEveryKindAllFitTheMessage)
{
    MergeOutcome outcome;
    const std::vector<std::string> kinds = {"material", "beam material", "section", "beam section", "soil",
                                            "load", "beam load", "spectrum", "force spectrum", "time function"};
    for (const std::string& kind : kinds)
        for (int i = 1; i <= 10; ++i)
            outcome.renames.push_back({kind, kind.substr(0, 2) + std::to_string(i), std::to_string(100 + i)});
    for (int node = 10; node <= 900; node += 10)
        outcome.meeting_nodes.push_back(node);
    const std::string note = merge_note_text(outcome);
    EXPECT_LE(message_line_count(note), MAX_LINES);
    EXPECT_EQ(message_clamp_lines(note), note);
    for (const MergeRename& r : outcome.renames)
        EXPECT_NE(note.find(" " + r.from + " is now " + r.to), std::string::npos) << r.kind << " " << r.from;
    EXPECT_NE(note.find("Spectra of the merged file: sp1 is now 101, "), std::string::npos);
    EXPECT_NE(note.find("Time functions of the merged file: "), std::string::npos);
    EXPECT_NE(note.find("meet the model at nodes 10, 20, 30, "), std::string::npos);
    EXPECT_NE(note.find(", 890, 900."), std::string::npos);
    // The nodes have the last line to themselves.
    EXPECT_EQ(note.substr(note.rfind('\n') + 1, 35), "The merged rows meet the model at n");
}
