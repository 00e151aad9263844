// The editor of the quality-assurance block.
#pragma once

#include "framework/qa_block.h"
#include "platform/backend.h"

// QA_BLOCK_DIALOG edits qa_block(); a change sets model_modified. True on OK.
// While input is locked the fields are read-only and nothing is stored.
bool qa_block_dialog(WindowId owner);
