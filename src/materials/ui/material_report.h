// The pipe materials in reports: the text form and its CSV form, graphic
// pages, and the CSV export of the Materials table.
#pragma once

#include "materials/pipe_material.h"
#include "platform/backend.h"

#include <cstdint>
#include <string>

// What the one strength of a material record (PipeMaterial::strength) is
// under a piping code, for its dialog, table and reports: the specified
// minimum tensile strength (the Nordic codes, CODETI, Stoomwezen, EN 13480,
// and B31.8, whose expansion allowable of para. 833.8 is made of it), the
// yield strength (B31.3, B31.12, the Canadian codes) or the ultimate
// strength (IGEM/TD/12); none under the other codes.
struct MaterialStrengthField {
    const char* label;          // "Tensile strength": messages and reports
    const char* dialog_label;   // the dialog's label
    const char* heading;        // the table's column heading
    bool always_shown;          // the dialog shows a strength of 0 too
    bool unit_shown;            // the dialog shows the stress unit beside it
};
// The field under a code; null when the code takes no strength.
const MaterialStrengthField* material_strength_field(int32_t code);
// Its label; empty when the code takes none.
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
