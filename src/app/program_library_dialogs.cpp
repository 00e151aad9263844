#include "app/program_dialogs.h"
#include "materials/ui/dialogs_libraries.h"

std::vector<const DialogTemplate*> library_file_dialogs()
{
    return {&MATLIB_CODE_DIALOG, &MATLIB_UNITS_DIALOG, &VALVE_LIBRARY_DIALOGNEW};
}
