// The main and list frames with the qualification windows, and a line of
// three nodes (10, 20, 30) that a pump may stand on.
#pragma once

#include "framework/document.h"
#include "gui/gui_dialogs.h"
#include "model/model.h"
#include "qualification/ui/qualification_ui.h"

class PumpLineTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        open_list_frames();
        install_qualification_ui();
        for (int i = 0; i < 3; ++i) {
            const int r = append_layout_row();
            LayoutRow& row = model().rows[r];
            row.node = 10 * (i + 1);
            row.etype = i == 0 ? ET_FROM : ET_PIPE;
            row.dx = i == 0 ? 0.0f : 100.0f;
            row.create_element_object();
            row.create_data_object(r);
        }
        make_model();
        model_modified() = false;
        backend().process_events();
    }
    void TearDown() override { close_list_frames(); }
};
