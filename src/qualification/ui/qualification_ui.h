// The windows of the rotating equipment and allowable loads: the records'
// model-file sections, the Pumps, Compressors, Turbines and Allowables
// tables with their dialogs, commands and data lists, and the model edits'
// hooks; the flange qualification, lug evaluation and nozzle qualification
// windows.
#pragma once

void install_qualification_ui();
