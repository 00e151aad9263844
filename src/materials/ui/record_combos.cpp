#include "materials/ui/record_combos.h"

#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "model/ui/named_set_ui.h"

void dialog_fill_material_combo(int item, bool after_default)
{
    dialog_fill_name_combo(item, pipe_materials(), after_default);
}

void dialog_fill_section_combo(int item, bool after_default)
{
    dialog_fill_name_combo(item, pipe_sections(), after_default);
}
