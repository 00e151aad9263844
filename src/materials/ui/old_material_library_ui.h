// Opening a material library of an earlier program generation (".mdb",
// materials/old_material_library.h): it is read, written at once beside the
// old file as a ".mat" library of the current form, and then used as that.
#pragma once

#include "platform/backend.h"

#include <string>

// Asks before it replaces an existing ".mat" file of the new name and before
// it converts; either question cancelled ends it without a message. On
// success the material library holds the old library's materials, piping
// code and unit choices, its path names the new file, "Material Library
// converted to:\n<path>" has been shown and the result is true. A failure is
// shown over the owner, the library's path is forgotten and the result is
// false.
bool open_old_material_library(WindowId owner, const std::string& path);
