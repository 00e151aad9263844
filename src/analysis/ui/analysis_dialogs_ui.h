// The dialog templates of the analysis commands.
#pragma once

#include "platform/resources.h"

extern const DialogTemplate ANALYSIS_DIALOG;
extern const DialogTemplate LOAD_CASES_DIALOG;
