// Input of vessel nozzles: NOZZLE_DIALOG and the "Nozzles" table.
#pragma once

#include "supports/ui/support_table.h"

SupportKindUi nozzle_kind_ui();
