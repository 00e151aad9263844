#include "supports/ui/skewed_restraint_ui.h"

#include "framework/app_state.h"
#include "framework/units.h"
#include "supports/skewed_restraint.h"
#include "supports/ui/support_dialog.h"
#include "supports/ui/support_dialogs.h"

namespace {

std::string spring_text(float k, bool rotational)
{
    if (k == 0.0f)
        return "Rigid";
    return rotational ? format_rot_stiffness(k) : format_stiffness(k);
}

// The stiffness field shows "Rigid" for 0; an empty field is rigid.
class SkewedRestraintDialog final : public SupportDialog {
public:
    using SupportDialog::SupportDialog;

    void command(Dialog&, int id, int code) override
    {
        if (!input_locked() && code == NOTIFY_CLICKED && (id == SKEWED_TRANSLATIONAL || id == SKEWED_ROTATIONAL))
            enable_fields();
    }

private:
    bool rotational() const { return dialog_is_checked(SKEWED_ROTATIONAL); }

    void fill() override
    {
        const SkewedRestraintValues& v = copy<SkewedRestraint>().v;
        show_tag(v.tag);
        dialog_set_radio(SKEWED_TRANSLATIONAL, SKEWED_ROTATIONAL, v.rotational ? SKEWED_ROTATIONAL : SKEWED_TRANSLATIONAL);
        show_value(SUP_SPRING, v.stiffness, spring_text(v.stiffness, v.rotational));
        show_direction(v.direction);
        show_connected(v.connected);
    }

    void enable_fields() override { dialog_set_unit_label(SUP_SPRING_UNIT, rotational() ? ROT_STIFFNESS : STIFFNESS); }

    void read() override
    {
        SkewedRestraintValues& v = copy<SkewedRestraint>().v;
        v.tag = read_tag();
        v.rotational = rotational();
        v.stiffness = read_value(SUP_SPRING, "Stiffness", v.rotational ? parse_rot_stiffness_buffer : parse_stiffness_buffer,
                                 0.0f);
        v.connected = read_connected();
        v.direction = read_direction_fields(v.connected != 0);
    }
};

}  // namespace

SupportKindUi skewed_restraint_kind_ui()
{
    SupportKindUi k;
    k.dtype = DT_SKEWED_RESTRAINT;
    k.name = "Skewed restraint";
    k.title = "Skewed restraints";
    auto values = [](SupportItem& s) -> SkewedRestraintValues& { return static_cast<SkewedRestraint&>(s).v; };
    k.columns.push_back(tag_column([values](SupportItem& s) -> std::string& { return values(s).tag; }));
    k.columns.push_back(shown_column("Type"));
    SupportColumn stiffness = shown_column("Stiffness", STIFFNESS);
    stiffness.second_quantity = ROT_STIFFNESS;
    stiffness.limit = 12;
    stiffness.store = [values](SupportItem& s, int) {
        SkewedRestraintValues& v = values(s);
        float k = 0.0f;
        if (!item_text().empty() && (v.rotational ? parse_rot_stiffness_buffer(k) : parse_stiffness_buffer(k)) != 0)
            throw_invalid("Stiffness");
        v.stiffness = k;
    };
    k.columns.push_back(stiffness);
    static const char* const names[3] = {"X comp", "Y comp", "Z comp"};
    for (int i = 0; i < 3; ++i)
        k.columns.push_back(value_column(names[i], 0, names[i], parse_real_buffer, 0.0f, [values, i](SupportItem& s) -> float& {
            return values(s).direction[static_cast<std::size_t>(i)];
        }));
    k.columns.push_back(connected_column([values](SupportItem& s) -> int32_t& { return values(s).connected; }));
    k.check = [](const SupportItem& s) { SkewedRestraint::check_values(static_cast<const SkewedRestraint&>(s).v); };
    k.edit = [](int row, WindowId owner) {
        SkewedRestraintDialog proc(row);
        return run_support_dialog(SKEWED_RESTRAINT_DIALOG, proc, owner);
    };
    return k;
}
