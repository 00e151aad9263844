#include "qualification/ui/qualification_ui.h"

#include "qualification/equipment.h"
#include "qualification/ui/allowable_ui.h"
#include "qualification/ui/compressor_ui.h"
#include "qualification/ui/flange_ui.h"
#include "qualification/ui/lug_ui.h"
#include "qualification/ui/nozzle_ui.h"
#include "qualification/ui/qualification_mode.h"
#include "qualification/ui/pump_ui.h"
#include "qualification/ui/rot_equip_ui.h"

void install_qualification_ui()
{
    install_equipment();
    install_pumps_ui();
    install_compressors_ui();
    install_allowables_ui();
    install_rot_equip_results();
    install_qualification_resources();
    install_flange_qualification();
    install_lug_evaluation();
    install_nozzle_qualification();
}
