// The export commands of the layout window: File > "&Export to MBF..."
// (batch file, current or 6.xx form), "Export to PC&F..." and "Export to
// 3&D Plant Design" (PDMS macro or CADMATIC dump). Each asks for the file
// in a save dialog whose OK button reads "&Export", writes it through a
// temporary file and shows a failure as an error message; the batch export
// then tells what the file leaves out.
//
// The results window's "Export to &3D Plant Design..." (the deflected shape
// of the current load case) and the hanger interface file of its Export
// command are given to the results window at start-up (results_hooks).
#pragma once

#include "exchange/plant_design_export.h"
#include "platform/backend.h"

// The save dialogs' requests, with the file proposed beside the model file.
FileDialogRequest batch_export_request();
FileDialogRequest pcf_export_request();
FileDialogRequest plant_design_request();
FileDialogRequest hanger_interface_request();

void export_batch_command(WindowId owner);
void export_pcf_command(WindowId owner);
// The plant-design export, of the deflected shape when a field is given.
void export_plant_design_command(WindowId owner, const NodeDisplacementField* displacements = nullptr);
void export_hanger_interface_command(WindowId owner);

// Registers the layout window's export commands and the results window's.
void install_export_commands();
