#include "supports/ui/anchor_ui.h"

#include "framework/app_state.h"
#include "framework/units.h"
#include "supports/anchor.h"
#include "supports/ui/support_dialog.h"
#include "supports/ui/support_dialogs.h"

namespace {

const char* const STIFFNESS_NAMES[6] = {"KX", "KY", "KZ", "KXX", "KYY", "KZZ"};

int (*stiffness_parser(int direction))(float&)
{
    return direction < 3 ? parse_stiffness_buffer : parse_rot_stiffness_buffer;
}

// Stiffness fields show "Rigid" and "0" (free); an empty field is rigid.
class AnchorDialog final : public SupportDialog {
public:
    using SupportDialog::SupportDialog;

    void command(Dialog&, int id, int code) override
    {
        if (id == SUP_DISPLACEMENT_SET && code == NOTIFY_SELCHANGE && !input_locked())
            displacement_set_chosen(copy<Anchor>().v.displacements);
    }

private:
    void fill() override
    {
        const AnchorValues& v = copy<Anchor>().v;
        show_tag(v.tag);
        for (int i = 0; i < 6; ++i) {
            const float k = v.stiffness[static_cast<std::size_t>(i)];
            show_value(SUP_STIFFNESS + i, k, anchor_stiffness_text(i, k));
        }
        dialog_check(ANCHOR_LOCAL_AXES, v.local_axes);
        for (int i = 0; i < 6; ++i)
            dialog_check(ANCHOR_RELEASE + i, v.released[static_cast<std::size_t>(i)] != 0);
        fill_displacements(v.displacements);
        dialog_check(ANCHOR_LOCAL_DISPLACEMENTS, v.local_displacements);
    }

    void read() override
    {
        AnchorValues& v = copy<Anchor>().v;
        v.tag = read_tag();
        for (int i = 0; i < 6; ++i)
            v.stiffness[static_cast<std::size_t>(i)] =
                read_value(SUP_STIFFNESS + i, STIFFNESS_NAMES[i], stiffness_parser(i), RIGID_STIFFNESS);
        v.local_axes = dialog_is_checked(ANCHOR_LOCAL_AXES);
        for (int i = 0; i < 6; ++i)
            v.released[static_cast<std::size_t>(i)] = dialog_is_checked(ANCHOR_RELEASE + i) ? 1 : 0;
        read_displacement_set(v.displacements);
        v.local_displacements = dialog_is_checked(ANCHOR_LOCAL_DISPLACEMENTS);
    }
};

}  // namespace

SupportKindUi anchor_kind_ui()
{
    SupportKindUi k;
    k.dtype = DT_ANCHOR;
    k.name = "Anchor";
    k.title = "Anchors";
    k.columns.push_back(tag_column([](SupportItem& s) -> std::string& { return static_cast<Anchor&>(s).v.tag; }));
    for (int i = 0; i < 6; ++i)
        k.columns.push_back(value_column(STIFFNESS_NAMES[i], i < 3 ? STIFFNESS : ROT_STIFFNESS, STIFFNESS_NAMES[i],
                                         stiffness_parser(i), RIGID_STIFFNESS, [i](SupportItem& s) -> float& {
                                             return static_cast<Anchor&>(s).v.stiffness[static_cast<std::size_t>(i)];
                                         }));
    k.columns.push_back(shown_column("Axes"));
    k.columns.push_back(shown_column("Displacements"));
    k.columns.push_back(shown_column("Free"));
    k.edit = [](int row, WindowId owner) {
        AnchorDialog proc(row);
        return run_support_dialog(ANCHOR_DIALOG, proc, owner);
    };
    return k;
}
