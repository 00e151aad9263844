// The program on the scripted backend with the graphics window and every
// subsystem below it, a model typed into its rows, the window shown with a
// client of 800 by 600 pixels.
#pragma once

#include "analysis/ui/analysis_ui.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "framework/commands.h"
#include "framework/ui/frame.h"
#include "graphics/ui/graphics_window.h"
#include "graphics/view_settings.h"
#include "graphics/view_transform.h"
#include "loads/ui/loads_subsystem.h"
#include "materials/pipe_section.h"
#include "materials/program_fixture.h"
#include "model/model.h"
#include "supports/restraint.h"
#include "supports/ui/supports_ui.h"

class GraphicsProgramTest : public HeadlessProgramTest {
protected:
    void register_higher_subsystems() override
    {
        register_subsystem(install_elements_ui);
        register_subsystem(install_element_analysis);
        register_subsystem(install_supports_ui);
        register_subsystem(install_loads_subsystem);
        register_subsystem(install_analysis_commands);
        register_subsystem(install_graphics_ui);
        register_window_installer(create_graphics_window);
    }

    void SetUp() override
    {
        HeadlessProgramTest::SetUp();
        PipeSection s;
        s.name = "S6";
        s.outside_diameter = 6.625f;
        s.thickness = 0.28f;
        pipe_sections().push_back(s);
    }

    // Rows typed into the model (From at the origin, then pipes by their offsets).
    static int add_row(int node, int etype, float dx, float dy, float dz, int dtype = DT_NONE)
    {
        const int index = append_layout_row();
        LayoutRow& r = model().rows[index];
        r.node = node;
        r.etype = etype;
        r.dtype = dtype;
        r.dx = dx;
        r.dy = dy;
        r.dz = dz;
        r.section = "S6";
        r.create_element_object();
        r.create_data_object(index);
        return index;
    }

    // An L of two 100 in pipes along X and then Y, a restraint in X and Y
    // at the corner.
    static void l_model()
    {
        add_row(10, ET_FROM, 0, 0, 0);
        const int corner = add_row(20, ET_PIPE, 100, 0, 0, DT_RESTRAINT);
        dynamic_cast<Restraint&>(*model().rows[corner].data).v.restrained = {1, 1, 0};
        add_row(30, ET_PIPE, 0, 100, 0);
        model_changed();
    }

    // The window shown, the view from +Z over the whole model, the posted
    // repaint run.
    void show()
    {
        frame_send_command(graphics_frame(), CMD_GRAPHICS_SHOW);
        script().resize(graphics_client_window(), 800, 600);
        set_viewpoint(0, 0, 1);
        update_screen_positions();
        zoom_all();
        graphics_redraw();
        settle();
    }

    void settle() const { backend().process_events(); }

    // Client pixels of a model point.
    static Point pixel_of(double x, double y, double z)
    {
        float sx = 0.0f, sy = 0.0f;
        project_point(x, y, z, sx, sy);
        double px = 0.0, py = 0.0;
        view_to_client(sx, sy, px, py);
        return Point{static_cast<int>(px), static_cast<int>(py)};
    }

    Script& script() const { return hb->script(); }
    WindowId client() const { return graphics_client_window(); }
};
