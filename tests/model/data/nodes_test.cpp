// Node texts and numbers, node lookups and the pipe direction at a node.
#include "framework/errors.h"
#include "model/data/model_fixture.h"

TEST_F(NodeTest, TextBandsRoundTrip)
{
    EXPECT_EQ(node_text(0), "");
    EXPECT_EQ(node_text(25), "25");
    EXPECT_EQ(node_text(99999), "99999");
    const struct {
        int number;
        const char* text;
    } bands[] = {{100025, "25A"}, {200025, "25B"}, {300025, "25C"}, {400025, "25D"}, {500025, "25J"}};
    for (const auto& b : bands) {
        EXPECT_EQ(node_text(b.number), b.text);
        int parsed = 0;
        EXPECT_EQ(parse_node_text_code(b.text, parsed), 0);
        EXPECT_EQ(parsed, b.number);
    }
    // Numbers beyond the J band, or a band's own base, print as they are.
    EXPECT_EQ(node_text(600025), "600025");
    EXPECT_EQ(node_text(100000), "100000");
    EXPECT_EQ(jacket_node_number(25), 500025);
    EXPECT_EQ(jacket_node_number(100025), 300025);
    EXPECT_EQ(jacket_node_number(200025), 400025);
    EXPECT_EQ(jacket_node_number(500025), 500025);
}

TEST_F(NodeTest, TextParseCodes)
{
    const struct {
        const char* text;
        int code;
        int number;
    } cases[] = {
        {"", 5, 0},       {"   ", 5, 0},     {"ABC", 1, 0},    {"12X", 1, 0}, {"A", 1, 0},
        {"1.5", 1, 0},    {"0", 3, 0},       {"-4", 3, 0},     {"100000", 4, 0},
        {"99999999999999999999", 4, 0},      {"99999", 0, 99999}, {" 10a ", 0, 100010}, {"1 0", 1, 0},
        {"7j", 0, 500007}, {"+12", 0, 12},
    };
    for (const auto& c : cases) {
        int out = -1;
        EXPECT_EQ(parse_node_text_code(c.text, out), c.code) << '"' << c.text << '"';
        EXPECT_EQ(out, c.code == 0 ? c.number : -1) << '"' << c.text << '"';
    }
    item_text() = "20B";
    int out = 0;
    EXPECT_EQ(parse_node_text(out), 0);
    EXPECT_EQ(out, 200020);
}

TEST_F(NodeTest, ExistingAndNextNumber)
{
    from(10);
    row(20, ET_PIPE, 10, 0, 0);
    bend(30, 10, 0, 0, 2);
    row(40, ET_PIPE, 0, 10, 0);
    make_model();

    item_text() = "";
    EXPECT_EQ(parse_existing_node("Node"), 0);
    item_text() = "20";
    EXPECT_EQ(parse_existing_node("Node"), 20);
    item_text() = "30A";
    EXPECT_EQ(parse_existing_node("Node"), 100030);
    item_text() = "999";
    EXPECT_EQ(thrown_text([] { parse_existing_node("Node"); }), "Node =  999  Invalid node");
    item_text() = "30";   // the bend's corner is not a node of the analysis
    EXPECT_EQ(thrown_text([] { parse_existing_node("Node"); }), "Node =  30  Invalid node");
    item_text() = "0";
    EXPECT_EQ(thrown_text([] { parse_existing_node("To node"); }),
              "To node =  0  Node number should be > 0");

    // Round increments start at the next multiple; numbers in use are stepped over.
    EXPECT_EQ(next_node_number(23), 50);   // 30 and 40 are taken
    EXPECT_EQ(next_node_number(41), 50);
    model().node_increment = 7;
    EXPECT_EQ(next_node_number(23), 37);   // 30 is taken
    model().node_increment = 5;
    EXPECT_EQ(next_node_number(12), 15);
    model().node_increment = 10;
    EXPECT_EQ(next_node_number(99990), 0);
    EXPECT_EQ(next_node_number(99985), 99990);
}

TEST_F(NodeTest, DistanceAndPipeDirection)
{
    from(10);
    row(20, ET_PIPE, 30, 40, 0);
    bend(30, 0, 0, 100, 10);
    row(40, ET_PIPE, 100, 0, 0);
    int lone = row(50, ET_LOCATION, 0, 0, 5);
    make_model();

    EXPECT_DOUBLE_EQ(node_distance(node_index(10), node_index(20)), 50.0);
    EXPECT_DOUBLE_EQ(node_distance(0, node_index(20)), 0.0);

    double x, y, z;
    EXPECT_EQ(pipe_direction_at_node(node_index(10), x, y, z), 0);
    EXPECT_NEAR(x, 0.6, 1e-6);
    EXPECT_NEAR(y, 0.8, 1e-6);
    // At the far tangent point the arc's tangent is the outgoing direction.
    EXPECT_EQ(pipe_direction_at_node(node_index(200030), x, y, z, true), 0);
    EXPECT_NEAR(x, 1.0, 1e-5);
    EXPECT_NEAR(z, 0.0, 1e-5);
    EXPECT_EQ(pipe_direction_at_node(model().rows[lone].node_index, x, y, z), -1);
    EXPECT_EQ(x, 0.0);
}
