#include "supports/ui/nozzle_ui.h"

#include "framework/app_state.h"
#include "framework/errors.h"
#include "framework/units.h"
#include "supports/nozzle.h"
#include "supports/ui/support_dialog.h"
#include "supports/ui/support_dialogs.h"

namespace {

const char* const FIELD_NAMES[NOZZLE_FIELDS] = {"Nozzle OD",  "Nozzle thickness", "Vessel OD",     "Vessel thickness",
                                                "Length 1",   "Length 2",         "Vessel modulus"};

int (*field_parser(int field))(float&)
{
    if (field < 4)
        return parse_dimension_buffer;
    if (field < 6)
        return parse_length_buffer;
    return parse_modulus_buffer;
}

std::string field_text(int field, float value)
{
    if (value == 0.0f)
        return {};
    if (field < 4)
        return format_dimension(value);
    if (field < 6)
        return format_length(value);
    return format_modulus(value);
}

float& field_value(NozzleValues& v, int field)
{
    switch (field) {
    case 0: return v.nozzle_od;
    case 1: return v.nozzle_thickness;
    case 2: return v.vessel_od;
    case 3: return v.vessel_thickness;
    case 4: return v.length1;
    case 5: return v.length2;
    default: return v.modulus;
    }
}

// The fields that the nozzle's checks speak of.
const std::vector<std::pair<std::string, int>> CHECKED_FIELDS = {
    {"Nozzle OD/", NOZZLE_OD},       {"Nozzle OD", NOZZLE_OD},     {"Nozzle thk", NOZZLE_OD + 1},
    {"Nozzle Thickness", NOZZLE_OD + 1}, {"Vessel OD", NOZZLE_OD + 2}, {"Vessel THK", NOZZLE_OD + 3},
    {"Vessel Thickness", NOZZLE_OD + 3}, {"Length 1", NOZZLE_OD + 4},  {"L/Nozzle", NOZZLE_OD + 4},
    {"L2", NOZZLE_OD + 5},           {"Direction", SUP_DIRECTION},
};

class NozzleDialog final : public SupportDialog {
public:
    using SupportDialog::SupportDialog;

    void command(Dialog&, int id, int code) override
    {
        if (input_locked())
            return;
        if (id == SUP_DISPLACEMENT_SET && code == NOTIFY_SELCHANGE)
            displacement_set_chosen(copy<Nozzle>().v.displacements);
        if (code == NOTIFY_CLICKED && id >= NOZZLE_WRC297 && id <= NOZZLE_PD5500)
            enable_fields();
    }

private:
    int chosen_type() const
    {
        if (dialog_is_checked(NOZZLE_API650))
            return NOZZLE_API_650;
        return dialog_is_checked(NOZZLE_PD5500) ? NOZZLE_PD_5500 : NOZZLE_WRC_297;
    }

    void fill() override
    {
        const NozzleValues& v = copy<Nozzle>().v;
        show_tag(v.tag);
        const int radio = v.type == NOZZLE_API_650 ? NOZZLE_API650 : v.type == NOZZLE_PD_5500 ? NOZZLE_PD5500 : NOZZLE_WRC297;
        dialog_set_radio(NOZZLE_WRC297, NOZZLE_PD5500, radio);
        NozzleValues copy_of_values = v;
        for (int i = 0; i < NOZZLE_FIELDS; ++i)
            show_value(NOZZLE_OD + i, field_value(copy_of_values, i), field_text(i, field_value(copy_of_values, i)));
        show_direction(v.axis);
        dialog_check(NOZZLE_PAD, v.pad);
        fill_displacements(v.displacements);
    }

    void enable_fields() override
    {
        const int type = chosen_type();
        dialog_enable_item(NOZZLE_PAD, type == NOZZLE_API_650);
        dialog_enable_item(NOZZLE_OD + 4, type != NOZZLE_PD_5500);
        for (int i = 0; i < 3; ++i)
            dialog_enable_item(SUP_DIRECTION + i, type != NOZZLE_PD_5500);
    }

    void read() override
    {
        NozzleValues& v = copy<Nozzle>().v;
        v.tag = read_tag();
        v.type = chosen_type();
        for (int i = 0; i < NOZZLE_FIELDS; ++i)
            field_value(v, i) = read_value(NOZZLE_OD + i, FIELD_NAMES[i], field_parser(i), 0.0f);
        if (v.type == NOZZLE_PD_5500) {
            v.length1 = 0.0f;
            v.axis = {};
        } else {
            v.axis = read_direction_fields(true);
        }
        v.pad = v.type == NOZZLE_API_650 && dialog_is_checked(NOZZLE_PAD);
        read_displacement_set(v.displacements);
        check_fields([&] { Nozzle::check_values(v); }, CHECKED_FIELDS, NOZZLE_OD);
    }
};

}  // namespace

SupportKindUi nozzle_kind_ui()
{
    static const int quantities[NOZZLE_FIELDS] = {DIMENSION, DIMENSION, DIMENSION, DIMENSION, LENGTH, LENGTH, MODULUS};
    static const char* const headings[NOZZLE_FIELDS] = {"Nozzle OD", "Nozzle thk", "Vessel OD", "Vessel thk",
                                                        "L1",        "L2",         "E"};
    SupportKindUi k;
    k.dtype = DT_NOZZLE;
    k.name = "Nozzle";
    k.title = "Nozzles";
    k.columns.push_back(tag_column([](SupportItem& s) -> std::string& { return static_cast<Nozzle&>(s).v.tag; }));
    k.columns.push_back(shown_column("Type"));
    for (int i = 0; i < NOZZLE_FIELDS; ++i)
        k.columns.push_back(value_column(headings[i], quantities[i], FIELD_NAMES[i], field_parser(i), 0.0f,
                                         [i](SupportItem& s) -> float& { return field_value(static_cast<Nozzle&>(s).v, i); }));
    k.columns.push_back(shown_column("Pad"));
    k.columns.push_back(shown_column("Displacements"));
    k.check = [](const SupportItem& s) { Nozzle::check_values(static_cast<const Nozzle&>(s).v); };
    k.edit = [](int row, WindowId owner) {
        NozzleDialog proc(row);
        return run_support_dialog(NOZZLE_DIALOG, proc, owner);
    };
    return k;
}
