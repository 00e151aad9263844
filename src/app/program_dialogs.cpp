#include "app/program_dialogs.h"

#include "analysis/ui/analysis_dialogs_ui.h"
#include "elements/ui/dialogs_attributes.h"
#include "elements/ui/dialogs_elements.h"
#include "elements/ui/dialogs_special_elements.h"
#include "framework/ui/dialogs_common.h"
#include "framework/ui/print_progress.h"
#include "framework/ui/printing_commands.h"
#include "graphics/ui/graphics_dialogs.h"
#include "graphics/ui/plot_commands.h"
#include "graphics/ui/shape_commands.h"
#include "graphics/ui/show_dialogs.h"
#include "loads/ui/dialogs_loads.h"
#include "materials/aisc_shapes.h"
#include "materials/ui/dialogs_beams.h"
#include "materials/ui/dialogs_materials.h"
#include "materials/ui/dialogs_sections.h"
#include "model/ui/dialogs_layout.h"
#include "model/ui/dialogs_model.h"
#include "model/ui/dialogs_model_file.h"
#include "qualification/ui/equipment_dialogs.h"
#include "qualification/ui/qualification_dialogs.h"
#include "results/ui/displacement_tables.h"
#include "results/ui/result_choosers.h"
#include "results/ui/results_report.h"
#include "results/ui/time_history_ui.h"
#include "supports/ui/support_dialogs.h"

#include <algorithm>
#include <functional>

namespace {

DialogPage page(const DialogTemplate& t, std::vector<std::string> also = {})
{
    return DialogPage{t.name, t.caption, &t, std::move(also)};
}

// The template names a chooser takes for 1 to `most` entries but the first.
std::vector<std::string> chooser_names(const std::function<std::string(int)>& name_for, int most)
{
    std::vector<std::string> names;
    for (int n = 1; n <= most; ++n)
        if (const std::string name = name_for(n);
            name != name_for(1) && std::find(names.begin(), names.end(), name) == names.end())
            names.push_back(name);
    return names;
}

}  // namespace

std::vector<DialogPage> program_dialog_pages()
{
    std::vector<DialogPage> pages;
    auto add = [&pages](std::initializer_list<const DialogTemplate*> templates) {
        for (const DialogTemplate* t : templates)
            pages.push_back(page(*t));
    };
    // The model and its layout
    add({&NEW_DIALOG, &UNITS_DIALOG, &ANALYSIS_OPTIONS_DIALOG, &QA_BLOCK_DIALOG, &ELEMENT_TYPES_DIALOG,
         &DATA_TYPES_DIALOG, &DATA_LISTS_DIALOG, &FIND_NODE_DIALOG, &FIND_TEXT_DIALOG, &FINDANDREPLACE,
         &CHANGE_DIALOG, &GENERATE_DIALOG, &RENUMBER_DIALOG, &ROTATE_DIALOG, &SPLIT_DIALOG, &SAVE_CHANGES_DIALOG});
    // Materials, sections, soils and libraries
    add({&MATERIAL1_DIALOG, &MATERIAL2_DIALOG, &MATERIAL3_DIALOG, &MATERIAL_PROPERTIES_DIALOG,
         &MATERIAL_TYPES_DIALOG, &SECTION_DIALOG, &INSULATION_DIALOG, &SOIL_DIALOG, &BEAM_MATERIAL_DIALOG,
         &BEAM_SECTION_DIALOG, &AISC_SECTIONS_DIALOG});
    {
        std::vector<std::string> families;
        for (int f = 2; f <= AISC_FAMILY_COUNT; ++f)
            families.push_back(aisc_family_dialog(f).name);
        pages.push_back(page(aisc_family_dialog(1), families));
    }
    add({&LIBRARY_USE_DIALOG, &VALVE_LIBRARY_USE_DIALOG});
    for (const DialogTemplate* t : library_file_dialogs())
        pages.push_back(page(*t));
    pages.push_back(DialogPage{"SELECT_DIALOG", "Select"});
    // Elements
    add({&BEND1_DIALOG, &BEND2_DIALOG, &MITER_DIALOG, &REDUCER_DIALOG, &CUTPIPE_DIALOG, &JPIPE_DIALOG, &JBEND_DIALOG,
         &VALVE_DIALOG, &BELLOWS_DIALOG, &SLIP_DIALOG, &HINGE_DIALOG, &BALL_DIALOG, &RIGID_DIALOG, &ELASTIC_DIALOG,
         &BEAM_DIALOG1, &TIE_ROD_DIALOG});
    // Row attributes
    add({&FLANGE_DIALOG, &FLANGE_LIBRARY_DIALOG, &BRANCH_SIF_DIALOG, &USER_SIF1_DIALOG, &USER_SIF2_DIALOG,
         &USER_SIF3_DIALOG, &WELD_DIALOG});
    // Supports
    add({&ANCHOR_DIALOG, &RESTRAINT_DIALOG, &SKEWED_RESTRAINT_DIALOG, &GUIDE_DIALOG, &LIMIT_STOP_DIALOG,
         &HANGER_DIALOG, &SNUBBER_DIALOG, &NOZZLE_DIALOG, &GENERIC_SUPPORT_DIALOG});
    // Loads
    add({&PIPE_LOAD_DIALOG, &BEAM_LOAD_DIALOG, &FORCE_DIALOG, &CONC_MASS_DIALOG, &TIME_VARYING_LOAD_DIALOG,
         &HARMONIC_LOAD_DIALOG, &FORCE_SPECTRUM_LOAD_DIALOG, &HYDROTEST_DIALOG, &WIND_DIALOG, &ASCE_WIND_DIALOG,
         &SEISMIC_DIALOG, &ASCE_SEISMIC_DIALOG, &SPECTRUM_DIALOG, &SPECTRUM_OPTIONS_DIALOG,
         &RESPONSE_SPECTRUM_DIALOG, &TIME_FUNCTION_DIALOG, &TIME_HISTORY_DIALOG});
    // Analysis
    add({&LOAD_CASES_DIALOG, &ANALYSIS_DIALOG});
    // Results
    pages.push_back(DialogPage{results_chooser_template(1), "Result chooser", nullptr,
                               chooser_names(results_chooser_template, 40)});
    pages.push_back(DialogPage{load_cases_chooser_template(1), "Load case chooser", nullptr,
                               chooser_names(load_cases_chooser_template, 200)});
    pages.push_back(DialogPage{other_supports_template(1), "Other Forces", nullptr,
                               chooser_names(other_supports_template, 40)});
    pages.push_back(page(time_history_chooser_template()));
    pages.push_back(page(centre_of_gravity_template()));
    pages.push_back(page(thresholds_template()));
    pages.push_back(page(first_level_checks_template()));
    pages.push_back(page(print_results_template()));
    // The graphics window
    add({&VIEWPOINT_DIALOG, &HIDE_ELEMENTS_DIALOG, &PRINT_OPENGL_DIALOG, &SHOW_33_DIALOG, &MAGNIFICATION_DIALOG,
         &DRAWING_SIZE_DIALOG, &PLOT_TITLE_DIALOG});
    // Component qualification and rotating equipment
    add({&FLANGE_DATA_DIALOG, &BOLT_GASK_DATA_DIALOG, &LOAD_DATA_DIALOG, &LUG_EVAL, &NOZZLE_QUAL, &PUMP_DIALOG,
         &COMPRESSOR_DIALOG, &ALLOWABLE_DIALOG});
    // The program
    add({&PRINT_DIALOG, &PRINTING_DIALOG, &INFO_DIALOG, &ABOUT_DIALOG, &TUTORIAL_DIALOG});
    return pages;
}
