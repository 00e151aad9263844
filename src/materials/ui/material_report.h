// The pipe materials in reports: the text form and its CSV form, graphic
// pages, and the CSV export of the Materials table.
#pragma once

#include "materials/pipe_material.h"
#include "platform/backend.h"

#include <cstdint>
#include <string>

// The label of the material's strength under a code ("Tensile strength",
// "Yield strength", "Ultimate strength"); empty when the code uses none.
std::string material_strength_label(int32_t code);

// Every material in order, in the form of the active report destination
// (text, CSV report or graphic pages); nothing when there are no materials.
void print_materials();
// One material in the text or CSV report form.
void print_material(const PipeMaterial& material);

// The CSV export file of all materials.
std::string materials_csv_export_text();
// The Export command: the save dialog (default "Materials.csv"), the file,
// then "csv written.". False when cancelled or not written.
bool export_materials_csv(WindowId owner);
