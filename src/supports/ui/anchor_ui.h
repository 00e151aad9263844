// Input of anchors: ANCHOR_DIALOG and the "Anchors" table.
#pragma once

#include "supports/ui/support_table.h"

SupportKindUi anchor_kind_ui();
