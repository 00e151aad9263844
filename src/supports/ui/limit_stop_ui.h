// Input of limit stops: LIMIT_STOP_DIALOG and the "Limit stops" table.
#pragma once

#include "supports/ui/support_table.h"

SupportKindUi limit_stop_kind_ui();
