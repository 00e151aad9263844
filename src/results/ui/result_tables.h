// The result tables of the results window and the results report, all
// registered at once into results_hooks().
#pragma once

void install_result_tables();
