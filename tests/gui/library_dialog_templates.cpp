// The library files' dialogs for the window tests that walk every template
// (their control ids share names with the elements' dialogs).
#include "materials/ui/dialogs_libraries.h"

#include <vector>

std::vector<const DialogTemplate*> library_file_dialog_templates()
{
    return {&MATLIB_CODE_DIALOG, &MATLIB_UNITS_DIALOG, &VALVE_LIBRARY_DIALOGNEW};
}
