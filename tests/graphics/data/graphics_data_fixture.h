// The graphics layer without a window: the real element and support classes,
// a 6 in pipe section, a client of 800 by 600 pixels, the view built after
// each model change.
#pragma once

#include "elements/element_classes.h"
#include "graphics/graphics_view.h"
#include "graphics/model_view.h"
#include "graphics/view_settings.h"
#include "graphics/view_transform.h"
#include "materials/pipe_section.h"
#include "model/data/model_fixture.h"
#include "supports/supports.h"

#include <cmath>

class GraphicsDataTest : public ModelTest {
protected:
    void SetUp() override
    {
        ModelTest::SetUp();
        install_element_classes();
        install_supports();
        PipeSection s;
        s.name = "S6";
        s.outside_diameter = 6.625f;
        s.thickness = 0.28f;
        pipe_sections().push_back(s);
        set_client_size(800, 600);
        graphics_view_reset();
        // A paint clears the flag before it draws; the tests draw as a paint does,
        // whatever a test before them stopped.
        paint_abort() = false;
    }

    // A row of the 6 in pipe.
    static int piped(int row)
    {
        model().rows[row].section = "S6";
        return row;
    }
    // The model built, projected and measured.
    static void build()
    {
        make_model();
        update_screen_positions();
        compute_model_extent();
    }
    static const NodeRecord& node(int number) { return model().nodes[node_index(number)]; }
};
