// Input of generic supports: GENERIC_SUPPORT_DIALOG and the "Generic
// supports" table.
#pragma once

#include "supports/ui/support_table.h"

SupportKindUi generic_support_kind_ui();
