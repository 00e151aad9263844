// The dialogs of the library files for the user guide (their control ids
// share names with the elements' dialogs, so they live in a unit of their
// own).
#include "materials/ui/dialogs_libraries.h"

#include <vector>

std::vector<const DialogTemplate*> library_file_dialogs()
{
    return {&MATLIB_CODE_DIALOG, &MATLIB_UNITS_DIALOG, &VALVE_LIBRARY_DIALOGNEW};
}
