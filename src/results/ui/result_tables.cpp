#include "results/ui/result_tables.h"

#include "results/ui/displacement_tables.h"
#include "results/ui/element_force_tables.h"
#include "results/ui/results_report.h"
#include "results/ui/soil_acceleration_tables.h"
#include "results/ui/stress_result_tables.h"
#include "results/ui/support_load_tables.h"

void install_result_tables()
{
    install_element_force_tables();
    install_support_load_tables();
    install_displacement_tables();
    install_soil_and_acceleration_tables();
    install_stress_result_tables();
    install_results_report();
}
