// The title-bar texts of a row's dialog.
#include "model/data/model_fixture.h"
#include "platform/headless/headless_backend.h"

#include <gtest/gtest.h>

TEST_F(LayoutRowTest, StatusTextsNameTheRowsNodes)
{
    install_headless_backend();
    model().rows.push_back(LayoutRow{});   // row 1 without a node
    from(10);
    row(20, ET_PIPE, 10, 0, 0);
    row(0, ET_COMMENT);
    const int loc = row(20, ET_LOCATION, 0, 0, 0, DT_ANCHOR);
    const int p = row(30, ET_PIPE, 10, 0, 0);
    make_model();

    WindowId w = backend().create_frame("KorvaneTest", "", nullptr);
    LayoutRow::status_from_to(p, w, "Pipe");
    EXPECT_EQ(backend().title(w), "Pipe from 20 to 30");
    LayoutRow::status_at_node(loc, w, "Anchor");
    EXPECT_EQ(backend().title(w), "Anchor at node 20");
}
