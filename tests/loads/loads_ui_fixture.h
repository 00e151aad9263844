// The loads' window tests: the scripted backend with the list window, the
// property sets and the whole loads layer installed, and helpers that type
// into the list window's table and into a dialog's table as keys arrive.
#pragma once

#include "framework/commands.h"
#include "framework/ui/command_registry.h"
#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "loads/data/loads_fixture.h"
#include "loads/ui/dialogs_loads.h"
#include "loads/ui/loads_subsystem.h"
#include "model/model_file_fixture.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"

namespace loads_test {

class LoadsUiTest : public ModelFileUiTest {
protected:
    void SetUp() override
    {
        ModelFileUiTest::SetUp();
        install_property_sets();
        install_loads_subsystem();
        open_list_frame(1600, 600);
        model_modified() = false;
    }
    void TearDown() override
    {
        close_list_frame();
        ModelFileUiTest::TearDown();
    }

    // Types a cell of the list window's table and commits it with Tab.
    static void cell(int row, int column, const std::string& text)
    {
        TableWindow& t = shown();
        table_goto_row(t, row, column, false);
        type_into(list_frame().client, text);
        script().key(list_frame().client, KEY_TAB);
    }
    // Types the points of a dialog's table of points into its input row,
    // abscissa, Tab, ordinate, Enter.
    static void type_points(HeadlessDialog& d, const std::vector<std::pair<std::string, std::string>>& points)
    {
        const WindowId client = d.control(LOAD_TABLE)->client;
        for (const auto& [x, y] : points) {
            type_into(client, x);
            script().key(client, KEY_TAB);
            type_into(client, y);
            script().key(client, KEY_RETURN);
        }
    }
    // A From row at node 10 and a pipe to node 20 with a data item.
    static int pipe_with(int dtype)
    {
        from(10);
        const int r = row(20, ET_PIPE, 120, 0, 0, dtype);
        model().rows[r].load = "L1";
        make_model();
        return r;
    }
};

}  // namespace loads_test
