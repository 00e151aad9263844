#include "loads/ui/loads_subsystem.h"

#include "loads/loads_install.h"
#include "loads/ui/nodal_load_ui.h"
#include "loads/ui/pipe_load_ui.h"
#include "loads/ui/response_spectrum_ui.h"
#include "loads/ui/spectra_ui.h"
#include "loads/ui/spectrum_library_ui.h"
#include "loads/ui/wind_seismic_ui.h"

void install_loads_subsystem()
{
    install_loads();
    install_pipe_loads_ui();
    install_nodal_loads_ui();
    install_wind_seismic_ui();
    install_spectra_ui();
    install_response_spectrum_ui();
    install_spectrum_library_ui();
}
