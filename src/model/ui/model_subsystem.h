// Start-up of the model core: its commands and settings.
#pragma once

// Registers the model core's commands and reads its settings; run by every
// start-up of the shell.
void install_model_subsystem();
