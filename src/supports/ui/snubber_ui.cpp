#include "supports/ui/snubber_ui.h"

#include "framework/units.h"
#include "supports/snubber.h"
#include "supports/ui/support_dialog.h"
#include "supports/ui/support_dialogs.h"

namespace {

class SnubberDialog final : public SupportDialog {
public:
    using SupportDialog::SupportDialog;

private:
    void fill() override
    {
        const SnubberValues& v = copy<Snubber>().v;
        show_tag(v.tag);
        show_value(SUP_SPRING, v.stiffness, v.stiffness == 0.0f ? std::string("Rigid") : format_stiffness(v.stiffness));
        show_direction(v.direction);
    }

    void read() override
    {
        SnubberValues& v = copy<Snubber>().v;
        v.tag = read_tag();
        v.stiffness = read_value(SUP_SPRING, "Stiffness", parse_stiffness_buffer, 0.0f);
        v.direction = read_direction_fields(false);
    }
};

}  // namespace

SupportKindUi snubber_kind_ui()
{
    SupportKindUi k;
    k.dtype = DT_SNUBBER;
    k.name = "Snubber";
    k.title = "Snubbers";
    auto values = [](SupportItem& s) -> SnubberValues& { return static_cast<Snubber&>(s).v; };
    k.columns.push_back(tag_column([values](SupportItem& s) -> std::string& { return values(s).tag; }));
    k.columns.push_back(value_column("Stiffness", STIFFNESS, "Stiffness", parse_stiffness_buffer, 0.0f,
                                     [values](SupportItem& s) -> float& { return values(s).stiffness; }));
    static const char* const names[3] = {"X comp", "Y comp", "Z comp"};
    for (int i = 0; i < 3; ++i)
        k.columns.push_back(value_column(names[i], 0, names[i], parse_real_buffer, 0.0f, [values, i](SupportItem& s) -> float& {
            return values(s).direction[static_cast<std::size_t>(i)];
        }));
    k.check = [](const SupportItem& s) { Snubber::check_values(static_cast<const Snubber&>(s).v); };
    k.edit = [](int row, WindowId owner) {
        SnubberDialog proc(row);
        return run_support_dialog(SNUBBER_DIALOG, proc, owner);
    };
    return k;
}
