// Input of snubbers: SNUBBER_DIALOG and the "Snubbers" table.
#pragma once

#include "supports/ui/support_table.h"

SupportKindUi snubber_kind_ui();
