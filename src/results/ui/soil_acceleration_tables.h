// Two results that do not follow the load case: the soil restraints of
// buried piping (the springs and yield loads the analysis put on each
// buried element, in four directions) and the nodal accelerations of the
// Response spectrum case in g.
#pragma once

#include "framework/ui/table.h"

#include <string>

// The soil of a soil-restraint record: the soil the analysis stored (its
// index, range-checked), else the one its element's pipe section names;
// 0 when neither is a soil of the model.
int soil_of_restraint(int record);
// An acceleration in g: the value (in/s2) over 386.4.
double acceleration_in_g(double value);

void print_soil_restraints();
void print_accelerations();

void install_soil_and_acceleration_tables();
TableWindow& soil_restraints_table();
TableWindow& accelerations_table();
