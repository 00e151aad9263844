#include "loads/loads_install.h"

#include "loads/analysis_loads.h"
#include "loads/beam_load.h"
#include "loads/hydrotest_load.h"
#include "loads/nodal_loads.h"
#include "loads/pipe_load.h"
#include "loads/response_spectrum.h"
#include "loads/seismic.h"
#include "loads/spectrum.h"
#include "loads/time_function.h"
#include "loads/wind.h"

void install_loads()
{
    install_pipe_loads();
    install_beam_loads();
    install_wind();
    install_seismic();
    install_spectra();
    install_time_functions();
    install_response_spectrum();
    install_nodal_loads();
    install_hydrotest_load();
    install_analysis_loads();
}
