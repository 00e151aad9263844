// The layout table and its Data and Type columns refuse an item at a bend's
// corner, where it would act on nothing, with the words of the model check:
// the bend row's own item, a Location row at the corner, and a row with an
// item made a bend. The fixture's line has its bend at node 30, row 3.
#include "elements/element_ui_fixture.h"
#include "framework/errors.h"
#include "framework/strings.h"
#include "model/ui/layout_window.h"

#include <string>

namespace {

class BendRowItem : public ElementUiTest {
protected:
    // The table's refusal of an edit: its message and column.
    template <typename Edit>
    static CI refusal_of(Edit&& edit)
    {
        try {
            edit();
        } catch (const CI& e) {
            return e;
        }
        ADD_FAILURE() << "taken";
        return {};
    }
};

}  // namespace

TEST_F(BendRowItem, LayoutTableRefusesAnItemAtTheCornerAndTakesItAtATangentPoint)
{
    const std::string at_corner = "its Anchor would act on nothing: node 30 is where the tangents of the bend of "
                                  "row 3 meet, off the pipe. Put the Anchor on a Location row at the bend's near "
                                  "tangent point 30A or far tangent point 30B";
    // The bend row's Data cell.
    CI e = refusal_of([] { layout_table().store_cell(3, LAYOUT_DATA, "Anchor"); });
    EXPECT_EQ(e.message, "Row 3: " + at_corner);
    EXPECT_EQ(e.column, LAYOUT_DATA);
    EXPECT_EQ(model().rows[3].dtype, DT_NONE);
    EXPECT_FALSE(model_modified());

    // A Location row at the corner node.
    const int location = row(30, ET_LOCATION);
    make_model();
    e = refusal_of([location] { set_row_data_type(location, DT_ANCHOR); });
    EXPECT_EQ(e.message, "Row 6: " + at_corner);
    EXPECT_EQ(model().rows[location].dtype, DT_NONE);

    // At the near tangent point the same row takes it.
    model().rows[location].node = 30 + NEAR_TANGENT_OFFSET;
    make_model();
    EXPECT_TRUE(set_row_data_type(location, DT_ANCHOR));
    EXPECT_EQ(model().rows[location].dtype, DT_ANCHOR);
}

TEST_F(BendRowItem, RowWithAnItemDoesNotBecomeABend)
{
    ASSERT_TRUE(set_row_data_type(2, DT_FORCE));
    model_modified() = false;
    for (const int etype : {ET_BEND, ET_MITER, ET_JACKETED_BEND}) {
        SCOPED_TRACE(etype);
        const CI e = refusal_of([etype] { set_row_element_type(2, etype); });
        EXPECT_EQ(e.message, std::string("Row 2: its Force would act on nothing: node 20 is where the tangents of "
                                         "the ") +
                                 lower_case(element_type_name(etype)) +
                                 " of row 2 meet, off the pipe. Put the Force on a Location row at the " +
                                 lower_case(element_type_name(etype)) +
                                 "'s near tangent point 20A or far tangent point 20B");
        EXPECT_EQ(e.column, LAYOUT_TYPE);
        EXPECT_EQ(model().rows[2].etype, ET_PIPE);
        EXPECT_EQ(model().rows[2].dtype, DT_FORCE);
    }
    EXPECT_FALSE(model_modified());
    // The Type cell says the same.
    EXPECT_THROW(layout_table().store_cell(2, LAYOUT_TYPE, "Bend"), CI);
    EXPECT_EQ(model().rows[2].etype, ET_PIPE);
}
