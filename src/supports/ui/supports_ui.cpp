#include "supports/ui/supports_ui.h"

#include "supports/supports.h"
#include "supports/ui/anchor_ui.h"
#include "supports/ui/generic_support_ui.h"
#include "supports/ui/guide_ui.h"
#include "supports/ui/hanger_ui.h"
#include "supports/ui/limit_stop_ui.h"
#include "supports/ui/nozzle_ui.h"
#include "supports/ui/restraint_ui.h"
#include "supports/ui/skewed_restraint_ui.h"
#include "supports/ui/snubber_ui.h"
#include "supports/ui/support_table.h"

void install_supports_ui()
{
    install_supports();
    install_support_kind_ui(anchor_kind_ui());
    install_support_kind_ui(restraint_kind_ui());
    install_support_kind_ui(skewed_restraint_kind_ui());
    install_support_kind_ui(hanger_kind_ui());
    install_support_kind_ui(guide_kind_ui());
    install_support_kind_ui(limit_stop_kind_ui());
    install_support_kind_ui(nozzle_kind_ui());
    install_support_kind_ui(snubber_kind_ui());
    install_support_kind_ui(generic_support_kind_ui());
}
