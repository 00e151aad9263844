#include "model/model_subsystem.h"

#include "model/model_commands.h"
#include "model/options_dialog.h"
#include "model/units_dialog.h"
#include "platform/backend.h"

void install_model_subsystem() {
    load_unit_settings(backend().settings());
    install_units_command();
    install_analysis_options_command();
    install_model_file_commands();
}
