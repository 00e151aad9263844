#include "materials/property_sets.h"

#include "materials/beam_material.h"
#include "materials/beam_section.h"
#include "materials/pipe_material.h"
#include "materials/pipe_section.h"
#include "materials/soil.h"

void install_property_sets()
{
    install_pipe_materials();
    install_beam_materials();
    install_pipe_sections();
    install_soils();
    install_beam_sections();
}
