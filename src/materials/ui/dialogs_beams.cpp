#include "materials/ui/dialogs_beams.h"

#include "framework/errors.h"
#include "framework/units.h"
#include "materials/aisc_shapes.h"

#include <array>

namespace {

using K = ControlKind;

DialogTemplate make_section_dialog() {
    DialogTemplate t{"BEAM_SECTION_DIALOG", "Beam Section # %d", {}};
    t.controls.push_back(control(BEAM_NAME, K::Edit, "Section name", 0, 0, 1, CF_NONE, 5));
    t.controls.push_back(control(BEAM_DESCRIPTION, K::Edit, "Description", 1, 0, 1, CF_NONE, 15));
    static const char* const labels[] = {"Axial area",         "Major moment of inertia",
                                         "Minor moment of inertia", "Torsional constant",
                                         "Major shear area",   "Minor shear area",
                                         "Depth",              "Width"};
    static const int quantities[] = {AREA, INERTIA, INERTIA, INERTIA, AREA, AREA, DIMENSION, DIMENSION};
    for (int i = 0; i < 8; ++i) {
        t.controls.push_back(control(BSEC_FIRST_VALUE + i, K::Edit, labels[i], 2 + i, 0));
        t.controls.push_back(unit_control(BSEC_FIRST_UNIT + i, 2 + i, 1, quantities[i]));
    }
    t.controls.push_back(control(BSEC_LIBRARY, K::Button, "&Library", 10, 0));
    t.controls.push_back(control(IDOK, K::Button, "OK", 11, 0, 1, CF_DEFAULT));
    t.controls.push_back(control(IDCANCEL, K::Button, "Cancel", 11, 1));
    return t;
}

DialogTemplate make_family_dialog(int family) {
    static const char* const names[] = {"",          "W_DIALOG",  "M_DIALOG",  "S_DIALOG", "HP_DIALOG",
                                        "C_DIALOG",  "MC_DIALOG", "L_DIALOG",  "L2_DIALOG", "WT_DIALOG",
                                        "MT_DIALOG", "ST_DIALOG", "TS_DIALOG", "P_DIALOG"};
    DialogTemplate t{names[family], aisc_family_caption(family), {}};
    const AiscTable& table = aisc_table();
    const AiscFamilyData& f = table.families[family - 1];
    // Groups in columns of twelve, the list box to their right.
    const int columns = (f.group_count + 11) / 12;
    for (int g = 0; g < f.group_count; ++g)
        t.controls.push_back(control(AISC_FIRST_GROUP + g, K::Radio, table.groups[f.first_group + g].name,
                                     g % 12, g / 12));
    t.controls.push_back(control(AISC_SHAPE_LIST, K::List, "", 0, columns, 1, CF_NONE, 0, 12));
    t.controls.push_back(control(IDOK, K::Button, "OK", 12, 0, 1, CF_DEFAULT));
    t.controls.push_back(control(IDCANCEL, K::Button, "Cancel", 12, 1));
    return t;
}

}  // namespace

const DialogTemplate BEAM_MATERIAL_DIALOG = {
    "BEAM_MATERIAL_DIALOG",
    "Beam material # %d",
    {
        control(BEAM_NAME, K::Edit, "Name", 0, 0, 1, CF_NONE, 5),
        control(BEAM_DESCRIPTION, K::Edit, "Description", 1, 0, 1, CF_NONE, 27),
        control(BMAT_E, K::Edit, "E", 2, 0),
        unit_control(BMAT_E_UNIT, 2, 1, MODULUS),
        control(BMAT_NU, K::Edit, "Nu", 3, 0),
        control(BMAT_DENSITY, K::Edit, "Density", 4, 0),
        unit_control(BMAT_DENSITY_UNIT, 4, 1, DENSITY),
        control(BMAT_ALPHA, K::Edit, "Alpha", 5, 0),
        unit_control(BMAT_ALPHA_UNIT, 5, 1, EXPANSION),
        control(IDOK, K::Button, "OK", 6, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 6, 1),
    },
};

const DialogTemplate BEAM_SECTION_DIALOG = make_section_dialog();

const DialogTemplate AISC_SECTIONS_DIALOG = {
    "AISC_SECTIONS_DIALOG",
    "AISC Sections",
    {
        control(0, K::Group, "I Beams", 0, 0, 1, CF_NONE, 0, 5),
        control(AISC_FIRST_FAMILY + 0, K::Radio, "W", 1, 0),
        control(AISC_FIRST_FAMILY + 1, K::Radio, "M", 2, 0),
        control(AISC_FIRST_FAMILY + 2, K::Radio, "S", 3, 0),
        control(AISC_FIRST_FAMILY + 3, K::Radio, "HP", 4, 0),
        control(0, K::Group, "Channels", 5, 0, 1, CF_NONE, 0, 3),
        control(AISC_FIRST_FAMILY + 4, K::Radio, "C", 6, 0),
        control(AISC_FIRST_FAMILY + 5, K::Radio, "MC", 7, 0),
        control(0, K::Group, "Angles", 0, 1, 1, CF_NONE, 0, 3),
        control(AISC_FIRST_FAMILY + 6, K::Radio, "L", 1, 1),
        control(AISC_FIRST_FAMILY + 7, K::Radio, "2L", 2, 1),
        control(0, K::Group, "Tees", 3, 1, 1, CF_NONE, 0, 4),
        control(AISC_FIRST_FAMILY + 8, K::Radio, "WT", 4, 1),
        control(AISC_FIRST_FAMILY + 9, K::Radio, "MT", 5, 1),
        control(AISC_FIRST_FAMILY + 10, K::Radio, "ST", 6, 1),
        control(0, K::Group, "Tubes", 0, 2, 1, CF_NONE, 0, 2),
        control(AISC_FIRST_FAMILY + 11, K::Radio, "TS", 1, 2),
        control(0, K::Group, "Pipes", 2, 2, 1, CF_NONE, 0, 2),
        control(AISC_FIRST_FAMILY + 12, K::Radio, "P", 3, 2),
        control(IDOK, K::Button, "OK", 8, 0, 1, CF_DEFAULT),
        control(IDCANCEL, K::Button, "Cancel", 8, 1),
    },
};

const DialogTemplate& aisc_family_dialog(int family) {
    KV_ASSERT(family >= 1 && family <= AISC_FAMILY_COUNT);
    static const std::array<DialogTemplate, AISC_FAMILY_COUNT> templates = [] {
        std::array<DialogTemplate, AISC_FAMILY_COUNT> all;
        for (int f = 1; f <= AISC_FAMILY_COUNT; ++f) all[static_cast<std::size_t>(f - 1)] = make_family_dialog(f);
        return all;
    }();
    return templates[static_cast<std::size_t>(family - 1)];
}
