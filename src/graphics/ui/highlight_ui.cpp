#include "graphics/ui/highlight_ui.h"

#include "framework/ui/frame.h"
#include "framework/ui/table.h"
#include "graphics/color_scale.h"
#include "graphics/graphics_view.h"
#include "graphics/highlight.h"
#include "graphics/ui/graphics_client.h"
#include "graphics/view_settings.h"
#include "materials/ui/beam_material_ui.h"
#include "materials/ui/pipe_material_ui.h"
#include "materials/ui/pipe_section_ui.h"
#include "model/model.h"
#include "model/ui/list_window.h"
#include "model/view_drawing.h"
#include "platform/backend.h"

namespace {

bool graphics_up()
{
    return graphics_frame().window != 0;
}

void highlight_beam_material(const std::string& name)
{
    highlight_beam_material_rows(name);
}

bool beam_highlight_enabled()
{
    return graphics_up();
}

// The local axes shown or not (the list window's command and the Show
// dialog's entry are one setting): the highlight of the table is redone.
void refresh_local_axes_highlight()
{
    show_flags().local_axes = local_axes_display();
    if (TableWindow* t = last_opened_table())
        t->on_row_changed(t->current_row);
}

// In render mode the rows are coloured by the property instead, with the legend.
void colour_by(PropertyKind kind)
{
    PropertyColouring& p = property_colouring();
    p.on = true;
    p.kind = kind;
    graphics_settings().properties_legend_shown = true;
    graphics_redraw();
}

void highlight_materials(const std::string& name)
{
    if (graphics_settings().render_mode)
        colour_by(PropertyKind::Material);
    else
        highlight_material_rows(name);
}

void highlight_sections(const std::string& name)
{
    if (graphics_settings().render_mode)
        colour_by(PropertyKind::Section);
    else
        highlight_section_rows(name);
}

void erase_named()
{
    PropertyColouring& p = property_colouring();
    if (p.on) {
        p.on = false;
        graphics_settings().properties_legend_shown = false;
        graphics_redraw();
    }
    highlight_erase();
}

}  // namespace

void highlight_input_row(int row)
{
    if (!model().rows.valid(row))
        return;
    const LayoutRow& r = model().rows[row];
    if (etype_is_bend(r.etype))
        highlight_bend(row);
    else if (etype_is_element(r.etype))
        highlight_element(row);
    else if (r.data)
        highlight_data_item(row);
    else
        highlight_erase();
}

void install_highlight_ui()
{
    HighlightHooks& h = highlight_hooks();
    h.repaint = graphics_redraw_overlays;

    PickHooks& p = pick_hooks();
    p.highlight_element = highlight_element;
    p.highlight_bend = highlight_bend;
    p.highlight_data_item = highlight_data_item;

    graphics_hooks().row_changed = highlight_input_row;
    graphics_hooks().highlight_suspend = highlight_suspend;
    graphics_hooks().highlight_resume = highlight_resume;
    graphics_hooks().highlight_hide = highlight_hide;
    graphics_hooks().highlight_unhide = highlight_unhide;
    model_hooks().erase_highlight = highlight_erase;

    PipeMaterialHighlight& materials = pipe_material_highlight();
    materials.enabled = graphics_up;
    materials.draw = highlight_materials;
    materials.erase = erase_named;
    PipeSectionHighlight& sections = pipe_section_highlight();
    sections.enabled = graphics_up;
    sections.draw = highlight_sections;
    sections.erase = erase_named;
    BeamMaterialHighlight& beams = beam_material_highlight();
    beams.enabled = beam_highlight_enabled;
    beams.highlight_rows = highlight_beam_material;

    list_window_hooks().refresh_highlight = refresh_local_axes_highlight;
}

void start_highlight_blink()
{
    const WindowId frame = graphics_frame().window;
    if (!frame)
        return;
    const int period = highlight_blink_period(backend().cursor_flash_time());
    if (period > 0)
        backend().set_timer(frame, BLINK_TIMER, period);
}
