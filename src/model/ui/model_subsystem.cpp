#include "model/ui/model_subsystem.h"

#include "framework/ui/report_header.h"
#include "model/model.h"
#include "model/ui/model_commands.h"
#include "model/ui/options_dialog.h"
#include "model/ui/units_dialog.h"
#include "platform/backend.h"

void install_model_subsystem() {
    load_unit_settings(backend().settings());
    install_units_command();
    install_analysis_options_command();
    install_model_file_commands();
    set_report_title_source([] { return model_title(); });
}
