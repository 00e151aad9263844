// Input of restraints: RESTRAINT_DIALOG and the "Restraints" table.
#pragma once

#include "supports/ui/support_table.h"

SupportKindUi restraint_kind_ui();
