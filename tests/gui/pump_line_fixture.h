// A line of three nodes (10, 20, 30) that a pump or supports may stand on,
// and the main and list frames with the qualification windows.
#pragma once

#include "framework/document.h"
#include "gui/gui_dialogs.h"
#include "model/model.h"
#include "qualification/ui/qualification_ui.h"

#include <array>

// From node 10 a pipe of 100 along X to 20 and one to 30, each row with the
// data item of its kind (none by default); the model made and unmodified.
inline void line_of_three_nodes(const std::array<int, 3>& items = {DT_NONE, DT_NONE, DT_NONE})
{
    for (int i = 0; i < 3; ++i) {
        const int r = append_layout_row();
        LayoutRow& row = model().rows[r];
        row.node = 10 * (i + 1);
        row.etype = i == 0 ? ET_FROM : ET_PIPE;
        row.dtype = items[static_cast<std::size_t>(i)];
        row.dx = i == 0 ? 0.0f : 100.0f;
        row.create_element_object();
        row.create_data_object(r);
    }
    make_model();
    model_modified() = false;
    backend().process_events();
}

class PumpLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        open_list_frames();
        install_qualification_ui();
        line_of_three_nodes();
    }
    void TearDown() override { close_list_frames(); }
};
