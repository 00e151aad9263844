#include "materials/ui/materials_subsystem.h"

#include "materials/property_sets.h"
#include "materials/ui/beam_library_ui.h"
#include "materials/ui/beam_material_ui.h"
#include "materials/ui/library_mode.h"
#include "materials/ui/material_library_ui.h"
#include "materials/ui/beam_section_ui.h"
#include "materials/ui/pipe_material_ui.h"
#include "materials/ui/pipe_section_ui.h"
#include "materials/ui/soil_ui.h"
#include "materials/ui/valve_library_ui.h"

void install_materials_subsystem() {
    install_property_sets();
    install_pipe_materials_ui();
    install_beam_materials_ui();
    install_pipe_sections_ui();
    install_soils_ui();
    install_beam_sections_ui();
    install_library_resources();
    install_material_library_ui();
    install_beam_library_ui();
    install_valve_library_ui();
}
