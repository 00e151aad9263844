#include "app/program_subsystems.h"

#include "analysis/ui/analysis_ui.h"
#include "codes/code_driver.h"
#include "elements/element_analysis.h"
#include "elements/ui/element_ui.h"
#include "exchange/ui/exchange_ui.h"
#include "framework/ui/shell.h"
#include "graphics/ui/graphics_window.h"
#include "loads/ui/loads_subsystem.h"
#include "materials/ui/materials_subsystem.h"
#include "model/ui/layout_install.h"
#include "model/ui/model_subsystem.h"
#include "qualification/ui/qualification_ui.h"
#include "results/ui/results_window.h"
#include "supports/ui/supports_ui.h"

void register_program_subsystems() {
    register_subsystem(install_model_subsystem);
    register_subsystem(install_materials_subsystem);
    register_subsystem(install_layout_subsystem);
    register_subsystem(install_elements_ui);
    register_subsystem(install_element_analysis);
    register_subsystem(install_supports_ui);
    register_subsystem(install_loads_subsystem);
    register_subsystem(install_analysis_commands);
    register_subsystem(install_graphics_ui);
    register_subsystem(install_code_evaluation);
    register_subsystem(install_results_ui);
    register_subsystem(install_qualification_ui);
    register_subsystem(install_exchange_ui);
    register_window_installer(create_layout_windows);
    register_window_installer(create_graphics_window);
}
