#include "loads/ui/loads_subsystem.h"

#include "loads/loads_install.h"
#include "loads/ui/pipe_load_ui.h"

void install_loads_subsystem()
{
    install_loads();
    install_pipe_loads_ui();
}
