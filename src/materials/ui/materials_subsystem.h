// Start-up of the materials, sections and soils: their model-file sections,
// data lists and commands.
#pragma once

void install_materials_subsystem();
