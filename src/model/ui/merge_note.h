// What File > Merge says once it has merged a model file: each name of the
// merged file that it changed, and the nodes at which the merged rows meet the
// rows of the model.
#pragma once

#include "model/model_file.h"

#include <string>

// A sentence for each kind of entry renamed, in the order of the renames
// ("Material A106B of the merged file is now 1.", "Sections of the merged
// file: 6 is now 1, 4 is now 2."), then where the rows meet ("The merged rows
// meet the model at nodes 10, 20, 30." or "The merged rows meet the model
// nowhere."), one a line, within the lines a message dialog shows: when the
// kinds are more than the lines left for them, a line holds several. A kind
// of more than 10 renames names its first 10 and how many more there are
// ("... and 988 more."), the nodes past 100 likewise, so that no line grows
// past the screen.
std::string merge_note_text(const MergeOutcome& outcome);
