// Input of guides: GUIDE_DIALOG and the "Guides" table.
#pragma once

#include "supports/ui/support_table.h"

SupportKindUi guide_kind_ui();
