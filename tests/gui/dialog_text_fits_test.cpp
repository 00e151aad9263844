// Every dialog template the program offers, built by the Qt backend: each
// control shows its whole text (no label, check box, radio button, push
// button or group caption narrower than its text), lies whole inside the
// dialog and overlaps no other control.
#include "analysis/ui/analysis_dialogs_ui.h"
#include "elements/ui/dialogs_attributes.h"
#include "elements/ui/dialogs_elements.h"
#include "elements/ui/dialogs_special_elements.h"
#include "framework/ui/dialogs_common.h"
#include "framework/ui/printing_commands.h"
#include "graphics/ui/graphics_dialogs.h"
#include "graphics/ui/plot_commands.h"
#include "graphics/ui/shape_commands.h"
#include "graphics/ui/show_dialogs.h"
#include "gui/gui_dialogs.h"
#include "loads/ui/dialogs_loads.h"
#include "materials/ui/dialogs_beams.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/dialogs_sections.h"
#include "model/ui/dialogs_layout.h"
#include "model/ui/dialogs_model.h"
#include "model/ui/dialogs_model_file.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/qualification_dialogs.h"
#include "supports/ui/support_dialogs.h"

#include <string>
#include <vector>

// The library files' dialogs (their control ids share names with the
// elements' dialogs, so they are listed in a unit of their own).
std::vector<const DialogTemplate*> library_file_dialog_templates();

namespace {

std::vector<const DialogTemplate*> every_dialog_template()
{
    std::vector<const DialogTemplate*> all = {
        // The program, the model and its layout
        &PRINT_DIALOG, &SAVE_CHANGES_DIALOG, &INFO_DIALOG, &ABOUT_DIALOG, &TUTORIAL_DIALOG, &FIND_NODE_DIALOG,
        &QA_BLOCK_DIALOG, &NEW_DIALOG, &UNITS_DIALOG, &ANALYSIS_OPTIONS_DIALOG, &ELEMENT_TYPES_DIALOG,
        &DATA_TYPES_DIALOG, &DATA_LISTS_DIALOG, &SPLIT_DIALOG, &GENERATE_DIALOG, &RENUMBER_DIALOG, &ROTATE_DIALOG,
        &CHANGE_DIALOG, &FINDANDREPLACE, &FIND_TEXT_DIALOG,
        // Materials, sections and beams
        &SECTION_DIALOG, &INSULATION_DIALOG, &SOIL_DIALOG, &BEAM_MATERIAL_DIALOG, &BEAM_SECTION_DIALOG,
        &AISC_SECTIONS_DIALOG, &MATERIAL1_DIALOG, &MATERIAL2_DIALOG, &MATERIAL3_DIALOG,
        &MATERIAL_PROPERTIES_DIALOG, &MATERIAL_TYPES_DIALOG, &LIBRARY_USE_DIALOG, &VALVE_LIBRARY_USE_DIALOG,
        // Elements and row attributes
        &BEND1_DIALOG, &BEND2_DIALOG, &MITER_DIALOG, &JBEND_DIALOG, &REDUCER_DIALOG, &CUTPIPE_DIALOG,
        &BEAM_DIALOG1, &BALL_DIALOG, &HINGE_DIALOG, &RIGID_DIALOG, &VALVE_DIALOG, &BELLOWS_DIALOG, &SLIP_DIALOG,
        &ELASTIC_DIALOG, &TIE_ROD_DIALOG, &JPIPE_DIALOG, &FLANGE_DIALOG, &FLANGE_LIBRARY_DIALOG,
        &BRANCH_SIF_DIALOG, &USER_SIF1_DIALOG, &USER_SIF2_DIALOG, &USER_SIF3_DIALOG, &WELD_DIALOG,
        // Supports
        &ANCHOR_DIALOG, &RESTRAINT_DIALOG, &SKEWED_RESTRAINT_DIALOG, &HANGER_DIALOG, &GUIDE_DIALOG,
        &LIMIT_STOP_DIALOG, &NOZZLE_DIALOG, &SNUBBER_DIALOG, &GENERIC_SUPPORT_DIALOG,
        // Loads and the analysis
        &PIPE_LOAD_DIALOG, &BEAM_LOAD_DIALOG, &FORCE_DIALOG, &CONC_MASS_DIALOG, &TIME_VARYING_LOAD_DIALOG,
        &HARMONIC_LOAD_DIALOG, &FORCE_SPECTRUM_LOAD_DIALOG, &HYDROTEST_DIALOG, &SEISMIC_DIALOG,
        &ASCE_SEISMIC_DIALOG, &WIND_DIALOG, &ASCE_WIND_DIALOG, &SPECTRUM_DIALOG, &SPECTRUM_OPTIONS_DIALOG,
        &TIME_FUNCTION_DIALOG, &TIME_HISTORY_DIALOG, &ANALYSIS_DIALOG, &LOAD_CASES_DIALOG,
        // The graphics window
        &SHOW_33_DIALOG, &MAGNIFICATION_DIALOG, &DRAWING_SIZE_DIALOG, &PLOT_TITLE_DIALOG, &VIEWPOINT_DIALOG,
        &HIDE_ELEMENTS_DIALOG, &PRINT_OPENGL_DIALOG,
        // Qualification and rotating equipment
        &FLANGE_DATA_DIALOG, &BOLT_GASK_DATA_DIALOG, &LOAD_DATA_DIALOG, &LUG_EVAL, &NOZZLE_QUAL, &PUMP_DIALOG,
        &COMPRESSOR_DIALOG, &ALLOWABLE_DIALOG,
    };
    for (const DialogTemplate* t : library_file_dialog_templates())
        all.push_back(t);
    return all;
}

}  // namespace

// The whole texts are measured in the dialog's own font: what the widget
// itself asks for to show its text (its size hint) must fit in what the
// layout gave it.
TEST(GuiDialogLayout, DialogTextFitsInEveryControlOfEveryTemplate)
{
    gui_backend();
    const std::vector<const DialogTemplate*> all = every_dialog_template();
    EXPECT_GE(all.size(), 100u);
    for (const DialogTemplate* t : all) {
        SCOPED_TRACE(t->name);
        int measured = 0;
        measure_dialog(*t, [&](QWidget* top) { measured = expect_dialog_texts_fit(top); });
        EXPECT_GT(measured, 0);
    }
}
