// Layout rows: their objects and type changes, limits, neighbours, cells,
// titles and comments, the neutral objects and the 1-based array helper.
#include "framework/binfile.h"
#include "model/data/model_fixture.h"
#include "model/data_item.h"
#include "model/element_data.h"
#include "scratch_files.h"

#include <fstream>
#include <iterator>
#include <vector>

namespace {

std::vector<uint8_t> file_bytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace

TEST_F(LayoutRowTest, ObjectsByType)
{
    int r = row(10, ET_FROM);
    LayoutRow& from_row = model().rows[r];
    EXPECT_EQ(typeid(*from_row.element), typeid(ElementData));
    EXPECT_EQ(from_row.element->cell_text(3), "");
    EXPECT_FALSE(from_row.element->pick_and_edit(r, 0, 0));
    EXPECT_FALSE(from_row.element->is_nonlinear());
    EXPECT_EQ(from_row.data, nullptr);

    int v = row(20, ET_VALVE, 1, 0, 0, DT_HANGER);
    auto* valve = dynamic_cast<NeutralElement*>(model().rows[v].element.get());
    ASSERT_NE(valve, nullptr);
    EXPECT_EQ(valve->etype(), ET_VALVE);
    auto* hanger = dynamic_cast<NeutralDataItem*>(model().rows[v].data.get());
    ASSERT_NE(hanger, nullptr);
    EXPECT_EQ(hanger->dtype(), DT_HANGER);
    EXPECT_TRUE(hanger->box_2d.empty());
    EXPECT_EQ(data_item_kind_name(DT_HANGER, 0), "Hanger");
    model_hooks().data_subtype_name = [](int dtype, int subtype) {
        return dtype == DT_HANGER && subtype == 2 ? std::string("Constant support") : std::string();
    };
    EXPECT_EQ(data_item_kind_name(DT_HANGER, 2), "Constant support");
    EXPECT_EQ(data_item_kind_name(DT_GUIDE, 2), "Guide");

    LayoutRow& vr = model().rows[v];
    vr.etype = 21;
    EXPECT_THROW(vr.create_element_object(), AssertionExit);
}

TEST_F(LayoutRowTest, InvalidDtypeChangesNothing)
{
    int r = row(10, ET_FROM, 0, 0, 0, DT_ANCHOR);
    LayoutRow& lr = model().rows[r];
    DataItem* before = lr.data.get();
    lr.dtype = 22;
    EXPECT_EQ(thrown_text([&] { lr.create_data_object(r); }), "*** Invalid dtype = 22, at row 1 ***");
    EXPECT_EQ(lr.data.get(), before);
    lr.dtype = DT_ANCHOR;
    EXPECT_EQ(thrown_text([&] { LayoutRow::change_dtype(r, -1); }), "*** Invalid dtype = -1, at row 1 ***");
    EXPECT_EQ(lr.dtype, DT_ANCHOR);
    EXPECT_EQ(lr.data.get(), before);

    EXPECT_NE(LayoutRow::change_dtype(r, DT_FLANGE), nullptr);
    EXPECT_EQ(lr.dtype, DT_FLANGE);
    EXPECT_EQ(LayoutRow::change_dtype(r, DT_NONE), nullptr);
    EXPECT_EQ(lr.data, nullptr);
}

TEST_F(LayoutRowTest, Limit)
{
    for (int i = 0; i < MAXROWS; ++i)
        append_layout_row();
    EXPECT_EQ(numrows(), MAXROWS);
    EXPECT_EQ(thrown_text([] { append_layout_row(); }), std::string(TOO_MANY_ROWS));
    EXPECT_EQ(thrown_text([] { insert_layout_row(1); }), std::string(TOO_MANY_ROWS));
    EXPECT_EQ(numrows(), MAXROWS);
    delete_layout_row(5);
    EXPECT_EQ(insert_layout_row(5), 5);
    EXPECT_EQ(numrows(), MAXROWS);
}

TEST_F(LayoutRowTest, LimitLeavesRoomForTheTitleRow)
{
    // Row 1 a Comment row (the title): MAXROWS rows after it. Row 1 of any
    // other kind takes one of the MAXROWS.
    const int title = append_layout_row();
    model().rows[title].etype = ET_COMMENT;
    for (int i = 0; i < MAXROWS; ++i)
        append_layout_row();
    EXPECT_EQ(numrows(), MAXROWS + 1);
    EXPECT_EQ(row_capacity(), MAXROWS + 1);
    EXPECT_EQ(thrown_text([] { append_layout_row(); }), std::string(TOO_MANY_ROWS));
    EXPECT_EQ(thrown_text([] { insert_layout_row(2); }), std::string(TOO_MANY_ROWS));
    EXPECT_EQ(numrows(), MAXROWS + 1);
    // Without its title row the layout is full at MAXROWS.
    delete_layout_row(1);
    EXPECT_EQ(row_capacity(), MAXROWS);
    EXPECT_EQ(thrown_text([] { insert_layout_row(1); }), std::string(TOO_MANY_ROWS));
    EXPECT_EQ(numrows(), MAXROWS);
}

TEST_F(LayoutRowTest, ChangeEtype)
{
    int erased = 0;
    model_hooks().erase_element = [&](int) { ++erased; };
    from(10);
    int b1 = bend(20, 10, 0, 0, 25);
    bend_of(b1).radius_kind = RADIUS_SHORT;
    bend_of(b1).material = "SS";
    bend_of(b1).node1 = 21;
    int p = row(30, ET_PIPE, 0, 10, 0, DT_ANCHOR);

    // A new bend takes the previous bend's radius kind, radius and material,
    // not its intermediate nodes.
    ElementData* made = LayoutRow::change_etype(p, ET_BEND);
    ASSERT_NE(made, nullptr);
    EXPECT_EQ(made->bend_geometry()->radius_kind, RADIUS_SHORT);
    EXPECT_FLOAT_EQ(made->bend_geometry()->radius, 25.0f);
    EXPECT_EQ(made->bend_geometry()->material, "SS");
    EXPECT_EQ(made->bend_geometry()->node1, 0);
    EXPECT_EQ(model().rows[p].dtype, DT_ANCHOR);
    EXPECT_TRUE(model_rebuild_needed());
    EXPECT_EQ(erased, 1);

    // Leaving Bend removes the row's data item.
    LayoutRow::change_etype(p, ET_PIPE);
    EXPECT_EQ(model().rows[p].dtype, DT_NONE);
    EXPECT_EQ(model().rows[p].data, nullptr);
    EXPECT_NE(dynamic_cast<NeutralElement*>(model().rows[p].element.get()), nullptr);
    EXPECT_EQ(LayoutRow::change_etype(p, ET_NONE), nullptr);
    EXPECT_EQ(model().rows[p].etype, ET_NONE);
}

TEST_F(LayoutRowTest, NeighboursAndCells)
{
    model().rows.push_back(LayoutRow{});   // row 1 without a node
    from(10);
    row(20, ET_PIPE, 10, 0, 0);
    row(0, ET_COMMENT);
    int loc = row(20, ET_LOCATION, 0, 0, 0, DT_ANCHOR);
    int p = row(30, ET_PIPE, 10, 0, 0);
    int rigid = row(40, ET_RIGID, 10, 0, 0);
    make_model();

    EXPECT_EQ(LayoutRow::previous_element_row(p), 3);
    EXPECT_EQ(LayoutRow::previous_element_row(2), 0);
    EXPECT_EQ(LayoutRow::next_element_row(3), p);
    EXPECT_EQ(LayoutRow::next_element_row(rigid), 0);
    EXPECT_TRUE(LayoutRow::next_to_end_element(p));   // a rigid element follows
    EXPECT_FALSE(LayoutRow::next_to_end_element(3));
    EXPECT_TRUE(LayoutRow::next_to_end_element(rigid));

    EXPECT_EQ(LayoutRow::element_cell_text(p, 1), "20");
    EXPECT_EQ(LayoutRow::element_cell_text(p, 2), "30");
    EXPECT_EQ(LayoutRow::element_cell_text(p, 3), "");
    EXPECT_EQ(LayoutRow::data_cell_text(loc, 1), "20");

    // The default extent of a data item: its node's projected point grown by
    // the symbol size, in both boxes.
    model_hooks().symbol_size = [] { return 2.0; };
    model().nodes[node_index(20)].sx = 5;
    model().nodes[node_index(20)].sy = 7;
    DataItem& anchor = *model().rows[loc].data;
    anchor.update_extents(loc);
    EXPECT_FLOAT_EQ(anchor.box_2d.xmin, 3);
    EXPECT_FLOAT_EQ(anchor.box_2d.ymax, 9);
    EXPECT_FLOAT_EQ(anchor.box_render.xmax, 7);
}

TEST_F(LayoutRowTest, CommentAndTitle)
{
    int c = row(0, ET_COMMENT);
    int other = row(0, ET_COMMENT);
    LayoutRow::set_comment_text(c, "Title:  Cooling water return line");
    EXPECT_EQ(model().rows[c].comment_text(), "Title:  Cooling water return line");
    EXPECT_EQ(model().rows[c].element->description(), "Title:  Cooling water return line");
    EXPECT_EQ(model().title, "Cooling water return line");
    EXPECT_TRUE(model_modified());

    // An unchanged text changes nothing; other rows do not touch the title.
    model_modified() = false;
    LayoutRow::set_comment_text(c, "Title:  Cooling water return line");
    EXPECT_FALSE(model_modified());
    LayoutRow::set_comment_text(other, "Title:  Something else");
    EXPECT_EQ(model().title, "Cooling water return line");

    std::string long_text = "Title:  " + std::string(60, 'x') + std::string(40, 'y');
    LayoutRow::set_comment_text(c, long_text);
    EXPECT_EQ(model().title, std::string(50, 'x'));
    EXPECT_EQ(model().rows[c].comment_text().size(), COMMENT_LENGTH);
    LayoutRow::set_comment_text(c, "short");
    EXPECT_EQ(model().title, "");

    int pipe = row(10, ET_PIPE);
    LayoutRow::set_comment_text(pipe, "ignored");
    EXPECT_EQ(model().rows[pipe].comment_text(), "");
}

// Records of kinds without their own class survive a write unchanged; names
// are written in 6-byte fields and read from 4-byte ones of old files.
TEST_F(LayoutRowTest, NeutralRecordsAndNames)
{
    const ScratchFolder scratch("korvane_layout_row");
    const std::string path = scratch.path("rows.bin");
    NeutralElement valve(ET_VALVE);
    valve.raw = {1, 2, 3, 250};
    NeutralDataItem hanger(DT_HANGER);
    hanger.raw = {9, 8};
    CommentElement comment;
    comment.set_text("Hot leg");
    {
        BinFile f;
        ASSERT_TRUE(f.open_write(path));
        valve.write(f);
        hanger.write(f);
        write_row_name(f, "ABCDEFG");
        comment.write(f);
        ASSERT_TRUE(f.close());
    }
    std::vector<uint8_t> bytes = file_bytes(path);
    ASSERT_EQ(bytes.size(), 4u + 2u + NAME_FIELD_WIDTH + COMMENT_LENGTH);
    EXPECT_EQ(std::vector<uint8_t>(bytes.begin(), bytes.begin() + 6), (std::vector<uint8_t>{1, 2, 3, 250, 9, 8}));
    EXPECT_EQ(std::string(bytes.begin() + 6, bytes.begin() + 12), std::string("ABCDE\0", 6));

    BinFile f;
    ASSERT_TRUE(f.open_read(path));
    ASSERT_TRUE(f.seek(6));
    EXPECT_EQ(read_row_name(f, 4), "ABCD");
    ASSERT_TRUE(f.seek(12));
    CommentElement back;
    back.read(f);
    EXPECT_EQ(back.text(), "Hot leg");
    EXPECT_TRUE(f.close());

    NeutralElement copy(ET_VALVE), other_kind(ET_BELLOWS);
    copy.copy_from(valve);
    other_kind.copy_from(valve);
    EXPECT_EQ(copy.raw, valve.raw);
    EXPECT_TRUE(other_kind.raw.empty());
}

TEST_F(LayoutRowTest, OneBasedArray)
{
    OneBased<int> a;
    EXPECT_TRUE(a.empty());
    EXPECT_EQ(a.push_back(10), 1);
    a.push_back(30);
    a.insert(2, 20);
    EXPECT_EQ(a.size(), 3);
    EXPECT_EQ(a[1], 10);
    EXPECT_EQ(a[2], 20);
    EXPECT_EQ(a[3], 30);
    a.erase(1);
    EXPECT_EQ(a[1], 20);
    int sum = 0;
    for (int v : a)
        sum += v;
    EXPECT_EQ(sum, 50);
#ifndef NDEBUG
    EXPECT_THROW(a[0], AssertionExit);
    EXPECT_THROW(a[3], AssertionExit);
#endif
    a.clear();
    EXPECT_EQ(a.size(), 0);
}
