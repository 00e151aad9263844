// Where the caret stands after the materials table refuses a row for its
// property table: the message sends the user to the property grid under the
// table, so the grid takes what is typed next, and no cell of the table
// above is left open to take it (in a model and in the material library).
#include "framework/ui/table.h"
#include "materials/pipe_material.h"
#include "materials/program_fixture.h"
#include "materials/ui/material_library_ui.h"
#include "materials/ui/material_props_editor.h"
#include "materials/ui/pipe_material_ui.h"
#include "model/ui/list_window.h"

#include <functional>
#include <string>
#include <vector>

namespace {

class PropertiesCaret : public HeadlessProgramTest {
protected:
    Script& script() const { return hb->script(); }
    void key(int k) const { script().key(list_frame().client, k); }
    void type(const std::string& text) const { type_into_list(text); }

    // The two ways the materials table is met: in a model, and as the
    // material library's own window (which has no Name column).
    struct Mode {
        const char* name;
        std::function<void()> open;
        std::vector<std::string> row;   // the cells typed into the input row
    };
    static std::vector<Mode> modes()
    {
        return {{"model", open_materials_table, {"A1", "Carbon steel"}},
                {"library", new_material_library, {"Carbon steel"}}};
    }
};

}  // namespace

TEST_F(PropertiesCaret, AfterPropertiesAreRequiredTheGridTakesWhatIsTyped)
{
    for (const Mode& mode : modes()) {
        SCOPED_TRACE(mode.name);
        mode.open();
        ASSERT_EQ(list_window_table(), &materials_table());
        ASSERT_EQ(list_lower_table(), &material_properties_grid());
        EXPECT_FALSE(list_lower_pane_active());
        const int row = nummats() + 1;
        MaterialsTable& table = materials_table();
        // The input row's first cell, as a click puts the caret there.
        table_goto_row(table, row, table_first_column(table));
        type_list_cells(mode.row);
        // On to the joint factor (its 1.00 is filled in when the row is
        // stored); Enter stores the row and refuses it for its properties.
        const int joint_column = 6;
        while (table.current_column < joint_column)
            key(KEY_TAB);
        key(KEY_RETURN);
        ASSERT_EQ(nummats(), row);
        EXPECT_EQ(script().last_message().rfind("Properties are required\n", 0), 0u) << script().last_message();
        EXPECT_TRUE(list_lower_pane_active());
        EXPECT_FALSE(table.edit.active);
        EXPECT_EQ(table.current_row, row);

        // "70" is the first property row's temperature, not more digits of
        // the joint factor 1.00 above.
        type("70");
        PropertyGrid& grid = material_properties_grid();
        ASSERT_TRUE(grid.edit.active);
        EXPECT_EQ(grid.edit.column, 1);
        EXPECT_EQ(grid.edit.text, "70");
        EXPECT_FALSE(table.edit.active);
        EXPECT_FLOAT_EQ(pipe_materials()[row].joint_factor, 1.0f);
        EXPECT_EQ(pipe_materials()[row].description, "Carbon steel");
        key(KEY_ESCAPE);
    }
}

TEST_F(PropertiesCaret, AnFrpRowWithoutItsModuliSendsTheCaretToTheGridToo)
{
    open_materials_table();
    MaterialsTable& table = materials_table();
    PipeMaterial m;
    m.name = "F1";
    m.description = "Glass fibre pipe";
    m.set_type("FR");
    m.nu = 0.3f;
    m.joint_factor = 1.0f;
    m.circ_joint_factor = 1.0f;
    PropertyRow r{};
    r[PROP_TEMPERATURE] = 70.0f;
    r[PROP_MODULUS] = 3.2e6f;   // the axial modulus only: hoop and shear are missing
    m.table.push_back(r);
    pipe_materials().push_back(m);
    table.load();
    table_goto_row(table, 1, 1);
    key(KEY_RETURN);
    EXPECT_EQ(script().last_message().rfind("Hoop modulus is required at 70", 0), 0u) << script().last_message();
    EXPECT_TRUE(list_lower_pane_active());
    EXPECT_FALSE(table.edit.active);
    EXPECT_EQ(table.current_row, 1);
}
