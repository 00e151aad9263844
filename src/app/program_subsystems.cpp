#include "app/program_subsystems.h"

#include "framework/ui/shell.h"
#include "materials/ui/materials_subsystem.h"
#include "model/ui/layout_install.h"
#include "model/ui/model_subsystem.h"

void register_program_subsystems() {
    register_subsystem(install_model_subsystem);
    register_subsystem(install_materials_subsystem);
    register_subsystem(install_layout_subsystem);
    register_window_installer(create_layout_windows);
}
