// The materials layer's named sets as a whole.
#pragma once

// Installs the five sets of this layer (pipe materials, beam materials, pipe
// sections, soils, beam sections) with their model-file sections and the
// places that name them; what the program installs at start-up before the
// sets' windows.
void install_property_sets();
