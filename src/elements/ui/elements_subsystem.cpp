// The installation of the element kinds' classes and windows.
#include "elements/element_classes.h"
#include "elements/ui/attribute_ui.h"
#include "elements/ui/element_ui.h"
#include "framework/ui/frame.h"
#include "model/model.h"
#include "model/ui/layout_window.h"
#include "model/ui/list_window.h"
#include "model/view_drawing.h"

namespace {

void add_list(const char* name, int list_id, ElementRowsTable& (*table)())
{
    DataList list;
    list.name = name;
    list.count = [list_id] { return model().list(list_id).count; };
    list.open = [table] { open_element_rows_table(table()); };
    register_data_list(std::move(list));
}

}  // namespace

void install_elements_ui()
{
    install_element_classes();

    LayoutHooks& hooks = layout_hooks();
    hooks.element_dialog[ET_BEND] = edit_from_layout<edit_bend>;
    hooks.element_dialog[ET_MITER] = edit_from_layout<edit_miter>;
    hooks.element_dialog[ET_JACKETED_BEND] = edit_from_layout<edit_jacketed_bend>;
    hooks.element_dialog[ET_REDUCER] = edit_from_layout<edit_reducer>;
    hooks.element_dialog[ET_CUT_PIPE] = edit_from_layout<edit_cut_pipe>;
    hooks.element_dialog[ET_BEAM] = edit_from_layout<edit_beam>;
    hooks.element_dialog[ET_BALL_JOINT] = edit_from_layout<edit_ball_joint>;
    hooks.element_dialog[ET_HINGE_JOINT] = edit_from_layout<edit_hinge_joint>;
    hooks.element_dialog[ET_RIGID] = edit_from_layout<edit_rigid>;
    hooks.element_dialog[ET_VALVE] = edit_from_layout<edit_valve>;
    hooks.element_dialog[ET_BELLOWS] = edit_from_layout<edit_bellows>;
    hooks.element_dialog[ET_SLIP_JOINT] = edit_from_layout<edit_slip_joint>;
    hooks.element_dialog[ET_ELASTIC] = edit_from_layout<edit_elastic>;
    hooks.element_dialog[ET_TIE_ROD] = edit_from_layout<edit_tie_rod>;

    // A pick in a view makes the row current and opens its kind's dialog.
    PickHooks& pick = pick_hooks();
    pick.select_row = select_layout_row;
    pick.open_element_dialog = [](int row) {
        if (!model().rows.valid(row))
            return false;
        const int etype = model().rows[row].etype;
        if (etype < 0 || etype > MAX_ETYPE)
            return false;
        const auto& dialog = layout_hooks().element_dialog[static_cast<std::size_t>(etype)];
        return dialog && dialog(row);
    };

    add_list("Bends", BEND_ROWS, bends_table);
    add_list("Miter bends", MITER_ROWS, miters_table);
    add_list("Reducers", REDUCER_ROWS, reducers_table);
    add_list("Cut pipes", CUT_PIPE_ROWS, cut_pipes_table);
    add_list("Beams", BEAM_ROWS, beams_table);
    add_list("Ball joints", BALL_JOINT_ROWS, ball_joints_table);
    add_list("Hinge joints", HINGE_JOINT_ROWS, hinge_joints_table);
    add_list("Rigid elements", RIGID_ROWS, rigid_elements_table);
    add_list("Valves", VALVE_ROWS, valves_table);
    add_list("Bellows", BELLOWS_ROWS, bellows_table);
    add_list("Slip joints", SLIP_JOINT_ROWS, slip_joints_table);
    add_list("Elastic elements", ELASTIC_ROWS, elastic_elements_table);
    add_list("Tie rods", TIE_ROD_ROWS, tie_rods_table);
    add_list("Jacketed pipes", JACKET_ROWS, jacketed_pipes_table);

    install_attribute_ui();
}
