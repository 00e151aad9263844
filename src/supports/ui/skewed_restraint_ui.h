// Input of skewed restraints: SKEWED_RESTRAINT_DIALOG and the "Skewed
// restraints" table.
#pragma once

#include "supports/ui/support_table.h"

SupportKindUi skewed_restraint_kind_ui();
